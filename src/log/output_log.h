#pragma once

#include "log/log_file.h"
#include "log/system_information.h"

#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The program's running record: every text goes to the run's log file and
// to whoever shows it (the output pane, the command-line tool's console).
// One log is the active one; WriteLogLine and AddText reach it from
// anywhere on the user-interface thread. Lines written while no log is
// active are lost.
class OutputLog : public QObject {
    Q_OBJECT
public:
    // Creates the run's file in the "Log" folder beside the program, named
    // after the current local time; where that folder cannot be made, in
    // the user's data folder, and the first line after the system
    // information says so. An installed program logs into the user's data
    // folder without a word.
    explicit OutputLog(QObject *parent = nullptr);
    // Creates the file in directory, named after creationTime. When it cannot
    // be made, "Can't create log file for log output!" is shown and the log
    // goes on without file.
    OutputLog(const QString &directory, const QDateTime &creationTime, QObject *parent = nullptr);
    // The log of a command-line tool: one file a day in the program's "Log"
    // folder (or the user's data folder, as above) that every call of the
    // tool appends to; the system information of facts heads it once, and
    // each call begins with its command line. Whoever listens to the log
    // hears only what comes after.
    static std::unique_ptr<OutputLog> ForTool(const QString &toolName, const QStringList &commandLine,
                                              const SystemFacts &facts, const QDate &day = QDate::currentDate());
    ~OutputLog() override;
    OutputLog(const OutputLog &) = delete;
    OutputLog &operator=(const OutputLog &) = delete;

    static OutputLog *active();
    // Makes this the log that WriteLogLine and AddText write to.
    void makeActive();

    bool hasFile() const { return m_file.isUsable(); }
    QString filePath() const { return m_file.path(); }

    // Appends text as it is (no time stamp) to the file, then hands it on.
    void addText(const QString &text);
    // Appends the time-stamped line of text.
    void writeLogLine(const QString &text);
    // "2026-12-09 06:30:00   text\n".
    static QString logLine(const QDateTime &time, const QString &text);

    // The system information block, written once at the head of the log.
    bool systemInformationPending() const { return m_systemInformationPending; }
    // The block once at the head of the log; portName is the serial port
    // of the caller's link.
    void writeSystemInformationOnce(const QString &portName);
    void writeSystemInformationOnce(const SystemFacts &facts);

signals:
    void textAdded(const QString &text);

private:
    struct Daily {};
    OutputLog(Daily, const QString &toolName, const QDate &day);
    void createFile(const QString &directory, const QDateTime &creationTime);
    // The "Log" folder beside the program, or where it went instead; sets
    // the note that says so.
    QString logDirectory();

    LogFile m_file;
    // Keeps the texts of two threads from mixing inside the file.
    QMutex m_fileLock;
    bool m_systemInformationPending = true;
    QString m_placeNote;
};

// The one way to add a time-stamped line to the output log.
void WriteLogLine(const QString &text);
// The same with the text of a string number.
void WriteLogLine(int stringId);
// A block of text without time stamp (reports, the system information).
void AddText(const QString &text);
