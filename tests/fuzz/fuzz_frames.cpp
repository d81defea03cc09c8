// The module's answers: the first byte names the request that was sent (a
// read of block 0-9, a write of block 0-9, or one of the eight actions), the
// rest is what came back on the line. The reply is taken as the link takes
// it, and a block read is decoded into the module image.
#include "fuzz_target.h"

#include "link/module_image.h"
#include "link/serial_link.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kReads = kBlockCount, kWrites = kBlockCount, kActions = 8;

// The line: hands out the reply bytes in order until none are left, as a
// read that times out does.
class Line {
public:
    explicit Line(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    bool Read(std::uint8_t *into, int count, int &received)
    {
        received = static_cast<int>(std::min<qsizetype>(count, m_bytes.size() - m_position));
        std::memcpy(into, m_bytes.constData() + m_position, static_cast<std::size_t>(received));
        m_position += received;
        return true;
    }
    Reply::ReadBytes Reader()
    {
        return [this](std::uint8_t *into, int count, int &received) { return Read(into, count, received); };
    }

private:
    QByteArray m_bytes;
    qsizetype m_position = 0;
};

LinkResult Receive(const QByteArray &bytes, ReplyBuffer &buffer)
{
    Line line(bytes);
    return Reply::Receive(buffer, line.Reader());
}

// An accepted frame is well formed, and the same frame with any one bit of
// its checksum changed is refused.
void CheckAccepted(const QByteArray &bytes, const ReplyBuffer &buffer)
{
    const int length = Frame::kHeaderLength + buffer[3] + 1;
    const auto *frame = reinterpret_cast<const std::uint8_t *>(bytes.constData());
    Fuzz::Require(bytes.size() >= length && frame[0] == Frame::kReplyStart && frame[1] == Frame::kAddress,
                  "an accepted reply starts as a reply");
    Fuzz::Require(Frame::Checksum({frame, static_cast<std::size_t>(length)}) == 0,
                  "an accepted reply has a right checksum", QString::fromLatin1(bytes.toHex()));
    for (int bit = 0; bit < 8; ++bit) {
        QByteArray damaged = bytes;
        damaged[length - 1] = static_cast<char>(damaged[length - 1] ^ (1 << bit));
        ReplyBuffer again{};
        Fuzz::Require(Receive(damaged, again) != LinkResult::Ok, "a reply with a wrong checksum is refused",
                      QString::fromLatin1(damaged.toHex()));
    }
}

// What the link decodes it can write back: a block decoded and encoded for
// a family has that family's length, and decoding and encoding it again
// gives the same bytes, so that an upload and a download of it change
// nothing.
void CheckDecoded(int block, std::span<const std::uint8_t> data)
{
    CModuleImage image;
    Fuzz::Require(image.DecodeBlock(block, data), "a block the link accepts decodes");
    if (block >= 8)
        return;
    for (const ModuleFamily family : kModuleFamilies) {
        const QByteArray encoded = image.EncodeBlock(block, family);
        CModuleImage again;
        again.DecodeBlock(block, encoded);
        const QByteArray reencoded = again.EncodeBlock(block, family);
        const QString detail = QStringLiteral("block %1 family %2: %3 then %4")
                                   .arg(block)
                                   .arg(int(family))
                                   .arg(QString::fromLatin1(encoded.toHex()), QString::fromLatin1(reencoded.toHex()));
        Fuzz::Require(encoded.size() == BlockLength(block, family), "an encoded block has its length", detail);
        Fuzz::Require(reencoded == encoded, "a block decoded and encoded again keeps its bytes", detail);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    if (size == 0)
        return 0;
    const int request = data[0] % (kReads + kWrites + kActions);
    const QByteArray bytes = Fuzz::Bytes(data + 1, size - 1);
    ReplyBuffer buffer{};
    if (Receive(bytes, buffer) != LinkResult::Ok)
        return 0;
    CheckAccepted(bytes, buffer);
    if (request < kReads) {
        if (Reply::CheckBlockRead(request, buffer) == LinkResult::Ok)
            CheckDecoded(request, Reply::BlockBytes(buffer));
    } else if (request < kReads + kWrites) {
        Reply::CheckBlockWrite(request - kReads, buffer);
    } else {
        const auto code = static_cast<ActionCode>(request - kReads - kWrites);
        Reply::ActionAnswer(CSerialLink::ActionCommand(code), buffer);
    }
    return 0;
}
