#pragma once

#include "db/project_database.h"

#include <QDialog>

class QLineEdit;
class QTreeWidget;

// Dialog 24600 "Database connection properties": the data source's name on
// top, its initialisation properties in alphabetical order, the provider's
// name and version at the bottom.
class CConnectionPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CConnectionPropertiesDialog(const ConnectionDetails &details, QWidget *parent = nullptr);

    // Command 40047: shows the dialog for the open project.
    static void ShowFor(const ProjectDatabase &database, QWidget *parent = nullptr);

private:
    QLineEdit *m_dataSource = nullptr;
    QLineEdit *m_provider = nullptr;
    QTreeWidget *m_properties = nullptr;
};
