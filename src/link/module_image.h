#pragma once

#include "link/block_layout.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

// Configuration of one channel (block 6 for channel 1, block 7 for channel 2).
// Field names are the project's signal columns that they carry.
struct ChannelConfiguration {
    int WorkingModeID = 0;
    int SensorTypID = 0;
    int TypeOfCircuitID = 0;
    // Bytes 3 to 7 depend on the family. Decoding cannot know the family, so
    // it fills every reading: 7230 and 7210 fields alike.
    int WireResistance = 0;     // 7230, 0.01 Ohm
    int TCtypeID = 0;           // 7230
    int ComparePlaceTemp = 0;   // 7230, signed, 0.1 of the measuring unit
    int Zahlteilerkvocient = 0; // 7210, divisor of the impulse output
    int Ueberlauf = 0;          // 7210 flag
    int Zaehlerignis = 0;       // 7210 flag, impulse type
    int Impulsausgangaktiv = 0; // 7210 flag
    int Anlaufverzoegurung = 0; // 7210, unsigned startup delay
    int RangeBegin = 0;         // 1/Digits of the measuring unit
    int RangeEnd = 0;
    int RangeUnitsID = 0;
    int OutputErrorStop = 0;              // 4 bits: 0 error value, 1 hold, 8 off
    int OutputSignalType = 0;             // 4 bits
    int OutputErrorValue = 0;             // 0.001 mA or 0.00025 V
    int Relay2AgainSettingProtection = 0; // 2 bits
    int Relay2LimitValue = 0;             // 2 bits on the wire
    int Relay1AgainSettingProtection = 0; // 2 bits
    int Relay1LimitValue = 0;             // 2 bits on the wire
    int Relay1ActiveRangeValue = 0;       // 0.01 % (7230, 7210) or 0.001 mA (7220)
    int Relay1Hysteresis = 0;
    int Relay2ActiveRangeValue = 0;
    int Relay2Hysteresis = 0;

    bool operator==(const ChannelConfiguration &) const = default;
};

// Live state of one channel (block 8 for channel 1, block 9 for channel 2).
struct ChannelLiveValues {
    int Relay2Locked = 0;
    int Relay1Locked = 0;
    int ErrorRelayActive = 0;
    int PositiveOverload = 0;
    int NegativeOverload = 0;
    int ErrorSuppression = 0;
    int ModuleError = 0;
    int Relay2On = 0;
    int Relay1On = 0;
    int ChannelError = 0;
    int GeneralError = 0;
    int SensorInterrupt = 0;
    int SensorShortCircuit = 0;
    int RangeOverrun = 0;
    int RegressRange = 0;
    int MeasuredValue = 0; // 1/Digits of the measuring unit
    int OutputValue = 0;   // 0.001 mA or 0.00025 V
    // A 10-byte block carries ComparisonTemp, a 12-byte (7210) block
    // OutputFrequency; the other one is then left at 0.
    int ComparisonTemp = 0;  // signed, 0.1 of the measuring unit
    int OutputFrequency = 0; // 0.001 Hz

    bool operator==(const ChannelLiveValues &) const = default;
};

// Everything one channel contributes to the image.
struct ChannelImage {
    QString Name;        // signal tag, block 2 or 4
    QString Description; // block 3 or 5
    ChannelConfiguration Config;
    ChannelLiveValues Live;

    bool operator==(const ChannelImage &) const = default;
};

// The decoded copy of a module's ten parameter blocks. Texts travel as single
// bytes (ISO 8859-1); a character outside it is sent as '?'.
class CModuleImage {
public:
    static constexpr int kRevisionWidth = 8;
    static constexpr int kSerialNrWidth = 12;
    static constexpr int kLastProgrammingWidth = 10;
    static constexpr int kModuleTextWidth = 32;
    static constexpr int kTagWidth = 32;

    // Block 0: identity and capabilities.
    int ModulTypID = 0;
    int DIPSwitch = 0;
    int TC = 0;                // the capability bit as 7230 modules read it
    int HaveImpulseOutput = 0; // the same bit as 7210 modules read it
    int OutputSignal = 0;      // 0 none, 1 current, 2 voltage
    int LimitValue = 0;
    int Channels = 0; // number of channels minus 1
    QString Revision;
    QString SerialNr;

    // Block 1.
    QString LastProgramming; // "%d.%m.%Y"
    QString ModuleText;

    // Channel 1 at index 0, channel 2 at index 1.
    std::array<ChannelImage, 2> Channel;

    bool IsTwoChannel() const { return Channels != 0; }

    // Replaces the fields of one block from its data bytes. Returns false and
    // changes nothing for a block outside 0..9 or bytes of a length the block
    // cannot have (blocks 8 and 9 take 10 or 12 bytes).
    bool DecodeBlock(int block, std::span<const std::uint8_t> bytes);
    bool DecodeBlock(int block, const QByteArray &bytes);

    // The data bytes of block 0..7 as the family lays them out, exactly the
    // block's length. Blocks 8 and 9 have no encoding: empty.
    QByteArray EncodeBlock(int block, ModuleFamily family) const;

    bool operator==(const CModuleImage &) const = default;
};
