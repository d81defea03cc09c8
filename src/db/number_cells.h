#pragma once

#include <QString>

#include <vector>

class CLevelList;
class DbSession;

// A cell of a number column that holds no whole number of 32 bits.
struct DamagedCell {
    QString table;
    QString row; // the row's identifier
    QString column;
    QString held; // what the cell holds, as text

    // "row 17 of Modules7230_3: column RangeEnd holds 'abc'"
    QString Text() const;
};

// SQLite keeps whatever a cell is given, also in a number column: a text
// or a value past 32 bits there would be read as another row's identifier,
// and a row whose parent is no number would never be found under any
// parent while its signals are. Every number column of every level is
// searched when a project file opens.
namespace NumberCells {

// Every damaged cell of the levels' tables, table by table in the order of
// the levels, rows in the order of their identifiers; none on a server,
// whose number columns hold numbers only.
std::vector<DamagedCell> Find(DbSession &session, CLevelList &levels);

} // namespace NumberCells
