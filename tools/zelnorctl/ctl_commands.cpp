#include "ctl_commands.h"

#include "ctl_link.h"
#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"
#include "ctl_transfer.h"

#include "db/data_error.h"
#include "db/project_file_dialogs.h"
#include "db/project_strings.h"
#include "link/adjust_actions.h"
#include "link/image_mapping.h"
#include "link/module_block_history.h"
#include "link/module_comparison.h"
#include "link/parameter_texts.h"
#include "log/monitor_file.h"
#include "log/output_log.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_column_edit.h"
#include "shell/string_table.h"
#include "tree/module_dialog_logic.h"
#include "tree/module_dialog_service.h"
#include "tree/module_lookup.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace CtlCommands {

namespace {

// The folder levels by the word the command takes.
QString FolderTable(const QString &kind)
{
    if (kind == QLatin1String("plant"))
        return QStringLiteral("Equipments");
    if (kind == QLatin1String("cabinet"))
        return QStringLiteral("Racks");
    if (kind == QLatin1String("carrier"))
        return QStringLiteral("ZelnorHolders");
    return QString();
}

// The module's type and channel tags, tab-separated, for the tree listing.
QString ModuleSummary(CtlProject &project, Item &item)
{
    const std::optional<CtlProject::ModuleRef> module = project.ModuleOf(item);
    if (!module)
        return QString();
    const ModuleParameters parameters = ParametersFromRows(project.RowsOf(*module)->ReadRows(), 0);
    QString summary = QLatin1Char('\t') + parameters.type.name;
    for (int number = 1; number <= parameters.channelCount(); ++number) {
        const ChannelParameters *channel = parameters.channel(number);
        summary += QLatin1Char('\t') + (channel ? channel->name : QString());
    }
    return summary;
}

void PrintSubtree(CtlProject &project, Item &item)
{
    C7100Document &document = project.Document();
    if (item.kind() != ItemKind::Root || item.shown()) {
        const bool isModule = FamilyOfModuleLevel(item.level().displayString()).has_value();
        Out() << document.GetPath(item) << (isModule ? ModuleSummary(project, item) : QString()) << Qt::endl;
    }
    ContainerItem *container = item.asContainer();
    if (!container || !document.EnsureChildren(*container))
        return;
    // Catalogue rows hang below the project too, but the tree never shows them.
    container->forEachChild([&](Item &child) {
        if (child.shown())
            PrintSubtree(project, child);
    });
}

// "COLUMN=VALUE" pairs; prints the refusal of the first that is none.
std::optional<QList<QPair<QString, QString>>> ParseAssignments(const QStringList &assignments)
{
    QList<QPair<QString, QString>> pairs;
    for (const QString &assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            Err() << StrF(CtlStrings::NotAnAssignment, {assignment}) << Qt::endl;
            return std::nullopt;
        }
        pairs.append({assignment.left(equals).trimmed(), assignment.mid(equals + 1)});
    }
    return pairs;
}

// Runs a command body; a data error that escapes it is shown and refuses.
int Guarded(const std::function<int()> &body)
{
    try {
        return body();
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return ExitRefused;
    }
}

} // namespace

int New(const QString &file)
{
    ProjectDatabase database;
    const QString target = QDir::current().absoluteFilePath(file);
    FileDialogService::setPresenter([target](const FileDialogRequest &) { return target; });
    return Guarded([&] {
        if (!database.CreateNew()) {
            Err() << Str(ProjectStrings::LogNewFailed) << Qt::endl;
            return int(ExitUnusable);
        }
        Out() << StrF(ProjectStrings::LogNewCreated, {database.DisplayName()}) << Qt::endl;
        return int(ExitOk);
    });
}

int Tree(const QString &path)
{
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        PrintSubtree(project, *project.Document().Root());
        return int(ExitOk);
    });
}

int Add(const QString &path, const QString &parentPath, const QString &kind, const QString &name)
{
    const QString table = FolderTable(kind);
    if (table.isEmpty()) {
        Err() << StrF(CtlStrings::NotAFolderKind, {kind}) << Qt::endl;
        return ExitUnusable;
    }
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        CMy7100Doc &document = project.Document();
        Item *parent = project.FindItem(parentPath);
        CTableLevel *level = project.Database().Levels().FindByTable(table);
        ContainerItem *container = parent ? parent->asContainer() : nullptr;
        Item *item = container && level ? document.CreateItem(*container, level->displayString()) : nullptr;
        if (!item) {
            if (parent)
                Err() << StrF(CtlStrings::NotAFolderKind, {kind}) << Qt::endl;
            return int(ExitRefused);
        }
        // Taken as a label edit is taken: checked beside its siblings, the
        // folder counter raised.
        const QString chosen = name.isEmpty() ? document.DefaultFolderName(level->displayString()) : name;
        if (!document.CheckFolderName(*item, chosen) ||
            !document.SetValue(*item, QStringLiteral("Name"), chosen, true) || !document.Save(*item)) {
            document.CancelEdit(*item);
            return int(ExitRefused);
        }
        Out() << StrF(CtlStrings::ItemAdded, {document.GetPath(*item)}) << Qt::endl;
        return int(ExitOk);
    });
}

int AddModule(const QString &path, const QString &parentPath, const QString &typeText,
              const QStringList &tags)
{
    bool ok = false;
    const qint32 typeId = typeText.toInt(&ok);
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        const std::optional<ModuleTypeInfo> type =
            ok ? FindModuleType(*project.Database().Session(), project.Database().Levels(), typeId)
               : std::nullopt;
        if (!type) {
            Err() << StrF(CtlStrings::UnknownModuleType, {typeText}) << Qt::endl;
            return int(ExitRefused);
        }
        CMy7100Doc &document = project.Document();
        Item *parent = project.FindItem(parentPath);
        ContainerItem *container = parent ? parent->asContainer() : nullptr;
        if (!container) {
            if (parent)
                Err() << StrF(CtlStrings::NotAModuleParent, {document.GetPath(*parent)}) << Qt::endl;
            return int(ExitRefused);
        }
        // The module dialog takes the tags given and proposes the others.
        const ModuleDialogService::Presenter previous =
            ModuleDialogService::setPresenter([&tags](ModuleDialogLogic &logic) {
                if (tags.size() > 0)
                    logic.SetSignalName1(tags[0]);
                if (tags.size() > 1)
                    logic.SetSignalName2(tags[1]);
                return logic.Accept();
            });
        Item *module = document.AddNewModule(*container, type->family, type->id);
        ModuleDialogService::setPresenter(previous);
        if (!module)
            return int(ExitRefused);
        Out() << StrF(CtlStrings::ItemAdded, {document.GetPath(*module)}) << Qt::endl;
        return int(ExitOk);
    });
}

int Set(const QString &path, const QString &modulePath, int channel, const QStringList &assignments)
{
    const std::optional<QList<QPair<QString, QString>>> pairs = ParseAssignments(assignments);
    if (!pairs)
        return ExitUnusable;
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        const std::unique_ptr<CtlProject::LoadedModule> module = project.LoadModule(modulePath);
        if (!module)
            return int(ExitRefused);
        const int shownChannel = module->ref.shownChannel;
        // A signal names its own channel.
        if (shownChannel != 0 && channel != 0 && channel != shownChannel) {
            Err() << StrF(CtlStrings::BadChannel, {channel}) << Qt::endl;
            return int(ExitRefused);
        }
        const int edited = shownChannel != 0 ? shownChannel : channel == 0 ? 1 : channel;
        ModuleParameterEditor &editor = *module->editor;
        const QString refusal = ParameterColumnEdit(editor).Apply(edited, *pairs);
        if (!refusal.isEmpty()) {
            Err() << refusal << Qt::endl;
            return int(ExitRefused);
        }
        switch (editor.Apply()) {
        case ModuleParameterEditor::ApplyResult::Applied:
            return int(ExitOk);
        case ModuleParameterEditor::ApplyResult::NothingToApply:
            Out() << Str(CtlStrings::NothingChanged) << Qt::endl;
            return int(ExitOk);
        case ModuleParameterEditor::ApplyResult::Refused:
            break;
        }
        return int(ExitRefused);
    });
}

int Delete(const QString &path, const QString &itemPath)
{
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        Item *item = project.FindItem(itemPath);
        if (!item)
            return int(ExitRefused);
        const QString shownPath = project.Document().GetPath(*item);
        if (!project.Document().Delete(*item))
            return int(ExitRefused);
        Out() << StrF(CtlStrings::ItemDeleted, {shownPath}) << Qt::endl;
        return int(ExitOk);
    });
}

int Show(const QString &path, const QString &modulePath, bool json)
{
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        const std::unique_ptr<CtlProject::LoadedModule> module = project.LoadModule(modulePath);
        if (!module)
            return int(ExitRefused);
        const ModuleParameterEditor &editor = *module->editor;
        const int shownChannel = module->ref.shownChannel;
        const ModuleParameters &parameters = editor.parameters();
        // The texts the comparison report shows for the project's side.
        CModuleImage image;
        FillFromModule(image, parameters, parameters.family);
        CMy7100Doc &document = project.Document();
        const ImageParameterTexts texts(project.Catalogues(),
                                        [&document](int typeId, const QString &a, const QString &b) {
                                            return document.ModuleName(typeId, a, b);
                                        });
        QJsonArray listed;
        Out() << (json ? QString() : parameters.module.name + QLatin1Char('\n'));
        for (const ParameterDifference &p : ModuleComparison(texts).Parameters(image, parameters.family)) {
            if (p.channel != 0 && shownChannel != 0 && p.channel != shownChannel)
                continue;
            if (json)
                listed.append(QJsonObject{
                    {"number", p.number}, {"channel", p.channel}, {"name", p.name}, {"text", p.moduleText}});
            else
                Out() << ModuleComparison::ReportLine(p.name, p.moduleText, QString()).trimmed() << Qt::endl;
        }
        if (json)
            Out() << QJsonDocument(QJsonObject{{"module", parameters.module.name}, {"parameters", listed}})
                         .toJson();
        Out() << Qt::flush;
        return int(ExitOk);
    });
}

namespace {
// The transfer of a project and the module on a port, online and looked up;
// nothing after a printed refusal (exit code in code).
std::unique_ptr<CtlTransfer> OpenTransfer(const QString &path, const QString &port, int &code,
                                          bool needsProjectModule = true)
{
    auto transfer = std::make_unique<CtlTransfer>(port);
    code = ExitUnusable;
    if (!transfer->Open(path))
        return nullptr;
    if (needsProjectModule && !transfer->HasProjectModule()) {
        Err() << StrF(CtlStrings::NoProjectModule, {port}) << Qt::endl;
        return nullptr;
    }
    code = ExitOk;
    return transfer;
}
} // namespace

int Compare(const QString &path, const QString &port)
{
    int code = ExitOk;
    const std::unique_ptr<CtlTransfer> transfer = OpenTransfer(path, port, code);
    if (!transfer)
        return code;
    // The report was written to the log as the module came online.
    return transfer->Transfer().HasDifferences() ? ExitRefused : ExitOk;
}

int Upload(const QString &path, const QString &port, bool create)
{
    // Asked whether to create the missing module: --create answers it, and
    // the module dialog takes its proposals.
    AnswerQuestionsYes(create);
    const ModuleDialogService::Presenter previous = ModuleDialogService::setPresenter(
        create ? ModuleDialogService::Presenter(ModuleDialogService::acceptProposals) : nullptr);
    int code = ExitOk;
    const std::unique_ptr<CtlTransfer> transfer = OpenTransfer(path, port, code);
    ModuleDialogService::setPresenter(previous);
    AnswerQuestionsYes(false);
    if (!transfer)
        return code;
    return Guarded([&] {
        if (!transfer->Transfer().Upload())
            return int(ExitRefused);
        if (!transfer->WaitForNotice(int(LinkNotice::UploadDone), [] { return true; }))
            return int(ExitRefused);
        // Taken over and applied; a refused Apply leaves the pages modified.
        ModuleParameterEditor *shown = transfer->View().ShownModule();
        const bool stored = transfer->Link().Controller().isOnline() && shown && !shown->isModified();
        return stored ? int(ExitOk) : int(ExitRefused);
    });
}

namespace {
// Waits for the download's notice and its read-back: done only when every
// block was stored and read back as written.
int WaitForReadBack(CtlTransfer &transfer)
{
    ModuleTransfer &moduleTransfer = transfer.Transfer();
    // A module gone away ends the wait within a poll: its read-back fails.
    if (!transfer.WaitForNotice(
            int(LinkNotice::DownloadDone), [&moduleTransfer] { return !moduleTransfer.IsReadBackPending(); },
            60000))
        return ExitRefused;
    const bool verified = moduleTransfer.LastDownloadStored() &&
                          moduleTransfer.ReadBackResult() == ModuleTransfer::ReadBack::Same;
    return verified ? ExitOk : ExitRefused;
}
} // namespace

int Download(const QString &path, const QString &modulePath, const QString &port, bool yes)
{
    int code = ExitOk;
    // Any module may take the project module's parameters.
    const std::unique_ptr<CtlTransfer> transfer = OpenTransfer(path, port, code, false);
    if (!transfer)
        return code;
    return Guarded([&] {
        CtlProject &project = transfer->Project();
        Item *item = project.FindItem(modulePath);
        if (!item || !project.ModuleOf(*item))
            return int(ExitRefused);
        project.Document().Select(item->handle());
        // Only the question before a module name is overwritten is answered
        // by --yes.
        AnswerQuestionsYes(yes);
        const bool sent = transfer->Transfer().Download();
        AnswerQuestionsYes(false);
        if (!sent)
            return int(ExitRefused);
        return WaitForReadBack(*transfer);
    });
}

int History(const QString &path, const QString &serialNr)
{
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        const std::vector<ModuleBlockHistory::Entry> entries =
            ModuleBlockHistory(*project.Database().Session()).EntriesOf(serialNr);
        if (entries.empty()) {
            Err() << StrF(CtlStrings::NothingKept, {serialNr}) << Qt::endl;
            return int(ExitRefused);
        }
        for (const ModuleBlockHistory::Entry &entry : entries)
            Out() << entry.id << '\t' << entry.savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t'
                  << entry.moduleName << Qt::endl;
        return int(ExitOk);
    });
}

int Restore(const QString &path, const QString &entryId, const QString &port)
{
    int code = ExitOk;
    const std::unique_ptr<CtlTransfer> transfer = OpenTransfer(path, port, code, false);
    if (!transfer)
        return code;
    return Guarded([&] {
        // The transfer's copy: the worker rewrites the shared image at every poll.
        const QString serialNr = transfer->Transfer().ConnectedImage().SerialNr;
        const std::vector<ModuleBlockHistory::Entry> entries =
            ModuleBlockHistory(*transfer->Project().Database().Session()).EntriesOf(serialNr);
        const auto kept = std::find_if(entries.begin(), entries.end(), [&entryId](const auto &entry) {
            return QString::number(entry.id) == entryId;
        });
        if (kept == entries.end()) {
            Err() << StrF(CtlStrings::NotKeptForModule, {entryId, serialNr}) << Qt::endl;
            return int(ExitRefused);
        }
        if (!transfer->Transfer().RestoreKeptBlocks(*kept))
            return int(ExitRefused);
        return WaitForReadBack(*transfer);
    });
}

int Monitor(const QString &port, int count, int intervalSeconds)
{
    CtlReference reference;
    if (!reference.Open())
        return ExitUnusable;
    CtlLink link(port);
    const ImageParameterTexts texts(reference.Catalogues());
    MonitorFile monitorFile;
    const int ticksPerRecord = std::max(1, MonitorFile::IntervalTicks(intervalSeconds));
    int ticks = ticksPerRecord; // the first record at once
    int printed = 0;
    link.onRefresh = [&](const CModuleImage &image) {
        const QString line = monitorFile.WriteRecord(image, reference.FamilyOf(image), texts);
        if (++ticks < ticksPerRecord)
            return;
        ticks = 0;
        Out() << line << Qt::flush;
        ++printed;
    };
    if (!link.StartAndWaitOnline())
        return ExitUnusable;
    const int refreshMs = LinkController::kRefreshPeriodMs;
    const int timeoutMs =
        count == 0 ? std::numeric_limits<int>::max() : (count + 1) * ticksPerRecord * refreshMs + 5000;
    link.RunUntil([&] { return count != 0 && printed >= count; }, timeoutMs);
    return printed >= count ? ExitOk : ExitRefused;
}

int Action(const QString &port, int code)
{
    CtlReference reference;
    if (!reference.Open())
        return ExitUnusable;
    CtlLink link(port);
    // The Adjust page's rules need the module as it came online.
    std::optional<CModuleImage> connected;
    link.onConnected = [&connected](const CModuleImage &image) { connected = image; };
    if (!link.StartAndWaitOnline() || !link.RunUntil([&] { return connected.has_value(); }, 10000))
        return ExitUnusable;
    const auto action = static_cast<ActionCode>(code);
    const QString refusal = AdjustActions::Refusal(*connected, reference.FamilyOf(*connected), action);
    if (!refusal.isEmpty()) {
        WriteLogLine(refusal);
        Err() << refusal << Qt::endl;
        return ExitRefused;
    }
    std::optional<bool> succeeded;
    link.onAction = [&](ActionCode, LinkResult result, const ActionReply &reply) {
        succeeded = result == LinkResult::Ok && reply.status == 0;
    };
    if (!link.Controller().RequestAction(action))
        return ExitRefused;
    if (!link.RunUntil([&] { return succeeded.has_value(); }, 10000)) {
        Err() << Str(CtlStrings::ActionNotDone) << Qt::endl;
        return ExitRefused;
    }
    return *succeeded ? ExitOk : ExitRefused;
}

} // namespace CtlCommands
