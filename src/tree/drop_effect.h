#pragma once

#include <algorithm>
#include <vector>

// What a drop does, as the drag source learns it.
enum class DropEffect { None, Copy, Move };

// The entries a right-button drop offers in its menu ("Move Here", "Copy
// Here" as allowed; "Cancel" always follows) and the default one.
struct DropMenuChoice {
    std::vector<DropEffect> entries;
    DropEffect proposed = DropEffect::None;
};

// The menu of the allowed effects; a proposed effect that is not allowed
// gives way to the first allowed one.
inline DropMenuChoice OfferDropMenu(bool moveAllowed, bool copyAllowed, DropEffect proposed)
{
    DropMenuChoice choice;
    if (moveAllowed)
        choice.entries.push_back(DropEffect::Move);
    if (copyAllowed)
        choice.entries.push_back(DropEffect::Copy);
    const bool proposedAllowed =
        std::find(choice.entries.begin(), choice.entries.end(), proposed) != choice.entries.end();
    choice.proposed = proposedAllowed          ? proposed
                      : choice.entries.empty() ? DropEffect::None
                                               : choice.entries.front();
    return choice;
}
