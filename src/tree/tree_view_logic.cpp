#include "tree/tree_view_logic.h"

#include "log/output_log.h"
#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/my7100_doc.h"

#include <algorithm>

namespace {
constexpr int kFolderRenamedLine = 63362;
} // namespace

bool TreeViewLogic::BeginLabelEdit(Item &item)
{
    if (CMy7100Doc::IsModule(item) || CMy7100Doc::IsSignal(item))
        return false;
    if (item.level().attributes().readOnly)
        return false;
    return item.editState() != EditState::Clean || m_document.BeginEdit(item);
}

TreeViewLogic::LabelEnd TreeViewLogic::EndLabelEdit(ItemHandle handle, const std::optional<QString> &text,
                                                    Place place)
{
    Item *item = m_document.FindItem(handle);
    if (!item)
        return LabelEnd::NotStored;
    const QString typed = text.value_or(QString()).trimmed();
    auto *application = qobject_cast<CMy7100Doc *>(&m_document);
    const bool folder = application && CMy7100Doc::IsFolder(*item);
    if (folder && !application->CheckFolderName(*item, typed))
        return LabelEnd::Reopen;
    // A new folder's making is logged by the document once it is stored.
    const bool created = item->editState() == EditState::New;
    if (item->editState() == EditState::Clean)
        return LabelEnd::NotStored;
    const QString before = m_document.GetName(*item);
    if (text && !typed.isEmpty())
        m_document.SetValue(*item, QStringLiteral("Name"), typed, true);
    if (m_document.Save(*item, nullptr, true)) {
        if (folder && place.writeLog && !created)
            LogFolderRenamed(before, m_document.GetName(*item));
        return LabelEnd::Stored;
    }
    // The save reported why; the item may be gone meanwhile.
    if (place.cancelFailedSave)
        if (Item *still = m_document.FindItem(handle))
            m_document.CancelEdit(*still);
    return LabelEnd::NotStored;
}

// An edit that changed nothing leaves no line.
void TreeViewLogic::LogFolderRenamed(const QString &before, const QString &after)
{
    if (before != after)
        WriteLogLine(StrF(kFolderRenamedLine, {before, after}));
}

bool TreeViewLogic::Delete(ItemHandle handle, const std::vector<ItemHandle> &siblingsInViewOrder)
{
    Item *item = m_document.FindItem(handle);
    if (!item)
        return false;
    const bool wasCurrent = m_document.CurrentItem() == handle;
    ItemHandle next = 0;
    const auto at = std::find(siblingsInViewOrder.begin(), siblingsInViewOrder.end(), handle);
    if (at != siblingsInViewOrder.end()) {
        if (at + 1 != siblingsInViewOrder.end())
            next = *(at + 1);
        else if (at != siblingsInViewOrder.begin())
            next = *(at - 1);
    }
    const ItemHandle parent = item->parent() ? item->parent()->handle() : 0;
    if (!m_document.ConfirmAndDelete(*item))
        return false;
    if (wasCurrent) {
        // The neighbour, or the parent when the item stood alone.
        const ItemHandle successor = m_document.FindItem(next) ? next : parent;
        if (m_document.FindItem(successor))
            m_document.Select(successor);
    }
    return true;
}

bool TreeViewLogic::RenameInDialog(Item &item)
{
    auto *application = qobject_cast<CMy7100Doc *>(&m_document);
    if (!application || !(CMy7100Doc::IsModule(item) || CMy7100Doc::IsSignal(item)))
        return false;
    application->RenameModule(item);
    return true;
}

bool TreeViewLogic::KeepsOnlyViewCommands(const Item &item)
{
    const int nameString = item.level().displayString();
    return nameString == HierarchyStrings::SignalName || nameString == HierarchyStrings::SignalsRootName;
}

bool TreeViewLogic::CanEdit(const Item *item)
{
    return item && !item->level().attributes().readOnly;
}
