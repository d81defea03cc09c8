#include "link/auto_reset_event.h"
#include "link/link_notice_handler.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cerrno>
#include <thread>

class TestLinkCycleEvents : public QObject {
    Q_OBJECT
private slots:
    void signalIsSeenByOneWaitOnly();
    void zeroTimeOutLooksAndGoesOn();
    void eitherWaitTakesTheFirstAndLeavesTheOther();
    void eitherWaitTimesOut();
    void setOnAnotherThreadWakesTheWaiter();
    void portLineEndsByTheOpenResult();
    void portResultSetsTheRetryWait();
    void recheckRunsOnceAtTheNextConnectionNotice();
    void handledCommandIsClearedButAStopStands();
};

namespace {
struct CountingHooks : LinkProjectHooks {
    int silentComparisons = 0;
    int liveValueRefreshes = 0;
    void runSilentComparison() override { ++silentComparisons; }
    void refreshLiveValues(const CModuleImage &) override { ++liveValueRefreshes; }
};
} // namespace

void TestLinkCycleEvents::signalIsSeenByOneWaitOnly()
{
    AutoResetEvent event;
    event.set();
    event.set(); // not counted: still one signal
    QVERIFY(event.wait(0));
    QVERIFY(!event.isSet());
    QVERIFY(!event.wait(20));
    event.set();
    event.reset();
    QVERIFY(!event.wait(0));
}

void TestLinkCycleEvents::zeroTimeOutLooksAndGoesOn()
{
    AutoResetEvent first;
    AutoResetEvent second;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(AutoResetEvent::waitForEither(first, second, 0), -1);
    QVERIFY(clock.elapsed() < 100);
}

void TestLinkCycleEvents::eitherWaitTakesTheFirstAndLeavesTheOther()
{
    AutoResetEvent timer;
    AutoResetEvent command;
    command.set();
    QCOMPARE(AutoResetEvent::waitForEither(timer, command, 0), 1);
    timer.set();
    command.set();
    QCOMPARE(AutoResetEvent::waitForEither(timer, command, 0), 0);
    QVERIFY(command.isSet());
    QCOMPARE(AutoResetEvent::waitForEither(timer, command, 0), 1);
    QCOMPARE(AutoResetEvent::waitForEither(timer, command, 0), -1);
}

void TestLinkCycleEvents::eitherWaitTimesOut()
{
    AutoResetEvent first;
    AutoResetEvent second;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(AutoResetEvent::waitForEither(first, second, 150), -1);
    QVERIFY(clock.elapsed() >= 140);
    QVERIFY(clock.elapsed() < 1000);
}

void TestLinkCycleEvents::setOnAnotherThreadWakesTheWaiter()
{
    AutoResetEvent first;
    AutoResetEvent second;
    QElapsedTimer clock;
    clock.start();
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        second.set();
    });
    const int woke = AutoResetEvent::waitForEither(first, second, AutoResetEvent::kInfinite);
    setter.join();
    QCOMPARE(woke, 1);
    QVERIFY(clock.elapsed() < 1000);

    std::thread other([&] { first.set(); });
    QVERIFY(first.wait(5000));
    other.join();
}

void TestLinkCycleEvents::portLineEndsByTheOpenResult()
{
    TestSupport::loadEnglish();
    QCOMPARE(LinkNoticeHandler::portLine(QStringLiteral("/dev/ttyUSB0"), 0),
             QStringLiteral("Openning port: /dev/ttyUSB0... OK"));
    QCOMPARE(LinkNoticeHandler::portLine(QStringLiteral("/dev/ttyS0"), CSerialLink::kAccessDenied),
             QStringLiteral("Openning port: /dev/ttyS0... Access is denied."));
    QCOMPARE(LinkNoticeHandler::portLine(QStringLiteral("/dev/ttyS9"), ENOENT),
             QStringLiteral("Openning port: /dev/ttyS9...Failed."));
}

void TestLinkCycleEvents::portResultSetsTheRetryWait()
{
    TestSupport::loadEnglish();
    LinkShared shared;
    LinkNoticeHandler handler(shared);
    handler.handle(LinkNotice::PortResult, ENOENT);
    QCOMPARE(shared.retryWaitMs, LinkNoticeHandler::kRetryWaitMs);
    handler.handle(LinkNotice::PortResult, CSerialLink::kAccessDenied);
    QCOMPARE(shared.retryWaitMs, LinkNoticeHandler::kRetryWaitMs);
    handler.handle(LinkNotice::PortResult, 0);
    QCOMPARE(shared.retryWaitMs, 0);
}

void TestLinkCycleEvents::recheckRunsOnceAtTheNextConnectionNotice()
{
    LinkShared shared;
    LinkNoticeHandler handler(shared);
    CountingHooks hooks;
    handler.setProjectHooks(&hooks);
    handler.handle(LinkNotice::Connection, PeriodicRefresh);
    QCOMPARE(hooks.silentComparisons, 0);
    shared.recheckAfterRead = true;
    handler.handle(LinkNotice::Connection, PeriodicRefresh);
    QCOMPARE(hooks.silentComparisons, 1);
    QVERIFY(!shared.recheckAfterRead);
    handler.handle(LinkNotice::Connection, PeriodicRefresh);
    QCOMPARE(hooks.silentComparisons, 1);
    QCOMPARE(hooks.liveValueRefreshes, 3);
}

void TestLinkCycleEvents::handledCommandIsClearedButAStopStands()
{
    LinkShared shared;
    LinkNoticeHandler handler(shared);
    shared.command = LinkCommand::Download;
    handler.handle(LinkNotice::DownloadDone, 0);
    QCOMPARE(shared.command.load(), LinkCommand::None);
    shared.command = LinkCommand::Upload;
    handler.handle(LinkNotice::UploadDone, 0);
    QCOMPARE(shared.command.load(), LinkCommand::None);
    shared.command = LinkCommand::Stop;
    handler.handle(LinkNotice::DownloadDone, 0);
    QCOMPARE(shared.command.load(), LinkCommand::Stop);
}

QTEST_GUILESS_MAIN(TestLinkCycleEvents)
#include "test_link_cycle_events.moc"
