#include "common/tpcp/CommandStreamReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/tpcp/NotificationCollection.h"
#include "TpcpTestSupport.h"

using namespace tpcptest;
using TPCP::CommandStreamReader;

namespace {

Bytes errorFrame(const char* a, const char* b)
{
    return frameOf(oscPacket([&](osc::OutboundPacketStream& s) {
        s << osc::BeginMessage("/DRAVO/error") << a << b << osc::EndMessage;
    }));
}

class CommandStreamReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, m_handlers.createNotificationMap()); }

    // One receive callback with these bytes waiting.
    JLIB::JResult deliver(const Bytes& bytes)
    {
        m_socket.readable.insert(m_socket.readable.end(), bytes.begin(), bytes.end());
        return m_reader.onReceived(m_socket, 0, m_handlers, m_processor);
    }

    ScriptedSocket m_socket;
    TPCP::NotificationCollection m_handlers;
    RecordingProcessor m_processor;
    CommandStreamReader m_reader;
};

TEST_F(CommandStreamReaderTest, AFrameOverSeveralCallbacksIsDecodedOnceWhenComplete)
{
    const Bytes frame = errorFrame("cut", "frame");
    // Cuts inside the length word, inside the packet, and at the last byte.
    const size_t cuts[] = {0, 2, 3, 17, frame.size() - 1, frame.size()};
    for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0u, deliver(Bytes(frame.begin() + cuts[i], frame.begin() + cuts[i + 1])));
        EXPECT_EQ(i + 2 == std::size(cuts) ? 1u : 0u, m_processor.calls().size());
    }
    EXPECT_FALSE(m_reader.hasPartialFrame());
    EXPECT_EQ(std::vector<std::string>{"error \"cut\" \"frame\""}, m_processor.calls());
}

TEST_F(CommandStreamReaderTest, FramesBackToBackInOneCallbackAllArriveInOrder)
{
    Bytes bytes = errorFrame("1", "a");
    const Bytes connected = frameOf(oscPacket([](osc::OutboundPacketStream& s) {
        s << osc::BeginMessage("/DRAVO/tcpconnected") << "p" << osc::EndMessage;
    }));
    const Bytes unknown = frameOf(oscPacket([](osc::OutboundPacketStream& s) { s << osc::BeginMessage("/DRAVO/x") << osc::EndMessage; }));
    const Bytes oneArgument = frameOf(oscPacket([](osc::OutboundPacketStream& s) { s << osc::BeginMessage("/DRAVO/error") << "x" << osc::EndMessage; }));
    // A frame whose length is off a multiple of 4 carries its zero fill; the reader stays in step.
    Bytes garbage = frameOf(Bytes{'/', 'x', 0});
    for (const Bytes* b : std::vector<const Bytes*>{&connected, &unknown, &oneArgument, &garbage}) bytes.insert(bytes.end(), b->begin(), b->end());
    const Bytes last = errorFrame("2", "b");
    bytes.insert(bytes.end(), last.begin(), last.end());
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, deliver(bytes));
    EXPECT_EQ(",invalid packet (3byte)\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ((std::vector<std::string>{"error \"1\" \"a\"", "tcpconnected \"p\"", "error \"2\" \"b\""}), m_processor.calls());
}

TEST_F(CommandStreamReaderTest, AnOversizedLengthClosesTheConnection)
{
    const Bytes lengthWord = {0xFD, 0x00, 0x01, 0x00, 1, 2, 3, 4};  // 65789: one byte too many
    EXPECT_EQ(0x80000000u, deliver(lengthWord));
    EXPECT_EQ(1, m_socket.disconnects);
    EXPECT_TRUE(m_processor.calls().empty());
    // The reader starts afresh on the next connection.
    m_socket.readable.clear();
    EXPECT_EQ(0u, deliver(errorFrame("a", "b")));
    EXPECT_EQ(1u, m_processor.calls().size());

    // The largest frame is still taken.
    const Bytes big = frameOf(oscPacket([](osc::OutboundPacketStream& s) {
        s << osc::BeginMessage("/DRAVO/error") << std::string(65788 - 25, 'z').c_str() << "y" << osc::EndMessage;
    }));
    ASSERT_EQ(65792u, big.size());
    EXPECT_EQ(0u, deliver(big));
    EXPECT_EQ(2u, m_processor.calls().size());
}

TEST_F(CommandStreamReaderTest, FailsForAnUnknownSessionOrAReadFailure)
{
    EXPECT_EQ(0x80000000u, m_reader.onReceived(m_socket, 3, m_handlers, m_processor));
    m_socket.receiveFailure = 0x80000081u;
    EXPECT_EQ(0x80000000u, deliver(errorFrame("a", "b")));
    EXPECT_TRUE(m_processor.calls().empty());
}

TEST_F(CommandStreamReaderTest, DecodeFrameRefusesAFrameShorterThanItsLength)
{
    const Bytes frame = errorFrame("a", "b");
    EXPECT_EQ(0x80000000u, CommandStreamReader::decodeFrame(frame.data(), frame.size() - 1, m_handlers, m_processor));
    EXPECT_EQ(0x80000000u, CommandStreamReader::decodeFrame(frame.data(), 3, m_handlers, m_processor));
    EXPECT_TRUE(m_processor.calls().empty());
    m_processor.result = 0x80000000u;  // a failing handler changes nothing
    EXPECT_EQ(0u, CommandStreamReader::decodeFrame(frame.data(), frame.size(), m_handlers, m_processor));
    EXPECT_EQ(1u, m_processor.calls().size());
}

}  // namespace
