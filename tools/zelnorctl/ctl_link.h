#pragma once

#include "link/link_controller.h"
#include "link/link_notice_handler.h"

#include <functional>

// The device link for one command: the program's link worker on the port the
// command names, its notices handled as the program handles them, with the
// command's own reactions to live values and action replies.
class CtlLink : public LinkProjectHooks {
public:
    // The link's notices go to this object's hooks until another object
    // (the transfer of a project) takes them.
    explicit CtlLink(const QString &port);
    ~CtlLink() override;

    // Starts the link and waits until a module answers; false after a
    // printed refusal when the port does not exist or no module answers.
    bool StartAndWaitOnline(int timeoutMs = 10000);
    // Starts the link when the port exists, so that the port is opened and
    // the module read while the command does other work; false, with
    // nothing printed, when the port does not exist.
    bool Start();
    // Waits until a module answers and its coming online has been handled;
    // false after a printed refusal.
    bool WaitOnline(int timeoutMs = 10000, bool lastWait = false);
    // Runs the event loop until done() holds or the time is up; true when
    // done() held. With lastWait the command needs the module no more once
    // done() holds: the link ends at that notice instead of reading the
    // module again while the command finishes.
    bool RunUntil(const std::function<bool()> &done, int timeoutMs, bool lastWait = false);

    LinkController &Controller() { return m_controller; }

    // Called with the connected image at every refresh while the worker waits.
    std::function<void(const CModuleImage &)> onRefresh;
    std::function<void(ActionCode, LinkResult, const ActionReply &)> onAction;
    // Called with the connected image when the module comes online.
    std::function<void(const CModuleImage &)> onConnected;

    void findConnectedModule(const CModuleImage &image) override;
    void refreshLiveValues(const CModuleImage &image) override;
    void reportAction(ActionCode code, LinkResult result, const ActionReply &reply) override;

private:
    QString m_port;
    LinkController m_controller;
    // Whether the latest connection change handled brought a module online.
    bool m_moduleConnected = false;
};
