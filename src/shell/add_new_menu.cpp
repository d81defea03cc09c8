#include "shell/add_new_menu.h"

#include "params/catalogues.h"
#include "base/command_ids.h"
#include "base/shell_strings.h"
#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/module_lookup.h"
#include "tree/my7100_doc.h"

using namespace CommandId;
using namespace HierarchyStrings;

namespace {
// Module commands are numbered from these, and the type IDs of each family
// start at the second number.
struct FamilyRange {
    int first;
    int last;
    int idOffset; // ModulTypID = command - idOffset
};
constexpr FamilyRange kRanges[3] = {
    {AddModule7230First, AddModule7230Last, 32899},
    {AddModule7210First, AddModule7210Last, 19967},
    {AddModule7220First, AddModule7220Last, 20935},
};
} // namespace

AddNewMenu::AddNewMenu(CMy7100Doc &document, const CatalogueSet &catalogues)
    : m_document(document), m_catalogues(catalogues)
{
}

AddNewMenu::Popup AddNewMenu::Classify(bool firstIsFolderSubmenu, int firstCommand)
{
    if (firstIsFolderSubmenu)
        return Popup::FolderParent;
    if (firstCommand == FolderSubmenu)
        return Popup::Folder;
    if (firstCommand >= AddModule7230First && firstCommand <= AddModule7230Last)
        return Popup::Modules7230;
    if (firstCommand >= AddModule7210First && firstCommand <= AddModule7210Last)
        return Popup::Modules7210;
    if (firstCommand >= AddModule7220First && firstCommand <= AddModule7220Last)
        return Popup::Modules7220;
    return Popup::Other;
}

bool AddNewMenu::IsAddNewCommand(int id)
{
    return CreationOf(id).has_value();
}

std::optional<AddNewMenu::Creation> AddNewMenu::CreationOf(int id)
{
    switch (id) {
    case AddPlant:
        return Creation{PlantName, Family7230, 0};
    case AddCabinet:
        return Creation{CabinetName, Family7230, 0};
    case AddCarrier:
        return Creation{CarrierName, Family7230, 0};
    default:
        break;
    }
    for (int i = 0; i < 3; ++i)
        if (id >= kRanges[i].first && id <= kRanges[i].last)
            return Creation{0, kModuleFamilies[i], id - kRanges[i].idOffset};
    return std::nullopt;
}

ContainerItem *AddNewMenu::Target() const
{
    if (Item *current = m_document.FindItem(m_document.CurrentItem()))
        return current->asContainer();
    // Without a selection the new item goes below the project.
    ContainerItem *root = m_document.Root();
    if (!root || root->shown())
        return root;
    ContainerItem *project = nullptr;
    root->forEachChild([&project](Item &child) {
        if (!project && child.level().displayString() == ProjectName)
            project = child.asContainer();
    });
    return project;
}

int AddNewMenu::CurrentLevelString() const
{
    if (Item *current = m_document.FindItem(m_document.CurrentItem()))
        return current->level().displayString();
    const ContainerItem *target = Target();
    return target ? target->level().displayString() : 0;
}

bool AddNewMenu::FolderSubmenuEnabled() const
{
    if (!m_document.IsOpen())
        return false;
    const int level = CurrentLevelString();
    return level == ProjectName || level == PlantName || level == CabinetName || level == CarrierName;
}

std::vector<AddNewMenu::Entry> AddNewMenu::Entries(Popup popup) const
{
    switch (popup) {
    case Popup::Folder: {
        if (!m_document.IsOpen())
            return {};
        switch (CurrentLevelString()) {
        case ProjectName:
            return {{AddPlant, Str(PlantName)}};
        case PlantName:
            return {{AddCabinet, Str(CabinetName)}};
        case CabinetName:
            return {{AddCarrier, Str(CarrierName)}};
        default:
            return {};
        }
    }
    case Popup::Modules7230:
        return ModuleEntries(Family7230, AddModule7230First);
    case Popup::Modules7210:
        return ModuleEntries(Family7210, AddModule7210First);
    case Popup::Modules7220:
        return ModuleEntries(Family7220, AddModule7220First);
    case Popup::FolderParent:
    case Popup::Other:
        break;
    }
    return {};
}

std::vector<AddNewMenu::Entry> AddNewMenu::ModuleEntries(ModuleFamily family, int firstId) const
{
    std::vector<Entry> entries;
    if (!m_document.IsOpen())
        return entries;
    const QString prefix = Str(ShellStrings::ModulePrefix);
    int id = firstId;
    for (const ParameterRow &row : m_catalogues.Rows(ModuleTypeTable(family))) {
        if (id > firstId + 59)
            break;
        entries.push_back({id++, prefix + row.textValue(QStringLiteral("Name"))});
    }
    return entries;
}

int AddNewMenu::CommandOfLevel(int nameString)
{
    switch (nameString) {
    case HierarchyStrings::PlantName:
        return CommandId::AddPlant;
    case HierarchyStrings::CabinetName:
        return CommandId::AddCabinet;
    case HierarchyStrings::CarrierName:
        return CommandId::AddCarrier;
    case HierarchyStrings::Module7230Name:
        return CommandId::AddModule7230First;
    case HierarchyStrings::Module7210Name:
        return CommandId::AddModule7210First;
    case HierarchyStrings::Module7220Name:
        return CommandId::AddModule7220First;
    default:
        return 0;
    }
}

Item *AddNewMenu::Execute(int id)
{
    const std::optional<Creation> creation = CreationOf(id);
    ContainerItem *parent = Target();
    if (!creation || !parent || !m_document.IsOpen())
        return nullptr;
    if (creation->folderNameString != 0)
        return m_document.AddNewFolder(*parent, creation->folderNameString);
    Item *module = m_document.AddNewModule(*parent, creation->family, creation->typeId);
    if (module)
        m_document.Select(module->handle());
    return module;
}
