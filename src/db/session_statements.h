#pragma once

#include <QSqlQuery>
#include <QString>

#include <functional>

class DbSession;

// Statements of tables the item levels do not describe, on a session: each
// failure raises COLEDBException with the driver's records and 50013.
QSqlQuery PrepareOrRaise(DbSession &session, const QString &statement);
void ExecOrRaise(DbSession &session, QSqlQuery &query);

// Runs work in a transaction of its own, committed when work returns and
// rolled back when it raises; inside a transaction the caller holds, work
// simply runs in it.
void InOwnTransaction(DbSession &session, const std::function<void()> &work);
