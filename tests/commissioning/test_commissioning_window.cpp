// The commissioning run's window, offscreen, over a real project and a
// simulated module on a real pseudo-terminal, driven by keys alone.
#include "commissioning/commissioning_queue_model.h"
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

void TestCommissioningWindow::aModuleIsTakenAndVerifiedFromTheKeyboard()
{
    ShellTestProject project;
    QCOMPARE(TestSupport::runTool("zelnorctl",
                                  {"add-module", project.path, "\\\\Project", "7", "TT-201", "TT-202"})
                 .exitCode,
             0);
    SimulatorOptions options;
    options.moduleType = 6;
    ModuleSimulator simulator(options);
    QVERIFY(simulator.start());
    ScriptedMessages messages;
    project.session.SetPortForThisRun(simulator.devicePath());
    QVERIFY(project.open());
    // Without the main window the link is started as the window starts it.
    project.session.Document().StartLink();
    QVERIFY(project.session.Link().StartLink());
    QVERIFY(WaitFor([&] { return project.session.Transfer().ConnectedImage().SerialNr == "SIM00000001"; }));
    QVERIFY(project.selectProject());

    CMy7100Doc &document = project.session.Document();
    auto run =
        std::make_unique<CommissioningRun>(document, document.Lookup(), project.session.Transfer(),
                                           project.session.Link(), *project.session.Database().Session());
    QVERIFY(run->Prepare(
        CommissioningQueue::EntriesUnder(document, *document.FindItem(project.projectHandle()))));
    CommissioningWindow window({document, *project.session.Database().Session(), project.session.Catalogues(),
                                project.session.Link(), project.session.Transfer()},
                               std::move(run));
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.run().Start();

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

QTEST_MAIN(TestCommissioningWindow)
#include "test_commissioning_window.moc"
