#pragma once

#include "db/output_file.h"
#include "link/commissioning_records.h"
#include "print/project_report.h"

#include <memory>
#include <vector>

class CMy7100Doc;
class CatalogueSet;

// The commissioning report of a project's records: as a PDF file with the
// project's title block, one line per record and the totals, or as CSV.
namespace CommissioningReport {
CommissioningReportData Data(const ProjectFields &fields, const std::vector<CommissioningRecord> &records);
// Raises COLEDBException when the project row cannot be read.
std::unique_ptr<CProjectReport> Make(CMy7100Doc &document, const CatalogueSet &catalogues,
                                     const std::vector<CommissioningRecord> &records);
// One header line and one line per record, fields quoted where they must be.
QString Csv(const std::vector<CommissioningRecord> &records);
// Writes the CSV text whole or not at all; an earlier list of records is
// replaced without asking. Empty on success, else why not.
QString WriteCsv(const std::vector<CommissioningRecord> &records, const OutputFile::Target &target);
// "verified" or "failed: reason" in the active language.
QString ResultText(const CommissioningRecord &record);
} // namespace CommissioningReport
