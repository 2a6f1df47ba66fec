// The device-logic commands carried out by the real device-control thread in a real thread tree:
// requests come through the command helpers of the device logic (or as raw messages where a peer
// could send what the helpers refuse), results are read from the databases and the user folder,
// and "OSCServer" and "Sync" are test threads that keep what they receive.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "common/KavoriDeviceControlThread.h"
#include "common/KavoriProductInfo.h"
#include "common/KavoriSystemInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcSendMessage.h"
#include "jlib/JVariant.h"

namespace {

using namespace std::chrono_literals;
using KAVORI::KavoriDeviceControlThread;
using LPC::CATEGORY_PDBTYPE_UZCURRENT;
using LPC::CATEGORY_PDBTYPE_UZPRESETLIST;
using LPC::CATEGORY_PDBTYPE_UZPRESETSTATUS;
using LPC::CATEGORY_PDBTYPE_UZSCENELIST;
using LPC::CATEGORY_PDBTYPE_UZSETUP;
using LPC::CATEGORY_PDBTYPE_UZVOLATILE;
using TmsTest::waitFor;

// The backup timer never fires: only the commands write backups.
uint32_t frozenClock()
{
    return 1000;
}

// The real thread; the edit flag changes only through the commands (its own change walk would
// raise it at any moment), and the test runs jobs on its task to know that earlier requests are
// done (user messages of id 7, which the thread ignores).
class TestDeviceControl : public KavoriDeviceControlThread {
public:
    TestDeviceControl() : KavoriDeviceControlThread(&frozenClock) {}
    bool run(std::function<void()> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_done.load();
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, 7) != 0 || message.sendWithWaiting(*this) != 0) return false;
        return waitFor([&] { return m_done.load() != before; }, 60s);
    }
    // Every request sent before has been carried out.
    bool drain()
    {
        return run([] {});
    }

protected:
    void raiseSceneEditFlag() override {}
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        if (message.messageId() != 7) return KavoriDeviceControlThread::onReceiveMessage(message);
        std::function<void()> job;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            job.swap(m_job);
        }
        if (job) job();
        m_done.fetch_add(1);
        return 0;
    }

private:
    std::mutex m_mutex;
    std::function<void()> m_job;
    std::atomic<uint32_t> m_done{0};
};

class Peer : public TmsTest::Recording<TMS::AbstractThread> {
public:
    Peer() : Recording(5)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_received.push_back(message);
        };
    }
    // The first message not taken yet whose "Operation" is the one given.
    std::optional<TMS::AbstractMessage> take(const char* operation, std::chrono::milliseconds limit = 30s)
    {
        std::optional<TMS::AbstractMessage> found;
        (void)waitFor(
            [&] {
                std::lock_guard<std::mutex> lock(m_mutex);
                for (auto it = m_received.begin(); it != m_received.end(); ++it) {
                    const char* op = it->data("Operation").toString();
                    if (op && std::string(op) == operation) {
                        found = *it;
                        m_received.erase(it);
                        return true;
                    }
                }
                return false;
            },
            limit);
        return found;
    }
    size_t count()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received.size();
    }

private:
    std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_received;
};

// A raw request, as any thread could send it.
TMS::AbstractMessage raw(const char* name, const char* operation, const char* status, const char* filePath = nullptr)
{
    TMS::AbstractMessage message;
    EXPECT_EQ(0u, message.initialize(TMS::kMessageUser, 0));
    EXPECT_EQ(0u, message.addData("CommandName", name));
    if (operation) EXPECT_EQ(0u, message.addData("Operation", operation));
    if (status) EXPECT_EQ(0u, message.addData("Status", status));
    if (filePath) EXPECT_EQ(0u, message.addData("FilePath", filePath));
    return message;
}

class KavoriDeviceControlLogicCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path system = m_temp.file("system");
        std::filesystem::create_directories(system / "Component");
        std::filesystem::copy_file(std::filesystem::path(UZENGINE_PROGRAM).parent_path() / "Component/StandIn_1.so",
                                   system / "Component/StandIn_1.so");
        std::filesystem::create_directories(system / "Descriptor");
        std::filesystem::path shipped(__FILE__);
        for (int i = 0; i < 5; ++i) shipped = shipped.parent_path();
        for (const auto& entry :
             std::filesystem::directory_iterator(shipped / "main/app/editor/SystemData/Descriptor")) {
            std::filesystem::copy_file(entry.path(), system / "Descriptor" / entry.path().filename());
        }
        KAVORI::KavoriProductInfo::getInstance().setSystemDataPath(system.string());
        std::filesystem::remove_all(user());
        KAVORI::KavoriProductInfo::getInstance().setUserFolder(user());

        ASSERT_TRUE(TmsTest::setUpThread(m_device, "DeviceControl", 2, 10));
        ASSERT_TRUE(TmsTest::setUpThread(m_osc, "OSCServer", 1));
        ASSERT_TRUE(TmsTest::setUpThread(m_sync, "Sync", 1));
        m_root.onInit = [this] {
            EXPECT_EQ(0u, m_root.addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            for (TMS::AbstractThread* child : std::initializer_list<TMS::AbstractThread*>{&m_osc, &m_sync, &m_device}) {
                EXPECT_EQ(0u, m_root.addThread(*child));
            }
        };
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System", 0, 100));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        m_started = true;
        ASSERT_TRUE(waitFor([&] { return m_device.controlState() == KavoriDeviceControlThread::kControlNormal; }, 20s));
    }
    void TearDown() override
    {
        if (m_started) (void)m_root.release();
    }

    // The project contents are fixed at their first use in the process, so every test of a run
    // shares one user folder, emptied before each test.
    static const TempFolder& userRoot()
    {
        static const TempFolder root;
        return root;
    }
    std::string user() const { return userRoot().file("user"); }
    static JVariant get(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x = 0)
    {
        return LPC::pdb_getParam(category, address, x, 0);
    }
    static std::string text(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x = 0)
    {
        const JVariant value = get(category, address, x);
        return value.toString() ? value.toString() : "<none>";
    }
    static void setInt(LPC::CATEGORY_OF_PDBTYPE category, const char* address, int32_t value)
    {
        ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParam(category, address, 0, 0, JVariant(value), 255))) << address;
    }
    static int32_t decay() { return get(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay").toInt32(); }
    static uint32_t editFlag() { return get(CATEGORY_PDBTYPE_UZSETUP, "/Scene/Current/EditFlag").toUInt32(); }
    static std::string presetFile(uint32_t slot)
    {
        return text(CATEGORY_PDBTYPE_UZPRESETLIST, "/PresetList/3DRev/Info/FileName", slot);
    }
    size_t presetFiles() const
    {
        const std::string folder = user() + "/Preset/3DRev";
        if (!std::filesystem::exists(folder)) return 0;
        size_t n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.is_regular_file() ? 1 : 0;
        return n;
    }
    void expectReport(const char* operation, const char* status, const char* index)
    {
        const std::optional<TMS::AbstractMessage> report = m_osc.take(operation);
        ASSERT_TRUE(report.has_value()) << operation;
        EXPECT_STREQ("UZScene", report->data("CommandName").toString());
        EXPECT_STREQ(status, report->data("Status").toString());
        EXPECT_STREQ(index, report->data("Index").toString());
        EXPECT_STREQ("PROC:ParamSet/Vexalume", report->data("Category").toString());
        EXPECT_TRUE(report->data("Factor") == JVariant(255));
        EXPECT_EQ(JVariant(255).getType(), report->data("Factor").getType());
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    TempFolder m_temp;
    TestDeviceControl m_device;
    Peer m_osc;
    Peer m_sync;
    TmsTest::Recording<TMS::SystemThread> m_root{1};
    bool m_started = false;
};

TEST_F(KavoriDeviceControlLogicCommandsTest, SceneStoreAndRecallAreReportedAndTheRecallBringsItsPresetBack)
{
    setInt(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay", 100);
    ASSERT_EQ(0u, LPC::sendMessagePresetStore("3DRev", 2, "Room", 1));
    ASSERT_TRUE(m_device.drain());
    ASSERT_NE("", presetFile(1));
    setInt(CATEGORY_PDBTYPE_UZCURRENT, "/3DRev/Preset", 2);

    ASSERT_EQ(0u, LPC::setEditFlag(true));
    ASSERT_EQ(0u, LPC::sendMessageStore("1.0", "first", "c", 3));
    expectReport("Store", "End", "1.0");
    EXPECT_EQ(0u, editFlag());

    setInt(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay", 900);
    setInt(CATEGORY_PDBTYPE_UZCURRENT, "/3DRev/Preset", 0);
    ASSERT_EQ(0u, LPC::setEditFlag(true));
    ASSERT_EQ(0u, LPC::sendMessageRecall("1.0", 4));
    ASSERT_TRUE(m_osc.take("Recall").has_value());  // the request's own copy
    expectReport("Current", "Changed", "1.0");
    EXPECT_EQ(0u, editFlag());
    EXPECT_EQ(2u, get(CATEGORY_PDBTYPE_UZCURRENT, "/3DRev/Preset").toUInt32());
    EXPECT_EQ(100, decay());  // the preset of the scene was recalled after it

    // A failed recall or store reports nothing and leaves the flag.
    ASSERT_EQ(0u, LPC::setEditFlag(true));
    ASSERT_EQ(0u, LPC::sendMessageRecall("missing", 4));
    ASSERT_TRUE(m_osc.take("Recall").has_value());
    ASSERT_EQ(0u, LPC::sendMessageStore("", "t", "c", 3));
    ASSERT_TRUE(m_device.drain());
    EXPECT_EQ(1u, editFlag());
    EXPECT_EQ(0u, m_osc.count());
}

TEST_F(KavoriDeviceControlLogicCommandsTest, OnlyTheStartStatusStoresOrRecallsAScene)
{
    ASSERT_EQ(0u, LPC::sendMessageStore("A", "t", "c", 1));
    expectReport("Store", "End", "A");
    setInt(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay", 321);
    for (const char* status : {"Do", "End"}) {
        TMS::AbstractMessage recall = raw("UZScene", "Recall", status);
        ASSERT_EQ(0u, recall.addData("Index", "A"));
        ASSERT_EQ(0u, recall.sendWithWaiting(m_device));
        TMS::AbstractMessage store = raw("UZScene", "Store", status);
        ASSERT_EQ(0u, store.addData("Index", "B"));
        ASSERT_EQ(0u, store.addData("Title", "t"));
        ASSERT_EQ(0u, store.addData("Comment", "c"));
        ASSERT_EQ(0u, store.sendWithWaiting(m_device));
    }
    ASSERT_TRUE(m_device.drain());
    EXPECT_EQ(0u, m_osc.count());
    EXPECT_NE("B", text(CATEGORY_PDBTYPE_UZSCENELIST, "/SceneList/Bank/Info/SceneNumber", 1));
    EXPECT_EQ(321, decay());
}

TEST_F(KavoriDeviceControlLogicCommandsTest, PresetCommandsStoreRecallProtectDeleteAndFillAllNumbers)
{
    setInt(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay", 250);
    ASSERT_EQ(0u, LPC::sendMessagePresetStore("3DRev", 7, "Seven", 1));
    ASSERT_TRUE(m_device.drain());
    setInt(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay", 800);
    ASSERT_EQ(0u, LPC::sendMessagePresetRecall("3DRev", 7, 1));
    ASSERT_EQ(0u, LPC::sendMessagePresetProtect("3DRev", 7, 1, 1));
    ASSERT_EQ(0u, LPC::sendMessagePresetDelete("3DRev", 7, 1));  // refused: protected
    ASSERT_TRUE(m_device.drain());
    EXPECT_EQ(250, decay());
    EXPECT_EQ(7u, get(CATEGORY_PDBTYPE_UZCURRENT, "/3DRev/Preset").toUInt32());
    EXPECT_EQ(1u, get(CATEGORY_PDBTYPE_UZPRESETSTATUS, "/PresetStatus/3DRev/Info/Protect", 6).toUInt32());
    EXPECT_NE("", presetFile(6));

    ASSERT_EQ(0u, LPC::sendMessagePresetProtect("3DRev", 7, 0, 1));
    ASSERT_EQ(0u, LPC::sendMessagePresetDelete("3DRev", 7, 1));
    ASSERT_TRUE(m_device.drain());
    EXPECT_EQ("", presetFile(6));
    EXPECT_EQ(0u, presetFiles());

    ASSERT_EQ(0u, LPC::sendMessageCreateAllPreset());
    ASSERT_TRUE(m_device.drain());
    EXPECT_EQ(128u, presetFiles());
    for (uint32_t slot : {0u, 127u}) {
        EXPECT_EQ("FullNumber", text(CATEGORY_PDBTYPE_UZPRESETSTATUS, "/PresetStatus/3DRev/Info/Title", slot));
    }
}

TEST_F(KavoriDeviceControlLogicCommandsTest, ProjectSaveAndLoadRestoreTheStateAndALoadRereadsTheBackups)
{
    for (const char* folder : {"Current", "CurrentList", "CurrentUnloadable"}) {
        for (const auto& entry : std::filesystem::directory_iterator(user() + "/" + folder)) {
            std::filesystem::remove(entry.path());
        }
    }
    setInt(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay", 111);
    ASSERT_EQ(0u, LPC::sendMessagePresetStore("3DRev", 1, "kept", 1));
    ASSERT_EQ(0u, LPC::sendMessageProjectSave("show", 1));
    ASSERT_TRUE(m_device.drain());
    EXPECT_TRUE(std::filesystem::is_regular_file(user() + "/show.vexaprj"));
    // The backups the project holds were written twice (file and old copy), no other.
    EXPECT_TRUE(std::filesystem::is_regular_file(user() + "/Current/CurrentBackupFile.bup.old"));
    EXPECT_TRUE(std::filesystem::is_regular_file(user() + "/CurrentList/CurrentListBackupFile.bup.old"));
    EXPECT_TRUE(std::filesystem::is_empty(user() + "/CurrentUnloadable"));
    EXPECT_EQ(KavoriDeviceControlThread::kControlNormal, m_device.controlState());
    EXPECT_EQ(1u, get(CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Status/EnableSceneView").toUInt32());

    setInt(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Decay", 999);
    ASSERT_EQ(0u, LPC::sendMessagePresetDelete("3DRev", 1, 1));
    ASSERT_EQ(0u, LPC::sendMessageProjectLoad("missing", 1));
    ASSERT_TRUE(m_device.drain());
    EXPECT_EQ(999, decay());  // a failed load re-reads nothing
    EXPECT_EQ(KavoriDeviceControlThread::kControlNormal, m_device.controlState());
    EXPECT_EQ(1u, get(CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Status/EnableSceneView").toUInt32());

    ASSERT_EQ(0u, LPC::sendMessageProjectLoad("show.vexaprj", 1));
    ASSERT_TRUE(m_device.drain());
    EXPECT_EQ(111, decay());
    EXPECT_NE("", presetFile(0));
    EXPECT_EQ("kept", text(CATEGORY_PDBTYPE_UZPRESETSTATUS, "/PresetStatus/3DRev/Info/Title", 0));
    EXPECT_EQ(1u, presetFiles());
    EXPECT_EQ(0, get(CATEGORY_PDBTYPE_UZVOLATILE, "/Project/remainingNum").toInt32());
    EXPECT_EQ(KavoriDeviceControlThread::kControlNormal, m_device.controlState());
    EXPECT_EQ(1u, get(CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Status/EnableSceneView").toUInt32());
}

// Any OSC client could name a path: only a plain name is taken, and it lies in the user folder.
TEST_F(KavoriDeviceControlLogicCommandsTest, FilePathsOfCommandsOnlyReachTheUserFolder)
{
    const std::string outside = m_temp.file("outside");
    const std::string names[] = {"../escape", outside + "/abs", "..", "a\\b"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (TMS::AbstractMessage message :
             {raw("UZProject", "Save", "Do", name.c_str()), raw("UZSpeakerPosition", "Export", "Do", name.c_str()),
              raw("UZShowAllValues", nullptr, nullptr, name.c_str())}) {
            ASSERT_EQ(0u, message.sendWithWaiting(m_device));
        }
    }
    ASSERT_TRUE(m_device.drain());
    EXPECT_FALSE(std::filesystem::exists(userRoot().file("escape.vexaprj")));
    EXPECT_FALSE(std::filesystem::exists(userRoot().file("escape")));
    EXPECT_FALSE(std::filesystem::exists(outside));
    EXPECT_EQ(KavoriDeviceControlThread::kControlNormal, m_device.controlState());

    ASSERT_EQ(0u, LPC::sendMessageSpeakerPositionExport("speakers.txt", 1));
    ASSERT_TRUE(m_device.drain());
    EXPECT_TRUE(std::filesystem::is_regular_file(user() + "/speakers.txt"));
    ASSERT_EQ(0u, LPC::sendMessageSpeakerPositionImport("speakers.txt", 1));
    ASSERT_TRUE(m_device.drain());
}

}  // namespace
