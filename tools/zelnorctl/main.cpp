// zelnorctl: the projects and modules of the program without its window.
#include "ctl_commands.h"
#include "ctl_output.h"
#include "ctl_strings.h"

#include "log/output_log.h"
#include "log/system_information.h"
#include "shell/app_paths.h"
#include "shell/language.h"
#include "shell/string_table.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <functional>
#include <map>
#include <optional>

namespace {

struct Command {
    QString arguments; // shown in the usage line
    qsizetype minArgs;
    qsizetype maxArgs; // -1: any number
    std::function<int(const QStringList &, const QCommandLineParser &)> run;
    // The log goes to standard error where standard output carries the
    // command's records.
    bool logToStandardError = false;
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

const std::map<QString, Command> &Commands()
{
    static const std::map<QString, Command> commands = {
        {QStringLiteral("new"),
         {QStringLiteral("FILE.prj"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &) { return CtlCommands::New(a[0]); }}},
        {QStringLiteral("tree"),
         {QStringLiteral("PROJECT"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &) { return CtlCommands::Tree(a[0]); }}},
        {QStringLiteral("add"),
         {QStringLiteral("PROJECT PARENT-PATH plant|cabinet|carrier [NAME]"), 3, 4,
          [](const QStringList &a, const QCommandLineParser &) {
              return CtlCommands::Add(a[0], a[1], a[2], a.value(3));
          }}},
        {QStringLiteral("add-module"),
         {QStringLiteral("PROJECT PARENT-PATH TYPE-ID [TAG1 [TAG2]]"), 3, 5,
          [](const QStringList &a, const QCommandLineParser &) {
              return CtlCommands::AddModule(a[0], a[1], a[2], a.mid(3));
          }}},
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
          }}},
        {QStringLiteral("show"),
         {QStringLiteral("PROJECT MODULE-PATH [--json]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              return CtlCommands::Show(a[0], a[1], parser.isSet(QStringLiteral("json")));
          }}},
        {QStringLiteral("compare"),
         {QStringLiteral("PROJECT --port DEVICE"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Compare(a[0], *port) : int(ExitUnusable);
          }}},
        {QStringLiteral("upload"),
         {QStringLiteral("PROJECT --port DEVICE [--create]"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Upload(a[0], *port, parser.isSet(QStringLiteral("create")))
                          : int(ExitUnusable);
          }}},
        {QStringLiteral("download"),
         {QStringLiteral("PROJECT MODULE-PATH --port DEVICE [--yes]"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Download(a[0], a[1], *port, parser.isSet(QStringLiteral("yes")))
                          : int(ExitUnusable);
          }}},
        {QStringLiteral("history"),
         {QStringLiteral("PROJECT SERIAL-NUMBER"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &) { return CtlCommands::History(a[0], a[1]); }}},
        {QStringLiteral("restore"),
         {QStringLiteral("PROJECT ENTRY-ID --port DEVICE"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &parser) {
              const std::optional<QString> port = PortOption(parser);
              return port ? CtlCommands::Restore(a[0], a[1], *port) : int(ExitUnusable);
          }}},
        {QStringLiteral("monitor"),
         {QStringLiteral("--port DEVICE [--count N] [--interval SECONDS]"), 0, 0,
          [](const QStringList &, const QCommandLineParser &parser) { return RunMonitor(parser); }, true}},
        {QStringLiteral("action"),
         {QStringLiteral("--port DEVICE CODE"), 1, 1,
          [](const QStringList &a, const QCommandLineParser &parser) { return RunAction(a, parser); }}},
        {QStringLiteral("delete"),
         {QStringLiteral("PROJECT ITEM-PATH"), 2, 2,
          [](const QStringList &a, const QCommandLineParser &) { return CtlCommands::Delete(a[0], a[1]); }}},
    };
    return commands;
}

QString UsageLines()
{
    QString lines;
    for (const auto &[name, command] : Commands())
        lines += QStringLiteral("  zelnorctl %1 %2\n").arg(name, command.arguments);
    return lines;
}

bool ApplyLanguage(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("lang")))
        return Language::loadFromSettings() || true;
    bool ok = false;
    const int index = parser.value(QStringLiteral("lang")).toInt(&ok);
    if (!ok || index < 1 || index > Language::kCount) {
        Err() << StrF(CtlStrings::BadLanguage, {parser.value(QStringLiteral("lang"))}) << Qt::endl;
        return false;
    }
    return Language::load(index);
}

// The run's log: its file beside the program, its lines on the console. Its
// header names this tool and the port it uses, not the program's file and
// the port of the settings.
void StartLog(OutputLog &log, bool toStandardError, const QCommandLineParser &parser)
{
    log.makeActive();
    SystemFacts facts = SystemInformation::collect();
    facts.programFile = QCoreApplication::applicationFilePath();
    if (parser.isSet(QStringLiteral("port")))
        facts.portName = parser.value(QStringLiteral("port"));
    log.writeSystemInformationOnce(facts);
    QTextStream &console = toStandardError ? Err() : Out();
    QObject::connect(&log, &OutputLog::textAdded,
                     [&console](const QString &text) { console << text << Qt::flush; });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelnorctl"));
    // The reference database, the language packs and the log folder are the
    // program's.
    AppPaths::setProgramFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnor-wizard")));
    StringTable::instance().loadBuiltin();
    InstallConsolePresenters();

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), Str(CtlStrings::CommandArgument));
    parser.addOption({QStringLiteral("lang"), Str(CtlStrings::LanguageOption), QStringLiteral("1..5")});
    parser.addOption({QStringLiteral("channel"), Str(CtlStrings::ChannelOption), QStringLiteral("1|2")});
    parser.addOption({QStringLiteral("port"), Str(CtlStrings::PortOption), QStringLiteral("DEVICE")});
    parser.addOption({QStringLiteral("json"), Str(CtlStrings::JsonOption)});
    parser.addOption({QStringLiteral("yes"), Str(CtlStrings::YesOption)});
    parser.addOption({QStringLiteral("create"), Str(CtlStrings::CreateOption)});
    parser.addOption({QStringLiteral("count"), Str(CtlStrings::CountOption), QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("interval"), Str(CtlStrings::IntervalOption), QStringLiteral("SECONDS")});
    if (!parser.parse(app.arguments())) {
        Err() << parser.errorText() << Qt::endl;
        return ExitUnusable;
    }
    if (!ApplyLanguage(parser))
        return ExitUnusable;
    const QStringList args = parser.positionalArguments();
    const auto command = Commands().find(args.value(0));
    if (parser.isSet(QStringLiteral("help"))) {
        // "zelnorctl set --help" tells only about set.
        const QString usage =
            command == Commands().end()
                ? UsageLines()
                : QStringLiteral("  zelnorctl %1 %2\n").arg(command->first, command->second.arguments);
        parser.setApplicationDescription(Str(CtlStrings::Description) + QStringLiteral("\n\n") + usage);
        Out() << parser.helpText();
        return ExitOk;
    }
    if (command == Commands().end()) {
        Err() << StrF(CtlStrings::UnknownCommand, {args.value(0)}) << Qt::endl << UsageLines();
        return ExitUnusable;
    }
    const QStringList rest = args.mid(1);
    const Command &chosen = command->second;
    if (rest.size() < chosen.minArgs || (chosen.maxArgs >= 0 && rest.size() > chosen.maxArgs)) {
        Err() << StrF(CtlStrings::Usage,
                      {QStringLiteral("zelnorctl %1 %2").arg(command->first, chosen.arguments)})
              << Qt::endl;
        return ExitUnusable;
    }
    OutputLog log;
    StartLog(log, chosen.logToStandardError, parser);
    return chosen.run(rest, parser);
}
