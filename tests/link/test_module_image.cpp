#include "link/module_image.h"

#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// A channel block with every byte distinct from its neighbours.
QByteArray channelBlock()
{
    QByteArray b(29, '\0');
    for (int i = 0; i < b.size(); ++i)
        b[i] = static_cast<char>(0x11 * (i % 15 + 1));
    return b;
}

QByteArray identityBlock(const QByteArray &revision, const QByteArray &serial)
{
    QByteArray b = bytes({7, 0x03});
    b.append(revision.leftJustified(8, ' ', true));
    b.append(serial.leftJustified(12, ' ', true));
    return b;
}

} // namespace

class TestModuleImage : public QObject {
    Q_OBJECT
private slots:
    void familiesAndTheirModelNumbers();
    void freshImageIsEmpty();
    void textsStopAtNulAndLoseTrailingBlanks();
    void textsAreCutOrPaddedToTheirWidth();
    void textsTravelAsSingleBytes();
    void identityByteSplitsIntoFlags();
    void identityEncodesTCButNotItsSecondReading();
    void channelBlockHoldsBothReadingsOfFamilyBytes();
    void channelBlockEncodesFamilyBytes_data();
    void channelBlockEncodesFamilyBytes();
    void outputAndRelayBytesPack();
    void relayFunctionNeverSpillsIntoNeighbours();
    void everyWritableBlockRoundTrips_data();
    void everyWritableBlockRoundTrips();
    void liveBlockLengthChoosesItsLastField();
    void liveFlagsSplit();
    void refusedInputChangesNothing();
};

// The one family type: its model numbers both ways and at the start of a
// module's or type's name.
void TestModuleImage::familiesAndTheirModelNumbers()
{
    QCOMPARE(kModuleFamilies.size(), size_t(3));
    for (ModuleFamily family : kModuleFamilies) {
        QCOMPARE(FamilyOfModelNumber(ModelNumber(family)), std::optional<ModuleFamily>(family));
        QCOMPARE(FamilyAtStartOf(QString::number(ModelNumber(family)) + "/211-2 - [TT-1]"),
                 std::optional<ModuleFamily>(family));
    }
    QCOMPARE(ModelNumber(Family7210), 7210);
    for (int other : {0, 7200, 7231, -7230})
        QVERIFY(!FamilyOfModelNumber(other).has_value());
    QVERIFY(!FamilyAtStartOf("Z7230/211").has_value());
    QVERIFY(!FamilyAtStartOf(QString()).has_value());
    // The live-value blocks are the only ones of another length.
    QCOMPARE(BlockLength(8, Family7210), 12);
    QCOMPARE(BlockLength(8, Family7220), 10);
    QCOMPARE(BlockLength(kBlockCount, Family7230), 0);
}

void TestModuleImage::freshImageIsEmpty()
{
    const CModuleImage image;
    QCOMPARE(image.ModulTypID, 0);
    QVERIFY(image.SerialNr.isEmpty());
    QCOMPARE(image.Channel[1].Config.RangeEnd, 0);
    QCOMPARE(image.Channel[0].Live.MeasuredValue, 0);
    QCOMPARE(image, CModuleImage());
}

void TestModuleImage::textsStopAtNulAndLoseTrailingBlanks()
{
    CModuleImage image;
    QVERIFY(image.DecodeBlock(0, identityBlock("V1.2    ", "AB1")));
    QCOMPARE(image.Revision, QStringLiteral("V1.2"));
    QCOMPARE(image.SerialNr, QStringLiteral("AB1"));

    QByteArray withNul = identityBlock("", "");
    withNul.replace(2, 8, bytes({'R', 'e', 'v', 0, 'X', 'Y', 'Z', 'W'}));
    QVERIFY(image.DecodeBlock(0, withNul));
    QCOMPARE(image.Revision, QStringLiteral("Rev"));

    QByteArray full = identityBlock("", "123456789012");
    QVERIFY(image.DecodeBlock(0, full));
    QCOMPARE(image.SerialNr, QStringLiteral("123456789012"));

    // Blanks inside a text are kept.
    QByteArray tag = QByteArray("A B  ").leftJustified(32, ' ');
    QVERIFY(image.DecodeBlock(4, tag));
    QCOMPARE(image.Channel[1].Name, QStringLiteral("A B"));
}

void TestModuleImage::textsAreCutOrPaddedToTheirWidth()
{
    CModuleImage image;
    image.Channel[0].Name = QString(40, QLatin1Char('x')).replace(31, 1, QLatin1Char('L'));
    const QByteArray longTag = image.EncodeBlock(2, Family7230);
    QCOMPARE(longTag.size(), 32);
    QCOMPARE(longTag, QByteArray(31, 'x') + 'L');

    image.Channel[0].Name = QStringLiteral("T1");
    QCOMPARE(image.EncodeBlock(2, Family7230), QByteArray("T1") + QByteArray(30, ' '));

    image.LastProgramming = QStringLiteral("01.02.2026");
    image.ModuleText = QStringLiteral("Pump");
    const QByteArray programming = image.EncodeBlock(1, Family7210);
    QCOMPARE(programming.size(), 42);
    QCOMPARE(programming.left(14), QByteArray("01.02.2026Pump"));
    QCOMPARE(programming.mid(14), QByteArray(28, ' '));
}

void TestModuleImage::textsTravelAsSingleBytes()
{
    CModuleImage image;
    // A character of ISO 8859-1 is its own byte; one outside it is sent as
    // '?', and a character outside the basic plane still counts as one.
    image.Channel[0].Description =
        QStringLiteral("Kühler Ω ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("!");
    const QByteArray encoded = image.EncodeBlock(3, Family7230);
    QCOMPARE(encoded.size(), 32);
    QCOMPARE(encoded.left(11), QByteArray("K\xFChler ? ?!"));

    CModuleImage decoded;
    QVERIFY(decoded.DecodeBlock(3, encoded));
    QCOMPARE(decoded.Channel[0].Description, QStringLiteral("Kühler ? ?!"));
}

void TestModuleImage::identityByteSplitsIntoFlags()
{
    CModuleImage image;
    QByteArray block = identityBlock("1", "2");
    block[1] = static_cast<char>(0x95);
    QVERIFY(image.DecodeBlock(0, block));
    QCOMPARE(image.ModulTypID, 7);
    QCOMPARE(image.DIPSwitch, 1);
    QCOMPARE(image.TC, 1);
    QCOMPARE(image.HaveImpulseOutput, 1);
    QCOMPARE(image.OutputSignal, 1);
    QCOMPARE(image.LimitValue, 0);
    QCOMPARE(image.Channels, 1);
    QVERIFY(image.IsTwoChannel());

    block[1] = static_cast<char>(0x6A); // unused bits 6-5 set, voltage, relays
    QVERIFY(image.DecodeBlock(0, block));
    QCOMPARE(image.DIPSwitch, 0);
    QCOMPARE(image.TC, 0);
    QCOMPARE(image.OutputSignal, 2);
    QCOMPARE(image.LimitValue, 1);
    QCOMPARE(image.Channels, 0);
}

void TestModuleImage::identityEncodesTCButNotItsSecondReading()
{
    CModuleImage image;
    image.ModulTypID = 12;
    image.DIPSwitch = 1;
    image.HaveImpulseOutput = 1;
    image.OutputSignal = 2;
    image.LimitValue = 1;
    image.Channels = 1;
    image.Revision = QStringLiteral("2.0");
    image.SerialNr = QStringLiteral("0815");
    QByteArray encoded = image.EncodeBlock(0, Family7210);
    QCOMPARE(encoded.size(), 22);
    QCOMPARE(static_cast<std::uint8_t>(encoded[0]), 12);
    QCOMPARE(static_cast<std::uint8_t>(encoded[1]), 0x8B);
    QCOMPARE(encoded.mid(2), QByteArray("2.0     0815        "));

    image.TC = 1;
    encoded = image.EncodeBlock(0, Family7210);
    QCOMPARE(static_cast<std::uint8_t>(encoded[1]), 0x9B);
}

void TestModuleImage::channelBlockHoldsBothReadingsOfFamilyBytes()
{
    QByteArray block = channelBlock();
    block.replace(3, 5, bytes({0x12, 0x34, 0x05, 0xFF, 0x38}));
    CModuleImage image;
    QVERIFY(image.DecodeBlock(7, block));
    const ChannelConfiguration &c = image.Channel[1].Config;
    QCOMPARE(c.WireResistance, 0x1234);
    QCOMPARE(c.Zahlteilerkvocient, 0x1234);
    QCOMPARE(c.TCtypeID, 5);
    QCOMPARE(c.Ueberlauf, 1);
    QCOMPARE(c.Zaehlerignis, 0);
    QCOMPARE(c.Impulsausgangaktiv, 1);
    QCOMPARE(c.ComparePlaceTemp, -200);
    QCOMPARE(c.Anlaufverzoegurung, 65336);
    QCOMPARE(image.Channel[0].Config, ChannelConfiguration());
}

void TestModuleImage::channelBlockEncodesFamilyBytes_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QByteArray>("bytes3to7");
    QTest::newRow("7230") << int(Family7230) << bytes({0x04, 0xD2, 0x02, 0xFF, 0x38});
    QTest::newRow("7210") << int(Family7210) << bytes({0x00, 0x0A, 0x06, 0x01, 0x2C});
    QTest::newRow("7220 zeros") << int(Family7220) << QByteArray(5, '\0');
}

void TestModuleImage::channelBlockEncodesFamilyBytes()
{
    QFETCH(int, family);
    QFETCH(QByteArray, bytes3to7);
    CModuleImage image;
    ChannelConfiguration &c = image.Channel[0].Config;
    c.WorkingModeID = 1;
    c.SensorTypID = 2;
    c.TypeOfCircuitID = 3;
    c.WireResistance = 1234;
    c.TCtypeID = 2;
    c.ComparePlaceTemp = -200;
    c.Zahlteilerkvocient = 10;
    c.Ueberlauf = 0;
    c.Zaehlerignis = 1;
    c.Impulsausgangaktiv = 1;
    c.Anlaufverzoegurung = 300;
    c.RangeBegin = -50000;
    const QByteArray encoded = image.EncodeBlock(6, static_cast<ModuleFamily>(family));
    QCOMPARE(encoded.size(), 29);
    QCOMPARE(encoded.left(3), bytes({1, 2, 3}));
    QCOMPARE(encoded.mid(3, 5), bytes3to7);
    QCOMPARE(encoded.mid(8, 4), bytes({0xFF, 0xFF, 0x3C, 0xB0}));
}

void TestModuleImage::outputAndRelayBytesPack()
{
    CModuleImage image;
    ChannelConfiguration &c = image.Channel[1].Config;
    c.RangeEnd = 0x01020304;
    c.RangeUnitsID = 9;
    c.OutputErrorStop = 8;
    c.OutputSignalType = 3;
    c.OutputErrorValue = 21500;
    c.Relay2AgainSettingProtection = 3;
    c.Relay2LimitValue = 2;
    c.Relay1AgainSettingProtection = 1;
    c.Relay1LimitValue = 1;
    c.Relay1ActiveRangeValue = 0x1111;
    c.Relay1Hysteresis = 0x2222;
    c.Relay2ActiveRangeValue = 0x3333;
    c.Relay2Hysteresis = 0xFFFF;
    const QByteArray e = image.EncodeBlock(7, Family7220);
    QCOMPARE(e.mid(12, 4), bytes({1, 2, 3, 4}));
    QCOMPARE(static_cast<std::uint8_t>(e[16]), 9);
    QCOMPARE(static_cast<std::uint8_t>(e[17]), 0x83);
    QCOMPARE(e.mid(18, 2), bytes({0x53, 0xFC}));
    QCOMPARE(static_cast<std::uint8_t>(e[20]), 0xE5);
    QCOMPARE(e.mid(21), bytes({0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0xFF, 0xFF}));
}

void TestModuleImage::relayFunctionNeverSpillsIntoNeighbours()
{
    CModuleImage image;
    ChannelConfiguration &c = image.Channel[0].Config;
    c.Relay1LimitValue = 5; // does not fit two bits
    c.Relay2LimitValue = 7;
    c.OutputSignalType = 0x13;
    const QByteArray e = image.EncodeBlock(6, Family7230);
    QCOMPARE(static_cast<std::uint8_t>(e[20]), 0x31);
    QCOMPARE(static_cast<std::uint8_t>(e[17]), 0x03);
}

void TestModuleImage::everyWritableBlockRoundTrips_data()
{
    QTest::addColumn<int>("family");
    QTest::newRow("7230") << int(Family7230);
    QTest::newRow("7210") << int(Family7210);
    QTest::newRow("7220") << int(Family7220);
}

void TestModuleImage::everyWritableBlockRoundTrips()
{
    QFETCH(int, family);
    const auto f = static_cast<ModuleFamily>(family);
    // Decoding a block with distinct bytes and encoding it again must give
    // the same bytes, except where the family has no use for them.
    for (int block = 0; block < 8; ++block) {
        QByteArray original =
            block >= 6 ? channelBlock() : QByteArray(BlockLength(block, f), 'a' + char(block));
        if (block == 0) {
            original = identityBlock("1.07", "SN-42");
            original[1] = static_cast<char>(0xFF);
        }
        CModuleImage image;
        QVERIFY(image.DecodeBlock(block, original));
        QByteArray expected = original;
        if (block == 0)
            expected[1] = static_cast<char>(original[1] & ~0x60);
        if (block >= 6 && f == Family7210)
            expected[5] = static_cast<char>(original[5] & 0x07);
        if (block >= 6 && f == Family7220)
            expected.replace(3, 5, QByteArray(5, '\0'));
        QCOMPARE(image.EncodeBlock(block, f), expected);
    }
}

void TestModuleImage::liveBlockLengthChoosesItsLastField()
{
    CModuleImage image;
    QVERIFY(image.DecodeBlock(8, bytes({0, 0, 0xFF, 0xFF, 0xFF, 0x9C, 0x2E, 0xE0, 0xFF, 0xE2})));
    QCOMPARE(image.Channel[0].Live.MeasuredValue, -100);
    QCOMPARE(image.Channel[0].Live.OutputValue, 12000);
    QCOMPARE(image.Channel[0].Live.ComparisonTemp, -30);

    QVERIFY(image.DecodeBlock(9, bytes({0, 0, 0, 0, 0x01, 0x00, 0, 0, 0x00, 0x0F, 0x42, 0x40})));
    QCOMPARE(image.Channel[1].Live.MeasuredValue, 256);
    QCOMPARE(image.Channel[1].Live.OutputFrequency, 1000000);
    QCOMPARE(image.Channel[1].Live.ComparisonTemp, 0);
}

void TestModuleImage::liveFlagsSplit()
{
    CModuleImage image;
    QVERIFY(image.DecodeBlock(8, bytes({0xDB, 0xA5, 0, 0, 0, 0, 0, 0, 0, 0})));
    const ChannelLiveValues &v = image.Channel[0].Live;
    QCOMPARE(v.Relay2Locked, 1);
    QCOMPARE(v.Relay1Locked, 1);
    QCOMPARE(v.ErrorRelayActive, 0);
    QCOMPARE(v.PositiveOverload, 1);
    QCOMPARE(v.NegativeOverload, 1);
    QCOMPARE(v.ErrorSuppression, 1);
    QCOMPARE(v.ModuleError, 1);
    QCOMPARE(v.Relay2On, 1);
    QCOMPARE(v.Relay1On, 0);
    QCOMPARE(v.ChannelError, 1);
    QCOMPARE(v.GeneralError, 0);
    QCOMPARE(v.SensorInterrupt, 0);
    QCOMPARE(v.SensorShortCircuit, 1);
    QCOMPARE(v.RangeOverrun, 0);
    QCOMPARE(v.RegressRange, 1);
}

void TestModuleImage::refusedInputChangesNothing()
{
    CModuleImage image;
    image.Channel[0].Name = QStringLiteral("keep");
    const CModuleImage before = image;
    QVERIFY(!image.DecodeBlock(2, QByteArray(31, 'x')));
    QVERIFY(!image.DecodeBlock(8, QByteArray(11, 'x')));
    QVERIFY(!image.DecodeBlock(10, QByteArray(10, 'x')));
    QVERIFY(!image.DecodeBlock(-1, QByteArray(22, 'x')));
    QCOMPARE(image, before);

    QVERIFY(image.EncodeBlock(8, Family7230).isEmpty());
    QVERIFY(image.EncodeBlock(9, Family7210).isEmpty());
    QVERIFY(image.EncodeBlock(-1, Family7230).isEmpty());
}

QTEST_GUILESS_MAIN(TestModuleImage)
#include "test_module_image.moc"
