#include "link_cycle_harness.h"

#include <QElapsedTimer>

class TestLinkCycleCommands : public QObject {
    Q_OBJECT
private slots:
    void downloadWritesEveryParameterBlockInOrder();
    void commandFollowsAModuleThatJustAnsweredWithoutAnotherPoll();
    void commandAfterALongSilencePollsTheModuleFirst();
    void aModuleThatTookThePlaceMeanwhileIsNotWritten();
    void downloadOfANewTagAnnouncesAnotherModule();
    void downloadThatChangesNothingRechecksSilently();
    void dipConfiguredModuleTakesOnlyItsTags();
    void failedDownloadIsReportedAsError();
    void stopDuringDownloadEndsAfterTheCurrentBlock();
    void downloadIsRefusedWhileOneIsCarriedOut();
    void uploadReadsEverythingAndHandsItOver();
    void uploadWithoutModuleIsReportedAsError();
    void actionIsSentAndReported();
    void theActionResultBoxLeavesTheLinkRunning();
    void unansweredActionIsReportedAsFailed_data();
    void unansweredActionIsReportedAsFailed();
    void commandsAreRefusedWhileADownloadIsCarriedOut();
};

static CModuleImage withTag(CModuleImage image, const QString &tag)
{
    image.Channel[0].Name = tag;
    return image;
}

void TestLinkCycleCommands::downloadWritesEveryParameterBlockInOrder()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    CModuleImage written = h.simulator.image();
    written.Channel[1].Description = QStringLiteral("Written by the test");
    const qsizetype from = h.simulator.traffic().size();
    QVERIFY(h.controller.RequestDownload(written, Family7230));
    QVERIFY(h.waitForNotice(4, 0, 5000));
    QStringList writes = h.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^W")));
    QCOMPARE(writes, QStringList({"W1", "W2", "W3", "W6", "W4", "W5", "W7"}));
    QCOMPARE(h.simulator.image().Channel[1].Description, QStringLiteral("Written by the test"));
    QCOMPARE(h.lines.last(), QStringLiteral("Download for module 'Module A' ...... OK"));
    QCOMPARE(h.controller.shared().command.load(), LinkCommand::None);
    QVERIFY(h.hooks.silentComparisons >= 1);
}

void TestLinkCycleCommands::commandFollowsAModuleThatJustAnsweredWithoutAnotherPoll()
{
    SimulatorOptions paced;
    paced.lineRate = true;
    LinkCycleHarness h(paced);
    QVERIFY(h.startOnline());
    // Asked for in the middle of a routine poll: the poll ends after the
    // frame under way, and the module that answered that very moment is not
    // polled once more before the writes.
    const int polling = int(h.simulator.traffic().size());
    QVERIFY(h.simulator.waitForTraffic(polling + 2, 5000));
    const qsizetype from = h.simulator.traffic().size();
    QVERIFY(h.controller.RequestDownload(h.simulator.image(), Family7230));
    QVERIFY(h.waitForNotice(4, 0, 10000));
    const QStringList traffic = h.trafficFrom(from);
    const QStringList beforeWrites = traffic.mid(0, traffic.indexOf(QStringLiteral("W1")));
    QVERIFY2(beforeWrites.size() <= 1, qPrintable(traffic.join(u' ')));
    QCOMPARE(traffic.filter(QRegularExpression(QStringLiteral("^W"))),
             QStringList({"W1", "W2", "W3", "W6", "W4", "W5", "W7"}));
    QCOMPARE(h.lines.last(), QStringLiteral("Download for module 'Module A' ...... OK"));
    // The read-back is whole all the same.
    QVERIFY(h.waitForNotice(2, 0, 10000, h.notices.indexOf(Notice(4, 0))));
    const QStringList afterWrites = h.trafficFrom(from).mid(traffic.indexOf(QStringLiteral("W7")) + 1);
    QCOMPARE(afterWrites.mid(0, 10), QStringList({"R0", "R2", "R8", "R4", "R9", "R3", "R6", "R1", "R5", "R7"}));
}

void TestLinkCycleCommands::commandAfterALongSilencePollsTheModuleFirst()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    // The worker waits for the periodic refresh to be handled; the command
    // comes meanwhile, and the module has not been heard for longer than a
    // poll takes: whether it is still there is asked before anything else.
    qsizetype from = -1;
    bool asked = false;
    QObject::connect(&h.controller, &LinkController::noticeHandled, [&](int kind, int change) {
        if (asked || kind != int(LinkNotice::Connection) || change != PeriodicRefresh)
            return;
        asked = true;
        from = h.simulator.traffic().size();
        QVERIFY(h.controller.RequestAction(ActionCode::ResetLimitValue1));
        QThread::msleep(300);
    });
    QVERIFY(h.waitForNotice(7, 0, 10000));
    QVERIFY(asked);
    const QStringList traffic = h.trafficFrom(from);
    QVERIFY2(traffic.join(u' ').startsWith(QStringLiteral("R0 R2 R8 R4 R9 AE1:0")), qPrintable(traffic.join(u' ')));
}

void TestLinkCycleCommands::aModuleThatTookThePlaceMeanwhileIsNotWritten()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const CModuleImage prepared = withTag(h.simulator.image(), QStringLiteral("TT-PREPARED"));
    // While the worker waits for a refresh to be handled, another module
    // takes the place of the one the download was made for.
    qsizetype from = -1;
    qsizetype before = -1;
    QObject::connect(&h.controller, &LinkController::noticeHandled, [&](int kind, int change) {
        if (from >= 0 || kind != int(LinkNotice::Connection) || change != PeriodicRefresh)
            return;
        h.simulator.setSerialNumber(QStringLiteral("OTHER0001"));
        from = h.simulator.traffic().size();
        before = h.notices.size();
        QVERIFY(h.controller.RequestDownload(prepared, Family7230));
        QThread::msleep(300);
    });
    QVERIFY(h.waitForNotice(4, 0, 10000));
    QCOMPARE(h.lines.last(), QStringLiteral("Download for module 'Module A' ...... ERROR"));
    QCOMPARE(h.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^W"))), QStringList());
    QVERIFY(h.simulator.image().Channel[0].Name != QStringLiteral("TT-PREPARED"));
    // The other module was announced before the download was refused.
    QCOMPARE(h.noticesWithoutRefreshFrom(before), QList<Notice>({{2, 2}, {2, 1}, {4, 0}}));
}

void TestLinkCycleCommands::downloadOfANewTagAnnouncesAnotherModule()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const qsizetype before = h.notices.size();
    QVERIFY(h.controller.RequestDownload(withTag(h.simulator.image(), QStringLiteral("TT-NEW")), Family7230));
    QVERIFY(h.waitForNotice(2, 1, 5000, before));
    QCOMPARE(h.noticesWithoutRefreshFrom(before), QList<Notice>({{4, 0}, {2, 2}, {2, 1}}));
    QCOMPARE(h.linesContaining(QStringLiteral("Starts offline mode:")), 1);
    QCOMPARE(h.linesContaining(QStringLiteral("Starts online mode:")), 2);
    QCOMPARE(h.hooks.connectedTags.last(), QStringLiteral("TT-NEW"));
}

void TestLinkCycleCommands::downloadThatChangesNothingRechecksSilently()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const qsizetype before = h.notices.size();
    const qsizetype from = h.simulator.traffic().size();
    QVERIFY(h.controller.RequestDownload(h.simulator.image(), Family7230));
    QVERIFY(h.waitForNotice(4, 0, 5000, before));
    // The module is read back in full once, without any connection notice;
    // the next refresh runs the silent comparison again.
    QVERIFY(h.waitForNotice(2, 0, 5000, before));
    QCOMPARE(h.hooks.silentComparisons, 2);
    QCOMPARE(h.connectionChangesFrom(before), QList<Notice>());
    const QStringList traffic = h.trafficFrom(from);
    const QStringList afterWrites = traffic.mid(traffic.indexOf(QStringLiteral("W7")) + 1);
    QCOMPARE(afterWrites.mid(0, 10),
             QStringList({"R0", "R2", "R8", "R4", "R9", "R3", "R6", "R1", "R5", "R7"}));
    QCOMPARE(afterWrites.count(QStringLiteral("R3")), 1);
}

void TestLinkCycleCommands::dipConfiguredModuleTakesOnlyItsTags()
{
    SimulatorOptions options;
    options.dipConfigured = true;
    LinkCycleHarness h(options);
    QVERIFY(h.startOnline());
    const qsizetype from = h.simulator.traffic().size();
    CModuleImage written = withTag(h.simulator.image(), QStringLiteral("TT-DIP"));
    written.Channel[0].Description = QStringLiteral("not to be written");
    QVERIFY(h.controller.RequestDownload(written, Family7230));
    QVERIFY(h.waitForNotice(4, 0, 5000));
    QCOMPARE(h.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^W"))), QStringList({"W2", "W4"}));
    QCOMPARE(h.simulator.image().Channel[0].Name, QStringLiteral("TT-DIP"));
    QVERIFY(h.simulator.image().Channel[0].Description != QStringLiteral("not to be written"));
}

void TestLinkCycleCommands::failedDownloadIsReportedAsError()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const qsizetype from = h.simulator.traffic().size();
    SimulatorFault fault;
    fault.kind = SimulatorFault::NoReply;
    fault.commands = {Frame::kWriteBlock + 3};
    h.simulator.injectFault(fault);
    QVERIFY(h.controller.RequestDownload(h.simulator.image(), Family7230));
    QVERIFY(h.waitForNotice(4, 0, 10000));
    QCOMPARE(h.lines.last(), QStringLiteral("Download for module 'Module A' ...... ERROR"));
    // Blocks before the failure stay written; none after it is tried.
    const QStringList writes = h.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^W")));
    QCOMPARE(writes.mid(0, 2), QStringList({"W1", "W2"}));
    QVERIFY(!writes.contains(QStringLiteral("W6")));
}

void TestLinkCycleCommands::stopDuringDownloadEndsAfterTheCurrentBlock()
{
    SimulatorOptions options;
    options.replyDelayUs = 300'000;
    LinkCycleHarness h(options);
    QVERIFY(h.startOnline());
    const qsizetype from = h.simulator.traffic().size();
    QVERIFY(h.controller.RequestDownload(h.simulator.image(), Family7230));
    QElapsedTimer waited;
    waited.start();
    while (!h.trafficFrom(from).contains(QStringLiteral("W1")) && waited.elapsed() < 10000)
        QTest::qWait(1);
    QElapsedTimer clock;
    clock.start();
    h.controller.StopLink();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(400);
    QCOMPARE(h.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^W"))), QStringList({"W1"}));
    QVERIFY(!h.notices.contains(Notice(4, 0)));
}

void TestLinkCycleCommands::downloadIsRefusedWhileOneIsCarriedOut()
{
    SimulatorOptions options;
    options.replyDelayUs = 100'000;
    LinkCycleHarness h(options);
    QVERIFY(h.startOnline());
    const CModuleImage first = withTag(h.simulator.image(), QStringLiteral("TT-FIRST"));
    QVERIFY(h.controller.RequestDownload(first, Family7230));
    QVERIFY(!h.controller.RequestDownload(withTag(first, QStringLiteral("TT-SECOND")), Family7230));
    QCOMPARE(h.controller.shared().writeImage.Channel[0].Name, QStringLiteral("TT-FIRST"));
    QVERIFY(h.waitForNotice(4, 0, 10000));
    QVERIFY(h.controller.RequestDownload(withTag(first, QStringLiteral("TT-SECOND")), Family7230));
}

void TestLinkCycleCommands::uploadReadsEverythingAndHandsItOver()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const qsizetype from = h.simulator.traffic().size();
    h.controller.RequestCommand(LinkCommand::Upload);
    QVERIFY(h.waitForNotice(3, 0, 5000));
    QVERIFY(h.trafficFrom(from).join(u' ').contains(QStringLiteral("R0 R2 R8 R4 R9 R3 R6 R1 R5 R7")));
    QCOMPARE(h.hooks.calls.last(), QStringLiteral("upload SIM00000001"));
    QCOMPARE(h.lines.last(), QStringLiteral("Upload for module 'Module A' ...... OK"));
    QCOMPARE(h.controller.shared().command.load(), LinkCommand::None);
}

void TestLinkCycleCommands::uploadWithoutModuleIsReportedAsError()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    h.simulator.setUnplugged(true);
    QVERIFY(h.waitForNotice(2, 2, 10000));
    h.controller.RequestCommand(LinkCommand::Upload);
    QVERIFY(h.waitForNotice(3, 0, 10000));
    QCOMPARE(h.lines.last(), QStringLiteral("Upload for module 'Module A' ...... ERROR"));
    QVERIFY(!h.hooks.calls.contains(QStringLiteral("upload SIM00000001")));
}

void TestLinkCycleCommands::actionIsSentAndReported()
{
    ScriptedMessages messages;
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    const qsizetype from = h.simulator.traffic().size();
    h.controller.RequestAction(ActionCode::ResetLimitValue2);
    QVERIFY(h.waitForNotice(7, static_cast<int>(ActionCode::ResetLimitValue2), 5000));
    QCOMPARE(h.hooks.calls.last(), QStringLiteral("action 1"));
    QCOMPARE(h.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^A"))).size(), 1);
    // The result is logged and shown in a message box without icon.
    QCOMPARE(h.lines.last(), QStringLiteral("Adjust Reset limit value, Channel 2...OK"));
    QCOMPARE(messages.texts().value(0), h.lines.last());
    QCOMPARE(messages.shown().front().icon, MessageIcon::None);
    // An action is no upload or download: the command stays as it was given.
    QCOMPARE(h.controller.shared().command.load(), LinkCommand::Action);
}

// While the user reads the result of an action, the worker polls the module
// on and the periodic refresh (live values, monitoring file) comes through.
void TestLinkCycleCommands::theActionResultBoxLeavesTheLinkRunning()
{
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    qsizetype exchangesDuringBox = -1;
    bool refreshedDuringBox = false;
    QStringList boxes;
    const MessageService::Presenter previous =
        MessageService::setPresenter([&](const MessageRequest &request) {
            boxes << request.text;
            const qsizetype trafficAtOpen = h.simulator.traffic().size();
            const qsizetype noticesAtOpen = h.notices.size();
            // The user reads the box for a little longer than one refresh period.
            QElapsedTimer open;
            open.start();
            while (open.elapsed() < LinkController::kRefreshPeriodMs + 1500 && !refreshedDuringBox) {
                QTest::qWait(20);
                refreshedDuringBox = h.notices.indexOf(qMakePair(2, 0), noticesAtOpen) >= 0;
            }
            exchangesDuringBox = h.simulator.traffic().size() - trafficAtOpen;
            return MessageAnswer::Ok;
        });
    QVERIFY(h.controller.RequestAction(ActionCode::ResetLimitValue1));
    QVERIFY(h.waitForNotice(7, 0, 5000));
    QTRY_COMPARE(boxes.size(), 1);
    MessageService::setPresenter(previous);
    QCOMPARE(boxes.front(), QStringLiteral("Adjust Reset limit value, Channel 1...OK"));
    QVERIFY2(exchangesDuringBox > 0, qPrintable(QString::number(exchangesDuringBox)));
    QVERIFY(refreshedDuringBox);
}

void TestLinkCycleCommands::unansweredActionIsReportedAsFailed_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("status");
    const QString none = QStringLiteral("No valid reply from the module");
    QTest::newRow("no reply") << int(SimulatorFault::NoReply) << none;
    QTest::newRow("bad checksum") << int(SimulatorFault::BadChecksum) << none;
    QTest::newRow("wrong echo") << int(SimulatorFault::WrongEcho) << none;
    QTest::newRow("cut short") << int(SimulatorFault::CutShort)
                               << QStringLiteral("The module's reply was cut short");
}

void TestLinkCycleCommands::unansweredActionIsReportedAsFailed()
{
    QFETCH(int, fault);
    QFETCH(QString, status);
    ScriptedMessages messages;
    LinkCycleHarness h;
    QVERIFY(h.startOnline());
    // A first action answered OK: its reply must not stand in for the next.
    h.controller.RequestAction(ActionCode::ResetLimitValue1);
    QVERIFY(h.waitForNotice(7, 0, 5000));
    QCOMPARE(h.lines.last(), QStringLiteral("Adjust Reset limit value, Channel 1...OK"));
    SimulatorFault unanswered;
    unanswered.kind = static_cast<SimulatorFault::Kind>(fault);
    unanswered.commands = {Frame::kChannelAction};
    h.simulator.injectFault(unanswered);
    const qsizetype notices = h.notices.size();
    QVERIFY(h.controller.RequestAction(ActionCode::TwoWireCompensation1));
    QVERIFY(h.waitForNotice(7, 2, 5000, notices));
    const QString line = "Adjust 2-wires compensation, Channel1..." + status;
    QCOMPARE(h.lines.last(), line);
    QCOMPARE(messages.texts().last(), line);
    QVERIFY(h.controller.shared().actionResult != LinkResult::Ok);
}

void TestLinkCycleCommands::commandsAreRefusedWhileADownloadIsCarriedOut()
{
    ScriptedMessages messages;
    SimulatorOptions options;
    options.replyDelayUs = 100'000;
    LinkCycleHarness h(options);
    QVERIFY(h.startOnline());
    const qsizetype from = h.simulator.traffic().size();
    QVERIFY(
        h.controller.RequestDownload(withTag(h.simulator.image(), QStringLiteral("TT-BUSY")), Family7230));
    // Neither overwrites the download; neither is kept for later.
    QVERIFY(!h.controller.RequestCommand(LinkCommand::Upload));
    QVERIFY(!h.controller.RequestAction(ActionCode::ResetLimitValue1));
    const QString busy =
        QStringLiteral("The link is busy with an upload or a download; the command was not carried out.");
    QCOMPARE(messages.texts(), QStringList({busy, busy}));
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
    QCOMPARE(h.lines.filter(busy).size(), 2);
    QVERIFY(h.waitForNotice(4, 0, 10000));
    QCOMPARE(h.lines.filter(QStringLiteral("Download for module 'Module A' ...... OK")).size(), 1);
    QCOMPARE(h.simulator.image().Channel[0].Name, QStringLiteral("TT-BUSY"));
    QTest::qWait(300);
    QVERIFY(h.trafficFrom(from).filter(QRegularExpression(QStringLiteral("^A"))).isEmpty());
    QVERIFY(!h.notices.contains(Notice(3, 0)));
    // Once the download has been handled the link takes commands again.
    QVERIFY(h.controller.RequestAction(ActionCode::ResetLimitValue1));
    QVERIFY(h.waitForNotice(7, 0, 5000));
}

QTEST_GUILESS_MAIN(TestLinkCycleCommands)
#include "test_link_cycle_commands.moc"
