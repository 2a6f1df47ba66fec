// The meter channel with real datagrams on 127.0.0.1: python3-liblo sends meters and player status
// with blobs, liblo's oscsend sends messages with a wrong argument count.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/tpcp/MeterChannelReader.h"
#include "common/tpcp/MeterNotificationCollection.h"
#include "OscServer/OscCore/OscPeer.h"
#include "TpcpTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "VUviRido/Socket/VComUdpSocket.h"

using namespace tpcptest;

namespace {

class MeterChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vcomtest::startLayers());
        ASSERT_EQ(0u, m_handlers.createMeterNotificationMap());
        m_udp.reset(m_owner.call([] { return new VCOM::VComUdpSocket(); }));
        m_owner.watch(*m_udp);
        m_owner.setHook([this](const std::string& name, uint32_t, signed char) {
            if (name == "received") m_readResults.push_back(m_reader.onReceived(*m_udp, m_handlers, m_processor));
        });
        m_port = vsocktest::pickPort(SOCK_DGRAM);
        ASSERT_EQ(0u, m_owner.call([this] {
            (void)m_udp->start(1, m_owner);
            return m_udp->listen(vcomtest::loopbackAddress(), m_port);
        }));
    }

    void TearDown() override
    {
        m_owner.call([this] { (void)m_udp->stop(); });
        m_owner.unwatchAll();
        m_owner.call([this] { m_udp.reset(); });
        EXPECT_EQ(0, m_owner.offThreadEvents());
    }

    int oscsend(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv = {"/usr/bin/oscsend", "127.0.0.1", std::to_string(m_port)};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        OscTest::ChildProcess child(argv, false);
        return child.finish();
    }

    uint16_t m_port = 0;
    vcomtest::TestOwner m_owner;
    std::unique_ptr<VCOM::VComUdpSocket> m_udp;
    TPCP::MeterNotificationCollection m_handlers;
    TPCP::MeterChannelReader m_reader;  // owner thread only
    RecordingProcessor m_processor;
    std::vector<JLIB::JResult> m_readResults;  // owner thread only
};

TEST_F(MeterChannelTest, MetersAndStatusReachTheProcessorAndWrongCountsDoNot)
{
    // oscsend's messages are on their way once it has ended.
    EXPECT_EQ(0, oscsend({"/DRAVO/meter", "iii", "1", "2", "3"}));
    EXPECT_EQ(0, oscsend({"/DRAVO/playerstatus", "iiiiiii", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(0, oscsend({"/DRAVO/unknown", "i", "1"}));

    OscTest::LibloClients python(1);
    ASSERT_TRUE(python.start());
    const std::string cores(40, 'a');  // two 20-byte records of 0xaa
    ASSERT_TRUE(python.send(0, m_port, "/DRAVO/meter", "iiiib", {"0", "1001", "2", "16", "7e7f00"}));
    ASSERT_TRUE(python.send(0, m_port, "/DRAVO/playerstatus", "iiiiib", {"3", "-1", "5", "0", "2", cores + cores}));
    ASSERT_TRUE(python.send(0, m_port, "/DRAVO/meter", "iiiis", {"0", "1", "2", "3", "not a blob"}));

    const std::vector<std::string> expected = {
        "meter 0 1001 2 16 3 7e7f00",
        "status 3 4294967295 5 0 2 40 " + cores + cores,
        "meter 0 1 2 3 0 -",
    };
    ASSERT_TRUE(vcomtest::waitFor([&] { return m_processor.calls().size() >= expected.size(); }));
    EXPECT_EQ(expected, m_processor.calls());
    for (JLIB::JResult r : m_owner.call([this] { return m_readResults; })) EXPECT_EQ(0u, r);
}

TEST_F(MeterChannelTest, AMalformedDatagramIsDroppedAndTheNextOneIsRead)
{
    vsocktest::RawSocket peer(SOCK_DGRAM);
    ASSERT_TRUE(peer.bindLoopback(0));
    const Bytes meter = oscPacket([](osc::OutboundPacketStream& s) {
        const unsigned char level[] = {126};
        s << osc::BeginMessage("/DRAVO/meter") << osc::int32(1) << osc::int32(2) << osc::int32(3) << osc::int32(4)
          << osc::Blob(level, 1) << osc::EndMessage;
    });
    Bytes broken = meter;
    broken.resize(broken.size() - 4);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(peer.sendTo(m_port, broken.data(), broken.size()));
    ASSERT_TRUE(peer.sendTo(m_port, meter.data(), meter.size()));
    ASSERT_TRUE(vcomtest::waitFor([&] { return !m_processor.calls().empty(); }));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::vector<std::string>{"meter 1 2 3 4 1 7e"}, m_processor.calls());
    EXPECT_NE(std::string::npos, printed.find(",invalid packet (" + std::to_string(broken.size()) + "byte)\n"));
}

}  // namespace
