// The window with a module online, over a real project and a simulated
// module on a real pseudo-terminal: the tree marks the online module and
// keeps it marked through what builds the tree anew.
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
    void aLanguageChangeKeepsTheOnlineModulesMark();

private:
    struct OnlineWindow {
        ShellTestProject project;
        ModuleSimulator simulator{SimulatorOptions{}};
        AppSettings settings;
        std::unique_ptr<CMainFrame> frame;

        // The window as the program opens it: the project first, the link
        // once the window shows.
        void start()
        {
            QVERIFY(simulator.start());
            project.session.SetPortForThisRun(simulator.devicePath());
            QVERIFY(project.open());
            frame = std::make_unique<CMainFrame>(project.session, settings);
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
            project.session.Document().StartLink();
            QTRY_VERIFY_WITH_TIMEOUT(project.session.Transfer().IsModuleOnline(), 20000);
        }
        ~OnlineWindow() { project.session.Link().StopLink(); }
        ModuleTransfer &transfer() { return project.session.Transfer(); }
        // The tree's entry of the online module, invalid when there is none.
        QModelIndex onlineEntry()
        {
            return frame->Tree()->treeModel().indexOf(transfer().OnlineModule());
        }
    };
};

// A module made of the connected one is marked online; after the switch to
// German and back the tree, built anew, still marks it.
void TestOnlineWindow::aLanguageChangeKeepsTheOnlineModulesMark()
{
    ScriptedMessages messages;
    messages.answer(MessageAnswer::Yes);
    const ModuleDialogService::Presenter previous =
        ModuleDialogService::setPresenter(ModuleDialogService::acceptProposals);
    OnlineWindow window;
    window.start();
    // The question and the module's dialog follow the module's coming
    // online: the proposals are taken until the module is in the tree.
    QTRY_VERIFY2_WITH_TIMEOUT(window.onlineEntry().isValid(), qPrintable(messages.texts().join(" | ")), 20000);
    ModuleDialogService::setPresenter(previous);
    const int online = window.onlineEntry().data(DocumentTreeModel::TreeImageRole).toInt();
    QVERIFY(online == ModuleTransfer::ImageOnlineEqual || online == ModuleTransfer::ImageOnlineDifferent);
    const QString name = window.onlineEntry().data().toString();

    for (const int language : {CommandId::LanguageGerman, CommandId::LanguageEnglish}) {
        QVERIFY(window.frame->RunCommand(language));
        QTRY_VERIFY(window.onlineEntry().isValid());
        QCOMPARE(window.onlineEntry().data().toString(), name);
        QCOMPARE(window.onlineEntry().data(DocumentTreeModel::TreeImageRole).toInt(), online);
    }
}

QTEST_MAIN(TestOnlineWindow)
#include "test_online_window.moc"
