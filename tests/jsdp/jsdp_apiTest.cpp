#include "jsdp/jsdp_api.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "JsdpTestSupport.h"
#include "jsdp/JsdpComm.h"
#include "jsdp/JsdpNetwork.h"
#include "jsdp/jsdp_manage.h"
#include "oswrap/oswrap_semaphore.h"

using namespace JSDP;
using jsdptest::DatagramWriter;
using jsdptest::RawUdp;
using jsdptest::Request;
using jsdptest::waitFor;
using Clock = std::chrono::steady_clock;

namespace {

// What the subscriber was told, in order.
struct Call {
    std::string name;
    uint8_t role;
    uint8_t enabled;
    Clock::time_point at;
};
std::mutex gCallMutex;
std::vector<Call> gCalls;

JLIB::JResult recordCall(const _JSDP_HOST_INFO* host, uint8_t enabled)
{
    std::lock_guard<std::mutex> guard(gCallMutex);
    gCalls.push_back({std::string(reinterpret_cast<const char*>(host->name), host->nameLength), host->role, enabled,
                      Clock::now()});
    return 0;
}

std::vector<Call> calls()
{
    std::lock_guard<std::mutex> guard(gCallMutex);
    return gCalls;
}

// The service started in the test process; every test runs in a process of its own.
class JsdpTaskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jsdptest::startLayers());
        ASSERT_EQ(0u, jsdp_startup());
        m_port = jsdptest::pickPort();
        ASSERT_NE(0, m_port);
        m_group = jsdptest::groupFor(m_port);
    }
    void TearDown() override { EXPECT_EQ(0u, jsdp_cleanup()); }

    // Registers by id once the task has attached itself (until then the answer is 0x80000003).
    int32_t add(Request& request)
    {
        int32_t id = -1;
        JLIB::JResult r = 0;
        EXPECT_TRUE(waitFor([&] { return (r = jsdp2_setup(&id, &request.sync())) != 0x80000003u; }));
        EXPECT_EQ(0u, r);
        return id;
    }
    // The line of the first network entry has its socket.
    bool lineActive()
    {
        return waitFor([&] {
            (void)jsdp_waiSemForLocal();  // the service's lock is there
            bool active = false;
            for (JsdpNetwork* network : gl_manage.usedNetworks()) {
                active = network->getComm() && network->getComm()->getStatus() == JsdpComm::kActive;
            }
            (void)jsdp_sigSemForLocal();
            return active;
        });
    }
    // Nothing waits on the line: a host's reply record is free for the next request.
    bool lineIdle()
    {
        return waitFor([&] {
            (void)jsdp_waiSemForLocal();
            bool idle = true;
            for (JsdpNetwork* network : gl_manage.usedNetworks()) {
                idle = idle && network->getComm()->getQueuedCount() == 0 && network->getComm()->getSendState() == 0;
            }
            (void)jsdp_sigSemForLocal();
            return idle;
        });
    }
    uint32_t hosts()
    {
        uint32_t count = 0xFFFF;
        EXPECT_EQ(0u, jsdp_getNumOfHost(&count));
        return count;
    }

    uint16_t m_port = 0;
    std::string m_group;
};

}  // namespace

TEST(JsdpTaskLifeTest, StartsAreCountedAndEachCleanupUndoesOne)
{
    ASSERT_TRUE(jsdptest::startLayers());
    EXPECT_EQ(0x80000005u, jsdp_cleanup());
    ASSERT_EQ(0u, jsdp_startup());
    EXPECT_NE(0, jsdp_getTaskId());
    EXPECT_EQ(0x80000005u, jsdp_startup());
    EXPECT_EQ(9u, jsdp_cleanup());
    EXPECT_NE(0, jsdp_getTaskId());  // still running
    Request request(kRoleResponder, "127.0.0.1", jsdptest::pickPort(), "svc");
    int32_t id = -1;
    ASSERT_TRUE(waitFor([&] { return jsdp2_setup(&id, &request.sync()) != 0x80000003u; }));
    EXPECT_EQ(0, id);
    EXPECT_EQ(0u, jsdp_cleanup());
    EXPECT_EQ(0, jsdp_getTaskId());
    EXPECT_EQ(0x80000005u, jsdp_cleanup());
    // A new start after the last cleanup begins from empty pools.
    ASSERT_EQ(0u, jsdp_startup());
    ASSERT_TRUE(waitFor([&] { return jsdp2_setup(&id, &request.sync()) != 0x80000003u; }));
    EXPECT_EQ(0, id);
    EXPECT_EQ(0u, jsdp_cleanup());
}

TEST(JsdpTaskLifeTest, FailedStartLeavesNoLockBehind)
{
    ASSERT_TRUE(jsdptest::startLayers());
    // Take every lock id but one: the start makes its first lock and fails on the second.
    std::vector<uint16_t> taken;
    const T_OSW_CSEM record = {nullptr, 0, 1, "filler"};
    for (;;) {
        uint16_t id = 0;
        if (oswrap_AcreSem(&id, &record) != 0) break;
        taken.push_back(id);
    }
    ASSERT_GE(taken.size(), 2u);
    (void)oswrap_DelSem(taken.back());
    taken.pop_back();
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        EXPECT_EQ(0x80000001u, jsdp_startup());
        EXPECT_EQ(0, jsdp_getTaskId());
    }
    EXPECT_EQ(0x80000005u, jsdp_cleanup());  // nothing was counted
    // One more free id makes two: enough once the failed starts gave theirs back.
    (void)oswrap_DelSem(taken.back());
    taken.pop_back();
    EXPECT_EQ(0u, jsdp_startup());
    EXPECT_EQ(0u, jsdp_cleanup());
    for (uint16_t id : taken) (void)oswrap_DelSem(id);
}

TEST_F(JsdpTaskTest, PlainFunctionsCheckTheirArguments)
{
    Request request(kRoleResponder, "127.0.0.1", m_port, "svc");
    const _T_JSDP_NETWORK_SETUP_PROPERTY five[5] = {request.sync(), request.sync(), request.sync(), request.sync(),
                                                    request.sync()};
    _JSDP_HOST_INFO host = {};
    uint32_t count = 0;
    int32_t id = 7;
    struct Case {
        const char* what;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"index setup of five", jsdp_setup(five, 5)},
        {"index setup without array", jsdp_setup(nullptr, 1)},
        {"id setup without request", jsdp2_setup(&id, nullptr)},
        {"id setup without id out", jsdp2_setup(nullptr, &request.property)},
        {"subscribe without callback", jsdp_subscribe(nullptr)},
        {"count without pointer", jsdp_getNumOfHost(nullptr)},
        {"copy beyond 65535", jsdp_getHostInfo(65536, &host)},
        {"copy without record", jsdp_getHostInfo(0, nullptr)},
        {"print without function", jsdp_debugPrintHostList(nullptr)},
        {"status print without function", jsdp_debugPrintStatus(nullptr)},
        {"setup pass without flag", jsdp_manageProcessSetup(nullptr)},
        {"receive pass without flag", jsdp_manageProcessRx(nullptr, nullptr, nullptr)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(0x80000002u, c.result);
    }
    EXPECT_EQ(-1, id);
    EXPECT_EQ(0x80000004u, jsdp_getNumOfHost(&count));  // nothing registered: not running
    EXPECT_GE(add(request), 0);
    EXPECT_EQ(0u, jsdp_getNumOfHost(&count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0x80000002u, jsdp_getHostInfo(0, &host));
    EXPECT_EQ(0u, jsdp_subscribe(&recordCall));
    EXPECT_EQ(0x80000005u, jsdp_subscribe(&recordCall));  // once per task
}

TEST_F(JsdpTaskTest, ResponderAnswersRequestsByUnicastWithTheResponseFlag)
{
    Request request(kRoleResponder, "127.0.0.1", m_port, "svc", m_group.c_str());
    request.extension = {3, 'a', 'b', 'c'};
    ASSERT_EQ(0u, jsdp_subscribe(&recordCall));
    ASSERT_GE(add(request), 0);
    ASSERT_TRUE(lineActive());

    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    ASSERT_TRUE(peer.sendThroughLoopback());
    struct Case {
        const char* what;
        const char* to;
    };
    const Case cases[] = {{"unicast", "127.0.0.1"}, {"through the group", m_group.c_str()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(peer.sendTo(c.to, m_port, DatagramWriter("svc", {}, 0x00).bytes()));
        std::string from;
        const std::vector<uint8_t> answer = peer.receive(&from);
        ASSERT_EQ(33u + 3 + request.extension.size(), answer.size());
        EXPECT_EQ("127.0.0.1", from);
        EXPECT_EQ(0, std::memcmp("JSDP", answer.data(), 4));
        EXPECT_EQ(0x80, answer[6] & 0x80);
        EXPECT_EQ(0, std::memcmp("svc", answer.data() + 31, 3));
        ASSERT_TRUE(lineIdle());  // one answer at a time per host
    }
    // A request for another name is not answered and not recorded.
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("other", {}, 0x00).bytes()));
    peer.setReceiveLimit(300);
    EXPECT_TRUE(peer.receive().empty());

    ASSERT_TRUE(waitFor([&] { return !calls().empty(); }));
    EXPECT_EQ(1u, hosts());
    _JSDP_HOST_INFO host = {};
    ASSERT_EQ(0u, jsdp_getHostInfo(0, &host));
    EXPECT_EQ(kRoleListener, host.role);  // it asked
    const std::vector<Call> told = calls();
    ASSERT_EQ(1u, told.size());  // the second request changed nothing
    EXPECT_EQ("svc", told[0].name);
    EXPECT_EQ(1, told[0].enabled);
}

TEST_F(JsdpTaskTest, ListenerRecordsAResponderAndReportsItGoneAfterItsSilence)
{
    Request request(kRoleListener, "127.0.0.1", m_port, "svc", m_group.c_str(), 5000);
    ASSERT_GE(add(request), 0);
    ASSERT_EQ(0u, jsdp_subscribe(&recordCall));
    ASSERT_TRUE(lineActive());
    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc", {1}, 0x81).bytes()));
    ASSERT_TRUE(waitFor([&] { return calls().size() == 1; }));
    const Clock::time_point heard = Clock::now();
    EXPECT_EQ(1u, hosts());
    _JSDP_HOST_INFO host = {};
    ASSERT_EQ(0u, jsdp_getHostInfo(0, &host));
    EXPECT_EQ(kRoleResponder, host.role);
    EXPECT_EQ(1, host.status);
    EXPECT_EQ(0x80000002u, jsdp_getHostInfo(1, &host));

    ASSERT_TRUE(waitFor([&] { return calls().size() == 2; }, std::chrono::seconds(10)));
    const std::vector<Call> told = calls();
    EXPECT_EQ(1, told[0].enabled);
    EXPECT_EQ(0, told[1].enabled);
    const auto silence = std::chrono::duration_cast<std::chrono::milliseconds>(told[1].at - told[0].at);
    EXPECT_GE(silence.count(), 6990);
    EXPECT_LE(silence.count(), 7000 + 100 + 400);  // one interval pass, and some room for a busy machine
    EXPECT_LE(told[0].at, heard);
    EXPECT_EQ(0u, hosts());
    (void)jsdp_waiSemForLocal();
    EXPECT_EQ(0u, gl_manage.getNumOfUsedHosts());  // the entry was freed
    (void)jsdp_sigSemForLocal();
}

TEST_F(JsdpTaskTest, ListenerAnnouncesAtOnceAndThenEveryIntervalUnderSteadyTraffic)
{
    // A responder of the same entry opens the line first, so the test can listen on its port
    // before the listener's first announcement.
    Request responder(kRoleResponder, "127.0.0.1", m_port, "other", m_group.c_str());
    ASSERT_GE(add(responder), 0);
    ASSERT_TRUE(lineActive());
    ASSERT_TRUE(jsdptest::shareLinePort(m_port));
    RawUdp hearer;
    ASSERT_TRUE(hearer.bind(m_group.c_str(), m_port));
    ASSERT_TRUE(hearer.joinOnLoopback(m_group.c_str()));

    Request listener(kRoleListener, "127.0.0.1", m_port, "svc", m_group.c_str(), 300);
    const Clock::time_point registered = Clock::now();
    ASSERT_GE(add(listener), 0);
    const std::vector<uint8_t> first = hearer.receive();
    ASSERT_FALSE(first.empty());
    EXPECT_LT(Clock::now() - registered, std::chrono::milliseconds(250));  // not after an interval
    EXPECT_EQ(0x00, first[6] & 0x80);  // a request
    EXPECT_EQ(0, std::memcmp("svc", first.data() + 31, 3));

    // A datagram every 50 ms, which the service reads and ignores.
    std::atomic<bool> stop{false};
    std::thread traffic([&] {
        RawUdp peer;
        if (!peer.bind("127.0.0.2", 0)) return;
        while (!stop) {
            (void)peer.sendTo("127.0.0.1", m_port, DatagramWriter("noise", {}, 0x81).bytes());
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    int heard = 0;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < std::chrono::milliseconds(1600)) {
        const std::vector<uint8_t> bytes = hearer.receive();
        if (bytes.size() > 31 && std::memcmp("svc", bytes.data() + 31, 3) == 0) ++heard;
        if (bytes.empty()) break;
    }
    stop = true;
    traffic.join();
    EXPECT_GE(heard, 3);  // about five in 1.6 s
    EXPECT_LE(heard, 7);
}
