#include "textcontrol/ScpElementArray.h"

#include <gtest/gtest.h>

#include "ScpTestSupport.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementMeter.h"
#include "textcontrol/ScpElementParameter.h"
#include "textcontrol/ScpElementString.h"

using ScpTest::fromUtf8;

namespace {

std::string encoded(SCP::ScpElement& element, SCP::ScpFormat format)
{
    JLIB::JDataStream<unsigned char> stream;
    EXPECT_EQ(0u, stream.initialize(0, 200));
    EXPECT_EQ(0u, element.encode(format, SCP::kScpEncodingAscii, stream));
    return ScpTest::streamText(stream);
}

}  // namespace

TEST(ScpElementArrayTest, ArrayOfIntegersRefusesBeyondItsCapacity)
{
    ScpTest::RecordingHeapManager& heap = ScpTest::useTestHeap();
    {
        SCP::ScpElementArray<SCP::ScpElementInteger> array(2);
        array.initialize("x");
        EXPECT_EQ(1, heap.liveTagCounts()["T"]);
        EXPECT_EQ(2u, array.capacity());
        EXPECT_FALSE(array.isSet());
        EXPECT_EQ("", encoded(array, SCP::kScpFormatRaw));
        EXPECT_EQ(0u, array.decode(fromUtf8("1")));
        EXPECT_EQ(0x80000002u, array.decode(fromUtf8("2y"))) << "appended although refused";
        EXPECT_EQ(0x80000005u, array.decode(fromUtf8("3")));
        ASSERT_EQ(2u, array.size());
        EXPECT_TRUE(array.isSet());
        EXPECT_STREQ("x", array.at(0)->getTag());
        EXPECT_EQ("1 2", encoded(array, SCP::kScpFormatRaw)) << "the refused element keeps what it read";
        EXPECT_EQ("[1,2]", encoded(array, SCP::kScpFormatJson));
        array.clear();
        EXPECT_EQ(0u, array.size());
        EXPECT_FALSE(array.isSet());
    }
    EXPECT_TRUE(heap.live.empty());
    SCP::gScpHeapId = 0;
}

TEST(ScpElementArrayTest, ArraysOfOtherElementTypesPrintTheirForms)
{
    SCP::ScpElementArray<SCP::ScpElementMeter> meters(150);
    ASSERT_EQ(0u, meters.append(SCP::ScpElementMeter("meter", 5)));
    ASSERT_EQ(0u, meters.append(SCP::ScpElementMeter("meter", 0xAB)));
    EXPECT_EQ("05 ab", encoded(meters, SCP::kScpFormatRaw));
    EXPECT_EQ("[05,ab]", encoded(meters, SCP::kScpFormatJson));

    SCP::ScpElementArray<SCP::ScpElementString> texts(3);
    EXPECT_EQ(0u, texts.decode(fromUtf8("\"a b\"")));
    EXPECT_EQ(0u, texts.decode(fromUtf8("c")));
    EXPECT_EQ("[\"a b\",\"c\"]", encoded(texts, SCP::kScpFormatJson));

    SCP::ScpElementArray<SCP::ScpElementParameter> values(2);
    EXPECT_EQ(0u, values.decode(fromUtf8("7")));
    EXPECT_EQ(0u, values.decode(fromUtf8("\"t\"")));
    EXPECT_EQ("7 \"t\"", encoded(values, SCP::kScpFormatRaw));
}
