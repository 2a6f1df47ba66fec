#include "pdb_Mutex.h"

#include <atomic>

#include "jlib/jlib_cfg.h"

namespace PDB {

ThreadId getCurrentThreadId()
{
    // OS thread handles are reused after a thread ends; a counter never hands out one twice.
    static std::atomic<ThreadId> s_next{1};
    thread_local const ThreadId t_id = s_next.fetch_add(1, std::memory_order_relaxed);
    return t_id;
}

NullMutex& NullMutex::getNullObject()
{
    static NullMutex s_instance;
    return s_instance;
}

uint32_t SimpleReadWriteMutex::readLock() const
{
    m_mutex.lock();
    return 0;
}

uint32_t SimpleReadWriteMutex::readUnlock() const
{
    m_mutex.unlock();
    return 0;
}

uint32_t SimpleReadWriteMutex::writeLock()
{
    m_mutex.lock();
    return 0;
}

uint32_t SimpleReadWriteMutex::writeUnlock()
{
    m_mutex.unlock();
    return 0;
}

ReadWriteMutex::ReadWriteMutex() { m_readers.reserve(kReservedReaders); }

ReadWriteMutex::~ReadWriteMutex()
{
    if (m_readerCount > 0 || m_writing) {
        JLIB_LOG("[E] ReadWriteMutex::~ReadWriteMutex - destroyed while held. [readers=%d, writing=%d]\n",
                 m_readerCount, m_writing ? 1 : 0);
        jlib_cfg_dbgbrk(__FILE__, __LINE__);
    }
}

long ReadWriteMutex::findReader(ThreadId thread) const
{
    for (size_t i = 0; i < m_readers.size(); ++i) {
        if (m_readers[i].thread == thread) return long(i);
    }
    return -1;
}

uint32_t ReadWriteMutex::readLock() const
{
    const ThreadId self = getCurrentThreadId();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_writer.thread == self) return 0;  // the writer reads freely, uncounted
    const long entry = findReader(self);
    if (entry >= 0) {
        ++m_readers[size_t(entry)].count;  // nested reads never wait, even for writers
        return 0;
    }
    m_wakeup.wait(lock, [this] { return !m_writing && !(m_preferWriters && m_waitingWriters > 0); });
    ++m_readerCount;
    m_readers.push_back(RecursiveCounter{self, 0});
    return 0;
}

uint32_t ReadWriteMutex::readUnlock() const
{
    const ThreadId self = getCurrentThreadId();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_writer.thread == self) return 0;
    const long entry = findReader(self);
    if (entry < 0) {
        JLIB_LOG("[E] ReadWriteMutex::readUnlock - thread holds no read lock.\n");
        jlib_cfg_dbgbrk(__FILE__, __LINE__);
    }
    RecursiveCounter& counter = m_readers[size_t(entry)];
    if (counter.count > 0) {
        --counter.count;
        return 0;
    }
    m_readers.erase(m_readers.begin() + entry);
    --m_readerCount;
    m_preferWriters = true;
    m_wakeup.notify_all();
    return 0;
}

uint32_t ReadWriteMutex::writeLock()
{
    const ThreadId self = getCurrentThreadId();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_writer.thread == self) {
        ++m_writer.count;
        return 0;
    }
    if (findReader(self) >= 0) {
        // Its own read lock keeps the reader count above 0: waiting would never end.
        JLIB_LOG("[E] ReadWriteMutex::writeLock - a reading thread cannot upgrade to writing.\n");
        jlib_cfg_dbgbrk(__FILE__, __LINE__);
    }
    ++m_waitingWriters;
    m_wakeup.wait(lock, [this] { return !m_writing && m_readerCount == 0; });
    --m_waitingWriters;
    m_writing = true;
    m_writer = RecursiveCounter{self, 0};
    return 0;
}

uint32_t ReadWriteMutex::writeUnlock()
{
    const ThreadId self = getCurrentThreadId();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_writer.thread != self) {
        JLIB_LOG("[E] ReadWriteMutex::writeUnlock - thread is not the writer.\n");
        jlib_cfg_dbgbrk(__FILE__, __LINE__);
    }
    if (m_writer.count > 0) {
        --m_writer.count;
        return 0;
    }
    m_writer = RecursiveCounter{};
    m_writing = false;
    m_preferWriters = false;
    m_wakeup.notify_all();
    return 0;
}

}  // namespace PDB
