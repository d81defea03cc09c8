#include "db/project_repair.h"

#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/output_file.h"
#include "db/project_file_copy.h"
#include "db/project_strings.h"
#include "db/table_level.h"
#include "base/string_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace ProjectRepair {
namespace {

std::optional<qint32> WholeNumber(const QString &text)
{
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(number);
}

// Sets the values inside one transaction of the copy: all or none.
QString SetValues(const QString &copy, const std::vector<CellValue> &values)
{
    std::vector<ProviderErrorRecord> records;
    const std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(copy, false), &records);
    if (!session)
        return records.empty() ? QString() : records.front().description;
    if (!session->BeginTransaction())
        return session->database().lastError().text();
    for (const CellValue &value : values) {
        QSqlQuery update = session->NewQuery();
        update.prepare(QStringLiteral("UPDATE main.[%1] SET [%2] = ? WHERE [ID] = ?").arg(value.table, value.column));
        update.addBindValue(*WholeNumber(value.value));
        update.addBindValue(value.row.toLongLong());
        if (!update.exec() || update.numRowsAffected() != 1) {
            const QString why = update.lastError().text();
            session->Rollback();
            return why;
        }
    }
    return session->Commit() ? QString() : session->database().lastError().text();
}

std::vector<DamagedCell> DamagedCellsOf(const QString &copy)
{
    std::vector<ProviderErrorRecord> records;
    const std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(copy, true), &records);
    CLevelList levels;
    return session ? NumberCells::Find(*session, levels) : std::vector<DamagedCell>();
}

} // namespace

QString DefaultCopyName(const QString &project)
{
    const QFileInfo info(project);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("-repaired.prj"));
}

std::optional<QString> Refusal(const std::vector<DamagedCell> &damaged, CellValue &value)
{
    const auto cell = std::find_if(damaged.begin(), damaged.end(), [&value](const DamagedCell &candidate) {
        return candidate.row == value.row.trimmed() && candidate.table.compare(value.table, Qt::CaseInsensitive) == 0 &&
               candidate.column.compare(value.column, Qt::CaseInsensitive) == 0;
    });
    if (cell == damaged.end())
        return StrF(DbStrings::RepairNotDamaged, {value.column, value.row, value.table});
    if (!WholeNumber(value.value))
        return StrF(DbStrings::RepairNotAWholeNumber, {value.value});
    value.table = cell->table;
    value.row = cell->row;
    value.column = cell->column;
    return std::nullopt;
}

std::optional<QString> TargetRefusal(const QString &target, const QString &project)
{
    if (QFileInfo(target).suffix().compare(QLatin1String("prj"), Qt::CaseInsensitive) != 0)
        return StrF(DbStrings::RepairCopyNotPrj, {target});
    if (OutputFile::IsSameFile(target, project))
        return StrF(ProjectStrings::TargetIsOpenProject, {target});
    // A file named as a project is never replaced by a repaired copy.
    if (QFileInfo(target).isFile())
        return StrF(ProjectStrings::TargetIsProject, {target});
    return OutputFile::Refusal({target, OutputFile::Content::Project, false, project});
}

Result WriteCopy(const QString &source, const QString &target, const std::vector<CellValue> &values)
{
    Result result;
    const QFileInfo info(target);
    const QFileDevice::Permissions permissions =
        OutputFile::PermissionsFor({target, OutputFile::Content::Project})
            .value_or(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // The copy is made and set right under a name of its own beside the
    // target, and takes the target's name only when it is complete.
    QTemporaryFile partial(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.repair").arg(info.fileName())));
    if (!partial.open()) {
        result.error = StrF(ProjectStrings::CantWriteFile, {target, partial.errorString()});
        return result;
    }
    partial.close();
    QString why;
    if (!ProjectFileCopy::Copy(source, partial.fileName(), &why) ||
        !(why = SetValues(partial.fileName(), values)).isEmpty()) {
        result.error = StrF(ProjectStrings::CantWriteFile, {target, why});
        return result;
    }
    result.left = DamagedCellsOf(partial.fileName());
    if (std::rename(QFile::encodeName(partial.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        result.error = StrF(ProjectStrings::CantWriteFile, {target, QString::fromLocal8Bit(std::strerror(errno))});
        return result;
    }
    partial.setAutoRemove(false);
    QFile::setPermissions(target, permissions);
    return result;
}

} // namespace ProjectRepair
