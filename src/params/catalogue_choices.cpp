#include "params/catalogue_choices.h"

namespace {

enum class EmptyText { Offered, LeftOut };

bool IsTrue(const ParameterRow &row, const QString &column)
{
    return row.value(column).toBool();
}

// Entries carrying the code (position - 1) of each row the filter accepts.
template <typename Filter>
std::vector<ChoiceEntry> CodeEntries(const std::vector<ParameterRow> &rows, const QString &textColumn,
                                     EmptyText empty, Filter accept)
{
    std::vector<ChoiceEntry> entries;
    for (size_t i = 0; i < rows.size(); ++i) {
        const QString text = CatalogueText(rows[i], textColumn);
        if (empty == EmptyText::LeftOut && text.isEmpty())
            continue;
        if (!accept(rows[i], int(i)))
            continue;
        entries.push_back({text, int(i)});
    }
    return entries;
}

const auto kAll = [](const ParameterRow &, int) { return true; };

// Selects the entry of value (or the first) and writes it back.
CatalogueChoice SelectAndWriteBack(std::vector<ChoiceEntry> entries, qint32 &value, bool keepCurrent)
{
    CatalogueChoice choice;
    choice.entries = std::move(entries);
    if (choice.entries.empty())
        return choice;
    const int current = keepCurrent ? choice.indexOf(value) : -1;
    choice.selected = current >= 0 ? current : 0;
    value = choice.entries[size_t(choice.selected)].data;
    return choice;
}

} // namespace

std::optional<int> CatalogueChoice::selectedData() const
{
    if (selected < 0 || size_t(selected) >= entries.size())
        return std::nullopt;
    return entries[size_t(selected)].data;
}

int CatalogueChoice::indexOf(int data) const
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].data == data)
            return int(i);
    }
    return -1;
}

CatalogueChoices::CatalogueChoices(const CatalogueSet &catalogues, ModuleFamily family,
                                   const ModuleTypeProperties &type)
    : m_catalogues(catalogues), m_family(family), m_type(type)
{
}

CatalogueChoice CatalogueChoices::WorkingModes(ChannelParameters &channel) const
{
    const QString table = TablesOfFamily(m_family).workingModes;
    if (table.isEmpty())
        return {};
    const int tc = m_type.tc;
    const bool filtered = m_family == Family7230 && (tc == 0 || tc == 1);
    const QString condition = tc == 0 ? QStringLiteral("Condition1") : QStringLiteral("Condition2");
    auto accept = [&](const ParameterRow &row, int) { return !filtered || IsTrue(row, condition); };
    return SelectAndWriteBack(CodeEntries(m_catalogues.Rows(table), "Name", EmptyText::Offered, accept),
                              channel.workingModeId, true);
}

CatalogueChoice CatalogueChoices::SensorTypes(ChannelParameters &channel, bool keepCurrent) const
{
    const QString table = TablesOfFamily(m_family).sensorTypes;
    if (table.isEmpty())
        return {};
    QString column = QStringLiteral("Name");
    if (m_family == Family7230 && channel.workingModeId == 1)
        column = QStringLiteral("Name2");
    else if (m_family == Family7230 && channel.workingModeId == 2)
        column = QStringLiteral("Name3");
    return SelectAndWriteBack(CodeEntries(m_catalogues.Rows(table), column, EmptyText::LeftOut, kAll),
                              channel.sensorTypId, keepCurrent);
}

CatalogueChoice CatalogueChoices::CircuitTypes(ChannelParameters &channel, bool keepCurrent) const
{
    const int mode = channel.workingModeId;
    // Rows 1 and 3 (2-wire, 4-wire) do not apply to a potentiometer.
    auto accept = [mode](const ParameterRow &, int code) { return mode != 1 || (code != 0 && code != 2); };
    CatalogueChoice choice =
        SelectAndWriteBack(CodeEntries(m_catalogues.Rows("CircuitTypes"), "Name", EmptyText::LeftOut, accept),
                           channel.typeOfCircuitId, keepCurrent);
    choice.enabled = mode != 2;
    return choice;
}

CatalogueChoice CatalogueChoices::ComparePlaces(ChannelParameters &channel, bool keepCurrent) const
{
    // Code 0 is kept visible only for a project that still holds it.
    const int current = channel.tcTypeId;
    auto accept = [current](const ParameterRow &, int code) { return code != 0 || current == 0; };
    CatalogueChoice choice = SelectAndWriteBack(
        CodeEntries(m_catalogues.Rows("ComparePlaceTC"), "Name", EmptyText::LeftOut, accept),
        channel.tcTypeId, keepCurrent);
    choice.enabled = channel.workingModeId == 2;
    return choice;
}

CatalogueChoice CatalogueChoices::ImpulseTypes(ChannelParameters &channel, bool keepCurrent) const
{
    if (m_family != Family7210)
        return {};
    return SelectAndWriteBack(CodeEntries(m_catalogues.Rows("ImpulseType"), "Name", EmptyText::LeftOut, kAll),
                              channel.zaehlerignis, keepCurrent);
}

CatalogueChoice CatalogueChoices::Units(ChannelParameters &channel) const
{
    const QString table = TablesOfFamily(m_family).measuredUnits;
    if (table.isEmpty())
        return {};
    const int mode = channel.workingModeId;
    QString condition;
    if (mode == 0)
        condition = QStringLiteral("Condition1");
    else if (mode == 1)
        condition = QStringLiteral("Condition2");
    else if (mode == 2 || (m_family == Family7210 && mode >= 2 && mode <= 4))
        condition = QStringLiteral("Condition3");
    auto accept = [&](const ParameterRow &row, int) {
        return !condition.isEmpty() && IsTrue(row, condition);
    };
    return SelectAndWriteBack(CodeEntries(m_catalogues.Rows(table), "Name", EmptyText::Offered, accept),
                              channel.rangeUnitsId, true);
}

CatalogueChoice CatalogueChoices::OutputSignalTypes(const ChannelParameters &channel) const
{
    CatalogueChoice choice;
    choice.enabled = m_type.hasOutput();
    if (!m_type.hasOutput())
        return choice;
    for (const ParameterRow &row : m_catalogues.Rows("OutputSignalType")) {
        if (row.intValue("Condition1") == m_type.outputSignal)
            choice.entries.push_back({CatalogueText(row, "Name"), row.intValue("Value")});
    }
    if (!choice.entries.empty())
        choice.selected = std::max(0, choice.indexOf(channel.outputSignalType));
    return choice;
}

CatalogueChoice CatalogueChoices::RelayFunctions(const ChannelParameters &channel, int relay) const
{
    CatalogueChoice choice;
    for (const ParameterRow &row : m_catalogues.Rows("RelayLimitingValues")) {
        const QString text = CatalogueText(row, "Name");
        if (!text.isEmpty())
            choice.entries.push_back({text, row.intValue("ID")});
    }
    const int wanted = channel.relayState(relay) == 0 ? kRelayNotUsedId
                                                      : channel.relayFunction(relay) + kRelayFunctionOffset;
    choice.selected = choice.indexOf(wanted);
    choice.enabled = m_type.hasRelays();
    return choice;
}

void CatalogueChoices::TakeRelayFunction(ChannelParameters &channel, int relay, std::optional<int> selectedId)
{
    if (!selectedId || *selectedId == kRelayNotUsedId) {
        channel.relayState(relay) = 0;
        if (selectedId)
            channel.relayFunction(relay) = 0;
        return;
    }
    channel.relayFunction(relay) = *selectedId - kRelayFunctionOffset;
}

void CatalogueChoices::TakeOutputSignalType(ChannelParameters &channel, std::optional<int> selectedValue)
{
    if (selectedValue)
        channel.outputSignalType = *selectedValue;
}
