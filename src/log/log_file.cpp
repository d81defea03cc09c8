#include "log/log_file.h"

#include <QDir>
#include <QFile>

QString LogFile::fileNameFor(const QDateTime &creationTime)
{
    return creationTime.toString(QStringLiteral("yyyy_MM_dd_HH_mm_ss")) + QStringLiteral("_Log.txt");
}

QByteArray LogFile::toFileText(const QString &text)
{
    QString stored = text;
    // A text that already carries CR LF must not end up with CR CR LF.
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    stored.replace(u'\n', QStringLiteral("\r\n"));
    return stored.toUtf8();
}

bool LogFile::create(const QString &directory, const QDateTime &creationTime)
{
    m_path.clear();
    if (directory.isEmpty() || !QDir().mkpath(directory))
        return false;
    const QString path = QDir(directory).filePath(fileNameFor(creationTime));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.close();
    m_path = path;
    return true;
}

bool LogFile::append(const QString &text) const
{
    if (!isUsable())
        return false;
    QFile file(m_path);
    // The file must have been made at the start of the run: a file that
    // vanished meanwhile is not silently started again half-way.
    if (!file.exists() || !file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = toFileText(text);
    return file.write(bytes) == bytes.size();
}
