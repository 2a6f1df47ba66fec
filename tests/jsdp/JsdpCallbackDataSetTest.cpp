#include "jsdp/JsdpCallbackDataSet.h"

#include <gtest/gtest.h>

#include <vector>

using namespace JSDP;

namespace {

std::vector<uint32_t>& events()
{
    static std::vector<uint32_t> list;
    return list;
}

JLIB::JResult recordEvent(uint32_t event)
{
    events().push_back(event);
    return 0;
}

}  // namespace

TEST(JsdpCallbackDataSetTest, RecordsSendAndReceiveEventsOfKnownSockets)
{
    events().clear();
    JsdpCallbackPair pairs[2];
    JsdpCallbackDataSet set;
    set.initialize(nullptr, nullptr, 0, &recordEvent, pairs, 2);
    pairs[0].setSockId(7);
    pairs[1].setSockId(9);
    struct Case {
        int32_t socket;
        int32_t type;
        int32_t value;
    };
    const Case cases[] = {
        {9, NETC_SOCK_EV_UDP_RECEIVED, 36},
        {9, NETC_SOCK_EV_UDP_RECEIVED, 40},
        {9, NETC_SOCK_EV_UDP_RECEIVED, static_cast<int32_t>(0xface0004u)},  // a failed notice
        {7, NETC_SOCK_EV_UDP_SENT, 36},
        {7, NETC_SOCK_EV_TCP_RECEIVED, 1},  // not recorded
        {3, NETC_SOCK_EV_UDP_RECEIVED, 5},  // unknown socket
    };
    for (const Case& c : cases) {
        netc_sock_cb_prm prm = {c.type, c.value};
        EXPECT_EQ(0u, set.callback(c.socket, &prm));
    }
    EXPECT_EQ((std::vector<uint32_t>{2, 2, 2, 2}), events());

    set.copyWorks();
    const T_JSDP_VSOCK_CALLBACK_DATA* w0 = set.getWork(0);
    const T_JSDP_VSOCK_CALLBACK_DATA* w1 = set.getWork(1);
    ASSERT_NE(nullptr, w0);
    ASSERT_NE(nullptr, w1);
    EXPECT_EQ(kCallbackSent, w0->flags);
    EXPECT_EQ(36, w0->sendResult);
    EXPECT_EQ(0, w0->receiveCount);
    EXPECT_EQ(kCallbackReceived, w1->flags);
    EXPECT_EQ(2, w1->receiveCount);
    EXPECT_EQ(static_cast<int32_t>(0xface0004u), w1->receiveError);
    EXPECT_EQ(9, pairs[1].live().sockId);  // kept
    EXPECT_EQ(0, pairs[1].live().receiveCount);  // taken over
    EXPECT_EQ(nullptr, set.getWork(2));
    EXPECT_EQ(nullptr, set.getPair(2));

    pairs[1].setSockId(9);  // bound again: nothing of before stays
    EXPECT_EQ(0u, pairs[1].work().flags);
    EXPECT_EQ(0, pairs[1].work().receiveCount);
}
