#include "textcontrol/ScpElementAlNum.h"

#include <gtest/gtest.h>

TEST(ScpElementAlNumTest, CopiesIntoLatin1Buffers)
{
    SCP::ScpElementAlNum alnum;
    char buffer[8] = "poison";
    EXPECT_EQ(0u, alnum.get(buffer, sizeof buffer));
    EXPECT_STREQ("", buffer) << "an empty value is an empty text";
    ASSERT_EQ(0u, alnum.set(L"ab\u00E9\u20AC"));
    EXPECT_EQ(0u, alnum.get(buffer, sizeof buffer));
    EXPECT_STREQ("ab\xE9 ", buffer);
    char small[3];
    EXPECT_EQ(3u, alnum.get(small, sizeof small));
    EXPECT_STREQ("ab", small);
    EXPECT_EQ(0x80000004u, alnum.get(nullptr, 4));
    EXPECT_EQ(0x80000004u, alnum.get(buffer, 0));
}
