#pragma once

#include "link/link_notice_handler.h"
#include "link/link_shared.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <mutex>

class LinkWorker;

// The user-interface side of the device link: starts and stops the link
// worker while a project is open, passes commands to it, ticks the periodic
// refresh and hands the worker's notices to the notice handler.
class LinkController : public QObject {
    Q_OBJECT
public:
    static constexpr int kRefreshPeriodMs = 3000;

    explicit LinkController(QObject *parent = nullptr);
    ~LinkController() override;
    LinkController(const LinkController &) = delete;
    LinkController &operator=(const LinkController &) = delete;

    // Told by whoever opens and closes projects; the link runs only while a
    // project is open, so closing it stops the link.
    void setProjectOpen(bool open);
    bool isProjectOpen() const { return m_projectOpen; }

    // The port to use instead of the "ComPort" setting (empty: the setting),
    // with its own line settings.
    void setPortOverride(const QString &portName, const LineSettings &settings = {})
    {
        m_portOverride = portName;
        m_overrideSettings = settings;
    }

    // Starts the worker and the refresh timer; only while a project is open.
    // True when the link runs.
    bool StartLink();
    // Stops the worker and waits for its end; never hangs on a notice that is
    // waiting to be handled: such a notice is dropped.
    void StopLink();
    // Asks the worker to end without waiting for it: asked while a notice
    // is handled, the worker ends when that notice was handled, before it
    // reads the module once more. StopLink still follows.
    void RequestStop();
    bool isRunning() const { return m_worker != nullptr; }

    // Carried out at the worker's next wake-up. An upload, a download or an
    // action asked for while an upload or a download is being carried out
    // would overwrite it: it is refused (false) with the busy message, not
    // queued.
    bool RequestCommand(LinkCommand command);
    bool RequestAction(ActionCode action);
    // Writes image into the connected module as a module of family.
    bool RequestDownload(const CModuleImage &image, ModuleFamily family);
    // True after the busy message when an upload or a download is being
    // carried out.
    bool RefuseWhileBusy();
    // Stores the port as the setting and has the worker open it.
    void ChangePort(const QString &portName);

    bool isOnline() const { return m_shared.online; }
    LinkShared &shared() { return m_shared; }
    LinkNoticeHandler &handler() { return m_handler; }

signals:
    // After a notice was handled, before the worker goes on.
    void noticeHandled(int kind, int argument);

private:
    // Notices wait here between the threads: handed over under a standard
    // lock, they reach the handler in a way the race detector sees (the
    // event queue's own locks and the functors it carries lie in a library
    // it does not watch).
    struct PendingNotice {
        LinkNotice kind;
        int argument;
        quint64 run;
        bool waited; // the worker waits until it was handled
    };
    Q_INVOKABLE void deliverPendingNotice();
    void postNotice(const PendingNotice &notice);
    void deliverNotice(const PendingNotice &notice);
    bool currentRun(quint64 run) const { return !m_closing && run == m_run; }
    static bool WaitsForTheLink(LinkCommand command);

    LinkShared m_shared;
    LinkEvents m_events;
    LinkNoticeHandler m_handler;
    LinkWorker *m_worker = nullptr;
    QTimer m_refreshTimer;
    QString m_portOverride;
    LineSettings m_overrideSettings;
    bool m_projectOpen = false;
    bool m_closing = false;
    // Tells notices of an earlier run, still queued, from the current ones.
    quint64 m_run = 0;
    std::mutex m_pendingLock;
    std::deque<PendingNotice> m_pending;
};
