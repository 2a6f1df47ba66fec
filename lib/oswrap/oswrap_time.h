#pragma once
// Millisecond and microsecond counts of the time of day, sleeping, and millisecond timer records.
// The millisecond count is unsigned 32-bit and wraps about every 49.7 days: only differences of it
// mean anything. Any task may call; a timer record belongs to one user and is not locked.
#include "oswrap/oswrap_types.h"

// seconds * 1000 + microseconds / 1000 of the time of day, cut to 32 bits (0 when unreadable).
// 0, or 0x80000005 for a null pointer.
[[nodiscard]] JLIB::JResult oswrap_Get1msCount(uint32_t* count);
uint32_t get1msCount();
// Seconds (cut to 32 bits) and microseconds of the time of day; both 0 when unreadable.
[[nodiscard]] JLIB::JResult oswrap_Get1usCount(uint32_t* seconds, uint32_t* microseconds);
// The system clock unit is one millisecond: both return the value unchanged.
uint32_t oswrap_CnvSysClk(uint32_t value);
uint32_t oswrap_CnvSysClkToMsec(uint32_t value);
// Sleeps the calling thread; returns 0.
JLIB::JResult oswrap_WaiTsk(uint32_t milliseconds);
JLIB::JResult oswrap_yield();
// Does nothing; returns 0.
JLIB::JResult oswrap_RotRdq(uint16_t priority);
// 0x80000002.
[[nodiscard]] JLIB::JResult oswrap_VsysClk();
[[nodiscard]] JLIB::JResult oswrap_RefSys(void* record);

// Timer records; a null record gives 0x80000005 everywhere.
[[nodiscard]] JLIB::JResult oswrap_svcInitTimerMs(T_OSW_TIMER* timer);
[[nodiscard]] JLIB::JResult oswrap_svcStopTimerMs(T_OSW_TIMER* timer);
// Starts or restarts a one-shot; 0x80000008 on a free-running timer.
[[nodiscard]] JLIB::JResult oswrap_svcStartOneshotTimerMs(T_OSW_TIMER* timer, uint32_t durationMs);
// 12 once the duration has passed (the timer stays expired), 0 while running, 0x80000008 when
// stopped or free-running. Survives the wrap of the millisecond count.
[[nodiscard]] JLIB::JResult oswrap_svcCheckOneshotTimerMs(T_OSW_TIMER* timer);
// 0x80000008 on a running or expired one-shot.
[[nodiscard]] JLIB::JResult oswrap_svcStartFreerunTimerMs(T_OSW_TIMER* timer);
// 12 when the elapsed time has reached the period, else 0; *elapsedMs (optional) gets the elapsed
// time, 0 on failure. 0x80000008 when not free-running.
[[nodiscard]] JLIB::JResult oswrap_svcWatchFreerunTimerMs(T_OSW_TIMER* timer, uint32_t* elapsedMs, uint32_t periodMs);
// 0 unless stopped (0x80000008).
[[nodiscard]] JLIB::JResult oswrap_svcIsActiveTimerMs(T_OSW_TIMER* timer);
