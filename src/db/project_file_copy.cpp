#include "db/project_file_copy.h"

#include "db/db_session.h"
#include "db/output_file.h"
#include "db/project_strings.h"
#include "base/string_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ProjectFileCopy {
namespace {

QString FirstError(const std::vector<ProviderErrorRecord> &records)
{
    return records.empty() ? QString() : records.front().description;
}

// The statement's first cell, or nothing with the reason in *error.
bool Run(const QString &database, const QString &statement, bool readOnly, QString *cell, QString *error)
{
    std::vector<ProviderErrorRecord> records;
    const std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(database, readOnly), &records);
    if (!session) {
        *error = FirstError(records);
        return false;
    }
    QSqlQuery query = session->NewQuery();
    if (!query.exec(statement)) {
        *error = query.lastError().text();
        return false;
    }
    if (cell)
        *cell = query.next() ? query.value(0).toString() : QString();
    return true;
}

QString Quoted(const QString &path)
{
    QString text = path;
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// The full check, not the quick one: a row missing from an index shows
// only in the full one.
bool CheckCopy(const QString &copy, QString *error)
{
    QString verdict;
    if (!Run(copy, QStringLiteral("PRAGMA integrity_check"), true, &verdict, error))
        return false;
    if (verdict.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0)
        return true;
    *error = verdict;
    return false;
}

} // namespace

bool Copy(const QString &source, const QString &target, QString *error)
{
    const QFileInfo info(target);
    // An empty file of a unique name beside the target: SQLite writes the
    // copy into it, and renaming it replaces the target in one step.
    QTemporaryFile partial(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(info.fileName())));
    if (!partial.open()) {
        *error = partial.errorString();
        return false;
    }
    partial.close();
    // One statement is one read transaction: the copy is the source as one
    // commit left it, whatever other writers do meanwhile.
    if (!Run(source, QStringLiteral("VACUUM INTO %1").arg(Quoted(partial.fileName())), true, nullptr, error))
        return false;
    QString why;
    if (!CheckCopy(partial.fileName(), &why)) {
        *error = StrF(ProjectStrings::CopyNotSound, {target, why});
        return false;
    }
    // A temporary file is the owner's alone; a project is shared as any file
    // is, or as the one it replaces was.
    const QFileDevice::Permissions permissions =
        OutputFile::PermissionsFor({target, OutputFile::Content::Project})
            .value_or(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(partial.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    partial.setAutoRemove(false);
    QFile::setPermissions(target, permissions);
    return true;
}

} // namespace ProjectFileCopy
