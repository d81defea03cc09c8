#pragma once

#include "base/language.h"
#include "base/settings.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

// What the program was started with: "zelnor-wizard [FILE] [--port DEVICE]
// [--lang N] [--nosplash]".
struct CommandLineOptions {
    QString file;     // a project file or a data link file to open
    QString port;     // the serial port for this run only
    int language = 0; // 1..5 chosen for this run, 0 for the stored one
    bool splash = true;
    bool help = false;    // --help: print the usage and open no window
    bool version = false; // --version: print the version and open no window
    QString error;    // not empty: the command line cannot be used

    static CommandLineOptions Parse(const QStringList &arguments);
};

// The three settings sections of the program, loaded at start and saved
// at exit.
class AppSettings {
public:
    explicit AppSettings(int averageCharWidth = 8) : layout(averageCharWidth) {}
    void Load();

    GeneralSettings general;
    LayoutSettings layout;
    ConfigurationSettings configuration;
};

// The start of the program in its fixed order. The steps that need a window
// are the caller's; the order and the rules are kept here.
class StartupSequence {
public:
    struct Steps {
        std::function<QString()> askPassword;                   // the login dialog's text
        std::function<void()> showSplash;                       // shows it and waits
        std::function<bool(const QString &path)> openDocument;  // with its log line
        std::function<void()> newDocument;
        std::function<void()> showMainWindow;
        std::function<void()> startLink;                        // the document's one-time start step
    };

    // False when the program must end (a wrong password, no document).
    // locale and codeset: the user's language and character set.
    static bool Run(const CommandLineOptions &options, AppSettings &settings, const Steps &steps,
                    const QLocale &locale = QLocale::system(),
                    const QByteArray &codeset = Language::systemCodeset());
    // The file opened when none was given: the data link file before the
    // project file.
    static QString RememberedFile(const AppSettings &settings);
    // At exit: every section and the language.
    static void Exit(const AppSettings &settings);
};
