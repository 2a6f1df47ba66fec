#include "devctrl/jlib_JFastLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "devctrl/LockTestSupport.h"

using JLIB::JFastLock;
using namespace DevctrlTest;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint64_t kTaskA = 11;
constexpr uint64_t kTaskB = 22;

// The callbacks are plain functions: they record into one process-wide journal.
std::mutex sJournalGuard;
std::vector<std::string> sJournal;

uint32_t onAcquire(uint64_t taskId)
{
    std::lock_guard<std::mutex> guard(sJournalGuard);
    sJournal.push_back("acquire " + std::to_string(taskId));
    return 0;
}

uint32_t onRelease(uint64_t taskId)
{
    std::lock_guard<std::mutex> guard(sJournalGuard);
    sJournal.push_back("release " + std::to_string(taskId));
    return 0x80000000u;  // ignored by the lock
}

std::vector<std::string> takeJournal()
{
    std::lock_guard<std::mutex> guard(sJournalGuard);
    std::vector<std::string> out;
    out.swap(sJournal);
    return out;
}

}  // namespace

TEST(JFastLockTest, WriterReentersAndReadsWithCallbacksAsCounted)
{
    (void)takeJournal();
    JFastLock lock(onAcquire, onRelease);
    EXPECT_EQ(0u, lock.WriteLock(kTaskA));
    EXPECT_EQ(0u, lock.WriteLock(kTaskA));    // re-entry: no callback
    EXPECT_EQ(0u, lock.ReadLock(kTaskA));     // the writer may read: no callback
    EXPECT_EQ(2u, lock.writerCount());
    EXPECT_EQ(1u, lock.readerCount());
    EXPECT_EQ(0u, lock.ReadUnlock(kTaskA));
    EXPECT_EQ(0u, lock.WriteUnlock(kTaskA));
    EXPECT_EQ(kTaskA, lock.writer());         // still held once
    EXPECT_EQ(0u, lock.WriteUnlock(kTaskA));
    EXPECT_EQ(JFastLock::kNoTask, lock.writer());
    EXPECT_EQ(0u, lock.writerCount());

    // Readers share, and each read lock of a non-writer is a new acquisition.
    EXPECT_EQ(0u, lock.ReadLock(kTaskA));
    EXPECT_EQ(0u, lock.ReadLock(kTaskB));
    EXPECT_EQ(0u, lock.ReadUnlock(kTaskB));
    EXPECT_EQ(0u, lock.ReadUnlock(kTaskA));

    const std::vector<std::string> expected = {"acquire 11", "release 11", "release 11", "release 11",
                                               "acquire 11", "acquire 22", "release 22", "release 11"};
    EXPECT_EQ(expected, takeJournal());
}

TEST(JFastLockTest, RefusalsGiveCountsOrFailureAndChangeNothing)
{
    (void)takeJournal();
    JFastLock lock(onAcquire, onRelease);

    // Free lock: nothing to unlock.
    EXPECT_EQ(kFailed, lock.ReadUnlock(kTaskA));
    EXPECT_EQ(kFailed, lock.WriteUnlock(kTaskA));
    EXPECT_EQ(kFailed, lock.WriteUnlock(JFastLock::kNoTask));

    // Two readers: a writer is refused with the reader count.
    ASSERT_EQ(0u, lock.tryReadLock(kTaskA));
    ASSERT_EQ(0u, lock.tryReadLock(kTaskA));
    EXPECT_EQ(2u, lock.tryWriteLock(kTaskB));
    EXPECT_EQ(2u, lock.tryWriteLock(kTaskA));  // a reader is no writer
    ASSERT_EQ(0u, lock.ReadUnlock(kTaskA));
    ASSERT_EQ(0u, lock.ReadUnlock(kTaskA));

    // Another task writes, nested twice: readers and writers get the writer count.
    ASSERT_EQ(0u, lock.tryWriteLock(kTaskB));
    ASSERT_EQ(0u, lock.tryWriteLock(kTaskB));
    EXPECT_EQ(2u, lock.tryReadLock(kTaskA));
    EXPECT_EQ(2u, lock.tryWriteLock(kTaskA));
    EXPECT_EQ(kFailed, lock.WriteUnlock(kTaskA));  // not the writer
    EXPECT_EQ(kTaskB, lock.writer());
    EXPECT_EQ(2u, lock.writerCount());
    EXPECT_EQ(0u, lock.readerCount());

    // The writer's own read lock is still counted after it stops writing.
    ASSERT_EQ(0u, lock.tryReadLock(kTaskB));
    ASSERT_EQ(0u, lock.WriteUnlock(kTaskB));
    ASSERT_EQ(0u, lock.WriteUnlock(kTaskB));
    EXPECT_EQ(1u, lock.tryWriteLock(kTaskA));
    EXPECT_EQ(0u, lock.ReadUnlock(kTaskB));
    EXPECT_EQ(0u, lock.tryWriteLock(kTaskA));

    const std::vector<std::string> expected = {"acquire 11", "acquire 11", "release 11", "release 11",
                                               "acquire 22", "release 22", "release 22", "release 22",
                                               "acquire 11"};
    EXPECT_EQ(expected, takeJournal());
}

TEST(JFastLockTest, ForceUnlockFreesWithoutCallbacks)
{
    (void)takeJournal();
    JFastLock lock(onAcquire, onRelease);
    ASSERT_EQ(0u, lock.WriteLock(kTaskA));
    ASSERT_EQ(0u, lock.ReadLock(kTaskA));
    EXPECT_EQ(0u, lock.forceUnlok());
    EXPECT_EQ(0u, lock.readerCount());
    EXPECT_EQ(0u, lock.writerCount());
    EXPECT_EQ(JFastLock::kNoTask, lock.writer());
    EXPECT_EQ(kFailed, lock.WriteUnlock(kTaskA));
    EXPECT_EQ(0u, lock.tryWriteLock(kTaskB));
    const std::vector<std::string> expected = {"acquire 11", "acquire 22"};
    EXPECT_EQ(expected, takeJournal());
}

TEST(JFastLockTest, TaskIdsAreUniquePerThreadAndNeverAllOnes)
{
    EXPECT_EQ(kFailed, JFastLock::getTaskId(nullptr));
    uint64_t mine = 0;
    uint64_t again = 1;
    ASSERT_EQ(0u, JFastLock::getTaskId(&mine));
    ASSERT_EQ(0u, JFastLock::getTaskId(&again));
    EXPECT_EQ(mine, again);

    // Threads run one after another, so a reused id would show up as a duplicate.
    std::set<uint64_t> ids = {mine};
    for (int i = 0; i < 16; ++i) {
        uint64_t id = JFastLock::kNoTask;
        std::thread([&id] { (void)JFastLock::getTaskId(&id); }).join();
        EXPECT_NE(JFastLock::kNoTask, id);
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " handed out twice";
    }
}

TEST(JFastLockTest, WaitersGetInOnlyWhenTheLockAllows)
{
    JFastLock lock;
    ASSERT_EQ(0u, lock.WriteLock(kTaskA));
    ASSERT_EQ(0u, lock.WriteLock(kTaskA));

    std::atomic<bool> readerIn{false};
    std::thread reader([&] {
        (void)lock.ReadLock(kTaskB);
        readerIn = true;
    });
    EXPECT_TRUE(staysFalse([&] { return readerIn.load(); }));
    ASSERT_EQ(0u, lock.WriteUnlock(kTaskA));
    EXPECT_TRUE(staysFalse([&] { return readerIn.load(); }));  // one nesting level is left
    ASSERT_EQ(0u, lock.WriteUnlock(kTaskA));
    EXPECT_TRUE(waitFor([&] { return readerIn.load(); }));
    reader.join();

    // A writer waits for the last reader.
    std::atomic<bool> writerIn{false};
    std::thread writer([&] {
        (void)lock.WriteLock(kTaskA);
        writerIn = true;
    });
    EXPECT_TRUE(staysFalse([&] { return writerIn.load(); }));
    ASSERT_EQ(0u, lock.ReadUnlock(kTaskB));
    EXPECT_TRUE(waitFor([&] { return writerIn.load(); }));
    writer.join();
    EXPECT_EQ(kTaskA, lock.writer());
}

TEST(JFastLockTest, CriticalSectionHoldsOffEveryStep)
{
    JFastLock lock;
    ASSERT_EQ(0u, lock.enterCriticalSection());
    std::atomic<bool> done{false};
    std::thread t([&] {
        (void)lock.tryReadLock(kTaskB);
        done = true;
    });
    EXPECT_TRUE(staysFalse([&] { return done.load(); }));
    ASSERT_EQ(0u, lock.leaveCriticalSection());
    EXPECT_TRUE(waitFor([&] { return done.load(); }));
    t.join();
    EXPECT_EQ(1u, lock.readerCount());
}
