#include "common/convJVariantToString.h"

#include <gtest/gtest.h>

#include "jlib/JVariant.h"

namespace {

TEST(convJVariantToStringTest, AppendsTheTextOfEachValueType)
{
    const unsigned char bytes[] = {0x00, 0xAB, 0x7F};
    struct Case {
        const char* name;
        JVariant value;
        const char* text;
    };
    const Case cases[] = {
        {"signed", JVariant(-42), "pre-42"},
        {"unsigned", JVariant(4294967295u), "pre4294967295"},
        {"float", JVariant(1.5f), "pre1.500000"},
        {"text", JVariant("abc", 3), "preabc"},
        {"bytes", JVariant(bytes, 3), "pre00 AB 7F "},
        {"invalid", JVariant(), "pre"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "pre";
        EXPECT_EQ(0u, KAVORI::convJVariantToString(c.value, text));
        EXPECT_EQ(c.text, text);
    }
}

}  // namespace
