#include "link/image_mapping.h"

#include <limits>

namespace {

// Which of the two project-to-image mappings runs: the write image sets only
// what the family's blocks carry, the comparison image sets every reading.
enum class Target { Write, Compare };

// Range values of a module can be as large as 32 bits hold; scaling them up
// must not wrap around into the opposite sign.
qint32 Scaled(qint32 value, qint64 factor)
{
    const qint64 product = qint64(value) * factor;
    if (product > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    if (product < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    return qint32(product);
}

void ChannelToImage(const ChannelParameters &from, ChannelImage &to, ModuleFamily family, Target target)
{
    const bool everyReading = target == Target::Compare;
    ChannelConfiguration &c = to.Config;
    to.Name = from.name;
    to.Description = from.description;
    if (everyReading || family != Family7220) {
        c.WorkingModeID = from.workingModeId;
        c.SensorTypID = from.sensorTypId;
        c.TypeOfCircuitID = from.typeOfCircuitId;
    }
    if (everyReading || family == Family7230) {
        c.WireResistance = from.wireResistance;
        c.TCtypeID = from.tcTypeId;
        c.ComparePlaceTemp = from.comparePlaceTemp / 100;
    }
    if (family == Family7230) {
        c.RangeBegin = from.rangeBegin / 100;
        c.RangeEnd = from.rangeEnd / 100;
    } else if (family == Family7210) {
        c.RangeBegin = from.rangeBegin;
        c.RangeEnd = from.rangeEnd;
    }
    c.RangeUnitsID = from.rangeUnitsId;
    c.OutputErrorStop = from.outputErrorStop;
    c.OutputSignalType = from.outputSignalType;
    c.OutputErrorValue = from.outputErrorValue / 1000;
    c.Relay1ActiveRangeValue = from.relay1ActiveRangeValue;
    c.Relay1Hysteresis = from.relay1Hysteresis;
    c.Relay2ActiveRangeValue = from.relay2ActiveRangeValue;
    c.Relay2Hysteresis = from.relay2Hysteresis;
    c.Relay1LimitValue = from.relay1LimitValue;
    c.Relay1AgainSettingProtection = from.relay1AgainSettingProtection;
    c.Relay2LimitValue = from.relay2LimitValue;
    c.Relay2AgainSettingProtection = from.relay2AgainSettingProtection;
    if (everyReading || family == Family7210) {
        c.Ueberlauf = from.ueberlauf;
        c.Zaehlerignis = from.zaehlerignis;
        c.Impulsausgangaktiv = from.impulsausgangaktiv;
        c.Zahlteilerkvocient = from.zahlteilerkvocient;
        c.Anlaufverzoegurung = from.anlaufverzoegurung;
    }
}

void ModuleToImage(CModuleImage &image, const ModuleParameters &module, ModuleFamily family, Target target)
{
    image.ModulTypID = module.module.modulTypId - 1;
    image.DIPSwitch = module.module.dipConfigurable ? 1 : 0;
    image.TC = target == Target::Compare || family == Family7230 ? module.type.tc : 0;
    image.OutputSignal = module.type.outputSignal;
    image.LimitValue = module.type.limitValue;
    image.Channels = module.channelCount() - 1;
    image.Revision = module.module.revision;
    image.SerialNr = module.module.serialNr;
    for (int number = 1; number <= 2; ++number) {
        if (const ChannelParameters *channel = module.channel(number))
            ChannelToImage(*channel, image.Channel[size_t(number - 1)], family, target);
    }
}

void ImageToChannel(const ChannelImage &from, ChannelParameters &to, ModuleFamily family, bool keepTag)
{
    const ChannelConfiguration &c = from.Config;
    if (!keepTag)
        to.name = from.Name;
    to.description = from.Description;
    to.workingModeId = c.WorkingModeID;
    to.sensorTypId = c.SensorTypID;
    to.typeOfCircuitId = c.TypeOfCircuitID;
    if (family == Family7230) {
        to.wireResistance = c.WireResistance;
        to.tcTypeId = c.TCtypeID;
        to.comparePlaceTemp = c.ComparePlaceTemp * 100;
        to.rangeBegin = Scaled(c.RangeBegin, 100);
        to.rangeEnd = Scaled(c.RangeEnd, 100);
    } else if (family == Family7210) {
        to.rangeBegin = c.RangeBegin;
        to.rangeEnd = c.RangeEnd;
    }
    to.rangeUnitsId = c.RangeUnitsID;
    to.outputErrorStop = c.OutputErrorStop;
    to.outputSignalType = c.OutputSignalType;
    to.outputErrorValue = c.OutputErrorValue * 1000;
    to.relay1ActiveRangeValue = c.Relay1ActiveRangeValue;
    to.relay1Hysteresis = c.Relay1Hysteresis;
    to.relay2ActiveRangeValue = c.Relay2ActiveRangeValue;
    to.relay2Hysteresis = c.Relay2Hysteresis;
    to.relay1LimitValue = c.Relay1LimitValue;
    to.relay1AgainSettingProtection = c.Relay1AgainSettingProtection;
    to.relay2LimitValue = c.Relay2LimitValue;
    to.relay2AgainSettingProtection = c.Relay2AgainSettingProtection;
    if (family == Family7210) {
        to.ueberlauf = c.Ueberlauf;
        to.zaehlerignis = c.Zaehlerignis;
        to.impulsausgangaktiv = c.Impulsausgangaktiv;
        to.zahlteilerkvocient = c.Zahlteilerkvocient;
        to.anlaufverzoegurung = c.Anlaufverzoegurung;
    }
}

} // namespace

void BuildWriteImage(CModuleImage &writeImage, const ModuleParameters &module, ModuleFamily family,
                     const QString &date)
{
    ModuleToImage(writeImage, module, family, Target::Write);
    writeImage.LastProgramming = date;
}

void FillFromModule(CModuleImage &image, const ModuleParameters &module, ModuleFamily family)
{
    ModuleToImage(image, module, family, Target::Compare);
    image.LastProgramming = module.module.lastProgramming;
}

bool TakeOverImage(ModuleParameters &module, const CModuleImage &image, ModuleFamily family, int channel,
                   bool keepTags)
{
    ModuleValues &values = module.module;
    const bool dipBefore = values.dipConfigurable;
    values.modulTypId = image.ModulTypID + 1;
    values.dipConfigurable = image.DIPSwitch != 0;
    values.revision = image.Revision;
    values.serialNr = image.SerialNr;
    module.type.tc = image.TC;
    module.type.haveImpulseOutput = image.HaveImpulseOutput;
    module.type.outputSignal = image.OutputSignal;
    module.type.limitValue = image.LimitValue;
    module.type.channels = image.Channels;
    for (int number = 1; number <= 2; ++number) {
        ChannelParameters *target = module.channel(number);
        if (!target || (channel != 0 && channel != number))
            continue;
        ImageToChannel(image.Channel[size_t(number - 1)], *target, family, keepTags);
        if (number == 1)
            values.lastProgramming = image.LastProgramming;
    }
    return values.dipConfigurable != dipBefore;
}
