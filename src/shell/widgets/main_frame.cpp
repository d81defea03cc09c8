#include "shell/widgets/main_frame.h"

#include "link/widgets/property_tab_view.h"
#include "params/widgets/chanel_tab_view.h"

#include "link/module_transfer.h"
#include "log/output_log.h"
#include "log/widgets/monitoring_options_dialog.h"
#include "log/widgets/output_view.h"
#include "shell/app_paths.h"
#include "shell/command_ids.h"
#include "shell/help_topics.h"
#include "shell/language.h"
#include "shell/message_service.h"
#include "shell/project_session.h"
#include "shell/settings.h"
#include "shell/shell_strings.h"
#include "shell/startup.h"
#include "shell/string_table.h"
#include "shell/tree_navigation.h"
#include "shell/widgets/help_window.h"
#include "shell/widgets/pane_view_factory.h"
#include "shell/widgets/shell_dialogs.h"
#include "tree/document_tree_model.h"
#include "tree/hierarchy_strings.h"
#include "tree/widgets/my7100_view.h"
#include "tree/widgets/tree_entry_model.h"

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
constexpr char kHelpTopic[] = "helpTopic";
constexpr char kRecentEntry[] = "zwRecentEntry";
const QString kToolbarState = QStringLiteral("Toolbars/State");

// The toolbars' places live under the application's profile name.
QSettings ToolbarStore()
{
    return QSettings(QString::fromLatin1(SettingsSection::kOrganisation),
                     QString::fromLatin1(SettingsSection::kApplication));
}
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

// Commands whose view (list, clipboard, printing, monitoring) is not part
// of the window yet; they stay disabled until it is.
bool BelongsToMissingView(int id)
{
    switch (id) {
    case PrintProject:
    case SelectAll:
    case InvertSelection:
    case LargeIcons:
    case SmallIcons:
    case List:
    case Details:
    case SortBy:
    case ShowHideColumns:
    case Multiply:
        return true;
    default:
        return false;
    }
}
} // namespace

// The icons are compiled into a static library: their resource must be
// named once, or the linker drops it.
static void InitIconResources()
{
    Q_INIT_RESOURCE(icons);
}

CMainFrame::CMainFrame(ProjectSession &session, AppSettings &settings, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_settings(settings),
      m_addNew(session.Document(), session.Catalogues())
{
    setObjectName(QStringLiteral("CMainFrame"));
    RegisterViews();
    InitIconResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    m_help = new HelpWindow(this);
    BuildPanes();
    BuildToolbars();
    BuildMenus();
    BuildAccelerators();
    BuildStatusBar();
    Rebuild();
    RestorePlacement();

    CMy7100Doc &document = session.Document();
    connect(&session, &ProjectSession::treeRebuilt, this, &CMainFrame::DocumentTreeRebuilt);
    connect(&document, &C7100Document::showViews, this, &CMainFrame::ShowViews);
    connect(&document, &C7100Document::renameRequested, this, [this](ItemHandle handle, bool) {
        SelectCurrentInTree();
        const QModelIndex index = m_model->indexOf(handle);
        if (index.isValid())
            m_tree->edit(index);
    });
    connect(&document, &C7100Document::updateAllViews, this, [this](QObject *, int hint, Item *) {
        if (hint == C7100Document::HintCreated || hint == C7100Document::HintRebuild)
            QMetaObject::invokeMethod(this, &CMainFrame::SelectCurrentInTree, Qt::QueuedConnection);
    });
    connect(&document, &CMy7100Doc::selectInTree, this, [this](ItemHandle) { SelectCurrentInTree(); });
    // The document's current item changes also without the tree (the link
    // selects the connected module): the tree follows.
    connect(&document, &C7100Document::currentTableChanged, this, &CMainFrame::SelectCurrentInTree,
            Qt::QueuedConnection);
    connect(&session.Commands(), &ProjectCommands::titleChanged, this, [this] { Rebuild(); });
    connect(&session.Commands(), &ProjectCommands::viewsReset, this, [this] { ShowViews({}, {}); });
    connect(&m_idleUpdate, &QTimer::timeout, this, [this] {
        UpdateCommandStates();
        UpdateStatusBar();
    });
    m_idleUpdate.start(300);
    ShowViews({}, {});
}

void CMainFrame::RegisterViews()
{
    ProjectSession &session = m_session;
    PaneViewFactory::Register(QStringLiteral("CMy7100View"), [&session](QWidget *parent) {
        return new CMy7100View(session.Document(), parent);
    });
    PaneViewFactory::Register(QStringLiteral("CChanelTabView"), [&session](QWidget *parent) {
        return CreateChanelTabView(ProgramChanelTabContext(session.Document(), session.Catalogues(),
                                                           session.Transfer(), &session.View()),
                                   parent);
    });
    PaneViewFactory::Register(QStringLiteral("CPropertyTabView"), [&session](QWidget *parent) {
        return new CPropertyTabView(session.Transfer(), session.Link(), parent);
    });
    // Every connection notice: the panel goes with the module, then shows
    // the values of the notice.
    connect(&session.Transfer(), &ModuleTransfer::liveValuesRefreshed, this, [this, &session] {
        if (session.Transfer().IsModuleOnline() != LiveValueColumnShown())
            ToggleLiveValueColumn();
        if (auto *panel = qobject_cast<CPropertyTabView *>(m_liveValues.data()))
            panel->Refresh();
    });
}

CMainFrame::~CMainFrame()
{
    // An editor still open in the tree commits its text while the panes
    // go; the frame that would store it is gone by then.
    m_model->setRenamer({});
    // Views that were replaced and still wait for their deferred delete go
    // now, while the project session they hang on still exists.
    for (const QPointer<QWidget> &view : std::as_const(m_retiredViews))
        delete view.data();
}

// ---------------------------------------------------------------- panes

void CMainFrame::BuildPanes()
{
    m_rows = new QSplitter(Qt::Vertical, this);
    m_rows->setObjectName(QStringLiteral("RowSplitter"));
    m_top = new QSplitter(Qt::Horizontal, m_rows);
    m_top->setObjectName(QStringLiteral("TopSplitter"));
    m_tree = new QTreeView(m_top);
    m_tree->setObjectName(QStringLiteral("CLeftView"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_tree->setProperty(kHelpTopic, HelpTopics::kTreeView);
    m_model = new TreeEntryModel(m_session.Document(), this);
    ModuleTransfer &transfer = m_session.Transfer();
    m_model->setImageSource([&transfer](const Item &item) {
        return CMy7100Doc::IsModule(item) ? transfer.TreeImageOf(item.handle()) : -1;
    });
    connect(&transfer, &ModuleTransfer::treeImageChanged, m_model,
            [this](ItemHandle module, int) { m_model->refreshItem(module); });
    m_model->setRenamer({[](const Item &item) { return CMy7100Doc::IsFolder(item); },
                         [this](Item &item, const QString &name) { return RenameFolder(item, name); }});
    m_tree->setModel(m_model);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CMainFrame::TreeSelectionChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CMainFrame::TreeReloaded, Qt::QueuedConnection);
    m_right = new QSplitter(Qt::Vertical, m_top);
    m_right->setObjectName(QStringLiteral("RightSplitter"));
    m_right->setChildrenCollapsible(false);
    m_bottom = new QSplitter(Qt::Horizontal, m_rows);
    m_bottom->setObjectName(QStringLiteral("BottomSplitter"));
    m_output = new COutputView(m_bottom);
    m_output->setProperty(kHelpTopic, HelpTopics::kOutputLog);
    m_rows->setStretchFactor(0, 2);
    m_rows->setStretchFactor(1, 1);
    m_top->setStretchFactor(1, 1);
    setCentralWidget(m_rows);
}

void CMainFrame::ApplySplitterSizes()
{
    const LayoutSettings &layout = m_settings.layout;
    const int height = std::max(m_rows->height() - m_rows->handleWidth(), 10);
    const int outputY = layout.intValue(QStringLiteral("OutputYSize"));
    const int topHeight = std::max(outputY >= 1 ? outputY : height * 2 / 3, 5);
    m_rows->setSizes({topHeight, std::max(height - topHeight, 10)});
    const int treeWidth = std::max(layout.intValue(QStringLiteral("SplitterSizeX")), 10);
    m_top->setSizes({treeWidth, std::max(m_top->width() - m_top->handleWidth() - treeWidth, 10)});
}

void CMainFrame::ShowViews(const QString &listViewClass, const QString &itemViewClass)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool hadFocus = m_right->isAncestorOf(QApplication::focusWidget());
    // The old views may be the ones that asked for the change: they go once
    // their call has returned.
    while (m_right->count() > 0) {
        QWidget *old = m_right->widget(0);
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
        m_retiredViews << QPointer<QWidget>(old);
    }
    QStringList classes;
    if (!itemViewClass.isEmpty())
        classes << itemViewClass;
    if (!listViewClass.isEmpty())
        classes << listViewClass;
    if (classes.isEmpty())
        classes << QStringLiteral("CMy7100View");
    for (const QString &viewClass : classes)
        m_right->addWidget(PaneViewFactory::Create(viewClass, m_right));
    if (hadFocus)
        m_right->widget(0)->setFocus();
    QApplication::restoreOverrideCursor();
}

void CMainFrame::ActivateTreeView()
{
    m_tree->setFocus();
}

bool CMainFrame::LiveValueColumnShown() const
{
    return m_bottom->count() > 1;
}

void CMainFrame::ToggleLiveValueColumn()
{
    if (LiveValueColumnShown()) {
        if (m_liveValues && m_liveValues->isAncestorOf(QApplication::focusWidget()))
            ActivateTreeView();
        delete m_liveValues;
        return;
    }
    m_liveValues = PaneViewFactory::Create(QStringLiteral("CPropertyTabView"), m_bottom);
    m_bottom->addWidget(m_liveValues);
    const int split = m_top->sizes().value(0) + 2;
    m_bottom->setSizes({split, std::max(m_bottom->width() - split, 10)});
}

QList<QWidget *> CMainFrame::Panes() const
{
    QList<QWidget *> panes{m_tree};
    for (int i = 0; i < m_right->count(); ++i)
        panes << m_right->widget(i);
    panes << m_output;
    if (m_liveValues)
        panes << m_liveValues;
    return panes;
}

QWidget *CMainFrame::ActivePane() const
{
    const QWidget *focus = QApplication::focusWidget();
    for (QWidget *pane : Panes())
        if (pane == focus || pane->isAncestorOf(focus))
            return pane;
    return nullptr;
}

void CMainFrame::CyclePane(bool forward)
{
    QList<QWidget *> panes;
    for (QWidget *pane : Panes())
        if (pane->isVisible())
            panes << pane;
    if (panes.isEmpty())
        return;
    const qsizetype at = panes.indexOf(ActivePane());
    const qsizetype count = panes.size();
    const qsizetype next = at < 0 ? 0 : (at + (forward ? 1 : count - 1)) % count;
    panes.at(next)->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

// ---------------------------------------------------------------- tree

void CMainFrame::DocumentTreeRebuilt()
{
    m_model->reload();
}

// After every rebuild the project stays open and the current item shown.
void CMainFrame::TreeReloaded()
{
    if (m_model->canFetchMore({}))
        m_model->fetchMore({});
    const QModelIndex root = m_model->index(0, 0);
    if (!root.isValid())
        return;
    m_tree->expand(root);
    if (m_model->indexOf(m_session.Document().CurrentItem()).isValid())
        SelectCurrentInTree();
    else
        m_tree->setCurrentIndex(root);
}

void CMainFrame::SelectCurrentInTree()
{
    const ItemHandle current = m_session.Document().CurrentItem();
    const QModelIndex index = m_model->indexOf(current);
    if (!index.isValid())
        return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        m_tree->expand(up);
    const QSignalBlocker blocker(m_tree->selectionModel());
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
}

void CMainFrame::TreeSelectionChanged()
{
    const Item *item = m_model->itemAt(m_tree->currentIndex());
    if (item && item->handle() != m_session.Document().CurrentItem())
        m_session.Document().Select(item->handle());
    UpdateStatusBar();
}

// A label edit of a folder: checked beside its siblings, then stored; a
// refused name leaves the folder as it was.
bool CMainFrame::RenameFolder(Item &item, const QString &name)
{
    CMy7100Doc &document = m_session.Document();
    if (name.isEmpty() || name == document.GetName(item))
        return false;
    if (!document.CheckFolderName(item, name) || !document.BeginEdit(item))
        return false;
    if (document.SetValue(item, QStringLiteral("Name"), name, true) && document.Save(item))
        return true;
    document.CancelEdit(item);
    return false;
}

void CMainFrame::TreeCommand(int id)
{
    TreeNavigation navigation(*m_model, [this](const QModelIndex &index) { return m_tree->isExpanded(index); });
    const QModelIndex target = navigation.Target(id, m_tree->currentIndex());
    if (target.isValid()) {
        m_tree->setCurrentIndex(target);
        return;
    }
    static const QHash<int, int> keys = {{TreePageUp, Qt::Key_PageUp}, {TreePageDown, Qt::Key_PageDown},
                                         {TreeHome, Qt::Key_Home},     {TreeEnd, Qt::Key_End},
                                         {TreeRight, Qt::Key_Right},   {TreeLeft, Qt::Key_Left}};
    if (!keys.contains(id))
        return;
    QKeyEvent press(QEvent::KeyPress, keys.value(id), Qt::NoModifier);
    QApplication::sendEvent(m_tree, &press);
}

// ---------------------------------------------------------------- menus

QAction *CMainFrame::MakeAction(int id)
{
    if (QAction *existing = m_actions.value(id))
        return existing;
    auto *action = new QAction(this);
    action->setObjectName(QString::number(id));
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
    QHash<int, QList<QKeySequence>> keys;
    for (const Accelerator &accelerator : MainMenu::Accelerators())
        keys[accelerator.id] << QKeySequence(accelerator.key);
    for (auto it = keys.constBegin(); it != keys.constEnd(); ++it)
        MakeAction(it.key())->setShortcuts(it.value());
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
    const AddNewMenu::Popup kind = AddNewMenu::Classify(first == -FolderSubmenu, first);
    if (kind == AddNewMenu::Popup::Other)
        return;
    if (kind == AddNewMenu::Popup::FolderParent) {
        const QList<QAction *> actions = menu->actions();
        if (!actions.isEmpty())
            actions.front()->setEnabled(!m_busy && m_addNew.FolderSubmenuEnabled());
        return;
    }
    menu->clear();
    for (const AddNewMenu::Entry &entry : m_addNew.Entries(kind)) {
        QAction *action = menu->addAction(entry.text);
        action->setObjectName(QString::number(entry.id));
        action->setEnabled(!m_busy);
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    if (menu->isEmpty())
        menu->addAction(Str(MenuEmpty))->setEnabled(false);
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
    for (const char *name : {"CAP", "NUM", "SCRL"}) {
        auto *indicator = new QLabel(bar);
        indicator->setObjectName(QLatin1String(name));
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
        m_indicators << indicator;
    }
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
    const int indicatorTexts[] = {IndicatorCaps, IndicatorNum, IndicatorScroll};
    for (int i = 0; i < m_indicators.size(); ++i) {
        m_indicators[i]->setText(Str(indicatorTexts[i]));
        m_indicators[i]->setAccessibleName(m_indicators[i]->text());
    }
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
            return StatusCounterText(list->model()->rowCount(),
                                     int(list->selectionModel()->selectedRows().size()));
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

// ---------------------------------------------------------------- commands

bool CMainFrame::IsCommandEnabled(int id)
{
    if (m_busy)
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
    switch (id) {
    case FileSaveAs:
        return m_session.Commands().CanSaveAs();
    case Delete:
    case DeleteKey:
    case Rename:
        return open && current && !current->level().attributes().readOnly;
    case ModuleConversion:
        return open && document.CanConvertModule();
    case EditCut:
    case EditCopy:
        return open && document.CanCopy(current);
    case EditPaste:
        return open && document.CanPaste(current);
    case DialogView:
        return open && document.DialogViewEnabled();
    case GlobalRefresh:
        return open;
    case SubtreeRefresh:
        return open && document.CanSubtreeRefresh();
    case LiveValueColumn:
        return true;
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
    MakeAction(DialogView)->setChecked(m_session.Document().DetailsView());
    MakeAction(LiveValueColumn)->setChecked(LiveValueColumnShown());
    MakeAction(ToolbarStandard)->setChecked(m_standardBar->isVisibleTo(this));
    MakeAction(ToolbarData)->setChecked(m_dataBar->isVisibleTo(this));
    MakeAction(StatusBar)->setChecked(statusBar()->isVisibleTo(this));
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
    if (id == Delete || id == DeleteKey) {
        document.ConfirmAndDelete(*current);
        return;
    }
    if (CMy7100Doc::IsModule(*current) || CMy7100Doc::IsSignal(*current)) {
        document.RenameModule(*current);
        return;
    }
    const QModelIndex index = m_model->indexOf(current->handle());
    if (index.isValid())
        m_tree->edit(index);
}

bool CMainFrame::RunCommand(int id)
{
    if (!IsCommandEnabled(id))
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
    case AppExit:
        close();
        break;
    case Delete:
    case DeleteKey:
    case Rename:
        ItemCommand(id);
        break;
    case ModuleConversion:
        document.ConvertModule();
        break;
    case EditCut:
    case EditCopy:
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
    default:
        if (id >= NextVisible && id <= TreeLeft)
            TreeCommand(id);
        break;
    }
    UpdateCommandStates();
    return true;
}

// ---------------------------------------------------------------- language

void CMainFrame::ChangeLanguage(int index)
{
    if (Language::localeLanguageIndex() != index)
        MessageService::warning(StrF(LanguageNotSupported, {Str(Language::nameStringId(index))}));
    if (!Language::load(index))
        return;
    WriteSetting(QStringLiteral("LangDLL"), index);
    Rebuild();
    CMy7100Doc &document = m_session.Document();
    document.SetModifiedFlag(false);
    if (document.IsOpen())
        document.GlobalRefresh();
    emit document.updateAllViews(nullptr, C7100Document::HintLanguage, nullptr);
    WriteLogLine(Str(kLanguageChangedLine + index - 1));
}

void CMainFrame::LocaleChanged()
{
    const int index = Language::localeLanguageIndex(QLocale::system());
    if (index < 1 || index == Language::current())
        return;
    if (m_session.Document().IsModified() &&
        MessageService::question(Str(RegionalReloadQuestion)) != MessageAnswer::Yes)
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
    const QString path = QDir(AppPaths::programDirectory())
                             .filePath(QStringLiteral("Readme!_%1.pdf").arg(QLatin1String(kCodes[index - 1])));
    if (!QFile::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        MessageService::error(StrF(CantOpenDocument, {path}));
}

// ---------------------------------------------------------------- placement

void CMainFrame::RestorePlacement()
{
    const LayoutSettings &layout = m_settings.layout;
    resize(layout.intValue(QStringLiteral("XSize")), layout.intValue(QStringLiteral("YSize")));
    move(layout.intValue(QStringLiteral("XPos")), layout.intValue(QStringLiteral("YPos")));
    if (layout.intValue(QStringLiteral("Maximized")) != 0)
        setWindowState(windowState() | Qt::WindowMaximized);
    restoreState(ToolbarStore().value(kToolbarState).toByteArray());
    // The panes take their sizes once the frame has its real size.
    QMetaObject::invokeMethod(this, &CMainFrame::ApplySplitterSizes, Qt::QueuedConnection);
    m_placementRestored = true;
}

void CMainFrame::StorePlacement()
{
    LayoutSettings &layout = m_settings.layout;
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    layout.setValue(QStringLiteral("XPos"), normal.x());
    layout.setValue(QStringLiteral("YPos"), normal.y());
    layout.setValue(QStringLiteral("XSize"), normal.width());
    layout.setValue(QStringLiteral("YSize"), normal.height());
    layout.setValue(QStringLiteral("Maximized"), isMaximized() ? 1 : 0);
    layout.setValue(QStringLiteral("Minimized"), isMinimized() ? 1 : 0);
    layout.setValue(QStringLiteral("SplitterSizeX"), m_top->sizes().value(0));
    layout.setValue(QStringLiteral("OutputYSize"), m_rows->sizes().value(0));
    ToolbarStore().setValue(kToolbarState, saveState());
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    StorePlacement();
    m_help->close();
    m_session.Commands().OnCloseDocument();
    m_session.Shutdown();
    QMainWindow::closeEvent(event);
}
