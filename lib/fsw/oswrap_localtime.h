#pragma once
// Conversions of date-time records between UTC and the machine's local time. Any task may call.
#include "fsw/fsw_api.h"

// 0, or kFswFailed for a null argument. The fields are not range-checked.
[[nodiscard]] JLIB::JResult oswrap_UTCtoLocalTime(T_FSW_DATETIME* local, const T_FSW_DATETIME* utc);
// The record is read as local standard time (no daylight saving).
[[nodiscard]] JLIB::JResult oswrap_LocalTimetoUTC(T_FSW_DATETIME* utc, const T_FSW_DATETIME* local);
