#pragma once

#include <QString>
#include <QStringList>

// The commands of zelnorctl; each returns its exit code.
namespace CtlCommands {
int New(const QString &file);
int Tree(const QString &project);
int Add(const QString &project, const QString &parentPath, const QString &kind, const QString &name);
// channel: 0 when not given.
int Set(const QString &project, const QString &modulePath, int channel, const QStringList &assignments);
int Delete(const QString &project, const QString &itemPath);
} // namespace CtlCommands
