#pragma once

#include "base/module_family.h"
#include "params/module_types.h"

#include <QString>
#include <QVariant>

#include <optional>

class C7100Document;
class CLevelList;
class DbSession;
class Item;

// What the device link, the parameter pages and printing ask of the
// document about modules. It needs no window: the command-line tool and the
// tests drive it over any document with an open project. Items found in the
// database are loaded together with their ancestors, so a module is found
// also below folders that were never expanded.
class ModuleLookup {
public:
    explicit ModuleLookup(C7100Document &document) : m_document(document) {}

    // The family of the module being created or looked up; the module-table
    // searches look only at the four tables of this family.
    ModuleFamily Family() const { return m_family; }
    void SetFamily(ModuleFamily family) { m_family = family; }

    // The composed name of a module of typeId with these signal names; empty
    // when no type table has the type. Sets the family from the type.
    QString ModuleName(qint32 typeId, const QString &signal1, const QString &signal2);
    // The family of the module-type row of typeId, leaving the lookup's own
    // family as it is; nothing when no type table has the type.
    std::optional<ModuleFamily> FamilyOfType(qint32 typeId);
    // The first module of the family's four module tables (depth 1 to 4, each
    // in ID order) whose column holds value; null when none does.
    Item *FindModuleByValue(const QString &column, const QVariant &value);
    // The signal item that Ch1SignalID (channel 1) or Ch2SignalID (channel 2)
    // of module refers to; null for no signal (0 or less, or null).
    Item *SignalOfChannel(const Item &module, int channel);
    // The text of a catalogue row's column in the user-interface language
    // (the column with "L2" to "L5" for the second to fifth language).
    QString CatalogueText(const QString &table, qint32 id, const QString &column);
    // The project's display name after its last backslash (or slash).
    QString ProjectFileName() const;

    // The item of a row of table, loading its ancestors first; null when the
    // row is not in the database. Data errors are reported and give null.
    Item *LoadRow(const QString &table, qint32 id);

private:
    // The module-type row of typeId; data errors are reported and give none.
    std::optional<ModuleTypeInfo> TypeRow(qint32 typeId);
    Item *LoadRowOrRaise(const QString &table, qint32 id);
    std::optional<qint32> ParentIdOf(const QString &table, qint32 id);

    C7100Document &m_document;
    ModuleFamily m_family = Family7230;
};
