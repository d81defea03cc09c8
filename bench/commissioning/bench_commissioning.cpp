// Twenty modules commissioned in a row by "zelnorctl commission" against the
// simulated module paced at 9600 baud 8E1: after each verdict the simulator's
// module is replaced by a new one with another serial number, as an unplug and
// a fresh plug do. Prints for each module the time from the plug to the
// verdict, the run's own time from the module's first answer to the verdict,
// the time the cycle's bytes need on the wire, and the ratio.
#include "link/block_layout.h"
#include "tools/simulator/module_simulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

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
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    const QString ctl = QDir(bin).filePath(QStringLiteral("zelnorctl"));
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("bench.prj"));
    const QString module = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [S001_CH1] [S001_CH2]");
    if (!Tool(ctl, {"new", project}) || !Tool(ctl, {"add", project, "\\\\Project", "plant"}) ||
        !Tool(ctl, {"add-module", project, "\\\\Project\\Plant1", "7"}) ||
        !Tool(ctl, {"multiply", project, module, "--count", QString::number(kModules - 1)}))
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
