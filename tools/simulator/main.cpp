// zelnor-simulator: a module on a pseudo-terminal for working without one.
#include "tools/simulator/module_simulator.h"
#include "tools/simulator/simulator_control.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

namespace {

bool parseFamily(const QString &text, ModuleFamily &family)
{
    bool number = false;
    const std::optional<ModuleFamily> parsed = FamilyOfModelNumber(text.toInt(&number));
    if (!number || !parsed)
        return false;
    family = *parsed;
    return true;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "zelnor-simulator: %s\n", qPrintable(message));
    return 2;
}

// Without --type: a two-channel type of the family with a current output
// and relays (7230/211-2, 7210/211-0); every 7220 type has one channel. The
// module reports what its catalogue row says of the type, or an upload
// followed by a comparison would never agree.
struct FamilyDefault {
    int type;
    int channels;
    int outputSignal;
    int impulseOutput;
};
FamilyDefault defaultOf(ModuleFamily family)
{
    switch (family) {
    case Family7210:
        return {38, 2, 1, 0};
    case Family7220:
        return {64, 1, 1, 0};
    case Family7230:
        break;
    }
    return {6, 2, 1, 1};
}

// Commands on standard input, one a line, each answered on standard output.
// Ends with the input; the simulator goes on answering the module's line.
void readCommands(ModuleSimulator &simulator)
{
    SimulatorControl control(simulator);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (QString::fromStdString(line).trimmed().isEmpty())
            continue;
        std::printf("%s\n", qPrintable(control.Execute(QString::fromStdString(line))));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelnor-simulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Simulates a module on a pseudo-terminal and prints the device to connect to.\n"
            "Example: zelnor-simulator --family 7230 --fault \"no-reply on=actions times=5\"\n\n") +
        SimulatorControl::Help());
    parser.addHelpOption();
    const QCommandLineOption family(QStringLiteral("family"),
                                    QStringLiteral("Module family: 7230, 7210 or 7220."),
                                    QStringLiteral("family"), QStringLiteral("7230"));
    const QCommandLineOption type(
        QStringLiteral("type"),
        QStringLiteral("Module type code (ModulTypID); default 6 for 7230 (7230/211-2), 38 for 7210 "
                       "(7210/211-0), 64 for 7220 (7220/12-0)."),
        QStringLiteral("code"));
    const QCommandLineOption channels(
        QStringLiteral("channels"),
        QStringLiteral("Number of channels: 1 or 2; default that of the default type (2, 2, 1). Give it "
                       "with a --type of another count."),
        QStringLiteral("n"));
    const QCommandLineOption faultOption(
        QStringLiteral("fault"),
        QStringLiteral("A fault, as the words of the 'fault' command below; may be given more than once. "
                       "Example: --fault \"cut-short on=reads blocks=6 times=3\"."),
        QStringLiteral("words"));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Serial number (up to 12 characters)."),
                                    QStringLiteral("text"), QStringLiteral("SIM00000001"));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Analogue output: none, current or voltage."),
                                    QStringLiteral("kind"));
    const QCommandLineOption dip(QStringLiteral("dip"),
                                 QStringLiteral("The module is configured by its DIP switch."));
    const QCommandLineOption lineRate(
        QStringLiteral("line-rate"),
        QStringLiteral("Pace every byte as 9600 baud 8E1 would (about 1.15 ms)."));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("The rate of the module's line: it answers only a port set to it, and --line-rate "
                       "paces at it (600 to 230400; default: it answers any rate)."),
        QStringLiteral("rate"));
    const QCommandLineOption delay(
        QStringLiteral("reply-delay"),
        QStringLiteral("The module's own time before each reply, in microseconds."), QStringLiteral("us"),
        QStringLiteral("0"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Also name the port by this symbolic link (a stable name)."),
                                  QStringLiteral("path"));
    parser.addOptions({family, type, channels, serial, output, dip, lineRate, baud, delay, link, faultOption});
    parser.process(app);

    SimulatorOptions options;
    if (!parseFamily(parser.value(family), options.family))
        return fail(QStringLiteral("unknown family '%1'").arg(parser.value(family)));
    bool ok = true;
    const FamilyDefault usual = defaultOf(options.family);
    options.moduleType = parser.isSet(type) ? parser.value(type).toInt(&ok) : usual.type;
    if (!ok || options.moduleType < 0 || options.moduleType > 255)
        return fail(QStringLiteral("the module type is a code from 0 to 255"));
    options.channels = parser.isSet(channels) ? parser.value(channels).toInt(&ok) : usual.channels;
    if (!ok || (options.channels != 1 && options.channels != 2))
        return fail(QStringLiteral("a module has 1 or 2 channels"));
    std::vector<SimulatorFault> faults;
    for (const QString &words : parser.values(faultOption)) {
        QString why;
        const std::optional<SimulatorFault> fault = SimulatorControl::ParseFault(words, &why);
        if (!fault)
            return fail(QStringLiteral("--fault \"%1\": %2").arg(words, why));
        faults.push_back(*fault);
    }
    options.serialNumber = parser.value(serial);
    if (!parser.isSet(type)) {
        options.outputSignal = usual.outputSignal;
        options.impulseOutput = usual.impulseOutput;
    }
    if (parser.isSet(output)) {
        const QStringList kinds = {QStringLiteral("none"), QStringLiteral("current"),
                                   QStringLiteral("voltage")};
        options.outputSignal = static_cast<int>(kinds.indexOf(parser.value(output)));
        if (options.outputSignal < 0)
            return fail(QStringLiteral("the output is none, current or voltage"));
    }
    options.dipConfigured = parser.isSet(dip);
    options.linkPath = parser.value(link);
    options.lineRate = parser.isSet(lineRate);
    if (parser.isSet(baud)) {
        options.baudRate = parser.value(baud).toInt(&ok);
        if (!ok || !ModuleSimulator::IsLineSpeed(options.baudRate))
            return fail(QStringLiteral("the line runs at 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, "
                                       "115200 or 230400 baud"));
    }
    options.replyDelayUs = parser.value(delay).toInt(&ok);
    if (!ok || options.replyDelayUs < 0 || options.replyDelayUs > 400000)
        return fail(QStringLiteral("the reply delay lies between 0 and 400000 microseconds"));

    // Ctrl+C and a polite kill are taken by sigwait below, not by the
    // simulator's thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ModuleSimulator simulator(options);
    for (const SimulatorFault &fault : faults)
        simulator.injectFault(fault);
    QString error;
    if (!simulator.start(&error))
        return fail(QStringLiteral("no pseudo-terminal: %1").arg(error));
    std::printf("%s\n", qPrintable(simulator.devicePath()));
    if (simulator.devicePath() != simulator.terminalPath())
        std::fprintf(stderr, "%s leads to %s.\n", qPrintable(simulator.devicePath()),
                     qPrintable(simulator.terminalPath()));
    std::fprintf(stderr, "Simulating a %s module, type %d, %d channel(s), serial %s%s. Ctrl+C ends.\n",
                 qPrintable(parser.value(family)), options.moduleType, options.channels,
                 qPrintable(options.serialNumber),
                 options.lineRate ? qPrintable(QStringLiteral(", at %1 baud").arg(options.baudRate > 0 ? options.baudRate : 9600))
                                  : "");
    std::fflush(stdout);
    // Blocked in its read when the program ends; nothing is left to do then.
    std::thread(readCommands, std::ref(simulator)).detach();

    int signal = 0;
    sigwait(&stopSignals, &signal);
    simulator.stop();
    return 0;
}
