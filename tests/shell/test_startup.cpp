#include "base/language.h"
#include "base/password.h"
#include "shell/first_start_layout.h"
#include "shell/startup.h"
#include "support/test_support.h"

#include "support/captured_log.h"

#include <QSettings>

#include <QtTest>

// The start in its order, the command line, and what the exit writes.
class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void commandLine_data();
    void commandLine();
    void stepsRunInOrder();
    void whatOpeningLogsFollowsTheWindowsHeader();
    void wrongPasswordEndsBeforeAnythingOpens();
    void dataLinkFileIsOpenedBeforeProjectFile();
    void failedRememberedOpenStartsANewDocument();
    void failedGivenFileEndsTheProgram();
    void firstStartTakesTheLocaleLanguage();
    void posixLocaleSpeaksEnglish();
    void unknownLanguageLoadsEnglishAndWritesOne();
    void exitKeepsWhatCommandsStored();
    void firstStartLayoutFitsSmallAndLargeScreens();

private:
    StartupSequence::Steps recordingSteps(bool openSucceeds);
    QStringList m_order;
};

static QSettings store(const char *app = SettingsSection::kApplication)
{
    return QSettings(SettingsSection::kOrganisation, app);
}

void TestStartup::init()
{
    TestSupport::useBuiltProgramPaths();
    store().clear();
    store(SettingsSection::kConfigurationApplication).clear();
    m_order.clear();
}

StartupSequence::Steps TestStartup::recordingSteps(bool openSucceeds)
{
    StartupSequence::Steps steps;
    steps.askPassword = [this] {
        m_order << "login";
        return QString();
    };
    steps.showSplash = [this] { m_order << "splash"; };
    steps.openDocument = [this, openSucceeds](const QString &path) {
        m_order << "open " + path;
        return openSucceeds;
    };
    steps.newDocument = [this] { m_order << "new"; };
    steps.showMainWindow = [this] { m_order << "show"; };
    steps.startLink = [this] { m_order << "link"; };
    return steps;
}

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("splash");
    QTest::addColumn<bool>("refused");
    QTest::newRow("nothing") << QStringList{} << "" << "" << 0 << true << false;
    QTest::newRow("all") << QStringList{"plant.prj", "--port", "/dev/pts/4", "--lang", "2", "--nosplash"}
                         << "plant.prj" << "/dev/pts/4" << 2 << false << false;
    QTest::newRow("language out of range") << QStringList{"--lang", "7"} << "" << "" << 7 << true << true;
    QTest::newRow("unknown option") << QStringList{"--fast"} << "" << "" << 0 << true << true;
    QTest::newRow("two files") << QStringList{"a.prj", "b.prj"} << "a.prj" << "" << 0 << true << true;
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, arguments);
    arguments.prepend("zelnor-wizard");
    const CommandLineOptions options = CommandLineOptions::Parse(arguments);
    QFETCH(bool, refused);
    QCOMPARE(!options.error.isEmpty(), refused);
    if (refused)
        return;
    QTEST(options.file, "file");
    QTEST(options.port, "port");
    QTEST(options.language, "language");
    QTEST(options.splash, "splash");
}

void TestStartup::stepsRunInOrder()
{
    ScriptedMessages messages;
    store().setValue("Settings/asld", Password::scramble(QString()));
    store(SettingsSection::kConfigurationApplication).setValue("Configuration/FileName", "/p/last.prj");
    AppSettings settings;
    QVERIFY(StartupSequence::Run({}, settings, recordingSteps(true), QLocale(QLocale::English)));
    QCOMPARE(m_order, (QStringList{"login", "splash", "open /p/last.prj", "show", "link"}));
    QCOMPARE(settings.configuration.textValue("FileName"), QStringLiteral("/p/last.prj"));

    m_order.clear();
    CommandLineOptions noSplash;
    noSplash.splash = false;
    noSplash.file = "/p/given.prj";
    QVERIFY(StartupSequence::Run(noSplash, settings, recordingSteps(true), QLocale(QLocale::English)));
    QCOMPARE(m_order, (QStringList{"login", "open /p/given.prj", "show", "link"}));
}

void TestStartup::whatOpeningLogsFollowsTheWindowsHeader()
{
    ScriptedMessages messages;
    CapturedLog log;
    AppSettings settings;
    StartupSequence::Steps steps = recordingSteps(true);
    steps.openDocument = [](const QString &path) {
        WriteLogLine("opened " + path);
        return true;
    };
    // The output pane writes its header straight into the log as the window
    // first shows.
    steps.showMainWindow = [] {
        OutputLog::active()->addText(OutputLog::logLine(QDateTime::currentDateTime(), "header"));
    };
    steps.startLink = [] { WriteLogLine("port"); };
    CommandLineOptions given;
    given.file = "/p/given.prj";
    QVERIFY(StartupSequence::Run(given, settings, steps, QLocale(QLocale::English)));
    QCOMPARE(log.lines, (QStringList{"header", "opened /p/given.prj", "port"}));

    // A start that ends at a failed open still logs why.
    log.lines.clear();
    steps = recordingSteps(false);
    steps.openDocument = [](const QString &path) {
        WriteLogLine("failed " + path);
        return false;
    };
    QVERIFY(!StartupSequence::Run(given, settings, steps, QLocale(QLocale::English)));
    QCOMPARE(log.lines, QStringList{"failed /p/given.prj"});
}

void TestStartup::wrongPasswordEndsBeforeAnythingOpens()
{
    ScriptedMessages messages;
    store().setValue("Settings/asld", Password::scramble("Secret"));
    AppSettings settings;
    StartupSequence::Steps steps = recordingSteps(true);
    steps.askPassword = [] { return QStringLiteral("secret"); };
    QVERIFY(!StartupSequence::Run({}, settings, steps, QLocale(QLocale::English)));
    QVERIFY(m_order.isEmpty());
    QVERIFY(messages.texts().last().startsWith("Incorrect password!"));
}

void TestStartup::dataLinkFileIsOpenedBeforeProjectFile()
{
    ScriptedMessages messages;
    QSettings configuration = store(SettingsSection::kConfigurationApplication);
    configuration.setValue("Configuration/FileName", "/p/file.prj");
    configuration.setValue("Configuration/DataLinkFile", "/p/shared.udl");
    configuration.sync();
    AppSettings settings;
    QVERIFY(StartupSequence::Run({}, settings, recordingSteps(true), QLocale(QLocale::English)));
    QCOMPARE(m_order, (QStringList{"splash", "open /p/shared.udl", "show", "link"}));
}

void TestStartup::failedRememberedOpenStartsANewDocument()
{
    ScriptedMessages messages;
    store(SettingsSection::kConfigurationApplication).setValue("Configuration/FileName", "/p/gone.prj");
    AppSettings settings;
    QVERIFY(StartupSequence::Run({}, settings, recordingSteps(false), QLocale(QLocale::English)));
    QCOMPARE(m_order, (QStringList{"splash", "open /p/gone.prj", "new", "show", "link"}));
}

void TestStartup::failedGivenFileEndsTheProgram()
{
    ScriptedMessages messages;
    CommandLineOptions options;
    options.file = "/p/broken.prj";
    AppSettings settings;
    QVERIFY(!StartupSequence::Run(options, settings, recordingSteps(false), QLocale(QLocale::English)));
    QCOMPARE(m_order, (QStringList{"splash", "open /p/broken.prj"}));
}

void TestStartup::firstStartTakesTheLocaleLanguage()
{
    ScriptedMessages messages;
    store().setValue("Settings/AppFirstStart", 1);
    AppSettings settings;
    QVERIFY(StartupSequence::Run({}, settings, recordingSteps(true), QLocale(QLocale::German, QLocale::Switzerland),
                                 "UTF-8"));
    QCOMPARE(Language::current(), 2);
    QVERIFY(!store().contains("Settings/AppFirstStart"));
    QCOMPARE(store().value("Settings/LangDLL").toInt(), 2);
    QVERIFY(messages.texts().isEmpty());
    // The command line's language serves this run, and the POSIX locale's
    // ASCII cannot show French: the warning names the language in use.
    CommandLineOptions options;
    options.language = 3;
    QVERIFY(StartupSequence::Run(options, settings, recordingSteps(true), QLocale(QLocale::Italian),
                                 "ANSI_X3.4-1968"));
    QCOMPARE(Language::current(), 3);
    QCOMPARE(messages.shown().back().icon, MessageIcon::Warning);
    QVERIFY(messages.texts().back().contains(QStringLiteral("'Français'")));
}

void TestStartup::posixLocaleSpeaksEnglish()
{
    ScriptedMessages messages;
    store().setValue("Settings/AppFirstStart", 1);
    AppSettings settings;
    QVERIFY(StartupSequence::Run({}, settings, recordingSteps(true), QLocale::c()));
    QCOMPARE(Language::current(), 1);
    QVERIFY(messages.texts().isEmpty());
}

void TestStartup::unknownLanguageLoadsEnglishAndWritesOne()
{
    ScriptedMessages messages;
    store().setValue("Settings/LangDLL", 7);
    AppSettings settings;
    QVERIFY(StartupSequence::Run({}, settings, recordingSteps(true), QLocale(QLocale::English)));
    QCOMPARE(Language::current(), 1);
    StartupSequence::Exit(settings);
    // 1 is the default: the value goes.
    QVERIFY(!store().contains("Settings/LangDLL"));
}

void TestStartup::exitKeepsWhatCommandsStored()
{
    ScriptedMessages messages;
    AppSettings settings;
    QVERIFY(StartupSequence::Run({}, settings, recordingSteps(true), QLocale(QLocale::English)));
    // During the run the password command, the port dialog and the project
    // commands write their values; the window was made smaller and wider.
    WriteSetting("asld", Password::scramble("Secret"));
    WriteSetting("ComPort", "/dev/ttyUSB1");
    store(SettingsSection::kConfigurationApplication).setValue("Configuration/FileName", "/p/new.prj");
    settings.layout.setValue("XSize", 900);
    settings.layout.setValue("YSize", 480);
    StartupSequence::Exit(settings);
    QCOMPARE(store().value("Settings/asld").toString(), Password::scramble("Secret"));
    QCOMPARE(store().value("Settings/ComPort").toString(), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(store(SettingsSection::kConfigurationApplication).value("Configuration/FileName").toString(),
             QStringLiteral("/p/new.prj"));
    QCOMPARE(store().value("Size and position/XSize").toInt(), 900);
    QVERIFY(!store().contains("Size and position/YSize"));
}

// Four fifths of what the desktop leaves, centred; the tree as wide as a
// module's name at the fifth level, but never most of the window.
void TestStartup::firstStartLayoutFitsSmallAndLargeScreens()
{
    const FirstStartLayout small = FirstStartLayout::For(QRect(0, 0, 1366, 740), 7, 20);
    QCOMPARE(small.window, QRect(137, 74, 1092, 592));
    QCOMPARE(small.treeWidth, 8 * 20 + 30 * 7);
    // A desktop panel on the left moves the centre with it.
    const FirstStartLayout large = FirstStartLayout::For(QRect(64, 0, 1856, 1080), 8, 20);
    QCOMPARE(large.window, QRect(64 + 186, 108, 1484, 864));
    QCOMPARE(large.treeWidth, 8 * 20 + 30 * 8);
    // A narrow screen keeps room for the item view, a tiny one the tree's
    // usual width of twenty characters.
    QCOMPARE(FirstStartLayout::For(QRect(0, 0, 800, 600), 9, 24).treeWidth, 640 * 35 / 100);
    QCOMPARE(FirstStartLayout::For(QRect(0, 0, 300, 200), 8, 20).treeWidth, 20 * 8);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
