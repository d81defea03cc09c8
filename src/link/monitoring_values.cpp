#include "link/monitoring_values.h"

#include "link/module_image.h"
#include "link/parameter_texts.h"
#include "link/transfer_strings.h"
#include "base/string_table.h"

#include <algorithm>

namespace {
enum : int {
    kChannelError = 62382,
    kOk = 62452,
};

// A 7220 module measures its loop current: its page shows 0 to 24 mA.
constexpr double kLoopCurrentEnd = 24;

QString Percent(double percent)
{
    return FormatText(QStringLiteral("%2.2f"), {percent}) + QStringLiteral(" %");
}

QString Milliampere(int value)
{
    return QStringLiteral("%1 %2").arg(value).arg(Str(TransferStrings::UnitMilliampere));
}
} // namespace

double MonitoringScale::Fraction(double value) const
{
    if (end <= begin)
        return 0;
    return (std::clamp(value, begin, end) - begin) / (end - begin);
}

double MonitoringScale::Percent(double value) const
{
    return end == begin ? 0 : (value - begin) / (end - begin) * 100;
}

MonitoringScale MonitoringValues::ScaleOf(const CModuleImage &image, int channel, ModuleFamily family) const
{
    if (family == Family7220)
        return {0, kLoopCurrentEnd};
    const ChannelConfiguration &config = image.Channel[size_t(channel - 1)].Config;
    const double factor = m_texts.UnitFactor(config.RangeUnitsID, family);
    return {config.RangeBegin / factor, config.RangeEnd / factor};
}

MonitoringRecord MonitoringValues::RecordOf(const CModuleImage &image, int channel, ModuleFamily family) const
{
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    MonitoringRecord record;
    record.value = ch.Live.MeasuredValue / double(m_texts.UnitFactor(ch.Config.RangeUnitsID, family));
    record.scale = ScaleOf(image, channel, family);
    record.unit = m_texts.UnitName(ch.Config.RangeUnitsID, family);
    record.valueText = m_texts.FormatValue(image, record.value, channel, family);
    if (family != Family7220)
        record.percentText = Percent(record.scale.Percent(record.value));
    record.statusText = Str(ch.Live.ChannelError ? kChannelError : kOk);
    return record;
}

std::array<QString, 3> MonitoringValues::ScaleLabels(ModuleFamily family)
{
    if (family == Family7220)
        return {Milliampere(24), Milliampere(12), Milliampere(0)};
    return {QStringLiteral("100 %"), QStringLiteral("50 %"), QStringLiteral("0 %")};
}

std::array<QString, 5> MonitoringValues::TickLabels(const CModuleImage &image, int channel,
                                                    ModuleFamily family) const
{
    std::array<QString, 5> labels;
    const MonitoringScale scale = ScaleOf(image, channel, family);
    for (int tick = 0; tick < 5; ++tick) {
        if (family == Family7220) {
            labels[size_t(tick)] = Milliampere(tick * 6);
            continue;
        }
        labels[size_t(tick)] = Percent(tick * 25.0);
        // The begin, the middle and the end also name their value.
        if (tick % 2 == 0) {
            const double value = scale.begin + (scale.end - scale.begin) * tick / 4;
            labels[size_t(tick)] += QLatin1Char('\n') + m_texts.FormatValue(image, value, channel, family);
        }
    }
    return labels;
}

std::array<double, 3> MonitoringValues::ScaleLevels(const MonitoringScale &scale)
{
    return {scale.end, (scale.begin + scale.end) / 2, scale.begin};
}

MonitoringTrend::AxisRange MonitoringTrend::RangeOver(const MonitoringScale &scale) const
{
    double low = std::min(scale.begin, scale.end);
    double high = std::max(scale.begin, scale.end);
    for (const Sample &sample : m_samples) {
        low = std::min(low, sample.value);
        high = std::max(high, sample.value);
    }
    const double room = high > low ? (high - low) / 20 : 1;
    return {low - room, high + room};
}

void MonitoringTrend::Add(const QDateTime &time, double value)
{
    Sample sample{time, value, false, 0};
    m_samples.push_back(sample);
    const int count = int(m_samples.size());
    if (count > kMeanWindow) {
        double sum = 0;
        for (int i = count - kMeanWindow; i < count; ++i)
            sum += m_samples[size_t(i)].value;
        m_samples.back().hasMean = true;
        m_samples.back().mean = sum / kMeanWindow;
    }
}

QStringList MonitoringTrend::CsvLines(const QString &unit) const
{
    QStringList lines{QStringLiteral("time;value;moving mean;unit")};
    for (const Sample &sample : m_samples) {
        lines << QStringLiteral("%1;%2;%3;%4")
                     .arg(sample.time.toString(Qt::ISODate))
                     .arg(sample.value, 0, 'g', 10)
                     .arg(sample.hasMean ? QString::number(sample.mean, 'g', 10) : QString())
                     .arg(unit);
    }
    return lines;
}

std::array<bool, 5> MonitoringValues::LabelledTicks(double spacing, double labelWidth)
{
    constexpr double kGap = 4;
    if (labelWidth + kGap <= spacing)
        return {true, true, true, true, true};
    if (labelWidth + kGap <= 2 * spacing)
        return {true, false, true, false, true};
    return {true, false, false, false, true};
}

int MonitoringValues::TimeTickCount(double plotWidth, double labelWidth)
{
    constexpr double kGap = 12;
    const int fitting = labelWidth + kGap > 0 ? int(plotWidth / (labelWidth + kGap)) : 5;
    return std::clamp(fitting, 2, 5);
}
