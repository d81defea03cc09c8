#pragma once

#include "commissioning/commissioning_queue.h"
#include "commissioning/commissioning_records.h"

#include <QString>

#include <functional>
#include <vector>

class COLEDBException;
class DbSession;

// What a run has not been able to store in the project yet: queue states
// and records of attempts. They stay in memory and in a side file beside
// the program, so that a run stopped meanwhile loses none of them, and are
// stored, oldest first, at the next write the run makes.
class CommissioningBacklog {
public:
    explicit CommissioningBacklog(DbSession &session);

    // Inside the store's transaction: whether what is stored still has its
    // place in the project; when not, sets the reason.
    using PlaceCheck = std::function<bool(QString &reason)>;
    // Stores what is kept, then entry's state and the record (when given),
    // all in one transaction. False with the driver's reason when the
    // project cannot be written; nothing is kept then. With a check that
    // fails, nothing is written and placeGone is set.
    bool Store(const CommissioningEntry &entry, const CommissioningRecord *record, QString *reason,
               const PlaceCheck &check = {}, bool *placeGone = nullptr);
    // Keeps entry's state and the record for the next chance and writes the
    // side file; false when the side file cannot be written.
    bool Keep(const CommissioningEntry &entry, const CommissioningRecord *record);
    // Stores what is kept; true when nothing is left.
    bool Flush(QString *reason = nullptr);
    // Takes over what an earlier run left in the side file; the states it
    // holds are newer than the project's and replace those of entries.
    void TakeOverSideFile(std::vector<CommissioningEntry> &entries);

    bool empty() const { return m_states.empty() && m_records.empty(); }
    int recordCount() const { return int(m_records.size()); }
    // The side file of this project (whether it exists or not).
    const QString &sideFile() const { return m_sideFile; }

private:
    void StoreKept();
    bool WriteSideFile() const;

    DbSession &m_session;
    QString m_sideFile;
    std::vector<CommissioningEntry> m_states; // the latest of each module
    std::vector<CommissioningRecord> m_records;
};

// The reason a failed write of the project gives: the driver's words when
// it has some ("database is locked"), else the program's.
QString StoreFailureText(const COLEDBException &error);
