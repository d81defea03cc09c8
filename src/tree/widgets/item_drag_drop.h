#pragma once

#include "tree/drop_effect.h"

#include <QByteArray>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QTimer>

class QAbstractItemView;
class QMimeData;
class QPixmap;

// What a view of items answers during a drag. Indexes are the view's own;
// an invalid index is empty space.
class ItemDragDropHooks {
public:
    virtual ~ItemDragDropHooks() = default;
    // The data of a drag begun on the entry at index with the entry's
    // picture; null: nothing is dragged.
    virtual QMimeData *DragData(const QModelIndex &index, bool rightButton, const QPixmap &image) = 0;
    // The drag begun here has ended with the action the drop reported.
    virtual void DragEnded(Qt::DropAction action) = 0;
    // The action a drop at index would have now; IgnoreAction refuses.
    virtual Qt::DropAction DragOver(const QModelIndex &index, const QMimeData &data, bool control) = 0;
    // The drop at index: the action it had, IgnoreAction when nothing
    // was dropped.
    virtual Qt::DropAction DropAt(const QModelIndex &index, const QMimeData &data, bool control) = 0;
    // The cursor of a drag has rested on the entry for the rest delay.
    virtual void RestedOn(const QModelIndex &) {}
    // The entry a drop would go to now (invalid: none, the drag left or
    // dropped).
    virtual void ShowDropTarget(const QModelIndex &) {}
};

// The mouse side of dragging items out of a view and dropping them on it,
// for left and right drags: it watches the view's viewport, starts the drag
// past the start distance, asks the hooks while the drag moves and drops,
// and tells them when the cursor rests on an entry. A right button press
// opens the context menu only when it is released without a drag.
class ItemDragDropFilter : public QObject {
    Q_OBJECT
public:
    ItemDragDropFilter(QAbstractItemView &view, ItemDragDropHooks &hooks, int restDelay);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool MousePressed(QEvent *event);
    bool MouseMoved(QEvent *event);
    bool MouseReleased(QEvent *event);
    bool ContextMenuAsked(QEvent *event);
    bool DragMoved(QEvent *event);
    bool Dropped(QEvent *event);
    void StartDrag();

    QAbstractItemView &m_view;
    QObject *m_viewport;
    ItemDragDropHooks &m_hooks;
    Qt::MouseButton m_pressButton = Qt::NoButton;
    QPoint m_pressPos;
    QPersistentModelIndex m_pressIndex;
    // A context menu held back until the right button is released.
    bool m_menuHeld = false;
    bool m_resending = false;
    QPoint m_menuGlobalPos;
    QPersistentModelIndex m_restIndex;
    QTimer m_restTimer;
};

// The drop action of an effect and back.
Qt::DropAction DropActionOf(DropEffect effect);
DropEffect DropEffectOf(Qt::DropAction action);
// A picture as PNG bytes (empty for none).
QByteArray PngOf(const QPixmap &image);
