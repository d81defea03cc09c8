#include "tree/widgets/c7100_list_view.h"

#include "base/command_ids.h"
#include "base/command_prompt.h"
#include "base/settings.h"
#include "base/shell_strings.h"
#include "base/string_table.h"
#include "tree/column_layout.h"
#include "tree/container_list_model.h"
#include "tree/document.h"
#include "tree/hover_selection.h"
#include "tree/list_view_modes.h"
#include "tree/my7100_doc.h"
#include "tree/tree_strings.h"
#include "tree/widgets/context_menu_lines.h"
#include "tree/widgets/system_clipboard.h"
#include "tree/widgets/tree_images.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr int kArrangeIconsText = 63361;
constexpr int kLargeIconsText = ShellStrings::ToolLargeIcons;

} // namespace

// The list's rows with the tree's pictures in the first column.
class ListEntryLook : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const bool styled = role == Qt::FontRole || role == Qt::ForegroundRole ||
                            (role == Qt::DecorationRole && index.column() == 0);
        if (!styled)
            return QIdentityProxyModel::data(index, role);
        const auto *list = static_cast<const ContainerListModel *>(sourceModel());
        const Item *item = list->itemAt(index.row());
        const QVariant look = item ? TreeImages::EntryLook(index, role, item->level().tableName()) : QVariant();
        if (role != Qt::FontRole || index.row() != m_hotRow)
            return look;
        // The hot row is underlined, as a link that a click follows.
        QFont font = look.isValid() ? look.value<QFont>() : QFont();
        font.setUnderline(true);
        return font;
    }

    void SetHotRow(int previous, int now)
    {
        m_hotRow = now;
        for (const int row : {previous, now})
            if (row >= 0 && row < rowCount())
                emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::FontRole});
    }

private:
    int m_hotRow = -1;
};

namespace {

// The edited text is taken when the editor closes, never written through
// the model, so that a refused name can open the edit again.
class LabelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}
};

// "MainEdit": a right click on empty space.
constexpr MenuLine kMainEdit[] = {
    {kAddNewSubmenu, ShellStrings::MenuAddNew},
    {0, 0},
    {CommandId::EditPaste, ShellStrings::MenuPaste},
    {C7100ListView::SelectAll, ShellStrings::MenuSelectAll},
    {0, 0},
    {CommandId::LargeIcons, kLargeIconsText},
    {CommandId::SmallIcons, ShellStrings::MenuIcons},
    {CommandId::List, ShellStrings::MenuList},
    {CommandId::Details, ShellStrings::MenuDetails},
    {CommandId::ArrangeIcons, kArrangeIconsText},
    {0, 0},
    {CommandId::DialogView, ShellStrings::MenuDialogView},
};

// "MainEdt": a right click on a row.
constexpr MenuLine kMainEdt[] = {
    {C7100ListView::Rename, TreeStrings::RenameCommand},
    {C7100ListView::Delete, ShellStrings::MenuDelete},
    {0, 0},
    {C7100ListView::InvertSelection, ShellStrings::MenuInvertSelection},
    {0, 0},
    {CommandId::EditCut, ShellStrings::MenuCut},
    {CommandId::EditCopy, ShellStrings::MenuCopy},
    {CommandId::EditPaste, ShellStrings::MenuPaste},
};

} // namespace

C7100ListView::C7100ListView(C7100Document &document, QWidget *parent)
    : QWidget(parent), m_document(document), m_list(new ContainerListModel(document, this)),
      m_details(new QTableView(this)), m_icons(new QListView(this)), m_stack(new QStackedLayout(this)),
      m_logic(document), m_addNew(document, DynamicMenuBuilder::Kind::AddNew), m_dragDrop(document)
{
    auto *look = new ListEntryLook(this);
    look->setSourceModel(m_list);
    m_look = look;
    m_list->SetRenamable([](const Item &item) {
        return TreeViewLogic::CanEdit(&item) && !CMy7100Doc::IsModule(item) && !CMy7100Doc::IsSignal(item);
    });
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_icons);
    m_details->setObjectName(QStringLiteral("Details"));
    m_icons->setObjectName(QStringLiteral("Icons"));
    m_details->setModel(m_look);
    m_icons->setModel(m_look);
    // Both modes show one selection.
    m_icons->setSelectionModel(m_details->selectionModel());
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(m_details), static_cast<QAbstractItemView *>(m_icons)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setContextMenuPolicy(Qt::NoContextMenu);
        auto *delegate = new LabelDelegate(view);
        view->setItemDelegate(delegate);
        connect(delegate, &QAbstractItemDelegate::closeEditor, this, &C7100ListView::EditorClosed);
        new ItemDragDropFilter(*view, *this, DragDropPresenter::AutoExpandDelay());
        // A double click makes the row's item current; with hover selection
        // one click does (one-click activation).
        connect(view, &QAbstractItemView::doubleClicked, this, &C7100ListView::ActivateRow);
        connect(view, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
            if (m_hover->enabled() && QApplication::keyboardModifiers() == Qt::NoModifier)
                ActivateRow(index);
        });
    }
    m_details->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_details->setShowGrid(false);
    m_details->setWordWrap(false);
    m_details->verticalHeader()->hide();
    m_details->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_icons->setModelColumn(0);
    m_icons->setUniformItemSizes(true);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setWordWrap(true);
    SetUpHoverSelection(*look);
    QHeaderView *header = m_details->horizontalHeader();
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    // The columns keep the widths the user gave them; none stretches.
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        m_list->SortByHeader(column);
        m_details->horizontalHeader()->setSortIndicator(m_list->sortColumn(), m_list->sortOrder());
    });
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!m_applying && m_list->layout())
            m_list->layout()->SetWidth(column, width);
    });
    connect(header, &QHeaderView::sectionMoved, this, [this] { StoreLayout(); });
    connect(m_list, &QAbstractItemModel::modelReset, this, &C7100ListView::ApplyLayout);
    connect(m_list, &QAbstractItemModel::layoutChanged, this, [this] {
        m_details->horizontalHeader()->setSortIndicator(m_list->sortColumn(), m_list->sortOrder());
    });
    connect(&m_document, &C7100Document::updateAllViews, this, &C7100ListView::onDocumentUpdate);
    connect(&m_document, &C7100Document::currentTableChanged, this, [this] {
        if (isVisible())
            m_list->Show(m_document.CurrentItem());
    });
    SetViewMode(ReadSetting(QStringLiteral("ListViewStyle")).toInt());
    m_list->Show(m_document.CurrentItem());
    setFocusProxy(m_details);
}

C7100ListView::~C7100ListView()
{
    StoreLayout();
    m_editing = 0;
    m_details->viewport()->removeEventFilter(this);
    m_icons->viewport()->removeEventFilter(this);
    // The views go while this is still the list their signals reach.
    delete m_icons;
    delete m_details;
}

void C7100ListView::ActivateRow(const QModelIndex &index)
{
    if (const Item *item = ItemOfRow(index.row()))
        m_document.Select(item->handle());
}

// With EnableHoverSelection the row under the resting cursor is hot
// (underlined, the pointing hand over it) and becomes the selected row
// after HoverTime milliseconds.
void C7100ListView::SetUpHoverSelection(ListEntryLook &look)
{
    m_hover = new HoverSelection(this);
    m_hover->Configure(ReadSetting(QStringLiteral("EnableHoverSelection")).toInt() != 0,
                       ReadSetting(QStringLiteral("HoverTime")).toInt());
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(m_details), static_cast<QAbstractItemView *>(m_icons)}) {
        view->setMouseTracking(m_hover->enabled());
        view->viewport()->installEventFilter(this);
    }
    connect(m_hover, &HoverSelection::hotRowChanged, this, [this, &look](int previous, int now) {
        look.SetHotRow(previous, now);
        if (now >= 0)
            currentView()->viewport()->setCursor(Qt::PointingHandCursor);
        else
            currentView()->viewport()->unsetCursor();
    });
    connect(m_hover, &HoverSelection::selectRow, this, [this](int row) {
        if (row >= m_look->rowCount() || m_editing != 0 || QApplication::mouseButtons() != Qt::NoButton)
            return;
        selectionModel()->setCurrentIndex(m_look->index(row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
    connect(m_list, &QAbstractItemModel::modelReset, m_hover, [this] { m_hover->Hovered(-1); });
}

bool C7100ListView::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractItemView *view = currentView();
    if (watched != view->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        m_hover->Hovered(view->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()).row());
        break;
    case QEvent::Leave:
        m_hover->Hovered(-1);
        break;
    case QEvent::MouseButtonPress:
        m_hover->Interrupted();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

QAbstractItemModel *C7100ListView::model() const
{
    return m_look;
}

QItemSelectionModel *C7100ListView::selectionModel() const
{
    return m_details->selectionModel();
}

QAbstractItemView *C7100ListView::currentView() const
{
    return m_mode == Details ? static_cast<QAbstractItemView *>(m_details) : m_icons;
}

QHeaderView *C7100ListView::horizontalHeader() const
{
    return m_details->horizontalHeader();
}

bool C7100ListView::isColumnHidden(int column) const
{
    return m_details->isColumnHidden(column);
}

int C7100ListView::columnWidth(int column) const
{
    return m_details->columnWidth(column);
}

void C7100ListView::selectRow(int row)
{
    m_details->selectRow(row);
}

Item *C7100ListView::ItemOfRow(int row) const
{
    return m_list->itemAt(row);
}

void C7100ListView::SetViewMode(int mode)
{
    if (mode < LargeIcons || mode > ListMode)
        mode = Details;
    const bool hadFocus = currentView()->hasFocus();
    m_mode = mode;
    if (mode == Details) {
        m_stack->setCurrentWidget(m_details);
    } else {
        const bool large = mode == LargeIcons;
        const int icon = large ? 32 : 16;
        m_icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
        m_icons->setIconSize(QSize(icon, icon));
        // Small icons run in rows, the list in columns.
        m_icons->setFlow(mode == ListMode ? QListView::TopToBottom : QListView::LeftToRight);
        m_icons->setWrapping(true);
        // Only large icons stand on a grid the user may arrange.
        m_icons->setMovement(large ? QListView::Snap : QListView::Static);
        // The movement switches the icons' drags; rows are dragged in every mode.
        m_icons->setDragEnabled(true);
        m_icons->viewport()->setAcceptDrops(true);
        m_icons->setGridSize(large ? QSize(96, 72) : QSize());
        m_icons->setSpacing(large ? 4 : 2);
        m_stack->setCurrentWidget(m_icons);
    }
    setFocusProxy(currentView());
    if (hadFocus)
        currentView()->setFocus();
}

void C7100ListView::ArrangeIcons()
{
    if (m_mode == LargeIcons || m_mode == SmallIcons)
        m_icons->doItemsLayout();
}

void C7100ListView::SelectAllRows()
{
    currentView()->selectAll();
}

void C7100ListView::InvertSelectionOfRows()
{
    if (m_look->rowCount() == 0 || m_look->columnCount() == 0)
        return;
    const QItemSelection all(m_look->index(0, 0),
                             m_look->index(m_look->rowCount() - 1, m_look->columnCount() - 1));
    selectionModel()->select(all, QItemSelectionModel::Toggle);
}

std::vector<ItemHandle> C7100ListView::SelectedItems() const
{
    std::vector<ItemHandle> handles;
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        if (!rows.contains(index.row()))
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    for (const int row : rows)
        if (const Item *item = ItemOfRow(row))
            handles.push_back(item->handle());
    return handles;
}

std::vector<Item *> C7100ListView::SelectedRowItems() const
{
    std::vector<Item *> items;
    for (const ItemHandle handle : SelectedItems())
        items.push_back(m_document.FindItem(handle));
    return items;
}

bool C7100ListView::StartRename(ItemHandle handle)
{
    const int row = m_list->RowOf(handle);
    Item *item = ItemOfRow(row);
    if (!item || !(m_list->flags(m_list->index(row, 0)) & Qt::ItemIsEditable) ||
        !m_logic.BeginLabelEdit(*item))
        return false;
    const QModelIndex index = m_look->index(m_list->RowOf(handle), 0);
    currentView()->setCurrentIndex(index);
    m_editing = handle;
    currentView()->edit(index);
    if (currentView()->indexWidget(index))
        return true;
    m_editing = 0;
    m_document.CancelEdit(*item);
    return false;
}

void C7100ListView::EditorClosed(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    std::optional<QString> text;
    if (const auto *line = qobject_cast<QLineEdit *>(editor);
        line && hint != QAbstractItemDelegate::RevertModelCache)
        text = line->text();
    const ItemHandle handle = std::exchange(m_editing, 0);
    if (!handle)
        return;
    // A refused folder name restarts the edit; a failed save is cancelled.
    if (m_logic.EndLabelEdit(handle, text, {false, true}) == TreeViewLogic::LabelEnd::Reopen)
        QMetaObject::invokeMethod(
            this, [this, handle] { StartRename(handle); }, Qt::QueuedConnection);
}

bool C7100ListView::DeleteSelected()
{
    const std::vector<ItemHandle> selected = SelectedItems();
    if (selected.size() == 1)
        return m_logic.Delete(selected.front(), {});
    // Several rows: one question, then the progress window.
    return !m_document.DeleteSelection(selected, this).empty();
}

bool C7100ListView::IsCommandEnabled(int id) const
{
    switch (id) {
    case Delete: {
        const std::vector<ItemHandle> selected = SelectedItems();
        return !selected.empty() && std::all_of(selected.begin(), selected.end(), [this](ItemHandle handle) {
            return TreeViewLogic::CanEdit(m_document.FindItem(handle));
        });
    }
    case Rename:
    case InPlaceRename:
        return TreeViewLogic::CanEdit(m_document.FindItem(m_contextItem));
    case SelectAll:
    case InvertSelection:
        return m_look->rowCount() > 0;
    case CommandId::ArrangeIcons:
        return m_mode == LargeIcons || m_mode == SmallIcons;
    case CommandId::EditCut:
    case CommandId::EditCopy: {
        const std::vector<Item *> rows = SelectedRowItems();
        return !rows.empty() && std::all_of(rows.begin(), rows.end(),
                                            [this](const Item *item) { return m_document.CanCopy(item); });
    }
    default:
        return m_commandEnabled && m_commandEnabled(id);
    }
}

bool C7100ListView::RunCommand(int id)
{
    Item *context = m_document.FindItem(m_contextItem);
    switch (id) {
    case Delete:
        DeleteSelected();
        return true;
    case Rename:
        if (context && !m_logic.RenameInDialog(*context))
            StartRename(context->handle());
        return true;
    case InPlaceRename:
        if (context)
            StartRename(context->handle());
        return true;
    case SelectAll:
        SelectAllRows();
        return true;
    case InvertSelection:
        InvertSelectionOfRows();
        return true;
    case CommandId::ArrangeIcons:
        ArrangeIcons();
        return true;
    case CommandId::EditCut:
    case CommandId::EditCopy:
        // Every selected row goes together; nothing when one cannot.
        m_document.CopyToClipboard(SelectedRowItems(), id == CommandId::EditCut);
        return true;
    default:
        return false;
    }
}

std::optional<bool> C7100ListView::PaneCommandEnabled(int id)
{
    if (id != CommandId::Rename && id != CommandId::Multiply)
        return std::nullopt;
    const std::vector<Item *> rows = SelectedRowItems();
    if (rows.empty() || !rows.front())
        return std::nullopt;
    const Item *row = rows.front();
    return id == CommandId::Rename ? TreeViewLogic::CanEdit(row) : m_document.MultiplyEnabled(row);
}

bool C7100ListView::RunPaneCommand(int id)
{
    if (!PaneCommandEnabled(id).value_or(false))
        return false;
    Item *row = SelectedRowItems().front();
    if (id == CommandId::Multiply) {
        m_document.Multiply(*row);
        return true;
    }
    if (!m_logic.RenameInDialog(*row))
        StartRename(row->handle());
    return true;
}

QMenu *C7100ListView::BuildContextMenu(bool onRow, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(onRow ? QStringLiteral("24621") : QStringLiteral("24620"));
    const auto addLines = [this, menu](const auto &lines) {
        for (const MenuLine &line : lines) {
            if (line.id == 0) {
                menu->addSeparator();
                continue;
            }
            if (line.id == kAddNewSubmenu) {
                const Item *current = m_document.FindItem(m_document.CurrentItem());
                CLevelList *levels = m_document.Registry().levels();
                AddAddNewSubmenu(*menu, Str(line.textId), m_addNew,
                                 current && levels
                                     ? m_document.Layouts().Find(*levels, current->level().tableName())
                                     : nullptr,
                                 m_makeAddNew);
                continue;
            }
            QAction *action = menu->addAction(Str(line.textId));
            action->setObjectName(QString::number(line.id));
            action->setStatusTip(CommandPrompt(line.id));
            action->setEnabled(IsCommandEnabled(line.id));
            const std::function<bool(int)> ownMode = [this](int id) {
                return ListViewModes::ModeOfCommand(id) == m_mode;
            };
            ShowCheckMark(*action, line.id, m_commandChecked ? m_commandChecked : ownMode);
        }
    };
    if (onRow)
        addLines(kMainEdt);
    else
        addLines(kMainEdit);
    connect(menu, &QMenu::triggered, this, [this, menu](QAction *action) {
        const int id = action->objectName().toInt();
        if (m_addNew.Owns(id))
            m_addNew.Execute(id);
        else if (IsOwnEntry(*menu, *action) && !RunCommand(id))
            emit commandRequested(id);
    });
    ShowPromptsThrough(*menu, *this);
    return menu;
}

void C7100ListView::contextMenuEvent(QContextMenuEvent *event)
{
    QAbstractItemView *view = currentView();
    const bool byMouse = event->reason() == QContextMenuEvent::Mouse;
    QModelIndex index;
    QPoint at;
    if (byMouse) {
        index = view->indexAt(view->viewport()->mapFromGlobal(event->globalPos()));
        at = event->globalPos();
    } else {
        const QModelIndexList selected = selectionModel()->selectedRows();
        index = selected.isEmpty() ? QModelIndex() : selected.front();
        at = view->viewport()->mapToGlobal(index.isValid() ? view->visualRect(index).center() : QPoint(0, 0));
    }
    const Item *item = index.isValid() ? ItemOfRow(index.row()) : nullptr;
    m_contextItem = item ? item->handle() : 0;
    if (item && !selectionModel()->isRowSelected(index.row(), {}))
        view->setCurrentIndex(index);
    QMenu *menu = BuildContextMenu(item != nullptr, this);
    menu->exec(at);
    menu->deleteLater();
}

void C7100ListView::ApplyLayout()
{
    ColumnLayout *layout = m_list->layout();
    if (!layout)
        return;
    const bool before = std::exchange(m_applying, true);
    QHeaderView *header = m_details->horizontalHeader();
    for (int column = 0; column < layout->columnCount(); ++column)
        m_details->setColumnWidth(column, layout->Width(column));
    // Until the user sizes it, the name column fits the names it shows; the
    // fitted width is not the user's and is not stored.
    if (layout->columnCount() > 0 && layout->Width(0) == layout->columns().front().width) {
        m_details->resizeColumnToContents(0);
        m_details->setColumnWidth(0, std::max(m_details->columnWidth(0), layout->Width(0)));
    }
    // The columns take their places from the first to the last.
    std::vector<int> byPlace(size_t(layout->columnCount()));
    for (int column = 0; column < layout->columnCount(); ++column)
        byPlace[size_t(column)] = column;
    std::stable_sort(byPlace.begin(), byPlace.end(),
                     [layout](int a, int b) { return layout->Position(a) < layout->Position(b); });
    for (int place = 0; place < int(byPlace.size()); ++place)
        header->moveSection(header->visualIndex(byPlace[size_t(place)]), place);
    ApplyVisibility();
    // The table's stored sort shows on its header.
    header->setSortIndicator(m_list->sortColumn(), m_list->sortOrder());
    m_applying = before;
}

void C7100ListView::ApplyVisibility()
{
    const ColumnLayout *layout = m_list->layout();
    for (int column = 0; layout && column < layout->columnCount(); ++column)
        m_details->setColumnHidden(column, !layout->Visible(column));
}

void C7100ListView::StoreLayout()
{
    ColumnLayout *layout = m_list->layout();
    if (m_applying || !layout)
        return;
    for (int column = 0; column < layout->columnCount() && column < m_look->columnCount(); ++column)
        layout->SetPosition(column, m_details->horizontalHeader()->visualIndex(column));
}

void C7100ListView::onDocumentUpdate(QObject *, int hint, Item *item)
{
    switch (hint) {
    case C7100Document::HintClear:
        StoreLayout();
        m_contextItem = 0;
        m_editing = 0;
        break;
    case C7100Document::HintRebuild:
        // Without an object several names changed: the same list again.
        if (isVisible())
            m_list->Show(item ? item->handle() : m_list->shownContainer());
        break;
    case C7100Document::HintColumnShown:
        ApplyVisibility();
        break;
    case C7100Document::HintLanguage:
        ApplyLayout();
        break;
    case C7100Document::HintBulkBegins:
        setUpdatesEnabled(false);
        break;
    case C7100Document::HintBulkEnds:
        setUpdatesEnabled(true);
        break;
    default:
        break;
    }
}

QMimeData *C7100ListView::DragData(const QModelIndex &index, bool rightButton, const QPixmap &image)
{
    std::vector<ItemHandle> dragged = SelectedItems();
    if (dragged.empty())
        if (const Item *item = ItemOfRow(index.row()))
            dragged.push_back(item->handle());
    const std::optional<TransferPayload> payload = m_dragDrop.StartDrag(dragged, rightButton, PngOf(image));
    return payload ? MakeTransferMimeData(*payload) : nullptr;
}

void C7100ListView::DragEnded(Qt::DropAction action)
{
    m_dragDrop.DragFinished(DropEffectOf(action));
}

ItemHandle C7100ListView::DropTarget(const QModelIndex &index) const
{
    if (!index.isValid())
        return m_list->shownContainer();
    const Item *item = ItemOfRow(index.row());
    return item ? item->handle() : 0;
}

Qt::DropAction C7100ListView::DragOver(const QModelIndex &index, const QMimeData &data, bool control)
{
    return DropActionOf(m_dragDrop.DragOver(MimeTransferData(&data), DropTarget(index), control));
}

Qt::DropAction C7100ListView::DropAt(const QModelIndex &index, const QMimeData &data, bool control)
{
    const ItemHandle target = DropTarget(index);
    const DropEffect effect = m_dragDrop.Drop(MimeTransferData(&data), target, control);
    if (effect == DropEffect::None)
        return Qt::IgnoreAction;
    // A row that took the drop becomes the selected one.
    if (const int row = m_list->RowOf(target); row >= 0) {
        selectionModel()->clearSelection();
        selectRow(row);
    }
    return DropActionOf(effect);
}
