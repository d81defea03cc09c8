#pragma once

#include <QWidget>

class QPropertyAnimation;

// The short animation of the progress window, drawn by us: a document
// moving on (24630: multiply and copy), a document dropping into a bin
// (24631: delete), a document going from one folder into another (24632:
// move). A property animation drives its phase over and over.
class ProgressAnimation : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal phase READ Phase WRITE SetPhase)
public:
    static constexpr int kCycleMs = 1200;

    explicit ProgressAnimation(QWidget *parent = nullptr);

    void Play(int animationId);
    void Stop();
    bool Playing() const;
    int AnimationId() const { return m_animationId; }
    qreal Phase() const { return m_phase; }
    void SetPhase(qreal phase);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void DrawDocument(QPainter &painter, const QPointF &topLeft, qreal scale) const;
    void DrawFolder(QPainter &painter, const QRectF &rect) const;
    void DrawBin(QPainter &painter, const QRectF &rect) const;

    QPropertyAnimation *m_animation = nullptr;
    int m_animationId = 0;
    qreal m_phase = 0;
};
