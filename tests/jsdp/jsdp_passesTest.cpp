#include <gtest/gtest.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "JsdpTestSupport.h"
#include "jsdp/JsdpComm.h"
#include "jsdp/JsdpNetwork.h"
#include "jsdp/JsdpService.h"
#include "jsdp/jsdp_address.h"
#include "jsdp/jsdp_manage.h"

using namespace JSDP;
using jsdptest::DatagramWriter;
using jsdptest::RawUdp;
using jsdptest::Request;
using jsdptest::waitFor;

namespace {

std::mutex gMutex;
std::vector<std::pair<std::string, uint8_t>> gTold;  // name and enabled flag per subscriber call

JLIB::JResult told(const _JSDP_HOST_INFO* host, uint8_t enabled)
{
    std::lock_guard<std::mutex> guard(gMutex);
    gTold.emplace_back(std::string(reinterpret_cast<const char*>(host->name), host->nameLength), enabled);
    return 0;
}

JLIB::JResult ignoreEvent(uint32_t) { return 0; }

// The manager attached with real locks; the test runs the passes itself, in the service task's
// order, on real sockets.
class JsdpPassesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jsdptest::startLayers());
        static const jsdptest::Locks locks = jsdptest::makeLocks();
        ASSERT_NE(0, locks.main);
        ASSERT_TRUE(jsdptest::attachManager(locks, &ignoreEvent));
        {
            std::lock_guard<std::mutex> guard(gMutex);
            gTold.clear();
        }
        m_port = jsdptest::pickPort();
        m_group = jsdptest::groupFor(m_port);
        ASSERT_TRUE(m_peer.bind("127.0.0.2", 0));
        ASSERT_TRUE(m_peer.sendThroughLoopback());
        m_peer.setReceiveLimit(300);
    }
    void TearDown() override { gl_manage.finalize(); }

    int32_t add(uint8_t role, const char* name, uint32_t interval = 60000)
    {
        Request request(role, "127.0.0.1", m_port, name, m_group.c_str(), interval);
        int32_t id = -1;
        EXPECT_EQ(0u, gl_manage.setConfig(&id, &request.sync()));
        return id;
    }
    JsdpComm* line() const
    {
        for (JsdpNetwork* network : gl_manage.usedNetworks()) return network->getComm();
        return nullptr;
    }
    // One task cycle of passes; true when the interval pass asked for a notification.
    void cycle(bool interval = false)
    {
        uint8_t a = 0, b = 0, c = 0;
        if (interval) {
            (void)gl_manage.runInterval(&a, &b, &c);
        }
        (void)gl_manage.runSocketCallback(&a, &b);
        do {
            (void)gl_manage.runReceive(&a, &b, &c);
        } while (a != 0);
        (void)gl_manage.runSend(&a, &b);
        gl_manage.notifyUpdateHostInfo();
    }
    // Runs cycles until the condition holds.
    template <typename Predicate>
    bool until(Predicate done)
    {
        return waitFor([&] {
            cycle();
            return done();
        });
    }
    std::vector<std::pair<std::string, uint8_t>> toldSoFar()
    {
        std::lock_guard<std::mutex> guard(gMutex);
        return gTold;
    }

    uint16_t m_port = 0;
    std::string m_group;
    RawUdp m_peer;
};

}  // namespace

TEST_F(JsdpPassesTest, EachRoleTakesWhatItShouldAndOnlyTheResponderAnswers)
{
    ASSERT_GE(add(kRoleResponder, "split"), 0);
    ASSERT_GE(add(kRoleListener, "split"), 0);
    ASSERT_GE(add(kRoleListener, "list"), 0);
    ASSERT_GE(add(kRoleBoth, "both"), 0);
    ASSERT_EQ(0u, gl_manage.subscribeTask(1, &told));
    cycle(true);
    ASSERT_EQ(JsdpComm::kActive, line()->getStatus());

    struct Case {
        const char* name;
        uint8_t flags;
        bool recorded;
        bool answered;
    };
    const Case cases[] = {
        {"split", 0x00, true, true},    // a request goes to the responder
        {"split", 0x80, true, false},   // a response to the listener of the name
        {"list", 0x00, false, false},   // a listener ignores requests
        {"list", 0x80, true, false},
        {"both", 0x00, true, false},    // role 3 records and never answers
        {"both", 0x80, true, false},
        {"none", 0x00, false, false},
    };
    uint32_t hosts = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.flags ? " response" : " request"));
        const size_t before = toldSoFar().size();
        ASSERT_TRUE(m_peer.sendTo("127.0.0.1", m_port, DatagramWriter(c.name, {}, c.flags).bytes()));
        const int pending = line()->getPendingCount();
        ASSERT_TRUE(waitFor([&] {
            uint8_t a = 0, b = 0;
            (void)gl_manage.runSocketCallback(&a, &b);
            return line()->getPendingCount() > pending;
        }));
        until([&] { return line()->getPendingCount() == 0 && line()->getSendState() == 0; });
        if (c.recorded) ++hosts;
        EXPECT_EQ(hosts, gl_manage.getNumOfUsedHosts());
        EXPECT_EQ(before + (c.recorded ? 1 : 0), toldSoFar().size());
        const std::vector<uint8_t> answer = m_peer.receive();
        EXPECT_EQ(c.answered, !answer.empty());
        if (!answer.empty()) {
            EXPECT_EQ(0x80, answer[6] & 0x80);
        }
    }
    // A later subscriber hears of every enabled host at once, in table order.
    const size_t before = toldSoFar().size();
    ASSERT_EQ(0u, gl_manage.subscribeTask(2, &told));
    const std::vector<std::pair<std::string, uint8_t>> after = toldSoFar();
    ASSERT_EQ(before + hosts, after.size());
    EXPECT_EQ("split", after[before].first);
    for (size_t i = before; i < after.size(); ++i) EXPECT_EQ(1, after[i].second);
    _JSDP_HOST_INFO copy = {};
    ASSERT_EQ(0u, gl_manage.getHostInfoByIndex(hosts - 1, &copy));
    EXPECT_EQ(0, std::memcmp("both", copy.name, 4));
    copy.nameLength = 99;
    EXPECT_EQ(0x80000002u, gl_manage.getHostInfoByIndex(hosts, &copy));
    EXPECT_EQ(99, copy.nameLength);  // untouched
}

TEST_F(JsdpPassesTest, TwoRequestsBeforeTheAnswerLeftGetOneAnswer)
{
    ASSERT_GE(add(kRoleResponder, "svc"), 0);
    cycle(true);
    ASSERT_TRUE(m_peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc", {}, 0x00).bytes()));
    ASSERT_TRUE(m_peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc", {}, 0x00).bytes()));
    ASSERT_TRUE(waitFor([&] {
        uint8_t a = 0, b = 0;
        (void)gl_manage.runSocketCallback(&a, &b);
        return line()->getPendingCount() == 2;
    }));
    uint8_t more = 0, send = 0, notify = 0;
    ASSERT_EQ(0u, gl_manage.runReceive(&more, &send, &notify));
    EXPECT_EQ(1, more);
    EXPECT_EQ(1, send);
    EXPECT_EQ(1, notify);
    ASSERT_EQ(0u, gl_manage.runReceive(&more, &send, &notify));
    EXPECT_EQ(0, send);    // the reply record is still queued
    EXPECT_EQ(1, notify);  // the first request's change is not told yet
    until([&] { return line()->getSendState() == 0 && line()->getQueuedCount() == 0; });
    EXPECT_FALSE(m_peer.receive().empty());
    EXPECT_TRUE(m_peer.receive().empty());
}

TEST_F(JsdpPassesTest, ANewSocketAfterAResetJoinsTheGroupAndAnnouncesAgain)
{
    const int32_t responder = add(kRoleResponder, "svc");
    const int32_t listener = add(kRoleListener, "ask");
    cycle(true);
    JsdpService* asking = gl_manage.findService(listener);
    ASSERT_TRUE(gl_manage.findService(responder)->isNormal());
    ASSERT_TRUE(asking->isNormal());
    until([&] { return asking->getTxData().IsIdle(); });  // the first announcement left

    // A failed read or send resets the line; the next interval pass makes a new socket (once the
    // socket layer let go of the port).
    ASSERT_TRUE(waitFor([&] {
        line()->reset();
        cycle(true);
        return line()->getStatus() == JsdpComm::kActive;
    }));
    EXPECT_TRUE(asking->getTxData().IsSending()) << "the listener announces again at once, not an interval later";

    // The responder hears its group again: a request sent to the group only is answered.
    ASSERT_TRUE(m_peer.sendTo(m_group.c_str(), m_port, DatagramWriter("svc", {}, 0x00).bytes()));
    ASSERT_TRUE(until([&] { return gl_manage.getNumOfUsedHosts() == 1; }));
    std::vector<uint8_t> answer;
    for (int i = 0; i < 5 && answer.empty(); ++i) {
        cycle();
        answer = m_peer.receive();
    }
    ASSERT_FALSE(answer.empty());
    EXPECT_EQ(0x80, answer[6] & 0x80);
}

TEST_F(JsdpPassesTest, SetupPassAfterAnIndexClearEmptiesTheTableSilently)
{
    Request request(kRoleBoth, "127.0.0.1", m_port, "both", m_group.c_str(), 60000);
    ASSERT_EQ(0u, gl_manage.setConfigObsolete(&request.sync(), 1));
    ASSERT_EQ(0u, gl_manage.subscribeTask(1, &told));
    cycle(true);
    ASSERT_TRUE(m_peer.sendTo("127.0.0.1", m_port, DatagramWriter("both", {}, 0x80).bytes()));
    ASSERT_TRUE(until([&] { return gl_manage.getNumOfUsedHosts() == 1; }));
    const size_t before = toldSoFar().size();

    uint8_t interval = 0xFF;
    ASSERT_EQ(0u, gl_manage.runSetup(&interval));
    EXPECT_EQ(1, interval);  // outside state 4 it only asks for an interval pass
    EXPECT_EQ(1u, gl_manage.getNumOfUsedHosts());

    ASSERT_EQ(0u, gl_manage.clearConfigObsolete());
    ASSERT_EQ(0u, gl_manage.runSetup(&interval));
    EXPECT_EQ(0, interval);
    EXPECT_EQ(T_JSDP_MANAGE::kAttached, gl_manage.getState());
    EXPECT_EQ(0u, gl_manage.getNumOfUsedHosts());
    EXPECT_EQ(32u, gl_manage.getNumOfFreeHosts());
    gl_manage.notifyUpdateHostInfo();
    EXPECT_EQ(before, toldSoFar().size());
}

namespace {

std::string gListed;
int listInto(const char* format, ...)
{
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    const int n = std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    gListed += text;
    return n;
}

}  // namespace

TEST_F(JsdpPassesTest, SilentHostIsSkippedByCopiesUntilItsGoneIsTold)
{
    ASSERT_GE(add(kRoleListener, "svc", 5000), 0);
    ASSERT_EQ(0u, gl_manage.subscribeTask(1, &told));
    cycle(true);
    RawUdp q;
    RawUdp r;
    ASSERT_TRUE(q.bind("127.0.0.3", 0));
    ASSERT_TRUE(r.bind("127.0.0.4", 0));
    const std::vector<uint8_t> response = DatagramWriter("svc", {}, 0x80).bytes();
    auto refresh = [&](bool withQ) {
        ASSERT_TRUE(m_peer.sendTo("127.0.0.1", m_port, response));
        if (withQ) {
            ASSERT_TRUE(q.sendTo("127.0.0.1", m_port, response));
        }
        ASSERT_TRUE(r.sendTo("127.0.0.1", m_port, response));
    };
    refresh(true);
    ASSERT_TRUE(until([&] { return gl_manage.getNumOfUsedHosts() == 3; }));  // P, Q, R in this order

    // P and R keep answering; Q falls silent. Expiry and notification are run apart here, so
    // that the disabled entry can be looked at before it is told and freed.
    auto refreshed = std::chrono::steady_clock::now();
    uint8_t receive = 0, send = 0, notify = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            if (std::chrono::steady_clock::now() - refreshed > std::chrono::seconds(1)) {
                refresh(false);
                refreshed = std::chrono::steady_clock::now();
            }
            (void)gl_manage.runSocketCallback(&receive, &send);
            uint8_t more = 0;
            do {
                (void)gl_manage.runReceive(&more, &send, &receive);
            } while (more != 0);
            (void)gl_manage.runInterval(&receive, &send, &notify);
            return notify != 0;
        },
        std::chrono::seconds(9)));
    ASSERT_EQ(1, notify);
    uint32_t enabled = 0;
    uint16_t entries = 0;
    ASSERT_EQ(0u, gl_manage.getNumOfActiveHost(&enabled));
    ASSERT_EQ(0u, gl_manage.getNumOfHost(&entries));
    EXPECT_EQ(2u, enabled);
    EXPECT_EQ(3u, entries);
    _JSDP_HOST_INFO copy = {};
    ASSERT_EQ(0u, gl_manage.getHostInfoByIndex(1, &copy));
    EXPECT_TRUE(compareVSOCK_ADDR(jsdptest::ipv4("127.0.0.4"), copy.sourceAddress));  // R: Q is skipped
    gListed.clear();
    ASSERT_EQ(0u, gl_manage.printHostList(&listInto));
    EXPECT_NE(std::string::npos, gListed.find(" 1:(X) [ SERVICE:svc             , CPU IP:192.168.1.20        , "
                                              "COM IP:127.0.0.3           , ]\n"));
    EXPECT_NE(std::string::npos, gListed.find(" 2:(O) "));

    const size_t before = toldSoFar().size();
    gl_manage.notifyUpdateHostInfo();
    const std::vector<std::pair<std::string, uint8_t>> after = toldSoFar();
    ASSERT_EQ(before + 1, after.size());
    EXPECT_EQ(0, after.back().second);
    EXPECT_EQ(2u, gl_manage.getNumOfUsedHosts());
}
