#pragma once

#include <QString>

// The serial port the link uses, kept in the setting "ComPort" of section
// "Settings" as the system's name of the port ("/dev/ttyUSB0", "COM3"); a
// whole number, as older versions stored it, is read as
// CSerialLink::PortNameFromSetting says.
namespace ComPort {
// The system name of the configured port.
QString configuredName();
// Stores a port name as the user chose it.
void configure(const QString &name);
} // namespace ComPort
