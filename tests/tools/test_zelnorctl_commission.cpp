// zelnorctl commission and records as a script runs them: the real tool on a
// real project file, the simulator program on a pseudo-terminal.
#include "tool_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <signal.h>

using namespace ToolTest;

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");
const QString kModuleA = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [TT-201] [TT-202]");
const QString kModuleB = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [TT-301] [TT-302]");

// A plant with two two-channel 7230/211-2 modules.
QString PlantProject(const QTemporaryDir &dir)
{
    const QString project = NewProject(dir);
    Ctl({"add", project, "\\\\Project", "plant"});
    Ctl({"add-module", project, kPlant, "7", "TT-201", "TT-202"});
    Ctl({"add-module", project, kPlant, "7", "TT-301", "TT-302"});
    return project;
}

// Another program that holds a write lock on the project from the moment a
// module is being written (its queue row says "in progress") until it is
// told to let go.
class LockHolder {
public:
    explicit LockHolder(const QString &project)
    {
        m_process.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kScript), project});
    }
    ~LockHolder() { release(); }
    void release()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("\n");
        m_process.closeWriteChannel();
        m_process.waitForFinished(10000);
    }
    bool locked() { return TestSupport::waitForOutput(m_process, m_out, "locked", 2000); }

private:
    static constexpr const char *kScript =
        "import sqlite3, sys, time\n"
        "c = sqlite3.connect(sys.argv[1], isolation_level=None, timeout=30)\n"
        "while True:\n"
        "    try:\n"
        "        if c.execute('SELECT COUNT(*) FROM CommissioningQueue WHERE State = 1').fetchone()[0]: break\n"
        "    except sqlite3.OperationalError: pass\n"
        "    time.sleep(0.002)\n"
        "c.execute('BEGIN IMMEDIATE')\n"
        "print('locked', flush=True)\n"
        "sys.stdin.readline()\n"
        "c.execute('COMMIT')\n";
    QProcess m_process;
    QByteArray m_out;
};
} // namespace

class TestZelnorctlCommission : public QObject {
    Q_OBJECT
private slots:
    void modulesAreCommissionedOneAfterTheOther();
    void anUnknownModuleIsTakenOnlyWithAssignNext();
    void aModuleOfAnotherTypeIsRefused();
    void recordsAreListedAndReported();
    void aVerdictWhoseRecordCannotBeStoredIsAFailure();
    void theQueueIsChangedFromTheCommandLine();
    void anInterruptedRunLeavesEveryModuleStored();
    void twoPortsCommissionSideBySide();
    void aFolderDeletedByAnotherProgramStopsTheRunUnwritten();
    void eachLaneTalksAtItsOwnLineSettings();
};

void TestZelnorctlCommission::modulesAreCommissionedOneAfterTheOther()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);

    TestSupport::ToolRun run = Ctl({"commission", project, "--port", simulator.device(), "--under", kPlant,
                                    "--assign-next", "--count", "1"});
    // One of two verified: not done.
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(kModuleA + ", serial number SIM00000001 ...... verified in "), qPrintable(run.out));
    QVERIFY2(run.out.contains("2 modules: 1 verified, 0 failed, 0 skipped, 1 waiting"), qPrintable(run.out));

    // A new module takes the place of the first; the next run goes on with
    // the one that still waits.
    QCOMPARE(simulator.command("new-module SIM00000002"), QStringLiteral("ok: new module SIM00000002"));
    run = Ctl({"commission", project, "--port", simulator.device(), "--under", kPlant, "--assign-next"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(kModuleB + ", serial number SIM00000002 ...... verified in "), qPrintable(run.out));
    QVERIFY(run.out.contains("2 modules: 2 verified, 0 failed, 0 skipped, 0 waiting"));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords WHERE Result = 'verified'").toInt(), 2);
    QCOMPARE(Scalar(project, "SELECT SerialNr FROM Modules7230_2 WHERE Name LIKE '%TT-301%'").toString(),
             QStringLiteral("SIM00000002"));
}

void TestZelnorctlCommission::anUnknownModuleIsTakenOnlyWithAssignNext()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    const TestSupport::ToolRun run =
        Ctl({"commission", project, "--port", simulator.device(), "--under", kPlant, "--count", "1"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("Take it as " + kModuleA + "?"), qPrintable(run.err));
    QVERIFY(run.err.contains("give --assign-next to answer Yes"));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords").toInt(), 0);
    // The module still has the tags it came with.
    const TestSupport::ToolRun compare = Ctl({"upload", project, "--port", simulator.device()});
    QVERIFY2(compare.err.contains("give --create to answer Yes"), qPrintable(compare.err));
}

void TestZelnorctlCommission::aModuleOfAnotherTypeIsRefused()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "0", "--channels", "1"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    const TestSupport::ToolRun run = Ctl({"commission", project, "--port", simulator.device(), "--under", kPlant,
                                          "--assign-next", "--count", "1"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains("nothing in the run has this type. Nothing was written."), qPrintable(run.out));
    QVERIFY2(run.out.contains("7230/110-2"), qPrintable(run.out));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords").toInt(), 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM ModuleBlockHistory").toInt(), 0);
}

void TestZelnorctlCommission::recordsAreListedAndReported()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    // A module that keeps a byte of what it is sent fails its read-back.
    QVERIFY(simulator.command("fault misstore on=writes blocks=6 count=5").startsWith("ok:"));
    QCOMPARE(Ctl({"commission", project, "--port", simulator.device(), "--under", kModuleA, "--assign-next",
                  "--count", "1"})
                 .exitCode,
             1);
    QCOMPARE(Ctl({"commission", project, "--port", simulator.device(), "--under", kModuleA, "--count", "1"}).exitCode,
             0);

    // One entry per queued module, its attempts beneath, the never
    // attempted one counted.
    TestSupport::ToolRun run = Ctl({"records", project, "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject listed = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonArray modules = listed.value("modules").toArray();
    QCOMPARE(modules.size(), 2);
    const QJsonObject moduleA = modules[0].toObject();
    QCOMPARE(moduleA.value("path").toString(), kModuleA);
    QCOMPARE(moduleA.value("state").toString(), QStringLiteral("verified"));
    QCOMPARE(moduleA.value("serialNumber").toString(), QStringLiteral("SIM00000001"));
    const QJsonArray attempts = moduleA.value("attempts").toArray();
    QCOMPARE(attempts.size(), 2);
    const QJsonObject failed = attempts[0].toObject();
    const QJsonObject verified = attempts[1].toObject();
    QCOMPARE(failed.value("verified").toBool(), false);
    QCOMPARE(failed.value("reason").toString(), QStringLiteral("the read-back differs from what was written"));
    QVERIFY(failed.value("crcWritten").toString() != failed.value("crcReadBack").toString());
    QCOMPARE(verified.value("verified").toBool(), true);
    QCOMPARE(verified.value("path").toString(), kModuleA);
    QCOMPARE(verified.value("crcWritten").toString().size(), 8);
    QCOMPARE(verified.value("crcReadBack").toString(), verified.value("crcWritten").toString());
    QCOMPARE(verified.value("crcWritten").toString(), failed.value("crcWritten").toString());
    QCOMPARE(modules[1].toObject().value("state").toString(), QStringLiteral("waiting"));
    QVERIFY(modules[1].toObject().value("attempts").toArray().isEmpty());
    const QJsonObject totals = listed.value("totals").toObject();
    QCOMPARE(totals.value("modules").toInt(), 2);
    QCOMPARE(totals.value("verified").toInt(), 1);
    QCOMPARE(totals.value("neverAttempted").toInt(), 1);

    run = Ctl({"records", project, "--csv", "-", "--under", kPlant});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[0].startsWith("Level,ModulePath,State,SerialNr,Time,Attempts"));
    QVERIFY2(lines[1].startsWith("module," + kModuleA + ",verified,SIM00000001,"), qPrintable(lines[1]));
    QVERIFY(lines[2].startsWith("attempt,") && lines[2].contains(",failed,"));
    QVERIFY(lines[3].startsWith("attempt,") && lines[3].contains(",SIM00000001,") && lines[3].contains(",verified,"));
    QVERIFY(lines[4].startsWith("module," + kModuleB + ",waiting,,,0,"));

    run = Ctl({"records", project});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("attempt 2\tSIM00000001\t"), qPrintable(run.out));
    QVERIFY(run.out.contains("Totals: 2 modules: 1 verified, 0 failed, 0 skipped, 1 waiting (1 never attempted); 2 attempts"));

    // The file name as typed, with its extension.
    QCOMPARE(Ctl({"records", project, "--csv", dir.filePath("records")}).exitCode, 0);
    QVERIFY(QFile::exists(dir.filePath("records.csv")));

    QCOMPARE(Ctl({"records", project, "--under", kModuleB}).exitCode, 1);
    QCOMPARE(Ctl({"records", project, "--under", "\\\\Project\\Nowhere"}).exitCode, 1);

    const QString pdf = dir.filePath("commissioning.pdf");
    run = Ctl({"records", project, "--pdf", pdf});
    QCOMPARE(run.exitCode, 0);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() > 2000);
}

void TestZelnorctlCommission::aVerdictWhoseRecordCannotBeStoredIsAFailure()
{
    // At the line rate the module is written for seconds, so that the lock
    // is taken while it is, however busy the machine.
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2", "--line-rate"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    LockHolder lock(project);
    TestSupport::ToolRun run = Ctl({"commission", project, "--port", simulator.device(), "--under", kModuleA,
                                    "--assign-next", "--count", "1"});
    QVERIFY2(lock.locked(), qPrintable(run.out + run.err));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(kModuleA + ", serial number SIM00000001 ...... failed: the record could not be stored ("),
             qPrintable(run.out));
    QVERIFY(!run.out.contains("verified in"));
    QVERIFY2(run.out.contains("1 module: 0 verified, 1 failed, 0 skipped, 0 waiting"), qPrintable(run.out));
    // Still locked at the end: the side file named keeps what was not stored.
    const QRegularExpressionMatch kept =
        QRegularExpression("what the run could not store is kept in (\\S+\\.json)").match(run.err);
    QVERIFY2(kept.hasMatch(), qPrintable(run.err));
    QVERIFY(QFile::exists(kept.captured(1)));
    lock.release();
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords").toInt(), 0);

    // The next run stores it first, then writes the same module again.
    run = Ctl({"commission", project, "--port", simulator.device(), "--under", kModuleA, "--count", "1"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(!QFile::exists(kept.captured(1)));
    const QVariantList results = Column(project, "SELECT Result || ': ' || COALESCE(Reason, '') FROM CommissioningRecords ORDER BY ID");
    QCOMPARE(results.size(), 2);
    QVERIFY2(results[0].toString().startsWith("failed: the record could not be stored ("), qPrintable(results[0].toString()));
    QCOMPARE(results[1].toString(), QStringLiteral("verified: "));
    QCOMPARE(Scalar(project, "SELECT State FROM CommissioningQueue").toInt(), 2);
}

void TestZelnorctlCommission::theQueueIsChangedFromTheCommandLine()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    QVERIFY(simulator.command("fault misstore on=writes blocks=6 count=5").startsWith("ok:"));
    QCOMPARE(Ctl({"commission", project, "--port", simulator.device(), "--under", kPlant, "--assign-next", "--count", "1"})
                 .exitCode,
             1);
    const QStringList base = {"commission", project, "--port", simulator.device(), "--under", kPlant};
    TestSupport::ToolRun run = Ctl(base + QStringList{"--skip", "\\\\Project\\Nowhere"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("'\\\\Project\\Nowhere' is not a module of the run."), qPrintable(run.err));

    // The failed module waits again, the other one is left out: the run
    // ends when the first is verified.
    run = Ctl(base + QStringList{"--retry-failed", "--skip", kModuleB, "--assign-next"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(kModuleA + ", serial number SIM00000001 ...... verified in "), qPrintable(run.out));
    QVERIFY2(run.out.contains("2 modules: 1 verified, 0 failed, 1 skipped, 0 waiting"), qPrintable(run.out));

    // A verified module put back to waiting is written again; its records stay.
    run = Ctl(base + QStringList{"--reset", kModuleA, "--count", "1"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(kModuleA + ", serial number SIM00000001 ...... verified in "), qPrintable(run.out));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords").toInt(), 3);
}

void TestZelnorctlCommission::anInterruptedRunLeavesEveryModuleStored()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    QProcess run;
    run.start(QDir(TestSupport::binDirectory()).filePath("zelnorctl"),
              {"commission", project, "--port", simulator.device(), "--under", kPlant, "--assign-next"});
    QByteArray out;
    QVERIFY(TestSupport::waitForOutput(run, out, "verified in", 30000));
    // The engineer presses Ctrl+C while the run waits for the next module.
    ::kill(pid_t(run.processId()), SIGINT);
    QVERIFY(run.waitForFinished(30000));
    out += run.readAllStandardOutput();
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 1);
    QVERIFY2(out.contains("2 modules: 1 verified, 0 failed, 0 skipped, 1 waiting"), out.constData());
    QStringList states;
    for (const QVariant &state : Column(project, "SELECT State FROM CommissioningQueue ORDER BY ModuleID"))
        states << state.toString();
    QCOMPARE(states, (QStringList{"2", "0"}));
}

void TestZelnorctlCommission::twoPortsCommissionSideBySide()
{
    TestSupport::SimulatorProcess first({"--family", "7230", "--type", "6", "--channels", "2", "--serial", "BENCHA01"});
    TestSupport::SimulatorProcess second({"--family", "7230", "--type", "6", "--channels", "2", "--serial", "BENCHB01"});
    QVERIFY(!first.device().isEmpty() && !second.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    const TestSupport::ToolRun run = Ctl({"commission", project, "--port", first.device(), "--port", second.device(),
                                          "--under", kPlant, "--assign-next"});
    QCOMPARE(run.exitCode, 0);
    // Each verdict names its port; the summary gives each port's share.
    QVERIFY2(run.out.contains(first.device() + ": Commissioning: ") && run.out.contains(", serial number BENCHA01 "),
             qPrintable(run.out));
    QVERIFY(run.out.contains(second.device() + ": Commissioning: ") && run.out.contains(", serial number BENCHB01 "));
    QVERIFY(run.out.contains("2 modules: 2 verified, 0 failed, 0 skipped, 0 waiting"));
    QVERIFY2(run.out.contains(first.device() + ": 1 verified, 0 failed"), qPrintable(run.out));
    QVERIFY(run.out.contains(second.device() + ": 1 verified, 0 failed"));
    QCOMPARE(Scalar(project, "SELECT COUNT(DISTINCT SerialNr) FROM CommissioningRecords WHERE Result = 'verified'")
                 .toInt(),
             2);

    // A port that is not there is refused before anything starts; the same
    // port named twice is one lane.
    QCOMPARE(Ctl({"commission", project, "--port", first.device(), "--port", "/dev/nonexistent-port", "--under",
                  kPlant})
                 .exitCode,
             2);
}

void TestZelnorctlCommission::aFolderDeletedByAnotherProgramStopsTheRunUnwritten()
{
    TestSupport::SimulatorProcess first({"--family", "7230", "--type", "6", "--channels", "2", "--serial", "BENCHA01"});
    TestSupport::SimulatorProcess second({"--family", "7230", "--type", "6", "--channels", "2", "--serial", "BENCHB01"});
    QVERIFY(!first.device().isEmpty() && !second.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);
    Ctl({"add-module", project, kPlant, "7", "TT-401", "TT-402"});
    QProcess run;
    run.start(QDir(TestSupport::binDirectory()).filePath("zelnorctl"),
              {"commission", project, "--port", first.device(), "--port", second.device(), "--under", kPlant,
               "--assign-next"});
    QByteArray out;
    // Both lanes verify their first module.
    QVERIFY(TestSupport::waitForOutput(run, out, "serial number BENCHA01 ...... verified", 30000));
    QVERIFY(TestSupport::waitForOutput(run, out, "serial number BENCHB01 ...... verified", 30000));

    // While the bench waits for its next modules, a colleague's program
    // deletes the plant; then a new module is plugged in.
    const TestSupport::ToolRun deleted = Ctl({"delete", project, kPlant, "--yes"});
    QCOMPARE(deleted.exitCode, 0);
    QCOMPARE(first.command("new-module BENCHA02"), QStringLiteral("ok: new module BENCHA02"));
    QVERIFY(run.waitForFinished(30000));
    out += run.readAllStandardOutput() + run.readAllStandardError();
    QCOMPARE(run.exitCode(), 1);
    const QByteArray stopped = "The run stopped: the folder " + kPlant.toUtf8() + " is no longer in the project.";
    QVERIFY2(out.contains(stopped), out.constData());
    // The new module is neither written nor counted as a failure, and no
    // database message reaches the engineer.
    QVERIFY2(!out.contains("TT-401"), out.constData());
    QVERIFY2(out.contains("3 modules: 2 verified, 0 failed, 0 skipped, 1 waiting"), out.constData());
    QVERIFY2(!out.contains("Can't"), out.constData());
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords WHERE SerialNr = 'BENCHA02'").toInt(), 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords").toInt(), 2);
}

void TestZelnorctlCommission::eachLaneTalksAtItsOwnLineSettings()
{
    // The first module's line runs at 19200 baud and answers nothing else;
    // the second answers any rate.
    TestSupport::SimulatorProcess fast({"--family", "7230", "--type", "6", "--channels", "2", "--serial", "FAST0001",
                                        "--baud", "19200", "--line-rate"});
    TestSupport::SimulatorProcess usual({"--family", "7230", "--type", "6", "--channels", "2", "--serial", "SLOW0001"});
    QVERIFY(!fast.device().isEmpty() && !usual.device().isEmpty());
    QTemporaryDir dir;
    const QString project = PlantProject(dir);

    // A setting that cannot be read is refused before anything starts.
    TestSupport::ToolRun run = Ctl({"commission", project, "--port", fast.device() + ":baud=19201", "--port",
                                    usual.device(), "--under", kPlant, "--assign-next"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(fast.device() + ": 19201 is not a baud rate a port can be set to"), qPrintable(run.err));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords").toInt(), 0);

    run = Ctl({"commission", project, "--port", fast.device() + ":baud=19200,parity=none,timeout=800", "--port",
               usual.device(), "--under", kPlant, "--assign-next"});
    QCOMPARE(run.exitCode, 0);
    // Records and totals name the port alone.
    QVERIFY2(run.out.contains(fast.device() + ": 1 verified, 0 failed"), qPrintable(run.out));
    QVERIFY(run.out.contains(usual.device() + ": 1 verified, 0 failed"));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM CommissioningRecords WHERE SerialNr = 'FAST0001' AND "
                             "Result = 'verified'")
                 .toInt(),
             1);
}

QTEST_MAIN(TestZelnorctlCommission)
#include "test_zelnorctl_commission.moc"
