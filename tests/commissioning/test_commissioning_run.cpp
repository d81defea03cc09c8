// Commissioning runs against a simulated module on a real pseudo-terminal:
// how plugged modules are identified against the queue, written, read back,
// judged, recorded and kept in a real project file.
#include "commissioning/commissioning_queue.h"
#include "commissioning/commissioning_records.h"
#include "commissioning/commissioning_run.h"
#include "link/transfer_harness.h"
#include "tree/item_path.h"

#include <QtTest>

namespace {
using Phase = CommissioningRun::Phase;

CommissioningEntry Entry(const QString &name, qint32 typeId,
                         CommissioningState state = CommissioningState::Waiting)
{
    CommissioningEntry entry;
    entry.name = name;
    entry.path = QStringLiteral("\\\\Project\\") + name;
    entry.typeId = typeId;
    entry.state = state;
    return entry;
}

// A project with modules of a type directly under the project, the link to a
// simulated two-channel 7230/211-2 and a run over every module.
class RunFixture {
public:
    explicit RunFixture(const QStringList &prefixes, int typeId = kTwoChannel7230) : harness(TwoChannel7230())
    {
        for (const QString &prefix : prefixes)
            project.createModule(typeId, prefix);
        project.open();
        harness.attach(project);
    }

    bool start(bool assignNext)
    {
        if (!harness.link.controller.isRunning() && !harness.goOnline())
            return false;
        run = std::make_unique<CommissioningRun>(project.document, project.lookup, *harness.transfer,
                                                 harness.link.controller, project.session());
        run->setAssignNext(assignNext);
        Item *root = FindItemByPath(project.document, QStringLiteral("\\\\Project"));
        if (!root || !run->Prepare(CommissioningQueue::EntriesUnder(project.document, *root)))
            return false;
        run->Start();
        return true;
    }

    bool waitFor(const std::function<bool()> &done, int timeoutMs = 15000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            QTest::qWait(10);
        return done();
    }
    bool waitForVerdicts(int count)
    {
        return waitFor([&] { return run->verdicts() >= count; });
    }
    bool waitForPhase(Phase phase)
    {
        return waitFor([&] { return run->phase() == phase; });
    }

    CommissioningState stateOf(int index) const { return run->queue().at(index).state; }
    std::vector<CommissioningRecord> records() { return CommissioningRecords(project.session()).List(); }
    QStringList writes() const { return harness.writesFrom(0); }
    // The blocks a full download of a two-channel module writes, as the
    // simulated module now holds them.
    QString moduleCrc() const
    {
        QByteArray bytes;
        for (int block : {1, 2, 3, 6, 4, 5, 7})
            bytes += harness.link.simulator.block(block);
        return CommissioningRecords::Crc32(bytes);
    }

    TransferProject project;
    TransferHarness harness;
    std::unique_ptr<CommissioningRun> run;
};
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
};

void TestCommissioningRun::identificationFollowsTheQueue()
{
    CommissioningQueue queue({Entry("A", 7, CommissioningState::Verified),
                              Entry("B", 7, CommissioningState::Failed), Entry("C", 7), Entry("D", 7),
                              Entry("E", 9)});
    QCOMPARE(queue.Identify("B", 7).kind, CommissioningMatch::Queued);
    QCOMPARE(queue.Identify("B", 7).index, 1);
    QCOMPARE(queue.Identify("A", 7).kind, CommissioningMatch::AlreadyVerified);
    // Unknown: the first waiting module of its type, not a failed one.
    QCOMPARE(queue.Identify("new", 7).kind, CommissioningMatch::Offered);
    QCOMPARE(queue.Identify("new", 7).index, 2);
    QCOMPARE(queue.Identify("new", 9).index, 4);
    QCOMPARE(queue.Identify("new", 3).kind, CommissioningMatch::UnknownType);
    QVERIFY(queue.Skip(2));
    QCOMPARE(queue.Identify("new", 7).index, 3);
    queue.at(3).state = CommissioningState::Verified;
    QCOMPARE(queue.Identify("new", 7).kind, CommissioningMatch::NoneWaiting);
    QVERIFY(queue.Retry(1));
    QCOMPARE(queue.Identify("new", 7).index, 1);
    // A verified module keeps its verdict: neither retried nor skipped.
    QVERIFY(!queue.Retry(0));
    QVERIFY(!queue.Skip(3));
    QCOMPARE(queue.at(0).state, CommissioningState::Verified);
    QCOMPARE(queue.at(3).state, CommissioningState::Verified);
    const CommissioningTotals totals = queue.Totals();
    QCOMPARE(totals.verified, 2);
    QCOMPARE(totals.waiting, 2);
    QCOMPARE(totals.skipped, 1);
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
    SimulatorFault misstore;
    misstore.kind = SimulatorFault::Misstore;
    misstore.commands = {0xC6};
    misstore.count = 5;
    fixture.harness.link.simulator.injectFault(misstore);
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

QTEST_MAIN(TestCommissioningRun)
#include "test_commissioning_run.moc"
