#pragma once

class CLevelList;
class DbSession;

// SQLite keeps whatever a cell is given, also in a number column: a text
// or a value past 32 bits there would be read as another row's identifier,
// and a row whose parent is no number would never be found under any
// parent while its signals are. Every number column of every level is
// searched once when a project file opens; the first cell that does not
// fit raises the data error that names its table, row and column.
namespace NumberCells {

void Check(DbSession &session, CLevelList &levels);

} // namespace NumberCells
