// The executor against live databases of its own, with every packet it sends captured.
#include "editor/VDProtocolExecutor.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "editor/VDProtocolDefine.h"
#include "main/app/editor/CapturingExecutor.h"

using VDevice::VDProtocolExecutor;
using VDProtocol::ArgumentMap;
using EngineTest::CapturingExecutor;
using VDProtocol::PacketContainer;

namespace {

constexpr uint32_t kTestId = 3;
constexpr uint32_t kFarId = 11;  // beyond the ids the editor reaches
constexpr uint32_t kComponent = 5;

// The databases' lock; it can run a hook each time a section begins from outside, so a test can
// make "another thread's" write land between two lock sections.
class InterlopingMutex : public PDB::IMutex {
public:
    uint32_t readLock() const override { return enter(); }
    uint32_t readUnlock() const override { return leave(); }
    uint32_t writeLock() override { return enter(); }
    uint32_t writeUnlock() override { return leave(); }
    std::function<void()> hook;

private:
    uint32_t enter() const
    {
        if (m_depth == 0 && hook && !m_inHook) {
            m_inHook = true;
            hook();
            m_inHook = false;
        }
        m_mutex.lock();
        ++m_depth;
        return 0;
    }
    uint32_t leave() const
    {
        --m_depth;
        m_mutex.unlock();
        return 0;
    }
    mutable std::recursive_mutex m_mutex;
    mutable int m_depth = 0;
    mutable bool m_inHook = false;
};

PDB::ComponentInfo widget()
{
    PDB::ComponentInfo info;
    const PDB::ParamAttr attr;
    EXPECT_EQ(0u, info.initialize("Widget", 2, 1, 1, 1, 1, "", "", nullptr));
    EXPECT_EQ(0u, info.addAddressSINT32("/Grid", 2, 3, "", "", -100, 100, 0, 0, 1, 1, attr, "", "", ""));
    EXPECT_EQ(0u, info.addAddressFLOAT("/Gain", 1, 1, "", "", -10.0f, 10.0f, 0.0f, 0.0f, 0.5f, 1, attr, "", "", ""));
    EXPECT_EQ(0u, info.addAddressSTRING("/Name", 1, 1, "", "", 16, "", attr, "", "", ""));
    EXPECT_EQ(0u, info.addAddressSINT32("/On", 1, 1, "", "", 0, 1, 0, 0, 1, 1, attr, "", "OnOff", ""));
    EXPECT_EQ(0u, info.addAddressBINARY("/Blob", 1, 1, "", "", 8, attr, "", "", ""));
    return info;
}

class VDProtocolExecutorTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (uint32_t id : {kTestId, kFarId}) {
            ASSERT_EQ(0u, PDB::createPDB(id, id == kTestId ? "Test" : "Far", &m_lock, 0));
            ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(id).addComponent(PDB::UniqId(kComponent), widget()));
        }
    }
    void TearDown() override
    {
        m_lock.hook = nullptr;
        for (uint32_t id : {kTestId, kFarId}) (void)PDB::destroyPDB(id);
    }

    PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(kTestId); }
    int32_t grid(uint32_t x, uint32_t y)
    {
        const uint32_t ai = db().getAddressIndex(PDB::UniqId(kComponent), "/Grid");
        return db().getSInt32(db().getComponentIndex(PDB::UniqId(kComponent)), ai, x, y, nullptr);
    }

    static PacketContainer request(const char* cmd)
    {
        PacketContainer packet;
        EXPECT_EQ(0u, packet.initialize("request", cmd, "ed", "dev01", "r1"));
        return packet;
    }
    static ArgumentMap item(const std::string& address, const JVariant* value = nullptr)
    {
        ArgumentMap map;
        (void)map.insertString("prmAddr", address);
        if (value) (void)map.insertJVariant("prmValue", *value);
        return map;
    }
    // One "set" "prm_val": the reply's result.
    uint32_t set(const std::string& address, const JVariant& value)
    {
        PacketContainer packet = request("set_prm_val");
        (void)packet.setCmndInfo(item(address, &value));
        m_executor.sent.clear();
        (void)m_executor.received(packet);
        EXPECT_EQ(1u, m_executor.sent.size());
        return m_executor.sent.empty() ? 0xDEADu : m_executor.sent.back().resultCode();
    }
    PacketContainer getData(const char* cmd, const std::vector<std::string>& addresses)
    {
        PacketContainer packet = request(cmd);
        for (const std::string& address : addresses) (void)packet.addCmndListItem(item(address));
        m_executor.sent.clear();
        (void)m_executor.received(packet);
        EXPECT_EQ(1u, m_executor.sent.size());
        return m_executor.sent.empty() ? PacketContainer() : m_executor.sent.back();
    }

    InterlopingMutex m_lock;
    CapturingExecutor m_executor;
};

}  // namespace

TEST_F(VDProtocolExecutorTest, IgnoredRequestsGetNoReplyAndRepliesSwapTheEnds)
{
    for (const char* cmd :
         {"set_identify", "set_nothing", "put_prm_val", "get_prm_val", "del_alert_log", "set_auto_save"}) {
        SCOPED_TRACE(cmd);
        (void)m_executor.received(request(cmd));
        EXPECT_TRUE(m_executor.sent.empty());
    }
    PacketContainer abort;
    ASSERT_EQ(1u, abort.initialize("abort", "", "ed", "dev01", "nobody"));
    (void)m_executor.received(abort);
    EXPECT_TRUE(m_executor.sent.empty());

    EXPECT_EQ(0u, set("Test/#5/Grid:0:0", JVariant(1)));
    const PacketContainer& reply = m_executor.sent.back();
    EXPECT_EQ("reply", reply.category());
    EXPECT_EQ("dev01", reply.from());
    EXPECT_EQ("ed", reply.to());
    EXPECT_EQ("r1", reply.requestID());
    EXPECT_EQ("set_prm_val", reply.command());
    EXPECT_EQ(100u, reply.progress());
    EXPECT_TRUE(reply.cmndInfo().hasKey("prmAddr"));

    m_executor.sent.clear();
    ASSERT_EQ(0u, m_executor.sendConnected());
    EXPECT_EQ("connected", m_executor.sent.back().category());
    EXPECT_EQ("dev01", m_executor.sent.back().from());
    EXPECT_EQ("", m_executor.sent.back().to());
    // Without a unit nothing can leave.
    VDProtocolExecutor bare("dev01", nullptr);
    EXPECT_EQ(0x80000000u, bare.sendConnected());
}

TEST_F(VDProtocolExecutorTest, WritesAnswerWithTheDatabaseCodeOrRefuse)
{
    struct Case {
        const char* address;
        JVariant value;
        const char* result;  // as the reply renders it
    };
    const Case cases[] = {
        {"Test/#5/Grid:1:2", JVariant(7), "ok"},
        {"Test/#5/Grid:1:2", JVariant(500), "ok"},                  // clamped by the database
        {"Test/#5/Grid:2:0", JVariant(7), "ng/unknown_cmd"},        // outside the array
        {"Test/#5/Nothing:0:0", JVariant(7), "ng/not_found"},       // no such path
        {"Test/#5/Nothing:0:0", JVariant("7", 1), "ng"},            // no definition to convert by
        {"Test/#6/Grid:0:0", JVariant(7), "ng"},                    // no such component
        {"test/#5/Grid:0:0", JVariant(7), "ng"},                    // names are exact
        {"Far/#5/Grid:0:0", JVariant(7), "ng"},                     // beyond id 10
        {"Test/#5/Grid:0", JVariant(7), "ng"},
        {"Test/#5/Grid:0:0", JVariant("abc", 3), "ng/not_found"},  // the parser's code; nothing written
        {"Test/#5/Nothing:-1:0", JVariant(7), "ng"},                // a wildcard needs the parameter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        (void)set(c.address, c.value);
        EXPECT_EQ(c.result, m_executor.sent.back().resultToString());
    }
    EXPECT_EQ(100, grid(1, 2));
    EXPECT_EQ(0, grid(0, 0));

    PacketContainer noValue = request("set_prm_val");
    (void)noValue.setCmndInfo(item("Test/#5/Grid:0:0"));
    (void)m_executor.received(noValue);
    EXPECT_EQ(0x80000000u, m_executor.sent.back().resultCode());
}

TEST_F(VDProtocolExecutorTest, WildcardWritesFillTheirAxis)
{
    EXPECT_EQ(0u, set("Test/#5/Grid:-1:2", JVariant(4)));
    EXPECT_EQ(0u, set("Test/#5/Grid:0:-2", JVariant("9", 1)));  // any negative index, a text too
    const int32_t expected[2][3] = {{9, 9, 9}, {0, 0, 4}};
    for (uint32_t x = 0; x < 2; ++x) {
        for (uint32_t y = 0; y < 3; ++y) EXPECT_EQ(expected[x][y], grid(x, y)) << x << "," << y;
    }
    EXPECT_EQ(0u, set("Test/#5/Grid:-1:-1", JVariant(-5)));
    for (uint32_t x = 0; x < 2; ++x) {
        for (uint32_t y = 0; y < 3; ++y) EXPECT_EQ(-5, grid(x, y));
    }
}

// A write from elsewhere between the read and the write-back of a wildcard write must survive:
// the hook writes element (1, 0) each time a lock section begins, the wildcard touches row 0 only.
TEST_F(VDProtocolExecutorTest, WildcardWriteLosesNoChangeMadeMeanwhile)
{
    int32_t last = 0;
    const uint32_t ci = db().getComponentIndex(PDB::UniqId(kComponent));
    const uint32_t ai = db().getAddressIndex(PDB::UniqId(kComponent), "/Grid");
    m_lock.hook = [&] {
        last = (last + 1) % 90;
        (void)db().setVariant(ci, ai, 1, 0, JVariant(last), 1);
    };
    EXPECT_EQ(0u, set("Test/#5/Grid:0:-1", JVariant(3)));
    m_lock.hook = nullptr;
    EXPECT_EQ(last, grid(1, 0));
    EXPECT_EQ(3, grid(0, 2));
}

TEST_F(VDProtocolExecutorTest, ListWritesStopAtTheFirstFailure)
{
    PacketContainer packet = request("setData_prm_val");
    const JVariant one(1), two(2);
    (void)packet.addCmndListItem(item("Test/#5/Grid:0:0", &one));
    (void)packet.addCmndListItem(item("Test/#5/Grid:9:0", &two));
    (void)packet.addCmndListItem(item("Test/#5/Grid:0:1", &two));
    (void)m_executor.received(packet);
    ASSERT_EQ(1u, m_executor.sent.size());
    EXPECT_EQ(0x80000001u, m_executor.sent.back().resultCode());
    EXPECT_EQ(0u, m_executor.sent.back().cmndListNum());
    EXPECT_EQ(1, grid(0, 0));
    EXPECT_EQ(0, grid(0, 1));

    m_executor.sent.clear();
    (void)m_executor.received(request("setData_prm_val"));
    EXPECT_EQ(0u, m_executor.sent.back().resultCode());
}

TEST_F(VDProtocolExecutorTest, ReadsGiveItemsInOrderAndStopAtTheFirstFailure)
{
    ASSERT_EQ(0u, set("Test/#5/Grid:1:2", JVariant(12)));
    ASSERT_EQ(0u, set("Test/#5/Gain:0:0", JVariant(2)));  // an integer for a float becomes 2.0
    PacketContainer reply = getData("getData_prm_val", {"Test/#5/Grid:-1:-1"});
    EXPECT_EQ(0u, reply.resultCode());
    ASSERT_EQ(6u, reply.cmndListNum());
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_STREQ("Test/#5/Grid:-1:-1", reply.cmndListItem(i).toString("prmAddr"));
        EXPECT_STREQ("Widget:2:1x1", reply.cmndListItem(i).toString("cptName"));
    }
    EXPECT_EQ(12, reply.cmndListItem(5).toInt32("prmValue"));  // (1, 2) comes last
    EXPECT_STREQ("12", reply.cmndListItem(5).toString("prmStr"));

    reply = getData("getData_prm_val", {"Test/#5/Gain:0:0", "Test/#5/Grid:-2:0", "Test/#5/Name:0:0"});
    EXPECT_EQ(0x80000000u, reply.resultCode());
    ASSERT_EQ(1u, reply.cmndListNum());
    EXPECT_EQ(2.0f, reply.cmndListItem(0).toFloat("prmValue"));
    EXPECT_STREQ("2.000000", reply.cmndListItem(0).toString("prmStr"));
    EXPECT_EQ(10u, reply.cmndListItem(0).toUInt32("prmType"));

    const PacketContainer info = getData("getData_prm_info", {"Test/#5/Grid:0:-1"});
    const PacketContainer value = getData("getData_prm_val", {"Test/#5/Grid:0:-1"});
    ASSERT_EQ(3u, info.cmndListNum());
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(value.cmndListItem(i).keys(), info.cmndListItem(i).keys());

    EXPECT_EQ(0x80000000u, getData("getData_prm_val", {"Test/#5/Blob:0:0"}).resultCode());
    EXPECT_EQ(0x80000000u, getData("getData_prm_val", {"Test/#5/Nothing:-1:-1"}).resultCode());
    EXPECT_TRUE(JLIB::isFailure(getData("getData_prm_val", {"Test/#5/Nothing:0:0"}).resultCode()));
}

TEST_F(VDProtocolExecutorTest, ChangeNotificationsCarryAddressTextAndComponentName)
{
    ASSERT_EQ(0u, set("Test/#5/On:0:0", JVariant("ON", 2)));
    const uint32_t ci = db().getComponentIndex(PDB::UniqId(kComponent));
    m_executor.sent.clear();
    ASSERT_EQ(0u, m_executor.sendNotifyForParameterValue(
                      db(), ci, db().getAddressIndex(PDB::UniqId(kComponent), "/On"), 0, 0));
    ASSERT_EQ(1u, m_executor.sent.size());
    const PacketContainer& notify = m_executor.sent.back();
    EXPECT_EQ("notify", notify.category());
    EXPECT_EQ("dev01", notify.from());
    EXPECT_EQ("", notify.to());
    EXPECT_EQ("prm_val", notify.command());
    ASSERT_EQ(1u, notify.cmndListNum());
    EXPECT_STREQ("Test/#5/On:0:0", notify.cmndListItem(0).toString("prmAddr"));
    EXPECT_STREQ("ON", notify.cmndListItem(0).toString("prmStr"));
    EXPECT_EQ(1, notify.cmndListItem(0).toInt32("prmValue"));
    EXPECT_STREQ("Widget:2:1x1", notify.cmndListItem(0).toString("cptName"));

    m_executor.sent.clear();
    EXPECT_TRUE(JLIB::isFailure(m_executor.sendNotifyForParameterValue(
        db(), ci, db().getAddressIndex(PDB::UniqId(kComponent), "/Blob"), 0, 0)));
    EXPECT_TRUE(m_executor.sent.empty());
}

TEST(VDProtocolExecutorStatusTest, EditorStatesMapToDeviceStatus)
{
    const uint32_t expected[] = {0, 0, 0, 0, 1, 1, 0xFFFFFFFFu, 0xFFFFFFFFu, 1, 1, 2, 0xFFFFFFFFu, 0xFFFFFFFFu};
    for (uint32_t state = 0; state < std::size(expected); ++state) {
        EXPECT_EQ(expected[state], VDProtocolExecutor::deviceStatus(state)) << state;
    }
    // No "Sync" thread: no readable state.
    VDProtocolExecutor executor("dev01", nullptr);
    EXPECT_EQ(0xFFFFFFFFu, executor.deviceStatus());
    EXPECT_FALSE(executor.isOnline());
    EXPECT_FALSE(executor.isOffline());
}
