#include "base/number_text.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace NumberText {

std::optional<double> Parse(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d{1,3})?$"));
    const QString trimmed = text.trimmed();
    if (!decimal.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double Lowest(double factor, int bits, bool isSigned)
{
    return isSigned ? -std::ldexp(1.0, bits - 1) / factor : 0.0;
}

double Highest(double factor, int bits, bool isSigned)
{
    return (std::ldexp(1.0, isSigned ? bits - 1 : bits) - 1.0) / factor;
}

bool Fits(double value, double factor, int bits, bool isSigned)
{
    // Compared as stored, after the rounding the store does.
    const double stored = std::round(value * factor);
    return std::isfinite(stored) && stored >= std::round(Lowest(factor, bits, isSigned) * factor) &&
           stored <= std::round(Highest(factor, bits, isSigned) * factor);
}

} // namespace NumberText
