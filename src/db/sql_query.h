#pragma once

#include "db/db_session.h"

#include <QString>
#include <QVariant>

#include <deque>
#include <memory>

// One result cell of a CSQLQuery.
class CQueryObject {
public:
    explicit CQueryObject(QVariant value) : m_value(std::move(value)) {}
    const QVariant &value() const { return m_value; }

private:
    QVariant m_value;
};

// A small statement runner on its own session of a data source, used by the
// version check and the upgrade. It never throws: a failing step answers
// false, keeps the error text, and shows it when errors are to be shown.
class CSQLQuery {
public:
    CSQLQuery(const DataSource &source, bool showErrors);
    ~CSQLQuery();
    CSQLQuery(const CSQLQuery &) = delete;
    CSQLQuery &operator=(const CSQLQuery &) = delete;

    bool HasSession() const { return m_session != nullptr; }
    void SetText(const QString &text) { m_text = text; }
    const QString &Text() const { return m_text; }
    // Switches the message box for the statements that follow.
    void SetShowErrors(bool show) { m_showErrors = show; }
    bool ShowErrors() const { return m_showErrors; }

    bool Execute();
    // Result cells not read yet, all rows in order, each row's columns in order.
    int ValueCount() const { return int(m_results.size()); }
    // Takes the next cell; empty text for an empty or NULL cell.
    QString ReadText();
    const QString &LastError() const { return m_lastError; }

private:
    void ReportError(const QString &text);
    void ReportRecords(const std::vector<ProviderErrorRecord> &records);

    DataSource m_source;
    std::unique_ptr<DbSession> m_session;
    QString m_text;
    std::deque<CQueryObject> m_results;
    QString m_lastError;
    bool m_showErrors;
};
