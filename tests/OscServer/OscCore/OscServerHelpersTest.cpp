#include "OscServer/OscCore/OscServerHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Pieces = std::vector<std::string>;

TEST(OscServerHelpersTest, SplitKeepsOrderAndDropsEmptyPiecesOnlyWhenAsked)
{
    struct Case {
        const char* text;
        const char* separator;
        bool drop;
        Pieces pieces;
    };
    const Case cases[] = {
        {"a/b/c", "/", true, {"a", "b", "c"}},
        {"/a//b/", "/", true, {"a", "b"}},
        {"/a//b/", "/", false, {"", "a", "", "b", ""}},
        {"", "/", false, {""}},
        {"", "/", true, {}},
        {"a::b", "::", true, {"a", "b"}},
        {"abc", "", true, {"abc"}},  // an empty separator cuts nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Pieces pieces = {"kept"};  // split appends
        JOSC::split(pieces, c.text, c.separator, c.drop);
        Pieces expected = {"kept"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(expected, pieces);
    }
}

TEST(OscServerHelpersTest, IndexTextsConvertBetweenOriginsWithinThirtyTwoBits)
{
    struct Case {
        const char* text;
        bool digit;
        const char* from1;  // convertOrign1to0
        const char* to1;    // convertOrign0to1
    };
    const Case cases[] = {
        {"3", true, "2", "4"},
        {"1", true, "0", "2"},
        {"0", true, "", "1"},
        {"-1", true, "", ""},
        {"-", false, "", ""},
        {"", false, "", ""},
        {"12a", false, "", ""},
        {" 4", false, "", ""},
        {"007", true, "6", "8"},
        {"2147483647", true, "2147483646", "2147483648"},
        {"2147483648", true, "", ""},  // not a 32-bit number
        {"4294967295", true, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.digit, JOSC::checkDigit(c.text));
        EXPECT_EQ(c.from1, JOSC::convertOrign1to0(c.text));
        EXPECT_EQ(c.to1, JOSC::convertOrign0to1(c.text));
    }
}

TEST(OscServerHelpersTest, ErrorValueNamesTheIndexAndFallsBackToInternalError)
{
    struct Case {
        uint32_t code;
        const char* name;
    };
    const Case cases[] = {
        {0x80000000u, "InternalError"},  {0x80000001u, "UnknownCommand"}, {0x80000004u, "InvalidArgument"},
        {0x80000005u, "UnknownAddress"}, {0x80000006u, "UnknownEventID"}, {0x8000000Du, "Clipped"},
        {0x8000000Eu, "InternalError"},  {0x80000084u, "InternalError"},  {0xFACE0001u, "InternalError"},
        {0x00000005u, "UnknownAddress"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const JVariant name = JOSC::makeErrorValue(c.code);
        ASSERT_EQ(JVariant::kTypeString, name.getType());
        EXPECT_STREQ(c.name, name.toString());
    }
}

TEST(OscServerHelpersTest, ElapsedMeansMoreThanOneSecondAcrossTheWrap)
{
    EXPECT_FALSE(JOSC::IsElapsed1000Ms(5000, 6000));
    EXPECT_TRUE(JOSC::IsElapsed1000Ms(5000, 6001));
    EXPECT_FALSE(JOSC::IsElapsed1000Ms(0xFFFFFF00u, 0x000002E8u));  // 1000 ms across the wrap
    EXPECT_TRUE(JOSC::IsElapsed1000Ms(0xFFFFFF00u, 0x000002E9u));
}
