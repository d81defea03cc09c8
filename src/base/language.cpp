#include "base/language.h"

#include "base/app_paths.h"
#include "base/input_file.h"
#include "base/message_service.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QPointer>
#include <QFileInfo>
#include <QResource>
#include <QTranslator>

#ifdef Q_OS_UNIX
#include <iconv.h>
#include <langinfo.h>
#endif

namespace {

constexpr int kLocaleCannotShowLanguage = 62005;

struct LanguageInfo {
    const char *code;
    const char *help;
    int nameId;
    const char *qtName;      // the language of Qt's own translations
    const char *utf8Locale;  // a locale that shows and speaks it
    const char *letters;     // what a locale must show of it beyond ASCII
};

constexpr LanguageInfo kLanguages[Language::kCount] = {
    {"EN", "7100E.chm", 3024, "en", "en_GB.UTF-8", ""},
    {"GE", "7100G.chm", 3025, "de", "de_DE.UTF-8", "äöüÄÖÜß"},
    {"FR", "7100F.chm", 3026, "fr", "fr_FR.UTF-8", "éèêàçôûî"},
    {"RU", "7100R.chm", 3027, "ru", "ru_RU.UTF-8", "абвгдежзиклмнопрстуя"},
    {"SP", "7100S.chm", 3028, "es", "es_ES.UTF-8", "áéíóúñ¿¡"},
};

const LanguageInfo &info(int index)
{
    return kLanguages[(index >= 1 && index <= Language::kCount) ? index - 1 : 0];
}

struct ActivePack {
    int index = 1;
    QString file;    // registered pack file; empty while the built-in table serves
    QString mapRoot; // where its files appear
    int generation = 0;
};

ActivePack &active()
{
    static ActivePack pack;
    return pack;
}

// Messages and the table itself must speak before any pack was loaded.
void ensureBuiltin()
{
    static bool loaded = false;
    if (!loaded && StringTable::instance().entries().isEmpty())
        loaded = StringTable::instance().loadBuiltin();
}

// Qt's own texts (the Yes, No and Cancel of a question, the standard
// dialogs) speak the pack's language too; the system's Qt translations hold
// them. Without them the buttons stay English.
void useQtTranslations(int index)
{
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    if (!QCoreApplication::instance())
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString name = QStringLiteral("qtbase_") + QLatin1String(info(index).qtName);
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        installed = translator;
    else
        delete translator;
}

bool isUtf8(const QByteArray &codeset)
{
    const QByteArray plain = codeset.toLower().replace("-", "");
    return plain == "utf8";
}

// Whether every character of utf8Text has a place in codeset.
bool codesetHolds(const QByteArray &codeset, const char *utf8Text)
{
#ifdef Q_OS_UNIX
    iconv_t converter = iconv_open(codeset.constData(), "UTF-8");
    if (converter == iconv_t(-1))
        return false;
    QByteArray input(utf8Text);
    QByteArray output(input.size() * 4 + 4, '\0');
    char *in = input.data();
    char *out = output.data();
    size_t inLeft = size_t(input.size());
    size_t outLeft = size_t(output.size());
    const bool held = iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(converter);
    return held;
#else
    // The window's texts are Unicode there whatever the code page.
    Q_UNUSED(codeset);
    Q_UNUSED(utf8Text);
    return true;
#endif
}

} // namespace

QByteArray Language::systemCodeset()
{
#ifdef Q_OS_UNIX
    return QByteArray(nl_langinfo(CODESET));
#else
    return QByteArrayLiteral("UTF-8");
#endif
}

bool Language::localeShows(int index, const QByteArray &codeset)
{
    const char *letters = info(index).letters;
    return *letters == '\0' || isUtf8(codeset) || codesetHolds(codeset, letters);
}

QString Language::unshownWarning(int index, const QByteArray &codeset)
{
    if (localeShows(index, codeset))
        return {};
    return StrF(kLocaleCannotShowLanguage, {Str(nameStringId(index)), QString::fromLatin1(codeset),
                                            QString::fromLatin1(info(index).utf8Locale)});
}

QString Language::environmentLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const QString name = qEnvironmentVariable(variable); !name.isEmpty())
            return name;
    return {};
}

int Language::toolLanguageIndex(int chosenIndex, const QString &localeName)
{
    if (chosenIndex >= 1 && chosenIndex <= kCount)
        return chosenIndex;
    if (!localeName.isEmpty()) {
        // "de_DE.UTF-8@euro" names its language before the dot.
        const int spoken = localeLanguageIndex(QLocale(localeName.section(u'.', 0, 0).section(u'@', 0, 0)));
        if (spoken != -1)
            return spoken;
    }
    return ReadSetting(QStringLiteral("LangDLL")).toInt();
}

bool Language::loadForTool(int chosenIndex)
{
    return load(toolLanguageIndex(chosenIndex, environmentLocaleName()));
}

QString Language::packFileName(int index)
{
    return QStringLiteral("Lang%1.pak").arg(QLatin1String(info(index).code));
}

QString Language::helpFileName(int index)
{
    return QString::fromLatin1(info(index).help);
}

int Language::nameStringId(int index)
{
    return info(index).nameId;
}

int Language::localeLanguageIndex(const QLocale &locale)
{
    switch (locale.language()) {
    // The POSIX locale of a system without a language setting speaks the
    // program's own English.
    case QLocale::C:
    case QLocale::English:
        return 1;
    case QLocale::German:
        return 2;
    case QLocale::French:
        return 3;
    case QLocale::Russian:
        return 4;
    case QLocale::Spanish:
        return 5;
    default:
        return -1;
    }
}

int Language::current()
{
    return active().index;
}

void Language::release()
{
    ActivePack &pack = active();
    if (!pack.file.isEmpty())
        QResource::unregisterResource(pack.file, pack.mapRoot);
    pack.file.clear();
    pack.mapRoot.clear();
}

bool Language::load(int index)
{
    static bool releaseAtExit = false;
    if (!releaseAtExit) {
        qAddPostRoutine(&Language::release);
        releaseAtExit = true;
    }
    ensureBuiltin();
    if (index < 1 || index > kCount)
        index = 1;
    const QString name = packFileName(index);
    const QString path = AppPaths::sharedFile(name);
    ActivePack &pack = active();
    const QString mapRoot = QStringLiteral("/pack%1").arg(++pack.generation);

    QString error;
    // Only a plain file: a pipe in its place would hold the start for ever.
    const std::optional<QString> refusal = InputFile::Refusal(path);
    const bool registered = !refusal && QResource::registerResource(path, mapRoot);
    StringTable loaded;
    const bool ok =
        registered && loaded.loadFromResourceDir(QStringLiteral(":%1/strings").arg(mapRoot), &error);
    if (!ok) {
        if (registered)
            QResource::unregisterResource(path, mapRoot);
        MessageService::error(refusal ? StrF(62000, {name}) + QLatin1Char('\n') + *refusal : StrF(62000, {name}));
        return false;
    }
    if (!pack.file.isEmpty())
        QResource::unregisterResource(pack.file, pack.mapRoot);
    StringTable::instance().replace(loaded.entries());
    useQtTranslations(index);
    pack.index = index;
    pack.file = path;
    pack.mapRoot = mapRoot;
    return true;
}

QHash<int, QString> Language::packTexts(int index)
{
    if (index < 1 || index > kCount)
        return {};
    ensureBuiltin();
    const QString path = AppPaths::sharedFile(packFileName(index));
    const QString mapRoot = QStringLiteral("/read%1").arg(++active().generation);
    StringTable loaded;
    QString error;
    const bool registered = !InputFile::Refusal(path) && QResource::registerResource(path, mapRoot);
    const bool ok = registered && loaded.loadFromResourceDir(QStringLiteral(":%1/strings").arg(mapRoot), &error);
    if (registered)
        QResource::unregisterResource(path, mapRoot);
    if (ok)
        return loaded.entries();
    if (index != 1)
        return {};
    StringTable builtin;
    return builtin.loadBuiltin() ? builtin.entries() : QHash<int, QString>();
}

bool Language::loadFromSettings()
{
    return load(ReadSetting(QStringLiteral("LangDLL")).toInt());
}

QString Language::packResource(const QString &relativePath)
{
    const ActivePack &pack = active();
    if (pack.file.isEmpty())
        return {};
    const QString path = QStringLiteral(":%1/%2").arg(pack.mapRoot, relativePath);
    return QFile::exists(path) ? path : QString();
}

void Language::startUp(const QLocale &locale, int chosenIndex, const QByteArray &codeset)
{
    const int localeIndex = localeLanguageIndex(locale);
    if (ReadSetting(QStringLiteral("AppFirstStart")).toInt() != 0) {
        WriteSetting(QStringLiteral("AppFirstStart"), 0);
        WriteSetting(QStringLiteral("LangDLL"), localeIndex == -1 ? 1 : localeIndex);
    }
    // A pack that cannot be loaded leaves the built-in English texts.
    const bool loaded = chosenIndex != 0 ? load(chosenIndex) : loadFromSettings();
    if (!loaded) {
        ensureBuiltin();
        active().index = 1;
    }
    if (const QString warning = unshownWarning(current(), codeset); !warning.isEmpty())
        MessageService::warning(warning);
}

void Language::saveAtExit()
{
    release();
    WriteSetting(QStringLiteral("LangDLL"), current());
}
