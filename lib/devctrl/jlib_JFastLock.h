#pragma once
// Reader/writer lock keyed by 64-bit task ids. The writer may re-enter the write side and take the
// read side as well; readers share. Waiting polls every millisecond: there is no queue, so a
// waiting writer gets no priority over arriving readers. Any task may call any operation.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "jlib/jlib_result.h"

namespace JLIB {

class JFastLock {
public:
    // Called with the guard held, so it must not call back into the same lock; its result is ignored.
    using LockCallback = uint32_t (*)(uint64_t taskId);

    // The id that stands for no task; getTaskId never hands it out.
    static constexpr uint64_t kNoTask = ~uint64_t{0};

    // acquire runs when a task newly obtains the lock, release on every successful unlock.
    explicit JFastLock(LockCallback acquire = nullptr, LockCallback release = nullptr);
    JFastLock(const JFastLock&) = delete;
    JFastLock& operator=(const JFastLock&) = delete;

    // Wait until the matching try step succeeds; always 0.
    JResult ReadLock(uint64_t taskId);
    JResult WriteLock(uint64_t taskId);
    // 0 when taken; otherwise the writer count, and nothing changes.
    [[nodiscard]] JResult tryReadLock(uint64_t taskId);
    // 0 when taken or re-entered; otherwise reader plus writer count, and nothing changes.
    [[nodiscard]] JResult tryWriteLock(uint64_t taskId);
    // 0x80000000 when no read lock is held; readers are not checked by id.
    JResult ReadUnlock(uint64_t taskId);
    // 0x80000000 when the task is not the writer or no write lock is held.
    JResult WriteUnlock(uint64_t taskId);
    // Frees the lock at once, without the guard and without callbacks; a task that still thinks it
    // holds the lock must not unlock afterwards. 0.
    JResult forceUnlok();

    // The calling thread's id: unique for the life of the process. 0x80000000 for a null pointer.
    static JResult getTaskId(uint64_t* taskId);

    JResult enterCriticalSection();
    JResult leaveCriticalSection();

    uint32_t readerCount() const { return m_readerCount.load(std::memory_order_relaxed); }
    uint32_t writerCount() const { return m_writerCount.load(std::memory_order_relaxed); }
    uint64_t writer() const { return m_writer.load(std::memory_order_relaxed); }

private:
    // Changed only under the guard (forceUnlok aside); atomic so that the unguarded reads of
    // forceUnlok and the accessors are not races.
    std::atomic<uint32_t> m_readerCount{0};
    std::atomic<uint32_t> m_writerCount{0};
    std::atomic<uint64_t> m_writer{kNoTask};
    LockCallback m_acquire;
    LockCallback m_release;
    std::mutex m_guard;
};

}  // namespace JLIB
