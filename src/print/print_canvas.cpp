#include "print/print_canvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <cmath>

CPrintCanvas::CPrintCanvas(QPainter *painter, double unitsPerTenthMm) : m_painter(painter)
{
    m_font = MakeFont(10);
    if (!m_painter)
        return;
    m_painter->save();
    m_painter->setWorldTransform(QTransform::fromScale(unitsPerTenthMm, unitsPerTenthMm));
    m_painter->setRenderHint(QPainter::Antialiasing);
    m_painter->setBackgroundMode(Qt::TransparentMode);
}

CPrintCanvas::~CPrintCanvas()
{
    if (m_painter)
        m_painter->restore();
}

QFont CPrintCanvas::MakeFont(double points, int style, const QString &face)
{
    QFont font(face);
    // The height is given in tenths of a millimetre, as the character
    // height (not the cell) of a font of that many points.
    font.setPixelSize(std::max(1, int(std::lround(points * kFontHeightPerPoint))));
    font.setWeight((style & Bold) ? QFont::Bold : QFont::Normal);
    font.setItalic(style & Italic);
    font.setUnderline(style & Underline);
    font.setStrikeOut(style & StrikeOut);
    font.setStyleHint(face.contains(QLatin1String("Times")) ? QFont::Serif : QFont::SansSerif);
    // Metrics must not depend on the device: the counting pass measures
    // without one.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void CPrintCanvas::SetFont(double points, int style, const QString &face)
{
    m_font = MakeFont(points, style, face);
    if (m_painter)
        m_painter->setFont(m_font);
}

QSizeF CPrintCanvas::MeasureText(const QString &text) const
{
    const QFontMetricsF metrics(m_font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

double CPrintCanvas::LineHeight() const
{
    return QFontMetricsF(m_font).height();
}

QString CPrintCanvas::Elided(const QString &text, double width, Qt::TextElideMode mode) const
{
    return QFontMetricsF(m_font).elidedText(text, mode, width);
}

QStringList CPrintCanvas::WrappedLines(const QString &text, double width) const
{
    const QFontMetricsF metrics(m_font);
    const auto fits = [&metrics, width](const QString &line) { return metrics.horizontalAdvance(line) <= width; };
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString &word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (fits(candidate)) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            // A word wider than the column goes on over as many lines as it
            // takes: a value is never cut short.
            line = word;
            while (line.size() > 1 && !fits(line)) {
                qsizetype take = line.size() - 1;
                while (take > 1 && !fits(line.left(take)))
                    --take;
                lines << line.left(take);
                line = line.mid(take);
            }
        }
        lines << line;
    }
    return lines;
}

QPointF CPrintCanvas::ToDevice(QPointF point) const
{
    return {point.x() + m_origin.x(), -(point.y() + m_origin.y())};
}

void CPrintCanvas::DrawLine(QPointF from, QPointF to, double penWidth)
{
    if (!m_painter)
        return;
    m_painter->setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::SquareCap));
    m_painter->drawLine(ToDevice(from), ToDevice(to));
}

void CPrintCanvas::DrawFrame(QPointF topLeft, QPointF bottomRight, double penWidth)
{
    if (!m_painter)
        return;
    m_painter->setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawRect(QRectF(ToDevice(topLeft), ToDevice(bottomRight)).normalized());
}

void CPrintCanvas::DrawText(QPointF topLeft, const QString &text)
{
    if (!m_painter)
        return;
    const QFontMetricsF metrics(m_font);
    m_painter->setPen(Qt::black);
    m_painter->drawText(ToDevice(topLeft) + QPointF(0, metrics.ascent()), text);
}

void CPrintCanvas::DrawText(QPointF topLeft, QPointF bottomRight, const QString &text,
                            Qt::Alignment alignment)
{
    if (!m_painter)
        return;
    m_painter->setPen(Qt::black);
    m_painter->drawText(QRectF(ToDevice(topLeft), ToDevice(bottomRight)).normalized(),
                        int(alignment) | Qt::TextSingleLine, text);
}

bool CPrintCanvas::DrawBitmap(const QString &file, QPointF topLeft, QPointF bottomRight)
{
    const QImage image(file);
    if (image.isNull())
        return false;
    if (m_painter) {
        // The bitmap keeps its proportions inside the rectangle.
        const QRectF target = QRectF(ToDevice(topLeft), ToDevice(bottomRight)).normalized();
        QSizeF size = image.size().toSizeF().scaled(target.size(), Qt::KeepAspectRatio);
        const QRectF placed(target.center() - QPointF(size.width() / 2, size.height() / 2), size);
        m_painter->setRenderHint(QPainter::SmoothPixmapTransform);
        m_painter->drawImage(placed, image);
    }
    return true;
}
