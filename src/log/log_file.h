#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One run's log file. It is created empty when the run starts and then
// opened, appended to and closed for every text, so that a crash loses
// nothing that was already logged.
class LogFile {
public:
    // "2026_12_09_06_30_00_Log.txt" for a run started at that local time.
    static QString fileNameFor(const QDateTime &creationTime);
    // "..._Log_2.txt" for the second run of the same second, and so on.
    static QString NumberedName(const QString &name, int number);
    static constexpr int kMaxSameSecondRuns = 1000;
    // The text as stored: every line break becomes CR LF, UTF-8.
    static QByteArray toFileText(const QString &text);

    // Creates the file of creationTime inside directory, or the next free
    // numbered one when that name is taken. On
    // failure the log has no file and later appends do nothing.
    bool create(const QString &directory, const QDateTime &creationTime);
    // "2026_12_09_zelnorctl_Log.txt": the file a command-line tool shares
    // with its other calls of that day.
    static QString dailyFileNameFor(const QDate &day, const QString &toolName);
    // Opens the day's file of toolName inside directory, made when missing;
    // what earlier calls wrote stays. On failure the log has no file.
    bool openDaily(const QString &directory, const QDate &day, const QString &toolName);
    // Whether the file held nothing when it was opened.
    bool startedEmpty() const { return m_startedEmpty; }
    bool isUsable() const { return !m_path.isEmpty(); }
    const QString &path() const { return m_path; }
    // Appends text at the end of the file; false when it cannot be written.
    bool append(const QString &text) const;

private:
    QString m_path;
    bool m_startedEmpty = false;
};
