#include "PDB/Expression/Freq12F24Expression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "AttributeFor.h"

using Expression::Freq12F24Expression;
using ExpressionTest::attributeFor;

TEST(Freq12F24ExpressionTest, TablesFollowPreferredNumberSeries)
{
    const auto& normal = Freq12F24Expression::NormalTable;
    const auto& fine = Freq12F24Expression::FineTable;
    const unsigned int normalHead[] = {200, 212, 224, 236, 250};
    const unsigned int fineHead[] = {200, 206, 212, 218, 224};
    EXPECT_TRUE(std::equal(std::begin(normalHead), std::end(normalHead), normal.begin()));
    EXPECT_TRUE(std::equal(std::begin(fineHead), std::end(fineHead), fine.begin()));
    EXPECT_EQ(200000u, normal.back());
    EXPECT_EQ(200000u, fine.back());
    EXPECT_EQ(1000u, normal[28]);   // 1 kHz begins the second decade
    EXPECT_EQ(9750u, fine[135]);
    EXPECT_TRUE(std::is_sorted(fine.begin(), fine.end(), [](unsigned a, unsigned b) { return a <= b; }));
    for (unsigned int v : normal) {
        SCOPED_TRACE(v);
        EXPECT_TRUE(std::binary_search(fine.begin(), fine.end(), v));
    }
    // Twelve normal and 24 fine entries per octave: 200 to 400 spans that many.
    EXPECT_EQ(12, std::find(normal.begin(), normal.end(), 400u) - normal.begin());
    EXPECT_EQ(24, std::find(fine.begin(), fine.end(), 400u) - fine.begin());
}

TEST(Freq12F24ExpressionTest, PrintsThreeDigitsWithPrefix)
{
    const Freq12F24Expression freq;
    struct Case {
        unsigned int value;
        uint32_t scaling;
        uint32_t size;
        uint32_t result;
        const char* text;
    };
    const Case cases[] = {
        {200, 10, 128, 0, "20.0"},        {1060, 10, 128, 0, "106"},
        {10000, 10, 128, 0, "1.00k"},     {200000, 10, 128, 0, "20.0k"},
        {200, 0, 128, 0, "200"},          // no scaling: no division by zero
        {200000, 10, 6, 0x80000006, ""},  // "20.0k" needs 6 bytes, the printer asks for 7
        {200, 10, 0, 0x80000007, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " / " + std::to_string(c.scaling));
        char buffer[128];
        std::memset(buffer, 0x5A, sizeof buffer);
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(c.result, freq.toText(buffer, length, c.size, JVariant(c.value),
                                        attributeFor(200, 200000, 1, c.scaling), 0));
        if (c.text != nullptr && c.result == 0) {
            EXPECT_STREQ(c.text, buffer);
            EXPECT_EQ(std::strlen(c.text) + 1, length);
        }
    }
}

TEST(Freq12F24ExpressionTest, ReadsPrefixedTextToNearestSeriesValue)
{
    const Freq12F24Expression freq;
    const auto attr = attributeFor(200, 200000, 1, 10);
    struct Case {
        const char* text;
        uint32_t result;
        unsigned int value;
    };
    const Case cases[] = {
        {"1k", 0, 10000},   {"1.06k", 0, 10600}, {"20", 0, 200},      {"20k", 0, 200000},
        {"1M", 0, 200000},  {"-5", 0, 200},      {"21.1", 0, 212},    {"inf", 0, 200000},
        {"1kHz", 0x80000003, 7}, {"1q", 0x80000003, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JVariant out(7u);
        EXPECT_EQ(c.result, freq.fromText(out, c.text, static_cast<uint32_t>(std::strlen(c.text)), attr));
        EXPECT_EQ(c.value, out.toUInt32());
        EXPECT_EQ(JVariant::kTypeUInt32, out.getType());
    }
}
