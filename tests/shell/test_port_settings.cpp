#include "log/output_log.h"
#include "shell/port_settings.h"
#include "support/captured_log.h"
#include "support/test_support.h"

#include <QtTest>

// What "Save" of the port dialog decides and what it changes.
class TestPortSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void saveWithoutSelectionIsRefused();
    void chosenOrTypedPortIsTaken_data();
    void chosenOrTypedPortIsTaken();
    void typedPortStaysChoosable();
    void changesAreLoggedOnlyWhenThePortDiffers();
    void baudRatesAreTheFixedList();
};

static std::vector<PortChoice> TwoPorts()
{
    return {{"/dev/ttyS0", "", ""}, {"/dev/ttyUSB0", "FT232R USB UART", "/dev/serial/by-id/usb-FTDI_A1-if00"}};
}

void TestPortSettings::initTestCase()
{
    TestSupport::loadEnglish();
}

void TestPortSettings::saveWithoutSelectionIsRefused()
{
    ScriptedMessages messages;
    const PortSettingsLogic logic(QString(), TwoPorts());
    QCOMPARE(logic.CurrentIndex(), -1);
    QVERIFY(!logic.Save(-1, QString()));
    QVERIFY(!logic.Save(-1, QStringLiteral("fast port")));
    QCOMPARE(messages.texts().size(), 2);
    QCOMPARE(messages.texts().front(),
             QStringLiteral("There is no serial port selected. Select a serial port in combo-box."));
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
}

void TestPortSettings::chosenOrTypedPortIsTaken_data()
{
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("port");
    QTest::newRow("chosen entry") << 1 << "" << "/dev/ttyUSB0";
    QTest::newRow("typed label") << -1 << "/dev/ttyUSB0 - FT232R USB UART (usb-FTDI_A1-if00)" << "/dev/ttyUSB0";
    QTest::newRow("typed pseudo-terminal") << 0 << " /dev/pts/7 " << "/dev/pts/7";
    QTest::newRow("typed Windows name") << -1 << "COM4" << "COM4";
}

void TestPortSettings::chosenOrTypedPortIsTaken()
{
    ScriptedMessages messages;
    const PortSettingsLogic logic("/dev/ttyS0", TwoPorts());
    QFETCH(int, chosen);
    QFETCH(QString, typed);
    QTEST(logic.Save(chosen, typed).value_or(QString()), "port");
    QVERIFY(messages.texts().isEmpty());
}

void TestPortSettings::typedPortStaysChoosable()
{
    const PortSettingsLogic logic("/dev/pts/3", TwoPorts());
    QCOMPARE(logic.Ports().size(), size_t(3));
    QCOMPARE(logic.Ports().at(size_t(logic.CurrentIndex())).device, QStringLiteral("/dev/pts/3"));
}

void TestPortSettings::changesAreLoggedOnlyWhenThePortDiffers()
{
    CapturedLog log;
    QStringList changed;
    const auto change = [&changed](const QString &port) { changed << port; };
    // Saving the port in use changes nothing and logs nothing.
    PortSettingsLogic::Conclude("/dev/ttyS0", "/dev/ttyS0", "/dev/ttyS0", change);
    QVERIFY(changed.isEmpty());
    QVERIFY(log.lines.isEmpty());
    PortSettingsLogic::Conclude("/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS0", change);
    QCOMPARE(changed, QStringList{"/dev/ttyUSB0"});
    QCOMPARE(log.lines.size(), 1);
    QVERIFY(log.lines.front().endsWith("Communication port has been changed to /dev/ttyUSB0."));
    // A run on a port of the command line: saving the stored port goes back
    // to it without a log line.
    PortSettingsLogic::Conclude("/dev/ttyS0", "/dev/pts/2", "/dev/ttyS0", change);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(log.lines.size(), 1);
}

void TestPortSettings::baudRatesAreTheFixedList()
{
    QCOMPARE(PortSettingsLogic::BaudRates().size(), 12);
    QCOMPARE(PortSettingsLogic::BaudRates().at(PortSettingsLogic::kSelectedBaudRate), QStringLiteral("9600"));
}

QTEST_GUILESS_MAIN(TestPortSettings)
#include "test_port_settings.moc"
