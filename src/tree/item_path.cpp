#include "tree/item_path.h"

#include "tree/document.h"

Item *FindItemByPath(C7100Document &document, const QString &path)
{
    ContainerItem *root = document.Root();
    if (!root)
        return nullptr;
    Item *current = root;
    QStringList names = document.SplitPath(path);
    // With the root hidden the path starts below it.
    if (root->shown()) {
        if (names.isEmpty() || names.takeFirst() != document.GetName(*root))
            return nullptr;
    }
    for (const QString &name : names) {
        ContainerItem *container = current->asContainer();
        if (!container || !document.EnsureChildren(*container))
            return nullptr;
        Item *found = nullptr;
        container->forEachChild([&](Item &child) {
            // Only what the tree shows has a path: catalogue rows and the
            // project's option rows hang below the project too.
            if (!found && child.shown() && document.GetName(child) == name)
                found = &child;
        });
        if (!found)
            return nullptr;
        current = found;
    }
    return current;
}
