#pragma once
// Recursive named lock of the DSP component manager over an OS wrapper semaphore: the holding
// thread may take it again and must release it as often. Any thread may call; a release by a
// thread that does not hold it, or destroying it while held, is an assertion stop.
#include <atomic>
#include <cstdint>

#include "jlib/jlib_result.h"

namespace DRAVO {

class DRAVOMutex {
public:
    // Null name: "DRAVO". A semaphore that cannot be made is a broken invariant.
    explicit DRAVOMutex(const char* name = nullptr);
    ~DRAVOMutex();
    DRAVOMutex(const DRAVOMutex&) = delete;
    DRAVOMutex& operator=(const DRAVOMutex&) = delete;

    // Blocks until the caller holds the lock (at once for the holder); 0x80000000 without semaphore.
    [[nodiscard]] JLIB::JResult begin() const;
    // Releases one level; the last one frees the lock. 0x80000000 without semaphore.
    [[nodiscard]] JLIB::JResult end() const;
    bool isValid() const { return m_semaphoreId != kNoSemaphore; }

private:
    static constexpr uint16_t kNoSemaphore = 0xFFFF;

    uint16_t m_semaphoreId;
    // Every caller reads it before it waits, while the holder writes it: atomic.
    mutable std::atomic<uint64_t> m_owner;
    mutable int32_t m_nestCount;  // extra begins of the holder; only the holder touches it
};

// Holds a lock for its own lifetime; a null lock is not taken.
class DRAVOMutexAutoReleaser {
public:
    explicit DRAVOMutexAutoReleaser(const DRAVOMutex* mutex);
    ~DRAVOMutexAutoReleaser();
    DRAVOMutexAutoReleaser(const DRAVOMutexAutoReleaser&) = delete;
    DRAVOMutexAutoReleaser& operator=(const DRAVOMutexAutoReleaser&) = delete;

private:
    const DRAVOMutex* m_pMutex;  // borrowed; outlives the releaser
};

}  // namespace DRAVO
