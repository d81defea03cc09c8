#include "tree/widgets/c7100_tree_view.h"

#include "base/command_ids.h"
#include "base/command_prompt.h"
#include "base/settings.h"
#include "base/shell_strings.h"
#include "base/string_table.h"
#include "tree/my7100_doc.h"
#include "tree/tree_strings.h"
#include "tree/widgets/context_menu_lines.h"
#include "tree/widgets/system_clipboard.h"
#include "tree/widgets/tree_entry_model.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <utility>

namespace {
// Hot tracking underlines the entry under the cursor.
class HotEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_MouseOver)
            option->font.setUnderline(true);
    }
};


constexpr int kMultiplyText = 63351; // the Edit menu's own text

// Menu "TreeEdit": Add New, the item commands, the clipboard and, as its
// last six entries, the view commands.
constexpr MenuLine kTreeEdit[] = {
    {kAddNewSubmenu, ShellStrings::MenuAddNew},
    {0, 0},
    {C7100TreeView::DeleteContext, ShellStrings::MenuDelete},
    {C7100TreeView::MultiplyContext, kMultiplyText},
    {C7100TreeView::RenameContext, TreeStrings::RenameCommand},
    {0, 0},
    {C7100TreeView::CutContext, ShellStrings::MenuCut},
    {C7100TreeView::CopyContext, ShellStrings::MenuCopy},
    {C7100TreeView::PasteContext, ShellStrings::MenuPaste},
    {0, 0},
    {CommandId::SmallIcons, ShellStrings::MenuIcons},
    {CommandId::List, ShellStrings::MenuList},
    {CommandId::Details, ShellStrings::MenuDetails},
    {0, 0},
    {CommandId::DialogView, ShellStrings::MenuDialogView},
};

// The frame's command behind a command of the context menu.
int FrameCommand(int id)
{
    switch (id) {
    case C7100TreeView::MultiplyContext:
        return CommandId::Multiply;
    default:
        return id;
    }
}

// The main menu's command whose prompt an entry of the menu shows.
int PromptCommand(int id)
{
    switch (id) {
    case C7100TreeView::DeleteContext:
        return CommandId::Delete;
    case C7100TreeView::MultiplyContext:
        return CommandId::Multiply;
    case C7100TreeView::RenameContext:
        return CommandId::Rename;
    case C7100TreeView::CutContext:
        return CommandId::EditCut;
    case C7100TreeView::CopyContext:
        return CommandId::EditCopy;
    case C7100TreeView::PasteContext:
        return CommandId::EditPaste;
    default:
        return id;
    }
}

} // namespace

C7100TreeView::C7100TreeView(CMy7100Doc &document, QWidget *parent)
    : CDragDropTreeView(parent), m_document(document), m_model(new TreeEntryModel(document, this)),
      m_logic(document), m_addNew(document, DynamicMenuBuilder::Kind::AddNew), m_dragDrop(document)
{
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    // Long names scroll sideways instead of being cut off.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    // Hot tracking: the entry under the cursor is highlighted and
    // underlined, as the list's hot row is.
    if (ReadSetting(QStringLiteral("EnableHoverSelection")).toInt() != 0) {
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
        setItemDelegate(new HotEntryDelegate(this));
    }
    m_model->setRenamer({[](const Item &item) {
                             return TreeViewLogic::CanEdit(&item) && !CMy7100Doc::IsModule(item) &&
                                    !CMy7100Doc::IsSignal(item);
                         },
                         {}});
    setModel(m_model);
    connect(&m_document, &C7100Document::updateAllViews, this, &C7100TreeView::onDocumentUpdate);
    // The column fits the entries shown now: a module expanded into view
    // under a carrier, or scrolled into it, widens it as the first rows did.
    m_fitColumn.setSingleShot(true);
    m_fitColumn.setInterval(0);
    connect(&m_fitColumn, &QTimer::timeout, this, &C7100TreeView::FitColumn);
    connect(this, &QTreeView::expanded, this, &C7100TreeView::FitColumnLater);
    connect(this, &QTreeView::collapsed, this, &C7100TreeView::FitColumnLater);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &C7100TreeView::FitColumnLater);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &C7100TreeView::FitColumnLater);
    connect(m_model, &QAbstractItemModel::modelReset, this, &C7100TreeView::FitColumnLater);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &C7100TreeView::FitColumnLater);
}

void C7100TreeView::FitColumnLater()
{
    m_fitColumn.start();
}

void C7100TreeView::FitColumn()
{
    header()->resizeSections(QHeaderView::ResizeToContents);
}

C7100TreeView::~C7100TreeView()
{
    AbandonEdit();
}

void C7100TreeView::AbandonEdit()
{
    const ItemHandle handle = std::exchange(m_editing, 0);
    if (!handle)
        return;
    if (QWidget *editor = indexWidget(m_model->indexOf(handle)))
        CDragDropTreeView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    if (Item *item = m_document.FindItem(handle); item && item->editState() != EditState::Clean)
        m_document.CancelEdit(*item);
}

Item *C7100TreeView::ItemAt(const QModelIndex &index) const
{
    return m_model->itemAt(index);
}

void C7100TreeView::onDocumentUpdate(QObject *, int hint, Item *item)
{
    switch (hint) {
    case C7100Document::HintClear:
        m_contextItem = 0;
        m_editing = 0;
        break;
    case C7100Document::HintRebuild:
        if (item)
            SelectItem(item->handle());
        break;
    case C7100Document::HintBulkBegins:
        setUpdatesEnabled(false);
        break;
    case C7100Document::HintBulkEnds:
        setUpdatesEnabled(true);
        break;
    case C7100Document::HintEditState:
    case C7100Document::HintCutMark:
        if (item)
            SetEntryState(*item);
        break;
    default:
        break;
    }
}

void C7100TreeView::SetEntryState(const Item &item)
{
    m_model->refreshItem(item.handle());
}

void C7100TreeView::SelectItem(ItemHandle handle)
{
    const QModelIndex index = m_model->indexOf(handle);
    if (!index.isValid())
        return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        expand(up);
    const bool before = std::exchange(m_selfSelecting, true);
    setCurrentIndex(index);
    scrollTo(index);
    FitColumn();
    m_selfSelecting = before;
}

void C7100TreeView::ExpandEntry(const QModelIndex &index)
{
    if (m_model->canFetchMore(index)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_model->fetchMore(index);
        QApplication::restoreOverrideCursor();
    }
    CDragDropTreeView::ExpandEntry(index);
}

void C7100TreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    CDragDropTreeView::currentChanged(current, previous);
    const Item *item = ItemAt(current);
    if (m_selfSelecting || !item || item->handle() == m_document.CurrentItem())
        return;
    const ItemHandle handle = item->handle();
    if (!m_document.Select(handle)) {
        // Refused (changes kept): the old entry stays selected.
        const ItemHandle old = m_document.CurrentItem();
        QMetaObject::invokeMethod(
            this, [this, old] { SelectItem(old); }, Qt::QueuedConnection);
        return;
    }
    const QModelIndex now = m_model->indexOf(handle);
    if (now.isValid() && !m_model->isFetched(handle) && m_model->canFetchMore(now))
        ExpandEntry(now);
}

std::vector<ItemHandle> C7100TreeView::SiblingsOf(const QModelIndex &index) const
{
    std::vector<ItemHandle> handles;
    const QModelIndex parent = index.parent();
    for (int row = 0; row < m_model->rowCount(parent); ++row)
        if (const Item *item = ItemAt(m_model->index(row, 0, parent)))
            handles.push_back(item->handle());
    return handles;
}

bool C7100TreeView::DeleteItem(ItemHandle handle)
{
    return m_logic.Delete(handle, SiblingsOf(m_model->indexOf(handle)));
}

bool C7100TreeView::StartRename(ItemHandle handle)
{
    const QModelIndex index = m_model->indexOf(handle);
    if (!index.isValid())
        return false;
    SelectItem(handle);
    return edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

bool C7100TreeView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool wanted = trigger == QAbstractItemView::AllEditTriggers || (editTriggers() & trigger);
    Item *item = ItemAt(index);
    if (!wanted || state() == QAbstractItemView::EditingState || !item)
        return CDragDropTreeView::edit(index, trigger, event);
    if (!(m_model->flags(index) & Qt::ItemIsEditable) || !m_logic.BeginLabelEdit(*item))
        return false;
    m_editing = item->handle();
    if (CDragDropTreeView::edit(index, trigger, event))
        return true;
    m_editing = 0;
    return false;
}

// The text is taken here, not through the model, so that a refused name
// can open the edit again.
void C7100TreeView::commitData(QWidget *)
{
}

void C7100TreeView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    std::optional<QString> text;
    if (const auto *line = qobject_cast<QLineEdit *>(editor);
        line && hint != QAbstractItemDelegate::RevertModelCache)
        text = line->text();
    const ItemHandle handle = std::exchange(m_editing, 0);
    CDragDropTreeView::closeEditor(editor, hint);
    if (!handle)
        return;
    const TreeViewLogic::Place place{true, m_listShown && m_listShown()};
    if (m_logic.EndLabelEdit(handle, text, place) == TreeViewLogic::LabelEnd::Reopen)
        QMetaObject::invokeMethod(
            this, [this, handle] { StartRename(handle); }, Qt::QueuedConnection);
}

QMenu *C7100TreeView::BuildContextMenu(Item &item, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("24622"));
    const bool editable = TreeViewLogic::CanEdit(&item);
    for (const MenuLine &line : kTreeEdit) {
        if (line.id == 0) {
            menu->addSeparator();
            continue;
        }
        if (line.id == kAddNewSubmenu) {
            CLevelList *levels = m_document.Registry().levels();
            AddAddNewSubmenu(*menu, Str(line.textId), m_addNew,
                             levels ? m_document.Layouts().Find(*levels, item.level().tableName()) : nullptr,
                             m_makeAddNew);
            continue;
        }
        QAction *action = menu->addAction(Str(line.textId));
        action->setObjectName(QString::number(line.id));
        action->setStatusTip(CommandPrompt(PromptCommand(line.id)));
        switch (line.id) {
        case DeleteContext:
        case RenameContext:
            action->setEnabled(editable);
            break;
        case MultiplyContext:
            action->setEnabled(editable && m_document.CanMultiply(item) && m_commandEnabled &&
                               m_commandEnabled(FrameCommand(line.id)));
            break;
        case CutContext:
        case CopyContext:
            action->setEnabled(m_document.CanCopy(&item));
            break;
        case PasteContext:
            action->setEnabled(m_document.CanPaste(&item));
            break;
        default:
            action->setEnabled(m_commandEnabled && m_commandEnabled(FrameCommand(line.id)));
            ShowCheckMark(*action, line.id, m_commandChecked);
            break;
        }
    }
    connect(menu, &QMenu::triggered, this, [this, menu](QAction *action) {
        const int id = action->objectName().toInt();
        if (m_addNew.Owns(id))
            m_addNew.Execute(id);
        else if (IsOwnEntry(*menu, *action))
            RunContextCommand(id);
    });
    if (!PrepareContextMenu(*menu, item)) {
        delete menu;
        return nullptr;
    }
    ShowPromptsThrough(*menu, *this);
    return menu;
}

bool C7100TreeView::PrepareContextMenu(QMenu &, Item &)
{
    return true;
}

void C7100TreeView::contextMenuEvent(QContextMenuEvent *event)
{
    const bool byMouse = event->reason() == QContextMenuEvent::Mouse;
    const QModelIndex index = byMouse ? indexAt(event->pos()) : currentIndex();
    Item *item = ItemAt(index);
    if (!item)
        return;
    const QPoint at = byMouse ? event->globalPos() : viewport()->mapToGlobal(visualRect(index).center());
    m_contextItem = item->handle();
    QMenu *menu = BuildContextMenu(*item, this);
    if (!menu)
        return;
    setCurrentIndex(index);
    menu->exec(at);
    menu->deleteLater();
}

void C7100TreeView::RunContextCommand(int id)
{
    Item *item = m_document.FindItem(m_contextItem);
    switch (id) {
    case DeleteContext:
        if (item)
            DeleteItem(item->handle());
        break;
    case RenameContext:
        if (item && (CMy7100Doc::IsModule(*item) || CMy7100Doc::IsSignal(*item)))
            m_document.RenameModule(*item);
        else if (item)
            StartRename(item->handle());
        break;
    case InPlaceRenameContext:
        if (item)
            StartRename(item->handle());
        break;
    // The clipboard commands of the menu act on the right-clicked entry,
    // even when the document kept another one current.
    case CutContext:
    case CopyContext:
        if (item)
            m_document.CopyToClipboard({item}, id == CutContext);
        break;
    case PasteContext:
        if (item) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_document.PasteFromClipboard(item);
            QApplication::restoreOverrideCursor();
        }
        break;
    default:
        emit commandRequested(FrameCommand(id));
        break;
    }
}

QMimeData *C7100TreeView::DragData(const QModelIndex &index, bool rightButton, const QPixmap &image)
{
    const Item *item = ItemAt(index);
    if (!item)
        return nullptr;
    const std::optional<TransferPayload> payload =
        m_dragDrop.StartDrag({item->handle()}, rightButton, PngOf(image));
    return payload ? MakeTransferMimeData(*payload) : nullptr;
}

void C7100TreeView::DragEnded(Qt::DropAction action)
{
    m_dragDrop.DragFinished(DropEffectOf(action));
}

Qt::DropAction C7100TreeView::DragOver(const QModelIndex &index, const QMimeData &data, bool control)
{
    const Item *item = ItemAt(index);
    if (!item)
        return Qt::IgnoreAction;
    return DropActionOf(m_dragDrop.DragOver(MimeTransferData(&data), item->handle(), control));
}

Qt::DropAction C7100TreeView::DropAt(const QModelIndex &index, const QMimeData &data, bool control)
{
    const Item *item = ItemAt(index);
    if (!item)
        return Qt::IgnoreAction;
    const ItemHandle target = item->handle();
    const DropEffect effect = m_dragDrop.Drop(MimeTransferData(&data), target, control);
    if (effect == DropEffect::None)
        return Qt::IgnoreAction;
    // The target becomes the document's current item and the selected entry.
    if (m_document.Select(target))
        SelectItem(target);
    return DropActionOf(effect);
}
