#include "db/number_cells.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/table_level.h"
#include "db/text_rules.h"
#include "base/string_table.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace NumberCells {
// Longer texts are cut in the message: a cell can hold a whole document.
constexpr qsizetype kHeldShown = 40;

namespace {

// True or false, never NULL, so that it can also be negated.
QString DoesNotFit(const QString &column)
{
    const QString cell = QStringLiteral("[%1]").arg(column);
    return QStringLiteral("(%1 IS NOT NULL AND (typeof(%1) NOT IN ('integer', 'real') OR %1 <> CAST(%1 AS INTEGER) "
                          "OR %1 NOT BETWEEN -2147483648 AND 2147483647))")
        .arg(cell);
}

QStringList NumberColumns(CTableLevel &level)
{
    QStringList names;
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    if (!columns || level.IdColumnName().isEmpty())
        return names;
    for (const ColumnInfo &column : *columns) {
        if (!column.name.isEmpty() && column.binding.type != FieldType::Text && !names.contains(column.name))
            names << column.name;
    }
    return names;
}

QString AnyDamaged(const QStringList &columns)
{
    QStringList conditions;
    for (const QString &column : columns)
        conditions << DoesNotFit(column);
    return conditions.join(QStringLiteral(" OR "));
}

void FindInLevel(DbSession &session, CTableLevel &level, std::vector<DamagedCell> &found)
{
    const QStringList columns = NumberColumns(level);
    if (columns.isEmpty())
        return;
    QStringList cells;
    for (const QString &column : columns)
        cells << QStringLiteral("CASE WHEN %1 THEN CAST([%2] AS TEXT) END").arg(DoesNotFit(column), column);
    // The file's own table, whatever stands in for it in this connection.
    QSqlQuery query = session.NewQuery();
    const QString statement = QStringLiteral("SELECT [%1], %2 FROM main.[%3] WHERE %4 ORDER BY [%1]")
                                  .arg(level.IdColumnName(), cells.join(QStringLiteral(", ")), level.tableName(),
                                       AnyDamaged(columns));
    if (!query.exec(statement))
        RaiseDataError(session.Records(query.lastError()), DbStrings::CantOpenRowset);
    while (query.next()) {
        for (qsizetype index = 0; index < columns.size(); ++index) {
            const QVariant held = query.value(int(index) + 1);
            if (!held.isNull())
                found.push_back({level.tableName(), query.value(0).toString(), columns[index], held.toString()});
        }
    }
}

} // namespace

std::vector<DamagedCell> Find(DbSession &session, CLevelList &levels)
{
    std::vector<DamagedCell> found;
    if (session.source().driver != DbDriver::SQLite)
        return found;
    QSet<QString> searched;
    for (const auto &level : levels.levels()) {
        if (searched.contains(level->tableName()))
            continue;
        searched.insert(level->tableName());
        FindInLevel(session, *level, found);
    }
    return found;
}

} // namespace NumberCells

QString DamagedCell::Text() const
{
    QString shown = TextRules::EscapeControls(held);
    if (shown.size() > NumberCells::kHeldShown)
        shown = shown.left(NumberCells::kHeldShown) + QStringLiteral("...");
    return StrF(DbStrings::DamagedCell, {TextRules::EscapeControls(row), table, column, shown});
}
