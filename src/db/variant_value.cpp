#include "db/variant_value.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

QVariant DbNull()
{
    return QVariant(QMetaType::fromType<std::nullptr_t>());
}

bool IsDbNull(const QVariant &value)
{
    return value.isValid() && value.isNull();
}

VarType VarTypeOf(const QVariant &value)
{
    if (!value.isValid())
        return VT_EMPTY;
    if (value.isNull())
        return VT_NULL;
    // Qt's types and the variant type each stands for.
    static const std::pair<int, int> kinds[] = {{QMetaType::Bool, VT_BOOL},
                                                {QMetaType::Short, VT_I2},
                                                {QMetaType::Int, VT_I4},
                                                {QMetaType::Long, VT_I8},
                                                {QMetaType::LongLong, VT_I8},
                                                {QMetaType::SChar, VT_I1},
                                                {QMetaType::Char, VT_I1},
                                                {QMetaType::UChar, VT_UI1},
                                                {QMetaType::UShort, VT_UI2},
                                                {QMetaType::UInt, VT_UI4},
                                                {QMetaType::ULong, VT_UI8},
                                                {QMetaType::ULongLong, VT_UI8},
                                                {QMetaType::Float, VT_R4},
                                                {QMetaType::Double, VT_R8},
                                                {QMetaType::QString, VT_BSTR},
                                                {QMetaType::QDate, VT_DATE},
                                                {QMetaType::QTime, VT_DATE},
                                                {QMetaType::QDateTime, VT_DATE},
                                                {QMetaType::QByteArray, VT_ARRAY | VT_UI1},
                                                {QMetaType::QVariantList, VT_ARRAY | VT_VARIANT}};
    for (const auto &[meta, kind] : kinds) {
        if (value.typeId() == meta)
            return VarType(kind);
    }
    return VT_VARIANT;
}

QString VarTypeName(int code)
{
    static const std::pair<int, const char *> names[] = {{VT_EMPTY, "VT_EMPTY"},
                                                         {VT_NULL, "VT_NULL"},
                                                         {VT_I2, "VT_I2"},
                                                         {VT_I4, "VT_I4"},
                                                         {VT_R4, "VT_R4"},
                                                         {VT_R8, "VT_R8"},
                                                         {VT_CY, "VT_CY"},
                                                         {VT_DATE, "VT_DATE"},
                                                         {VT_BSTR, "VT_BSTR"},
                                                         {VT_DISPATCH, "VT_DISPATCH"},
                                                         {VT_ERROR, "VT_ERROR"},
                                                         {VT_BOOL, "VT_BOOL"},
                                                         {VT_VARIANT, "VT_VARIANT"},
                                                         {VT_UNKNOWN, "VT_UNKNOWN"},
                                                         {VT_DECIMAL, "VT_DECIMAL"},
                                                         {VT_I1, "VT_I1"},
                                                         {VT_UI1, "VT_UI1"},
                                                         {VT_UI2, "VT_UI2"},
                                                         {VT_UI4, "VT_UI4"},
                                                         {VT_I8, "VT_I8"},
                                                         {VT_UI8, "VT_UI8"},
                                                         {VT_INT, "VT_INT"},
                                                         {VT_UINT, "VT_UINT"},
                                                         {VT_VOID, "VT_VOID"},
                                                         {VT_HRESULT, "VT_HRESULT"},
                                                         {VT_PTR, "VT_PTR"},
                                                         {VT_SAFEARRAY, "VT_SAFEARRAY"},
                                                         {VT_CARRAY, "VT_CARRAY"},
                                                         {VT_USERDEFINED, "VT_USERDEFINED"},
                                                         {VT_LPSTR, "VT_LPSTR"},
                                                         {VT_LPWSTR, "VT_LPWSTR"},
                                                         {VT_RECORD, "VT_RECORD"},
                                                         {VT_FILETIME, "VT_FILETIME"},
                                                         {VT_BLOB, "VT_BLOB"},
                                                         {VT_STREAM, "VT_STREAM"},
                                                         {VT_STORAGE, "VT_STORAGE"},
                                                         {VT_STREAMED_OBJECT, "VT_STREAMED_OBJECT"},
                                                         {VT_STORED_OBJECT, "VT_STORED_OBJECT"},
                                                         {VT_BLOB_OBJECT, "VT_BLOB_OBJECT"},
                                                         {VT_CF, "VT_CF"},
                                                         {VT_CLSID, "VT_CLSID"},
                                                         {VT_BSTR_BLOB, "VT_BSTR_BLOB"},
                                                         {VT_VECTOR, "VT_VECTOR"},
                                                         {VT_ARRAY, "VT_ARRAY"},
                                                         {VT_BYREF, "VT_BYREF"},
                                                         {VT_RESERVED, "VT_RESERVED"},
                                                         {VT_ILLEGAL, "VT_ILLEGAL"}};
    for (const auto &[value, name] : names) {
        if (value == code)
            return QString::fromLatin1(name);
    }
    return Str(DbStrings::UndefinedType);
}

namespace {
// Days since 30 December 1899, the date origin of the file format's dates.
double OleDate(const QDateTime &when)
{
    static const QDateTime origin(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const QDateTime utc(when.date(), when.time(), Qt::UTC);
    return double(origin.msecsTo(utc)) / 86400000.0;
}

QDateTime FromOleDate(double days)
{
    static const QDateTime origin(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const QDateTime utc = origin.addMSecs(qint64(std::llround(days * 86400000.0)));
    return QDateTime(utc.date(), utc.time());
}

QDateTime AsDateTime(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    if (value.typeId() == QMetaType::QTime)
        return QDateTime(QDate(1899, 12, 30), value.toTime());
    return value.toDateTime();
}

enum class Failure { None, TypeMismatch, Overflow, Null };

struct Number {
    double value = 0;
    Failure failure = Failure::None;
};

Number AsNumber(const QVariant &value)
{
    switch (VarTypeOf(value)) {
    case VT_EMPTY:
        return {0, Failure::None};
    case VT_NULL:
        return {0, Failure::Null};
    case VT_BOOL:
        return {value.toBool() ? -1.0 : 0.0, Failure::None};
    case VT_DATE:
        return {OleDate(AsDateTime(value)), Failure::None};
    case VT_BSTR: {
        bool ok = false;
        const double parsed = QLocale::c().toDouble(value.toString().trimmed(), &ok);
        return {parsed, ok ? Failure::None : Failure::TypeMismatch};
    }
    default:
        if (IsNumericType(VarTypeOf(value)))
            return {value.toDouble(), Failure::None};
        return {0, Failure::TypeMismatch};
    }
}

// Whole numbers round half away from zero, as every conversion of the program.
template <typename T> std::optional<QVariant> ToWhole(double number)
{
    const double rounded = std::round(number);
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<T>::lowest()) ||
        rounded > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return QVariant::fromValue(T(rounded));
}

Failure Convert(const QVariant &from, VarType target, QVariant &to)
{
    if (target == VT_EMPTY) {
        to = QVariant();
        return Failure::None;
    }
    if (target == VT_NULL) {
        to = DbNull();
        return Failure::None;
    }
    if (target == VT_BSTR) {
        switch (VarTypeOf(from)) {
        case VT_NULL:
            return Failure::Null;
        case VT_EMPTY:
            to = QString();
            return Failure::None;
        case VT_BOOL:
            to = QString::number(from.toBool() ? -1 : 0);
            return Failure::None;
        case VT_R4:
        case VT_R8:
            to = QString::number(from.toDouble(), 'g', 15);
            return Failure::None;
        case VT_DATE:
            to = AsDateTime(from).toString(Qt::ISODate);
            return Failure::None;
        default:
            if (!IsNumericType(VarTypeOf(from)) && VarTypeOf(from) != VT_BSTR)
                return Failure::TypeMismatch;
            to = from.toString();
            return Failure::None;
        }
    }
    const Number number = AsNumber(from);
    if (number.failure != Failure::None)
        return number.failure;
    std::optional<QVariant> result;
    switch (target) {
    case VT_I1:
        result = ToWhole<qint8>(number.value);
        break;
    case VT_I2:
        result = ToWhole<qint16>(number.value);
        break;
    case VT_I4:
    case VT_INT:
        result = ToWhole<qint32>(number.value);
        break;
    case VT_I8:
        result = ToWhole<qint64>(number.value);
        break;
    case VT_UI1:
        result = ToWhole<quint8>(number.value);
        break;
    case VT_UI2:
        result = ToWhole<quint16>(number.value);
        break;
    case VT_UI4:
    case VT_UINT:
        result = ToWhole<quint32>(number.value);
        break;
    case VT_UI8:
        result = ToWhole<quint64>(number.value);
        break;
    case VT_BOOL:
        result = QVariant(number.value != 0);
        break;
    case VT_R8:
        result = QVariant(number.value);
        break;
    case VT_CY:
        result = QVariant(std::round(number.value * 10000.0) / 10000.0);
        break;
    case VT_R4:
        if (std::fabs(number.value) > double(std::numeric_limits<float>::max()))
            return Failure::Overflow;
        result = QVariant(float(number.value));
        break;
    case VT_DATE:
        result = QVariant(FromOleDate(number.value));
        break;
    default:
        return Failure::TypeMismatch;
    }
    if (!result)
        return Failure::Overflow;
    to = *result;
    return Failure::None;
}

QString FailureText(Failure failure)
{
    switch (failure) {
    case Failure::Overflow:
        return Str(DbStrings::Overflow);
    case Failure::Null:
        return Str(DbStrings::InvalidUseOfNull);
    default:
        return Str(DbStrings::TypeMismatch);
    }
}
} // namespace

namespace {
Failure ConvertChecked(const QVariant &value, VarType target, QVariant &converted)
{
    if (target == VT_VARIANT || VarTypeOf(value) == target) {
        converted = value;
        return Failure::None;
    }
    QVariant work = value;
    if (VarTypeOf(work) == VT_BOOL)
        work = QVariant(work.toBool() ? 1 : 0);
    if (target == VT_BOOL) {
        QVariant whole;
        const Failure failure = Convert(work, VT_I4, whole);
        if (failure != Failure::None)
            return failure;
        work = whole;
    }
    return Convert(work, target, converted);
}
} // namespace

bool IsNumericType(VarType type)
{
    switch (type) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
        return true;
    default:
        return false;
    }
}

std::optional<QVariant> TryConvert(const QVariant &value, VarType target)
{
    QVariant converted;
    if (ConvertChecked(value, target, converted) != Failure::None)
        return std::nullopt;
    return converted;
}

bool ConvertValue(QVariant &value, VarType target)
{
    QVariant converted;
    const Failure failure = ConvertChecked(value, target, converted);
    if (failure != Failure::None) {
        const QString head =
            FillArguments(Str(DbStrings::CantConvertVariant),
                          {VarTypeName(VarTypeOf(value)), VarTypeName(target), value.toString()});
        MessageService::error(head + QLatin1Char('\n') + FailureText(failure));
        return false;
    }
    value = converted;
    return true;
}

QString SqlLiteral(const QVariant &value)
{
    const VarType type = VarTypeOf(value);
    switch (type) {
    case VT_EMPTY:
        return QStringLiteral("NULL");
    case VT_NULL:
        RaiseDataError(DbStrings::CantConvertVariant,
                       {VarTypeName(VT_NULL), VarTypeName(VT_BSTR), QString()});
    case VT_BSTR: {
        QString text = value.toString();
        if (text.isEmpty())
            return QStringLiteral("NULL");
        text.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    case VT_R4:
    case VT_R8:
        return QString::asprintf("%.15f", value.toDouble());
    case VT_DATE:
        return QString::asprintf("%.15f", OleDate(AsDateTime(value)));
    case VT_BOOL:
        return value.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    default:
        if (type & VT_ARRAY)
            return QString();
        return value.toString();
    }
}

QVariant TextToValue(const QString &text, const DbSession *session)
{
    if (text.isEmpty())
        return QVariant();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0)
        return QVariant(true);
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("No"), Qt::CaseInsensitive) == 0)
        return QVariant(false);
    bool isReal = false;
    QLocale::c().toDouble(text.trimmed(), &isReal);
    if (isReal)
        return text;
    return session ? EvaluateExpression(*session, text) : QVariant();
}

QVariant EvaluateExpression(const DbSession &session, const QString &expression)
{
    QSqlQuery query = session.NewQuery();
    if (!session.Execute(query, QStringLiteral("SELECT %1 FROM DUAL").arg(expression), nullptr) ||
        !query.next())
        return QVariant();
    return query.value(0);
}

std::optional<qint32> WholeNumberOf(const QVariant &cell)
{
    bool ok = false;
    qlonglong value = 0;
    switch (cell.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double real = cell.toDouble();
        if (real != std::trunc(real) || real < double(INT32_MIN) || real > double(INT32_MAX))
            return std::nullopt;
        return qint32(real);
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
        value = cell.toString().trimmed().toLongLong(&ok);
        break;
    default:
        value = cell.toLongLong(&ok);
        break;
    }
    if (!ok || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return qint32(value);
}
