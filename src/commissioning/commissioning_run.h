#pragma once

#include "commissioning/commissioning_queue.h"
#include "commissioning/commissioning_records.h"
#include "link/link_notice_handler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

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
        Downloading,     // written and not yet read back
        WaitingForUnplug // a verdict or a refusal stands until the module goes
    };

    CommissioningRun(C7100Document &document, ModuleLookup &lookup, ModuleTransfer &transfer,
                     LinkController &link, DbSession &session, QObject *parent = nullptr);
    ~CommissioningRun() override;

    // The modules of the run, with the states kept in the project. Writes them
    // all at once: false after a message when the project cannot be written,
    // and the run does not start.
    bool Prepare(std::vector<CommissioningEntry> entries);
    // Waits for modules; a module online already is taken at once.
    void Start();
    // An unknown module is taken as the next waiting one of its type without
    // being offered.
    void setAssignNext(bool assignNext) { m_assignNext = assignNext; }

    // While paused a plugged module is not identified; resuming takes it.
    void Pause(bool paused);
    bool isPaused() const { return m_paused; }
    // Takes the offered module, or downloads a verified one again.
    bool Confirm();
    // Leaves the plugged module alone (offered or verified): nothing is written.
    bool Decline();
    // A module not in progress is skipped; it waits again on Retry, and when
    // it is the one plugged, is written at once.
    bool Skip(int index);
    bool Retry(int index);
    // The skip key: the offered module is skipped (the next one is offered),
    // a verified module plugged again is left alone, otherwise the selected
    // queued module is skipped.
    bool SkipKey(int selected);
    // The view's words for the phase: the verdict, or what is going on.
    QString VerdictText() const;

    const CommissioningQueue &queue() const { return m_queue; }
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
    QString TypeText(const CModuleImage &connected);
    void BeginDownload(int index);
    void Conclude(bool verified, const QString &reason);
    CommissioningRecord RecordOf(const CommissioningEntry &entry, bool verified) const;
    void Store(int index);
    void SetPhase(Phase phase, int index, const QString &message);

    C7100Document &m_document;
    ModuleLookup &m_lookup;
    ModuleTransfer &m_transfer;
    LinkController &m_link;
    DbSession &m_session;
    CommissioningQueue m_queue;
    Phase m_phase = Phase::Idle;
    int m_current = -1;
    QString m_message;
    bool m_assignNext = false;
    bool m_paused = false;
    bool m_plugWhilePaused = false;
    bool m_lastVerified = false;
    int m_verdicts = 0;
    bool m_sent = false; // the download of the module in progress went to the link
    QString m_serialNr;  // of the module being written
    QString m_revision;
    QStringList m_captured; // messages the transfer gave while the run spoke for the user
    QElapsedTimer m_clock;  // since the module was identified
};
