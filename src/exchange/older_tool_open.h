#pragma once

#include <QString>

#include <optional>

class ProjectDatabase;

// Opening a project of the older tool in the window (File > Open, a
// double-click, the program's argument): the file is recognised by its Jet
// header, the user is told that it is carried over into a new project file,
// chooses that file (OLD-converted.prj beside the old one is proposed), and
// what was carried over goes to the output log.
namespace OlderToolOpen {

// The hook of ProjectDatabase::SetCarryOver for this database: nothing for
// a file that is no Jet file; an empty text after a Cancel or a refusal
// (shown); else the new project file.
std::optional<QString> CarryOver(ProjectDatabase &database, const QString &path);

// Installs it on the database.
void Install(ProjectDatabase &database);

} // namespace OlderToolOpen
