#include "textcontrol/ScpElementInteger.h"

#include <gtest/gtest.h>

#include <string>

#include "ScpTestSupport.h"

using ScpTest::fromUtf8;

namespace {

constexpr JLIB::JResult kRefused = 0x80000002u;

std::string encoded(SCP::ScpElement& element, SCP::ScpFormat format)
{
    JLIB::JDataStream<unsigned char> stream;
    EXPECT_EQ(0u, stream.initialize(0, 64));
    EXPECT_EQ(0u, element.encode(format, SCP::kScpEncodingAscii, stream));
    return ScpTest::streamText(stream);
}

}  // namespace

TEST(ScpElementIntegerTest, DecodesDecimalTokensAsTheTableSays)
{
    struct Case {
        const char* token;
        JLIB::JResult status;
        int32_t value;
    };
    const Case cases[] = {
        {"42", 0, 42},
        {"-7", 0, -7},
        {"+3", 0, 3},
        {"42\t", 0, 42},
        {"  8", 0, 8},
        {"-", 0, 0},
        {"12x", kRefused, 0},
        {"\"12\"", kRefused, 0},
        {"4294967296", 1, 2147483647},
        {"-2147483649", 1, INT32_MIN},
        {"0000000000000000000000042", 1, 0},  // cut to 19 characters
        {"1234567890123456789012345", 1, 2147483647},
        {"1\xC3\xA9", 0, 1},                  // above 0x7F becomes a blank, which may follow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        SCP::ScpElementInteger element;
        element.initialize("index");
        const JLIB::JResult status = element.decode(fromUtf8(c.token));
        EXPECT_EQ(c.status, status);
        EXPECT_EQ(JLIB::isSuccess(c.status), element.isSet());
        if (JLIB::isSuccess(c.status)) { EXPECT_EQ(c.value, element.get()); }
    }
}

TEST(ScpElementIntegerTest, PrintsSignedDecimal)
{
    SCP::ScpElementInteger minimum("x", INT32_MIN);
    EXPECT_TRUE(minimum.isSet());
    EXPECT_EQ("-2147483648", encoded(minimum, SCP::kScpFormatRaw));
}

TEST(ScpElementIntegerTest, FullStreamIsReported)
{
    SCP::ScpElementInteger element("x", 12345);
    JLIB::JDataStream<unsigned char> stream;
    ASSERT_EQ(0u, stream.initialize(0, 3));
    EXPECT_EQ(0x80000006u, element.encode(SCP::kScpFormatRaw, SCP::kScpEncodingAscii, stream));
}
