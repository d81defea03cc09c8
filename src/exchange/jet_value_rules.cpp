#include "exchange/jet_value_rules.h"

#include "exchange/exchange_strings.h"
#include "base/string_table.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

CarriedValue Refused(int message, const ValuePlace &place, std::initializer_list<QVariant> more)
{
    QVariantList args{place.table, place.rowId, place.column};
    for (const QVariant &arg : more)
        args.append(arg);
    return {QVariant(), FormatText(Str(message), args)};
}

// A whole number as the old file held it, or nothing for a fraction or a
// text that is no number.
// A value as the message shows it: a real number without an exponent
// where it is whole.
QString ValueText(const QVariant &value)
{
    if (value.typeId() != QMetaType::Double)
        return value.toString();
    const double number = value.toDouble();
    if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1.0e18)
        return QString::number(qint64(number));
    return QString::number(number, 'g', 15);
}

std::optional<qint64> WholeNumber(const QVariant &value)
{
    bool ok = false;
    if (value.typeId() == QMetaType::Double) {
        const double number = value.toDouble();
        if (!std::isfinite(number) || number != std::floor(number) || std::fabs(number) > 9.0e18)
            return std::nullopt;
        return qint64(number);
    }
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

CarriedValue CarryLong(const QVariant &old, const ValuePlace &place)
{
    const std::optional<qint64> number = WholeNumber(old);
    if (!number)
        return Refused(ExchangeStrings::NotANumber, place, {ValueText(old)});
    if (*number < std::numeric_limits<qint32>::min() || *number > std::numeric_limits<qint32>::max())
        return Refused(ExchangeStrings::NumberOutOfRange, place, {ValueText(old)});
    return {QVariant(qint32(*number)), std::nullopt};
}

// Yes/No is -1 or 0; a number column of an older file may hold 1 for yes.
CarriedValue CarryYesNo(const QVariant &old, const ValuePlace &place)
{
    const std::optional<qint64> number = WholeNumber(old);
    if (!number || (*number != 0 && *number != -1 && *number != 1))
        return Refused(ExchangeStrings::NotYesNo, place, {ValueText(old)});
    return {QVariant(*number == 0 ? 0 : -1), std::nullopt};
}

CarriedValue CarryText(const QVariant &old, int width, const ValuePlace &place)
{
    const QString text = ValueText(old);
    if (width > 0 && text.size() > width)
        return Refused(ExchangeStrings::TextTooLong, place, {text.size(), width});
    return {QVariant(text), std::nullopt};
}

} // namespace

TargetColumn TargetColumn::FromDeclaration(const QString &name, const QString &declaredType, bool notNull)
{
    static const QRegularExpression textType(QStringLiteral("^\\s*(?:VAR)?CHAR\\s*\\(\\s*(\\d+)\\s*\\)"),
                                             QRegularExpression::CaseInsensitiveOption);
    TargetColumn column{name, Kind::Any, 0, notNull};
    const QString type = declaredType.trimmed().toUpper();
    if (const QRegularExpressionMatch match = textType.match(type); match.hasMatch()) {
        column.kind = Kind::Text;
        column.width = match.captured(1).toInt();
    } else if (type == QLatin1String("INTEGER")) {
        column.kind = Kind::Long;
    } else if (type == QLatin1String("SMALLINT")) {
        column.kind = Kind::YesNo;
    }
    return column;
}

CarriedValue CarryValue(const QVariant &old, const TargetColumn &column, const ValuePlace &place)
{
    if (!old.isValid() || old.isNull())
        return {QVariant(), std::nullopt};
    switch (column.kind) {
    case TargetColumn::Kind::Long:
        return CarryLong(old, place);
    case TargetColumn::Kind::YesNo:
        return CarryYesNo(old, place);
    case TargetColumn::Kind::Text:
        return CarryText(old, column.width, place);
    case TargetColumn::Kind::Any:
        break;
    }
    return {old, std::nullopt};
}
