#include "shell/widgets/main_frame.h"

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
#include "base/help_topics.h"
#include "base/language.h"
#include "base/message_service.h"
#include "base/pane_commands.h"
#include "shell/download_close_guard.h"
#include "shell/project_session.h"
#include "base/settings.h"
#include "base/shell_strings.h"
#include "shell/first_start_layout.h"
#include "shell/startup.h"
#include "base/string_table.h"
#include "shell/tree_navigation.h"
#include "shell/instrument_list_commands.h"
#include "shell/widgets/help_window.h"
#include "shell/widgets/instrument_list_preview.h"
#include "shell/widgets/pane_view_factory.h"
#include "shell/widgets/shell_dialogs.h"
#include "tree/container_list_model.h"
#include "tree/document_tree_model.h"
#include "tree/drag_drop_presenter.h"
#include "tree/hierarchy_strings.h"
#include "tree/list_view_modes.h"
#include "tree/widgets/command_focus.h"
#include "tree/widgets/context_menu_lines.h"
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
#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
using namespace CommandId;
using namespace ShellStrings;

namespace {
constexpr int kDialogPopupMenu = 24624;
const QString kToolbarState = QStringLiteral("Toolbars/State");

// The toolbars' places live under the application's profile name.
QSettings ToolbarStore()
{
    return QSettings(QString::fromLatin1(SettingsSection::kOrganisation),
                     QString::fromLatin1(SettingsSection::kApplication));
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
    m_instrumentList = std::make_unique<InstrumentListCommands>(session.Document(), session.Catalogues());
    m_instrumentList->SetPreviewPresenter(
        [this](const ImportReport &report) {
            const QString project = m_session.Document().PathName();
            return InstrumentListPreviewDialog::Confirm(
                report, [project](const ImportReport &shown) { InstrumentListCommands::SaveReport(shown, project); },
                this);
        });
    setObjectName(QStringLiteral("CMainFrame"));
    RegisterViews();
    InitIconResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    m_help = new HelpWindow(this);
    m_downloadGuard = new DownloadCloseGuard(session.Link(), session.Transfer(), this);
    connect(m_downloadGuard, &DownloadCloseGuard::closeDue, this, &QWidget::close);
    // The pane a menu opened from the keyboard acts on is followed from now.
    CommandFocus::Widget();
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
    ShowPromptsThrough(*menu, *this);
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
    m_tree->SetCommandChecked([this](int id) { return CommandChecked(id); });
    m_tree->SetListShownQuery([this] {
        for (int i = 0; i < m_right->count(); ++i)
            if (qobject_cast<CMy7100View *>(m_right->widget(i)))
                return true;
        return false;
    });
    connect(m_tree, &C7100TreeView::commandRequested, this, [this](int id) { RunCommand(id); });
    m_tree->SetAddNewMenu([this](QWidget *parent) { return BuildMenu(MainMenu::AddNewPopup(), parent); });
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
    // Without a height of the user's, the bottom row gets two fifths: the
    // log and the live panel's list of states show several rows on a
    // 768-line screen, the forms above keep their buttons in view.
    const int topHeight = std::max(outputY >= 1 ? outputY : height * 3 / 5, 5);
    m_rows->setSizes({topHeight, std::max(height - topHeight, 10)});
    const bool ownTreeWidth = m_firstStartTreeWidth > 0 && !layout.isGiven(QStringLiteral("SplitterSizeX"));
    const int treeWidth =
        std::max(ownTreeWidth ? m_firstStartTreeWidth : layout.intValue(QStringLiteral("SplitterSizeX")), 10);
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
    // The form knows its height once its fields are filled in.
    QTimer::singleShot(0, this, &CMainFrame::GiveTheFormItsHeight);
    if (hadFocus)
        m_right->widget(0)->setFocus();
    QApplication::restoreOverrideCursor();
}

// Under the list of children the item's form gets the height its fields and
// buttons need, so that its Apply and Reset stay in view; the list keeps the
// rest, but never less than a few rows.
void CMainFrame::GiveTheFormItsHeight()
{
    if (m_right->count() != 2 || !qobject_cast<QAbstractScrollArea *>(m_right->widget(1)))
        return;
    const int available = m_right->height() - m_right->handleWidth();
    const int fewRows = 4 * m_right->widget(0)->fontMetrics().lineSpacing() + 8;
    const int form = std::min(m_right->widget(1)->sizeHint().height(), std::max(available - fewRows, available / 2));
    if (available <= 0 || form <= 0)
        return;
    m_right->setSizes({available - form, form});
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
    // The log stays readable beside the panel: its column lines up with the
    // tree's where that is wide enough, else it keeps a line of the log's
    // characters and the panel takes the rest.
    constexpr int kReadableCharacters = 60;
    const int frame = m_output->width() - m_output->viewport()->width();
    const int readable = kReadableCharacters * m_output->fontMetrics().averageCharWidth() + frame +
                         m_output->verticalScrollBar()->sizeHint().width();
    const int available = m_bottom->width() - m_bottom->handleWidth();
    const int split = std::min(std::max(m_top->sizes().value(0) + 2, readable), std::max(available - 10, 10));
    m_bottom->setSizes({split, std::max(available - split, 10)});
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
    const QWidget *focus = CommandFocus::Widget();
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
    // The entry may stand deeper than any the column was fitted to.
    m_tree->FitColumn();
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

// ---------------------------------------------------------------- placement

void CMainFrame::RestorePlacement()
{
    const LayoutSettings &layout = m_settings.layout;
    if (layout.holdsPlacement()) {
        resize(layout.intValue(QStringLiteral("XSize")), layout.intValue(QStringLiteral("YSize")));
        move(layout.intValue(QStringLiteral("XPos")), layout.intValue(QStringLiteral("YPos")));
        if (layout.intValue(QStringLiteral("Maximized")) != 0)
            setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        const FirstStartLayout first = FirstStartLayout::For(
            screen()->availableGeometry(), m_tree->fontMetrics().averageCharWidth(), m_tree->indentation());
        setGeometry(first.window);
        m_firstStartTreeWidth = first.treeWidth;
    }
    restoreState(ToolbarStore().value(kToolbarState).toByteArray());
    m_placementRestored = true;
}

// The panes take their sizes once the frame is on screen with its real
// size: a message shown before the window (a missing project at start)
// runs the events of the frame while it has none.
void CMainFrame::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_panesSized || isMinimized())
        return;
    m_panesSized = true;
    ApplySplitterSizes();
    GiveTheFormItsHeight();
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
    // Panes never laid out on screen have no sizes of the user's.
    if (m_panesSized) {
        layout.setValue(QStringLiteral("SplitterSizeX"), m_top->sizes().value(0));
        layout.setValue(QStringLiteral("OutputYSize"), m_rows->sizes().value(0));
    }
    ToolbarStore().setValue(kToolbarState, saveState());
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_busy || !m_downloadGuard->MayClose() || !m_session.Commands().MayLeaveCurrentItem()) {
        event->ignore();
        return;
    }
    StorePlacement();
    m_help->close();
    m_session.Commands().OnCloseDocument();
    m_session.Shutdown();
    QMainWindow::closeEvent(event);
}
