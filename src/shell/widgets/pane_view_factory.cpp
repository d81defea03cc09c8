#include "shell/widgets/pane_view_factory.h"

#include "base/shell_strings.h"
#include "base/string_table.h"

#include <QHash>
#include <QLabel>

namespace {
QHash<QString, PaneViewFactory::Creator> &Creators()
{
    static QHash<QString, PaneViewFactory::Creator> creators;
    return creators;
}

QWidget *Placeholder(QWidget *parent)
{
    auto *label = new QLabel(Str(ShellStrings::NoViewYet), parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAccessibleName(label->text());
    label->setBackgroundRole(QPalette::Base);
    label->setAutoFillBackground(true);
    return label;
}
} // namespace

void PaneViewFactory::Register(const QString &viewClass, Creator creator)
{
    Creators().insert(viewClass, std::move(creator));
}

bool PaneViewFactory::IsRegistered(const QString &viewClass)
{
    return Creators().contains(viewClass);
}

QWidget *PaneViewFactory::Create(const QString &viewClass, QWidget *parent)
{
    const auto creator = Creators().constFind(viewClass);
    QWidget *view = creator != Creators().constEnd() ? (*creator)(parent) : Placeholder(parent);
    view->setObjectName(viewClass);
    return view;
}
