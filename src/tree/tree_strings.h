#pragma once

// Numbers of the texts of the item model in the language packs.
namespace TreeStrings {
enum : int {
    // "Rename" in the tree's and the list's context menus
    RenameCommand = 565,
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
    // The progress window of the long item operations.
    MultiplyingCaption = 50030,
    CopyingCaption = 50031,
    MovingCaption = 50032,
    DeletingCaption = 50035,
    // The caption of the progress window while an instrument list is read in.
    ImportingCaption = 63397,
    CheckingCaption = 64771,
    CheckingStep = 64772,
    InsertingStep = 50040,
    FromToStep = 50041,
    DeletingStep = 50042,
    // Multiplying and deleting several items.
    ConfirmDeleteSeveral = 50206,
    ItemsInserted = 50214,
    OneItemInserted = 50215,
    ErrorsOccurred = 50216,
    CantInsertCopy = 50217,
    ProceedMultiplying = 50218,
    // The multiply dialog and the framework's checks of its fields.
    MultiplyTitle = 63340,
    BaseTextLabel = 63341,
    FirstNumberLabel = 63342,
    NumberOfItemsLabel = 63343,
    NumericPlacesLabel = 63344,
    ItemNameLabel = 63345,
    IncludingSubtreeLabel = 63346,
    IntegerBetween = 63347,
    IntegerExpected = 63348,
    TextTooLong = 63349,
    MenuMultiply = 63351,
};
} // namespace TreeStrings
