#include "params/parameter_values.h"

#include <cmath>
#include <limits>

namespace ParameterValues {
namespace {

constexpr double kKelvinOffset = 273.16;

// Page values have few decimals; a product such as 1.15 x 100 lands a hair
// below 115, which must not decide a rounding or truncation.
double Nudged(double scaled)
{
    const double epsilon = 1e-9 * std::max(1.0, std::abs(scaled));
    return scaled + std::copysign(epsilon, scaled);
}

qint32 Clamped(double value)
{
    constexpr double low = std::numeric_limits<qint32>::min();
    constexpr double high = std::numeric_limits<qint32>::max();
    if (std::isnan(value))
        return 0;
    return qint32(std::clamp(value, low, high));
}

double ToCelsius(int unit, double value)
{
    if (unit == 1)
        return (value - 32.0) * 5.0 / 9.0;
    if (unit == 2)
        return value - kKelvinOffset;
    return value;
}

double FromCelsius(int unit, double value)
{
    if (unit == 1)
        return value * 9.0 / 5.0 + 32.0;
    if (unit == 2)
        return value + kKelvinOffset;
    return value;
}

} // namespace

qint32 ScaleRounded(double shown, double factor)
{
    return Clamped(std::round(Nudged(shown * factor)));
}

qint32 ScaleTruncated(double shown, double factor)
{
    return Clamped(std::trunc(Nudged(shown * factor)));
}

qint32 WholeNumber(double shown)
{
    return Clamped(std::trunc(Nudged(shown)));
}

double OutputErrorValueShown(qint32 stored, int outputSignal)
{
    const double milliamps = stored * 0.000001;
    return outputSignal == 2 ? milliamps * 5.75 / 23.0 : milliamps;
}

qint32 OutputErrorValueStored(double shown, int outputSignal)
{
    const double milliamps = outputSignal == 2 ? shown * 23.0 / 5.75 : shown;
    return ScaleRounded(milliamps, 1000000.0);
}

bool IsTemperatureUnit(int unitCode)
{
    return unitCode >= 0 && unitCode <= 2;
}

qint32 ConvertTemperatureUnit(int from, int to, qint32 value)
{
    if (!IsTemperatureUnit(from) || !IsTemperatureUnit(to) || from == to)
        return value;
    const double converted = FromCelsius(to, ToCelsius(from, value / 1000.0));
    return ScaleRounded(converted, 1000.0);
}

void ApplyDefaultRange(const CatalogueSet &catalogues, ModuleFamily family, ChannelParameters &channel)
{
    if (family == Family7220)
        return;
    const ParameterRow *row = FindRangeRow(catalogues, family, channel, false);
    if (!row)
        return;
    const qint64 factor = RangeFactor(catalogues, family, channel.rangeUnitsId);
    channel.rangeBegin = Clamped(double(row->intValue("RangeBeginFrom") * factor));
    channel.rangeEnd = Clamped(double(row->intValue("RangeEndTo") * factor));
}

void ConvertChannelTemperatures(ModuleFamily family, ChannelParameters &channel, int fromUnit, int toUnit)
{
    if (family != Family7230)
        return;
    channel.rangeBegin = ConvertTemperatureUnit(fromUnit, toUnit, channel.rangeBegin);
    channel.rangeEnd = ConvertTemperatureUnit(fromUnit, toUnit, channel.rangeEnd);
    channel.comparePlaceTemp = ConvertTemperatureUnit(fromUnit, toUnit, channel.comparePlaceTemp);
}

} // namespace ParameterValues
