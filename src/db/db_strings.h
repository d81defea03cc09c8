#pragma once

// Numbers of the texts of the project database layer in the language packs.
namespace DbStrings {
enum : int {
    NoSpecificInformation = 50000,
    CantConnect = 50002,
    CantGetTablesInformation = 50005,
    MissingTable = 50006,
    MissingColumn = 50007,
    UnspecifiedError = 50010,
    NoApplicationMessage = 50011,
    CantOpenRowset = 50013,
    CantMoveNext = 50014,
    CantGetNewId = 50015,
    CantCreateSequence = 50016,
    CantConvertVariant = 50019,
    DetailsShown = 50201,
    DetailsHidden = 50202,

    StringNotFound = 62600,
    EmptyQuery = 62601,
    NoSpecifiedSource = 62602,
    CantCreateSession = 62603,
    UndefinedType = 62605,
    DialogTitle = 62606,
    SourceLabel = 62607,
    DescriptionLabel = 62608,
    CodeLabel = 62609,
    OkButton = 62610,
    TextTooLong = 62611,
    ValueDoesNotFit = 62612,
    TypeMismatch = 62613,
    Overflow = 62614,
    InvalidUseOfNull = 62615,
    TextHasControlCharacter = 62616,
    BadSequenceCounter = 62617,
};
} // namespace DbStrings
