#include "VUviRido/Socket/VComCollection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "VComTestOwner.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "VUviRido/Socket/VComUdpSocket.h"

using namespace vcomtest;
using VCOM::IVCom;
using VCOM::VComCollection;

namespace {

// A member that only counts what the collection asks of it.
class FakeMember : public IVCom {
public:
    JLIB::JResult start(uint32_t userId, VCOM::IVComWakeupFunction& wakeup) override
    {
        m_user = userId;
        m_pTarget = &wakeup;
        ++starts;
        return 0;
    }
    JLIB::JResult stop() override
    {
        ++stops;
        return 0;
    }
    uint32_t getUserId() const override { return m_user; }
    uint32_t numOfConnection() override { return 0; }
    uint32_t capacityOfConnection() override { return 1; }
    IVCom* getSession(signed char) override { return this; }
    uint32_t getRemainSendBuff() override { return 0; }
    bool isConnected() override { return false; }
    JLIB::JResult receive(void*, uint32_t, uint32_t& count) override { return count = 0; }
    JLIB::JResult send(const void*, uint32_t, uint32_t& count) override { return count = 0; }
    JLIB::JResult disconnect() override { return 0; }
    JLIB::JResult runCallback(VCOM::IVComCallback&) override
    {
        ++deliveries;
        return 0;
    }
    JLIB::JResult wake() { return m_pTarget->wakeup(0, *this); }

    int starts = 0;
    int stops = 0;
    int deliveries = 0;

private:
    uint32_t m_user = 0;
    VCOM::IVComWakeupFunction* m_pTarget = nullptr;
};

class VComCollectionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(startLayers()); }
};

TEST_F(VComCollectionTest, RefusesA65thMemberAndADuplicate)
{
    std::vector<FakeMember> members(65);
    VComCollection collection;
    for (size_t i = 0; i < 64; ++i) ASSERT_EQ(0u, collection.addInstance(static_cast<uint32_t>(i), members[i]));
    EXPECT_EQ(0x80000000u, collection.addInstance(64, members[64]));
    EXPECT_EQ(0, members[64].starts);
    EXPECT_EQ(0u, collection.removeInstance(members[10]));
    EXPECT_EQ(0x80000000u, collection.addInstance(3, members[3]));
    EXPECT_EQ(1, members[3].starts);
    EXPECT_EQ(0u, collection.addInstance(64, members[64]));  // still usable
    EXPECT_EQ(64u, collection.size());
    EXPECT_EQ(&members[64], collection.getInstance(63));
    EXPECT_EQ(nullptr, collection.getInstance(64));
}

TEST_F(VComCollectionTest, FindsMembersByUserIdInTheOrderOfAdding)
{
    FakeMember a, b, c;
    VComCollection collection;
    ASSERT_EQ(0u, collection.addInstance(7, a));
    ASSERT_EQ(0u, collection.addInstance(8, b));
    ASSERT_EQ(0u, collection.addInstance(7, c));
    EXPECT_EQ(2u, collection.getInstanceCountByUserId(7));
    EXPECT_EQ(&a, collection.getInstanceByUserId(7, 0));
    EXPECT_EQ(&c, collection.getInstanceByUserId(7, 1));
    EXPECT_EQ(nullptr, collection.getInstanceByUserId(7, 2));
    EXPECT_EQ(0u, collection.removeInstance(a));
    EXPECT_EQ(1, a.stops);
    EXPECT_EQ(&c, collection.getInstanceByUserId(7, 0));
    EXPECT_EQ(1u, collection.getInstanceCountByUserId(7));
    EXPECT_EQ(&b, collection.getInstance(0));

    FakeMember stranger;
    EXPECT_EQ(0x80000000u, collection.removeInstance(stranger));
    EXPECT_EQ(0, stranger.stops);
}

TEST_F(VComCollectionTest, DeliversEachWokenMemberOncePerBatchAndForwardsWakeups)
{
    FakeMember a, b;
    FakeMember stranger;
    TestOwner owner;
    VComCollection collection;
    EXPECT_EQ(0u, collection.start(owner));
    ASSERT_EQ(0u, collection.addInstance(1, a));
    ASSERT_EQ(0u, collection.addInstance(2, b));
    EXPECT_EQ(0u, a.wake());
    EXPECT_EQ(0u, a.wake());
    EXPECT_EQ(0x80000000u, collection.wakeup(0, stranger));
    EXPECT_EQ(2, owner.wakeups());
    EXPECT_EQ(0u, collection.runCallback(owner));
    EXPECT_EQ(1, a.deliveries);
    EXPECT_EQ(0, b.deliveries);
    EXPECT_EQ(0u, collection.runCallback(owner));
    EXPECT_EQ(1, a.deliveries);

    EXPECT_EQ(0u, collection.stop());
    EXPECT_EQ(0u, b.wake());  // marked, not forwarded
    EXPECT_EQ(2, owner.wakeups());
    EXPECT_EQ(0u, collection.runCallback(owner));
    EXPECT_EQ(1, b.deliveries);
}

TEST_F(VComCollectionTest, DestructionStopsEveryMember)
{
    FakeMember a, b;
    {
        VComCollection collection;
        ASSERT_EQ(0u, collection.addInstance(1, a));
        ASSERT_EQ(0u, collection.addInstance(2, b));
    }
    EXPECT_EQ(1, a.stops);
    EXPECT_EQ(1, b.stops);
}

// One owner drives a server and a UDP socket through the collection; data that reaches a session
// wakes the owner for the server, the member it knows.
TEST_F(VComCollectionTest, DrivesRealSocketsIncludingServerSessions)
{
    TestOwner owner;
    struct Objects {  // the collection stops its members when it goes, so it goes first
        VCOM::VComTcpServerSocket server{2};
        VCOM::VComUdpSocket udp;
        VComCollection collection;
    };
    std::unique_ptr<Objects> objects(owner.call([] { return new Objects(); }));
    const uint16_t tcpPort = vsocktest::pickPort(SOCK_STREAM);
    const uint16_t udpPort = vsocktest::pickPort(SOCK_DGRAM);

    owner.call([&] {
        (void)objects->collection.start(owner);
        (void)objects->collection.addInstance(11, objects->server);
        (void)objects->collection.addInstance(12, objects->udp);
        EXPECT_EQ(1u, objects->server.listen(loopbackAddress(), tcpPort));
        EXPECT_EQ(0u, objects->udp.listen(loopbackAddress(), udpPort));
    });
    auto deliver = [&] { owner.call([&] { (void)objects->collection.runCallback(owner); }); };

    vsocktest::RawSocket client(SOCK_STREAM);
    ASSERT_TRUE(client.connectLoopback(tcpPort));
    ASSERT_TRUE(waitFor([&] {
        deliver();
        return owner.count("connected u11 s1") == 1;
    }));
    const int before = owner.wakeups();
    ASSERT_EQ(3, ::send(client.fd(), "abc", 3, 0));
    ASSERT_TRUE(waitFor([&] { return owner.wakeups() > before; }));
    deliver();
    EXPECT_EQ(1, owner.count("received u11 s1"));

    vsocktest::RawSocket peer(SOCK_DGRAM);
    ASSERT_TRUE(peer.sendTo(udpPort, "d", 1));
    ASSERT_TRUE(waitFor([&] {
        deliver();
        return owner.count("received u12 s0") >= 1;
    }));
    owner.call([&] { objects.reset(); });
    EXPECT_EQ(0, owner.offThreadEvents());
}

}  // namespace
