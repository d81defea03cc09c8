#pragma once

#include <QString>

#include <optional>

// What a user looks up before the other commands: the module types a
// project knows and the serial ports of this computer.
namespace CtlListings {

// family: 7230, 7210 or 7220, or none for all. project: empty for the
// reference database beside the program.
int Types(const QString &project, std::optional<int> family, bool json);
// extraPort: a device named with --port (pseudo-terminals are not listed
// by the system), or empty.
int Ports(const QString &extraPort, bool json);
// What a column of a module accepts now: its offered codes, or the kind and
// unit of its value.
int Choices(const QString &project, const QString &modulePath, int channel, const QString &column, bool json);

} // namespace CtlListings
