#pragma once

#include <functional>
#include <optional>
#include <vector>

class CPrintCanvas;

// A piece of a report that is never cut by a page break: its height in
// tenths of a millimetre and how it is drawn with its top at y (canvas
// coordinates: y grows upwards).
struct ReportBlock {
    double height = 0;
    std::function<void(CPrintCanvas &canvas, double top)> draw;
};

// A part of a report with its own start: it begins on a new page when it
// does not fit on the rest of the current one. A table repeats its column
// titles at the top of every page it continues on.
struct ReportSection {
    std::vector<ReportBlock> blocks;
    std::optional<ReportBlock> repeatedHeader;
    double height() const;
};

// The report cut into pages: where each page begins in the report (offsets
// downwards from its start, in tenths of a millimetre), on which page each
// section after the first begins, and which blocks each page shows where.
class ReportPages {
public:
    struct Placement {
        const ReportBlock *block = nullptr;
        double offset = 0; // from the top of the page's content
    };

    // Lays the sections out on pages of the given content height.
    void Paginate(const std::vector<ReportSection> &sections, double pageHeight);
    void Clear();

    int PageCount() const { return int(m_pages.size()); }
    // For page n (1-based) the offset at which it begins; page 1 begins at 0.
    double PageStart(int page) const { return m_pageStarts.at(size_t(page - 1)); }
    const std::vector<double> &PageStarts() const { return m_pageStarts; }
    // For each section after the first, the page it begins on.
    const std::vector<int> &SectionStartPages() const { return m_sectionStartPages; }
    const std::vector<Placement> &Content(int page) const { return m_pages.at(size_t(page - 1)); }

private:
    void NewPage(double offset);

    std::vector<double> m_pageStarts;
    std::vector<int> m_sectionStartPages;
    std::vector<std::vector<Placement>> m_pages;
};
