#pragma once
// Event flag groups: a 32-bit pattern with OR (OSWRAP::kWaitOr) or AND (OSWRAP::kWaitAnd) pattern
// tests; with attribute OSWRAP::kFlagClearOnRead a satisfied poll or wait clears the bits it saw.
// Any task may call any operation; set, clear, poll and wait take no module lock.
#include "oswrap/oswrap_types.h"

// Id 1..99. 0x80000005 for a null record or bad id, 0x80000008 when taken, 0x80000013 when the
// wait object cannot be made.
[[nodiscard]] JLIB::JResult oswrap_CreFlg(uint16_t id, const T_OSW_CFLG* pk);
// Picks the highest free id in 100..200; *id is 0 when the create failed and untouched on 0x80000010.
[[nodiscard]] JLIB::JResult oswrap_AcreFlg(uint16_t* id, const T_OSW_CFLG* pk);
// 0x80000007 when not created. Waits (holding the module lock) for running set/clear/poll calls to
// leave; a task blocked in a wait wakes with 0x80000007.
[[nodiscard]] JLIB::JResult oswrap_DelFlg(uint16_t id);
// pattern |= bits, then wakes waiters.
[[nodiscard]] JLIB::JResult oswrap_SetFlg(uint16_t id, uint32_t bits);
// pattern &= mask (the mask names the bits that stay), then wakes waiters.
[[nodiscard]] JLIB::JResult oswrap_ClrFlg(uint16_t id, uint32_t mask);
// One test without waiting: 0x8000000C and *pattern 0 when not met; else *pattern is the whole
// pattern that was read.
[[nodiscard]] JLIB::JResult oswrap_PolFlg(uint32_t* pattern, uint16_t id, uint32_t waitPattern, uint32_t mode);
[[nodiscard]] JLIB::JResult oswrap_WaiFlg(uint32_t* pattern, uint16_t id, uint32_t waitPattern, uint32_t mode);
// Time-out 0 tests once, -1 waits without limit; each wake-up waits the whole time-out again.
// 0x8000000C on time-out, 0x80000013 when the wait fails, 0x80000007 when deleted meanwhile.
[[nodiscard]] JLIB::JResult oswrap_TwaiFlg(uint32_t* pattern, uint16_t id, uint32_t waitPattern, uint32_t mode,
                                           int32_t timeoutMs);
// 0x80000002.
[[nodiscard]] JLIB::JResult oswrap_SetFlgFromISR(uint16_t id, uint32_t bits);
[[nodiscard]] JLIB::JResult oswrap_ClrFlgFromISR(uint16_t id, uint32_t mask);
// First created group whose name matches over 9 characters; 0x8000000E when none.
[[nodiscard]] JLIB::JResult oswrap_VinqFlg(uint16_t* id, const char* name);
