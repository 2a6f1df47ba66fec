#include "oswrap/oswrap_semaphore.h"

#include "oswrap/internal/osw_futex.h"
#include "oswrap/internal/osw_module.h"

using namespace OSWRAP;
using namespace OSWRAP::detail;

namespace {

// Wait takes the semaphore and signal gives it back, from whichever task signals: a binary
// semaphore, not a mutex with an owner, so a signal from another task is well defined.
struct SemEntry {
    uint16_t status = 0;  // 0 free, 1 created
    BinarySemaphore sem;  // free in zero-filled static storage, so it works before the module starts
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

}  // namespace

namespace OSWRAP::detail {

void prepareSemaphores()
{
    for (SemEntry& e : sSemaphore) {
        e.status = 0;
        storeName(e.name, nullptr);
        // The semaphore itself is left as it is: free unless a task holds it across the start,
        // and that task's signal must still reach whoever waits behind it.
    }
}

void clearSemaphores()
{
    for (SemEntry& e : sSemaphore) {
        e.status = 0;
        storeName(e.name, nullptr);
        // A semaphore still taken at the end is given back, so a stray call afterwards finds it free.
        e.sem.signal();
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
    // The next semaphore under this id must not start out taken; a task still blocked on the
    // deleted one is let through rather than left asleep for ever.
    e.sem.signal();
    return kOk;
}

JLIB::JResult oswrap_WaiSem(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kSemRange, id));
    sSemaphore[id].sem.wait();
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
    sSemaphore[id].sem.signal();
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
