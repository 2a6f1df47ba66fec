#include "ossupport/ossupport_DateTime.h"

#include <ctime>

namespace OSSUPPORT {

namespace {

void store(uint32_t* out, int value)
{
    if (out) *out = static_cast<uint32_t>(value);
}

void split(const struct tm& t, uint32_t* year, uint32_t* month, uint32_t* day, uint32_t* weekday,
           uint32_t* hour, uint32_t* minute, uint32_t* second)
{
    store(year, t.tm_year + 1900);
    store(month, t.tm_mon + 1);
    store(day, t.tm_mday);
    store(weekday, t.tm_wday);
    store(hour, t.tm_hour);
    store(minute, t.tm_min);
    store(second, t.tm_sec);
}

}  // namespace

JLIB::JResult GetLocalDateTime(uint32_t* year, uint32_t* month, uint32_t* day, uint32_t* weekday,
                               uint32_t* hour, uint32_t* minute, uint32_t* second)
{
    const time_t now = time(nullptr);
    struct tm t {};
    (void)localtime_r(&now, &t);  // cannot fail for the current time
    split(t, year, month, day, weekday, hour, minute, second);
    return JLIB::kOk;
}

JLIB::JResult GetUTCDateTime(uint32_t* year, uint32_t* month, uint32_t* day, uint32_t* weekday,
                             uint32_t* hour, uint32_t* minute, uint32_t* second)
{
    const time_t now = time(nullptr);
    struct tm t {};
    (void)gmtime_r(&now, &t);  // cannot fail for the current time
    split(t, year, month, day, weekday, hour, minute, second);
    return JLIB::kOk;
}

int32_t GetTimeZone() { return 540; }

JLIB::JResult SetTimeZone(int32_t) { return JLIB::kOk; }

JLIB::JResult SetLocalDateTime(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) { return JLIB::kOk; }

}  // namespace OSSUPPORT
