#pragma once
// In-memory console transport for the debug print and shell tests: records what is sent, takes
// typed input in chunks and raises the events a network transport would.
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "dbgc/dbgc_IDebugConsoleLowIO.h"

namespace DbgcTest {

class MemoryLowIO : public DBGC::IDebugConsoleLowIO {
public:
    // Knobs a test sets before use.
    JLIB::JResult initializeResult = 0;
    JLIB::JResult sendResult = 0;
    JLIB::JResult flushResult = 0;
    JLIB::JResult runCallbackResult = 0;
    uint32_t takeAtMost = 0xFFFFFFFFu;  // bytes one send takes; 0 stalls while reporting success
    static constexpr int kStallLimit = 100;

    JLIB::JResult initialize(DBGC::IDebugConsoleLowIOCallback& callback) override
    {
        m_pCallback = &callback;
        ++initializeCalls;
        return initializeResult;
    }
    JLIB::JResult finalize() override
    {
        ++finalizeCalls;
        return 0;
    }
    JLIB::JResult pollChar() override { return 0; }

    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t* received) override
    {
        *received = 0;
        if (!buffer || size == 0) return 0x80000000u;
        while (*received < size && !m_input.empty()) {
            static_cast<uint8_t*>(buffer)[(*received)++] = m_input.front();
            m_input.pop_front();
        }
        return 0;
    }

    JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) override
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        ++sendCalls;
        *sent = 0;
        if (JLIB::isFailure(sendResult)) return sendResult;
        uint32_t take = size < takeAtMost ? size : takeAtMost;
        // A stalled transport gives in after a while, so that a writer that keeps repeating the
        // send fails its test on the call count instead of hanging it.
        if (take == 0 && sendCalls > kStallLimit) take = size;
        m_sent.append(static_cast<const char*>(data), take);
        sends.emplace_back(static_cast<const char*>(data), take);
        *sent = take;
        return sendResult;
    }

    JLIB::JResult flush() override
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        ++flushCalls;
        return flushResult;
    }

    // Delivers a pending connection, then one received event; bytes left after it raise the next.
    JLIB::JResult runCallback() override
    {
        if (JLIB::isFailure(runCallbackResult)) return runCallbackResult;
        if (m_connectPending) {
            m_connectPending = false;
            (void)m_pCallback->onLowIOPrepared(*this);
        }
        if (m_receivePending) {
            m_receivePending = false;
            (void)m_pCallback->onLowIOReceived(*this);
            if (!m_input.empty()) raiseReceived();
        }
        return 0;
    }

    void connect()
    {
        m_connectPending = true;
        (void)m_pCallback->onLowIOWakeup(*this);
    }

    void type(const std::string& chunk)
    {
        m_input.insert(m_input.end(), chunk.begin(), chunk.end());
        raiseReceived();
    }

    bool hasEvents() const { return m_connectPending || m_receivePending; }
    size_t unread() const { return m_input.size(); }

    // Everything sent since the previous call.
    std::string takeSent()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        std::string out;
        out.swap(m_sent);
        return out;
    }

    int initializeCalls = 0;
    int finalizeCalls = 0;
    int sendCalls = 0;
    int flushCalls = 0;
    std::vector<std::string> sends;  // one entry per send, as taken

private:
    void raiseReceived()
    {
        m_receivePending = true;
        if (m_pCallback) (void)m_pCallback->onLowIOWakeup(*this);
    }

    DBGC::IDebugConsoleLowIOCallback* m_pCallback = nullptr;
    std::deque<uint8_t> m_input;
    bool m_connectPending = false;
    bool m_receivePending = false;
    std::mutex m_mutex;  // printing tasks send concurrently
    std::string m_sent;
};

}  // namespace DbgcTest
