#pragma once

#include "print/project_report.h"

#include <memory>
#include <optional>

class CMy7100Doc;
class CatalogueSet;
class Item;

// The print commands of the project tree: which may run on the current
// item, and the report each starts. The print mode stays from one report
// to the next, for the plain "Print" command.
class ReportCommands {
public:
    enum Command : int {
        PrintProject = 32969,
        ModuleInformation = 32971,
        ModuleDataCard = 32972,
        FilePrint = 57607,
    };

    ReportCommands(CMy7100Doc &document, const CatalogueSet &catalogues);

    static bool IsPrintCommand(int command);
    static std::optional<PrintMode> ModeOf(int command);
    // The command that starts the report of a mode.
    static int CommandOf(PrintMode mode);
    bool IsEnabled(int command) const;
    // The report a command starts for the current item (57607: that of the
    // current print mode), which becomes the print mode; null when the
    // command is disabled or the project could not be read (the data error
    // has been reported, "Command failed." shown).
    std::unique_ptr<CProjectReport> Start(int command);
    PrintMode Mode() const { return m_mode; }

    // A report of a mode for an item without the commands' checks, for
    // the command-line tool; raises COLEDBException. module is ignored for
    // the project output.
    static std::unique_ptr<CProjectReport> MakeReport(PrintMode mode, CMy7100Doc &document,
                                                      const CatalogueSet &catalogues, Item *module);
    // Whether the module data card can be made for the item: a 7230 module.
    static bool CardAllowed(const Item &item);

private:
    bool EnabledFor(PrintMode mode) const;
    Item *CurrentItem() const;

    CMy7100Doc &m_document;
    const CatalogueSet &m_catalogues;
    PrintMode m_mode = PrintMode::ProjectOutput;
};
