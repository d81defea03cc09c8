#pragma once

#include <vector>

// Field types of a row record: Long (32-bit signed), Yes/No (stored -1/0) and
// Text(n) (at most n characters kept when read).
enum class FieldType { Long, Bool, Text };

// One field of a row record, in ordinal order. A field without a name is bound
// but has no column in the table (its place reads as NULL or 0).
struct FieldSpec {
    const char *name;
    FieldType type;
    int width; // characters of a Text field; 0 otherwise
};

// How the list view shows a table's columns.
enum class ListStyle { Tree, Signals, Catalogue };

// The row record and column map of one accessor class.
struct AccessorSpec {
    const char *className;
    ListStyle style;
    int descriptionPosition; // list position of Description in the Tree style
    std::vector<FieldSpec> fields;
};

namespace Schema {
// The accessor description of a class name ("CSignalsAccessor"), or null.
const AccessorSpec *FindAccessor(const char *className);
// Every accessor class, each once.
const std::vector<const AccessorSpec *> &AllAccessors();
} // namespace Schema
