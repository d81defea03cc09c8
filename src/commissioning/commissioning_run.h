#pragma once

#include "commissioning/commissioning_pool.h"
#include "commissioning/commissioning_records.h"
#include "link/link_notice_handler.h"

#include <QObject>
#include <QStringList>

#include <memory>

class C7100Document;
class DbSession;
class LinkController;
class ModuleLookup;
class ModuleTransfer;

// A commissioning run: module after module is plugged in, identified against
// the queue, written through the transfer's download, read back and compared
// byte for byte, recorded in the project, and unplugged. While it exists the
// run handles the link's notices and hands the transfer what it needs of
// them; it never asks what the run has already answered (the name-overwrite
// question is answered by starting the run).
class CommissioningRun : public QObject, public LinkProjectHooks {
    Q_OBJECT
public:
    enum class Phase {
        Idle,            // not started
        WaitingForPlug,  // no module, or the last one was unplugged
        Offered,         // an unknown module waits to be taken as the offered one
        AlreadyVerified, // a verified module was plugged: download again or leave it
        OtherModule,     // another module with a verified module's tags: replace that one or leave it
        Downloading,     // written and not yet read back
        WaitingForUnplug // a verdict or a refusal stands until the module goes
    };

    CommissioningRun(C7100Document &document, ModuleLookup &lookup, ModuleTransfer &transfer,
                     LinkController &link, DbSession &session, QObject *parent = nullptr);
    // A lane of a run over several ports: the pool's queue and writer are
    // shared with the other lanes; port names the lane in what it tells.
    CommissioningRun(C7100Document &document, ModuleLookup &lookup, ModuleTransfer &transfer,
                     LinkController &link, CommissioningPool &pool, const QString &port,
                     QObject *parent = nullptr);
    ~CommissioningRun() override;

    // The modules of the run, with the states kept in the project. Writes them
    // all at once: false after a message when the project cannot be written,
    // and the run does not start.
    // A new run replaces the queue the project keeps; else the entries join it.
    bool Prepare(std::vector<CommissioningEntry> entries, bool newRun = false);
    // Waits for modules; a module online already is taken at once.
    void Start();
    // Stores what could not be stored during the run. Empty when all is
    // stored; else what the engineer is told (where it is kept).
    QString Finish();
    // An unknown module is taken as the next waiting one of its type without
    // being offered.
    void setAssignNext(bool assignNext) { m_assignNext = assignNext; }

    // While paused a plugged module is not identified; resuming takes it.
    void Pause(bool paused);
    bool isPaused() const { return m_paused; }
    // Whether the run waits for the engineer's answer about the plugged
    // module (offered, verified, or another module with a verified one's tags).
    bool isAsking() const;
    // Takes the offered module, downloads a verified one again, or lets
    // another module replace the verified one whose tags it carries (the
    // records keep both).
    bool Confirm();
    // Leaves the plugged module alone: nothing is written.
    bool Decline();
    // A module not in progress is skipped; it waits again on Retry, and when
    // it is the one plugged, is written at once.
    bool Skip(int index);
    bool Retry(int index);
    // Any module not being written waits again; its records stay.
    bool Reset(int index);
    // The skip key: the offered module is skipped (the next one is offered),
    // a verified module plugged again is left alone, otherwise the selected
    // queued module is skipped.
    bool SkipKey(int selected);
    // The view's words for the phase: the verdict, or what is going on.
    QString VerdictText() const;

    const CommissioningQueue &queue() const { return m_pool.queue(); }
    // The port of the lane (empty for a run of one port).
    const QString &port() const { return m_port; }
    // Whether the queued module current() is this lane's: offered, asked
    // about or being written here.
    bool holdsCurrent() const;
    // The serial number of the module plugged in on this lane, if any and
    // not refused for being plugged in on another lane.
    QString pluggedSerialNr() const { return m_pluggedRefused ? QString() : m_pluggedSerialNr; }
    // Why the run stopped for every lane (empty while it goes on).
    const QString &stopped() const { return m_pool.stopped(); }
    // Whether the lane's port is missing (its adapter pulled): the lane
    // goes on when it is back.
    bool isPortMissing() const { return m_portMissing; }
    // The verdicts reached on this lane since the start.
    int verifiedHere() const { return m_verifiedHere; }
    int failedHere() const { return m_failedHere; }
    Phase phase() const { return m_phase; }
    // The queued module the phase is about, or -1.
    int current() const { return m_current; }
    // What the engineer is to read and do now.
    QString message() const { return m_message; }
    // Whether the latest verdict was verified.
    bool lastVerified() const { return m_lastVerified; }
    // Modules that reached a verdict since the start.
    int verdicts() const { return m_verdicts; }

    // LinkProjectHooks.
    void findConnectedModule(const CModuleImage &connected) override;
    void leaveOnlineMode() override;
    QString moduleLostLine() const override;
    void wentOffline() override;
    void refreshLiveValues(const CModuleImage &connected) override;
    void runSilentComparison() override;
    void moduleReadAgain() override;
    void downloadFinished(bool stored) override;
    void takeOverUpload(const CModuleImage &connected) override;
    QString openModuleName() const override;
    QString downloadedModuleName() const override;

signals:
    void entryChanged(int index);
    void phaseChanged();
    void verdictReached(int index, bool verified);

private:
    void Identify(const CModuleImage &connected);
    // Refuses the plugged module when it is plugged in on another lane or
    // its queued module is handled there; true when refused.
    bool RefusedForOtherLane(const CModuleImage &connected, const CommissioningMatch &match);
    void PortResult(int kind, int result);
    // The run stops for every lane when the folder it writes under is gone.
    void StopWhenFolderGone(const QString &reason);
    // Inside the store's transaction: whether the folder of the run is still
    // stored; sets the reason when not.
    bool FolderStillStored(QString &reason);
    // The line as the log shows it: with the lane's port on several ports.
    QString OnLane(const QString &line) const;
    QString TypeText(const CModuleImage &connected);
    void BeginDownload(int index);
    void Conclude(bool verified, const QString &reason);
    CommissioningRecord RecordOf(const CommissioningEntry &entry, bool verified) const;
    void Store(int index);
    // Stores the verdict with its record; a verdict that cannot be stored
    // turns into a failure saying so.
    void StoreVerdict(CommissioningEntry &entry, CommissioningRecord &record, bool &verified, QString &kept);
    void SetPhase(Phase phase, int index, const QString &message);

    C7100Document &m_document;
    ModuleLookup &m_lookup;
    ModuleTransfer &m_transfer;
    LinkController &m_link;
    std::unique_ptr<CommissioningPool> m_ownPool; // a run of one port
    CommissioningPool &m_pool;
    CommissioningQueue &m_queue;
    CommissioningBacklog &m_backlog;
    QString m_port;
    bool m_portMissing = false;
    int m_verifiedHere = 0;
    int m_failedHere = 0;
    Phase m_phase = Phase::Idle;
    int m_current = -1;
    QString m_message;
    bool m_assignNext = false;
    bool m_paused = false;
    bool m_plugWhilePaused = false;
    bool m_lastVerified = false;
    int m_verdicts = 0;
    bool m_finished = false;
    bool m_sent = false; // the download of the module in progress went to the link
    QString m_serialNr;  // of the module being written
    QString m_pluggedSerialNr; // of the module plugged in now
    bool m_pluggedRefused = false; // it is plugged in on another lane
    QString m_revision;
    bool m_tagsOnly = false; // the module's DIP switches set its parameters
    QStringList m_captured; // messages the transfer gave while the run spoke for the user
    qint64 m_startedMs = 0; // LinkShared::SteadyMs when the cycle began
};
