#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class DbSession;

// Variant type codes of the data layer; a row value's type is told by one of
// these so that messages name types the way the project file's tools do.
enum VarType : int {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_PTR = 26,
    VT_SAFEARRAY = 27,
    VT_CARRAY = 28,
    VT_USERDEFINED = 29,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_RECORD = 36,
    VT_FILETIME = 64,
    VT_BLOB = 65,
    VT_STREAM = 66,
    VT_STORAGE = 67,
    VT_STREAMED_OBJECT = 68,
    VT_STORED_OBJECT = 69,
    VT_BLOB_OBJECT = 70,
    VT_CF = 71,
    VT_CLSID = 72,
    VT_BSTR_BLOB = 0xfff,
    VT_VECTOR = 0x1000,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_RESERVED = 0x8000,
    VT_ILLEGAL = 0xffff
};

// The empty value is an invalid QVariant; NULL is a valid variant that holds
// no value (as the driver gives NULL cells).
QVariant DbNull();
bool IsDbNull(const QVariant &value);

VarType VarTypeOf(const QVariant &value);
// "VT_I4" and so on; "Undefined type" for any other code.
QString VarTypeName(int code);

// Integers, reals and currency.
bool IsNumericType(VarType type);
// The value converted to target by the rules of ConvertValue, or nothing.
std::optional<QVariant> TryConvert(const QVariant &value, VarType target);

// Converts value in place to target. When that is impossible, shows 50019
// with the reason and returns false: the caller abandons what it was doing.
[[nodiscard]] bool ConvertValue(QVariant &value, VarType target);

// The text of a value in a statement. A NULL value has no text: it raises a
// data error and no statement is built.
QString SqlLiteral(const QVariant &value);

// A cell of a number column as a 32-bit whole number; none for a text that
// is no number, a fraction or a value out of range.
std::optional<qint32> WholeNumberOf(const QVariant &cell);

// The typed value of a column's default text (session for expressions).
QVariant TextToValue(const QString &text, const DbSession *session);

// The value the database computes for an expression, or the empty value.
QVariant EvaluateExpression(const DbSession &session, const QString &expression);
