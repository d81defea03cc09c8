// zelnor-simulator: a module on a pseudo-terminal for working without one.
#include "tools/simulator/module_simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

bool parseFamily(const QString &text, ModuleFamily &family)
{
    if (text == QLatin1String("7230"))
        family = Family7230;
    else if (text == QLatin1String("7210"))
        family = Family7210;
    else if (text == QLatin1String("7220"))
        family = Family7220;
    else
        return false;
    return true;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "zelnor-simulator: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelnor-simulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulates a module on a pseudo-terminal and prints the device to connect to."));
    parser.addHelpOption();
    const QCommandLineOption family(QStringLiteral("family"),
                                    QStringLiteral("Module family: 7230, 7210 or 7220."),
                                    QStringLiteral("family"), QStringLiteral("7230"));
    const QCommandLineOption type(QStringLiteral("type"), QStringLiteral("Module type code (ModulTypID)."),
                                  QStringLiteral("code"), QStringLiteral("0"));
    const QCommandLineOption channels(QStringLiteral("channels"),
                                      QStringLiteral("Number of channels: 1 or 2."), QStringLiteral("n"),
                                      QStringLiteral("2"));
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
    const QCommandLineOption delay(
        QStringLiteral("reply-delay"),
        QStringLiteral("The module's own time before each reply, in microseconds."), QStringLiteral("us"),
        QStringLiteral("0"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Also name the port by this symbolic link (a stable name)."),
                                  QStringLiteral("path"));
    parser.addOptions({family, type, channels, serial, output, dip, lineRate, delay, link});
    parser.process(app);

    SimulatorOptions options;
    if (!parseFamily(parser.value(family), options.family))
        return fail(QStringLiteral("unknown family '%1'").arg(parser.value(family)));
    bool ok = false;
    options.moduleType = parser.value(type).toInt(&ok);
    if (!ok || options.moduleType < 0 || options.moduleType > 255)
        return fail(QStringLiteral("the module type is a code from 0 to 255"));
    options.channels = parser.value(channels).toInt(&ok);
    if (!ok || (options.channels != 1 && options.channels != 2))
        return fail(QStringLiteral("a module has 1 or 2 channels"));
    options.serialNumber = parser.value(serial);
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
    QString error;
    if (!simulator.start(&error))
        return fail(QStringLiteral("no pseudo-terminal: %1").arg(error));
    std::printf("%s\n", qPrintable(simulator.devicePath()));
    if (simulator.devicePath() != simulator.terminalPath())
        std::fprintf(stderr, "%s leads to %s.\n", qPrintable(simulator.devicePath()),
                     qPrintable(simulator.terminalPath()));
    std::fprintf(stderr, "Simulating a %s module, type %d, %d channel(s), serial %s%s. Ctrl+C ends.\n",
                 qPrintable(parser.value(family)), options.moduleType, options.channels,
                 qPrintable(options.serialNumber), options.lineRate ? ", at 9600 baud" : "");
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    simulator.stop();
    return 0;
}
