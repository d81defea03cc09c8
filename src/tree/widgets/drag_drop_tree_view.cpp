#include "tree/widgets/drag_drop_tree_view.h"

CDragDropTreeView::CDragDropTreeView(QWidget *parent) : QTreeView(parent)
{
    // The tree's own opening on a drag would skip ExpandEntry.
    setAutoExpandDelay(-1);
    new ItemDragDropFilter(*this, *this, CDragDropTreeView::AutoExpandDelay());
}

void CDragDropTreeView::ExpandEntry(const QModelIndex &index)
{
    expand(index);
}

void CDragDropTreeView::RestedOn(const QModelIndex &index)
{
    if (index.isValid() && !isExpanded(index))
        ExpandEntry(index);
}
