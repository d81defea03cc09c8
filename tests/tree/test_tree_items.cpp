#include "statement_counter.h"
#include "tree_test_support.h"

#include <set>

using namespace TreeNames;

// The item tree over a project: loading, the registry, names and paths,
// values and their display form.
class TestTreeItems : public QObject {
    Q_OBJECT
private slots:
    void openingReadsOnlyTheTopLevels();
    void aSubtreeIsReadWhenAskedAndOnlyOnce();
    void handlesAreNeverZeroNorReused();
    void destroyedItemsLeaveEveryMap();
    void findRowByIdAndByName();
    void pathsWithTheRootHiddenAndShown();
    void valuesAndTheirDisplayForm();
    void namesAreCheckedForSeparatorAndSiblings();
    void countingLoadsEveryLevelBelow();
    void aCopyIsNewWithItsOwnHandle();
    void emptyContainers();
};

void TestTreeItems::openingReadsOnlyTheTopLevels()
{
    TreeProject project;
    project.open();
    ContainerItem *root = project.document.Root();
    QVERIFY(root);
    QCOMPARE(root->containerChildren().size(), size_t(2));
    QCOMPARE(project.document.GetName(project.projectItem()), QStringLiteral("Project"));
    QCOMPARE(project.document.GetName(project.signalsRoot()), QStringLiteral("Signals"));
    QVERIFY(!project.projectItem().loaded());
    QVERIFY(!project.signalsRoot().loaded());
    // The root, its two rows and nothing else.
    QCOMPARE(project.document.Registry().itemCount(), 3);
}

void TestTreeItems::aSubtreeIsReadWhenAskedAndOnlyOnce()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'P1')"));
    project.exec(QStringLiteral("INSERT INTO Racks (ID, ParentID, Name) VALUES (20, 7, 'C1')"));
    project.open();
    StatementCounter counter(project.session());
    ContainerItem &top = project.projectItem();
    QVERIFY(project.document.EnsureChildren(top));
    // One read per child level of the project: plants, top modules, catalogues.
    const size_t topLevels = project.levels().ChildLevels(top.level()).size();
    QCOMPARE(size_t(counter.statements.size()), topLevels);
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    QVERIFY(!plant.loaded());
    for (const auto &leaf : top.leafChildren())
        QVERIFY(!leaf->shown()); // catalogue rows hang here but are not shown

    counter.statements.clear();
    QVERIFY(project.document.EnsureChildren(plant));
    QCOMPARE(counter.statements.size(), qsizetype(4)); // cabinets and the modules of three families
    for (const QString &statement : counter.statements)
        QVERIFY2(statement.contains(QStringLiteral("[ParentID] = 7")), qPrintable(statement));
    QCOMPARE(plant.containerChildren().size(), size_t(1));
    QVERIFY(!plant.containerChildren()[0]->asContainer()->loaded());

    // A loaded level is not read again.
    counter.statements.clear();
    QVERIFY(project.document.EnsureChildren(plant));
    QVERIFY(counter.statements.isEmpty());
    QCOMPARE(project.document.Registry().itemCount(), 3 + int(top.leafChildren().size()) + 1 + 1);
}

void TestTreeItems::handlesAreNeverZeroNorReused()
{
    TreeProject project;
    project.open();
    std::set<ItemHandle> seen;
    for (Item *item : project.document.Registry().items()) {
        QVERIFY(item->handle() > 0);
        QVERIFY(seen.insert(item->handle()).second);
    }
    ContainerItem &top = project.projectItem();
    for (int i = 0; i < 5; ++i) {
        Item *plant = project.document.CreateItem(top, Plant);
        QVERIFY(plant);
        QVERIFY(plant->handle() > 0);
        QVERIFY2(seen.insert(plant->handle()).second, "a live handle was given twice");
        QCOMPARE(project.document.FindItem(plant->handle()), plant);
        if (i % 2 == 0) {
            const ItemHandle gone = plant->handle();
            QVERIFY(project.document.CancelEdit(*plant));
            QVERIFY(!project.document.FindItem(gone));
        }
    }
}

void TestTreeItems::destroyedItemsLeaveEveryMap()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'P1')"));
    project.exec(QStringLiteral("INSERT INTO Racks (ID, ParentID, Name) VALUES (20, 7, 'C1')"));
    project.exec(QStringLiteral("INSERT INTO Modules7230_3 (ID, ParentID, Name) VALUES (30, 20, 'M1')"));
    project.open();
    C7100Document &doc = project.document;
    QCOMPARE(doc.CountDescendants(project.projectItem()) > 3, true);
    Item *plant = doc.FindRow(QStringLiteral("Equipments"), 7, true);
    Item *cabinet = doc.FindRow(QStringLiteral("Racks"), 20, true);
    Item *module = doc.FindRow(QStringLiteral("Modules7230_3"), 30, true);
    QVERIFY(plant && cabinet && module);
    const ItemHandle cabinetHandle = cabinet->handle();
    const ItemHandle moduleHandle = module->handle();
    QCOMPARE(doc.FindContainer(cabinetHandle), cabinet->asContainer());
    QVERIFY(!doc.FindContainer(moduleHandle));
    const int before = doc.Registry().itemCount();

    project.exec(QStringLiteral("DELETE FROM Racks")); // behind the document's back
    doc.Select(plant->handle());
    QVERIFY(doc.SubtreeRefresh());
    QCOMPARE(doc.Registry().itemCount(), before - 2);
    QVERIFY(!doc.FindItem(cabinetHandle));
    QVERIFY(!doc.FindContainer(cabinetHandle));
    QVERIFY(!doc.FindItem(moduleHandle));
    QVERIFY(!doc.FindRow(QStringLiteral("Racks"), 20, true));
    QVERIFY(!doc.FindRow(QStringLiteral("Modules7230_3"), 30, true));

    doc.CloseProject();
    QCOMPARE(doc.Registry().itemCount(), 0);
    QVERIFY(!doc.Root());
}

void TestTreeItems::findRowByIdAndByName()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'Pump')"));
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (8, 1, 'pump')"));
    project.open();
    C7100Document &doc = project.document;
    QVERIFY(!doc.FindRow(QStringLiteral("Equipments"), 7, true)); // not loaded yet
    QVERIFY(doc.EnsureChildren(project.projectItem()));
    QCOMPARE(doc.FindRow(QStringLiteral("Equipments"), 8, true)->values()[2].toString(),
             QStringLiteral("pump"));
    QCOMPARE(doc.FindRow(QStringLiteral("Equipments"), QStringLiteral("Pump"), false)->id().toInt(), 7);
    QCOMPARE(doc.FindRow(QStringLiteral("Equipments"), QStringLiteral("pump"), false)->id().toInt(), 8);
    QVERIFY(!doc.FindRow(QStringLiteral("Equipments"), QStringLiteral("PUMP"), false));
    QVERIFY(!doc.FindRow(QStringLiteral("Racks"), 7, true));
}

void TestTreeItems::pathsWithTheRootHiddenAndShown()
{
    for (const bool rootShown : {false, true}) {
        TreeProject project;
        project.exec(QStringLiteral("UPDATE ProjectsRoot SET Name = 'X'"));
        project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'P1')"));
        project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (8, 1, NULL)"));
        project.open(rootShown);
        C7100Document &doc = project.document;
        QVERIFY(doc.EnsureChildren(project.projectItem()));
        const QString root = rootShown ? QStringLiteral("Project file\\") : QString();
        QCOMPARE(doc.GetPath(project.row(QStringLiteral("Equipments"), 7)),
                 QStringLiteral("\\\\") + root + QStringLiteral("X\\P1"));
        QCOMPARE(doc.GetPath(project.row(QStringLiteral("Equipments"), 8)),
                 QStringLiteral("\\\\") + root + QStringLiteral("X\\<empty>"));
        QCOMPARE(doc.SplitPath(doc.GetPath(project.row(QStringLiteral("Equipments"), 7))).last(),
                 QStringLiteral("P1"));
    }
}

void TestTreeItems::valuesAndTheirDisplayForm()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Modules7230_1 (ID, ParentID, Name, DIPSwitch, Sequence) "
                                "VALUES (30, 1, 'M1', -1, 4)"));
    project.open();
    C7100Document &doc = project.document;
    QVERIFY(doc.EnsureChildren(project.projectItem()));
    Item &module = project.row(QStringLiteral("Modules7230_1"), 30);
    QCOMPARE(doc.GetValue(module, QStringLiteral("DIPSwitch"), true), QVariant(true));
    QCOMPARE(doc.GetValue(module, QStringLiteral("dipswitch"), false), QVariant(QStringLiteral("Yes")));
    QCOMPARE(doc.GetValue(module, QStringLiteral("Sequence"), false), QVariant(QStringLiteral("4")));
    QVERIFY(!doc.GetValue(module, QStringLiteral("NoSuchColumn"), true).isValid());

    // Outside an edit nothing changes.
    QVERIFY(!doc.SetValue(module, QStringLiteral("Name"), QStringLiteral("M2"), true));
    QCOMPARE(doc.GetName(module), QStringLiteral("M1"));

    QVERIFY(doc.BeginEdit(module));
    QVERIFY(doc.SetValue(module, QStringLiteral("DIPSwitch"), QStringLiteral("No"), false));
    QCOMPARE(doc.GetValue(module, QStringLiteral("DIPSwitch"), true), QVariant(false));
    // The declared type applies: text into a Long column becomes a number.
    QVERIFY(doc.SetValue(module, QStringLiteral("Sequence"), QStringLiteral("12"), true));
    QCOMPARE(doc.GetValue(module, QStringLiteral("Sequence"), true).typeId(), int(QMetaType::Int));
    ScriptedMessages messages;
    QVERIFY(!doc.SetValue(module, QStringLiteral("Sequence"), QStringLiteral("twelve"), true));
    QCOMPARE(messages.shown().size(), size_t(1));
    QCOMPARE(doc.GetValue(module, QStringLiteral("Sequence"), true), QVariant(12));
}

void TestTreeItems::namesAreCheckedForSeparatorAndSiblings()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'Pump')"));
    project.exec(QStringLiteral("INSERT INTO Racks (ID, ParentID, Name) VALUES (20, 7, 'Pump')"));
    project.open();
    C7100Document &doc = project.document;
    QVERIFY(doc.IsNameValid(QStringLiteral("a/b")));
    QVERIFY(!doc.IsNameValid(QStringLiteral("a\\b")));
    QVERIFY(doc.EnsureChildren(project.projectItem()));
    Item *plant = doc.CreateItem(project.projectItem(), Plant);
    QVERIFY(doc.SetValue(*plant, QStringLiteral("Name"), QStringLiteral("PUMP"), true));
    QVERIFY(!doc.IsNameUnique(*plant));
    QVERIFY(doc.SetValue(*plant, QStringLiteral("Name"), QStringLiteral("Pump 2"), true));
    QVERIFY(doc.IsNameUnique(*plant));
    // A cabinet of the same name one level down is no sibling.
    Item *existing = doc.FindRow(QStringLiteral("Equipments"), 7, true);
    QVERIFY(doc.IsNameUnique(*existing));
}

void TestTreeItems::countingLoadsEveryLevelBelow()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'P1')"));
    project.exec(QStringLiteral("INSERT INTO Racks (ID, ParentID, Name) VALUES (20, 7, 'C1')"));
    project.exec(QStringLiteral("INSERT INTO ZelnorHolders (ID, ParentID, Name) VALUES (40, 20, 'Z1')"));
    project.exec(QStringLiteral("INSERT INTO Modules7230_4 (ID, ParentID, Name) VALUES (30, 40, 'M1')"));
    project.exec(QStringLiteral("INSERT INTO Modules7210_3 (ID, ParentID, Name) VALUES (31, 20, 'F1')"));
    project.open();
    C7100Document &doc = project.document;
    QVERIFY(doc.EnsureChildren(project.projectItem()));
    Item *plant = doc.FindRow(QStringLiteral("Equipments"), 7, true);
    QCOMPARE(doc.CountDescendants(*plant), 4);
    QVERIFY(doc.FindRow(QStringLiteral("Modules7230_4"), 30, true));
    const int catalogue = int(project.projectItem().leafChildren().size());
    QCOMPARE(doc.CountDescendants(project.projectItem()), 1 + 4 + catalogue);
    QCOMPARE(doc.CountDescendants(project.row(QStringLiteral("Modules7210_3"), 31)), 0);
}

void TestTreeItems::aCopyIsNewWithItsOwnHandle()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'P1')"));
    project.exec(QStringLiteral("INSERT INTO Racks (ID, ParentID, Name) VALUES (20, 7, 'C1')"));
    project.exec(QStringLiteral("INSERT INTO ZelnorHolders (ID, ParentID, Name) VALUES (40, 20, 'Z1')"));
    project.exec(QStringLiteral("INSERT INTO Modules7230_3 (ID, ParentID, Name, Description, DIPSwitch) "
                                "VALUES (30, 20, 'M1', 'first', -1)"));
    project.open();
    C7100Document &doc = project.document;
    QVERIFY(doc.CountDescendants(project.projectItem()) > 0);
    Item &module = project.row(QStringLiteral("Modules7230_3"), 30);
    ContainerItem &carrier = project.container(QStringLiteral("ZelnorHolders"), 40);
    HintRecorder hints(doc);
    Item *copy = doc.CopyItem(module, &carrier);
    QVERIFY(copy);
    QVERIFY(copy->handle() != module.handle());
    QCOMPARE(copy->editState(), EditState::New);
    QCOMPARE(copy->level().tableName(), QStringLiteral("Modules7230_4"));
    QCOMPARE(hints.codes(), (std::vector<int>{3, 9}));
    QVERIFY(doc.Save(*copy));
    const QVariant id = copy->id();
    QVERIFY(id != QVariant(30));
    // Every value of the source travels with the copy.
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name || '/' || Description || '/' || DIPSwitch || '/' || "
                                           "ParentID FROM Modules7230_4 WHERE ID = %1")
                                .arg(id.toInt())),
             QVariant(QStringLiteral("M1/first/-1/40")));
    QCOMPARE(project.rows(QStringLiteral("Modules7230_3")), 1);
}

void TestTreeItems::emptyContainers()
{
    TreeProject project;
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'P1')"));
    project.open();
    C7100Document &doc = project.document;
    QVERIFY(doc.EnsureChildren(project.projectItem()));
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    QVERIFY(!plant.loaded());
    QVERIFY(doc.IsEmpty(plant));
    QVERIFY(plant.loaded());
    QVERIFY(!doc.IsEmpty(project.projectItem()));
}

QTEST_GUILESS_MAIN(TestTreeItems)
#include "test_tree_items.moc"
