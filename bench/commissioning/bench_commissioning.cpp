// Twenty modules commissioned in a row by "zelnorctl commission" against the
// simulated module paced at 9600 baud 8E1: after each verdict the simulator's
// module is replaced by a new one with another serial number, as an unplug and
// a fresh plug do. Prints for each module the time from the plug to the
// verdict, the run's own time from the module's first answer to the verdict,
// the time the cycle's bytes need on the wire, and the ratio.
//
// With --lanes N, twenty modules a lane through N simulators on N ports of one
// run: prints the modules per hour and the tool's processor time per module.
#include "link/block_layout.h"
#include "tools/simulator/module_simulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {
constexpr int kModules = 20;

double ByteMs()
{
    return ModuleSimulator::kByteTimeUs / 1000.0;
}

// A read: 5-byte request, reply of header, two status bytes, block, checksum.
int ReadBytes(const std::vector<int> &blocks)
{
    int bytes = 0;
    for (int block : blocks)
        bytes += 5 + 5 + 2 + BlockLengthStd[size_t(block)];
    return bytes;
}

// A write: request of header, block and checksum; reply of two status bytes.
int WriteBytes(const std::vector<int> &blocks)
{
    int bytes = 0;
    for (int block : blocks)
        bytes += 5 + BlockLengthStd[size_t(block)] + 7;
    return bytes;
}

// The connection read of a two-channel module, its download and the full
// read back.
double CycleWireMs()
{
    const std::vector<int> fullRead = {0, 2, 8, 4, 9, 3, 6, 1, 5, 7};
    const std::vector<int> writes = {1, 2, 3, 6, 4, 5, 7};
    return (2 * ReadBytes(fullRead) + WriteBytes(writes)) * ByteMs();
}

bool Tool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        std::fprintf(stderr, "bench_commissioning: %s %s failed:\n%s\n", qPrintable(program),
                     qPrintable(args.join(' ')), process.readAllStandardError().constData());
        return false;
    }
    return true;
}

// User and system time of the children waited for so far, in ms.
double ChildrenCpuMs()
{
    rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval &time) { return double(time.tv_sec) * 1000.0 + double(time.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

bool MakeProject(const QString &ctl, const QString &project, int modules)
{
    const QString module = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [S001_CH1] [S001_CH2]");
    return Tool(ctl, {"new", project}) && Tool(ctl, {"add", project, "\\\\Project", "plant"}) &&
           Tool(ctl, {"add-module", project, "\\\\Project\\Plant1", "7"}) &&
           Tool(ctl, {"multiply", project, module, "--count", QString::number(modules - 1)});
}

// N lanes of one run, twenty modules each, every module replaced on its
// lane after its verdict.
int RunLanes(const QString &ctl, int lanes)
{
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("bench.prj"));
    if (!MakeProject(ctl, project, kModules * lanes))
        return 1;
    std::vector<std::unique_ptr<ModuleSimulator>> simulators;
    QStringList args = {"commission", project, "--under", "\\\\Project\\Plant1", "--assign-next", "--count",
                        QString::number(kModules * lanes)};
    for (int lane = 0; lane < lanes; ++lane) {
        SimulatorOptions options;
        options.family = Family7230;
        options.moduleType = 6;
        options.channels = 2;
        options.lineRate = true;
        options.serialNumber = QStringLiteral("L%1M001").arg(lane + 1);
        options.linkPath = dir.filePath(QStringLiteral("bench%1").arg(lane + 1));
        simulators.push_back(std::make_unique<ModuleSimulator>(options));
        QString error;
        if (!simulators.back()->start(&error)) {
            std::fprintf(stderr, "bench_commissioning: no pseudo-terminal: %s\n", qPrintable(error));
            return 1;
        }
        args << "--port" << options.linkPath;
    }
    const QRegularExpression verdict(QStringLiteral("serial number (\\S+) \\.+ (verified in|failed)"));
    const double cpuBefore = ChildrenCpuMs();
    QElapsedTimer clock;
    clock.start();
    QProcess run;
    run.start(ctl, args);
    std::vector<int> done(size_t(lanes), 0);
    int verified = 0;
    int all = 0;
    QByteArray pending;
    while (all < kModules * lanes && run.state() != QProcess::NotRunning) {
        run.waitForReadyRead(200);
        pending += run.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            const QRegularExpressionMatch match = verdict.match(line);
            if (!match.hasMatch())
                continue;
            int lane = 0;
            while (lane < lanes && lanes > 1 && !line.contains(simulators[size_t(lane)]->devicePath() + ": "))
                ++lane;
            if (lane == lanes)
                continue;
            ++all;
            verified += match.captured(2).startsWith(QStringLiteral("verified")) ? 1 : 0;
            const int next = ++done[size_t(lane)] + 1;
            simulators[size_t(lane)]->replaceModule(QStringLiteral("L%1M%2").arg(lane + 1).arg(next, 3, 10, QLatin1Char('0')));
        }
    }
    const double wallMs = double(clock.nsecsElapsed()) / 1e6;
    run.waitForFinished(30000);
    const double cpuMs = ChildrenCpuMs() - cpuBefore;
    std::printf("bench_commissioning --lanes %d: %d modules (%d a lane) at 9600 baud 8E1, %d verified\n", lanes, all,
                kModules, verified);
    std::printf("  %.1f s in all; %.0f modules/hour; zelnorctl processor time %.0f ms a module\n", wallMs / 1000.0,
                all > 0 ? all * 3600000.0 / wallMs : 0.0, all > 0 ? cpuMs / all : 0.0);
    std::printf("zelnorctl exit code %d\n", run.exitCode());
    return verified == kModules * lanes ? 0 : 1;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    const QString ctl = QDir(bin).filePath(QStringLiteral("zelnorctl"));
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype lanesAt = arguments.indexOf(QStringLiteral("--lanes"));
    if (lanesAt > 0) {
        const int lanes = arguments.value(lanesAt + 1).toInt();
        if (lanes < 1 || lanes > 8) {
            std::fprintf(stderr, "bench_commissioning: --lanes takes 1 to 8\n");
            return 2;
        }
        return RunLanes(ctl, lanes);
    }
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("bench.prj"));
    if (!MakeProject(ctl, project, kModules))
        return 1;

    SimulatorOptions options;
    options.family = Family7230;
    options.moduleType = 6;
    options.channels = 2;
    options.lineRate = true;
    options.serialNumber = QStringLiteral("BENCH0001");
    ModuleSimulator simulator(options);
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "bench_commissioning: no pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }

    QProcess run;
    run.setProcessChannelMode(QProcess::SeparateChannels);
    run.start(ctl, {"commission", project, "--port", simulator.devicePath(), "--under", "\\\\Project\\Plant1",
                    "--assign-next", "--count", QString::number(kModules)});
    const QRegularExpression verdict(
        QStringLiteral("serial number (\\S+) \\.+ (verified in ([0-9.]+) s|failed)"));
    const double wireMs = CycleWireMs();
    std::printf("bench_commissioning: %d two-channel 7230/211-2 modules at 9600 baud 8E1 (simulator paced)\n",
                kModules);
    std::printf("wire time of one cycle (connection read, 7 writes, read-back): %.0f ms\n\n", wireMs);
    std::printf("  %-6s %-11s %-9s %12s %12s %9s %11s\n", "module", "serial", "result", "plug->verdict",
                "run's own", "wire ms", "ratio");
    QElapsedTimer sincePlug;
    sincePlug.start();
    QByteArray pending;
    int done = 0;
    int verified = 0;
    double totalMs = 0;
    double totalOwnMs = 0;
    int measured = 0;
    while (done < kModules && run.state() != QProcess::NotRunning) {
        run.waitForReadyRead(200);
        pending += run.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            const QRegularExpressionMatch match = verdict.match(line);
            if (!match.hasMatch())
                continue;
            const double ms = double(sincePlug.nsecsElapsed()) / 1e6;
            const bool ok = match.captured(2).startsWith(QStringLiteral("verified"));
            const double ownMs = ok ? match.captured(3).toDouble() * 1000.0 : 0;
            ++done;
            verified += ok ? 1 : 0;
            // The first module was plugged before the tool started.
            const bool timed = done > 1;
            if (timed) {
                totalMs += ms;
                totalOwnMs += ownMs;
                ++measured;
            }
            std::printf("  %-6d %-11s %-9s %12s %12.0f %9.0f %11s\n", done, qPrintable(match.captured(1)),
                        ok ? "verified" : "FAILED",
                        timed ? qPrintable(QString::number(ms, 'f', 0)) : "(start)", ownMs, wireMs,
                        timed ? qPrintable(QString::number(ms / wireMs, 'f', 2)) : "-");
            std::fflush(stdout);
            simulator.replaceModule(QStringLiteral("BENCH%1").arg(done + 1, 4, 10, QLatin1Char('0')));
            sincePlug.restart();
        }
    }
    run.waitForFinished(30000);
    if (measured > 0)
        std::printf(
            "\n%d of %d verified; mean plug->verdict %.0f ms = %.2f x wire; the run's own time "
            "(the module's first answer to the verdict) %.0f ms = %.2f x wire\n",
            verified, kModules, totalMs / measured, totalMs / measured / wireMs, totalOwnMs / measured,
            totalOwnMs / measured / wireMs);
    std::printf("zelnorctl exit code %d\n", run.exitCode());
    return verified == kModules ? 0 : 1;
}
