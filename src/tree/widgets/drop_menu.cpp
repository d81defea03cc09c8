#include "tree/widgets/drop_menu.h"

#include "shell/string_table.h"
#include "tree/clipboard_strings.h"
#include "tree/drag_drop_presenter.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>

namespace DropMenu {

void install(QWidget *owner)
{
    if (!owner) {
        DropMenuService::setPresenter({});
        return;
    }
    QPointer<QWidget> parent(owner);
    DropMenuService::setPresenter([parent] {
        QMenu menu(parent);
        menu.setObjectName(QStringLiteral("24623"));
        auto add = [&menu](int id) {
            QAction *action = menu.addAction(Str(id));
            action->setObjectName(QString::number(id));
            return action;
        };
        QAction *move = add(ClipboardStrings::MoveHere);
        QAction *copy = add(ClipboardStrings::CopyHere);
        add(ClipboardStrings::CancelDrop);
        const QAction *chosen = menu.exec(QCursor::pos());
        if (chosen == move)
            return DropChoice::Move;
        if (chosen == copy)
            return DropChoice::Copy;
        return DropChoice::Cancel;
    });
}

} // namespace DropMenu
