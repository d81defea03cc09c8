#pragma once

#include "db/db_session.h"
#include "db/schema.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

// One value per column description, in the order of the descriptions.
using RowValues = std::vector<QVariant>;

enum class LevelKind { Root = 1, Container = 2, Leaf = 3 };

// How the document and its views treat the items of a level.
struct LevelAttributes {
    int layoutIndex = 0; // place among the child levels of the parent table in the merged list columns
    int treeImage = -1;
    int treeSelectedImage = -1;
    bool readOnly = false; // items can be neither created nor edited
    bool shown = true;     // default of an item's shown flag
    QString viewClass;     // the item view of one item; empty: the list is used
};

// How a column is bound to its field of the row record.
struct ColumnBinding {
    int ordinal = 0; // 1-based place in the select list
    int field = 0;   // index of the field in the row record
    FieldType type = FieldType::Long;
    int bufferWidth = 0; // 4 for Long, 2 for Yes/No, characters + 1 for Text
};

enum KeyRole : int { KeyNone = -1, KeyId = 0, KeyParent = 1 };

struct ColumnInfo {
    ColumnBinding binding;
    QString name;          // empty for a bound field the table does not have
    int headerString = -1; // string number of the list header, -1 when not a list column
    int keyRole = KeyNone;
    int listPosition = 0;
    int textFlag = 0;
    int listWidth = -1;
    int listFormat = 0;
    // Schema facts, set when the table is compared with the file's schema.
    bool exists = false;
    bool nullable = false;
    bool hasDefault = false;
    QString defaultText;

    // Characters a Text column keeps.
    int textWidth() const { return binding.type == FieldType::Text ? binding.bufferWidth - 1 : 0; }
};

// One table of the project with its columns and the statements over it.
// Levels of every table share this class; the column descriptions come from
// the table's accessor (Schema).
class CTableLevel {
public:
    CTableLevel(LevelKind kind, int displayString, QString table, QString parentTable,
                const AccessorSpec *accessor, LevelAttributes attributes = {});
    virtual ~CTableLevel();
    CTableLevel(const CTableLevel &) = delete;
    CTableLevel &operator=(const CTableLevel &) = delete;

    LevelKind kind() const { return m_kind; }
    int displayString() const { return m_displayString; }
    const QString &tableName() const { return m_table; }
    const QString &parentTable() const { return m_parentTable; }
    const QString &accessorClass() const { return m_accessorClass; }
    const LevelAttributes &attributes() const { return m_attributes; }

    // Column descriptions. With entries null: count gets the number of bound
    // columns. Otherwise fills count entries. 0 on success, 1 on failure.
    virtual int GetColumnInfo(int &count, ColumnInfo *entries) const;
    // The descriptions, built on first use; null when they cannot be built.
    const std::vector<ColumnInfo> *GetColumns();
    // Case-insensitive lookup; index (when given) gets the column's place.
    ColumnInfo *FindColumn(const QString &name, int *index = nullptr);
    // Name of the ID (key role 0) or ParentID (key role 1) column; a null
    // text when the level has none.
    QString IdColumnName();
    QString ParentColumnName();
    int IdColumnIndex();

    // Statements (Part of the query layer). An empty text means nothing to do.
    QString BuildSelectList();
    QString BuildChildQuery(const QVariant &parentKey);
    QString BuildInsert(const RowValues &values, const RowValues &saved);
    QString BuildUpdate(const RowValues &values, const RowValues &saved);
    QString BuildDelete(const RowValues *values = nullptr);

    // Runs a statement on the session; with bind the rows can be fetched.
    // Returns false with the driver's records in error when it fails.
    bool Open(DbSession &session, const QString &statement, int *rowsAffected, bool bind,
              std::vector<ProviderErrorRecord> *error);
    void Close();
    bool IsOpen() const { return m_query.has_value(); }
    void ClearRow();
    // The row record: one field per binding, typed as the binding says.
    const std::vector<QVariant> &GetRowBuffer() const { return m_row; }

    // The children of parentKey, first row fetched: 1 for a row, 0 for none.
    int OpenQuery(DbSession &session, const QVariant &parentKey);
    int MoveNext();
    void ReadRowValues(RowValues &values);
    // 1 for plain success, 0 when an UPDATE found no row to change.
    int ExecuteStatement(DbSession &session, const QString &statement, int *rowsAffected = nullptr);
    int CountRows(DbSession &session);

    // The file's schema facts of every column (exists, nullable, default).
    // Raises 50005 when the schema cannot be read.
    void ReadSchemaFacts(DbSession &session);
    // The columns the file's table holds beyond the level's own, as the
    // schema facts last read them: such a table has another structure.
    const QStringList &unknownColumns() const { return m_unknownColumns; }

private:
    [[noreturn]] void RaiseCellError(const ColumnInfo &column) const;
    QVariant FieldValue(const ColumnInfo &column) const;
    void CheckFits(const ColumnInfo &column, const QVariant &value) const;
    std::vector<int> ChangedColumns(const RowValues &values, const RowValues &saved);

    LevelKind m_kind;
    int m_displayString;
    QString m_table;
    QString m_parentTable;
    QString m_accessorClass;
    const AccessorSpec *m_accessor;
    LevelAttributes m_attributes;
    std::optional<std::vector<ColumnInfo>> m_columns;
    QStringList m_unknownColumns;
    std::optional<QSqlQuery> m_query;
    std::vector<QVariant> m_row;
    DbSession *m_session = nullptr;
};

// The virtual root: no table, two unnamed columns.
class CRootLevel : public CTableLevel {
public:
    CRootLevel();
    int GetColumnInfo(int &count, ColumnInfo *entries) const override;
};

// Every level of a document in its fixed order; built once, owns its levels.
class CLevelList {
public:
    CLevelList();

    const std::vector<std::unique_ptr<CTableLevel>> &levels() const { return m_levels; }
    // Case-sensitive table name.
    CTableLevel *FindByTable(const QString &table) const;
    ColumnInfo *FindColumn(int displayString, const QString &column) const;
    // Levels whose parent table is level's table, compared without case.
    std::vector<CTableLevel *> ChildLevels(const CTableLevel &level) const;

private:
    std::vector<std::unique_ptr<CTableLevel>> m_levels;
};
