#include "base/command_ids.h"
#include "base/settings.h"
#include "db/scripted_file_dialogs.h"
#include "pages/widgets/chanel_tab_view.h"
#include "pages/widgets/num_spin_edit.h"
#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_window.h"
#include "tree/hierarchy_strings.h"
#include "tree/hierarchy_test_support.h"
#include "tree/widgets/item_form_view.h"

#include <QPlainTextEdit>
#include <QSplitter>

#include <QtTest>

using namespace CommandId;

// Unapplied edits of the current item are asked about on every way it is
// left, not only when another tree item is chosen: Cancel stops the way
// and keeps the typing, Yes applies it first.
class TestLeavingEdits : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cancelKeepsTheTyping_data();
    void cancelKeepsTheTyping();
    void yesAppliesBeforeTheLanguageChanges();
    void aModuleComingOnlineAsksFirst();

private:
    struct Window : ShellTestWindow {
        Window() : ShellTestWindow({.plant = true}) {}
        // Types into the plant's description; the field that holds it.
        QWidget *typeIntoPlant()
        {
            if (!document().Select(plant))
                return nullptr;
            QCoreApplication::processEvents();
            auto *description = rightView<CTagView>()->findChild<QPlainTextEdit *>("1042");
            QTest::keyClicks(description, "Boiler house");
            return description;
        }
        // Types into the first number field of a new module's pages.
        QWidget *typeIntoModule()
        {
            if (!project.selectProject() || !frame->RunCommand(AddModule7230First + 6))
                return nullptr;
            QCoreApplication::processEvents();
            CChanelTabView *pages = rightView<CChanelTabView>();
            if (!pages)
                return nullptr;
            for (int i = 0; i < pages->GetPageCount(); ++i) {
                pages->SetActivePage(i);
                for (CNumSpinEdit *edit : pages->findChildren<CNumSpinEdit *>())
                    if (edit->isVisible() && edit->isEnabled()) {
                        edit->setText("42");
                        emit edit->textEdited(edit->text());
                        return edit;
                    }
            }
            return nullptr;
        }
    };
    static QString textOf(QWidget *field)
    {
        if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
            return plain->toPlainText();
        return qobject_cast<QLineEdit *>(field)->text();
    }
};

void TestLeavingEdits::init()
{
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestLeavingEdits::cancelKeepsTheTyping_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("way");
    for (const QString item : {"plant form", "module pages"})
        for (const QString way : {"File New", "File Open", "Save As", "recent file", "closing the window",
                                  "language"})
            QTest::newRow(qPrintable(item + ", " + way)) << item << way;
}

void TestLeavingEdits::cancelKeepsTheTyping()
{
    QFETCH(QString, item);
    QFETCH(QString, way);
    ScriptedModuleDialog moduleDialog;
    ScriptedFileDialogs files;
    ScriptedMessages messages;
    Window window;
    QWidget *field = item == "plant form" ? window.typeIntoPlant() : window.typeIntoModule();
    QVERIFY(field);
    const QString typed = textOf(field);
    const ItemHandle current = window.document().CurrentItem();
    QVERIFY(window.document().IsModified());
    const QString path = window.project.session.Commands().PathName();
    messages.clear();

    messages.answer(MessageAnswer::Cancel);
    if (way == "File New")
        window.frame->RunCommand(FileNew);
    else if (way == "File Open")
        window.frame->RunCommand(FileOpen);
    else if (way == "Save As")
        window.frame->RunCommand(FileSaveAs);
    else if (way == "recent file")
        window.project.session.Commands().OnOpenRecentFile(0);
    else if (way == "closing the window")
        QVERIFY(!window.frame->close());
    else
        window.frame->RunCommand(LanguageEnglish);
    QCoreApplication::processEvents();

    QCOMPARE(messages.texts().size(), 1);
    QVERIFY(messages.texts().front().startsWith("The data has been changed."));
    QCOMPARE(messages.shown().front().buttons, MessageButtons::YesNoCancel);
    QVERIFY(files.requests().empty());
    QVERIFY(window.frame->isVisible());
    QCOMPARE(window.project.session.Commands().PathName(), path);
    QCOMPARE(window.document().CurrentItem(), current);
    QVERIFY(window.document().IsModified());
    QCOMPARE(textOf(field), typed);
}

void TestLeavingEdits::yesAppliesBeforeTheLanguageChanges()
{
    ScriptedMessages messages;
    Window window;
    QVERIFY(window.typeIntoPlant());
    messages.answer(MessageAnswer::Yes);
    QVERIFY(window.frame->RunCommand(LanguageEnglish));
    QVERIFY(!messages.texts().isEmpty());
    QVERIFY(messages.texts().front().startsWith("The data has been changed."));
    Item *plant = window.document().FindItem(window.plant);
    if (!plant) {
        // The refresh built the tree anew: the plant is found by its path.
        plant = FindItemByPath(window.document(), QStringLiteral("\\\\Project\\Plant1"));
    }
    QVERIFY(plant);
    QCOMPARE(window.document().GetValue(*plant, "Description", true).toString(), QStringLiteral("Boiler house"));
}

void TestLeavingEdits::aModuleComingOnlineAsksFirst()
{
    TestSupport::SimulatorProcess simulator;
    QVERIFY(!simulator.device().isEmpty());
    QVERIFY(simulator.command("unplug").startsWith("ok"));
    ScriptedMessages messages;
    Window window;
    if (!window.document().LinkStarted())
        window.document().StartLink();
    QCoreApplication::processEvents();
    // Starting the link may have built the tree anew.
    Item *plant = FindItemByPath(window.document(), QStringLiteral("\\\\Project\\Plant1"));
    QVERIFY(plant);
    window.plant = plant->handle();
    window.project.session.ChangePort(simulator.device());
    QWidget *description = window.typeIntoPlant();
    QVERIFY(description);
    messages.clear();
    messages.answer(MessageAnswer::Cancel);
    QVERIFY(simulator.command("plug").startsWith("ok"));
    QTRY_VERIFY_WITH_TIMEOUT(!messages.shown().empty(), 20000);
    QVERIFY2(messages.texts().front().startsWith("The data has been changed."), qPrintable(messages.texts().front()));
    QCOMPARE(window.document().CurrentItem(), window.plant);
    QCOMPARE(textOf(description), QStringLiteral("Boiler house"));
    QVERIFY(window.document().IsModified());
    window.project.session.Link().StopLink();
}

QTEST_MAIN(TestLeavingEdits)
#include "test_leaving_edits.moc"
