#pragma once

#include "db/db_session.h"
#include "base/app_paths.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A fresh copy of the built reference database, opened as a project.
class ProjectCopy {
public:
    ProjectCopy()
    {
        TestSupport::useBuiltProgramPaths();
        m_path = m_dir.filePath(QStringLiteral("project.prj"));
        if (!QFile::copy(AppPaths::referenceDatabasePath(), m_path))
            qFatal("cannot copy the reference database %s", qPrintable(AppPaths::referenceDatabasePath()));
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        std::vector<ProviderErrorRecord> error;
        m_session = DbSession::open(DataSource::sqliteFile(m_path), &error);
        if (!m_session)
            qFatal("cannot open the project copy");
    }
    DbSession &session() { return *m_session; }
    const QString &path() const { return m_path; }
    // Runs a statement outside the code under test (for setting up rows).
    void exec(const QString &statement)
    {
        QSqlQuery query(m_session->database());
        if (!query.exec(statement))
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    }
    QVariant scalar(const QString &statement)
    {
        QSqlQuery query(m_session->database());
        if (!query.exec(statement) || !query.next())
            return QVariant();
        return query.value(0);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<DbSession> m_session;
};
