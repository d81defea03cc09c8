#pragma once

// Numbers of the texts of the item forms in the language packs.
namespace ItemFormStrings {
enum : int {
    FieldNotFound = 50020,
    ChangedOutside = 50209,
    InternalError = 61704,
    Company = 63340,
    Project = 63341,
    ProjectPlacement = 63342,
    CreatedBy = 63343,
    RevisionNumber = 63344,
    OrderNumber = 63345,
    DocumentName = 63346,
    DocumentNumber = 63347,
    TestingBy = 63348,
    TooManyCharacters = 63349,
    MoveHere = 63350,
    CopyHere = 63351,
    CancelDrop = 63352,
};
} // namespace ItemFormStrings
