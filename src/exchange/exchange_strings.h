#pragma once

// Numbers of the texts of files read from and written for other programs
// (spreadsheets, the older tool's projects) in the language packs.
namespace ExchangeStrings {
enum : int {
    NotTextOfItsMark = 64720,
    ReadAs = 64721,
    ColumnTwice = 64722,
    ModuleTwice = 64723,
    NulInCell = 64724,
    NotAJetFile = 64780,
    CutShort = 64781,
    TableNotFound = 64782,
    ColumnNotFound = 64783,
    TableDamaged = 64784,
    TextTooLong = 64785,
    NumberOutOfRange = 64786,
    NotYesNo = 64787,
    RowRefused = 64788,
    TableCarried = 64789,
    TableCarriedOneRow = 64801,
    Carried = 64790,
    NothingWritten = 64791,
    OlderToolProject = 64792,
    ConvertDescription = 64793,
    CantRead = 64794,
    CantWriteProject = 64795,
    NotANumber = 64796,
    TargetExists = 64797,
    Upgraded = 64799,
    CatalogueUnreadable = 64800,
};
} // namespace ExchangeStrings
