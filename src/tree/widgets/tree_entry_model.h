#pragma once

#include "tree/document_tree_model.h"

// The document's tree as the tree pane paints it: the level's picture (or
// the online module's), bold for an item in an edit, dimmed for a new or
// cut one.
class TreeEntryModel : public DocumentTreeModel {
    Q_OBJECT
public:
    using DocumentTreeModel::DocumentTreeModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
