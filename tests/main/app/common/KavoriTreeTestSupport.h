#pragma once
// A thread tree for the application shell tests: a root "System" that declares the shared
// parameters and takes the test's children, and a child thread that runs jobs of the test on its
// own task (to write and flush shared parameters as a thread of the tree does).
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "TMS/AbstractMessage.h"
#include "TMS/SystemThread.h"
#include "TMS/ThreadTestSupport.h"
#include "common/KavoriSystemInfo.h"

namespace KavoriTreeTest {

using namespace std::chrono_literals;

class JobThread : public TmsTest::Recording<TMS::AbstractThread> {
public:
    JobThread() : Recording(1)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            if (message.messageId() != kJobMessage) return;
            std::function<void(JobThread&)> job;
            {
                std::lock_guard<std::mutex> lock(m_jobMutex);
                job.swap(m_job);
            }
            if (job) job(*this);
            m_jobsDone.fetch_add(1);
        };
        onSystemInfo = [this] { m_systemInfoEvents.fetch_add(1); };
    }

    // Runs the job on the thread's task and waits until it has run.
    bool run(std::function<void(JobThread&)> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_jobMutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_jobsDone.load();
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, kJobMessage) != 0 || message.sendWithWaiting(*this) != 0) return false;
        // Long enough for a job whose own send gives up after its 10 s of retries.
        return TmsTest::waitFor([&] { return m_jobsDone.load() != before; }, 30s);
    }
    // Writes shared parameters (element 0) and flushes them once, from this thread; waits until
    // the flush has come back through the root, so no older copy of the table can follow it.
    bool publish(std::initializer_list<std::pair<const char*, uint32_t>> values)
    {
        const uint32_t before = m_systemInfoEvents.load();
        std::atomic<bool> ok{false};
        const bool ran = run([&](JobThread& self) {
            bool all = true;
            for (const auto& [name, value] : values) all = all && self.setSysParam(name, 0, JVariant(value)) == 0;
            ok = all && self.flushSysParam() == 0;
        });
        if (!ran || !ok.load()) return false;
        // An older copy arriving first would show older values: wait for these.
        return TmsTest::waitFor([&] { return m_systemInfoEvents.load() != before; }, 10s) &&
               TmsTest::waitFor(
                   [&] {
                       for (const auto& [name, value] : values) {
                           if (read(name) != value) return false;
                       }
                       return true;
                   },
                   10s);
    }
    uint32_t read(const char* name)
    {
        uint32_t out = 0xFFFFFFFF;
        (void)run([&](JobThread& self) {
            JVariant value;
            if (self.getSysParam(value, name, 0) == 0) out = value.toUInt32();
        });
        return out;
    }

    static constexpr uint32_t kJobMessage = 0x7E57;

private:
    std::mutex m_jobMutex;
    std::function<void(JobThread&)> m_job;
    std::atomic<uint32_t> m_jobsDone{0};
    std::atomic<uint32_t> m_systemInfoEvents{0};
};

// Root of the test tree: declares the shared parameters and adds the children given before
// set-up, in their order.
class Root : public TmsTest::Recording<TMS::SystemThread> {
public:
    Root() : Recording(1)
    {
        onInit = [this] {
            EXPECT_EQ(0u, addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            for (TMS::AbstractThread* child : m_children) EXPECT_EQ(0u, addThread(*child));
        };
    }
    void adopt(TMS::AbstractThread& child) { m_children.push_back(&child); }

private:
    std::vector<TMS::AbstractThread*> m_children;
};

}  // namespace KavoriTreeTest
