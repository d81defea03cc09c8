#include "db/db_test_support.h"
#include "db/scripted_file_dialogs.h"
#include "tools/jet_old_project.h"

#include "db/project_commands.h"
#include "db/project_database.h"
#include "db/project_strings.h"
#include "base/string_table.h"
#include "exchange/older_tool_open.h"
#include "log/output_log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>

namespace {

QByteArray Checksum(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray("missing");
}

// The lines the output log was given while the object lived.
class LogLines {
public:
    LogLines()
    {
        m_log.makeActive();
        QObject::connect(&m_log, &OutputLog::textAdded, [this](const QString &text) { m_text += text; });
    }
    const QString &text() const { return m_text; }

private:
    OutputLog m_log;
    QString m_text;
};

const QString kOlderToolMessage = QStringLiteral(
    "This project was made by the older tool. It is carried over into a new project file; the old file is not "
    "changed.");

} // namespace

class TestOlderToolOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init();
    void openingCarriesOverIntoTheChosenFile();
    void aDoubleClickOpensTheCarriedProject();
    void cancelOrRefusalOpensNothingAndLeavesNothing();
    void aProjectOfThisProgramOpensAsBefore();

private:
    std::unique_ptr<ProjectCopy> m_project;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_old;
};

void TestOlderToolOpen::init()
{
    m_project = std::make_unique<ProjectCopy>();
    m_project->exec("INSERT INTO Equipments (ID, ParentID, Name) VALUES (4711, 1, 'Kesselhaus °Süd')");
    m_folder = std::make_unique<QTemporaryDir>();
    m_old = m_folder->filePath("plant.prj");
    QVERIFY(JetOldProject::WriteJet(JetOldProject::JetContentOf(m_project->path()), m_old));
}

void TestOlderToolOpen::openingCarriesOverIntoTheChosenFile()
{
    const QByteArray before = Checksum(m_old);
    ProjectDatabase database;
    OlderToolOpen::Install(database);
    ScriptedFileDialogs dialogs;
    const QString target = m_folder->filePath("chosen.prj");
    dialogs.choose(target);
    ScriptedMessages messages;
    LogLines log;
    QVERIFY(database.OpenFile(m_old, "Admin", QString()));
    QCOMPARE(database.OpenedPath(), target);
    QCOMPARE(messages.texts(), QStringList{kOlderToolMessage});
    QCOMPARE(dialogs.requests().size(), size_t(1));
    QCOMPARE(dialogs.requests()[0].kind, FileDialogRequest::Kind::Save);
    QCOMPARE(dialogs.requests()[0].initialPath, m_folder->filePath("plant-converted.prj"));
    QVERIFY2(log.text().contains("Equipments: 1 row carried over.") && log.text().contains("Carried over '" + m_old),
             qPrintable(log.text()));
    QSqlQuery plant(database.Session()->database());
    QVERIFY(plant.exec("SELECT Name FROM Equipments WHERE ID = 4711") && plant.next());
    QCOMPARE(plant.value(0).toString(), QStringLiteral("Kesselhaus °Süd"));
    QCOMPARE(Checksum(m_old), before);
}

void TestOlderToolOpen::aDoubleClickOpensTheCarriedProject()
{
    ProjectDatabase database;
    OlderToolOpen::Install(database);
    ProjectCommands commands(database);
    ScriptedFileDialogs dialogs;
    dialogs.choose(m_folder->filePath("plant-converted.prj"));
    ScriptedMessages messages;
    LogLines log;
    QVERIFY(commands.OnOpenDocument(m_old));
    QCOMPARE(commands.Title(), QStringLiteral("plant-converted.prj"));
    QVERIFY(log.text().contains("rows carried over."));
    // The log names the project that is open: the new file, not the old one.
    const QString opened = Str(ProjectStrings::LogOpenSuccessful);
    const QString openedLine = log.text().mid(log.text().indexOf(opened.left(opened.indexOf('%'))));
    QVERIFY2(openedLine.contains(m_folder->filePath("plant-converted.prj")), qPrintable(log.text()));
    QVERIFY2(!openedLine.startsWith(StrF(ProjectStrings::LogOpenSuccessful, {m_old})), qPrintable(log.text()));
}

void TestOlderToolOpen::cancelOrRefusalOpensNothingAndLeavesNothing()
{
    ProjectDatabase database;
    OlderToolOpen::Install(database);
    {
        ScriptedFileDialogs cancelled;
        ScriptedMessages messages;
        QVERIFY(!database.OpenFile(m_old, "Admin", QString()));
        QVERIFY(!database.IsOpen());
        QCOMPARE(messages.texts(), QStringList{kOlderToolMessage});
    }
    // A file cut short: said in a message and in the log, nothing written.
    QFile cut(m_old);
    QVERIFY(cut.open(QIODevice::ReadWrite) && cut.resize(20000));
    cut.close();
    ScriptedFileDialogs dialogs;
    dialogs.choose(m_folder->filePath("cut.prj"));
    ScriptedMessages messages;
    LogLines log;
    QVERIFY(!database.OpenFile(m_old, "Admin", QString()));
    QCOMPARE(messages.texts().size(), 2);
    QVERIFY2(messages.texts()[1].contains("is cut short") && messages.texts()[1].contains("nothing was written"),
             qPrintable(messages.texts()[1]));
    QVERIFY(log.text().contains("is cut short"));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plant.prj"});
}

void TestOlderToolOpen::aProjectOfThisProgramOpensAsBefore()
{
    ProjectDatabase database;
    OlderToolOpen::Install(database);
    ScriptedFileDialogs dialogs;
    ScriptedMessages messages;
    QVERIFY(database.OpenFile(m_project->path(), "Admin", QString()));
    QCOMPARE(database.OpenedPath(), m_project->path());
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(dialogs.requests().size(), size_t(0));
}

QTEST_MAIN(TestOlderToolOpen)
#include "test_older_tool_open.moc"
