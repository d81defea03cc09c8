#include "db/session_statements.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"

#include <QSqlError>

namespace {
[[noreturn]] void Raise(DbSession &session, const QSqlError &error)
{
    RaiseDataError(session.Records(error), DbStrings::CantOpenRowset);
}
} // namespace

QSqlQuery PrepareOrRaise(DbSession &session, const QString &statement)
{
    QSqlQuery query = session.NewQuery();
    if (!query.prepare(session.Adapt(statement)))
        Raise(session, query.lastError());
    return query;
}

void ExecOrRaise(DbSession &session, QSqlQuery &query)
{
    if (!query.exec())
        Raise(session, query.lastError());
}

void InOwnTransaction(DbSession &session, const std::function<void()> &work)
{
    const bool startedHere = !session.InTransaction();
    if (startedHere && !session.BeginTransaction())
        Raise(session, session.database().lastError());
    try {
        work();
        if (startedHere && !session.Commit())
            Raise(session, session.database().lastError());
    } catch (...) {
        if (startedHere)
            session.Rollback();
        throw;
    }
}
