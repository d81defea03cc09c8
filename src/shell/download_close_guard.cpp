#include "shell/download_close_guard.h"

#include "base/message_service.h"
#include "base/shell_strings.h"
#include "base/string_table.h"
#include "link/link_controller.h"
#include "link/module_transfer.h"
#include "log/output_log.h"

DownloadCloseGuard::DownloadCloseGuard(LinkController &link, ModuleTransfer &transfer, QObject *parent)
    : QObject(parent), m_link(link), m_transfer(transfer)
{
    connect(&m_link, &LinkController::noticeHandled, this, &DownloadCloseGuard::NoticeHandled);
}

bool DownloadCloseGuard::IsWriting() const
{
    if (!m_link.isRunning())
        return false;
    return m_link.shared().command.load() == LinkCommand::Download || m_transfer.IsReadBackPending();
}

bool DownloadCloseGuard::MayClose()
{
    if (!IsWriting()) {
        m_waiting = false;
        return true;
    }
    const QString name = m_transfer.downloadedModuleName();
    const MessageAnswer answer = MessageService::show({StrF(ShellStrings::CloseWhileWriting, {name}),
                                                       MessageIcon::Question, MessageButtons::YesNo,
                                                       MessageAnswer::Yes});
    // Asked again at every close while it waits: a read-back that never
    // comes must not keep the window open for good.
    if (answer == MessageAnswer::Yes) {
        m_waiting = true;
        return false;
    }
    WriteLogLine(StrF(ShellStrings::DownloadAbandoned, {name}));
    return true;
}

void DownloadCloseGuard::NoticeHandled()
{
    if (!m_waiting || IsWriting())
        return;
    m_waiting = false;
    emit closeDue();
}
