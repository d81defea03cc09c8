#pragma once

#include <QObject>
#include <QTimer>

// Hover selection of the list (the settings EnableHoverSelection and
// HoverTime): the row under the resting cursor is the hot one, and once the
// cursor has rested on it for the hover time it becomes the selected row.
// Moving to another row starts the wait again; leaving the rows ends it.
class HoverSelection : public QObject {
    Q_OBJECT
public:
    explicit HoverSelection(QObject *parent = nullptr);

    // From the settings; off: no row is ever hot.
    void Configure(bool enabled, int hoverMs);
    bool enabled() const { return m_enabled; }
    int hoverTime() const { return m_timer.interval(); }

    // The cursor is over row (-1: over no row, or it left the list).
    void Hovered(int row);
    // A button is pressed or an edit is open: the wait ends.
    void Interrupted();
    int hotRow() const { return m_hot; }

signals:
    // The hot row changed (the view underlines it).
    void hotRowChanged(int previous, int now);
    // The cursor rested on the row for the hover time.
    void selectRow(int row);

private:
    QTimer m_timer;
    bool m_enabled = false;
    int m_hot = -1;
};
