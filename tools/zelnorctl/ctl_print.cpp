#include "ctl_print.h"

#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"

#include "db/data_error.h"
#include "db/output_file.h"
#include "print/print_strings.h"
#include "print/project_report.h"
#include "print/report_commands.h"
#include "base/string_table.h"
#include "tree/my7100_doc.h"

#include <QDir>

#include <cstring>
#include <optional>

using namespace PrintStrings;

namespace CtlPrint {
namespace {
// The module item of a module or signal path; null after a printed refusal.
Item *ModuleItem(CtlProject &project, const QString &path)
{
    Item *item = project.FindItem(path);
    if (!item)
        return nullptr;
    if (CMy7100Doc::IsModule(*item))
        return item;
    const std::optional<CtlProject::ModuleRef> module = project.ModuleOf(*item);
    if (!module)
        return nullptr;
    Item *owner = project.Document().Lookup().LoadRow(module->table, module->id);
    if (!owner)
        Err() << StrF(CtlStrings::NotAModule, {path}) << Qt::endl;
    return owner;
}

OutputFile::Target PdfTarget(const Request &request)
{
    return CommandTarget(request.pdf, OutputFile::Content::Pdf, request.force, request.project);
}

int Write(CtlProject &project, const Request &request)
{
    Item *module = nullptr;
    PrintMode mode = PrintMode::ProjectOutput;
    if (!request.modulePath.isEmpty()) {
        module = ModuleItem(project, request.modulePath);
        if (!module)
            return ExitRefused;
        mode = request.card ? PrintMode::ModuleDataCard : PrintMode::ModuleInformation;
        if (request.card && !ReportCommands::CardAllowed(*module)) {
            Err() << StrF(CtlCardOnly7230, {project.Document().GetPath(*module)}) << Qt::endl;
            return ExitRefused;
        }
    }
    const std::unique_ptr<CProjectReport> report =
        ReportCommands::MakeReport(mode, project.Document(), project.Catalogues(), module);
    const OutputFile::Target target = PdfTarget(request);
    if (!report) {
        Err() << StrF(CtlCannotWritePdf, {target.path}) << Qt::endl;
        return ExitUnusable;
    }
    const int code = WriteTarget(target, [&] { return WriteReportPdf(*report, target, request.orientation); });
    if (code == ExitOk && !OutputFile::IsStandardOutput(target.path))
        Out() << StrF(CtlPagesWritten, {report->PageCount(), target.path}) << Qt::endl;
    return code;
}
} // namespace

std::optional<QPageLayout::Orientation> OrientationOption(const QString &given, bool isSet)
{
    if (!isSet)
        return PrinterSettings::Orientation();
    if (given == QLatin1String("portrait"))
        return QPageLayout::Portrait;
    if (given == QLatin1String("landscape"))
        return QPageLayout::Landscape;
    Err() << StrF(CtlBadOrientation, {given}) << Qt::endl;
    return std::nullopt;
}

int Print(const Request &request)
{
    if (request.card && request.modulePath.isEmpty()) {
        Err() << Str(CtlCardNeedsModule) << Qt::endl;
        return ExitUnusable;
    }
    // Refused before the project is opened and the report made.
    if (const std::optional<int> refused = RefuseTarget(PdfTarget(request)))
        return *refused;
    CtlProject project;
    if (!project.Open(request.project))
        return ExitUnusable;
    try {
        return Write(project, request);
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return ExitRefused;
    }
}

bool IsPrintCommandLine(int argc, char **argv)
{
    // Options that take a value; the command is the first word that is
    // neither an option nor such a value.
    static const char *const valued[] = {"--family",   "--lang", "--channel", "--port",       "--count",
                                         "--interval", "--pdf",  "--module",  "--orientation", "--under"};
    for (int i = 1; i < argc; ++i) {
        const char *word = argv[i];
        if (word[0] != '-')
            return std::strcmp(word, "print") == 0 || std::strcmp(word, "records") == 0;
        if (std::strchr(word, '='))
            continue;
        for (const char *option : valued)
            if (std::strcmp(word, option) == 0)
                ++i;
    }
    return false;
}
} // namespace CtlPrint
