#include "hierarchy_test_support.h"
#include "tree/container_list_model.h"
#include "base/command_ids.h"
#include "tree/dynamic_menu.h"
#include "tree/hierarchy_strings.h"
#include "tree/widgets/my7100_view.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTableView>
#include <QSettings>
#include <QtTest>

using namespace HierarchyStrings;

// The list of a container's children: merged columns, the document's item
// order in both directions, header clicks.
class TestContainerList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init() { QSettings(QStringLiteral("ZelnorWizard"), QStringLiteral("ZelnorWizard")).clear(); }
    void mixedListSortsByLevelThenName_data();
    void mixedListSortsByLevelThenName();
    void headerClickTurnsTheOrder();
    void projectListDescendingPutsModulesFirst();
    void leafShowsNothing();
    void sortChoiceOutlivesTheList();
    void hiddenColumnSurvivesARestart();
    void widthsAndPlacesAreRemembered();
    void modesShareOneSelection();
    void contextMenusOfEmptySpaceAndRows();
    void rowsAreRenamedInPlace();
};

namespace {

// A cabinet holding a carrier and modules of the three families.
struct MixedCabinet {
    TreeProject project;
    ContainerItem *cabinet = nullptr;

    MixedCabinet()
    {
        project.open();
        Item *plant = project.add(project.projectItem(), PlantName, QStringLiteral("Plant"));
        cabinet = plant ? project.add(*plant->asContainer(), CabinetName, QStringLiteral("Cab"))->asContainer()
                        : nullptr;
        if (!cabinet)
            qFatal("no cabinet");
        for (const auto &[nameString, name] : std::vector<std::pair<int, QString>>{
                 {Module7220Name, "TT 7220"}, {Module7230Name, "b 7230"}, {CarrierName, "Rail"},
                 {Module7210Name, "FT 7210"}, {Module7230Name, "A 7230"}})
            if (!project.add(*cabinet, nameString, name))
                qFatal("no %s", qPrintable(name));
    }
};

QStringList Names(const QAbstractItemModel &model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.index(row, 0).data().toString();
    return names;
}

} // namespace

void TestContainerList::mixedListSortsByLevelThenName_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("ascending") << int(Qt::AscendingOrder)
                               << QStringList{"Rail", "A 7230", "b 7230", "FT 7210", "TT 7220"};
    // The level order turns too: the 7220 modules come first, the carrier last.
    QTest::newRow("descending") << int(Qt::DescendingOrder)
                                << QStringList{"TT 7220", "FT 7210", "b 7230", "A 7230", "Rail"};
}

void TestContainerList::mixedListSortsByLevelThenName()
{
    QFETCH(int, order);
    QFETCH(QStringList, names);
    MixedCabinet mixed;
    ContainerListModel model(mixed.project.document);
    model.Show(mixed.cabinet->handle());
    QVERIFY(model.layout());
    QCOMPARE(model.layout()->key(), QStringLiteral("562539"));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    model.sort(0, Qt::SortOrder(order));
    QCOMPARE(Names(model), names);
    // A new child joins the list in its place.
    QVERIFY(mixed.project.add(*mixed.cabinet, Module7230Name, QStringLiteral("C 7230")));
    QCOMPARE(model.rowCount(), names.size() + 1);
    QCOMPARE(Names(model).indexOf(QStringLiteral("C 7230")), order == Qt::AscendingOrder ? 3 : 2);
}

void TestContainerList::headerClickTurnsTheOrder()
{
    MixedCabinet mixed;
    mixed.project.document.Select(mixed.cabinet->handle());
    CMy7100View view(mixed.project.document);
    view.resize(600, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.model()->rowCount(), 5);
    QHeaderView *header = view.horizontalHeader();
    const QPoint first(header->sectionViewportPosition(0) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(Names(*view.model()).first(), QStringLiteral("TT 7220"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(Names(*view.model()).first(), QStringLiteral("Rail"));
    // The list follows the selection of another container.
    mixed.project.document.Select(mixed.cabinet->parent()->handle());
    QCOMPARE(Names(*view.model()), QStringList{"Cab"});
}

// Descending by name, the level order turns too: the project's 7220 modules
// come before its plants.
void TestContainerList::projectListDescendingPutsModulesFirst()
{
    TreeProject project;
    project.open();
    ContainerItem &root = project.projectItem();
    for (const auto &[nameString, name] : std::vector<std::pair<int, QString>>{
             {PlantName, "Zulu plant"}, {Module7220Name, "A 7220"}, {Module7230Name, "M 7230"}})
        QVERIFY(project.add(root, nameString, name));
    ContainerListModel model(project.document);
    model.Show(root.handle());
    QCOMPARE(Names(model), (QStringList{"Zulu plant", "M 7230", "A 7220"}));
    model.SortByHeader(0);
    QCOMPARE(model.sortOrder(), Qt::DescendingOrder);
    QCOMPARE(Names(model), (QStringList{"A 7220", "M 7230", "Zulu plant"}));
}

void TestContainerList::leafShowsNothing()
{
    MixedCabinet mixed;
    ContainerListModel model(mixed.project.document);
    model.Show(mixed.cabinet->handle());
    const ItemHandle module = model.itemAt(1)->handle();
    model.Show(module);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
    QCOMPARE(model.shownContainer(), 0);
}

void TestContainerList::sortChoiceOutlivesTheList()
{
    MixedCabinet mixed;
    const QString sortBy = QStringLiteral("Column Size & Sort/562539.SortBy");
    QSettings settings(QStringLiteral("ZelnorWizard"), QStringLiteral("ZelnorWizard"));
    {
        ContainerListModel model(mixed.project.document);
        model.Show(mixed.cabinet->handle());
        model.sort(0, Qt::DescendingOrder);
    }
    settings.sync();
    QCOMPARE(settings.value(sortBy), QVariant(-300));
    ContainerListModel again(mixed.project.document);
    again.Show(mixed.cabinet->handle());
    QCOMPARE(again.sortOrder(), Qt::DescendingOrder);
    QCOMPARE(Names(again).first(), QStringLiteral("TT 7220"));
    // Back to the default: nothing stays stored.
    again.sort(0, Qt::AscendingOrder);
    settings.sync();
    QVERIFY(!settings.contains(sortBy));
}

namespace {
QVariant profileValue(const QString &name)
{
    return QSettings(QStringLiteral("ZelnorWizard"), QStringLiteral("ZelnorWizard")).value(name);
}

// The list of the cabinet "Cab", found again after the tree was rebuilt.
std::unique_ptr<CMy7100View> showCabinet(C7100Document &document)
{
    Item *cabinet = document.FindRow(QStringLiteral("Racks"), QStringLiteral("Cab"), false);
    if (!cabinet) {
        ContainerItem &project = *document.Root()->containerChildren().front()->asContainer();
        document.EnsureChildren(project);
        Item *plant = project.containerChildren().front().get();
        document.EnsureChildren(*plant);
        cabinet = plant->asContainer()->containerChildren().front().get();
    }
    document.Select(cabinet->handle());
    auto view = std::make_unique<CMy7100View>(document);
    view->resize(900, 300);
    view->show();
    return view;
}
} // namespace

// Hiding a column is written at once and outlives the program; showing it
// again removes the value, as the default needs none.
void TestContainerList::hiddenColumnSurvivesARestart()
{
    MixedCabinet mixed;
    C7100Document &document = mixed.project.document;
    const QString visibility = QStringLiteral("Column Visibility/562539.Description");
    auto view = showCabinet(document);
    QVERIFY(!view->isColumnHidden(1));
    DynamicMenuBuilder showHide(document, DynamicMenuBuilder::Kind::ShowHideColumns);
    showHide.Fill(view->listModel().layout());
    QVERIFY(showHide.Execute(showHide.entries().front().id));
    QVERIFY(view->isColumnHidden(1));
    QCOMPARE(profileValue(visibility), QVariant(0));
    // A restart: the tree and its layouts go and are read again.
    view.reset();
    document.DeleteContents();
    view = showCabinet(document);
    QCOMPARE(view->model()->rowCount(), 5);
    QVERIFY(view->isColumnHidden(1));
    showHide.Fill(view->listModel().layout());
    QVERIFY(!showHide.entries().front().checked);
    QVERIFY(showHide.Execute(showHide.entries().front().id));
    QVERIFY(!view->isColumnHidden(1));
    QVERIFY(!profileValue(visibility).isValid());
    view.reset();
    document.DeleteContents();
    QVERIFY(!profileValue(visibility).isValid());
}

// Widths and places go into "Column Size & Sort" when the layouts are
// saved (width in the low, place in the high 16 bits); the defaults leave
// no value behind.
void TestContainerList::widthsAndPlacesAreRemembered()
{
    MixedCabinet mixed;
    C7100Document &document = mixed.project.document;
    const QString name = QStringLiteral("Column Size & Sort/562539.Name");
    const QString description = QStringLiteral("Column Size & Sort/562539.Description");
    auto view = showCabinet(document);
    QCOMPARE(view->columnWidth(0), 150);
    view->horizontalHeader()->resizeSection(0, 222);
    view->horizontalHeader()->moveSection(1, 0);
    view.reset();
    document.DeleteContents();
    QCOMPARE(profileValue(name), QVariant((1 << 16) | 222));
    QCOMPARE(profileValue(description).toInt() >> 16, 0);
    view = showCabinet(document);
    QCOMPARE(view->horizontalHeader()->visualIndex(1), 0);
    QCOMPARE(view->horizontalHeader()->visualIndex(0), 1);
    // Back to the defaults: nothing stays stored.
    view->horizontalHeader()->moveSection(1, 0);
    view->horizontalHeader()->resizeSection(0, 150);
    view.reset();
    document.DeleteContents();
    QVERIFY(!profileValue(name).isValid());
    QVERIFY(!profileValue(description).isValid());
}

void TestContainerList::modesShareOneSelection()
{
    MixedCabinet mixed;
    auto view = showCabinet(mixed.project.document);
    view->selectRow(1);
    view->SetViewMode(C7100ListView::LargeIcons);
    QCOMPARE(view->currentView(), static_cast<QAbstractItemView *>(view->icons()));
    QCOMPARE(view->SelectedItems().size(), size_t(1));
    view->InvertSelectionOfRows();
    QCOMPARE(view->SelectedItems().size(), size_t(4));
    view->SetViewMode(C7100ListView::ListMode);
    QVERIFY(view->IsCommandEnabled(C7100ListView::SelectAll));
    QVERIFY(!view->IsCommandEnabled(CommandId::ArrangeIcons));
    QVERIFY(view->RunCommand(C7100ListView::SelectAll));
    QCOMPARE(view->SelectedItems().size(), size_t(5));
    QVERIFY(view->RunCommand(C7100ListView::InvertSelection));
    QVERIFY(view->SelectedItems().empty());
    // An unknown mode falls back to details.
    view->SetViewMode(7);
    QCOMPARE(view->viewMode(), int(C7100ListView::Details));
}

void TestContainerList::contextMenusOfEmptySpaceAndRows()
{
    MixedCabinet mixed;
    auto view = showCabinet(mixed.project.document);
    std::unique_ptr<QMenu> row(view->BuildContextMenu(true, view.get()));
    QStringList names;
    for (const QAction *action : row->actions())
        if (!action->isSeparator())
            names << action->objectName();
    QCOMPARE(names, (QStringList{"40002", "40000", "40106", "57635", "57634", "57637"}));
    std::unique_ptr<QMenu> space(view->BuildContextMenu(false, view.get()));
    QMenu *addNew = space->findChild<QMenu *>(QStringLiteral("AddNew"));
    QVERIFY(addNew);
    // Below a cabinet: carriers, then the modules of the three families.
    QCOMPARE(addNew->actions().size(), 4);
    QCOMPARE(addNew->actions().front()->text(), QStringLiteral("zelnor-carrier"));
    const QAction *details = space->findChild<QAction *>(QStringLiteral("59411"));
    QVERIFY(details && details->isChecked());
}

void TestContainerList::rowsAreRenamedInPlace()
{
    MixedCabinet mixed;
    auto view = showCabinet(mixed.project.document);
    Item *rail = mixed.project.document.FindRow(QStringLiteral("ZelnorHolders"), QStringLiteral("Rail"), false);
    QVERIFY(rail);
    QVERIFY(view->StartRename(rail->handle()));
    auto *editor = qobject_cast<QLineEdit *>(view->details()->indexWidget(view->model()->index(0, 0)));
    QVERIFY(editor);
    editor->setText(QStringLiteral("Bar"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(mixed.project.document.GetName(*rail), QStringLiteral("Bar"));
    QCOMPARE(rail->editState(), EditState::Clean);
    QCOMPARE(view->model()->index(0, 0).data().toString(), QStringLiteral("Bar"));
}

QTEST_MAIN(TestContainerList)
#include "test_container_list.moc"
