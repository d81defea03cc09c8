#pragma once

#include "shell/login.h"
#include "shell/port_settings.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Login" (dialog 567): one hidden password field and OK.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(QWidget *parent = nullptr);
    // The typed text when closed with OK, empty otherwise (Escape too).
    static QString Ask(QWidget *parent = nullptr);
    QString typed() const;

private:
    QLineEdit *m_password = nullptr;
};

// "Password" (dialog 566) over its logic.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget *parent = nullptr);
    // Command "&Password": runs the dialog and stores a confirmed password.
    static void Run(QWidget *parent = nullptr);
    PasswordDialogLogic::Outcome outcome() const { return m_outcome; }
    const PasswordDialogLogic &logic() const { return m_logic; }

private:
    void Finish(PasswordDialogLogic::Outcome outcome);

    PasswordDialogLogic m_logic;
    PasswordDialogLogic::Outcome m_outcome = PasswordDialogLogic::Outcome::Cancelled;
    QLineEdit *m_new = nullptr;
    QLineEdit *m_confirm = nullptr;
};

// "PC - port settings" (dialog 195) over its logic.
class PortDialog : public QDialog {
    Q_OBJECT
public:
    PortDialog(const QString &currentPort, std::vector<PortChoice> ports, QWidget *parent = nullptr);
    // The chosen port after "Save"; nothing after Cancel.
    const std::optional<QString> &chosen() const { return m_chosen; }

    void accept() override;

private:
    PortSettingsLogic m_logic;
    QComboBox *m_ports = nullptr;
    std::optional<QString> m_chosen;
};

// "About Zelnor Wizard for Zelnor" (dialog 100).
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};
