#include "log/widgets/output_view.h"
#include "print/widgets/report_preview.h"
#include "base/command_ids.h"
#include "base/help_topics.h"
#include "base/language.h"
#include "shell/main_menu.h"
#include "base/settings.h"
#include "shell/startup.h"
#include "base/string_table.h"
#include "shell/widgets/help_window.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_window.h"
#include "shell_test_project.h"
#include "support/captured_log.h"
#include "tree/document_tree_model.h"
#include "tree/hierarchy_test_support.h"
#include "tree/multiply_test_support.h"
#include "tree/widgets/item_form_view.h"
#include "tree/widgets/my7100_view.h"

#include <QMenuBar>
#include <QSplitter>
#include <QTreeView>

#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

using namespace CommandId;

// The main window over a real project: its menus, keys, language commands,
// "Add New...", tree navigation and panes.
class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void init();
    void everyMenuEntryAndKeyHasItsCommand();
    void languageCommandsRebuildTheMenus();
    void addNewFillsAndCreates();
    void treeNavigationFollowsTheTree();
    void foldersAreRenamedInTheTree();
    void viewModesToggleTheListBesideTheItemView();
    void containersShowTheirListAndCount();
    void busyFrameRunsNothing();
    void theLiveValueColumnLeavesTheLogReadable();
    void multiplyRunsOnTheCurrentItem();
    void placementComesFromAndGoesToTheSettings();
    void panesAndContextHelp();
    void printCommandsOpenThePreviewOfTheirReport();
    void projectOpenForReadingOffersNoWritingCommand();

private:
    struct Window {
        ShellTestProject project;
        AppSettings settings;
        std::unique_ptr<CMainFrame> frame;
        explicit Window(bool open = true)
        {
            if (open)
                QVERIFY(project.open());
            frame = std::make_unique<CMainFrame>(project.session, settings);
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        }
    };
};

static void CollectCommands(const std::vector<MenuEntry> &entries, QList<int> &ids)
{
    for (const MenuEntry &entry : entries) {
        if (entry.kind == MenuEntry::Kind::Command)
            ids << entry.id;
        CollectCommands(entry.children, ids);
    }
}

void TestMainFrame::init()
{
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestMainFrame::everyMenuEntryAndKeyHasItsCommand()
{
    Window window;
    CMainFrame &frame = *window.frame;
    QList<int> ids;
    CollectCommands(MainMenu::Entries(), ids);
    for (const int id : ids) {
        // Placeholders of the filled popups stand in for their lists.
        if (AddNewMenu::IsAddNewCommand(id) || id == FolderSubmenu || id == FileMru1 || id == SortBy ||
            id == ShowHideColumns)
            continue;
        QAction *action = frame.findChild<QAction *>(QString::number(id));
        QVERIFY2(action, qPrintable(QString::number(id)));
        QVERIFY2(!action->text().isEmpty() && !action->text().startsWith(u'#'), qPrintable(action->text()));
    }
    for (const Accelerator &accelerator : MainMenu::Accelerators()) {
        QAction *action = frame.Action(accelerator.id);
        QVERIFY2(action && action->shortcuts().contains(QKeySequence(accelerator.key)),
                 qPrintable(accelerator.key));
    }
    const QStringList titles = [&] {
        QStringList out;
        for (QAction *menu : frame.menuBar()->actions())
            out << menu->text();
        return out;
    }();
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Options", "&Help"}));
    QCOMPARE(frame.Action(Interface)->text(), QStringLiteral("&Interface"));
    QCOMPARE(frame.Action(FileNew)->text(), QStringLiteral("&New\tCtrl+N"));
    // The opened project is the first recent file, before the exit entry.
    QMenu *file = frame.menuBar()->actions().front()->menu();
    frame.FillPopup(file);
    QAction *recent = file->findChild<QAction *>(QString::number(FileMru1));
    QVERIFY(recent && recent->text().endsWith(window.project.path));
    QVERIFY(file->actions().indexOf(recent) < file->actions().indexOf(frame.Action(AppExit)));
    QVERIFY(!frame.Action(FileMru1)->isVisible());
    // Always enabled, also without a project; the item commands are not.
    Window empty(false);
    for (const int id : {Interface, Password, Monitoring, FileNew, FileOpen, AppAbout})
        QVERIFY(empty.frame->IsCommandEnabled(id));
    for (const int id : {Delete, Rename, FileSaveAs, GlobalRefresh, NextVisible, AddModule7230First})
        QVERIFY(!empty.frame->IsCommandEnabled(id));
}

void TestMainFrame::languageCommandsRebuildTheMenus()
{
    ScriptedMessages messages;
    Window window;
    CapturedLog log;
    CMainFrame &frame = *window.frame;
    const char *fileMenus[] = {"&File", "&Datei", "&Fichier", "&Файл", "&Archivo"};
    // The live values shown meanwhile follow the language too.
    QVERIFY(frame.RunCommand(LiveValueColumn));
    for (int index = 5; index >= 1; --index) {
        QVERIFY(frame.RunCommand(MainMenu::LanguageCommand(index)));
        QCOMPARE(Language::current(), index);
        QVERIFY(frame.LiveValueColumnShown());
        auto *panel = frame.findChild<QTabWidget *>(QStringLiteral("CPropertyTabView"));
        QVERIFY(panel);
        QCOMPARE(panel->tabText(1), Str(62300));
        QCOMPARE(frame.menuBar()->actions().front()->text(), QString::fromUtf8(fileMenus[index - 1]));
        QCOMPARE(frame.Action(Interface)->text(), Str(62040));
        QVERIFY(frame.Action(MainMenu::LanguageCommand(index))->isChecked());
        QCOMPARE(log.lines.back(), Str(62473 + index - 1));
        QCOMPARE(ReadSetting("LangDLL").toInt(), index);
    }
    QCOMPARE(log.lines.back(), QStringLiteral("Language has been changed to English."));
    // The same language again reloads and logs once more.
    const qsizetype before = log.lines.size();
    QVERIFY(frame.RunCommand(LanguageEnglish));
    QCOMPARE(log.lines.size(), before + 1);
    QVERIFY(!frame.Action(LanguageGerman)->isChecked());
}

void TestMainFrame::addNewFillsAndCreates()
{
    ScriptedModuleDialog dialog;
    Window window;
    CMainFrame &frame = *window.frame;
    CMy7100Doc &document = window.project.session.Document();
    QVERIFY(window.project.selectProject());
    auto *modules = frame.menuBar()->findChild<QMenu *>(QString::number(AddModule7230First));
    QVERIFY(modules);
    frame.FillPopup(modules);
    const QList<QAction *> entries = modules->actions();
    QCOMPARE(entries.size(), int(window.project.session.Catalogues().Rows("ModuleTypes7230").size()));
    QCOMPARE(entries.at(2)->objectName(), QStringLiteral("32902"));
    QVERIFY(entries.at(2)->text().startsWith("Module - "));
    entries.at(2)->trigger();
    Item *module = document.FindItem(document.CurrentItem());
    QVERIFY(module && CMy7100Doc::IsModule(*module));
    QCOMPARE(document.GetValue(*module, "ModulTypID", true).toInt(), 3);
    QCOMPARE(module->parent()->handle(), window.project.projectHandle());

    // Below a module the folder submenu is greyed.
    auto *addNew = frame.menuBar()->findChild<QMenu *>(QString::number(AddNewBuilder));
    QVERIFY(addNew);
    frame.FillPopup(addNew);
    QVERIFY(!addNew->actions().front()->isEnabled());
    QVERIFY(window.project.selectProject());
    frame.FillPopup(addNew);
    QVERIFY(addNew->actions().front()->isEnabled());
    auto *folders = frame.menuBar()->findChild<QMenu *>(QString::number(FolderSubmenu));
    frame.FillPopup(folders);
    QCOMPARE(folders->actions().size(), 1);
    QCOMPARE(folders->actions().front()->objectName(), QStringLiteral("32960"));
}

void TestMainFrame::treeNavigationFollowsTheTree()
{
    Window window;
    CMainFrame &frame = *window.frame;
    CMy7100Doc &document = window.project.session.Document();
    QVERIFY(window.project.selectProject());
    QVERIFY(AddAppliedFolder(frame, AddPlant));
    QVERIFY(AddAppliedFolder(frame, AddCabinet));
    QVERIFY(AddAppliedFolder(frame, AddCarrier));
    QTreeView *tree = frame.Tree();
    QTRY_VERIFY(tree->currentIndex().isValid());
    auto *model = qobject_cast<DocumentTreeModel *>(tree->model());
    const auto nameOfCurrent = [&] { return model->data(tree->currentIndex()).toString(); };
    QTRY_COMPARE(nameOfCurrent(), QStringLiteral("zelnor-carrier1"));

    QVERIFY(!frame.IsCommandEnabled(FirstChild));
    QVERIFY(frame.RunCommand(UpOneLevel));
    QCOMPARE(nameOfCurrent(), QStringLiteral("Cabinet1"));
    QVERIFY(frame.RunCommand(PreviousVisible));
    QCOMPARE(nameOfCurrent(), QStringLiteral("Plant1"));
    QVERIFY(frame.RunCommand(FirstChild));
    QCOMPARE(nameOfCurrent(), QStringLiteral("Cabinet1"));
    QVERIFY(frame.RunCommand(NextVisible));
    QCOMPARE(nameOfCurrent(), QStringLiteral("zelnor-carrier1"));
    QVERIFY(frame.IsCommandEnabled(TreeHome));
    QVERIFY(frame.RunCommand(TreeHome));
    QCOMPARE(tree->currentIndex(), model->index(0, 0));
    QVERIFY(!frame.IsCommandEnabled(PreviousVisible));
    QVERIFY(!frame.IsCommandEnabled(UpOneLevel));
    // The selection is the document's current item.
    QCOMPARE(document.CurrentItem(), window.project.projectHandle());
}

void TestMainFrame::containersShowTheirListAndCount()
{
    Window window;
    CMainFrame &frame = *window.frame;
    CMy7100Doc &document = window.project.session.Document();
    QVERIFY(window.project.selectProject());
    QVERIFY(AddAppliedFolder(frame, AddPlant));
    const ItemHandle plant = document.CurrentItem();
    QVERIFY(AddAppliedFolder(frame, AddCabinet));
    QVERIFY(document.Select(plant));
    QVERIFY(AddAppliedFolder(frame, AddCabinet));
    QVERIFY(document.Select(plant));
    CMy7100View *list = nullptr;
    QTRY_VERIFY((list = frame.findChild<CMy7100View *>()) != nullptr && list->isVisible());
    QTRY_COMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("Cabinet1"));
    QVERIFY(!list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    QCOMPARE(frame.CounterText(), QStringLiteral("2 Object(s)"));
    list->selectRow(1);
    QCOMPARE(frame.CounterText(), QStringLiteral("1 Object(s) selected"));
    // The tree paints its entries with the level's picture.
    auto *model = qobject_cast<DocumentTreeModel *>(frame.Tree()->model());
    QVERIFY(!model->data(model->indexOf(plant), Qt::DecorationRole).value<QIcon>().isNull());
}

void TestMainFrame::foldersAreRenamedInTheTree()
{
    ScriptedMessages messages;
    Window window;
    CMainFrame &frame = *window.frame;
    CMy7100Doc &document = window.project.session.Document();
    QVERIFY(window.project.selectProject());
    QVERIFY(AddAppliedFolder(frame, AddPlant));
    QVERIFY(window.project.selectProject());
    QVERIFY(AddAppliedFolder(frame, AddPlant));
    CLeftView *tree = frame.Tree();
    const ItemHandle second = document.CurrentItem();
    const auto editor = [tree, second] {
        return qobject_cast<QLineEdit *>(tree->indexWidget(tree->treeModel().indexOf(second)));
    };
    // Renamed in place in the tree.
    QVERIFY(tree->StartRename(second));
    QTRY_VERIFY(editor());
    editor()->setText(QStringLiteral("North"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QTRY_COMPARE(document.GetName(*document.FindItem(second)), QStringLiteral("North"));
    // The name of the folder beside it is refused, nothing changes and the
    // edit opens again.
    QVERIFY(tree->StartRename(second));
    editor()->setText(QStringLiteral("Plant1"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QTRY_VERIFY(!messages.texts().isEmpty());
    QTRY_VERIFY(editor());
    QTest::keyClick(editor(), Qt::Key_Escape);
    QTRY_COMPARE(document.FindItem(second)->editState(), EditState::Clean);
    QCOMPARE(document.GetName(*document.FindItem(second)), QStringLiteral("North"));
    QCOMPARE(document.FindItem(second)->editState(), EditState::Clean);
}

// Pressing the present mode hides the list beside a plant's item view; any
// mode brings it back in that mode.
void TestMainFrame::viewModesToggleTheListBesideTheItemView()
{
    Window window;
    CMainFrame &frame = *window.frame;
    CMy7100Doc &document = window.project.session.Document();
    QVERIFY(window.project.selectProject());
    QVERIFY(AddAppliedFolder(frame, AddPlant));
    QVERIFY(document.Select(document.CurrentItem()));
    const auto list = [&frame] { return frame.findChild<CMy7100View *>(); };
    QTRY_VERIFY(list() && frame.RightPane()->count() == 2);
    QVERIFY(frame.IsCommandEnabled(Details));
    QTRY_VERIFY(frame.Action(Details)->isChecked());
    QVERIFY(frame.RunCommand(Details));
    QTRY_COMPARE(frame.RightPane()->count(), 1);
    QVERIFY(!frame.RightPane()->widget(0)->inherits("CMy7100View"));
    QCOMPARE(ReadSetting(QStringLiteral("ListView")).toInt(), 0);
    // Without a list the modes still offer to show it.
    QVERIFY(frame.IsCommandEnabled(SmallIcons));
    QVERIFY(frame.RunCommand(SmallIcons));
    QTRY_COMPARE(frame.RightPane()->count(), 2);
    QCOMPARE(ReadSetting(QStringLiteral("ListView")).toInt(), 1);
    QCOMPARE(ReadSetting(QStringLiteral("ListViewStyle")).toInt(), int(C7100ListView::SmallIcons));
    QTRY_VERIFY(list() && list()->viewMode() == C7100ListView::SmallIcons);
    frame.IsCommandEnabled(SmallIcons);
    QVERIFY(frame.RunCommand(List));
    QTRY_VERIFY(list() && list()->viewMode() == C7100ListView::ListMode);
    QVERIFY(frame.RunCommand(Details));
    QTRY_VERIFY(list() && list()->viewMode() == C7100ListView::Details);
}

void TestMainFrame::busyFrameRunsNothing()
{
    Window window;
    CMainFrame &frame = *window.frame;
    frame.SetBusy(true);
    QVERIFY(!frame.Action(Interface)->isEnabled());
    QVERIFY(!frame.RunCommand(LiveValueColumn));
    QVERIFY(!frame.LiveValueColumnShown());
    frame.SetBusy(false);
    QVERIFY(frame.RunCommand(LiveValueColumn));
    QVERIFY(frame.LiveValueColumnShown());
    QVERIFY(frame.Action(LiveValueColumn)->isChecked());
    QVERIFY(frame.RunCommand(LiveValueColumn));
    QVERIFY(!frame.LiveValueColumnShown());
}

// At the window's first size the log keeps at least 60 of its characters in
// view beside the live-value panel, and the panel has the rest of the row.
void TestMainFrame::theLiveValueColumnLeavesTheLogReadable()
{
    Window window;
    CMainFrame &frame = *window.frame;
    QTRY_VERIFY(frame.findChild<QSplitter *>("BottomSplitter")->sizes().value(0) > 0);
    QVERIFY(frame.RunCommand(LiveValueColumn));
    QVERIFY(frame.LiveValueColumnShown());
    QApplication::processEvents();
    auto *output = frame.findChild<COutputView *>("COutputView");
    QVERIFY(output);
    const int sixtyCharacters = 60 * output->fontMetrics().averageCharWidth();
    QVERIFY2(output->viewport()->width() >= sixtyCharacters,
             qPrintable(QString("%1 < %2").arg(output->viewport()->width()).arg(sixtyCharacters)));
    auto *bottom = frame.findChild<QSplitter *>("BottomSplitter");
    QCOMPARE(bottom->count(), 2);
    QVERIFY(bottom->widget(1)->width() > 0);
    QVERIFY(bottom->sizes().value(0) + bottom->sizes().value(1) + bottom->handleWidth() >= bottom->width() - 1);
}

void TestMainFrame::multiplyRunsOnTheCurrentItem()
{
    Window window;
    CMainFrame &frame = *window.frame;
    CMy7100Doc &document = window.project.session.Document();
    QVERIFY(window.project.selectProject());
    // The one project has no copies.
    QVERIFY(!frame.IsCommandEnabled(Multiply));
    QVERIFY(AddAppliedFolder(frame, AddPlant));
    const ItemHandle plant = document.CurrentItem();
    QVERIFY(frame.IsCommandEnabled(Multiply));
    QVERIFY(frame.IsCommandEnabled(TreeMultiply));
    ScriptedMultiplyDialog dialog({"1", "3", "2", true, "Line", false});
    RecordedProgress progress;
    ScriptedMessages messages;
    QVERIFY(frame.RunCommand(Multiply));
    QCOMPARE(messages.texts(), QStringList{"3 items have been successfuly inserted.\n"});
    QCOMPARE(progress.lengths, std::vector<int>{3});
    auto *model = qobject_cast<DocumentTreeModel *>(frame.Tree()->model());
    const QModelIndex projectIndex = model->indexOf(window.project.projectHandle());
    QTRY_COMPARE(model->rowCount(projectIndex), 4);
    QVERIFY(FindItemByPath(document, "\\\\Project\\Line03"));
    QCOMPARE(document.CurrentItem(), plant);
    frame.SetBusy(true);
    QVERIFY(!frame.RunCommand(Multiply));
    frame.SetBusy(false);

    // Three of the copies selected in the list go after one question.
    QVERIFY(window.project.selectProject());
    CMy7100View *list = nullptr;
    QTRY_VERIFY((list = frame.findChild<CMy7100View *>()) != nullptr && list->isVisible());
    QStringList shown;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        shown << list->model()->index(row, 0).data().toString();
    QVERIFY(shown.contains("Line01"));
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    list->selectionModel()->clearSelection();
    for (const char *name : {"Line01", "Line02", "Line03"})
        list->selectionModel()->select(list->model()->index(int(shown.indexOf(name)), 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // Copy from the list takes the three rows together.
    QVERIFY(frame.RunCommand(EditCopy));
    const std::optional<TransferSet> copied = document.ReadTransferData(document.Clipboard().Contents());
    QVERIFY(copied);
    QCOMPARE(copied->containers.size(), size_t(3));
    messages.clear();
    messages.answer(MessageAnswer::Yes);
    QVERIFY(frame.RunCommand(Delete));
    QCOMPARE(messages.texts(), QStringList{"Are you sure you want to delete these 3 items ?"});
    QCOMPARE(progress.kinds.back(), ProgressKind::Deleting);
    QVERIFY(!FindItemByPath(document, "\\\\Project\\Line02"));
    QVERIFY(FindItemByPath(document, "\\\\Project\\Plant1"));
}

void TestMainFrame::placementComesFromAndGoesToTheSettings()
{
    Window window(false);
    window.settings.layout.setValue("XSize", 900);
    window.settings.layout.setValue("YSize", 700);
    window.settings.layout.setValue("SplitterSizeX", 250);
    window.settings.layout.setValue("OutputYSize", 400);
    CMainFrame frame(window.project.session, window.settings);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.size(), QSize(900, 700));
    auto *top = frame.findChild<QSplitter *>("TopSplitter");
    auto *rows = frame.findChild<QSplitter *>("RowSplitter");
    QTRY_COMPARE(top->sizes().value(0), 250);
    QCOMPARE(rows->sizes().value(0), 400);
    top->setSizes({300, 500});
    frame.resize(640, 480);
    frame.close();
    QCOMPARE(window.settings.layout.intValue("SplitterSizeX"), 300);
    QCOMPARE(window.settings.layout.intValue("XSize"), 640);
}

void TestMainFrame::panesAndContextHelp()
{
    Window window;
    CMainFrame &frame = *window.frame;
    frame.activateWindow();
    frame.Tree()->setFocus();
    QTRY_VERIFY(frame.Tree()->hasFocus());
    QCOMPARE(frame.ContextHelpTopic(), HelpTopics::kTreeView);
    // F6 goes through the right pane's views to the output log and round
    // again.
    for (int view = 0; view < frame.RightPane()->count(); ++view) {
        QVERIFY(frame.RunCommand(NextPane));
        QWidget *pane = frame.RightPane()->widget(view);
        QVERIFY(QApplication::focusWidget() == pane || pane->isAncestorOf(QApplication::focusWidget()));
        // The list and the item forms have their own help pages.
        const int topic = qobject_cast<CMy7100View *>(pane) ? HelpTopics::kListView
                          : qobject_cast<CTagView *>(pane)  ? HelpTopics::kItemForm
                                                            : HelpTopics::kContents;
        QCOMPARE(frame.ContextHelpTopic(), topic);
    }
    QVERIFY(frame.RunCommand(NextPane));
    QCOMPARE(QApplication::focusWidget(), frame.Output());
    QCOMPARE(frame.ContextHelpTopic(), HelpTopics::kOutputLog);
    QVERIFY(frame.RunCommand(NextPane));
    QVERIFY(frame.Tree()->hasFocus());
    QVERIFY(frame.RunCommand(PrevPane));
    QCOMPARE(QApplication::focusWidget(), frame.Output());
    QVERIFY(frame.RunCommand(ContextHelp));
    QVERIFY(frame.Help()->isVisible());
}

void TestMainFrame::printCommandsOpenThePreviewOfTheirReport()
{
    {
        Window closed(false);
        QVERIFY(!closed.frame->Action(PrintProject)->isEnabled());
    }
    Window window;
    CMainFrame &frame = *window.frame;
    QVERIFY(window.project.selectProject());
    frame.SetBusy(false);
    QVERIFY(frame.Action(PrintProject)->isEnabled());
    QVERIFY(!frame.Action(ModuleInformation)->isEnabled());
    QVERIFY(!frame.Action(ModuleDataCard)->isEnabled());
    QCOMPARE(frame.Action(ModuleInformation)->text(), QString("Module information"));
    QVERIFY(frame.RunCommand(PrintProject));
    C7100Preview *preview = frame.Previews()->Preview();
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->Report().Mode(), PrintMode::ProjectOutput);
    QVERIFY(preview->Report().DocumentName() == "Project output");
    preview->close();
    QVERIFY(!frame.RunCommand(ModuleDataCard));
}

void TestMainFrame::projectOpenForReadingOffersNoWritingCommand()
{
    Window window(false);
    ShellTestProject &project = window.project;
    const QString link = project.dir.filePath("plant.udl");
    QFile file(link);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
               "Provider=SQLite;Data Source=plant.prj;Mode=Read\r\n");
    file.close();
    QFile prj(project.path);
    QVERIFY(prj.open(QIODevice::ReadOnly));
    const QByteArray before = prj.readAll();
    prj.close();
    QVERIFY(project.session.Commands().OnOpenDocument(link));
    CMainFrame &frame = *window.frame;
    QVERIFY(project.selectProject());
    for (const int id : {int(AddPlant), int(Delete), int(Rename), int(EditPaste), int(EditCut), int(Multiply)})
        QVERIFY2(!frame.IsCommandEnabled(id), qPrintable(QString::number(id)));
    QVERIFY(frame.IsCommandEnabled(PrintProject));
    ScriptedMessages messages;
    QVERIFY(!frame.RunCommand(AddPlant));
    // The form of the project takes no typing.
    QVERIFY(project.selectProject());
    Item *root = project.session.Document().FindItem(project.session.Document().CurrentItem());
    QVERIFY(root);
    QVERIFY(!project.session.Document().BeginEdit(*root));
    QVERIFY(prj.open(QIODevice::ReadOnly));
    QCOMPARE(prj.readAll(), before);
}

QTEST_MAIN(TestMainFrame)
#include "test_main_frame.moc"
