#include "shell/tree_navigation.h"

#include "base/command_ids.h"
#include "base/shell_strings.h"
#include "base/string_table.h"

TreeNavigation::TreeNavigation(const QAbstractItemModel &model, IsExpanded isExpanded)
    : m_model(model), m_isExpanded(std::move(isExpanded))
{
}

bool TreeNavigation::Open(const QModelIndex &index) const
{
    return m_isExpanded && m_isExpanded(index) && m_model.rowCount(index) > 0;
}

QModelIndex TreeNavigation::NextVisible(const QModelIndex &current) const
{
    if (Open(current))
        return m_model.index(0, 0, current);
    for (QModelIndex at = current; at.isValid(); at = at.parent()) {
        const QModelIndex sibling = at.siblingAtRow(at.row() + 1);
        if (sibling.isValid())
            return sibling;
    }
    return {};
}

QModelIndex TreeNavigation::LastVisibleBelow(const QModelIndex &index) const
{
    QModelIndex at = index;
    while (Open(at))
        at = m_model.index(m_model.rowCount(at) - 1, 0, at);
    return at;
}

QModelIndex TreeNavigation::PreviousVisible(const QModelIndex &current) const
{
    if (current.row() > 0)
        return LastVisibleBelow(current.siblingAtRow(current.row() - 1));
    return current.parent();
}

QModelIndex TreeNavigation::Target(int command, const QModelIndex &current) const
{
    if (!current.isValid())
        return {};
    switch (command) {
    case CommandId::NextVisible:
        return NextVisible(current);
    case CommandId::PreviousVisible:
        return PreviousVisible(current);
    case CommandId::UpOneLevel:
        return current.parent();
    case CommandId::FirstChild:
        return m_model.index(0, 0, current);
    default:
        return {};
    }
}

bool TreeNavigation::Enabled(int command, const QModelIndex &current) const
{
    if (!current.isValid())
        return false;
    if (command >= CommandId::NextVisible && command <= CommandId::FirstChild)
        return Target(command, current).isValid();
    if (command >= CommandId::TreePageUp && command <= CommandId::TreeLeft)
        return VisibleCount() > 1;
    return false;
}

int TreeNavigation::CountBelow(const QModelIndex &parent) const
{
    int count = 0;
    for (int row = 0; row < m_model.rowCount(parent); ++row) {
        const QModelIndex child = m_model.index(row, 0, parent);
        count += 1 + (Open(child) ? CountBelow(child) : 0);
    }
    return count;
}

int TreeNavigation::VisibleCount() const
{
    return CountBelow(QModelIndex());
}

QString StatusCounterText(int entries, int selected)
{
    return selected > 0 ? StrF(ShellStrings::ObjectsSelected, {selected}) : StrF(ShellStrings::Objects, {entries});
}
