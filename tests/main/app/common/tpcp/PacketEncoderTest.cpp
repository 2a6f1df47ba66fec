#include "common/tpcp/PacketEncoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OscServer/OscCore/OscPeer.h"
#include "TpcpTestSupport.h"
#include "vsock/VsockTestSupport.h"

using namespace tpcptest;
using TPCP::PacketEncoder;

namespace {

Bytes packetOf(const PacketEncoder& encoder)
{
    const auto* p = reinterpret_cast<const unsigned char*>(encoder.getPacket());
    return p ? Bytes(p, p + encoder.getPacketSize()) : Bytes();
}

TEST(PacketEncoderTest, EncodesEachValueTypeAsOscpackWouldAndSkipsInvalidValues)
{
    const unsigned char blob[] = {1, 2, 3};
    const std::vector<JVariant> arguments = {JVariant(-5), JVariant(0xFFFFFFFFu), JVariant("text", 100),
                                             JVariant(1.5f), JVariant(blob, 3), JVariant()};
    const PacketEncoder encoder("/DRAVO/x", arguments);
    const Bytes expected = oscPacket([&](osc::OutboundPacketStream& s) {
        s << osc::BeginMessage("/DRAVO/x") << osc::int32(-5) << osc::int32(-1) << "text" << 1.5f
          << osc::Blob(blob, 3) << osc::EndMessage;
    });
    EXPECT_EQ(hexOf(expected), hexOf(packetOf(encoder)));
}

TEST(PacketEncoderTest, HoldsNoPacketWithoutAddressOrWhenOscpackRefuses)
{
    const PacketEncoder noAddress(nullptr, {JVariant(1)});
    EXPECT_EQ(nullptr, noAddress.getPacket());
    EXPECT_EQ(0u, noAddress.getPacketSize());

    // A blob larger than the buffer: the refusal is printed and nothing can be sent.
    const Bytes big(70000, 0xAB);
    testing::internal::CaptureStdout();
    const PacketEncoder tooBig("/DRAVO/setcoef", {JVariant(big.data(), static_cast<unsigned int>(big.size()))});
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(nullptr, tooBig.getPacket());
    EXPECT_EQ(0u, tooBig.getPacketSize());
    EXPECT_EQ("out of buffer memory\n", printed);
}

// liblo's oscdump reads the encoder's packets as datagrams and prints them.
TEST(PacketEncoderTest, PacketsReadBackThroughOscdump)
{
    const uint16_t port = vsocktest::pickPort(SOCK_DGRAM);
    ASSERT_NE(0, port);
    OscTest::ChildProcess dump({"/usr/bin/oscdump", "-L", std::to_string(port)}, false);
    ASSERT_TRUE(dump.running());
    vsocktest::RawSocket peer(SOCK_DGRAM);
    ASSERT_TRUE(peer.bindLoopback(0));

    // oscdump binds after it starts: probe until it answers.
    const PacketEncoder probe("/probe", {});
    const bool up = vsocktest::waitFor([&] {
        (void)peer.sendTo(port, probe.getPacket(), probe.getPacketSize());
        return dump.waitFor([](const OscTest::ChildProcess::Lines& l) { return !l.empty(); },
                            std::chrono::milliseconds(100));
    }, std::chrono::seconds(10));
    ASSERT_TRUE(up);

    const unsigned char blob[] = {0x00, 0x7f, 0xff};
    struct Case {
        const char* address;
        std::vector<JVariant> arguments;
        const char* printed;  // oscdump's line without its time tag
    };
    const std::vector<Case> cases = {
        {"/DRAVO/muteon", {}, "/DRAVO/muteon "},
        {"/DRAVO/changefs", {JVariant(48000u)}, "/DRAVO/changefs i 48000"},
        {"/DRAVO/u", {JVariant(0xFFFFFFFFu), JVariant(-2)}, "/DRAVO/u ii -1 -2"},
        {"/DRAVO/setcoremap", {JVariant("0,1,2,3,4,5,6", 255), JVariant("7", 255)},
         "/DRAVO/setcoremap ss \"0,1,2,3,4,5,6\" \"7\""},
        {"/DRAVO/f", {JVariant(0.25f)}, "/DRAVO/f f 0.250000"},
        {"/DRAVO/b", {JVariant(1), JVariant(blob, 3)}, "/DRAVO/b ib 1 [3b 00 0x7f 0xff]"},
    };
    for (const Case& c : cases) {
        const PacketEncoder encoder(c.address, c.arguments);
        ASSERT_TRUE(peer.sendTo(port, encoder.getPacket(), encoder.getPacketSize()));
    }
    ASSERT_TRUE(dump.waitFor([&](const OscTest::ChildProcess::Lines& l) {
        size_t n = 0;
        for (const std::string& line : l) n += line.find("/DRAVO/") != std::string::npos ? 1 : 0;
        return n >= cases.size();
    }));
    std::vector<std::string> printed;
    for (const std::string& line : dump.lines()) {
        const size_t at = line.find("/DRAVO/");
        if (at != std::string::npos) printed.push_back(line.substr(at));
    }
    ASSERT_EQ(cases.size(), printed.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].address);
        EXPECT_EQ(cases[i].printed, printed[i]);
    }
}

}  // namespace
