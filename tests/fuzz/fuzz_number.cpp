// The number parser: whatever a person types, pastes or a file holds.
#include "fuzz_target.h"

#include "base/number_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

// Only these characters make a number; anything else (letters of "nan" or
// "inf", "0x", separators, other scripts' digits) is text.
bool OnlyNumberCharacters(const QString &text)
{
    for (const QChar c : text) {
        if (!(c.unicode() < 0x80 && QByteArrayView("0123456789+-.eE").contains(char(c.unicode()))))
            return false;
    }
    return true;
}

// The fields the parameter pages store numbers in: factor and bits.
struct Field {
    double factor;
    int bits;
    bool isSigned;
};
constexpr std::array<Field, 8> kFields = {{{1, 8, false},
                                           {1, 16, true},
                                           {10, 16, true},
                                           {100, 16, false},
                                           {1000, 32, true},
                                           {1, 32, false},
                                           {0.1, 16, true},
                                           {1000, 8, true}}};

void CheckFields(double value, const QString &text)
{
    for (const Field &field : kFields) {
        if (!NumberText::Fits(value, field.factor, field.bits, field.isSigned))
            continue;
        const double stored = std::round(value * field.factor);
        const double lowest = field.isSigned ? -std::ldexp(1.0, field.bits - 1) : 0.0;
        const double highest = std::ldexp(1.0, field.isSigned ? field.bits - 1 : field.bits) - 1.0;
        Fuzz::Require(stored >= lowest && stored <= highest, "a value that fits is stored inside its field",
                      QStringLiteral("%1 as %2 bits x %3").arg(text).arg(field.bits).arg(field.factor));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    const QString text = Fuzz::Text(data, size);
    const std::optional<double> value = NumberText::Parse(text);
    if (!value)
        return 0;
    const QString number = text.trimmed();
    Fuzz::Require(std::isfinite(*value), "a number is finite", text);
    Fuzz::Require(OnlyNumberCharacters(number), "a number is made of digits, sign, point and exponent", text);
    // The standard library reads the same characters to the end and to the
    // same value; it takes no '+' in front.
    const QByteArray ascii = number.toLatin1();
    const char *begin = ascii.constData() + (ascii.startsWith('+') ? 1 : 0);
    const char *end = ascii.constData() + ascii.size();
    double expected = 0;
    const std::from_chars_result read = std::from_chars(begin, end, expected);
    Fuzz::Require(read.ec == std::errc() && read.ptr == end, "nothing trails the number", text);
    Fuzz::Require(expected == *value, "the value is the number's value", text);
    CheckFields(*value, text);
    return 0;
}
