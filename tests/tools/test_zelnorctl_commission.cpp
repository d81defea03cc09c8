// zelnorctl commission and records as a script runs them: the real tool on a
// real project file, the simulator program on a pseudo-terminal.
#include "tool_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

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
} // namespace

class TestZelnorctlCommission : public QObject {
    Q_OBJECT
private slots:
    void modulesAreCommissionedOneAfterTheOther();
    void anUnknownModuleIsTakenOnlyWithAssignNext();
    void aModuleOfAnotherTypeIsRefused();
    void recordsAreListedAndReported();
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

    TestSupport::ToolRun run = Ctl({"records", project, "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonArray records = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(records.size(), 2);
    const QJsonObject failed = records[0].toObject();
    const QJsonObject verified = records[1].toObject();
    QCOMPARE(failed.value("verified").toBool(), false);
    QCOMPARE(failed.value("reason").toString(), QStringLiteral("the read-back differs from what was written"));
    QVERIFY(failed.value("crcWritten").toString() != failed.value("crcReadBack").toString());
    QCOMPARE(verified.value("verified").toBool(), true);
    QCOMPARE(verified.value("path").toString(), kModuleA);
    QCOMPARE(verified.value("serialNumber").toString(), QStringLiteral("SIM00000001"));
    QCOMPARE(verified.value("crcWritten").toString().size(), 8);
    QCOMPARE(verified.value("crcReadBack").toString(), verified.value("crcWritten").toString());
    QCOMPARE(verified.value("crcWritten").toString(), failed.value("crcWritten").toString());

    run = Ctl({"records", project, "--csv", "-", "--under", kPlant});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith("ID,Time,ModuleTable,ModuleID,ModulePath,SerialNr"));
    QVERIFY(lines[2].contains(",SIM00000001,1.04,"));
    QVERIFY(lines[2].contains(",verified,"));

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

QTEST_MAIN(TestZelnorctlCommission)
#include "test_zelnorctl_commission.moc"
