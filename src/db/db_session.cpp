#include "db/db_session.h"

#include <QSqlQuery>

#include <QAtomicInt>
#include <QUrl>

#include <QRegularExpression>
#include <QSqlRecord>
#include <algorithm>

DataSource DataSource::sqliteFile(const QString &path, bool readOnly)
{
    DataSource source;
    source.driver = DbDriver::SQLite;
    source.database = path;
    source.mode = readOnly ? kModeRead : kModeShareDenyNone;
    return source;
}

QString DataSource::driverName() const
{
    return driver == DbDriver::SQLite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
}

namespace {
QString NextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("zw_db_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Calls visit(i) for every index of statement outside a quoted literal.
template <typename Visit> void ForEachOutsideLiterals(const QString &statement, Visit visit)
{
    bool inLiteral = false;
    for (qsizetype i = 0; i < statement.size(); ++i) {
        if (statement.at(i) == QLatin1Char('\'')) {
            inLiteral = !inLiteral; // a doubled quote toggles twice
            continue;
        }
        if (!inLiteral)
            visit(i);
    }
}

QString DropSetPrefixes(const QString &statement)
{
    static const QRegularExpression update(QStringLiteral("^\\s*UPDATE\\s+(\\S+)\\s+SET\\s"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = update.match(statement);
    if (!match.hasMatch())
        return statement;
    const QString prefix = match.captured(1) + QLatin1Char('.');
    const qsizetype setEnd = match.capturedEnd(0);
    QString out = statement.left(setEnd);
    bool inWhere = false;
    bool inLiteral = false;
    for (qsizetype i = setEnd; i < statement.size(); ++i) {
        const QChar c = statement.at(i);
        if (c == QLatin1Char('\''))
            inLiteral = !inLiteral;
        if (!inLiteral && !inWhere) {
            if (statement.mid(i, 6).compare(QLatin1String("WHERE "), Qt::CaseInsensitive) == 0 &&
                (i == 0 || !IsWordChar(statement.at(i - 1))))
                inWhere = true;
            else if (statement.mid(i, prefix.size()) == prefix &&
                     (i == 0 || !IsWordChar(statement.at(i - 1)))) {
                i += prefix.size() - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// A project on a server has its names in lower case (see ProjectServerCopy):
// the server folds the unquoted names of a statement to lower case, so the
// bracketed ones must be given in lower case too.
QString BracketsToQuotes(const QString &statement)
{
    QString out = statement;
    bool inName = false;
    ForEachOutsideLiterals(statement, [&out, &inName](qsizetype i) {
        if (out.at(i) == QLatin1Char('[') || out.at(i) == QLatin1Char(']')) {
            inName = out.at(i) == QLatin1Char('[');
            out[i] = QLatin1Char('"');
        } else if (inName) {
            out[i] = out.at(i).toLower();
        }
    });
    return out;
}

QString DropFromDual(const QString &statement)
{
    static const QRegularExpression dual(QStringLiteral("\\s+FROM\\s+DUAL\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString out = statement;
    out.remove(dual);
    return out;
}
} // namespace

QString AdaptStatement(const QString &statement, DbDriver driver, bool hasDual)
{
    QString out = DropSetPrefixes(statement);
    if (driver == DbDriver::PostgreSQL)
        out = BracketsToQuotes(out);
    if (!hasDual)
        out = DropFromDual(out);
    return out;
}

DbSession::DbSession(DataSource source, QString connectionName)
    : m_source(std::move(source)), m_connectionName(std::move(connectionName))
{
}

namespace {
// The one place where the drivers differ in how a connection is described.
void Configure(QSqlDatabase &db, const DataSource &source)
{
    if (source.driver == DbDriver::SQLite) {
        // As a URI, so that a missing file is an error instead of a new,
        // empty project, and so that read-only mode is honoured.
        db.setDatabaseName(QStringLiteral("file:%1?mode=%2")
                               .arg(QString::fromUtf8(QUrl::toPercentEncoding(source.database, "/")),
                                    source.readOnly() ? QStringLiteral("ro") : QStringLiteral("rw")));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        return;
    }
    db.setDatabaseName(source.database);
    db.setHostName(source.host);
    if (source.port > 0)
        db.setPort(source.port);
    db.setUserName(source.user);
    db.setPassword(source.password);
    // A server that does not answer must not hold the program for minutes.
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
}
} // namespace

std::unique_ptr<DbSession> DbSession::open(const DataSource &source, std::vector<ProviderErrorRecord> *error)
{
    const QString name = NextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(source.driverName(), name);
        Configure(db, source);
        if (db.open())
            return std::unique_ptr<DbSession>(new DbSession(source, name));
        if (error)
            *error = ErrorRecords(db.lastError(), source.driverName());
    }
    QSqlDatabase::removeDatabase(name);
    return nullptr;
}

DbSession::~DbSession()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase DbSession::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery DbSession::NewQuery() const
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    return query;
}

std::vector<ProviderErrorRecord> DbSession::Records(const QSqlError &error) const
{
    return ErrorRecords(error, driverName());
}

bool DbSession::HasDual() const
{
    if (!m_hasDual.has_value()) {
        const QStringList views = database().tables(QSql::Views);
        const QStringList tables = database().tables(QSql::Tables);
        const auto isDual = [](const QString &name) {
            return name.compare(QLatin1String("DUAL"), Qt::CaseInsensitive) == 0;
        };
        m_hasDual = std::any_of(views.begin(), views.end(), isDual) ||
                    std::any_of(tables.begin(), tables.end(), isDual);
    }
    return *m_hasDual;
}

QString DbSession::Adapt(const QString &statement) const
{
    return AdaptStatement(statement, m_source.driver, HasDual());
}

bool DbSession::Execute(QSqlQuery &query, const QString &statement,
                        std::vector<ProviderErrorRecord> *error) const
{
    if (query.exec(Adapt(statement)))
        return true;
    if (error)
        *error = Records(query.lastError());
    return false;
}

std::optional<std::vector<SchemaColumn>> DbSession::ColumnSchema(const QString &table) const
{
    QSqlQuery query = NewQuery();
    std::vector<SchemaColumn> columns;
    if (m_source.driver == DbDriver::SQLite) {
        // table_info takes no bound parameter; the name is quoted instead.
        QString quoted = table;
        quoted.replace(QLatin1Char('\''), QLatin1String("''"));
        if (!query.exec(QStringLiteral("PRAGMA main.table_info('%1')").arg(quoted)))
            return std::nullopt;
        while (query.next()) {
            SchemaColumn column;
            column.name = query.value(1).toString();
            column.nullable = query.value(3).toInt() == 0 && query.value(5).toInt() == 0;
            column.hasDefault = !query.value(4).isNull();
            column.defaultText = query.value(4).toString();
            columns.push_back(column);
        }
        return columns;
    }
    query.prepare(
        QStringLiteral("SELECT column_name, is_nullable, column_default FROM information_schema.columns "
                       "WHERE table_name = lower(?) AND table_schema = current_schema() ORDER BY ordinal_position"));
    query.addBindValue(table);
    if (!query.exec())
        return std::nullopt;
    while (query.next()) {
        SchemaColumn column;
        column.name = query.value(0).toString();
        column.nullable = query.value(1).toString() == QLatin1String("YES");
        column.hasDefault = !query.value(2).isNull();
        column.defaultText = query.value(2).toString();
        columns.push_back(column);
    }
    return columns;
}

bool DbSession::BeginTransaction()
{
    // Transactions do not nest: a caller inside an open one gets false and
    // leaves the end of it to the one that began it.
    if (m_inTransaction)
        return false;
    if (m_source.driver == DbDriver::SQLite && !m_source.readOnly()) {
        // A deferred transaction that reads first and writes later cannot
        // wait for another process's lock and fails at once with "database
        // is locked"; taking the write lock at the start waits up to the
        // busy time-out instead.
        QSqlQuery begin(database());
        m_inTransaction = begin.exec(QStringLiteral("BEGIN IMMEDIATE"));
        return m_inTransaction;
    }
    m_inTransaction = database().transaction();
    return m_inTransaction;
}

bool DbSession::Commit()
{
    if (!database().commit())
        return false;
    m_inTransaction = false;
    return true;
}

bool DbSession::Rollback()
{
    const bool ok = database().rollback();
    m_inTransaction = false;
    return ok;
}
