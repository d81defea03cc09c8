#include "db/data_error.h"
#include "db/data_link_file.h"
#include "db/db_test_support.h"
#include "db/project_commands.h"
#include "db/project_database.h"
#include "db/scripted_file_dialogs.h"
#include "log/output_log.h"
#include "base/settings.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QDir>
#include <QtTest>

namespace {

// Data errors land here instead of in the errors dialog.
class CapturedDataErrors {
public:
    CapturedDataErrors()
    {
        m_previous = DataErrorReporter::setPresenter(
            [this](const QString &text, const std::vector<ProviderErrorRecord> &) { m_texts << text; });
    }
    ~CapturedDataErrors() { DataErrorReporter::setPresenter(std::move(m_previous)); }
    const QStringList &texts() const { return m_texts; }

private:
    QStringList m_texts;
    DataErrorReporter::Presenter m_previous;
};

QString CopyReference(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile::copy(AppPaths::referenceDatabasePath(), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

void ExecOn(const QString &file, const QString &statement)
{
    std::vector<ProviderErrorRecord> error;
    auto session = DbSession::open(DataSource::sqliteFile(file), &error);
    QSqlQuery query(session->database());
    if (!query.exec(statement))
        qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
}

QString WriteDataLink(const QTemporaryDir &dir, const QString &name, const QString &initString)
{
    ConnectionProperties properties;
    QString error;
    ConnectionProperties::parse(initString, properties, &error);
    const QString path = dir.filePath(name);
    DataLinkFile::write(path, properties, &error);
    return path;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

int OpenConnections()
{
    return int(QSqlDatabase::connectionNames().size());
}

QString Configuration(const QString &name)
{
    ConfigurationSettings configuration;
    configuration.load();
    return configuration.textValue(name);
}

} // namespace

class TestProjectDatabase : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init();
    void openingIgnoresTheCaseOfTheExtension();
    void openHooksFollowOpenAndClose();
    void wrongFileTypeLeavesNothingOpen();
    void cancelledOpenKeepsTheProjectAndLogsAnEmptyName();
    void failedOpenAsksForAnotherFile();
    void newProjectIsACopyOfTheReference();
    void saveAsCopiesAndOpensTheCopy();
    void saveAsOntoItselfInOtherCaseIsRefused();
    void saveAsWithWrongExtension_data();
    void saveAsWithWrongExtension();
    void failedCopyKeepsTheOpenProject();
    void copyThatFailsHalfwayKeepsTheExistingTarget();
    void aMissingReferenceDatabaseIsNamedWithWhereItWasLookedFor();
    void dataLinkProjectIsRememberedAndCannotBeSavedAs();
    void projectFileIsRememberedAsFileName();
    void recentFilesOpenAgain();
    void logLinesGoToTheOutputLog();
    void badInput_data();
    void badInput();
    void unknownProviderInDataLinkFile();
    void projectNamedByDataLinkMustExist();
    void readOnlyDataSourceOpensForReading();
    void aDamagedCellOpensTheProjectForReadingWithoutItsRow();
    void connectionDetailsOfAProjectFile();
    void askSaveChanges_data();
    void askSaveChanges();
    void askSaveChangesIsSilentWhilePumping();
};

void TestProjectDatabase::init()
{
    TestSupport::useBuiltProgramPaths();
    QSettings(SettingsSection::kOrganisation, SettingsSection::kConfigurationApplication).clear();
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestProjectDatabase::openingIgnoresTheCaseOfTheExtension()
{
    QTemporaryDir dir;
    const QString path = CopyReference(dir, "demo.PRJ");
    ProjectDatabase database;
    ScriptedMessages messages;
    QVERIFY(database.OpenFile(path, "Admin", QString()));
    QVERIFY(database.IsOpen());
    QVERIFY(!database.OpenedByDataLink());
    QCOMPARE(database.DisplayName(), path);
    QVERIFY(database.IdSequence());
    QCOMPARE(database.IdSequence()->NextId("Racks").toInt(), 100);
    QVERIFY(messages.texts().isEmpty());
}

void TestProjectDatabase::openHooksFollowOpenAndClose()
{
    QTemporaryDir dir;
    const QString path = CopyReference(dir, "a.prj");
    ProjectDatabase database;
    QSignalSpy opened(&database, &ProjectDatabase::opened);
    QSignalSpy closed(&database, &ProjectDatabase::closed);
    QVERIFY(database.OpenFile(path, "Admin", QString()));
    QCOMPARE(opened.count(), 1);
    database.CloseDatabase();
    QCOMPARE(closed.count(), 1);
    database.CloseDatabase();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!database.IsOpen());
}

void TestProjectDatabase::wrongFileTypeLeavesNothingOpen()
{
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "a.prj");
    const QString text = dir.filePath("notes.txt");
    WriteFile(text, "hello");
    ProjectDatabase database;
    QVERIFY(database.OpenFile(project, "Admin", QString()));
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(text);
    QString path;
    QVERIFY(!database.AskAndOpen(path));
    QCOMPARE(messages.texts(), QStringList{"Can't use file '" + text + "' (wrong file type). "});
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
    QVERIFY(!database.IsOpen());
    QCOMPARE(path, text);
    // The open dialog offers both kinds of file.
    QCOMPARE(dialogs.requests().size(), size_t(1));
    QCOMPARE(FileDialogService::QtFilterText(dialogs.requests().front().filters),
             QString("7100 projects (*.prj);;Microsoft Data Link Files (*.udl)"));
}

void TestProjectDatabase::cancelledOpenKeepsTheProjectAndLogsAnEmptyName()
{
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "a.prj");
    ProjectDatabase database;
    ProjectCommands commands(database);
    QVERIFY(commands.OnOpenDocument(project));
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    commands.OnFileOpen();
    QVERIFY(database.IsOpen());
    QCOMPARE(database.DisplayName(), project);
    QCOMPARE(log.count(), 1);
    QCOMPARE(log.at(0).at(0).toString(), QString("Open project '' failed."));
    QCOMPARE(messages.unexpectedQuestions(), 0);
}

void TestProjectDatabase::failedOpenAsksForAnotherFile()
{
    QTemporaryDir dir;
    const QString good = CopyReference(dir, "good.prj");
    const QString wrong = dir.filePath("wrong.txt");
    WriteFile(wrong, QByteArray());
    ProjectDatabase database;
    ProjectCommands commands(database);
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    QSignalSpy forgotten(&commands, &ProjectCommands::detectedModuleForgotten);
    ScriptedMessages messages;
    messages.answer(MessageAnswer::Yes);
    ScriptedFileDialogs dialogs;
    dialogs.choose(wrong);
    dialogs.choose(good);
    commands.OnFileOpen();
    QVERIFY(database.IsOpen());
    QCOMPARE(messages.texts().last(),
             "Can't use file '" + wrong + "'.\nDo you want to select different one ?");
    QCOMPARE(dialogs.requests().at(1).initialPath, wrong);
    QCOMPARE(log.last().at(0).toString(), "Open project '" + good + "' successful.");
    QCOMPARE(forgotten.count(), 1);
    QCOMPARE(commands.Title(), QString("good.prj"));
}

void TestProjectDatabase::newProjectIsACopyOfTheReference()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("fresh.prj");
    ProjectDatabase database;
    ProjectCommands commands(database);
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(target);
    commands.OnFileNew();
    QVERIFY(database.IsOpen());
    QCOMPARE(database.DisplayName(), target);
    const FileDialogRequest &request = dialogs.requests().front();
    QCOMPARE(request.kind, FileDialogRequest::Kind::Save);
    QCOMPARE(request.title, QString("Save New MS Access Database"));
    QCOMPARE(request.initialPath, QDir(TestSupport::binDirectory()).filePath("zelnor-wizard.prj"));
    QCOMPARE(FileDialogService::QtFilterText(request.filters), QString("7100 projects (*.prj)"));
    QCOMPARE(log.last().at(0).toString(), "New project '" + target + "' created successful.");
    QCOMPARE(commands.Title(), QString("fresh.prj"));
    QVERIFY(messages.texts().isEmpty());
    // New again, cancelled: the open project stays and the failure is logged.
    commands.OnFileNew();
    QVERIFY(database.IsOpen());
    QCOMPARE(log.last().at(0).toString(), QString("New project creation failed."));
    // The reference database itself was not changed by using the copy.
    QCOMPARE(QFileInfo(target).size(), QFileInfo(AppPaths::referenceDatabasePath()).size());
}

void TestProjectDatabase::saveAsCopiesAndOpensTheCopy()
{
    QTemporaryDir dir;
    const QString source = CopyReference(dir, "one.prj");
    const QString target = dir.filePath("two.prj");
    ExecOn(source, "INSERT INTO Equipments (ID, ParentID, Name) VALUES (100, 1, 'Boiler house')");
    ProjectDatabase database;
    ProjectCommands commands(database);
    QVERIFY(commands.OnOpenDocument(source));
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(target);
    commands.OnFileSaveAs();
    QCOMPARE(database.DisplayName(), target);
    QCOMPARE(dialogs.requests().front().initialPath, source);
    QCOMPARE(log.last().at(0).toString(), QString("Save project successful."));
    QSqlQuery query(database.Session()->database());
    QVERIFY(query.exec("SELECT Name FROM Equipments WHERE ID = 100") && query.next());
    QCOMPARE(query.value(0).toString(), QString("Boiler house"));
    // The start file follows the database that was open when saving began.
    QCOMPARE(Configuration("FileName"), source);
}

void TestProjectDatabase::saveAsOntoItselfInOtherCaseIsRefused()
{
    QTemporaryDir dir;
    const QString source = CopyReference(dir, "Plant.prj");
    ProjectDatabase database;
    QVERIFY(database.OpenFile(source, "Admin", QString()));
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(dir.filePath("PLANT.prj"));
    QVERIFY(!database.SaveAs());
    QCOMPARE(messages.texts(), QStringList{"Can't save file " + dir.filePath("PLANT.prj") +
                                           ": The destination file is the same as the source file."});
    QVERIFY(database.IsOpen());
    QVERIFY(!QFile::exists(dir.filePath("PLANT.prj")));
}

void TestProjectDatabase::saveAsWithWrongExtension_data()
{
    QTest::addColumn<bool>("changeIt");
    QTest::newRow("No") << false;
    QTest::newRow("Yes, then a project name") << true;
}

void TestProjectDatabase::saveAsWithWrongExtension()
{
    QFETCH(bool, changeIt);
    QTemporaryDir dir;
    const QString source = CopyReference(dir, "one.prj");
    const QString mdb = dir.filePath("copy.mdb");
    ProjectDatabase database;
    QVERIFY(database.OpenFile(source, "Admin", QString()));
    ScriptedMessages messages;
    messages.answer(changeIt ? MessageAnswer::Yes : MessageAnswer::No);
    ScriptedFileDialogs dialogs;
    dialogs.choose(mdb);
    dialogs.choose(dir.filePath("copy.prj"));
    QCOMPARE(database.SaveAs(), changeIt);
    const QString question =
        "Filename '" + mdb + "' contains extension which is not allowed.\n\nDo you want to change it ?";
    QCOMPARE(messages.texts().first(), question);
    QCOMPARE(messages.shown().front().buttons, MessageButtons::YesNo);
    QVERIFY(!QFile::exists(mdb));
    if (changeIt) {
        QCOMPARE(messages.texts().size(), 1);
        QCOMPARE(dialogs.requests().at(1).initialPath, mdb);
        QCOMPARE(database.DisplayName(), dir.filePath("copy.prj"));
    } else {
        QCOMPARE(messages.texts().last(), "Can't save database as file '" + mdb + "'.");
        QVERIFY(!QFile::exists(dir.filePath("copy.prj")));
        QCOMPARE(database.DisplayName(), source);
    }
}

void TestProjectDatabase::failedCopyKeepsTheOpenProject()
{
    QTemporaryDir dir;
    const QString source = CopyReference(dir, "one.prj");
    ProjectDatabase database;
    QVERIFY(database.OpenFile(source, "Admin", QString()));
    QSignalSpy closed(&database, &ProjectDatabase::closed);
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(dir.filePath("missing-folder/two.prj"));
    QVERIFY(!database.SaveAs());
    QCOMPARE(messages.texts().size(), 1);
    QVERIFY(database.IsOpen());
    QCOMPARE(database.DisplayName(), source);
    QCOMPARE(closed.count(), 0);
    QCOMPARE(database.IdSequence()->NextId("Racks").toInt(), 100);
}

void TestProjectDatabase::copyThatFailsHalfwayKeepsTheExistingTarget()
{
    // A reference database whose reading fails with an I/O error.
    QTemporaryDir dir;
    QVERIFY(QFile::link("/proc/self/mem", dir.filePath("zw.vor")));
    AppPaths::setProgramFile(dir.filePath("zw"));
    const QString target = dir.filePath("existing.prj");
    WriteFile(target, "keep me");
    ProjectDatabase database;
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(target);
    QVERIFY(!database.CreateNew());
    QCOMPARE(messages.texts().size(), 1);
    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
    QVERIFY(!database.IsOpen());
}

void TestProjectDatabase::aMissingReferenceDatabaseIsNamedWithWhereItWasLookedFor()
{
    // A program whose reference database is gone.
    QTemporaryDir dir;
    AppPaths::setProgramFile(dir.filePath("zw"));
    ProjectDatabase database;
    ProjectCommands commands(database);
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(dir.filePath("new1.prj"));
    commands.OnFileNew();
    QCOMPARE(messages.texts(), QStringList{"The reference database '" + dir.filePath("zw.vor") +
                                           "' was not found: a new project is a copy of it. Reinstall the "
                                           "program or put the file back there."});
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
    // No file is asked for that could not be made.
    QVERIFY(dialogs.requests().empty());
    QVERIFY(!QFileInfo::exists(dir.filePath("new1.prj")));
    QVERIFY(!database.IsOpen());
    QCOMPARE(log.last().at(0).toString(), QString("New project creation failed."));
}

void TestProjectDatabase::dataLinkProjectIsRememberedAndCannotBeSavedAs()
{
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "shared.prj");
    const QString link = WriteDataLink(dir, "shared.UDL", "Provider=SQLite;Data Source=shared.prj");
    ProjectDatabase database;
    ProjectCommands commands(database);
    ScriptedMessages messages;
    QVERIFY(commands.OnOpenDocument(link));
    QVERIFY(database.OpenedByDataLink());
    QCOMPARE(database.DisplayName(), project);
    QVERIFY(!commands.CanSaveAs());
    ScriptedFileDialogs dialogs;
    commands.OnFileSaveAs();
    QVERIFY(dialogs.requests().empty());
    QVERIFY(!database.SaveAs());
    QVERIFY(commands.CanMakeActive());
    QSettings(SettingsSection::kOrganisation, SettingsSection::kConfigurationApplication)
        .setValue("Configuration/FileName", project);
    commands.MakeActive();
    QCOMPARE(Configuration("DataLinkFile"), link);
    QCOMPARE(Configuration("FileName"), QString());
    QVERIFY(!commands.CanMakeActive());
    QCOMPARE(ProjectCommands::RememberedStartFile(), link);
}

void TestProjectDatabase::projectFileIsRememberedAsFileName()
{
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "p.prj");
    QSettings(SettingsSection::kOrganisation, SettingsSection::kConfigurationApplication)
        .setValue("Configuration/DataLinkFile", dir.filePath("old.udl"));
    ProjectDatabase database;
    ProjectCommands commands(database);
    QVERIFY(commands.OnOpenDocument(project));
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    commands.OnCloseDocument();
    QCOMPARE(Configuration("FileName"), project);
    QCOMPARE(Configuration("DataLinkFile"), QString());
    QCOMPARE(log.last().at(0).toString(), "Project '" + project + "' closed.");
    QCOMPARE(commands.Title(), QString("Untitled"));
    QVERIFY(commands.PathName().isEmpty());
}

void TestProjectDatabase::recentFilesOpenAgain()
{
    QTemporaryDir dir;
    const QString first = CopyReference(dir, "first.prj");
    const QString second = CopyReference(dir, "second.prj");
    {
        ProjectDatabase database;
        ProjectCommands commands(database);
        QVERIFY(commands.OnOpenDocument(first));
        QVERIFY(commands.OnOpenDocument(second));
        QCOMPARE(commands.RecentFiles(), (QStringList{second, first}));
    }
    ProjectDatabase database;
    ProjectCommands commands(database);
    QCOMPARE(commands.RecentFiles(), (QStringList{second, first}));
    QVERIFY(commands.OnOpenRecentFile(1));
    QCOMPARE(database.DisplayName(), first);
    QCOMPARE(commands.RecentFiles().first(), first);
    QVERIFY(!commands.OnOpenRecentFile(7));
}

void TestProjectDatabase::logLinesGoToTheOutputLog()
{
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "logged.prj");
    OutputLog log(dir.filePath("Log"), QDateTime::currentDateTime());
    log.makeActive();
    QSignalSpy added(&log, &OutputLog::textAdded);
    ProjectDatabase database;
    ProjectCommands commands(database);
    QVERIFY(commands.OnOpenDocument(project));
    commands.OnCloseDocument();
    QCOMPARE(added.count(), 2);
    QVERIFY(added.at(0).at(0).toString().endsWith("Open project '" + project + "' successful.\n"));
    QVERIFY(added.at(1).at(0).toString().endsWith("Project '" + project + "' closed.\n"));
}

void TestProjectDatabase::badInput_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("not a database") << "garbage"
                                    << "is not a project database";
    QTest::newRow("truncated") << "truncated"
                               << "is not a project database";
    QTest::newRow("newer project") << "newer"
                                   << "The version of database is newer than the version of program. ";
    QTest::newRow("missing table") << "no table"
                                   << "Missing table 'DefaultSignals'.";
    QTest::newRow("missing column") << "no column"
                                    << "Missing column 'Memo' in table 'Modules7230_2'.";
    QTest::newRow("missing file") << "missing"
                                  << "No such file";
}

void TestProjectDatabase::badInput()
{
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString good = CopyReference(dir, "good.prj");
    QString bad = CopyReference(dir, "bad.prj");
    if (kind == "garbage") {
        WriteFile(bad, QByteArray(8192, 'z'));
    } else if (kind == "truncated") {
        QFile f(bad);
        f.resize(QFileInfo(bad).size() / 2);
    } else if (kind == "newer") {
        ExecOn(bad, "UPDATE SystemData SET Version = '1.99.00'");
    } else if (kind == "no table") {
        ExecOn(bad, "DROP TABLE DefaultSignals");
    } else if (kind == "no column") {
        ExecOn(bad, "ALTER TABLE Modules7230_2 DROP COLUMN Memo");
    } else if (kind == "missing") {
        bad = dir.filePath("gone.prj");
        // The system's text names the file it is about.
        expected = QStringLiteral("File '%1': %2").arg(QDir::toNativeSeparators(bad), expected);
    }
    ProjectDatabase database;
    ProjectCommands commands(database);
    QVERIFY(commands.OnOpenDocument(good));
    const int connections = OpenConnections();
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    QSignalSpy opened(&database, &ProjectDatabase::opened);
    ScriptedMessages messages;
    CapturedDataErrors dataErrors;
    QVERIFY(!commands.OnOpenDocument(bad));
    QVERIFY(!database.IsOpen());
    QCOMPARE(opened.count(), 0);
    QCOMPARE(log.last().at(0).toString(), "Open project '" + bad + "' failed.");
    const QString shown = (messages.texts() + dataErrors.texts()).join("|");
    QVERIFY2(shown.contains(expected), qPrintable(shown));
    if (!dataErrors.texts().isEmpty())
        QVERIFY(dataErrors.texts().first().endsWith("Can't connect to data source '" + bad + "'.\n"));
    // Nothing is left open or locked: the good project was closed first,
    // and the bad file can be replaced and opened at once.
    QCOMPARE(OpenConnections(), connections - 1);
    QVERIFY(commands.OnOpenDocument(good));
    if (QFile::exists(bad)) {
        QVERIFY(QFile::remove(bad));
        QVERIFY(QFile::copy(good, bad));
        QVERIFY(commands.OnOpenDocument(bad));
    }
}

void TestProjectDatabase::unknownProviderInDataLinkFile()
{
    QTemporaryDir dir;
    const QString link =
        WriteDataLink(dir, "odd.udl", "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=x.accdb");
    ProjectDatabase database;
    ProjectCommands commands(database);
    QSignalSpy log(&commands, &ProjectCommands::logLine);
    ScriptedMessages messages;
    QVERIFY(!commands.OnOpenDocument(link));
    QCOMPARE(messages.texts(),
             QStringList{"Can't find OLEDB provider specified in file '" + link +
                         "'. Make sure that datalink file contain existing OLEDB provider name."});
    QCOMPARE(log.last().at(0).toString(), "Open project '" + link + "' failed.");
}

void TestProjectDatabase::projectNamedByDataLinkMustExist()
{
    QTemporaryDir dir;
    const QString link = WriteDataLink(dir, "lost.udl", "Provider=SQLite;Data Source=lost.prj");
    ProjectDatabase database;
    ScriptedMessages messages;
    QVERIFY(!database.OpenFile(link, "Admin", QString()));
    QCOMPARE(messages.texts(),
             QStringList{"The database file '" + dir.filePath("lost.prj") + "' does not exist."});
    QVERIFY(!QFile::exists(dir.filePath("lost.prj")));
}

void TestProjectDatabase::readOnlyDataSourceOpensForReading()
{
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "ro.prj");
    const QString link = WriteDataLink(dir, "ro.udl", "Provider=SQLite;Data Source=ro.prj;Mode=1");
    ProjectDatabase database;
    ScriptedMessages messages;
    const QByteArray before = [&] {
        QFile file(project);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY(database.OpenFile(link, "Admin", QString()));
    QVERIFY(messages.texts().isEmpty());
    QVERIFY(database.IsOpen());
    QVERIFY(database.ReadOnly());
    // Not even the connection itself can write.
    QSqlQuery write(database.Session()->database());
    QVERIFY(!write.exec("UPDATE IDSequences SET ID = ID + 1"));
    database.CloseDatabase();
    QFile file(project);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    // Another project opened after it may be written again.
    QVERIFY(database.OpenFile(project, "Admin", QString()));
    QVERIFY(!database.ReadOnly());
}

void TestProjectDatabase::aDamagedCellOpensTheProjectForReadingWithoutItsRow()
{
    // Opened as the window opens it: one warning, the row that was left
    // out in the log before the open's own line, and the rest readable.
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "damaged.prj");
    ExecOn(project, "INSERT INTO Equipments (ID, ParentID, Name) SELECT 7, ID, 'Boiler' FROM ProjectsRoot");
    ExecOn(project, "INSERT INTO Equipments (ID, ParentID, Name) VALUES (8, 'x', 'Turbine')");
    const QByteArray before = [&] {
        QFile file(project);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    OutputLog log(dir.filePath("Log"), QDateTime::currentDateTime());
    log.makeActive();
    QSignalSpy added(&log, &OutputLog::textAdded);
    ScriptedMessages messages;
    ProjectDatabase database;
    ProjectCommands commands(database);
    QVERIFY(commands.OnOpenDocument(project));
    QVERIFY(database.ReadOnly());
    QCOMPARE(database.DamagedCells().size(), size_t(1));
    QCOMPARE(database.DamagedCells().front().Text(), QStringLiteral("row 8 of Equipments: column ParentID holds 'x'"));
    QCOMPARE(messages.texts().size(), 1);
    QVERIFY2(messages.texts().front().startsWith(QStringLiteral("The project '%1' holds 1 damaged cells").arg(project)),
             qPrintable(messages.texts().front()));
    QCOMPARE(added.count(), 2);
    QVERIFY(added.at(0).at(0).toString().endsWith("Left out: row 8 of Equipments: column ParentID holds 'x'.\n"));
    QVERIFY(added.at(1).at(0).toString().endsWith("Open project '" + project + "' successful.\n"));
    QSqlQuery rows(database.Session()->database());
    QVERIFY(rows.exec("SELECT Name FROM Equipments"));
    QVERIFY(rows.next());
    QCOMPARE(rows.value(0).toString(), QStringLiteral("Boiler"));
    QVERIFY(!rows.next());
    QSqlQuery write(database.Session()->database());
    QVERIFY(!write.exec("UPDATE IDSequences SET ID = ID + 1"));
    commands.OnCloseDocument();
    QFile file(project);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestProjectDatabase::connectionDetailsOfAProjectFile()
{
    QTemporaryDir dir;
    const QString project = CopyReference(dir, "p.prj");
    ProjectDatabase database;
    QVERIFY(database.OpenFile(project, "Admin", "pw"));
    const ConnectionDetails details = ReadConnectionDetails(database);
    QCOMPARE(details.dataSourceName, project);
    QCOMPARE(details.providerName, QString("SQLite"));
    QVERIFY(details.providerVersion.startsWith("3."));
    QList<QPair<QString, QString>> expected{{"Data Source", project},
                                            {"Mode", "16"},
                                            {"Password", "********"},
                                            {"Provider", "Microsoft.Jet.OLEDB.4.0"},
                                            {"User ID", "Admin"}};
    QCOMPARE(details.properties, expected);
}

void TestProjectDatabase::askSaveChanges_data()
{
    QTest::addColumn<bool>("module");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("autoApply");
    QTest::addColumn<bool>("applySucceeds");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("calls");
    QTest::newRow("module Yes") << true << int(MessageAnswer::Yes) << false << true << true << "module";
    QTest::newRow("module Yes, apply refused")
        << true << int(MessageAnswer::Yes) << false << false << false << "module";
    QTest::newRow("module No") << true << int(MessageAnswer::No) << false << true << true << "clear";
    QTest::newRow("module Cancel") << true << int(MessageAnswer::Cancel) << false << true << false << "";
    QTest::newRow("module auto apply") << true << -1 << true << true << true << "module";
    QTest::newRow("item Yes") << false << int(MessageAnswer::Yes) << false << true << true << "item,clear";
    QTest::newRow("item Yes, apply fails")
        << false << int(MessageAnswer::Yes) << false << false << false << "item";
    QTest::newRow("item No") << false << int(MessageAnswer::No) << false << true << true << "clear";
    QTest::newRow("item Cancel") << false << int(MessageAnswer::Cancel) << false << true << false << "";
}

void TestProjectDatabase::askSaveChanges()
{
    QFETCH(bool, module);
    QFETCH(int, answer);
    QFETCH(bool, autoApply);
    QFETCH(bool, applySucceeds);
    QFETCH(bool, result);
    QFETCH(QString, calls);
    WriteSetting("AutoApplyChanges", autoApply ? 1 : 0);
    bool modified = true;
    QStringList made;
    SaveChangesHooks hooks;
    hooks.isPumpingMessages = [] { return false; };
    hooks.hasCurrentItem = [] { return true; };
    hooks.isModified = [&] { return modified; };
    hooks.currentIsModuleOrSignal = [&] { return module; };
    hooks.applyModuleView = [&] {
        made << "module";
        modified = !applySucceeds;
    };
    hooks.applyItemView = [&] {
        made << "item";
        return applySucceeds;
    };
    hooks.clearModified = [&] {
        made << "clear";
        modified = false;
    };
    ScriptedMessages messages;
    if (answer >= 0)
        messages.answer(MessageAnswer(answer));
    QCOMPARE(AskSaveChanges(hooks), result);
    QCOMPARE(made.join(","), calls);
    if (answer >= 0) {
        QCOMPARE(messages.texts(),
                 QStringList{"The data has been changed.\n\nDo you want to save the changes ?"});
        QCOMPARE(messages.shown().front().buttons, MessageButtons::YesNoCancel);
    } else {
        QVERIFY(messages.texts().isEmpty());
    }
    WriteSetting("AutoApplyChanges", 0);
}

void TestProjectDatabase::askSaveChangesIsSilentWhilePumping()
{
    SaveChangesHooks hooks;
    bool modified = true;
    hooks.isPumpingMessages = [] { return true; };
    hooks.hasCurrentItem = [] { return true; };
    hooks.isModified = [&] { return modified; };
    ScriptedMessages messages;
    QVERIFY(!AskSaveChanges(hooks));
    hooks.isPumpingMessages = [] { return false; };
    modified = false;
    QVERIFY(AskSaveChanges(hooks));
    QVERIFY(messages.texts().isEmpty());
}

QTEST_GUILESS_MAIN(TestProjectDatabase)
#include "test_project_database.moc"
