#include "db/db_test_support.h"
#include "db/project_database.h"
#include "db/scripted_file_dialogs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// Save As and New take a copy of a project file that other programs may be
// writing at that moment: the copy is the file as one commit left it, or
// the copy is refused; a file that is no project or no plain file is never
// what the copy replaces.
class TestProjectFileCopies : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init() { TestSupport::useBuiltProgramPaths(); }
    void saveAsWhileAnotherProgramWritesIsWholeOrRefused();
    void saveAsNeverReplacesTheOpenProjectOrAPipe();
};

namespace {

QString CopyReference(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile::copy(AppPaths::referenceDatabasePath(), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QByteArray Checksum(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray("missing");
}

QVariant Scalar(const QString &path, const QString &statement)
{
    std::vector<ProviderErrorRecord> error;
    const std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(path, true), &error);
    if (!session)
        return QStringLiteral("cannot open");
    QSqlQuery query(session->database());
    if (!query.exec(statement) || !query.next())
        return query.lastError().text();
    return query.value(0);
}

QStringList FilesIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

void TestProjectFileCopies::saveAsWhileAnotherProgramWritesIsWholeOrRefused()
{
    QTemporaryDir dir;
    const QString source = CopyReference(dir, "plant.prj");
    const QString target = dir.filePath("copy.prj");
    ProjectDatabase database;
    QVERIFY(database.OpenFile(source, "Admin", QString()));

    // Another writer in the middle of a large change: with a tiny page cache
    // SQLite writes part of it into the file before the commit.
    std::vector<ProviderErrorRecord> error;
    std::unique_ptr<DbSession> writer = DbSession::open(DataSource::sqliteFile(source), &error);
    QVERIFY(writer);
    QSqlQuery write(writer->database());
    QVERIFY(write.exec("CREATE TABLE Notes (ID INTEGER PRIMARY KEY, Body TEXT)"));
    QVERIFY(write.exec("CREATE INDEX NotesBody ON Notes (Body)"));
    const QByteArray committed = Checksum(source);
    QVERIFY(write.exec("PRAGMA cache_size = 5"));
    QVERIFY(write.exec("BEGIN"));
    for (int i = 0; i < 3000; ++i)
        QVERIFY(write.exec(QStringLiteral("INSERT INTO Notes (Body) VALUES ('%1')").arg(QString(200, QChar('a' + i % 26)) + QString::number(i))));
    QVERIFY2(Checksum(source) != committed, "the writer kept its change in memory; the case needs it in the file");

    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(target);
    const bool saved = database.SaveAs();
    if (saved) {
        // Only what was committed: none of the writer's rows.
        QCOMPARE(Scalar(target, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        QCOMPARE(Scalar(target, "SELECT COUNT(*) FROM Notes").toInt(), 0);
    } else {
        QVERIFY(!QFile::exists(target));
        QVERIFY2(messages.texts().join('\n').contains("Can't save database as file '" + target + "'."),
                 qPrintable(messages.texts().join('\n')));
        QCOMPARE(database.DisplayName(), source);
    }
    QVERIFY(write.exec("ROLLBACK"));
    write.finish();
    writer.reset();
    QCOMPARE(FilesIn(dir), saved ? QStringList({"copy.prj", "plant.prj"}) : QStringList({"plant.prj"}));

    // Once the writer is done the copy is taken, and it is whole.
    if (!saved) {
        dialogs.choose(target);
        QVERIFY(database.SaveAs());
        QCOMPARE(Scalar(target, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        QCOMPARE(database.DisplayName(), target);
    }
}

void TestProjectFileCopies::saveAsNeverReplacesTheOpenProjectOrAPipe()
{
    QTemporaryDir dir;
    const QString source = CopyReference(dir, "plant.prj");
    const QString pipe = dir.filePath("pipe.prj");
    QCOMPARE(QProcess::execute("mkfifo", {pipe}), 0);
    ProjectDatabase database;
    QVERIFY(database.OpenFile(source, "Admin", QString()));
    const QByteArray before = Checksum(source);
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    dialogs.choose(pipe);
    QVERIFY(!database.SaveAs());
    QVERIFY2(messages.texts().join('\n').contains("is not a plain file"), qPrintable(messages.texts().join('\n')));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    // New onto the open project would throw it away while it is open.
    messages.clear();
    dialogs.choose(source);
    QVERIFY(!database.CreateNew());
    QVERIFY2(messages.texts().join('\n').contains("is the open project"), qPrintable(messages.texts().join('\n')));
    QCOMPARE(Checksum(source), before);
    QCOMPARE(database.DisplayName(), source);
    QCOMPARE(FilesIn(dir), QStringList({"pipe.prj", "plant.prj"}));

    // Another name is taken, and the copy passes the full check.
    messages.clear();
    dialogs.choose(dir.filePath("new.prj"));
    QVERIFY(database.CreateNew());
    QCOMPARE(Scalar(dir.filePath("new.prj"), "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    QCOMPARE(FilesIn(dir), QStringList({"new.prj", "pipe.prj", "plant.prj"}));
    QVERIFY(messages.texts().isEmpty());
}

QTEST_GUILESS_MAIN(TestProjectFileCopies)
#include "test_project_file_copies.moc"
