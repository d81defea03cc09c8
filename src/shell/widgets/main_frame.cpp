#include "shell/widgets/main_frame.h"

#include "link/widgets/property_tab_view.h"
#include "params/widgets/chanel_tab_view.h"

#include "link/module_transfer.h"
#include "log/output_log.h"
#include "log/widgets/monitoring_options_dialog.h"
#include "log/widgets/output_view.h"
#include "print/report_commands.h"
#include "print/widgets/report_preview.h"
#include "shell/app_paths.h"
#include "shell/command_ids.h"
#include "shell/help_topics.h"
#include "shell/language.h"
#include "shell/message_service.h"
#include "shell/pane_commands.h"
#include "shell/project_session.h"
#include "shell/settings.h"
#include "shell/shell_strings.h"
#include "shell/startup.h"
#include "shell/string_table.h"
#include "shell/tree_navigation.h"
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
constexpr char kFirstCommand[] = "zwFirstCommand";
constexpr char kHelpTopic[] = "helpTopic";
constexpr char kRecentEntry[] = "zwRecentEntry";
constexpr int kDialogPopupMenu = 24624;
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
    case SortBy:
    case ShowHideColumns:
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
      m_addNew(session.Document(), session.Catalogues()),
      m_reports(std::make_unique<ReportCommands>(session.Document(), session.Catalogues())),
      m_sortBy(session.Document(), DynamicMenuBuilder::Kind::SortBy),
      m_showHide(session.Document(), DynamicMenuBuilder::Kind::ShowHideColumns)
{
    m_previews = new ReportPreviewLauncher(*m_reports, this);
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
        m_tree->StartRename(handle);
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
    for (const ItemFormTemplate *form : {&ItemForms::ProjectRoot(), &ItemForms::Equipment(), &ItemForms::Rack(),
                                         &ItemForms::ZelnorHolder()}) {
        const QString viewClass = form->viewClass;
        PaneViewFactory::Register(viewClass, [this, viewClass](QWidget *parent) {
            return CreateItemFormView(viewClass, ItemFormViewContext(), parent);
        });
    }
    // Every connection notice: the panel goes with the module, then shows
    // the values of the notice.
    connect(&session.Transfer(), &ModuleTransfer::liveValuesRefreshed, this, [this, &session] {
        if (session.Transfer().IsModuleOnline() != LiveValueColumnShown())
            ToggleLiveValueColumn();
        if (auto *panel = qobject_cast<CPropertyTabView *>(m_liveValues.data()))
            panel->Refresh();
    });
}

ItemFormContext CMainFrame::ItemFormViewContext()
{
    ItemFormContext context;
    CMy7100Doc &document = m_session.Document();
    context.document = &document;
    context.linkStarted = [&document] { return document.LinkStarted(); };
    context.port = &m_session.ItemForms();
    // The form hands clipboard commands outside its text fields to the
    // tree, which acts on the current item.
    context.itemCommandEnabled = [this](int id) { return FrameCommandEnabled(id); };
    context.runItemCommand = [this](int id) {
        QMetaObject::invokeMethod(this, [this, id] { RunFrameCommand(id); }, Qt::QueuedConnection);
    };
    context.showContextMenu = [this](const QPoint &at) {
        ShowPopupMenu(kDialogPopupMenu, MainMenu::DialogPopupMenu(), at);
    };
    // Dragged items dropped on the form go under the current item, through
    // the same presenter as drops on the tree and the list.
    context.canDrop = [&document](const QMimeData &data, bool move) {
        const DragDropPresenter target(document);
        return target.DragOver(MimeTransferData(&data), document.CurrentItem(), !move) != DropEffect::None;
    };
    context.drop = [&document](const QMimeData &data, bool move) {
        DragDropPresenter target(document);
        return target.DropAs(MimeTransferData(&data), document.CurrentItem(),
                             move ? DropEffect::Move : DropEffect::Copy) != DropEffect::None;
    };
    return context;
}

void CMainFrame::ShowPopupMenu(int menuId, const std::vector<MenuEntry> &entries, const QPoint &at)
{
    MenuEntry popup{MenuEntry::Kind::Popup, menuId, 0, false, entries};
    QMenu *menu = BuildMenu(popup, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    UpdateCommandStates();
    menu->popup(at);
}

CMainFrame::~CMainFrame()
{
    // Focus moves while the panes go; the frame no longer follows it.
    disconnect(qApp, nullptr, this, nullptr);
    // An editor still open in the tree would commit its text while the
    // panes go; the frame that would store it is gone by then.
    m_tree->AbandonEdit();
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
    m_tree = new CLeftView(m_session.Document(), m_top);
    m_tree->setProperty(kHelpTopic, HelpTopics::kTreeView);
    m_model = &m_tree->treeModel();
    ModuleTransfer &transfer = m_session.Transfer();
    m_model->setImageSource([&transfer](const Item &item) {
        return CMy7100Doc::IsModule(item) ? transfer.TreeImageOf(item.handle()) : -1;
    });
    connect(&transfer, &ModuleTransfer::treeImageChanged, m_model,
            [this](ItemHandle module, int) { m_model->refreshItem(module); });
    m_tree->SetCommandState([this](int id) { return IsCommandEnabled(id); });
    m_tree->SetListShownQuery([this] {
        for (int i = 0; i < m_right->count(); ++i)
            if (qobject_cast<CMy7100View *>(m_right->widget(i)))
                return true;
        return false;
    });
    connect(m_tree, &C7100TreeView::commandRequested, this, [this](int id) { RunCommand(id); });
    m_tree->AddNewBuilder().SetCreator([this](int nameString) { RunCommand(AddNewMenu::CommandOfLevel(nameString)); },
                                       [](int nameString) { return AddNewMenu::CommandOfLevel(nameString) != 0; });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CMainFrame::TreeSelectionChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CMainFrame::TreeReloaded, Qt::QueuedConnection);
    m_right = new QSplitter(Qt::Vertical, m_top);
    m_right->setObjectName(QStringLiteral("RightSplitter"));
    m_right->setChildrenCollapsible(false);
    m_bottom = new QSplitter(Qt::Horizontal, m_rows);
    m_bottom->setObjectName(QStringLiteral("BottomSplitter"));
    m_output = new COutputView(m_bottom);
    m_output->setPortSource([this] { return m_session.CurrentPort(); });
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
    // The list of the item's children stands above the item's form.
    QStringList classes;
    if (!listViewClass.isEmpty())
        classes << listViewClass;
    if (!itemViewClass.isEmpty())
        classes << itemViewClass;
    if (classes.isEmpty())
        classes << QStringLiteral("CMy7100View");
    for (const QString &viewClass : classes) {
        QWidget *view = PaneViewFactory::Create(viewClass, m_right);
        if (auto *list = qobject_cast<CMy7100View *>(view))
            WireList(*list);
        m_right->addWidget(view);
    }
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
    // The panel's pages would otherwise push the bottom row up over the
    // views above it: the rows keep their heights, and the panel shrinks to
    // the smallest pane like every other pane of the frame.
    const QList<int> rowHeights = m_rows->sizes();
    m_liveValues = PaneViewFactory::Create(QStringLiteral("CPropertyTabView"), m_bottom);
    m_liveValues->setMinimumSize(10, 10);
    m_bottom->addWidget(m_liveValues);
    m_rows->setSizes(rowHeights);
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
    {
        const QSignalBlocker blocker(m_tree->selectionModel());
        m_tree->setCurrentIndex(index);
    }
    // With the selection model quiet the view never heard that the old entry
    // lost its selection: it would stay painted as selected beside the new one.
    m_tree->viewport()->update();
    m_tree->scrollTo(index);
}

// The tree makes the entry current in the document itself.
void CMainFrame::TreeSelectionChanged()
{
    UpdateStatusBar();
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
    m_accelerators = nullptr;
    UseAccelerators(&MainMenu::Accelerators());
    // While a view with a table of its own is active, its table is in use.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        const PaneCommandTarget *target = ActiveCommandTarget();
        const std::vector<Accelerator> *table = target ? target->PaneAccelerators() : nullptr;
        UseAccelerators(table ? table : &MainMenu::Accelerators());
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

// The list asks the frame for the commands it does not carry out itself.
void CMainFrame::WireList(CMy7100View &list)
{
    list.setProperty(kHelpTopic, HelpTopics::kListView);
    list.SetCommandState([this](int id) { return IsCommandEnabled(id); });
    connect(&list, &C7100ListView::commandRequested, this, [this](int id) { RunCommand(id); });
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

// ---------------------------------------------------------------- commands

PaneCommandTarget *CMainFrame::ActiveCommandTarget() const
{
    return dynamic_cast<PaneCommandTarget *>(ActivePane());
}

bool CMainFrame::IsCommandEnabled(int id)
{
    if (m_busy)
        return false;
    if (PaneCommandTarget *target = ActiveCommandTarget())
        if (const std::optional<bool> enabled = target->PaneCommandEnabled(id))
            return *enabled;
    return FrameCommandEnabled(id);
}

bool CMainFrame::FrameCommandEnabled(int id)
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
    if (ReportCommands::IsPrintCommand(id))
        return m_reports->IsEnabled(id);
    switch (id) {
    case FileSaveAs:
        return m_session.Commands().CanSaveAs();
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
    MakeAction(DialogView)->setChecked(m_session.Document().DetailsView());
    const CMy7100View *list = ShownList();
    for (const int id : {LargeIcons, SmallIcons, List, Details}) {
        MakeAction(id)->setCheckable(true);
        MakeAction(id)->setChecked(list && list->viewMode() == ListViewModes::ModeOfCommand(id));
    }
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
