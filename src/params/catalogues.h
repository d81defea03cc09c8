#pragma once

#include "params/parameter_rows.h"

#include <QHash>
#include <QString>

#include <vector>

class CLevelList;
class DbSession;

// The in-memory copy of the catalogue tables of a project, read once when
// the project is opened. Rows are found by table and 1-based position.
class CatalogueSet {
public:
    // Reads every catalogue table the parameter model uses; raises
    // COLEDBException when one cannot be read.
    void Load(DbSession &session, CLevelList &levels);

    // The rows of a table in the order of their IDs (empty for an unknown
    // table).
    const std::vector<ParameterRow> &Rows(const QString &table) const;
    // The row at a 1-based position, or null.
    const ParameterRow *Row(const QString &table, int position) const;
    // The row of a code: the row whose ID is code + 1, wherever it stands.
    const ParameterRow *RowOfCode(const QString &table, int code) const { return RowWithId(table, code + 1); }
    // The row whose ID column holds id, or null (module types, whose IDs
    // do not start at 1).
    const ParameterRow *RowWithId(const QString &table, int id) const;

private:
    QHash<QString, std::vector<ParameterRow>> m_tables;
};

// The text of a catalogue row's column in the current language: for the
// languages 2 to 5 the column with the suffix "L2" to "L5" is read.
QString CatalogueText(const ParameterRow &row, const QString &column);

// The Digits column of the unit's row; 1 when the row is missing and always
// 1 for family 7220. A multiplier (1, 10, 100, 1000).
int UnitFactor(const CatalogueSet &catalogues, ModuleFamily family, int unitCode);
// The multiplier between a shown range value and the stored one: the unit
// factor x 100 on 7230, the unit factor on 7210, 1 on 7220.
int RangeFactor(const CatalogueSet &catalogues, ModuleFamily family, int unitCode);

// The range-table row of working mode, sensor and unit; on 7230 a row with
// SensorTypeID -1 stands for every sensor when allowWildcard is set. Null
// when none matches or the family has no range table.
const ParameterRow *FindRangeRow(const CatalogueSet &catalogues, ModuleFamily family,
                                 const ChannelParameters &channel, bool allowWildcard);
