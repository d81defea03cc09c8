#pragma once

// Numbers of texts the log and the monitoring file share with other
// subsystems.
namespace LogStrings {
inline constexpr int SerialNumber = 500;
inline constexpr int ModuleConnected = 62430;
inline constexpr int ModuleDisconnected = 62431;
// "Monitoring": the monitoring options' title and the live tabs' name
inline constexpr int Monitoring = 62387;
inline constexpr int Channel1 = 63404;
inline constexpr int Channel2 = 63405;
} // namespace LogStrings
