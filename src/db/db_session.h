#pragma once

#include "db/data_error.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

enum class DbDriver { SQLite, PostgreSQL };

// What names a database: an SQLite project file, or a PostgreSQL database on
// a server. The same statements run on both; only DbSession::Adapt differs.
struct DataSource {
    // Access modes of the data source's initialisation properties.
    static constexpr int kModeRead = 1;
    static constexpr int kModeShareDenyNone = 16;

    DbDriver driver = DbDriver::SQLite;
    QString provider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    QString database; // the file (SQLite) or the database name (PostgreSQL)
    QString host;
    int port = -1;
    QString user = QStringLiteral("Admin");
    QString password;
    int mode = kModeShareDenyNone;

    static DataSource sqliteFile(const QString &path, bool readOnly = false);
    bool readOnly() const { return (mode & 3) == kModeRead; }
    // The Qt driver name ("QSQLITE", "QPSQL").
    QString driverName() const;
};

// One column of a table as the file's schema describes it.
struct SchemaColumn {
    QString name;
    bool nullable = true;
    bool hasDefault = false;
    QString defaultText;
};

// One open connection to a data source (an OLE DB session in the terms of
// the data layer). Every statement goes through Adapt, which turns the few
// Jet forms the driver refuses into ones it accepts.
class DbSession {
public:
    // Opens a connection; on failure error holds the driver's records.
    static std::unique_ptr<DbSession> open(const DataSource &source, std::vector<ProviderErrorRecord> *error);
    ~DbSession();
    DbSession(const DbSession &) = delete;
    DbSession &operator=(const DbSession &) = delete;

    const DataSource &source() const { return m_source; }
    QSqlDatabase database() const;
    QString driverName() const { return m_source.driverName(); }

    // The statement as the driver takes it: the table prefix of columns in
    // the SET list of an UPDATE is dropped; [names] become "names" for
    // PostgreSQL; "FROM DUAL" is left out where the database has no DUAL.
    QString Adapt(const QString &statement) const;

    // Runs an adapted statement. On failure returns false and fills error.
    bool Execute(QSqlQuery &query, const QString &statement, std::vector<ProviderErrorRecord> *error) const;
    QSqlQuery NewQuery() const;
    std::vector<ProviderErrorRecord> Records(const QSqlError &error) const;

    // The columns of a table, empty when it does not exist; nullopt when the
    // schema cannot be read.
    std::optional<std::vector<SchemaColumn>> ColumnSchema(const QString &table) const;

    bool BeginTransaction();
    bool Commit();
    bool Rollback();

private:
    DbSession(DataSource source, QString connectionName);
    bool HasDual() const;

    DataSource m_source;
    QString m_connectionName;
    mutable std::optional<bool> m_hasDual;
};

// The statement with the Jet forms the driver refuses rewritten (see Adapt).
QString AdaptStatement(const QString &statement, DbDriver driver, bool hasDual);
