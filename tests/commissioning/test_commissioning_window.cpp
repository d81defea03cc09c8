// The commissioning run's window, offscreen, over a real project and a
// simulated module on a real pseudo-terminal, driven by keys alone.
#include "commissioning/commissioning_queue_model.h"
#include "commissioning/commissioning_records.h"
#include "commissioning/commissioning_run.h"
#include "commissioning/widgets/commissioning_window.h"
#include "shell/shell_test_project.h"
#include "tools/simulator/module_simulator.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

class TestCommissioningWindow : public QObject {
    Q_OBJECT
private slots:
    void aModuleIsTakenAndVerifiedFromTheKeyboard();
    void closingWhileAModuleIsWrittenWaitsForItsRecord();
};

namespace {
bool WaitFor(const std::function<bool()> &done, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QTest::qWait(10);
    return done();
}
} // namespace

// A project with one two-channel module, the link to a simulated one and
// the run's window over them, shown and active.
class WindowFixture {
public:
    explicit WindowFixture(bool lineRate = false)
    {
        m_moduleAdded = TestSupport::runTool("zelnorctl", {"add-module", project.path, "\\\\Project", "7", "TT-201",
                                                          "TT-202"})
                          .exitCode == 0;
        SimulatorOptions options;
        options.moduleType = 6;
        options.lineRate = lineRate;
        simulator = std::make_unique<ModuleSimulator>(options);
    }

    bool open(bool assignNext = false)
    {
        if (!m_moduleAdded || !simulator->start())
            return false;
        project.session.SetPortForThisRun(simulator->devicePath());
        if (!project.open())
            return false;
        // Without the main window the link is started as the window starts it.
        project.session.Document().StartLink();
        if (!project.session.Link().StartLink() ||
            !WaitFor([&] { return project.session.Transfer().ConnectedImage().SerialNr == "SIM00000001"; }) ||
            !project.selectProject())
            return false;
        CMy7100Doc &document = project.session.Document();
        DbSession &database = *project.session.Database().Session();
        auto run = std::make_unique<CommissioningRun>(document, document.Lookup(), project.session.Transfer(),
                                                      project.session.Link(), database);
        run->setAssignNext(assignNext);
        if (!run->Prepare(CommissioningQueue::EntriesUnder(document, *document.FindItem(project.projectHandle()))))
            return false;
        window = std::make_unique<CommissioningWindow>(
            CommissioningSetup{document, database, project.session.Catalogues(), project.session.Link(),
                               project.session.Transfer(), project.session.Database().OpenedPath()},
            std::move(run));
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            return false;
        window->run().Start();
        return true;
    }

    ShellTestProject project;
    ScriptedMessages messages;
    std::unique_ptr<ModuleSimulator> simulator;
    std::unique_ptr<CommissioningWindow> window;
    bool m_moduleAdded = false; // the project holds the module
};

void TestCommissioningWindow::aModuleIsTakenAndVerifiedFromTheKeyboard()
{
    WindowFixture fixture;
    QVERIFY(fixture.open());
    CommissioningWindow &window = *fixture.window;
    ModuleSimulator &simulator = *fixture.simulator;

    auto *verdict = window.findChild<QLabel *>("CommissioningVerdict");
    auto *message = window.findChild<QLabel *>("CommissioningMessage");
    auto *take = window.findChild<QPushButton *>("CommissioningTake");
    auto *pause = window.findChild<QPushButton *>("CommissioningPause");
    auto *table = window.findChild<QTableView *>("CommissioningQueue");
    QVERIFY(verdict && message && take && pause && table);
    QCOMPARE(take->accessibleName(), QStringLiteral("Take it"));
    QCOMPARE(table->model()->rowCount(), 1);
    QCOMPARE(table->model()->index(0, CommissioningQueueModel::State).data().toString(),
             QStringLiteral("waiting"));
    QVERIFY2(message->text().contains("Take it as \\\\Project\\7230/211-2 - [TT-201] [TT-202]?"),
             qPrintable(message->text()));
    QVERIFY(take->isEnabled());
    QVERIFY(verdict->text().isEmpty());

    // Pausing and going on are keys as well.
    QTest::keyClick(&window, Qt::Key_P);
    QVERIFY(window.run().isPaused());
    QCOMPARE((verdict->text() + message->text()).count("The run is paused."), 1);
    QCOMPARE(pause->text(), QStringLiteral("Res&ume"));
    QTest::keyClick(&window, Qt::Key_U);
    QVERIFY(!window.run().isPaused());

    QTest::keyClick(&window, Qt::Key_Return);
    QVERIFY(WaitFor([&] { return verdict->text() == "VERIFIED" || verdict->text() == "FAILED"; }));
    QCOMPARE(verdict->text(), QStringLiteral("VERIFIED"));
    QVERIFY(verdict->styleSheet().contains("#1b8a2e"));
    QVERIFY(message->text().contains("Unplug the module."));
    QVERIFY(!take->isEnabled());
    QCOMPARE(table->model()->index(0, CommissioningQueueModel::State).data().toString(),
             QStringLiteral("verified"));
    QCOMPARE(table->model()->index(0, CommissioningQueueModel::Serial).data().toString(),
             QStringLiteral("SIM00000001"));

    // Unplugged: the verdict goes, the next module is asked for.
    simulator.setUnplugged(true);
    QVERIFY(WaitFor([&] { return verdict->text().isEmpty(); }));
    QVERIFY(message->text().contains("Plug in the next module."));
}

void TestCommissioningWindow::closingWhileAModuleIsWrittenWaitsForItsRecord()
{
    // At the line rate a download lasts long enough to close in its middle.
    WindowFixture fixture(true);
    QVERIFY(fixture.open(true));
    CommissioningWindow &window = *fixture.window;
    QVERIFY(WaitFor([&] { return window.run().phase() == CommissioningRun::Phase::Downloading; }));
    fixture.messages.answer(MessageAnswer::Yes);
    window.close();
    QVERIFY(fixture.messages.texts().join('\n').contains("A module is being written."));
    QVERIFY(window.isVisible());
    QVERIFY(WaitFor([&] { return !window.isVisible(); }, 30000));
    QCOMPARE(window.run().queue().at(0).state, CommissioningState::Verified);
    QCOMPARE(CommissioningRecords(*fixture.project.session.Database().Session()).List().size(), size_t(1));
}

QTEST_MAIN(TestCommissioningWindow)
#include "test_commissioning_window.moc"
