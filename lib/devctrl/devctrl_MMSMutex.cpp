#include "devctrl/devctrl_MMSMutex.h"

#include <new>

#include "devctrl/devctrl_PrmSemaphore.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_semaphore.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kFailed = 0x80000000u;

uint16_t createSemaphore(const char* name)
{
    const T_OSW_CSEM pk = {nullptr, 0, 1, name};
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_AcreSem(&id, &pk))) {
        JLIB_LOG("[E] MMSMutex::createMutex - cannot create semaphore. [name=%s]\n", name);
        return PrmSemaphore::kNoSemaphore;
    }
    return id;
}

void deleteSemaphore(uint16_t id)
{
    if (id != PrmSemaphore::kNoSemaphore) (void)oswrap_DelSem(id);  // our own id: nothing to do on failure
}

}  // namespace

MMSMutex::MMSMutex(const char* prmSemName, const char* ctrlSemName) : m_pLock(createMutex(prmSemName, ctrlSemName)) {}

MMSMutex::~MMSMutex()
{
    if (const PrmSemaphore* lock = prmSemaphore()) {
        deleteSemaphore(lock->prmSemId());
        deleteSemaphore(lock->ctrlSemId());
    }
    delete m_pLock;
}

MMS::IMutex* MMSMutex::createMutex(const char* prmSemName, const char* ctrlSemName)
{
    const uint16_t prmId = createSemaphore(prmSemName ? prmSemName : "MMSPrm");
    if (prmId == PrmSemaphore::kNoSemaphore) return nullptr;
    const uint16_t ctrlId = createSemaphore(ctrlSemName ? ctrlSemName : "MMSCtrl");
    // A lock without its control semaphore would wait on a stranger's id: give back what we made.
    if (ctrlId == PrmSemaphore::kNoSemaphore) {
        deleteSemaphore(prmId);
        return nullptr;
    }
    auto* lock = new (std::nothrow) PrmSemaphore(prmId, ctrlId);
    if (!lock) {
        JLIB_LOG("[E] MMSMutex::createMutex - cannot allocate the lock.\n");
        deleteSemaphore(prmId);
        deleteSemaphore(ctrlId);
    }
    return lock;
}

const PrmSemaphore* MMSMutex::prmSemaphore() const { return dynamic_cast<const PrmSemaphore*>(m_pLock); }

uint32_t MMSMutex::getPrmLock() { return m_pLock ? m_pLock->getPrmLock() : kFailed; }
uint32_t MMSMutex::getPrmUnlock() { return m_pLock ? m_pLock->getPrmUnlock() : kFailed; }
uint32_t MMSMutex::getPrmTryLock() { return m_pLock ? m_pLock->getPrmTryLock() : kFailed; }
uint32_t MMSMutex::setPrmLock() { return m_pLock ? m_pLock->setPrmLock() : kFailed; }
uint32_t MMSMutex::setPrmUnlock() { return m_pLock ? m_pLock->setPrmUnlock() : kFailed; }
uint32_t MMSMutex::setPrmTryLock() { return m_pLock ? m_pLock->setPrmTryLock() : kFailed; }
uint32_t MMSMutex::ctrlLock() { return m_pLock ? m_pLock->ctrlLock() : kFailed; }
uint32_t MMSMutex::ctrlUnlock() { return m_pLock ? m_pLock->ctrlUnlock() : kFailed; }
uint32_t MMSMutex::ctrlTryLock() { return m_pLock ? m_pLock->ctrlTryLock() : kFailed; }

}  // namespace DeviceControl
