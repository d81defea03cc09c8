#include "db/project_copy.h"

#include "db/data_link_file.h"
#include "db/db_session.h"
#include "db/project_strings.h"
#include "base/string_table.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

constexpr int kRowsPerStatement = 500;

QString quotedName(const QString &name)
{
    QString lower = name.toLower();
    lower.replace(u'"', QStringLiteral("\"\""));
    return u'"' + lower + u'"';
}

QString sqliteName(const QString &name)
{
    QString doubled = name;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

// A default the server understands as it stands: a number or a quoted text.
bool isPlainLiteral(const QString &value)
{
    static const QRegularExpression literal(QStringLiteral("^(-?[0-9]+(\\.[0-9]+)?|'([^']|'')*')$"));
    return literal.match(value).hasMatch();
}

QString errorOf(const QSqlQuery &q)
{
    return q.lastError().text();
}

} // namespace

bool ProjectServerCopy::fail(const QString &text)
{
    m_error = text;
    return false;
}

QString ProjectServerCopy::serverType(const QString &sqliteType)
{
    const QString t = sqliteType.trimmed().toUpper();
    if (t == QLatin1String("SMALLINT"))
        return QStringLiteral("smallint");
    if (t.contains(QLatin1String("INT")))
        return QStringLiteral("integer");
    // Widths of text columns are kept by the program when it reads; the file
    // itself holds longer texts, so the server must accept them too.
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) ||
        t.contains(QLatin1String("TEXT")))
        return QStringLiteral("varchar");
    if (t.contains(QLatin1String("BLOB")) || t.isEmpty())
        return QStringLiteral("bytea");
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("DOUB")))
        return QStringLiteral("double precision");
    return QStringLiteral("numeric");
}

namespace {
QString firstRecord(const std::vector<ProviderErrorRecord> &records)
{
    return records.empty() ? QString() : records.front().description;
}
} // namespace

bool ProjectServerCopy::run(const QString &projectFile, const ConnectionProperties &server,
                            const QString &dataLinkFile)
{
    m_error.clear();
    m_tables.clear();
    m_rows = 0;
    // Refused before anything is put onto the server.
    const OutputFile::Target link = DataLinkFile::target(dataLinkFile, server, m_replaceDataLink, projectFile);
    if (!dataLinkFile.isEmpty()) {
        if (const std::optional<QString> refusal = OutputFile::Refusal(link))
            return fail(*refusal);
    }
    std::vector<ProviderErrorRecord> records;
    const std::unique_ptr<DbSession> source =
        DbSession::open(DataSource::sqliteFile(projectFile, true), &records);
    if (!source)
        return fail(StrF(ProjectStrings::CopyCantOpenProject, {projectFile, firstRecord(records)}));
    DataSource target;
    QString notAServer;
    if (server.provider() != ConnectionProperties::Provider::PostgreSQL || !server.toDataSource(target, &notAServer))
        return fail(notAServer.isEmpty() ? Str(ProjectStrings::CopyNotAServer) : notAServer);
    const std::unique_ptr<DbSession> session = DbSession::open(target, &records);
    if (!session)
        return fail(StrF(ProjectStrings::CopyCantConnect, {target.database, firstRecord(records)}));
    if (!copyAll(source->database().connectionName(), session->database().connectionName()))
        return false;
    QString why;
    if (!dataLinkFile.isEmpty() && !DataLinkFile::write(link, server, &why))
        return fail(StrF(ProjectStrings::CopyCantWriteDataLink, {dataLinkFile, why}));
    return true;
}

bool ProjectServerCopy::copyAll(const QString &source, const QString &target)
{
    if (!ensureEmpty(target))
        return false;
    QSqlDatabase db = QSqlDatabase::database(target, false);
    if (!db.transaction())
        return fail(StrF(ProjectStrings::CopyTableFailed, {QString(), db.lastError().text()}));
    QStringList tables;
    {
        QSqlQuery list(QSqlDatabase::database(source, false));
        list.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                 "AND name NOT LIKE 'sqlite_%' ORDER BY name"));
        while (list.next())
            tables << list.value(0).toString();
    }
    bool ok = true;
    for (const QString &table : std::as_const(tables)) {
        ok = createTable(source, target, table) && copyRows(source, target, table) &&
             createIndexes(source, target, table);
        if (!ok)
            break;
    }
    ok = ok && createDual(target);
    if (ok && !db.commit())
        ok = fail(StrF(ProjectStrings::CopyTableFailed, {QString(), db.lastError().text()}));
    if (!ok) {
        db.rollback();
        m_tables.clear();
        m_rows = 0;
        return false;
    }
    m_tables = tables;
    return true;
}

bool ProjectServerCopy::ensureEmpty(const QString &target)
{
    QSqlDatabase db = QSqlDatabase::database(target, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM information_schema.tables "
                               "WHERE table_schema = current_schema()")) ||
        !q.next())
        return fail(StrF(ProjectStrings::CopyCantConnect, {db.databaseName(), errorOf(q)}));
    if (q.value(0).toInt() != 0)
        return fail(StrF(ProjectStrings::CopyTargetNotEmpty, {db.databaseName()}));
    return true;
}

QList<ProjectServerCopy::Column> ProjectServerCopy::readColumns(const QString &source, const QString &table)
{
    QList<Column> columns;
    QSqlQuery info(QSqlDatabase::database(source, false));
    info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(sqliteName(table)));
    while (info.next()) {
        Column c;
        c.name = info.value(1).toString();
        c.type = info.value(2).toString();
        c.notNull = info.value(3).toInt() != 0;
        c.defaultValue = info.value(4).toString();
        c.keyPosition = info.value(5).toInt();
        columns << c;
    }
    return columns;
}

bool ProjectServerCopy::createTable(const QString &source, const QString &target, const QString &table)
{
    const QList<Column> columns = readColumns(source, table);
    QStringList parts;
    QList<std::pair<int, QString>> key;
    for (const Column &c : columns) {
        QString part = quotedName(c.name) + u' ' + serverType(c.type);
        if (c.notNull)
            part += QStringLiteral(" NOT NULL");
        if (!c.defaultValue.isEmpty() && isPlainLiteral(c.defaultValue))
            part += QStringLiteral(" DEFAULT ") + c.defaultValue;
        parts << part;
        if (c.keyPosition > 0)
            key.append({c.keyPosition, quotedName(c.name)});
    }
    if (!key.isEmpty()) {
        std::sort(key.begin(), key.end());
        QStringList names;
        for (const auto &k : std::as_const(key))
            names << k.second;
        parts << QStringLiteral("PRIMARY KEY (%1)").arg(names.join(QStringLiteral(", ")));
    }
    QSqlQuery create(QSqlDatabase::database(target, false));
    if (!create.exec(
            QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedName(table), parts.join(QStringLiteral(", ")))))
        return fail(StrF(ProjectStrings::CopyTableFailed, {table, errorOf(create)}));
    return true;
}

bool ProjectServerCopy::createIndexes(const QString &source, const QString &target, const QString &table)
{
    QSqlDatabase from = QSqlDatabase::database(source, false);
    QSqlQuery list(from);
    list.exec(QStringLiteral("PRAGMA index_list(%1)").arg(sqliteName(table)));
    while (list.next()) {
        // Indexes made for a key or a unique constraint come with the table.
        if (list.value(3).toString() != QLatin1String("c"))
            continue;
        const QString index = list.value(1).toString();
        const bool unique = list.value(2).toInt() != 0;
        QSqlQuery info(from);
        info.exec(QStringLiteral("PRAGMA index_info(%1)").arg(sqliteName(index)));
        QStringList columns;
        while (info.next())
            columns << quotedName(info.value(2).toString());
        QSqlQuery create(QSqlDatabase::database(target, false));
        const QString text = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                                 .arg(unique ? QStringLiteral("UNIQUE ") : QString(), quotedName(index),
                                      quotedName(table), columns.join(QStringLiteral(", ")));
        if (!create.exec(text))
            return fail(StrF(ProjectStrings::CopyTableFailed, {table, errorOf(create)}));
    }
    return true;
}

// Rows go to the server many to a statement, each value written by the
// server's driver: one round trip per row would make a large project take
// minutes.
bool ProjectServerCopy::copyRows(const QString &source, const QString &target, const QString &table)
{
    QSqlQuery rows(QSqlDatabase::database(source, false));
    rows.setForwardOnly(true);
    if (!rows.exec(QStringLiteral("SELECT * FROM %1").arg(sqliteName(table))))
        return fail(StrF(ProjectStrings::CopyTableFailed, {table, errorOf(rows)}));
    const QSqlRecord record = rows.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << quotedName(record.fieldName(i));
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                             .arg(quotedName(table), names.join(QStringLiteral(", ")));
    QSqlDatabase db = QSqlDatabase::database(target, false);
    const QSqlDriver *driver = db.driver();
    QStringList pending;
    int count = 0;
    const auto flush = [&]() {
        if (pending.isEmpty())
            return true;
        QSqlQuery insert(db);
        if (!insert.exec(head + pending.join(QStringLiteral(", "))))
            return fail(StrF(ProjectStrings::CopyTableFailed, {table, errorOf(insert)}));
        pending.clear();
        return true;
    };
    while (rows.next()) {
        QStringList values;
        for (int i = 0; i < record.count(); ++i) {
            const QVariant value = rows.value(i);
            QSqlField field(QString(), value.metaType());
            field.setValue(value);
            values << driver->formatValue(field);
        }
        pending << u'(' + values.join(QStringLiteral(", ")) + u')';
        if (++count % kRowsPerStatement == 0 && !flush())
            return false;
    }
    if (!flush())
        return false;
    m_rows += count;
    if (m_progress)
        m_progress(table, count);
    return true;
}

bool ProjectServerCopy::createDual(const QString &target)
{
    QSqlQuery create(QSqlDatabase::database(target, false));
    if (!create.exec(QStringLiteral("CREATE VIEW dual AS SELECT 1 AS dummy")))
        return fail(StrF(ProjectStrings::CopyTableFailed, {QStringLiteral("DUAL"), errorOf(create)}));
    return true;
}
