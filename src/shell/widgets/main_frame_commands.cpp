#include "shell/widgets/main_frame.h"

#include "db/widgets/connection_properties_dialog.h"
#include "link/widgets/property_tab_view.h"
#include "pages/widgets/chanel_tab_view.h"

#include "link/module_transfer.h"
#include "log/output_log.h"
#include "log/widgets/monitoring_options_dialog.h"
#include "log/widgets/output_view.h"
#include "print/report_commands.h"
#include "shell/instrument_list_commands.h"
#include "print/widgets/report_preview.h"
#include "base/app_paths.h"
#include "base/command_ids.h"
#include "base/help_topics.h"
#include "base/language.h"
#include "base/message_service.h"
#include "base/pane_commands.h"
#include "shell/project_session.h"
#include "base/settings.h"
#include "base/shell_strings.h"
#include "shell/startup.h"
#include "base/string_table.h"
#include "shell/tree_navigation.h"
#include "commissioning/widgets/commissioning_ports_dialog.h"
#include "commissioning/widgets/commissioning_window.h"
#include "shell/widgets/help_window.h"
#include "shell/widgets/pane_view_factory.h"
#include "shell/widgets/shell_dialogs.h"
#include "tree/container_list_model.h"
#include "tree/document_tree_model.h"
#include "tree/drag_drop_presenter.h"
#include "tree/hierarchy_strings.h"
#include "tree/list_view_modes.h"
#include "tree/widgets/item_form_view.h"
#include "tree/widgets/left_view.h"
#include "tree/widgets/my7100_view.h"
#include "tree/widgets/system_clipboard.h"
#include "tree/widgets/tree_entry_model.h"

#include <algorithm>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
using namespace CommandId;
using namespace ShellStrings;

namespace {
// Commands whose view (list, clipboard, printing, monitoring) is not part
// of the window yet; they stay disabled until it is.
bool BelongsToMissingView(int id)
{
    switch (id) {
    case SortBy:
    case ShowHideColumns:
        return true;
    default:
        return false;
    }
}
} // namespace

// ---------------------------------------------------------------- commands

PaneCommandTarget *CMainFrame::ActiveCommandTarget() const
{
    return dynamic_cast<PaneCommandTarget *>(ActivePane());
}

bool CMainFrame::IsCommandEnabled(int id)
{
    if (m_busy || WriteRefused(id))
        return false;
    if (PaneCommandTarget *target = ActiveCommandTarget())
        if (const std::optional<bool> enabled = target->PaneCommandEnabled(id))
            return *enabled;
    return FrameCommandEnabled(id);
}

bool CMainFrame::WriteRefused(int id)
{
    return m_session.Document().IsReadOnly() && (MainMenu::WritesProject(id) || AddNewMenu::IsAddNewCommand(id));
}

bool CMainFrame::FrameCommandEnabled(int id)
{
    if (m_busy || WriteRefused(id))
        return false;
    if (MainMenu::AlwaysEnabled(id))
        return true;
    if (BelongsToMissingView(id))
        return false;
    CMy7100Doc &document = m_session.Document();
    const bool open = document.IsOpen();
    Item *current = document.FindItem(document.CurrentItem());
    if (AddNewMenu::IsAddNewCommand(id))
        return open;
    if (ReportCommands::IsPrintCommand(id))
        return m_reports->IsEnabled(id);
    if (InstrumentListCommands::IsCommand(id))
        return m_instrumentList->IsEnabled(id);
    switch (id) {
    case FileSaveAs:
        return m_session.Commands().CanSaveAs();
    case MakeActive:
        return m_session.Commands().CanMakeActive();
    case ShowConnectionProperties:
        return m_session.Commands().CanShowConnectionProperties();
    case Delete:
    case DeleteKey:
    case Rename:
        return open && current && !current->level().attributes().readOnly;
    case Multiply:
    case TreeMultiply:
        return document.MultiplyEnabled(current);
    case ModuleConversion:
        return open && document.CanConvertModule();
    case EditCut:
    case EditCopy:
        if (CMy7100View *list = ShownList(); list && ActivePane() == list && !list->SelectedItems().empty())
            return open && list->IsCommandEnabled(id);
        return open && document.CanCopy(current);
    case EditPaste:
        return open && document.CanPaste(current);
    case DialogView:
        return open && document.DialogViewEnabled();
    case GlobalRefresh:
    case Commissioning:
        return open;
    case SubtreeRefresh:
        return open && document.CanSubtreeRefresh();
    case LiveValueColumn:
        return true;
    case SelectAll:
    case InvertSelection:
    case ArrangeIcons:
        return open && ShownList() && ShownList()->IsCommandEnabled(id);
    case LargeIcons:
    case SmallIcons:
    case List:
    case Details:
        return open && (ShownList() || document.DialogViewEnabled());
    default:
        break;
    }
    if (id >= NextVisible && id <= TreeLeft) {
        if (!open || !document.Root())
            return false;
        TreeNavigation navigation(*m_model, [this](const QModelIndex &index) { return m_tree->isExpanded(index); });
        return navigation.Enabled(id, m_tree->currentIndex());
    }
    return false;
}

void CMainFrame::UpdateCommandStates()
{
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it)
        it.value()->setEnabled(IsCommandEnabled(it.key()));
    const int language = MainMenu::LanguageCommand(Language::current());
    for (int index = 1; index <= Language::kCount; ++index)
        MakeAction(MainMenu::LanguageCommand(index))->setChecked(MainMenu::LanguageCommand(index) == language);
    for (const int id : {DialogView, LargeIcons, SmallIcons, List, Details}) {
        MakeAction(id)->setCheckable(true);
        MakeAction(id)->setChecked(CommandChecked(id));
    }
    MakeAction(LiveValueColumn)->setChecked(LiveValueColumnShown());
    MakeAction(ToolbarStandard)->setChecked(m_standardBar->isVisibleTo(this));
    MakeAction(ToolbarData)->setChecked(m_dataBar->isVisibleTo(this));
    MakeAction(StatusBar)->setChecked(statusBar()->isVisibleTo(this));
}

bool CMainFrame::CommandChecked(int id) const
{
    if (id == DialogView)
        return m_session.Document().DetailsView();
    const CMy7100View *list = ShownList();
    const int mode = ListViewModes::ModeOfCommand(id);
    return mode >= 0 && list && list->viewMode() == mode;
}

void CMainFrame::SetBusy(bool busy)
{
    m_busy = busy;
    UpdateCommandStates();
}

void CMainFrame::ItemCommand(int id)
{
    CMy7100Doc &document = m_session.Document();
    Item *current = document.FindItem(document.CurrentItem());
    if (!current)
        return;
    CMy7100View *list = ShownList();
    if ((id == Delete || id == DeleteKey) && list && ActivePane() == list && !list->SelectedItems().empty()) {
        list->DeleteSelected();
        return;
    }
    if (id == Delete || id == DeleteKey) {
        m_tree->DeleteItem(current->handle());
        return;
    }
    if (id == Multiply || id == TreeMultiply) {
        document.Multiply(*current);
        return;
    }
    if (document.Rename(*current) != CMy7100Doc::RenameStep::EditInPlace)
        return;
    m_tree->StartRename(current->handle());
}

bool CMainFrame::RunCommand(int id)
{
    if (!IsCommandEnabled(id))
        return false;
    if (PaneCommandTarget *target = ActiveCommandTarget(); target && target->PaneCommandEnabled(id)) {
        target->RunPaneCommand(id);
        UpdateCommandStates();
        return true;
    }
    return RunFrameCommand(id);
}

bool CMainFrame::RunFrameCommand(int id)
{
    if (!FrameCommandEnabled(id))
        return false;
    ProjectCommands &commands = m_session.Commands();
    CMy7100Doc &document = m_session.Document();
    if (AddNewMenu::IsAddNewCommand(id)) {
        if (m_addNew.Execute(id))
            SelectCurrentInTree();
        return true;
    }
    if (const int language = MainMenu::LanguageOfCommand(id)) {
        ChangeLanguage(language);
        return true;
    }
    if (ReportCommands::IsPrintCommand(id)) {
        m_previews->Run(id);
        return true;
    }
    if (InstrumentListCommands::IsCommand(id)) {
        m_instrumentList->Run(id);
        return true;
    }
    switch (id) {
    case FileNew:
        commands.OnFileNew();
        break;
    case FileOpen:
        commands.OnFileOpen();
        break;
    case FileSaveAs:
        commands.OnFileSaveAs();
        break;
    case MakeActive:
        commands.MakeActive();
        break;
    case ShowConnectionProperties:
        CConnectionPropertiesDialog::ShowFor(m_session.Database(), this);
        break;
    case AppExit:
        close();
        break;
    case Delete:
    case DeleteKey:
    case Rename:
    case Multiply:
    case TreeMultiply:
        ItemCommand(id);
        break;
    case ModuleConversion:
        document.ConvertModule();
        break;
    case EditCut:
    case EditCopy:
        // In the list every selected row goes to the clipboard.
        if (CMy7100View *list = ShownList(); list && ActivePane() == list && !list->SelectedItems().empty())
            list->RunCommand(id);
        else
            document.CopyToClipboard({document.FindItem(document.CurrentItem())}, id == EditCut);
        break;
    case EditPaste:
        QApplication::setOverrideCursor(Qt::WaitCursor);
        document.PasteFromClipboard(document.FindItem(document.CurrentItem()));
        QApplication::restoreOverrideCursor();
        break;
    case DialogView:
        document.ToggleDialogView();
        break;
    case SelectAll:
    case InvertSelection:
    case ArrangeIcons:
        ShownList()->RunCommand(id);
        break;
    case LargeIcons:
    case SmallIcons:
    case List:
    case Details:
        ChooseViewMode(id);
        break;
    case GlobalRefresh:
        document.GlobalRefresh();
        break;
    case SubtreeRefresh:
        document.SubtreeRefresh();
        break;
    case Interface:
        ShowPortDialog();
        break;
    case Password:
        PasswordDialog::Run(this);
        break;
    case BriefInstructions:
        OpenBriefInstructions();
        break;
    case HelpFinder:
        ShowHelp(HelpTopics::kContents);
        break;
    case ContextHelp:
        ShowHelp(ContextHelpTopic());
        break;
    case AppAbout:
        AboutDialog(this).exec();
        break;
    case NextPane:
    case PrevPane:
        CyclePane(id == NextPane);
        break;
    case LiveValueColumn:
        ToggleLiveValueColumn();
        break;
    case ToolbarStandard:
    case ToolbarData:
    case StatusBar:
        // Checkable entries act through their own toggle.
        break;
    case Monitoring:
        MonitoringOptionsDialog(this).exec();
        break;
    case CommissioningPorts:
        CommissioningPortsDialog(this).exec();
        break;
    case Commissioning: {
        // Rows chosen in the active list make the queue; else the tree's item.
        CMy7100View *list = ShownList();
        DbSession *database = m_session.Database().Session();
        if (!database)
            break;
        CommissioningWindow::Run({m_session.Document(), *database, m_session.Catalogues(), m_session.Link(),
                                  m_session.Transfer(), m_session.Database().OpenedPath()},
                                 this, list && ActivePane() == list ? list->SelectedItems() : std::vector<ItemHandle>{});
        break;
    }
    default:
        if (id >= NextVisible && id <= TreeLeft)
            TreeCommand(id);
        break;
    }
    UpdateCommandStates();
    return true;
}

// ---------------------------------------------------------------- port, help, readme

void CMainFrame::ShowPortDialog()
{
    const QString current = m_session.CurrentPort();
    PortDialog dialog(current, PortSettingsLogic::SystemPorts(), this);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen())
        return;
    const QString stored = ReadSetting(QStringLiteral("ComPort")).toString();
    PortSettingsLogic::Conclude(*dialog.chosen(), current, stored,
                                [this](const QString &port) { m_session.ChangePort(port); });
}

int CMainFrame::ContextHelpTopic() const
{
    for (const QWidget *at = QApplication::focusWidget(); at; at = at->parentWidget()) {
        const QVariant topic = at->property(kHelpTopic);
        if (topic.isValid())
            return topic.toInt();
    }
    return HelpTopics::kContents;
}

void CMainFrame::ShowHelp(int topic)
{
    m_help->ShowTopic(topic);
}

void CMainFrame::OpenBriefInstructions()
{
    static const char *const kCodes[] = {"EN", "GE", "FR", "RU", "ES"};
    const int index = std::clamp(Language::current(), 1, 5);
    const QString path =
        AppPaths::sharedFile(QStringLiteral("Readme!_%1.pdf").arg(QLatin1String(kCodes[index - 1])));
    if (!QFile::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        MessageService::error(StrF(CantOpenDocument, {path}));
}
