#include "params/parameter_validation.h"

#include "log/output_log.h"
#include "params/params_strings.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <cmath>

using namespace ParamsStrings;

namespace {
constexpr qint32 kMaxOutputErrorValue = 23000000;
constexpr qint32 kSil2MaxFaultValue = 2400000;
constexpr int kMaxDivisor = 20000;
constexpr double kMaxImpulseRate = 5000.0;
// The parameter block keeps two bits for each relay function.
constexpr int kHighestDownloadableRelayFunction = 3;
} // namespace

ParameterValidator::ParameterValidator(const CatalogueSet &catalogues, const ModuleParameters &parameters)
    : m_catalogues(catalogues), m_parameters(parameters)
{
}

QString ParameterValidator::ChannelName(int channel) const
{
    return Str(channel == 2 ? Channel2 : Channel1);
}

QString ParameterValidator::Section(int pageString) const
{
    return Str(pageString);
}

int ParameterValidator::RelayPage() const
{
    return m_parameters.family == Family7220 ? SectionLimitValue : SectionLimitingValue;
}

bool ParameterValidator::Refuse(int format, const QVariantList &args) const
{
    const QString text = FormatText(Str(format), args);
    WriteLogLine(text);
    MessageService::error(text);
    return false;
}

bool ParameterValidator::RefuseRange(int format, int parameter, int page, int channel, const QVariant &low,
                                     const QVariant &high) const
{
    return Refuse(format, {Str(parameter), Section(page), ChannelName(channel), low, high});
}

bool ParameterValidator::IsSil2Type() const
{
    switch (m_parameters.family) {
    case Family7230:
        return m_parameters.type.name.endsWith(QLatin1Char('3')) ||
               m_parameters.type.name.endsWith(QLatin1Char('4'));
    case Family7220:
        return m_parameters.module.modulTypId >= 67 && m_parameters.module.modulTypId <= 70;
    case Family7210:
        break;
    }
    return false;
}

bool ParameterValidator::IsLiveZeroType() const
{
    return m_parameters.family == Family7220 &&
           (m_parameters.module.modulTypId == 69 || m_parameters.module.modulTypId == 70);
}

bool ParameterValidator::ValidateChannel(int channel) const
{
    if (!m_parameters.hasChannel(channel))
        return true;
    if (!CheckOutput(channel))
        return false;
    if (m_parameters.family != Family7220 && (!CheckUnit(channel) || !CheckInput(channel)))
        return false;
    if (!CheckRelays(channel))
        return false;
    if (m_parameters.family == Family7210 && !CheckFrequencyExtras(channel))
        return false;
    return CheckSil2(channel);
}

bool ParameterValidator::CheckOutput(int channel) const
{
    if (!m_parameters.type.hasOutput())
        return true;
    const ChannelParameters &ch = Channel(channel);
    if (!InRange(ch.outputSignalType, 0, 1))
        return RefuseRange(OutOfRangeWhole, OutputSignalType, SectionOutput, channel, 0, 1);
    if (!InRange(ch.outputErrorStop, 0, 8))
        return RefuseRange(OutOfRangeWhole, HoldenOutputError, SectionOutput, channel, 0, 8);
    if ((ch.outputErrorStop == 0 || ch.outputErrorStop == 1) &&
        !InRange(ch.outputErrorValue, 0, kMaxOutputErrorValue)) {
        if (m_parameters.type.outputSignal == 2)
            return RefuseRange(OutOfRangeReal3, OutputErrorValue, SectionOutput, channel, 0.0, 5.75);
        return RefuseRange(OutOfRangeWhole, OutputErrorValue, SectionOutput, channel, 0, 23);
    }
    return true;
}

bool ParameterValidator::CheckUnit(int channel) const
{
    if (!InRange(Channel(channel).rangeUnitsId, 0, 5))
        return RefuseRange(OutOfRangeWhole, MeasuringRangeUnits, SignalProcessing, channel, 0, 5);
    if (m_parameters.family == Family7210)
        return CheckMeasuringRange(channel);
    return true;
}

bool ParameterValidator::CheckInput(int channel) const
{
    const ChannelParameters &ch = Channel(channel);
    const int mode = ch.workingModeId;
    const int highestMode = m_parameters.family == Family7210 ? 4 : 2;
    if (!InRange(mode, 0, highestMode))
        return RefuseRange(OutOfRangeWhole, WorkingMode, SectionInput, channel, 0, highestMode);
    if (mode != 2 && !InRange(ch.typeOfCircuitId, 0, 2))
        return RefuseRange(OutOfRangeWhole, CircuitType, SectionInput, channel, 0, 2);
    if (mode == 0 && ch.typeOfCircuitId == 0 && !InRange(ch.wireResistance, 0, 10000))
        return RefuseRange(OutOfRangeWhole, WireResistance, SectionInput, channel, 0, 100);
    if (mode != 2)
        return true;
    if (!InRange(ch.tcTypeId, 0, 2))
        return RefuseRange(OutOfRangeWhole, TcType, SectionInput, channel, 0, 2);
    if (m_parameters.family == Family7230 && ch.tcTypeId == 0) {
        const ParameterRow *place = m_catalogues.RowOfCode("ComparePlaceTC", 0);
        return Refuse(TypeNotAllowed, {Str(TcType), Section(SectionInput), ChannelName(channel),
                                       place ? CatalogueText(*place, "Name") : QString()});
    }
    return ch.tcTypeId != 2 || CheckComparisonTemperature(channel);
}

bool ParameterValidator::CheckComparisonTemperature(int channel) const
{
    const ChannelParameters &ch = Channel(channel);
    const qint32 temperature = ch.comparePlaceTemp;
    switch (ch.rangeUnitsId) {
    case 0:
    case 3:
        if (!InRange(temperature, -40000, 85000))
            return RefuseRange(OutOfRangeWhole, TemperatureComparisonArea, SectionInput, channel, -40, 85);
        break;
    case 1:
        if (!InRange(temperature, -40000, 185000))
            return RefuseRange(OutOfRangeReal2, TemperatureComparisonArea, SectionInput, channel, -40.0,
                               185.0);
        break;
    case 2:
        if (!InRange(temperature, 233160, 358160))
            return RefuseRange(OutOfRangeReal2, TemperatureComparisonArea, SectionInput, channel, 233.16,
                               358.16);
        break;
    default:
        break;
    }
    return true;
}

bool ParameterValidator::CheckRelays(int channel) const
{
    if (!m_parameters.type.hasRelays())
        return true;
    const ChannelParameters &ch = Channel(channel);
    const int page = RelayPage();
    if (!InRange(ch.relay1LimitValue, 0, 7))
        return RefuseRange(OutOfRangeWhole, LimitingValueRelay1, page, channel, 0, 7);
    if (!InRange(ch.relay2LimitValue, 0, 7))
        return RefuseRange(OutOfRangeWhole, LimitingValueRelay2, page, channel, 0, 7);
    if (!InRange(ch.relay1AgainSettingProtection, 0, 3))
        return RefuseRange(OutOfRangeWhole, Relay1Lockout, page, channel, 0, 3);
    if (!CheckRelayLimits(channel, 1))
        return false;
    if (!InRange(ch.relay2AgainSettingProtection, 0, 3))
        return RefuseRange(OutOfRangeWhole, Relay2Lockout, page, channel, 0, 3);
    return CheckRelayLimits(channel, 2);
}

bool ParameterValidator::CheckRelayLimits(int channel, int relay) const
{
    const ChannelParameters &ch = Channel(channel);
    const qint32 h = ch.relayHysteresis(relay);
    const qint32 m = ch.relayValue(relay);
    const int hysteresisName = relay == 1 ? HysteresisRelay1 : HysteresisRelay2;
    const int valueName = relay == 1 ? MinimalValueRelay1 : MinimalValueRelay2;
    const int page = RelayPage();
    if (m_parameters.family != Family7220) {
        if (!InRange(h, 1, 1000))
            return RefuseRange(OutOfRangeWhole, hysteresisName, page, channel, 1, 10);
        if (!InRange(m, h, 10000 - h))
            return RefuseRange(OutOfRangeWhole, valueName, page, channel, h / 100, 100 - h / 100);
        return true;
    }
    if (!InRange(h, 24, 2400))
        return RefuseRange(OutOfRangeReal3, hysteresisName, page, channel, 0.024, 2.4);
    const int function = ch.relayFunction(relay);
    const bool risingFunction = function == 0 || function == 2;
    qint32 low = 0;
    qint32 high = 0;
    if (IsLiveZeroType()) {
        low = risingFunction ? h + 3800 : 3800;
        high = risingFunction ? 20500 : 20500 - h;
    } else {
        low = risingFunction ? h + 50 : 100;
        high = risingFunction ? 24000 : 24000 - h;
    }
    if (!InRange(m, low, high))
        return RefuseRange(OutOfRangeReal3, valueName, page, channel, low / 1000.0, high / 1000.0);
    return true;
}

bool ParameterValidator::CheckFrequencyExtras(int channel) const
{
    const ChannelParameters &ch = Channel(channel);
    if (m_parameters.type.hasRelays() && !InRange(ch.anlaufverzoegurung, 0, 1000))
        return RefuseRange(OutOfRangeWhole, StartupDelay, SectionLimitingValue, channel, 0, 1000);
    if (!m_parameters.type.hasImpulseOutput() || ch.workingModeId <= 0 || ch.impulsausgangaktiv == 0)
        return true;
    const double rate = double(ch.rangeEnd) / UnitFactor(m_catalogues, m_parameters.family, ch.rangeUnitsId);
    int smallest = rate > kMaxImpulseRate ? int(std::min(std::ceil(rate / kMaxImpulseRate), 1e9)) : 1;
    while (rate / smallest > kMaxImpulseRate)
        ++smallest;
    const qint32 divisor = ch.zahlteilerkvocient;
    if (divisor < 1 || divisor > kMaxDivisor || rate / divisor > kMaxImpulseRate)
        return RefuseRange(OutOfRangeWhole, Divisor, SectionOutput, channel, smallest, kMaxDivisor);
    return true;
}

bool ParameterValidator::CheckMeasuringRange() const
{
    const int shown = m_parameters.shownChannel;
    if ((shown == 0 || shown == 1) && !CheckMeasuringRange(1))
        return false;
    if (shown == 0 || shown == 2)
        return CheckMeasuringRange(2);
    return true;
}

bool ParameterValidator::CheckMeasuringRange(int channel) const
{
    if (!m_parameters.hasChannel(channel))
        return true;
    switch (m_parameters.family) {
    case Family7230:
        return CheckRange7230(channel);
    case Family7210:
        return CheckRange7210(channel);
    case Family7220:
        break;
    }
    return true;
}

bool ParameterValidator::CheckRange7230(int channel) const
{
    const ChannelParameters &ch = Channel(channel);
    const ParameterRow *row = FindRangeRow(m_catalogues, Family7230, ch, true);
    if (!row)
        return true;
    const RangeMessages &messages = kRangeMessages[channel - 1];
    const qint32 factor = RangeFactor(m_catalogues, Family7230, ch.rangeUnitsId);
    const qint32 begin = ch.rangeBegin / factor;
    const qint32 end = ch.rangeEnd / factor;
    const qint32 lowest = row->intValue("RangeBeginFrom");
    const qint32 highest = row->intValue("RangeEndTo");
    if (!InRange(begin, lowest, highest))
        return Refuse(messages.beginOutOfRange, {double(lowest), double(highest)});
    if (!InRange(end, lowest, highest))
        return Refuse(messages.endOutOfRange, {double(lowest), double(highest)});
    if (ch.rangeBegin >= ch.rangeEnd)
        return Refuse(messages.beginNotBelowEnd, {});
    const qint32 span = row->intValue("MinimalRange");
    if (qint64(end) < qint64(begin) + span)
        return Refuse(messages.spanTooSmall, {span});
    return true;
}

bool ParameterValidator::CheckRange7210(int channel) const
{
    const ChannelParameters &ch = Channel(channel);
    const ParameterRow *row = FindRangeRow(m_catalogues, Family7210, ch, false);
    if (!row)
        return true;
    const RangeMessages &messages = kRangeMessages[channel - 1];
    const qint32 factor = UnitFactor(m_catalogues, Family7210, ch.rangeUnitsId);
    const QString section = Str(SignalProcessing);
    if (ch.workingModeId == 1) {
        const QString name = ChannelName(channel);
        if (ch.rangeBegin < 0)
            return Refuse(FrequencyLowerTooSmall, {Str(From), section, name});
        if (ch.rangeEnd < ch.rangeBegin)
            return Refuse(FrequencyUpperNotBigger, {Str(To), section, name});
        if (qint64(ch.rangeEnd) > qint64(factor) * 1000)
            return Refuse(FrequencyUpperTooBig, {Str(To), section, name});
        if (qint64(ch.rangeEnd) - ch.rangeBegin < qint64(factor * 0.01))
            return Refuse(FrequencySpanTooSmall, {Str(To), section, name});
        return true;
    }
    const qint32 beginFrom = row->intValue("RangeBeginFrom");
    const qint32 beginTo = row->intValue("RangeBeginTo");
    if (ch.rangeBegin != 0 && !InRange(ch.rangeBegin / factor, beginFrom, beginTo)) {
        const int format = ch.workingModeId == 0 ? messages.freqOutOfRange : messages.freqOutOfRangeOrZero;
        return Refuse(format, {double(beginFrom), double(beginTo)});
    }
    const qint32 endFrom = row->intValue("RangeEndFrom");
    const qint32 endTo = row->intValue("RangeEndTo");
    if (ch.rangeEnd / factor < endFrom || double(ch.rangeEnd) / factor > endTo)
        return Refuse(messages.freqOutOfRange, {double(endFrom), double(endTo)});
    if (ch.rangeBegin >= ch.rangeEnd)
        return Refuse(messages.beginNotBelowEnd, {});
    const qint32 span = row->intValue("MinimalRange");
    if (qint64(ch.rangeEnd / factor) < qint64(ch.rangeBegin / factor) + span)
        return Refuse(messages.spanTooSmall, {span});
    return true;
}

bool ParameterValidator::CheckSil2(int channel) const
{
    if (!m_parameters.hasChannel(channel) || !IsSil2Type())
        return true;
    const ChannelParameters &ch = Channel(channel);
    const QString name = ChannelName(channel);
    if (m_parameters.family == Family7230) {
        static const int highestSensor[] = {11, 3, 10};
        const int mode = ch.workingModeId;
        if (mode >= 0 && mode <= 2 && !InRange(ch.sensorTypId, 0, highestSensor[mode]))
            return Refuse(Sil2ReserveType, {Str(SensorType), Section(SectionInput), name});
    }
    if (m_parameters.type.hasOutput()) {
        const QString section = Section(SectionOutput);
        if (ch.outputErrorStop == 0 && ch.outputErrorValue > kSil2MaxFaultValue)
            return Refuse(Sil2FaultValueTooHigh, {Str(OutputFaultValue), section, name});
        if (ch.outputErrorStop == 1)
            return Refuse(Sil2Function, {Str(HoldLastValue), section, name});
        if (ch.outputErrorStop == 8)
            return Refuse(Sil2Function, {Str(FaultControlOff), section, name});
    }
    if (m_parameters.type.hasRelays()) {
        for (int relay = 1; relay <= 2; ++relay) {
            const int function = ch.relayFunction(relay);
            if (ch.relayState(relay) > 0 && (function == 0 || function == 1))
                return Refuse(Sil2RelayFunction, {Str(BehaviorContact), Section(RelayPage()), name,
                                                  Str(relay == 1 ? RelayA : RelayB)});
        }
    }
    return true;
}

bool ParameterValidator::CheckDownloadable() const
{
    for (int channel = 1; channel <= 2; ++channel) {
        if (!ValidateChannel(channel))
            return false;
    }
    if (!m_parameters.type.hasRelays())
        return true;
    for (int channel = 1; channel <= 2; ++channel) {
        if (!m_parameters.hasChannel(channel))
            continue;
        for (int relay = 1; relay <= 2; ++relay) {
            const int function = Channel(channel).relayFunction(relay);
            if (function > kHighestDownloadableRelayFunction)
                return Refuse(RelayFunctionNotDownloadable,
                              {Str(relay == 1 ? LimitingValueRelay1 : LimitingValueRelay2),
                               Section(RelayPage()), ChannelName(channel), function});
        }
    }
    return true;
}
