#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
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
// between fields (the one the header line uses more often, or the one a
// first line "sep=;" names), fields in double quotes that may hold
// separators, doubled quotes and line breaks. Where fields are separated by
// semicolons, numbers carry decimal commas.
struct CsvTable {
    QChar separator = QLatin1Char(',');
    std::vector<CsvRecord> records; // the header first; blank lines left out
    QString encoding;               // the encoding the text was read in: "UTF-8", "UTF-16 LE", "Windows-1252"
    QString error;                  // why the file cannot be read; empty when it can

    bool decimalComma() const { return separator == QLatin1Char(';'); }
    // The fields of every record, the header first.
    QList<QStringList> cells() const
    {
        QList<QStringList> all;
        for (const CsvRecord &record : records)
            all << record.fields;
        return all;
    }
    // Reads UTF-8 (with or without byte-order mark), UTF-16 with its mark,
    // else Windows-1252; error is set for text that its mark misnames or a
    // quoted field that never ends.
    static CsvTable Parse(const QByteArray &bytes);
};

// How records are written for the program that opens them: the separator
// (comma or semicolon) and a UTF-8 byte-order mark, which spreadsheets need
// to take the file for UTF-8 rather than their code page.
struct CsvDialect {
    QChar separator = QLatin1Char(',');
    bool decimalComma = false; // numbers of the values with a decimal comma
    bool byteOrderMark = false;

    // Marked UTF-8; semicolons and decimal commas where the locale writes
    // numbers with a decimal comma.
    static CsvDialect ForSpreadsheets(const QLocale &locale);
};

// Records as UTF-8 text with CRLF line ends: a field is quoted when it holds
// the separator (with commas, a semicolon too), a quote or a line break, its
// quotes doubled. A text a spreadsheet would take for a formula gets a leading
// apostrophe, which Parse takes off again.
QByteArray CsvEncode(const QList<QStringList> &records, const CsvDialect &dialect = {});
// One field as CsvEncode writes it: spreadsheet-safe, quoted where it must be.
QString CsvCell(const QString &field);

// A text field as a spreadsheet takes it for text: with an apostrophe in
// front when it starts with = + - @ a tab or a carriage return (and is no
// number), or with an apostrophe that stands before such a start. Distinct
// texts stay distinct, so that FromSpreadsheetText undoes it exactly.
QString SpreadsheetText(const QString &field);
QString FromSpreadsheetText(const QString &field);
