#pragma once
// A periodic or one-shot software timer, a plain value held in its thread's timer list and run
// on that thread's task. Its expiries go to a borrowed observer.
#include <cstdint>

#include "TMS/IObjectTimer.h"

namespace TMS {

class IObjectTimerObserver;

class ObjectTimer : public IObjectTimer {
public:
    static constexpr uint32_t kNoId = 0xFFFFFFFFu;
    static constexpr JLIB::JResult kZeroInterval = 0x80000002u;

    ObjectTimer() = default;
    ObjectTimer(const ObjectTimer&) = default;
    ObjectTimer& operator=(const ObjectTimer&) = default;

    // 0x80000000 while invalid. Starting a running timer starts it afresh.
    JLIB::JResult start() override;
    JLIB::JResult stop() override;
    JLIB::JResult restart() override;
    uint32_t getTimerId() const override { return m_id; }
    uint32_t getCount() const override { return m_count; }
    uint32_t getElapsedTime() const override;
    bool isValid() const override { return m_state != kInvalid; }
    bool isRunning() const override { return m_state == kRunning; }
    bool isNull() const override { return false; }
    // Prints "[id, count] m_PrevTime = XXXXXXXX" to standard output.
    JLIB::JResult dump() const override;
    ~ObjectTimer() override = default;

    // A stopped timer without observer, which never fires.
    JLIB::JResult initialize(uint32_t id);
    // Interval 0: 0x80000002, nothing changed. The observer is borrowed.
    JLIB::JResult initialize(uint32_t id, uint32_t intervalMs, bool oneShot, IObjectTimerObserver* observer);
    JLIB::JResult release();
    // Owner task only: counts the intervals passed and tells the observer once per run. The
    // observer is called last, so it may restart, delete or add timers.
    JLIB::JResult run();

private:
    static constexpr uint8_t kInvalid = 0;
    static constexpr uint8_t kStopped = 1;
    static constexpr uint8_t kRunning = 2;

    uint32_t m_id = kNoId;
    uint32_t m_interval = 0;
    bool m_oneShot = false;
    IObjectTimerObserver* m_pObserver = nullptr;  // borrowed; usually the owning thread
    uint8_t m_state = kInvalid;
    uint32_t m_prevTime = 0;
    uint32_t m_count = 0;
};

}  // namespace TMS
