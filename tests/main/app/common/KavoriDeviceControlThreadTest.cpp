#include "common/KavoriDeviceControlThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "common/KavoriProductInfo.h"
#include "common/KavoriSystemInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_AudioConfigDB.h"

namespace {

using namespace std::chrono_literals;
using KAVORI::KavoriDeviceControlThread;
using TmsTest::waitFor;

std::atomic<uint32_t> g_now{100000};
uint32_t fakeClock() { return g_now.load(); }

// The device-control thread on a clock the test moves, counting the scene edit flags it raises
// and running jobs of the test on its own task (user messages of id 7, which it ignores).
class TestDeviceControl : public KavoriDeviceControlThread {
public:
    TestDeviceControl() : KavoriDeviceControlThread(&fakeClock) {}

    bool run(std::function<void(TestDeviceControl&)> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_jobMutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_jobsDone.load();
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, 7) != 0 || message.sendWithWaiting(*this) != 0) return false;
        return waitFor([&] { return m_jobsDone.load() != before; }, 10s);
    }
    // On the own task: walks the changed parameters now.
    void walk() { (void)onChangePDBParam(); }
    // On the own task: the flag the thread itself raises, past the count above.
    void raiseOwnEditFlag() { KavoriDeviceControlThread::raiseSceneEditFlag(); }
    OPV::OPVBackupFunc& backup(uint32_t kind) { return *backupOfKind(kind); }

    std::atomic<uint32_t> editFlags{0};

protected:
    void raiseSceneEditFlag() override { ++editFlags; }
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        if (message.messageId() != 7) return KavoriDeviceControlThread::onReceiveMessage(message);
        std::function<void(TestDeviceControl&)> job;
        {
            std::lock_guard<std::mutex> lock(m_jobMutex);
            job.swap(m_job);
        }
        if (job) job(*this);
        m_jobsDone.fetch_add(1);
        return 0;
    }

private:
    std::mutex m_jobMutex;
    std::function<void(TestDeviceControl&)> m_job;
    std::atomic<uint32_t> m_jobsDone{0};
};

// A thread of the test under a name the device-control thread answers to; it keeps every user
// message it receives and sends requests on its own task.
class Peer : public TmsTest::Recording<TMS::AbstractThread> {
public:
    Peer() : Recording(5)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            if (message.messageId() == 7) {
                std::function<void(Peer&)> job;
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    job.swap(m_job);
                }
                if (job) job(*this);
                m_jobsDone.fetch_add(1);
                return;
            }
            std::lock_guard<std::mutex> lock(m_mutex);
            m_received.push_back(message);
        };
    }
    bool run(std::function<void(Peer&)> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_jobsDone.load();
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, 7) != 0 || message.sendWithWaiting(*this) != 0) return false;
        return waitFor([&] { return m_jobsDone.load() != before; }, 10s);
    }
    // The first received message of that command name not taken yet, within the limit.
    std::optional<TMS::AbstractMessage> take(const char* commandName, std::chrono::milliseconds limit = 10s)
    {
        std::optional<TMS::AbstractMessage> found;
        (void)waitFor(
            [&] {
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
            },
            limit);
        return found;
    }
    size_t receivedCount()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received.size();
    }
    uint32_t sysParam(const char* name) const
    {
        JVariant value;
        (void)getSysParam(value, name, 0);
        return value.toUInt32();
    }

private:
    std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_received;
    std::function<void(Peer&)> m_job;
    std::atomic<uint32_t> m_jobsDone{0};
};

// A request of the test, built with static keys.
struct Request {
    TMS::AbstractMessage message;
    explicit Request(const char* commandName, uint32_t id = 0)
    {
        EXPECT_EQ(0u, message.initialize(TMS::kMessageUser, id));
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

// The real databases, definition files and backups in a temporary user folder, the device-control
// thread under a root "System" that declares the shared parameters, and the peers "VDProtocol",
// "GUIBridge" and "Sync".
class KavoriDeviceControlThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path system = m_temp.file("system");
        std::filesystem::create_directories(system / "Component");
        // The stand-in component library the build places beside the program.
        std::filesystem::copy_file(std::filesystem::path(UZENGINE_PROGRAM).parent_path() / "Component/StandIn_1.so",
                                   system / "Component/StandIn_1.so");
        std::filesystem::create_directories(system / "Descriptor");
        for (const auto& entry : std::filesystem::directory_iterator(shippedDescriptors())) {
            std::filesystem::copy_file(entry.path(), system / "Descriptor" / entry.path().filename());
        }
        KAVORI::KavoriProductInfo::getInstance().setSystemDataPath(system.string());
        KAVORI::KavoriProductInfo::getInstance().setUserFolder(user());
    }
    void TearDown() override
    {
        if (m_started) (void)m_root.release();
    }

    static std::filesystem::path shippedDescriptors()
    {
        std::filesystem::path root(__FILE__);
        for (int i = 0; i < 5; ++i) root = root.parent_path();
        return root / "main/app/editor/SystemData/Descriptor";
    }
    std::string user() const { return m_temp.file("user"); }
    std::string backupFile(const char* folder, const char* name, const char* suffix = "") const
    {
        return user() + "/" + folder + "/" + name + suffix;
    }

    // Starts the tree and waits for the normal control state.
    void start()
    {
        m_started = true;
        ASSERT_TRUE(TmsTest::setUpThread(m_device, "DeviceControl", 2, 10));
        ASSERT_TRUE(TmsTest::setUpThread(m_vdp, "VDProtocol", 1));
        ASSERT_TRUE(TmsTest::setUpThread(m_gui, "GUIBridge", 1));
        ASSERT_TRUE(TmsTest::setUpThread(m_sync, "Sync", 1));
        m_root.onInit = [this] {
            EXPECT_EQ(0u, m_root.addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            for (TMS::AbstractThread* child : std::initializer_list<TMS::AbstractThread*>{&m_vdp, &m_gui, &m_sync,
                                                                                        &m_device}) {
                EXPECT_EQ(0u, m_root.addThread(*child));
            }
        };
        // With the program's tick: a root still stopping holds its parameter events back until
        // its next wake-up, which the tick brings.
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System", 0, 100));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitFor([&] { return m_device.controlState() == KavoriDeviceControlThread::kControlNormal; }, 20s));
    }
    void send(Request& request) { ASSERT_EQ(0u, request.message.sendWithWaiting(m_device)); }
    // Every shared parameter flushed before this has reached the device-control thread's own table.
    void settle()
    {
        const uint32_t marker = ++m_marker;
        ASSERT_TRUE(m_vdp.run([marker](Peer& self) {
            EXPECT_EQ(0u, self.setSysParam("CurrentFs", 0, JVariant(marker)));
            EXPECT_EQ(0u, self.flushSysParam());
        }));
        ASSERT_TRUE(waitFor([&] { return deviceParam("CurrentFs") == marker; }, 10s));
    }
    // The device-control thread's own view of a shared parameter.
    uint32_t deviceParam(const char* name)
    {
        uint32_t seen = 0xFFFFFFFFu;
        EXPECT_TRUE(m_device.run([&seen, name](TestDeviceControl& self) {
            JVariant value;
            (void)self.getSysParam(value, name, 0);
            seen = value.toUInt32();
        }));
        return seen;
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    TempFolder m_temp;
    TestDeviceControl m_device;
    Peer m_vdp;
    Peer m_gui;
    Peer m_sync;
    TmsTest::Recording<TMS::SystemThread> m_root{1};
    bool m_started = false;
    uint32_t m_marker = 0;
};

const char* const kBackups[][2] = {{"Current", "CurrentBackupFile.bup"},
                                   {"CurrentList", "CurrentListBackupFile.bup"},
                                   {"CurrentUnloadable", "CurrentUnloadableBackupFile.bup"},
                                   {"System", "SystemBackupFile.bup"}};

// A value of the same type that differs from the one stored.
JVariant changed(const PDB::IParameterDB& db, uint32_t ci, uint32_t ai, uint32_t x)
{
    JVariant value;
    EXPECT_TRUE(JLIB::isSuccess(db.getVariant(value, ci, ai, x, 0, nullptr)));
    if (value.getType() == JVariant(0u).getType()) return JVariant(value.toUInt32() + 1);
    if (value.getType() == JVariant(0).getType()) return JVariant(value.toInt32() + 1);
    if (value.getType() == JVariant(0.0f).getType()) return JVariant(value.toFloat() + 1.0f);
    const char* text = value.toString();
    return JVariant((std::string(text ? text : "") + "x").c_str(), 64);
}

TEST_F(KavoriDeviceControlThreadTest, StartUpBuildsTheDatabasesRestoresAndReachesTheNormalState)
{
    start();
    // The other threads learn the values when their own loop takes them in.
    EXPECT_TRUE(waitFor([&] { return m_vdp.sysParam("DRAVOmState") == 3; }, 10s));
    EXPECT_EQ(1u, m_vdp.sysParam("PDBState"));
    EXPECT_EQ(0u, m_vdp.sysParam("DebugState"));

    for (const KAVORI::PDBInfoTable& info : KAVORI::gPDBInfoTable) {
        SCOPED_TRACE(info.name);
        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(info.instanceId);
        EXPECT_TRUE(db.isValid());
        EXPECT_STREQ(info.name, db.name());
    }
    PDB::IParameterDB& device = PDB::gPDBCollection.getPDB(10u);
    ASSERT_EQ(7u, device.componentNum());
    for (uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(KAVORI::gPDBComponentFactoryTable[10 + i].typeName, device.componentName(i));
        EXPECT_EQ(i, device.getComponentIndex(PDB::UniqId(i)));
    }
    EXPECT_STREQ("Status", PDB::gPDBCollection.getPDB(6u).componentName(0));

    // A fresh user folder: every backup written twice, so the file and its old copy exist.
    for (const auto& backup : kBackups) {
        SCOPED_TRACE(backup[1]);
        EXPECT_TRUE(std::filesystem::is_regular_file(backupFile(backup[0], backup[1])));
        EXPECT_TRUE(std::filesystem::is_regular_file(backupFile(backup[0], backup[1], ".old")));
    }
    EXPECT_TRUE(std::filesystem::is_directory(user() + "/Backup"));
    EXPECT_TRUE(TmsTest::hasLogLine(
        m_device, "[i] KavoriDeviceControlThread::onChangeSystemInfo - Started to construct all components.\n"));
    EXPECT_TRUE(TmsTest::hasLogLine(m_device, "[i] \"" + user() + "/Backup\" directory force created\n"));
}

TEST_F(KavoriDeviceControlThreadTest, AMissingDefinitionFileIsNamedAndStartUpGoesOn)
{
    ASSERT_TRUE(std::filesystem::remove(m_temp.file("system/Descriptor/uzPresetList_1.json")));
    start();
    const std::string path = KAVORI::KavoriProductInfo::getInstance().descriptorPath() + "/uzPresetList_1.json";
    EXPECT_TRUE(TmsTest::hasLogLine(m_device, "[E] KavoriDeviceControlThread::onInitialize - Cannot read '" + path +
                                                  "'.\n"));
    EXPECT_EQ(6u, PDB::gPDBCollection.getPDB(10u).componentNum());
}

TEST_F(KavoriDeviceControlThreadTest, ChangesMarkTheirBackupAndTheDeviceDatabaseRaisesTheEditFlag)
{
    start();
    struct Case {
        const char* name;
        uint32_t db;
        uint32_t uniqId;
        const char* address;  // null: the first parameter
        bool currentMarked;
        bool editFlag;
    };
    const Case cases[] = {
        {"PresetInfo", 8, 0, nullptr, false, false},
        {"Status", 6, 0, nullptr, true, false},
        {"Profile", 0, 0, nullptr, true, false},
        {"device, without the no-edit mark", 10, 0, "/OBA/Label/Name", true, true},
        {"device, with the no-edit mark", 10, 2, "/Oscillator/On", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_device.run([](TestDeviceControl& self) {
            self.walk();
            for (uint32_t kind = 1; kind <= 4; ++kind) {
                if (self.backup(kind).isPended()) EXPECT_EQ(0u, self.backup(kind).backup());
            }
            self.editFlags = 0;
        }));
        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(c.db);
        const uint32_t ci = db.getComponentIndex(PDB::UniqId(c.uniqId));
        const uint32_t ai = c.address ? db.getAddressIndex(PDB::UniqId(c.uniqId), c.address) : 0;
        ASSERT_NE(0xFFFFFFFFu, ai);
        ASSERT_EQ(0u, db.setVariant(ci, ai, 0, 0, changed(db, ci, ai, 0), 1));
        bool marked[5] = {};
        ASSERT_TRUE(m_device.run([&marked](TestDeviceControl& self) {
            self.walk();
            for (uint32_t kind = 1; kind <= 4; ++kind) marked[kind] = self.backup(kind).isPended();
        }));
        EXPECT_EQ(c.currentMarked, marked[1]);
        EXPECT_FALSE(marked[2] || marked[3] || marked[4]);
        EXPECT_EQ(c.editFlag ? 1u : 0u, m_device.editFlags.load());
    }
}

TEST_F(KavoriDeviceControlThreadTest, InitSyncNumbersAreCopiedToTheRemainingNumbers)
{
    start();
    PDB::IParameterDB& status = PDB::gPDBCollection.getPDB(6u);
    const struct {
        const char* from;
        const char* to;
        uint32_t value;
    } cases[] = {{"/DirSyncFrom/Snapshot/InitSyncNum", "/Scene/Sync/Scene/remainingNum", 7},
                 {"/DirSyncFrom/ParameterSet/InitSyncNum", "/Scene/Sync/Library/remainingNum", 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        const uint32_t ai = status.getAddressIndex(PDB::UniqId(0), c.from);
        ASSERT_EQ(0u, status.setUInt32(0, ai, 3, 0, c.value, 1));
        ASSERT_TRUE(m_device.run([](TestDeviceControl& self) { self.walk(); }));
        EXPECT_EQ(int32_t(c.value), LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, c.to, 0, 0).toInt32());
    }
}

TEST_F(KavoriDeviceControlThreadTest, TheTimerWritesAMarkedBackupOnceTheIntervalHasPassed)
{
    start();
    const std::string old = backupFile("Current", "CurrentBackupFile.bup", ".old");
    ASSERT_TRUE(m_device.run([&old](TestDeviceControl& self) {
        self.walk();
        EXPECT_EQ(0u, self.backup(1).backup());
        std::filesystem::remove(old);  // a write brings it back
    }));
    PDB::IParameterDB& profile = PDB::gPDBCollection.getPDB(0u);
    ASSERT_EQ(0u, profile.setVariant(0, 0, 0, 0, changed(profile, 0, 0, 0), 1));
    ASSERT_TRUE(waitFor(
        [&] {
            bool pended = false;
            EXPECT_TRUE(m_device.run([&pended](TestDeviceControl& self) { pended = self.backup(1).isPended(); }));
            return pended;
        },
        10s));
    EXPECT_FALSE(std::filesystem::exists(old));  // marked, and the interval has not passed
    g_now += KavoriDeviceControlThread::kBackupIntervalMs;
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(old); }, 10s));
}

TEST_F(KavoriDeviceControlThreadTest, EraseAndApplyMoveTheReadinessOnlyFromTheirStates)
{
    start();
    const std::string construct =
        "[i] KavoriDeviceControlThread::onChangeSystemInfo - Started to construct all components.\n";
    auto command = [&](const char* name) {
        Request request(name);
        send(request);
        settle();
    };
    command("applyConfig");  // in 3: nothing
    EXPECT_EQ(3u, deviceParam("DRAVOmState"));
    command("eraseConfig");  // in 3: erase, then 1
    ASSERT_TRUE(waitFor([&] { return m_vdp.sysParam("DRAVOmState") == 1; }, 10s));
    command("eraseConfig");  // in 1: nothing
    EXPECT_EQ(1u, deviceParam("DRAVOmState"));
    EXPECT_TRUE(TmsTest::hasLogLine(m_device, "[E] KavoriDeviceControlThread::onReceiveMessage - eraseConfig\n"));

    std::filesystem::remove(backupFile("System", "SystemBackupFile.bup", ".old"));
    command("applyConfig");  // in 1: construct again, then 3
    ASSERT_TRUE(waitFor([&] { return m_vdp.sysParam("DRAVOmState") == 3; }, 10s));
    EXPECT_TRUE(std::filesystem::exists(backupFile("System", "SystemBackupFile.bup", ".old")));  // restored anew
    EXPECT_TRUE(TmsTest::hasLogLine(m_device, construct));
    EXPECT_EQ(KavoriDeviceControlThread::kControlNormal, m_device.controlState());
}

TEST_F(KavoriDeviceControlThreadTest, ComponentAndConfigurationRequestsAreAnsweredToTheirThread)
{
    start();
    const std::string defaults = m_temp.file("defaults");
    // A message of another id is no command.
    Request other("changeComponentType", 1);
    send(other);
    Request change("changeComponentType");
    change.add("ComponentName", "uzSetup").add("UniqID", 4).add("Factor", 9);
    send(change);
    auto answer = m_vdp.take("Re:changeComponentType");
    ASSERT_TRUE(answer);
    EXPECT_EQ(0x80000000u, answer->data("Result").toUInt32());
    EXPECT_EQ(9u, answer->data("Factor").toUInt32());
    EXPECT_EQ(4u, answer->data("UniqID").toUInt32());
    EXPECT_STREQ("uzSetup", answer->data("ComponentName").toString());
    EXPECT_FALSE(m_vdp.take("Re:changeComponentType", 0ms));

    Request remove("removeComponent");
    remove.add("UniqID", 77);
    send(remove);
    answer = m_vdp.take("Re:removeComponent");
    ASSERT_TRUE(answer);
    EXPECT_FALSE(answer->data("ComponentName").isValid());
    EXPECT_EQ(0u, answer->data("Factor").toUInt32());
    EXPECT_EQ(0x80000000u, answer->data("Result").toUInt32());  // no such component

    struct Case {
        const char* name;
        const char* type;  // null: key left out
        const char* folder;
        uint32_t uniqId;
        uint32_t result;
    };
    const std::string folder = defaults;
    const Case cases[] = {
        {"another type at that id", "uzSetup", folder.c_str(), 2, 0x80000000u},
        {"no folder", "uzVolatile", nullptr, 2, 0x80000000u},
        {"no type", nullptr, folder.c_str(), 2, 0x80000000u},
        {"no component at that id", "uzVolatile", folder.c_str(), 42, 0x80000000u},
        {"the type at that id", "uzVolatile", folder.c_str(), 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Request store("setComponentDefault");
        store.add("UniqID", c.uniqId).add("Factor", 3);
        if (c.type) store.add("ComponentName", c.type);
        if (c.folder) store.add("ComponentDefaultPath", c.folder);
        send(store);
        answer = m_vdp.take("Re:setComponentDefault");
        ASSERT_TRUE(answer);
        EXPECT_EQ(c.result, answer->data("Result").toUInt32());
        EXPECT_EQ(3u, answer->data("Factor").toUInt32());
        EXPECT_EQ(c.uniqId, answer->data("UniqID").toUInt32());
        EXPECT_STREQ(c.type ? c.type : "", answer->data("ComponentName").toString());
        EXPECT_STREQ(c.folder ? c.folder : "", answer->data("ComponentDefaultPath").toString());
        EXPECT_EQ(c.result == 0, std::filesystem::exists(defaults + "/uzVolatile/UserDefault.dat"));
    }
}

TEST_F(KavoriDeviceControlThreadTest, InitializeAndBackupOnlyCheckTheirTarget)
{
    start();
    const struct {
        const char* command;
        const char* target;
        uint32_t result;
    } cases[] = {{"Initialize", "All", 0},    {"Initialize", "Current", 0},   {"Initialize", "System", 0},
                 {"Initialize", "Bogus", 0x80000000u}, {"Backup", "System", 0}, {"Backup", "Current", 0x80000000u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.target);
        Request request(c.command);
        request.add("Target", c.target).add("Reason", "test");
        send(request);
        auto answer = m_gui.take(c.command == std::string("Initialize") ? "Re:Initialize" : "Re:Backup");
        ASSERT_TRUE(answer);
        EXPECT_EQ(c.result, answer->data("Result").toUInt32());
        EXPECT_STREQ(c.target, answer->data("Target").toString());
    }
    EXPECT_TRUE(TmsTest::hasLogLine(m_device, "[E] KavoriDeviceControlThread::onReceiveMessage - initialize failed!\n"));
    EXPECT_TRUE(TmsTest::hasLogLine(m_device, "[E] KavoriDeviceControlThread::onReceiveMessage - backup failed!\n"));
}

TEST_F(KavoriDeviceControlThreadTest, DatabaseImagesAreSavedAndLoadedAndLoadingAsksSyncToConnect)
{
    start();
    PDB::IParameterDB& status = PDB::gPDBCollection.getPDB(6u);
    const std::string image = m_temp.file("status.img");
    ASSERT_EQ(0u, status.setUInt32(0, 0, 0, 0, 42, 1));

    Request refused("SaveProject");
    refused.add("PDBID", 6).add("FilePath", "");
    send(refused);
    Request save("SaveProject");
    save.add("PDBID", 6).add("FilePath", image.c_str());
    send(save);
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(image); }, 10s));
    EXPECT_TRUE(TmsTest::hasLogLine(
        m_device, "[E] KavoriDeviceControlThread::onReceiveMessage - SaveProject needs a \"FilePath\"!\n"));

    ASSERT_EQ(0u, status.setUInt32(0, 0, 0, 0, 43, 1));
    Request load("LoadProject");
    load.add("PDBID", 6).add("FilePath", image.c_str());
    send(load);
    ASSERT_TRUE(m_sync.take("Connect"));
    EXPECT_EQ(42u, status.getUInt32(0, 0, 0, 0, nullptr));

    // A file that is not there still asks "Sync" to connect, and changes nothing.
    Request missing("LoadProject");
    missing.add("PDBID", 6).add("FilePath", m_temp.file("none.img").c_str());
    send(missing);
    ASSERT_TRUE(m_sync.take("Connect"));
    EXPECT_EQ(42u, status.getUInt32(0, 0, 0, 0, nullptr));
}

TEST_F(KavoriDeviceControlThreadTest, ShutDownWritesEveryBackupAndTakesTheDatabasesAway)
{
    start();
    for (const auto& backup : kBackups) std::filesystem::remove(backupFile(backup[0], backup[1], ".old"));
    m_started = false;
    ASSERT_EQ(0u, m_root.release());
    for (const auto& backup : kBackups) {
        SCOPED_TRACE(backup[1]);
        EXPECT_TRUE(std::filesystem::exists(backupFile(backup[0], backup[1], ".old")));
    }
    for (uint32_t id = 0; id < KAVORI::kPDBInfoNum; ++id) {
        EXPECT_EQ(&PDB::ParameterDBNULL::getNullObject(), &PDB::gPDBCollection.getPDB(id)) << id;  // unregistered
    }
}

TEST_F(KavoriDeviceControlThreadTest, CarriedOperationsCheckTheCompileResultAndResetDataFolders)
{
    start();
    const std::string config = user() + "/Config";
    std::filesystem::create_directories(config);
    auto result = [](const char* dsp) {
        return std::string("{\"compileResult\": {\"dspSystem\": {") + dsp + "}, \"components\": [{\"uniqID\": 5}]}}";
    };
    const struct {
        const char* name;
        const char* text;  // null: no file
        uint32_t code;
    } cases[] = {
        {"no file", nullptr, 0x80000000u},
        {"no result", "\"name\": \"OPV64-D\", \"numSamplePerFrame\": 64", 0x80000000u},
        {"failed compile", "\"result\": 1, \"name\": \"OPV64-D\", \"numSamplePerFrame\": 64", 0x80000000u},
        {"unknown DSP", "\"result\": 0, \"name\": \"OPV32-D\", \"numSamplePerFrame\": 64", 0x80000000u},
        {"odd frame", "\"result\": 0, \"name\": \"OPV128-D\", \"numSamplePerFrame\": 60", 0x80000000u},
        {"good", "\"result\": 0, \"name\": \"OPV256-D\", \"numSamplePerFrame\": 64", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(config + "/CompileResult.json");
        if (c.text) std::ofstream(config + "/CompileResult.json") << result(c.text);
        uint32_t code = 1;
        ASSERT_TRUE(m_device.run([&code](TestDeviceControl& self) { code = self.constructAudioConfigDB(); }));
        EXPECT_EQ(c.code, code);
    }
    DRAVO::AudioConfig stored;
    ASSERT_EQ(0u, DRAVO::AudioConfigDB::singleton().getAudioConfig(stored));
    EXPECT_EQ("OPV256-D", stored.dspSystem.name);
    ASSERT_EQ(1u, stored.components.size());
    EXPECT_EQ(5u, stored.components[0].uniqID);

    // The user side of "/Snapshot" emptied and filled from the factory side.
    const std::string factory = m_temp.file("system/FactoryPreset/Snapshot");
    std::filesystem::create_directories(factory + "/sub");
    std::ofstream(factory + "/a.vexas") << "a";
    std::ofstream(factory + "/sub/b.vexas") << "b";
    std::filesystem::create_directories(user() + "/Snapshot/stale");
    std::ofstream(user() + "/Snapshot/stale/old.vexas") << "old";
    std::ofstream(user() + "/Snapshot/old.vexas") << "old";
    uint32_t code = 1;
    ASSERT_TRUE(m_device.run([&code](TestDeviceControl& self) { code = self.initializeDataDir(6, nullptr); }));
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(std::filesystem::exists(user() + "/Snapshot/old.vexas"));
    EXPECT_FALSE(std::filesystem::exists(user() + "/Snapshot/stale"));
    EXPECT_TRUE(std::filesystem::is_regular_file(user() + "/Snapshot/a.vexas"));
    EXPECT_TRUE(std::filesystem::is_regular_file(user() + "/Snapshot/sub/b.vexas"));

    ASSERT_TRUE(m_device.run([&code](TestDeviceControl& self) {
        code = self.sendMemoryEvent(9);
        EXPECT_EQ(0u, self.sendMemoryEvent(4));
        EXPECT_FALSE(self.isOnlineClient());
    }));
    EXPECT_EQ(0x80000000u, code);
    EXPECT_TRUE(waitFor([&] { return m_sync.count("event:4") == 1; }, 10s));  // the other threads are told
}

TEST_F(KavoriDeviceControlThreadTest, AudioComponentsAndConnectionsAreMadeOnRequestAndAnswered)
{
    start();
    const std::string defaults = m_temp.file("defaults");
    struct Add {
        const char* name;
        uint32_t uniqId;
        bool withDefaults;
        uint32_t result;
    };
    const Add adds[] = {
        {"a new component", 100, false, 0},
        {"the same id again, with a defaults folder", 100, true, 0x80000000u},  // the add's failure is answered
        {"a defaults folder without a file", 101, true, 0},
        {"a type without a library", 102, false, 0x80000000u},
    };
    for (const Add& a : adds) {
        SCOPED_TRACE(a.name);
        Request add("addComponent");
        add.add("ComponentName", a.uniqId == 102 ? "NoSuchType" : "StandIn")
            .add("MajorVersion", 1)
            .add("UniqID", a.uniqId)
            .add("NumX", 2)
            .add("NumY", 1)
            .add("Factor", 5);
        if (a.withDefaults) add.add("ComponentDefaultPath", defaults.c_str());
        send(add);
        auto answer = m_vdp.take("Re:addComponent");
        ASSERT_TRUE(answer);
        EXPECT_EQ(a.result, answer->data("Result").toUInt32());
        EXPECT_EQ(a.uniqId, answer->data("UniqID").toUInt32());
        EXPECT_EQ(1u, answer->data("MajorVersion").toUInt32());
        EXPECT_EQ(2u, answer->data("NumX").toUInt32());
        EXPECT_EQ(5u, answer->data("Factor").toUInt32());
    }

    const struct {
        const char* command;
        uint32_t fromPort;
        uint32_t toPort;
        uint32_t result;
    } connections[] = {
        {"addConnection", 0, 1, 0},
        {"addConnection", 5, 0, 0x80000000u},  // the stand-in has as many ports as its x size
        {"removeConnection", 0, 1, 0},
    };
    for (const auto& c : connections) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(c.fromPort));
        Request request(c.command);
        request.add("fromUniqId", 100).add("fromPortNo", c.fromPort).add("toUniqId", 101).add("toPortNo", c.toPort);
        send(request);
        auto answer = m_vdp.take((std::string("Re:") + c.command).c_str());
        ASSERT_TRUE(answer);
        EXPECT_EQ(c.result, answer->data("Result").toUInt32());
        EXPECT_EQ(c.fromPort, answer->data("fromPortNo").toUInt32());
        EXPECT_EQ(101u, answer->data("toUniqId").toUInt32());
    }

    // Stored defaults of one component are recalled onto the next one added with them.
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(10u);
    const uint32_t ci = db.getComponentIndex(PDB::UniqId(100));
    ASSERT_NE(0xFFFFFFFFu, ci);
    ASSERT_LT(0u, db.addressNum(ci));
    const JVariant original = [&] {
        JVariant value;
        EXPECT_TRUE(JLIB::isSuccess(db.getVariant(value, ci, 0, 0, 0, nullptr)));
        return value;
    }();
    ASSERT_TRUE(JLIB::isSuccess(db.setVariant(ci, 0, 0, 0, changed(db, ci, 0, 0), 1)));
    JVariant stored;
    ASSERT_TRUE(JLIB::isSuccess(db.getVariant(stored, ci, 0, 0, 0, nullptr)));
    ASSERT_FALSE(stored == original);  // a value the new component does not have by default
    Request store("setComponentDefault");
    store.add("ComponentName", "StandIn").add("UniqID", 100).add("ComponentDefaultPath", defaults.c_str());
    send(store);
    auto answer = m_vdp.take("Re:setComponentDefault");
    ASSERT_TRUE(answer);
    EXPECT_EQ(0u, answer->data("Result").toUInt32());
    Request add("addComponent");
    add.add("ComponentName", "StandIn").add("MajorVersion", 1).add("UniqID", 103).add("NumX", 2).add("NumY", 1);
    add.add("ComponentDefaultPath", defaults.c_str());
    send(add);
    answer = m_vdp.take("Re:addComponent");
    ASSERT_TRUE(answer);
    EXPECT_EQ(0u, answer->data("Result").toUInt32());
    JVariant recalled;
    ASSERT_TRUE(JLIB::isSuccess(db.getVariant(recalled, db.getComponentIndex(PDB::UniqId(103)), 0, 0, 0, nullptr)));
    EXPECT_TRUE(recalled == stored);

    Request remove("removeComponent");
    remove.add("UniqID", 101).add("ComponentName", "StandIn");
    send(remove);
    answer = m_vdp.take("Re:removeComponent");
    ASSERT_TRUE(answer);
    EXPECT_EQ(0u, answer->data("Result").toUInt32());
    EXPECT_STREQ("StandIn", answer->data("ComponentName").toString());

    // "eraseConfig" removes every component before the state goes back to 1.
    Request erase("eraseConfig");
    send(erase);
    ASSERT_TRUE(waitFor([&] { return m_vdp.sysParam("DRAVOmState") == 1; }, 10s));
    EXPECT_TRUE(waitFor(
        [&] {
            bool gone = false;
            EXPECT_TRUE(m_device.run([&gone](TestDeviceControl&) {
                DRAVO::AudioComponentCollection* components = DRAVO::AudioComponentCollection::singleton();
                EXPECT_EQ(0u, components->updateByThread());
                gone = components->component(100) == nullptr && components->component(103) == nullptr;
            }));
            return gone;
        },
        10s));
}

TEST_F(KavoriDeviceControlThreadTest, TheConstructStepSetsUpTheSceneListAndTheEditFlagIsWritten)
{
    // Undo files of an earlier run: the scene list set up on "<user>/Backup" drops them.
    std::filesystem::create_directories(user() + "/Backup");
    for (const char* name : {"storeUndo", "removeUndo", "copyUndo"}) std::ofstream(user() + "/Backup/" + name) << "old";
    start();
    EXPECT_TRUE(std::filesystem::is_directory(user() + "/Snapshot"));
    for (const char* name : {"storeUndo", "removeUndo", "copyUndo"}) {
        EXPECT_FALSE(std::filesystem::exists(user() + "/Backup/" + name)) << name;
    }
    EXPECT_EQ(0, LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Status/CanRecall", 0, 0).toInt32());
    // A refresh refreshes the scene list, whose can-do flags then see a listed scene.
    ASSERT_EQ(0u, LPC::pdb_setParamT<const char*>(LPC::CATEGORY_PDBTYPE_UZSCENELIST, "/SceneList/Bank/Info/SceneNumber",
                                                  3, 0, "1"));
    ASSERT_TRUE(m_device.run([](TestDeviceControl& self) { (void)self.refresh(false); }));
    EXPECT_EQ(1, LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Status/CanRecall", 0, 0).toInt32());

    ASSERT_TRUE(m_device.run([](TestDeviceControl& self) { self.raiseOwnEditFlag(); }));
    EXPECT_EQ(1u, LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZSETUP, "/Scene/Current/EditFlag", 0, 0).toUInt32());
}

TEST_F(KavoriDeviceControlThreadTest, TheLinkTableIsInstalledAtStartUpAndFollowsEveryRefresh)
{
    start();
    // A linked write reaches its handler: the master fader's mirror follows.
    ASSERT_EQ(0u, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZSETUP, "/OBA/MasterFader/Level", 0, 0, JVariant(-1000), 7));
    EXPECT_EQ(-1000,
              LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/OBA/MasterFader/Level_Internal", 0, 0).toInt32());
    // A switch changed past the engine, as a restored backup leaves it, is followed by the next refresh.
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(10u);
    const uint32_t send = db.getAddressIndex(PDB::UniqId(1), "/Oscillator/SendAssign/ToSpeaker");
    ASSERT_FALSE(JLIB::isFailure(db.setVariant(1, send, 12, 0, JVariant(1), 255)));
    const char* const mirror = "/Oscillator/SendAssign/ToSpeaker_Internal";
    EXPECT_EQ(-1, LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, mirror, 12, 0).toInt32());
    ASSERT_TRUE(m_device.run([](TestDeviceControl& self) { (void)self.refresh(false); }));
    EXPECT_EQ(12, LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, mirror, 12, 0).toInt32());
}

}  // namespace
