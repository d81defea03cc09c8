// An instrument list imported into a project without keeping it, as the dry
// run of the import does: every cell is read and checked as the parameter
// pages check it.
#include "fuzz_project.h"
#include "fuzz_target.h"

#include "exchange/instrument_list_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzProject &project = FuzzProject::Instance();
    const ImportReport report =
        InstrumentListImport(project.Document(), project.Catalogues()).Run(Fuzz::Bytes(data, size), false);
    Fuzz::Require(!report.written, "a dry run writes nothing");
    report.Lines();
    report.Summary(QStringLiteral("list.csv"));
    return 0;
}
