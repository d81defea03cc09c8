#include "log/system_information.h"

#include "log/product_info.h"
#include "base/app_paths.h"
#include "base/string_table.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSysInfo>

#include <algorithm>

#include <sys/utsname.h>

namespace {

enum StringId {
    kRule = 62401,
    kTitle,
    kComputerName,
    kOperatingSystem,
    kPlatform,
    kVersion,
    kServicePack,
    kBuildNumber,
    kMemoryInformation,
    kPhysical,
    kPageFile,
    kVirtual,
    kProduct,
    kProductName,
    kProductVersion,
    kCompanyName,
    kCopyright,
    kModuleFileName,
    kCommunication,
    kPort,
    kBaudRate,
    kBuildFormat,
};

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// "KEY=value" lines, values optionally in double or single quotes.
QHash<QString, QString> keyValues(const QByteArray &text)
{
    QHash<QString, QString> values;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const qsizetype equals = line.indexOf(u'=');
        if (line.startsWith(u'#') || equals <= 0)
            continue;
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        values.insert(line.left(equals).trimmed(), value);
    }
    return values;
}

qint64 kilobytesToMegabytes(qint64 kilobytes)
{
    return kilobytes / 1024;
}

} // namespace

QString SystemInformation::platformName(const QByteArray &osRelease)
{
    const QHash<QString, QString> values = keyValues(osRelease);
    if (!values.value(QStringLiteral("PRETTY_NAME")).isEmpty())
        return values.value(QStringLiteral("PRETTY_NAME"));
    const QString name = values.value(QStringLiteral("NAME"));
    const QString version = values.value(QStringLiteral("VERSION"));
    return version.isEmpty() ? name : (name + u' ' + version).trimmed();
}

QString SystemInformation::kernelVersion(const QString &release)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch match = re.match(release);
    if (!match.hasMatch())
        return {};
    return QStringLiteral("%1.%2").arg(match.captured(1).toInt()).arg(match.captured(2).toInt());
}

int SystemInformation::kernelBuild(const QString &kernelVersionText)
{
    static const QRegularExpression re(QStringLiteral("^#(\\d+)"));
    const QRegularExpressionMatch match = re.match(kernelVersionText.trimmed());
    if (!match.hasMatch())
        return -1;
    return int(match.captured(1).toLongLong() & 0xFFFF);
}

MemoryFacts SystemInformation::memoryFromMeminfo(const QByteArray &meminfo)
{
    QHash<QString, qint64> kilobytes;
    for (const QByteArray &line : meminfo.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QList<QByteArray> fields = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        const qint64 value = fields.value(0).toLongLong(&ok);
        if (ok)
            kilobytes.insert(QString::fromLatin1(line.left(colon)), value);
    }
    const auto mb = [&](const char *key) {
        return kilobytesToMegabytes(kilobytes.value(QLatin1String(key)));
    };
    MemoryFacts facts;
    facts.totalPhysical = mb("MemTotal");
    facts.availablePhysical = mb("MemAvailable");
    facts.totalSwap = mb("SwapTotal");
    facts.availableSwap = mb("SwapFree");
    facts.totalVirtual = mb("CommitLimit");
    const qint64 uncommitted =
        kilobytes.value(QStringLiteral("CommitLimit")) - kilobytes.value(QStringLiteral("Committed_AS"));
    facts.availableVirtual = kilobytesToMegabytes(std::max<qint64>(0, uncommitted));
    return facts;
}

SystemFacts SystemInformation::collect(const QString &portName)
{
    SystemFacts facts;
    facts.computerName = QSysInfo::machineHostName();
    facts.platform = platformName(readWholeFile(QStringLiteral("/etc/os-release")));
    if (facts.platform.isEmpty())
        facts.platform = QSysInfo::prettyProductName();
    utsname names{};
    if (uname(&names) == 0) {
        const QString release = QString::fromLocal8Bit(names.release);
        facts.version = kernelVersion(release);
        facts.servicePack = release;
        const int build = kernelBuild(QString::fromLocal8Bit(names.version));
        if (build >= 0)
            facts.buildNumber = StrF(kBuildFormat, {build});
    }
    facts.memory = memoryFromMeminfo(readWholeFile(QStringLiteral("/proc/meminfo")));
    facts.productName = QString::fromUtf8(ProductInfo::kName);
    facts.companyName = QString::fromUtf8(ProductInfo::kCompany);
    facts.copyright = QString::fromUtf8(ProductInfo::kCopyright);
    facts.programFile = AppPaths::programFile();
    facts.portName = portName;
    return facts;
}

QStringList SystemInformation::lines(const SystemFacts &facts)
{
    const MemoryFacts &m = facts.memory;
    return {
        Str(kRule),
        Str(kTitle),
        Str(kRule),
        StrF(kComputerName, {facts.computerName}),
        Str(kOperatingSystem),
        StrF(kPlatform, {facts.platform}),
        StrF(kVersion, {facts.version}),
        StrF(kServicePack, {facts.servicePack}),
        StrF(kBuildNumber, {facts.buildNumber}),
        Str(kMemoryInformation),
        StrF(kPhysical, {m.totalPhysical, m.availablePhysical}),
        StrF(kPageFile, {m.totalSwap, m.availableSwap}),
        StrF(kVirtual, {m.totalVirtual, m.availableVirtual}),
        Str(kProduct),
        StrF(kProductName, {facts.productName}),
        Str(kProductVersion),
        StrF(kCompanyName, {facts.companyName}),
        StrF(kCopyright, {facts.copyright}),
        StrF(kModuleFileName, {facts.programFile}),
        Str(kCommunication),
        StrF(kPort, {facts.portName}),
        Str(kBaudRate),
        Str(kRule),
    };
}

QString SystemInformation::block(const SystemFacts &facts)
{
    QString text;
    for (const QString &line : lines(facts))
        text += line + u'\n';
    return text + u'\n';
}
