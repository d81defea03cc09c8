// Feeds every file of the given folders (or the given files) to one fuzz
// target, as libFuzzer would, without libFuzzer: the test command replays
// each target's corpus and the inputs that once broke it.
//
//   zw-fuzz-replay TARGET PATH...
#include "fuzz_targets.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

QStringList FilesOf(const QString &path)
{
    if (QFileInfo(path).isFile())
        return {path};
    QStringList files;
    QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const FuzzTargetFunction target = args.isEmpty() ? nullptr : FindFuzzTarget(args.front());
    if (!target) {
        std::fprintf(stderr, "usage: zw-fuzz-replay TARGET PATH...\ntargets: %s\n",
                     FuzzTargetNames().join(QLatin1Char(' ')).toUtf8().constData());
        return 2;
    }
    int replayed = 0;
    for (const QString &path : args.mid(1)) {
        for (const QString &file : FilesOf(path)) {
            QFile input(file);
            if (!input.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s: cannot be read\n", qPrintable(file));
                return 1;
            }
            const QByteArray bytes = input.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(file));
            target(reinterpret_cast<const std::uint8_t *>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
            ++replayed;
        }
    }
    // A corpus that went missing must not pass as a target without faults.
    if (replayed == 0) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    std::printf("%d inputs replayed through %s\n", replayed, qPrintable(args.front()));
    return 0;
}
