#include "hierarchy_test_support.h"
#include "base/language.h"
#include "tree/document_tree_model.h"
#include "tree/hierarchy_strings.h"
#include "tree/item_path.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace HierarchyStrings;

// The item tree as an item model: what stands at the top, what is shown,
// rows read when their parent is first expanded.
class TestDocumentTreeModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void projectAndSignalsAtTheTopWithoutCatalogues();
    void rowsArriveWhenFetched();
    void changesKeepTheTreeInPlace();
    void sortsWaitForTheEndOfABulkOperation();
    void subtreeRefreshReadsTheEntriesAgain();
    void emptyContainerLosesItsArrowOnceRead();
    void rootsSpeakTheActiveLanguage_data();
    void rootsSpeakTheActiveLanguage();
    void entryStatesFollowEditAndCut();
    void onlineModulesTakeTheirImage();
    void cleanup() { Language::load(1); }
};

namespace {

// The model with the project's entry fetched; the test goes on from there.
QModelIndex fetchedProject(DocumentTreeModel &model)
{
    if (model.canFetchMore({}))
        model.fetchMore({});
    const QModelIndex top = model.index(0, 0);
    if (model.canFetchMore(top))
        model.fetchMore(top);
    return top;
}

void setName(Item &item, const QString &column, const QString &name)
{
    int index = -1;
    if (!item.level().FindColumn(column, &index))
        qFatal("no column %s", qPrintable(column));
    item.values()[size_t(index)] = name;
}

} // namespace

void TestDocumentTreeModel::initTestCase()
{
    TestSupport::loadEnglish();
}

void TestDocumentTreeModel::projectAndSignalsAtTheTopWithoutCatalogues()
{
    HierarchyProject project;
    project.open();
    DocumentTreeModel model(project.document);
    if (model.canFetchMore({}))
        model.fetchMore({});
    QCOMPARE(model.rowCount(), 2);
    const QModelIndex top = model.index(0, 0);
    QCOMPARE(model.data(top).toString(), QStringLiteral("Project"));
    QCOMPARE(model.data(model.index(1, 0)).toString(), project.document.GetName(*model.itemAt(model.index(1, 0))));
    QVERIFY(!model.parent(top).isValid());
    // The project's own catalogue rows are items of the tree, but no row.
    QVERIFY(model.canFetchMore(top));
    model.fetchMore(top);
    QCOMPARE(model.rowCount(top), 0);
    QVERIFY(!model.hasChildren(top));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDocumentTreeModel::rowsArriveWhenFetched()
{
    HierarchyProject project;
    project.open();
    ContainerItem *root = &project.projectItem();
    project.addFolder(*root, PlantName, "North");
    project.addFolder(*root, PlantName, "South");
    project.document.DeleteContents();
    DocumentTreeModel model(project.document);
    model.fetchMore({});
    const QModelIndex top = model.index(0, 0);
    QVERIFY(model.hasChildren(top));
    QCOMPARE(model.rowCount(top), 0);
    model.fetchMore(top);
    QCOMPARE(model.rowCount(top), 2);
    const QModelIndex south = model.index(1, 0, top);
    QCOMPARE(model.data(south).toString(), QStringLiteral("South"));
    QCOMPARE(model.parent(south), top);
    QCOMPARE(model.indexOf(model.itemAt(south)->handle()), south);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

namespace {
QStringList rowNames(const DocumentTreeModel &model, const QModelIndex &parent)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row)
        names << model.data(model.index(row, 0, parent)).toString();
    return names;
}

bool rename(CMy7100Doc &document, Item &item, const QString &name)
{
    return document.BeginEdit(item) && document.SetValue(item, QStringLiteral("Name"), name, true) &&
           document.Save(item);
}
} // namespace

// New, renamed and deleted items change their rows only: entries below
// stay where they are (a view keeps them expanded), and the order is the
// document's: plants before modules, names without regard to case.
void TestDocumentTreeModel::changesKeepTheTreeInPlace()
{
    HierarchyProject project;
    project.open();
    ContainerItem *root = &project.projectItem();
    Item *delta = project.addFolder(*root, PlantName, "delta");
    QVERIFY(project.addFolder(*root, PlantName, "Bravo"));
    DocumentTreeModel model(project.document);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QModelIndex top = fetchedProject(model);
    QCOMPARE(rowNames(model, top), (QStringList{"Bravo", "delta"}));
    const QPersistentModelIndex deltaEntry = model.indexOf(delta->handle());
    model.fetchMore(deltaEntry);
    QVERIFY(project.addFolder(*delta->asContainer(), CabinetName, "Cab"));
    QCOMPARE(model.rowCount(deltaEntry), 1);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    Item *charlie = project.addFolder(*root, PlantName, "Charlie");
    QVERIFY(charlie);
    QCOMPARE(rowNames(model, top), (QStringList{"Bravo", "Charlie", "delta"}));
    QCOMPARE(deltaEntry.row(), 2);
    // A renamed plant moves to its new place; the entry below it stays.
    QVERIFY(rename(project.document, *delta, "Alpha"));
    QCOMPARE(rowNames(model, top), (QStringList{"Alpha", "Bravo", "Charlie"}));
    QCOMPARE(deltaEntry.row(), 0);
    QCOMPARE(model.rowCount(deltaEntry), 1);
    ScriptedMessages messages;
    messages.answer(MessageAnswer::Yes);
    QVERIFY(project.document.ConfirmAndDelete(*charlie));
    QCOMPARE(rowNames(model, top), (QStringList{"Alpha", "Bravo"}));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(model.rowCount(deltaEntry), 1);
}

void TestDocumentTreeModel::sortsWaitForTheEndOfABulkOperation()
{
    HierarchyProject project;
    project.open();
    ContainerItem *root = &project.projectItem();
    Item *first = project.addFolder(*root, PlantName, "A");
    QVERIFY(project.addFolder(*root, PlantName, "B"));
    DocumentTreeModel model(project.document);
    const QModelIndex top = fetchedProject(model);
    project.document.BulkBegins();
    QVERIFY(rename(project.document, *first, "C"));
    QCOMPARE(rowNames(model, top), (QStringList{"C", "B"}));
    project.document.BulkEnds();
    QCOMPARE(rowNames(model, top), (QStringList{"B", "C"}));
}

void TestDocumentTreeModel::subtreeRefreshReadsTheEntriesAgain()
{
    HierarchyProject project;
    project.open();
    Item *plant = project.addFolder(project.projectItem(), PlantName, "Plant");
    QVERIFY(plant && project.addFolder(*plant->asContainer(), CabinetName, "Cab"));
    DocumentTreeModel model(project.document);
    fetchedProject(model);
    const QPersistentModelIndex entry = model.indexOf(plant->handle());
    model.fetchMore(entry);
    QCOMPARE(model.rowCount(entry), 1);
    QVERIFY(project.document.Select(plant->handle()));
    QVERIFY(project.document.SubtreeRefresh());
    // The rows went with the old items; the entry still offers its arrow.
    QVERIFY(entry.isValid());
    QCOMPARE(model.rowCount(entry), 0);
    QVERIFY(model.hasChildren(entry));
    QVERIFY(model.canFetchMore(entry));
    model.fetchMore(entry);
    QCOMPARE(rowNames(model, entry), QStringList{"Cab"});
}

void TestDocumentTreeModel::emptyContainerLosesItsArrowOnceRead()
{
    HierarchyProject project;
    project.open();
    QVERIFY(project.addFolder(project.projectItem(), PlantName, "Empty"));
    project.document.DeleteContents();
    DocumentTreeModel model(project.document);
    const QModelIndex top = fetchedProject(model);
    const QModelIndex plant = model.index(0, 0, top);
    QVERIFY(model.hasChildren(plant));
    QVERIFY(model.canFetchMore(plant));
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
    model.fetchMore(plant);
    QVERIFY(!model.hasChildren(plant));
    QVERIFY(!model.canFetchMore(plant));
    // The views hear of it once the fetch is over, so they drop the button.
    QTRY_COMPARE(layouts.size(), 1);
    QCOMPARE(layouts.first().first().value<QList<QPersistentModelIndex>>().value(0), QPersistentModelIndex(plant));
}

void TestDocumentTreeModel::rootsSpeakTheActiveLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("signalsRoot");
    QTest::newRow("English") << 1 << "Project EN" << "Signals EN";
    QTest::newRow("German") << 2 << "Projekt" << "Signale";
    QTest::newRow("French") << 3 << "Projet" << "Signaux";
    QTest::newRow("Russian") << 4 << "Проект" << "Сигналы";
    // No Spanish name yet: the entry keeps the project's own name.
    QTest::newRow("Spanish, untranslated") << 5 << "Project EN" << "Signals EN";
}

void TestDocumentTreeModel::rootsSpeakTheActiveLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, project);
    QFETCH(QString, signalsRoot);
    HierarchyProject file;
    file.open();
    const std::vector<std::pair<Item *, QStringList>> names{
        {&file.projectItem(), {"Project EN", "Projekt", "Projet", "Проект", ""}},
        {&file.signalsRoot(), {"Signals EN", "Signale", "Signaux", "Сигналы", ""}}};
    for (const auto &[item, texts] : names) {
        setName(*item, QStringLiteral("Name"), texts[0]);
        for (int column = 2; column <= 5; ++column)
            setName(*item, QStringLiteral("NameL%1").arg(column), texts[column - 1]);
    }
    QVERIFY(Language::load(language));
    DocumentTreeModel model(file.document);
    fetchedProject(model);
    QCOMPARE(model.data(model.index(0, 0)).toString(), project);
    QCOMPARE(model.data(model.index(1, 0)).toString(), signalsRoot);
    // Renaming edits the name the project keeps, not the translation.
    QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toString(), QStringLiteral("Project EN"));
}

void TestDocumentTreeModel::entryStatesFollowEditAndCut()
{
    HierarchyProject project;
    project.open();
    Item *clean = project.addFolder(project.projectItem(), PlantName, "Clean");
    Item *fresh = project.document.CreateItem(project.projectItem(), PlantName);
    QVERIFY(clean && fresh);
    DocumentTreeModel model(project.document);
    const QModelIndex top = fetchedProject(model);
    const auto stateOf = [&model, top](const Item &item) {
        for (int row = 0; row < model.rowCount(top); ++row) {
            const QModelIndex at = model.index(row, 0, top);
            if (model.itemAt(at) == &item)
                return std::pair{model.data(at, DocumentTreeModel::BoldRole).toBool(),
                                 model.data(at, DocumentTreeModel::DimmedRole).toBool()};
        }
        qFatal("no entry for the item");
    };
    QCOMPARE(stateOf(*clean), std::pair(false, false));
    QCOMPARE(stateOf(*fresh), std::pair(true, true));
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(project.document.BeginEdit(*clean));
    QCOMPARE(stateOf(*clean), std::pair(true, false));
    QVERIFY(!changes.isEmpty());
    clean->endEditState();
    clean->setCutMark(true);
    QCOMPARE(stateOf(*clean), std::pair(false, true));
}

void TestDocumentTreeModel::onlineModulesTakeTheirImage()
{
    HierarchyProject project;
    project.open();
    Item *plant = project.addFolder(project.projectItem(), PlantName, "Plant");
    QVERIFY(plant);
    ItemHandle online = 0;
    DocumentTreeModel model(project.document);
    model.setImageSource([&online](const Item &item) { return item.handle() == online ? 13 : -1; });
    const QModelIndex top = fetchedProject(model);
    const QModelIndex plantEntry = model.indexOf(plant->handle());
    QCOMPARE(model.data(top, DocumentTreeModel::TreeImageRole).toInt(), 0);
    QCOMPARE(model.data(model.index(1, 0), DocumentTreeModel::TreeImageRole).toInt(), 11);
    QCOMPARE(model.data(plantEntry, DocumentTreeModel::TreeImageRole).toInt(), 1);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    online = plant->handle();
    model.refreshItem(online);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).value<QModelIndex>(), plantEntry);
    QCOMPARE(model.data(plantEntry, DocumentTreeModel::TreeImageRole).toInt(), 13);
    // An item without an entry repaints nothing.
    model.refreshItem(-5);
    QCOMPARE(changes.count(), 1);
}

QTEST_GUILESS_MAIN(TestDocumentTreeModel)
#include "test_document_tree_model.moc"
