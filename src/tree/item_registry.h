#pragma once

#include "tree/item.h"

#include <QHash>
#include <QString>

class CLevelList;
class DbSession;
class IdSource;

// The index of every item of a document: by handle, by handle for container
// items, and by table and ID for items whose row exists in the database.
class ItemRegistry {
public:
    ItemRegistry() = default;
    ItemRegistry(const ItemRegistry &) = delete;
    ItemRegistry &operator=(const ItemRegistry &) = delete;

    // The level list and the open project (null while none is open).
    CLevelList *levels() const { return m_levels; }
    DbSession *session() const { return m_session; }
    IdSource *ids() const { return m_ids; }
    void attach(CLevelList *levels, DbSession *session, IdSource *ids);

    Item *find(ItemHandle handle) const { return m_items.value(handle, nullptr); }
    ContainerItem *findContainer(ItemHandle handle) const { return m_containers.value(handle, nullptr); }
    // The item of table whose ID equals id, or null.
    Item *findRow(const QString &table, const QVariant &id) const;
    // Every item of a table that has a row, in no particular order.
    QList<Item *> rowsOf(const QString &table) const;
    int itemCount() const { return int(m_items.size()); }
    QList<Item *> items() const { return m_items.values(); }

    // Called by items themselves.
    ItemHandle enter(Item &item);
    void enterContainer(ContainerItem &item);
    void enterRow(Item &item);
    void leave(Item &item);
    void leaveRow(Item &item);

private:
    static qint64 idKey(const QVariant &id);

    CLevelList *m_levels = nullptr;
    DbSession *m_session = nullptr;
    IdSource *m_ids = nullptr;
    QHash<ItemHandle, Item *> m_items;
    QHash<ItemHandle, ContainerItem *> m_containers;
    QHash<QString, QHash<qint64, Item *>> m_rows;
    ItemHandle m_counter = 1;
};
