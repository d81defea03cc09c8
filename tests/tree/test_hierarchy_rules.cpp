#include "hierarchy_test_support.h"

using namespace TreeNames;

// The rules of plants, cabinets, carriers, modules and signals over real
// project files: permits, default names, new modules and their signals.
class TestHierarchyRules : public QObject {
    Q_OBJECT
private slots:
    void init() { TestSupport::loadEnglish(); }

    void signalsAndTheProjectAreGuarded()
    {
        HierarchyProject project;
        project.exec("INSERT INTO Signals (ID, ParentID, Name) VALUES (500, 1, 'Lonely')");
        project.open();
        ScriptedMessages messages;
        const int before = project.rows("Signals");
        QVERIFY(!project.document.CreateItem(project.signalsRoot(), Signal));
        QCOMPARE(messages.texts(), QStringList{"Can't insert the signal !"});
        QCOMPARE(messages.shown().at(0).icon, MessageIcon::Error);
        Item *signal = project.document.FindRow("Signals", 500, true);
        QVERIFY(signal);
        QVERIFY(!project.document.Delete(*signal));
        QVERIFY(!project.document.Delete(project.projectItem()));
        QCOMPARE(messages.texts(), (QStringList{"Can't insert the signal !", "Can't delete the signal !",
                                                "Can't delete the project !"}));
        QCOMPARE(project.rows("Signals"), before);
        QCOMPARE(project.rows("ProjectsRoot"), 1);
        QVERIFY(project.document.FindRow("Signals", 500, true));
    }

    void foldersTakeNumberedDefaultNames()
    {
        HierarchyProject project;
        project.setCounter(2, 4);
        project.setCounter(3, 9);
        project.open();
        ScriptedMessages messages;
        CMy7100Doc &doc = project.document;
        QCOMPARE(doc.DefaultFolderName(Plant), QString("Plant4"));
        QCOMPARE(doc.DefaultFolderName(Cabinet), QString("Cabinet9"));
        QCOMPARE(doc.DefaultFolderName(Carrier), QString("zelnor-carrier1"));
        QCOMPARE(doc.DefaultFolderName(Module7230), QString());
        QSignalSpy renames(&doc, &C7100Document::renameRequested);
        Item *plant = doc.AddNewFolder(project.projectItem(), Plant);
        QVERIFY(plant);
        QCOMPARE(plant->editState(), EditState::New);
        QCOMPARE(doc.GetName(*plant), QString("Plant4"));
        QCOMPARE(doc.CurrentItem(), plant->handle());
        QCOMPARE(renames.size(), 0);
        // Proposing does not count; storing the new plant does.
        QCOMPARE(project.counter(2), 4);
        QVERIFY(doc.Save(*plant));
        QCOMPARE(project.stored("Equipments", plant->id().toInt(), "Name").toString(), QString("Plant4"));
        QCOMPARE(project.counter(2), 5);
        // A missing counter row gives no name.
        project.exec("DELETE FROM ProjectOptions WHERE ID = 4");
        QCOMPARE(doc.DefaultFolderName(Carrier), QString());
        QVERIFY(messages.texts().isEmpty());
    }

    void folderNamesAreUniqueWithCase()
    {
        HierarchyProject project;
        project.open();
        ScriptedMessages messages;
        CapturedLog log;
        CMy7100Doc &doc = project.document;
        Item *first = project.addFolder(project.projectItem(), Plant, "Plant1");
        Item *second = project.addFolder(project.projectItem(), Plant, "Other");
        QVERIFY(first && second);
        const int counter = project.counter(2);
        QVERIFY(doc.CheckFolderName(*second, "plant1"));
        QCOMPARE(project.counter(2), counter + 1);
        QVERIFY(!doc.CheckFolderName(*second, "Plant1"));
        QCOMPARE(messages.texts(), QStringList{"Folder name 'Plant1' already exists in this section!"});
        QVERIFY(log.lines.contains("Folder name 'Plant1' already exists in this section!"));
        QCOMPARE(project.counter(2), counter + 1);
        // The present name of the item itself is no clash.
        QVERIFY(doc.CheckFolderName(*first, QString()));
        // Under another plant the same name is free.
        Item *cabinet = project.addFolder(*first->asContainer(), Cabinet, "Plant1");
        QVERIFY(cabinet);
        QVERIFY(doc.CheckFolderName(*cabinet, "Other"));
    }

    void newTwoChannelModuleTakesProposalsAndDefaults()
    {
        HierarchyProject project;
        project.setCounter(1, 7);
        // Distinct defaults, so that a copied value is told from a default one.
        project.exec(
            "UPDATE DefaultModules7230 SET Revision = 'R6', Memo = 'memo6', SerialNr = 'SN6' WHERE ID = 6");
        project.exec("UPDATE DefaultSignals SET OutputErrorValue = 3500000, RangeEnd = 4242 WHERE ID = 6");
        project.exec("UPDATE DefaultSignals SET OutputErrorValue = 3600000, RangeEnd = 4343 WHERE ID = 7");
        project.open();
        project.document.StartLink();
        ScriptedModuleDialog dialog;
        CapturedLog log;
        ContainerItem &plant = *project.addFolder(project.projectItem(), Plant, "P")->asContainer();
        ContainerItem &cabinet = *project.addFolder(plant, Cabinet, "C")->asContainer();
        Item *module = project.document.AddNewModule(cabinet, Family7230, 6);
        QVERIFY(module);
        QCOMPARE(dialog.seen.size(), size_t(1));
        const auto &seen = dialog.seen.front();
        QCOMPARE(seen.mode, ModuleDialogMode::NewModule);
        QCOMPARE(seen.title, QString("New module"));
        QCOMPARE(seen.name1, QString("S007_CH1"));
        QCOMPARE(seen.name2, QString("S007_CH2"));
        QCOMPARE(seen.moduleName, QString("7230/210-2 - [S007_CH1] [S007_CH2]"));
        QVERIFY(seen.cancelEnabled && seen.secondEnabled);
        QCOMPARE(project.counter(1), 8);

        QCOMPARE(module->level().tableName(), QString("Modules7230_3"));
        QCOMPARE(module->editState(), EditState::Clean);
        const int id = module->id().toInt();
        QCOMPARE(project.stored("Modules7230_3", id, "Name").toString(),
                 QString("7230/210-2 - [S007_CH1] [S007_CH2]"));
        QCOMPARE(project.stored("Modules7230_3", id, "Revision").toString(), QString("R6"));
        QCOMPARE(project.stored("Modules7230_3", id, "SerialNr").toString(), QString("SN6"));
        QCOMPARE(project.stored("Modules7230_3", id, "ModulTypID").toInt(), 6);
        const int ch1 = project.stored("Modules7230_3", id, "Ch1SignalID").toInt();
        const int ch2 = project.stored("Modules7230_3", id, "Ch2SignalID").toInt();
        QVERIFY(ch1 > 0 && ch2 > 0 && ch1 != ch2);
        QCOMPARE(project.signalName(ch1), QString("S007_CH1"));
        QCOMPARE(project.signalName(ch2), QString("S007_CH2"));
        QCOMPARE(project.stored("Signals", ch1, "OutputErrorValue").toInt(), 3500000);
        QCOMPARE(project.stored("Signals", ch2, "RangeEnd").toInt(), 4343);
        QCOMPARE(project.stored("Signals", ch1, "ParentID").toInt(), 1);
        QCOMPARE(project.rows("Signals"), 2);
        QVERIFY(log.lines.contains("Module '7230/210-2 - [S007_CH1] [S007_CH2]' was created."));
        // The items agree with the file.
        QCOMPARE(project.document.SignalOfChannel(*module, 2)->id().toInt(), ch2);
    }

    void oneChannelTypeGetsOneSignal()
    {
        HierarchyProject project;
        project.exec("UPDATE DefaultModules7210 SET Ch2SignalID = 36 WHERE ID = 33");
        project.open();
        ScriptedModuleDialog dialog;
        dialog.names("Flow 1  ", "ignored");
        Item *module = project.document.AddNewModule(project.projectItem(), Family7210, 33);
        QVERIFY(module);
        QVERIFY(!dialog.seen.front().secondEnabled);
        QCOMPARE(dialog.seen.front().channels, 1);
        QCOMPARE(module->level().tableName(), QString("Modules7210_1"));
        QCOMPARE(project.document.GetName(*module), QString("7210/101-0 - [Flow 1]"));
        QCOMPARE(project.rows("Signals"), 1);
        // The defaults row names a second default signal; a one-channel
        // module must not refer to a row by it.
        QCOMPARE(project.value(*module, "Ch2SignalID").toInt(), 0);
        QCOMPARE(project.signalName(project.value(*module, "Ch1SignalID").toInt()), QString("Flow 1"));
        QCOMPARE(project.document.Family(), Family7210);
    }

    void cancellingLeavesNothing()
    {
        HierarchyProject project;
        project.setCounter(1, 3);
        project.open();
        ScriptedModuleDialog dialog;
        dialog.cancel();
        const int modules = project.moduleRows();
        QVERIFY(!project.document.AddNewModule(project.projectItem(), Family7220, 65));
        QCOMPARE(project.moduleRows(), modules);
        QCOMPARE(project.rows("Signals"), 0);
        QCOMPARE(project.counter(1), 3);
        for (const auto &child : project.projectItem().leafChildren())
            QVERIFY(!CMy7100Doc::IsModule(*child));
        QCOMPARE(project.scalar("SELECT ID FROM IDSequences WHERE SeqName = 'Modules7220_1'").toInt(), 100);
    }

    void withoutAPresenterOnlyACopyGoesThrough()
    {
        HierarchyProject project;
        project.open();
        const ModuleDialogService::Presenter previous = ModuleDialogService::setPresenter(nullptr);
        QVERIFY(!project.document.AddNewModule(project.projectItem(), Family7230, 1));
        QCOMPARE(project.moduleRows(), 0);
        ModuleDialogService::setPresenter(&ModuleDialogService::acceptProposals);
        Item *source = project.document.AddNewModule(project.projectItem(), Family7230, 1);
        QVERIFY(source);
        ModuleDialogService::setPresenter(nullptr);
        project.document.Bulk() = C7100Document::BulkContext{false};
        Item *copy = project.document.CopyItem(*source);
        QVERIFY(copy && project.document.Save(*copy));
        project.document.Bulk().reset();
        QCOMPARE(project.document.GetName(*copy), QString("7230/110-2 - [S002_CH1]"));
        QCOMPARE(project.moduleRows(), 2);
        QCOMPARE(project.rows("Signals"), 2);
        ModuleDialogService::setPresenter(previous);
    }

    void connectedModuleLendsItsNames()
    {
        HierarchyProject project;
        project.setCounter(1, 12);
        project.open();
        ScriptedModuleDialog dialog;
        project.document.SetModuleConnected(true, "TT-100", QString());
        Item *module = project.document.AddNewModule(project.projectItem(), Family7230, 8);
        QVERIFY(module);
        QCOMPARE(dialog.seen.front().mode, ModuleDialogMode::NewWhileConnected);
        QCOMPARE(dialog.seen.front().name1, QString("TT-100"));
        QCOMPARE(dialog.seen.front().name2, QString("S012_CH2"));
        QCOMPARE(project.counter(1), 13);
        QCOMPARE(project.document.GetName(*module), QString("7230/220-2 - [TT-100] [S012_CH2]"));
    }

    void dialogChecksInOrder()
    {
        HierarchyProject project;
        project.exec("INSERT INTO Signals (ID, ParentID, Name) VALUES (500, 1, 'Taken')");
        project.exec("INSERT INTO ModuleTypes7230 (ID, ParentID, Name, Channels, OutputSignal) VALUES (90, "
                     "1, 'Z ', 1, 1)");
        project.open();
        ScriptedMessages messages;
        CMy7100Doc &doc = project.document;
        ModuleDialogLogic &logic = doc.Dialog();
        logic.Reset();
        logic.SetMode(ModuleDialogMode::NewModule);
        logic.SetTypeId(90);
        QVERIFY(logic.Prepare());
        const int counter = project.counter(1);
        // " - [" "] [" "]" take 8 characters of the 100.
        const QString a46(46, 'a');
        logic.SetSignalName1(a46);
        logic.SetSignalName2(QString(46, 'b'));
        QCOMPARE(logic.ModuleName().size(), 100);
        QVERIFY(!logic.Accept()); // 46 characters are too many for a signal
        QCOMPARE(messages.texts().last(),
                 QString("The signal name for Channel 1 must be less than 34 characters!"));
        logic.SetSignalName2(QString(47, 'b'));
        QCOMPARE(logic.ModuleName().size(), 101);
        QVERIFY(!logic.Accept());
        QCOMPARE(messages.texts().last(),
                 QString("The lenght of module name must be less than 100 characters!"));

        logic.SetSignalName1(QString(33, 'x'));
        logic.SetSignalName2(QString(34, 'y'));
        QVERIFY(!logic.Accept());
        QCOMPARE(messages.texts().last(),
                 QString("The signal name for Channel 2 must be less than 34 characters!"));
        logic.SetSignalName2("Same");
        logic.SetSignalName1("sAME");
        QVERIFY(!logic.Accept());
        QCOMPARE(messages.texts().last(), QString("Channel1 name can't be the same like channel2 name!"));
        logic.SetSignalName1("Taken");
        QVERIFY(!logic.Accept());
        QCOMPARE(messages.texts().last(), QString("Signal name 'Taken' for Channel 1 already exists !"));
        logic.SetSignalName1("Other");
        logic.SetSignalName2("Taken ");
        QVERIFY(!logic.Accept());
        QCOMPARE(messages.texts().last(), QString("Signal name 'Taken' for Channel 2 already exists !"));
        QCOMPARE(logic.SignalName2(), QString("Taken"));
        QCOMPARE(project.counter(1), counter);
        QCOMPARE(messages.shown().size(), size_t(6));
        // Names are compared exactly with the stored ones.
        logic.SetSignalName1("taken");
        logic.SetSignalName2(QString(33, 'y'));
        QVERIFY(logic.Accept());
        QCOMPARE(project.counter(1), counter + 1);
        QCOMPARE(messages.shown().size(), size_t(6));

        // Exactly 100 characters pass, 101 do not.
        project.exec(
            "INSERT INTO ModuleTypes7230 (ID, ParentID, Name, Channels, OutputSignal) VALUES (91, 1, 'Z " +
            QString(40, 'T') + "', 1, 1)");
        logic.Reset();
        logic.SetTypeId(91);
        QVERIFY(logic.Prepare());
        logic.SetSignalName1(QString(26, 'c'));
        logic.SetSignalName2(QString(27, 'd'));
        QCOMPARE(logic.ModuleName().size(), 101);
        QVERIFY(!logic.Accept());
        QCOMPARE(messages.texts().last(),
                 QString("The lenght of module name must be less than 100 characters!"));
        logic.SetSignalName2(QString(26, 'd'));
        QCOMPARE(logic.ModuleName().size(), 100);
        QVERIFY(logic.Accept());
        QCOMPARE(project.counter(1), counter + 2);

        // Renaming may keep the module's own signal names.
        logic.Reset();
        logic.SetMode(ModuleDialogMode::Rename);
        logic.SetTypeId(90);
        logic.SetSignalNames("Taken", "New");
        logic.SetOwnSignals(500, 0);
        QVERIFY(logic.Prepare());
        QCOMPARE(logic.SignalName1(), QString("Taken"));
        QVERIFY(logic.Accept());
        QCOMPARE(project.counter(1), counter + 2); // not raised by a rename
        // An unknown type leaves the dialog unprepared.
        logic.Reset();
        logic.SetTypeId(12345);
        QVERIFY(!logic.Prepare());
        QVERIFY(logic.ModuleName().isEmpty() && logic.SignalName1().isEmpty());
    }

    void linkStartsOnce()
    {
        HierarchyProject project;
        project.open();
        HintRecorder hints(project.document);
        QSignalSpy starts(&project.document, &CMy7100Doc::linkStartRequested);
        QVERIFY(!project.document.LinkStarted());
        QVERIFY(project.addFolder(project.projectItem(), Plant, "A"));
        QVERIFY(project.addFolder(project.projectItem(), Plant, "B"));
        QCOMPARE(starts.size(), 1);
        const std::vector<int> codes = hints.codes();
        QCOMPARE(std::count(codes.begin(), codes.end(), 16), 1);
        QVERIFY(project.document.LinkStarted());
        project.document.StartLink();
        QCOMPARE(starts.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHierarchyRules)
#include "test_hierarchy_rules.moc"
