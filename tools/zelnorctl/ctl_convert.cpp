#include "ctl_convert.h"

#include "ctl_output.h"

#include "base/string_table.h"
#include "exchange/exchange_strings.h"
#include "exchange/jet_project_converter.h"
#include "log/output_log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace CtlConvert {

namespace {

QJsonObject AsJson(const JetProjectConverter::Report &report)
{
    QJsonArray tables;
    for (const auto &[table, rows] : report.tables)
        tables.append(QJsonObject{{QStringLiteral("table"), table}, {QStringLiteral("rows"), rows}});
    return {{QStringLiteral("fromVersion"), report.fromVersion},
            {QStringLiteral("toVersion"), report.toVersion},
            {QStringLiteral("rows"), report.totalRows()},
            {QStringLiteral("tables"), tables}};
}

} // namespace

int Convert(const QString &oldPath, const QString &newPath, bool force, bool json)
{
    JetProjectConverter::Report report;
    QString error;
    if (!JetProjectConverter::Convert(oldPath, newPath, force, &report, &error)) {
        Err() << StrF(ExchangeStrings::NothingWritten, {oldPath, error}) << Qt::endl;
        return ExitRefused;
    }
    // The sum goes to the run's log, which shows it on the console too.
    const QStringList lines = JetProjectConverter::ReportLines(report, oldPath, newPath);
    WriteLogLine(lines.last());
    if (json) {
        Out() << QJsonDocument(AsJson(report)).toJson(QJsonDocument::Indented) << Qt::flush;
        return ExitOk;
    }
    for (const QString &line : lines.mid(0, lines.size() - 1))
        Out() << line << '\n';
    Out() << Qt::flush;
    return ExitOk;
}

} // namespace CtlConvert
