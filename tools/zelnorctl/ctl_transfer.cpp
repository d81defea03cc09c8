#include "ctl_transfer.h"

#include "ctl_output.h"
#include "ctl_strings.h"

#include "base/string_table.h"

CtlTransfer::CtlTransfer(const QString &port) : m_link(port)
{
}

CtlTransfer::~CtlTransfer()
{
    // The link stops before the transfer that handles its notices goes.
    m_link.Controller().StopLink();
    m_transfer.reset();
}

bool CtlTransfer::Open(const QString &project, CtlProject::Access access, bool moduleNeededAfter)
{
    // The port is opened and the module read while the project opens; the
    // link's notices wait in the event queue until the transfer below
    // handles them. A missing port is reported after the project's own
    // refusals, as it always was.
    const bool started = m_link.Start();
    if (!m_project.Open(project, access))
        return false;
    CMy7100Doc &document = m_project.Document();
    document.StartLink();
    m_view = std::make_unique<SelectedModuleView>(document, m_project.Catalogues());
    m_transfer = std::make_unique<ModuleTransfer>(document, document.Lookup(), m_project.Catalogues(),
                                                  m_link.Controller(), *m_view);
    if (!started)
        return m_link.StartAndWaitOnline();
    return m_link.WaitOnline(10000, !moduleNeededAfter);
}

bool CtlTransfer::WaitForNotice(int kind, const std::function<bool()> &done, int timeoutMs, bool lastWait)
{
    bool seen = false;
    const QMetaObject::Connection connection =
        QObject::connect(&m_link.Controller(), &LinkController::noticeHandled,
                         [&seen, kind](int handled, int) { seen = seen || handled == kind; });
    const bool ok = m_link.RunUntil([&] { return seen && done(); }, timeoutMs, lastWait);
    QObject::disconnect(connection);
    return ok;
}
