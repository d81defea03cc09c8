#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class C7100Document;
class ColumnLayout;

// One popup filled on demand: "Add New" (one entry per child level that may
// be created), "Sort by" (one per merged column) or "Show/hide columns" (one
// per merged column after the first). Every entry has its command id from
// the builder's own range, its text and one data value; an empty popup gets
// the one disabled entry "(nothing)".
class DynamicMenuBuilder {
public:
    enum class Kind { AddNew, SortBy, ShowHideColumns };
    struct Entry {
        int id = 0;
        QString text;
        int data = 0; // the level's name string, or the merged column
        bool checked = false;
        bool enabled = true;
    };
    // The entry of an empty popup.
    static constexpr int kNothingCommand = 40014;
    static constexpr int kNothingText = 40015;

    DynamicMenuBuilder(C7100Document &document, Kind kind);

    Kind kind() const { return m_kind; }
    // Fills the entries for a layout: the child levels of the target's table
    // (Add New) or the shown list's columns; no layout gives "(nothing)".
    void Fill(const ColumnLayout *layout);
    const std::vector<Entry> &entries() const { return m_entries; }

    // Whether the id belongs to this builder's range.
    bool Owns(int id) const;
    std::optional<Entry> EntryOf(int id) const;
    // What the status bar shows while the entry is highlighted.
    QString Prompt(int id) const;

    // Add New: what creates a child of the level's name string.
    using Creator = std::function<void(int nameString)>;
    // offers: which levels the creator can make (all when not given).
    void SetCreator(Creator creator, std::function<bool(int nameString)> offers = {})
    {
        m_creator = std::move(creator);
        m_offers = std::move(offers);
    }
    // Runs the entry: creates the child, sorts the list ascending by the
    // column, or toggles the column (the document tells the views).
    bool Execute(int id);

private:
    int FirstId() const;

    C7100Document &m_document;
    Kind m_kind;
    ColumnLayout *m_layout = nullptr;
    std::vector<Entry> m_entries;
    Creator m_creator;
    std::function<bool(int)> m_offers;
};
