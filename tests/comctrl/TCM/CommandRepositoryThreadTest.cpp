#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comctrl/TCM/CommandRepository.h"
#include "comctrl/TCM/IMutex.h"
#include "comctrl/TCM/ITrigger.h"

namespace {

using Clock = std::chrono::steady_clock;

class RealMutex : public TCM::IMutex {
public:
    void lock() override { m_mutex.lock(); }
    void unlock() override { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

// Counts wake-ups per party; a party waits until its count moves past what it has seen.
class WakeTrigger : public TCM::ITrigger {
public:
    JLIB::JResult wakeWorker(uint32_t) override { return bump(0); }
    JLIB::JResult wakeClient(uint32_t clientId) override { return bump(clientId); }

    // False when the deadline passed or the test stops.
    bool waitPast(uint32_t party, uint64_t& seen, Clock::time_point deadline)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const bool woken = m_cv.wait_until(lock, deadline, [&] { return m_stop || m_counts[party] != seen; });
        seen = m_counts[party];
        return woken && !m_stop;
    }
    void stop()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_cv.notify_all();
    }

private:
    JLIB::JResult bump(uint32_t party)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_counts[party];
        m_cv.notify_all();
        return 0;
    }
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::map<uint32_t, uint64_t> m_counts;
    bool m_stop = false;
};

}  // namespace

TEST(CommandRepositoryThreadTest, ClientAndWorkerThreadsCarryOutEveryCommandInRequestOrder)
{
    constexpr uint32_t kClient = 42;
    constexpr uint32_t kCommands = 40;
    constexpr uint32_t kSlots = 3;  // fewer than commands: the client must wait for slots
    RealMutex mutex;
    WakeTrigger trigger;
    TCM::CommandRepository repo;
    ASSERT_EQ(0u, repo.initialize(kSlots, &trigger, &mutex));
    const auto deadline = Clock::now() + std::chrono::seconds(20);

    std::vector<std::string> taken;  // worker thread only until joined
    std::atomic<uint32_t> workerErrors{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        uint64_t seen = 0;
        while (!done) {
            uint32_t index = 0;
            const uint32_t result = repo.next(&index);
            if (result == 0x80000007u) {
                if (!trigger.waitPast(0, seen, deadline)) return;
                continue;
            }
            if (result != 0) {
                ++workerErrors;
                continue;
            }
            const TCM::T_COMMAND_INFO* info = nullptr;
            if (repo.refer(&info, index) != 0) {
                ++workerErrors;
                return;
            }
            taken.emplace_back(info->contents.path);
            const uint32_t total = info->contents.request;
            if (repo.start(index, total) != 0) ++workerErrors;
            // Chunks of 7 bytes; the last chunk carries the flag.
            uint32_t sent = 0;
            uint32_t result2 = 0;
            do {
                const uint32_t chunk = total - sent < 7 ? total - sent : 7;
                sent += chunk;
                result2 = repo.update(index, chunk, nullptr, 0, sent == total);
            } while (sent < total && result2 == 0);
            if (result2 != 1) ++workerErrors;
        }
    });
    // Stops and joins the worker on every way out of the test, a failed assertion included.
    struct Stopper {
        std::atomic<bool>& done;
        WakeTrigger& trigger;
        std::thread& worker;
        ~Stopper()
        {
            done = true;
            trigger.stop();
            if (worker.joinable()) worker.join();
        }
    } stopper{done, trigger, worker};

    std::vector<std::string> finished;
    uint32_t placed = 0;
    uint64_t seen = 0;
    bool inTime = true;
    while (finished.size() < kCommands && inTime) {
        // Collect what finished, then place as many as fit.
        uint32_t index = 0;
        while (repo.search(&index, kClient) == 0) {
            const TCM::T_COMMAND_PROGRESS* progress = nullptr;
            const TCM::T_COMMAND_INFO* info = nullptr;
            ASSERT_EQ(0u, repo.watch(&progress, index));
            ASSERT_EQ(0u, repo.refer(&info, index));
            EXPECT_EQ(4u, progress->state);
            EXPECT_EQ(progress->total, progress->transferred);
            finished.emplace_back(info->contents.path);
            ASSERT_EQ(0u, repo.release(index, kClient));
        }
        while (placed < kCommands) {
            const std::string path = "file-" + std::to_string(placed);
            const uint32_t result = repo.sendFile(placed * 3 + 1, path.c_str(), kClient, 1, nullptr);
            if (result == 0x80000007u) break;
            ASSERT_EQ(0u, result);
            ++placed;
        }
        if (finished.size() < kCommands) inTime = trigger.waitPast(kClient, seen, deadline);
    }
    done = true;
    trigger.stop();
    worker.join();

    EXPECT_TRUE(inTime);
    EXPECT_EQ(0u, workerErrors.load());
    std::vector<std::string> expected;
    for (uint32_t i = 0; i < kCommands; ++i) expected.push_back("file-" + std::to_string(i));
    EXPECT_EQ(expected, taken);
    // The client collects finished slots lowest index first, which need not be the request order.
    std::sort(finished.begin(), finished.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, finished);
}
