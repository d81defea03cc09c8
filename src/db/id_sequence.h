#pragma once

#include "db/id_source.h"

#include <QString>
#include <QVariant>

class DbSession;

// Hands out the identifiers of new rows from the named counters of the table
// IDSequences (one row per table, the counter one more than the last
// identifier given). Works on the document's session; holds no open query
// between calls.
class CIdSequence : public IdSource {
public:
    // The sequence name parameter holds at most this many characters.
    static constexpr int kMaxNameLength = 49;

    explicit CIdSequence(DbSession &session) : m_session(session) {}

    // 1 when IDSequences has the columns SeqName and ID, else 0 after a
    // message. Raises 50005 when the schema cannot be read.
    int CheckSequenceTable();
    // The next identifier of the sequence. Runs in a transaction of its own
    // unless the caller holds one, which it then leaves open. Raises a data
    // error carrying 50015 (and 50016 when the sequence could not be made).
    QVariant NextId(const QString &name) override;
    // Inserts a new sequence with counter 100; raises 50016 on failure.
    void CreateSequence(const QString &name);

private:
    QVariant AdvanceAndRead(const QString &parameter);
    void CheckExistingCounter(const QString &parameter);

    DbSession &m_session;
};
