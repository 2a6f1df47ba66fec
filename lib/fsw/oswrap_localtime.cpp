#include "fsw/oswrap_localtime.h"

#include <ctime>

namespace {

struct tm toBrokenDown(const T_FSW_DATETIME& in)
{
    struct tm t {};
    t.tm_year = in.year - 1900;
    t.tm_mon = in.month - 1;
    t.tm_mday = in.day;
    t.tm_hour = in.hour;
    t.tm_min = in.minute;
    t.tm_sec = in.second;
    return t;
}

void fromBrokenDown(const struct tm& t, T_FSW_DATETIME* out)
{
    out->year = static_cast<uint16_t>(t.tm_year + 1900);
    out->month = static_cast<uint8_t>(t.tm_mon + 1);
    out->day = static_cast<uint8_t>(t.tm_mday);
    out->hour = static_cast<uint8_t>(t.tm_hour);
    out->minute = static_cast<uint8_t>(t.tm_min);
    out->second = static_cast<uint8_t>(t.tm_sec);
}

}  // namespace

JLIB::JResult oswrap_UTCtoLocalTime(T_FSW_DATETIME* local, const T_FSW_DATETIME* utc)
{
    if (!local || !utc) return kFswFailed;
    struct tm t = toBrokenDown(*utc);
    const time_t value = timegm(&t);
    struct tm out {};
    if (!localtime_r(&value, &out)) return kFswFailed;
    fromBrokenDown(out, local);
    return kFswOk;
}

JLIB::JResult oswrap_LocalTimetoUTC(T_FSW_DATETIME* utc, const T_FSW_DATETIME* local)
{
    if (!utc || !local) return kFswFailed;
    struct tm t = toBrokenDown(*local);
    t.tm_isdst = 0;
    const time_t value = mktime(&t);
    struct tm out {};
    if (!gmtime_r(&value, &out)) return kFswFailed;
    fromBrokenDown(out, utc);
    return kFswOk;
}
