#include "pages/widgets/num_spin_edit.h"

#include <QApplication>
#include <QKeyEvent>

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

void CNumSpinEdit::keyPressEvent(QKeyEvent *event)
{
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
        bool handled = false;
        if (result.outcome == NumericInput::Typed::Refused)
            emit notification(kRefusedCharacter, &handled);
        if (!handled)
            QApplication::beep();
        return;
    }
    const bool percent = m_rules.has(NumericInput::Percent);
    if (percent && event->key() == Qt::Key_Delete && !hasSelectedText() &&
        cursorPosition() >= int(text().size()) - 1)
        return;
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        const NumericInput::State after = m_rules.AfterErase(CurrentState());
        if (after.text != text()) {
            Show(after);
            emit textEdited(text());
        }
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
    QLineEdit::mouseReleaseEvent(event);
    KeepBeforePercent();
}
