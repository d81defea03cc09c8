// The module's answers: the first byte names the request that was sent (a
// read of block 0-9, a write of block 0-9, or one of the eight actions) and
// the family of the module, the rest is what came back on the line. The
// reply is taken as the link takes it; a block read is decoded into the
// image of a module as it leaves the factory and shown as the program shows
// a connected module: its parameters, its live values, the monitoring
// file's record line and the diagnosis.
#include "fuzz_project.h"
#include "fuzz_target.h"

#include "link/diagnose_rows.h"
#include "link/module_image.h"
#include "link/monitor_file.h"
#include "link/monitoring_values.h"
#include "link/parameter_texts.h"
#include "link/serial_link.h"
#include "tools/simulator/module_simulator.h"

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

// A module of the family as the simulator makes it, two channels where the
// family has them.
CModuleImage FactoryImage(ModuleFamily family)
{
    SimulatorOptions options;
    options.family = family;
    options.moduleType = family == Family7230 ? 7 : family == Family7210 ? 35 : 65;
    options.channels = family == Family7230 ? 2 : 1;
    return ModuleSimulator(options).image();
}

void ShowModule(const CModuleImage &image, ModuleFamily family)
{
    const ImageParameterTexts texts(FuzzProject::Instance().Catalogues());
    for (int channel = 1; channel <= 2; ++channel) {
        for (int number = 0; number <= ImageParameterTexts::kLastParameter; ++number)
            texts.GetParameter(image, number, channel, family);
        const MonitoringValues values(texts);
        values.RecordOf(image, channel, family);
        values.TickLabels(image, channel, family);
    }
    MonitorFile().RecordLine(image, family, texts, QDateTime(QDate(2026, 12, 10), QTime(12, 0)));
    DiagnoseRows(texts).Build(image, family);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    if (size == 0)
        return 0;
    constexpr int kRequests = kReads + kWrites + kActions;
    const int request = data[0] % kRequests;
    const ModuleFamily family = kModuleFamilies[std::size_t(data[0] / kRequests) % kModuleFamilies.size()];
    const QByteArray bytes = Fuzz::Bytes(data + 1, size - 1);
    ReplyBuffer buffer{};
    if (Receive(bytes, buffer) != LinkResult::Ok)
        return 0;
    CheckAccepted(bytes, buffer);
    if (request < kReads) {
        if (Reply::CheckBlockRead(request, buffer) == LinkResult::Ok) {
            CheckDecoded(request, Reply::BlockBytes(buffer));
            static const std::array<CModuleImage, 3> factory = {FactoryImage(Family7230), FactoryImage(Family7210),
                                                                FactoryImage(Family7220)};
            CModuleImage image = factory[std::size_t(family)];
            image.DecodeBlock(request, Reply::BlockBytes(buffer));
            ShowModule(image, family);
        }
    } else if (request < kReads + kWrites) {
        Reply::CheckBlockWrite(request - kReads, buffer);
    } else {
        const auto code = static_cast<ActionCode>(request - kReads - kWrites);
        Reply::ActionAnswer(CSerialLink::ActionCommand(code), buffer);
    }
    return 0;
}
