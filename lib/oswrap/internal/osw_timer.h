#pragma once
// Timer arithmetic over a given millisecond count, so the wrap of the count can be checked.
#include "oswrap/oswrap_types.h"

namespace OSWRAP::detail {

// oswrap_svcCheckOneshotTimerMs at the count `now`.
[[nodiscard]] JLIB::JResult checkOneshotAt(T_OSW_TIMER& timer, uint32_t now);
// oswrap_svcWatchFreerunTimerMs at the count `now`.
[[nodiscard]] JLIB::JResult watchFreerunAt(T_OSW_TIMER& timer, uint32_t* elapsedMs, uint32_t periodMs, uint32_t now);
// The millisecond count of a time of day.
uint32_t msCountOf(int64_t seconds, int64_t microseconds);

}  // namespace OSWRAP::detail
