#pragma once

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QString>

// The five language packs beside the program and the one that is active.
// Index 1 English, 2 German, 3 French, 4 Russian, 5 Spanish.
class Language {
public:
    static constexpr int kCount = 5;

    // "LangEN.pak" ... for index 1..5 (index outside gives English).
    static QString packFileName(int index);
    // "7100E.chm" ...: the name of the language's help.
    static QString helpFileName(int index);
    // The string number of the language's name (3024 "English" ...).
    static int nameStringId(int index);

    // The index of a locale's language, or -1 when no pack speaks it.
    static int localeLanguageIndex(const QLocale &locale = QLocale::system());

    // The character set of the program's locale ("UTF-8", "ANSI_X3.4-1968"
    // for the POSIX locale, "ISO-8859-1" ...).
    static QByteArray systemCodeset();
    // Whether a locale of that character set shows the language's letters:
    // a UTF-8 locale shows every language, English needs no more than ASCII.
    static bool localeShows(int index, const QByteArray &codeset);
    // "The 'Deutsch' language is not supported ...", saying how to choose a
    // UTF-8 locale here; empty when the locale shows the language.
    static QString unshownWarning(int index, const QByteArray &codeset);

    // The name of the locale the environment gives the texts of a program:
    // LC_ALL, else LC_MESSAGES, else LANG; empty when none is set.
    static QString environmentLocaleName();
    // The language of a command-line tool: the chosen index (its --lang)
    // when 1..5, else the language of the environment's locale when a pack
    // speaks it, else the stored setting of the program.
    static int toolLanguageIndex(int chosenIndex, const QString &localeName);
    // Loads the language of a command-line tool, the environment's locale
    // read now; false when its pack cannot be loaded (the built-in English
    // texts stay).
    static bool loadForTool(int chosenIndex = 0);

    // The active index (1 until a pack was loaded).
    static int current();
    // Loads the pack of index (outside 1..5: English) from beside the
    // program. On success its strings become the program's texts and the
    // previous pack is released; on failure "Can't load %s file." is shown
    // with the error icon and the previous index stays. Returns success.
    static bool load(int index);
    // Releases the active pack; its strings stay in use.
    static void release();
    // Reads "LangDLL" and loads that language.
    static bool loadFromSettings();
    // At start: on the first start after installation choose the language
    // of the locale, load the stored language, and warn when the locale
    // cannot show it. A chosen index (the command line's) is loaded in
    // place of the stored one.
    static void startUp(const QLocale &locale = QLocale::system(), int chosenIndex = 0,
                        const QByteArray &codeset = systemCodeset());
    // At exit: release the pack and store the active language.
    static void saveAtExit();
    // The texts of a pack without making it the active one (the built-in
    // English table for index 1 when its pack is missing); empty when the
    // pack cannot be read.
    static QHash<int, QString> packTexts(int index);
    // The path of a file inside the active pack (":/pack1/splash.png"), or
    // empty when it holds no such file.
    static QString packResource(const QString &relativePath);
};
