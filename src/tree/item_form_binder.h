#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

class C7100Document;
class Item;

// A money amount as the database keeps it: ten-thousandths of the unit.
struct Currency {
    qint64 tenThousandths = 0;
    bool operator==(const Currency &) const = default;
};

// Moves the members of a form to and from the columns of one item. Every
// binding names its column; the value is read or written raw and converted
// to or from the member's type. The first failure is reported once (a
// column the item's table lacks: "Can't find field ..."; any other:
// "Internal application error.") and every later binding does nothing, so
// that an exchange changes either all its columns or stops at the fault.
class ItemFieldBinder {
public:
    enum class Direction { ToItem, FromItem };

    ItemFieldBinder(C7100Document &document, Item &item, Direction direction);

    void Bind(const QString &column, quint8 &member);
    void Bind(const QString &column, qint16 &member);
    void Bind(const QString &column, qint32 &member);
    void Bind(const QString &column, quint32 &member);
    void Bind(const QString &column, bool &member);
    void Bind(const QString &column, QString &member);
    void Bind(const QString &column, float &member);
    void Bind(const QString &column, double &member);
    void Bind(const QString &column, Currency &member);
    void Bind(const QString &column, QDateTime &member);

    Direction direction() const { return m_direction; }
    bool failed() const { return m_failed; }

private:
    template <typename Int> void BindInteger(const QString &column, Int &member);
    // The raw value of the column; false (reported) when the table lacks it.
    bool Read(const QString &column, QVariant &value);
    // Writes the value unless it equals the stored one; false when refused.
    bool Write(const QString &column, const QVariant &value);
    bool HasColumn(const QString &column);
    void FailMissing(const QString &column);
    void FailInternal();

    C7100Document &m_document;
    Item &m_item;
    Direction m_direction;
    bool m_failed = false;
};
