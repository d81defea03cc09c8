#pragma once

#include <QString>

// The settings of the "Monitoring" options dialog: whether the measured
// values are recorded and how many seconds lie between two records.
namespace MonitoringOptions {

inline constexpr int kMinInterval = 3;
inline constexpr int kMaxInterval = 3600;

bool RecordingOn();
// Written at once: the box takes effect without OK.
void SetRecording(bool on);
int Interval();

// OK: stores the interval (held to 3..3600) and logs what recording does
// now. Returns the line it logged.
QString Apply(int seconds);

// The step of the interval spin after it has been held down for heldMs.
int SpinStep(qint64 heldMs);

} // namespace MonitoringOptions
