// The project output of a large project written as PDF from the command
// line: a generated project of 1,000 modules (2,000 signals) in 100 folders,
// printed by "zelnorctl print" as a user would run it, with the page count,
// the time and the peak resident memory of that process.
#include "project_generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {
struct Run {
    int exitCode = -1;
    double seconds = 0;
    long peakKiB = 0;
    std::string output;
};

// Runs the program and waits for it, with its own resource usage.
Run RunProgram(const QString &program, const QStringList &args)
{
    Run run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return run;
    std::vector<std::string> words = {program.toStdString()};
    for (const QString &arg : args)
        words.push_back(arg.toStdString());
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        run.output.append(buffer, size_t(got));
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    return run;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("plant.prj"));
    const QString pdf = dir.filePath(QStringLiteral("plant.pdf"));
    if (!CopyReferenceProject(project))
        return 1;
    // 50 plants with one cabinet each: 100 folders; 20 modules a cabinet.
    GeneratedShape shape;
    shape.plants = 50;
    shape.cabinetsPerPlant = 1;
    shape.modulesPerCabinet = 20;
    const QString failure = GenerateProject(project, shape);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "generating failed: %s\n", qPrintable(failure));
        return 1;
    }
    const QString zelnorctl =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnorctl"));
    std::printf("project: %d modules, %d signals, %d folders\n", shape.modules(), 2 * shape.modules(),
                shape.plants * (1 + shape.cabinetsPerPlant));
    for (const char *orientation : {"landscape", "portrait"}) {
        const Run run = RunProgram(zelnorctl, {QStringLiteral("print"), project, QStringLiteral("--pdf"), pdf,
                                               QStringLiteral("--orientation"), QLatin1String(orientation)});
        if (run.exitCode != 0) {
            std::fprintf(stderr, "zelnorctl print failed (%d): %s\n", run.exitCode, run.output.c_str());
            return 1;
        }
        // "Wrote N page(s) to FILE."
        const QString said = QString::fromStdString(run.output).trimmed();
        const int pages = said.section(QLatin1Char(' '), 1, 1).toInt();
        std::printf(
            "zelnorctl print (project output, %s): %d pages, %.2f s, peak %.1f MB resident, PDF %.1f MB "
            "(targets: under 10 s, under 300 MB)\n",
            orientation, pages, run.seconds, double(run.peakKiB) / 1024.0,
            double(QFileInfo(pdf).size()) / (1024.0 * 1024.0));
    }
    return 0;
}
