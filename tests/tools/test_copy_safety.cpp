#include "tool_test_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using namespace ToolTest;

// zelnorctl copy: what it refuses, and that a copy or move killed at any
// moment leaves both projects sound: each pasted plant whole or absent, and
// the original gone only when its copy is whole.
class TestCopySafety : public QObject {
    Q_OBJECT
private slots:
    void copiesMovesAndRefusals();
    void killedCopiesAndMovesLeaveBothProjectsSound();
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");

// A plant with a cabinet, a carrier and two modules below them.
void FillSource(const QString &project)
{
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant", "Plant1"}).exitCode, 0);
    QCOMPARE(Ctl({"add", project, kPlant, "cabinet", "Cabinet1"}).exitCode, 0);
    QCOMPARE(Ctl({"add", project, kPlant + "\\Cabinet1", "carrier", "Z1"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", project, kPlant + "\\Cabinet1", "7", "TT-1", "TT-2"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", project, kPlant + "\\Cabinet1\\Z1", "7", "TT-3", "TT-4"}).exitCode, 0);
}

int Count(const QString &project, const QString &table)
{
    return Scalar(project, QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
}

// Plants of the target are whole copies of the source's: a cabinet, a
// carrier and two modules with two signals each.
QStringList HalfPasted(const QString &target)
{
    QStringList found;
    const int plants = Count(target, "Equipments");
    if (Count(target, "Racks") != plants || Count(target, "ZelnorHolders") != plants ||
        Count(target, "Modules7230_3") != plants || Count(target, "Modules7230_4") != plants ||
        Count(target, "Signals") != 4 * plants)
        found << QStringLiteral("%1 plants, %2 cabinets, %3 carriers, %4 + %5 modules, %6 signals")
                     .arg(plants)
                     .arg(Count(target, "Racks"))
                     .arg(Count(target, "ZelnorHolders"))
                     .arg(Count(target, "Modules7230_3"))
                     .arg(Count(target, "Modules7230_4"))
                     .arg(Count(target, "Signals"));
    return found + Inconsistencies(target);
}
} // namespace

void TestCopySafety::copiesMovesAndRefusals()
{
    QTemporaryDir dir;
    const QString source = NewProject(dir, "source.prj");
    const QString target = NewProject(dir, "target.prj");
    FillSource(source);

    TestSupport::ToolRun run = Ctl({"copy", source, kPlant, target, "\\\\Project"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("'\\\\Project\\Plant1' was copied under '\\\\Project'."));
    run = Ctl({"copy", source, kPlant, target, "\\\\Project"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(Column(target, "SELECT Name FROM Equipments ORDER BY Name"),
             QVariantList({"Copy_of_Plant1", "Plant1"}));
    QVERIFY(HalfPasted(target).isEmpty());
    QCOMPARE(Count(source, "Equipments"), 1);

    // Refused: a cabinet under a carrier, an item or parent that is not there.
    const QByteArray before = Checksum(target);
    run = Ctl({"copy", source, kPlant + "\\Cabinet1", target, "\\\\Project\\Plant1\\Cabinet1\\Z1"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("cannot be pasted under"));
    QCOMPARE(Ctl({"copy", source, kPlant + "\\Nothing", target, "\\\\Project"}).exitCode, 1);
    QCOMPARE(Ctl({"copy", source, kPlant, target, "\\\\Project\\Nothing"}).exitCode, 1);
    QCOMPARE(Ctl({"copy", source, kPlant, target}).exitCode, 2);
    QCOMPARE(Checksum(target), before);

    // Moved within its own project: into its own project item it is refused
    // and kept; under another plant it goes there.
    run = Ctl({"copy", source, kPlant + "\\Cabinet1", source, kPlant, "--move"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(Count(source, "Racks"), 1);
    QCOMPARE(Ctl({"add", source, "\\\\Project", "plant", "Plant2"}).exitCode, 0);
    run = Ctl({"copy", source, kPlant + "\\Cabinet1", source, "\\\\Project\\Plant2", "--move"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(Column(source, "SELECT e.Name FROM Racks r JOIN Equipments e ON e.ID = r.ParentID"),
             QVariantList({"Plant2"}));
    QCOMPARE(Count(source, "Modules7230_3") + Count(source, "Modules7230_4"), 2);
    QCOMPARE(Count(source, "Signals"), 4);
    QVERIFY(Inconsistencies(source).isEmpty());

    // Moved to another project: the original goes.
    run = Ctl({"copy", source, "\\\\Project\\Plant2", target, "\\\\Project", "--move"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(Count(source, "Racks"), 0);
    QCOMPARE(Count(source, "Signals"), 0);
    QCOMPARE(Count(target, "Racks"), 3);
    QVERIFY(Inconsistencies(target).isEmpty());
}

void TestCopySafety::killedCopiesAndMovesLeaveBothProjectsSound()
{
    QTemporaryDir dir;
    const QString source = NewProject(dir, "source.prj");
    const QString target = NewProject(dir, "target.prj");
    FillSource(source);
    QRandomGenerator random(20261210);
    int kills = 0;
    qint64 typicalRun = 400;
    for (int round = 0; kills < 25 && round < 120; ++round) {
        const bool move = round % 2 == 1;
        const QStringList args{"copy", source, kPlant, target, "\\\\Project", "--move"};
        const QStringList used = move ? args : args.mid(0, 5);
        const int delay = 5 + int(random.bounded(int(typicalRun)));
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(QDir(TestSupport::binDirectory()).filePath("zelnorctl"), used);
        QVERIFY(process.waitForStarted());
        if (process.waitForFinished(delay)) {
            typicalRun = timer.elapsed();
        } else {
            process.kill();
            process.waitForFinished();
            ++kills;
        }
        const QStringList faults = HalfPasted(target) + Inconsistencies(source);
        QVERIFY2(faults.isEmpty(), qPrintable(used.join(' ') + ": " + faults.join("; ")));
        // The plant left the source only once a whole copy stood in the target.
        if (Count(source, "Equipments") == 0) {
            QVERIFY(Count(target, "Equipments") > 0);
            FillSource(source);
        }
    }
    qInfo("%d copies killed", kills);
    QVERIFY2(kills >= 20, qPrintable(QStringLiteral("only %1 kills").arg(kills)));
}

QTEST_GUILESS_MAIN(TestCopySafety)
#include "test_copy_safety.moc"
