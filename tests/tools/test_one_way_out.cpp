#include "tool_test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace ToolTest;

// Every command that writes a file the user names, against every target a
// user might name by mistake or by malice: each is refused at once with the
// file and the reason, and the target keeps its bytes and its kind; only an
// unrelated file given with --force is replaced, keeping its permissions.
class TestOneWayOut : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void hostileTargets_data();
    void hostileTargets();
    void standardOutputIsWrittenWhole();
    void aPipeNamedWithoutExtensionIsRefusedNotWrittenBeside();

private:
    QTemporaryDir m_dir;
    QString m_template;
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");

enum class Kind { Report, Project, DataLink };

struct Command {
    const char *name;
    Kind kind;
    const char *suffix;
    // The arguments with %P for the project and %T for the target.
    QStringList args;
    const char *tool = "zelnorctl";
};

const QList<Command> &Commands()
{
    static const QList<Command> commands = {
        {"print --pdf", Kind::Report, "pdf", {"print", "%P", "--pdf", "%T"}},
        {"print --pdf --module", Kind::Report, "pdf",
         {"print", "%P", "--pdf", "%T", "--module", "\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]"}},
        {"records --pdf", Kind::Report, "pdf", {"records", "%P", "--pdf", "%T"}},
        {"records --csv", Kind::Report, "csv", {"records", "%P", "--csv", "%T"}},
        {"export --csv", Kind::Report, "csv", {"export", "%P", "--csv", "%T"}},
        {"new", Kind::Project, "prj", {"new", "%T"}},
        {"zelnor-project new", Kind::Project, "prj", {"new", "%T"}, "zelnor-project"},
        {"zelnor-project save-as", Kind::Project, "prj", {"save-as", "%P", "%T"}, "zelnor-project"},
        {"zelnor-project to-server --udl", Kind::DataLink, "udl",
         {"to-server", "%P", "--server", "127.0.0.1:1", "--database", "plant", "--user", "u", "--password", "secret",
          "--udl", "%T"},
         "zelnor-project"},
    };
    return commands;
}

struct State {
    QByteArray bytes;
    mode_t mode = 0;
    bool exists = false;
};

State StateOf(const QString &path)
{
    State state;
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return state;
    state.exists = true;
    state.mode = status.st_mode;
    if (S_ISREG(status.st_mode))
        state.bytes = Checksum(path);
    return state;
}

// A device node where the system lets us make one, else a link to one.
void MakeDevice(const QString &path)
{
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        QFile::link(QStringLiteral("/dev/null"), path);
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
}
} // namespace

void TestOneWayOut::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_template = NewProject(m_dir, QStringLiteral("template.prj"));
    QCOMPARE(Ctl({"add", m_template, "\\\\Project", "plant"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_template, kPlant, "7", "TT-101", "TT-102"}).exitCode, 0);
}

void TestOneWayOut::hostileTargets_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("force");
    for (int c = 0; c < Commands().size(); ++c) {
        const char *name = Commands()[c].name;
        for (const char *target : {"open project", "another project", "data link file", "device", "fifo", "folder",
                                   "unrelated file"})
            QTest::addRow("%s onto %s --force", name, target) << c << QString::fromLatin1(target) << true;
        QTest::addRow("%s onto unrelated file", name) << c << QStringLiteral("unrelated file") << false;
    }
}

void TestOneWayOut::hostileTargets()
{
    QFETCH(int, command);
    QFETCH(QString, target);
    QFETCH(bool, force);
    const Command &run = Commands()[command];
    QTemporaryDir dir;
    const QString project = dir.filePath("plant.prj");
    QVERIFY(QFile::copy(m_template, project));
    const QString suffix = QString::fromLatin1(run.suffix);
    QString path;
    if (target == "open project") {
        path = project;
    } else if (target == "another project") {
        path = dir.filePath("other.prj");
        QVERIFY(QFile::copy(m_template, path));
    } else if (target == "data link file") {
        path = dir.filePath("other.udl");
        WriteFile(path, "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                        "Provider=SQLite;Data Source=other.prj\r\n");
    } else if (target == "device") {
        path = dir.filePath("device." + suffix);
        MakeDevice(path);
    } else if (target == "fifo") {
        path = dir.filePath("pipe." + suffix);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (target == "folder") {
        path = dir.filePath("folder." + suffix);
        QVERIFY(QDir().mkdir(path));
    } else {
        path = dir.filePath("notes." + suffix);
        WriteFile(path, "TT-101 calibrated on site\n");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    }
    const State projectBefore = StateOf(project);
    const State before = StateOf(path);

    QStringList args;
    for (const QString &arg : run.args)
        args << (arg == "%P" ? project : arg == "%T" ? path : arg);
    if (force)
        args << "--force";
    const TestSupport::ToolRun result = TestSupport::runTool(QString::fromLatin1(run.tool), args, 30000);
    QVERIFY2(result.exitCode != -1, "the command did not end within 30 seconds");

    // What may be replaced: an unrelated file with --force, and for the
    // project commands another project (the dialog's question answered).
    const bool replaceable =
        force && (target == "unrelated file" ||
                  (run.kind == Kind::Project && target == "another project"));
    const bool reachesServer = run.kind == Kind::DataLink && (target == "data link file" || replaceable);
    const bool sameAsSource = QString(run.name).endsWith("save-as") && target == "open project";
    const bool newOverOpen = run.kind == Kind::Project && !sameAsSource && target == "open project" && force;
    if ((replaceable || newOverOpen) && !reachesServer) {
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        const State after = StateOf(path);
        QVERIFY(S_ISREG(after.mode));
        QVERIFY(after.bytes != before.bytes);
        if (target == "unrelated file")
            QCOMPARE(after.mode & 0777, before.mode & 0777);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(".part").size(), 0);
        return;
    }
    QVERIFY2(result.exitCode != 0, qPrintable(result.out));
    const State after = StateOf(path);
    QCOMPARE(after.exists, before.exists);
    QCOMPARE(after.mode, before.mode);
    QCOMPARE(after.bytes, before.bytes);
    QCOMPARE(StateOf(project).bytes, projectBefore.bytes);
    if (reachesServer)
        return;
    // The message names the file and why.
    QVERIFY2(result.err.contains(path) || result.err.contains(QDir::toNativeSeparators(path)),
             qPrintable(result.err));
    const char *reason = target == "open project"      ? (sameAsSource ? "same as the source" : "open project")
                         : target == "fifo"            ? "not a plain file"
                         : target == "device"          ? "not a plain file"
                         : target == "folder"          ? "folder"
                         : target == "unrelated file"  ? "--force"
                                                       : "project file";
    if (run.kind == Kind::Project && !force)
        reason = "exists";
    if (run.kind == Kind::Project && force && (target == "data link file"))
        reason = "not allowed";
    QVERIFY2(result.err.contains(QLatin1String(reason)), qPrintable(result.err));
}

void TestOneWayOut::standardOutputIsWrittenWhole()
{
    QTemporaryDir dir;
    const QString project = dir.filePath("plant.prj");
    QVERIFY(QFile::copy(m_template, project));
    TestSupport::ToolRun run = Ctl({"export", project, "--csv", "-"}, 30000);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("Plant,"), qPrintable(run.out));
    QVERIFY(run.out.contains("TT-101"));
    // /dev/stdout is what standard output is: a pipe here, never opened to look into.
    run = Ctl({"export", project, "--csv", "/dev/stdout"}, 30000);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("not a plain file"), qPrintable(run.err));
    run = Ctl({"print", project, "--pdf", "-"}, 30000);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("%PDF-"));
}

// A report named without an extension gets one, but only as a new file: a
// pipe or a folder named so is refused, and nothing is written beside it.
void TestOneWayOut::aPipeNamedWithoutExtensionIsRefusedNotWrittenBeside()
{
    QTemporaryDir dir;
    const QString project = dir.filePath("plant.prj");
    QVERIFY(QFile::copy(m_template, project));
    const QString pipe = dir.filePath("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    const QString folder = dir.filePath("folder");
    QVERIFY(QDir().mkdir(folder));
    for (const QString &target : {pipe, folder}) {
        const TestSupport::ToolRun result = Ctl({"records", project, "--csv", target}, 30000);
        QVERIFY2(result.exitCode != -1, "the command did not end within 30 seconds");
        QVERIFY2(result.exitCode != 0, qPrintable(result.out));
        QVERIFY2(result.err.contains(target), qPrintable(result.err));
        QVERIFY(!QFileInfo::exists(target + ".csv"));
    }
}

QTEST_GUILESS_MAIN(TestOneWayOut)
#include "test_one_way_out.moc"
