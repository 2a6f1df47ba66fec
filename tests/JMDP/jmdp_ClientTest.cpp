#include "JMDP/jmdp_Client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "JmdpTestSupport.h"

using namespace JMDP;
using jmdptest::Block;
using jmdptest::CountingCallback;
using jmdptest::kDevice;
using jmdptest::PacketWriter;
using jmdptest::RawUdp;
using jmdptest::RecordingAccessor;
using jmdptest::sequence;

namespace {

// A datagram that every test client accepts: one block of meter (1, 2, 3) holding marker.
std::vector<uint8_t> goodPacket(uint8_t marker)
{
    return PacketWriter().block(0, 1, 2, 3, 0, 1).values(1, marker).bytes();
}

std::vector<uint8_t> shortened(std::vector<uint8_t> bytes, size_t by)
{
    bytes.resize(bytes.size() - by);
    return bytes;
}

JLIB::JResult decode(const std::vector<uint8_t>& bytes, RecordingAccessor& accessor)
{
    return decodeMeterDatagram(bytes.data(), static_cast<uint32_t>(bytes.size()), kDevice, "PRCS", &accessor);
}

TEST(DecodeMeterDatagramTest, HandsOverBlocksUntilTheFirstBadOne)
{
    struct Case {
        const char* label;
        std::vector<uint8_t> bytes;
        JLIB::JResult result;
        size_t blocks;
    };
    const Case cases[] = {
        {"format 4, three values", PacketWriter().block(4, 1, 2, 3, 0, 3).values(6).bytes(), 0, 1},
        {"two blocks", PacketWriter().block(0x80, 1, 0, 0, 0, 2).values(2).block(1, 1, 0, 1, 0, 1).values(1).bytes(), 0,
         2},
        {"second block short",
         PacketWriter().block(0x80, 1, 0, 0, 0, 2).values(2).block(4, 1, 0, 1, 0, 2).values(3).bytes(), 0x80000000u, 1},
        {"next flag without a next block", PacketWriter().block(0x80, 1, 0, 0, 0, 1).values(1).bytes(), 0x80000000u, 1},
        {"bytes after the last block are ignored", PacketWriter().block(0, 1, 0, 0, 0, 1).values(9).bytes(), 0, 1},
        {"header only", PacketWriter().bytes(), 0x80000000u, 0},
        {"format 0x1F", PacketWriter().block(0x1F, 1, 0, 0, 0, 1).values(1).bytes(), 0x80000000u, 0},
        {"area then values", PacketWriter().block(0x40, 1, 0, 0, 0, 2).area(6, 1, 2, {9, 9}).values(2).bytes(), 0, 1},
        {"area ends the packet", PacketWriter().block(0x40, 1, 0, 0, 0, 0).area(6, 1, 2, {9, 9}).bytes(), 0x80000000u,
         0},
        {"area shorter than its fields", PacketWriter().block(0x40, 1, 0, 0, 0, 2).area(2, 1, 2, {}).bytes(),
         0x80000000u, 0},
        {"wrong name", PacketWriter(kDevice, "PRC").block(0, 1, 0, 0, 0, 1).values(1).bytes(), 0x80000000u, 0},
        {"wrong device", PacketWriter(SendProductId(1, 2, 3, 4, 0, 0, 0, 0)).block(0, 1, 0, 0, 0, 1).values(1).bytes(),
         0x80000000u, 0},
        {"19 bytes", shortened(PacketWriter().bytes(), 1), 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RecordingAccessor accessor;
        EXPECT_EQ(c.result, decode(c.bytes, accessor));
        EXPECT_EQ(c.blocks, accessor.take().size());
    }
}

TEST(DecodeMeterDatagramTest, ValuesPointIntoTheDatagramWithTheirSize)
{
    const std::vector<uint8_t> bytes =
        PacketWriter().block(0x80 | 0x20 | 4, 7, 0, 2, 300, 3).values(6, 40).block(0x40 | 5, 7, 1, 0, 1, 2).area(5, 3, 4, {0xCC}).values(2, 90).bytes();
    RecordingAccessor accessor;
    ASSERT_EQ(0u, decode(bytes, accessor));
    const std::vector<Block> blocks = accessor.take();
    ASSERT_EQ(2u, blocks.size());
    EXPECT_EQ(0x070002u, blocks[0].meterId);
    EXPECT_EQ(300u, blocks[0].start);
    EXPECT_EQ(3u, blocks[0].count);
    EXPECT_EQ(sequence(6, 40), blocks[0].values);
    EXPECT_EQ(0u, blocks[0].areaSize);  // no area read for a plain block
    EXPECT_EQ(5u, blocks[1].areaSize);
    EXPECT_EQ(std::vector<uint8_t>{0xCC}, blocks[1].area);
    EXPECT_EQ(sequence(2, 90), blocks[1].values);
    // Without an accessor the walk still answers.
    EXPECT_EQ(0u, decodeMeterDatagram(bytes.data(), static_cast<uint32_t>(bytes.size()), kDevice, "PRCS", nullptr));
}

// A client on a port of the test, fed by a plain UDP socket.
class JMDPClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jmdptest::startLayers());
        m_client = jmdptest::openClient(kDefaultGroupAddress, "127.0.0.1", &m_accessor, &m_callback, m_port);
        ASSERT_NE(nullptr, m_client);
    }

    // Sends the datagrams and waits until the client was told of each.
    void send(const std::vector<std::vector<uint8_t>>& datagrams)
    {
        const int before = m_callback.count();
        for (const auto& d : datagrams) ASSERT_TRUE(m_peer.sendTo("127.0.0.1", m_port, d));
        ASSERT_TRUE(m_callback.waitForCount(before + static_cast<int>(datagrams.size())));
    }

    std::vector<uint8_t> markers()
    {
        std::vector<uint8_t> found;
        for (const Block& b : m_accessor.take()) found.push_back(b.values.empty() ? 0 : b.values[0]);
        return found;
    }

    RawUdp m_peer;
    RecordingAccessor m_accessor;
    CountingCallback m_callback;
    uint16_t m_port = 0;
    std::unique_ptr<JMDPClient> m_client;
};

TEST_F(JMDPClientTest, ReceiveReadsEveryQueuedDatagram)
{
    EXPECT_EQ(0u, m_client->receive());  // nothing queued
    send({goodPacket(1), PacketWriter().block(0x80, 1, 2, 3, 0, 1).values(1, 2).block(0, 1, 2, 4, 0, 1).values(1, 3).bytes(),
          goodPacket(4)});
    EXPECT_EQ(m_client.get(), m_callback.last());
    EXPECT_EQ(0u, m_client->receive());
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4}), markers());
    EXPECT_EQ(0u, m_client->receive());
    EXPECT_TRUE(markers().empty());
}

TEST_F(JMDPClientTest, BadDatagramEndsTheCallAndTheNextCallGoesOn)
{
    struct Case {
        const char* label;
        std::vector<uint8_t> bad;
        std::vector<uint8_t> handedBeforeStop;
    };
    const Case cases[] = {
        {"wrong identifier", PacketWriter(SendProductId(192, 168, 0, 11, 0, 0, 0, 0)).block(0, 1, 2, 3, 0, 1).values(1, 9).bytes(), {}},
        {"wrong name", PacketWriter(kDevice, "PRCT").block(0, 1, 2, 3, 0, 1).values(1, 9).bytes(), {}},
        {"short values", PacketWriter().block(0x80, 1, 2, 3, 0, 1).values(1, 8).block(4, 1, 2, 3, 0, 4).values(7, 9).bytes(),
         {8}},
        {"short header", std::vector<uint8_t>{'J', 'M', 'D', 'P'}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        send({c.bad, goodPacket(5)});
        EXPECT_EQ(0x80000000u, m_client->receive());
        EXPECT_EQ(c.handedBeforeStop, markers());
        EXPECT_EQ(0u, m_client->receive());
        EXPECT_EQ(std::vector<uint8_t>{5}, markers());
    }
}

TEST_F(JMDPClientTest, OverlongDatagramIsDiscardedInsteadOfBlockingTheQueue)
{
    std::vector<uint8_t> overlong = PacketWriter().block(0, 1, 2, 3, 0, 1).values(1, 6).bytes();
    overlong.resize(1500, 0xEE);
    send({overlong, goodPacket(7), overlong});
    EXPECT_EQ(0u, m_client->receive());
    EXPECT_EQ(std::vector<uint8_t>{7}, markers());
    send({goodPacket(8)});
    EXPECT_EQ(0u, m_client->receive());
    EXPECT_EQ(std::vector<uint8_t>{8}, markers());
}

TEST_F(JMDPClientTest, FullStoreStillNotifiesSoThatTheOwnerDrainsIt)
{
    // More full-size datagrams than the socket layer's store holds, none read meanwhile: each one
    // is notified, the stored ones are read afterwards.
    constexpr int kSent = 60;
    std::vector<std::vector<uint8_t>> datagrams;
    for (int i = 0; i < kSent; ++i) {
        std::vector<uint8_t> d = goodPacket(static_cast<uint8_t>(i + 1));
        d.resize(kPacketMax, 0);
        datagrams.push_back(d);
    }
    send(datagrams);
    EXPECT_EQ(kSent, m_callback.count());
    EXPECT_EQ(0u, m_client->receive());
    const std::vector<uint8_t> got = markers();
    EXPECT_GT(got.size(), 10u);
    EXPECT_LT(got.size(), static_cast<size_t>(kSent));
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(i + 1, got[i]);  // the oldest kept, in order
}

TEST_F(JMDPClientTest, OnReceivedNotifiesForDatagramsAndAFullStoreOnly)
{
    struct Case {
        int32_t result;
        JLIB::JResult answer;
        int notified;
    };
    const Case cases[] = {
        {29, 0, 1},
        {VSOCK_E_RES, 0, 1},
        {VSOCK_E_NOEXS, 0x80000000u, 0},
        {VSOCK_E_SYS, 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        const int before = m_callback.count();
        EXPECT_EQ(c.answer, m_client->onReceived(c.result));
        EXPECT_EQ(before + c.notified, m_callback.count());
    }
    EXPECT_EQ(0u, m_client->onSent(-1));
}

TEST_F(JMDPClientTest, FinalizeStopsNotificationsAndInitializeAgainResumes)
{
    EXPECT_EQ(0u, m_client->finalize());
    EXPECT_EQ(0u, m_client->finalize());
    EXPECT_EQ(0x80000000u, m_client->receive());  // no socket
    EXPECT_EQ(0u, m_client->onReceived(1));         // the callback was forgotten
    EXPECT_EQ(0, m_callback.count());

    CountingCallback second;
    ASSERT_EQ(0u, m_client->initialize(&m_accessor, &second, "127.0.0.1", kDevice, "PRCS"));
    ASSERT_EQ(0u, m_client->initialize(&m_accessor, &second, "127.0.0.1", kDevice, "PRCS"));  // finalizes first
    ASSERT_TRUE(m_peer.sendTo("127.0.0.1", m_port, goodPacket(3)));
    ASSERT_TRUE(second.waitForCount(1));
    EXPECT_EQ(0u, m_client->receive());
    EXPECT_EQ(std::vector<uint8_t>{3}, markers());
    EXPECT_EQ(0, m_callback.count());
}

TEST_F(JMDPClientTest, SetSendProductIdChangesWhichDeviceIsAccepted)
{
    const SendProductId other(10, 0, 0, 2, 0, 0, 0, 0);
    EXPECT_EQ(0u, m_client->setSendProductId(other));
    send({goodPacket(1), PacketWriter(other).block(0, 1, 2, 3, 0, 1).values(1, 2).bytes()});
    EXPECT_EQ(0x80000000u, m_client->receive());
    EXPECT_EQ(0u, m_client->receive());
    EXPECT_EQ(std::vector<uint8_t>{2}, markers());
}

TEST(JMDPClientLifeTest, InitializeAndFinalizeAnswers)
{
    ASSERT_TRUE(jmdptest::startLayers());
    JMDPClient client(kDefaultGroupAddress, jmdptest::pickPort());
    EXPECT_EQ(0x80000000u, client.finalize());  // never initialised
    RecordingAccessor accessor;
    CountingCallback callback;
    struct Case {
        const char* label;
        const char* local;
        const char* name;
    };
    const Case refused[] = {
        {"no address", nullptr, "PRCS"},
        {"no name", "127.0.0.1", nullptr},
        {"not an address", "127.0.0", "PRCS"},
        {"not IPv4", "::1", "PRCS"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(0x80000000u, client.initialize(&accessor, &callback, c.local, kDevice, c.name));
    }
    EXPECT_EQ(0x80000000u, client.finalize());  // still never initialised
}

TEST(JMDPClientLifeTest, ClientsOnTwoPortsAreToldOfTheirOwnDatagrams)
{
    ASSERT_TRUE(jmdptest::startLayers());
    RecordingAccessor accessorA, accessorB;
    CountingCallback callbackA, callbackB;
    uint16_t portA = 0;
    uint16_t portB = 0;
    const auto clientA = jmdptest::openClient(kDefaultGroupAddress, "127.0.0.1", &accessorA, &callbackA, portA);
    const auto clientB = jmdptest::openClient(kDefaultGroupAddress, "127.0.0.1", &accessorB, &callbackB, portB);
    ASSERT_TRUE(clientA && clientB);
    JMDPClient& a = *clientA;
    JMDPClient& b = *clientB;
    RawUdp peer;
    ASSERT_TRUE(peer.sendTo("127.0.0.1", portB, goodPacket(2)));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", portB, goodPacket(3)));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", portA, goodPacket(1)));
    ASSERT_TRUE(callbackA.waitForCount(1));
    ASSERT_TRUE(callbackB.waitForCount(2));
    EXPECT_EQ(&a, callbackA.last());
    EXPECT_EQ(&b, callbackB.last());
    EXPECT_EQ(0u, a.receive());
    EXPECT_EQ(0u, b.receive());
    EXPECT_EQ(1u, accessorA.take().size());
    EXPECT_EQ(2u, accessorB.take().size());
}

TEST(JMDPClientGroupTest, GroupDatagramsArriveOnlyWhenAnInterfaceCarriesTheAddress)
{
    ASSERT_TRUE(jmdptest::startLayers());
    struct Case {
        const char* local;
        const char* group;
        std::vector<uint8_t> markers;
    };
    // 192.0.2.1 is carried by no interface here: no group membership, unicast still arrives. The
    // groups are this test's own: Linux hands a socket the datagrams of every group that any
    // socket of the host joined on its port.
    const Case cases[] = {{"127.0.0.1", "239.192.0.201", {1, 2}}, {"192.0.2.1", "239.192.0.202", {2}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.local);
        RecordingAccessor accessor;
        CountingCallback callback;
        uint16_t port = 0;
        const auto opened = jmdptest::openClient(c.group, c.local, &accessor, &callback, port);
        ASSERT_NE(nullptr, opened);
        JMDPClient& client = *opened;
        RawUdp peer;
        ASSERT_TRUE(peer.sendToGroup(c.group, port, goodPacket(1)));
        // The unicast marker follows the group datagram on the same path.
        ASSERT_TRUE(peer.sendTo("127.0.0.1", port, goodPacket(2)));
        ASSERT_TRUE(callback.waitForCount(static_cast<int>(c.markers.size())));
        EXPECT_EQ(0u, client.receive());
        std::vector<uint8_t> got;
        for (const Block& b : accessor.take()) got.push_back(b.values.at(0));
        std::sort(got.begin(), got.end());  // the two paths need not keep their order
        EXPECT_EQ(c.markers, got);
    }
}

}  // namespace
