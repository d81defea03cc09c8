#include "print/report_commands.h"

#include "db/data_error.h"
#include "params/module_parameters.h"
#include "print/print_strings.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/my7100_doc.h"

ReportCommands::ReportCommands(CMy7100Doc &document, const CatalogueSet &catalogues)
    : m_document(document), m_catalogues(catalogues)
{
}

bool ReportCommands::IsPrintCommand(int command)
{
    return command == PrintProject || command == ModuleInformation || command == ModuleDataCard ||
           command == FilePrint;
}

std::optional<PrintMode> ReportCommands::ModeOf(int command)
{
    switch (command) {
    case PrintProject:
        return PrintMode::ProjectOutput;
    case ModuleInformation:
        return PrintMode::ModuleInformation;
    case ModuleDataCard:
        return PrintMode::ModuleDataCard;
    default:
        return std::nullopt;
    }
}

int ReportCommands::CommandOf(PrintMode mode)
{
    switch (mode) {
    case PrintMode::ProjectOutput:
    case PrintMode::CommissioningReport:
        break;
    case PrintMode::ModuleInformation:
        return ModuleInformation;
    case PrintMode::ModuleDataCard:
        return ModuleDataCard;
    }
    return PrintProject;
}

Item *ReportCommands::CurrentItem() const
{
    return m_document.FindItem(m_document.CurrentItem());
}

bool ReportCommands::CardAllowed(const Item &item)
{
    return FamilyOfModuleLevel(item.level().displayString()) == Family7230;
}

bool ReportCommands::EnabledFor(PrintMode mode) const
{
    if (!m_document.IsOpen())
        return false;
    const Item *current = CurrentItem();
    switch (mode) {
    case PrintMode::ProjectOutput: {
        const CLevelList *levels = m_document.Registry().levels();
        return levels && levels->FindByTable(QStringLiteral("Signals"));
    }
    case PrintMode::ModuleInformation:
        return current && CMy7100Doc::IsModule(*current);
    case PrintMode::ModuleDataCard:
        return current && CardAllowed(*current);
    case PrintMode::CommissioningReport:
        break;
    }
    return false;
}

bool ReportCommands::IsEnabled(int command) const
{
    if (command == FilePrint)
        return EnabledFor(m_mode);
    const std::optional<PrintMode> mode = ModeOf(command);
    return mode && EnabledFor(*mode);
}

std::unique_ptr<CProjectReport> ReportCommands::MakeReport(PrintMode mode, CMy7100Doc &document,
                                                           const CatalogueSet &catalogues, Item *module)
{
    ReportDataReader reader(document, catalogues);
    if (mode == PrintMode::ProjectOutput)
        return std::make_unique<CProjectReport>(reader.ProjectOutput());
    if (!module)
        return nullptr;
    return std::make_unique<CProjectReport>(reader.ModuleInformation(*module),
                                            mode == PrintMode::ModuleDataCard);
}

std::unique_ptr<CProjectReport> ReportCommands::Start(int command)
{
    if (!IsEnabled(command))
        return nullptr;
    if (const std::optional<PrintMode> mode = ModeOf(command))
        m_mode = *mode;
    try {
        std::unique_ptr<CProjectReport> report = MakeReport(m_mode, m_document, m_catalogues, CurrentItem());
        if (report)
            return report;
    } catch (const COLEDBException &error) {
        ReportDataError(error);
    }
    MessageService::error(Str(PrintStrings::CommandFailed));
    return nullptr;
}
