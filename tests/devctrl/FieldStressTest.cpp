// Eight tasks on two fields guarded by device-control mutexes: writers, readers, copies in both
// directions between the fields and copies within each. Every call must succeed, every read must
// see one write whole, and the run must end (two opposite copies must not deadlock).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "MMS/Common/FieldTestSupport.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "devctrl/LockTestSupport.h"
#include "devctrl/devctrl_MMSMutex.h"

using namespace FieldTest;

namespace {

constexpr int kRounds = 2000;
constexpr uint32_t kCopyTask = 5;

bool isFailure(uint32_t r) { return (r & 0x80000000u) != 0; }

}  // namespace

TEST(FieldStressTest, WritersReadersAndCopiesBothWaysRunToTheEnd)
{
    (void)MmsTest::heap1();
    DeviceControl::MMSMutex mutex1;
    DeviceControl::MMSMutex mutex2;
    ASSERT_NE(nullptr, mutex1.prmSemaphore());
    ASSERT_NE(nullptr, mutex2.prmSemaphore());
    MMS::Field field1(nullptr, &mutex1, nullptr, nullptr, nullptr);
    MMS::Field field2(nullptr, &mutex2, nullptr, nullptr, nullptr);
    buildRoots(field1, {"A", "B"});
    buildRoots(field2, {"A", "B"});
    ASSERT_EQ(0u, field1.subscribe(0, kCopyTask, 2, false));
    ASSERT_EQ(0u, field2.subscribe(0, kCopyTask, 2, false));

    std::atomic<int> failures{0};
    std::atomic<int> tornReads{0};
    std::atomic<int> finished{0};
    auto check = [&](uint32_t r) {
        if (isFailure(r)) ++failures;
    };
    auto readWhole = [&](MMS::Field& field, const char* root) {
        int32_t values[kGainCount] = {};
        if (!getAllGains(field, root, values)) {
            ++failures;
            return;
        }
        for (int32_t v : values) {
            if (v != values[0]) ++tornReads;
        }
    };

    const std::vector<std::function<void(int)>> tasks = {
        [&](int i) { check(setAllGains(field1, "A", i)); },
        [&](int i) { check(setAllGains(field2, "A", -i)); },
        [&](int) { readWhole(field1, "A"); },
        [&](int) { readWhole(field2, "A"); },
        [&](int) { check(field1.copyPrm("A", &field2, "A", 1, 0, kCopyTask, 1, 0, 0)); },
        [&](int) { check(field2.copyPrm("A", &field1, "A", 1, 0, kCopyTask, 1, 0, 0)); },
        [&](int i) {
            MMS::Field& field = (i % 2) ? field1 : field2;
            check(field.copyPrm("A", "B", 1, 0, kCopyTask, 1, 0, 0));
            check(field.exchangeGettingDirtyArea(kCopyTask));
        },
        [&](int i) { readWhole((i % 2) ? field1 : field2, "B"); },
    };
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (const auto& task : tasks) {
        threads.emplace_back([&task, &finished, &ready, count = static_cast<int>(tasks.size())] {
            // All start together, so the copies in opposite directions really overlap.
            ++ready;
            while (ready.load() < count) std::this_thread::yield();
            for (int i = 1; i <= kRounds; ++i) task(i);
            ++finished;
        });
    }
    const bool ended = DevctrlTest::waitFor([&] { return finished.load() == static_cast<int>(tasks.size()); },
                                            std::chrono::seconds(30));
    if (!ended) {
        ADD_FAILURE() << "the tasks did not end: a lock cycle";
        std::_Exit(1);  // the blocked threads cannot be joined
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(0, failures.load());
    EXPECT_EQ(0, tornReads.load());

    // Both mutexes are free again: another task takes every lock at once.
    std::atomic<bool> done{false};
    std::thread probe([&] {
        for (MMS::IMutex* m : {static_cast<MMS::IMutex*>(&mutex1), static_cast<MMS::IMutex*>(&mutex2)}) {
            (void)m->ctrlLock();
            (void)m->setPrmLock();
            (void)m->getPrmLock();
            (void)m->getPrmUnlock();
            (void)m->setPrmUnlock();
            (void)m->ctrlUnlock();
        }
        done = true;
    });
    EXPECT_TRUE(DevctrlTest::waitFor([&] { return done.load(); }));
    probe.join();
}
