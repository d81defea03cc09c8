#pragma once

#include "tree/item_form_model.h"

#include <optional>

class QWidget;

// The clipboard and Delete commands of a pane whose text fields take them
// while they have the focus (the item forms, the parameter pages).
namespace TextFieldCommands {
// The focused text field inside pane; none when the focus is elsewhere or
// on another kind of control.
std::optional<FocusedTextField> Focused(const QWidget &pane);
// Whether Copy, Cut or Paste can act on the focused text field of pane;
// none when no text field of pane has the focus.
std::optional<bool> Enabled(const QWidget &pane, int command);
// Carries out Copy, Cut or Paste in the focused text field; the field whose
// text the command may have changed (none for Copy, or without a field).
QWidget *Run(int command);
// A Delete key press and release sent to the focused control.
void SendDeleteKey();
} // namespace TextFieldCommands
