// Times one poll (blocks 0, 2, 8, 4, 9) and one full read (blocks 0 to 9)
// through the serial link against the simulated module, answering at once and
// paced at 9600 baud 8E1, beside the time the bytes alone need on the wire.
#include "link/module_image.h"
#include "link/serial_link.h"
#include "tools/simulator/module_simulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

const std::vector<int> kPollBlocks = {0, 2, 8, 4, 9};
const std::vector<int> kFullBlocks = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

// Request: start, address, command, N, checksum. Reply: the same frame
// around two status bytes and the block.
int wireBytes(const std::vector<int> &blocks, ModuleFamily family)
{
    int bytes = 0;
    for (const int block : blocks)
        bytes += 5 + 5 + 2 + BlockLength(block, family);
    return bytes;
}

struct Timing {
    double meanMs = 0;
    double bestMs = 0;
    bool ok = true;
};

Timing timeSequence(CSerialLink &link, const std::vector<int> &blocks, int rounds)
{
    Timing t;
    t.bestMs = 1e9;
    CModuleImage image;
    double total = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const int block : blocks)
            t.ok = link.FetchBlock(block, image) && t.ok;
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        t.bestMs = std::min(t.bestMs, ms);
    }
    t.meanMs = total / rounds;
    return t;
}

bool run(bool lineRate, int replyDelayUs, int rounds)
{
    SimulatorOptions options;
    options.family = Family7230;
    options.channels = 2;
    options.lineRate = lineRate;
    options.replyDelayUs = replyDelayUs;
    ModuleSimulator module(options);
    QString error;
    if (!module.start(&error)) {
        std::fprintf(stderr, "bench_link: no pseudo-terminal: %s\n", qPrintable(error));
        return false;
    }
    CSerialLink link;
    if (link.Open(module.devicePath()) != 0) {
        std::fprintf(stderr, "bench_link: %s\n", qPrintable(link.LastOpenError()));
        return false;
    }
    timeSequence(link, kPollBlocks, 2); // warm up

    std::printf("\nSimulator %s, reply delay %d us, %d rounds each\n",
                lineRate ? "paced at 9600 baud 8E1" : "answering at once", replyDelayUs, rounds);
    std::printf("  %-10s %9s %9s %10s %11s %12s %9s\n", "sequence", "mean ms", "best ms", "wire ms",
                "+delay ms", "ms/exchange", "vs wire");
    bool ok = true;
    for (const auto &[name, blocks] : {std::pair{"poll", kPollBlocks}, std::pair{"full read", kFullBlocks}}) {
        const Timing t = timeSequence(link, blocks, rounds);
        const double wireMs = wireBytes(blocks, options.family) * ModuleSimulator::kByteTimeUs / 1000.0;
        const double expectedMs = (lineRate ? wireMs : 0.0) + blocks.size() * replyDelayUs / 1000.0;
        const double perExchange = (t.meanMs - expectedMs) / static_cast<double>(blocks.size());
        std::printf("  %-10s %9.2f %9.2f %10.2f %11.2f %12.3f", name, t.meanMs, t.bestMs, wireMs, expectedMs,
                    perExchange);
        if (lineRate)
            std::printf(" %+8.2f%%", 100.0 * (t.meanMs - expectedMs) / expectedMs);
        else
            std::printf(" %9s", "-");
        std::printf("%s\n", t.ok ? "" : "  (an exchange failed)");
        ok = ok && t.ok;
    }
    std::printf("  ms/exchange: the time the link adds to each exchange beyond wire time and reply delay\n");
    return ok;
}

// Runs zelnorctl beside this program; the wall time in ms, or -1 when it
// did not end with exit code 0.
double timeTool(const QStringList &args)
{
    QProcess tool;
    QElapsedTimer timer;
    timer.start();
    tool.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnorctl")), args);
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        std::fprintf(stderr, "bench_link: zelnorctl %s failed: %s\n", qPrintable(args.join(' ')),
                     tool.readAllStandardError().constData());
        return -1;
    }
    return timer.nsecsElapsed() / 1e6;
}

// One commissioning step as a user runs it, against the module paced at the
// line rate: the commands' wall time beside the time their bytes need on
// the wire (a compare reads the module in full; a download reads it in full,
// writes its seven blocks and reads it back in full).
bool runCommands(int rounds)
{
    SimulatorOptions options;
    options.family = Family7230;
    options.moduleType = 6;
    options.channels = 2;
    options.lineRate = true;
    ModuleSimulator module(options);
    QTemporaryDir dir;
    QString error;
    if (!module.start(&error) || !dir.isValid()) {
        std::fprintf(stderr, "bench_link: no pseudo-terminal or folder: %s\n", qPrintable(error));
        return false;
    }
    const QString port = module.devicePath();
    const QString project = dir.filePath(QStringLiteral("bench.prj"));
    const QString path = QStringLiteral("\\\\Project\\7230/211-2 - [TT-101] [TT-102]");
    if (timeTool({"new", project}) < 0 || timeTool({"upload", project, "--port", port, "--create"}) < 0)
        return false;
    const double fullRead = wireBytes(kFullBlocks, options.family) * ModuleSimulator::kByteTimeUs / 1000.0;
    int written = 0;
    for (int block : {1, 2, 3, 6, 4, 5, 7})
        written += 5 + BlockLength(block, options.family) + 5 + 2;
    const double writes = written * ModuleSimulator::kByteTimeUs / 1000.0;
    std::printf("\nzelnorctl against the simulator paced at 9600 baud 8E1, %d rounds each\n", rounds);
    std::printf("  %-10s %9s %9s %10s %9s\n", "command", "mean ms", "best ms", "wire ms", "ratio");
    for (const bool download : {false, true}) {
        double total = 0, best = 1e9;
        for (int round = 0; round < rounds; ++round) {
            // A new range end each time, so that every download changes the module.
            if (download && timeTool({"set", project, path, "--channel", "1",
                                      QStringLiteral("RangeEnd=%1").arg(100 + round)}) < 0)
                return false;
            const double ms = download ? timeTool({"download", project, path, "--port", port})
                                       : timeTool({"compare", project, "--port", port});
            if (ms < 0)
                return false;
            total += ms;
            best = std::min(best, ms);
        }
        const double wire = download ? fullRead + writes + fullRead : fullRead;
        std::printf("  %-10s %9.0f %9.0f %10.0f %9.2f\n", download ? "download" : "compare", total / rounds,
                    best, wire, total / rounds / wire);
    }
    std::printf("  ratio: mean wall time of the whole command over its wire time\n");
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("Serial link benchmark: %.4f ms a byte at 9600 baud 8E1\n",
                ModuleSimulator::kByteTimeUs / 1000.0);
    const bool ok = run(false, 0, 500) && run(true, 0, 10) && run(true, 2000, 5) && runCommands(5);
    return ok ? 0 : 1;
}
