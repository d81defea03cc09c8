#pragma once

#include <QString>

#include <optional>

#include <sys/stat.h>

// The one way in for a file opened for reading because the user named it
// (a project, a data link file, an instrument list, a language pack, a
// monitoring file).
namespace InputFile {

using Status = struct stat;

// What stat (or, without followLinks, lstat) says of path; nothing when it
// does not exist. Never opens the file: a pipe would block the opener.
std::optional<Status> StatOf(const QString &path, bool followLinks);

// Why the file is not opened (a folder, a pipe, a device, a socket: what
// stat says, never by opening it), or nothing when it may be opened; a
// missing file is left to the opening, which names the system's reason.
std::optional<QString> Refusal(const QString &path);

} // namespace InputFile
