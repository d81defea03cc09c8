// The window of a run over two ports and the dialog that chooses the
// bench's ports, offscreen, over a real project and two simulated modules on
// real pseudo-terminals, driven by keys alone.
#include "commissioning/commissioning_lanes.h"
#include "commissioning/commissioning_ports.h"
#include "commissioning/commissioning_run.h"
#include "commissioning/widgets/commissioning_lanes_window.h"
#include "commissioning/widgets/commissioning_ports_dialog.h"
#include "base/settings.h"
#include "link/com_port.h"
#include "shell/shell_test_project.h"
#include "tools/simulator/module_simulator.h"

#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {
bool WaitFor(const std::function<bool()> &done, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QTest::qWait(10);
    return done();
}

// A project with two two-channel modules, two simulated modules each on a
// port of its own and the window of the lanes over them, shown and active.
class LanesWindowFixture {
public:
    LanesWindowFixture()
    {
        for (const char *loop : {"TT-2", "TT-3"}) {
            const QString tag = QString::fromLatin1(loop);
            m_modulesAdded &= TestSupport::runTool("zelnorctl", {"add-module", project.path, "\\\\Project", "7",
                                                                 tag + "01", tag + "02"})
                                  .exitCode == 0;
        }
        for (const char *serial : {"LANE0001", "LANE0002"}) {
            SimulatorOptions options;
            options.moduleType = 6;
            options.serialNumber = QString::fromLatin1(serial);
            simulators.push_back(std::make_unique<ModuleSimulator>(options));
        }
    }

    bool open()
    {
        QStringList ports;
        for (auto &simulator : simulators) {
            if (!simulator->start())
                return false;
            ports << simulator->devicePath();
        }
        if (!m_modulesAdded || !project.open() || !project.selectProject())
            return false;
        project.session.Document().StartLink();
        CMy7100Doc &document = project.session.Document();
        DbSession &database = *project.session.Database().Session();
        auto lanes = std::make_unique<CommissioningLanes>(document, project.session.Catalogues(), database, ports);
        if (!lanes->Prepare(CommissioningQueue::EntriesUnder(document, *document.FindItem(project.projectHandle()))))
            return false;
        window = std::make_unique<CommissioningLanesWindow>(
            CommissioningSetup{document, database, project.session.Catalogues(), project.session.Link(),
                               project.session.Transfer(), project.session.Database().OpenedPath()},
            std::move(lanes));
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            return false;
        window->lanes().Start();
        return true;
    }

    QLabel *label(const char *name, int lane) const
    {
        return window->findChild<QLabel *>(QString::fromLatin1(name) + QString::number(lane));
    }

    ShellTestProject project;
    ScriptedMessages messages;
    std::vector<std::unique_ptr<ModuleSimulator>> simulators;
    std::unique_ptr<CommissioningLanesWindow> window;

private:
    bool m_modulesAdded = true;
};
} // namespace

class TestCommissioningLanesWindow : public QObject {
    Q_OBJECT
private slots:
    void eachLaneIsTakenByItsKey();
    void theBandsStandOneAboveTheOtherWhenNarrow();
    void thePortsOfTheBenchAreChosenAndChecked();
    void eachPortKeepsItsOwnLineSettings();
};

void TestCommissioningLanesWindow::eachLaneIsTakenByItsKey()
{
    LanesWindowFixture fixture;
    QVERIFY(fixture.open());
    CommissioningLanesWindow &window = *fixture.window;
    CommissioningLanes &lanes = window.lanes();
    for (int lane = 1; lane <= 2; ++lane) {
        QLabel *title = fixture.label("CommissioningLaneTitle", lane);
        QVERIFY(title);
        QCOMPARE(title->text(), QString::number(lane) + "   " + fixture.simulators[size_t(lane - 1)]->devicePath());
        QCOMPARE(title->accessibleName(), title->text());
    }
    auto *take = window.findChild<QPushButton *>("CommissioningTake");
    QVERIFY(take);
    QCOMPARE(take->accessibleName(), QStringLiteral("Take it"));
    // Both modules are offered, each its own place.
    QVERIFY(WaitFor([&] { return lanes.run(0).isAsking() && lanes.run(1).isAsking(); }));
    QVERIFY(lanes.run(0).current() != lanes.run(1).current());

    // Key 2, then Enter: only the second lane writes.
    QTest::keyClick(&window, Qt::Key_2);
    QCOMPARE(window.activeLane(), 1);
    QTest::keyClick(&window, Qt::Key_Return);
    QLabel *second = fixture.label("CommissioningLaneVerdict", 2);
    QVERIFY(WaitFor([&] { return second->text() == "VERIFIED" || second->text() == "FAILED"; }));
    QCOMPARE(second->text(), QStringLiteral("VERIFIED"));
    QVERIFY(lanes.run(0).isAsking());
    QVERIFY(fixture.label("CommissioningLaneVerdict", 1)->text().isEmpty());
    QVERIFY2(fixture.label("CommissioningLaneMessage", 1)->text().contains("Take it as"),
             qPrintable(fixture.label("CommissioningLaneMessage", 1)->text()));

    // Key 1, then S: the module offered on the first lane is skipped, and
    // nothing else is offered there.
    QTest::keyClick(&window, Qt::Key_1);
    QCOMPARE(window.activeLane(), 0);
    const int offered = lanes.run(0).current();
    QTest::keyClick(&window, Qt::Key_S);
    QCOMPARE(lanes.queue().at(offered).state, CommissioningState::Skipped);
    QCOMPARE(lanes.queue().Totals().verified, 1);
}

void TestCommissioningLanesWindow::theBandsStandOneAboveTheOtherWhenNarrow()
{
    LanesWindowFixture fixture;
    QVERIFY(fixture.open());
    CommissioningLanesWindow &window = *fixture.window;
    window.resize(1000, 600);
    QVERIFY(WaitFor([&] { return window.bandsSideBySide(); }));
    QWidget *first = window.findChild<QWidget *>("CommissioningLane1");
    QWidget *second = window.findChild<QWidget *>("CommissioningLane2");
    QVERIFY(first && second);
    QVERIFY(WaitFor([&] { return second->x() > first->x() && second->y() == first->y(); }));
    window.resize(400, 700);
    QVERIFY(WaitFor([&] { return !window.bandsSideBySide(); }));
    QVERIFY(WaitFor([&] { return second->y() > first->y(); }));
}

void TestCommissioningLanesWindow::thePortsOfTheBenchAreChosenAndChecked()
{
    ScriptedMessages messages;
    ComPort::configure(QStringLiteral("/dev/ttyUSB0"));
    // No bench is chosen yet (an earlier run of this test may have left one).
    QVERIFY(CommissioningPorts::Configure({}, QString()));
    QVERIFY(CommissioningPorts::configured().isEmpty());
    CommissioningPortsDialog dialog;
    QLineEdit *first = dialog.findChild<QLineEdit *>("CommissioningPort1");
    QLineEdit *second = dialog.findChild<QLineEdit *>("CommissioningPort2");
    QVERIFY(first && second);
    QCOMPARE(first->accessibleName(), QStringLiteral("Port of lane 1"));
    QVERIFY(!dialog.findChild<QLineEdit *>("CommissioningPort9"));

    // The single-module window's port is refused, and nothing is stored.
    first->setText(QStringLiteral("/dev/ttyUSB1"));
    second->setText(QStringLiteral("/dev/ttyUSB0"));
    dialog.accept();
    QVERIFY2(messages.texts().join('\n').contains("/dev/ttyUSB0 is the port of the single-module window"),
             qPrintable(messages.texts().join('\n')));
    QVERIFY(CommissioningPorts::configured().isEmpty());
    // So is a port named twice.
    second->setText(QStringLiteral(" /dev/ttyUSB1 "));
    dialog.accept();
    QVERIFY(messages.texts().join('\n').contains("/dev/ttyUSB1 is named twice"));
    QVERIFY(CommissioningPorts::configured().isEmpty());

    second->setText(QStringLiteral("/dev/ttyUSB2"));
    dialog.findChild<QLineEdit *>("CommissioningPort4")->setText(QStringLiteral("/dev/ttyUSB3"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(CommissioningPorts::configured(),
             (QStringList{"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB3"}));
    // Nine are too many.
    QStringList nine;
    for (int port = 0; port < 9; ++port)
        nine << QStringLiteral("/dev/ttyS%1").arg(port);
    QVERIFY(CommissioningPorts::Refusal(nine, QString()).value_or(QString()).contains("at most 8 ports"));
}

void TestCommissioningLanesWindow::eachPortKeepsItsOwnLineSettings()
{
    ScriptedMessages messages;
    ComPort::configure(QStringLiteral("/dev/ttyUSB0"));
    // An older setting held names alone: they are read with the usual
    // settings, and shown so.
    WriteSetting(QStringLiteral("CommissioningPorts"), QStringLiteral("/dev/ttyUSB1;/dev/ttyUSB2"));
    {
        CommissioningPortsDialog dialog;
        auto *baud = dialog.findChild<QComboBox *>("CommissioningBaudRate1");
        auto *parity = dialog.findChild<QComboBox *>("CommissioningParity2");
        auto *timeout = dialog.findChild<QSpinBox *>("CommissioningTimeout2");
        QVERIFY(baud && parity && timeout);
        QCOMPARE(baud->accessibleName(), QStringLiteral("Baud rate of lane 1"));
        QCOMPARE(timeout->accessibleName(), QStringLiteral("Time-out of lane 2 (ms)"));
        QCOMPARE(dialog.portEdit(1)->text(), QStringLiteral("/dev/ttyUSB2"));
        QCOMPARE(baud->currentText(), QStringLiteral("9600"));
        QCOMPARE(parity->currentText(), QStringLiteral("Even"));
        QCOMPARE(timeout->value(), 500);

        // Lane 2 at 19200 baud without parity and a longer time-out; lane 1
        // as it was.
        dialog.findChild<QComboBox *>("CommissioningBaudRate2")->setCurrentText(QStringLiteral("19200"));
        parity->setCurrentText(QStringLiteral("None"));
        timeout->setValue(800);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(CommissioningPorts::configured(),
             (QStringList{"/dev/ttyUSB1", "/dev/ttyUSB2:baud=19200,parity=none,timeout=800"}));
    {
        CommissioningPortsDialog dialog;
        QCOMPARE(dialog.findChild<QComboBox *>("CommissioningBaudRate2")->currentText(), QStringLiteral("19200"));
        QCOMPARE(dialog.findChild<QComboBox *>("CommissioningParity2")->currentText(), QStringLiteral("None"));
        QCOMPARE(dialog.findChild<QSpinBox *>("CommissioningTimeout2")->value(), 800);
    }

    // A name may hold colons of its own; what follows the last one is read
    // as settings only when it holds them.
    const QString byPath = QStringLiteral("/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0");
    QCOMPARE(CommissioningPorts::Parse(byPath)->name, byPath);
    const std::optional<CommissioningPorts::LanePort> odd = CommissioningPorts::Parse(byPath + ":parity=ODD");
    QVERIFY(odd);
    QCOMPARE(odd->name, byPath);
    QCOMPARE(odd->settings.parity, LineSettings::Parity::Odd);
    QCOMPARE(odd->settings.baudRate, 9600);
    QCOMPARE(CommissioningPorts::Parse(odd->Text()), odd);

    // What cannot be read is refused with the reason, and nothing is stored.
    const QStringList stored = CommissioningPorts::configured();
    const QList<QPair<QString, QString>> refused = {
        {"/dev/ttyUSB3:baud=12345", "/dev/ttyUSB3: 12345 is not a baud rate a port can be set to (600, "},
        {"/dev/ttyUSB3:parity=mark", "/dev/ttyUSB3: the parity is none, even or odd, not \"mark\"."},
        {"/dev/ttyUSB3:timeout=20", "the time-out is a whole number of milliseconds from 50 to 10000, not \"20\""},
        {"/dev/ttyUSB3:speed=9600", "/dev/ttyUSB3: \"speed=9600\" is no port setting"},
    };
    for (const auto &[text, reason] : refused) {
        QString refusal;
        QVERIFY(!CommissioningPorts::Configure({QStringLiteral("/dev/ttyUSB1"), text}, QString(), &refusal));
        QVERIFY2(refusal.contains(reason), qPrintable(refusal));
        QCOMPARE(CommissioningPorts::configured(), stored);
    }
    // The same port with other settings is still the same port.
    QVERIFY(CommissioningPorts::Refusal({"/dev/ttyUSB1", "/dev/ttyUSB1:baud=19200"}, QString())
                .value_or(QString())
                .contains("/dev/ttyUSB1 is named twice"));
    QVERIFY(CommissioningPorts::Refusal({"/dev/ttyUSB0:baud=19200"}, QStringLiteral("/dev/ttyUSB0"))
                .value_or(QString())
                .contains("is the port of the single-module window"));
    QVERIFY(CommissioningPorts::Configure({}, QString()));
}

QTEST_MAIN(TestCommissioningLanesWindow)
#include "test_commissioning_lanes_window.moc"
