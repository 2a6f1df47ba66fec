#include "TMS/ThreadTimerManager.h"

#include "TMS/NullObjectTimer.h"
#include "TMS/TMSMutex.h"

namespace TMS {

bool ThreadTimerManager::hasLock() const { return m_pLock && m_pLock->isValid(); }

ObjectTimer* ThreadTimerManager::find(uint32_t id)
{
    for (ObjectTimer& timer : m_timers) {
        // A released entry keeps its place but is nobody's timer any more.
        if (timer.isValid() && timer.getTimerId() == id) return &timer;
    }
    return nullptr;
}

JLIB::JResult ThreadTimerManager::initialize(const TMSMutex* lock)
{
    if (!lock || !lock->isValid()) return kNoLock;
    m_pLock = lock;
    TMSMutexAutoReleaser hold(m_pLock);
    m_timers.clear();
    return JLIB::kOk;
}

JLIB::JResult ThreadTimerManager::release()
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    m_timers.clear();
    return JLIB::kOk;
}

JLIB::JResult ThreadTimerManager::addTimer(uint32_t id, uint32_t intervalMs, bool oneShot,
                                           IObjectTimerObserver* observer)
{
    if (!hasLock()) return kNoLock;
    if (intervalMs == 0) return kZeroInterval;
    TMSMutexAutoReleaser hold(m_pLock);
    if (ObjectTimer* timer = find(id)) return timer->initialize(id, intervalMs, oneShot, observer);
    ObjectTimer timer;
    (void)timer.initialize(id, intervalMs, oneShot, observer);  // the interval was checked above
    m_timers.push_back(timer);
    return JLIB::kOk;
}

JLIB::JResult ThreadTimerManager::addTimer(uint32_t id)
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    if (ObjectTimer* timer = find(id)) return timer->initialize(id);
    ObjectTimer timer;
    (void)timer.initialize(id);  // always 0
    m_timers.push_back(timer);
    return JLIB::kOk;
}

JLIB::JResult ThreadTimerManager::deleteTimer(uint32_t id, bool releaseOnly)
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    ObjectTimer* timer = find(id);
    if (!timer) return kUnknownTimer;
    if (releaseOnly) return timer->release();
    m_timers.erase(m_timers.begin() + (timer - m_timers.data()));
    return JLIB::kOk;
}

IObjectTimer& ThreadTimerManager::getTimer(uint32_t id)
{
    if (!hasLock()) return NullObjectTimer::getInstance();
    TMSMutexAutoReleaser hold(m_pLock);
    ObjectTimer* timer = find(id);
    if (!timer) return NullObjectTimer::getInstance();
    return *timer;
}

JLIB::JResult ThreadTimerManager::run()
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    // By index: an observer may add or delete timers while the list is being run.
    for (size_t i = 0; i < m_timers.size(); ++i) (void)m_timers[i].run();  // an invalid entry only answers its code
    return JLIB::kOk;
}

}  // namespace TMS
