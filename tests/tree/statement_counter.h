#pragma once

#include "db/db_session.h"

#include <QSqlDriver>
#include <QStringList>

#include <sqlite3.h>

// Every statement the SQLite connection of a session runs, as the library
// itself reports them, for the life of the object.
class StatementCounter {
public:
    explicit StatementCounter(DbSession &session)
    {
        const QVariant handle = session.database().driver()->handle();
        if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
            qFatal("not an SQLite connection");
        m_connection = *static_cast<sqlite3 *const *>(handle.constData());
        sqlite3_trace_v2(m_connection, SQLITE_TRACE_STMT, &StatementCounter::trace, this);
    }
    ~StatementCounter() { sqlite3_trace_v2(m_connection, 0, nullptr, nullptr); }
    StatementCounter(const StatementCounter &) = delete;
    StatementCounter &operator=(const StatementCounter &) = delete;

    QStringList statements;

private:
    static int trace(unsigned, void *context, void *, void *text)
    {
        static_cast<StatementCounter *>(context)->statements
            << QString::fromUtf8(static_cast<const char *>(text));
        return 0;
    }

    sqlite3 *m_connection = nullptr;
};
