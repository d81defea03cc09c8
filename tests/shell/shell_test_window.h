#pragma once

#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_project.h"
#include "tree/hierarchy_strings.h"
#include "tree/widgets/item_form_view.h"

#include <QPushButton>
#include <QSplitter>
#include <QtTest>

#include <memory>

// What the test window starts with.
struct ShellTestWindowStart {
    // A plant "Plant1" stored before the window opens.
    bool plant = false;
    // The link started as at the program's start, so that the forms' fields
    // take input.
    bool link = false;
};

// The main window over a new project, shown and active, as the window tests
// drive it.
struct ShellTestWindow {
    using Start = ShellTestWindowStart;

    ShellTestProject project;
    AppSettings settings;
    std::unique_ptr<CMainFrame> frame;
    ItemHandle plant = 0;

    explicit ShellTestWindow(Start start = {})
    {
        QVERIFY(project.open());
        if (start.plant) {
            CMy7100Doc &document = project.session.Document();
            Item *item = document.CreateItem(*document.FindContainer(project.projectHandle()),
                                             HierarchyStrings::PlantName);
            QVERIFY(item && document.SetValue(*item, "Name", "Plant1", true) && document.Save(*item));
            plant = item->handle();
        }
        frame = std::make_unique<CMainFrame>(project.session, settings);
        if (start.link)
            project.session.Document().StartLink();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
    }
    CMy7100Doc &document() { return project.session.Document(); }
    template <typename View> View *rightView() const
    {
        for (int i = 0; i < frame->RightPane()->count(); ++i)
            if (auto *view = qobject_cast<View *>(frame->RightPane()->widget(i)))
                return view;
        return nullptr;
    }
};

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
