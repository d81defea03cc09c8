#include "shell/project_session.h"

#include "db/data_error.h"
#include "exchange/older_tool_open.h"
#include "params/module_parameter_editor.h"
#include "link/com_port.h"
#include "tree/document_project.h"

ProjectSession::ProjectSession(QObject *parent)
    : QObject(parent), m_commands(m_database), m_view(m_document, m_catalogues)
{
    m_transfer = std::make_unique<ModuleTransfer>(m_document, m_document.Lookup(), m_catalogues, m_link, m_view);
    m_transfer->setMonitorFile(&m_monitorFile);
    connect(&m_commands, &ProjectCommands::treeRebuildRequested, this, &ProjectSession::RebuildTree);
    connect(&m_database, &ProjectDatabase::opened, this, &ProjectSession::ProjectOpened);
    connect(&m_database, &ProjectDatabase::closed, this, [this] { m_link.setProjectOpen(false); });
    connect(&m_document, &CMy7100Doc::linkStartRequested, this, [this] { m_link.StartLink(); });
    // A module detected for the project before is looked up again in the
    // new one.
    connect(&m_commands, &ProjectCommands::detectedModuleForgotten, this,
            [this] { m_link.RequestCommand(LinkCommand::Reopen); });
    InstallSaveChangesQuestion();
    OlderToolOpen::Install(m_database);
}

void ProjectSession::InstallSaveChangesQuestion()
{
    SaveChangesHooks hooks;
    hooks.isPumpingMessages = [] { return false; };
    hooks.hasCurrentItem = [this] { return m_document.CurrentItem() != 0; };
    hooks.isModified = [this] { return m_document.IsModified(); };
    hooks.currentIsModuleOrSignal = [this] {
        const Item *item = m_document.FindItem(m_document.CurrentItem());
        return item && (CMy7100Doc::IsModule(*item) || CMy7100Doc::IsSignal(*item));
    };
    hooks.applyModuleView = [this] {
        if (ModuleParameterEditor *editor = m_view.ShownModule())
            editor->Apply();
    };
    hooks.applyItemView = [this] { return m_itemForms.Apply(); };
    hooks.clearModified = [this] { m_document.SetModifiedFlag(false); };
    m_document.SetSaveChangesHooks(std::move(hooks));
    m_commands.SetLeaveGuard([this] { return m_document.AskSaveChanges(); });
}

ProjectSession::~ProjectSession()
{
    Shutdown();
}

void ProjectSession::Shutdown()
{
    m_link.StopLink();
    m_document.CloseProject();
    m_database.CloseDatabase();
}

void ProjectSession::ProjectOpened()
{
    m_link.setProjectOpen(true);
    // The first project of the run starts the link with the window; every
    // later one starts it as soon as it is open.
    if (m_document.LinkStarted())
        m_link.StartLink();
}

void ProjectSession::RebuildTree()
{
    m_view.Reload();
    m_document.CloseProject();
    if (m_database.IsOpen()) {
        try {
            m_catalogues.Load(*m_database.Session(), m_database.Levels());
        } catch (const COLEDBException &error) {
            ReportDataError(error);
        }
        m_document.OpenProject(DocumentProject(m_database));
    }
    emit treeRebuilt();
}

void ProjectSession::SetPortForThisRun(const QString &port)
{
    m_portForThisRun = port;
    m_link.setPortOverride(port);
}

QString ProjectSession::CurrentPort() const
{
    return m_portForThisRun.isEmpty() ? ComPort::configuredName() : m_portForThisRun;
}

void ProjectSession::ChangePort(const QString &port)
{
    m_portForThisRun.clear();
    m_link.ChangePort(port);
}
