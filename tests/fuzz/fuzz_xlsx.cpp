// An instrument list as an XLSX workbook, read into rows. An input that
// begins as a ZIP package is read as it is; any other input is taken for
// the first worksheet's XML and packed, uncompressed, into a workbook with
// shared texts, so that the XML reading is reached without a check sum to
// get past. Rows the program reads it writes as a workbook and reads again
// as the same cells.
#include "fuzz_target.h"

#include "exchange/xlsx_table.h"
#include "exchange/xlsx_writer.h"

#include <QList>

#include <utility>
#include <vector>

namespace {

quint32 Crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Append16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

void Append32(QByteArray &out, quint32 value)
{
    Append16(out, value & 0xFFFF);
    Append16(out, value >> 16);
}

// A ZIP package of stored (uncompressed) entries.
QByteArray StoredZip(const std::vector<std::pair<QByteArray, QByteArray>> &entries)
{
    QByteArray out;
    QByteArray directory;
    for (const auto &entry : entries) {
        const QByteArray &name = entry.first;
        const QByteArray &data = entry.second;
        const quint32 offset = quint32(out.size());
        const quint32 crc = Crc32(data);
        const auto header = [&](QByteArray &to, bool central) {
            Append32(to, central ? 0x02014b50u : 0x04034b50u);
            if (central)
                Append16(to, 20); // made by
            Append16(to, 20);     // needed to extract
            Append16(to, 0);      // flags
            Append16(to, 0);      // stored
            Append32(to, 0);      // time and date
            Append32(to, crc);
            Append32(to, quint32(data.size()));
            Append32(to, quint32(data.size()));
            Append16(to, quint32(name.size()));
            Append16(to, 0); // extra field
            if (central) {
                Append16(to, 0); // comment
                Append16(to, 0); // disk
                Append16(to, 0); // internal attributes
                Append32(to, 0); // external attributes
                Append32(to, offset);
            }
            to.append(name);
        };
        header(out, false);
        out.append(data);
        header(directory, true);
    }
    const quint32 directoryOffset = quint32(out.size());
    out.append(directory);
    Append32(out, 0x06054b50u);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, quint32(entries.size()));
    Append16(out, quint32(entries.size()));
    Append32(out, quint32(directory.size()));
    Append32(out, directoryOffset);
    Append16(out, 0);
    return out;
}

QByteArray WorkbookAround(const QByteArray &sheet)
{
    static const QByteArray rels =
        "<?xml version=\"1.0\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"xl/workbook.xml\"/></Relationships>";
    static const QByteArray workbook =
        "<?xml version=\"1.0\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets><sheet "
        "name=\"L\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    static const QByteArray workbookRels =
        "<?xml version=\"1.0\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
        "Target=\"sharedStrings.xml\"/></Relationships>";
    static const QByteArray shared =
        "<?xml version=\"1.0\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>Plant</t></si><si><t>Type</t></si><si><r><t>Z 7230</t></r><r><t>/211-2</t></r></si>"
        "<si><t xml:space=\"preserve\"> =1+2 </t></si></sst>";
    return StoredZip({{"_rels/.rels", rels},
                      {"xl/workbook.xml", workbook},
                      {"xl/_rels/workbook.xml.rels", workbookRels},
                      {"xl/sharedStrings.xml", shared},
                      {"xl/worksheets/sheet1.xml", sheet}});
}

// Texts the writer keeps as they are: no control characters (which XML
// cannot carry), none of the escapes a workbook writes for them, no text
// longer than a cell holds.
bool WrittenAsIs(const QList<QStringList> &cells)
{
    for (const QStringList &row : cells) {
        for (const QString &cell : row) {
            if (cell.size() > 32767 || cell.contains(QLatin1String("_x")))
                return false;
            for (const QChar c : cell) {
                if (c.unicode() < 0x20 || (c.unicode() >= 0xD800 && c.unicode() < 0xE000) || c.unicode() >= 0xFFFE)
                    return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    const QByteArray input = Fuzz::Bytes(data, size);
    const QByteArray package = input.startsWith("PK") ? input : WorkbookAround(input);
    const CsvTable table = ReadXlsxTable(package);
    if (!table.error.isEmpty()) {
        Fuzz::Require(table.records.empty(), "a workbook that cannot be read gives no rows");
        return 0;
    }
    for (const CsvRecord &record : table.records) {
        Fuzz::Require(record.line >= 1 && record.line <= 1048576, "a row's line is a row of a sheet");
        Fuzz::Require(!record.fields.isEmpty() && !record.fields.back().isEmpty(),
                      "blank rows and trailing empty cells are left out");
    }
    const QList<QStringList> cells = table.cells();
    if (!WrittenAsIs(cells) || cells.size() > 2000)
        return 0;
    const EncodedFile written = EncodeXlsx(cells, QStringLiteral("List"), [](int, int) { return false; });
    Fuzz::Require(written.error.isEmpty(), "rows read from a workbook can be written as one", written.error);
    const CsvTable again = ReadXlsxTable(written.bytes);
    Fuzz::Require(again.error.isEmpty(), "what the program writes it reads", again.error);
    Fuzz::Require(again.cells() == cells, "rows written and read again keep their cells");
    return 0;
}
