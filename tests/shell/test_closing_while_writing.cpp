// Closing the main window while a module is being written asks first: Yes
// (the answer Enter gives) waits for the download to end and closes then, No
// abandons it and the log says so. Over a real project and a simulated module
// on a real pseudo-terminal, paced as a 9600 baud line, so that a download
// takes its time.
#include "base/settings.h"
#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_project.h"
#include "support/captured_log.h"
#include "tools/simulator/module_simulator.h"

#include <QtTest>

class TestClosingWhileWriting : public QObject {
    Q_OBJECT
private slots:
    void init() { TestSupport::loadEnglish(); }
    void noAbandonsTheDownloadAndSaysSo();
    void yesWaitsForTheDownloadToEnd();
    void aWindowWithoutADownloadClosesWithoutAQuestion();

private:
    // The window over a project, with a module online on the paced line.
    struct OnlineWindow {
        ShellTestProject project;
        ModuleSimulator simulator{Options()};
        AppSettings settings;
        std::unique_ptr<CMainFrame> frame;
        ScriptedMessages messages;

        static SimulatorOptions Options()
        {
            SimulatorOptions options;
            options.moduleType = 6;
            options.lineRate = true;
            return options;
        }
        OnlineWindow()
        {
            QVERIFY(simulator.start());
            project.session.SetPortForThisRun(simulator.devicePath());
            QVERIFY(project.open());
            frame = std::make_unique<CMainFrame>(project.session, settings);
            project.session.Document().StartLink();
            project.session.Link().StartLink();
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
            // The module is not in the project: its creation is declined.
            QTRY_VERIFY_WITH_TIMEOUT(project.session.Transfer().IsModuleOnline(), 20000);
            QTest::qWait(200);
            messages.clear();
        }
        ~OnlineWindow() { project.session.Link().StopLink(); }
        // The connected module written with what it holds, as a download
        // asks the link.
        bool startDownload()
        {
            return project.session.Link().RequestDownload(project.session.Transfer().ConnectedImage(),
                                                          Family7230);
        }
    };
};

void TestClosingWhileWriting::noAbandonsTheDownloadAndSaysSo()
{
    OnlineWindow window;
    CapturedLog log;
    QVERIFY(window.startDownload());
    window.messages.answer(MessageAnswer::No);
    QVERIFY(window.frame->close());
    QCOMPARE(window.messages.shown().size(), size_t(1));
    const MessageRequest &asked = window.messages.shown().front();
    QVERIFY2(asked.text.startsWith("The module '") && asked.text.contains("is being written"), qPrintable(asked.text));
    QCOMPARE(asked.icon, MessageIcon::Question);
    QCOMPARE(asked.buttons, MessageButtons::YesNo);
    // Enter waits: abandoning may leave the module half written.
    QCOMPARE(asked.defaultAnswer, MessageAnswer::Yes);
    QCOMPARE(log.lines.filter("abandoned").size(), 1);
    QVERIFY2(log.lines.filter("abandoned").front().startsWith("Download for module '"),
             qPrintable(log.lines.join('\n')));
    QVERIFY(!window.frame->isVisible());
}

void TestClosingWhileWriting::yesWaitsForTheDownloadToEnd()
{
    OnlineWindow window;
    CapturedLog log;
    QVERIFY(window.startDownload());
    window.messages.answer(MessageAnswer::Yes);
    QVERIFY(!window.frame->close());
    QCOMPARE(window.messages.shown().size(), size_t(1));
    QVERIFY(window.frame->isVisible());
    QVERIFY(log.lines.filter("Download for module").isEmpty());
    // The window closes by itself once the module has been written.
    QTRY_VERIFY_WITH_TIMEOUT(!window.frame->isVisible(), 30000);
    QCOMPARE(log.lines.filter(" ...... OK").size(), 1);
    QVERIFY(log.lines.filter("abandoned").isEmpty());
    QCOMPARE(window.messages.shown().size(), size_t(1));
}

void TestClosingWhileWriting::aWindowWithoutADownloadClosesWithoutAQuestion()
{
    OnlineWindow window;
    QVERIFY(window.frame->close());
    QVERIFY(window.messages.shown().empty());
}

QTEST_MAIN(TestClosingWhileWriting)
#include "test_closing_while_writing.moc"
