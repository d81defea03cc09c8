// Loading a large project into the item tree: a generated project of 10,000
// modules with their signals, timed from opening to the top level, one
// cabinet, and the whole tree, with the memory the loaded tree takes.
#include "project_generator.h"

#include "db/db_session.h"
#include "db/table_level.h"
#include "tree/document.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {
long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double Milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.prj"));
    if (!CopyReferenceProject(path))
        return 1;

    const GeneratedShape shape;
    QElapsedTimer timer;
    timer.start();
    const QString failure = GenerateProject(path, shape);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "generating failed: %s\n", qPrintable(failure));
        return 1;
    }
    std::printf("generate %d modules, %d signals (one transaction): %.1f ms\n", shape.modules(),
                2 * shape.modules(), Milliseconds(timer));
    const long baseline = ResidentKiB();

    timer.restart();
    CLevelList levels;
    std::unique_ptr<DbSession> session = OpenGeneratedProject(path, levels);
    if (!session)
        return 1;
    C7100Document document;
    document.OpenProject({&levels, session.get(), nullptr, path, false});
    ContainerItem &top = *document.Root()->containerChildren().at(0)->asContainer();
    if (!document.EnsureChildren(top))
        return 1;
    std::printf("open and load the top level: %.1f ms (%d items)\n", Milliseconds(timer),
                document.Registry().itemCount());

    ContainerItem &plant = *top.containerChildren().at(0)->asContainer();
    if (!document.EnsureChildren(plant))
        return 1;
    ContainerItem &cabinet = *plant.containerChildren().at(0)->asContainer();
    timer.restart();
    if (!document.EnsureChildren(cabinet))
        return 1;
    std::printf("load one cabinet of %zu modules: %.1f ms\n", cabinet.leafChildren().size(),
                Milliseconds(timer));

    timer.restart();
    const int descendants = document.CountDescendants(*document.Root());
    std::printf("count all descendants (loading every level): %.1f ms (%d items)\n", Milliseconds(timer),
                descendants);
    const long loaded = ResidentKiB();
    std::printf("resident memory after loading everything: %ld KiB (%ld KiB more than before opening)\n",
                loaded, loaded - baseline);

    timer.restart();
    const int again = document.CountDescendants(*document.Root());
    std::printf("count all descendants again (all loaded): %.3f ms (%d items)\n", Milliseconds(timer), again);
    return descendants == again ? 0 : 1;
}
