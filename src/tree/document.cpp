#include "tree/document.h"
#include "tree/item_errors.h"

#include "db/text_rules.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/project_strings.h"
#include "db/row_guard.h"
#include "params/parameter_rows.h"
#include "db/variant_value.h"
#include "log/output_log.h"
#include "base/message_service.h"
#include "base/settings.h"
#include "base/string_table.h"
#include "db/id_source.h"
#include "tree/tree_strings.h"

#include <QMetaObject>

namespace {
const char kDetailsView[] = "DetailsView";
const char kListView[] = "ListView";

constexpr int kModuleNameString = 489;
constexpr int kFirstFolderNameString = 486;
constexpr int kLastFolderNameString = 488;

// Hooks and views may cancel while a cancel runs; the nested one is a no-op.
bool g_cancelRunning = false;

VarType DeclaredType(const ColumnInfo &column)
{
    switch (column.binding.type) {
    case FieldType::Long:
        return VT_I4;
    case FieldType::Bool:
        return VT_BOOL;
    case FieldType::Text:
        return VT_BSTR;
    }
    return VT_VARIANT;
}

bool IsEmptyText(const QVariant &value)
{
    return !value.isValid() || value.isNull() || value.toString().isEmpty();
}

bool SameName(const QVariant &a, const QVariant &b)
{
    if (VarTypeOf(a) == VT_BSTR && VarTypeOf(b) == VT_BSTR)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
    return a == b;
}
} // namespace

// The error-reporting flag takes a call's value for the call only. The value
// before the call comes back, so that a save inside a bulk operation (which
// counts its failures itself) does not turn reporting on for the rest of it.
class C7100Document::ReportingScope {
public:
    ReportingScope(bool &flag, bool report) : m_flag(flag), m_previous(flag) { m_flag = report; }
    ~ReportingScope() { m_flag = m_previous; }
    ReportingScope(const ReportingScope &) = delete;
    ReportingScope &operator=(const ReportingScope &) = delete;

private:
    bool &m_flag;
    bool m_previous;
};

C7100Document::C7100Document(QObject *parent) : QObject(parent)
{
    m_detailsView = ReadSetting(QLatin1String(kDetailsView)).toInt() != 0;
    m_listView = ReadSetting(QLatin1String(kListView)).toInt() != 0;
}

C7100Document::~C7100Document()
{
    // Items leave the registry while it still exists.
    m_root.reset();
}

void C7100Document::OpenProject(const Project &project)
{
    m_project = project;
    m_registry.attach(project.levels, project.session, project.ids);
    DeleteContents();
}

void C7100Document::CloseProject()
{
    m_project = Project();
    DeleteContents();
    m_registry.attach(nullptr, nullptr, nullptr);
}

void C7100Document::DeleteContents()
{
    const QString suffix = ClipboardFormatSuffix();
    m_formats = {QStringLiteral("Descriptor7100_") + suffix, QStringLiteral("(7100_") + suffix,
                 QStringLiteral("Dummy7100Configurator_") + suffix};
    if (m_root) {
        emit updateAllViews(nullptr, HintClear, nullptr);
        // The views stored their column widths at the notice.
        m_layouts.Discard();
        m_root.reset();
        m_current = 0;
        m_currentParent = 0;
    }
    m_cutList.clear();
    if (IsOpen() && m_project.levels) {
        CTableLevel *rootLevel = m_project.levels->FindByTable(QStringLiteral("Root"));
        if (rootLevel) {
            m_root = std::make_unique<ContainerItem>(*rootLevel, m_registry,
                                                     RowValues{m_project.displayName, QVariant(0)});
            m_root->setShown(m_project.rootShown);
            EnsureChildren(*m_root);
            BuildColumnLayouts();
        }
    }
    emit currentTableChanged(QString());
}

Item *C7100Document::FindRow(const QString &table, const QVariant &value, bool byId) const
{
    if (byId)
        return m_registry.findRow(table, value);
    const QString name = value.toString();
    Item *first = nullptr;
    for (Item *item : m_registry.items()) {
        if (item->level().tableName() == table && GetName(*item) == name &&
            (!first || item->handle() < first->handle()))
            first = item;
    }
    return first;
}

int C7100Document::ColumnIndex(const Item &item, const QString &column) const
{
    int index = -1;
    return item.level().FindColumn(column, &index) ? index : -1;
}

QVariant C7100Document::GetValue(const Item &item, const QString &column, bool raw) const
{
    return GetValue(item, ColumnIndex(item, column), raw);
}

QVariant C7100Document::GetValue(const Item &item, int column, bool raw) const
{
    if (column < 0 || size_t(column) >= item.values().size())
        return QVariant();
    const QVariant &value = item.values()[size_t(column)];
    if (raw)
        return value;
    const std::vector<ColumnInfo> *columns = item.level().GetColumns();
    return ToDisplay(value, (*columns)[size_t(column)], item.level());
}

bool C7100Document::SetValue(Item &item, const QString &column, const QVariant &value, bool raw)
{
    return SetValue(item, ColumnIndex(item, column), value, raw);
}

bool C7100Document::SetValue(Item &item, int column, const QVariant &value, bool raw)
{
    if (item.editState() == EditState::Clean || column < 0 || size_t(column) >= item.values().size())
        return false;
    const ColumnInfo &info = (*item.level().GetColumns())[size_t(column)];
    QVariant stored = raw ? value : FromDisplay(value, info, item.level());
    if (stored.isValid() && !stored.isNull() && !ConvertValue(stored, DeclaredType(info)))
        return false;
    item.values()[size_t(column)] = stored;
    return true;
}

int C7100Document::NameColumn(CTableLevel &level) const
{
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    int best = -1;
    for (size_t i = 0; columns && i < columns->size(); ++i) {
        const ColumnInfo &column = (*columns)[i];
        if (column.headerString >= 0 &&
            (best < 0 || column.listPosition < (*columns)[size_t(best)].listPosition))
            best = int(i);
    }
    // The root has no list columns; its first value is its name.
    return best < 0 ? 0 : best;
}

QString C7100Document::GetName(const Item &item) const
{
    const int column = NameColumn(item.level());
    return size_t(column) < item.values().size() ? item.values()[size_t(column)].toString() : QString();
}

QString C7100Document::LevelName(const CTableLevel &level)
{
    if (level.displayString() < 0)
        return QString();
    QString name = Str(level.displayString()).section(QLatin1Char('\t'), 0, 0);
    return name.remove(QLatin1Char('&'));
}

QString C7100Document::GetLevelName(const Item &item) const
{
    return LevelName(item.level());
}

bool C7100Document::EnsureChildren(Item &item)
{
    ContainerItem *container = item.asContainer();
    if (!container || container->loaded() || item.editState() == EditState::New)
        return true;
    return LoadChildren(*container);
}

std::optional<std::vector<C7100Document::ChildRow>> C7100Document::ReadChildRows(const ContainerItem &container)
{
    if (!m_project.session || !m_project.levels)
        return std::nullopt;
    std::vector<ChildRow> rows;
    CTableLevel *reading = nullptr;
    try {
        for (CTableLevel *level : m_project.levels->ChildLevels(container.level())) {
            reading = level;
            for (int row = level->OpenQuery(*m_project.session, container.id()); row;
                 row = level->MoveNext()) {
                RowValues values;
                level->ReadRowValues(values);
                rows.push_back({level, std::move(values)});
            }
            level->Close();
        }
    } catch (COLEDBException &error) {
        if (reading)
            reading->Close();
        ReportDataError(error, m_reportErrors);
        return std::nullopt;
    }
    return rows;
}

bool C7100Document::LoadChildren(ContainerItem &container)
{
    // A half-read list would pass for the whole one: nothing enters then.
    std::optional<std::vector<ChildRow>> rows = ReadChildRows(container);
    if (!rows)
        return false;
    for (ChildRow &row : *rows) {
        Item &child = container.append(MakeItem(*row.level, m_registry, std::move(row.values)));
        m_registry.enterRow(child);
    }
    container.setLoaded(true);
    return true;
}

bool C7100Document::IsEmpty(Item &item)
{
    ContainerItem *container = item.asContainer();
    if (!container)
        return true;
    EnsureChildren(item);
    return !container->hasChildren();
}

int C7100Document::CountBelow(const ContainerItem &container)
{
    int count = 0;
    container.forEachChild([&](Item &child) {
        ++count;
        if (const ContainerItem *inner = child.asContainer())
            count += CountBelow(*inner);
    });
    return count;
}

int C7100Document::CountDescendants(Item &item)
{
    ContainerItem *container = item.asContainer();
    if (!container)
        return 0;
    if (!EnsureChildren(*container))
        return -1;
    bool failed = false;
    container->forEachChild([&](Item &child) {
        if (!failed && child.isContainer() && CountDescendants(child) < 0)
            failed = true;
    });
    return failed ? -1 : CountBelow(*container);
}

CTableLevel *C7100Document::ChildLevel(const ContainerItem &parent, int nameStringId) const
{
    if (!m_project.levels)
        return nullptr;
    for (CTableLevel *level : m_project.levels->ChildLevels(parent.level())) {
        if (level->displayString() == nameStringId)
            return level;
    }
    return nullptr;
}

RowValues C7100Document::BlankValues(CTableLevel &level) const
{
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    return RowValues(columns ? columns->size() : 0, QVariant());
}

RowValues C7100Document::DefaultValues(CTableLevel &level) const
{
    RowValues values = BlankValues(level);
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    for (size_t i = 0; i < values.size(); ++i) {
        const ColumnInfo &column = (*columns)[i];
        if (column.name.isEmpty() || !column.hasDefault)
            continue;
        const QVariant value = TextToValue(column.defaultText, m_project.session);
        if (const std::optional<QVariant> typed = TryConvert(value, DeclaredType(column)))
            values[i] = *typed;
    }
    return values;
}

Item *C7100Document::CreateItem(ContainerItem &parent, int nameStringId, QObject *sender)
{
    if (RefuseWhenReadOnly() || !EnsureChildren(parent) || !CanInsert(parent, nameStringId))
        return nullptr;
    CTableLevel *level = ChildLevel(parent, nameStringId);
    if (!level)
        return nullptr;
    Item &item = parent.append(MakeItem(*level, m_registry, DefaultValues(*level)));
    if (!level->attributes().readOnly)
        item.beginEditState(EditState::New);
    emit updateAllViews(sender, HintCreated, &item);
    emit updateAllViews(sender, HintEditState, &item);
    OnInserted(item);
    return &item;
}

Item *C7100Document::CopyItem(Item &source, ContainerItem *newParent)
{
    ContainerItem *parent = newParent ? newParent : source.parent();
    if (!parent || !EnsureChildren(*parent) || !CanInsert(*parent, source.level().displayString()))
        return nullptr;
    // The copy's table follows its new parent: a module under a carrier is a
    // row of the carrier's module table, whatever depth it was copied from.
    CTableLevel *level = ChildLevel(*parent, source.level().displayString());
    if (!level || level->attributes().readOnly)
        return nullptr;
    Item &copy = parent->append(MakeItem(*level, m_registry, source.values()));
    copy.beginEditState(EditState::New);
    // Against a blank snapshot every value of the copy is written.
    copy.replaceSnapshot(BlankValues(*level));
    emit updateAllViews(nullptr, HintCreated, &copy);
    emit updateAllViews(nullptr, HintEditState, &copy);
    OnInserted(copy);
    return &copy;
}

bool C7100Document::RefuseWhenReadOnly() const
{
    if (!IsReadOnly())
        return false;
    MessageService::error(StrF(ProjectStrings::OpenForReadingOnly, {m_project.displayName}));
    return true;
}

bool C7100Document::BeginEdit(Item &item)
{
    // The views offer no edit of a project open for reading: quietly none.
    if (IsReadOnly() || !CanBeginEdit(item) || item.level().attributes().readOnly || item.editState() != EditState::Clean)
        return false;
    item.beginEditState(EditState::Modified);
    emit updateAllViews(nullptr, HintEditState, &item);
    OnEditBegun(item);
    return true;
}

void C7100Document::AssignKeys(Item &item)
{
    const QString parentColumn = item.level().ParentColumnName();
    if (!parentColumn.isEmpty() && item.parent())
        item.values()[size_t(ColumnIndex(item, parentColumn))] = item.parent()->id();
    const int idColumn = item.level().IdColumnIndex();
    if (idColumn < 0)
        return;
    if (!m_project.ids)
        RaiseDataError(DbStrings::CantGetNewId, {item.level().tableName()});
    item.values()[size_t(idColumn)] = m_project.ids->NextId(item.level().tableName());
}

bool C7100Document::WriteItem(Item &item)
{
    const RowValues &saved = *item.snapshot();
    const bool isNew = item.editState() == EditState::New;
    const QString statement = isNew                    ? item.level().BuildInsert(item.values(), saved)
                              : HoldsStoredValues(item) ? RowGuard::BuildUpdate(item.level(), item.values(), saved)
                                                        : item.level().BuildUpdate(item.values(), saved);
    if (statement.isEmpty())
        return false;
    if (item.level().ExecuteStatement(*m_project.session, statement) == 0) {
        if (isNew)
            RaiseDataError({});
        RowGuard::RaiseChangedElsewhere(*m_project.session, item.level(), item.values(), saved, GetPath(item));
    }
    return true;
}

void C7100Document::RestoreKeys(Item &item, const RowValues &before)
{
    for (const QString &key : {item.level().IdColumnName(), item.level().ParentColumnName()}) {
        const int column = key.isEmpty() ? -1 : ColumnIndex(item, key);
        if (column >= 0)
            item.values()[size_t(column)] = before[size_t(column)];
    }
}

bool C7100Document::Save(Item &item, QObject *sender, bool reportErrors)
{
    ReportingScope reporting(m_reportErrors, reportErrors);
    const EditState state = item.editState();
    if (!IsNameValid(GetName(item))) {
        ReportItemError(item, state, TreeStrings::InvalidNameCharacters);
        return false;
    }
    if (state == EditState::Clean || !m_project.session)
        return false;
    const bool isNew = state == EditState::New;
    const RowValues before = item.values();
    // The identifier and the row are one change: a failed insert leaves the
    // sequence as it was, too.
    const bool ownTransaction = isNew && m_project.session->BeginTransaction();
    bool executed = false;
    try {
        if (isNew)
            AssignKeys(item);
        const RowValues oldValues = isNew ? RowValues() : item.values();
        if (!BeforeSave(item, oldValues, *item.snapshot())) {
            if (ownTransaction)
                m_project.session->Rollback();
            if (isNew)
                RestoreKeys(item, before);
            return false;
        }
        executed = WriteItem(item);
        if (ownTransaction && !m_project.session->Commit())
            RaiseDataError(m_project.session->Records(m_project.session->database().lastError()));
        if (isNew) {
            m_registry.enterRow(item);
            // A new row has no children in the database yet: the ones in
            // memory are all of them, and reading would add them twice.
            if (ContainerItem *container = item.asContainer())
                container->setLoaded(true);
        }
        item.endEditState();
        emit updateAllViews(sender, HintEditState, &item);
        OnSaved(item, oldValues, item.values());
    } catch (COLEDBException &error) {
        if (ownTransaction)
            m_project.session->Rollback();
        // A new item keeps the keys it had: the next save draws them again.
        if (isNew)
            RestoreKeys(item, before);
        ReportSaveFailure(item, error);
        if (RowGuard::IsChangedElsewhere(error))
            ReadAgain(item);
        return false;
    }
    SetModifiedFlag(false);
    emit updateAllViews(sender, executed ? HintWritten : HintSavedUnchanged, &item);
    return true;
}

const ColumnInfo *C7100Document::MissingRequiredValue(Item &item) const
{
    const std::vector<ColumnInfo> *columns = item.level().GetColumns();
    for (size_t i = 0; columns && i < columns->size() && i < item.values().size(); ++i) {
        const ColumnInfo &column = (*columns)[i];
        // The ID comes from the sequence, never from the user.
        const bool required =
            column.exists && !column.nullable && !column.hasDefault && column.keyRole != KeyId;
        if (required && IsEmptyText(item.values()[i]))
            return &column;
    }
    return nullptr;
}

void C7100Document::ReportSaveFailure(Item &item, COLEDBException &error)
{
    // The snapshot still describes the stored row, so that a corrected save
    // writes every pending change and not only the ones made after the failure.
    const EditState state = item.editState();
    if (const ColumnInfo *column = MissingRequiredValue(item)) {
        const QString caption = column->headerString >= 0 ? Str(column->headerString) : column->name;
        if (m_reportErrors)
            MessageService::error(FillArguments(Str(state == EditState::New ? TreeStrings::CantInsert
                                                                            : TreeStrings::CantUpdate),
                                                {GetLevelName(item), GetPath(item)}) +
                                  QLatin1Char(' ') +
                                  FillArguments(Str(TreeStrings::ValueRequired), {caption}));
        return;
    }
    if (!IsNameUnique(item)) {
        ReportItemError(item, state, TreeStrings::ItemExists);
        return;
    }
    AddMessage(error, state == EditState::New ? TreeStrings::CantInsert : TreeStrings::CantUpdate,
               {GetLevelName(item), GetPath(item)});
    ReportDataError(error, m_reportErrors);
}

QString ItemErrorMessage(const C7100Document &document, const Item &item, EditState state, int code)
{
    const int head = state == EditState::New        ? TreeStrings::CantInsert
                     : state == EditState::Modified ? TreeStrings::CantUpdate
                                                    : TreeStrings::CantDeleteItem;
    QString specific = document.ItemErrorText(code);
    if (specific.isEmpty()) {
        switch (code) {
        case TreeStrings::ItemExists:
        case TreeStrings::InvalidNameCharacters:
            specific = FillArguments(Str(code), {document.GetLevelName(item)});
            break;
        default:
            return QString();
        }
    }
    return FillArguments(Str(head), {document.GetLevelName(item), document.GetPath(item)}) + QLatin1Char(' ') + specific;
}

void C7100Document::ReportItemError(const Item &item, EditState state, int code)
{
    if (!m_reportErrors)
        return;
    const QString message = ItemErrorMessage(*this, item, state, code);
    MessageService::error(message.isEmpty() ? Str(TreeStrings::UndefinedError) : message);
}

void C7100Document::ForgetCurrentIfGone()
{
    if (m_current && !FindItem(m_current)) {
        m_current = 0;
        m_currentParent = 0;
    }
}

void C7100Document::DestroyItem(Item &item)
{
    const ItemHandle handle = item.handle();
    std::erase(m_cutList, handle);
    if (ContainerItem *parent = item.parent())
        parent->destroyChild(item);
    ForgetCurrentIfGone();
}

bool C7100Document::Delete(Item &item, QObject *sender)
{
    if (RefuseWhenReadOnly() || !CanDelete(item))
        return false;
    Item *current = FindItem(m_current);
    if (current && (current == &item || item.isAncestorOf(*current)))
        SetModifiedFlag(false);
    if (item.editState() == EditState::New)
        return CancelEdit(item, sender);
    if (!item.parent() || !m_project.session)
        return false;
    // Within a long operation, the folder the rows are deleted from must
    // still stand: another program that deleted it took them along.
    if (m_bulk && !m_cascading) {
        const std::optional<bool> stored = StillStored(*item.parent());
        if (!stored)
            return false;
        if (!*stored) {
            m_parentGone = item.parent()->handle();
            return false;
        }
    }
    try {
        const bool guarded = HoldsStoredValues(item);
        const QString statement = guarded ? RowGuard::BuildDelete(item.level(), item.values())
                                          : item.level().BuildDelete(&item.values());
        int deletedRows = 1;
        if (!statement.isEmpty())
            item.level().ExecuteStatement(*m_project.session, statement, &deletedRows);
        if (guarded && deletedRows == 0)
            RowGuard::RaiseChangedElsewhere(*m_project.session, item.level(), {}, item.values(), GetPath(item));
    } catch (COLEDBException &error) {
        AddMessage(error, TreeStrings::CantDeleteItem, {GetLevelName(item)});
        ReportDataError(error, m_reportErrors);
        if (RowGuard::IsChangedElsewhere(error))
            ReadAgain(item);
        return false;
    }
    // What the delete takes along may ask or report something first; a view
    // that fills itself meanwhile must not list the item again.
    item.setShown(false);
    emit updateAllViews(sender, HintRemoved, &item);
    const bool cascading = std::exchange(m_cascading, true);
    OnDeleted(item);
    m_cascading = cascading;
    DestroyItem(item);
    return true;
}

void C7100Document::ReadAgain(Item &item)
{
    // What another program stored replaces what this one showed; a row it
    // deleted leaves the tree.
    const ItemHandle handle = item.handle();
    if (item.editState() != EditState::Clean)
        CancelEdit(item);
    Item *still = FindItem(handle);
    if (!still || !m_project.session)
        return;
    try {
        const ParameterRow row =
            ProjectParameterRows::ReadRowById(*m_project.session, still->level(), still->id().toInt());
        if (!row.isValid()) {
            emit updateAllViews(nullptr, HintRemoved, still);
            DestroyItem(*still);
            return;
        }
        still->values() = row.values;
        emit updateAllViews(nullptr, HintWritten, still);
    } catch (COLEDBException &error) {
        ReportDataError(error, m_reportErrors);
    }
}

void C7100Document::TakeStoredValues(const QString &table, qint32 id, const RowValues &values)
{
    Item *item = FindRow(table, id, true);
    if (item && item->editState() == EditState::Clean && values.size() == item->values().size())
        item->values() = values;
}

void C7100Document::TakeWrittenValues(const QString &table, qint32 id, const RowValues &before,
                                      const RowValues &after)
{
    Item *item = FindRow(table, id, true);
    if (!item || item->editState() != EditState::Clean || before.size() != after.size() ||
        after.size() != item->values().size())
        return;
    for (size_t i = 0; i < after.size(); ++i)
        if (before[i] != after[i])
            item->values()[i] = after[i];
}

void C7100Document::TakeStoredValues(const std::function<bool(const Item &)> &which)
{
    if (!m_project.session)
        return;
    for (Item *item : m_registry.items()) {
        if (item->editState() != EditState::Clean || !item->id().isValid() || !which(*item))
            continue;
        try {
            const ParameterRow row =
                ProjectParameterRows::ReadRowById(*m_project.session, item->level(), item->id().toInt());
            if (row.isValid() && row.values.size() == item->values().size())
                item->values() = row.values;
        } catch (const COLEDBException &error) {
            ReportDataError(error, m_reportErrors);
            return;
        }
    }
}

bool C7100Document::ConfirmAndDelete(Item &item, QObject *sender)
{
    // Catalogues, the signals root and the project's own rows are shown or
    // held by read-only levels: their rows are the project's, not the user's.
    if (item.level().attributes().readOnly) {
        MessageService::error(FillArguments(Str(TreeStrings::ReadOnlyNotDeleted), {GetLevelName(item), GetPath(item)}));
        return false;
    }
    ContainerItem *container = item.asContainer();
    if (container && !EnsureChildren(*container))
        return false;
    const int question = container && container->hasChildren() ? TreeStrings::ConfirmDeleteNotEmpty
                                                               : TreeStrings::ConfirmDelete;
    const QString text = FillArguments(Str(question), {GetLevelName(item), GetPath(item)});
    if (MessageService::riskyQuestion(text) != MessageAnswer::Yes)
        return false;
    const int nameString = item.level().displayString();
    const QString name = GetName(item);
    if (!Delete(item, sender))
        return false;
    LogDeleted(nameString, name);
    return true;
}

void C7100Document::LogDeleted(int nameString, const QString &name)
{
    if (nameString == kModuleNameString)
        WriteLogLine(StrF(TreeStrings::ModuleDeleted, {name}));
    else if (nameString >= kFirstFolderNameString && nameString <= kLastFolderNameString)
        WriteLogLine(StrF(TreeStrings::FolderDeleted, {name}));
}

bool C7100Document::CancelEdit(Item &item, QObject *sender)
{
    if (g_cancelRunning)
        return true;
    g_cancelRunning = true;
    struct Release {
        ~Release() { g_cancelRunning = false; }
    } release;
    if (item.editState() == EditState::Clean || !CanCancelEdit(item))
        return false;
    Item *remaining = &item;
    if (item.editState() == EditState::New) {
        item.setShown(false);
        emit updateAllViews(sender, HintRemoved, &item);
        DestroyItem(item);
        remaining = nullptr;
    } else {
        item.endEditState();
    }
    emit updateAllViews(sender, HintEditState, remaining);
    OnEditCancelled(remaining);
    return true;
}

bool C7100Document::Select(ItemHandle handle)
{
    if (!AskSaveChanges())
        return false;
    if (Item *current = FindItem(m_current); current && current->editState() != EditState::Clean) {
        if (!CancelEdit(*current))
            return false;
    }
    const ItemHandle oldParent = m_currentParent;
    const ItemHandle oldHandle = m_current;
    Item *item = FindItem(handle);
    m_current = item ? handle : 0;
    m_currentParent = item && item->parent() ? item->parent()->handle() : 0;
    emit currentTableChanged(item ? item->level().tableName() : QString());
    ChooseRightPane(item);
    OnSelectionChanged(oldParent, oldHandle, m_current);
    return true;
}

void C7100Document::ChooseRightPane(const Item *item)
{
    const QString itemView = item ? item->level().attributes().viewClass : QString();
    if (itemView.isEmpty()) {
        emit showViews(m_listViewClass, QString());
        return;
    }
    if (item->kind() == ItemKind::Leaf) {
        emit showViews(QString(), itemView);
        return;
    }
    const bool showList = !(m_detailsView && !m_listView);
    emit showViews(showList ? m_listViewClass : QString(), m_detailsView ? itemView : QString());
}

void C7100Document::ActivateCreatedItem(Item &item, bool fromTreeMenu)
{
    m_itemToRename = item.handle();
    if (item.level().attributes().viewClass.isEmpty()) {
        emit renameRequested(item.handle(), fromTreeMenu);
        return;
    }
    if (!m_detailsView) {
        m_detailsView = true;
        SaveViewSetting(kDetailsView, true);
    }
    if (Item *current = FindItem(m_current);
        current && current != &item && current->editState() != EditState::Clean && !CancelEdit(*current))
        return;
    const ItemHandle oldParent = m_currentParent;
    const ItemHandle oldHandle = m_current;
    m_current = item.handle();
    m_currentParent = item.parent() ? item.parent()->handle() : 0;
    emit currentTableChanged(item.level().tableName());
    ChooseRightPane(&item);
    OnSelectionChanged(oldParent, oldHandle, m_current);
    QMetaObject::invokeMethod(this, &C7100Document::menuItemActivated, Qt::QueuedConnection);
}

void C7100Document::SaveViewSetting(const char *name, bool value)
{
    WriteSetting(QLatin1String(name), value ? 1 : 0);
}

bool C7100Document::DialogViewEnabled() const
{
    const Item *current = FindItem(m_current);
    return current && !current->level().attributes().viewClass.isEmpty();
}

void C7100Document::ToggleDialogView()
{
    m_detailsView = !m_detailsView;
    SaveViewSetting(kDetailsView, m_detailsView);
    ChooseRightPane(FindItem(m_current));
}

void C7100Document::ItemViewRowClosed()
{
    if (!DialogViewEnabled())
        return;
    m_detailsView = false;
    SaveViewSetting(kDetailsView, false);
}

void C7100Document::ListRowClosed()
{
    if (!DialogViewEnabled())
        return;
    m_listView = false;
    SaveViewSetting(kListView, false);
}

void C7100Document::ListViewModeChosen(bool sameMode)
{
    m_listView = !sameMode;
    SaveViewSetting(kListView, m_listView);
    ChooseRightPane(FindItem(m_current));
}

bool C7100Document::HasPendingEdits(const ContainerItem &container) const
{
    bool pending = false;
    container.forEachChild([&](Item &child) {
        if (pending)
            return;
        const ContainerItem *inner = child.asContainer();
        pending = child.editState() != EditState::Clean || (inner && HasPendingEdits(*inner));
    });
    return pending;
}

bool C7100Document::ConfirmSubtreeReload(ContainerItem &levelItem)
{
    if (!HasPendingEdits(levelItem))
        return true;
    const MessageRequest request{Str(TreeStrings::ConfirmSubtreeReload), MessageIcon::Warning,
                                 MessageButtons::YesNo, MessageAnswer::No};
    if (MessageService::show(request) != MessageAnswer::Yes)
        return false;
    SetModifiedFlag(false);
    return true;
}

bool C7100Document::GlobalRefresh()
{
    if (!IsOpen())
        return false;
    if (IsModified()) {
        const MessageRequest request{Str(TreeStrings::ConfirmGlobalReload), MessageIcon::Warning,
                                     MessageButtons::YesNo, MessageAnswer::No};
        if (MessageService::show(request) != MessageAnswer::Yes)
            return false;
        SetModifiedFlag(false);
    }
    DeleteContents();
    emit viewsReset();
    return true;
}

bool C7100Document::CanSubtreeRefresh() const
{
    const Item *current = FindItem(m_current);
    return IsOpen() && current && current->isContainer();
}

bool C7100Document::SubtreeRefresh()
{
    if (!CanSubtreeRefresh())
        return false;
    ContainerItem &container = *FindContainer(m_current);
    if (!ConfirmSubtreeReload(container))
        return false;
    emit updateAllViews(nullptr, HintSubtreeReload, &container);
    BeforeSubtreeReload(container);
    if (container.loaded()) {
        container.destroyChildren();
        ForgetCurrentIfGone();
        EnsureChildren(container);
    }
    emit updateAllViews(nullptr, HintRebuild, &container);
    return true;
}

void C7100Document::OnSelectionChanged(ItemHandle, ItemHandle, ItemHandle)
{
}

bool C7100Document::IsNameValid(const QString &name) const
{
    return !name.contains(PathSeparator()) && TextRules::IsValidName(name);
}

QString C7100Document::GetPath(const Item &item) const
{
    QStringList names;
    for (const Item *up = &item; up; up = up->parent()) {
        if (up->kind() == ItemKind::Root && !up->shown())
            continue;
        const QString name = GetName(*up);
        names.prepend(name.isEmpty() ? Str(TreeStrings::EmptyName) : name);
    }
    return PathPrefix() + names.join(PathSeparator());
}

QStringList C7100Document::SplitPath(const QString &path) const
{
    QString rest = path;
    if (rest.startsWith(PathPrefix()))
        rest = rest.mid(PathPrefix().size());
    return rest.isEmpty() ? QStringList() : rest.split(PathSeparator());
}

bool C7100Document::IsNameUnique(const Item &item) const
{
    const ContainerItem *parent = item.parent();
    if (!parent)
        return true;
    const int column = NameColumn(item.level());
    const QVariant &name = item.values()[size_t(column)];
    bool unique = true;
    parent->forEachChild([&](Item &sibling) {
        if (unique && &sibling != &item && &sibling.level() == &item.level() &&
            SameName(sibling.values()[size_t(column)], name))
            unique = false;
    });
    return unique;
}

QVariant C7100Document::ConvertUnits(bool, const QVariant &value, const ColumnInfo &,
                                     const CTableLevel &) const
{
    return value;
}

QVariant C7100Document::ToDisplay(const QVariant &value, const ColumnInfo &column,
                                  const CTableLevel &level) const
{
    const QVariant converted = ConvertUnits(true, value, column, level);
    if (column.binding.type == FieldType::Bool)
        return Str(converted.toBool() ? TreeStrings::Yes : TreeStrings::No);
    return converted.toString();
}

QVariant C7100Document::FromDisplay(const QVariant &value, const ColumnInfo &column,
                                    const CTableLevel &level) const
{
    QVariant stored = value;
    if (column.binding.type == FieldType::Bool && VarTypeOf(value) == VT_BSTR) {
        if (value.toString() == Str(TreeStrings::Yes))
            stored = true;
        else if (value.toString() == Str(TreeStrings::No))
            stored = false;
    }
    return ConvertUnits(false, stored, column, level);
}

QString C7100Document::ClipboardFormatSuffix() const
{
    // Without a class identifier the application's name stands in for it.
    return Str(TreeStrings::ApplicationName);
}
