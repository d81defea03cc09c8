#pragma once

#include "ctl_link.h"
#include "ctl_project.h"

#include "link/module_transfer.h"
#include "link/selected_module_view.h"

// A project and the module on a port, bound as the program binds them: the
// link's notices run upload, download and comparison against the project.
class CtlTransfer {
public:
    explicit CtlTransfer(const QString &port);
    ~CtlTransfer();

    // Opens the project, starts the link and waits for the module to come
    // online and be looked up in the project; false after a printed refusal.
    // Without moduleNeededAfter the link ends as soon as the module has been
    // looked up and compared.
    bool Open(const QString &project, CtlProject::Access access, bool moduleNeededAfter = true);
    int OpenFailure() const { return m_project.OpenFailure(); }
    // Whether the connected module has its module in the project.
    bool HasProjectModule() const { return m_transfer && m_transfer->OnlineModule() != 0; }

    // Runs the event loop until a notice of kind has been handled after now
    // and then done() holds; false on time-out. lastWait: as
    // CtlLink::RunUntil.
    bool WaitForNotice(int kind, const std::function<bool()> &done, int timeoutMs = 30000, bool lastWait = false);

    CtlProject &Project() { return m_project; }
    CtlLink &Link() { return m_link; }
    ModuleTransfer &Transfer() { return *m_transfer; }
    SelectedModuleView &View() { return *m_view; }

private:
    CtlProject m_project;
    CtlLink m_link;
    std::unique_ptr<SelectedModuleView> m_view;
    std::unique_ptr<ModuleTransfer> m_transfer;
};
