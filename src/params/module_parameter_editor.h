#pragma once

#include "params/catalogue_choices.h"
#include "params/catalogues.h"
#include "params/module_parameters.h"
#include "params/parameter_rows.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

class COLEDBException;

// The choices of the Input page of one channel.
struct InputChoices {
    CatalogueChoice workingMode;
    CatalogueChoice sensorType;
    CatalogueChoice circuitType;  // 7230
    CatalogueChoice comparePlace; // 7230
    CatalogueChoice impulseType;  // 7210
};

// The parameter set of the module (or signal) shown in the parameter view,
// with what the pages do to it: load, take over page values, react to
// changes, Apply and Reset. The rows come from and go to a row source.
class ModuleParameterEditor {
public:
    ModuleParameterEditor(ParameterRowSource &rows, const CatalogueSet &catalogues, int shownChannel = 0);

    // Reads the module's rows; a data error is reported and gives false.
    // Ends with the modified flag cleared.
    bool Load();
    bool isLoaded() const { return m_loaded; }
    ModuleParameters &parameters() { return m_parameters; }
    const ModuleParameters &parameters() const { return m_parameters; }
    ChannelParameters *channel(int number) { return m_parameters.channel(number); }

    bool isModified() const { return m_modified; }
    // Calls the handler when the flag changes (the document's modified flag
    // and the page buttons follow it).
    void SetModified(bool modified);
    void setModifiedHandler(std::function<void(bool)> handler) { m_modifiedHandler = std::move(handler); }
    // Set while a module made from a connected module waits for its name:
    // the signal and module names are then not written.
    void setNewModule(bool pending) { m_newModule = pending; }
    // How a data error is shown (the program shows its errors dialog).
    void setDataErrorHandler(std::function<void(const COLEDBException &)> handler);
    // Called first by every Apply of a modified module (the pages copy what
    // the user typed into the parameters); false refuses the Apply.
    void setTakeOverHandler(std::function<bool()> handler) { m_takeOverHandler = std::move(handler); }
    const CatalogueSet &Catalogues() const { return m_catalogues; }

    enum class ApplyResult { NothingToApply, Applied, Refused };
    ApplyResult Apply();
    // Whether the last Apply was refused because another program changed
    // the module meanwhile, and the parameters were read again.
    bool ReadAgainAfterConflict() const { return m_readAgain; }
    enum class ResetResult { NothingToReset, Reloaded, DipSwitchChanged, Failed };
    ResetResult Reset();
    // The date of a download this program stored in the module row itself:
    // shown, and taken as what the edit began with, so that the next Apply
    // does not read it as another program's change.
    void TakeStoredLastProgramming(const QString &date);
    // The checks before a download: every channel, and what the module's
    // blocks cannot hold.
    bool CheckDownloadable() const;

    // The module name made of the type name and the signal names.
    QString ComposedModuleName() const;

    CatalogueChoices Choices() const;
    // Fills the Input page's choices. Once the working mode differs from
    // the last fill, the dependent choices fall back to their first entry.
    InputChoices FillInput(int channel);

    // Reactions of the pages.
    // An Input choice changed: the unit list follows the working mode and a
    // new working mode or sensor takes its default range.
    void InputChanged(int channel, bool workingModeOrSensorChanged);
    // The unit of a 7230 channel changed from previousUnit.
    void UnitChanged(int channel, int previousUnit);
    // Whether the impulse output may be active (7210, type with impulse
    // output, working mode not 0); clears it when not.
    bool ApplyImpulseOutputRule(int channel);
    // While the impulse output is active, relay 2 serves it: state and
    // function 0.
    bool HoldImpulseRelay(int channel);

    // Take-over of page values.
    void TakeDeviceInfo(int channel, const QString &comment, const QString &date, const QString &signalTag,
                        const QString &signalDescription);
    void TakeInput7230(int channel, double wireResistanceOhm, double comparisonTemperature);
    void TakeRange(int channel, double from, double to);
    // errorStop: the button checked (0, 1, 8) or -1 for none; the error
    // value is taken only for 0 and 1.
    void TakeOutput(int channel, std::optional<int> outputSignalType, int errorStop, double errorValue);
    void TakeImpulseOutput(int channel, bool active, double divisor);
    void TakeRelay(int channel, int relay, int lockoutState, std::optional<int> functionRowId, double value,
                   double hysteresis);
    void TakeStartupDelay(int channel, double delay);

    // The multiplier between a shown relay value and the stored one.
    int RelayFactor() const { return m_parameters.family == Family7220 ? 1000 : 100; }
    // The multiplier between a shown range value of the channel and the
    // stored one.
    int RangeFactorOf(int channel) const;

    // The text fields against their limits, as Apply checks them; false
    // after the refusal was shown.
    bool CheckTexts() const;

private:
    bool WriteApplied(const QString &name);
    bool CheckSignalNames();
    bool RefuseName(int format, const QString &name) const;
    bool Refuse(const QString &text) const;
    void ReportDataError(const COLEDBException &error) const;

    ParameterRowSource &m_source;
    const CatalogueSet &m_catalogues;
    int m_shownChannel;
    ModuleRows m_rows;
    ModuleParameters m_parameters;
    bool m_loaded = false;
    bool m_modified = false;
    bool m_newModule = false;
    bool m_readAgain = false;
    std::array<std::optional<int>, 2> m_filledWorkingMode;
    std::function<void(bool)> m_modifiedHandler;
    std::function<void(const COLEDBException &)> m_dataErrorHandler;
    std::function<bool()> m_takeOverHandler;
};
