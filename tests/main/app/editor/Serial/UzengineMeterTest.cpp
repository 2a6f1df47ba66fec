// Meters end to end: the test's editor starts the real program with "syncport" set to a device
// simulator (uz_devsim, a real process) on 127.0.0.1, adds a stand-in component, registers meters
// and takes the program online; the device logs the meter requests it receives and the editor
// reads the meter notifications.
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

class UzengineMeterTest : public testing::Test {
protected:
    // The device with the shipped definitions of its own databases, as the synchronisation needs them.
    void startDevice()
    {
#if !defined(UZ_DEVSIM_PATH) || !defined(UZ_DESCRIPTOR_DIR)
        GTEST_SKIP() << "no device simulator in this build";
#else
        const std::filesystem::path layout = EngineTest::writeDeviceLayout(
            m_folder.path() + "/layout", UZ_DESCRIPTOR_DIR,
            {{0, "Profile", {"Profile"}},
             {1, "DeviceSetup", {"DeviceSetup"}},
             {2, "StaticSetup", {"StaticSetup"}},
             {5, "CommonSetup", {"CommonSetup"}},
             {6, "Status", {"Status"}},
             {10, "AudioCompo",
              {"uzCurrent", "uzSetup", "uzVolatile", "uzSceneStatus", "uzSceneList", "uzPresetStatus",
               "uzPresetList"}}});
        std::filesystem::create_directories(m_folder.path() + "/device");
        ASSERT_TRUE(m_device.start({"--port", "0", "--layout", layout.string(), "--root",
                                    m_folder.path() + "/device"}));
        m_port = m_device.listenPort();
        ASSERT_NE(0, m_port) << m_device.output();
#endif
    }
    void startEngine()
    {
        ASSERT_TRUE(m_editor.listen());
        ASSERT_TRUE(m_editor.startEngine("dev01", {"syncport=" + std::to_string(m_port)}));
        ASSERT_TRUE(m_editor.accept(kLimit)) << m_editor.engine().output();
        for (json packet = next(); !packet.is_null(); packet = next()) {
            if (packet.contains("connected")) return;
        }
        FAIL() << "no connected line\n" << m_editor.engine().output();
    }

    bool request(const std::string& cmd, const std::string& reqid, const json& cmdinfo = json())
    {
        json body = {{"cmd", cmd}, {"from", "ed"}, {"to", "dev01"}, {"reqid", reqid}};
        if (!cmdinfo.is_null()) body["cmdinfo"] = cmdinfo;
        return m_editor.writeLine(json{{"request", body}}.dump());
    }
    // The next line other than a parameter change; null when none comes within the limit.
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
    // The reply of the request id; meter notifications met on the way are kept.
    json replyTo(const std::string& reqid)
    {
        for (json packet = next(); !packet.is_null(); packet = next()) {
            keepMeter(packet);
            if (packet.contains("reply") && packet["reply"].value("reqid", "") == reqid) return packet["reply"];
        }
        return json();
    }
    std::string resultOf(const std::string& cmd, const std::string& reqid, const json& cmdinfo = json())
    {
        if (!request(cmd, reqid, cmdinfo)) return "<not sent>";
        return replyTo(reqid).value("result", "<no reply>");
    }
    bool waitForDeviceStatus(int status)
    {
        for (json packet = next(); !packet.is_null(); packet = next()) {
            keepMeter(packet);
            if (packet.contains("notify") && packet["notify"].value("cmd", "") == "dev_status" &&
                packet["notify"]["cmdinfo"]["info"].value("deviceStatus", 99) == status) {
                return true;
            }
        }
        return false;
    }
    void keepMeter(const json& packet)
    {
        if (packet.contains("notify") && packet["notify"].value("cmd", "") == "meter") {
            m_meters.push_back(packet["notify"]);
        }
    }
    // Meter notifications until count have come.
    bool waitForMeters(size_t count)
    {
        for (json packet = m_meters.size() >= count ? json() : next(); !packet.is_null();
             packet = m_meters.size() >= count ? json() : next()) {
            keepMeter(packet);
        }
        return m_meters.size() >= count;
    }
    bool deviceSaw(const std::string& text)
    {
        return TmsTest::waitFor([&] { return m_device.output().find(text) != std::string::npos; }, kLimit);
    }
    std::string outputs()
    {
        return "engine:\n" + m_editor.engine().output() + "\ndevice:\n" + m_device.output();
    }

    TempFolder m_folder;
    comctrltest::DevsimProcess m_device;
    uint16_t m_port = 0;
    TestEditor m_editor;
    std::vector<json> m_meters;
};

}  // namespace

TEST_F(UzengineMeterTest, OnlineTheDeviceIsAskedForTheMetersAndTheEditorReceivesThem)
{
    startDevice();
    startEngine();
    const json component = {{"list", {{{"prmAddr", "AudioCompo/#100"}, {"cptName", "StandIn:1:2x1"}}}}};
    ASSERT_EQ("ok", resultOf("add_cpt_info", "c1", component)) << outputs();
    ASSERT_EQ("ok", resultOf("set_meter_info", "t1", {{"info", {{"time", 300}}}}));
    // "#10" sorts before "#100" and names no component: it must not silence the one after it.
    const json meters = {{"info", {{"id", "m1"}}},
                         {"list", {{{"prmAddr", "AudioCompo/#10"}}, {{"prmAddr", "AudioCompo/#100"}}}}};
    ASSERT_EQ("ok", resultOf("add_cpt_meter", "m1", meters));
    ASSERT_TRUE(request("getData_cpt_meter", "g1"));
    const json listed = replyTo("g1");
    EXPECT_EQ(json::parse(R"([{"prmAddr":"AudioCompo/#10"},{"prmAddr":"AudioCompo/#100"}])"), listed["cmdinfo"]["list"])
        << listed;

    const json addresses = {{"info", {{"pcIpAddr", "127.0.0.1"}, {"devIpAddr", "127.0.0.1"}}}};
    ASSERT_EQ("ok", resultOf("set_net_info", "n1", addresses));
    ASSERT_TRUE(waitForDeviceStatus(1)) << outputs();
    EXPECT_TRUE(m_meters.empty());  // offline: no meters
    ASSERT_TRUE(request("set_sync_device", "s1"));
    ASSERT_TRUE(waitForDeviceStatus(2)) << outputs();
    // 300 ms in 8 bits is 44; one request per component id.
    EXPECT_TRUE(deviceSaw("EVENT MeterRequest CYCLE:44 COMPONENT:10\n")) << outputs();
    EXPECT_TRUE(deviceSaw("EVENT MeterRequest CYCLE:44 COMPONENT:100\n")) << outputs();

    ASSERT_TRUE(waitForMeters(2)) << outputs();
    for (const json& meter : m_meters) {
        EXPECT_EQ("dev01", meter.value("from", ""));
        EXPECT_EQ("AudioCompo/#100", meter["cmdinfo"]["info"].value("prmAddr", "")) << meter;
        EXPECT_EQ("level", meter["cmdinfo"]["info"].value("type", "")) << meter;
        // Two channels: the level bytes, then the gain-reduction bytes.
        const json& list = meter["cmdinfo"]["list"];
        ASSERT_EQ(4u, list.size()) << meter;
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(i % 2, list[i].value("index", 99u)) << meter;
            const std::string value = list[i].value("value", "");
            EXPECT_EQ(2u, value.size()) << meter;
            EXPECT_EQ(std::string::npos, value.find_first_not_of("0123456789ABCDEF")) << meter;
        }
    }
}
