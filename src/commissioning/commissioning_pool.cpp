#include "commissioning/commissioning_pool.h"

#include "commissioning/commissioning_run.h"

#include <algorithm>

void CommissioningPool::Join(const CommissioningRun &lane)
{
    m_lanes.push_back(&lane);
}

void CommissioningPool::Leave(const CommissioningRun &lane)
{
    m_lanes.erase(std::remove(m_lanes.begin(), m_lanes.end(), &lane), m_lanes.end());
}

const CommissioningRun *CommissioningPool::HolderOf(int index, const CommissioningRun &asking) const
{
    const auto holds = [&](const CommissioningRun *lane) {
        return lane != &asking && lane->current() == index && lane->holdsCurrent();
    };
    const auto found = std::find_if(m_lanes.begin(), m_lanes.end(), holds);
    return found == m_lanes.end() ? nullptr : *found;
}

const CommissioningRun *CommissioningPool::PluggedOn(const QString &serialNr, const CommissioningRun &asking) const
{
    if (serialNr.isEmpty())
        return nullptr;
    const auto plugged = [&](const CommissioningRun *lane) {
        return lane != &asking && lane->pluggedSerialNr() == serialNr;
    };
    const auto found = std::find_if(m_lanes.begin(), m_lanes.end(), plugged);
    return found == m_lanes.end() ? nullptr : *found;
}
