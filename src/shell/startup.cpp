#include "shell/startup.h"

#include "base/language.h"
#include "shell/login.h"
#include "base/shell_strings.h"
#include "base/string_table.h"
#include "log/log_line_hold.h"

CommandLineOptions CommandLineOptions::Parse(const QStringList &arguments)
{
    CommandLineOptions options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--nosplash")) {
            options.splash = false;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument == QLatin1String("--version")) {
            options.version = true;
        } else if (argument == QLatin1String("--port") && i + 1 < arguments.size()) {
            options.port = arguments.at(++i);
        } else if (argument == QLatin1String("--lang") && i + 1 < arguments.size()) {
            bool ok = false;
            options.language = arguments.at(++i).toInt(&ok);
            if (!ok || options.language < 1 || options.language > 5) {
                options.error = StrF(ShellStrings::BadLanguageArgument, {arguments.at(i)});
                return options;
            }
        } else if (!argument.startsWith(QLatin1String("--")) && options.file.isEmpty()) {
            options.file = argument;
        } else {
            options.error = Str(ShellStrings::Usage);
            return options;
        }
    }
    return options;
}

void AppSettings::Load()
{
    general.load();
    layout.load();
    configuration.load();
}

QString StartupSequence::RememberedFile(const AppSettings &settings)
{
    const QString dataLink = settings.configuration.textValue(QStringLiteral("DataLinkFile"));
    return dataLink.isEmpty() ? settings.configuration.textValue(QStringLiteral("FileName")) : dataLink;
}

bool StartupSequence::Run(const CommandLineOptions &options, AppSettings &settings, const Steps &steps,
                          const QLocale &locale, const QByteArray &codeset)
{
    // The first start, the language and the "not supported" warning.
    Language::startUp(locale, options.language, codeset);
    settings.Load();
    if (!LoginCheck::Run(steps.askPassword))
        return false;
    if (options.splash && steps.showSplash)
        steps.showSplash();
    // The log's pane writes its header when the window first shows; what
    // opening the project logs comes after it, not above it.
    LogLineHold untilWindowShows;
    bool opened = false;
    if (!options.file.isEmpty()) {
        opened = steps.openDocument(options.file);
    } else {
        const QString remembered = RememberedFile(settings);
        opened = !remembered.isEmpty() && steps.openDocument(remembered);
        if (!opened) {
            steps.newDocument();
            opened = true;
        }
    }
    if (!opened) {
        untilWindowShows.Release(true);
        return false;
    }
    steps.showMainWindow();
    untilWindowShows.Release(true);
    steps.startLink();
    return true;
}

// The commands write "Settings" and "Configuration" values as they change
// them (the password, the port, the start file); the copies loaded at start
// would undo that, so those two sections are saved from what is stored now.
// The window layout lives only in memory until here.
void StartupSequence::Exit(const AppSettings &settings)
{
    AppSettings stored;
    stored.general.load();
    stored.configuration.load();
    stored.general.save();
    stored.configuration.save();
    settings.layout.save();
    Language::saveAtExit();
}
