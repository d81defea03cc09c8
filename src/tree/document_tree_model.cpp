#include "tree/document_tree_model.h"

#include "shell/language.h"
#include "tree/document.h"
#include "tree/hierarchy_strings.h"

#include <algorithm>

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
    case C7100Document::HintCutMark:
        if (item)
            refreshItem(item->handle());
        break;
    default:
        break;
    }
}

void DocumentTreeModel::reload()
{
    beginResetModel();
    m_fetched.clear();
    endResetModel();
}

bool DocumentTreeModel::fetched(const ContainerItem *container) const
{
    return container && m_fetched.contains(container->handle());
}

// Catalogue rows hang under the project too, but are never shown.
std::vector<Item *> DocumentTreeModel::shownChildren(const ContainerItem &container)
{
    std::vector<Item *> shown;
    container.forEachChild([&shown](Item &child) {
        if (child.shown())
            shown.push_back(&child);
    });
    return shown;
}

int DocumentTreeModel::childCount(const ContainerItem &container)
{
    return int(shownChildren(container).size());
}

Item *DocumentTreeModel::childAt(const ContainerItem &container, int row)
{
    const std::vector<Item *> shown = shownChildren(container);
    return (row >= 0 && row < int(shown.size())) ? shown[size_t(row)] : nullptr;
}

int DocumentTreeModel::rowOf(const Item &item) const
{
    const ContainerItem *parent = item.parent();
    if (!parent)
        return topParent() ? -1 : 0;
    const std::vector<Item *> shown = shownChildren(*parent);
    const auto at = std::find(shown.begin(), shown.end(), &item);
    return at == shown.end() ? -1 : int(at - shown.begin());
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
    if (column != 0)
        return {};
    if (!parent.isValid() && !topParent()) {
        ContainerItem *root = m_document.Root();
        return (root && row == 0) ? createIndex(0, 0, quintptr(root->handle())) : QModelIndex();
    }
    const ContainerItem *container = containerOf(parent);
    Item *child = fetched(container) ? childAt(*container, row) : nullptr;
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
    if (!parent.isValid() && !topParent())
        return m_document.Root() ? 1 : 0;
    const ContainerItem *container = containerOf(parent);
    return fetched(container) ? childCount(*container) : 0;
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
    if (!item)
        return;
    const QModelIndex at = indexOfItem(*item);
    if (at.isValid() && (!item->parent() || fetched(item->parent()) || !at.parent().isValid()))
        emit dataChanged(at, at);
}

bool DocumentTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid() && !containerOf(parent))
        return m_document.Root() != nullptr;
    ContainerItem *container = containerOf(parent);
    if (!container)
        return false;
    return fetched(container) ? childCount(*container) > 0 : (!container->loaded() || childCount(*container) > 0);
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
    // The rows count for the views only from here on.
    const int count = childCount(*container);
    if (count > 0)
        beginInsertRows(parent, 0, count - 1);
    m_fetched.insert(container->handle());
    if (count > 0)
        endInsertRows();
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
