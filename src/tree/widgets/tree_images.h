#pragma once

#include <QIcon>
#include <QModelIndex>
#include <QVariant>
#include <QString>

// The pictures of the tree's image list, by image index. Modules share
// index 2; the table of the module picks its family's colour.
namespace TreeImages {
// The resource path of an image, empty for an index without a picture.
QString PathOf(int image, const QString &table = QString());
QIcon IconOf(int image, const QString &table = QString());
// What an entry of the tree or the list paints under a decoration, font or
// foreground role, read from its image, bold and dimmed roles; an invalid
// value for any other role.
QVariant EntryLook(const QModelIndex &index, int role, const QString &table);
} // namespace TreeImages
