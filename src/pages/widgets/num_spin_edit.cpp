#include "pages/widgets/num_spin_edit.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

CNumSpinEdit::CNumSpinEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setContextMenuPolicy(Qt::NoContextMenu);
    SetValue(0);
}

void CNumSpinEdit::Init(int options, double initialValue)
{
    m_rules.setOptions(options);
    SetValue(initialValue);
}

double CNumSpinEdit::GetValue() const
{
    return m_rules.Parse(text());
}

void CNumSpinEdit::SetValue(double x)
{
    Show(m_rules.Replaced(CurrentState(), m_rules.Format(x)));
}

void CNumSpinEdit::SetDecimals(int decimals)
{
    m_rules.setDecimals(decimals);
}

void CNumSpinEdit::SetMaxCharacters(int count)
{
    m_rules.setMaxCharacters(count);
}

NumericInput::State CNumSpinEdit::CurrentState() const
{
    NumericInput::State state{text(), cursorPosition(), cursorPosition()};
    if (hasSelectedText()) {
        state.selectionStart = selectionStart();
        state.selectionEnd = selectionStart() + int(selectedText().size());
    }
    return state;
}

void CNumSpinEdit::Show(const NumericInput::State &state)
{
    if (state.text != text())
        setText(state.text);
    if (state.selectionStart != state.selectionEnd)
        setSelection(state.selectionStart, state.selectionEnd - state.selectionStart);
    else
        setCursorPosition(state.caret());
}

void CNumSpinEdit::KeepBeforePercent()
{
    if (!m_rules.has(NumericInput::Percent))
        return;
    const NumericInput::State state = CurrentState();
    const NumericInput::State clamped = m_rules.Clamped(state);
    if (clamped.selectionStart != state.selectionStart || clamped.selectionEnd != state.selectionEnd)
        Show(clamped);
}

void CNumSpinEdit::Refuse(NumericInput::Typed outcome)
{
    bool handled = false;
    if (outcome == NumericInput::Typed::Refused)
        emit notification(kRefusedCharacter, &handled);
    if (!handled)
        QApplication::beep();
}

void CNumSpinEdit::ShowErased()
{
    const NumericInput::State after = m_rules.AfterErase(CurrentState());
    if (after.text != text())
        Show(after);
}

bool CNumSpinEdit::InsertText(const QString &inserted)
{
    if (isReadOnly() || !isEnabled())
        return false;
    const NumericInput::Result result = m_rules.Inserted(CurrentState(), inserted);
    if (result.outcome != NumericInput::Typed::Taken) {
        Refuse(result.outcome);
        return false;
    }
    Show(result.state);
    emit textEdited(text());
    return true;
}

bool CNumSpinEdit::PasteFrom(QClipboard::Mode mode)
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (mode == QClipboard::Selection && !clipboard->supportsSelection())
        return false;
    return InsertText(clipboard->text(mode));
}

void CNumSpinEdit::CutSelection()
{
    if (isReadOnly() || !hasSelectedText())
        return;
    cut();
    ShowErased();
    emit textEdited(text());
}

void CNumSpinEdit::keyPressEvent(QKeyEvent *event)
{
    // The clipboard keys go through the same rules as typing.
    if (event->matches(QKeySequence::Paste)) {
        PasteFrom(QClipboard::Clipboard);
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        CutSelection();
        return;
    }
    const QString typed = event->text();
    const bool printable = typed.size() == 1 && typed[0].isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable) {
        const NumericInput::Result result = m_rules.Type(CurrentState(), typed[0]);
        if (result.outcome == NumericInput::Typed::Taken) {
            Show(result.state);
            emit textEdited(text());
            return;
        }
        Refuse(result.outcome);
        return;
    }
    const bool percent = m_rules.has(NumericInput::Percent);
    if (percent && event->key() == Qt::Key_Delete && !hasSelectedText() &&
        cursorPosition() >= int(text().size()) - 1)
        return;
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        const QString before = text();
        ShowErased();
        if (text() != before)
            emit textEdited(text());
    }
    KeepBeforePercent();
}

void CNumSpinEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    KeepBeforePercent();
}

void CNumSpinEdit::mouseMoveEvent(QMouseEvent *event)
{
    QLineEdit::mouseMoveEvent(event);
    KeepBeforePercent();
}

void CNumSpinEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection of the X11 clipboard.
    if (event->button() == Qt::MiddleButton) {
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        PasteFrom(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    KeepBeforePercent();
}

void CNumSpinEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasText() && !isReadOnly())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CNumSpinEdit::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasText() && !isReadOnly())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CNumSpinEdit::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasText() || isReadOnly()) {
        event->ignore();
        return;
    }
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    if (InsertText(event->mimeData()->text())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CNumSpinEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // What an input method commits is typed text; its preedit is not shown.
    const QString committed = event->commitString();
    event->accept();
    if (!committed.isEmpty())
        InsertText(committed);
}
