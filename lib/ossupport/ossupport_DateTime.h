#pragma once
// Current date and time as separate numbers. Any task may call; no state.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace OSSUPPORT {

// Each out may be null: full year, month 1-12, day 1-31, weekday 0 (Sunday) to 6,
// hour, minute, second. Always 0.
JLIB::JResult GetLocalDateTime(uint32_t* year, uint32_t* month, uint32_t* day, uint32_t* weekday,
                               uint32_t* hour, uint32_t* minute, uint32_t* second);
JLIB::JResult GetUTCDateTime(uint32_t* year, uint32_t* month, uint32_t* day, uint32_t* weekday,
                             uint32_t* hour, uint32_t* minute, uint32_t* second);

// Fixed on this platform: 540 whatever the machine's zone; the setters do nothing and return 0.
int32_t GetTimeZone();
JLIB::JResult SetTimeZone(int32_t zone);
JLIB::JResult SetLocalDateTime(uint32_t year, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute,
                               uint32_t second);

}  // namespace OSSUPPORT
