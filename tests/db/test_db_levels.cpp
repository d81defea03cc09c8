#include "db/schema.h"
#include "db/table_level.h"
#include "db_test_support.h"

#include <QtTest>

// The level list: order, parents, accessor classes and column descriptions.
class TestDbLevels : public QObject {
    Q_OBJECT
private slots:
    void listHoldsEveryLevelInOrder();
    void projectsRootHasEighteenColumnsSixteenNamed();
    void columnCountsFollowTheAccessors_data();
    void columnCountsFollowTheAccessors();
    void ordinalsFollowTheFileLayout_data();
    void ordinalsFollowTheFileLayout();
    void listAttributesByTable();
    void rootLevelHasTwoEmptyColumns();
    void lookupsByTableAndColumn();
    void childLevelsByParentTable();
};

void TestDbLevels::listHoldsEveryLevelInOrder()
{
    CLevelList levels;
    QStringList tables;
    for (const auto &level : levels.levels())
        tables << level->tableName();
    const QStringList expected =
        QString("Root ProjectsRoot SignalsRoot Equipments Racks ZelnorHolders "
                "Modules7230_1 Modules7230_2 Modules7230_3 Modules7230_4 Modules7210_1 "
                "Modules7210_2 Modules7210_3 Modules7210_4 Modules7220_1 Modules7220_2 "
                "Modules7220_3 Modules7220_4 Signals ModuleTypes7230 ModuleTypes7210 "
                "ModuleTypes7220 WorkingModes7230 WorkingModes7210 MeasuredUnits7230 "
                "MeasuredUnits7210 SensorTypes7230 SensorTypes7210 CircuitTypes "
                "ImpulseType RangeTable7230 RangeTable7210 ComparePlaceTC "
                "OutputSignalType RelayLimitingValues RelayProtection DefaultModules7230 "
                "DefaultModules7210 DefaultModules7220 DefaultSignals ProjectOptions")
            .split(' ');
    QCOMPARE(tables, expected);
    QCOMPARE(levels.FindByTable("Modules7210_3")->parentTable(), QString("Racks"));
    QCOMPARE(levels.FindByTable("Modules7220_4")->parentTable(), QString("ZelnorHolders"));
    QCOMPARE(levels.FindByTable("Signals")->parentTable(), QString("SignalsRoot"));
    QCOMPARE(levels.FindByTable("DefaultModules7220")->accessorClass(), QString("CDefaultModulesAccessor"));
    QCOMPARE(levels.FindByTable("DefaultModules7220")->displayString(), 594);
    QCOMPARE(levels.FindByTable("Modules7210_2")->accessorClass(), QString("CFreqModules1Accessor"));
    QCOMPARE(levels.FindByTable("Modules7210_2")->kind(), LevelKind::Leaf);
    QCOMPARE(levels.FindByTable("Racks")->kind(), LevelKind::Container);
    QCOMPARE(levels.levels().front()->kind(), LevelKind::Root);
}

void TestDbLevels::projectsRootHasEighteenColumnsSixteenNamed()
{
    CLevelList levels;
    CTableLevel *root = levels.FindByTable("ProjectsRoot");
    int count = 0;
    QCOMPARE(root->GetColumnInfo(count, nullptr), 0);
    QCOMPARE(count, 18);
    const std::vector<ColumnInfo> *columns = root->GetColumns();
    QVERIFY(columns);
    QCOMPARE(std::count_if(columns->begin(), columns->end(),
                           [](const ColumnInfo &c) { return !c.name.isEmpty(); }),
             16);
    QCOMPARE(root->IdColumnName(), QString("ID"));
    QVERIFY(root->ParentColumnName().isNull());
    QVERIFY(levels.FindByTable("SignalsRoot")->ParentColumnName().isNull());
    QCOMPARE(levels.FindByTable("Racks")->ParentColumnName(), QString("ParentID"));
}

void TestDbLevels::columnCountsFollowTheAccessors_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("named");
    QTest::newRow("SignalsRoot") << "SignalsRoot" << 9 << 7;
    QTest::newRow("Equipments") << "Equipments" << 5 << 4;
    QTest::newRow("Modules7230_1") << "Modules7230_1" << 14 << 14;
    QTest::newRow("Signals") << "Signals" << 31 << 31;
    QTest::newRow("ModuleTypes7220") << "ModuleTypes7220" << 8 << 8;
    QTest::newRow("MeasuredUnits7210") << "MeasuredUnits7210" << 16 << 16;
    QTest::newRow("SensorTypes7230") << "SensorTypes7230" << 19 << 19;
    QTest::newRow("ComparePlaceTC") << "ComparePlaceTC" << 10 << 9;
    QTest::newRow("OutputSignalType") << "OutputSignalType" << 12 << 12;
    QTest::newRow("RangeTable7210") << "RangeTable7210" << 12 << 12;
    QTest::newRow("ProjectOptions") << "ProjectOptions" << 9 << 9;
}

void TestDbLevels::columnCountsFollowTheAccessors()
{
    QFETCH(QString, table);
    QFETCH(int, columns);
    QFETCH(int, named);
    CLevelList levels;
    const std::vector<ColumnInfo> *infos = levels.FindByTable(table)->GetColumns();
    QVERIFY(infos);
    QCOMPARE(int(infos->size()), columns);
    QCOMPARE(int(std::count_if(infos->begin(), infos->end(),
                               [](const ColumnInfo &c) { return !c.name.isEmpty(); })),
             named);
    for (size_t i = 0; i < infos->size(); ++i)
        QCOMPARE((*infos)[i].binding.ordinal, int(i) + 1);
}

void TestDbLevels::ordinalsFollowTheFileLayout_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("ordinal");
    QTest::newRow("ProjectsRoot.NameL5") << "ProjectsRoot"
                                         << "NameL5" << 18;
    QTest::newRow("ProjectsRoot.Description") << "ProjectsRoot"
                                              << "Description" << 8;
    QTest::newRow("SignalsRoot.NameL5") << "SignalsRoot"
                                        << "NameL5" << 9;
    QTest::newRow("Signals.RangeUnitsID") << "Signals"
                                          << "RangeUnitsID" << 15;
    QTest::newRow("Signals.Zaehlerignis") << "Signals"
                                          << "Zaehlerignis" << 27;
    QTest::newRow("DefaultSignals.Relay2Hysteresis") << "DefaultSignals"
                                                     << "Relay2Hysteresis" << 25;
    QTest::newRow("Modules7220_2.LastProgramming") << "Modules7220_2"
                                                   << "LastProgramming" << 13;
    QTest::newRow("ModuleTypes7230.TC") << "ModuleTypes7230"
                                        << "TC" << 6;
    QTest::newRow("ModuleTypes7210.HaveImpulseOutput") << "ModuleTypes7210"
                                                       << "HaveImpulseOutput" << 9;
    QTest::newRow("MeasuredUnits7230.Digits") << "MeasuredUnits7230"
                                              << "Digits" << 7;
    QTest::newRow("MeasuredUnits7230.Default3") << "MeasuredUnits7230"
                                                << "Default3" << 15;
    QTest::newRow("SensorTypes7210.Sequence") << "SensorTypes7210"
                                              << "Sequence" << 15;
    QTest::newRow("SensorTypes7210.Name3L5") << "SensorTypes7210"
                                             << "Name3L5" << 19;
    QTest::newRow("OutputSignalType.Condition1") << "OutputSignalType"
                                                 << "Condition1" << 9;
    QTest::newRow("RangeTable7230.SensorTypeID") << "RangeTable7230"
                                                 << "SensorTypeID" << 10;
    QTest::newRow("ComparePlaceTC.NameL5") << "ComparePlaceTC"
                                           << "NameL5" << 10;
    QTest::newRow("ProjectOptions.Option5") << "ProjectOptions"
                                            << "Option5" << 8;
}

void TestDbLevels::ordinalsFollowTheFileLayout()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(int, ordinal);
    CLevelList levels;
    const ColumnInfo *info = levels.FindByTable(table)->FindColumn(column);
    QVERIFY(info);
    QCOMPARE(info->binding.ordinal, ordinal);
}

void TestDbLevels::listAttributesByTable()
{
    CLevelList levels;
    const ColumnInfo *name = levels.FindByTable("Modules7230_2")->FindColumn("Name");
    QCOMPARE(name->headerString, 300);
    QCOMPARE(name->listPosition, 3);
    QCOMPARE(name->textFlag, 1);
    QCOMPARE(name->listWidth, 150);
    QCOMPARE(name->textWidth(), 99);
    QCOMPARE(name->binding.bufferWidth, 100);
    const ColumnInfo *description = levels.FindByTable("SignalsRoot")->FindColumn("Description");
    QCOMPARE(description->headerString, 349);
    QCOMPARE(description->listPosition, 7);
    QCOMPARE(description->listWidth, 350);
    QCOMPARE(levels.FindByTable("Racks")->FindColumn("Description")->listPosition, 4);
    QCOMPARE(levels.FindByTable("Signals")->FindColumn("Description")->headerString, -1);
    QCOMPARE(levels.FindByTable("Signals")->FindColumn("Name")->listWidth, 150);
    QCOMPARE(levels.FindByTable("CircuitTypes")->FindColumn("Name")->listWidth, 250);
    QCOMPARE(levels.FindByTable("CircuitTypes")->FindColumn("Default")->binding.type, FieldType::Bool);
    QCOMPARE(levels.FindByTable("CircuitTypes")->FindColumn("Sequence")->textFlag, 0);
    QCOMPARE(levels.FindByTable("RangeTable7230")->FindColumn("Description")->textWidth(), 50);
    QCOMPARE(levels.FindByTable("DefaultModules7210")->FindColumn("ModulTag")->textWidth(), 100);
    QCOMPARE(levels.FindByTable("DefaultModules7220")->FindColumn("ModulTag")->textWidth(), 33);
    QCOMPARE(levels.FindByTable("Modules7230_4")->FindColumn("Memo")->textWidth(), 249);
    QCOMPARE(levels.FindByTable("Modules7220_4")->FindColumn("Memo")->textWidth(), 250);
}

void TestDbLevels::rootLevelHasTwoEmptyColumns()
{
    CLevelList levels;
    CTableLevel *root = levels.FindByTable("Root");
    const std::vector<ColumnInfo> *columns = root->GetColumns();
    QVERIFY(columns);
    QCOMPARE(columns->size(), size_t(2));
    for (const ColumnInfo &column : *columns) {
        QVERIFY(column.name.isEmpty());
        QCOMPARE(column.headerString, -1);
        QCOMPARE(column.keyRole, -1);
        QCOMPARE(column.listWidth, -1);
        QVERIFY(column.exists);
    }
    QVERIFY(root->IdColumnName().isNull());
}

void TestDbLevels::lookupsByTableAndColumn()
{
    CLevelList levels;
    QVERIFY(levels.FindByTable("Signals"));
    QVERIFY(!levels.FindByTable("signals"));
    QVERIFY(!levels.FindByTable("Nowhere"));
    int index = -1;
    const ColumnInfo *name = levels.FindByTable("Signals")->FindColumn("name", &index);
    QVERIFY(name);
    QCOMPARE(name->name, QString("Name"));
    QCOMPARE(index, 2);
    QVERIFY(!levels.FindByTable("ComparePlaceTC")->FindColumn("Default"));
    QVERIFY(!levels.FindByTable("ProjectsRoot")->FindColumn("ParentID"));
    const ColumnInfo *byDisplay = levels.FindColumn(533, "zahlteilerkvocient");
    QVERIFY(byDisplay);
    QCOMPARE(byDisplay->name, QString("Zahlteilerkvocient"));
    QCOMPARE(byDisplay->binding.ordinal, 31);
    // All four 7230 module levels share 489; the first one answers.
    QCOMPARE(levels.FindColumn(489, "Name")->textWidth(), 99);
    QVERIFY(!levels.FindColumn(12345, "Name"));
}

void TestDbLevels::childLevelsByParentTable()
{
    CLevelList levels;
    QStringList children;
    for (CTableLevel *level : levels.ChildLevels(*levels.FindByTable("Racks")))
        children << level->tableName();
    QCOMPARE(children, QStringList({"ZelnorHolders", "Modules7230_3", "Modules7210_3", "Modules7220_3"}));
    QStringList top;
    for (CTableLevel *level : levels.ChildLevels(*levels.FindByTable("Root")))
        top << level->tableName();
    QCOMPARE(top, QStringList({"ProjectsRoot", "SignalsRoot"}));
    QCOMPARE(levels.ChildLevels(*levels.FindByTable("ProjectsRoot")).size(), size_t(1 + 3 + 22));
}

QTEST_GUILESS_MAIN(TestDbLevels)
#include "test_db_levels.moc"
