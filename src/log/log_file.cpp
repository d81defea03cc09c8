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
    // Two runs in the same second must not share a file: the second takes
    // the next free name, and an existing log is never emptied.
    const QString first = fileNameFor(creationTime);
    for (int number = 1; number <= kMaxSameSecondRuns; ++number) {
        const QString name = number == 1 ? first : NumberedName(first, number);
        const QString path = QDir(directory).filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_path = path;
            m_startedEmpty = true;
            return true;
        }
        if (!file.exists())
            return false; // the folder refuses new files
    }
    return false;
}

QString LogFile::dailyFileNameFor(const QDate &day, const QString &toolName)
{
    return day.toString(QStringLiteral("yyyy_MM_dd_")) + toolName + QStringLiteral("_Log.txt");
}

bool LogFile::openDaily(const QString &directory, const QDate &day, const QString &toolName)
{
    m_path.clear();
    if (directory.isEmpty() || !QDir().mkpath(directory))
        return false;
    const QString path = QDir(directory).filePath(dailyFileNameFor(day, toolName));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    m_path = path;
    m_startedEmpty = file.size() == 0;
    return true;
}

QString LogFile::NumberedName(const QString &name, int number)
{
    const QString suffix = QStringLiteral(".txt");
    return name.left(name.size() - suffix.size()) + QStringLiteral("_%1").arg(number) + suffix;
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
