// The command-line front end, run as a user runs it: the real executable on
// real project files.
#include "support/test_support.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestZelnorctl : public QObject {
    Q_OBJECT
private slots:
    void foldersAreAddedListedAndDeleted();
    void moduleValuesAreSetInShownUnits();
    void refusalsAndBadUsage();
    void textsFollowTheChosenLanguage();

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

    QCOMPARE(Ctl({"delete", project, "\\\\Project\\Boiler house"}).exitCode, 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Equipments").toInt(), 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Racks").toInt(), 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM ZelnorHolders").toInt(), 0);
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
    QVERIFY(run.out.contains("zelnorctl set PROJECT MODULE-PATH"));
}

void TestZelnorctl::textsFollowTheChosenLanguage()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const TestSupport::ToolRun run = Ctl({"add", project, "\\\\Project\\X", "plant", "P", "--lang", "2"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("Kein Element '\\\\Project\\X' im Projekt."), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestZelnorctl)
#include "test_zelnorctl.moc"
