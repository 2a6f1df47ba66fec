#pragma once
// The lock interface every database offers, its implementations and the scoped lockers.
// Every lock call must be paired with the matching unlock by the same thread; nesting is allowed.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace PDB {

// Identity of an OS thread; never reused within the process. kNoThread equals only itself.
using ThreadId = uint64_t;
constexpr ThreadId kNoThread = 0;

// Any task.
ThreadId getCurrentThreadId();

class IMutex {
public:
    virtual ~IMutex() {}
    // All implementations answer 0.
    virtual uint32_t readLock() const = 0;
    virtual uint32_t readUnlock() const = 0;
    virtual uint32_t writeLock() = 0;
    virtual uint32_t writeUnlock() = 0;

    // Assignment copies nothing: the database interface relies on it carrying no state.
    IMutex& operator=(const IMutex&) { return *this; }
};

// Does nothing and never blocks; stands in for a database without a lock.
class NullMutex : public IMutex {
public:
    // One instance for the process, built on first use.
    static NullMutex& getNullObject();

    uint32_t readLock() const override { return 0; }
    uint32_t readUnlock() const override { return 0; }
    uint32_t writeLock() override { return 0; }
    uint32_t writeUnlock() override { return 0; }
};

// The lock the live databases share: reads and writes alike take one recursive mutex,
// so one thread at a time works on all of them and may nest any lock kinds.
class SimpleReadWriteMutex : public IMutex {
public:
    SimpleReadWriteMutex() = default;
    SimpleReadWriteMutex(const SimpleReadWriteMutex&) = delete;
    SimpleReadWriteMutex& operator=(const SimpleReadWriteMutex&) = delete;

    uint32_t readLock() const override;
    uint32_t readUnlock() const override;
    uint32_t writeLock() override;
    uint32_t writeUnlock() override;

private:
    mutable std::recursive_mutex m_mutex;
};

// Recursive reader/writer lock: readers share, writer preference alternates (set after the last
// reader leaves, cleared after the writer leaves), nested reads never block, the writer may read.
// Unpaired unlocks, a read-to-write upgrade and destruction while held hit the assertion stop.
class ReadWriteMutex : public IMutex {
public:
    struct RecursiveCounter {
        ThreadId thread = kNoThread;
        uint32_t count = 0;  // nested acquisitions beyond the first
    };

    ReadWriteMutex();
    ~ReadWriteMutex() override;
    ReadWriteMutex(const ReadWriteMutex&) = delete;
    ReadWriteMutex& operator=(const ReadWriteMutex&) = delete;

    uint32_t readLock() const override;
    uint32_t readUnlock() const override;
    uint32_t writeLock() override;
    uint32_t writeUnlock() override;

private:
    friend struct ReadWriteMutexProbe;  // tests read the counters under the internal mutex
    static constexpr size_t kReservedReaders = 20;

    // Index of the thread's reader entry, or -1.
    long findReader(ThreadId thread) const;

    mutable int32_t m_readerCount = 0;
    mutable int32_t m_waitingWriters = 0;
    mutable bool m_writing = false;
    mutable bool m_preferWriters = true;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_wakeup;
    mutable std::vector<RecursiveCounter> m_readers;
    RecursiveCounter m_writer;
};

// Holds a read lock for its scope; must not outlive the lock.
class MutexReadLocker {
public:
    explicit MutexReadLocker(const IMutex& mutex) : m_mutex(mutex) { (void)m_mutex.readLock(); }
    ~MutexReadLocker() { (void)m_mutex.readUnlock(); }
    MutexReadLocker(const MutexReadLocker&) = delete;
    MutexReadLocker& operator=(const MutexReadLocker&) = delete;

private:
    const IMutex& m_mutex;
};

// Holds a write lock for its scope; must not outlive the lock.
class MutexWriteLocker {
public:
    explicit MutexWriteLocker(IMutex& mutex) : m_mutex(mutex) { (void)m_mutex.writeLock(); }
    ~MutexWriteLocker() { (void)m_mutex.writeUnlock(); }
    MutexWriteLocker(const MutexWriteLocker&) = delete;
    MutexWriteLocker& operator=(const MutexWriteLocker&) = delete;

private:
    IMutex& m_mutex;
};

}  // namespace PDB
