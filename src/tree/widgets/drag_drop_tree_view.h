#pragma once

#include "tree/widgets/item_drag_drop.h"

#include <QTreeView>

// A tree that can be the source and the target of dragged items, by left
// and right drags. The item transfer fills the hooks (what is dragged,
// where it may drop, what a drop does); until it does, nothing is dragged
// or dropped. An entry the cursor of a drag rests on opens after
// AutoExpandDelay.
class CDragDropTreeView : public QTreeView, public ItemDragDropHooks {
    Q_OBJECT
public:
    explicit CDragDropTreeView(QWidget *parent = nullptr);

    // Expands one entry.
    virtual void ExpandEntry(const QModelIndex &index);
    // How long the cursor rests on an entry during a drag before it opens.
    virtual int AutoExpandDelay() const { return 1000; }

    // The hooks of the item transfer: nothing is dragged or dropped here.
    QMimeData *DragData(const QModelIndex &, bool, const QPixmap &) override { return nullptr; }
    void DragEnded(Qt::DropAction) override {}
    Qt::DropAction DragOver(const QModelIndex &, const QMimeData &, bool) override
    {
        return Qt::IgnoreAction;
    }
    Qt::DropAction DropAt(const QModelIndex &, const QMimeData &, bool) override { return Qt::IgnoreAction; }
    // A closed entry opens.
    void RestedOn(const QModelIndex &index) override;
    // The entry a drop would go to is drawn highlighted.
    void ShowDropTarget(const QModelIndex &index) override;
    QModelIndex DropTargetShown() const { return m_dropTarget; }

protected:
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                 const QModelIndex &index) const override;

private:
    QPersistentModelIndex m_dropTarget;
};
