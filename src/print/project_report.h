#pragma once

#include "db/output_file.h"
#include "print/report_data.h"
#include "print/report_pages.h"

#include <QDateTime>
#include <QPageLayout>
#include <QSizeF>
#include <QString>

#include <functional>
#include <variant>

class CPrintCanvas;
class QPagedPaintDevice;
class QPainter;

// Which report the tree view prints; kept until the next report starts.
enum class PrintMode : int { ProjectOutput = 0, ModuleInformation = 1, ModuleDataCard = 2, CommissioningReport = 3 };

// The pages a print job prints and in which order.
struct ReportPrintRange {
    int fromPage = 1;
    int toPage = 0; // 0: to the last
    bool lastPageFirst = false;
    // Asked before each page; false stops the job.
    std::function<bool(int page)> beforePage;
};

// One report, laid out in tenths of a millimetre and cut into pages: the
// project output, the module information of a module, or its module data
// card. The same drawing serves the preview, the printer and PDF files.
class CProjectReport {
public:
    explicit CProjectReport(ProjectOutputData data);
    // The module information, or with card set the module data card.
    CProjectReport(ModuleInformationData data, bool card);
    explicit CProjectReport(CommissioningReportData data);

    PrintMode Mode() const { return m_mode; }
    // The name of the print job.
    QString DocumentName() const;

    // Before a print or preview: forgets the page starts and the count (the
    // pages are counted anew for the next paper) and takes the time that
    // every title block shows.
    void Prepare();
    bool PagesCounted() const { return m_counted; }
    // The counting pass: lays the whole report out for a printable area of
    // that size (millimetres), when not counted yet. Returns the page count.
    int CountPages(QSizeF printableMm);
    int PageCount() const { return m_pages.PageCount(); }
    const std::vector<double> &PageStarts() const { return m_pages.PageStarts(); }
    const std::vector<int> &SectionStartPages() const { return m_pages.SectionStartPages(); }

    // Draws page n (1-based) with the painter's origin at the top-left
    // corner of the printable area.
    void DrawPage(QPainter &painter, double unitsPerTenthMm, QSizeF printableMm, int page);
    // Prints pages from..to (0: to the last) on a printer or a PDF writer,
    // the last page first when asked; beforePage may stop the job. False
    // when the painter cannot start on the device.
    bool Print(QPagedPaintDevice &device, const ReportPrintRange &range = ReportPrintRange());

    // The bitmaps of the header, beside the program.
    static QString LeftLogoFile();
    static QString RightLogoFile();

private:
    struct Geometry {
        double width = 0;  // of the drawing area
        double height = 0; // of the drawing area
    };

    Geometry AreaOf(QSizeF printableMm) const;
    void Layout(const Geometry &area);
    void LayoutProjectOutput(CPrintCanvas &measure, const Geometry &area);
    void LayoutModuleInformation(CPrintCanvas &measure, const Geometry &area);
    void LayoutCommissioning(CPrintCanvas &measure, const Geometry &area);
    ReportBlock Header(CPrintCanvas &measure, const Geometry &area) const;
    void DrawTitleBlock(CPrintCanvas &canvas, const Geometry &area, int page) const;
    void DrawDataCard(CPrintCanvas &canvas) const;

    const ProjectOutputData &Project() const { return std::get<ProjectOutputData>(m_data); }
    const ModuleInformationData &Module() const { return std::get<ModuleInformationData>(m_data); }
    const CommissioningReportData &Commissioning() const { return std::get<CommissioningReportData>(m_data); }
    const ProjectFields &Fields() const;

    PrintMode m_mode;
    std::variant<ProjectOutputData, ModuleInformationData, CommissioningReportData> m_data;
    std::vector<ReportSection> m_sections;
    ReportPages m_pages;
    bool m_counted = false;
    QSizeF m_countedFor;
    QDateTime m_printedAt;
};

// The paper orientation the reports use: "Printer"/"Orientation", 1 portrait
// or 2 landscape (the default).
class PrinterSettings {
public:
    static constexpr int kPortrait = 1;
    static constexpr int kLandscape = 2;
    static QPageLayout::Orientation Orientation();
    static void SetOrientation(QPageLayout::Orientation orientation);
};

// Writes a report to a PDF file on A4 paper of the orientation; empty on
// success, else why the file was refused or not written (nothing is left
// behind then).
QString WriteReportPdf(CProjectReport &report, const OutputFile::Target &target,
                       QPageLayout::Orientation orientation);
