#pragma once

#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;

// Draws a page in tenths of a millimetre, the way the reports are laid out:
// y grows upwards, so the content of a page runs to negative y, and every
// coordinate is shifted by the canvas origin. Without a painter the canvas
// only measures (the counting pass).
class CPrintCanvas {
public:
    // Font style flags.
    enum Style : int { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    static constexpr double kFontHeightPerPoint = 3.51; // tenths of a millimetre

    // unitsPerTenthMm: device units of the painter per tenth of a millimetre;
    // the painter's origin is the top-left corner of the printable area.
    CPrintCanvas(QPainter *painter, double unitsPerTenthMm);
    ~CPrintCanvas();
    CPrintCanvas(const CPrintCanvas &) = delete;
    CPrintCanvas &operator=(const CPrintCanvas &) = delete;

    bool Drawing() const { return m_painter != nullptr; }
    void SetOrigin(QPointF origin) { m_origin = origin; }
    QPointF Origin() const { return m_origin; }

    // The font of the texts that follow: size in points, style flags, face.
    void SetFont(double points, int style = 0, const QString &face = QStringLiteral("Arial"));
    static QFont MakeFont(double points, int style = 0, const QString &face = QStringLiteral("Arial"));
    // Width of a text and the height of a line in the current font.
    QSizeF MeasureText(const QString &text) const;
    double LineHeight() const;
    // text cut to width, with "..." where it was cut.
    QString Elided(const QString &text, double width, Qt::TextElideMode mode = Qt::ElideRight) const;
    // text broken into lines no wider than width: between words, else after
    // a hyphen or slash of a word, and only a word wider than width itself
    // broken between its letters.
    QStringList WrappedLines(const QString &text, double width) const;
    // The widest part of text that WrappedLines keeps on one line whenever
    // the width allows it.
    double WidestUnbreakable(const QString &text) const;

    void DrawLine(QPointF from, QPointF to, double penWidth);
    // A frame through the two corners.
    void DrawFrame(QPointF topLeft, QPointF bottomRight, double penWidth);
    // topLeft is the top-left corner of the text's cell.
    void DrawText(QPointF topLeft, const QString &text);
    void DrawText(QPointF topLeft, QPointF bottomRight, const QString &text, Qt::Alignment alignment);
    // A bitmap file scaled into the rectangle; false when it cannot be read.
    bool DrawBitmap(const QString &file, QPointF topLeft, QPointF bottomRight);

private:
    QPointF ToDevice(QPointF point) const;

    QPainter *m_painter;
    QPointF m_origin;
    QFont m_font;
};
