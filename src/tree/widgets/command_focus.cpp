#include "tree/widgets/command_focus.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

bool IsMenu(const QWidget *widget)
{
    return qobject_cast<const QMenuBar *>(widget) || qobject_cast<const QMenu *>(widget);
}

// Follows the focus for the whole run from the first question on.
class FocusBeforeMenu : public QObject {
public:
    FocusBeforeMenu() : QObject(qApp)
    {
        m_last = QApplication::focusWidget();
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now && !IsMenu(now))
                m_last = now;
        });
    }
    QWidget *last() const { return m_last.data(); }

private:
    QPointer<QWidget> m_last;
};

} // namespace

QWidget *CommandFocus::Widget()
{
    static QPointer<FocusBeforeMenu> tracker;
    if (!tracker && qApp)
        tracker = new FocusBeforeMenu;
    QWidget *focus = QApplication::focusWidget();
    if (!IsMenu(focus) || !tracker)
        return focus;
    return tracker->last();
}
