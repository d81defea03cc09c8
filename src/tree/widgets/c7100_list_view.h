#pragma once

#include "base/pane_commands.h"
#include "tree/drag_drop_presenter.h"
#include "tree/dynamic_menu.h"
#include "tree/item.h"
#include "tree/tree_view_logic.h"
#include "tree/widgets/item_drag_drop.h"

#include <QAbstractItemDelegate>
#include <QWidget>

#include <optional>

class C7100Document;
class ColumnLayout;
class ContainerListModel;
class HoverSelection;
class ListEntryLook;
class QAbstractItemView;
class QHeaderView;
class QItemSelectionModel;
class QListView;
class QMenu;
class QStackedLayout;
class QTableView;

// The list of the right pane: the children of the current item in one of
// four view modes, details (a table with the container's layout: hidden
// columns hidden, widths and places as the user left them, a header click
// sorting) or large icons, small icons and list. Rows are renamed in place,
// selected all or inverted; a right click shows "MainEdit" on empty space
// and "MainEdt" on a row. The selected rows are dragged together; a drop
// goes into the row's container, or into the shown container over empty
// space.
class C7100ListView : public QWidget, public ItemDragDropHooks, public PaneCommandTarget {
    Q_OBJECT
public:
    // The view modes as the setting ListViewStyle numbers them.
    enum ViewMode : int { LargeIcons = 0, Details = 1, SmallIcons = 2, ListMode = 3 };
    // Commands of the list that it carries out itself.
    enum Command : int {
        Delete = 40000,
        Rename = 40002,
        InPlaceRename = 40003,
        SelectAll = 40105,
        InvertSelection = 40106,
    };

    explicit C7100ListView(C7100Document &document, QWidget *parent = nullptr);
    ~C7100ListView() override;

    ContainerListModel &listModel() const { return *m_list; }
    // The rows as every mode shows them, and their one selection.
    QAbstractItemModel *model() const;
    QItemSelectionModel *selectionModel() const;
    QTableView *details() const { return m_details; }
    QListView *icons() const { return m_icons; }
    QAbstractItemView *currentView() const;
    // The details table's header and columns.
    QHeaderView *horizontalHeader() const;
    bool isColumnHidden(int column) const;
    int columnWidth(int column) const;
    void selectRow(int row);

    int viewMode() const { return m_mode; }
    void SetViewMode(int mode);
    // Lays the icons out on their grid again (the two icon modes).
    void ArrangeIcons();
    void SelectAllRows();
    void InvertSelectionOfRows();
    std::vector<ItemHandle> SelectedItems() const;
    std::vector<Item *> SelectedRowItems() const;
    // In-place rename of a row's item; false when it may not be renamed.
    bool StartRename(ItemHandle handle);
    // Delete of the selected rows, after the question.
    bool DeleteSelected();
    // Runs a command of the list's menus; false when it is not the list's.
    // Cut and Copy take every selected row.
    bool RunCommand(int id);
    bool IsCommandEnabled(int id) const;

    // While the list is the active pane, Rename and Multiply of the menus
    // and keys act on its first selected row; without a selection the frame
    // keeps them for the current item.
    std::optional<bool> PaneCommandEnabled(int id) override;
    bool RunPaneCommand(int id) override;

    // The item of the row that the context menu was opened on.
    ItemHandle ContextItem() const { return m_contextItem; }
    // "MainEdit" (24620) on empty space, "MainEdt" (24621) on a row.
    QMenu *BuildContextMenu(bool onRow, QWidget *parent);
    DynamicMenuBuilder &AddNewBuilder() { return m_addNew; }
    // Makes the "Add New" submenu of "MainEdit"; without it the menu offers
    // the child levels of the current item's table.
    void SetAddNewMenu(std::function<QMenu *(QWidget *parent)> make) { m_makeAddNew = std::move(make); }
    // Whether a command the frame carries out is enabled now.
    void SetCommandState(std::function<bool(int)> enabled) { m_commandEnabled = std::move(enabled); }
    // Whether a view-mode command of the frame carries its check mark now;
    // without it only the list's own mode is checked.
    void SetCommandChecked(std::function<bool(int)> checked) { m_commandChecked = std::move(checked); }

    // The hover selection of the rows (EnableHoverSelection, HoverTime).
    HoverSelection &hoverSelection() const { return *m_hover; }

    // Dragging rows and dropping on them, through the presenter.
    DragDropPresenter &dragDrop() { return m_dragDrop; }
    QMimeData *DragData(const QModelIndex &index, bool rightButton, const QPixmap &image) override;
    void DragEnded(Qt::DropAction action) override;
    Qt::DropAction DragOver(const QModelIndex &index, const QMimeData &data, bool control) override;
    Qt::DropAction DropAt(const QModelIndex &index, const QMimeData &data, bool control) override;

signals:
    // A command of the context menus that the main frame carries out.
    void commandRequested(int id);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onDocumentUpdate(QObject *sender, int hint, Item *item);
    void SetUpHoverSelection(ListEntryLook &look);
    // The row's item becomes the current one.
    void ActivateRow(const QModelIndex &index);
    void ApplyLayout();
    void ApplyVisibility();
    void StoreLayout();
    void EditorClosed(QWidget *editor, QAbstractItemDelegate::EndEditHint hint);
    Item *ItemOfRow(int row) const;
    // The container a drop at index goes into.
    ItemHandle DropTarget(const QModelIndex &index) const;

    C7100Document &m_document;
    ContainerListModel *m_list;
    QAbstractItemModel *m_look;
    QTableView *m_details;
    QListView *m_icons;
    QStackedLayout *m_stack;
    TreeViewLogic m_logic;
    DynamicMenuBuilder m_addNew;
    DragDropPresenter m_dragDrop;
    HoverSelection *m_hover = nullptr;
    int m_mode = Details;
    ItemHandle m_contextItem = 0;
    ItemHandle m_editing = 0;
    // Set while the header is arranged from the layout.
    bool m_applying = false;
    std::function<bool(int)> m_commandEnabled;
    std::function<QMenu *(QWidget *)> m_makeAddNew;
    std::function<bool(int)> m_commandChecked;
};
