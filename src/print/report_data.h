#pragma once

#include "base/module_family.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class CMy7100Doc;
class CatalogueSet;
class Item;
struct ModuleParameters;

// The fields of the project row that the header and the title block show.
struct ProjectFields {
    QString projectFile;
    QString company;
    QString project;
    QString devicePlacement;
    QString orderNr;
    QString createdBy;
    QString documentName;
    QString testingBy;
    QString documentNr;
    QString revisionNr;
};

// One entry of the project tree as the report lists it.
struct TreeLine {
    int depth = 0; // 0 for the project itself
    QString text;
    bool folder = false; // plants, cabinets and zelnor-carriers
};

struct NamedRow {
    QString name;
    QString description;
};

// Everything the project output shows.
struct ProjectOutputData {
    ProjectFields fields;
    std::vector<TreeLine> tree;
    std::vector<NamedRow> folders;
    std::vector<NamedRow> modules;
    std::vector<NamedRow> signalRows;
};

// One row of a module section: a label and a text per channel, or one text
// over both channels.
struct InfoRow {
    QString label;
    std::array<QString, 2> values;
    bool spansChannels = false;
};

enum class InfoSectionKind {
    DeviceInfo,
    ChannelsInfo,
    Input,
    SignalProcessing,
    Output,
    Relay1,
    Relay2,
    Memo
};

struct InfoSection {
    InfoSectionKind kind = InfoSectionKind::DeviceInfo;
    QString title;
    std::vector<InfoRow> rows;
};

// Everything the module information and the module data card show.
struct ModuleInformationData {
    ProjectFields fields;
    QString moduleName;
    ModuleFamily family = Family7230;
    // The folders above the module; "----" where it has none.
    QString plant;
    QString cabinet;
    QString carrier;
    bool hasOutput = false;
    bool hasRelays = false;
    std::vector<InfoSection> sections;
};

// The commissioning report: one row per record (path, serial number, time,
// result, checksums) and the totals under them.
struct CommissioningReportData {
    ProjectFields fields;
    std::vector<QStringList> rows;
    QString totals;
    QStringList portTotals; // per port of a bench: its attempts by verdict
    QString note;           // under the totals: how the checksums are made
};

// Reads what a report shows from the open project: the document's items
// (loading the levels it needs) and, for a module, its parameter model in
// the texts of its parameter pages. Raises COLEDBException on data errors.
class ReportDataReader {
public:
    ReportDataReader(CMy7100Doc &document, const CatalogueSet &catalogues);

    ProjectOutputData ProjectOutput();
    // module must be a module item.
    ModuleInformationData ModuleInformation(Item &module);

    // The text shown where a value does not apply.
    static QString NotApplicable() { return QStringLiteral("----"); }
    // The documentation fields of the project row.
    ProjectFields Fields() const;

private:
    void CollectTree(Item &item, int depth, ProjectOutputData &data);
    ModuleParameters ReadParameters(Item &module) const;

    CMy7100Doc &m_document;
    const CatalogueSet &m_catalogues;
};

// The sections of a module's parameters, as the module information lists
// them, in the texts of its parameter pages.
std::vector<InfoSection> ModuleSections(const ModuleParameters &parameters, const CatalogueSet &catalogues,
                                        const QString &moduleName);
