#include "db/project_transaction.h"

#include "db/db_session.h"

ProjectTransaction::ProjectTransaction(DbSession *session) : m_session(session)
{
    m_own = m_session && m_session->BeginTransaction();
    if (m_own)
        m_hold.emplace();
}

ProjectTransaction::~ProjectTransaction()
{
    Rollback();
}

bool ProjectTransaction::Open() const
{
    return m_session && m_session->InTransaction();
}

bool ProjectTransaction::Commit()
{
    if (!m_own)
        return true;
    if (m_session->Commit()) {
        End(true);
        return true;
    }
    m_session->Rollback();
    End(false);
    return false;
}

void ProjectTransaction::Rollback()
{
    if (!m_own)
        return;
    m_session->Rollback();
    End(false);
}

void ProjectTransaction::End(bool kept)
{
    m_own = false;
    if (m_hold) {
        m_hold->Release(kept);
        m_hold.reset();
    }
}
