#include "base/command_ids.h"
#include "base/settings.h"
#include "shell/first_start_layout.h"
#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_window.h"
#include "support/captured_log.h"
#include "tree/document_tree_model.h"
#include "tree/hierarchy_strings.h"
#include "tree/multiply_test_support.h"
#include "tree/widgets/item_form_view.h"
#include "tree/widgets/my7100_view.h"

#include "tree/hierarchy_test_support.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QStatusBar>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QtTest>

using namespace CommandId;

// What the panes of the program window do with the keys and menus: the
// list's own selection, the forms' fields, the context menus.
class TestMainFramePanes : public QObject {
    Q_OBJECT
private slots:
    void init();
    void renameAndMultiplyKeysActOnTheListsSelection();
    void nextPaneOntoAFormFocusesItsFirstField();
    void editMenuFromTheKeyboardKeepsTheFieldsClipboardState();
    void contextMenusOfferModuleTypesAndCheckTheViewModes();
    void folderMadeByAddNewIsLoggedAsMade();
    void statusBarPromptsSaysReadyAndShowsTheLocks();
    void panesTakeTheirSizesOnceTheWindowIsShown();
    void firstStartFitsTheScreenAndTheStoredPlacementWinsAfterwards();
    void fileMenuMakesTheProjectActiveAndShowsTheConnection();
    void aPlantsFormKeepsItsButtonsInViewUnderTheList();

private:
    struct Window : ShellTestWindow {
        Window() : ShellTestWindow({.link = true}) { QVERIFY(QTest::qWaitForWindowActive(frame.get())); }
        // A plant by Add New, its name taken as proposed and applied.
        ItemHandle addPlant()
        {
            if (!project.selectProject() || !AddAppliedFolder(*frame, AddPlant))
                return 0;
            return document().CurrentItem();
        }
        CTagView *form() const { return frame->findChild<CTagView *>(); }
        // The open label edit of a view, if any.
        static QLineEdit *editorIn(QWidget *view)
        {
            for (QLineEdit *editor : view->findChildren<QLineEdit *>())
                if (editor->isVisible())
                    return editor;
            return nullptr;
        }
        QLineEdit *treeEditor() const { return editorIn(frame->Tree()); }
        CMy7100View *list() const { return frame->findChild<CMy7100View *>(); }
        int rowOf(const QString &name) const
        {
            const QAbstractItemModel *model = list()->model();
            for (int row = 0; row < model->rowCount(); ++row)
                if (model->index(row, 0).data().toString() == name)
                    return row;
            return -1;
        }
        // Selects one row of the list and gives the list the focus.
        void selectRow(const QString &name)
        {
            QTRY_VERIFY(list() && list()->isVisible() && rowOf(name) >= 0);
            QAbstractItemView *view = list()->currentView();
            view->setFocus();
            QTRY_VERIFY(view->hasFocus());
            list()->selectionModel()->clearSelection();
            list()->selectRow(rowOf(name));
        }
    };
};

void TestMainFramePanes::init()
{
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestMainFramePanes::renameAndMultiplyKeysActOnTheListsSelection()
{
    Window window;
    CMy7100Doc &document = window.document();
    QVERIFY(window.addPlant());
    const ItemHandle second = window.addPlant();
    QVERIFY(second);
    QVERIFY(window.project.selectProject());
    QCoreApplication::processEvents();

    // Ctrl+R opens the edit on the list's row, not on the tree's project.
    window.selectRow(QStringLiteral("Plant2"));
    QAbstractItemView *view = window.list()->currentView();
    // The menu's states follow the focus once the window is idle.
    QTRY_VERIFY(window.frame->Action(Rename)->isEnabled());
    QTest::keyClick(view, Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(Window::editorIn(view));
    QVERIFY(!window.treeEditor());
    QLineEdit *editor = Window::editorIn(view);
    editor->setText(QStringLiteral("Line2"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(document.GetName(*document.FindItem(second)), QStringLiteral("Line2"));
    QCOMPARE(document.CurrentItem(), window.project.projectHandle());

    // Ctrl+M multiplies the selected row, which the project (current) could
    // not be.
    window.selectRow(QStringLiteral("Plant1"));
    QVERIFY(window.frame->IsCommandEnabled(Multiply));
    ScriptedMultiplyDialog dialog({"1", "2", "2", true, "Copy", false});
    RecordedProgress progress;
    ScriptedMessages messages;
    QVERIFY(window.frame->RunCommand(Multiply));
    QCOMPARE(dialog.openedWith, QStringLiteral("Plant1"));
    QCOMPARE(progress.lengths, std::vector<int>{2});

    // Without a selected row the keys stay with the current item.
    window.list()->selectionModel()->clearSelection();
    QVERIFY(!window.frame->IsCommandEnabled(Multiply));
}

void TestMainFramePanes::nextPaneOntoAFormFocusesItsFirstField()
{
    Window window;
    QVERIFY(window.project.selectProject());
    QCoreApplication::processEvents();
    QTRY_VERIFY(window.form());
    auto *company = window.form()->findChild<QLineEdit *>("1064");
    QVERIFY(company && company->isEnabled());
    window.frame->Tree()->setFocus();
    QTRY_VERIFY(window.frame->Tree()->hasFocus());
    // Tree, list, form: the keys that follow are typed into the first field.
    QVERIFY(window.frame->RunCommand(NextPane));
    QVERIFY(window.frame->RunCommand(NextPane));
    QTRY_COMPARE(QApplication::focusWidget(), company);
    QTest::keyClicks(QApplication::focusWidget(), "ACME");
    QCOMPARE(company->text(), QStringLiteral("ACME"));
    // Backwards from the log the form takes the focus into its field too.
    QVERIFY(window.frame->RunCommand(NextPane));
    QVERIFY(window.frame->RunCommand(PrevPane));
    QTRY_COMPARE(QApplication::focusWidget(), company);
}

void TestMainFramePanes::editMenuFromTheKeyboardKeepsTheFieldsClipboardState()
{
    ScriptedMessages messages;
    Window window;
    const ItemHandle plant = window.addPlant();
    QVERIFY(plant);
    QVERIFY(window.document().Select(plant));
    QTRY_VERIFY(window.form());
    auto *description = window.form()->findChild<QPlainTextEdit *>("1042");
    QVERIFY(description && description->isEnabled());
    description->setFocus();
    QTRY_VERIFY(description->hasFocus());
    // The plant itself could be copied; the field with no selected text
    // decides, also while Alt+E has the menu bar.
    QVERIFY(window.document().CanCopy(window.document().FindItem(plant)));
    QTest::keyClicks(description, "Boiler");
    QMenu *edit = window.frame->menuBar()->actions().at(1)->menu();
    const auto openEditMenu = [&] {
        QTest::keyClick(description, Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(edit->isVisible());
    };
    openEditMenu();
    QVERIFY(!window.frame->Action(EditCopy)->isEnabled());
    QVERIFY(!window.frame->Action(EditCut)->isEnabled());
    edit->close();
    QTRY_VERIFY(!edit->isVisible());
    description->setFocus();
    QTRY_VERIFY(description->hasFocus());
    description->selectAll();
    openEditMenu();
    QVERIFY(window.frame->Action(EditCopy)->isEnabled());
    QVERIFY(window.frame->Action(EditCut)->isEnabled());
    edit->close();
}

void TestMainFramePanes::contextMenusOfferModuleTypesAndCheckTheViewModes()
{
    ScriptedModuleDialog dialog;
    Window window;
    CMy7100Doc &document = window.document();
    QVERIFY(window.project.selectProject());
    QCoreApplication::processEvents();
    Item *project = document.FindItem(window.project.projectHandle());
    std::unique_ptr<QMenu> menu(window.frame->Tree()->BuildContextMenu(*project, window.frame.get()));
    QVERIFY(menu);
    const auto entry = [](QMenu &in, int id) { return in.findChild<QAction *>(QString::number(id)); };
    // The list shows details beside the project's form: as in the View menu,
    // whose marks follow once the window is idle.
    QTRY_VERIFY(window.frame->Action(Details)->isChecked());
    for (const int id : {SmallIcons, List, Details, DialogView}) {
        QVERIFY2(entry(*menu, id) && entry(*menu, id)->isCheckable(), qPrintable(QString::number(id)));
        QCOMPARE(entry(*menu, id)->isChecked(), window.frame->Action(id)->isChecked());
    }
    QVERIFY(entry(*menu, Details)->isChecked());
    QVERIFY(entry(*menu, DialogView)->isChecked());
    QVERIFY(!entry(*menu, List)->isChecked());

    // Add New holds the folders and the module types of each family.
    auto *addNew = menu->findChild<QMenu *>(QString::number(AddNewBuilder));
    QVERIFY(addNew);
    emit addNew->aboutToShow();
    QStringList submenus;
    for (QAction *action : addNew->actions())
        if (action->menu()) {
            submenus << action->menu()->objectName();
            QVERIFY(action->isEnabled());
        }
    QCOMPARE(submenus, (QStringList{"32773", "32900", "20000", "21000"}));
    auto *types7210 = addNew->findChild<QMenu *>(QString::number(AddModule7210First));
    emit types7210->aboutToShow();
    QCOMPARE(types7210->actions().size(),
             int(window.project.session.Catalogues().Rows("ModuleTypes7210").size()));
    for (const QAction *type : types7210->actions())
        QVERIFY2(type->text().startsWith("Module - "), qPrintable(type->text()));
    // Choosing a type makes that module below the project, once.
    DocumentTreeModel &model = window.frame->Tree()->treeModel();
    const int childrenBefore = model.rowCount(model.indexOf(window.project.projectHandle()));
    // (A menu hears the entries of its submenus too, as Qt tells them.)
    QAction *chosen = types7210->actions().at(1);
    chosen->trigger();
    emit menu->triggered(chosen);
    Item *module = document.FindItem(document.CurrentItem());
    QVERIFY(module && CMy7100Doc::IsModule(*module));
    QCOMPARE(document.GetValue(*module, "ModulTypID", true).toInt(), 34);
    QCOMPARE(module->parent()->handle(), window.project.projectHandle());
    QTRY_COMPARE(model.rowCount(model.indexOf(window.project.projectHandle())), childrenBefore + 1);

    // On a module no entry of Add New makes anything: all are greyed.
    std::unique_ptr<QMenu> onModule(window.frame->Tree()->BuildContextMenu(*module, window.frame.get()));
    auto *greyed = onModule->findChild<QMenu *>(QString::number(AddNewBuilder));
    emit greyed->aboutToShow();
    for (QAction *action : greyed->actions())
        if (action->menu())
            QVERIFY2(!action->isEnabled(), qPrintable(action->menu()->objectName()));
}

void TestMainFramePanes::folderMadeByAddNewIsLoggedAsMade()
{
    Window window;
    CapturedLog log; // after the window's own log, so that it is the active one
    QVERIFY(window.project.selectProject());
    // Named in place while still new: one line says it was made.
    QVERIFY(window.frame->RunCommand(AddPlant));
    const ItemHandle made = window.document().CurrentItem();
    QVERIFY(window.frame->Tree()->StartRename(made));
    QTRY_VERIFY(window.treeEditor());
    QLineEdit *editor = window.treeEditor();
    editor->setText(QStringLiteral("Boiler house"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(log.lines.filter("Folder").join("|"), QStringLiteral("Folder 'Boiler house' was created."));
    // Stored by its form's Apply: the same line with the proposed name.
    QVERIFY(window.addPlant());
    QTRY_COMPARE(log.lines.filter("Folder").join("|"),
                 QStringLiteral("Folder 'Boiler house' was created.|Folder 'Plant2' was created."));
    // Renamed later: the line says so.
    QVERIFY(window.frame->Tree()->StartRename(made));
    QTRY_VERIFY(window.treeEditor());
    window.treeEditor()->setText(QStringLiteral("Pump house"));
    QTest::keyClick(window.treeEditor(), Qt::Key_Return);
    QTRY_VERIFY(log.lines.filter("Folder").size() == 3);
    QVERIFY(log.lines.filter("Folder").last().contains("Pump house"));
}

void TestMainFramePanes::statusBarPromptsSaysReadyAndShowsTheLocks()
{
    Window window;
    QStatusBar *bar = window.frame->statusBar();
    QCOMPARE(bar->currentMessage(), QStringLiteral("Ready"));
    // A highlighted entry shows its prompt; once the menu closes, "Ready".
    QMenu *file = window.frame->menuBar()->actions().at(0)->menu();
    file->popup(window.frame->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(file->isVisible());
    file->setActiveAction(window.frame->Action(FileNew));
    QTRY_COMPARE(bar->currentMessage(), QStringLiteral("Create a new project"));
    file->close();
    QTRY_COMPARE(bar->currentMessage(), QStringLiteral("Ready"));
    QVERIFY(!window.frame->Action(FileOpen)->statusTip().isEmpty());
    QVERIFY(!window.frame->Action(Rename)->statusTip().isEmpty());

    // The context menus of the tree and of the list prompt in the same bar:
    // their popups are windows of their own, parented to their views.
    QVERIFY(window.addPlant());
    QVERIFY(window.project.selectProject());
    QCoreApplication::processEvents();
    Item *project = window.document().FindItem(window.project.projectHandle());
    auto *list = window.frame->findChild<CMy7100View *>();
    QVERIFY(project && list);
    std::unique_ptr<QMenu> treeMenu(window.frame->Tree()->BuildContextMenu(*project, window.frame->Tree()));
    QTRY_VERIFY(list->currentView()->model() && list->currentView()->model()->rowCount() > 0);
    list->currentView()->setCurrentIndex(list->currentView()->model()->index(0, 0));
    std::unique_ptr<QMenu> rowMenu(list->BuildContextMenu(true, list));
    std::unique_ptr<QMenu> spaceMenu(list->BuildContextMenu(false, list));
    for (QMenu *menu : {treeMenu.get(), rowMenu.get(), spaceMenu.get()}) {
        QVERIFY(menu);
        QAction *entry = nullptr;
        for (QAction *action : menu->actions())
            if (!entry && action->isEnabled() && !action->isSeparator() && !action->statusTip().isEmpty())
                entry = action;
        QVERIFY2(entry, qPrintable(menu->objectName()));
        menu->popup(window.frame->mapToGlobal(QPoint(40, 40)));
        QTRY_VERIFY(menu->isVisible());
        menu->setActiveAction(entry);
        QTRY_COMPARE(bar->currentMessage(), entry->statusTip());
        menu->close();
        QTRY_COMPARE(bar->currentMessage(), QStringLiteral("Ready"));
    }

    // The lock panes follow the keys wherever they are pressed.
    auto *caps = bar->findChild<QLabel *>("CAP");
    auto *num = bar->findChild<QLabel *>("NUM");
    auto *scroll = bar->findChild<QLabel *>("SCRL");
    QVERIFY(caps && num && scroll);
    QCOMPARE(caps->text(), QString());
    QWidget *tree = window.frame->Tree();
    QTest::keyClick(tree, Qt::Key_CapsLock);
    QCOMPARE(caps->text(), QStringLiteral("CAP"));
    QTest::keyClick(tree, Qt::Key_CapsLock);
    QCOMPARE(caps->text(), QString());
    QTest::keyClick(tree, Qt::Key_ScrollLock);
    QCOMPARE(scroll->text(), QStringLiteral("SCRL"));
    // A capital typed without Shift tells that Caps Lock is on.
    QTest::keyClick(tree, Qt::Key_A, Qt::NoModifier);
    QCOMPARE(caps->text(), QString());
    QKeyEvent capital(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("A"));
    QApplication::sendEvent(tree, &capital);
    QCOMPARE(caps->text(), QStringLiteral("CAP"));
    QKeyEvent keypadDigit(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier, QStringLiteral("7"));
    QApplication::sendEvent(tree, &keypadDigit);
    QCOMPARE(num->text(), QStringLiteral("NUM"));
    QKeyEvent keypadHome(QEvent::KeyPress, Qt::Key_Home, Qt::KeypadModifier);
    QApplication::sendEvent(tree, &keypadHome);
    QCOMPARE(num->text(), QString());
}

// A message shown before the window (a remembered project that is gone)
// lets the frame's events run while it has no size yet; the stored pane
// sizes still hold once it is shown, and a window never shown stores none.
void TestMainFramePanes::panesTakeTheirSizesOnceTheWindowIsShown()
{
    ShellTestProject project;
    QVERIFY(project.open());
    {
        AppSettings settings;
        settings.layout.setValue(QStringLiteral("SplitterSizeX"), 230);
        settings.layout.setValue(QStringLiteral("OutputYSize"), 300);
        settings.layout.setValue(QStringLiteral("XSize"), 900);
        settings.layout.setValue(QStringLiteral("YSize"), 700);
        CMainFrame frame(project.session, settings);
        QTest::qWait(50);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const auto *top = frame.findChild<QSplitter *>("TopSplitter");
        const auto *rows = frame.findChild<QSplitter *>("RowSplitter");
        QTRY_COMPARE(top->sizes().value(0), 230);
        QTRY_COMPARE(rows->sizes().value(0), 300);
    }
    AppSettings unshown;
    unshown.layout.setValue(QStringLiteral("SplitterSizeX"), 230);
    {
        CMainFrame frame(project.session, unshown);
        QTest::qWait(50);
        frame.close();
    }
    QCOMPARE(unshown.layout.intValue(QStringLiteral("SplitterSizeX")), 230);
}

// Without a placement of the user's the window takes most of the screen,
// centred, and the tree room for a module under a zelnor-carrier; what the
// user leaves behind is the placement of the next start.
void TestMainFramePanes::firstStartFitsTheScreenAndTheStoredPlacementWinsAfterwards()
{
    ShellTestProject project;
    QVERIFY(project.open());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        AppSettings settings;
        settings.Load();
        CMainFrame frame(project.session, settings);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const FirstStartLayout first = FirstStartLayout::For(
            screen, frame.Tree()->fontMetrics().averageCharWidth(), frame.Tree()->indentation());
        QCOMPARE(frame.geometry(), first.window);
        QCOMPARE(frame.width(), screen.width() * 80 / 100);
        QVERIFY(qAbs(frame.geometry().center().x() - screen.center().x()) <= 1);
        const auto *top = frame.findChild<QSplitter *>("TopSplitter");
        QTRY_COMPARE(top->sizes().value(0), first.treeWidth);
        const int characters = frame.Tree()->fontMetrics().averageCharWidth();
        QVERIFY(first.treeWidth >= 4 * frame.Tree()->indentation() + 20 * characters);
        frame.move(screen.topLeft() + QPoint(10, 20));
        frame.resize(500, 400);
        frame.close();
        StartupSequence::Exit(settings);
    }
    AppSettings settings;
    settings.Load();
    QVERIFY(settings.layout.holdsPlacement());
    CMainFrame frame(project.session, settings);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.size(), QSize(500, 400));
    const auto *top = frame.findChild<QSplitter *>("TopSplitter");
    QTRY_VERIFY(top->sizes().value(0) > 0);
    QCOMPARE(top->sizes().value(0), settings.layout.intValue(QStringLiteral("SplitterSizeX")));
}

// In a window of the size a first start gives on a 1366 x 768 screen, with
// the rows in their first-start proportions, a plant's form under the list
// of its children shows its Apply button whole, without scrolling.
void TestMainFramePanes::aPlantsFormKeepsItsButtonsInViewUnderTheList()
{
    ShellTestProject project;
    QVERIFY(project.open());
    CMy7100Doc &document = project.session.Document();
    Item *plant = document.CreateItem(*document.FindContainer(project.projectHandle()), HierarchyStrings::PlantName);
    QVERIFY(plant && document.SetValue(*plant, "Name", "Plant1", true) && document.Save(*plant));
    AppSettings settings;
    for (const auto &[name, value] : {std::pair{"XPos", 0}, {"YPos", 0}, {"XSize", 1092}, {"YSize", 592}})
        settings.layout.setValue(QString::fromLatin1(name), value);
    CMainFrame frame(project.session, settings);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(document.Select(plant->handle()));
    CTagView *form = nullptr;
    QPushButton *apply = nullptr;
    QTRY_VERIFY((form = frame.findChild<CTagView *>()) && (apply = form->findChild<QPushButton *>("40200")) &&
                apply->isVisible());
    const auto inView = [&] {
        return form->viewport()->rect().contains(QRect(apply->mapTo(form->viewport(), QPoint(0, 0)), apply->size()));
    };
    QTRY_VERIFY2(inView(), qPrintable(QString("Apply at %1 of a form %2 high")
                                          .arg(apply->mapTo(form->viewport(), QPoint(0, 0)).y())
                                          .arg(form->viewport()->height())));
}

void TestMainFramePanes::fileMenuMakesTheProjectActiveAndShowsTheConnection()
{
    Window window;
    QMenu *file = window.frame->menuBar()->actions().at(0)->menu();
    QVERIFY(file->actions().contains(window.frame->Action(MakeActive)));
    QVERIFY(file->actions().contains(window.frame->Action(ShowConnectionProperties)));
    QCOMPARE(window.frame->Action(MakeActive)->text(), QStringLiteral("Make current database active"));
    QCOMPARE(window.frame->Action(ShowConnectionProperties)->text(), QStringLiteral("Connection Properties"));
    QVERIFY(window.frame->IsCommandEnabled(ShowConnectionProperties));
    // Another start file remembered: the open project can be made the one.
    ConfigurationSettings configuration;
    configuration.load();
    configuration.setValue(QStringLiteral("FileName"), QStringLiteral("/elsewhere/other.prj"));
    configuration.save();
    QVERIFY(window.frame->IsCommandEnabled(MakeActive));
    QVERIFY(window.frame->RunCommand(MakeActive));
    configuration.load();
    QCOMPARE(configuration.textValue(QStringLiteral("FileName")), window.project.path);
    QVERIFY(!window.frame->IsCommandEnabled(MakeActive));
}

QTEST_MAIN(TestMainFramePanes)
#include "test_main_frame_panes.moc"
