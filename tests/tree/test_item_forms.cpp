#include "db/data_error.h"
#include "hierarchy_test_support.h"
#include "base/command_ids.h"
#include "base/language.h"
#include "shell/main_menu.h"
#include "tree/document_tree_model.h"
#include "tree/hierarchy_strings.h"
#include "tree/item_form_binder.h"
#include "tree/widgets/item_form_view.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace HierarchyStrings;
using namespace CommandId;

// The forms of the project, plants, cabinets and zelnor-carriers over a
// real project: what a change, Apply and Reset do to the item, the tree
// and the file; the question when the item was written elsewhere; the
// clipboard commands; the typed field bindings.
class TestItemForms : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void oneCharacterBeginsTheEditAndResetEndsIt();
    void applyStoresTheProjectFields();
    void limitsAndControlCharactersAreRefused();
    void resetRemovesANewCarrier();
    void renameWhileChangedAsksBeforeReloading();
    void failedApplyKeepsTheTextsAndResetShowsTheStoredOnes();
    void fieldsAreDisabledUntilTheLinkHasStarted();
    void clipboardCommandsActOnTheFocusedFieldFirst();
    void dropAsksTheHooksAndOffersTheAllowedEffects();
    void formAcceleratorsLeaveTheFieldKeysToTheField();
    void bindingsConvertAndReportTheirFaults();
    void formsReadWellInEveryLanguage();
};

namespace {

// A project with a plant and a cabinet, the link started, and the form of
// the item made current.
struct FormProject {
    HierarchyProject project;
    Item *plant = nullptr;
    Item *cabinet = nullptr;
    bool linkStarted = true;
    ItemFormPort port;
    int itemCommands = 0;
    QList<int> itemCommandsRun;
    std::unique_ptr<CTagView> view;

    FormProject()
    {
        project.open();
        project.document.StartLink();
        plant = project.addFolder(project.projectItem(), PlantName, "Plant1");
        cabinet = plant ? project.addFolder(*plant->asContainer(), CabinetName, "Cabinet1") : nullptr;
        if (!plant || !cabinet)
            qFatal("folders cannot be made");
    }

    ItemFormContext context()
    {
        ItemFormContext context;
        context.document = &project.document;
        context.linkStarted = [this] { return linkStarted; };
        context.port = &port;
        context.itemCommandEnabled = [this](int) { return true; };
        context.runItemCommand = [this](int id) { itemCommandsRun << id; };
        return context;
    }

    CTagView &show(Item &item, const QString &viewClass)
    {
        view.reset();
        if (!project.document.Select(item.handle()))
            qFatal("item cannot be selected");
        view.reset(CreateItemFormView(viewClass, context(), nullptr));
        return *view;
    }

    QPlainTextEdit *description() const { return view->findChild<QPlainTextEdit *>("1042"); }
    QLineEdit *line(int id) const { return view->findChild<QLineEdit *>(QString::number(id)); }
    QPushButton *apply() const { return view->findChild<QPushButton *>("40200"); }
    QPushButton *reset() const { return view->findChild<QPushButton *>("40201"); }
    QVariant stored(const QString &table, const Item &item, const QString &column)
    {
        return project.stored(table, item.id().toInt(), column);
    }
};

bool Bold(DocumentTreeModel &tree, const Item &item)
{
    return tree.data(tree.indexOf(item.handle()), DocumentTreeModel::BoldRole).toBool();
}

} // namespace

void TestItemForms::oneCharacterBeginsTheEditAndResetEndsIt()
{
    FormProject form;
    QVERIFY(form.project.document.BeginEdit(*form.plant));
    QVERIFY(form.project.document.SetValue(*form.plant, "Description", "old text", true));
    QVERIFY(form.project.document.Save(*form.plant));
    DocumentTreeModel tree(form.project.document);
    CTagView &view = form.show(*form.plant, "CEquipmentView");
    QCOMPARE(view.objectName(), QStringLiteral("CEquipmentView"));
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("old text"));
    QCOMPARE(form.description()->accessibleName(), QStringLiteral("Description"));
    QVERIFY(!form.apply()->isEnabled() && !form.reset()->isEnabled());
    QVERIFY(!Bold(tree, *form.plant));

    form.description()->moveCursor(QTextCursor::End);
    QTest::keyClick(form.description(), Qt::Key_X);
    QVERIFY(form.apply()->isEnabled() && form.reset()->isEnabled());
    QCOMPARE(form.plant->editState(), EditState::Modified);
    QVERIFY(form.project.document.IsModified());
    QVERIFY(Bold(tree, *form.plant));

    QTest::mouseClick(form.reset(), Qt::LeftButton);
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("old text"));
    QCOMPARE(form.plant->editState(), EditState::Clean);
    QVERIFY(!Bold(tree, *form.plant));
    form.description()->moveCursor(QTextCursor::End);
    QVERIFY(!form.project.document.IsModified());
    QVERIFY(!form.apply()->isEnabled() && !form.reset()->isEnabled());

    // A second change and Apply store it; the entry is plain again.
    QTest::keyClicks(form.description(), " more");
    HintRecorder hints(form.project.document);
    QTest::mouseClick(form.apply(), Qt::LeftButton);
    QCOMPARE(form.stored("Equipments", *form.plant, "Description").toString(),
             QStringLiteral("old text more"));
    QVERIFY(hints.codes() == (std::vector<int>{C7100Document::HintEditState, C7100Document::HintWritten}));
    QVERIFY(!Bold(tree, *form.plant));
    QVERIFY(!form.apply()->isEnabled() && !form.project.document.IsModified());
}

void TestItemForms::applyStoresTheProjectFields()
{
    FormProject form;
    Item &project = form.project.projectItem();
    CTagView &view = form.show(project, "CProjectRootView");
    const std::vector<std::pair<int, QString>> labels{
        {1064, "Company:"},       {1072, "Project:"},         {1065, "Project placement:"},
        {1066, "Created by:"},    {1067, "Revision number:"}, {1068, "Order number:"},
        {1069, "Document name:"}, {1070, "Document number:"}, {1071, "Testing by:"}};
    for (const auto &[id, label] : labels) {
        QLineEdit *field = form.line(id);
        QVERIFY2(field, qPrintable(label));
        QCOMPARE(field->accessibleName() + ":", label);
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("Label%1").arg(id))->text(), label);
        QTest::keyClicks(field, QStringLiteral("v%1").arg(id));
    }
    // The limits of the fields: 30 characters of a company, 20 of an order number.
    form.line(1064)->clear();
    QTest::keyClicks(form.line(1064), QString(40, u'C'));
    QCOMPARE(form.line(1064)->text().size(), 30);
    form.line(1068)->clear();
    QTest::keyClicks(form.line(1068), QString(25, u'7'));
    QTest::keyClicks(form.description(), "Pumping station");
    QTest::keyClick(form.description(), Qt::Key_Return);
    QTest::keyClicks(form.description(), "North wing");
    // Enter in a one-line field applies.
    ScriptedMessages messages;
    QTest::keyClick(form.line(1071), Qt::Key_Return);
    QCOMPARE(messages.texts().join("/"), QString());
    QCOMPARE(form.stored("ProjectsRoot", project, "Company").toString(), QString(30, u'C'));
    QCOMPARE(form.stored("ProjectsRoot", project, "OrderNr").toString(), QString(20, u'7'));
    QCOMPARE(form.stored("ProjectsRoot", project, "DucumentName").toString(), QStringLiteral("v1069"));
    QCOMPARE(form.stored("ProjectsRoot", project, "TestingBy").toString(), QStringLiteral("v1071"));
    QCOMPARE(form.stored("ProjectsRoot", project, "Description").toString(),
             QStringLiteral("Pumping station\nNorth wing"));
    QCOMPARE(project.editState(), EditState::Clean);
    // The form of a freshly shown project reads them back.
    form.show(project, "CProjectRootView");
    QCOMPARE(form.line(1072)->text(), QStringLiteral("v1072"));
}

void TestItemForms::limitsAndControlCharactersAreRefused()
{
    ScriptedMessages messages;
    FormProject form;
    form.show(*form.cabinet, "CRackView");
    // A pasted text longer than the description's 76 characters.
    QApplication::clipboard()->setText(QString(80, u'd'));
    form.description()->paste();
    QVERIFY(form.apply()->isEnabled());
    QTest::mouseClick(form.apply(), Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"Please enter no more than 76 characters."});
    QCOMPARE(messages.shown().back().icon, MessageIcon::Warning);
    QVERIFY(form.stored("Racks", *form.cabinet, "Description").isNull());
    QCOMPARE(form.cabinet->editState(), EditState::Modified);
    QCOMPARE(form.description()->toPlainText().size(), 80);

    messages.clear();
    form.description()->setPlainText(QStringLiteral("line\x1b[2J"));
    QTest::mouseClick(form.apply(), Qt::LeftButton);
    QCOMPARE(messages.texts(),
             QStringList{"Cabinet: the field 'Description' ('line\\x1b[2J') contains invalid character(s)!"});
    QVERIFY(form.stored("Racks", *form.cabinet, "Description").isNull());

    // 76 characters over two lines are within the limit.
    messages.clear();
    form.description()->setPlainText(QString(40, u'a') + "\n" + QString(35, u'b'));
    QTest::mouseClick(form.apply(), Qt::LeftButton);
    QCOMPARE(messages.texts().join("/"), QString());
    QCOMPARE(form.stored("Racks", *form.cabinet, "Description").toString().size(), 76);
}

void TestItemForms::resetRemovesANewCarrier()
{
    FormProject form;
    CMy7100Doc &document = form.project.document;
    Item *carrier = document.CreateItem(*form.cabinet->asContainer(), CarrierName);
    QVERIFY(carrier);
    document.SetValue(*carrier, "Name", "zelnor-carrier7", true);
    document.ActivateCreatedItem(*carrier, false);
    QCOMPARE(document.CurrentItem(), carrier->handle());
    QVERIFY(document.DetailsView());
    const ItemHandle handle = carrier->handle();
    form.view.reset(CreateItemFormView("CZelnorHolderView", form.context(), nullptr));
    // Both buttons before any change.
    QVERIFY(form.apply()->isEnabled() && form.reset()->isEnabled());
    QVERIFY(form.description()->isEnabled());
    QTest::mouseClick(form.reset(), Qt::LeftButton);
    QVERIFY(!document.FindItem(handle));
    QVERIFY(form.cabinet->asContainer()->containerChildren().empty());
    QCOMPARE(form.project.rows("ZelnorHolders"), 0);
    QVERIFY(!form.description()->isEnabled() && !form.apply()->isEnabled() && !form.reset()->isEnabled());
    QVERIFY(!document.IsModified());

    // A new carrier with a typed description is stored by Apply.
    Item *second = document.CreateItem(*form.cabinet->asContainer(), CarrierName);
    document.SetValue(*second, "Name", "zelnor-carrier8", true);
    document.ActivateCreatedItem(*second, false);
    form.view.reset(CreateItemFormView("CZelnorHolderView", form.context(), nullptr));
    QTest::keyClicks(form.description(), "Rail A");
    QTest::mouseClick(form.apply(), Qt::LeftButton);
    QCOMPARE(second->editState(), EditState::Clean);
    QCOMPARE(form.stored("ZelnorHolders", *second, "Description").toString(), QStringLiteral("Rail A"));
}

void TestItemForms::renameWhileChangedAsksBeforeReloading()
{
    ScriptedMessages messages;
    FormProject form;
    CMy7100Doc &document = form.project.document;
    form.show(*form.plant, "CEquipmentView");
    // Without pending changes a rename elsewhere reloads without a question.
    QVERIFY(document.BeginEdit(*form.plant));
    document.SetValue(*form.plant, "Name", "Plant A", true);
    QVERIFY(document.Save(*form.plant));
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(form.view->findChild<QLabel *>("Title")->text(), QStringLiteral("Plant A"));
    QCOMPARE(form.view->findChild<QLabel *>("Level")->text(), QStringLiteral("Plant"));

    // The tree renames the plant while the form holds a typed text: No
    // keeps the text and the plant in its edit.
    QTest::keyClicks(form.description(), "typed");
    QCOMPARE(form.plant->editState(), EditState::Modified);
    messages.answer(MessageAnswer::No);
    document.SetValue(*form.plant, "Name", "Plant B", true);
    QVERIFY(document.Save(*form.plant));
    QCOMPARE(
        messages.texts(),
        QStringList{"Edited Item has been changed outside of dialog view. Do you want to reload new data ?"});
    QCOMPARE(messages.shown().back().icon, MessageIcon::Question);
    // A reload throws the typing away: Enter keeps it.
    QCOMPARE(messages.shown().back().defaultAnswer, MessageAnswer::No);
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("typed"));
    QCOMPARE(form.plant->editState(), EditState::Modified);
    QVERIFY(document.IsModified());
    QVERIFY(form.apply()->isEnabled());
    QCOMPARE(form.stored("Equipments", *form.plant, "Name").toString(), QStringLiteral("Plant B"));
    // The kept text is applied with the new name.
    QTest::mouseClick(form.apply(), Qt::LeftButton);
    QCOMPARE(form.stored("Equipments", *form.plant, "Description").toString(), QStringLiteral("typed"));
    QCOMPARE(form.stored("Equipments", *form.plant, "Name").toString(), QStringLiteral("Plant B"));

    // Yes throws the typed text away and shows the stored one.
    QTest::keyClicks(form.description(), " again");
    messages.answer(MessageAnswer::Yes);
    document.SetValue(*form.plant, "Name", "Plant C", true);
    QVERIFY(document.Save(*form.plant));
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("typed"));
    QCOMPARE(form.plant->editState(), EditState::Clean);
    QVERIFY(!document.IsModified());
    QVERIFY(!form.apply()->isEnabled());
    QCOMPARE(messages.unexpectedQuestions(), 0);
}

void TestItemForms::failedApplyKeepsTheTextsAndResetShowsTheStoredOnes()
{
    ScriptedMessages messages;
    QStringList dataErrors;
    const DataErrorReporter::Presenter previous = DataErrorReporter::setPresenter(
        [&dataErrors](const QString &top, const std::vector<ProviderErrorRecord> &) { dataErrors << top; });
    FormProject form;
    CMy7100Doc &document = form.project.document;
    form.show(*form.cabinet, "CRackView");
    form.project.exec(
        "CREATE TRIGGER refuse BEFORE UPDATE ON Racks BEGIN SELECT RAISE(ABORT, 'refused'); END");
    QTest::keyClicks(form.description(), "not stored");
    QTest::mouseClick(form.apply(), Qt::LeftButton);
    DataErrorReporter::setPresenter(previous);
    QCOMPARE(dataErrors.size(), 1);
    QVERIFY(dataErrors.front().contains("Can't update Cabinet"));
    // The typed text stays, the cabinet stays in its edit.
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("not stored"));
    QCOMPARE(form.cabinet->editState(), EditState::Modified);
    QVERIFY(form.apply()->isEnabled() && document.IsModified());
    // Reset shows what the file holds, and the item holds it too.
    QTest::mouseClick(form.reset(), Qt::LeftButton);
    QCOMPARE(form.description()->toPlainText(), QString());
    QCOMPARE(form.cabinet->editState(), EditState::Clean);
    QVERIFY(document.GetValue(*form.cabinet, "Description", true).toString().isEmpty());
    QVERIFY(form.stored("Racks", *form.cabinet, "Description").isNull());
}

void TestItemForms::fieldsAreDisabledUntilTheLinkHasStarted()
{
    FormProject form;
    form.linkStarted = false;
    form.show(form.project.projectItem(), "CProjectRootView");
    QList<QWidget *> fields{form.description()};
    for (int id = 1064; id <= 1072; ++id)
        fields << form.line(id);
    for (QWidget *field : fields)
        QVERIFY2(!field->isEnabled(), qPrintable(field->objectName()));
    QVERIFY(!form.apply()->isEnabled() && !form.reset()->isEnabled());
    // Text arriving in a disabled field changes nothing.
    form.view->model().FieldEdited(1064, "typed");
    QVERIFY(!form.project.document.IsModified());
    QCOMPARE(form.project.projectItem().editState(), EditState::Clean);

    form.linkStarted = true;
    emit form.project.document.updateAllViews(nullptr, C7100Document::HintLinkStarted, nullptr);
    for (QWidget *field : fields)
        QVERIFY2(field->isEnabled(), qPrintable(field->objectName()));
    QVERIFY(!form.apply()->isEnabled());
}

void TestItemForms::clipboardCommandsActOnTheFocusedFieldFirst()
{
    FormProject form;
    QVERIFY(form.project.document.BeginEdit(*form.plant));
    QVERIFY(form.project.document.SetValue(*form.plant, "Description", "Feed pumps", true));
    QVERIFY(form.project.document.Save(*form.plant));
    CTagView &view = form.show(*form.plant, "CEquipmentView");
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.activateWindow();
    form.description()->setFocus();
    QTRY_VERIFY(form.description()->hasFocus());
    QApplication::clipboard()->clear();
    // No text selected: Copy and Cut are disabled although the plant could
    // be copied; Paste needs text on the clipboard.
    QCOMPARE(view.PaneCommandEnabled(EditCopy), std::optional<bool>(false));
    QCOMPARE(view.PaneCommandEnabled(EditCut), std::optional<bool>(false));
    QCOMPARE(view.PaneCommandEnabled(EditPaste), std::optional<bool>(false));
    form.description()->selectAll();
    QCOMPARE(view.PaneCommandEnabled(EditCopy), std::optional<bool>(true));
    QVERIFY(view.RunPaneCommand(EditCopy));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Feed pumps"));
    QVERIFY(form.itemCommandsRun.isEmpty());
    // Ctrl+C in the field does the same.
    QApplication::clipboard()->clear();
    QTest::keyClick(form.description(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Feed pumps"));
    QVERIFY(form.itemCommandsRun.isEmpty());
    // Paste into the field replaces the selection and begins the edit.
    QCOMPARE(view.PaneCommandEnabled(EditPaste), std::optional<bool>(true));
    QApplication::clipboard()->setText("Cooling");
    QVERIFY(view.RunPaneCommand(EditPaste));
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("Cooling"));
    QCOMPARE(form.plant->editState(), EditState::Modified);
    // Outside a text field the command goes to the tree for the plant.
    form.reset()->click();
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("Feed pumps"));
    // (The form hands its own focus on to its first field.)
    form.description()->clearFocus();
    QTRY_VERIFY(!QApplication::focusWidget() || !QApplication::focusWidget()->inherits("QPlainTextEdit"));
    QCOMPARE(view.PaneCommandEnabled(EditCopy), std::optional<bool>(true));
    QVERIFY(view.RunPaneCommand(EditCopy));
    QCOMPARE(form.itemCommandsRun, QList<int>{EditCopy});
    // Rename has no name field to go to; Delete goes to the field as a key.
    QCOMPARE(view.PaneCommandEnabled(Rename), std::optional<bool>(false));
    QVERIFY(!view.PaneCommandEnabled(GlobalRefresh).has_value());
    form.description()->setFocus();
    QTRY_VERIFY(form.description()->hasFocus());
    form.description()->moveCursor(QTextCursor::Start);
    QVERIFY(view.RunPaneCommand(DeleteKey));
    QCOMPARE(form.description()->toPlainText(), QStringLiteral("eed pumps"));
}

void TestItemForms::dropAsksTheHooksAndOffersTheAllowedEffects()
{
    QCOMPARE(ItemFormModel::DragEffect(true, false), DropEffect::Move);
    QCOMPARE(ItemFormModel::DragEffect(true, true), DropEffect::Copy);
    QCOMPARE(ItemFormModel::DragEffect(false, true), DropEffect::None);
    DropMenuChoice both = ItemFormModel::DropMenu(true, true, DropEffect::Copy);
    QVERIFY(both.entries == (std::vector<DropEffect>{DropEffect::Move, DropEffect::Copy}));
    QCOMPARE(both.proposed, DropEffect::Copy);
    // A proposed effect that is not allowed gives way to the allowed one.
    DropMenuChoice copyOnly = ItemFormModel::DropMenu(false, true, DropEffect::Move);
    QVERIFY(copyOnly.entries == std::vector<DropEffect>{DropEffect::Copy});
    QCOMPARE(copyOnly.proposed, DropEffect::Copy);
    QVERIFY(ItemFormModel::DropMenu(false, false, DropEffect::Move).entries.empty());

    FormProject form;
    QList<bool> drops;
    ItemFormContext context = form.context();
    context.canDrop = [](const QMimeData &data, bool) { return data.hasFormat("application/x-test-items"); };
    context.drop = [&drops](const QMimeData &, bool move) {
        drops << move;
        return true;
    };
    QVERIFY(form.project.document.Select(form.plant->handle()));
    CEquipmentView view(context);
    QMimeData items;
    items.setData("application/x-test-items", "1");
    QCOMPARE(view.DropData(items, false, false), DropEffect::Move);
    QCOMPARE(view.DropData(items, true, false), DropEffect::Copy);
    QCOMPARE(drops, (QList<bool>{true, false}));
    QMimeData text;
    text.setText("no items");
    QCOMPARE(view.DropData(text, false, false), DropEffect::None);
    QCOMPARE(drops.size(), 2);
}

void TestItemForms::formAcceleratorsLeaveTheFieldKeysToTheField()
{
    const std::vector<Accelerator> &form = MainMenu::FormAccelerators();
    auto command = [&form](const QString &key) {
        for (const Accelerator &accelerator : form)
            if (QKeySequence(accelerator.key) == QKeySequence(key))
                return accelerator.id;
        return 0;
    };
    for (const char *key : {"Ctrl+C", "Ctrl+V", "Ctrl+X", "Ctrl+Ins", "Shift+Ins", "Shift+Del", "Del"})
        QVERIFY2(command(key) == 0, key);
    QCOMPARE(command("Esc"), int(FormReset));
    QCOMPARE(command("F11"), int(DialogView));
    QCOMPARE(command("Ctrl+Del"), int(Delete));
    QCOMPARE(form.size(), MainMenu::Accelerators().size() - 7 + 1);
}

void TestItemForms::bindingsConvertAndReportTheirFaults()
{
    ScriptedMessages messages;
    FormProject form;
    CMy7100Doc &document = form.project.document;
    Item &options = form.project.row("ProjectOptions", 2);
    QVERIFY(document.BeginEdit(options));
    QVERIFY(document.SetValue(options, "Option1", 300, true));
    QVERIFY(document.SetValue(options, "Option2", -1, true));
    QVERIFY(document.SetValue(options, "Option4", QVariant(), true));
    {
        ItemFieldBinder binder(document, options, ItemFieldBinder::Direction::FromItem);
        qint32 number = 0;
        qint16 small = 0;
        bool flag = false;
        QString text = "x";
        binder.Bind("Option1", number);
        binder.Bind("Option1", small);
        binder.Bind("Option2", flag);
        binder.Bind("Option4", text);
        QVERIFY(!binder.failed());
        QCOMPARE(number, 300);
        QCOMPARE(small, qint16(300));
        QVERIFY(flag);
        QCOMPARE(text, QString());
    }
    QVERIFY(messages.texts().isEmpty());
    // 300 does not fit an 8-bit member, -1 no unsigned one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ItemFieldBinder binder(document, options, ItemFieldBinder::Direction::FromItem);
        quint8 byte = 7;
        quint32 unsignedNumber = 7;
        if (attempt == 0)
            binder.Bind("Option1", byte);
        else
            binder.Bind("Option2", unsignedNumber);
        QVERIFY(binder.failed());
        QCOMPARE(byte, quint8(7));
        QCOMPARE(unsignedNumber, quint32(7));
    }
    QCOMPARE(messages.texts(), (QStringList{"Internal application error.", "Internal application error."}));
    QCOMPARE(messages.shown().back().icon, MessageIcon::Warning);

    // A column the table does not have stops the exchange: nothing after it is written.
    messages.clear();
    {
        ItemFieldBinder binder(document, options, ItemFieldBinder::Direction::ToItem);
        qint32 number = 41;
        QString missing = "m";
        QString text = "after";
        binder.Bind("Option1", number);
        binder.Bind("Nope", missing);
        binder.Bind("Option4", text);
        QVERIFY(binder.failed());
    }
    QCOMPARE(messages.texts(), QStringList{"Can't find field 'Nope' in the table 'ProjectOptions'."});
    QCOMPARE(messages.shown().back().icon, MessageIcon::Error);
    QCOMPARE(document.GetValue(options, "Option1", true).toInt(), 41);
    QVERIFY(document.GetValue(options, "Option4", true).isNull());

    // Floating point, currency and date members through a text column.
    messages.clear();
    {
        ItemFieldBinder binder(document, options, ItemFieldBinder::Direction::ToItem);
        Currency amount{123456};
        binder.Bind("Option4", amount);
        QDateTime when(QDate(2026, 3, 1), QTime(8, 30));
        binder.Bind("Option5", when);
        QVERIFY(!binder.failed());
    }
    {
        ItemFieldBinder binder(document, options, ItemFieldBinder::Direction::FromItem);
        Currency amount;
        double value = 0;
        float single = 0;
        QDateTime when;
        binder.Bind("Option4", amount);
        binder.Bind("Option4", value);
        binder.Bind("Option4", single);
        binder.Bind("Option5", when);
        QVERIFY(!binder.failed());
        QCOMPARE(amount.tenThousandths, qint64(123456));
        QCOMPARE(value, 12.3456);
        QCOMPARE(single, 12.3456f);
        QCOMPARE(when, QDateTime(QDate(2026, 3, 1), QTime(8, 30)));
    }
    // A text that is no date is a fault, not an empty date.
    QVERIFY(document.SetValue(options, "Option5", "tomorrow", true));
    {
        ItemFieldBinder binder(document, options, ItemFieldBinder::Direction::FromItem);
        QDateTime when(QDate(2000, 1, 1), QTime(0, 0));
        binder.Bind("Option5", when);
        QVERIFY(binder.failed());
        QCOMPARE(when, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    }
    QVERIFY(document.CancelEdit(options));
    // Writing into an item outside an edit is refused.
    messages.clear();
    {
        ItemFieldBinder binder(document, options, ItemFieldBinder::Direction::ToItem);
        qint32 number = 5;
        binder.Bind("Option1", number);
        QVERIFY(binder.failed());
    }
    QCOMPARE(messages.texts(), QStringList{"Internal application error."});
}

// In every language every label shows its whole text, the labels share
// one column, and each one-line field is wide enough for its limit and
// no wider than the widest limit needs.
void TestItemForms::formsReadWellInEveryLanguage()
{
    FormProject form;
    for (int language = 1; language <= 5; ++language) {
        QVERIFY(Language::load(language));
        CTagView &view = form.show(form.project.projectItem(), "CProjectRootView");
        view.resize(700, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        int labelRight = -1;
        int fieldLeft = -1;
        for (const ItemFormField &field : ItemForms::ProjectRoot().fields) {
            auto *label = view.findChild<QLabel *>(QStringLiteral("Label%1").arg(field.controlId));
            QWidget *edit = view.control(field.controlId);
            QVERIFY(label && edit);
            const QString where = QStringLiteral("language %1, %2").arg(language).arg(label->text());
            QVERIFY2(!label->text().startsWith(u'#'), qPrintable(where));
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                     qPrintable(where));
            QVERIFY2(edit->isVisible(), qPrintable(where));
            if (field.multiLine)
                continue;
            const int averages = edit->width() / edit->fontMetrics().averageCharWidth();
            QVERIFY2(averages >= field.limit && averages <= field.limit + 6, qPrintable(where));
            const QPoint labelAt = label->mapTo(&view, QPoint(label->width(), 0));
            const QPoint fieldAt = edit->mapTo(&view, QPoint(0, 0));
            QVERIFY2(labelAt.x() <= fieldAt.x(), qPrintable(where));
            QVERIFY2(fieldLeft < 0 || fieldLeft == fieldAt.x(), qPrintable(where));
            fieldLeft = fieldAt.x();
            labelRight = std::max(labelRight, labelAt.x());
        }
        QVERIFY(labelRight <= fieldLeft);
        QVERIFY(!view.findChild<QPushButton *>("40200")->text().startsWith(u'#'));
    }
    TestSupport::loadEnglish();
}

QTEST_MAIN(TestItemForms)
#include "test_item_forms.moc"
