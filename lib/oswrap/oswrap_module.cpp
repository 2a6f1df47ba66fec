#include "oswrap/oswrap_module.h"

#include <atomic>
#include <cstring>

#include "oswrap/internal/osw_module.h"

namespace {

// The lock itself always exists (statically initialised), so a stray call outside init/exit still
// finds a usable lock; gl_mutexStatus tracks whether the module owns it.
pthread_rwlock_t s_MutexOSWrapper = PTHREAD_RWLOCK_INITIALIZER;
std::atomic<uint32_t> gl_mutexStatus{0};  // 0 not made, 1 being made or destroyed, 2 made
std::atomic<uint32_t> gl_isInitialized{0};
std::atomic<uint32_t> gl_isReady{0};

JLIB::JResult makeModuleLock()
{
    uint32_t expected = 0;
    if (!gl_mutexStatus.compare_exchange_strong(expected, 1)) return OSWRAP::kWrongState;
    gl_mutexStatus.store(2);
    return OSWRAP::kOk;
}

JLIB::JResult destroyModuleLock()
{
    uint32_t expected = 2;
    if (!gl_mutexStatus.compare_exchange_strong(expected, 1)) return OSWRAP::kWrongState;
    gl_mutexStatus.store(0);
    return OSWRAP::kOk;
}

}  // namespace

namespace OSWRAP::detail {

void _osw_module_lock() { (void)pthread_rwlock_wrlock(&s_MutexOSWrapper); }
void _osw_module_rdlock() { (void)pthread_rwlock_rdlock(&s_MutexOSWrapper); }
void _osw_module_unlock() { (void)pthread_rwlock_unlock(&s_MutexOSWrapper); }

void storeName(ObjName& dst, const char* src)
{
    std::memset(dst, 0, sizeof(dst));
    if (!src) return;
    for (size_t i = 0; i < kNameLength && src[i] != '\0'; ++i) dst[i] = src[i];
}

bool nameMatches(const ObjName& stored, const char* name)
{
    return name && std::strncmp(stored, name, kNameLength) == 0;
}

}  // namespace OSWRAP::detail

using namespace OSWRAP;
using namespace OSWRAP::detail;

JLIB::JResult oswrap_init(void*, uint32_t, uint32_t)
{
    if (gl_isInitialized.load() == 1) return kWrongState;
    JLIB_RETURN_IF_FAILED(makeModuleLock());
    gl_isInitialized.store(1);

    ModuleWriteLock lock;
    prepareSemaphores();
    prepareEventFlags();
    prepareMailboxes();
    prepareTasks();
    gl_isReady.store(1);
    return kOk;
}

JLIB::JResult oswrap_exit()
{
    {
        ModuleWriteLock lock;
        if (gl_isInitialized.load() != 1 || gl_isReady.load() != 1) return kWrongState;
    }
    // Tasks take the module lock themselves while they end.
    terminateAllTasks();
    {
        ModuleWriteLock lock;
        gl_isReady.store(0);
        clearSemaphores();
        clearEventFlags();
        clearMailboxes();
        clearTaskFlags();
    }
    const JLIB::JResult result = destroyModuleLock();
    gl_isInitialized.store(0);
    return result;
}

JLIB::JResult oswrap_os_start() { return kNotSupported; }
