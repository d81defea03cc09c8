#include "commissioning/commissioning_ports.h"

#include "base/settings.h"
#include "base/string_table.h"
#include "commissioning/commissioning_strings.h"

#include <QRegularExpression>

namespace {
const QString kSettingName = QStringLiteral("CommissioningPorts");

struct ParityName {
    LineSettings::Parity parity;
    QLatin1StringView name;
};
constexpr std::array<ParityName, 3> kParityNames = {{{LineSettings::Parity::None, QLatin1StringView("none")},
                                                      {LineSettings::Parity::Even, QLatin1StringView("even")},
                                                      {LineSettings::Parity::Odd, QLatin1StringView("odd")}}};

QString BaudRateList()
{
    QStringList rates;
    for (const int rate : LineSettings::kBaudRates)
        rates << QString::number(rate);
    return rates.join(QStringLiteral(", "));
}

// Sets one "key=value" of a port's settings; the refusal when it cannot.
std::optional<QString> ApplySetting(const QString &port, const QString &setting, LineSettings &settings)
{
    using namespace CommissioningStrings;
    const qsizetype equals = setting.indexOf(u'=');
    const QString key = setting.left(equals).trimmed().toLower();
    const QString value = setting.mid(equals + 1).trimmed();
    bool number = false;
    if (key == QLatin1String("baud")) {
        settings.baudRate = value.toInt(&number);
        if (!number || !LineSettings::IsBaudRate(settings.baudRate))
            return StrF(NoBaudRate, {port, value, BaudRateList()});
        return std::nullopt;
    }
    if (key == QLatin1String("parity")) {
        for (const ParityName &named : kParityNames) {
            if (value.compare(named.name, Qt::CaseInsensitive) == 0) {
                settings.parity = named.parity;
                return std::nullopt;
            }
        }
        return StrF(NoParity, {port, value});
    }
    if (key == QLatin1String("timeout")) {
        settings.timeoutMs = value.toInt(&number);
        if (!number || settings.timeoutMs < LineSettings::kMinTimeoutMs ||
            settings.timeoutMs > LineSettings::kMaxTimeoutMs)
            return StrF(NoTimeout, {port, LineSettings::kMinTimeoutMs, LineSettings::kMaxTimeoutMs, value});
        return std::nullopt;
    }
    return StrF(NoPortSetting, {port, setting});
}
} // namespace

QString CommissioningPorts::LanePort::Text() const
{
    const LineSettings usual;
    QStringList differing;
    if (settings.baudRate != usual.baudRate)
        differing << QStringLiteral("baud=%1").arg(settings.baudRate);
    if (settings.parity != usual.parity)
        differing << QStringLiteral("parity=") + kParityNames[size_t(settings.parity)].name;
    if (settings.timeoutMs != usual.timeoutMs)
        differing << QStringLiteral("timeout=%1").arg(settings.timeoutMs);
    return differing.isEmpty() ? name : name + u':' + differing.join(u',');
}

std::optional<CommissioningPorts::LanePort> CommissioningPorts::Parse(const QString &text, QString *refusal)
{
    LanePort port{text.trimmed(), LineSettings()};
    const qsizetype colon = port.name.lastIndexOf(u':');
    if (colon < 0 || !port.name.mid(colon + 1).contains(u'='))
        return port;
    const QStringList settings = port.name.mid(colon + 1).split(u',', Qt::SkipEmptyParts);
    port.name = port.name.left(colon).trimmed();
    for (const QString &setting : settings) {
        if (const std::optional<QString> refused = ApplySetting(port.name, setting, port.settings)) {
            if (refusal)
                *refusal = *refused;
            return std::nullopt;
        }
    }
    return port;
}

QStringList CommissioningPorts::Named(const QStringList &ports)
{
    QStringList named;
    for (const QString &port : ports) {
        if (!port.trimmed().isEmpty())
            named << port.trimmed();
    }
    return named;
}

std::vector<CommissioningPorts::LanePort> CommissioningPorts::Read(const QStringList &ports)
{
    std::vector<LanePort> read;
    for (const QString &text : Named(ports)) {
        if (const std::optional<LanePort> port = Parse(text))
            read.push_back(*port);
    }
    return read;
}

QStringList CommissioningPorts::configured()
{
    return Named(ReadSetting(kSettingName).toString().split(QLatin1Char(';')));
}

std::optional<QString> CommissioningPorts::Refusal(const QStringList &ports, const QString &interfacePort)
{
    using namespace CommissioningStrings;
    const QStringList named = Named(ports);
    if (named.size() > kMaxLanes)
        return StrF(TooManyPorts, {kMaxLanes});
    QStringList names;
    for (const QString &text : named) {
        QString refusal;
        const std::optional<LanePort> port = Parse(text, &refusal);
        if (!port)
            return refusal;
        if (!interfacePort.isEmpty() && port->name == interfacePort)
            return StrF(PortOfTheInterface, {port->name});
        if (names.contains(port->name))
            return StrF(PortNamedTwice, {port->name});
        names << port->name;
    }
    return std::nullopt;
}

bool CommissioningPorts::Configure(const QStringList &ports, const QString &interfacePort, QString *refusal)
{
    if (const std::optional<QString> refused = Refusal(ports, interfacePort)) {
        if (refusal)
            *refusal = *refused;
        return false;
    }
    QStringList texts;
    for (const LanePort &port : Read(ports))
        texts << port.Text();
    WriteSetting(kSettingName, texts.join(QLatin1Char(';')));
    return true;
}
