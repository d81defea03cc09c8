// zelnorctl: the projects and modules of the program without its window.
#include "ctl_commands.h"
#include "ctl_link_commands.h"
#include "ctl_convert.h"
#include "ctl_instrument_list.h"
#include "ctl_commission.h"
#include "ctl_output.h"
#include "ctl_listings.h"
#include "ctl_print.h"
#include "ctl_repair.h"
#include "ctl_strings.h"
#include "dialog_answers.h"

#include "link/com_port.h"
#include "base/module_family.h"
#include "log/output_log.h"
#include "log/product_info.h"
#include "log/system_information.h"
#include "exchange/exchange_strings.h"
#include "exchange/xlsx_strings.h"
#include "print/print_strings.h"
#include "base/app_paths.h"
#include "base/language.h"
#include "base/string_table.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

// The options every command knows, for the help of one command.
const QCommandLineParser *g_parser = nullptr;

struct Command {
    QString arguments; // shown in the usage line
    qsizetype minArgs;
    qsizetype maxArgs; // -1: any number
    std::function<int(const QStringList &, const QCommandLineParser &)> run;
    // The log goes to standard error where standard output carries the
    // command's records.
    bool logToStandardError = false;
    int description = 0; // what the command does, in the active language
    QString example = {};
    // The option that answers the command's question Yes.
    QString yesOption = {};
};

int ChannelOption(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("channel")))
        return 0;
    const int channel = parser.value(QStringLiteral("channel")).toInt();
    return channel == 1 || channel == 2 ? channel : -1;
}

// A whole-number option in its range, or its default when not given;
// nothing after a printed refusal.
std::optional<int> NumberOption(const QCommandLineParser &parser, const QString &name, int min, int max,
                                int fallback)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (ok && value >= min && value <= max)
        return value;
    Err() << StrF(CtlStrings::BadNumberOption, {QStringLiteral("--") + name, min, max, parser.value(name)})
          << Qt::endl;
    return std::nullopt;
}

// The port option every link command needs.
std::optional<QString> PortOption(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("port")) && !parser.value(QStringLiteral("port")).isEmpty())
        return parser.value(QStringLiteral("port"));
    Err() << StrF(CtlStrings::Usage, {QStringLiteral("--port DEVICE")}) << Qt::endl;
    return std::nullopt;
}

int RunMonitor(const QCommandLineParser &parser)
{
    const std::optional<QString> port = PortOption(parser);
    const std::optional<int> count = NumberOption(parser, QStringLiteral("count"), 0, 1000000, 0);
    const std::optional<int> interval = NumberOption(parser, QStringLiteral("interval"), 0, 3600, 3);
    if (!port || !count || !interval)
        return ExitUnusable;
    return CtlCommands::Monitor(*port, *count, *interval);
}

int RunAction(const QStringList &args, const QCommandLineParser &parser)
{
    const std::optional<QString> port = PortOption(parser);
    bool ok = false;
    const int code = args[0].toInt(&ok);
    if (!ok || code < 0 || code > 7) {
        Err() << StrF(CtlStrings::BadActionCode, {args[0]}) << Qt::endl;
        return ExitUnusable;
    }
    if (!port)
        return ExitUnusable;
    return CtlCommands::Action(*port, code);
}

int Help(const QString &name);

int RunPrint(const QStringList &args, const QCommandLineParser &parser)
{
    const QString pdf = parser.value(QStringLiteral("pdf"));
    const std::optional<QPageLayout::Orientation> orientation = CtlPrint::OrientationOption(
        parser.value(QStringLiteral("orientation")), parser.isSet(QStringLiteral("orientation")));
    if (pdf.isEmpty()) {
        Err() << StrF(CtlStrings::Usage, {QStringLiteral("--pdf FILE")}) << Qt::endl;
        return ExitUnusable;
    }
    if (!orientation)
        return ExitUnusable;
    return CtlPrint::Print({args[0], pdf, parser.value(QStringLiteral("module")),
                            parser.isSet(QStringLiteral("card")), *orientation,
                            parser.isSet(QStringLiteral("force"))});
}

// export: the list as text (--csv, with its dialect) or as a workbook (--xlsx).
int RunExport(const QStringList &args, const QCommandLineParser &parser)
{
    CtlInstrumentList::ExportForm form;
    form.xlsx = parser.isSet(QStringLiteral("xlsx"));
    if (form.xlsx && parser.isSet(QStringLiteral("csv"))) {
        Err() << Str(XlsxStrings::OneForm) << Qt::endl;
        return ExitUnusable;
    }
    const QString option = QString::fromLatin1(form.xlsx ? "xlsx" : "csv");
    const QString file = parser.value(option);
    if (file.isEmpty()) {
        Err() << StrF(CtlStrings::Usage, {QStringLiteral("--%1 FILE").arg(option)}) << Qt::endl;
        return ExitUnusable;
    }
    const bool dialect = parser.isSet(QStringLiteral("delimiter")) || parser.isSet(QStringLiteral("decimal-comma")) ||
                         parser.isSet(QStringLiteral("bom"));
    if (form.xlsx && dialect) {
        Err() << Str(XlsxStrings::CsvOnlyOptions) << Qt::endl;
        return ExitUnusable;
    }
    form.codes = parser.isSet(QStringLiteral("codes"));
    if (parser.isSet(QStringLiteral("delimiter")))
        form.delimiter = parser.value(QStringLiteral("delimiter"));
    form.decimalComma = parser.isSet(QStringLiteral("decimal-comma"));
    form.bom = parser.isSet(QStringLiteral("bom"));
    return CtlInstrumentList::Export(args[0], file, parser.value(QStringLiteral("under")), form,
                                     parser.isSet(QStringLiteral("force")));
}

int RunTypes(const QStringList &args, const QCommandLineParser &parser)
{
    std::optional<int> family;
    if (parser.isSet(QStringLiteral("family"))) {
        const int number = parser.value(QStringLiteral("family")).toInt();
        if (!FamilyOfModelNumber(number)) {
            Err() << StrF(CtlStrings::BadFamily, {parser.value(QStringLiteral("family"))}) << Qt::endl;
            return ExitUnusable;
        }
        family = number;
    }
    return CtlListings::Types(args.value(0), family, parser.isSet(QStringLiteral("json")));
}

const std::map<QString, Command> &Commands()
{
    static const std::map<QString, Command> commands = {
        {QStringLiteral("new"),
         {QStringLiteral("FILE.prj [--force]"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlCommands::New(a[0], parser.isSet(QStringLiteral("force")));
          },
          false, 64130, QStringLiteral("zelnorctl new plant.prj")}},
        {QStringLiteral("tree"),
         {QStringLiteral("PROJECT [--json]"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlCommands::Tree(a[0], parser.isSet(QStringLiteral("json")));
          },
          false, 64131, QStringLiteral("zelnorctl tree plant.prj")}},
        {QStringLiteral("add"),
         {QStringLiteral("PROJECT PARENT-PATH plant|cabinet|carrier [NAME]"), 3, 4,
          [](const QStringList &a, const QCommandLineParser &) {
              return CtlCommands::Add(a[0], a[1], a[2], a.value(3));
          },
          false, 64132, QStringLiteral("zelnorctl add plant.prj '\\\\Project' plant 'Boiler house'")}},
        {QStringLiteral("add-module"),
         {QStringLiteral("PROJECT PARENT-PATH TYPE-ID [TAG1 [TAG2]]"), 3, 5,
          [](const QStringList &a, const QCommandLineParser &) {
              return CtlCommands::AddModule(a[0], a[1], a[2], a.mid(3));
          },
          false, 64133, QStringLiteral("zelnorctl add-module plant.prj '\\\\Project\\Plant1' 7 TT-101 TT-102")}},
        {QStringLiteral("set"),
         {QStringLiteral("PROJECT MODULE-PATH [--channel 1|2] COLUMN=VALUE ..."), 3, -1,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const int channel = ChannelOption(parser);
              if (channel < 0) {
                  Err() << StrF(CtlStrings::BadChannel, {parser.value(QStringLiteral("channel"))})
                        << Qt::endl;
                  return int(ExitUnusable);
              }
              return CtlCommands::Set(a[0], a[1], channel, a.mid(2));
          },
          false, 64134, QStringLiteral("zelnorctl set plant.prj '\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]' --channel 1 RangeEnd=150")}},
        {QStringLiteral("show"),
         {QStringLiteral("PROJECT MODULE-PATH [--json]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlCommands::Show(a[0], a[1], parser.isSet(QStringLiteral("json")));
          },
          false, 64135, QStringLiteral("zelnorctl show plant.prj '\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]' --json")}},
        {QStringLiteral("compare"),
         {QStringLiteral("PROJECT --port DEVICE [--json]"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Compare(a[0], *port, parser.isSet(QStringLiteral("json")))
                          : int(ExitUnusable);
          },
          false, 64137, QStringLiteral("zelnorctl compare plant.prj --port /dev/ttyUSB0")}},
        {QStringLiteral("upload"),
         {QStringLiteral("PROJECT --port DEVICE [--create]"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Upload(a[0], *port, parser.isSet(QStringLiteral("create")))
                          : int(ExitUnusable);
          },
          false, 64138, QStringLiteral("zelnorctl upload plant.prj --port /dev/ttyUSB0 --create"), QStringLiteral("--create")}},
        {QStringLiteral("download"),
         {QStringLiteral("PROJECT MODULE-PATH --port DEVICE [--yes]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Download(a[0], a[1], *port, parser.isSet(QStringLiteral("yes")))
                          : int(ExitUnusable);
          },
          false, 64139, QStringLiteral("zelnorctl download plant.prj '\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]' --port /dev/ttyUSB0 --yes"), QStringLiteral("--yes")}},
        {QStringLiteral("history"),
         {QStringLiteral("PROJECT SERIAL-NUMBER [--json]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlCommands::History(a[0], a[1], parser.isSet(QStringLiteral("json")));
          },
          false, 64140, QStringLiteral("zelnorctl history plant.prj SN-0001")}},
        {QStringLiteral("restore"),
         {QStringLiteral("PROJECT ENTRY-ID --port DEVICE"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Restore(a[0], a[1], *port) : int(ExitUnusable);
          },
          false, 64141, QStringLiteral("zelnorctl restore plant.prj 3 --port /dev/ttyUSB0")}},
        {QStringLiteral("monitor"),
         {QStringLiteral("--port DEVICE [--count N] [--interval SECONDS]"), 0, 0,
          [](const QStringList &, const QCommandLineParser &parser) { return RunMonitor(parser); }, true, 64142,
          QStringLiteral("zelnorctl monitor --port /dev/ttyUSB0 --count 10 --interval 3")}},
        {QStringLiteral("action"),
         {QStringLiteral("--port DEVICE CODE"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) { return RunAction(a, parser); },
          false, 64143, QStringLiteral("zelnorctl action --port /dev/ttyUSB0 2")}},
        {QStringLiteral("commission"),
         {QStringLiteral("PROJECT --port DEVICE[:SETTINGS] [--port DEVICE[:SETTINGS] ...] --under PATH [--assign-next] [--retry-failed] "
                         "[--skip PATH] [--reset PATH] [--count N]"),
          1, 1,
          CtlCommission::Commission, false, 64400,
          QStringLiteral("zelnorctl commission plant.prj --port /dev/ttyUSB0 --under '\\\\Project\\Plant1' --assign-next")}},
        {QStringLiteral("records"),
         {QStringLiteral("PROJECT [--under PATH] [--json|--csv FILE|--pdf FILE] [--force]"), 1, 1, CtlCommission::Records, false,
          64401, QStringLiteral("zelnorctl records plant.prj --under '\\\\Project\\Plant1' --pdf commissioning.pdf")}},
        {QStringLiteral("delete"),
         {QStringLiteral("PROJECT ITEM-PATH [--yes]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlCommands::Delete(a[0], a[1], parser.isSet(QStringLiteral("yes")));
          },
          false, 64136, QStringLiteral("zelnorctl delete plant.prj '\\\\Project\\Plant1' --yes"), QStringLiteral("--yes")}},
        {QStringLiteral("multiply"),
         {QStringLiteral("PROJECT ITEM-PATH --count N [--first F] [--places P] [--no-subtree]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              if (!parser.isSet(QStringLiteral("count"))) {
                  Err() << StrF(CtlStrings::Usage, {QStringLiteral("--count N")}) << Qt::endl;
                  return int(ExitUnusable);
              }
              CtlCommands::MultiplyOptions options;
              options.count = parser.value(QStringLiteral("count"));
              if (parser.isSet(QStringLiteral("first")))
                  options.first = parser.value(QStringLiteral("first"));
              if (parser.isSet(QStringLiteral("places")))
                  options.places = parser.value(QStringLiteral("places"));
              options.subtree = !parser.isSet(QStringLiteral("no-subtree"));
              return CtlCommands::Multiply(a[0], a[1], options);
          },
          false, 64148,
          QStringLiteral("zelnorctl multiply plant.prj '\\\\Project\\Plant1\\Cabinet1' --count 40 --first 2 --places 2")}},
        {QStringLiteral("copy"),
         {QStringLiteral("SOURCE-PROJECT ITEM-PATH TARGET-PROJECT PARENT-PATH [--move]"), 4, 4,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlCommands::Copy(a[0], a[1], a[2], a[3], parser.isSet(QStringLiteral("move")));
          },
          false, CtlStrings::CopyDescription,
          QStringLiteral("zelnorctl copy template.prj '\\\\Project\\Plant1' plant.prj '\\\\Project' --move")}},
        {QStringLiteral("types"),
         {QStringLiteral("[PROJECT] [--family 7230|7210|7220] [--json]"), 0, 1,
          [](const QStringList &a, const QCommandLineParser &parser) { return RunTypes(a, parser); }, false,
          64144, QStringLiteral("zelnorctl types --family 7230")}},
        {QStringLiteral("choices"),
         {QStringLiteral("PROJECT MODULE-PATH [--channel 1|2] COLUMN [--json]"), 3, 3,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const int channel = ChannelOption(parser);
              if (channel < 0) {
                  Err() << StrF(CtlStrings::BadChannel, {parser.value(QStringLiteral("channel"))}) << Qt::endl;
                  return int(ExitUnusable);
              }
              return CtlListings::Choices(a[0], a[1], channel, a[2], parser.isSet(QStringLiteral("json")));
          },
          false, 64147,
          QStringLiteral("zelnorctl choices plant.prj '\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]' --channel 1 SensorTypID")}},
        {QStringLiteral("print"),
         {QStringLiteral("PROJECT --pdf FILE [--module MODULE-PATH [--card]] [--orientation portrait|landscape] [--force]"), 1, 1,
          RunPrint, false, PrintStrings::CtlPrintDescription,
          QStringLiteral("zelnorctl print plant.prj --pdf plant.pdf --module '\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]'")}},
        {QStringLiteral("ports"),
         {QStringLiteral("[--port DEVICE] [--json]"), 0, 0,
          [](const QStringList &, const QCommandLineParser &parser) {
              return CtlListings::Ports(parser.value(QStringLiteral("port")), parser.isSet(QStringLiteral("json")));
          },
          false, 64145, QStringLiteral("zelnorctl ports")}},
        {QStringLiteral("export"),
         {QStringLiteral("PROJECT --csv FILE|-|--xlsx FILE|- [--under PATH] [--codes] [--delimiter ,|;] "
                         "[--decimal-comma] [--bom] [--force]"),
          1, 1, RunExport,
          false, CtlInstrumentList::ExportDescription,
          QStringLiteral("zelnorctl export plant.prj --csv plant.csv --under '\\\\Project\\Plant1'")}},
        {QStringLiteral("import"),
         {QStringLiteral("PROJECT FILE [--dry-run]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlInstrumentList::Import(a[0], a[1], parser.isSet(QStringLiteral("dry-run")));
          },
          false, CtlInstrumentList::ImportDescription, QStringLiteral("zelnorctl import plant.prj loops.csv --dry-run")}},
        {QStringLiteral("repair"),
         {QStringLiteral("PROJECT --list | PROJECT --set TABLE ID COLUMN=VALUE ... [--copy FILE.prj]"), 1, -1,
          CtlRepair::Repair, true, CtlRepair::Description,
          QStringLiteral("zelnorctl repair plant.prj --set Signals 17 RangeEnd=150000 --copy plant-repaired.prj")}},
        {QStringLiteral("convert"),
         {QStringLiteral("OLD.prj NEW.prj [--json] [--force]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlConvert::Convert(a[0], a[1], parser.isSet(QStringLiteral("force")),
                                         parser.isSet(QStringLiteral("json")));
          },
          false, ExchangeStrings::ConvertDescription, QStringLiteral("zelnorctl convert plant.prj plant-converted.prj")}},
        {QStringLiteral("help"),
         {QStringLiteral("[COMMAND]"), 0, 1, [](const QStringList &a, const QCommandLineParser &) { return Help(a.value(0)); },
          false, 64146, QStringLiteral("zelnorctl help set")}},
    };
    return commands;
}

QString CommandUsage(const QString &name, const Command &command)
{
    return QStringLiteral("zelnorctl %1 %2").arg(name, command.arguments);
}

// The command list, or what one command does, its arguments, the options
// every command takes and an example.
int Help(const QString &name)
{
    const auto found = Commands().find(name);
    if (found == Commands().end()) {
        Out() << Str(CtlStrings::Description) << "\n\n" << Str(CtlStrings::CommandsHeading) << '\n';
        for (const auto &[commandName, command] : Commands())
            Out() << "  " << commandName.leftJustified(11) << ' ' << command.arguments << '\n';
        Out() << '\n' << Str(CtlStrings::MoreHelp) << Qt::endl;
        return name.isEmpty() ? int(ExitOk) : int(ExitUnusable);
    }
    const Command &command = found->second;
    Out() << StrF(CtlStrings::Usage, {CommandUsage(found->first, command)}) << "\n\n"
          << Str(command.description) << "\n\n"
          << Str(CtlStrings::ExampleHeading) << "\n  " << command.example << "\n\n"
          << g_parser->helpText().section(QLatin1Char('\n'), 2) << Qt::flush;
    return ExitOk;
}

// The language of --lang, else the environment's locale, else the window's
// last one: a tool called from a German shell speaks German whatever the
// window spoke last.
bool ApplyLanguage(const QCommandLineParser &parser)
{
    int chosen = 0;
    if (parser.isSet(QStringLiteral("lang"))) {
        bool ok = false;
        chosen = parser.value(QStringLiteral("lang")).toInt(&ok);
        if (!ok || chosen < 1 || chosen > Language::kCount) {
            Err() << StrF(CtlStrings::BadLanguage, {parser.value(QStringLiteral("lang"))}) << Qt::endl;
            return false;
        }
    }
    return Language::loadForTool(chosen) || !parser.isSet(QStringLiteral("lang"));
}

// The call's lines go to the day's log file of the tool, beside the
// program, and to the console. The file's head names the tool and the port
// of the day's first call; every call starts with its own command line.
std::unique_ptr<OutputLog> StartLog(bool toStandardError, const QCommandLineParser &parser)
{
    SystemFacts facts = SystemInformation::collect(
        parser.isSet(QStringLiteral("port")) ? parser.value(QStringLiteral("port")) : ComPort::configuredName());
    facts.programFile = QCoreApplication::applicationFilePath();
    const QStringList commandLine = QStringList{QCoreApplication::applicationName()} + QCoreApplication::arguments().mid(1);
    std::unique_ptr<OutputLog> log = OutputLog::ForTool(QCoreApplication::applicationName(), commandLine, facts);
    log->makeActive();
    QTextStream &console = toStandardError ? Err() : Out();
    QObject::connect(log.get(), &OutputLog::textAdded,
                     [&console](const QString &text) { console << text << Qt::flush; });
    return log;
}

// The options every command knows, with their texts in the active language.
void AddOptions(QCommandLineParser &parser)
{
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addHelpOption();
    parser.addOption({QStringLiteral("version"), Str(CtlStrings::VersionOption)});
    parser.addOption({QStringLiteral("family"), Str(CtlStrings::FamilyOption), QStringLiteral("7230|7210|7220")});
    parser.addPositionalArgument(QStringLiteral("command"), Str(CtlStrings::CommandArgument));
    parser.addOption({QStringLiteral("lang"), Str(CtlStrings::LanguageOption), QStringLiteral("1..5")});
    parser.addOption({QStringLiteral("channel"), Str(CtlStrings::ChannelOption), QStringLiteral("1|2")});
    parser.addOption({QStringLiteral("port"), Str(CtlStrings::PortOption), QStringLiteral("DEVICE")});
    parser.addOption({QStringLiteral("json"), Str(CtlStrings::JsonOption)});
    parser.addOption({QStringLiteral("yes"), Str(CtlStrings::YesOption)});
    parser.addOption({QStringLiteral("create"), Str(CtlStrings::CreateOption)});
    parser.addOption({QStringLiteral("move"), Str(CtlStrings::MoveOption)});
    parser.addOption({QStringLiteral("force"), ForceOptionText()});
    parser.addOption({QStringLiteral("count"), Str(CtlStrings::CountOption), QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("interval"), Str(CtlStrings::IntervalOption), QStringLiteral("SECONDS")});
    parser.addOption({QStringLiteral("pdf"), Str(PrintStrings::CtlPdfOption), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("module"), Str(PrintStrings::CtlModuleOption), QStringLiteral("MODULE-PATH")});
    parser.addOption({QStringLiteral("card"), Str(PrintStrings::CtlCardOption)});
    parser.addOption({QStringLiteral("orientation"), Str(PrintStrings::CtlOrientationOption),
                      QStringLiteral("portrait|landscape")});
    parser.addOption({QStringLiteral("first"), Str(CtlStrings::FirstOption), QStringLiteral("F")});
    parser.addOption({QStringLiteral("places"), Str(CtlStrings::PlacesOption), QStringLiteral("P")});
    parser.addOption({QStringLiteral("no-subtree"), Str(CtlStrings::NoSubtreeOption)});
    parser.addOption({QStringLiteral("csv"), Str(CtlInstrumentList::CsvOption), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("xlsx"), Str(CtlInstrumentList::XlsxOption), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("under"), Str(CtlInstrumentList::UnderOption), QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("codes"), Str(CtlInstrumentList::CodesOption)});
    parser.addOption({QStringLiteral("dry-run"), Str(CtlInstrumentList::DryRunOption)});
    parser.addOption({QStringLiteral("delimiter"), Str(CtlInstrumentList::DelimiterOption), QStringLiteral(",|;")});
    parser.addOption({QStringLiteral("decimal-comma"), Str(CtlInstrumentList::DecimalCommaOption)});
    parser.addOption({QStringLiteral("bom"), Str(CtlInstrumentList::BomOption)});
    CtlCommission::AddOptions(parser);
    CtlRepair::AddOptions(parser);
}

} // namespace

int main(int argc, char *argv[])
{
    // Reports are drawn with the GUI library's fonts and PDF writer, which
    // need a platform: the offscreen one, so that no display is needed.
    std::unique_ptr<QCoreApplication> app;
    if (CtlPrint::IsPrintCommandLine(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("zelnorctl"));
    // The reference database, the language packs and the log folder are the
    // program's.
    AppPaths::setProgramFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnor-wizard")));
    StringTable::instance().loadBuiltin();
    InstallConsolePresenters();

    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        Err() << parser.errorText() << Qt::endl;
        return ExitUnusable;
    }
    if (!ApplyLanguage(parser))
        return ExitUnusable;
    // The help of the options follows --lang, which was read only now.
    static QCommandLineParser helpParser;
    AddOptions(helpParser);
    g_parser = &helpParser;
    if (parser.isSet(QStringLiteral("version"))) {
        Out() << QStringLiteral("zelnorctl %1 (%2)").arg(QString::fromLatin1(ProductInfo::kVersion),
                                                       QString::fromLatin1(ProductInfo::kName))
              << Qt::endl;
        return ExitOk;
    }
    const QStringList args = parser.positionalArguments();
    const auto command = Commands().find(args.value(0));
    // "zelnorctl set --help" tells only about set; "zelnorctl" alone lists
    // the commands.
    if (parser.isSet(QStringLiteral("help")) || args.isEmpty())
        return Help(command == Commands().end() ? QString() : command->first);
    if (command == Commands().end()) {
        Err() << StrF(CtlStrings::UnknownCommand, {args.value(0)}) << Qt::endl;
        Help(QString());
        return ExitUnusable;
    }
    const QStringList rest = args.mid(1);
    const Command &chosen = command->second;
    if (rest.size() < chosen.minArgs || (chosen.maxArgs >= 0 && rest.size() > chosen.maxArgs)) {
        Err() << StrF(CtlStrings::Usage, {CommandUsage(command->first, chosen)}) << Qt::endl;
        return ExitUnusable;
    }
    SetYesOption(chosen.yesOption);
    if (command->first == QLatin1String("help") || command->first == QLatin1String("types") ||
        command->first == QLatin1String("ports") || command->first == QLatin1String("choices"))
        return chosen.run(rest, parser);
    // With --json standard output carries the JSON document alone.
    const std::unique_ptr<OutputLog> log =
        StartLog(chosen.logToStandardError || parser.isSet(QStringLiteral("json")), parser);
    return chosen.run(rest, parser);
}
