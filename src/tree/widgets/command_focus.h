#pragma once

class QWidget;

// The widget a command of the menus acts on. Opening a menu from the
// keyboard (Alt+E) moves the focus into the menu bar; the field or row the
// user was in still decides what Cut, Copy or Rename mean.
namespace CommandFocus {
// The focus widget, or the one that had the focus before the menu bar or a
// menu took it.
QWidget *Widget();
} // namespace CommandFocus
