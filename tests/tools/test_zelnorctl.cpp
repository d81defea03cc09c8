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
    void defaultSimulatedModuleMatchesItsType_data();
    void defaultSimulatedModuleMatchesItsType();
    void actionReportsTheModulesReply();
    void actionsAreReportedTruthfully_data();
    void actionsAreReportedTruthfully();
    void downloadsAreJudgedByTheirReadBack_data();
    void downloadsAreJudgedByTheirReadBack();
    void downloadIntoAnotherModuleTypeIsRefused();
    void simulatorFaultWordsAreChecked();
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
    // The question, then what --create decided for it.
    const qsizetype asked = run.err.indexOf("Do you want to apply it to the database?");
    const qsizetype decided = run.err.indexOf("Yes: the module was added to the project as '" + module + "'.\n");
    QVERIFY2(asked >= 0 && decided > asked, qPrintable(run.err));

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
    // The same as JSON, with the log kept off standard output.
    run = Ctl({"compare", project, "--port", port, "--json"});
    QCOMPARE(run.exitCode, 1);
    const QJsonObject compared = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QVERIFY2(!compared.isEmpty(), qPrintable(run.out));
    QCOMPARE(compared["equal"].toBool(), false);
    bool rangeEndDiffers = false;
    for (const QJsonValue &difference : compared["differences"].toArray()) {
        const QJsonObject d = difference.toObject();
        rangeEndDiffers = rangeEndDiffers || (d["channel"].toInt() == 2 && d["module"].toString() == "150.0 °C" &&
                                              d["project"].toString() == "120.0 °C");
    }
    QVERIFY(rangeEndDiffers);

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
    // Each is named by the module it was read from: both times the module
    // still held TT-101 and TT-102.
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM ModuleBlockHistory").toInt(), 2);
    run = Ctl({"history", project, "SIM00000001"});
    QCOMPARE(run.exitCode, 0);
    const QStringList kept = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(kept.size(), 2);
    QVERIFY(kept[0].endsWith("\t7230/211-2 - [TT-101] [TT-102]"));
    QVERIFY(kept[1].endsWith("\t7230/211-2 - [TT-101] [TT-102]"));
    QCOMPARE(Ctl({"history", project, "NO-SUCH-SERIAL"}).exitCode, 1);
    run = Ctl({"history", project, "SIM00000001", "--json"});
    const QJsonArray history = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(history.size(), 2);
    QCOMPARE(history[0].toObject()["id"].toInt(), kept[0].section('\t', 0, 0).toInt());
    QCOMPARE(history[0].toObject()["module"].toString(), QStringLiteral("7230/211-2 - [TT-101] [TT-102]"));
    QCOMPARE(Ctl({"restore", project, "99999", "--port", port}).exitCode, 1);
    run = Ctl({"restore", project, kept[0].section('\t', 0, 0), "--port", port});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("Download for module '7230/211-2 - [TT-101] [TT-102]' ...... OK"),
             qPrintable(run.out));
    // What the restore overwrote is kept first, so that it can be undone.
    run = Ctl({"history", project, "SIM00000001"});
    QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts).size(), 3);
    QVERIFY(run.out.split('\n', Qt::SkipEmptyParts).value(0).endsWith("\t7230/211-2 - [TT-101] [TIC-9]"));
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
    // Standard output holds the column line and the records alone; the log
    // goes to standard error.
    QStringList records = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.takeFirst(), QStringLiteral("\t\t\tChannel 1\tChannel 2"));
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

    // The calls of a day share the tool's day file: its head names the tool,
    // and each call starts with its command line, port and all.
    const QString dayFile = QDir(TestSupport::binDirectory())
                                .filePath("Log/" + QDate::currentDate().toString("yyyy_MM_dd") + "_zelnorctl_Log.txt");
    QFile file(dayFile);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(dayFile));
    const QString log = QString::fromUtf8(file.readAll());
    QVERIFY(log.contains(
        "      Modul file name   : " + QDir(TestSupport::binDirectory()).filePath("zelnorctl") + "\r\n"));
    QVERIFY2(log.contains("   zelnorctl action --port " + simulator.device() + " 2\r\n"), qPrintable(log));
    QVERIFY(log.contains("   zelnorctl action --port " + simulator.device() + " 8\r\n"));
}

void TestZelnorctl::actionsAreReportedTruthfully_data()
{
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("said");
    const QString unanswered =
        QStringLiteral("Adjust 2-wires compensation, Channel1...No valid reply from the module");
    for (const char *fault : {"no-reply", "bad-checksum", "wrong-echo"})
        QTest::newRow(fault) << QStringList({"--fault", QString(fault) + " on=actions times=5"}) << "2"
                             << unanswered;
    QTest::newRow("cut short") << QStringList({"--fault", "cut-short on=actions times=5"}) << "2"
                               << "Adjust 2-wires compensation, Channel1...The module's reply was cut short";
    QTest::newRow("startup delay on a 7230")
        << QStringList() << "6"
        << "'Activate startup delay, channel 1' is not offered for this module: its Adjust page offers "
           "'2-wires compensation, Channel1' instead.";
    QTest::newRow("channel 2 of a one-channel module")
        << QStringList({"--type", "0", "--channels", "1"}) << "3"
        << "'2-wires compensation, Channel2' is not offered for this module: the module has a single "
           "channel.";
    QTest::newRow("channel action on a 7220") << QStringList({"--family", "7220"}) << "2"
                                              << "'2-wires compensation, Channel1' is not offered for this "
                                                 "module: a 7220 module has no channel actions.";
    QTest::newRow("reset of a relay that is not locked")
        << QStringList() << "0"
        << "'Reset limit value, Channel 1' is not offered for this module: no relay of channel 1 with a "
           "lockout "
           "is locked.";
}

void TestZelnorctl::actionsAreReportedTruthfully()
{
    QFETCH(QStringList, simulator);
    QFETCH(QString, code);
    QFETCH(QString, said);
    TestSupport::SimulatorProcess module(simulator);
    QVERIFY(!module.device().isEmpty());
    const TestSupport::ToolRun run = Ctl({"action", "--port", module.device(), code});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(said), qPrintable(run.out + run.err));
    QVERIFY(!run.out.contains("...OK"));
}

void TestZelnorctl::downloadsAreJudgedByTheirReadBack_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("notSaid");
    const QString line = "Download for module '7230/211-2 - [TT-101] [TT-102]'";
    QTest::newRow("read back") << QString() << 0 << line + " ...... OK"
                               << "read back";
    // Block 6 is read in full only: the read as the module comes online is spared.
    QTest::newRow("read-back read dropped")
        << "no-reply on=reads blocks=6 after=1" << 1 << line + ": the module could not be read back."
        << "differs";
    QTest::newRow("module kept another byte")
        << "misstore on=writes blocks=6 count=5" << 1 << "Block 6, byte 5                         0x01"
        << "could not be read back";
    QTest::newRow("write cut short three times")
        << "cut-short on=writes blocks=3 times=3" << 1 << line + " ...... ERROR"
        << " ...... OK";
}

void TestZelnorctl::downloadsAreJudgedByTheirReadBack()
{
    QFETCH(QString, fault);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QString, notSaid);
    TestSupport::SimulatorProcess simulator({"--family", "7230", "--type", "6", "--channels", "2"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"upload", project, "--port", simulator.device(), "--create"}).exitCode, 0);
    const QString module = "\\\\Project\\7230/211-2 - [TT-101] [TT-102]";
    QCOMPARE(Ctl({"set", project, module, "--channel", "1", "RangeEnd=120"}).exitCode, 0);
    if (!fault.isEmpty())
        QVERIFY(simulator.command("fault " + fault).startsWith("ok:"));
    QElapsedTimer clock;
    clock.start();
    const TestSupport::ToolRun run = Ctl({"download", project, module, "--port", simulator.device()});
    QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.contains(said), qPrintable(run.out));
    QVERIFY2(!run.out.contains(notSaid), qPrintable(run.out));
}

void TestZelnorctl::defaultSimulatedModuleMatchesItsType_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("7230") << "7230";
    QTest::newRow("7210") << "7210";
    QTest::newRow("7220") << "7220";
}

// The module a simulator of the family starts with reports what its catalogue
// type says: a module uploaded into the project compares equal at once.
void TestZelnorctl::defaultSimulatedModuleMatchesItsType()
{
    QFETCH(QString, family);
    TestSupport::SimulatorProcess simulator({"--family", family});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    TestSupport::ToolRun run = Ctl({"upload", project, "--port", simulator.device(), "--create"});
    QCOMPARE(run.exitCode, 0);
    run = Ctl({"compare", project, "--port", simulator.device()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains("' ... OK"), qPrintable(run.out));
}

void TestZelnorctl::downloadIntoAnotherModuleTypeIsRefused()
{
    TestSupport::SimulatorProcess simulator({"--family", "7220"});
    QVERIFY(!simulator.device().isEmpty());
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add-module", project, "\\\\Project", "7", "TT-101", "TT-102"}).exitCode, 0);
    const TestSupport::ToolRun run = Ctl({"download", project, "\\\\Project\\7230/211-2 - [TT-101] [TT-102]",
                                          "--port", simulator.device(), "--yes"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(
        run.err.contains("The connected module is a Z 7220/12-0; the module '7230/211-2 - [TT-101] [TT-102]' "
                         "is a Z 7230/211-2."),
        qPrintable(run.err));
    QVERIFY(!run.out.contains("Download for module"));
    QVERIFY(Scalar(project, "SELECT LastProgramming FROM Modules7230_1").toString().isEmpty());
    QVERIFY(!Scalar(project, "SELECT COUNT(*) FROM ModuleBlockHistory").isValid());
}

void TestZelnorctl::simulatorFaultWordsAreChecked()
{
    TestSupport::SimulatorProcess simulator;
    QVERIFY(!simulator.device().isEmpty());
    QCOMPARE(simulator.command("fault no-reply on=reads blocks=6 times=2"),
             QStringLiteral("ok: fault no-reply on=reads blocks=6 times=2"));
    QVERIFY(simulator.command("fault sneeze").startsWith("error: no fault kind 'sneeze'"));
    QVERIFY(
        simulator.command("fault status on=boats").startsWith("error: on= takes reads, writes or actions"));
    QVERIFY(simulator.command("live 3 50").startsWith("error:"));
    QCOMPARE(simulator.command("serial SIM2"), QStringLiteral("ok: serial SIM2"));
    const TestSupport::ToolRun bad =
        TestSupport::runTool(QStringLiteral("zelnor-simulator"), {"--fault", "no-reply blocks=12"});
    QCOMPARE(bad.exitCode, 2);
    QVERIFY(bad.err.contains("'12' is no block number from 0 to 9"));
    const TestSupport::ToolRun help = TestSupport::runTool(QStringLiteral("zelnor-simulator"), {"--help"});
    QVERIFY(help.out.contains("fault misstore on=writes blocks=6 count=5"));
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
