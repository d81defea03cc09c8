// Commissioning runs over several ports at once: one simulated module on a
// real pseudo-terminal per lane, one queue and one project file for all.
#include "commissioning/commissioning_lanes.h"
#include "commissioning/commissioning_records.h"
#include "commissioning/commissioning_report.h"
#include "commissioning/commissioning_run.h"
#include "link/link_controller.h"
#include "link/transfer_harness.h"
#include "write_lock.h"
#include "tree/item_path.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {
using Phase = CommissioningRun::Phase;

// A project of modules of one type directly under the project, and one
// simulated two-channel 7230/211-2 per lane behind a port name that stays
// across the adapter being pulled and plugged in again.
class LanesFixture {
public:
    static constexpr const char *kPlant = "\\\\Project\\Plant1";

    // With inPlant the modules lie in the plant kPlant, not directly under
    // the project.
    LanesFixture(int modules, int lanes, const QString &sameSerial = {}, bool lineRate = false, bool inPlant = false)
    {
        TestSupport::loadEnglish();
        log = std::make_unique<OutputLog>(logDir.path(), QDateTime::currentDateTime());
        log->makeActive();
        QObject::connect(log.get(), &OutputLog::textAdded, [this](const QString &text) { texts << text; });
        for (int module = 0; module < modules; ++module)
            project.createModule(kTwoChannel7230, QStringLiteral("M%1").arg(module + 1));
        if (inPlant) {
            project.exec("INSERT INTO Equipments (ID, ParentID, Name) VALUES (100, 1, 'Plant1')");
            project.exec("INSERT INTO Modules7230_2 SELECT * FROM Modules7230_1");
            project.exec("UPDATE Modules7230_2 SET ParentID = 100");
            project.exec("DELETE FROM Modules7230_1");
        }
        m_queued = QString::fromLatin1(inPlant ? kPlant : "\\\\Project");
        project.open();
        for (int lane = 0; lane < lanes; ++lane) {
            SimulatorOptions options = TwoChannel7230();
            options.serialNumber = sameSerial.isEmpty() ? SerialOf(lane, 0) : sameSerial;
            options.linkPath = logDir.filePath(QStringLiteral("bench%1").arg(lane + 1));
            options.lineRate = lineRate;
            simulators.push_back(std::make_unique<ModuleSimulator>(options));
            ports << options.linkPath;
        }
    }
    ~LanesFixture()
    {
        lanes.reset();
        for (auto &simulator : simulators)
            simulator->stop();
    }

    static QString SerialOf(int lane, int module) { return QStringLiteral("L%1M%2").arg(lane + 1).arg(module + 1); }

    // The simulators started, the lanes made over the whole project; the
    // run not started.
    bool prepare(bool assignNext)
    {
        for (auto &simulator : simulators) {
            if (!simulator->start())
                return false;
        }
        lanes = std::make_unique<CommissioningLanes>(project.document, project.catalogues(), project.session(),
                                                     ports);
        lanes->setAssignNext(assignNext);
        Item *root = FindItemByPath(project.document, m_queued);
        return root && lanes->Prepare(CommissioningQueue::EntriesUnder(project.document, *root));
    }
    bool start(bool assignNext)
    {
        if (!prepare(assignNext))
            return false;
        lanes->Start();
        return true;
    }

    bool waitFor(const std::function<bool()> &done, int timeoutMs = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            QTest::qWait(10);
        return done();
    }
    bool waitForVerdicts(int lane, int count)
    {
        return waitFor([&] { return lanes->run(lane).verdicts() >= count; });
    }
    // After each verdict on the lane a new module takes the place of the
    // one written, once.
    void replaceAfterVerdict(int lane)
    {
        if (replaced.size() < simulators.size())
            replaced.resize(simulators.size(), 0);
        const int reached = lanes->run(lane).verdicts();
        if (reached > replaced[size_t(lane)] && lanes->run(lane).phase() == Phase::WaitingForUnplug) {
            replaced[size_t(lane)] = reached;
            simulators[size_t(lane)]->replaceModule(SerialOf(lane, reached));
        }
    }
    // Every lane writes its modules, each replaced after its verdict, until
    // verdicts in all.
    bool commissionWithReplacements(int verdicts)
    {
        return waitFor([&] {
            for (int lane = 0; lane < lanes->count() && lanes->verdicts() < verdicts; ++lane)
                replaceAfterVerdict(lane);
            return lanes->verdicts() >= verdicts && !lanes->isDownloading();
        }, 90000);
    }

    std::vector<CommissioningRecord> records() { return CommissioningRecords(project.session()).List(); }
    QString logText() const { return texts.join(QString()); }

    // No queued module was verified twice or by two serial numbers, and no
    // serial number verified two of them.
    bool eachSlotOnce(QString &why)
    {
        QHash<QString, QString> serialOfPath;
        QHash<QString, QString> pathOfSerial;
        for (const CommissioningRecord &record : records()) {
            if (!record.verified)
                continue;
            if (serialOfPath.contains(record.modulePath) || pathOfSerial.contains(record.serialNr)) {
                why = record.modulePath + QLatin1Char(' ') + record.serialNr;
                return false;
            }
            serialOfPath.insert(record.modulePath, record.serialNr);
            pathOfSerial.insert(record.serialNr, record.modulePath);
        }
        return true;
    }

    QTemporaryDir logDir;
    std::unique_ptr<OutputLog> log;
    QStringList texts;
    TransferProject project;
    std::vector<std::unique_ptr<ModuleSimulator>> simulators;
    std::vector<int> replaced; // verdicts of each lane after which its module was replaced
    QStringList ports;
    std::unique_ptr<CommissioningLanes> lanes;

private:
    QString m_queued; // the item whose modules are queued
};

CommissioningEntry Entry(const QString &name, CommissioningState state = CommissioningState::Waiting)
{
    CommissioningEntry entry;
    entry.name = name;
    entry.path = QStringLiteral("\\\\Project\\") + name;
    entry.typeId = 7;
    entry.state = state;
    return entry;
}

} // namespace

class TestCommissioningLanes : public QObject {
    Q_OBJECT
private slots:
    void aHeldModuleIsNeverOfferedElsewhere();
    void threeLanesCommissionACabinetWithModulesReplaced();
    void aModuleBeingOfferedOnOneLaneIsNotOfferedOnAnother();
    void theSameModuleOnTwoLanesIsRefusedOnTheSecond();
    void aLaneWhoseAdapterIsPulledMidWriteGoesOnWhenItIsBack();
    void twoLanesFinishingUnderAnotherProgramsLockKeepEveryAttempt();
    void aRunWhoseFolderIsDeletedStopsOnEveryLane();
};

void TestCommissioningLanes::aHeldModuleIsNeverOfferedElsewhere()
{
    CommissioningQueue queue({Entry("A"), Entry("B"), Entry("C", CommissioningState::Failed)});
    queue.at(2).serialNr = QStringLiteral("S3");
    const auto heldA = [](int index) { return index == 0; };
    // The next waiting one that no other lane holds.
    QCOMPARE(queue.Identify("S9", "new", 7, heldA).index, 1);
    // Tags of a held place are not taken for it.
    QCOMPARE(queue.Identify("S9", "A", 7, heldA).index, 1);
    QCOMPARE(queue.Identify("S9", "A", 7, heldA).kind, CommissioningMatch::Offered);
    // The module of a held place is refused, not sent elsewhere.
    const auto heldC = [](int index) { return index == 2; };
    QCOMPARE(queue.Identify("S3", "C", 7, heldC).kind, CommissioningMatch::Held);
    QCOMPARE(queue.Identify("S3", "C", 7, heldC).index, 2);
    // Everything held: nothing to offer.
    QCOMPARE(queue.Identify("S9", "new", 7, [](int) { return true; }).kind, CommissioningMatch::NoneWaiting);
}

void TestCommissioningLanes::threeLanesCommissionACabinetWithModulesReplaced()
{
    LanesFixture fixture(12, 3);
    QVERIFY(fixture.start(true));
    QVERIFY(fixture.commissionWithReplacements(12));
    QVERIFY(fixture.lanes->queue().AllVerified());
    int verified = 0;
    for (int lane = 0; lane < 3; ++lane) {
        const CommissioningRun &run = fixture.lanes->run(lane);
        // Every lane took a share (its first module was there from the
        // start; how the rest falls depends on the machine's pace); each
        // verdict names its port.
        QVERIFY2(run.verifiedHere() >= 1, qPrintable(QString::number(run.verifiedHere())));
        QCOMPARE(run.failedHere(), 0);
        verified += run.verifiedHere();
        QVERIFY2(fixture.logText().contains(fixture.ports[lane] + ": Commissioning: "), qPrintable(fixture.logText()));
    }
    QCOMPARE(verified, 12);
    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(12));
    QString why;
    QVERIFY2(fixture.eachSlotOnce(why), qPrintable(why));
    QCOMPARE(fixture.project.scalar("SELECT COUNT(*) FROM CommissioningQueue WHERE State = 2").toInt(), 12);
    QCOMPARE(fixture.lanes->Finish(), QString());

    // Each record names the port it was made on, and the report counts the
    // attempts per port.
    QMap<QString, int> recordsOfPort;
    for (const CommissioningRecord &record : records)
        ++recordsOfPort[record.port];
    QCOMPARE(recordsOfPort.size(), qsizetype(3));
    QStringList expected;
    for (int lane = 0; lane < 3; ++lane) {
        const CommissioningRun &run = fixture.lanes->run(lane);
        QCOMPARE(recordsOfPort.value(fixture.ports[lane]), run.verifiedHere());
        expected << QStringLiteral("%1: %2 verified, 0 failed").arg(fixture.ports[lane]).arg(run.verifiedHere());
    }
    expected.sort();
    const std::vector<CommissioningHistory> histories = CommissioningReport::Histories(
        CommissioningQueue::KeptRun(fixture.project.document, fixture.project.lookup, fixture.project.session()),
        records, true);
    QCOMPARE(CommissioningReport::PortTotals(histories), expected);
    QVERIFY(CommissioningReport::Csv(histories).contains(QStringLiteral(",") + fixture.ports[0] + QStringLiteral("\n")));
}

void TestCommissioningLanes::aModuleBeingOfferedOnOneLaneIsNotOfferedOnAnother()
{
    LanesFixture fixture(3, 2);
    QVERIFY(fixture.start(false));
    QVERIFY(fixture.waitFor([&] {
        return fixture.lanes->run(0).phase() == Phase::Offered && fixture.lanes->run(1).phase() == Phase::Offered;
    }));
    const int first = fixture.lanes->run(0).current();
    const int second = fixture.lanes->run(1).current();
    QVERIFY(first >= 0 && second >= 0);
    QVERIFY(first != second);
    // Both taken at once: each lane writes its own place.
    QVERIFY(fixture.lanes->run(1).Confirm());
    QVERIFY(fixture.lanes->run(0).Confirm());
    QVERIFY(fixture.waitForVerdicts(0, 1) && fixture.waitForVerdicts(1, 1));
    QCOMPARE(fixture.lanes->queue().at(first).serialNr, LanesFixture::SerialOf(0, 0));
    QCOMPARE(fixture.lanes->queue().at(second).serialNr, LanesFixture::SerialOf(1, 0));
    QCOMPARE(fixture.lanes->queue().Totals().verified, 2);
}

void TestCommissioningLanes::theSameModuleOnTwoLanesIsRefusedOnTheSecond()
{
    // At the line rate, so that the second lane reads the module while the
    // first one is still writing it, however busy the machine.
    LanesFixture fixture(2, 2, QStringLiteral("TWIN0001"), true);
    QVERIFY(fixture.prepare(true));
    const int refused = 1;
    fixture.simulators[refused]->setUnplugged(true);
    fixture.lanes->Start();
    QVERIFY(fixture.waitFor([&] { return fixture.lanes->run(0).phase() == Phase::Downloading; }));
    fixture.simulators[refused]->setUnplugged(false);
    QVERIFY(fixture.waitFor([&] { return fixture.lanes->verdicts() == 1 && !fixture.lanes->isDownloading(); }));
    QVERIFY(fixture.waitFor([&] {
        return fixture.lanes->run(0).phase() == Phase::WaitingForUnplug &&
               fixture.lanes->run(1).phase() == Phase::WaitingForUnplug;
    }));
    const CommissioningRun &second = fixture.lanes->run(refused);
    QCOMPARE(second.verdicts(), 0);
    QCOMPARE(second.current(), -1);
    QVERIFY2(second.message().contains("Module TWIN0001 is plugged in on " + fixture.ports[1 - refused] + " already"),
             qPrintable(second.message()));
    // Nothing was written on the second lane.
    QVERIFY(fixture.simulators[size_t(refused)]->traffic().filter(QRegularExpression("^W")).isEmpty());
    QCOMPARE(fixture.records().size(), size_t(1));
    QCOMPARE(fixture.lanes->queue().Totals().verified, 1);
    QCOMPARE(fixture.lanes->queue().Totals().waiting, 1);

    // Once the first one goes, the same module is known as verified on the
    // second lane: it is not written again unasked.
    fixture.simulators[size_t(1 - refused)]->setUnplugged(true);
    fixture.simulators[size_t(refused)]->setUnplugged(true);
    QVERIFY(fixture.waitFor([&] {
        return !fixture.lanes->link(0).isOnline() && !fixture.lanes->link(1).isOnline();
    }));
    fixture.simulators[size_t(refused)]->setUnplugged(false);
    QVERIFY(fixture.waitFor([&] { return second.phase() == Phase::AlreadyVerified; }));
    QCOMPARE(fixture.records().size(), size_t(1));
}

void TestCommissioningLanes::aLaneWhoseAdapterIsPulledMidWriteGoesOnWhenItIsBack()
{
    LanesFixture fixture(6, 2);
    QVERIFY(fixture.prepare(true));
    ModuleSimulator &pulled = *fixture.simulators[1];
    // The adapter of lane 2 goes while its first module is being written.
    bool unplugged = false;
    QObject::connect(&fixture.lanes->run(1), &CommissioningRun::phaseChanged, [&] {
        if (!unplugged && fixture.lanes->run(1).phase() == Phase::Downloading) {
            unplugged = true;
            pulled.unplugPort();
        }
    });
    fixture.lanes->Start();
    QVERIFY(fixture.waitForVerdicts(1, 1));
    const CommissioningRun &lane2 = fixture.lanes->run(1);
    QVERIFY(!lane2.lastVerified());
    QVERIFY(fixture.waitFor([&] { return lane2.isPortMissing(); }));
    QVERIFY2(fixture.logText().contains("Port " + fixture.ports[1] + " is missing"), qPrintable(fixture.logText()));

    // Lane 1 goes on undisturbed meanwhile.
    const auto laneOneThrough = [&](int count) {
        return fixture.waitFor([&] {
            const CommissioningRun &run = fixture.lanes->run(0);
            if (run.verdicts() < count)
                fixture.replaceAfterVerdict(0);
            return run.verdicts() >= count && run.phase() != Phase::Downloading;
        }, 60000);
    };
    QVERIFY(laneOneThrough(3));
    QCOMPARE(fixture.lanes->run(0).verifiedHere(), 3);

    // The adapter is back with the half-written module: it goes back to
    // its own place and is written again there.
    QVERIFY(pulled.replugPort());
    QVERIFY(fixture.waitFor([&] { return !lane2.isPortMissing() && lane2.verifiedHere() == 1; }, 60000));
    QVERIFY(fixture.logText().contains("Port " + fixture.ports[1] + " is back."));
    QVERIFY(laneOneThrough(5));
    QCOMPARE(fixture.lanes->queue().Totals().verified, 6);

    // Its failed attempt and its verified one are both on record, under
    // one place and one serial number.
    const QString serial = LanesFixture::SerialOf(1, 0);
    int failed = 0;
    int verified = 0;
    QString path;
    for (const CommissioningRecord &record : fixture.records()) {
        if (record.serialNr != serial)
            continue;
        QVERIFY(path.isEmpty() || path == record.modulePath);
        path = record.modulePath;
        ++(record.verified ? verified : failed);
    }
    QCOMPARE(failed, 1);
    QCOMPARE(verified, 1);
    QCOMPARE(fixture.records().size(), size_t(7));
    QString why;
    QVERIFY2(fixture.eachSlotOnce(why), qPrintable(why));
}

void TestCommissioningLanes::twoLanesFinishingUnderAnotherProgramsLockKeepEveryAttempt()
{
    // At the line rate the two writes overlap.
    LanesFixture fixture(2, 2, {}, true);
    QVERIFY(fixture.prepare(true));
    WriteLock lock(fixture.project.path());
    bool taken = false;
    // Taken once both modules are being written (their downloads gone to
    // the links): both verdicts meet it.
    const auto takeWhenBothWrite = [&] {
        if (fixture.lanes->run(0).phase() == Phase::Downloading &&
            fixture.lanes->run(1).phase() == Phase::Downloading)
            QTimer::singleShot(0, [&] { taken = taken || lock.take(); });
    };
    for (int lane = 0; lane < 2; ++lane)
        QObject::connect(&fixture.lanes->run(lane), &CommissioningRun::phaseChanged, takeWhenBothWrite);
    fixture.lanes->Start();
    QVERIFY(fixture.waitFor([&] { return fixture.lanes->verdicts() == 2 && !fixture.lanes->isDownloading(); }, 60000));
    QVERIFY(taken);
    // Neither verdict stands without its record; both say why.
    for (int lane = 0; lane < 2; ++lane) {
        const CommissioningRun &run = fixture.lanes->run(lane);
        QVERIFY(!run.lastVerified());
        QVERIFY2(run.queue().at(run.current()).reason.startsWith("the record could not be stored ("),
                 qPrintable(run.queue().at(run.current()).reason));
    }
    QVERIFY(fixture.records().empty());

    // The lock goes: the end of the run stores both attempts, one per lane.
    lock.release();
    QCOMPARE(fixture.lanes->Finish(), QString());
    const std::vector<CommissioningRecord> records = fixture.records();
    QCOMPARE(records.size(), size_t(2));
    QSet<QString> serials;
    QSet<QString> paths;
    for (const CommissioningRecord &record : records) {
        QVERIFY(!record.verified);
        QCOMPARE(record.crcReadBack, record.crcWritten);
        serials << record.serialNr;
        paths << record.modulePath;
    }
    QCOMPARE(serials.size(), 2);
    QCOMPARE(paths.size(), 2);
    QCOMPARE(fixture.project.scalar("SELECT COUNT(*) FROM CommissioningQueue WHERE State = 3").toInt(), 2);
}

void TestCommissioningLanes::aRunWhoseFolderIsDeletedStopsOnEveryLane()
{
    LanesFixture fixture(3, 2, {}, false, true);
    QVERIFY(fixture.prepare(true));
    QCOMPARE(fixture.lanes->queue().size(), 3);
    // The plant goes while the first lane writes its module.
    bool deleted = false;
    QObject::connect(&fixture.lanes->run(0), &CommissioningRun::phaseChanged, [&] {
        if (!deleted && fixture.lanes->run(0).phase() == Phase::Downloading) {
            deleted = true;
            QTimer::singleShot(0, [&] { fixture.project.exec("DELETE FROM Equipments WHERE ID = 100"); });
        }
    });
    fixture.lanes->Start();
    QVERIFY(fixture.waitForVerdicts(0, 1));
    const CommissioningRun &first = fixture.lanes->run(0);
    const QString stopped = "The run stopped: the folder " + QString::fromLatin1(LanesFixture::kPlant) +
                            " is no longer in the project.";
    QCOMPARE(first.stopped(), stopped);
    QVERIFY(!first.lastVerified());
    QVERIFY2(first.queue().at(first.current()).reason.contains(stopped),
             qPrintable(first.queue().at(first.current()).reason));
    // No lane writes another module; nothing is stored under the gone
    // folder nor kept for later.
    QVERIFY(fixture.waitFor([&] { return !fixture.lanes->isDownloading(); }));
    fixture.simulators[0]->replaceModule(LanesFixture::SerialOf(0, 1));
    QVERIFY(fixture.waitFor([&] { return first.message() == stopped; }));
    QCOMPARE(first.verdicts(), 1);
    for (const CommissioningRecord &record : fixture.records())
        QVERIFY(record.serialNr != LanesFixture::SerialOf(0, 0));
    QCOMPARE(fixture.lanes->Finish(), QString());
    QVERIFY(!QFile::exists(CommissioningBacklog(fixture.project.session()).sideFile()));
    QVERIFY(fixture.logText().contains(stopped));
}

QTEST_MAIN(TestCommissioningLanes)
#include "test_commissioning_lanes.moc"
