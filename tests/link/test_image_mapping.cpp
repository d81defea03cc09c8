// The three mappings between a project module and the image of its blocks,
// with modules made from the defaults of a real project.
#include "link/image_mapping.h"
#include "params/params_test_support.h"
#include "support/test_support.h"

#include <QtTest>

#include <limits>

namespace {
constexpr int kTwoChannel7230 = 7;
constexpr int kTwoChannel7210 = 39;
constexpr int kTripAmplifier = 65;
constexpr int kSentinel = 4711;

// An image whose every channel number holds the sentinel, to see which
// fields a mapping leaves alone.
CModuleImage MarkedImage()
{
    CModuleImage image;
    image.HaveImpulseOutput = kSentinel;
    image.ModuleText = QStringLiteral("kept");
    for (ChannelImage &channel : image.Channel) {
        ChannelConfiguration &c = channel.Config;
        for (int *field :
             {&c.WorkingModeID, &c.SensorTypID, &c.TypeOfCircuitID, &c.WireResistance, &c.TCtypeID,
              &c.ComparePlaceTemp, &c.Zahlteilerkvocient, &c.Ueberlauf, &c.Zaehlerignis,
              &c.Impulsausgangaktiv, &c.Anlaufverzoegurung, &c.RangeBegin, &c.RangeEnd})
            *field = kSentinel;
    }
    return image;
}
} // namespace

class TestImageMapping : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ParamsProject> m_project;

private slots:
    void initTestCase()
    {
        TestSupport::loadEnglish();
        m_project = std::make_unique<ParamsProject>();
    }

    void writeImageOf7230Module()
    {
        LoadedModule module(*m_project, kTwoChannel7230, QStringLiteral("W30"));
        ChannelParameters &ch2 = module.ch(2);
        ch2.rangeBegin = -5000;
        ch2.rangeEnd = 15000000;
        ch2.comparePlaceTemp = -20050;
        ch2.wireResistance = 1234;
        ch2.outputErrorValue = 21500000;
        ch2.relay1LimitValue = 3;
        ch2.relay2AgainSettingProtection = 2;
        module.parameters().module.serialNr = QStringLiteral("SN-1");
        module.parameters().module.dipConfigurable = true;
        CModuleImage image = MarkedImage();
        BuildWriteImage(image, module.parameters(), Family7230, QStringLiteral("09.12.2026"));
        QCOMPARE(image.ModulTypID, kTwoChannel7230 - 1);
        QCOMPARE(image.Channels, 1);
        QCOMPARE(image.DIPSwitch, 1);
        QCOMPARE(image.TC, module.parameters().type.tc);
        QCOMPARE(image.OutputSignal, 1);
        QCOMPARE(image.LimitValue, 1);
        QCOMPARE(image.SerialNr, QStringLiteral("SN-1"));
        QCOMPARE(image.LastProgramming, QStringLiteral("09.12.2026"));
        QCOMPARE(image.ModuleText, QStringLiteral("kept"));
        QCOMPARE(image.HaveImpulseOutput, kSentinel);
        const ChannelImage &out = image.Channel[1];
        QCOMPARE(out.Name, QStringLiteral("W30_CH2"));
        QCOMPARE(out.Config.RangeBegin, -50);
        QCOMPARE(out.Config.RangeEnd, 150000);
        QCOMPARE(out.Config.ComparePlaceTemp, -200);
        QCOMPARE(out.Config.WireResistance, 1234);
        QCOMPARE(out.Config.OutputErrorValue, 21500);
        QCOMPARE(out.Config.Relay1LimitValue, 3);
        QCOMPARE(out.Config.Relay2AgainSettingProtection, 2);
        // The frequency fields are not the 7230 blocks' business.
        QCOMPARE(out.Config.Zahlteilerkvocient, kSentinel);
        QCOMPARE(out.Config.Anlaufverzoegurung, kSentinel);
    }

    void writeImageOf7210Module()
    {
        LoadedModule module(*m_project, kTwoChannel7210, QStringLiteral("W10"));
        ChannelParameters &ch1 = module.ch(1);
        ch1.rangeBegin = 1500;
        ch1.rangeEnd = 1000000;
        ch1.zahlteilerkvocient = 20000;
        ch1.anlaufverzoegurung = 999;
        ch1.ueberlauf = 1;
        ch1.zaehlerignis = 1;
        ch1.impulsausgangaktiv = 1;
        module.parameters().type.tc = 1;
        CModuleImage image = MarkedImage();
        BuildWriteImage(image, module.parameters(), Family7210, QStringLiteral("01.01.2027"));
        QCOMPARE(image.TC, 0);
        const ChannelConfiguration &c = image.Channel[0].Config;
        QCOMPARE(c.RangeBegin, 1500);
        QCOMPARE(c.RangeEnd, 1000000);
        QCOMPARE(c.Zahlteilerkvocient, 20000);
        QCOMPARE(c.Anlaufverzoegurung, 999);
        QCOMPARE(c.Ueberlauf + c.Zaehlerignis + c.Impulsausgangaktiv, 3);
        QCOMPARE(c.WorkingModeID, ch1.workingModeId);
        QCOMPARE(c.WireResistance, kSentinel);
        QCOMPARE(c.TCtypeID, kSentinel);
        QCOMPARE(c.ComparePlaceTemp, kSentinel);
    }

    void writeImageOf7220ModuleKeepsTheInput()
    {
        LoadedModule module(*m_project, kTripAmplifier, QStringLiteral("W20"));
        module.ch(1).relay1ActiveRangeValue = 12500;
        module.ch(1).rangeUnitsId = 2;
        CModuleImage image = MarkedImage();
        BuildWriteImage(image, module.parameters(), Family7220, QStringLiteral("01.01.2027"));
        const ChannelConfiguration &c = image.Channel[0].Config;
        for (int field : {c.WorkingModeID, c.SensorTypID, c.TypeOfCircuitID, c.RangeBegin, c.RangeEnd,
                          c.WireResistance, c.Zahlteilerkvocient})
            QCOMPARE(field, kSentinel);
        QCOMPARE(c.Relay1ActiveRangeValue, 12500);
        QCOMPARE(c.RangeUnitsID, 2);
        QCOMPARE(image.Channels, 0);
        // Channel 2 of a one-channel module is left as it was.
        QCOMPARE(image.Channel[1].Config.RangeBegin, kSentinel);
    }

    void comparisonImageCarriesEveryReading()
    {
        LoadedModule module(*m_project, kTripAmplifier, QStringLiteral("C20"));
        module.ch(1).workingModeId = 1;
        module.ch(1).wireResistance = 77;
        module.ch(1).zahlteilerkvocient = 5;
        module.parameters().module.lastProgramming = QStringLiteral("03.04.2025");
        module.parameters().type.tc = 1;
        CModuleImage image = MarkedImage();
        FillFromModule(image, module.parameters(), Family7220);
        const ChannelConfiguration &c = image.Channel[0].Config;
        QCOMPARE(c.WorkingModeID, 1);
        QCOMPARE(c.WireResistance, 77);
        QCOMPARE(c.Zahlteilerkvocient, 5);
        QCOMPARE(image.TC, 1);
        QCOMPARE(image.LastProgramming, QStringLiteral("03.04.2025"));
        // The range is a 7230 and 7210 value only.
        QCOMPARE(c.RangeBegin, kSentinel);
    }

    void comparePlaceTemperatureRoundTrip()
    {
        LoadedModule module(*m_project, kTwoChannel7230, QStringLiteral("RT"));
        CModuleImage image;
        FillFromModule(image, module.parameters(), Family7230);
        image.Channel[0].Config.ComparePlaceTemp = -200;
        TakeOverImage(module.parameters(), image, Family7230, 0, false);
        QCOMPARE(module.ch(1).comparePlaceTemp, -20000);
        CModuleImage written;
        BuildWriteImage(written, module.parameters(), Family7230, QString());
        QCOMPARE(written.Channel[0].Config.ComparePlaceTemp, -200);
        module.ch(1).comparePlaceTemp = -20050;
        BuildWriteImage(written, module.parameters(), Family7230, QString());
        QCOMPARE(written.Channel[0].Config.ComparePlaceTemp, -200);
    }

    void uploadOfOneChannelTakesModuleDataAndThatChannel()
    {
        LoadedModule module(*m_project, kTwoChannel7230, QStringLiteral("UP"));
        const ChannelParameters channel1Before = module.ch(1);
        const QString dateBefore = module.parameters().module.lastProgramming;
        CModuleImage image;
        FillFromModule(image, module.parameters(), Family7230);
        image.Revision = QStringLiteral("2.00");
        image.SerialNr = QStringLiteral("SN-UP");
        image.LastProgramming = QStringLiteral("05.05.2026");
        image.DIPSwitch = 1;
        for (ChannelImage &ch : image.Channel) {
            ch.Name += QStringLiteral("X");
            ch.Description = QStringLiteral("from module");
            ch.Config.RangeEnd = 99999;
            ch.Config.OutputErrorValue = 3600;
        }
        QVERIFY(TakeOverImage(module.parameters(), image, Family7230, 2, false));
        QCOMPARE(module.parameters().module.revision, QStringLiteral("2.00"));
        QCOMPARE(module.parameters().module.serialNr, QStringLiteral("SN-UP"));
        QVERIFY(module.parameters().module.dipConfigurable);
        QCOMPARE(module.parameters().module.lastProgramming, dateBefore);
        QCOMPARE(module.ch(1), channel1Before);
        QCOMPARE(module.ch(2).name, QStringLiteral("UP_CH2X"));
        QCOMPARE(module.ch(2).description, QStringLiteral("from module"));
        QCOMPARE(module.ch(2).rangeEnd, 9999900);
        QCOMPARE(module.ch(2).outputErrorValue, 3600000);
        // Channel 1 brings the date along; the same DIP flag is no change.
        QVERIFY(!TakeOverImage(module.parameters(), image, Family7230, 1, false));
        QCOMPARE(module.parameters().module.lastProgramming, QStringLiteral("05.05.2026"));
    }

    void uploadIntoANewModuleKeepsItsTags()
    {
        LoadedModule module(*m_project, kTwoChannel7230, QStringLiteral("NEW"));
        CModuleImage image;
        FillFromModule(image, module.parameters(), Family7230);
        image.Channel[0].Name = QStringLiteral("OTHER1");
        image.Channel[1].Name = QStringLiteral("OTHER2");
        image.Channel[1].Description = QStringLiteral("taken");
        TakeOverImage(module.parameters(), image, Family7230, 0, true);
        QCOMPARE(module.ch(1).name, QStringLiteral("NEW_CH1"));
        QCOMPARE(module.ch(2).name, QStringLiteral("NEW_CH2"));
        QCOMPARE(module.ch(2).description, QStringLiteral("taken"));
    }

    void uploadByFamily()
    {
        LoadedModule frequency(*m_project, kTwoChannel7210, QStringLiteral("UF"));
        const qint32 wireBefore = frequency.ch(1).wireResistance;
        CModuleImage image = MarkedImage();
        image.ModulTypID = kTwoChannel7210 - 1;
        image.Channels = 1;
        image.HaveImpulseOutput = 1;
        TakeOverImage(frequency.parameters(), image, Family7210, 0, false);
        QCOMPARE(frequency.ch(1).rangeBegin, kSentinel);
        QCOMPARE(frequency.ch(1).zahlteilerkvocient, kSentinel);
        QCOMPARE(frequency.ch(1).wireResistance, wireBefore);
        QCOMPARE(frequency.parameters().type.haveImpulseOutput, 1);
        QCOMPARE(frequency.parameters().module.modulTypId, kTwoChannel7210);

        LoadedModule trip(*m_project, kTripAmplifier, QStringLiteral("UT"));
        const qint32 rangeBefore = trip.ch(1).rangeBegin;
        image.ModulTypID = kTripAmplifier - 1;
        image.Channels = 0;
        TakeOverImage(trip.parameters(), image, Family7220, 0, false);
        QCOMPARE(trip.ch(1).rangeBegin, rangeBefore);
        QCOMPARE(trip.ch(1).workingModeId, kSentinel);

        // A range a 7230 project cannot hold scaled by 100 stays at the limit
        // instead of turning negative.
        LoadedModule big(*m_project, kTwoChannel7230, QStringLiteral("BIG"));
        CModuleImage huge;
        FillFromModule(huge, big.parameters(), Family7230);
        huge.Channel[0].Config.RangeEnd = 50000000;
        huge.Channel[0].Config.RangeBegin = -50000000;
        TakeOverImage(big.parameters(), huge, Family7230, 0, false);
        QCOMPARE(big.ch(1).rangeEnd, std::numeric_limits<qint32>::max());
        QCOMPARE(big.ch(1).rangeBegin, std::numeric_limits<qint32>::min());
    }
};

QTEST_GUILESS_MAIN(TestImageMapping)
#include "test_image_mapping.moc"
