#include "db/schema.h"

#include <cstring>

// Row records of every accessor class: fields in ordinal order with the
// types and widths of the project file.
namespace {

using Fields = std::vector<FieldSpec>;

FieldSpec Long(const char *name)
{
    return {name, FieldType::Long, 0};
}

FieldSpec YesNo(const char *name)
{
    return {name, FieldType::Bool, 0};
}

FieldSpec Text(const char *name, int width)
{
    return {name, FieldType::Text, width};
}

Fields operator+(Fields head, const Fields &tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const FieldSpec kUnnamedLong = Long(nullptr);

Fields Names234()
{
    return {Text("NameL2", 50), Text("NameL3", 50), Text("NameL4", 50)};
}

Fields KeyAndName()
{
    return {Long("ID"), Long("ParentID"), Text("Name", 50)};
}

Fields TreeHead()
{
    return KeyAndName() + Fields{Long("Sequence"), Text("Description", 250)};
}

Fields RootFields(const Fields &middle)
{
    return Fields{Long("ID"), kUnnamedLong, Text("Name", 50)} + Names234() +
           Fields{kUnnamedLong, Text("Description", 250)} + middle + Fields{Text("NameL5", 50)};
}

Fields FolderFields()
{
    return KeyAndName() + Fields{kUnnamedLong, Text("Description", 250)};
}

Fields ModuleFields(int nameWidth, int tagWidth, int memoWidth)
{
    return {Long("ID"),
            Long("ParentID"),
            Text("Name", nameWidth),
            Long("Sequence"),
            Text("Description", 250),
            Long("ModulTypID"),
            YesNo("DIPSwitch"),
            Text("Revision", 9),
            Text("SerialNr", 13),
            Text("ModulTag", tagWidth),
            Long("Ch1SignalID"),
            Long("Ch2SignalID"),
            Text("LastProgramming", 30),
            Text("Memo", memoWidth)};
}

Fields SignalFields()
{
    Fields fields = TreeHead();
    for (const char *name : {"WorkingModeID",
                             "SensorTypID",
                             "TypeOfCircuitID",
                             "WireResistance",
                             "TCtypeID",
                             "ComparePlaceTemp",
                             "RangeBegin",
                             "RangeEnd",
                             "RangeID",
                             "RangeUnitsID",
                             "OutputSignalType",
                             "OutputErrorStop",
                             "OutputErrorValue",
                             "Relay1LimitValue",
                             "Relay1AgainSettingProtection",
                             "Relay1Hysteresis",
                             "Relay1ActiveRangeValue",
                             "Relay2LimitValue",
                             "Relay2AgainSettingProtection",
                             "Relay2Hysteresis",
                             "Relay2ActiveRangeValue",
                             "Zaehlerignis",
                             "Ueberlauf",
                             "Impulsausgangaktiv",
                             "Anlaufverzoegurung",
                             "Zahlteilerkvocient"})
        fields.push_back(Long(name));
    return fields;
}

Fields WorkingModeFields()
{
    return KeyAndName() + Names234() + Fields{Long("Sequence"),    Text("Description", 250),
                                              YesNo("Default"),    YesNo("Condition1"),
                                              YesNo("Condition2"), Text("NameL5", 50)};
}

Fields MeasuredUnitFields()
{
    return KeyAndName() + Names234() +
           Fields{Long("Digits"),    Long("Sequence"),    Text("Description", 250), YesNo("Condition1"),
                  YesNo("Default1"), YesNo("Condition2"), YesNo("Default2"),        YesNo("Condition3"),
                  YesNo("Default3"), Text("NameL5", 50)};
}

Fields SensorTypeFields()
{
    return KeyAndName() + Names234() +
           Fields{Text("Name2", 50),  Text("Name2L2", 50),      Text("Name2L3", 50), Text("Name2L4", 50),
                  Text("Name3", 50),  Text("Name3L2", 50),      Text("Name3L3", 50), Text("Name3L4", 50),
                  Long("Sequence"),   Text("Description", 250), Text("NameL5", 50),  Text("Name2L5", 50),
                  Text("Name3L5", 50)};
}

// CircuitTypes and its kind; ComparePlaceTC binds Default without a column.
Fields ChoiceFields(const char *defaultColumn)
{
    return KeyAndName() + Names234() +
           Fields{Long("Sequence"), Text("Description", 250), YesNo(defaultColumn), Text("NameL5", 50)};
}

Fields RangeFields()
{
    return KeyAndName() + Fields{Long("RangeBeginFrom"), Long("RangeBeginTo"),   Long("RangeEndFrom"),
                                 Long("RangeEndTo"),     Long("MinimalRange"),   Long("WorkingModeID"),
                                 Long("SensorTypeID"),   Long("MeasuredUnitID"), Text("Description", 50)};
}

const std::vector<AccessorSpec> &Accessors()
{
    static const std::vector<AccessorSpec> all{
        {"CProjectsRootAccessor", ListStyle::Tree, 4,
         RootFields({Text("Company", 30), Text("Project", 50), Text("DevicePlacement", 30),
                     Text("CreatedBy", 20), Text("RevisionNr", 20), Text("OrderNr", 20),
                     Text("DucumentName", 20), Text("DocumentNr", 20), Text("TestingBy", 50)})},
        {"CSignalsRootAccessor", ListStyle::Tree, 7, RootFields({})},
        {"CEquipmentsAccessor", ListStyle::Tree, 4, FolderFields()},
        {"CRacksAccessor", ListStyle::Tree, 4, FolderFields()},
        {"CZelnorHoldersAccessor", ListStyle::Tree, 4, FolderFields()},
        {"CModules1Accessor", ListStyle::Tree, 4, ModuleFields(99, 99, 249)},
        {"CFreqModules1Accessor", ListStyle::Tree, 4, ModuleFields(100, 100, 250)},
        {"C7220Modules1Accessor", ListStyle::Tree, 4, ModuleFields(100, 100, 250)},
        {"CSignalsAccessor", ListStyle::Signals, 4, SignalFields()},
        {"CModuleTypesAccessor", ListStyle::Catalogue, 4,
         TreeHead() + Fields{Long("TC"), Long("OutputSignal"), Long("LimitValue"), Long("Channels")}},
        {"CFreqModuleTypesAccessor", ListStyle::Catalogue, 4,
         TreeHead() +
             Fields{Long("OutputSignal"), Long("LimitValue"), Long("Channels"), Long("HaveImpulseOutput")}},
        {"CModuleTypes7220Accessor", ListStyle::Catalogue, 4,
         TreeHead() + Fields{Long("OutputSignal"), Long("LimitValue"), Long("Channels")}},
        {"CWorkingModesAccessor", ListStyle::Catalogue, 4, WorkingModeFields()},
        {"CWorkingModesFreqAccessor", ListStyle::Catalogue, 4, WorkingModeFields()},
        {"CMeasuredUnitsAccessor", ListStyle::Catalogue, 4, MeasuredUnitFields()},
        {"CMeasuredUnitsFreqAccessor", ListStyle::Catalogue, 4, MeasuredUnitFields()},
        {"CSensorTypesAccessor", ListStyle::Catalogue, 4, SensorTypeFields()},
        {"CSensorTypesFreqAccessor", ListStyle::Catalogue, 4, SensorTypeFields()},
        {"CCircuitTypesAccessor", ListStyle::Catalogue, 4, ChoiceFields("Default")},
        {"CImpulseTypeAccessor", ListStyle::Catalogue, 4, ChoiceFields("Default")},
        {"CRangeTableAccessor", ListStyle::Catalogue, 4, RangeFields()},
        {"CRangeTableFreqAccessor", ListStyle::Catalogue, 4, RangeFields()},
        {"CComparePlaceTCAccessor", ListStyle::Catalogue, 4, ChoiceFields(nullptr)},
        {"COutputSignalTypeAccessor", ListStyle::Catalogue, 4,
         KeyAndName() + Names234() +
             Fields{Long("Sequence"), Long("Value"), Long("Condition1"), Text("Description", 250),
                    YesNo("Default"), Text("NameL5", 50)}},
        {"CRelayLimitingValuesAccessor", ListStyle::Catalogue, 4, ChoiceFields("Default")},
        {"CRelayProtectionAccessor", ListStyle::Catalogue, 4, ChoiceFields("Default")},
        {"CDefaultModulesAccessor", ListStyle::Tree, 4, ModuleFields(50, 33, 250)},
        {"CDefaultFreqModulesAccessor", ListStyle::Tree, 4, ModuleFields(50, 100, 250)},
        {"CDefaultSignalsAccessor", ListStyle::Signals, 4, SignalFields()},
        {"CProjectOptionsAccessor", ListStyle::Catalogue, 4,
         KeyAndName() + Fields{Long("Option1"), Long("Option2"), Long("Option3"), Text("Option4", 50),
                               Text("Option5", 50), Text("Description", 250)}},
    };
    return all;
}

} // namespace

namespace Schema {

const std::vector<const AccessorSpec *> &AllAccessors()
{
    static const std::vector<const AccessorSpec *> all = [] {
        std::vector<const AccessorSpec *> pointers;
        for (const AccessorSpec &accessor : Accessors())
            pointers.push_back(&accessor);
        return pointers;
    }();
    return all;
}

const AccessorSpec *FindAccessor(const char *className)
{
    for (const AccessorSpec &accessor : Accessors()) {
        if (std::strcmp(accessor.className, className) == 0)
            return &accessor;
    }
    return nullptr;
}

} // namespace Schema
