#pragma once

// Numbers of the texts of files read from and written for other programs
// (spreadsheets) in the language packs.
namespace ExchangeStrings {
enum : int {
    NotTextOfItsMark = 64720,
    ReadAs = 64721,
    ColumnTwice = 64722,
    ModuleTwice = 64723,
    NulInCell = 64724,
};
} // namespace ExchangeStrings
