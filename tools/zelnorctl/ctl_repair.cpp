#include "ctl_repair.h"

#include "ctl_output.h"
#include "ctl_strings.h"

#include "base/string_table.h"
#include "db/data_error.h"
#include "db/db_strings.h"
#include "db/project_database.h"
#include "db/project_repair.h"
#include "db/project_strings.h"

#include <QDir>

namespace CtlRepair {
namespace {

const QString kList = QStringLiteral("list");
const QString kSet = QStringLiteral("set");
const QString kCopy = QStringLiteral("copy");

int Usage()
{
    Err() << Str(RepairUsage) << Qt::endl;
    return ExitUnusable;
}

// The value of each --set, from its table and the two arguments after the
// project that belong to it; nothing after a printed refusal.
std::optional<std::vector<ProjectRepair::CellValue>> Values(const QStringList &args, const QStringList &tables)
{
    std::vector<ProjectRepair::CellValue> values;
    for (qsizetype index = 0; index < tables.size(); ++index) {
        const QString &assignment = args[1 + 2 * index + 1];
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            Err() << StrF(CtlStrings::NotAnAssignment, {assignment}) << Qt::endl;
            return std::nullopt;
        }
        values.push_back({tables[index], args[1 + 2 * index], assignment.left(equals), assignment.mid(equals + 1)});
    }
    return values;
}

int List(const ProjectDatabase &database)
{
    for (const DamagedCell &cell : database.DamagedCells())
        Out() << cell.Text() << '\n';
    if (database.DamagedCells().empty())
        Out() << StrF(NoDamage, {database.DisplayName()}) << '\n';
    Out() << Qt::flush;
    return ExitOk;
}

int WriteCopy(const ProjectDatabase &database, std::vector<ProjectRepair::CellValue> values, const QString &copy)
{
    const DbSession &session = *database.Session();
    if (session.source().driver != DbDriver::SQLite) {
        Err() << StrF(DbStrings::RepairOnlyFiles, {database.DisplayName()}) << Qt::endl;
        return ExitRefused;
    }
    for (ProjectRepair::CellValue &value : values) {
        if (const std::optional<QString> refusal = ProjectRepair::Refusal(database.DamagedCells(), value)) {
            Err() << *refusal << Qt::endl;
            return ExitRefused;
        }
    }
    const QString source = session.source().database;
    const QString target = copy.isEmpty() ? ProjectRepair::DefaultCopyName(source)
                                          : QDir::current().absoluteFilePath(copy);
    if (const std::optional<QString> refusal = ProjectRepair::TargetRefusal(target, source)) {
        Err() << *refusal << Qt::endl;
        return ExitRefused;
    }
    const ProjectRepair::Result result = ProjectRepair::WriteCopy(source, target, values);
    if (!result.error.isEmpty()) {
        Err() << result.error << Qt::endl;
        return ExitUnusable;
    }
    Out() << StrF(CopyWritten, {target, int(values.size())}) << '\n';
    if (result.left.empty())
        Out() << Str(CopySound) << '\n';
    else
        Out() << StrF(CopyStillDamaged, {int(result.left.size())}) << '\n';
    for (const DamagedCell &cell : result.left)
        Out() << cell.Text() << '\n';
    Out() << Qt::flush;
    return ExitOk;
}

} // namespace

void AddOptions(QCommandLineParser &parser)
{
    parser.addOption({kList, Str(ListOption)});
    parser.addOption({kSet, Str(SetOption), QStringLiteral("TABLE")});
    parser.addOption({kCopy, Str(CopyOption), QStringLiteral("FILE.prj")});
}

int Repair(const QStringList &args, const QCommandLineParser &parser)
{
    const bool list = parser.isSet(kList);
    const QStringList tables = parser.values(kSet);
    // --list alone, or --set with its row and value after the project.
    if (list == !tables.isEmpty() || args.size() != 1 + 2 * tables.size() || (list && parser.isSet(kCopy)))
        return Usage();
    const std::optional<std::vector<ProjectRepair::CellValue>> values = Values(args, tables);
    if (!values)
        return ExitUnusable;
    ProjectDatabase database;
    try {
        const QString absolute = QDir::current().absoluteFilePath(args[0]);
        if (!database.OpenFile(absolute, database.OpenUser(), database.OpenPassword())) {
            Err() << StrF(ProjectStrings::LogOpenFailed, {absolute}) << Qt::endl;
            return ExitUnusable;
        }
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return ExitUnusable;
    }
    return list ? List(database) : WriteCopy(database, *values, parser.value(kCopy));
}

} // namespace CtlRepair
