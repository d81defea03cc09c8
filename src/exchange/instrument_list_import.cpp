#include "exchange/instrument_list_import.h"

#include "db/output_file.h"
#include "db/project_database.h"
#include "db/project_strings.h"

#include "exchange/csv_table.h"
#include "exchange/exchange_strings.h"
#include "tree/hierarchy_strings.h"
#include "exchange/instrument_list.h"
#include "exchange/instrument_list_strings.h"
#include "exchange/list_file.h"
#include "tree/item_progress.h"
#include "tree/module_dialog_logic.h"
#include "tree/module_dialog_service.h"
#include "tree/my7100_doc.h"
#include "tree/document_project.h"
#include "tree/transfer_set.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "db/data_error.h"
#include "db/db_session.h"
#include "db/table_level.h"
#include "log/log_line_hold.h"
#include "log/output_log.h"
#include "params/module_parameter_editor.h"
#include "params/module_types.h"
#include "params/parameter_column_edit.h"
#include "params/parameter_validation.h"
#include "params/params_strings.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QSet>

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>
#include <optional>

using namespace InstrumentListStrings;
namespace Columns = InstrumentListColumns;

namespace {

// The last error message the operations of one row showed; questions are
// answered No, as nobody is there to answer them.
class MessageCapture {
public:
    MessageCapture()
    {
        m_previous = MessageService::setPresenter([this](const MessageRequest &request) {
            if (request.icon == MessageIcon::Error || request.icon == MessageIcon::Warning)
                m_last = request.text;
            return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
        });
    }
    ~MessageCapture() { MessageService::setPresenter(m_previous); }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    QString Take() { return std::exchange(m_last, QString()); }

private:
    MessageService::Presenter m_previous;
    QString m_last;
};

// The columns of the file by their canonical names. Empty cells at the end
// of the header are left out quietly.
class HeaderMap {
public:
    explicit HeaderMap(const QStringList &header)
    {
        qsizetype used = header.size();
        while (used > 0 && header[used - 1].trimmed().isEmpty())
            --used;
        for (int index = 0; index < used; ++index) {
            const QString canonical = Columns::Canonical(header[index]);
            if (canonical.isEmpty())
                m_unknown << header[index];
            else if (m_index.contains(canonical) && m_twice.isEmpty())
                m_twice = StrF(ExchangeStrings::ColumnTwice, {header[m_index.value(canonical)].trimmed(),
                                                              header[index].trimmed()});
            else
                m_index.insert(canonical, index);
        }
    }
    bool Has(const QString &column) const { return m_index.contains(column); }
    // Cells are taken without the blanks around them.
    QString Cell(const QStringList &fields, const QString &column) const
    {
        const int index = m_index.value(column, -1);
        return index >= 0 && index < fields.size() ? fields[index].trimmed() : QString();
    }
    const QStringList &Unknown() const { return m_unknown; }
    // Why the header cannot be taken: a column named twice. Empty when it can.
    const QString &Twice() const { return m_twice; }
    // A known column whose cell holds a NUL, which no value may hold (nor
    // a database message quote); empty when none does.
    QString ColumnWithNul(const QStringList &fields) const
    {
        for (auto it = m_index.cbegin(); it != m_index.cend(); ++it) {
            if (it.value() < fields.size() && fields[it.value()].contains(QChar(0)))
                return it.key();
        }
        return QString();
    }
    // The value columns of the file in the order their values are set.
    QStringList ValueColumns() const
    {
        QStringList present;
        for (const QString &column : Columns::All()) {
            if (m_index.contains(column) && Columns::ValueColumnOf(column))
                present << column;
        }
        return present;
    }

private:
    QHash<QString, int> m_index;
    QStringList m_unknown;
    QString m_twice;
};

// One value of a row to be set: its header, channel (0: the module's) and
// value column.
struct Assignment {
    QString header;
    int channel = 0;
    QString column;
    QString text;
};

class RowRefused {
public:
    RowRefused(QString column, QString message) : column(std::move(column)), message(std::move(message)) {}
    QString column;
    QString message;
};

// Every value of a row that its column refused, each named.
struct CellsRefused {
    std::vector<RowRefused> cells;
};

// A folder the rows go into was deleted by another program since it was
// read: no row may be written under it, and the import ends.
struct FolderGone {
    ItemHandle folder;
};

// Carries the rows of one file into the document.
class RowImporter {
public:
    RowImporter(CMy7100Doc &document, const CatalogueSet &catalogues, const HeaderMap &header, bool decimalComma,
                ImportReport &report)
        : m_document(document), m_catalogues(catalogues), m_header(header), m_decimalComma(decimalComma),
          m_report(report), m_session(*document.Registry().session()), m_levels(*document.Registry().levels())
    {
    }

    // The path of the module the row added or changed, empty for a refused row.
    QString Import(const CsvRecord &record)
    {
        m_fields = record.fields;
        m_line = record.line;
        m_created = 0;
        m_capture.Take();
        try {
            return ImportRow();
        } catch (const RowRefused &refused) {
            m_report.Refuse(m_line, refused.column, refused.message);
        } catch (const CellsRefused &refused) {
            for (const RowRefused &cell : refused.cells)
                m_report.Refuse(m_line, cell.column, cell.message);
        } catch (const COLEDBException &error) {
            m_report.Refuse(m_line, QString(), MessageText(error));
        }
        // A module the refused row made would answer for it in later rows.
        // Its parameters were written past its item.
        if (m_created)
            m_document.TakeStoredModuleValues(m_created);
        if (Item *module = m_created ? m_document.FindItem(m_created) : nullptr)
            m_document.Delete(*module);
        m_capture.Take();
        return QString();
    }

private:
    QString Cell(const QString &column) const { return m_header.Cell(m_fields, column); }

    [[noreturn]] void Refuse(const QString &column, const QString &message) const { throw RowRefused(column, message); }

    QString ImportRow()
    {
        if (const QString column = m_header.ColumnWithNul(m_fields); !column.isEmpty())
            Refuse(column, Str(ExchangeStrings::NulInCell));
        const std::optional<ModuleTypeInfo> type = TypeOfRow();
        const QString tag1 = Cell(Columns::OfChannel(1, QStringLiteral("Name")));
        const QString tag2 = Cell(Columns::OfChannel(2, QStringLiteral("Name")));
        const QString named = Cell(Columns::Module);
        const QString composed = type ? ComposeModuleName(type->name, tag1, tag2, type->channelCount) : QString();
        const QString key = named.isEmpty() ? composed : named;
        Item *module = key.isEmpty() ? nullptr : FindModule(key, type);
        const bool created = module == nullptr;
        if (created) {
            if (!type)
                Refuse(Columns::Type, StrF(TypeMissing, {key}));
            if (!named.isEmpty() && named != composed)
                Refuse(Columns::Module, StrF(NameNotComposed, {named, composed}));
            module = CreateModule(FolderOfRow(), *type, tag1, tag2);
        } else if (type && m_document.GetValue(*module, QStringLiteral("ModulTypID"), true).toInt() != type->id) {
            const std::optional<ModuleTypeInfo> present = FindModuleType(
                m_session, m_levels, m_document.GetValue(*module, QStringLiteral("ModulTypID"), true).toInt());
            Refuse(Columns::Type, StrF(TypeDiffers, {key, present ? present->name : QString(), type->name}));
        } else {
            module = &MovedWhereTheRowPutsIt(*module, key, type);
        }
        const QString path = m_document.GetPath(*module);
        RefuseSecondRow(module->handle(), path);
        ImportEntry entry{m_line, path, SetValues(*module, created)};
        if (created)
            m_report.added.push_back(entry);
        else if (!entry.changes.empty())
            m_report.changed.push_back(entry);
        return path;
    }

    // A row that names the folders of a module it finds names where the
    // module stands: the module is moved there (the folders made where
    // missing), as a cut and paste in the tree moves it; where the hierarchy
    // rules do not let it stand there, the row is refused. The module as it
    // now stands.
    Item &MovedWhereTheRowPutsIt(Item &module, const QString &key, const std::optional<ModuleTypeInfo> &type)
    {
        const QString *columns[] = {&Columns::Plant, &Columns::Cabinet, &Columns::Carrier};
        if (std::none_of(std::begin(columns), std::end(columns), [this](const QString *c) { return m_header.Has(*c); }))
            return module;
        const FolderNames present = FoldersOf(m_document, module);
        const FolderNames row{Cell(Columns::Plant), Cell(Columns::Cabinet), Cell(Columns::Carrier)};
        if (row.SameAs(present))
            return module;
        const QString *blamed = columns[0];
        if (row.plant.compare(present.plant, Qt::CaseInsensitive) == 0)
            blamed = row.cabinet.compare(present.cabinet, Qt::CaseInsensitive) == 0 ? columns[2] : columns[1];
        const QString column = m_header.Has(*blamed) ? *blamed : QString();
        const QString from = m_document.GetPath(module);
        ContainerItem &folder = FolderOfRow();
        const QString cannot = StrF(CannotMoveThere, {from, m_document.GetPath(folder)});
        // The message the operation showed, else why the module stays.
        const auto refuse = [&] {
            const QString shown = m_capture.Take();
            Refuse(column, shown.isEmpty() ? cannot : shown);
        };
        const std::optional<TransferSet> set = m_document.Describe({&module}, true);
        if (!set || !m_document.AcceptsData(m_document.MakeTransferData(*set), &folder))
            Refuse(column, cannot);
        const ItemHandle original = module.handle();
        const ModuleDialogService::Presenter previous =
            ModuleDialogService::setPresenter(ModuleDialogService::acceptProposals);
        const bool pasted = m_document.PasteItems(*set, folder);
        ModuleDialogService::setPresenter(previous);
        if (!pasted)
            refuse();
        {
            // Every item was pasted: the original goes, as a completed cut.
            BulkScope bulk(m_document, false);
            Item *left = m_document.FindItem(original);
            if (!left || !m_document.Delete(*left))
                refuse();
        }
        Item *moved = FindModule(key, type);
        if (!moved)
            refuse();
        m_report.moved.push_back({m_line, from, m_document.GetPath(*moved)});
        return *moved;
    }

    // A module stands in a list once: a second row would silently undo the first.
    void RefuseSecondRow(ItemHandle module, const QString &path)
    {
        const auto earlier = m_lineOfModule.constFind(module);
        if (earlier != m_lineOfModule.cend())
            Refuse(m_header.Has(Columns::Module) ? Columns::Module : QString(),
                   StrF(ExchangeStrings::ModuleTwice, {path, *earlier}));
        m_lineOfModule.insert(module, m_line);
    }

    std::optional<ModuleTypeInfo> TypeOfRow()
    {
        const QString text = Cell(Columns::Type).trimmed();
        if (text.isEmpty())
            return std::nullopt;
        for (const ModuleFamily family : {Family7230, Family7210, Family7220}) {
            for (const ParameterRow &row : m_catalogues.Rows(ModuleTypeTable(family))) {
                if (row.textValue(QStringLiteral("Name")).trimmed().compare(text, Qt::CaseInsensitive) == 0)
                    return FindModuleType(m_session, m_levels, row.intValue(QStringLiteral("ID")));
            }
        }
        bool number = false;
        const int id = text.toInt(&number);
        std::optional<ModuleTypeInfo> byId = number ? FindModuleType(m_session, m_levels, id) : std::nullopt;
        if (!byId)
            Refuse(Columns::Type, StrF(TypeUnknown, {text}));
        return byId;
    }

    Item *FindModule(const QString &name, const std::optional<ModuleTypeInfo> &type)
    {
        for (const ModuleFamily family : {Family7230, Family7210, Family7220}) {
            if (type && type->family != family)
                continue;
            m_document.SetFamily(family);
            if (Item *module = m_document.FindModuleByValue(QStringLiteral("Name"), name))
                return module;
        }
        return nullptr;
    }

    // The plant, cabinet and zelnor-carrier of the row, made where missing;
    // the project when the row names none.
    ContainerItem &FolderOfRow()
    {
        const QString *columns[] = {&Columns::Plant, &Columns::Cabinet, &Columns::Carrier};
        const char *tables[] = {"Equipments", "Racks", "ZelnorHolders"};
        ContainerItem *folder = ProjectItemOf(m_document);
        if (!folder)
            Refuse(QString(), m_capture.Take());
        int depth = 0;
        for (int level = 0; level < 3; ++level) {
            const QString name = Cell(*columns[level]);
            if (name.isEmpty())
                continue;
            // A cabinet stands in a plant, a zelnor-carrier in a cabinet.
            if (depth != level)
                Refuse(*columns[level], StrF(FolderWithoutParent, {*columns[level], *columns[level - 1]}));
            folder = &FolderUnder(*folder, QString::fromLatin1(tables[level]), name, *columns[level]);
            ++depth;
        }
        return *folder;
    }

    ContainerItem &FolderUnder(ContainerItem &parent, const QString &table, const QString &name, const QString &column)
    {
        if (!m_document.EnsureChildren(parent))
            Refuse(column, m_capture.Take());
        ContainerItem *found = nullptr;
        parent.forEachChild([&](Item &child) {
            if (!found && child.level().tableName() == table &&
                m_document.GetValue(child, QStringLiteral("Name"), true).toString() == name)
                found = child.asContainer();
        });
        if (found)
            return StillStored(*found, column);
        CTableLevel *level = m_levels.FindByTable(table);
        Item *item = level ? m_document.CreateItem(parent, level->displayString()) : nullptr;
        if (!item)
            Refuse(column, m_capture.Take());
        // Taken as a label edit is taken: checked beside its siblings, the
        // folder counter raised.
        if (!m_document.CheckFolderName(*item, name) || !m_document.SetValue(*item, QStringLiteral("Name"), name, true) ||
            !m_document.Save(*item)) {
            m_document.CancelEdit(*item);
            Refuse(column, m_capture.Take());
        }
        m_report.addedFolders << m_document.GetPath(*item);
        return *item->asContainer();
    }

    // A folder read before the import's transaction began is asked once
    // within it whether it still stands; the answer holds until the end.
    ContainerItem &StillStored(ContainerItem &folder, const QString &column)
    {
        if (m_checked.contains(folder.handle()))
            return folder;
        const std::optional<bool> stored = m_document.StillStored(folder);
        if (!stored)
            Refuse(column, m_capture.Take());
        if (!*stored)
            throw FolderGone{folder.handle()};
        m_checked.insert(folder.handle());
        return folder;
    }

    Item *CreateModule(ContainerItem &parent, const ModuleTypeInfo &type, const QString &tag1, const QString &tag2)
    {
        // The module dialog takes the tags of the row and proposes missing ones.
        const ModuleDialogService::Presenter previous =
            ModuleDialogService::setPresenter([&](ModuleDialogLogic &logic) {
                if (!tag1.isEmpty())
                    logic.SetSignalName1(tag1);
                if (!tag2.isEmpty() && logic.ChannelCount() == 2)
                    logic.SetSignalName2(tag2);
                return logic.Accept();
            });
        Item *module = m_document.AddNewModule(parent, type.family, type.id);
        ModuleDialogService::setPresenter(previous);
        if (!module) {
            const QString message = m_capture.Take();
            Refuse(DialogColumn(message, tag2), message);
        }
        m_created = module->handle();
        return module;
    }

    static QString DialogColumn(const QString &message, const QString &tag2)
    {
        using namespace HierarchyStrings;
        if (message == Str(ModuleNameTooLong))
            return Columns::Module;
        if (message == Str(SignalName2TooLong) || message == Str(SameChannelNames) ||
            message == StrF(SignalNameExists, {tag2, Str(Channel2)}))
            return Columns::OfChannel(2, QStringLiteral("Name"));
        return Columns::OfChannel(1, QStringLiteral("Name"));
    }

    std::vector<Assignment> AssignmentsOf(bool created, int channelCount) const
    {
        std::vector<Assignment> assignments;
        for (const QString &header : m_header.ValueColumns()) {
            const Columns::ValueColumn value = *Columns::ValueColumnOf(header);
            const QString text = Cell(header);
            const bool name = value.column == QLatin1String("Name");
            // Names of a new module were given in the module dialog; an
            // empty cell keeps a value, except a text, which it empties.
            if ((name && (created || text.isEmpty())) || (text.isEmpty() && !Columns::IsTextColumn(value.column)))
                continue;
            if (value.channel > channelCount && text.isEmpty())
                continue;
            assignments.push_back({header, value.channel, value.column, text});
        }
        return assignments;
    }

    // The number a cell stands for: a catalogue choice by its text, a
    // decimal comma where the file separates with semicolons or a number
    // has no decimal point.
    QString ValueText(ModuleParameterEditor &editor, const Assignment &assignment) const
    {
        if (Columns::IsTextColumn(assignment.column))
            return assignment.text;
        QString text = assignment.text.trimmed();
        // A comma list may carry decimal commas too, when no point is there.
        if (m_decimalComma || !text.contains(QLatin1Char('.')))
            text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool number = false;
        text.toDouble(&number);
        const int channel = std::max(assignment.channel, 1);
        const std::vector<ChoiceEntry> offered = ParameterColumnEdit(editor).OfferedCodes(channel, assignment.column);
        QStringList texts;
        for (const ChoiceEntry &entry : offered) {
            if (!entry.text.trimmed().isEmpty())
                texts << entry.text.trimmed();
        }
        if (number || texts.isEmpty())
            return text;
        for (const ChoiceEntry &entry : offered) {
            if (entry.text.trimmed().compare(assignment.text.trimmed(), Qt::CaseInsensitive) == 0)
                return QString::number(entry.data);
        }
        Refuse(assignment.header, StrF(ChoiceUnknown, {assignment.text.trimmed(), assignment.header,
                                                       texts.join(QStringLiteral(", "))}));
    }

    // Sets every value of the row on the module and applies them; the
    // values that changed, for a module that was there before.
    std::vector<ImportChange> SetValues(Item &module, bool created)
    {
        ProjectParameterRows rows(m_session, m_levels, module.level().tableName(), module.id().toInt());
        ModuleParameterEditor editor(rows, m_catalogues);
        if (!editor.Load())
            Refuse(QString(), m_capture.Take());
        const std::vector<Assignment> assignments = AssignmentsOf(created, editor.parameters().channelCount());
        const QStringList before = created ? QStringList() : Texts(editor);
        ParameterColumnEdit edit(editor);
        CellsRefused refused;
        std::vector<Assignment> taken;
        for (const Assignment &assignment : assignments) {
            try {
                const QString refusal =
                    edit.Apply(std::max(assignment.channel, 1), {{assignment.column, ValueText(editor, assignment)}});
                if (refusal.isEmpty())
                    taken.push_back(assignment);
                else
                    refused.cells.emplace_back(assignment.header, refusal);
            } catch (const RowRefused &cell) {
                refused.cells.push_back(cell);
            }
        }
        // Every cell of the row that cannot be taken is named, not only the
        // first: with the checks of Apply on the values that were taken.
        if (!refused.cells.empty()) {
            if (const std::optional<QString> failed = FailedCheck(editor))
                refused.cells.emplace_back(Blame(rows, taken, *failed), *failed);
            throw refused;
        }
        if (editor.Apply() == ModuleParameterEditor::ApplyResult::Refused) {
            const QString message = m_capture.Take();
            Refuse(Blame(rows, assignments, message), message);
        }
        return created ? std::vector<ImportChange>() : Changes(before, Texts(editor));
    }

    QStringList Texts(const ModuleParameterEditor &editor) const
    {
        QStringList texts = {editor.parameters().module.name};
        for (const QString &header : m_header.ValueColumns()) {
            const Columns::ValueColumn value = *Columns::ValueColumnOf(header);
            const bool present = value.channel <= editor.parameters().channelCount();
            texts << (present ? Columns::CellText(editor, std::max(value.channel, 1), value.column, false) : QString());
        }
        return texts;
    }

    std::vector<ImportChange> Changes(const QStringList &before, const QStringList &after) const
    {
        const QStringList headers = QStringList{Columns::Module} + m_header.ValueColumns();
        std::vector<ImportChange> changes;
        for (int index = 0; index < headers.size(); ++index) {
            if (before[index] != after[index])
                changes.push_back({headers[index], before[index], after[index]});
        }
        return changes;
    }

    // The value the refusal of Apply is about: the first one without which
    // the module passes the checks. Else the text column the message quotes.
    QString Blame(ParameterRowSource &rows, const std::vector<Assignment> &assignments, const QString &message)
    {
        if (message == Str(ParamsStrings::SameChannelNames))
            return NameColumnOf(assignments);
        for (size_t left = 0; left < assignments.size(); ++left) {
            ModuleParameterEditor probe(rows, m_catalogues);
            if (!probe.Load())
                break;
            for (size_t index = 0; index < assignments.size(); ++index) {
                if (index != left)
                    ApplyQuietly(probe, assignments[index]);
            }
            if (PassesChecks(probe))
                return assignments[left].header;
        }
        m_capture.Take();
        for (const Assignment &assignment : assignments) {
            if (Columns::IsTextColumn(assignment.column) && !assignment.text.isEmpty() &&
                message.contains(QLatin1Char('\'') + assignment.text + QLatin1Char('\'')))
                return assignment.header;
        }
        return QString();
    }

    void ApplyQuietly(ModuleParameterEditor &editor, const Assignment &assignment) const
    {
        try {
            ParameterColumnEdit(editor).Apply(std::max(assignment.channel, 1),
                                              {{assignment.column, ValueText(editor, assignment)}});
        } catch (const RowRefused &) {
            // Without the value left out another one may not fit: it stays as it was.
        }
    }

    // The channel name the row sets, the second before the first.
    static QString NameColumnOf(const std::vector<Assignment> &assignments)
    {
        QString column;
        for (const Assignment &assignment : assignments) {
            if (assignment.column == QLatin1String("Name") && assignment.channel > 0)
                column = assignment.header;
        }
        return column;
    }

    bool PassesChecks(const ModuleParameterEditor &probe) { return !FailedCheck(probe); }

    // The message of the first check of Apply the values fail; nothing
    // when they pass.
    std::optional<QString> FailedCheck(const ModuleParameterEditor &probe)
    {
        const ModuleParameters &parameters = probe.parameters();
        const ParameterValidator validator(m_catalogues, parameters);
        bool passes = probe.CheckTexts() && (parameters.family == Family7220 || validator.CheckMeasuringRange());
        for (int channel = 1; passes && channel <= 2; ++channel)
            passes = !parameters.hasChannel(channel) || validator.ValidateChannel(channel);
        const QString message = m_capture.Take();
        return passes ? std::nullopt : std::optional<QString>(message);
    }

    CMy7100Doc &m_document;
    const CatalogueSet &m_catalogues;
    const HeaderMap &m_header;
    bool m_decimalComma;
    ImportReport &m_report;
    DbSession &m_session;
    CLevelList &m_levels;
    MessageCapture m_capture;
    QStringList m_fields;
    int m_line = 0;
    ItemHandle m_created = 0;              // the module the present row made
    QHash<ItemHandle, int> m_lineOfModule; // the line each module was met on
    QSet<ItemHandle> m_checked;            // folders known to stand within the transaction
};

} // namespace

ImportReport InstrumentListImport::Run(const QByteArray &file, bool write, const QString &fileName)
{
    ImportReport report;
    // Said once, before any row is tried against a project that refuses
    // writing; the preview is made against a copy of it.
    if (m_document.IsReadOnly()) {
        const QString readOnly = StrF(ProjectStrings::OpenForReadingOnly, {m_document.PathName()});
        std::optional<ImportReport> preview = write ? std::nullopt : PreviewOnCopy(file);
        if (preview) {
            preview->readOnly = readOnly;
            return *preview;
        }
        report.fileError = readOnly;
        return report;
    }
    const CsvTable table = ListFile::Read(file, fileName);
    report.encoding = table.encoding;
    if (!table.error.isEmpty()) {
        report.fileError = table.error;
        return report;
    }
    const HeaderMap header(table.records.empty() ? QStringList() : table.records.front().fields);
    if (!header.Twice().isEmpty()) {
        report.fileError = header.Twice();
        return report;
    }
    if (!header.Has(Columns::Type) && !header.Has(Columns::Module)) {
        report.fileError = Str(NoKeyColumn);
        return report;
    }
    if (table.records.size() < 2) {
        report.fileError = Str(NoModuleRows);
        return report;
    }
    DbSession *session = m_document.Registry().session();
    if (!session || !m_document.Registry().levels() || !session->BeginTransaction()) {
        report.fileError = Str(ProjectBusy);
        return report;
    }
    report.unknownColumns = header.Unknown();
    report.rows = int(table.records.size()) - 1;
    // What the rows do is logged only when it is kept.
    LogLineHold hold;
    bool cancelled = false;
    ItemHandle gone = 0;
    try {
        RowImporter importer(m_document, m_catalogues, header, table.decimalComma(), report);
        const std::unique_ptr<ItemProgress> progress = ProgressService::Begin(write ? ProgressKind::Importing : ProgressKind::Checking, report.rows);
        for (size_t index = 1; index < table.records.size() && !cancelled; ++index) {
            const QString path = importer.Import(table.records[index]);
            cancelled = !progress->Step(1, QString(), path);
        }
    } catch (const FolderGone &folderGone) {
        gone = folderGone.folder;
    }
    if (cancelled || gone)
        report.Forget();
    if (cancelled)
        report.fileError = Str(ImportCancelled);
    const bool keep = write && !cancelled && !gone && report.refused.empty() && session->Commit();
    if (!keep)
        session->Rollback();
    hold.Release(keep);
    report.written = keep;
    if (gone) {
        report.fileError = m_document.StoppedByDeletion(NothingImportedBeforeGone, 0, report.rows, gone);
        report.stoppedByDeletion = true;
    }
    // The items in memory are read again from what the project now holds.
    if (ContainerItem *project = ProjectItemOf(m_document))
        m_document.ReloadAfterRollback(project->handle());
    // The modules and signals it changed were written past their items.
    if (keep)
        m_document.TakeStoredValues(
            [](const Item &item) { return CMy7100Doc::IsModule(item) || CMy7100Doc::IsSignal(item); });
    return report;
}

std::optional<ImportReport> InstrumentListImport::PreviewOnCopy(const QByteArray &file) const
{
    const QFileInfo project(m_document.PathName());
    QTemporaryDir dir;
    if (!project.isFile() || !dir.isValid())
        return std::nullopt;
    const QString copy = dir.filePath(project.fileName());
    QFile source(project.filePath());
    if (!source.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString failure = OutputFile::Write({copy, OutputFile::Content::Project}, [&source](QIODevice &out) {
        while (!source.atEnd()) {
            const QByteArray chunk = source.read(1 << 20);
            if (chunk.isEmpty() || out.write(chunk) != chunk.size())
                return false;
        }
        return true;
    });
    if (!failure.isEmpty())
        return std::nullopt;
    // What opening the copy would say is not the user's business.
    const MessageCapture quiet;
    ProjectDatabase database;
    try {
        if (!database.OpenFile(copy, database.OpenUser(), database.OpenPassword()))
            return std::nullopt;
    } catch (const COLEDBException &) {
        return std::nullopt;
    }
    // A copy with damaged cells is read-only too: no preview then.
    std::optional<ImportReport> report;
    if (!database.ReadOnly()) {
        CMy7100Doc document;
        document.OpenProject(DocumentProject(database));
        report = InstrumentListImport(document, m_catalogues).Run(file, false);
    }
    database.CloseDatabase();
    return report;
}

void ImportReport::Forget()
{
    added.clear();
    changed.clear();
    moved.clear();
    refused.clear();
    refusalsNotShown = 0;
    m_refusedRows = 0;
    m_lastRefusedLine = -1;
    addedFolders.clear();
}

void ImportReport::Refuse(int line, const QString &column, const QString &message)
{
    // Rows are checked in the file's order: a row's refusals come together.
    if (line != m_lastRefusedLine) {
        ++m_refusedRows;
        m_lastRefusedLine = line;
    }
    if (refused.size() < kShownRefusals)
        refused.push_back({line, column, message});
    else
        ++refusalsNotShown;
}

QString ImportReport::RefusalText(const ImportRefusal &refusal)
{
    return refusal.column.isEmpty() ? StrF(RefusedWithoutColumn, {refusal.line, refusal.message})
                                    : StrF(RefusedWithColumn, {refusal.line, refusal.column, refusal.message});
}

QStringList ImportReport::Lines(ImportLines shown) const
{
    const bool all = shown == ImportLines::All;
    QStringList lines;
    if (all && !encoding.isEmpty())
        lines << StrF(ExchangeStrings::ReadAs, {encoding});
    if (all && !unknownColumns.isEmpty())
        lines << StrF(UnknownColumns, {unknownColumns.join(QStringLiteral(", "))});
    // Refusals first: they are what must be put right.
    if (all || shown == ImportLines::Refused) {
        for (const ImportRefusal &refusal : refused)
            lines << StrF(RefusedLine, {RefusalText(refusal)});
        if (refusalsNotShown > 0)
            lines << StrF(MoreRefusalsNotShown, {refusalsNotShown});
    }
    // What is not written is said as what would be done.
    if (all || shown == ImportLines::Added) {
        for (const QString &folder : addedFolders)
            lines << StrF(written ? FolderAddedLine : WouldAddFolder, {folder});
        for (const ImportEntry &entry : added)
            lines << StrF(written ? AddedLine : WouldAdd, {entry.path});
    }
    if (all || shown == ImportLines::Moved) {
        for (const ImportMove &move : moved)
            lines << StrF(written ? MovedLine : WouldMove, {move.from, move.to});
    }
    if (all || shown == ImportLines::Changed) {
        for (const ImportEntry &entry : changed) {
            lines << StrF(written ? ChangedLine : WouldChange, {entry.path});
            for (const ImportChange &change : entry.changes)
                lines << StrF(ChangedValue, {change.column, change.before, change.after});
        }
    }
    return lines;
}

QString ImportReport::Text(const QString &fileName) const
{
    return (QStringList{Summary(fileName)} + Lines()).join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString ImportReport::Summary(const QString &fileName) const
{
    if (!fileError.isEmpty())
        return fileError;
    const QString outcome = Outcome(fileName);
    return readOnly.isEmpty() ? outcome : readOnly + QLatin1Char('\n') + outcome;
}

QString ImportReport::Outcome(const QString &fileName) const
{
    if (!refused.empty())
        return StrF(ImportRefused, {RefusedRows(), rows});
    const int moves = int(moved.size());
    if (!written && moves > 0)
        return StrF(DryRunSummaryWithMoves, {int(added.size()), int(changed.size()), moves, RefusedRows()});
    if (!written)
        return StrF(DryRunSummary, {int(added.size()), int(changed.size()), RefusedRows()});
    if (moves > 0)
        return StrF(ImportedWithMoves,
                    {fileName, int(added.size()), int(changed.size()), moves, int(addedFolders.size())});
    return StrF(Imported, {fileName, int(added.size()), int(changed.size()), int(addedFolders.size())});
}
