#include "tools/simulator/simulator_control.h"

#include "link/serial_link.h"

#include <QRegularExpression>
#include <QStringList>

#include <array>
#include <utility>

namespace {

struct KindName {
    const char *word;
    SimulatorFault::Kind kind;
};

constexpr std::array<KindName, 9> kKinds = {{
    {"no-reply", SimulatorFault::NoReply},
    {"bad-checksum", SimulatorFault::BadChecksum},
    {"cut-short", SimulatorFault::CutShort},
    {"wrong-echo", SimulatorFault::WrongEcho},
    {"status", SimulatorFault::Status},
    {"stale-bytes", SimulatorFault::StaleBytes},
    {"wrong-header", SimulatorFault::WrongHeader},
    {"wrong-length", SimulatorFault::WrongLength},
    {"misstore", SimulatorFault::Misstore},
}};

QString Error(const QString &why)
{
    return QStringLiteral("error: ") + why;
}

// A whole number in decimal or, with 0x in front, hexadecimal.
std::optional<int> Number(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.startsWith(QLatin1String("0x")) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

// The request command bytes of "on=" and "blocks=".
std::optional<std::vector<int>> Commands(const QString &on, const QString &blocks, QString *error)
{
    std::vector<int> numbers;
    for (const QString &text : blocks.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<int> block = Number(text, 0, kBlockCount - 1);
        if (!block) {
            *error = QStringLiteral("'%1' is no block number from 0 to 9").arg(text);
            return std::nullopt;
        }
        numbers.push_back(*block);
    }
    if (on.isEmpty() && numbers.empty())
        return std::vector<int>{};
    if (on == QLatin1String("actions"))
        return std::vector<int>{Frame::kChannelAction, Frame::kResetLimitValue};
    if (!on.isEmpty() && on != QLatin1String("reads") && on != QLatin1String("writes")) {
        *error = QStringLiteral("on= takes reads, writes or actions, not '%1'").arg(on);
        return std::nullopt;
    }
    if (numbers.empty()) {
        for (int block = 0; block < kBlockCount; ++block)
            numbers.push_back(block);
    }
    std::vector<int> commands;
    for (int block : numbers) {
        if (on != QLatin1String("writes"))
            commands.push_back(Frame::kReadBlock + block);
        if (on != QLatin1String("reads"))
            commands.push_back(Frame::kWriteBlock + block);
    }
    return commands;
}

} // namespace

std::optional<SimulatorFault> SimulatorControl::ParseFault(const QString &words, QString *error)
{
    QString ignored;
    QString &why = error ? *error : ignored;
    const QStringList parts = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        why = QStringLiteral("a fault needs its kind");
        return std::nullopt;
    }
    SimulatorFault fault;
    const auto kind = std::find_if(kKinds.begin(), kKinds.end(),
                                   [&](const KindName &k) { return parts[0] == QLatin1String(k.word); });
    if (kind == kKinds.end()) {
        why = QStringLiteral("no fault kind '%1'").arg(parts[0]);
        return std::nullopt;
    }
    fault.kind = kind->kind;
    QString on;
    QString blocks;
    for (const QString &part : parts.mid(1)) {
        const QString key = part.section(QLatin1Char('='), 0, 0);
        const QString value = part.section(QLatin1Char('='), 1);
        std::optional<int> number;
        if (key == QLatin1String("on")) {
            on = value;
        } else if (key == QLatin1String("blocks")) {
            blocks = value;
        } else if (key == QLatin1String("times") && (number = Number(value, 1, 1000000))) {
            fault.times = *number;
        } else if (key == QLatin1String("after") && (number = Number(value, 0, 1000000))) {
            fault.after = *number;
        } else if (key == QLatin1String("count") && (number = Number(value, -255, 255))) {
            fault.count = *number;
        } else if (key == QLatin1String("status")) {
            const std::optional<int> first = Number(value.section(QLatin1Char(':'), 0, 0), 0, 255);
            const std::optional<int> second =
                value.contains(QLatin1Char(':')) ? Number(value.section(QLatin1Char(':'), 1), 0, 255) : 0;
            if (!first || !second) {
                why = QStringLiteral("status= takes one or two bytes, as in status=0x00:0x01");
                return std::nullopt;
            }
            fault.status1 = static_cast<std::uint8_t>(*first);
            fault.status2 = static_cast<std::uint8_t>(*second);
        } else {
            why = QStringLiteral("'%1' is not understood").arg(part);
            return std::nullopt;
        }
    }
    const std::optional<std::vector<int>> commands = Commands(on, blocks, &why);
    if (!commands)
        return std::nullopt;
    fault.commands = *commands;
    if (fault.kind == SimulatorFault::Status && fault.status1 == 0 && fault.status2 == 0)
        fault.status2 = 1;
    if (fault.kind == SimulatorFault::StaleBytes && fault.count <= 0)
        fault.count = 10;
    return fault;
}

QString SimulatorControl::Execute(const QString &line)
{
    const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const QString command = words.value(0);
    if (command == QLatin1String("fault")) {
        QString why;
        const std::optional<SimulatorFault> fault = ParseFault(words.mid(1).join(QLatin1Char(' ')), &why);
        if (!fault)
            return Error(why);
        m_simulator.injectFault(*fault);
        return QStringLiteral("ok: fault %1").arg(words.mid(1).join(QLatin1Char(' ')));
    }
    if (command == QLatin1String("clear")) {
        m_simulator.clearFaults();
        return QStringLiteral("ok: no faults");
    }
    if (command == QLatin1String("unplug") || command == QLatin1String("plug")) {
        m_simulator.setUnplugged(command == QLatin1String("unplug"));
        return QStringLiteral("ok: %1").arg(command == QLatin1String("unplug") ? "off the line"
                                                                               : "on the line");
    }
    if (command == QLatin1String("unplug-port")) {
        m_simulator.unplugPort();
        return QStringLiteral("ok: the port is gone");
    }
    if (command == QLatin1String("replug"))
        return Replug();
    if (command == QLatin1String("serial") && words.size() == 2 && words[1].size() <= 12) {
        m_simulator.setSerialNumber(words[1]);
        return QStringLiteral("ok: serial %1").arg(words[1]);
    }
    if (command == QLatin1String("new-module") && words.size() == 2 && words[1].size() <= 12) {
        m_simulator.replaceModule(words[1]);
        return QStringLiteral("ok: new module %1").arg(words[1]);
    }
    if (command == QLatin1String("live"))
        return Live(words);
    if (command == QLatin1String("module"))
        return Module(words);
    return Error(QStringLiteral("'%1' is not understood; see --help").arg(line.trimmed()));
}

QString SimulatorControl::Live(const QStringList &words)
{
    const std::optional<int> channel = Number(words.value(1), 1, m_simulator.options().channels);
    if (!channel || words.size() != 3)
        return Error(QStringLiteral("live takes a channel of the module and a percentage or 'moving'"));
    if (words[2] == QLatin1String("moving")) {
        m_simulator.setLiveFraction(*channel, std::nullopt);
        return QStringLiteral("ok: channel %1 moving").arg(*channel);
    }
    bool ok = false;
    const double percent = words[2].toDouble(&ok);
    if (!ok || percent < -50 || percent > 150)
        return Error(QStringLiteral("the percentage lies between -50 and 150"));
    m_simulator.setLiveFraction(*channel, percent / 100.0);
    return QStringLiteral("ok: channel %1 at %2 %").arg(*channel).arg(percent);
}

QString SimulatorControl::Module(const QStringList &words)
{
    const std::optional<int> model = Number(words.value(1), 0, 9999);
    const std::optional<ModuleFamily> family = model ? FamilyOfModelNumber(*model) : std::nullopt;
    const std::optional<int> type = Number(words.value(2), 0, 255);
    const std::optional<int> channels = Number(words.value(3), 1, 2);
    const QString serial = words.value(4);
    if (words.size() != 5 || !family || !type || !channels || serial.size() > 12)
        return Error(QStringLiteral("module takes a family (7230, 7210, 7220), a type code, 1 or 2 channels "
                                    "and a serial number of up to 12 characters"));
    m_simulator.replaceModule(*family, *type, *channels, serial);
    return QStringLiteral("ok: module %1 type %2, %3 channel(s), serial %4")
        .arg(words[1], words[2], words[3], serial);
}

QString SimulatorControl::Replug()
{
    QString why;
    if (!m_simulator.replugPort(&why))
        return Error(why);
    return QStringLiteral("ok: %1").arg(m_simulator.devicePath());
}

QString SimulatorControl::Help()
{
    return QStringLiteral(
        "Faults (--fault WORDS, or 'fault WORDS' on standard input):\n"
        "  KIND is one of:\n"
        "    no-reply      the module swallows the request    fault no-reply on=actions times=3\n"
        "    bad-checksum  the reply's last byte is wrong      fault bad-checksum on=reads blocks=6\n"
        "    cut-short     only half of the reply's body comes fault cut-short on=writes blocks=7 times=3\n"
        "    wrong-echo    the reply echoes another command    fault wrong-echo on=actions\n"
        "    status        the reply carries status bytes      fault status status=0x00:0x01 on=reads "
        "blocks=1\n"
        "    stale-bytes   junk bytes follow the reply         fault stale-bytes count=60\n"
        "    wrong-header  the reply starts with another byte  fault wrong-header\n"
        "    wrong-length  the reply body is count bytes longer fault wrong-length count=1 on=reads "
        "blocks=8\n"
        "    misstore      a write is answered well, but the module keeps byte count of it changed\n"
        "                                                      fault misstore on=writes blocks=6 count=5\n"
        "  on=reads|writes|actions  which exchanges (default: any)\n"
        "  blocks=N,...             which blocks of those reads or writes (default: all)\n"
        "  times=N                  how many matching exchanges show it (default 1)\n"
        "  after=N                  how many matching exchanges pass unharmed first (default 0):\n"
        "                           fault no-reply on=reads blocks=6 after=1 spares the read as the\n"
        "                           module comes online and drops the read-back after a download\n"
        "Commands on standard input, one a line; each is answered on standard output\n"
        "with 'ok: ...' or 'error: ...':\n"
        "  fault WORDS        as above                         fault no-reply on=reads blocks=6\n"
        "  clear              no more faults                   clear\n"
        "  unplug, plug       the module leaves and rejoins its line (the port stays)\n"
        "  unplug-port        the port goes away, as a USB adapter pulled out\n"
        "  replug             the port comes back (prints its device)\n"
        "  serial TEXT        another module of the same kind  serial SIM00000002\n"
        "  new-module TEXT    a new module as from the factory, with serial number TEXT, takes\n"
        "                     the place of this one (unplug and plug in one step)\n"
        "                                                      new-module SIM00000002\n"
        "  module FAMILY TYPE CHANNELS SERIAL\n"
        "                     another kind of module takes its place\n"
        "                                                      module 7220 66 1 SIM00000003\n"
        "  live CH PERCENT    holds channel CH's measured value at PERCENT of its range\n"
        "                                                      live 1 95\n"
        "  live CH moving     lets it move again               live 1 moving\n");
}
