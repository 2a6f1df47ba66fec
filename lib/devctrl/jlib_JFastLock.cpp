#include "devctrl/jlib_JFastLock.h"

#include "oswrap/oswrap_time.h"

namespace JLIB {

namespace {

constexpr uint32_t kPollMs = 1;

// Ids are drawn once per thread and never reused, so a thread that ends cannot leave its id to a
// newcomer that would then look like the recorded writer. Starting at 1 keeps all ones out of reach.
std::atomic<uint64_t> sNextTaskId{1};

uint64_t currentTaskId()
{
    thread_local const uint64_t id = sNextTaskId.fetch_add(1, std::memory_order_relaxed);
    return id;
}

}  // namespace

JFastLock::JFastLock(LockCallback acquire, LockCallback release) : m_acquire(acquire), m_release(release) {}

JResult JFastLock::tryReadLock(uint64_t taskId)
{
    std::lock_guard<std::mutex> guard(m_guard);
    if (m_writer.load(std::memory_order_relaxed) == taskId) {
        m_readerCount.fetch_add(1, std::memory_order_relaxed);
        return kOk;
    }
    const uint32_t writers = m_writerCount.load(std::memory_order_relaxed);
    if (writers != 0) return writers;
    if (m_acquire) (void)m_acquire(taskId);  // a notification only
    m_readerCount.fetch_add(1, std::memory_order_relaxed);
    return kOk;
}

JResult JFastLock::tryWriteLock(uint64_t taskId)
{
    std::lock_guard<std::mutex> guard(m_guard);
    const uint32_t readers = m_readerCount.load(std::memory_order_relaxed);
    const uint32_t writers = m_writerCount.load(std::memory_order_relaxed);
    if (m_writer.load(std::memory_order_relaxed) == taskId) {
        m_writerCount.store(writers + 1, std::memory_order_relaxed);
        return kOk;
    }
    if (readers != 0 || writers != 0) return readers + writers;
    if (m_acquire) (void)m_acquire(taskId);  // a notification only
    m_writerCount.store(1, std::memory_order_relaxed);
    m_writer.store(taskId, std::memory_order_relaxed);
    return kOk;
}

JResult JFastLock::ReadLock(uint64_t taskId)
{
    while (tryReadLock(taskId) != kOk) (void)oswrap_WaiTsk(kPollMs);  // always 0
    return kOk;
}

JResult JFastLock::WriteLock(uint64_t taskId)
{
    while (tryWriteLock(taskId) != kOk) (void)oswrap_WaiTsk(kPollMs);  // always 0
    return kOk;
}

JResult JFastLock::ReadUnlock(uint64_t taskId)
{
    std::lock_guard<std::mutex> guard(m_guard);
    const uint32_t readers = m_readerCount.load(std::memory_order_relaxed);
    if (readers == 0) return kFailed;
    m_readerCount.store(readers - 1, std::memory_order_relaxed);
    if (m_release) (void)m_release(taskId);  // a notification only
    return kOk;
}

JResult JFastLock::WriteUnlock(uint64_t taskId)
{
    // The writer check sits inside the guard: only there is the record stable against a
    // concurrent first lock by another task.
    std::lock_guard<std::mutex> guard(m_guard);
    if (m_writer.load(std::memory_order_relaxed) != taskId) return kFailed;
    const uint32_t writers = m_writerCount.load(std::memory_order_relaxed);
    if (writers == 0) return kFailed;
    m_writerCount.store(writers - 1, std::memory_order_relaxed);
    if (m_release) (void)m_release(taskId);  // a notification only
    if (writers == 1) m_writer.store(kNoTask, std::memory_order_relaxed);
    return kOk;
}

JResult JFastLock::forceUnlok()
{
    m_readerCount.store(0, std::memory_order_relaxed);
    m_writerCount.store(0, std::memory_order_relaxed);
    m_writer.store(kNoTask, std::memory_order_relaxed);
    return kOk;
}

JResult JFastLock::getTaskId(uint64_t* taskId)
{
    if (!taskId) return kFailed;
    *taskId = currentTaskId();
    return kOk;
}

JResult JFastLock::enterCriticalSection()
{
    m_guard.lock();
    return kOk;
}

JResult JFastLock::leaveCriticalSection()
{
    m_guard.unlock();
    return kOk;
}

}  // namespace JLIB
