#pragma once

#include "log/log_line_hold.h"

#include <optional>

class DbSession;

// One change of the project, written whole or not at all. While it is open
// other programs wait for the project, so nothing outside the database is
// waited for meanwhile: the log lines written inside wait until it ended (a
// pipe read late or a slow disk must not hold the project), and the lines
// of a change rolled back are dropped. Inside a transaction that is already
// open it begins nothing and leaves the end to the one that began it.
class ProjectTransaction {
public:
    explicit ProjectTransaction(DbSession *session);
    // Rolls back what was neither committed nor rolled back.
    ~ProjectTransaction();
    ProjectTransaction(const ProjectTransaction &) = delete;
    ProjectTransaction &operator=(const ProjectTransaction &) = delete;

    // Whether this scope began the transaction (and so ends it).
    bool Own() const { return m_own; }
    // Whether a transaction is open, begun here or around it.
    bool Open() const;
    // True when everything is stored (or the transaction is not this
    // scope's); false after a failed commit, which rolls back.
    bool Commit();
    void Rollback();

private:
    void End(bool kept);

    DbSession *m_session;
    bool m_own = false;
    std::optional<LogLineHold> m_hold;
};
