#include "link/module_comparison.h"

#include "link/transfer_strings.h"
#include "base/string_table.h"

#include <algorithm>

using namespace TransferStrings;

namespace {
constexpr int kRuleWidth = 120;
// The 7220 types without an analogue output.
constexpr int kNoOutputTypeCodes[] = {68, 69};

// The text and blanks up to the width; a text that reaches the width all the
// same keeps one blank, so that the next column's value cannot read as part
// of it ("...relay 1" and "180.00 %" run together read as "relay 1 180").
QString PaddedTo(QString text, int width)
{
    text += QString(std::max<qsizetype>(width - text.size(), 1), QLatin1Char(' '));
    return text;
}
} // namespace

std::vector<ModuleComparison::Entry> ModuleComparison::ChannelEntries(const CModuleImage &other,
                                                                      ModuleFamily family, Scope scope)
{
    std::vector<Entry> entries = {{10, SignalTag, true}};
    if (scope == Scope::TagsOnly)
        return entries;
    entries.push_back({11, SignalDescription, true});
    if (family != Family7220) {
        entries.push_back({12, WorkingMode, false});
        entries.push_back({13, SensorType, true});
    }
    if (family == Family7230) {
        entries.insert(
            entries.end(),
            {{14, CircuitType, false}, {15, WireResistance, false}, {17, TemperatureComparisonArea, false}});
    }
    if (family == Family7210) {
        entries.insert(entries.end(), {{33, Overflow, false},
                                       {34, ImpulseType, false},
                                       {35, Divisor, false},
                                       {36, StartupDelay, false},
                                       {37, ImpulseOutputActive, false}});
    }
    if (family != Family7220) {
        entries.insert(entries.end(), {{18, MeasuringRangeBegin, false},
                                       {19, MeasuringRangeEnd, false},
                                       {20, MeasuringRangeUnits, false}});
    }
    const bool noOutput =
        other.ModulTypID == kNoOutputTypeCodes[0] || other.ModulTypID == kNoOutputTypeCodes[1];
    if (!noOutput) {
        entries.insert(
            entries.end(),
            {{21, OutputSignalType, false}, {22, HoldenOutputError, false}, {23, OutputErrorValue, false}});
    }
    entries.insert(entries.end(), {{24, LimitingValueRelay1, false},
                                   {25, Relay1Lockout, false},
                                   {26, LimitingValueRelay2, false},
                                   {27, Relay2Lockout, false},
                                   {28, MinimalValueRelay1, false},
                                   {29, HysteresisRelay1, false},
                                   {30, MinimalValueRelay2, false},
                                   {31, HysteresisRelay2, false}});
    return entries;
}

bool ModuleComparison::Differs(const CModuleImage &other, const CModuleImage &module, const Entry &entry,
                               int channel, ModuleFamily family, bool every,
                               ParameterDifference &difference) const
{
    const ImageParameter theirs = m_texts.GetParameter(other, entry.number, channel, family);
    const ImageParameter ours = m_texts.GetParameter(module, entry.number, channel, family);
    bool differs = theirs.applies != ours.applies;
    if (!differs && ours.applies)
        differs = entry.text ? ours.sharedText != theirs.sharedText : ours.value != theirs.value;
    if (!differs && !every)
        return false;
    difference.number = entry.number;
    difference.channel = channel;
    difference.name = Str(entry.nameString);
    if (channel != 0)
        difference.name = Str(channel == 1 ? Channel1 : Channel2) + QStringLiteral(": ") + difference.name;
    difference.moduleText = ours.Shown(entry.text);
    difference.otherText = theirs.Shown(entry.text);
    return true;
}

std::vector<ParameterDifference> ModuleComparison::Compare(const CModuleImage &other,
                                                           const CModuleImage &module, ModuleFamily family,
                                                           Scope scope) const
{
    return Collect(other, module, family, scope, false);
}

std::vector<ParameterDifference> ModuleComparison::Parameters(const CModuleImage &image,
                                                              ModuleFamily family) const
{
    return Collect(image, image, family, Scope::Report, true);
}

std::vector<ParameterDifference> ModuleComparison::Collect(const CModuleImage &other,
                                                           const CModuleImage &module, ModuleFamily family,
                                                           Scope scope, bool every) const
{
    std::vector<Entry> moduleEntries;
    switch (scope) {
    case Scope::Report:
        moduleEntries = {{1, DipSwitch, true},
                         {6, Revision, true},
                         {7, SerialNumber, true},
                         {9, LastProgrammedDate, true}};
        break;
    case Scope::Silent:
        moduleEntries = {{7, SerialNumber, true},
                         {6, Revision, true},
                         {9, LastProgrammedDate, true},
                         {1, DipSwitch, true}};
        break;
    case Scope::ReadBack:
        moduleEntries = {{9, LastProgrammedDate, true}};
        break;
    case Scope::TagsOnly:
        break;
    }
    std::vector<ParameterDifference> differences;
    ParameterDifference difference;
    for (const Entry &entry : moduleEntries) {
        if (Differs(other, module, entry, 0, family, every, difference))
            differences.push_back(difference);
    }
    const std::vector<Entry> channelEntries = ChannelEntries(other, family, scope);
    const int channels = other.Channels + 1;
    for (int channel = 1; channel <= channels && channel <= 2; ++channel) {
        for (const Entry &entry : channelEntries) {
            if (Differs(other, module, entry, channel, family, every, difference))
                differences.push_back(difference);
        }
    }
    return differences;
}

QString ModuleComparison::ReportLine(const QString &name, const QString &moduleText, const QString &otherText)
{
    const QString nameAndModule = PaddedTo(name, kNameWidth) + moduleText;
    return PaddedTo(nameAndModule, kNameWidth + kModuleWidth) + otherText + QLatin1Char('\n');
}

QStringList ModuleComparison::ReportLines(const std::vector<ParameterDifference> &differences,
                                          const QString &otherHeading)
{
    const QString rule = QString(kRuleWidth, QLatin1Char('=')) + QLatin1Char('\n');
    QStringList lines = {QStringLiteral("\n"),
                         ReportLine(Str(HeadingParameter), Str(HeadingModule), otherHeading), rule};
    // The last line is the closing rule.
    for (const ParameterDifference &difference : differences) {
        if (lines.size() >= kMaxReportLines - 1)
            break;
        lines << ReportLine(difference.name, difference.moduleText, difference.otherText);
    }
    lines << rule;
    return lines;
}
