#include "tree/folder_naming.h"

#include <QObject>
#include <QVariant>

namespace {
constexpr char kFolderBeingNamed[] = "zwFolderBeingNamed";
} // namespace

void FolderNaming::Begin(QObject &document, ItemHandle folder)
{
    document.setProperty(kFolderBeingNamed, QVariant::fromValue(folder));
}

bool FolderNaming::End(QObject &document, ItemHandle folder)
{
    const QVariant named = document.property(kFolderBeingNamed);
    document.setProperty(kFolderBeingNamed, QVariant());
    return folder != 0 && named.isValid() && named.value<ItemHandle>() == folder;
}
