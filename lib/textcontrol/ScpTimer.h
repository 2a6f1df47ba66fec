#pragma once
// A one-shot millisecond timer over the OS layer's timer record: stopped, running, or run out
// (and then run out until started or stopped again). Copies carry the record's state. Not locked:
// one owner at a time.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "oswrap/oswrap_types.h"

namespace SCP {

class ScpTimer {
public:
    ScpTimer();
    ScpTimer(const ScpTimer& other) = default;
    ScpTimer& operator=(const ScpTimer& other) = default;
    virtual ~ScpTimer();

    // Runs out durationMs from now (0 runs out at once). 0, or 0x80000000 when the OS layer refuses.
    JLIB::JResult start(uint32_t durationMs);
    // 0, or 0x80000000 when the OS layer refuses.
    JLIB::JResult stop();
    // True once at least the duration has passed since the start; not const, because the record
    // then notes that it ran out.
    bool isExpired();
    // True while running or run out, false once stopped.
    bool isActive();

private:
    T_OSW_TIMER m_timer;
};

}  // namespace SCP
