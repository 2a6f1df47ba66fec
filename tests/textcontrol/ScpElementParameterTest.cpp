#include "textcontrol/ScpElementParameter.h"

#include <gtest/gtest.h>

#include <string>

#include "ScpTestSupport.h"
#include "textcontrol/ScpDecoderRAW.h"
#include "textcontrol/ScpElementString.h"

using ScpTest::fromUtf8;

namespace {

// "i:5", "u:7", "s:text", or "-" for an invalid value.
std::string describe(const JVariant& v)
{
    switch (v.getType()) {
    case JVariant::kTypeInt32: return "i:" + std::to_string(v.toInt32());
    case JVariant::kTypeUInt32: return "u:" + std::to_string(v.toUInt32());
    case JVariant::kTypeString: return std::string("s:") + v.toString();
    case JVariant::kTypeInvalid: return "-";
    default: return "?";
    }
}

JLIB::JResult encode(SCP::ScpElementParameter& element, std::string& out)
{
    JLIB::JDataStream<unsigned char> stream;
    EXPECT_EQ(0u, stream.initialize(0, 200));
    const JLIB::JResult r = element.encode(SCP::kScpFormatJson, SCP::kScpEncodingAscii, stream);
    out = ScpTest::streamText(stream);
    return r;
}

}  // namespace

TEST(ScpElementParameterTest, DecodesNumbersAndQuotedTexts)
{
    struct Case {
        std::string token;
        JLIB::JResult status;
        const char* value;
    };
    const Case cases[] = {
        {"12", 0, "i:12"},
        {"-3 ", 0, "i:-3"},
        {"99999999999", 1, "i:2147483647"},
        {"12x", 0x80000002u, nullptr},
        {"\"abc\"", 0, "s:abc"},
        {"\"\"", 0, "s:"},
        {"\"abc\"tail", 0, "s:abc"},
        {"\"abc", 0x80000002u, nullptr},
        {"\"" + std::string(63, 'a') + "\"", 0, nullptr},
        {"\"" + std::string(64, 'a') + "\"", 0x80000006u, nullptr},
        {"", 0x80000004u, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        SCP::ScpElementParameter element;
        element.clear();
        EXPECT_EQ(c.status, element.decode(fromUtf8(c.token)));
        EXPECT_EQ(JLIB::isSuccess(c.status), element.isSet());
        if (c.value) { EXPECT_EQ(c.value, describe(element.get())); }
    }
}

TEST(ScpElementParameterTest, LongTextLosesItsClosingQuoteInTheDecoderAndIsRefused)
{
    SCP::ScpDecoderRAW decoder;
    uint32_t consumed = 0;
    ASSERT_EQ(3u, ScpTest::decodeText(decoder, "\"" + std::string(63, 'p') + "\"\n", consumed));
    const SCP::ScpString& token = *decoder.getDataTable().at(0);
    SCP::ScpElementParameter parameter;
    EXPECT_EQ(0x80000002u, parameter.decode(token));
    SCP::ScpElementString text;
    EXPECT_EQ(0u, text.decode(token));
    EXPECT_EQ(std::string(63, 'p'), ScpTest::toUtf8(text.get()));
}

TEST(ScpElementParameterTest, SetGetAndEncodeByValueType)
{
    struct Case {
        JVariant value;
        bool set;
        JLIB::JResult encodeResult;
        const char* printed;
    };
    const Case cases[] = {
        {JVariant(-5), true, 0, "-5"},
        {JVariant(0xFFFFFFFFu), true, 0, "-1"},
        {JVariant("say \"x\"\n", 100), true, 0, "\"say \\\"x\\\"\\n\""},
        {JVariant(1.5f), false, 0x80000000u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        SCP::ScpElementParameter element;
        EXPECT_EQ(0u, element.set(c.value));
        EXPECT_EQ(c.set, element.isSet());
        JVariant out(7);
        EXPECT_EQ(c.set ? 0u : 0x80000000u, element.get(out));
        EXPECT_EQ(c.set ? describe(c.value) : "-", describe(out));
        std::string printed;
        EXPECT_EQ(c.encodeResult, encode(element, printed));
        EXPECT_EQ(c.printed, printed);
    }
    SCP::ScpElementParameter fresh;
    EXPECT_EQ("i:0", describe(fresh.get()));
    fresh.clear();
    EXPECT_EQ("-", describe(fresh.get()));
}
