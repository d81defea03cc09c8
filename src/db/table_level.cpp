#include "db/table_level.h"
#include "db/text_rules.h"

#include "db/db_strings.h"
#include "db/variant_value.h"
#include "base/string_table.h"

#include <QStringList>
#include <QLocale>
#include <QSqlError>

#include <algorithm>
#include <optional>

namespace {
const QString kResourceMarker = QStringLiteral("%RESOURCE_ID%=");

int BufferWidth(const FieldSpec &field)
{
    switch (field.type) {
    case FieldType::Long:
        return 4;
    case FieldType::Bool:
        return 2;
    case FieldType::Text:
        return field.width + 1;
    }
    return 0;
}

QVariant ClearedField(FieldType type)
{
    switch (type) {
    case FieldType::Long:
        return QVariant(qint32(0));
    case FieldType::Bool:
        return QVariant::fromValue(qint16(0));
    case FieldType::Text:
        return QVariant(QString());
    }
    return QVariant();
}

void SetListAttributes(ColumnInfo &column, const AccessorSpec &accessor)
{
    if (column.name == QLatin1String("Name")) {
        column.headerString = 300;
        column.listPosition = 3;
        column.textFlag = 1;
        column.listWidth = accessor.style == ListStyle::Catalogue ? 250 : 150;
    } else if (column.name == QLatin1String("Description") && accessor.style == ListStyle::Tree) {
        column.headerString = 349;
        column.listPosition = accessor.descriptionPosition;
        column.textFlag = 1;
        column.listWidth = 350;
    }
    column.listFormat = 0;
}

// A cell holding the marker and a string number reads as that string.
QString ResolveResourceText(const QString &text)
{
    const qsizetype at = text.indexOf(kResourceMarker);
    if (at < 0)
        return text;
    bool ok = false;
    const int number = text.mid(at + kResourceMarker.size()).trimmed().toInt(&ok, 10);
    if (!ok || number == 0)
        return text;
    const StringTable &strings = StringTable::instance();
    return strings.contains(number) ? strings.text(number) : Str(DbStrings::StringNotFound);
}

// Long and Yes/No columns take whatever converts to a 32-bit integer.
bool FitsLong(const QVariant &value)
{
    return VarTypeOf(value) == VT_EMPTY || TryConvert(value, VT_I4).has_value();
}
} // namespace

CTableLevel::CTableLevel(LevelKind kind, int displayString, QString table, QString parentTable,
                         const AccessorSpec *accessor, LevelAttributes attributes)
    : m_kind(kind), m_displayString(displayString), m_table(std::move(table)),
      m_parentTable(std::move(parentTable)),
      m_accessorClass(accessor ? QString::fromLatin1(accessor->className) : QString()), m_accessor(accessor),
      m_attributes(std::move(attributes))
{
}

CTableLevel::~CTableLevel()
{
    Close();
}

int CTableLevel::GetColumnInfo(int &count, ColumnInfo *entries) const
{
    if (!m_accessor)
        return 1;
    const std::vector<FieldSpec> &fields = m_accessor->fields;
    count = int(fields.size());
    if (!entries)
        return 0;
    for (int i = 0; i < count; ++i) {
        entries[i].binding = {i + 1, i, fields[i].type, BufferWidth(fields[i])};
        if (!fields[i].name)
            continue;
        ColumnInfo &column = entries[i];
        column.name = QString::fromLatin1(fields[i].name);
        column.keyRole = column.name == QLatin1String("ID")         ? KeyId
                         : column.name == QLatin1String("ParentID") ? KeyParent
                                                                    : KeyNone;
        SetListAttributes(column, *m_accessor);
    }
    return 0;
}

const std::vector<ColumnInfo> *CTableLevel::GetColumns()
{
    if (m_columns)
        return &*m_columns;
    int count = 0;
    if (GetColumnInfo(count, nullptr) != 0)
        return nullptr;
    std::vector<ColumnInfo> columns(static_cast<size_t>(count));
    if (GetColumnInfo(count, columns.data()) != 0)
        return nullptr;
    m_columns = std::move(columns);
    ClearRow();
    return &*m_columns;
}

ColumnInfo *CTableLevel::FindColumn(const QString &name, int *index)
{
    if (!GetColumns())
        return nullptr;
    for (size_t i = 0; i < m_columns->size(); ++i) {
        ColumnInfo &column = (*m_columns)[i];
        if (!column.name.isEmpty() && column.name.compare(name, Qt::CaseInsensitive) == 0) {
            if (index)
                *index = int(i);
            return &column;
        }
    }
    return nullptr;
}

namespace {
int KeyIndex(const std::vector<ColumnInfo> *columns, int role)
{
    if (!columns)
        return -1;
    for (size_t i = 0; i < columns->size(); ++i) {
        if ((*columns)[i].keyRole == role)
            return int(i);
    }
    return -1;
}
} // namespace

int CTableLevel::IdColumnIndex()
{
    return KeyIndex(GetColumns(), KeyId);
}

QString CTableLevel::IdColumnName()
{
    const int index = IdColumnIndex();
    return index < 0 ? QString() : (*m_columns)[size_t(index)].name;
}

QString CTableLevel::ParentColumnName()
{
    const int index = KeyIndex(GetColumns(), KeyParent);
    return index < 0 ? QString() : (*m_columns)[size_t(index)].name;
}

QString CTableLevel::BuildSelectList()
{
    const std::vector<ColumnInfo> *columns = GetColumns();
    if (!columns)
        return QString();
    int highest = 0;
    for (const ColumnInfo &column : *columns)
        highest = std::max(highest, column.binding.ordinal);
    std::vector<int> byOrdinal(size_t(highest) + 1, 0);
    for (size_t i = 0; i < columns->size(); ++i)
        byOrdinal[size_t((*columns)[i].binding.ordinal)] = int(i) + 1;
    QStringList items;
    for (int ordinal = 1; ordinal <= highest; ++ordinal) {
        const int entry = byOrdinal[size_t(ordinal)];
        if (entry == 0) {
            items << QStringLiteral("NULL");
            continue;
        }
        const ColumnInfo &column = (*columns)[size_t(entry - 1)];
        if (!column.name.isEmpty())
            items << QStringLiteral("[T1].[%1]").arg(column.name);
        else
            items << (column.binding.type == FieldType::Bool ? QStringLiteral("0") : QStringLiteral("NULL"));
    }
    return QStringLiteral("SELECT ") + items.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + m_table +
           QStringLiteral(" AS [T1] ");
}

QString CTableLevel::BuildChildQuery(const QVariant &parentKey)
{
    QString statement = BuildSelectList();
    const QString parent = ParentColumnName();
    if (!parent.isEmpty())
        statement += QStringLiteral(" WHERE [T1].[%1] = %2").arg(parent, SqlLiteral(parentKey));
    return statement + QStringLiteral(" ORDER BY [T1].[%1]").arg(IdColumnName());
}

namespace {
bool IsMultiLineColumn(const QString &table, const QString &name)
{
    if (name.compare(QLatin1String("Memo"), Qt::CaseInsensitive) == 0)
        return true;
    // The description of the project and of a folder is typed in the
    // multi-line field of its form.
    static const QStringList folders = {QStringLiteral("ProjectsRoot"), QStringLiteral("Equipments"),
                                        QStringLiteral("Racks"), QStringLiteral("ZelnorHolders")};
    return name.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0 &&
           folders.contains(table, Qt::CaseInsensitive);
}
} // namespace

void CTableLevel::CheckFits(const ColumnInfo &column, const QVariant &value) const
{
    switch (column.binding.type) {
    case FieldType::Text:
        if (VarTypeOf(value) != VT_BSTR)
            return;
        if (TextRules::CharacterCount(value.toString()) > column.textWidth())
            RaiseDataError(DbStrings::TextTooLong,
                           {column.name, m_table, QString::number(column.textWidth())});
        // Only a memo and a folder's description are typed in a multi-line
        // field; everywhere else a line break or an escape sequence is
        // garbage that would reach terminals, reports and file names.
        if (TextRules::HasControlCharacter(value.toString(), IsMultiLineColumn(m_table, column.name)))
            RaiseDataError(DbStrings::TextHasControlCharacter, {column.name, m_table});
        return;
    case FieldType::Long:
    case FieldType::Bool:
        if (!FitsLong(value))
            RaiseDataError(DbStrings::ValueDoesNotFit, {value.toString(), column.name, m_table});
        return;
    }
}

namespace {
bool Differs(const QVariant &a, const QVariant &b)
{
    return a.metaType() != b.metaType() || a != b;
}
} // namespace

std::vector<int> CTableLevel::ChangedColumns(const RowValues &values, const RowValues &saved)
{
    std::vector<int> changed;
    const std::vector<ColumnInfo> *columns = GetColumns();
    if (!columns)
        return changed;
    for (size_t i = 0; i < columns->size() && i < values.size(); ++i) {
        const ColumnInfo &column = (*columns)[i];
        const QVariant old = i < saved.size() ? saved[i] : QVariant();
        if (column.name.isEmpty() || !Differs(values[i], old))
            continue;
        CheckFits(column, values[i]);
        changed.push_back(int(i));
    }
    return changed;
}

QString CTableLevel::BuildInsert(const RowValues &values, const RowValues &saved)
{
    const std::vector<int> changed = ChangedColumns(values, saved);
    if (changed.empty())
        return QString();
    QStringList names;
    QStringList literals;
    for (int i : changed) {
        names << QStringLiteral("[%1]").arg((*m_columns)[size_t(i)].name);
        literals << SqlLiteral(values[size_t(i)]);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ")
        .arg(m_table, names.join(QStringLiteral(", ")), literals.join(QStringLiteral(", ")));
}

QString CTableLevel::BuildUpdate(const RowValues &values, const RowValues &saved)
{
    const std::vector<int> changed = ChangedColumns(values, saved);
    const int id = IdColumnIndex();
    if (changed.empty() || id < 0 || size_t(id) >= values.size())
        return QString();
    QStringList assignments;
    for (int i : changed)
        assignments << QStringLiteral("%1.[%2] = %3")
                           .arg(m_table, (*m_columns)[size_t(i)].name, SqlLiteral(values[size_t(i)]));
    return QStringLiteral("UPDATE %1 SET %2 WHERE %1.[%3] = %4")
        .arg(m_table, assignments.join(QStringLiteral(", ")), IdColumnName(), SqlLiteral(values[size_t(id)]));
}

QString CTableLevel::BuildDelete(const RowValues *values)
{
    QString statement = QStringLiteral("DELETE FROM ") + m_table;
    if (!values)
        return statement;
    const int id = IdColumnIndex();
    if (id < 0 || size_t(id) >= values->size())
        return QString();
    QVariant key = (*values)[size_t(id)];
    // A missing key must not turn into "ID =  )", which would fail late and
    // obscurely; it is a conversion failure like any other.
    if (!key.isValid() || IsDbNull(key))
        RaiseDataError(DbStrings::CantConvertVariant,
                       {VarTypeName(VarTypeOf(key)), VarTypeName(VT_BSTR), QString()});
    if (VarTypeOf(key) == VT_BOOL)
        key = QVariant(key.toBool() ? -1 : 0);
    return statement + QStringLiteral(" WHERE ( %1 = %2 ) ").arg(IdColumnName(), key.toString());
}

bool CTableLevel::Open(DbSession &session, const QString &statement, int *rowsAffected, bool bind,
                       std::vector<ProviderErrorRecord> *error)
{
    QSqlQuery query = session.NewQuery();
    if (!session.Execute(query, statement, error))
        return false;
    if (rowsAffected)
        *rowsAffected = query.numRowsAffected();
    if (bind) {
        m_query.emplace(std::move(query));
        m_session = &session;
    }
    return true;
}

void CTableLevel::Close()
{
    m_query.reset();
    m_session = nullptr;
}

void CTableLevel::ClearRow()
{
    const std::vector<ColumnInfo> *columns = m_columns ? &*m_columns : nullptr;
    m_row.assign(columns ? columns->size() : 0, QVariant());
    if (!columns)
        return;
    for (size_t i = 0; i < columns->size(); ++i)
        m_row[i] = ClearedField((*columns)[i].binding.type);
}

int CTableLevel::OpenQuery(DbSession &session, const QVariant &parentKey)
{
    const QString statement = BuildChildQuery(parentKey);
    if (IsOpen())
        Close();
    std::vector<ProviderErrorRecord> error;
    if (statement.isEmpty() || !Open(session, statement, nullptr, true, &error))
        RaiseDataError(std::move(error), DbStrings::CantOpenRowset);
    return MoveNext();
}

int CTableLevel::MoveNext()
{
    ClearRow();
    if (!m_query)
        RaiseDataError(DbStrings::CantMoveNext);
    if (!m_query->next()) {
        if (m_query->lastError().isValid())
            RaiseDataError(m_session->Records(m_query->lastError()), DbStrings::CantMoveNext);
        return 0;
    }
    for (size_t i = 0; i < m_columns->size(); ++i) {
        const ColumnBinding &binding = (*m_columns)[i].binding;
        const QVariant cell = m_query->value(binding.ordinal - 1);
        if (cell.isNull())
            continue;
        switch (binding.type) {
        case FieldType::Long:
        case FieldType::Bool: {
            const std::optional<qint32> number = WholeNumberOf(cell);
            if (!number)
                RaiseCellError((*m_columns)[i]);
            m_row[i] = binding.type == FieldType::Long ? QVariant(*number)
                                                        : QVariant::fromValue(qint16(*number != 0 ? -1 : 0));
            break;
        }
        case FieldType::Text:
            m_row[i] = QVariant(TextRules::LeftCharacters(cell.toString(), binding.bufferWidth - 1));
            break;
        }
    }
    return 1;
}

// A number cell that is no whole number of the column's width (a text, a
// fraction, a value past 32 bits) would otherwise be read as some other
// row's identifier; nothing may be decided on it.
[[noreturn]] void CTableLevel::RaiseCellError(const ColumnInfo &column) const
{
    QString rowId = QStringLiteral("?");
    for (const ColumnInfo &candidate : *m_columns) {
        if (candidate.name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) {
            rowId = m_query->value(candidate.binding.ordinal - 1).toString();
            break;
        }
    }
    RaiseDataError(DbStrings::CellNotANumber, {m_table, TextRules::EscapeControls(rowId), column.name});
}

QVariant CTableLevel::FieldValue(const ColumnInfo &column) const
{
    const QVariant &field = m_row[size_t(column.binding.field)];
    switch (column.binding.type) {
    case FieldType::Long:
        return QVariant(field.toInt());
    case FieldType::Bool:
        return QVariant(field.toInt() != 0);
    case FieldType::Text:
        return QVariant(ResolveResourceText(field.toString()));
    }
    return QVariant();
}

void CTableLevel::ReadRowValues(RowValues &values)
{
    const std::vector<ColumnInfo> *columns = GetColumns();
    values.clear();
    if (!columns)
        return;
    if (m_row.size() != columns->size())
        ClearRow();
    values.reserve(columns->size());
    for (const ColumnInfo &column : *columns)
        values.push_back(column.name.isEmpty() ? DbNull() : FieldValue(column));
}

int CTableLevel::ExecuteStatement(DbSession &session, const QString &statement, int *rowsAffected)
{
    // A separate command, so that a rowset being walked stays open.
    QSqlQuery query = session.NewQuery();
    std::vector<ProviderErrorRecord> error;
    if (!session.Execute(query, statement, &error))
        RaiseDataError(std::move(error));
    const int affected = query.numRowsAffected();
    if (rowsAffected)
        *rowsAffected = affected;
    // An update that changed nothing means the row is gone: the save failed.
    if (affected == 0 && statement.startsWith(QLatin1String("UPDATE ")))
        return 0;
    return 1;
}

int CTableLevel::CountRows(DbSession &session)
{
    QSqlQuery query = session.NewQuery();
    if (!session.Execute(query, QStringLiteral("SELECT COUNT(*) FROM %1").arg(m_table), nullptr) ||
        !query.next())
        return -1;
    return query.value(0).toInt();
}

void CTableLevel::ReadSchemaFacts(DbSession &session)
{
    if (!GetColumns())
        RaiseDataError(DbStrings::CantGetTablesInformation);
    const std::optional<std::vector<SchemaColumn>> schema = session.ColumnSchema(m_table);
    if (!schema)
        RaiseDataError(DbStrings::CantGetTablesInformation);
    m_unknownColumns.clear();
    for (const SchemaColumn &fact : *schema) {
        const bool known = std::any_of(m_columns->begin(), m_columns->end(), [&](const ColumnInfo &column) {
            return !column.name.isEmpty() && fact.name.compare(column.name, Qt::CaseInsensitive) == 0;
        });
        if (!known)
            m_unknownColumns << fact.name;
    }
    for (ColumnInfo &column : *m_columns) {
        column.exists = false;
        for (const SchemaColumn &fact : *schema) {
            if (!column.name.isEmpty() && fact.name.compare(column.name, Qt::CaseInsensitive) == 0) {
                column.exists = true;
                column.nullable = fact.nullable;
                column.hasDefault = fact.hasDefault;
                column.defaultText = fact.defaultText;
            }
        }
    }
}

// The root's shown flag is the project's root-in-path setting, not the level's.
CRootLevel::CRootLevel()
    : CTableLevel(LevelKind::Root, -1, QStringLiteral("Root"), QString(), nullptr,
                  {0, -1, -1, true, true, {}})
{
}

int CRootLevel::GetColumnInfo(int &count, ColumnInfo *entries) const
{
    count = 2;
    if (!entries)
        return 0;
    for (int i = 0; i < count; ++i) {
        entries[i] = ColumnInfo();
        entries[i].binding = {i + 1, i, FieldType::Long, 4};
        entries[i].listPosition = 0;
        entries[i].listWidth = -1;
        entries[i].exists = true;
    }
    return 0;
}

namespace {
struct LevelEntry {
    const char *table;
    const char *parent;
    LevelKind kind;
    int displayString;
    const char *accessor;
    int layoutIndex;
    int treeImage;
    int treeSelectedImage;
    bool readOnly;
    bool shown;
    const char *viewClass; // empty when the list edits the level
};

// The order matters: children are loaded and levels searched in it.
// Catalogue tables hang under the project but are not shown in the tree.
const LevelEntry kLevels[] = {
    {"ProjectsRoot", "Root", LevelKind::Container, 485, "CProjectsRootAccessor", 1, 0, 0, false, true,
     "CProjectRootView"},
    {"SignalsRoot", "Root", LevelKind::Container, 518, "CSignalsRootAccessor", 2, 11, 11, true, true, ""},
    {"Equipments", "ProjectsRoot", LevelKind::Container, 486, "CEquipmentsAccessor", 3, 1, 1, false, true,
     "CEquipmentView"},
    {"Racks", "Equipments", LevelKind::Container, 487, "CRacksAccessor", 4, 3, 3, false, true, "CRackView"},
    {"ZelnorHolders", "Racks", LevelKind::Container, 488, "CZelnorHoldersAccessor", 5, 4, 4, false, true,
     "CZelnorHolderView"},
    {"Modules7230_1", "ProjectsRoot", LevelKind::Leaf, 489, "CModules1Accessor", 6, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7230_2", "Equipments", LevelKind::Leaf, 489, "CModules1Accessor", 6, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7230_3", "Racks", LevelKind::Leaf, 489, "CModules1Accessor", 6, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7230_4", "ZelnorHolders", LevelKind::Leaf, 489, "CModules1Accessor", 6, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7210_1", "ProjectsRoot", LevelKind::Leaf, 572, "CFreqModules1Accessor", 25, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7210_2", "Equipments", LevelKind::Leaf, 572, "CFreqModules1Accessor", 25, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7210_3", "Racks", LevelKind::Leaf, 572, "CFreqModules1Accessor", 25, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7210_4", "ZelnorHolders", LevelKind::Leaf, 572, "CFreqModules1Accessor", 25, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7220_1", "ProjectsRoot", LevelKind::Leaf, 590, "C7220Modules1Accessor", 39, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7220_2", "Equipments", LevelKind::Leaf, 590, "C7220Modules1Accessor", 39, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7220_3", "Racks", LevelKind::Leaf, 590, "C7220Modules1Accessor", 39, 2, 2, false, true,
     "CChanelTabView"},
    {"Modules7220_4", "ZelnorHolders", LevelKind::Leaf, 590, "C7220Modules1Accessor", 39, 2, 2, false, true,
     "CChanelTabView"},
    {"Signals", "SignalsRoot", LevelKind::Leaf, 533, "CSignalsAccessor", 10, 9, 9, false, true,
     "CChanelTabView"},
    {"ModuleTypes7230", "ProjectsRoot", LevelKind::Leaf, 547, "CModuleTypesAccessor", 11, 14, 14, false,
     false, ""},
    {"ModuleTypes7210", "ProjectsRoot", LevelKind::Leaf, 571, "CFreqModuleTypesAccessor", 24, 14, 14, false,
     false, ""},
    {"ModuleTypes7220", "ProjectsRoot", LevelKind::Leaf, 589, "CModuleTypes7220Accessor", 37, 14, 14, false,
     false, ""},
    {"WorkingModes7230", "ProjectsRoot", LevelKind::Leaf, 546, "CWorkingModesAccessor", 12, 14, 14, false,
     false, ""},
    {"WorkingModes7210", "ProjectsRoot", LevelKind::Leaf, 578, "CWorkingModesFreqAccessor", 31, 14, 14, false,
     false, ""},
    {"MeasuredUnits7230", "ProjectsRoot", LevelKind::Leaf, 543, "CMeasuredUnitsAccessor", 13, 14, 14, false,
     false, ""},
    {"MeasuredUnits7210", "ProjectsRoot", LevelKind::Leaf, 581, "CMeasuredUnitsFreqAccessor", 34, 14, 14,
     false, false, ""},
    {"SensorTypes7230", "ProjectsRoot", LevelKind::Leaf, 545, "CSensorTypesAccessor", 14, 14, 14, false,
     false, ""},
    {"SensorTypes7210", "ProjectsRoot", LevelKind::Leaf, 579, "CSensorTypesFreqAccessor", 34, 14, 14, false,
     false, ""},
    {"CircuitTypes", "ProjectsRoot", LevelKind::Leaf, 544, "CCircuitTypesAccessor", 15, 14, 14, false, false,
     ""},
    {"ImpulseType", "ProjectsRoot", LevelKind::Leaf, 580, "CImpulseTypeAccessor", 33, -1, -1, false, false,
     ""},
    {"RangeTable7230", "ProjectsRoot", LevelKind::Leaf, 548, "CRangeTableAccessor", 16, -1, -1, false, false,
     ""},
    {"RangeTable7210", "ProjectsRoot", LevelKind::Leaf, 582, "CRangeTableFreqAccessor", 35, -1, -1, false,
     false, ""},
    {"ComparePlaceTC", "ProjectsRoot", LevelKind::Leaf, 549, "CComparePlaceTCAccessor", 17, -1, -1, false,
     false, ""},
    {"OutputSignalType", "ProjectsRoot", LevelKind::Leaf, 550, "COutputSignalTypeAccessor", 18, -1, -1, false,
     false, ""},
    {"RelayLimitingValues", "ProjectsRoot", LevelKind::Leaf, 552, "CRelayLimitingValuesAccessor", 19, -1, -1,
     false, false, ""},
    {"RelayProtection", "ProjectsRoot", LevelKind::Leaf, 551, "CRelayProtectionAccessor", 20, -1, -1, false,
     false, ""},
    {"DefaultModules7230", "ProjectsRoot", LevelKind::Leaf, 554, "CDefaultModulesAccessor", 21, -1, -1, false,
     false, ""},
    {"DefaultModules7210", "ProjectsRoot", LevelKind::Leaf, 576, "CDefaultFreqModulesAccessor", 29, -1, -1,
     false, false, ""},
    {"DefaultModules7220", "ProjectsRoot", LevelKind::Leaf, 594, "CDefaultModulesAccessor", 38, -1, -1, false,
     false, ""},
    {"DefaultSignals", "ProjectsRoot", LevelKind::Leaf, 553, "CDefaultSignalsAccessor", 22, -1, -1, false,
     false, ""},
    {"ProjectOptions", "ProjectsRoot", LevelKind::Leaf, 555, "CProjectOptionsAccessor", 23, -1, -1, false,
     false, ""},
};
} // namespace

CLevelList::CLevelList()
{
    m_levels.push_back(std::make_unique<CRootLevel>());
    for (const LevelEntry &entry : kLevels) {
        m_levels.push_back(std::make_unique<CTableLevel>(
            entry.kind, entry.displayString, QString::fromLatin1(entry.table),
            QString::fromLatin1(entry.parent), Schema::FindAccessor(entry.accessor),
            LevelAttributes{entry.layoutIndex, entry.treeImage, entry.treeSelectedImage, entry.readOnly,
                            entry.shown, QString::fromLatin1(entry.viewClass)}));
    }
}

CTableLevel *CLevelList::FindByTable(const QString &table) const
{
    for (const auto &level : m_levels) {
        if (level->tableName() == table)
            return level.get();
    }
    return nullptr;
}

ColumnInfo *CLevelList::FindColumn(int displayString, const QString &column) const
{
    for (const auto &level : m_levels) {
        if (level->displayString() == displayString)
            return level->FindColumn(column);
    }
    return nullptr;
}

std::vector<CTableLevel *> CLevelList::ChildLevels(const CTableLevel &level) const
{
    std::vector<CTableLevel *> children;
    for (const auto &candidate : m_levels) {
        if (!candidate->parentTable().isEmpty() &&
            candidate->parentTable().compare(level.tableName(), Qt::CaseInsensitive) == 0)
            children.push_back(candidate.get());
    }
    return children;
}
