#pragma once

#include "db/table_level.h"
#include "params/module_parameters.h"

#include <QString>
#include <QVariant>

#include <array>
#include <optional>
#include <vector>

class DbSession;

// One row as the data layer holds it: the level's column descriptions and
// one value per column.
struct ParameterRow {
    const std::vector<ColumnInfo> *columns = nullptr;
    RowValues values;

    bool isValid() const { return columns != nullptr && values.size() == columns->size(); }
    // The value of a column (case-insensitive name); invalid when absent.
    QVariant value(const QString &column) const;
    qint32 intValue(const QString &column) const { return value(column).toInt(); }
    QString textValue(const QString &column) const { return value(column).toString(); }
    // Sets a column the row has, keeping the type the data layer gave it.
    void setValue(const QString &column, const QVariant &value);
};

// The rows a parameter set is made of: the module row, its module-type row
// and the Signals rows of its channels (invalid where there is none).
struct ModuleRows {
    ModuleFamily family = Family7230;
    QString moduleTable;
    ParameterRow module;
    ParameterRow moduleType;
    std::array<ParameterRow, 2> signalRows;
};

// Turns rows into parameters and back. Only the columns the parameter pages
// edit are written; the signal and module names only when writeNames is set.
ModuleParameters ParametersFromRows(const ModuleRows &rows, int shownChannel);
void ParametersToRows(const ModuleParameters &parameters, ModuleRows &rows, bool writeNames);
ChannelParameters ChannelFromRow(const ParameterRow &row);
ModuleTypeProperties TypeFromRow(const ParameterRow &row);
// The stored number of a Signals column the parameter model holds.
std::optional<qint32> SignalColumnValue(const ChannelParameters &channel, const QString &column);

// Where the rows of a parameter set come from and go to. The project
// database is one source; the document's items will be another.
class ParameterRowSource {
public:
    virtual ~ParameterRowSource() = default;
    // The module's rows; raises COLEDBException when they cannot be read.
    virtual ModuleRows ReadRows() = 0;
    // Writes the rows that differ from before, all or none; raises
    // COLEDBException after undoing what was written.
    virtual void WriteRows(const ModuleRows &before, const ModuleRows &after) = 0;
    // Whether another module of the family already has the name.
    virtual bool ModuleNameTaken(const QString &name) = 0;
    // Whether a signal other than those being written already has the name.
    virtual bool SignalNameTaken(const QString &name, const std::vector<qint32> &writtenSignalIds) = 0;
};

// The module row that holds a signal, and the signal's channel.
struct SignalOwner {
    QString moduleTable;
    qint32 moduleId = 0;
    int channel = 0;
};

// The rows of one module in a project database, read and written through
// the table levels and their statement builders.
class ProjectParameterRows : public ParameterRowSource {
public:
    ProjectParameterRows(DbSession &session, CLevelList &levels, QString moduleTable, qint32 moduleId);

    ModuleRows ReadRows() override;
    void WriteRows(const ModuleRows &before, const ModuleRows &after) override;
    bool ModuleNameTaken(const QString &name) override;
    bool SignalNameTaken(const QString &name, const std::vector<qint32> &writtenSignalIds) override;

    // The row with the given ID, or an invalid row; raises on data errors.
    static ParameterRow ReadRowById(DbSession &session, CTableLevel &level, qint32 id);
    // The module of a signal, searched in the twelve module tables; nothing
    // when no module refers to it. Raises on data errors.
    static std::optional<SignalOwner> FindSignalOwner(DbSession &session, CLevelList &levels,
                                                      qint32 signalId);
    // Every row of a table in the order of its IDs.
    static std::vector<ParameterRow> ReadAllRows(DbSession &session, CTableLevel &level);

private:
    CTableLevel &Level(const QString &table) const;
    void WriteRow(CTableLevel &level, const ParameterRow &before, const ParameterRow &after);
    bool NameTaken(const QString &table, const QString &name, const std::vector<qint32> &exceptIds);

    DbSession &m_session;
    CLevelList &m_levels;
    QString m_moduleTable;
    qint32 m_moduleId;
};

// The tables of a family.
struct FamilyTables {
    QString moduleTypes;
    QString workingModes; // empty where the family has none
    QString sensorTypes;
    QString measuredUnits;
    QString rangeTable;
    QString defaultModules;
    QString moduleTablePrefix; // "Modules7230_" and so on
};
const FamilyTables &TablesOfFamily(ModuleFamily family);
