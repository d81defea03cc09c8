#pragma once

#include <QString>

// The commands of zelnorctl that talk to a module on a serial port; each
// returns its exit code.
namespace CtlCommands {
int Compare(const QString &project, const QString &port, bool json);
int Upload(const QString &project, const QString &port, bool create);
int Download(const QString &project, const QString &modulePath, const QString &port, bool yes);
// What was kept of a module before each download, newest first.
int History(const QString &project, const QString &serialNr, bool json);
// Writes blocks kept before an earlier download back into their module.
int Restore(const QString &project, const QString &entryId, const QString &port);
// count 0: until interrupted.
int Monitor(const QString &port, int count, int intervalSeconds);
int Action(const QString &port, int code);
} // namespace CtlCommands
