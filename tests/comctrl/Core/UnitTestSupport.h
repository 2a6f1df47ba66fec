#pragma once
// Helpers for the link unit tests: an executor that records what it ran, the test thread as the
// owner of units (wake-ups from the socket task, runCallback and a 50 ms periodicHandle on the
// test thread) and builders of event-port commands.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "comctrl/Core/comctrl_AbstractUnit.h"
#include "comctrl/Core/comctrl_EventMessengerProtocol.h"
#include "comctrl/Core/comctrl_IEventExecutor.h"
#include "comctrl/Core/comctrl_IUnitConnectObserver.h"

namespace comctrltest {

struct ExecutedEvent {
    uint32_t user;
    std::string name;
    std::string text;
    bool operator==(const ExecutedEvent& o) const { return user == o.user && name == o.name && text == o.text; }
};

inline std::ostream& operator<<(std::ostream& os, const ExecutedEvent& e)
{
    return os << "{" << e.user << ", \"" << e.name << "\", \"" << e.text << "\"}";
}

class RecordingExecutor : public ComControl::IEventExecutor {
public:
    std::vector<ExecutedEvent> events;
    uint32_t result = 0;                                 // a set top bit refuses
    std::function<void(const ExecutedEvent&)> inside;    // runs inside execute

    uint32_t execute(uint32_t user, const char* name, const char* text) override
    {
        events.push_back(ExecutedEvent{user, name, text});
        if (inside) inside(events.back());
        return result;
    }
    // Events received with this name.
    size_t count(const std::string& name) const
    {
        size_t n = 0;
        for (const ExecutedEvent& e : events) n += e.name == name ? 1 : 0;
        return n;
    }
};

// The test thread owns the units: pump waits for wake-ups and ticks and delivers them on it.
class LinkOwner : public VCOM::IVComWakeupFunction, public ComControl::IUnitConnectObserver {
public:
    using Clock = std::chrono::steady_clock;

    std::vector<std::string> log;               // "connected 3", ...: test thread only
    std::vector<std::function<void()>> onWake;  // runCallback of each unit or service
    std::vector<std::function<void()>> onTick;  // periodicHandle(50) of each

    // Delivers until done() holds or the limit passed; false on the limit.
    bool pump(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        const auto deadline = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > deadline) return false;
            step(deadline);
        }
        return true;
    }
    // Delivers for a while: for checks of what a tick-driven side does meanwhile.
    void runFor(std::chrono::milliseconds span) { (void)pump([] { return false; }, span); }
    bool logged(const std::string& entry, size_t times = 1) const
    {
        size_t n = 0;
        for (const std::string& e : log) n += e == entry ? 1 : 0;
        return n >= times;
    }

    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_one();
        return 0;
    }

    void connected(int32_t id) override { log.push_back("connected " + std::to_string(id)); }
    void connectFailed(int32_t id) override { log.push_back("connectFailed " + std::to_string(id)); }
    void disconnected(int32_t id) override { log.push_back("disconnected " + std::to_string(id)); }
    void unitStateChanged(int32_t id) override { log.push_back("stateChanged " + std::to_string(id)); }

private:
    void step(Clock::time_point deadline)
    {
        const auto until = std::min(m_nextTick, deadline);
        bool woken = false;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait_until(lock, until, [this] { return m_woken; });
            woken = m_woken;
            m_woken = false;
        }
        if (woken) {
            for (auto& f : onWake) f();
        }
        if (Clock::now() >= m_nextTick) {
            for (auto& f : onTick) f();
            m_nextTick = Clock::now() + std::chrono::milliseconds(50);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
    Clock::time_point m_nextTick = Clock::now();
};

// An event or answer command as the codec writes it.
inline std::string eventCommand(const char* name, const char* text, uint32_t id = 0)
{
    uint8_t buffer[ComControl::EventMessengerProtocol::kMaxBufferSize];
    uint32_t length = 0;
    if (ComControl::EventMessengerProtocol::Encode_Event(buffer, sizeof(buffer), &length, name, text, id) != 0) return "";
    return std::string(reinterpret_cast<const char*>(buffer), length);
}

inline std::string answerCommand(uint32_t id, const char* name, const char* text, uint32_t code = 0)
{
    uint8_t buffer[ComControl::EventMessengerProtocol::kMaxBufferSize];
    uint32_t length = 0;
    if (ComControl::EventMessengerProtocol::Encode_EventAnswer(buffer, sizeof(buffer), &length, id, name, text, code) != 0) {
        return "";
    }
    return std::string(reinterpret_cast<const char*>(buffer), length);
}

// The engine's set-up of a unit initialised with 1 event port, 11 database synchronisers, 1 file
// port and 3 directories.
inline void nameLikeTheEngine(ComControl::AbstractUnit& unit)
{
    static const char* const kDatabases[] = {"PRF", "DVS", "STS", "LCS", "VDS", "CMS", "STT", "SSI", "PSI", "PJI", "CMP"};
    static const char* const kDirectories[] = {"P_S", "S_S", "L_D"};
    ASSERT_EQ(0u, unit.setEventPortName(0, "EVT"));
    for (uint32_t i = 0; i < 11; ++i) ASSERT_EQ(0u, unit.setPdbPortName(i, kDatabases[i]));
    ASSERT_EQ(0u, unit.setFilePortName(0, "C_R"));
    for (uint32_t i = 0; i < 3; ++i) ASSERT_EQ(0u, unit.setDirectoryPortName(i, kDirectories[i]));
}

}  // namespace comctrltest
