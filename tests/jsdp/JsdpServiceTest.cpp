#include "jsdp/JsdpService.h"

#include <gtest/gtest.h>

#include <memory>

#include "JsdpTestSupport.h"
#include "jsdp/jsdp_address.h"
#include "jsdp/jsdp_packet.h"

using namespace JSDP;
using jsdptest::ipv4;
using jsdptest::Request;

namespace {

std::unique_ptr<JsdpService> makeService(int32_t id = 0)
{
    auto service = std::make_unique<JsdpService>();
    EXPECT_EQ(0u, service->initialize(id));
    return service;
}

}  // namespace

TEST(JsdpServiceTest, BuildsTheDatagramOfARegistration)
{
    Request request(kRoleResponder, "192.168.1.20", 54330, "abc");
    auto service = makeService();
    ASSERT_EQ(0u, service->setupData(kRoleResponder, request.property));
    const uint8_t expected[36] = {'J', 'S', 'D', 'P', 0, 30, 0x80, 4, 192, 168, 1, 20, 0, 0, 0, 0, 0, 0,
                                  0,   0,   0,   0,   0, 0,  0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 3, 'a', 'b', 'c', 0, 0};
    ASSERT_EQ(36u, service->getDatagramSize());
    EXPECT_EQ(0, std::memcmp(expected, service->getDatagram(), sizeof(expected)));

    const JsdpTxData& tx = service->getTxData();
    EXPECT_EQ(service->getDatagram(), tx.getData());
    EXPECT_EQ(36u, tx.getSize());
    EXPECT_EQ(54330, tx.getDestination().port);
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("239.192.0.64"), tx.getDestination().addr));
    EXPECT_TRUE(service->joinsGroup());
    EXPECT_EQ(0u, service->getInterval());  // a responder has none

    // What is built passes the receiver's checks.
    T_JSDP_SHARE_HOST_INFO view;
    EXPECT_EQ(0u, convertPacket2ShareHostInfo(&view, service->getDatagram(), service->getDatagramSize()));
}

TEST(JsdpServiceTest, ListeningRolesSendRequestsAndLargestDatagramFits)
{
    Request request(kRoleBoth, "10.0.0.5", 54330, std::string(255, 'n'));
    request.extension.assign(1024, 0xEE);
    auto service = makeService();
    ASSERT_EQ(0u, service->setupData(kRoleBoth, request.sync()));
    EXPECT_EQ(1312u, service->getDatagramSize());
    EXPECT_EQ(0x00, service->getDatagram()[6]);
    EXPECT_EQ(5000u, service->getInterval());
    T_JSDP_SHARE_HOST_INFO view;
    EXPECT_EQ(0u, convertPacket2ShareHostInfo(&view, service->getDatagram(), service->getDatagramSize()));
    EXPECT_EQ(1024, view.extensionLength);
}

TEST(JsdpServiceTest, AllZeroGroupSendsToTheSubnetsDirectedBroadcast)
{
    Request request(kRoleListener, "192.168.1.20", 54330, "svc", nullptr);
    auto service = makeService();
    ASSERT_EQ(0u, service->setupData(kRoleListener, request.property));
    EXPECT_FALSE(service->joinsGroup());
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("192.168.1.255"), service->getDestination()));
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("192.168.1.255"), service->getTxData().getDestination().addr));

    Request loopback(kRoleListener, "127.0.0.1", 54330, "svc", "0.0.0.0");
    loopback.property.subnetMask = ipv4("255.0.0.0");
    ASSERT_EQ(0u, service->setupData(kRoleListener, loopback.property));
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("127.255.255.255"), service->getDestination()));
}

TEST(JsdpServiceTest, StatusChangeRewritesOnlyTheLowFourBits)
{
    auto service = makeService();
    EXPECT_EQ(0x80000002u, service->setStatus(1));  // nothing built yet
    Request request(kRoleResponder, "192.168.1.20", 54330, "abc");
    ASSERT_EQ(0u, service->setupData(kRoleResponder, request.property));
    EXPECT_EQ(0x80000002u, service->setStatus(16));
    ASSERT_EQ(0u, service->setStatus(1));
    EXPECT_EQ(0x81, service->getDatagram()[6]);
    ASSERT_EQ(0u, service->setStatus(15));
    EXPECT_EQ(0x8F, service->getDatagram()[6]);
    ASSERT_EQ(0u, service->setStatus(0));
    EXPECT_EQ(0x80, service->getDatagram()[6]);
    EXPECT_EQ(0, service->getStatus());

    service->refresh();
    EXPECT_EQ(0, service->getId());  // kept
    EXPECT_FALSE(service->isBuilt());
    EXPECT_EQ(0x80000002u, service->setStatus(1));
}

TEST(JsdpServiceTest, NamesMatchOnlyWhenEqualAndNotEmpty)
{
    auto service = makeService();
    Request request(kRoleResponder, "192.168.1.20", 54330, "abc");
    ASSERT_EQ(0u, service->setupData(kRoleResponder, request.property));
    EXPECT_TRUE(service->compareName(3, reinterpret_cast<const uint8_t*>("abc")));
    EXPECT_FALSE(service->compareName(3, reinterpret_cast<const uint8_t*>("abd")));
    EXPECT_FALSE(service->compareName(2, reinterpret_cast<const uint8_t*>("ab")));
    Request empty(kRoleResponder, "192.168.1.20", 54330, "");
    ASSERT_EQ(0u, service->setupData(kRoleResponder, empty.property));
    EXPECT_FALSE(service->compareName(0, reinterpret_cast<const uint8_t*>("")));
    EXPECT_EQ(0x80000000u, JsdpService().initialize(-1));
}
