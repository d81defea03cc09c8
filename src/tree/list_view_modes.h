#pragma once

// The view-mode commands of the list and the modes the setting
// ListViewStyle stores (0 large icons, 1 details, 2 small icons, 3 list).
namespace ListViewModes {
// The mode of a view-mode command; -1 for any other command.
int ModeOfCommand(int id);
int CommandOfMode(int mode);
} // namespace ListViewModes
