#include "textcontrol/ScpElementSubAddress.h"

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

TEST(ScpElementSubAddressTest, TakesAllInAnyCase)
{
    struct Case {
        const char* token;
        JLIB::JResult status;
        bool all;
        int32_t value;
        const char* raw;
        const char* json;
    };
    const Case cases[] = {
        {"all", 0, true, 0, "all", "\"all\""},
        {"ALL", 0, true, 0, "all", "\"all\""},
        {"3", 0, false, 3, "3", "3"},
        {"\"all\"", kRefused, false, 0, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        SCP::ScpElementSubAddress element;
        ASSERT_EQ(0u, element.setAll());
        EXPECT_EQ(c.status, element.decode(fromUtf8(c.token)));
        EXPECT_EQ(c.all, element.isAll());
        if (!c.raw) continue;
        EXPECT_EQ(c.value, element.get());
        EXPECT_EQ(c.raw, encoded(element, SCP::kScpFormatRaw));
        EXPECT_EQ(c.json, encoded(element, SCP::kScpFormatJson));
    }
}
