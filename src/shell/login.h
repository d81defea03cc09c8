#pragma once

#include <QString>

#include <functional>

// The login at start: when a password is set, the typed text (empty when
// the dialog was closed without OK) must scramble to the stored value.
class LoginCheck {
public:
    // Asks for the password; answers the typed text, empty for a close
    // without OK.
    using Asker = std::function<QString()>;

    // True when the program may go on; a wrong password has been reported
    // with the error icon.
    static bool Run(const Asker &ask);
    static bool PasswordIsSet();
};

// What the "Password" dialog decides; the dialog only shows it.
class PasswordDialogLogic {
public:
    enum class Outcome { Open, Confirmed, Cancelled };

    PasswordDialogLogic();

    bool DeactivateEnabled() const { return m_deactivateEnabled; }
    // "Activate": the two fields must match; a mismatch is reported and the
    // dialog stays open.
    Outcome Activate(const QString &newPassword, const QString &confirmation);
    // "DeActivate": asks before the password is removed.
    Outcome Deactivate();
    // Writes the scrambled new password when the dialog was confirmed.
    void Conclude(Outcome outcome) const;

    static constexpr int kMaximumLength = 20;

private:
    bool m_deactivateEnabled = false;
    QString m_newPassword;
};
