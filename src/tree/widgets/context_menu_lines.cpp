#include "tree/widgets/context_menu_lines.h"

#include "base/command_ids.h"
#include "tree/dynamic_menu.h"
#include "tree/list_view_modes.h"

#include <QMenu>

void AddAddNewSubmenu(QMenu &menu, const QString &text, DynamicMenuBuilder &builder, const ColumnLayout *layout,
                      const std::function<QMenu *(QWidget *parent)> &make)
{
    if (make) {
        QMenu *addNew = make(&menu);
        addNew->setTitle(text);
        menu.addMenu(addNew);
        return;
    }
    QMenu *addNew = menu.addMenu(text);
    addNew->setObjectName(QStringLiteral("AddNew"));
    builder.Fill(layout);
    for (const DynamicMenuBuilder::Entry &entry : builder.entries()) {
        QAction *action = addNew->addAction(entry.text);
        action->setObjectName(QString::number(entry.id));
        action->setEnabled(entry.enabled);
        action->setStatusTip(builder.Prompt(entry.id));
    }
}

bool IsOwnEntry(const QMenu &menu, QAction &action)
{
    return menu.actions().contains(&action);
}

void ShowCheckMark(QAction &action, int id, const std::function<bool(int)> &checked)
{
    if (ListViewModes::ModeOfCommand(id) < 0 && id != CommandId::DialogView)
        return;
    action.setCheckable(true);
    action.setChecked(checked && checked(id));
}
