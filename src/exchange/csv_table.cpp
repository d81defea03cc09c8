#include "exchange/csv_table.h"

#include "exchange/exchange_strings.h"
#include "exchange/instrument_list_strings.h"

#include "base/number_text.h"
#include "base/string_table.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

// A line holds nothing but blanks, separators and quotes: spreadsheets
// leave such lines above a table.
bool IsEmptyLine(QStringView line)
{
    static const QString filler = QStringLiteral(" \t,;\"");
    for (const QChar c : line) {
        if (!filler.contains(c))
            return false;
    }
    return true;
}

// The separator the header line uses more often: comma or semicolon.
QChar SeparatorOfHeader(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
            ++end;
        const QStringView line = text.mid(start, end - start);
        // An odd quote opens a field that goes on over the line end: the
        // header starts here.
        if (!IsEmptyLine(line) || line.count(QLatin1Char('"')) % 2 != 0)
            break;
        start = end + 1;
    }
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const QChar c : text.mid(std::min(start, text.size()))) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

// The separator a first line "sep=;" names, as spreadsheets write it; the
// length of that line with its line end.
struct SeparatorLine {
    QChar separator;
    qsizetype length = 0;
};

std::optional<SeparatorLine> SeparatorLineOf(QStringView text)
{
    static const QString separators = QStringLiteral(",;\t|");
    if (!text.startsWith(QLatin1String("sep="), Qt::CaseInsensitive) || text.size() < 5 ||
        !separators.contains(text[4]))
        return std::nullopt;
    qsizetype end = 5;
    if (end < text.size() && text[end] == QLatin1Char('\r'))
        ++end;
    if (end < text.size() && text[end] == QLatin1Char('\n'))
        ++end;
    if (end == 5 && end < text.size())
        return std::nullopt;
    return SeparatorLine{text[4], end};
}

// The text of the bytes as the encoding their byte-order mark names, else
// UTF-8, else Windows-1252 (what a spreadsheet saves as plain CSV there).
struct DecodedText {
    QString text;
    QString encoding;
    bool broken = false;
};

DecodedText Strictly(QStringConverter::Encoding encoding, const QByteArray &bytes, const QString &name)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    DecodedText decoded{decoder.decode(bytes), name};
    // The decoder leaves a last odd byte of UTF-16 out without a word, and
    // passes a lone surrogate on as it is: text that no UTF-8 can hold.
    const bool cutShort = encoding != QStringConverter::Utf8 && bytes.size() % 2 != 0;
    decoded.broken = decoder.hasError() || cutShort || !decoded.text.isValidUtf16();
    return decoded;
}

QString FromWindows1252(const QByteArray &bytes)
{
    // 0x80 to 0x9F; the five codes the code page leaves out stay as they are.
    static const char16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = QChar(code >= 0x80 && code < 0xA0 ? high[code - 0x80] : char16_t(code));
    }
    return text;
}

DecodedText Decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Strictly(QStringConverter::Utf8, bytes.mid(3), QStringLiteral("UTF-8"));
    if (bytes.startsWith("\xFF\xFE"))
        return Strictly(QStringConverter::Utf16LE, bytes.mid(2), QStringLiteral("UTF-16 LE"));
    if (bytes.startsWith("\xFE\xFF"))
        return Strictly(QStringConverter::Utf16BE, bytes.mid(2), QStringLiteral("UTF-16 BE"));
    DecodedText utf8 = Strictly(QStringConverter::Utf8, bytes, QStringLiteral("UTF-8"));
    if (!utf8.broken)
        return utf8;
    return {FromWindows1252(bytes), QStringLiteral("Windows-1252")};
}

bool IsBlank(const QStringList &fields)
{
    for (const QString &field : fields) {
        if (!field.trimmed().isEmpty())
            return false;
    }
    return true;
}

// Reads the records of text one character at a time.
class CsvScanner {
public:
    CsvScanner(QStringView text, QChar separator, int firstLine, CsvTable &table)
        : m_text(text), m_separator(separator), m_table(table), m_line(firstLine), m_recordLine(firstLine)
    {
    }

    void Run()
    {
        const qsizetype size = m_text.size();
        qsizetype i = 0;
        while (i < size) {
            const QChar c = m_text[i];
            if (m_quoted) {
                i = QuotedCharacter(i);
                continue;
            }
            if (c == QLatin1Char('"') && m_field.isEmpty() && !m_wasQuoted) {
                m_quoted = true;
                m_wasQuoted = true;
                m_quoteLine = m_line;
            } else if (c == m_separator) {
                EndField();
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                if (c == QLatin1Char('\r') && i + 1 < size && m_text[i + 1] == QLatin1Char('\n'))
                    ++i;
                EndRecord();
                ++m_line;
            } else {
                m_field += c;
            }
            ++i;
        }
        if (m_quoted) {
            m_table.error = StrF(InstrumentListStrings::QuoteNotClosed, {m_quoteLine});
            return;
        }
        if (!m_field.isEmpty() || !m_fields.isEmpty() || m_wasQuoted)
            EndRecord();
    }

private:
    qsizetype QuotedCharacter(qsizetype i)
    {
        const QChar c = m_text[i];
        if (c == QLatin1Char('"')) {
            if (i + 1 < m_text.size() && m_text[i + 1] == QLatin1Char('"')) {
                m_field += c;
                return i + 2;
            }
            m_quoted = false;
            return i + 1;
        }
        if (c == QLatin1Char('\r') && i + 1 < m_text.size() && m_text[i + 1] == QLatin1Char('\n')) {
            // A line break inside a field is kept as the spreadsheet's one
            // character, whatever the file's line ends are.
            m_field += QLatin1Char('\n');
            ++m_line;
            return i + 2;
        }
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            ++m_line;
        m_field += c == QLatin1Char('\r') ? QChar(QLatin1Char('\n')) : c;
        return i + 1;
    }

    void EndField()
    {
        m_fields << FromSpreadsheetText(m_field);
        m_field.clear();
        m_wasQuoted = false;
    }

    void EndRecord()
    {
        EndField();
        // Lines of mere separators above the header are left out too.
        const bool filler = m_table.records.empty() && IsEmptyLine(m_fields.join(m_separator));
        if (!IsBlank(m_fields) && !filler)
            m_table.records.push_back({m_recordLine, m_fields});
        m_fields.clear();
        m_recordLine = m_line + 1;
    }

    QStringView m_text;
    QChar m_separator;
    CsvTable &m_table;
    QStringList m_fields;
    QString m_field;
    bool m_quoted = false;
    bool m_wasQuoted = false;
    int m_line;
    int m_recordLine;
    int m_quoteLine = 1;
};

bool NeedsApostrophe(QStringView field)
{
    if (field.isEmpty())
        return false;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (field.front() == QLatin1Char('\''))
        return NeedsApostrophe(field.mid(1));
    return formulaStarts.contains(field.front()) && !NumberText::Parse(field.toString());
}

// A field is quoted when it holds the separator, a quote or a line break, or
// starts with a byte-order mark that the reader would take for the file's
// own. In a comma-separated file a semicolon is quoted too: outside quotes
// it could make the header line read as semicolon-separated. (A decimal
// comma of a semicolon-separated file stays as it is.)
QString Quoted(const QString &field, QChar separator)
{
    static const QString needsQuotes = QStringLiteral("\"\r\n");
    const bool commas = separator == QLatin1Char(',');
    bool quote = field.startsWith(QChar(0xFEFF));
    for (const QChar c : field)
        quote = quote || c == separator || (commas && c == QLatin1Char(';')) || needsQuotes.contains(c);
    if (!quote)
        return field;
    QString doubled = field;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

CsvTable CsvTable::Parse(const QByteArray &bytes)
{
    CsvTable table;
    const DecodedText decoded = Decode(bytes);
    table.encoding = decoded.encoding;
    if (decoded.broken) {
        table.error = StrF(ExchangeStrings::NotTextOfItsMark, {decoded.encoding, decoded.encoding});
        return table;
    }
    QStringView body = decoded.text;
    int firstLine = 1;
    if (const std::optional<SeparatorLine> line = SeparatorLineOf(body)) {
        table.separator = line->separator;
        body = body.mid(line->length);
        firstLine = 2;
    } else {
        table.separator = SeparatorOfHeader(body);
    }
    CsvScanner(body, table.separator, firstLine, table).Run();
    if (!table.error.isEmpty())
        table.records.clear();
    return table;
}

QString SpreadsheetText(const QString &field)
{
    return NeedsApostrophe(field) ? QLatin1Char('\'') + field : field;
}

QString FromSpreadsheetText(const QString &field)
{
    return field.startsWith(QLatin1Char('\'')) && NeedsApostrophe(QStringView(field).mid(1)) ? field.mid(1) : field;
}

QString CsvCell(const QString &field)
{
    return Quoted(SpreadsheetText(field), QLatin1Char(','));
}

CsvDialect CsvDialect::ForSpreadsheets(const QLocale &locale)
{
    CsvDialect dialect;
    dialect.byteOrderMark = true;
    if (locale.decimalPoint() == QLatin1String(",")) {
        dialect.separator = QLatin1Char(';');
        dialect.decimalComma = true;
    }
    return dialect;
}

QByteArray CsvEncode(const QList<QStringList> &records, const CsvDialect &dialect)
{
    QString text;
    for (const QStringList &record : records) {
        QStringList fields;
        for (const QString &field : record)
            fields << Quoted(SpreadsheetText(field), dialect.separator);
        text += fields.join(dialect.separator) + QLatin1String("\r\n");
    }
    return (dialect.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}
