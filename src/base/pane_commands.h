#pragma once

#include <optional>

// The accelerator tables of the main window: the main one, and the one of a
// pane whose fields take the clipboard and Delete keys themselves.
enum class AcceleratorTable { Main, Form };

// A view of the main window that handles some commands itself while it is
// the active pane (the focus is inside it); the frame asks it first.
class PaneCommandTarget {
public:
    virtual ~PaneCommandTarget() = default;
    // Whether the command is enabled here; none when the pane leaves the
    // command to the frame.
    virtual std::optional<bool> PaneCommandEnabled(int id) = 0;
    // Carries the command out; false when the pane does not handle it.
    virtual bool RunPaneCommand(int id) = 0;
    // The accelerator table while the pane is active.
    virtual AcceleratorTable PaneAccelerators() const { return AcceleratorTable::Main; }
};
