#include "tree/item_order.h"

#include "tree/document.h"

#include <algorithm>
#include <vector>

namespace ItemOrder {

namespace {

// The list columns with text of a level, in their list order.
std::vector<int> TextColumns(CTableLevel &level)
{
    std::vector<int> result;
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    for (size_t i = 0; columns && i < columns->size(); ++i)
        if ((*columns)[i].headerString >= 0 && (*columns)[i].textFlag)
            result.push_back(int(i));
    std::stable_sort(result.begin(), result.end(), [columns](int x, int y) {
        return (*columns)[size_t(x)].listPosition < (*columns)[size_t(y)].listPosition;
    });
    return result;
}

QString TextOf(const C7100Document &document, const Item &item, const QString &column)
{
    return document.GetValue(item, column, false).toString();
}

} // namespace

Key KeyOf(const C7100Document &document, const Item &item, const QString &sortText)
{
    Key key{item.level().attributes().layoutIndex, sortText, {}};
    const std::vector<ColumnInfo> *columns = item.level().GetColumns();
    for (const int column : TextColumns(item.level()))
        key.texts << TextOf(document, item, (*columns)[size_t(column)].name);
    return key;
}

Key KeyOf(const C7100Document &document, const Item &item)
{
    return KeyOf(document, item, document.GetName(item));
}

int Compare(const Key &a, const Key &b)
{
    if (a.level != b.level)
        return a.level < b.level ? -1 : 1;
    if (const int bySort = a.sortText.compare(b.sortText, Qt::CaseInsensitive))
        return bySort;
    for (qsizetype i = 0; i < std::min(a.texts.size(), b.texts.size()); ++i)
        if (const int byText = a.texts[i].compare(b.texts[i], Qt::CaseInsensitive))
            return byText;
    return 0;
}

int Compare(const C7100Document &document, const Item &a, const Item &b, const QString &sortTextA,
            const QString &sortTextB)
{
    const int levelA = a.level().attributes().layoutIndex;
    const int levelB = b.level().attributes().layoutIndex;
    if (levelA != levelB)
        return levelA < levelB ? -1 : 1;
    if (const int bySort = sortTextA.compare(sortTextB, Qt::CaseInsensitive))
        return bySort;
    const std::vector<ColumnInfo> *columns = a.level().GetColumns();
    for (const int column : TextColumns(a.level())) {
        const QString &name = (*columns)[size_t(column)].name;
        if (const int byText =
                TextOf(document, a, name).compare(TextOf(document, b, name), Qt::CaseInsensitive))
            return byText;
    }
    return 0;
}

int Compare(const C7100Document &document, const Item &a, const Item &b)
{
    return Compare(document, a, b, document.GetName(a), document.GetName(b));
}

} // namespace ItemOrder
