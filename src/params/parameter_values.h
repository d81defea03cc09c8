#pragma once

#include "params/catalogues.h"
#include "params/module_parameters.h"

// Conversions between the values the pages show and the scaled integers
// the project stores.
namespace ParameterValues {

// shown x factor, rounded half away from zero.
qint32 ScaleRounded(double shown, double factor);
// shown x factor, truncated toward zero (the wire resistance).
qint32 ScaleTruncated(double shown, double factor);
// A whole-number field (divisor, startup delay).
qint32 WholeNumber(double shown);

// The output error value in mA, or in V on a voltage output (outputSignal 2).
// The pages show it with three decimals, as the module states it: 23.000.
inline constexpr int kOutputErrorValueDecimals = 3;
double OutputErrorValueShown(qint32 stored, int outputSignal);
qint32 OutputErrorValueStored(double shown, int outputSignal);

// A temperature (x 1000) converted between unit codes 0 (Celsius),
// 1 (Fahrenheit) and 2 (kelvin, offset 273.16); any other code leaves it.
qint32 ConvertTemperatureUnit(int from, int to, qint32 value);
bool IsTemperatureUnit(int unitCode);

// Sets the measuring range from the range-table row of the channel's
// working mode, sensor and unit (x unit factor x 100 on 7230, x unit factor
// on 7210). Without such a row, and on 7220, the range stays.
void ApplyDefaultRange(const CatalogueSet &catalogues, ModuleFamily family, ChannelParameters &channel);

// After the unit of a 7230 channel changed from one temperature unit to
// another: the range and the comparison temperature follow.
void ConvertChannelTemperatures(ModuleFamily family, ChannelParameters &channel, int fromUnit, int toUnit);

} // namespace ParameterValues
