#pragma once

#include <QString>
#include <QVariant>

// Where the identifiers of new rows come from: the sequence named after the
// table. Raises COLEDBException when no identifier can be drawn.
class IdSource {
public:
    virtual ~IdSource() = default;
    virtual QVariant NextId(const QString &sequence) = 0;
};
