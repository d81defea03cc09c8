#include "tree/project_counters.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "tree/document.h"

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
    QSqlQuery query = session->NewQuery();
    std::vector<ProviderErrorRecord> error;
    if (!session->Execute(query,
                          QStringLiteral("SELECT [%1] FROM %2 WHERE [ID] = %3").arg(kColumn, kTable).arg(row),
                          &error)) {
        COLEDBException exception(std::move(error));
        AddMessage(exception, DbStrings::CantOpenRowset);
        ReportDataError(exception, m_document.ReportErrors());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

bool ProjectCounters::Raise(int row)
{
    DbSession *session = m_document.Registry().session();
    if (!session)
        return false;
    QSqlQuery query = session->NewQuery();
    std::vector<ProviderErrorRecord> error;
    const QString statement =
        QStringLiteral("UPDATE %1 SET [%2] = [%2] + 1 WHERE [ID] = %3").arg(kTable, kColumn).arg(row);
    if (!session->Execute(query, statement, &error)) {
        ReportDataError(COLEDBException(std::move(error)), m_document.ReportErrors());
        return false;
    }
    if (query.numRowsAffected() < 1)
        return false;
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
