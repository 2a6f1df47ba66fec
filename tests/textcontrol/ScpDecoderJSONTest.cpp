#include "textcontrol/ScpDecoderJSON.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScpTestSupport.h"

using ScpTest::decodeText;
using ScpTest::entries;
using Tokens = std::vector<std::string>;

namespace {

struct ObjectCase {
    const char* name;
    std::string input;
    JLIB::JResult result;
    uint32_t consumed;
    Tokens keys;
    Tokens values;
};

const std::vector<ObjectCase>& objectCases()
{
    static const std::vector<ObjectCase> cases = {
        {"strings keep their quotes", "{\"command\":\"get\",\"address\":\"x\"}\n", 3, 31,
         {"\"command\"", "\"address\""}, {"\"get\"", "\"x\""}},
        {"bare literals", "{\"a\": 12, \"b\": true, \"c\": null,\"d\":-1.5}", 3, 40,
         {"\"a\"", "\"b\"", "\"c\"", "\"d\""}, {"12", "true", "null", "-1.5"}},
        {"empty object", "{}", 3, 2, {}, {}},
        {"line feed joins a number", "{\"a\":\n5}", 3, 8, {"\"a\""}, {"\n5"}},
        {"escapes inside strings", "{\"t\":\"a\\\"b\\n\\u0041\"}", 3, 20, {"\"t\""}, {"\"a\"b\n0041\""}},
        {"text before the object is dropped", "xyz {\"a\":1}", 3, 11, {"\"a\""}, {"1"}},
        {"incomplete object", "{\"a\":1", 0, 6, {"\"a\""}, {}},
        // A nested value takes its key back, so later keys keep their own values.
        {"array member drops its key", "{\"a\":[1,2],\"b\":\"x\"}", 3, 19, {"\"b\""}, {"\"x\""}},
        {"object member drops its key", "{\"a\":{\"k\":1},\"b\":2}", 3, 19, {"\"b\""}, {"2"}},
        {"nested member between two", "{\"c\":\"set\",\"n\":[{\"x\":1}],\"v\":3}", 3, 31,
         {"\"c\"", "\"v\""}, {"\"set\"", "3"}},
        {"closing brace outside an object", "}", 0x80000002u, 1, {}, {}},
        {"closing bracket outside an array", "{\"a\":1]", 0x80000002u, 7, {"\"a\""}, {"1"}},
    };
    return cases;
}

}  // namespace

TEST(ScpDecoderJSONTest, RecordsOutermostMembersAsTheTableSays)
{
    for (const ObjectCase& c : objectCases()) {
        SCOPED_TRACE(c.name);
        SCP::ScpDecoderJSON decoder;
        uint32_t consumed = 0xA5A5A5A5u;
        EXPECT_EQ(c.result, decodeText(decoder, c.input, consumed));
        EXPECT_EQ(c.consumed, consumed);
        EXPECT_EQ(c.keys, entries(decoder.getKeyTable()));
        EXPECT_EQ(c.values, entries(decoder.getDataTable()));
    }
}

TEST(ScpDecoderJSONTest, ByteByByteGivesTheSameTables)
{
    for (const ObjectCase& c : objectCases()) {
        SCOPED_TRACE(c.name);
        SCP::ScpDecoderJSON decoder;
        JLIB::JResult last = 0;
        for (size_t i = 0; i < c.input.size() && last != 3 && JLIB::isSuccess(last); ++i) {
            uint32_t consumed = 0;
            last = decoder.decode(reinterpret_cast<const unsigned char*>(c.input.data()) + i, 1, consumed);
        }
        EXPECT_EQ(c.result, last);
        EXPECT_EQ(c.keys, entries(decoder.getKeyTable()));
        EXPECT_EQ(c.values, entries(decoder.getDataTable()));
    }
}

TEST(ScpDecoderJSONTest, KeysAreCutAtTwentyAndDecodingGoesOnAfterAFailure)
{
    SCP::ScpDecoderJSON decoder;
    uint32_t consumed = 0;
    ASSERT_EQ(0x80000002u, decodeText(decoder, "}", consumed));
    const std::string key(30, 'k');
    ASSERT_EQ(3u, decodeText(decoder, "{\"" + key + "\":1}", consumed));
    EXPECT_EQ(Tokens{"\"" + std::string(19, 'k')}, entries(decoder.getKeyTable()));
    EXPECT_EQ(Tokens{"1"}, entries(decoder.getDataTable()));
}

TEST(ScpDecoderJSONTest, LineFeedAfterTheObjectIsDiscardedByTheNextBrace)
{
    SCP::ScpDecoderJSON decoder;
    const std::string input = "{\"a\":1}\n{\"b\":2}";
    uint32_t consumed = 0;
    ASSERT_EQ(3u, decodeText(decoder, input, consumed));
    ASSERT_EQ(7u, consumed);
    ASSERT_EQ(0u, decoder.clearAll());
    uint32_t more = 0;
    ASSERT_EQ(3u, decoder.decode(reinterpret_cast<const unsigned char*>(input.data()) + consumed,
                                 static_cast<uint32_t>(input.size() - consumed), more));
    EXPECT_EQ(Tokens{"\"b\""}, entries(decoder.getKeyTable()));
    EXPECT_EQ(Tokens{"2"}, entries(decoder.getDataTable()));
}
