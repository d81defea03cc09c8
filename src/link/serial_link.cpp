#include "link/serial_link.h"

#include "link/module_image.h"
#include "base/string_table.h"

#include <QDeadlineTimer>

#include <algorithm>

#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace {

struct ActionBytes {
    std::uint8_t command;
    std::uint8_t data;
};

// Indexed by ActionCode.
constexpr std::array<ActionBytes, 8> kActions = {{
    {Frame::kResetLimitValue, 0},
    {Frame::kResetLimitValue, 1},
    {Frame::kChannelAction, 0},
    {Frame::kChannelAction, 1},
    {Frame::kChannelAction, 0},
    {Frame::kChannelAction, 1},
    {Frame::kChannelAction, 0},
    {Frame::kChannelAction, 1},
}};

QString deviceLocation(const QString &port)
{
#ifdef Q_OS_UNIX
    return port.startsWith(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
#else
    return port;
#endif
}

// Linux refuses parity and the modem lines on a pseudo-terminal; the
// simulated module sits behind one.
bool isPseudoTerminal(const QString &port)
{
#ifdef Q_OS_LINUX
    struct stat st {};
    if (::stat(QFile::encodeName(deviceLocation(port)).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned int devMajor = major(st.st_rdev);
    constexpr unsigned int kUnix98SlaveFirst = 136, kUnix98SlaveLast = 143;
    return devMajor >= kUnix98SlaveFirst && devMajor <= kUnix98SlaveLast;
#else
    Q_UNUSED(port);
    return false;
#endif
}

// Qt's lock file refuses a port that another program holds with the same
// error as missing rights; only the node's own permissions tell them apart.
bool userMayUseNode(const QString &port)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(deviceLocation(port)).constData(), R_OK | W_OK) == 0;
#else
    Q_UNUSED(port);
    return true;
#endif
}

QString currentUserName()
{
    const QByteArray user = qgetenv("USER");
    return user.isEmpty() ? QStringLiteral("$USER") : QString::fromLocal8Bit(user);
}

} // namespace

std::uint8_t Frame::Checksum(std::span<const std::uint8_t> bytes)
{
    std::uint8_t sum = 0;
    for (const std::uint8_t b : bytes)
        sum ^= b;
    return sum;
}

QByteArray Frame::Build(std::uint8_t start, std::uint8_t command, std::span<const std::uint8_t> data)
{
    QByteArray frame;
    frame.reserve(static_cast<int>(data.size()) + 5);
    frame.append(static_cast<char>(start));
    frame.append(static_cast<char>(kAddress));
    frame.append(static_cast<char>(command));
    frame.append(static_cast<char>(data.size()));
    frame.append(reinterpret_cast<const char *>(data.data()), static_cast<qsizetype>(data.size()));
    const auto *raw = reinterpret_cast<const std::uint8_t *>(frame.constData());
    frame.append(static_cast<char>(Checksum({raw, static_cast<std::size_t>(frame.size())})));
    return frame;
}

CSerialLink::CSerialLink() = default;

CSerialLink::~CSerialLink()
{
    Close();
}

int CSerialLink::failOpen(int code, QString why)
{
    m_port.reset();
    m_lastOpenError = std::move(why);
    return code;
}

int CSerialLink::Open(const QString &port)
{
    Close();
    m_lastOpenError.clear();
    m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(port);
    if (!m_port->open(QIODevice::ReadWrite)) {
        switch (m_port->error()) {
        case QSerialPort::DeviceNotFoundError:
            return failOpen(ENOENT, StrF(LinkText::kPortOpenFailed, {port, m_port->errorString()}));
        case QSerialPort::PermissionError:
            if (userMayUseNode(port))
                return failOpen(kAccessDenied, StrF(LinkText::kPortBusy, {port}));
            return failOpen(kAccessDenied, StrF(LinkText::kPermissionHint, {port, currentUserName()}));
        default:
            return failOpen(EIO, StrF(LinkText::kPortOpenFailed, {port, m_port->errorString()}));
        }
    }
    if (!applyLineSettings())
        return failOpen(EINVAL, StrF(LinkText::kPortSetupFailed, {port, m_port->errorString()}));
    return 0;
}

bool LineSettings::IsBaudRate(int rate)
{
    return std::find(kBaudRates.begin(), kBaudRates.end(), rate) != kBaudRates.end();
}

namespace {
QSerialPort::Parity qtParity(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::None:
        return QSerialPort::NoParity;
    case LineSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case LineSettings::Parity::Even:
        break;
    }
    return QSerialPort::EvenParity;
}
} // namespace

// The line settings without flow control, DTR cleared and RTS set. Reads and
// writes are bounded by deadlines of their own, so no driver time-outs are
// set.
bool CSerialLink::applyLineSettings()
{
    const bool pseudoTerminal = isPseudoTerminal(m_port->portName());
    // On a pseudo-terminal the kernel refuses what it cannot carry; anywhere
    // else a refused setting means the port is unusable as configured.
    auto tolerated = [&](bool ok) {
        if (ok)
            return true;
        if (pseudoTerminal && m_port->error() == QSerialPort::UnsupportedOperationError) {
            m_port->clearError();
            return true;
        }
        return false;
    };
    return m_port->setBaudRate(m_settings.baudRate) && m_port->setDataBits(QSerialPort::Data8) &&
           tolerated(m_port->setParity(qtParity(m_settings.parity))) &&
           m_port->setStopBits(QSerialPort::OneStop) && m_port->setFlowControl(QSerialPort::NoFlowControl) &&
           tolerated(m_port->setDataTerminalReady(false)) && tolerated(m_port->setRequestToSend(true));
}

bool CSerialLink::Close()
{
    if (!m_port)
        return false;
    m_port->close();
    m_port.reset();
    return true;
}

bool CSerialLink::IsOpen() const
{
    return m_port && m_port->isOpen();
}

bool CSerialLink::PortExists(const QString &port)
{
#ifdef Q_OS_UNIX
    // The node itself answers, also when it is busy or denied to us.
    return !port.isEmpty() && QFileInfo::exists(deviceLocation(port));
#else
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.portName().compare(port, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
#endif
}

QString CSerialLink::PortNameFromSetting(const QVariant &value)
{
    const QString text = value.toString().trimmed();
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (!isNumber)
        return text;
    if (number < 1)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

void CSerialLink::PurgeInput()
{
    if (!IsOpen())
        return;
    // Takes in what the driver holds without waiting for more.
    m_port->waitForReadyRead(0);
    m_port->clearError();
    char discard[kPurgeLimit];
    m_port->read(discard, kPurgeLimit);
}

bool CSerialLink::sendRequest(const QByteArray &frame)
{
    if (!IsOpen())
        return false;
    PurgeInput();
    if (m_port->write(frame) != frame.size())
        return false;
    const QDeadlineTimer deadline(m_settings.timeoutMs);
    while (m_port->bytesToWrite() > 0) {
        if (deadline.hasExpired() || !m_port->waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    return true;
}

bool CSerialLink::readExactly(std::uint8_t *into, int count, int &received)
{
    received = 0;
    const QDeadlineTimer deadline(m_settings.timeoutMs);
    while (received < count) {
        if (m_port->bytesAvailable() == 0) {
            if (deadline.hasExpired())
                return true;
            if (!m_port->waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
                if (m_port->error() != QSerialPort::TimeoutError && m_port->error() != QSerialPort::NoError)
                    return false;
                m_port->clearError();
                continue;
            }
        }
        const qint64 n = m_port->read(reinterpret_cast<char *>(into) + received, count - received);
        if (n < 0)
            return false;
        received += static_cast<int>(n);
    }
    return true;
}

LinkResult Reply::Receive(ReplyBuffer &buffer, const ReadBytes &read)
{
    int received = 0;
    if (!read(buffer.data(), Frame::kHeaderLength, received) || received < Frame::kHeaderLength ||
        buffer[0] != Frame::kReplyStart || buffer[1] != Frame::kAddress)
        return LinkResult::Failed;
    const int bodyLength = buffer[3] + 1;
    if (!read(buffer.data() + Frame::kHeaderLength, bodyLength, received))
        return LinkResult::Failed;
    if (received < bodyLength)
        return LinkResult::Incomplete;
    const std::size_t frameLength = static_cast<std::size_t>(Frame::kHeaderLength + bodyLength);
    return Frame::Checksum({buffer.data(), frameLength}) == 0 ? LinkResult::Ok : LinkResult::Failed;
}

LinkResult Reply::CheckBlockRead(int block, const ReplyBuffer &buffer)
{
    if (!IsBlockNumber(block))
        return LinkResult::Failed;
    // The length of blocks 8 and 9 tells the family; a read accepts either.
    const int n = buffer[3];
    if (buffer[2] != Frame::kReadBlock + block || (n != BlockLengthStd[block] + 2 && n != BlockLengthFreq[block] + 2))
        return LinkResult::Failed;
    if (buffer[4] != 0 || buffer[5] != 0)
        return LinkResult::Incomplete;
    return LinkResult::Ok;
}

std::span<const std::uint8_t> Reply::BlockBytes(const ReplyBuffer &buffer)
{
    const std::size_t length = buffer[3] - 2u;
    return std::span<const std::uint8_t>(buffer).subspan(Frame::kPayloadOffset, length);
}

LinkResult Reply::CheckBlockWrite(int block, const ReplyBuffer &reply)
{
    // A reply without both status bytes confirms nothing.
    if (!IsBlockNumber(block) || reply[2] != Frame::kWriteBlock + block || reply[3] < 2 || reply[4] != 0 ||
        reply[5] != 0)
        return LinkResult::Failed;
    return LinkResult::Ok;
}

std::optional<ActionReply> Reply::ActionAnswer(std::uint8_t command, const ReplyBuffer &reply)
{
    // status, status2, one unused byte, then the value. A reply too short to
    // hold the status is no answer; one without the value bytes carries none.
    constexpr int kStatusLength = 2, kWithValueLength = 5;
    if (reply[2] != command || reply[3] < kStatusLength)
        return std::nullopt;
    ActionReply answer;
    answer.status = reply[4];
    answer.status2 = reply[5];
    answer.value = reply[3] >= kWithValueLength ? static_cast<std::uint16_t>((reply[7] << 8) | reply[8]) : 0;
    return answer;
}

LinkResult CSerialLink::ReceiveReply(ReplyBuffer &buffer)
{
    if (!IsOpen())
        return LinkResult::Failed;
    return Reply::Receive(buffer, [this](std::uint8_t *into, int count, int &received) {
        return readExactly(into, count, received);
    });
}

LinkResult CSerialLink::ReadBlock(int block, ReplyBuffer &buffer)
{
    if (!IsBlockNumber(block))
        return LinkResult::Failed;
    const auto command = static_cast<std::uint8_t>(Frame::kReadBlock + block);
    if (!sendRequest(Frame::Build(Frame::kRequestStart, command, {})))
        return LinkResult::Failed;
    const LinkResult result = ReceiveReply(buffer);
    return result == LinkResult::Ok ? Reply::CheckBlockRead(block, buffer) : result;
}

LinkResult CSerialLink::WriteBlock(int block, std::span<const std::uint8_t> data, ModuleFamily family)
{
    if (!IsBlockNumber(block))
        return LinkResult::Failed;
    const auto length = static_cast<std::size_t>(BlockLength(block, family));
    if (data.size() < length)
        return LinkResult::Failed;
    const auto command = static_cast<std::uint8_t>(Frame::kWriteBlock + block);
    if (!sendRequest(Frame::Build(Frame::kRequestStart, command, data.first(length))))
        return LinkResult::Failed;
    ReplyBuffer reply{};
    const LinkResult result = ReceiveReply(reply);
    return result == LinkResult::Ok ? Reply::CheckBlockWrite(block, reply) : result;
}

std::uint8_t CSerialLink::ActionCommand(ActionCode code)
{
    return kActions.at(static_cast<std::size_t>(code)).command;
}

std::uint8_t CSerialLink::ActionData(ActionCode code)
{
    return kActions.at(static_cast<std::size_t>(code)).data;
}

LinkResult CSerialLink::ExchangeAction(ActionCode code)
{
    const auto index = static_cast<std::size_t>(code);
    if (index >= kActions.size())
        return LinkResult::Failed;
    const ActionBytes action = kActions[index];
    const std::uint8_t data[] = {action.data};
    if (!sendRequest(Frame::Build(Frame::kRequestStart, action.command, data)))
        return LinkResult::Failed;
    ReplyBuffer reply{};
    const LinkResult received = ReceiveReply(reply);
    if (received != LinkResult::Ok)
        return received;
    const std::optional<ActionReply> answer = Reply::ActionAnswer(action.command, reply);
    if (!answer)
        return LinkResult::Failed;
    m_actionReply = *answer;
    return LinkResult::Ok;
}

QString CSerialLink::ExchangeResultText(LinkResult result)
{
    switch (result) {
    case LinkResult::Ok:
        return Str(LinkText::kStatusOk);
    case LinkResult::Incomplete:
        return Str(LinkText::kReplyCutShort);
    case LinkResult::Failed:
        break;
    }
    return Str(LinkText::kNoValidReply);
}

bool CSerialLink::FetchBlock(int block, CModuleImage &image, QByteArray *bytes)
{
    ReplyBuffer buffer{};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const LinkResult result = ReadBlock(block, buffer);
        if (result == LinkResult::Failed)
            return false;
        if (result == LinkResult::Ok) {
            const std::span<const std::uint8_t> data = Reply::BlockBytes(buffer);
            if (bytes)
                *bytes = QByteArray(reinterpret_cast<const char *>(data.data()), static_cast<qsizetype>(data.size()));
            return image.DecodeBlock(block, data);
        }
    }
    return false;
}

bool CSerialLink::StoreBlock(int block, const CModuleImage &image, ModuleFamily family)
{
    const QByteArray encoded = image.EncodeBlock(block, family);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t *>(encoded.constData()),
                                              static_cast<std::size_t>(encoded.size()));
    LinkResult result = LinkResult::Failed;
    if (!encoded.isEmpty()) {
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            result = WriteBlock(block, bytes, family);
            if (result != LinkResult::Incomplete)
                break;
        }
    }
    m_lastStoreOk = result == LinkResult::Ok ? 1 : 0;
    return result == LinkResult::Ok;
}

QString CSerialLink::ActionStatusText(std::uint8_t status)
{
    if (status == 0)
        return Str(LinkText::kStatusOk);
    if (status & 0x80) {
        QString text = Str(LinkText::kCommunicationError) + QLatin1Char(' ');
        const std::pair<std::uint8_t, int> bits[] = {{0x02, LinkText::kReceiveBufferOverflow},
                                                     {0x08, LinkText::kChecksumError},
                                                     {0x10, LinkText::kFramingError},
                                                     {0x40, LinkText::kCharacterParityError}};
        for (const auto &[mask, id] : bits) {
            if (status & mask)
                text += Str(id);
        }
        return text;
    }
    switch (status) {
    case 2:
        return Str(LinkText::kTooFewCharacters);
    case 3:
        return Str(LinkText::kReceivedDataInvalid);
    case 9:
        return Str(LinkText::kCommandNotAllowed);
    case 10:
        return Str(LinkText::kActionFailed);
    case 64:
        return Str(LinkText::kCommandNotImplemented);
    default:
        return {};
    }
}
