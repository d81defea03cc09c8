#pragma once

#include "pages/numeric_input.h"

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

signals:
    // A refused character; a receiver that sets *handled keeps the beep
    // silent.
    void notification(int code, bool *handled);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    NumericInput::State CurrentState() const;
    void Show(const NumericInput::State &state);
    void KeepBeforePercent();

    NumericInput m_rules;
};
