#pragma once

#include <QHash>
#include <QString>

#include <map>
#include <memory>
#include <vector>

class CLevelList;
class CTableLevel;

// The list columns of the children of one parent table: every child level
// in layout-index order, its header columns merged by header string. The
// layout also keeps what the user made of them: widths, places in the
// header, hidden columns and the sort, read from the settings when built
// and written back by Save (values equal to their defaults removed).
class ColumnLayout {
public:
    struct Column {
        int headerString;
        int width;           // the default width
        bool visible = true; // the default visibility
    };

    ColumnLayout(const CLevelList &levels, const QString &parentTable);

    const std::vector<Column> &columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    const std::vector<CTableLevel *> &childLevels() const { return m_levels; }
    // The layout indexes of the child levels one after another ("3625").
    const QString &key() const { return m_key; }
    // The level's own column under a merged column; -1 when it has none.
    int LevelColumn(const CTableLevel &level, int merged) const;
    // The merged column of a header string; -1 when the layout has none.
    int ColumnOf(int headerString) const;

    // The stored sort of the layout in section "Column Size & Sort": the
    // merged column and whether it sorts descending. The first column
    // ascending, the default, is not stored; an unknown column is ignored.
    struct Sort {
        int column = 0;
        bool descending = false;
    };
    Sort StoredSort() const;
    void StoreSort(Sort sort) const;

    // The user's widths and places in the header (the default: the merged
    // column's default width and its own place).
    int Width(int merged) const;
    int Position(int merged) const;
    void SetWidth(int merged, int width);
    void SetPosition(int merged, int position);
    // Hidden columns stay hidden across runs: the change is written at once
    // (a shown column removes its value). The first column is always shown.
    bool Visible(int merged) const;
    bool SetVisible(int merged, bool visible);

    // Writes widths, places and visibility; defaults are removed.
    void Save() const;

private:
    void Merge(CTableLevel &level);
    void Load();
    bool Valid(int merged) const { return merged >= 0 && merged < columnCount(); }
    QString ValueName(int merged) const;
    void SaveVisibility(int merged) const;

    std::vector<CTableLevel *> m_levels;
    std::vector<Column> m_columns;
    QHash<const CTableLevel *, std::vector<int>> m_levelColumns;
    QString m_key;
    std::vector<int> m_widths;
    std::vector<int> m_positions;
    std::vector<bool> m_visible;
};

// The layouts of one open project, one per parent table, built on first use
// and saved when the project's tree goes.
class ColumnLayouts {
public:
    ColumnLayouts() = default;
    ColumnLayouts(const ColumnLayouts &) = delete;
    ColumnLayouts &operator=(const ColumnLayouts &) = delete;
    ~ColumnLayouts() { Discard(); }

    // The layout of the children of table; null when it has no child levels.
    ColumnLayout *Find(const CLevelList &levels, const QString &parentTable);
    void SaveAll() const;
    // Saves every layout and forgets them.
    void Discard();

private:
    std::map<QString, std::unique_ptr<ColumnLayout>> m_layouts;
};
