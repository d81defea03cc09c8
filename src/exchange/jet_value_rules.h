#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// What a column of the new project accepts, read from its declared type:
// INTEGER a Long, SMALLINT a Yes/No (-1 or 0), VARCHAR(n) and CHAR(n) at
// most n characters, anything else as it comes.
struct TargetColumn {
    enum class Kind { Long, YesNo, Text, Any };
    QString name;
    Kind kind = Kind::Any;
    int width = 0;
    bool notNull = false;

    static TargetColumn FromDeclaration(const QString &name, const QString &declaredType, bool notNull);
};

// Where a value stands, for the message that refuses it.
struct ValuePlace {
    QString table;
    QString rowId;
    QString column;
};

// The value of an old row as the new column takes it, or the refusal naming
// table, row and column: a value is never cut or rounded to make it fit.
struct CarriedValue {
    QVariant value;
    std::optional<QString> refusal;
};
CarriedValue CarryValue(const QVariant &old, const TargetColumn &column, const ValuePlace &place);
