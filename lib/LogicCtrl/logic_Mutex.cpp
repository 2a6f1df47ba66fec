#include "logic_Mutex.h"

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_semaphore.h"

namespace LogicCtrl {

ThreadId getCurrentThreadId() { return std::this_thread::get_id(); }

LogicMutex::LogicMutex(const char* name) : m_semaphore(kNoSemaphore), m_owner(ThreadId()), m_nesting(0)
{
    const T_OSW_CSEM pk = {nullptr, 0, 1, name ? name : "Logic"};
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_AcreSem(&id, &pk))) {
        JLIB_LOG("[E] LogicMutex::LogicMutex - cannot create semaphore. [name=%s]\n", pk.name);
        return;
    }
    m_semaphore = id;
}

LogicMutex::~LogicMutex()
{
    if (isValid()) (void)oswrap_DelSem(m_semaphore);  // an id we created: nothing to do on failure
}

JLIB::JResult LogicMutex::begin()
{
    if (!isValid()) return JLIB::kFailed;
    const ThreadId self = getCurrentThreadId();
    if (m_owner.load() == self) {
        ++m_nesting;
        return JLIB::kOk;
    }
    JLIB_RETURN_IF_FAILED(oswrap_WaiSem(m_semaphore));
    m_owner.store(self);
    m_nesting = 0;
    return JLIB::kOk;
}

JLIB::JResult LogicMutex::end()
{
    if (!isValid()) return JLIB::kFailed;
    if (m_owner.load() != getCurrentThreadId()) return JLIB::kFailed;
    if (m_nesting > 0) {
        --m_nesting;
        return JLIB::kOk;
    }
    // Cleared before the signal: a waiter that wakes must not see the old owner.
    m_owner.store(ThreadId());
    m_nesting = 0;
    return oswrap_SigSem(m_semaphore);
}

LogicMutexAutoReleaser::LogicMutexAutoReleaser(LogicMutex* mutex) : m_pMutex(mutex)
{
    if (m_pMutex) (void)m_pMutex->begin();  // fails only without a semaphore; end then fails alike
}

LogicMutexAutoReleaser::~LogicMutexAutoReleaser()
{
    if (m_pMutex) (void)m_pMutex->end();  // the caller owns it since the constructor
}

}  // namespace LogicCtrl
