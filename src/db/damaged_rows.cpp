#include "db/damaged_rows.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/table_level.h"
#include "db/variant_value.h"

#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

namespace DamagedRows {
namespace {

const QString kSignals = QStringLiteral("Signals");
const QStringList kSignalColumns = {QStringLiteral("Ch1SignalID"), QStringLiteral("Ch2SignalID")};

// The rows left out, by table, in the order they were found.
using RowsByTable = QMap<QString, QStringList>;

QString Literal(const QString &row)
{
    bool number = false;
    const qlonglong id = row.toLongLong(&number);
    return SqlLiteral(number ? QVariant(id) : QVariant(row));
}

QString List(const QStringList &rows)
{
    QStringList literals;
    for (const QString &row : rows)
        literals << Literal(row);
    return literals.join(QStringLiteral(", "));
}

QSqlQuery Run(DbSession &session, const QString &statement)
{
    QSqlQuery query = session.NewQuery();
    if (!query.exec(statement))
        RaiseDataError(session.Records(query.lastError()), DbStrings::CantOpenRowset);
    return query;
}

std::vector<CTableLevel *> ModuleLevels(CLevelList &levels)
{
    std::vector<CTableLevel *> modules;
    for (const auto &level : levels.levels()) {
        const QString &table = level->tableName();
        const bool known = std::any_of(modules.begin(), modules.end(),
                                       [&table](const CTableLevel *module) { return module->tableName() == table; });
        if (!known && table.startsWith(QLatin1String("Modules")) && !level->IdColumnName().isEmpty())
            modules.push_back(level.get());
    }
    return modules;
}

void Add(RowsByTable &rows, std::vector<LeftOutWith> &with, const LeftOutWith &row)
{
    if (rows[row.table].contains(row.row))
        return;
    rows[row.table] << row.row;
    with.push_back(row);
}

// The modules that name a signal left out.
void ModulesOfSignals(DbSession &session, const std::vector<CTableLevel *> &modules, RowsByTable &rows,
                      std::vector<LeftOutWith> &with)
{
    const QStringList signalRows = rows.value(kSignals);
    if (signalRows.isEmpty())
        return;
    for (CTableLevel *module : modules) {
        const QString id = module->IdColumnName();
        QSqlQuery query = Run(session, QStringLiteral("SELECT [%1], [%2], [%3] FROM main.[%4] WHERE [%2] IN (%5) OR [%3] IN (%5)")
                                           .arg(id, kSignalColumns[0], kSignalColumns[1], module->tableName(),
                                                List(signalRows)));
        while (query.next()) {
            const QString signal = signalRows.contains(query.value(1).toString()) ? query.value(1).toString()
                                                                                 : query.value(2).toString();
            Add(rows, with, {module->tableName(), query.value(0).toString(), kSignals, signal});
        }
    }
}

// The signals of the modules left out.
void SignalsOfModules(DbSession &session, const std::vector<CTableLevel *> &modules, RowsByTable &rows,
                      std::vector<LeftOutWith> &with)
{
    for (CTableLevel *module : modules) {
        const QStringList moduleRows = rows.value(module->tableName());
        if (moduleRows.isEmpty())
            continue;
        QSqlQuery query = Run(session, QStringLiteral("SELECT m.[%1], s.[ID] FROM main.[%4] m JOIN main.[%5] s "
                                                      "ON s.[ID] IN (m.[%2], m.[%3]) WHERE m.[%1] IN (%6)")
                                           .arg(module->IdColumnName(), kSignalColumns[0], kSignalColumns[1],
                                                module->tableName(), kSignals, List(moduleRows)));
        while (query.next())
            Add(rows, with, {kSignals, query.value(1).toString(), module->tableName(), query.value(0).toString()});
    }
}

} // namespace

std::vector<LeftOutWith> LeaveOut(DbSession &session, CLevelList &levels, const std::vector<DamagedCell> &cells)
{
    RowsByTable rows;
    for (const DamagedCell &cell : cells) {
        if (!rows[cell.table].contains(cell.row))
            rows[cell.table] << cell.row;
    }
    std::vector<LeftOutWith> with;
    const std::vector<CTableLevel *> modules = ModuleLevels(levels);
    ModulesOfSignals(session, modules, rows, with);
    SignalsOfModules(session, modules, rows, with);
    for (auto table = rows.cbegin(); table != rows.cend(); ++table) {
        CTableLevel *level = levels.FindByTable(table.key());
        const QString id = level ? level->IdColumnName() : QStringLiteral("ID");
        Run(session, QStringLiteral("CREATE TEMP VIEW [%1] AS SELECT * FROM main.[%1] WHERE [%2] NOT IN (%3)")
                         .arg(table.key(), id, List(table.value())));
    }
    return with;
}

} // namespace DamagedRows
