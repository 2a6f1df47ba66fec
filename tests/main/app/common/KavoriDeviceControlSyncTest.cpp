// The device-control thread's synchronisation commands, sent by a real thread named "Sync" as the
// console-link glue does, against the real databases of the shipped definitions.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
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
#include "common/KavoriResourcePath.h"
#include "common/KavoriSystemInfo.h"
#include "common/Lpc/LpcPDB.h"

namespace {

using namespace std::chrono_literals;
using KAVORI::KavoriDeviceControlThread;
using TmsTest::waitFor;

// A neighbour of the device-control thread: keeps the user messages it receives and sends
// requests from its own task, so answers come back to it by name.
class Peer : public TmsTest::Recording<TMS::AbstractThread> {
public:
    Peer() : Recording(5)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            if (message.messageId() != 7) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.push_back(message);
                return;
            }
            std::function<void()> job;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                job.swap(m_job);
            }
            if (job) job();
            m_jobsDone.fetch_add(1);
        };
    }
    // Runs the job on this thread's own task (messages made there carry this thread as sender).
    bool run(std::function<void()> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_jobsDone.load();
        TMS::AbstractMessage go;
        if (go.initialize(TMS::kMessageUser, 7) != 0 || go.sendWithWaiting(*this) != 0) return false;
        return waitFor([&] { return m_jobsDone.load() != before; }, 10s);
    }
    std::optional<TMS::AbstractMessage> take(const char* commandName, std::chrono::milliseconds limit = 10s)
    {
        std::optional<TMS::AbstractMessage> found;
        (void)waitFor([&] {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (auto it = m_received.begin(); it != m_received.end(); ++it) {
                const char* name = it->data("CommandName").toString();
                if (name && std::string(name) == commandName) {
                    found = *it;
                    m_received.erase(it);
                    return true;
                }
            }
            return false;
        }, limit);
        return found;
    }

private:
    std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_received;
    std::function<void()> m_job;
    std::atomic<uint32_t> m_jobsDone{0};
};

struct Request {
    TMS::AbstractMessage message;
    explicit Request(const char* commandName)
    {
        EXPECT_EQ(0u, message.initialize(TMS::kMessageUser, 0));
        EXPECT_EQ(0u, message.addData("CommandName", commandName));
    }
    Request& add(TMS::MessageKey key, uint32_t value)
    {
        EXPECT_EQ(0u, message.addData(key, value));
        return *this;
    }
    Request& add(TMS::MessageKey key, const char* value)
    {
        EXPECT_EQ(0u, message.addData(key, value));
        return *this;
    }
};

int32_t volatileParam(const char* address)
{
    return LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, address, 0, 0).toInt32();
}

// The device-control thread with the shipped definitions in a temporary system folder, under a
// root that declares the shared parameters, beside a peer "Sync".
class KavoriDeviceControlSyncTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path system = m_temp.file("system");
        std::filesystem::create_directories(system / "Descriptor");
        std::filesystem::create_directories(system / "Component");
        // The stand-in component library the build places beside the program.
        std::filesystem::copy_file(std::filesystem::path(UZENGINE_PROGRAM).parent_path() / "Component/StandIn_1.so",
                                   system / "Component/StandIn_1.so");
        std::filesystem::path shipped(__FILE__);
        for (int i = 0; i < 5; ++i) shipped = shipped.parent_path();
        for (const auto& entry : std::filesystem::directory_iterator(shipped / "main/app/editor/SystemData/Descriptor")) {
            std::filesystem::copy_file(entry.path(), system / "Descriptor" / entry.path().filename());
        }
        KAVORI::KavoriProductInfo::getInstance().setSystemDataPath(system.string());
        KAVORI::KavoriProductInfo::getInstance().setUserFolder(m_temp.file("user"));
    }
    void TearDown() override
    {
        if (m_started) (void)m_root.release();
    }
    // The editor's virtual device: the settings say so.
    void becomeEditor()
    {
        // The settings file is looked up beside the program, below the root folder given.
        const std::string root = m_temp.file("settings");
        const std::string file = root + "/" + KAVORI::resourcePath("./SystemSetting.ini");
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file) << "[ProductInfo]\nApplicationType = editor\n";
        ASSERT_EQ(0u, KAVORI::KavoriProductInfo::getInstance().load(root));
        KAVORI::KavoriProductInfo::getInstance().setSystemDataPath(m_temp.file("system"));
        KAVORI::KavoriProductInfo::getInstance().setUserFolder(m_temp.file("user"));
        ASSERT_TRUE(KavoriDeviceControlThread::isClient());
    }
    void start()
    {
        m_started = true;
        ASSERT_TRUE(TmsTest::setUpThread(m_device, "DeviceControl", 2, 10));
        ASSERT_TRUE(TmsTest::setUpThread(m_sync, "Sync", 1));
        m_root.onInit = [this] {
            EXPECT_EQ(0u, m_root.addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            EXPECT_EQ(0u, m_root.addThread(m_sync));
            EXPECT_EQ(0u, m_root.addThread(m_device));
        };
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System", 0, 100));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitFor([&] { return m_device.controlState() == KavoriDeviceControlThread::kControlNormal; }, 20s));
    }
    // The request made and sent on the peer "Sync", as the console-link glue does.
    void fromSync(const char* command, std::function<void(Request&)> fill = {})
    {
        std::atomic<bool> sent{false};
        ASSERT_TRUE(m_sync.run([&] {
            Request request(command);
            if (fill) fill(request);
            sent = request.message.sendWithWaiting(m_device) == 0;
        }));
        ASSERT_TRUE(sent.load());
    }

    TMS::TMSystem m_system;
    TempFolder m_temp;
    KavoriDeviceControlThread m_device;
    Peer m_sync;
    TmsTest::Recording<TMS::SystemThread> m_root{1};
    bool m_started = false;
};

}  // namespace

TEST_F(KavoriDeviceControlSyncTest, APreparationIsAcceptedWithTheFixedHashAndStartsTheCounters)
{
    start();
    fromSync("PrepareToSync");  // as "Sync" sends it: no keys at all
    auto answer = m_sync.take("Re:PrepareToSync");
    ASSERT_TRUE(answer);
    EXPECT_EQ(0u, answer->data("UnitId").toUInt32());
    EXPECT_STREQ("OK", answer->data("AdminPIN").toString());
    const uint8_t hash[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ASSERT_EQ(16u, answer->data("ConfigHash").getBinaryLength());
    EXPECT_EQ(0, std::memcmp(hash, answer->data("ConfigHash").toBinary(), 16));
    EXPECT_EQ(1000, volatileParam("/Scene/Sync/Scene/remainingNum"));
    EXPECT_EQ(128, volatileParam("/Scene/Sync/Library/remainingNum"));
    EXPECT_FALSE(m_device.refreshAfterSync());  // no direction: nothing to refresh afterwards

    // The direction toward this side (not the editor's device: a server) keeps the refresh.
    fromSync("PrepareToSync", [](Request& r) {
        r.add("UnitId", 3).add("AdminPIN", "9999").add("SyncDirection", "ClientToServer");
    });
    answer = m_sync.take("Re:PrepareToSync");
    ASSERT_TRUE(answer);
    EXPECT_EQ(3u, answer->data("UnitId").toUInt32());
    EXPECT_STREQ("OK", answer->data("AdminPIN").toString());  // the PIN is never checked
    EXPECT_TRUE(m_device.refreshAfterSync());

    // A sender that is no registered thread gets nothing; the next answer is the only one.
    Request unregistered("PrepareToSync");
    ASSERT_EQ(0u, unregistered.message.sendWithWaiting(m_device));
    fromSync("isSameConfig", [](Request& r) { r.add("ConfigHash", "whatever"); });
    answer = m_sync.take("Re:isSameConfig");
    ASSERT_TRUE(answer);
    EXPECT_STREQ("Same", answer->data("isSameConfig").toString());
    EXPECT_FALSE(m_sync.take("Re:PrepareToSync", 0ms));
}

TEST_F(KavoriDeviceControlSyncTest, TheEditorsDeviceAnswersWithoutPinAndHash)
{
    becomeEditor();
    start();
    fromSync("PrepareToSync", [](Request& r) { r.add("UnitId", 2).add("SyncDirection", "ServerToClient"); });
    auto answer = m_sync.take("Re:PrepareToSync");
    ASSERT_TRUE(answer);
    EXPECT_EQ(2u, answer->data("UnitId").toUInt32());
    EXPECT_FALSE(answer->data("AdminPIN").isValid());
    EXPECT_FALSE(answer->data("ConfigHash").isValid());
    EXPECT_TRUE(m_device.refreshAfterSync());  // a client receiving from the server
}

TEST_F(KavoriDeviceControlSyncTest, ASynchronisationQuietsTheBackupsUntilItEndsOrIsAborted)
{
    start();
    struct Step {
        const char* command;
        const char* status;
        const char* type;
        uint32_t controlState;
        int32_t sceneView;
    };
    const Step steps[] = {
        {"Synchronize", "Connected", "Client", KavoriDeviceControlThread::kControlSyncConnected, 0},
        {"Synchronize", "Other", "Client", KavoriDeviceControlThread::kControlSyncConnected, 0},  // nothing
        {"Synchronize", "Synchronized", "Client", KavoriDeviceControlThread::kControlNormal, 1},
        {"Synchronize", "Connected", "Client", KavoriDeviceControlThread::kControlSyncConnected, 0},
        {"SyncAbort", nullptr, nullptr, KavoriDeviceControlThread::kControlNormal, 1},
        {"SyncAbort", nullptr, nullptr, KavoriDeviceControlThread::kControlNormal, 1},  // none running
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.command) + " " + (step.status ? step.status : ""));
        fromSync(step.command, [&step](Request& r) {
            if (step.status) r.add("Status", step.status).add("Type", step.type);
        });
        // Answered after the step has been carried out.
        fromSync("StartConfig", [](Request& r) { r.add("UnitId", 5); });
        auto answer = m_sync.take("Re:StartConfig");
        ASSERT_TRUE(answer);
        EXPECT_EQ(5u, answer->data("UnitId").toUInt32());
        EXPECT_EQ(step.controlState, m_device.controlState());
        EXPECT_EQ(step.sceneView, volatileParam("/Scene/Status/EnableSceneView"));
        if (std::string(step.command) == "SyncAbort") {
            EXPECT_TRUE(m_sync.take("Re:SyncAbort"));
        }
    }

    // The end of a synchronisation zeroes the counters the preparation set.
    fromSync("PrepareToSync");
    ASSERT_TRUE(m_sync.take("Re:PrepareToSync"));
    EXPECT_EQ(1000, volatileParam("/Scene/Sync/Scene/remainingNum"));
    fromSync("Synchronize", [](Request& r) { r.add("Status", "Synchronized").add("Type", "Server"); });
    fromSync("StartConfig");
    ASSERT_TRUE(m_sync.take("Re:StartConfig"));
    EXPECT_EQ(0, volatileParam("/Scene/Sync/Scene/remainingNum"));
    EXPECT_EQ(0, volatileParam("/Scene/Sync/Library/remainingNum"));
}
