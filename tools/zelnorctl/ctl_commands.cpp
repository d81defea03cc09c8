#include "ctl_commands.h"

#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"

#include "db/data_error.h"
#include "db/project_file_dialogs.h"
#include "db/project_strings.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_column_edit.h"
#include "shell/string_table.h"

#include <QDir>

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
        C7100Document &document = project.Document();
        Item *parent = project.FindItem(parentPath);
        CTableLevel *level = project.Database().Levels().FindByTable(table);
        ContainerItem *container = parent ? parent->asContainer() : nullptr;
        Item *item = container && level ? document.CreateItem(*container, level->displayString()) : nullptr;
        if (!item) {
            if (parent)
                Err() << StrF(CtlStrings::NotAFolderKind, {kind}) << Qt::endl;
            return int(ExitRefused);
        }
        if (!name.isEmpty())
            document.SetValue(*item, QStringLiteral("Name"), name, true);
        if (!document.Save(*item)) {
            document.CancelEdit(*item);
            return int(ExitRefused);
        }
        Out() << StrF(CtlStrings::ItemAdded, {document.GetPath(*item)}) << Qt::endl;
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
        Item *item = project.FindItem(modulePath);
        const std::optional<CtlProject::ModuleRef> module = item ? project.ModuleOf(*item) : std::nullopt;
        if (!module)
            return int(ExitRefused);
        // A signal names its own channel.
        if (module->shownChannel != 0 && channel != 0 && channel != module->shownChannel) {
            Err() << StrF(CtlStrings::BadChannel, {channel}) << Qt::endl;
            return int(ExitRefused);
        }
        const int edited = module->shownChannel != 0 ? module->shownChannel : channel == 0 ? 1 : channel;
        std::unique_ptr<ProjectParameterRows> rows = project.RowsOf(*module);
        ModuleParameterEditor editor(*rows, project.Catalogues(), module->shownChannel);
        if (!editor.Load())
            return int(ExitRefused);
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

} // namespace CtlCommands
