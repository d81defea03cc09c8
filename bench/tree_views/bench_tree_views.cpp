// The views over a generated project of 10,000 modules (offscreen): expanding
// a cabinet of 500 modules in the tree, showing its list, and sorting that
// list by another column. The statements the tree runs are counted: a level
// is read only when it is expanded.
#include "project_generator.h"
#include "tree/statement_counter.h"

#include "db/db_session.h"
#include "db/table_level.h"
#include "base/string_table.h"
#include "tree/container_list_model.h"
#include "tree/document.h"
#include "tree/widgets/my7100_view.h"
#include "tree/widgets/tree_entry_model.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>

namespace {

double Milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Paints what the view now shows, so that the figure counts the drawing.
void Settle(QWidget &view)
{
    view.repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // The sort the list stores goes to a settings file of this run only.
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    StringTable::instance().loadBuiltin();
    const QString path = dir.filePath(QStringLiteral("large.prj"));
    if (!CopyReferenceProject(path))
        return 1;
    const GeneratedShape shape;
    if (const QString failure = GenerateProject(path, shape); !failure.isEmpty()) {
        std::fprintf(stderr, "generating failed: %s\n", qPrintable(failure));
        return 1;
    }
    CLevelList levels;
    std::unique_ptr<DbSession> session = OpenGeneratedProject(path, levels);
    if (!session)
        return 1;
    C7100Document document;
    document.OpenProject({&levels, session.get(), nullptr, path, false});

    // The levels below the project: shown, and each read once expanded.
    StatementCounter statements(*session);
    TreeEntryModel model(document);
    QTreeView tree;
    tree.setModel(&model);
    tree.resize(400, 800);
    tree.show();
    Settle(tree);
    const QModelIndex project = model.index(0, 0);
    tree.expand(project);
    Settle(tree);
    const QModelIndex plant = model.index(0, 0, project);
    tree.expand(plant);
    Settle(tree);
    std::printf("project and one plant expanded: %lld statements, %d items loaded\n",
                static_cast<long long>(statements.statements.size()), document.Registry().itemCount());
    const QModelIndex cabinet = model.index(0, 0, plant);
    const qsizetype before = statements.statements.size();
    QElapsedTimer timer;
    timer.start();
    tree.expand(cabinet);
    Settle(tree);
    const double expandTime = Milliseconds(timer);
    const qsizetype expandStatements = statements.statements.size() - before;
    // One child statement per level that can stand below a cabinet, and
    // nothing read below the modules' siblings that stay closed.
    int cabinetLevels = 0;
    for (const auto &level : levels.levels())
        cabinetLevels += level->parentTable() == QLatin1String("Racks") ? 1 : 0;
    std::printf("expand a cabinet of %d modules in the tree: %.1f ms (%lld statements for %d child levels, %d items "
                "loaded)\n",
                model.rowCount(cabinet), expandTime, static_cast<long long>(expandStatements), cabinetLevels,
                document.Registry().itemCount());
    if (expandStatements > cabinetLevels) {
        std::fprintf(stderr, "the tree read more than the expanded cabinet\n");
        return 1;
    }

    // A second cabinet, not yet read, so that the list reads its rows.
    const ItemHandle other = model.itemAt(model.index(1, 0, plant))->handle();
    CMy7100View list(document);
    list.resize(800, 800);
    list.show();
    Settle(list);
    timer.restart();
    list.listModel().Show(other);
    Settle(list);
    std::printf("show the list of a cabinet of %d modules, reading them: %.1f ms (%d items loaded)\n",
                list.model()->rowCount(), Milliseconds(timer), document.Registry().itemCount());

    timer.restart();
    list.listModel().sort(1, Qt::DescendingOrder);
    Settle(list);
    std::printf("sort that list by \"%s\": %.1f ms\n",
                qPrintable(list.model()->headerData(1, Qt::Horizontal).toString()), Milliseconds(timer));
    return list.model()->rowCount() == shape.modulesPerCabinet ? 0 : 1;
}
