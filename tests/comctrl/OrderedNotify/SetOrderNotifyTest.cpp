#include "comctrl/OrderedNotify/SetOrderNotify.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RegionMemory.h"
#include "comctrl/OrderedNotify/OrderedNotifyCore.h"
#include "comctrl/OrderedNotify/OrderedNotifySub.h"
#include "oswrap/oswrap.h"

using OrderedNotify::OrderedNotifyCore;
using OrderedNotify::OrderedNotifySub;
using OrderedNotify::SetOrderNotify;
using orderednotifytest::RegionMemory;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint16_t kSemaphoreId = 17;

struct WriterRelease {
    void operator()(SetOrderNotify* writer) const { writer->release(); }
};
using Writer = std::unique_ptr<SetOrderNotify, WriterRelease>;

// The OS wrapper with one semaphore for the test.
class SemaphoreScope {
public:
    SemaphoreScope()
    {
        EXPECT_EQ(0u, oswrap_init(nullptr, 0, 0));
        const T_OSW_CSEM csem{nullptr, 0, 1, "ordered"};
        EXPECT_EQ(0u, oswrap_CreSem(kSemaphoreId, &csem));
    }
    ~SemaphoreScope()
    {
        EXPECT_EQ(0u, oswrap_DelSem(kSemaphoreId));
        EXPECT_EQ(0u, oswrap_exit());
    }
    SemaphoreScope(const SemaphoreScope&) = delete;
    SemaphoreScope& operator=(const SemaphoreScope&) = delete;
};

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

long currentTid() { return static_cast<long>(::syscall(SYS_gettid)); }

// True while the thread sleeps in the kernel, as it does when blocked on the semaphore.
bool isThreadSleeping(long tid)
{
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    char line[512] = {};
    const bool read = std::fgets(line, sizeof(line), f) != nullptr;
    std::fclose(f);
    const char* close = read ? std::strrchr(line, ')') : nullptr;
    return close && close[1] == ' ' && close[2] == 'S';
}

}  // namespace

TEST(SetOrderNotifyTest, SignalWaitsWhileAnotherTaskHoldsTheSemaphore)
{
    SemaphoreScope scope;
    OrderedNotifyCore core(kSemaphoreId, nullptr);
    ASSERT_EQ(0u, core.create("T", 2));
    Writer writer(core.setOrderNotifyFactory("T"));
    ASSERT_TRUE(writer);

    ASSERT_EQ(0u, oswrap_WaiSem(kSemaphoreId));
    std::atomic<long> tid{0};
    std::atomic<bool> done{false};
    std::atomic<uint32_t> result{0xFFFFFFFF};
    std::thread signaller([&] {
        tid = currentTid();
        result = writer->notify(1);
        done = true;
    });
    const bool blocked = waitFor([&] { return tid.load() != 0 && isThreadSleeping(tid.load()); });
    EXPECT_TRUE(blocked);
    EXPECT_FALSE(done.load());
    ASSERT_EQ(0u, oswrap_SigSem(kSemaphoreId));
    EXPECT_TRUE(waitFor([&] { return done.load(); }));
    signaller.join();
    EXPECT_EQ(0u, result.load());

    char name[24] = {};
    uint32_t index = 0;
    EXPECT_EQ(0u, core.getFirst(name, &index));
    EXPECT_EQ(1u, index);
    EXPECT_EQ(1u, core.getFirst(name, &index));
}

TEST(SetOrderNotifyTest, ConcurrentWritersAndReaderLoseNoSignal)
{
    SemaphoreScope scope;
    RegionMemory region;
    OrderedNotifyCore core(kSemaphoreId, &region);
    constexpr uint32_t kWriters = 4;
    constexpr uint32_t kPerWriter = 64;
    ASSERT_EQ(0u, core.create("T", kWriters * kPerWriter));
    void* block = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(0u, core.getSharedList("T", &block, &size));
    // Half of the writers come from the core, half through the shared list.
    OrderedNotifySub sub(kSemaphoreId, region.block(0));
    std::vector<Writer> writers;
    for (uint32_t w = 0; w < kWriters; ++w) {
        writers.emplace_back(w % 2 ? sub.setOrderNotifyFactory(block) : core.setOrderNotifyFactory("T"));
        ASSERT_TRUE(writers.back());
    }

    std::atomic<uint32_t> failures{0};
    std::vector<std::thread> threads;
    for (uint32_t w = 0; w < kWriters; ++w) {
        threads.emplace_back([&, w] {
            for (uint32_t i = 0; i < kPerWriter; ++i) {
                // Each item twice: the second signal moves it, it must not be queued twice.
                const uint32_t item = w * kPerWriter + i;
                if (writers[w]->notify(item) != 0 || writers[w]->notify(item) != 0) ++failures;
            }
        });
    }
    std::vector<uint32_t> seen(kWriters * kPerWriter, 0);
    uint32_t taken = 0;
    const bool all = waitFor([&] {
        char name[24] = {};
        uint32_t index = 0;
        const uint32_t result = core.getFirst(name, &index);
        if (result == 0 && index < seen.size()) {
            ++seen[index];
            ++taken;
        }
        return taken >= kWriters * kPerWriter;
    });
    for (std::thread& t : threads) t.join();
    EXPECT_TRUE(all);
    EXPECT_EQ(0u, failures.load());
    // An item signalled again after it was taken may be taken twice; none may be missed.
    char name[24] = {};
    uint32_t index = 0;
    while (core.getFirst(name, &index) == 0) ++seen[index];
    for (uint32_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(seen[i], 1u);
        EXPECT_LE(seen[i], 2u);
    }
}

TEST(SetOrderNotifyTest, SemaphoreIdOutsideTheRangeFailsInsteadOfRunningUnlocked)
{
    OrderedNotifyCore core(301, nullptr);
    EXPECT_EQ(kFailed, core.create("T", 1));
    Writer none(core.setOrderNotifyFactory("T"));
    EXPECT_FALSE(none);
    char name[24] = {};
    uint32_t index = 0;
    EXPECT_EQ(kFailed, core.getFirst(name, &index));

    uint8_t info[16] = {};
    uint8_t items[4 + 16] = {1};
    OrderedNotifySub sub(301, info);
    Writer writer(sub.setOrderNotifyFactory(items));
    ASSERT_TRUE(writer);
    EXPECT_EQ(kFailed, writer->notify(0));
}
