#include "tree/container_list_model.h"

#include "db/table_level.h"
#include "shell/string_table.h"
#include "tree/document.h"
#include "tree/item_registry.h"

#include <algorithm>

ContainerListModel::ContainerListModel(C7100Document &document, QObject *parent)
    : QAbstractTableModel(parent), m_document(document)
{
    connect(&m_document, &C7100Document::updateAllViews, this, &ContainerListModel::onDocumentUpdate);
}

void ContainerListModel::onDocumentUpdate(QObject *, int hint, Item *item)
{
    switch (hint) {
    case C7100Document::HintClear:
        beginResetModel();
        m_container = 0;
        m_layout.reset();
        m_rows.clear();
        endResetModel();
        break;
    case C7100Document::HintCreated:
    case C7100Document::HintRemoved:
    case C7100Document::HintSubtreeReload:
    case C7100Document::HintLanguage:
    case C7100Document::HintBulkEnds:
        Show(m_container);
        break;
    case C7100Document::HintWritten:
    case C7100Document::HintEditState:
    case C7100Document::HintCutMark:
        if (item && std::find(m_rows.begin(), m_rows.end(), item->handle()) != m_rows.end())
            Resort();
        break;
    default:
        break;
    }
}

void ContainerListModel::Show(ItemHandle handle)
{
    Item *item = m_document.FindItem(handle);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    beginResetModel();
    m_layout.reset();
    CLevelList *levels = m_document.Registry().levels();
    if (container && levels)
        m_layout = std::make_unique<ColumnLayout>(*levels, container->level().tableName());
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

QVariant ContainerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return Str(m_layout->columns()[size_t(section)].headerString);
}

bool ContainerListModel::Before(const Item &a, const Item &b, int column) const
{
    const int levelA = a.level().attributes().layoutIndex;
    const int levelB = b.level().attributes().layoutIndex;
    if (levelA != levelB)
        return levelA < levelB;
    return Text(a, column).compare(Text(b, column), Qt::CaseInsensitive) < 0;
}

void ContainerListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    m_layout->StoreSort({column, order == Qt::DescendingOrder});
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
    std::stable_sort(m_rows.begin(), m_rows.end(), [this, column, order](ItemHandle a, ItemHandle b) {
        const Item *x = m_document.FindItem(a);
        const Item *y = m_document.FindItem(b);
        if (!x || !y)
            return false;
        return order == Qt::AscendingOrder ? Before(*x, *y, column) : Before(*y, *x, column);
    });
    QModelIndexList after;
    for (const QModelIndex &index : before) {
        const auto at = std::find(m_rows.begin(), m_rows.end(), old[size_t(index.row())]);
        after << createIndex(int(at - m_rows.begin()), index.column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
