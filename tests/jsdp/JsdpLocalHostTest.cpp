#include "jsdp/JsdpLocalHost.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "JsdpTestSupport.h"
#include "jsdp/jsdp_manage.h"

using namespace JSDP;
using jsdptest::ipv4;
using jsdptest::Request;

namespace {

std::string gPrinted;

int capture(const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    const int n = std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    gPrinted += text;
    return n;
}

std::vector<std::string> gReplayed;
JLIB::JResult replay(const _JSDP_HOST_INFO* host, uint8_t enabled)
{
    gReplayed.push_back(std::string(reinterpret_cast<const char*>(host->name), host->nameLength) + ":" +
                        std::to_string(enabled));
    return 0;
}

JLIB::JResult ignoreEvent(uint32_t) { return 0; }

_JSDP_HOST_INFO hostRecord(const std::string& name, uint8_t role = kRoleResponder, const char* source = "127.0.0.2")
{
    _JSDP_HOST_INFO host = {};
    host.role = role;
    host.address = ipv4("192.168.1.20");
    host.nameLength = static_cast<uint8_t>(name.size());
    std::memcpy(host.name, name.data(), name.size());
    host.receivingAddress = ipv4("127.0.0.1");
    host.sourceAddress = ipv4(source);
    return host;
}

// The host table of an attached manager in the running state.
class JsdpHostTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jsdptest::startLayers());
        static const jsdptest::Locks locks = jsdptest::makeLocks();
        ASSERT_TRUE(jsdptest::attachManager(locks, &ignoreEvent));
        m_used.reset(new JsdpList<JsdpLocalHost>);
        m_free.reset(new JsdpList<JsdpLocalHost>);
        ASSERT_EQ(0u, m_used->initialize(T_JSDP_MANAGE::kHostCount));
        ASSERT_EQ(0u, m_free->initializeFull(m_slots, T_JSDP_MANAGE::kHostCount));
        gPrinted.clear();
        gReplayed.clear();
    }
    void TearDown() override { gl_manage.finalize(); }

    uint8_t take(const _JSDP_HOST_INFO& host)
    {
        uint8_t changed = 0xFF;
        EXPECT_NE(nullptr, hostInfoArray_update(*m_used, *m_free, host, &changed));
        return changed;
    }

    JsdpLocalHost m_slots[T_JSDP_MANAGE::kHostCount];
    std::unique_ptr<JsdpList<JsdpLocalHost>> m_used;
    std::unique_ptr<JsdpList<JsdpLocalHost>> m_free;
};

}  // namespace

TEST_F(JsdpHostTableTest, IdentityDecidesTheEntryAndFullComparisonTheChange)
{
    EXPECT_EQ(1, take(hostRecord("svc")));
    EXPECT_EQ(1, take(hostRecord("svc", kRoleListener)));   // the same host asking: an entry of its own
    EXPECT_EQ(1, take(hostRecord("svc", kRoleResponder, "127.0.0.3")));  // another line or source
    EXPECT_EQ(3u, m_used->size());
    for (JsdpLocalHost* host : *m_used) {
        bool remove = true;
        host->callback(gl_manage.usedObservers(), &remove);  // told: no longer changed
        EXPECT_FALSE(remove);
    }
    EXPECT_EQ(0, take(hostRecord("svc")));  // unchanged: only the expiry restarts
    _JSDP_HOST_INFO status = hostRecord("svc");
    status.status = 1;
    EXPECT_EQ(1, take(status));  // a new status is told again
    _JSDP_HOST_INFO extension = hostRecord("svc", kRoleListener);
    extension.extensionLength = 1;
    extension.extension[0] = 7;
    EXPECT_EQ(1, take(extension));
    EXPECT_EQ(3u, m_used->size());
    EXPECT_EQ(1, m_used->front()->getHost().status);
}

TEST_F(JsdpHostTableTest, AFullTableDropsNewHostsAndStillRefreshesKnownOnes)
{
    for (int i = 0; i < 32; ++i) take(hostRecord("h" + std::to_string(i)));
    uint8_t changed = 0xFF;
    EXPECT_EQ(nullptr, hostInfoArray_update(*m_used, *m_free, hostRecord("late"), &changed));
    EXPECT_EQ(0, changed);
    EXPECT_EQ(m_used->front(), hostInfoArray_update(*m_used, *m_free, hostRecord("h0"), &changed));
}

TEST_F(JsdpHostTableTest, SubscribersAreOnePerTaskAndFiveAtMost)
{
    Request request(kRoleListener, "127.0.0.1", jsdptest::pickPort(), "svc");
    int32_t id = -1;
    ASSERT_EQ(0u, gl_manage.subscribeTask(1, nullptr));  // no replay without a callback
    uint32_t count = 7;
    EXPECT_EQ(0x80000004u, gl_manage.getNumOfActiveHost(&count));  // not running yet
    EXPECT_EQ(0u, count);
    ASSERT_EQ(0u, gl_manage.setConfig(&id, &request.sync()));
    EXPECT_EQ(0u, gl_manage.getNumOfActiveHost(&count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0x80000005u, gl_manage.subscribeTask(1, &replay));
    for (uint16_t task = 2; task <= 5; ++task) EXPECT_EQ(0u, gl_manage.subscribeTask(task, &replay));
    EXPECT_EQ(0x80000007u, gl_manage.subscribeTask(6, &replay));
    EXPECT_TRUE(gReplayed.empty());
}

TEST_F(JsdpHostTableTest, PrintsNumberEveryEntryInTheirExactFormat)
{
    take(hostRecord("svc"));
    take(hostRecord("", kRoleListener));
    ASSERT_EQ(0u, m_used->front()->runTimeoutProcess() ? 1u : 0u);  // still within 7000 ms
    int i = 0;
    for (JsdpLocalHost* host : *m_used) {
        capture("%2d:", i++);
        host->print(&capture);
    }
    EXPECT_EQ(" 0:(O) [ SERVICE:svc             , CPU IP:192.168.1.20        , COM IP:127.0.0.2           , ]\n"
              " 1:(O) [ SERVICE:                , CPU IP:192.168.1.20        , COM IP:127.0.0.2           , ]\n",
              gPrinted);

    gPrinted.clear();
    Request request(kRoleResponder, "127.0.0.1", jsdptest::pickPort(), "svc");
    int32_t id = -1;
    ASSERT_EQ(0u, gl_manage.setConfig(&id, &request.sync()));
    ASSERT_EQ(0u, gl_manage.debugPrintStatus(&capture));
    EXPECT_EQ("[\n< 0:IP:127.0.0.1, ]\n", gPrinted);
    gPrinted.clear();
    ASSERT_EQ(0u, gl_manage.printHostList(&capture));
    EXPECT_EQ("", gPrinted);  // the manager's own table is empty
    EXPECT_EQ(0x80000002u, gl_manage.printHostList(nullptr));
}
