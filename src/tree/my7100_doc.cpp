#include "tree/my7100_doc.h"

#include "db/project_transaction.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/variant_value.h"
#include "log/output_log.h"
#include "params/module_parameters.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/item_errors.h"
#include "tree/module_dialog_service.h"
#include "tree/project_counters.h"
#include "tree/tree_queries.h"
#include "tree/tree_strings.h"

#include <QMetaObject>
#include <QSqlQuery>

#include <cmath>

namespace {
using namespace HierarchyStrings;

const QString kSignals = QStringLiteral("Signals");
const QString kSignalsRoot = QStringLiteral("SignalsRoot");
const QString kName = QStringLiteral("Name");
const QString kTypeId = QStringLiteral("ModulTypID");
const QString kChannelSignal[2] = {QStringLiteral("Ch1SignalID"), QStringLiteral("Ch2SignalID")};
const QString kOutputErrorValue = QStringLiteral("OutputErrorValue");
// Values from this column on are what a module or signal takes from its
// source: the ID, ParentID and Name before it are its own.
constexpr size_t kFirstCopiedColumn = 3;
constexpr int kVoltageOutput = 2;
constexpr int kCurrentOutput = 1;

// A 0..5.75 V error value as the matching 0..23 mA one, to three decimals of
// a milliampere: v x 5.75 / 23 is v / 4 exactly, so integers carry it.
qint32 VoltageErrorAsCurrent(qint32 value)
{
    return qint32(std::llround(double(value) / 4000.0) * 1000);
}

} // namespace

CMy7100Doc::CMy7100Doc(QObject *parent) : C7100Document(parent), m_lookup(*this), m_dialog(*this, m_lookup)
{
    SetListViewClass(QStringLiteral("CMy7100View"));
}

bool CMy7100Doc::IsModule(const Item &item)
{
    return FamilyOfModuleLevel(item.level().displayString()).has_value();
}

bool CMy7100Doc::IsFolder(const Item &item)
{
    return ProjectCounters::RowOfFolder(item.level().displayString()) != 0;
}

bool CMy7100Doc::IsSignal(const Item &item)
{
    return item.level().displayString() == SignalName;
}

int CMy7100Doc::ModuleNameString(ModuleFamily family)
{
    switch (family) {
    case Family7210:
        return Module7210Name;
    case Family7220:
        return Module7220Name;
    case Family7230:
        break;
    }
    return Module7230Name;
}

void CMy7100Doc::SetModuleConnected(bool connected, const QString &channel1, const QString &channel2)
{
    m_moduleConnected = connected;
    m_connectedNames = {connected ? channel1 : QString(), connected ? channel2 : QString()};
}

void CMy7100Doc::Refuse(const QString &text) const
{
    MessageService::error(text);
    WriteLogLine(text);
}

// ---------------------------------------------------------------- link start

void CMy7100Doc::LinkStartInHook()
{
    if (m_linkStarted)
        return;
    m_linkStarted = true;
    if (IsOpen())
        emit linkStartRequested();
    emit updateAllViews(nullptr, HintLinkStarted, nullptr);
    // The tree is not rebuilt here: the hook runs inside an operation on
    // items that a rebuild would destroy under it.
}

void CMy7100Doc::StartLink()
{
    if (m_linkStarted)
        return;
    LinkStartInHook();
    DeleteContents();
    emit viewsReset();
}

// ---------------------------------------------------------------- permits

bool CMy7100Doc::CanInsert(ContainerItem &, int nameStringId)
{
    if (nameStringId == SignalName) {
        if (!m_insertPermits[0] && !m_insertPermits[1]) {
            Refuse(Str(CantInsertSignal));
            return false;
        }
        m_insertPermits = {false, false};
    }
    LinkStartInHook();
    return true;
}

bool CMy7100Doc::CanBeginEdit(Item &)
{
    LinkStartInHook();
    return true;
}

bool CMy7100Doc::CanDelete(Item &item)
{
    if (item.level().displayString() == ProjectName) {
        Refuse(Str(CantDeleteProject));
        return false;
    }
    if (IsSignal(item)) {
        if (!m_deletePermits[0] && !m_deletePermits[1]) {
            Refuse(Str(CantDeleteSignal));
            return false;
        }
        m_deletePermits = {false, false};
    }
    LinkStartInHook();
    return true;
}

bool CMy7100Doc::CanCancelEdit(Item &item)
{
    if (item.editState() == EditState::New)
        m_pendingModules.remove(item.handle());
    LinkStartInHook();
    return true;
}

void CMy7100Doc::OnInserted(Item &item)
{
    if (IsModule(item))
        m_pendingModules.insert(item.handle());
}

// ---------------------------------------------------------------- folders

QString CMy7100Doc::DefaultFolderName(int nameStringId)
{
    const int row = ProjectCounters::RowOfFolder(nameStringId);
    if (row == 0)
        return QString();
    const std::optional<int> counter = ProjectCounters(*this).Read(row);
    if (!counter)
        return QString();
    return FormatText(QStringLiteral("%s%d"), {Str(nameStringId), *counter});
}

bool CMy7100Doc::CheckFolderName(Item &item, const QString &newName)
{
    const QString name = newName.isEmpty() ? GetName(item) : newName;
    // Refused before the counter moves, so that a refused name changes
    // nothing at all.
    if (!IsNameValid(name)) {
        Refuse(ItemErrorMessage(*this, item, item.editState(), TreeStrings::InvalidNameCharacters));
        return false;
    }
    bool taken = false;
    if (ContainerItem *parent = item.parent()) {
        for (const auto &sibling : parent->containerChildren())
            taken = taken || (sibling.get() != &item && GetName(*sibling) == name);
    }
    if (taken) {
        Refuse(StrF(FolderNameExists, {name}));
        return false;
    }
    // A folder from "Add New" still new raises its counter once, when it is
    // stored.
    const bool countedWhenStored = item.editState() == EditState::New && item.handle() == ItemToRename();
    if (const int row = ProjectCounters::RowOfFolder(item.level().displayString()); row && !countedWhenStored)
        ProjectCounters(*this).Raise(row);
    return true;
}

bool CMy7100Doc::StoreFolderNamed(Item &item, const QString &name)
{
    return RunInTransaction([&] {
        return CheckFolderName(item, name) && SetValue(item, kName, name, true) && Save(item);
    });
}

Item *CMy7100Doc::AddNewFolder(ContainerItem &parent, int nameStringId)
{
    // The new folder becomes the current item: what the present one holds
    // unapplied is asked about first.
    if (!ProjectCounters::RowOfFolder(nameStringId) || !AskSaveChanges() || !StoreNewParent(parent))
        return nullptr;
    Item *item = CreateItem(parent, nameStringId);
    if (!item)
        return nullptr;
    SetValue(*item, kName, DefaultFolderName(nameStringId), true);
    // It stays new in its form until "Apply" stores it; "Reset" removes it.
    const ItemHandle handle = item->handle();
    ActivateCreatedItem(*item, true);
    if (CurrentItem() != handle) {
        DiscardNow(FindItem(handle));
        return nullptr;
    }
    return item;
}

// ---------------------------------------------------------------- new modules

bool CMy7100Doc::StoreNewParent(ContainerItem &parent)
{
    // A folder still new in its form is stored before anything goes below
    // it: a child needs its parent's row.
    return parent.editState() != EditState::New || Save(parent);
}

Item *CMy7100Doc::AddNewModule(ContainerItem &parent, ModuleFamily family, qint32 typeId)
{
    if (!StoreNewParent(parent))
        return nullptr;
    SetFamily(family);
    Item *item = CreateItem(parent, ModuleNameString(family));
    if (!item)
        return nullptr;
    SetValue(*item, kTypeId, typeId, true);
    const ItemHandle handle = item->handle();
    if (!SaveNewModule(*item)) {
        DiscardNow(FindItem(handle));
        return nullptr;
    }
    return FindItem(handle);
}

bool CMy7100Doc::SaveNewModule(Item &module)
{
    // The module row, its signals, its default values and the counters they
    // draw are one change: a failure anywhere, or a kill, leaves none of it.
    ProjectTransaction transaction(Registry().session());
    const ItemHandle parent = module.parent() ? module.parent()->handle() : 0;
    m_completionFailed = false;
    const bool saved = Save(module);
    const bool complete = saved && !m_completionFailed;
    if (!transaction.Own())
        return complete;
    if (complete && transaction.Commit()) {
        m_completionFailed = false;
        return true;
    }
    transaction.Rollback();
    if (saved) {
        Refuse(StrF(ModuleNotCreated, {m_dialog.ModuleName()}));
        // The module and its signals entered the tree for rows the rollback
        // took away again.
        ReloadAfterRollback(parent);
    }
    m_completionFailed = false;
    return false;
}

void CMy7100Doc::DiscardNow(Item *item)
{
    if (item && item->editState() == EditState::New)
        CancelEdit(*item);
}

void CMy7100Doc::DiscardLater(ItemHandle handle)
{
    // The save that asked is still running on the item; it goes once that
    // save has returned, unless the caller has removed it already.
    QMetaObject::invokeMethod(
        this,
        [this, handle] {
            Item *item = FindItem(handle);
            if (item && item->editState() == EditState::New)
                CancelEdit(*item);
        },
        Qt::QueuedConnection);
}

bool CMy7100Doc::PrepareDialog(Item &module)
{
    m_dialog.SetTypeId(GetValue(module, kTypeId, true).toInt());
    if (m_conversion.running) {
        m_dialog.SetMode(ModuleDialogMode::Conversion);
        m_dialog.SetTitle(ConversionTitle);
        m_dialog.SetSignalNames(m_conversion.oldNames[0], m_conversion.oldNames[1]);
        m_dialog.SetOwnSignals(m_conversion.oldSignalIds[0], m_conversion.oldSignalIds[1]);
        m_origin = ModuleOrigin::Converted;
    } else if (!Bulk()) {
        m_dialog.SetTitle(NewModuleTitle);
        m_dialog.SetMode(m_moduleConnected ? ModuleDialogMode::NewWhileConnected
                                           : ModuleDialogMode::NewModule);
        if (m_moduleConnected)
            m_dialog.SetSignalNames(m_connectedNames[0], m_connectedNames[1]);
        m_origin = ModuleOrigin::Created;
    } else {
        const bool move = Bulk()->move;
        m_dialog.SetTitle(CopyTitle);
        m_dialog.SetMode(ModuleDialogMode::CopyOrMove);
        m_dialog.SetInteractive(!move);
        if (move) {
            const ParameterRow first = SourceSignal(GetValue(module, kChannelSignal[0], true).toInt());
            const ParameterRow second = SourceSignal(GetValue(module, kChannelSignal[1], true).toInt());
            m_dialog.SetSignalNames(first.textValue(kName), second.textValue(kName));
        }
        m_origin = move ? ModuleOrigin::Moved : ModuleOrigin::Copied;
    }
    return m_dialog.Prepare();
}

bool CMy7100Doc::BeforeSave(Item &item, const RowValues &, const RowValues &)
{
    if (!m_pendingModules.contains(item.handle()) || !IsModule(item)) {
        LinkStartInHook();
        return true;
    }
    m_dialog.Reset();
    const bool prepared = PrepareDialog(item);
    if (!prepared && !m_conversion.running) {
        // Without its type row a module has no channels, no defaults and no
        // name: nothing sound can be stored.
        Refuse(StrF(UnknownModuleType, {GetValue(item, kTypeId, true).toInt()}));
        m_pendingModules.remove(item.handle());
        return false;
    }
    if (m_origin == ModuleOrigin::Copied || m_origin == ModuleOrigin::Moved) {
        // A copy or a move cannot be cancelled here; only a type that no
        // table has refuses the save.
        if (!prepared) {
            m_pendingModules.remove(item.handle());
            return false;
        }
        // Within a bulk operation nothing is asked per module: a copy takes
        // the proposed names (the next free ones where another signal has
        // them), so that a multiply of thousands runs through and its
        // progress window's Cancel stays in reach. Names the checks refuse
        // are never stored: the copy fails whole.
        const bool accepted = ModuleDialogService::acceptProposals(m_dialog);
        m_dialog.SetInteractive(true);
        if (!accepted) {
            m_pendingModules.remove(item.handle());
            return false;
        }
        LinkStartInHook();
        return true;
    }
    if (!ModuleDialogService::run(m_dialog)) {
        m_pendingModules.remove(item.handle());
        if (m_conversion.running)
            m_conversion.cancelled = true;
        DiscardLater(item.handle());
        return false;
    }
    LinkStartInHook();
    return true;
}

void CMy7100Doc::OnSaved(Item &item, const RowValues &oldValues, const RowValues &)
{
    // A folder from "Add New" took its name from the counter: once stored,
    // the next one is proposed with the following number, and the log says
    // it was made, whichever way it was stored (its form, a label edit).
    if (oldValues.empty() && item.handle() == ItemToRename()) {
        if (const int row = ProjectCounters::RowOfFolder(item.level().displayString())) {
            ProjectCounters(*this).Raise(row);
            WriteLogLine(StrF(FolderCreated, {GetName(item)}));
        }
    }
    if (!m_pendingModules.remove(item.handle()))
        return;
    // Runs inside the transaction of SaveNewModule (or of the bulk operation),
    // which commits or rolls back the whole module.
    CompleteNewModule(item);
}

bool CMy7100Doc::RunInTransaction(const std::function<bool()> &work)
{
    ProjectTransaction transaction(Registry().session());
    const bool ok = work();
    if (!transaction.Own())
        return ok;
    if (ok && transaction.Commit())
        return true;
    transaction.Rollback();
    return false;
}

ParameterRow CMy7100Doc::ReadRow(const QString &table, qint32 id)
{
    DbSession *session = Registry().session();
    CTableLevel *level = Registry().levels() ? Registry().levels()->FindByTable(table) : nullptr;
    if (!session || !level || id <= 0)
        return ParameterRow();
    try {
        return ProjectParameterRows::ReadRowById(*session, *level, id);
    } catch (COLEDBException &error) {
        ReportDataError(error, ReportErrors());
        m_completionFailed = true;
        return ParameterRow();
    }
}

void CMy7100Doc::CopyFromFourthColumn(Item &target, const std::vector<ColumnInfo> &sourceColumns,
                                      const RowValues &source)
{
    const std::vector<ColumnInfo> *columns = target.level().GetColumns();
    for (size_t i = kFirstCopiedColumn; columns && i < columns->size(); ++i) {
        const QString &name = (*columns)[i].name;
        for (size_t j = kFirstCopiedColumn; !name.isEmpty() && j < sourceColumns.size() && j < source.size();
             ++j) {
            if (sourceColumns[j].name.compare(name, Qt::CaseInsensitive) == 0) {
                SetValue(target, int(i), source[j], true);
                break;
            }
        }
    }
}

std::array<qint32, 2> CMy7100Doc::TakeModuleValues(Item &module, qint32 typeId)
{
    std::array<qint32, 2> defaults{};
    const QString name = m_dialog.ModuleName();
    switch (m_origin) {
    case ModuleOrigin::Created: {
        const ParameterRow row = ReadRow(TablesOfFamily(Family()).defaultModules, typeId);
        if (row.isValid()) {
            CopyFromFourthColumn(module, *row.columns, row.values);
            defaults = {row.intValue(kChannelSignal[0]), row.intValue(kChannelSignal[1])};
        }
        m_originLogLine = StrF(ModuleCreated, {name});
        break;
    }
    case ModuleOrigin::Copied:
        m_originLogLine = StrF(ModuleCopied, {name});
        break;
    case ModuleOrigin::Moved:
        m_originLogLine = StrF(ModuleMoved, {name});
        break;
    case ModuleOrigin::Converted: {
        if (Item *old = FindItem(m_conversion.oldModule))
            if (const std::vector<ColumnInfo> *columns = old->level().GetColumns())
                CopyFromFourthColumn(module, *columns, old->values());
        SetValue(module, kTypeId, typeId, true);
        const ParameterRow row = ReadRow(TablesOfFamily(Family7230).defaultModules, typeId);
        if (row.isValid())
            defaults = {row.intValue(kChannelSignal[0]), row.intValue(kChannelSignal[1])};
        m_originLogLine = StrF(ModuleConverted, {name});
        break;
    }
    }
    return defaults;
}

ParameterRow CMy7100Doc::SignalSource(int channel, qint32 defaultSignal, const Item &module)
{
    switch (m_origin) {
    case ModuleOrigin::Created:
        return ReadRow(QStringLiteral("DefaultSignals"), defaultSignal);
    case ModuleOrigin::Copied:
    case ModuleOrigin::Moved:
        // The values written with the copy still name the source's signals.
        return SourceSignal(GetValue(module, kChannelSignal[channel - 1], true).toInt());
    case ModuleOrigin::Converted:
        if (channel == 1 || m_conversion.oldChannelCount == 2)
            return ReadSignalToMove(m_conversion.oldSignalIds[size_t(channel - 1)]);
        return ReadRow(QStringLiteral("DefaultSignals"), defaultSignal);
    }
    return ParameterRow();
}

ContainerItem *CMy7100Doc::SignalsRoot()
{
    Item *root = m_lookup.LoadRow(kSignalsRoot, 1);
    return root ? root->asContainer() : nullptr;
}

Item *CMy7100Doc::CreateSignal(int channel, const QString &name, const ParameterRow &source, bool rescale)
{
    ContainerItem *root = SignalsRoot();
    if (!root)
        return nullptr;
    m_insertPermits[size_t(channel - 1)] = true;
    Item *signal = CreateItem(*root, SignalName);
    m_insertPermits = {false, false};
    if (!signal)
        return nullptr;
    SetValue(*signal, kName, name, true);
    if (source.isValid()) {
        CopyFromFourthColumn(*signal, *source.columns, source.values);
        if (rescale)
            SetValue(*signal, kOutputErrorValue, VoltageErrorAsCurrent(source.intValue(kOutputErrorValue)),
                     true);
    }
    // A signal that cannot be written is reported by its save, and the
    // module is not made.
    if (!Save(*signal)) {
        CancelEdit(*signal);
        return nullptr;
    }
    return signal;
}

void CMy7100Doc::CompleteNewModule(Item &module)
{
    const qint32 typeId = m_dialog.TypeId();
    DbSession *session = Registry().session();
    std::optional<ModuleTypeInfo> type;
    try {
        if (session && Registry().levels())
            type = FindModuleType(*session, *Registry().levels(), typeId);
    } catch (COLEDBException &error) {
        ReportDataError(error, ReportErrors());
    }
    if (!type || !BeginEdit(module)) {
        m_completionFailed = true;
        return;
    }
    const int channels = type->channelCount;
    const std::array<qint32, 2> defaults = TakeModuleValues(module, typeId);
    SetValue(module, kName, m_dialog.ModuleName(), true);

    bool rescale = false;
    if (m_origin == ModuleOrigin::Converted) {
        std::optional<ModuleTypeInfo> oldType;
        try {
            oldType = FindModuleType(*session, *Registry().levels(), m_conversion.oldTypeId);
        } catch (COLEDBException &error) {
            ReportDataError(error, ReportErrors());
        }
        rescale = oldType && type && oldType->outputSignal == kVoltageOutput &&
                  type->outputSignal == kCurrentOutput;
    }
    const QString names[2] = {m_dialog.SignalName1(), m_dialog.SignalName2()};
    for (int channel = 1; channel <= 2; ++channel) {
        qint32 signalId = 0;
        if (channel <= channels) {
            const ParameterRow source = SignalSource(channel, defaults[size_t(channel - 1)], module);
            const bool rescaleThis = rescale && (m_origin != ModuleOrigin::Converted || channel == 1 ||
                                                 m_conversion.oldChannelCount == 2);
            if (Item *signal = CreateSignal(channel, names[channel - 1], source, rescaleThis))
                signalId = signal->id().toInt();
            else
                m_completionFailed = true;
        }
        // A one-channel module names no second signal, whatever its source
        // named there: a delete would take that row along.
        SetValue(module, kChannelSignal[channel - 1], signalId, true);
    }
    if (!Save(module))
        m_completionFailed = true;
    if (!m_completionFailed)
        WriteLogLine(m_originLogLine);
}

// ---------------------------------------------------------------- conversion

bool CMy7100Doc::CanConvertModule() const
{
    const Item *current = FindItem(CurrentItem());
    return current && current->level().displayString() == Module7230Name;
}

bool CMy7100Doc::ConvertModule()
{
    if (!CanConvertModule() || !AskSaveChanges())
        return false;
    Item &old = *FindItem(CurrentItem());
    DbSession *session = Registry().session();
    CTableLevel *types = Registry().levels()->FindByTable(ModuleTypeTable(Family7230));
    m_conversion = Conversion();
    m_conversion.running = true;
    struct EndConversion {
        Conversion &conversion;
        ~EndConversion() { conversion = Conversion(); }
    } endConversion{m_conversion};

    m_conversion.oldModule = old.handle();
    m_conversion.oldTypeId = GetValue(old, kTypeId, true).toInt();
    ParameterRow type;
    try {
        type = ProjectParameterRows::ReadRowById(*session, *types, m_conversion.oldTypeId);
    } catch (COLEDBException &error) {
        ReportDataError(error, ReportErrors());
        return false;
    }
    if (!type.isValid())
        return false;
    m_conversion.oldChannelCount = type.intValue("Channels") + 1;
    for (int channel = 1; channel <= m_conversion.oldChannelCount; ++channel) {
        Item *signal = SignalOfChannel(old, channel);
        if (!signal)
            return false;
        m_conversion.oldNames[size_t(channel - 1)] = GetName(*signal);
        m_conversion.oldSignalIds[size_t(channel - 1)] = signal->id().toInt();
    }
    SetFamily(Family7230);
    Item *converted = CreateItem(*old.parent(), Module7230Name);
    if (!converted)
        return false;
    SetValue(*converted, kTypeId, m_conversion.oldTypeId, true);
    const ItemHandle convertedHandle = converted->handle();
    const bool saved = SaveNewModule(*converted);
    if (!saved || m_conversion.cancelled) {
        DiscardNow(FindItem(convertedHandle));
        return false;
    }
    Delete(old);
    Select(convertedHandle);
    return true;
}

// ---------------------------------------------------------------- rename

bool CMy7100Doc::RenameModule(Item &item)
{
    if (IsFolder(item)) {
        emit renameRequested(item.handle(), true);
        return true;
    }
    Item *module = &item;
    if (IsSignal(item)) {
        std::optional<SignalOwner> owner;
        try {
            owner = ProjectParameterRows::FindSignalOwner(*Registry().session(), *Registry().levels(),
                                                          item.id().toInt());
        } catch (COLEDBException &error) {
            ReportDataError(error, ReportErrors());
            return false;
        }
        module = owner ? m_lookup.LoadRow(owner->moduleTable, owner->moduleId) : nullptr;
    }
    if (!module || !IsModule(*module))
        return false;
    Item *signal1 = SignalOfChannel(*module, 1);
    Item *signal2 = SignalOfChannel(*module, 2);
    m_dialog.Reset();
    m_dialog.SetMode(ModuleDialogMode::Rename);
    m_dialog.SetTitle(RenameTitle);
    m_dialog.SetTypeId(GetValue(*module, kTypeId, true).toInt());
    m_dialog.SetSignalNames(signal1 ? GetName(*signal1) : QString(), signal2 ? GetName(*signal2) : QString());
    m_dialog.SetOwnSignals(signal1 ? signal1->id().toInt() : 0, signal2 ? signal2->id().toInt() : 0);
    m_dialog.Prepare();
    if (!ModuleDialogService::run(m_dialog))
        return false;
    const ItemHandle moduleHandle = module->handle();
    const ItemHandle parent = module->parent() ? module->parent()->handle() : 0;
    // The module and its signals carry their names together, or keep the
    // old ones together.
    const bool renamed = RunInTransaction([&] {
        const auto rename = [this](Item *target, const QString &name) {
            if (!target)
                return true;
            if (!BeginEdit(*target) || !SetValue(*target, kName, name, true))
                return false;
            if (Save(*target))
                return true;
            CancelEdit(*target);
            return false;
        };
        return rename(module, m_dialog.ModuleName()) && rename(signal1, m_dialog.SignalName1()) &&
               (m_dialog.ChannelCount() != 2 || rename(signal2, m_dialog.SignalName2()));
    });
    if (!renamed) {
        ReloadAfterRollback(parent);
        return false;
    }
    emit updateAllViews(nullptr, HintRebuild, nullptr);
    Select(moduleHandle);
    emit selectInTree(moduleHandle);
    return true;
}

bool CMy7100Doc::CanMultiply(const Item &item) const
{
    return item.level().displayString() != ProjectName;
}

CMy7100Doc::RenameStep CMy7100Doc::Rename(Item &item)
{
    if (item.level().attributes().readOnly)
        return RenameStep::Refused;
    if (IsModule(item) || IsSignal(item)) {
        RenameModule(item);
        return RenameStep::Done;
    }
    return RenameStep::EditInPlace;
}

bool CMy7100Doc::SaveInBulk(Item &item)
{
    m_completionFailed = false;
    const bool saved = Save(item);
    const bool complete = saved && !m_completionFailed;
    m_completionFailed = false;
    return complete;
}

// ---------------------------------------------------------------- deleting

bool CMy7100Doc::AskSaveChanges()
{
    if (!m_saveChangesHooks.isModified)
        return true;
    return ::AskSaveChanges(m_saveChangesHooks);
}

bool CMy7100Doc::Delete(Item &item, QObject *sender)
{
    // A folder goes with everything below it, or nothing of it goes.
    ProjectTransaction transaction(Registry().session());
    const ItemHandle parent = item.parent() ? item.parent()->handle() : 0;
    if (transaction.Own())
        m_cascadeFailed = false;
    const bool deleted = C7100Document::Delete(item, sender);
    if (!transaction.Own())
        return deleted;
    if (deleted && !m_cascadeFailed && transaction.Commit())
        return true;
    transaction.Rollback();
    if (deleted)
        ReloadAfterRollback(parent);
    m_cascadeFailed = false;
    return false;
}

void CMy7100Doc::ReloadAfterRollback(ItemHandle parent)
{
    // Items were taken from memory for rows the rollback brought back, or
    // entered it for rows the rollback took away; signals hang elsewhere.
    const ContainerItem *signalsRoot = SignalsRoot();
    const ItemHandle signalsHandle = signalsRoot ? signalsRoot->handle() : 0;
    C7100Document::ReloadAfterRollback(parent);
    if (signalsHandle && signalsHandle != parent)
        C7100Document::ReloadAfterRollback(signalsHandle);
}

// ---------------------------------------------------------------- copy and paste

void CMy7100Doc::AfterPasteRollback()
{
    if (const ContainerItem *signalsRoot = SignalsRoot())
        C7100Document::ReloadAfterRollback(signalsRoot->handle());
}

void CMy7100Doc::DescribeCompanions(Item &item, TransferSet &set)
{
    if (ContainerItem *container = item.asContainer()) {
        container->forEachChild([&](Item &child) { DescribeCompanions(child, set); });
        return;
    }
    if (!IsModule(item))
        return;
    for (const QString &column : kChannelSignal) {
        const qint32 id = GetValue(item, column, true).toInt();
        if (id <= 0 || set.companion(kSignals, id))
            continue;
        const ParameterRow row = ReadRow(kSignals, id);
        if (!row.isValid())
            continue;
        ItemDescriptor signal;
        signal.table = kSignals;
        for (const ColumnInfo &info : *row.columns)
            signal.columnNames << info.name;
        signal.values = row.values;
        set.companions[kSignals][id] = std::move(signal);
    }
}

void CMy7100Doc::TakeStoredModuleValues(ItemHandle module)
{
    TakeStoredValues([module](const Item &item) { return item.handle() == module; });
    const Item *item = FindItem(module);
    if (!item)
        return;
    for (const QString &column : kChannelSignal) {
        const qint32 id = GetValue(*item, column, true).toInt();
        if (id > 0)
            TakeStoredValues([id](const Item &signal) { return IsSignal(signal) && signal.id().toInt() == id; });
    }
}

ParameterRow CMy7100Doc::ReadSignalToMove(qint32 id)
{
    ParameterRow row = ReadRow(kSignals, id);
    if (row.isValid())
        TakeStoredValues(kSignals, id, row.values);
    return row;
}

ParameterRow CMy7100Doc::SourceSignal(qint32 id)
{
    const TransferSet *foreign = ForeignPasteSet();
    if (!foreign)
        return Bulk() && Bulk()->move ? ReadSignalToMove(id) : ReadRow(kSignals, id);
    // The IDs name rows of the source database; this one's rows under the
    // same IDs belong to other modules.
    const ItemDescriptor *row = foreign->companion(kSignals, id);
    if (!row)
        return ParameterRow();
    std::vector<ColumnInfo> &columns = m_transferColumns[row->columnNames];
    if (columns.empty()) {
        for (const QString &name : row->columnNames) {
            ColumnInfo info;
            info.name = name;
            columns.push_back(info);
        }
    }
    return ParameterRow{&columns, row->values};
}

void CMy7100Doc::OnDeleted(Item &item)
{
    try {
        if (IsModule(item)) {
            for (int channel = 1; channel <= 2; ++channel) {
                const qint32 id = GetValue(item, kChannelSignal[channel - 1], true).toInt();
                if (id > 0)
                    DeleteSignal(id, channel);
            }
        } else if (IsFolder(item)) {
            if (ContainerItem *folder = item.asContainer())
                DeleteLoadedChildren(*folder);
            DeleteRowsBelow(item.level(), item.id().toInt());
        }
    } catch (COLEDBException &error) {
        AddMessage(error, TreeStrings::CantDeleteItem, {GetLevelName(item)});
        ReportDataError(error, ReportErrors());
        m_cascadeFailed = true;
    }
    emit moduleDisplayChanged();
}

void CMy7100Doc::DeleteSignal(qint32 signalId, int channel)
{
    m_deletePermits[size_t(channel - 1)] = true;
    Item *signal = FindRow(kSignals, signalId, true);
    if (signal) {
        if (!Delete(*signal))
            m_cascadeFailed = true;
    } else {
        m_deletePermits = {false, false};
        RunStatement(*Registry().session(),
                     QStringLiteral("DELETE FROM Signals WHERE [ID] = %1").arg(signalId));
    }
}

void CMy7100Doc::DeleteLoadedChildren(ContainerItem &folder)
{
    std::vector<ItemHandle> children;
    folder.forEachChild([&](Item &child) { children.push_back(child.handle()); });
    for (ItemHandle handle : children) {
        Item *child = FindItem(handle);
        if (child && !Delete(*child))
            m_cascadeFailed = true;
    }
}

void CMy7100Doc::DeleteRowsBelow(CTableLevel &level, qint32 id)
{
    // What the database still holds below a deleted folder: rows that were
    // never loaded as items.
    DbSession &session = *Registry().session();
    for (CTableLevel *child : Registry().levels()->ChildLevels(level)) {
        const QString parentColumn = child->ParentColumnName();
        if (parentColumn.isEmpty())
            continue;
        const bool module = FamilyOfModuleLevel(child->displayString()).has_value();
        const QString where =
            QStringLiteral(" FROM %1 WHERE [%2] = %3").arg(child->tableName(), parentColumn).arg(id);
        if (module || child->kind() == LevelKind::Container) {
            QSqlQuery rows =
                RunStatement(session, (module ? QStringLiteral("SELECT [ID], [Ch1SignalID], [Ch2SignalID]")
                                              : QStringLiteral("SELECT [ID]")) +
                                          where);
            std::vector<std::array<qint32, 3>> found;
            while (rows.next())
                found.push_back({rows.value(0).toInt(), module ? rows.value(1).toInt() : 0,
                                 module ? rows.value(2).toInt() : 0});
            for (const auto &[rowId, first, second] : found) {
                if (module) {
                    if (first > 0)
                        DeleteSignal(first, 1);
                    if (second > 0)
                        DeleteSignal(second, 2);
                } else {
                    DeleteRowsBelow(*child, rowId);
                }
            }
        }
        RunStatement(session, QStringLiteral("DELETE") + where);
    }
}
