#pragma once

#include "tree/item.h"

class QObject;

// The folder that Add New has just made and the user now names in place:
// its naming is its making, and the log says so. The document carries the
// handle until the naming ends.
namespace FolderNaming {
void Begin(QObject &document, ItemHandle folder);
// Whether the folder was the one being named; the naming ends with the
// question.
bool End(QObject &document, ItemHandle folder);
} // namespace FolderNaming
