#include "commissioning/commissioning_report.h"

#include "base/string_table.h"
#include "commissioning/commissioning_strings.h"
#include "print/print_strings.h"
#include "print/report_data.h"
#include "exchange/csv_table.h"
#include "tree/document.h"
#include "tree/item.h"

#include <QFileInfo>
#include <QJsonArray>

#include <algorithm>
#include <map>

using namespace CommissioningStrings;

namespace {
QString CsvLine(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted << CsvCell(field);
    return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
}

QString Seconds(qint64 elapsedMs)
{
    return elapsedMs < 0 ? QString() : QString::number(double(elapsedMs) / 1000.0, 'f', 1);
}

QString Shown(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

// The words files carry, whatever the language.
QString StateWord(CommissioningState state)
{
    static const char *const words[] = {"waiting", "in progress", "verified", "failed", "skipped"};
    return QString::fromLatin1(words[int(state)]);
}

bool IsOf(const CommissioningRecord &record, const CommissioningEntry &entry)
{
    return record.moduleId == entry.moduleId && record.moduleTable.compare(entry.moduleTable, Qt::CaseInsensitive) == 0;
}

// A module that is gone: known only by its records, the latest deciding.
CommissioningEntry EntryOfRecords(const CommissioningRecord &latest)
{
    CommissioningEntry entry;
    entry.moduleTable = latest.moduleTable;
    entry.moduleId = latest.moduleId;
    entry.path = latest.modulePath;
    entry.state = latest.verified ? CommissioningState::Verified : CommissioningState::Failed;
    entry.reason = latest.reason;
    entry.serialNr = latest.serialNr;
    entry.elapsedMs = latest.elapsedMs;
    entry.changedAt = latest.recordedAt;
    return entry;
}

bool HasVerdict(const CommissioningEntry &entry)
{
    return entry.state == CommissioningState::Verified || entry.state == CommissioningState::Failed;
}

struct Counts {
    CommissioningTotals totals;
    int neverAttempted = 0;
    int attempts = 0;
};

Counts CountsOf(const std::vector<CommissioningHistory> &histories)
{
    Counts counts;
    std::vector<CommissioningEntry> entries;
    for (const CommissioningHistory &history : histories) {
        entries.push_back(history.entry);
        counts.neverAttempted += history.attempts.empty() ? 1 : 0;
        counts.attempts += int(history.attempts.size());
    }
    counts.totals = CommissioningQueue(std::move(entries)).Totals();
    return counts;
}
} // namespace

namespace CommissioningReport {

std::vector<CommissioningHistory> Histories(const std::vector<CommissioningEntry> &entries,
                                            const std::vector<CommissioningRecord> &records, bool othersToo)
{
    std::vector<CommissioningHistory> histories;
    for (const CommissioningEntry &entry : entries)
        histories.push_back({entry, {}});
    for (const CommissioningRecord &record : records) {
        auto owner = std::find_if(histories.begin(), histories.end(),
                                  [&record](const CommissioningHistory &history) { return IsOf(record, history.entry); });
        if (owner == histories.end()) {
            if (!othersToo)
                continue;
            histories.push_back({EntryOfRecords(record), {}});
            owner = histories.end() - 1;
        } else if (owner - histories.begin() >= qsizetype(entries.size())) {
            owner->entry = EntryOfRecords(record);
        }
        owner->attempts.push_back(record);
    }
    return histories;
}

std::vector<CommissioningHistory> Read(C7100Document &document, DbSession &session, Item &item)
{
    std::vector<CommissioningEntry> entries = CommissioningQueue::EntriesUnder(document, item);
    CommissioningStore(session).LoadStates(entries);
    const QString under = &item == document.Root() ? QString() : document.GetPath(item);
    return Histories(entries, CommissioningRecords(session).List(under), true);
}

QString WithExtension(const QString &file, bool pdf)
{
    // A name that leads to something already (a pipe, a folder, a device, a
    // link) stays as named, so that the output service refuses it rather
    // than a file being written beside it.
    if (file.isEmpty() || OutputFile::IsStandardOutput(file) || InputFile::StatOf(file, false) ||
        !QFileInfo(file).suffix().isEmpty())
        return file;
    return file + (pdf ? QStringLiteral(".pdf") : QStringLiteral(".csv"));
}

QString ResultText(const CommissioningRecord &record)
{
    return CommissioningResultText(record.verified, record.reason);
}

QString TotalsText(const std::vector<CommissioningHistory> &histories)
{
    const Counts counts = CountsOf(histories);
    const CommissioningTotals &totals = counts.totals;
    return StrF(ReportTotals, {totals.all(), totals.verified, totals.failed, totals.skipped,
                               totals.waiting + totals.inProgress, counts.neverAttempted, counts.attempts});
}

QStringList PortTotals(const std::vector<CommissioningHistory> &histories)
{
    std::map<QString, std::pair<int, int>> byPort; // verified, failed
    for (const CommissioningHistory &history : histories) {
        for (const CommissioningRecord &record : history.attempts) {
            if (record.port.isEmpty())
                continue;
            auto &counts = byPort[record.port];
            ++(record.verified ? counts.first : counts.second);
        }
    }
    QStringList lines;
    // One port says nothing the totals do not.
    if (byPort.size() < 2)
        return lines;
    for (const auto &[port, counts] : byPort)
        lines << StrF(LaneTotals, {port, counts.first, counts.second});
    return lines;
}

QStringList ModuleLine(const CommissioningHistory &history)
{
    const CommissioningEntry &entry = history.entry;
    return {entry.path, entry.serialNr, HasVerdict(entry) ? Shown(entry.changedAt) : QString(),
            CommissioningStateText(entry), StrF(AttemptCount, {int(history.attempts.size())})};
}

QStringList AttemptLine(const CommissioningRecord &record, int number)
{
    const QString readBack = record.crcReadBack.isEmpty() ? QStringLiteral("--------") : record.crcReadBack;
    const QString written = record.crcWritten.isEmpty() ? QStringLiteral("--------") : record.crcWritten;
    return {QStringLiteral("    ") + StrF(AttemptNumber, {number}), record.serialNr, Shown(record.recordedAt),
            ResultText(record), written + QStringLiteral(" / ") + readBack};
}

CommissioningReportData Data(const ProjectFields &fields, const std::vector<CommissioningHistory> &histories)
{
    CommissioningReportData data;
    data.fields = fields;
    for (const CommissioningHistory &history : histories) {
        data.rows.push_back(ModuleLine(history));
        int number = 0;
        for (const CommissioningRecord &record : history.attempts)
            data.rows.push_back(AttemptLine(record, ++number));
    }
    data.totals = TotalsText(histories);
    data.portTotals = PortTotals(histories);
    data.note = Str(PrintStrings::CommissioningChecksumNote);
    return data;
}

std::unique_ptr<CProjectReport> Make(CMy7100Doc &document, const CatalogueSet &catalogues,
                                     const std::vector<CommissioningHistory> &histories)
{
    return std::make_unique<CProjectReport>(Data(ReportDataReader(document, catalogues).Fields(), histories));
}

QString Csv(const std::vector<CommissioningHistory> &histories)
{
    QString text = QStringLiteral("Level,ModulePath,State,SerialNr,Time,Attempts,ID,ModuleTable,ModuleID,Revision,"
                                  "User,ProgramVersion,Result,Reason,CrcWritten,CrcReadBack,Seconds,Port\n");
    for (const CommissioningHistory &history : histories) {
        const CommissioningEntry &entry = history.entry;
        text += CsvLine({QStringLiteral("module"), entry.path, StateWord(entry.state), entry.serialNr,
                         HasVerdict(entry) ? entry.changedAt.toString(Qt::ISODate) : QString(),
                         QString::number(history.attempts.size()), QString(), entry.moduleTable,
                         QString::number(entry.moduleId), QString(), QString(), QString(), QString(), entry.reason,
                         QString(), QString(), Seconds(entry.elapsedMs), QString()});
        for (const CommissioningRecord &record : history.attempts)
            text += CsvLine({QStringLiteral("attempt"), record.modulePath, QString(), record.serialNr,
                             record.recordedAt.toString(Qt::ISODate), QString(), QString::number(record.id),
                             record.moduleTable, QString::number(record.moduleId), record.revision, record.osUser,
                             record.programVersion,
                             record.verified ? QStringLiteral("verified") : QStringLiteral("failed"), record.reason,
                             record.crcWritten, record.crcReadBack, Seconds(record.elapsedMs), record.port});
    }
    return text;
}

QString WriteCsv(const std::vector<CommissioningHistory> &histories, const OutputFile::Target &target)
{
    const QByteArray text = Csv(histories).toUtf8();
    return OutputFile::WriteBytes(OutputFile::WithHeadOf(target, text), text);
}

QJsonObject Json(const std::vector<CommissioningHistory> &histories)
{
    QJsonArray modules;
    for (const CommissioningHistory &history : histories) {
        const CommissioningEntry &entry = history.entry;
        QJsonArray attempts;
        for (const CommissioningRecord &record : history.attempts)
            attempts.append(CommissioningRecords::Json(record));
        modules.append(QJsonObject{
            {"path", entry.path},
            {"moduleTable", entry.moduleTable},
            {"moduleId", entry.moduleId},
            {"state", StateWord(entry.state)},
            {"reason", entry.reason},
            {"serialNumber", entry.serialNr},
            {"time", HasVerdict(entry) ? QJsonValue(entry.changedAt.toString(Qt::ISODate)) : QJsonValue()},
            {"attempts", attempts}});
    }
    const Counts counts = CountsOf(histories);
    const CommissioningTotals &totals = counts.totals;
    return QJsonObject{{"modules", modules},
                       {"totals", QJsonObject{{"modules", totals.all()},
                                              {"verified", totals.verified},
                                              {"failed", totals.failed},
                                              {"skipped", totals.skipped},
                                              {"waiting", totals.waiting + totals.inProgress},
                                              {"neverAttempted", counts.neverAttempted},
                                              {"attempts", counts.attempts}}}};
}

} // namespace CommissioningReport
