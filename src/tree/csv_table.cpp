#include "tree/csv_table.h"

#include "tree/instrument_list_strings.h"

#include "base/number_text.h"
#include "base/string_table.h"

#include <QStringDecoder>

namespace {

QChar SeparatorOfHeader(const QString &text)
{
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
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
    CsvScanner(const QString &text, QChar separator, CsvTable &table)
        : m_text(text), m_separator(separator), m_table(table)
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
        if (!IsBlank(m_fields))
            m_table.records.push_back({m_recordLine, m_fields});
        m_fields.clear();
        m_recordLine = m_line + 1;
    }

    const QString &m_text;
    QChar m_separator;
    CsvTable &m_table;
    QStringList m_fields;
    QString m_field;
    bool m_quoted = false;
    bool m_wasQuoted = false;
    int m_line = 1;
    int m_recordLine = 1;
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

// A field is quoted when it holds a separator of either kind (a semicolon
// outside quotes could make the header line read as semicolon-separated), a
// quote or a line break, or starts with a byte-order mark that the reader
// would take for the file's own.
QString Quoted(const QString &field)
{
    static const QString needsQuotes = QStringLiteral(",;\"\r\n");
    bool quote = field.startsWith(QChar(0xFEFF));
    for (const QChar c : field)
        quote = quote || needsQuotes.contains(c);
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
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        table.error = Str(InstrumentListStrings::NotUtf8);
        return table;
    }
    const QString body = text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    table.separator = SeparatorOfHeader(body);
    CsvScanner(body, table.separator, table).Run();
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

QByteArray CsvEncode(const QList<QStringList> &records)
{
    QString text;
    for (const QStringList &record : records) {
        QStringList fields;
        for (const QString &field : record)
            fields << Quoted(SpreadsheetText(field));
        text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return text.toUtf8();
}
