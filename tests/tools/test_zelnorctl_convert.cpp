#include "jet_old_project.h"
#include "tool_test_support.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <sys/stat.h>

#include <functional>

using namespace ToolTest;

namespace {

using namespace JetOldProject;

// Replaces the rows of one table in the content.
void SetRows(JetContent &content, const QString &table, const QJsonArray &rows)
{
    QJsonObject all = content[QStringLiteral("rows")].toObject();
    all[table] = rows;
    content[QStringLiteral("rows")] = all;
}

// Changes one field of the row with the ID in the content.
void SetField(JetContent &content, const QString &table, int id, const QString &column, const QJsonValue &value)
{
    QJsonArray rows = content[QStringLiteral("rows")].toObject()[table].toArray();
    for (int i = 0; i < rows.size(); ++i) {
        QJsonObject row = rows[i].toObject();
        if (row[QStringLiteral("ID")].toInt() == id) {
            row[column] = value;
            rows[i] = row;
        }
    }
    SetRows(content, table, rows);
}

// A project with plants, cabinets, carriers and modules of every family at
// every depth, with texts in three scripts.
QString SampleProject(const QTemporaryDir &dir)
{
    const QString project = NewProject(dir, QStringLiteral("sample.prj"));
    Ctl({"add", project, "\\\\Project", "plant", "Kesselhaus Süd"});
    Ctl({"add", project, "\\\\Project\\Kesselhaus Süd", "cabinet", "Шкаф 1"});
    Ctl({"add", project, "\\\\Project\\Kesselhaus Süd\\Шкаф 1", "carrier", "Träger °1"});
    Ctl({"add-module", project, "\\\\Project", "7", "TT-101", "TT-102"});
    Ctl({"add-module", project, "\\\\Project\\Kesselhaus Süd", "7", "Temp °C", "Датчик"});
    Ctl({"add-module", project, "\\\\Project\\Kesselhaus Süd\\Шкаф 1", "7", "PT-1"});
    Ctl({"add-module", project, "\\\\Project\\Kesselhaus Süd\\Шкаф 1\\Träger °1", "7", "FT-ü"});
    return project;
}

QStringList ModulePaths(const QString &project)
{
    const TestSupport::ToolRun tree = Ctl({"tree", project, "--json"});
    QStringList paths;
    for (const QJsonValue &entry : QJsonDocument::fromJson(tree.out.toUtf8()).array()) {
        const QJsonObject item = entry.toObject();
        if (item.contains(QStringLiteral("type")))
            paths << item[QStringLiteral("path")].toString();
    }
    return paths;
}

// Half-written projects beside the target.
QStringList LeftBehind(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
}

// The table as the old file holds it: its columns in another order (by
// name), changed gives a column another type, skipped leaves one out, and
// the row with the ID gets value there.
struct OldTable {
    QString name;
    QString changed;
    QString kind;
    QString skipped;
    int id = 0;
    QJsonValue value;
};

void PutTable(JetContent &content, const QString &project, const OldTable &table)
{
    const QJsonArray rows = RowsOf(project, table.name);
    QStringList names = rows.first().toObject().keys();
    names.removeAll(table.skipped);
    QJsonArray layout;
    for (const QString &name : names) {
        const QString declared =
            Scalar(project, QStringLiteral("SELECT type FROM pragma_table_info('%1') WHERE name = '%2'").arg(table.name, name))
                .toString();
        const QString kind = name == table.changed ? table.kind : declared.startsWith("VARCHAR") ? "text" : "long";
        layout.append(kind == "text" ? QJsonArray{name, kind, 255} : QJsonArray{name, kind});
    }
    QJsonArray cells;
    for (const QJsonValue &row : rows) {
        const QJsonObject record = row.toObject();
        QJsonArray values;
        for (const QString &name : names)
            values.append(name == table.changed && record["ID"].toInt() == table.id ? table.value : record[name]);
        cells.append(values);
    }
    QJsonObject tables = content["tables"].toObject();
    tables[table.name] = QJsonObject{{"columns", layout}, {"rows", cells}};
    content["tables"] = tables;
    QJsonObject all = content["rows"].toObject();
    all.remove(table.name);
    content["rows"] = all;
}

} // namespace

class TestZelnorctlConvert : public QObject {
    Q_OBJECT
private slots:
    void theCarriedProjectIsTheOldOne();
    void anOlderFileIsUpgradedANewerRefused();
    void columnsAreReadByNameWhateverTheirOrderAndType();
    void aForeignOrDamagedFileIsRefusedAndNothingIsLeft_data();
    void aForeignOrDamagedFileIsRefusedAndNothingIsLeft();
    void aValueTheNewSchemaRefusesNamesTableRowAndColumn_data();
    void aValueTheNewSchemaRefusesNamesTableRowAndColumn();
    void theTargetFollowsTheRulesOfWrittenFiles();
};

void TestZelnorctlConvert::theCarriedProjectIsTheOldOne()
{
    QTemporaryDir dir;
    const QString sample = SampleProject(dir);
    QCOMPARE(ModulePaths(sample).size(), 4);
    const QString old = dir.filePath("old.prj");
    QVERIFY(WriteJet(JetContentOf(sample), old));
    const QByteArray before = Checksum(old);

    const QString converted = dir.filePath("new.prj");
    const TestSupport::ToolRun run = Ctl({"convert", old, converted});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const int signalCount = Scalar(sample, "SELECT COUNT(*) FROM Signals").toInt();
    QVERIFY(run.out.contains(QStringLiteral("Signals: %1 rows carried over.\n").arg(signalCount)));
    QVERIFY(run.out.contains("Modules7230_4: 1 row carried over.\n"));
    QVERIFY(run.out.contains("Carried over '" + old + "' (version 1.00.04) into '" + converted + "'"));
    QCOMPARE(Checksum(old), before);

    // What a user sees of it is what the old file holds.
    QCOMPARE(Ctl({"tree", converted}).out, Ctl({"tree", sample}).out);
    for (const QString &path : ModulePaths(sample))
        QCOMPARE(Ctl({"show", converted, path, "--json"}).out, Ctl({"show", sample, path, "--json"}).out);
    // The counters go on where they stood, so new rows get new IDs.
    for (const char *statement : {"SELECT group_concat(SeqName || '=' || ID) FROM IDSequences",
                                  "SELECT group_concat(ID || ParentID || Name) FROM Equipments",
                                  "SELECT group_concat(ID || ':' || Ch1SignalID || ':' || Ch2SignalID) FROM Modules7230_1"})
        QCOMPARE(Scalar(converted, statement), Scalar(sample, statement));
    QCOMPARE(Inconsistencies(converted), QStringList());
    QVERIFY(Ctl({"add", converted, "\\\\Project", "plant", "Neu"}).exitCode == 0);

    const TestSupport::ToolRun json = Ctl({"convert", old, dir.filePath("again.prj"), "--json"});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(report["fromVersion"].toString(), QStringLiteral("1.00.04"));
    int signalsReported = -1;
    for (const QJsonValue &table : report["tables"].toArray())
        if (table["table"].toString() == "Signals")
            signalsReported = table["rows"].toInt();
    QCOMPARE(signalsReported, signalCount);
}

void TestZelnorctlConvert::anOlderFileIsUpgradedANewerRefused()
{
    QTemporaryDir dir;
    const QString sample = SampleProject(dir);
    JetContent content = JetContentOf(sample);
    SetField(content, "SystemData", 1, "Version", "1.00.01");
    const QString older = dir.filePath("older.prj");
    QVERIFY(WriteJet(content, older));
    const QString converted = dir.filePath("new-older.prj");
    const TestSupport::ToolRun run = Ctl({"convert", older, converted});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains("Upgraded from version 1.00.01 to 1.00.04 with the program's own steps."),
             qPrintable(run.out + run.err));
    QCOMPARE(Scalar(converted, "SELECT Version FROM SystemData").toString().trimmed(), QStringLiteral("1.00.04"));
    // The program's own tables came with their steps, as for any older project.
    QVERIFY2(!run.err.contains("duplicate column"), qPrintable(run.err));
    QCOMPARE(Scalar(converted, "SELECT COUNT(Port) FROM CommissioningRecords").toInt(), 0);
    QCOMPARE(Ctl({"tree", converted}).out, Ctl({"tree", sample}).out);

    SetField(content, "SystemData", 1, "Version", "1.00.09");
    const QString newer = dir.filePath("newer.prj");
    QVERIFY(WriteJet(content, newer));
    const TestSupport::ToolRun refused = Ctl({"convert", newer, dir.filePath("new-newer.prj")});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("The version of database is newer than the version of program."),
             qPrintable(refused.err));
    QVERIFY(!QFile::exists(dir.filePath("new-newer.prj")));
    QCOMPARE(LeftBehind(dir), QStringList());
}

void TestZelnorctlConvert::columnsAreReadByNameWhateverTheirOrderAndType()
{
    QTemporaryDir dir;
    const QString sample = SampleProject(dir);
    JetContent content = JetContentOf(sample);
    // An older layout of the plants: other order, narrower number types,
    // a Memo for the description and a column the program never knew.
    QJsonArray rows;
    for (const QJsonValue &value : RowsOf(sample, "Equipments")) {
        const QJsonObject row = value.toObject();
        rows.append(QJsonArray{row["Description"], "legacy", row["Name"], row["ParentID"], row["ID"]});
    }
    QJsonObject tables;
    tables["Equipments"] = QJsonObject{
        {"columns", QJsonArray{QJsonArray{"Description", "memo"}, QJsonArray{"Legacy", "text", 10},
                               QJsonArray{"Name", "text", 255}, QJsonArray{"ParentID", "byte"},
                               QJsonArray{"ID", "integer"}}},
        {"rows", rows}};
    content["tables"] = tables;
    QJsonObject all = content["rows"].toObject();
    all.remove("Equipments");
    content["rows"] = all;
    SetField(content, "Signals", Scalar(sample, "SELECT MIN(ID) FROM Signals").toInt(), "Description",
             QString(40, QChar(0x00B0)));
    const QString old = dir.filePath("layout.prj");
    QVERIFY(WriteJet(content, old));
    const QString converted = dir.filePath("new-layout.prj");
    const TestSupport::ToolRun run = Ctl({"convert", old, converted});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(Ctl({"tree", converted}).out, Ctl({"tree", sample}).out);
    QCOMPARE(Scalar(converted, "SELECT Description FROM Signals ORDER BY ID LIMIT 1").toString(),
             QString(40, QChar(0x00B0)));
    // Yes/No comes back as -1 and 0.
    JetContent dip = JetContentOf(sample);
    SetField(dip, "Modules7230_1", Scalar(sample, "SELECT ID FROM Modules7230_1").toInt(), "DIPSwitch", -1);
    QVERIFY(WriteJet(dip, dir.filePath("dip.prj")));
    QCOMPARE(Ctl({"convert", dir.filePath("dip.prj"), dir.filePath("new-dip.prj")}).exitCode, 0);
    QCOMPARE(Scalar(dir.filePath("new-dip.prj"), "SELECT DIPSwitch FROM Modules7230_1").toInt(), -1);
    QCOMPARE(Scalar(dir.filePath("new-dip.prj"), "SELECT DIPSwitch FROM Modules7230_2").toInt(), 0);
}

void TestZelnorctlConvert::aForeignOrDamagedFileIsRefusedAndNothingIsLeft_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    QTest::newRow("another application's database") << "foreign" << "table 'SystemData' not found";
    QTest::newRow("a table missing") << "no Racks" << "table 'Racks' not found";
    QTest::newRow("a column missing") << "no Memo" << "column 'Memo' not found in table 'Modules7230_2'";
    QTest::newRow("cut inside a page") << "cut 20000" << "is cut short: 20000 bytes";
    QTest::newRow("cut after the definitions") << "cut pages" << "is damaged: its catalogue of tables cannot be read.";
    QTest::newRow("a page of rows lost") << "blank page" << "Table 'Signals' of '%1' is damaged: 0 of its";
    QTest::newRow("a text file") << "text" << "is no Jet database";
}

void TestZelnorctlConvert::aForeignOrDamagedFileIsRefusedAndNothingIsLeft()
{
    QFETCH(QString, damage);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString sample = SampleProject(dir);
    JetContent content = JetContentOf(sample);
    const QString old = dir.filePath("damaged.prj");
    if (damage == "foreign") {
        const QJsonObject customers{{"columns", QJsonArray{QJsonArray{"ID", "long"}}},
                                    {"rows", QJsonArray{QJsonArray{1}}}};
        content = JetContent{{"tables", QJsonObject{{"Customers", customers}}}};
    } else if (damage == "no Racks") {
        content["omit"] = QJsonArray{"Versions", "CommissioningRecords", "CommissioningQueue", "Racks"};
        QJsonObject rows = content["rows"].toObject();
        rows.remove("Racks");
        content["rows"] = rows;
    } else if (damage == "no Memo") {
        PutTable(content, sample, {"Modules7230_2", {}, {}, "Memo", 0, {}});
    } else if (damage == "cut 20000") {
        content["truncate"] = 20000;
    } else if (damage == "blank page") {
        content["blank_first_page_of"] = "Signals";
    } else if (damage == "cut pages") {
        // The definitions stand at the front; the last pages hold rows and
        // the maps of the pages.
        content["truncate"] = 4096 * 60;
    }
    if (damage == "text") {
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Standard notes, not a database\n");
    } else {
        QVERIFY(WriteJet(content, old));
    }
    const QByteArray before = Checksum(old);
    const QString converted = dir.filePath("new.prj");
    const TestSupport::ToolRun run = Ctl({"convert", old, converted});
    QCOMPARE(run.exitCode, 1);
    const QString expected = message.contains("%1") ? message.arg(old) : message;
    QVERIFY2(run.err.contains(expected) && run.err.contains("nothing was written"), qPrintable(run.err));
    QVERIFY(!QFile::exists(converted));
    QCOMPARE(LeftBehind(dir), QStringList());
    QCOMPARE(Checksum(old), before);
}

void TestZelnorctlConvert::aValueTheNewSchemaRefusesNamesTableRowAndColumn_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("text longer than its width")
        << "Equipments" << "Name" << QJsonValue(QString(51, QChar(0x0416)))
        << "Table 'Equipments', row ID %1, column 'Name': the text of 51 characters is longer than the 50";
    QTest::newRow("number beyond a Long")
        << "Signals" << "RangeEnd" << QJsonValue(3.0e9)
        << "Table 'Signals', row ID %1, column 'RangeEnd': 3000000000 is beyond the range of a Long";
    QTest::newRow("fraction for a Long")
        << "Signals" << "RangeBegin" << QJsonValue(0.5)
        << "Table 'Signals', row ID %1, column 'RangeBegin': '0.5' is no whole number.";
}

void TestZelnorctlConvert::aValueTheNewSchemaRefusesNamesTableRowAndColumn()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QJsonValue, value);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString sample = SampleProject(dir);
    JetContent content = JetContentOf(sample);
    const int id = Scalar(sample, QStringLiteral("SELECT MAX(ID) FROM %1").arg(table)).toInt();
    // The old file held a wider text or a real number in that column.
    PutTable(content, sample, {table, column, value.isDouble() ? "double" : "text", {}, id, value});
    const QString old = dir.filePath("values.prj");
    QVERIFY(WriteJet(content, old));
    const TestSupport::ToolRun run = Ctl({"convert", old, dir.filePath("new.prj")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message.arg(id)), qPrintable(run.err));
    QVERIFY(!QFile::exists(dir.filePath("new.prj")));
    QCOMPARE(LeftBehind(dir), QStringList());
}

void TestZelnorctlConvert::theTargetFollowsTheRulesOfWrittenFiles()
{
    QTemporaryDir dir;
    const QString sample = SampleProject(dir);
    const QString old = dir.filePath("old.prj");
    QVERIFY(WriteJet(JetContentOf(sample), old));
    const QByteArray before = Checksum(sample);
    // An existing project is replaced only when asked.
    const TestSupport::ToolRun existing = Ctl({"convert", old, sample});
    QCOMPARE(existing.exitCode, 1);
    QVERIFY(existing.err.contains("already exists"));
    QCOMPARE(Checksum(sample), before);
    QCOMPARE(Ctl({"convert", old, sample, "--force"}).exitCode, 0);
    QCOMPARE(Scalar(sample, "SELECT COUNT(*) FROM Signals").toInt() > 0, true);
    // Never onto the old file itself, nor into a folder.
    const QByteArray oldBefore = Checksum(old);
    QCOMPARE(Ctl({"convert", old, old, "--force"}).exitCode, 1);
    QCOMPARE(Checksum(old), oldBefore);
    QCOMPARE(Ctl({"convert", old, dir.path(), "--force"}).exitCode, 1);
    QCOMPARE(Ctl({"convert", old}).exitCode, 2);
    // A pipe is named for what it is, with or without --force, and never
    // opened: --force would not help.
    const QString pipe = dir.filePath("pipe.prj");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QStringList &force : {QStringList(), QStringList{"--force"}}) {
        const TestSupport::ToolRun piped = Ctl(QStringList{"convert", old, pipe} + force);
        QCOMPARE(piped.exitCode, 1);
        QVERIFY2(piped.err.contains("is not a plain file"), qPrintable(piped.err));
    }
    // A data link to a shared project is never replaced by a project, asked
    // or not: it would be read as a link afterwards.
    const QString link = dir.filePath("shared.udl");
    {
        QFile file(link);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                   "Provider=PostgreSQL;Data Source=db.example\r\n");
    }
    const QByteArray linkBefore = Checksum(link);
    const TestSupport::ToolRun linked = Ctl({"convert", old, link, "--force"});
    QCOMPARE(linked.exitCode, 1);
    QVERIFY2(linked.err.contains("is a project file"), qPrintable(linked.err));
    QCOMPARE(Checksum(link), linkBefore);
}

QTEST_GUILESS_MAIN(TestZelnorctlConvert)
#include "test_zelnorctl_convert.moc"
