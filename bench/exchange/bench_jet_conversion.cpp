// A project of 2,000 modules in 4 plants of 5 cabinets, two signals each,
// written as a Jet 4 file of the older tool, then carried over into a new
// project file as zelnorctl convert does it. Prints the time of the
// conversion (wall clock and processor) and the rows carried.
#include "jet_old_project.h"
#include "project_generator.h"

#include "base/app_paths.h"
#include "base/string_table.h"
#include "exchange/jet_project_converter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

double CpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AppPaths::setProgramFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnor-wizard")));
    StringTable::instance().loadBuiltin();
    QTemporaryDir dir;
    const QString generated = dir.filePath(QStringLiteral("generated.prj"));
    GeneratedShape shape;
    shape.modulesPerCabinet = 100;
    if (!CopyReferenceProject(generated))
        return 1;
    if (const QString failure = GenerateProject(generated, shape); !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    const QString old = dir.filePath(QStringLiteral("old.prj"));
    if (!JetOldProject::WriteJet(JetOldProject::JetContentOf(generated), old))
        return 1;

    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = CpuMilliseconds();
    JetProjectConverter::Report report;
    QString error;
    const bool ok = JetProjectConverter::Convert(old, dir.filePath(QStringLiteral("new.prj")), false, &report, &error);
    const qint64 wall = timer.elapsed();
    const double cpu = CpuMilliseconds() - cpuBefore;
    if (!ok) {
        std::fprintf(stderr, "conversion failed: %s\n", qPrintable(error));
        return 1;
    }
    int signalRows = 0;
    for (const auto &[table, rows] : report.tables)
        if (table == QLatin1String("Signals"))
            signalRows = rows;
    std::printf("convert %d modules (%d signals, %d rows in %d tables, Jet file %lld KiB): %lld ms wall, %.0f ms cpu\n",
                shape.modules(), signalRows, report.totalRows(), int(report.tables.size()),
                QFileInfo(old).size() / 1024, wall, cpu);
    return 0;
}
