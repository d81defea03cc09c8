#include "commissioning/commissioning_lanes.h"

#include "commissioning/commissioning_ports.h"
#include "commissioning/commissioning_run.h"
#include "link/link_controller.h"
#include "link/module_transfer.h"
#include "link/selected_module_view.h"
#include "tree/my7100_doc.h"

#include <algorithm>

CommissioningLanes::CommissioningLanes(CMy7100Doc &document, const CatalogueSet &catalogues, DbSession &session,
                                       const QStringList &ports, QObject *parent)
    : QObject(parent), m_pool(session)
{
    const std::vector<CommissioningPorts::LanePort> lanePorts = CommissioningPorts::Read(ports);
    // A run of one port tells what it does as it always has.
    const bool named = lanePorts.size() > 1;
    for (const CommissioningPorts::LanePort &lanePort : lanePorts) {
        const QString &port = lanePort.name;
        m_ports << port;
        Lane lane;
        lane.link = std::make_unique<LinkController>();
        lane.link->setPortOverride(port, lanePort.settings);
        lane.view = std::make_unique<SelectedModuleView>(document, catalogues);
        lane.transfer = std::make_unique<ModuleTransfer>(document, document.Lookup(), catalogues, *lane.link,
                                                         *lane.view);
        lane.run = std::make_unique<CommissioningRun>(document, document.Lookup(), *lane.transfer, *lane.link,
                                                      m_pool, named ? port : QString());
        connect(lane.link.get(), &LinkController::noticeHandled, this, &CommissioningLanes::noticeHandled);
        m_lanes.push_back(std::move(lane));
    }
}

CommissioningLanes::~CommissioningLanes()
{
    for (Lane &lane : m_lanes)
        lane.link->StopLink();
    for (Lane &lane : m_lanes) {
        lane.run.reset();
        lane.transfer.reset();
    }
}

bool CommissioningLanes::Prepare(std::vector<CommissioningEntry> entries, bool newRun)
{
    return !m_lanes.empty() && run(0).Prepare(std::move(entries), newRun);
}

void CommissioningLanes::setAssignNext(bool assignNext)
{
    for (Lane &lane : m_lanes)
        lane.run->setAssignNext(assignNext);
}

void CommissioningLanes::Start()
{
    for (Lane &lane : m_lanes) {
        lane.link->setProjectOpen(true);
        lane.link->StartLink();
    }
    for (Lane &lane : m_lanes)
        lane.run->Start();
}

QString CommissioningLanes::Finish()
{
    QString notStored;
    for (Lane &lane : m_lanes)
        notStored = lane.run->Finish();
    return notStored;
}

int CommissioningLanes::verdicts() const
{
    int all = 0;
    for (const Lane &lane : m_lanes)
        all += lane.run->verdicts();
    return all;
}

bool CommissioningLanes::isDownloading() const
{
    return std::any_of(m_lanes.begin(), m_lanes.end(), [](const Lane &lane) {
        return lane.run->phase() == CommissioningRun::Phase::Downloading;
    });
}
