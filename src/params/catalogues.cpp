#include "params/catalogues.h"

#include "base/language.h"

namespace {
const char *const kCatalogueTables[] = {
    "WorkingModes7230",  "WorkingModes7210", "SensorTypes7230",     "SensorTypes7210", "MeasuredUnits7230",
    "MeasuredUnits7210", "RangeTable7230",   "RangeTable7210",      "CircuitTypes",    "ComparePlaceTC",
    "ImpulseType",       "OutputSignalType", "RelayLimitingValues", "RelayProtection", "ModuleTypes7230",
    "ModuleTypes7210",   "ModuleTypes7220",
};
} // namespace

void CatalogueSet::Load(DbSession &session, CLevelList &levels)
{
    QHash<QString, std::vector<ParameterRow>> tables;
    for (const char *name : kCatalogueTables) {
        const QString table = QString::fromLatin1(name);
        CTableLevel *level = levels.FindByTable(table);
        if (level)
            tables.insert(table, ProjectParameterRows::ReadAllRows(session, *level));
    }
    m_tables = std::move(tables);
}

const std::vector<ParameterRow> &CatalogueSet::Rows(const QString &table) const
{
    static const std::vector<ParameterRow> none;
    const auto found = m_tables.constFind(table);
    return found == m_tables.constEnd() ? none : *found;
}

const ParameterRow *CatalogueSet::Row(const QString &table, int position) const
{
    const std::vector<ParameterRow> &rows = Rows(table);
    if (position < 1 || size_t(position) > rows.size())
        return nullptr;
    return &rows[size_t(position - 1)];
}

const ParameterRow *CatalogueSet::RowWithId(const QString &table, int id) const
{
    for (const ParameterRow &row : Rows(table)) {
        if (row.intValue(QStringLiteral("ID")) == id)
            return &row;
    }
    return nullptr;
}

QString CatalogueText(const ParameterRow &row, const QString &column)
{
    const int language = Language::current();
    if (language >= 2 && language <= 5)
        return row.textValue(column + QStringLiteral("L") + QString::number(language));
    return row.textValue(column);
}

int UnitFactor(const CatalogueSet &catalogues, ModuleFamily family, int unitCode)
{
    if (family == Family7220)
        return 1;
    const ParameterRow *row = catalogues.RowOfCode(TablesOfFamily(family).measuredUnits, unitCode);
    // A factor of 0 or less would divide by zero in the range checks.
    if (!row || row->intValue("Digits") <= 0)
        return 1;
    return row->intValue("Digits");
}

int RangeFactor(const CatalogueSet &catalogues, ModuleFamily family, int unitCode)
{
    switch (family) {
    case Family7230:
        return UnitFactor(catalogues, family, unitCode) * 100;
    case Family7210:
        return UnitFactor(catalogues, family, unitCode);
    case Family7220:
        break;
    }
    return 1;
}

const ParameterRow *FindRangeRow(const CatalogueSet &catalogues, ModuleFamily family,
                                 const ChannelParameters &channel, bool allowWildcard)
{
    if (family == Family7220)
        return nullptr;
    const std::vector<ParameterRow> &rows = catalogues.Rows(TablesOfFamily(family).rangeTable);
    auto find = [&](int sensor) -> const ParameterRow * {
        for (const ParameterRow &row : rows) {
            if (row.intValue("WorkingModeID") == channel.workingModeId &&
                row.intValue("SensorTypeID") == sensor &&
                row.intValue("MeasuredUnitID") == channel.rangeUnitsId)
                return &row;
        }
        return nullptr;
    };
    const ParameterRow *exact = find(channel.sensorTypId);
    if (exact || !allowWildcard)
        return exact;
    return find(-1);
}
