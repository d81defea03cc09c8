#include "tree/item.h"

#include "tree/item_registry.h"

#include <algorithm>

Item::Item(CTableLevel &level, ItemRegistry &registry, RowValues values)
    : m_shown(level.attributes().shown), m_values(std::move(values)), m_level(level),
      m_handle(registry.enter(*this)), m_registry(registry)
{
}

Item::~Item()
{
    m_registry.leave(*this);
}

ContainerItem *Item::asContainer()
{
    return isContainer() ? static_cast<ContainerItem *>(this) : nullptr;
}

QVariant Item::id() const
{
    const int index = m_level.IdColumnIndex();
    return index < 0 || size_t(index) >= m_values.size() ? QVariant() : m_values[size_t(index)];
}

bool Item::isAncestorOf(const Item &other) const
{
    for (const Item *up = other.parent(); up; up = up->parent()) {
        if (up == this)
            return true;
    }
    return false;
}

void Item::beginEditState(EditState state)
{
    m_snapshot = m_values;
    m_editState = state;
}

void Item::endEditState()
{
    m_snapshot.reset();
    m_editState = EditState::Clean;
}

ContainerItem::ContainerItem(CTableLevel &level, ItemRegistry &registry, RowValues values)
    : Item(level, registry, std::move(values))
{
    registry.enterContainer(*this);
}

// Children go first, so that they leave the registry while this item is whole.
ContainerItem::~ContainerItem()
{
    destroyChildren();
}

std::vector<std::unique_ptr<Item>> &ContainerItem::listFor(const Item &child)
{
    return child.isContainer() ? m_containers : m_leaves;
}

Item &ContainerItem::append(std::unique_ptr<Item> child)
{
    child->m_parent = this;
    std::vector<std::unique_ptr<Item>> &list = listFor(*child);
    list.push_back(std::move(child));
    return *list.back();
}

void ContainerItem::destroyChild(Item &child)
{
    std::vector<std::unique_ptr<Item>> &list = listFor(child);
    const auto at =
        std::find_if(list.begin(), list.end(), [&](const auto &entry) { return entry.get() == &child; });
    if (at == list.end())
        return;
    // Taken out of the list before it dies, so that nothing finds it half-destroyed.
    std::unique_ptr<Item> doomed = std::move(*at);
    list.erase(at);
}

void ContainerItem::destroyChildren()
{
    std::vector<std::unique_ptr<Item>> containers = std::move(m_containers);
    std::vector<std::unique_ptr<Item>> leaves = std::move(m_leaves);
    m_containers.clear();
    m_leaves.clear();
    containers.clear();
    leaves.clear();
    m_loaded = false;
}

std::unique_ptr<Item> MakeItem(CTableLevel &level, ItemRegistry &registry, RowValues values)
{
    if (level.kind() == ItemKind::Leaf)
        return std::make_unique<Item>(level, registry, std::move(values));
    return std::make_unique<ContainerItem>(level, registry, std::move(values));
}
