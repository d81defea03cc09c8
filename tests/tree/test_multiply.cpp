#include "multiply_test_support.h"
#include "base/settings.h"

using namespace TreeNames;

// Multiplying items into numbered copies, with and without their subtrees,
// and deleting several list rows at once, against real project files.
class TestMultiply : public QObject {
    Q_OBJECT
private:
    // A cabinet holding one carrier with two two-channel modules.
    struct Cabinet {
        ContainerItem *plant = nullptr;
        ContainerItem *cabinet = nullptr;
    };
    static Cabinet buildCabinet(HierarchyProject &project)
    {
        Cabinet built;
        built.plant = project.addFolder(project.projectItem(), Plant, "P")->asContainer();
        built.cabinet = project.addFolder(*built.plant, TreeNames::Cabinet, "Cab")->asContainer();
        ContainerItem *carrier = project.addFolder(*built.cabinet, Carrier, "Z")->asContainer();
        ScriptedModuleDialog names;
        names.names("TT-1", "TT-2");
        names.names("TT-3", "TT-4");
        project.document.AddNewModule(*carrier, Family7230, 6);
        project.document.AddNewModule(*carrier, Family7230, 6);
        return built;
    }
    static QStringList childNames(HierarchyProject &project, ContainerItem &parent)
    {
        // The folders only: the catalogues hang below the project as well.
        QStringList names;
        for (const auto &child : parent.containerChildren())
            names << project.document.GetName(*child);
        return names;
    }

private slots:
    void init()
    {
        TestSupport::loadEnglish();
        // Every case starts from the dialog's defaults.
        WriteSetting("MultDlg.FirstNumber", 1);
        WriteSetting("MultDlg.NumberOfItems", 1);
        WriteSetting("MultDlg.NumberOfDecPlaces", 3);
    }

    void copiesAreNumberedWithAMinimumWidth_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("places");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("9, 2 places") << "9"
                                     << "2" << QStringList{"Plant09", "Plant10", "Plant11"};
        QTest::newRow("998, 2 places: a minimum width")
            << "998"
            << "2" << QStringList{"Plant998", "Plant999", "Plant1000"};
        QTest::newRow("1, 3 places") << "1"
                                     << "3" << QStringList{"Plant001", "Plant002", "Plant003"};
    }
    void copiesAreNumberedWithAMinimumWidth()
    {
        QFETCH(QString, first);
        QFETCH(QString, places);
        QFETCH(QStringList, expected);
        HierarchyProject project;
        project.open();
        Item *plant = project.addFolder(project.projectItem(), Plant, "Plant");
        ScriptedMultiplyDialog dialog({first, "3", places, true, {}, false});
        RecordedProgress progress;
        ScriptedMessages messages;
        const C7100Document::MultiplyResult result = project.document.Multiply(*plant);
        QVERIFY(result.ran);
        QCOMPARE(dialog.openedWith, QStringLiteral("Plant"));
        QCOMPARE(dialog.pathShown, QStringLiteral("\\\\Project\\Plant"));
        QStringList names = childNames(project, project.projectItem());
        names.removeAll("Plant");
        QCOMPARE(names, expected);
        QCOMPARE(project.rows("Equipments"), 4);
        QCOMPARE(progress.lengths, std::vector<int>{3});
        QCOMPARE(progress.steps.at(0).destination, "\\\\Project\\" + expected.at(0));
        QCOMPARE(messages.texts(), QStringList{"3 items have been successfuly inserted.\n"});
        // The numbers typed are those offered the next time.
        QCOMPARE(ReadSetting("MultDlg.FirstNumber").toString(), first);
        QCOMPARE(ReadSetting("MultDlg.NumberOfDecPlaces").toString(), places);
        QCOMPARE(ReadSetting("MultDlg.NumberOfItems").toInt(), 3);
    }

    void aCabinetIsCopiedWithEverythingBelowIt()
    {
        HierarchyProject project;
        project.open();
        const Cabinet built = buildCabinet(project);
        const int signalsBefore = project.rows("Signals");
        QCOMPARE(signalsBefore, 4);
        ScriptedMultiplyDialog dialog({"1", "2", "2", true, "Cab", false});
        RecordedProgress progress;
        ScriptedMessages messages;
        ScriptedModuleDialog moduleDialogs;
        const C7100Document::MultiplyResult result = project.document.Multiply(*built.cabinet);
        QVERIFY(result.ran);
        QCOMPARE(progress.lengths, std::vector<int>{8});
        QCOMPARE(progress.kinds, std::vector<ProgressKind>{ProgressKind::Multiplying});
        QCOMPARE(int(progress.steps.size()), 8);
        QCOMPARE(progress.closed, 1);
        QCOMPARE(result.inserted, 8);
        QCOMPARE(messages.texts(), QStringList{"8 items have been successfuly inserted.\n"});
        QCOMPARE(project.rows("Racks"), 3);
        QCOMPARE(project.rows("ZelnorHolders"), 3);
        QCOMPARE(project.rows("Modules7230_4"), 6);
        // Every copied module has two signals of its own.
        QCOMPARE(project.rows("Signals"), signalsBefore * 3);
        QCOMPARE(project.orphanSignals(), 0);
        QCOMPARE(project.danglingReferences(), 0);
        // Nothing is asked per copied module.
        QVERIFY(moduleDialogs.seen.empty());
        QCOMPARE(childNames(project, *built.plant), (QStringList{"Cab", "Cab01", "Cab02"}));
    }

    void withoutTheSubtreeOnlyTheItemIsCopied()
    {
        HierarchyProject project;
        project.open();
        const Cabinet built = buildCabinet(project);
        ScriptedMultiplyDialog dialog({"5", "2", "1", false, {}, false});
        RecordedProgress progress;
        ScriptedMessages messages;
        QVERIFY(project.document.Multiply(*built.cabinet).ran);
        QCOMPARE(progress.lengths, std::vector<int>{2});
        QCOMPARE(project.rows("Racks"), 3);
        QCOMPARE(project.rows("ZelnorHolders"), 1);
        QCOMPARE(messages.texts(), QStringList{"2 items have been successfuly inserted.\n"});
    }

    void aModuleIsALeafAndOneCopyIsOneItem()
    {
        HierarchyProject project;
        project.open();
        ScriptedModuleDialog names;
        Item *module = project.document.AddNewModule(project.projectItem(), Family7230, 6);
        QVERIFY(module);
        ScriptedMultiplyDialog dialog({"1", "1", "3", true, {}, false});
        RecordedProgress progress;
        ScriptedMessages messages;
        QVERIFY(project.document.Multiply(*module).ran);
        QVERIFY(dialog.leaf);
        QCOMPARE(progress.lengths, std::vector<int>{1});
        QCOMPARE(project.rows("Modules7230_1"), 2);
        QCOMPARE(project.rows("Signals"), 4);
        QCOMPARE(messages.texts(), QStringList{"1 item has been successfuly inserted.\n"});
    }

    void theDialogRefusesNumbersOutOfRange_data()
    {
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("places");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("0 items") << "0"
                                 << "3"
                                 << "Please enter an integer between 1 and 100000.";
        QTest::newRow("100001 items") << "100001"
                                      << "3"
                                      << "Please enter an integer between 1 and 100000.";
        QTest::newRow("text") << "ten"
                              << "3"
                              << "Please enter an integer.";
        QTest::newRow("0 places") << "1"
                                  << "0"
                                  << "Please enter an integer between 1 and 40.";
        QTest::newRow("41 places") << "1"
                                   << "41"
                                   << "Please enter an integer between 1 and 40.";
    }
    void theDialogRefusesNumbersOutOfRange()
    {
        QFETCH(QString, items);
        QFETCH(QString, places);
        QFETCH(QString, refusal);
        HierarchyProject project;
        project.open();
        Item *plant = project.addFolder(project.projectItem(), Plant, "Plant");
        ScriptedMultiplyDialog dialog({"1", items, places, true, {}, false});
        ScriptedMessages messages;
        RecordedProgress progress;
        QVERIFY(!project.document.Multiply(*plant).ran);
        QCOMPARE(messages.texts(), QStringList{refusal});
        QCOMPARE(progress.opened, 0);
        QCOMPARE(project.rows("Equipments"), 1);
        // A refused OK writes no setting either.
        QCOMPARE(ReadSetting("MultDlg.NumberOfItems").toInt(), 1);
    }

    void theBaseTextIsLimitedAndTheBoundsAreTaken()
    {
        MultiplyDialogLogic logic;
        logic.Open("x", "\\\\Project\\x", false);
        ScriptedMessages messages;
        logic.SetBaseText(QString(51, QLatin1Char('b')));
        QVERIFY(!logic.Accept());
        QCOMPARE(messages.texts(), QStringList{"Please enter no more than 50 characters."});
        logic.SetBaseText(QString(50, QLatin1Char('b')));
        logic.SetNumberOfItemsText("100000");
        logic.SetNumericPlacesText("40");
        logic.SetFirstNumberText("-2147483648");
        QVERIFY(logic.Accept());
        QCOMPARE(logic.NamePattern(), QStringLiteral("%s%040d"));
        QCOMPARE(logic.CopyName(0).size(), 90);
        logic.SetFirstNumberText("2147483647");
        QVERIFY(logic.Accept());
        // The last numbers pass the int range and are still counted on.
        QVERIFY(logic.CopyName(1).endsWith("2147483648"));
    }

    void aCopyThatCannotBeStoredIsAskedAbout()
    {
        HierarchyProject project;
        project.open();
        Item *plant = project.addFolder(project.projectItem(), Plant, "Plant");
        ScriptedMultiplyDialog dialog({"1", "3", "1", true, "Bad\\Name", false});
        RecordedProgress progress;
        ScriptedMessages messages;
        messages.answer(MessageAnswer::Yes);
        messages.answer(MessageAnswer::No);
        const C7100Document::MultiplyResult result = project.document.Multiply(*plant);
        QVERIFY(result.ran);
        QCOMPARE(result.errors, 2);
        QCOMPARE(messages.unexpectedQuestions(), 0);
        const QStringList texts = messages.texts();
        QVERIFY(texts.contains("Can't insert item '\\\\Project\\Bad\\Name1'.\nProceed with multiplying ?"));
        QCOMPARE(texts.last(),
                 QStringLiteral("0 items have been successfuly inserted.\n2 error(s) occurred."));
        QCOMPARE(project.rows("Equipments"), 1);
        QCOMPARE(childNames(project, project.projectItem()), QStringList{"Plant"});
    }

    void aFailedSubtreeLeavesNoPartOfItsCopy()
    {
        HierarchyProject project;
        project.open();
        const Cabinet built = buildCabinet(project);
        // The second module's type vanished from the catalogue: its copy
        // cannot be stored, and the cabinet copy goes with it.
        project.exec("UPDATE Modules7230_4 SET ModulTypID = 9999 WHERE Name LIKE '%TT-3%'");
        QVERIFY(built.cabinet);
        project.document.GlobalRefresh();
        project.document.EnsureChildren(project.projectItem());
        Item *again = project.document.FindRow("Equipments", "P", false);
        QVERIFY(again);
        project.document.EnsureChildren(*again);
        Item *cab = project.document.FindRow("Racks", "Cab", false);
        QVERIFY(cab);
        const int signalsBefore = project.rows("Signals");
        ScriptedMultiplyDialog dialog({"1", "2", "1", true, {}, false});
        RecordedProgress progress;
        ScriptedMessages messages;
        ScriptedModuleDialog moduleDialogs;
        messages.answer(MessageAnswer::Yes);
        const C7100Document::MultiplyResult result = project.document.Multiply(*cab);
        QVERIFY(result.ran);
        QCOMPARE(result.errors, 2);
        QCOMPARE(result.inserted, 0);
        QCOMPARE(project.rows("Racks"), 1);
        QCOMPARE(project.rows("ZelnorHolders"), 1);
        QCOMPARE(project.rows("Modules7230_4"), 2);
        QCOMPARE(project.rows("Signals"), signalsBefore);
        QCOMPARE(project.orphanSignals(), 0);
        // Nothing of the copies stays in memory either.
        Item *plant = project.document.FindRow("Equipments", "P", false);
        QCOMPARE(childNames(project, *plant->asContainer()), QStringList{"Cab"});
    }

    // The copies are stored in groups of at most 250 items, each one
    // transaction: a cancel stops within the group it falls into.
    void cancelInTheProgressEndsMultiplying()
    {
        HierarchyProject project;
        project.open();
        Item *plant = project.addFolder(project.projectItem(), Plant, "Plant");
        ScriptedMultiplyDialog dialog({"1", "2000", "4", true, {}, false});
        RecordedProgress progress;
        progress.cancelAfter = 2;
        ScriptedMessages messages;
        const C7100Document::MultiplyResult result = project.document.Multiply(*plant);
        QVERIFY(result.ran);
        QVERIFY2(result.inserted >= 2 && result.inserted <= 250, qPrintable(QString::number(result.inserted)));
        QCOMPARE(result.errors, 0);
        QCOMPARE(project.rows("Equipments"), 1 + result.inserted);
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("%1 items have been successfuly inserted.\n").arg(result.inserted)});
    }

    void aCancelledDialogOrAReadOnlyItemMultipliesNothing()
    {
        HierarchyProject project;
        project.open();
        Item *plant = project.addFolder(project.projectItem(), Plant, "Plant");
        {
            ScriptedMultiplyDialog dialog({"1", "5", "1", true, {}, true});
            RecordedProgress progress;
            QVERIFY(!project.document.Multiply(*plant).ran);
            QCOMPARE(progress.opened, 0);
        }
        QVERIFY(!project.document.MultiplyEnabled(&project.signalsRoot()));
        // There is one project: it is not multiplied.
        QVERIFY(!project.document.MultiplyEnabled(&project.projectItem()));
        QVERIFY(project.document.MultiplyEnabled(plant));
        QCOMPARE(project.rows("Equipments"), 1);
    }

    // Another program deleted the folder a long operation works in: the
    // operation stops, says how far it got and which folder went, and
    // writes nothing under the missing folder.
    void operationsInAFolderDeletedElsewhereStop()
    {
        HierarchyProject project;
        project.open();
        const Cabinet built = buildCabinet(project);
        ContainerItem *carrier = built.cabinet->containerChildren().at(0)->asContainer();
        std::vector<ItemHandle> modules;
        for (const auto &module : carrier->leafChildren())
            modules.push_back(module->handle());
        const QString carrierId = project.document.GetValue(*carrier, "ID", true).toString();
        const QString cabinetPath = project.document.GetPath(*built.cabinet);
        const std::optional<TransferSet> copied = project.document.Describe({project.document.FindItem(modules[0])}, false);
        QVERIFY(copied);
        // The other program takes the carrier with its modules and signals.
        project.exec("DELETE FROM Signals");
        project.exec("DELETE FROM Modules7230_4");
        project.exec("DELETE FROM ZelnorHolders WHERE ID = " + carrierId);
        {
            ScriptedMessages messages;
            messages.answer(MessageAnswer::Yes);
            RecordedProgress progress;
            CapturedLog log;
            QVERIFY(project.document.DeleteSelection(modules).empty());
            const QString stopped = "0 of 2 items were deleted; the zelnor-carrier '" + cabinetPath +
                                    "\\Z' was deleted by another program.";
            QCOMPARE(messages.texts(), (QStringList{"Are you sure you want to delete these 2 items ?", stopped}));
            QVERIFY(log.lines.contains(stopped));
            // The carrier left the tree.
            QVERIFY(built.cabinet->containerChildren().empty());
        }
        project.exec("DELETE FROM Racks");
        {
            ScriptedMessages messages;
            RecordedProgress progress;
            QVERIFY(!project.document.PasteItems(*copied, *built.cabinet));
            QCOMPARE(messages.texts(), QStringList{"0 of 1 items were pasted; the cabinet '" + cabinetPath +
                                                   "' was deleted by another program."});
            QCOMPARE(project.moduleRows(), 0);
        }
        project.exec("DELETE FROM Equipments");
        Item *other = project.addFolder(project.projectItem(), Plant, "Q");
        Item *cabinet = project.addFolder(*other->asContainer(), TreeNames::Cabinet, "K");
        project.exec("DELETE FROM Equipments");
        {
            ScriptedMultiplyDialog dialog({"1", "3", "1", true, {}, false});
            RecordedProgress progress;
            ScriptedMessages messages;
            const C7100Document::MultiplyResult result = project.document.Multiply(*cabinet);
            QVERIFY(result.ran);
            QCOMPARE(result.stopped, QStringLiteral("0 of 3 copies were made; the plant '\\\\Project\\Q' was "
                                                    "deleted by another program."));
            QCOMPARE(messages.texts(), QStringList{result.stopped});
            QCOMPARE(project.rows("Racks"), 1);
        }
    }

    void severalRowsAreDeletedAfterOneQuestion()
    {
        HierarchyProject project;
        project.open();
        std::vector<ItemHandle> rows;
        for (const char *name : {"A", "B", "C"})
            rows.push_back(project.addFolder(project.projectItem(), Plant, name)->handle());
        ScriptedMessages messages;
        messages.answer(MessageAnswer::Yes);
        RecordedProgress progress;
        progress.cancelAfter = 1;
        CapturedLog log;
        const std::vector<ItemHandle> deleted = project.document.DeleteSelection(rows);
        QCOMPARE(deleted, std::vector<ItemHandle>{rows.front()});
        QCOMPARE(messages.texts(), QStringList{"Are you sure you want to delete these 3 items ?"});
        QCOMPARE(progress.kinds, std::vector<ProgressKind>{ProgressKind::Deleting});
        QCOMPARE(progress.lengths, std::vector<int>{3});
        QCOMPARE(progress.steps.front().source, QStringLiteral("\\\\Project\\A"));
        QCOMPARE(project.rows("Equipments"), 2);
        QCOMPARE(childNames(project, project.projectItem()), (QStringList{"B", "C"}));
    }

    void severalRowsGoWhenNotCancelledAndNoneOnNo()
    {
        HierarchyProject project;
        project.open();
        std::vector<ItemHandle> rows;
        for (const char *name : {"A", "B", "C"})
            rows.push_back(project.addFolder(project.projectItem(), Plant, name)->handle());
        {
            ScriptedMessages messages;
            messages.answer(MessageAnswer::No);
            RecordedProgress progress;
            QVERIFY(project.document.DeleteSelection(rows).empty());
            QCOMPARE(progress.opened, 0);
            QCOMPARE(project.rows("Equipments"), 3);
        }
        ScriptedMessages messages;
        messages.answer(MessageAnswer::Yes);
        RecordedProgress progress;
        QCOMPARE(project.document.DeleteSelection(rows).size(), size_t(3));
        QCOMPARE(messages.unexpectedQuestions(), 0);
        QCOMPARE(project.rows("Equipments"), 0);
    }

    void renameChoosesTheModuleDialogOrInPlaceEditing()
    {
        HierarchyProject project;
        project.open();
        ScriptedModuleDialog names;
        Item *module = project.document.AddNewModule(project.projectItem(), Family7230, 6);
        Item *plant = project.addFolder(project.projectItem(), Plant, "Plant");
        QVERIFY(module && plant);
        names.names("NEW-1", "NEW-2");
        const size_t before = names.seen.size();
        QCOMPARE(project.document.Rename(*module), CMy7100Doc::RenameStep::Done);
        QCOMPARE(names.seen.size(), before + 1);
        QCOMPARE(names.seen.back().mode, ModuleDialogMode::Rename);
        QCOMPARE(project.document.Rename(*plant), CMy7100Doc::RenameStep::EditInPlace);
        QCOMPARE(project.document.Rename(project.signalsRoot()), CMy7100Doc::RenameStep::Refused);
        QCOMPARE(names.seen.size(), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestMultiply)
#include "test_multiply.moc"
