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

QString AppPaths::referenceDatabasePath()
{
    const QFileInfo info(programFile());
    QString base = info.fileName();
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot > 0)
        base.truncate(dot);
    return info.absoluteDir().filePath(base + QStringLiteral(".vor"));
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
    const QString besideProgram = QDir(programDirectory()).filePath(name);
    if (canWriteInto(besideProgram))
        return besideProgram;
    const QString dataRoot = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (dataRoot.isEmpty())
        return {};
    const QString fallback = QDir(dataRoot).filePath(name);
    return canWriteInto(fallback) ? fallback : QString();
}
