#include "params/module_parameters.h"

ChannelParameters *ModuleParameters::channel(int number)
{
    return const_cast<ChannelParameters *>(std::as_const(*this).channel(number));
}

const ChannelParameters *ModuleParameters::channel(int number) const
{
    if (number == 1 && channels[0])
        return &*channels[0];
    if (number == 2 && channels[1] && type.twoChannels())
        return &*channels[1];
    return nullptr;
}

std::optional<ModuleFamily> FamilyOfModuleLevel(int displayString)
{
    if (displayString >= 489 && displayString <= 492)
        return Family7230;
    if (displayString >= 572 && displayString <= 575)
        return Family7210;
    if (displayString >= 590 && displayString <= 593)
        return Family7220;
    return std::nullopt;
}
