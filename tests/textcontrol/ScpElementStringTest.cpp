#include "textcontrol/ScpElementString.h"

#include <gtest/gtest.h>

#include <string>

#include "ScpTestSupport.h"
#include "textcontrol/ScpDecoderRAW.h"
#include "textcontrol/ScpElementAlNum.h"

using ScpTest::fromUtf8;
using ScpTest::toUtf8;

namespace {

std::string encoded(SCP::ScpElement& element, SCP::ScpFormat format, SCP::ScpEncoding encoding)
{
    JLIB::JDataStream<unsigned char> stream;
    EXPECT_EQ(0u, stream.initialize(0, 400));
    EXPECT_EQ(0u, element.encode(format, encoding, stream));
    return ScpTest::streamText(stream);
}

}  // namespace

TEST(ScpElementStringTest, DecodesQuotedAndBareTexts)
{
    struct Case {
        const char* token;
        const char* value;
    };
    const Case cases[] = {
        {"\"abc\"", "abc"},
        {"ab\"cd\"", "cd"},     // a quote drops what came before it
        {"\"ab\"cd", "abcd"},
        {"plain", "plain"},
        {"\"a b\"", "a b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        SCP::ScpElementString text;
        SCP::ScpElementAlNum alnum;
        EXPECT_EQ(0u, text.decode(fromUtf8(c.token)));
        EXPECT_EQ(0u, alnum.decode(fromUtf8(c.token)));
        EXPECT_TRUE(text.isSet());
        EXPECT_EQ(c.value, toUtf8(text.get()));
        EXPECT_EQ(c.value, toUtf8(alnum.get()));
    }
}

TEST(ScpElementStringTest, KeepsSixtyFourCharactersAndRefusesLongerSets)
{
    SCP::ScpElementString text;
    EXPECT_EQ(0u, text.decode(fromUtf8("\"" + std::string(70, 'x') + "\"")));
    EXPECT_EQ(std::string(64, 'x'), toUtf8(text.get()));

    SCP::ScpElementAlNum alnum;
    EXPECT_EQ(0u, alnum.set(std::string(64, 'y').c_str()));
    EXPECT_TRUE(alnum.isSet());
    EXPECT_EQ(0x80000004u, alnum.set(std::string(65, 'y').c_str()));
    EXPECT_FALSE(alnum.isSet());
    EXPECT_EQ(0x80000004u, alnum.set(static_cast<const char*>(nullptr)));
    EXPECT_EQ(0u, alnum.set(L"w\u00E9"));
    EXPECT_EQ("w\xC3\xA9", toUtf8(alnum.get()));
}

TEST(ScpElementStringTest, PrintsByFormatAndEncoding)
{
    SCP::ScpElementString text("t", fromUtf8("d\xC3\xA9j\xC3\xA0"));
    SCP::ScpElementAlNum alnum("a", fromUtf8("d\xC3\xA9j\xC3\xA0"));
    struct Case {
        SCP::ScpElement* element;
        SCP::ScpFormat format;
        SCP::ScpEncoding encoding;
        const char* printed;
    };
    const Case cases[] = {
        {&text, SCP::kScpFormatRaw, SCP::kScpEncodingUtf8, "\"d\xC3\xA9j\xC3\xA0\""},
        {&text, SCP::kScpFormatJson, SCP::kScpEncodingAscii, "\"d?j?\""},
        {&alnum, SCP::kScpFormatRaw, SCP::kScpEncodingUtf8, "d\xC3\xA9j\xC3\xA0"},
        {&alnum, SCP::kScpFormatRaw, SCP::kScpEncodingAscii, "d?j?"},
        {&alnum, SCP::kScpFormatJson, SCP::kScpEncodingUtf8, "\"d\xC3\xA9j\xC3\xA0\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        EXPECT_EQ(c.printed, encoded(*c.element, c.format, c.encoding));
    }
}

// A value holding a line feed or a quote must not end the line or object it is printed in.
TEST(ScpElementStringTest, EscapesQuotedTextsAndReplacesControlsInBareOnes)
{
    struct Case {
        const char* value;
        const char* quoted;
        const char* bare;
    };
    const Case cases[] = {
        {"plain text", "\"plain text\"", "plain text"},
        {"a\nNOTIFY x", "\"a\\nNOTIFY x\"", "a?NOTIFY x"},
        {"say \"hi\"", "\"say \\\"hi\\\"\"", "say \"hi\""},
        {"c:\\d", "\"c:\\\\d\"", "c:\\d"},
        {"\b\f\r\t", "\"\\b\\f\\r\\t\"", "????"},
        {"x\x01y\x7F", "\"x?y?\"", "x?y?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        SCP::ScpElementAlNum alnum("a", fromUtf8(c.value));
        EXPECT_EQ(c.quoted, encoded(alnum, SCP::kScpFormatJson, SCP::kScpEncodingUtf8));
        EXPECT_EQ(c.bare, encoded(alnum, SCP::kScpFormatRaw, SCP::kScpEncodingAscii));
    }
}

TEST(ScpElementStringTest, EscapedOutputDecodesBackToTheValue)
{
    const std::string value = "back\\slash\nline\ttab/";
    SCP::ScpElementString text("t", fromUtf8(value));
    const std::string printed = encoded(text, SCP::kScpFormatRaw, SCP::kScpEncodingUtf8);
    SCP::ScpDecoderRAW decoder;
    uint32_t consumed = 0;
    ASSERT_EQ(3u, ScpTest::decodeText(decoder, "x " + printed + "\n", consumed));
    ASSERT_EQ(2u, decoder.getDataTable().size());
    SCP::ScpElementString back;
    EXPECT_EQ(0u, back.decode(*decoder.getDataTable().at(1)));
    EXPECT_EQ(value, toUtf8(back.get()));
}
