#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// The command-line tool drives the same project logic as the program.
class TestProjectDatabaseTool : public QObject {
    Q_OBJECT
private slots:
    void newOpenSaveAsAndIdentifiers();
    void refusedInputFailsWithItsMessage();

private:
    int Run(const QStringList &args, QString *out = nullptr, QString *err = nullptr);
};

int TestProjectDatabaseTool::Run(const QStringList &args, QString *out, QString *err)
{
    const TestSupport::ToolRun run = TestSupport::runTool(QStringLiteral("zelnor-project"), args);
    if (out)
        *out = run.out;
    if (err)
        *err = run.err;
    return run.exitCode;
}

void TestProjectDatabaseTool::newOpenSaveAsAndIdentifiers()
{
    QTemporaryDir dir;
    const QString project = dir.filePath("plant.prj");
    const QString copy = dir.filePath("plant-2.prj");
    QString out;
    QCOMPARE(Run({"new", project}, &out), 0);
    QCOMPARE(out, "New project '" + project + "' created successful.\n");
    QCOMPARE(Run({"open", project}, &out), 0);
    QVERIFY(out.startsWith("Open project '" + project + "' successful.\n"));
    QVERIFY(out.contains("SQLite, 3."));
    QCOMPARE(Run({"save-as", project, copy}, &out), 0);
    QVERIFY(out.endsWith("Save project successful.\n"));
    QCOMPARE(Run({"next-id", copy, "Racks", "3"}, &out), 0);
    QVERIFY(out.endsWith("100\n101\n102\n"));
    QCOMPARE(Run({"next-id", copy, "Racks"}, &out), 0);
    QVERIFY(out.endsWith("103\n"));
    // The original was not changed by drawing from the copy.
    QCOMPARE(Run({"next-id", project, "Racks"}, &out), 0);
    QVERIFY(out.endsWith("100\n"));
}

void TestProjectDatabaseTool::refusedInputFailsWithItsMessage()
{
    QTemporaryDir dir;
    const QString notes = dir.filePath("notes.txt");
    QFile f(notes);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QString out;
    QString err;
    QCOMPARE(Run({"open", notes}, &out, &err), 1);
    QVERIFY(err.contains("Can't use file '" + notes + "' (wrong file type). "));
    QVERIFY(err.contains("Open project '" + notes + "' failed."));
    QCOMPARE(Run({"save-as", notes}, &out, &err), 2);
    QCOMPARE(Run({"to-server", notes, "--server", "x"}, &out, &err), 2);
}

QTEST_GUILESS_MAIN(TestProjectDatabaseTool)
#include "test_project_database_tool.moc"
