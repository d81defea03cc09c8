// The command-line front end, run as a user runs it: the real executable on
// real project files.
#include "support/test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestZelnorctl : public QObject {
    Q_OBJECT
private slots:
    void foldersAreAddedListedAndDeleted();
    void modulesAreAddedWithProposedOrGivenTags();
    void moduleValuesAreSetInShownUnits();
    void refusalsAndBadUsage();
    void textsFollowTheChosenLanguage();
    void monitorPrintsOneRecordPerInterval();
    void commissioningRoundTrip();
    void actionReportsTheModulesReply();
    void linkCommandsRefuseUnusablePorts();

private:
    static TestSupport::ToolRun Ctl(const QStringList &args)
    {
        return TestSupport::runTool(QStringLiteral("zelnorctl"), args);
    }
    // A new project in the folder; the test fails when it cannot be made.
    static QString NewProject(const QTemporaryDir &dir);
    static QVariant Scalar(const QString &project, const QString &statement);
};

QString TestZelnorctl::NewProject(const QTemporaryDir &dir)
{
    const QString project = dir.filePath(QStringLiteral("plant.prj"));
    const TestSupport::ToolRun run = Ctl({"new", project});
    if (run.exitCode != 0)
        qWarning("new failed: %s", qPrintable(run.err));
    return project;
}

QVariant TestZelnorctl::Scalar(const QString &project, const QString &statement)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(project);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(statement) && query.next())
                value = query.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return value;
}

void TestZelnorctl::foldersAreAddedListedAndDeleted()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant", "Boiler house"}).exitCode, 0);
    QCOMPARE(Ctl({"add", project, "\\\\Project\\Boiler house", "cabinet", "C1"}).exitCode, 0);
    const TestSupport::ToolRun carrier =
        Ctl({"add", project, "\\\\Project\\Boiler house\\C1", "carrier", "R1"});
    QCOMPARE(carrier.exitCode, 0);
    QCOMPARE(carrier.out.split('\n').filter("Added").value(0),
             QStringLiteral("Added '\\\\Project\\Boiler house\\C1\\R1'."));

    TestSupport::ToolRun tree = Ctl({"tree", project});
    QCOMPARE(tree.exitCode, 0);
    const QStringList expected = {"\\\\Project", "\\\\Project\\Boiler house", "\\\\Project\\Boiler house\\C1",
                                  "\\\\Project\\Boiler house\\C1\\R1", "\\\\Signals"};
    QStringList listed = tree.out.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^\\\\\\\\"));
    QCOMPARE(listed, expected);

    // The question is answered No without --yes.
    const TestSupport::ToolRun declined = Ctl({"delete", project, "\\\\Project\\Boiler house"});
    QCOMPARE(declined.exitCode, 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Racks").toInt(), 1);
    const TestSupport::ToolRun deleted = Ctl({"delete", project, "\\\\Project\\Boiler house", "--yes"});
    QCOMPARE(deleted.exitCode, 0);
    QVERIFY(deleted.out.contains("Folder 'Boiler house' was deleted."));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Equipments").toInt(), 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Racks").toInt(), 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM ZelnorHolders").toInt(), 0);
}

void TestZelnorctl::modulesAreAddedWithProposedOrGivenTags()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant"}).exitCode, 0);
    TestSupport::ToolRun run = Ctl({"add-module", project, "\\\\Project\\Plant1", "7"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("Module '7230/211-2 - [S001_CH1] [S001_CH2]' was created."),
             qPrintable(run.out));
    QCOMPARE(Ctl({"add-module", project, "\\\\Project\\Plant1", "7"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", project, "\\\\Project", "1", "TT-9"}).exitCode, 0);
    const TestSupport::ToolRun tree = Ctl({"tree", project});
    QVERIFY(tree.out.contains(
        "\\\\Project\\Plant1\\7230/211-2 - [S002_CH1] [S002_CH2]\tZ 7230/211-2\tS002_CH1\tS002_CH2\n"));
    QVERIFY(tree.out.contains("\\\\Project\\7230/110-2 - [TT-9]\tZ 7230/110-2\tTT-9\n"));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals").toInt(), 5);

    run = Ctl({"add-module", project, "\\\\Project", "999"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("No module type 999 in the project."));
    // A tag another signal has is refused by the module dialog's checks.
    run = Ctl({"add-module", project, "\\\\Project", "1", "TT-9"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals").toInt(), 5);

    QCOMPARE(Ctl({"delete", project, "\\\\Project\\Plant1", "--yes"}).exitCode, 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals").toInt(), 1);
}

void TestZelnorctl::moduleValuesAreSetInShownUnits()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    // A two-channel 7230 module with its default signals, placed as the
    // program places a new one.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(project);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(
            "INSERT INTO Signals (ID, ParentID, Name, WorkingModeID, SensorTypID, TypeOfCircuitID, "
            "RangeBegin, RangeEnd, RangeUnitsID, OutputSignalType, OutputErrorValue, "
            "Relay1LimitValue, Relay1AgainSettingProtection, Relay1Hysteresis, "
            "Relay1ActiveRangeValue, Relay2LimitValue, Relay2AgainSettingProtection, "
            "Relay2Hysteresis, Relay2ActiveRangeValue, Zahlteilerkvocient) SELECT 500 + ID, 1, "
            "'TT' || ID, WorkingModeID, SensorTypID, TypeOfCircuitID, RangeBegin, RangeEnd, "
            "RangeUnitsID, OutputSignalType, OutputErrorValue, Relay1LimitValue, "
            "Relay1AgainSettingProtection, Relay1Hysteresis, Relay1ActiveRangeValue, "
            "Relay2LimitValue, Relay2AgainSettingProtection, Relay2Hysteresis, "
            "Relay2ActiveRangeValue, Zahlteilerkvocient FROM DefaultSignals WHERE ID IN (8, 9)"));
        QVERIFY(
            query.exec("INSERT INTO Modules7230_1 (ID, ParentID, Name, ModulTypID, DIPSwitch, Ch1SignalID, "
                       "Ch2SignalID) VALUES (900, 1, '7230/211-2 - [TT8] [TT9]', 7, 0, 508, 509)"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    const QString module = "\\\\Project\\7230/211-2 - [TT8] [TT9]";

    const TestSupport::ToolRun tree = Ctl({"tree", project});
    QVERIFY(tree.out.contains(module + "\tZ 7230/211-2\tTT8\tTT9\n"));

    TestSupport::ToolRun set =
        Ctl({"set", project, module, "--channel", "2", "RangeEnd=150.0", "Name=TIC-4711"});
    QCOMPARE(set.exitCode, 0);
    QVERIFY2(set.out.contains("Module '7230/211-2 - [TT8] [TIC-4711]' parameters applied."),
             qPrintable(set.out));
    QCOMPARE(Scalar(project, "SELECT RangeEnd FROM Signals WHERE ID = 509").toInt(), 150000);
    QCOMPARE(Scalar(project, "SELECT Name FROM Modules7230_1 WHERE ID = 900").toString(),
             QStringLiteral("7230/211-2 - [TT8] [TIC-4711]"));

    // A signal item edits its own channel.
    set = Ctl({"set", project, "\\\\Signals\\TT8", "RangeBegin=-20"});
    QCOMPARE(set.exitCode, 0);
    QCOMPARE(Scalar(project, "SELECT RangeBegin FROM Signals WHERE ID = 508").toInt(), -20000);

    // Validation refuses, and nothing is written.
    set = Ctl({"set", project, "\\\\Signals\\TT8", "RangeEnd=5000"});
    QCOMPARE(set.exitCode, 1);
    QVERIFY(set.err.contains("is out of range!"));
    QCOMPARE(Scalar(project, "SELECT RangeEnd FROM Signals WHERE ID = 508").toInt(), 100000);

    set = Ctl({"set", project, "\\\\Signals\\TT8", "--channel", "2", "RangeEnd=50"});
    QCOMPARE(set.exitCode, 1);
    set = Ctl({"set", project, "\\\\Signals\\TT8", "Colour=red"});
    QCOMPARE(set.exitCode, 1);
    QVERIFY(set.err.startsWith("Unknown column 'Colour'."));
    set = Ctl({"set", project, "\\\\Signals\\TT8", "RangeEnd"});
    QCOMPARE(set.exitCode, 2);
    QVERIFY(set.err.contains("Expected COLUMN=VALUE, found 'RangeEnd'."));
}

void TestZelnorctl::refusalsAndBadUsage()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    TestSupport::ToolRun run = Ctl({"add", project, "\\\\Project\\Nowhere", "plant", "P"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("No item '\\\\Project\\Nowhere' in the project."));
    run = Ctl({"add", project, "\\\\Project", "cabinet", "C"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("A 'cabinet' cannot be added there."));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Racks").toInt(), 0);
    run = Ctl({"add", project, "\\\\Project", "garage"});
    QCOMPARE(run.exitCode, 2);
    run = Ctl({"set", project, "\\\\Project", "RangeEnd=1"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("'\\\\Project' is neither a module nor a signal."));

    QCOMPARE(Ctl({"tree", dir.filePath("missing.prj")}).exitCode, 2);
    QCOMPARE(Ctl({"fly"}).exitCode, 2);
    QCOMPARE(Ctl({"tree"}).exitCode, 2);
    QCOMPARE(Ctl({"tree", project, "--lang", "9"}).exitCode, 2);
    run = Ctl({"--help"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("  set         PROJECT MODULE-PATH"));
}

void TestZelnorctl::textsFollowTheChosenLanguage()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const TestSupport::ToolRun run = Ctl({"add", project, "\\\\Project\\X", "plant", "P", "--lang", "2"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("Kein Element '\\\\Project\\X' im Projekt."), qPrintable(run.err));
}

void TestZelnorctl::commissioningRoundTrip()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2"});
    const QString port = simulator.device();
    QVERIFY(!port.isEmpty());
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const QString module = "\\\\Project\\7230/211-2 - [TT-101] [TT-102]";

    // Nothing in the project yet: compare has nothing to compare with.
    TestSupport::ToolRun run = Ctl({"compare", project, "--port", port});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("has no module in the project."));
    run = Ctl({"upload", project, "--port", port});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("(answered No; give --create to answer Yes)"), qPrintable(run.err));
    run = Ctl({"upload", project, "--port", port, "--create"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("Upload for module '7230/211-2 - [TT-101] [TT-102]' ...... OK"),
             qPrintable(run.out));

    run = Ctl({"show", project, module, "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject shown = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(shown.value("module").toString(), QStringLiteral("7230/211-2 - [TT-101] [TT-102]"));
    bool sawRangeEnd = false;
    for (const QJsonValue &parameter : shown.value("parameters").toArray()) {
        const QJsonObject p = parameter.toObject();
        if (p.value("number").toInt() == 19 && p.value("channel").toInt() == 2) {
            QCOMPARE(p.value("text").toString(), QStringLiteral("150.0 °C"));
            sawRangeEnd = true;
        }
    }
    QVERIFY(sawRangeEnd);

    QCOMPARE(Ctl({"set", project, module, "--channel", "2", "RangeEnd=120"}).exitCode, 0);
    run = Ctl({"compare", project, "--port", port});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.contains(
        "Channel 2: Measuring range end          150.0 °C                                120.0 °C\n"));

    run = Ctl({"download", project, module, "--port", port});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Download for module '7230/211-2 - [TT-101] [TT-102]' ...... OK"));
    run = Ctl({"compare", project, "--port", port});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Checking module '7230/211-2 - [TT-101] [TT-102]' ... OK"));

    // A new tag renames the module: the download asks first, and without
    // --yes the answer is No and nothing is written.
    QCOMPARE(Ctl({"set", project, module, "--channel", "2", "Name=TIC-9"}).exitCode, 0);
    const QString renamed = "\\\\Project\\7230/211-2 - [TT-101] [TIC-9]";
    run = Ctl({"download", project, renamed, "--port", port});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!run.out.contains("Download for module"));
    run = Ctl({"download", project, renamed, "--port", port, "--yes"});
    QCOMPARE(run.exitCode, 0);
    run = Ctl({"compare", project, "--port", port});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Checking module '7230/211-2 - [TT-101] [TIC-9]' ... OK"));

    // The blocks the module held before each download are kept in the
    // project, and can be written back.
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM ModuleBlockHistory").toInt(), 2);
    run = Ctl({"history", project, "SIM00000001"});
    QCOMPARE(run.exitCode, 0);
    const QStringList kept = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(kept.size(), 2);
    QVERIFY(kept[0].endsWith("\t7230/211-2 - [TT-101] [TIC-9]"));
    QVERIFY(kept[1].endsWith("\t7230/211-2 - [TT-101] [TT-102]"));
    QCOMPARE(Ctl({"history", project, "NO-SUCH-SERIAL"}).exitCode, 1);
    QCOMPARE(Ctl({"restore", project, "99999", "--port", port}).exitCode, 1);
    QCOMPARE(Ctl({"restore", project, kept[0].section('\t', 0, 0), "--port", port}).exitCode, 0);
    // The module holds its old tags again, which no project module has now.
    run = Ctl({"compare", project, "--port", port});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("has no module in the project."));
}

void TestZelnorctl::monitorPrintsOneRecordPerInterval()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--channels", "2"});
    QVERIFY(!simulator.device().isEmpty());
    const TestSupport::ToolRun run = Ctl({"monitor", "--port", simulator.device(), "--count", "2"});
    QCOMPARE(run.exitCode, 0);
    // Standard output holds the records alone; the log goes to standard error.
    const QStringList records = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(records.size(), 2);
    const QRegularExpression record(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d    -?\\d+\\.\\d °C\t\t -?\\d+\\.\\d °C$"));
    for (const QString &line : records)
        QVERIFY2(record.match(line).hasMatch(), qPrintable(line));
    QVERIFY(run.err.contains("Module connected! Starts online mode:"));
}

void TestZelnorctl::actionReportsTheModulesReply()
{
    TestSupport::SimulatorProcess simulator({"--family", "7230"});
    QVERIFY(!simulator.device().isEmpty());
    const TestSupport::ToolRun run = Ctl({"action", "--port", simulator.device(), "2"});
    QCOMPARE(run.exitCode, 0);
    const QRegularExpression line(QStringLiteral(
        "   Adjust 2-wires compensation, Channel1\\.\\.\\.OK,  Wire resistance = \\d+\\.\\d\\d Ohm\n"));
    QVERIFY2(line.match(run.out).hasMatch(), qPrintable(run.out));
    QCOMPARE(Ctl({"action", "--port", simulator.device(), "8"}).exitCode, 2);
}

void TestZelnorctl::linkCommandsRefuseUnusablePorts()
{
    TestSupport::ToolRun run = Ctl({"monitor", "--port", "/dev/zelnor-no-such-port", "--count", "1"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("The port '/dev/zelnor-no-such-port' does not exist."));
    QCOMPARE(Ctl({"monitor", "--count", "1"}).exitCode, 2);
    QCOMPARE(Ctl({"monitor", "--port", "/dev/null", "--count", "x"}).exitCode, 2);
    // A device that exists but where no module answers.
    run = Ctl({"action", "--port", "/dev/null", "0"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("No module answers on the port '/dev/null'."), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestZelnorctl)
#include "test_zelnorctl.moc"
