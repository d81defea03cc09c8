#include "exchange/xlsx_files.h"
#include "support/test_support.h"

#include "base/string_table.h"
#include "exchange/instrument_list_strings.h"
#include "exchange/list_file.h"
#include "exchange/xlsx_package.h"
#include "exchange/xlsx_strings.h"

#include <QTemporaryDir>
#include <QtTest>

// Instrument lists as XLSX workbooks: what the program writes, an
// independent reader reads as the same cells of the right kinds; what an
// independent writer wrote, the program reads as the rows a text file of
// the same cells gives; a damaged or hostile package is refused whole.
class TestXlsxTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writtenCellsHaveTheirKindsForAnIndependentReader();
    void writtenWorkbookReadsBackAsTheSameRows();
    void workbookOfAnIndependentWriterIsRead();
    void inlineAndSharedTextsSkippedCellsAndCalculatedValues();
    void damagedAndHostilePackagesAreRefusedWithTheirReason();
    void theFormFollowsTheContentNotTheName();

private:
    QTemporaryDir m_dir;
};

namespace {

const QList<QStringList> kRecords = {
    {"Plant", "Type", "Module", "Ch1.Name", "Ch1.RangeEnd", "Ch1.RangeUnitsID", "Ch1.Description", "Comment"},
    {"007", "Z 7230/211-2", "7230/211-2 - [TT-1] [TT-2]", "TT-1", "21.500", "°F", "=1+2", "-5"},
    {"North", "Z 7230/211-2", "", "TT-3", "-20", "1", "", "@home"},
};

QString Reason(int id, std::initializer_list<QVariant> args = {})
{
    return args.size() == 0 ? Str(id) : StrF(id, args);
}

} // namespace

void TestXlsxTable::initTestCase()
{
    TestSupport::loadEnglish();
    QVERIFY(m_dir.isValid());
    QVERIFY(XlsxFiles::Samples(m_dir.path()));
}

void TestXlsxTable::writtenCellsHaveTheirKindsForAnIndependentReader()
{
    const EncodedFile workbook = ListFile::EncodeXlsx(kRecords);
    QVERIFY2(workbook.error.isEmpty(), qPrintable(workbook.error));
    const QString path = m_dir.filePath("written.xlsx");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(workbook.bytes);
    file.close();

    const QJsonObject sheet = XlsxFiles::Read(path);
    QCOMPARE(sheet.value("title").toString(), Str(XlsxStrings::SheetName));
    const QJsonArray rows = sheet.value("rows").toArray();
    QCOMPARE(rows.size(), 3);
    const auto cell = [&rows](int row, int column) { return rows[row].toArray()[column].toArray(); };
    // The header and every text column: text cells, whatever they look like.
    for (int column = 0; column < kRecords[0].size(); ++column) {
        QCOMPARE(cell(0, column)[0].toString(), kRecords[0][column]);
        QCOMPARE(cell(0, column)[1].toString(), QStringLiteral("s"));
    }
    QCOMPARE(cell(1, 0)[0].toString(), QStringLiteral("007"));
    QCOMPARE(cell(1, 0)[1].toString(), QStringLiteral("s"));
    QCOMPARE(cell(1, 6)[0].toString(), QStringLiteral("=1+2"));
    QCOMPARE(cell(1, 6)[1].toString(), QStringLiteral("s"));
    QCOMPARE(cell(1, 7)[0].toString(), QStringLiteral("-5"));
    QCOMPARE(cell(1, 7)[1].toString(), QStringLiteral("s"));
    QCOMPARE(cell(2, 7)[0].toString(), QStringLiteral("@home"));
    // Numbers of the value columns: number cells showing the pages' decimals.
    QCOMPARE(cell(1, 4)[0].toDouble(), 21.5);
    QCOMPARE(cell(1, 4)[1].toString(), QStringLiteral("n"));
    QCOMPARE(cell(1, 4)[2].toString(), QStringLiteral("0.000"));
    QCOMPARE(cell(2, 4)[0].toDouble(), -20.0);
    QCOMPARE(cell(2, 4)[1].toString(), QStringLiteral("n"));
    QCOMPARE(cell(2, 5)[0].toDouble(), 1.0);
    QCOMPARE(cell(2, 5)[1].toString(), QStringLiteral("n"));
    // A choice by its text stays text in a column of numbers.
    QCOMPARE(cell(1, 5)[0].toString(), QStringLiteral("°F"));
    QCOMPARE(cell(1, 5)[1].toString(), QStringLiteral("s"));
    // An empty cell is left out.
    QVERIFY(cell(2, 2)[0].isNull());
    QVERIFY(cell(2, 6)[0].isNull());
}

void TestXlsxTable::writtenWorkbookReadsBackAsTheSameRows()
{
    const EncodedFile workbook = ListFile::EncodeXlsx(kRecords);
    QVERIFY(workbook.error.isEmpty());
    const CsvTable table = ListFile::Read(workbook.bytes, "written.xlsx");
    QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
    QVERIFY(!table.decimalComma());
    QCOMPARE(int(table.records.size()), 3);
    QCOMPARE(table.records[0].line, 1);
    QCOMPARE(table.records[2].line, 3);
    QCOMPARE(table.records[0].fields, kRecords[0]);
    // The number comes back as the value, the pages' decimals left to the import.
    QStringList first = kRecords[1];
    first[4] = QStringLiteral("21.5");
    QCOMPARE(table.records[1].fields, first);
    QCOMPARE(table.records[2].fields, kRecords[2]);
}

void TestXlsxTable::workbookOfAnIndependentWriterIsRead()
{
    const QString path = m_dir.filePath("independent.xlsx");
    const QJsonArray rows = {
        QJsonArray{"Plant", "Type", "Ch1.Name", "Ch1.RangeEnd", "Ch1.Description"},
        QJsonArray{},
        QJsonArray{"North", "Z 7230/211-2", "A-1", 120.5, "=1+2"},
        QJsonArray{},
        QJsonArray{QJsonValue(), "Z 7230/211-2", "A-2", 80, 0.1 + 0.2},
    };
    QVERIFY(XlsxFiles::Write(rows, path));
    const CsvTable table = ListFile::Read(XlsxFiles::Bytes(path), path);
    QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
    QCOMPARE(int(table.records.size()), 3);
    QCOMPARE(table.records[0].fields, QStringList({"Plant", "Type", "Ch1.Name", "Ch1.RangeEnd", "Ch1.Description"}));
    // Blank rows are left out; a row's line is its number in the sheet.
    QCOMPARE(table.records[1].line, 3);
    QCOMPARE(table.records[1].fields, QStringList({"North", "Z 7230/211-2", "A-1", "120.5", "=1+2"}));
    QCOMPARE(table.records[2].line, 5);
    QCOMPARE(table.records[2].fields, QStringList({"", "Z 7230/211-2", "A-2", "80", "0.3"}));
    // The second sheet is not read.
    for (const CsvRecord &record : table.records)
        QVERIFY(!record.fields.contains("never read"));
}

void TestXlsxTable::inlineAndSharedTextsSkippedCellsAndCalculatedValues()
{
    const CsvTable inlined = ListFile::Read(XlsxFiles::Bytes(m_dir.filePath("inline.xlsx")), "inline.xlsx");
    QVERIFY2(inlined.error.isEmpty(), qPrintable(inlined.error));
    QCOMPARE(int(inlined.records.size()), 3);
    QCOMPARE(inlined.records[0].line, 2);
    // Column D was left out: its cell is empty, E keeps its place.
    QCOMPARE(inlined.records[0].fields, QStringList({"Plant", "Type", "Ch1.Name", "", "Ch1.RangeEnd"}));
    // Rich runs joined, the phonetic run left out, a formula by its value.
    QCOMPARE(inlined.records[1].line, 4);
    QCOMPARE(inlined.records[1].fields, QStringList({"West", "Z 7230/211-2", "IN-1", "", "125.5"}));
    // A row and a cell without their references follow the ones before;
    // a boolean is a number.
    QCOMPARE(inlined.records[2].line, 5);
    QCOMPARE(inlined.records[2].fields, QStringList({"West", "Z 7230/211-2", "IN-2", "", "1"}));

    const CsvTable shared = ListFile::Read(XlsxFiles::Bytes(m_dir.filePath("shared.xlsx")), "shared.xlsx");
    QVERIFY2(shared.error.isEmpty(), qPrintable(shared.error));
    QCOMPARE(int(shared.records.size()), 2);
    QCOMPARE(shared.records[0].fields, QStringList({"Plant", "Type", "Ch1.Name"}));
    // Blanks are kept as the cell holds them: trimming is the import's.
    QCOMPARE(shared.records[1].fields, QStringList({"East ", "Z 7230/211-2", "SH-1"}));
}

void TestXlsxTable::damagedAndHostilePackagesAreRefusedWithTheirReason()
{
    using namespace XlsxStrings;
    const QString sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    const struct {
        const char *file;
        QString reason; // empty: only the start of the message is known
    } cases[] = {
        {"no_workbook.xlsx", Reason(PartMissing, {"xl/workbook.xml"})},
        {"no_sheet.xlsx", Reason(NoSheet)},
        {"sheet_missing.xlsx", Reason(PartMissing, {sheet})},
        {"bad_reference.xlsx", Reason(BadCellReference, {"ZZZZ1", sheet})},
        {"uncalculated.xlsx", Reason(FormulaNotCalculated, {"B2"})},
        {"shared_missing.xlsx", Reason(NoSharedText, {"A1", "7"})},
        {"bomb.xlsx", Reason(PartTooPacked, {sheet, int(XlsxPackage::kMaxRatio)})},
        {"broken_xml.xlsx", QString()},
        {"truncated.xlsx", QString()},
        {"not_zip.xlsx", QString()},
    };
    for (const auto &sample : cases) {
        const QString path = m_dir.filePath(sample.file);
        const CsvTable table = ListFile::Read(XlsxFiles::Bytes(path), path);
        QVERIFY2(table.records.empty(), sample.file);
        const QString start = StrF(InstrumentListStrings::CannotRead, {path, QString()});
        QVERIFY2(table.error.startsWith(start), qPrintable(table.error));
        if (!sample.reason.isEmpty())
            QCOMPARE(table.error, start + sample.reason);
    }
    const QString broken = ListFile::Read(XlsxFiles::Bytes(m_dir.filePath("broken_xml.xlsx")), "b.xlsx").error;
    QVERIFY2(broken.contains(sheet) && broken.contains("XML"), qPrintable(broken));
    // A package cut short or not whole: its directory is missing or wrong.
    const QString notZip = Str(NotZip).section(QLatin1Char('('), 0, 0);
    for (const char *file : {"truncated.xlsx", "not_zip.xlsx"}) {
        const QString error = ListFile::Read(XlsxFiles::Bytes(m_dir.filePath(file)), file).error;
        QVERIFY2(error.contains(notZip), qPrintable(error));
    }
}

void TestXlsxTable::theFormFollowsTheContentNotTheName()
{
    const EncodedFile workbook = ListFile::EncodeXlsx(kRecords);
    const CsvTable named = ListFile::Read(workbook.bytes, "list.csv");
    QVERIFY(named.error.isEmpty());
    QCOMPARE(named.records[0].fields, kRecords[0]);
    const QByteArray text = "Plant;Ch1.RangeEnd\r\nNorth;1,5\r\n";
    const CsvTable csv = ListFile::Read(text, "list.xlsx");
    QVERIFY(csv.error.isEmpty());
    QVERIFY(csv.decimalComma());
    QCOMPARE(csv.records[1].fields, QStringList({"North", "1,5"}));
    QCOMPARE(ListFile::FormOfName("a/b/List.XLSX"), ListFile::Form::Xlsx);
    QCOMPARE(ListFile::FormOfName("list.csv"), ListFile::Form::Csv);
    QCOMPARE(ListFile::FormOfName("list"), ListFile::Form::Csv);
    // The workbook's own first bytes mark an earlier list of the program.
    const OutputFile::Target target = ListFile::WithHeadOf(OutputFile::Target(QStringLiteral("x.xlsx")), workbook.bytes);
    QVERIFY(target.ownHead.startsWith("PK\x03\x04"));
    QVERIFY(target.ownHead.endsWith("[Content_Types].xml"));
    QCOMPARE(ListFile::EncodeXlsx(kRecords).bytes.left(target.ownHead.size()), target.ownHead);
}

QTEST_GUILESS_MAIN(TestXlsxTable)
#include "test_xlsx_table.moc"
