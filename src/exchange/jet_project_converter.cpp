#include "exchange/jet_project_converter.h"

#include "exchange/exchange_strings.h"
#include "exchange/jet_file.h"
#include "exchange/jet_value_rules.h"
#include "base/app_paths.h"
#include "base/string_table.h"
#include "db/db_session.h"
#include "db/output_file.h"
#include "db/project_file_copy.h"
#include "db/project_strings.h"
#include "db/version_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cstdio>

namespace {

// Tables of the program's own that the older tool never had: they come with
// the reference database and its upgrade steps, not from the old file.
const QStringList &ProgramOnlyTables()
{
    static const QStringList tables{QStringLiteral("Versions"), QStringLiteral("CommissioningRecords"),
                                    QStringLiteral("CommissioningQueue")};
    return tables;
}

const QString kOldVersionTable = QStringLiteral("SystemData");

struct TargetTable {
    QString name;
    std::vector<TargetColumn> columns;
    // The column that names a row in a message: the key, else the first.
    int keyColumn = 0;
};

std::vector<TargetTable> TargetTables(DbSession &session)
{
    std::vector<TargetTable> tables;
    QSqlQuery names = session.NewQuery();
    names.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                              "ORDER BY rowid"));
    QStringList tableNames;
    while (names.next())
        tableNames.append(names.value(0).toString());
    for (const QString &name : tableNames) {
        if (ProgramOnlyTables().contains(name))
            continue;
        TargetTable table{name, {}, 0};
        QSqlQuery info = session.NewQuery();
        info.exec(QStringLiteral("PRAGMA table_info([%1])").arg(name));
        while (info.next()) {
            if (info.value(5).toInt() == 1)
                table.keyColumn = int(table.columns.size());
            table.columns.push_back(TargetColumn::FromDeclaration(info.value(1).toString(), info.value(2).toString(),
                                                                  info.value(3).toInt() != 0));
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

// The old file's spelling of each of the table's columns, or the refusal
// naming the first one missing.
bool OldColumnNames(const Jet::File &old, const QString &oldTable, const TargetTable &table, QStringList *names,
                    QString *error)
{
    const std::vector<Jet::Column> columns = old.Columns(oldTable);
    for (const TargetColumn &wanted : table.columns) {
        const auto found = std::find_if(columns.begin(), columns.end(), [&](const Jet::Column &c) {
            return c.name.compare(wanted.name, Qt::CaseInsensitive) == 0;
        });
        if (found == columns.end()) {
            *error = StrF(ExchangeStrings::ColumnNotFound, {wanted.name, table.name});
            return false;
        }
        names->append(found->name);
    }
    return true;
}

QString InsertStatement(const TargetTable &table)
{
    QStringList columns;
    QStringList marks;
    for (const TargetColumn &column : table.columns) {
        columns.append(QLatin1Char('[') + column.name + QLatin1Char(']'));
        marks.append(QStringLiteral("?"));
    }
    return QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)").arg(table.name, columns.join(QLatin1String(", ")),
                                                                  marks.join(QLatin1String(", ")));
}

// Replaces the table's rows in the new project by the old file's.
bool CarryTable(const Jet::File &old, DbSession &session, const TargetTable &table, int *rows, QString *error)
{
    const std::optional<QString> oldTable = old.FindTable(table.name);
    if (!oldTable) {
        *error = StrF(ExchangeStrings::TableNotFound, {table.name});
        return false;
    }
    QStringList oldColumns;
    if (!OldColumnNames(old, *oldTable, table, &oldColumns, error))
        return false;
    QSqlQuery clear = session.NewQuery();
    if (!clear.exec(QStringLiteral("DELETE FROM [%1]").arg(table.name))) {
        *error = StrF(ExchangeStrings::CantWriteProject, {clear.lastError().text()});
        return false;
    }
    QSqlQuery insert = session.NewQuery();
    insert.prepare(InsertStatement(table));
    *rows = 0;
    QString refusal;
    const bool read = old.ReadRows(*oldTable, oldColumns, [&](const QVariantList &values) {
        const ValuePlace place{table.name, values.value(table.keyColumn).toString(), QString()};
        for (int c = 0; c < values.size(); ++c) {
            ValuePlace at = place;
            at.column = table.columns[size_t(c)].name;
            const CarriedValue carried = CarryValue(values[c], table.columns[size_t(c)], at);
            if (carried.refusal) {
                refusal = *carried.refusal;
                return false;
            }
            insert.bindValue(c, carried.value);
        }
        if (!insert.exec()) {
            refusal = StrF(ExchangeStrings::RowRefused, {table.name, place.rowId, insert.lastError().text()});
            return false;
        }
        ++*rows;
        return true;
    }, error);
    if (!refusal.isEmpty())
        *error = refusal;
    return read && refusal.isEmpty();
}

// The version text of the old file's version record; the refusal when the
// file has none or the program is older than the file.
std::optional<QString> OldVersion(const Jet::File &old, const QString &programVersion, QString *error)
{
    const std::optional<QString> table = old.FindTable(kOldVersionTable);
    if (!table) {
        *error = StrF(ExchangeStrings::TableNotFound, {kOldVersionTable});
        return std::nullopt;
    }
    QStringList columns;
    for (const Jet::Column &column : old.Columns(*table)) {
        if (column.name.compare(QLatin1String("Version"), Qt::CaseInsensitive) == 0)
            columns.append(column.name);
    }
    if (columns.isEmpty()) {
        *error = StrF(ExchangeStrings::ColumnNotFound, {QStringLiteral("Version"), kOldVersionTable});
        return std::nullopt;
    }
    QString version = QString::fromLatin1(CVersionCheck::kDefaultVersion);
    if (!old.ReadRows(*table, columns, [&](const QVariantList &values) {
            version = values.value(0).toString().trimmed();
            return false;
        }, error))
        return std::nullopt;
    if (CVersionCheck::MajorNumber(programVersion) < CVersionCheck::MajorNumber(version)) {
        *error = Str(ProjectStrings::IncorrectVersion);
        return std::nullopt;
    }
    if (CVersionCheck::VersionNumber(programVersion) < CVersionCheck::VersionNumber(version)) {
        *error = Str(ProjectStrings::DatabaseNewerThanProgram).trimmed();
        return std::nullopt;
    }
    return version;
}

QString VersionOf(DbSession &session)
{
    QSqlQuery query = session.NewQuery();
    return query.exec(QStringLiteral("SELECT Version FROM SystemData")) && query.next()
               ? query.value(0).toString().trimmed()
               : QString();
}

// The program's own tables as a project of the carried version had them
// (they come from the reference database, which is of the program's
// version), so that the upgrade steps find what they expect.
bool AsOfVersion(DbSession &session, const QString &version, QString *error)
{
    const quint32 number = CVersionCheck::VersionNumber(version);
    QStringList statements;
    if (number < CVersionCheck::VersionNumber(QStringLiteral("1.00.03")))
        statements << QStringLiteral("DROP TABLE CommissioningRecords") << QStringLiteral("DROP TABLE CommissioningQueue");
    else if (number < CVersionCheck::VersionNumber(QStringLiteral("1.00.04")))
        statements << QStringLiteral("ALTER TABLE CommissioningRecords DROP COLUMN Port");
    for (const QString &statement : statements) {
        QSqlQuery query = session.NewQuery();
        if (!query.exec(statement)) {
            *error = StrF(ExchangeStrings::CantWriteProject, {query.lastError().text()});
            return false;
        }
    }
    return true;
}

// Every table into the new project in one transaction, or none.
bool CarryAll(const Jet::File &old, const QString &partial, JetProjectConverter::Report *report, QString *error)
{
    std::vector<ProviderErrorRecord> records;
    std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(partial), &records);
    if (!session) {
        *error = StrF(ExchangeStrings::CantWriteProject, {records.empty() ? QString() : records.front().description});
        return false;
    }
    const QString programVersion = VersionOf(*session);
    const std::optional<QString> version = OldVersion(old, programVersion, error);
    if (!version)
        return false;
    report->fromVersion = *version;
    if (!session->BeginTransaction()) {
        *error = StrF(ExchangeStrings::CantWriteProject, {session->database().lastError().text()});
        return false;
    }
    for (const TargetTable &table : TargetTables(*session)) {
        int rows = 0;
        if (!CarryTable(old, *session, table, &rows, error)) {
            session->Rollback();
            return false;
        }
        report->tables.emplace_back(table.name, rows);
    }
    if (!AsOfVersion(*session, *version, error)) {
        session->Rollback();
        return false;
    }
    if (!session->Commit()) {
        *error = StrF(ExchangeStrings::CantWriteProject, {session->database().lastError().text()});
        return false;
    }
    return true;
}

// The program's own upgrade steps bring the carried version up to its own.
bool Upgrade(const QString &partial, JetProjectConverter::Report *report, QString *error)
{
    {
        CVersionCheck check(DataSource::sqliteFile(partial));
        if (!check.Run()) {
            *error = StrF(ExchangeStrings::CantWriteProject, {Str(ProjectStrings::IncorrectVersion)});
            return false;
        }
    }
    std::vector<ProviderErrorRecord> records;
    std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(partial, true), &records);
    report->toVersion = session ? VersionOf(*session) : QString();
    return true;
}

bool MoveIntoPlace(const QString &partial, const QString &target, QString *error)
{
    const QFileDevice::Permissions permissions =
        OutputFile::PermissionsFor({target, OutputFile::Content::Project})
            .value_or(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = StrF(ExchangeStrings::CantWriteProject, {QString::fromLocal8Bit(std::strerror(errno))});
        return false;
    }
    QFile::setPermissions(target, permissions);
    return true;
}

} // namespace

int JetProjectConverter::Report::totalRows() const
{
    int total = 0;
    for (const auto &table : tables)
        total += table.second;
    return total;
}

QStringList JetProjectConverter::ReportLines(const Report &report, const QString &oldPath, const QString &newPath)
{
    QStringList lines;
    for (const auto &[table, rows] : report.tables)
        lines.append(rows == 1 ? StrF(ExchangeStrings::TableCarriedOneRow, {table})
                               : StrF(ExchangeStrings::TableCarried, {table, rows}));
    if (report.fromVersion != report.toVersion)
        lines.append(StrF(ExchangeStrings::Upgraded, {report.fromVersion, report.toVersion}));
    lines.append(StrF(ExchangeStrings::Carried, {oldPath, report.fromVersion, newPath, report.toVersion,
                                                 report.totalRows(), int(report.tables.size())}));
    return lines;
}

QString JetProjectConverter::ProposedTarget(const QString &oldPath)
{
    const QFileInfo info(oldPath);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("-converted.prj"));
}

bool JetProjectConverter::Convert(const QString &oldPath, const QString &newPath, bool replaceAllowed, Report *report,
                                  QString *error)
{
    *report = Report();
    // What can never be a target (a pipe, a folder, a device) is named as
    // such before an existing file is asked about.
    if (const std::optional<QString> refusal =
            OutputFile::Refusal({newPath, OutputFile::Content::Project, true, oldPath})) {
        *error = *refusal;
        return false;
    }
    if (QFileInfo::exists(newPath) && !replaceAllowed) {
        *error = StrF(ExchangeStrings::TargetExists, {newPath});
        return false;
    }
    const std::unique_ptr<Jet::File> old = Jet::File::Open(oldPath, error);
    if (!old)
        return false;
    // Written beside the target and renamed over it only when whole.
    const QFileInfo target(newPath);
    QTemporaryFile partial(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.fileName())));
    if (!partial.open()) {
        *error = StrF(ExchangeStrings::CantWriteProject, {partial.errorString()});
        return false;
    }
    partial.close();
    QString copyError;
    if (!ProjectFileCopy::Copy(AppPaths::referenceDatabasePath(), partial.fileName(), &copyError)) {
        *error = StrF(ExchangeStrings::CantWriteProject, {copyError});
        return false;
    }
    if (!CarryAll(*old, partial.fileName(), report, error) || !Upgrade(partial.fileName(), report, error) ||
        !MoveIntoPlace(partial.fileName(), newPath, error)) {
        *report = Report();
        return false;
    }
    partial.setAutoRemove(false);
    return true;
}
