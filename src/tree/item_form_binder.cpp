#include "tree/item_form_binder.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/document.h"
#include "tree/item_form_strings.h"

#include "db/data_error.h"

#include <cmath>
#include <limits>

ItemFieldBinder::ItemFieldBinder(C7100Document &document, Item &item, Direction direction)
    : m_document(document), m_item(item), m_direction(direction)
{
}

bool ItemFieldBinder::HasColumn(const QString &column)
{
    return m_item.level().FindColumn(column) != nullptr;
}

void ItemFieldBinder::FailMissing(const QString &column)
{
    m_failed = true;
    MessageService::error(
        FillArguments(Str(ItemFormStrings::FieldNotFound), {column, m_item.level().tableName()}));
}

void ItemFieldBinder::FailInternal()
{
    m_failed = true;
    MessageService::warning(Str(ItemFormStrings::InternalError));
}

bool ItemFieldBinder::Read(const QString &column, QVariant &value)
{
    if (m_failed)
        return false;
    if (!HasColumn(column)) {
        FailMissing(column);
        return false;
    }
    value = m_document.GetValue(m_item, column, true);
    return true;
}

bool ItemFieldBinder::Write(const QString &column, const QVariant &value)
{
    if (m_failed)
        return false;
    if (!HasColumn(column)) {
        FailMissing(column);
        return false;
    }
    // An unchanged member leaves the column as it is (an empty text stays
    // null), so that an apply without changes writes nothing.
    const QVariant stored = m_document.GetValue(m_item, column, true);
    if (stored.isNull() ? value.isNull() || value.toString().isEmpty() : stored == value)
        return true;
    if (!m_document.SetValue(m_item, column, value, true)) {
        FailInternal();
        return false;
    }
    return true;
}

template <typename Int> void ItemFieldBinder::BindInteger(const QString &column, Int &member)
{
    if (m_direction == Direction::ToItem) {
        Write(column, QVariant(qint64(member)));
        return;
    }
    QVariant value;
    if (!Read(column, value))
        return;
    if (value.isNull()) {
        member = 0;
        return;
    }
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < qint64(std::numeric_limits<Int>::min()) ||
        number > qint64(std::numeric_limits<Int>::max())) {
        FailInternal();
        return;
    }
    member = Int(number);
}

void ItemFieldBinder::Bind(const QString &column, quint8 &member)
{
    BindInteger(column, member);
}

void ItemFieldBinder::Bind(const QString &column, qint16 &member)
{
    BindInteger(column, member);
}

void ItemFieldBinder::Bind(const QString &column, qint32 &member)
{
    BindInteger(column, member);
}

void ItemFieldBinder::Bind(const QString &column, quint32 &member)
{
    BindInteger(column, member);
}

void ItemFieldBinder::Bind(const QString &column, bool &member)
{
    if (m_direction == Direction::ToItem) {
        Write(column, QVariant(member));
        return;
    }
    QVariant value;
    if (Read(column, value))
        member = !value.isNull() && value.toLongLong() != 0;
}

void ItemFieldBinder::Bind(const QString &column, QString &member)
{
    if (m_direction == Direction::ToItem) {
        Write(column, QVariant(member));
        return;
    }
    QVariant value;
    if (Read(column, value))
        member = value.isNull() ? QString() : value.toString();
}

void ItemFieldBinder::Bind(const QString &column, double &member)
{
    if (m_direction == Direction::ToItem) {
        if (!std::isfinite(member)) {
            if (!m_failed)
                FailInternal();
            return;
        }
        Write(column, QVariant(member));
        return;
    }
    QVariant value;
    if (!Read(column, value))
        return;
    bool ok = true;
    const double number = value.isNull() ? 0.0 : value.toDouble(&ok);
    if (!ok) {
        FailInternal();
        return;
    }
    member = number;
}

void ItemFieldBinder::Bind(const QString &column, float &member)
{
    double wide = member;
    Bind(column, wide);
    if (m_direction == Direction::FromItem && !m_failed) {
        if (std::abs(wide) > double(std::numeric_limits<float>::max())) {
            FailInternal();
            return;
        }
        member = float(wide);
    }
}

void ItemFieldBinder::Bind(const QString &column, Currency &member)
{
    // The column holds the amount in units; the member counts ten-thousandths.
    double units = double(member.tenThousandths) / 10000.0;
    Bind(column, units);
    if (m_direction == Direction::FromItem && !m_failed) {
        const double scaled = std::round(units * 10000.0);
        if (std::abs(scaled) >= 9.2e18) {
            FailInternal();
            return;
        }
        member.tenThousandths = qint64(scaled);
    }
}

void ItemFieldBinder::Bind(const QString &column, QDateTime &member)
{
    if (m_direction == Direction::ToItem) {
        Write(column, member.isValid() ? QVariant(member.toString(Qt::ISODate)) : QVariant());
        return;
    }
    QVariant value;
    if (!Read(column, value))
        return;
    if (value.isNull()) {
        member = QDateTime();
        return;
    }
    const QDateTime parsed = value.typeId() == QMetaType::QDateTime
                                 ? value.toDateTime()
                                 : QDateTime::fromString(value.toString(), Qt::ISODate);
    if (!parsed.isValid()) {
        FailInternal();
        return;
    }
    member = parsed;
}
