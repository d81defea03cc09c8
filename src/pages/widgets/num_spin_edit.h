#pragma once

#include "pages/numeric_input.h"

#include <QClipboard>
#include <QLineEdit>

// The numeric edit field of the parameter pages: filters what is typed by
// the rules of NumericInput and shows values in its format.
class CNumSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    // The notification a refused character sends to the parent.
    static constexpr int kRefusedCharacter = 0x8000;

    explicit CNumSpinEdit(QWidget *parent = nullptr);

    void Init(int options, double initialValue);
    double GetValue() const;
    void SetValue(double x);
    void SetDecimals(int decimals);
    void SetMaxCharacters(int count);
    const NumericInput &rules() const { return m_rules; }
    // Whether the text reads as a number of the field's kind.
    bool HoldsNumber() const { return m_rules.IsNumber(text()); }

    // Text pasted or dropped at the caret: taken whole when typing it would
    // be, else refused as a typed character is; true when taken.
    bool InsertText(const QString &inserted);
    bool PasteFrom(QClipboard::Mode mode);
    // Cut, leaving 0 in place of an empty field.
    void CutSelection();

signals:
    // A refused character; a receiver that sets *handled keeps the beep
    // silent.
    void notification(int code, bool *handled);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    NumericInput::State CurrentState() const;
    void Show(const NumericInput::State &state);
    void KeepBeforePercent();
    void Refuse(NumericInput::Typed outcome);
    void ShowErased();

    NumericInput m_rules;
};
