#include "common/Lpc/LpcMurRemote.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TMS/TMSystem.h"
#include "main/app/common/Lpc/LpcStandInRack.h"
#include "vsock/VsockTestSupport.h"

using LPC::LpcMurRemote;
using LpcTest::StandInControls;
using LpcTest::StandInRackFolder;

namespace {

LpcMurRemote& rack() { return LpcMurRemote::getInstance(); }

int g_context = 0;  // its address is the context handed to the library

// The wrapper over a freshly copied variant, finalized at the end.
class LpcMurRemoteTest : public testing::Test {
protected:
    void load(const char* variant = LpcTest::kStandInRack)
    {
        m_folder = std::make_unique<StandInRackFolder>(variant);
        ASSERT_EQ(0u, rack().initialize(LpcTest::operationWith(&g_context)));
        ASSERT_TRUE(m_folder->controls(m_rack));
        m_rack.clearLog();
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, rack().finalize());
        m_folder.reset();
        (void)LpcTest::rackCallbacks().take();
    }

    TMS::TMSystem m_system;
    std::unique_ptr<StandInRackFolder> m_folder;
    StandInControls m_rack;
};

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

void sendUdp(uint16_t port, const std::string& text)
{
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    (void)::sendto(s, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
    ::close(s);
}

std::string record(const char* id, int32_t paramNo, const char* value)
{
    return std::string("record ") + id + " " + std::to_string(paramNo) + " " + value + " [] 0 0";
}

}  // namespace

TEST_F(LpcMurRemoteTest, BatchHandsOverFullListsAndEmptyFlushes)
{
    load();
    rack().setParametersInitialize(3);
    rack().setParameters("aaa", 1, 0.25, nullptr);
    rack().setParameters("bbb", -2, 1.0, nullptr);
    EXPECT_EQ(2u, rack().pendingParameterCount());
    EXPECT_EQ(0u, m_rack.lines("setParameters").size());
    rack().setParameters("ccc", 3, 0.5, nullptr);  // the third fills the batch
    EXPECT_EQ(0u, rack().pendingParameterCount());
    rack().setParameters("ddd", 4, 0.125, "text");  // starts again at record 0
    rack().setParametersFlush();
    rack().setParametersFlush();  // an empty list is still handed over

    const std::string expected = "setParameters 3\n" + record("aaa", 1, "0.25") + "\n" + record("bbb", -2, "1") +
                                 "\n" + record("ccc", 3, "0.5") + "\n" +
                                 "setParameters 1\nrecord ddd 4 0.125 [text] 0 0\nsetParameters 0\n";
    EXPECT_EQ(expected, m_rack.log());
}

TEST_F(LpcMurRemoteTest, LongIdsAndTextsAreCutToTheRecordField)
{
    load();
    const std::string longId(70, 'g');
    const std::string longText(100, 't');
    rack().setParametersInitialize(10000);
    rack().setParameters(longId.c_str(), 7, 0.5, longText.c_str());
    rack().setParameters(std::string(63, 'h').c_str(), 8, 0.75, "");
    rack().setParametersFlush();
    const std::vector<std::string> records = m_rack.lines("record");
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("record " + std::string(63, 'g') + " 7 0.5 [" + std::string(63, 't') + "] 0 0", records[0]);
    EXPECT_EQ("record " + std::string(63, 'h') + " 8 0.75 [] 0 0", records[1]);
}

TEST_F(LpcMurRemoteTest, ConnectionCallsTheLibraryOnlyWhenItChanges)
{
    load();
    m_rack.setConnectResult(false);
    EXPECT_EQ(0x80000000u, rack().connect("10.0.0.9"));
    EXPECT_FALSE(rack().isConnected());
    EXPECT_EQ(0u, rack().disconnect());  // not connected: no call
    m_rack.setConnectResult(true);
    EXPECT_EQ(0u, rack().connect("localhost"));
    EXPECT_TRUE(rack().isConnected());
    EXPECT_EQ(0u, rack().connect("elsewhere"));  // connected already: no call
    EXPECT_EQ(0u, rack().disconnect());
    EXPECT_EQ(0u, rack().disconnect());
    EXPECT_FALSE(rack().isConnected());
    EXPECT_EQ("connectServer 10.0.0.9\nconnectServer localhost\ndisconnectServer\n", m_rack.log());

    EXPECT_FALSE(rack().isRecalling());
    EXPECT_EQ(0u, rack().setRecallState(LPC::RECALL_STATE_RECALLING));
    EXPECT_TRUE(rack().isRecalling());
    EXPECT_EQ(0u, rack().setRecallState(LPC::RECALL_STATE_NONE));
    EXPECT_FALSE(rack().isRecalling());
}

TEST_F(LpcMurRemoteTest, PassThroughsReachTheLibraryFunctionOfTheSameName)
{
    load();
    m_rack.setRackTitle("UZ Rack i32X");
    EXPECT_EQ("UZ Rack i32X", rack().getRackTitle());
    m_rack.setRackTitle(nullptr);
    EXPECT_EQ("", rack().getRackTitle());
    m_rack.setCurrentPreset(3);
    EXPECT_EQ(3, rack().getCurrentPresetNum(0));
    m_rack.setValue("m1", 5, 0.625);
    EXPECT_DOUBLE_EQ(0.625, rack().getModulePluginParam("m1", 5));
    EXPECT_EQ(1, rack().getModulePluginNumParams("m1"));
    rack().setModulePluginParamNormalized("m1", 6, 0.5, "x");
    double stored = 0.0;
    EXPECT_TRUE(m_rack.value("m1", 6, &stored));
    EXPECT_DOUBLE_EQ(0.5, stored);
    char buffer[32] = {};
    rack().getModulePluginParamString("m1", 5, buffer, sizeof(buffer));
    EXPECT_STREQ("0.625", buffer);

    _MURModuleParam* modules = rack().getModuleList();
    EXPECT_NE(nullptr, modules);
    rack().freeModuleList(modules);
    _MURPresetPropertyParam* properties = nullptr;
    EXPECT_EQ(0, rack().getPresetPropertyList(1, &properties));
    rack().freePresetPropertyList(properties);
    char* comment = rack().getPresetComment(1, 2);
    EXPECT_NE(nullptr, comment);
    rack().freePresetComment(comment);
    rack().freeModulePluginAllParams(rack().getModulePluginAllParams("m1"));
    rack().freeModulePluginAllValue(rack().getModulePluginAllValue("m1"));
    rack().freePresetList(rack().getPresetList(1));
    rack().loadPreset(1, 7);
    rack().storePreset(1, 2, "name", "comment", 3);
    EXPECT_EQ(7, rack().getCurrentPresetNum(0));

    m_rack.clearLog();
    EXPECT_EQ(-1, rack().getPresetProperty(1, 2, nullptr));  // refused before the library
    int32_t property = 5;
    EXPECT_EQ(0, rack().getPresetProperty(1, 2, &property));
    EXPECT_EQ(0, property);
    EXPECT_EQ("getPresetProperty 1 2\n", m_rack.log());
}

TEST_F(LpcMurRemoteTest, CallbacksArriveFromTheLibrarysThreadWithTheContext)
{
    load();
    m_rack.fireConnectError();
    m_rack.fireServerEvent(true, 8);
    LpcTest::rackCallbacks().forwardChanges = false;
    m_rack.firePluginParameterChanged(false, "m1", 12);
    ASSERT_TRUE(m_rack.waitIdle(5000));
    LpcTest::rackCallbacks().forwardChanges = true;
    {
        LpcTest::RackCallbacks& seen = LpcTest::rackCallbacks();
        std::lock_guard<std::mutex> hold(seen.lock);
        EXPECT_EQ((std::vector<std::string>{"connectError", "serverEvent 1 8", "changed 0 m1 12"}), seen.seen);
        for (void* context : seen.contexts) EXPECT_EQ(&g_context, context);
        for (std::thread::id id : seen.threads) EXPECT_NE(std::this_thread::get_id(), id);
    }

    // A second initialize changes nothing: the first callbacks stay.
    int other = 0;
    EXPECT_EQ(0x80000000u, rack().initialize(RemoteOperation{&other, nullptr, nullptr, nullptr}));
    (void)LpcTest::rackCallbacks().take();
    m_rack.fireServerEvent(false, 0);
    ASSERT_TRUE(m_rack.waitIdle(5000));
    EXPECT_EQ(std::vector<std::string>{"serverEvent 0 0"}, LpcTest::rackCallbacks().take());
    EXPECT_EQ(0u, m_rack.lines("libInit").size());
}

TEST_F(LpcMurRemoteTest, FinalizeEndsTheLibraryAndLaterCallsAnswerAsNotLoaded)
{
    load();
    ASSERT_EQ(0u, rack().connect("localhost"));
    m_rack.setValue("m1", 1, 0.5);
    EXPECT_EQ(0u, rack().finalize());
    EXPECT_FALSE(rack().isConnected());
    EXPECT_DOUBLE_EQ(0.0, rack().getModulePluginParam("m1", 1));  // a meter read after the end
    EXPECT_EQ(0, rack().getCurrentPresetNum(0));
    EXPECT_EQ(-1, rack().getStatus(nullptr));
    EXPECT_EQ(0x80000000u, rack().connect("localhost"));
    EXPECT_EQ("", rack().getRackTitle());
    rack().setParameters("m1", 1, 0.5, nullptr);
    rack().setParametersFlush();
    EXPECT_EQ(0u, rack().finalize());

    // A later run loads the library afresh.
    ASSERT_EQ(0u, rack().initialize(LpcTest::operationWith(&g_context)));
    ASSERT_TRUE(m_folder->controls(m_rack));
    EXPECT_DOUBLE_EQ(0.0, rack().getModulePluginParam("m1", 1));  // the unloaded copy's values are gone
    EXPECT_EQ("libInit\ngetModulePluginParam m1 1\n", m_rack.log());
}

TEST(LpcMurRemoteBrokenLibraryTest, FailedLoadsAnswerAsNotLoadedWithoutACrash)
{
    struct Case {
        const char* name;
        const char* variant;  // null: no library in the folder
        JLIB::JResult initialized;
        JLIB::JResult connected;
        const char* title;
        int32_t status;
    };
    const Case cases[] = {
        {"no file", nullptr, 0x80000000u, 0x80000000u, "", -1},
        // Loaded without callbacks: calls still reach the library.
        {"libInit answers null", LpcTest::kStandInRackNullInit, 0x80000000u, 0, "Rack i64X", 0},
        {"only libInit and libExit", LpcTest::kStandInRackLifeCycleOnly, 0, 0x80000000u, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMS::TMSystem system;
        StandInRackFolder folder(c.variant);
        EXPECT_EQ(c.initialized, rack().initialize(LpcTest::operationWith(&g_context)));
        EXPECT_EQ(0x80000000u, rack().initialize(LpcTest::operationWith(&g_context)));
        EXPECT_EQ(c.connected, rack().connect("localhost"));
        EXPECT_DOUBLE_EQ(0.0, rack().getModulePluginParam("m1", 1));
        EXPECT_EQ(0, rack().getCurrentPresetNum(0));
        EXPECT_EQ(c.title, rack().getRackTitle());
        rack().setParametersInitialize(2);
        rack().setParameters("m1", 1, 0.5, nullptr);
        rack().setParameters("m1", 2, 0.5, nullptr);
        rack().setParametersFlush();
        EXPECT_EQ(c.status, rack().getStatus(nullptr));
        EXPECT_EQ(0u, rack().disconnect());
        EXPECT_EQ(0u, rack().finalize());
    }
}

TEST(LpcMurRemoteIdleTest, BeforeInitializeEverythingAnswersAsNotLoaded)
{
    EXPECT_FALSE(rack().isConnected());
    EXPECT_FALSE(rack().isRecalling());
    EXPECT_EQ(0x80000000u, rack().connect("localhost"));
    EXPECT_EQ(0u, rack().disconnect());
    EXPECT_DOUBLE_EQ(0.0, rack().getModulePluginParam("m1", 1));
    EXPECT_EQ(nullptr, rack().getModuleList());
    EXPECT_EQ(-1, rack().getPresetPropertyList(0, nullptr));
    EXPECT_EQ("", rack().getRackTitle());
    rack().setParametersInitialize(4);
    rack().setParameters("m1", 1, 0.5, nullptr);
    rack().setParametersFlush();
    EXPECT_EQ(0u, rack().pendingParameterCount());
    EXPECT_EQ(0u, rack().finalize());
}

TEST_F(LpcMurRemoteTest, ARunningEngineDrivesTheStandInOverUdpAndGetsEveryCallLogged)
{
    const uint16_t port = vsocktest::pickPort(SOCK_DGRAM);
    ASSERT_NE(0, port);
    TempFolder logs;
    const std::string logFile = logs.file("rack.log");
    ::setenv("UZ_RACK_STANDIN_PORT", std::to_string(port).c_str(), 1);
    ::setenv("UZ_RACK_STANDIN_LOG", logFile.c_str(), 1);
    load();
    ::unsetenv("UZ_RACK_STANDIN_PORT");
    ::unsetenv("UZ_RACK_STANDIN_LOG");

    sendUdp(port, "title Hall i16X");
    sendUdp(port, "serverEvent 1 7");
    ASSERT_TRUE(waitFor([] {
        std::lock_guard<std::mutex> hold(LpcTest::rackCallbacks().lock);
        return !LpcTest::rackCallbacks().seen.empty();
    }, std::chrono::seconds(5)));
    EXPECT_EQ(std::vector<std::string>{"serverEvent 1 7"}, LpcTest::rackCallbacks().take());
    EXPECT_EQ("Hall i16X", rack().getRackTitle());  // the datagrams are handled in order
    ASSERT_EQ(0u, rack().connect("localhost"));
    EXPECT_EQ(0u, rack().finalize());
    EXPECT_EQ("libInit\ngetRackTitle\nconnectServer localhost\ndisconnectServer\nlibExit\n", logs.read("rack.log"));
}

TEST_F(LpcMurRemoteTest, ACallbackStillRunningAtFinalizeMayAskTheWrapper)
{
    load();
    ASSERT_EQ(0u, rack().connect("localhost"));
    // The callback waits until "libExit" has begun (and is joining its thread), then asks the
    // wrapper, as a rack change at shut-down does.
    static StandInControls* s_rack = nullptr;
    static std::atomic<int> s_answer{-1};
    s_rack = &m_rack;
    RemoteOperation late{nullptr, nullptr, [](bool, int32_t, void*) {
        (void)waitFor([] { return s_rack->log().find("libExit") != std::string::npos; }, std::chrono::seconds(5));
        s_answer.store(LpcMurRemote::getInstance().isConnected() ? 1 : 0);
    }, nullptr};
    EXPECT_EQ(0u, rack().finalize());
    ASSERT_EQ(0u, rack().initialize(late));
    ASSERT_TRUE(m_folder->controls(m_rack));
    ASSERT_EQ(0u, rack().connect("localhost"));
    m_rack.fireServerEvent(false, 0);
    EXPECT_EQ(0u, rack().finalize());
    EXPECT_EQ(0, s_answer.load());  // answered, as not connected
}
