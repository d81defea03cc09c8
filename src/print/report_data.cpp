#include "print/report_data.h"

#include "link/image_mapping.h"
#include "link/parameter_texts.h"
#include "pages/parameter_pages.h"
#include "params/catalogues.h"
#include "params/module_parameters.h"
#include "params/parameter_rows.h"
#include "print/print_strings.h"
#include "base/string_table.h"
#include "base/language.h"
#include "tree/document_tree_model.h"
#include "tree/my7100_doc.h"

#include <algorithm>
#include <map>

using namespace PrintStrings;

namespace {
constexpr int kPlantString = 486;
constexpr int kCabinetString = 487;
constexpr int kCarrierString = 488;
const QString kProjectsRoot = QStringLiteral("ProjectsRoot");
const QString kSignalsRoot = QStringLiteral("SignalsRoot");

// The module tables in the order the module details list them.
QStringList ModuleTablesInOrder()
{
    QStringList tables;
    for (ModuleFamily family : kModuleFamilies)
        for (int number = 1; number <= 4; ++number)
            tables << QStringLiteral("Modules%1_%2").arg(ModelNumber(family)).arg(number);
    return tables;
}

// A report reads its parameters and writes nothing back.
class NoRowsWritten : public ParameterRowSource {
public:
    ModuleRows ReadRows() override { return {}; }
    void WriteRows(const ModuleRows &, const ModuleRows &) override {}
    bool ModuleNameTaken(const QString &) override { return false; }
    bool SignalNameTaken(const QString &, const std::vector<qint32> &) override { return false; }
};

// The numbers of one channel as the fields of its pages show them, by the
// image parameter's number.
std::map<int, QString> PageNumbersOf(const ModuleParameters &parameters, const CatalogueSet &catalogues,
                                     int channel)
{
    std::map<int, QString> texts;
    if (!parameters.hasChannel(channel))
        return texts;
    NoRowsWritten noRows;
    ModuleParameterEditor editor(noRows, catalogues);
    editor.parameters() = parameters;
    ParameterPages pages(editor);
    const auto number = [](double value, int decimals) { return ParameterPages::NumberText(value, decimals); };
    if (parameters.family != Family7220) {
        const InputFill input = pages.FillInput(channel);
        texts[15] = number(input.wireResistance, 2);
        texts[17] = number(input.compareTemperature, 2);
        const RangeFill range = pages.FillRange(channel);
        texts[18] = number(range.from, range.decimals);
        texts[19] = number(range.to, range.decimals);
    }
    const OutputFill output = pages.FillOutput(channel);
    texts[23] = ParameterPages::ErrorValueText(output.errorValue);
    texts[35] = number(output.divisor, 0);
    const LimitFill limits = pages.FillLimits(channel);
    for (int relay = 0; relay < 2; ++relay) {
        texts[28 + 2 * relay] = number(limits.relays[size_t(relay)].value, limits.decimals);
        texts[29 + 2 * relay] = number(limits.relays[size_t(relay)].hysteresis, limits.decimals);
    }
    texts[36] = number(limits.startupDelay, 0);
    return texts;
}

// Reads the parameters of one module image in the texts the pages show.
class SectionBuilder {
public:
    SectionBuilder(const ModuleParameters &parameters, const CatalogueSet &catalogues)
        : m_parameters(parameters), m_texts(catalogues), m_family(parameters.family),
          m_pageNumbers{PageNumbersOf(parameters, catalogues, 1), PageNumbersOf(parameters, catalogues, 2)}
    {
        FillFromModule(m_image, parameters, m_family);
    }

    ImageParameter Parameter(int number, int channel) const
    {
        ImageParameter parameter = m_texts.GetParameter(m_image, number, channel, m_family);
        // The image holds some numbers to fewer decimals than the pages show.
        const std::map<int, QString> &shown = m_pageNumbers[size_t(channel == 2 ? 1 : 0)];
        if (const auto page = shown.find(number); parameter.applies && page != shown.end())
            parameter.setValueText(page->second);
        return parameter;
    }

    // The text of a parameter on a channel; "----" where it does not apply.
    QString Text(int number, int channel, bool text = false) const
    {
        const ImageParameter parameter = Parameter(number, channel);
        return parameter.applies ? parameter.Shown(text) : ReportDataReader::NotApplicable();
    }

    // A row of the impulse output, which only some 7210 types have.
    InfoRow ImpulseRow(int label, int number) const
    {
        if (!m_parameters.type.hasImpulseOutput())
            return {Str(label), {ReportDataReader::NotApplicable(), ReportDataReader::NotApplicable()}, false};
        return ChannelRow(label, number);
    }

    InfoRow ChannelRow(int label, int number, bool text = false) const
    {
        return {Str(label), {Text(number, 1, text), Text(number, 2, text)}, false};
    }

    InfoRow ModuleRow(int label, const QString &value) const
    {
        return {Str(label), {value, QString()}, true};
    }

    QString RangeText(int channel) const
    {
        const ImageParameter begin = Parameter(18, channel);
        const ImageParameter end = Parameter(19, channel);
        if (!begin.applies || !end.applies)
            return ReportDataReader::NotApplicable();
        const auto number = [](const ImageParameter &p) {
            return p.valueText.isEmpty() ? QString::number(p.value) : p.valueText;
        };
        QString text = number(begin) + QStringLiteral(" - ") + number(end);
        if (!begin.unitText.isEmpty())
            text += QLatin1Char(' ') + begin.unitText;
        return text;
    }

    QString StartupDelay(int channel) const
    {
        const ImageParameter delay = Parameter(36, channel);
        return delay.applies ? delay.valueText + QStringLiteral(" s") : ReportDataReader::NotApplicable();
    }

    const ModuleParameters &Parameters() const { return m_parameters; }
    ModuleFamily Family() const { return m_family; }

private:
    const ModuleParameters &m_parameters;
    ImageParameterTexts m_texts;
    ModuleFamily m_family;
    std::array<std::map<int, QString>, 2> m_pageNumbers;
    CModuleImage m_image;
};

InfoSection DeviceInfoSection(const SectionBuilder &b, const QString &moduleName)
{
    const ModuleParameters &parameters = b.Parameters();
    InfoSection section{InfoSectionKind::DeviceInfo, Str(PrintStrings::DeviceInfo), {}};
    section.rows = {b.ModuleRow(ModuleType, b.Text(0, 1)),
                    b.ModuleRow(Revision, b.Text(6, 1, true)),
                    b.ModuleRow(SerialNumber, b.Text(7, 1, true)),
                    b.ModuleRow(DipSwitch, b.Text(1, 1)),
                    b.ModuleRow(Date, b.Text(9, 1, true)),
                    b.ModuleRow(ModuleNameRow, moduleName),
                    b.ModuleRow(Channels, QString::number(parameters.channelCount())),
                    b.ModuleRow(Comment, parameters.module.description)};
    if (b.Family() == Family7210)
        section.rows.push_back({Str(StartupDelay), {b.StartupDelay(1), b.StartupDelay(2)}, false});
    return section;
}

InfoSection InputSection(const SectionBuilder &b)
{
    InfoSection section{InfoSectionKind::Input, Str(PrintStrings::Input), {}};
    section.rows = {b.ChannelRow(WorkingMode, 12), b.ChannelRow(SensorType, 13)};
    if (b.Family() == Family7230) {
        section.rows.insert(section.rows.end(),
                            {b.ChannelRow(CircuitType, 14), b.ChannelRow(WireResistance, 15),
                             b.ChannelRow(TcType, 16), b.ChannelRow(TemperatureComparisonArea, 17)});
    } else {
        section.rows.insert(section.rows.end(), {b.ChannelRow(ImpulseType, 34), b.ChannelRow(Overflow, 33)});
    }
    return section;
}

InfoSection OutputSection(const SectionBuilder &b)
{
    InfoSection section{InfoSectionKind::Output, Str(PrintStrings::Output), {}};
    section.rows = {b.ChannelRow(OutputSignalType, 21), b.ChannelRow(HoldenOutputError, 22),
                    b.ChannelRow(OutputErrorValue, 23)};
    if (b.Family() == Family7210)
        section.rows.insert(section.rows.end(),
                            {b.ImpulseRow(Divisor, 35), b.ImpulseRow(ImpulseOutputActive, 37)});
    return section;
}

// The second relay serves the impulse output of a 7210 module that has one
// while a channel has it switched on.
bool SecondRelayServesImpulses(const ModuleParameters &parameters)
{
    if (parameters.family != Family7210 || !parameters.type.hasImpulseOutput())
        return false;
    for (int channel = 1; channel <= 2; ++channel)
        if (const ChannelParameters *values = parameters.channel(channel);
            values && values->impulsausgangaktiv)
            return true;
    return false;
}

InfoSection RelaySection(const SectionBuilder &b, int relay)
{
    InfoSection section;
    section.kind = relay == 1 ? InfoSectionKind::Relay1 : InfoSectionKind::Relay2;
    section.title = Str(relay == 1                                  ? Relay1Title
                        : SecondRelayServesImpulses(b.Parameters()) ? UsedForImpulseOutput
                                                                    : Relay2Title);
    const int function = relay == 1 ? 24 : 26;
    const int lockout = relay == 1 ? 25 : 27;
    const int value = relay == 1 ? 28 : 30;
    section.rows = {b.ChannelRow(LimitingValue, function), b.ChannelRow(MinimalValue, value),
                    b.ChannelRow(Hysteresis, value + 1), b.ChannelRow(RelayLockout, lockout)};
    return section;
}
} // namespace

std::vector<InfoSection> ModuleSections(const ModuleParameters &parameters, const CatalogueSet &catalogues,
                                        const QString &moduleName)
{
    const SectionBuilder b(parameters, catalogues);
    std::vector<InfoSection> sections;
    sections.push_back(DeviceInfoSection(b, moduleName));
    sections.push_back({InfoSectionKind::ChannelsInfo,
                        Str(ChannelsInfo),
                        {b.ChannelRow(ChannelName, 10, true), b.ChannelRow(Description, 11, true)}});
    if (parameters.family != Family7220) {
        sections.push_back(InputSection(b));
        sections.push_back({InfoSectionKind::SignalProcessing,
                            Str(SignalProcessing),
                            {{Str(MeasuringRange), {b.RangeText(1), b.RangeText(2)}, false}}});
    }
    sections.push_back(OutputSection(b));
    sections.push_back(RelaySection(b, 1));
    sections.push_back(RelaySection(b, 2));
    sections.push_back({InfoSectionKind::Memo, Str(Memo), {{QString(), {parameters.module.memo, {}}, true}}});
    return sections;
}

ReportDataReader::ReportDataReader(CMy7100Doc &document, const CatalogueSet &catalogues)
    : m_document(document), m_catalogues(catalogues)
{
}

ProjectFields ReportDataReader::Fields() const
{
    ProjectFields fields;
    const ContainerItem *root = m_document.Root();
    if (!root)
        return fields;
    fields.projectFile = root->values().empty() ? QString() : root->values().front().toString();
    const Item *project = nullptr;
    root->forEachChild([&](const Item &child) {
        if (!project && child.level().tableName() == kProjectsRoot)
            project = &child;
    });
    if (!project)
        return fields;
    const auto value = [&](const char *column) {
        return m_document.GetValue(*project, QLatin1String(column), true).toString();
    };
    fields.company = value("Company");
    fields.project = value("Project");
    fields.devicePlacement = value("DevicePlacement");
    fields.orderNr = value("OrderNr");
    fields.createdBy = value("CreatedBy");
    fields.documentName = value("DucumentName");
    fields.testingBy = value("TestingBy");
    fields.documentNr = value("DocumentNr");
    fields.revisionNr = value("RevisionNr");
    return fields;
}

void ReportDataReader::CollectTree(Item &item, int depth, ProjectOutputData &data)
{
    const bool folder = CMy7100Doc::IsFolder(item);
    const QString name = m_document.GetName(item);
    // The outline reads as the tree does, the project's name in the
    // window's language included.
    data.tree.push_back({depth, DocumentTreeModel::EntryText(m_document, item, Language::current()), folder});
    if (folder)
        data.folders.push_back(
            {name, m_document.GetValue(item, QStringLiteral("Description"), false).toString()});
    ContainerItem *container = item.asContainer();
    if (!container || !m_document.EnsureChildren(*container))
        return;
    container->forEachChild([&](Item &child) {
        if (child.shown())
            CollectTree(child, depth + 1, data);
    });
}

ProjectOutputData ReportDataReader::ProjectOutput()
{
    ProjectOutputData data;
    data.fields = Fields();
    ContainerItem *root = m_document.Root();
    if (!root)
        return data;
    Item *project = nullptr;
    Item *signalsRoot = nullptr;
    root->forEachChild([&](Item &child) {
        if (!child.shown())
            return;
        if (!project && child.level().tableName() != kSignalsRoot)
            project = &child;
        if (child.level().tableName() == kSignalsRoot)
            signalsRoot = &child;
    });
    if (project)
        CollectTree(*project, 0, data);
    // Modules table by table, each in the order of its IDs.
    std::map<QString, std::vector<std::pair<qint64, NamedRow>>> modulesByTable;
    const QStringList tables = ModuleTablesInOrder();
    for (const QString &table : tables)
        for (Item *module : m_document.Registry().rowsOf(table))
            modulesByTable[table].push_back(
                {module->id().toLongLong(),
                 {m_document.GetName(*module),
                  m_document.GetValue(*module, QStringLiteral("Description"), false).toString()}});
    for (const QString &table : tables) {
        auto &rows = modulesByTable[table];
        std::sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &row : rows)
            data.modules.push_back(std::move(row.second));
    }
    if (signalsRoot && signalsRoot->asContainer() && m_document.EnsureChildren(*signalsRoot->asContainer()))
        signalsRoot->asContainer()->forEachChild([&](Item &signal) {
            data.signalRows.push_back(
                {m_document.GetName(signal),
                 m_document.GetValue(signal, QStringLiteral("Description"), false).toString()});
        });
    return data;
}

ModuleParameters ReportDataReader::ReadParameters(Item &module) const
{
    ItemRegistry &registry = m_document.Registry();
    ProjectParameterRows rows(*registry.session(), *registry.levels(), module.level().tableName(),
                              module.id().toInt());
    return ParametersFromRows(rows.ReadRows(), 0);
}

ModuleInformationData ReportDataReader::ModuleInformation(Item &module)
{
    ModuleInformationData data;
    data.fields = Fields();
    data.plant = data.cabinet = data.carrier = NotApplicable();
    for (const Item *above = module.parent(); above; above = above->parent()) {
        switch (above->level().displayString()) {
        case kPlantString:
            data.plant = m_document.GetName(*above);
            break;
        case kCabinetString:
            data.cabinet = m_document.GetName(*above);
            break;
        case kCarrierString:
            data.carrier = m_document.GetName(*above);
            break;
        default:
            break;
        }
    }
    data.moduleName = m_document.GetName(module);
    const ModuleParameters parameters = ReadParameters(module);
    data.family = parameters.family;
    data.hasOutput = parameters.type.hasOutput();
    data.hasRelays = parameters.type.hasRelays();
    data.sections = ModuleSections(parameters, m_catalogues, data.moduleName);
    return data;
}
