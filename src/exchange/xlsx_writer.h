#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The bytes of a file made, or why it could not be made.
struct EncodedFile {
    QByteArray bytes;
    QString error;
};

// Rows of cells as an XLSX workbook of one worksheet named sheetName. A
// cell for which isNumber(row, column) holds is written as a number cell
// showing the decimals its text has; every other as a text cell, so that a
// text that starts like a formula ("=1+2") stays text. Empty cells are left
// out. The one adapter over the XLSX writing library.
EncodedFile EncodeXlsx(const QList<QStringList> &records, const QString &sheetName,
                       const std::function<bool(int row, int column)> &isNumber);

// The first bytes every workbook EncodeXlsx makes of the same columns
// begins with (its first entry's header): a file that begins with them is
// an earlier list of the same kind.
QByteArray XlsxHead(const QByteArray &workbook);
