#include "link/diagnose_rows.h"

#include "link/module_image.h"
#include "link/parameter_texts.h"
#include "link/transfer_strings.h"
#include "base/string_table.h"

enum class DiagnoseRows::Kind {
    SignalTag,
    Descriptions,
    ModuleError,
    MeasuredValue,
    ComparisonArea,
    TcType,
    OutputSignalValue,
    OutputFrequency,
    RelayState1,
    RelayState2,
    Relay1Locked,
    Relay2Locked,
    RegressRange,
    RangeOverrun,
    SensorShortCircuit,
    InputShortCircuit,
    SensorInterrupt,
    InputInterrupt,
    GeneralError,
    NegativeOverload,
    PositiveOverload,
    ErrorSignalling,
    ErrorSuppression,
    ErrorSignallingRelay,
    DipSwitch,
};

namespace {

using Kind = DiagnoseRows::Kind;

enum : int {
    kParameters = 62350,
    kChannel1 = 62351,
    kChannel2 = 62352,
    kModuleActive = 62376,
    kRelayOn = 62377,
    kRelayOff = 62378,
    kReactivation = 62379,
    kNegativeInputOverload = 62380,
    kPositiveInputOverload = 62381,
    kChannelError = 62382,
    kRelayErrorActive = 62383,
    kRelayErrorNoactive = 62384,
    kInactive = 62385,
    kActive = 62313,
};

// The label of each row kind; the kinds from "Descriptions" on are numbered
// in the order of the enumeration.
int LabelText(Kind kind)
{
    switch (kind) {
    case Kind::SignalTag:
        return TransferStrings::SignalTag;
    case Kind::DipSwitch:
        return TransferStrings::DipSwitch;
    default:
        return 62353 + int(kind) - int(Kind::Descriptions);
    }
}

const std::vector<Kind> &RowsOf(ModuleFamily family)
{
    static const std::vector<Kind> rows7230 = {
        Kind::SignalTag,        Kind::Descriptions,     Kind::ModuleError,        Kind::MeasuredValue,
        Kind::ComparisonArea,   Kind::TcType,           Kind::OutputSignalValue,  Kind::RelayState1,
        Kind::RelayState2,      Kind::Relay1Locked,     Kind::Relay2Locked,       Kind::RegressRange,
        Kind::RangeOverrun,     Kind::SensorShortCircuit, Kind::SensorInterrupt,  Kind::GeneralError,
        Kind::NegativeOverload, Kind::PositiveOverload, Kind::ErrorSignalling,    Kind::ErrorSuppression,
        Kind::ErrorSignallingRelay, Kind::DipSwitch,
    };
    static const std::vector<Kind> rows7210 = {
        Kind::SignalTag,       Kind::Descriptions,     Kind::ModuleError,          Kind::MeasuredValue,
        Kind::OutputSignalValue, Kind::OutputFrequency, Kind::RelayState1,         Kind::RelayState2,
        Kind::Relay1Locked,    Kind::Relay2Locked,     Kind::RegressRange,         Kind::RangeOverrun,
        Kind::SensorShortCircuit, Kind::SensorInterrupt, Kind::ErrorSignalling,    Kind::ErrorSuppression,
        Kind::ErrorSignallingRelay, Kind::DipSwitch,
    };
    static const std::vector<Kind> rows7220 = {
        Kind::SignalTag,      Kind::Descriptions,   Kind::ModuleError,       Kind::MeasuredValue,
        Kind::InputShortCircuit, Kind::InputInterrupt, Kind::OutputSignalValue, Kind::RelayState1,
        Kind::RelayState2,    Kind::Relay1Locked,   Kind::Relay2Locked,      Kind::ErrorSignalling,
        Kind::ErrorSuppression, Kind::ErrorSignallingRelay, Kind::DipSwitch,
    };
    switch (family) {
    case Family7210:
        return rows7210;
    case Family7220:
        return rows7220;
    case Family7230:
        break;
    }
    return rows7230;
}

QString StrIf(int flag, int text)
{
    return flag ? Str(text) : QString();
}

QString Formatted(const char *format, double value, const QString &unit)
{
    return FormatText(QString::fromLatin1(format), {value, unit});
}

} // namespace

std::array<QString, 3> DiagnoseRows::ColumnTitles()
{
    return {Str(kParameters), Str(kChannel1), Str(kChannel2)};
}

DiagnoseContent DiagnoseRows::Build(const CModuleImage &image, ModuleFamily family) const
{
    DiagnoseContent content;
    const auto moduleText = [&](int number) {
        const ImageParameter parameter = m_texts.GetParameter(image, number, 1, family);
        return parameter.nameText.isEmpty() ? parameter.valueText : parameter.nameText;
    };
    content.header = {moduleText(0), moduleText(6), moduleText(7), moduleText(8), moduleText(9)};
    const int channels = image.IsTwoChannel() ? 2 : 1;
    for (Kind kind : RowsOf(family)) {
        DiagnoseRow row;
        row.label = Str(LabelText(kind));
        for (int channel = 1; channel <= channels; ++channel)
            row.cells[size_t(channel - 1)] = Cell(kind, image, channel, family);
        content.rows.push_back(std::move(row));
    }
    return content;
}

QString DiagnoseRows::MeasuredValue(const CModuleImage &image, int channel, ModuleFamily family) const
{
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    if (ch.Live.ModuleError)
        return QString();
    const int code = ch.Config.RangeUnitsID;
    const double value = double(ch.Live.MeasuredValue) / m_texts.UnitFactor(code, family);
    const QString unit = m_texts.UnitName(code, family);
    switch (family) {
    case Family7230:
        if (code == 3)
            return Formatted("%.3f %s", value, unit);
        if (code == 4 || code == 5)
            return Formatted("%.2f %s", value, unit);
        if (code >= 0 && code <= 2)
            return Formatted("%.1f %s", value, unit);
        return QString();
    case Family7210:
        if (code == 0)
            return FormatText(QStringLiteral("%d %s"), {int(value), unit});
        return Formatted("%.3f %s", value, unit);
    case Family7220:
        break;
    }
    return Formatted("%.3f %s", value, Str(TransferStrings::UnitMilliampere));
}

QString DiagnoseRows::ComparisonTemperature(const CModuleImage &image, int channel) const
{
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    if (ch.Config.WorkingModeID != 2)
        return QString();
    const int code = ch.Config.RangeUnitsID;
    const int unitCode = code == 1 || code == 2 ? code : 0;
    return Formatted("%.1f %s", ch.Live.ComparisonTemp * 0.1, m_texts.UnitName(unitCode, Family7230));
}

QString DiagnoseRows::OutputFrequency(const CModuleImage &image, int channel) const
{
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    if (!image.HaveImpulseOutput || !ch.Config.Impulsausgangaktiv || ch.Config.WorkingModeID == 0)
        return Str(kInactive);
    return FormatText(QStringLiteral("%.3f Hz"), {ch.Live.OutputFrequency * 0.001});
}

QString DiagnoseRows::Cell(Kind kind, const CModuleImage &image, int channel, ModuleFamily family) const
{
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    const ChannelLiveValues &live = ch.Live;
    const bool relays = image.LimitValue != 0;
    switch (kind) {
    case Kind::SignalTag:
        return ch.Name;
    case Kind::Descriptions:
        return ch.Description;
    case Kind::ModuleError:
        return Str(live.ModuleError ? LabelText(Kind::ModuleError) : kModuleActive);
    case Kind::MeasuredValue:
        return MeasuredValue(image, channel, family);
    case Kind::ComparisonArea:
        return ComparisonTemperature(image, channel);
    case Kind::TcType:
        return ch.Config.WorkingModeID == 2 ? m_texts.GetParameter(image, 16, channel, family).nameText
                                            : QString();
    case Kind::OutputSignalValue:
        if (image.OutputSignal == 1)
            return FormatText(QStringLiteral("%.3f mA"), {live.OutputValue * 0.001});
        if (image.OutputSignal == 2)
            return FormatText(QStringLiteral("%.3f V"), {live.OutputValue * 0.00025});
        return QString();
    case Kind::OutputFrequency:
        return OutputFrequency(image, channel);
    case Kind::RelayState1:
        return relays ? Str(live.Relay1On ? kRelayOn : kRelayOff) : QString();
    case Kind::RelayState2:
        return relays ? Str(live.Relay2On ? kRelayOn : kRelayOff) : QString();
    case Kind::Relay1Locked:
        return StrIf(live.Relay1Locked, kReactivation);
    case Kind::Relay2Locked:
        return StrIf(live.Relay2Locked, kReactivation);
    case Kind::RegressRange:
        return StrIf(live.RegressRange, kActive);
    case Kind::RangeOverrun:
        return StrIf(live.RangeOverrun, kActive);
    case Kind::SensorShortCircuit:
    case Kind::InputShortCircuit:
        return StrIf(live.SensorShortCircuit, kActive);
    case Kind::SensorInterrupt:
    case Kind::InputInterrupt:
        return StrIf(live.SensorInterrupt, kActive);
    case Kind::GeneralError:
        return StrIf(live.GeneralError, kActive);
    case Kind::NegativeOverload:
        return StrIf(live.NegativeOverload, kNegativeInputOverload);
    case Kind::PositiveOverload:
        return StrIf(live.PositiveOverload, kPositiveInputOverload);
    case Kind::ErrorSignalling:
        return StrIf(live.ChannelError, kChannelError);
    case Kind::ErrorSuppression:
        return StrIf(live.ErrorSuppression, LabelText(Kind::ErrorSuppression));
    case Kind::ErrorSignallingRelay:
        return Str(live.ErrorRelayActive ? kRelayErrorActive : kRelayErrorNoactive);
    case Kind::DipSwitch:
        return Str(image.DIPSwitch ? TransferStrings::DipConfigurable : TransferStrings::PcConfigurable);
    }
    return QString();
}
