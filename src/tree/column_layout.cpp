#include "tree/column_layout.h"

#include "db/table_level.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <QSettings>

#include <algorithm>
#include <cstdlib>

namespace {

const char kSizeAndSortGroup[] = "Column Size & Sort";
const char kVisibilityGroup[] = "Column Visibility";

QSettings Profile()
{
    return QSettings(QString::fromLatin1(SettingsSection::kOrganisation),
                     QString::fromLatin1(SettingsSection::kApplication));
}

// Width in the low 16 bits, place in the header in the high 16 bits.
int PackSize(int width, int position)
{
    return (position << 16) | (width & 0xFFFF);
}

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
    Load();
}

QString ColumnLayout::ValueName(int merged) const
{
    return m_key + QLatin1Char('.') + Str(m_columns[size_t(merged)].headerString);
}

void ColumnLayout::Load()
{
    const QSettings settings = Profile();
    const size_t count = m_columns.size();
    m_widths.assign(count, 0);
    m_positions.assign(count, 0);
    m_visible.assign(count, true);
    std::vector<bool> placed(count, false);
    for (size_t i = 0; i < count; ++i) {
        const QString name = ValueName(int(i));
        const QVariant size = settings.value(QLatin1String(kSizeAndSortGroup) + QLatin1Char('/') + name);
        const int packed = size.isValid() ? size.toInt() : PackSize(m_columns[i].width, int(i));
        const int width = packed & 0xFFFF;
        const int position = packed >> 16;
        m_widths[i] = (width > 0 && width < 0x8000) ? width : m_columns[i].width;
        // A place outside the header or taken twice falls back to the
        // column's own place.
        m_positions[i] = (position >= 0 && size_t(position) < count) ? position : int(i);
        const QVariant shown = settings.value(QLatin1String(kVisibilityGroup) + QLatin1Char('/') + name);
        m_visible[i] = i == 0 || (shown.isValid() ? shown.toInt() != 0 : m_columns[i].visible);
    }
    for (size_t i = 0; i < count; ++i) {
        if (placed[size_t(m_positions[i])]) {
            for (size_t j = 0; j < count; ++j)
                m_positions[j] = int(j);
            break;
        }
        placed[size_t(m_positions[i])] = true;
    }
}

int ColumnLayout::ColumnOf(int headerString) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].headerString == headerString)
            return int(i);
    return -1;
}

int ColumnLayout::Width(int merged) const
{
    return Valid(merged) ? m_widths[size_t(merged)] : 0;
}

int ColumnLayout::Position(int merged) const
{
    return Valid(merged) ? m_positions[size_t(merged)] : -1;
}

void ColumnLayout::SetWidth(int merged, int width)
{
    if (Valid(merged) && width > 0 && width < 0x8000)
        m_widths[size_t(merged)] = width;
}

void ColumnLayout::SetPosition(int merged, int position)
{
    if (Valid(merged) && position >= 0 && position < columnCount())
        m_positions[size_t(merged)] = position;
}

bool ColumnLayout::Visible(int merged) const
{
    return Valid(merged) && m_visible[size_t(merged)];
}

bool ColumnLayout::SetVisible(int merged, bool visible)
{
    if (!Valid(merged) || merged == 0 || m_visible[size_t(merged)] == visible)
        return false;
    m_visible[size_t(merged)] = visible;
    SaveVisibility(merged);
    return true;
}

void ColumnLayout::SaveVisibility(int merged) const
{
    QSettings settings = Profile();
    const QString name = QLatin1String(kVisibilityGroup) + QLatin1Char('/') + ValueName(merged);
    if (m_visible[size_t(merged)] == m_columns[size_t(merged)].visible)
        settings.remove(name);
    else
        settings.setValue(name, m_visible[size_t(merged)] ? 1 : 0);
}

void ColumnLayout::Save() const
{
    QSettings settings = Profile();
    for (int i = 0; i < columnCount(); ++i) {
        const QString name = QLatin1String(kSizeAndSortGroup) + QLatin1Char('/') + ValueName(i);
        const int packed = PackSize(m_widths[size_t(i)], m_positions[size_t(i)]);
        if (packed == PackSize(m_columns[size_t(i)].width, i))
            settings.remove(name);
        else
            settings.setValue(name, packed);
    }
    settings.sync();
    for (int i = 1; i < columnCount(); ++i)
        SaveVisibility(i);
}

ColumnLayout *ColumnLayouts::Find(const CLevelList &levels, const QString &parentTable)
{
    auto found = m_layouts.find(parentTable);
    if (found == m_layouts.end()) {
        auto layout = std::make_unique<ColumnLayout>(levels, parentTable);
        found = m_layouts.emplace(parentTable, layout->childLevels().empty() ? nullptr : std::move(layout)).first;
    }
    return found->second.get();
}

void ColumnLayouts::SaveAll() const
{
    for (const auto &[table, layout] : m_layouts)
        if (layout)
            layout->Save();
}

void ColumnLayouts::Discard()
{
    SaveAll();
    m_layouts.clear();
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
    const QSettings settings = Profile();
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
    QSettings settings = Profile();
    if (sort.column == 0 && !sort.descending) {
        settings.remove(SortByName(m_key));
        return;
    }
    const int header = m_columns[size_t(sort.column)].headerString;
    settings.setValue(SortByName(m_key), sort.descending ? -header : header);
}
