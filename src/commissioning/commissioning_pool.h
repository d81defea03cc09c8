#pragma once

#include "commissioning/commissioning_backlog.h"
#include "commissioning/commissioning_queue.h"

#include <QString>

#include <vector>

class CommissioningRun;
class DbSession;

// What the lanes of a run share: one queue, and one writer of the project
// (the backlog over the document's one session) through which every lane
// stores its queue states and records in short transactions of its own.
// Every lane runs on the thread of the project, so that a lane waits at most
// for one record of another to be written. A run of one port has a pool of
// its own.
class CommissioningPool {
public:
    explicit CommissioningPool(DbSession &session) : m_session(session), m_backlog(session) {}
    CommissioningPool(const CommissioningPool &) = delete;
    CommissioningPool &operator=(const CommissioningPool &) = delete;

    CommissioningQueue &queue() { return m_queue; }
    const CommissioningQueue &queue() const { return m_queue; }
    void setQueue(CommissioningQueue queue) { m_queue = std::move(queue); }
    CommissioningBacklog &backlog() { return m_backlog; }
    DbSession &session() { return m_session; }

    void Join(const CommissioningRun &lane);
    void Leave(const CommissioningRun &lane);
    // The other lane handling the queued module (offered, asked about or
    // being written there), or null.
    const CommissioningRun *HolderOf(int index, const CommissioningRun &asking) const;
    // The other lane on which a module of this serial number is plugged in,
    // or null.
    const CommissioningRun *PluggedOn(const QString &serialNr, const CommissioningRun &asking) const;
    // Why the run stopped for all its lanes (empty while it goes on).
    const QString &stopped() const { return m_stopped; }
    void Stop(const QString &why) { m_stopped = why; }

private:
    DbSession &m_session;
    CommissioningQueue m_queue;
    CommissioningBacklog m_backlog;
    std::vector<const CommissioningRun *> m_lanes;
    QString m_stopped;
};
