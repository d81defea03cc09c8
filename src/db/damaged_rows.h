#pragma once

#include "db/number_cells.h"

#include <QString>

#include <vector>

class CLevelList;
class DbSession;

// Rows with a damaged number cell are left out of everything the program
// reads, so that the rest of the project can still be viewed, printed and
// exported (written it cannot be: the connection is for reading only). A
// table with such rows is read through a view of the same name that leaves
// them out: the connection's own views stand before the file's tables.
// A module goes with a damaged signal, its signals go with a damaged
// module: neither can be shown without the other.
namespace DamagedRows {

// A row left out because a row it belongs with was.
struct LeftOutWith {
    QString table;
    QString row;
    QString withTable;
    QString withRow;
};

// Leaves out the rows of the damaged cells and the rows that go with them;
// the latter, each with the row it went with. Raises a data error when the
// views cannot be made.
std::vector<LeftOutWith> LeaveOut(DbSession &session, CLevelList &levels, const std::vector<DamagedCell> &cells);

} // namespace DamagedRows
