#include "tool_test_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using namespace ToolTest;

// zelnorctl multiply: numbered copies through the program's own operation,
// its refusals, and whole copies only when the tool is killed midway.
class TestZelnorctlMultiply : public QObject {
    Q_OBJECT
private slots:
    void aCabinetIsMultipliedWithItsModules();
    void badNumbersAndItemsAreRefused();
    void killedMultiplyingLeavesWholeCopies();
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");
const QString kCabinet = QStringLiteral("\\\\Project\\Plant1\\Cab");

// A plant with the cabinet Cab holding one carrier with two modules.
QString CabinetProject(const QTemporaryDir &dir)
{
    const QString project = NewProject(dir);
    Ctl({"add", project, "\\\\Project", "plant"});
    Ctl({"add", project, kPlant, "cabinet", "Cab"});
    Ctl({"add", project, kCabinet, "carrier", "Z"});
    Ctl({"add-module", project, kCabinet + "\\Z", "7", "TT-1", "TT-2"});
    Ctl({"add-module", project, kCabinet + "\\Z", "7", "TT-3", "TT-4"});
    return project;
}

// Cabinets that are not one carrier with two modules, each with two signals.
int PartialCopies(const QString &project)
{
    return Scalar(project, "SELECT COUNT(*) FROM Racks r WHERE (SELECT COUNT(*) FROM ZelnorHolders z "
                           "WHERE z.ParentID = r.ID) <> 1")
               .toInt() +
           Scalar(project, "SELECT COUNT(*) FROM ZelnorHolders z WHERE (SELECT COUNT(*) FROM Modules7230_4 m "
                           "WHERE m.ParentID = z.ID) <> 2")
               .toInt() +
           Scalar(project, "SELECT COUNT(*) FROM Modules7230_4 WHERE Ch1SignalID <= 0 OR Ch2SignalID <= 0")
               .toInt();
}
} // namespace

void TestZelnorctlMultiply::aCabinetIsMultipliedWithItsModules()
{
    // The settings folder of this test alone (ctest gives one); never the user's.
    const bool ownSettings = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QString settingsFile = qEnvironmentVariable("XDG_CONFIG_HOME") + "/ZelnorWizard/ZelnorWizard.conf";
    if (ownSettings)
        QFile::remove(settingsFile);
    QTemporaryDir dir;
    const QString project = CabinetProject(dir);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_4").toInt(), 2);
    const TestSupport::ToolRun run =
        Ctl({"multiply", project, kCabinet, "--count", "3", "--first", "9", "--places", "2"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("12 items have been successfuly inserted."), qPrintable(run.out + run.err));
    const QString tree = Ctl({"tree", project}).out;
    for (const char *name : {"Cab09", "Cab10", "Cab11"})
        QVERIFY2(tree.contains(kPlant + "\\" + name + "\\Z\\"), qPrintable(tree));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_4").toInt(), 8);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals WHERE ParentID <> 0").toInt(), 16);
    QCOMPARE(PartialCopies(project), 0);
    QCOMPARE(Inconsistencies(project), QStringList());

    const TestSupport::ToolRun alone = Ctl({"multiply", project, kCabinet, "--count", "1", "--no-subtree"});
    QCOMPARE(alone.exitCode, 0);
    QVERIFY(alone.out.contains("1 item has been successfuly inserted."));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Racks WHERE Name = 'Cab001'").toInt(), 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM ZelnorHolders").toInt(), 4);
    // The numbers the window remembers for its user stay as they were.
    QFile settings(settingsFile);
    QVERIFY(!ownSettings || !settings.open(QIODevice::ReadOnly) || !settings.readAll().contains("MultDlg"));
}

void TestZelnorctlMultiply::badNumbersAndItemsAreRefused()
{
    QTemporaryDir dir;
    const QString project = CabinetProject(dir);
    const QByteArray before = Checksum(project);
    const struct {
        QStringList args;
        int exitCode;
        QString message;
    } cases[] = {
        {{"--count", "0"}, 2, "Please enter an integer between 1 and 100000."},
        {{"--count", "100001"}, 2, "Please enter an integer between 1 and 100000."},
        {{"--count", "2", "--places", "41"}, 2, "Please enter an integer between 1 and 40."},
        {{"--count", "two"}, 2, "Please enter an integer."},
        {{}, 2, "Usage: --count N"},
    };
    for (const auto &refused : cases) {
        const TestSupport::ToolRun run = Ctl(QStringList{"multiply", project, kCabinet} + refused.args);
        QCOMPARE(run.exitCode, refused.exitCode);
        QVERIFY2(run.err.contains(refused.message), qPrintable(run.err));
    }
    const TestSupport::ToolRun projectItself = Ctl({"multiply", project, "\\\\Project", "--count", "2"});
    QCOMPARE(projectItself.exitCode, 1);
    const TestSupport::ToolRun missing = Ctl({"multiply", project, kPlant + "\\Nothing", "--count", "2"});
    QCOMPARE(missing.exitCode, 1);
    QCOMPARE(Checksum(project), before);
}

void TestZelnorctlMultiply::killedMultiplyingLeavesWholeCopies()
{
    QTemporaryDir dir;
    const QString project = CabinetProject(dir);
    QRandomGenerator random(20261209);
    int kills = 0;
    int copiesSeen = 0;
    // Rounds go on until enough kills landed inside the work: how far a run
    // gets before its kill depends on the machine's load.
    for (int round = 0; round < 60 && kills < 10; ++round) {
        QProcess process;
        process.setProgram(QDir(TestSupport::binDirectory()).filePath(QStringLiteral("zelnorctl")));
        process.setArguments(
            {"multiply", project, kCabinet, "--count", "60", "--first", QString::number(100 * round + 100)});
        process.start();
        QVERIFY(process.waitForStarted());
        const int delay = 150 + int(random.bounded(1500));
        if (!process.waitForFinished(delay)) {
            process.kill();
            process.waitForFinished();
            ++kills;
        }
        QCOMPARE(PartialCopies(project), 0);
        const QStringList faults = Inconsistencies(project);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        copiesSeen = Scalar(project, "SELECT COUNT(*) FROM Racks").toInt();
    }
    qInfo("%d runs killed, %d cabinets stored", kills, copiesSeen);
    QVERIFY2(kills >= 10, qPrintable(QStringLiteral("only %1 kills").arg(kills)));
    QVERIFY(copiesSeen > 1);
}

QTEST_GUILESS_MAIN(TestZelnorctlMultiply)
#include "test_zelnorctl_multiply.moc"
