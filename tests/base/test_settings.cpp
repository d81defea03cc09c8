#include "base/settings.h"

#include <QSettings>
#include <QtTest>

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void valueEqualToDefaultIsRemoved();
    void loadReadsStoredValuesAndDefaults();
    void unreadableValueFallsBackToDefault();
    void unusableLayoutRestoresEveryDefault();
    void placementIsTheUsersOnceStoredOrSet();
    void configurationLivesUnderItsOwnApplicationName();
    void singleValueWriteLeavesOthersAlone();
};

static QSettings store(const char *app = SettingsSection::kApplication)
{
    return QSettings(SettingsSection::kOrganisation, app);
}

void TestSettings::init()
{
    store().clear();
    store(SettingsSection::kConfigurationApplication).clear();
}

void TestSettings::valueEqualToDefaultIsRemoved()
{
    LayoutSettings layout(8);
    layout.setValue("XSize", 800);
    layout.save();
    QCOMPARE(store().value("Size and position/XSize").toInt(), 800);
    layout.setValue("XSize", 640);
    layout.save();
    QVERIFY(!store().contains("Size and position/XSize"));
}

void TestSettings::loadReadsStoredValuesAndDefaults()
{
    {
        QSettings s = store();
        s.setValue("Settings/LangDLL", 3);
        s.setValue("Settings/HoverTime", "250");
    }
    GeneralSettings general;
    general.load();
    QCOMPARE(general.intValue("LangDLL"), 3);
    QCOMPARE(general.intValue("HoverTime"), 250);
    QCOMPARE(general.intValue("MultDlg.NumberOfDecPlaces"), 3);
    QCOMPARE(general.intValue("Monitoring.DBUpdateRate"), 10000);
    QCOMPARE(general.textValue("ComPort"), QStringLiteral("1"));
}

void TestSettings::unreadableValueFallsBackToDefault()
{
    store().setValue("Settings/HoverTime", "fast");
    GeneralSettings general;
    general.load();
    QCOMPARE(general.intValue("HoverTime"), 500);
}

void TestSettings::unusableLayoutRestoresEveryDefault()
{
    {
        QSettings s = store();
        s.setValue("Size and position/XSize", 0);
        s.setValue("Size and position/YSize", 0);
        s.setValue("Size and position/XPos", 300);
    }
    LayoutSettings layout(7);
    layout.load();
    QCOMPARE(layout.intValue("XSize"), 640);
    QCOMPARE(layout.intValue("YSize"), 480);
    QCOMPARE(layout.intValue("XPos"), 50);
    QCOMPARE(layout.intValue("SplitterSizeX"), 140);

    store().setValue("Size and position/MonitorNameWidth", -1);
    store().setValue("Size and position/XSize", 900);
    layout.load();
    QCOMPARE(layout.intValue("XSize"), 640);
}

// A first start opens the window to fit the screen; a placement the user
// left behind wins from then on.
void TestSettings::placementIsTheUsersOnceStoredOrSet()
{
    LayoutSettings layout(7);
    layout.load();
    QVERIFY(!layout.holdsPlacement());
    QVERIFY(!layout.isGiven("XSize"));
    // The splitter alone is no placement of the window.
    layout.setValue("SplitterSizeX", 200);
    QVERIFY(layout.isGiven("SplitterSizeX"));
    QVERIFY(!layout.holdsPlacement());
    layout.setValue("XSize", 1000);
    QVERIFY(layout.holdsPlacement());
    layout.save();

    LayoutSettings again(7);
    again.load();
    QVERIFY(again.holdsPlacement());
    QVERIFY(again.isGiven("SplitterSizeX"));
    QVERIFY(!again.isGiven("YSize"));

    // A stored value that cannot be read is no value of the user's, and an
    // unusable layout counts as none.
    store().setValue("Size and position/XSize", "wide");
    again.load();
    QVERIFY(!again.holdsPlacement());
    store().setValue("Size and position/XSize", 0);
    store().setValue("Size and position/YSize", 0);
    store().setValue("Size and position/XPos", 300);
    again.load();
    QVERIFY(!again.holdsPlacement());
}

void TestSettings::configurationLivesUnderItsOwnApplicationName()
{
    ConfigurationSettings config;
    config.setValue("FileName", "/tmp/demo.prj");
    config.save();
    QCOMPARE(store(SettingsSection::kConfigurationApplication).value("Configuration/FileName").toString(),
             QStringLiteral("/tmp/demo.prj"));
    QVERIFY(!store().contains("Configuration/FileName"));
    ConfigurationSettings again;
    again.load();
    QCOMPARE(again.textValue("FileName"), QStringLiteral("/tmp/demo.prj"));
    QCOMPARE(again.textValue("DataLinkFile"), QString());
}

void TestSettings::singleValueWriteLeavesOthersAlone()
{
    store().setValue("Settings/HoverTime", 100);
    WriteSetting("LangDLL", 2);
    QCOMPARE(ReadSetting("LangDLL").toInt(), 2);
    QCOMPARE(ReadSetting("HoverTime").toInt(), 100);
    WriteSetting("LangDLL", 1);
    QVERIFY(!store().contains("Settings/LangDLL"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
