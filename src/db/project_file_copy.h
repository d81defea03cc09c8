#pragma once

#include <QString>

// A consistent copy of a project file while other programs may be writing
// it: SQLite writes the copy from one read snapshot of the source (pages
// copied by hand could mix two states of the file), the copy must pass the
// full integrity check, and only then is it renamed over the target. A
// failure leaves an existing target as it was and no temporary file behind.
namespace ProjectFileCopy {

// False with the reason in *error.
bool Copy(const QString &source, const QString &target, QString *error);

} // namespace ProjectFileCopy
