#include "base/language.h"

#include "base/app_paths.h"
#include "base/message_service.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QResource>

namespace {

struct LanguageInfo {
    const char *code;
    const char *help;
    int nameId;
};

constexpr LanguageInfo kLanguages[Language::kCount] = {
    {"EN", "7100E.chm", 3024}, {"GE", "7100G.chm", 3025}, {"FR", "7100F.chm", 3026},
    {"RU", "7100R.chm", 3027}, {"SP", "7100S.chm", 3028},
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

} // namespace

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
    const bool registered = QFileInfo(path).isFile() && QResource::registerResource(path, mapRoot);
    StringTable loaded;
    const bool ok =
        registered && loaded.loadFromResourceDir(QStringLiteral(":%1/strings").arg(mapRoot), &error);
    if (!ok) {
        if (registered)
            QResource::unregisterResource(path, mapRoot);
        MessageService::error(StrF(62000, {name}));
        return false;
    }
    if (!pack.file.isEmpty())
        QResource::unregisterResource(pack.file, pack.mapRoot);
    StringTable::instance().replace(loaded.entries());
    pack.index = index;
    pack.file = path;
    pack.mapRoot = mapRoot;
    return true;
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

void Language::startUp(const QLocale &locale, int chosenIndex)
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
    if (current() != localeIndex)
        MessageService::warning(StrF(62001, {Str(nameStringId(current()))}));
}

void Language::saveAtExit()
{
    release();
    WriteSetting(QStringLiteral("LangDLL"), current());
}
