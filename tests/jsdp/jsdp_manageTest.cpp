#include "jsdp/jsdp_manage.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "JsdpTestSupport.h"
#include "jsdp/JsdpComm.h"
#include "jsdp/JsdpNetwork.h"
#include "jsdp/JsdpService.h"
#include "jsdp/jsdp_address.h"

using namespace JSDP;
using jsdptest::ipv4;
using jsdptest::Request;

namespace {

std::mutex gEventMutex;
std::vector<uint32_t> gSetupEvents;  // event 1 only: socket events come from another task

JLIB::JResult recordEvent(uint32_t event)
{
    if (event == kEventSetup) {
        std::lock_guard<std::mutex> guard(gEventMutex);
        gSetupEvents.push_back(event);
    }
    return 0;
}

size_t setupEvents()
{
    std::lock_guard<std::mutex> guard(gEventMutex);
    return gSetupEvents.size();
}

const jsdptest::Locks& locks()
{
    static const jsdptest::Locks made = jsdptest::makeLocks();
    return made;
}

// The manager attached to a service task that records the events it is sent (state 2).
class JsdpManageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jsdptest::startLayers());
        ASSERT_NE(0, locks().main);
        ASSERT_TRUE(jsdptest::attachManager(locks(), &recordEvent));
        ASSERT_EQ(T_JSDP_MANAGE::kAttached, gl_manage.getState());
    }
    void TearDown() override { gl_manage.finalize(); }

    // Registers by id and answers the id, -1 when refused; the result goes to *result.
    int32_t add(Request& request, JLIB::JResult* result = nullptr)
    {
        int32_t id = 0x5A5A;
        const JLIB::JResult r = gl_manage.setConfig(&id, &request.sync());
        if (result) *result = r;
        return id;
    }
};

}  // namespace

TEST(JsdpManageLifeTest, RegistrationNeedsAnAttachedServiceTask)
{
    ASSERT_TRUE(jsdptest::startLayers());
    Request request(kRoleResponder, "127.0.0.1", 54330, "svc");
    int32_t id = 0;
    EXPECT_EQ(0x80000004u, gl_manage.setConfig(&id, &request.property));
    EXPECT_EQ(0x80000004u, gl_manage.setConfigObsolete(&request.property, 1));
    EXPECT_EQ(kJsdpNoLock, gl_manage.mainLock());

    ASSERT_EQ(0u, gl_manage.initialize(&jsdptest::lockSem, &jsdptest::unlockSem, locks().main, locks().socket));
    EXPECT_EQ(T_JSDP_MANAGE::kPoolsReady, gl_manage.getState());
    EXPECT_EQ(32u, gl_manage.getNumOfFreeHosts());
    EXPECT_EQ(5u, gl_manage.getNumOfFreeObservers());
    EXPECT_EQ(0x80000003u, gl_manage.setConfig(&id, &request.property));  // no event function yet
    EXPECT_EQ(-1, id);
    EXPECT_EQ(0x80000003u, gl_manage.setConfigObsolete(&request.property, 1));

    const _T_JSDP_LOCAL_SETUP record = {&recordEvent, &jsdptest::lockSem, &jsdptest::unlockSem, 0, 0};
    EXPECT_EQ(0x80000002u, gl_manage.setup(nullptr));
    ASSERT_EQ(0u, gl_manage.setup(&record));
    EXPECT_EQ(T_JSDP_MANAGE::kAttached, gl_manage.getState());
    EXPECT_EQ(0x80000005u, gl_manage.setup(&record));
    ASSERT_EQ(0u, gl_manage.mainLock());  // the ids of initialize stay
    ASSERT_EQ(0u, gl_manage.mainUnlock());
    EXPECT_EQ(0u, gl_manage.setConfig(&id, &request.property));
    EXPECT_EQ(0, id);
    EXPECT_EQ(T_JSDP_MANAGE::kRunning, gl_manage.getState());

    gl_manage.finalize();
    EXPECT_EQ(T_JSDP_MANAGE::kUninitialized, gl_manage.getState());
    EXPECT_EQ(0u, gl_manage.getNumOfFreeHosts());
    EXPECT_EQ(kJsdpNoLock, gl_manage.mainLock());  // the locks are forgotten
    EXPECT_EQ(0x80000004u, gl_manage.getStatus(0));
    EXPECT_EQ(0x80000004u, gl_manage.setConfig(&id, &request.property));
}

TEST_F(JsdpManageTest, IdsComeInFreeListOrder)
{
    const size_t before = setupEvents();
    Request requests[] = {
        {kRoleResponder, "127.0.0.1", 54330, "a"},
        {kRoleResponder, "127.0.0.1", 54330, "b"},
        {kRoleResponder, "127.0.0.1", 54330, "c"},
        {kRoleResponder, "127.0.0.1", 54330, "d"},
    };
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(i, add(requests[i]));
    EXPECT_EQ(before + 4, setupEvents());  // each registration asks for a setup pass
    Request fifth(kRoleResponder, "127.0.0.1", 54330, "e");
    JLIB::JResult r = 0;
    EXPECT_EQ(-1, add(fifth, &r));
    EXPECT_EQ(0x80000007u, r);
    ASSERT_EQ(0u, gl_manage.clearConfig(1));
    EXPECT_EQ(1, add(fifth));
    ASSERT_EQ(0u, gl_manage.clearConfig(0));
    ASSERT_EQ(0u, gl_manage.clearConfig(2));
    EXPECT_EQ(0, add(requests[0]));  // the cleared id 0 went to the back before id 2
    EXPECT_EQ(2, add(requests[2]));
    EXPECT_EQ(0x80000002u, gl_manage.clearConfig(-1));
    EXPECT_EQ(0x80000002u, gl_manage.clearConfig(7));
}

TEST_F(JsdpManageTest, NameMayStandTwiceOnAnEntryWithDifferentRoles)
{
    struct Case {
        uint8_t role;
        const char* local;
        uint16_t port;
        const char* name;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {kRoleResponder, "127.0.0.1", 54330, "svc", 0},
        {kRoleListener, "127.0.0.1", 54330, "svc", 0},
        {kRoleBoth, "127.0.0.1", 54330, "svc", 0x80000005u},   // a second match
        {kRoleListener, "127.0.0.1", 54331, "svc", 0},         // another entry
        {kRoleBoth, "127.0.0.1", 54331, "solo", 0},
        {kRoleResponder, "127.0.0.1", 54331, "solo", 0x80000005u},  // role 3 stands alone
        {kRoleListener, "127.0.0.1", 54331, "svc", 0x80000005u},    // same role
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.port) + " role " + std::to_string(c.role));
        Request request(c.role, c.local, c.port, c.name);
        JLIB::JResult r = 0x5A5A;
        const int32_t id = add(request, &r);
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(c.result == 0, id >= 0);
    }
    // An empty name never matches an earlier registration.
    ASSERT_EQ(0u, gl_manage.clearConfig(0));
    ASSERT_EQ(0u, gl_manage.clearConfig(1));
    Request empty(kRoleResponder, "127.0.0.1", 54331, "");
    EXPECT_GE(add(empty), 0);
    EXPECT_GE(add(empty), 0);
}

TEST_F(JsdpManageTest, RefusedRequestsLeaveNoNetworkEntryBehind)
{
    struct Case {
        const char* what;
        uint8_t role;
        const char* local;
        uint16_t extension;
        uint32_t interval;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"extension 1025", kRoleResponder, "127.0.0.2", 1025, 5000, 0x80000002u},
        {"all-zero local address", kRoleResponder, "0.0.0.0", 0, 5000, 0x80000002u},
        {"listener without interval", kRoleListener, "127.0.0.2", 0, 0, 0x80000002u},
        {"both without interval", kRoleBoth, "127.0.0.2", 0, 0, 0x80000002u},
        {"third network entry", kRoleResponder, "127.0.0.3", 0, 5000, 0x80000007u},
    };
    Request first(kRoleResponder, "127.0.0.1", 54330, "first");
    Request second(kRoleResponder, "127.0.0.4", 54330, "second");
    ASSERT_EQ(0, add(first));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (std::string(c.what) == "third network entry") {
            ASSERT_EQ(1, add(second));
        }
        Request request(c.role, c.local, 54330, "svc", "239.192.0.64", c.interval);
        request.extension.assign(c.extension, 0);
        JLIB::JResult r = 0;
        EXPECT_EQ(-1, add(request, &r));
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(T_JSDP_MANAGE::kRunning, gl_manage.getState());  // the first registration stands
        EXPECT_EQ(gl_manage.getNumOfComms(), gl_manage.getNumOfNetworks());
    }
    EXPECT_EQ(2u, gl_manage.getNumOfNetworks());
    ASSERT_EQ(0u, gl_manage.clearConfig(1));
    EXPECT_EQ(1u, gl_manage.getNumOfNetworks());

    Request odd(7, "127.0.0.1", 54330, "odd", "239.192.0.64", 0);  // taken as a responder
    const int32_t id = add(odd);
    ASSERT_GE(id, 0);
    EXPECT_EQ(kRoleResponder, gl_manage.findService(id)->getRole());
}

TEST_F(JsdpManageTest, FailedIdRegistrationWithoutStandingOnesReturnsToAttached)
{
    Request bad(kRoleListener, "127.0.0.1", 54330, "svc", "239.192.0.64", 0);
    JLIB::JResult r = 0;
    EXPECT_EQ(-1, add(bad, &r));
    EXPECT_EQ(0x80000002u, r);
    EXPECT_EQ(T_JSDP_MANAGE::kAttached, gl_manage.getState());
    EXPECT_EQ(0u, gl_manage.getNumOfNetworks());
    EXPECT_EQ(0x80000004u, gl_manage.changeStatus(0, 1));
}

TEST_F(JsdpManageTest, AllZeroGroupAnnouncesToTheDirectedBroadcast)
{
    Request request(kRoleListener, "192.168.1.20", 54330, "svc", nullptr);
    const int32_t id = add(request);
    ASSERT_GE(id, 0);
    const JsdpService* service = gl_manage.findService(id);
    ASSERT_NE(nullptr, service);
    EXPECT_FALSE(service->joinsGroup());
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("192.168.1.255"), service->getDestination()));
}

TEST_F(JsdpManageTest, IntervalChangeChecksRangeAndRole)
{
    Request listener(kRoleListener, "127.0.0.1", 54330, "l");
    Request responder(kRoleResponder, "127.0.0.1", 54330, "r");
    const int32_t l = add(listener);
    const int32_t r = add(responder);
    struct Case {
        int32_t id;
        uint32_t interval, seconds;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {l, 99, 1000, 0x80000002u},
        {l, 5000, 4, 0x80000002u},
        {l, 268435457u, 300000, 0x80000002u},
        {l, 5000, 4294968, 0x80000002u},  // the product wraps to 704
        {-1, 5000, 5, 0x80000002u},
        {3, 5000, 5, 0x80000002u},        // no such registration
        {l, 268435456u, 268436, 0},
        {l, 5000, 5, 0},
        {r, 100, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.interval) + " ms, " + std::to_string(c.seconds) + " s");
        EXPECT_EQ(c.result, gl_manage.changeTime(c.id, c.interval, c.seconds));
    }
    EXPECT_EQ(5000u, gl_manage.findService(l)->getInterval());
    EXPECT_EQ(0u, gl_manage.findService(r)->getInterval());  // a responder keeps none
}

TEST_F(JsdpManageTest, StatusChangeRewritesTheAnnouncedFlags)
{
    Request request(kRoleResponder, "127.0.0.1", 54330, "svc");
    const int32_t id = add(request);
    EXPECT_EQ(0u, gl_manage.getStatus(id));
    EXPECT_EQ(0x80000002u, gl_manage.changeStatus(id, 2));
    EXPECT_EQ(0x80000002u, gl_manage.changeStatus(3, 1));
    ASSERT_EQ(0u, gl_manage.changeStatus(id, 1));
    EXPECT_EQ(1u, gl_manage.getStatus(id));
    EXPECT_EQ(0x81, gl_manage.findService(id)->getDatagram()[6]);
    EXPECT_EQ(0x80000002u, gl_manage.getStatus(3));
    EXPECT_EQ(0x80000002u, gl_manage.getStatus(-1));
}

TEST_F(JsdpManageTest, EachFamilyIsOpenOnlyInItsMode)
{
    Request requests[] = {{kRoleResponder, "127.0.0.1", 54330, "a"}, {kRoleListener, "127.0.0.1", 54330, "b"}};
    _T_JSDP_NETWORK_SETUP_PROPERTY properties[] = {requests[0].sync(), requests[1].sync()};
    ASSERT_EQ(0u, gl_manage.setConfigObsolete(properties, 2));
    EXPECT_TRUE(gl_manage.isIndexMode());
    EXPECT_EQ(T_JSDP_MANAGE::kRunning, gl_manage.getState());
    EXPECT_EQ(0, gl_manage.getIdMapEntry(0));
    EXPECT_EQ(1, gl_manage.getIdMapEntry(1));
    EXPECT_EQ(0x80000005u, gl_manage.setConfigObsolete(properties, 2));  // only from states 1 and 2

    struct Case {
        const char* what;
        JLIB::JResult result;
        JLIB::JResult expected;
    };
    const Case indexMode[] = {
        {"id interval", gl_manage.changeTime(0, 5000, 5), 0x80000003u},
        {"id status", gl_manage.changeStatus(0, 1), 0x80000003u},
        {"id read", gl_manage.getStatus(0), 0x80000003u},
        {"id negative", gl_manage.getStatus(-1), 0x80000002u},
        {"index status", gl_manage.changeStatusObsolate(1, 1), 0},
        {"index read", gl_manage.getStatusObsolate(1), 1},
        {"index interval", gl_manage.changeTimeObsolete(1, 6000, 6), 0},
        {"index beyond map", gl_manage.getStatusObsolate(4), 0x80000002u},
        {"index of no registration", gl_manage.changeStatusObsolate(2, 1), 0x80000002u},
        {"index interval of none", gl_manage.changeTimeObsolete(2, 6000, 6), 0x80000002u},
    };
    for (const Case& c : indexMode) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, c.result);
    }
    EXPECT_EQ(6000u, gl_manage.findService(1)->getInterval());

    const size_t before = setupEvents();
    ASSERT_EQ(0u, gl_manage.clearConfigObsolete());
    EXPECT_EQ(T_JSDP_MANAGE::kIndexCleared, gl_manage.getState());
    EXPECT_EQ(before + 1, setupEvents());
    EXPECT_EQ(-1, gl_manage.getIdMapEntry(0));
    EXPECT_EQ(0u, gl_manage.getNumOfNetworks());
    EXPECT_EQ(0x80000003u, gl_manage.clearConfigObsolete());  // already cleared
    int32_t id = 0;
    Request other(kRoleResponder, "127.0.0.1", 54330, "c");
    EXPECT_EQ(0x80000003u, gl_manage.setConfig(&id, &other.sync()));  // reset pending
}

TEST_F(JsdpManageTest, IndexFamilyIsClosedInIdMode)
{
    Request request(kRoleResponder, "127.0.0.1", 54330, "a");
    const int32_t id = add(request);
    EXPECT_FALSE(gl_manage.isIndexMode());
    EXPECT_EQ(0x80000003u, gl_manage.changeTimeObsolete(0, 5000, 5));
    EXPECT_EQ(0x80000003u, gl_manage.changeStatusObsolate(0, 1));
    EXPECT_EQ(0x80000003u, gl_manage.getStatusObsolate(0));
    EXPECT_EQ(0x80000003u, gl_manage.clearConfigObsolete());
    EXPECT_EQ(0u, gl_manage.clearConfig(id));
    EXPECT_EQ(T_JSDP_MANAGE::kRunning, gl_manage.getState());  // clearing plays no part in the state
}

TEST_F(JsdpManageTest, FailedIndexRegistrationUndoesTheWholeCall)
{
    struct Case {
        const char* what;
        const char* thirdLocal;
        uint32_t thirdInterval;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"third on the same entry", "127.0.0.1", 0, 0x80000002u},
        {"third claims a new entry", "127.0.0.9", 0, 0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Request requests[] = {
            {kRoleResponder, "127.0.0.1", 54330, "a"},
            {kRoleResponder, "127.0.0.1", 54330, "b"},
            {kRoleListener, c.thirdLocal, 54330, "c", "239.192.0.64", c.thirdInterval},
        };
        _T_JSDP_NETWORK_SETUP_PROPERTY properties[] = {requests[0].sync(), requests[1].sync(), requests[2].sync()};
        EXPECT_EQ(c.result, gl_manage.setConfigObsolete(properties, 3));
        EXPECT_EQ(T_JSDP_MANAGE::kAttached, gl_manage.getState());
        EXPECT_FALSE(gl_manage.isIndexMode());
        for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(-1, gl_manage.getIdMapEntry(i));
        EXPECT_EQ(0u, gl_manage.getNumOfNetworks());
        EXPECT_EQ(0u, gl_manage.getNumOfComms());
    }
    EXPECT_EQ(0x80000002u, gl_manage.setConfigObsolete(nullptr, 1));
    ASSERT_EQ(0u, gl_manage.setConfigObsolete(nullptr, 0));  // nothing to register, all succeeded
    EXPECT_EQ(T_JSDP_MANAGE::kRunning, gl_manage.getState());
}

TEST_F(JsdpManageTest, FailedIdRegistrationKeepsRunningWhileOthersStand)
{
    Request good(kRoleResponder, "127.0.0.1", 54330, "svc");
    const int32_t id = add(good);
    Request conflict(kRoleResponder, "127.0.0.1", 54330, "svc");
    JLIB::JResult r = 0;
    EXPECT_EQ(-1, add(conflict, &r));
    EXPECT_EQ(0x80000005u, r);
    EXPECT_EQ(T_JSDP_MANAGE::kRunning, gl_manage.getState());
    EXPECT_EQ(0u, gl_manage.changeStatus(id, 1));
}

TEST_F(JsdpManageTest, ClearingTheLastRegistrationClosesTheLine)
{
    Request a(kRoleResponder, "127.0.0.1", jsdptest::pickPort(), "a");
    Request b(kRoleListener, "127.0.0.1", a.property.port, "b");
    const int32_t idA = add(a);
    const int32_t idB = add(b);
    JsdpNetwork* network = gl_manage.findNetworkOf(idA);
    ASSERT_NE(nullptr, network);
    JsdpComm* line = network->getComm();
    ASSERT_NE(nullptr, line);
    uint8_t receive = 0;
    uint8_t send = 0;
    ASSERT_EQ(0u, line->doInterval(network->getAddress(), network->getPort(), &receive, &send));
    const int32_t socket = line->getSockId();
    ASSERT_GE(socket, 0);

    // Both announcements wait on the line; the cleared one's must not leave after it.
    ASSERT_EQ(0u, line->requestSend(&gl_manage.findService(idB)->getTxData()));
    ASSERT_EQ(0u, line->requestSend(&gl_manage.findService(idA)->getTxData()));
    JsdpTxData* recordA = &gl_manage.findService(idA)->getTxData();
    ASSERT_EQ(0u, gl_manage.clearConfig(idA));
    EXPECT_EQ(1u, line->getQueuedCount());
    EXPECT_TRUE(recordA->IsIdle());
    EXPECT_EQ(JsdpComm::kActive, line->getStatus());

    ASSERT_EQ(0u, gl_manage.clearConfig(idB));
    EXPECT_EQ(JsdpComm::kNoSocketYet, line->getStatus());
    EXPECT_EQ(-1, line->getSockId());
    int32_t status = 0;
    EXPECT_LT(vsock_getSockStatus(socket, &status), 0);  // closed
    EXPECT_EQ(0u, gl_manage.getNumOfNetworks());
    EXPECT_EQ(0u, gl_manage.getNumOfComms());
    EXPECT_TRUE(isZeroAddress(network->getAddress()));
}

TEST_F(JsdpManageTest, OwnAnnouncementToTheDirectedBroadcastComesBackAndIsDropped)
{
    Request request(kRoleListener, "127.0.0.1", jsdptest::pickPort(), "svc", nullptr);
    request.property.subnetMask = ipv4("255.0.0.0");
    const int32_t id = add(request);
    ASSERT_GE(id, 0);
    JsdpNetwork* network = gl_manage.findNetworkOf(id);
    JsdpComm* line = network->getComm();
    uint8_t receive = 0;
    uint8_t send = 0;
    ASSERT_EQ(0u, line->doInterval(network->getAddress(), network->getPort(), &receive, &send));
    JsdpService* service = gl_manage.findService(id);
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("127.255.255.255"), service->getTxData().getDestination().addr));
    ASSERT_EQ(0u, line->requestSend(&service->getTxData()));
    uint8_t first = 0;
    uint8_t second = 0;
    ASSERT_EQ(0u, line->doSend(&first, &second));
    // The line's socket listens on every local address of the port, the broadcast included.
    ASSERT_TRUE(jsdptest::waitFor([&] {
        gl_manage.callbackSet().copyWorks();
        line->runSocketCallback(gl_manage.callbackSet(), &receive, &send);
        return line->getPendingCount() == 1 && line->getSendState() == T_JSDP_LINE_TX_INFO::kCompleted;
    }));
    ASSERT_EQ(0u, line->doSend(&first, &second));
    EXPECT_TRUE(service->getTxData().IsIdle());
    netc_endpoint source = {};
    uint8_t flags = 0;
    _JSDP_HOST_INFO host = {};
    uint8_t more = 0;
    EXPECT_EQ(0u, line->doReceive(network->getAddress(), &source, &flags, &host, &more));
    EXPECT_EQ(0, host.nameLength);  // its own
    EXPECT_EQ(0, source.port);
}
