#pragma once
// Test owner of socket objects: a thread that runs the test's steps, is woken through
// IVComWakeupFunction and then calls runCallback of the objects it watches, recording every event
// as text together with whether it ran on the owner's thread.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "VUviRido/Socket/IVCom.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "vsock/VsockTestSupport.h"
#include "vsock/vsock.h"

namespace vcomtest {

using vsocktest::waitFor;

inline bool startLayers() { return vsocktest::startOsLayer() && vsock_initModule() == 0; }


class TestOwner : public VCOM::IVComWakeupFunction, public VCOM::IVComCallback {
public:
    using Hook = std::function<void(const std::string& name, uint32_t user, signed char session)>;

    TestOwner() : m_thread([this] { loop(); }) {}
    ~TestOwner() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

    // Runs fn on the owner thread and answers its result; the wait is bounded.
    template <typename F>
    auto call(F fn) -> decltype(fn())
    {
        using R = decltype(fn());
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(fn));
        std::future<R> done = task->get_future();
        post([task] { (*task)(); });
        if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the owner thread did not run the step";
            std::abort(); // the step still refers to the caller's frame
        }
        return done.get();
    }

    void watch(VCOM::IVCom& object)
    {
        call([this, &object] { m_watched.push_back(&object); });
    }
    void unwatchAll()
    {
        call([this] { m_watched.clear(); });
    }
    // Runs inside each recorded event, on the owner thread.
    void setHook(Hook hook)
    {
        call([this, hook] { m_hook = hook; });
    }

    std::vector<std::string> events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    int count(const std::string& event)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        int n = 0;
        for (const std::string& e : m_events) n += e == event ? 1 : 0;
        return n;
    }
    bool waitForEvent(const std::string& event, int times = 1)
    {
        return waitFor([&] { return count(event) >= times; });
    }
    void clearEvents()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.clear();
    }
    int offThreadEvents() const { return m_offThread.load(); }
    int wakeups() const { return m_wakeups.load(); }

    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override
    {
        ++m_wakeups;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_all();
        return 0;
    }

    JLIB::JResult onConnected(uint32_t u, signed char s) override { return record("connected", u, s); }
    JLIB::JResult onConnectionFailed(uint32_t u, signed char s, VCOM::ConnectionError e) override
    {
        return record("connectionFailed " + std::to_string(e), u, s);
    }
    JLIB::JResult onDisconnected(uint32_t u, signed char s) override { return record("disconnected", u, s); }
    JLIB::JResult onAccepted(uint32_t u, signed char s, signed char n) override
    {
        return record("accepted " + std::to_string(n), u, s);
    }
    JLIB::JResult onReceived(uint32_t u, signed char s) override { return record("received", u, s); }
    JLIB::JResult onSent(uint32_t u, signed char s) override { return record("sent", u, s); }
    JLIB::JResult onCommunicationFailed(uint32_t u, signed char s, VCOM::CommError e) override
    {
        return record("commFailed " + std::to_string(e), u, s);
    }

private:
    // Event text: name, then "u<user> s<session>".
    JLIB::JResult record(const std::string& name, uint32_t user, signed char session)
    {
        if (std::this_thread::get_id() != m_thread.get_id()) ++m_offThread;
        const std::string text = name + " u" + std::to_string(user) + " s" + std::to_string(session);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.push_back(text);
        }
        if (m_hook) m_hook(name, user, session);
        return 0;
    }

    void post(std::function<void()> step)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_steps.push_back(std::move(step));
        }
        m_cv.notify_all();
    }

    void loop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (true) {
            m_cv.wait(lock, [this] { return m_quit || m_woken || !m_steps.empty(); });
            if (m_quit) return;
            std::deque<std::function<void()>> steps;
            steps.swap(m_steps);
            const bool woken = m_woken;
            m_woken = false;
            lock.unlock();
            for (auto& step : steps) step();
            if (woken) {
                for (VCOM::IVCom* object : m_watched) (void)object->runCallback(*this); // idle objects answer 0x80000081
            }
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_steps;
    bool m_woken = false;
    bool m_quit = false;
    std::vector<std::string> m_events;
    std::vector<VCOM::IVCom*> m_watched;  // owner thread only
    Hook m_hook;                          // owner thread only
    std::atomic<int> m_offThread{0};
    std::atomic<int> m_wakeups{0};
    std::thread m_thread;
};

}  // namespace vcomtest

namespace vcomtest {

inline VCOM::VComSocketAddress loopbackAddress() { return VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"); }

// Reads exactly length bytes from a blocking descriptor, each wait bounded.
inline bool readAll(int fd, void* buffer, size_t length)
{
    timeval tv = {5, 0};
    (void)::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    size_t got = 0;
    while (got < length) {
        const ssize_t n = ::recv(fd, static_cast<char*>(buffer) + got, length - got, 0);
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

// Whether the peer closed: recv answers 0 (or a reset) within the bound.
inline bool seesClose(int fd)
{
    timeval tv = {5, 0};
    (void)::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    char c = 0;
    const ssize_t n = ::recv(fd, &c, 1, 0);
    return n == 0 || (n < 0 && errno == ECONNRESET);
}

}  // namespace vcomtest
