#include "db/connection_properties.h"
#include "db/data_link_file.h"
#include "db/output_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The rules of the one way out and in, on real files, pipes and folders.
class TestOutputFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void refusalsByWhatStatSays();
    void earlierOutputOfTheSameKindIsReplacedWithoutAsking();
    void replacedFileKeepsItsPermissions();
    void passwordsAreForTheOwnerOnly();
    void dataLinkFileNeverTakesAProjectsPlace();
    void aProjectNeverTakesADataLinksPlace();
    void readersRefusePipesAndFoldersAtOnce();
    void appendRefusesAPipe();

private:
    QTemporaryDir m_dir;
    QString Path(const QString &name) const { return m_dir.filePath(name); }
};

namespace {
void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
}

// What a plain file holds; a pipe or a device is never opened.
QByteArray Read(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QByteArray("no plain file");
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

mode_t ModeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

ConnectionProperties Server(const QString &password)
{
    ConnectionProperties server;
    server.setValue(ConnectionProperties::kProvider, QStringLiteral("PostgreSQL"));
    server.setValue(ConnectionProperties::kDataSource, QStringLiteral("db.example:5432"));
    server.setValue(ConnectionProperties::kInitialCatalog, QStringLiteral("plant"));
    server.setValue(ConnectionProperties::kUserId, QStringLiteral("engineer"));
    server.setValue(ConnectionProperties::kPassword, password);
    return server;
}
} // namespace

void TestOutputFile::refusalsByWhatStatSays()
{
    using OutputFile::Content;
    Write(Path("open.prj"), QByteArray("SQLite format 3\0", 16) + "rest");
    Write(Path("db.bin"), QByteArray("SQLite format 3\0", 16) + "rest");
    Write(Path("notes.txt"), "notes\n");
    QVERIFY(QDir().mkdir(Path("folder")));
    QCOMPARE(::mkfifo(QFile::encodeName(Path("pipe.csv")).constData(), 0644), 0);
    QVERIFY(QFile::link(Path("open.prj"), Path("alias.csv")));
    QVERIFY(QFile::link(Path("nowhere"), Path("dangling.csv")));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), Path("null.csv")));
    const QString open = Path("open.prj");
    const struct {
        QString path;
        Content content;
        bool force;
        const char *reason; // nullptr: may be written
    } cases[] = {
        {open, Content::Project, true, "is the open project"},
        {Path("alias.csv"), Content::Text, true, "is the open project"},
        {Path("db.bin"), Content::Pdf, true, "is a project file"},
        {Path("other.PRJ"), Content::Text, true, "is a project file"},
        {Path("ref.vor"), Content::Pdf, true, "is a project file"},
        {Path("x.udl"), Content::Text, true, "is a project file"},
        {Path("folder"), Content::Text, true, "is a folder"},
        {Path("pipe.csv"), Content::Text, true, "not a plain file"},
        {Path("null.csv"), Content::Text, true, "not a plain file"},
        {Path("dangling.csv"), Content::Text, true, "not a plain file"},
        {Path("notes.txt"), Content::Text, false, "give --force"},
        {Path("notes.txt"), Content::Pdf, false, "give --force"},
        {Path("notes.txt"), Content::Text, true, nullptr},
        {Path("new.csv"), Content::Text, false, nullptr},
        {QStringLiteral("-"), Content::Pdf, false, nullptr},
    };
    for (const auto &c : cases) {
        OutputFile::Target target(c.path, c.content, c.force, open);
        const std::optional<QString> refusal = OutputFile::Refusal(target);
        if (!c.reason) {
            QVERIFY2(!refusal, qPrintable(c.path));
            continue;
        }
        QVERIFY2(refusal, qPrintable(c.path));
        QVERIFY2(refusal->contains(c.path) && refusal->contains(QLatin1String(c.reason)), qPrintable(*refusal));
        // Written through the service: refused the same way, nothing changes.
        const QByteArray before = Read(c.path);
        QCOMPARE(OutputFile::WriteBytes(target, "report"), *refusal);
        QCOMPARE(Read(c.path), before);
    }
    QCOMPARE(QFileInfo(Path("pipe.csv")).isFile(), false);
    QVERIFY(QFileInfo(Path("null.csv")).isSymLink());
}

void TestOutputFile::earlierOutputOfTheSameKindIsReplacedWithoutAsking()
{
    const QString list = Path("list.csv");
    Write(list, "Plant,Type\r\nold\r\n");
    OutputFile::Target target(list);
    target.ownHead = "Plant,Type\r\n";
    QCOMPARE(OutputFile::WriteBytes(target, "Plant,Type\r\nnew\r\n"), QString());
    QCOMPARE(Read(list), QByteArray("Plant,Type\r\nnew\r\n"));
    target.ownHead = "Serial,Result\n";
    QVERIFY(OutputFile::Refusal(target));
    Write(Path("old.pdf"), "%PDF-1.4 old");
    QCOMPARE(OutputFile::WriteBytes({Path("old.pdf"), OutputFile::Content::Pdf}, "%PDF-1.4 new"), QString());
    QCOMPARE(Read(Path("old.pdf")), QByteArray("%PDF-1.4 new"));
}

void TestOutputFile::replacedFileKeepsItsPermissions()
{
    const QString notes = Path("kept.txt");
    Write(notes, "old\n");
    QVERIFY(QFile::setPermissions(notes, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QCOMPARE(OutputFile::WriteTextLines({notes, OutputFile::Content::Text, true}, {"new"}), QString());
    QCOMPARE(Read(notes), QByteArray("new\n"));
    QCOMPARE(ModeOf(notes), mode_t(0640));
    // A write that fails leaves the old file and nothing beside it.
    QVERIFY(!OutputFile::Write({notes, OutputFile::Content::Text, true}, [](QIODevice &) { return false; })
                 .isEmpty());
    QCOMPARE(Read(notes), QByteArray("new\n"));
    QCOMPARE(QDir(m_dir.path()).entryList({"kept.txt*"}, QDir::Files | QDir::Hidden).size(), 1);
}

void TestOutputFile::passwordsAreForTheOwnerOnly()
{
    const QString link = Path("server.udl");
    QString error;
    QVERIFY2(DataLinkFile::write(link, Server(QStringLiteral("s3cret")), &error), qPrintable(error));
    QCOMPARE(ModeOf(link), mode_t(0600));
    // Replacing a readable one with a password makes it the owner's.
    QVERIFY(QFile::setPermissions(link, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(DataLinkFile::write(link, Server(QStringLiteral("s3cret")), &error));
    QCOMPARE(ModeOf(link), mode_t(0600));
    ConnectionProperties back;
    QVERIFY(DataLinkFile::read(link, back, &error));
    QCOMPARE(back.value(ConnectionProperties::kPassword), QStringLiteral("s3cret"));
    // Without a password the file keeps what it had.
    QVERIFY(QFile::setPermissions(link, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(DataLinkFile::write(link, Server(QString()), &error));
    QCOMPARE(ModeOf(link), mode_t(0640));
}

void TestOutputFile::dataLinkFileNeverTakesAProjectsPlace()
{
    QString error;
    const QString project = Path("plant.prj");
    Write(project, QByteArray("SQLite format 3\0", 16));
    QVERIFY(!DataLinkFile::write(DataLinkFile::target(project, Server("pw"), true), Server("pw"), &error));
    QVERIFY2(error.contains("is a project file"), qPrintable(error));
    const QString disguised = Path("disguised.udl");
    Write(disguised, QByteArray("SQLite format 3\0", 16));
    QVERIFY(!DataLinkFile::write(DataLinkFile::target(disguised, Server("pw"), true), Server("pw"), &error));
    QCOMPARE(Read(disguised), QByteArray("SQLite format 3\0", 16));
    // Some other file only when the user agreed.
    const QString notes = Path("notes.udl.txt");
    Write(notes, "notes");
    QVERIFY(!DataLinkFile::write(notes, Server("pw"), &error));
    QVERIFY(DataLinkFile::write(DataLinkFile::target(notes, Server("pw"), true), Server("pw"), &error));
}

void TestOutputFile::aProjectNeverTakesADataLinksPlace()
{
    QString error;
    const QString link = Path("shared.udl");
    QVERIFY(DataLinkFile::write(link, Server("pw"), &error));
    const QByteArray linkBytes = Read(link);
    const QString renamedLink = Path("shared-link.txt");
    QVERIFY(QFile::copy(link, renamedLink));
    for (const QString &path : {link, renamedLink, Path("new.udl")}) {
        const std::optional<QString> refusal = OutputFile::Refusal({path, OutputFile::Content::Project, true});
        QVERIFY2(refusal && refusal->contains("is a project file"), qPrintable(path));
    }
    QCOMPARE(Read(link), linkBytes);
    QVERIFY(!OutputFile::Refusal({Path("new.prj"), OutputFile::Content::Project, true}));
}

void TestOutputFile::readersRefusePipesAndFoldersAtOnce()
{
    const QString pipe = Path("in.udl");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    QElapsedTimer clock;
    clock.start();
    ConnectionProperties properties;
    QString error;
    QVERIFY(!DataLinkFile::read(pipe, properties, &error));
    QVERIFY2(error.contains(pipe) && error.contains("not a plain file"), qPrintable(error));
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(QDir().mkdir(Path("in.csv")));
    const std::optional<QString> folder = InputFile::Refusal(Path("in.csv"));
    QVERIFY(folder && folder->contains("is a folder"));
    QVERIFY(InputFile::Refusal(QStringLiteral("/dev/null")));
    QVERIFY(!InputFile::Refusal(Path("missing.csv")));
    Write(Path("plain.csv"), "a");
    QVERIFY(!InputFile::Refusal(Path("plain.csv")));
}

void TestOutputFile::appendRefusesAPipe()
{
    const QString pipe = Path("monitor.txt");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    QVERIFY(OutputFile::Append(pipe, "line\n").contains("not a plain file"));
    const QString file = Path("monitor2.txt");
    QCOMPARE(OutputFile::Append(file, "one\n"), QString());
    QCOMPARE(OutputFile::Append(file, "two\n"), QString());
    QCOMPARE(Read(file), QByteArray("one\ntwo\n"));
}

QTEST_GUILESS_MAIN(TestOutputFile)
#include "test_output_file.moc"
