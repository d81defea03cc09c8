#pragma once

#include "db/table_level.h"

#include <QString>

class COLEDBException;
class DbSession;

// Several programs change one project at once. An edit stores a field only
// while the row still holds the value the edit began with, and a delete
// removes a row only while it holds what was read: otherwise the later
// writer would silently undo the earlier one. The conditions are part of
// the statement itself, so that no other writer can come between the check
// and the change.
namespace RowGuard {

// UPDATE of the changed columns, only where each still holds its value
// from saved; empty when nothing changed.
QString BuildUpdate(CTableLevel &level, const RowValues &values, const RowValues &saved);
// DELETE of the row, only where every column still holds its value from
// values.
QString BuildDelete(CTableLevel &level, const RowValues &values);

// After a guarded statement found no row: raises the data error that says
// whether the row is gone or which fields another program changed (the
// value read, the one stored now and, for an edit, the one typed). values
// is empty for a delete. label names the item in the message.
[[noreturn]] void RaiseChangedElsewhere(DbSession &session, CTableLevel &level, const RowValues &values,
                                        const RowValues &saved, const QString &label);

// Whether a data error says that another program changed or deleted the row.
bool IsChangedElsewhere(const COLEDBException &error);

} // namespace RowGuard
