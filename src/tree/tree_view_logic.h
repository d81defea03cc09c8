#pragma once

#include "tree/item.h"

#include <QString>

#include <optional>
#include <vector>

class C7100Document;

// The rules behind the gestures of the tree and the list: in-place renaming
// of a folder, deleting with the neighbour becoming current, and which
// context-menu entries an item keeps. The views only forward.
class TreeViewLogic {
public:
    explicit TreeViewLogic(C7100Document &document) : m_document(document) {}

    // Whether an in-place edit of the item may start: never for modules
    // and signals (they are renamed in the module dialog), and a clean item
    // must enter an edit (it is Modified afterwards).
    bool BeginLabelEdit(Item &item);

    enum class LabelEnd {
        Stored,    // the name was checked and the item saved
        Reopen,    // the folder name was refused: the edit starts again
        NotStored, // the save failed or there was nothing to do
    };
    // Where the edit ended: the tree writes the log line of a folder (made or
    // renamed; none when the name stayed) and
    // cancels a failed save only while the right pane shows the list; the
    // list always cancels a failed save.
    struct Place {
        bool writeLog = true;
        bool cancelFailedSave = false;
    };
    // text is empty when the edit was cancelled (Escape).
    LabelEnd EndLabelEdit(ItemHandle handle, const std::optional<QString> &text, Place place);

    // Asks, deletes the item and, when it was the current item, makes the
    // next sibling in the view's order current, else the previous one.
    bool Delete(ItemHandle handle, const std::vector<ItemHandle> &siblingsInViewOrder);

    // New names for a module or a signal (the module dialog); false for
    // other items.
    bool RenameInDialog(Item &item);

    // Signals and the signals root keep only the view commands of the tree's
    // context menu, with Rename in front.
    static bool KeepsOnlyViewCommands(const Item &item);
    // Delete and Rename of an item (the level is not read-only).
    static bool CanEdit(const Item *item);

private:
    static void LogFolderRenamed(const QString &before, const QString &after);

    C7100Document &m_document;
};
