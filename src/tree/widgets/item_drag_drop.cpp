#include "tree/widgets/item_drag_drop.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>

ItemDragDropFilter::ItemDragDropFilter(QAbstractItemView &view, ItemDragDropHooks &hooks, int restDelay)
    : QObject(&view), m_view(view), m_viewport(view.viewport()), m_hooks(hooks)
{
    // The view keeps a pressed selection for the drag; the drag itself and
    // the drop are this filter's.
    m_view.setDragEnabled(true);
    m_view.setDragDropMode(QAbstractItemView::DragDrop);
    m_view.viewport()->setAcceptDrops(true);
    m_view.viewport()->installEventFilter(this);
    m_restTimer.setSingleShot(true);
    m_restTimer.setInterval(restDelay);
    connect(&m_restTimer, &QTimer::timeout, this, [this] {
        if (m_restIndex.isValid())
            m_hooks.RestedOn(m_restIndex);
    });
}

bool ItemDragDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the viewport kept, not the view's: the view may be
    // half destroyed when its viewport's last events arrive.
    if (watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return MousePressed(event);
    case QEvent::MouseMove:
        return MouseMoved(event);
    case QEvent::MouseButtonRelease:
        return MouseReleased(event);
    case QEvent::ContextMenu:
        return ContextMenuAsked(event);
    case QEvent::DragEnter:
        // Entered anywhere: the moves that follow decide, entry by entry.
        event->accept();
        DragMoved(event);
        event->accept();
        return true;
    case QEvent::DragMove:
        return DragMoved(event);
    case QEvent::DragLeave:
        m_hooks.ShowDropTarget({});
        m_restTimer.stop();
        m_restIndex = QPersistentModelIndex();
        event->accept();
        return true;
    case QEvent::Drop:
        return Dropped(event);
    default:
        return false;
    }
}

bool ItemDragDropFilter::MousePressed(QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    m_menuHeld = false;
    m_pressButton = Qt::NoButton;
    if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
        return false;
    m_pressButton = mouse->button();
    m_pressPos = mouse->position().toPoint();
    m_pressIndex = m_view.indexAt(m_pressPos);
    return false;
}

bool ItemDragDropFilter::MouseMoved(QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (m_pressButton == Qt::NoButton || !(mouse->buttons() & m_pressButton))
        return false;
    if ((mouse->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return false;
    StartDrag();
    return true;
}

bool ItemDragDropFilter::MouseReleased(QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() == m_pressButton)
        m_pressButton = Qt::NoButton;
    if (mouse->button() == Qt::RightButton && std::exchange(m_menuHeld, false)) {
        // No drag came of the right press: the menu it asked for shows now.
        QContextMenuEvent menu(QContextMenuEvent::Mouse, mouse->position().toPoint(), m_menuGlobalPos,
                               mouse->modifiers());
        m_resending = true;
        QApplication::sendEvent(m_view.viewport(), &menu);
        m_resending = false;
    }
    return false;
}

bool ItemDragDropFilter::ContextMenuAsked(QEvent *event)
{
    const auto *menu = static_cast<QContextMenuEvent *>(event);
    // Where the window system asks for the menu on the press, it waits for
    // the release, so that a right drag can begin.
    const bool heldRight = QApplication::mouseButtons() & Qt::RightButton;
    if (m_resending || menu->reason() != QContextMenuEvent::Mouse || !heldRight ||
        m_pressButton != Qt::RightButton)
        return false;
    m_menuHeld = true;
    m_menuGlobalPos = menu->globalPos();
    return true;
}

void ItemDragDropFilter::StartDrag()
{
    const bool right = m_pressButton == Qt::RightButton;
    const QPersistentModelIndex index = m_pressIndex;
    m_pressButton = Qt::NoButton;
    m_menuHeld = false;
    if (!index.isValid())
        return;
    const QRect rect = m_view.visualRect(index).intersected(m_view.viewport()->rect());
    const QPixmap image = rect.isEmpty() ? QPixmap() : m_view.viewport()->grab(rect);
    QMimeData *data = m_hooks.DragData(index, right, image);
    if (!data)
        return;
    auto *drag = new QDrag(&m_view);
    drag->setMimeData(data);
    if (!image.isNull()) {
        drag->setPixmap(image);
        drag->setHotSpot(m_pressPos - rect.topLeft());
    }
    // The drag runs its own event loop: the view may be gone when it ends.
    const QPointer<ItemDragDropFilter> alive(this);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (alive)
        m_hooks.DragEnded(action);
}

bool ItemDragDropFilter::DragMoved(QEvent *event)
{
    auto *move = static_cast<QDragMoveEvent *>(event);
    const QModelIndex index = m_view.indexAt(move->position().toPoint());
    if (QPersistentModelIndex(index) != m_restIndex) {
        m_restIndex = index;
        m_restTimer.start();
    }
    const bool control = move->modifiers() & Qt::ControlModifier;
    const Qt::DropAction action = m_hooks.DragOver(index, *move->mimeData(), control);
    m_hooks.ShowDropTarget(action == Qt::IgnoreAction ? QModelIndex() : index);
    if (action == Qt::IgnoreAction) {
        move->ignore();
        return true;
    }
    move->setDropAction(action);
    move->accept();
    return true;
}

bool ItemDragDropFilter::Dropped(QEvent *event)
{
    auto *drop = static_cast<QDropEvent *>(event);
    m_hooks.ShowDropTarget({});
    m_restTimer.stop();
    m_restIndex = QPersistentModelIndex();
    const QModelIndex index = m_view.indexAt(drop->position().toPoint());
    const bool control = drop->modifiers() & Qt::ControlModifier;
    const Qt::DropAction action = m_hooks.DropAt(index, *drop->mimeData(), control);
    if (action == Qt::IgnoreAction) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(action);
    drop->accept();
    return true;
}

Qt::DropAction DropActionOf(DropEffect effect)
{
    switch (effect) {
    case DropEffect::Copy:
        return Qt::CopyAction;
    case DropEffect::Move:
        return Qt::MoveAction;
    case DropEffect::None:
        break;
    }
    return Qt::IgnoreAction;
}

DropEffect DropEffectOf(Qt::DropAction action)
{
    if (action == Qt::CopyAction)
        return DropEffect::Copy;
    if (action == Qt::MoveAction)
        return DropEffect::Move;
    return DropEffect::None;
}

QByteArray PngOf(const QPixmap &image)
{
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
