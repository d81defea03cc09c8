#pragma once

#include "base/message_service.h"
#include "link/link_shared.h"

#include <QString>

#include <optional>

// What the project side of the program does when the link reports. Every
// hook does nothing by default: without a project side the link only logs.
class LinkProjectHooks {
public:
    virtual ~LinkProjectHooks() = default;
    // A module came online: find (or offer to create) its project module.
    // Runs before the online line is logged.
    virtual void findConnectedModule(const CModuleImage &) {}
    // After the online line: report the differences to the project.
    virtual void compareConnectedModule(const CModuleImage &) {}
    // The module went away: the views leave online mode. Runs before the
    // offline line is logged.
    virtual void leaveOnlineMode() {}
    // After the offline line: the monitoring file and the user are told.
    virtual void wentOffline() {}
    // The offline line; empty: the usual one.
    virtual QString moduleLostLine() const { return {}; }
    virtual void refreshLiveValues(const CModuleImage &) {}
    virtual void runSilentComparison() {}
    // The module was read in full again after an upload or a download
    // (forced read); by default only the silent comparison runs.
    virtual void moduleReadAgain() { runSilentComparison(); }
    // Whether the download's verdict waits for the module to be read back
    // (the project side then logs it); else it is logged as the download
    // notice arrives.
    virtual bool judgesDownloadByReadBack(bool /*stored*/) const { return false; }
    // After the download notice: whether every block was stored.
    virtual void downloadFinished(bool /*stored*/) {}
    // Takes a successfully read module over into the module open for editing.
    virtual void takeOverUpload(const CModuleImage &) {}
    // The name of the module open for editing, for the upload line.
    virtual QString openModuleName() const { return {}; }
    // The name of the module the latest download wrote, for its line.
    virtual QString downloadedModuleName() const { return openModuleName(); }
    // The reply is the action's own only when result is Ok.
    virtual void reportAction(ActionCode, LinkResult /*result*/, const ActionReply &) {}
};

// Turns the link worker's notices into log lines and the project side's
// reactions. Runs on the user-interface thread while the worker waits, so
// it may read and change everything the two share.
class LinkNoticeHandler {
public:
    // The wait between two attempts to open a port that failed.
    static constexpr int kRetryWaitMs = 10000;

    explicit LinkNoticeHandler(LinkShared &shared);

    // The project side, or null; it must outlive its use here.
    void setProjectHooks(LinkProjectHooks *hooks);
    void handle(LinkNotice kind, int argument);
    // The message box a notice left to show once the worker goes on: a box
    // waits for the user, the polling and the monitoring file do not.
    void showHeldMessage();

    // "Openning port: <name>" with the ending for result.
    static QString portLine(const QString &portName, int result);

private:
    void handleConnection(int change);
    void handleUploadDone();
    void handleDownloadDone();
    void handlePortResult(int result);
    void handleActionDone(ActionCode action);
    void commandDone();

    LinkShared &m_shared;
    std::optional<MessageRequest> m_heldMessage;
    LinkProjectHooks m_noHooks;
    LinkProjectHooks *m_hooks = &m_noHooks;
};
