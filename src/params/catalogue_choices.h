#pragma once

#include "params/catalogues.h"
#include "params/module_parameters.h"

#include <QString>

#include <optional>
#include <vector>

// One entry of a choice: its text and what it carries (a code, or the
// row's ID or Value where the catalogue says so).
struct ChoiceEntry {
    QString text;
    int data = 0;
};

// A filled drop-down list: the entries in catalogue order, the selected
// entry (-1 for none) and whether the list may be used.
struct CatalogueChoice {
    std::vector<ChoiceEntry> entries;
    int selected = -1;
    bool enabled = true;

    std::optional<int> selectedData() const;
    int indexOf(int data) const;
};

// Fills the catalogue choices of a module's pages by the rules of each
// catalogue. The choices that carry a code select the entry of the current
// value (or, with keepCurrent clear or no such entry, the first one) and
// write the selection back into the value; an empty list changes nothing.
class CatalogueChoices {
public:
    CatalogueChoices(const CatalogueSet &catalogues, ModuleFamily family, const ModuleTypeProperties &type);

    CatalogueChoice WorkingModes(ChannelParameters &channel) const;
    CatalogueChoice SensorTypes(ChannelParameters &channel, bool keepCurrent = true) const;
    CatalogueChoice CircuitTypes(ChannelParameters &channel, bool keepCurrent = true) const;
    CatalogueChoice ComparePlaces(ChannelParameters &channel, bool keepCurrent = true) const;
    CatalogueChoice ImpulseTypes(ChannelParameters &channel, bool keepCurrent = true) const;
    CatalogueChoice Units(ChannelParameters &channel) const;
    // These two select without writing back; the value is taken from the
    // selection when the page is taken over.
    CatalogueChoice OutputSignalTypes(const ChannelParameters &channel) const;
    CatalogueChoice RelayFunctions(const ChannelParameters &channel, int relay) const;

    // Take-over of the relay choice (the selected row's ID, or none): the
    // not-used row sets function and state to 0; another row sets the
    // function to ID - 5 and keeps the state the lockout buttons gave; no
    // selection sets the state to 0 and keeps the function.
    static void TakeRelayFunction(ChannelParameters &channel, int relay, std::optional<int> selectedId);
    static void TakeOutputSignalType(ChannelParameters &channel, std::optional<int> selectedValue);

    // The row ID of the relay choice that means "relay not used".
    static constexpr int kRelayNotUsedId = 1;
    // Relay function = row ID - kRelayFunctionOffset.
    static constexpr int kRelayFunctionOffset = 5;

private:
    const CatalogueSet &m_catalogues;
    ModuleFamily m_family;
    ModuleTypeProperties m_type;
};
