#include "tree/document_tree_model.h"

#include "base/language.h"
#include "tree/document.h"
#include "tree/hierarchy_strings.h"
#include "tree/item_order.h"

#include <algorithm>
#include <utility>

DocumentTreeModel::DocumentTreeModel(C7100Document &document, QObject *parent)
    : QAbstractItemModel(parent), m_document(document)
{
    connect(&m_document, &C7100Document::updateAllViews, this, &DocumentTreeModel::onDocumentUpdate);
}

void DocumentTreeModel::onDocumentUpdate(QObject *, int hint, Item *item)
{
    switch (hint) {
    case C7100Document::HintClear:
        reload();
        break;
    case C7100Document::HintRebuild:
        // Without an object several names changed at once (a rename of a
        // module and its signals).
        if (!item) {
            SortAll();
            RepaintAll();
        }
        break;
    case C7100Document::HintCreated:
        if (item)
            Insert(*item);
        break;
    case C7100Document::HintRemoved:
        if (item)
            Remove(*item);
        break;
    case C7100Document::HintWritten:
        if (item) {
            refreshItem(item->handle());
            if (item->parent())
                SortLater(item->parent()->handle());
        }
        break;
    case C7100Document::HintEditState:
    case C7100Document::HintCutMark:
        if (item)
            refreshItem(item->handle());
        break;
    case C7100Document::HintSubtreeReload:
        if (item && item->asContainer())
            RemoveChildRows(*item->asContainer());
        break;
    case C7100Document::HintLanguage:
        RepaintAll();
        break;
    case C7100Document::HintBulkBegins:
        m_bulk = true;
        break;
    case C7100Document::HintBulkEnds:
        m_bulk = false;
        for (const ItemHandle container : std::exchange(m_pendingSorts, {}))
            Sort(container);
        break;
    default:
        break;
    }
}

void DocumentTreeModel::reload()
{
    beginResetModel();
    m_children.clear();
    m_rowOf.clear();
    m_pendingSorts.clear();
    endResetModel();
}

bool DocumentTreeModel::fetched(const ContainerItem *container) const
{
    return container && m_children.contains(container->handle());
}

bool DocumentTreeModel::Before(ItemHandle a, ItemHandle b) const
{
    const Item *x = m_document.FindItem(a);
    const Item *y = m_document.FindItem(b);
    return x && y && ItemOrder::Compare(m_document, *x, *y) < 0;
}

void DocumentTreeModel::SortRows(std::vector<ItemHandle> &rows) const
{
    // Each entry's texts are read once, not at every comparison.
    QHash<ItemHandle, ItemOrder::Key> keys;
    keys.reserve(qsizetype(rows.size()));
    for (const ItemHandle handle : rows)
        if (const Item *item = m_document.FindItem(handle))
            keys.insert(handle, ItemOrder::KeyOf(m_document, *item));
    std::stable_sort(rows.begin(), rows.end(), [&keys](ItemHandle a, ItemHandle b) {
        return ItemOrder::Compare(keys.value(a), keys.value(b)) < 0;
    });
}

void DocumentTreeModel::Renumber(const std::vector<ItemHandle> &rows, size_t from)
{
    for (size_t row = from; row < rows.size(); ++row)
        m_rowOf.insert(rows[row], int(row));
}

int DocumentTreeModel::rowOf(const Item &item) const
{
    if (!item.parent())
        return topParent() ? -1 : 0;
    return m_rowOf.value(item.handle(), -1);
}

// With the root hidden, its children stand at the top.
const ContainerItem *DocumentTreeModel::topParent() const
{
    ContainerItem *root = m_document.Root();
    return (root && !root->shown()) ? root : nullptr;
}

QModelIndex DocumentTreeModel::parentIndexOf(const ContainerItem &container) const
{
    return &container == topParent() ? QModelIndex() : indexOfItem(container);
}

Item *DocumentTreeModel::itemAt(const QModelIndex &index) const
{
    return index.isValid() ? m_document.FindItem(ItemHandle(index.internalId())) : nullptr;
}

QModelIndex DocumentTreeModel::indexOfItem(const Item &item) const
{
    if (&item == topParent())
        return {};
    const int row = rowOf(item);
    return row < 0 ? QModelIndex() : createIndex(row, 0, quintptr(item.handle()));
}

QModelIndex DocumentTreeModel::indexOf(ItemHandle handle)
{
    const Item *item = m_document.FindItem(handle);
    if (!item)
        return {};
    // Every container above it becomes rows first, top down.
    std::vector<const ContainerItem *> above;
    for (const ContainerItem *up = item->parent(); up; up = up->parent())
        above.push_back(up);
    for (auto it = above.rbegin(); it != above.rend(); ++it) {
        if (*it == topParent()) {
            fetchMore({});
            continue;
        }
        const QModelIndex at = indexOfItem(**it);
        if (!at.isValid())
            return {};
        fetchMore(at);
    }
    return indexOfItem(*item);
}

QModelIndex DocumentTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid() && !topParent()) {
        ContainerItem *root = m_document.Root();
        return (root && row == 0) ? createIndex(0, 0, quintptr(root->handle())) : QModelIndex();
    }
    const ContainerItem *container = containerOf(parent);
    if (!container)
        return {};
    const auto rows = m_children.constFind(container->handle());
    if (rows == m_children.constEnd() || size_t(row) >= rows->size())
        return {};
    return createIndex(row, 0, quintptr((*rows)[size_t(row)]));
}

QModelIndex DocumentTreeModel::parent(const QModelIndex &child) const
{
    const Item *item = itemAt(child);
    if (!item || !item->parent() || item->parent() == topParent())
        return {};
    return indexOfItem(*item->parent());
}

int DocumentTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid() && !topParent())
        return m_document.Root() ? 1 : 0;
    const ContainerItem *container = containerOf(parent);
    return container ? int(m_children.value(container->handle()).size()) : 0;
}

int DocumentTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QString DocumentTreeModel::EntryText(const C7100Document &document, const Item &item, int language)
{
    const int nameString = item.level().displayString();
    const bool root = nameString == HierarchyStrings::ProjectName || nameString == HierarchyStrings::SignalsRootName;
    if (!root || language < 2 || language > Language::kCount)
        return document.GetName(item);
    const QString translated =
        document.GetValue(item, QStringLiteral("NameL") + QString::number(language), false).toString();
    // A project made before its names were translated still shows a name.
    return translated.isEmpty() ? document.GetName(item) : translated;
}

QVariant DocumentTreeModel::data(const QModelIndex &index, int role) const
{
    const Item *item = itemAt(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return EntryText(m_document, *item, Language::current());
    case Qt::EditRole:
        return m_document.GetName(*item);
    case HandleRole:
        return item->handle();
    case TreeImageRole: {
        const int image = m_imageSource ? m_imageSource(*item) : -1;
        return image >= 0 ? image : item->level().attributes().treeImage;
    }
    case BoldRole:
        return item->editState() != EditState::Clean;
    case DimmedRole:
        return item->editState() == EditState::New || item->cutMark();
    default:
        return {};
    }
}

void DocumentTreeModel::refreshItem(ItemHandle handle)
{
    const Item *item = m_document.FindItem(handle);
    const QModelIndex at = item ? indexOfItem(*item) : QModelIndex();
    if (at.isValid())
        emit dataChanged(at, at);
}

void DocumentTreeModel::RepaintAll()
{
    for (auto it = m_children.constBegin(); it != m_children.constEnd(); ++it) {
        const ContainerItem *container = m_document.FindContainer(it.key());
        if (container && !it->empty()) {
            const QModelIndex parent = parentIndexOf(*container);
            emit dataChanged(index(0, 0, parent), index(int(it->size()) - 1, 0, parent));
        }
    }
    if (!topParent() && m_document.Root())
        emit dataChanged(index(0, 0), index(0, 0));
}

bool DocumentTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid() && !containerOf(parent))
        return m_document.Root() != nullptr;
    ContainerItem *container = containerOf(parent);
    if (!container)
        return false;
    // A container shows its arrow until it has been read and found empty.
    if (fetched(container))
        return !m_children.value(container->handle()).empty();
    if (!container->loaded())
        return true;
    bool shown = false;
    container->forEachChild([&shown](Item &child) { shown = shown || child.shown(); });
    return shown;
}

ContainerItem *DocumentTreeModel::containerOf(const QModelIndex &index) const
{
    if (!index.isValid()) {
        ContainerItem *root = m_document.Root();
        return (root && !root->shown()) ? root : nullptr;
    }
    Item *item = itemAt(index);
    return item ? item->asContainer() : nullptr;
}

bool DocumentTreeModel::canFetchMore(const QModelIndex &parent) const
{
    ContainerItem *container = containerOf(parent);
    return container && !fetched(container);
}

void DocumentTreeModel::fetchMore(const QModelIndex &parent)
{
    ContainerItem *container = containerOf(parent);
    if (!container || fetched(container) || !m_document.EnsureChildren(*container))
        return;
    // Leaf children first, then the containers, each in load order; then
    // the tree's order. Catalogue rows are items too, but never shown.
    std::vector<ItemHandle> rows;
    for (const auto *list : {&container->leafChildren(), &container->containerChildren()})
        for (const auto &child : *list)
            if (child->shown())
                rows.push_back(child->handle());
    SortRows(rows);
    // The rows count for the views only from here on.
    if (!rows.empty())
        beginInsertRows(parent, 0, int(rows.size()) - 1);
    Renumber(rows, 0);
    const bool empty = rows.empty();
    m_children.insert(container->handle(), std::move(rows));
    if (!empty) {
        endInsertRows();
        return;
    }
    // Read and found empty: the views drop the expand button they showed
    // while the container was unread. A view often fetches from inside its
    // handling of another change, so the news waits until that is over.
    if (!parent.isValid())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, entry = QPersistentModelIndex(parent)] {
            if (!entry.isValid())
                return;
            const QList<QPersistentModelIndex> changed{entry};
            emit layoutAboutToBeChanged(changed);
            emit layoutChanged(changed);
        },
        Qt::QueuedConnection);
}

void DocumentTreeModel::Insert(Item &item)
{
    ContainerItem *parent = item.parent();
    if (!parent || !item.shown() || m_rowOf.contains(item.handle()))
        return;
    if (!fetched(parent)) {
        // A parent never expanded reads all its entries now, the new one
        // among them; one without an entry waits for its expansion.
        const QModelIndex at = parentIndexOf(*parent);
        if (at.isValid())
            emit dataChanged(at, at);
        if (at.isValid() || parent == topParent())
            fetchMore(at);
        return;
    }
    std::vector<ItemHandle> &rows = m_children[parent->handle()];
    const auto place = std::upper_bound(rows.begin(), rows.end(), item.handle(),
                                        [this](ItemHandle a, ItemHandle b) { return Before(a, b); });
    const int row = int(place - rows.begin());
    beginInsertRows(parentIndexOf(*parent), row, row);
    rows.insert(place, item.handle());
    Renumber(rows, size_t(row));
    endInsertRows();
}

void DocumentTreeModel::Forget(ItemHandle handle)
{
    m_rowOf.remove(handle);
    m_pendingSorts.remove(handle);
    const auto children = m_children.constFind(handle);
    if (children == m_children.constEnd())
        return;
    const std::vector<ItemHandle> rows = *children;
    m_children.erase(children);
    for (const ItemHandle child : rows)
        Forget(child);
}

void DocumentTreeModel::Remove(Item &item)
{
    ContainerItem *parent = item.parent();
    const int row = rowOf(item);
    if (!parent || row < 0 || !fetched(parent))
        return;
    std::vector<ItemHandle> &rows = m_children[parent->handle()];
    beginRemoveRows(parentIndexOf(*parent), row, row);
    rows.erase(rows.begin() + row);
    Forget(item.handle());
    Renumber(rows, size_t(row));
    endRemoveRows();
}

void DocumentTreeModel::RemoveChildRows(ContainerItem &container)
{
    const auto found = m_children.constFind(container.handle());
    if (found == m_children.constEnd())
        return;
    const int count = int(found->size());
    const int ownRow = m_rowOf.value(container.handle(), -1);
    if (count > 0)
        beginRemoveRows(parentIndexOf(container), 0, count - 1);
    // Read again when the entry is next expanded.
    Forget(container.handle());
    if (ownRow >= 0)
        m_rowOf.insert(container.handle(), ownRow);
    if (count > 0)
        endRemoveRows();
    const QModelIndex at = parentIndexOf(container);
    if (at.isValid())
        emit dataChanged(at, at);
}

void DocumentTreeModel::SortLater(ItemHandle container)
{
    if (m_bulk)
        m_pendingSorts.insert(container);
    else
        Sort(container);
}

void DocumentTreeModel::SortAll()
{
    const QList<ItemHandle> containers = m_children.keys();
    for (const ItemHandle container : containers)
        SortLater(container);
}

void DocumentTreeModel::Sort(ItemHandle handle)
{
    const ContainerItem *container = m_document.FindContainer(handle);
    const auto found = m_children.find(handle);
    if (!container || found == m_children.end() || found->size() < 2)
        return;
    std::vector<ItemHandle> sorted = *found;
    SortRows(sorted);
    if (sorted == *found)
        return;
    const QPersistentModelIndex parent = parentIndexOf(*container);
    emit layoutAboutToBeChanged({parent}, QAbstractItemModel::VerticalSortHint);
    *found = std::move(sorted);
    Renumber(*found, 0);
    // Entries of this container keep their items at their new rows.
    QModelIndexList before;
    QModelIndexList after;
    for (const QModelIndex &index : persistentIndexList()) {
        const Item *item = itemAt(index);
        if (item && item->parent() == container) {
            before << index;
            after << createIndex(m_rowOf.value(item->handle()), index.column(), index.internalId());
        }
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({parent}, QAbstractItemModel::VerticalSortHint);
}

Qt::ItemFlags DocumentTreeModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    const Item *item = itemAt(index);
    if (item && m_renamer.canRename && m_renamer.canRename(*item))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DocumentTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Item *item = itemAt(index);
    if (role != Qt::EditRole || !item || !m_renamer.rename || !(flags(index) & Qt::ItemIsEditable))
        return false;
    if (!m_renamer.rename(*item, value.toString().trimmed()))
        return false;
    emit dataChanged(index, index);
    return true;
}
