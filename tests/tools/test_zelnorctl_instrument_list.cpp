#include "tool_test_support.h"

#include <QFile>
#include <QtTest>

using namespace ToolTest;

// zelnorctl export and import: a project as an instrument list and back,
// spreadsheet files, and the all-or-nothing rule.
class TestZelnorctlInstrumentList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportImportExportGivesTheSameFile();
    void exportOfPartAndWithCodes();
    void semicolonFileWithDecimalCommasImports();
    void threeBadRowsChangeNothingAndAreAllNamed();
    void matchingModuleIsUpdatedAndDryRunWritesNothing();
    void fileErrorsAndHierarchyRefusals();
    void exportNeverOverwritesAProject();
    void spreadsheetEncodingsAndSeparatorLineImport();
    void exportForSpreadsheetsReadsBackTheSame();
    void matchingNeverDuplicatesAndBlamesTheRightCell();
    void listSpeaksThePagesLabelsAndTexts();
    void pagesLabelsOfAnyLanguageAndTheirTextsImport();
    void moduleNamedElsewhereIsMovedAndEveryBadCellIsNamed();
    void readOnlyProjectIsPreviewedAndRefusedOnce();
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Boiler house");
const QString kCarrier = QStringLiteral("\\\\Project\\Boiler house\\Cab 1\\Z1");
const QString kHeader = QStringLiteral("Plant,Cabinet,Carrier,Type,Module");

QString Module(const QString &parent, const QString &type, const QString &tags)
{
    return parent + QStringLiteral("\\") + type + QStringLiteral(" - ") + tags;
}

// Modules of the three families in folders of every depth, with values
// changed on every page and texts that need quoting.
QString MakeFilledProject(const QTemporaryDir &dir)
{
    const QString project = NewProject(dir, QStringLiteral("filled.prj"));
    Ctl({"add", project, "\\\\Project", "plant", "Boiler house"});
    Ctl({"add", project, kPlant, "cabinet", "Cab 1"});
    Ctl({"add", project, kPlant + "\\Cab 1", "carrier", "Z1"});
    Ctl({"add-module", project, kCarrier, "7", "TT-101", "TT-102"});
    Ctl({"add-module", project, kPlant, "35", "FT-7"});
    Ctl({"add-module", project, "\\\\Project", "65", "LS-9"});
    const QString tt = Module(kCarrier, "7230/211-2", "[TT-101] [TT-102]");
    const TestSupport::ToolRun set1 =
        Ctl({"set", project, tt, "--channel", "1", "RangeUnitsID=1", "RangeEnd=300", "Description=Inlet, \"hot\"",
             "Comment=Line 1; \"quoted\"", "Relay1LimitValue=2", "Relay1AgainSettingProtection=3"});
    if (set1.exitCode != 0)
        qWarning("set failed: %s", qPrintable(set1.err));
    Ctl({"set", project, tt, "--channel", "2", "RangeBegin=-20", "RangeEnd=80", "OutputErrorValue=3.6"});
    Ctl({"set", project, Module(kPlant, "7210/111-0", "[FT-7]"), "Description=Flow ;semicolon"});
    return project;
}

// Made once: every zelnorctl run takes seconds in the sanitizer build.
QTemporaryDir g_templateDir;
QString g_template;

QString FilledProject(const QTemporaryDir &dir, const QString &name = QStringLiteral("plant.prj"))
{
    const QString project = dir.filePath(name);
    QFile::copy(g_template, project);
    QFile::setPermissions(project, QFile::ReadOwner | QFile::WriteOwner);
    return project;
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int Modules(const QString &project)
{
    int count = 0;
    for (const char *family : {"7230", "7210", "7220"})
        for (int depth = 1; depth <= 4; ++depth)
            count += Scalar(project, QStringLiteral("SELECT COUNT(*) FROM Modules%1_%2").arg(family).arg(depth)).toInt();
    return count;
}

// The fields of one line of a comma-separated list, quotes taken off.
QStringList Fields(const QString &line)
{
    QStringList fields{QString()};
    bool quoted = false;
    for (qsizetype at = 0; at < line.size(); ++at) {
        const QChar c = line[at];
        if (c == '"' && quoted && at + 1 < line.size() && line[at + 1] == '"')
            fields.last() += line[++at];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields << QString();
        else
            fields.last() += c;
    }
    return fields;
}

// The cells of a list (one line a row) by their headers, one map a row.
QList<QHash<QString, QString>> CellsByHeader(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    const QStringList header = Fields(QString::fromUtf8(lines.takeFirst()).trimmed());
    QList<QHash<QString, QString>> rows;
    for (const QByteArray &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList cells = Fields(QString::fromUtf8(line).trimmed());
        QHash<QString, QString> row;
        for (int index = 0; index < header.size() && index < cells.size(); ++index)
            row.insert(header[index], cells[index]);
        rows << row;
    }
    return rows;
}

QVariant SignalValue(const QString &project, const QString &tag, const QString &column)
{
    return Scalar(project, QStringLiteral("SELECT %1 FROM Signals WHERE Name = '%2'").arg(column, tag));
}
} // namespace

void TestZelnorctlInstrumentList::initTestCase()
{
    g_template = MakeFilledProject(g_templateDir);
    QCOMPARE(Modules(g_template), 3);
}

void TestZelnorctlInstrumentList::exportImportExportGivesTheSameFile()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QString first = dir.filePath("first.csv");
    const TestSupport::ToolRun exported = Ctl({"export", project, "--csv", first});
    QCOMPARE(exported.exitCode, 0);
    QVERIFY(exported.out.contains("3"));
    const QByteArray bytes = Read(first);
    QVERIFY(bytes.startsWith("Plant,Cabinet,Carrier,Type,Module,"));
    // RFC 4180: quotes doubled, fields with separators or quotes quoted, CRLF.
    QVERIFY(bytes.contains("\"Inlet, \"\"hot\"\"\""));
    QVERIFY(bytes.contains("\"Line 1; \"\"quoted\"\"\""));
    QVERIFY(bytes.contains("Boiler house,Cab 1,Z1,Z 7230/211-2,7230/211-2 - [TT-101] [TT-102]"));
    QVERIFY(bytes.contains("\r\n"));
    // Choices by their text, values in the pages' units.
    QVERIFY(bytes.contains(",°F,"));
    QVERIFY(bytes.contains(",300.000,"));

    const QString copy = NewProject(dir, "copy.prj");
    const TestSupport::ToolRun imported = Ctl({"import", copy, first});
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.out + imported.err));
    QCOMPARE(Modules(copy), 3);
    QVERIFY(Inconsistencies(copy).isEmpty());
    const QString second = dir.filePath("second.csv");
    QCOMPARE(Ctl({"export", copy, "--csv", second}).exitCode, 0);
    QCOMPARE(Read(second), bytes);
}

void TestZelnorctlInstrumentList::exportOfPartAndWithCodes()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QString part = dir.filePath("part.csv");
    QCOMPARE(Ctl({"export", project, "--csv", part, "--under", kPlant + "\\Cab 1", "--codes"}).exitCode, 0);
    const QList<QByteArray> lines = Read(part).split('\n');
    // The header and the one module below the cabinet.
    QVERIFY(Read(part).contains("TT-101"));
    QVERIFY(!Read(part).contains("FT-7"));
    QVERIFY(!Read(part).contains("LS-9"));
    QVERIFY(!Read(part).contains("°F"));
    QCOMPARE(lines.size(), 3);
    // Codes import as well as texts.
    const QString copy = NewProject(dir, "copy.prj");
    QCOMPARE(Ctl({"import", copy, part}).exitCode, 0);
    QCOMPARE(SignalValue(copy, "TT-101", "RangeUnitsID").toInt(), 1);
    QCOMPARE(SignalValue(copy, "TT-101", "Relay1LimitValue").toInt(), 2);
    QCOMPARE(Ctl({"export", project, "--csv", part, "--under", "\\\\Project\\Nowhere"}).exitCode, 1);
}

void TestZelnorctlInstrumentList::semicolonFileWithDecimalCommasImports()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const QString list = dir.filePath("loops.csv");
    // As a German spreadsheet saves it: byte-order mark, semicolons, decimal
    // commas, columns in another order, a quoted line break, an extra column.
    Write(list, QByteArray("\xEF\xBB\xBF") +
                    "Ch1.Name;Ch2.Name;Type;Plant;Cabinet;Ch1.RangeEnd;Ch1.Description;Remark;Ch2.OutputErrorValue\r\n"
                    "TI-1;TI-2;Z 7230/211-2;Werk A;Schrank 3;150,5;\"Kessel; Eintritt\";\"zwei\r\nZeilen\";3,6\r\n"
                    ";;;;;;;;\r\n"
                    "TI-3;TI-4;z 7230/211-2;Werk A;;99,25;;;\r\n");
    const TestSupport::ToolRun run = Ctl({"import", project, list});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY(run.out.contains("Remark"));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Equipments WHERE Name = 'Werk A'").toInt(), 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Racks WHERE Name = 'Schrank 3'").toInt(), 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_3").toInt(), 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_2").toInt(), 1);
    QCOMPARE(SignalValue(project, "TI-1", "RangeEnd").toInt(), 150500);
    QCOMPARE(SignalValue(project, "TI-3", "RangeEnd").toInt(), 99250);
    QCOMPARE(SignalValue(project, "TI-2", "OutputErrorValue").toInt(), 3600000);
    QCOMPARE(SignalValue(project, "TI-1", "Description").toString(), QString("Kessel; Eintritt"));
    QVERIFY(Inconsistencies(project).isEmpty());
}

void TestZelnorctlInstrumentList::threeBadRowsChangeNothingAndAreAllNamed()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QByteArray before = Checksum(project);
    const QString list = dir.filePath("bad.csv");
    Write(list, kHeader.toUtf8() + ",Ch1.Name,Ch2.Name,Ch1.RangeEnd,Ch1.WorkingModeID\r\n"
                "New plant,,,Z 7230/211-2,,A-1,A-2,100,\r\n"           // good: would be added
                "New plant,,,Z 7230/211-2,,B-1,B-2,5000,\r\n"          // range too large
                "New plant,,,Z 9999,,C-1,C-2,,\r\n"                    // unknown type
                "New plant,,,Z 7230/211-2,,D-1,D-2,,Nonsense\r\n"      // no such working mode
                ",,,Z 7230/211-2,,E-1,E-2,50,\r\n");                   // good
    const TestSupport::ToolRun run = Ctl({"import", project, list});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(Checksum(project), before);
    const QString said = run.out + run.err;
    QVERIFY2(said.contains("Line 3, column Ch1.RangeEnd:"), qPrintable(said));
    QVERIFY2(said.contains("Line 4, column Type:"), qPrintable(said));
    QVERIFY2(said.contains("Line 5, column Ch1.WorkingModeID:"), qPrintable(said));
    QVERIFY(said.contains("Z 9999"));
    QVERIFY(said.contains("Nonsense"));
    QVERIFY(!said.contains("Line 2,"));
    QVERIFY(!said.contains("Line 6,"));
    QVERIFY(said.contains("3 of 5"));

    // A file of many bad rows: the first thousand refusals are listed, the
    // rest counted, every row still checked.
    QByteArray many = kHeader.toUtf8() + ",Ch1.Name,Ch2.Name\r\n";
    for (int row = 0; row < 1200; ++row)
        many += "New plant,,,Z 9999,,T" + QByteArray::number(row) + ",\r\n";
    Write(list, many);
    const TestSupport::ToolRun flood = Ctl({"import", project, list});
    QCOMPARE(flood.exitCode, 1);
    QCOMPARE(Checksum(project), before);
    QCOMPARE(flood.out.count("Refused: Line "), 1000);
    QVERIFY2(flood.out.contains("Line 1001, column Type:") && !flood.out.contains("Line 1002,"), qPrintable(flood.out.right(300)));
    QVERIFY2(flood.out.contains("... and 200 more refusals, not listed."), qPrintable(flood.out.right(300)));
    QVERIFY2(flood.err.contains("1200 of 1200"), qPrintable(flood.err));
}

void TestZelnorctlInstrumentList::matchingModuleIsUpdatedAndDryRunWritesNothing()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QString list = dir.filePath("update.csv");
    // The first row names an existing module and renames its second tag; the
    // second is new beside it.
    Write(list, kHeader.toUtf8() + ",Ch1.Name,Ch2.Name,Ch2.RangeEnd\r\n"
                "Boiler house,Cab 1,Z1,Z 7230/211-2,7230/211-2 - [TT-101] [TT-102],TT-101,TT-202,90\r\n"
                "Boiler house,Cab 1,Z1,Z 7230/211-2,,TT-103,TT-104,\r\n");
    const QByteArray before = Checksum(project);
    const TestSupport::ToolRun dry = Ctl({"import", project, list, "--dry-run"});
    QVERIFY2(dry.exitCode == 0, qPrintable(dry.out + dry.err));
    QCOMPARE(Checksum(project), before);
    QVERIFY2(dry.out.contains("Ch2.Name: 'TT-102' -> 'TT-202'"), qPrintable(dry.out));
    QVERIFY(dry.out.contains("Ch2.RangeEnd: '80.000' -> '90.000'"));
    QVERIFY(dry.out.contains("Would add: " + kCarrier + "\\7230/211-2 - [TT-103] [TT-104]"));
    QVERIFY(dry.out.contains("1 modules to add, 1 to change"));

    const TestSupport::ToolRun run = Ctl({"import", project, list});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QCOMPARE(Modules(project), 4);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_4 WHERE Name = '7230/211-2 - [TT-101] [TT-202]'")
                 .toInt(),
             1);
    QCOMPARE(SignalValue(project, "TT-202", "RangeEnd").toInt(), 90000);
    QVERIFY(Inconsistencies(project).isEmpty());
    // Imported again, nothing changes and nothing is added.
    const TestSupport::ToolRun again = Ctl({"import", project, list});
    QCOMPARE(again.exitCode, 1); // the first row's name is gone: it would make a second TT-101
    QCOMPARE(Modules(project), 4);
}

void TestZelnorctlInstrumentList::fileErrorsAndHierarchyRefusals()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const QByteArray before = Checksum(project);
    const QString list = dir.filePath("list.csv");
    Write(list, "Plant,Type,Ch1.Name\r\nA,Z 7230/211-2,\"never closed\r\n");
    TestSupport::ToolRun run = Ctl({"import", project, list});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("line 2"));
    Write(list, "Tag;Range\r\nX;1\r\n");
    run = Ctl({"import", project, list});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("'Type' or 'Module'"));
    // A byte-order mark that promises UTF-8 before bytes that are none.
    Write(list, QByteArray("\xEF\xBB\xBFPlant,Type,Ch1.Name\r\nA\xFF,Z 7230/211-2,X\r\n"));
    QCOMPARE(Ctl({"import", project, list}).exitCode, 2);
    // A value named twice would be half dropped.
    Write(list, "Type,Ch1.RangeEnd,ch1.rangeend \r\nZ 7230/211-2,100,200\r\n");
    run = Ctl({"import", project, list});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("'Ch1.RangeEnd' and 'ch1.rangeend' name the same value"), qPrintable(run.err));
    QCOMPARE(Ctl({"import", project, dir.filePath("missing.csv")}).exitCode, 2);
    // A carrier needs its cabinet; a tag of 40 characters is refused by the module dialog.
    Write(list, "Plant,Cabinet,Carrier,Type,Ch1.Name,Ch2.Name\r\n"
                "P,,Z,Z 7230/211-2,T-1,T-2\r\n"
                "P,,,Z 7230/211-2," + QByteArray(40, 'x') + ",T-4\r\n"
                "P,,,Z 7230/211-2,T-5,T-5\r\n");
    run = Ctl({"import", project, list});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains("Line 2, column Carrier:"), qPrintable(run.out));
    QVERIFY2(run.out.contains("Line 3, column Ch1.Name:"), qPrintable(run.out));
    QVERIFY2(run.out.contains("Line 4, column Ch2.Name:"), qPrintable(run.out));
    QCOMPARE(Checksum(project), before);
}

void TestZelnorctlInstrumentList::exportNeverOverwritesAProject()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QString other = NewProject(dir, "other.prj");
    const QByteArray before = Checksum(other);
    TestSupport::ToolRun run = Ctl({"export", project, "--csv", other, "--force"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("project file"));
    QCOMPARE(Checksum(other), before);
    // Another file only with --force, then whole; no temporary file stays beside it.
    const QString list = dir.filePath("list.csv");
    Write(list, "old");
    run = Ctl({"export", project, "--csv", list});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("give --force"), qPrintable(run.err));
    QCOMPARE(Read(list), QByteArray("old"));
    QCOMPARE(Ctl({"export", project, "--csv", list, "--force"}).exitCode, 0);
    QVERIFY(Read(list).startsWith("Plant,"));
    // An earlier list is replaced unasked.
    QCOMPARE(Ctl({"export", project, "--csv", list}).exitCode, 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

void TestZelnorctlInstrumentList::spreadsheetEncodingsAndSeparatorLineImport()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const QString list = dir.filePath("loops.csv");
    // Saved as plain CSV on a German Windows machine: Windows-1252 (0x80 is
    // the euro sign), the separator line and a blank line above the header.
    Write(list, "sep=;\r\n\r\nPlant;Type;Ch1.Name;Ch2.Name;Ch1.RangeEnd;Ch1.Description;;\r\n"
                "K\xE4serei;Z 7230/211-2;TI-1;TI-2;150,5;Eintritt \x80;;\r\n");
    TestSupport::ToolRun run = Ctl({"import", project, list});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains("read as Windows-1252 text"), qPrintable(run.out));
    // The empty header cells at the end are no unknown columns.
    QVERIFY2(!run.out.contains("not known"), qPrintable(run.out));
    QCOMPARE(Scalar(project, QString::fromUtf8("SELECT COUNT(*) FROM Equipments WHERE Name = 'K\xC3\xA4serei'")).toInt(), 1);
    QCOMPARE(SignalValue(project, "TI-1", "RangeEnd").toInt(), 150500);
    QCOMPARE(SignalValue(project, "TI-1", "Description").toString(), QString::fromUtf8("Eintritt \xE2\x82\xAC"));
    // Saved as Unicode text: UTF-16 LE with its mark, into the same plant.
    const QString text = QString::fromUtf8("Plant,Type,Ch1.Name,Ch2.Name\r\nK\xC3\xA4serei,Z 7230/211-2,TI-3,TI-4\r\n");
    Write(list, QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom).encode(text));
    run = Ctl({"import", project, list});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains("read as UTF-16 LE text"), qPrintable(run.out));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Equipments").toInt(), 1);
    QCOMPARE(Modules(project), 2);
}

void TestZelnorctlInstrumentList::exportForSpreadsheetsReadsBackTheSame()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QString german = dir.filePath("german.csv");
    const TestSupport::ToolRun run =
        Ctl({"export", project, "--csv", german, "--delimiter", ";", "--decimal-comma", "--bom"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QByteArray bytes = Read(german);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBFPlant;Cabinet;Carrier;Type;Module;"));
    QVERIFY(bytes.contains(";300,000;"));
    QVERIFY(bytes.contains(";\xC2\xB0" "F;"));
    // A comma in a text needs no quotes now, a semicolon does.
    QVERIFY(bytes.contains(";\"Flow ;semicolon\";"));
    QVERIFY(!bytes.contains(".000"));
    // Read back into a new project, it exports as the original does.
    const QString copy = NewProject(dir, "copy.prj");
    const TestSupport::ToolRun imported = Ctl({"import", copy, german});
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.out + imported.err));
    QCOMPARE(Ctl({"export", project, "--csv", dir.filePath("a.csv")}).exitCode, 0);
    QCOMPARE(Ctl({"export", copy, "--csv", dir.filePath("b.csv")}).exitCode, 0);
    QCOMPARE(Read(dir.filePath("b.csv")), Read(dir.filePath("a.csv")));
    const TestSupport::ToolRun tab = Ctl({"export", project, "--csv", dir.filePath("c.csv"), "--delimiter", "|"});
    QCOMPARE(tab.exitCode, 2);
    QVERIFY2(tab.err.contains("'|'"), qPrintable(tab.err));
    QVERIFY(!QFile::exists(dir.filePath("c.csv")));
}

void TestZelnorctlInstrumentList::matchingNeverDuplicatesAndBlamesTheRightCell()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QByteArray before = Checksum(project);
    const QString list = dir.filePath("list.csv");
    const QString tt = QStringLiteral("7230/211-2 - [TT-101] [TT-102]");
    Write(list, kHeader.toUtf8() + ",Comment,Ch1.Name,Ch2.Name,Ch2.Description\r\n"
                "\" Boiler house \", Cab 1 ,Z1 ,Z 7230/211-2,,, S-1 ,S-2 ,\r\n"      // good, into the folders there
                "Boiler house,Cab 1,Z1,Z 7230/211-2," + tt.toUtf8() + ",,TT-101,tt-101,\r\n" // the tags differ in case only
                "Boiler house,,,Z 7230/211-2,,fine,X-1,X-2,\"bad\x01text\"\r\n"        // a control character
                "Boiler house,Cab 1,Z1,Z 7230/211-2,,,S-1,S-2,\r\n"                    // line 2's module again
                "Boiler house,,,Z 7230/211-2,," + QByteArray("\"nul\0here\"", 10) + ",Y-1,Y-2,\r\n");
    const TestSupport::ToolRun run = Ctl({"import", project, list});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(Checksum(project), before);
    const QString said = run.out + run.err;
    QVERIFY2(!said.contains("Added folder"), qPrintable(said));
    QVERIFY2(!said.contains("Line 2,"), qPrintable(said));
    QVERIFY2(said.contains("Line 3, column Ch2.Name: Channel1 name can't be the same like channel2 name!"),
             qPrintable(said));
    QVERIFY2(said.contains("Line 4, column Ch2.Description:"), qPrintable(said));
    QVERIFY2(said.contains("Line 5, column Module: The module '" + kCarrier + "\\7230/211-2 - [S-1] [S-2]' is "
                           "already on line 2"),
             qPrintable(said));
    QVERIFY2(said.contains("Line 6, column Comment: The cell holds a NUL character"), qPrintable(said));
    QVERIFY(!said.contains(QChar(0)));
    QVERIFY(said.contains("4 of 5"));
    // The pages' Apply behind set takes the same rule.
    const TestSupport::ToolRun set =
        Ctl({"set", project, Module(kCarrier, "7230/211-2", "[TT-101] [TT-102]"), "--channel", "2", "Name=tt-101"});
    QVERIFY(set.exitCode != 0);
    QVERIFY2((set.out + set.err).contains("Channel1 name can't be the same like channel2 name!"),
             qPrintable(set.out + set.err));
    QCOMPARE(Checksum(project), before);
}

void TestZelnorctlInstrumentList::listSpeaksThePagesLabelsAndTexts()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add-module", project, "\\\\Project", "7", "TT-1", "TT-2"}).exitCode, 0);
    const QString module = Module("\\\\Project", "7230/211-2", "[TT-1] [TT-2]");
    const TestSupport::ToolRun set =
        Ctl({"set", project, module, "--channel", "1", "Relay1LimitValue=2", "Relay1AgainSettingProtection=3",
             "DIPSwitch=-1", "OutputErrorStop=8", "OutputErrorValue=21.5"});
    QVERIFY2(set.exitCode == 0, qPrintable(set.out + set.err));
    const QString list = dir.filePath("list.csv");
    QCOMPARE(Ctl({"export", project, "--csv", list}).exitCode, 0);
    const QList<QHash<QString, QString>> rows = CellsByHeader(Read(list));
    QCOMPARE(rows.size(), 1);
    const QHash<QString, QString> &row = rows.front();
    // The labels of the pages with the relay and the channel; no database name.
    QVERIFY2(row.contains("Ch1 Measuring range end"), qPrintable(QStringList(row.keys()).join('|')));
    QVERIFY(row.contains("Ch2 Signal-Tag"));
    for (const QString &header : row.keys())
        QVERIFY2(!header.contains('.'), qPrintable(header));
    // The texts of the radio buttons and of the DIP switch; the page's decimals.
    QCOMPARE(row.value("Ch1 Relay 1 Relay lockout"), QString("active"));
    QCOMPARE(row.value("Ch1 Behaviour on error"), QString("Error control (off)"));
    QCOMPARE(row.value("DIP Switch"), QString("DIP configurable"));
    QCOMPARE(row.value("Ch1 Output error value"), QString("21.500"));

    // For scripts: codes under the names set takes.
    const QString codeList = dir.filePath("codes.csv");
    QCOMPARE(Ctl({"export", project, "--csv", codeList, "--codes"}).exitCode, 0);
    const QHash<QString, QString> codes = CellsByHeader(Read(codeList)).value(0);
    QCOMPARE(codes.value("Ch1.Relay1AgainSettingProtection"), QString("3"));
    QCOMPARE(codes.value("Ch1.OutputErrorStop"), QString("8"));
    QCOMPARE(codes.value("DIPSwitch"), QString("-1"));
    QCOMPARE(codes.value("Ch1.OutputErrorValue"), QString("21.500"));

    // In German, and read back in German into a new project, the list is the same.
    const QString english = dir.filePath("english.csv");
    const QString german = dir.filePath("german.csv");
    QCOMPARE(Ctl({"export", project, "--csv", english}).exitCode, 0);
    QCOMPARE(Ctl({"export", project, "--csv", german, "--lang", "2"}).exitCode, 0);
    QVERIFY2(Read(german).contains(",K1 Messbereichsende,"), Read(german).constData());
    const QString copy = NewProject(dir, "copy.prj");
    const TestSupport::ToolRun imported = Ctl({"import", copy, german, "--lang", "2"});
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.out + imported.err));
    QCOMPARE(Ctl({"export", copy, "--csv", dir.filePath("again.csv")}).exitCode, 0);
    QCOMPARE(Read(dir.filePath("again.csv")), Read(english));
}

void TestZelnorctlInstrumentList::pagesLabelsOfAnyLanguageAndTheirTextsImport()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const QString list = dir.filePath("list.csv");
    // German, French and English labels beside a database name, in any case,
    // with blanks around them; the lockout, error behaviour and DIP switch by
    // their texts.
    Write(list, " Typ ,V1 Rep\xC3\xA8re du signal,K2 SIGNAL-TAG,ch1 relay 1 limiting value,"
                "CH1 RELAY 1 RELAY LOCKOUT,Ch1.OutputErrorStop,dip switch,Ch1 Measuring range end\r\n"
                "Z 7230/211-2,PX-1,PX-2,2,deactive,Last holden value (init output value),DIP configurable,250\r\n");
    const TestSupport::ToolRun run = Ctl({"import", project, list});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY2(!run.out.contains("not known"), qPrintable(run.out));
    QCOMPARE(SignalValue(project, "PX-2", "Name").toString(), QString("PX-2"));
    QCOMPARE(SignalValue(project, "PX-1", "Relay1AgainSettingProtection").toInt(), 1);
    QCOMPARE(SignalValue(project, "PX-1", "OutputErrorStop").toInt(), 1);
    QCOMPARE(SignalValue(project, "PX-1", "RangeEnd").toInt(), 250000);
    QCOMPARE(Scalar(project, "SELECT DIPSwitch FROM Modules7230_1 WHERE Name LIKE '%PX-1%'").toInt(), -1);
    // A label and the database name of the same value are one column twice.
    Write(list, "Type,Ch1 Measuring range end,ch1.rangeend\r\nZ 7230/211-2,100,200\r\n");
    const TestSupport::ToolRun twice = Ctl({"import", project, list});
    QCOMPARE(twice.exitCode, 2);
    QVERIFY2(twice.err.contains("name the same value"), qPrintable(twice.err));
    // A text that is no choice is refused with the choices the page offers.
    Write(list, "Type,Ch1.Name,Ch2.Name,Ch1 Behaviour on error\r\nZ 7230/211-2,PY-1,PY-2,sometimes\r\n");
    const TestSupport::ToolRun bad = Ctl({"import", project, list});
    QCOMPARE(bad.exitCode, 1);
    QVERIFY2(bad.out.contains("Line 2, column Ch1.OutputErrorStop: 'sometimes'"), qPrintable(bad.out));
    QVERIFY(bad.out.contains("Error control (off)"));
}

void TestZelnorctlInstrumentList::moduleNamedElsewhereIsMovedAndEveryBadCellIsNamed()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    const QByteArray before = Checksum(project);
    const QString list = dir.filePath("list.csv");
    const QByteArray tt = "7230/211-2 - [TT-101] [TT-102]";
    const QByteArray header = kHeader.toUtf8() + ",Ch1.Name,Ch2.Name,Ch1.RangeEnd,Ch1.WorkingModeID\r\n";
    const QByteArray moveRow = "Boiler house,,,," + tt + ",,,,\r\n"; // the module stands in Cab 1\Z1
    Write(list, header + moveRow +
                "Boiler house,,,Z 7230/211-2,,N-1,N-2,5000,Nonsense\r\n"      // two bad cells
                "Boiler house,,,Z 7230/211-2,,G-1,G-2,100,\r\n"               // good
                "boiler HOUSE,,,,7210/111-0 - [FT-7],,,,\r\n"                 // where it stands
                ",Cab 9,,,7220/12-0 - [LS-9],,,,\r\n");                          // a cabinet without a plant
    TestSupport::ToolRun run = Ctl({"import", project, list});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(Checksum(project), before);
    QString said = run.out + run.err;
    QVERIFY2(said.contains("Line 3, column Ch1.RangeEnd:"), qPrintable(said));
    QVERIFY2(said.contains("Line 3, column Ch1.WorkingModeID:"), qPrintable(said));
    QVERIFY2(said.contains("Line 6, column Cabinet:"), qPrintable(said));
    for (const char *line : {"Line 2,", "Line 4,", "Line 5,"})
        QVERIFY2(!said.contains(line), qPrintable(said));
    // Nothing was written: what the good rows do is said as what they would do.
    QVERIFY2(said.contains("Would move: " + kCarrier + "\\" + tt + " -> " + kPlant + "\\" + tt), qPrintable(said));
    QVERIFY2(said.contains("Would add: " + kPlant + "\\7230/211-2 - [G-1] [G-2]"), qPrintable(said));
    QVERIFY(!said.contains("Added:"));
    QVERIFY(!said.contains("Moved:"));
    QVERIFY2(said.contains("2 of 5"), qPrintable(said));
    // Refusals come first.
    QVERIFY(said.indexOf("Refused:") < said.indexOf("Would add:"));

    // Alone, the row moves the module with its values and tags, into a
    // plant it makes, and says so.
    Write(list, header + "New plant,,,," + tt + ",,,,\r\n");
    run = Ctl({"import", project, list});
    said = run.out + run.err;
    QVERIFY2(run.exitCode == 0, qPrintable(said));
    QVERIFY2(said.contains("Moved: " + kCarrier + "\\" + tt + " -> \\\\Project\\New plant\\" + tt), qPrintable(said));
    QVERIFY2(said.contains("1 moved"), qPrintable(said));
    QCOMPARE(Modules(project), 3);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_2 WHERE Name = '" + QString(tt) + "'").toInt(), 1);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Modules7230_4").toInt(), 0);
    QCOMPARE(SignalValue(project, "TT-101", "RangeEnd").toInt(), 300000);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals WHERE Name = 'TT-101'").toInt(), 1);
    QVERIFY(Inconsistencies(project).isEmpty());
}

void TestZelnorctlInstrumentList::readOnlyProjectIsPreviewedAndRefusedOnce()
{
    QTemporaryDir dir;
    const QString project = FilledProject(dir);
    QVERIFY(QFile::setPermissions(project, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = Checksum(project);
    const QString list = dir.filePath("list.csv");
    Write(list, kHeader.toUtf8() + ",Ch1.Name,Ch2.Name,Ch1.RangeEnd\r\n"
                "New plant,,,Z 7230/211-2,,R-1,R-2,100\r\n"
                "Boiler house,Cab 1,Z1,,7230/211-2 - [TT-101] [TT-102],,,250\r\n");
    // The preview is made as for any project: nothing to write.
    const TestSupport::ToolRun dry = Ctl({"import", project, list, "--dry-run"});
    const QString preview = dry.out + dry.err;
    QVERIFY2(dry.exitCode == 0, qPrintable(preview));
    QVERIFY2(preview.contains("Would add: \\\\Project\\New plant\\7230/211-2 - [R-1] [R-2]"), qPrintable(preview));
    QVERIFY(preview.contains("Ch1.RangeEnd: '300.000' -> '250.000'"));
    QCOMPARE(preview.count("is open for reading only"), 1);
    QCOMPARE(Checksum(project), before);
    // The import says once that the project is read-only, and blames no row.
    const TestSupport::ToolRun run = Ctl({"import", project, list});
    const QString said = run.out + run.err;
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(said.count("is open for reading only"), 1);
    QVERIFY2(!said.contains("Line "), qPrintable(said));
    QCOMPARE(Checksum(project), before);
}

QTEST_GUILESS_MAIN(TestZelnorctlInstrumentList)
#include "test_zelnorctl_instrument_list.moc"
