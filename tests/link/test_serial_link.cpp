#include "link/module_image.h"
#include "link/serial_link.h"
#include "support/test_support.h"
#include "tools/simulator/module_simulator.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {

// A simulated module on a pseudo-terminal with the link opened on it.
struct Connection {
    std::unique_ptr<ModuleSimulator> module;
    CSerialLink link;

    explicit Connection(SimulatorOptions options = {})
        : module(std::make_unique<ModuleSimulator>(std::move(options)))
    {
        QString error;
        if (!module->start(&error))
            qFatal("no pseudo-terminal: %s", qPrintable(error));
        const int code = link.Open(module->devicePath());
        if (code != 0)
            qFatal("cannot open %s: %s", qPrintable(module->devicePath()), qPrintable(link.LastOpenError()));
    }

    void inject(SimulatorFault::Kind kind, int times = 1, int count = 0)
    {
        SimulatorFault fault;
        fault.kind = kind;
        fault.times = times;
        fault.count = count;
        module->injectFault(fault);
    }
    void injectStatus(std::uint8_t status1, std::uint8_t status2)
    {
        SimulatorFault fault;
        fault.kind = SimulatorFault::Status;
        fault.status1 = status1;
        fault.status2 = status2;
        module->injectFault(fault);
    }
};

SimulatorOptions familyOptions(ModuleFamily family, int channels = 2)
{
    SimulatorOptions options;
    options.family = family;
    options.channels = channels;
    options.moduleType = 3;
    options.serialNumber = QStringLiteral("SN%1").arg(int(family));
    return options;
}

QStringList repeated(const QString &entry, int times)
{
    QStringList out;
    for (int i = 0; i < times; ++i)
        out << entry;
    return out;
}

void addFamilies()
{
    QTest::addColumn<int>("family");
    QTest::newRow("7230") << int(Family7230);
    QTest::newRow("7210") << int(Family7210);
    QTest::newRow("7220") << int(Family7220);
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }

    void fullReadMatchesTheModule_data() { addFamilies(); }
    void fullReadMatchesTheModule();
    void writtenBlocksAreKept_data() { addFamilies(); }
    void writtenBlocksAreKept();
    void everyActionSendsItsCommandAndChannel();
    void compensationReturnsTheWireResistance();
    void unusableRepliesFailWithoutRetry_data();
    void unusableRepliesFailWithoutRetry();
    void replyCutShortIsRetriedWithFreshRequests();
    void liveBlockLengthsAreAcceptedForAnyFamily_data();
    void liveBlockLengthsAreAcceptedForAnyFamily();
    void nonZeroStatusRetriesReadsButFailsWrites();
    void blockNumbersOutsideTheTableSendNothing();
    void actionStatusTexts_data();
    void actionStatusTexts();
    void actionStatusArrivesFromTheModule();
    void failedActionKeepsThePreviousReply();
    void staleBytesArePurgedBeforeARequest();
    void unpluggedModuleIsSilentUntilReplugged();
    void pulledPortComesBackUnderItsName();
    void liveValuesMove();
    void exchangesWorkAtTheLineRate();
    void aPortTalksAtItsOwnLineSettings();
    void openingAndProbingPorts();
    void portSettingNamesThePort();
};

void TestSerialLink::fullReadMatchesTheModule()
{
    QFETCH(int, family);
    Connection c(familyOptions(static_cast<ModuleFamily>(family)));
    CModuleImage image;
    for (int block = 0; block < kBlockCount; ++block)
        QVERIFY2(c.link.FetchBlock(block, image), qPrintable(QStringLiteral("block %1").arg(block)));

    const QStringList expectedTraffic = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8", "R9"};
    QCOMPARE(c.module->traffic(), expectedTraffic);
    for (int block = 0; block < 8; ++block)
        QCOMPARE(image.EncodeBlock(block, static_cast<ModuleFamily>(family)), c.module->block(block));
    QCOMPARE(image.SerialNr, QStringLiteral("SN%1").arg(family));
    QCOMPARE(image.ModulTypID, 3);
    QVERIFY(image.IsTwoChannel());
    for (const ChannelImage &channel : image.Channel) {
        QVERIFY(channel.Live.MeasuredValue > channel.Config.RangeBegin);
        QVERIFY(channel.Live.MeasuredValue < channel.Config.RangeEnd);
        QVERIFY(channel.Live.OutputValue >= 4000 && channel.Live.OutputValue <= 20000);
        if (family == Family7210)
            QVERIFY(channel.Live.OutputFrequency > 0);
        else
            QVERIFY(channel.Live.ComparisonTemp > 200);
    }
}

void TestSerialLink::writtenBlocksAreKept()
{
    QFETCH(int, family);
    const auto f = static_cast<ModuleFamily>(family);
    Connection c(familyOptions(f));
    CModuleImage image = c.module->image();
    image.LastProgramming = QStringLiteral("09.12.2026");
    image.ModuleText = QStringLiteral("Boiler house");
    image.Channel[0].Name = QStringLiteral("PT-201");
    image.Channel[0].Description = QStringLiteral("Steam pressure");
    image.Channel[1].Name = QStringLiteral("PT-202");
    image.Channel[1].Description = QStringLiteral("Feed water");
    image.Channel[0].Config.RangeEnd = 160000;
    image.Channel[0].Config.Zahlteilerkvocient = 25;
    image.Channel[0].Config.WireResistance = 25;
    image.Channel[1].Config.Relay1Hysteresis = 250;

    c.link.SetLastStoreOk(0);
    for (int block = 1; block < 8; ++block)
        QVERIFY(c.link.StoreBlock(block, image, f));
    QCOMPARE(c.link.LastStoreOk(), 1);
    QCOMPARE(c.module->traffic(), (QStringList{"W1", "W2", "W3", "W4", "W5", "W6", "W7"}));

    CModuleImage readBack;
    for (int block = 1; block < 8; ++block) {
        QCOMPARE(c.module->block(block), image.EncodeBlock(block, f));
        QVERIFY(c.link.FetchBlock(block, readBack));
    }
    QCOMPARE(readBack.ModuleText, QStringLiteral("Boiler house"));
    QCOMPARE(readBack.Channel[1].Description, QStringLiteral("Feed water"));
    QCOMPARE(readBack.Channel[0].Config.RangeEnd, 160000);
    QCOMPARE(readBack.Channel[0].Config.Zahlteilerkvocient, family == Family7220 ? 0 : 25);
    QCOMPARE(readBack.Channel[1].Config.Relay1Hysteresis, 250);
}

void TestSerialLink::everyActionSendsItsCommandAndChannel()
{
    Connection c(familyOptions(Family7210));
    for (int code = 0; code < 8; ++code) {
        QVERIFY(c.link.SendAction(static_cast<ActionCode>(code)));
        QCOMPARE(c.link.GetActionReply().status, 0);
    }
    const QStringList expected = {"AE1:0", "AE1:1", "AE0:0", "AE0:1", "AE0:0", "AE0:1", "AE0:0", "AE0:1"};
    QCOMPARE(c.module->traffic(), expected);
}

void TestSerialLink::compensationReturnsTheWireResistance()
{
    Connection c(familyOptions(Family7230));
    QVERIFY(c.link.SendAction(ActionCode::TwoWireCompensation2));
    const ActionReply reply = c.link.GetActionReply();
    QCOMPARE(reply.status, 0);
    QVERIFY(reply.value >= 1234 && reply.value < 1400);
    QCOMPARE(c.module->image().Channel[1].Config.WireResistance, int(reply.value));
    QCOMPARE(CSerialLink::ActionStatusText(reply.status), QStringLiteral("OK"));

    // A single-channel module has no second channel to compensate.
    Connection single(familyOptions(Family7230, 1));
    QVERIFY(single.link.SendAction(ActionCode::TwoWireCompensation2));
    QCOMPARE(CSerialLink::ActionStatusText(single.link.GetActionReply().status),
             QStringLiteral("Received data invalid"));
}

void TestSerialLink::unusableRepliesFailWithoutRetry_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("writeFails");
    QTest::newRow("bad checksum") << int(SimulatorFault::BadChecksum) << 0 << true;
    QTest::newRow("wrong header") << int(SimulatorFault::WrongHeader) << 0 << true;
    QTest::newRow("wrong echo") << int(SimulatorFault::WrongEcho) << 0 << true;
    QTest::newRow("no reply") << int(SimulatorFault::NoReply) << 0 << true;
    // A write reply's length is not checked; a read's must fit the block.
    QTest::newRow("wrong length") << int(SimulatorFault::WrongLength) << 1 << false;
}

void TestSerialLink::unusableRepliesFailWithoutRetry()
{
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(bool, writeFails);
    const auto kind = static_cast<SimulatorFault::Kind>(fault);
    Connection c;

    ReplyBuffer buffer{};
    c.inject(kind, 1, count);
    QCOMPARE(c.link.ReadBlock(3, buffer), LinkResult::Failed);
    CModuleImage image;
    c.inject(kind, 1, count);
    QVERIFY(!c.link.FetchBlock(2, image));
    QVERIFY(image.Channel[0].Name.isEmpty());
    QCOMPARE(c.module->traffic(), (QStringList{"R3", "R2"}));

    c.module->clearTraffic();
    c.inject(kind, 1, count);
    QCOMPARE(c.link.StoreBlock(2, image, Family7230), !writeFails);
    QCOMPARE(c.link.LastStoreOk(), writeFails ? 0 : 1);
    QCOMPARE(c.module->traffic(), QStringList{"W2"});

    // The next exchange finds the line clean again.
    QVERIFY(c.link.FetchBlock(0, image));
    QCOMPARE(image.SerialNr, c.module->options().serialNumber);
}

void TestSerialLink::replyCutShortIsRetriedWithFreshRequests()
{
    Connection c;
    ReplyBuffer buffer{};
    c.inject(SimulatorFault::CutShort);
    QCOMPARE(c.link.ReadBlock(2, buffer), LinkResult::Incomplete);

    CModuleImage image;
    c.inject(SimulatorFault::CutShort, 3);
    QVERIFY(!c.link.FetchBlock(2, image));
    c.inject(SimulatorFault::CutShort, 2);
    QVERIFY(c.link.FetchBlock(2, image));
    QCOMPARE(image.Channel[0].Name, QStringLiteral("TT-101"));
    QCOMPARE(c.module->traffic(), repeated("R2", 7));

    c.module->clearTraffic();
    image.Channel[0].Name = QStringLiteral("TT-900");
    c.inject(SimulatorFault::CutShort, 3);
    QVERIFY(!c.link.StoreBlock(2, image, Family7230));
    QCOMPARE(c.link.LastStoreOk(), 0);
    c.inject(SimulatorFault::CutShort, 1);
    QVERIFY(c.link.StoreBlock(2, image, Family7230));
    QCOMPARE(c.link.LastStoreOk(), 1);
    QCOMPARE(c.module->traffic(), repeated("W2", 5));
    QCOMPARE(c.module->image().Channel[0].Name, QStringLiteral("TT-900"));
}

void TestSerialLink::liveBlockLengthsAreAcceptedForAnyFamily_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("delta");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("7230 N=12") << int(Family7230) << 0 << true;
    QTest::newRow("7230 N=14") << int(Family7230) << 2 << true;
    QTest::newRow("7230 N=13") << int(Family7230) << 1 << false;
    QTest::newRow("7210 N=14") << int(Family7210) << 0 << true;
    QTest::newRow("7210 N=12") << int(Family7210) << -2 << true;
    QTest::newRow("7210 N=13") << int(Family7210) << -1 << false;
    QTest::newRow("7220 N=11") << int(Family7220) << -1 << false;
}

void TestSerialLink::liveBlockLengthsAreAcceptedForAnyFamily()
{
    QFETCH(int, family);
    QFETCH(int, delta);
    QFETCH(bool, accepted);
    Connection c(familyOptions(static_cast<ModuleFamily>(family)));
    for (int block : {8, 9}) {
        ReplyBuffer buffer{};
        c.inject(SimulatorFault::WrongLength, 1, delta);
        QCOMPARE(c.link.ReadBlock(block, buffer), accepted ? LinkResult::Ok : LinkResult::Failed);
        if (accepted)
            QCOMPARE(int(buffer[3]), BlockLength(block, static_cast<ModuleFamily>(family)) + 2 + delta);
    }
}

void TestSerialLink::nonZeroStatusRetriesReadsButFailsWrites()
{
    Connection c;
    ReplyBuffer buffer{};
    c.injectStatus(0x00, 0x01);
    QCOMPARE(c.link.ReadBlock(0, buffer), LinkResult::Incomplete);
    c.injectStatus(0x01, 0x00);
    QCOMPARE(c.link.ReadBlock(0, buffer), LinkResult::Incomplete);

    CModuleImage image;
    c.injectStatus(0x00, 0x01);
    QVERIFY(c.link.FetchBlock(0, image));
    QCOMPARE(c.module->traffic(), repeated("R0", 4));

    c.module->clearTraffic();
    const QByteArray tag = image.EncodeBlock(2, Family7230);
    c.injectStatus(0x00, 0x01);
    QCOMPARE(c.link.WriteBlock(2, {reinterpret_cast<const std::uint8_t *>(tag.constData()), 32}, Family7230),
             LinkResult::Failed);
    c.injectStatus(0x00, 0x01);
    QVERIFY(!c.link.StoreBlock(2, image, Family7230));
    QCOMPARE(c.link.LastStoreOk(), 0);
    QCOMPARE(c.module->traffic(), repeated("W2", 2));

    // The module itself refuses to have its identity overwritten.
    QVERIFY(!c.link.StoreBlock(0, image, Family7230));
}

void TestSerialLink::blockNumbersOutsideTheTableSendNothing()
{
    Connection c;
    ReplyBuffer buffer{};
    CModuleImage image;
    const std::uint8_t data[42] = {};
    QCOMPARE(c.link.ReadBlock(-1, buffer), LinkResult::Failed);
    QCOMPARE(c.link.ReadBlock(10, buffer), LinkResult::Failed);
    QCOMPARE(c.link.WriteBlock(10, data, Family7230), LinkResult::Failed);
    QCOMPARE(c.link.WriteBlock(-1, data, Family7210), LinkResult::Failed);
    QVERIFY(!c.link.FetchBlock(10, image));
    QVERIFY(!c.link.StoreBlock(-1, image, Family7230));
    QCOMPARE(c.link.LastStoreOk(), 0);
    // Blocks 8 and 9 have no encoding, so nothing can be written there.
    QVERIFY(!c.link.StoreBlock(8, image, Family7230));

    QCOMPARE(c.link.ReadBlock(0, buffer), LinkResult::Ok);
    QCOMPARE(c.module->receivedBytes(), 5);
    QCOMPARE(c.module->traffic(), QStringList{"R0"});
}

void TestSerialLink::actionStatusTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "OK";
    QTest::newRow("0x9A") << 0x9A << "Communication error Receive buffer overflowChecksum errorFraming error";
    QTest::newRow("0xC0") << 0xC0 << "Communication error Character parity error";
    QTest::newRow("0x80") << 0x80 << "Communication error ";
    QTest::newRow("2") << 2 << "Too few characters received";
    QTest::newRow("3") << 3 << "Received data invalid";
    QTest::newRow("9") << 9 << "Command not allowed";
    QTest::newRow("10") << 10 << "Action failed";
    QTest::newRow("64") << 64 << "Command not implemented";
    QTest::newRow("5") << 5 << "";
    QTest::newRow("1") << 1 << "";
}

void TestSerialLink::actionStatusTexts()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(CSerialLink::ActionStatusText(static_cast<std::uint8_t>(status)), text);
}

void TestSerialLink::actionStatusArrivesFromTheModule()
{
    Connection c;
    c.injectStatus(0x9A, 0x07);
    QVERIFY(c.link.SendAction(ActionCode::ResetLimitValue1));
    QCOMPARE(c.link.GetActionReply().status, 0x9A);
    QCOMPARE(c.link.GetActionReply().status2, 0x07);
    QCOMPARE(CSerialLink::ActionStatusText(c.link.GetActionReply().status),
             QStringLiteral("Communication error Receive buffer overflowChecksum errorFraming error"));
    c.injectStatus(5, 0);
    QVERIFY(c.link.SendAction(ActionCode::ResetEvent2));
    QVERIFY(CSerialLink::ActionStatusText(c.link.GetActionReply().status).isEmpty());
}

void TestSerialLink::failedActionKeepsThePreviousReply()
{
    Connection c;
    QVERIFY(c.link.SendAction(ActionCode::TwoWireCompensation1));
    const ActionReply first = c.link.GetActionReply();
    QVERIFY(first.value > 0);
    for (const auto kind :
         {SimulatorFault::BadChecksum, SimulatorFault::WrongEcho, SimulatorFault::CutShort}) {
        c.inject(kind);
        QVERIFY(!c.link.SendAction(ActionCode::TwoWireCompensation2));
        QCOMPARE(c.link.GetActionReply().value, first.value);
        QCOMPARE(c.link.GetActionReply().status, first.status);
    }
}

void TestSerialLink::staleBytesArePurgedBeforeARequest()
{
    Connection c;
    CModuleImage image;
    // The junk behind one reply is waiting when the next request goes out.
    c.inject(SimulatorFault::StaleBytes, 1, CSerialLink::kPurgeLimit);
    QVERIFY(c.link.FetchBlock(0, image));
    QVERIFY(c.link.FetchBlock(2, image));
    QCOMPARE(image.Channel[0].Name, QStringLiteral("TT-101"));

    // At most 50 go at once; what is left spoils one reply, not the next.
    c.inject(SimulatorFault::StaleBytes, 1, CSerialLink::kPurgeLimit + 1);
    QVERIFY(c.link.FetchBlock(0, image));
    ReplyBuffer buffer{};
    QCOMPARE(c.link.ReadBlock(2, buffer), LinkResult::Failed);
    QCOMPARE(c.link.ReadBlock(2, buffer), LinkResult::Ok);
}

void TestSerialLink::unpluggedModuleIsSilentUntilReplugged()
{
    Connection c;
    CModuleImage image;
    c.module->setUnplugged(true);
    QVERIFY(!c.link.FetchBlock(0, image));
    QVERIFY(c.module->traffic().isEmpty());

    c.module->setUnplugged(false);
    c.module->setSerialNumber(QStringLiteral("REPLACED-2"));
    QVERIFY(c.link.FetchBlock(0, image));
    QCOMPARE(image.SerialNr, QStringLiteral("REPLACED-2"));
}

void TestSerialLink::pulledPortComesBackUnderItsName()
{
    QTemporaryDir dir;
    SimulatorOptions options;
    options.linkPath = dir.filePath(QStringLiteral("ttyZW0"));
    Connection c(options);
    QCOMPARE(c.module->devicePath(), options.linkPath);
    CModuleImage image;
    image.Channel[0].Name = QStringLiteral("KEPT-1");
    QVERIFY(c.link.StoreBlock(2, image, Family7230));

    c.module->unplugPort();
    QVERIFY(!CSerialLink::PortExists(options.linkPath));
    QVERIFY(!c.link.FetchBlock(2, image));
    QVERIFY(c.link.Close());
    QCOMPARE(c.link.Open(options.linkPath), ENOENT);

    QVERIFY(c.module->replugPort());
    QVERIFY(CSerialLink::PortExists(options.linkPath));
    QCOMPARE(c.link.Open(options.linkPath), 0);
    CModuleImage readBack;
    QVERIFY(c.link.FetchBlock(2, readBack));
    QCOMPARE(readBack.Channel[0].Name, QStringLiteral("KEPT-1"));

    // A file that is not the simulator's link is never replaced.
    QFile other(dir.filePath(QStringLiteral("plain")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    SimulatorOptions clash;
    clash.linkPath = other.fileName();
    ModuleSimulator second(clash);
    QVERIFY(!second.start());
    QVERIFY(QFileInfo(other.fileName()).isFile());
}

void TestSerialLink::liveValuesMove()
{
    Connection c;
    CModuleImage first, later;
    QVERIFY(c.link.FetchBlock(8, first));
    QTest::qWait(300);
    QVERIFY(c.link.FetchBlock(8, later));
    QVERIFY(first.Channel[0].Live.MeasuredValue != later.Channel[0].Live.MeasuredValue);
}

void TestSerialLink::exchangesWorkAtTheLineRate()
{
    SimulatorOptions options;
    options.lineRate = true;
    Connection c(options);
    // The reply trickles in byte by byte; the reads must gather it.
    CModuleImage image;
    QVERIFY(c.link.FetchBlock(1, image));
    QCOMPARE(image.LastProgramming, QStringLiteral("01.02.2026"));
    image.ModuleText = QStringLiteral("Paced");
    QVERIFY(c.link.StoreBlock(1, image, Family7230));
    QVERIFY(c.link.SendAction(ActionCode::TwoWireCompensation1));
    QCOMPARE(c.module->image().ModuleText, QStringLiteral("Paced"));
}

void TestSerialLink::aPortTalksAtItsOwnLineSettings()
{
    // A module whose line runs at 19200 baud hears only a port set to it.
    SimulatorOptions options;
    options.baudRate = 19200;
    options.lineRate = true;
    ModuleSimulator module(options);
    QString error;
    QVERIFY2(module.start(&error), qPrintable(error));
    CModuleImage image;
    {
        CSerialLink usual;
        QCOMPARE(usual.Open(module.devicePath()), 0);
        QCOMPARE(usual.Settings().baudRate, 9600);
        QVERIFY(!usual.FetchBlock(0, image));
        QVERIFY(module.traffic().isEmpty());
    }
    CSerialLink fast;
    LineSettings settings;
    settings.baudRate = 19200;
    settings.parity = LineSettings::Parity::None;
    settings.timeoutMs = 150;
    fast.SetLineSettings(settings);
    QCOMPARE(fast.Open(module.devicePath()), 0);
    QVERIFY(fast.FetchBlock(1, image));
    QCOMPARE(image.LastProgramming, QStringLiteral("01.02.2026"));
    QCOMPARE(module.traffic(), QStringList({"R1"}));

    // The port's own time-out bounds each wait for a module that is silent.
    module.setUnplugged(true);
    ReplyBuffer buffer{};
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(fast.ReadBlock(0, buffer), LinkResult::Failed);
    QVERIFY2(clock.elapsed() >= 140 && clock.elapsed() < CSerialLink::kTimeoutMs, qPrintable(QString::number(clock.elapsed())));
}

void TestSerialLink::openingAndProbingPorts()
{
    const QString missing = QStringLiteral("/dev/zelnor-no-such-port");
    CSerialLink link;
    QCOMPARE(link.Open(missing), ENOENT);
    QVERIFY(link.LastOpenError().contains(missing));
    QVERIFY(!link.IsOpen());
    QVERIFY(!CSerialLink::PortExists(missing));
    QVERIFY(!link.Close());
    ReplyBuffer buffer{};
    QCOMPARE(link.ReadBlock(0, buffer), LinkResult::Failed);

    Connection c;
    const QString port = c.module->devicePath();
    QVERIFY(CSerialLink::PortExists(port));
    // Held by another link: busy, which counts as denied, and still exists.
    QCOMPARE(link.Open(port), CSerialLink::kAccessDenied);
    QCOMPARE(link.LastOpenError(),
             QStringLiteral("The serial port %1 is in use by another program.").arg(port));
    QVERIFY(CSerialLink::PortExists(port));

    QVERIFY(c.link.Close());
    QVERIFY(!c.link.Close());
    QCOMPARE(link.Open(port), 0);
    QVERIFY(link.LastOpenError().isEmpty());
    QCOMPARE(link.ReadBlock(0, buffer), LinkResult::Ok);
}

void TestSerialLink::portSettingNamesThePort()
{
    QCOMPARE(CSerialLink::PortNameFromSetting(QStringLiteral("/dev/ttyUSB0")),
             QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(CSerialLink::PortNameFromSetting(1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(CSerialLink::PortNameFromSetting(QStringLiteral("4")), QStringLiteral("/dev/ttyS3"));
    QVERIFY(CSerialLink::PortNameFromSetting(0).isEmpty());
    QVERIFY(CSerialLink::PortNameFromSetting(-3).isEmpty());
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "test_serial_link.moc"
