#pragma once

#include "shell/add_new_menu.h"
#include "shell/main_menu.h"
#include "tree/dynamic_menu.h"
#include "tree/widgets/item_form_view.h"
#include "tree/widgets/left_view.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

class AppSettings;
class PaneCommandTarget;
class COutputView;
class DownloadCloseGuard;
class CMy7100View;
class DocumentTreeModel;
class HelpWindow;
class Item;
class ProjectSession;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QTreeView;
class InstrumentListCommands;
class ReportCommands;
class ReportPreviewLauncher;
class StatusIndicators;

// The main window: the project tree on the left, the view of the selected
// item on the right, the output log below (with the live values beside it
// when shown), the menu, the toolbars and the status bar, and the
// application-wide commands.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(ProjectSession &session, AppSettings &settings, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Runs a command as its menu entry or key would; false when it is
    // disabled (or the frame is busy).
    bool RunCommand(int id);
    bool IsCommandEnabled(int id);
    // The same without asking the active view first.
    bool RunFrameCommand(int id);
    bool FrameCommandEnabled(int id);
    // Whether a view-mode command or "Dialog view" carries its check mark.
    bool CommandChecked(int id) const;
    // The accelerator table in use now.
    const std::vector<Accelerator> *ActiveAccelerators() const { return m_accelerators; }
    QAction *Action(int id) const { return m_actions.value(id); }

    // While a long operation lets messages through: every command shows as
    // disabled and is not carried out.
    void SetBusy(bool busy);
    bool IsBusy() const { return m_busy; }

    // The right pane shows these view classes (either may be empty).
    void ShowViews(const QString &listViewClass, const QString &itemViewClass);
    // The tree becomes the active view.
    void ActivateTreeView();
    // Command 32822: the live-value column below the item view.
    void ToggleLiveValueColumn();
    bool LiveValueColumnShown() const;

    // Menus, title, toolbars and status bar again in the active language.
    void Rebuild();
    // Fills a popup of the frame's menus as it opens.
    void FillPopup(QMenu *menu);

    CLeftView *Tree() const { return m_tree; }
    ReportPreviewLauncher *Previews() const { return m_previews; }
    COutputView *Output() const { return m_output; }
    HelpWindow *Help() const { return m_help; }
    QSplitter *RightPane() const { return m_right; }
    QString CounterText() const;
    // The topic F1 opens for the widget that has the focus.
    int ContextHelpTopic() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Under the list, the item form gets the height of its fields and buttons.
    void GiveTheFormItsHeight();
    // The property naming a widget's help page, for F1.
    static constexpr char kHelpTopic[] = "helpTopic";

    void RegisterViews();
    void BuildPanes();
    void BuildMenus();
    void BuildToolbars();
    void BuildStatusBar();
    void BuildAccelerators();
    void UseAccelerators(const std::vector<Accelerator> *table);
    ItemFormContext ItemFormViewContext();
    // A context menu of the frame's commands, known by its number.
    void ShowPopupMenu(int menuId, const std::vector<MenuEntry> &entries, const QPoint &at);
    PaneCommandTarget *ActiveCommandTarget() const;
    QMenu *BuildMenu(const MenuEntry &popup, QWidget *parent);
    QAction *MakeAction(int id);
    void UpdateCommandStates();
    bool WriteRefused(int id);
    void UpdateStatusBar();
    void RestorePlacement();
    void StorePlacement();
    void ApplySplitterSizes();
    void DocumentTreeRebuilt();
    void TreeReloaded();
    void SelectCurrentInTree();
    void TreeSelectionChanged();
    void ChangeLanguage(int index);
    void LocaleChanged();
    void ShowPortDialog();
    void OpenBriefInstructions();
    void ShowHelp(int topic);
    void CyclePane(bool forward);
    void ItemCommand(int id);
    void TreeCommand(int id);
    void FillRecentFiles(QMenu *menu);
    // "Sort by" and "Show/hide columns" for the list of the right pane.
    void FillColumnMenu(QMenu *menu, DynamicMenuBuilder &builder);
    CMy7100View *ShownList() const;
    void WireList(CMy7100View &list);
    void ChooseViewMode(int id);
    QList<QWidget *> Panes() const;
    QWidget *ActivePane() const;

    ProjectSession &m_session;
    AppSettings &m_settings;
    AddNewMenu m_addNew;
    std::unique_ptr<ReportCommands> m_reports;
    ReportPreviewLauncher *m_previews = nullptr;
    std::unique_ptr<InstrumentListCommands> m_instrumentList;
    DynamicMenuBuilder m_sortBy;
    DynamicMenuBuilder m_showHide;
    DocumentTreeModel *m_model = nullptr;
    QSplitter *m_rows = nullptr;
    QSplitter *m_top = nullptr;
    QSplitter *m_right = nullptr;
    QSplitter *m_bottom = nullptr;
    CLeftView *m_tree = nullptr;
    COutputView *m_output = nullptr;
    QPointer<QWidget> m_liveValues;
    QToolBar *m_standardBar = nullptr;
    QToolBar *m_dataBar = nullptr;
    QLabel *m_counter = nullptr;
    StatusIndicators *m_indicators = nullptr;
    HelpWindow *m_help = nullptr;
    DownloadCloseGuard *m_downloadGuard = nullptr;
    QHash<int, QAction *> m_actions;
    QTimer m_idleUpdate;
    bool m_busy = false;
    bool m_placementRestored = false;
    bool m_panesSized = false;
    // The tree's width of a first start, 0 once the user placed the window.
    int m_firstStartTreeWidth = 0;
    QList<QPointer<QWidget>> m_retiredViews;
    const std::vector<Accelerator> *m_accelerators = nullptr;
};
