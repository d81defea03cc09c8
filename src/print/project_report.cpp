#include "print/project_report.h"

#include "db/output_file.h"

#include "print/print_canvas.h"
#include "print/print_strings.h"
#include "base/app_paths.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

using namespace PrintStrings;

namespace {
// Tenths of a millimetre.
constexpr double kSideMargin = 50;   // left, top and right of the printable area
constexpr double kBottomStrip = 200; // below the drawing area: the title block
constexpr double kThickPen = 4;
constexpr double kThinPen = 1;
constexpr double kCellInset = 10;
constexpr double kTreeIndent = 100;
constexpr double kFolderNameWidth = 450;
constexpr double kSectionGap = 60;
constexpr double kRowPadding = 12;
constexpr double kCardWidth = 850;
constexpr double kCardHeight = 800;
constexpr double kCardInset = 10;
constexpr double kCardBottom = 160;
constexpr double kCardPen = 2;
constexpr double kCardGap = 50; // between a card and the one that continues it
constexpr int kCardsPerColumn = 2;
// Points: the card's section titles, and the smallest type its values take.
constexpr double kCardTitlePoints = 8;
constexpr double kSmallestCardPoints = 6;
const QString kTitleBlockFace = QStringLiteral("Times New Roman");
const QString kDateFormat = QStringLiteral("dd. MM. yyyy HH:mm:ss");

struct Column {
    double left = 0;
    double right = 0;
    double width() const { return right - left; }
};

// Column titles in bold, centred in their cells, a thick line under them.
ReportBlock TableHeader(CPrintCanvas &measure, const std::vector<Column> &columns, const QStringList &titles)
{
    measure.SetFont(10, CPrintCanvas::Bold);
    const double height = measure.LineHeight() + 2 * kRowPadding;
    return {height, [columns, titles, height](CPrintCanvas &canvas, double top) {
                canvas.SetFont(10, CPrintCanvas::Bold);
                for (size_t i = 0; i < columns.size(); ++i)
                    canvas.DrawText(
                        {columns[i].left, top}, {columns[i].right, top - height},
                        canvas.Elided(titles.value(qsizetype(i)), columns[i].width() - 2 * kCellInset),
                        Qt::AlignCenter);
                canvas.DrawLine({columns.front().left, top - height}, {columns.back().right, top - height},
                                kThickPen);
            }};
}

// One row of a table: each cell's text broken into lines, a thin line under
// the row. A text beside an empty cell may run over it (spanning rows).
ReportBlock TableRow(CPrintCanvas &measure, const std::vector<Column> &columns, const QStringList &texts,
                     double points = 10, int firstStyle = 0)
{
    std::vector<QStringList> lines(columns.size());
    size_t most = 1;
    for (size_t i = 0; i < columns.size(); ++i) {
        measure.SetFont(points, i == 0 ? firstStyle : 0);
        lines[i] = measure.WrappedLines(texts.value(qsizetype(i)), columns[i].width() - 2 * kCellInset);
        most = std::max<size_t>(most, size_t(lines[i].size()));
    }
    const double lineHeight = measure.LineHeight();
    const double padding = points >= 10 ? kRowPadding : kRowPadding / 6;
    const double height = double(most) * lineHeight + 2 * padding;
    return {
        height,
        [columns, lines, height, lineHeight, padding, points, firstStyle](CPrintCanvas &canvas, double top) {
            for (size_t i = 0; i < columns.size(); ++i) {
                canvas.SetFont(points, i == 0 ? firstStyle : 0);
                for (qsizetype l = 0; l < lines[i].size(); ++l)
                    canvas.DrawText({columns[i].left + kCellInset, top - padding - double(l) * lineHeight},
                                    lines[i][l]);
            }
            canvas.DrawLine({columns.front().left, top - height}, {columns.back().right, top - height},
                            kThinPen);
        }};
}

// A section title, bold, over the given span with space above it.
ReportBlock SectionTitle(CPrintCanvas &measure, const QString &title, Column span, Qt::Alignment alignment,
                         double points = 12, double gap = kSectionGap)
{
    measure.SetFont(points, CPrintCanvas::Bold);
    const double textHeight = measure.LineHeight();
    const double height = gap + textHeight + kRowPadding / 2;
    return {height, [title, span, alignment, points, gap, textHeight](CPrintCanvas &canvas, double top) {
                canvas.SetFont(points, CPrintCanvas::Bold);
                canvas.DrawText({span.left + kCellInset, top - gap},
                                {span.right - kCellInset, top - gap - textHeight}, title,
                                alignment | Qt::AlignTop);
            }};
}

// A two-column table section: title, column titles (repeated on every page
// it continues on) and one row per entry.
ReportSection TableSection(CPrintCanvas &measure, const QString &title, const std::vector<Column> &columns,
                           const QStringList &titles, const std::vector<NamedRow> &rows)
{
    ReportSection section;
    section.blocks.push_back(
        SectionTitle(measure, title, {columns.front().left, columns.back().right}, Qt::AlignLeft));
    section.repeatedHeader = TableHeader(measure, columns, titles);
    section.blocks.push_back(*section.repeatedHeader);
    for (const NamedRow &row : rows)
        section.blocks.push_back(TableRow(measure, columns, {row.name, row.description}));
    return section;
}

// The three columns of the module sections: the label, channel 1, channel 2.
std::vector<Column> ModuleColumns(double width, double labelShare)
{
    const double label = width * labelShare;
    const double channel = (width - label) / 2;
    return {{0, label}, {label, label + channel}, {label + channel, width}};
}

QStringList RowTexts(const InfoRow &row)
{
    // A value over both channels is written into the first channel's cell
    // and may run over the second.
    return {row.label, row.values[0], row.spansChannels ? QString() : row.values[1]};
}

std::vector<Column> SpanningColumns(const std::vector<Column> &columns)
{
    return {columns[0], {columns[1].left, columns[2].right}};
}

ReportBlock InfoRowBlock(CPrintCanvas &measure, const std::vector<Column> &columns, const InfoRow &row,
                         double points)
{
    if (row.spansChannels)
        return TableRow(
            measure,
            row.label.isEmpty() ? std::vector<Column>{{columns[0].left, columns[2].right}}
                                : SpanningColumns(columns),
            row.label.isEmpty() ? QStringList{row.values[0]} : QStringList{row.label, row.values[0]}, points);
    return TableRow(measure, columns, RowTexts(row), points);
}
} // namespace

CProjectReport::CProjectReport(ProjectOutputData data)
    : m_mode(PrintMode::ProjectOutput), m_data(std::move(data))
{
}

CProjectReport::CProjectReport(ModuleInformationData data, bool card)
    : m_mode(card ? PrintMode::ModuleDataCard : PrintMode::ModuleInformation), m_data(std::move(data))
{
}

CProjectReport::CProjectReport(CommissioningReportData data)
    : m_mode(PrintMode::CommissioningReport), m_data(std::move(data))
{
}

QString CProjectReport::DocumentName() const
{
    switch (m_mode) {
    case PrintMode::CommissioningReport:
        return Str(CommissioningTitle);
    case PrintMode::ProjectOutput:
        return Str(ProjectOutputTitle);
    case PrintMode::ModuleInformation:
        return Str(ModuleInformationTitle) + QStringLiteral(" - ") + Module().moduleName;
    case PrintMode::ModuleDataCard:
        return StrF(DataCardTitle, {Module().moduleName});
    }
    return QString();
}

const ProjectFields &CProjectReport::Fields() const
{
    if (m_mode == PrintMode::CommissioningReport)
        return Commissioning().fields;
    return m_mode == PrintMode::ProjectOutput ? Project().fields : Module().fields;
}

QString CProjectReport::LeftLogoFile()
{
    return AppPaths::sharedFile(QStringLiteral("brakwell_logo.bmp"));
}

QString CProjectReport::RightLogoFile()
{
    return AppPaths::sharedFile(QStringLiteral("zelnor_logo.bmp"));
}

void CProjectReport::Prepare()
{
    m_pages.Clear();
    m_sections.clear();
    m_counted = false;
    m_printedAt = QDateTime::currentDateTime();
}

CProjectReport::Geometry CProjectReport::AreaOf(QSizeF printableMm) const
{
    const double width = printableMm.width() * 10;
    const double height = printableMm.height() * 10;
    if (m_mode == PrintMode::ModuleDataCard)
        return {kCardWidth - 2 * kCardInset, kCardHeight - kCardInset - kCardBottom};
    return {width - 2 * kSideMargin, height - kSideMargin - kBottomStrip};
}

int CProjectReport::CountPages(QSizeF printableMm)
{
    if (m_counted && m_countedFor == printableMm)
        return PageCount();
    if (!m_printedAt.isValid())
        m_printedAt = QDateTime::currentDateTime();
    Layout(AreaOf(printableMm));
    m_counted = true;
    m_countedFor = printableMm;
    return PageCount();
}

void CProjectReport::Layout(const Geometry &area)
{
    m_sections.clear();
    CPrintCanvas measure(nullptr, 1);
    if (m_mode == PrintMode::ProjectOutput)
        LayoutProjectOutput(measure, area);
    else if (m_mode == PrintMode::ModuleInformation)
        LayoutModuleInformation(measure, area);
    else if (m_mode == PrintMode::CommissioningReport)
        LayoutCommissioning(measure, area);
    m_pages.Paginate(m_sections, area.height);
}

ReportBlock CProjectReport::Header(CPrintCanvas &measure, const Geometry &area) const
{
    const double width = area.width;
    const QString title = Str(m_mode == PrintMode::ProjectOutput         ? ProjectOutputTitle
                              : m_mode == PrintMode::CommissioningReport ? CommissioningTitle
                                                                         : ModuleInformationTitle);
    QList<QPair<QString, QString>> lines = {{Str(ClientFirm), Fields().company},
                                            {Str(ProjectLabel), Fields().project},
                                            {Str(ProjectPosition), Fields().devicePlacement}};
    if (m_mode == PrintMode::ModuleInformation)
        lines += {{Str(PlantLabel), Module().plant},
                  {Str(CabinetLabel), Module().cabinet},
                  {Str(CarrierLabel), Module().carrier}};
    measure.SetFont(10);
    double labelWidth = 0;
    for (const auto &line : lines)
        labelWidth = std::max(labelWidth, measure.MeasureText(line.first).width());
    // A long name (a plant, a placement) goes on in the next line: a value
    // is never cut short.
    QList<QStringList> valueLines;
    qsizetype rows = 0;
    for (const auto &line : lines) {
        QStringList wrapped = measure.WrappedLines(line.second, width - 250 - labelWidth);
        if (wrapped.isEmpty())
            wrapped << QString();
        rows += wrapped.size();
        valueLines << wrapped;
    }
    const double lineHeight = measure.LineHeight() + 5;
    const double linesTop = -50 - 130;
    const double ruleAt = linesTop - double(rows) * lineHeight - 20;
    const double height = -ruleAt + 20;
    return {
        height,
        [width, title, lines, valueLines, labelWidth, lineHeight, linesTop, ruleAt](CPrintCanvas &canvas,
                                                                                   double top) {
            canvas.DrawBitmap(LeftLogoFile(), {20, top - 20}, {120, top - 100});
            canvas.DrawBitmap(RightLogoFile(), {width - 140, top - 20}, {width - 20, top - 100});
            canvas.DrawLine({0, top - 120}, {width, top - 120}, kThickPen);
            canvas.SetFont(14, CPrintCanvas::Bold);
            canvas.DrawText({150, top - 50}, Str(ProgramNumber));
            canvas.DrawText({0, top - 50}, {width, top - 50 - canvas.LineHeight()}, title,
                            Qt::AlignHCenter | Qt::AlignTop);
            canvas.SetFont(10);
            double y = top + linesTop;
            for (qsizetype i = 0; i < lines.size(); ++i) {
                canvas.DrawText({200, y}, lines[i].first);
                for (const QString &part : valueLines[i]) {
                    canvas.DrawText({200 + labelWidth + 30, y}, part);
                    y -= lineHeight;
                }
            }
            canvas.DrawLine({0, top + ruleAt}, {width, top + ruleAt}, kThickPen);
        }};
}

void CProjectReport::LayoutProjectOutput(CPrintCanvas &measure, const Geometry &area)
{
    const ProjectOutputData &data = Project();
    const double width = area.width;
    ReportSection tree;
    tree.blocks.push_back(Header(measure, area));
    measure.SetFont(10);
    const double lineHeight = measure.LineHeight() + 8;
    for (const TreeLine &line : data.tree) {
        const double x = kTreeIndent * (line.depth + 1);
        const int style = line.folder ? CPrintCanvas::Italic : 0;
        measure.SetFont(10, style);
        const QString text = measure.Elided(line.text, width - x - kCellInset);
        tree.blocks.push_back({lineHeight, [x, style, text](CPrintCanvas &canvas, double top) {
                                   canvas.SetFont(10, style);
                                   canvas.DrawText({x, top - 4}, text);
                               }});
    }
    m_sections.push_back(std::move(tree));
    const std::vector<Column> folders = {{0, kFolderNameWidth}, {kFolderNameWidth, width}};
    const std::vector<Column> halves = {{0, width / 2}, {width / 2, width}};
    m_sections.push_back(TableSection(measure, Str(FolderDetails), folders,
                                      {Str(FolderName), Str(FolderDescription)}, data.folders));
    m_sections.push_back(TableSection(measure, Str(ModuleDetails), halves,
                                      {Str(ModuleName), Str(ModuleDescription)}, data.modules));
    m_sections.push_back(TableSection(measure, Str(SignalDetails), halves,
                                      {Str(SignalName), Str(SignalDescription)}, data.signalRows));
}

void CProjectReport::LayoutModuleInformation(CPrintCanvas &measure, const Geometry &area)
{
    const ModuleInformationData &data = Module();
    const std::vector<Column> columns = ModuleColumns(area.width, 0.2);
    const Column channels{columns[1].left, columns[2].right};
    for (const InfoSection &info : data.sections) {
        ReportSection section;
        if (m_sections.empty())
            section.blocks.push_back(Header(measure, area));
        section.blocks.push_back(SectionTitle(measure, info.title, channels, Qt::AlignHCenter));
        if (info.kind != InfoSectionKind::Memo) {
            section.repeatedHeader = TableHeader(measure, columns, {QString(), Str(Channel1), Str(Channel2)});
            section.blocks.push_back(*section.repeatedHeader);
        } else {
            section.blocks.push_back(
                {kThickPen, [columns](CPrintCanvas &canvas, double top) {
                     canvas.DrawLine({columns[0].left, top}, {columns[2].right, top}, kThickPen);
                 }});
        }
        for (const InfoRow &row : info.rows)
            section.blocks.push_back(InfoRowBlock(measure, columns, row, 10));
        m_sections.push_back(std::move(section));
    }
}

void CProjectReport::LayoutCommissioning(CPrintCanvas &measure, const Geometry &area)
{
    const CommissioningReportData &data = Commissioning();
    // Path, serial number, time, result, checksums.
    const double shares[] = {0.34, 0.12, 0.15, 0.21, 0.18};
    std::vector<Column> columns;
    double left = 0;
    for (const double share : shares) {
        columns.push_back({left, left + area.width * share});
        left += area.width * share;
    }
    ReportSection table;
    table.blocks.push_back(Header(measure, area));
    table.repeatedHeader = TableHeader(measure, columns,
                                       {Str(CommissioningModule), Str(CommissioningSerial), Str(CommissioningTime),
                                        Str(CommissioningResult), Str(CommissioningChecksums)});
    table.blocks.push_back(*table.repeatedHeader);
    for (const QStringList &row : data.rows)
        table.blocks.push_back(TableRow(measure, columns, row));
    m_sections.push_back(std::move(table));
    ReportSection totals;
    totals.blocks.push_back(TableRow(measure, {{0, area.width}}, {data.totals}, 10, CPrintCanvas::Bold));
    for (const QString &port : data.portTotals)
        totals.blocks.push_back(TableRow(measure, {{0, area.width}}, {port}, 10));
    if (!data.note.isEmpty())
        totals.blocks.push_back(TableRow(measure, {{0, area.width}}, {data.note}, 8));
    m_sections.push_back(std::move(totals));
}

void CProjectReport::DrawTitleBlock(CPrintCanvas &canvas, const Geometry &area, int page) const
{
    const ProjectFields &f = Fields();
    const auto joined = [](int label, const QString &value) { return Str(label) + QLatin1Char(' ') + value; };
    const QString texts[3][4] = {
        {StrF(ProjectFile, {f.projectFile}), joined(JobNumber, f.orderNr), joined(Producer, f.createdBy),
         Str(TermFrom)},
        {QString(), joined(PrintStrings::DocumentName, f.documentName), joined(Testing, f.testingBy),
         m_printedAt.toString(kDateFormat)},
        {QString(), joined(DocumentNumber, f.documentNr), joined(StandpointIndex, f.revisionNr),
         StrF(PageOf, {page, PageCount()})},
    };
    canvas.SetFont(8, 0, kTitleBlockFace);
    const double w = area.width;
    const double quarter = w / 4;
    const double rowHeight = canvas.MeasureText(texts[2][3]).height() + 5;
    const double top = -area.height;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) {
            const double x = column * quarter + 10;
            // A long path keeps its start and its file name.
            const Qt::TextElideMode mode = column == 0 ? Qt::ElideMiddle : Qt::ElideRight;
            canvas.DrawText({x, top - row * rowHeight + 2},
                            canvas.Elided(texts[row][column], quarter - 20, mode));
        }
    const double bottom = top - 3 * rowHeight;
    for (int row = 1; row < 3; ++row)
        canvas.DrawLine({0, top - row * rowHeight}, {w, top - row * rowHeight}, kThinPen);
    for (int column = 1; column < 4; ++column)
        canvas.DrawLine({column * quarter, top}, {column * quarter, bottom}, kThinPen);
    canvas.DrawLine({0, bottom}, {w, bottom}, kThickPen);
    canvas.DrawLine({0, top}, {0, bottom}, kThickPen);
    canvas.DrawLine({w, top}, {w, bottom}, kThickPen);
}

namespace {
// The compact form of a module section on the card: its title over the
// channel columns, and only the rows that apply to a channel.
struct CardGroup {
    QString title;
    QStringList titleLines;
    std::vector<const InfoRow *> rows;
};

// The label and channel columns of the card's rows at the canvas's font:
// every column at least as wide as the widest word it holds, so that no word
// is split between its letters; a label column no narrower than it was
// otherwise, the channels taking the rest.
struct CardWidths {
    double label = 0;
    double channel = 0;
    bool wordsFit = true;
};

CardWidths CardColumnWidths(const CPrintCanvas &canvas, const std::vector<CardGroup> &groups, double available,
                            double preferredLabel)
{
    double labelNeed = 0;
    double channelNeed = 0;
    for (const CardGroup &group : groups)
        for (const InfoRow *row : group.rows) {
            labelNeed = std::max(labelNeed, canvas.WidestUnbreakable(row->label));
            // A value over both channels has both columns to go on in.
            const double spanShare = row->spansChannels ? 0.5 : 1.0;
            channelNeed = std::max(channelNeed, spanShare * canvas.WidestUnbreakable(row->values[0]));
            if (!row->spansChannels)
                channelNeed = std::max(channelNeed, canvas.WidestUnbreakable(row->values[1]));
        }
    labelNeed += 2 * kCellInset;
    channelNeed += 2 * kCellInset;
    CardWidths widths;
    widths.label = std::max(labelNeed, preferredLabel);
    widths.channel = (available - widths.label) / 2;
    if (widths.channel < channelNeed) {
        widths.channel = channelNeed;
        widths.label = available - 2 * channelNeed;
    }
    if (widths.label < labelNeed) {
        // Even so the words are too wide for the card: each column gets its
        // share of what they need, and a smaller type is tried.
        widths.wordsFit = false;
        widths.label = available * labelNeed / (labelNeed + 2 * channelNeed);
        widths.channel = (available - widths.label) / 2;
    }
    return widths;
}

bool AppliesSomewhere(const InfoRow &row)
{
    return row.spansChannels || row.values[0] != ReportDataReader::NotApplicable() ||
           row.values[1] != ReportDataReader::NotApplicable();
}
} // namespace

void CProjectReport::DrawDataCard(CPrintCanvas &canvas) const
{
    const ModuleInformationData &data = Module();
    const Geometry area = AreaOf({});
    canvas.SetOrigin({kCardInset, -kCardInset});
    canvas.SetFont(kCardTitlePoints, CPrintCanvas::Bold);
    const double titleLine = canvas.LineHeight();
    std::vector<CardGroup> groups;
    for (const InfoSection &info : data.sections) {
        const bool output = info.kind == InfoSectionKind::Output;
        const bool relay = info.kind == InfoSectionKind::Relay1 || info.kind == InfoSectionKind::Relay2;
        if ((output && !data.hasOutput) || (relay && !data.hasRelays))
            continue;
        CardGroup group{info.title, {}, {}};
        for (const InfoRow &row : info.rows)
            if (AppliesSomewhere(row))
                group.rows.push_back(&row);
        groups.push_back(std::move(group));
    }
    const auto groupHeight = [titleLine](const CardGroup &group, const std::vector<ReportBlock> &rows) {
        double rowsHeight = double(group.titleLines.size()) * titleLine + kRowPadding / 2;
        for (const ReportBlock &row : rows)
            rowsHeight += row.height;
        return rowsHeight;
    };
    // The rows take the largest font with which every section fits and no
    // word is split, but never less than a value stays legible at. The
    // section titles stand over the channel columns, as in the module
    // information, so that the label and the values have the card's width.
    double points = kCardTitlePoints;
    std::vector<std::vector<ReportBlock>> blocks;
    ReportBlock header;
    double height = 0;
    std::vector<Column> columns;
    for (;; points -= 0.25) {
        canvas.SetFont(points);
        const CardWidths widths = CardColumnWidths(canvas, groups, area.width, area.width * 0.25);
        columns = {{0, widths.label},
                   {widths.label, widths.label + widths.channel},
                   {widths.label + widths.channel, area.width}};
        canvas.SetFont(kCardTitlePoints, CPrintCanvas::Bold);
        for (CardGroup &group : groups)
            group.titleLines = canvas.WrappedLines(group.title, columns[2].right - columns[1].left - 2 * kCellInset);
        header = TableRow(canvas, columns, {QString(), Str(Channel1), Str(Channel2)}, points, 0);
        height = header.height;
        blocks.clear();
        for (const CardGroup &group : groups) {
            std::vector<ReportBlock> rows;
            for (const InfoRow *row : group.rows)
                rows.push_back(InfoRowBlock(canvas, columns, *row, points));
            height += groupHeight(group, rows);
            blocks.push_back(std::move(rows));
        }
        if ((height <= area.height - 10 && widths.wordsFit) || points <= kSmallestCardPoints)
            break;
    }
    // What one card cannot hold at the smallest type goes on to a second card
    // below it, with its own frame and channel titles; two cards fill the
    // height of a landscape sheet, so a third starts a column beside them.
    const auto startCard = [&](int card) {
        const int column = card / kCardsPerColumn;
        const int row = card % kCardsPerColumn;
        canvas.SetOrigin({kCardInset + column * (kCardWidth + kCardGap), -kCardInset - row * (kCardHeight + kCardGap)});
        canvas.DrawFrame({0, 0}, {area.width, -area.height}, kCardPen);
        canvas.SetFont(points, CPrintCanvas::Bold);
        for (int channel = 0; channel < 2; ++channel)
            canvas.DrawText({columns[size_t(channel + 1)].left, -5},
                            {columns[size_t(channel + 1)].right, -5 - header.height},
                            Str(channel == 0 ? Channel1 : Channel2), Qt::AlignCenter);
        canvas.DrawLine({0, -5 - header.height}, {area.width, -5 - header.height}, kThickPen / 2);
        return -5 - header.height;
    };
    int card = 0;
    double top = startCard(card);
    for (size_t g = 0; g < groups.size(); ++g) {
        const double size = groupHeight(groups[g], blocks[g]);
        if (top - size < -(area.height - 5) && top < -5 - header.height)
            top = startCard(++card);
        canvas.SetFont(kCardTitlePoints, CPrintCanvas::Bold);
        double rowTop = top - kRowPadding / 4;
        for (const QString &line : groups[g].titleLines) {
            canvas.DrawText({columns[1].left, rowTop}, {columns[2].right, rowTop - titleLine}, line,
                            Qt::AlignCenter);
            rowTop -= titleLine;
        }
        rowTop = top - double(groups[g].titleLines.size()) * titleLine - kRowPadding / 2;
        for (const ReportBlock &row : blocks[g]) {
            row.draw(canvas, rowTop);
            rowTop -= row.height;
        }
        top -= size;
        canvas.DrawLine({0, top}, {area.width, top}, kThickPen / 2);
    }
}

void CProjectReport::DrawPage(QPainter &painter, double unitsPerTenthMm, QSizeF printableMm, int page)
{
    CountPages(printableMm);
    CPrintCanvas canvas(&painter, unitsPerTenthMm);
    if (m_mode == PrintMode::ModuleDataCard) {
        DrawDataCard(canvas);
        return;
    }
    const Geometry area = AreaOf(printableMm);
    canvas.SetOrigin({kSideMargin, -kSideMargin});
    canvas.DrawFrame({0, 10}, {area.width, -area.height}, kThickPen);
    DrawTitleBlock(canvas, area, page);
    if (page < 1 || page > PageCount())
        return;
    for (const ReportPages::Placement &placement : m_pages.Content(page))
        placement.block->draw(canvas, -placement.offset);
}

bool CProjectReport::Print(QPagedPaintDevice &device, const ReportPrintRange &range)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QSizeF printable = device.pageLayout().paintRect(QPageLayout::Millimeter).size();
    const double unitsPerTenthMm = device.logicalDpiX() / 254.0;
    const int count = CountPages(printable);
    const int first = std::max(1, range.fromPage);
    const int last = range.toPage <= 0 ? count : std::min(range.toPage, count);
    std::vector<int> pages;
    for (int page = first; page <= last; ++page)
        pages.push_back(page);
    if (range.lastPageFirst)
        std::reverse(pages.begin(), pages.end());
    for (size_t i = 0; i < pages.size(); ++i) {
        if (range.beforePage && !range.beforePage(pages[i]))
            break;
        if (i > 0)
            device.newPage();
        DrawPage(painter, unitsPerTenthMm, printable, pages[i]);
    }
    return painter.end();
}

QPageLayout::Orientation PrinterSettings::Orientation()
{
    SettingsSection section(QString::fromLatin1(SettingsSection::kApplication), QStringLiteral("Printer"),
                            {{QStringLiteral("Orientation"), kLandscape}});
    section.load();
    return section.intValue(QStringLiteral("Orientation")) == kPortrait ? QPageLayout::Portrait
                                                                        : QPageLayout::Landscape;
}

void PrinterSettings::SetOrientation(QPageLayout::Orientation orientation)
{
    SettingsSection section(QString::fromLatin1(SettingsSection::kApplication), QStringLiteral("Printer"),
                            {{QStringLiteral("Orientation"), kLandscape}});
    section.setValue(QStringLiteral("Orientation"),
                     orientation == QPageLayout::Portrait ? kPortrait : kLandscape);
    section.save();
}

QString WriteReportPdf(CProjectReport &report, const OutputFile::Target &target,
                       QPageLayout::Orientation orientation)
{
    return OutputFile::Write(
        target,
        [&](QIODevice &device) {
            QPdfWriter writer(&device);
            writer.setCreator(QStringLiteral("Zelnor Wizard"));
            writer.setTitle(report.DocumentName());
            writer.setResolution(600);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(5, 5, 5, 5),
                                             QPageLayout::Millimeter));
            report.Prepare();
            return report.Print(writer);
        });
}
