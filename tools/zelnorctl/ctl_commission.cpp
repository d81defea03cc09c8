#include "ctl_commission.h"

#include "ctl_link.h"
#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"

#include "base/string_table.h"
#include "db/data_error.h"
#include "commissioning/commissioning_lanes.h"
#include "commissioning/commissioning_ports.h"
#include "commissioning/commissioning_run.h"
#include "commissioning/commissioning_strings.h"
#include "link/link_controller.h"
#include "link/serial_link.h"
#include "commissioning/commissioning_report.h"
#include "print/print_strings.h"
#include "exchange/instrument_list.h"
#include "tree/item.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <csignal>
#include <optional>

#include <signal.h>

namespace CtlCommission {
namespace {
constexpr int kUnderOption = 64402;
constexpr int kAssignNextOption = 64403;
constexpr int kCsvOption = 64404;
constexpr int kNothingUnder = 64405;
constexpr int kNothingRecorded = 64406;
constexpr int kRetryFailedOption = 64407;
constexpr int kSkipOption = 64408;
constexpr int kResetOption = 64409;
constexpr int kNotInTheRun = 64410;
constexpr int kInterrupted = 64411;

// Ctrl+C ends the run between two modules: the one being written is
// finished and recorded first, and every queued module is left stored.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
}

class InterruptHandler {
public:
    InterruptHandler()
    {
        g_interrupted = 0;
        struct sigaction action = {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_previous);
        sigaction(SIGTERM, &action, &m_previousTerm);
    }
    ~InterruptHandler()
    {
        sigaction(SIGINT, &m_previous, nullptr);
        sigaction(SIGTERM, &m_previousTerm, nullptr);
    }
    InterruptHandler(const InterruptHandler &) = delete;
    InterruptHandler &operator=(const InterruptHandler &) = delete;

private:
    struct sigaction m_previous = {};
    struct sigaction m_previousTerm = {};
};

std::optional<int> CountOption(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("count")))
        return 0;
    bool ok = false;
    const int count = parser.value(QStringLiteral("count")).toInt(&ok);
    if (ok && count >= 1 && count <= 1000000)
        return count;
    Err() << StrF(CtlStrings::BadNumberOption,
                  {QStringLiteral("--count"), 1, 1000000, parser.value(QStringLiteral("count"))})
          << Qt::endl;
    return std::nullopt;
}

QString SummaryLine(const CommissioningQueue &queue)
{
    const CommissioningTotals totals = queue.Totals();
    return StrF(totals.all() == 1 ? CommissioningStrings::TotalsOne : CommissioningStrings::Totals,
                {totals.all(), totals.verified, totals.failed, totals.skipped, totals.waiting + totals.inProgress});
}

// The run's totals, and with several ports one line a lane.
void PrintSummary(const CommissioningLanes &lanes)
{
    Out() << SummaryLine(lanes.queue()) << Qt::endl;
    if (lanes.count() < 2)
        return;
    for (int lane = 0; lane < lanes.count(); ++lane) {
        const CommissioningRun &run = lanes.run(lane);
        Out() << StrF(CommissioningStrings::LaneTotals, {run.port(), run.verifiedHere(), run.failedHere()})
              << Qt::endl;
    }
}

int IndexOfPath(const CommissioningQueue &queue, const QString &path)
{
    for (int index = 0; index < queue.size(); ++index) {
        if (queue.at(index).path == path)
            return index;
    }
    return -1;
}

// --reset, --skip and --retry-failed: the queue as the engineer wants it
// before the first module. False after a printed refusal of a path that is
// not queued.
bool ApplyQueueOptions(CommissioningRun &run, const QCommandLineParser &parser)
{
    const std::pair<const char *, bool (CommissioningRun::*)(int)> byPath[] = {
        {"reset", &CommissioningRun::Reset}, {"skip", &CommissioningRun::Skip}};
    for (const auto &[option, change] : byPath) {
        for (const QString &path : parser.values(QLatin1String(option))) {
            const int index = IndexOfPath(run.queue(), path);
            if (index < 0) {
                Err() << StrF(kNotInTheRun, {path}) << Qt::endl;
                return false;
            }
            (run.*change)(index);
        }
    }
    if (parser.isSet(QStringLiteral("retry-failed"))) {
        for (int index = 0; index < run.queue().size(); ++index) {
            if (run.queue().at(index).state == CommissioningState::Failed)
                run.Retry(index);
        }
    }
    return true;
}

// The queue of the modules under the path; empty after a printed refusal.
std::vector<CommissioningEntry> QueueUnder(CtlProject &project, const QString &under)
{
    Item *item = project.FindItem(under);
    if (!item)
        return {};
    std::vector<CommissioningEntry> entries = CommissioningQueue::EntriesUnder(project.Document(), *item);
    if (entries.empty())
        Err() << StrF(kNothingUnder, {under}) << Qt::endl;
    return entries;
}

// What the tool answers for the engineer: an offered module is taken only
// with --assign-next, a verified one is never written again; a module left
// alone or refused counts as handled.
class ToolAnswers {
public:
    explicit ToolAnswers(CommissioningRun &run) : m_run(run)
    {
        QObject::connect(&run, &CommissioningRun::phaseChanged, [this] { Answer(); });
    }
    int handled() const { return m_run.verdicts() + m_leftAlone; }

private:
    void Answer()
    {
        const CommissioningRun::Phase phase = m_run.phase();
        if (m_run.isAsking()) {
            Err() << m_run.message() << ' '
                  << (phase == CommissioningRun::Phase::Offered
                          ? StrF(CtlStrings::AnsweredNo, {QStringLiteral("--assign-next")})
                          : QString())
                  << Qt::endl;
            m_run.Decline();
        } else if (phase == CommissioningRun::Phase::WaitingForUnplug && m_run.current() < 0) {
            ++m_leftAlone;
        }
    }

    CommissioningRun &m_run;
    int m_leftAlone = 0;
};

// Done when count modules were handled on all lanes together, or (without a
// count) when no queued module is left to be written, or when the run stopped.
bool RunIsOver(const CommissioningLanes &lanes, const std::vector<std::unique_ptr<ToolAnswers>> &answers, int count)
{
    if (lanes.count() > 0 && !lanes.run(0).stopped().isEmpty() && !lanes.isDownloading())
        return true;
    if (count > 0) {
        int handled = 0;
        for (const auto &lane : answers)
            handled += lane->handled();
        return handled >= count;
    }
    const CommissioningTotals totals = lanes.queue().Totals();
    return totals.waiting == 0 && totals.failed == 0 && totals.inProgress == 0;
}

// Runs the event loop until done() holds or the time is up, waking at every
// notice of any lane.
void RunUntil(CommissioningLanes &lanes, const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return;
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    const QMetaObject::Connection connection = QObject::connect(
        &lanes, &CommissioningLanes::noticeHandled, &loop,
        [&] {
            if (done())
                loop.quit();
        },
        Qt::QueuedConnection);
    loop.exec();
    QObject::disconnect(connection);
}

// The ports of the lanes, each once; empty after a printed refusal.
QStringList LanePorts(const QCommandLineParser &parser)
{
    QStringList ports = parser.values(QStringLiteral("port"));
    ports.removeDuplicates();
    if (const std::optional<QString> refusal = CommissioningPorts::Refusal(ports, QString())) {
        Err() << *refusal << Qt::endl;
        return {};
    }
    for (const CommissioningPorts::LanePort &port : CommissioningPorts::Read(ports)) {
        if (!CSerialLink::PortExists(port.name)) {
            Err() << StrF(CtlStrings::NoSuchPort, {port.name}) << Qt::endl;
            return {};
        }
    }
    return ports;
}

// A new file named without an extension gets the report's; "-" and anything
// that already exists (a pipe, a device, a folder) stay as named, so that the
// output service refuses them instead of writing beside them.
int WritePdf(CtlProject &project, const std::vector<CommissioningHistory> &histories, const OutputFile::Target &pdf)
{
    const std::unique_ptr<CProjectReport> report =
        CommissioningReport::Make(project.Document(), project.Catalogues(), histories);
    const int code = WriteTarget(pdf, [&] { return WriteReportPdf(*report, pdf, PrinterSettings::Orientation()); });
    if (code == ExitOk && !OutputFile::IsStandardOutput(pdf.path))
        Out() << StrF(PrintStrings::CtlPagesWritten, {report->PageCount(), pdf.path}) << Qt::endl;
    return code;
}
} // namespace

void AddOptions(QCommandLineParser &parser)
{
    // --under PATH and --csv FILE are the instrument list's options too.
    parser.addOption({QStringLiteral("assign-next"), Str(kAssignNextOption)});
    parser.addOption({QStringLiteral("retry-failed"), Str(kRetryFailedOption)});
    parser.addOption({QStringLiteral("skip"), Str(kSkipOption), QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("reset"), Str(kResetOption), QStringLiteral("PATH")});
}

int Commission(const QStringList &args, const QCommandLineParser &parser)
{
    const QString under = parser.value(QStringLiteral("under"));
    const std::optional<int> count = CountOption(parser);
    if (parser.value(QStringLiteral("port")).isEmpty() || under.isEmpty()) {
        Err() << StrF(CtlStrings::Usage, {QStringLiteral("--port DEVICE[:SETTINGS] [--port DEVICE[:SETTINGS] ...] --under PATH")})
              << Qt::endl;
        return ExitUnusable;
    }
    if (!count)
        return ExitUnusable;
    const QStringList ports = LanePorts(parser);
    if (ports.isEmpty())
        return ExitUnusable;
    CtlProject project;
    if (!project.Open(args[0]))
        return ExitUnusable;
    try {
        // The tree is built anew when the link starts: the queue is read after.
        project.Document().StartLink();
        std::vector<CommissioningEntry> entries = QueueUnder(project, under);
        if (entries.empty())
            return ExitRefused;
        CommissioningLanes lanes(project.Document(), project.Catalogues(), *project.Database().Session(), ports);
        lanes.setAssignNext(parser.isSet(QStringLiteral("assign-next")));
        if (!lanes.Prepare(std::move(entries)))
            return ExitRefused;
        if (!ApplyQueueOptions(lanes.run(0), parser))
            return ExitUnusable;
        std::vector<std::unique_ptr<ToolAnswers>> answers;
        for (int lane = 0; lane < lanes.count(); ++lane)
            answers.push_back(std::make_unique<ToolAnswers>(lanes.run(lane)));
        const InterruptHandler interrupt;
        lanes.Start();
        const auto stop = [&] {
            return RunIsOver(lanes, answers, *count) || (g_interrupted && !lanes.isDownloading());
        };
        bool told = false;
        while (!stop()) {
            RunUntil(lanes, stop, 200);
            if (g_interrupted && !told && !stop()) {
                Err() << Str(kInterrupted) << Qt::endl;
                told = true;
            }
        }
        const QString notStored = lanes.Finish();
        PrintSummary(lanes);
        if (!notStored.isEmpty())
            Err() << notStored << Qt::endl;
        const QString &stopped = lanes.run(0).stopped();
        if (!stopped.isEmpty())
            Err() << stopped << Qt::endl;
        return lanes.queue().AllVerified() && notStored.isEmpty() && stopped.isEmpty() ? ExitOk : ExitRefused;
    } catch (const COLEDBException &error) {
        Err() << MessageText(error) << Qt::endl;
        return ExitRefused;
    }
}

int Records(const QStringList &args, const QCommandLineParser &parser)
{
    const bool force = parser.isSet(QStringLiteral("force"));
    const bool pdf = parser.isSet(QStringLiteral("pdf"));
    const bool csv = parser.isSet(QStringLiteral("csv"));
    const OutputFile::Target target =
        CommandTarget(CommissioningReport::WithExtension(parser.value(QString::fromLatin1(pdf ? "pdf" : "csv")), pdf),
                      pdf ? OutputFile::Content::Pdf : OutputFile::Content::Text, force, args[0]);
    // Refused before the project is opened.
    if (pdf || csv) {
        if (const std::optional<int> refused = RefuseEarly(target))
            return *refused;
    }
    CtlProject project;
    if (!project.Open(args[0]))
        return ExitUnusable;
    const QString under = parser.value(QStringLiteral("under"));
    try {
        Item *item = under.isEmpty() ? project.Document().Root() : project.FindItem(under);
        if (!item)
            return ExitRefused;
        const std::vector<CommissioningHistory> histories =
            CommissioningReport::Read(project.Document(), *project.Database().Session(), *item);
        if (pdf)
            return WritePdf(project, histories, target);
        if (csv) {
            const QByteArray bytes = CommissioningReport::Csv(histories).toUtf8();
            const OutputFile::Target list = OutputFile::WithHeadOf(target, bytes);
            return WriteTarget(list, [&] { return OutputFile::WriteBytes(list, bytes); });
        }
        if (parser.isSet(QStringLiteral("json"))) {
            Out() << QJsonDocument(CommissioningReport::Json(histories)).toJson() << Qt::flush;
            return ExitOk;
        }
        const bool attempted = std::any_of(histories.begin(), histories.end(),
                                           [](const CommissioningHistory &history) { return !history.attempts.empty(); });
        if (!attempted) {
            Err() << StrF(kNothingRecorded, {under.isEmpty() ? QStringLiteral("\\\\") : under}) << Qt::endl;
            return ExitRefused;
        }
        for (const CommissioningHistory &history : histories) {
            Out() << CommissioningReport::ModuleLine(history).join(QLatin1Char('\t')) << Qt::endl;
            int number = 0;
            for (const CommissioningRecord &record : history.attempts)
                Out() << CommissioningReport::AttemptLine(record, ++number).join(QLatin1Char('\t')) << Qt::endl;
        }
        Out() << CommissioningReport::TotalsText(histories) << Qt::endl;
        return ExitOk;
    } catch (const COLEDBException &error) {
        Err() << MessageText(error) << Qt::endl;
        return ExitRefused;
    }
}

} // namespace CtlCommission
