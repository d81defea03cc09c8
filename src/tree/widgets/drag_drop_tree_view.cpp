#include "tree/widgets/drag_drop_tree_view.h"

#include <QDragMoveEvent>
#include <QDropEvent>

CDragDropTreeView::CDragDropTreeView(QWidget *parent) : QTreeView(parent)
{
    setAutoExpandDelay(CDragDropTreeView::AutoExpandDelay());
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

void CDragDropTreeView::ExpandEntry(const QModelIndex &index)
{
    expand(index);
}

void CDragDropTreeView::startDrag(Qt::DropActions supportedActions)
{
    if (CanDragEntry(currentIndex()))
        QTreeView::startDrag(supportedActions);
}

void CDragDropTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeView::dragMoveEvent(event);
    if (!CanDropOn(indexAt(event->position().toPoint()), event->mimeData()))
        event->ignore();
}

void CDragDropTreeView::dropEvent(QDropEvent *event)
{
    const QModelIndex target = indexAt(event->position().toPoint());
    // Holding Ctrl copies, otherwise the drop moves.
    const Qt::DropAction action = event->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction;
    if (CanDropOn(target, event->mimeData()) && DropOn(target, event->mimeData(), action)) {
        event->setDropAction(action);
        event->accept();
        return;
    }
    event->ignore();
}
