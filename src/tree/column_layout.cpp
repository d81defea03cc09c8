#include "tree/column_layout.h"

#include "db/table_level.h"

#include <algorithm>

ColumnLayout::ColumnLayout(const CLevelList &levels, const QString &parentTable)
{
    for (const auto &level : levels.levels())
        if (level->parentTable().compare(parentTable, Qt::CaseInsensitive) == 0 && level->kind() != LevelKind::Root)
            m_levels.push_back(level.get());
    std::stable_sort(m_levels.begin(), m_levels.end(), [](const CTableLevel *a, const CTableLevel *b) {
        return a->attributes().layoutIndex < b->attributes().layoutIndex;
    });
    for (CTableLevel *level : m_levels) {
        m_key += QString::number(level->attributes().layoutIndex);
        Merge(*level);
    }
}

void ColumnLayout::Merge(CTableLevel &level)
{
    std::vector<int> &mapped = m_levelColumns[&level];
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    for (size_t i = 0; columns && i < columns->size(); ++i) {
        const ColumnInfo &column = (*columns)[i];
        if (column.headerString < 0)
            continue;
        auto merged = std::find_if(m_columns.begin(), m_columns.end(),
                                   [&column](const Column &c) { return c.headerString == column.headerString; });
        if (merged == m_columns.end()) {
            m_columns.push_back({column.headerString, column.listWidth});
            merged = m_columns.end() - 1;
        } else {
            merged->width = std::max(merged->width, column.listWidth);
        }
        const size_t at = size_t(merged - m_columns.begin());
        if (mapped.size() <= at)
            mapped.resize(at + 1, -1);
        mapped[at] = int(i);
    }
}

int ColumnLayout::LevelColumn(const CTableLevel &level, int merged) const
{
    const auto found = m_levelColumns.constFind(&level);
    if (found == m_levelColumns.constEnd() || merged < 0 || size_t(merged) >= found->size())
        return -1;
    return (*found)[size_t(merged)];
}
