#pragma once

#include "base/app_paths.h"
#include "shell/project_session.h"
#include "support/test_support.h"
#include "tree/item_path.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// A new project (a copy of the reference database) opened through the
// document commands, as the program opens one.
class ShellTestProject {
public:
    ShellTestProject()
    {
        TestSupport::loadEnglish();
        path = dir.filePath(QStringLiteral("plant.prj"));
        QFile::copy(AppPaths::referenceDatabasePath(), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    bool open() { return session.Commands().OnOpenDocument(path); }
    // Makes the project item the current one.
    bool selectProject()
    {
        Item *item = FindItemByPath(session.Document(), QStringLiteral("\\\\Project"));
        return item && session.Document().Select(item->handle());
    }
    ItemHandle projectHandle() { return FindItemByPath(session.Document(), QStringLiteral("\\\\Project"))->handle(); }
    // The modules of the family 7230 in plants and at the top, as the project file holds them.
    int modules7230()
    {
        QSqlQuery query(session.Database().Session()->database());
        return query.exec(QStringLiteral(
                   "SELECT (SELECT COUNT(*) FROM Modules7230_2) + (SELECT COUNT(*) FROM Modules7230_1)")) &&
                       query.next()
                   ? query.value(0).toInt()
                   : -1;
    }

    QTemporaryDir dir;
    QString path;
    ProjectSession session;
};
