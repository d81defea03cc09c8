#include "link/link_controller.h"

#include "link/com_port.h"
#include "link/link_worker.h"
#include "log/output_log.h"
#include "base/message_service.h"
#include "base/string_table.h"

LinkController::LinkController(QObject *parent) : QObject(parent), m_handler(m_shared)
{
    m_refreshTimer.setInterval(kRefreshPeriodMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] { m_events.timer.set(); });
}

LinkController::~LinkController()
{
    StopLink();
}

void LinkController::setProjectOpen(bool open)
{
    m_projectOpen = open;
    if (!open)
        StopLink();
}

bool LinkController::StartLink()
{
    if (m_worker)
        return true;
    if (!m_projectOpen)
        return false;
    m_closing = false;
    const quint64 run = ++m_run;
    m_events.resetAll();
    m_shared.command = LinkCommand::None;
    m_shared.connected = false;
    m_shared.wasConnected = false;
    m_shared.sameModule = false;
    m_shared.recheckAfterRead = false;
    m_shared.online = false;
    if (m_portOverride.isEmpty())
        m_shared.setPort(ComPort::configuredName(), LineSettings());
    else
        m_shared.setPort(m_portOverride, m_overrideSettings);
    m_worker = new LinkWorker(
        m_shared, m_events,
        [this, run](LinkNotice kind, int argument, bool waited) { postNotice({kind, argument, run, waited}); },
        this);
    m_worker->start();
    m_refreshTimer.start();
    return true;
}

void LinkController::StopLink()
{
    m_refreshTimer.stop();
    if (!m_worker)
        return;
    m_closing = true;
    m_shared.command = LinkCommand::Stop;
    m_events.command.set();
    // Releases a worker that waits for a notice to be handled.
    m_events.handled.set();
    m_worker->wait();
    [[maybe_unused]] const bool finished = m_worker->hasFinished();
    delete m_worker;
    m_worker = nullptr;
    m_shared.online = false;
    m_events.resetAll();
}

void LinkController::RequestStop()
{
    if (!m_worker)
        return;
    m_shared.command = LinkCommand::Stop;
    m_events.command.set();
}

bool LinkController::WaitsForTheLink(LinkCommand command)
{
    return command == LinkCommand::Upload || command == LinkCommand::Download ||
           command == LinkCommand::Action;
}

bool LinkController::RefuseWhileBusy()
{
    if (!isRunning() || !m_shared.busy())
        return false;
    const QString text = Str(LinkText::kLinkBusy);
    WriteLogLine(text);
    MessageService::error(text);
    return true;
}

bool LinkController::RequestCommand(LinkCommand command)
{
    if (WaitsForTheLink(command) && RefuseWhileBusy())
        return false;
    m_shared.command = command;
    m_events.command.set();
    return true;
}

bool LinkController::RequestAction(ActionCode action)
{
    // The worker reads the action code once it has woken up.
    if (RefuseWhileBusy())
        return false;
    m_shared.action = action;
    return RequestCommand(LinkCommand::Action);
}

bool LinkController::RequestDownload(const CModuleImage &image, ModuleFamily family)
{
    // The worker reads the write image until the download notice has been
    // handled; it must not change under it.
    if (RefuseWhileBusy())
        return false;
    m_shared.writeImage = image;
    m_shared.family = family;
    RequestCommand(LinkCommand::Download);
    return true;
}

void LinkController::ChangePort(const QString &portName)
{
    ComPort::configure(portName);
    m_portOverride.clear();
    m_shared.setPort(ComPort::configuredName(), LineSettings());
    RequestCommand(LinkCommand::Reopen);
}

void LinkController::postNotice(const PendingNotice &notice)
{
    // Runs on the worker thread: the event queue only says that a notice is
    // waiting.
    {
        std::lock_guard lock(m_pendingLock);
        m_pending.push_back(notice);
    }
    QMetaObject::invokeMethod(this, "deliverPendingNotice", Qt::QueuedConnection);
}

void LinkController::deliverPendingNotice()
{
    PendingNotice notice{};
    {
        std::lock_guard lock(m_pendingLock);
        if (m_pending.empty())
            return;
        notice = m_pending.front();
        m_pending.pop_front();
    }
    deliverNotice(notice);
}

void LinkController::deliverNotice(const PendingNotice &notice)
{
    // StopLink has already released the worker of a notice it drops.
    if (!currentRun(notice.run))
        return;
    {
        // Only a worker that waits for this notice is released: a notice it
        // did not wait for must not let its next one pass unhandled.
        struct ReleaseWorker {
            LinkController &controller;
            const PendingNotice &notice;
            ~ReleaseWorker()
            {
                if (notice.waited && controller.currentRun(notice.run))
                    controller.m_events.handled.set();
            }
        } release{*this, notice};
        m_handler.handle(notice.kind, notice.argument);
        emit noticeHandled(static_cast<int>(notice.kind), notice.argument);
    }
    // The worker goes on before a box opens: notices that arrive while it is
    // open are handled in its event loop.
    m_handler.showHeldMessage();
}
