#include "log/monitoring_options.h"

#include "log/output_log.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <algorithm>
#include <array>
#include <utility>

namespace MonitoringOptions {

namespace {
enum : int {
    kIntervalIsNow = 62457,
    kStopped = 62458,
};
const QString kDoFileWrite = QStringLiteral("DoFileWrite");
const QString kFileWriteInterval = QStringLiteral("FileWriteInterval");
} // namespace

bool RecordingOn()
{
    return ReadSetting(kDoFileWrite).toInt() != 0;
}

void SetRecording(bool on)
{
    WriteSetting(kDoFileWrite, on ? 1 : 0);
}

int Interval()
{
    return ReadSetting(kFileWriteInterval).toInt();
}

QString Apply(int seconds)
{
    const int interval = std::clamp(seconds, kMinInterval, kMaxInterval);
    WriteSetting(kFileWriteInterval, interval);
    const QString line = RecordingOn() ? StrF(kIntervalIsNow, {interval}) : Str(kStopped);
    WriteLogLine(line);
    return line;
}

int SpinStep(qint64 heldMs)
{
    // Seconds held and the step from then on.
    static constexpr std::array<std::pair<int, int>, 6> steps = {
        {{6, 60}, {5, 30}, {4, 15}, {3, 9}, {2, 6}, {1, 3}}};
    for (const auto &[seconds, step] : steps)
        if (heldMs >= seconds * 1000)
            return step;
    return 1;
}

} // namespace MonitoringOptions
