#pragma once

#include <QString>

#include <vector>

// The File menu's commands on the open database: "Make current database
// active" and "Connection Properties".
namespace CommandId {
enum : int {
    MakeActive = 40045,
    ShowConnectionProperties = 40047,
};
} // namespace CommandId

// One entry of the main menu: a command, a popup with entries, or a
// separator. Texts are string numbers of the active pack; the text after a
// tab shows the accelerator.
struct MenuEntry {
    enum class Kind { Command, Popup, Separator };
    Kind kind = Kind::Command;
    int id = 0;     // command number; for a popup the number its widget is known by (0: none)
    int textId = 0; // string number
    bool checkable = false;
    std::vector<MenuEntry> children;
};

// One key of the accelerator table: the key as Qt's portable key text
// ("Ctrl+Del") and its command.
struct Accelerator {
    QString key;
    int id = 0;
};

// The main menu (resource 128) and its accelerator table.
class MainMenu {
public:
    static const std::vector<MenuEntry> &Entries();
    static const std::vector<Accelerator> &Accelerators();
    // Table 24594, while an item form is active: the main table without the
    // clipboard and plain Delete keys, which reach the focused field, and
    // with Escape for "&Reset" (40201).
    static const std::vector<Accelerator> &FormAccelerators();
    // "Add New...": the folder submenu and one submenu of module types per
    // family, as the Edit menu and every context menu offer it.
    static const MenuEntry &AddNewPopup();
    // Menu 24624, the context menu of an item form: Add New, Delete, the
    // clipboard, the view modes and Dialog view.
    static const std::vector<MenuEntry> &DialogPopupMenu();
    // The command of a language index 1..5, and back (0 when none).
    static int LanguageCommand(int index);
    static int LanguageOfCommand(int id);
    // Commands that are always enabled, also while nothing is open.
    static bool AlwaysEnabled(int id);
    // Commands that change the project: disabled while it is open for
    // reading only, as are the Add New commands.
    static bool WritesProject(int id);
};
