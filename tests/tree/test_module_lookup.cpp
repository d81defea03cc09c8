#include "base/language.h"
#include "tree/module_lookup.h"
#include "tree_test_support.h"

// Module names and the lookups the device link and the pages ask of the
// document, over real project files.
class TestModuleLookup : public QObject {
    Q_OBJECT
private:
    // A plant 200, a cabinet 300 in it and a carrier 400 in that, written
    // behind the document's back so that none of them is loaded.
    static void addFolders(TreeProject &project)
    {
        project.exec("INSERT INTO Equipments (ID, ParentID, Name) VALUES (200, 1, 'Plant1')");
        project.exec("INSERT INTO Racks (ID, ParentID, Name) VALUES (300, 200, 'Cab1')");
        project.exec("INSERT INTO ZelnorHolders (ID, ParentID, Name) VALUES (400, 300, 'Car1')");
    }
    static void addModule(TreeProject &project, const QString &table, int id, int parent, const QString &name,
                          int type, int ch1, int ch2)
    {
        project.exec(QStringLiteral("INSERT INTO %1 (ID, ParentID, Name, ModulTypID, DIPSwitch, Ch1SignalID, "
                                    "Ch2SignalID, SerialNr) VALUES (%2, %3, '%4', %5, 0, %6, %7, 'SN%2')")
                         .arg(table)
                         .arg(id)
                         .arg(parent)
                         .arg(name)
                         .arg(type)
                         .arg(ch1)
                         .arg(ch2));
    }

private slots:
    void init() { TestSupport::loadEnglish(); }

    void composesTheNameFromTypeAndSignals()
    {
        QCOMPARE(ComposeModuleName("Z 7230/110-2", "TT101", "ignored", 1), QString("7230/110-2 - [TT101]"));
        QCOMPARE(ComposeModuleName("Z 7230/210-2", "A  ", "B ", 2), QString("7230/210-2 - [A] [B]"));
        // Only the first blank divides; a name without one is taken whole.
        QCOMPARE(ComposeModuleName("Z 7220/02-4 x", "A", "", 1), QString("7220/02-4 x - [A]"));
        QCOMPARE(ComposeModuleName("Plain", "A", "", 1), QString("Plain - [A]"));
        // Leading blanks of a signal name stay; only the trailing ones go.
        QCOMPARE(TrimSignalName("  S1  "), QString("  S1"));
        QCOMPARE(ComposeModuleName("Z 7210/201-0", "", "", 2), QString("7210/201-0 - [] []"));
    }

    void moduleNameFindsTheTypeInAnyFamily()
    {
        TreeProject project;
        project.open();
        ModuleLookup lookup(project.document);
        QCOMPARE(lookup.ModuleName(1, "S001_CH1 ", "S001_CH2"), QString("7230/110-2 - [S001_CH1]"));
        QCOMPARE(lookup.Family(), Family7230);
        QCOMPARE(lookup.ModuleName(39, "F1", "F2"), QString("7210/211-0 - [F1] [F2]"));
        QCOMPARE(lookup.Family(), Family7210);
        QCOMPARE(lookup.ModuleName(70, "T1", "T2"), QString("7220/02-4/230 - [T1]"));
        QCOMPARE(lookup.Family(), Family7220);
        // An unknown type gives no name and leaves the family alone.
        QCOMPARE(lookup.ModuleName(999, "A", "B"), QString());
        QCOMPARE(lookup.Family(), Family7220);
        // A type row with a name of its own, added to the project.
        project.exec("INSERT INTO ModuleTypes7230 (ID, ParentID, Name, Channels, OutputSignal) "
                     "VALUES (90, 1, 'X two words', 1, 1)");
        QCOMPARE(lookup.ModuleName(90, "a", "b"), QString("two words - [a] [b]"));
        const std::optional<ModuleTypeInfo> type = FindModuleType(project.session(), project.levels(), 90);
        QVERIFY(type);
        QCOMPARE(type->channelCount, 2);
        QCOMPARE(type->outputSignal, 1);
    }

    void findsModulesBelowFoldersNeverExpanded()
    {
        TreeProject project;
        addFolders(project);
        project.exec("INSERT INTO Signals (ID, ParentID, Name) VALUES (500, 1, 'A1')");
        project.exec("INSERT INTO Signals (ID, ParentID, Name) VALUES (501, 1, 'A2')");
        addModule(project, "Modules7230_4", 600, 400, "7230/210-2 - [A1] [A2]", 6, 500, 501);
        addModule(project, "Modules7210_2", 601, 200, "7210/101-0 - [F]", 33, 0, 0);
        addModule(project, "Modules7230_1", 602, 1, "7230/110-2 - [X]", 1, -1, 0);
        project.open();
        ModuleLookup lookup(project.document);
        QVERIFY(!project.document.FindRow("Racks", 300, true));

        Item *module = lookup.FindModuleByValue("Name", "7230/210-2 - [A1] [A2]");
        QVERIFY(module);
        QCOMPARE(module->level().tableName(), QString("Modules7230_4"));
        QCOMPARE(module->id().toInt(), 600);
        // Its ancestors came with it.
        QCOMPARE(project.document.GetPath(*module),
                 QString("\\\\Project\\Plant1\\Cab1\\Car1\\7230/210-2 - [A1] [A2]"));

        // The search is by value and looks only at the family's tables.
        QCOMPARE(lookup.FindModuleByValue("SerialNr", "SN602"), &project.row("Modules7230_1", 602));
        QVERIFY(!lookup.FindModuleByValue("Name", "7210/101-0 - [F]"));
        lookup.SetFamily(Family7210);
        QVERIFY(lookup.FindModuleByValue("Name", "7210/101-0 - [F]"));
        QVERIFY(!lookup.FindModuleByValue("Name", "7210/101-0 - [f]"));
        QVERIFY(!lookup.FindModuleByValue("NoSuchColumn", "x"));
        QVERIFY(!lookup.FindModuleByValue("Name", QVariant()));

        Item *first = lookup.SignalOfChannel(*module, 1);
        Item *second = lookup.SignalOfChannel(*module, 2);
        QVERIFY(first && second);
        QCOMPARE(first->id().toInt(), 500);
        QCOMPARE(project.document.GetName(*second), QString("A2"));
        QVERIFY(!lookup.SignalOfChannel(*module, 3));
        // No signal where the reference is 0 or less.
        Item &single = project.row("Modules7230_1", 602);
        QVERIFY(!lookup.SignalOfChannel(single, 1));
        QVERIFY(!lookup.SignalOfChannel(single, 2));
    }

    void catalogueTextsFollowTheLanguage()
    {
        TreeProject project;
        project.open();
        ModuleLookup lookup(project.document);
        project.exec("UPDATE SignalsRoot SET NameL3 = 'Signaux FR' WHERE ID = 1");
        QCOMPARE(lookup.CatalogueText("SignalsRoot", 1, "Name"), QString("Signals"));
        QVERIFY(Language::load(3));
        QCOMPARE(lookup.CatalogueText("SignalsRoot", 1, "Name"), QString("Signaux FR"));
        QVERIFY(Language::load(1));
        QCOMPARE(lookup.CatalogueText("SignalsRoot", 2, "Name"), QString());
    }

    void projectFileNameIsTheLastPart()
    {
        TreeProject project;
        project.open();
        ModuleLookup lookup(project.document);
        QCOMPARE(lookup.ProjectFileName(), QString("Project file"));
        C7100Document &document = project.document;
        CLevelList &levels = project.levels();
        TableIds ids(project.session());
        document.OpenProject({&levels, &project.session(), &ids, "C:\\Projects\\plant.prj", false});
        QCOMPARE(lookup.ProjectFileName(), QString("plant.prj"));
        document.OpenProject({&levels, &project.session(), &ids, "/home/a/plant2.prj", false});
        QCOMPARE(lookup.ProjectFileName(), QString("plant2.prj"));
    }
};

QTEST_GUILESS_MAIN(TestModuleLookup)
#include "test_module_lookup.moc"
