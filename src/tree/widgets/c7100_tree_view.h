#pragma once

#include "tree/drag_drop_presenter.h"
#include "tree/dynamic_menu.h"
#include "tree/item.h"
#include "tree/tree_view_logic.h"
#include "tree/widgets/drag_drop_tree_view.h"
#include "tree/widgets/tree_entry_model.h"

#include <QTimer>

#include <functional>

class CMy7100Doc;
class QMenu;

// The item tree of the document: entries read when expanded, in the
// document's item order, painted by their state; the selection is the
// document's current item (asked through the document, so that changed
// pages are saved first or the old entry stays selected); folders are
// renamed in place; the context menu "TreeEdit" acts on the entry it was
// opened on.
class C7100TreeView : public CDragDropTreeView {
    Q_OBJECT
public:
    // Commands of the context menu "TreeEdit" (24622).
    enum Command : int {
        DeleteContext = 40010,
        MultiplyContext = 40011,
        RenameContext = 40012,
        InPlaceRenameContext = 40013,
        CutContext = 40017,
        CopyContext = 40018,
        PasteContext = 40019,
    };

    explicit C7100TreeView(CMy7100Doc &document, QWidget *parent = nullptr);
    ~C7100TreeView() override;

    TreeEntryModel &treeModel() const { return *m_model; }
    Item *ItemAt(const QModelIndex &index) const;
    // The "Add New" submenu of the context menu; its creator makes the item.
    DynamicMenuBuilder &AddNewBuilder() { return m_addNew; }
    // The entry that the context menu was opened on.
    ItemHandle ContextItem() const { return m_contextItem; }

    // Selects the entry of the item without telling the document.
    void SelectItem(ItemHandle handle);
    // Widens (or narrows) the column to the entries in view now.
    void FitColumn();
    void ExpandEntry(const QModelIndex &index) override;
    // Delete (40000 on the current item, 40010 on the context item).
    bool DeleteItem(ItemHandle handle);
    // In-place rename of an item (40003, 40013).
    bool StartRename(ItemHandle handle);
    // Closes an open label edit without taking its text (the window goes).
    void AbandonEdit();

    // Whether the right pane shows the list: a failed rename is then
    // cancelled.
    void SetListShownQuery(std::function<bool()> query) { m_listShown = std::move(query); }
    // Whether a command the frame carries out is enabled now.
    void SetCommandState(std::function<bool(int)> enabled) { m_commandEnabled = std::move(enabled); }
    // Whether a view-mode command of the frame carries its check mark now.
    void SetCommandChecked(std::function<bool(int)> checked) { m_commandChecked = std::move(checked); }
    // Makes the "Add New" submenu of the context menu; without it the menu
    // offers the child levels of the item's table.
    void SetAddNewMenu(std::function<QMenu *(QWidget *parent)> make) { m_makeAddNew = std::move(make); }
    // Builds the context menu of an item as a right click shows it.
    QMenu *BuildContextMenu(Item &item, QWidget *parent);

    // Dragging entries and dropping on them, through the presenter.
    DragDropPresenter &dragDrop() { return m_dragDrop; }
    QMimeData *DragData(const QModelIndex &index, bool rightButton, const QPixmap &image) override;
    void DragEnded(Qt::DropAction action) override;
    Qt::DropAction DragOver(const QModelIndex &index, const QMimeData &data, bool control) override;
    Qt::DropAction DropAt(const QModelIndex &index, const QMimeData &data, bool control) override;

signals:
    // A command of the context menu that the main frame carries out.
    void commandRequested(int id);

protected:
    // What the application's tree changes in the context menu; false keeps
    // the menu from showing.
    virtual bool PrepareContextMenu(QMenu &menu, Item &item);
    // Sets the painting state of the entry from the item (the model paints
    // from the item's edit state and cut mark).
    virtual void SetEntryState(const Item &item);

    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget *editor) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void onDocumentUpdate(QObject *sender, int hint, Item *item);
    void FitColumnLater();
    void RunContextCommand(int id);
    std::vector<ItemHandle> SiblingsOf(const QModelIndex &index) const;

    CMy7100Doc &m_document;
    TreeEntryModel *m_model;
    TreeViewLogic m_logic;
    DynamicMenuBuilder m_addNew;
    DragDropPresenter m_dragDrop;
    ItemHandle m_contextItem = 0;
    ItemHandle m_editing = 0;
    QTimer m_fitColumn;
    // Set while the view itself changes the selection.
    bool m_selfSelecting = false;
    std::function<bool()> m_listShown;
    std::function<bool(int)> m_commandEnabled;
    std::function<QMenu *(QWidget *)> m_makeAddNew;
    std::function<bool(int)> m_commandChecked;
};
