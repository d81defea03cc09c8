#include "print/print_canvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegularExpression>

#include <algorithm>
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

namespace {
// Where a word may go on in the next line without a letter being split:
// after a hyphen or a slash that is not the word's last character.
QStringList WordPieces(const QString &word)
{
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i + 1 < word.size(); ++i)
        if (word.at(i) == QLatin1Char('-') || word.at(i) == QLatin1Char('/')) {
            pieces << word.mid(start, i + 1 - start);
            start = i + 1;
        }
    pieces << word.mid(start);
    return pieces;
}
} // namespace

double CPrintCanvas::WidestUnbreakable(const QString &text) const
{
    const QFontMetricsF metrics(m_font);
    double widest = 0;
    for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        for (const QString &piece : WordPieces(word))
            widest = std::max(widest, metrics.horizontalAdvance(piece));
    return widest;
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
            // A word wider than what is left of the line goes on after one
            // of its hyphens where the line can hold that much of it.
            QString head = line.isEmpty() ? QString() : line + QLatin1Char(' ');
            qsizetype taken = 0;
            for (const QString &piece : WordPieces(word)) {
                if (!fits(head + piece))
                    break;
                head += piece;
                taken += piece.size();
            }
            if (taken > 0)
                lines << head;
            else if (!line.isEmpty())
                lines << line;
            line = word.mid(taken);
            // A piece wider than the column goes on over as many lines as
            // it takes: a value is never cut short.
            while (line.size() > 1 && !fits(line)) {
                QString take;
                for (const QString &piece : WordPieces(line)) {
                    if (!fits(take + piece))
                        break;
                    take += piece;
                }
                qsizetype count = take.size();
                if (count == 0) {
                    count = line.size() - 1;
                    while (count > 1 && !fits(line.left(count)))
                        --count;
                }
                lines << line.left(count);
                line = line.mid(count);
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
