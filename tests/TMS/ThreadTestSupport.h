#pragma once
// A thread that records its hooks, for the thread framework tests. Records are read by the
// test's task while the thread writes them, so they sit behind a mutex.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "TMS/AbstractThread.h"
#include "TMS/TmsTestSupport.h"

namespace TmsTest {

using namespace std::chrono_literals;

// A gate a hook can wait behind until the test opens it.
class Gate {
public:
    void close() { m_open = false; }
    void open() { m_open = true; }
    // Called by the thread; bounded so a broken test cannot hang the run (long enough to outlast
    // the 10 s of a waiting send).
    void pass()
    {
        m_waiting = true;
        (void)waitFor([&] { return m_open.load(); }, 20s);
        m_waiting = false;
    }
    bool isWaiting() const { return m_waiting.load(); }

private:
    std::atomic<bool> m_open{true};
    std::atomic<bool> m_waiting{false};
};

template <typename Base>
class Recording : public Base {
public:
    using Base::Base;
    ~Recording() override
    {
        if (this->getTaskId() != TMS::AbstractThread::kNoId) (void)this->release();  // before our hooks go
    }

    std::vector<std::string> records() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_records;
    }
    size_t count(const std::string& record) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        size_t n = 0;
        for (const std::string& r : m_records) n += (r == record) ? 1 : 0;
        return n;
    }
    void clearRecords()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.clear();
    }
    void record(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.push_back(text);
    }
    // Runs inside onReceiveMessage for user messages, before the record is made.
    std::function<void(const TMS::AbstractMessage&)> onUserMessage;
    std::function<void()> onSystemInfo;
    std::function<void()> onInit;  // runs in onInitialize, on the thread's task
    Gate statusGate;  // onChangeStatus waits here
    Gate messageGate;  // onReceiveMessage waits here for user messages
    // Whether the hooks that fire often (wakeup, system information) are recorded.
    std::atomic<bool> recordWakeups{false};

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override
    {
        record("init");
        const JLIB::JResult result = Base::onInitialize(arguments);
        if (onInit) onInit();
        return result;
    }
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override
    {
        statusGate.pass();
        record(std::string("status:") + TMS::AbstractThread::getStatusString(status));
        return Base::onChangeStatus(status, arguments);
    }
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override
    {
        record("event:" + std::to_string(eventNumber));
        return Base::onReceiveEvent(eventNumber);
    }
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        const bool user = message.messageType() == TMS::kMessageUser;
        if (user) messageGate.pass();
        if (user && onUserMessage) onUserMessage(message);
        record((user ? "msg:" : "selfsys:") + std::to_string(message.messageId()));
        return Base::onReceiveMessage(message);
    }
    JLIB::JResult onReceiveSysMessage(const TMS::AbstractMessage& message) override
    {
        record("sys:" + std::to_string(message.messageId()));
        return Base::onReceiveSysMessage(message);
    }
    JLIB::JResult onChangeChildStatus() override
    {
        if (recordWakeups) record("child");
        return Base::onChangeChildStatus();
    }
    JLIB::JResult onChangeSystemInfo() override
    {
        if (onSystemInfo) onSystemInfo();
        return Base::onChangeSystemInfo();
    }
    JLIB::JResult onWakeup() override
    {
        if (recordWakeups) record("wakeup");
        return Base::onWakeup();
    }
    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override
    {
        record("timer:" + std::to_string(timerId));
        return Base::onTimer(timerId, count);
    }
    JLIB::JResult onFinalize() override
    {
        record("final");
        return Base::onFinalize();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_records;
};

using RecordingThread = Recording<TMS::AbstractThread>;

// Sets a thread up with the sizes the system uses and waits until its loop runs.
template <typename Thread>
bool setUpThread(Thread& thread, const char* name, uint8_t startOrder = 0, uint32_t periodMs = 0)
{
    if (thread.initialize(name, 0, startOrder, 20000, 20000, 100, periodMs, TMS::getNullDataMap()) != 0) return false;
    return waitFor([&] { return thread.getStatus() == TMS::kStatusStop; }, 2s);
}

// Whether the thread's log ring holds this exact line.
inline bool hasLogLine(TMS::AbstractThread& thread, const std::string& line)
{
    char buffer[TMS::ThreadLogger::kLineSize];
    for (uint32_t i = 0; i < thread.logger().size(); ++i) {
        if (thread.logger().get(i, buffer, sizeof(buffer)) == 0 && line == buffer) return true;
    }
    return false;
}

}  // namespace TmsTest
