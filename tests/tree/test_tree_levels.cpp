#include "tree_test_support.h"

// The level table: the attributes the tree, the lists and the item views
// read, and how a new child finds its level.
class TestTreeLevels : public QObject {
    Q_OBJECT
private slots:
    void attributesOfTheTreeLevels();
    void catalogueLevelsAreHiddenLeaves();
    void moduleTablesDifferOnlyInTheirParent();
    void levelNamesComeFromTheActivePack();
};

void TestTreeLevels::attributesOfTheTreeLevels()
{
    CLevelList list;
    struct Expected {
        const char *table;
        LevelKind kind;
        int layout;
        int image;
        bool readOnly;
        const char *view;
    };
    const Expected expected[] = {
        {"Root", LevelKind::Root, 0, -1, true, ""},
        {"ProjectsRoot", LevelKind::Container, 1, 0, false, "CProjectRootView"},
        {"SignalsRoot", LevelKind::Container, 2, 11, true, ""},
        {"Equipments", LevelKind::Container, 3, 1, false, "CEquipmentView"},
        {"Racks", LevelKind::Container, 4, 3, false, "CRackView"},
        {"ZelnorHolders", LevelKind::Container, 5, 4, false, "CZelnorHolderView"},
        {"Modules7210_2", LevelKind::Leaf, 25, 2, false, "CChanelTabView"},
        {"Modules7220_4", LevelKind::Leaf, 39, 2, false, "CChanelTabView"},
        {"Signals", LevelKind::Leaf, 10, 9, false, "CChanelTabView"},
    };
    for (const Expected &row : expected) {
        const CTableLevel *level = list.FindByTable(QLatin1String(row.table));
        QVERIFY2(level, row.table);
        QCOMPARE(level->kind(), row.kind);
        QCOMPARE(level->attributes().layoutIndex, row.layout);
        QCOMPARE(level->attributes().treeImage, row.image);
        QCOMPARE(level->attributes().treeSelectedImage, row.image);
        QCOMPARE(level->attributes().readOnly, row.readOnly);
        QVERIFY(level->attributes().shown);
        QCOMPARE(level->attributes().viewClass, QLatin1String(row.view));
    }
    QCOMPARE(list.levels().size(), size_t(41));
}

void TestTreeLevels::catalogueLevelsAreHiddenLeaves()
{
    CLevelList list;
    int catalogues = 0;
    for (const auto &level : list.levels()) {
        if (level->attributes().shown)
            continue;
        ++catalogues;
        QCOMPARE(level->kind(), LevelKind::Leaf);
        QCOMPARE(level->parentTable(), QStringLiteral("ProjectsRoot"));
        QVERIFY(level->attributes().viewClass.isEmpty());
        QVERIFY(!level->attributes().readOnly);
    }
    QCOMPARE(catalogues, 22);
    QCOMPARE(list.FindByTable(QStringLiteral("ModuleTypes7220"))->attributes().layoutIndex, 37);
    QCOMPARE(list.FindByTable(QStringLiteral("SensorTypes7210"))->attributes().layoutIndex, 34);
    QCOMPARE(list.FindByTable(QStringLiteral("CircuitTypes"))->attributes().treeImage, 14);
    QCOMPARE(list.FindByTable(QStringLiteral("ImpulseType"))->attributes().treeImage, -1);
}

void TestTreeLevels::moduleTablesDifferOnlyInTheirParent()
{
    CLevelList list;
    const char *parents[] = {"ProjectsRoot", "Equipments", "Racks", "ZelnorHolders"};
    for (const char *family : {"7230", "7210", "7220"}) {
        for (int depth = 1; depth <= 4; ++depth) {
            const CTableLevel *level =
                list.FindByTable(QStringLiteral("Modules%1_%2").arg(QLatin1String(family)).arg(depth));
            QVERIFY(level);
            QCOMPARE(level->parentTable(), QLatin1String(parents[depth - 1]));
            const CTableLevel *first =
                list.FindByTable(QStringLiteral("Modules%1_1").arg(QLatin1String(family)));
            QCOMPARE(level->displayString(), first->displayString());
            QCOMPARE(level->attributes().layoutIndex, first->attributes().layoutIndex);
        }
    }
}

void TestTreeLevels::levelNamesComeFromTheActivePack()
{
    TestSupport::loadEnglish();
    CLevelList list;
    QCOMPARE(C7100Document::LevelName(*list.FindByTable(QStringLiteral("Racks"))), QStringLiteral("Cabinet"));
    QCOMPARE(C7100Document::LevelName(*list.FindByTable(QStringLiteral("Modules7230_3"))),
             QStringLiteral("Module 1"));
    QVERIFY(C7100Document::LevelName(*list.FindByTable(QStringLiteral("Root"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestTreeLevels)
#include "test_tree_levels.moc"
