#include "exchange/xlsx_writer.h"

#include "exchange/xlsx_strings.h"

#include "base/number_text.h"
#include "base/string_table.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <optional>

#include <xlsxwriter.h>

namespace {

// The decimals a number's text shows: "21.500" three.
int DecimalsOf(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(text.size() - point - 1);
}

// Writes the cells into an open workbook; the library's error, or
// LXW_NO_ERROR.
class SheetWriter {
public:
    explicit SheetWriter(lxw_workbook *workbook) : m_workbook(workbook) {}

    lxw_error Write(lxw_worksheet *sheet, const QList<QStringList> &records,
                    const std::function<bool(int, int)> &isNumber)
    {
        for (int row = 0; row < records.size(); ++row) {
            const QStringList &cells = records[row];
            for (int column = 0; column < cells.size(); ++column) {
                const lxw_error error = Cell(sheet, row, column, cells[column], isNumber(row, column));
                if (error != LXW_NO_ERROR)
                    return error;
            }
        }
        return LXW_NO_ERROR;
    }

private:
    lxw_error Cell(lxw_worksheet *sheet, int row, int column, const QString &text, bool number)
    {
        if (text.isEmpty())
            return LXW_NO_ERROR;
        const auto lxwRow = lxw_row_t(row);
        const auto lxwColumn = lxw_col_t(column);
        const std::optional<double> value = number ? NumberText::Parse(text) : std::nullopt;
        // A number with an exponent is shown as the spreadsheet's General does.
        if (value && !text.contains(QLatin1Char('e'), Qt::CaseInsensitive))
            return worksheet_write_number(sheet, lxwRow, lxwColumn, *value, FormatWithDecimals(DecimalsOf(text)));
        if (value)
            return worksheet_write_number(sheet, lxwRow, lxwColumn, *value, nullptr);
        return worksheet_write_string(sheet, lxwRow, lxwColumn, text.toUtf8().constData(), nullptr);
    }

    lxw_format *FormatWithDecimals(int decimals)
    {
        if (decimals == 0)
            return nullptr;
        lxw_format *&format = m_formats[decimals];
        if (!format) {
            format = workbook_add_format(m_workbook);
            const QByteArray pattern = "0." + QByteArray(decimals, '0');
            format_set_num_format(format, pattern.constData());
        }
        return format;
    }

    lxw_workbook *m_workbook;
    QHash<int, lxw_format *> m_formats;
};

EncodedFile Failure(const QString &reason)
{
    return {QByteArray(), StrF(XlsxStrings::CantWrite, {reason})};
}

} // namespace

EncodedFile EncodeXlsx(const QList<QStringList> &records, const QString &sheetName,
                       const std::function<bool(int row, int column)> &isNumber)
{
    // The library writes a file: it is made in a folder of its own and read back.
    QTemporaryDir folder;
    if (!folder.isValid())
        return Failure(folder.errorString());
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("list.xlsx")));
    QByteArray temporary = QFile::encodeName(folder.path());
    lxw_workbook_options options{};
    options.tmpdir = temporary.data();
    lxw_workbook *workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook)
        return Failure(QString::fromUtf8(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED)));
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, sheetName.left(31).toUtf8().constData());
    if (!sheet)
        sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_error error = sheet ? SheetWriter(workbook).Write(sheet, records, isNumber) : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (sheet && error == LXW_NO_ERROR)
        worksheet_freeze_panes(sheet, 1, 0);
    // Closing writes the package, and frees the workbook in any case.
    const lxw_error closed = workbook_close(workbook);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        return Failure(QString::fromUtf8(lxw_strerror(error)));
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return Failure(file.errorString());
    return {file.readAll(), QString()};
}

QByteArray XlsxHead(const QByteArray &workbook)
{
    // A local file header: 30 bytes, then the entry's name of the length at 26.
    constexpr qsizetype kHeader = 30;
    if (workbook.size() < kHeader || !workbook.startsWith(QByteArrayLiteral("PK\x03\x04")))
        return QByteArray();
    const int nameLength = quint8(workbook[26]) | (quint8(workbook[27]) << 8);
    return workbook.left(kHeader + nameLength);
}
