#pragma once

#include "base/module_family.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class CModuleImage;
class ImageParameterTexts;

// The scale of a channel's Monitoring page: the range in the unit of the
// channel (0 to 24 mA on 7220).
struct MonitoringScale {
    double begin = 0;
    double end = 100;

    // How much of the bar the value fills, 0 to 1; the value is held to the
    // scale first, and a scale without width fills nothing.
    double Fraction(double value) const;
    // The value as a percentage of the scale, not held to it.
    double Percent(double value) const;
};

// What one record shows on a channel's Monitoring page.
struct MonitoringRecord {
    double value = 0;
    MonitoringScale scale;
    QString unit;
    QString valueText;
    QString percentText; // empty on 7220, which has no percentage display
    QString statusText;
};

class MonitoringValues {
public:
    explicit MonitoringValues(const ImageParameterTexts &texts) : m_texts(texts) {}

    MonitoringScale ScaleOf(const CModuleImage &image, int channel, ModuleFamily family) const;
    MonitoringRecord RecordOf(const CModuleImage &image, int channel, ModuleFamily family) const;

    // The scale labels beside the trend: top, middle, bottom.
    static std::array<QString, 3> ScaleLabels(ModuleFamily family);
    // The values the scale labels stand at on the trend's axis: the scale's
    // end, middle and begin.
    static std::array<double, 3> ScaleLevels(const MonitoringScale &scale);
    // The five labels below the bar's ticks; a label may have a second line.
    std::array<QString, 5> TickLabels(const CModuleImage &image, int channel, ModuleFamily family) const;
    // Which ticks of the bar, spacing apart, carry their label so that no
    // two labels of labelWidth meet: all five, else every second, else the
    // two ends.
    static std::array<bool, 5> LabelledTicks(double spacing, double labelWidth);
    // How many times the trend's axis shows under a plot of plotWidth
    // without one label running into the next: 2 to 5.
    static int TimeTickCount(double plotWidth, double labelWidth);

private:
    const ImageParameterTexts &m_texts;
};

// The trend of a channel: the measured values with their time and, once
// more than five exist, the mean of the last five.
class MonitoringTrend {
public:
    static constexpr int kMeanWindow = 5;

    struct Sample {
        QDateTime time;
        double value = 0;
        bool hasMean = false;
        double mean = 0;
    };

    void Add(const QDateTime &time, double value);
    void Restart() { m_samples.clear(); }
    // The value range of the trend chart: the whole scale, so that the scale
    // labels stand at its end, middle and begin, widened to every sample
    // outside it, with a twentieth of the width as room above and below.
    struct AxisRange {
        double low = 0;
        double high = 1;
    };
    AxisRange RangeOver(const MonitoringScale &scale) const;
    const std::vector<Sample> &Samples() const { return m_samples; }

    // "time;value;moving mean;unit" lines under a heading line, for a
    // spreadsheet.
    QStringList CsvLines(const QString &unit) const;

private:
    std::vector<Sample> m_samples;
};
