#include "db/data_error.h"
#include "db/db_strings.h"
#include "db/sql_query.h"
#include "db_test_support.h"

#include <QDir>
#include <QtTest>

// Data errors as they travel up, how they are shown, and the stand-alone
// statement runner.
class TestDbErrors : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void messagesReadFromMostSpecificToMostGeneral();
    void argumentsAreFilledOnceAndAtMostThreeKept();
    void exceptionWithoutMessagesShowsTheStandInText();
    void reportCanBeSwitchedOff();
    void queryReadsEveryCellInOrder();
    void queryReportsDriverErrorsAndEmptyText();
    void queryWithErrorsHiddenShowsNothing();
    void queryOnMissingFileHasNoSession();
    void sessionOpensPathsWithBlanksAndHashes();
    void readOnlySessionRefusesWrites();
};

void TestDbErrors::messagesReadFromMostSpecificToMostGeneral()
{
    try {
        try {
            RaiseDataError({{"QSQLITE", "no such table: X", "1"}}, DbStrings::CantOpenRowset);
        } catch (COLEDBException &error) {
            AddMessage(error, DbStrings::CantConnect, {"plant.prj"});
            throw;
        }
    } catch (const COLEDBException &error) {
        QCOMPARE(MessageText(error),
                 QString("Can't open rowset.\nCan't connect to data source 'plant.prj'.\n"));
        QCOMPARE(error.records().size(), size_t(1));
        QCOMPARE(error.records()[0].code, QString("1"));
        return;
    }
    QFAIL("nothing raised");
}

void TestDbErrors::argumentsAreFilledOnceAndAtMostThreeKept()
{
    COLEDBException error;
    AddMessage(error, DbStrings::MissingColumn, {"%2", "Racks", "c", "dropped"});
    QCOMPARE(error.messages()[0].args.size(), 3);
    QCOMPARE(MessageText(error), QString("Missing column '%2' in table 'Racks'.\n"));
}

void TestDbErrors::exceptionWithoutMessagesShowsTheStandInText()
{
    QString shownTop;
    std::vector<ProviderErrorRecord> shownRecords;
    DataErrorReporter::Presenter previous = DataErrorReporter::setPresenter(
        [&](const QString &top, const std::vector<ProviderErrorRecord> &records) {
            shownTop = top;
            shownRecords = records;
        });
    try {
        RaiseDataError({{"QSQLITE", "disk I/O error", "10"}});
    } catch (const COLEDBException &error) {
        ReportDataError(error);
    }
    DataErrorReporter::setPresenter(previous);
    QCOMPARE(shownTop,
             QString("No aplication error message available. To get more information about OLEDB error "
                     "see details."));
    QCOMPARE(shownRecords.size(), size_t(1));
    QCOMPARE(shownRecords[0].description, QString("disk I/O error"));
}

void TestDbErrors::reportCanBeSwitchedOff()
{
    ScriptedMessages messages;
    COLEDBException error;
    AddMessage(error, DbStrings::CantMoveNext);
    ReportDataError(error, false);
    QVERIFY(messages.shown().empty());
    ReportDataError(error);
    QCOMPARE(messages.texts(), QStringList("Can't move to next record."));
}

void TestDbErrors::queryReadsEveryCellInOrder()
{
    ProjectCopy project;
    ScriptedMessages messages;
    CSQLQuery query(DataSource::sqliteFile(project.path()), true);
    QVERIFY(query.HasSession());
    query.SetText("SELECT ID, Name, Option4 FROM ProjectOptions WHERE ID <= 2 ORDER BY ID");
    QVERIFY(query.Execute());
    QCOMPARE(query.ValueCount(), 6);
    QCOMPARE(query.ReadText(), QString("1"));
    QCOMPARE(query.ReadText(), QString("SignalCounter"));
    QCOMPARE(query.ReadText(), QString());
    QCOMPARE(query.ReadText(), QString("2"));
    QCOMPARE(query.ValueCount(), 2);
    query.SetText("SELECT Version FROM SystemData WHERE ID = 99");
    QVERIFY(query.Execute());
    QCOMPARE(query.ValueCount(), 0);
    query.SetText("UPDATE ProjectOptions SET Option1 = 9 WHERE ID = 2");
    QVERIFY(query.Execute());
    QCOMPARE(project.scalar("SELECT Option1 FROM ProjectOptions WHERE ID = 2").toInt(), 9);
    QVERIFY(messages.shown().empty());
}

void TestDbErrors::queryReportsDriverErrorsAndEmptyText()
{
    ProjectCopy project;
    ScriptedMessages messages;
    CSQLQuery query(DataSource::sqliteFile(project.path()), true);
    QVERIFY(!query.Execute());
    QCOMPARE(query.LastError(), QString("Empty Query"));
    query.SetText("SELECT Version FROM NoSuchTable");
    QVERIFY(!query.Execute());
    QVERIFY(query.LastError().contains("NoSuchTable"));
    QVERIFY(query.LastError().endsWith('\n'));
    QCOMPARE(messages.texts(), QStringList({"Empty Query", query.LastError()}));
    QCOMPARE(messages.shown()[1].icon, MessageIcon::Error);
}

void TestDbErrors::queryWithErrorsHiddenShowsNothing()
{
    ProjectCopy project;
    ScriptedMessages messages;
    CSQLQuery query(DataSource::sqliteFile(project.path()), true);
    query.SetShowErrors(false);
    query.SetText("SELECT * FROM SystemDataMissing");
    QVERIFY(!query.Execute());
    QCOMPARE(query.ValueCount(), 0);
    QVERIFY(!query.LastError().isEmpty());
    QVERIFY(messages.shown().empty());
}

void TestDbErrors::queryOnMissingFileHasNoSession()
{
    QTemporaryDir dir;
    ScriptedMessages messages;
    const QString missing = dir.filePath("missing.prj");
    CSQLQuery query(DataSource::sqliteFile(missing), true);
    QVERIFY(!query.HasSession());
    QCOMPARE(messages.texts(), QStringList("Couldn't create session on data source"));
    query.SetText("SELECT 1");
    QVERIFY(!query.Execute());
    QVERIFY(!QFile::exists(missing));
}

void TestDbErrors::sessionOpensPathsWithBlanksAndHashes()
{
    ProjectCopy project;
    QTemporaryDir dir;
    const QString odd = dir.filePath("Plant #2 O'Neil?.prj");
    QVERIFY(QFile::copy(project.path(), odd));
    std::vector<ProviderErrorRecord> error;
    std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(odd), &error);
    QVERIFY(session);
    QSqlQuery query = session->NewQuery();
    QVERIFY(session->Execute(query, "SELECT COUNT(*) FROM ProjectOptions", &error));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 4);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestDbErrors::readOnlySessionRefusesWrites()
{
    ProjectCopy project;
    std::vector<ProviderErrorRecord> error;
    std::unique_ptr<DbSession> session =
        DbSession::open(DataSource::sqliteFile(project.path(), true), &error);
    QVERIFY(session);
    QSqlQuery query = session->NewQuery();
    QVERIFY(!session->Execute(query, "UPDATE ProjectOptions SET Option1 = 5", &error));
    QCOMPARE(error.size(), size_t(1));
    QCOMPARE(error[0].source, QString("QSQLITE"));
    QVERIFY(!error[0].description.isEmpty());
    QCOMPARE(project.scalar("SELECT MAX(Option1) FROM ProjectOptions").toInt(), 1);
}

QTEST_GUILESS_MAIN(TestDbErrors)
#include "test_db_errors.moc"
