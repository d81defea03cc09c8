#pragma once

#include <QHash>
#include <QString>

#include <vector>

class CLevelList;
class CTableLevel;

// The list columns of the children of one parent table: every child level
// in layout-index order, its header columns merged by header string.
class ColumnLayout {
public:
    struct Column {
        int headerString;
        int width;
    };

    ColumnLayout(const CLevelList &levels, const QString &parentTable);

    const std::vector<Column> &columns() const { return m_columns; }
    const std::vector<CTableLevel *> &childLevels() const { return m_levels; }
    // The layout indexes of the child levels one after another ("3625").
    const QString &key() const { return m_key; }
    // The level's own column under a merged column; -1 when it has none.
    int LevelColumn(const CTableLevel &level, int merged) const;

    // The stored sort of the layout in section "Column Size & Sort": the
    // merged column and whether it sorts descending. The first column
    // ascending, the default, is not stored; an unknown column is ignored.
    struct Sort {
        int column = 0;
        bool descending = false;
    };
    Sort StoredSort() const;
    void StoreSort(Sort sort) const;

private:
    void Merge(CTableLevel &level);

    std::vector<CTableLevel *> m_levels;
    std::vector<Column> m_columns;
    QHash<const CTableLevel *, std::vector<int>> m_levelColumns;
    QString m_key;
};
