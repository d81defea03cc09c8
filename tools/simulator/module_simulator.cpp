#include "tools/simulator/module_simulator.h"

#include "link/serial_link.h"

#include <QDate>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Command error codes and communication error bits of a reply's status.
constexpr std::uint8_t kTooFewCharacters = 2;
constexpr std::uint8_t kDataInvalid = 3;
constexpr std::uint8_t kNotAllowed = 9;
constexpr std::uint8_t kNotImplemented = 64;
constexpr std::uint8_t kCommunicationChecksumError = 0x88;

// A request left unfinished this long is line noise.
constexpr int kRequestGapMs = 100;

std::int64_t nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

void sleepUntilUs(std::int64_t us)
{
    std::this_thread::sleep_until(Clock::time_point(std::chrono::microseconds(us)));
}

const std::uint8_t *bytesOf(const QByteArray &a)
{
    return reinterpret_cast<const std::uint8_t *>(a.constData());
}

void putU16(QByteArray &b, int at, int value)
{
    b[at] = static_cast<char>((value >> 8) & 0xFF);
    b[at + 1] = static_cast<char>(value & 0xFF);
}

void putU32(QByteArray &b, int at, int value)
{
    const auto u = static_cast<std::uint32_t>(value);
    putU16(b, at, static_cast<int>(u >> 16));
    putU16(b, at + 2, static_cast<int>(u & 0xFFFF));
}

// The module as it leaves the factory: both channels tagged, a plausible
// range, relays set up.
CModuleImage initialImage(const SimulatorOptions &o)
{
    CModuleImage m;
    m.ModulTypID = o.moduleType;
    m.DIPSwitch = o.dipConfigured ? 1 : 0;
    m.TC = o.family == Family7220 ? 0 : 1;
    m.HaveImpulseOutput = o.impulseOutput >= 0 ? o.impulseOutput : m.TC;
    m.OutputSignal = o.outputSignal >= 0 ? o.outputSignal : (o.family == Family7210 ? 0 : 1);
    m.LimitValue = 1;
    m.Channels = o.channels > 1 ? 1 : 0;
    m.Revision = QStringLiteral("1.04");
    m.SerialNr = o.serialNumber;
    m.LastProgramming = QDate(2026, 2, 1).toString(QStringLiteral("dd.MM.yyyy"));
    m.ModuleText = QStringLiteral("Simulated module");
    for (int ch = 0; ch < 2; ++ch) {
        ChannelImage &c = m.Channel[ch];
        const QString number = QString::number(101 + ch);
        c.Name = (o.family == Family7210 ? QStringLiteral("FT-") : QStringLiteral("TT-")) + number;
        c.Description = QStringLiteral("Simulated channel %1").arg(ch + 1);
        ChannelConfiguration &k = c.Config;
        // In the unit's own steps: 0 to 150 degrees Celsius in tenths, 4 to
        // 20 mA in thousandths, up to a million pulses.
        k.RangeBegin = o.family == Family7220 ? 4000 : 0;
        k.RangeEnd = o.family == Family7210 ? 1000000 : o.family == Family7220 ? 20000 : 1500;
        k.OutputSignalType = 1;
        k.OutputErrorValue = 21500;
        k.Relay1LimitValue = 1;
        k.Relay1AgainSettingProtection = 1;
        k.Relay1ActiveRangeValue = 8000;
        k.Relay1Hysteresis = 100;
        k.Relay2LimitValue = 2;
        k.Relay2AgainSettingProtection = 3;
        k.Relay2ActiveRangeValue = 2000;
        k.Relay2Hysteresis = 100;
        k.ComparePlaceTemp = 200;
        k.Zahlteilerkvocient = 10;
        k.Anlaufverzoegurung = 5;
    }
    return m;
}

QString hexByte(std::uint8_t b)
{
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

ModuleSimulator::ModuleSimulator(SimulatorOptions options) : m_options(std::move(options))
{
    const CModuleImage image = initialImage(m_options);
    for (int b = 0; b < 8; ++b)
        m_blocks[b] = image.EncodeBlock(b, m_options.family);
    m_startUs = nowUs();
}

ModuleSimulator::~ModuleSimulator()
{
    unplugPort();
}

bool ModuleSimulator::start(QString *error)
{
    auto fail = [&](const char *step) {
        if (error)
            *error =
                QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(strerror(errno)));
        stop();
        return false;
    };
    if (m_thread.joinable())
        return true;
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (grantpt(m_master) != 0)
        return fail("grantpt");
    if (unlockpt(m_master) != 0)
        return fail("unlockpt");
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_devicePath = QString::fromLocal8Bit(name);
    // Holding the slave side keeps the line up while no client has it open,
    // and setting it raw keeps the line discipline from echoing or editing.
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return fail("open slave");
    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0)
        return fail("tcgetattr");
    cfmakeraw(&tio);
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    if (fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0)
        return fail("fcntl");
    if (pipe2(m_wake.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("pipe");
    if (!m_options.linkPath.isEmpty()) {
        // Only a link of ours may be replaced, never a file that happens to
        // carry the name.
        const QByteArray link = QFile::encodeName(m_options.linkPath);
        struct stat st {};
        if (::lstat(link.constData(), &st) == 0) {
            errno = EEXIST;
            if (!S_ISLNK(st.st_mode) || ::unlink(link.constData()) != 0)
                return fail("link path");
        }
        if (::symlink(name, link.constData()) != 0)
            return fail("symlink");
        m_linkCreated = true;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

QString ModuleSimulator::devicePath() const
{
    return m_options.linkPath.isEmpty() ? m_devicePath : m_options.linkPath;
}

void ModuleSimulator::unplugPort()
{
    stop();
    if (m_linkCreated)
        ::unlink(QFile::encodeName(m_options.linkPath).constData());
    m_linkCreated = false;
}

bool ModuleSimulator::replugPort(QString *error)
{
    m_pending.clear();
    return start(error);
}

void ModuleSimulator::stop()
{
    if (m_thread.joinable()) {
        const char stopByte = 'x';
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &stopByte, 1);
        m_thread.join();
    }
    for (int *fd : {&m_master, &m_slave, &m_wake[0], &m_wake[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void ModuleSimulator::run()
{
    std::uint8_t chunk[512];
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, m_pending.isEmpty() ? -1 : kRequestGapMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (fds[1].revents & POLLIN))
            return;
        if (ready == 0) {
            m_pending.clear();
            continue;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n > 0)
                receive(chunk, static_cast<int>(n));
        }
    }
}

namespace {
struct LineSpeed {
    int rate;
    speed_t speed;
};
// The rates a pseudo-terminal keeps as the port set them.
constexpr std::array<LineSpeed, 10> kLineSpeeds = {{{600, B600},
                                                    {1200, B1200},
                                                    {2400, B2400},
                                                    {4800, B4800},
                                                    {9600, B9600},
                                                    {19200, B19200},
                                                    {38400, B38400},
                                                    {57600, B57600},
                                                    {115200, B115200},
                                                    {230400, B230400}}};
} // namespace

bool ModuleSimulator::IsLineSpeed(int baudRate)
{
    return std::any_of(kLineSpeeds.begin(), kLineSpeeds.end(),
                       [baudRate](const LineSpeed &known) { return known.rate == baudRate; });
}

double ModuleSimulator::byteTimeUs() const
{
    return 11.0 * 1'000'000.0 / (m_options.baudRate > 0 ? m_options.baudRate : 9600);
}

bool ModuleSimulator::hearsTheLine() const
{
    if (m_options.baudRate <= 0)
        return true;
    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0)
        return false;
    const auto known = std::find_if(kLineSpeeds.begin(), kLineSpeeds.end(),
                                    [this](const LineSpeed &line) { return line.rate == m_options.baudRate; });
    return known != kLineSpeeds.end() && cfgetospeed(&tio) == known->speed;
}

void ModuleSimulator::receive(const std::uint8_t *bytes, int count)
{
    {
        std::lock_guard lock(m_mutex);
        m_receivedBytes += count;
        if (m_unplugged)
            return;
    }
    // Bytes sent at another rate reach the module as noise.
    if (!hearsTheLine()) {
        m_pending.clear();
        return;
    }
    if (m_pending.isEmpty())
        m_requestStartUs = nowUs();
    m_pending.append(reinterpret_cast<const char *>(bytes), count);
    processFrames();
}

void ModuleSimulator::processFrames()
{
    for (;;) {
        // Anything before a request start is noise.
        const qsizetype start = m_pending.indexOf(static_cast<char>(Frame::kRequestStart));
        if (start < 0) {
            m_pending.clear();
            return;
        }
        m_pending.remove(0, start);
        if (m_pending.size() < Frame::kHeaderLength)
            return;
        const int frameLength = Frame::kHeaderLength + static_cast<std::uint8_t>(m_pending[3]) + 1;
        if (m_pending.size() < frameLength)
            return;
        const QByteArray request = m_pending.left(frameLength);
        m_pending.remove(0, frameLength);
        if (static_cast<std::uint8_t>(request[1]) != Frame::kAddress)
            continue;
        const auto command = static_cast<std::uint8_t>(request[2]);
        Reply reply;
        if (Frame::Checksum({bytesOf(request), static_cast<std::size_t>(frameLength)}) != 0) {
            const std::uint8_t status[] = {kCommunicationChecksumError, 0};
            reply.frame = Frame::Build(Frame::kReplyStart, command, status);
        } else {
            reply =
                answer(command, request.mid(Frame::kHeaderLength, frameLength - Frame::kHeaderLength - 1));
        }
        if (!reply.send)
            continue;
        if (reply.paced) {
            const std::int64_t requestEnd =
                m_requestStartUs + static_cast<std::int64_t>(std::llround(frameLength * byteTimeUs()));
            sleepUntilUs(requestEnd + m_options.replyDelayUs);
        } else if (m_options.replyDelayUs > 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(m_options.replyDelayUs));
        }
        transmit(reply.frame, reply.paced);
        m_requestStartUs = nowUs();
    }
}

ModuleSimulator::Reply ModuleSimulator::answer(std::uint8_t command, const QByteArray &data)
{
    std::lock_guard lock(m_mutex);
    std::pair<std::uint8_t, QByteArray> result{kNotImplemented, {}};
    if (command >= Frame::kReadBlock && command < Frame::kReadBlock + kBlockCount)
        result = {0, readBlock(command - Frame::kReadBlock)};
    else if (command >= Frame::kWriteBlock && command < Frame::kWriteBlock + kBlockCount)
        result = writeBlock(command - Frame::kWriteBlock, data);
    else if (command == Frame::kChannelAction || command == Frame::kResetLimitValue)
        result = action(command, data);
    noteTraffic(command, data);
    QByteArray body(2, '\0');
    body[0] = static_cast<char>(result.first);
    body.append(result.second);
    Reply reply{
        Frame::Build(Frame::kReplyStart, command, {bytesOf(body), static_cast<std::size_t>(body.size())}),
        true, m_options.lineRate};
    applyFault(command, reply);
    return reply;
}

QByteArray ModuleSimulator::readBlock(int number)
{
    if (number < 8)
        return m_blocks[number];
    // A relay with its lockout on stays locked once it has switched, until
    // its limit value is reset.
    const int channel = number - 8;
    const ChannelNow now = channelNow(channel);
    for (int relay = 0; relay < 2; ++relay) {
        if (now.relayOn[relay] && now.lockout[relay])
            m_relayLocked[channel][relay] = true;
    }
    return liveBlock(channel);
}

std::pair<std::uint8_t, QByteArray> ModuleSimulator::writeBlock(int number, const QByteArray &data)
{
    // Identity and live values belong to the module alone.
    if (number == 0 || number >= 8)
        return {kNotAllowed, {}};
    if (data.size() != BlockLength(number, m_options.family))
        return {data.size() < BlockLength(number, m_options.family) ? kTooFewCharacters : kDataInvalid, {}};
    m_blocks[number] = data;
    return {0, {}};
}

std::pair<std::uint8_t, QByteArray> ModuleSimulator::action(std::uint8_t command, const QByteArray &data)
{
    if (data.size() != 1)
        return {kTooFewCharacters, QByteArray(3, '\0')};
    const int channel = static_cast<std::uint8_t>(data[0]);
    if (channel > (m_options.channels > 1 ? 1 : 0))
        return {kDataInvalid, QByteArray(3, '\0')};
    QByteArray payload(3, '\0'); // one unused byte, then the value
    if (command == Frame::kResetLimitValue) {
        m_relayLocked[channel] = {false, false};
    } else if (m_options.family == Family7230) {
        // 2-wire compensation: the module measures its line and keeps it.
        const int resistance = 1234 + 111 * channel + static_cast<int>((nowUs() / 1000) % 7);
        putU16(m_blocks[6 + channel], 3, resistance);
        putU16(payload, 1, resistance);
    }
    return {0, payload};
}

ModuleSimulator::ChannelNow ModuleSimulator::channelNow(int channel) const
{
    CModuleImage config;
    config.DecodeBlock(6 + channel, m_blocks[6 + channel]);
    const ChannelConfiguration &k = config.Channel[channel].Config;
    ChannelNow now;
    now.seconds = (nowUs() - m_startUs) / 1e6;
    now.fraction = m_liveFraction[size_t(channel)].value_or(
        0.5 + 0.45 * std::sin(2 * std::numbers::pi * now.seconds / 20.0 + channel));
    now.begin = k.RangeBegin;
    now.end = k.RangeEnd != k.RangeBegin ? k.RangeEnd : k.RangeBegin + 100000.0;
    // Relay values are in 0.01 % of the range: relay 1 watches the top,
    // relay 2 the bottom.
    constexpr int kLockoutOn = 3;
    now.relayOn[0] = k.Relay1AgainSettingProtection != 0 && now.fraction * 10000 > k.Relay1ActiveRangeValue;
    now.relayOn[1] = k.Relay2AgainSettingProtection != 0 && now.fraction * 10000 < k.Relay2ActiveRangeValue;
    now.lockout[0] = k.Relay1AgainSettingProtection == kLockoutOn;
    now.lockout[1] = k.Relay2AgainSettingProtection == kLockoutOn;
    return now;
}

QByteArray ModuleSimulator::liveBlock(int channel) const
{
    const ChannelNow now = channelNow(channel);
    QByteArray b(BlockLength(8, m_options.family), '\0');
    b[0] = static_cast<char>((m_relayLocked[channel][1] ? 0x80 : 0) | (m_relayLocked[channel][0] ? 0x40 : 0));
    b[1] = static_cast<char>((now.relayOn[1] ? 0x80 : 0) | (now.relayOn[0] ? 0x40 : 0));
    putU32(b, 2, static_cast<int>(std::lround(now.begin + (now.end - now.begin) * now.fraction)));
    putU16(b, 6, static_cast<int>(std::lround(4000 + 16000 * now.fraction)));
    if (m_options.family == Family7210)
        putU32(b, 8, static_cast<int>(std::lround(now.fraction * 1'000'000)));
    else
        putU16(b, 8, static_cast<int>(std::lround(235 + 5 * std::sin(now.seconds / 7.0))));
    return b;
}

void ModuleSimulator::applyFault(std::uint8_t command, Reply &reply)
{
    auto it = std::find_if(m_faults.begin(), m_faults.end(), [&](const SimulatorFault &f) {
        return f.commands.empty() ||
               std::find(f.commands.begin(), f.commands.end(), command) != f.commands.end();
    });
    if (it == m_faults.end())
        return;
    if (it->after > 0) {
        --it->after;
        return;
    }
    const SimulatorFault fault = *it;
    if (--it->times <= 0)
        m_faults.erase(it);

    QByteArray &f = reply.frame;
    auto reseal = [&f] {
        f.chop(1);
        f.append(static_cast<char>(Frame::Checksum({bytesOf(f), static_cast<std::size_t>(f.size())})));
    };
    switch (fault.kind) {
    case SimulatorFault::NoReply:
        reply.send = false;
        break;
    case SimulatorFault::BadChecksum:
        f[f.size() - 1] = static_cast<char>(f[f.size() - 1] ^ 0x5A);
        break;
    case SimulatorFault::CutShort:
        f.truncate(Frame::kHeaderLength + (f.size() - Frame::kHeaderLength) / 2);
        break;
    case SimulatorFault::WrongHeader:
        f[0] = static_cast<char>(0x15);
        reseal();
        break;
    case SimulatorFault::WrongEcho:
        f[2] = static_cast<char>(command ^ 0x01);
        reseal();
        break;
    case SimulatorFault::Status:
        f[4] = static_cast<char>(fault.status1);
        f[5] = static_cast<char>(fault.status2);
        reseal();
        break;
    case SimulatorFault::StaleBytes:
        f.append(QByteArray(fault.count, static_cast<char>(0xA5)));
        break;
    case SimulatorFault::Misstore: {
        const int block = command - Frame::kWriteBlock;
        if (block > 0 && block < 8 && fault.count >= 0 && fault.count < m_blocks[size_t(block)].size())
            m_blocks[size_t(block)][fault.count] =
                static_cast<char>(m_blocks[size_t(block)][fault.count] ^ 0x01);
        break;
    }
    case SimulatorFault::WrongLength: {
        QByteArray body = f.mid(Frame::kHeaderLength, f.size() - Frame::kHeaderLength - 1);
        body.resize(std::max<qsizetype>(0, body.size() + fault.count), '\0');
        f = Frame::Build(Frame::kReplyStart, command, {bytesOf(body), static_cast<std::size_t>(body.size())});
        break;
    }
    }
}

void ModuleSimulator::transmit(const QByteArray &frame, bool paced)
{
    if (!paced) {
        [[maybe_unused]] const ssize_t n =
            ::write(m_master, frame.constData(), static_cast<size_t>(frame.size()));
        return;
    }
    // Each byte is on the wire for 11 bit times; hand it over once it would
    // have arrived, counted from the start so that no error accumulates.
    const std::int64_t start = nowUs();
    for (qsizetype i = 0; i < frame.size(); ++i) {
        sleepUntilUs(start + static_cast<std::int64_t>(std::llround((i + 1) * byteTimeUs())));
        [[maybe_unused]] const ssize_t n = ::write(m_master, frame.constData() + i, 1);
    }
}

void ModuleSimulator::noteTraffic(std::uint8_t command, const QByteArray &data)
{
    if (command >= Frame::kReadBlock && command < Frame::kReadBlock + kBlockCount)
        m_traffic << QStringLiteral("R%1").arg(command - Frame::kReadBlock);
    else if (command >= Frame::kWriteBlock && command < Frame::kWriteBlock + kBlockCount)
        m_traffic << QStringLiteral("W%1").arg(command - Frame::kWriteBlock);
    else
        m_traffic << QStringLiteral("A%1:%2")
                         .arg(hexByte(command))
                         .arg(static_cast<std::uint8_t>(data.isEmpty() ? 0 : data[0]));
    m_trafficChanged.notify_all();
}

void ModuleSimulator::injectFault(const SimulatorFault &fault)
{
    std::lock_guard lock(m_mutex);
    m_faults.push_back(fault);
}

void ModuleSimulator::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

void ModuleSimulator::setUnplugged(bool unplugged)
{
    std::lock_guard lock(m_mutex);
    m_unplugged = unplugged;
}

void ModuleSimulator::setSerialNumber(const QString &serial)
{
    std::lock_guard lock(m_mutex);
    CModuleImage identity;
    identity.DecodeBlock(0, m_blocks[0]);
    identity.SerialNr = serial;
    m_blocks[0] = identity.EncodeBlock(0, m_options.family);
}

void ModuleSimulator::replaceModule(const QString &serial)
{
    std::lock_guard lock(m_mutex);
    m_options.serialNumber = serial;
    loadFactoryBlocks();
}

void ModuleSimulator::replaceModule(ModuleFamily family, int moduleType, int channels, const QString &serial)
{
    std::lock_guard lock(m_mutex);
    m_options.family = family;
    m_options.moduleType = moduleType;
    m_options.channels = channels;
    m_options.serialNumber = serial;
    m_options.outputSignal = -1;
    loadFactoryBlocks();
    // A held measured value stays held: it is the test rig's, not the module's.
    m_relayLocked = {};
}

void ModuleSimulator::loadFactoryBlocks()
{
    const CModuleImage image = initialImage(m_options);
    for (int b = 0; b < 8; ++b)
        m_blocks[size_t(b)] = image.EncodeBlock(b, m_options.family);
}

void ModuleSimulator::setLiveFraction(int channel, std::optional<double> fraction)
{
    std::lock_guard lock(m_mutex);
    if (channel == 1 || channel == 2)
        m_liveFraction[size_t(channel - 1)] = fraction;
}

void ModuleSimulator::setLineRate(bool lineRate)
{
    std::lock_guard lock(m_mutex);
    m_options.lineRate = lineRate;
}

void ModuleSimulator::sendUnsolicited(const QByteArray &bytes)
{
    transmit(bytes, false);
}

QByteArray ModuleSimulator::block(int number) const
{
    std::lock_guard lock(m_mutex);
    if (!IsBlockNumber(number))
        return {};
    if (number >= 8)
        return liveBlock(number - 8);
    // A copy of its own: the module's bytes are never shared with a reader
    // outside the lock.
    QByteArray copy = m_blocks[size_t(number)];
    copy.detach();
    return copy;
}

void ModuleSimulator::setBlock(int number, const QByteArray &bytes)
{
    std::lock_guard lock(m_mutex);
    if (number >= 0 && number < 8) {
        m_blocks[size_t(number)] = bytes;
        m_blocks[size_t(number)].detach();
    }
}

CModuleImage ModuleSimulator::image() const
{
    CModuleImage image;
    for (int b = 0; b < kBlockCount; ++b)
        image.DecodeBlock(b, block(b));
    return image;
}

QStringList ModuleSimulator::traffic() const
{
    std::lock_guard lock(m_mutex);
    // Detached here, the list never grows in place while a copy of it dies
    // on another thread.
    QStringList copy = m_traffic;
    copy.detach();
    return copy;
}

qint64 ModuleSimulator::receivedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_receivedBytes;
}

void ModuleSimulator::clearTraffic()
{
    std::lock_guard lock(m_mutex);
    m_traffic.clear();
}

bool ModuleSimulator::waitForTraffic(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_trafficChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return m_traffic.size() >= count; });
}
