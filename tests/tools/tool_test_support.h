#pragma once

#include "support/test_support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

// Running the command-line tools of the build on real project files, and
// reading those files behind the tools' backs.
namespace ToolTest {

inline TestSupport::ToolRun Ctl(const QStringList &args, int timeoutMs = 60000)
{
    return TestSupport::runTool(QStringLiteral("zelnorctl"), args, timeoutMs);
}

inline TestSupport::ToolRun Projects(const QStringList &args)
{
    return TestSupport::runTool(QStringLiteral("zelnor-project"), args);
}

// A new project in the folder; the test fails later when it cannot be made.
inline QString NewProject(const QTemporaryDir &dir, const QString &name = QStringLiteral("plant.prj"))
{
    const QString project = dir.filePath(name);
    const TestSupport::ToolRun run = Ctl({QStringLiteral("new"), project});
    if (run.exitCode != 0)
        qWarning("new failed: %s", qPrintable(run.err));
    return project;
}

// Every row of the first column a statement gives.
inline QVariantList Column(const QString &project, const QString &statement)
{
    QVariantList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(project);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(statement))
                while (query.next())
                    values << query.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return values;
}

inline QVariant Scalar(const QString &project, const QString &statement)
{
    return Column(project, statement).value(0);
}

inline void Exec(const QString &project, const QString &statement)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("change"));
        db.setDatabaseName(project);
        if (!db.open() || !QSqlQuery(db).exec(statement))
            qWarning("statement failed: %s", qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("change"));
}

inline QByteArray Checksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("missing");
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

// What a sound project never holds: modules without their signals, signals
// that belong to no module, folders and modules whose parent is gone.
inline QStringList Inconsistencies(const QString &project)
{
    QStringList found;
    if (Scalar(project, QStringLiteral("PRAGMA integrity_check")).toString() != QLatin1String("ok"))
        found << QStringLiteral("integrity check failed");
    QStringList parts;
    for (const char *family : {"7230", "7210", "7220"})
        for (int depth = 1; depth <= 4; ++depth)
            parts << QStringLiteral("SELECT ID, Name, Ch1SignalID, Ch2SignalID FROM Modules%1_%2").arg(family).arg(depth);
    const QString modules = parts.join(QStringLiteral(" UNION ALL "));
    for (const QVariant &name : Column(project, QStringLiteral("SELECT m.Name FROM (%1) m WHERE m.Ch1SignalID NOT IN "
                                                               "(SELECT ID FROM Signals)")
                                                    .arg(modules)))
        found << QStringLiteral("module without its signal: ") + name.toString();
    for (const QVariant &name :
         Column(project, QStringLiteral("SELECT Name FROM Signals WHERE ParentID <> 0 AND ID NOT IN "
                                        "(SELECT Ch1SignalID FROM (%1) UNION SELECT Ch2SignalID FROM (%1))")
                             .arg(modules)))
        found << QStringLiteral("signal without its module: ") + name.toString();
    for (const QVariant &name :
         Column(project, QStringLiteral("SELECT Name FROM Racks WHERE ParentID NOT IN (SELECT ID FROM Equipments)")))
        found << QStringLiteral("cabinet without its plant: ") + name.toString();
    for (const QVariant &name : Column(project, QStringLiteral("SELECT Name FROM Modules7230_2 WHERE ParentID NOT IN "
                                                               "(SELECT ID FROM Equipments)")))
        found << QStringLiteral("module without its plant: ") + name.toString();
    for (const QVariant &name : Column(project, QStringLiteral("SELECT Name FROM (%1) WHERE Name = ''").arg(modules)))
        found << QStringLiteral("module without a name") + name.toString();
    return found;
}

} // namespace ToolTest
