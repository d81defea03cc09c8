#include "link/com_port.h"

#include "shell/settings.h"

namespace {
const QString kSettingName = QStringLiteral("ComPort");
}

QString ComPort::systemName(const QString &storedValue)
{
    const QString value = storedValue.trimmed();
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (!isNumber || number < 1)
        return value;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString ComPort::configuredName()
{
    return systemName(ReadSetting(kSettingName).toString());
}

void ComPort::configure(const QString &name)
{
    WriteSetting(kSettingName, name.trimmed());
}
