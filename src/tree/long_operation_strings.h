#pragma once

// Numbers of the texts of a long item operation (multiply, paste, drop,
// several deletes) whose folder another program deleted meanwhile.
namespace LongOperationStrings {
enum : int {
    CopiesMadeBeforeGone = 63250,
    PastedBeforeGone = 63251,
    DeletedBeforeGone = 63252,
    GonePlant = 63253,
    GoneCabinet = 63254,
    GoneCarrier = 63255,
    GoneFolder = 63256,
};
} // namespace LongOperationStrings
