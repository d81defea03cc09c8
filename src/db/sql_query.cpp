#include "db/sql_query.h"

#include "db/db_strings.h"
#include "db/variant_value.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <QSqlRecord>

CSQLQuery::CSQLQuery(const DataSource &source, bool showErrors) : m_source(source), m_showErrors(showErrors)
{
    std::vector<ProviderErrorRecord> error;
    m_session = DbSession::open(source, &error);
    if (!m_session)
        ReportError(Str(DbStrings::CantCreateSession));
}

CSQLQuery::~CSQLQuery() = default;

void CSQLQuery::ReportError(const QString &text)
{
    m_lastError = text;
    if (m_showErrors)
        MessageService::error(text);
}

void CSQLQuery::ReportRecords(const std::vector<ProviderErrorRecord> &records)
{
    QString text;
    for (const ProviderErrorRecord &record : records)
        text += record.description + QLatin1Char('\n');
    ReportError(text.isEmpty() ? Str(DbStrings::NoSpecifiedSource) : text);
}

bool CSQLQuery::Execute()
{
    if (m_text.isEmpty()) {
        ReportError(Str(DbStrings::EmptyQuery));
        return false;
    }
    m_results.clear();
    if (!m_session) {
        ReportError(Str(DbStrings::CantCreateSession));
        return false;
    }
    QSqlQuery query = m_session->NewQuery();
    std::vector<ProviderErrorRecord> error;
    if (!m_session->Execute(query, m_text, &error)) {
        ReportRecords(error);
        return false;
    }
    if (!query.isSelect())
        return true;
    const int columns = query.record().count();
    while (query.next()) {
        for (int i = 0; i < columns; ++i)
            m_results.emplace_back(query.value(i));
    }
    if (query.lastError().isValid()) {
        m_results.clear();
        ReportRecords(m_session->Records(query.lastError()));
        return false;
    }
    return true;
}

QString CSQLQuery::ReadText()
{
    if (m_results.empty())
        return QString();
    const QVariant value = m_results.front().value();
    m_results.pop_front();
    if (!value.isValid() || value.isNull())
        return QString();
    QVariant text = value;
    if (VarTypeOf(text) == VT_BOOL)
        return text.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    return text.toString();
}
