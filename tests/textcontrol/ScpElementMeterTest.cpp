#include "textcontrol/ScpElementMeter.h"

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

TEST(ScpElementMeterTest, ReadsHexadecimalAndPrintsTwoDigits)
{
    struct Case {
        const char* token;
        JLIB::JResult status;
        int32_t value;
    };
    const Case cases[] = {{"1f", 0, 31}, {"1F", 0, 31}, {"0x1f", kRefused, 0}, {"ff", 0, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        SCP::ScpElementMeter meter;
        EXPECT_EQ(c.status, meter.decode(fromUtf8(c.token)));
        if (JLIB::isSuccess(c.status)) { EXPECT_EQ(c.value, meter.get()); }
    }
    SCP::ScpElementMeter five("meter", 5);
    EXPECT_EQ("05", encoded(five, SCP::kScpFormatRaw));
    SCP::ScpElementMeter big;
    ASSERT_EQ(0u, big.set(0x1A3));
    EXPECT_EQ("1a", encoded(big, SCP::kScpFormatJson)) << "the first two digits of a larger value";
}
