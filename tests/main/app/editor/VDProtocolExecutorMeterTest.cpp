// The executor's meter commands and meter notifications against stand-in components of the real
// component registry, with a stand-in "Sync" under a root that declares the shared parameters.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "common/KavoriSystemInfo.h"
#include "editor/VDMeterContainer.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"
#include "main/app/editor/MeterComponents.h"
#include "main/app/editor/StandInThread.h"
#include "main/app/editor/CapturingExecutor.h"

using namespace std::chrono_literals;
using VDevice::VDMeterContainer;
using VDevice::VDProtocolExecutor;
using VDProtocol::ArgumentMap;
using EngineTest::CapturingExecutor;
using VDProtocol::PacketContainer;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kNoReply = 0xDEADDEADu;
constexpr uint32_t kCommonSetup = 5;

// "Sync": keeps the command names it receives and publishes "EditorState".
class SyncStandIn : public EngineTest::StandIn {
public:
    explicit SyncStandIn(EngineTest::Journal& journal) : StandIn(journal)
    {
        auto jobs = onUserMessage;
        onUserMessage = [this, jobs](const TMS::AbstractMessage& message) {
            if (message.messageId() == 0) {
                const char* name = message.data("CommandName").toString();
                std::lock_guard<std::mutex> lock(m_mutex);
                m_names.push_back(name ? name : "<none>");
            }
            jobs(message);
        };
    }
    ~SyncStandIn() override
    {
        if (getTaskId() != TMS::AbstractThread::kNoId) (void)release();
    }
    std::vector<std::string> names() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_names;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_names;
};

ArgumentMap item(const char* address)
{
    ArgumentMap map;
    (void)map.insertString(VDProtocol::KEY_PRM_ADDR, std::string(address));
    return map;
}

PacketContainer request(const char* cmd, const ArgumentMap& info, const std::vector<ArgumentMap>& list = {},
                        const char* reqid = "r1")
{
    PacketContainer packet;
    EXPECT_EQ(0u, packet.initialize("request", cmd, "ed", "dev01", reqid));
    (void)packet.setCmndInfo(info);
    for (const ArgumentMap& entry : list) (void)packet.addCmndListItem(entry);
    return packet;
}

ArgumentMap meterId(const char* id)
{
    ArgumentMap map;
    (void)map.insertString(VDProtocol::KEY_METER_ID, std::string(id));
    return map;
}

class VDProtocolExecutorMeterTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_components.setUp();
        ASSERT_EQ(0u, PDB::createPDB(kCommonSetup, "CommonSetup", &PDB::NullMutex::getNullObject(), 0));
        PDB::ComponentInfo info;
        const PDB::ParamAttr attr;
        ASSERT_EQ(0u, info.initialize("CommonSetup", 1, 1, 1, 1, 1, "", "", nullptr));
        ASSERT_EQ(0u, info.addAddressUINT32("/Meter/PeakHold/On", 1, 1, "", "", 0, 1, 0, 0, 1, 1, attr, "", "", ""));
        ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(kCommonSetup).addComponent(PDB::UniqId(0), info));

        ASSERT_TRUE(TmsTest::setUpThread(m_sync, "Sync", 0, 10));
        m_root.onInit = [this] {
            EXPECT_EQ(0u, m_root.addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            EXPECT_EQ(0u, m_root.addThread(m_sync));
        };
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System"));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_sync.getStatus() == TMS::kStatusRun; }, 5s));
    }
    void TearDown() override
    {
        (void)m_root.release();
        if (PDB::gPDBCollection.getPDB(kCommonSetup).isValid()) EXPECT_EQ(0u, PDB::destroyPDB(kCommonSetup));
        m_components.tearDown();
    }

    // The request carried out: the one reply's result, or kNoReply when not exactly one packet left.
    uint32_t run(const PacketContainer& packet)
    {
        m_executor.sent.clear();
        (void)m_executor.received(packet);
        if (m_executor.sent.size() != 1) return kNoReply;
        return m_executor.sent.back().resultCode();
    }
    static std::vector<std::string> addresses() { return VDMeterContainer::getInstance().componentAddrList(); }
    // The "MeterList" messages "Sync" has taken so far, once the queue has drained.
    size_t meterLists()
    {
        EXPECT_TRUE(m_sync.run([](EngineTest::StandIn&) {}));
        size_t n = 0;
        for (const std::string& name : m_sync.names()) n += name == "MeterList";
        return n;
    }
    static uint32_t peakHold()
    {
        JVariant value;
        EXPECT_TRUE(JLIB::isSuccess(PDB::gPDBCollection.getPDB(kCommonSetup).getVariant(value, 0, 0, 0, 0, nullptr)));
        return value.toUInt32();
    }
    // "EditorState" published by "Sync" until the executor reads it back (the shared parameters
    // may still be on their way to "Sync" when the test begins).
    bool publishState(uint32_t state)
    {
        return TmsTest::waitFor(
            [&] {
                return m_sync.publish("EditorState", state) &&
                       m_executor.deviceStatus() == VDProtocolExecutor::deviceStatus(state);
            },
            5s);
    }
    static std::vector<std::string> items(const PacketContainer& packet)
    {
        std::vector<std::string> out;
        for (size_t i = 0; i < packet.cmndListNum(); ++i) {
            const ArgumentMap& entry = packet.cmndListItem(i);
            EXPECT_EQ(JVariant::kTypeUInt32, entry.getType(VDProtocol::KEY_METER_INDEX));
            const char* value = entry.toString(VDProtocol::KEY_METER_VAL);
            out.push_back(std::to_string(entry.toUInt32(VDProtocol::KEY_METER_INDEX)) + "=" + (value ? value : "?"));
        }
        return out;
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    metertest::MeterComponents m_components;
    EngineTest::Journal m_journal;
    SyncStandIn m_sync{m_journal};
    TmsTest::Recording<TMS::SystemThread> m_root{1};
    CapturingExecutor m_executor;
};

}  // namespace

TEST_F(VDProtocolExecutorMeterTest, AddAndDeleteRegisterTheListAndTellSync)
{
    EXPECT_EQ(0u, run(request("add_cpt_meter", meterId("m1"), {item("AudioCompo/#5"), item("AudioCompo/#6")})));
    EXPECT_EQ((std::vector<std::string>{"AudioCompo/#5", "AudioCompo/#6"}), addresses());
    EXPECT_EQ(0u, run(request("add_cpt_meter", meterId("m2"), {item("AudioCompo/#5"), item("")})));  // "" passed over
    EXPECT_EQ(2u, meterLists());

    // One id's registration goes, the other's stays; one that does not exist is passed over.
    EXPECT_EQ(0u, run(request("del_cpt_meter", meterId("m1"), {item("AudioCompo/#5"), item("AudioCompo/#9")})));
    EXPECT_EQ((std::vector<std::string>{"AudioCompo/#6", "AudioCompo/#5"}), addresses());
    EXPECT_EQ(3u, meterLists());

    // "_ALL_" clears without a list.
    EXPECT_EQ(0u, run(request("del_cpt_meter", meterId("_ALL_"))));
    EXPECT_TRUE(addresses().empty());
    EXPECT_EQ(4u, meterLists());
}

TEST_F(VDProtocolExecutorMeterTest, AMissingOrNonTextKeyAnswersNgAndKeepsEarlierItems)
{
    ArgumentMap numericId;
    (void)numericId.insert(VDProtocol::KEY_METER_ID, 7u);
    ArgumentMap numericAddress;
    (void)numericAddress.insert(VDProtocol::KEY_PRM_ADDR, 5u);
    ArgumentMap other;
    (void)other.insertString("cptName", std::string("StandIn:1:2x1"));
    struct Case {
        const char* name;
        const char* cmd;
        ArgumentMap info;
        std::vector<ArgumentMap> list;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"no id", "add_cpt_meter", ArgumentMap(), {item("AudioCompo/#1")}, {}},
        {"numeric id", "add_cpt_meter", numericId, {item("AudioCompo/#1")}, {}},
        {"item without address", "add_cpt_meter", meterId("m"), {item("AudioCompo/#1"), other, item("AudioCompo/#2")},
         {"AudioCompo/#1"}},
        {"numeric address", "add_cpt_meter", meterId("m"), {item("AudioCompo/#3"), numericAddress},
         {"AudioCompo/#1", "AudioCompo/#3"}},
        {"delete without id", "del_cpt_meter", ArgumentMap(), {item("AudioCompo/#1")},
         {"AudioCompo/#1", "AudioCompo/#3"}},
        {"delete, item without address", "del_cpt_meter", meterId("m"), {item("AudioCompo/#1"), other},
         {"AudioCompo/#3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kFailed, run(request(c.cmd, c.info, c.list)));
        EXPECT_EQ(c.after, addresses());
    }
    EXPECT_EQ(0u, meterLists());  // no failed request tells "Sync"
}

TEST_F(VDProtocolExecutorMeterTest, GetDataListsEachRegisteredAddressOnceUnderTheRequest)
{
    EXPECT_EQ(0u, run(request("getData_cpt_meter", ArgumentMap(), {}, "q0")));
    EXPECT_EQ(0u, m_executor.sent.back().cmndListNum());
    ASSERT_EQ(0u, run(request("add_cpt_meter", meterId("b"), {item("AudioCompo/#5"), item("AudioCompo/#12")})));
    ASSERT_EQ(0u, run(request("add_cpt_meter", meterId("a"), {item("AudioCompo/#5")})));
    EXPECT_EQ(0u, run(request("getData_cpt_meter", ArgumentMap(), {}, "q1")));
    const PacketContainer& reply = m_executor.sent.back();
    EXPECT_EQ("reply", reply.category());
    EXPECT_EQ("q1", reply.requestID());
    EXPECT_EQ("getData_cpt_meter", reply.command());
    std::vector<std::string> listed;
    for (size_t i = 0; i < reply.cmndListNum(); ++i) listed.push_back(reply.cmndListItem(i).toString("prmAddr"));
    EXPECT_EQ((std::vector<std::string>{"AudioCompo/#5", "AudioCompo/#12"}), listed);
}

TEST_F(VDProtocolExecutorMeterTest, IntervalAndPeakHoldSettings)
{
    ArgumentMap text;
    (void)text.insertString(VDProtocol::KEY_METER_TIME, std::string("200"));
    struct Case {
        ArgumentMap info;
        uint32_t result;
        int32_t interval;
    };
    auto time = [](uint32_t ms) {
        ArgumentMap map;
        (void)map.insert(VDProtocol::KEY_METER_TIME, ms);
        return map;
    };
    const Case cases[] = {
        {time(20), 0, 60},     // refused by the registry, still "ok"
        {time(250), 0, 250},
        {text, 0, 250},        // not an integer: 0, refused
        {ArgumentMap(), kFailed, 250},
        {time(60), 0, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        EXPECT_EQ(c.result, run(request("set_meter_info", c.info)));
        EXPECT_EQ(c.interval, VDMeterContainer::getInstance().getIntervalTime());
    }

    ArgumentMap on;
    (void)on.insert(VDProtocol::KEY_PEAK_HOLD_ON, 1u);
    EXPECT_EQ(0u, run(request("set_peak_hold", on)));
    EXPECT_EQ(1u, peakHold());
    EXPECT_EQ(0u, run(request("del_peak_hold", ArgumentMap())));  // does nothing
    EXPECT_EQ(1u, peakHold());
    EXPECT_EQ(kFailed, run(request("set_peak_hold", ArgumentMap())));
    ASSERT_EQ(0u, PDB::destroyPDB(kCommonSetup));
    EXPECT_EQ(kFailed, run(request("set_peak_hold", on)));  // the failed write is the result
}

TEST_F(VDProtocolExecutorMeterTest, NotificationHoldsEveryByteOfEveryArrayAsUpperCaseHex)
{
    metertest::MeterComponents::add(5, 4);
    metertest::MeterComponents::write(5, 0, {0xC8, 0x05, 0x00, 0xFF});
    metertest::MeterComponents::write(5, 0, {0x7A, 0x00, 0x00, 0x01}, true);

    m_executor.sent.clear();
    ASSERT_EQ(0u, m_executor.sendNotifyForMeterValue("AudioCompo/#5", false));
    ASSERT_EQ(1u, m_executor.sent.size());
    const PacketContainer& notify = m_executor.sent.back();
    EXPECT_EQ("notify", notify.category());
    EXPECT_EQ("dev01", notify.from());
    EXPECT_EQ("meter", notify.command());
    EXPECT_EQ((std::vector<std::string>{"prmAddr", "type"}), notify.cmndInfo().keys());
    EXPECT_STREQ("AudioCompo/#5", notify.cmndInfo().toString("prmAddr"));
    EXPECT_STREQ("level", notify.cmndInfo().toString("type"));
    // The level meter, then the cleared gain-reduction meter (254 each), indexes from 0 in each.
    EXPECT_EQ((std::vector<std::string>{"0=C8", "1=05", "2=00", "3=FF", "0=FE", "1=FE", "2=FE", "3=FE"}),
              items(notify));

    m_executor.sent.clear();
    ASSERT_EQ(0u, m_executor.sendNotifyForMeterValue("AudioCompo/#5", true));
    ASSERT_EQ(1u, m_executor.sent.size());
    EXPECT_EQ((std::vector<std::string>{"0=7A", "1=00", "2=00", "3=01", "0=00", "1=00", "2=00", "3=00"}),
              items(m_executor.sent.back()));

    // No such component; addresses that do not split give the splitter's own failure.
    m_executor.sent.clear();
    EXPECT_EQ(kFailed, m_executor.sendNotifyForMeterValue("AudioCompo/#6", false));
    for (const char* address : {"AudioCompo/#5/Gain", "AudioCompo/5", ""}) {
        SCOPED_TRACE(address);
        EXPECT_TRUE(JLIB::isFailure(m_executor.sendNotifyForMeterValue(address, false)));
    }
    EXPECT_TRUE(m_executor.sent.empty());
}

TEST_F(VDProtocolExecutorMeterTest, TickSendsOnlyWhileOnlineAndAMissingComponentSilencesOnlyItself)
{
    metertest::MeterComponents::add(5, 2);
    metertest::MeterComponents::add(7, 1);
    ASSERT_TRUE(publishState(10));
    EXPECT_EQ(0u, m_executor.getMeter());  // nothing registered
    EXPECT_TRUE(m_executor.sent.empty());

    // "#4" sorts before the others and names no component.
    VDMeterContainer& meters = VDMeterContainer::getInstance();
    for (const char* address : {"AudioCompo/#4", "AudioCompo/#5", "AudioCompo/#7"}) {
        ASSERT_TRUE(meters.regist({"m", address}));
    }
    EXPECT_EQ(kFailed, m_executor.getMeter());
    std::vector<std::string> notified;
    for (const PacketContainer& packet : m_executor.sent) notified.push_back(packet.cmndInfo().toString("prmAddr"));
    EXPECT_EQ((std::vector<std::string>{"AudioCompo/#5", "AudioCompo/#7"}), notified);

    for (const uint32_t state : {4u, 9u, 3u, 0u}) {
        SCOPED_TRACE(state);
        ASSERT_TRUE(publishState(state));
        m_executor.sent.clear();
        EXPECT_EQ(0u, m_executor.getMeter());
        EXPECT_TRUE(m_executor.sent.empty());
    }
}
