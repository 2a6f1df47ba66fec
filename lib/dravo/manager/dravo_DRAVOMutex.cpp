#include "dravo_DRAVOMutex.h"

#include <pthread.h>

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap.h"

namespace DRAVO {

namespace {

// No POSIX thread has the identity 0 here: pthread_self is the address of the thread's control block.
constexpr uint64_t kNoOwner = 0;

uint64_t callerThread() { return static_cast<uint64_t>(pthread_self()); }

}  // namespace

DRAVOMutex::DRAVOMutex(const char* name) : m_semaphoreId(kNoSemaphore), m_owner(kNoOwner), m_nestCount(0)
{
    const T_OSW_CSEM pk = {nullptr, 0, 1, name ? name : "DRAVO"};  // starts free
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_AcreSem(&id, &pk))) {
        JLIB_LOG("[E] DRAVOMutex::DRAVOMutex - no semaphore for '%s'.\n", pk.name);
        JLIB_ASSERT(false);
    }
    m_semaphoreId = id;
}

DRAVOMutex::~DRAVOMutex()
{
    JLIB_ASSERT(m_owner.load() == kNoOwner);
    if (isValid()) (void)oswrap_DelSem(m_semaphoreId);  // the id is ours; nothing to do on failure
    m_semaphoreId = kNoSemaphore;
}

JLIB::JResult DRAVOMutex::begin() const
{
    if (!isValid()) return JLIB::kFailed;
    const uint64_t self = callerThread();
    if (m_owner.load() == self) {
        ++m_nestCount;
        return JLIB::kOk;
    }
    JLIB_RETURN_IF_FAILED(oswrap_WaiSem(m_semaphoreId));
    m_owner.store(self);
    m_nestCount = 0;
    return JLIB::kOk;
}

JLIB::JResult DRAVOMutex::end() const
{
    if (!isValid()) return JLIB::kFailed;
    JLIB_ASSERT(m_owner.load() == callerThread());
    if (m_nestCount > 0) {
        --m_nestCount;
        return JLIB::kOk;
    }
    m_owner.store(kNoOwner);
    m_nestCount = 0;
    return oswrap_SigSem(m_semaphoreId);
}

DRAVOMutexAutoReleaser::DRAVOMutexAutoReleaser(const DRAVOMutex* mutex) : m_pMutex(mutex)
{
    if (m_pMutex) (void)m_pMutex->begin();  // fails only without a semaphore, and end then fails alike
}

DRAVOMutexAutoReleaser::~DRAVOMutexAutoReleaser()
{
    if (m_pMutex) (void)m_pMutex->end();  // as above
}

}  // namespace DRAVO
