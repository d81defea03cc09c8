#include "multiply_test_support.h"
#include "base/settings.h"
#include "tree/container_list_model.h"
#include "tree/drag_drop_presenter.h"
#include "tree/widgets/system_clipboard.h"

#include <QMimeData>

using namespace TreeNames;

// A bulk operation whose transaction was rolled back (a cancelled multiply,
// a paste or a drop that failed) takes from memory only what it wrote: the
// current item, the list's container and every other item stay, and the
// signals are put right without rebuilding any view on them.
class TestRollbackKeepsPlace : public QObject {
    Q_OBJECT
private slots:
    void init();
    void theCurrentItemAndTheListStay_data();
    void theCurrentItemAndTheListStay();

private:
    // Plant P holding cabinet Cab (a carrier with two modules, the second
    // of a type the catalogue lacks, so its copy cannot be stored), and an
    // empty plant Q.
    struct Plants {
        ItemHandle p = 0, cab = 0, q = 0;
    };
    // The container of the signals, a child of the tree's root.
    static ContainerItem *signalsRoot(CMy7100Doc &document)
    {
        for (const auto &child : document.Root()->containerChildren())
            if (child->level().tableName() == QStringLiteral("SignalsRoot"))
                return child->asContainer();
        return nullptr;
    }
    static Plants build(HierarchyProject &project)
    {
        Plants plants;
        ContainerItem *p = project.addFolder(project.projectItem(), Plant, "P")->asContainer();
        ContainerItem *cab = project.addFolder(*p, Cabinet, "Cab")->asContainer();
        ContainerItem *carrier = project.addFolder(*cab, Carrier, "Z")->asContainer();
        project.addFolder(project.projectItem(), Plant, "Q");
        ScriptedModuleDialog names;
        names.names("TT-1", "TT-2");
        names.names("TT-3", "TT-4");
        project.document.AddNewModule(*carrier, Family7230, 6);
        project.document.AddNewModule(*carrier, Family7230, 6);
        project.exec("UPDATE Modules7230_4 SET ModulTypID = 9999 WHERE Name LIKE '%TT-3%'");
        project.document.GlobalRefresh();
        CMy7100Doc &document = project.document;
        document.EnsureChildren(project.projectItem());
        Item *again = document.FindRow("Equipments", "P", false);
        document.EnsureChildren(*again);
        plants.p = again->handle();
        plants.cab = document.FindRow("Racks", "Cab", false)->handle();
        plants.q = document.FindRow("Equipments", "Q", false)->handle();
        // The signals are in memory, as the tree shows them.
        document.EnsureChildren(*signalsRoot(document));
        return plants;
    }
};

void TestRollbackKeepsPlace::init()
{
    TestSupport::loadEnglish();
    WriteSetting("MultDlg.FirstNumber", 1);
    WriteSetting("MultDlg.NumberOfItems", 1);
    WriteSetting("MultDlg.NumberOfDecPlaces", 3);
}

void TestRollbackKeepsPlace::theCurrentItemAndTheListStay_data()
{
    QTest::addColumn<QString>("operation");
    // A cancelled multiply rolls nothing back: it stops after the group of
    // whole copies it was storing.
    QTest::newRow("multiply failed") << "multiply failed";
    QTest::newRow("paste failed") << "paste";
    QTest::newRow("drop failed") << "drop";
}

void TestRollbackKeepsPlace::theCurrentItemAndTheListStay()
{
    QFETCH(QString, operation);
    HierarchyProject project;
    project.open();
    const Plants plants = build(project);
    CMy7100Doc &document = project.document;
    const bool multiply = operation.startsWith("multiply");
    // Multiplying works on the current item in its parent's list; a paste
    // or drop goes into the current item, whose children the list shows.
    const ItemHandle current = multiply ? plants.cab : plants.q;
    const ItemHandle listed = multiply ? plants.p : plants.q;
    QVERIFY(document.Select(current));
    ContainerListModel list(document);
    list.Show(listed);
    const int listRows = list.rowCount();
    const ItemHandle signalsHandle = signalsRoot(document)->handle();
    const int signalsInMemory = int(signalsRoot(document)->leafChildren().size());
    const int signalRows = project.rows("Signals");

    struct Update {
        int hint;
        ItemHandle item;
    };
    std::vector<Update> updates;
    connect(&document, &C7100Document::updateAllViews, this, [&](QObject *, int hint, Item *item) {
        updates.push_back({hint, item ? item->handle() : 0});
    });
    ScriptedMessages messages;
    ScriptedModuleDialog moduleDialogs;
    RecordedProgress progress;
    if (operation == "multiply failed") {
        ScriptedMultiplyDialog dialog({"1", "1", "1", true, {}, false});
        QVERIFY(document.Multiply(*document.FindItem(plants.cab)).ran);
    } else {
        const std::optional<TransferSet> set = document.Describe({document.FindItem(plants.cab)}, false);
        QVERIFY(set);
        if (operation == "paste") {
            QVERIFY(!document.PasteItems(*set, *document.FindItem(plants.q)));
        } else {
            std::unique_ptr<QMimeData> data(MakeTransferMimeData(document.MakeTransferData(*set)));
            DragDropPresenter drops(document);
            QCOMPARE(drops.Drop(MimeTransferData(data.get()), plants.q, true), DropEffect::None);
        }
    }

    // Nothing of the rolled-back copies stays, in the file or in memory.
    QCOMPARE(project.rows("Racks"), 1);
    QCOMPARE(project.rows("Signals"), signalRows);
    QCOMPARE(int(signalsRoot(document)->leafChildren().size()), signalsInMemory);
    // The current item, the list's container and its rows stay.
    QCOMPARE(document.CurrentItem(), current);
    QVERIFY(document.FindItem(plants.cab) && document.FindItem(plants.p) && document.FindItem(plants.q));
    QCOMPARE(list.shownContainer(), listed);
    QCOMPARE(list.rowCount(), listRows);
    // No view is told to rebuild on the signals or on the list's container.
    for (const Update &update : updates) {
        const bool rebuild = update.hint == C7100Document::HintRebuild ||
                             update.hint == C7100Document::HintSubtreeReload;
        QVERIFY2(!(rebuild && (update.item == signalsHandle || update.item == listed)),
                 qPrintable(QString("hint %1 for %2").arg(update.hint).arg(update.item)));
    }
    // Edit commands work on the current item without a click in the tree.
    QVERIFY(document.CanCopy(document.FindItem(document.CurrentItem())));
}

QTEST_MAIN(TestRollbackKeepsPlace)
#include "test_rollback_keeps_place.moc"
