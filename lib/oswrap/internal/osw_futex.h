#pragma once
// Futex words: the wake-up primitive under semaphores and flag words, where no descriptor is
// handed out. Process-private; every call is safe from any thread.
#include <atomic>
#include <cstdint>

namespace OSWRAP::detail {

// Sleeps while *word still holds `expected`, at most timeoutMs (-1 without limit). Returns 0 when
// woken (or when the word had already changed, or a signal interrupted the sleep), 1 on time-out,
// -1 when the call failed. Callers re-test their own condition whatever the answer.
int futexWait(std::atomic<uint32_t>& word, uint32_t expected, int32_t timeoutMs);
// Wakes up to `count` sleepers on the word; -1 when the call failed, else the number woken.
int futexWake(std::atomic<uint32_t>& word, int count);

// The body of a short busy wait.
inline void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield" ::: "memory");
#endif
}

// A binary semaphore on one futex word: 0 free, 1 taken, 2 taken and someone may sleep on it.
// Any thread may signal it, whoever waited; a signal of a free semaphore leaves it free.
class BinarySemaphore {
public:
    void wait()
    {
        uint32_t state = 0;
        if (m_word.compare_exchange_strong(state, 1, std::memory_order_acquire, std::memory_order_relaxed)) return;
        waitSlow(state);
    }
    void signal()
    {
        if (m_word.exchange(0, std::memory_order_release) == 2) (void)futexWake(m_word, 1);
    }

private:
    void waitSlow(uint32_t state);
    std::atomic<uint32_t> m_word{0};
};

}  // namespace OSWRAP::detail
