#include "common/Lpc/LpcTextTable.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

JVariant text(const char* t) { return JVariant(t, JVariant::kMaxStringLength); }

}  // namespace

TEST(LpcTextTableTest, FindsRoomNamesWhateverTheirCase)
{
    struct Case {
        JVariant value;
        uint32_t room;
    };
    const Case cases[] = {
        {text("Room"), 0},          {text("small hall"), 1},   {text("THEATRE"), 2},
        {text("Concert Hall"), 3},  {text("sYMPHONY hALL"), 4}, {text("Cathedral"), 5},
        {text("Concert  Hall"), 0}, {text("Hall"), 0},          {text(""), 0},
        {JVariant(3), 0},           {JVariant(), 0},            {text("Cathedral "), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.isValid() && c.value.toString() ? c.value.toString() : "(no text)");
        EXPECT_EQ(c.room, LPC::toRoomID(c.value));
    }
    ASSERT_EQ(6u, std::size(LPC::gl_RoomIDTable));
    EXPECT_STREQ("Symphony Hall", LPC::gl_RoomIDTable[4]);
}

TEST(LpcTextTableTest, LooksUpAnyTableInBothDirections)
{
    const char* const table[] = {"Alpha", "", "beta"};
    EXPECT_EQ(2u, LPC::toValue(table, 3, text("BETA")));
    EXPECT_EQ(0u, LPC::toValue(table, 2, text("beta")));  // only the first count texts
    EXPECT_EQ(0u, LPC::toValue(nullptr, 3, text("beta")));
    EXPECT_EQ(0u, LPC::toValue(table, 3, JVariant(2)));  // a number is no text, even beside ""
    // Only A to Z change case: other bytes must match as they are.
    const char* const accented[] = {"x", "\xC3\x89t\xC3\xA9"};
    EXPECT_EQ(1u, LPC::toValue(accented, 2, text("\xC3\x89T\xC3\xA9")));
    EXPECT_EQ(0u, LPC::toValue(accented, 2, text("\xC3\xA9t\xC3\xA9")));

    EXPECT_STREQ("Alpha", LPC::toString(table, 3, 0).toString());
    EXPECT_STREQ("", LPC::toString(table, 3, 1).toString());
    EXPECT_FALSE(LPC::toString(table, 3, 3).isValid());
    EXPECT_FALSE(LPC::toString(table, 3, 0xFFFFFFFFu).isValid());
    EXPECT_FALSE(LPC::toString(nullptr, 3, 0).isValid());
}
