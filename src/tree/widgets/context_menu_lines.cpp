#include "tree/widgets/context_menu_lines.h"

#include "tree/dynamic_menu.h"

#include <QMenu>

void AddAddNewSubmenu(QMenu &menu, const QString &text, DynamicMenuBuilder &builder, const ColumnLayout *layout)
{
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
