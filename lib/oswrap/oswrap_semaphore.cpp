#include "oswrap/oswrap_semaphore.h"

#include <pthread.h>

#include <cerrno>

#include "oswrap/internal/osw_module.h"

using namespace OSWRAP;
using namespace OSWRAP::detail;

namespace {

struct SemEntry {
    uint16_t status = 0;  // 0 free, 1 created
    // Zero-filled static storage is a valid default mutex before the module starts.
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    ObjName name{};
};

SemEntry sSemaphore[kSemRange.highest + 1];

JLIB::JResult createSem(uint16_t id, const T_OSW_CSEM& pk)
{
    SemEntry& e = sSemaphore[id];
    if (e.status != 0) return kWrongState;
    e.status = 1;
    storeName(e.name, pk.name);
    return kOk;
}

// Leaves the mutex unlocked so the next semaphore under this id does not start out taken.
// After the try, the mutex is held either by us or by the deleted semaphore's last user; both go.
void unlockIfHeld(pthread_mutex_t& m)
{
    (void)pthread_mutex_trylock(&m);
    (void)pthread_mutex_unlock(&m);
}

}  // namespace

namespace OSWRAP::detail {

void prepareSemaphores()
{
    for (SemEntry& e : sSemaphore) {
        e.status = 0;
        storeName(e.name, nullptr);
        (void)pthread_mutex_init(&e.mutex, nullptr);
        (void)pthread_mutex_lock(&e.mutex);
        (void)pthread_mutex_unlock(&e.mutex);
    }
}

void clearSemaphores()
{
    for (SemEntry& e : sSemaphore) {
        e.status = 0;
        storeName(e.name, nullptr);
        if (pthread_mutex_destroy(&e.mutex) == EBUSY) {
            (void)pthread_mutex_unlock(&e.mutex);
            (void)pthread_mutex_destroy(&e.mutex);
        }
        // Back to the static state, so a stray call after the end still finds a usable mutex.
        e.mutex = PTHREAD_MUTEX_INITIALIZER;
    }
}

}  // namespace OSWRAP::detail

JLIB::JResult oswrap_CreSem(uint16_t id, const T_OSW_CSEM* pk)
{
    if (!pk) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkFixed(kSemRange, id));
    ModuleWriteLock lock;
    return createSem(id, *pk);
}

JLIB::JResult oswrap_AcreSem(uint16_t* id, const T_OSW_CSEM* pk)
{
    if (!id || !pk) return kBadArgument;
    ModuleWriteLock lock;
    for (uint16_t candidate = kSemRange.autoHighest; candidate >= kSemRange.autoLowest; --candidate) {
        if (sSemaphore[candidate].status != 0) continue;
        const JLIB::JResult result = createSem(candidate, *pk);
        *id = JLIB::isFailure(result) ? 0 : candidate;
        return result;
    }
    return kNoFreeId;
}

JLIB::JResult oswrap_DelSem(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kSemRange, id));
    ModuleWriteLock lock;
    SemEntry& e = sSemaphore[id];
    if (e.status == 0) return kWrongState;
    e.status = 0;
    storeName(e.name, nullptr);
    unlockIfHeld(e.mutex);
    return kOk;
}

JLIB::JResult oswrap_WaiSem(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kSemRange, id));
    (void)pthread_mutex_lock(&sSemaphore[id].mutex);  // a default mutex only fails on misuse
    return kOk;
}

JLIB::JResult oswrap_TwaiSem(uint16_t id, int32_t)
{
    JLIB_RETURN_IF_FAILED(chkAll(kSemRange, id));
    return kNotSupported;
}

JLIB::JResult oswrap_SigSem(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kSemRange, id));
    (void)pthread_mutex_unlock(&sSemaphore[id].mutex);
    return kOk;
}

JLIB::JResult oswrap_SigSemFromISR(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kSemRange, id));
    return kNotSupported;
}

JLIB::JResult oswrap_VinqSem(uint16_t* id, const char* name)
{
    if (!id || !name) return kBadArgument;
    ModuleReadLock lock;
    for (uint16_t candidate = kSemRange.lowest; candidate <= kSemRange.highest; ++candidate) {
        const SemEntry& e = sSemaphore[candidate];
        if (e.status == 1 && nameMatches(e.name, name)) {
            *id = candidate;
            return kOk;
        }
    }
    return kNoName;
}
