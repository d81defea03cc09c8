#include "shell/first_start_layout.h"

#include <algorithm>

FirstStartLayout FirstStartLayout::For(const QRect &available, int charWidth, int indentation)
{
    FirstStartLayout layout;
    const QSize size(available.width() * kScreenPercent / 100, available.height() * kScreenPercent / 100);
    layout.window = QRect(QPoint(0, 0), size);
    layout.window.moveCenter(available.center());
    // The expand mark and the icon of the entry take about one step each,
    // the frame and the scroll bar about two more.
    const int wanted = (kModuleDepth + 4) * indentation + kModuleNameCharacters * charWidth;
    const int least = 20 * charWidth; // the tree's width of a placed window
    const int most = size.width() * kMostTreePercent / 100;
    layout.treeWidth = std::max(least, std::min(wanted, most));
    return layout;
}
