#include "ctl_project.h"

#include "ctl_output.h"
#include "ctl_strings.h"

#include "db/data_error.h"
#include "db/project_strings.h"
#include "params/module_parameters.h"
#include "base/app_paths.h"
#include "base/string_table.h"
#include "tree/item_path.h"
#include "tree/module_lookup.h"
#include "tree/my7100_doc.h"
#include "tree/document_project.h"

#include <QFile>

#include <QDir>

CtlProject::CtlProject() = default;

CtlProject::~CtlProject()
{
    // The tree goes before the connection it reads from.
    m_document.reset();
    m_database.CloseDatabase();
}

bool CtlProject::Open(const QString &path, Access access)
{
    m_refusedReadOnly = false;
    const QString absolute = QDir::current().absoluteFilePath(path);
    try {
        if (!m_database.OpenFile(absolute, m_database.OpenUser(), m_database.OpenPassword())) {
            Err() << StrF(ProjectStrings::LogOpenFailed, {absolute}) << Qt::endl;
            return false;
        }
        if (access == Access::Write && m_database.ReadOnly()) {
            Err() << StrF(ProjectStrings::OpenForReadingOnly, {m_database.DisplayName()}) << Qt::endl;
            m_database.CloseDatabase();
            m_refusedReadOnly = true;
            return false;
        }
        m_catalogues.Load(*m_database.Session(), m_database.Levels());
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        Err() << StrF(ProjectStrings::LogOpenFailed, {absolute}) << Qt::endl;
        return false;
    }
    // The application document, so that the hierarchy rules (permits and
    // cascades) hold for the tool as they do for the program.
    m_document = std::make_unique<CMy7100Doc>();
    m_document->OpenProject(DocumentProject(m_database));
    return true;
}

int CtlProject::OpenFailure() const
{
    return m_refusedReadOnly ? ExitRefused : ExitUnusable;
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

std::unique_ptr<CtlProject::LoadedModule> CtlProject::LoadModule(const QString &path)
{
    Item *item = FindItem(path);
    const std::optional<ModuleRef> module = item ? ModuleOf(*item) : std::nullopt;
    if (!module)
        return nullptr;
    auto loaded = std::make_unique<LoadedModule>();
    loaded->ref = *module;
    loaded->rows = RowsOf(*module);
    loaded->editor =
        std::make_unique<ModuleParameterEditor>(*loaded->rows, m_catalogues, module->shownChannel);
    return loaded->editor->Load() ? std::move(loaded) : nullptr;
}

CtlReference::CtlReference() = default;
CtlReference::~CtlReference() = default;

bool CtlReference::Open()
{
    const QString path = AppPaths::referenceDatabasePath();
    std::vector<ProviderErrorRecord> error;
    m_session = QFile::exists(path) ? DbSession::open(DataSource::sqliteFile(path, true), &error) : nullptr;
    if (!m_session) {
        Err() << StrF(ProjectStrings::UnableToOpenFile, {path}) << Qt::endl;
        return false;
    }
    try {
        m_catalogues.Load(*m_session, m_levels);
    } catch (const COLEDBException &exception) {
        ReportDataError(exception);
        return false;
    }
    return true;
}

ModuleFamily CtlReference::FamilyOf(const CModuleImage &image)
{
    try {
        const std::optional<ModuleTypeInfo> type = FindModuleType(*m_session, m_levels, image.ModulTypID + 1);
        return type ? type->family : Family7230;
    } catch (const COLEDBException &exception) {
        ReportDataError(exception);
        return Family7230;
    }
}
