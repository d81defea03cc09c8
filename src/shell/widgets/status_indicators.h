#pragma once

#include "shell/lock_keys.h"

#include <QObject>

class QEvent;
class QLabel;
class QStatusBar;

// The CAP, NUM and SCRL panes of the status bar: each shows its text while
// its lock is on and stays empty, at its width, while it is off. It watches
// the keys of the whole program.
class StatusIndicators : public QObject {
    Q_OBJECT
public:
    explicit StatusIndicators(QStatusBar &bar);
    ~StatusIndicators() override;

    // The texts of the active language.
    void Retranslate();
    QLabel *Pane(LockKeys::Lock lock) const { return m_panes[lock]; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Show();

    LockKeys m_locks;
    QLabel *m_panes[3] = {nullptr, nullptr, nullptr};
    // A key press travels up the widgets that ignore it: it counts once.
    const QEvent *m_lastPress = nullptr;
};
