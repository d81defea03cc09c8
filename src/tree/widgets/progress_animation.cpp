#include "tree/widgets/progress_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

namespace {
constexpr int kDocumentIntoBin = 24631;
constexpr int kDocumentBetweenFolders = 24632;
constexpr qreal kDocWidth = 18;
constexpr qreal kDocHeight = 22;
} // namespace

ProgressAnimation::ProgressAnimation(QWidget *parent) : QWidget(parent)
{
    m_animation = new QPropertyAnimation(this, "phase", this);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(kCycleMs);
    m_animation->setLoopCount(-1);
}

QSize ProgressAnimation::sizeHint() const
{
    // 197 x 31 dialog units at the usual 1.5 pixels a unit.
    return {296, 50};
}

void ProgressAnimation::Play(int animationId)
{
    m_animationId = animationId;
    m_animation->stop();
    m_animation->start();
}

void ProgressAnimation::Stop()
{
    m_animation->stop();
}

bool ProgressAnimation::Playing() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void ProgressAnimation::SetPhase(qreal phase)
{
    m_phase = phase;
    update();
}

void ProgressAnimation::DrawDocument(QPainter &painter, const QPointF &topLeft, qreal scale) const
{
    const qreal w = kDocWidth * scale;
    const qreal h = kDocHeight * scale;
    const qreal fold = 6 * scale;
    QPainterPath page;
    page.moveTo(topLeft);
    page.lineTo(topLeft + QPointF(w - fold, 0));
    page.lineTo(topLeft + QPointF(w, fold));
    page.lineTo(topLeft + QPointF(w, h));
    page.lineTo(topLeft + QPointF(0, h));
    page.closeSubpath();
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.drawLine(topLeft + QPointF(w - fold, 0), topLeft + QPointF(w - fold, fold));
    painter.drawLine(topLeft + QPointF(w - fold, fold), topLeft + QPointF(w, fold));
    painter.setPen(QPen(QColor(70, 110, 180), 1));
    for (int line = 1; line <= 3; ++line) {
        const qreal y = fold + line * (h - fold) / 4.5;
        painter.drawLine(topLeft + QPointF(3 * scale, y), topLeft + QPointF(w - 3 * scale, y));
    }
}

void ProgressAnimation::DrawFolder(QPainter &painter, const QRectF &rect) const
{
    QPainterPath folder;
    folder.moveTo(rect.bottomLeft());
    folder.lineTo(rect.topLeft() + QPointF(0, 4));
    folder.lineTo(rect.topLeft() + QPointF(4, 0));
    folder.lineTo(rect.topLeft() + QPointF(rect.width() * 0.4, 0));
    folder.lineTo(rect.topLeft() + QPointF(rect.width() * 0.5, 5));
    folder.lineTo(rect.topRight() + QPointF(0, 5));
    folder.lineTo(rect.bottomRight());
    folder.closeSubpath();
    painter.setPen(QPen(QColor(150, 110, 20), 1));
    painter.setBrush(QColor(240, 200, 80));
    painter.drawPath(folder);
}

void ProgressAnimation::DrawBin(QPainter &painter, const QRectF &rect) const
{
    painter.setPen(QPen(QColor(80, 80, 80), 1.5));
    painter.setBrush(QColor(200, 200, 200));
    QPainterPath bin;
    bin.moveTo(rect.topLeft());
    bin.lineTo(rect.topRight());
    bin.lineTo(rect.bottomRight() - QPointF(4, 0));
    bin.lineTo(rect.bottomLeft() + QPointF(4, 0));
    bin.closeSubpath();
    painter.drawPath(bin);
    for (int rib = 1; rib <= 3; ++rib) {
        const qreal x = rect.left() + rib * rect.width() / 4;
        painter.drawLine(QPointF(x, rect.top() + 4), QPointF(x, rect.bottom() - 3));
    }
    painter.drawLine(rect.topLeft() - QPointF(3, 2), rect.topRight() + QPointF(3, -2));
}

void ProgressAnimation::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect().adjusted(4, 2, -4, -2);
    const qreal baseline = area.bottom() - kDocHeight;
    switch (m_animationId) {
    case kDocumentIntoBin: {
        // The document slides over the bin, then drops into it shrinking.
        const QRectF bin(area.right() - 40, area.bottom() - 26, 30, 26);
        DrawBin(painter, bin);
        const qreal slide = std::min<qreal>(1, m_phase / 0.6);
        const qreal drop = std::max<qreal>(0, (m_phase - 0.6) / 0.4);
        const qreal x = area.left() + slide * (bin.center().x() - kDocWidth / 2 - area.left());
        const qreal y = area.top() + drop * (bin.top() - area.top());
        if (drop < 1)
            DrawDocument(painter, QPointF(x, y), 1.0 - 0.5 * drop);
        break;
    }
    case kDocumentBetweenFolders: {
        // From the left folder up in an arc into the right one.
        const QRectF from(area.left(), area.bottom() - 24, 34, 24);
        const QRectF to(area.right() - 34, area.bottom() - 24, 34, 24);
        DrawFolder(painter, from);
        DrawFolder(painter, to);
        const qreal x = from.center().x() + m_phase * (to.center().x() - from.center().x()) - kDocWidth / 2;
        const qreal lift = 4 * m_phase * (1 - m_phase);
        DrawDocument(painter, QPointF(x, baseline - 8 - lift * (area.height() - kDocHeight)), 0.9);
        break;
    }
    default: {
        // The original stays on the left; its copy moves out to the right.
        DrawDocument(painter, QPointF(area.left(), baseline), 1.0);
        const qreal x = area.left() + kDocWidth + 6 + m_phase * (area.width() - 2 * kDocWidth - 12);
        painter.setOpacity(1.0 - 0.6 * m_phase);
        DrawDocument(painter, QPointF(x, baseline), 1.0);
        break;
    }
    }
}
