#include "ossupport/ossupport_DateTime.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

using namespace OSSUPPORT;

namespace {

struct Fields {
    uint32_t v[7];
    bool operator==(const Fields& o) const { return std::equal(v, v + 7, o.v); }
};

Fields utcFieldsOf(time_t t)
{
    struct tm b {};
    gmtime_r(&t, &b);
    return Fields{{uint32_t(b.tm_year + 1900), uint32_t(b.tm_mon + 1), uint32_t(b.tm_mday), uint32_t(b.tm_wday),
                   uint32_t(b.tm_hour), uint32_t(b.tm_min), uint32_t(b.tm_sec)}};
}

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) m_old = old;
        m_hadOld = std::getenv("TZ") != nullptr;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_hadOld) setenv("TZ", m_old.c_str(), 1); else unsetenv("TZ");
        tzset();
    }

private:
    std::string m_old;
    bool m_hadOld = false;
};

}  // namespace

TEST(ossupport_DateTimeTest, ReportsUtcAndLocalTimeFieldByField)
{
    const ScopedTimeZone zone("JST-9");  // nine hours ahead, no daylight saving
    bool compared = false;
    for (int attempt = 0; attempt < 5 && !compared; ++attempt) {
        const time_t before = time(nullptr);
        Fields utc{}, local{};
        ASSERT_EQ(0u, GetUTCDateTime(&utc.v[0], &utc.v[1], &utc.v[2], &utc.v[3], &utc.v[4], &utc.v[5], &utc.v[6]));
        ASSERT_EQ(0u, GetLocalDateTime(&local.v[0], &local.v[1], &local.v[2], &local.v[3], &local.v[4],
                                       &local.v[5], &local.v[6]));
        if (time(nullptr) != before) continue;  // a second boundary passed: read again
        EXPECT_EQ(utcFieldsOf(before), utc);
        EXPECT_EQ(utcFieldsOf(before + 9 * 3600), local);
        compared = true;
    }
    EXPECT_TRUE(compared);
}

TEST(ossupport_DateTimeTest, TakesAnyOutAsOptional)
{
    uint32_t month = 0;
    EXPECT_EQ(0u, GetUTCDateTime(nullptr, &month, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_GE(month, 1u);
    EXPECT_LE(month, 12u);
    EXPECT_EQ(0u, GetLocalDateTime(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST(ossupport_DateTimeTest, TimeZoneAndClockSettersAreFixed)
{
    const ScopedTimeZone zone("UTC0");
    EXPECT_EQ(540, GetTimeZone());
    EXPECT_EQ(0u, SetTimeZone(60));
    EXPECT_EQ(540, GetTimeZone());
    EXPECT_EQ(0u, SetLocalDateTime(2000, 1, 1, 0, 0, 0));
}
