#pragma once
// For the broker tests: a notifier that records its events, and a thread that stays alive and runs
// the closures it is given, so that each test role (owner, setter, reader) keeps its own OS task id.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <queue>
#include <thread>
#include <utility>
#include <vector>

#include "devctrl/devctrl_IBrokerNotifier.h"
#include "oswrap/oswrap_task.h"

namespace BrokerTest {

struct Event {
    uint16_t taskId;
    uint32_t event;
    bool operator==(const Event& other) const { return taskId == other.taskId && event == other.event; }
};

inline void PrintTo(const Event& e, std::ostream* os) { *os << "{task " << e.taskId << ", event " << e.event << "}"; }

class RecordingNotifier : public DeviceControl::IBrokerNotifier {
public:
    void notify(uint16_t taskId, uint32_t event) override
    {
        std::lock_guard<std::mutex> guard(m_guard);
        m_events.push_back({taskId, event});
        if (onNotify) onNotify();
    }
    std::vector<Event> take()
    {
        std::lock_guard<std::mutex> guard(m_guard);
        return std::exchange(m_events, {});
    }
    std::function<void()> onNotify;  // runs on the notifying task, under the broker's lock

private:
    std::mutex m_guard;
    std::vector<Event> m_events;
};

// A thread that runs closures one after the other until it is destroyed.
class TaskThread {
public:
    TaskThread() : m_thread([this] { loop(); }) {}
    ~TaskThread()
    {
        {
            std::lock_guard<std::mutex> guard(m_guard);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    TaskThread(const TaskThread&) = delete;
    TaskThread& operator=(const TaskThread&) = delete;

    // Runs fn on this thread and gives its result; the wait is bounded.
    template <typename Fn>
    auto run(Fn fn) -> decltype(fn())
    {
        using Result = decltype(fn());
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(fn));
        std::future<Result> done = task->get_future();
        {
            std::lock_guard<std::mutex> guard(m_guard);
            m_jobs.push([task] { (*task)(); });
        }
        m_wake.notify_one();
        if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "task thread did not finish in time";
            std::abort();  // the closure still refers to the caller's frame
        }
        return done.get();
    }

    uint16_t id()
    {
        return run([] {
            uint16_t value = 0;
            (void)oswrap_GetTskId(&value);
            return value;
        });
    }

private:
    void loop()
    {
        std::unique_lock<std::mutex> lock(m_guard);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
            if (m_jobs.empty()) return;
            std::function<void()> job = std::move(m_jobs.front());
            m_jobs.pop();
            lock.unlock();
            job();
            lock.lock();
        }
    }

    std::mutex m_guard;
    std::condition_variable m_wake;
    std::queue<std::function<void()>> m_jobs;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace BrokerTest
