#include "link/module_image.h"

#include <QList>

namespace {

using Bytes = std::span<const std::uint8_t>;

int u16At(Bytes b, int at)
{
    return (b[at] << 8) | b[at + 1];
}

int s16At(Bytes b, int at)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(u16At(b, at)));
}

int u32At(Bytes b, int at)
{
    const std::uint32_t v = (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) |
                            (std::uint32_t(b[at + 2]) << 8) | std::uint32_t(b[at + 3]);
    return static_cast<std::int32_t>(v);
}

int bit(std::uint8_t byte, int number)
{
    return (byte >> number) & 1;
}

// Up to the first NUL or the full width, without trailing blanks.
QString textAt(Bytes b, int at, int width)
{
    int end = at;
    while (end < at + width && b[end] != 0)
        ++end;
    while (end > at && b[end - 1] == ' ')
        --end;
    return QString::fromLatin1(reinterpret_cast<const char *>(b.data() + at), end - at);
}

// Builds a block byte by byte in wire order.
class BlockWriter {
public:
    void u8(int v) { m_out.append(static_cast<char>(v & 0xFF)); }
    void u16(int v)
    {
        u8(v >> 8);
        u8(v);
    }
    void u32(int v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        u16(static_cast<int>(u >> 16));
        u16(static_cast<int>(u & 0xFFFF));
    }
    void zeros(int count) { m_out.append(count, '\0'); }
    // The first width characters, blank-padded; a character that a single
    // byte cannot carry becomes '?'.
    void text(const QString &t, int width)
    {
        int written = 0;
        for (const char32_t c : t.toUcs4()) {
            if (written == width)
                break;
            u8(c <= 0xFF ? static_cast<int>(c) : '?');
            ++written;
        }
        m_out.append(width - written, ' ');
    }
    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_out;
};

bool lengthFits(int block, std::size_t size)
{
    return static_cast<int>(size) == BlockLengthStd[block] ||
           static_cast<int>(size) == BlockLengthFreq[block];
}

void decodeChannelConfiguration(ChannelConfiguration &c, Bytes b)
{
    c.WorkingModeID = b[0];
    c.SensorTypID = b[1];
    c.TypeOfCircuitID = b[2];
    c.WireResistance = u16At(b, 3);
    c.Zahlteilerkvocient = c.WireResistance;
    c.TCtypeID = b[5];
    c.Ueberlauf = bit(b[5], 0);
    c.Zaehlerignis = bit(b[5], 1);
    c.Impulsausgangaktiv = bit(b[5], 2);
    c.ComparePlaceTemp = s16At(b, 6);
    c.Anlaufverzoegurung = u16At(b, 6);
    c.RangeBegin = u32At(b, 8);
    c.RangeEnd = u32At(b, 12);
    c.RangeUnitsID = b[16];
    c.OutputErrorStop = b[17] >> 4;
    c.OutputSignalType = b[17] & 0x0F;
    c.OutputErrorValue = u16At(b, 18);
    c.Relay2AgainSettingProtection = (b[20] >> 6) & 3;
    c.Relay2LimitValue = (b[20] >> 4) & 3;
    c.Relay1AgainSettingProtection = (b[20] >> 2) & 3;
    c.Relay1LimitValue = b[20] & 3;
    c.Relay1ActiveRangeValue = u16At(b, 21);
    c.Relay1Hysteresis = u16At(b, 23);
    c.Relay2ActiveRangeValue = u16At(b, 25);
    c.Relay2Hysteresis = u16At(b, 27);
}

void decodeLiveValues(ChannelLiveValues &v, Bytes b)
{
    v.Relay2Locked = bit(b[0], 7);
    v.Relay1Locked = bit(b[0], 6);
    v.ErrorRelayActive = bit(b[0], 5);
    v.PositiveOverload = bit(b[0], 4);
    v.NegativeOverload = bit(b[0], 3);
    v.ErrorSuppression = bit(b[0], 1);
    v.ModuleError = bit(b[0], 0);
    v.Relay2On = bit(b[1], 7);
    v.Relay1On = bit(b[1], 6);
    v.ChannelError = bit(b[1], 5);
    v.GeneralError = bit(b[1], 4);
    v.SensorInterrupt = bit(b[1], 3);
    v.SensorShortCircuit = bit(b[1], 2);
    v.RangeOverrun = bit(b[1], 1);
    v.RegressRange = bit(b[1], 0);
    v.MeasuredValue = u32At(b, 2);
    v.OutputValue = u16At(b, 6);
    // A frequency module's block is two bytes longer and carries the impulse
    // frequency where the others carry the comparison temperature.
    const bool frequencyBlock = b.size() == static_cast<std::size_t>(BlockLengthFreq[8]);
    v.OutputFrequency = frequencyBlock ? u32At(b, 8) : 0;
    v.ComparisonTemp = frequencyBlock ? 0 : s16At(b, 8);
}

QByteArray encodeChannelConfiguration(const ChannelConfiguration &c, ModuleFamily family)
{
    BlockWriter w;
    w.u8(c.WorkingModeID);
    w.u8(c.SensorTypID);
    w.u8(c.TypeOfCircuitID);
    switch (family) {
    case Family7230:
        w.u16(c.WireResistance);
        w.u8(c.TCtypeID);
        w.u16(c.ComparePlaceTemp);
        break;
    case Family7210:
        w.u16(c.Zahlteilerkvocient);
        w.u8((c.Ueberlauf ? 1 : 0) | (c.Zaehlerignis ? 2 : 0) | (c.Impulsausgangaktiv ? 4 : 0));
        w.u16(c.Anlaufverzoegurung);
        break;
    default:
        w.zeros(5);
        break;
    }
    w.u32(c.RangeBegin);
    w.u32(c.RangeEnd);
    w.u8(c.RangeUnitsID);
    w.u8(((c.OutputErrorStop & 0x0F) << 4) | (c.OutputSignalType & 0x0F));
    w.u16(c.OutputErrorValue);
    // Each relay has two bits for its state and two for its function. The
    // project knows functions up to 7; masking keeps a value that does not
    // fit from spilling into the neighbouring relay's bits (validation
    // refuses to download such a value in the first place).
    w.u8(((c.Relay2AgainSettingProtection & 3) << 6) | ((c.Relay2LimitValue & 3) << 4) |
         ((c.Relay1AgainSettingProtection & 3) << 2) | (c.Relay1LimitValue & 3));
    w.u16(c.Relay1ActiveRangeValue);
    w.u16(c.Relay1Hysteresis);
    w.u16(c.Relay2ActiveRangeValue);
    w.u16(c.Relay2Hysteresis);
    return w.take();
}

} // namespace

bool CModuleImage::DecodeBlock(int block, const QByteArray &bytes)
{
    return DecodeBlock(block, Bytes(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
}

bool CModuleImage::DecodeBlock(int block, Bytes b)
{
    if (!IsBlockNumber(block) || !lengthFits(block, b.size()))
        return false;
    switch (block) {
    case 0:
        ModulTypID = b[0];
        DIPSwitch = bit(b[1], 7);
        TC = bit(b[1], 4);
        HaveImpulseOutput = TC;
        OutputSignal = (b[1] >> 2) & 3;
        LimitValue = bit(b[1], 1);
        Channels = bit(b[1], 0);
        Revision = textAt(b, 2, kRevisionWidth);
        SerialNr = textAt(b, 10, kSerialNrWidth);
        break;
    case 1:
        LastProgramming = textAt(b, 0, kLastProgrammingWidth);
        ModuleText = textAt(b, 10, kModuleTextWidth);
        break;
    case 2:
    case 4:
        Channel[(block - 2) / 2].Name = textAt(b, 0, kTagWidth);
        break;
    case 3:
    case 5:
        Channel[(block - 3) / 2].Description = textAt(b, 0, kTagWidth);
        break;
    case 6:
    case 7:
        decodeChannelConfiguration(Channel[block - 6].Config, b);
        break;
    default:
        decodeLiveValues(Channel[block - 8].Live, b);
        break;
    }
    return true;
}

QByteArray CModuleImage::EncodeBlock(int block, ModuleFamily family) const
{
    BlockWriter w;
    switch (block) {
    case 0:
        w.u8(ModulTypID);
        w.u8((DIPSwitch ? 0x80 : 0) | (TC ? 0x10 : 0) | ((OutputSignal & 3) << 2) | (LimitValue ? 2 : 0) |
             (Channels ? 1 : 0));
        w.text(Revision, kRevisionWidth);
        w.text(SerialNr, kSerialNrWidth);
        return w.take();
    case 1:
        w.text(LastProgramming, kLastProgrammingWidth);
        w.text(ModuleText, kModuleTextWidth);
        return w.take();
    case 2:
    case 4:
        w.text(Channel[(block - 2) / 2].Name, kTagWidth);
        return w.take();
    case 3:
    case 5:
        w.text(Channel[(block - 3) / 2].Description, kTagWidth);
        return w.take();
    case 6:
    case 7:
        return encodeChannelConfiguration(Channel[block - 6].Config, family);
    default:
        return {};
    }
}
