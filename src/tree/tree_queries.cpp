#include "tree/tree_queries.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"

QSqlQuery RunStatement(DbSession &session, const QString &statement)
{
    QSqlQuery query = session.NewQuery();
    std::vector<ProviderErrorRecord> error;
    if (!session.Execute(query, statement, &error))
        RaiseDataError(std::move(error), DbStrings::CantOpenRowset);
    return query;
}
