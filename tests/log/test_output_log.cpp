#include "base/app_paths.h"
#include "log/output_log.h"
#include "base/string_table.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

static QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The file's lines without their CR LF; fails the test on a bare LF.
static QStringList fileLines(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    const QString text = QString::fromUtf8(bytes);
    if (text.count(QStringLiteral("\r\n")) != text.count(u'\n'))
        return {QStringLiteral("<bare line feed>")};
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

static const QRegularExpression
    kStamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d   (.*)$"));

class TestOutputLog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void fileIsNamedAfterTheCreationTimeAndStartsEmpty();
    void runsStartedInTheSameSecondKeepTheirOwnFiles();
    void lineBreaksAreStoredAsCarriageReturnLineFeed();
    void logLineCarriesTheLocalTimeAndThreeBlanks();
    void rawBlockStandsBetweenStampedLines();
    void lineByStringNumberTakesTheActiveLanguage();
    void uncreatableFileIsReportedOnceAndTheLogGoesOn();
    void linesWithoutActiveLogAreDropped();
    void fileRemovedDuringTheRunIsNotStartedAgain();
    void logAwayFromTheProgramSaysWhereItWent();
    void toolCallsOfOneDayShareOneFile();

private:
    QTemporaryDir m_dir;
};

void TestOutputLog::init()
{
    TestSupport::loadEnglish();
    QVERIFY(m_dir.isValid());
}

void TestOutputLog::fileIsNamedAfterTheCreationTimeAndStartsEmpty()
{
    const QString dir = m_dir.filePath(QStringLiteral("Log"));
    OutputLog log(dir, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    QVERIFY(log.hasFile());
    QCOMPARE(log.filePath(), dir + QStringLiteral("/2026_03_04_05_06_07_Log.txt"));
    QVERIFY(QFile::exists(log.filePath()));
    QCOMPARE(QFile(log.filePath()).size(), 0);
}

void TestOutputLog::runsStartedInTheSameSecondKeepTheirOwnFiles()
{
    const QDateTime start(QDate(2026, 1, 2), QTime(3, 4, 5));
    QString path;
    qint64 firstSize = 0;
    {
        OutputLog first(m_dir.path(), start);
        first.writeLogLine(QStringLiteral("first run"));
        path = first.filePath();
        firstSize = QFile(path).size();
        QVERIFY(firstSize > 0);
    }
    OutputLog second(m_dir.path(), start);
    QCOMPARE(second.filePath(), m_dir.filePath(QStringLiteral("2026_01_02_03_04_05_Log_2.txt")));
    OutputLog third(m_dir.path(), start);
    QCOMPARE(third.filePath(), m_dir.filePath(QStringLiteral("2026_01_02_03_04_05_Log_3.txt")));
    second.writeLogLine(QStringLiteral("second run"));
    QCOMPARE(QFile(path).size(), firstSize);
    QVERIFY(fileBytes(second.filePath()).contains("second run"));
}

void TestOutputLog::lineBreaksAreStoredAsCarriageReturnLineFeed()
{
    OutputLog log(m_dir.path(), QDateTime::currentDateTime());
    QSignalSpy shown(&log, &OutputLog::textAdded);
    log.addText(QStringLiteral("one\ntwo\n"));
    log.addText(QStringLiteral("three\r\nfour\n"));
    QCOMPARE(fileBytes(log.filePath()), QByteArray("one\r\ntwo\r\nthree\r\nfour\r\n"));
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).at(0).toString(), QStringLiteral("one\ntwo\n"));
}

void TestOutputLog::logLineCarriesTheLocalTimeAndThreeBlanks()
{
    QCOMPARE(OutputLog::logLine(QDateTime(QDate(2026, 12, 9), QTime(7, 8, 9)), QStringLiteral("text")),
             QStringLiteral("2026-12-09 07:08:09   text\n"));

    OutputLog log(m_dir.path(), QDateTime::currentDateTime());
    log.writeLogLine(QStringLiteral("Module connected! Starts online mode:"));
    const QStringList lines = fileLines(log.filePath());
    QCOMPARE(lines.size(), 1);
    const QRegularExpressionMatch match = kStamped.match(lines[0]);
    QVERIFY2(match.hasMatch(), qPrintable(lines[0]));
    QCOMPARE(match.captured(1), QStringLiteral("Module connected! Starts online mode:"));
    const QDateTime stamp = QDateTime::fromString(lines[0].left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY(stamp.isValid());
    QVERIFY(qAbs(stamp.secsTo(QDateTime::currentDateTime())) <= 2);
}

void TestOutputLog::rawBlockStandsBetweenStampedLines()
{
    OutputLog log(m_dir.path(), QDateTime::currentDateTime());
    log.makeActive();
    WriteLogLine(QStringLiteral("Checking module 'A' ..."));
    AddText(QStringLiteral("  Parameter 1: differs\n  Parameter 2: differs\n"));
    WriteLogLine(QStringLiteral("done"));
    const QStringList lines = fileLines(log.filePath());
    QCOMPARE(lines.size(), 4);
    QVERIFY(kStamped.match(lines[0]).hasMatch());
    QCOMPARE(lines[1], QStringLiteral("  Parameter 1: differs"));
    QCOMPARE(lines[2], QStringLiteral("  Parameter 2: differs"));
    QCOMPARE(kStamped.match(lines[3]).captured(1), QStringLiteral("done"));
}

void TestOutputLog::lineByStringNumberTakesTheActiveLanguage()
{
    OutputLog log(m_dir.path(), QDateTime::currentDateTime());
    log.makeActive();
    WriteLogLine(62431);
    const QStringList lines = fileLines(log.filePath());
    QCOMPARE(lines.size(), 1);
    QCOMPARE(kStamped.match(lines[0]).captured(1),
             QStringLiteral("Module disconnected or not found! Starts offline mode:"));
}

void TestOutputLog::uncreatableFileIsReportedOnceAndTheLogGoesOn()
{
    // A plain file where the folder should be: the folder cannot be made.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    ScriptedMessages messages;
    OutputLog log(blocker + QStringLiteral("/Log"), QDateTime::currentDateTime());
    QVERIFY(!log.hasFile());
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Can't create log file for log output!")});
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);

    QSignalSpy shown(&log, &OutputLog::textAdded);
    log.writeLogLine(QStringLiteral("still shown"));
    log.addText(QStringLiteral("raw\n"));
    QCOMPARE(shown.size(), 2);
    QCOMPARE(messages.shown().size(), size_t(1));
}

void TestOutputLog::linesWithoutActiveLogAreDropped()
{
    QString path;
    {
        OutputLog log(m_dir.path(), QDateTime::currentDateTime());
        log.makeActive();
        QCOMPARE(OutputLog::active(), &log);
        path = log.filePath();
    }
    QCOMPARE(OutputLog::active(), nullptr);
    WriteLogLine(QStringLiteral("lost"));
    AddText(QStringLiteral("lost too\n"));
    QCOMPARE(QFile(path).size(), 0);
}

void TestOutputLog::fileRemovedDuringTheRunIsNotStartedAgain()
{
    OutputLog log(m_dir.path(), QDateTime::currentDateTime());
    QSignalSpy shown(&log, &OutputLog::textAdded);
    QVERIFY(QFile::remove(log.filePath()));
    log.writeLogLine(QStringLiteral("pane only"));
    QVERIFY(!QFile::exists(log.filePath()));
    QCOMPARE(shown.size(), 1);
}

// A "Log" folder that cannot be made beside the program: the log goes to the
// user's data folder, and the first line after the system information says
// where; a log beside the program says nothing of its place.
void TestOutputLog::logAwayFromTheProgramSaysWhereItWent()
{
    const auto linesAfterHeader = [](OutputLog &log) {
        log.writeSystemInformationOnce(SystemFacts{});
        log.writeLogLine(QStringLiteral("next"));
        QStringList stamped;
        for (const QString &line : fileLines(log.filePath()))
            if (const QRegularExpressionMatch match = kStamped.match(line); match.hasMatch())
                stamped << match.captured(1);
        return stamped;
    };
    {
        OutputLog beside;
        QVERIFY(beside.hasFile());
        QVERIFY(beside.filePath().startsWith(AppPaths::programDirectory()));
        QCOMPARE(linesAfterHeader(beside), QStringList{"next"});
        QFile::remove(beside.filePath());
    }
    // The program's folder is a plain file here: nothing can be made in it,
    // also not by a user who may write everywhere.
    const QString blocked = m_dir.filePath(QStringLiteral("program"));
    QFile blocker(blocked);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AppPaths::setProgramFile(blocked + QStringLiteral("/zelnor-wizard"));
    {
        OutputLog away;
        QVERIFY(away.hasFile());
        const QString folder = QFileInfo(away.filePath()).absolutePath();
        QVERIFY(!folder.startsWith(blocked));
        QCOMPARE(linesAfterHeader(away),
                 (QStringList{QStringLiteral("The folder '%1/Log' cannot be made; the log files are written to '%2'.")
                                  .arg(blocked, folder),
                              "next"}));
        QFile::remove(away.filePath());
    }
    // Installed under a prefix (bin and share/zelnor-wizard): the logs go to
    // the user's data folder as a matter of course, and nothing is said.
    const QDir prefix(m_dir.filePath(QStringLiteral("usr")));
    QVERIFY(prefix.mkpath(QStringLiteral("bin")) && prefix.mkpath(QStringLiteral("share/zelnor-wizard")));
    AppPaths::setProgramFile(prefix.filePath(QStringLiteral("bin/zelnor-wizard")));
    OutputLog installed;
    AppPaths::setProgramFile(QString());
    QVERIFY(installed.hasFile());
    QVERIFY(!installed.filePath().startsWith(prefix.path()));
    QCOMPARE(linesAfterHeader(installed), QStringList{"next"});
    QFile::remove(installed.filePath());
}

// A tool called a hundred times a day leaves one file a day, headed once by
// the system information, each call starting with its command line.
void TestOutputLog::toolCallsOfOneDayShareOneFile()
{
    AppPaths::setProgramFile(m_dir.filePath(QStringLiteral("bin/zelnor-wizard")));
    QDir().mkpath(m_dir.filePath(QStringLiteral("bin")));
    const QDate day(2026, 12, 9);
    QString path;
    for (const char *command : {"zelnorctl tree a.prj", "zelnorctl upload a.prj --create"}) {
        std::unique_ptr<OutputLog> log =
            OutputLog::ForTool(QStringLiteral("zelnorctl"), QString::fromLatin1(command).split(u' '), SystemFacts{}, day);
        QVERIFY(log->hasFile());
        QVERIFY(!log->systemInformationPending());
        QSignalSpy heard(log.get(), &OutputLog::textAdded);
        log->writeLogLine(QStringLiteral("done"));
        QCOMPARE(heard.size(), 1);
        QVERIFY(path.isEmpty() || path == log->filePath());
        path = log->filePath();
    }
    QCOMPARE(path, m_dir.filePath(QStringLiteral("bin/Log/2026_12_09_zelnorctl_Log.txt")));
    const QStringList lines = fileLines(path);
    QCOMPARE(lines.count(QStringLiteral("SYSTEM INFORMATION")), 1);
    QCOMPARE(lines.first(), QString(79, u'-'));
    QStringList stamped;
    for (const QString &line : lines)
        if (const QRegularExpressionMatch match = kStamped.match(line); match.hasMatch())
            stamped << match.captured(1);
    QCOMPARE(stamped, (QStringList{"zelnorctl tree a.prj", "done", "zelnorctl upload a.prj --create", "done"}));
    // The next day has a file of its own; the tools' files and the window's
    // per-run files do not mix.
    const std::unique_ptr<OutputLog> next =
        OutputLog::ForTool(QStringLiteral("zelnorctl"), {QStringLiteral("zelnorctl")}, SystemFacts{}, day.addDays(1));
    QCOMPARE(QFileInfo(next->filePath()).fileName(), QStringLiteral("2026_12_10_zelnorctl_Log.txt"));
    QCOMPARE(QDir(m_dir.filePath(QStringLiteral("bin/Log"))).entryList(QDir::Files).size(), 2);
    AppPaths::setProgramFile(QString());
}

QTEST_GUILESS_MAIN(TestOutputLog)
#include "test_output_log.moc"
