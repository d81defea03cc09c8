#include "db/data_error.h"
#include "db/data_link_file.h"
#include "db/db_test_support.h"
#include "db/pg_server.h"
#include "db/project_commands.h"
#include "db/project_copy.h"
#include "db/project_database.h"
#include "db/table_level.h"

#include <QSet>
#include <QSignalSpy>
#include <QtTest>

// Two engineers share one project on a PostgreSQL server of the test's own.
class TestSharedProject : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void projectIsCopiedWithEveryRow();
    void twoConnectionsNeverShareAnIdentifier();
    void levelsReadTheServerProject();
    void copyIntoAFilledDatabaseIsRefused();
    void failedCopyLeavesTheDatabaseEmpty();
    void olderServerProjectIsUpgraded();
    void wrongPasswordIsADataError();
    void serverThatDoesNotAnswer();
    void connectionDetailsOfTheServer();

private:
    ConnectionProperties Server(const QString &database) const;
    QString CopyToServer(const QString &database, const QString &project = QString());

    PgTestServer m_server;
    QTemporaryDir m_dir;
};

void TestSharedProject::initTestCase()
{
    TestSupport::loadEnglish();
    QString error;
    if (!m_server.start(&error))
        QFAIL(qPrintable("The PostgreSQL test server cannot be started: " + error));
}

void TestSharedProject::cleanupTestCase()
{
    m_server.stop();
}

ConnectionProperties TestSharedProject::Server(const QString &database) const
{
    ConnectionProperties p;
    p.setValue("Provider", "PostgreSQL");
    p.setValue("Data Source", m_server.dataSource());
    p.setValue("Initial Catalog", database);
    p.setValue("User ID", m_server.user());
    p.setValue("Password", m_server.password());
    return p;
}

// A fresh database holding a copy of the project; answers its data link file.
QString TestSharedProject::CopyToServer(const QString &database, const QString &project)
{
    QString error;
    if (!m_server.createDatabase(database, &error))
        qFatal("%s", qPrintable(error));
    QString source = project;
    if (source.isEmpty()) {
        source = m_dir.filePath(database + ".prj");
        QFile::copy(AppPaths::referenceDatabasePath(), source);
    }
    const QString link = m_dir.filePath(database + ".udl");
    ProjectServerCopy copy;
    if (!copy.run(source, Server(database), link))
        qFatal("%s", qPrintable(copy.errorText()));
    return link;
}

void TestSharedProject::projectIsCopiedWithEveryRow()
{
    ProjectCopy project;
    project.exec(
        "INSERT INTO Equipments (ID, ParentID, Name, Description) VALUES (100, 1, 'O''Brien plant', NULL)");
    project.exec(
        "INSERT INTO Modules7230_2 (ID, ParentID, Name, DIPSwitch, Memo) VALUES (100, 100, 'TT-1', -1, "
        "'Müller''s note')");
    QString error;
    QVERIFY(m_server.createDatabase("copied", &error));
    ProjectServerCopy copy;
    QStringList progress;
    copy.setProgress([&](const QString &table, int) { progress << table; });
    const QString link = m_dir.filePath("copied.udl");
    QVERIFY2(copy.run(project.path(), Server("copied"), link), qPrintable(copy.errorText()));
    QCOMPARE(progress, copy.tables());
    QVERIFY(copy.tables().contains("IDSequences"));
    QVERIFY(copy.rowCount() >= int(project.scalar("SELECT COUNT(*) FROM IDSequences").toInt()) + 2);

    ConnectionProperties written;
    QVERIFY(DataLinkFile::read(link, written, &error));
    QCOMPARE(written.entries(), Server("copied").entries());

    ProjectDatabase database;
    ScriptedMessages messages;
    QVERIFY(database.OpenFile(link, "Admin", QString()));
    QVERIFY(messages.texts().isEmpty());
    QSqlQuery query(database.Session()->database());
    QVERIFY(query.exec("SELECT Name, DIPSwitch, Memo FROM Modules7230_2 WHERE ID = 100") && query.next());
    QCOMPARE(query.value(0).toString(), QString("TT-1"));
    QCOMPARE(query.value(1).toInt(), -1);
    QCOMPARE(query.value(2).toString(), QString("Müller's note"));
    for (const QString &table : copy.tables()) {
        QSqlQuery count(database.Session()->database());
        QVERIFY(count.exec("SELECT COUNT(*) FROM " + table) && count.next());
        QCOMPARE(count.value(0).toInt(), project.scalar("SELECT COUNT(*) FROM " + table).toInt());
    }
}

void TestSharedProject::twoConnectionsNeverShareAnIdentifier()
{
    const QString link = CopyToServer("shared");
    ProjectDatabase first;
    ProjectDatabase second;
    ScriptedMessages messages;
    QVERIFY(first.OpenFile(link, "Admin", QString()));
    QVERIFY(second.OpenFile(link, "Admin", QString()));
    QVERIFY(first.OpenedByDataLink() && second.OpenedByDataLink());
    QSet<int> seen;
    for (int i = 0; i < 50; ++i) {
        for (ProjectDatabase *engineer : {&first, &second}) {
            const int id = engineer->IdSequence()->NextId("Racks").toInt();
            QVERIFY2(!seen.contains(id), qPrintable(QString::number(id)));
            seen << id;
        }
    }
    QCOMPARE(seen.size(), 100);
    QCOMPARE(*std::min_element(seen.begin(), seen.end()), 100);
    // A sequence that neither knew yet is made once and counted on.
    QCOMPARE(first.IdSequence()->NextId("Brandnew").toInt(), 99);
    QCOMPARE(second.IdSequence()->NextId("Brandnew").toInt(), 100);
    // Inside a transaction of the caller the other engineer waits.
    QVERIFY(first.Session()->BeginTransaction());
    QCOMPARE(first.IdSequence()->NextId("Signals").toInt(), 100);
    QVERIFY(first.Session()->Commit());
    QCOMPARE(second.IdSequence()->NextId("Signals").toInt(), 101);
    QVERIFY(messages.texts().isEmpty());
}

void TestSharedProject::levelsReadTheServerProject()
{
    const QString link = CopyToServer("levels");
    ProjectDatabase database;
    ScriptedMessages messages;
    QVERIFY(database.OpenFile(link, "Admin", QString()));
    CTableLevel *root = database.Levels().FindByTable("ProjectsRoot");
    QCOMPARE(root->OpenQuery(*database.Session(), QVariant(0)), 1);
    RowValues values;
    root->ReadRowValues(values);
    QCOMPARE(values.at(2).toString(), QString("Project"));
    root->Close();
    CTableLevel *racks = database.Levels().FindByTable("Racks");
    RowValues row(racks->GetColumns()->size());
    RowValues saved(row.size());
    row[0] = 100;
    row[1] = 7;
    row[2] = QString("Cabinet 1");
    QCOMPARE(racks->ExecuteStatement(*database.Session(), racks->BuildInsert(row, saved)), 1);
    saved = row;
    row[2] = QString("Cabinet 2");
    QCOMPARE(racks->ExecuteStatement(*database.Session(), racks->BuildUpdate(row, saved)), 1);
    QCOMPARE(racks->OpenQuery(*database.Session(), QVariant(7)), 1);
    racks->ReadRowValues(values);
    QCOMPARE(values.at(2).toString(), QString("Cabinet 2"));
    racks->Close();
    QVERIFY(messages.texts().isEmpty());
}

void TestSharedProject::copyIntoAFilledDatabaseIsRefused()
{
    CopyToServer("filled");
    const QString project = m_dir.filePath("again.prj");
    QFile::copy(AppPaths::referenceDatabasePath(), project);
    ProjectServerCopy copy;
    const QString link = m_dir.filePath("again.udl");
    QVERIFY(!copy.run(project, Server("filled"), link));
    QCOMPARE(
        copy.errorText(),
        QString("The database 'filled' on the server is not empty. A project can only be put into an empty "
                "database."));
    QVERIFY(!QFile::exists(link));
}

void TestSharedProject::failedCopyLeavesTheDatabaseEmpty()
{
    ProjectCopy project;
    // A text where the server wants a number: the copy stops halfway.
    project.exec("INSERT INTO ZelnorHolders (ID, ParentID, Name) VALUES (100, 'not a number', 'x')");
    QString error;
    QVERIFY(m_server.createDatabase("halfway", &error));
    ProjectServerCopy copy;
    const QString link = m_dir.filePath("halfway.udl");
    QVERIFY(!copy.run(project.path(), Server("halfway"), link));
    QVERIFY2(copy.errorText().startsWith("Can't copy table 'ZelnorHolders' to the server:"),
             qPrintable(copy.errorText()));
    QVERIFY(!QFile::exists(link));
    // Nothing of it stayed: the same database takes a sound copy.
    project.exec("DELETE FROM ZelnorHolders");
    QVERIFY2(copy.run(project.path(), Server("halfway"), link), qPrintable(copy.errorText()));
}

void TestSharedProject::olderServerProjectIsUpgraded()
{
    ProjectCopy project;
    project.exec("UPDATE SystemData SET Version = '1.00.00'");
    project.exec("DROP INDEX IX_Signals_ParentID");
    project.exec("DROP INDEX IX_Signals_Name");
    // A project of that age has no port in its commissioning records.
    project.exec("ALTER TABLE CommissioningRecords DROP COLUMN Port");
    const QString link = CopyToServer("older", project.path());
    ProjectDatabase database;
    ScriptedMessages messages;
    QVERIFY(database.OpenFile(link, "Admin", QString()));
    QSqlQuery query(database.Session()->database());
    QVERIFY(query.exec("SELECT Version FROM SystemData") && query.next());
    QCOMPARE(query.value(0).toString().trimmed(), QString("1.00.04"));
    QVERIFY(query.exec("SELECT COUNT(*) FROM pg_indexes WHERE indexname IN ('ix_signals_parentid', "
                       "'ix_signals_name')") &&
            query.next());
    QCOMPARE(query.value(0).toInt(), 2);
    QVERIFY(messages.texts().isEmpty());
}

void TestSharedProject::wrongPasswordIsADataError()
{
    CopyToServer("guarded");
    ConnectionProperties wrong = Server("guarded");
    wrong.setValue("Password", "guess");
    const QString link = m_dir.filePath("wrong.udl");
    QString error;
    QVERIFY(DataLinkFile::write(link, wrong, &error));
    ProjectDatabase database;
    try {
        database.OpenFile(link, "Admin", QString());
        QFAIL("no data error");
    } catch (const COLEDBException &e) {
        QVERIFY(MessageText(e).startsWith("Can't connect to data source '" + link + "'."));
        QVERIFY(!e.records().empty());
        QVERIFY(e.records().front().description.contains("password"));
    }
    QVERIFY(!database.IsOpen());
}

void TestSharedProject::serverThatDoesNotAnswer()
{
    ConnectionProperties nowhere = Server("shared");
    nowhere.setValue("Data Source", m_dir.filePath("no-server") + ":5432");
    const QString link = m_dir.filePath("nowhere.udl");
    QString error;
    QVERIFY(DataLinkFile::write(link, nowhere, &error));
    ProjectDatabase database;
    ProjectCommands commands(database);
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    QStringList reported;
    auto previous = DataErrorReporter::setPresenter(
        [&](const QString &text, const std::vector<ProviderErrorRecord> &) { reported << text; });
    QVERIFY(!commands.OnOpenDocument(link));
    DataErrorReporter::setPresenter(std::move(previous));
    QCOMPARE(reported, QStringList{"Can't connect to data source '" + link + "'.\n"});
    QCOMPARE(log.last().at(0).toString(), "Open project '" + link + "' failed.");
    QVERIFY(!database.IsOpen());
}

void TestSharedProject::connectionDetailsOfTheServer()
{
    const QString link = CopyToServer("details");
    ProjectDatabase database;
    QVERIFY(database.OpenFile(link, "Admin", QString()));
    QCOMPARE(database.DisplayName(), m_server.dataSource());
    const ConnectionDetails details = ReadConnectionDetails(database);
    QCOMPARE(details.dataSourceName, QString("details"));
    QCOMPARE(details.providerName, QString("PostgreSQL"));
    QVERIFY(!details.providerVersion.isEmpty());
    QCOMPARE(details.properties.first(), (QPair<QString, QString>("Data Source", m_server.dataSource())));
    QVERIFY(details.properties.contains(QPair<QString, QString>("Password", "********")));
}

QTEST_GUILESS_MAIN(TestSharedProject)
#include "test_shared_project.moc"
