#include "textcontrol/ScpElementDecimal.h"

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

TEST(ScpElementDecimalTest, ReadsWithoutExponentAndPrintsSixDecimals)
{
    SCP::ScpElementDecimal half("d", 1.5);
    EXPECT_EQ("1.500000", encoded(half, SCP::kScpFormatJson));
    SCP::ScpElementDecimal big("d", 12345.25);
    EXPECT_EQ("12345.25000", encoded(big, SCP::kScpFormatRaw)) << "cut at 11 characters";

    SCP::ScpElementDecimal d;
    EXPECT_EQ(0u, d.decode(fromUtf8("2")));
    EXPECT_EQ(2.0, d.get());
    EXPECT_EQ(0u, d.decode(fromUtf8("-0.25 ")));
    EXPECT_EQ(-0.25, d.get());
    EXPECT_EQ(kRefused, d.decode(fromUtf8("1e3")));
}
