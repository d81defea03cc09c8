#pragma once

#include <QTreeView>

class QMimeData;

// A tree that can be the source and the target of dragged items. The item
// transfer (what may be dragged, where it may drop, what a drop does) fills
// the hooks; until it does, nothing is dragged or dropped.
class CDragDropTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit CDragDropTreeView(QWidget *parent = nullptr);

    // Expands one entry.
    virtual void ExpandEntry(const QModelIndex &index);
    // How long the cursor rests on an entry during a drag before it opens.
    virtual int AutoExpandDelay() const { return 1000; }

protected:
    // The hooks of the item transfer.
    virtual bool CanDragEntry(const QModelIndex &) const { return false; }
    virtual bool CanDropOn(const QModelIndex &, const QMimeData *) const { return false; }
    virtual bool DropOn(const QModelIndex &, const QMimeData *, Qt::DropAction) { return false; }

    void startDrag(Qt::DropActions supportedActions) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
