#include "pages/parameter_pages.h"

#include "link/transfer_strings.h"
#include "params/page_strings.h"
#include "params/parameter_values.h"
#include "params/params_strings.h"
#include "base/string_table.h"

namespace {
// The output error behaviours that a button stands for.
constexpr int kStopErrorValue = 0;
constexpr int kStopHoldLast = 1;
constexpr int kStopControlOff = 8;
} // namespace

std::vector<PageKind> PagesOfFamily(ModuleFamily family, const ModuleTypeProperties &type)
{
    std::vector<PageKind> pages{PageKind::DeviceInfo};
    if (family != Family7220) {
        pages.push_back(PageKind::Input);
        pages.push_back(PageKind::SignalProcessing);
    }
    if (type.hasOutput())
        pages.push_back(PageKind::Output);
    if (type.hasRelays())
        pages.push_back(PageKind::LimitingValue);
    pages.push_back(PageKind::Memo);
    return pages;
}

DeviceInfoFill ParameterPages::FillDeviceInfo(int channel) const
{
    const ModuleValues &module = parameters().module;
    DeviceInfoFill fill{parameters().type.name,
                        module.revision,
                        module.serialNr,
                        Str(module.dipConfigurable ? TransferStrings::DipConfigurable : TransferStrings::PcConfigurable),
                        module.lastProgramming,
                        module.description,
                        {},
                        {}};
    if (const ChannelParameters *ch = Channel(channel)) {
        fill.signalTag = ch->name;
        fill.description = ch->description;
    }
    return fill;
}

void ParameterPages::TakeDeviceInfo(int channel, const DeviceInfoTake &take)
{
    m_editor.TakeDeviceInfo(channel, take.comment, take.date, take.signalTag, take.description);
}

QString ParameterPages::UnitText(int unitCode) const
{
    const QString table = TablesOfFamily(family()).measuredUnits;
    if (table.isEmpty())
        return {};
    const CatalogueSet &catalogues = m_editor.Catalogues();
    const ParameterRow *row = catalogues.RowOfCode(table, unitCode);
    return row ? CatalogueText(*row, QStringLiteral("Name")) : QString();
}

QString ParameterPages::OutputUnitText() const
{
    const int output = parameters().type.outputSignal;
    return output == 1 ? Str(PageStrings::UnitMilliampere) : output == 2 ? Str(PageStrings::UnitVolt) : QString();
}

InputFill ParameterPages::FillInput(int channel)
{
    InputFill fill;
    ChannelParameters *ch = Channel(channel);
    if (!ch)
        return fill;
    fill.choices = m_editor.FillInput(channel);
    const int mode = ch->workingModeId;
    const bool on = m_controlsEnabled;
    fill.workingModeEnabled = on;
    fill.sensorEnabled = on;
    fill.impulseTypeEnabled = on;
    fill.circuitEnabled = on && fill.choices.circuitType.enabled;
    fill.comparePlaceEnabled = on && fill.choices.comparePlace.enabled;
    fill.wireResistance = ch->wireResistance / 100.0;
    fill.wireEnabled = on && mode == 0 && ch->typeOfCircuitId == 0;
    fill.compareTemperature = ch->comparePlaceTemp / 1000.0;
    fill.temperatureEnabled = on && mode == 2 && ch->tcTypeId == 2;
    fill.temperatureUnit = UnitText(ch->rangeUnitsId);
    // The overflow belongs to the counter, the one working mode that counts
    // up to a preset.
    fill.overflowShown = family() == Family7210 && mode == 0;
    fill.overflow = ch->ueberlauf != 0;
    fill.overflowEnabled = on;
    return fill;
}

void ParameterPages::TakeInput(int channel, const InputTake &take)
{
    ChannelParameters *ch = Channel(channel);
    if (!ch)
        return;
    auto takeCode = [](qint32 &value, std::optional<int> code) {
        if (code)
            value = *code;
    };
    takeCode(ch->workingModeId, take.workingMode);
    takeCode(ch->sensorTypId, take.sensorType);
    if (family() == Family7230) {
        takeCode(ch->typeOfCircuitId, take.circuitType);
        takeCode(ch->tcTypeId, take.comparePlace);
        m_editor.TakeInput7230(channel, take.wireResistance, take.compareTemperature);
    } else if (family() == Family7210) {
        takeCode(ch->zaehlerignis, take.impulseType);
        if (ch->workingModeId == 0)
            ch->ueberlauf = take.overflow ? 1 : 0;
    }
}

void ParameterPages::InputChanged(int channel, const InputTake &take)
{
    const ChannelParameters *ch = Channel(channel);
    if (!ch)
        return;
    const qint32 mode = ch->workingModeId;
    const qint32 sensor = ch->sensorTypId;
    TakeInput(channel, take);
    const bool modeOrSensor = ch->workingModeId != mode || ch->sensorTypId != sensor;
    // The dependent choices settle first, so that the default range is the
    // one of the sensor the page will show.
    if (modeOrSensor)
        m_editor.FillInput(channel);
    m_editor.InputChanged(channel, modeOrSensor);
}

RangeFill ParameterPages::FillRange(int channel)
{
    RangeFill fill;
    ChannelParameters *ch = Channel(channel);
    if (!ch)
        return fill;
    fill.units = m_editor.Choices().Units(*ch);
    fill.unitText = UnitText(ch->rangeUnitsId);
    const double factor = m_editor.RangeFactorOf(channel);
    fill.from = ch->rangeBegin / factor;
    fill.to = ch->rangeEnd / factor;
    const bool counter = family() == Family7210 && ch->workingModeId == 0;
    fill.decimals = family() == Family7210 ? (counter ? 0 : 3) : 2;
    if (counter)
        fill.from = 0;
    fill.fromEnabled = m_controlsEnabled && !counter;
    fill.toEnabled = m_controlsEnabled;
    fill.units.enabled = m_controlsEnabled;
    return fill;
}

void ParameterPages::TakeRange(int channel, const RangeTake &take)
{
    ChannelParameters *ch = Channel(channel);
    if (!ch)
        return;
    if (take.unit)
        ch->rangeUnitsId = *take.unit;
    m_editor.TakeRange(channel, take.from, take.to);
}

void ParameterPages::UnitChanged(int channel, const RangeTake &take)
{
    const ChannelParameters *ch = Channel(channel);
    if (!ch)
        return;
    const int previous = ch->rangeUnitsId;
    // The shown numbers are still those of the old unit.
    RangeTake inOldUnit = take;
    inOldUnit.unit = previous;
    TakeRange(channel, inOldUnit);
    if (take.unit)
        Channel(channel)->rangeUnitsId = *take.unit;
    m_editor.UnitChanged(channel, previous);
}

OutputFill ParameterPages::FillOutput(int channel)
{
    OutputFill fill;
    ChannelParameters *ch = Channel(channel);
    if (!ch)
        return fill;
    const bool on = m_controlsEnabled;
    const bool hasOutput = parameters().type.hasOutput();
    fill.signalType = m_editor.Choices().OutputSignalTypes(*ch);
    fill.signalType.enabled = on && fill.signalType.enabled;
    fill.unitText = OutputUnitText();
    const int stop = ch->outputErrorStop;
    if (stop == kStopErrorValue || stop == kStopHoldLast || stop == kStopControlOff)
        fill.errorStop = stop;
    fill.errorValue = ParameterValues::OutputErrorValueShown(ch->outputErrorValue, parameters().type.outputSignal);
    fill.buttonsEnabled = on;
    fill.errorValueButtonEnabled = on && hasOutput;
    fill.valueEnabled = on && hasOutput && ErrorValueUsed(stop);
    if (family() == Family7210) {
        fill.impulseShown = true;
        const bool allowed = m_editor.ApplyImpulseOutputRule(channel);
        fill.impulseChecked = ch->impulsausgangaktiv != 0;
        fill.impulseEnabled = on && allowed;
        fill.divisor = ch->zahlteilerkvocient;
        fill.divisorEnabled = fill.impulseEnabled && fill.impulseChecked;
    }
    return fill;
}

void ParameterPages::TakeOutput(int channel, const OutputTake &take)
{
    m_editor.TakeOutput(channel, take.signalType, take.errorStop, take.errorValue);
    if (family() == Family7210) {
        m_editor.TakeImpulseOutput(channel, take.impulse, take.divisor);
        m_editor.ApplyImpulseOutputRule(channel);
    }
}

RelayFill ParameterPages::FillRelay(ChannelParameters &ch, int relay) const
{
    RelayFill fill;
    const bool on = m_controlsEnabled;
    fill.function = m_editor.Choices().RelayFunctions(ch, relay);
    fill.function.enabled = on && fill.function.enabled;
    const double factor = m_editor.RelayFactor();
    fill.value = ch.relayValue(relay) / factor;
    fill.hysteresis = ch.relayHysteresis(relay) / factor;
    const int state = ch.relayState(relay);
    fill.lockout = state == 0 ? 1 : state;
    fill.lockoutEnabled = on && state != 0;
    fill.valuesEnabled = on && state != 0;
    // Both groups of a page carry one naming: letters on 7220, numbers elsewhere.
    if (family() == Family7220)
        fill.title = Str(relay == 1 ? ParamsStrings::RelayA : ParamsStrings::RelayB);
    else
        fill.title = Str(relay == 1 ? PageStrings::Relay1 : PageStrings::Relay2);
    return fill;
}

LimitFill ParameterPages::FillLimits(int channel)
{
    LimitFill fill;
    ChannelParameters *ch = Channel(channel);
    if (!ch)
        return fill;
    const bool impulseRelay = m_editor.HoldImpulseRelay(channel);
    for (int relay = 1; relay <= 2; ++relay)
        fill.relays[size_t(relay - 1)] = FillRelay(*ch, relay);
    if (impulseRelay) {
        RelayFill &second = fill.relays[1];
        second.function.enabled = false;
        second.title += QStringLiteral(" - ") + Str(PageStrings::UsedForImpulseOutput);
    }
    fill.decimals = family() == Family7220 ? 3 : 2;
    fill.startupDelayShown = family() == Family7210;
    fill.startupDelay = ch->anlaufverzoegurung;
    fill.startupDelayEnabled = m_controlsEnabled;
    return fill;
}

void ParameterPages::TakeLimits(int channel, const LimitTake &take)
{
    for (int relay = 1; relay <= 2; ++relay) {
        const RelayTake &r = take.relays[size_t(relay - 1)];
        m_editor.TakeRelay(channel, relay, r.lockout, r.functionRowId, r.value, r.hysteresis);
    }
    if (family() == Family7210)
        m_editor.TakeStartupDelay(channel, take.startupDelay);
}

std::vector<PageKind> RefillAfterChange(PageKind changed, ModuleFamily family)
{
    switch (changed) {
    case PageKind::Input:
        if (family == Family7210)
            return {PageKind::SignalProcessing, PageKind::Input, PageKind::Output, PageKind::LimitingValue};
        return {PageKind::SignalProcessing, PageKind::Input};
    case PageKind::SignalProcessing:
        return {PageKind::SignalProcessing, PageKind::Input};
    case PageKind::Output:
    case PageKind::LimitingValue:
        return {changed};
    case PageKind::DeviceInfo:
    case PageKind::Memo:
        break;
    }
    return {};
}
