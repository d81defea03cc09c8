// Prints how long it takes to put a project of many rows onto a PostgreSQL
// server, to open it there, and to draw identifiers from a project file and
// from the server.
#include "db/data_error.h"
#include "db/pg_server.h"
#include "db/project_copy.h"
#include "db/project_database.h"
#include "base/app_paths.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kSignals = 10000;
constexpr int kIds = 1000;

bool FillProject(const QString &path)
{
    auto session = DbSession::open(DataSource::sqliteFile(path), nullptr);
    if (!session || !session->BeginTransaction())
        return false;
    QSqlQuery insert(session->database());
    insert.prepare("INSERT INTO Signals (ID, ParentID, Name, WorkingModeID, RangeBegin, RangeEnd) "
                   "VALUES (?, 1, ?, 1, 0, 100000)");
    for (int i = 0; i < kSignals; ++i) {
        insert.addBindValue(100 + i);
        insert.addBindValue(QStringLiteral("Signal %1").arg(i));
        if (!insert.exec())
            return false;
    }
    return session->Commit();
}

double MillisecondsPerId(ProjectDatabase &database)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kIds; ++i)
        database.IdSequence()->NextId(QStringLiteral("Racks"));
    return double(timer.nsecsElapsed()) / 1e6 / kIds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AppPaths::setProgramFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnor-wizard")));
    StringTable::instance().loadBuiltin();
    MessageService::setPresenter([](const MessageRequest &r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.text));
        return MessageAnswer::No;
    });

    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("bench.prj"));
    if (!QFile::copy(AppPaths::referenceDatabasePath(), project) || !FillProject(project)) {
        std::fprintf(stderr, "cannot make the project\n");
        return 1;
    }
    PgTestServer server;
    QString error;
    if (!server.start(&error) || !server.createDatabase(QStringLiteral("bench"), &error)) {
        std::fprintf(stderr, "The PostgreSQL server cannot be started: %s\n", qPrintable(error));
        return 1;
    }
    ConnectionProperties target;
    target.setValue(ConnectionProperties::kProvider, QStringLiteral("PostgreSQL"));
    target.setValue(ConnectionProperties::kDataSource, server.dataSource());
    target.setValue(ConnectionProperties::kInitialCatalog, QStringLiteral("bench"));
    target.setValue(ConnectionProperties::kUserId, server.user());
    target.setValue(ConnectionProperties::kPassword, server.password());
    const QString link = dir.filePath(QStringLiteral("bench.udl"));

    QElapsedTimer timer;
    timer.start();
    ProjectServerCopy copy;
    if (!copy.run(project, target, link)) {
        std::fprintf(stderr, "%s\n", qPrintable(copy.errorText()));
        return 1;
    }
    const qint64 copyMs = timer.elapsed();
    std::printf("copy to server: %d tables, %d rows in %lld ms (%.0f rows/s)\n", int(copy.tables().size()),
                copy.rowCount(), copyMs, copy.rowCount() * 1000.0 / double(qMax<qint64>(copyMs, 1)));

    try {
        ProjectDatabase file;
        timer.restart();
        file.OpenFile(project, QStringLiteral("Admin"), QString());
        std::printf("open project file (checks): %lld ms\n", timer.elapsed());
        std::printf("NextId on the project file: %.3f ms per identifier\n", MillisecondsPerId(file));
        ProjectDatabase shared;
        timer.restart();
        shared.OpenFile(link, QStringLiteral("Admin"), QString());
        std::printf("open through the data link file (checks): %lld ms\n", timer.elapsed());
        std::printf("NextId on the server: %.3f ms per identifier\n", MillisecondsPerId(shared));
    } catch (const COLEDBException &e) {
        std::fprintf(stderr, "%s\n", qPrintable(MessageText(e)));
        return 1;
    }
    return 0;
}
