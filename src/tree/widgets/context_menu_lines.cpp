#include "tree/widgets/context_menu_lines.h"

#include "base/command_ids.h"
#include "tree/dynamic_menu.h"
#include "tree/list_view_modes.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QStatusTipEvent>

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

namespace {

void SendPrompt(QWidget *view, const QString &prompt)
{
    if (!view)
        return;
    QStatusTipEvent tip(prompt);
    QCoreApplication::sendEvent(view, &tip);
}

} // namespace

void ShowPromptsThrough(QMenu &menu, QWidget &view)
{
    // A popup menu is a window of its own: the prompt Qt sends for an entry
    // that belongs to the menu stops at the popup and never reaches the
    // status bar. Sent to the view, it climbs to the program window.
    const QPointer<QWidget> target(&view);
    QObject::connect(&menu, &QMenu::hovered, &view,
                     [target](QAction *action) { SendPrompt(target, action->statusTip()); });
    QObject::connect(&menu, &QMenu::aboutToHide, &view, [target] { SendPrompt(target, QString()); });
}
