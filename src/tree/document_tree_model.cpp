#include "tree/document_tree_model.h"

#include "tree/document.h"

DocumentTreeModel::DocumentTreeModel(C7100Document &document, QObject *parent)
    : QAbstractItemModel(parent), m_document(document)
{
    connect(&m_document, &C7100Document::updateAllViews, this, &DocumentTreeModel::onDocumentUpdate);
}

void DocumentTreeModel::onDocumentUpdate(QObject *, int hint, Item *item)
{
    switch (hint) {
    case C7100Document::HintClear:
    case C7100Document::HintRebuild:
    case C7100Document::HintCreated:
    case C7100Document::HintRemoved:
    case C7100Document::HintSubtreeReload:
    case C7100Document::HintLanguage:
    case C7100Document::HintBulkEnds:
        reload();
        break;
    case C7100Document::HintWritten:
    case C7100Document::HintEditState:
        if (item) {
            const QModelIndex at = indexOfItem(*item);
            if (at.isValid())
                emit dataChanged(at, at);
        }
        break;
    default:
        break;
    }
}

void DocumentTreeModel::reload()
{
    beginResetModel();
    endResetModel();
}

int DocumentTreeModel::childCount(const ContainerItem &container)
{
    return int(container.containerChildren().size() + container.leafChildren().size());
}

Item *DocumentTreeModel::childAt(const ContainerItem &container, int row)
{
    const int containers = int(container.containerChildren().size());
    if (row < 0)
        return nullptr;
    if (row < containers)
        return container.containerChildren()[size_t(row)].get();
    const int leaf = row - containers;
    return leaf < int(container.leafChildren().size()) ? container.leafChildren()[size_t(leaf)].get() : nullptr;
}

int DocumentTreeModel::rowOf(const Item &item) const
{
    const ContainerItem *parent = item.parent();
    if (!parent)
        return topParent() ? -1 : 0;
    for (int row = 0; row < childCount(*parent); ++row)
        if (childAt(*parent, row) == &item)
            return row;
    return -1;
}

// With the root hidden, its children stand at the top.
const ContainerItem *DocumentTreeModel::topParent() const
{
    ContainerItem *root = m_document.Root();
    return (root && !root->shown()) ? root : nullptr;
}

Item *DocumentTreeModel::itemAt(const QModelIndex &index) const
{
    return index.isValid() ? m_document.FindItem(ItemHandle(index.internalId())) : nullptr;
}

QModelIndex DocumentTreeModel::indexOfItem(const Item &item) const
{
    const int row = rowOf(item);
    return row < 0 ? QModelIndex() : createIndex(row, 0, quintptr(item.handle()));
}

QModelIndex DocumentTreeModel::indexOf(ItemHandle handle) const
{
    const Item *item = m_document.FindItem(handle);
    return item ? indexOfItem(*item) : QModelIndex();
}

QModelIndex DocumentTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0)
        return {};
    if (!parent.isValid()) {
        if (const ContainerItem *top = topParent()) {
            Item *child = childAt(*top, row);
            return child ? createIndex(row, 0, quintptr(child->handle())) : QModelIndex();
        }
        ContainerItem *root = m_document.Root();
        return (root && row == 0) ? createIndex(0, 0, quintptr(root->handle())) : QModelIndex();
    }
    Item *item = itemAt(parent);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    Item *child = container ? childAt(*container, row) : nullptr;
    return child ? createIndex(row, 0, quintptr(child->handle())) : QModelIndex();
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
    if (!parent.isValid()) {
        if (const ContainerItem *top = topParent())
            return childCount(*top);
        return m_document.Root() ? 1 : 0;
    }
    Item *item = itemAt(parent);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    return container ? childCount(*container) : 0;
}

int DocumentTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant DocumentTreeModel::data(const QModelIndex &index, int role) const
{
    const Item *item = itemAt(index);
    if (!item)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_document.GetName(*item);
    if (role == HandleRole)
        return item->handle();
    return {};
}

bool DocumentTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_document.Root() != nullptr;
    Item *item = itemAt(parent);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    return container && (!container->loaded() || container->hasChildren());
}

bool DocumentTreeModel::canFetchMore(const QModelIndex &parent) const
{
    Item *item = itemAt(parent);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    return container && !container->loaded();
}

void DocumentTreeModel::fetchMore(const QModelIndex &parent)
{
    Item *item = itemAt(parent);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    if (!container || container->loaded())
        return;
    // The rows arrive all at once: the model tells the views afterwards.
    if (!m_document.EnsureChildren(*container))
        return;
    const int count = childCount(*container);
    if (count > 0) {
        beginInsertRows(parent, 0, count - 1);
        endInsertRows();
    }
}
