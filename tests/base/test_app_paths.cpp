#include "base/app_paths.h"
#include "base/language.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The program finds what it reads in one place: beside itself in a build
// folder, in share/zelnor-wizard beside its bin folder once installed.
class TestAppPaths : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void buildFolderKeepsEverythingBesideTheProgram();
    void installedProgramReadsTheShareFolder();
    void installedProgramWritesIntoTheUsersDataFolder();
};

namespace {
// An installation under ROOT: ROOT/bin/zelnor-wizard and ROOT/share/zelnor-wizard
// holding a copy of the built English pack and a reference database.
QString makeInstallation(const QTemporaryDir &root)
{
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    QDir(root.path()).mkpath(QStringLiteral("share/zelnor-wizard"));
    const QString share = root.filePath(QStringLiteral("share/zelnor-wizard"));
    QFile::copy(QDir(TestSupport::binDirectory()).filePath(QStringLiteral("LangEN.pak")),
                QDir(share).filePath(QStringLiteral("LangEN.pak")));
    QFile reference(QDir(share).filePath(QStringLiteral("zelnor-wizard.vor")));
    reference.open(QIODevice::WriteOnly);
    reference.write("reference");
    return root.filePath(QStringLiteral("bin/zelnor-wizard"));
}
} // namespace

void TestAppPaths::cleanup()
{
    TestSupport::useBuiltProgramPaths();
}

void TestAppPaths::buildFolderKeepsEverythingBesideTheProgram()
{
    QTemporaryDir build;
    AppPaths::setProgramFile(build.filePath(QStringLiteral("zelnor-wizard")));
    QCOMPARE(AppPaths::shareDirectory(), QDir(build.path()).absolutePath());
    QCOMPARE(AppPaths::referenceDatabasePath(), build.filePath(QStringLiteral("zelnor-wizard.vor")));
    QCOMPARE(AppPaths::writableSubdirectory(QStringLiteral("Log")), build.filePath(QStringLiteral("Log")));
}

void TestAppPaths::installedProgramReadsTheShareFolder()
{
    QTemporaryDir root;
    AppPaths::setProgramFile(makeInstallation(root));
    const QString share = QDir(root.filePath(QStringLiteral("share/zelnor-wizard"))).absolutePath();
    QCOMPARE(AppPaths::shareDirectory(), share);
    QCOMPARE(AppPaths::referenceDatabasePath(), QDir(share).filePath(QStringLiteral("zelnor-wizard.vor")));
    QCOMPARE(AppPaths::sharedFile(QStringLiteral("zelnor_logo.bmp")),
             QDir(share).filePath(QStringLiteral("zelnor_logo.bmp")));
    // The pack is found there, not beside the program.
    QVERIFY(!QFile::exists(root.filePath(QStringLiteral("bin/LangEN.pak"))));
    ScriptedMessages messages;
    QVERIFY(Language::load(1));
    QVERIFY(messages.shown().empty());
}

void TestAppPaths::installedProgramWritesIntoTheUsersDataFolder()
{
    QTemporaryDir root;
    AppPaths::setProgramFile(makeInstallation(root));
    // The bin folder can be written here, as it can by root: still nothing
    // of a run goes into the installation.
    const QString log = AppPaths::writableSubdirectory(QStringLiteral("Log"));
    const QString dataRoot = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QCOMPARE(log, QDir(dataRoot).filePath(QStringLiteral("Log")));
    QVERIFY(QFileInfo(log).isDir());
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("bin/Log"))));
}

QTEST_GUILESS_MAIN(TestAppPaths)
#include "test_app_paths.moc"
