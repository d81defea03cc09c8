#include "support/test_support.h"
#include "exchange/csv_table.h"

#include <QtTest>

// The comma-separated files of the instrument list: what spreadsheets save
// is read, and what is written reads back the same.
class TestCsvTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void quotedFieldsAndLineNumbers();
    void separatorAndDecimalCommaFollowTheHeader();
    void byteOrderMarkAndBlankLinesAreSkipped();
    void brokenFilesAreRefusedWithTheReason();
    void spreadsheetEncodingsAreReadAndNamed();
    void separatorLineAndBlankLinesBeforeTheHeader();
    void writtenRecordsReadBackUnchanged();
    void headerWithSemicolonsOrAByteOrderMarkReadsBackUnchanged();
    void formulasAreWrittenAsTextAndReadBackWhole();
};

void TestCsvTable::quotedFieldsAndLineNumbers()
{
    const CsvTable table = CsvTable::Parse("A,B,C\r\n"
                                           "1,\"two, three\",\"say \"\"hi\"\"\"\r\n"
                                           "\"multi\r\nline\nfield\",x,\r\n"
                                           "last,\"\",y");
    QVERIFY(table.error.isEmpty());
    QCOMPARE(table.records.size(), size_t(4));
    QCOMPARE(table.records[1].fields, QStringList({"1", "two, three", "say \"hi\""}));
    QCOMPARE(table.records[2].fields, QStringList({"multi\nline\nfield", "x", ""}));
    // The record after a field of three lines starts on line 6.
    QCOMPARE(table.records[2].line, 3);
    QCOMPARE(table.records[3].line, 6);
    QCOMPARE(table.records[3].fields, QStringList({"last", "", "y"}));
}

void TestCsvTable::separatorAndDecimalCommaFollowTheHeader()
{
    const CsvTable semicolons = CsvTable::Parse("Tag;Range, end;Note\n\"a;b\";1,5;x,y\n");
    QCOMPARE(semicolons.separator, QChar(';'));
    QVERIFY(semicolons.decimalComma());
    QCOMPARE(semicolons.records[1].fields, QStringList({"a;b", "1,5", "x,y"}));
    const CsvTable commas = CsvTable::Parse("Tag,Range,\"Note; long\"\n1;2,3\n");
    QCOMPARE(commas.separator, QChar(','));
    QVERIFY(!commas.decimalComma());
    QCOMPARE(commas.records[1].fields, QStringList({"1;2", "3"}));
}

void TestCsvTable::byteOrderMarkAndBlankLinesAreSkipped()
{
    const CsvTable table = CsvTable::Parse("\xEF\xBB\xBFPlant;Typ\r\n\r\n;;\r\nWerk \xC3\xA4;X\r\n\r\n");
    QVERIFY(table.error.isEmpty());
    QCOMPARE(table.records.size(), size_t(2));
    QCOMPARE(table.records[0].fields.first(), QString("Plant"));
    QCOMPARE(table.records[1].fields.first(), QString::fromUtf8("Werk \xC3\xA4"));
    QCOMPARE(table.records[1].line, 4);
}

void TestCsvTable::brokenFilesAreRefusedWithTheReason()
{
    const CsvTable open = CsvTable::Parse("A,B\n1,2\n3,\"never\nclosed\n");
    QVERIFY(open.records.empty());
    QVERIFY2(open.error.contains("line 3"), qPrintable(open.error));
    // A byte-order mark that misnames the bytes after it.
    const CsvTable badUtf8 = CsvTable::Parse("\xEF\xBB\xBF" "A,B\nK\xE4se,1\n");
    QVERIFY(badUtf8.records.empty());
    QVERIFY2(badUtf8.error.contains("UTF-8"), qPrintable(badUtf8.error));
    const CsvTable cutUtf16 = CsvTable::Parse(QByteArray("\xFF\xFE" "A\0,\0B", 7));
    QVERIFY(cutUtf16.records.empty());
    QVERIFY2(cutUtf16.error.contains("UTF-16 LE"), qPrintable(cutUtf16.error));
    // A low surrogate with no high one before it.
    const CsvTable loneSurrogate = CsvTable::Parse(QByteArray("\xFE\xFF" "\0A\0,\xDF\xD3", 8));
    QVERIFY(loneSurrogate.records.empty());
    QVERIFY2(loneSurrogate.error.contains("UTF-16 BE"), qPrintable(loneSurrogate.error));
}

void TestCsvTable::spreadsheetEncodingsAreReadAndNamed()
{
    const QString text = QString::fromUtf8("Plant;Ch1.RangeUnitsID\r\nK\xC3\xA4se \xE2\x82\xAC;\xC2\xB0" "C\r\n");
    const QList<QPair<QByteArray, QString>> files = {
        {text.toUtf8(), "UTF-8"},
        {"\xEF\xBB\xBF" + text.toUtf8(), "UTF-8"},
        {QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2), "UTF-16 LE"},
        {QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom).encode(text), "UTF-16 BE"},
        // What a spreadsheet saves as plain CSV on Windows: the euro sign is 0x80.
        {"Plant;Ch1.RangeUnitsID\r\nK\xE4se \x80;\xB0" "C\r\n", "Windows-1252"},
    };
    for (const auto &[bytes, encoding] : files) {
        const CsvTable table = CsvTable::Parse(bytes);
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        QCOMPARE(table.encoding, encoding);
        QCOMPARE(table.separator, QChar(';'));
        QCOMPARE(table.records.size(), size_t(2));
        QCOMPARE(table.records[0].fields.first(), QString("Plant"));
        QCOMPARE(table.records[1].fields, QStringList({QString::fromUtf8("K\xC3\xA4se \xE2\x82\xAC"), QString::fromUtf8("\xC2\xB0" "C")}));
    }
}

void TestCsvTable::separatorLineAndBlankLinesBeforeTheHeader()
{
    // The separator line wins over the header's count, and lines keep their numbers.
    const CsvTable named = CsvTable::Parse("sep=;\r\nPlant,Cabinet;Type\r\nA,B;X\r\n");
    QVERIFY(named.error.isEmpty());
    QCOMPARE(named.separator, QChar(';'));
    QCOMPARE(named.records.size(), size_t(2));
    QCOMPARE(named.records[0].fields, QStringList({"Plant,Cabinet", "Type"}));
    QCOMPARE(named.records[0].line, 2);
    QCOMPARE(named.records[1].line, 3);
    const CsvTable tabs = CsvTable::Parse("\xEF\xBB\xBFSEP=\t\nPlant\tType\n");
    QCOMPARE(tabs.separator, QChar('\t'));
    QCOMPARE(tabs.records[0].fields, QStringList({"Plant", "Type"}));
    // A text that merely starts like it is a header like any other.
    const CsvTable header = CsvTable::Parse("sep=x,Type\n1,2\n");
    QCOMPARE(header.separator, QChar(','));
    QCOMPARE(header.records[0].fields, QStringList({"sep=x", "Type"}));
    // Blank lines and lines of separators above the header do not choose the separator.
    const CsvTable blank = CsvTable::Parse("\r\n,,\r\n  \r\nPlant;Type;Module\r\nA;B;C\r\n");
    QCOMPARE(blank.separator, QChar(';'));
    QCOMPARE(blank.records.size(), size_t(2));
    QCOMPARE(blank.records[0].fields, QStringList({"Plant", "Type", "Module"}));
    QCOMPARE(blank.records[0].line, 4);
}

// A header that holds more semicolons than commas, and a first text that
// starts with a byte-order mark, read back as they were written.
void TestCsvTable::headerWithSemicolonsOrAByteOrderMarkReadsBackUnchanged()
{
    const QList<QList<QStringList>> lists = {{{"a;b"}, {"1;2"}},
                                             {{"Tag;Range;Note", "x"}, {"1", "2"}},
                                             {{QString(QChar(0xFEFF)) + "Plant", "Type"}, {"x", "y"}},
                                             // A header cell that starts with a line break.
                                             {{"\n;x"}, {"1", "b\"c"}}};
    for (const QList<QStringList> &records : lists) {
        const CsvTable table = CsvTable::Parse(CsvEncode(records));
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        QCOMPARE(table.records.size(), size_t(records.size()));
        for (size_t i = 0; i < table.records.size(); ++i)
            QCOMPARE(table.records[i].fields, records[qsizetype(i)]);
    }
}

void TestCsvTable::writtenRecordsReadBackUnchanged()
{
    const QList<QStringList> records = {{"Plant", "Note", "Tag"},
                                        {"A, B", "say \"hi\"", "plain"},
                                        {"", "two\nlines", QString::fromUtf8("\xD0\x96-1")},
                                        {"semi;colon", "", "x"}};
    const QByteArray bytes = CsvEncode(records);
    QVERIFY(bytes.startsWith("Plant,Note,Tag\r\n\"A, B\",\"say \"\"hi\"\"\",plain\r\n"));
    QVERIFY(bytes.contains("\"semi;colon\",,x\r\n"));
    const CsvTable table = CsvTable::Parse(bytes);
    QCOMPARE(table.separator, QChar(','));
    QCOMPARE(table.records.size(), size_t(4));
    for (size_t i = 0; i < table.records.size(); ++i)
        QCOMPARE(table.records[i].fields, records[qsizetype(i)]);
}

void TestCsvTable::formulasAreWrittenAsTextAndReadBackWhole()
{
    const QStringList texts = {"=HYPERLINK(\"http://x\")", "+1+1", "-cmd", "@SUM(A1)", "\tTAB", "'=quoted",
                               "''@two", "'plain", "-50.000", "+3", "-1e3", "=", "'", "TT-101", ""};
    const QByteArray bytes = CsvEncode({texts});
    const QList<QByteArray> cells = bytes.chopped(2).split(',');
    QCOMPARE(cells.value(0), QByteArray("\"'=HYPERLINK(\"\"http://x\"\")\""));
    QCOMPARE(cells.value(1), QByteArray("'+1+1"));
    QCOMPARE(cells.value(2), QByteArray("'-cmd"));
    QCOMPARE(cells.value(3), QByteArray("'@SUM(A1)"));
    QCOMPARE(cells.value(4), QByteArray("'\tTAB"));
    QCOMPARE(cells.value(5), QByteArray("''=quoted"));
    QCOMPARE(cells.value(6), QByteArray("'''@two"));
    // Numbers and texts no spreadsheet evaluates stay as they are.
    QCOMPARE(cells.value(7), QByteArray("'plain"));
    QCOMPARE(cells.value(8), QByteArray("-50.000"));
    QCOMPARE(cells.value(9), QByteArray("+3"));
    QCOMPARE(cells.value(10), QByteArray("-1e3"));
    QCOMPARE(cells.value(11), QByteArray("'="));
    QCOMPARE(cells.value(12), QByteArray("'"));
    QCOMPARE(cells.value(13), QByteArray("TT-101"));
    const CsvTable table = CsvTable::Parse(bytes);
    QCOMPARE(table.records.size(), size_t(1));
    QCOMPARE(table.records[0].fields, texts);
    QList<QStringList> back;
    for (const CsvRecord &record : table.records)
        back << record.fields;
    QCOMPARE(CsvEncode(back), bytes);
}

QTEST_GUILESS_MAIN(TestCsvTable)
#include "test_csv_table.moc"
