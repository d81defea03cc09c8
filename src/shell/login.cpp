#include "shell/login.h"

#include "base/message_service.h"
#include "base/password.h"
#include "base/settings.h"
#include "base/shell_strings.h"
#include "base/string_table.h"

namespace {
const QString kPasswordSetting = QStringLiteral("asld");

QString StoredPassword()
{
    return ReadSetting(kPasswordSetting).toString();
}
} // namespace

bool LoginCheck::PasswordIsSet()
{
    return Password::isSet(StoredPassword());
}

bool LoginCheck::Run(const Asker &ask)
{
    const QString stored = StoredPassword();
    if (!Password::isSet(stored))
        return true;
    if (Password::matches(ask ? ask() : QString(), stored))
        return true;
    MessageService::error(Str(ShellStrings::IncorrectPassword));
    return false;
}

PasswordDialogLogic::PasswordDialogLogic() : m_deactivateEnabled(LoginCheck::PasswordIsSet())
{
}

PasswordDialogLogic::Outcome PasswordDialogLogic::Activate(const QString &newPassword, const QString &confirmation)
{
    if (newPassword != confirmation) {
        MessageService::error(Str(ShellStrings::PasswordsDiffer));
        return Outcome::Open;
    }
    m_newPassword = newPassword;
    return Outcome::Confirmed;
}

PasswordDialogLogic::Outcome PasswordDialogLogic::Deactivate()
{
    const MessageAnswer answer = MessageService::show(
        {Str(ShellStrings::DeactivateQuestion), MessageIcon::Warning, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes)
        return Outcome::Cancelled;
    m_newPassword = Password::emptyPasswordText();
    return Outcome::Confirmed;
}

void PasswordDialogLogic::Conclude(Outcome outcome) const
{
    if (outcome == Outcome::Confirmed)
        WriteSetting(kPasswordSetting, Password::scramble(m_newPassword));
}
