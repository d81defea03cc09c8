#pragma once

#include "commissioning/commissioning_pool.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class CatalogueSet;
class CMy7100Doc;
class CommissioningRun;
class DbSession;
class LinkController;
class ModuleTransfer;
class SelectedModuleView;

// A run over several ports of a bench: each port is a lane with its own link
// (worker thread and port), transfer and run; the lanes share one queue and
// one writer of the project. A module plugged in on any lane is identified
// against the queue as in a run of one port.
class CommissioningLanes : public QObject {
    Q_OBJECT
public:
    // ports: as CommissioningPorts keeps them, each with its line settings;
    // port(lane) is the name alone.
    CommissioningLanes(CMy7100Doc &document, const CatalogueSet &catalogues, DbSession &session,
                       const QStringList &ports, QObject *parent = nullptr);
    // The links stop before the runs they call go.
    ~CommissioningLanes() override;
    CommissioningLanes(const CommissioningLanes &) = delete;
    CommissioningLanes &operator=(const CommissioningLanes &) = delete;

    int count() const { return int(m_lanes.size()); }
    const QString &port(int lane) const { return m_ports[lane]; }
    CommissioningRun &run(int lane) { return *m_lanes[size_t(lane)].run; }
    const CommissioningRun &run(int lane) const { return *m_lanes[size_t(lane)].run; }
    LinkController &link(int lane) { return *m_lanes[size_t(lane)].link; }
    const CommissioningQueue &queue() const { return m_pool.queue(); }

    // The queue of every lane, as CommissioningRun::Prepare.
    bool Prepare(std::vector<CommissioningEntry> entries, bool newRun = false);
    void setAssignNext(bool assignNext);
    // Starts every lane's link, then its run.
    void Start();
    // As CommissioningRun::Finish, once for all lanes.
    QString Finish();
    // Modules that reached a verdict on any lane.
    int verdicts() const;
    // Whether a module is being written on any lane.
    bool isDownloading() const;

signals:
    // A notice of any lane's link was handled.
    void noticeHandled();

private:
    struct Lane {
        std::unique_ptr<LinkController> link;
        std::unique_ptr<SelectedModuleView> view;
        std::unique_ptr<ModuleTransfer> transfer;
        std::unique_ptr<CommissioningRun> run;
    };

    CommissioningPool m_pool;
    QStringList m_ports;
    std::vector<Lane> m_lanes;
};
