#include "exchange/older_tool_open.h"

#include "exchange/exchange_strings.h"
#include "exchange/jet_file.h"
#include "exchange/jet_project_converter.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "db/project_database.h"
#include "log/output_log.h"

namespace OlderToolOpen {

std::optional<QString> CarryOver(ProjectDatabase &database, const QString &path)
{
    if (!Jet::HasJetHeader(path))
        return std::nullopt;
    MessageService::information(Str(ExchangeStrings::OlderToolProject));
    const QString target = database.AskTargetName(QString(), JetProjectConverter::ProposedTarget(path));
    if (target.isEmpty())
        return QString();
    JetProjectConverter::Report report;
    QString error;
    // The Save As dialog asked before an existing file is replaced.
    if (!JetProjectConverter::Convert(path, target, true, &report, &error)) {
        const QString message = StrF(ExchangeStrings::NothingWritten, {path, error});
        WriteLogLine(message);
        MessageService::error(message);
        return QString();
    }
    for (const QString &line : JetProjectConverter::ReportLines(report, path, target))
        WriteLogLine(line);
    return target;
}

void Install(ProjectDatabase &database)
{
    database.SetCarryOver([&database](const QString &path) { return CarryOver(database, path); });
}

} // namespace OlderToolOpen
