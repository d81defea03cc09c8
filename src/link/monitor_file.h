#pragma once

#include "base/module_family.h"

#include <QDateTime>
#include <QString>

class CModuleImage;
class ImageParameterTexts;

// The measured values of the connected module, one text file per module
// named after its serial number, one line per record. The periodic refresh
// of the live values calls WriteRecord; records are written as the settings
// "DoFileWrite" and "FileWriteInterval" say, the headers always.
class MonitorFile {
public:
    // directory: where the files go; empty for the "monitoring" folder beside
    // the program.
    explicit MonitorFile(QString directory = QString());

    // Opens the file of a newly seen module, counts the refresh tick and
    // appends the record when recording is on and its interval has come.
    // Returns the record line, written or not.
    QString WriteRecord(const CModuleImage &image, ModuleFamily family, const ImageParameterTexts &texts,
                        const QDateTime &now = QDateTime::currentDateTime());
    // A module with another serial number than the current one starts its
    // file with the online, serial and column lines.
    void OpenIfModuleChanged(const CModuleImage &image, const QDateTime &now = QDateTime::currentDateTime());
    // The offline line into the current file; nothing before a file was opened.
    void MarkOffline(const QDateTime &now = QDateTime::currentDateTime());

    // The record line of the image's live values, with its time stamp.
    QString RecordLine(const CModuleImage &image, ModuleFamily family, const ImageParameterTexts &texts,
                       const QDateTime &now) const;
    // "%Y-%m-%d %H:%M:%S" and four blanks.
    static QString TimeStamp(const QDateTime &time);
    // The serial number with the characters a file name cannot hold blanked.
    // The line above the records that names the channel columns.
    static QString ColumnLine();
    static QString FileNameOf(const QString &serialNumber);
    // The refresh ticks between records (a tick comes every 3 seconds).
    static int IntervalTicks(int seconds) { return seconds / 3; }

    const QString &FilePath() const { return m_filePath; }

private:
    // Appends text, opening and closing the file; a file that cannot be
    // opened skips this text only.
    void Append(const QString &text) const;

    QString m_directory;
    QString m_serialNumber;
    QString m_filePath;
    unsigned m_counter = 0;
    bool m_twoChannels = false;
};
