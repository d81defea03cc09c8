#pragma once

// Numbers of the texts of the item forms in the language packs.
namespace ItemFormStrings {
enum : int {
    FieldNotFound = 50020,
    ChangedOutside = 50209,
    InternalError = 61704,
    Company = 63240,
    Project = 63241,
    ProjectPlacement = 63242,
    CreatedBy = 63243,
    RevisionNumber = 63244,
    OrderNumber = 63245,
    DocumentName = 63246,
    DocumentNumber = 63247,
    TestingBy = 63248,
    TooManyCharacters = 63249,
};
} // namespace ItemFormStrings
