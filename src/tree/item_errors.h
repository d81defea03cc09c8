#pragma once

#include "tree/item.h"

#include <QString>

class C7100Document;

// How an item error reads: "Can't insert/update/delete <level> '<path>'."
// by the edit state the item was in, then the error itself (the document's
// own text for it, or the program's); empty for an unknown error.
QString ItemErrorMessage(const C7100Document &document, const Item &item, EditState state, int code);
