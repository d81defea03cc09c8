#pragma once

#include "base/module_family.h"

#include <QString>

#include <optional>
#include <vector>

class CatalogueSet;
class CMy7100Doc;
class ContainerItem;
class Item;

// "Add New...": how a popup is filled when it opens, and what its entries
// create below the document's current item.
class AddNewMenu {
public:
    // What a popup is, by its first entry.
    enum class Popup { FolderParent, Folder, Modules7230, Modules7210, Modules7220, Other };
    struct Entry {
        int id = 0;
        QString text;
    };
    // What a command creates: a folder level (486 to 488) or a module.
    struct Creation {
        int folderNameString = 0;
        ModuleFamily family = Family7230;
        qint32 typeId = 0;
    };

    AddNewMenu(CMy7100Doc &document, const CatalogueSet &catalogues);

    // firstIsFolderSubmenu: the first entry is a submenu whose own first
    // command is 32773; otherwise firstCommand is the popup's first command.
    static Popup Classify(bool firstIsFolderSubmenu, int firstCommand);
    static bool IsAddNewCommand(int id);
    static std::optional<Creation> CreationOf(int id);
    // The command that creates an item of a child level (its name string,
    // 486 to 489, 572 or 590; a module of the family's first type); 0 for
    // any other level.
    static int CommandOfLevel(int nameString);

    // The folder submenu and the module submenus as entries of their parent:
    // greyed without a project and below a module, a signal or the signals
    // root, where no item can be made.
    bool FolderSubmenuEnabled() const;
    // The entries a popup of the kind shows now (Other: none).
    std::vector<Entry> Entries(Popup popup) const;

    // Creates the item of the command below the current item and selects
    // it; null when nothing was made.
    Item *Execute(int id);

private:
    // The container a new item goes below: the current item, or the
    // project without one.
    ContainerItem *Target() const;
    int CurrentLevelString() const;
    std::vector<Entry> ModuleEntries(ModuleFamily family, int firstId) const;

    CMy7100Doc &m_document;
    const CatalogueSet &m_catalogues;
};
