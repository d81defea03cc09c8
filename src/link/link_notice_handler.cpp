#include "link/link_notice_handler.h"

#include "link/adjust_actions.h"
#include "link/transfer_strings.h"
#include "log/log_strings.h"
#include "log/output_log.h"
#include "base/message_service.h"
#include "base/string_table.h"

namespace {
enum StringId {
    kUploadOk = 62432,
    kUploadError = 62433,
    kOpeningPort = 62436,
    kPortOpened = 62437,
};
} // namespace

LinkNoticeHandler::LinkNoticeHandler(LinkShared &shared) : m_shared(shared)
{
}

void LinkNoticeHandler::setProjectHooks(LinkProjectHooks *hooks)
{
    m_hooks = hooks ? hooks : &m_noHooks;
}

void LinkNoticeHandler::handle(LinkNotice kind, int argument)
{
    switch (kind) {
    case LinkNotice::Connection:
        handleConnection(argument);
        break;
    case LinkNotice::UploadDone:
        handleUploadDone();
        break;
    case LinkNotice::DownloadDone:
        handleDownloadDone();
        break;
    case LinkNotice::PortResult:
        handlePortResult(argument);
        break;
    case LinkNotice::ActionDone:
        handleActionDone(static_cast<ActionCode>(argument));
        break;
    }
}

void LinkNoticeHandler::handleConnection(int change)
{
    if (change == ModuleConnected) {
        m_hooks->findConnectedModule(m_shared.connectedImage);
        WriteLogLine(LogStrings::ModuleConnected);
        m_hooks->compareConnectedModule(m_shared.connectedImage);
    } else if (change == ModuleLost) {
        m_hooks->leaveOnlineMode();
        const QString line = m_hooks->moduleLostLine();
        if (line.isEmpty())
            WriteLogLine(LogStrings::ModuleDisconnected);
        else
            WriteLogLine(line);
        m_hooks->wentOffline();
    }
    m_hooks->refreshLiveValues(m_shared.connectedImage);
    if (m_shared.recheckAfterRead) {
        m_shared.recheckAfterRead = false;
        m_hooks->moduleReadAgain();
    }
}

void LinkNoticeHandler::handleUploadDone()
{
    // The upload's own read decides, not the poll before it.
    const bool read = m_shared.online;
    if (read)
        m_hooks->takeOverUpload(m_shared.connectedImage);
    WriteLogLine(StrF(read ? kUploadOk : kUploadError, {m_hooks->openModuleName()}));
    m_hooks->runSilentComparison();
    commandDone();
}

void LinkNoticeHandler::handleDownloadDone()
{
    const bool stored = m_shared.lastStoreOk == 1;
    // A project side that reads the module back states the verdict once,
    // after the read-back.
    if (!m_hooks->judgesDownloadByReadBack(stored))
        WriteLogLine(StrF(stored ? TransferStrings::DownloadOk : TransferStrings::DownloadError,
                          {m_hooks->downloadedModuleName()}));
    m_hooks->runSilentComparison();
    m_hooks->downloadFinished(stored);
    commandDone();
}

void LinkNoticeHandler::commandDone()
{
    // A stop given meanwhile (from a dialog of a hook) must stand.
    LinkCommand carriedOut = m_shared.command.load();
    if (carriedOut != LinkCommand::Stop)
        m_shared.command.compare_exchange_strong(carriedOut, LinkCommand::None);
}

void LinkNoticeHandler::handleActionDone(ActionCode action)
{
    // A failed exchange says so: the reply before it is not this action's.
    const LinkResult result = m_shared.actionResult;
    const QString line = result == LinkResult::Ok ? AdjustActions::ResultText(action, m_shared.actionReply)
                                                  : AdjustActions::FailureText(action, result);
    WriteLogLine(line);
    m_hooks->reportAction(action, result, m_shared.actionReply);
    m_heldMessage = MessageRequest{line, MessageIcon::None, MessageButtons::Ok};
}

void LinkNoticeHandler::showHeldMessage()
{
    if (!m_heldMessage)
        return;
    const MessageRequest request = *m_heldMessage;
    m_heldMessage.reset();
    MessageService::show(request);
}

QString LinkNoticeHandler::portLine(const QString &portName, int result)
{
    int ending = LinkText::kPortFailed;
    if (result == 0)
        ending = kPortOpened;
    else if (result == CSerialLink::kAccessDenied)
        ending = LinkText::kPortAccessDenied;
    return StrF(kOpeningPort, {portName}) + Str(ending);
}

void LinkNoticeHandler::handlePortResult(int result)
{
    m_shared.retryWaitMs = result == 0 ? 0 : kRetryWaitMs;
    WriteLogLine(portLine(m_shared.portName(), result));
    // Why it failed, and for a permission failure how to mend it.
    if (result != 0 && !m_shared.lastOpenError.isEmpty())
        WriteLogLine(m_shared.lastOpenError);
}
