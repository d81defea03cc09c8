#include "params/module_parameter_editor.h"

#include "db/row_guard.h"
#include "params/text_field_check.h"

#include "db/data_error.h"
#include "log/output_log.h"
#include "params/parameter_validation.h"
#include "params/parameter_values.h"
#include "params/params_strings.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "params/module_types.h"

using namespace ParamsStrings;

ModuleParameterEditor::ModuleParameterEditor(ParameterRowSource &rows, const CatalogueSet &catalogues,
                                             int shownChannel)
    : m_source(rows), m_catalogues(catalogues), m_shownChannel(shownChannel)
{
}

void ModuleParameterEditor::setDataErrorHandler(std::function<void(const COLEDBException &)> handler)
{
    m_dataErrorHandler = std::move(handler);
}

void ModuleParameterEditor::ReportDataError(const COLEDBException &error) const
{
    // Without a handler of its own the error goes where every data error
    // goes, with the database's reason.
    if (m_dataErrorHandler)
        m_dataErrorHandler(error);
    else
        ::ReportDataError(error);
}

bool ModuleParameterEditor::Load()
{
    try {
        ModuleRows rows = m_source.ReadRows();
        if (!rows.moduleType.isValid()) {
            // Without its type the module has no channels, limits or name
            // to check against; an Apply would rename it to " - [tag]".
            Refuse(StrF(ModuleTypeUnknown, {rows.module.intValue("ModulTypID"), rows.module.textValue("Name")}));
            return false;
        }
        m_parameters = ParametersFromRows(rows, m_shownChannel);
        m_rows = std::move(rows);
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return false;
    }
    m_loaded = true;
    m_filledWorkingMode = {};
    SetModified(false);
    return true;
}

void ModuleParameterEditor::SetModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    if (m_modifiedHandler)
        m_modifiedHandler(modified);
}

QString ModuleParameterEditor::ComposedModuleName() const
{
    const ChannelParameters *first = m_parameters.channel(1);
    const ChannelParameters *second = m_parameters.channel(2);
    return ComposeModuleName(m_parameters.type.name, first ? first->name : QString(),
                             second ? second->name : QString(), m_parameters.channelCount());
}

bool ModuleParameterEditor::RefuseName(int format, const QString &name) const
{
    return Refuse(StrF(format, {name}));
}

bool ModuleParameterEditor::Refuse(const QString &text) const
{
    WriteLogLine(text);
    MessageService::error(text);
    return false;
}

ModuleParameterEditor::ApplyResult ModuleParameterEditor::Apply()
{
    if (!m_modified || !m_loaded)
        return ApplyResult::NothingToApply;
    m_readAgain = false;
    const bool takenOver = !m_takeOverHandler || m_takeOverHandler();
    const QString name = ComposedModuleName();
    if (!takenOver || !WriteApplied(name)) {
        WriteLogLine(StrF(ParametersNotApplied, {m_parameters.module.name}));
        return ApplyResult::Refused;
    }
    SetModified(false);
    WriteLogLine(StrF(ParametersApplied, {m_parameters.module.name}));
    return ApplyResult::Applied;
}

bool ModuleParameterEditor::WriteApplied(const QString &name)
{
    const ParameterValidator validator(m_catalogues, m_parameters);
    if (m_parameters.family != Family7220 && !validator.CheckMeasuringRange())
        return false;
    if (!CheckTexts())
        return false;
    try {
        if (m_source.ModuleNameTaken(name))
            return RefuseName(ModuleNameExists, name);
        // The module's channels are checked together, also when one signal
        // is shown: a download writes both.
        for (int number = 1; number <= 2; ++number) {
            if (m_parameters.hasChannel(number) && !validator.ValidateChannel(number))
                return false;
        }
        const bool writeNames = !m_newModule;
        if (writeNames && !CheckSignalNames())
            return false;
        ModuleParameters applied = m_parameters;
        if (writeNames)
            applied.module.name = name;
        ModuleRows after = m_rows;
        ParametersToRows(applied, after, writeNames);
        m_source.WriteRows(m_rows, after);
        m_rows = std::move(after);
        m_parameters.module.name = applied.module.name;
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        // Another program changed what the edit began with: nothing of it
        // was stored, and the pages show what is stored now.
        if (RowGuard::IsChangedElsewhere(error))
            m_readAgain = Load();
        return false;
    }
    return true;
}

void ModuleParameterEditor::TakeStoredLastProgramming(const QString &date)
{
    m_parameters.module.lastProgramming = date;
    if (m_rows.module.isValid())
        m_rows.module.setValue(QStringLiteral("LastProgramming"), date);
}

bool ModuleParameterEditor::CheckTexts() const
{
    using namespace TextFieldLimits;
    const ModuleValues &module = m_parameters.module;
    std::vector<TextField> fields = {
        {ScopeModule, FieldComment, module.description, kComment, false, false, false},
        {ScopeModule, FieldDate, module.lastProgramming, 0, false, false, false},
        {ScopeModule, FieldMemo, module.memo, kMemo, false, false, true},
    };
    for (int number = 1; number <= 2; ++number) {
        const ChannelParameters *ch = m_parameters.channel(number);
        if (!ch || !m_parameters.isShown(number))
            continue;
        const int scope = number == 1 ? Channel1 : Channel2;
        // A module waiting for its name keeps the tags it was read with.
        if (!m_newModule)
            fields.push_back({scope, FieldSignalTag, ch->name, kSignalTag, true, true, false});
        fields.push_back({scope, FieldDescription, ch->description, kDescription, false, false, false});
    }
    for (const TextField &field : fields) {
        const QString refusal = TextFieldRefusal(field);
        if (!refusal.isEmpty())
            return Refuse(refusal);
    }
    return true;
}

bool ModuleParameterEditor::CheckSignalNames()
{
    // The shown signals are written together, so they may swap names but
    // must not end up with the same one.
    std::vector<qint32> written;
    QStringList names;
    for (int number = 1; number <= 2; ++number) {
        if (m_parameters.isShown(number))
            written.push_back(m_parameters.channel(number)->signalId);
    }
    // As the module dialog has it: "t7a" beside "T7A" is the same name.
    if (written.size() == 2 &&
        m_parameters.channel(1)->name.compare(m_parameters.channel(2)->name, Qt::CaseInsensitive) == 0)
        return Refuse(Str(SameChannelNames));
    for (int number = 1; number <= 2; ++number) {
        if (!m_parameters.isShown(number))
            continue;
        const QString &name = m_parameters.channel(number)->name;
        if (names.contains(name) || m_source.SignalNameTaken(name, written))
            return RefuseName(SignalNameExists, name);
        names << name;
    }
    return true;
}

ModuleParameterEditor::ResetResult ModuleParameterEditor::Reset()
{
    if (!m_modified || !m_loaded)
        return ResetResult::NothingToReset;
    WriteLogLine(StrF(ParametersReset, {m_parameters.module.name}));
    const bool dipSwitchBefore = m_parameters.module.dipConfigurable;
    if (!Load())
        return ResetResult::Failed;
    return m_parameters.module.dipConfigurable != dipSwitchBefore ? ResetResult::DipSwitchChanged
                                                                  : ResetResult::Reloaded;
}

bool ModuleParameterEditor::CheckDownloadable() const
{
    return ParameterValidator(m_catalogues, m_parameters).CheckDownloadable();
}

CatalogueChoices ModuleParameterEditor::Choices() const
{
    return CatalogueChoices(m_catalogues, m_parameters.family, m_parameters.type);
}

InputChoices ModuleParameterEditor::FillInput(int channel)
{
    InputChoices choices;
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch || m_parameters.family == Family7220)
        return choices;
    const CatalogueChoices catalogue = Choices();
    choices.workingMode = catalogue.WorkingModes(*ch);
    std::optional<int> &filledMode = m_filledWorkingMode[size_t(channel - 1)];
    const bool keep = !filledMode || *filledMode == ch->workingModeId;
    choices.sensorType = catalogue.SensorTypes(*ch, keep);
    if (m_parameters.family == Family7230) {
        choices.circuitType = catalogue.CircuitTypes(*ch, keep);
        choices.comparePlace = catalogue.ComparePlaces(*ch, keep);
    } else {
        choices.impulseType = catalogue.ImpulseTypes(*ch, keep);
    }
    filledMode = ch->workingModeId;
    return choices;
}

void ModuleParameterEditor::InputChanged(int channel, bool workingModeOrSensorChanged)
{
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch || m_parameters.family == Family7220)
        return;
    Choices().Units(*ch);
    if (workingModeOrSensorChanged)
        ParameterValues::ApplyDefaultRange(m_catalogues, m_parameters.family, *ch);
}

void ModuleParameterEditor::UnitChanged(int channel, int previousUnit)
{
    if (ChannelParameters *ch = m_parameters.channel(channel))
        ParameterValues::ConvertChannelTemperatures(m_parameters.family, *ch, previousUnit, ch->rangeUnitsId);
}

bool ModuleParameterEditor::ApplyImpulseOutputRule(int channel)
{
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch || m_parameters.family != Family7210)
        return false;
    const bool allowed = m_parameters.type.hasImpulseOutput() && ch->workingModeId != 0;
    if (!allowed)
        ch->impulsausgangaktiv = 0;
    return allowed;
}

bool ModuleParameterEditor::HoldImpulseRelay(int channel)
{
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch || m_parameters.family != Family7210 || ch->impulsausgangaktiv == 0)
        return false;
    ch->relay2AgainSettingProtection = 0;
    ch->relay2LimitValue = 0;
    return true;
}

void ModuleParameterEditor::TakeDeviceInfo(int channel, const QString &comment, const QString &date,
                                           const QString &signalTag, const QString &signalDescription)
{
    m_parameters.module.description = comment;
    m_parameters.module.lastProgramming = date;
    if (ChannelParameters *ch = m_parameters.channel(channel)) {
        ch->name = signalTag;
        ch->description = signalDescription;
    }
}

void ModuleParameterEditor::TakeInput7230(int channel, double wireResistanceOhm, double comparisonTemperature)
{
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch)
        return;
    ch->wireResistance = ParameterValues::ScaleTruncated(wireResistanceOhm, 100);
    if (ch->workingModeId == 2 && ch->tcTypeId == 2)
        ch->comparePlaceTemp = ParameterValues::ScaleRounded(comparisonTemperature, 1000);
}

int ModuleParameterEditor::RangeFactorOf(int channel) const
{
    const ChannelParameters *ch = m_parameters.channel(channel);
    return ch ? RangeFactor(m_catalogues, m_parameters.family, ch->rangeUnitsId) : 1;
}

void ModuleParameterEditor::TakeRange(int channel, double from, double to)
{
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch)
        return;
    const int factor = RangeFactorOf(channel);
    ch->rangeBegin = ParameterValues::ScaleRounded(from, factor);
    ch->rangeEnd = ParameterValues::ScaleRounded(to, factor);
}

void ModuleParameterEditor::TakeOutput(int channel, std::optional<int> outputSignalType, int errorStop,
                                       double errorValue)
{
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch)
        return;
    CatalogueChoices::TakeOutputSignalType(*ch, outputSignalType);
    ch->outputErrorStop = errorStop;
    if (errorStop == 0 || errorStop == 1)
        ch->outputErrorValue =
            ParameterValues::OutputErrorValueStored(errorValue, m_parameters.type.outputSignal);
}

void ModuleParameterEditor::TakeImpulseOutput(int channel, bool active, double divisor)
{
    if (ChannelParameters *ch = m_parameters.channel(channel)) {
        ch->impulsausgangaktiv = active ? 1 : 0;
        ch->zahlteilerkvocient = ParameterValues::WholeNumber(divisor);
    }
}

void ModuleParameterEditor::TakeRelay(int channel, int relay, int lockoutState,
                                      std::optional<int> functionRowId, double value, double hysteresis)
{
    ChannelParameters *ch = m_parameters.channel(channel);
    if (!ch)
        return;
    ch->relayState(relay) = lockoutState;
    CatalogueChoices::TakeRelayFunction(*ch, relay, functionRowId);
    ch->relayValue(relay) = ParameterValues::ScaleRounded(value, RelayFactor());
    ch->relayHysteresis(relay) = ParameterValues::ScaleRounded(hysteresis, RelayFactor());
}

void ModuleParameterEditor::TakeStartupDelay(int channel, double delay)
{
    if (ChannelParameters *ch = m_parameters.channel(channel))
        ch->anlaufverzoegurung = ParameterValues::WholeNumber(delay);
}
