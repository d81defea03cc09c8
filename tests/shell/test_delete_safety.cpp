#include "base/command_ids.h"
#include "base/settings.h"
#include "pages/widgets/chanel_tab_view.h"
#include "shell/main_menu.h"
#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_window.h"
#include "tree/hierarchy_strings.h"
#include "tree/hierarchy_test_support.h"

#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QRadioButton>
#include <QSplitter>
#include <QTabBar>

#include <QtTest>

using namespace CommandId;

// Keys pressed on a parameter page stay with its controls: the module they
// show is never deleted, copied or cut by them. Every question before a
// deletion has No as its default, so that Enter keeps the data.
class TestDeleteSafety : public QObject {
    Q_OBJECT
private slots:
    void init();
    void pageKeysLeaveTheModuleAlone_data();
    void pageKeysLeaveTheModuleAlone();
    void deleteQuestionsDefaultToNo_data();
    void deleteQuestionsDefaultToNo();

private:
    struct Window : ShellTestWindow {
        Item *addFolder(ItemHandle parent, int nameString, const QString &name)
        {
            Item *item = document().CreateItem(*document().FindContainer(parent), nameString);
            if (!item || !document().SetValue(*item, "Name", name, true) || !document().Save(*item))
                return nullptr;
            return item;
        }
        CChanelTabView *pages() const { return rightView<CChanelTabView>(); }
    };
};

void TestDeleteSafety::init()
{
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestDeleteSafety::pageKeysLeaveTheModuleAlone_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    for (const QString control : {"combo box", "radio button", "channel tab"}) {
        QTest::newRow(qPrintable(control + " Delete")) << control << int(Qt::Key_Delete) << int(Qt::NoModifier);
        QTest::newRow(qPrintable(control + " Ctrl+C")) << control << int(Qt::Key_C) << int(Qt::ControlModifier);
        QTest::newRow(qPrintable(control + " Ctrl+X")) << control << int(Qt::Key_X) << int(Qt::ControlModifier);
        QTest::newRow(qPrintable(control + " Shift+Delete"))
            << control << int(Qt::Key_Delete) << int(Qt::ShiftModifier);
    }
}

void TestDeleteSafety::pageKeysLeaveTheModuleAlone()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    ScriptedModuleDialog dialog;
    ScriptedMessages messages;
    Window window;
    QVERIFY(window.project.selectProject());
    QVERIFY(window.frame->RunCommand(AddModule7230First + 6));
    const ItemHandle module = window.document().CurrentItem();
    QVERIFY(module && CMy7100Doc::IsModule(*window.document().FindItem(module)));
    QCoreApplication::processEvents();
    CChanelTabView *pages = window.pages();
    QVERIFY(pages);

    // The first control of the kind that a page shows and lets the user use.
    const auto firstShown = [pages](auto *kind) -> QWidget * {
        using Kind = std::remove_pointer_t<decltype(kind)>;
        for (int i = 0; i < pages->GetPageCount(); ++i) {
            pages->SetActivePage(i);
            for (Kind *widget : pages->findChildren<Kind *>())
                if (widget->isVisible() && widget->isEnabled())
                    return widget;
        }
        return nullptr;
    };
    QWidget *focused = nullptr;
    if (control == "combo box") {
        focused = firstShown(static_cast<QComboBox *>(nullptr));
    } else if (control == "radio button") {
        focused = firstShown(static_cast<QRadioButton *>(nullptr));
    } else {
        focused = firstShown(static_cast<QTabBar *>(nullptr));
        if (focused)
            focused->setFocusPolicy(Qt::StrongFocus);
    }
    QVERIFY2(focused, qPrintable(control));
    focused->setFocus();
    QTRY_VERIFY(focused->hasFocus());
    QCOMPARE(window.frame->ActiveAccelerators(), &MainMenu::FormAccelerators());

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(focused, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCoreApplication::processEvents();

    QCOMPARE(messages.texts(), QStringList());
    Item *still = window.document().FindItem(module);
    QVERIFY(still);
    QVERIFY(!still->cutMark());
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void TestDeleteSafety::deleteQuestionsDefaultToNo_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("question");
    QTest::newRow("empty plant") << "one empty" << "Are you sure you want to delete Plant";
    QTest::newRow("plant with a cabinet") << "one not empty" << "Plant '\\\\Project\\Plant A' is not empty.";
    QTest::newRow("two plants") << "several" << "Are you sure you want to delete these 2 items ?";
}

void TestDeleteSafety::deleteQuestionsDefaultToNo()
{
    QFETCH(QString, what);
    QFETCH(QString, question);
    ScriptedMessages messages;
    Window window;
    CMy7100Doc &document = window.document();
    Item *plant = window.addFolder(window.project.projectHandle(), HierarchyStrings::PlantName, "Plant A");
    Item *other = window.addFolder(window.project.projectHandle(), HierarchyStrings::PlantName, "Plant B");
    QVERIFY(plant && other);
    if (what == "one not empty")
        QVERIFY(window.addFolder(plant->handle(), HierarchyStrings::CabinetName, "Cabinet A"));
    const ItemHandle kept = plant->handle();
    messages.answer(MessageAnswer::No);
    if (what == "several") {
        QVERIFY(document.DeleteSelection({plant->handle(), other->handle()}, nullptr).empty());
    } else {
        QVERIFY(document.Select(kept));
        QVERIFY(window.frame->RunCommand(Delete));
    }
    QCOMPARE(messages.shown().size(), size_t(1));
    QVERIFY2(messages.texts().front().startsWith(question), qPrintable(messages.texts().front()));
    QCOMPARE(messages.shown().front().buttons, MessageButtons::YesNo);
    QCOMPARE(messages.shown().front().defaultAnswer, MessageAnswer::No);
    QVERIFY(document.FindItem(kept));
}

QTEST_MAIN(TestDeleteSafety)
#include "test_delete_safety.moc"
