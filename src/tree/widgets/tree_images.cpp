#include "tree/widgets/tree_images.h"

#include "tree/document_tree_model.h"

#include <QApplication>
#include <QFont>
#include <QHash>
#include <QPalette>

namespace TreeImages {

namespace {

QString ModulePath(const QString &table)
{
    if (table.startsWith(QLatin1String("Modules7210")))
        return QStringLiteral(":/icons/tree-2-module-7210.svg");
    if (table.startsWith(QLatin1String("Modules7220")))
        return QStringLiteral(":/icons/tree-2-module-7220.svg");
    return QStringLiteral(":/icons/tree-2-module-7230.svg");
}

} // namespace

QString PathOf(int image, const QString &table)
{
    switch (image) {
    case 0: return QStringLiteral(":/icons/tree-0-project.svg");
    case 1: return QStringLiteral(":/icons/tree-1-plant.svg");
    case 2: return ModulePath(table);
    case 3: return QStringLiteral(":/icons/tree-3-cabinet.svg");
    case 4: return QStringLiteral(":/icons/tree-4-carrier.svg");
    case 9: return QStringLiteral(":/icons/tree-9-signal.svg");
    case 11: return QStringLiteral(":/icons/tree-11-signals-root.svg");
    case 12: return QStringLiteral(":/icons/tree-12-online-equal.svg");
    case 13: return QStringLiteral(":/icons/tree-13-online-different.svg");
    case 14: return QStringLiteral(":/icons/tree-14-catalogue.svg");
    default: return QString();
    }
}

QIcon IconOf(int image, const QString &table)
{
    // One icon a picture, so that the SVG is parsed once.
    static QHash<QString, QIcon> made;
    const QString path = PathOf(image, table);
    if (path.isEmpty())
        return QIcon();
    auto at = made.find(path);
    if (at == made.end())
        at = made.insert(path, QIcon(path));
    return *at;
}

QVariant EntryLook(const QModelIndex &index, int role, const QString &table)
{
    switch (role) {
    case Qt::DecorationRole:
        return IconOf(index.data(DocumentTreeModel::TreeImageRole).toInt(), table);
    case Qt::FontRole: {
        if (!index.data(DocumentTreeModel::BoldRole).toBool())
            return {};
        QFont font = QApplication::font();
        font.setBold(true);
        return font;
    }
    case Qt::ForegroundRole:
        if (!index.data(DocumentTreeModel::DimmedRole).toBool())
            return {};
        return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    default:
        return {};
    }
}

} // namespace TreeImages
