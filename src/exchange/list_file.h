#pragma once

#include "db/output_file.h"
#include "exchange/csv_table.h"
#include "exchange/xlsx_writer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The file forms an instrument list comes in: the same rows of cells as
// comma-separated text or as the first sheet of an XLSX workbook.
namespace ListFile {

enum class Form { Csv, Xlsx };

// The form a file's name asks for: a workbook for ".xlsx", else text.
Form FormOfName(const QString &path);

// The rows of a list file in the form its bytes are in, whatever its name:
// a workbook (a ZIP package) or text. A workbook that cannot be read is
// refused with a message naming the file.
CsvTable Read(const QByteArray &bytes, const QString &fileName);

// The records of a list as a workbook: numbers of the value columns as
// number cells, everything else as text cells.
EncodedFile EncodeXlsx(const QList<QStringList> &records);
// The records in the form asked for; the dialect shapes text only.
EncodedFile Encode(const QList<QStringList> &records, Form form, const CsvDialect &dialect);

// The target with the written list's own first bytes (a text's header line,
// a workbook's first entry), so that an earlier list of the same columns
// is replaced unasked and anything else only when the user said so.
OutputFile::Target WithHeadOf(const OutputFile::Target &target, const QByteArray &bytes);

} // namespace ListFile
