#include "link/parameter_texts.h"

#include "link/transfer_strings.h"
#include "params/catalogues.h"
#include "params/parameter_rows.h"
#include "base/string_table.h"

#include <cmath>

using namespace TransferStrings;

namespace {
const QString kName = QStringLiteral("Name");

QString Fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString YesNo(int flag)
{
    return Str(flag ? Yes : No);
}

// The relay states as the RelayProtection rows name them: state 0 reads
// row 4, 1 row 1, 2 row 3, 3 row 2.
int RelayProtectionRow(int state)
{
    static const int rows[] = {4, 1, 3, 2};
    return state >= 0 && state <= 3 ? rows[state] : 0;
}
} // namespace

QString ImageParameter::Shown(bool text) const
{
    if (text)
        return sharedText;
    if (!applies)
        return QStringLiteral("----");
    const QString shown = nameText.isEmpty() ? sharedText : nameText;
    if (unitText.isEmpty())
        return shown;
    return shown + QLatin1Char(' ') + unitText;
}

void ImageParameter::setValueText(const QString &text)
{
    valueText = text;
    sharedText = text;
}

void ImageParameter::setNameText(const QString &text)
{
    nameText = text;
    sharedText = text;
}

ImageParameterTexts::ImageParameterTexts(const CatalogueSet &catalogues, ModuleNaming naming)
    : m_catalogues(catalogues), m_naming(std::move(naming))
{
}

double ImageParameterTexts::Round(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::fabs(value) * scale + 0.5;
    double whole = std::trunc(scaled);
    // A product such as 1.005 x 100 lands a hair below the whole number.
    if (scaled - whole >= 0.9999999999999998)
        whole += 1;
    const double rounded = whole / scale;
    return value < 0 ? -rounded : rounded;
}

QString ImageParameterTexts::RowName(const QString &table, int id, const QString &column) const
{
    // A catalogue may have gaps in its IDs: a code names the row by its ID.
    const ParameterRow *row = m_catalogues.RowWithId(table, id);
    return row ? CatalogueText(*row, column) : QString();
}

int ImageParameterTexts::UnitFactor(int code, ModuleFamily family) const
{
    // A 7220 module counts its values in 0.001 mA; the others as the
    // project's unit factor says (1 without a unit row).
    return family == Family7220 ? 1000 : ::UnitFactor(m_catalogues, family, code);
}

QString ImageParameterTexts::UnitName(int code, ModuleFamily family) const
{
    if (family == Family7220)
        return Str(UnitMilliampere);
    return RowName(TablesOfFamily(family).measuredUnits, code + 1);
}

int ImageParameterTexts::ValueDecimals(int code, ModuleFamily family)
{
    switch (family) {
    case Family7230:
        return code >= 0 && code <= 2 ? 1 : code == 3 ? 3 : 2;
    case Family7210:
        return code == 0 ? 0 : 3;
    case Family7220:
        break;
    }
    return 3;
}

QString ImageParameterTexts::FormatValue(const CModuleImage &image, double value, int channel,
                                         ModuleFamily family) const
{
    const bool known = channel == 1 || channel == 2;
    const int code = known ? image.Channel[size_t(channel - 1)].Config.RangeUnitsID : 0;
    const QString unit = known ? UnitName(code, family) : QString();
    const int decimals = ValueDecimals(code, family);
    if (decimals == 0)
        return QStringLiteral("%1 %2").arg(static_cast<qint64>(value)).arg(unit);
    return Fixed(value, decimals) + QLatin1Char(' ') + unit;
}

ImageParameter ImageParameterTexts::GetParameter(const CModuleImage &image, int number, int channel,
                                                 ModuleFamily family) const
{
    ImageParameter out;
    if (number < 0 || number > kLastParameter || channel > image.Channels + 1)
        return out;
    if (number < 10) {
        out.applies = true;
        ReadModule(image, number, family, out);
        return out;
    }
    if (channel < 1)
        return out;
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    const ChannelConfiguration &config = ch.Config;
    out.applies = true;
    if (number == 10)
        out.setValueText(ch.Name);
    else if (number == 11)
        out.setValueText(ch.Description);
    else if (number <= 20)
        ReadInput(ch, number, family, out);
    else if (number <= 23)
        ReadOutput(image, config, number, family, out);
    else if (number <= 31)
        ReadRelay(image, config, number, family, out);
    else if (number >= 33)
        ReadImpulse(config, number, out);
    return out;
}

void ImageParameterTexts::ReadModule(const CModuleImage &image, int number, ModuleFamily family,
                                     ImageParameter &out) const
{
    switch (number) {
    case 0: {
        out.value = image.ModulTypID;
        const ParameterRow *row =
            m_catalogues.RowWithId(TablesOfFamily(family).moduleTypes, image.ModulTypID + 1);
        // The type's own name, whatever the language.
        out.setNameText(row ? row->textValue(kName) : QString());
        break;
    }
    case 1:
        out.value = image.DIPSwitch;
        out.setNameText(Str(image.DIPSwitch ? DipConfigurable : PcConfigurable));
        break;
    case 2:
        out.value = image.TC;
        out.setNameText(Str(image.TC ? Support : NoSupport));
        break;
    case 3:
        out.value = image.OutputSignal;
        if (image.OutputSignal >= 0 && image.OutputSignal <= 2) {
            static const int names[] = {NoOutput, CurrentOutput, VoltageOutput};
            out.setNameText(Str(names[image.OutputSignal]));
        }
        break;
    case 4:
        out.value = image.LimitValue;
        out.setNameText(Str(image.LimitValue ? Support : NoSupport));
        break;
    case 5:
        out.value = image.Channels + 1;
        break;
    case 6:
        out.setValueText(image.Revision);
        break;
    case 7:
        out.setValueText(image.SerialNr);
        break;
    case 8:
        if (m_naming)
            out.setValueText(m_naming(image.ModulTypID + 1, image.Channel[0].Name, image.Channel[1].Name));
        break;
    case 9:
        out.setValueText(image.LastProgramming);
        break;
    default:
        break;
    }
}

void ImageParameterTexts::ReadInput(const ChannelImage &channel, int number, ModuleFamily family,
                                    ImageParameter &out) const
{
    const ChannelConfiguration &config = channel.Config;
    const FamilyTables &tables = TablesOfFamily(family);
    const int mode = config.WorkingModeID;
    switch (number) {
    case 12:
        out.value = mode;
        if (family != Family7220)
            out.setNameText(RowName(tables.workingModes, mode + 1));
        break;
    case 13: {
        out.value = config.SensorTypID;
        static const char *const columns[] = {"Name", "Name2", "Name3"};
        if (family != Family7220 && mode >= 0 && mode <= 2)
            out.setNameText(
                RowName(tables.sensorTypes, config.SensorTypID + 1, QString::fromLatin1(columns[mode])));
        break;
    }
    case 14:
        out.value = config.TypeOfCircuitID;
        out.setNameText(RowName(QStringLiteral("CircuitTypes"), config.TypeOfCircuitID + 1));
        out.applies = mode != 2;
        break;
    case 15:
        out.value = Round(config.WireResistance * 0.01, 2);
        out.applies = mode == 0 && config.TypeOfCircuitID == 0;
        if (out.applies) {
            out.setValueText(Fixed(out.value, 2));
            out.unitText = Str(UnitOhm);
        }
        break;
    case 16:
        out.value = config.TCtypeID;
        out.setNameText(RowName(QStringLiteral("ComparePlaceTC"), config.TCtypeID + 1));
        out.applies = mode == 2;
        break;
    case 17:
        out.value = Round(config.ComparePlaceTemp * 0.1, 1);
        out.applies = mode == 2 && config.TCtypeID == 2;
        if (out.applies)
            out.setValueText(Fixed(out.value, 1));
        out.unitText = RowName(QStringLiteral("MeasuredUnits7230"), config.RangeUnitsID + 1);
        break;
    case 18:
        ReadRange(config, config.RangeBegin, family, out);
        break;
    case 19:
        ReadRange(config, config.RangeEnd, family, out);
        break;
    case 20:
        out.value = config.RangeUnitsID;
        if (family != Family7220)
            out.setNameText(UnitName(config.RangeUnitsID, family));
        break;
    default:
        break;
    }
}

void ImageParameterTexts::ReadRange(const ChannelConfiguration &config, int raw, ModuleFamily family,
                                    ImageParameter &out) const
{
    out.value = raw;
    if (family == Family7220)
        return;
    const int code = config.RangeUnitsID;
    const ParameterRow *unit = m_catalogues.RowOfCode(TablesOfFamily(family).measuredUnits, code);
    if (unit && code >= 0 && code <= 5) {
        const int decimals = code == 3 ? 3 : code >= 4 ? 2 : 1;
        out.value = Round(double(raw) / UnitFactor(code, family), decimals);
        out.setValueText(Fixed(out.value, decimals));
    }
    out.unitText = UnitName(code, family);
}

void ImageParameterTexts::ReadOutput(const CModuleImage &image, const ChannelConfiguration &config,
                                     int number, ModuleFamily family, ImageParameter &out) const
{
    switch (number) {
    case 21:
        ReadOutputSignalType(image, config, family, out);
        break;
    case 22: {
        out.value = config.OutputErrorStop;
        const int stop = config.OutputErrorStop;
        if (stop == 0 || stop == 1 || stop == 8)
            out.setNameText(Str(stop == 0   ? OutputErrorValue
                                : stop == 1 ? LastHoldenValue
                                            : ErrorControlOff));
        out.applies = image.OutputSignal != 0;
        break;
    }
    case 23: {
        const bool voltage = image.OutputSignal == 2;
        const double milliamps = Round(config.OutputErrorValue * 0.001, 3);
        out.value = voltage ? Round(milliamps * 5.75 / 23, 3) : milliamps;
        out.setValueText(Fixed(out.value, 3));
        out.unitText = Str(voltage ? UnitVolt : UnitMilliampere);
        out.applies = config.OutputErrorStop != 8 && image.OutputSignal != 0;
        break;
    }
    default:
        break;
    }
}

void ImageParameterTexts::ReadOutputSignalType(const CModuleImage &image, const ChannelConfiguration &config,
                                               ModuleFamily family, ImageParameter &out) const
{
    // A 7220 output repeats the input: the rows of condition 3 name it.
    constexpr int kRepeatedInput = 3;
    out.value = family == Family7220 ? kRepeatedInput : config.OutputSignalType;
    const std::vector<ParameterRow> &rows = m_catalogues.Rows(QStringLiteral("OutputSignalType"));
    if (image.OutputSignal == 0 || rows.empty()) {
        out.applies = false;
        return;
    }
    for (const ParameterRow &row : rows) {
        const int condition = row.intValue(QStringLiteral("Condition1"));
        const bool matches =
            (condition == image.OutputSignal && row.intValue(QStringLiteral("Value")) == out.value) ||
            (family == Family7220 && condition == kRepeatedInput);
        if (matches)
            out.setNameText(CatalogueText(row, kName));
    }
}

void ImageParameterTexts::ReadRelay(const CModuleImage &image, const ChannelConfiguration &config, int number,
                                    ModuleFamily family, ImageParameter &out) const
{
    const bool relays = image.LimitValue != 0;
    const int relay = number == 24 || number == 25 || number == 28 || number == 29 ? 1 : 2;
    const int state = relay == 1 ? config.Relay1AgainSettingProtection : config.Relay2AgainSettingProtection;
    const int function = relay == 1 ? config.Relay1LimitValue : config.Relay2LimitValue;
    const QString limitingValues = QStringLiteral("RelayLimitingValues");
    switch (number) {
    case 24:
    case 26:
        out.value = function;
        out.setNameText(RowName(limitingValues, state != 0 ? function + 5 : function + 1));
        if (number == 24) {
            out.setValueText(Fixed(function, 2));
            out.applies = relays;
        }
        break;
    case 25:
    case 27:
        out.value = state;
        if (RelayProtectionRow(state) != 0) {
            out.setNameText(RowName(QStringLiteral("RelayProtection"), RelayProtectionRow(state)));
            out.applies = relays;
        } else {
            out.setNameText(QStringLiteral("---"));
            out.applies = false;
        }
        break;
    default: {
        const int raw = number == 28   ? config.Relay1ActiveRangeValue
                        : number == 29 ? config.Relay1Hysteresis
                        : number == 30 ? config.Relay2ActiveRangeValue
                                       : config.Relay2Hysteresis;
        const bool milliamps = family == Family7220;
        out.value = milliamps ? Round(raw * 0.001, 3) : Round(raw * 0.01, 2);
        out.setValueText(Fixed(out.value, milliamps ? 3 : 2));
        out.unitText = milliamps ? Str(UnitMilliampere) : QStringLiteral("%");
        out.applies = relays && state != 0;
        break;
    }
    }
}

void ImageParameterTexts::ReadImpulse(const ChannelConfiguration &config, int number,
                                      ImageParameter &out) const
{
    switch (number) {
    case 33:
        out.value = config.Ueberlauf;
        out.setValueText(YesNo(config.Ueberlauf));
        break;
    case 34:
        out.value = config.Zaehlerignis;
        out.setValueText(RowName(QStringLiteral("ImpulseType"), config.Zaehlerignis ? 2 : 1));
        break;
    case 35:
        out.value = config.Zahlteilerkvocient;
        out.setValueText(QString::number(config.Zahlteilerkvocient));
        break;
    case 36:
        out.value = config.Anlaufverzoegurung;
        out.setValueText(QString::number(config.Anlaufverzoegurung));
        break;
    case 37:
        out.value = config.Impulsausgangaktiv;
        out.setValueText(YesNo(config.Impulsausgangaktiv));
        break;
    default:
        break;
    }
}
