#include "shell/add_new_menu.h"
#include "base/command_ids.h"
#include "shell_test_project.h"
#include "tree/hierarchy_strings.h"
#include "tree/hierarchy_test_support.h"

#include <QtTest>

// "Add New...": what each popup shows and what its entries create.
class TestAddNewMenu : public QObject {
    Q_OBJECT
private slots:
    void classifiesPopupsByTheirFirstEntry_data();
    void classifiesPopupsByTheirFirstEntry();
    void commandsMapToTypesAndFolders_data();
    void commandsMapToTypesAndFolders();
    void withoutProjectNothingIsOffered();
    void moduleListsFollowTheTypeTables();
    void foldersFollowTheSelectedLevel();
    void thirdEntryCreatesModuleOfTypeThree();
    void familiesOtherThan7230AreCreated();
};

using Popup = AddNewMenu::Popup;
Q_DECLARE_METATYPE(AddNewMenu::Popup)

// An open project with the project item current and its menu.
struct OpenProjectMenu {
    OpenProjectMenu() : document(project.session.Document()), menu(document, project.session.Catalogues())
    {
        QVERIFY(project.open());
        QVERIFY(project.selectProject());
    }
    ShellTestProject project;
    CMy7100Doc &document;
    AddNewMenu menu;
};

void TestAddNewMenu::classifiesPopupsByTheirFirstEntry_data()
{
    QTest::addColumn<bool>("folderSubmenuFirst");
    QTest::addColumn<int>("firstCommand");
    QTest::addColumn<Popup>("popup");
    QTest::newRow("parent of the folder submenu") << true << 0 << Popup::FolderParent;
    QTest::newRow("folder submenu") << false << 32773 << Popup::Folder;
    QTest::newRow("7230 placeholder") << false << 32900 << Popup::Modules7230;
    QTest::newRow("7230 filled") << false << 32959 << Popup::Modules7230;
    QTest::newRow("7210") << false << 20000 << Popup::Modules7210;
    QTest::newRow("7220") << false << 21059 << Popup::Modules7220;
    QTest::newRow("other menu") << false << 57600 << Popup::Other;
    QTest::newRow("beyond 7220") << false << 21060 << Popup::Other;
}

void TestAddNewMenu::classifiesPopupsByTheirFirstEntry()
{
    QFETCH(bool, folderSubmenuFirst);
    QFETCH(int, firstCommand);
    QTEST(AddNewMenu::Classify(folderSubmenuFirst, firstCommand), "popup");
}

void TestAddNewMenu::commandsMapToTypesAndFolders_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("folder");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("typeId");
    QTest::newRow("plant") << 32960 << 486 << 0 << 0;
    QTest::newRow("cabinet") << 32961 << 487 << 0 << 0;
    QTest::newRow("carrier") << 32962 << 488 << 0 << 0;
    QTest::newRow("first 7230") << 32900 << 0 << int(Family7230) << 1;
    QTest::newRow("third 7230") << 32902 << 0 << int(Family7230) << 3;
    QTest::newRow("first 7210") << 20000 << 0 << int(Family7210) << 33;
    QTest::newRow("first 7220") << 21000 << 0 << int(Family7220) << 65;
    QTest::newRow("last 7220") << 21059 << 0 << int(Family7220) << 124;
}

void TestAddNewMenu::commandsMapToTypesAndFolders()
{
    QFETCH(int, command);
    const std::optional<AddNewMenu::Creation> creation = AddNewMenu::CreationOf(command);
    QVERIFY(creation);
    QTEST(creation->folderNameString, "folder");
    if (creation->folderNameString == 0) {
        QTEST(int(creation->family), "family");
        QTEST(int(creation->typeId), "typeId");
    }
    QVERIFY(!AddNewMenu::CreationOf(32773));
    QVERIFY(!AddNewMenu::CreationOf(57600));
}

void TestAddNewMenu::withoutProjectNothingIsOffered()
{
    ShellTestProject project;
    AddNewMenu menu(project.session.Document(), project.session.Catalogues());
    QVERIFY(!menu.FolderSubmenuEnabled());
    QVERIFY(menu.Entries(Popup::Modules7230).empty());
    QVERIFY(menu.Entries(Popup::Folder).empty());
    QVERIFY(!menu.Execute(32960));
}

void TestAddNewMenu::moduleListsFollowTheTypeTables()
{
    ShellTestProject project;
    QVERIFY(project.open());
    AddNewMenu menu(project.session.Document(), project.session.Catalogues());
    const struct {
        Popup popup;
        const char *table;
        int firstId;
    } lists[] = {{Popup::Modules7230, "ModuleTypes7230", 32900},
                 {Popup::Modules7210, "ModuleTypes7210", 20000},
                 {Popup::Modules7220, "ModuleTypes7220", 21000}};
    for (const auto &list : lists) {
        const std::vector<AddNewMenu::Entry> entries = menu.Entries(list.popup);
        const std::vector<ParameterRow> &rows = project.session.Catalogues().Rows(list.table);
        QCOMPARE(entries.size(), rows.size());
        QVERIFY(!entries.empty());
        for (size_t i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].id, list.firstId + int(i));
            QCOMPARE(entries[i].text, "Module - " + rows[i].textValue("Name"));
            // The command's type is the row's type.
            QCOMPARE(AddNewMenu::CreationOf(entries[i].id)->typeId, rows[i].intValue("ID"));
        }
    }
}

void TestAddNewMenu::foldersFollowTheSelectedLevel()
{
    OpenProjectMenu open;
    CMy7100Doc &document = open.document;
    AddNewMenu &menu = open.menu;
    QVERIFY(menu.FolderSubmenuEnabled());
    QCOMPARE(menu.Entries(Popup::Folder).size(), size_t(1));
    QCOMPARE(menu.Entries(Popup::Folder).front().id, 32960);
    QCOMPARE(menu.Entries(Popup::Folder).front().text, QStringLiteral("Plant"));

    // Plant, cabinet, carrier: each offers the next level, the carrier none.
    const int expected[] = {32961, 32962, 0};
    for (const int next : expected) {
        const std::vector<AddNewMenu::Entry> before = menu.Entries(Popup::Folder);
        Item *folder = menu.Execute(before.front().id);
        QVERIFY(folder);
        QCOMPARE(document.CurrentItem(), folder->handle());
        QVERIFY(menu.FolderSubmenuEnabled());
        const std::vector<AddNewMenu::Entry> entries = menu.Entries(Popup::Folder);
        if (next == 0)
            QVERIFY(entries.empty());
        else
            QCOMPARE(entries.front().id, next);
    }
    QCOMPARE(document.GetName(*document.FindItem(document.CurrentItem())), QStringLiteral("zelnor-carrier1"));
}

void TestAddNewMenu::thirdEntryCreatesModuleOfTypeThree()
{
    ScriptedModuleDialog dialog;
    OpenProjectMenu open;
    CMy7100Doc &document = open.document;
    AddNewMenu &menu = open.menu;
    Item *plant = menu.Execute(32960);
    QVERIFY(plant);
    const int third = menu.Entries(Popup::Modules7230).at(2).id;
    Item *module = menu.Execute(third);
    QVERIFY(module);
    QCOMPARE(dialog.seen.size(), size_t(1));
    QCOMPARE(module->parent(), plant);
    QCOMPARE(document.GetValue(*module, "ModulTypID", true).toInt(), 3);
    QCOMPARE(document.CurrentItem(), module->handle());
    // Below a module there is no folder to add.
    QVERIFY(!menu.FolderSubmenuEnabled());

    // A cancelled dialog leaves nothing behind.
    QVERIFY(document.Select(plant->handle()));
    dialog.cancel();
    QVERIFY(!menu.Execute(third));
    ContainerItem *below = plant->asContainer();
    QTRY_COMPARE(int(below->containerChildren().size() + below->leafChildren().size()), 1);
}

void TestAddNewMenu::familiesOtherThan7230AreCreated()
{
    ScriptedModuleDialog dialog;
    OpenProjectMenu open;
    for (const int command : {20000, 21000}) {
        QVERIFY(open.project.selectProject());
        CMy7100Doc &document = open.document;
        AddNewMenu &menu = open.menu;
        Item *module = menu.Execute(command);
        QVERIFY(module);
        QCOMPARE(document.GetValue(*module, "ModulTypID", true).toInt(),
                 AddNewMenu::CreationOf(command)->typeId);
    }
}

QTEST_GUILESS_MAIN(TestAddNewMenu)
#include "test_add_new_menu.moc"
