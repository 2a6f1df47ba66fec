#include "TMS/TMSMutex.h"

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap.h"

namespace TMS {

namespace {

// Fixed place names of the assertion stops, so a stop reads the same in every build.
constexpr const char* kPlace = "lib/TMS/TMSMutex";

int16_t callerId(int line)
{
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_GetTskId(&id))) jlib_cfg_dbgbrk(kPlace, line);
    return static_cast<int16_t>(id);
}

}  // namespace

TMSMutex::TMSMutex(const char* name) : m_semaphore(-1), m_owner(-1), m_depth(0)
{
    const T_OSW_CSEM pk = {nullptr, 0, 1, name ? name : "TMSMutex"};
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_AcreSem(&id, &pk))) jlib_cfg_dbgbrk(kPlace, 41);
    m_semaphore = static_cast<int16_t>(id);
}

TMSMutex::~TMSMutex()
{
    if (m_depth > 0) jlib_cfg_dbgbrk(kPlace, 49);
    if (m_semaphore >= 0) (void)oswrap_DelSem(static_cast<uint16_t>(m_semaphore));  // nothing to do on failure
    m_semaphore = -1;
}

JLIB::JResult TMSMutex::begin() const
{
    if (m_semaphore < 0) return JLIB::kFailed;
    const int16_t id = callerId(67);
    if (m_owner.load(std::memory_order_relaxed) == id) {
        ++m_depth;
        return JLIB::kOk;
    }
    JLIB_RETURN_IF_FAILED(oswrap_WaiSem(static_cast<uint16_t>(m_semaphore)));
    m_owner.store(id, std::memory_order_relaxed);
    m_depth = 0;
    return JLIB::kOk;
}

JLIB::JResult TMSMutex::end() const
{
    if (m_semaphore < 0) return JLIB::kFailed;
    const int16_t id = callerId(102);
    const int16_t owner = m_owner.load(std::memory_order_relaxed);
    if (owner != id) jlib_cfg_dbgbrk(kPlace, owner == -1 ? 109 : 113);
    if (m_depth > 0) {
        --m_depth;
        return JLIB::kOk;
    }
    m_owner.store(-1, std::memory_order_relaxed);
    return oswrap_SigSem(static_cast<uint16_t>(m_semaphore));
}

TMSMutexAutoReleaser::TMSMutexAutoReleaser(const TMSMutex& mutex) : m_pMutex(&mutex)
{
    (void)m_pMutex->begin();  // only fails without a semaphore, which the holder then lacks too
}

TMSMutexAutoReleaser::TMSMutexAutoReleaser(const TMSMutex* mutex) : m_pMutex(mutex)
{
    if (!mutex) jlib_cfg_dbgbrk(kPlace, 57);
    (void)m_pMutex->begin();  // as above
}

TMSMutexAutoReleaser::~TMSMutexAutoReleaser()
{
    if (m_pMutex) (void)m_pMutex->end();  // the matching begin succeeded or both fail alike
}

}  // namespace TMS
