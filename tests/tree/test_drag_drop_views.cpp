#include "hierarchy_test_support.h"
#include "base/command_ids.h"
#include "tree/container_list_model.h"
#include "tree/drag_drop_presenter.h"
#include "tree/hierarchy_strings.h"
#include "tree/widgets/left_view.h"
#include "tree/widgets/my7100_view.h"
#include "tree/widgets/system_clipboard.h"
#include "tree/widgets/tree_entry_model.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace HierarchyStrings;

// Dragging entries of the tree and rows of the list and dropping them on
// entries, rows and empty space, through the views' event handlers (a real
// drag cannot run without a window system): where a drop is refused, what
// Ctrl and the drop menu change, and that a move deletes its source only
// after the paste; the clipboard commands of several rows and of the
// right-clicked tree entry.
class TestDragDropViews : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init() { QSettings(QStringLiteral("ZelnorWizard"), QStringLiteral("ZelnorWizard")).clear(); }
    void moveDeletesTheSourceOnlyAfterThePaste();
    void dropIsRefusedOnALeafAndCtrlCopies();
    void rightDropAsksAndCancelChangesNothing();
    void restingOnAClosedEntryOpensIt();
    void listDropsOnEmptySpaceGoIntoTheShownContainer();
    void listCopiesEverySelectedRowOrNothing();
    void treeMenuClipboardActsOnTheRightClickedEntry();
};

namespace {

// P1 holding cabinet C1, and P2, shown in the tree of the left pane.
struct DragFixture {
    HierarchyProject project;
    std::unique_ptr<CLeftView> tree;
    Item *p1 = nullptr;
    Item *p2 = nullptr;
    Item *cabinet = nullptr;

    DragFixture()
    {
        project.open();
        p1 = project.addFolder(project.projectItem(), PlantName, "P1");
        p2 = project.addFolder(project.projectItem(), PlantName, "P2");
        cabinet = p1 ? project.addFolder(*p1->asContainer(), CabinetName, "C1") : nullptr;
        if (!p2 || !cabinet)
            qFatal("folders cannot be made");
        tree = std::make_unique<CLeftView>(project.document);
        tree->resize(300, 400);
        tree->show();
        if (!QTest::qWaitForWindowExposed(tree.get()))
            qFatal("no window");
    }
    C7100Document &doc() { return project.document; }
    QModelIndex entry(ItemHandle handle)
    {
        tree->SelectItem(handle);
        return tree->treeModel().indexOf(handle);
    }
    QPoint centre(ItemHandle handle) { return tree->visualRect(entry(handle)).center(); }
    // What a drag of the entry carries, as the tree would hand it to QDrag.
    std::unique_ptr<QMimeData> drag(ItemHandle handle, bool right = false)
    {
        return std::unique_ptr<QMimeData>(tree->DragData(entry(handle), right, QPixmap()));
    }
    int cabinetsUnder(const Item *plant)
    {
        return project.rows("Racks", QStringLiteral("ParentID = %1").arg(plant->id().toInt()));
    }
};

// A synthesized drag move or drop on a viewport, after the drag entered it
// there (moves and drops go to the widget that took the enter); the action
// it accepted.
Qt::DropAction Send(QWidget *viewport, QEvent::Type type, const QPoint &at, const QMimeData &data,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &enter);
    if (type == QEvent::DragEnter)
        return enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
    if (type == QEvent::Drop) {
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(viewport, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers, type);
    QApplication::sendEvent(viewport, &move);
    return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
}

// Answers the drop menu and keeps what it offered.
struct ScriptedDropMenu {
    std::vector<DropChoice> answers;
    std::vector<DropMenuChoice> offers;
    DropMenuService::Presenter previous;
    explicit ScriptedDropMenu(std::vector<DropChoice> script) : answers(std::move(script))
    {
        previous = DropMenuService::setPresenter([this](const DropMenuChoice &offer) {
            offers.push_back(offer);
            const DropChoice choice = answers.empty() ? DropChoice::Cancel : answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return choice;
        });
    }
    ~ScriptedDropMenu() { DropMenuService::setPresenter(std::move(previous)); }
};

// Runs the command of a context menu as soon as the menu shows (waiting
// for it up to two seconds).
void ChooseFromNextMenu(const QString &command)
{
    auto *poll = new QTimer(qApp);
    auto tries = std::make_shared<int>(200);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, command] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu && --*tries > 0)
            return;
        poll->deleteLater();
        poll->stop();
        if (!menu)
            return;
        for (QAction *action : menu->actions())
            if (action->objectName() == command && action->isEnabled())
                action->trigger();
        menu->close();
    });
    poll->start(10);
}

} // namespace

void TestDragDropViews::moveDeletesTheSourceOnlyAfterThePaste()
{
    DragFixture f;
    const ItemHandle cabinet = f.cabinet->handle();
    std::unique_ptr<QMimeData> data = f.drag(cabinet);
    QVERIFY(data);
    QVERIFY(data->hasFormat(TransferFormats::BitmapDrag()));
    QVERIFY(!data->hasFormat(TransferFormats::RightClickDrag()));
    QWidget *viewport = f.tree->viewport();
    QCOMPARE(Send(viewport, QEvent::DragMove, f.centre(f.p2->handle()), *data), Qt::MoveAction);
    QCOMPARE(f.tree->DropTargetShown(), f.entry(f.p2->handle()));
    QCOMPARE(Send(viewport, QEvent::Drop, f.centre(f.p2->handle()), *data), Qt::MoveAction);
    QVERIFY(!f.tree->DropTargetShown().isValid());
    // Pasted, and the original still there until the drag ends.
    QCOMPARE(f.cabinetsUnder(f.p2), 1);
    QVERIFY(f.doc().FindItem(cabinet));
    QCOMPARE(f.doc().CurrentItem(), f.p2->handle());
    f.tree->DragEnded(Qt::MoveAction);
    QVERIFY(!f.doc().FindItem(cabinet));
    QCOMPARE(f.cabinetsUnder(f.p1), 0);
    QCOMPARE(f.cabinetsUnder(f.p2), 1);

    // A move that fails (a cabinet onto its own plant) reports no effect:
    // the ended drag deletes nothing.
    Item *moved = f.doc().FindRow(QStringLiteral("Racks"), QStringLiteral("C1"), false);
    QVERIFY(moved);
    const ItemHandle movedHandle = moved->handle();
    ScriptedMessages messages;
    messages.answer(MessageAnswer::Ok);
    data = f.drag(movedHandle);
    QCOMPARE(Send(viewport, QEvent::Drop, f.centre(f.p2->handle()), *data), Qt::IgnoreAction);
    QCOMPARE(f.tree->dragDrop().LastFailure(), QStringLiteral("OnDrop: don't proceed moving"));
    f.tree->DragEnded(Qt::IgnoreAction);
    QVERIFY(f.doc().FindItem(movedHandle));
    QCOMPARE(f.cabinetsUnder(f.p2), 1);
}

void TestDragDropViews::dropIsRefusedOnALeafAndCtrlCopies()
{
    DragFixture f;
    ScriptedModuleDialog dialog;
    dialog.names(QStringLiteral("PT-1"), QStringLiteral("PT-2"));
    Item *module = f.project.document.AddNewModule(*f.p2->asContainer(), Family7230, 1);
    QVERIFY(module);
    const ItemHandle cabinet = f.cabinet->handle();
    std::unique_ptr<QMimeData> data = f.drag(cabinet);
    QWidget *viewport = f.tree->viewport();
    // A module is no container: refused while dragging and at the drop.
    QCOMPARE(Send(viewport, QEvent::DragMove, f.centre(module->handle()), *data), Qt::IgnoreAction);
    QVERIFY(!f.tree->DropTargetShown().isValid());
    QCOMPARE(Send(viewport, QEvent::Drop, f.centre(module->handle()), *data), Qt::IgnoreAction);
    f.tree->DragEnded(Qt::IgnoreAction);
    QCOMPARE(f.project.rows("Racks"), 1);
    // Nor does a cabinet stand under the project: the drop ends quietly.
    ScriptedMessages messages;
    QCOMPARE(f.tree->dragDrop().Drop(MimeTransferData(data.get()), f.project.projectItem().handle(), false),
             DropEffect::None);
    QCOMPARE(f.tree->dragDrop().LastFailure(), QStringLiteral("OnDrop: Parent isn't a Level."));
    QVERIFY(messages.shown().empty());
    QCOMPARE(f.project.rows("Racks"), 1);

    // Ctrl copies: the source stays after the drag ended.
    data = f.drag(cabinet);
    QCOMPARE(Send(viewport, QEvent::DragMove, f.centre(f.p2->handle()), *data, Qt::ControlModifier),
             Qt::CopyAction);
    QCOMPARE(Send(viewport, QEvent::Drop, f.centre(f.p2->handle()), *data, Qt::ControlModifier),
             Qt::CopyAction);
    f.tree->DragEnded(Qt::CopyAction);
    QVERIFY(f.doc().FindItem(cabinet));
    QCOMPARE(f.cabinetsUnder(f.p1), 1);
    QCOMPARE(f.cabinetsUnder(f.p2), 1);

    // An item in edit cannot be dragged at all.
    QVERIFY(f.doc().BeginEdit(*f.p1));
    QVERIFY(!f.drag(f.p1->handle()));
    f.doc().CancelEdit(*f.p1);
}

void TestDragDropViews::rightDropAsksAndCancelChangesNothing()
{
    DragFixture f;
    const ItemHandle cabinet = f.cabinet->handle();
    ScriptedDropMenu menu({DropChoice::Cancel, DropChoice::Copy});
    std::unique_ptr<QMimeData> data = f.drag(cabinet, true);
    QVERIFY(data->hasFormat(TransferFormats::RightClickDrag()));
    QWidget *viewport = f.tree->viewport();
    QCOMPARE(Send(viewport, QEvent::Drop, f.centre(f.p2->handle()), *data), Qt::IgnoreAction);
    f.tree->DragEnded(Qt::IgnoreAction);
    QCOMPARE(f.project.rows("Racks"), 1);
    QVERIFY(f.doc().FindItem(cabinet));
    // The menu offers both effects, the plain drop's move as default.
    QCOMPARE(menu.offers.size(), size_t(1));
    QVERIFY(menu.offers[0].entries == (std::vector<DropEffect>{DropEffect::Move, DropEffect::Copy}));
    QCOMPARE(menu.offers[0].proposed, DropEffect::Move);

    // Copy Here copies although no Ctrl is held.
    data = f.drag(cabinet, true);
    QCOMPARE(Send(viewport, QEvent::Drop, f.centre(f.p2->handle()), *data), Qt::CopyAction);
    f.tree->DragEnded(Qt::CopyAction);
    QVERIFY(f.doc().FindItem(cabinet));
    QCOMPARE(f.cabinetsUnder(f.p2), 1);
}

void TestDragDropViews::restingOnAClosedEntryOpensIt()
{
    DragFixture f;
    const QModelIndex p1 = f.entry(f.p1->handle());
    f.tree->collapse(p1);
    std::unique_ptr<QMimeData> data = f.drag(f.p2->handle());
    QVERIFY(data);
    Send(f.tree->viewport(), QEvent::DragEnter, f.tree->visualRect(p1).center(), *data);
    QVERIFY(!f.tree->isExpanded(p1));
    QTRY_VERIFY_WITH_TIMEOUT(f.tree->isExpanded(p1), 5000);
}

void TestDragDropViews::listDropsOnEmptySpaceGoIntoTheShownContainer()
{
    DragFixture f;
    CMy7100View list(f.doc());
    list.resize(400, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(f.doc().Select(f.p2->handle()));
    list.listModel().Show(f.p2->handle());
    QCOMPARE(list.listModel().rowCount(), 0);
    std::unique_ptr<QMimeData> data = f.drag(f.cabinet->handle());
    QWidget *viewport = list.details()->viewport();
    const QPoint empty(10, viewport->height() - 5);
    QCOMPARE(Send(viewport, QEvent::Drop, empty, *data, Qt::ControlModifier), Qt::CopyAction);
    QCOMPARE(f.cabinetsUnder(f.p2), 1);
    QCOMPARE(f.cabinetsUnder(f.p1), 1);

    // Rows dragged from the list onto a cabinet row: a plant cannot go there.
    list.listModel().Show(f.project.projectItem().handle());
    list.SelectAllRows();
    std::unique_ptr<QMimeData> rows(list.DragData(list.model()->index(0, 0), false, QPixmap()));
    QVERIFY(rows);
    const std::optional<TransferSet> set = f.doc().ReadTransferData(MimeTransferData(rows.get()));
    QVERIFY(set);
    QCOMPARE(int(set->containers.size()), list.model()->rowCount());
    list.listModel().Show(f.p2->handle());
    const QPoint onRow = list.details()->visualRect(list.model()->index(0, 0)).center();
    QCOMPARE(Send(viewport, QEvent::DragMove, onRow, *rows), Qt::IgnoreAction);
    QCOMPARE(Send(viewport, QEvent::Drop, onRow, *rows), Qt::IgnoreAction);
    list.DragEnded(Qt::IgnoreAction);
    QCOMPARE(f.project.rows("Equipments"), 2);
}

void TestDragDropViews::listCopiesEverySelectedRowOrNothing()
{
    DragFixture f;
    MemoryClipboard clipboard(std::make_shared<MemoryClipboardBoard>());
    f.doc().SetClipboardPort(&clipboard);
    CMy7100View list(f.doc());
    list.listModel().Show(f.project.projectItem().handle());
    QCOMPARE(list.listModel().rowCount(), 2);
    list.SelectAllRows();
    QVERIFY(list.IsCommandEnabled(CommandId::EditCopy));
    QVERIFY(list.RunCommand(CommandId::EditCopy));
    std::optional<TransferSet> set = f.doc().ReadTransferData(clipboard.Contents());
    QVERIFY(set);
    QCOMPARE(set->containers.size(), size_t(2));
    QVERIFY(!set->move);

    // One row in edit: Cut is disabled and puts nothing on the clipboard.
    clipboard.Clear();
    QVERIFY(f.doc().BeginEdit(*f.p2));
    QVERIFY(!list.IsCommandEnabled(CommandId::EditCut));
    list.RunCommand(CommandId::EditCut);
    QVERIFY(!f.doc().ReadTransferData(clipboard.Contents()));
    QVERIFY(!f.p1->cutMark());
    f.doc().CancelEdit(*f.p2);
    f.doc().SetClipboardPort(nullptr);
}

void TestDragDropViews::treeMenuClipboardActsOnTheRightClickedEntry()
{
    DragFixture f;
    MemoryClipboard clipboard(std::make_shared<MemoryClipboardBoard>());
    f.doc().SetClipboardPort(&clipboard);
    QVERIFY(f.doc().Select(f.p1->handle()));
    QWidget *viewport = f.tree->viewport();
    const auto rightClick = [&](ItemHandle handle, const QString &command) {
        const QPoint at = f.centre(handle);
        ChooseFromNextMenu(command);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
    };
    rightClick(f.cabinet->handle(), QString::number(C7100TreeView::CopyContext));
    std::optional<TransferSet> set = f.doc().ReadTransferData(clipboard.Contents());
    QVERIFY(set);
    QCOMPARE(set->containers.size(), size_t(1));
    QCOMPARE(set->containers[0].item.value(QStringLiteral("Name")).toString(), QStringLiteral("C1"));
    rightClick(f.p2->handle(), QString::number(C7100TreeView::PasteContext));
    QCOMPARE(f.cabinetsUnder(f.p2), 1);
    QCOMPARE(f.cabinetsUnder(f.p1), 1);
    f.doc().SetClipboardPort(nullptr);
}

QTEST_MAIN(TestDragDropViews)
#include "test_drag_drop_views.moc"
