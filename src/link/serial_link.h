#pragma once

#include "link/block_layout.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <array>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

class CModuleImage;
class QSerialPort;

// The result of one exchange with the module.
enum class LinkResult : int {
    Ok = 0,         // a valid reply with the expected content
    Failed = 1,     // no usable reply; not retried
    Incomplete = 2, // reply body cut short, or a block read answered with a non-zero status; retried
};

// The module actions and the command and data byte each one sends.
enum class ActionCode : int {
    ResetLimitValue1 = 0,
    ResetLimitValue2 = 1,
    TwoWireCompensation1 = 2,
    TwoWireCompensation2 = 3,
    ResetEvent1 = 4,
    ResetEvent2 = 5,
    ActivateStartupDelay1 = 6,
    ActivateStartupDelay2 = 7,
};

// Whether the action changes the module's parameter blocks: a 2-wire
// compensation stores the line resistance it measured in the channel's block.
inline bool ChangesParameterBlocks(ActionCode action)
{
    return action == ActionCode::TwoWireCompensation1 || action == ActionCode::TwoWireCompensation2;
}

// What the latest successful action exchange answered.
struct ActionReply {
    std::uint8_t status = 0;
    std::uint8_t status2 = 0; // kept, not interpreted
    std::uint16_t value = 0;  // the wire resistance after a 2-wire compensation
};

// Frame bytes shared by the link and the module simulator.
namespace Frame {
inline constexpr std::uint8_t kRequestStart = 0x02;
inline constexpr std::uint8_t kReplyStart = 0x06;
inline constexpr std::uint8_t kAddress = 0x80;
inline constexpr std::uint8_t kReadBlock = 0x80;  // + block
inline constexpr std::uint8_t kWriteBlock = 0xC0; // + block
inline constexpr std::uint8_t kChannelAction = 0xE0;
inline constexpr std::uint8_t kResetLimitValue = 0xE1;
inline constexpr int kHeaderLength = 4;
inline constexpr int kPayloadOffset = 6; // behind the two status bytes

// XOR of all bytes; a whole valid frame gives 0.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);
// start, address, command, N, data, checksum.
QByteArray Build(std::uint8_t start, std::uint8_t command, std::span<const std::uint8_t> data);
} // namespace Frame

// Numbers of the link's texts in the language packs.
namespace LinkText {
inline constexpr int kStatusOk = 62200;
inline constexpr int kCommunicationError = 62201;
inline constexpr int kReceiveBufferOverflow = 62202;
inline constexpr int kChecksumError = 62203;
inline constexpr int kFramingError = 62204;
inline constexpr int kCharacterParityError = 62205;
inline constexpr int kTooFewCharacters = 62206;
inline constexpr int kReceivedDataInvalid = 62207;
inline constexpr int kCommandNotAllowed = 62208;
inline constexpr int kActionFailed = 62209;
inline constexpr int kCommandNotImplemented = 62210;
inline constexpr int kPortAccessDenied = 62211; // "... Access is denied."
inline constexpr int kPortFailed = 62212;       // "...Failed."
inline constexpr int kPermissionHint = 62213;
inline constexpr int kPortBusy = 62214;
inline constexpr int kPortSetupFailed = 62215;
inline constexpr int kPortOpenFailed = 62216;
inline constexpr int kNoValidReply = 62330;
inline constexpr int kReplyCutShort = 62331;
inline constexpr int kLinkBusy = 62332;
} // namespace LinkText

using ReplyBuffer = std::array<std::uint8_t, kReplyBufferSize>;

// How the line of one port is set up: 8 data bits and 1 stop bit always,
// without flow control.
struct LineSettings {
    enum class Parity { None, Even, Odd };
    // The rates a port may be set to.
    static constexpr std::array<int, 12> kBaudRates = {600,   1200,  2400,  4800,  9600,   14400,
                                                       19200, 28800, 38400, 57600, 115200, 230400};
    static constexpr int kMinTimeoutMs = 50;
    static constexpr int kMaxTimeoutMs = 10000;

    int baudRate = 9600;
    Parity parity = Parity::Even;
    // Each read and each write waits at most this long in all.
    int timeoutMs = 500;

    bool operator==(const LineSettings &) const = default;
    static bool IsBaudRate(int rate);
};

// What the bytes of a reply say, apart from the port that brought them: every
// exchange reads its reply through these.
namespace Reply {
// Reads up to count bytes into `into`, received telling how many came before
// the time-out; false when the line failed.
using ReadBytes = std::function<bool(std::uint8_t *into, int count, int &received)>;
// Reads one frame: the header, then the body and checksum it announces.
// Failed for a wrong start or address, a wrong checksum or a failed line;
// Incomplete for a body cut short.
LinkResult Receive(ReplyBuffer &buffer, const ReadBytes &read);
// A received reply to the read of block: it echoes the command and has the
// block's length of one of the families; Incomplete for non-zero status.
LinkResult CheckBlockRead(int block, const ReplyBuffer &buffer);
// The data bytes of a block read that CheckBlockRead accepted.
std::span<const std::uint8_t> BlockBytes(const ReplyBuffer &buffer);
// A received reply to the write of block: the echo and two zero status
// bytes. A write the module refuses is not repeated, unlike a read.
LinkResult CheckBlockWrite(int block, const ReplyBuffer &reply);
// A received reply to an action with this command byte; none for another
// command's echo or a reply too short to hold the status.
std::optional<ActionReply> ActionAnswer(std::uint8_t command, const ReplyBuffer &reply);
} // namespace Reply

// The serial port and the frame protocol of one connected module. Everything
// but PortExists runs on the link worker thread, one exchange at a time.
class CSerialLink {
public:
    // Open's answer when the device node may not be opened by this user.
    static constexpr int kAccessDenied = EACCES;
    // Each read and each write waits at most this long in all, unless the
    // line settings say otherwise.
    static constexpr int kTimeoutMs = LineSettings().timeoutMs;
    // Stale bytes thrown away before a request, at most.
    static constexpr int kPurgeLimit = 50;
    static constexpr int kAttempts = 3;

    CSerialLink();
    ~CSerialLink();
    CSerialLink(const CSerialLink &) = delete;
    CSerialLink &operator=(const CSerialLink &) = delete;

    // Opens the port by its system name ("/dev/ttyUSB0", "COM3") with the
    // line settings (by default 9600 baud, 8 data bits, even parity, 1 stop
    // bit), no flow control, DTR cleared and RTS set. Returns 0 or an errno value (kAccessDenied, ENOENT, EBUSY ...).
    // A pseudo-terminal carries neither parity nor modem lines: those
    // settings are skipped there. A port that cannot be set up is closed
    // again so that a later Open retries it.
    int Open(const QString &port);
    // Taken at the next Open.
    void SetLineSettings(const LineSettings &settings) { m_settings = settings; }
    const LineSettings &Settings() const { return m_settings; }
    // True if a port was open and is now closed.
    bool Close();
    bool IsOpen() const;
    // Why the latest Open failed, and for a permission failure how to fix
    // it; empty after a successful Open.
    QString LastOpenError() const { return m_lastOpenError; }

    // Whether the device node exists, also when another program holds it or
    // this user may not open it. Touches no open port.
    static bool PortExists(const QString &port);

    // The port named by the setting ComPort: a system name as it stands; an
    // old port number N means COMN on Windows and /dev/ttyS(N-1) elsewhere.
    static QString PortNameFromSetting(const QVariant &value);

    // Discards up to kPurgeLimit bytes already waiting.
    void PurgeInput();
    LinkResult ReceiveReply(ReplyBuffer &buffer);
    // On Ok the block's bytes start at Frame::kPayloadOffset of buffer.
    LinkResult ReadBlock(int block, ReplyBuffer &buffer);
    LinkResult WriteBlock(int block, std::span<const std::uint8_t> data, ModuleFamily family);
    // True when a valid reply arrived; GetActionReply() then holds it. On
    // false the record keeps the previous action's values.
    bool SendAction(ActionCode code) { return ExchangeAction(code) == LinkResult::Ok; }
    // SendAction with the reason of a failure: Incomplete for a reply cut
    // short, Failed for none, a bad one or another command's echo.
    LinkResult ExchangeAction(ActionCode code);
    // What the user is told of an exchange that did not succeed.
    static QString ExchangeResultText(LinkResult result);

    // ReadBlock with up to three attempts while it is Incomplete; on Ok the
    // bytes go to image.DecodeBlock and, when given, into bytes as they came.
    bool FetchBlock(int block, CModuleImage &image, QByteArray *bytes = nullptr);
    // Encodes the block once and writes those bytes with up to three attempts
    // while Incomplete; sets LastStoreOk.
    bool StoreBlock(int block, const CModuleImage &image, ModuleFamily family);

    const ActionReply &GetActionReply() const { return m_actionReply; }
    // 1 when the latest StoreBlock succeeded; the download sets it to 1 first.
    int LastStoreOk() const { return m_lastStoreOk; }
    void SetLastStoreOk(int ok) { m_lastStoreOk = ok; }

    // "OK", "Communication error " followed by the error bits' texts, or the
    // command error's text; empty for an unknown code.
    static QString ActionStatusText(std::uint8_t status);
    static std::uint8_t ActionCommand(ActionCode code);
    static std::uint8_t ActionData(ActionCode code);

private:
    int failOpen(int code, QString why);
    bool applyLineSettings();
    bool sendRequest(const QByteArray &frame);
    // Reads until count bytes arrived or the time-out passed; false when the
    // port reported an error.
    bool readExactly(std::uint8_t *into, int count, int &received);

    std::unique_ptr<QSerialPort> m_port;
    LineSettings m_settings;
    ActionReply m_actionReply;
    int m_lastStoreOk = 1;
    QString m_lastOpenError;
};
