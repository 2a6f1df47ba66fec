#include "compiler/compiler_JsonNumber.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using nlohmann::json;

// The readers store their own default on refusal; other callers rely on out staying untouched.
TEST(JsonNumberTest, ConvertsWhatFitsEachWidthAndLeavesOutUntouchedOtherwise)
{
    constexpr uint64_t kRefused = 0x5A5A5A5A;
    struct Case { const char* value; uint64_t as32; uint64_t as64; };
    const Case cases[] = {
        {"0", 0, 0},
        {"4294967295", 4294967295u, 4294967295u},
        {"4294967296", kRefused, 4294967296u},
        {"18446744073709551615", kRefused, UINT64_MAX},
        {"-1", kRefused, kRefused},
        {"3.0", 3, 3},
        {"2.5", kRefused, kRefused},
        {"-0.0", 0, 0},
        {"4294967296.0", kRefused, 4294967296u},
        {"18446744073709551616.0", kRefused, kRefused},  // 2^64: the first float that does not fit
        {"true", 1, 1},
        {"false", 0, 0},
        {"\"7\"", kRefused, kRefused},
        {"null", kRefused, kRefused},
        {"[1]", kRefused, kRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const json value = json::parse(c.value);
        uint32_t out32 = static_cast<uint32_t>(kRefused);
        uint64_t out64 = kRefused;
        EXPECT_EQ(c.as32 != kRefused, Compiler::toUnsigned(value, out32));
        EXPECT_EQ(c.as64 != kRefused, Compiler::toUnsigned(value, out64));
        EXPECT_EQ(c.as32, out32);
        EXPECT_EQ(c.as64, out64);
    }
}

TEST(JsonNumberTest, LookUpsAnswerTheSharedNullWhereNothingIsFound)
{
    const json doc = json::parse(R"({"list": [1, 2], "text": "x"})");
    EXPECT_EQ(2, Compiler::getJsonObject(Compiler::getJsonObject(doc, "list"), size_t{1}).get<int>());
    const json& none = Compiler::getJsonObject(doc, "missing");
    EXPECT_TRUE(none.is_null());
    const json* const misses[] = {
        &Compiler::getJsonObject(doc, nullptr),
        &Compiler::getJsonObject(doc["text"], "list"),     // no object
        &Compiler::getJsonObject(doc["list"], size_t{2}),  // out of range
        &Compiler::getJsonObject(doc, size_t{0}),          // no list
    };
    for (const json* miss : misses) EXPECT_EQ(&none, miss);
}
