#pragma once
// Task and lock glue of the socket objects over the OS wrapper. Any task may call.
#include <cstdint>

#include "VUviRido/Socket/VComResult.h"

namespace VCOM {

// How long a lock of the socket objects is waited for before the wait fails: far above any hold
// (a record copy), so only a broken lock order or a stuck holder reaches it.
constexpr uint32_t kLockWaitLimitMs = 5000;

// The calling task's OS wrapper id; 0x80000000 when it has none.
[[nodiscard]] JLIB::JResult VComGetTaskId(uint16_t* id);
// Creates a named lock; 0, or 0x80000000 for a null id place or when the OS wrapper refuses.
[[nodiscard]] JLIB::JResult VComACreSem(uint16_t* id, const char* name);
// Deletes a lock made by VComACreSem; 0 or 0x80000000.
JLIB::JResult VComDelSem(uint16_t id);
// Waits at most kLockWaitLimitMs: 0, 0x80000005 on time-out (logged), 0x80000080 for a bad id.
[[nodiscard]] JLIB::JResult VComWaiSem(uint16_t id);
[[nodiscard]] JLIB::JResult VComSigSem(uint16_t id);
// Atomic: stores exchange when *place holds comparand; answers the old value.
int32_t VComInterlockedCompareExchange(volatile int32_t* place, int32_t exchange, int32_t comparand);
int32_t VComInterlockedIncrement(volatile int32_t* place);
// The body of a busy wait.
void VComSpinLock();
// Trace hook in printf form; prints nothing.
void VComDebugOutput(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Holds a lock made by VComACreSem for a scope; ok() tells whether it was taken.
class VComSemLock {
public:
    explicit VComSemLock(uint16_t id) : m_id(id), m_held(JLIB::isSuccess(VComWaiSem(id))) {}
    ~VComSemLock()
    {
        if (m_held) (void)VComSigSem(m_id); // a held lock is always released
    }
    VComSemLock(const VComSemLock&) = delete;
    VComSemLock& operator=(const VComSemLock&) = delete;
    bool ok() const { return m_held; }

private:
    uint16_t m_id;
    bool m_held;
};

}  // namespace VCOM
