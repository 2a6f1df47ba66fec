#pragma once
// The host of a real OSC server in the tests: a thread that creates, drives and destroys the
// server, as the device's server thread does. It is woken through IVComWakeupFunction and then
// runs the socket pass; every 30 ms it runs the timer pass; test steps run on it through call.
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "OscServer/OscCore/OscServer.h"
#include "OscServer/OscCore/internal/OscServerProbe.h"
#include "OscPeer.h"
#include "OscServerTestSupport.h"
#include "vsock/vsock.h"

namespace OscTest {

inline bool startSocketLayer() { return startOsLayer() && vsock_initModule() == 0; }

inline uint32_t ignoreChange(uint16_t, uint8_t, uint32_t, uint32_t, uint32_t) { return 0; }

class OscServerHost : public VCOM::IVComWakeupFunction {
public:
    OscServerHost() : m_thread([this] { loop(); }) {}
    ~OscServerHost() override
    {
        call([this] {
            JOSC::destroyOscServer(m_server);
            m_server = nullptr;
        });
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    OscServerHost(const OscServerHost&) = delete;
    OscServerHost& operator=(const OscServerHost&) = delete;

    // Creates the server on the host thread and initialises it on 127.0.0.1 with 10 slots.
    JLIB::JResult start(uint16_t txPort, uint16_t rxPort, JOSC::OscChangeFunction change = ignoreChange)
    {
        return call([&] {
            m_server = JOSC::createOscServer(0);
            if (!m_server) return JLIB::kFailed;
            return m_server->initialize(10, VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"), txPort, rxPort, this,
                                        change, device, parameters, meters, JOSC::kNetworkOrigin1);
        });
    }

    // Host thread only (inside call).
    JOSC::OscServer& server() { return *static_cast<JOSC::OscServer*>(m_server); }
    size_t activeSlots()
    {
        return call([this] { return JOSC::internal::OscServerProbe::activeSlots(server()).size(); });
    }

    // Runs fn on the host thread and answers its result; the wait is bounded.
    template <typename F>
    auto call(F fn) -> decltype(fn())
    {
        using R = decltype(fn());
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(fn));
        std::future<R> done = task->get_future();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_steps.push_back([task] { (*task)(); });
        }
        m_cv.notify_all();
        if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the host thread did not run the step";
            std::abort();  // the step still refers to the caller's frame
        }
        return done.get();
    }

    // How often the socket layer woke the host: once per datagram that reached a socket.
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

    TestDevice device;
    TestParameter parameters;
    TestMeter meters;

private:
    void loop()
    {
        constexpr auto kTick = std::chrono::milliseconds(30);
        auto nextTick = std::chrono::steady_clock::now() + kTick;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_quit) {
            m_cv.wait_until(lock, nextTick, [this] { return m_quit || m_woken || !m_steps.empty(); });
            if (m_quit) return;
            std::deque<std::function<void()>> steps;
            steps.swap(m_steps);
            const bool woken = m_woken;
            m_woken = false;
            lock.unlock();
            for (auto& step : steps) step();
            if (m_server && woken) (void)m_server->runSocketCallback();  // always 0
            if (std::chrono::steady_clock::now() >= nextTick) {
                nextTick += kTick;
                if (m_server) (void)m_server->onTimer();  // always 0
            }
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_steps;
    bool m_woken = false;
    bool m_quit = false;
    std::atomic<int> m_wakeups{0};
    JOSC::IOscServer* m_server = nullptr;  // host thread only
    std::thread m_thread;
};

}  // namespace OscTest
