#pragma once

#include <QString>

// The instrument list commands: a project's modules as comma-separated rows,
// and such rows into a project.
namespace CtlInstrumentList {

// Numbers of their texts.
inline constexpr int ExportDescription = 64450;
inline constexpr int ImportDescription = 64451;
inline constexpr int CsvOption = 64452;
inline constexpr int UnderOption = 64453;
inline constexpr int CodesOption = 64454;
inline constexpr int DryRunOption = 64455;
inline constexpr int DelimiterOption = 64726;
inline constexpr int DecimalCommaOption = 64727;
inline constexpr int BomOption = 64728;
inline constexpr int DelimiterUnknown = 64725;
inline constexpr int XlsxOption = 64742;

// How the list is written: codes for choices, as an XLSX workbook or as
// text with the separator ("," or ";"), decimal commas, a byte-order mark.
struct ExportForm {
    bool codes = false;
    bool xlsx = false;
    QString delimiter = QStringLiteral(",");
    bool decimalComma = false;
    bool bom = false;
};

// under: an item path, empty for the whole project.
// file "-": standard output; force: an existing other file is replaced.
int Export(const QString &project, const QString &file, const QString &under, const ExportForm &form, bool force);
// With dryRun everything is tried and reported, and nothing is kept.
int Import(const QString &project, const QString &file, bool dryRun);

} // namespace CtlInstrumentList
