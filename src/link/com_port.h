#pragma once

#include <QString>

// The serial port the link uses, kept in the setting "ComPort" of section
// "Settings". It holds the system's name of the port ("/dev/ttyUSB0",
// "COM3"); a whole number N, as older versions stored it, means the N-th
// port: COMN on Windows, /dev/ttyS(N-1) elsewhere.
namespace ComPort {
// The system name that a stored value stands for. A number below 1 names no
// port: it is returned unchanged so that opening it fails and says so.
QString systemName(const QString &storedValue);
// The system name of the configured port.
QString configuredName();
// Stores a port name as the user chose it.
void configure(const QString &name);
} // namespace ComPort
