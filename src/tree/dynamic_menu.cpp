#include "tree/dynamic_menu.h"

#include "db/data_error.h"
#include "db/table_level.h"
#include "base/string_table.h"
#include "tree/column_layout.h"
#include "tree/document.h"

namespace {
// Each builder's own range of command ids, clear of the fixed commands.
constexpr int kRangeSize = 100;
constexpr int kAddNewFirst = 41000;
constexpr int kSortByFirst = 41100;
constexpr int kShowHideFirst = 41200;
constexpr int kAddNewPrompt = 40102;
constexpr int kSortByPrompt = 40100;
constexpr int kShowHidePrompt = 40101;
} // namespace

DynamicMenuBuilder::DynamicMenuBuilder(C7100Document &document, Kind kind)
    : m_document(document), m_kind(kind)
{
}

int DynamicMenuBuilder::FirstId() const
{
    switch (m_kind) {
    case Kind::AddNew:
        return kAddNewFirst;
    case Kind::SortBy:
        return kSortByFirst;
    case Kind::ShowHideColumns:
        return kShowHideFirst;
    }
    return kAddNewFirst;
}

void DynamicMenuBuilder::Fill(const ColumnLayout *layout)
{
    m_layout = const_cast<ColumnLayout *>(layout);
    m_entries.clear();
    if (layout && m_kind == Kind::AddNew) {
        // Levels that cannot be created, and the catalogues the tree never
        // shows, are not offered.
        for (const CTableLevel *level : layout->childLevels())
            if (!level->attributes().readOnly && level->attributes().shown &&
                (!m_offers || m_offers(level->displayString())) && int(m_entries.size()) < kRangeSize)
                m_entries.push_back({FirstId() + int(m_entries.size()), C7100Document::LevelName(*level),
                                     level->displayString()});
    } else if (layout) {
        const ColumnLayout::Sort sort = layout->StoredSort();
        const int first = m_kind == Kind::ShowHideColumns ? 1 : 0;
        for (int column = first; column < layout->columnCount() && column < kRangeSize; ++column) {
            Entry entry{FirstId() + column, Str(layout->columns()[size_t(column)].headerString), column};
            entry.checked =
                m_kind == Kind::ShowHideColumns ? layout->Visible(column) : (column == sort.column);
            m_entries.push_back(entry);
        }
    }
    if (m_entries.empty())
        m_entries.push_back({kNothingCommand, Str(kNothingText), 0, false, false});
}

bool DynamicMenuBuilder::Owns(int id) const
{
    return id >= FirstId() && id < FirstId() + kRangeSize;
}

std::optional<DynamicMenuBuilder::Entry> DynamicMenuBuilder::EntryOf(int id) const
{
    for (const Entry &entry : m_entries)
        if (entry.id == id)
            return entry;
    return std::nullopt;
}

QString DynamicMenuBuilder::Prompt(int id) const
{
    const std::optional<Entry> entry = EntryOf(id);
    if (!entry)
        return QString();
    if (entry->id == kNothingCommand)
        return Str(kNothingCommand).section(QLatin1Char('\n'), 0, 0);
    const int prompt = m_kind == Kind::AddNew   ? kAddNewPrompt
                       : m_kind == Kind::SortBy ? kSortByPrompt
                                                : kShowHidePrompt;
    QString text = entry->text;
    text.remove(QLatin1Char('&'));
    return FillArguments(Str(prompt).section(QLatin1Char('\n'), 0, 0), {text});
}

bool DynamicMenuBuilder::Execute(int id)
{
    const std::optional<Entry> entry = EntryOf(id);
    if (!entry || !entry->enabled)
        return false;
    switch (m_kind) {
    case Kind::AddNew:
        if (m_creator)
            m_creator(entry->data);
        return true;
    case Kind::SortBy:
        if (!m_layout)
            return false;
        m_layout->StoreSort({entry->data, false});
        emit m_document.updateAllViews(nullptr, C7100Document::HintSortColumn, nullptr);
        return true;
    case Kind::ShowHideColumns:
        if (!m_layout || !m_layout->SetVisible(entry->data, !m_layout->Visible(entry->data)))
            return false;
        emit m_document.updateAllViews(nullptr, C7100Document::HintColumnShown, nullptr);
        return true;
    }
    return false;
}
