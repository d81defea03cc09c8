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

void CDragDropTreeView::ShowDropTarget(const QModelIndex &index)
{
    if (QModelIndex(m_dropTarget) == index)
        return;
    const QModelIndex before = m_dropTarget;
    m_dropTarget = index;
    for (const QModelIndex &changed : {before, index})
        if (changed.isValid())
            viewport()->update(visualRect(changed));
}

void CDragDropTreeView::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    if (!m_dropTarget.isValid() || index != m_dropTarget) {
        QTreeView::drawRow(painter, option, index);
        return;
    }
    QStyleOptionViewItem highlighted(option);
    highlighted.state |= QStyle::State_Selected;
    QTreeView::drawRow(painter, highlighted, index);
}
