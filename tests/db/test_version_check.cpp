#include "db/data_error.h"
#include "db/db_test_support.h"
#include "db/table_level.h"
#include "db/version_check.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A reference database of a program in a folder of its own, made from the
// built one with the version and upgrade scripts a test needs.
class Reference {
public:
    Reference()
    {
        const QString built = AppPaths::referenceDatabasePath();
        m_program = m_dir.filePath("zw-program");
        QFile::copy(built, m_dir.filePath("zw-program.vor"));
        QFile::setPermissions(m_dir.filePath("zw-program.vor"), QFile::ReadOwner | QFile::WriteOwner);
        AppPaths::setProgramFile(m_program);
    }
    ~Reference() { TestSupport::useBuiltProgramPaths(); }
    QString path() const { return m_dir.filePath("zw-program.vor"); }
    void exec(const QString &statement)
    {
        std::vector<ProviderErrorRecord> error;
        auto session = DbSession::open(DataSource::sqliteFile(path()), &error);
        QSqlQuery query(session->database());
        if (!query.exec(statement))
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    }
    void setVersion(const QString &version) { exec("UPDATE SystemData SET Version = '" + version + "'"); }
    void setScripts(const QList<QPair<int, QString>> &scripts)
    {
        exec("DELETE FROM Versions");
        for (const auto &[id, script] : scripts) {
            QString quoted = script;
            quoted.replace("'", "''").replace("\r", "' || char(13) || '").replace("\n", "' || char(10) || '");
            exec(QString("INSERT INTO Versions (ID, Name, SQLScript) VALUES (%1, 'v%1', '%2')")
                     .arg(id)
                     .arg(quoted));
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_program;
};

bool HasTable(ProjectCopy &project, const QString &table)
{
    return project.scalar("SELECT COUNT(*) FROM sqlite_master WHERE name = '" + table + "'").toInt() == 1;
}

} // namespace

class TestVersionCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void versionNumbers_data();
    void versionNumbers();
    void scriptSeparators_data();
    void scriptSeparators();
    void scriptRunsEveryStatementAndJudgesTheLast();
    void missingVersionRecordIsCreated();
    void emptyVersionTableGetsItsRow();
    void missingVersionColumnIsAdded();
    void olderProjectIsUpgraded();
    void commissioningTablesComeWithTheUpgrade();
    void projectWithoutVersionRunsEveryScript();
    void failingScriptDoesNotStopTheUpgrade();
    void referenceOfVersionZeroAcceptsAnything();
    void referenceWithoutVersionRecordAcceptsAnything();
    void newerMajorVersionIsRefused();
    void newerMinorVersionIsRefused();
    void missingReferenceDatabaseRefusesEveryProject();
    void unreadableReferenceRefusesEveryProject_data();
    void unreadableReferenceRefusesEveryProject();
    void schemaCheck_data();
    void schemaCheck();
};

void TestVersionCheck::versionNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("number");
    QTest::addColumn<uint>("major");
    QTest::newRow("zero") << "0.00.00" << 0u << 0u;
    QTest::newRow("full") << "1.02.07" << 1002007u << 1u;
    QTest::newRow("major only") << "3" << 3000000u << 3u;
    QTest::newRow("no number piece") << "1.x.5" << 1000005u << 1u;
    QTest::newRow("padded") << "1.00.01   " << 1000001u << 1u;
    QTest::newRow("fourth piece ignored") << "1.2.3.4" << 1002003u << 1u;
    QTest::newRow("empty") << "" << 0u << 0u;
}

void TestVersionCheck::versionNumbers()
{
    QFETCH(QString, text);
    QFETCH(uint, number);
    QFETCH(uint, major);
    QCOMPARE(CVersionCheck::VersionNumber(text), number);
    QCOMPARE(CVersionCheck::MajorNumber(text), major);
}

void TestVersionCheck::scriptSeparators_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("rest");
    QTest::newRow("two statements") << "A\r\ngo\r\nB\r\ngo" << QStringList{"A", "\r\nB"} << "";
    QTest::newRow("followed by blank") << "A\r\ngo B" << QStringList{"A"} << " B";
    QTest::newRow("letter behind is no separator") << "A\r\ngoal\r\ngo" << QStringList{"A\r\ngoal"} << "";
    QTest::newRow("only letters behind") << "SELECT 1\r\ngood" << QStringList{} << "SELECT 1\r\ngood";
    QTest::newRow("no separator") << "SELECT 1 " << QStringList{} << "SELECT 1 ";
    QTest::newRow("line feed alone") << "A\ngo\r\nB" << QStringList{} << "A\ngo\r\nB";
}

void TestVersionCheck::scriptSeparators()
{
    QFETCH(QString, script);
    QFETCH(QStringList, statements);
    QFETCH(QString, rest);
    QString remainder;
    QCOMPARE(CVersionCheck::SplitScript(script, &remainder), statements);
    QCOMPARE(remainder, rest);
}

void TestVersionCheck::scriptRunsEveryStatementAndJudgesTheLast()
{
    ProjectCopy project;
    CVersionCheck check(project.session().source());
    ScriptedMessages messages;
    QCOMPARE(check.RunScript("CREATE TABLE A1 (X INTEGER)\r\ngo\r\nCREATE TABLE B1 (X INTEGER)\r\ngo"), 1);
    QVERIFY(HasTable(project, "A1") && HasTable(project, "B1"));
    // A failing statement in the middle is shown and passed over.
    QCOMPARE(check.RunScript("CREATE TABLE A1 (X INTEGER)\r\ngo\r\nCREATE TABLE C1 (X INTEGER)  \r\n"), 1);
    QVERIFY(HasTable(project, "C1"));
    QCOMPARE(messages.texts().size(), 1);
    // The last statement decides.
    QCOMPARE(check.RunScript("CREATE TABLE D1 (X INTEGER)\r\ngo\r\nCREATE TABLE C1 (X INTEGER)"), 0);
    QVERIFY(HasTable(project, "D1"));
}

void TestVersionCheck::missingVersionRecordIsCreated()
{
    ProjectCopy project;
    project.exec("DROP TABLE SystemData");
    ScriptedMessages messages;
    QCOMPARE(CVersionCheck::ReadVersion(project.session().source()), QString("0.00.00"));
    QCOMPARE(project.scalar("SELECT Version FROM SystemData WHERE ID = 1 AND ParentID = 1").toString(),
             QString("0.00.00"));
    QVERIFY(messages.texts().isEmpty());
}

void TestVersionCheck::emptyVersionTableGetsItsRow()
{
    ProjectCopy project;
    project.exec("DELETE FROM SystemData");
    ScriptedMessages messages;
    QCOMPARE(CVersionCheck::ReadVersion(project.session().source()), QString("0.00.00"));
    QCOMPARE(project.scalar("SELECT COUNT(*) FROM SystemData").toInt(), 1);
    QVERIFY(messages.texts().isEmpty());
}

void TestVersionCheck::missingVersionColumnIsAdded()
{
    ProjectCopy project;
    project.exec("ALTER TABLE SystemData DROP COLUMN Version");
    ScriptedMessages messages;
    QCOMPARE(CVersionCheck::ReadVersion(project.session().source()), QString("0.00.00"));
    QCOMPARE(project.scalar("SELECT COUNT(*) FROM SystemData").toInt(), 1);
    QVERIFY(messages.texts().isEmpty());
}

void TestVersionCheck::olderProjectIsUpgraded()
{
    ProjectCopy project;
    project.exec("UPDATE SystemData SET Version = '1.00.00'");
    project.exec("DROP INDEX IX_Signals_ParentID");
    project.exec("DROP INDEX IX_Signals_Name");
    project.exec("ALTER TABLE CommissioningRecords DROP COLUMN Port");
    ScriptedMessages messages;
    CVersionCheck check(project.session().source());
    QVERIFY(check.ReferenceOpened());
    QCOMPARE(check.Run(), 1);
    QCOMPARE(project.scalar("SELECT TRIM(Version) FROM SystemData").toString(), QString("1.00.04"));
    QVERIFY(HasTable(project, "IX_Signals_ParentID"));
    QVERIFY(HasTable(project, "IX_Signals_Name"));
    QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join('\n')));

    // A project of the first index step gets the second alone.
    ProjectCopy first;
    first.exec("UPDATE SystemData SET Version = '1.00.01'");
    first.exec("DROP INDEX IX_Signals_Name");
    CVersionCheck again(first.session().source());
    QCOMPARE(again.Run(), 1);
    QCOMPARE(first.scalar("SELECT TRIM(Version) FROM SystemData").toString(), QString("1.00.04"));
    QVERIFY(HasTable(first, "IX_Signals_Name"));
}

void TestVersionCheck::commissioningTablesComeWithTheUpgrade()
{
    ProjectCopy project;
    project.exec("DROP TABLE CommissioningRecords");
    project.exec("DROP TABLE CommissioningQueue");
    project.exec("UPDATE SystemData SET Version = '1.00.02'");
    ScriptedMessages messages;
    CVersionCheck check(project.session().source());
    QCOMPARE(check.Run(), 1);
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(project.scalar("SELECT TRIM(Version) FROM SystemData").toString(), QString("1.00.04"));
    QVERIFY(HasTable(project, "CommissioningRecords"));
    QVERIFY(HasTable(project, "CommissioningQueue"));
    project.exec("INSERT INTO CommissioningRecords (ID, RecordedAt, ModuleTable, ModuleID, ModulePath, SerialNr, "
                 "Revision, OsUser, ProgramVersion, Result, Reason, CrcWritten, CrcReadBack, ElapsedMs) VALUES "
                 "(100, '2026-01-01T10:00:00', 'Modules7230_1', 7, '\\\\Project\\M', 'SN1', '1.04', 'op', "
                 "'3.04.00', 'verified', '', 'CBF43926', 'CBF43926', 1500)");
    project.exec("INSERT INTO CommissioningQueue (ID, ModuleTable, ModuleID, State, Reason, SerialNr, ElapsedMs, "
                 "ChangedAt) VALUES (100, 'Modules7230_1', 7, 2, '', 'SN1', 1500, '2026-01-01T10:00:00')");
    QCOMPARE(project.scalar("SELECT CrcReadBack FROM CommissioningRecords WHERE ID = 100").toString(),
             QString("CBF43926"));
    QCOMPARE(project.scalar("SELECT State FROM CommissioningQueue WHERE ModuleID = 7").toInt(), 2);
    // The records got the port of each attempt from the step after.
    project.exec("UPDATE CommissioningRecords SET Port = '/dev/ttyUSB1' WHERE ID = 100");
    QCOMPARE(project.scalar("SELECT Port FROM CommissioningRecords WHERE ID = 100").toString(),
             QString("/dev/ttyUSB1"));

    // A project of the commissioning step gets the port alone.
    ProjectCopy before;
    before.exec("ALTER TABLE CommissioningRecords DROP COLUMN Port");
    before.exec("UPDATE SystemData SET Version = '1.00.03'");
    CVersionCheck portStep(before.session().source());
    QCOMPARE(portStep.Run(), 1);
    QCOMPARE(before.scalar("SELECT TRIM(Version) FROM SystemData").toString(), QString("1.00.04"));
    before.exec("INSERT INTO CommissioningRecords (ID, Port) VALUES (101, '/dev/ttyUSB0')");
    QCOMPARE(before.scalar("SELECT Port FROM CommissioningRecords WHERE ID = 101").toString(), QString("/dev/ttyUSB0"));

    // A project already at the step is left as it is.
    CVersionCheck again(project.session().source());
    QCOMPARE(again.Run(), 1);
    QCOMPARE(project.scalar("SELECT COUNT(*) FROM CommissioningRecords").toInt(), 1);
}

void TestVersionCheck::projectWithoutVersionRunsEveryScript()
{
    ProjectCopy project;
    Reference reference;
    reference.setVersion("1.00.00");
    reference.setScripts(
        {{1, "CREATE TABLE S1 (X INTEGER)"},
         {500000, "CREATE TABLE S2 (X INTEGER)"},
         {1000000, "CREATE TABLE S3 (X INTEGER)\r\ngo\r\nUPDATE SystemData SET Version = '1.00.00'"},
         {1000001, "CREATE TABLE S4 (X INTEGER)"}});
    project.exec("DROP TABLE SystemData");
    CVersionCheck check(project.session().source());
    QCOMPARE(check.Run(), 1);
    QVERIFY(HasTable(project, "S1") && HasTable(project, "S2") && HasTable(project, "S3"));
    QVERIFY(!HasTable(project, "S4"));
    QCOMPARE(project.scalar("SELECT Version FROM SystemData").toString(), QString("1.00.00"));
}

void TestVersionCheck::failingScriptDoesNotStopTheUpgrade()
{
    ProjectCopy project;
    Reference reference;
    reference.setVersion("1.02.00");
    reference.setScripts({{1001000, "CREATE TABLE Broken ("}, {1002000, "CREATE TABLE Fine (X INTEGER)"}});
    project.exec("UPDATE SystemData SET Version = '1.00.00'");
    ScriptedMessages messages;
    CVersionCheck check(project.session().source());
    QCOMPARE(check.Run(), 1);
    QVERIFY(HasTable(project, "Fine"));
    QCOMPARE(messages.texts().size(), 1);
}

void TestVersionCheck::referenceOfVersionZeroAcceptsAnything()
{
    ProjectCopy project;
    Reference reference;
    reference.setVersion("0.00.00");
    project.exec("UPDATE SystemData SET Version = '9.99.99'");
    ScriptedMessages messages;
    CVersionCheck check(project.session().source());
    QCOMPARE(check.Run(), 1);
    QVERIFY(messages.texts().isEmpty());
}

void TestVersionCheck::referenceWithoutVersionRecordAcceptsAnything()
{
    ProjectCopy project;
    Reference reference;
    reference.exec("DROP TABLE SystemData");
    project.exec("UPDATE SystemData SET Version = '5.00.00'");
    ScriptedMessages messages;
    {
        CVersionCheck check(project.session().source());
        QCOMPARE(check.Run(), 1);
    }
    QVERIFY(messages.texts().isEmpty());
    // The reference database got its version record.
    std::vector<ProviderErrorRecord> error;
    auto session = DbSession::open(DataSource::sqliteFile(reference.path()), &error);
    QSqlQuery query(session->database());
    QVERIFY(query.exec("SELECT Version FROM SystemData") && query.next());
    QCOMPARE(query.value(0).toString(), QString("0.00.00"));
}

void TestVersionCheck::newerMajorVersionIsRefused()
{
    ProjectCopy project;
    Reference reference;
    reference.setVersion("1.05.00");
    project.exec("UPDATE SystemData SET Version = '2.00.00'");
    ScriptedMessages messages;
    CVersionCheck check(project.session().source());
    QCOMPARE(check.Run(), 0);
    QCOMPARE(messages.texts(), QStringList{"Incorrect version of project file."});
}

void TestVersionCheck::newerMinorVersionIsRefused()
{
    ProjectCopy project;
    Reference reference;
    reference.setVersion("1.05.00");
    project.exec("UPDATE SystemData SET Version = '1.06.00'");
    ScriptedMessages messages;
    CVersionCheck check(project.session().source());
    QCOMPARE(check.Run(), 0);
    QCOMPARE(messages.texts(), QStringList{"The version of database is newer than the version of program. "});
}

void TestVersionCheck::missingReferenceDatabaseRefusesEveryProject()
{
    ProjectCopy project;
    QTemporaryDir empty;
    AppPaths::setProgramFile(empty.filePath("nowhere"));
    ScriptedMessages messages;
    CVersionCheck check(project.session().source());
    QVERIFY(!check.ReferenceOpened());
    QCOMPARE(messages.texts(), QStringList{"Unable to open file: " + empty.filePath("nowhere.vor")});
    QCOMPARE(check.Run(), 0);
    TestSupport::useBuiltProgramPaths();
}

void TestVersionCheck::unreadableReferenceRefusesEveryProject_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text file") << QByteArray("this is no database\n");
    QTest::newRow("empty file") << QByteArray();
}

void TestVersionCheck::unreadableReferenceRefusesEveryProject()
{
    QFETCH(QByteArray, content);
    ProjectCopy project;
    project.exec("UPDATE SystemData SET Version = '9.00.00'");
    QTemporaryDir dir;
    QFile reference(dir.filePath("zw-program.vor"));
    QVERIFY(reference.open(QIODevice::WriteOnly));
    reference.write(content);
    reference.close();
    AppPaths::setProgramFile(dir.filePath("zw-program"));
    ScriptedMessages messages;
    {
        // A reference that could not be read would switch the check off and
        // let a project of any version in.
        CVersionCheck check(project.session().source());
        QVERIFY(!check.ReferenceOpened());
        QCOMPARE(check.Run(), 0);
    }
    QCOMPARE(messages.texts(), QStringList{"Unable to open file: " + dir.filePath("zw-program.vor")});
    QFile written(dir.filePath("zw-program.vor"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), content);
    TestSupport::useBuiltProgramPaths();
}

void TestVersionCheck::schemaCheck_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("sound") << QString() << 1 << QString();
    QTest::newRow("no Memo") << "ALTER TABLE Modules7230_2 DROP COLUMN Memo" << 0
                             << "Missing column 'Memo' in table 'Modules7230_2'.";
    QTest::newRow("no Signals table") << "DROP TABLE Signals" << 0 << "Missing table 'Signals'.";
    // Racks has an unnamed binding: its table is never reported missing.
    QTest::newRow("no Racks table") << "DROP TABLE Racks" << 0
                                    << "Missing column 'Description' in table 'Racks'.";
    QTest::newRow("first failure wins") << "DROP TABLE ProjectOptions;ALTER TABLE Equipments DROP COLUMN Name"
                                        << 0 << "Missing column 'Name' in table 'Equipments'.";
}

void TestVersionCheck::schemaCheck()
{
    QFETCH(QString, setup);
    QFETCH(int, result);
    QFETCH(QString, message);
    ProjectCopy project;
    for (const QString &statement : setup.split(';', Qt::SkipEmptyParts))
        project.exec(statement);
    CLevelList levels;
    ScriptedMessages messages;
    QCOMPARE(CVersionCheck::CheckAllLevels(levels, project.session()), result);
    QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (result == 1) {
        const ColumnInfo *memo = levels.FindByTable("Modules7230_2")->FindColumn("Memo");
        QVERIFY(memo && memo->exists);
    }
}

QTEST_GUILESS_MAIN(TestVersionCheck)
#include "test_version_check.moc"
