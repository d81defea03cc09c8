#pragma once

#include "pages/numeric_input.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_values.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The pages of a family's parameter view, in the order of their tabs.
enum class PageKind { DeviceInfo, Input, SignalProcessing, Output, LimitingValue, Memo };
std::vector<PageKind> PagesOfFamily(ModuleFamily family, const ModuleTypeProperties &type);

// What a page shows for one channel, and what it hands back on take-over.
// Every enable flag already includes whether the controls may be edited at
// all (PC configurable and link started).
struct DeviceInfoFill {
    QString moduleType, revision, serialNr, dipSwitch, date, comment, signalTag, description;
};
struct DeviceInfoTake {
    QString comment, date, signalTag, description;
};

struct InputFill {
    InputChoices choices;
    double wireResistance = 0;
    double compareTemperature = 0;
    QString temperatureUnit;
    bool workingModeEnabled = true, sensorEnabled = true, circuitEnabled = true, comparePlaceEnabled = true;
    bool wireEnabled = true, temperatureEnabled = true;
    bool impulseTypeEnabled = true, overflowShown = false, overflow = false, overflowEnabled = true;
};
struct InputTake {
    std::optional<int> workingMode, sensorType, circuitType, comparePlace, impulseType;
    double wireResistance = 0;
    double compareTemperature = 0;
    bool overflow = false;
};

struct RangeFill {
    CatalogueChoice units;
    QString unitText;
    double from = 0, to = 0;
    int decimals = 2;
    bool fromEnabled = true, toEnabled = true;
};
struct RangeTake {
    std::optional<int> unit;
    double from = 0, to = 0;
};

struct OutputFill {
    CatalogueChoice signalType;
    QString unitText;
    std::optional<int> errorStop; // 0, 1 or 8; nothing: the buttons stay as they are
    double errorValue = 0;
    bool valueEnabled = true, errorValueButtonEnabled = true, buttonsEnabled = true;
    bool impulseShown = false, impulseChecked = false, impulseEnabled = false;
    double divisor = 0;
    bool divisorEnabled = false;
};
struct OutputTake {
    std::optional<int> signalType;
    int errorStop = -1; // the checked button, -1 for none
    double errorValue = 0;
    bool impulse = false;
    double divisor = 0;
};

struct RelayFill {
    CatalogueChoice function;
    QString title;
    double value = 0, hysteresis = 0;
    int lockout = 1; // the checked button: 1 inactive, 2 power-up reset, 3 active
    bool lockoutEnabled = true, valuesEnabled = true;
};
struct LimitFill {
    std::array<RelayFill, 2> relays;
    int decimals = 2;
    double startupDelay = 0;
    bool startupDelayShown = false, startupDelayEnabled = true;
};
struct RelayTake {
    int lockout = 0;
    std::optional<int> functionRowId;
    double value = 0, hysteresis = 0;
};
struct LimitTake {
    std::array<RelayTake, 2> relays;
    double startupDelay = 0;
};

// The fill and take-over rules of the pages and their reactions to changes,
// over the parameter set of the shown module.
class ParameterPages {
public:
    explicit ParameterPages(ModuleParameterEditor &editor) : m_editor(editor) {}

    // Whether the controls may be edited at all.
    void setControlsEnabled(bool enabled) { m_controlsEnabled = enabled; }
    bool controlsEnabled() const { return m_controlsEnabled; }

    ModuleFamily family() const { return m_editor.parameters().family; }
    const ModuleParameters &parameters() const { return m_editor.parameters(); }
    bool hasChannel(int channel) const { return m_editor.parameters().hasChannel(channel); }

    DeviceInfoFill FillDeviceInfo(int channel) const;
    void TakeDeviceInfo(int channel, const DeviceInfoTake &take);

    InputFill FillInput(int channel);
    void TakeInput(int channel, const InputTake &take);
    // An Input choice changed: take the page over, the units follow the
    // working mode, a new working mode or sensor takes its default range.
    void InputChanged(int channel, const InputTake &take);

    RangeFill FillRange(int channel);
    void TakeRange(int channel, const RangeTake &take);
    // The unit changed: a 7230 temperature unit converts the range and the
    // comparison temperature.
    void UnitChanged(int channel, const RangeTake &take);

    OutputFill FillOutput(int channel);
    void TakeOutput(int channel, const OutputTake &take);
    // Whether the error value field is used with the given button.
    static bool ErrorValueUsed(int errorStop) { return errorStop == 0 || errorStop == 1; }

    LimitFill FillLimits(int channel);
    void TakeLimits(int channel, const LimitTake &take);

    QString Memo() const { return m_editor.parameters().module.memo; }
    void TakeMemo(const QString &memo) { m_editor.parameters().module.memo = memo; }

    // A number as a field of the pages shows it with that many decimals.
    static QString NumberText(double value, int decimals, int options = NumericInput::DecimalPoint)
    {
        return NumericInput(options, decimals).Format(value);
    }
    // The output error value's text: every one of its three decimals.
    static QString ErrorValueText(double value)
    {
        return NumberText(value, kErrorValueDecimals, NumericInput::DecimalPoint | NumericInput::AllDecimals);
    }
    static constexpr int kErrorValueDecimals = ParameterValues::kOutputErrorValueDecimals;

    // The unit text of a unit code of the family.
    QString UnitText(int unitCode) const;
    // "mA" or "V" by the module type's output.
    QString OutputUnitText() const;

private:
    ChannelParameters *Channel(int channel) { return m_editor.channel(channel); }
    const ChannelParameters *Channel(int channel) const { return m_editor.parameters().channel(channel); }
    RelayFill FillRelay(ChannelParameters &ch, int relay) const;

    ModuleParameterEditor &m_editor;
    bool m_controlsEnabled = true;
};

// The pages that show values a change on the given page has moved, in the
// order they are filled again.
std::vector<PageKind> RefillAfterChange(PageKind changed, ModuleFamily family);
