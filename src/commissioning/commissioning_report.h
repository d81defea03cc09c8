#pragma once

#include "commissioning/commissioning_queue.h"
#include "commissioning/commissioning_records.h"
#include "db/output_file.h"
#include "print/project_report.h"

#include <QJsonObject>

#include <memory>
#include <vector>

class C7100Document;
class CMy7100Doc;
class CatalogueSet;
class DbSession;
class Item;

// One queued module, its state as the project keeps it, and its attempts
// oldest first.
struct CommissioningHistory {
    CommissioningEntry entry;
    std::vector<CommissioningRecord> attempts;
};

// The commissioning report: one line per queued module (its final state,
// serial number, time of the verdict, attempts) with its attempts beneath,
// and the modules counted by state; as a PDF file with the project's title
// block, as CSV or as JSON of the same two levels.
namespace CommissioningReport {
// The modules of entries with their records. With othersToo, records of a
// module not among them (deleted since) follow as a module of their own, so
// that none is lost; else they are left out.
std::vector<CommissioningHistory> Histories(const std::vector<CommissioningEntry> &entries,
                                            const std::vector<CommissioningRecord> &records, bool othersToo);
// The modules at or below item with their kept states and the records made
// under it. Raises COLEDBException when the project cannot be read.
std::vector<CommissioningHistory> Read(C7100Document &document, DbSession &session, Item &item);

CommissioningReportData Data(const ProjectFields &fields, const std::vector<CommissioningHistory> &histories);
// Raises COLEDBException when the project row cannot be read.
std::unique_ptr<CProjectReport> Make(CMy7100Doc &document, const CatalogueSet &catalogues,
                                     const std::vector<CommissioningHistory> &histories);
// A header line, then per module a "module" line followed by its "attempt"
// lines; fields quoted where they must be.
QString Csv(const std::vector<CommissioningHistory> &histories);
// Writes the CSV text whole or not at all; an earlier list of records is
// replaced without asking. Empty on success, else why not.
QString WriteCsv(const std::vector<CommissioningHistory> &histories, const OutputFile::Target &target);
// {"modules": [{..., "attempts": [...]}], "totals": {...}}
QJsonObject Json(const std::vector<CommissioningHistory> &histories);
// "<port>: N verified, M failed" for each port the attempts were made on,
// when there were several.
QStringList PortTotals(const std::vector<CommissioningHistory> &histories);
// "Totals: N modules: ... (N never attempted); N attempts"
QString TotalsText(const std::vector<CommissioningHistory> &histories);
// The module line of the listing and the report: state, serial number,
// time of the verdict, attempts.
QStringList ModuleLine(const CommissioningHistory &history);
// An attempt's line beneath it: number, serial number, time, verdict,
// checksums.
QStringList AttemptLine(const CommissioningRecord &record, int number);
// The file name as typed, with ".pdf" or ".csv" when it has no extension
// and names nothing yet.
QString WithExtension(const QString &file, bool pdf);
// "verified", "verified: note" or "failed: reason" in the active language.
QString ResultText(const CommissioningRecord &record);
} // namespace CommissioningReport
