#include "db/row_guard.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/text_rules.h"
#include "db/variant_value.h"
#include "base/string_table.h"

#include <QSqlQuery>
#include <QStringList>

namespace RowGuard {
namespace {

bool IsUnset(const QVariant &value)
{
    return !value.isValid() || value.isNull() || IsDbNull(value);
}

// A cell NULL in the file reads as 0, false or an empty text: the
// condition takes either for the value read.
QString StillHolds(const ColumnInfo &column, const QVariant &read)
{
    const QString name = QStringLiteral("[%1]").arg(column.name);
    const QString orNull = QStringLiteral("(%1 = %2 OR %1 IS NULL)");
    switch (column.binding.type) {
    case FieldType::Long:
        if (IsUnset(read) || read.toInt() == 0)
            return orNull.arg(name, QStringLiteral("0"));
        return QStringLiteral("%1 = %2").arg(name).arg(read.toInt());
    case FieldType::Bool:
        if (IsUnset(read) || !read.toBool())
            return orNull.arg(name, QStringLiteral("0"));
        return QStringLiteral("%1 <> 0").arg(name);
    case FieldType::Text:
        if (IsUnset(read) || read.toString().isEmpty())
            return orNull.arg(name, QStringLiteral("''"));
        return QStringLiteral("%1 = %2").arg(name, SqlLiteral(read.toString()));
    }
    return QStringLiteral("1 = 1");
}

// The cell as the level reads it, for comparing with a value read earlier.
QVariant AsRead(const ColumnInfo &column, const QVariant &cell)
{
    switch (column.binding.type) {
    case FieldType::Long:
        return cell.isNull() ? QVariant(0) : QVariant(WholeNumberOf(cell).value_or(0));
    case FieldType::Bool:
        return QVariant(!cell.isNull() && WholeNumberOf(cell).value_or(1) != 0);
    case FieldType::Text:
        return QVariant(TextRules::LeftCharacters(cell.toString(), column.textWidth()));
    }
    return cell;
}

bool Same(const ColumnInfo &column, const QVariant &a, const QVariant &b)
{
    switch (column.binding.type) {
    case FieldType::Long:
        return (IsUnset(a) ? 0 : a.toInt()) == (IsUnset(b) ? 0 : b.toInt());
    case FieldType::Bool:
        return (!IsUnset(a) && a.toBool()) == (!IsUnset(b) && b.toBool());
    case FieldType::Text:
        return (IsUnset(a) ? QString() : a.toString()) == (IsUnset(b) ? QString() : b.toString());
    }
    return false;
}

QString Shown(const QVariant &value)
{
    return IsUnset(value) ? QString() : TextRules::EscapeControls(value.toString());
}

// The columns a statement guards: for an edit the changed ones, for a
// delete every column the table has but the identifier.
std::vector<size_t> GuardedColumns(CTableLevel &level, const RowValues &values, const RowValues &saved)
{
    std::vector<size_t> guarded;
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    const int id = level.IdColumnIndex();
    for (size_t i = 0; columns && i < columns->size() && i < saved.size(); ++i) {
        const ColumnInfo &column = (*columns)[i];
        if (column.name.isEmpty() || int(i) == id)
            continue;
        if (values.empty() || (i < values.size() && !Same(column, values[i], saved[i])))
            guarded.push_back(i);
    }
    return guarded;
}

QString Conditions(CTableLevel &level, const std::vector<size_t> &guarded, const RowValues &saved)
{
    QStringList conditions;
    for (size_t i : guarded)
        conditions << StillHolds((*level.GetColumns())[i], saved[i]);
    return conditions.join(QStringLiteral(" AND "));
}

} // namespace

QString BuildUpdate(CTableLevel &level, const RowValues &values, const RowValues &saved)
{
    const QString update = level.BuildUpdate(values, saved);
    const std::vector<size_t> guarded = GuardedColumns(level, values, saved);
    if (update.isEmpty() || guarded.empty())
        return update;
    return update + QStringLiteral(" AND ") + Conditions(level, guarded, saved);
}

QString BuildDelete(CTableLevel &level, const RowValues &values)
{
    const QString remove = level.BuildDelete(&values);
    const std::vector<size_t> guarded = GuardedColumns(level, {}, values);
    if (remove.isEmpty() || guarded.empty())
        return remove;
    return remove + QStringLiteral(" AND ") + Conditions(level, guarded, values);
}

void RaiseChangedElsewhere(DbSession &session, CTableLevel &level, const RowValues &values, const RowValues &saved,
                           const QString &label)
{
    const std::vector<ColumnInfo> &columns = *level.GetColumns();
    const int id = level.IdColumnIndex();
    const QVariant key = id >= 0 && size_t(id) < saved.size() ? saved[size_t(id)] : QVariant();
    QSqlQuery query = session.NewQuery();
    std::vector<ProviderErrorRecord> error;
    if (!session.Execute(query,
                         QStringLiteral("SELECT * FROM %1 WHERE [%2] = %3")
                             .arg(level.tableName(), level.IdColumnName(), SqlLiteral(key)),
                         &error))
        RaiseDataError(std::move(error), DbStrings::CantMoveNext);
    const bool deleting = values.empty();
    if (!query.next())
        RaiseDataError(DbStrings::DeletedElsewhere, {label});
    QStringList lines;
    for (size_t i : GuardedColumns(level, values, saved)) {
        const ColumnInfo &column = columns[i];
        const QVariant stored = AsRead(column, query.value(column.name));
        if (Same(column, stored, saved[i]))
            continue;
        lines << (deleting ? StrF(DbStrings::FieldChangedLine, {column.name, Shown(saved[i]), Shown(stored)})
                           : StrF(DbStrings::FieldChangedWhileEditedLine,
                                  {column.name, Shown(saved[i]), Shown(stored), Shown(values[i])}));
    }
    RaiseDataError(deleting ? DbStrings::NotDeletedChangedElsewhere : DbStrings::ChangedElsewhere,
                   {label, lines.join(QLatin1Char('\n'))});
}

bool IsChangedElsewhere(const COLEDBException &error)
{
    for (const COLEDBException::Message &message : error.messages()) {
        if (message.number == DbStrings::ChangedElsewhere || message.number == DbStrings::DeletedElsewhere ||
            message.number == DbStrings::NotDeletedChangedElsewhere)
            return true;
    }
    return false;
}

} // namespace RowGuard
