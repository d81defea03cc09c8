#include "pages/numeric_input.h"

#include "base/number_text.h"
#include "base/string_table.h"
#include "params/params_strings.h"

#include <algorithm>
#include <cmath>

namespace {

// The longest leading part of text that reads as a decimal number.
double LeadingDecimal(const QString &text)
{
    const QString trimmed = text.trimmed();
    int end = 0;
    if (end < trimmed.size() && (trimmed[end] == '-' || trimmed[end] == '+'))
        ++end;
    bool point = false;
    while (end < trimmed.size() && (trimmed[end].isDigit() || (trimmed[end] == '.' && !point))) {
        point = point || trimmed[end] == '.';
        ++end;
    }
    bool ok = false;
    const double value = trimmed.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

double LeadingHex(const QString &text)
{
    const QString trimmed = text.trimmed();
    int end = 0;
    while (end < trimmed.size() && std::isxdigit(trimmed[end].toLatin1()))
        ++end;
    bool ok = false;
    const qulonglong value = trimmed.left(end).toULongLong(&ok, 16);
    return ok ? double(quint32(value)) : 0.0;
}

} // namespace

int NumericInput::BodyLength(const QString &text) const
{
    return has(Percent) && text.endsWith('%') ? int(text.size()) - 1 : int(text.size());
}

QString NumericInput::WithSuffix(const QString &body) const
{
    return has(Percent) ? body + QLatin1Char('%') : body;
}

QString NumericInput::Format(double x) const
{
    QString body;
    if (has(Hexadecimal)) {
        body = QString::number(quint32(qint64(x)), 16).toUpper();
    } else if (m_decimals <= 0) {
        body = QString::number(qint64(x));
    } else {
        body = QString::asprintf("%.*f", m_decimals, x);
        if (!has(AllDecimals)) {
            while (body.endsWith('0'))
                body.chop(1);
            if (body.endsWith('.'))
                body.chop(1);
        }
        if (body == QStringLiteral("-0"))
            body = QStringLiteral("0");
    }
    return WithSuffix(body);
}

double NumericInput::Parse(const QString &text) const
{
    QString body = text;
    body.remove('%');
    if (body.trimmed().isEmpty())
        return 0.0;
    return has(Hexadecimal) ? LeadingHex(body) : LeadingDecimal(body);
}

bool NumericInput::IsNumber(const QString &text) const
{
    QString body = text;
    body.remove('%');
    body = body.trimmed();
    if (body.isEmpty())
        return true;
    if (has(Hexadecimal))
        return std::all_of(body.begin(), body.end(), [](QChar c) { return std::isxdigit(c.toLatin1()) != 0; });
    // The field's own characters (no exponent), read by the one number
    // reading of the program.
    const bool fieldCharacters = std::all_of(body.begin(), body.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char('-') ||
               c == QLatin1Char('+');
    });
    return fieldCharacters && NumberText::Parse(body).has_value();
}

QString NumericInput::RefusalAtApply(const QString &text, const QString &fieldName) const
{
    if (IsNumber(text))
        return {};
    QString field = fieldName;
    field.remove('&');
    if (field.endsWith(':'))
        field.chop(1);
    return StrF(ParamsStrings::ColumnNotANumber, {text, field.trimmed()});
}

NumericInput::State NumericInput::Clamped(const State &state) const
{
    State clamped = state;
    const int limit = BodyLength(state.text);
    clamped.selectionStart = std::clamp(state.selectionStart, 0, limit);
    clamped.selectionEnd = std::clamp(state.selectionEnd, 0, limit);
    return clamped;
}

NumericInput::State NumericInput::Replaced(const State &state, const QString &newText) const
{
    State replaced{newText, state.caret(), state.caret()};
    return Clamped(replaced);
}

NumericInput::Result NumericInput::Type(const State &before, QChar typed) const
{
    const State state = Clamped(before);
    QString body = state.text.left(BodyLength(state.text));
    int from = std::min(state.selectionStart, state.selectionEnd);
    int to = std::max(state.selectionStart, state.selectionEnd);
    Result result{Typed::Taken, state};
    auto done = [&](const QString &newBody, int caret) {
        result.state = {WithSuffix(newBody), caret, caret};
        return result;
    };
    auto refuse = [&](Typed why) {
        result.outcome = why;
        return result;
    };

    if (typed == '+') {
        if (body.startsWith('-'))
            return done(body.mid(1), std::max(0, state.caret() - 1));
        return result;
    }
    if (typed == '-') {
        if (has(Hexadecimal) || has(NoMinus))
            return refuse(Typed::Refused);
        if (body.startsWith('-'))
            return result;
        if (m_maxCharacters > 0 && body.size() >= m_maxCharacters)
            return refuse(Typed::LimitReached);
        return done(QLatin1Char('-') + body, state.caret() + 1);
    }
    if (typed == '.') {
        if (!has(DecimalPoint))
            return refuse(Typed::Refused);
        body.remove(from, to - from);
        int caret = from;
        const qsizetype oldPoint = body.indexOf('.');
        if (oldPoint >= 0) {
            body.remove(oldPoint, 1);
            if (oldPoint < caret)
                --caret;
        }
        int digitsAfter = 0;
        for (qsizetype i = caret; i < body.size(); ++i)
            digitsAfter += body[i].isDigit() ? 1 : 0;
        if (digitsAfter > m_decimals)
            return done(body, caret);
        body.insert(caret, QLatin1Char('.'));
        return done(body, caret + 1);
    }
    const bool hexLetter = has(Hexadecimal) && std::isxdigit(typed.toLatin1()) && !typed.isDigit();
    if (!typed.isDigit() && !hexLetter)
        return refuse(Typed::Refused);
    body.remove(from, to - from);
    const qsizetype point = body.indexOf('.');
    if (point >= 0 && from > point) {
        const qsizetype digitsAfter = body.size() - point - 1;
        if (digitsAfter >= m_decimals)
            return refuse(Typed::LimitReached);
    }
    if (m_maxCharacters > 0 && body.size() >= m_maxCharacters)
        return refuse(Typed::LimitReached);
    body.insert(from, typed);
    return done(body, from + 1);
}

NumericInput::Result NumericInput::Inserted(const State &state, const QString &text) const
{
    QString pasted = text.trimmed();
    if (has(Percent) && pasted.endsWith('%'))
        pasted.chop(1);
    const Result refused{Typed::Refused, state};
    if (pasted.isEmpty() || !IsNumber(pasted))
        return refused;
    // Typed one by one, a second point or a sign inside the text would move
    // the point or the sign of the field instead of being refused.
    const State clamped = Clamped(state);
    const QString body = clamped.text.left(BodyLength(clamped.text));
    const int from = std::min(clamped.selectionStart, clamped.selectionEnd);
    const int to = std::max(clamped.selectionStart, clamped.selectionEnd);
    const QString kept = body.left(from) + body.mid(to);
    const bool signed_ = pasted.startsWith('-') || pasted.startsWith('+');
    if ((pasted.contains('.') && kept.contains('.')) || (signed_ && (from != 0 || kept.startsWith('-'))))
        return refused;
    // The selection goes first, as a typed character would replace it.
    Result result{Typed::Taken, {WithSuffix(kept), from, from}};
    for (const QChar typed : pasted) {
        const Result next = Type(result.state, typed);
        if (next.outcome != Typed::Taken)
            return {next.outcome, state};
        result.state = next.state;
    }
    return result;
}

NumericInput::State NumericInput::AfterErase(const State &state) const
{
    const QString body = state.text.left(BodyLength(state.text));
    if (body.isEmpty() || body == QStringLiteral(" ") || body == QStringLiteral("0"))
        return {WithSuffix(QStringLiteral("0")), 1, 1};
    return Clamped(state);
}
