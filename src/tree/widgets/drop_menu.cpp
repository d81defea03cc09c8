#include "tree/widgets/drop_menu.h"

#include "base/string_table.h"
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
    DropMenuService::setPresenter([parent](const DropMenuChoice &offer) {
        QMenu menu(parent);
        menu.setObjectName(QStringLiteral("24623"));
        auto add = [&menu](int id) {
            QAction *action = menu.addAction(Str(id));
            action->setObjectName(QString::number(id));
            return action;
        };
        for (const DropEffect effect : offer.entries) {
            const bool move = effect == DropEffect::Move;
            QAction *action = add(move ? ClipboardStrings::MoveHere : ClipboardStrings::CopyHere);
            action->setData(int(move ? DropChoice::Move : DropChoice::Copy));
            if (effect == offer.proposed)
                menu.setDefaultAction(action);
        }
        add(ClipboardStrings::CancelDrop)->setData(int(DropChoice::Cancel));
        const QAction *chosen = menu.exec(QCursor::pos());
        return chosen ? DropChoice(chosen->data().toInt()) : DropChoice::Cancel;
    });
}

} // namespace DropMenu
