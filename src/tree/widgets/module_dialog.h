#pragma once

#include <QDialog>

class ModuleDialogLogic;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// The "New module" dialog (template 215) over its logic: the type list, the
// channel count, the two signal names and the module name composed as the
// user types. The logic decides everything; the dialog shows it.
class ModuleDialog : public QDialog {
    Q_OBJECT
public:
    explicit ModuleDialog(ModuleDialogLogic &logic, QWidget *parent = nullptr);

    // Shows the dialog modally; true when it ended with OK.
    static bool present(ModuleDialogLogic &logic, QWidget *parent);
    // Makes the document's module dialogs appear over parent.
    static void install(QWidget *parent = nullptr);

    void accept() override;
    // A dialog without Cancel cannot be left with Escape either.
    void reject() override;

private:
    void FillTypes();
    void ShowState();
    void TypeChosen(int index);

    ModuleDialogLogic &m_logic;
    QComboBox *m_type = nullptr;
    QLabel *m_channels = nullptr;
    QLineEdit *m_name1 = nullptr;
    QLineEdit *m_name2 = nullptr;
    QLabel *m_name2Label = nullptr;
    QLabel *m_moduleName = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
