// The long item operations of the document: copying subtrees, multiplying
// an item into numbered copies and deleting several list rows at once.
#include "tree/document.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/item_progress.h"
#include "tree/multiply_dialog_logic.h"
#include "tree/tree_strings.h"

#include <algorithm>
#include <limits>

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
    Item *source = FindItem(sourceHandle);
    ContainerItem *parent = source ? source->parent() : nullptr;
    if (!parent)
        return std::nullopt;
    const ItemHandle parentHandle = parent->handle();
    // The copy and everything below it are one change: a failure, or a kill
    // of the process, leaves whole copies only.
    const bool own = m_project.session && m_project.session->BeginTransaction();
    const auto rollBack = [&] {
        if (own) {
            m_project.session->Rollback();
            ReloadAfterRollback(parentHandle);
        }
    };
    Item *copy = CopyItem(*source);
    if (!copy) {
        if (own)
            m_project.session->Rollback();
        copyPath.clear();
        return std::nullopt;
    }
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
    if (ok && own && !m_project.session->Commit())
        ok = false;
    if (ok)
        return written;
    if (Item *left = FindItem(copyHandle); left && left->editState() == EditState::New)
        CancelEdit(*left);
    rollBack();
    return std::nullopt;
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
    const QString table = item.level().tableName();
    const QVariant id = item.id();
    ItemHandle source = item.handle();
    bool madeEveryCopy = true;
    {
        BulkScope bulk(*this, false);
        std::unique_ptr<ItemProgress> progress = ProgressService::Begin(
            ProgressKind::Multiplying, int(std::min<qint64>(length, std::numeric_limits<int>::max())));
        for (int i = 0; i < dialog.NumberOfItems(); ++i) {
            // A rolled-back copy reloads the lists: the source is found
            // again by its row.
            if (!FindItem(source)) {
                Item *again = FindRow(table, id, true);
                if (!again)
                    break;
                source = again->handle();
            }
            QString copyPath;
            const std::optional<int> written = MultiplyOnce(source, dialog, i, *progress, copyPath);
            if (written) {
                result.inserted += *written;
                result.copies << copyPath;
                continue;
            }
            if (copyPath.isEmpty()) {
                // The copy could not even be made: no summary.
                madeEveryCopy = false;
                break;
            }
            if (progress->Cancelled())
                break;
            ++result.errors;
            if (!AskInsertFailure(copyPath, i == dialog.NumberOfItems() - 1))
                break;
        }
    }
    if (!madeEveryCopy)
        return result;
    result.ran = true;
    ShowMultiplySummary(result.inserted, result.errors);
    return result;
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
        if (Delete(*item, sender)) {
            deleted.push_back(handle);
            LogDeleted(nameString, name);
        }
    }
    return deleted;
}
