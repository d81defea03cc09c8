// zelnor-linkwatch: the device link and its output log without a window.
#include "link/com_port.h"
#include "link/link_controller.h"
#include "log/output_log.h"
#include "base/language.h"
#include "base/string_table.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// Ends the event loop on Ctrl+C or a termination request, so that the link
// stops and the log is complete.
bool quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    return true;
}

void loadLanguage()
{
    if (!Language::loadForTool())
        StringTable::instance().loadBuiltin();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelnor-linkwatch"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the device link against a serial port and prints the output log; the log file goes to the "
        "\"Log\" folder beside the program."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("port"),
                                 QStringLiteral("The port (\"/dev/ttyUSB0\", \"/dev/pts/7\"); default: the "
                                                "\"ComPort\" setting."),
                                 QStringLiteral("[port]"));
    const QCommandLineOption seconds(
        QStringLiteral("seconds"),
        QStringLiteral("Stop after this many seconds (default: run until Ctrl+C)."), QStringLiteral("n"));
    parser.addOption(seconds);
    parser.process(app);

    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "zelnor-linkwatch: give one port at most\n");
        return 2;
    }
    bool validSeconds = true;
    const int runSeconds = parser.isSet(seconds) ? parser.value(seconds).toInt(&validSeconds) : 0;
    if (!validSeconds || runSeconds < 0) {
        std::fprintf(stderr, "zelnor-linkwatch: --seconds takes a whole number of seconds\n");
        return 2;
    }
    loadLanguage();
    if (!quitOnSignals(app)) {
        std::fprintf(stderr, "zelnor-linkwatch: cannot watch for Ctrl+C\n");
        return 1;
    }

    OutputLog log;
    log.makeActive();
    QTextStream out(stdout);
    QObject::connect(&log, &OutputLog::textAdded, [&out](const QString &text) { out << text << Qt::flush; });
    LinkController link;
    const QString port =
        parser.positionalArguments().isEmpty() ? ComPort::configuredName() : parser.positionalArguments().first();
    if (!parser.positionalArguments().isEmpty())
        link.setPortOverride(port);
    SystemFacts facts = SystemInformation::collect(port);
    log.writeSystemInformationOnce(facts);
    // There is no project here; the link needs nothing of one to run.
    link.setProjectOpen(true);
    link.StartLink();
    if (runSeconds > 0)
        QTimer::singleShot(runSeconds * 1000, &app, &QCoreApplication::quit);
    const int result = app.exec();
    link.StopLink();
    if (log.hasFile())
        std::fprintf(stderr, "zelnor-linkwatch: log file %s\n", qPrintable(log.filePath()));
    return result;
}
