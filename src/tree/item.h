#pragma once

#include "db/table_level.h"

#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class ContainerItem;
class ItemRegistry;

using ItemKind = LevelKind;

// A document-unique positive number naming an item; views keep these, never
// pointers, and resolve them through the registry.
using ItemHandle = int;

enum class EditState { Clean = 0, New = 1, Modified = 2 };

// One row of a tree or catalogue table held in memory. An item is entered in
// its registry when made and leaves every map of it when destroyed.
class Item {
public:
    Item(CTableLevel &level, ItemRegistry &registry, RowValues values);
    virtual ~Item();
    Item(const Item &) = delete;
    Item &operator=(const Item &) = delete;

    ContainerItem *parent() const { return m_parent; }
    bool shown() const { return m_shown; }
    void setShown(bool shown) { m_shown = shown; }
    const RowValues &values() const { return m_values; }
    RowValues &values() { return m_values; }
    const std::optional<RowValues> &snapshot() const { return m_snapshot; }
    EditState editState() const { return m_editState; }
    CTableLevel &level() const { return m_level; }
    ItemKind kind() const { return m_level.kind(); }
    ItemHandle handle() const { return m_handle; }
    ItemRegistry &registry() const { return m_registry; }
    bool cutMark() const { return m_cutMark; }
    void setCutMark(bool marked) { m_cutMark = marked; }

    bool isContainer() const { return kind() != ItemKind::Leaf; }
    ContainerItem *asContainer();
    // The value of the level's ID column; the empty value when it has none.
    QVariant id() const;
    bool isAncestorOf(const Item &other) const;

    // Takes the snapshot and enters the state (New or Modified).
    void beginEditState(EditState state);
    // Drops the snapshot and returns to Clean.
    void endEditState();
    // The snapshot taken again from the current values (after a failed save).
    void retakeSnapshot() { m_snapshot = m_values; }
    void replaceSnapshot(RowValues snapshot) { m_snapshot = std::move(snapshot); }

private:
    friend class ContainerItem;
    friend class ItemRegistry;

    ContainerItem *m_parent = nullptr;
    bool m_shown;
    RowValues m_values;
    std::optional<RowValues> m_snapshot;
    EditState m_editState = EditState::Clean;
    CTableLevel &m_level;
    ItemHandle m_handle;
    ItemRegistry &m_registry;
    bool m_cutMark = false;
    // The ID under which the registry's table-and-ID map holds the item.
    std::optional<qint64> m_rowKey;
};

// An item that owns child rows: its leaf children and its container children,
// each in load order with new items appended.
class ContainerItem : public Item {
public:
    ContainerItem(CTableLevel &level, ItemRegistry &registry, RowValues values);
    ~ContainerItem() override;

    const std::vector<std::unique_ptr<Item>> &leafChildren() const { return m_leaves; }
    const std::vector<std::unique_ptr<Item>> &containerChildren() const { return m_containers; }
    bool loaded() const { return m_loaded; }
    void setLoaded(bool loaded) { m_loaded = loaded; }
    bool hasChildren() const { return !m_leaves.empty() || !m_containers.empty(); }

    // Takes ownership and appends the child to the list of its kind.
    Item &append(std::unique_ptr<Item> child);
    // Destroys one child with its loaded subtree.
    void destroyChild(Item &child);
    // Destroys every child and marks the item not loaded.
    void destroyChildren();

    // Every child, containers first, each list in order.
    template <typename F> void forEachChild(F &&visit) const
    {
        for (const auto &child : m_containers)
            visit(*child);
        for (const auto &child : m_leaves)
            visit(*child);
    }

private:
    std::vector<std::unique_ptr<Item>> &listFor(const Item &child);

    std::vector<std::unique_ptr<Item>> m_leaves;
    std::vector<std::unique_ptr<Item>> m_containers;
    bool m_loaded = false;
};

// Makes an item of the level's kind.
std::unique_ptr<Item> MakeItem(CTableLevel &level, ItemRegistry &registry, RowValues values);
