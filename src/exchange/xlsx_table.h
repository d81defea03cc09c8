#pragma once

#include "exchange/csv_table.h"

#include <QByteArray>
#include <QString>

// The first worksheet of an XLSX workbook as the rows of cells a
// comma-separated list gives: each row's line is its row number, each cell
// stands at the column its reference names (cells and rows left out stay
// empty), blank rows are left out. Texts (shared or inline) come as they
// are, numbers as the shortest text that gives the same value, booleans as
// 1 and 0, a formula as its calculated value. On failure error says why
// (without the file's name) and no row is given.
CsvTable ReadXlsxTable(const QByteArray &bytes);
