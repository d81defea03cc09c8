#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

// Two real programs on a virtual X display of the test's own, each with its
// own project: items copied, and cut, in one and pasted in the other through
// the X clipboard, driven by keys on the focused tree as a user types them;
// and items dragged with the mouse from one program's tree onto the other's.
namespace {
constexpr int kWaitMs = 20000;

bool WaitFor(const std::function<bool()> &condition, int timeoutMs = kWaitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(100);
    }
    return true;
}

QString Run(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(kWaitMs))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
} // namespace

class TestClipboardTwoPrograms : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QProcess m_xvfb;
    QProcessEnvironment m_env;
    QProcess m_first;
    QProcess m_second;

    QString Tool(const QString &name) const { return QDir(TestSupport::binDirectory()).filePath(name); }
    QString ProjectPath(const QString &name) const { return m_dir.filePath(name); }

    void Ctl(const QStringList &args)
    {
        const TestSupport::ToolRun run = TestSupport::runTool(Tool("zelnorctl"), args);
        QVERIFY2(run.exitCode == 0, qPrintable(args.join(' ') + ": " + run.err));
    }

    // One value read from a project file as it is now on disk.
    static QStringList Names(const QString &file, const QString &statement)
    {
        QStringList names;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "reader");
            db.setDatabaseName(file);
            db.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000");
            if (db.open()) {
                QSqlQuery query(db);
                query.exec(statement);
                while (query.next())
                    names << query.value(0).toString();
            }
        }
        QSqlDatabase::removeDatabase("reader");
        return names;
    }

    QStringList Windows(const QProcess &program)
    {
        return Run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(program.processId())},
                   m_env)
            .split('\n', Qt::SkipEmptyParts);
    }

    // Focuses the program's main window and types keys into it.
    void Keys(const QProcess &program, const QStringList &keys)
    {
        const QStringList windows = Windows(program);
        QVERIFY(!windows.isEmpty());
        Run("xdotool", {"windowfocus", "--sync", windows.front()}, m_env);
        QTest::qWait(300);
        for (const QString &key : keys) {
            Run("xdotool", {"key", "--clearmodifiers", key}, m_env);
            QTest::qWait(300);
        }
    }

    // The first program on the left half of the display, the second on the
    // right, so that items can be dragged from one to the other.
    static constexpr int kWindowWidth = 630;
    static constexpr int kSecondLeft = 640;
    // Where the tree draws its entries: the first at this height, each
    // following one a row lower, their texts from this far in.
    static constexpr int kFirstRowY = 60;
    static constexpr int kRowHeight = 18;
    static constexpr int kEntryX = 85;

    static QPoint Entry(int left, int row) { return {left + kEntryX, kFirstRowY + row * kRowHeight}; }

    // A drag with the mouse button, in small steps as a hand moves.
    void Drag(int button, const QPoint &from, const QPoint &to)
    {
        const auto move = [this](const QPoint &at) {
            Run("xdotool", {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())}, m_env);
        };
        move(from);
        QTest::qWait(300);
        Run("xdotool", {"mousedown", QString::number(button)}, m_env);
        QTest::qWait(200);
        constexpr int kSteps = 12;
        for (int step = 1; step <= kSteps; ++step) {
            move(from + (to - from) * step / kSteps);
            QTest::qWait(80);
        }
        QTest::qWait(400);
        move(to + QPoint(2, 0));
        QTest::qWait(400);
        Run("xdotool", {"mouseup", QString::number(button)}, m_env);
    }

    // Drags the first program's plant PlantD (below the project, once the
    // plant Plant1 has moved away) onto the second program's project.
    void DragPlantD(int button)
    {
        Keys(m_first, {"Home"});
        Keys(m_second, {"Home"});
        Drag(button, Entry(0, 1), Entry(kSecondLeft, 0));
    }

    // The window the second program opened after those it had before.
    QString NewWindow(const QStringList &before)
    {
        QString opened;
        WaitFor([&] {
            for (const QString &window : Windows(m_second))
                if (!before.contains(window))
                    opened = window;
            return !opened.isEmpty();
        });
        return opened;
    }

    QStringList PlantsOf(const QString &file) { return Names(file, "SELECT Name FROM Equipments ORDER BY Name"); }

    void StartProgram(QProcess &program, const QString &project)
    {
        program.setProcessEnvironment(m_env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(Tool("zelnor-wizard"), {"--nosplash", "--port", m_dir.filePath("no-port"), project});
        QVERIFY(program.waitForStarted());
        QVERIFY2(WaitFor([&] { return !Windows(program).isEmpty(); }), "the program showed no window");
        // The tree is filled and the project entry selected once shown.
        QTest::qWait(1500);
        const QString window = Windows(program).front();
        const int left = &program == &m_first ? 0 : kSecondLeft;
        Run("xdotool", {"windowsize", window, QString::number(kWindowWidth), "1000"}, m_env);
        Run("xdotool", {"windowmove", window, QString::number(left), "0"}, m_env);
        QTest::qWait(500);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *tool : {"Xvfb", "xdotool", "xclip"})
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     qPrintable(QString("%1 is missing: scripts/deps.sh installs it").arg(tool)));
        // A display number no other server holds.
        int display = 90 + int(QCoreApplication::applicationPid() % 400);
        while (QFile::exists(QString("/tmp/.X%1-lock").arg(display)))
            ++display;
        m_xvfb.start("Xvfb",
                     {QString(":%1").arg(display), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        QVERIFY(m_xvfb.waitForStarted());
        QVERIFY2(WaitFor([display] { return QFile::exists(QString("/tmp/.X11-unix/X%1").arg(display)); }),
                 "Xvfb did not start");
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("DISPLAY", QString(":%1").arg(display));
        m_env.insert("QT_QPA_PLATFORM", "xcb");
        m_env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        m_env.insert("XDG_DATA_HOME", m_dir.filePath("data"));
        m_env.remove("XAUTHORITY");

        const QString first = ProjectPath("first.prj");
        const QString second = ProjectPath("second.prj");
        Ctl({"new", first});
        Ctl({"new", second});
        Ctl({"add", first, "\\\\Project", "plant", "Plant1"});
        Ctl({"add", first, "\\\\Project\\Plant1", "cabinet", "Cabinet1"});
        Ctl({"add-module", first, "\\\\Project\\Plant1\\Cabinet1", "7", "TT-101", "TT-102"});
        Ctl({"set", first, "\\\\Project\\Plant1\\Cabinet1\\7230/211-2 - [TT-101] [TT-102]", "--channel", "1",
             "RangeEnd=150"});
        Ctl({"add", second, "\\\\Project", "plant", "PlantB"});
        // What the drags carry: a plant with a cabinet below it.
        Ctl({"add", first, "\\\\Project", "plant", "PlantD"});
        Ctl({"add", first, "\\\\Project\\PlantD", "cabinet", "CabinetD"});
        StartProgram(m_first, first);
        StartProgram(m_second, second);
    }

    void cleanupTestCase()
    {
        for (QProcess *process : {&m_first, &m_second, &m_xvfb}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(5000)) {
                    process->kill();
                    process->waitForFinished(5000);
                }
            }
        }
    }

    void aCabinetWithItsModuleCopiedIntoTheOtherProject()
    {
        const QString first = ProjectPath("first.prj");
        const QString second = ProjectPath("second.prj");
        // First program: Project is selected; down to Plant1 (selecting an
        // entry opens it the first time), down to Cabinet1, copy.
        Keys(m_first, {"Down", "Down", "ctrl+c"});
        // Second program: down to PlantB, paste. A pasted module is a copy:
        // it takes the proposed signal names without asking.
        Keys(m_second, {"Down", "ctrl+v"});
        QVERIFY2(WaitFor([&] { return Names(second, "SELECT Name FROM Modules7230_3").size() == 1; }),
                 "the module was not pasted");
        QCOMPARE(Names(second, "SELECT Name FROM Racks"), QStringList{"Cabinet1"});
        QCOMPARE(Names(second, "SELECT e.Name FROM Racks r JOIN Equipments e ON r.ParentID = e.ID"),
                 QStringList{"PlantB"});
        // The channel's values came along with the module.
        QCOMPARE(
            Names(second, "SELECT s.RangeEnd FROM Modules7230_3 m JOIN Signals s ON s.ID = m.Ch1SignalID"),
            QStringList{"150000"});
        QCOMPARE(Names(first, "SELECT Name FROM Racks WHERE Name = 'Cabinet1'"), QStringList{"Cabinet1"});
    }

    void aPlantCutInOneAndPastedInTheOtherLeavesTheFirst()
    {
        const QString first = ProjectPath("first.prj");
        const QString second = ProjectPath("second.prj");
        // Up from Cabinet1 to Plant1, cut.
        Keys(m_first, {"Up", "ctrl+x"});
        // Another program reads every format, the completion format too:
        // that completes nothing.
        const QStringList targets = Run("xclip", {"-selection", "clipboard", "-t", "TARGETS", "-o"}, m_env)
                                        .split('\n', Qt::SkipEmptyParts);
        QVERIFY2(targets.contains("Dummy7100Configurator_ZelnorWizard"), qPrintable(targets.join(',')));
        for (const QString &target : targets)
            Run("xclip", {"-selection", "clipboard", "-t", target, "-o"}, m_env);
        QTest::qWait(1500);
        QVERIFY(Names(first, "SELECT Name FROM Equipments").contains("Plant1"));

        // Second program: up from PlantB to the project, paste. A move keeps
        // its module's names and asks nothing.
        Keys(m_second, {"Up", "ctrl+v"});
        QVERIFY2(WaitFor([&] { return Names(second, "SELECT Name FROM Equipments").contains("Plant1"); }),
                 "the plant was not pasted");
        QVERIFY2(WaitFor([&] { return Names(first, "SELECT Name FROM Equipments") == QStringList{"PlantD"}; }),
                 "the cut plant is still in the first project");
        QCOMPARE(Names(first, "SELECT Name FROM Racks"), QStringList{"CabinetD"});
        QCOMPARE(Names(first, "SELECT Name FROM Modules7230_3"), QStringList());
        QCOMPARE(Names(first, "SELECT Name FROM Signals"), QStringList());
        QCOMPARE(Names(second, "SELECT Name FROM Modules7230_3").size(), 2);
        QVERIFY(Names(second, "SELECT Name FROM Modules7230_3").contains("7230/211-2 - [TT-101] [TT-102]"));
        QCOMPARE(Names(second, "SELECT Name FROM Racks").size(), 2);
        QVERIFY(m_first.state() == QProcess::Running && m_second.state() == QProcess::Running);
    }

    void aCancelledRightDragDeletesNothing()
    {
        const QString first = ProjectPath("first.prj");
        const QString second = ProjectPath("second.prj");
        const QStringList before = Windows(m_second);
        DragPlantD(3);
        const QString menu = NewWindow(before);
        QVERIFY2(!menu.isEmpty(), "the drop showed no menu");
        // While the menu is open the source still holds its plant.
        QTest::qWait(1000);
        QVERIFY(PlantsOf(first).contains("PlantD"));
        Run("xdotool", {"key", "Escape"}, m_env);
        QTest::qWait(1500);
        QVERIFY(PlantsOf(first).contains("PlantD"));
        QCOMPARE(Names(first, "SELECT Name FROM Racks"), QStringList{"CabinetD"});
        QVERIFY(!PlantsOf(second).contains("PlantD"));
    }

    void copyHereLeavesTheSource()
    {
        const QString first = ProjectPath("first.prj");
        const QString second = ProjectPath("second.prj");
        const QStringList before = Windows(m_second);
        DragPlantD(3);
        const QString menu = NewWindow(before);
        QVERIFY2(!menu.isEmpty(), "the drop showed no menu");
        // "Copy Here" is the middle one of the menu's three entries.
        const QStringList geometry =
            Run("xdotool", {"getwindowgeometry", "--shell", menu}, m_env).split('\n', Qt::SkipEmptyParts);
        const auto value = [&geometry](const QString &key) {
            for (const QString &line : geometry)
                if (line.startsWith(key + '='))
                    return line.mid(key.size() + 1).toInt();
            return 0;
        };
        Run("xdotool",
            {"mousemove", "--sync", QString::number(value("X") + value("WIDTH") / 2),
             QString::number(value("Y") + value("HEIGHT") / 2), "click", "1"},
            m_env);
        QVERIFY2(WaitFor([&] { return PlantsOf(second).contains("PlantD"); }), "the plant was not copied");
        QTest::qWait(1500);
        QVERIFY(PlantsOf(first).contains("PlantD"));
        QCOMPARE(Names(first, "SELECT Name FROM Racks"), QStringList{"CabinetD"});
    }

    void aMoveThatFailsInTheOtherProgramDeletesNothing()
    {
        const QString first = ProjectPath("first.prj");
        const QString second = ProjectPath("second.prj");
        // Another writer holds the second project: its paste cannot be stored.
        QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
        locker.setDatabaseName(second);
        QVERIFY(locker.open());
        QSqlQuery lock(locker);
        QVERIFY(lock.exec("BEGIN IMMEDIATE"));
        const QStringList before = Windows(m_second);
        DragPlantD(1);
        // The paste reports its failure; OK to each message.
        QVERIFY2(!NewWindow(before).isEmpty(), "the failed paste said nothing");
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kWaitMs) {
            QStringList open;
            for (const QString &window : Windows(m_second))
                if (!before.contains(window))
                    open << window;
            if (open.isEmpty())
                break;
            Run("xdotool", {"windowfocus", "--sync", open.back()}, m_env);
            Run("xdotool", {"key", "Return"}, m_env);
            QTest::qWait(700);
        }
        QVERIFY(lock.exec("ROLLBACK"));
        locker.close();
        QTest::qWait(1500);
        QVERIFY(PlantsOf(first).contains("PlantD"));
        QCOMPARE(Names(first, "SELECT Name FROM Racks"), QStringList{"CabinetD"});
        QVERIFY(!PlantsOf(second).contains("Copy_of_PlantD"));
    }

    void aMoveDeletesTheSourceOnceTheOtherPasted()
    {
        QSqlDatabase::removeDatabase("locker");
        const QString first = ProjectPath("first.prj");
        const QString second = ProjectPath("second.prj");
        DragPlantD(1);
        QVERIFY2(WaitFor([&] { return PlantsOf(second).contains("Copy_of_PlantD"); }), "the plant was not moved");
        QVERIFY2(WaitFor([&] { return !PlantsOf(first).contains("PlantD"); }),
                 "the moved plant is still in the first project");
        QCOMPARE(Names(first, "SELECT Name FROM Racks"), QStringList());
        QCOMPARE(Names(second, "SELECT Name FROM Racks WHERE Name = 'CabinetD'").size(), 2);
        QVERIFY(m_first.state() == QProcess::Running && m_second.state() == QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestClipboardTwoPrograms)
#include "test_clipboard_two_programs.moc"
