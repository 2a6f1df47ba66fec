#include "TMS/ObjectTimer.h"

#include <cstdio>

#include "TMS/IObjectTimerObserver.h"
#include "TMS/TMSTime.h"
#include "oswrap/oswrap_time.h"

namespace TMS {

namespace {

uint32_t now()
{
    uint32_t count = 0;
    (void)oswrap_Get1msCount(&count);  // only fails for a null pointer
    return count;
}

}  // namespace

JLIB::JResult ObjectTimer::initialize(uint32_t id)
{
    m_id = id;
    m_interval = 0xFFFFFFFFu;
    m_oneShot = false;
    m_pObserver = nullptr;
    m_state = kStopped;
    m_prevTime = 0;
    m_count = 0;
    return JLIB::kOk;
}

JLIB::JResult ObjectTimer::initialize(uint32_t id, uint32_t intervalMs, bool oneShot, IObjectTimerObserver* observer)
{
    if (intervalMs == 0) return kZeroInterval;
    m_id = id;
    m_interval = intervalMs;
    m_oneShot = oneShot;
    m_pObserver = observer;
    m_state = kStopped;
    m_prevTime = 0;
    m_count = 0;
    return JLIB::kOk;
}

JLIB::JResult ObjectTimer::release()
{
    *this = ObjectTimer();
    return JLIB::kOk;
}

JLIB::JResult ObjectTimer::start()
{
    if (m_state == kInvalid) return JLIB::kFailed;
    m_state = kRunning;
    m_prevTime = now();
    m_count = 0;
    return JLIB::kOk;
}

JLIB::JResult ObjectTimer::stop()
{
    if (m_state == kInvalid) return JLIB::kFailed;
    m_state = kStopped;
    m_prevTime = 0;
    m_count = 0;
    return JLIB::kOk;
}

JLIB::JResult ObjectTimer::restart() { return start(); }

uint32_t ObjectTimer::getElapsedTime() const { return diffTime(now(), m_prevTime); }

JLIB::JResult ObjectTimer::dump() const
{
    std::printf("[%d, %d] m_PrevTime = %08X\n", static_cast<int>(m_id), static_cast<int>(m_count), m_prevTime);
    return JLIB::kOk;
}

JLIB::JResult ObjectTimer::run()
{
    if (!m_pObserver) return JLIB::kOk;
    if (m_state == kInvalid) return JLIB::kFailed;
    if (m_state != kRunning) return JLIB::kOk;
    uint32_t elapsed = diffTime(now(), m_prevTime);
    if (elapsed < m_interval) return JLIB::kOk;
    // Whole intervals only, so the long-run rate does not drift; the observer hears of the first.
    const uint32_t firstCount = m_count + 1;
    while (elapsed >= m_interval) {
        ++m_count;
        elapsed -= m_interval;
        m_prevTime = offsetTime(m_prevTime, static_cast<int32_t>(m_interval));
        if (m_oneShot) {
            (void)stop();  // valid here, cannot fail
            break;
        }
    }
    // The observer may change or remove this very timer: nothing of it is touched afterwards.
    IObjectTimerObserver* observer = m_pObserver;
    const uint32_t id = m_id;
    (void)observer->onTimer(id, firstCount);  // the observer's own business
    return JLIB::kOk;
}

}  // namespace TMS
