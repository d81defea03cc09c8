#pragma once

#include "base/module_family.h"

#include <QString>

#include <array>
#include <optional>

// The values of one Signals row: one measuring channel of a module. Coded
// values hold the catalogue row's ID minus 1, except the relay functions
// (ID minus 5) and the output signal type (the row's Value).
struct ChannelParameters {
    qint32 signalId = 0;
    QString name;
    QString description;
    qint32 workingModeId = 0;
    qint32 sensorTypId = 0;
    qint32 typeOfCircuitId = 0;
    qint32 wireResistance = 0;   // ohm x 100
    qint32 tcTypeId = 0;         // comparison place
    qint32 comparePlaceTemp = 0; // range unit x 1000
    qint32 rangeBegin = 0;       // value x unit factor (x 100 on 7230)
    qint32 rangeEnd = 0;
    qint32 rangeId = 0;
    qint32 rangeUnitsId = 0;
    qint32 outputSignalType = 0;
    qint32 outputErrorStop = 0;
    qint32 outputErrorValue = 0;             // mA x 1,000,000 or V x 4,000,000
    qint32 relay1LimitValue = 0;             // relay function
    qint32 relay1AgainSettingProtection = 0; // relay state and lockout
    qint32 relay1Hysteresis = 0;
    qint32 relay1ActiveRangeValue = 0;
    qint32 relay2LimitValue = 0;
    qint32 relay2AgainSettingProtection = 0;
    qint32 relay2Hysteresis = 0;
    qint32 relay2ActiveRangeValue = 0;
    qint32 zaehlerignis = 0;       // impulse type
    qint32 ueberlauf = 0;          // overflow
    qint32 impulsausgangaktiv = 0; // impulse output active
    qint32 anlaufverzoegurung = 0; // startup delay
    qint32 zahlteilerkvocient = 0; // divisor of the impulse output

    // Relay 1 or 2.
    qint32 &relayFunction(int relay) { return relay == 1 ? relay1LimitValue : relay2LimitValue; }
    qint32 relayFunction(int relay) const { return relay == 1 ? relay1LimitValue : relay2LimitValue; }
    qint32 &relayState(int relay)
    {
        return relay == 1 ? relay1AgainSettingProtection : relay2AgainSettingProtection;
    }
    qint32 relayState(int relay) const
    {
        return relay == 1 ? relay1AgainSettingProtection : relay2AgainSettingProtection;
    }
    qint32 &relayValue(int relay) { return relay == 1 ? relay1ActiveRangeValue : relay2ActiveRangeValue; }
    qint32 relayValue(int relay) const
    {
        return relay == 1 ? relay1ActiveRangeValue : relay2ActiveRangeValue;
    }
    qint32 &relayHysteresis(int relay) { return relay == 1 ? relay1Hysteresis : relay2Hysteresis; }
    qint32 relayHysteresis(int relay) const { return relay == 1 ? relay1Hysteresis : relay2Hysteresis; }

    bool operator==(const ChannelParameters &) const = default;
};

// The row of the family's module-type table that a module names.
struct ModuleTypeProperties {
    qint32 id = 0;
    QString name;
    qint32 tc = 0;           // 7230: which working modes are offered
    qint32 outputSignal = 0; // 0 none, 1 current (mA), 2 voltage (V)
    qint32 limitValue = 0;   // non-zero: the two relays
    qint32 channels = 0;     // channel count minus one
    qint32 haveImpulseOutput = 0;

    bool hasOutput() const { return outputSignal != 0; }
    bool hasRelays() const { return limitValue != 0; }
    bool twoChannels() const { return channels != 0; }
    bool hasImpulseOutput() const { return haveImpulseOutput != 0; }
};

// The values of the module row.
struct ModuleValues {
    QString table; // one of the twelve module tables
    qint32 id = 0;
    QString name;
    QString description; // shown as "Comment"
    QString memo;
    QString lastProgramming; // shown as "Date"
    QString revision;
    QString serialNr;
    qint32 modulTypId = 0;
    bool dipConfigurable = false; // DIPSwitch -1
    qint32 ch1SignalId = 0;
    qint32 ch2SignalId = 0;

    bool operator==(const ModuleValues &) const = default;
};

// Everything the parameter pages of one module show: the module row, its
// type and its one or two channels. shownChannel is 0 for a module item
// (both channels), else the channel of the selected signal item.
struct ModuleParameters {
    ModuleFamily family = Family7230;
    ModuleValues module;
    ModuleTypeProperties type;
    std::array<std::optional<ChannelParameters>, 2> channels;
    int shownChannel = 0;

    // Channel 1 or 2, when the module has it (channel 2 only on two-channel
    // types).
    ChannelParameters *channel(int number);
    const ChannelParameters *channel(int number) const;
    bool hasChannel(int number) const { return channel(number) != nullptr; }
    // Whether the view shows (and so checks and writes) the channel.
    bool isShown(int number) const
    {
        return hasChannel(number) && (shownChannel == 0 || shownChannel == number);
    }
    int channelCount() const { return type.twoChannels() ? 2 : 1; }
};

// The family of a module level's name string ("Module 1", "FreqModule 1",
// "Module7220 1" and their sibling levels), or nothing for another level.
std::optional<ModuleFamily> FamilyOfModuleLevel(int displayString);
