// How fast the link polls a module, and what it costs while no port opens.
#include "link/link_controller.h"
#include "tools/simulator/module_simulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {

void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Nanoseconds on a CPU of the thread with this name (from the scheduler's
// own account, finer than the clock ticks of /proc/.../stat); -1 if absent.
qint64 threadCpuNs(const QByteArray &name)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name)
            continue;
        QFile schedstat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (!schedstat.open(QIODevice::ReadOnly))
            return -1;
        return schedstat.readAll().split(' ').value(0).toLongLong();
    }
    return -1;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool waitOnline(LinkController &link, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!link.isOnline() && clock.elapsed() < timeoutMs)
        runEventLoopFor(10);
    return link.isOnline();
}

int measurePolls(bool lineRate, int seconds)
{
    SimulatorOptions options;
    options.channels = 2;
    options.lineRate = lineRate;
    ModuleSimulator simulator(options);
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    LinkController link;
    link.setPortOverride(simulator.devicePath());
    link.setProjectOpen(true);
    link.StartLink();
    if (!waitOnline(link, 10000)) {
        std::fprintf(stderr, "the simulated module did not come online\n");
        return 1;
    }
    const std::uint64_t pollsBefore = link.shared().polls;
    const qint64 cpuBefore = threadCpuNs("LinkWorker");
    QElapsedTimer clock;
    clock.start();
    runEventLoopFor(seconds * 1000);
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const std::uint64_t polls = link.shared().polls - pollsBefore;
    const double workerCpu = double(threadCpuNs("LinkWorker") - cpuBefore) / 1e9;
    link.StopLink();
    simulator.stop();
    std::printf("two-channel module, %s simulator: %.0f polls/s (%llu polls in %.1f s, 5 block reads each; "
                "worker CPU %.2f s)\n",
                lineRate ? "9600 baud line-rate" : "instant", double(polls) / elapsed,
                static_cast<unsigned long long>(polls), elapsed, workerCpu);
    return 0;
}

int measureIdleCpu(int seconds)
{
    QTemporaryDir dir;
    LinkController link;
    link.setPortOverride(QDir(dir.path()).filePath(QStringLiteral("no-such-port")));
    link.setProjectOpen(true);
    const double processBefore = processCpuSeconds();
    link.StartLink();
    runEventLoopFor(200);
    const qint64 workerBefore = threadCpuNs("LinkWorker");
    runEventLoopFor(seconds * 1000);
    const qint64 workerAfter = threadCpuNs("LinkWorker");
    const std::uint64_t wakeUps = link.shared().polls;
    link.StopLink();
    const double processCpu = processCpuSeconds() - processBefore;
    if (workerBefore < 0 || workerAfter < 0) {
        std::fprintf(stderr, "the worker thread's CPU time cannot be read\n");
        return 1;
    }
    const double workerMs = double(workerAfter - workerBefore) / 1e6;
    std::printf("port cannot be opened, %d s measured: worker CPU %.3f ms (%.3f ms per minute), "
                "%llu wake-ups; whole process %.3f s\n",
                seconds, workerMs, workerMs * 60.0 / seconds, static_cast<unsigned long long>(wakeUps),
                processCpu);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool full = app.arguments().contains(QStringLiteral("--full"));
    const int pollSeconds = full ? 10 : 5;
    const int idleSeconds = full ? 60 : 10;
    std::printf("bench_link_cycle (%s; --full for 60 s of idle measuring)\n", full ? "full" : "short");
    int failed = measurePolls(false, pollSeconds);
    failed += measurePolls(true, pollSeconds);
    failed += measureIdleCpu(idleSeconds);
    return failed == 0 ? 0 : 1;
}
