// An instrument list of 1,000 two-channel modules in 10 plants of 10
// cabinets, imported into a new project (every folder and module created,
// every row checked), then imported again with a changed range on every
// row (every module updated), then exported; the same again as an XLSX
// workbook (import with every range changed once more, export). Prints each
// time.
#include "project_generator.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "db/db_session.h"
#include "db/id_sequence.h"
#include "db/table_level.h"
#include "params/catalogues.h"
#include "exchange/csv_table.h"
#include "exchange/instrument_list.h"
#include "exchange/instrument_list_import.h"
#include "exchange/list_file.h"
#include "tree/my7100_doc.h"
#include "tree/widgets/progress_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

// Processor time of this process: what the machine's other load does not
// change, beside the wall-clock time.
double CpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

constexpr int kRows = 1000;

QList<QStringList> Records(int rangeEnd)
{
    QList<QStringList> records = {{"Plant", "Cabinet", "Type", "Ch1.Name", "Ch2.Name", "Ch1.Description",
                                   "Ch1.RangeEnd", "Ch2.RangeEnd"}};
    for (int row = 0; row < kRows; ++row) {
        const QString tag = QStringLiteral("TT-%1").arg(row, 4, 10, QLatin1Char('0'));
        records << QStringList{QStringLiteral("Plant %1").arg(row / 100), QStringLiteral("Cabinet %1").arg(row / 10 % 10),
                               QStringLiteral("Z 7230/211-2"), tag + "A", tag + "B",
                               QStringLiteral("Loop %1, \"boiler\"").arg(row), QString::number(rangeEnd + row % 50),
                               QString::number(rangeEnd - 10)};
    }
    return records;
}

QByteArray List(int rangeEnd)
{
    return CsvEncode(Records(rangeEnd));
}

QByteArray Workbook(int rangeEnd)
{
    return ListFile::EncodeXlsx(Records(rangeEnd)).bytes;
}

// Reading the workbook's rows alone, before any row is tried.
void ReadWorkbook(const QByteArray &workbook)
{
    QElapsedTimer timer;
    timer.start();
    const CsvTable table = ListFile::Read(workbook, QStringLiteral("list.xlsx"));
    std::printf("XLSX rows read: %d rows of %lld bytes in %.1f ms\n", int(table.records.size()) - 1,
                static_cast<long long>(workbook.size()), double(timer.nsecsElapsed()) / 1e6);
}

bool Import(const char *what, InstrumentListImport &import, const QByteArray &list, int expectAdded,
            int expectChanged)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = CpuMilliseconds();
    const ImportReport report = import.Run(list, true);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const double cpu = CpuMilliseconds() - cpuBefore;
    std::printf("%s: %d rows in %.0f ms (processor %.0f ms), %.2f ms per row, %d modules added, %d changed, "
                "%d refused\n",
                what, report.rows, ms, cpu, ms / std::max(1, report.rows), int(report.added.size()),
                int(report.changed.size()), int(report.refused.size()));
    for (const ImportRefusal &refusal : report.refused)
        std::fprintf(stderr, "%s\n", qPrintable(ImportReport::RefusalText(refusal)));
    return report.written && int(report.added.size()) == expectAdded && int(report.changed.size()) == expectChanged;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    StringTable::instance().loadBuiltin();
    MessageService::setPresenter([](const MessageRequest &request) {
        if (request.icon != MessageIcon::Information)
            std::fprintf(stderr, "%s\n", qPrintable(request.text));
        return MessageAnswer::No;
    });
    ProgressWindow::install(nullptr);
    const QString path = dir.filePath(QStringLiteral("list.prj"));
    if (!CopyReferenceProject(path))
        return 1;
    CLevelList levels;
    std::unique_ptr<DbSession> session = OpenGeneratedProject(path, levels);
    if (!session)
        return 1;
    CatalogueSet catalogues;
    catalogues.Load(*session, levels);
    CIdSequence ids(*session);
    CMy7100Doc document;
    document.OpenProject({&levels, session.get(), &ids, path, false});
    InstrumentListImport import(document, catalogues);
    bool ok = Import("import into a new project", import, List(100), kRows, 0);
    ok = Import("import again, every range changed", import, List(200), 0, kRows) && ok;
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = CpuMilliseconds();
    const InstrumentListExport::Result rows = InstrumentListExport(document, catalogues).Rows(nullptr, false);
    const QByteArray bytes = CsvEncode(rows.records);
    std::printf("export: %d modules in %.0f ms (processor %.0f ms), %lld bytes\n", rows.modules,
                double(timer.nsecsElapsed()) / 1e6, CpuMilliseconds() - cpuBefore, static_cast<long long>(bytes.size()));
    const QByteArray workbook = Workbook(300);
    ReadWorkbook(workbook);
    ok = Import("XLSX import, every range changed", import, workbook, 0, kRows) && ok;
    timer.restart();
    const double xlsxCpuBefore = CpuMilliseconds();
    const InstrumentListExport::Result xlsxRows = InstrumentListExport(document, catalogues).Rows(nullptr, false);
    QElapsedTimer encoding;
    encoding.start();
    const EncodedFile exported = ListFile::EncodeXlsx(xlsxRows.records);
    std::printf("XLSX export: %d modules in %.0f ms (processor %.0f ms; the workbook made in %.0f ms), %lld bytes%s\n",
                xlsxRows.modules, double(timer.nsecsElapsed()) / 1e6, CpuMilliseconds() - xlsxCpuBefore,
                double(encoding.nsecsElapsed()) / 1e6, static_cast<long long>(exported.bytes.size()),
                exported.error.isEmpty() ? "" : " FAILED");
    ok = ok && exported.error.isEmpty();
    ProgressService::setFactory({});
    return ok && rows.modules == kRows ? 0 : 1;
}
