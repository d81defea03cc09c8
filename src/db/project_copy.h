#pragma once

#include "db/connection_properties.h"

#include <QString>
#include <QStringList>

#include <functional>

// Puts a project file onto a PostgreSQL server: creates the project's tables
// (with their keys, defaults and indexes, and the DUAL view) in an empty
// database and copies every row, all in one transaction, and only then
// writes the data link file that opens it. A failure at any step leaves the
// server database as empty as it was and writes no data link file.
//
// Names are created in lower case: PostgreSQL folds the unquoted names of
// the program's statements to lower case, and the bracketed ones are passed
// on in lower case as well.
class ProjectServerCopy {
public:
    using Progress = std::function<void(const QString &table, int rows)>;

    // server: Provider=PostgreSQL with Data Source, Initial Catalog, User ID
    // and Password. dataLinkFile empty: none is written.
    bool run(const QString &projectFile, const ConnectionProperties &server, const QString &dataLinkFile);

    const QString &errorText() const { return m_error; }
    const QStringList &tables() const { return m_tables; }
    int rowCount() const { return m_rows; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // An existing file other than a data link file is replaced by the data
    // link file (never a project).
    void setReplaceDataLink(bool replace) { m_replaceDataLink = replace; }

    // The PostgreSQL type of a column declared with the given SQLite type.
    static QString serverType(const QString &sqliteType);

private:
    struct Column {
        QString name;
        QString type;
        bool notNull = false;
        QString defaultValue;
        int keyPosition = 0;
    };

    bool copyAll(const QString &source, const QString &target);
    bool ensureEmpty(const QString &target);
    bool createTable(const QString &source, const QString &target, const QString &table);
    bool createIndexes(const QString &source, const QString &target, const QString &table);
    bool copyRows(const QString &source, const QString &target, const QString &table);
    bool createDual(const QString &target);
    QList<Column> readColumns(const QString &source, const QString &table);
    bool fail(const QString &text);

    QString m_error;
    QStringList m_tables;
    int m_rows = 0;
    Progress m_progress;
    bool m_replaceDataLink = false;
};
