#include "base/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &programFileOverride()
{
    static QString path;
    return path;
}
} // namespace

QString AppPaths::programFile()
{
    if (!programFileOverride().isEmpty())
        return programFileOverride();
    return QCoreApplication::applicationFilePath();
}

void AppPaths::setProgramFile(const QString &path)
{
    programFileOverride() = path;
}

QString AppPaths::programDirectory()
{
    return QFileInfo(programFile()).absolutePath();
}

#ifndef ZW_SHARE_FROM_BIN
#define ZW_SHARE_FROM_BIN "../share/zelnor-wizard"
#endif

QString AppPaths::shareDirectory()
{
    const QDir program(programDirectory());
    const QString installed = QDir::cleanPath(program.filePath(QStringLiteral(ZW_SHARE_FROM_BIN)));
    return QFileInfo(installed).isDir() ? installed : program.absolutePath();
}

bool AppPaths::isInstalled()
{
    return shareDirectory() != QDir(programDirectory()).absolutePath();
}

QString AppPaths::sharedFile(const QString &name)
{
    return QDir(shareDirectory()).filePath(name);
}

QString AppPaths::referenceDatabasePath()
{
    QString base = QFileInfo(programFile()).fileName();
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot > 0)
        base.truncate(dot);
    return sharedFile(base + QStringLiteral(".vor"));
}

static bool canWriteInto(const QString &dir)
{
    QDir d(dir);
    if (!d.exists() && !QDir().mkpath(dir))
        return false;
    const QString probe = d.filePath(QStringLiteral(".write-probe"));
    QFile f(probe);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.close();
    f.remove();
    return true;
}

QString AppPaths::writableSubdirectory(const QString &name)
{
    // An installed program's folder belongs to the system: even where it
    // could be written (by root) nothing of a run goes there.
    const QString besideProgram = QDir(programDirectory()).filePath(name);
    if (!isInstalled() && canWriteInto(besideProgram))
        return besideProgram;
    const QString dataRoot = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (dataRoot.isEmpty())
        return {};
    const QString fallback = QDir(dataRoot).filePath(name);
    return canWriteInto(fallback) ? fallback : QString();
}
