#pragma once

#include "base/module_family.h"

#include <QString>

#include <optional>

class CLevelList;
class CTableLevel;
class DbSession;

// The level of table with its columns read; raises COLEDBException when the
// table cannot be opened.
CTableLevel &OpenTableLevel(CLevelList &levels, const QString &table);

// The module-type row a type ID names. The IDs of the three type tables do
// not overlap, so the ID alone tells the family.
struct ModuleTypeInfo {
    ModuleFamily family = Family7230;
    qint32 id = 0;
    QString name;
    int channelCount = 1; // the row's Channels + 1
    qint32 outputSignal = 0;
};

// The type table of each family in the order a type ID is searched.
QString ModuleTypeTable(ModuleFamily family);

// The type row of typeId from "ModuleTypes7230", "ModuleTypes7210" and
// "ModuleTypes7220" in this order; nothing when none has it. Raises
// COLEDBException when a table cannot be read.
std::optional<ModuleTypeInfo> FindModuleType(DbSession &session, CLevelList &levels, qint32 typeId);

// The text of a type name after its first blank (all of it without one).
QString TypeNameAfterBlank(const QString &typeName);
// A signal name without the blanks at its end.
QString TrimSignalName(const QString &name);
// "<type after blank> - [signal 1]" and, for two channels, " [signal 2]";
// the signal names lose their trailing blanks first.
QString ComposeModuleName(const QString &typeName, const QString &signal1, const QString &signal2,
                          int channelCount);

