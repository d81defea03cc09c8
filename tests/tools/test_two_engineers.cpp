#include "db/pg_server.h"
#include "tool_test_support.h"

#include "db/project_copy.h"
#include "db/project_database.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ToolTest;

// Two engineers on one project, each a process of its own: the one who
// stores later never silently undoes what the other stored. A field changed
// elsewhere since an edit began refuses that edit whole and names the field;
// a change to another field of the same item is kept beside the edit; a
// delete of an item changed or deleted elsewhere is refused. Once on one
// SQLite file, once on a PostgreSQL server.
class TestTwoEngineers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void sameFieldChangedElsewhereRefusesTheApply_data() { Backends(); }
    void sameFieldChangedElsewhereRefusesTheApply();
    void otherFieldChangedElsewhereIsKept_data() { Backends(); }
    void otherFieldChangedElsewhereIsKept();
    void formEditOfAnItemChangedOrDeletedElsewhere_data() { Backends(); }
    void formEditOfAnItemChangedOrDeletedElsewhere();
    void deleteOfAnItemChangedElsewhereIsRefused_data();
    void deleteOfAnItemChangedElsewhereIsRefused();
    void multiplyIntoACabinetDeletedElsewhereStops_data() { Backends(); }
    void multiplyIntoACabinetDeletedElsewhereStops();
    void multiplyWaitingOnItsOutputLetsOthersWrite_data() { Backends(); }
    void multiplyWaitingOnItsOutputLetsOthersWrite();
    void importIntoACabinetDeletedElsewhereWritesNothing_data() { Backends(); }
    void importIntoACabinetDeletedElsewhereWritesNothing();

private:
    void Backends();
    // A project with one plant and one module, as a file or on the server.
    QString Project();

    QTemporaryDir m_dir;
    QString m_template;
    PgTestServer m_server;
    int m_databases = 0;
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");
const QString kModule = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]");

// The other engineer's program, stopped after its edit began.
class EditSession {
public:
    EditSession(const QString &project, const QStringList &edit)
    {
        m_process.setProgram(QDir(TestSupport::binDirectory()).filePath("edit_session"));
        m_process.setArguments(QStringList{project} + edit);
        m_process.start();
    }
    ~EditSession()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    bool began()
    {
        QByteArray seen;
        return TestSupport::waitForOutput(m_process, seen, "began", 60000);
    }
    // Lets it store its edit; its exit code.
    int store()
    {
        m_process.write("go\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(60000))
            return -1;
        m_err = QString::fromUtf8(m_process.readAllStandardError());
        return m_process.exitCode();
    }
    const QString &err() const { return m_err; }

private:
    QProcess m_process;
    QString m_err;
};

// A statement run by this process, the second engineer.
QVariant Run(const QString &project, const QString &statement)
{
    ProjectDatabase database;
    if (!database.OpenFile(project, database.OpenUser(), database.OpenPassword()))
        return QStringLiteral("cannot open");
    QSqlQuery query = database.Session()->NewQuery();
    std::vector<ProviderErrorRecord> error;
    if (!database.Session()->Execute(query, statement, &error))
        return QStringLiteral("failed: ") + (error.empty() ? QString() : error.front().description);
    return query.next() ? query.value(0) : QVariant();
}

// What stands of the cabinet C that another program deleted: its row, the
// modules in it and the signals beside the plant's two.
QString LeftOfTheCabinet(const QString &project)
{
    return QStringLiteral("%1 cabinets, %2 modules, %3 signals")
        .arg(Run(project, "SELECT COUNT(*) FROM Racks").toString(),
             Run(project, "SELECT COUNT(*) FROM Modules7230_3").toString(),
             Run(project, "SELECT COUNT(*) FROM Signals").toString());
}
const QString kNothingLeft = QStringLiteral("0 cabinets, 0 modules, 2 signals");

QString RangeEnd(const QString &project)
{
    return Run(project, "SELECT [RangeEnd] FROM Signals WHERE [ID] = (SELECT [Ch1SignalID] FROM Modules7230_2)")
        .toString();
}
} // namespace

void TestTwoEngineers::initTestCase()
{
    TestSupport::useBuiltProgramPaths();
    TestSupport::loadEnglish();
    QVERIFY(m_dir.isValid());
    m_template = NewProject(m_dir, "template.prj");
    QCOMPARE(Ctl({"add", m_template, "\\\\Project", "plant"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_template, kPlant, "7", "TT-101", "TT-102"}).exitCode, 0);
    QString error;
    if (!m_server.start(&error))
        QFAIL(qPrintable("The PostgreSQL test server cannot be started: " + error));
}

void TestTwoEngineers::cleanupTestCase()
{
    m_server.stop();
}

void TestTwoEngineers::Backends()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("one SQLite file") << false;
    QTest::newRow("PostgreSQL server") << true;
}

QString TestTwoEngineers::Project()
{
    QFETCH(bool, server);
    const QString name = QStringLiteral("project%1").arg(++m_databases);
    const QString file = m_dir.filePath(name + ".prj");
    QFile::copy(m_template, file);
    if (!server)
        return file;
    QString error;
    if (!m_server.createDatabase(name, &error))
        qWarning("%s", qPrintable(error));
    ConnectionProperties properties;
    properties.setValue("Provider", "PostgreSQL");
    properties.setValue("Data Source", m_server.dataSource());
    properties.setValue("Initial Catalog", name);
    properties.setValue("User ID", m_server.user());
    properties.setValue("Password", m_server.password());
    const QString link = m_dir.filePath(name + ".udl");
    ProjectServerCopy copy;
    if (!copy.run(file, properties, link))
        qWarning("%s", qPrintable(copy.errorText()));
    return link;
}

void TestTwoEngineers::sameFieldChangedElsewhereRefusesTheApply()
{
    const QString project = Project();
    const QString shown = RangeEnd(project);
    EditSession first(project, {kModule, "set", "1", "RangeEnd=150"});
    QVERIFY(first.began());
    const TestSupport::ToolRun second = Ctl({"set", project, kModule, "--channel", "1", "RangeEnd=200"});
    QVERIFY2(second.exitCode == 0, qPrintable(second.err));
    const QString theirs = RangeEnd(project);
    QVERIFY(theirs != shown);

    QCOMPARE(first.store(), 1);
    QCOMPARE(RangeEnd(project), theirs);
    QVERIFY2(first.err().contains("was changed by another program since its edit began"), qPrintable(first.err()));
    QVERIFY2(first.err().contains(QStringLiteral("RangeEnd: shown '%1', stored now '%2', yours '").arg(shown, theirs)),
             qPrintable(first.err()));
    QVERIFY2(first.err().contains("read again"), qPrintable(first.err()));
}

void TestTwoEngineers::otherFieldChangedElsewhereIsKept()
{
    const QString project = Project();
    const QString shown = RangeEnd(project);
    EditSession first(project, {kModule, "set", "1", "RangeEnd=150"});
    QVERIFY(first.began());
    Run(project, "UPDATE Modules7230_2 SET [Description] = 'set elsewhere'");
    QCOMPARE(first.store(), 0);
    QCOMPARE(Run(project, "SELECT [Description] FROM Modules7230_2").toString(), QString("set elsewhere"));
    QVERIFY(RangeEnd(project) != shown);
}

void TestTwoEngineers::formEditOfAnItemChangedOrDeletedElsewhere()
{
    const QString project = Project();
    {
        EditSession first(project, {kPlant, "describe", "Boiler house"});
        QVERIFY(first.began());
        Run(project, "UPDATE Equipments SET [Description] = 'Turbine hall'");
        QCOMPARE(first.store(), 1);
        QCOMPARE(Run(project, "SELECT [Description] FROM Equipments").toString(), QString("Turbine hall"));
        QVERIFY2(first.err().contains("Description: shown '', stored now 'Turbine hall', yours 'Boiler house'"),
                 qPrintable(first.err()));
        // The form shows what is stored now.
        QVERIFY2(first.err().contains("shown: Turbine hall"), qPrintable(first.err()));
    }
    EditSession first(project, {kPlant, "describe", "Boiler house"});
    QVERIFY(first.began());
    const TestSupport::ToolRun second = Ctl({"delete", project, kPlant, "--yes"});
    QVERIFY2(second.exitCode == 0, qPrintable(second.err));
    QCOMPARE(first.store(), 1);
    QVERIFY2(first.err().contains("was deleted by another program meanwhile"), qPrintable(first.err()));
    QVERIFY2(first.err().contains("shown: gone"), qPrintable(first.err()));
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Equipments").toInt(), 0);
}

void TestTwoEngineers::deleteOfAnItemChangedElsewhereIsRefused_data()
{
    // A plant goes with its module, a module with its signals: neither goes
    // when another program changed it after it was read.
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("table");
    for (const bool server : {false, true}) {
        const char *backend = server ? "PostgreSQL server" : "one SQLite file";
        QTest::addRow("%s, a plant", backend) << server << kPlant << "Equipments";
        QTest::addRow("%s, a module", backend) << server << kModule << "Modules7230_2";
    }
}

void TestTwoEngineers::deleteOfAnItemChangedElsewhereIsRefused()
{
    QFETCH(QString, item);
    QFETCH(QString, table);
    const QString project = Project();
    EditSession first(project, {item, "delete"});
    QVERIFY(first.began());
    Run(project, QStringLiteral("UPDATE %1 SET [Description] = 'still in use'").arg(table));
    QCOMPARE(first.store(), 1);
    QVERIFY2(first.err().contains("was changed by another program since it was read and was not deleted"),
             qPrintable(first.err()));
    QVERIFY2(first.err().contains("Description: read '', stored now 'still in use'"), qPrintable(first.err()));
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Equipments").toInt(), 1);
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Modules7230_2").toInt(), 1);
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Signals").toInt(), 2);
}

void TestTwoEngineers::multiplyIntoACabinetDeletedElsewhereStops()
{
    // One engineer multiplies a module of a cabinet a thousand times while
    // the other deletes the cabinet: the delete goes through, the multiply
    // stops saying how far it got and fails, and nothing is left without its
    // parent.
    const QString project = Project();
    const QString cabinet = kPlant + "\\C";
    QCOMPARE(Ctl({"add", project, kPlant, "cabinet", "C"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", project, cabinet, "7", "TT-201", "TT-202"}).exitCode, 0);
    QProcess multiply;
    multiply.setProgram(QDir(TestSupport::binDirectory()).filePath("zelnorctl"));
    multiply.setArguments({"multiply", project, cabinet + "\\7230/211-2 - [TT-201] [TT-202]", "--count", "1000"});
    multiply.start();
    QByteArray seen;
    // A copy's log line is written once its group is stored.
    QVERIFY2(TestSupport::waitForOutput(multiply, seen, "was copied.", 120000), seen.constData());
    const TestSupport::ToolRun deletion = Ctl({"delete", project, cabinet, "--yes"});
    QVERIFY2(deletion.exitCode == 0, qPrintable(deletion.err));
    QVERIFY(multiply.waitForFinished(600000));
    const QString err = QString::fromUtf8(multiply.readAllStandardError());
    QCOMPARE(multiply.exitCode(), 1);
    static const QRegularExpression stopped(
        QStringLiteral("(\\d+) of 1000 copies were made; the cabinet '%1' was deleted by another program.")
            .arg(QRegularExpression::escape(cabinet)));
    const QRegularExpressionMatch match = stopped.match(err);
    QVERIFY2(match.hasMatch(), qPrintable(err));
    QVERIFY(match.captured(1).toInt() < 1000);
    QVERIFY(!QString::fromUtf8(multiply.readAllStandardOutput()).contains("successfuly inserted"));
    // Nothing of the cabinet stays: no module, no signal of one.
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Racks").toInt(), 0);
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Modules7230_3").toInt(), 0);
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Signals WHERE [ID] NOT IN (SELECT [Ch1SignalID] FROM Modules7230_2 "
                          "UNION SELECT [Ch2SignalID] FROM Modules7230_2)")
                 .toInt(),
             0);
    QCOMPARE(Run(project, "SELECT COUNT(*) FROM Signals").toInt(), 2);
}

void TestTwoEngineers::multiplyWaitingOnItsOutputLetsOthersWrite()
{
    // The multiply's lines go to a pipe that is read only later: the
    // program waits on writing them, but never while it holds the project,
    // so that the other engineer's delete goes through meanwhile.
    const QString project = Project();
    const QString cabinet = kPlant + "\\C";
    QCOMPARE(Ctl({"add", project, kPlant, "cabinet", "C"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", project, cabinet, "7", "TT-201", "TT-202"}).exitCode, 0);
    const QString pipe = m_dir.filePath(QStringLiteral("output%1").arg(m_databases));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    // A small pipe fills after a few lines.
    ::fcntl(reader, F_SETPIPE_SZ, 4096);
    QProcess multiply;
    multiply.setStandardOutputFile(pipe);
    multiply.start(QDir(TestSupport::binDirectory()).filePath("zelnorctl"),
                   {"multiply", project, cabinet + "\\7230/211-2 - [TT-201] [TT-202]", "--count", "1000"});
    QVERIFY(multiply.waitForStarted());
    // Full: what the pipe holds no longer grows.
    int held = 0;
    int before = -1;
    QDeadlineTimer deadline(120000);
    while ((held != before || held == 0) && !deadline.hasExpired()) {
        before = held;
        QThread::msleep(500);
        ::ioctl(reader, FIONREAD, &held);
    }
    QVERIFY2(held > 0 && multiply.state() == QProcess::Running, "the multiply never waited on its output");
    const TestSupport::ToolRun deletion = Ctl({"delete", project, cabinet, "--yes"});
    QVERIFY2(deletion.exitCode == 0, qPrintable(deletion.err));
    // Read now: the multiply goes on, finds its cabinet gone and stops.
    char buffer[4096];
    while (::read(reader, buffer, sizeof buffer) != 0 && !multiply.waitForFinished(10)) {
    }
    ::close(reader);
    QVERIFY(multiply.state() == QProcess::NotRunning || multiply.waitForFinished(60000));
    QCOMPARE(multiply.exitCode(), 1);
    QVERIFY2(QString::fromUtf8(multiply.readAllStandardError()).contains("was deleted by another program"),
             "the multiply did not say why it stopped");
    QCOMPARE(LeftOfTheCabinet(project), kNothingLeft);
}

void TestTwoEngineers::importIntoACabinetDeletedElsewhereWritesNothing()
{
    // The first engineer's program has the cabinet in its tree when the
    // second one deletes it; the instrument list that names the cabinet is
    // then not imported at all, and nothing is left without its parent.
    const QString project = Project();
    const QString cabinet = kPlant + "\\C";
    QCOMPARE(Ctl({"add", project, kPlant, "cabinet", "C"}).exitCode, 0);
    const QString list = m_dir.filePath(QStringLiteral("list%1.csv").arg(m_databases));
    QFile csv(list);
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("Plant,Cabinet,Type,Ch1.Name,Ch2.Name\r\n"
              "Plant1,C,Z 7230/211-2,PT-1,PT-2\r\n"
              "Plant1,C,Z 7230/211-2,PT-3,PT-4\r\n");
    csv.close();
    EditSession first(project, {cabinet, "import", list});
    QVERIFY(first.began());
    const TestSupport::ToolRun deletion = Ctl({"delete", project, cabinet, "--yes"});
    QVERIFY2(deletion.exitCode == 0, qPrintable(deletion.err));
    QCOMPARE(first.store(), 1);
    QVERIFY2(first.err().contains(
                 QStringLiteral("None of the 2 rows was imported; the cabinet '%1' was deleted by another program.")
                     .arg(cabinet)),
             qPrintable(first.err()));
    QCOMPARE(LeftOfTheCabinet(project), kNothingLeft);
}

QTEST_GUILESS_MAIN(TestTwoEngineers)
#include "test_two_engineers.moc"
