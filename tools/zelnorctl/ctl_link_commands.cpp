#include "ctl_link_commands.h"

#include "ctl_link.h"
#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"
#include "ctl_transfer.h"

#include "db/text_rules.h"
#include "link/adjust_actions.h"
#include "link/module_block_history.h"
#include "link/module_comparison.h"
#include "link/monitor_file.h"
#include "link/parameter_texts.h"
#include "log/output_log.h"
#include "params/module_parameter_editor.h"
#include "base/string_table.h"
#include "tree/module_dialog_service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <limits>
#include <optional>

namespace CtlCommands {

namespace {
// The transfer of a project and the module on a port, online and looked up;
// nothing after a printed refusal (exit code in code).
// Without moduleNeededAfter the link ends once the module was compared.
std::unique_ptr<CtlTransfer> OpenTransfer(const QString &path, const QString &port, int &code,
                                          CtlProject::Access access, bool needsProjectModule = true,
                                          bool moduleNeededAfter = true)
{
    auto transfer = std::make_unique<CtlTransfer>(port);
    code = ExitUnusable;
    if (!transfer->Open(path, access, moduleNeededAfter)) {
        code = transfer->OpenFailure();
        return nullptr;
    }
    if (needsProjectModule && !transfer->HasProjectModule()) {
        // The port and the project were fine: the module was refused.
        Err() << StrF(CtlStrings::NoProjectModule, {port}) << Qt::endl;
        code = ExitRefused;
        return nullptr;
    }
    code = ExitOk;
    return transfer;
}
} // namespace

int Compare(const QString &path, const QString &port, bool json)
{
    int code = ExitOk;
    // The comparison is made as the module comes online: nothing is read after.
    const std::unique_ptr<CtlTransfer> transfer =
        OpenTransfer(path, port, code, CtlProject::Access::Read, true, false);
    if (!transfer)
        return code;
    // The report was written to the log as the module came online.
    const ModuleTransfer &moduleTransfer = transfer->Transfer();
    if (json) {
        QJsonArray differences;
        for (const ParameterDifference &difference : moduleTransfer.LastDifferences())
            differences.append(QJsonObject{{"number", difference.number},
                                           {"channel", difference.channel},
                                           {"name", difference.name},
                                           {"module", difference.moduleText},
                                           {"project", difference.otherText}});
        Out() << QJsonDocument(QJsonObject{{"equal", !moduleTransfer.HasDifferences()},
                                           {"differences", differences}})
                     .toJson()
              << Qt::flush;
    }
    return moduleTransfer.HasDifferences() ? ExitRefused : ExitOk;
}

int Upload(const QString &path, const QString &port, bool create)
{
    // Asked whether to create the missing module: --create answers it, and
    // the module dialog takes its proposals.
    AnswerQuestionsYes(create);
    const ModuleDialogService::Presenter previous = ModuleDialogService::setPresenter(
        create ? ModuleDialogService::Presenter(ModuleDialogService::acceptProposals) : nullptr);
    int code = ExitOk;
    const std::unique_ptr<CtlTransfer> transfer = OpenTransfer(path, port, code, CtlProject::Access::Write);
    ModuleDialogService::setPresenter(previous);
    AnswerQuestionsYes(false);
    if (!transfer)
        return code;
    // The question above stands answered: a script sees what it made.
    if (const Item *made = transfer->Project().Document().FindItem(transfer->Transfer().OnlineModule());
        made && transfer->Transfer().IsNewModule())
        Err() << StrF(CtlStrings::AnsweredYesCreated, {transfer->Project().Document().GetPath(*made)}) << Qt::endl;
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
    // Nothing is read after the read-back.
    if (!transfer.WaitForNotice(
            int(LinkNotice::DownloadDone), [&moduleTransfer] { return !moduleTransfer.IsReadBackPending(); },
            60000, true))
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
    const std::unique_ptr<CtlTransfer> transfer = OpenTransfer(path, port, code, CtlProject::Access::Write, false);
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

int History(const QString &path, const QString &serialNr, bool json)
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
        QJsonArray listed;
        for (const ModuleBlockHistory::Entry &entry : entries) {
            const QString savedAt = entry.savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (json)
                listed.append(QJsonObject{{"id", entry.id},
                                          {"savedAt", savedAt},
                                          {"serialNumber", entry.serialNr},
                                          {"module", entry.moduleName}});
            else
                Out() << entry.id << '\t' << savedAt << '\t' << TextRules::EscapeControls(entry.moduleName)
                      << Qt::endl;
        }
        if (json)
            Out() << QJsonDocument(listed).toJson() << Qt::flush;
        return int(ExitOk);
    });
}

int Restore(const QString &path, const QString &entryId, const QString &port)
{
    int code = ExitOk;
    const std::unique_ptr<CtlTransfer> transfer = OpenTransfer(path, port, code, CtlProject::Access::Write, false);
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
    // The records are those of the monitoring file, under its column line.
    Out() << MonitorFile::ColumnLine() << Qt::flush;
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
