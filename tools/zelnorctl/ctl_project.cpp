#include "ctl_project.h"

#include "ctl_output.h"
#include "ctl_strings.h"

#include "db/data_error.h"
#include "db/project_strings.h"
#include "params/module_parameters.h"
#include "shell/string_table.h"
#include "tree/item_path.h"

#include <QDir>

CtlProject::CtlProject() = default;

CtlProject::~CtlProject()
{
    // The tree goes before the connection it reads from.
    m_document.reset();
    m_database.CloseDatabase();
}

bool CtlProject::Open(const QString &path)
{
    const QString absolute = QDir::current().absoluteFilePath(path);
    try {
        if (!m_database.OpenFile(absolute, m_database.OpenUser(), m_database.OpenPassword())) {
            Err() << StrF(ProjectStrings::LogOpenFailed, {absolute}) << Qt::endl;
            return false;
        }
        m_catalogues.Load(*m_database.Session(), m_database.Levels());
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        Err() << StrF(ProjectStrings::LogOpenFailed, {absolute}) << Qt::endl;
        return false;
    }
    m_document = std::make_unique<C7100Document>();
    C7100Document::Project project;
    project.levels = &m_database.Levels();
    project.session = m_database.Session();
    project.ids = m_database.IdSequence();
    project.displayName = m_database.DisplayName();
    project.rootShown = false;
    m_document->OpenProject(project);
    return true;
}

Item *CtlProject::FindItem(const QString &path)
{
    Item *item = FindItemByPath(*m_document, path);
    if (!item)
        Err() << StrF(CtlStrings::NoSuchItem, {path}) << Qt::endl;
    return item;
}

std::optional<CtlProject::ModuleRef> CtlProject::ModuleOf(Item &item)
{
    const QString &table = item.level().tableName();
    if (FamilyOfModuleLevel(item.level().displayString()))
        return ModuleRef{table, item.id().toInt(), 0};
    if (table == QLatin1String("Signals")) {
        try {
            const std::optional<SignalOwner> owner = ProjectParameterRows::FindSignalOwner(
                *m_database.Session(), m_database.Levels(), item.id().toInt());
            if (owner)
                return ModuleRef{owner->moduleTable, owner->moduleId, owner->channel};
        } catch (const COLEDBException &error) {
            ReportDataError(error);
            return std::nullopt;
        }
    }
    Err() << StrF(CtlStrings::NotAModule, {m_document->GetPath(item)}) << Qt::endl;
    return std::nullopt;
}

std::unique_ptr<ProjectParameterRows> CtlProject::RowsOf(const ModuleRef &module)
{
    return std::make_unique<ProjectParameterRows>(*m_database.Session(), m_database.Levels(), module.table,
                                                  module.id);
}
