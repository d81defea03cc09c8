#pragma once

#include "db/project_commands.h"
#include "db/project_database.h"
#include "link/link_controller.h"
#include "link/module_transfer.h"
#include "link/selected_module_view.h"
#include "link/monitor_file.h"
#include "params/catalogues.h"
#include "tree/item_form_model.h"
#include "tree/my7100_doc.h"

#include <QObject>

#include <memory>

// The open project as the program holds it: the database with its
// commands, the item tree over it, the catalogues, and the device link with
// the transfer that binds the connected module to the project. The window
// and its views sit on top; everything here works without them.
class ProjectSession : public QObject {
    Q_OBJECT
public:
    explicit ProjectSession(QObject *parent = nullptr);
    ~ProjectSession() override;

    ProjectDatabase &Database() { return m_database; }
    ProjectCommands &Commands() { return m_commands; }
    CMy7100Doc &Document() { return m_document; }
    const CatalogueSet &Catalogues() const { return m_catalogues; }
    LinkController &Link() { return m_link; }
    ModuleTransfer &Transfer() { return *m_transfer; }
    // The transfer's view of the module on the pages; the parameter view
    // attaches itself to it while it is shown.
    SelectedModuleView &View() { return m_view; }
    // The item form on screen; "Yes" to the question before leaving the
    // current item applies it.
    ItemFormPort &ItemForms() { return m_itemForms; }

    // The port to use for this run instead of the "ComPort" setting.
    void SetPortForThisRun(const QString &port);
    // The port the link opens now.
    QString CurrentPort() const;
    // Stores the port and has the link reopen it.
    void ChangePort(const QString &port);

    // Ends the link and closes the project (at exit).
    void Shutdown();

signals:
    // The item tree was built anew (or dropped).
    void treeRebuilt();

private:
    void RebuildTree();
    void ProjectOpened();
    void InstallSaveChangesQuestion();

    ProjectDatabase m_database;
    ProjectCommands m_commands;
    CMy7100Doc m_document;
    CatalogueSet m_catalogues;
    LinkController m_link;
    SelectedModuleView m_view;
    ItemFormPort m_itemForms;
    MonitorFile m_monitorFile;
    std::unique_ptr<ModuleTransfer> m_transfer;
    QString m_portForThisRun;
};
