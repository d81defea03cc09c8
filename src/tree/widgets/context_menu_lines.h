#pragma once

#include <functional>

class ColumnLayout;
class QAction;
class QWidget;
class DynamicMenuBuilder;
class QMenu;
class QString;

// One line of a view's context menu table: a command with its text, the Add
// New submenu, or a separator.
struct MenuLine {
    int id; // kSeparatorLine, kAddNewSubmenu or a command
    int textId;
};
constexpr int kSeparatorLine = 0;
constexpr int kAddNewSubmenu = -1;

// Adds the "Add New" submenu: the one make builds when given (its entries
// run their own commands), else the levels that can stand under the
// layout's table (none: "(nothing)"), each entry with its prompt.
void AddAddNewSubmenu(QMenu &menu, const QString &text, DynamicMenuBuilder &builder, const ColumnLayout *layout,
                      const std::function<QMenu *(QWidget *parent)> &make = {});
// Whether a triggered action is an entry of the menu itself: a menu hears
// the entries of its submenus too, which carry out their own commands.
bool IsOwnEntry(const QMenu &menu, QAction &action);

// The view-mode entries and "Dialog view" carry a check mark as the View
// menu shows them: checkable, and checked as checked tells.
void ShowCheckMark(QAction &action, int id, const std::function<bool(int)> &checked);

// The highlighted entry of the menu, or of one of its submenus, shows its
// prompt in the status bar of the window that holds view; once the menu
// closes the status bar gets its idle text back.
void ShowPromptsThrough(QMenu &menu, QWidget &view);
