#pragma once
// The lock of the logic network: a named recursive lock over an OS wrapper semaphore that
// remembers its owner by the platform's thread identity, so it serves any thread, inside the
// thread framework or not. Any thread may call; only the owner releases.
#include <atomic>
#include <cstdint>
#include <thread>

#include "jlib/jlib_result.h"

namespace LogicCtrl {

// The platform's identity of a thread; a default-constructed one names no thread.
using ThreadId = std::thread::id;

// Any thread: the caller's identity (not the task number of the thread framework).
ThreadId getCurrentThreadId();

class LogicMutex {
public:
    static constexpr uint16_t kNoSemaphore = 0xFFFF;

    // Null name: "Logic". When no semaphore can be made the lock stays invalid and every
    // operation answers 0x80000000.
    explicit LogicMutex(const char* name = nullptr);
    // Must not be held by any thread.
    ~LogicMutex();
    LogicMutex(const LogicMutex&) = delete;
    LogicMutex& operator=(const LogicMutex&) = delete;

    // Blocks until the caller holds the lock; the owner nests without blocking. 0 or 0x80000000.
    [[nodiscard]] JLIB::JResult begin();
    // Releases one level. 0x80000000, with nothing changed, when the caller is not the owner.
    [[nodiscard]] JLIB::JResult end();
    bool isValid() const { return m_semaphore != kNoSemaphore; }

private:
    friend struct LogicMutexProbe;  // tests read owner and nesting

    uint16_t m_semaphore;
    std::atomic<ThreadId> m_owner;  // read by every caller of begin and end, written by the holder
    int32_t m_nesting;              // levels beyond the first; only the owner touches it
};

// Holds a lock (or nothing, for a null pointer) for its own lifetime.
class LogicMutexAutoReleaser {
public:
    explicit LogicMutexAutoReleaser(LogicMutex* mutex);
    ~LogicMutexAutoReleaser();
    LogicMutexAutoReleaser(const LogicMutexAutoReleaser&) = delete;
    LogicMutexAutoReleaser& operator=(const LogicMutexAutoReleaser&) = delete;

private:
    LogicMutex* m_pMutex;  // borrowed; outlives the holder
};

}  // namespace LogicCtrl
