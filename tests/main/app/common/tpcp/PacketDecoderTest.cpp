#include "common/tpcp/PacketDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TpcpTestSupport.h"

using namespace tpcptest;
using TPCP::OscMessage;
using TPCP::PacketDecoder;

namespace {

// A message as text: address, tags, then each kept argument with its JVariant type.
std::string describe(const OscMessage& m)
{
    std::string text = m.address + " " + m.typeTags;
    for (const JVariant& a : m.arguments) {
        switch (a.getType()) {
        case JVariant::kTypeInt32: text += " i:" + std::to_string(a.toInt32()); break;
        case JVariant::kTypeString: text += " s:" + std::string(a.toString()); break;
        case JVariant::kTypeFloat: text += " f:" + std::to_string(a.toFloat()); break;
        case JVariant::kTypeBinary: text += " b:" + RecordingProcessor::hex(a.toBinary(), a.getBinaryLength()); break;
        default: text += " ?"; break;
        }
    }
    return text;
}

struct Decoded {
    JLIB::JResult result;
    std::vector<std::string> messages;
    std::string printed;
};

Decoded decode(const void* bytes, size_t length)
{
    testing::internal::CaptureStdout();
    const PacketDecoder decoder(bytes, length);
    Decoded d;
    d.printed = testing::internal::GetCapturedStdout();
    std::vector<OscMessage> messages = {OscMessage{"poison", ",", {}}};
    d.result = decoder.getOscMessages(messages);
    if (d.result == 0) {
        for (const OscMessage& m : messages) d.messages.push_back(describe(m));
    }
    return d;
}

TEST(PacketDecoderTest, KeepsTheListedArgumentTypesAndSkipsTheOthers)
{
    const unsigned char blob[] = {9, 8};
    const Bytes packet = oscPacket([&](osc::OutboundPacketStream& s) {
        s << osc::BeginMessage("/DRAVO/all") << osc::int32(-7) << osc::int64(1) << "txt" << 0.5f << 2.25
          << osc::Blob(blob, 2) << osc::Blob(blob, 0) << true << osc::Nil << osc::int32(3) << osc::EndMessage;
    });
    const Decoded d = decode(packet.data(), packet.size());
    ASSERT_EQ(0u, d.result);
    ASSERT_EQ(1u, d.messages.size());
    EXPECT_EQ("/DRAVO/all ,ihsfdbbTNi i:-7 s:txt f:0.500000 f:2.250000 b:0908 i:3", d.messages[0]);
    EXPECT_EQ("", d.printed);
}

TEST(PacketDecoderTest, WalksBundlesDepthFirstAndPrintsEachBundle)
{
    const Bytes packet = oscPacket([](osc::OutboundPacketStream& s) {
        s << osc::BeginBundle(5) << osc::BeginMessage("/a") << osc::int32(1) << osc::EndMessage
          << osc::BeginBundle(7) << osc::BeginMessage("/b") << osc::EndMessage << osc::EndBundle
          << osc::BeginMessage("/c") << "x" << osc::EndMessage << osc::EndBundle;
    });
    const Decoded d = decode(packet.data(), packet.size());
    ASSERT_EQ(0u, d.result);
    EXPECT_EQ((std::vector<std::string>{"/a ,i i:1", "/b ,", "/c ,s s:x"}), d.messages);
    EXPECT_EQ("[OSC]bundle: Elem=3, TimeTag=5\n[OSC]bundle: Elem=1, TimeTag=7\n", d.printed);
}

TEST(PacketDecoderTest, AnswersInvalidOrEmptyAndKeepsNothingOfAMalformedPacket)
{
    const Bytes twoMessages = oscPacket([](osc::OutboundPacketStream& s) {
        s << osc::BeginBundle(1) << osc::BeginMessage("/ok") << osc::EndMessage << osc::BeginMessage("/cut")
          << osc::int32(1) << osc::int32(2) << osc::EndMessage << osc::EndBundle;
    });
    // The second message's declared size runs past the packet's end.
    Bytes brokenTail = twoMessages;
    brokenTail[brokenTail.size() - 1] = 0;
    brokenTail.resize(brokenTail.size() - 4);
    const Bytes emptyBundle = oscPacket([](osc::OutboundPacketStream& s) { s << osc::BeginBundle(0) << osc::EndBundle; });
    const Bytes noAddress = {0, 0, 0, 0, ',', 0, 0, 0};
    const Bytes unknownTag = {'/', 'x', 0, 0, ',', 'Q', 0, 0, 0, 0, 0, 1};
    const Bytes oddLength = {'/', 'x', 0};
    // oscpack itself would read the blob's bytes past the packet's end.
    const Bytes blobPastEnd = {'/', 'x', 0, 0, ',', 'b', 0, 0, 0, 0, 0, 8, 1, 2, 3, 4};
    // A text's padding that is not zero would make oscpack see a different text end than its NUL.
    const Bytes dirtyPadding = {'/', 0, 'e', 'A', ',', 'b', 0, 0, 0, 0, 0, 1, 7, 0, 0, 0};
    // Nesting is bounded so that the walk's depth stays small; 64 levels are taken.
    auto nested = [](int depth) {
        return oscPacket([&](osc::OutboundPacketStream& s) {
            for (int i = 0; i < depth; ++i) s << osc::BeginBundle(0);
            s << osc::BeginMessage("/deep") << osc::EndMessage;
            for (int i = 0; i < depth; ++i) s << osc::EndBundle;
        });
    };
    const Bytes deepest = nested(64);
    const Bytes tooDeep = nested(65);
    const Bytes notABundle = {'#', 'b', 'u', 'n', 'd', 'l', 'x', 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes stringPastEnd = {'/', 'x', 0, 0, ',', 's', 0, 0, 'a', 'b', 'c', 'd'};

    struct Case {
        const char* name;
        const void* bytes;
        size_t length;
        JLIB::JResult result;
        std::string printed;
    };
    const Case cases[] = {
        {"no bytes", nullptr, 8, 0x80000001u, ""},
        {"broken tail", brokenTail.data(), brokenTail.size(), 0x80000001u, ",invalid packet (" + std::to_string(brokenTail.size()) + "byte)\n"},
        {"unknown tag", unknownTag.data(), unknownTag.size(), 0x80000001u, ",invalid packet (12byte)\n"},
        {"blob past end", blobPastEnd.data(), blobPastEnd.size(), 0x80000001u, ",invalid packet (16byte)\n"},
        {"dirty padding", dirtyPadding.data(), dirtyPadding.size(), 0x80000001u, ",invalid packet (16byte)\n"},
        {"too deep", tooDeep.data(), tooDeep.size(), 0x80000001u, ",invalid packet (" + std::to_string(tooDeep.size()) + "byte)\n"},
        {"hash without bundle", notABundle.data(), notABundle.size(), 0x80000001u, ",invalid packet (16byte)\n"},
        {"string past end", stringPastEnd.data(), stringPastEnd.size(), 0x80000001u, ",invalid packet (12byte)\n"},
        {"odd length", oddLength.data(), oddLength.size(), 0x80000001u, ",invalid packet (3byte)\n"},
        {"zero length", oddLength.data(), 0, 0x80000001u, ",invalid packet (0byte)\n"},
        {"empty bundle", emptyBundle.data(), emptyBundle.size(), 0x80000002u, "[OSC]bundle: Elem=0, TimeTag=0\n"},
        {"no address", noAddress.data(), noAddress.size(), 0x80000002u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = decode(c.bytes, c.length);
        EXPECT_EQ(c.result, d.result);
        EXPECT_EQ(c.printed, d.printed);
    }
    const Decoded deep = decode(deepest.data(), deepest.size());
    EXPECT_EQ(0u, deep.result);
    EXPECT_EQ(std::vector<std::string>{"/deep ,"}, deep.messages);
}

}  // namespace
