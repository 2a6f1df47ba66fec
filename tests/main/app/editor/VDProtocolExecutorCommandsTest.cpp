// The executor's device, component, connection, compile and parameter-set commands against
// databases of the test and recording threads in the places of "DeviceControl" and "Compiler".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "FileCache/TempFolder.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "editor/KavoriClientSystemThread.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"
#include "main/app/editor/StandInThread.h"
#include "main/app/editor/CapturingExecutor.h"

using namespace std::chrono_literals;
using VDevice::VDProtocolExecutor;
using VDProtocol::ArgumentMap;
using EngineTest::CapturingExecutor;
using VDProtocol::PacketContainer;

namespace {

constexpr uint32_t kProfile = 0;
constexpr uint32_t kDeviceSetup = 1;
constexpr uint32_t kTestDb = 3;
constexpr uint32_t kVDeviceSetup = 4;
constexpr uint32_t kCommonSetup = 5;
constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kNoReply = 0xDEADDEADu;  // a failure code no reply carries

// A thread that keeps every user message it receives.
class Recorder : public TmsTest::RecordingThread {
public:
    Recorder() : Recording(1)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_messages.push_back(message);
        };
    }
    // Released before the records go: the thread may still be taking a message.
    ~Recorder() override
    {
        if (getTaskId() != TMS::AbstractThread::kNoId) (void)release();
    }
    std::vector<TMS::AbstractMessage> messages() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    size_t size() const { return messages().size(); }
    // The n-th message once it has arrived; an empty one when it does not.
    TMS::AbstractMessage waitFor(size_t n)
    {
        if (!TmsTest::waitFor([&] { return size() > n; }, 10s)) return TMS::AbstractMessage();
        return messages()[n];
    }

private:
    mutable std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_messages;
};

std::string textOf(const TMS::AbstractMessage& message, const char* key)
{
    const char* text = message.data(key).toString();
    return text ? text : "<none>";
}

// A component 0 with unsigned and text parameters, the shapes of the device databases.
PDB::ComponentInfo component(const char* type, const std::vector<const char*>& numbers,
                             const std::vector<const char*>& texts)
{
    PDB::ComponentInfo info;
    const PDB::ParamAttr attr;
    EXPECT_EQ(0u, info.initialize(type, 1, 1, 1, 1, 1, "", "", nullptr));
    for (const char* path : numbers) {
        EXPECT_EQ(0u, info.addAddressUINT32(path, 1, 1, "", "", 0, 0xFFFFFFFFu, 0, 0, 1, 1, attr, "", "", ""));
    }
    for (const char* path : texts) EXPECT_EQ(0u, info.addAddressSTRING(path, 1, 1, "", "", 32, "", attr, "", "", ""));
    return info;
}

class VDProtocolExecutorCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        addDb(kProfile, "Profile",
              component("Profile", {"/Specification/SyncVersion", "/OPV/Capacity"},
                        {"/Specification/ProductVariationName", "/Specification/FirmwareVersion",
                         "/Specification/SerialNumber"}));
        addDb(kDeviceSetup, "DeviceSetup",
              component("DeviceSetup",
                        {"/Setup/UnitID", "/Network/OPVControlPort/IPSetting",
                         "/Network/OPVControlPort/StaticIPAddress",
                         "/Network/OPVControlPort/SubnetMask", "/Network/OPVControlPort/Gateway",
                         "/Network/OPVControlPort/CurrentIPAddress", "/Network/OPVControlPort/CurrentSubnetMask",
                         "/Network/OPVControlPort/CurrentGateway"},
                        {"/Setup/DeviceName"}));
        addDb(kVDeviceSetup, "VDeviceSetup",
              component("VDeviceSetup", {"/Setup/UnitID", "/Specification/SyncVersion", "/OPV/Capacity"},
                        {"/Setup/DeviceName", "/Specification/ProductVariationName", "/Setup/AdminPin"}));
        addDb(kCommonSetup, "CommonSetup", component("CommonSetup", {"/Config/ExpectedFs", "/Meter/PeakHold/On"}, {}));
        addDb(kTestDb, "Test", component("Widget", {"/A"}, {}), 5);
        ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(kTestDb).addComponent(PDB::UniqId(6), component("..", {"/A"}, {})));
    }
    void TearDown() override
    {
        for (uint32_t id : m_dbs) (void)PDB::destroyPDB(id);
    }
    // A database taken away in the middle of a test.
    void dropDb(uint32_t id)
    {
        ASSERT_EQ(0u, PDB::destroyPDB(id));
        std::erase(m_dbs, id);
    }
    void addDb(uint32_t id, const char* name, const PDB::ComponentInfo& info, uint32_t uid = 0)
    {
        ASSERT_EQ(0u, PDB::createPDB(id, name, &PDB::NullMutex::getNullObject(), 0));
        m_dbs.push_back(id);
        ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(id).addComponent(PDB::UniqId(uid), info));
    }
    // Recording threads named like the executor's targets.
    void startTargets()
    {
        ASSERT_TRUE(TmsTest::setUpThread(m_deviceControl, "DeviceControl"));
        ASSERT_TRUE(TmsTest::setUpThread(m_compiler, "Compiler"));
    }

    static PacketContainer request(const char* cmd, const char* reqid = "r1")
    {
        PacketContainer packet;
        EXPECT_EQ(0u, packet.initialize("request", cmd, "ed", "dev01", reqid));
        return packet;
    }
    static ArgumentMap texts(const std::vector<std::pair<const char*, std::string>>& pairs)
    {
        ArgumentMap map;
        for (const auto& [key, value] : pairs) (void)map.insertString(key, value);
        return map;
    }
    // The request carried out: the one reply's result, or kNoReply when not exactly one packet left.
    uint32_t run(const PacketContainer& packet)
    {
        m_executor.sent.clear();
        (void)m_executor.received(packet);
        if (m_executor.sent.size() != 1) return kNoReply;
        return m_executor.sent.back().resultCode();
    }
    JVariant value(const char* key)
    {
        JVariant v;
        EXPECT_TRUE(JLIB::isSuccess(m_executor.getParameterValue(v, key))) << key;
        return v;
    }
    std::string text(const char* key)
    {
        const JVariant v = value(key);
        const char* chars = v.toString();
        return chars ? chars : "<none>";
    }
    uint32_t setupWith(const ArgumentMap& info)
    {
        PacketContainer packet = request("set_setup");
        (void)packet.setCmndInfo(info);
        return run(packet);
    }

    TMS::TMSystem m_system;
    std::vector<uint32_t> m_dbs;
    Recorder m_deviceControl;
    Recorder m_compiler;
    CapturingExecutor m_executor;
};

}  // namespace

// ---- device information and settings

TEST_F(VDProtocolExecutorCommandsTest, TableAnswersKeysOutsideItWithTheEmptyEntryAndFails)
{
    EXPECT_STREQ("", VDProtocolExecutor::prmAddrInfo("NoSuchKey").key);
    EXPECT_STREQ("", VDProtocolExecutor::prmAddrInfo("").dbName);
    EXPECT_STREQ("/OPV/Capacity", VDProtocolExecutor::prmAddrInfo("VDeviceCapacity").path);
    JVariant v;
    EXPECT_EQ(kFailed, m_executor.getParameterValue(v, "NoSuchKey"));
    EXPECT_EQ(kFailed, m_executor.setParameterValue("NoSuchKey", JVariant(1u)));
    EXPECT_EQ(kFailed, m_executor.setParameterValue("", JVariant(1u)));
    // Every key of the table resolves here but the battery, whose database this test lacks.
    for (size_t i = 1; i < VDevice::PRM_ADDR_INFO_NUM; ++i) {
        const VDevice::PRM_ADDR_INFO& entry = VDevice::PRM_ADDR_INFO_TABLE[i];
        SCOPED_TRACE(entry.key);
        EXPECT_EQ(&entry, &VDProtocolExecutor::prmAddrInfo(entry.key));
        const bool present = std::string(entry.dbName) != "Status" && std::string(entry.dbName) != "StaticSetup";
        EXPECT_EQ(present, JLIB::isSuccess(m_executor.getParameterValue(v, entry.key)));
    }
}

TEST_F(VDProtocolExecutorCommandsTest, CapacityComparisonIsUnsigned)
{
    struct Case {
        uint32_t real;
        uint32_t virtualCapacity;
        uint32_t result;
    };
    const Case cases[] = {{64, 128, 0x80000001u}, {128, 64, 0x80000002u}, {7, 7, 0}, {0x80000000u, 1, 0x80000002u}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, VDProtocolExecutor::compareCapacity(c.real, c.virtualCapacity)) << c.real;
    }
}

TEST_F(VDProtocolExecutorCommandsTest, SetupAppliesItsKeysInOrderAndStopsAtTheFirstFailingWrite)
{
    ArgumentMap info = texts({{"localLabel", "Stage"}, {"path", "/projects/show"}});
    (void)info.insert("deviceID", 7u);
    (void)info.insert("capacity", 128u);
    (void)info.insert("fs", 48000u);
    EXPECT_EQ(0u, setupWith(info));
    EXPECT_EQ("Stage", text("VirtualDeviceLabel"));
    EXPECT_EQ(7u, value("VirtualUnitID").toUInt32());
    EXPECT_EQ(128u, value("VDeviceCapacity").toUInt32());
    EXPECT_EQ(48000u, value("FS").toUInt32());
    EXPECT_EQ("/projects/show", m_executor.projectPath());
    EXPECT_EQ("", text("VirtualCapacity"));  // "capacity" of "setup" is the number, not the name

    // Only a path: only the project path changes.
    EXPECT_EQ(0u, setupWith(texts({{"path", "/projects/other"}})));
    EXPECT_EQ("/projects/other", m_executor.projectPath());
    EXPECT_EQ("Stage", text("VirtualDeviceLabel"));

    // "fs" cannot be written: what comes before it is applied, the reply carries the failure.
    dropDb(kCommonSetup);
    ArgumentMap failing = texts({{"localLabel", "Late"}, {"path", "/projects/third"}});
    (void)failing.insert("fs", 44100u);
    EXPECT_EQ(kFailed, setupWith(failing));
    EXPECT_EQ("Late", text("VirtualDeviceLabel"));
    EXPECT_EQ("/projects/third", m_executor.projectPath());

    // The label cannot be written: nothing after it is applied.
    dropDb(kVDeviceSetup);
    EXPECT_EQ(kFailed, setupWith(texts({{"localLabel", "X"}, {"path", "/projects/never"}})));
    EXPECT_EQ("/projects/third", m_executor.projectPath());
}

TEST_F(VDProtocolExecutorCommandsTest, SingleSettingsWriteTheirEntryOrFailWithoutTheirKey)
{
    struct Case {
        const char* cmd;
        const char* key;
        JVariant given;
        const char* entry;
        JVariant stored;
    };
    const Case cases[] = {
        {"set_dev_label", "localLabel", JVariant("Hall", 32), "VirtualDeviceLabel", JVariant("Hall", 32)},
        {"set_virtual_dev_id", "deviceID", JVariant(9u), "VirtualUnitID", JVariant(9u)},
        {"set_virtual_dev_id", "deviceID", JVariant("12", 32), "VirtualUnitID", JVariant(0u)},  // a text gives 0
        {"set_dev_capacity", "capacity", JVariant("Large", 32), "VirtualCapacity", JVariant("Large", 32)},
        {"set_dev_fs", "fs", JVariant(96000u), "FS", JVariant(96000u)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cmd) + " " + c.entry);
        const bool isText = c.stored.getType() == JVariant::kTypeString;
        const JVariant poison = isText ? JVariant("poison", 32) : JVariant(5u);
        ASSERT_TRUE(JLIB::isSuccess(m_executor.setParameterValue(c.entry, poison)));
        PacketContainer packet = request(c.cmd);
        ArgumentMap info;
        (void)info.insertJVariant(c.key, c.given);
        (void)packet.setCmndInfo(info);
        EXPECT_TRUE(JLIB::isSuccess(run(packet)));
        EXPECT_TRUE(c.stored == value(c.entry));
        EXPECT_EQ(kFailed, run(request(c.cmd)));  // no key: nothing written
        EXPECT_TRUE(c.stored == value(c.entry));
    }
    // "dev_capacity" names the variation, leaving the number alone.
    EXPECT_EQ(0u, value("VDeviceCapacity").toUInt32());
}

TEST_F(VDProtocolExecutorCommandsTest, ActiveAnswersTheCapacityReadAndWritesNothing)
{
    ASSERT_TRUE(JLIB::isSuccess(m_executor.setParameterValue("VDeviceCapacity", JVariant(128u))));
    EXPECT_TRUE(JLIB::isSuccess(run(request("set_active"))));
    EXPECT_EQ(128u, value("VDeviceCapacity").toUInt32());
    dropDb(kProfile);
    EXPECT_EQ(kFailed, run(request("set_active")));
    EXPECT_EQ(128u, value("VDeviceCapacity").toUInt32());
}

TEST_F(VDProtocolExecutorCommandsTest, DeviceInfoHoldsTheIdentityOrTheCodeOfAFailedRead)
{
    ASSERT_TRUE(JLIB::isSuccess(m_executor.setParameterValue("VirtualDeviceLabel", JVariant("Stage", 32))));
    ASSERT_TRUE(JLIB::isSuccess(m_executor.setParameterValue("VirtualUnitID", JVariant(3u))));
    EXPECT_EQ(0u, run(request("get_dev_info")));
    const ArgumentMap& info = m_executor.sent.back().cmndInfo();
    // No "Sync" thread: not linked, so only the engine's own identity.
    EXPECT_EQ((std::vector<std::string>{"category", "deviceGUID", "deviceID", "localLabel", "modelName",
                                        "projectVersion", "series"}),
              info.keys());
    EXPECT_STREQ("1.00", info.toString("projectVersion"));
    EXPECT_STREQ("dev01", info.toString("deviceGUID"));
    EXPECT_STREQ("OPV", info.toString("series"));
    EXPECT_STREQ("processor", info.toString("category"));
    EXPECT_STREQ("Stage", info.toString("localLabel"));
    EXPECT_EQ(JVariant::kTypeUInt32, info.getType("deviceID"));
    EXPECT_EQ(3u, info.toUInt32("deviceID"));

    dropDb(kDeviceSetup);
    EXPECT_EQ(kFailed, run(request("get_dev_info")));
    EXPECT_EQ(0u, m_executor.sent.back().cmndInfoNum());
}

// A root whose children are all stand-ins, so the "Sync" place can report the editor state.
class StandInRoot : public KAVORI::KavoriClientSystemThread {
public:
    using KavoriClientSystemThread::placeChild;
};

TEST_F(VDProtocolExecutorCommandsTest, DeviceInfoOfALinkedDeviceAddsTheRealDeviceAndTheComparisons)
{
    TempFolder folder;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());  // the root reads its settings here
    EngineTest::Journal journal;
    std::vector<std::unique_ptr<EngineTest::StandIn>> children;
    auto root = std::make_unique<StandInRoot>();
    for (const char* name : {"DebugConsole", "DeviceControl", "Sync", "VDProtocol", "Compiler", "MURRemote",
                             "OSCServer", "DeviceControlForUZ"}) {
        children.push_back(std::make_unique<EngineTest::StandIn>(journal));
        ASSERT_EQ(0u, root->placeChild(name, *children.back()));
    }
    EngineTest::StandIn& sync = *children[2];
    ASSERT_EQ(0u, root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
    ASSERT_EQ(0u, root->start(TMS::getNullDataMap()));
    ASSERT_TRUE(TmsTest::waitFor([&] { return root->getPhase() == TMS::SystemThread::kPhaseAllStarted; }, 10s));

    const std::pair<const char*, JVariant> values[] = {
        {"RealDeviceLabel", JVariant("Console", 32)}, {"FirmwareVersion", JVariant("2.10", 32)},
        {"SerialNo", JVariant("SN42", 32)},           {"IPMode", JVariant(1u)},
        {"StaticIPAddress", JVariant(0xC0A80001u)},   {"StaticSubnetMask", JVariant(0xFFFFFF00u)},
        {"CurrentGateway", JVariant(0x0A000001u)},    {"RealSyncVersion", JVariant(3u)},
        {"VirtualSyncVersion", JVariant(4u)},         {"OPVCapacity", JVariant(64u)},
        {"VDeviceCapacity", JVariant(128u)},
    };
    for (const auto& [key, v] : values) ASSERT_TRUE(JLIB::isSuccess(m_executor.setParameterValue(key, v))) << key;

    // Every child holds the newest state once its round is done: no older round can follow.
    const auto publish = [&](uint32_t state) {
        ASSERT_TRUE(sync.publish("EditorState", state));
        ASSERT_TRUE(TmsTest::waitFor(
            [&] {
                for (const auto& child : children) {
                    if (child->sysParam("EditorState") != state) return false;
                }
                return true;
            },
            10s));
    };
    publish(10);
    ASSERT_TRUE(m_executor.isOnline());
    EXPECT_EQ(0u, run(request("get_dev_info")));
    const ArgumentMap info = m_executor.sent.back().cmndInfo();
    EXPECT_EQ(21u, info.size());
    EXPECT_STREQ("Console", info.toString("label"));
    EXPECT_STREQ("2.10", info.toString("version"));
    EXPECT_STREQ("SN42", info.toString("serialNo"));
    EXPECT_EQ(1u, info.toUInt32("ipMode"));
    EXPECT_STREQ("192.168.0.1", info.toString("staticIP"));
    EXPECT_STREQ("255.255.255.0", info.toString("staticNetmask"));
    EXPECT_STREQ("0.0.0.0", info.toString("staticGateway"));
    EXPECT_STREQ("10.0.0.1", info.toString("currentGateway"));
    EXPECT_STREQ("3", info.toString("syncVersion"));
    EXPECT_STREQ("4", info.toString("localSyncVersion"));
    EXPECT_EQ(0x80000001u, info.toUInt32("syncStatus"));
    EXPECT_EQ(0x80000001u, info.toUInt32("capacityStatus"));  // 64 real against 128 virtual

    publish(4);  // offline: still linked
    EXPECT_EQ(0u, run(request("get_dev_info")));
    EXPECT_EQ(21u, m_executor.sent.back().cmndInfoNum());
    publish(7);  // unknown: not linked
    EXPECT_EQ(0u, run(request("get_dev_info")));
    EXPECT_EQ(7u, m_executor.sent.back().cmndInfoNum());

    (void)root->release();
    root.reset();
    std::filesystem::current_path(previous);
}

TEST_F(VDProtocolExecutorCommandsTest, AcknowledgedAndParameterSetRequestsAnswerOkAndKeepTheirInformation)
{
    for (const char* cmd : {"set_save", "set_load", "set_security_check", "del_modified", "add_prmset",
                            "add_prmset_duplicate", "add_prmset_assign", "del_prmset", "del_prmset_assign",
                            "set_prmset"}) {
        SCOPED_TRACE(cmd);
        PacketContainer packet = request(cmd);
        (void)packet.setCmndInfo(texts({{"label", "kept"}}));
        EXPECT_EQ(0u, run(packet));
        EXPECT_STREQ("kept", m_executor.sent.back().cmndInfo().toString("label"));
        EXPECT_EQ(100u, m_executor.sent.back().progress());
    }
    EXPECT_EQ(0u, run(request("getData_prmset")));
    const PacketContainer sets = m_executor.sent.back();
    ASSERT_EQ(3u, sets.cmndListNum());
    const char* const guids[] = {"{GUID}", "{GUID2}", "{GUID3}"};
    const char* const labels[] = {"Param. Set", "Param. Set(2)", "Param. Set(3)"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_STREQ(guids[i], sets.cmndListItem(i).toString("prmSetGUID"));
        EXPECT_EQ(JVariant::kTypeInt32, sets.cmndListItem(i).getType("prmSetID"));
        EXPECT_EQ(int(i + 1), sets.cmndListItem(i).toInt32("prmSetID"));
        EXPECT_STREQ(labels[i], sets.cmndListItem(i).toString("label"));
        EXPECT_EQ(0, sets.cmndListItem(i).toInt32("protect"));
    }
    EXPECT_EQ(0u, run(request("getData_prmset_assign")));
    ASSERT_EQ(1u, m_executor.sent.back().cmndListNum());
    EXPECT_STREQ("parameter", m_executor.sent.back().cmndListItem(0).toString("type"));
    EXPECT_STREQ("AudioCompo/#30000/Lebel:0:0", m_executor.sent.back().cmndListItem(0).toString("prmAddr"));
}

// ---- components and connections

TEST_F(VDProtocolExecutorCommandsTest, ComponentNamesDecodeOrFail)
{
    struct Case {
        const char* text;
        uint32_t result;
        const char* type;
        uint32_t version, x, y;
    };
    const Case cases[] = {
        {"Mixer:1:8x2", 0, "Mixer", 1, 8, 2},
        {"Mixer::1::8x2", 0, "Mixer", 1, 8, 2},  // empty pieces dropped
        {"Mixer:0x10:8xx2:extra", 0, "Mixer", 16, 8, 2},
        {"Mixer:1:8", kFailed, "", 0, 0, 0},
        {"Mixer:1", kFailed, "", 0, 0, 0},
        {"Mixer:one:8x2", kFailed, "", 0, 0, 0},
        {"Mixer:1:8x-2", kFailed, "", 0, 0, 0},
        {"..:1:8x2", kFailed, "", 0, 0, 0},
        {".:1:8x2", kFailed, "", 0, 0, 0},
        {"a/b:1:8x2", kFailed, "", 0, 0, 0},
        {"a\\b:1:8x2", kFailed, "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string type = "poison";
        uint32_t version = 99, x = 99, y = 99;
        EXPECT_EQ(c.result, VDProtocolExecutor::decodeComponentName(type, version, x, y, c.text));
        if (c.result == 0) {
            EXPECT_EQ(c.type, type);
            EXPECT_EQ(c.version, version);
            EXPECT_EQ(c.x, x);
            EXPECT_EQ(c.y, y);
        } else {
            EXPECT_EQ("poison", type);
        }
    }
}

TEST_F(VDProtocolExecutorCommandsTest, ComponentAddWaitsForEveryAnswerThenNotifiesTheResource)
{
    startTargets();
    EXPECT_EQ(0u, setupWith(texts({{"path", "/projects/show"}})));
    ASSERT_TRUE(JLIB::isSuccess(m_executor.setParameterValue("VDeviceCapacity", JVariant(128u))));
    PacketContainer add = request("add_cpt_info");
    (void)add.addCmndListItem(texts({{"prmAddr", "AudioCompo/#1"}, {"cptName", "StandIn:1:8x2"}}));
    (void)add.addCmndListItem(texts({{"prmAddr", "AudioCompo/#2"}, {"cptName", "StandIn:1:1x1"}}));
    m_executor.sent.clear();
    (void)m_executor.received(add);
    const TMS::AbstractMessage first = m_deviceControl.waitFor(0);
    EXPECT_EQ("addComponent", textOf(first, "CommandName"));
    EXPECT_EQ(1u, first.data("UniqID").toUInt32());
    EXPECT_EQ("StandIn", textOf(first, "ComponentName"));
    EXPECT_EQ(1u, first.data("MajorVersion").toUInt32());
    EXPECT_EQ(8u, first.data("NumX").toUInt32());
    EXPECT_EQ(2u, first.data("NumY").toUInt32());
    EXPECT_EQ("/projects/show/component/StandIn/UserDefault.pst", textOf(first, "ComponentDefaultPath"));
    EXPECT_EQ(2u, m_deviceControl.waitFor(1).data("UniqID").toUInt32());
    EXPECT_TRUE(m_executor.sent.empty());

    EXPECT_EQ(kFailed, m_executor.replyAddComponent(0, 3));  // nobody waits for 3
    EXPECT_EQ(0u, m_executor.replyAddComponent(kFailed, 1));
    EXPECT_EQ(0u, m_executor.replyAddComponent(1, 2));  // still executing
    EXPECT_TRUE(m_executor.sent.empty());
    EXPECT_EQ(0u, m_executor.replyAddComponent(0, 2));
    ASSERT_EQ(1u, m_executor.sent.size());
    EXPECT_EQ("ok", m_executor.sent.back().resultToString());  // the last answer's result
    EXPECT_EQ("reply", m_executor.sent.back().category());
    EXPECT_EQ("add_cpt_info", m_executor.sent.back().command());
    EXPECT_EQ("getTotalProcessingResourceUsage", textOf(m_compiler.waitFor(0), "CommandName"));
    EXPECT_EQ(kFailed, m_executor.replyAddComponent(0, 2));  // answered once

    EXPECT_EQ(0u, m_executor.replyGetComponentResource(1299));
    const PacketContainer& notify = m_executor.sent.back();
    EXPECT_EQ("notify", notify.category());
    EXPECT_EQ("cpt_resource", notify.command());
    EXPECT_EQ("dev01", notify.from());
    EXPECT_EQ(128u, notify.cmndInfo().toUInt32("capacity"));
    EXPECT_EQ(12u, notify.cmndInfo().toUInt32("resource"));

    // Removal: the same answer path.
    PacketContainer del = request("del_cpt_info", "r2");
    (void)del.addCmndListItem(texts({{"prmAddr", "AudioCompo/#1"}}));
    EXPECT_EQ(kNoReply, run(del));
    EXPECT_EQ("removeComponent", textOf(m_deviceControl.waitFor(2), "CommandName"));
    EXPECT_EQ(0u, m_executor.replyAddComponent(0, 1));
    EXPECT_EQ("r2", m_executor.sent.back().requestID());
    EXPECT_EQ("getTotalProcessingResourceUsage", textOf(m_compiler.waitFor(1), "CommandName"));
}

TEST_F(VDProtocolExecutorCommandsTest, FailedOrEmptyComponentRequestsAnswerAtOnceAndLeaveNothingPending)
{
    startTargets();
    // Without a project the add carries no default path.
    PacketContainer add = request("add_cpt_info");
    (void)add.addCmndListItem(texts({{"prmAddr", "AudioCompo/#1"}, {"cptName", "StandIn:1:1x1"}}));
    (void)add.addCmndListItem(texts({{"prmAddr", "AudioCompo/#2"}, {"cptName", "StandIn:1:1"}}));
    EXPECT_EQ(kFailed, run(add));
    EXPECT_EQ("<none>", textOf(m_deviceControl.waitFor(0), "ComponentDefaultPath"));
    EXPECT_EQ(1u, m_deviceControl.size());  // the malformed item sent nothing
    m_executor.sent.clear();
    EXPECT_EQ(kFailed, m_executor.replyAddComponent(0, 1));  // the failed request was taken out
    EXPECT_TRUE(m_executor.sent.empty());

    struct Case {
        const char* cmd;
        ArgumentMap item;
        uint32_t result;
    };
    ArgumentMap numberAddress;
    (void)numberAddress.insert("prmAddr", 5u);
    (void)numberAddress.insertString("cptName", std::string("StandIn:1:1x1"));
    const Case cases[] = {
        {"add_cpt_info", texts({{"prmAddr", "AudioCompo/#1"}}), kFailed},
        {"add_cpt_info", numberAddress, kFailed},
        {"add_cpt_info", texts({{"prmAddr", "AudioCompo/#1"}, {"cptName", "../x:1:1x1"}}), kFailed},
        {"del_cpt_info", texts({{"cptName", "StandIn:1:1x1"}}), kFailed},
        {"add_cpt_connect", texts({{"rx_cpt", "AudioCompo/#1"}, {"rx_cpt_port", "in:1"}, {"tx_cpt", "AudioCompo/#2"}}),
         kFailed},
        {"add_cpt_connect",
         texts({{"rx_cpt", "AudioCompo/#1"}, {"rx_cpt_port", "in:x"}, {"tx_cpt", "AudioCompo/#2"},
                {"tx_cpt_port", "out:0"}}),
         0x80000002u},  // the number parser's code
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cmd);
        PacketContainer packet = request(c.cmd);
        (void)packet.addCmndListItem(c.item);
        EXPECT_EQ(c.result, run(packet));
    }
    for (const char* cmd : {"add_cpt_info", "del_cpt_info", "add_cpt_connect", "del_cpt_connect"}) {
        EXPECT_EQ(0u, run(request(cmd))) << cmd;  // an empty list: nothing to wait for
    }
    EXPECT_EQ(1u, m_deviceControl.size());
    EXPECT_EQ(kFailed, m_executor.replyAddComponent(0, 1));
}

TEST_F(VDProtocolExecutorCommandsTest, TargetsNotInTheTreeAnswerAtOnce)
{
    PacketContainer add = request("add_cpt_info");
    (void)add.addCmndListItem(texts({{"prmAddr", "AudioCompo/#1"}, {"cptName", "StandIn:1:1x1"}}));
    EXPECT_EQ(kFailed, run(add));
    PacketContainer change = request("set_cpt_change");
    (void)change.setCmndInfo(texts({{"prmAddr", "AudioCompo/#1"}, {"cptName", "StandIn:1:1x1"}}));
    EXPECT_EQ(kFailed, run(change));
    EXPECT_EQ(kFailed, run(request("set_compile")));
    m_executor.sent.clear();
    EXPECT_EQ(kFailed, m_executor.replyCompile(0));
    EXPECT_EQ(kFailed, m_executor.replyAddComponent(0, 1));
    EXPECT_EQ(kFailed, m_executor.replyChangeComponent(0, 1));
    EXPECT_TRUE(m_executor.sent.empty());
}

TEST_F(VDProtocolExecutorCommandsTest, TypeChangeIsAnsweredWithTheDeviceResultAndAsksForTheResource)
{
    startTargets();
    PacketContainer change = request("set_cpt_change");
    (void)change.setCmndInfo(texts({{"prmAddr", "AudioCompo/#4"}, {"cptName", "StandIn:2:4x4"}}));
    EXPECT_EQ(kNoReply, run(change));
    const TMS::AbstractMessage sent = m_deviceControl.waitFor(0);
    EXPECT_EQ("changeComponentType", textOf(sent, "CommandName"));
    EXPECT_EQ(4u, sent.data("UniqID").toUInt32());
    EXPECT_EQ(2u, sent.data("MajorVersion").toUInt32());
    EXPECT_EQ(0u, m_executor.replyChangeComponent(kFailed, 4));
    EXPECT_EQ("ng", m_executor.sent.back().resultToString());
    EXPECT_EQ("getTotalProcessingResourceUsage", textOf(m_compiler.waitFor(0), "CommandName"));
}

TEST_F(VDProtocolExecutorCommandsTest, ConnectionsNameTheirEndsAndPortsAfterTheColon)
{
    startTargets();
    PacketContainer add = request("add_cpt_connect");
    (void)add.addCmndListItem(texts(
        {{"rx_cpt", "AudioCompo/#1"}, {"rx_cpt_port", "in:3"}, {"tx_cpt", "AudioCompo/#2"}, {"tx_cpt_port", "0"}}));
    EXPECT_EQ(kNoReply, run(add));
    const TMS::AbstractMessage sent = m_deviceControl.waitFor(0);
    EXPECT_EQ("addConnection", textOf(sent, "CommandName"));
    EXPECT_EQ(2u, sent.data("fromUniqId").toUInt32());
    EXPECT_EQ(0u, sent.data("fromPortNo").toUInt32());
    EXPECT_EQ(1u, sent.data("toUniqId").toUInt32());
    EXPECT_EQ(3u, sent.data("toPortNo").toUInt32());
    EXPECT_EQ(kFailed, m_executor.replyAddConnect(0, 2, 0, 1, 3));  // ends the other way round
    EXPECT_EQ(0u, m_executor.replyAddConnect(0, 1, 3, 2, 0));
    EXPECT_EQ("ok", m_executor.sent.back().resultToString());
    EXPECT_FALSE(TmsTest::waitFor([&] { return m_compiler.size() > 0; }, 50ms));  // no resource question

    PacketContainer del = request("del_cpt_connect");
    (void)del.addCmndListItem(texts(
        {{"rx_cpt", "AudioCompo/#1"}, {"rx_cpt_port", "3"}, {"tx_cpt", "AudioCompo/#2"}, {"tx_cpt_port", "out:0"}}));
    EXPECT_EQ(0u, run(del));  // at once
    EXPECT_EQ("removeConnection", textOf(m_deviceControl.waitFor(1), "CommandName"));
    EXPECT_EQ(3u, m_deviceControl.waitFor(1).data("toPortNo").toUInt32());
}

TEST_F(VDProtocolExecutorCommandsTest, DefaultRegistrationNeedsAProjectAndASafeTypeName)
{
    startTargets();
    PacketContainer regist = request("add_regist_parameter");
    (void)regist.addCmndListItem(texts({{"prmAddr", "Test/#5"}}));
    EXPECT_EQ(kFailed, run(regist));  // no project yet
    EXPECT_EQ(0u, setupWith(texts({{"path", "/projects/show"}})));
    EXPECT_EQ(0u, run(regist));
    const TMS::AbstractMessage sent = m_deviceControl.waitFor(0);
    EXPECT_EQ("setComponentDefault", textOf(sent, "CommandName"));
    EXPECT_EQ(5u, sent.data("UniqID").toUInt32());
    EXPECT_EQ("Widget", textOf(sent, "ComponentName"));
    EXPECT_EQ("/projects/show/component/Widget/UserDefault.pst", textOf(sent, "ComponentDefaultPath"));

    PacketContainer remove = request("del_regist_parameter");
    (void)remove.addCmndListItem(texts({{"prmAddr", "Test/#5"}}));
    EXPECT_EQ(0u, run(remove));
    EXPECT_EQ("removeComponentDefault", textOf(m_deviceControl.waitFor(1), "CommandName"));

    for (const char* address : {"Test/#6", "Test/#99", "Nowhere/#5"}) {  // type "..", no component, no database
        PacketContainer bad = request("add_regist_parameter");
        (void)bad.addCmndListItem(texts({{"prmAddr", address}}));
        EXPECT_EQ(kFailed, run(bad)) << address;
    }
    EXPECT_EQ(2u, m_deviceControl.size());
}

// ---- compile

TEST_F(VDProtocolExecutorCommandsTest, CompileResultsAnswerTheOldestPendingCompile)
{
    startTargets();
    ASSERT_TRUE(JLIB::isSuccess(m_executor.setParameterValue("VDeviceCapacity", JVariant(64u))));
    EXPECT_EQ(kNoReply, run(request("set_compile", "c1")));
    EXPECT_EQ("startCompile", textOf(m_compiler.waitFor(0), "CommandName"));
    EXPECT_EQ(kNoReply, run(request("set_compile", "c2")));

    PacketContainer abort;
    ASSERT_TRUE(JLIB::isSuccess(abort.initialize("abort", "", "ed", "dev01", "c1")));
    (void)m_executor.received(abort);
    EXPECT_TRUE(m_executor.sent.empty());

    EXPECT_EQ(0u, m_executor.replyCompile(1));
    EXPECT_EQ("excuting", m_executor.sent.back().resultToString());
    EXPECT_EQ("c1", m_executor.sent.back().requestID());
    EXPECT_EQ(64u, m_executor.sent.back().cmndInfo().toUInt32("capacity"));
    EXPECT_EQ(0u, m_executor.replyCompile(0));
    EXPECT_EQ("ok", m_executor.sent.back().resultToString());
    EXPECT_EQ("c1", m_executor.sent.back().requestID());
    EXPECT_EQ("set_compile", m_executor.sent.back().command());
    EXPECT_EQ(0u, m_executor.replyCompile(0x80000003u));
    EXPECT_EQ("c2", m_executor.sent.back().requestID());
    EXPECT_EQ(kFailed, m_executor.replyCompile(0));  // none pending
    EXPECT_EQ(3u, m_executor.sent.size());

    // An unreadable capacity leaves the compile pending.
    EXPECT_EQ(kNoReply, run(request("set_compile", "c3")));
    dropDb(kVDeviceSetup);
    EXPECT_EQ(kFailed, m_executor.replyCompile(0));
    EXPECT_TRUE(m_executor.sent.empty());
}

TEST_F(VDProtocolExecutorCommandsTest, RequestThatCannotBeRegisteredIsAnsweredNgAndSendsNothing)
{
    startTargets();
    for (int i = 0; i < 100; ++i) ASSERT_EQ(kNoReply, run(request("set_compile", "c")));
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_compiler.size() == 100; }, 10s));
    EXPECT_EQ(kFailed, run(request("set_compile", "c101")));
    PacketContainer add = request("add_cpt_info");
    (void)add.addCmndListItem(texts({{"prmAddr", "AudioCompo/#1"}, {"cptName", "StandIn:1:1x1"}}));
    EXPECT_EQ(kFailed, run(add));
    EXPECT_FALSE(TmsTest::waitFor([&] { return m_compiler.size() > 100 || m_deviceControl.size() > 0; }, 100ms));
}
