#include "PDB/pdb_Mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>
#include <vector>

namespace PDB {

struct ReadWriteMutexProbe {
    static int32_t waitingWriters(const ReadWriteMutex& m)
    {
        std::lock_guard<std::mutex> lock(m.m_mutex);
        return m.m_waitingWriters;
    }
    static int32_t readerCount(const ReadWriteMutex& m)
    {
        std::lock_guard<std::mutex> lock(m.m_mutex);
        return m.m_readerCount;
    }
    static size_t readerEntries(const ReadWriteMutex& m)
    {
        std::lock_guard<std::mutex> lock(m.m_mutex);
        return m.m_readers.size();
    }
};

}  // namespace PDB

namespace {

using namespace std::chrono_literals;
using Probe = PDB::ReadWriteMutexProbe;

bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds limit = 2000ms)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// True when the flag stays clear for a short while: the thread that would set it is blocked.
bool staysClear(const std::atomic<bool>& flag) { return !waitFor([&] { return flag.load(); }, 50ms); }

// A thread that runs steps on request, so a test can hold locks on it across checks.
class Worker {
public:
    Worker() : m_thread([this] { run(); }) {}
    ~Worker()
    {
        post([this] { m_stop = true; });
        m_thread.join();
    }
    // Queues a step and returns a flag that is set once the step has finished.
    std::shared_ptr<std::atomic<bool>> post(std::function<void()> step)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_steps.push_back([step = std::move(step), done] {
            step();
            *done = true;
        });
        m_wake.notify_one();
        return done;
    }
    // Runs a step and waits for it; fails the test when it does not finish in time.
    void run(std::function<void()> step)
    {
        auto done = post(std::move(step));
        ASSERT_TRUE(waitFor([&] { return done->load(); }));
    }

private:
    void run()
    {
        while (!m_stop) {
            std::function<void()> step;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return !m_steps.empty(); });
                step = std::move(m_steps.front());
                m_steps.erase(m_steps.begin());
            }
            step();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::function<void()>> m_steps;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace

TEST(MutexTest, ThreadIdsAreStablePerThreadAndNeverReused)
{
    const PDB::ThreadId self = PDB::getCurrentThreadId();
    EXPECT_NE(PDB::kNoThread, self);
    EXPECT_EQ(self, PDB::getCurrentThreadId());
    std::set<PDB::ThreadId> seen{self};
    for (int i = 0; i < 4; ++i) {
        PDB::ThreadId other = PDB::kNoThread;
        std::thread([&] { other = PDB::getCurrentThreadId(); }).join();  // ended threads free their handles
        EXPECT_NE(PDB::kNoThread, other);
        EXPECT_TRUE(seen.insert(other).second);
    }
}

TEST(MutexTest, NullMutexNeverBlocks)
{
    PDB::NullMutex& null = PDB::NullMutex::getNullObject();
    EXPECT_EQ(&null, &PDB::NullMutex::getNullObject());
    EXPECT_EQ(0u, null.writeLock());
    EXPECT_EQ(0u, null.readLock());
    Worker other;
    other.run([&] {
        EXPECT_EQ(0u, null.writeLock());
        EXPECT_EQ(0u, null.readLock());
        EXPECT_EQ(0u, null.readUnlock());
        EXPECT_EQ(0u, null.writeUnlock());
    });
    EXPECT_EQ(0u, null.readUnlock());
    EXPECT_EQ(0u, null.writeUnlock());
}

TEST(SimpleReadWriteMutexTest, NestedLocksOfAnyKindExcludeOtherThreadsUntilAllAreReleased)
{
    PDB::SimpleReadWriteMutex mutex;
    Worker owner;
    Worker other;
    owner.run([&] {
        EXPECT_EQ(0u, mutex.readLock());
        EXPECT_EQ(0u, mutex.readLock());
        EXPECT_EQ(0u, mutex.writeLock());
    });
    std::atomic<bool> got{false};
    auto otherDone = other.post([&] {
        EXPECT_EQ(0u, mutex.readLock());  // reads exclude each other too
        got = true;
    });
    EXPECT_TRUE(staysClear(got));
    owner.run([&] { EXPECT_EQ(0u, mutex.writeUnlock()); });
    owner.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
    EXPECT_TRUE(staysClear(got));
    owner.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
    EXPECT_TRUE(waitFor([&] { return got.load(); }));
    ASSERT_TRUE(waitFor([&] { return otherDone->load(); }));
    other.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
}

TEST(SimpleReadWriteMutexTest, ScopedLockersHoldForTheirScope)
{
    PDB::SimpleReadWriteMutex mutex;
    Worker other;
    std::atomic<bool> got{false};
    std::shared_ptr<std::atomic<bool>> done;
    {
        PDB::MutexWriteLocker writer(mutex);
        const PDB::IMutex& readOnly = mutex;
        PDB::MutexReadLocker reader(readOnly);  // nested on the same thread
        done = other.post([&] {
            PDB::MutexWriteLocker locker(mutex);
            got = true;
        });
        EXPECT_TRUE(staysClear(got));
    }
    EXPECT_TRUE(waitFor([&] { return got.load(); }));
    ASSERT_TRUE(waitFor([&] { return done->load(); }));
    PDB::MutexWriteLocker again(mutex);  // the other thread's locker released it
}

TEST(ReadWriteMutexTest, ReadersShareAndAWriterWaitsForEveryNestedRead)
{
    PDB::ReadWriteMutex mutex;
    Worker a, b, writer;
    a.run([&] {
        EXPECT_EQ(0u, mutex.readLock());
        EXPECT_EQ(0u, mutex.readLock());
    });
    b.run([&] { EXPECT_EQ(0u, mutex.readLock()); });  // does not wait for a
    EXPECT_EQ(2, Probe::readerCount(mutex));

    std::atomic<bool> wrote{false};
    writer.post([&] {
        EXPECT_EQ(0u, mutex.writeLock());
        wrote = true;
    });
    ASSERT_TRUE(waitFor([&] { return Probe::waitingWriters(mutex) == 1; }));
    a.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
    b.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
    EXPECT_TRUE(staysClear(wrote));
    a.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
    EXPECT_TRUE(waitFor([&] { return wrote.load(); }));
    EXPECT_EQ(0, Probe::waitingWriters(mutex));
    writer.run([&] { EXPECT_EQ(0u, mutex.writeUnlock()); });
}

TEST(ReadWriteMutexTest, WaitingWriterStopsNewReadersButNotNestedOnes)
{
    PDB::ReadWriteMutex mutex;
    Worker reader, writer, newcomer;
    reader.run([&] { EXPECT_EQ(0u, mutex.readLock()); });
    std::atomic<bool> wrote{false};
    writer.post([&] {
        EXPECT_EQ(0u, mutex.writeLock());
        wrote = true;
    });
    ASSERT_TRUE(waitFor([&] { return Probe::waitingWriters(mutex) == 1; }));

    reader.run([&] { EXPECT_EQ(0u, mutex.readLock()); });  // nested: at once
    std::atomic<bool> newcomerRead{false};
    newcomer.post([&] {
        EXPECT_EQ(0u, mutex.readLock());  // writers are preferred from the start
        newcomerRead = true;
    });
    EXPECT_TRUE(staysClear(newcomerRead));

    reader.run([&] {
        EXPECT_EQ(0u, mutex.readUnlock());
        EXPECT_EQ(0u, mutex.readUnlock());
    });
    EXPECT_TRUE(waitFor([&] { return wrote.load(); }));
    EXPECT_FALSE(newcomerRead.load());
    writer.run([&] { EXPECT_EQ(0u, mutex.writeUnlock()); });
    EXPECT_TRUE(waitFor([&] { return newcomerRead.load(); }));
    newcomer.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
}

TEST(ReadWriteMutexTest, AfterAWriterLeavesNewReadersEnterWhileAnotherWriterWaits)
{
    PDB::ReadWriteMutex mutex;
    Worker first, reader, second, latecomer;
    first.run([&] { EXPECT_EQ(0u, mutex.writeLock()); });
    std::atomic<bool> read{false};
    reader.post([&] {
        EXPECT_EQ(0u, mutex.readLock());
        read = true;
    });
    EXPECT_TRUE(staysClear(read));
    first.run([&] { EXPECT_EQ(0u, mutex.writeUnlock()); });
    ASSERT_TRUE(waitFor([&] { return read.load(); }));

    std::atomic<bool> wrote{false};
    second.post([&] {
        EXPECT_EQ(0u, mutex.writeLock());
        wrote = true;
    });
    ASSERT_TRUE(waitFor([&] { return Probe::waitingWriters(mutex) == 1; }));
    // The writer's release cleared the preference, so a new reader still enters.
    latecomer.run([&] { EXPECT_EQ(0u, mutex.readLock()); });
    EXPECT_EQ(2, Probe::readerCount(mutex));

    latecomer.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
    reader.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
    EXPECT_TRUE(waitFor([&] { return wrote.load(); }));
    second.run([&] { EXPECT_EQ(0u, mutex.writeUnlock()); });
}

TEST(ReadWriteMutexTest, WriterReadsUncountedAndNestsWrites)
{
    PDB::ReadWriteMutex mutex;
    Worker writer, other;
    writer.run([&] {
        EXPECT_EQ(0u, mutex.writeLock());
        EXPECT_EQ(0u, mutex.readLock());
        EXPECT_EQ(0u, mutex.writeLock());
    });
    EXPECT_EQ(0, Probe::readerCount(mutex));
    EXPECT_EQ(0u, Probe::readerEntries(mutex));
    writer.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });

    std::atomic<bool> read{false};
    other.post([&] {
        EXPECT_EQ(0u, mutex.readLock());
        read = true;
    });
    writer.run([&] { EXPECT_EQ(0u, mutex.writeUnlock()); });
    EXPECT_TRUE(staysClear(read));
    writer.run([&] { EXPECT_EQ(0u, mutex.writeUnlock()); });
    EXPECT_TRUE(waitFor([&] { return read.load(); }));
    other.run([&] { EXPECT_EQ(0u, mutex.readUnlock()); });
}

TEST(ReadWriteMutexDeathTest, MisuseStopsAtTheAssertion)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* what;
        void (*misuse)();
    };
    const Case cases[] = {
        {"read unlock without a read lock",
         [] {
             PDB::ReadWriteMutex mutex;
             (void)mutex.readUnlock();
         }},
        {"write unlock by another thread",
         [] {
             PDB::ReadWriteMutex mutex;
             std::thread([&] { (void)mutex.writeLock(); }).join();
             (void)mutex.writeUnlock();
         }},
        {"write unlock without a write lock",
         [] {
             PDB::ReadWriteMutex mutex;
             (void)mutex.writeUnlock();
         }},
        {"read-to-write upgrade",
         [] {
             PDB::ReadWriteMutex mutex;
             (void)mutex.readLock();
             (void)mutex.writeLock();  // would wait for its own read lock forever
         }},
        {"destroyed while read",
         [] {
             auto* mutex = new PDB::ReadWriteMutex;
             (void)mutex->readLock();
             delete mutex;
         }},
        {"destroyed while written",
         [] {
             auto* mutex = new PDB::ReadWriteMutex;
             (void)mutex->writeLock();
             delete mutex;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DEATH(c.misuse(), "Assertion");
    }
}
