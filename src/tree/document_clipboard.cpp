// Copy, cut and paste of items and subtrees: the transfer set, the paste
// core shared by the clipboard, every drop and the command line, and the
// completion of a cut.
#include "tree/document.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/project_transaction.h"
#include "base/message_service.h"
#include "log/output_log.h"
#include "base/string_table.h"
#include "tree/clipboard_strings.h"
#include "tree/item_progress.h"
#include "tree/long_operation_strings.h"
#include "tree/tree_strings.h"

#include <QPointer>

#include <algorithm>

namespace {
using namespace ClipboardStrings;
constexpr int kMaxUniqueTries = 10000;
// Not a text: the paste target was deleted by another program, which ends
// the paste with its own report.
constexpr int kTargetGone = -1;

} // namespace

ClipboardPort &C7100Document::Clipboard()
{
    return m_clipboard ? *m_clipboard : ClipboardService::Port();
}

bool C7100Document::CanCopy(const Item *item) const
{
    return item && item->editState() == EditState::Clean && !item->level().attributes().readOnly;
}

bool C7100Document::DescribeItem(Item &item, ItemDescriptor &descriptor)
{
    const std::vector<ColumnInfo> *columns = item.level().GetColumns();
    if (!columns)
        return false;
    descriptor.accessorClass = item.level().accessorClass();
    descriptor.table = item.level().tableName();
    descriptor.handle = item.handle();
    descriptor.path = GetPath(item);
    for (size_t i = 0; i < columns->size(); ++i) {
        descriptor.columnNames << (*columns)[i].name;
        descriptor.values.push_back(i < item.values().size() ? item.values()[i] : QVariant());
    }
    return true;
}

bool C7100Document::DescribeContainer(ContainerItem &item, ContainerDescriptor &descriptor)
{
    if (!DescribeItem(item, descriptor.item) || !EnsureChildren(item))
        return false;
    for (const auto &leaf : item.leafChildren()) {
        if (leaf->editState() == EditState::New)
            continue;
        descriptor.leaves.emplace_back();
        if (!DescribeItem(*leaf, descriptor.leaves.back()))
            return false;
    }
    for (const auto &child : item.containerChildren()) {
        if (child->editState() == EditState::New)
            continue;
        descriptor.containers.emplace_back();
        if (!DescribeContainer(*child->asContainer(), descriptor.containers.back()))
            return false;
    }
    return true;
}

std::optional<TransferSet> C7100Document::Describe(const std::vector<Item *> &items, bool move)
{
    TransferSet set;
    set.move = move;
    set.sourceDatabase = PathName();
    for (Item *item : items) {
        if (!CanCopy(item))
            return std::nullopt;
        if (ContainerItem *container = item->asContainer()) {
            set.containers.emplace_back();
            if (!DescribeContainer(*container, set.containers.back()))
                return std::nullopt;
        } else {
            set.leaves.emplace_back();
            if (!DescribeItem(*item, set.leaves.back()))
                return std::nullopt;
        }
        DescribeCompanions(*item, set);
    }
    return set;
}

TransferPayload C7100Document::MakeTransferData(const TransferSet &set) const
{
    TransferPayload payload;
    payload.Set(m_formats.descriptor, TransferCodec::EncodeTableList(set.tableList()));
    payload.Set(m_formats.data, TransferCodec::EncodeSet(set));
    // The completion signal carries nothing; the clipboard renders it late.
    payload.Set(m_formats.completion, QByteArray());
    return payload;
}

bool C7100Document::CopyToClipboard(const std::vector<Item *> &items, bool cut)
{
    if (items.empty())
        return false;
    const std::optional<TransferSet> set = Describe(items, cut);
    if (!set)
        return false;
    const TransferPayload payload = MakeTransferData(*set);
    ClipboardPort &clipboard = Clipboard();
    // The previous data of this program leaves the clipboard first, so that
    // its release clears the old cut marks and not the new ones.
    clipboard.FlushOwn();
    ClearCutMarks();
    if (cut) {
        auto mark = [this](const ItemDescriptor &descriptor) {
            if (Item *item = FindItem(descriptor.handle)) {
                item->setCutMark(true);
                m_cutList.push_back(item->handle());
                emit updateAllViews(nullptr, HintCutMark, item);
            }
        };
        for (const ItemDescriptor &leaf : set->leaves)
            mark(leaf);
        for (const ContainerDescriptor &container : set->containers)
            mark(container.item);
    }
    QPointer<C7100Document> self(this);
    clipboard.Put(payload, ClipboardOwner{m_formats.completion,
                                          [self] {
                                              if (self)
                                                  self->CompleteCut();
                                          },
                                          [self] {
                                              if (self)
                                                  self->ClearCutMarks();
                                          }});
    return true;
}

std::optional<TransferSet> C7100Document::ReadTransferData(const TransferData &data) const
{
    if (!data.HasFormat(m_formats.descriptor) || !data.HasFormat(m_formats.data) ||
        !data.HasFormat(m_formats.completion))
        return std::nullopt;
    return TransferCodec::DecodeSet(data.Data(m_formats.data));
}

bool C7100Document::AcceptsData(const TransferData &data, const Item *target) const
{
    if (!target || !m_project.levels || !data.HasFormat(m_formats.descriptor) ||
        !data.HasFormat(m_formats.data) || !data.HasFormat(m_formats.completion))
        return false;
    const std::optional<QStringList> tables = TransferCodec::DecodeTableList(data.Data(m_formats.descriptor));
    if (!tables || tables->isEmpty())
        return false;
    const std::vector<CTableLevel *> children = m_project.levels->ChildLevels(target->level());
    for (const QString &accessor : *tables) {
        const bool placed = std::any_of(children.begin(), children.end(), [&](const CTableLevel *level) {
            return level->accessorClass() == accessor;
        });
        if (!placed)
            return false;
    }
    return true;
}

bool C7100Document::CanPaste(const Item *target)
{
    if (IsReadOnly())
        return false;
    return target && AcceptsData(Clipboard().Contents(), target);
}

bool C7100Document::PasteFromClipboard(Item *target)
{
    // Internal refusals (foreign data, no container) end the paste silently.
    ClipboardPort &clipboard = Clipboard();
    const std::optional<TransferSet> set = ReadTransferData(clipboard.Contents());
    if (!set || !target || !target->isContainer())
        return false;
    if (!PasteItems(*set, *target))
        return false;
    if (set->move)
        clipboard.RequestCompletion(m_formats.completion);
    return true;
}

CTableLevel *C7100Document::PasteLevel(const ContainerItem &parent, const QString &accessorClass) const
{
    if (!m_project.levels)
        return nullptr;
    for (CTableLevel *level : m_project.levels->ChildLevels(parent.level()))
        if (level->accessorClass() == accessorClass)
            return level;
    return nullptr;
}

Item *C7100Document::PasteOne(const ItemDescriptor &descriptor, ContainerItem &parent, ItemProgress &progress,
                              int &error)
{
    CTableLevel *level = PasteLevel(parent, descriptor.accessorClass);
    if (!level) {
        error = CantCreateStructure;
        return nullptr;
    }
    const std::vector<ColumnInfo> *columns = level->GetColumns();
    // A table of this file with a column the level does not know has
    // another structure too: the pasted row could not fill it.
    bool same = columns && int(columns->size()) == descriptor.valueCount() &&
                descriptor.columnNames.size() == descriptor.valueCount() && level->unknownColumns().isEmpty();
    for (size_t i = 0; same && i < columns->size(); ++i)
        same = (*columns)[i].name == descriptor.columnNames[qsizetype(i)];
    if (!same) {
        error = DifferentStructure;
        return nullptr;
    }
    Item *item = CreateItem(parent, level->displayString());
    if (!item || &item->level() != level) {
        if (item)
            CancelEdit(*item);
        error = UnspecifiedError;
        return nullptr;
    }
    const ItemHandle handle = item->handle();
    if (!m_pasteTop)
        m_pasteTop = handle;
    for (size_t i = 0; i < columns->size(); ++i)
        if (!(*columns)[i].name.isEmpty())
            SetValue(*item, int(i), descriptor.values[i], true);
    MakeNameUnique(*item);
    // A cancel in the progress window ends the top-level item unwritten.
    const bool saved = progress.Step(1, descriptor.path, GetPath(*item)) && SaveInBulk(*item);
    // Hooks may have removed the item already; one still New goes now.
    item = FindItem(handle);
    if (item && item->editState() == EditState::New)
        CancelEdit(*item);
    if (!saved || !item) {
        error = InsertError;
        return nullptr;
    }
    return item;
}

Item *C7100Document::PasteContainer(const ContainerDescriptor &descriptor, ContainerItem &parent,
                                    bool moveWithinDatabase, ItemProgress &progress, int &error)
{
    if (moveWithinDatabase) {
        Item *source = FindByPath(descriptor.item.path, descriptor.item.table);
        if (!source) {
            error = SourceGone;
            return nullptr;
        }
        if (&parent == source || &parent == source->parent()) {
            error = SameAsSource;
            return nullptr;
        }
        if (source->isAncestorOf(parent)) {
            error = BelowSource;
            return nullptr;
        }
    }
    Item *created = PasteOne(descriptor.item, parent, progress, error);
    ContainerItem *container = created ? created->asContainer() : nullptr;
    if (!container)
        return nullptr;
    const ItemHandle handle = container->handle();
    for (const ItemDescriptor &leaf : descriptor.leaves)
        if (progress.Cancelled() || !PasteOne(leaf, *container, progress, error))
            return nullptr;
    for (const ContainerDescriptor &inner : descriptor.containers)
        if (progress.Cancelled() || !PasteContainer(inner, *container, moveWithinDatabase, progress, error))
            return nullptr;
    return FindItem(handle);
}

bool C7100Document::PasteTopLevel(ItemHandle target, const std::function<Item *(int &)> &paste, int &error)
{
    // One transaction per top-level item: a failure or a kill leaves none of
    // it, and what was pasted before stays.
    ProjectTransaction transaction(m_project.session);
    error = 0;
    m_pasteTop = 0;
    // The target must still stand: another program may have deleted it.
    const ContainerItem *into = FindContainer(target);
    const std::optional<bool> stored = into ? StillStored(*into) : std::optional<bool>(false);
    if (!stored || !*stored) {
        error = stored ? kTargetGone : InsertError;
        return false;
    }
    Item *pasted = paste(error);
    if (!transaction.Own())
        return pasted != nullptr;
    if (pasted && transaction.Commit())
        return true;
    transaction.Rollback();
    if (!error)
        error = InsertError;
    // The item and what was saved below it entered the tree for rows the
    // rollback took away again.
    if (Item *top = FindItem(m_pasteTop)) {
        emit updateAllViews(nullptr, HintRemoved, top);
        DestroyItem(*top);
    }
    AfterPasteRollback();
    return false;
}

void C7100Document::ReloadAfterRollback(ItemHandle parent)
{
    ContainerItem *container = FindContainer(parent);
    if (!container || !container->loaded())
        return;
    std::optional<std::vector<ChildRow>> rows = ReadChildRows(*container);
    if (!rows)
        return;
    const auto sameRow = [](const Item &child, const ChildRow &row) {
        const int idColumn = row.level->IdColumnIndex();
        return row.level == &child.level() && idColumn >= 0 && idColumn < int(row.values.size()) &&
               child.id().isValid() && row.values[size_t(idColumn)].toLongLong() == child.id().toLongLong();
    };
    // A new item has no row yet; the operation that made it decides on it.
    std::vector<ItemHandle> gone;
    container->forEachChild([&](Item &child) {
        const bool kept = child.editState() == EditState::New ||
                          std::any_of(rows->begin(), rows->end(), [&](const ChildRow &row) { return sameRow(child, row); });
        if (!kept)
            gone.push_back(child.handle());
    });
    for (ItemHandle handle : gone) {
        if (Item *child = FindItem(handle)) {
            emit updateAllViews(nullptr, HintRemoved, child);
            DestroyItem(*child);
        }
    }
    std::erase_if(m_cutList, [this](ItemHandle handle) { return !FindItem(handle); });
    for (ChildRow &row : *rows) {
        bool present = false;
        container->forEachChild([&](Item &child) { present = present || sameRow(child, row); });
        if (present)
            continue;
        Item &child = container->append(MakeItem(*row.level, m_registry, std::move(row.values)));
        m_registry.enterRow(child);
        emit updateAllViews(nullptr, HintCreated, &child);
    }
}

bool C7100Document::PasteItems(const TransferSet &set, Item &targetItem)
{
    ContainerItem *target = targetItem.asContainer();
    if (!target || set.empty() || RefuseWhenReadOnly())
        return false;
    const bool sameDatabase = set.sourceDatabase == PathName();
    const ItemHandle targetHandle = target->handle();
    BulkScope bulk(*this, set.move);
    const TransferSet *foreignBefore = m_foreignPaste;
    m_foreignPaste = sameDatabase ? nullptr : &set;
    struct RestoreForeign {
        const TransferSet *&slot;
        const TransferSet *value;
        ~RestoreForeign() { slot = value; }
    } restore{m_foreignPaste, foreignBefore};
    std::unique_ptr<ItemProgress> progress = ProgressService::Begin(
        set.move ? ProgressKind::Moving : ProgressKind::Copying, set.descriptorCount());

    bool failed = false;
    int pasted = 0;
    const int topLevel = int(set.leaves.size() + set.containers.size());
    // Asks the user after a failed item; false ends the paste.
    auto goOn = [&](const ItemDescriptor &descriptor, int error, bool last) {
        failed = true;
        if (error == kTargetGone) {
            const QString text = StoppedByDeletion(LongOperationStrings::PastedBeforeGone, pasted, topLevel, targetHandle);
            WriteLogLine(text);
            MessageService::error(text);
            return false;
        }
        ContainerItem *now = FindContainer(targetHandle);
        // A cancel ends the paste without a question.
        if (!now || progress->Cancelled())
            return false;
        const QString text =
            error == SourceGone ? FillArguments(Str(SourceGone), {descriptor.path}) : Str(error);
        return ConfirmPaste(set.move, set.sourceDatabase, descriptor, *now, text, last) == MessageAnswer::Yes;
    };
    const size_t leafCount = set.leaves.size();
    for (size_t i = 0; i < leafCount; ++i) {
        if (progress->Cancelled())
            return false;
        ContainerItem *parent = FindContainer(targetHandle);
        if (!parent)
            return false;
        int error = 0;
        const ItemDescriptor &leaf = set.leaves[i];
        if (PasteTopLevel(targetHandle, [&](int &e) { return PasteOne(leaf, *parent, *progress, e); }, error))
            ++pasted;
        else if (!goOn(leaf, error, i + 1 == leafCount && set.containers.empty()))
            return false;
    }
    const bool moveWithinDatabase = sameDatabase && set.move;
    for (size_t i = 0; i < set.containers.size(); ++i) {
        if (progress->Cancelled())
            return false;
        ContainerItem *parent = FindContainer(targetHandle);
        if (!parent)
            return false;
        int error = 0;
        const ContainerDescriptor &container = set.containers[i];
        if (PasteTopLevel(
                targetHandle,
                [&](int &e) { return PasteContainer(container, *parent, moveWithinDatabase, *progress, e); },
                error))
            ++pasted;
        else if (!goOn(container.item, error, i + 1 == set.containers.size()))
            return false;
    }
    return !failed && !progress->Cancelled();
}

MessageAnswer C7100Document::ConfirmPaste(bool move, const QString &sourceDatabase,
                                          const ItemDescriptor &descriptor, const Item &target,
                                          const QString &errorText, bool last)
{
    QString text;
    if (sourceDatabase != PathName())
        text += FillArguments(Str(SourceDatabase), {sourceDatabase});
    text += FillArguments(Str(SourceAndDestination), {descriptor.path, GetPath(target)});
    text += Str(move ? CantMove : CantCopy);
    text += errorText;
    if (last)
        return MessageService::show({text, MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok});
    text += Str(move ? ProceedMoving : ProceedCopying);
    return MessageService::show({text, MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes});
}

Item *C7100Document::FindByPath(const QString &path, const QString &table)
{
    if (!m_project.levels || !m_root || !path.startsWith(PathPrefix()))
        return nullptr;
    QStringList tables;
    for (CTableLevel *level = m_project.levels->FindByTable(table); level;) {
        if (level->kind() == ItemKind::Root) {
            if (m_root->shown())
                tables.prepend(level->tableName());
            break;
        }
        tables.prepend(level->tableName());
        level = m_project.levels->FindByTable(level->parentTable());
    }
    const QStringList names = SplitPath(path);
    if (tables.isEmpty() || names.size() != tables.size())
        return nullptr;
    auto nameOf = [this](const Item &item) {
        const QString name = GetName(item);
        return name.isEmpty() ? Str(TreeStrings::EmptyName) : name;
    };
    qsizetype first = 0;
    Item *current = m_root.get();
    if (m_root->shown()) {
        if (nameOf(*m_root) != names[0])
            return nullptr;
        first = 1;
    }
    for (qsizetype i = first; i < names.size() && current; ++i) {
        ContainerItem *container = current->asContainer();
        if (!container || !EnsureChildren(*container))
            return nullptr;
        Item *next = nullptr;
        auto match = [&](const std::vector<std::unique_ptr<Item>> &children) {
            for (const auto &child : children)
                if (!next && child->level().tableName() == tables[i] && nameOf(*child) == names[i])
                    next = child.get();
        };
        match(container->containerChildren());
        if (!next && i + 1 == names.size())
            match(container->leafChildren());
        current = next;
    }
    return current;
}

void C7100Document::MakeNameUnique(Item &item)
{
    if (IsNameUnique(item))
        return;
    const int column = NameColumn(item.level());
    const QString name = GetName(item);
    for (int i = 0; i < kMaxUniqueTries; ++i) {
        const QString prefix =
            i == 0 ? Str(CopyOfPrefix) : FillArguments(Str(NumberedCopyPrefix), {QString::number(i)});
        SetValue(item, column, prefix + name, true);
        if (IsNameUnique(item))
            return;
    }
}

void C7100Document::CompleteCut()
{
    if (m_cutList.empty())
        return;
    BulkScope bulk(*this, false);
    const std::vector<ItemHandle> cut = m_cutList;
    for (ItemHandle handle : cut) {
        if (Item *item = FindItem(handle)) {
            item->setCutMark(false);
            Delete(*item);
        }
    }
    ClearCutMarks();
}

void C7100Document::ClearCutMarks()
{
    const std::vector<ItemHandle> cut = std::move(m_cutList);
    m_cutList.clear();
    for (ItemHandle handle : cut) {
        if (Item *item = FindItem(handle)) {
            item->setCutMark(false);
            emit updateAllViews(nullptr, HintCutMark, item);
        }
    }
}
