#include "exchange/xlsx_table.h"

#include "exchange/xlsx_package.h"
#include "exchange/xlsx_strings.h"

#include "base/string_table.h"

#include <QHash>
#include <QXmlStreamReader>

#include <cmath>
#include <optional>

namespace {

constexpr int kMaxColumns = 16384;  // XFD, the last column a worksheet has
constexpr int kMaxRows = 1048576;

// A workbook that cannot be read: the reason, without the file's name.
struct Unreadable {
    QString reason;
};

QString FolderOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

// A relationship's target as a part name: relative to the folder of the
// part that names it, or from the package's root when it starts with "/".
QString Resolve(const QString &folder, const QString &target)
{
    QStringList parts;
    const QString path = target.startsWith(QLatin1Char('/')) ? target.mid(1) : folder + target;
    for (const QString &piece : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (piece == QLatin1String("..") && !parts.isEmpty())
            parts.removeLast();
        else if (piece != QLatin1String("."))
            parts << piece;
    }
    return parts.join(QLatin1Char('/'));
}

// The attribute by its local name, whatever prefix names its namespace.
QString Attribute(const QXmlStreamReader &xml, QLatin1String name)
{
    for (const QXmlStreamAttribute &attribute : xml.attributes()) {
        if (attribute.name() == name)
            return attribute.value().toString();
    }
    return QString();
}

class PartReader {
public:
    PartReader(XlsxPackage &package, QString part) : m_part(std::move(part)), m_bytes(package.Part(m_part))
    {
        if (!package.error().isEmpty())
            throw Unreadable{package.error()};
        m_xml.addData(m_bytes);
    }

    QXmlStreamReader &xml() { return m_xml; }
    const QString &part() const { return m_part; }

    // The next start element up to the end of the document.
    bool NextStart()
    {
        while (!m_xml.atEnd()) {
            if (m_xml.readNext() == QXmlStreamReader::StartElement)
                return true;
        }
        CheckWellFormed();
        return false;
    }

    void CheckWellFormed() const
    {
        if (!m_xml.hasError())
            return;
        QString reason = m_xml.errorString();
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        throw Unreadable{StrF(XlsxStrings::BrokenXml, {m_part, int(m_xml.lineNumber()), reason})};
    }

    // The text of the present element's <t> children, phonetic runs left out.
    QString Text()
    {
        QString text;
        const QString end = m_xml.name().toString();
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::StartElement && m_xml.name() == QLatin1String("rPh"))
                m_xml.skipCurrentElement();
            else if (token == QXmlStreamReader::StartElement && m_xml.name() == QLatin1String("t"))
                text += m_xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (token == QXmlStreamReader::EndElement && m_xml.name() == end)
                break;
        }
        CheckWellFormed();
        return text;
    }

private:
    QString m_part;
    QByteArray m_bytes;
    QXmlStreamReader m_xml;
};

// Id to target of a relationships part; the type's last word to target too.
struct Relationships {
    QHash<QString, QString> byId;
    QHash<QString, QString> byType;
};

Relationships ReadRelationships(XlsxPackage &package, const QString &part, const QString &folder)
{
    Relationships relationships;
    PartReader reader(package, part);
    while (reader.NextStart()) {
        if (reader.xml().name() != QLatin1String("Relationship"))
            continue;
        const QString target = Resolve(folder, Attribute(reader.xml(), QLatin1String("Target")));
        const QString type = Attribute(reader.xml(), QLatin1String("Type")).section(QLatin1Char('/'), -1);
        relationships.byId.insert(Attribute(reader.xml(), QLatin1String("Id")), target);
        if (!relationships.byType.contains(type))
            relationships.byType.insert(type, target);
    }
    return relationships;
}

// The workbook part the package's own relationships name.
QString WorkbookPart(XlsxPackage &package)
{
    const QString rootRelationships = QStringLiteral("_rels/.rels");
    if (!package.Has(rootRelationships))
        return QStringLiteral("xl/workbook.xml");
    const QString workbook = ReadRelationships(package, rootRelationships, QString()).byType.value(
        QStringLiteral("officeDocument"));
    return workbook.isEmpty() ? QStringLiteral("xl/workbook.xml") : workbook;
}

// The relationship id of the first worksheet.
QString FirstSheetId(XlsxPackage &package, const QString &workbook)
{
    PartReader reader(package, workbook);
    while (reader.NextStart()) {
        if (reader.xml().name() == QLatin1String("sheet"))
            return Attribute(reader.xml(), QLatin1String("id"));
    }
    throw Unreadable{Str(XlsxStrings::NoSheet)};
}

QStringList ReadSharedTexts(XlsxPackage &package, const QString &part)
{
    QStringList texts;
    if (part.isEmpty())
        return texts;
    PartReader reader(package, part);
    while (reader.NextStart()) {
        if (reader.xml().name() == QLatin1String("si"))
            texts << reader.Text();
    }
    return texts;
}

// The number as the shortest text that reads back as the same value, the
// way the list writes numbers: "21.5", "4", "0.3" for 0.30000000000000004.
QString ShortestNumberText(const QString &stored)
{
    bool ok = false;
    const double value = stored.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return stored.trimmed();
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

// The column of a cell reference ("C7" is 2), or nothing for a reference
// that names no cell.
std::optional<int> ColumnOf(QStringView reference)
{
    int column = 0;
    qsizetype letters = 0;
    while (letters < reference.size() && letters < 3 && reference[letters].isLetter() &&
           reference[letters].toUpper() >= QLatin1Char('A') && reference[letters].toUpper() <= QLatin1Char('Z')) {
        column = column * 26 + (reference[letters].toUpper().unicode() - 'A' + 1);
        ++letters;
    }
    bool digits = letters < reference.size();
    for (qsizetype i = letters; i < reference.size(); ++i)
        digits = digits && reference[i] >= QLatin1Char('0') && reference[i] <= QLatin1Char('9');
    if (letters == 0 || !digits || column > kMaxColumns)
        return std::nullopt;
    return column - 1;
}

// Reads the rows of a worksheet into the table.
class SheetReader {
public:
    SheetReader(XlsxPackage &package, const QString &part, const QStringList &shared, CsvTable &table)
        : m_reader(package, part), m_shared(shared), m_table(table)
    {
    }

    void Run()
    {
        while (m_reader.NextStart()) {
            if (m_reader.xml().name() == QLatin1String("row"))
                Row();
        }
    }

private:
    QXmlStreamReader &xml() { return m_reader.xml(); }

    [[noreturn]] void BadReference(const QString &reference) const
    {
        throw Unreadable{StrF(XlsxStrings::BadCellReference, {reference, m_reader.part()})};
    }

    void Row()
    {
        const QString number = Attribute(xml(), QLatin1String("r"));
        bool ok = number.isEmpty();
        const int row = number.isEmpty() ? m_row + 1 : number.toInt(&ok);
        if (!ok || row < 1 || row > kMaxRows)
            BadReference(number.isEmpty() ? QString::number(row) : number);
        m_row = row;
        QStringList fields;
        int column = -1;
        while (!xml().atEnd()) {
            const QXmlStreamReader::TokenType token = xml().readNext();
            if (token == QXmlStreamReader::StartElement && xml().name() == QLatin1String("c"))
                column = Cell(fields, column);
            else if (token == QXmlStreamReader::EndElement && xml().name() == QLatin1String("row"))
                break;
        }
        m_reader.CheckWellFormed();
        while (!fields.isEmpty() && fields.back().isEmpty())
            fields.removeLast();
        if (fields.isEmpty())
            return;
        // A cell far to the right makes a row of empty cells up to it: the
        // rows may not span more cells than the sheet has bytes.
        m_spanned += fields.size();
        if (m_spanned > kMaxColumns + m_reader.xml().characterOffset())
            throw Unreadable{StrF(XlsxStrings::SheetTooSparse, {m_lastReference})};
        m_table.records.push_back({row, fields});
    }

    // Reads one cell into fields; its column.
    int Cell(QStringList &fields, int previous)
    {
        const QString reference = Attribute(xml(), QLatin1String("r"));
        const QString type = Attribute(xml(), QLatin1String("t"));
        std::optional<int> column = reference.isEmpty() ? std::optional<int>(previous + 1) : ColumnOf(reference);
        if (!column || *column >= kMaxColumns)
            BadReference(reference);
        m_lastReference = reference;
        QString value;
        bool formula = false;
        bool hasValue = false;
        while (!xml().atEnd()) {
            const QXmlStreamReader::TokenType token = xml().readNext();
            if (token == QXmlStreamReader::EndElement && xml().name() == QLatin1String("c"))
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml().name() == QLatin1String("v")) {
                value = xml().readElementText(QXmlStreamReader::IncludeChildElements);
                hasValue = true;
            } else if (xml().name() == QLatin1String("is")) {
                value = m_reader.Text();
                hasValue = true;
            } else if (xml().name() == QLatin1String("f")) {
                formula = true;
                xml().skipCurrentElement();
            } else {
                xml().skipCurrentElement();
            }
        }
        m_reader.CheckWellFormed();
        // The formula's text is no value: without its result the cell
        // would be taken for empty and its value silently kept.
        if (formula && !hasValue)
            throw Unreadable{StrF(XlsxStrings::FormulaNotCalculated, {CellName(*column)})};
        const QString text = Value(type, value, *column);
        if (!text.isEmpty()) {
            while (fields.size() <= *column)
                fields << QString();
            fields[*column] = text;
        }
        return *column;
    }

    QString Value(const QString &type, const QString &value, int column) const
    {
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            if (!ok || index < 0 || index >= m_shared.size())
                throw Unreadable{StrF(XlsxStrings::NoSharedText, {CellName(column), value.trimmed()})};
            return m_shared[index];
        }
        if (type == QLatin1String("inlineStr") || type == QLatin1String("str") || type == QLatin1String("e") ||
            type == QLatin1String("d"))
            return value;
        // "n", "b" (1 or 0) and a cell without a type hold numbers.
        return value.trimmed().isEmpty() ? QString() : ShortestNumberText(value);
    }

    QString CellName(int column) const
    {
        QString letters;
        for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
            letters.prepend(QChar(u'A' + (rest - 1) % 26));
        return letters + QString::number(m_row);
    }

    PartReader m_reader;
    const QStringList &m_shared;
    CsvTable &m_table;
    int m_row = 0;
    qint64 m_spanned = 0;
    QString m_lastReference;
};

void ReadWorkbook(const QByteArray &bytes, CsvTable &table)
{
    XlsxPackage package(bytes);
    if (!package.isOpen())
        throw Unreadable{package.error()};
    const QString workbook = WorkbookPart(package);
    if (!package.Has(workbook))
        throw Unreadable{StrF(XlsxStrings::PartMissing, {workbook})};
    const QString sheetId = FirstSheetId(package, workbook);
    const QString relationships = FolderOf(workbook) + QStringLiteral("_rels/") +
                                  workbook.section(QLatin1Char('/'), -1) + QStringLiteral(".rels");
    const Relationships parts = ReadRelationships(package, relationships, FolderOf(workbook));
    const QString sheet = parts.byId.value(sheetId);
    if (sheet.isEmpty())
        throw Unreadable{Str(XlsxStrings::NoSheet)};
    const QStringList shared = ReadSharedTexts(package, parts.byType.value(QStringLiteral("sharedStrings")));
    SheetReader(package, sheet, shared, table).Run();
}

} // namespace

CsvTable ReadXlsxTable(const QByteArray &bytes)
{
    CsvTable table;
    try {
        ReadWorkbook(bytes, table);
    } catch (const Unreadable &unreadable) {
        table.records.clear();
        table.error = unreadable.reason;
    }
    return table;
}
