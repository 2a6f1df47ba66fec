#pragma once
// Named recursive lock over an OS wrapper semaphore; the holder task may take it again and must
// release it as often. Any task may call; misuse (release by a non-holder) is an assertion stop.
#include <atomic>
#include <cstdint>

#include "jlib/jlib_result.h"

namespace TMS {

class TMSMutex {
public:
    // Null name: "TMSMutex". A semaphore that cannot be made is a broken invariant.
    explicit TMSMutex(const char* name = nullptr);
    // Destroying a lock held more than once is a broken invariant.
    ~TMSMutex();
    TMSMutex(const TMSMutex&) = delete;
    TMSMutex& operator=(const TMSMutex&) = delete;

    // Blocks until the caller holds the lock; 0x80000000 without a semaphore.
    [[nodiscard]] JLIB::JResult begin() const;
    // Releases one level; 0x80000000 without a semaphore.
    [[nodiscard]] JLIB::JResult end() const;
    bool isValid() const { return m_semaphore >= 0; }

private:
    int16_t m_semaphore;
    mutable std::atomic<int16_t> m_owner;  // read by waiting tasks, written by the holder
    mutable int32_t m_depth;               // only the holder touches it
};

// Holds a lock for its own lifetime; every framework lock is taken this way.
class TMSMutexAutoReleaser {
public:
    explicit TMSMutexAutoReleaser(const TMSMutex& mutex);
    // A null pointer is a broken invariant.
    explicit TMSMutexAutoReleaser(const TMSMutex* mutex);
    ~TMSMutexAutoReleaser();
    TMSMutexAutoReleaser(const TMSMutexAutoReleaser&) = delete;
    TMSMutexAutoReleaser& operator=(const TMSMutexAutoReleaser&) = delete;

private:
    const TMSMutex* m_pMutex;
};

}  // namespace TMS
