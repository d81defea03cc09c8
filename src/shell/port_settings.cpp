#include "shell/port_settings.h"

#include "link/serial_link.h"

#include "log/output_log.h"
#include "base/message_service.h"
#include "base/shell_strings.h"
#include "base/string_table.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace {
constexpr int kPortChangedLine = 62453;

// The stable names of the attached adapters, by the device they point to.
QString StableNameOf(const QString &device)
{
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    const QFileInfoList links = byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &link : links)
        if (QFileInfo(link.symLinkTarget()).absoluteFilePath() == QFileInfo(device).absoluteFilePath())
            return link.absoluteFilePath();
    return {};
}
} // namespace

QString PortChoice::Label() const
{
    QString label = device;
    if (!description.isEmpty())
        label += QStringLiteral(" - ") + description;
    if (!stableName.isEmpty())
        label += QStringLiteral(" (%1)").arg(QFileInfo(stableName).fileName());
    return label;
}

std::vector<PortChoice> PortSettingsLogic::SystemPorts()
{
    std::vector<PortChoice> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports.push_back({info.systemLocation(), info.description(), StableNameOf(info.systemLocation())});
    std::sort(ports.begin(), ports.end(),
              [](const PortChoice &a, const PortChoice &b) { return a.device < b.device; });
    return ports;
}

const QStringList &PortSettingsLogic::BaudRates()
{
    static const QStringList rates = [] {
        QStringList texts;
        for (const int rate : LineSettings::kBaudRates)
            texts << QString::number(rate);
        return texts;
    }();
    return rates;
}

PortSettingsLogic::PortSettingsLogic(QString currentPort, std::vector<PortChoice> ports)
    : m_current(std::move(currentPort)), m_ports(std::move(ports))
{
    // A port typed earlier (a pseudo-terminal) stays choosable.
    if (!m_current.isEmpty() && CurrentIndex() < 0)
        m_ports.push_back({m_current, QString(), QString()});
}

int PortSettingsLogic::CurrentIndex() const
{
    for (size_t i = 0; i < m_ports.size(); ++i)
        if (m_ports[i].device == m_current)
            return int(i);
    return -1;
}

std::optional<QString> PortSettingsLogic::Save(int chosenIndex, const QString &typedText) const
{
    const QString typed = typedText.trimmed();
    for (const PortChoice &port : m_ports)
        if (!typed.isEmpty() && (port.Label() == typed || port.device == typed))
            return port.device;
    if (typed.startsWith(u'/') || typed.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return typed;
    if (typed.isEmpty() && chosenIndex >= 0 && chosenIndex < int(m_ports.size()))
        return m_ports[size_t(chosenIndex)].device;
    MessageService::error(Str(ShellStrings::NoPortSelected));
    return std::nullopt;
}

void PortSettingsLogic::Conclude(const QString &chosen, const QString &current, const QString &stored,
                                 const std::function<void(const QString &)> &changePort)
{
    if (chosen == current && chosen == stored)
        return;
    if (changePort)
        changePort(chosen);
    if (chosen != stored)
        WriteLogLine(StrF(kPortChangedLine, {chosen}));
}
