#include "params/parameter_column_edit.h"

#include "params/catalogue_choices.h"
#include "params/catalogues.h"
#include "params/module_parameter_editor.h"
#include "params/page_strings.h"
#include "params/parameter_values.h"
#include "params/params_strings.h"
#include "base/number_text.h"
#include "base/string_table.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace ParamsStrings;

namespace {

const QStringList kModuleColumns = {QStringLiteral("Comment"), QStringLiteral("LastProgramming"),
                                    QStringLiteral("DIPSwitch")};
const QStringList kTextColumns = {QStringLiteral("Name"), QStringLiteral("Description")};
// In the order the pages depend on each other: the working mode decides the
// sensors and units offered, the unit converts the range.
const QStringList kCodeColumns = {
    QStringLiteral("WorkingModeID"),    QStringLiteral("SensorTypID"),
    QStringLiteral("TypeOfCircuitID"),  QStringLiteral("TCtypeID"),
    QStringLiteral("Zaehlerignis"),     QStringLiteral("RangeUnitsID"),
    QStringLiteral("OutputSignalType"), QStringLiteral("OutputErrorStop"),
    QStringLiteral("Relay1LimitValue"), QStringLiteral("Relay1AgainSettingProtection"),
    QStringLiteral("Relay2LimitValue"), QStringLiteral("Relay2AgainSettingProtection"),
    QStringLiteral("Ueberlauf"),        QStringLiteral("Impulsausgangaktiv")};
const QStringList kValueColumns = {
    QStringLiteral("WireResistance"),    QStringLiteral("ComparePlaceTemp"),
    QStringLiteral("RangeBegin"),        QStringLiteral("RangeEnd"),
    QStringLiteral("OutputErrorValue"),  QStringLiteral("Relay1ActiveRangeValue"),
    QStringLiteral("Relay1Hysteresis"),  QStringLiteral("Relay2ActiveRangeValue"),
    QStringLiteral("Relay2Hysteresis"),  QStringLiteral("Zahlteilerkvocient"),
    QStringLiteral("Anlaufverzoegurung")};

QString Number(double value, int decimals)
{
    return QLocale::c().toString(value, 'f', decimals);
}

// A limit of a field as text: without the zeros a binary fraction leaves.
QString Number(double value)
{
    return QLocale::c().toString(value, 'g', 12);
}

int ColumnOrder(const QString &column)
{
    const QStringList columns = ParameterColumnEdit::Columns();
    for (int index = 0; index < columns.size(); ++index) {
        if (columns[index].compare(column, Qt::CaseInsensitive) == 0)
            return index;
    }
    return int(columns.size());
}

bool Is(const QString &column, const char *name)
{
    return column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The relay number of a relay column, 0 for another column.
int RelayOf(const QString &column)
{
    if (column.startsWith(QLatin1String("Relay1"), Qt::CaseInsensitive))
        return 1;
    if (column.startsWith(QLatin1String("Relay2"), Qt::CaseInsensitive))
        return 2;
    return 0;
}

QString CodeList(const QList<int> &codes)
{
    QStringList texts;
    for (const int code : codes)
        texts << QString::number(code);
    return texts.join(QStringLiteral(", "));
}

QString Offered(const CatalogueChoice &choice, int offset = 0)
{
    QStringList offered;
    for (const ChoiceEntry &entry : choice.entries)
        offered << QStringLiteral("%1 (%2)").arg(entry.data - offset).arg(entry.text);
    return offered.join(QStringLiteral(", "));
}

} // namespace

QStringList ParameterColumnEdit::Columns()
{
    return kModuleColumns + kTextColumns + kCodeColumns + kValueColumns;
}

QString ParameterColumnEdit::Apply(int channel, const QList<QPair<QString, QString>> &assignments)
{
    QList<QPair<QString, QString>> ordered = assignments;
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto &a, const auto &b) {
        return ColumnOrder(a.first) < ColumnOrder(b.first);
    });
    const ModuleParameters before = m_editor.parameters();
    for (const auto &[column, text] : ordered) {
        const QString refusal = SetOne(channel, column, text);
        if (!refusal.isEmpty()) {
            m_editor.parameters() = before;
            return refusal;
        }
    }
    if (m_editor.parameters().module != before.module || m_editor.parameters().channels != before.channels)
        m_editor.SetModified(true);
    return QString();
}

QString ParameterColumnEdit::SetOne(int channel, const QString &column, const QString &text)
{
    if (ColumnOrder(column) == int(Columns().size()))
        return StrF(ColumnUnknown, {column, Columns().join(QStringLiteral(", "))});
    if (kModuleColumns.contains(column, Qt::CaseInsensitive))
        return SetModuleColumn(column, text);
    ChannelParameters *ch = m_editor.channel(channel);
    if (!ch || !m_editor.parameters().isShown(channel))
        return StrF(ColumnNoChannel, {channel});
    if (Is(column, "Name")) {
        ch->name = text;
        return QString();
    }
    if (Is(column, "Description")) {
        ch->description = text;
        return QString();
    }
    const std::optional<double> value = NumberText::Parse(text);
    if (!value)
        return StrF(ColumnNotANumber, {text, column});
    if (kCodeColumns.contains(column, Qt::CaseInsensitive)) {
        if (!NumberText::Fits(*value, 1, 32) || *value != double(int(*value)))
            return StrF(ColumnNotANumber, {text, column});
        return SetCode(channel, column, int(*value));
    }
    if (const QString refusal = RefuseBeyondField(channel, column, text, *value); !refusal.isEmpty())
        return refusal;
    return SetValue(channel, column, *value);
}

QString ParameterColumnEdit::SetModuleColumn(const QString &column, const QString &text)
{
    ModuleValues &module = m_editor.parameters().module;
    if (Is(column, "Comment")) {
        module.description = text;
    } else if (Is(column, "LastProgramming")) {
        module.lastProgramming = text;
    } else {
        bool ok = false;
        const int flag = text.toInt(&ok);
        if (!ok || (flag != 0 && flag != -1 && flag != 1))
            return StrF(ColumnNotANumber, {text, column});
        module.dipConfigurable = flag != 0;
    }
    return QString();
}

QString ParameterColumnEdit::SetCode(int channel, const QString &column, int code)
{
    ChannelParameters &ch = *m_editor.channel(channel);
    const ModuleParameters &parameters = m_editor.parameters();
    const ModuleFamily family = parameters.family;
    const CatalogueChoices choices = m_editor.Choices();
    ChannelParameters probe = ch;
    const auto refuseUnlessOffered = [&](const CatalogueChoice &choice, int carried, int offset = 0) {
        if (!choice.enabled || choice.entries.empty())
            return StrF(ColumnNotOnModule, {column});
        if (choice.indexOf(carried) < 0)
            return StrF(ColumnCodeNotOffered, {code, column, Offered(choice, offset)});
        return QString();
    };
    const bool hasInput = family != Family7220;
    QString refusal;
    if (Is(column, "WorkingModeID")) {
        if (!hasInput)
            return StrF(ColumnNotOnModule, {column});
        if (!(refusal = refuseUnlessOffered(choices.WorkingModes(probe), code)).isEmpty())
            return refusal;
        // Filled before and after the change, as the Input page is, so the
        // dependent choices fall back to what the new mode offers.
        m_editor.FillInput(channel);
        ch.workingModeId = code;
        m_editor.FillInput(channel);
        m_editor.InputChanged(channel, true);
        m_editor.ApplyImpulseOutputRule(channel);
    } else if (Is(column, "SensorTypID")) {
        if (!hasInput)
            return StrF(ColumnNotOnModule, {column});
        probe.sensorTypId = code;
        if (!(refusal = refuseUnlessOffered(choices.SensorTypes(probe), code)).isEmpty())
            return refusal;
        ch.sensorTypId = code;
        m_editor.InputChanged(channel, true);
    } else if (Is(column, "TypeOfCircuitID")) {
        if (family != Family7230)
            return StrF(ColumnNotOnModule, {column});
        if (!(refusal = refuseUnlessOffered(choices.CircuitTypes(probe), code)).isEmpty())
            return refusal;
        ch.typeOfCircuitId = code;
    } else if (Is(column, "TCtypeID")) {
        if (family != Family7230)
            return StrF(ColumnNotOnModule, {column});
        if (!(refusal = refuseUnlessOffered(choices.ComparePlaces(probe), code)).isEmpty())
            return refusal;
        ch.tcTypeId = code;
    } else if (Is(column, "Zaehlerignis")) {
        if (family != Family7210)
            return StrF(ColumnNotOnModule, {column});
        if (!(refusal = refuseUnlessOffered(choices.ImpulseTypes(probe), code)).isEmpty())
            return refusal;
        ch.zaehlerignis = code;
    } else if (Is(column, "RangeUnitsID")) {
        if (!hasInput)
            return StrF(ColumnNotOnModule, {column});
        if (!(refusal = refuseUnlessOffered(choices.Units(probe), code)).isEmpty())
            return refusal;
        const int previousUnit = ch.rangeUnitsId;
        ch.rangeUnitsId = code;
        m_editor.UnitChanged(channel, previousUnit);
    } else if (Is(column, "OutputSignalType")) {
        if (!(refusal = refuseUnlessOffered(choices.OutputSignalTypes(probe), code)).isEmpty())
            return refusal;
        CatalogueChoices::TakeOutputSignalType(ch, code);
    } else if (Is(column, "OutputErrorStop")) {
        if (!parameters.type.hasOutput())
            return StrF(ColumnNotOnModule, {column});
        if (!FixedCodes(column).contains(code))
            return StrF(ColumnCodeNotOffered, {code, column, CodeList(FixedCodes(column))});
        ch.outputErrorStop = code;
    } else if (const int relay = RelayOf(column); relay != 0) {
        if (!parameters.type.hasRelays())
            return StrF(ColumnNotOnModule, {column});
        if (column.endsWith(QLatin1String("LimitValue"), Qt::CaseInsensitive)) {
            const int rowId = code + CatalogueChoices::kRelayFunctionOffset;
            const bool notUsed = rowId == CatalogueChoices::kRelayNotUsedId;
            if ((code < 0 && !notUsed) ||
                !(refusal = refuseUnlessOffered(choices.RelayFunctions(probe, relay), rowId,
                                                CatalogueChoices::kRelayFunctionOffset))
                     .isEmpty())
                return refusal.isEmpty() ? StrF(ColumnCodeNotOffered, {code, column, QString()}) : refusal;
            // The "not used" row is listed as its code like every other row;
            // choosing it switches the relay off, as the page's choice does.
            if (notUsed)
                CatalogueChoices::TakeRelayFunction(ch, relay, rowId);
            else
                ch.relayFunction(relay) = code;
        } else {
            if (!FixedCodes(column).contains(code))
                return StrF(ColumnCodeNotOffered, {code, column, CodeList(FixedCodes(column))});
            ch.relayState(relay) = code;
        }
        m_editor.HoldImpulseRelay(channel);
    } else if (Is(column, "Ueberlauf") || Is(column, "Impulsausgangaktiv")) {
        if (family != Family7210)
            return StrF(ColumnNotOnModule, {column});
        if (!FixedCodes(column).contains(code))
            return StrF(ColumnCodeNotOffered, {code, column, CodeList(FixedCodes(column))});
        if (Is(column, "Ueberlauf")) {
            ch.ueberlauf = code;
        } else {
            ch.impulsausgangaktiv = code;
            if (!m_editor.ApplyImpulseOutputRule(channel) && code == 1)
                return StrF(ColumnNotOnModule, {column});
            m_editor.HoldImpulseRelay(channel);
        }
    }
    return QString();
}

QString ParameterColumnEdit::RefuseBeyondField(int channel, const QString &column, const QString &text,
                                              double value) const
{
    // The project holds every value in 32 bits, as value times its factor;
    // the module holds the wire resistance in 16 bits without a sign.
    double factor = 1.0;
    int bits = 32;
    bool isSigned = true;
    if (Is(column, "WireResistance")) {
        factor = 100.0;
        bits = 16;
        isSigned = false;
    } else if (Is(column, "ComparePlaceTemp")) {
        factor = 1000.0;
    } else if (Is(column, "RangeBegin") || Is(column, "RangeEnd")) {
        factor = m_editor.RangeFactorOf(channel);
    } else if (Is(column, "OutputErrorValue")) {
        factor = m_editor.parameters().type.outputSignal == 2 ? 4000000.0 : 1000000.0;
    } else if (RelayOf(column) != 0) {
        factor = m_editor.RelayFactor();
    }
    if (NumberText::Fits(value, factor, bits, isSigned))
        return QString();
    return StrF(ColumnBeyondField, {text.trimmed(), column, Number(NumberText::Lowest(factor, bits, isSigned)),
                                    Number(NumberText::Highest(factor, bits, isSigned))});
}

QString ParameterColumnEdit::SetValue(int channel, const QString &column, double value)
{
    ChannelParameters &ch = *m_editor.channel(channel);
    const ModuleParameters &parameters = m_editor.parameters();
    const ModuleFamily family = parameters.family;
    const auto notOnModule = [&] { return StrF(ColumnNotOnModule, {column}); };
    if (Is(column, "WireResistance") || Is(column, "ComparePlaceTemp")) {
        if (family != Family7230)
            return notOnModule();
        if (Is(column, "WireResistance"))
            ch.wireResistance = ParameterValues::ScaleTruncated(value, 100);
        else
            ch.comparePlaceTemp = ParameterValues::ScaleRounded(value, 1000);
    } else if (Is(column, "RangeBegin") || Is(column, "RangeEnd")) {
        if (family == Family7220)
            return notOnModule();
        const double factor = m_editor.RangeFactorOf(channel);
        const bool begin = Is(column, "RangeBegin");
        m_editor.TakeRange(channel, begin ? value : ch.rangeBegin / factor,
                           begin ? ch.rangeEnd / factor : value);
    } else if (Is(column, "OutputErrorValue")) {
        if (!parameters.type.hasOutput())
            return notOnModule();
        ch.outputErrorValue = ParameterValues::OutputErrorValueStored(value, parameters.type.outputSignal);
    } else if (const int relay = RelayOf(column); relay != 0) {
        if (!parameters.type.hasRelays())
            return notOnModule();
        const qint32 stored = ParameterValues::ScaleRounded(value, m_editor.RelayFactor());
        if (column.endsWith(QLatin1String("Hysteresis"), Qt::CaseInsensitive))
            ch.relayHysteresis(relay) = stored;
        else
            ch.relayValue(relay) = stored;
    } else if (Is(column, "Zahlteilerkvocient") || Is(column, "Anlaufverzoegurung")) {
        if (family != Family7210)
            return notOnModule();
        if (Is(column, "Zahlteilerkvocient"))
            ch.zahlteilerkvocient = ParameterValues::WholeNumber(value);
        else
            ch.anlaufverzoegurung = ParameterValues::WholeNumber(value);
    }
    return QString();
}


bool ParameterColumnEdit::IsChannelColumn(const QString &column)
{
    return !kModuleColumns.contains(column, Qt::CaseInsensitive);
}

QStringList ParameterColumnEdit::ColumnsOf(int channel) const
{
    QStringList present;
    for (const QString &column : Columns()) {
        if (Value(channel, column).stored.isValid())
            present << column;
    }
    return present;
}

ParameterColumnEdit::Shown ParameterColumnEdit::Value(int channel, const QString &column) const
{
    const ModuleParameters &parameters = m_editor.parameters();
    const ModuleValues &module = parameters.module;
    if (Is(column, "Comment"))
        return {module.description, module.description, QString()};
    if (Is(column, "LastProgramming"))
        return {module.lastProgramming, module.lastProgramming, QString()};
    if (Is(column, "DIPSwitch"))
        return {module.dipConfigurable ? -1 : 0, module.dipConfigurable ? QStringLiteral("-1") : QStringLiteral("0"),
                QString()};
    const ChannelParameters *ch = parameters.channel(channel);
    if (!ch || !parameters.isShown(channel))
        return {};
    if (Is(column, "Name"))
        return {ch->name, ch->name, QString()};
    if (Is(column, "Description"))
        return {ch->description, ch->description, QString()};
    const std::optional<qint32> stored = SignalColumnValue(*ch, column);
    if (!stored)
        return {};
    const ModuleFamily family = parameters.family;
    const ModuleTypeProperties &type = parameters.type;
    const bool hasInput = family != Family7220;
    const auto shown = [&](double value, int decimals, const QString &unit) {
        return Shown{*stored, Number(value, decimals), unit};
    };
    const auto code = [&] { return Shown{*stored, QString::number(*stored), QString()}; };
    if (Is(column, "WireResistance"))
        return family == Family7230 ? shown(*stored / 100.0, 2, QStringLiteral("Ohm")) : Shown{};
    if (Is(column, "ComparePlaceTemp"))
        return family == Family7230 ? shown(*stored / 1000.0, 3, QString()) : Shown{};
    if (Is(column, "RangeBegin") || Is(column, "RangeEnd")) {
        if (!hasInput)
            return {};
        // The choice may write its fall-back into the channel: ask a copy.
        ChannelParameters probe = *ch;
        const CatalogueChoice units = m_editor.Choices().Units(probe);
        const QString unit = units.selected >= 0 ? units.entries[size_t(units.selected)].text : QString();
        const int factor = m_editor.RangeFactorOf(channel);
        Shown range = shown(double(*stored) / factor, int(std::lround(std::log10(double(std::max(factor, 1))))), unit);
        RangeLimits(*ch, Is(column, "RangeBegin"), range);
        return range;
    }
    if (Is(column, "OutputErrorValue"))
        return type.hasOutput() ? shown(ParameterValues::OutputErrorValueShown(*stored, type.outputSignal), 6,
                                        type.outputSignal == 2 ? QStringLiteral("V") : QStringLiteral("mA"))
                                : Shown{};
    if (const int relay = RelayOf(column); relay != 0) {
        if (!type.hasRelays())
            return {};
        if (column.endsWith(QLatin1String("LimitValue"), Qt::CaseInsensitive) ||
            column.endsWith(QLatin1String("AgainSettingProtection"), Qt::CaseInsensitive))
            return code();
        return shown(double(*stored) / m_editor.RelayFactor(), family == Family7220 ? 3 : 2,
                     family == Family7220 ? QStringLiteral("mA") : QStringLiteral("%"));
    }
    if (Is(column, "Zahlteilerkvocient") || Is(column, "Anlaufverzoegurung") || Is(column, "Ueberlauf") ||
        Is(column, "Impulsausgangaktiv"))
        return family == Family7210 ? code() : Shown{};
    if (Is(column, "OutputErrorStop"))
        return type.hasOutput() ? code() : Shown{};
    if (Is(column, "RangeID"))
        return {};
    // A coded column exists while its choice is offered, as on the pages.
    ChannelParameters probe = *ch;
    int offset = 0;
    const CatalogueChoice choice = ChoiceOf(probe, column, offset);
    return choice.enabled && !choice.entries.empty() ? code() : Shown{};
}

CatalogueChoice ParameterColumnEdit::ChoiceOf(ChannelParameters &probe, const QString &column, int &offset) const
{
    const ModuleParameters &parameters = m_editor.parameters();
    const ModuleFamily family = parameters.family;
    const bool hasInput = family != Family7220;
    const CatalogueChoices choices = m_editor.Choices();
    offset = 0;
    CatalogueChoice none;
    none.enabled = false;
    if (Is(column, "WorkingModeID"))
        return hasInput ? choices.WorkingModes(probe) : none;
    if (Is(column, "SensorTypID"))
        return hasInput ? choices.SensorTypes(probe) : none;
    if (Is(column, "TypeOfCircuitID"))
        return family == Family7230 ? choices.CircuitTypes(probe) : none;
    if (Is(column, "TCtypeID"))
        return family == Family7230 ? choices.ComparePlaces(probe) : none;
    if (Is(column, "Zaehlerignis"))
        return family == Family7210 ? choices.ImpulseTypes(probe) : none;
    if (Is(column, "RangeUnitsID"))
        return hasInput ? choices.Units(probe) : none;
    if (Is(column, "OutputSignalType"))
        return choices.OutputSignalTypes(probe);
    if (const int relay = RelayOf(column); relay != 0 && column.endsWith(QLatin1String("LimitValue"), Qt::CaseInsensitive)) {
        offset = CatalogueChoices::kRelayFunctionOffset;
        return parameters.type.hasRelays() ? choices.RelayFunctions(probe, relay) : none;
    }
    return none;
}

std::vector<ChoiceEntry> ParameterColumnEdit::OfferedCodes(int channel, const QString &column) const
{
    const ChannelParameters *ch = m_editor.parameters().channel(channel);
    if (!ch)
        return {};
    ChannelParameters probe = *ch;
    int offset = 0;
    const CatalogueChoice choice = ChoiceOf(probe, column, offset);
    std::vector<ChoiceEntry> offered;
    if (choice.enabled) {
        for (const ChoiceEntry &entry : choice.entries)
            offered.push_back({entry.text, entry.data - offset});
    }
    // Codes without a catalogue: offered while the column exists.
    if (offered.empty() && Value(channel, column).stored.isValid()) {
        for (const int code : FixedCodes(column))
            offered.push_back({FixedCodeText(column, code), code});
    }
    return offered;
}

QList<int> ParameterColumnEdit::FixedCodes(const QString &column) const
{
    if (Is(column, "OutputErrorStop"))
        return {0, 1, 8};
    if (column.endsWith(QLatin1String("AgainSettingProtection"), Qt::CaseInsensitive))
        return m_editor.parameters().family == Family7210 ? QList<int>{0, 1, 2, 3} : QList<int>{0, 1, 3};
    if (Is(column, "Ueberlauf") || Is(column, "Impulsausgangaktiv"))
        return {0, 1};
    if (Is(column, "DIPSwitch"))
        return {0, -1};
    return {};
}

QString ParameterColumnEdit::FixedCodeText(const QString &column, int code) const
{
    const bool family7220 = m_editor.parameters().family == Family7220;
    int text = 0;
    if (Is(column, "OutputErrorStop")) {
        if (code == 0)
            text = family7220 ? PageStrings::OutputFaultValue7220 : PageStrings::OutputErrorValue;
        else if (code == 1)
            text = family7220 ? PageStrings::HoldLastValue7220 : PageStrings::LastHoldenValue;
        else if (code == 8)
            text = family7220 ? PageStrings::FaultControlOff7220 : PageStrings::ErrorControlOff;
    } else if (column.endsWith(QLatin1String("AgainSettingProtection"), Qt::CaseInsensitive)) {
        // 0 is a relay not used: the page shows no lockout for it.
        if (code == 3)
            text = PageStrings::LockoutActive;
        else if (code == 1)
            text = family7220 ? PageStrings::LockoutInactive : PageStrings::LockoutDeactive;
        else if (code == 2)
            text = PageStrings::LockoutPowerReset;
    } else if (Is(column, "DIPSwitch")) {
        text = code == 0 ? PageStrings::PcConfigurable : PageStrings::DipConfigurable;
    }
    return text ? Str(text) : QString();
}

void ParameterColumnEdit::RangeLimits(const ChannelParameters &ch, bool begin, Shown &into) const
{
    // The same range-table row the checks of Apply use.
    const ModuleFamily family = m_editor.parameters().family;
    if (family == Family7210 && ch.workingModeId == 1) {
        if (begin)
            into.low = 0.0;
        else
            into.high = 1000.0;
        return;
    }
    const ParameterRow *row = FindRangeRow(m_editor.Catalogues(), family, ch, family == Family7230);
    if (!row)
        return;
    if (family == Family7230) {
        into.low = row->intValue("RangeBeginFrom");
        into.high = row->intValue("RangeEndTo");
    } else if (begin) {
        into.low = row->intValue("RangeBeginFrom");
        into.high = row->intValue("RangeBeginTo");
    } else {
        into.low = row->intValue("RangeEndFrom");
        into.high = row->intValue("RangeEndTo");
    }
}
