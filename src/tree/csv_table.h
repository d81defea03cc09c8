#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// One record of a comma-separated file with the line it starts on (1-based;
// a quoted field may run over several lines).
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

// A comma-separated file as a spreadsheet saves it: comma or semicolon
// between fields (the one the header line uses more often), an optional
// UTF-8 byte-order mark, fields in double quotes that may hold separators,
// doubled quotes and line breaks. Where fields are separated by semicolons,
// numbers carry decimal commas.
struct CsvTable {
    QChar separator = QLatin1Char(',');
    std::vector<CsvRecord> records; // the header first; blank lines left out
    QString error;                  // why the file cannot be read; empty when it can

    bool decimalComma() const { return separator == QLatin1Char(';'); }
    // Reads UTF-8 bytes; error is set for text that is no UTF-8 or a quoted
    // field that never ends.
    static CsvTable Parse(const QByteArray &bytes);
};

// Records as UTF-8 text with commas and CRLF line ends: a field is quoted
// when it holds a comma, a semicolon, a quote or a line break, its quotes
// doubled. A text
// a spreadsheet would take for a formula gets a leading apostrophe, which
// Parse takes off again.
QByteArray CsvEncode(const QList<QStringList> &records);

// A text field as a spreadsheet takes it for text: with an apostrophe in
// front when it starts with = + - @ a tab or a carriage return (and is no
// number), or with an apostrophe that stands before such a start. Distinct
// texts stay distinct, so that FromSpreadsheetText undoes it exactly.
QString SpreadsheetText(const QString &field);
QString FromSpreadsheetText(const QString &field);
