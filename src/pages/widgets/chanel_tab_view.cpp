#include "pages/widgets/chanel_tab_view.h"

#include "link/selected_module_view.h"
#include "params/page_strings.h"
#include "params/params_strings.h"
#include "pages/widgets/chanel_pages.h"
#include "base/command_ids.h"
#include "base/message_service.h"
#include "log/output_log.h"
#include "base/string_table.h"
#include "pages/widgets/num_spin_edit.h"
#include "tree/widgets/text_field_commands.h"
#include "tree/my7100_doc.h"

#include <QScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTabWidget>

namespace {
constexpr int kHintSelected = C7100Document::HintRebuild;
constexpr int kHintControls = C7100Document::HintLinkStarted;
constexpr int kHintButtons = ModuleTransfer::kHintPageButtons;
constexpr int kHintOnline = ModuleTransfer::kHintOnlineChanged;

int CaptionOf(PageKind kind, ModuleFamily family)
{
    switch (kind) {
    case PageKind::DeviceInfo:
        return PageStrings::DeviceInfo;
    case PageKind::Input:
        return ParamsStrings::SectionInput;
    case PageKind::SignalProcessing:
        return ParamsStrings::SignalProcessing;
    case PageKind::Output:
        return ParamsStrings::SectionOutput;
    case PageKind::LimitingValue:
        return family == Family7220 ? ParamsStrings::SectionLimitValue : ParamsStrings::SectionLimitingValue;
    case PageKind::Memo:
        break;
    }
    return ParamsStrings::FieldMemo;
}
} // namespace

ChanelTabViewContext ProgramChanelTabContext(CMy7100Doc &document, const CatalogueSet &catalogues,
                                             ModuleTransfer &transfer, SelectedModuleView *transferView)
{
    ChanelTabViewContext context;
    context.document = &document;
    context.catalogues = &catalogues;
    context.facts = [&document, &transfer] { return TransferLinkFacts(document, transfer); };
    context.upload = [&transfer] { return transfer.Upload(); };
    context.download = [&transfer] { return transfer.Download(); };
    context.transferView = transferView;
    return context;
}

CChanelTabView::CChanelTabView(const ChanelTabViewContext &context, QWidget *parent)
    : CPropertyView(parent), m_context(context), m_model(*context.document, *context.catalogues, context.facts)
{
    setObjectName(QStringLiteral("CChanelTabView"));
    setDocument(context.document);
    m_model.setTakeOver([this] { return TakeOverAll(); });
    connect(context.document, &C7100Document::updateAllViews, this, &CChanelTabView::OnUpdate);
    if (m_context.transferView)
        m_context.transferView->Attach(this);
    LoadAndBuild();
}

CChanelTabView::~CChanelTabView()
{
    if (m_context.transferView)
        m_context.transferView->Detach(this);
    disconnect(m_context.document, nullptr, this, nullptr);
}

void CChanelTabView::LoadAndBuild()
{
    const bool loaded = m_model.Load();
    m_rebuilding = true;
    while (GetPageCount() > 0)
        RemovePage(GetPage(0));
    m_rebuilding = false;
    m_pages.clear();
    if (!loaded)
        return;
    BuildPages();
    FillAll();
    m_model.Broadcast(kHintControls);
    m_model.Broadcast(kHintButtons);
}

void CChanelTabView::BuildPages()
{
    const ModuleFamily family = m_model.family();
    // Every page of the family is made; those the module type lacks go again.
    const std::vector<PageKind> all = {PageKind::DeviceInfo, PageKind::Input,         PageKind::SignalProcessing,
                                       PageKind::Output,     PageKind::LimitingValue, PageKind::Memo};
    const std::vector<PageKind> kept = m_model.PageKinds();
    for (PageKind kind : all) {
        if (family == Family7220 && (kind == PageKind::Input || kind == PageKind::SignalProcessing))
            continue;
        auto *page = new CChanelPage(*this, kind, Str(CaptionOf(kind, family)));
        page->setObjectName(QStringLiteral("Page%1").arg(int(kind)));
        AddPage(page);
        m_pages[kind] = page;
    }
    for (PageKind kind : all) {
        const auto page = m_pages.find(kind);
        if (page != m_pages.end() && std::find(kept.begin(), kept.end(), kind) == kept.end()) {
            RemovePage(page->second);
            m_pages.erase(page);
        }
    }
}

CChanelPage *CChanelTabView::Page(PageKind kind) const
{
    const auto page = m_pages.find(kind);
    return page == m_pages.end() ? nullptr : page->second;
}

void CChanelTabView::FillPage(PageKind kind)
{
    if (CChanelPage *page = Page(kind))
        page->Fill();
}

void CChanelTabView::FillAll()
{
    for (const auto &[kind, page] : m_pages)
        page->Fill();
}

bool CChanelTabView::TakeOverAll()
{
    // A number field whose text is no number stops Apply, on whichever page
    // it stands; it is never read as 0.
    const std::vector<CChanelPage *> pages = PagesActiveFirst();
    if (!NumbersHold(pages))
        return false;
    for (CChanelPage *page : pages)
        page->Take();
    return true;
}

std::vector<CChanelPage *> CChanelTabView::PagesActiveFirst() const
{
    std::vector<CChanelPage *> pages;
    auto *active = qobject_cast<CChanelPage *>(GetActivePage());
    if (active)
        pages.push_back(active);
    for (PageKind kind : m_model.PageKinds()) {
        CChanelPage *page = Page(kind);
        if (page && page != active)
            pages.push_back(page);
    }
    return pages;
}

bool CChanelTabView::NumbersHold(const std::vector<CChanelPage *> &pages)
{
    std::vector<std::pair<CChanelPage *, CNumSpinEdit *>> edits;
    std::vector<NumberFieldText> fields;
    for (CChanelPage *page : pages) {
        for (CNumSpinEdit *edit : page->NumberFields()) {
            edits.emplace_back(page, edit);
            fields.push_back({edit->accessibleName(), edit->text(), edit->rules()});
        }
    }
    const int refused = ChanelTabModel::RefuseTextNoNumber(fields);
    if (refused < 0)
        return true;
    const auto [page, edit] = edits[size_t(refused)];
    if (GetActivePage() != page)
        SetActivePage(page);
    page->ShowTabOf(edit);
    // The field is scrolled into view on a low pane: the user sees where
    // the text that is no number stands.
    for (QWidget *up = edit->parentWidget(); up; up = up->parentWidget())
        if (auto *area = qobject_cast<QScrollArea *>(up)) {
            area->ensureWidgetVisible(edit);
            break;
        }
    edit->setFocus();
    // A click on a page tab gives the view the focus after the page refused
    // to go: the field takes it back then.
    QMetaObject::invokeMethod(edit, [edit] { edit->setFocus(); }, Qt::QueuedConnection);
    return false;
}

bool CChanelTabView::ReactionAllowed(QWidget *control)
{
    CChanelPage *page = nullptr;
    for (QWidget *widget = control; widget && !page; widget = widget->parentWidget())
        page = qobject_cast<CChanelPage *>(widget);
    if (!page || NumbersHold({page}))
        return true;
    std::vector<std::pair<CNumSpinEdit *, QString>> typed;
    for (CNumSpinEdit *edit : page->NumberFields())
        typed.emplace_back(edit, edit->text());
    page->Fill();
    for (const auto &[edit, text] : typed)
        edit->setText(text);
    return false;
}

void CChanelTabView::PageChanged(PageKind kind)
{
    for (PageKind refill : RefillAfterChange(kind, m_model.family()))
        FillPage(refill);
}

void CChanelTabView::SetModified(bool modified)
{
    m_model.SetModified(modified);
}

void CChanelTabView::OnUpdate(QObject *sender, int hint, Item *item)
{
    if (hint == kHintSelected) {
        LoadAndBuild();
        return;
    }
    if (hint == kHintOnline) {
        // Unapplied edits stay on the pages; the buttons follow the module
        // online or offline either way.
        if (!m_context.document->IsModified()) {
            m_model.Load();
            FillAll();
        }
        m_model.Broadcast(kHintButtons);
        return;
    }
    CPropertyView::OnUpdate(sender, hint, item);
}

void CChanelTabView::Apply()
{
    const ChanelTabModel::Outcome outcome = m_model.Apply();
    if (outcome == ChanelTabModel::Outcome::Done || outcome == ChanelTabModel::Outcome::ReadAgain)
        FillAll();
}

void CChanelTabView::Reset()
{
    bool dipSwitchChanged = false;
    if (m_model.Reset(&dipSwitchChanged) != ChanelTabModel::Outcome::Done)
        return;
    FillAll();
    if (dipSwitchChanged) {
        m_model.Broadcast(kHintControls);
        m_model.Broadcast(kHintButtons);
    }
}

void CChanelTabView::Download()
{
    // Whether or not Apply runs first, no page may hold a text that is no
    // number when the module is written.
    if (!m_model.isLoaded() || !NumbersHold(PagesActiveFirst()))
        return;
    if (m_context.download)
        m_context.download();
}

void CChanelTabView::Upload()
{
    if (m_context.upload)
        m_context.upload();
}

std::optional<bool> CChanelTabView::PaneCommandEnabled(int id)
{
    switch (id) {
    case CommandId::EditCopy:
    case CommandId::EditCut:
    case CommandId::EditPaste:
        return TextFieldCommands::Enabled(*this, id);
    case CommandId::FormReset:
        return m_model.Buttons(false).reset;
    default:
        return std::nullopt;
    }
}

bool CChanelTabView::RunPaneCommand(int id)
{
    switch (id) {
    case CommandId::EditCopy:
    case CommandId::EditCut:
    case CommandId::EditPaste:
        if (!TextFieldCommands::Focused(*this))
            return false;
        RunTextFieldCommand(id);
        return true;
    case CommandId::FormReset:
        Reset();
        return true;
    default:
        return false;
    }
}

void CChanelTabView::RunTextFieldCommand(int id)
{
    // A number field takes from the clipboard only what it takes typed.
    if (auto *number = qobject_cast<CNumSpinEdit *>(QApplication::focusWidget())) {
        if (id == CommandId::EditPaste)
            number->PasteFrom(QClipboard::Clipboard);
        else if (id == CommandId::EditCut)
            number->CutSelection();
        else
            number->copy();
        return;
    }
    if (auto *line = qobject_cast<QLineEdit *>(TextFieldCommands::Run(id)))
        emit line->textEdited(line->text());
}

QWidget *CreateChanelTabView(const ChanelTabViewContext &context, QWidget *parent)
{
    return new CChanelTabView(context, parent);
}
