#include "tool_test_support.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

using namespace ToolTest;

// A project that may only be read (a data link file with Mode=Read, a
// write-protected project file) opens: it is listed, shown, printed and
// copied from, and every command that would write is refused with one
// message, the file left as it was.
class TestReadOnlyProjects : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readingCommandsWorkAndWritingOnesAreRefused();
    void writeProtectedProjectFileOpensForReading();
    void writeProtectionHoldsForTheSuperuserToo();

private:
    QTemporaryDir m_dir;
    QString m_project;
    QString m_link;
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");
const QString kModule = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]");
const QString kRefusal = QStringLiteral("is open for reading only; nothing was changed.");
} // namespace

void TestReadOnlyProjects::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_project = NewProject(m_dir);
    QCOMPARE(Ctl({"add", m_project, "\\\\Project", "plant"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_project, kPlant, "7", "TT-101", "TT-102"}).exitCode, 0);
    m_link = m_dir.filePath("plant.udl");
    QFile file(m_link);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
               "Provider=SQLite;Data Source=plant.prj;Mode=Read\r\n");
}

void TestReadOnlyProjects::readingCommandsWorkAndWritingOnesAreRefused()
{
    const QByteArray before = Checksum(m_project);
    TestSupport::ToolRun run = Ctl({"tree", m_link});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(kModule), qPrintable(run.out));
    QCOMPARE(Ctl({"show", m_link, kModule}).exitCode, 0);
    const QString pdf = m_dir.filePath("plant.pdf");
    QCOMPARE(Ctl({"print", m_link, "--pdf", pdf}).exitCode, 0);
    QVERIFY(QFileInfo(pdf).size() > 1000);
    // Copied from into a project that may be written.
    const QString other = NewProject(m_dir, "other.prj");
    QCOMPARE(Ctl({"copy", m_link, kPlant, other, "\\\\Project"}).exitCode, 0);
    QCOMPARE(Scalar(other, "SELECT COUNT(*) FROM Equipments").toInt(), 1);

    const QList<QStringList> writers = {
        {"add", m_link, "\\\\Project", "plant"},
        {"add-module", m_link, kPlant, "7", "PT-1", "PT-2"},
        {"set", m_link, kModule, "--channel", "1", "RangeEnd=150"},
        {"delete", m_link, kPlant, "--yes"},
        {"multiply", m_link, kPlant, "--count", "2"},
        {"copy", other, kPlant, m_link, "\\\\Project"},
        {"copy", m_link, kPlant, other, "\\\\Project", "--move"},
    };
    for (const QStringList &args : writers) {
        run = Ctl(args);
        QVERIFY2(run.exitCode == 1, qPrintable(args.first() + ": " + run.err));
        QVERIFY2(run.err.contains(kRefusal), qPrintable(run.err));
        QCOMPARE(run.err.count(kRefusal), 1);
        QCOMPARE(Checksum(m_project), before);
    }
    const TestSupport::ToolRun ids = Projects({"next-id", m_link, "Signals"});
    QCOMPARE(ids.exitCode, 1);
    QVERIFY2(ids.err.contains(kRefusal), qPrintable(ids.err));
    QCOMPARE(Checksum(m_project), before);
}

void TestReadOnlyProjects::writeProtectedProjectFileOpensForReading()
{
    // The superuser writes into any file: the tool runs as nobody then.
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                          QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    const QString project = dir.filePath("protected.prj");
    QVERIFY(QFile::copy(m_project, project));
    QVERIFY(QFile::setPermissions(project, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = Checksum(project);
    const auto run = [](const QStringList &args) {
        if (geteuid() != 0)
            return Ctl(args);
        QProcess tool;
        tool.start(QStringLiteral("setpriv"), QStringList{"--reuid=65534", "--regid=65534", "--clear-groups",
                                                          QDir(TestSupport::binDirectory()).filePath("zelnorctl")} +
                                                  args);
        TestSupport::ToolRun result;
        if (tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit)
            result.exitCode = tool.exitCode();
        result.out = QString::fromUtf8(tool.readAllStandardOutput());
        result.err = QString::fromUtf8(tool.readAllStandardError());
        return result;
    };
    TestSupport::ToolRun result = run({"tree", project});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains(kModule), qPrintable(result.err));
    result = run({"add", project, "\\\\Project", "plant"});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(kRefusal), qPrintable(result.err));
    QCOMPARE(Checksum(project), before);
}

void TestReadOnlyProjects::writeProtectionHoldsForTheSuperuserToo()
{
    // The mode bits say what the owner meant, whoever runs the tool: the
    // superuser, whom the system would let write, is refused as well.
    QTemporaryDir dir;
    const QString project = dir.filePath("protected.prj");
    QVERIFY(QFile::copy(m_project, project));
    QVERIFY(QFile::setPermissions(project, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = Checksum(project);
    const QString list = dir.filePath("list.csv");
    QFile csv(list);
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("Module,Comment\r\n7230/211-2 - [TT-101] [TT-102],boiler\r\n");
    csv.close();
    const QList<QStringList> writers = {
        {"set", project, kModule, "--channel", "1", "RangeEnd=150"},
        {"add", project, "\\\\Project", "plant"},
        {"add-module", project, kPlant, "7", "PT-1", "PT-2"},
        {"delete", project, kPlant, "--yes"},
        {"copy", m_project, kPlant, project, "\\\\Project"},
        {"import", project, list},
    };
    for (const QStringList &args : writers) {
        const TestSupport::ToolRun run = Ctl(args);
        QVERIFY2(run.exitCode == 1, qPrintable(args.first() + ": " + run.out + run.err));
        QVERIFY2(run.err.count(kRefusal) == 1, qPrintable(args.first() + ": " + run.err));
        QVERIFY2(!run.err.contains("readonly database"), qPrintable(run.err));
        QCOMPARE(Checksum(project), before);
    }
    // Not replaced by a new project either.
    const TestSupport::ToolRun replaced = Ctl({"new", project, "--force"});
    QVERIFY(replaced.exitCode != 0);
    QVERIFY2(replaced.err.contains("is write-protected and was not replaced"), qPrintable(replaced.err));
    QCOMPARE(Checksum(project), before);
    QVERIFY(!(QFileInfo(project).permissions() & QFile::WriteOwner));
}

QTEST_GUILESS_MAIN(TestReadOnlyProjects)
#include "test_read_only_projects.moc"
