#include "fsw/oswrap_localtime.h"

#include <gtest/gtest.h>

#include "fsw/TempFolder.h"

namespace {

void expectRecord(const T_FSW_DATETIME& expected, const T_FSW_DATETIME& actual)
{
    EXPECT_EQ(expected.year, actual.year);
    EXPECT_EQ(expected.month, actual.month);
    EXPECT_EQ(expected.day, actual.day);
    EXPECT_EQ(expected.hour, actual.hour);
    EXPECT_EQ(expected.minute, actual.minute);
    EXPECT_EQ(expected.second, actual.second);
}

}  // namespace

TEST(oswrap_localtimeTest, ConvertsBetweenUtcAndLocalTime)
{
    const ScopedTimeZone zone("JST-9");
    struct Case { T_FSW_DATETIME utc; T_FSW_DATETIME local; };
    const Case cases[] = {
        {{2024, 1, 1, 20, 0, 0}, {2024, 1, 2, 5, 0, 0}},
        {{2023, 12, 31, 15, 30, 59}, {2024, 1, 1, 0, 30, 59}},
        {{2024, 2, 28, 23, 59, 59}, {2024, 2, 29, 8, 59, 59}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.utc.year << "-" << int(c.utc.month) << "-" << int(c.utc.day));
        T_FSW_DATETIME out{};
        ASSERT_EQ(0u, oswrap_UTCtoLocalTime(&out, &c.utc));
        expectRecord(c.local, out);
        out = T_FSW_DATETIME{};
        ASSERT_EQ(0u, oswrap_LocalTimetoUTC(&out, &c.local));
        expectRecord(c.utc, out);
    }
}

TEST(oswrap_localtimeTest, RefusesNullArguments)
{
    T_FSW_DATETIME record{2024, 1, 1, 0, 0, 0};
    EXPECT_EQ(0x80000000u, oswrap_UTCtoLocalTime(nullptr, &record));
    EXPECT_EQ(0x80000000u, oswrap_UTCtoLocalTime(&record, nullptr));
    EXPECT_EQ(0x80000000u, oswrap_LocalTimetoUTC(nullptr, &record));
    EXPECT_EQ(0x80000000u, oswrap_LocalTimetoUTC(&record, nullptr));
}
