#pragma once

#include "shell/widgets/main_frame.h"
#include "tree/widgets/item_form_view.h"

#include <QPushButton>
#include <QSplitter>
#include <QtTest>

// A folder made with an "Add New" command is new in its form until its
// "&Apply" stores it; this is the user who keeps it.
inline bool AddAppliedFolder(CMainFrame &frame, int command)
{
    if (!frame.RunCommand(command))
        return false;
    QPushButton *apply = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        for (int i = 0; i < frame.RightPane()->count() && !apply; ++i)
            if (auto *form = qobject_cast<CTagView *>(frame.RightPane()->widget(i)))
                apply = form->findChild<QPushButton *>(QStringLiteral("40200"));
        return apply && apply->isEnabled();
    });
    if (!shown)
        return false;
    QTest::mouseClick(apply, Qt::LeftButton);
    return !apply->isEnabled();
}
