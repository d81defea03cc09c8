#include "db/text_rules.h"

#include <QList>

namespace TextRules {

qsizetype CharacterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // The second half of a surrogate pair belongs to the letter before it.
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    }
    return count;
}

QString LeftCharacters(const QString &text, qsizetype count)
{
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
            continue;
        if (characters == count)
            return text.left(i);
        ++characters;
    }
    return text;
}

bool IsBidiControl(char32_t c)
{
    return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool IsControlCharacter(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || IsBidiControl(c);
}

bool HasControlCharacter(const QString &text, bool lineBreaksAllowed)
{
    for (const uint c : text.toUcs4()) {
        if (lineBreaksAllowed && (c == U'\r' || c == U'\n' || c == U'\t'))
            continue;
        if (IsControlCharacter(c))
            return true;
    }
    return false;
}

bool IsValidName(const QString &name)
{
    return !name.contains(QLatin1Char('\\')) && !HasControlCharacter(name);
}

QString EscapeControls(const QString &text)
{
    if (!HasControlCharacter(text))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (const uint c : text.toUcs4()) {
        switch (c) {
        case U'\n':
            shown += QLatin1String("\\n");
            continue;
        case U'\r':
            shown += QLatin1String("\\r");
            continue;
        case U'\t':
            shown += QLatin1String("\\t");
            continue;
        default:
            break;
        }
        if (IsBidiControl(c))
            shown += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        else if (IsControlCharacter(c))
            shown += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
        else
            shown += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
    }
    return shown;
}

} // namespace TextRules
