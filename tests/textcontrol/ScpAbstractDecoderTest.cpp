#include "textcontrol/ScpAbstractDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScpTestSupport.h"
#include "textcontrol/ScpDecoderJSON.h"
#include "textcontrol/ScpDecoderRAW.h"

using ScpTest::entries;
using Tokens = std::vector<std::string>;

namespace {

JLIB::JResult feed(SCP::ScpAbstractDecoder& decoder, const std::string& bytes, uint32_t& consumed)
{
    return decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<uint32_t>(bytes.size()),
                          consumed);
}

}  // namespace

TEST(ScpAbstractDecoderTest, CharacterSplitOverChunksIsDecodedOnce)
{
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
    };
    // U+20AC (three bytes) and U+1F600 (four bytes) cut at every place.
    const Case cases[] = {
        {"1+2", {"a\xE2", "\x82\xAC\n"}},
        {"2+1", {"a\xE2\x82", "\xAC\n"}},
        {"1+1+1", {"a\xE2", "\x82", "\xAC\n"}},
        {"four bytes 1+3", {"a\xF0", "\x9F\x98\x80\n"}},
        {"four bytes 2+1+1", {"a\xF0\x9F", "\x98", "\x80\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SCP::ScpDecoderRAW decoder;
        JLIB::JResult last = 0;
        for (size_t i = 0; i < c.chunks.size(); ++i) {
            uint32_t consumed = 0xA5A5A5A5u;
            last = feed(decoder, c.chunks[i], consumed);
            if (i + 1 < c.chunks.size()) {
                EXPECT_EQ(4u, last);
                EXPECT_EQ(i == 0 ? 1u : c.chunks[i].size(), consumed) << "the lead stays pending, later bytes count";
            }
        }
        EXPECT_EQ(3u, last);
        const Tokens tokens = entries(decoder.getDataTable());
        ASSERT_EQ(1u, tokens.size());
        const std::string joined = [&] {
            std::string s;
            for (const auto& chunk : c.chunks) s += chunk;
            return s.substr(0, s.size() - 1);
        }();
        EXPECT_EQ(joined, tokens[0]);
    }
}

TEST(ScpAbstractDecoderTest, InvalidBytesStopAtTheirOffset)
{
    struct Case {
        const char* name;
        std::string input;
        uint32_t consumed;
        Tokens tokens;  // after the call
    };
    const Case cases[] = {
        {"stray continuation byte", "ab\x80" "cd\n", 2, {}},
        {"lead 0xC0", "a\xC0\xA0\n", 1, {}},
        {"byte 0xFF", "\xFF", 0, {}},
        {"NUL inside a sequence", std::string("x\xE2\0\xAC\n", 5), 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SCP::ScpDecoderRAW decoder;
        uint32_t consumed = 0xA5A5A5A5u;
        EXPECT_EQ(4u, feed(decoder, c.input, consumed));
        EXPECT_EQ(c.consumed, consumed);
        EXPECT_EQ(c.tokens, entries(decoder.getDataTable()));
    }
}

TEST(ScpAbstractDecoderTest, PendingLeadFollowedByAnInvalidByteIsDropped)
{
    SCP::ScpDecoderRAW decoder;
    uint32_t consumed = 0;
    ASSERT_EQ(4u, feed(decoder, "get \xC3", consumed));
    ASSERT_EQ(4u, consumed);
    // A NUL cannot continue the sequence: the stale lead goes and the NUL is read afresh.
    EXPECT_EQ(3u, feed(decoder, std::string("\0", 1), consumed));
    EXPECT_EQ(1u, consumed);
    EXPECT_EQ(Tokens{"get"}, entries(decoder.getDataTable()));
}

TEST(ScpAbstractDecoderTest, NullBytesAreRefusedAndEmptyInputIsDone)
{
    SCP::ScpDecoderRAW decoder;
    uint32_t consumed = 7;
    EXPECT_EQ(0x80000001u, decoder.decode(nullptr, 3, consumed));
    EXPECT_EQ(0u, consumed);
    EXPECT_EQ(0u, decoder.decode(nullptr, 0, consumed));
}

TEST(ScpAbstractDecoderTest, DecodersDrawTheirStorageFromTheScpHeap)
{
    ScpTest::RecordingHeapManager& heap = ScpTest::useTestHeap();
    {
        SCP::ScpDecoderJSON decoder;
        const auto tags = heap.liveTagCounts();
        EXPECT_EQ(2, tags.at("ScpUnicodeStringTable::m_pTable"));
        EXPECT_EQ(1 + 64 + 64, tags.at("UnicodeString")) << "the text buffer and every entry";
        EXPECT_EQ(2u, tags.size());
        const int before = heap.allocations;
        uint32_t consumed = 0;
        ASSERT_EQ(3u, feed(decoder, "{\"command\":\"get\",\"address\":\"x\"}", consumed));
        EXPECT_EQ(before, heap.allocations) << "decoding never allocates";
    }
    EXPECT_TRUE(heap.live.empty());
    SCP::gScpHeapId = 0;
}
