// An instrument list as a spreadsheet saves it, read into records; records
// written by the program and read again give the same cells.
#include "fuzz_target.h"

#include "exchange/csv_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    const CsvTable table = CsvTable::Parse(Fuzz::Bytes(data, size));
    if (!table.error.isEmpty()) {
        Fuzz::Require(table.records.empty(), "a file that cannot be read gives no records");
        return 0;
    }
    const QList<QStringList> cells = table.cells();
    const QByteArray written = CsvEncode(cells);
    const CsvTable again = CsvTable::Parse(written);
    Fuzz::Require(again.error.isEmpty(), "what the program writes it reads", again.error);
    Fuzz::Require(again.cells() == cells, "records written and read again keep their cells",
                  QString::fromUtf8(written));
    return 0;
}
