#include "common/tpcp/CommandSender.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TpcpTestSupport.h"

using namespace tpcptest;
using TPCP::CommandSender;

namespace {

class CommandSenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, m_sender.initialize(&m_socket)); }

    ScriptedSocket m_socket;
    CommandSender m_sender;
};

TEST_F(CommandSenderTest, MuteOnTravelsAsATwentyFourByteFrame)
{
    EXPECT_EQ(1u, m_sender.muteOn());
    const Bytes expected = {20, 0, 0, 0, '/', 'D', 'R', 'A', 'V', 'O', '/', 'm', 'u', 't', 'e', 'o', 'n', 0, 0, 0, ',', 0, 0, 0};
    EXPECT_EQ(hexOf(expected), hexOf(m_socket.sent));
}

TEST_F(CommandSenderTest, EveryCommandEncodesItsAddressTagsAndArguments)
{
    const unsigned char piece[] = {1, 2, 3, 4, 5};
    const std::string longText(300, 'x');
    using Send = std::function<JLIB::JResult(CommandSender&)>;
    struct Case {
        Send send;
        Bytes packet;
    };
    auto message = [](const char* address, auto fill) {
        return oscPacket([&](osc::OutboundPacketStream& s) {
            s << osc::BeginMessage(address);
            fill(s);
            s << osc::EndMessage;
        });
    };
    auto none = [](osc::OutboundPacketStream&) {};
    const std::vector<Case> cases = {
        {[](CommandSender& c) { return c.muteOn(); }, message("/DRAVO/muteon", none)},
        {[](CommandSender& c) { return c.muteOff(); }, message("/DRAVO/muteoff", none)},
        {[](CommandSender& c) { return c.changeFs(48000); }, message("/DRAVO/changefs", [](auto& s) { s << osc::int32(48000); })},
        {[](CommandSender& c) { return c.setupBuffer(0xFFFFFFFFu); }, message("/DRAVO/setupbuffer", [](auto& s) { s << osc::int32(-1); })},
        {[](CommandSender& c) { return c.startProcessing(); }, message("/DRAVO/startprocessing", none)},
        {[](CommandSender& c) { return c.stopProcessing(); }, message("/DRAVO/stopprocessing", none)},
        {[](CommandSender& c) { return c.beginConfig(); }, message("/DRAVO/beginconfig", none)},
        {[](CommandSender& c) { return c.endConfig(); }, message("/DRAVO/endconfig", none)},
        {[&](CommandSender& c) { return c.setCoef(1, 77, 2, 65536, piece, 5); },
         message("/DRAVO/setcoef", [&](auto& s) { s << osc::int32(1) << osc::int32(77) << osc::int32(2) << osc::int32(65536) << osc::Blob(piece, 5); })},
        {[](CommandSender& c) { return c.startMeter(20); }, message("/DRAVO/startmeter", [](auto& s) { s << osc::int32(20); })},
        {[](CommandSender& c) { return c.stopMeter(); }, message("/DRAVO/stopmeter", none)},
        {[](CommandSender& c) { return c.resetCpuInfo(); }, message("/DRAVO/resetcpuinfo", none)},
        {[](CommandSender& c) { return c.shutdown(); }, message("/DRAVO/shutdown", none)},
        {[](CommandSender& c) { return c.clearConfig(256); }, message("/DRAVO/clearconfig", [](auto& s) { s << osc::int32(256); })},
        {[&](CommandSender& c) { return c.setCoreMap(longText.c_str(), "7"); },
         message("/DRAVO/setcoremap", [&](auto& s) { s << longText.substr(0, 255).c_str() << "7"; })},
        {[&](CommandSender& c) { return c.addComponent(longText.c_str(), 1, 1001, 2, 3); },
         message("/DRAVO/addcomponent", [&](auto& s) { s << longText.substr(0, 255).c_str() << osc::int32(1) << osc::int32(1001) << osc::int32(2) << osc::int32(3); })},
        {[](CommandSender& c) { return c.addToPlayList(4, 1001, 0); },
         message("/DRAVO/addtoplaylist", [](auto& s) { s << osc::int32(4) << osc::int32(1001) << osc::int32(0); })},
        {[](CommandSender& c) { return c.connect(1001, 0, 1002, 1); },
         message("/DRAVO/connect", [](auto& s) { s << osc::int32(1001) << osc::int32(0) << osc::int32(1002) << osc::int32(1); })},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        m_socket.sent.clear();
        EXPECT_EQ(1u, cases[i].send(m_sender));
        EXPECT_EQ(hexOf(frameOf(cases[i].packet)), hexOf(m_socket.sent));
    }
}

TEST_F(CommandSenderTest, RefusesWithoutSocketConnectionOrBytesAndAboveTheFrameLimit)
{
    const Bytes packet(65788, 0x11);
    EXPECT_EQ(0x80000000u, m_sender.sendPacket(nullptr, 4));
    EXPECT_EQ(0x80000000u, m_sender.sendPacket(packet.data(), 0));
    EXPECT_EQ(0x80000000u, m_sender.sendPacket(packet.data(), 65789));
    EXPECT_TRUE(m_socket.sent.empty());

    // Exactly 65792 bytes with the length word pass.
    EXPECT_EQ(1u, m_sender.sendPacket(packet.data(), 65788));
    ASSERT_EQ(65792u, m_socket.sent.size());
    EXPECT_EQ(hexOf(Bytes{0xFC, 0x00, 0x01, 0x00}), hexOf(Bytes(m_socket.sent.begin(), m_socket.sent.begin() + 4)));

    // A length off a multiple of 4 is filled with zeros.
    m_socket.sent.clear();
    EXPECT_EQ(1u, m_sender.sendPacket(packet.data(), 5));
    EXPECT_EQ("050000001111111111000000", hexOf(m_socket.sent));

    m_socket.connected = false;
    EXPECT_EQ(0x80000000u, m_sender.muteOn());
    ASSERT_EQ(0u, m_sender.finalize());
    m_socket.connected = true;
    EXPECT_EQ(0x80000000u, m_sender.muteOn());
}

// A socket that takes a few bytes per call must see every byte exactly once, in order.
TEST_F(CommandSenderTest, PartialTakesContinueBehindTheBytesTaken)
{
    Bytes packet(4000);
    for (size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<unsigned char>(i * 7);
    m_socket.takeAtMost = 333;
    EXPECT_EQ(1u, m_sender.sendPacket(packet.data(), static_cast<uint32_t>(packet.size())));
    EXPECT_EQ(hexOf(frameOf(packet)), hexOf(m_socket.sent));
    EXPECT_EQ(0, m_socket.disconnects);
}

// Without room the frame cannot be finished: the connection is closed instead of leaving the
// player's reader inside the frame.
TEST_F(CommandSenderTest, NoRoomWithinTheBoundClosesTheConnection)
{
    const Bytes packet(100, 0x22);
    m_socket.limitedRoom = true;
    m_socket.room = 40;
    EXPECT_EQ(0x80000000u, m_sender.sendPacket(packet.data(), 100));
    EXPECT_EQ(40u, m_socket.sent.size());
    EXPECT_EQ(1, m_socket.disconnects);
    EXPECT_EQ(0x80000000u, m_sender.muteOn());
}

// The socket layer makes room only in its owner's runCallback: a sender given the owner's callback
// runs it while waiting, so a frame larger than the socket's room still goes out whole.
TEST_F(CommandSenderTest, RunsTheSocketCallbacksWhileWaitingForRoom)
{
    IgnoringCallback callback;
    ASSERT_EQ(0u, m_sender.initialize(&m_socket, &callback));
    Bytes packet(5000);
    for (size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<unsigned char>(i);
    m_socket.limitedRoom = true;
    m_socket.room = 1000;
    m_socket.refillPerCallback = 700;
    EXPECT_EQ(1u, m_sender.sendPacket(packet.data(), static_cast<uint32_t>(packet.size())));
    EXPECT_EQ(hexOf(frameOf(packet)), hexOf(m_socket.sent));
    EXPECT_GE(m_socket.callbackRuns, 6);
    EXPECT_EQ(0, m_socket.disconnects);
}

}  // namespace
