#pragma once

#include <QDialog>

class MultiplyDialogLogic;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// The "Multiply Item" dialog (template 24596) over its logic: base text,
// first number, number of items and numeric places with their spin
// buttons, the item's path and "Including subtree". OK hands the fields to
// the logic, which checks them and keeps the dialog open on a refusal.
class CMultiplyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMultiplyDlg(MultiplyDialogLogic &logic, QWidget *parent = nullptr);

    // Shows the dialog modally; true when it ended with OK.
    static bool present(MultiplyDialogLogic &logic, QWidget *parent);
    // Makes the document's multiply dialogs appear over parent.
    static void install(QWidget *parent = nullptr);

    void accept() override;

private:
    QLineEdit *NumberField(const char *id, const QString &text);
    QSpinBox *SpinFor(QLineEdit *field, const char *id, int min, int max);

    MultiplyDialogLogic &m_logic;
    QLineEdit *m_baseText = nullptr;
    QLineEdit *m_firstNumber = nullptr;
    QLineEdit *m_numberOfItems = nullptr;
    QLineEdit *m_numericPlaces = nullptr;
    QPlainTextEdit *m_itemName = nullptr;
    QCheckBox *m_subtree = nullptr;
};
