#include "tree/container_list_model.h"

#include "db/table_level.h"
#include "base/string_table.h"
#include "tree/document.h"
#include "tree/item_order.h"
#include "tree/item_registry.h"

#include <QHash>

#include <algorithm>
#include <utility>

ContainerListModel::ContainerListModel(C7100Document &document, QObject *parent)
    : QAbstractTableModel(parent), m_document(document)
{
    connect(&m_document, &C7100Document::updateAllViews, this, &ContainerListModel::onDocumentUpdate);
}

void ContainerListModel::onDocumentUpdate(QObject *, int hint, Item *item)
{
    switch (hint) {
    case C7100Document::HintClear:
        Clear();
        break;
    case C7100Document::HintCreated:
        if (item && item->parent() && item->parent()->handle() == m_container)
            InsertRow(*item);
        break;
    case C7100Document::HintRemoved:
        if (item)
            RemoveRow(item->handle());
        break;
    case C7100Document::HintSubtreeReload:
        if (item && item->handle() == m_container) {
            beginResetModel();
            m_rows.clear();
            endResetModel();
        }
        break;
    case C7100Document::HintLanguage:
        emit headerDataChanged(Qt::Horizontal, 0, std::max(columnCount() - 1, 0));
        break;
    case C7100Document::HintSortColumn:
        if (m_layout) {
            const ColumnLayout::Sort stored = m_layout->StoredSort();
            m_sortColumn = stored.column;
            m_sortOrder = stored.descending ? Qt::DescendingOrder : Qt::AscendingOrder;
            ResortLater();
        }
        break;
    case C7100Document::HintWritten:
    case C7100Document::HintEditState:
    case C7100Document::HintCutMark:
        if (const int row = item ? RowOf(item->handle()) : -1; row >= 0) {
            emit dataChanged(index(row, 0), index(row, std::max(columnCount() - 1, 0)));
            ResortLater();
        }
        break;
    case C7100Document::HintBulkBegins:
        m_bulk = true;
        break;
    case C7100Document::HintBulkEnds:
        m_bulk = false;
        if (std::exchange(m_sortPending, false))
            Resort();
        break;
    default:
        break;
    }
}

void ContainerListModel::Clear()
{
    beginResetModel();
    m_container = 0;
    m_layout = nullptr;
    m_rows.clear();
    endResetModel();
}

int ContainerListModel::RowOf(ItemHandle handle) const
{
    const auto at = std::find(m_rows.begin(), m_rows.end(), handle);
    return at == m_rows.end() ? -1 : int(at - m_rows.begin());
}

void ContainerListModel::InsertRow(Item &item)
{
    if (!item.shown() || RowOf(item.handle()) >= 0)
        return;
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.push_back(item.handle());
    endInsertRows();
    ResortLater();
}

void ContainerListModel::RemoveRow(ItemHandle handle)
{
    const int row = RowOf(handle);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void ContainerListModel::Show(ItemHandle handle)
{
    Item *item = m_document.FindItem(handle);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    beginResetModel();
    m_layout = nullptr;
    CLevelList *levels = m_document.Registry().levels();
    if (container && levels)
        m_layout = m_document.Layouts().Find(*levels, container->level().tableName());
    m_container = container ? handle : 0;
    m_rows.clear();
    if (container && m_document.EnsureChildren(*container))
        Fill();
    const ColumnLayout::Sort stored = m_layout ? m_layout->StoredSort() : ColumnLayout::Sort{};
    m_sortColumn = stored.column;
    m_sortOrder = stored.descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    endResetModel();
    Resort();
}

// Leaf children first, then the containers, as the tree lists them.
void ContainerListModel::Fill()
{
    const ContainerItem *container = m_document.FindItem(m_container)->asContainer();
    for (const auto *list : {&container->leafChildren(), &container->containerChildren()})
        for (const auto &child : *list)
            if (child->shown())
                m_rows.push_back(child->handle());
}

Item *ContainerListModel::itemAt(int row) const
{
    return (row >= 0 && size_t(row) < m_rows.size()) ? m_document.FindItem(m_rows[size_t(row)]) : nullptr;
}

int ContainerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ContainerListModel::columnCount(const QModelIndex &parent) const
{
    return (parent.isValid() || !m_layout) ? 0 : int(m_layout->columns().size());
}

QString ContainerListModel::Text(const Item &item, int merged) const
{
    const int column = m_layout ? m_layout->LevelColumn(item.level(), merged) : -1;
    return column < 0 ? QString() : m_document.GetValue(item, column, false).toString();
}

QVariant ContainerListModel::data(const QModelIndex &index, int role) const
{
    const Item *item = itemAt(index.row());
    if (!item || index.column() < 0 || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        // A rename starts from the name as it stands.
        return Text(*item, index.column());
    case HandleRole:
        return item->handle();
    case TreeImageRole:
        return item->level().attributes().treeImage;
    case DimmedRole:
        return item->editState() == EditState::New || item->cutMark();
    default:
        return {};
    }
}

Qt::ItemFlags ContainerListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const Item *item = itemAt(index.row());
    if (item && index.column() == 0 && m_renamable && m_renamable(*item))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant ContainerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return Str(m_layout->columns()[size_t(section)].headerString);
}

void ContainerListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    m_layout->StoreSort({column, order == Qt::DescendingOrder});
    ResortLater();
}

void ContainerListModel::SortByHeader(int column)
{
    const bool turn = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder;
    sort(column, turn ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ContainerListModel::ResortLater()
{
    if (m_bulk)
        m_sortPending = true;
    else
        Resort();
}

void ContainerListModel::Resort()
{
    const int column = m_sortColumn;
    const Qt::SortOrder order = m_sortOrder;
    if (column >= columnCount())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<ItemHandle> old = m_rows;
    // Each row's texts are read once, not at every comparison.
    QHash<ItemHandle, ItemOrder::Key> keys;
    keys.reserve(qsizetype(m_rows.size()));
    for (const ItemHandle handle : m_rows)
        if (const Item *item = m_document.FindItem(handle))
            keys.insert(handle, ItemOrder::KeyOf(m_document, *item, Text(*item, column)));
    std::stable_sort(m_rows.begin(), m_rows.end(), [&keys, order](ItemHandle a, ItemHandle b) {
        const int compared = ItemOrder::Compare(keys.value(a), keys.value(b));
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
    QModelIndexList after;
    for (const QModelIndex &index : before) {
        const auto at = std::find(m_rows.begin(), m_rows.end(), old[size_t(index.row())]);
        after << createIndex(int(at - m_rows.begin()), index.column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
