#pragma once

// Numbers of the texts of copy, cut, paste and drag-and-drop.
namespace ClipboardStrings {
enum : int {
    MoveHere = 40025,
    CopyHere = 40026,
    CancelDrop = 40027,
    CopyOfPrefix = 50220,
    NumberedCopyPrefix = 50221,
    SourceAndDestination = 50222,
    CantCreateStructure = 50224,
    DifferentStructure = 50225,
    UnspecifiedError = 50226,
    InsertError = 50227,
    CantMove = 50228,
    CantCopy = 50229,
    ProceedMoving = 50230,
    ProceedCopying = 50231,
    SourceDatabase = 50232,
    SameAsSource = 50234,
    BelowSource = 50235,
    // The program's own: a container that moves within its database no
    // longer finds its source item.
    SourceGone = 63200,
};
} // namespace ClipboardStrings
