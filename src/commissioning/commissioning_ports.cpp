#include "commissioning/commissioning_ports.h"

#include "base/settings.h"
#include "base/string_table.h"
#include "commissioning/commissioning_strings.h"

namespace {
const QString kSettingName = QStringLiteral("CommissioningPorts");
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
    for (qsizetype at = 0; at < named.size(); ++at) {
        if (!interfacePort.isEmpty() && named[at] == interfacePort)
            return StrF(PortOfTheInterface, {named[at]});
        if (named.indexOf(named[at], at + 1) > at)
            return StrF(PortNamedTwice, {named[at]});
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
    WriteSetting(kSettingName, Named(ports).join(QLatin1Char(';')));
    return true;
}
