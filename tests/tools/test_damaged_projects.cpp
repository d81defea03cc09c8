#include "tool_test_support.h"

#include <QDir>
#include <QtTest>

using namespace ToolTest;

// A project file whose number cells another program filled with texts or
// fractions: it opens for reading only without the rows that hold them,
// each named in the log, so that the rest can still be shown, printed and
// exported; zelnorctl repair lists the damaged cells and sets them right in
// a new copy, never in the project itself.
class TestDamagedProjects : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void aDamagedProjectOpensForReadingWithoutItsDamagedRows();
    void repairListsTheDamagedCells();
    void repairRefusesWhatItCannotSetAndWritesNothing();
    void repairSetsTheCellsInACopyThatOpensForWriting();

private:
    // A copy of the template with the signal RangeEnd of TT-101 holding a
    // text and the RangeBegin of PT-1 a fraction.
    QString Damaged(const QString &name);

    QTemporaryDir m_dir;
    QString m_template;
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");
const QString kDamagedModule = QStringLiteral("7230/211-2 - [TT-101] [TT-102]");
const QString kSoundModule = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [PT-1] [PT-2]");

QString SignalId(const QString &project, const QString &name)
{
    return Scalar(project, QStringLiteral("SELECT ID FROM Signals WHERE Name = '%1'").arg(name)).toString();
}

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
} // namespace

void TestDamagedProjects::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_template = NewProject(m_dir, QStringLiteral("template.prj"));
    QCOMPARE(Ctl({"add", m_template, "\\\\Project", "plant"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_template, kPlant, "7", "TT-101", "TT-102"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_template, kPlant, "7", "PT-1", "PT-2"}).exitCode, 0);
}

QString TestDamagedProjects::Damaged(const QString &name)
{
    const QString folder = m_dir.filePath(name);
    QDir().mkpath(folder);
    const QString project = QDir(folder).filePath(QStringLiteral("plant.prj"));
    QFile::copy(m_template, project);
    Exec(project, "UPDATE Signals SET RangeEnd = 'abc' WHERE Name = 'TT-101'");
    Exec(project, "UPDATE Signals SET RangeBegin = 1.5 WHERE Name = 'PT-1'");
    return project;
}

void TestDamagedProjects::aDamagedProjectOpensForReadingWithoutItsDamagedRows()
{
    const QString project = Damaged(QStringLiteral("open"));
    Exec(project, "UPDATE Signals SET RangeBegin = 0 WHERE Name = 'PT-1'");
    const QString signal = SignalId(project, "TT-101");
    const QString module = Scalar(project, "SELECT ID FROM Modules7230_2 WHERE Ch1SignalID = " + signal).toString();
    const QByteArray before = Checksum(project);

    const TestSupport::ToolRun tree = Ctl({"tree", project});
    QCOMPARE(tree.exitCode, 0);
    QVERIFY2(tree.err.contains(QStringLiteral("The project '%1' holds 1 damaged cells").arg(project)) &&
                 tree.err.contains("It is open for reading only"),
             qPrintable(tree.err));
    // The damaged signal goes, its module with it, the module's other
    // signal with the module; each is named.
    QVERIFY2(tree.out.contains(QStringLiteral("Left out: row %1 of Signals: column RangeEnd holds 'abc'.").arg(signal)),
             qPrintable(tree.out));
    QVERIFY2(tree.out.contains(QStringLiteral("Left out with row %1 of Signals: row %2 of Modules7230_2.").arg(signal, module)),
             qPrintable(tree.out));
    QVERIFY2(tree.out.contains(QStringLiteral("Left out with row %1 of Modules7230_2: row %2 of Signals.")
                                   .arg(module, SignalId(project, "TT-102"))),
             qPrintable(tree.out));
    QVERIFY2(tree.out.contains(kSoundModule) && !tree.out.contains(kDamagedModule), qPrintable(tree.out));

    // The rest is printed and exported; nothing is written.
    const QString pdf = m_dir.filePath("damaged.pdf");
    QCOMPARE(Ctl({"print", project, "--pdf", pdf}).exitCode, 0);
    QVERIFY(QFileInfo(pdf).size() > 1000);
    const QString csv = m_dir.filePath("damaged.csv");
    QCOMPARE(Ctl({"export", project, "--csv", csv}).exitCode, 0);
    QFile list(csv);
    QVERIFY(list.open(QIODevice::ReadOnly));
    const QByteArray rows = list.readAll();
    QVERIFY2(rows.contains("PT-1") && !rows.contains("TT-101"), rows.constData());
    const TestSupport::ToolRun add = Ctl({"add", project, "\\\\Project", "plant"});
    QCOMPARE(add.exitCode, 1);
    QVERIFY2(add.err.contains("is open for reading only; nothing was changed."), qPrintable(add.err));
    QCOMPARE(Checksum(project), before);
}

void TestDamagedProjects::repairListsTheDamagedCells()
{
    const QString project = Damaged(QStringLiteral("list"));
    const QByteArray before = Checksum(project);
    const TestSupport::ToolRun run = Ctl({"repair", project, "--list"});
    QCOMPARE(run.exitCode, 0);
    // Only the cells on the standard output, in the order of their rows.
    const QString tt = SignalId(project, "TT-101");
    const QString pt = SignalId(project, "PT-1");
    const QString first = QStringLiteral("row %1 of Signals: column RangeEnd holds 'abc'\n").arg(tt);
    const QString second = QStringLiteral("row %1 of Signals: column RangeBegin holds '1.5'\n").arg(pt);
    QCOMPARE(run.out, tt.toInt() < pt.toInt() ? first + second : second + first);
    QCOMPARE(Checksum(project), before);

    const TestSupport::ToolRun sound = Ctl({"repair", m_template, "--list"});
    QCOMPARE(sound.exitCode, 0);
    QCOMPARE(sound.out, QStringLiteral("The project '%1' holds no damaged cell.\n").arg(m_template));
    QCOMPARE(Ctl({"repair", project}).exitCode, 2);
    QCOMPARE(Ctl({"repair", project, "--list", "--set", "Signals", tt, "RangeEnd=1"}).exitCode, 2);
}

void TestDamagedProjects::repairRefusesWhatItCannotSetAndWritesNothing()
{
    const QString project = Damaged(QStringLiteral("refused"));
    const QString folder = QFileInfo(project).absolutePath();
    const QString tt = SignalId(project, "TT-101");
    QFile::copy(m_template, QDir(folder).filePath("other.prj"));
    QVERIFY(QDir(folder).mkdir("folder.prj"));
    const QStringList files = FilesIn(folder);
    const QByteArray before = Checksum(project);
    const QList<QPair<QStringList, QString>> refused = {
        {{"--set", "Signals", tt, "RangeBegin=5"},
         QStringLiteral("Column RangeBegin of row %1 of Signals is not damaged; only damaged cells are set.").arg(tt)},
        {{"--set", "Signals", tt, "RangeEnd=2147483648"}, "'2147483648' is no whole number from -2147483648 to 2147483647."},
        {{"--set", "Signals", tt, "RangeEnd=abc"}, "'abc' is no whole number"},
        {{"--set", "Signals", tt, "RangeEnd=1", "--copy", QDir(folder).filePath("other.prj")}, "is a project file"},
        {{"--set", "Signals", tt, "RangeEnd=1", "--copy", project}, "is the open project"},
        {{"--set", "Signals", tt, "RangeEnd=1", "--copy", QDir(folder).filePath("folder.prj")}, "is a folder"},
        {{"--set", "Signals", tt, "RangeEnd=1", "--copy", QDir(folder).filePath("notes.txt")}, "must be named *.prj"},
    };
    for (const auto &[options, refusal] : refused) {
        const TestSupport::ToolRun run = Ctl(QStringList{"repair", project} + options);
        QVERIFY2(run.exitCode == 1, qPrintable(options.join(' ') + ": " + run.err));
        QVERIFY2(run.err.contains(refusal), qPrintable(run.err));
    }
    QCOMPARE(FilesIn(folder), files);
    QCOMPARE(Checksum(project), before);
}

void TestDamagedProjects::repairSetsTheCellsInACopyThatOpensForWriting()
{
    const QString project = Damaged(QStringLiteral("set"));
    const QString folder = QFileInfo(project).absolutePath();
    const QString tt = SignalId(project, "TT-101");
    const QString pt = SignalId(project, "PT-1");
    const QByteArray before = Checksum(project);
    // One cell set: the copy takes the default name and still holds the other.
    const QString halfway = QDir(folder).filePath("plant-repaired.prj");
    TestSupport::ToolRun run = Ctl({"repair", project, "--set", "signals", tt, "rangeend=150000"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("The repaired copy '%1' was written with 1 cells set.").arg(halfway)),
             qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("It still holds 1 damaged cells:\nrow %1 of Signals: column RangeBegin "
                                             "holds '1.5'\n")
                                  .arg(pt)),
             qPrintable(run.out));
    QCOMPARE(Checksum(project), before);
    QCOMPARE(Scalar(halfway, "SELECT RangeEnd FROM Signals WHERE ID = " + tt).toInt(), 150000);
    // A second run on the copy sets the rest; the result opens for writing.
    const QString repaired = QDir(folder).filePath("fixed.prj");
    run = Ctl({"repair", halfway, "--set", "Signals", pt, "RangeBegin=0", "--copy", repaired});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains("It holds no damaged cell and opens for writing."), qPrintable(run.out));
    const TestSupport::ToolRun tree = Ctl({"tree", repaired});
    QCOMPARE(tree.exitCode, 0);
    QVERIFY2(tree.out.contains(kDamagedModule) && !tree.err.contains("damaged"), qPrintable(tree.out + tree.err));
    QCOMPARE(Ctl({"add", repaired, "\\\\Project", "plant"}).exitCode, 0);
    QVERIFY(Inconsistencies(repaired).isEmpty());
    QVERIFY(QFileInfo(repaired).permissions() & QFile::WriteOwner);
    // Both cells at once, into a new copy of the original.
    const QString both = QDir(folder).filePath("both.prj");
    run = Ctl({"repair", project, "--set", "Signals", tt, "RangeEnd=150000", "--set", "Signals", pt, "RangeBegin=0",
               "--copy", both});
    QVERIFY2(run.exitCode == 0 && run.out.contains("with 2 cells set"), qPrintable(run.out + run.err));
    QCOMPARE(Ctl({"repair", both, "--list"}).out, QStringLiteral("The project '%1' holds no damaged cell.\n").arg(both));
}

QTEST_GUILESS_MAIN(TestDamagedProjects)
#include "test_damaged_projects.moc"
