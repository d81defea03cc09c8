#include "link_cycle_harness.h"

#include "link/com_port.h"
#include "base/string_table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

class TestLinkCycle : public QObject {
    Q_OBJECT
private slots:
    void pluggedModuleIsReadInFullOnce();
    void singleChannelModuleReadsItsOwnBlocks();
    void replacedModuleIsLostThenConnected();
    void silentModuleGoesOffline();
    void pulledPortIsRetriedAtTheRetryPace();
    void missingPortIsLoggedOnceUntilItAppears();
    void changedPortIsOpenedAtOnce();
    void aPortGivenWithItsSettingsIsOpenedAtThem();
    void stopReturnsWhileANoticeWaitsToBeHandled();
    void linkRunsOnlyWhileAProjectIsOpen();
};

void TestLinkCycle::pluggedModuleIsReadInFullOnce()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const QStringList first = h.simulator.traffic().mid(0, 10);
    QCOMPARE(first, QStringList({"R0", "R2", "R8", "R4", "R9", "R3", "R6", "R1", "R5", "R7"}));
    QVERIFY(h.simulator.waitForTraffic(20, 5000));
    // The same module again: only its identity and live values.
    QCOMPARE(h.simulator.traffic().mid(10, 10),
             QStringList({"R0", "R2", "R8", "R4", "R9", "R0", "R2", "R8", "R4", "R9"}));

    QCOMPARE(h.lines.value(0), "Openning port: " + h.simulator.devicePath() + "... OK");
    QCOMPARE(h.lines.value(1), QStringLiteral("Module connected! Starts online mode:"));
    QCOMPARE(h.hooks.calls.mid(0, 2), QStringList({"find SIM00000001", "compare SIM00000001"}));
    QCOMPARE(h.notices.mid(0, 2), QList<Notice>({{5, 0}, {2, 1}}));
    QVERIFY(h.controller.isOnline());
    QCOMPARE(h.connectionChangesFrom(0).size(), 1);

    // The file holds what the pane got, each line ending in CR LF.
    QFile file(h.log->filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("   Module connected! Starts online mode:\r\n"));
}

void TestLinkCycle::singleChannelModuleReadsItsOwnBlocks()
{
    SimulatorOptions options;
    options.channels = 1;
    LinkCycleHarness h(options);
    QVERIFY(h.startOnline());
    QVERIFY(h.simulator.waitForTraffic(9, 5000));
    QCOMPARE(h.simulator.traffic().mid(0, 9),
             QStringList({"R0", "R2", "R8", "R3", "R6", "R1", "R0", "R2", "R8"}));
}

void TestLinkCycle::replacedModuleIsLostThenConnected()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const qsizetype before = h.notices.size();
    h.simulator.setSerialNumber(QStringLiteral("SIM00000002"));
    QVERIFY(h.waitForNotice(2, 1, 5000, before));
    QCOMPARE(h.connectionChangesFrom(before), QList<Notice>({{2, 2}, {2, 1}}));
    QCOMPARE(h.linesContaining(QStringLiteral("Module disconnected or not found! Starts offline mode:")), 1);
    QCOMPARE(h.linesContaining(QStringLiteral("Module connected! Starts online mode:")), 2);
    QVERIFY(h.hooks.calls.contains(QStringLiteral("offline")));
    QCOMPARE(h.hooks.calls.last(), QStringLiteral("compare SIM00000002"));
}

void TestLinkCycle::silentModuleGoesOffline()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const qsizetype before = h.notices.size();
    h.simulator.setUnplugged(true);
    QVERIFY(h.waitForNotice(2, 2, 10000, before));
    QCOMPARE(h.lines.last(), QStringLiteral("Module disconnected or not found! Starts offline mode:"));
    QVERIFY(!h.controller.isOnline());
    h.simulator.setUnplugged(false);
    QVERIFY(h.waitForNotice(2, 1, 10000, before));
    QCOMPARE(h.connectionChangesFrom(before), QList<Notice>({{2, 2}, {2, 1}}));
}

void TestLinkCycle::pulledPortIsRetriedAtTheRetryPace()
{
    QTemporaryDir portDir;
    SimulatorOptions options;
    options.linkPath = QDir(portDir.path()).filePath(QStringLiteral("ttyAdapter"));
    LinkCycleHarness h(options);
    QVERIFY(h.startOnline());
    const qsizetype before = h.notices.size();
    h.simulator.unplugPort();
    QVERIFY(h.waitForNotice(2, 2, 10000, before));
    // The port is closed and retried, paced by the retry wait instead of
    // being polled back to back.
    QVERIFY(h.waitForNotice(5, ENOENT, 5000, before));
    QCOMPARE(h.linesContaining("Openning port: " + options.linkPath + "...Failed."), 1);
    // The port's own words follow, once.
    QCOMPARE(h.linesContaining(StrF(LinkText::kPortOpenFailed, {options.linkPath, QString()})), 1);
    const std::uint64_t polls = h.controller.shared().polls;
    QTest::qWait(1000);
    QVERIFY(h.controller.shared().polls - polls <= 1);

    QVERIFY(h.simulator.replugPort());
    QVERIFY(h.waitForNotice(2, 1, 10000, before));
    QCOMPARE(h.linesContaining("Openning port: " + options.linkPath + "... OK"), 2);
    QCOMPARE(h.connectionChangesFrom(before), QList<Notice>({{2, 2}, {2, 1}}));
}

void TestLinkCycle::missingPortIsLoggedOnceUntilItAppears()
{
    LinkCycleHarness h;
    QVERIFY(h.startSimulator());
    const QString port = QDir(h.logDir.path()).filePath(QStringLiteral("ttyModule"));
    QVERIFY(h.start(port));
    QVERIFY(h.waitForNotice(5, ENOENT, 5000));
    // The next attempt comes with the 3-second tick; its result is the same.
    QTRY_VERIFY_WITH_TIMEOUT(h.controller.shared().polls >= 2, 5000);
    QCOMPARE(h.linesContaining(QStringLiteral("Openning port: ")), 1);
    QCOMPARE(h.lines.value(0), "Openning port: " + port + "...Failed.");
    QCOMPARE(h.controller.shared().retryWaitMs, LinkNoticeHandler::kRetryWaitMs);

    QVERIFY(QFile::link(h.simulator.devicePath(), port));
    QVERIFY(h.waitForNotice(5, 0, 5000));
    QVERIFY(h.waitForNotice(2, 1, 5000));
    QCOMPARE(h.linesContaining(QStringLiteral("Openning port: ")), 2);
    QVERIFY(h.lines.contains("Openning port: " + port + "... OK"));
    QCOMPARE(h.controller.shared().retryWaitMs, 0);
}

void TestLinkCycle::changedPortIsOpenedAtOnce()
{
    LinkCycleHarness h;
    QVERIFY(h.startSimulator());
    QVERIFY(h.start(QDir(h.logDir.path()).filePath(QStringLiteral("ttyNone"))));
    QVERIFY(h.waitForNotice(5, ENOENT, 5000));
    QElapsedTimer clock;
    clock.start();
    h.controller.ChangePort(h.simulator.devicePath());
    QCOMPARE(ComPort::configuredName(), h.simulator.devicePath());
    QVERIFY(h.waitForNotice(2, 1, 5000));
    // Not paced by the retry wait nor by the refresh tick.
    QVERIFY(clock.elapsed() < LinkController::kRefreshPeriodMs);
    QCOMPARE(h.lines.value(2), "Openning port: " + h.simulator.devicePath() + "... OK");
}

void TestLinkCycle::aPortGivenWithItsSettingsIsOpenedAtThem()
{
    SimulatorOptions options;
    options.baudRate = 38400;
    LinkCycleHarness h(options);
    QVERIFY(h.startSimulator());
    LineSettings settings;
    settings.baudRate = 38400;
    h.controller.setPortOverride(h.simulator.devicePath(), settings);
    h.controller.setProjectOpen(true);
    QVERIFY(h.controller.StartLink());
    QVERIFY(h.waitForNotice(2, 1, 5000));
    QCOMPARE(h.controller.shared().lineSettings().baudRate, 38400);

    // The interface's own port (the setting) is opened at the usual rate:
    // the module does not hear it.
    ComPort::configure(h.simulator.devicePath());
    h.controller.ChangePort(h.simulator.devicePath());
    QVERIFY(h.waitForNotice(2, 2, 5000));
    QCOMPARE(h.controller.shared().lineSettings(), LineSettings());
    QVERIFY(!h.controller.isOnline());
}

void TestLinkCycle::stopReturnsWhileANoticeWaitsToBeHandled()
{
    LinkCycleHarness h;
    QVERIFY(h.startSimulator());
    QVERIFY(h.start(h.simulator.devicePath()));
    // No event loop runs here. The worker does not wait for the port's
    // notice: it reads the module meanwhile, then waits for the handling of
    // the module's notice.
    QElapsedTimer waited;
    waited.start();
    while (h.controller.shared().noticesPosted < 2 && waited.elapsed() < 5000)
        QThread::msleep(5);
    QThread::msleep(50);
    QCOMPARE(h.controller.shared().noticesPosted.load(), std::uint64_t(2));
    QVERIFY(h.controller.isOnline());
    const QStringList readWhileWaiting = h.simulator.traffic();
    QCOMPARE(readWhileWaiting.mid(0, 5), QStringList({"R0", "R2", "R8", "R4", "R9"}));

    QElapsedTimer clock;
    clock.start();
    h.controller.StopLink();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!h.controller.isRunning());
    // The notices that were waiting are dropped, not handled late, and the
    // worker read nothing more while it waited.
    QTest::qWait(50);
    QVERIFY(h.notices.isEmpty());
    QVERIFY(h.lines.isEmpty());
    QCOMPARE(h.simulator.traffic(), readWhileWaiting);

    // A new start is not confused by the dropped notice.
    QVERIFY(h.controller.StartLink());
    QVERIFY(h.waitForNotice(2, 1, 5000));
    QCOMPARE(h.notices.first(), Notice(5, 0));
}

void TestLinkCycle::linkRunsOnlyWhileAProjectIsOpen()
{
    LinkCycleHarness h;
    QVERIFY(h.startSimulator());
    h.controller.setPortOverride(h.simulator.devicePath());
    QVERIFY(!h.controller.StartLink());
    QVERIFY(!h.controller.isRunning());
    h.controller.setProjectOpen(true);
    QVERIFY(h.controller.StartLink());
    QVERIFY(h.waitForNotice(2, 1, 5000));
    h.controller.setProjectOpen(false);
    QVERIFY(!h.controller.isRunning());
    QVERIFY(!h.controller.isOnline());
}

QTEST_GUILESS_MAIN(TestLinkCycle)
#include "test_link_cycle.moc"
