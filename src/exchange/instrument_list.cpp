#include "exchange/instrument_list.h"

#include "tree/hierarchy_strings.h"
#include "exchange/instrument_list_strings.h"
#include "exchange/list_file.h"
#include "tree/my7100_doc.h"

#include "base/number_text.h"
#include "base/string_table.h"
#include "db/data_error.h"
#include "params/catalogue_choices.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_column_edit.h"
#include "params/parameter_rows.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <set>
#include <tuple>

namespace InstrumentListColumns {

namespace {
const QString kChannelPrefix = QStringLiteral("Ch%1.");

QStringList ValueColumns(bool channel)
{
    QStringList columns;
    for (const QString &column : ParameterColumnEdit::Columns()) {
        if (ParameterColumnEdit::IsChannelColumn(column) == channel)
            columns << column;
    }
    return columns;
}
} // namespace

QString OfChannel(int channel, const QString &column)
{
    return kChannelPrefix.arg(channel) + column;
}

QStringList All()
{
    QStringList all = {Plant, Cabinet, Carrier, Type, Module};
    all += ValueColumns(false);
    for (int channel = 1; channel <= 2; ++channel) {
        for (const QString &column : ValueColumns(true))
            all << OfChannel(channel, column);
    }
    return all;
}

std::optional<ValueColumn> ValueColumnOf(const QString &header)
{
    const QString name = header.trimmed();
    for (const QString &column : ValueColumns(false)) {
        if (column.compare(name, Qt::CaseInsensitive) == 0)
            return ValueColumn{0, column};
    }
    for (int channel = 1; channel <= 2; ++channel) {
        const QString prefix = kChannelPrefix.arg(channel);
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        for (const QString &column : ValueColumns(true)) {
            if (column.compare(name.mid(prefix.size()), Qt::CaseInsensitive) == 0)
                return ValueColumn{channel, column};
        }
    }
    return std::nullopt;
}

QString Canonical(const QString &header)
{
    for (const QString &known : All()) {
        if (known.compare(header.trimmed(), Qt::CaseInsensitive) == 0)
            return known;
    }
    return QString();
}

bool IsTextColumn(const QString &column)
{
    static const QStringList texts = {QStringLiteral("Name"), QStringLiteral("Description"),
                                      QStringLiteral("Comment"), QStringLiteral("LastProgramming")};
    return texts.contains(column, Qt::CaseInsensitive);
}

bool HoldsNumbers(const QString &header)
{
    const std::optional<ValueColumn> value = ValueColumnOf(header);
    return value && !IsTextColumn(value->column);
}

namespace {
bool FallsBackToFirst(const QString &column)
{
    static const QStringList columns = {QStringLiteral("WorkingModeID"), QStringLiteral("SensorTypID"),
                                        QStringLiteral("TypeOfCircuitID"), QStringLiteral("TCtypeID"),
                                        QStringLiteral("Zaehlerignis"), QStringLiteral("RangeUnitsID")};
    return columns.contains(column, Qt::CaseInsensitive);
}
} // namespace

QString CellText(const ModuleParameterEditor &editor, int channel, const QString &column, bool codes)
{
    // The column reader only reads; it takes the editor for the choices.
    const ParameterColumnEdit edit(const_cast<ModuleParameterEditor &>(editor));
    const ParameterColumnEdit::Shown shown = edit.Value(channel, column);
    if (!shown.stored.isValid())
        return shown.text;
    const std::vector<ChoiceEntry> offered = edit.OfferedCodes(channel, column);
    int code = shown.stored.toInt();
    const ChannelParameters *ch = editor.parameters().channel(channel);
    const bool relayFunction = column.endsWith(QLatin1String("LimitValue"), Qt::CaseInsensitive);
    if (relayFunction && ch && ch->relayState(column.startsWith(QLatin1String("Relay2")) ? 2 : 1) == 0)
        code = CatalogueChoices::kRelayNotUsedId - CatalogueChoices::kRelayFunctionOffset;
    auto entry = std::find_if(offered.begin(), offered.end(), [code](const ChoiceEntry &e) { return e.data == code; });
    // The Input and range choices show their first entry for a value their
    // filter does not offer, and the page stores it: the list carries what
    // the page shows.
    if (entry == offered.end() && !offered.empty() && FallsBackToFirst(column)) {
        entry = offered.begin();
        if (codes)
            return QString::number(entry->data);
    }
    if (codes)
        return shown.text;
    if (entry == offered.end() || entry->text.trimmed().isEmpty())
        return entry == offered.end() ? shown.text : QString::number(entry->data);
    const QString text = entry->text.trimmed();
    bool number = false;
    text.toDouble(&number);
    const auto sameText = std::count_if(offered.begin(), offered.end(), [&text](const ChoiceEntry &e) {
        return e.text.trimmed().compare(text, Qt::CaseInsensitive) == 0;
    });
    return number || sameText > 1 ? QString::number(entry->data) : text;
}

} // namespace InstrumentListColumns

namespace {

using namespace InstrumentListColumns;

// Where a module sits: the names of its plant, cabinet and zelnor-carrier.
struct ModulePlace {
    Item *item = nullptr;
    QString plant;
    QString cabinet;
    QString carrier;
    QString name;
};

void CollectModules(CMy7100Doc &document, Item &item, std::vector<ModulePlace> &modules)
{
    if (CMy7100Doc::IsModule(item)) {
        ModulePlace place{&item, {}, {}, {}, document.GetValue(item, QStringLiteral("Name"), true).toString()};
        for (ContainerItem *parent = item.parent(); parent; parent = parent->parent()) {
            const QString &table = parent->level().tableName();
            const QString name = document.GetValue(*parent, QStringLiteral("Name"), true).toString();
            if (table == QLatin1String("Equipments"))
                place.plant = name;
            else if (table == QLatin1String("Racks"))
                place.cabinet = name;
            else if (table == QLatin1String("ZelnorHolders"))
                place.carrier = name;
        }
        modules.push_back(place);
        return;
    }
    ContainerItem *container = item.asContainer();
    const bool folderOrProject =
        CMy7100Doc::IsFolder(item) || item.level().displayString() == HierarchyStrings::ProjectName;
    if (!container || !folderOrProject || !document.EnsureChildren(*container))
        return;
    container->forEachChild([&](Item &child) { CollectModules(document, child, modules); });
}

} // namespace

ContainerItem *ProjectItemOf(CMy7100Doc &document)
{
    ContainerItem *root = document.Root();
    ContainerItem *project = nullptr;
    if (root && document.EnsureChildren(*root)) {
        root->forEachChild([&project](Item &child) {
            if (!project && child.level().displayString() == HierarchyStrings::ProjectName)
                project = child.asContainer();
        });
    }
    return project;
}

InstrumentListExport::Result InstrumentListExport::Rows(Item *under, bool codes)
{
    Result result;
    std::vector<ModulePlace> modules;
    Item *top = under ? under : ProjectItemOf(m_document);
    if (!top)
        return result;
    CollectModules(m_document, *top, modules);
    std::sort(modules.begin(), modules.end(), [](const ModulePlace &a, const ModulePlace &b) {
        return std::tie(a.plant, a.cabinet, a.carrier, a.name) < std::tie(b.plant, b.cabinet, b.carrier, b.name);
    });
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    if (!session || !levels)
        return result;
    const QStringList all = All();
    std::vector<QStringList> cells;
    std::set<int> present = {0, 1, 2, 3, 4};
    try {
        for (const ModulePlace &place : modules) {
            ProjectParameterRows rows(*session, *levels, place.item->level().tableName(), place.item->id().toInt());
            ModuleParameterEditor editor(rows, m_catalogues);
            if (!editor.Load())
                return result;
            QStringList record = {place.plant, place.cabinet, place.carrier, editor.parameters().type.name,
                                  editor.parameters().module.name};
            const ParameterColumnEdit edit(editor);
            for (int index = int(record.size()); index < all.size(); ++index) {
                const std::optional<ValueColumn> value = ValueColumnOf(all[index]);
                const int channel = value->channel == 0 ? 1 : value->channel;
                if (value->channel > editor.parameters().channelCount() ||
                    !edit.Value(channel, value->column).stored.isValid()) {
                    record << QString();
                    continue;
                }
                present.insert(index);
                record << CellText(editor, channel, value->column, codes);
            }
            cells.push_back(record);
        }
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return result;
    }
    const auto keep = [&present](const QStringList &record) {
        QStringList kept;
        for (const int index : present)
            kept << record[index];
        return kept;
    };
    result.records << keep(all);
    for (const QStringList &record : cells)
        result.records << keep(record);
    result.modules = int(modules.size());
    result.ok = true;
    return result;
}

namespace {
// The numbers of the value columns with a decimal comma; texts stay as typed.
QList<QStringList> WithDecimalCommas(QList<QStringList> records)
{
    if (records.isEmpty())
        return records;
    const QStringList header = records.front();
    for (int column = 0; column < header.size(); ++column) {
        if (!HoldsNumbers(header[column]))
            continue;
        for (qsizetype row = 1; row < records.size(); ++row) {
            if (column >= records[row].size())
                continue;
            QString &cell = records[row][column];
            if (NumberText::Parse(cell))
                cell.replace(QLatin1Char('.'), QLatin1Char(','));
        }
    }
    return records;
}
} // namespace

QByteArray EncodeList(const QList<QStringList> &records, const CsvDialect &dialect)
{
    return CsvEncode(dialect.decimalComma ? WithDecimalCommas(records) : records, dialect);
}

QString WriteListFile(const OutputFile::Target &target, const QByteArray &bytes)
{
    return OutputFile::WriteBytes(ListFile::WithHeadOf(target, bytes), bytes);
}
