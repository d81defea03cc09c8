#pragma once

class ColumnLayout;
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

// Adds the "Add New" submenu of the levels that can stand under the layout's
// table (none: "(nothing)"), each entry with its prompt.
void AddAddNewSubmenu(QMenu &menu, const QString &text, DynamicMenuBuilder &builder, const ColumnLayout *layout);
