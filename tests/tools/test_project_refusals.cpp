#include "tool_test_support.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QtTest>

using namespace ToolTest;

// Files the tools refuse stay byte for byte as they were, existing projects
// are never replaced without being asked, and several processes share one
// project file.
class TestProjectRefusals : public QObject {
    Q_OBJECT
private slots:
    void refusedOpensLeaveTheFileAsItWas_data();
    void refusedOpensLeaveTheFileAsItWas();
    void existingProjectsAreReplacedOnlyWithForce();
    void dataLinkModeReadIsHonoured_data();
    void dataLinkModeReadIsHonoured();
    void severalProcessesDrawDistinctIdentifiers();
    void dataLinkRefusalsNameWhatIsWrong_data();
    void dataLinkRefusalsNameWhatIsWrong();
};

void TestProjectRefusals::refusedOpensLeaveTheFileAsItWas_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("foreignStatement");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("text file") << QByteArray("Messstellenliste\nTT-101;Pt100\n") << QString();
    QTest::newRow("foreign database") << QByteArray() << "CREATE TABLE Orders (ID INTEGER, Item TEXT)";
}

void TestProjectRefusals::refusedOpensLeaveTheFileAsItWas()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, foreignStatement);
    QTemporaryDir dir;
    const QString path = dir.filePath("other.prj");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (!foreignStatement.isEmpty())
        Exec(path, foreignStatement);
    const QByteArray before = Checksum(path);
    for (const QStringList &args : {QStringList{"tree", path}, QStringList{"add", path, "\\\\Project", "plant"}}) {
        const TestSupport::ToolRun run = Ctl(args);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(Checksum(path), before);
    }
    const TestSupport::ToolRun open = Projects({"open", path});
    QVERIFY(open.exitCode != 0);
    QCOMPARE(Checksum(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"other.prj"});
}

void TestProjectRefusals::existingProjectsAreReplacedOnlyWithForce()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant", "Keep me"}).exitCode, 0);
    const QByteArray kept = Checksum(project);

    TestSupport::ToolRun run = Ctl({"new", project});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("give --force to replace it"), qPrintable(run.err));
    run = Projects({"new", project});
    QVERIFY(run.exitCode != 0);
    const QString copy = dir.filePath("copy.prj");
    QCOMPARE(Projects({"save-as", project, copy}).exitCode, 0);
    QCOMPARE(Ctl({"add", copy, "\\\\Project", "plant", "Only in the copy"}).exitCode, 0);
    const QByteArray copyBefore = Checksum(copy);
    run = Projects({"save-as", project, copy});
    QVERIFY(run.exitCode != 0);
    QCOMPARE(Checksum(copy), copyBefore);
    QCOMPARE(Checksum(project), kept);

    QCOMPARE(Ctl({"new", project, "--force"}).exitCode, 0);
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Equipments").toInt(), 0);
}

void TestProjectRefusals::dataLinkModeReadIsHonoured_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("writes");
    QTest::newRow("Read") << "Read" << false;
    QTest::newRow("number 1") << "1" << false;
    QTest::newRow("Share Deny None|Read") << "Share Deny None|Read" << false;
    QTest::newRow("unknown word") << "Readonly please" << false;
    QTest::newRow("ReadWrite") << "ReadWrite" << true;
    QTest::newRow("number 16") << "16" << true;
}

void TestProjectRefusals::dataLinkModeReadIsHonoured()
{
    QFETCH(QString, mode);
    QFETCH(bool, writes);
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const QString link = dir.filePath("plant.udl");
    QFile file(link);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                              "Provider=SQLite;Data Source=plant.prj;Mode=%1\r\n")
                   .arg(mode)
                   .toUtf8());
    file.close();
    const QByteArray before = Checksum(project);
    const TestSupport::ToolRun run = Ctl({"add", link, "\\\\Project", "plant"});
    QCOMPARE(run.exitCode == 0, writes);
    QCOMPARE(Checksum(project) != before, writes);
}

void TestProjectRefusals::severalProcessesDrawDistinctIdentifiers()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    constexpr int kProcesses = 4;
    constexpr int kEach = 100;
    std::vector<std::unique_ptr<QProcess>> processes;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kProcesses; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QDir(TestSupport::binDirectory()).filePath("zelnor-project"));
        process->setArguments({"next-id", project, "Signals", QString::number(kEach)});
        process->start();
        processes.push_back(std::move(process));
    }
    QSet<int> identifiers;
    for (auto &process : processes) {
        QVERIFY(process->waitForFinished(120000));
        QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        // The identifiers follow the lines that report the opened project.
        int drawn = 0;
        for (const QByteArray &line : process->readAllStandardOutput().split('\n')) {
            bool number = false;
            const int identifier = line.trimmed().toInt(&number);
            if (number) {
                identifiers.insert(identifier);
                ++drawn;
            }
        }
        QCOMPARE(drawn, kEach);
    }
    qInfo("%d processes drew %d identifiers each in %lld ms", kProcesses, kEach, timer.elapsed());
    QCOMPARE(identifiers.size(), kProcesses * kEach);
    QVERIFY(*std::min_element(identifiers.begin(), identifiers.end()) > 0);
}

void TestProjectRefusals::dataLinkRefusalsNameWhatIsWrong_data()
{
    QTest::addColumn<QString>("dataSource");
    QTest::addColumn<QString>("message");
    QTest::newRow("a folder") << "Data Source=sub" << "sub' is a folder, not a project file.";
    QTest::newRow("no data source") << "" << "plant.udl' names no Data Source.";
    QTest::newRow("a damaged project") << "Data Source=damaged.prj" << "damaged.prj' is not a project database";
}

void TestProjectRefusals::dataLinkRefusalsNameWhatIsWrong()
{
    QFETCH(QString, dataSource);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QFile damaged(dir.filePath("damaged.prj"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("SQLite format 3") + QByteArray(1000, '\x7f'));
    damaged.close();
    QFile link(dir.filePath("plant.udl"));
    QVERIFY(link.open(QIODevice::WriteOnly));
    link.write(("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\nProvider=SQLite;" + dataSource + "\r\n")
                   .toUtf8());
    link.close();
    const TestSupport::ToolRun run = Ctl({"tree", dir.filePath("plant.udl")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestProjectRefusals)
#include "test_project_refusals.moc"
