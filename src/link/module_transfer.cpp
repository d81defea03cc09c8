#include "link/module_transfer.h"

#include "db/data_error.h"
#include "link/image_mapping.h"
#include "link/link_controller.h"
#include "link/link_worker.h"
#include "link/module_block_history.h"
#include "link/transfer_strings.h"
#include "link/monitor_file.h"
#include "log/output_log.h"
#include "params/catalogues.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_rows.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/document.h"
#include "tree/item_registry.h"
#include "tree/module_lookup.h"
#include "tree/my7100_doc.h"

#include <QDate>

#include <utility>

using namespace TransferStrings;

TransferViewPort::CreatedModule TransferViewPort::CreateConnectedModule(ModuleFamily, const CModuleImage &)
{
    return {};
}

ModuleTransfer::ModuleTransfer(C7100Document &document, ModuleLookup &lookup, const CatalogueSet &catalogues,
                               LinkController &link, TransferViewPort &view, QObject *parent)
    : QObject(parent), m_document(document), m_lookup(lookup), m_catalogues(catalogues), m_link(link),
      m_view(view),
      m_texts(catalogues, [this](int typeId, const QString &tag1,
                                 const QString &tag2) { return m_lookup.ModuleName(typeId, tag1, tag2); }),
      m_comparison(m_texts)
{
    m_link.handler().setProjectHooks(this);
    // A refresh or a language change builds the document's items anew: the
    // online module keeps its mark on the item that stands for it then.
    connect(&m_document, &C7100Document::updateAllViews, this, [this](QObject *, int hint, Item *) {
        if (hint == C7100Document::HintClear)
            RememberOnlineRow();
    });
    connect(&m_document, &C7100Document::viewsReset, this, &ModuleTransfer::MarkRememberedOnline,
            Qt::QueuedConnection);
}

ModuleTransfer::~ModuleTransfer()
{
    m_link.handler().setProjectHooks(nullptr);
}

void ModuleTransfer::TakeConnectedImage()
{
    m_connected = m_link.shared().connectedImage;
    m_connectedBlocks = m_link.shared().connectedBlocks;
    m_sameModule = m_link.shared().sameModule;
}

bool ModuleTransfer::IsModuleOnline() const
{
    return m_link.isOnline();
}

bool ModuleTransfer::IsProjectModified() const
{
    ModuleParameterEditor *editor = m_view.ShownModule();
    return m_document.IsModified() || (editor && editor->isModified());
}

void ModuleTransfer::Broadcast(int hint)
{
    emit m_document.updateAllViews(nullptr, hint, nullptr);
}

QString ModuleTransfer::downloadedModuleName() const
{
    // A restore writes another module's blocks than the one on the pages.
    return m_written ? m_written->moduleName : openModuleName();
}

QString ModuleTransfer::openModuleName() const
{
    ModuleParameterEditor *editor = m_view.ShownModule();
    return editor ? editor->parameters().module.name : QString();
}

// The module lookup: the project name made of the connected module's type
// and tags; the lookup takes the family from the type.
QString ModuleTransfer::ConnectedModuleName()
{
    const CModuleImage &connected = Connected();
    return m_lookup.ModuleName(connected.ModulTypID + 1, connected.Channel[0].Name,
                               connected.Channel[1].Name);
}

Item *ModuleTransfer::LookUpConnected()
{
    const QString name = ConnectedModuleName();
    if (name.isEmpty())
        return nullptr;
    return m_lookup.FindModuleByValue(QStringLiteral("Name"), name);
}

void ModuleTransfer::SetTreeImage(ItemHandle module, int image)
{
    if (module == 0)
        return;
    if (image == ImageModule)
        m_treeImages.remove(module);
    else
        m_treeImages.insert(module, image);
    emit treeImageChanged(module, image);
}

void ModuleTransfer::MarkOnline(Item *module)
{
    if (!module)
        return;
    if (m_online != 0 && m_online != module->handle())
        SetTreeImage(m_online, ImageModule);
    m_online = module->handle();
    SetTreeImage(m_online, m_differences ? ImageOnlineDifferent : ImageOnlineEqual);
}

void ModuleTransfer::RememberOnlineRow()
{
    const Item *online = m_document.FindItem(m_online);
    m_onlineRow.reset();
    if (online)
        m_onlineRow = RememberedRow{m_document.PathName(),
                                    ProjectRow{online->level().tableName(), online->id().toInt()}};
    // The handles die with the items.
    m_online = 0;
    m_treeImages.clear();
}

void ModuleTransfer::MarkRememberedOnline()
{
    const std::optional<RememberedRow> remembered = std::exchange(m_onlineRow, std::nullopt);
    // Another project holds other modules: its own look-up marks one.
    if (!remembered || !m_document.IsOpen() || m_document.PathName() != remembered->project)
        return;
    MarkOnline(m_lookup.LoadRow(remembered->row.table, remembered->row.id));
}

int ModuleTransfer::FindConnectedModule()
{
    m_online = 0;
    if (!m_document.IsOpen())
        return NothingLooked;
    if (ConnectedModuleName().isEmpty()) {
        // Without its type row the module has no name to be found by, and
        // one made of it would have no channels, defaults or name either.
        const QString text = StrF(UnknownConnectedType, {Connected().ModulTypID});
        WriteLogLine(text);
        MessageService::error(text);
        return NothingLooked;
    }
    // The connected module becomes the current item: unapplied edits of the
    // item shown now are asked about before anything is looked up or made.
    if (!m_document.AskSaveChanges())
        return NothingLooked;
    if (Item *module = LookUpConnected()) {
        m_document.Select(module->handle());
        MarkOnline(module);
        return Found;
    }
    if (m_view.IsModuleDialogOpen())
        return NothingLooked;
    // A project open for reading takes no module: it is not even offered.
    if (m_document.IsReadOnly() || MessageService::question(Str(CreateConnectedModule)) != MessageAnswer::Yes) {
        SelectSomeModuleOfFamily(m_lookup.Family());
        return CreatedOrDeclined;
    }
    return CreateFromConnected();
}

void ModuleTransfer::SelectSomeModuleOfFamily(ModuleFamily family)
{
    const QString prefix = TablesOfFamily(family).moduleTablePrefix;
    for (int depth = 1; depth <= 4; ++depth) {
        const QList<Item *> loaded = m_document.Registry().rowsOf(prefix + QString::number(depth));
        Item *highest = nullptr;
        for (Item *item : loaded) {
            if (!highest || item->id().toLongLong() > highest->id().toLongLong())
                highest = item;
        }
        if (highest) {
            m_document.Select(highest->handle());
            return;
        }
    }
}

int ModuleTransfer::CreateFromConnected()
{
    const CModuleImage connected = Connected();
    const ModuleFamily family = m_lookup.Family();
    const TransferViewPort::CreatedModule created = m_view.CreateConnectedModule(family, connected);
    if (!created.item)
        return CreationFailed;
    Item &item = *created.item;
    if (created.cancelled)
        return CreatedOrDeclined;
    if (m_document.BeginEdit(item)) {
        m_document.SetValue(item, QStringLiteral("ModulTypID"), connected.ModulTypID + 1, true);
        m_document.SetValue(item, QStringLiteral("DIPSwitch"), connected.DIPSwitch ? -1 : 0, true);
        m_document.Save(item);
    }
    // The mark follows what the new module holds, never the flag of the
    // module compared before it.
    m_differences = false;
    m_lastDifferences.clear();
    if (m_document.Select(item.handle()) && m_document.CurrentItem() == item.handle()) {
        m_newModule = true;
        if (ModuleParameterEditor *editor = m_view.ShownModule()) {
            editor->setNewModule(true);
            TakeOver(*editor, connected, 0);
            m_lastDifferences = CompareShown(editor->parameters(), ModuleComparison::Scope::Silent);
            m_differences = !m_lastDifferences.empty();
        }
    }
    Item *named = LookUpConnected();
    MarkOnline(named ? named : &item);
    return CreatedOrDeclined;
}

void ModuleTransfer::TellDocumentConnected(bool connected)
{
    // The module dialog proposes the connected module's tags.
    if (auto *document = qobject_cast<CMy7100Doc *>(&m_document))
        document->SetModuleConnected(connected, m_connected.Channel[0].Name, m_connected.Channel[1].Name);
}

void ModuleTransfer::findConnectedModule(const CModuleImage &)
{
    TakeConnectedImage();
    TellDocumentConnected(true);
    m_lastFind = FindConnectedModule();
    Broadcast(kHintOnlineChanged);
}

void ModuleTransfer::compareConnectedModule(const CModuleImage &)
{
    if (m_lastFind == Found)
        CompareWithDatabase(true);
}

void ModuleTransfer::leaveOnlineMode()
{
    TakeConnectedImage();
    TellDocumentConnected(false);
    SetTreeImage(m_online, ImageModule);
    m_online = 0;
    Broadcast(kHintOnlineChanged);
}

void ModuleTransfer::wentOffline()
{
    if (m_monitorFile)
        m_monitorFile->MarkOffline();
    if (IsProjectModified())
        MessageService::show({Str(NotDownloaded), MessageIcon::None, MessageButtons::Ok});
}

std::vector<ParameterDifference> ModuleTransfer::CompareWithDatabase(bool report)
{
    if (!report && !(m_sameModule && m_document.CurrentItem() == m_online && m_online != 0))
        return {};
    ModuleParameterEditor *editor = m_view.ShownModule();
    if (!editor)
        return {};
    const ModuleParameters &module = editor->parameters();
    const std::vector<ParameterDifference> differences =
        CompareShown(module, report ? ModuleComparison::Scope::Report : ModuleComparison::Scope::Silent);
    if (report) {
        const QString checking = StrF(CheckingModule, {module.module.name});
        if (differences.empty()) {
            WriteLogLine(checking + QLatin1Char(' ') + Str(CheckOk));
        } else {
            WriteLogLine(checking);
            MessageService::information(Str(DataDifferent));
            for (const QString &line : ModuleComparison::ReportLines(differences, Str(HeadingDatabase)))
                AddText(line);
            AddText(QStringLiteral("\n"));
        }
    }
    m_differences = !differences.empty();
    m_lastDifferences = differences;
    MarkOnline(LookUpConnected());
    Broadcast(kHintPageButtons);
    return differences;
}

std::vector<ParameterDifference> ModuleTransfer::CompareShown(const ModuleParameters &module,
                                                             ModuleComparison::Scope scope)
{
    FillFromModule(m_comparisonImage, module, module.family);
    return m_comparison.Compare(m_comparisonImage, Connected(), module.family, scope);
}

void ModuleTransfer::runSilentComparison()
{
    TakeConnectedImage();
    CompareWithDatabase(false);
}

void ModuleTransfer::moduleReadAgain()
{
    TakeConnectedImage();
    CheckReadBack();
    // What an action changed in the module is shown as a difference, so that
    // no download overwrites it unseen.
    const bool report =
        std::exchange(m_reportAfterRead, false) && m_online != 0 && m_document.CurrentItem() == m_online;
    CompareWithDatabase(report);
}

void ModuleTransfer::reportAction(ActionCode action, LinkResult, const ActionReply &)
{
    if (ChangesParameterBlocks(action))
        m_reportAfterRead = true;
}

void ModuleTransfer::refreshLiveValues(const CModuleImage &connected)
{
    // The comparison keeps the image of the notice that bound the module;
    // only the panel follows every poll.
    m_liveImage = connected;
    const ModuleIdentity identity = ModuleIdentity::of(connected);
    if (m_liveModule.number == 0 || identity != m_liveModule.identity) {
        // Another module's type row, read once per module.
        m_liveModule.identity = identity;
        m_liveModule.family = m_lookup.FamilyOfType(connected.ModulTypID + 1);
        ++m_liveModule.number;
    }
    // A record is written only in the family of the module it comes from.
    if (m_monitorFile && IsModuleOnline() && m_liveModule.family)
        m_monitorFile->WriteRecord(connected, *m_liveModule.family, m_texts);
    emit liveValuesRefreshed();
}

bool ModuleTransfer::Upload()
{
    // Without a module on the pages the upload would have nowhere to go.
    ModuleParameterEditor *editor = m_view.ShownModule();
    if (!editor || m_document.RefuseWhenReadOnly())
        return false;
    if (!m_link.RequestCommand(LinkCommand::Upload))
        return false;
    m_newModule = false;
    editor->setNewModule(false);
    return true;
}

bool ModuleTransfer::RestoreKeptBlocks(const ModuleBlockHistory::Entry &kept)
{
    // Only into the very module they came from, and what it overwrites is
    // kept in the project.
    if (m_document.RefuseWhenReadOnly() || !m_link.isOnline() || kept.serialNr != Connected().SerialNr || m_link.RefuseWhileBusy())
        return false;
    CModuleImage image = kept.image;
    image.DIPSwitch = Connected().DIPSwitch;
    // What the restore overwrites is kept in turn, so that it can be undone.
    return SendDownload(
        image, kept.family, Connected().DIPSwitch != 0,
        m_lookup.ModuleName(image.ModulTypID + 1, image.Channel[0].Name, image.Channel[1].Name), ProjectRow());
}

void ModuleTransfer::takeOverUpload(const CModuleImage &connected)
{
    TakeConnectedImage();
    ModuleParameterEditor *editor = m_view.ShownModule();
    if (editor)
        TakeOver(*editor, connected, editor->parameters().shownChannel);
    m_newModule = false;
    if (editor)
        editor->setNewModule(false);
}

void ModuleTransfer::TakeOver(ModuleParameterEditor &editor, const CModuleImage &connected, int channel)
{
    ModuleParameters &module = editor.parameters();
    const bool dipChanged = TakeOverImage(module, connected, module.family, channel, m_newModule);
    m_view.FillPages();
    if (dipChanged) {
        Broadcast(C7100Document::HintLinkStarted);
        Broadcast(kHintPageButtons);
    }
    editor.SetModified(true);
    editor.Apply();
}

bool ModuleTransfer::ReadyForDownload(ModuleParameterEditor &editor)
{
    if (IsProjectModified()) {
        if (editor.Apply() == ModuleParameterEditor::ApplyResult::Refused || editor.isModified())
            return false;
    }
    return editor.CheckDownloadable();
}

bool ModuleTransfer::DownloadPossible(const ModuleParameters &module)
{
    // Refused before anything is applied to the project or stamped on it.
    if (!m_link.isOnline()) {
        const QString text = StrF(NoModuleToDownloadTo, {module.module.name});
        WriteLogLine(text);
        MessageService::error(text);
        return false;
    }
    return !m_link.RefuseWhileBusy() && ConnectedTypeMatches(module);
}

bool ModuleTransfer::Download()
{
    // What the module held is kept in the project before a download.
    ModuleParameterEditor *editor = m_view.ShownModule();
    if (!editor || m_document.RefuseWhenReadOnly() || !DownloadPossible(editor->parameters()) ||
        !ReadyForDownload(*editor))
        return false;
    const QString date = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    if (editor->parameters().module.name != ConnectedModuleName() &&
        MessageService::riskyQuestion(Str(NameDiffers)) != MessageAnswer::Yes)
        return false;
    if (Connected().DIPSwitch != 0)
        return DownloadTagsOnly(*editor);
    return DownloadAll(*editor, date);
}

bool ModuleTransfer::ConnectedTypeMatches(const ModuleParameters &module)
{
    if (Connected().ModulTypID + 1 == module.module.modulTypId)
        return true;
    // The lookup takes the connected type's family from its table.
    ConnectedModuleName();
    const QString connectedType = m_texts.GetParameter(Connected(), 0, 0, m_lookup.Family()).nameText;
    const QString text =
        StrF(OtherModuleType,
             {connectedType.isEmpty() ? QString::number(Connected().ModulTypID + 1) : connectedType,
              module.module.name, module.type.name});
    WriteLogLine(text);
    MessageService::error(text);
    return false;
}

bool ModuleTransfer::KeepPreviousBlocks(ModuleFamily family)
{
    // Without a module online there is nothing read that could be kept.
    if (!m_link.isOnline())
        return true;
    // Named by what was read: the module it came from, whatever overwrites it.
    const QString moduleName = ConnectedModuleName();
    DbSession *session = m_document.Registry().session();
    QString reason;
    try {
        if (session) {
            ModuleBlockHistory(*session).Keep(Connected(), family, moduleName);
            return true;
        }
    } catch (const COLEDBException &error) {
        reason = MessageText(error);
    }
    const QString text = StrF(PreviousBlocksNotKept, {moduleName});
    WriteLogLine(text);
    MessageService::error(reason.isEmpty() ? text : text + QLatin1Char('\n') + reason);
    return false;
}

bool ModuleTransfer::DownloadTagsOnly(ModuleParameterEditor &editor)
{
    const ModuleParameters &module = editor.parameters();
    MessageService::information(Str(DipDownloadsTagsOnly));
    WriteLogLine(DipDownloadsTagsOnly);
    CModuleImage image = Connected();
    for (int number = 1; number <= 2; ++number) {
        if (const ChannelParameters *channel = module.channel(number))
            image.Channel[size_t(number - 1)].Name = channel->name;
    }
    return SendDownload(image, module.family, true, module.module.name, ProjectRow());
}

bool ModuleTransfer::DownloadAll(ModuleParameterEditor &editor, const QString &date)
{
    ModuleParameters &module = editor.parameters();
    module.module.revision = Connected().Revision;
    module.module.serialNr = Connected().SerialNr;
    m_view.FillPages();
    editor.SetModified(true);
    if (editor.Apply() == ModuleParameterEditor::ApplyResult::Refused)
        return false;
    // What the project does not set (the module text, the input of a 7220
    // module, the other family's bytes) is written back as the module holds
    // it, so that a download changes nothing the project does not manage.
    CModuleImage image = Connected();
    BuildWriteImage(image, module, module.family, date);
    image.LastProgramming = date;
    // The project's date follows only once the module was read back as
    // written.
    return SendDownload(image, module.family, false, module.module.name,
                        ProjectRow{module.module.table, module.module.id});
}

void ModuleTransfer::StoreLastProgramming(const ProjectRow &row, const QString &date)
{
    if (row.id == 0)
        return;
    Item *item = m_lookup.LoadRow(row.table, row.id);
    if (!item || !m_document.BeginEdit(*item))
        return;
    m_document.SetValue(*item, QStringLiteral("LastProgramming"), date, true);
    if (!m_document.Save(*item))
        return;
    ModuleParameterEditor *editor = m_view.ShownModule();
    if (!editor)
        return;
    const ModuleValues &shown = editor->parameters().module;
    if (shown.table != row.table || shown.id != row.id)
        return;
    editor->TakeStoredLastProgramming(date);
    if (!IsProjectModified())
        m_view.FillPages();
}

bool ModuleTransfer::SendDownload(const CModuleImage &image, ModuleFamily family, bool tagsOnly,
                                  const QString &name, const ProjectRow &row)
{
    if (m_link.RefuseWhileBusy() || !KeepPreviousBlocks(family))
        return false;
    if (!m_link.RequestDownload(image, family))
        return false;
    m_readBackPending.reset();
    m_readBack = ReadBack::None;
    m_readBackDifferences.clear();
    m_written = WrittenImage{image, family, tagsOnly, name, row};
    return true;
}

void ModuleTransfer::downloadFinished(bool stored)
{
    m_lastDownloadStored = stored;
    if (stored && m_written) {
        m_readBackPending = m_written;
        m_readBack = ReadBack::Pending;
    }
}

void ModuleTransfer::ReportNotReadBack()
{
    m_readBack = ReadBack::NotRead;
    const QString text = StrF(NotReadBack, {m_readBackPending->moduleName});
    m_readBackPending.reset();
    WriteLogLine(text);
    MessageService::error(text);
}

std::vector<ParameterDifference> ModuleTransfer::WrittenBytesDiffering(const WrittenImage &written) const
{
    std::vector<ParameterDifference> differing;
    const auto hex = [](char byte) {
        return QStringLiteral("0x%1").arg(quint8(byte), 2, 16, QLatin1Char('0'));
    };
    for (int block : LinkWorker::DownloadBlocks(written.image, written.tagsOnly)) {
        const QByteArray sent = written.image.EncodeBlock(block, written.family);
        const QByteArray &held = m_connectedBlocks[size_t(block)];
        for (qsizetype at = 0; at < sent.size(); ++at) {
            const bool same = at < held.size() && held[at] == sent[at];
            if (!same)
                differing.push_back({-1, 0, StrF(BlockByte, {block, int(at)}),
                                     at < held.size() ? hex(held[at]) : QStringLiteral("----"),
                                     hex(sent[at])});
        }
    }
    return differing;
}

void ModuleTransfer::CheckReadBack()
{
    if (!m_readBackPending)
        return;
    // Only the module written to, read in full, can show whether it took
    // the download; a read that failed shows nothing of it.
    if (!m_link.shared().fullReadOk || m_readBackPending->image.SerialNr != Connected().SerialNr) {
        ReportNotReadBack();
        return;
    }
    const WrittenImage written = *m_readBackPending;
    m_readBackPending.reset();
    const std::vector<ParameterDifference> bytes = WrittenBytesDiffering(written);
    m_readBack = bytes.empty() ? ReadBack::Same : ReadBack::Different;
    if (bytes.empty()) {
        WriteLogLine(StrF(DownloadOk, {written.moduleName}));
        m_readBackDifferences.clear();
        if (!written.tagsOnly)
            StoreLastProgramming(written.row, written.image.LastProgramming);
        return;
    }
    // The parameters where they tell the difference, then every byte.
    m_readBackDifferences = m_comparison.Compare(written.image, Connected(), written.family,
                                                 written.tagsOnly ? ModuleComparison::Scope::TagsOnly
                                                                  : ModuleComparison::Scope::ReadBack);
    m_readBackDifferences.insert(m_readBackDifferences.end(), bytes.begin(), bytes.end());
    WriteLogLine(StrF(ReadBackDiffers, {written.moduleName}));
    for (const QString &line : ModuleComparison::ReportLines(m_readBackDifferences, Str(HeadingWritten)))
        AddText(line);
    AddText(QStringLiteral("\n"));
}
