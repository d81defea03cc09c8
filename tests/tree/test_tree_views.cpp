#include "hierarchy_test_support.h"
#include "support/captured_log.h"
#include "base/command_ids.h"
#include "base/settings.h"
#include "shell/first_start_layout.h"
#include "tree/column_layout.h"
#include "tree/container_list_model.h"
#include "tree/hover_selection.h"
#include "tree/dynamic_menu.h"
#include "tree/hierarchy_strings.h"
#include "tree/project_counters.h"
#include "tree/widgets/left_view.h"
#include "tree/widgets/my7100_view.h"
#include "tree/widgets/tree_entry_model.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMenu>
#include <QSettings>
#include <QTableView>
#include <QtTest>

using namespace HierarchyStrings;

// The project tree of the left pane: renaming folders in place, deleting
// with a neighbour becoming current, the context menus, the selection that
// the document may refuse; and the dynamic menu builders.
class TestTreeViews : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init() { QSettings(QStringLiteral("ZelnorWizard"), QStringLiteral("ZelnorWizard")).clear(); }
    void refusedRenameReopensTheEdit();
    void unchangedRenameStillCountsButLogsNothing();
    void backslashInAFolderNameIsAnItemError();
    void modulesAreNotRenamedInPlace();
    void listRenameRestartsWithoutLogLine();
    void listRenameStartsFromTheName();
    void deleteMakesTheNeighbourCurrent();
    void refusedSelectionKeepsTheOldEntry();
    void signalMenuOffersRenameAndViewCommands();
    void addNewOffersTheChildLevelsInLayoutOrder();
    void sortByAndShowHideActOnTheLayout();
    void restingCursorSelectsTheRowAfterTheHoverTime();
    void nameColumnFitsTheNamesUntilTheUserSizesIt();
    void aModuleUnderACarrierShowsItsWholeName();
};

namespace {

// A project with plants, shown in a tree of the left pane.
struct TreeFixture {
    HierarchyProject project;
    std::unique_ptr<CLeftView> view;

    explicit TreeFixture(const QStringList &plants)
    {
        project.open();
        for (const QString &plant : plants)
            if (!project.addFolder(project.projectItem(), PlantName, plant))
                qFatal("no plant %s", qPrintable(plant));
        view = std::make_unique<CLeftView>(project.document);
        view->resize(300, 400);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qFatal("no window");
    }
    Item &plant(const QString &name)
    {
        Item *item = project.document.FindRow(QStringLiteral("Equipments"), name, false);
        if (!item)
            qFatal("no plant %s", qPrintable(name));
        return *item;
    }
    QLineEdit *editor(const Item &item)
    {
        return qobject_cast<QLineEdit *>(view->indexWidget(view->treeModel().indexOf(item.handle())));
    }
    int plantCounter() { return project.counter(ProjectCounters::RowOfFolder(PlantName)); }
};

// A mouse move over a point of a view's viewport, as the mouse makes it.
void MoveMouse(QAbstractItemView &view, const QPoint &at)
{
    QMouseEvent move(QEvent::MouseMove, at, view.viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
}

QStringList commandNames(const QMenu &menu)
{
    QStringList names;
    for (const QAction *action : menu.actions())
        if (!action->isSeparator())
            names << action->objectName();
    return names;
}

} // namespace

void TestTreeViews::refusedRenameReopensTheEdit()
{
    TreeFixture tree({"P1", "P2"});
    ScriptedMessages messages;
    CapturedLog log;
    Item &p2 = tree.plant("P2");
    const int counter = tree.plantCounter();
    QVERIFY(tree.view->StartRename(p2.handle()));
    QLineEdit *editor = tree.editor(p2);
    QVERIFY(editor);
    editor->setText(QStringLiteral("P1"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(messages.texts(), QStringList{"Folder name 'P1' already exists in this section!"});
    // The edit opens again on the same folder, which kept its name.
    QTRY_VERIFY(tree.editor(p2));
    QCOMPARE(tree.project.document.GetName(p2), QStringLiteral("P2"));
    QCOMPARE(tree.plantCounter(), counter);
    QCOMPARE(log.lines, messages.texts());
    tree.editor(p2)->setText(QStringLiteral("P3"));
    QTest::keyClick(tree.editor(p2), Qt::Key_Return);
    QTRY_COMPARE(tree.project.document.GetName(p2), QStringLiteral("P3"));
    QCOMPARE(p2.editState(), EditState::Clean);
    QCOMPARE(tree.project.stored("Equipments", p2.id().toInt(), "Name").toString(), QStringLiteral("P3"));
    QCOMPARE(log.lines.size(), 2);
    QCOMPARE(log.lines.last(), QStringLiteral("Folder 'P2' was renamed to 'P3'."));
    QCOMPARE(tree.plantCounter(), counter + 1);
    QCOMPARE(messages.shown().size(), size_t(1));
}

void TestTreeViews::unchangedRenameStillCountsButLogsNothing()
{
    TreeFixture tree({"North"});
    ScriptedMessages messages;
    CapturedLog log;
    Item &north = tree.plant("North");
    const int counter = tree.plantCounter();
    QVERIFY(tree.view->StartRename(north.handle()));
    QCOMPARE(north.editState(), EditState::Modified);
    QTest::keyClick(tree.editor(north), Qt::Key_Escape);
    QTRY_COMPARE(north.editState(), EditState::Clean);
    QCOMPARE(tree.plantCounter(), counter + 1);
    QCOMPARE(tree.project.document.GetName(north), QStringLiteral("North"));
    // Nothing was made or renamed, and the log says nothing of it; the same
    // name typed again is no rename either.
    QVERIFY(tree.view->StartRename(north.handle()));
    tree.editor(north)->setText(QStringLiteral("North"));
    QTest::keyClick(tree.editor(north), Qt::Key_Return);
    QTRY_COMPARE(north.editState(), EditState::Clean);
    QCOMPARE(log.lines, QStringList());
    QVERIFY(messages.shown().empty());
    // A folder made by Add New and named in place is logged as made.
    Item *made = tree.project.document.AddNewFolder(tree.project.projectItem(), PlantName);
    QVERIFY(made);
    if (!tree.editor(*made))
        QVERIFY(tree.view->StartRename(made->handle()));
    QTRY_VERIFY(tree.editor(*made));
    tree.editor(*made)->setText(QStringLiteral("South"));
    QTest::keyClick(tree.editor(*made), Qt::Key_Return);
    QTRY_COMPARE(log.lines, QStringList{"Folder 'South' was created."});
}

// A backslash in a folder's name is refused as every item error is
// reported: what could not be stored, then why.
void TestTreeViews::backslashInAFolderNameIsAnItemError()
{
    TreeFixture tree({"P1"});
    ScriptedMessages messages;
    Item &p1 = tree.plant("P1");
    QVERIFY(tree.view->StartRename(p1.handle()));
    tree.editor(p1)->setText(QStringLiteral("A\\B"));
    QTest::keyClick(tree.editor(p1), Qt::Key_Return);
    QTRY_COMPARE(messages.texts(),
                 QStringList{"Can't update Plant '\\\\Project\\P1'. Plant name contain invalid character(s)."});
    QCOMPARE(messages.shown()[0].icon, MessageIcon::Error);
    QTRY_VERIFY(tree.editor(p1));
    QCOMPARE(tree.project.document.GetName(p1), QStringLiteral("P1"));
}

void TestTreeViews::modulesAreNotRenamedInPlace()
{
    TreeFixture tree({"Plant"});
    ScriptedModuleDialog dialog;
    dialog.names(QStringLiteral("TT-1"), QStringLiteral("TT-2"));
    Item *module = tree.project.document.AddNewModule(*tree.plant("Plant").asContainer(), Family7230, 1);
    QVERIFY(module);
    QVERIFY(!tree.view->StartRename(module->handle()));
    QCOMPARE(module->editState(), EditState::Clean);
    // The project's roots are no folders either.
    QVERIFY(!tree.view->StartRename(tree.project.signalsRoot().handle()));
}

// In the list a refused folder name restarts the edit as in the tree, but
// no line is written for an accepted one.
void TestTreeViews::listRenameRestartsWithoutLogLine()
{
    TreeFixture tree({"Plant"});
    ScriptedMessages messages;
    CapturedLog log;
    CMy7100Doc &document = tree.project.document;
    ContainerItem &plant = *tree.plant("Plant").asContainer();
    QVERIFY(tree.project.addFolder(plant, CabinetName, "C1"));
    Item *second = tree.project.addFolder(plant, CabinetName, "C2");
    QVERIFY(second);
    QVERIFY(document.Select(plant.handle()));
    CMy7100View list(document);
    list.show();
    const auto editor = [&list, second] {
        const int row = list.listModel().RowOf(second->handle());
        return qobject_cast<QLineEdit *>(list.details()->indexWidget(list.model()->index(row, 0)));
    };
    QVERIFY(list.StartRename(second->handle()));
    editor()->setText(QStringLiteral("C1"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QTRY_COMPARE(messages.texts(), QStringList{"Folder name 'C1' already exists in this section!"});
    QTRY_VERIFY(editor());
    editor()->setText(QStringLiteral("C3"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QTRY_COMPARE(document.GetName(*second), QStringLiteral("C3"));
    QCOMPARE(log.lines, messages.texts());
}

// Every way into a rename of a row (Ctrl+R, F2 and the row's Rename all end
// in the in-place edit) opens the edit box holding the row's name.
void TestTreeViews::listRenameStartsFromTheName()
{
    TreeFixture tree({"Plant"});
    ScriptedMessages messages;
    CMy7100Doc &document = tree.project.document;
    ContainerItem &plant = *tree.plant("Plant").asContainer();
    QVERIFY(tree.project.addFolder(plant, CabinetName, "C1"));
    Item *second = tree.project.addFolder(plant, CabinetName, "Cabinet North");
    QVERIFY(second);
    QVERIFY(document.Select(plant.handle()));
    CMy7100View list(document);
    list.show();
    const int row = list.listModel().RowOf(second->handle());
    const auto editor = [&list, row] {
        return qobject_cast<QLineEdit *>(list.details()->indexWidget(list.model()->index(row, 0)));
    };
    // Ctrl+R on the selected row.
    list.selectRow(row);
    QVERIFY(list.RunPaneCommand(CommandId::Rename));
    QTRY_VERIFY(editor());
    QCOMPARE(editor()->text(), QStringLiteral("Cabinet North"));
    QTest::keyClick(editor(), Qt::Key_Escape);
    QTRY_VERIFY(!editor());
    // F2 and the row's Rename.
    QVERIFY(list.StartRename(second->handle()));
    QCOMPARE(editor()->text(), QStringLiteral("Cabinet North"));
    QCOMPARE(list.model()->index(row, 0).data(Qt::EditRole).toString(), QStringLiteral("Cabinet North"));
    QTest::keyClick(editor(), Qt::Key_Escape);
    QTRY_VERIFY(!editor());
    QCOMPARE(document.GetName(*second), QStringLiteral("Cabinet North"));
    QVERIFY(messages.shown().empty());
}

void TestTreeViews::deleteMakesTheNeighbourCurrent()
{
    TreeFixture tree({"A", "B", "C"});
    ScriptedMessages messages;
    CMy7100Doc &document = tree.project.document;
    const ItemHandle a = tree.plant("A").handle();
    const ItemHandle c = tree.plant("C").handle();
    QVERIFY(document.Select(tree.plant("B").handle()));
    messages.answer(MessageAnswer::Yes);
    QVERIFY(tree.view->DeleteItem(document.CurrentItem()));
    QCOMPARE(document.CurrentItem(), c);
    // The last one gives way to the one before it.
    messages.answer(MessageAnswer::Yes);
    QVERIFY(tree.view->DeleteItem(c));
    QCOMPARE(document.CurrentItem(), a);
    // No is no: the item stays and stays current.
    messages.answer(MessageAnswer::No);
    QVERIFY(!tree.view->DeleteItem(a));
    QCOMPARE(document.CurrentItem(), a);
    QCOMPARE(tree.view->treeModel().rowCount(tree.view->treeModel().index(0, 0)), 1);
}

void TestTreeViews::refusedSelectionKeepsTheOldEntry()
{
    TreeFixture tree({"A", "B"});
    CMy7100Doc &document = tree.project.document;
    tree.view->SelectItem(tree.plant("A").handle());
    QVERIFY(document.Select(tree.plant("A").handle()));
    const QModelIndex b = tree.view->treeModel().indexOf(tree.plant("B").handle());
    bool refuse = true;
    SaveChangesHooks hooks;
    hooks.isPumpingMessages = [&refuse] { return refuse; };
    hooks.hasCurrentItem = [] { return true; };
    hooks.isModified = [] { return false; };
    document.SetSaveChangesHooks(hooks);
    QTest::mouseClick(tree.view->viewport(), Qt::LeftButton, {}, tree.view->visualRect(b).center());
    QCOMPARE(document.CurrentItem(), tree.plant("A").handle());
    QTRY_COMPARE(tree.view->currentIndex(), tree.view->treeModel().indexOf(tree.plant("A").handle()));
    refuse = false;
    QTest::mouseClick(tree.view->viewport(), Qt::LeftButton, {}, tree.view->visualRect(b).center());
    QCOMPARE(document.CurrentItem(), tree.plant("B").handle());
    document.SetSaveChangesHooks({});
}

void TestTreeViews::signalMenuOffersRenameAndViewCommands()
{
    TreeFixture tree({"Plant"});
    ScriptedModuleDialog dialog;
    dialog.names(QStringLiteral("PT-1"), QStringLiteral("PT-2"));
    Item *module = tree.project.document.AddNewModule(*tree.plant("Plant").asContainer(), Family7230, 1);
    QVERIFY(module);
    Item *signal = tree.project.document.SignalOfChannel(*module, 1);
    QVERIFY(signal);
    for (Item *item : {signal, static_cast<Item *>(&tree.project.signalsRoot())}) {
        std::unique_ptr<QMenu> menu(tree.view->BuildContextMenu(*item, tree.view.get()));
        QVERIFY(menu);
        QCOMPARE(commandNames(*menu), (QStringList{"40012", "59408", "59410", "59411", "40042"}));
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("&Rename"));
        QCOMPARE(menu->actions().first()->isEnabled(), item == signal);
    }
    // A plant keeps the whole menu, Add New first.
    std::unique_ptr<QMenu> menu(tree.view->BuildContextMenu(tree.plant("Plant"), tree.view.get()));
    const QStringList names = commandNames(*menu);
    QCOMPARE(names.first(), QString());
    QVERIFY(names.contains(QStringLiteral("40010")) && names.contains(QStringLiteral("40012")));
    QVERIFY(menu->actions().first()->menu());
}

void TestTreeViews::addNewOffersTheChildLevelsInLayoutOrder()
{
    HierarchyProject project;
    project.open();
    CMy7100Doc &document = project.document;
    DynamicMenuBuilder addNew(document, DynamicMenuBuilder::Kind::AddNew);
    CLevelList &levels = project.levels();
    // Below the project: plants, then the modules of the three families;
    // no catalogue table.
    addNew.Fill(document.Layouts().Find(levels, QStringLiteral("ProjectsRoot")));
    std::vector<int> offered;
    for (const auto &entry : addNew.entries())
        offered.push_back(entry.data);
    QCOMPARE(offered, (std::vector<int>{PlantName, Module7230Name, Module7210Name, Module7220Name}));
    QCOMPARE(addNew.Prompt(addNew.entries().front().id), QStringLiteral("Insert New 'Plant'."));
    int created = 0;
    addNew.SetCreator([&created](int nameString) { created = nameString; });
    QVERIFY(addNew.Execute(addNew.entries().at(1).id));
    QCOMPARE(created, Module7230Name);
    // Levels the creator cannot make are not offered: the signals below
    // the signals root.
    addNew.SetCreator([](int) {}, [](int nameString) { return nameString != SignalName; });
    addNew.Fill(document.Layouts().Find(levels, QStringLiteral("SignalsRoot")));
    QCOMPARE(addNew.entries().front().id, DynamicMenuBuilder::kNothingCommand);
    // Signals have nothing below them.
    addNew.Fill(document.Layouts().Find(levels, QStringLiteral("Signals")));
    QCOMPARE(addNew.entries().size(), size_t(1));
    QCOMPARE(addNew.entries().front().text, QStringLiteral("(nothing)"));
    QCOMPARE(addNew.entries().front().id, DynamicMenuBuilder::kNothingCommand);
    QVERIFY(!addNew.entries().front().enabled);
    QVERIFY(!addNew.Execute(DynamicMenuBuilder::kNothingCommand));
    QCOMPARE(addNew.Prompt(DynamicMenuBuilder::kNothingCommand), QStringLiteral("Nothing to insert."));
}

void TestTreeViews::sortByAndShowHideActOnTheLayout()
{
    HierarchyProject project;
    project.open();
    CMy7100Doc &document = project.document;
    HintRecorder hints(document);
    ColumnLayout *layout = document.Layouts().Find(project.levels(), QStringLiteral("Equipments"));
    QVERIFY(layout);
    DynamicMenuBuilder sortBy(document, DynamicMenuBuilder::Kind::SortBy);
    sortBy.Fill(layout);
    QCOMPARE(sortBy.entries().size(), size_t(2));
    QVERIFY(sortBy.entries().at(0).checked);
    QCOMPARE(sortBy.Prompt(sortBy.entries().at(1).id), QStringLiteral("Sort Icons by 'Description'."));
    QVERIFY(sortBy.Execute(sortBy.entries().at(1).id));
    QCOMPARE(layout->StoredSort().column, 1);
    QCOMPARE(hints.codes().back(), int(C7100Document::HintSortColumn));
    // Show/hide offers every column but the first, which cannot be hidden.
    DynamicMenuBuilder showHide(document, DynamicMenuBuilder::Kind::ShowHideColumns);
    showHide.Fill(layout);
    QCOMPARE(showHide.entries().size(), size_t(1));
    QCOMPARE(showHide.entries().front().text, QStringLiteral("Description"));
    QVERIFY(showHide.entries().front().checked);
    QVERIFY(showHide.Execute(showHide.entries().front().id));
    QVERIFY(!layout->Visible(1));
    QCOMPARE(hints.codes().back(), int(C7100Document::HintColumnShown));
    QVERIFY(!layout->SetVisible(0, false));
    QVERIFY(layout->Visible(0));
}

void TestTreeViews::restingCursorSelectsTheRowAfterTheHoverTime()
{
    TreeFixture tree({"A", "B", "C"});
    CMy7100Doc &document = tree.project.document;
    QVERIFY(document.Select(tree.project.projectItem().handle()));
    WriteSetting(QStringLiteral("HoverTime"), 150);
    auto list = std::make_unique<CMy7100View>(document);
    list->resize(400, 300);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    QTableView *table = list->details();
    const int rowB = list->listModel().RowOf(tree.plant("B").handle());
    const QPoint overB = table->visualRect(table->model()->index(rowB, 0)).center();
    QCOMPARE(list->hoverSelection().hoverTime(), 150);
    MoveMouse(*table, overB);
    // The row is hot at once (underlined), selected only after the time.
    QVERIFY(table->model()->index(rowB, 0).data(Qt::FontRole).value<QFont>().underline());
    QVERIFY(list->SelectedItems().empty());
    QTRY_COMPARE(list->SelectedItems(), std::vector<ItemHandle>{tree.plant("B").handle()});
    // Leaving the rows before the time selects nothing.
    const int rowC = list->listModel().RowOf(tree.plant("C").handle());
    MoveMouse(*table, table->visualRect(table->model()->index(rowC, 0)).center());
    MoveMouse(*table, QPoint(5, table->viewport()->height() - 2));
    QTest::qWait(400);
    QCOMPARE(list->SelectedItems(), std::vector<ItemHandle>{tree.plant("B").handle()});
    QVERIFY(!table->model()->index(rowC, 0).data(Qt::FontRole).value<QFont>().underline());

    // One click activates the row: its item becomes the current one.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, overB);
    QTRY_COMPARE(document.CurrentItem(), tree.plant("B").handle());
    QVERIFY(document.Select(tree.project.projectItem().handle()));

    // Switched off, a resting cursor selects nothing and one click only
    // selects; the item becomes current with a double click.
    WriteSetting(QStringLiteral("EnableHoverSelection"), 0);
    list = std::make_unique<CMy7100View>(document);
    list->resize(400, 300);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    MoveMouse(*list->details(), overB);
    QTest::qWait(400);
    QVERIFY(list->SelectedItems().empty());
    QTest::mouseClick(list->details()->viewport(), Qt::LeftButton, Qt::NoModifier, overB);
    QTest::qWait(100);
    QCOMPARE(document.CurrentItem(), tree.project.projectItem().handle());
    QTest::mouseDClick(list->details()->viewport(), Qt::LeftButton, Qt::NoModifier, overB);
    QTRY_COMPARE(document.CurrentItem(), tree.plant("B").handle());
}

void TestTreeViews::nameColumnFitsTheNamesUntilTheUserSizesIt()
{
    const QString longName = QString(40, u'W');
    TreeFixture tree({"A", longName});
    CMy7100Doc &document = tree.project.document;
    QVERIFY(document.Select(tree.project.projectItem().handle()));
    ColumnLayout *layout = document.Layouts().Find(tree.project.levels(), QStringLiteral("ProjectsRoot"));
    QVERIFY(layout && layout->columnCount() > 0);
    const int defaultWidth = layout->columns().front().width;
    QCOMPARE(layout->Width(0), defaultWidth);
    {
        CMy7100View list(document);
        list.resize(800, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const int needed = list.details()->fontMetrics().horizontalAdvance(longName);
        QVERIFY2(needed > defaultWidth, "the name must be longer than the default width");
        QVERIFY2(list.columnWidth(0) >= needed, qPrintable(QString::number(list.columnWidth(0))));
        // The fitted width is not the user's: nothing is kept of it.
        QCOMPARE(layout->Width(0), defaultWidth);
        // A width the user gives is kept and shown again.
        list.horizontalHeader()->resizeSection(0, defaultWidth + 17);
    }
    QCOMPARE(layout->Width(0), defaultWidth + 17);
    CMy7100View again(document);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.columnWidth(0), defaultWidth + 17);
}

QTEST_MAIN(TestTreeViews)
#include "test_tree_views.moc"

// Below many short plant names a module under a carrier is made current as
// the link makes it, in a tree as wide as a first start on a 1366 x 768
// screen makes it: its entry shows its whole name inside the tree, not an
// empty or cut row that needs the horizontal scroll bar.
void TestTreeViews::aModuleUnderACarrierShowsItsWholeName()
{
    QStringList plants;
    for (int i = 1; i <= 40; ++i)
        plants << QStringLiteral("P%1").arg(i);
    TreeFixture tree(plants);
    HierarchyProject &project = tree.project;
    Item *cabinet = project.addFolder(*tree.plant("P33").asContainer(), CabinetName, QStringLiteral("C1"));
    QVERIFY(cabinet);
    Item *carrier = project.addFolder(*cabinet->asContainer(), CarrierName, QStringLiteral("H1"));
    QVERIFY(carrier);
    ScriptedModuleDialog dialog;
    dialog.names(QStringLiteral("TT-101A"), QStringLiteral("TT-102A"));
    Item *made = project.document.AddNewModule(*carrier->asContainer(), Family7230, 1);
    QVERIFY(made);
    const QString table = made->level().tableName();
    const qint32 id = made->id().toInt();
    // Read again, as at the start of the program: the module and its folders
    // are loaded when the link looks the module up.
    QVERIFY(project.document.GlobalRefresh());
    QApplication::processEvents();
    const FirstStartLayout first = FirstStartLayout::For(QRect(0, 0, 1366, 768 - 28),
                                                         tree.view->fontMetrics().averageCharWidth(),
                                                         tree.view->indentation());
    tree.view->resize(first.treeWidth, 400);
    Item *module = project.document.Lookup().LoadRow(table, id);
    QVERIFY(module);
    tree.view->SelectItem(module->handle());
    const QModelIndex entry = tree.view->treeModel().indexOf(module->handle());
    QVERIFY(entry.isValid());
    const QString name = entry.data().toString();
    QVERIFY(name.contains(QStringLiteral("TT-101A")));
    // The text stands after the entry's icon; all of it within the viewport.
    const int textRight = tree.view->visualRect(entry).left() + tree.view->iconSize().width() + 8 +
                          tree.view->fontMetrics().horizontalAdvance(name);
    QTRY_VERIFY2(tree.view->visualRect(entry).left() >= 0 && textRight <= tree.view->viewport()->width(),
                 qPrintable(QString("text from %1 to %2, viewport %3 wide")
                                .arg(tree.view->visualRect(entry).left())
                                .arg(textRight)
                                .arg(tree.view->viewport()->width())));
}
