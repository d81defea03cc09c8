// Multiplying through the document with the progress window offscreen: one
// two-channel module into 1,000 copies (the goal: under 1 s), a cabinet of
// 10 two-channel modules into 100 copies (1,000 modules, 3,000 rows), and a
// plant of 1,000 modules into 10 copies (10,000 modules). Prints the time,
// its share of the goal, the time per copied item and the peak memory.
#include "project_generator.h"

#include "db/db_session.h"
#include "db/id_sequence.h"
#include "db/table_level.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/multiply_dialog_logic.h"
#include "tree/my7100_doc.h"
#include "tree/widgets/progress_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kTwoChannelType = 6;

enum class Source { Plant, Cabinet, Module };

struct Case {
    const char *what;
    GeneratedShape shape;
    Source source; // the first of its kind
    int copies;
};

// A thousand module copies: the time they may take.
constexpr double kGoalMs = 1000.0;

// Processor time of this process: what the machine's other load does not
// change, beside the wall-clock time that also counts the disk's syncs.
double CpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

int Count(DbSession &session, const QString &statement)
{
    QSqlQuery query(session.database());
    return query.exec(statement) && query.next() ? query.value(0).toInt() : -1;
}

int Rows(DbSession &session)
{
    return Count(session,
                 QStringLiteral("SELECT (SELECT COUNT(*) FROM Equipments) + (SELECT COUNT(*) FROM Racks) + "
                                "(SELECT COUNT(*) FROM Modules7230_3) + (SELECT COUNT(*) FROM Signals)"));
}

bool Run(const Case &run, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QString::fromLatin1(run.what).section(QLatin1Char(' '), 0, 0) + ".prj");
    if (!CopyReferenceProject(path))
        return false;
    if (const QString failure = GenerateProject(path, run.shape); !failure.isEmpty()) {
        std::fprintf(stderr, "generating failed: %s\n", qPrintable(failure));
        return false;
    }
    CLevelList levels;
    std::unique_ptr<DbSession> session = OpenGeneratedProject(path, levels);
    if (!session)
        return false;
    // Two channels: every module is copied with two signals of its own.
    QSqlQuery(session->database())
        .exec(QStringLiteral("UPDATE Modules7230_3 SET ModulTypID = %1").arg(kTwoChannelType));
    CIdSequence ids(*session);
    CMy7100Doc document;
    document.OpenProject({&levels, session.get(), &ids, path, false});
    ContainerItem &project = *document.Root()->containerChildren().at(0)->asContainer();
    document.EnsureChildren(project);
    ContainerItem &plant = *project.containerChildren().at(0)->asContainer();
    document.EnsureChildren(plant);
    ContainerItem &cabinet = *plant.containerChildren().at(0)->asContainer();
    document.EnsureChildren(cabinet);
    Item &source = run.source == Source::Plant     ? static_cast<Item &>(plant)
                   : run.source == Source::Cabinet ? static_cast<Item &>(cabinet)
                                                   : *cabinet.leafChildren().at(0);
    document.CountDescendants(source);

    MultiplyDialogService::setPresenter([&run](MultiplyDialogLogic &logic) {
        logic.SetNumberOfItemsText(QString::number(run.copies));
        return logic.Accept();
    });
    const int rowsBefore = Rows(*session);
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = CpuMilliseconds();
    const C7100Document::MultiplyResult result = document.Multiply(source);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const double cpu = CpuMilliseconds() - cpuBefore;
    const int rowsAfter = Rows(*session);
    const int items = std::max(1, result.inserted);
    std::printf("%s: %.0f ms (processor %.0f ms), %d items inserted (%d rows), %.3f ms per item "
                "(processor %.3f ms), %d errors, peak memory %.0f MB\n",
                run.what, ms, cpu, result.inserted, rowsAfter - rowsBefore, ms / items, cpu / items,
                result.errors, PeakMegabytes());
    if (run.source == Source::Module)
        std::printf("  1,000 module copies: %.0f ms, %.2f x the goal of %.0f ms\n", ms, ms / kGoalMs, kGoalMs);
    return result.ran && result.errors == 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // The dialog's settings go to a settings file of this run only.
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    StringTable::instance().loadBuiltin();
    MessageService::setPresenter([](const MessageRequest &request) {
        if (request.icon != MessageIcon::Information)
            std::fprintf(stderr, "%s\n", qPrintable(request.text));
        return MessageAnswer::No;
    });
    ProgressWindow::install(nullptr);
    const Case cases[] = {
        {"module into 1000 copies", {1, 1, 1}, Source::Module, 1000},
        {"cabinet of 10 modules into 100 copies", {1, 1, 10}, Source::Cabinet, 100},
        {"plant of 1000 modules into 10 copies", {1, 10, 100}, Source::Plant, 10},
    };
    bool ok = true;
    for (const Case &run : cases)
        ok = Run(run, dir) && ok;
    ProgressService::setFactory({});
    return ok ? 0 : 1;
}
