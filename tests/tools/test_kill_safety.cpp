#include "tool_test_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using namespace ToolTest;

// A tool killed at any moment of an item operation leaves a sound project:
// the operation happened completely or not at all.
class TestKillSafety : public QObject {
    Q_OBJECT
private slots:
    void killedOperationsLeaveASoundProject();
};

namespace {
const QString kCabinet = QStringLiteral("\\\\Project\\Plant1\\Cabinet1");

// Starts the tool and kills it after the delay unless it ended before;
// elapsed tells how long a run that ended took.
bool RunAndKill(const QStringList &args, int delayMs, qint64 &elapsed)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setProgram(QDir(TestSupport::binDirectory()).filePath(QStringLiteral("zelnorctl")));
    process.setArguments(args);
    process.start();
    if (!process.waitForStarted())
        return false;
    const bool ended = process.waitForFinished(delayMs);
    elapsed = timer.elapsed();
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    return ended;
}

QString SomeModulePath(const QString &project)
{
    const TestSupport::ToolRun tree = Ctl({QStringLiteral("tree"), project});
    for (const QString &line : tree.out.split(QLatin1Char('\n'))) {
        if (line.startsWith(kCabinet + QLatin1Char('\\')))
            return line.section(QLatin1Char('\t'), 0, 0);
    }
    return QString();
}
} // namespace

void TestKillSafety::killedOperationsLeaveASoundProject()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant"}).exitCode, 0);
    QCOMPARE(Ctl({"add", project, "\\\\Project\\Plant1", "cabinet", "Cabinet1"}).exitCode, 0);
    QRandomGenerator random(20261209);
    int kills = 0;
    int completed = 0;
    qint64 typicalRun = 300;
    for (int round = 0; kills < 60 && round < 300; ++round) {
        // A delete that went through took the cabinet along.
        if (Scalar(project, QStringLiteral("SELECT COUNT(*) FROM Racks")).toInt() == 0)
            QCOMPARE(Ctl({"add", project, "\\\\Project\\Plant1", "cabinet", "Cabinet1"}).exitCode, 0);
        const int modules =
            Scalar(project, QStringLiteral("SELECT COUNT(*) FROM Modules7230_3")).toInt();
        QStringList args;
        const QString module = modules > 0 ? SomeModulePath(project) : QString();
        if (round % 3 == 2 && modules >= 4) {
            args = QStringList{"delete", project, kCabinet, "--yes"};
        } else if (round % 3 == 1 && !module.isEmpty()) {
            args = QStringList{"set", project, module, "--channel", "2",
                               QStringLiteral("RangeEnd=%1").arg(100 + round), "Description=round"};
        } else {
            args = QStringList{"add-module", project, kCabinet, "7"};
        }
        // The kill lands anywhere from before the project is opened to just
        // before the end of a typical run of this machine.
        const int delay = 5 + int(random.bounded(int(typicalRun)));
        qint64 elapsed = 0;
        if (RunAndKill(args, delay, elapsed)) {
            ++completed;
            typicalRun = elapsed;
        } else {
            ++kills;
        }
        const QStringList faults = Inconsistencies(project);
        QVERIFY2(faults.isEmpty(), qPrintable(args.join(' ') + ": " + faults.join("; ")));
    }
    qInfo("%d operations killed, %d completed", kills, completed);
    QVERIFY2(kills >= 50, qPrintable(QStringLiteral("only %1 kills").arg(kills)));
}

QTEST_GUILESS_MAIN(TestKillSafety)
#include "test_kill_safety.moc"
