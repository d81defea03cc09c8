#pragma once

// Numbers of the texts of the item model in the language packs.
namespace TreeStrings {
enum : int {
    ModuleDeleted = 2238,
    FolderDeleted = 2239,
    ItemExists = 50017,
    UndefinedError = 50018,
    CantDeleteItem = 50022,
    ValueRequired = 50023,
    ConfirmDeleteNotEmpty = 50204,
    ConfirmDelete = 50205,
    CantInsert = 50207,
    CantUpdate = 50208,
    Yes = 50210,
    No = 50211,
    InvalidNameCharacters = 50219,
    EmptyName = 50240,
    ConfirmGlobalReload = 50242,
    ConfirmSubtreeReload = 50243,
    ReadOnlyNotDeleted = 63100,
    ApplicationName = 57344,
};
} // namespace TreeStrings
