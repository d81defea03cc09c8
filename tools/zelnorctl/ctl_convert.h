#pragma once

#include <QString>

// zelnorctl convert: a project of the older tool into a new project file.
namespace CtlConvert {

// One line per table with its rows, or the JSON document; 0 only when every
// row was carried, 1 when the old file or a value of it is refused.
int Convert(const QString &oldPath, const QString &newPath, bool force, bool json);

} // namespace CtlConvert
