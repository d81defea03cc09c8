#include "exchange/instrument_list.h"

#include "tree/hierarchy_strings.h"
#include "exchange/instrument_list_strings.h"
#include "exchange/list_file.h"
#include "tree/my7100_doc.h"

#include "base/language.h"
#include "base/number_text.h"
#include "base/string_table.h"
#include "db/data_error.h"
#include "params/catalogue_choices.h"
#include "params/module_parameter_editor.h"
#include "params/page_strings.h"
#include "params/parameter_values.h"
#include "params/parameter_column_edit.h"
#include "params/parameter_rows.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

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
    // The columns are fixed: made once, as every header of a file is matched against them.
    static const QStringList columns = [] {
        QStringList all = {Plant, Cabinet, Carrier, Type, Module};
        all += ValueColumns(false);
        for (int channel = 1; channel <= 2; ++channel) {
            for (const QString &column : ValueColumns(true))
                all << OfChannel(channel, column);
        }
        return all;
    }();
    return columns;
}

namespace {
// The label a value column has on the pages (its other form on 7220
// pages, if any) and the relay whose group it is in.
struct PageLabel {
    int text = 0;
    int text7220 = 0;
    int relay = 0;
};

PageLabel PageLabelOf(const QString &column)
{
    using namespace PageStrings;
    static const QHash<QString, PageLabel> labels = {
        {QStringLiteral("Comment"), {Comment}},
        {QStringLiteral("LastProgramming"), {Date}},
        {QStringLiteral("DIPSwitch"), {DipSwitch, Configuration}},
        {QStringLiteral("Name"), {SignalTag}},
        {QStringLiteral("Description"), {Description}},
        {QStringLiteral("WorkingModeID"), {WorkingMode}},
        {QStringLiteral("SensorTypID"), {SensorType}},
        {QStringLiteral("TypeOfCircuitID"), {CircuitType}},
        {QStringLiteral("TCtypeID"), {TcType}},
        {QStringLiteral("Zaehlerignis"), {ImpulseType}},
        {QStringLiteral("RangeUnitsID"), {Units}},
        {QStringLiteral("OutputSignalType"), {OutputSignalType}},
        {QStringLiteral("OutputErrorStop"), {ErrorBehaviour}},
        {QStringLiteral("Relay1LimitValue"), {LimitingValueLabel, BehaviorContactLabel, 1}},
        {QStringLiteral("Relay1AgainSettingProtection"), {RelayLockout, ResetLockout, 1}},
        {QStringLiteral("Relay2LimitValue"), {LimitingValueLabel, BehaviorContactLabel, 2}},
        {QStringLiteral("Relay2AgainSettingProtection"), {RelayLockout, ResetLockout, 2}},
        {QStringLiteral("Ueberlauf"), {Overflow}},
        {QStringLiteral("Impulsausgangaktiv"), {ImpulseOutputActive}},
        {QStringLiteral("WireResistance"), {WireResistance}},
        {QStringLiteral("ComparePlaceTemp"), {ComparisonTemperature}},
        {QStringLiteral("RangeBegin"), {InstrumentListStrings::RangeBeginHeader}},
        {QStringLiteral("RangeEnd"), {InstrumentListStrings::RangeEndHeader}},
        {QStringLiteral("OutputErrorValue"), {OutputErrorValue, OutputFaultValue7220}},
        {QStringLiteral("Relay1ActiveRangeValue"), {MinimalValue, LimitValueLabel, 1}},
        {QStringLiteral("Relay1Hysteresis"), {Hysteresis, 0, 1}},
        {QStringLiteral("Relay2ActiveRangeValue"), {MinimalValue, LimitValueLabel, 2}},
        {QStringLiteral("Relay2Hysteresis"), {Hysteresis, 0, 2}},
        {QStringLiteral("Zahlteilerkvocient"), {Divisor}},
        {QStringLiteral("Anlaufverzoegurung"), {StartupDelay}},
        {Plant, {InstrumentListStrings::PlantHeader}},
        {Cabinet, {InstrumentListStrings::CabinetHeader}},
        {Carrier, {InstrumentListStrings::CarrierHeader}},
        {Type, {InstrumentListStrings::TypeHeader}},
        {Module, {InstrumentListStrings::ModuleHeader}},
    };
    return labels.value(column);
}

// A label as a header: without its accelerator and the colon after it.
QString Bare(QString label)
{
    label.remove(QLatin1Char('&'));
    label = label.trimmed();
    while (label.endsWith(QLatin1Char(':')))
        label = label.chopped(1).trimmed();
    return label;
}

using Texts = QHash<int, QString>;

QString TextOf(const Texts &texts, int id)
{
    return texts.value(id, QStringLiteral("#%1").arg(id));
}

// The header of a known column in a language; the 7220 pages' form of
// its label when form7220 is set (empty where it has none).
QString HeaderIn(const Texts &texts, const QString &canonical, bool form7220)
{
    int channel = 0;
    QString column = canonical;
    for (int ch = 1; ch <= 2; ++ch) {
        if (canonical.startsWith(kChannelPrefix.arg(ch))) {
            channel = ch;
            column = canonical.mid(kChannelPrefix.arg(ch).size());
        }
    }
    const PageLabel label = PageLabelOf(column);
    const int text = form7220 ? label.text7220 : label.text;
    if (text == 0)
        return QString();
    QString header = Bare(TextOf(texts, text));
    if (label.relay != 0)
        header = Bare(TextOf(texts, label.relay == 1 ? PageStrings::Relay1 : PageStrings::Relay2)) +
                 QLatin1Char(' ') + header;
    if (channel != 0)
        header = FormatText(TextOf(texts, InstrumentListStrings::ChannelHeader), {channel, header});
    return header;
}

// Every header of every language, case folded, by the column it names.
// The packs are read once: they do not change while the program runs.
const QHash<QString, QString> &ColumnsByHeader()
{
    static const QHash<QString, QString> columns = [] {
        QHash<QString, QString> byHeader;
        const QStringList all = All();
        for (int language = 1; language <= Language::kCount; ++language) {
            const Texts texts = Language::packTexts(language);
            if (texts.isEmpty())
                continue;
            for (const bool form7220 : {false, true}) {
                for (const QString &column : all) {
                    const QString header = HeaderIn(texts, column, form7220);
                    if (!header.isEmpty() && !byHeader.contains(header.toCaseFolded()))
                        byHeader.insert(header.toCaseFolded(), column);
                }
            }
        }
        return byHeader;
    }();
    return columns;
}
} // namespace

QString Header(const QString &column)
{
    const QString header = HeaderIn(StringTable::instance().entries(), column, false);
    return header.isEmpty() ? column : header;
}

std::optional<ValueColumn> ValueColumnOf(const QString &header)
{
    const QString name = Canonical(header);
    if (name.isEmpty())
        return std::nullopt;
    for (const QString &column : ValueColumns(false)) {
        if (column == name)
            return ValueColumn{0, column};
    }
    for (int channel = 1; channel <= 2; ++channel) {
        const QString prefix = kChannelPrefix.arg(channel);
        if (name.startsWith(prefix))
            return ValueColumn{channel, name.mid(prefix.size())};
    }
    return std::nullopt;
}

QString Canonical(const QString &header)
{
    const QString name = header.trimmed();
    for (const QString &known : All()) {
        if (known.compare(name, Qt::CaseInsensitive) == 0)
            return known;
    }
    return ColumnsByHeader().value(name.toCaseFolded());
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

namespace {
// A number as the page shows it: zeros past the page's decimals dropped,
// the digits that hold the value kept (21.500000 is 21.500, 21.5004 stays).
QString WithPageDecimals(QString text, int decimals)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text;
    while (text.size() - point - 1 > decimals && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}
} // namespace

QString CellText(const ModuleParameterEditor &editor, int channel, const QString &column, bool codes)
{
    if (column.compare(QLatin1String("OutputErrorValue"), Qt::CaseInsensitive) == 0)
        return WithPageDecimals(ParameterColumnEdit(const_cast<ModuleParameterEditor &>(editor)).Value(channel, column).text,
                                ParameterValues::kOutputErrorValueDecimals);

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

// Where a module sits and its name.
struct ModulePlace {
    Item *item = nullptr;
    FolderNames folders;
    QString name;
};

void CollectModules(CMy7100Doc &document, Item &item, std::vector<ModulePlace> &modules)
{
    if (CMy7100Doc::IsModule(item)) {
        modules.push_back({&item, FoldersOf(document, item),
                           document.GetValue(item, QStringLiteral("Name"), true).toString()});
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

FolderNames FoldersOf(CMy7100Doc &document, const Item &module)
{
    FolderNames folders;
    for (ContainerItem *parent = module.parent(); parent; parent = parent->parent()) {
        const QString &table = parent->level().tableName();
        const QString name = document.GetValue(*parent, QStringLiteral("Name"), true).toString();
        if (table == QLatin1String("Equipments"))
            folders.plant = name;
        else if (table == QLatin1String("Racks"))
            folders.cabinet = name;
        else if (table == QLatin1String("ZelnorHolders"))
            folders.carrier = name;
    }
    return folders;
}

bool FolderNames::SameAs(const FolderNames &other) const
{
    // Folder names are matched without regard to case, as siblings are.
    return plant.compare(other.plant, Qt::CaseInsensitive) == 0 &&
           cabinet.compare(other.cabinet, Qt::CaseInsensitive) == 0 &&
           carrier.compare(other.carrier, Qt::CaseInsensitive) == 0;
}

QString FolderNames::PathBelow(const QString &projectPath) const
{
    QString path = projectPath;
    for (const QString *name : {&plant, &cabinet, &carrier}) {
        if (!name->isEmpty())
            path += QLatin1Char('\\') + *name;
    }
    return path;
}

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
        return std::tie(a.folders.plant, a.folders.cabinet, a.folders.carrier, a.name) <
               std::tie(b.folders.plant, b.folders.cabinet, b.folders.carrier, b.name);
    });
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    if (!session || !levels)
        return result;
    const QStringList all = All();
    std::vector<std::optional<ValueColumn>> values;
    for (const QString &column : all)
        values.push_back(ValueColumnOf(column));
    std::vector<QStringList> cells;
    std::set<int> present = {0, 1, 2, 3, 4};
    try {
        for (const ModulePlace &place : modules) {
            ProjectParameterRows rows(*session, *levels, place.item->level().tableName(), place.item->id().toInt());
            ModuleParameterEditor editor(rows, m_catalogues);
            if (!editor.Load())
                return result;
            QStringList record = {place.folders.plant, place.folders.cabinet, place.folders.carrier,
                                  editor.parameters().type.name,
                                  editor.parameters().module.name};
            const ParameterColumnEdit edit(editor);
            for (int index = int(record.size()); index < all.size(); ++index) {
                const std::optional<ValueColumn> &value = values[size_t(index)];
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
    QStringList header = all;
    if (!codes)
        std::transform(all.begin(), all.end(), header.begin(), InstrumentListColumns::Header);
    result.records << keep(header);
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
