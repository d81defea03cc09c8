#include "ctl_link.h"

#include "ctl_output.h"
#include "ctl_strings.h"

#include "link/serial_link.h"
#include "base/string_table.h"

#include <QEventLoop>
#include <QTimer>

CtlLink::CtlLink(const QString &port) : m_port(port)
{
    m_controller.setPortOverride(port);
    m_controller.handler().setProjectHooks(this);
    // The online flag alone is set before the module's notice is handled:
    // whoever waits for the module waits for that notice.
    QObject::connect(&m_controller, &LinkController::noticeHandled, [this](int kind, int change) {
        if (kind == int(LinkNotice::Connection) && change != PeriodicRefresh)
            m_moduleConnected = change == ModuleConnected;
    });
}

CtlLink::~CtlLink()
{
    m_controller.StopLink();
    m_controller.handler().setProjectHooks(nullptr);
}

bool CtlLink::StartAndWaitOnline(int timeoutMs)
{
    if (!Start()) {
        Err() << StrF(CtlStrings::NoSuchPort, {m_port}) << Qt::endl;
        return false;
    }
    return WaitOnline(timeoutMs);
}

bool CtlLink::Start()
{
    if (!CSerialLink::PortExists(m_port))
        return false;
    // The link runs while a project is open; a command without a project
    // still talks to the module.
    m_controller.setProjectOpen(true);
    return m_controller.StartLink();
}

bool CtlLink::WaitOnline(int timeoutMs, bool lastWait)
{
    if (!RunUntil([this] { return m_moduleConnected && m_controller.isOnline(); }, timeoutMs, lastWait)) {
        Err() << StrF(CtlStrings::NoModuleAnswers, {m_port}) << Qt::endl;
        return false;
    }
    return true;
}

bool CtlLink::RunUntil(const std::function<bool()> &done, int timeoutMs, bool lastWait)
{
    if (done()) {
        if (lastWait)
            m_controller.RequestStop();
        return true;
    }
    // Handled within the notice, before the worker goes on.
    QMetaObject::Connection stopper;
    if (lastWait)
        stopper = QObject::connect(&m_controller, &LinkController::noticeHandled, [this, &done] {
            if (done())
                m_controller.RequestStop();
        });
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    const QMetaObject::Connection connection =
        QObject::connect(&m_controller, &LinkController::noticeHandled, &loop, check, Qt::QueuedConnection);
    deadline.start(timeoutMs);
    loop.exec();
    QObject::disconnect(connection);
    QObject::disconnect(stopper);
    return done();
}

void CtlLink::refreshLiveValues(const CModuleImage &image)
{
    if (onRefresh && m_controller.isOnline())
        onRefresh(image);
}

void CtlLink::findConnectedModule(const CModuleImage &image)
{
    if (onConnected)
        onConnected(image);
}

void CtlLink::reportAction(ActionCode code, LinkResult result, const ActionReply &reply)
{
    if (onAction)
        onAction(code, result, reply);
}
