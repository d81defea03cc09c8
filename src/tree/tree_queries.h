#pragma once

#include <QSqlQuery>
#include <QString>

class DbSession;

// Runs a statement of the hierarchy rules on the session; raises
// COLEDBException with the driver's records when it fails.
QSqlQuery RunStatement(DbSession &session, const QString &statement);
