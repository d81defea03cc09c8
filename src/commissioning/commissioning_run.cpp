#include "commissioning/commissioning_run.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "db/data_error.h"
#include "commissioning/commissioning_strings.h"
#include "link/link_controller.h"
#include "link/link_worker.h"
#include "link/module_transfer.h"
#include "log/output_log.h"
#include "log/product_info.h"
#include "tree/document.h"
#include "tree/item.h"
#include "tree/item_path.h"
#include "tree/module_lookup.h"

#include <algorithm>
#include <functional>

using namespace CommissioningStrings;

namespace {
// While the run speaks for the engineer: the question before a module's name
// is overwritten is answered Yes (starting the run answered it), and what the
// transfer would show in a box becomes the reason of the verdict instead.
class RunAnswers {
public:
    explicit RunAnswers(QStringList &captured)
    {
        m_previous = MessageService::setPresenter([&captured](const MessageRequest &request) {
            if (request.buttons == MessageButtons::YesNo)
                return MessageAnswer::Yes;
            if (request.icon == MessageIcon::Error)
                captured << request.text;
            return MessageAnswer::Ok;
        });
    }
    ~RunAnswers() { MessageService::setPresenter(m_previous); }
    RunAnswers(const RunAnswers &) = delete;
    RunAnswers &operator=(const RunAnswers &) = delete;

private:
    MessageService::Presenter m_previous;
};

QByteArray BlocksOf(const std::vector<int> &blocks, const std::function<QByteArray(int)> &bytesOf)
{
    QByteArray joined;
    for (int block : blocks)
        joined += bytesOf(block);
    return joined;
}
} // namespace

CommissioningRun::CommissioningRun(C7100Document &document, ModuleLookup &lookup, ModuleTransfer &transfer,
                                   LinkController &link, DbSession &session, QObject *parent)
    : CommissioningRun(document, lookup, transfer, link, *new CommissioningPool(session), QString(), parent)
{
    m_ownPool.reset(&m_pool);
}

CommissioningRun::CommissioningRun(C7100Document &document, ModuleLookup &lookup, ModuleTransfer &transfer,
                                   LinkController &link, CommissioningPool &pool, const QString &port,
                                   QObject *parent)
    : QObject(parent), m_document(document), m_lookup(lookup), m_transfer(transfer), m_link(link), m_pool(pool),
      m_queue(pool.queue()), m_backlog(pool.backlog()), m_port(port)
{
    m_link.handler().setProjectHooks(this);
    m_pool.Join(*this);
    connect(&m_link, &LinkController::noticeHandled, this, &CommissioningRun::PortResult);
}

CommissioningRun::~CommissioningRun()
{
    m_pool.Leave(*this);
    m_link.handler().setProjectHooks(&m_transfer);
    // The last chance of this run; the side file keeps what still fails.
    if (!m_finished)
        m_backlog.Flush();
}

QString CommissioningRun::Finish()
{
    m_finished = true;
    QString reason;
    if (m_backlog.Flush(&reason))
        return QString();
    const QString text = StrF(LeftNotStored, {reason, m_backlog.sideFile()});
    WriteLogLine(text);
    return text;
}

bool CommissioningRun::Prepare(std::vector<CommissioningEntry> entries, bool newRun)
{
    QString reason;
    try {
        CommissioningStore store(m_pool.session());
        store.LoadStates(entries);
        // What an earlier run could not store is newer than the project.
        m_backlog.TakeOverSideFile(entries);
        if (newRun)
            store.ReplaceAll(entries);
        else
            store.SaveAll(entries);
    } catch (const COLEDBException &error) {
        reason = MessageText(error);
    }
    if (reason.isEmpty())
        m_backlog.Flush(&reason);
    if (!reason.isEmpty()) {
        const QString text = StrF(NotWritable, {reason});
        WriteLogLine(text);
        MessageService::error(text);
        return false;
    }
    m_pool.setQueue(CommissioningQueue(std::move(entries)));
    return true;
}

void CommissioningRun::Start()
{
    SetPhase(Phase::WaitingForPlug, -1, Str(PlugNext));
    // The transfer took the module that is online already; one whose
    // connection notice is still on its way reaches the run itself.
    const CModuleImage &connected = m_transfer.ConnectedImage();
    if (m_link.isOnline() && !(connected.SerialNr.isEmpty() && connected.Channel[0].Name.isEmpty()))
        Identify(connected);
}

void CommissioningRun::SetPhase(Phase phase, int index, const QString &message)
{
    m_phase = phase;
    m_current = index;
    m_message = message;
    emit phaseChanged();
}

bool CommissioningRun::FolderStillStored(QString &reason)
{
    const QString folder = m_queue.Folder();
    Item *item = FindItemByPath(m_document, folder);
    ContainerItem *container = item ? item->asContainer() : nullptr;
    // A folder that cannot be read now is not taken for gone: the write
    // meets the same fault and says so.
    const std::optional<bool> stored = container ? m_document.StillStored(*container) : std::optional<bool>(false);
    if (!stored || *stored)
        return true;
    reason = StrF(FolderGone, {folder});
    return false;
}

void CommissioningRun::StopWhenFolderGone(const QString &reason)
{
    if (!m_pool.stopped().isEmpty())
        return;
    m_pool.Stop(reason);
    WriteLogLine(reason);
}

void CommissioningRun::Store(int index)
{
    QString reason;
    bool gone = false;
    const auto check = [this](QString &why) { return FolderStillStored(why); };
    const bool stored = m_backlog.Store(m_queue.at(index), nullptr, &reason, check, &gone);
    if (gone) {
        StopWhenFolderGone(reason);
    } else if (!stored) {
        m_backlog.Keep(m_queue.at(index), nullptr);
        WriteLogLine(StrF(ReasonRecordNotStored, {reason}) + QLatin1Char(' ') +
                     StrF(KeptInSideFile, {m_backlog.sideFile()}));
    }
    emit entryChanged(index);
}

void CommissioningRun::StoreVerdict(CommissioningEntry &entry, CommissioningRecord &record, bool &verified,
                                    QString &kept)
{
    QString reason;
    bool gone = false;
    const auto check = [this](QString &why) { return FolderStillStored(why); };
    if (m_backlog.Store(entry, &record, &reason, check, &gone))
        return;
    verified = false;
    entry.state = CommissioningState::Failed;
    entry.reason = StrF(ReasonRecordNotStored, {reason});
    record.verified = false;
    record.reason = entry.reason;
    // Records of modules whose folder is gone have no place left.
    if (gone) {
        StopWhenFolderGone(reason);
        return;
    }
    m_backlog.Keep(entry, &record);
    kept = StrF(KeptInSideFile, {m_backlog.sideFile()});
}

QString CommissioningRun::TypeText(const CModuleImage &connected)
{
    m_lookup.ModuleName(connected.ModulTypID + 1, QString(), QString());
    const QString name = m_transfer.Texts().GetParameter(connected, 0, 0, m_lookup.Family()).nameText;
    return name.isEmpty() ? QString::number(connected.ModulTypID + 1) : name;
}

void CommissioningRun::Identify(const CModuleImage &connected)
{
    // A cycle counts from the module's first answer, its connection read
    // included.
    const qint64 answeredAt = m_link.shared().moduleAnsweredAtMs;
    m_startedMs = answeredAt > 0 ? answeredAt : LinkShared::SteadyMs();
    const qint32 typeId = connected.ModulTypID + 1;
    const QString name = m_lookup.ModuleName(typeId, connected.Channel[0].Name, connected.Channel[1].Name);
    if (!m_pool.stopped().isEmpty()) {
        SetPhase(Phase::WaitingForUnplug, -1, m_pool.stopped());
        return;
    }
    const CommissioningMatch match = m_queue.Identify(
        connected.SerialNr, name, typeId, [this](int index) { return m_pool.HolderOf(index, *this) != nullptr; });
    if (RefusedForOtherLane(connected, match))
        return;
    switch (match.kind) {
    case CommissioningMatch::Queued:
        BeginDownload(match.index);
        return;
    case CommissioningMatch::AlreadyVerified: {
        const CommissioningEntry &entry = m_queue.at(match.index);
        SetPhase(Phase::AlreadyVerified, match.index,
                 StrF(AlreadyVerified, {entry.path, entry.changedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                        entry.serialNr}));
        return;
    }
    case CommissioningMatch::OtherModule: {
        const CommissioningEntry &entry = m_queue.at(match.index);
        const QString text = StrF(OtherModuleWithTags, {entry.path, connected.SerialNr, entry.serialNr});
        WriteLogLine(text);
        SetPhase(Phase::OtherModule, match.index, text);
        return;
    }
    case CommissioningMatch::Offered:
        // A skipped module was left out on purpose: only the engineer takes
        // its place.
        if (m_assignNext && m_queue.at(match.index).state != CommissioningState::Skipped) {
            BeginDownload(match.index);
            return;
        }
        SetPhase(Phase::Offered, match.index,
                 StrF(OfferNext, {connected.SerialNr, m_queue.at(match.index).path}));
        return;
    case CommissioningMatch::Held:
        return;
    case CommissioningMatch::UnknownType:
    case CommissioningMatch::NoneWaiting: {
        const QString text =
            StrF(match.kind == CommissioningMatch::UnknownType ? TypeNotQueued : NoneOfTypeWaiting,
                 {TypeText(connected), connected.SerialNr});
        WriteLogLine(text);
        SetPhase(Phase::WaitingForUnplug, -1, text);
        return;
    }
    }
}

bool CommissioningRun::RefusedForOtherLane(const CModuleImage &connected, const CommissioningMatch &match)
{
    QString text;
    if (const CommissioningRun *other = m_pool.PluggedOn(connected.SerialNr, *this))
        text = StrF(PluggedOnOtherLane, {connected.SerialNr, other->port()});
    else if (match.kind == CommissioningMatch::Held)
        text = StrF(HeldOnOtherLane,
                    {m_queue.at(match.index).path, m_pool.HolderOf(match.index, *this)->port(), connected.SerialNr});
    if (text.isEmpty())
        return false;
    text = OnLane(text);
    WriteLogLine(text);
    m_pluggedRefused = true;
    SetPhase(Phase::WaitingForUnplug, -1, text);
    return true;
}

QString CommissioningRun::OnLane(const QString &line) const
{
    return m_port.isEmpty() ? line : StrF(LaneLine, {m_port, line});
}

bool CommissioningRun::holdsCurrent() const
{
    return m_current >= 0 && (isAsking() || m_phase == Phase::Downloading);
}

void CommissioningRun::PortResult(int kind, int result)
{
    if (kind != int(LinkNotice::PortResult) || (result != 0) == m_portMissing)
        return;
    m_portMissing = result != 0;
    const QString line = OnLane(StrF(m_portMissing ? PortMissing : PortBack, {m_link.shared().portName()}));
    WriteLogLine(line);
    emit phaseChanged();
}

void CommissioningRun::BeginDownload(int index)
{
    CommissioningEntry &entry = m_queue.at(index);
    const CommissioningEntry before = entry;
    const CModuleImage &connected = m_transfer.ConnectedImage();
    m_serialNr = connected.SerialNr;
    m_revision = connected.Revision;
    m_tagsOnly = connected.DIPSwitch != 0;
    entry.state = CommissioningState::InProgress;
    entry.serialNr = m_serialNr;
    entry.reason.clear();
    Store(index);
    // Another program deleted the folder since the module was identified:
    // its slot was never tried, and nothing is written to the module.
    if (!m_pool.stopped().isEmpty()) {
        entry = before;
        emit entryChanged(index);
        SetPhase(Phase::WaitingForUnplug, -1, m_pool.stopped());
        return;
    }
    SetPhase(Phase::Downloading, index, entry.path);
    m_captured.clear();
    Item *module = m_lookup.LoadRow(entry.moduleTable, entry.moduleId);
    bool sent = false;
    if (module && m_document.Select(module->handle())) {
        const RunAnswers answers(m_captured);
        sent = m_transfer.Download();
    }
    m_sent = sent;
    if (!sent)
        Conclude(false, m_captured.isEmpty()
                            ? Str(ReasonRefused)
                            : Str(ReasonRefused) + QStringLiteral(": ") + m_captured.join(QLatin1Char(' ')));
}

CommissioningRecord CommissioningRun::RecordOf(const CommissioningEntry &entry, bool verified) const
{
    CommissioningRecord record;
    record.recordedAt = QDateTime::currentDateTime();
    record.moduleTable = entry.moduleTable;
    record.moduleId = entry.moduleId;
    record.modulePath = entry.path;
    record.serialNr = m_serialNr;
    record.revision = m_revision;
    record.osUser = CommissioningRecords::OsUser();
    record.programVersion = QString::fromLatin1(ProductInfo::kVersion);
    record.verified = verified;
    record.reason = entry.reason;
    record.elapsedMs = entry.elapsedMs;
    record.port = m_port.isEmpty() ? m_link.shared().portName() : m_port;
    // A download that was sent is concluded while a notice is handled: the
    // link's images may be read then.
    if (!m_sent)
        return record;
    const LinkShared &shared = m_link.shared();
    // In block order, whatever order they were written in: anyone can check
    // the sum from a dump of the blocks.
    std::vector<int> blocks =
        LinkWorker::DownloadBlocks(shared.writeImage, shared.connectedImage.DIPSwitch != 0);
    std::sort(blocks.begin(), blocks.end());
    record.crcWritten = CommissioningRecords::Crc32(BlocksOf(
        blocks, [&shared](int block) { return shared.writeImage.EncodeBlock(block, shared.family); }));
    // Only a read that went through gives the bytes the module holds.
    const ModuleTransfer::ReadBack readBack = m_transfer.ReadBackResult();
    if (readBack == ModuleTransfer::ReadBack::Same || readBack == ModuleTransfer::ReadBack::Different)
        record.crcReadBack = CommissioningRecords::Crc32(
            BlocksOf(blocks, [&shared](int block) { return shared.connectedBlocks[size_t(block)]; }));
    return record;
}

void CommissioningRun::Conclude(bool verified, const QString &reason)
{
    const int index = m_current;
    CommissioningEntry &entry = m_queue.at(index);
    entry.state = verified ? CommissioningState::Verified : CommissioningState::Failed;
    // The DIP switches set the parameters: a verdict on the tags alone says so.
    entry.reason = !verified ? reason : m_tagsOnly ? Str(TagsOnly) : QString();
    entry.elapsedMs = LinkShared::SteadyMs() - m_startedMs;
    entry.changedAt = QDateTime::currentDateTime();
    CommissioningRecord record = RecordOf(entry, verified);
    // No verdict is shown, counted or returned before its record is stored.
    QString kept;
    StoreVerdict(entry, record, verified, kept);
    emit entryChanged(index);
    const QString seconds = QString::number(double(entry.elapsedMs) / 1000.0, 'f', 1);
    QString line = OnLane(!verified              ? StrF(LogFailed, {entry.path, m_serialNr, entry.reason})
                          : entry.reason.isEmpty() ? StrF(LogVerified, {entry.path, m_serialNr, seconds})
                                                   : StrF(LogVerifiedWith, {entry.path, m_serialNr, entry.reason, seconds}));
    if (!kept.isEmpty())
        line += QLatin1Char('\n') + kept;
    WriteLogLine(line);
    m_lastVerified = verified;
    ++m_verdicts;
    ++(verified ? m_verifiedHere : m_failedHere);
    m_sent = false;
    // A module that went away during its download is unplugged already.
    if (m_link.isOnline())
        SetPhase(Phase::WaitingForUnplug, index, line + QLatin1Char('\n') + Str(Unplug));
    else
        SetPhase(Phase::WaitingForPlug, index, line + QLatin1Char('\n') + Str(PlugNext));
    emit verdictReached(index, verified);
}

void CommissioningRun::Pause(bool paused)
{
    m_paused = paused;
    if (paused) {
        emit phaseChanged();
        return;
    }
    const bool plugged = m_plugWhilePaused;
    m_plugWhilePaused = false;
    if (plugged && m_link.isOnline() && m_phase == Phase::WaitingForPlug)
        Identify(m_transfer.ConnectedImage());
    else
        emit phaseChanged();
}

bool CommissioningRun::isAsking() const
{
    return m_phase == Phase::Offered || m_phase == Phase::AlreadyVerified || m_phase == Phase::OtherModule;
}

bool CommissioningRun::Confirm()
{
    if (!isAsking())
        return false;
    // The time the engineer took to decide is not the module's.
    m_startedMs = LinkShared::SteadyMs();
    BeginDownload(m_current);
    return true;
}

bool CommissioningRun::Decline()
{
    if (!isAsking())
        return false;
    SetPhase(Phase::WaitingForUnplug, -1, Str(Unplug));
    return true;
}

bool CommissioningRun::Skip(int index)
{
    if (index < 0 || index >= m_queue.size() || (m_phase == Phase::Downloading && index == m_current))
        return false;
    if (!m_queue.Skip(index))
        return false;
    Store(index);
    // The offered module is no more to be had: offer the next one.
    if (m_phase == Phase::Offered && index == m_current && m_link.isOnline())
        Identify(m_transfer.ConnectedImage());
    return true;
}

bool CommissioningRun::SkipKey(int selected)
{
    if (m_phase == Phase::AlreadyVerified || m_phase == Phase::OtherModule)
        return Decline();
    return Skip(m_phase == Phase::Offered ? m_current : selected);
}

QString CommissioningRun::VerdictText() const
{
    if (m_paused)
        return Str(Paused);
    switch (m_phase) {
    case Phase::Downloading:
        return Str(StateInProgress);
    case Phase::WaitingForUnplug:
    case Phase::WaitingForPlug:
        if (m_current >= 0 && m_verdicts > 0)
            return Str(m_lastVerified ? VerdictVerified : VerdictFailed);
        return QString();
    case Phase::Idle:
    case Phase::Offered:
    case Phase::AlreadyVerified:
    case Phase::OtherModule:
        return QString();
    }
    return QString();
}

bool CommissioningRun::Reset(int index)
{
    if (index < 0 || index >= m_queue.size() || (m_phase == Phase::Downloading && index == m_current) ||
        !m_queue.Reset(index))
        return false;
    Store(index);
    return true;
}

bool CommissioningRun::Retry(int index)
{
    if (index < 0 || index >= m_queue.size() || m_queue.at(index).state == CommissioningState::InProgress)
        return false;
    if (!m_queue.Retry(index))
        return false;
    Store(index);
    // The failed module is still plugged in: write it again at once, unless
    // another lane took its place meanwhile.
    if (m_phase == Phase::WaitingForUnplug && index == m_current && m_link.isOnline() &&
        !m_pool.HolderOf(index, *this)) {
        m_startedMs = LinkShared::SteadyMs();
        BeginDownload(index);
    }
    return true;
}

// ------------------------------------------------------------ link notices

void CommissioningRun::findConnectedModule(const CModuleImage &connected)
{
    if (connected.SerialNr != m_pluggedSerialNr)
        m_pluggedRefused = false;
    m_pluggedSerialNr = connected.SerialNr;
    // The transfer's copy of the connected module is what its download
    // writes over.
    m_transfer.runSilentComparison();
    // Writing new tags makes the same module look like another one; a
    // download in progress ends by its own read-back.
    if (m_phase == Phase::Downloading || m_phase == Phase::Idle)
        return;
    if (m_paused) {
        m_plugWhilePaused = true;
        return;
    }
    if (m_phase == Phase::WaitingForUnplug && m_current >= 0 && connected.SerialNr == m_serialNr)
        return;
    Identify(connected);
}

void CommissioningRun::leaveOnlineMode()
{
    m_transfer.leaveOnlineMode();
    // Another identity on a module still answering is not an unplug.
    if (m_link.isOnline())
        return;
    m_plugWhilePaused = false;
    // A download in progress ends by its read-back failing.
    if (isAsking() || m_phase == Phase::WaitingForUnplug)
        SetPhase(Phase::WaitingForPlug, -1, Str(PlugNext));
}

QString CommissioningRun::moduleLostLine() const
{
    // Modules come and go all through a run: an unplug is no fault.
    return OnLane(StrF(Unplugged, {m_pluggedSerialNr}));
}

void CommissioningRun::wentOffline()
{
    m_pluggedSerialNr.clear();
    m_pluggedRefused = false;
}

void CommissioningRun::refreshLiveValues(const CModuleImage &connected)
{
    m_transfer.refreshLiveValues(connected);
}

void CommissioningRun::runSilentComparison()
{
    m_transfer.runSilentComparison();
}

void CommissioningRun::moduleReadAgain()
{
    {
        const RunAnswers answers(m_captured);
        m_transfer.moduleReadAgain();
    }
    if (m_phase != Phase::Downloading)
        return;
    switch (m_transfer.ReadBackResult()) {
    case ModuleTransfer::ReadBack::Same:
        Conclude(true, QString());
        break;
    case ModuleTransfer::ReadBack::Different:
        Conclude(false, Str(ReasonReadBackDiffers));
        break;
    case ModuleTransfer::ReadBack::NotRead:
        Conclude(false, Str(ReasonNotReadBack));
        break;
    case ModuleTransfer::ReadBack::None:
    case ModuleTransfer::ReadBack::Pending:
        break;
    }
}

void CommissioningRun::downloadFinished(bool stored)
{
    m_transfer.downloadFinished(stored);
    if (m_phase == Phase::Downloading && !stored)
        Conclude(false, Str(ReasonNotStored));
}

void CommissioningRun::takeOverUpload(const CModuleImage &connected)
{
    m_transfer.takeOverUpload(connected);
}

QString CommissioningRun::openModuleName() const
{
    return m_transfer.openModuleName();
}

QString CommissioningRun::downloadedModuleName() const
{
    return m_transfer.downloadedModuleName();
}
