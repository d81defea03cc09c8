#include "link/link_worker.h"

#include "link/serial_link.h"

std::vector<int> LinkWorker::DownloadBlocks(const CModuleImage &image, bool tagsOnly)
{
    // Blocks 0, 8 and 9 belong to the module alone.
    std::vector<int> blocks = tagsOnly ? std::vector<int>{2} : std::vector<int>{1, 2, 3, 6};
    if (image.IsTwoChannel()) {
        if (tagsOnly)
            blocks.push_back(4);
        else
            blocks.insert(blocks.end(), {4, 5, 7});
    }
    return blocks;
}

LinkWorker::LinkWorker(LinkShared &shared, LinkEvents &events, NoticePoster poster, QObject *parent)
    : QThread(parent), m_shared(shared), m_events(events), m_poster(std::move(poster))
{
    setObjectName(QStringLiteral("LinkWorker"));
}

void LinkWorker::run()
{
    // The port object must be made on this thread: it belongs to it.
    CSerialLink link;
    m_lastPortResult = kNoPortResult;
    m_waitTimeoutMs = 0;
    m_lastAnswered = {};
    m_shared.forceFullRead = false;

    while (true) {
        const int woke = AutoResetEvent::waitForEither(m_events.timer, m_events.command, m_waitTimeoutMs);
        // A handled signal left over from an earlier notice must not let the
        // next notice pass unhandled.
        m_events.handled.reset();
        if (!link.IsOpen() && !openPort(link))
            break;
        if (m_shared.stopRequested())
            break;
        const bool forCommand = woke == 1;
        if (!(forCommand && answeredWithinAPoll())) {
            bool gaveWay = false;
            if (!pollAndReport(link, woke, gaveWay))
                break;
            // The command that came meanwhile wakes the next round at once.
            if (gaveWay)
                continue;
        }
        if (forCommand && !carryOutCommand(link))
            break;
    }
    link.Close();
    m_finished.store(true, std::memory_order_release);
}

bool LinkWorker::pollAndReport(CSerialLink &link, int woke, bool &gaveWay)
{
    const bool refreshTick = woke == 0;
    // The poll before a command is that command's: it never gives way.
    const PollOutcome outcome = poll(link, woke != 1);
    gaveWay = outcome == PollOutcome::GaveWay;
    if (gaveWay)
        return !m_shared.stopRequested();
    m_shared.connected = outcome == PollOutcome::Answered;
    m_shared.online = m_shared.connected;
    if (!m_shared.connected)
        closeVanishedPort(link);
    if (m_shared.stopRequested() || !postConnectionChanges())
        return false;
    m_shared.wasConnected = m_shared.connected;
    // The module read back after an upload or a download is looked at
    // at once, not at the next tick.
    const bool readAgain = m_shared.recheckAfterRead;
    return !((refreshTick || readAgain) && !post(LinkNotice::Connection, PeriodicRefresh));
}

bool LinkWorker::answeredWithinAPoll() const
{
    if (!m_shared.connected || m_shared.forceFullRead || m_lastAnswered.lastedMs < 0)
        return false;
    return LinkShared::SteadyMs() - m_lastAnswered.endedAtMs <= m_lastAnswered.lastedMs;
}

bool LinkWorker::givesWayToCommand() const
{
    return m_mayGiveWay && m_events.command.isSet();
}

bool LinkWorker::openPort(CSerialLink &link)
{
    link.SetLineSettings(m_shared.lineSettings());
    const int result = link.Open(m_shared.portName());
    if (result == m_lastPortResult)
        return true;
    m_lastPortResult = result;
    if (result == 0) {
        // Only the log line follows from an open port: the worker reads the
        // module meanwhile (while a command-line tool still opens its project).
        m_waitTimeoutMs = 0;
        announce(LinkNotice::PortResult, result);
        return !m_shared.stopRequested();
    }
    m_shared.lastOpenError = link.LastOpenError();
    if (!post(LinkNotice::PortResult, result))
        return false;
    m_waitTimeoutMs = m_shared.retryWaitMs;
    return true;
}

void LinkWorker::closeVanishedPort(CSerialLink &link)
{
    // A device that was pulled out answers every read at once with an error:
    // polling it back to back would only burn the processor. Closed, it is
    // retried like any port that cannot be opened, paced by the retry wait.
    if (link.IsOpen() && !CSerialLink::PortExists(m_shared.portName()))
        link.Close();
}

bool LinkWorker::fetchBlocks(CSerialLink &link, std::initializer_list<int> blocks)
{
    for (int block : blocks) {
        QByteArray *bytes =
            block < int(m_shared.connectedBlocks.size()) ? &m_shared.connectedBlocks[size_t(block)] : nullptr;
        if (givesWayToCommand()) {
            m_gaveWay = true;
            return false;
        }
        if (!link.FetchBlock(block, m_shared.connectedImage, bytes) || m_shared.stopRequested())
            return false;
    }
    return true;
}

bool LinkWorker::readIdentityBlocks(CSerialLink &link)
{
    // Block 0 tells whether the module has a second channel.
    if (!fetchBlocks(link, {0, 2, 8}))
        return false;
    return !m_shared.connectedImage.IsTwoChannel() || fetchBlocks(link, {4, 9});
}

bool LinkWorker::readParameterBlocks(CSerialLink &link)
{
    if (!fetchBlocks(link, {3, 6, 1}))
        return false;
    return !m_shared.connectedImage.IsTwoChannel() || fetchBlocks(link, {5, 7});
}

LinkWorker::PollOutcome LinkWorker::poll(CSerialLink &link, bool mayGiveWay)
{
    ++m_shared.polls;
    const qint64 began = LinkShared::SteadyMs();
    const bool forced = m_shared.forceFullRead;
    // A command asked for before this poll began is carried out after it:
    // only one that comes meanwhile may end it early.
    m_mayGiveWay = mayGiveWay && !forced && m_shared.wasConnected && !m_events.command.isSet();
    m_gaveWay = false;
    bool connected = readIdentityBlocks(link);
    if (m_gaveWay) {
        // What was read is of the module known to be there; who it is, the
        // poll before the command or the next one tells.
        m_mayGiveWay = false;
        return PollOutcome::GaveWay;
    }
    m_mayGiveWay = false;
    const ModuleIdentity identity = ModuleIdentity::of(m_shared.connectedImage);
    if (!connected) {
        m_shared.sameModule = false;
    } else {
        m_shared.sameModule = m_shared.wasConnected && identity == m_shared.previous;
        if (!m_shared.sameModule && !(m_shared.wasConnected && identity.serialNr == m_shared.previous.serialNr))
            m_shared.moduleAnsweredAtMs = began;
        if (!m_shared.sameModule || forced)
            connected = readParameterBlocks(link);
    }
    // Whoever waits for the forced read learns also of one that failed: the
    // module that went away cannot be read back.
    if (forced) {
        m_shared.forceFullRead = false;
        m_shared.recheckAfterRead = true;
        m_shared.fullReadOk = connected;
    }
    m_shared.previous = identity;
    const qint64 ended = LinkShared::SteadyMs();
    m_lastAnswered = connected ? AnsweredPoll{ended, ended - began} : AnsweredPoll{};
    return connected ? PollOutcome::Answered : PollOutcome::Silent;
}

bool LinkWorker::postConnectionChanges()
{
    const bool connected = m_shared.connected;
    const bool wasConnected = m_shared.wasConnected;
    if (connected && wasConnected && !m_shared.sameModule)
        return post(LinkNotice::Connection, ModuleLost) && post(LinkNotice::Connection, ModuleConnected);
    if (connected && !wasConnected)
        return post(LinkNotice::Connection, ModuleConnected);
    if (!connected && wasConnected)
        return post(LinkNotice::Connection, ModuleLost);
    return true;
}

bool LinkWorker::storeBlocks(CSerialLink &link, const std::vector<int> &blocks)
{
    for (int block : blocks) {
        if (!link.StoreBlock(block, m_shared.writeImage, m_shared.family))
            return false;
        if (m_shared.stopRequested()) {
            // Not every block was written: the download did not succeed.
            link.SetLastStoreOk(0);
            return false;
        }
    }
    return true;
}

bool LinkWorker::download(CSerialLink &link)
{
    const bool tagsOnly = m_shared.connectedImage.DIPSwitch != 0;
    link.SetLastStoreOk(1);
    const bool written = storeBlocks(link, DownloadBlocks(m_shared.writeImage, tagsOnly));
    m_shared.lastStoreOk = link.LastStoreOk();
    return written;
}

bool LinkWorker::isTheModuleWrittenFor() const
{
    return m_shared.connected && m_shared.connectedImage.SerialNr == m_shared.writeImage.SerialNr;
}

bool LinkWorker::carryOutCommand(CSerialLink &link)
{
    switch (m_shared.command.load()) {
    case LinkCommand::Upload:
        m_shared.forceFullRead = true;
        m_shared.online = poll(link, false) == PollOutcome::Answered;
        return !m_shared.stopRequested() && post(LinkNotice::UploadDone);
    case LinkCommand::Download:
        if (isTheModuleWrittenFor())
            download(link);
        else
            m_shared.lastStoreOk = 0;
        if (m_shared.stopRequested() || !post(LinkNotice::DownloadDone))
            return false;
        m_shared.forceFullRead = true;
        return true;
    case LinkCommand::Action: {
        const ActionCode action = m_shared.action;
        m_shared.actionResult = link.ExchangeAction(action);
        m_shared.actionReply = link.GetActionReply();
        // Even an exchange that failed may have reached the module: what it
        // holds now is read in full at the next poll.
        if (ChangesParameterBlocks(action))
            m_shared.forceFullRead = true;
        return post(LinkNotice::ActionDone, static_cast<int>(action));
    }
    case LinkCommand::Reopen:
        link.Close();
        return openPort(link);
    case LinkCommand::Stop:
        return false;
    case LinkCommand::None:
        break;
    }
    return true;
}

bool LinkWorker::post(LinkNotice kind, int argument)
{
    if (m_shared.stopRequested())
        return false;
    ++m_shared.noticesPosted;
    m_poster(kind, argument, true);
    m_events.handled.wait(AutoResetEvent::kInfinite);
    return !m_shared.stopRequested();
}

void LinkWorker::announce(LinkNotice kind, int argument)
{
    ++m_shared.noticesPosted;
    m_poster(kind, argument, false);
}
