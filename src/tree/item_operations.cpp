// The long item operations of the document: copying subtrees, multiplying
// an item into numbered copies and deleting several list rows at once.
#include "tree/document.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/variant_value.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/item_progress.h"
#include "tree/hierarchy_strings.h"
#include "tree/multiply_dialog_logic.h"
#include "tree/long_operation_strings.h"
#include "tree/tree_strings.h"
#include "tree/tree_queries.h"
#include "db/project_transaction.h"
#include "log/output_log.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Handles rather than pointers: a failed step may reload the lists.
std::vector<ItemHandle> Handles(const std::vector<std::unique_ptr<Item>> &children)
{
    std::vector<ItemHandle> handles;
    handles.reserve(children.size());
    for (const auto &child : children)
        handles.push_back(child->handle());
    return handles;
}

} // namespace

bool C7100Document::CopyChild(Item &child, ContainerItem &newContainer, int &counter, ItemProgress &progress)
{
    Item *copy = CopyItem(child, &newContainer);
    if (!copy)
        return false;
    const ItemHandle copyHandle = copy->handle();
    const auto discard = [this, copyHandle] {
        if (Item *left = FindItem(copyHandle); left && left->editState() == EditState::New)
            CancelEdit(*left);
        return false;
    };
    if (!progress.Step(1, GetPath(child), GetPath(*copy)))
        return discard();
    if (!SaveInBulk(*copy))
        return discard();
    ++counter;
    ContainerItem *copied = FindContainer(copyHandle);
    ContainerItem *source = child.asContainer();
    if (!copied || !source)
        return true;
    return CopySubtree(*copied, *source, counter, progress);
}

bool C7100Document::CopySubtree(ContainerItem &newContainer, ContainerItem &source, int &counter,
                                ItemProgress &progress)
{
    if (!EnsureChildren(source))
        return false;
    // Leaves first, then the containers, each list in its order.
    const std::vector<ItemHandle> leaves = Handles(source.leafChildren());
    const std::vector<ItemHandle> containers = Handles(source.containerChildren());
    const ItemHandle target = newContainer.handle();
    for (const std::vector<ItemHandle> *list : {&leaves, &containers}) {
        for (ItemHandle handle : *list) {
            Item *child = FindItem(handle);
            ContainerItem *into = FindContainer(target);
            if (!child || !into || !CopyChild(*child, *into, counter, progress))
                return false;
        }
    }
    return true;
}

bool C7100Document::MultiplyEnabled(const Item *item) const
{
    return item && IsOpen() && !IsReadOnly() && !item->level().attributes().readOnly && item->parent() &&
           CanMultiply(*item);
}

std::optional<int> C7100Document::MultiplyOnce(ItemHandle sourceHandle, const MultiplyDialogLogic &dialog,
                                               int index, ItemProgress &progress, QString &copyPath)
{
    copyPath.clear();
    Item *source = FindItem(sourceHandle);
    if (!source || !source->parent())
        return std::nullopt;
    Item *copy = CopyItem(*source);
    if (!copy)
        return std::nullopt;
    const ItemHandle copyHandle = copy->handle();
    SetValue(*copy, NameColumn(copy->level()), dialog.CopyName(index), true);
    OnMultiplyCopyNamed(*copy);
    copyPath = GetPath(*copy);
    int written = 0;
    bool ok = progress.Step(1, GetPath(*source), copyPath) && SaveInBulk(*copy);
    if (ok) {
        ++written;
        ContainerItem *copied = FindContainer(copyHandle);
        ContainerItem *original = FindContainer(sourceHandle);
        if (dialog.CopiesSubtree() && copied && original)
            ok = CopySubtree(*copied, *original, written, progress);
    }
    if (ok)
        return written;
    if (Item *left = FindItem(copyHandle); left && left->editState() == EditState::New)
        CancelEdit(*left);
    return std::nullopt;
}

namespace {
// A multiply stores its copies in groups, each one transaction: a durable
// commit per copy made a thousand modules take seconds. A group holds at
// most kGroupItems items and ends after kGroupMs, so that other programs
// wait for the project no longer than that; after each group they get a
// pause of a quarter of its time to take their turn, as neither database
// queues the writers that wait.
constexpr int kGroupItems = 250;
constexpr qint64 kGroupMs = 200;
// A named point inside the group's transaction that a failed copy is undone
// to, keeping the copies before it.
const QString kSavepoint = QStringLiteral("SAVEPOINT multiply_copy");
const QString kReleaseSavepoint = QStringLiteral("RELEASE SAVEPOINT multiply_copy");
const QString kRollbackToSavepoint = QStringLiteral("ROLLBACK TO SAVEPOINT multiply_copy");

bool RunPlain(DbSession &session, const QString &statement)
{
    QSqlQuery query = session.NewQuery();
    return query.exec(statement);
}
} // namespace

struct C7100Document::MultiplyRun {
    const MultiplyDialogLogic &dialog;
    QString table;
    QVariant id;
    ItemHandle source;
    ItemHandle parent;
    MultiplyResult &result;
    int next = 0;
};

struct C7100Document::CopyGroup {
    enum End { Bound, CopyFailed, NotMade, SourceLost, ParentGone };
    End end = Bound;
    QString failedPath;
    bool cancelled = false;
};

C7100Document::CopyGroup C7100Document::MultiplyGroup(MultiplyRun &run, ItemProgress &progress)
{
    CopyGroup group;
    QElapsedTimer clock;
    clock.start();
    HeldProgress held(progress);
    MultiplyResult made;
    {
        ProjectTransaction transaction(m_project.session);
        ContainerItem *parent = FindContainer(run.parent);
        const std::optional<bool> stored = parent ? StillStored(*parent) : std::optional<bool>(false);
        if (!stored || !*stored) {
            group.end = stored ? CopyGroup::ParentGone : CopyGroup::NotMade;
            return group;
        }
        int items = 0;
        // At least one copy a group, however long the check waited.
        while (run.next < run.dialog.NumberOfItems() &&
               (made.copies.isEmpty() || (items < kGroupItems && clock.elapsed() < kGroupMs))) {
            // A rolled-back copy reloads the lists: the source is found
            // again by its row.
            if (!FindItem(run.source)) {
                Item *again = FindRow(run.table, run.id, true);
                if (!again) {
                    group.end = CopyGroup::SourceLost;
                    break;
                }
                run.source = again->handle();
            }
            const bool point = transaction.Open() && RunPlain(*m_project.session, kSavepoint);
            QString copyPath;
            const std::optional<int> written = MultiplyOnce(run.source, run.dialog, run.next, held, copyPath);
            ++run.next;
            if (written) {
                if (point)
                    RunPlain(*m_project.session, kReleaseSavepoint);
                items += *written;
                made.inserted += *written;
                made.copies << copyPath;
                continue;
            }
            // The failed copy goes whole; the copies before it stay.
            if (point) {
                RunPlain(*m_project.session, kRollbackToSavepoint);
                RunPlain(*m_project.session, kReleaseSavepoint);
            }
            ReloadAfterRollback(run.parent);
            group.end = copyPath.isEmpty() ? CopyGroup::NotMade : CopyGroup::CopyFailed;
            group.failedPath = copyPath;
            break;
        }
        if (!transaction.Commit()) {
            // Nothing of the group is stored: its first copy is the one that failed.
            ReloadAfterRollback(run.parent);
            group.end = CopyGroup::CopyFailed;
            group.failedPath = made.copies.value(0, group.failedPath);
            made = MultiplyResult();
        }
    }
    run.result.inserted += made.inserted;
    run.result.copies << made.copies;
    group.cancelled = !held.Release();
    if (m_project.session && run.next < run.dialog.NumberOfItems())
        QThread::msleep(ulong(clock.elapsed() / 4));
    return group;
}

C7100Document::MultiplyResult C7100Document::Multiply(Item &item)
{
    MultiplyResult result;
    if (RefuseWhenReadOnly() || !MultiplyEnabled(&item))
        return result;
    MultiplyDialogLogic dialog;
    dialog.Open(GetName(item), GetPath(item), item.kind() == ItemKind::Leaf);
    if (!RunMultiplyDialog(dialog))
        return result;
    int below = 0;
    if (dialog.CopiesSubtree() && (below = CountDescendants(item)) < 0)
        return result;
    const qint64 length = qint64(dialog.NumberOfItems()) * (below + 1);
    MultiplyRun run{dialog, item.level().tableName(), item.id(), item.handle(), item.parent()->handle(), result};
    bool summary = true;
    {
        BulkScope bulk(*this, false);
        std::unique_ptr<ItemProgress> progress = ProgressService::Begin(
            ProgressKind::Multiplying, int(std::min<qint64>(length, std::numeric_limits<int>::max())));
        while (run.next < dialog.NumberOfItems()) {
            const CopyGroup group = MultiplyGroup(run, *progress);
            if (group.end == CopyGroup::NotMade) {
                // The copy could not even be made: no summary.
                summary = false;
                break;
            }
            if (group.end == CopyGroup::ParentGone) {
                result.stopped = StoppedByDeletion(LongOperationStrings::CopiesMadeBeforeGone, int(result.copies.size()),
                                                   dialog.NumberOfItems(), run.parent);
                break;
            }
            if (group.cancelled || group.end == CopyGroup::SourceLost)
                break;
            if (group.end == CopyGroup::CopyFailed) {
                ++result.errors;
                if (!AskInsertFailure(group.failedPath, run.next == dialog.NumberOfItems()))
                    break;
            }
        }
    }
    if (!summary)
        return result;
    result.ran = true;
    if (!result.stopped.isEmpty()) {
        WriteLogLine(result.stopped);
        MessageService::error(result.stopped);
        return result;
    }
    ShowMultiplySummary(result.inserted, result.errors);
    return result;
}

std::optional<bool> C7100Document::StillStored(const ContainerItem &container)
{
    CTableLevel &level = container.level();
    const QString idColumn = level.IdColumnName();
    // The database itself, and a folder not stored yet, have no row to lose.
    if (level.kind() == ItemKind::Root || idColumn.isEmpty() || !m_project.session ||
        container.editState() == EditState::New)
        return true;
    QString statement = QStringLiteral("SELECT [%1] FROM %2 WHERE [%1] = %3")
                            .arg(idColumn, level.tableName(), QString::number(container.id().toLongLong()));
    const QString parentColumn = level.ParentColumnName();
    const QVariant parentId = parentColumn.isEmpty() ? QVariant() : GetValue(container, parentColumn, true);
    if (parentId.isValid() && !parentId.isNull() && !IsDbNull(parentId))
        statement += QStringLiteral(" AND [%1] = %2").arg(parentColumn, QString::number(parentId.toLongLong()));
    try {
        // On a server the row is held until the transaction ends; SQLite's
        // transaction holds the whole file already.
        if (m_project.session->source().driver == DbDriver::PostgreSQL)
            statement += QStringLiteral(" FOR SHARE");
        QSqlQuery query = RunStatement(*m_project.session, statement);
        return query.next();
    } catch (COLEDBException &error) {
        ReportDataError(error, m_reportErrors);
        return std::nullopt;
    }
}

QString C7100Document::StoppedByDeletion(int frame, int done, int total, ItemHandle containerHandle)
{
    ContainerItem *container = FindContainer(containerHandle);
    if (!container)
        return QString();
    int named = LongOperationStrings::GoneFolder;
    switch (container->level().displayString()) {
    case HierarchyStrings::PlantName:
        named = LongOperationStrings::GonePlant;
        break;
    case HierarchyStrings::CabinetName:
        named = LongOperationStrings::GoneCabinet;
        break;
    case HierarchyStrings::CarrierName:
        named = LongOperationStrings::GoneCarrier;
        break;
    }
    const QString text = FillArguments(
        Str(frame), {QString::number(done), QString::number(total), FillArguments(Str(named), {GetPath(*container)})});
    ReadAgain(*container);
    return text;
}

bool C7100Document::RunMultiplyDialog(MultiplyDialogLogic &dialog)
{
    return MultiplyDialogService::run(dialog);
}

bool C7100Document::AskInsertFailure(const QString &copyPath, bool lastCopy)
{
    const QString text = FillArguments(Str(TreeStrings::CantInsertCopy), {copyPath});
    if (lastCopy) {
        MessageService::error(text);
        return false;
    }
    return MessageService::question(text + Str(TreeStrings::ProceedMultiplying)) == MessageAnswer::Yes;
}

QString C7100Document::MultiplySummary(int inserted, int errors)
{
    QString text =
        FillArguments(Str(inserted == 1 ? TreeStrings::OneItemInserted : TreeStrings::ItemsInserted),
                      {QString::number(inserted)}) +
        QLatin1Char('\n');
    if (errors > 0)
        text += FillArguments(Str(TreeStrings::ErrorsOccurred), {QString::number(errors)});
    return text;
}

void C7100Document::ShowMultiplySummary(int inserted, int errors)
{
    MessageService::information(MultiplySummary(inserted, errors));
}

std::vector<ItemHandle> C7100Document::DeleteSelection(const std::vector<ItemHandle> &rows, QObject *sender)
{
    std::vector<ItemHandle> deleted;
    std::vector<ItemHandle> present;
    for (ItemHandle handle : rows)
        if (FindItem(handle))
            present.push_back(handle);
    if (present.size() == 1) {
        if (ConfirmAndDelete(*FindItem(present.front()), sender))
            deleted.push_back(present.front());
        return deleted;
    }
    if (present.empty())
        return deleted;
    const QString question =
        FillArguments(Str(TreeStrings::ConfirmDeleteSeveral), {QString::number(present.size())});
    if (MessageService::riskyQuestion(question) != MessageAnswer::Yes)
        return deleted;
    BulkScope bulk(*this, false);
    std::unique_ptr<ItemProgress> progress =
        ProgressService::Begin(ProgressKind::Deleting, int(present.size()));
    for (ItemHandle handle : present) {
        // An earlier row may have taken this one along (its folder).
        Item *item = FindItem(handle);
        if (!item)
            continue;
        if (!progress->Step(1, GetPath(*item), QString()))
            break;
        const int nameString = item->level().displayString();
        const QString name = GetName(*item);
        m_parentGone = 0;
        if (Delete(*item, sender)) {
            deleted.push_back(handle);
            LogDeleted(nameString, name);
        } else if (const ItemHandle gone = std::exchange(m_parentGone, 0)) {
            const QString text = StoppedByDeletion(LongOperationStrings::DeletedBeforeGone, int(deleted.size()),
                                                   int(present.size()), gone);
            WriteLogLine(text);
            MessageService::error(text);
            break;
        }
    }
    return deleted;
}
