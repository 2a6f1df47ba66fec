#include "textcontrol/ScpDecoderRAW.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScpTestSupport.h"

using ScpTest::decodeText;
using ScpTest::entries;
using Tokens = std::vector<std::string>;

namespace {

struct LineCase {
    const char* name;
    std::string input;
    JLIB::JResult result;
    uint32_t consumed;
    Tokens tokens;
};

const std::vector<LineCase>& lineCases()
{
    static const std::vector<LineCase> cases = {
        {"blanks and a quoted text", "set   \"a b\" 12\n", 3, 15, {"set", "\"a b\"", "12"}},
        {"leading, trailing and repeated blanks", "  a \t b  \n", 3, 10, {"a", "b"}},
        {"blank line", "   \n", 3, 4, {}},
        {"empty line", "\n", 3, 1, {}},
        {"CR ends before the LF", "get x\r\n", 3, 6, {"get", "x"}},
        {"NUL ends a line", std::string("get\0x", 5), 3, 4, {"get"}},
        {"letters before a quote are lost", "ab\"cd\"\n", 3, 7, {"\"cd\""}},
        {"letters after a closing quote stay", "\"ab\"cd\n", 3, 7, {"\"ab\"cd"}},
        {"escaped line feed", "\"a\\nb\"\n", 3, 7, {"\"a\nb\""}},
        {"escapes of the table", "\"\\\\\\/\\\"\\b\\f\\r\\t\"\n", 3, 17, {"\"\\/\"\b\f\r\t\""}},
        {"unknown escape stores nothing", "\"\\u0041\"\n", 3, 9, {"\"0041\""}},
        {"backslash outside quotes is plain", "a\\nb\n", 3, 5, {"a\\nb"}},
        {"line end inside quotes drops the token", "set \"abc\n", 3, 9, {"set"}},
        {"no line end yet", "set x", 0, 5, {"set"}},
        {"five-byte form becomes U+FFFD", "\xF8\x88\x80\x80\x80\n", 3, 6, {"\xEF\xBF\xBD"}},
        {"UTF-8 text", "set \xC3\xA9t\xC3\xA9\n", 3, 10, {"set", "\xC3\xA9t\xC3\xA9"}},
    };
    return cases;
}

}  // namespace

TEST(ScpDecoderRAWTest, SplitsLinesIntoTokensAsTheTableSays)
{
    for (const LineCase& c : lineCases()) {
        SCOPED_TRACE(c.name);
        SCP::ScpDecoderRAW decoder;
        uint32_t consumed = 0xA5A5A5A5u;
        EXPECT_EQ(c.result, decodeText(decoder, c.input, consumed));
        EXPECT_EQ(c.consumed, consumed);
        EXPECT_EQ(c.tokens, entries(decoder.getDataTable()));
        EXPECT_EQ(0u, decoder.getKeyTable().size());
    }
}

TEST(ScpDecoderRAWTest, ByteByByteGivesTheSameTokens)
{
    for (const LineCase& c : lineCases()) {
        SCOPED_TRACE(c.name);
        SCP::ScpDecoderRAW decoder;
        JLIB::JResult last = 0;
        for (size_t i = 0; i < c.input.size() && last != 3; ++i) {
            uint32_t consumed = 0;
            last = decoder.decode(reinterpret_cast<const unsigned char*>(c.input.data()) + i, 1, consumed);
            ASSERT_TRUE(last == 0 || last == 3 || last == 4) << last;
            if (last != 4) { EXPECT_EQ(1u, consumed); }
        }
        EXPECT_EQ(c.result, last);
        EXPECT_EQ(c.tokens, entries(decoder.getDataTable()));
    }
}

TEST(ScpDecoderRAWTest, SecondCommandAfterCrIsEmptyAndRestIsUnread)
{
    SCP::ScpDecoderRAW decoder;
    const std::string input = "get x\r\nset y\n";
    uint32_t consumed = 0;
    ASSERT_EQ(3u, decodeText(decoder, input, consumed));
    ASSERT_EQ(6u, consumed);
    ASSERT_EQ(0u, decoder.clearAll());
    uint32_t more = 0;
    ASSERT_EQ(3u, decoder.decode(reinterpret_cast<const unsigned char*>(input.data()) + 6, 7, more));
    EXPECT_EQ(1u, more);
    EXPECT_EQ(Tokens{}, entries(decoder.getDataTable()));
    ASSERT_EQ(0u, decoder.clearAll());
    ASSERT_EQ(3u, decoder.decode(reinterpret_cast<const unsigned char*>(input.data()) + 7, 6, more));
    EXPECT_EQ((Tokens{"set", "y"}), entries(decoder.getDataTable()));
}

TEST(ScpDecoderRAWTest, LongTokensAndManyTokensAreCutSilently)
{
    SCP::ScpDecoderRAW decoder;
    std::string line = std::string(300, 'a') + " ";
    for (int i = 0; i < 70; ++i) line += "t" + std::to_string(i) + " ";
    line += "\n";
    uint32_t consumed = 0;
    ASSERT_EQ(3u, decodeText(decoder, line, consumed));
    const Tokens tokens = entries(decoder.getDataTable());
    ASSERT_EQ(64u, tokens.size());
    EXPECT_EQ(std::string(64, 'a'), tokens[0]) << "entries hold 64 characters";
    EXPECT_EQ("t62", tokens[63]) << "the 65th and later tokens are dropped";
}

TEST(ScpDecoderRAWTest, ClearKeepsTokensAndClearAllDropsThem)
{
    SCP::ScpDecoderRAW decoder;
    uint32_t consumed = 0;
    ASSERT_EQ(0u, decodeText(decoder, "get \"open", consumed));
    ASSERT_EQ(0u, decoder.clear());
    ASSERT_EQ(3u, decodeText(decoder, "x\n", consumed));
    EXPECT_EQ((Tokens{"get", "x"}), entries(decoder.getDataTable())) << "clear closes the open quote";
    ASSERT_EQ(0u, decoder.clearAll());
    EXPECT_EQ(0u, decoder.getDataTable().size());
}
