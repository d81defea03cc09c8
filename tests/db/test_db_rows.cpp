#include "db/data_error.h"
#include "db/db_strings.h"
#include "db/table_level.h"
#include "db/variant_value.h"
#include "db_test_support.h"

#include <QtTest>

// Rows written and read through the levels on a copy of the reference
// database, with the statement texts the builders make.
class TestDbRows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void everyTreeTableRoundTrips();
    void textsAreCutToTheirWidthOnReading();
    void nullCellsReadAsZeroFalseOrEmpty();
    void yesNoColumnsStoreMinusOne();
    void resourceMarkersReadAsStrings_data();
    void resourceMarkersReadAsStrings();
    void quotesAndBackslashesRoundTrip();
    void tooLongTextIsRefusedBeforeWriting();
    void valueThatIsNoNumberIsRefusedForLongColumn();
    void missingTableRaisesWithDriverRecords();
    void missingColumnRaisesWithDriverRecords();
    void updateOfVanishedRowReportsFailure();
    void countRows();
    void schemaFactsComeFromTheFile();

private:
    static RowValues emptyValues(CTableLevel &level) { return RowValues(level.GetColumns()->size()); }
    static std::optional<RowValues> readRow(DbSession &session, CTableLevel &level, const QVariant &parent,
                                            int id);
};

std::optional<RowValues> TestDbRows::readRow(DbSession &session, CTableLevel &level, const QVariant &parent,
                                             int id)
{
    const int idIndex = level.IdColumnIndex();
    for (int more = level.OpenQuery(session, parent); more; more = level.MoveNext()) {
        RowValues values;
        level.ReadRowValues(values);
        if (values[size_t(idIndex)].toInt() == id)
            return values;
    }
    return std::nullopt;
}

void TestDbRows::everyTreeTableRoundTrips()
{
    ProjectCopy project;
    CLevelList levels;
    int id = 500;
    int tested = 0;
    // The tree tables follow the root: the two roots, the three folders, the
    // twelve module tables and Signals.
    for (size_t i = 1; i <= 18; ++i) {
        CTableLevel &level = *levels.levels()[i];
        ++tested;
        ++id;
        const QString table = level.tableName();
        const bool hasParent = !level.ParentColumnName().isNull();
        const RowValues saved = emptyValues(level);
        RowValues values = saved;
        values[0] = id;
        if (hasParent)
            values[1] = 1;
        int nameIndex = -1;
        level.FindColumn("Name", &nameIndex);
        values[size_t(nameIndex)] = QString("Row of %1").arg(table);

        const QString insert = level.BuildInsert(values, saved);
        const QString expectedInsert =
            hasParent ? QString("INSERT INTO %1 ([ID], [ParentID], [Name]) VALUES (%2, 1, 'Row of %1') ")
                            .arg(table)
                            .arg(id)
                      : QString("INSERT INTO %1 ([ID], [Name]) VALUES (%2, 'Row of %1') ").arg(table).arg(id);
        QCOMPARE(insert, expectedInsert);
        const int before = level.CountRows(project.session());
        QCOMPARE(level.ExecuteStatement(project.session(), insert), 1);
        QCOMPARE(level.CountRows(project.session()), before + 1);

        std::optional<RowValues> read = readRow(project.session(), level, 1, id);
        QVERIFY2(read, qPrintable(table));
        QCOMPARE((*read)[size_t(nameIndex)], QVariant(QString("Row of %1").arg(table)));
        if (hasParent)
            QCOMPARE((*read)[1], QVariant(1));
        else
            QVERIFY(IsDbNull((*read)[1]));

        RowValues changed = *read;
        changed[size_t(nameIndex)] = QString("Renamed %1").arg(table);
        const QString update = level.BuildUpdate(changed, *read);
        QCOMPARE(update,
                 QString("UPDATE %1 SET %1.[Name] = 'Renamed %1' WHERE %1.[ID] = %2").arg(table).arg(id));
        QCOMPARE(level.ExecuteStatement(project.session(), update), 1);
        read = readRow(project.session(), level, 1, id);
        QVERIFY(read);
        QCOMPARE((*read)[size_t(nameIndex)], QVariant(QString("Renamed %1").arg(table)));

        const QString remove = level.BuildDelete(&*read);
        QCOMPARE(remove, QString("DELETE FROM %1 WHERE ( ID = %2 ) ").arg(table).arg(id));
        QCOMPARE(level.ExecuteStatement(project.session(), remove), 1);
        QVERIFY(!readRow(project.session(), level, 1, id));
        QCOMPARE(level.CountRows(project.session()), before);
        level.Close();
    }
    QCOMPARE(tested, 2 + 3 + 12 + 1);
}

void TestDbRows::textsAreCutToTheirWidthOnReading()
{
    ProjectCopy project;
    CLevelList levels;
    const QString hundred = QString("N").repeated(99) + "Z";
    for (const QString table : {"Modules7230_1", "Modules7210_1", "Modules7220_1"})
        project.exec(QString("INSERT INTO %1 (ID, ParentID, Name) VALUES (7, 1, '%2')").arg(table, hundred));
    const auto nameOf = [&](const char *table) {
        std::optional<RowValues> row = readRow(project.session(), *levels.FindByTable(table), 1, 7);
        return row ? (*row)[2].toString() : QString();
    };
    QCOMPARE(nameOf("Modules7230_1"), hundred.left(99));
    QCOMPARE(nameOf("Modules7210_1"), hundred);
    QCOMPARE(nameOf("Modules7220_1"), hundred);
}

void TestDbRows::nullCellsReadAsZeroFalseOrEmpty()
{
    ProjectCopy project;
    CLevelList levels;
    project.exec(
        "INSERT INTO Signals (ID, ParentID, Name, RangeID, RangeUnitsID) VALUES (40, 1, NULL, 3, NULL)");
    // Files from elsewhere may allow NULL in Yes/No columns; a copy made by
    // CREATE ... AS SELECT keeps the columns without their constraints.
    project.exec("CREATE TABLE LooseModes AS SELECT * FROM WorkingModes7230");
    project.exec("DROP TABLE WorkingModes7230");
    project.exec("ALTER TABLE LooseModes RENAME TO WorkingModes7230");
    project.exec("INSERT INTO WorkingModes7230 (ID, ParentID, Name, [Default]) VALUES (40, 1, 'x', NULL)");
    CTableLevel &signalsLevel = *levels.FindByTable("Signals");
    std::optional<RowValues> row = readRow(project.session(), signalsLevel, 1, 40);
    QVERIFY(row);
    int index = -1;
    signalsLevel.FindColumn("RangeUnitsID", &index);
    QCOMPARE((*row)[size_t(index)], QVariant(0));
    signalsLevel.FindColumn("RangeID", &index);
    QCOMPARE((*row)[size_t(index)], QVariant(3));
    QCOMPARE((*row)[2], QVariant(QString()));
    CTableLevel &modes = *levels.FindByTable("WorkingModes7230");
    row = readRow(project.session(), modes, 1, 40);
    QVERIFY(row);
    modes.FindColumn("Default", &index);
    QCOMPARE((*row)[size_t(index)], QVariant(false));
}

void TestDbRows::yesNoColumnsStoreMinusOne()
{
    ProjectCopy project;
    CLevelList levels;
    CTableLevel &modules = *levels.FindByTable("Modules7210_2");
    RowValues saved = emptyValues(modules);
    RowValues values = saved;
    values[0] = 12;
    values[1] = 3;
    values[2] = QString("FT-1");
    int dip = -1;
    modules.FindColumn("DIPSwitch", &dip);
    values[size_t(dip)] = true;
    const QString insert = modules.BuildInsert(values, saved);
    QCOMPARE(insert,
             QString("INSERT INTO Modules7210_2 ([ID], [ParentID], [Name], [DIPSwitch]) VALUES (12, 3, "
                     "'FT-1', -1) "));
    QCOMPARE(modules.ExecuteStatement(project.session(), insert), 1);
    QCOMPARE(project.scalar("SELECT DIPSwitch FROM Modules7210_2 WHERE ID = 12").toInt(), -1);
    std::optional<RowValues> row = readRow(project.session(), modules, 3, 12);
    QVERIFY(row);
    QCOMPARE((*row)[size_t(dip)], QVariant(true));
}

void TestDbRows::resourceMarkersReadAsStrings_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("blank before number") << "%RESOURCE_ID%= 486"
                                         << "Plant";
    QTest::newRow("words before, blanks around") << "some words %RESOURCE_ID%=  487 "
                                                 << "Cabinet";
    QTest::newRow("no such string") << "%RESOURCE_ID%= 61999"
                                    << "Error - string not found";
    QTest::newRow("zero") << "%RESOURCE_ID%= 0"
                          << "%RESOURCE_ID%= 0";
    QTest::newRow("no number") << "%RESOURCE_ID%=abc"
                               << "%RESOURCE_ID%=abc";
    QTest::newRow("plain") << "Thermocouple"
                           << "Thermocouple";
}

void TestDbRows::resourceMarkersReadAsStrings()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    ProjectCopy project;
    CLevelList levels;
    project.exec(QString("INSERT INTO CircuitTypes (ID, ParentID, Name, NameL2) VALUES (60, 1, '%1', '%1')")
                     .arg(stored));
    std::optional<RowValues> row = readRow(project.session(), *levels.FindByTable("CircuitTypes"), 1, 60);
    QVERIFY(row);
    QCOMPARE((*row)[2].toString(), shown);
    QCOMPARE((*row)[3].toString(), shown);
}

void TestDbRows::quotesAndBackslashesRoundTrip()
{
    ProjectCopy project;
    CLevelList levels;
    CTableLevel &racks = *levels.FindByTable("Racks");
    const RowValues saved = emptyValues(racks);
    RowValues values = saved;
    values[0] = 101;
    values[1] = 7;
    values[2] = QString("O'Brien's \\\\server\\share");
    values[4] = QString("");
    const QString insert = racks.BuildInsert(values, saved);
    // The empty text differs from the empty saved value, and is written as NULL.
    QCOMPARE(insert, QString("INSERT INTO Racks ([ID], [ParentID], [Name], [Description]) VALUES (101, 7, "
                             "'O''Brien''s \\\\server\\share', NULL) "));
    QCOMPARE(racks.ExecuteStatement(project.session(), insert), 1);
    RowValues stored = *readRow(project.session(), racks, 7, 101);
    QCOMPARE(stored[2], values[2]);
    RowValues cleared = stored;
    cleared[2] = QString("");
    const QString update = racks.BuildUpdate(cleared, stored);
    QCOMPARE(update, QString("UPDATE Racks SET Racks.[Name] = NULL WHERE Racks.[ID] = 101"));
    QCOMPARE(racks.ExecuteStatement(project.session(), update), 1);
    QVERIFY(IsDbNull(project.scalar("SELECT Name FROM Racks WHERE ID = 101")));
}

void TestDbRows::tooLongTextIsRefusedBeforeWriting()
{
    ProjectCopy project;
    CLevelList levels;
    CTableLevel &modules = *levels.FindByTable("Modules7230_3");
    const RowValues saved = emptyValues(modules);
    RowValues values = saved;
    values[0] = 5;
    values[1] = 2;
    values[2] = QString(100, QChar('M'));
    try {
        modules.BuildInsert(values, saved);
        QFAIL("a 100-character name fits no 7230 module");
    } catch (const COLEDBException &error) {
        QCOMPARE(
            MessageText(error),
            QString("The text of column 'Name' in table 'Modules7230_3' is longer than 99 characters.\n"));
    }
    QCOMPARE(modules.CountRows(project.session()), 0);
    values[2] = QString(99, QChar('M'));
    QCOMPARE(modules.ExecuteStatement(project.session(), modules.BuildInsert(values, saved)), 1);
    QCOMPARE(modules.CountRows(project.session()), 1);
}

void TestDbRows::valueThatIsNoNumberIsRefusedForLongColumn()
{
    CLevelList levels;
    CTableLevel &signalsLevel = *levels.FindByTable("Signals");
    const RowValues saved = emptyValues(signalsLevel);
    RowValues values = saved;
    values[0] = 5;
    values[5] = QString("fast");
    QVERIFY_THROWS_EXCEPTION(COLEDBException, signalsLevel.BuildInsert(values, saved));
    values[5] = 5e12;
    QVERIFY_THROWS_EXCEPTION(COLEDBException, signalsLevel.BuildInsert(values, saved));
    values[5] = QString("12");
    QCOMPARE(signalsLevel.BuildInsert(values, saved),
             QString("INSERT INTO Signals ([ID], [WorkingModeID]) VALUES (5, '12') "));
}

void TestDbRows::missingTableRaisesWithDriverRecords()
{
    ProjectCopy project;
    project.exec("DROP TABLE ImpulseType");
    CLevelList levels;
    try {
        levels.FindByTable("ImpulseType")->OpenQuery(project.session(), 1);
        QFAIL("opening a missing table must fail");
    } catch (const COLEDBException &error) {
        QCOMPARE(MessageText(error), QString("Can't open rowset.\n"));
        QCOMPARE(error.records().size(), size_t(1));
        QCOMPARE(error.records()[0].source, QString("QSQLITE"));
        QVERIFY(error.records()[0].description.contains("ImpulseType"));
    }
    QVERIFY(!levels.FindByTable("ImpulseType")->IsOpen());
}

void TestDbRows::missingColumnRaisesWithDriverRecords()
{
    ProjectCopy project;
    project.exec("ALTER TABLE Racks DROP COLUMN Description");
    project.exec("INSERT INTO Racks (ID, ParentID, Name) VALUES (3, 1, 'A')");
    CLevelList levels;
    CTableLevel &racks = *levels.FindByTable("Racks");
    const RowValues saved{3, 1, QString("A"), DbNull(), QString()};
    RowValues values = saved;
    values[2] = QString("B");
    values[4] = QString("text");
    QVERIFY_THROWS_EXCEPTION(COLEDBException,
                             racks.ExecuteStatement(project.session(), racks.BuildUpdate(values, saved)));
    QCOMPARE(project.scalar("SELECT Name FROM Racks WHERE ID = 3").toString(), QString("A"));
}

void TestDbRows::updateOfVanishedRowReportsFailure()
{
    ProjectCopy project;
    CLevelList levels;
    CTableLevel &racks = *levels.FindByTable("Racks");
    const RowValues saved{77, 1, QString("A"), DbNull(), QString()};
    RowValues values = saved;
    values[2] = QString("B");
    int affected = -1;
    QCOMPARE(racks.ExecuteStatement(project.session(), racks.BuildUpdate(values, saved), &affected), 0);
    QCOMPARE(affected, 0);
}

void TestDbRows::countRows()
{
    ProjectCopy project;
    CLevelList levels;
    QCOMPARE(levels.FindByTable("ProjectOptions")->CountRows(project.session()), 4);
    QCOMPARE(levels.FindByTable("ProjectsRoot")->CountRows(project.session()), 1);
    project.exec("DROP TABLE RelayProtection");
    QCOMPARE(levels.FindByTable("RelayProtection")->CountRows(project.session()), -1);
}

void TestDbRows::schemaFactsComeFromTheFile()
{
    ProjectCopy project;
    CLevelList levels;
    CTableLevel &modules = *levels.FindByTable("Modules7230_1");
    modules.ReadSchemaFacts(project.session());
    const ColumnInfo *dip = modules.FindColumn("DIPSwitch");
    QVERIFY(dip->exists);
    QVERIFY(!dip->nullable);
    QVERIFY(dip->hasDefault);
    QCOMPARE(TextToValue(dip->defaultText, &project.session()), QVariant("0"));
    QVERIFY(modules.FindColumn("Memo")->nullable);
    CTableLevel &root = *levels.FindByTable("ProjectsRoot");
    root.ReadSchemaFacts(project.session());
    for (const ColumnInfo &column : *root.GetColumns())
        QCOMPARE(column.exists, !column.name.isEmpty());
}

QTEST_GUILESS_MAIN(TestDbRows)
#include "test_db_rows.moc"
