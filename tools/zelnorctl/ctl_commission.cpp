#include "ctl_commission.h"

#include "ctl_link.h"
#include "ctl_output.h"
#include "ctl_project.h"
#include "ctl_strings.h"

#include "base/string_table.h"
#include "db/data_error.h"
#include "link/commissioning_run.h"
#include "link/commissioning_strings.h"
#include "link/module_transfer.h"
#include "link/selected_module_view.h"
#include "link/serial_link.h"
#include "print/commissioning_report.h"
#include "print/print_strings.h"
#include "tree/instrument_list.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <limits>
#include <optional>

namespace CtlCommission {
namespace {
constexpr int kUnderOption = 64402;
constexpr int kAssignNextOption = 64403;
constexpr int kCsvOption = 64404;
constexpr int kNothingUnder = 64405;
constexpr int kNothingRecorded = 64406;

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
    return StrF(CommissioningStrings::Totals, {totals.all(), totals.verified, totals.failed, totals.skipped,
                                               totals.waiting + totals.inProgress});
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

// Everything the run stands on, torn down in the right order: the link stops
// before the hooks it calls go away.
class RunSetup {
public:
    RunSetup(CtlProject &project, const QString &port) : m_link(port)
    {
        CMy7100Doc &document = project.Document();
        m_view = std::make_unique<SelectedModuleView>(document, project.Catalogues());
        m_transfer = std::make_unique<ModuleTransfer>(document, document.Lookup(), project.Catalogues(),
                                                      m_link.Controller(), *m_view);
        m_run = std::make_unique<CommissioningRun>(document, document.Lookup(), *m_transfer,
                                                   m_link.Controller(), *project.Database().Session());
    }
    ~RunSetup()
    {
        m_link.Controller().StopLink();
        m_run.reset();
        m_transfer.reset();
    }
    RunSetup(const RunSetup &) = delete;
    RunSetup &operator=(const RunSetup &) = delete;

    CommissioningRun &Run() { return *m_run; }
    CtlLink &Link() { return m_link; }

private:
    CtlLink m_link;
    std::unique_ptr<SelectedModuleView> m_view;
    std::unique_ptr<ModuleTransfer> m_transfer;
    std::unique_ptr<CommissioningRun> m_run;
};

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
        if (phase == CommissioningRun::Phase::Offered || phase == CommissioningRun::Phase::AlreadyVerified) {
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

// Done when count modules were handled, or (without a count) when no queued
// module is left to be written.
bool RunIsOver(const CommissioningRun &run, const ToolAnswers &answers, int count)
{
    if (count > 0)
        return answers.handled() >= count;
    const CommissioningTotals totals = run.queue().Totals();
    return totals.waiting == 0 && totals.failed == 0 && totals.inProgress == 0;
}

QJsonObject JsonOf(const CommissioningRecord &record)
{
    return QJsonObject{
        {"id", record.id},
        {"time", record.recordedAt.toString(Qt::ISODate)},
        {"moduleTable", record.moduleTable},
        {"moduleId", record.moduleId},
        {"path", record.modulePath},
        {"serialNumber", record.serialNr},
        {"revision", record.revision},
        {"user", record.osUser},
        {"programVersion", record.programVersion},
        {"verified", record.verified},
        {"reason", record.reason},
        {"crcWritten", record.crcWritten},
        {"crcReadBack", record.crcReadBack},
        {"seconds", record.elapsedMs < 0 ? QJsonValue() : QJsonValue(double(record.elapsedMs) / 1000.0)}};
}

int WritePdf(CtlProject &project, const std::vector<CommissioningRecord> &records, const OutputFile::Target &pdf)
{
    const std::unique_ptr<CProjectReport> report =
        CommissioningReport::Make(project.Document(), project.Catalogues(), records);
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
}

int Commission(const QStringList &args, const QCommandLineParser &parser)
{
    const QString port = parser.value(QStringLiteral("port"));
    const QString under = parser.value(QStringLiteral("under"));
    const std::optional<int> count = CountOption(parser);
    if (port.isEmpty() || under.isEmpty()) {
        Err() << StrF(CtlStrings::Usage, {QStringLiteral("--port DEVICE --under PATH")}) << Qt::endl;
        return ExitUnusable;
    }
    if (!count)
        return ExitUnusable;
    if (!CSerialLink::PortExists(port)) {
        Err() << StrF(CtlStrings::NoSuchPort, {port}) << Qt::endl;
        return ExitUnusable;
    }
    CtlProject project;
    if (!project.Open(args[0]))
        return ExitUnusable;
    try {
        // The tree is built anew when the link starts: the queue is read after.
        project.Document().StartLink();
        std::vector<CommissioningEntry> entries = QueueUnder(project, under);
        if (entries.empty())
            return ExitRefused;
        RunSetup setup(project, port);
        CommissioningRun &run = setup.Run();
        run.setAssignNext(parser.isSet(QStringLiteral("assign-next")));
        if (!run.Prepare(std::move(entries)))
            return ExitRefused;
        LinkController &controller = setup.Link().Controller();
        controller.setProjectOpen(true);
        controller.StartLink();
        const ToolAnswers answers(run);
        run.Start();
        setup.Link().RunUntil([&] { return RunIsOver(run, answers, *count); }, std::numeric_limits<int>::max());
        Out() << SummaryLine(run.queue()) << Qt::endl;
        return run.queue().AllVerified() ? ExitOk : ExitRefused;
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
        CommandTarget(parser.value(QString::fromLatin1(pdf ? "pdf" : "csv")),
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
        if (!under.isEmpty() && !project.FindItem(under))
            return ExitRefused;
        const std::vector<CommissioningRecord> records =
            CommissioningRecords(*project.Database().Session()).List(under);
        if (pdf)
            return WritePdf(project, records, target);
        if (csv) {
            const QByteArray bytes = CommissioningReport::Csv(records).toUtf8();
            const OutputFile::Target list = OutputFile::WithHeadOf(target, bytes);
            return WriteTarget(list, [&] { return OutputFile::WriteBytes(list, bytes); });
        }
        if (parser.isSet(QStringLiteral("json"))) {
            QJsonArray listed;
            for (const CommissioningRecord &record : records)
                listed.append(JsonOf(record));
            Out() << QJsonDocument(listed).toJson() << Qt::flush;
            return ExitOk;
        }
        if (records.empty()) {
            Err() << StrF(kNothingRecorded, {under.isEmpty() ? QStringLiteral("\\\\") : under}) << Qt::endl;
            return ExitRefused;
        }
        for (const CommissioningRecord &record : records)
            Out() << record.id << '\t' << record.recordedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                  << '\t' << record.modulePath << '\t' << record.serialNr << '\t'
                  << CommissioningReport::ResultText(record) << '\t' << record.crcWritten << '\t'
                  << record.crcReadBack << Qt::endl;
        return ExitOk;
    } catch (const COLEDBException &error) {
        Err() << MessageText(error) << Qt::endl;
        return ExitRefused;
    }
}

} // namespace CtlCommission
