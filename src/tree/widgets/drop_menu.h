#pragma once

class QWidget;

// The menu a right drag shows where it is dropped: "Move Here", "Copy Here"
// and "Cancel", at the cursor.
namespace DropMenu {
// Installs it as the drop menu service's presenter (null owner: none).
void install(QWidget *owner);
} // namespace DropMenu
