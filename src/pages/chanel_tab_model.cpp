#include "pages/chanel_tab_model.h"

#include "link/selected_module_view.h"
#include "link/module_transfer.h"
#include "tree/my7100_doc.h"
#include "base/message_service.h"
#include "log/output_log.h"

namespace {
bool g_lastModified = false;
constexpr int kHintPageButtons = 17;
} // namespace

ChanelTabModel::ChanelTabModel(C7100Document &document, const CatalogueSet &catalogues, LinkFactsSource facts)
    : m_document(document), m_facts(std::move(facts)),
      m_loader(std::make_unique<SelectedModuleView>(document, catalogues))
{
}

ChanelTabModel::~ChanelTabModel() = default;

bool ChanelTabModel::LastModified()
{
    return g_lastModified;
}

bool ChanelTabModel::Load()
{
    m_loader->Reload();
    m_editor = m_loader->ShownModule();
    m_pages.reset();
    m_shownItem = m_document.CurrentItem();
    const Item *item = m_document.FindItem(m_shownItem);
    m_shownIsSignal = item && CMy7100Doc::IsSignal(*item);
    m_signalName = item ? m_document.GetName(*item) : QString();
    if (!m_editor)
        return false;
    m_editor->setModifiedHandler([this](bool modified) { SetModified(modified); });
    m_editor->setTakeOverHandler(m_takeOver);
    m_pages = std::make_unique<ParameterPages>(*m_editor);
    m_pages->setControlsEnabled(ControlsEnabled());
    // Every load ends unmodified.
    SetModified(false);
    return true;
}

void ChanelTabModel::setTakeOver(std::function<bool()> takeOver)
{
    m_takeOver = std::move(takeOver);
    if (m_editor)
        m_editor->setTakeOverHandler(m_takeOver);
}

std::vector<PageKind> ChanelTabModel::PageKinds() const
{
    if (!m_editor)
        return {};
    return PagesOfFamily(m_editor->parameters().family, m_editor->parameters().type);
}

ModuleFamily ChanelTabModel::family() const
{
    return m_editor ? m_editor->parameters().family : Family7230;
}

int ChanelTabModel::shownChannel() const
{
    return m_editor ? m_editor->parameters().shownChannel : 0;
}

int ChanelTabModel::channelCount() const
{
    return m_editor ? m_editor->parameters().channelCount() : 1;
}

void ChanelTabModel::ControlChanged()
{
    if (isFilling() || !m_editor)
        return;
    m_editor->SetModified(true);
    // The editor's flag may already be set while the document's was cleared
    // by another view.
    SetModified(true);
}

void ChanelTabModel::SetModified(bool modified)
{
    if (g_lastModified == modified)
        return;
    g_lastModified = modified;
    m_document.SetModifiedFlag(modified);
    Broadcast(kHintPageButtons);
}

void ChanelTabModel::Broadcast(int hint)
{
    emit m_document.updateAllViews(nullptr, hint, nullptr);
}

bool ChanelTabModel::ControlsEnabled() const
{
    return m_editor && !m_editor->parameters().module.dipConfigurable && m_facts().linkStarted &&
           !m_document.IsReadOnly();
}

PageButtons ChanelTabModel::Buttons(bool memoPage) const
{
    PageButtons buttons;
    if (!m_editor)
        return buttons;
    const LinkFacts facts = m_facts();
    const bool modified = m_document.IsModified();
    const bool online = facts.onlineModule != 0;
    bool shownIsOnlineForApply = online && m_shownItem == facts.onlineModule;
    if (m_shownIsSignal && !memoPage)
        shownIsOnlineForApply = online && facts.onlineModuleName.contains(m_signalName);
    const bool shownIsOnlineForDownload = !m_shownIsSignal && online && m_shownItem == facts.onlineModule;
    const bool sameTypeConnected = facts.linkStarted && facts.moduleConnected &&
                                   facts.connectedTypeId == m_editor->parameters().module.modulTypId;
    buttons.apply = modified && !shownIsOnlineForApply;
    buttons.reset = modified;
    buttons.download = sameTypeConnected && (modified || facts.differences || !shownIsOnlineForDownload);
    buttons.upload = sameTypeConnected;
    if (m_document.IsReadOnly())
        buttons.apply = buttons.download = buttons.upload = false;
    return buttons;
}

ChanelTabModel::Outcome ChanelTabModel::Apply()
{
    if (!m_editor || !m_document.IsModified())
        return Outcome::Nothing;
    // The document's flag decides; the editor follows it.
    m_editor->SetModified(true);
    switch (m_editor->Apply()) {
    case ModuleParameterEditor::ApplyResult::Applied:
        return Outcome::Done;
    case ModuleParameterEditor::ApplyResult::Refused:
        return m_editor->ReadAgainAfterConflict() ? Outcome::ReadAgain : Outcome::Refused;
    case ModuleParameterEditor::ApplyResult::NothingToApply:
        break;
    }
    return Outcome::Nothing;
}

ChanelTabModel::Outcome ChanelTabModel::Reset(bool *dipSwitchChanged)
{
    if (dipSwitchChanged)
        *dipSwitchChanged = false;
    if (!m_editor || !m_document.IsModified())
        return Outcome::Nothing;
    m_editor->SetModified(true);
    const ModuleParameterEditor::ResetResult result = m_editor->Reset();
    if (result == ModuleParameterEditor::ResetResult::Failed)
        return Outcome::Refused;
    if (dipSwitchChanged)
        *dipSwitchChanged = result == ModuleParameterEditor::ResetResult::DipSwitchChanged;
    m_pages->setControlsEnabled(ControlsEnabled());
    return Outcome::Done;
}

int ChanelTabModel::RefuseTextNoNumber(const std::vector<NumberFieldText> &fields)
{
    for (size_t at = 0; at < fields.size(); ++at) {
        const QString refusal = fields[at].rules.RefusalAtApply(fields[at].text, fields[at].label);
        if (refusal.isEmpty())
            continue;
        WriteLogLine(refusal);
        MessageService::error(refusal);
        return int(at);
    }
    return -1;
}

LinkFacts TransferLinkFacts(CMy7100Doc &document, const ModuleTransfer &transfer)
{
    LinkFacts facts;
    facts.linkStarted = document.LinkStarted();
    facts.moduleConnected = transfer.IsModuleOnline();
    facts.connectedTypeId = transfer.ConnectedModule().ModulTypID + 1;
    facts.onlineModule = transfer.OnlineModule();
    if (const Item *online = document.FindItem(facts.onlineModule))
        facts.onlineModuleName = document.GetName(*online);
    facts.differences = transfer.HasDifferences();
    return facts;
}
