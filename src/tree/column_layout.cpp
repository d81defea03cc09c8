#include "tree/column_layout.h"

#include "db/table_level.h"
#include "shell/settings.h"

#include <QSettings>

#include <algorithm>
#include <cstdlib>

namespace {

const char kSizeAndSortGroup[] = "Column Size & Sort";

QString SortByName(const QString &key)
{
    return QLatin1String(kSizeAndSortGroup) + QLatin1Char('/') + key + QLatin1String(".SortBy");
}


} // namespace

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

ColumnLayout::Sort ColumnLayout::StoredSort() const
{
    const QSettings settings(QString::fromLatin1(SettingsSection::kOrganisation),
                             QString::fromLatin1(SettingsSection::kApplication));
    const int stored = settings.value(SortByName(m_key)).toInt();
    for (size_t i = 0; stored != 0 && i < m_columns.size(); ++i)
        if (m_columns[i].headerString == std::abs(stored))
            return {int(i), stored < 0};
    return {};
}

void ColumnLayout::StoreSort(Sort sort) const
{
    if (sort.column < 0 || size_t(sort.column) >= m_columns.size())
        return;
    QSettings settings(QString::fromLatin1(SettingsSection::kOrganisation),
                       QString::fromLatin1(SettingsSection::kApplication));
    if (sort.column == 0 && !sort.descending) {
        settings.remove(SortByName(m_key));
        return;
    }
    const int header = m_columns[size_t(sort.column)].headerString;
    settings.setValue(SortByName(m_key), sort.descending ? -header : header);
}
