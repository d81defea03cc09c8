#pragma once

#include <QString>
#include <QStringList>

class C7100Document;
class Item;

// The document's item comparison, shared by the tree and the list: first
// the level's layout index, then the given texts of the sort column, then
// the level's other text columns in their list order, each compared without
// regard to case.
namespace ItemOrder {
// What the comparison reads of one item, read once before a sort.
struct Key {
    int level = 0;
    QString sortText;
    QStringList texts;
};
Key KeyOf(const C7100Document &document, const Item &item, const QString &sortText);
// The tree's key: the name is the sort text.
Key KeyOf(const C7100Document &document, const Item &item);
int Compare(const Key &a, const Key &b);

// Negative when a stands before b in an ascending order, 0 when equal.
int Compare(const C7100Document &document, const Item &a, const Item &b, const QString &sortTextA,
            const QString &sortTextB);
// The tree's order: the name column is the sort column.
int Compare(const C7100Document &document, const Item &a, const Item &b);
} // namespace ItemOrder
