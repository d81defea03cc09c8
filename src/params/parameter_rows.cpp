#include "params/parameter_rows.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/row_guard.h"
#include "db/variant_value.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

struct IntColumn {
    const char *name;
    qint32 ChannelParameters::*field;
};

// Every number column of a Signals row the parameter model holds.
const IntColumn kSignalColumns[] = {
    {"WorkingModeID", &ChannelParameters::workingModeId},
    {"SensorTypID", &ChannelParameters::sensorTypId},
    {"TypeOfCircuitID", &ChannelParameters::typeOfCircuitId},
    {"WireResistance", &ChannelParameters::wireResistance},
    {"TCtypeID", &ChannelParameters::tcTypeId},
    {"ComparePlaceTemp", &ChannelParameters::comparePlaceTemp},
    {"RangeBegin", &ChannelParameters::rangeBegin},
    {"RangeEnd", &ChannelParameters::rangeEnd},
    {"RangeID", &ChannelParameters::rangeId},
    {"RangeUnitsID", &ChannelParameters::rangeUnitsId},
    {"OutputSignalType", &ChannelParameters::outputSignalType},
    {"OutputErrorStop", &ChannelParameters::outputErrorStop},
    {"OutputErrorValue", &ChannelParameters::outputErrorValue},
    {"Relay1LimitValue", &ChannelParameters::relay1LimitValue},
    {"Relay1AgainSettingProtection", &ChannelParameters::relay1AgainSettingProtection},
    {"Relay1Hysteresis", &ChannelParameters::relay1Hysteresis},
    {"Relay1ActiveRangeValue", &ChannelParameters::relay1ActiveRangeValue},
    {"Relay2LimitValue", &ChannelParameters::relay2LimitValue},
    {"Relay2AgainSettingProtection", &ChannelParameters::relay2AgainSettingProtection},
    {"Relay2Hysteresis", &ChannelParameters::relay2Hysteresis},
    {"Relay2ActiveRangeValue", &ChannelParameters::relay2ActiveRangeValue},
    {"Zaehlerignis", &ChannelParameters::zaehlerignis},
    {"Ueberlauf", &ChannelParameters::ueberlauf},
    {"Impulsausgangaktiv", &ChannelParameters::impulsausgangaktiv},
    {"Anlaufverzoegurung", &ChannelParameters::anlaufverzoegurung},
    {"Zahlteilerkvocient", &ChannelParameters::zahlteilerkvocient},
};

} // namespace

std::optional<qint32> SignalColumnValue(const ChannelParameters &channel, const QString &column)
{
    for (const IntColumn &entry : kSignalColumns) {
        if (column.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return channel.*entry.field;
    }
    return std::nullopt;
}

namespace {

int ColumnIndex(const std::vector<ColumnInfo> &columns, const QString &name)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].name.isEmpty() && columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

ModuleValues ModuleFromRow(const QString &table, const ParameterRow &row)
{
    ModuleValues module;
    module.table = table;
    module.id = row.intValue("ID");
    module.name = row.textValue("Name");
    module.description = row.textValue("Description");
    module.memo = row.textValue("Memo");
    module.lastProgramming = row.textValue("LastProgramming");
    module.revision = row.textValue("Revision");
    module.serialNr = row.textValue("SerialNr");
    module.modulTypId = row.intValue("ModulTypID");
    module.dipConfigurable = row.value("DIPSwitch").toBool();
    module.ch1SignalId = row.intValue("Ch1SignalID");
    module.ch2SignalId = row.intValue("Ch2SignalID");
    return module;
}

void ChannelToRow(const ChannelParameters &channel, ParameterRow &row, bool writeName)
{
    if (writeName)
        row.setValue("Name", channel.name);
    row.setValue("Description", channel.description);
    for (const IntColumn &column : kSignalColumns)
        row.setValue(column.name, channel.*column.field);
}

// Runs a select on a level and closes the level's rowset however it ends,
// so that the shared level is never left holding an open rowset.
class LevelRowset {
public:
    LevelRowset(DbSession &session, CTableLevel &level, const QString &statement) : m_level(level)
    {
        std::vector<ProviderErrorRecord> error;
        if (!m_level.Open(session, statement, nullptr, true, &error))
            RaiseDataError(std::move(error), DbStrings::CantOpenRowset);
    }
    ~LevelRowset() { m_level.Close(); }
    LevelRowset(const LevelRowset &) = delete;
    LevelRowset &operator=(const LevelRowset &) = delete;

    // The next row, or an invalid row at the end.
    ParameterRow Next()
    {
        ParameterRow row;
        if (m_level.MoveNext()) {
            row.columns = m_level.GetColumns();
            m_level.ReadRowValues(row.values);
        }
        return row;
    }

private:
    CTableLevel &m_level;
};

} // namespace

ModuleTypeProperties TypeFromRow(const ParameterRow &row)
{
    ModuleTypeProperties type;
    if (!row.isValid())
        return type;
    type.id = row.intValue("ID");
    type.name = row.textValue("Name");
    type.tc = row.intValue("TC");
    type.outputSignal = row.intValue("OutputSignal");
    type.limitValue = row.intValue("LimitValue");
    type.channels = row.intValue("Channels");
    type.haveImpulseOutput = row.intValue("HaveImpulseOutput");
    return type;
}

QVariant ParameterRow::value(const QString &column) const
{
    if (!isValid())
        return QVariant();
    const int index = ColumnIndex(*columns, column);
    return index < 0 ? QVariant() : values[size_t(index)];
}

void ParameterRow::setValue(const QString &column, const QVariant &value)
{
    if (!isValid())
        return;
    const int index = ColumnIndex(*columns, column);
    if (index < 0)
        return;
    QVariant &cell = values[size_t(index)];
    switch ((*columns)[size_t(index)].binding.type) {
    case FieldType::Long:
        cell = QVariant(value.toInt());
        break;
    case FieldType::Bool:
        cell = QVariant(value.toInt() != 0 || value == QVariant(true));
        break;
    case FieldType::Text:
        cell = QVariant(value.toString());
        break;
    }
}

ChannelParameters ChannelFromRow(const ParameterRow &row)
{
    ChannelParameters channel;
    channel.signalId = row.intValue("ID");
    channel.name = row.textValue("Name");
    channel.description = row.textValue("Description");
    for (const IntColumn &column : kSignalColumns)
        channel.*column.field = row.intValue(column.name);
    return channel;
}

ModuleParameters ParametersFromRows(const ModuleRows &rows, int shownChannel)
{
    ModuleParameters parameters;
    parameters.family = rows.family;
    parameters.module = ModuleFromRow(rows.moduleTable, rows.module);
    parameters.type = TypeFromRow(rows.moduleType);
    parameters.shownChannel = shownChannel;
    for (size_t i = 0; i < rows.signalRows.size(); ++i) {
        if (rows.signalRows[i].isValid())
            parameters.channels[i] = ChannelFromRow(rows.signalRows[i]);
    }
    return parameters;
}

void ParametersToRows(const ModuleParameters &parameters, ModuleRows &rows, bool writeNames)
{
    for (int number = 1; number <= 2; ++number) {
        if (parameters.isShown(number))
            ChannelToRow(*parameters.channel(number), rows.signalRows[size_t(number - 1)], writeNames);
    }
    const ModuleValues &module = parameters.module;
    if (writeNames)
        rows.module.setValue("Name", module.name);
    rows.module.setValue("Description", module.description);
    rows.module.setValue("Memo", module.memo);
    rows.module.setValue("LastProgramming", module.lastProgramming);
    rows.module.setValue("Revision", module.revision);
    rows.module.setValue("SerialNr", module.serialNr);
    rows.module.setValue("DIPSwitch", module.dipConfigurable ? -1 : 0);
}

const FamilyTables &TablesOfFamily(ModuleFamily family)
{
    static const FamilyTables tables[] = {
        {"ModuleTypes7230", "WorkingModes7230", "SensorTypes7230", "MeasuredUnits7230", "RangeTable7230",
         "DefaultModules7230", "Modules7230_"},
        {"ModuleTypes7210", "WorkingModes7210", "SensorTypes7210", "MeasuredUnits7210", "RangeTable7210",
         "DefaultModules7210", "Modules7210_"},
        {"ModuleTypes7220", QString(), QString(), QString(), QString(), "DefaultModules7220", "Modules7220_"},
    };
    return tables[family == Family7210 ? 1 : family == Family7220 ? 2 : 0];
}

ProjectParameterRows::ProjectParameterRows(DbSession &session, CLevelList &levels, QString moduleTable,
                                           qint32 moduleId)
    : m_session(session), m_levels(levels), m_moduleTable(std::move(moduleTable)), m_moduleId(moduleId)
{
}

CTableLevel &ProjectParameterRows::Level(const QString &table) const
{
    CTableLevel *level = m_levels.FindByTable(table);
    if (!level || !level->GetColumns())
        RaiseDataError(DbStrings::CantOpenRowset);
    return *level;
}

ParameterRow ProjectParameterRows::ReadRowById(DbSession &session, CTableLevel &level, qint32 id)
{
    LevelRowset rowset(session, level,
                       level.BuildSelectList() +
                           QStringLiteral(" WHERE [T1].[%1] = %2").arg(level.IdColumnName()).arg(id));
    return rowset.Next();
}

std::vector<ParameterRow> ProjectParameterRows::ReadAllRows(DbSession &session, CTableLevel &level)
{
    LevelRowset rowset(session, level,
                       level.BuildSelectList() +
                           QStringLiteral(" ORDER BY [T1].[%1]").arg(level.IdColumnName()));
    std::vector<ParameterRow> rows;
    for (ParameterRow row = rowset.Next(); row.isValid(); row = rowset.Next())
        rows.push_back(std::move(row));
    return rows;
}

std::optional<SignalOwner> ProjectParameterRows::FindSignalOwner(DbSession &session, CLevelList &levels,
                                                                 qint32 signalId)
{
    for (const auto &level : levels.levels()) {
        if (!FamilyOfModuleLevel(level->displayString()))
            continue;
        const QString statement =
            QStringLiteral(
                "SELECT [ID], [Ch1SignalID] FROM %1 WHERE [Ch1SignalID] = %2 OR [Ch2SignalID] = %2")
                .arg(level->tableName())
                .arg(signalId);
        QSqlQuery query = session.NewQuery();
        std::vector<ProviderErrorRecord> error;
        if (!session.Execute(query, statement, &error))
            RaiseDataError(std::move(error), DbStrings::CantOpenRowset);
        if (query.next())
            return SignalOwner{level->tableName(), query.value(0).toInt(),
                               query.value(1).toInt() == signalId ? 1 : 2};
    }
    return std::nullopt;
}

ModuleRows ProjectParameterRows::ReadRows()
{
    CTableLevel &moduleLevel = Level(m_moduleTable);
    const std::optional<ModuleFamily> family = FamilyOfModuleLevel(moduleLevel.displayString());
    if (!family)
        RaiseDataError(DbStrings::CantOpenRowset);
    ModuleRows rows;
    rows.family = *family;
    rows.moduleTable = m_moduleTable;
    rows.module = ReadRowById(m_session, moduleLevel, m_moduleId);
    if (!rows.module.isValid())
        RaiseDataError(DbStrings::CantMoveNext);
    rows.moduleType = ReadRowById(m_session, Level(TablesOfFamily(*family).moduleTypes),
                                  rows.module.intValue("ModulTypID"));
    const bool twoChannels = rows.moduleType.intValue("Channels") != 0;
    CTableLevel &signalLevel = Level(QStringLiteral("Signals"));
    const qint32 ids[2] = {rows.module.intValue("Ch1SignalID"), rows.module.intValue("Ch2SignalID")};
    for (int i = 0; i < 2; ++i) {
        if (ids[i] > 0 && (i == 0 || twoChannels))
            rows.signalRows[size_t(i)] = ReadRowById(m_session, signalLevel, ids[i]);
    }
    return rows;
}

void ProjectParameterRows::WriteRow(CTableLevel &level, const ParameterRow &before, const ParameterRow &after)
{
    if (!after.isValid())
        return;
    const QString statement = RowGuard::BuildUpdate(level, after.values, before.values);
    if (statement.isEmpty())
        return;
    // No row: it vanished, or another program changed what this one read.
    if (level.ExecuteStatement(m_session, statement) == 0)
        RowGuard::RaiseChangedElsewhere(m_session, level, after.values, before.values,
                                        after.textValue("Name"));
}

void ProjectParameterRows::WriteRows(const ModuleRows &before, const ModuleRows &after)
{
    CTableLevel &signalLevel = Level(QStringLiteral("Signals"));
    CTableLevel &moduleLevel = Level(after.moduleTable);
    // Inside a caller's transaction (an import of many modules) the rows are
    // part of that change, and its end is the caller's.
    const bool own = m_session.BeginTransaction();
    if (!own && !m_session.InTransaction())
        RaiseDataError(m_session.Records(m_session.database().lastError()), DbStrings::CantOpenRowset);
    try {
        for (size_t i = 0; i < after.signalRows.size(); ++i)
            WriteRow(signalLevel, before.signalRows[i], after.signalRows[i]);
        WriteRow(moduleLevel, before.module, after.module);
    } catch (...) {
        if (own)
            m_session.Rollback();
        throw;
    }
    if (own && !m_session.Commit()) {
        const std::vector<ProviderErrorRecord> records = m_session.Records(m_session.database().lastError());
        m_session.Rollback();
        RaiseDataError(records, DbStrings::CantOpenRowset);
    }
}

bool ProjectParameterRows::NameTaken(const QString &table, const QString &name,
                                     const std::vector<qint32> &exceptIds)
{
    CTableLevel &level = Level(table);
    QString statement =
        QStringLiteral("SELECT COUNT(*) FROM %1 WHERE [Name] = %2").arg(table, SqlLiteral(name));
    for (qint32 id : exceptIds)
        statement += QStringLiteral(" AND [%1] <> %2").arg(level.IdColumnName()).arg(id);
    QSqlQuery query = m_session.NewQuery();
    std::vector<ProviderErrorRecord> error;
    if (!m_session.Execute(query, statement, &error) || !query.next())
        RaiseDataError(std::move(error), DbStrings::CantOpenRowset);
    return query.value(0).toInt() > 0;
}

bool ProjectParameterRows::ModuleNameTaken(const QString &name)
{
    const ModuleFamily family = *FamilyOfModuleLevel(Level(m_moduleTable).displayString());
    for (int depth = 1; depth <= 4; ++depth) {
        const QString table = TablesOfFamily(family).moduleTablePrefix + QString::number(depth);
        if (NameTaken(table, name,
                      table == m_moduleTable ? std::vector<qint32>{m_moduleId} : std::vector<qint32>{}))
            return true;
    }
    return false;
}

bool ProjectParameterRows::SignalNameTaken(const QString &name, const std::vector<qint32> &writtenSignalIds)
{
    return NameTaken(QStringLiteral("Signals"), name, writtenSignalIds);
}
