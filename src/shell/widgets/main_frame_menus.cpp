#include "shell/widgets/main_frame.h"

#include "db/data_error.h"
#include "link/widgets/property_tab_view.h"
#include "pages/widgets/chanel_tab_view.h"

#include "link/module_transfer.h"
#include "log/output_log.h"
#include "log/widgets/monitoring_options_dialog.h"
#include "log/widgets/output_view.h"
#include "print/report_commands.h"
#include "print/widgets/report_preview.h"
#include "base/app_paths.h"
#include "base/command_ids.h"
#include "base/command_prompt.h"
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
#include "shell/widgets/help_window.h"
#include "shell/widgets/pane_view_factory.h"
#include "shell/widgets/shell_dialogs.h"
#include "shell/widgets/status_indicators.h"
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
constexpr char kFirstCommand[] = "zwFirstCommand";
constexpr char kRecentEntry[] = "zwRecentEntry";
constexpr int kLanguageChangedLine = 62473; // ... 62477, one per language
struct ToolButton {
    int id;
    const char *icon;
    int textId;
};

// Toolbar 128 ("&Standard Buttons") and the data manipulation buttons.
constexpr ToolButton kStandardButtons[] = {
    {FileNew, "new", MenuNew},     {FileOpen, "open", MenuOpen}, {0, nullptr, 0},
    {UpOneLevel, "up", ToolUpOneLevel}, {0, nullptr, 0},         {EditCut, "cut", MenuCut},
    {EditCopy, "copy", MenuCopy},  {EditPaste, "paste", MenuPaste}, {0, nullptr, 0},
    {LargeIcons, "large-icons", ToolLargeIcons}, {SmallIcons, "small-icons", ToolSmallIcons},
    {List, "list", MenuList},      {Details, "details", MenuDetails}, {DialogView, "dialog-view", MenuDialogView},
    {0, nullptr, 0},               {AppAbout, "about", MenuAbout},
};
constexpr ToolButton kDataButtons[] = {
    {Rename, nullptr, MenuRename}, {Delete, nullptr, MenuDelete}, {GlobalRefresh, nullptr, MenuGlobalRefresh},
};
// The menu text without its access key and accelerator.
QString PlainText(const QString &menuText)
{
    QString text = menuText.section(u'\t', 0, 0);
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}
} // namespace

// ---------------------------------------------------------------- menus

QAction *CMainFrame::MakeAction(int id)
{
    if (QAction *existing = m_actions.value(id))
        return existing;
    auto *action = new QAction(this);
    action->setObjectName(QString::number(id));
    action->setStatusTip(CommandPrompt(id));
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    addAction(action);
    m_actions.insert(id, action);
    return action;
}

QMenu *CMainFrame::BuildMenu(const MenuEntry &popup, QWidget *parent)
{
    auto *menu = new QMenu(Str(popup.textId), parent);
    menu->setObjectName(popup.id ? QString::number(popup.id) : QStringLiteral("menu%1").arg(popup.textId));
    if (!popup.children.empty() && popup.children.front().kind == MenuEntry::Kind::Command)
        menu->setProperty(kFirstCommand, popup.children.front().id);
    else if (!popup.children.empty() && popup.children.front().kind == MenuEntry::Kind::Popup)
        menu->setProperty(kFirstCommand, -popup.children.front().id);
    for (const MenuEntry &entry : popup.children) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Kind::Popup:
            menu->addMenu(BuildMenu(entry, menu));
            break;
        case MenuEntry::Kind::Command: {
            QAction *action = MakeAction(entry.id);
            action->setText(Str(entry.textId));
            action->setCheckable(entry.checkable);
            menu->addAction(action);
            break;
        }
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillPopup(menu); });
    return menu;
}

void CMainFrame::BuildMenus()
{
    QMenuBar *bar = menuBar();
    bar->clear();
    for (QMenu *old : bar->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly))
        old->deleteLater();
    for (const MenuEntry &popup : MainMenu::Entries())
        bar->addMenu(BuildMenu(popup, bar));
    // One language is checked at a time, shown as a choice of one.
    auto *languages = findChild<QActionGroup *>(QStringLiteral("Languages"));
    if (!languages) {
        languages = new QActionGroup(this);
        languages->setObjectName(QStringLiteral("Languages"));
        for (int index = 1; index <= Language::kCount; ++index)
            languages->addAction(MakeAction(MainMenu::LanguageCommand(index)));
    }
    // Commands without a menu entry still need their action and text.
    MakeAction(LiveValueColumn)->setCheckable(true);
    MakeAction(UpOneLevel)->setText(Str(ToolUpOneLevel));
    MakeAction(LargeIcons)->setText(Str(ToolLargeIcons));
}

void CMainFrame::BuildAccelerators()
{
    m_accelerators = nullptr;
    UseAccelerators(&MainMenu::Accelerators());
    // While a view with a table of its own is active, its table is in use.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        const PaneCommandTarget *target = ActiveCommandTarget();
        const bool form = target && target->PaneAccelerators() == AcceleratorTable::Form;
        UseAccelerators(form ? &MainMenu::FormAccelerators() : &MainMenu::Accelerators());
    });
}

void CMainFrame::UseAccelerators(const std::vector<Accelerator> *table)
{
    if (table == m_accelerators)
        return;
    m_accelerators = table;
    QHash<int, QList<QKeySequence>> keys;
    for (const Accelerator &accelerator : *table)
        keys[accelerator.id] << QKeySequence(accelerator.key);
    for (auto it = keys.constBegin(); it != keys.constEnd(); ++it)
        MakeAction(it.key());
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it)
        it.value()->setShortcuts(keys.value(it.key()));
}

// Up to four recent files stand in the File menu in place of the
// placeholder, which shows only while there are none.
void CMainFrame::FillRecentFiles(QMenu *menu)
{
    for (QAction *old : menu->actions())
        if (old->property(kRecentEntry).toBool())
            delete old;
    QAction *placeholder = MakeAction(FileMru1);
    const QStringList &files = m_session.Commands().RecentFiles();
    const int shown = std::min<int>(int(files.size()), 4);
    for (int i = 0; i < shown; ++i) {
        auto *entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files.at(i)), menu);
        entry->setObjectName(QString::number(FileMru1 + i));
        entry->setProperty(kRecentEntry, true);
        entry->setEnabled(!m_busy);
        connect(entry, &QAction::triggered, this, [this, i] {
            if (!m_busy)
                m_session.Commands().OnOpenRecentFile(i);
        });
        menu->insertAction(placeholder, entry);
    }
    placeholder->setVisible(shown == 0);
}

void CMainFrame::FillPopup(QMenu *menu)
{
    UpdateCommandStates();
    const int first = menu->property(kFirstCommand).toInt();
    if (first == FileNew) {
        FillRecentFiles(menu);
        return;
    }
    if (first == SortBy || first == ShowHideColumns) {
        FillColumnMenu(menu, first == SortBy ? m_sortBy : m_showHide);
        return;
    }
    const AddNewMenu::Popup kind = AddNewMenu::Classify(first == -FolderSubmenu, first);
    if (kind == AddNewMenu::Popup::Other)
        return;
    if (kind == AddNewMenu::Popup::FolderParent) {
        // Folders and modules alike stand only below the project and the
        // folders: below a module or a signal every submenu is greyed.
        for (QAction *action : menu->actions())
            if (action->menu())
                action->setEnabled(!m_busy && m_addNew.FolderSubmenuEnabled());
        return;
    }
    menu->clear();
    for (const AddNewMenu::Entry &entry : m_addNew.Entries(kind)) {
        QAction *action = menu->addAction(entry.text);
        action->setObjectName(QString::number(entry.id));
        action->setEnabled(!m_busy);
        action->setStatusTip(
            FillArguments(CommandPrompt(AddNewBuilder), {QString(entry.text).remove(QLatin1Char('&'))}));
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    if (menu->isEmpty())
        menu->addAction(Str(MenuEmpty))->setEnabled(false);
}

// The list asks the frame for the commands it does not carry out itself.
void CMainFrame::WireList(CMy7100View &list)
{
    list.setProperty(kHelpTopic, HelpTopics::kListView);
    list.SetCommandState([this](int id) { return IsCommandEnabled(id); });
    list.SetCommandChecked([this](int id) { return CommandChecked(id); });
    connect(&list, &C7100ListView::commandRequested, this, [this](int id) { RunCommand(id); });
    list.SetAddNewMenu([this](QWidget *parent) { return BuildMenu(MainMenu::AddNewPopup(), parent); });
    list.AddNewBuilder().SetCreator([this](int nameString) { RunCommand(AddNewMenu::CommandOfLevel(nameString)); },
                                    [](int nameString) { return AddNewMenu::CommandOfLevel(nameString) != 0; });
}

// Choosing the list's present mode hides the list beside an item view; any
// other mode shows it. Without a list the command shows it first.
void CMainFrame::ChooseViewMode(int id)
{
    const int mode = ListViewModes::ModeOfCommand(id);
    CMy7100View *list = ShownList();
    const bool same = list && list->viewMode() == mode;
    if (list)
        list->SetViewMode(mode);
    WriteSetting(QStringLiteral("ListViewStyle"), mode);
    m_session.Document().ListViewModeChosen(same);
}

CMy7100View *CMainFrame::ShownList() const
{
    for (int i = 0; i < m_right->count(); ++i)
        if (auto *list = qobject_cast<CMy7100View *>(m_right->widget(i)))
            return list;
    return nullptr;
}

void CMainFrame::FillColumnMenu(QMenu *menu, DynamicMenuBuilder &builder)
{
    menu->clear();
    const CMy7100View *list = ShownList();
    builder.Fill(list ? list->listModel().layout() : nullptr);
    for (const DynamicMenuBuilder::Entry &entry : builder.entries()) {
        QAction *action = menu->addAction(entry.text);
        action->setObjectName(QString::number(entry.id));
        action->setCheckable(entry.id != DynamicMenuBuilder::kNothingCommand);
        action->setChecked(entry.checked);
        action->setEnabled(entry.enabled && !m_busy);
        action->setStatusTip(builder.Prompt(entry.id));
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, &builder, id] {
            if (!m_busy)
                builder.Execute(id);
        });
    }
}

// ---------------------------------------------------------------- toolbars and status

void CMainFrame::BuildToolbars()
{
    m_standardBar = addToolBar(QString());
    m_standardBar->setObjectName(QStringLiteral("128"));
    m_standardBar->setIconSize(QSize(16, 16));
    for (const ToolButton &button : kStandardButtons) {
        if (button.id == 0) {
            m_standardBar->addSeparator();
            continue;
        }
        QAction *action = MakeAction(button.id);
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(button.icon))));
        m_standardBar->addAction(action);
    }
    m_dataBar = addToolBar(QString());
    m_dataBar->setObjectName(QStringLiteral("DataManipulation"));
    m_dataBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const ToolButton &button : kDataButtons)
        m_dataBar->addAction(MakeAction(button.id));
    m_dataBar->hide();
    connect(MakeAction(ToolbarStandard), &QAction::toggled, m_standardBar, &QToolBar::setVisible);
    connect(MakeAction(ToolbarData), &QAction::toggled, m_dataBar, &QToolBar::setVisible);
    connect(MakeAction(StatusBar), &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("59393"));
    m_counter = new QLabel(bar);
    m_counter->setObjectName(QStringLiteral("ObjectCounter"));
    m_counter->setMinimumWidth(m_counter->fontMetrics().horizontalAdvance(QStringLiteral("999999 Object(s) selected ")));
    bar->addPermanentWidget(m_counter);
    m_indicators = new StatusIndicators(*bar);
    // After a menu or a prompt the message pane says "Ready" again.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString &message) {
        if (message.isEmpty())
            bar->showMessage(Str(StatusReady));
    });
}

void CMainFrame::Rebuild()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    BuildMenus();
    for (const ToolButton &button : kStandardButtons)
        if (button.id != 0) {
            QAction *action = MakeAction(button.id);
            if (action->text().isEmpty() || button.id == LargeIcons || button.id == UpOneLevel)
                action->setText(Str(button.textId));
            action->setToolTip(PlainText(Str(button.textId)));
        }
    m_standardBar->setWindowTitle(PlainText(Str(MenuStandardButtons)));
    m_dataBar->setWindowTitle(PlainText(Str(MenuDataButtons)));
    m_indicators->Retranslate();
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it)
        it.value()->setStatusTip(CommandPrompt(it.key()));
    setWindowTitle(QStringLiteral("%1 - %2").arg(m_session.Commands().Title(),
                                                 Str(AppTitle).section(u'\n', 0, 0)));
    m_tree->setAccessibleName(PlainText(Str(HierarchyStrings::ProjectName)));
    m_output->setAccessibleName(Str(OutputLogName));
    m_help->Retranslate();
    statusBar()->showMessage(Str(StatusReady));
    UpdateCommandStates();
    UpdateStatusBar();
    QApplication::restoreOverrideCursor();
}

QString CMainFrame::CounterText() const
{
    for (int i = 0; i < m_right->count(); ++i)
        if (const auto *list = qobject_cast<const CMy7100View *>(m_right->widget(i)))
            return StatusCounterText(list->model()->rowCount(), int(list->SelectedItems().size()));
    // Without a list view: the children of the current item as the tree
    // shows them.
    const QModelIndex current = m_model->indexOf(m_session.Document().CurrentItem());
    return StatusCounterText(current.isValid() ? m_model->rowCount(current) : 0, 0);
}

void CMainFrame::UpdateStatusBar()
{
    if (m_counter)
        m_counter->setText(CounterText());
}

// ---------------------------------------------------------------- language

void CMainFrame::ChangeLanguage(int index)
{
    // The views are built again from the database: what the current item
    // holds unapplied is asked about first.
    if (!m_session.Commands().MayLeaveCurrentItem())
        return;
    if (const QString warning = Language::unshownWarning(index, Language::systemCodeset()); !warning.isEmpty())
        MessageService::warning(warning);
    if (!Language::load(index))
        return;
    WriteSetting(QStringLiteral("LangDLL"), index);
    Rebuild();
    CMy7100Doc &document = m_session.Document();
    document.SetModifiedFlag(false);
    if (document.IsOpen())
        document.GlobalRefresh();
    emit document.updateAllViews(nullptr, C7100Document::HintLanguage, nullptr);
    // The live values are built again in the new language.
    if (LiveValueColumnShown()) {
        ToggleLiveValueColumn();
        ToggleLiveValueColumn();
    }
    WriteLogLine(Str(kLanguageChangedLine + index - 1));
}

void CMainFrame::LocaleChanged()
{
    const int index = Language::localeLanguageIndex(QLocale::system());
    if (index < 1 || index == Language::current())
        return;
    if (m_session.Document().IsModified() &&
        MessageService::riskyQuestion(Str(RegionalReloadQuestion)) != MessageAnswer::Yes)
        return;
    if (Language::load(index))
        Rebuild();
}

void CMainFrame::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange)
        LocaleChanged();
    QMainWindow::changeEvent(event);
}
