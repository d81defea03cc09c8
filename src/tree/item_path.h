#pragma once

#include <QString>

class C7100Document;
class Item;

// The item an item path names ("\\Project\Plant1\Cabinet1"), read from the
// database level by level as far as the path goes; null when a name is not
// found or a level cannot be read. Names are compared exactly; the first of
// two equal siblings is taken.
Item *FindItemByPath(C7100Document &document, const QString &path);
