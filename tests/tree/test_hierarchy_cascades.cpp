#include "hierarchy_test_support.h"
#include "tree/container_list_model.h"

using namespace TreeNames;

// Conversion, renaming, copies and the deletion cascades of the project
// hierarchy, checked against the rows of real project files.
class TestHierarchyCascades : public QObject {
    Q_OBJECT
private:
    struct Plant {
        ContainerItem *plant = nullptr;
        ContainerItem *cabinet = nullptr;
        ContainerItem *carrier = nullptr;
    };
    static Plant buildPlant(HierarchyProject &project, const QString &name)
    {
        Plant built;
        built.plant = project.addFolder(project.projectItem(), TreeNames::Plant, name)->asContainer();
        built.cabinet = project.addFolder(*built.plant, Cabinet, name + "-C")->asContainer();
        built.carrier = project.addFolder(*built.cabinet, Carrier, name + "-Z")->asContainer();
        return built;
    }
    static int channelSignal(HierarchyProject &project, const Item &module, int channel)
    {
        return project.value(module, channel == 1 ? "Ch1SignalID" : "Ch2SignalID").toInt();
    }

    // The folder to delete with its subtree in memory, or read afresh with
    // nothing below it loaded.
    static void loadedOrNeverExpanded()
    {
        QTest::addColumn<bool>("reloaded");
        QTest::newRow("loaded") << false;
        QTest::newRow("never expanded") << true;
    }

private slots:
    void init() { TestSupport::loadEnglish(); }

    void deletingAModuleTakesItsSignals()
    {
        HierarchyProject project;
        project.open();
        ScriptedModuleDialog dialog;
        Item *keep = project.document.AddNewModule(project.projectItem(), Family7230, 1);
        Item *module = project.document.AddNewModule(project.projectItem(), Family7230, 6);
        QVERIFY(keep && module);
        QCOMPARE(project.rows("Signals"), 3);
        const int first = channelSignal(project, *module, 1);
        ScriptedMessages messages;
        messages.answer(MessageAnswer::Yes);
        CapturedLog log;
        const QString name = project.document.GetName(*module);
        QVERIFY(project.document.ConfirmAndDelete(*module));
        QCOMPARE(project.rows("Signals"), 1);
        QCOMPARE(project.rows("Signals", QStringLiteral("ID = %1").arg(first)), 0);
        QVERIFY(!project.document.FindRow("Signals", first, true));
        QCOMPARE(project.orphanSignals(), 0);
        QCOMPARE(project.danglingReferences(), 0);
        QVERIFY(log.lines.contains(QStringLiteral("Module '%1' was deleted.").arg(name)));
    }

    void deletingAPlantTakesEverythingBelowIt_data() { loadedOrNeverExpanded(); }
    void deletingAPlantTakesEverythingBelowIt()
    {
        QFETCH(bool, reloaded);
        HierarchyProject project;
        project.open();
        project.document.StartLink();
        ScriptedModuleDialog dialog;
        CMy7100Doc &doc = project.document;
        const Plant doomed = buildPlant(project, "Doomed");
        const Plant kept = buildPlant(project, "Kept");
        QVERIFY(doc.AddNewModule(*doomed.plant, Family7230, 6));
        QVERIFY(doc.AddNewModule(*doomed.cabinet, Family7210, 38));
        QVERIFY(doc.AddNewModule(*doomed.carrier, Family7220, 65));
        QVERIFY(doc.AddNewModule(*doomed.carrier, Family7230, 1));
        QVERIFY(doc.AddNewModule(*kept.carrier, Family7210, 39));
        QVERIFY(doc.AddNewModule(project.projectItem(), Family7220, 66));
        QCOMPARE(project.moduleRows(), 6);
        QCOMPARE(project.rows("Signals"), 2 + 2 + 1 + 1 + 2 + 1);
        const int doomedId = doomed.plant->id().toInt();
        if (reloaded) {
            QVERIFY(doc.GlobalRefresh());
            QVERIFY(doc.EnsureChildren(project.projectItem()));
            QVERIFY(!doc.FindRow("Racks", 1, false));
            QVERIFY(project.signalsRoot().leafChildren().empty());
        }
        Item &plant = *doc.FindRow("Equipments", doomedId, true);
        QVERIFY(!reloaded || !plant.asContainer()->loaded());
        QSignalSpy refreshes(&doc, &CMy7100Doc::moduleDisplayChanged);
        QVERIFY(doc.Delete(plant));
        QVERIFY(refreshes.size() >= 1);
        QCOMPARE(project.rows("Equipments"), 1);
        QCOMPARE(project.rows("Racks"), 1);
        QCOMPARE(project.rows("ZelnorHolders"), 1);
        QCOMPARE(project.moduleRows(), 2);
        QCOMPARE(project.rows("Modules7210_4"), 1);
        QCOMPARE(project.rows("Modules7220_1"), 1);
        QCOMPARE(project.rows("Signals"), 3);
        QCOMPARE(project.orphanSignals(), 0);
        QCOMPARE(project.danglingReferences(), 0);
        // Nothing of the plant is left in memory either.
        for (Item *item : doc.Registry().items())
            QVERIFY(!doc.GetPath(*item).contains("Doomed"));
    }

    void aModuleChangedElsewhereIsNotDeleted_data()
    {
        QTest::addColumn<bool>("signalRow");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("line");
        QTest::newRow("its own row") << false << "Description = 'theirs'" << "Description: read '', stored now 'theirs'";
        QTest::newRow("a signal's row") << true << "RangeEnd = 4242" << "stored now '4242'";
    }
    void aModuleChangedElsewhereIsNotDeleted()
    {
        QFETCH(bool, signalRow);
        QFETCH(QString, change);
        QFETCH(QString, line);
        HierarchyProject project;
        project.open();
        ScriptedModuleDialog dialog;
        CMy7100Doc &doc = project.document;
        Item *module = doc.AddNewModule(project.projectItem(), Family7230, 6);
        QVERIFY(module);
        const QString moduleTable = module->level().tableName();
        const int moduleId = module->id().toInt();
        const QString table = signalRow ? QStringLiteral("Signals") : moduleTable;
        const int id = signalRow ? channelSignal(project, *module, 1) : module->id().toInt();
        // Another program changes the row after this one read it.
        project.exec(QStringLiteral("UPDATE %1 SET %2 WHERE ID = %3").arg(table, change).arg(id));
        // The list shows the module's container and fills itself again while
        // the refusal is on the screen, as the window's list does.
        ContainerListModel list(doc);
        const ItemHandle container = project.projectItem().handle();
        list.Show(container);
        QStringList reported;
        const DataErrorReporter::Presenter previous = DataErrorReporter::setPresenter(
            [&](const QString &text, const std::vector<ProviderErrorRecord> &) {
                reported << text;
                list.Show(container);
            });
        const bool deleted = doc.Delete(*module);
        DataErrorReporter::setPresenter(previous);
        QVERIFY(!deleted);
        QVERIFY2(reported.join('|').contains("was changed by another program since it was read and was not deleted"),
                 qPrintable(reported.join('|')));
        QVERIFY2(reported.join('|').contains(line), qPrintable(reported.join('|')));
        QCOMPARE(project.moduleRows(), 1);
        QCOMPARE(project.rows("Signals"), 2);
        QCOMPARE(project.danglingReferences(), 0);
        // The tree now shows what is stored, and the list the module once:
        // deleting it again, knowingly, goes through.
        module = doc.FindRow(moduleTable, moduleId, true);
        QVERIFY(module);
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.itemAt(0), module);
        QVERIFY(doc.Delete(*module));
        QCOMPARE(project.moduleRows(), 0);
        QCOMPARE(project.rows("Signals"), 0);
    }

    void aFailingCascadeDeletesNothing_data() { loadedOrNeverExpanded(); }
    void aFailingCascadeDeletesNothing()
    {
        QFETCH(bool, reloaded);
        HierarchyProject project;
        project.open();
        project.document.StartLink();
        ScriptedModuleDialog dialog;
        CMy7100Doc &doc = project.document;
        const Plant plant = buildPlant(project, "P");
        QVERIFY(doc.AddNewModule(*plant.cabinet, Family7230, 6));
        QVERIFY(doc.AddNewModule(*plant.carrier, Family7220, 65));
        const int plantId = plant.plant->id().toInt();
        // The second signal row refuses to go.
        project.exec("CREATE TRIGGER keep_signal BEFORE DELETE ON Signals WHEN OLD.ID = (SELECT MAX(ID) FROM "
                     "Signals) BEGIN SELECT RAISE(ABORT, 'kept'); END");
        if (reloaded) {
            QVERIFY(doc.GlobalRefresh());
            QVERIFY(doc.EnsureChildren(project.projectItem()));
        }
        QStringList reported;
        const DataErrorReporter::Presenter previous = DataErrorReporter::setPresenter(
            [&](const QString &text, const std::vector<ProviderErrorRecord> &) { reported << text; });
        QVERIFY(!doc.Delete(*doc.FindRow("Equipments", plantId, true)));
        DataErrorReporter::setPresenter(previous);
        QVERIFY(!reported.isEmpty());
        QCOMPARE(project.rows("Equipments"), 1);
        QCOMPARE(project.rows("Racks"), 1);
        QCOMPARE(project.rows("ZelnorHolders"), 1);
        QCOMPARE(project.moduleRows(), 2);
        QCOMPARE(project.rows("Signals"), 3);
        // The tree shows the file again.
        Item *again = doc.FindRow("Equipments", plantId, true);
        QVERIFY(again);
        QCOMPARE(doc.CountDescendants(*again), 4);
        if (!reloaded)
            QCOMPARE(project.signalsRoot().leafChildren().size(), size_t(3));
        QCOMPARE(project.danglingReferences(), 0);
    }

    void convertingRescalesTheErrorValue()
    {
        HierarchyProject project;
        project.setCounter(1, 20);
        project.exec("UPDATE DefaultSignals SET RangeEnd = 4343, OutputErrorValue = 3600000 WHERE ID = 7");
        project.open();
        project.document.StartLink();
        ScriptedModuleDialog dialog;
        CMy7100Doc &doc = project.document;
        dialog.names("Level", QString());
        Item *old = doc.AddNewModule(project.projectItem(), Family7230, 3); // 1 channel, voltage
        QVERIFY(old);
        const int oldId = old->id().toInt();
        const int oldSignal = channelSignal(project, *old, 1);
        project.exec(
            QStringLiteral("UPDATE Signals SET OutputErrorValue = 22000000, RangeEnd = 777 WHERE ID = %1")
                .arg(oldSignal));
        project.exec(
            QStringLiteral("UPDATE Modules7230_1 SET SerialNr = 'OLD-SN', Memo = 'kept' WHERE ID = %1")
                .arg(oldId));
        QVERIFY(doc.GlobalRefresh());
        QVERIFY(doc.EnsureChildren(project.projectItem()));
        QVERIFY(doc.Select(project.document.FindRow("Modules7230_1", oldId, true)->handle()));
        QVERIFY(doc.CanConvertModule());

        // Type 6: two channels, current output.
        dialog.then([](ModuleDialogLogic &logic) {
            const int index = int(std::find_if(logic.TypeChoices().begin(), logic.TypeChoices().end(),
                                               [](const ModuleTypeChoice &c) { return c.id == 6; }) -
                                  logic.TypeChoices().begin());
            logic.ChooseType(index);
            return logic.Accept();
        });
        CapturedLog log;
        QVERIFY(doc.ConvertModule());
        const auto &seen = dialog.seen.back();
        QCOMPARE(seen.mode, ModuleDialogMode::Conversion);
        QCOMPARE(seen.title, QString("Module conversion"));
        QCOMPARE(seen.name1, QString("Level"));
        QCOMPARE(seen.name2, QString("S021_CH2"));
        QCOMPARE(project.counter(1), 21); // raised by the creation, not by the conversion
        QCOMPARE(project.rows("Modules7230_1", QStringLiteral("ID = %1").arg(oldId)), 0);
        QCOMPARE(project.rows("Signals", QStringLiteral("ID = %1").arg(oldSignal)), 0);
        QCOMPARE(project.rows("Modules7230_1"), 1);
        Item *converted = doc.FindItem(doc.CurrentItem());
        QVERIFY(converted && converted != old);
        const int id = converted->id().toInt();
        QCOMPARE(project.stored("Modules7230_1", id, "ModulTypID").toInt(), 6);
        QCOMPARE(project.stored("Modules7230_1", id, "SerialNr").toString(), QString("OLD-SN"));
        QCOMPARE(project.stored("Modules7230_1", id, "Memo").toString(), QString("kept"));
        QCOMPARE(project.stored("Modules7230_1", id, "Name").toString(),
                 QString("7230/210-2 - [Level] [S021_CH2]"));
        const int first = channelSignal(project, *converted, 1);
        const int second = channelSignal(project, *converted, 2);
        QCOMPARE(project.stored("Signals", first, "OutputErrorValue").toInt(), 5500000);
        QCOMPARE(project.stored("Signals", first, "RangeEnd").toInt(), 777);
        QCOMPARE(project.signalName(first), QString("Level"));
        // The new second channel takes the new type's defaults.
        QCOMPARE(project.stored("Signals", second, "RangeEnd").toInt(), 4343);
        QCOMPARE(project.stored("Signals", second, "OutputErrorValue").toInt(), 3600000);
        QCOMPARE(project.rows("Signals"), 2);
        QVERIFY(log.lines.contains("Module '7230/210-2 - [Level] [S021_CH2]' was converted."));
    }

    void conversionKeepsValuesWithoutRescalingOrCancels()
    {
        HierarchyProject project;
        project.open();
        ScriptedModuleDialog dialog;
        CMy7100Doc &doc = project.document;
        Item *old = doc.AddNewModule(project.projectItem(), Family7230, 8); // 2 channels, voltage
        QVERIFY(old);
        const int second = channelSignal(project, *old, 2);
        project.exec(
            QStringLiteral("UPDATE Signals SET OutputErrorValue = 22000000 WHERE ID = %1").arg(second));
        QVERIFY(doc.Select(old->handle()));
        // Cancel: nothing changes.
        dialog.cancel();
        const int modules = project.moduleRows();
        QVERIFY(!doc.ConvertModule());
        QCOMPARE(project.moduleRows(), modules);
        QCOMPARE(project.rows("Signals"), 2);
        QCOMPARE(doc.CurrentItem(), old->handle());
        // The cancelled new module is gone from memory as well.
        int moduleItems = 0;
        for (const auto &child : project.projectItem().leafChildren()) {
            moduleItems += CMy7100Doc::IsModule(*child) ? 1 : 0;
            QCOMPARE(child->editState(), EditState::Clean);
        }
        QCOMPARE(moduleItems, 1);

        // Into type 9 (voltage as well): the value stays; both names stay.
        dialog.then([](ModuleDialogLogic &logic) {
            for (int i = 0; i < logic.TypeChoices().size(); ++i)
                if (logic.TypeChoices().at(i).id == 9)
                    logic.ChooseType(i);
            return logic.Accept();
        });
        const QString name2 = project.signalName(second);
        QVERIFY(doc.ConvertModule());
        Item *converted = doc.FindItem(doc.CurrentItem());
        QVERIFY(converted);
        QCOMPARE(project.stored("Signals", channelSignal(project, *converted, 2), "OutputErrorValue").toInt(),
                 22000000);
        QCOMPARE(project.signalName(channelSignal(project, *converted, 2)), name2);
        QCOMPARE(project.rows("Signals"), 2);
        QCOMPARE(project.orphanSignals(), 0);
        QCOMPARE(project.danglingReferences(), 0);
    }

    void renamingFromASignal()
    {
        HierarchyProject project;
        project.open();
        ScriptedModuleDialog dialog;
        CMy7100Doc &doc = project.document;
        const Plant plant = buildPlant(project, "P");
        Item *module = doc.AddNewModule(*plant.carrier, Family7210, 38);
        QVERIFY(module);
        const int moduleId = module->id().toInt();
        const int first = channelSignal(project, *module, 1);
        const int second = channelSignal(project, *module, 2);
        const QVariant carrierId = plant.carrier->id();
        QVERIFY(doc.GlobalRefresh());
        // The signal item alone is loaded; its module is found in the file.
        QVERIFY(doc.EnsureChildren(project.signalsRoot()));
        Item *signal = doc.FindRow("Signals", second, true);
        QVERIFY(signal && !doc.FindRow("Modules7210_4", moduleId, true));
        const QString oldName1 = project.signalName(first);
        dialog.names("FT-1", "FT-2 ");
        QSignalSpy reselected(&doc, &CMy7100Doc::selectInTree);
        QVERIFY(doc.RenameModule(*signal));
        QCOMPARE(dialog.seen.back().mode, ModuleDialogMode::Rename);
        QCOMPARE(dialog.seen.back().title, QString("Rename module"));
        QCOMPARE(dialog.seen.back().name1, oldName1);
        QCOMPARE(project.stored("Modules7210_4", moduleId, "Name").toString(),
                 QString("7210/201-0 - [FT-1] [FT-2]"));
        QCOMPARE(project.signalName(first), QString("FT-1"));
        QCOMPARE(project.signalName(second), QString("FT-2"));
        QCOMPARE(reselected.size(), 1);
        QCOMPARE(doc.FindItem(doc.CurrentItem())->id().toInt(), moduleId);

        // Cancel changes nothing; a folder is renamed in place instead.
        dialog.cancel();
        QVERIFY(!doc.RenameModule(*doc.FindItem(doc.CurrentItem())));
        QCOMPARE(project.signalName(first), QString("FT-1"));
        QSignalSpy inPlace(&doc, &C7100Document::renameRequested);
        Item *carrier = doc.FindRow("ZelnorHolders", carrierId, true); // loaded with its module
        QVERIFY(carrier);
        QVERIFY(doc.RenameModule(*carrier));
        QCOMPARE(inPlace.size(), 1);
    }

    void copiesGetNewSignalsWithTheSourceValues()
    {
        HierarchyProject project;
        project.setCounter(1, 40);
        project.open();
        project.document.StartLink();
        ScriptedModuleDialog dialog;
        CMy7100Doc &doc = project.document;
        const Plant plant = buildPlant(project, "P");
        dialog.names("SRC1", "SRC2");
        Item *source = doc.AddNewModule(*plant.cabinet, Family7230, 7);
        QVERIFY(source);
        const int sourceSignal = channelSignal(project, *source, 2);
        project.exec(QStringLiteral("UPDATE Signals SET RangeEnd = 5151 WHERE ID = %1").arg(sourceSignal));

        CapturedLog log;
        // A copy within a bulk operation asks nothing: it takes the proposals.
        const size_t askedBefore = dialog.seen.size();
        doc.Bulk() = C7100Document::BulkContext{false};
        Item *copy = doc.CopyItem(*source, plant.carrier);
        QVERIFY(copy);
        QVERIFY(doc.Save(*copy));
        QCOMPARE(dialog.seen.size(), askedBefore);
        QCOMPARE(doc.GetName(*copy), QString("7230/211-2 - [S041_CH1] [S041_CH2]"));
        QCOMPARE(project.counter(1), 42);
        QCOMPARE(copy->level().tableName(), QString("Modules7230_4"));
        const int copied = channelSignal(project, *copy, 2);
        QVERIFY(copied != sourceSignal);
        QCOMPARE(project.stored("Signals", copied, "RangeEnd").toInt(), 5151);
        QVERIFY(log.lines.contains("Module '7230/211-2 - [S041_CH1] [S041_CH2]' was copied."));

        // A move keeps the names and asks nobody.
        doc.Bulk() = C7100Document::BulkContext{true};
        const size_t shown = dialog.seen.size();
        Item *moved = doc.CopyItem(*source, plant.plant);
        QVERIFY(moved && doc.Save(*moved));
        doc.Bulk().reset();
        QCOMPARE(dialog.seen.size(), shown);
        QCOMPARE(project.counter(1), 42);
        QCOMPARE(doc.GetName(*moved), QString("7230/211-2 - [SRC1] [SRC2]"));
        QCOMPARE(project.stored("Signals", channelSignal(project, *moved, 2), "RangeEnd").toInt(), 5151);
        QVERIFY(log.lines.contains("Module '7230/211-2 - [SRC1] [SRC2]' was moved."));
        QCOMPARE(project.rows("Signals"), 6);
    }

    // A small plant built, renamed, converted and pruned: the file holds
    // exactly what the rules leave, and no signal without its module.
    void aSmallPlantEndToEnd()
    {
        HierarchyProject project;
        project.open();
        project.document.StartLink();
        ScriptedModuleDialog dialog;
        ScriptedMessages messages;
        CMy7100Doc &doc = project.document;
        const Plant plant = buildPlant(project, "Plant1");
        Item *top = doc.AddNewModule(project.projectItem(), Family7220, 70); // depth 1, 1 signal
        Item *onPlant = doc.AddNewModule(*plant.plant, Family7230, 3);       // depth 2, 1 signal
        Item *inCabinet = doc.AddNewModule(*plant.cabinet, Family7210, 40);  // depth 3, 2 signals
        Item *onCarrier = doc.AddNewModule(*plant.carrier, Family7230, 21);  // depth 4, 2 signals
        Item *onCarrier2 = doc.AddNewModule(*plant.carrier, Family7220, 65); // depth 4, 1 signal
        QVERIFY(top && onPlant && inCabinet && onCarrier && onCarrier2);
        QCOMPARE(project.rows("Modules7220_1"), 1);
        QCOMPARE(project.rows("Modules7230_2"), 1);
        QCOMPARE(project.rows("Modules7210_3"), 1);
        QCOMPARE(project.rows("Modules7230_4"), 1);
        QCOMPARE(project.rows("Modules7220_4"), 1);
        QCOMPARE(project.rows("Signals"), 7);

        dialog.names("Renamed", QString());
        QVERIFY(doc.RenameModule(*top));
        QCOMPARE(doc.GetName(*top), QString("7220/02-4/230 - [Renamed]"));

        QVERIFY(doc.Select(onPlant->handle()));
        dialog.then([](ModuleDialogLogic &logic) {
            logic.ChooseType(0); // type 1: one channel, current output
            return logic.Accept();
        });
        QVERIFY(doc.ConvertModule());
        QCOMPARE(project.rows("Modules7230_2"), 1);
        QCOMPARE(project.rows("Modules7230_2", "ModulTypID = 1"), 1);
        QCOMPARE(project.rows("Signals"), 7);

        QVERIFY(doc.Delete(*plant.cabinet));
        QCOMPARE(project.rows("Racks"), 0);
        QCOMPARE(project.rows("ZelnorHolders"), 0);
        QCOMPARE(project.moduleRows(), 2);
        QCOMPARE(project.rows("Signals"), 2);
        QCOMPARE(project.orphanSignals(), 0);
        QCOMPARE(project.danglingReferences(), 0);
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(project.rows("Equipments"), 1);
    }
};

QTEST_GUILESS_MAIN(TestHierarchyCascades)
#include "test_hierarchy_cascades.moc"
