#include "JMDP/jmdp_Server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "JMDP/jmdp_Client.h"
#include "JMDP/jmdp_IServerMeterDataAccessor.h"
#include "JmdpTestSupport.h"

using namespace JMDP;
using jmdptest::Block;
using jmdptest::CountingCallback;
using jmdptest::kDevice;
using jmdptest::RawUdp;
using jmdptest::RecordingAccessor;
using jmdptest::sequence;

namespace {

// The server with its clock in the test's hand and its inner steps open.
class TestServer : public JMDPServer {
public:
    uint32_t currentTime() const override { return now.load(); }
    using JMDPServer::addMeter;
    using JMDPServer::findMeter;
    using JMDPServer::incWritePointer;
    using JMDPServer::isSendBlocked;
    using JMDPServer::meterBuffer;
    using JMDPServer::meterLifetime;
    using JMDPServer::sendIndex;
    using JMDPServer::sendMeter;
    using JMDPServer::writeIndex;

    std::atomic<uint32_t> now{100000};
};

// Adds one block of dataNum bytes (values 1, 2, ...) per meter unless told otherwise; a block that
// does not fit is left to the buffer's add-failed flag, as the server expects.
class FakeAccessor : public IServerMeterDataAccessor {
public:
    using Fill = std::function<JLIB::JResult(IMeterBuffer&, const JMDPServer::MeterInfo&, uint32_t, uint32_t)>;

    JLIB::JResult fillMeterBuffer(IMeterBuffer& buffer, const JMDPServer::MeterInfo& meter, uint32_t startPos,
                                  uint32_t dataNum) override
    {
        filled.push_back(meter.meterId);
        if (fill) return fill(buffer, meter, startPos, dataNum);
        const std::vector<uint8_t> values = sequence(dataNum);
        (void)buffer.addBlock(0, meter.meterId, values.data(), startPos, dataNum, false);
        return 0;
    }
    JLIB::JResult meterSent(uint32_t reserved) override
    {
        EXPECT_EQ(0u, reserved);
        ++sent;
        return 0x80000000u;  // not looked at
    }

    Fill fill;
    std::vector<uint32_t> filled;
    std::atomic<int> sent{0};
};

class JMDPServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jmdptest::startLayers());
        ASSERT_TRUE(m_peer.bind(0));
        ASSERT_EQ(0u, m_server.initialize(&m_accessor, "127.0.0.1", kDevice, "PRCS", "127.0.0.1", m_peer.port(), 60));
    }

    // The next datagram's blocks, as the client decodes them.
    std::vector<Block> nextPacket(uint32_t* sentTime = nullptr)
    {
        const std::vector<uint8_t> bytes = m_peer.receive();
        EXPECT_FALSE(bytes.empty());
        if (sentTime && bytes.size() >= 20) {
            *sentTime = (uint32_t(bytes[16]) << 24) | (uint32_t(bytes[17]) << 16) | (uint32_t(bytes[18]) << 8) | bytes[19];
        }
        RecordingAccessor decoded;
        EXPECT_EQ(0u, decodeMeterDatagram(bytes.data(), static_cast<uint32_t>(bytes.size()), kDevice, "PRCS", &decoded));
        return decoded.take();
    }

    // Lets the packet in flight go once its completion was reported.
    void release()
    {
        ASSERT_TRUE(jmdptest::waitFor([&] { return m_accessor.sent.load() >= m_sentSeen + 1; }));
        m_sentSeen = m_accessor.sent.load();
        ASSERT_EQ(0u, m_server.run(kRunReleaseSent));
    }

    RawUdp m_peer;
    FakeAccessor m_accessor;
    TestServer m_server;
    int m_sentSeen = 0;
};

TEST_F(JMDPServerTest, CollectsAMeterAtItsIntervalAndSendsItsPacket)
{
    ASSERT_EQ(0u, m_server.startMeter(MeterId(1, 2, 3), 100, 40, 3));
    ASSERT_EQ(0u, m_server.run(kRunCollect));  // due at once: never collected
    uint32_t sentTime = 0;
    std::vector<Block> blocks = nextPacket(&sentTime);
    ASSERT_EQ(1u, blocks.size());
    EXPECT_EQ(0x010203u, blocks[0].meterId);
    EXPECT_EQ(40u, blocks[0].start);
    EXPECT_EQ(sequence(3), blocks[0].values);
    EXPECT_EQ(100000u, sentTime);
    EXPECT_TRUE(m_server.isSendBlocked());
    EXPECT_EQ(kSendBlocked, m_server.sendMeter(100000));
    release();
    EXPECT_EQ(1u, m_server.sendIndex());
    EXPECT_EQ(0u, m_server.meterBuffer(0).blockNum());
    EXPECT_EQ(MeterBuffer::kCollecting, m_server.meterBuffer(0).status());

    m_server.now = 100099;
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    EXPECT_EQ(1u, m_accessor.filled.size());  // not yet due
    m_server.now = 100100;
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    EXPECT_EQ(2u, m_accessor.filled.size());
    blocks = nextPacket(&sentTime);
    EXPECT_EQ(1u, blocks.size());
    EXPECT_EQ(100100u, sentTime);
}

TEST_F(JMDPServerTest, MetersShareAPacketInAscendingIdOrder)
{
    ASSERT_EQ(0u, m_server.startMeter(MeterId(2, 0, 0), 10, 0, 2));
    ASSERT_EQ(0u, m_server.startMeter(MeterId(1, 0, 0), 10, 0, 1));
    ASSERT_EQ(0u, m_server.startMeter(MeterId(3, 0, 0), 10, 0, 0));  // nothing to collect: retried, never sent
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    const std::vector<Block> blocks = nextPacket();
    ASSERT_EQ(2u, blocks.size());
    EXPECT_EQ(0x010000u, blocks[0].meterId);
    EXPECT_EQ(0x020000u, blocks[1].meterId);
    EXPECT_TRUE(m_server.findMeter(MeterId(3, 0, 0))->retry);
}

TEST_F(JMDPServerTest, MetersExpireAfterTheirLifetime)
{
    EXPECT_EQ(60000u, m_server.meterLifetime());
    ASSERT_EQ(0u, m_server.startMeter(MeterId(1, 0, 0), 1000000, 0, 1));
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    m_server.now = 100000 + 60000;
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    EXPECT_TRUE(m_server.findMeter(MeterId(1, 0, 0))->active);
    m_server.now = 100000 + 60001;
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    const JMDPServer::MeterInfo* meter = m_server.findMeter(MeterId(1, 0, 0));
    ASSERT_NE(nullptr, meter);  // the entry stays, stopped
    EXPECT_FALSE(meter->active);
    EXPECT_EQ(0u, meter->dataNum);

    // Starting again renews the lifetime.
    ASSERT_EQ(0u, m_server.startMeter(MeterId(1, 0, 0), 1000000, 0, 1));
    m_server.now = 100000 + 60001 + 60000;
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    EXPECT_TRUE(m_server.findMeter(MeterId(1, 0, 0))->active);
}

TEST_F(JMDPServerTest, StopMeterResetsListedMetersOnly)
{
    EXPECT_EQ(0u, m_server.stopMeter(MeterId(9, 9, 9)));
    EXPECT_EQ(nullptr, m_server.findMeter(MeterId(9, 9, 9)));
    ASSERT_EQ(0u, m_server.startMeter(MeterId(1, 0, 0), 10, 5, 1));
    ASSERT_EQ(0u, m_server.startMeter(MeterId(2, 0, 0), 10, 5, 1));
    EXPECT_EQ(0u, m_server.stopMeter(MeterId(1, 0, 0)));
    EXPECT_FALSE(m_server.findMeter(MeterId(1, 0, 0))->active);
    EXPECT_TRUE(m_server.findMeter(MeterId(2, 0, 0))->active);
    EXPECT_EQ(0u, m_server.stopMeter());
    EXPECT_FALSE(m_server.findMeter(MeterId(2, 0, 0))->active);
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    EXPECT_TRUE(m_accessor.filled.empty());
}

TEST_F(JMDPServerTest, AddMeterAnswersWhyAMeterDidNotGoIn)
{
    JMDPServer::MeterInfo meter;
    meter.meterId = MeterId(1, 0, 0);
    meter.dataNum = 0;
    EXPECT_EQ(0x80000000u, m_server.addMeter(meter));

    meter.dataNum = 600;
    EXPECT_EQ(0u, m_server.addMeter(meter));
    EXPECT_EQ(0u, m_server.addMeter(meter));
    EXPECT_EQ(0x80000008u, m_server.addMeter(meter));  // 20 + 2 x 608 leaves no room for a third

    ASSERT_EQ(0u, m_server.incWritePointer(true));
    meter.dataNum = 1373;  // 20 + 8 + 1373 > 1400: never fits
    EXPECT_EQ(0x80000010u, m_server.addMeter(meter));

    m_accessor.fill = [](IMeterBuffer&, const JMDPServer::MeterInfo&, uint32_t, uint32_t) { return 0x80000005u; };
    meter.dataNum = 1;
    EXPECT_EQ(0x80000002u, m_server.addMeter(meter));
}

TEST_F(JMDPServerTest, FullMeterMovesToTheNextPacketAndTheRingStopsAtThePacketInFlight)
{
    ASSERT_EQ(0u, m_server.startMeter(MeterId(1, 0, 0), 0, 0, 700));
    ASSERT_EQ(0u, m_server.startMeter(MeterId(2, 0, 0), 0, 0, 700));
    ASSERT_EQ(0u, m_server.run(kRunCollect));
    // Meter 2 did not fit beside meter 1: retried into packet 1, while packet 0 is sent.
    EXPECT_TRUE(m_server.findMeter(MeterId(2, 0, 0))->retry);
    EXPECT_EQ(1u, m_server.writeIndex());
    EXPECT_EQ(1u, nextPacket().size());

    // Without release nothing more is sent; each run fills one more packet until the write
    // position would move onto the packet in flight.
    for (int i = 0; i < 8; ++i) ASSERT_EQ(0u, m_server.run(kRunCollect));
    EXPECT_EQ(9u, m_server.writeIndex());
    EXPECT_EQ(0x80000001u, m_server.incWritePointer(true));
    EXPECT_EQ(9u, m_server.writeIndex());
    ASSERT_EQ(0u, m_server.run(kRunCollect));  // fills packet 9, then moves on without the test
    EXPECT_EQ(0u, m_server.writeIndex());
    EXPECT_EQ(0u, m_server.sendIndex());
    EXPECT_EQ(MeterBuffer::kSending, m_server.meterBuffer(0).status());
    JMDPServer::MeterInfo meter = *m_server.findMeter(MeterId(1, 0, 0));
    EXPECT_EQ(0x80000001u, m_server.addMeter(meter));
    for (uint32_t i = 1; i < JMDPServer::kBufferCount; ++i) EXPECT_EQ(1u, m_server.meterBuffer(i).blockNum());

    // Released, the queued packets leave one per run.
    for (uint32_t i = 1; i < JMDPServer::kBufferCount; ++i) {
        SCOPED_TRACE(i);
        release();
        EXPECT_EQ(1u, nextPacket().size());
    }
}

TEST_F(JMDPServerTest, FailedSendDropsThePacketAndTellsTheAccessor)
{
    ASSERT_EQ(0u, m_server.startMeter(MeterId(1, 0, 0), 0, 0, 1));
    EXPECT_EQ(0u, m_server.finalize());  // the socket is gone, the meters stay
    EXPECT_TRUE(m_server.isSendBlocked());
    EXPECT_EQ(0u, m_server.run(kRunCollect));  // collected into packet 0, not sent
    EXPECT_EQ(kSendBlocked, m_server.sendMeter(0));
    ASSERT_EQ(1u, m_server.meterBuffer(0).blockNum());
    const int sentBefore = m_accessor.sent.load();
    EXPECT_EQ(0u, m_server.run(kRunReleaseSent));
    EXPECT_EQ(sentBefore + 1, m_accessor.sent.load());
    EXPECT_EQ(0u, m_server.meterBuffer(0).blockNum());
    EXPECT_EQ(MeterBuffer::kCollecting, m_server.meterBuffer(0).status());
    EXPECT_FALSE(m_server.isSendBlocked());
}

TEST(JMDPServerLifeTest, InitializeAndFinalizeAnswers)
{
    ASSERT_TRUE(jmdptest::startLayers());
    TestServer server;
    FakeAccessor accessor;
    EXPECT_EQ(0x80000000u, server.finalize());
    EXPECT_EQ(0x80000000u, server.startMeter(MeterId(), 1, 0, 1));
    EXPECT_EQ(0x80000000u, server.stopMeter(MeterId()));
    EXPECT_EQ(0x80000000u, server.stopMeter());
    EXPECT_EQ(0x80000000u, server.run(kRunCollect));
    EXPECT_TRUE(server.isSendBlocked());
    struct Case {
        const char* label;
        const char* local;
        const char* name;
        uint32_t lifetime;
    };
    const Case refused[] = {
        {"no address", nullptr, "PRCS", 10},
        {"no name", "127.0.0.1", nullptr, 10},
        {"lifetime 0", "127.0.0.1", "PRCS", 0},
        {"name of 5", "127.0.0.1", "PRCSX", 10},
        {"not an address", "local", "PRCS", 10},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(0x80000000u, server.initialize(&accessor, c.local, kDevice, c.name, "127.0.0.1", 9, c.lifetime));
    }
    struct Lifetime {
        uint32_t seconds;
        uint32_t ms;
    };
    const Lifetime lifetimes[] = {{1, 1000}, {4294966, 4294966000u}, {4294967, 0xFFFFFFFFu}, {5000000, 0xFFFFFFFFu}};
    for (const Lifetime& l : lifetimes) {
        SCOPED_TRACE(l.seconds);
        ASSERT_EQ(0u, server.initialize(&accessor, "127.0.0.1", kDevice, "PRCS", "127.0.0.1", 9, l.seconds));
        EXPECT_EQ(l.ms, server.meterLifetime());
        EXPECT_FALSE(server.isSendBlocked());
    }
    EXPECT_EQ(0u, server.finalize());
    EXPECT_EQ(0u, server.finalize());
    EXPECT_TRUE(server.isSendBlocked());
}

// A server and a client of the same test, over unicast and over the group on the loopback interface.
TEST(JMDPServerLinkTest, ClientReceivesWhatTheServerSends)
{
    ASSERT_TRUE(jmdptest::startLayers());
    struct Case {
        const char* destination;
    };
    const Case cases[] = {{"127.0.0.1"}, {kDefaultGroupAddress}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        RecordingAccessor received;
        CountingCallback callback;
        uint16_t port = 0;
        const auto opened = jmdptest::openClient(kDefaultGroupAddress, "127.0.0.1", &received, &callback, port);
        ASSERT_NE(nullptr, opened);
        JMDPClient& client = *opened;

        TestServer server;
        FakeAccessor accessor;
        accessor.fill = [](IMeterBuffer& buffer, const JMDPServer::MeterInfo& meter, uint32_t start, uint32_t count) {
            const std::vector<uint8_t> values = sequence(count * 2, 30);
            ExtendedArea area;
            EXPECT_EQ(0u, area.setArea(0xA, 0xB, "tag", 3));
            EXPECT_EQ(0u, buffer.addBlockEx(4, meter.meterId, values.data(), start, count, area, true));
            return 0u;
        };
        ASSERT_EQ(0u, server.initialize(&accessor, "127.0.0.1", kDevice, "PRCS", c.destination, port, 60));
        ASSERT_EQ(0u, server.startMeter(MeterId(0x12, 0x34, 5), 50, 8, 4));
        ASSERT_EQ(0u, server.startMeter(MeterId(0x12, 0x34, 6), 50, 0, 1));
        ASSERT_EQ(0u, server.run(kRunCollect));
        ASSERT_TRUE(callback.waitForCount(1));
        ASSERT_EQ(0u, client.receive());
        std::vector<Block> blocks = received.take();
        ASSERT_EQ(2u, blocks.size());
        EXPECT_EQ(0x123405u, blocks[0].meterId);
        EXPECT_EQ(0x80 | 0x40 | 0x20 | 4, blocks[0].flags);
        EXPECT_EQ(8u, blocks[0].start);
        EXPECT_EQ(sequence(8, 30), blocks[0].values);
        EXPECT_EQ((std::vector<uint8_t>{'t', 'a', 'g'}), blocks[0].area);
        EXPECT_EQ(0x123406u, blocks[1].meterId);

        // The next packet once the first has left and the interval has passed.
        ASSERT_TRUE(jmdptest::waitFor([&] { return accessor.sent.load() == 1; }));
        server.now = server.now.load() + 50;
        ASSERT_EQ(0u, server.run(kRunReleaseSent | kRunCollect));
        ASSERT_TRUE(callback.waitForCount(2));
        ASSERT_EQ(0u, client.receive());
        EXPECT_EQ(2u, received.take().size());
    }
}

}  // namespace
