// Commissioning runs against a simulated module on a real pseudo-terminal:
// how plugged modules are identified against the queue, written, read back,
// judged, recorded and kept in a real project file.
#include "commissioning/commissioning_backlog.h"
#include "commissioning/commissioning_choice.h"
#include "commissioning/commissioning_queue.h"
#include "commissioning/commissioning_report.h"
#include "commissioning/commissioning_records.h"
#include "commissioning/commissioning_run.h"
#include "link/transfer_harness.h"
#include "write_lock.h"
#include "link/block_layout.h"
#include "exchange/csv_table.h"
#include "tree/item_path.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {
using Phase = CommissioningRun::Phase;

CommissioningEntry Entry(const QString &name, qint32 typeId,
                         CommissioningState state = CommissioningState::Waiting, const QString &serialNr = {})
{
    CommissioningEntry entry;
    entry.name = name;
    entry.serialNr = serialNr;
    entry.path = QStringLiteral("\\\\Project\\") + name;
    entry.typeId = typeId;
    entry.state = state;
    return entry;
}

// A project with modules of a type directly under the project, the link to a
// simulated two-channel 7230/211-2 and a run over every module.
class RunFixture {
public:
    explicit RunFixture(const QStringList &prefixes, int typeId = kTwoChannel7230,
                        const SimulatorOptions &options = TwoChannel7230())
        : harness(options)
    {
        for (const QString &prefix : prefixes)
            project.createModule(typeId, prefix);
        project.open();
        harness.attach(project);
    }

    bool start(bool assignNext)
    {
        if (!prepare(assignNext))
            return false;
        run->Start();
        return true;
    }

    // The run made and its queue read, not started.
    bool prepare(bool assignNext)
    {
        if (!harness.link.controller.isRunning() && !harness.goOnline())
            return false;
        run = std::make_unique<CommissioningRun>(project.document, project.lookup, *harness.transfer,
                                                 harness.link.controller, project.session());
        run->setAssignNext(assignNext);
        if (beforeStart)
            beforeStart();
        Item *root = FindItemByPath(project.document, QStringLiteral("\\\\Project"));
        return root && run->Prepare(CommissioningQueue::EntriesUnder(project.document, *root));
    }

    bool waitFor(const std::function<bool()> &done, int timeoutMs = 15000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            QTest::qWait(10);
        return done();
    }
    bool waitForVerdicts(int count, int timeoutMs = 15000)
    {
        return waitFor([&] { return run->verdicts() >= count; }, timeoutMs);
    }
    bool waitForPhase(Phase phase)
    {
        return waitFor([&] { return run->phase() == phase; });
    }

    CommissioningState stateOf(int index) const { return run->queue().at(index).state; }
    std::vector<CommissioningRecord> records() { return CommissioningRecords(project.session()).List(); }
    QStringList writes() const { return harness.writesFrom(0); }
    // The module keeps a byte of block 6 other than it is sent, once.
    void misstoreNextWrite()
    {
        SimulatorFault misstore;
        misstore.kind = SimulatorFault::Misstore;
        misstore.commands = {0xC6};
        misstore.count = 5;
        harness.link.simulator.injectFault(misstore);
    }
    // The blocks a full download of a two-channel module writes, as the
    // simulated module now holds them, in block order.
    QString moduleCrc() const
    {
        QByteArray bytes;
        for (int block : {1, 2, 3, 4, 5, 6, 7})
            bytes += harness.link.simulator.block(block);
        return CommissioningRecords::Crc32(bytes);
    }

    TransferProject project;
    TransferHarness harness;
    std::unique_ptr<CommissioningRun> run;
    std::function<void()> beforeStart; // once the run is made, before it starts
};

// A run of the fixture's first module whose download meets the lock, until
// its verdict.
bool RunUnderLock(RunFixture &fixture, WriteLock &lock)
{
    fixture.beforeStart = [&] { lock.takeDuringDownload(*fixture.run); };
    return fixture.start(true) && fixture.waitForVerdicts(1, 40000) && lock.taken;
}
} // namespace

class TestCommissioningRun : public QObject {
    Q_OBJECT
private slots:
    void identificationFollowsTheQueue();
    void checksumIsTheStandardCrc32();
    void unknownModulesAreTakenInQueueOrderAndVerified();
    void anOfferedModuleIsWrittenOnlyWhenTaken();
    void aVerifiedModuleIsWrittenAgainOnlyWhenAsked();
    void aModuleOfATypeNothingQueuedHasIsRefused();
    void aReadBackThatDiffersFailsAndCanBeRetried();
    void aModuleThatStopsAnsweringFailsAndIsRetriedAtItsNextPlug();
    void aProjectThatCannotBeWrittenDoesNotStart();
    void aListSelectionQueuesEachModuleOnce();
    void aVerdictStandsOnlyWithItsStoredRecord();
    void whatARunCouldNotStoreIsStoredByTheNextRun();
    void aModuleWrittenHalfwayGoesBackToItsOwnPlace();
    void aReplacementTakesTheFailedPlace();
    void anotherModuleWithAVerifiedModulesTagsReplacesItOnlyWhenAsked();
    void aModuleSetByItsDipSwitchesIsVerifiedOnItsTags();
    void aCycleCountsFromTheModulesFirstAnswer();
    void theKeptRunIsContinuedOrReplaced();
    void recordsAreWrittenSoThatASpreadsheetTakesNoFormula();
};

void TestCommissioningRun::identificationFollowsTheQueue()
{
    CommissioningQueue queue({Entry("A", 7, CommissioningState::Verified, "S1"),
                              Entry("B", 7, CommissioningState::Failed, "S2"), Entry("C", 7), Entry("D", 7),
                              Entry("E", 9)});
    // A module seen before goes to its own place, whatever its tags say now.
    QCOMPARE(queue.Identify("S2", "B", 7).kind, CommissioningMatch::Queued);
    QCOMPARE(queue.Identify("S2", "half written", 7).index, 1);
    QCOMPARE(queue.Identify("S1", "A", 7).kind, CommissioningMatch::AlreadyVerified);
    // Another serial number with a verified module's tags is another module.
    QCOMPARE(queue.Identify("S9", "A", 7).kind, CommissioningMatch::OtherModule);
    QCOMPARE(queue.Identify("S9", "A", 7).index, 0);
    // Tags of a place never written are the place's own.
    QCOMPARE(queue.Identify("S9", "C", 7).index, 2);
    QCOMPARE(queue.Identify("S9", "C", 7).kind, CommissioningMatch::Queued);
    // Unknown: the first waiting module of its type, not a failed one.
    QCOMPARE(queue.Identify("S9", "new", 7).kind, CommissioningMatch::Offered);
    QCOMPARE(queue.Identify("S9", "new", 7).index, 2);
    QCOMPARE(queue.Identify("S9", "new", 9).index, 4);
    QCOMPARE(queue.Identify("S9", "new", 3).kind, CommissioningMatch::UnknownType);
    QVERIFY(queue.Skip(2));
    QCOMPARE(queue.Identify("S9", "new", 7).index, 3);
    queue.at(3).state = CommissioningState::Verified;
    // Nothing waits: a replacement takes the failed place, then the skipped one.
    QCOMPARE(queue.Identify("S9", "new", 7).kind, CommissioningMatch::Offered);
    QCOMPARE(queue.Identify("S9", "new", 7).index, 1);
    queue.at(1).state = CommissioningState::Verified;
    QCOMPARE(queue.Identify("S9", "new", 7).index, 2);
    QVERIFY(queue.Reset(1));
    QCOMPARE(queue.at(1).state, CommissioningState::Waiting);
    QCOMPARE(queue.at(1).serialNr, QStringLiteral("S2"));
    QCOMPARE(queue.Identify("S9", "new", 7).index, 1);
    queue.at(1).state = CommissioningState::Verified;
    queue.at(2).state = CommissioningState::Verified;
    QCOMPARE(queue.Identify("S9", "new", 7).kind, CommissioningMatch::NoneWaiting);
    // A verified module keeps its verdict: neither retried nor skipped.
    QVERIFY(!queue.Retry(0));
    QVERIFY(!queue.Skip(3));
    QCOMPARE(queue.at(0).state, CommissioningState::Verified);
    const CommissioningTotals totals = queue.Totals();
    QCOMPARE(totals.verified, 4);
    QCOMPARE(totals.waiting, 1);
    QVERIFY(!queue.AllVerified());
}

void TestCommissioningRun::checksumIsTheStandardCrc32()
{
    QCOMPARE(CommissioningRecords::Crc32("123456789"), QStringLiteral("CBF43926"));
    QCOMPARE(CommissioningRecords::Crc32(QByteArray()), QStringLiteral("00000000"));
}

void TestCommissioningRun::unknownModulesAreTakenInQueueOrderAndVerified()
{
    RunFixture fixture({"A", "B"});
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    QVERIFY(fixture.run->lastVerified());
    QCOMPARE(fixture.stateOf(0), CommissioningState::Verified);
    QCOMPARE(fixture.stateOf(1), CommissioningState::Waiting);
    QCOMPARE(fixture.run->queue().at(0).serialNr, QStringLiteral("SIM00000001"));
    QCOMPARE(fixture.harness.link.simulator.image().Channel[0].Name, QStringLiteral("A_CH1"));
    QCOMPARE(fixture.run->phase(), Phase::WaitingForUnplug);

    // As an unplug and a fresh plug: the next module of the queue.
    fixture.harness.link.simulator.replaceModule(QStringLiteral("SIM00000002"));
    QVERIFY(fixture.waitForVerdicts(2));
    QCOMPARE(fixture.stateOf(1), CommissioningState::Verified);
    QCOMPARE(fixture.harness.link.simulator.image().Channel[1].Name, QStringLiteral("B_CH2"));
    QVERIFY(fixture.run->queue().AllVerified());

    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(2));
    QVERIFY(records[1].verified);
    QCOMPARE(records[1].serialNr, QStringLiteral("SIM00000002"));
    QCOMPARE(records[1].revision, QStringLiteral("1.04"));
    QCOMPARE(records[1].modulePath, fixture.run->queue().at(1).path);
    QVERIFY(!records[1].osUser.isEmpty());
    QCOMPARE(records[1].crcWritten, fixture.moduleCrc());
    QCOMPARE(records[1].crcReadBack, records[1].crcWritten);
    QVERIFY(records[0].crcWritten != records[1].crcWritten);

    // The states stay in the project for the next run.
    Item *root = FindItemByPath(fixture.project.document, QStringLiteral("\\\\Project"));
    std::vector<CommissioningEntry> again = CommissioningQueue::EntriesUnder(fixture.project.document, *root);
    CommissioningStore(fixture.project.session()).LoadStates(again);
    QCOMPARE(again.size(), size_t(2));
    QCOMPARE(again[0].state, CommissioningState::Verified);
    QCOMPARE(again[1].serialNr, QStringLiteral("SIM00000002"));
}

void TestCommissioningRun::anOfferedModuleIsWrittenOnlyWhenTaken()
{
    RunFixture fixture({"A", "B"});
    QVERIFY(fixture.start(false));
    QCOMPARE(fixture.run->phase(), Phase::Offered);
    QCOMPARE(fixture.run->current(), 0);
    QVERIFY(fixture.run->message().contains(fixture.run->queue().at(0).path));
    // Skipping the offered module offers the next one.
    QVERIFY(fixture.run->Skip(0));
    QCOMPARE(fixture.run->phase(), Phase::Offered);
    QCOMPARE(fixture.run->current(), 1);
    QTest::qWait(300);
    QVERIFY(fixture.writes().isEmpty());
    QVERIFY(fixture.run->Confirm());
    QVERIFY(fixture.waitForVerdicts(1));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Skipped);
    QCOMPARE(fixture.stateOf(1), CommissioningState::Verified);
    QVERIFY(!fixture.writes().isEmpty());
}

void TestCommissioningRun::aVerifiedModuleIsWrittenAgainOnlyWhenAsked()
{
    RunFixture fixture({"A"});
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    fixture.harness.link.simulator.setUnplugged(true);
    QVERIFY(fixture.waitForPhase(Phase::WaitingForPlug));
    const qsizetype before = fixture.writes().size();
    fixture.harness.link.simulator.setUnplugged(false);
    QVERIFY(fixture.waitForPhase(Phase::AlreadyVerified));
    QVERIFY(fixture.run->message().contains("already verified at"));
    QTest::qWait(300);
    QCOMPARE(fixture.writes().size(), before);
    QVERIFY(fixture.run->Decline());
    QCOMPARE(fixture.run->phase(), Phase::WaitingForUnplug);
    QCOMPARE(fixture.writes().size(), before);

    fixture.harness.link.simulator.setUnplugged(true);
    QVERIFY(fixture.waitForPhase(Phase::WaitingForPlug));
    fixture.harness.link.simulator.setUnplugged(false);
    QVERIFY(fixture.waitForPhase(Phase::AlreadyVerified));
    QVERIFY(fixture.run->Confirm());
    QVERIFY(fixture.waitForVerdicts(2));
    QVERIFY(fixture.writes().size() > before);
    QCOMPARE(fixture.records().size(), size_t(2));
}

void TestCommissioningRun::aModuleOfATypeNothingQueuedHasIsRefused()
{
    // One-channel 7230/110-2 modules only; a 7230/211-2 is plugged.
    RunFixture fixture({"X", "Y"}, 1);
    const QByteArray tagBefore = fixture.harness.link.simulator.block(2);
    QVERIFY(fixture.start(true));
    QCOMPARE(fixture.run->phase(), Phase::WaitingForUnplug);
    QVERIFY2(fixture.run->message().contains("7230/211-2"), qPrintable(fixture.run->message()));
    QVERIFY(fixture.run->message().contains("Nothing was written."));
    QTest::qWait(300);
    QVERIFY(fixture.writes().isEmpty());
    QCOMPARE(fixture.harness.link.simulator.block(2), tagBefore);
    QVERIFY(fixture.records().empty());
    QCOMPARE(fixture.stateOf(0), CommissioningState::Waiting);
    QCOMPARE(fixture.stateOf(1), CommissioningState::Waiting);
}

void TestCommissioningRun::aReadBackThatDiffersFailsAndCanBeRetried()
{
    RunFixture fixture({"A"});
    fixture.misstoreNextWrite();
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    QVERIFY(!fixture.run->lastVerified());
    QCOMPARE(fixture.stateOf(0), CommissioningState::Failed);
    QCOMPARE(fixture.run->queue().at(0).reason,
             QStringLiteral("the read-back differs from what was written"));
    std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(1));
    QVERIFY(!records[0].verified);
    QCOMPARE(records[0].crcReadBack, fixture.moduleCrc());
    QVERIFY(records[0].crcWritten != records[0].crcReadBack);

    // Still plugged in: the retry writes it again at once.
    QVERIFY(fixture.run->Retry(0));
    QVERIFY(fixture.waitForVerdicts(2));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Verified);
    records = fixture.records();
    QCOMPARE(records.size(), size_t(2));
    QVERIFY(records[1].verified);
    QCOMPARE(records[1].crcReadBack, records[1].crcWritten);
}

void TestCommissioningRun::aModuleThatStopsAnsweringFailsAndIsRetriedAtItsNextPlug()
{
    RunFixture fixture({"A"});
    QVERIFY(fixture.harness.goOnline());
    // The read-back after the download goes unanswered until the module
    // is plugged in again.
    SimulatorFault silent;
    silent.kind = SimulatorFault::NoReply;
    silent.commands = {0x86};
    silent.times = 3;
    fixture.harness.link.simulator.injectFault(silent);
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    QCOMPARE(fixture.run->queue().at(0).reason, QStringLiteral("the module was not read back"));
    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(1));
    QVERIFY(!records[0].verified);
    QVERIFY(records[0].crcReadBack.isEmpty());
    // It answers again: the same module, named as queued now, is retried.
    QVERIFY(fixture.waitForVerdicts(2));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Verified);
}

void TestCommissioningRun::aListSelectionQueuesEachModuleOnce()
{
    RunFixture fixture({"A", "B", "C"});
    C7100Document &document = fixture.project.document;
    Item *root = FindItemByPath(document, QStringLiteral("\\\\Project"));
    QVERIFY(root);
    const std::vector<CommissioningEntry> all = CommissioningQueue::EntriesUnder(document, *root);
    QCOMPARE(all.size(), size_t(3));
    Item *second = FindItemByPath(document, all[1].path);
    QVERIFY(second);
    // The second module, then the project holding it again, then the second
    // module once more: chosen order, each module once.
    const std::vector<CommissioningEntry> chosen =
        CommissioningQueue::EntriesUnder(document, std::vector<Item *>{second, root, second, nullptr});
    QStringList paths;
    for (const CommissioningEntry &entry : chosen)
        paths << entry.path;
    QCOMPARE(paths, (QStringList{all[1].path, all[0].path, all[2].path}));
}

void TestCommissioningRun::aProjectThatCannotBeWrittenDoesNotStart()
{
    RunFixture fixture({"A"});
    fixture.project.exec("CREATE TRIGGER NoWrites BEFORE INSERT ON CommissioningQueue BEGIN SELECT "
                         "RAISE(ABORT, 'read-only'); END");
    QVERIFY(!fixture.start(true));
    QVERIFY(fixture.harness.messages.texts().join('\n').contains("the run does not start"));
    QTest::qWait(300);
    QVERIFY(fixture.writes().isEmpty());
    QCOMPARE(fixture.project.scalar("SELECT COUNT(*) FROM CommissioningQueue").toInt(), 0);
}

void TestCommissioningRun::aVerdictStandsOnlyWithItsStoredRecord()
{
    RunFixture fixture({"A"});
    WriteLock lock(fixture.project.path());
    QVERIFY(RunUnderLock(fixture, lock));
    // The module took its download, but without its record the verdict is
    // a failure that says why.
    QVERIFY(!fixture.run->lastVerified());
    QCOMPARE(fixture.stateOf(0), CommissioningState::Failed);
    const QString reason = fixture.run->queue().at(0).reason;
    QVERIFY2(reason.startsWith("the record could not be stored (") && !reason.endsWith("()"), qPrintable(reason));
    QVERIFY(fixture.harness.texts.join(QString()).contains("failed: " + reason));
    QVERIFY(!fixture.harness.texts.join(QString()).contains("verified in"));
    const QString sideFile = CommissioningBacklog(fixture.project.session()).sideFile();
    QVERIFY2(fixture.run->message().contains("It is kept in " + sideFile), qPrintable(fixture.run->message()));
    QFile kept(sideFile);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QVERIFY(kept.readAll().contains("the record could not be stored"));
    QVERIFY(fixture.records().empty());

    // The lock goes: the run's end stores the record and the queue state.
    lock.release();
    QCOMPARE(fixture.run->Finish(), QString());
    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(1));
    QVERIFY(!records[0].verified);
    QCOMPARE(records[0].reason, reason);
    QCOMPARE(records[0].crcReadBack, records[0].crcWritten);
    QCOMPARE(fixture.project.scalar("SELECT State FROM CommissioningQueue").toInt(), int(CommissioningState::Failed));
    QVERIFY(!QFile::exists(sideFile));
}

void TestCommissioningRun::whatARunCouldNotStoreIsStoredByTheNextRun()
{
    RunFixture fixture({"A"});
    WriteLock lock(fixture.project.path());
    QVERIFY(RunUnderLock(fixture, lock));
    // Still locked at its end, and when it goes: the side file keeps it.
    const QString sideFile = CommissioningBacklog(fixture.project.session()).sideFile();
    QVERIFY(fixture.run->Finish().contains(sideFile));
    fixture.run.reset();
    QVERIFY(QFile::exists(sideFile));
    QCOMPARE(fixture.project.scalar("SELECT State FROM CommissioningQueue").toInt(),
             int(CommissioningState::InProgress));
    lock.release();

    // The next run of the project stores it before it starts; the module
    // waits to be written again, not "in progress".
    fixture.beforeStart = nullptr;
    QVERIFY(fixture.prepare(true));
    QVERIFY(!QFile::exists(sideFile));
    QCOMPARE(fixture.records().size(), size_t(1));
    QVERIFY(fixture.records()[0].reason.startsWith("the record could not be stored ("));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Failed);
    QCOMPARE(fixture.project.scalar("SELECT State FROM CommissioningQueue").toInt(), int(CommissioningState::Failed));
}

void TestCommissioningRun::aModuleWrittenHalfwayGoesBackToItsOwnPlace()
{
    RunFixture fixture({"A", "B"});
    // The module stops answering after its first tag is written: block 3
    // goes unanswered.
    SimulatorFault cut;
    cut.kind = SimulatorFault::NoReply;
    cut.commands = {0xC3};
    cut.times = 20;
    fixture.harness.link.simulator.injectFault(cut);
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1, 30000));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Failed);
    QCOMPARE(fixture.harness.link.simulator.image().Channel[0].Name, QStringLiteral("A_CH1"));
    QVERIFY(fixture.harness.link.simulator.image().Channel[1].Name != QStringLiteral("A_CH2"));

    // Plugged again, it is the same module: its own place is written, not
    // the next one.
    fixture.harness.link.simulator.clearFaults();
    fixture.harness.link.simulator.setUnplugged(true);
    QVERIFY(fixture.waitForPhase(Phase::WaitingForPlug));
    fixture.harness.link.simulator.setUnplugged(false);
    QVERIFY(fixture.waitForVerdicts(2, 30000));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Verified);
    QCOMPARE(fixture.stateOf(1), CommissioningState::Waiting);
    QCOMPARE(fixture.harness.link.simulator.image().Channel[1].Name, QStringLiteral("A_CH2"));
}

void TestCommissioningRun::aReplacementTakesTheFailedPlace()
{
    RunFixture fixture({"A"});
    fixture.misstoreNextWrite();
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Failed);

    // The faulty module is put aside; a new one takes its place.
    fixture.harness.link.simulator.clearFaults();
    fixture.harness.link.simulator.replaceModule(QStringLiteral("SIM00000002"));
    QVERIFY(fixture.waitForVerdicts(2));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Verified);
    QCOMPARE(fixture.run->queue().at(0).serialNr, QStringLiteral("SIM00000002"));
    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(2));
    QCOMPARE(records[0].serialNr, QStringLiteral("SIM00000001"));
    QVERIFY(!records[0].verified);
    QCOMPARE(records[1].serialNr, QStringLiteral("SIM00000002"));
    QVERIFY(records[1].verified);
}

void TestCommissioningRun::anotherModuleWithAVerifiedModulesTagsReplacesItOnlyWhenAsked()
{
    RunFixture fixture({"A"});
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    ModuleSimulator &simulator = fixture.harness.link.simulator;
    const auto plugOther = [&] {
        simulator.setUnplugged(true);
        if (!fixture.waitForPhase(Phase::WaitingForPlug))
            return false;
        // Another module carrying the same tags.
        simulator.setSerialNumber(QStringLiteral("SIM00000002"));
        simulator.setUnplugged(false);
        return fixture.waitForPhase(Phase::OtherModule);
    };
    QVERIFY(plugOther());
    const QString path = fixture.run->queue().at(0).path;
    QVERIFY2(fixture.run->message().contains("A different module: tags of " + path +
                                             " but serial number SIM00000002, verified was SIM00000001"),
             qPrintable(fixture.run->message()));
    const qsizetype before = fixture.writes().size();
    QVERIFY(fixture.run->Decline());
    QTest::qWait(300);
    QCOMPARE(fixture.writes().size(), before);
    QCOMPARE(fixture.run->queue().at(0).serialNr, QStringLiteral("SIM00000001"));

    QVERIFY(plugOther());
    QVERIFY(fixture.run->Confirm());
    QVERIFY(fixture.waitForVerdicts(2));
    QCOMPARE(fixture.stateOf(0), CommissioningState::Verified);
    QCOMPARE(fixture.run->queue().at(0).serialNr, QStringLiteral("SIM00000002"));
    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(2));
    QCOMPARE(records[0].serialNr, QStringLiteral("SIM00000001"));
    QCOMPARE(records[1].serialNr, QStringLiteral("SIM00000002"));
}

void TestCommissioningRun::aModuleSetByItsDipSwitchesIsVerifiedOnItsTags()
{
    RunFixture fixture({"A"}, kTwoChannel7230, TwoChannel7230(true));
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    QVERIFY(fixture.run->lastVerified());
    const QString verdict = QStringLiteral("verified: tags only; parameters set by the DIP switches");
    QCOMPARE(CommissioningStateText(fixture.run->queue().at(0)), verdict);
    QVERIFY2(fixture.run->message().contains(verdict + " ("), qPrintable(fixture.run->message()));
    QCOMPARE(fixture.writes(), (QStringList{"W2", "W4"}));
    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(1));
    QVERIFY(records[0].verified);
    QCOMPARE(CommissioningReport::ResultText(records[0]), verdict);
    QCOMPARE(records[0].crcWritten, CommissioningRecords::Crc32(fixture.harness.link.simulator.block(2) +
                                                                fixture.harness.link.simulator.block(4)));
}

void TestCommissioningRun::aCycleCountsFromTheModulesFirstAnswer()
{
    SimulatorOptions options = TwoChannel7230();
    options.lineRate = true;
    RunFixture fixture({"A", "B"}, kTwoChannel7230, options);
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1, 30000));
    fixture.harness.link.simulator.replaceModule(QStringLiteral("SIM00000002"));
    QVERIFY(fixture.waitForVerdicts(2, 30000));
    // On the wire alone: the connection read of every block, the seven
    // writes and the read-back of every block.
    int readBytes = 0;
    int writeBytes = 0;
    for (int block = 0; block < kBlockCount; ++block) {
        readBytes += 5 + 5 + 2 + BlockLengthStd[size_t(block)];
        if (block >= 1 && block <= 7)
            writeBytes += 5 + BlockLengthStd[size_t(block)] + 7;
    }
    const double wireMs = (2 * readBytes + writeBytes) * ModuleSimulator::kByteTimeUs / 1000.0;
    const qint64 elapsedMs = fixture.run->queue().at(1).elapsedMs;
    QVERIFY2(double(elapsedMs) >= wireMs, qPrintable(QStringLiteral("%1 ms < %2 ms").arg(elapsedMs).arg(wireMs)));
    QCOMPARE(fixture.records()[1].elapsedMs, elapsedMs);
}

void TestCommissioningRun::theKeptRunIsContinuedOrReplaced()
{
    RunFixture fixture({"A", "B", "C"});
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.waitForVerdicts(1));
    fixture.run.reset();
    C7100Document &document = fixture.project.document;
    Item *root = FindItemByPath(document, QStringLiteral("\\\\Project"));
    QVERIFY(root);
    const std::vector<CommissioningEntry> all = CommissioningQueue::EntriesUnder(document, *root);
    Item *third = FindItemByPath(document, all[2].path);
    QVERIFY(third);
    const auto choose = [&](MessageAnswer answer) {
        fixture.harness.messages.answer(answer);
        return ChooseCommissioningQueue(document, fixture.project.lookup, fixture.project.session(), {third});
    };

    // The run moved the tree's current item: the kept queue is offered
    // whatever is chosen now.
    CommissioningChoice choice = choose(MessageAnswer::Yes);
    QVERIFY(!choice.newRun && !choice.cancelled);
    QVERIFY2(fixture.harness.messages.texts().last().contains("Continue the run of \\\\Project (1 of 3 verified)?"),
             qPrintable(fixture.harness.messages.texts().last()));
    QCOMPARE(choice.entries.size(), size_t(3));
    QCOMPARE(choice.entries[0].state, CommissioningState::Verified);
    QCOMPARE(choice.entries[2].path, all[2].path);

    QVERIFY(choose(MessageAnswer::Cancel).cancelled);

    // A new run of the chosen module replaces the kept queue.
    choice = choose(MessageAnswer::No);
    QVERIFY(choice.newRun);
    QCOMPARE(choice.entries.size(), size_t(1));
    CommissioningRun run(document, fixture.project.lookup, *fixture.harness.transfer, fixture.harness.link.controller,
                         fixture.project.session());
    QVERIFY(run.Prepare(choice.entries, choice.newRun));
    const std::vector<CommissioningEntry> kept =
        CommissioningQueue::KeptRun(document, fixture.project.lookup, fixture.project.session());
    QCOMPARE(kept.size(), size_t(1));
    QCOMPARE(kept[0].path, all[2].path);
}

void TestCommissioningRun::recordsAreWrittenSoThatASpreadsheetTakesNoFormula()
{
    CommissioningHistory history;
    history.entry.path = QStringLiteral("\\\\Project\\P\\C\\TT-101");
    history.entry.state = CommissioningState::Failed;
    history.entry.reason = QStringLiteral("=HYPERLINK(\"http://x\",\"y\")");
    CommissioningRecord attempt;
    attempt.modulePath = history.entry.path;
    attempt.osUser = QStringLiteral("@admin");
    attempt.reason = QStringLiteral("-the module stopped answering");
    attempt.crcWritten = QStringLiteral("+1");
    history.attempts.push_back(attempt);
    const QString text = CommissioningReport::Csv({history});
    QVERIFY(text.contains(QStringLiteral(",\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",")));
    QVERIFY(text.contains(QStringLiteral(",'@admin,")));
    QVERIFY(text.contains(QStringLiteral(",'-the module stopped answering,")));
    // A number stays a number.
    QVERIFY(text.contains(QStringLiteral(",+1,")));

    // Read back as the instrument list reads, every text is whole again.
    const CsvTable table = CsvTable::Parse(text.toUtf8());
    QVERIFY(table.error.isEmpty());
    QCOMPARE(table.records.size(), size_t(3));
    QCOMPARE(table.records[1].fields.value(13), history.entry.reason);
    QCOMPARE(table.records[2].fields.value(10), attempt.osUser);
    QCOMPARE(table.records[2].fields.value(13), attempt.reason);
}

QTEST_MAIN(TestCommissioningRun)
#include "test_commissioning_run.moc"
