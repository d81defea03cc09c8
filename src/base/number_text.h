#pragma once

#include <QString>

#include <optional>

// The one reading of a number a person typed, pasted or wrote into a file:
// an optional sign, digits with at most one decimal point, and an optional
// exponent. What reads as a number elsewhere but is none here is refused:
// "nan" and "inf" (they would be stored as 0 or as the largest integer),
// hexadecimal, and thousands separators (1,000 is a thousand to one reader
// and one to another).
namespace NumberText {

std::optional<double> Parse(const QString &text);

// Whether a value stored as value * factor fits a signed field of the
// given bits, or an unsigned one.
bool Fits(double value, double factor, int bits, bool isSigned = true);
// The smallest and largest value, as shown, that such a field holds.
double Lowest(double factor, int bits, bool isSigned = true);
double Highest(double factor, int bits, bool isSigned = true);

} // namespace NumberText
