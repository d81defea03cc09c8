#include "exchange/xlsx_files.h"
#include "tool_test_support.h"

#include <QtTest>

#include <algorithm>

using namespace ToolTest;

// zelnorctl export --xlsx and import of workbooks: the same rows as the
// comma-separated list, numbers as number cells and texts as text cells for
// an independent reader, workbooks of an independent writer imported, and
// damaged or hostile packages refused with nothing written.
class TestZelnorctlXlsx : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void workbookHoldsTheCellsOfTheTextList();
    void workbookImportsIntoANewProjectAsTheTextListDoes();
    void workbookOfAnIndependentWriterImportsAndBlamesItsRows();
    void damagedAndHostileWorkbooksChangeNothing();
    void optionsOfTheFormAndReplacingFiles();
};

namespace {

const QString kPlant = QStringLiteral("\\\\Project\\Boiler house");

QTemporaryDir g_dir;
QString g_template;

// Modules of two families, with a description a spreadsheet would take for
// a formula and a range with decimals.
QString MakeProject()
{
    const QString project = NewProject(g_dir, QStringLiteral("template.prj"));
    Ctl({"add", project, "\\\\Project", "plant", "Boiler house"});
    Ctl({"add-module", project, kPlant, "7", "TT-101", "TT-102"});
    Ctl({"add-module", project, kPlant, "35", "FT-7"});
    const QString tt = kPlant + "\\7230/211-2 - [TT-101] [TT-102]";
    const TestSupport::ToolRun set = Ctl({"set", project, tt, "--channel", "1", "RangeEnd=212.5",
                                          "Description==1+2", "Comment=-5 \"quoted\"", "RangeUnitsID=1"});
    if (set.exitCode != 0)
        qWarning("set failed: %s", qPrintable(set.err));
    return project;
}

QString Project(const QTemporaryDir &dir)
{
    const QString project = dir.filePath("plant.prj");
    QFile::copy(g_template, project);
    QFile::setPermissions(project, QFile::ReadOwner | QFile::WriteOwner);
    return project;
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The rows of the text list as cells: the header and each module.
QList<QStringList> CsvCells(const QString &path)
{
    QList<QStringList> cells;
    for (const QByteArray &line : XlsxFiles::Bytes(path).split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        // The lists of these tests quote no field but those checked apart.
        cells << QString::fromUtf8(line.trimmed()).split(QLatin1Char(','));
    }
    return cells;
}

QVariant SignalValue(const QString &project, const QString &tag, const QString &column)
{
    return Scalar(project, QStringLiteral("SELECT %1 FROM Signals WHERE Name = '%2'").arg(column, tag));
}

// Where a cell holds a text even when it reads as a number: the places and
// names of a module, its tags and its texts.
bool IsTextColumn(const QString &header)
{
    static const QStringList places = {"Plant", "Cabinet", "Carrier", "Type", "Module"};
    static const QStringList texts = {"Name", "Description", "Comment", "LastProgramming"};
    return places.contains(header) || std::any_of(texts.begin(), texts.end(), [&header](const QString &text) {
               return header.endsWith(QLatin1Char('.') + text) || header == text;
           });
}

int ModuleCount(const QString &project)
{
    return Scalar(project, "SELECT (SELECT COUNT(*) FROM Modules7230_2) + (SELECT COUNT(*) FROM Modules7210_2)")
        .toInt();
}

} // namespace

void TestZelnorctlXlsx::initTestCase()
{
    QVERIFY(g_dir.isValid());
    g_template = MakeProject();
    QCOMPARE(ModuleCount(g_template), 2);
    QVERIFY(XlsxFiles::Samples(g_dir.path()));
}

void TestZelnorctlXlsx::workbookHoldsTheCellsOfTheTextList()
{
    QTemporaryDir dir;
    const QString project = Project(dir);
    const QString csv = dir.filePath("list.csv");
    const QString xlsx = dir.filePath("list.xlsx");
    QCOMPARE(Ctl({"export", project, "--csv", csv, "--codes"}).exitCode, 0);
    const TestSupport::ToolRun run = Ctl({"export", project, "--xlsx", xlsx, "--codes"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(run.out.contains("2"));
    QVERIFY(XlsxFiles::Bytes(xlsx).startsWith("PK\x03\x04"));

    const QJsonArray rows = XlsxFiles::Read(xlsx).value("rows").toArray();
    const QList<QStringList> cells = CsvCells(csv);
    QCOMPARE(rows.size(), cells.size());
    const QStringList header = cells.front();
    int numbers = 0;
    for (int row = 0; row < cells.size(); ++row) {
        const QJsonArray sheetRow = rows[row].toArray();
        for (int column = 0; column < header.size(); ++column) {
            QString text = cells[row].value(column);
            const QJsonArray cell = sheetRow[column].toArray();
            const QString where = QStringLiteral("row %1, %2").arg(row).arg(header[column]);
            if (text.startsWith(QLatin1String("\"")))
                continue; // a quoted field, checked below
            if (text.startsWith(QLatin1String("'=")))
                text = text.mid(1); // a workbook needs no apostrophe before a formula-like text
            if (text.isEmpty()) {
                QVERIFY2(cell[0].isNull(), qPrintable(where));
                continue;
            }
            bool number = false;
            text.toDouble(&number);
            if (row > 0 && number && !IsTextColumn(header[column])) {
                QCOMPARE(cell[1].toString(), QStringLiteral("n"));
                QCOMPARE(cell[0].toDouble(), text.toDouble());
                ++numbers;
            } else {
                QVERIFY2(cell[1].toString() == QLatin1String("s"), qPrintable(where));
                QCOMPARE(cell[0].toString(), text);
            }
        }
    }
    QVERIFY(numbers > 20);
    // A text like a formula stays text, a text with quotes as it is.
    const qsizetype tag = header.indexOf("Ch1.Name");
    const auto ttRow = std::find_if(rows.begin(), rows.end(), [tag](const QJsonValue &row) {
        return row.toArray()[tag].toArray()[0].toString() == QLatin1String("TT-101");
    });
    QVERIFY(ttRow != rows.end());
    QVERIFY(tag > 0);
    const QJsonArray tt = ttRow->toArray();
    const qsizetype description = header.indexOf("Ch1.Description");
    QCOMPARE(tt[description].toArray()[0].toString(), QStringLiteral("=1+2"));
    QCOMPARE(tt[description].toArray()[1].toString(), QStringLiteral("s"));
    const qsizetype comment = header.indexOf("Comment");
    QCOMPARE(tt[comment].toArray()[0].toString(), QStringLiteral("-5 \"quoted\""));
    const qsizetype rangeEnd = header.indexOf("Ch1.RangeEnd");
    QVERIFY(description > 0 && comment > 0 && rangeEnd > 0);
    QCOMPARE(tt[rangeEnd].toArray()[0].toDouble(), 212.5);
    QCOMPARE(tt[rangeEnd].toArray()[2].toString(), QStringLiteral("0.000"));
}

void TestZelnorctlXlsx::workbookImportsIntoANewProjectAsTheTextListDoes()
{
    QTemporaryDir dir;
    const QString project = Project(dir);
    const QString xlsx = dir.filePath("list.xlsx");
    const QString before = dir.filePath("before.csv");
    QCOMPARE(Ctl({"export", project, "--xlsx", xlsx}).exitCode, 0);
    QCOMPARE(Ctl({"export", project, "--csv", before}).exitCode, 0);

    const QString copy = NewProject(dir, "copy.prj");
    const TestSupport::ToolRun dry = Ctl({"import", copy, xlsx, "--dry-run"});
    QVERIFY2(dry.exitCode == 0, qPrintable(dry.out + dry.err));
    QCOMPARE(ModuleCount(copy), 0);
    const TestSupport::ToolRun run = Ctl({"import", copy, xlsx});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY(!run.out.contains("was read as"));
    QCOMPARE(ModuleCount(copy), 2);
    QVERIFY(Inconsistencies(copy).isEmpty());
    QCOMPARE(SignalValue(copy, "TT-101", "Description").toString(), QStringLiteral("=1+2"));
    QCOMPARE(SignalValue(copy, "TT-101", "RangeEnd").toInt(), 212500);
    // Every value came over: the copy's list is the original's, to the byte.
    const QString after = dir.filePath("after.csv");
    QCOMPARE(Ctl({"export", copy, "--csv", after}).exitCode, 0);
    QCOMPARE(XlsxFiles::Bytes(after), XlsxFiles::Bytes(before));
    // Imported again, the same workbook changes nothing.
    const TestSupport::ToolRun again = Ctl({"import", copy, xlsx});
    QVERIFY2(again.exitCode == 0, qPrintable(again.out + again.err));
    QVERIFY(!again.out.contains("Changed:"));
}

void TestZelnorctlXlsx::workbookOfAnIndependentWriterImportsAndBlamesItsRows()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const QString good = dir.filePath("good.xlsx");
    QVERIFY(XlsxFiles::Write(
        {QJsonArray{"Plant", "Cabinet", "Type", "Ch1.Name", "Ch2.Name", "Ch1.RangeEnd", "Ch1.Description", "Remark"},
         QJsonArray{},
         QJsonArray{"West", "C 1", "Z 7230/211-2", "WI-1", "WI-2", 150.25, "=SUM(A1:A3)", "ignored"},
         QJsonArray{},
         QJsonArray{"West", QJsonValue(), "Z 7230/211-2", "WI-3", 4711, 99, " spaced "}},
        good));
    const TestSupport::ToolRun run = Ctl({"import", project, good});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY(run.out.contains("Remark"));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_3").toInt(), 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_2").toInt(), 1);
    QCOMPARE(SignalValue(project, "WI-1", "RangeEnd").toInt(), 150250);
    QCOMPARE(SignalValue(project, "WI-1", "Description").toString(), QStringLiteral("=SUM(A1:A3)"));
    // A tag typed as a number is a number cell: it is the tag all the same.
    QCOMPARE(SignalValue(project, "4711", "Name").toString(), QStringLiteral("4711"));
    QCOMPARE(SignalValue(project, "WI-3", "RangeEnd").toInt(), 99000);
    QCOMPARE(SignalValue(project, "WI-3", "Description").toString(), QStringLiteral("spaced"));
    QVERIFY(Inconsistencies(project).isEmpty());

    // A refused row is named by its row in the sheet; nothing is written.
    const QByteArray before = Checksum(project);
    const QString bad = dir.filePath("bad.xlsx");
    QVERIFY(XlsxFiles::Write({QJsonArray{"Plant", "Type", "Ch1.Name", "Ch2.Name", "Ch1.RangeEnd"}, QJsonArray{},
                              QJsonArray{"East", "Z 7230/211-2", "EI-1", "EI-2", 10},
                              QJsonArray{"East", "Z 7230/211-2", "EI-3", "EI-4", "much"}},
                             bad));
    const TestSupport::ToolRun refused = Ctl({"import", project, bad});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2((refused.out + refused.err).contains("Line 4, column Ch1.RangeEnd:"), qPrintable(refused.out + refused.err));
    QVERIFY(!(refused.out + refused.err).contains("Line 3,"));
    QCOMPARE(Checksum(project), before);
}

void TestZelnorctlXlsx::damagedAndHostileWorkbooksChangeNothing()
{
    QTemporaryDir dir;
    const QString project = Project(dir);
    const QByteArray before = Checksum(project);
    const struct {
        const char *file;
        const char *said;
    } cases[] = {
        {"no_workbook.xlsx", "the workbook has no part 'xl/workbook.xml'"},
        {"sheet_missing.xlsx", "no part 'xl/worksheets/sheet1.xml'"},
        {"broken_xml.xlsx", "is not well-formed XML"},
        {"bomb.xlsx", "refused as a ZIP bomb"},
        {"truncated.xlsx", "not a complete ZIP package"},
        {"not_zip.xlsx", "not a complete ZIP package"},
        {"uncalculated.xlsx", "the cell B2 holds a formula"},
    };
    for (const auto &sample : cases) {
        const QString path = g_dir.filePath(sample.file);
        const TestSupport::ToolRun run = Ctl({"import", project, path});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("Can't read the file '" + path + "': "), qPrintable(run.err));
        QVERIFY2(run.err.contains(sample.said), qPrintable(run.err));
        QCOMPARE(Checksum(project), before);
    }
    // Bytes that are no package are read as text, whatever the name.
    const QString garbage = dir.filePath("garbage.xlsx");
    Write(garbage, QByteArray("\x01\x02not a workbook at all\n", 24));
    const TestSupport::ToolRun run = Ctl({"import", project, garbage});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("'Type' or 'Module'"), qPrintable(run.err));
    QCOMPARE(Checksum(project), before);
}

void TestZelnorctlXlsx::optionsOfTheFormAndReplacingFiles()
{
    QTemporaryDir dir;
    const QString project = Project(dir);
    const QString xlsx = dir.filePath("list.xlsx");
    TestSupport::ToolRun run = Ctl({"export", project, "--xlsx", xlsx, "--csv", dir.filePath("list.csv")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("--csv FILE or --xlsx FILE"), qPrintable(run.err));
    run = Ctl({"export", project, "--xlsx", xlsx, "--bom"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("--bom shape CSV text"), qPrintable(run.err));
    run = Ctl({"export", project, "--xlsx", xlsx, "--delimiter", ";"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(!QFile::exists(xlsx));
    QVERIFY(!QFile::exists(dir.filePath("list.csv")));

    // An earlier workbook of the command is replaced unasked.
    QCOMPARE(Ctl({"export", project, "--xlsx", xlsx}).exitCode, 0);
    run = Ctl({"export", project, "--xlsx", xlsx, "--codes"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    // The user's own workbook only when asked.
    const QString own = dir.filePath("own.xlsx");
    QVERIFY(XlsxFiles::Write({QJsonArray{"Plant", "Type"}, QJsonArray{"Mine", "Z 7230/211-2"}}, own));
    const QByteArray mine = XlsxFiles::Bytes(own);
    run = Ctl({"export", project, "--xlsx", own});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(XlsxFiles::Bytes(own), mine);
    QCOMPARE(Ctl({"export", project, "--xlsx", own, "--force"}).exitCode, 0);
    QVERIFY(XlsxFiles::Bytes(own) != mine);
    // A project is never the target.
    const QByteArray projectBefore = Checksum(project);
    QVERIFY(Ctl({"export", project, "--xlsx", project, "--force"}).exitCode != 0);
    QCOMPARE(Checksum(project), projectBefore);
}

QTEST_GUILESS_MAIN(TestZelnorctlXlsx)
#include "test_zelnorctl_xlsx.moc"
