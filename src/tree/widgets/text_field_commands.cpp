#include "tree/widgets/text_field_commands.h"

#include "base/command_ids.h"

#include "tree/widgets/command_focus.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>

namespace TextFieldCommands {

std::optional<FocusedTextField> Focused(const QWidget &pane)
{
    QWidget *focus = CommandFocus::Widget();
    if (!focus || !pane.isAncestorOf(focus))
        return std::nullopt;
    if (const auto *line = qobject_cast<QLineEdit *>(focus))
        return FocusedTextField{line->isReadOnly() || !line->isEnabled(), line->hasSelectedText()};
    if (const auto *plain = qobject_cast<QPlainTextEdit *>(focus))
        return FocusedTextField{plain->isReadOnly() || !plain->isEnabled(), plain->textCursor().hasSelection()};
    return std::nullopt;
}

std::optional<bool> Enabled(const QWidget &pane, int command)
{
    const std::optional<FocusedTextField> field = Focused(pane);
    if (!field)
        return std::nullopt;
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    return ItemFormModel::RouteClipboardCommand(command, field, clipboard && clipboard->hasText(), false).enabled;
}

QWidget *Run(int command)
{
    QWidget *focus = CommandFocus::Widget();
    auto *line = qobject_cast<QLineEdit *>(focus);
    auto *plain = qobject_cast<QPlainTextEdit *>(focus);
    if (!line && !plain)
        return nullptr;
    switch (command) {
    case CommandId::EditCopy:
        line ? line->copy() : plain->copy();
        return nullptr;
    case CommandId::EditCut:
        line ? line->cut() : plain->cut();
        return focus;
    case CommandId::EditPaste:
        line ? line->paste() : plain->paste();
        return focus;
    default:
        return nullptr;
    }
}

void SendDeleteKey()
{
    QWidget *focus = CommandFocus::Widget();
    if (!focus)
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(focus, &press);
    QApplication::sendEvent(focus, &release);
}

} // namespace TextFieldCommands
