// The link watch tool against the simulator program, both started from their
// command lines as a user would.
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TestLinkCycleWatch : public QObject {
    Q_OBJECT
private slots:
    void watchShowsTheModuleComingAndGoing();
    void watchRefusesABadDuration();

private:
    static QString program(const char *name) { return QDir(TestSupport::binDirectory()).filePath(name); }
};

void TestLinkCycleWatch::watchShowsTheModuleComingAndGoing()
{
    TestSupport::SimulatorProcess simulator;
    const QString device = simulator.device();
    QVERIFY(!device.isEmpty());

    QProcess watch;
    watch.start(program("zelnor-linkwatch"), {QStringLiteral("--seconds"), QStringLiteral("60"), device});
    QVERIFY(watch.waitForStarted());
    QByteArray shown;
    QVERIFY(TestSupport::waitForOutput(watch, shown, "Module connected! Starts online mode:", 10000));
    simulator.process().terminate();
    QVERIFY(simulator.process().waitForFinished(5000));
    QVERIFY(TestSupport::waitForOutput(watch, shown,
                                       "Module disconnected or not found! Starts offline mode:", 10000));
    watch.terminate();
    QVERIFY(watch.waitForFinished(5000));
    QCOMPARE(watch.exitStatus(), QProcess::NormalExit);
    QCOMPARE(watch.exitCode(), 0);
    shown += watch.readAllStandardOutput();

    const QStringList lines = QString::fromUtf8(shown).split(u'\n');
    QVERIFY(lines.value(1) == QStringLiteral("SYSTEM INFORMATION"));
    QCOMPARE(lines.value(20), "      Port              : " + device);
    QVERIFY(lines.value(24).endsWith("   Openning port: " + device + "... OK"));
    QVERIFY(lines.value(25).endsWith(QStringLiteral("   Module connected! Starts online mode:")));

    // The log file beside the program holds the same, line ends as CR LF.
    const QString stderrText = QString::fromUtf8(watch.readAllStandardError());
    const QString logPath =
        // A run of another test in the same second leaves this one "_Log_2.txt".
        QRegularExpression(QStringLiteral("log file (\\S+_Log(?:_\\d+)?\\.txt)")).match(stderrText).captured(1);
    QVERIFY2(!logPath.isEmpty(), qPrintable(stderrText));
    QCOMPARE(QFileInfo(logPath).absolutePath(),
             QDir(TestSupport::binDirectory()).filePath(QStringLiteral("Log")));
    QFile file(logPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    QCOMPARE(stored, shown.replace("\n", "\r\n"));
    QVERIFY(QFile::remove(logPath));
}

void TestLinkCycleWatch::watchRefusesABadDuration()
{
    QProcess watch;
    watch.start(program("zelnor-linkwatch"), {QStringLiteral("--seconds"), QStringLiteral("soon")});
    QVERIFY(watch.waitForFinished(5000));
    QCOMPARE(watch.exitCode(), 2);
    QVERIFY(watch.readAllStandardError().contains("--seconds"));
    QVERIFY(watch.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestLinkCycleWatch)
#include "test_link_cycle_watch.moc"
