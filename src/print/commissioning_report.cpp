#include "print/commissioning_report.h"

#include "base/string_table.h"
#include "link/commissioning_strings.h"
#include "print/print_strings.h"
#include "print/report_data.h"


namespace {
QString CsvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Seconds(qint64 elapsedMs)
{
    return elapsedMs < 0 ? QString() : QString::number(double(elapsedMs) / 1000.0, 'f', 1);
}
} // namespace

namespace CommissioningReport {

QString ResultText(const CommissioningRecord &record)
{
    return record.verified ? Str(CommissioningStrings::StateVerified)
                           : StrF(CommissioningStrings::StateFailed, {record.reason});
}

CommissioningReportData Data(const ProjectFields &fields, const std::vector<CommissioningRecord> &records)
{
    CommissioningReportData data;
    data.fields = fields;
    int verified = 0;
    for (const CommissioningRecord &record : records) {
        verified += record.verified ? 1 : 0;
        const QString readBack =
            record.crcReadBack.isEmpty() ? QStringLiteral("--------") : record.crcReadBack;
        const QString written = record.crcWritten.isEmpty() ? QStringLiteral("--------") : record.crcWritten;
        data.rows.push_back({record.modulePath, record.serialNr,
                             record.recordedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                             ResultText(record), written + QStringLiteral(" / ") + readBack});
    }
    data.totals = StrF(PrintStrings::CommissioningTotals,
                       {int(records.size()), verified, int(records.size()) - verified});
    return data;
}

std::unique_ptr<CProjectReport> Make(CMy7100Doc &document, const CatalogueSet &catalogues,
                                     const std::vector<CommissioningRecord> &records)
{
    return std::make_unique<CProjectReport>(Data(ReportDataReader(document, catalogues).Fields(), records));
}

QString Csv(const std::vector<CommissioningRecord> &records)
{
    QString text =
        QStringLiteral("ID,Time,ModuleTable,ModuleID,ModulePath,SerialNr,Revision,User,ProgramVersion,"
                       "Result,Reason,CrcWritten,CrcReadBack,Seconds\n");
    for (const CommissioningRecord &record : records) {
        const QStringList fields = {QString::number(record.id),
                                    record.recordedAt.toString(Qt::ISODate),
                                    record.moduleTable,
                                    QString::number(record.moduleId),
                                    record.modulePath,
                                    record.serialNr,
                                    record.revision,
                                    record.osUser,
                                    record.programVersion,
                                    record.verified ? QStringLiteral("verified") : QStringLiteral("failed"),
                                    record.reason,
                                    record.crcWritten,
                                    record.crcReadBack,
                                    Seconds(record.elapsedMs)};
        QStringList quoted;
        for (const QString &field : fields)
            quoted << CsvField(field);
        text += quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text;
}

QString WriteCsv(const std::vector<CommissioningRecord> &records, const OutputFile::Target &target)
{
    const QByteArray text = Csv(records).toUtf8();
    return OutputFile::WriteBytes(OutputFile::WithHeadOf(target, text), text);
}

} // namespace CommissioningReport
