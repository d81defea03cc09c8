#include "link/com_port.h"

#include "link/serial_link.h"
#include "base/settings.h"

namespace {
const QString kSettingName = QStringLiteral("ComPort");
}

QString ComPort::configuredName()
{
    return CSerialLink::PortNameFromSetting(ReadSetting(kSettingName));
}

void ComPort::configure(const QString &name)
{
    WriteSetting(kSettingName, name.trimmed());
}
