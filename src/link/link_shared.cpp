#include "link/link_shared.h"

#include <chrono>

ModuleIdentity ModuleIdentity::of(const CModuleImage &image)
{
    ModuleIdentity identity;
    identity.channel1Name = image.Channel[0].Name;
    if (image.IsTwoChannel())
        identity.channel2Name = image.Channel[1].Name;
    identity.modulTypId = image.ModulTypID;
    identity.serialNr = image.SerialNr;
    return identity;
}

void LinkEvents::resetAll()
{
    timer.reset();
    command.reset();
    handled.reset();
}

QString LinkShared::portName() const
{
    std::lock_guard lock(m_portLock);
    return m_portName;
}

LineSettings LinkShared::lineSettings() const
{
    std::lock_guard lock(m_portLock);
    return m_lineSettings;
}

void LinkShared::setPort(const QString &name, const LineSettings &settings)
{
    std::lock_guard lock(m_portLock);
    m_portName = name;
    m_lineSettings = settings;
}

qint64 LinkShared::SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
