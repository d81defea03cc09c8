#include "support/test_support.h"
#include "tree/csv_table.h"

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
    const CsvTable latin = CsvTable::Parse("A,B\nK\xE4se,1\n");
    QVERIFY(latin.records.empty());
    QVERIFY(latin.error.contains("UTF-8"));
}

// A header that holds more semicolons than commas, and a first text that
// starts with a byte-order mark, read back as they were written.
void TestCsvTable::headerWithSemicolonsOrAByteOrderMarkReadsBackUnchanged()
{
    const QList<QList<QStringList>> lists = {{{"a;b"}, {"1;2"}},
                                             {{"Tag;Range;Note", "x"}, {"1", "2"}},
                                             {{QString(QChar(0xFEFF)) + "Plant", "Type"}, {"x", "y"}}};
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
