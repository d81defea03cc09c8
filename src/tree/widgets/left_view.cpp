#include "tree/widgets/left_view.h"

#include "base/string_table.h"
#include "tree/tree_strings.h"

#include <QMenu>

namespace {
constexpr int kViewCommandsKept = 6;
} // namespace

CLeftView::CLeftView(CMy7100Doc &document, QWidget *parent) : C7100TreeView(document, parent)
{
    setObjectName(QStringLiteral("CLeftView"));
}

bool CLeftView::PrepareContextMenu(QMenu &menu, Item &item)
{
    if (!TreeViewLogic::KeepsOnlyViewCommands(item))
        return true;
    const QList<QAction *> actions = menu.actions();
    for (qsizetype i = 0; i < actions.size() - kViewCommandsKept; ++i) {
        menu.removeAction(actions[i]);
        if (actions[i]->parent() == &menu && !actions[i]->menu())
            delete actions[i];
    }
    auto *rename = new QAction(Str(TreeStrings::RenameCommand), &menu);
    rename->setObjectName(QString::number(RenameContext));
    // The signals root itself cannot be renamed.
    rename->setEnabled(TreeViewLogic::CanEdit(&item));
    menu.insertAction(menu.actions().value(0), rename);
    return true;
}
