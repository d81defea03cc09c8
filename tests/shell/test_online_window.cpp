// The window with a module online, over a real project and a simulated
// module on a real pseudo-terminal: the tree marks the online module as the
// same as its project module or differing from it, and keeps the mark
// through what builds the tree anew.
#include "base/command_ids.h"
#include "base/settings.h"
#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_project.h"
#include "tools/simulator/module_simulator.h"
#include "tree/document_tree_model.h"
#include "tree/hierarchy_strings.h"
#include "tree/module_dialog_service.h"
#include "tree/widgets/left_view.h"

#include <QtTest>

class TestOnlineWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { TestSupport::loadEnglish(); }
    void cleanup() { TestSupport::loadEnglish(); }
    void aModuleMadeOfTheConnectedOneIsMarkedTheSame();
    void aModuleMadeEarlierIsFoundTheSameWhenOpenedAgain();

private:
    // A project session shown in the main window with the link to a
    // simulated module.
    struct SessionWindow {
        explicit SessionWindow(ProjectSession &shown) : session(shown) {}
        ProjectSession &session;
        AppSettings settings;
        std::unique_ptr<CMainFrame> frame;

        // The window as the program opens it: the project first, the link
        // once the window shows.
        void start(const QString &path, const QString &port)
        {
            session.SetPortForThisRun(port);
            QVERIFY(session.Commands().OnOpenDocument(path));
            frame = std::make_unique<CMainFrame>(session, settings);
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
            session.Document().StartLink();
            QTRY_VERIFY_WITH_TIMEOUT(session.Transfer().IsModuleOnline(), 20000);
        }
        ~SessionWindow() { session.Link().StopLink(); }
        ModuleTransfer &transfer() { return session.Transfer(); }
        // The tree's entry of the online module, invalid when there is none.
        QModelIndex onlineEntry()
        {
            return frame->Tree()->treeModel().indexOf(transfer().OnlineModule());
        }
        int onlineImage() { return onlineEntry().data(DocumentTreeModel::TreeImageRole).toInt(); }
        // What the last comparison found, one difference a line.
        QString differences()
        {
            QStringList lines;
            for (const ParameterDifference &difference : transfer().LastDifferences())
                lines << QStringLiteral("%1 (channel %2): module '%3', project '%4'")
                             .arg(difference.name)
                             .arg(difference.channel)
                             .arg(difference.moduleText, difference.otherText);
            return lines.join('\n');
        }
        // The link has polled the module this many times more: each poll
        // compares the module with the project again.
        void waitForPolls(int polls)
        {
            QSignalSpy refreshed(&transfer(), &ModuleTransfer::liveValuesRefreshed);
            QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= polls, 20000);
        }
    };

    // After the link has polled the module this many times more, it is
    // still compared the same and marked so.
    static void verifyMarkedTheSame(SessionWindow &window, int polls)
    {
        window.waitForPolls(polls);
        QVERIFY2(!window.transfer().HasDifferences(), qPrintable(window.differences()));
        QCOMPARE(window.onlineImage(), int(ModuleTransfer::ImageOnlineEqual));
    }

    // A 7230/211-2 (two channels, a current output, relays): a module whose
    // flags are those its type row gives, as every real module's are.
    static SimulatorOptions twoChannelModule()
    {
        SimulatorOptions options;
        options.moduleType = 6;
        return options;
    }

    // The connected module is not in the project: the question is answered
    // Yes and the module dialog's proposals are taken until the module is in
    // the tree (the question may come after the module is online).
    static void makeTheConnectedModule(SessionWindow &window, const QString &path, const QString &port)
    {
        ScriptedMessages messages;
        messages.answer(MessageAnswer::Yes);
        const ModuleDialogService::Presenter previous =
            ModuleDialogService::setPresenter(ModuleDialogService::acceptProposals);
        window.start(path, port);
        QTRY_VERIFY2_WITH_TIMEOUT(window.onlineEntry().isValid(), qPrintable(messages.texts().join(" | ")), 20000);
        ModuleDialogService::setPresenter(previous);
        QVERIFY(window.transfer().IsNewModule());
    }
};

// A module made of the connected one holds what the module holds: it is
// marked the same from the start, through the polls that compare it again
// and through a language change that builds the tree anew.
void TestOnlineWindow::aModuleMadeOfTheConnectedOneIsMarkedTheSame()
{
    ShellTestProject project;
    ModuleSimulator simulator{twoChannelModule()};
    QVERIFY(simulator.start());
    SessionWindow window(project.session);
    makeTheConnectedModule(window, project.path, simulator.devicePath());
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(window.onlineImage() == ModuleTransfer::ImageOnlineEqual, qPrintable(window.differences()));
    verifyMarkedTheSame(window, 3);
    const QString name = window.onlineEntry().data().toString();

    for (const int language : {CommandId::LanguageGerman, CommandId::LanguageEnglish}) {
        QVERIFY(window.frame->RunCommand(language));
        QTRY_VERIFY(window.onlineEntry().isValid());
        QCOMPARE(window.onlineEntry().data().toString(), name);
        QCOMPARE(window.onlineImage(), int(ModuleTransfer::ImageOnlineEqual));
    }
}

// What was made of the connected module was stored whole: with the project
// opened again and the same module connected, it is found and compared
// with a report, and it is the same.
void TestOnlineWindow::aModuleMadeEarlierIsFoundTheSameWhenOpenedAgain()
{
    ShellTestProject project;
    ModuleSimulator simulator{twoChannelModule()};
    QVERIFY(simulator.start());
    {
        SessionWindow window(project.session);
        makeTheConnectedModule(window, project.path, simulator.devicePath());
        if (QTest::currentTestFailed())
            return;
        QVERIFY(window.frame->close());
    }
    project.session.Shutdown();

    ScriptedMessages messages;
    ProjectSession again;
    SessionWindow window(again);
    window.start(project.path, simulator.devicePath());
    QTRY_VERIFY_WITH_TIMEOUT(window.onlineEntry().isValid(), 20000);
    QVERIFY(!window.transfer().IsNewModule());
    verifyMarkedTheSame(window, 2);
}

QTEST_MAIN(TestOnlineWindow)
#include "test_online_window.moc"
