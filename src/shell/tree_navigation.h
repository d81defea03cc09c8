#pragma once

#include <QAbstractItemModel>

#include <functional>

// Commands 40030 to 40039 on the project tree: which entry the first four
// go to, and when each may be chosen.
class TreeNavigation {
public:
    using IsExpanded = std::function<bool(const QModelIndex &)>;

    TreeNavigation(const QAbstractItemModel &model, IsExpanded isExpanded);

    // The entry 40030 (next visible), 40031 (previous visible), 40032
    // (parent) or 40033 (first child) selects from current; invalid when
    // there is none.
    QModelIndex Target(int command, const QModelIndex &current) const;
    // Every command is disabled without a selected entry; the four above
    // while their entry is missing, the six key commands while the tree
    // has fewer than two visible entries.
    bool Enabled(int command, const QModelIndex &current) const;
    int VisibleCount() const;

private:
    QModelIndex NextVisible(const QModelIndex &current) const;
    QModelIndex PreviousVisible(const QModelIndex &current) const;
    QModelIndex LastVisibleBelow(const QModelIndex &index) const;
    bool Open(const QModelIndex &index) const;
    int CountBelow(const QModelIndex &parent) const;

    const QAbstractItemModel &m_model;
    IsExpanded m_isExpanded;
};

// The object counter of the status bar: "%d Object(s) selected" while the
// list has a selection, else "%d Object(s)".
QString StatusCounterText(int entries, int selected);
