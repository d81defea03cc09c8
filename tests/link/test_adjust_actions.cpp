// The Adjust page: the action of each button, when it may be pressed, and
// the line that reports the module's reply.
#include "link/adjust_actions.h"
#include "link/module_image.h"
#include "base/language.h"
#include "base/string_table.h"
#include "support/test_support.h"

#include <QtTest>

class TestAdjustActions : public QObject {
    Q_OBJECT
private slots:
    void init() { TestSupport::loadEnglish(); }
    void resultLines_data();
    void resultLines();
    void resultLineNamesTheAdjustmentOnce_data();
    void resultLineNamesTheAdjustmentOnce();
    void twoWireCompensationNeedsTheTwoWireCircuit();
    void frequencyModulesResetEventsOrDelayTheStart();
    void resetNeedsALockedRelayWithLockout();
    void tripAmplifiersHaveNoChannelActions();
};

namespace {
CModuleImage TwoChannelModule()
{
    CModuleImage image;
    image.Channels = 1;
    image.LimitValue = 1;
    return image;
}
} // namespace

void TestAdjustActions::resultLines_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("line");
    QTest::newRow("compensation")
        << 2 << 0 << 1234 << "Adjust 2-wires compensation, Channel1...OK,  Wire resistance = 12.34 Ohm";
    QTest::newRow("compensation too large")
        << 3 << 0 << 0xFFFF << "Adjust 2-wires compensation, Channel2...OK, Wire resistance too large!";
    QTest::newRow("reset") << 0 << 0 << 1234 << "Adjust Reset limit value, Channel 1...OK";
    QTest::newRow("refused")
        << 7 << 0x9A << 0
        << "Adjust Activate startup delay, channel 2...Communication error Receive buffer "
           "overflowChecksum errorFraming error";
}

void TestAdjustActions::resultLines()
{
    QFETCH(int, code);
    QFETCH(int, status);
    QFETCH(int, value);
    QFETCH(QString, line);
    ActionReply reply;
    reply.status = std::uint8_t(status);
    reply.value = std::uint16_t(value);
    QCOMPARE(AdjustActions::ResultText(static_cast<ActionCode>(code), reply), line);
}

void TestAdjustActions::resultLineNamesTheAdjustmentOnce_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("reset");
    QTest::newRow("German") << 2 << "Abgleich: Grenzwert zurücksetzen, Kanal 1...OK";
    QTest::newRow("French") << 3 << "Réglage : réinitialiser le seuil, canal 1...OK";
    QTest::newRow("Russian") << 4 << "Настройка: сброс предельного значения, канал 1...OK";
    QTest::newRow("Spanish") << 5 << "Ajuste: restablecer valor límite, canal 1...OK";
}

// The line is composed of the page's name, the action and the reply; in
// every language it names the adjustment once ("Abgleich 2-Leiter-Abgleich"
// would read twice).
void TestAdjustActions::resultLineNamesTheAdjustmentOnce()
{
    QFETCH(int, language);
    QFETCH(QString, reset);
    QVERIFY(Language::load(language));
    const QString adjust = Str(62300).toLower();
    QString firstLine;
    for (int code = 0; code <= 7; ++code) {
        const QString line = AdjustActions::ResultText(static_cast<ActionCode>(code), ActionReply{});
        if (code == 0)
            firstLine = line;
        QVERIFY2(line.toLower().count(adjust) == 1, qPrintable(line));
        const QString failure = AdjustActions::FailureText(static_cast<ActionCode>(code), LinkResult::Failed);
        QVERIFY2(failure.toLower().count(adjust) == 1, qPrintable(failure));
    }
    QCOMPARE(firstLine, reset);
}

void TestAdjustActions::twoWireCompensationNeedsTheTwoWireCircuit()
{
    CModuleImage image = TwoChannelModule();
    image.Channel[1].Config.TypeOfCircuitID = 1;
    AdjustActions::Page page = AdjustActions::PageFor(image, Family7230);
    QVERIFY(page.channelAction[0].enabled);
    QCOMPARE(page.channelAction[0].action, ActionCode::TwoWireCompensation1);
    QCOMPARE(Str(page.channelAction[0].labelText), QStringLiteral("2-Wire redress"));
    QCOMPARE(Str(page.channelAction[0].buttonText), QStringLiteral("Active"));
    QVERIFY(!page.channelAction[1].enabled);
    QCOMPARE(page.channelAction[1].action, ActionCode::TwoWireCompensation2);

    image.Channel[0].Config.WorkingModeID = 2;
    image.Channel[1].Config.TypeOfCircuitID = 0;
    image.Channels = 0;
    page = AdjustActions::PageFor(image, Family7230);
    QVERIFY(!page.channelAction[0].enabled);
    QVERIFY(!page.channelAction[1].enabled); // one channel only
}

void TestAdjustActions::frequencyModulesResetEventsOrDelayTheStart()
{
    CModuleImage image = TwoChannelModule();
    image.LimitValue = 0;
    image.Channel[1].Config.WorkingModeID = 1;
    const AdjustActions::Page page = AdjustActions::PageFor(image, Family7210);
    // Working mode 0 resets the event, also without relays.
    QCOMPARE(page.channelAction[0].action, ActionCode::ResetEvent1);
    QCOMPARE(Str(page.channelAction[0].labelText), QStringLiteral("Reset event"));
    QCOMPARE(Str(page.channelAction[0].buttonText), QStringLiteral("Reset!"));
    QVERIFY(page.channelAction[0].enabled);
    // Other modes delay the start, which needs the relays.
    QCOMPARE(page.channelAction[1].action, ActionCode::ActivateStartupDelay2);
    QCOMPARE(Str(page.channelAction[1].buttonText), QStringLiteral("Activate!"));
    QVERIFY(!page.channelAction[1].enabled);
    image.LimitValue = 1;
    QVERIFY(AdjustActions::PageFor(image, Family7210).channelAction[1].enabled);
}

void TestAdjustActions::resetNeedsALockedRelayWithLockout()
{
    CModuleImage image = TwoChannelModule();
    image.Channel[0].Config.Relay2AgainSettingProtection = 2;
    image.Channel[0].Live.Relay2Locked = 1;
    QVERIFY(AdjustActions::PageFor(image, Family7230).resetLimitValue[0].enabled);
    // The 7210 lockout must be exactly 3.
    QVERIFY(!AdjustActions::PageFor(image, Family7210).resetLimitValue[0].enabled);
    image.Channel[0].Config.Relay2AgainSettingProtection = 3;
    QVERIFY(AdjustActions::PageFor(image, Family7210).resetLimitValue[0].enabled);
    image.Channel[0].Live.Relay2Locked = 0;
    QVERIFY(!AdjustActions::PageFor(image, Family7230).resetLimitValue[0].enabled);
    image.Channel[0].Live.Relay2Locked = 1;
    image.LimitValue = 0;
    QVERIFY(!AdjustActions::PageFor(image, Family7230).resetLimitValue[0].enabled);
    QVERIFY(!AdjustActions::PageFor(image, Family7230).resetLimitValue[1].enabled);
}

void TestAdjustActions::tripAmplifiersHaveNoChannelActions()
{
    CModuleImage image = TwoChannelModule();
    image.Channel[0].Config.Relay1AgainSettingProtection = 3;
    image.Channel[0].Live.Relay1Locked = 1;
    const AdjustActions::Page page = AdjustActions::PageFor(image, Family7220);
    QVERIFY(!page.channelAction[0].shown);
    QVERIFY(!page.channelAction[1].shown);
    QVERIFY(!page.resetLimitValue[1].shown);
    QVERIFY(page.resetLimitValue[0].shown);
    QVERIFY(page.resetLimitValue[0].enabled);
}

QTEST_GUILESS_MAIN(TestAdjustActions)
#include "test_adjust_actions.moc"
