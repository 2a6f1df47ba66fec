// The synchronisation sequence of the real "Sync" thread under the real root, linked over loopback
// TCP to uz_devsim as a real process. A stand-in in the place of "DeviceControl" gives the one
// answer the real one never gives: a configuration other than "Same".
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PdbLayout.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "comctrl/Core/DevsimProcess.h"
#include "common/KavoriProductInfo.h"
#include "editor/KavoriClientSyncThread.h"
#include "editor/KavoriClientSystemThread.h"
#include "editor/VDStartupOption.h"
#include "main/app/editor/StandInThread.h"
#include "vsock/vsock.h"

using namespace std::chrono_literals;
using EngineTest::Journal;
using EngineTest::StandIn;

namespace {

constexpr auto kLimit = 20s;

class TestRoot : public KAVORI::KavoriClientSystemThread {
public:
    using KavoriClientSystemThread::placeChild;
};

std::string describe(const TMS::AbstractMessage& message)
{
    const char* name = message.data("CommandName").toString();
    std::string text = name ? name : "?";
    for (const char* key : {"Status", "ConfigHash", "Result", "Progress"}) {
        const JVariant& value = message.data(key);
        if (!value.isValid()) continue;
        text += std::string(" ") + key + "=";
        if (value.getType() == JVariant::kTypeString) text += value.toString();
        if (value.getType() == JVariant::kTypeUInt32) text += std::to_string(value.toUInt32());
        if (value.getType() == JVariant::kTypeInt32) text += std::to_string(value.toInt32());
    }
    return text;
}

class KavoriSyncSequenceTest : public testing::Test {
protected:
    void SetUp() override
    {
#if !defined(UZ_DEVSIM_PATH) || !defined(UZ_DESCRIPTOR_DIR)
        GTEST_SKIP() << "no device simulator in this build";
#else
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
        ASSERT_EQ(0, vsock_initModule());
        m_vsock = true;
        KAVORI::KavoriProductInfo::getInstance().setUserFolder(m_folder.path() + "/user");
        m_sync = std::make_unique<KAVORI::KavoriClientSyncThread>();  // its file access lives in the user folder
        const std::string layout = writeLayout();
        std::string error;
        ASSERT_EQ(0u, m_layout.load(layout, error)) << error;
        std::filesystem::create_directories(m_folder.path() + "/device");
        ASSERT_TRUE(m_device.start({"--port", "0", "--layout", layout, "--hash", "0a0b", "--root",
                                    m_folder.path() + "/device"}));
        m_port = m_device.listenPort();
        ASSERT_NE(0, m_port) << m_device.output();
#endif
    }
    void TearDown() override
    {
        if (m_root) (void)m_root->release();
        m_root.reset();
        if (m_vsock) EXPECT_EQ(0, vsock_endModule());
        if (!m_previous.empty()) std::filesystem::current_path(m_previous);
    }

    // The databases the link carries (the device's own and the synchronised setting ones) and
    // this side's description.
    std::string writeLayout()
    {
        const std::filesystem::path folder = m_folder.path() + "/layout";
        std::filesystem::create_directories(folder / "defs");
        const struct {
            uint32_t id;
            const char* name;
            std::vector<std::string> types;
        } rows[] = {{0, "Profile", {"Profile"}},
                    {1, "DeviceSetup", {"DeviceSetup"}},
                    {2, "StaticSetup", {"StaticSetup"}},
                    {4, "VDeviceSetup", {"VDeviceSetup"}},  // this side's capacity
                    {5, "CommonSetup", {"CommonSetup"}},
                    {6, "Status", {"Status"}},
                    {10, "AudioCompo", {"uzCurrent", "uzSetup", "uzVolatile", "uzSceneStatus", "uzSceneList",
                                       "uzPresetStatus", "uzPresetList"}}};
        std::string databases;
        for (const auto& row : rows) {
            std::string components;
            for (size_t i = 0; i < row.types.size(); ++i) {
                const std::string file = row.types[i] + "_1.json";
                std::filesystem::copy_file(std::string(UZ_DESCRIPTOR_DIR) + "/" + file, folder / "defs" / file);
                if (!components.empty()) components += ",";
                components += "{\"uniqId\":" + std::to_string(i) + ",\"type\":\"" + row.types[i] +
                              "\",\"version\":1,\"numX\":0,\"numY\":0}";
            }
            if (!databases.empty()) databases += ",";
            databases += "{\"id\":" + std::to_string(row.id) + ",\"name\":\"" + row.name + "\",\"components\":[" +
                         components + "]}";
        }
        std::ofstream(folder / "layout.json") << "{\"definitions\":\"defs\",\"databases\":[" << databases << "]}";
        return (folder / "layout.json").string();
    }

    // The root with the real "Sync"; the stand-in of "DeviceControl" answers the preparation and
    // the configuration comparison with the given answer.
    void startTree(const std::string& sameConfig)
    {
        m_portOption = "syncport=" + std::to_string(m_port);
        std::vector<const char*> argv = {"uzengine", m_portOption.c_str()};
        ASSERT_EQ(0u, VDevice::VDStartupOption::getInstance().set(int(argv.size()), argv.data()));
        for (const char* name :
             {"DeviceControl", "VDProtocol", "Compiler", "DeviceControlForUZ", "MURRemote", "OSCServer"}) {
            m_standIns.push_back(std::make_unique<StandIn>(m_journal));
            StandIn& standIn = *m_standIns.back();
            auto jobs = standIn.onUserMessage;
            const std::string prefix = std::string(name) + ":";
            const bool answers = std::string(name) == "DeviceControl";
            standIn.onUserMessage = [this, jobs, prefix, answers, sameConfig](const TMS::AbstractMessage& message) {
                if (message.messageId() == 0) m_journal.add(prefix + describe(message));
                const char* command = message.data("CommandName").toString();
                if (answers && command) answer(command, sameConfig);
                jobs(message);
            };
            ASSERT_EQ(0u, m_root->placeChild(name, standIn));
        }
        ASSERT_EQ(0u, m_root->placeChild("Sync", *m_sync));
        ASSERT_EQ(0u, m_root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_EQ(0u, m_root->start(TMS::getNullDataMap()));
        ASSERT_TRUE(
            TmsTest::waitFor([&] { return m_root->getPhase() == TMS::SystemThread::kPhaseAllStarted; }, kLimit));
        ASSERT_TRUE(deviceControl().publish("PDBState", 1));
    }
    static void answer(const std::string& command, const std::string& sameConfig)
    {
        TMS::AbstractMessage message;
        if (command == "PrepareToSync") {
            (void)message.initialize(TMS::kMessageUser, 0);
            (void)message.addData("CommandName", "Re:PrepareToSync");
        } else if (command == "isSameConfig") {
            (void)message.initialize(TMS::kMessageUser, 0);
            (void)message.addData("CommandName", "Re:isSameConfig");
            (void)message.addData("isSameConfig", sameConfig.c_str());
        } else {
            return;
        }
        EXPECT_EQ(0u, message.sendWithWaiting("Sync"));
    }
    StandIn& deviceControl() { return *m_standIns[0]; }
    uint32_t editorState() { return deviceControl().sysParam("EditorState"); }

    bool linkAndSync(const char* direction)
    {
        TMS::AbstractMessage message;
        return message.initialize(TMS::kMessageUser, 0) == 0 &&
               message.addData("CommandName", "SetNetworkInfo&Sync") == 0 &&
               message.addData("FromIPAddress", "127.0.0.1") == 0 && message.addData("ToIPAddress", "127.0.0.1") == 0 &&
               message.addData("Direction", direction) == 0 && message.sendWithWaiting("Sync") == 0;
    }
    // The reports to the editor link, in order.
    std::vector<std::string> reports() const { return m_journal.with("VDProtocol:Re:Synchronize "); }
    bool waitForReport(const std::string& report)
    {
        return TmsTest::waitFor(
            [&] {
                for (const std::string& r : reports()) {
                    if (r == report) return true;
                }
                return false;
            },
            kLimit);
    }
    size_t deviceEvents(const std::string& name)
    {
        const std::string out = m_device.output();
        const std::string line = "EVENT " + name + " ";
        size_t n = 0;
        for (size_t at = out.find(line); at != std::string::npos; at = out.find(line, at + 1)) ++n;
        return n;
    }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    std::filesystem::path m_previous;
    bool m_vsock = false;
    devsim::PdbLayout m_layout;
    comctrltest::DevsimProcess m_device;
    uint16_t m_port = 0;
    std::string m_portOption;
    Journal m_journal;
    std::vector<std::unique_ptr<StandIn>> m_standIns;  // outlive the root, which borrows them
    std::unique_ptr<KAVORI::KavoriClientSyncThread> m_sync;
    std::unique_ptr<TestRoot> m_root = std::make_unique<TestRoot>();
};

}  // namespace

TEST_F(KavoriSyncSequenceTest, ADifferentConfigurationCannotBeTakenFromTheDevice)
{
    startTree("Different");
    ASSERT_TRUE(linkAndSync("ServerToClient"));
    ASSERT_TRUE(waitForReport("Result=2 Progress=0")) << m_device.output();
    EXPECT_EQ((std::vector<std::string>{"Result=1 Progress=16", "Result=2147483659 Progress=0", "Result=2 Progress=0"}),
              reports());
    EXPECT_EQ(1u, m_journal.with("DeviceControl:isSameConfig ConfigHash=0A0B").size());
    EXPECT_EQ(1u, deviceEvents("SetClientType"));
    EXPECT_EQ(1u, deviceEvents("AbortSynchronize"));
    // The neighbour's copy of the state follows through the root, after the report.
    EXPECT_TRUE(TmsTest::waitFor([&] { return editorState() == 4; }, kLimit)) << editorState();
    // The preparation asked again on the way back to 4 starts nothing without a direction.
    EXPECT_TRUE(TmsTest::waitFor([&] { return m_journal.with("DeviceControl:PrepareToSync").size() == 2; }, kLimit));
    EXPECT_FALSE(TmsTest::waitFor([&] { return deviceEvents("SetClientType") > 1; }, 1s));
}

TEST_F(KavoriSyncSequenceTest, ADifferentConfigurationIsSentAndAppliedBeforeTheMemories)
{
    const std::string config = m_folder.path() + "/user/Config";
    std::filesystem::create_directories(config);
    std::ofstream(config + "/CompileResult.json") << "{\"dsp\":\"compiled\"}";
    std::filesystem::create_directories(m_folder.path() + "/user/Snapshot");
    std::ofstream(m_folder.path() + "/user/Snapshot/0123.vexas") << "scene";
    startTree("Different");
    ASSERT_TRUE(linkAndSync("ClientToServer"));
    ASSERT_TRUE(waitForReport("Result=0 Progress=100")) << m_device.output();
    EXPECT_EQ((std::vector<std::string>{"Result=1 Progress=16", "Result=1 Progress=32", "Result=1 Progress=48",
                                        "Result=1 Progress=64", "Result=1 Progress=80", "Result=0 Progress=100"}),
              reports());
    // The neighbour's copy of the state follows through the root, after the report.
    EXPECT_TRUE(TmsTest::waitFor([&] { return editorState() == 10; }, kLimit)) << editorState();
    std::stringstream sent;
    sent << std::ifstream(m_folder.path() + "/device/Config/CompileResult.json").rdbuf();
    EXPECT_EQ("{\"dsp\":\"compiled\"}", sent.str());
    EXPECT_EQ(1u, deviceEvents("ApplyConfig"));
    const std::string copied = m_folder.path() + "/device/Snapshot/0123.vexas";
    EXPECT_TRUE(TmsTest::waitFor([&] { return std::filesystem::exists(copied); }, kLimit));
    EXPECT_EQ(1u, m_journal.with("DeviceControl:Synchronize Status=Synchronized").size());

    // "abort" at 10 does nothing; "Asynchronous" takes it offline and is answered.
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, message.addData("CommandName", "abort"));
    ASSERT_EQ(0u, message.sendWithWaiting("Sync"));
    TMS::AbstractMessage offline;
    ASSERT_EQ(0u, offline.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, offline.addData("CommandName", "Asynchronous"));
    ASSERT_EQ(0u, offline.sendWithWaiting("Sync"));
    ASSERT_TRUE(TmsTest::waitFor([&] { return editorState() == 4; }, kLimit));
    EXPECT_TRUE(TmsTest::waitFor([&] { return deviceEvents("ClearClientType") == 1; }, kLimit));
    EXPECT_EQ(0u, deviceEvents("AbortSynchronize"));
}
