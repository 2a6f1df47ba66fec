// A synchronisation end to end: the test's editor starts the real program with "syncport" set to
// a device simulator (uz_devsim, a real process) on 127.0.0.1 and drives it over the editor link.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "TMS/ThreadTestSupport.h"
#include "comctrl/Core/DevsimProcess.h"
#include "main/app/editor/Serial/DeviceLayout.h"
#include "main/app/editor/TestEditor.h"

using namespace std::chrono_literals;
using EngineTest::TestEditor;
using nlohmann::json;

namespace {

constexpr auto kLimit = 30s;  // generous: the sanitizer build starts slowly

class UzengineSyncTest : public testing::Test {
protected:
    // The device with the device-dependent and the synchronised setting databases of the shipped
    // definitions; withCommonSetup false leaves one out, so the memories step never ends.
    void startDevice(bool withCommonSetup = true, const std::string& hash = "")
    {
#if !defined(UZ_DEVSIM_PATH) || !defined(UZ_DESCRIPTOR_DIR)
        GTEST_SKIP() << "no device simulator in this build";
#else
        std::vector<EngineTest::DeviceDatabase> rows = {{0, "Profile", {"Profile"}},
                                                        {1, "DeviceSetup", {"DeviceSetup"}},
                                                        {2, "StaticSetup", {"StaticSetup"}},
                                                        {6, "Status", {"Status"}},
                                                        {10, "AudioCompo",
                                                         {"uzCurrent", "uzSetup", "uzVolatile", "uzSceneStatus",
                                                          "uzSceneList", "uzPresetStatus", "uzPresetList"}}};
        if (withCommonSetup) rows.push_back({5, "CommonSetup", {"CommonSetup"}});
        const std::filesystem::path layout =
            EngineTest::writeDeviceLayout(m_folder.path() + "/layout", UZ_DESCRIPTOR_DIR, rows);
        std::filesystem::create_directories(m_folder.path() + "/device");
        std::vector<std::string> options = {"--port", "0", "--layout", layout.string(), "--root",
                                            m_folder.path() + "/device"};
        if (!hash.empty()) options.insert(options.end(), {"--hash", hash});
        ASSERT_TRUE(m_device.start(options));
        m_port = m_device.listenPort();
        ASSERT_NE(0, m_port) << m_device.output();
#endif
    }
    void startEngine()
    {
        ASSERT_TRUE(m_editor.listen());
        ASSERT_TRUE(m_editor.startEngine("dev01", {"syncport=" + std::to_string(m_port)}));
        ASSERT_TRUE(m_editor.accept(kLimit)) << m_editor.engine().output();
        for (int i = 0; i < 100000; ++i) {
            const std::optional<std::string> line = m_editor.readLine(kLimit);
            ASSERT_TRUE(line) << m_editor.engine().output();
            if (line->rfind(R"({"notify":)", 0) == 0) continue;
            ASSERT_EQ(R"({"connected":{"from":"dev01"}})", *line);
            return;
        }
    }

    bool request(const std::string& cmd, const std::string& reqid, const json& info = json())
    {
        json body = {{"cmd", cmd}, {"from", "ed"}, {"to", "dev01"}, {"reqid", reqid}};
        if (!info.is_null()) body["cmdinfo"]["info"] = info;
        return m_editor.writeLine(json{{"request", body}}.dump());
    }
    bool abort(const std::string& cmd, const std::string& reqid)
    {
        const json body = {{"cmd", cmd}, {"from", "ed"}, {"to", "dev01"}, {"reqid", reqid}};
        return m_editor.writeLine(json{{"abort", body}}.dump());
    }
    // The next reply or notification other than a parameter change; null when none comes.
    json next(std::chrono::milliseconds limit = kLimit)
    {
        for (;;) {
            const std::optional<std::string> line = m_editor.readLine(limit);
            if (!line) return json();
            json packet = json::parse(*line, nullptr, false);
            if (packet.contains("notify") && packet["notify"].value("cmd", "") == "prm_val") continue;
            return packet;
        }
    }
    // The next reply; an empty object (and a failure showing both processes' output) when none comes.
    json nextReply()
    {
        for (json packet = next(); !packet.is_null(); packet = next()) {
            if (packet.contains("reply")) return packet["reply"];
        }
        ADD_FAILURE() << "no reply within the limit\n" << outputs();
        return json::object();
    }
    // Waits for the device status, taking the replies that come before it into m_replies.
    bool waitForDeviceStatus(int status)
    {
        for (json packet = next(); !packet.is_null(); packet = next()) {
            if (packet.contains("reply")) m_replies.push_back(packet["reply"]);
            if (packet.contains("notify") && packet["notify"].value("cmd", "") == "dev_status" &&
                packet["notify"]["cmdinfo"]["info"].value("deviceStatus", 99) == status) {
                return true;
            }
        }
        return false;
    }
    // The replies of one online request until the one that ends it; "result:progress" each.
    std::vector<std::string> progressOf(const std::string& reqid)
    {
        std::vector<std::string> steps;
        for (const json& reply : m_replies) {
            if (reply.value("reqid", "") != reqid) continue;
            steps.push_back(reply.value("result", "") + ":" + reply.value("progress", ""));
        }
        m_replies.clear();
        const bool ended = !steps.empty() && steps.back().rfind("excuting:", 0) != 0;
        for (json reply = ended ? json() : nextReplyFor(reqid); !reply.is_null(); reply = nextReplyFor(reqid)) {
            steps.push_back(reply.value("result", "") + ":" + reply.value("progress", ""));
            if (reply.value("result", "") != "excuting") break;
        }
        return steps;
    }
    json nextReplyFor(const std::string& reqid)
    {
        for (json packet = next(); !packet.is_null(); packet = next()) {
            if (packet.contains("reply") && packet["reply"].value("reqid", "") == reqid) return packet["reply"];
        }
        return json();
    }
    bool deviceSaw(const std::string& text, size_t times = 1, std::chrono::milliseconds limit = kLimit)
    {
        return TmsTest::waitFor(
            [&] {
                const std::string out = m_device.output();
                size_t n = 0;
                for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) ++n;
                return n >= times;
            },
            limit);
    }
    void linkDevice(const std::string& deviceVersion = "")
    {
        ASSERT_TRUE(request("set_net_info", "n1", {{"pcIpAddr", "127.0.0.1"}, {"devIpAddr", "127.0.0.1"}}));
        ASSERT_EQ("ok", nextReply().value("result", ""));
        ASSERT_TRUE(waitForDeviceStatus(1)) << m_editor.engine().output() << m_device.output();
        // The device's profile arrives with the database synchronisation, which may end after the status: the
        // editor asks the device information until the device's sync version is there, as a real editor would.
        ASSERT_TRUE(deviceVersionArrived(deviceVersion)) << outputs();
    }
    bool deviceVersionArrived(const std::string& expected)
    {
        const auto deadline = std::chrono::steady_clock::now() + kLimit;
        for (int i = 0; std::chrono::steady_clock::now() < deadline; ++i) {
            if (!request("get_dev_info", "i" + std::to_string(i))) return false;
            const json reply = nextReply();
            if (reply.empty()) return false;
            // Before the device is there the reply carries no information record.
            const json info = reply.contains("cmdinfo") && reply["cmdinfo"].is_object() &&
                                      reply["cmdinfo"].contains("info") && reply["cmdinfo"]["info"].is_object()
                                  ? reply["cmdinfo"]["info"]
                                  : json::object();
            const std::string real = info.contains("syncVersion") && info["syncVersion"].is_string()
                                         ? info["syncVersion"].get<std::string>() : "";
            const std::string local = info.contains("localSyncVersion") && info["localSyncVersion"].is_string()
                                          ? info["localSyncVersion"].get<std::string>() : "";
            if (!real.empty() && real == (expected.empty() ? local : expected)) return true;
        }
        return false;
    }

    // What both processes printed, for a failure's message.
    std::string outputs()
    {
        (void)m_editor.engine().waitForOutput("\x01", 500ms);  // reads what is there
        return "engine:\n" + m_editor.engine().output() + "\ndevice:\n" + m_device.output();
    }

    TempFolder m_folder;
    comctrltest::DevsimProcess m_device;
    uint16_t m_port = 0;
    TestEditor m_editor;
    std::vector<json> m_replies;
};

}  // namespace

TEST_F(UzengineSyncTest, ReceivesFromTheDeviceThenGoesOffline)
{
    startDevice();
    startEngine();
    linkDevice();
    ASSERT_TRUE(request("get_sync_device", "s1"));
    ASSERT_TRUE(waitForDeviceStatus(2)) << json(m_replies).dump() << outputs();
    EXPECT_EQ((std::vector<std::string>{"excuting:16", "excuting:64", "excuting:80", "ok:100"}), progressOf("s1"));
    EXPECT_TRUE(deviceSaw("EVENT SetClientType TYPE:Editor SYNCDIR:2 PIN: UDPPORT:50240"));
    ASSERT_TRUE(request("set_sync_device", "s2"));  // already synchronised
    EXPECT_EQ("ng", nextReply().value("result", ""));

    // Offline: no reply, the device is told, the status drops to linked.
    ASSERT_TRUE(request("set_sync_offline", "o1"));
    ASSERT_TRUE(waitForDeviceStatus(1));
    EXPECT_TRUE(m_replies.empty());
    EXPECT_TRUE(deviceSaw("EVENT ClearClientType"));
    ASSERT_TRUE(request("set_sync_offline", "o2"));  // no longer synchronised
    EXPECT_EQ("ng", nextReply().value("result", ""));
}

TEST_F(UzengineSyncTest, SendsToTheDevice)
{
    startDevice();
    startEngine();
    linkDevice();
    ASSERT_TRUE(request("set_sync_device", "s1"));
    ASSERT_TRUE(waitForDeviceStatus(2)) << json(m_replies).dump() << outputs();
    EXPECT_EQ((std::vector<std::string>{"excuting:16", "excuting:64", "excuting:80", "ok:100"}), progressOf("s1"));
    EXPECT_TRUE(deviceSaw("EVENT SetClientType TYPE:Editor SYNCDIR:1 PIN: UDPPORT:50240"));
}

TEST_F(UzengineSyncTest, ACapacityTheDeviceLacksTakesItOfflineAgain)
{
    startDevice();
    ASSERT_EQ("OK", m_device.askFor("set 0 0 /OPV/Capacity 0 0 64", "OK"));
    startEngine();
    linkDevice();
    ASSERT_TRUE(request("set_sync_device", "s1"));
    const std::vector<std::string> steps = progressOf("s1");
    EXPECT_EQ((std::vector<std::string>{"excuting:16", "excuting:64", "excuting:80", "ng/capacity_over:0"}), steps)
        << outputs();
    EXPECT_TRUE(deviceSaw("EVENT ClearClientType"));
    // It rests linked: the preparation asked again on the way back starts nothing.
    EXPECT_FALSE(deviceSaw("EVENT SetClientType", 2, 2s));
}

TEST_F(UzengineSyncTest, DifferentVersionsAreRefusedAtOnce)
{
    startDevice();
    ASSERT_EQ("OK", m_device.askFor("set 0 0 /Specification/SyncVersion 0 0 2", "OK"));
    startEngine();
    linkDevice("2");
    for (const char* cmd : {"set_sync_device", "get_sync_device"}) {
        ASSERT_TRUE(request(cmd, "s1"));
        const json reply = nextReply();
        EXPECT_EQ("ng", reply.value("result", "")) << cmd;
        EXPECT_EQ("100", reply.value("progress", "")) << cmd;
    }
    EXPECT_FALSE(deviceSaw("EVENT SetClientType", 1, 1s));
}

TEST_F(UzengineSyncTest, AbortEndsAStepThatNeverFinishes)
{
    startDevice(false);  // one setting database missing: the memories step waits for ever
    startEngine();
    linkDevice();
    ASSERT_TRUE(request("set_sync_device", "s1"));
    json reply = nextReplyFor("s1");
    EXPECT_EQ("excuting", reply.value("result", ""));
    EXPECT_EQ("16", reply.value("progress", ""));
    reply = nextReplyFor("s1");
    EXPECT_EQ("64", reply.value("progress", ""));
    ASSERT_TRUE(abort("set_sync_device", "s1"));
    reply = nextReplyFor("s1");
    EXPECT_EQ("aborted", reply.value("result", ""));
    EXPECT_EQ("0", reply.value("progress", ""));
    EXPECT_TRUE(deviceSaw("EVENT AbortSynchronize"));
    EXPECT_FALSE(deviceSaw("EVENT SetClientType", 2, 2s));
}

TEST_F(UzengineSyncTest, SynchronisesAgainOnTheSameLink)
{
    startDevice();
    startEngine();
    linkDevice();
    // Both directions, each after the previous synchronisation was taken offline: the folders
    // the last round stopped must start again at both ends.
    struct Round {
        const char* cmd;
        const char* seen;
    };
    const Round rounds[] = {{"get_sync_device", "SYNCDIR:2"}, {"set_sync_device", "SYNCDIR:1"},
                            {"get_sync_device", "SYNCDIR:2"}, {"set_sync_device", "SYNCDIR:1"}};
    size_t offline = 0;
    for (size_t i = 0; i < std::size(rounds); ++i) {
        SCOPED_TRACE(i);
        const std::string reqid = "s" + std::to_string(i);
        ASSERT_TRUE(request(rounds[i].cmd, reqid));
        ASSERT_TRUE(waitForDeviceStatus(2)) << json(m_replies).dump() << outputs();
        EXPECT_EQ((std::vector<std::string>{"excuting:16", "excuting:64", "excuting:80", "ok:100"}), progressOf(reqid));
        EXPECT_TRUE(deviceSaw(rounds[i].seen, i < 2 ? 1 : 2));
        ASSERT_TRUE(request("set_sync_offline", "o" + std::to_string(i)));
        ASSERT_TRUE(waitForDeviceStatus(1)) << outputs();
        EXPECT_TRUE(deviceSaw("EVENT ClearClientType", ++offline));
    }
}
