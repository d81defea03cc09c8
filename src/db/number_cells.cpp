#include "db/number_cells.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/table_level.h"
#include "db/text_rules.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace NumberCells {
namespace {

QString DoesNotFit(const QString &column)
{
    const QString cell = QStringLiteral("[%1]").arg(column);
    return QStringLiteral("((typeof(%1) NOT IN ('integer', 'null') AND NOT (typeof(%1) = 'real' AND %1 = "
                          "CAST(%1 AS INTEGER))) OR %1 NOT BETWEEN -2147483648 AND 2147483647)")
        .arg(cell);
}

void CheckLevel(DbSession &session, CTableLevel &level)
{
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    if (!columns)
        return;
    QStringList conditions;
    QStringList names;
    for (const ColumnInfo &column : *columns) {
        if (column.name.isEmpty() || column.binding.type == FieldType::Text)
            continue;
        conditions << DoesNotFit(column.name);
        names << column.name;
    }
    if (conditions.isEmpty())
        return;
    QStringList which;
    for (qsizetype i = 0; i < names.size(); ++i)
        which << QStringLiteral("WHEN %1 THEN '%2'").arg(conditions[i], names[i]);
    QSqlQuery query = session.NewQuery();
    const QString statement = QStringLiteral("SELECT [%1], CASE %2 END FROM %3 WHERE %4 LIMIT 1")
                                  .arg(level.IdColumnName(), which.join(u' '), level.tableName(),
                                       conditions.join(QStringLiteral(" OR ")));
    if (!query.exec(statement))
        RaiseDataError(session.Records(query.lastError()), DbStrings::CantOpenRowset);
    if (query.next())
        RaiseDataError(DbStrings::CellNotANumber, {level.tableName(), TextRules::EscapeControls(query.value(0).toString()),
                                                   query.value(1).toString()});
}

} // namespace

void Check(DbSession &session, CLevelList &levels)
{
    if (session.source().driver != DbDriver::SQLite)
        return; // a server's number columns hold numbers only
    for (const auto &level : levels.levels()) {
        if (!level->IdColumnName().isEmpty())
            CheckLevel(session, *level);
    }
}

} // namespace NumberCells
