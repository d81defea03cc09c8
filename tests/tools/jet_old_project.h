#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <functional>

// A project of the older tool, made honestly: a project built with the
// program, every row of it written into a Jet 4 file by the test writer,
// whose files mdbtools' own programs read back (the jet4_writer test).
// Needs ZW_JET4_WRITER and ZW_SCHEMA_SQL defined as the paths of the writer
// and of the tables' SQL text.
namespace JetOldProject {

// What the writer is told: the tables of the SQL text and the rows by
// column name (see jet4_writer.py).
using JetContent = QJsonObject;

// Runs the statement on the project and hands each result row to row().
inline void ForEachRow(const QString &project, const QString &statement, const std::function<void(QSqlQuery &)> &row)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("jet-dump"));
        db.setDatabaseName(project);
        QSqlQuery query(db);
        if (db.open() && query.exec(statement))
            while (query.next())
                row(query);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("jet-dump"));
}

// The tables the older tool had: not those the program added since.
inline QStringList TablesOf(const QString &project)
{
    QStringList tables;
    ForEachRow(project,
               QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT IN "
                              "('Versions', 'CommissioningRecords', 'CommissioningQueue')"),
               [&](QSqlQuery &query) { tables << query.value(0).toString(); });
    return tables;
}

inline QJsonArray RowsOf(const QString &project, const QString &table)
{
    QJsonArray rows;
    ForEachRow(project, QStringLiteral("SELECT * FROM [%1]").arg(table), [&](QSqlQuery &query) {
        QJsonObject row;
        const QSqlRecord record = query.record();
        for (int c = 0; c < record.count(); ++c)
            row[record.fieldName(c)] = QJsonValue::fromVariant(query.value(c));
        rows.append(row);
    });
    return rows;
}

inline JetContent JetContentOf(const QString &project)
{
    QJsonObject rows;
    for (const QString &table : TablesOf(project))
        rows[table] = RowsOf(project, table);
    return {{QStringLiteral("schema"), QStringLiteral(ZW_SCHEMA_SQL)},
            {QStringLiteral("omit"), QJsonArray{"Versions", "CommissioningRecords", "CommissioningQueue"}},
            {QStringLiteral("rows"), rows}};
}

// False after saying on standard error what the writer said.
inline bool WriteJet(const JetContent &content, const QString &path)
{
    const QString contentPath = path + QStringLiteral(".json");
    QFile file(contentPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(content).toJson()) <= 0)
        return false;
    file.close();
    QProcess writer;
    writer.start(QStringLiteral("python3"), {QStringLiteral(ZW_JET4_WRITER), contentPath, path});
    const bool ok = writer.waitForFinished(300000) && writer.exitCode() == 0;
    if (!ok)
        qWarning("writer: %s", writer.readAllStandardError().constData());
    QFile::remove(contentPath);
    return ok;
}

} // namespace JetOldProject
