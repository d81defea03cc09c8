#pragma once

#include <QString>

#include <memory>

class CLevelList;
class DbSession;

// Shape of a generated project: plants, cabinets per plant, modules per
// cabinet (family 7230, two channel signals each).
struct GeneratedShape {
    int plants = 4;
    int cabinetsPerPlant = 5;
    int modulesPerCabinet = 500;
    int modules() const { return plants * cabinetsPerPlant * modulesPerCabinet; }
};

// Writes the rows into an existing project file (a copy of the reference
// database) in one transaction. Returns an empty text or what went wrong.
QString GenerateProject(const QString &path, const GeneratedShape &shape);

// Copies the reference database beside the program to path, writable; false
// after saying on standard error why not.
bool CopyReferenceProject(const QString &path);

// Opens the generated project and reads the schema facts of the levels;
// null after saying on standard error why not.
std::unique_ptr<DbSession> OpenGeneratedProject(const QString &path, CLevelList &levels);
