// Copying a cabinet of generated modules (two signals each) and pasting it
// into its own plant and into another project: describing, the transfer
// data, reading it back, and the paste with every module's signals.
#include "project_generator.h"

#include "db/db_session.h"
#include "db/id_sequence.h"
#include "db/table_level.h"
#include "base/string_table.h"
#include "tree/clipboard_port.h"
#include "tree/my7100_doc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double Milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// One generated project opened with the application document.
struct OpenProject {
    CLevelList levels;
    std::unique_ptr<DbSession> session;
    std::unique_ptr<CIdSequence> ids;
    CMy7100Doc document;

    bool open(const QString &path, const GeneratedShape &shape)
    {
        if (!CopyReferenceProject(path))
            return false;
        if (const QString failure = GenerateProject(path, shape); !failure.isEmpty()) {
            std::fprintf(stderr, "generating failed: %s\n", qPrintable(failure));
            return false;
        }
        session = OpenGeneratedProject(path, levels);
        if (!session)
            return false;
        ids = std::make_unique<CIdSequence>(*session);
        document.OpenProject({&levels, session.get(), ids.get(), path, false});
        return true;
    }
    ContainerItem &projectItem() { return *document.Root()->containerChildren().at(0)->asContainer(); }
    int rows(const QString &table)
    {
        QSqlQuery query(session->database());
        query.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        return query.next() ? query.value(0).toInt() : -1;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    StringTable::instance().loadBuiltin();
    QTemporaryDir dir;
    GeneratedShape shape;
    shape.plants = 1;
    shape.cabinetsPerPlant = 1;
    shape.modulesPerCabinet = argc > 1 ? QByteArray(argv[1]).toInt() : 500;
    OpenProject source;
    OpenProject target;
    if (!source.open(dir.filePath(QStringLiteral("source.prj")), shape) ||
        !target.open(dir.filePath(QStringLiteral("target.prj")), shape))
        return 1;
    auto board = std::make_shared<MemoryClipboardBoard>();
    MemoryClipboard sourceClipboard(board);
    MemoryClipboard targetClipboard(board);
    source.document.SetClipboardPort(&sourceClipboard);
    target.document.SetClipboardPort(&targetClipboard);
    source.document.StartLink();
    target.document.StartLink();

    source.document.EnsureChildren(source.projectItem());
    target.document.EnsureChildren(target.projectItem());
    ContainerItem &plant = *source.projectItem().containerChildren().at(0)->asContainer();
    source.document.EnsureChildren(plant);
    Item &cabinet = *plant.containerChildren().at(0);

    QElapsedTimer timer;
    timer.start();
    if (!source.document.CopyToClipboard({&cabinet}, false))
        return 1;
    const double copyMs = Milliseconds(timer);
    const QByteArray data = board->data.Data(source.document.Formats().data);
    std::printf("copy a cabinet of %d modules: %.1f ms, item data %.1f KiB\n", shape.modulesPerCabinet,
                copyMs, double(data.size()) / 1024.0);
    timer.restart();
    const std::optional<TransferSet> set = TransferCodec::DecodeSet(data);
    std::printf("read the item data back: %.1f ms (%d descriptors)\n", Milliseconds(timer),
                set ? set->descriptorCount() : -1);

    const int modulesBefore = source.rows(QStringLiteral("Modules7230_3"));
    timer.restart();
    const bool within = source.document.PasteFromClipboard(&plant);
    const double withinMs = Milliseconds(timer);
    std::printf("paste it into its own plant: %s, %.1f ms, %.2f ms a module (%d modules written)\n",
                within ? "done" : "FAILED", withinMs, withinMs / shape.modulesPerCabinet,
                source.rows(QStringLiteral("Modules7230_3")) - modulesBefore);

    ContainerItem &otherPlant = *target.projectItem().containerChildren().at(0)->asContainer();
    timer.restart();
    const bool across = target.document.PasteFromClipboard(&otherPlant);
    const double acrossMs = Milliseconds(timer);
    std::printf("paste it into another project: %s, %.1f ms, %.2f ms a module (%d signals there now)\n",
                across ? "done" : "FAILED", acrossMs, acrossMs / shape.modulesPerCabinet,
                target.rows(QStringLiteral("Signals")));
    return within && across ? 0 : 1;
}
