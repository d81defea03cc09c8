#include "tool_test_support.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QtTest>

using namespace ToolTest;

// Files, cells and texts made to trip the tools: each case is refused with a
// message that names what is wrong and leaves every file as it was, or it
// succeeds completely.
class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reportsNeverReplaceProjectsOrForeignFiles();
    void pipesNamedAsProjectsAreRefusedAtOnce_data();
    void pipesNamedAsProjectsAreRefusedAtOnce();
    void numberCellsThatDoNotFitLeaveTheirRowsOut_data();
    void numberCellsThatDoNotFitLeaveTheirRowsOut();
    void textOutsideTheBasicPlaneReadsBackWhole();
    void directionControlsAreRefusedAndShownEscaped();
    void refusedAddLeavesTheFileByteForByte();
    void copiesNeverStoreNamesTheModuleDialogRefuses_data();
    void copiesNeverStoreNamesTheModuleDialogRefuses();

private:
    QTemporaryDir m_dir;
    QString m_template; // one plant with one two-channel module
    QString Fresh(const QString &name);
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");
const QString kModule = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]");

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
}

QByteArray Head(const QString &path, int size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}
} // namespace

void TestHostileFiles::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_template = NewProject(m_dir, QStringLiteral("template.prj"));
    QCOMPARE(Ctl({"add", m_template, "\\\\Project", "plant"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_template, kPlant, "7", "TT-101", "TT-102"}).exitCode, 0);
}

QString TestHostileFiles::Fresh(const QString &name)
{
    const QString folder = m_dir.filePath(name);
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("plant.prj"));
    QFile::remove(path);
    if (!QFile::copy(m_template, path))
        qWarning("cannot copy the template project");
    return path;
}

void TestHostileFiles::reportsNeverReplaceProjectsOrForeignFiles()
{
    const QString project = Fresh("print");
    const QString folder = QFileInfo(project).absolutePath();
    const QString other = QDir(folder).filePath("other.prj");
    QVERIFY(QFile::copy(m_template, other));
    const QString notes = QDir(folder).filePath("notes.txt");
    WriteFile(notes, "TT-101 calibrated\n");
    const QByteArray projectBefore = Checksum(project);
    const QByteArray otherBefore = Checksum(other);

    for (const QString &target : {project, other, QDir(folder).filePath("PLANT.PRJ")}) {
        const TestSupport::ToolRun run = Ctl({"print", project, "--pdf", target, "--force"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("is not overwritten"), qPrintable(run.err));
    }
    TestSupport::ToolRun run = Ctl({"print", project, "--pdf", notes});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("give --force to replace it"), qPrintable(run.err));
    QCOMPARE(Head(notes, 100), QByteArray("TT-101 calibrated\n"));
    QCOMPARE(Checksum(project), projectBefore);
    QCOMPARE(Checksum(other), otherBefore);

    // A PDF is replaced, another file with --force; nothing is left beside.
    const QString pdf = QDir(folder).filePath("plant.pdf");
    WriteFile(pdf, "%PDF-1.4\nold report\n");
    QCOMPARE(Ctl({"print", project, "--pdf", pdf}).exitCode, 0);
    QVERIFY(QFileInfo(pdf).size() > 1000);
    run = Ctl({"print", project, "--pdf", notes, "--force"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(Head(notes, 5), QByteArray("%PDF-"));
    QCOMPARE(FilesIn(folder), QStringList({"notes.txt", "other.prj", "plant.pdf", "plant.prj"}));
    QCOMPARE(Checksum(project), projectBefore);
}

void TestHostileFiles::pipesNamedAsProjectsAreRefusedAtOnce_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("pipe");
    QTest::newRow("project file") << "pipe.prj" << "pipe.prj";
    QTest::newRow("data link file") << "pipe.udl" << "pipe.udl";
    QTest::newRow("data source of a data link file") << "plant.udl" << "pipe.prj";
}

void TestHostileFiles::pipesNamedAsProjectsAreRefusedAtOnce()
{
    QFETCH(QString, opened);
    QFETCH(QString, pipe);
    QTemporaryDir dir;
    QCOMPARE(QProcess::execute("mkfifo", {dir.filePath(pipe)}), 0);
    WriteFile(dir.filePath("plant.udl"), "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                                         "Provider=SQLite;Data Source=pipe.prj\r\n");
    for (const QStringList &args : {QStringList{"tree", dir.filePath(opened)},
                                    QStringList{"add", dir.filePath(opened), "\\\\Project", "plant"}}) {
        const TestSupport::ToolRun run = Ctl(args, 20000);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("pipe." + QFileInfo(pipe).suffix() + "' is not a plain file"), qPrintable(run.err));
    }
    QVERIFY(!QFileInfo(dir.filePath(pipe)).isFile());
    QCOMPARE(FilesIn(dir.path()), QStringList({"pipe.prj", "plant.udl"}).contains(pipe)
                                      ? QStringList({"pipe.prj", "plant.udl"})
                                      : QStringList({"pipe.udl", "plant.udl"}));
}

void TestHostileFiles::numberCellsThatDoNotFitLeaveTheirRowsOut_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("signal reference past 32 bits")
        << "UPDATE Modules7230_2 SET Ch1SignalID = 4294967396" << QStringList{"set", "", kModule, "--channel", "1", "RangeEnd=150"}
        << "of Modules7230_2: column Ch1SignalID holds '4294967396'" << 1;
    QTest::newRow("parent that is no number")
        << "UPDATE Modules7230_2 SET ParentID = 'zz'" << QStringList{"tree", ""} << "of Modules7230_2: column ParentID holds 'zz'"
        << 0;
    QTest::newRow("fraction") << "UPDATE Modules7230_2 SET ModulTypID = 7.5" << QStringList{"show", "", kModule}
                              << "of Modules7230_2: column ModulTypID holds '7.5'" << 1;
}

void TestHostileFiles::numberCellsThatDoNotFitLeaveTheirRowsOut()
{
    // A cell that fits no 32-bit number is never read as some other row's
    // identifier: its row is left out, named in the log, with the signals
    // of its module, and the project can only be read.
    QFETCH(QString, damage);
    QFETCH(QStringList, args);
    QFETCH(QString, cell);
    QFETCH(int, exitCode);
    const QString project = Fresh(QStringLiteral("cells_") + QTest::currentDataTag());
    Exec(project, damage);
    const QString rowId = Scalar(project, "SELECT ID FROM Modules7230_2").toString();
    const QByteArray before = Checksum(project);
    args[1] = project;
    const TestSupport::ToolRun run = Ctl(args);
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains("Left out: row " + rowId + ' ' + cell + "."), qPrintable(run.out));
    QVERIFY2(run.err.contains("holds 1 damaged cells"), qPrintable(run.err));
    // tree lists no signal of a module it could not place.
    QVERIFY2(!run.out.contains("TT-101"), qPrintable(run.out));
    QCOMPARE(Checksum(project), before);
}

void TestHostileFiles::textOutsideTheBasicPlaneReadsBackWhole()
{
    const QString project = Fresh("emoji");
    QString name;
    for (int i = 0; i < 47; ++i)
        name += QString::fromUcs4(U"\U0001F3ED");
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant", name}).exitCode, 0);
    const TestSupport::ToolRun tree = Ctl({"tree", project});
    QCOMPARE(tree.exitCode, 0);
    QVERIFY2(tree.out.contains("\\\\Project\\" + name + "\n"), qPrintable(tree.out));
    // The plant can be addressed by the name it was given.
    const TestSupport::ToolRun add = Ctl({"add", project, "\\\\Project\\" + name, "cabinet", "Cabinet1"});
    QCOMPARE(add.exitCode, 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Racks").toInt(), 1);
    // One letter more than the column holds is refused, not cut.
    const QByteArray before = Checksum(project);
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant", QString::fromUcs4(U"\U0001F3ED").repeated(51)}).exitCode, 1);
    QCOMPARE(Checksum(project), before);
}

void TestHostileFiles::directionControlsAreRefusedAndShownEscaped()
{
    const QString project = Fresh("bidi");
    const QByteArray before = Checksum(project);
    for (const char16_t control : {u'\u202e', u'\u2066', u'\u200f'}) {
        const QString name = QStringLiteral("Boiler") + QChar(control) + QStringLiteral("exe.txt");
        TestSupport::ToolRun run = Ctl({"add", project, "\\\\Project", "plant", name});
        QCOMPARE(run.exitCode, 1);
        run = Ctl({"add-module", project, kPlant, "7", "TT" + QString(QChar(control)) + "-1", "TT-2"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(Checksum(project), before);
    }
    // One stored by another program is printed escaped, never raw.
    Exec(project, QString::fromUtf8("UPDATE Equipments SET Name = 'Plant\u202e1'"));
    const TestSupport::ToolRun tree = Ctl({"tree", project});
    QCOMPARE(tree.exitCode, 0);
    QVERIFY2(tree.out.contains("\\\\Project\\Plant\\u202e1"), qPrintable(tree.out));
    QVERIFY(!tree.out.contains(QChar(u'\u202e')));
}

void TestHostileFiles::refusedAddLeavesTheFileByteForByte()
{
    const QString project = Fresh("counter");
    Exec(project, "UPDATE IDSequences SET ID = 'abc' WHERE SeqName = 'Equipments'");
    const QByteArray before = Checksum(project);
    for (const QStringList &args : {QStringList{"add", project, "\\\\Project", "plant"},
                                    QStringList{"add", project, "\\\\Project", "plant", "Boiler"}}) {
        const TestSupport::ToolRun run = Ctl(args);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("counter of sequence 'Equipments'"), qPrintable(run.err));
        QCOMPARE(Checksum(project), before);
    }
}

void TestHostileFiles::copiesNeverStoreNamesTheModuleDialogRefuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("copy") << QStringList{"copy", "", kModule, "", kPlant};
    QTest::newRow("multiply") << QStringList{"multiply", "", kModule, "--count", "3"};
}

void TestHostileFiles::copiesNeverStoreNamesTheModuleDialogRefuses()
{
    QFETCH(QStringList, args);
    const QString project = Fresh(QStringLiteral("names_") + QTest::currentDataTag());
    // The names the signal counter proposes next are taken already.
    const int counter = Scalar(project, "SELECT Option1 FROM ProjectOptions WHERE ID = 1").toInt();
    const QString taken = QStringLiteral("S%1_CH").arg(counter, 3, 10, QChar('0'));
    QCOMPARE(Ctl({"add-module", project, kPlant, "7", taken + "1", taken + "2"}).exitCode, 0);
    Exec(project, QStringLiteral("UPDATE ProjectOptions SET Option1 = %1 WHERE ID = 1").arg(counter));
    for (QString &arg : args)
        if (arg.isEmpty())
            arg = project;
    for (int round = 0; round < 2; ++round) {
        const TestSupport::ToolRun run = Ctl(args);
        QVERIFY2(run.exitCode == 0 || run.exitCode == 1, qPrintable(run.err));
    }
    const QVariantList names = Column(project, "SELECT Name FROM Signals WHERE ParentID <> 0");
    QSet<QString> distinct;
    for (const QVariant &name : names)
        distinct.insert(name.toString().toLower());
    QCOMPARE(distinct.size(), names.size());
    QVERIFY(Inconsistencies(project).isEmpty());
    // The copies were made, under the next free names.
    QVERIFY2(names.size() > 4, qPrintable(QString::number(names.size())));
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
