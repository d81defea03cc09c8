#include "tree/hover_selection.h"

#include <utility>

HoverSelection::HoverSelection(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_hot >= 0)
            emit selectRow(m_hot);
    });
}

void HoverSelection::Configure(bool enabled, int hoverMs)
{
    m_enabled = enabled;
    // The list's own default stands for a time that is not positive.
    m_timer.setInterval(hoverMs > 0 ? hoverMs : 500);
    if (!enabled)
        Hovered(-1);
}

void HoverSelection::Hovered(int row)
{
    if (!m_enabled)
        row = -1;
    if (row == m_hot)
        return;
    const int previous = std::exchange(m_hot, row);
    m_timer.stop();
    if (row >= 0)
        m_timer.start();
    emit hotRowChanged(previous, row);
}

void HoverSelection::Interrupted()
{
    m_timer.stop();
}
