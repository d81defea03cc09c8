#include "project_generator.h"

#include "db/db_session.h"
#include "db/table_level.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>

namespace {
const char kConnection[] = "project_generator";

class Writer {
public:
    explicit Writer(QSqlDatabase &db) : m_db(db) {}

    bool prepare(QSqlQuery &query, const QString &statement)
    {
        query = QSqlQuery(m_db);
        return remember(query.prepare(statement), query);
    }
    bool run(QSqlQuery &query, const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        return remember(query.exec(), query);
    }
    const QString &error() const { return m_error; }

private:
    bool remember(bool ok, const QSqlQuery &query)
    {
        if (!ok)
            m_error = query.lastError().text();
        return ok;
    }
    QSqlDatabase &m_db;
    QString m_error;
};

QString WriteRows(QSqlDatabase &db, const GeneratedShape &shape)
{
    Writer writer(db);
    QSqlQuery plant, cabinet, module, signal, sequence;
    if (!writer.prepare(plant,
                        QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name) VALUES (?, 1, ?)")) ||
        !writer.prepare(cabinet, QStringLiteral("INSERT INTO Racks (ID, ParentID, Name) VALUES (?, ?, ?)")) ||
        !writer.prepare(
            module, QStringLiteral("INSERT INTO Modules7230_3 (ID, ParentID, Name, Sequence, "
                                   "ModulTypID, Ch1SignalID, Ch2SignalID) VALUES (?, ?, ?, ?, 1, ?, ?)")) ||
        !writer.prepare(signal,
                        QStringLiteral("INSERT INTO Signals (ID, ParentID, Name, Sequence, RangeBegin, "
                                       "RangeEnd) VALUES (?, 1, ?, ?, 0, 100000)")) ||
        !writer.prepare(sequence, QStringLiteral("UPDATE IDSequences SET ID = ? WHERE SeqName = ?")))
        return writer.error();
    int cabinetId = 100;
    int moduleId = 100;
    int signalId = 100;
    for (int p = 0; p < shape.plants; ++p) {
        const int plantId = 100 + p;
        if (!writer.run(plant, {plantId, QStringLiteral("Plant %1").arg(p + 1)}))
            return writer.error();
        for (int c = 0; c < shape.cabinetsPerPlant; ++c, ++cabinetId) {
            if (!writer.run(cabinet,
                            {cabinetId, plantId, QStringLiteral("Cabinet %1.%2").arg(p + 1).arg(c + 1)}))
                return writer.error();
            for (int m = 0; m < shape.modulesPerCabinet; ++m, ++moduleId) {
                const QString tag = QStringLiteral("TT%1").arg(moduleId);
                if (!writer.run(signal, {signalId, tag + QStringLiteral("/1"), 1}) ||
                    !writer.run(signal, {signalId + 1, tag + QStringLiteral("/2"), 2}) ||
                    !writer.run(module, {moduleId, cabinetId, tag, m, signalId, signalId + 1}))
                    return writer.error();
                signalId += 2;
            }
        }
    }
    const std::pair<const char *, int> counters[] = {{"Equipments", 100 + shape.plants},
                                                     {"Racks", cabinetId},
                                                     {"Modules7230_3", moduleId},
                                                     {"Signals", signalId}};
    for (const auto &[name, next] : counters) {
        if (!writer.run(sequence, {next, QString::fromLatin1(name)}))
            return writer.error();
    }
    return QString();
}
} // namespace

QString GenerateProject(const QString &path, const GeneratedShape &shape)
{
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kConnection));
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else if (!db.transaction()) {
            error = db.lastError().text();
        } else {
            error = WriteRows(db, shape);
            if (error.isEmpty() ? !db.commit() : !db.rollback())
                error = error.isEmpty() ? db.lastError().text() : error;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(kConnection));
    return error;
}

bool CopyReferenceProject(const QString &path)
{
    const QString reference = QCoreApplication::applicationDirPath() + QStringLiteral("/zelnor-wizard.vor");
    if (!QFile::copy(reference, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(reference));
        return false;
    }
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

std::unique_ptr<DbSession> OpenGeneratedProject(const QString &path, CLevelList &levels)
{
    std::vector<ProviderErrorRecord> error;
    std::unique_ptr<DbSession> session = DbSession::open(DataSource::sqliteFile(path), &error);
    if (!session) {
        std::fprintf(stderr, "cannot open the generated project\n");
        return nullptr;
    }
    for (const auto &level : levels.levels())
        if (level->kind() != LevelKind::Root)
            level->ReadSchemaFacts(*session);
    return session;
}
