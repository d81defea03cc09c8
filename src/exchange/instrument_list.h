#pragma once

#include "db/output_file.h"
#include "exchange/csv_table.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class CatalogueSet;
class CMy7100Doc;
class ContainerItem;
class Item;
class ModuleParameterEditor;

// The columns of an instrument list: where a module sits, its type and name,
// the module's own values and each channel's values by the column names the
// parameter pages' values are set by ("Ch1.RangeEnd").
namespace InstrumentListColumns {
inline const QString Plant = QStringLiteral("Plant");
inline const QString Cabinet = QStringLiteral("Cabinet");
inline const QString Carrier = QStringLiteral("Carrier");
inline const QString Type = QStringLiteral("Type");
inline const QString Module = QStringLiteral("Module");

// The header of a channel's value: "Ch1.Name".
QString OfChannel(int channel, const QString &column);
// Every column in the order a list carries them.
QStringList All();
// The header a list gives a known column in the active language: the label
// its page shows, with the relay and the channel ("Ch1 Measuring range end").
QString Header(const QString &column);
// The channel (1, 2) and value column a header names (as Canonical reads
// it); channel 0 for a module column; nothing for a header that
// is no value column.
struct ValueColumn {
    int channel = 0;
    QString column;
};
std::optional<ValueColumn> ValueColumnOf(const QString &header);
// The column a header names: its canonical spelling or its header in any of
// the five languages, without regard to case and the blanks around it;
// empty for an unknown one.
QString Canonical(const QString &header);
// Texts kept as typed: an empty cell empties them.
bool IsTextColumn(const QString &column);
// A value column of numbers (and choices): no text column.
bool HoldsNumbers(const QString &header);

// The text of a value as the list carries it: the pages' units and
// decimals; a catalogue choice by its text in the active language unless
// codes is set (or its text is empty, a number, or shared with another
// choice). Empty for a value the module does not have.
QString CellText(const ModuleParameterEditor &editor, int channel, const QString &column, bool codes);
} // namespace InstrumentListColumns

// The names of the plant, cabinet and zelnor-carrier a module stands in;
// empty where it stands higher up.
struct FolderNames {
    QString plant;
    QString cabinet;
    QString carrier;

    bool SameAs(const FolderNames &other) const;
    // The folders' path below the project's: \\Project\Boiler house\Cab 1.
    QString PathBelow(const QString &projectPath) const;
};
FolderNames FoldersOf(CMy7100Doc &document, const Item &module);

// The project item (the top of the plants) of a document; null when no
// project is open.
ContainerItem *ProjectItemOf(CMy7100Doc &document);

// A project's modules as rows of an instrument list.
class InstrumentListExport {
public:
    InstrumentListExport(CMy7100Doc &document, const CatalogueSet &catalogues)
        : m_document(document), m_catalogues(catalogues)
    {
    }

    struct Result {
        QList<QStringList> records; // the header first
        int modules = 0;
        bool ok = false; // false after a data error (reported)
    };
    // The modules at or below under (the project when null), ordered by
    // plant, cabinet, zelnor-carrier and name; only the columns some module
    // has.
    Result Rows(Item *under, bool codes);

private:
    CMy7100Doc &m_document;
    const CatalogueSet &m_catalogues;
};

// The records of a list as the dialect writes them: with decimal commas
// in the numbers of the value columns where it asks for them.
QByteArray EncodeList(const QList<QStringList> &records, const CsvDialect &dialect);

// Writes a list through the output service; an earlier list with the same
// header line is replaced without asking. Empty on success, else the message.
QString WriteListFile(const OutputFile::Target &target, const QByteArray &bytes);
