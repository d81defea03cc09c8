#include "print/report_pages.h"

double ReportSection::height() const
{
    double total = 0;
    for (const ReportBlock &block : blocks)
        total += block.height;
    return total;
}

void ReportPages::Clear()
{
    m_pageStarts.clear();
    m_sectionStartPages.clear();
    m_pages.clear();
}

void ReportPages::NewPage(double offset)
{
    m_pageStarts.push_back(offset);
    m_pages.emplace_back();
}

void ReportPages::Paginate(const std::vector<ReportSection> &sections, double pageHeight)
{
    Clear();
    NewPage(0);
    double offset = 0; // in the report, without repeated headers
    double used = 0;   // on the current page, with them
    for (size_t s = 0; s < sections.size(); ++s) {
        const ReportSection &section = sections[s];
        if (s > 0) {
            if (used > 0 && used + section.height() > pageHeight) {
                NewPage(offset);
                used = 0;
            }
            m_sectionStartPages.push_back(PageCount());
        }
        for (const ReportBlock &block : section.blocks) {
            // A block taller than a page stands alone on its page.
            if (used > 0 && used + block.height > pageHeight) {
                NewPage(offset);
                used = 0;
                if (section.repeatedHeader && &block != &section.blocks.front()) {
                    m_pages.back().push_back({&*section.repeatedHeader, 0});
                    used = section.repeatedHeader->height;
                }
            }
            m_pages.back().push_back({&block, used});
            used += block.height;
            offset += block.height;
        }
    }
}
