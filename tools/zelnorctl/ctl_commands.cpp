#include "ctl_commands.h"

#include "dialog_answers.h"

#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"

#include "db/project_file_dialogs.h"
#include "db/project_strings.h"
#include "db/text_rules.h"
#include "link/image_mapping.h"
#include "link/module_comparison.h"
#include "link/parameter_texts.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_column_edit.h"
#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/item_progress.h"
#include "tree/module_dialog_logic.h"
#include "tree/module_dialog_service.h"
#include "tree/module_lookup.h"
#include "tree/multiply_dialog_logic.h"
#include "base/message_service.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace CtlCommands {

namespace {

// The folder levels by the word the command takes: the English word or the
// level's name in the active language, in any case.
QString FolderTable(const QString &kind)
{
    const struct {
        const char *word;
        int levelName;
        const char *table;
    } folders[] = {{"plant", HierarchyStrings::PlantName, "Equipments"},
                   {"cabinet", HierarchyStrings::CabinetName, "Racks"},
                   {"carrier", HierarchyStrings::CarrierName, "ZelnorHolders"}};
    for (const auto &folder : folders) {
        if (kind.compare(QLatin1String(folder.word), Qt::CaseInsensitive) == 0 ||
            kind.compare(Str(folder.levelName), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(folder.table);
    }
    if (kind.compare(QLatin1String("zelnor-carrier"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("ZelnorHolders");
    return QString();
}

// One item of the tree listing: its path, and for a module its type and
// channel tags.
struct TreeEntry {
    QString path;
    QString level;
    QString type;
    QStringList tags;
    bool module = false;
};

TreeEntry EntryOf(CtlProject &project, Item &item)
{
    C7100Document &document = project.Document();
    TreeEntry entry{document.GetPath(item), document.GetLevelName(item), QString(), {}, false};
    if (!FamilyOfModuleLevel(item.level().displayString()).has_value())
        return entry;
    const std::optional<CtlProject::ModuleRef> module = project.ModuleOf(item);
    if (!module)
        return entry;
    const ModuleParameters parameters = ParametersFromRows(project.RowsOf(*module)->ReadRows(), 0);
    entry.module = true;
    entry.type = parameters.type.name;
    for (int number = 1; number <= parameters.channelCount(); ++number) {
        const ChannelParameters *channel = parameters.channel(number);
        entry.tags << (channel ? channel->name : QString());
    }
    return entry;
}

void CollectSubtree(CtlProject &project, Item &item, std::vector<TreeEntry> &entries)
{
    if (item.kind() != ItemKind::Root || item.shown())
        entries.push_back(EntryOf(project, item));
    ContainerItem *container = item.asContainer();
    if (!container || !project.Document().EnsureChildren(*container))
        return;
    // Catalogue rows hang below the project too, but the tree never shows them.
    container->forEachChild([&](Item &child) {
        if (child.shown())
            CollectSubtree(project, child, entries);
    });
}

void PrintTree(const std::vector<TreeEntry> &entries, bool json)
{
    if (json) {
        QJsonArray listed;
        for (const TreeEntry &entry : entries) {
            QJsonObject object{{"path", entry.path}, {"level", entry.level}};
            if (entry.module) {
                object["type"] = entry.type;
                object["tags"] = QJsonArray::fromStringList(entry.tags);
            }
            listed.append(object);
        }
        Out() << QJsonDocument(listed).toJson() << Qt::flush;
        return;
    }
    // One line an item, whatever its stored texts hold.
    for (const TreeEntry &entry : entries) {
        Out() << TextRules::EscapeControls(entry.path);
        if (entry.module) {
            Out() << '\t' << entry.type;
            for (const QString &tag : entry.tags)
                Out() << '\t' << TextRules::EscapeControls(tag);
        }
        Out() << Qt::endl;
    }
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

// Every column set takes, as set takes it back: "COLUMN=text" with the
// channel given changes nothing.
QJsonArray ColumnsAsJson(ModuleParameterEditor &editor, int shownChannel)
{
    QJsonArray columns;
    const ParameterColumnEdit edit(editor);
    for (int channel = 1; channel <= editor.parameters().channelCount(); ++channel) {
        if (shownChannel != 0 && channel != shownChannel)
            continue;
        for (const QString &column : edit.ColumnsOf(channel)) {
            const bool moduleColumn = !ParameterColumnEdit::IsChannelColumn(column);
            if (moduleColumn && channel != (shownChannel != 0 ? shownChannel : 1))
                continue;
            const ParameterColumnEdit::Shown value = edit.Value(channel, column);
            QJsonObject entry{{"column", column},
                              {"stored", QJsonValue::fromVariant(value.stored)},
                              {"text", value.text}};
            if (!moduleColumn)
                entry["channel"] = channel;
            if (!value.unit.isEmpty())
                entry["unit"] = value.unit;
            columns.append(entry);
        }
    }
    return columns;
}

} // namespace

int New(const QString &file, bool force)
{
    ProjectDatabase database;
    AnswerFileDialogsWith(file, force);
    return Guarded([&] {
        const bool existed = QFileInfo::exists(QDir::current().absoluteFilePath(file));
        if (!database.CreateNew()) {
            Err() << Str(ProjectStrings::LogNewFailed) << Qt::endl;
            return int(existed && !force ? ExitRefused : ExitUnusable);
        }
        Out() << StrF(ProjectStrings::LogNewCreated, {database.DisplayName()}) << Qt::endl;
        return int(ExitOk);
    });
}

int Tree(const QString &path, bool json)
{
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    return Guarded([&] {
        std::vector<TreeEntry> entries;
        CollectSubtree(project, *project.Document().Root(), entries);
        PrintTree(entries, json);
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
    if (!project.Open(path, CtlProject::Access::Write))
        return project.OpenFailure();
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
        if (!document.StoreFolderNamed(*item, chosen)) {
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
    if (!project.Open(path, CtlProject::Access::Write))
        return project.OpenFailure();
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
    if (!project.Open(path, CtlProject::Access::Write))
        return project.OpenFailure();
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

int Delete(const QString &path, const QString &itemPath, bool yes)
{
    AnswerQuestionsYes(yes);
    CtlProject project;
    if (!project.Open(path, CtlProject::Access::Write))
        return project.OpenFailure();
    return Guarded([&] {
        Item *item = project.FindItem(itemPath);
        if (!item)
            return int(ExitRefused);
        const QString shownPath = project.Document().GetPath(*item);
        if (!project.Document().ConfirmAndDelete(*item))
            return int(ExitRefused);
        Out() << StrF(CtlStrings::ItemDeleted, {shownPath}) << Qt::endl;
        return int(ExitOk);
    });
}

int Multiply(const QString &path, const QString &itemPath, const MultiplyOptions &options)
{
    CtlProject project;
    if (!project.Open(path, CtlProject::Access::Write))
        return project.OpenFailure();
    return Guarded([&] {
        Item *item = project.FindItem(itemPath);
        if (!item)
            return int(ExitRefused);
        CMy7100Doc &document = project.Document();
        if (!document.MultiplyEnabled(item)) {
            Err() << StrF(CtlStrings::NotMultiplied, {document.GetPath(*item)}) << Qt::endl;
            return int(ExitRefused);
        }
        // The options fill the dialog as a user types; its checks refuse
        // what they refuse in the window. The tool leaves the window's
        // remembered numbers as they are.
        bool refusedByDialog = false;
        const MultiplyDialogService::Presenter previousDialog =
            MultiplyDialogService::setPresenter([&](MultiplyDialogLogic &logic) {
                logic.SetNumberOfItemsText(options.count);
                logic.SetFirstNumberText(options.first);
                logic.SetNumericPlacesText(options.places);
                logic.SetIncludingSubtree(options.subtree);
                if (const std::optional<QString> refusal = logic.Check()) {
                    Err() << *refusal << Qt::endl;
                    refusedByDialog = true;
                }
                return !refusedByDialog;
            });
        const ModuleDialogService::Presenter previousModules =
            ModuleDialogService::setPresenter(ModuleDialogService::acceptProposals);
        // The summary is the command's result: standard output.
        MessageService::Presenter console;
        console = MessageService::setPresenter([&console](const MessageRequest &request) {
            if (request.icon == MessageIcon::Information) {
                Out() << request.text.trimmed() << Qt::endl;
                return MessageAnswer::Ok;
            }
            return console(request);
        });
        const C7100Document::MultiplyResult result = document.Multiply(*item);
        MessageService::setPresenter(console);
        ModuleDialogService::setPresenter(previousModules);
        MultiplyDialogService::setPresenter(previousDialog);
        if (refusedByDialog)
            return int(ExitUnusable);
        return result.ran && result.errors == 0 ? int(ExitOk) : int(ExitRefused);
    });
}

int Copy(const QString &sourcePath, const QString &itemPath, const QString &targetPath, const QString &parentPath,
         bool move)
{
    CtlProject source;
    const bool sameFile = QFileInfo(sourcePath).canonicalFilePath() == QFileInfo(targetPath).canonicalFilePath();
    if (!source.Open(sourcePath, move || sameFile ? CtlProject::Access::Write : CtlProject::Access::Read))
        return source.OpenFailure();
    // One project for both ends when they are one file: a move within it is
    // checked against its own subtree, as in the program.
    std::unique_ptr<CtlProject> other;
    if (!sameFile) {
        other = std::make_unique<CtlProject>();
        if (!other->Open(targetPath, CtlProject::Access::Write))
            return other->OpenFailure();
    }
    CtlProject &target = sameFile ? source : *other;
    // A copied module is named as the module dialog proposes, the next free
    // proposal where one is taken.
    const ModuleDialogService::Presenter previousModules =
        ModuleDialogService::setPresenter(ModuleDialogService::acceptProposals);
    const int result = Guarded([&] {
        Item *item = source.FindItem(itemPath);
        Item *parent = item ? target.FindItem(parentPath) : nullptr;
        if (!item || !parent)
            return int(ExitRefused);
        CMy7100Doc &from = source.Document();
        CMy7100Doc &to = target.Document();
        const QString shownItem = from.GetPath(*item);
        const QString shownParent = to.GetPath(*parent);
        const std::optional<TransferSet> set = from.Describe({item}, move);
        if (!set || !to.AcceptsData(from.MakeTransferData(*set), parent)) {
            Err() << StrF(CtlStrings::CannotStandUnder, {shownItem, shownParent}) << Qt::endl;
            return int(ExitRefused);
        }
        const ItemHandle handle = item->handle();
        if (!to.PasteItems(*set, *parent))
            return int(ExitRefused);
        if (move) {
            // Every item was pasted: the original goes, as a completed cut.
            BulkScope bulk(from, false);
            Item *original = from.FindItem(handle);
            if (!original || !from.Delete(*original))
                return int(ExitRefused);
        }
        Out() << StrF(move ? CtlStrings::ItemMoved : CtlStrings::ItemCopied, {shownItem, shownParent}) << Qt::endl;
        return int(ExitOk);
    });
    ModuleDialogService::setPresenter(previousModules);
    return result;
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
        ModuleParameterEditor &editor = *module->editor;
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
            Out() << QJsonDocument(QJsonObject{{"module", parameters.module.name},
                                               {"parameters", listed},
                                               {"columns", ColumnsAsJson(editor, shownChannel)}})
                         .toJson();
        Out() << Qt::flush;
        return int(ExitOk);
    });
}

} // namespace CtlCommands
