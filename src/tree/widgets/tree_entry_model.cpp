#include "tree/widgets/tree_entry_model.h"

#include "tree/widgets/tree_images.h"

QVariant TreeEntryModel::data(const QModelIndex &index, int role) const
{
    const Item *item = itemAt(index);
    if (item && (role == Qt::DecorationRole || role == Qt::FontRole || role == Qt::ForegroundRole))
        return TreeImages::EntryLook(index, role, item->level().tableName());
    return DocumentTreeModel::data(index, role);
}
