#include "link/auto_reset_event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
std::mutex &eventLock()
{
    static std::mutex lock;
    return lock;
}

std::condition_variable &eventChanged()
{
    static std::condition_variable changed;
    return changed;
}

template <typename Ready> bool waitUntil(std::unique_lock<std::mutex> &lock, int timeoutMs, Ready ready)
{
    if (timeoutMs < 0) {
        eventChanged().wait(lock, ready);
        return true;
    }
    return eventChanged().wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}
} // namespace

void AutoResetEvent::set()
{
    {
        std::lock_guard lock(eventLock());
        m_signalled = true;
    }
    // Few threads ever wait, so waking all of them costs nothing.
    eventChanged().notify_all();
}

void AutoResetEvent::reset()
{
    std::lock_guard lock(eventLock());
    m_signalled = false;
}

bool AutoResetEvent::isSet() const
{
    std::lock_guard lock(eventLock());
    return m_signalled;
}

bool AutoResetEvent::wait(int timeoutMs)
{
    std::unique_lock lock(eventLock());
    if (!waitUntil(lock, timeoutMs, [this] { return m_signalled; }))
        return false;
    m_signalled = false;
    return true;
}

int AutoResetEvent::waitForEither(AutoResetEvent &first, AutoResetEvent &second, int timeoutMs)
{
    std::unique_lock lock(eventLock());
    if (!waitUntil(lock, timeoutMs, [&] { return first.m_signalled || second.m_signalled; }))
        return -1;
    AutoResetEvent &woken = first.m_signalled ? first : second;
    woken.m_signalled = false;
    return &woken == &first ? 0 : 1;
}
