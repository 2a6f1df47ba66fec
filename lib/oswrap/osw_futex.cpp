#include "oswrap/internal/osw_futex.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace OSWRAP::detail {

namespace {

// The kernel reads the word as a plain 32-bit integer.
static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));

uint32_t* address(std::atomic<uint32_t>& word) { return reinterpret_cast<uint32_t*>(&word); }

// A few rounds before sleeping: a lock held for a handful of instructions is usually free again
// before a sleep and wake-up would even have started.
constexpr int kSpinRounds = 64;

}  // namespace

int futexWait(std::atomic<uint32_t>& word, uint32_t expected, int32_t timeoutMs)
{
    timespec relative{};
    timespec* limit = nullptr;
    if (timeoutMs >= 0) {
        relative.tv_sec = timeoutMs / 1000;
        relative.tv_nsec = static_cast<long>(timeoutMs % 1000) * 1000000L;
        limit = &relative;
    }
    const long result = ::syscall(SYS_futex, address(word), FUTEX_WAIT_PRIVATE, expected, limit, nullptr, 0);
    if (result == 0) return 0;
    if (errno == ETIMEDOUT) return 1;
    if (errno == EAGAIN || errno == EINTR) return 0;
    return -1;
}

int futexWake(std::atomic<uint32_t>& word, int count)
{
    const long result = ::syscall(SYS_futex, address(word), FUTEX_WAKE_PRIVATE, count, nullptr, nullptr, 0);
    return result < 0 ? -1 : static_cast<int>(result);
}

void BinarySemaphore::waitSlow(uint32_t state)
{
    // Spins only while nobody sleeps: once someone does, joining the queue keeps the order fair.
    for (int i = 0; i < kSpinRounds && state == 1; ++i) {
        cpuRelax();
        state = m_word.load(std::memory_order_relaxed);
        if (state == 0 &&
            m_word.compare_exchange_strong(state, 1, std::memory_order_acquire, std::memory_order_relaxed)) {
            return;
        }
    }
    // Marking the word 2 makes the signal that frees it wake one sleeper; whoever takes it on
    // the way out keeps the mark, so a remaining sleeper is not forgotten.
    if (state != 2) state = m_word.exchange(2, std::memory_order_acquire);
    while (state != 0) {
        (void)futexWait(m_word, 2, -1);  // a failed sleep only costs another round
        state = m_word.exchange(2, std::memory_order_acquire);
    }
}

}  // namespace OSWRAP::detail
