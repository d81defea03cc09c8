#include "tree/project_counters.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "tree/document.h"
#include "tree/tree_queries.h"

#include <QSqlQuery>

namespace {
const QString kTable = QStringLiteral("ProjectOptions");
const QString kColumn = QStringLiteral("Option1");
constexpr int kPlantString = 486;
constexpr int kCarrierString = 488;
} // namespace

int ProjectCounters::RowOfFolder(int nameStringId)
{
    if (nameStringId < kPlantString || nameStringId > kCarrierString)
        return 0;
    return PlantRow + (nameStringId - kPlantString);
}

std::optional<int> ProjectCounters::Read(int row) const
{
    DbSession *session = m_document.Registry().session();
    if (!session)
        return std::nullopt;
    try {
        QSqlQuery query = RunStatement(
            *session, QStringLiteral("SELECT [%1] FROM %2 WHERE [ID] = %3").arg(kColumn, kTable).arg(row));
        if (query.next())
            return query.value(0).toInt();
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
    }
    return std::nullopt;
}

bool ProjectCounters::Raise(int row)
{
    DbSession *session = m_document.Registry().session();
    if (!session)
        return false;
    try {
        const QSqlQuery query = RunStatement(
            *session,
            QStringLiteral("UPDATE %1 SET [%2] = [%2] + 1 WHERE [ID] = %3").arg(kTable, kColumn).arg(row));
        if (query.numRowsAffected() < 1)
            return false;
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
        return false;
    }
    if (const std::optional<int> value = Read(row))
        UpdateLoadedItem(row, *value);
    return true;
}

void ProjectCounters::UpdateLoadedItem(int row, int value)
{
    // A loaded counter item shows what the file holds; one in an edit keeps
    // its snapshot and is left alone.
    Item *item = m_document.FindRow(kTable, row, true);
    if (!item || item->editState() != EditState::Clean)
        return;
    int column = -1;
    if (item->level().FindColumn(kColumn, &column))
        item->values()[size_t(column)] = value;
}
