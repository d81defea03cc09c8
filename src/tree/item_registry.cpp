#include "tree/item_registry.h"

#include <limits>

void ItemRegistry::attach(CLevelList *levels, DbSession *session, IdSource *ids)
{
    m_levels = levels;
    m_session = session;
    m_ids = ids;
}

qint64 ItemRegistry::idKey(const QVariant &id)
{
    return id.toLongLong();
}

Item *ItemRegistry::findRow(const QString &table, const QVariant &id) const
{
    if (!id.isValid() || id.isNull())
        return nullptr;
    const auto rows = m_rows.constFind(table);
    return rows == m_rows.cend() ? nullptr : rows->value(idKey(id), nullptr);
}

QList<Item *> ItemRegistry::rowsOf(const QString &table) const
{
    return m_rows.value(table).values();
}

ItemHandle ItemRegistry::enter(Item &item)
{
    // A handle is never 0 and never one still in use, even after the counter wrapped.
    while (m_counter <= 0 || m_items.contains(m_counter))
        m_counter = m_counter == std::numeric_limits<ItemHandle>::max() || m_counter <= 0 ? 1 : m_counter + 1;
    const ItemHandle handle = m_counter;
    m_counter = handle == std::numeric_limits<ItemHandle>::max() ? 1 : handle + 1;
    m_items.insert(handle, &item);
    return handle;
}

void ItemRegistry::enterContainer(ContainerItem &item)
{
    m_containers.insert(item.handle(), &item);
}

void ItemRegistry::enterRow(Item &item)
{
    const QVariant id = item.id();
    if (!id.isValid() || id.isNull())
        return;
    if (item.m_rowKey)
        leaveRow(item);
    item.m_rowKey = idKey(id);
    m_rows[item.level().tableName()].insert(*item.m_rowKey, &item);
}

void ItemRegistry::leave(Item &item)
{
    m_items.remove(item.handle());
    m_containers.remove(item.handle());
    leaveRow(item);
}

void ItemRegistry::leaveRow(Item &item)
{
    if (!item.m_rowKey)
        return;
    const auto rows = m_rows.find(item.level().tableName());
    if (rows != m_rows.end()) {
        const auto entry = rows->find(*item.m_rowKey);
        if (entry != rows->end() && entry.value() == &item)
            rows->erase(entry);
    }
    item.m_rowKey.reset();
}
