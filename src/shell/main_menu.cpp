#include "shell/main_menu.h"

#include "base/command_ids.h"
#include "commissioning/commissioning_strings.h"
#include "print/print_strings.h"
#include "base/shell_strings.h"
#include "shell/instrument_list_commands.h"

#include <QStringList>

using namespace CommandId;
using namespace ShellStrings;

namespace {

MenuEntry Command(int id, int textId, bool checkable = false)
{
    return MenuEntry{MenuEntry::Kind::Command, id, textId, checkable, {}};
}

MenuEntry Popup(int textId, std::vector<MenuEntry> children, int id = 0)
{
    return MenuEntry{MenuEntry::Kind::Popup, id, textId, false, std::move(children)};
}

MenuEntry Separator()
{
    return MenuEntry{MenuEntry::Kind::Separator, 0, 0, false, {}};
}

constexpr int kMenuMakeActive = 62190;
constexpr int kMenuConnectionProperties = 62191;

// The recent files stand before the placeholder; their entries are made
// when the menu opens.
std::vector<MenuEntry> FileMenu()
{
    return {Command(FileNew, MenuNew),           Command(FileOpen, MenuOpen),
            Command(FileSaveAs, MenuSaveAs),     Separator(),
            Command(MakeActive, kMenuMakeActive), Command(ShowConnectionProperties, kMenuConnectionProperties),
            Separator(),
            Command(PrintProject, MenuPrintProject),
            Popup(PrintStrings::PrintPopup, {Command(ModuleInformation, PrintStrings::ModuleInformationCommand),
                                             Command(ModuleDataCard, PrintStrings::ModuleDataCardCommand)}),
            Command(Commissioning, CommissioningStrings::MenuCommissioning), Separator(),
            Command(InstrumentListCommands::ExportCommand, InstrumentListCommands::ExportMenuText),
            Command(InstrumentListCommands::ImportCommand, InstrumentListCommands::ImportMenuText),
            Separator(),
            Command(FileMru1, MenuEmpty), Separator(),
            Command(AppExit, MenuExit)};
}

// "Add New...": the folder submenu first, then one list of module types per
// family; each popup is filled from its first command when it opens.
MenuEntry AddNewMenu()
{
    return Popup(MenuAddNew,
                 {Popup(MenuFolder, {Command(FolderSubmenu, MenuEmpty)}, FolderSubmenu), Separator(),
                  Popup(MenuModules7230,
                        {Command(AddModule7230First, MenuEmpty), Command(AddModule7230Last, MenuEmpty)},
                        AddModule7230First),
                  Popup(MenuModules7210, {Command(AddModule7210First, MenuEmpty)}, AddModule7210First),
                  Popup(MenuModules7220, {Command(AddModule7220First, MenuEmpty)}, AddModule7220First)},
                 AddNewBuilder);
}

std::vector<MenuEntry> EditMenu()
{
    return {AddNewMenu(),
            Separator(),
            Command(Rename, MenuRename),
            Command(Delete, MenuDelete),
            Command(Multiply, MenuMultiply),
            Command(ModuleConversion, MenuModuleConversion),
            Separator(),
            Command(EditCut, MenuCut),
            Command(EditCopy, MenuCopy),
            Command(EditPaste, MenuPaste),
            Separator(),
            Command(SelectAll, MenuSelectAll),
            Command(InvertSelection, MenuInvertSelection)};
}

std::vector<MenuEntry> ViewMenu()
{
    return {Popup(MenuToolbars,
                  {Command(ToolbarStandard, MenuStandardButtons, true), Command(ToolbarData, MenuDataButtons, true)}),
            Command(StatusBar, MenuStatusBar, true),
            Separator(),
            Command(SmallIcons, MenuIcons, true),
            Command(List, MenuList, true),
            Command(Details, MenuDetails, true),
            Separator(),
            Command(DialogView, MenuDialogView, true),
            Separator(),
            Popup(MenuSortBy, {Command(SortBy, MenuEmpty)}, SortBy),
            Popup(MenuShowHideColumns, {Command(ShowHideColumns, MenuEmpty)}, ShowHideColumns),
            Separator(),
            Command(GlobalRefresh, MenuGlobalRefresh),
            Command(SubtreeRefresh, MenuSubtreeRefresh)};
}

std::vector<MenuEntry> OptionsMenu()
{
    return {Command(Interface, MenuInterface),
            Popup(MenuLanguage,
                  {Command(LanguageEnglish, EnglishName, true), Command(LanguageGerman, EnglishName + 1, true),
                   Command(LanguageFrench, EnglishName + 2, true), Command(LanguageRussian, EnglishName + 3, true),
                   Command(LanguageSpanish, EnglishName + 4, true)}),
            Command(Password, MenuPassword),
            Command(Monitoring, MenuMonitoring),
            Command(CommissioningPorts, CommissioningStrings::MenuCommissioningPorts)};
}

std::vector<MenuEntry> HelpMenu()
{
    return {Command(BriefInstructions, MenuBriefInstructions), Command(HelpFinder, MenuHelpTopics), Separator(),
            Command(AppAbout, MenuAbout)};
}

constexpr int kLanguageCommands[] = {LanguageEnglish, LanguageGerman, LanguageFrench, LanguageRussian,
                                     LanguageSpanish};

} // namespace

const std::vector<MenuEntry> &MainMenu::Entries()
{
    static const std::vector<MenuEntry> entries = {
        Popup(MenuFile, FileMenu()),       Popup(MenuEdit, EditMenu()), Popup(MenuView, ViewMenu()),
        Popup(MenuOptions, OptionsMenu()), Popup(MenuHelp, HelpMenu()),
    };
    return entries;
}

const std::vector<Accelerator> &MainMenu::Accelerators()
{
    static const std::vector<Accelerator> table = {
        {"Ctrl+A", SelectAll},      {"Ctrl+C", EditCopy},        {"Ctrl+E", KeyCtrlE},
        {"Ctrl+F", KeyCtrlF},       {"Ctrl+I", KeyCtrlI},        {"Ctrl+L", KeyCtrlL},
        {"Ctrl+M", Multiply},       {"Ctrl+N", FileNew},         {"Ctrl+O", FileOpen},
        {"Ctrl+R", Rename},         {"Ctrl+S", FileSave},        {"Ctrl+V", EditPaste},
        {"Del", DeleteKey},         {"Ctrl+Del", Delete},        {"Shift+Del", EditCut},
        {"Ctrl+Ins", EditCopy},     {"Shift+Ins", EditPaste},    {"Ctrl+X", EditCut},
        {"F5", GlobalRefresh},      {"Ctrl+F5", SubtreeRefresh}, {"F6", NextPane},
        {"Shift+F6", PrevPane},     {"F7", LargeIcons},          {"F8", SmallIcons},
        {"F9", List},               {"F10", Details},            {"F11", DialogView},
        {"Alt+Down", NextVisible},  {"Alt+Up", PreviousVisible}, {"Alt+PgUp", TreePageUp},
        {"Alt+PgDown", TreePageDown}, {"Alt+Home", TreeHome},    {"Alt+End", TreeEnd},
        {"Alt+Right", TreeRight},   {"Alt+Left", TreeLeft},      {"F1", ContextHelp},
    };
    return table;
}

const std::vector<Accelerator> &MainMenu::FormAccelerators()
{
    static const std::vector<Accelerator> table = [] {
        static const QStringList fieldKeys = {QStringLiteral("Ctrl+C"),   QStringLiteral("Ctrl+V"),
                                              QStringLiteral("Ctrl+X"),   QStringLiteral("Ctrl+Ins"),
                                              QStringLiteral("Shift+Ins"), QStringLiteral("Shift+Del"),
                                              QStringLiteral("Del")};
        std::vector<Accelerator> keys;
        for (const Accelerator &accelerator : Accelerators())
            if (!fieldKeys.contains(accelerator.key))
                keys.push_back(accelerator);
        keys.push_back({QStringLiteral("Esc"), FormReset});
        return keys;
    }();
    return table;
}

const MenuEntry &MainMenu::AddNewPopup()
{
    static const MenuEntry popup = AddNewMenu();
    return popup;
}

const std::vector<MenuEntry> &MainMenu::DialogPopupMenu()
{
    static const std::vector<MenuEntry> entries = {
        AddNewMenu(),
        Separator(),
        Command(Delete, MenuDelete),
        Separator(),
        Command(EditCut, MenuCut),
        Command(EditCopy, MenuCopy),
        Command(EditPaste, MenuPaste),
        Separator(),
        Command(SmallIcons, MenuIcons, true),
        Command(List, MenuList, true),
        Command(Details, MenuDetails, true),
        Separator(),
        Command(DialogView, MenuDialogView, true),
    };
    return entries;
}

int MainMenu::LanguageCommand(int index)
{
    return (index >= 1 && index <= 5) ? kLanguageCommands[index - 1] : 0;
}

int MainMenu::LanguageOfCommand(int id)
{
    for (int i = 0; i < 5; ++i)
        if (kLanguageCommands[i] == id)
            return i + 1;
    return 0;
}

bool MainMenu::WritesProject(int id)
{
    switch (id) {
    case Delete:
    case DeleteKey:
    case Rename:
    case TreeDelete:
    case TreeRename:
    case Multiply:
    case TreeMultiply:
    case ModuleConversion:
    case EditCut:
    case EditPaste:
    case MoveHere:
    case CopyHere:
    case FormApply:
        return true;
    default:
        return false;
    }
}

bool MainMenu::AlwaysEnabled(int id)
{
    switch (id) {
    case Interface:
    case Password:
    case Monitoring:
    case CommissioningPorts:
    case FileNew:
    case FileOpen:
    case AppExit:
    case AppAbout:
    case HelpFinder:
    case ContextHelp:
    case BriefInstructions:
    case NextPane:
    case PrevPane:
    case ToolbarStandard:
    case ToolbarData:
    case StatusBar:
        return true;
    default:
        return LanguageOfCommand(id) != 0;
    }
}
