#include "tree_test_support.h"

#include "base/settings.h"

using namespace TreeNames;

// A plant 7 with a cabinet 20 holding a module 30, the sequences at 500;
// schema changes are made before the document opens; every level is read.
class SeededProject : public TreeProject {
public:
    explicit SeededProject(const QStringList &schemaChanges = {})
    {
        exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (7, 1, 'P1')"));
        exec(QStringLiteral("INSERT INTO Racks (ID, ParentID, Name) VALUES (20, 7, 'C1')"));
        exec(QStringLiteral("INSERT INTO Modules7230_3 (ID, ParentID, Name) VALUES (30, 20, 'M1')"));
        exec(QStringLiteral("UPDATE IDSequences SET ID = 500"));
        for (const QString &change : schemaChanges)
            exec(change);
        open();
        if (document.CountDescendants(*document.Root()) < 0)
            qFatal("the seeded project cannot be read");
    }
};

// The edit life cycle of single items, its failures and what the views and
// the main frame are told.
class TestTreeEdit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void aModuleUnderACabinetLandsInItsFamilysCabinetTable();
    void createSaveDeleteAsAViewSeesIt();
    void aNameWithTheSeparatorIsRefused();
    void anUnchangedEditWritesNothing();
    void cancelKeepsEditedValues();
    void cancellingANewItemRemovesIt();
    void childrenMadeUnderANewItemAreNotReadTwice();
    void deletingANewItemTouchesNoRow();
    void aFailedInsertKeepsTheNewItemAndChangesNothing();
    void aCorrectedSaveWritesEveryPendingChange();
    void aDuplicateNameIsReportedAsSuch();
    void aMissingRequiredValueNamesItsColumn();
    void aFailedDeleteKeepsTheItem();
    void confirmAndDeleteAsksAndLogs();
    void readOnlyLevelsStayClean();
    void globalRefreshAnsweredNoKeepsEveryItem();
    void subtreeRefreshReadsTheContainerAgain();
    void selectChoosesTheRightPane();
    void newItemFromAMenu();

private:
};

void TestTreeEdit::init()
{
    WriteSetting(QStringLiteral("DetailsView"), 1);
    WriteSetting(QStringLiteral("ListView"), 1);
}

void TestTreeEdit::aModuleUnderACabinetLandsInItsFamilysCabinetTable()
{
    SeededProject project;
    C7100Document &doc = project.document;
    ContainerItem &cabinet = project.container(QStringLiteral("Racks"), 20);
    const struct {
        int nameString;
        const char *table;
    } families[] = {
        {Module7230, "Modules7230_3"}, {Module7210, "Modules7210_3"}, {Module7220, "Modules7220_3"}};
    for (const auto &family : families) {
        Item *module = project.add(cabinet, family.nameString, QStringLiteral("New ") + family.table);
        QVERIFY(module);
        QCOMPARE(module->level().tableName(), QLatin1String(family.table));
        QCOMPARE(module->id(), QVariant(500));
        QCOMPARE(project.scalar(QStringLiteral("SELECT ParentID FROM %1 WHERE ID = 500").arg(family.table)),
                 QVariant(20));
        QCOMPARE(project.counter(QLatin1String(family.table)), 501);
        QCOMPARE(doc.FindRow(QLatin1String(family.table), 500, true), module);
    }
    // No such child level: nothing is made.
    QVERIFY(!doc.CreateItem(cabinet, Plant));
}

void TestTreeEdit::createSaveDeleteAsAViewSeesIt()
{
    SeededProject project;
    C7100Document &doc = project.document;
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    HintRecorder hints(doc);
    QObject view;
    QObject *seenSender = nullptr;
    connect(&doc, &C7100Document::updateAllViews, &view,
            [&](QObject *sender, int, Item *) { seenSender = sender; });

    Item *cabinet = doc.CreateItem(plant, Cabinet, &view);
    QVERIFY(cabinet);
    QCOMPARE(seenSender, &view);
    const ItemHandle handle = cabinet->handle();
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Name"), QStringLiteral("C2"), true));
    QVERIFY(doc.Save(*cabinet, &view));
    QCOMPARE(cabinet->editState(), EditState::Clean);
    QVERIFY(doc.BeginEdit(*cabinet));
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Description"), QStringLiteral("left wall"), true));
    QVERIFY(doc.Save(*cabinet));
    QVERIFY(doc.Delete(*cabinet));
    const std::vector<std::pair<int, ItemHandle>> expected = {{3, handle}, {9, handle}, {9, handle},
                                                              {4, handle}, {9, handle}, {9, handle},
                                                              {4, handle}, {5, handle}};
    QCOMPARE(hints.hints, expected);
    QVERIFY(!doc.FindItem(handle));
    QCOMPARE(project.rows(QStringLiteral("Racks")), 1);
}

void TestTreeEdit::aNameWithTheSeparatorIsRefused()
{
    SeededProject project;
    C7100Document &doc = project.document;
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    ScriptedMessages messages;

    Item *cabinet = doc.CreateItem(plant, Cabinet);
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Name"), QStringLiteral("a\\b"), true));
    QVERIFY(!doc.Save(*cabinet));
    QCOMPARE(cabinet->editState(), EditState::New);
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Can't insert Cabinet '\\\\Project\\P1\\a\\b'. Cabinet name contain "
                                        "invalid character(s).")});
    QCOMPARE(messages.shown()[0].icon, MessageIcon::Error);
    QCOMPARE(project.rows(QStringLiteral("Racks")), 1);

    Item &existing = project.row(QStringLiteral("Racks"), 20);
    QVERIFY(doc.BeginEdit(existing));
    QVERIFY(doc.SetValue(existing, QStringLiteral("Name"), QStringLiteral("x\\y"), true));
    messages.clear();
    QVERIFY(!doc.Save(existing, nullptr, false));
    QCOMPARE(existing.editState(), EditState::Modified);
    QVERIFY(messages.shown().empty()); // not reported when asked not to
    QVERIFY(doc.ReportErrors());       // and reporting is on again afterwards
    QVERIFY(!doc.Save(existing));
    QVERIFY(messages.texts().at(0).startsWith(QStringLiteral("Can't update Cabinet '")));
    // Inside a bulk operation that counts failures itself, reporting stays off after the call.
    doc.SetReportErrors(false);
    QVERIFY(!doc.Save(existing, nullptr, true));
    QCOMPARE(messages.shown().size(), size_t(2));
    QVERIFY(!doc.ReportErrors());
    doc.SetReportErrors(true);
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name FROM Racks WHERE ID = 20")),
             QVariant(QStringLiteral("C1")));
}

void TestTreeEdit::anUnchangedEditWritesNothing()
{
    SeededProject project;
    C7100Document &doc = project.document;
    Item &module = project.row(QStringLiteral("Modules7230_3"), 30);
    // The row changes behind the document: a written update would undo that.
    project.exec(QStringLiteral("UPDATE Modules7230_3 SET Name = 'outside' WHERE ID = 30"));
    QVERIFY(doc.BeginEdit(module));
    QVERIFY(doc.SetValue(module, QStringLiteral("Name"), QStringLiteral("M1"), true));
    doc.SetModifiedFlag(true);
    HintRecorder hints(doc);
    QVERIFY(doc.Save(module));
    QCOMPARE(hints.codes(), (std::vector<int>{9, 10}));
    QVERIFY(!doc.IsModified());
    QCOMPARE(module.editState(), EditState::Clean);
    QVERIFY(!module.snapshot());
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name FROM Modules7230_3 WHERE ID = 30")),
             QVariant(QStringLiteral("outside")));
}

void TestTreeEdit::cancelKeepsEditedValues()
{
    SeededProject project;
    C7100Document &doc = project.document;
    Item &module = project.row(QStringLiteral("Modules7230_3"), 30);
    QVERIFY(!doc.CancelEdit(module)); // nothing to cancel
    QVERIFY(doc.BeginEdit(module));
    QVERIFY(!doc.BeginEdit(module)); // already in an edit
    QVERIFY(doc.SetValue(module, QStringLiteral("Name"), QStringLiteral("edited"), true));
    HintRecorder hints(doc);
    QVERIFY(doc.CancelEdit(module));
    QCOMPARE(module.editState(), EditState::Clean);
    QVERIFY(!module.snapshot());
    QCOMPARE(doc.GetName(module), QStringLiteral("edited"));
    QCOMPARE(hints.codes(), std::vector<int>{9});
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name FROM Modules7230_3 WHERE ID = 30")),
             QVariant(QStringLiteral("M1")));
}

void TestTreeEdit::cancellingANewItemRemovesIt()
{
    SeededProject project;
    C7100Document &doc = project.document;
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    Item *cabinet = doc.CreateItem(plant, Cabinet);
    const ItemHandle handle = cabinet->handle();
    const size_t children = plant.containerChildren().size();
    HintRecorder hints(doc);
    QVERIFY(doc.CancelEdit(*cabinet));
    QCOMPARE(hints.hints, (std::vector<std::pair<int, ItemHandle>>{{5, handle}, {9, 0}}));
    QCOMPARE(plant.containerChildren().size(), children - 1);
    QVERIFY(!doc.FindItem(handle));
}

void TestTreeEdit::childrenMadeUnderANewItemAreNotReadTwice()
{
    SeededProject project;
    C7100Document &doc = project.document;
    Item *plant = doc.CreateItem(project.projectItem(), Plant);
    QVERIFY(doc.SetValue(*plant, QStringLiteral("Name"), QStringLiteral("P2"), true));
    Item *cabinet = doc.CreateItem(*plant->asContainer(), Cabinet);
    QVERIFY(cabinet);
    QVERIFY(doc.Save(*plant));
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Name"), QStringLiteral("C2"), true));
    QVERIFY(doc.Save(*cabinet));
    QVERIFY(doc.EnsureChildren(*plant));
    QCOMPARE(plant->asContainer()->containerChildren().size(), size_t(1));
    QCOMPARE(doc.CountDescendants(*plant), 1);
    QCOMPARE(project.scalar(
                 QStringLiteral("SELECT COUNT(*) FROM Racks WHERE ParentID = %1").arg(plant->id().toInt())),
             QVariant(1));
}

void TestTreeEdit::deletingANewItemTouchesNoRow()
{
    SeededProject project;
    C7100Document &doc = project.document;
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    Item *cabinet = doc.CreateItem(plant, Cabinet);
    // A new item carries no ID yet; a delete by ID would have nothing to hit.
    project.exec(QStringLiteral("CREATE TRIGGER no_deletes BEFORE DELETE ON Racks BEGIN "
                                "SELECT RAISE(ABORT, 'no deletes'); END"));
    const ItemHandle handle = cabinet->handle();
    ScriptedMessages messages;
    QVERIFY(doc.Delete(*cabinet));
    QVERIFY(!doc.FindItem(handle));
    QVERIFY(messages.shown().empty());
    QCOMPARE(project.rows(QStringLiteral("Racks")), 1);
    QCOMPARE(project.counter(QStringLiteral("Racks")), 500);
}

void TestTreeEdit::aFailedInsertKeepsTheNewItemAndChangesNothing()
{
    SeededProject project(
        {QStringLiteral("CREATE TRIGGER refuse_bad BEFORE INSERT ON Racks WHEN NEW.Name = 'Bad' "
                        "BEGIN SELECT RAISE(ABORT, 'refused by the project'); END")});
    C7100Document &doc = project.document;
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    QString shownText;
    auto previous = DataErrorReporter::setPresenter(
        [&](const QString &top, const std::vector<ProviderErrorRecord> &) { shownText = top; });
    Item *cabinet = doc.CreateItem(plant, Cabinet);
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Name"), QStringLiteral("Bad"), true));
    HintRecorder hints(doc);
    QVERIFY(!doc.Save(*cabinet));
    DataErrorReporter::setPresenter(previous);

    QVERIFY(hints.hints.empty());
    QCOMPARE(cabinet->editState(), EditState::New);
    QCOMPARE(doc.GetName(*cabinet), QStringLiteral("Bad"));
    QVERIFY(!cabinet->id().isValid());
    QVERIFY(shownText.contains(QStringLiteral("Can't insert Cabinet '\\\\Project\\P1\\Bad'.")));
    QCOMPARE(project.rows(QStringLiteral("Racks")), 1);
    QCOMPARE(project.counter(QStringLiteral("Racks")), 500); // the drawn identifier went back too
    QVERIFY(!doc.FindRow(QStringLiteral("Racks"), 500, true));

    // Corrected, the same item saves.
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Name"), QStringLiteral("Good"), true));
    QVERIFY(doc.Save(*cabinet));
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name FROM Racks WHERE ID = 500 AND ParentID = 7")),
             QVariant(QStringLiteral("Good")));
}

void TestTreeEdit::aCorrectedSaveWritesEveryPendingChange()
{
    SeededProject project;
    C7100Document &doc = project.document;
    Item &cabinet = project.row(QStringLiteral("Racks"), 20);
    QVERIFY(doc.BeginEdit(cabinet));
    QVERIFY(doc.SetValue(cabinet, QStringLiteral("Description"), QStringLiteral("north"), true));
    QVERIFY(doc.SetValue(cabinet, QStringLiteral("Name"), QString(51, QLatin1Char('n')), true)); // too long
    auto previous =
        DataErrorReporter::setPresenter([](const QString &, const std::vector<ProviderErrorRecord> &) {});
    QVERIFY(!doc.Save(cabinet));
    DataErrorReporter::setPresenter(previous);
    QCOMPARE(cabinet.editState(), EditState::Modified);
    QVERIFY(doc.SetValue(cabinet, QStringLiteral("Name"), QStringLiteral("C1 north"), true));
    QVERIFY(doc.Save(cabinet));
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name || '/' || Description FROM Racks WHERE ID = 20")),
             QVariant(QStringLiteral("C1 north/north")));
}

void TestTreeEdit::aDuplicateNameIsReportedAsSuch()
{
    SeededProject project(
        {QStringLiteral("CREATE UNIQUE INDEX unique_rack ON Racks (ParentID, Name COLLATE NOCASE)")});
    C7100Document &doc = project.document;
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    ScriptedMessages messages;
    Item *cabinet = doc.CreateItem(plant, Cabinet);
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Name"), QStringLiteral("c1"), true));
    QVERIFY(!doc.Save(*cabinet));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral(
                                   "Can't insert Cabinet '\\\\Project\\P1\\c1'. Cabinet with the name you "
                                   "specified already exists. Specify a different Cabinet name.")});
    QCOMPARE(cabinet->editState(), EditState::New);
    QCOMPARE(project.rows(QStringLiteral("Racks")), 1);
}

void TestTreeEdit::aMissingRequiredValueNamesItsColumn()
{
    SeededProject project(
        {QStringLiteral("DROP TABLE Racks"),
         QStringLiteral("CREATE TABLE Racks ([ID] INTEGER NOT NULL PRIMARY KEY, [ParentID] INTEGER, "
                        "[Name] VARCHAR(50), [Description] VARCHAR(250) NOT NULL)")});
    C7100Document &doc = project.document;
    ContainerItem &plant = project.container(QStringLiteral("Equipments"), 7);
    ScriptedMessages messages;
    Item *cabinet = doc.CreateItem(plant, Cabinet);
    QVERIFY(doc.SetValue(*cabinet, QStringLiteral("Name"), QStringLiteral("C9"), true));
    QVERIFY(!doc.Save(*cabinet));
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Can't insert Cabinet '\\\\Project\\P1\\C9'. Value in "
                                        "field 'Description' is required.")});
    QCOMPARE(cabinet->editState(), EditState::New);
    QCOMPARE(project.rows(QStringLiteral("Racks")), 0);
}

void TestTreeEdit::aFailedDeleteKeepsTheItem()
{
    SeededProject project({QStringLiteral("CREATE TRIGGER keep_racks BEFORE DELETE ON Racks BEGIN "
                                          "SELECT RAISE(ABORT, 'racks stay'); END")});
    C7100Document &doc = project.document;
    Item &cabinet = project.row(QStringLiteral("Racks"), 20);
    QString shownText;
    auto previous = DataErrorReporter::setPresenter(
        [&](const QString &top, const std::vector<ProviderErrorRecord> &) { shownText = top; });
    HintRecorder hints(doc);
    QVERIFY(!doc.Delete(cabinet));
    DataErrorReporter::setPresenter(previous);
    QVERIFY(hints.hints.empty());
    QVERIFY(shownText.contains(QStringLiteral("Can't delete Item 'Cabinet'.")));
    QCOMPARE(doc.FindRow(QStringLiteral("Racks"), 20, true), &cabinet);
    QCOMPARE(cabinet.asContainer()->leafChildren().size(), size_t(1));
    QCOMPARE(project.rows(QStringLiteral("Racks")), 1);
}

void TestTreeEdit::confirmAndDeleteAsksAndLogs()
{
    SeededProject project;
    C7100Document &doc = project.document;
    Item &plant = project.row(QStringLiteral("Equipments"), 7);
    ScriptedMessages messages;
    CapturedLog log;

    messages.answer(MessageAnswer::No);
    QVERIFY(!doc.ConfirmAndDelete(plant));
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral(
                 "Plant '\\\\Project\\P1' is not empty.\n\nAre you sure you want to delete it ?")});
    QCOMPARE(messages.shown()[0].icon, MessageIcon::Question);
    QCOMPARE(messages.shown()[0].buttons, MessageButtons::YesNo);
    QCOMPARE(project.rows(QStringLiteral("Equipments")), 1);

    Item &module = project.row(QStringLiteral("Modules7230_3"), 30);
    messages.clear();
    messages.answer(MessageAnswer::Yes);
    QVERIFY(doc.ConfirmAndDelete(module));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral(
                                   "Are you sure you want to delete Module 1 '\\\\Project\\P1\\C1\\M1' ?")});
    QCOMPARE(project.rows(QStringLiteral("Modules7230_3")), 0);

    Item &cabinet = project.row(QStringLiteral("Racks"), 20);
    messages.clear();
    messages.answer(MessageAnswer::Yes);
    QVERIFY(doc.ConfirmAndDelete(cabinet));
    QVERIFY(messages.texts().at(0).startsWith(QStringLiteral("Are you sure you want to delete Cabinet")));
    QCOMPARE(log.lines, (QStringList{QStringLiteral("Module 'M1' was deleted."),
                                     QStringLiteral("Folder 'C1' was deleted.")}));
    QCOMPARE(messages.unexpectedQuestions(), 0);
}

void TestTreeEdit::readOnlyLevelsStayClean()
{
    TreeProject project;
    project.open();
    C7100Document &doc = project.document;
    ContainerItem &signalsRoot = project.signalsRoot();
    QVERIFY(!doc.BeginEdit(signalsRoot));
    QCOMPARE(signalsRoot.editState(), EditState::Clean);
    // Signals themselves are edited.
    Item *signal = project.add(signalsRoot, Signal, QStringLiteral("TI 100"));
    QVERIFY(signal);
    QCOMPARE(project.scalar(QStringLiteral("SELECT ParentID FROM Signals WHERE Name = 'TI 100'")),
             QVariant(1));
}

void TestTreeEdit::globalRefreshAnsweredNoKeepsEveryItem()
{
    SeededProject project;
    C7100Document &doc = project.document;
    Item &cabinet = project.row(QStringLiteral("Racks"), 20);
    QVERIFY(doc.BeginEdit(cabinet));
    QVERIFY(doc.SetValue(cabinet, QStringLiteral("Name"), QStringLiteral("pending"), true));
    Item *plant = doc.CreateItem(project.projectItem(), Plant);
    doc.SetModifiedFlag(true);
    const int items = doc.Registry().itemCount();
    ContainerItem *root = doc.Root();

    ScriptedMessages messages;
    HintRecorder hints(doc);
    messages.answer(MessageAnswer::No);
    QVERIFY(!doc.GlobalRefresh());
    QCOMPARE(messages.texts(),
             QStringList{
                 QStringLiteral("Document data is being edited and you have requested to reload them. Do you "
                                "want to proceed with reloading and lose the changes?")});
    QCOMPARE(messages.shown()[0].icon, MessageIcon::Warning);
    QVERIFY(hints.hints.empty());
    QCOMPARE(doc.Root(), root);
    QCOMPARE(doc.Registry().itemCount(), items);
    QCOMPARE(cabinet.editState(), EditState::Modified);
    QCOMPARE(doc.GetName(cabinet), QStringLiteral("pending"));
    QCOMPARE(plant->editState(), EditState::New);
    QVERIFY(doc.IsModified());

    messages.answer(MessageAnswer::Yes);
    QVERIFY(doc.GlobalRefresh());
    QCOMPARE(hints.codes(), std::vector<int>{1});
    QVERIFY(!doc.IsModified());
    QCOMPARE(doc.Registry().itemCount(), 3);
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name FROM Racks WHERE ID = 20")),
             QVariant(QStringLiteral("C1")));
}

void TestTreeEdit::subtreeRefreshReadsTheContainerAgain()
{
    SeededProject project;
    C7100Document &doc = project.document;
    ContainerItem &cabinet = project.container(QStringLiteral("Racks"), 20);
    QVERIFY(!doc.CanSubtreeRefresh());
    QVERIFY(doc.Select(cabinet.handle()));
    Item &module = *cabinet.leafChildren().at(0);
    QVERIFY(doc.BeginEdit(module));
    project.exec(QStringLiteral("INSERT INTO Modules7210_3 (ID, ParentID, Name) VALUES (31, 20, 'F1')"));

    ScriptedMessages messages;
    HintRecorder hints(doc);
    messages.answer(MessageAnswer::No);
    QVERIFY(!doc.SubtreeRefresh());
    QVERIFY(hints.hints.empty());
    QCOMPARE(cabinet.leafChildren().size(), size_t(1));

    messages.answer(MessageAnswer::Yes);
    QVERIFY(doc.SubtreeRefresh());
    QCOMPARE(hints.hints,
             (std::vector<std::pair<int, ItemHandle>>{{12, cabinet.handle()}, {2, cabinet.handle()}}));
    QCOMPARE(cabinet.leafChildren().size(), size_t(2));
    for (const auto &child : cabinet.leafChildren())
        QCOMPARE(child->editState(), EditState::Clean);
    QCOMPARE(messages.texts().size(), qsizetype(2));
    QVERIFY(
        messages.texts().at(0).startsWith(QStringLiteral("Document data in the subtree is being edited")));
}

void TestTreeEdit::selectChoosesTheRightPane()
{
    SeededProject project;
    C7100Document &doc = project.document;
    QStringList panes;
    QStringList tables;
    connect(&doc, &C7100Document::showViews, &doc,
            [&](const QString &list, const QString &item) { panes << list + QLatin1Char('|') + item; });
    connect(&doc, &C7100Document::currentTableChanged, &doc, [&](const QString &table) { tables << table; });
    Item &cabinet = project.row(QStringLiteral("Racks"), 20);
    Item &module = project.row(QStringLiteral("Modules7230_3"), 30);

    QVERIFY(doc.Select(cabinet.handle()));
    QCOMPARE(doc.CurrentItem(), cabinet.handle());
    QCOMPARE(doc.CurrentParent(), doc.FindRow(QStringLiteral("Equipments"), 7, true)->handle());
    QVERIFY(doc.Select(module.handle()));
    QVERIFY(doc.Select(project.signalsRoot().handle()));
    QCOMPARE(tables, (QStringList{QStringLiteral("Racks"), QStringLiteral("Modules7230_3"),
                                  QStringLiteral("SignalsRoot")}));
    QVERIFY(doc.Select(cabinet.handle()));
    QVERIFY(doc.DialogViewEnabled());
    doc.ListRowClosed(); // item view alone
    QVERIFY(doc.Select(cabinet.handle()));
    doc.ToggleDialogView(); // list alone
    QVERIFY(!doc.DetailsView());
    QCOMPARE(ReadSetting(QStringLiteral("DetailsView")).toInt(), 0);
    QCOMPARE(panes, (QStringList{QStringLiteral("C7100ListView|CRackView"), QStringLiteral("|CChanelTabView"),
                                 QStringLiteral("C7100ListView|"), QStringLiteral("C7100ListView|CRackView"),
                                 QStringLiteral("|CRackView"), QStringLiteral("C7100ListView|")}));

    // Leaving an item in an edit cancels the edit.
    QVERIFY(doc.BeginEdit(cabinet));
    QVERIFY(doc.Select(module.handle()));
    QCOMPARE(cabinet.editState(), EditState::Clean);
}

void TestTreeEdit::newItemFromAMenu()
{
    SeededProject project;
    C7100Document &doc = project.document;
    doc.ToggleDialogView();
    QVERIFY(!doc.DetailsView());
    QSignalSpy activated(&doc, &C7100Document::menuItemActivated);
    QSignalSpy rename(&doc, &C7100Document::renameRequested);

    Item *plant = doc.CreateItem(project.projectItem(), Plant);
    doc.ActivateCreatedItem(*plant, true);
    QVERIFY(doc.DetailsView());
    QCOMPARE(doc.CurrentItem(), plant->handle());
    QCOMPARE(doc.ItemToRename(), plant->handle());
    QCOMPARE(activated.count(), qsizetype(0)); // delivered later, not inside the command
    QVERIFY(activated.wait(1000));
    QCOMPARE(rename.count(), qsizetype(0));

    // A level without an item view is renamed in place instead.
    Item *moduleType = doc.CreateItem(project.projectItem(), 547);
    QVERIFY(moduleType);
    doc.ActivateCreatedItem(*moduleType, false);
    QCOMPARE(rename.count(), qsizetype(1));
    QCOMPARE(rename.at(0).at(1).toBool(), false);
}

QTEST_GUILESS_MAIN(TestTreeEdit)
#include "test_tree_edit.moc"
