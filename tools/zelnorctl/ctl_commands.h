#pragma once

#include <QString>
#include <QStringList>

// The commands of zelnorctl that edit a project; each returns its exit code.
namespace CtlCommands {
int New(const QString &file, bool force);
int Tree(const QString &project, bool json);
int Add(const QString &project, const QString &parentPath, const QString &kind, const QString &name);
// tags: none, one or two signal names; the others are proposed.
int AddModule(const QString &project, const QString &parentPath, const QString &typeId,
              const QStringList &tags);
// channel: 0 when not given.
int Set(const QString &project, const QString &modulePath, int channel, const QStringList &assignments);
int Delete(const QString &project, const QString &itemPath, bool yes);
// The numbers as typed: the multiply dialog's checks apply to them.
struct MultiplyOptions {
    QString count;
    QString first = QStringLiteral("1");
    QString places = QStringLiteral("3");
    bool subtree = true;
};
// Numbered copies of an item (with its subtree unless told otherwise) beside
// it, and the summary on standard output.
int Multiply(const QString &project, const QString &itemPath, const MultiplyOptions &options);
// Pastes an item with its subtree under a container of the same or another
// project through the paste core; with move the original goes afterwards.
int Copy(const QString &sourceProject, const QString &itemPath, const QString &targetProject,
         const QString &parentPath, bool move);
int Show(const QString &project, const QString &modulePath, bool json);
} // namespace CtlCommands
