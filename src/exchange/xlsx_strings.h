#pragma once

// Numbers of the texts of instrument lists as XLSX workbooks in the
// language packs. The reasons are said after "Can't read the file '%s': ".
namespace XlsxStrings {
enum : int {
    NotZip = 64731,
    PartMissing = 64732,
    NoSheet = 64733,
    BrokenXml = 64734,
    PartTooLarge = 64735,
    PartTooPacked = 64736,
    CantUnpack = 64737,
    BadCellReference = 64738,
    NoSharedText = 64739,
    FormulaNotCalculated = 64740,
    CantWrite = 64741,
    XlsxOption = 64742,
    XlsxExtension = 64743,
    XlsxFilterName = 64744,
    SheetName = 64745,
    OneForm = 64746,
    CsvOnlyOptions = 64747,
    SheetTooSparse = 64748,
};
} // namespace XlsxStrings
