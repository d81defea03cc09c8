#include "base/command_ids.h"
#include "shell/main_menu.h"
#include "base/settings.h"
#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_window.h"
#include "tree/document_tree_model.h"
#include "tree/drag_drop_presenter.h"
#include "tree/hierarchy_strings.h"
#include "tree/tree_view_logic.h"
#include "tree/widgets/item_form_view.h"
#include "tree/widgets/my7100_view.h"
#include "tree/widgets/system_clipboard.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>

#include <QtTest>

using namespace CommandId;

// The item forms in the program window: where the right pane puts them,
// the keys while one is active, and the question before its item is left.
class TestMainFrameForms : public QObject {
    Q_OBJECT
private slots:
    void init();
    void formStandsBelowTheListOrAlone();
    void formKeysReachTheFieldsAndEscapeResets();
    void leavingTheItemAppliesOnYes();
    void renamingInTheTreeAsksBeforeReloading();
    void rightClickShowsTheFormsMenu();
    void formTakesADropUnderItsItem();

private:
    struct Window : ShellTestWindow {
        Window() : ShellTestWindow({.plant = true}) {}
        CTagView *form() const { return rightView<CTagView>(); }
        QStringList rightPane() const
        {
            QStringList classes;
            for (int i = 0; i < frame->RightPane()->count(); ++i)
                classes << frame->RightPane()->widget(i)->objectName();
            return classes;
        }
        void select(ItemHandle handle)
        {
            QVERIFY(document().Select(handle));
            QCoreApplication::processEvents();
        }
        void focus(QWidget *widget)
        {
            widget->setFocus();
            QTRY_VERIFY(widget->hasFocus());
        }
    };
};

void TestMainFrameForms::init()
{
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestMainFrameForms::formStandsBelowTheListOrAlone()
{
    Window window;
    window.select(window.project.projectHandle());
    QCOMPARE(window.rightPane(), (QStringList{"CMy7100View", "CProjectRootView"}));
    QVERIFY(qobject_cast<CMy7100View *>(window.frame->RightPane()->widget(0)));
    // F11 takes the form away and brings it back below the list.
    QVERIFY(window.frame->RunCommand(DialogView));
    QCOMPARE(window.rightPane(), QStringList{"CMy7100View"});
    QVERIFY(!window.form());
    QVERIFY(!window.frame->Action(DialogView)->isChecked());
    QVERIFY(window.frame->RunCommand(DialogView));
    QCOMPARE(window.rightPane(), (QStringList{"CMy7100View", "CProjectRootView"}));
    // Without the list the form stands alone; a plant shows its own form.
    window.document().ListRowClosed();
    window.select(window.plant);
    QCOMPARE(window.rightPane(), QStringList{"CEquipmentView"});
}

void TestMainFrameForms::formKeysReachTheFieldsAndEscapeResets()
{
    ScriptedMessages messages;
    Window window;
    window.select(window.project.projectHandle());
    CTagView *form = window.form();
    QVERIFY(form);
    auto *company = form->findChild<QLineEdit *>("1064");
    QVERIFY(company && company->isEnabled());
    window.focus(company);
    QCOMPARE(window.frame->ActiveAccelerators(), &MainMenu::FormAccelerators());
    QVERIFY(!window.frame->Action(EditCopy)->shortcuts().contains(QKeySequence("Ctrl+C")));
    QVERIFY(!window.frame->Action(DeleteKey)->shortcuts().contains(QKeySequence("Del")));
    QVERIFY(window.frame->Action(FormReset)->shortcuts().contains(QKeySequence("Esc")));

    QTest::keyClicks(company, "ACME");
    QCOMPARE(window.document().FindItem(window.project.projectHandle())->editState(), EditState::Modified);
    // Delete removes a character of the field and leaves the project alone.
    QTest::keyClick(company, Qt::Key_Home);
    QTest::keyClick(company, Qt::Key_Delete);
    QCOMPARE(company->text(), QStringLiteral("CME"));
    QVERIFY(messages.shown().empty());
    // Copy with no selection is disabled; with a selection it copies text.
    QVERIFY(!window.frame->IsCommandEnabled(EditCopy));
    company->selectAll();
    QVERIFY(window.frame->IsCommandEnabled(EditCopy));
    // Escape is "Reset".
    QTest::keyClick(company, Qt::Key_Escape);
    QCOMPARE(company->text(), QString());
    QCOMPARE(window.document().FindItem(window.project.projectHandle())->editState(), EditState::Clean);
    QVERIFY(!window.document().IsModified());
    // The tree has the main table again.
    window.focus(window.frame->Tree());
    QCOMPARE(window.frame->ActiveAccelerators(), &MainMenu::Accelerators());
    QVERIFY(window.frame->Action(EditCopy)->shortcuts().contains(QKeySequence("Ctrl+C")));
    QVERIFY(window.frame->Action(FormReset)->shortcuts().isEmpty());
}

void TestMainFrameForms::leavingTheItemAppliesOnYes()
{
    ScriptedMessages messages;
    Window window;
    window.select(window.plant);
    CTagView *form = window.form();
    QVERIFY(form);
    auto *description = form->findChild<QPlainTextEdit *>("1042");
    QTest::keyClicks(description, "Boiler house");
    messages.answer(MessageAnswer::Yes);
    window.select(window.project.projectHandle());
    QCOMPARE(messages.texts().size(), 1);
    Item *plant = window.document().FindItem(window.plant);
    QCOMPARE(plant->editState(), EditState::Clean);
    QCOMPARE(window.document().GetValue(*plant, "Description", true).toString(),
             QStringLiteral("Boiler house"));
    QVERIFY(!window.document().IsModified());
    // Cancel keeps the plant and its typed text.
    window.select(window.plant);
    description = window.form()->findChild<QPlainTextEdit *>("1042");
    QCOMPARE(description->toPlainText(), QStringLiteral("Boiler house"));
    description->moveCursor(QTextCursor::End);
    QTest::keyClicks(description, " B");
    messages.answer(MessageAnswer::Cancel);
    QVERIFY(!window.document().Select(window.project.projectHandle()));
    QCOMPARE(window.document().CurrentItem(), window.plant);
    QCOMPARE(description->toPlainText(), QStringLiteral("Boiler house B"));
}

void TestMainFrameForms::renamingInTheTreeAsksBeforeReloading()
{
    ScriptedMessages messages;
    Window window;
    window.select(window.plant);
    auto *description = window.form()->findChild<QPlainTextEdit *>("1042");
    QTest::keyClicks(description, "typed");
    // The tree's in-place rename, as its label edit ends.
    TreeViewLogic tree(window.document());
    Item *plant = window.document().FindItem(window.plant);
    QVERIFY(tree.BeginLabelEdit(*plant));
    messages.answer(MessageAnswer::No);
    QCOMPARE(tree.EndLabelEdit(window.plant, QStringLiteral("Plant North"), {}), TreeViewLogic::LabelEnd::Stored);
    QCOMPARE(messages.texts().size(), 1);
    QVERIFY(messages.texts().front().startsWith("Edited Item has been changed outside of dialog view."));
    QCOMPARE(window.document().GetName(*plant), QStringLiteral("Plant North"));
    QCOMPARE(plant->editState(), EditState::Modified);
    QCOMPARE(description->toPlainText(), QStringLiteral("typed"));
    QVERIFY(window.form()->findChild<QPushButton *>("40200")->isEnabled());
}

void TestMainFrameForms::rightClickShowsTheFormsMenu()
{
    Window window;
    window.select(window.plant);
    CTagView *form = window.form();
    QVERIFY(form);
    // A right click on the form's empty area (not in a text field).
    QWidget *page = form->widget();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 200), page->mapToGlobal(QPoint(300, 200)));
    QApplication::sendEvent(page, &click);
    auto *menu = window.frame->findChild<QMenu *>("24624");
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    QStringList commands;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            commands << (action->menu() ? action->menu()->objectName() : action->objectName());
    QCOMPARE(commands, (QStringList{"40102", "40000", "57635", "57634", "57637", "59408", "59410", "59411", "40042"}));
    QVERIFY(window.frame->Action(DialogView)->isChecked());
    menu->close();
}

void TestMainFrameForms::formTakesADropUnderItsItem()
{
    Window window;
    window.select(window.project.projectHandle());
    CTagView *form = window.form();
    QVERIFY(form);
    CMy7100Doc &document = window.document();
    DragDropPresenter source(document);
    const std::optional<TransferPayload> payload = source.StartDrag({window.plant}, true, {});
    QVERIFY(payload);
    std::unique_ptr<QMimeData> data(MakeTransferMimeData(*payload));
    const auto drop = [&](Qt::KeyboardModifiers modifiers) {
        const QPoint at = form->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::RightButton, modifiers);
        QApplication::sendEvent(form->viewport(), &enter);
        QDropEvent event(at, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::RightButton, modifiers);
        QApplication::sendEvent(form->viewport(), &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    };
    const auto plants = [&document] {
        return document.FindContainer(document.CurrentItem())->containerChildren().size();
    };
    const size_t before = plants();
    // The one drop menu asks: Cancel drops nothing, Copy Here copies
    // although the plain drop proposed a move.
    std::vector<DropMenuChoice> offers;
    std::vector<DropChoice> answers{DropChoice::Cancel, DropChoice::Copy};
    auto previous = DropMenuService::setPresenter([&](const DropMenuChoice &offer) {
        offers.push_back(offer);
        const DropChoice choice = answers.front();
        answers.erase(answers.begin());
        return choice;
    });
    QCOMPARE(drop(Qt::NoModifier), Qt::IgnoreAction);
    QCOMPARE(plants(), before);
    QCOMPARE(drop(Qt::NoModifier), Qt::CopyAction);
    DropMenuService::setPresenter(std::move(previous));
    QCOMPARE(plants(), before + 1);
    QCOMPARE(offers.size(), size_t(2));
    QVERIFY(offers[0].entries == (std::vector<DropEffect>{DropEffect::Move, DropEffect::Copy}));
    QCOMPARE(offers[0].proposed, DropEffect::Move);
    source.DragFinished(DropEffect::Copy);
    QVERIFY(document.FindItem(window.plant));

    // A cabinet's form takes no plant.
    ContainerItem *plant = document.FindContainer(window.plant);
    Item *cabinet = document.CreateItem(*plant, HierarchyStrings::CabinetName);
    QVERIFY(cabinet && document.SetValue(*cabinet, "Name", "Cabinet1", true) && document.Save(*cabinet));
    window.select(cabinet->handle());
    form = window.form();
    QVERIFY(form);
    QCOMPARE(drop(Qt::ControlModifier), Qt::IgnoreAction);
    QCOMPARE(document.FindContainer(cabinet->handle())->containerChildren().size(), size_t(0));
}

QTEST_MAIN(TestMainFrameForms)
#include "test_main_frame_forms.moc"
