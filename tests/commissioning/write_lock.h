#pragma once

#include "commissioning/commissioning_run.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>

// Another program's write lock on the project: a second connection to the
// file holding an immediate transaction.
class WriteLock {
public:
    explicit WriteLock(const QString &file)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(file);
        db.open();
    }
    ~WriteLock()
    {
        release();
        QSqlDatabase::database(kName).close();
        QSqlDatabase::removeDatabase(kName);
    }
    WriteLock(const WriteLock &) = delete;
    WriteLock &operator=(const WriteLock &) = delete;
    bool take() { return QSqlQuery(QSqlDatabase::database(kName)).exec(QStringLiteral("BEGIN IMMEDIATE")); }
    void release() { QSqlQuery(QSqlDatabase::database(kName)).exec(QStringLiteral("COMMIT")); }
    // Taken once the module's download has gone to the link: the run's
    // writes after that meet the lock.
    void takeDuringDownload(CommissioningRun &run)
    {
        QObject::connect(&run, &CommissioningRun::phaseChanged, &run, [this, &run] {
            if (run.phase() == CommissioningRun::Phase::Downloading && !taken)
                QTimer::singleShot(0, &run, [this] { taken = take(); });
        });
    }

    bool taken = false;

private:
    static constexpr const char *kName = "another-program";
};
