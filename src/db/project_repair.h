#pragma once

#include "db/number_cells.h"

#include <QString>

#include <optional>
#include <vector>

// Damaged number cells of a project file are set right in a copy of it: the
// project itself is never changed (it is open for reading only while it
// holds them). The copy is written as Save As writes one, from one read
// snapshot and checked whole, and it takes its name only once every value
// is in it; it never takes the place of a project or of anything that is
// no plain file.
namespace ProjectRepair {

// The value one damaged cell is given.
struct CellValue {
    QString table;
    QString row;
    QString column;
    QString value;
};

// The copy's name when none is given: NAME-repaired.prj beside the project.
QString DefaultCopyName(const QString &project);

// Why the value cannot be set (its cell is not among the damaged ones, or
// it is no whole number of 32 bits), or nothing; the table and column are
// then spelled as the project spells them.
std::optional<QString> Refusal(const std::vector<DamagedCell> &damaged, CellValue &value);

// Why the copy may not be written to target (not named as a project, a file
// there already, the open project, a folder, a pipe), or nothing.
std::optional<QString> TargetRefusal(const QString &target, const QString &project);

struct Result {
    QString error; // empty when the copy was written
    std::vector<DamagedCell> left; // the damaged cells the copy still holds
};
// Copies the project file source to target with the values set; after a
// failure nothing is left at target that was not there before.
Result WriteCopy(const QString &source, const QString &target, const std::vector<CellValue> &values);

} // namespace ProjectRepair
