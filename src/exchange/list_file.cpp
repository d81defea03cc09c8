#include "exchange/list_file.h"

#include "exchange/instrument_list.h"
#include "exchange/instrument_list_strings.h"
#include "exchange/xlsx_package.h"
#include "exchange/xlsx_strings.h"
#include "exchange/xlsx_table.h"

#include "base/string_table.h"

#include <QFileInfo>

namespace ListFile {

Form FormOfName(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0 ? Form::Xlsx : Form::Csv;
}

CsvTable Read(const QByteArray &bytes, const QString &fileName)
{
    if (!XlsxPackage::IsZip(bytes))
        return CsvTable::Parse(bytes);
    CsvTable table = ReadXlsxTable(bytes);
    if (!table.error.isEmpty())
        table.error = StrF(InstrumentListStrings::CannotRead, {fileName, table.error});
    return table;
}

EncodedFile EncodeXlsx(const QList<QStringList> &records)
{
    const QStringList header = records.isEmpty() ? QStringList() : records.front();
    QList<bool> numbers;
    for (const QString &column : header)
        numbers << InstrumentListColumns::HoldsNumbers(column);
    return ::EncodeXlsx(records, Str(XlsxStrings::SheetName), [&numbers](int row, int column) {
        return row > 0 && column < numbers.size() && numbers[column];
    });
}

EncodedFile Encode(const QList<QStringList> &records, Form form, const CsvDialect &dialect)
{
    return form == Form::Xlsx ? EncodeXlsx(records) : EncodedFile{EncodeList(records, dialect), QString()};
}

OutputFile::Target WithHeadOf(const OutputFile::Target &target, const QByteArray &bytes)
{
    if (!XlsxPackage::IsZip(bytes))
        return OutputFile::WithHeadOf(target, bytes);
    OutputFile::Target workbook = target;
    workbook.ownHead = XlsxHead(bytes);
    return workbook;
}

} // namespace ListFile
