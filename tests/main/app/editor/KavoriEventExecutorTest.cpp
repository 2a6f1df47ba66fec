#include "editor/KavoriEventExecutor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "editor/SyncStatusInfo.h"

using KAVORI::KavoriEventExecutor;

namespace {

constexpr uint32_t kStatusId = 6;

// The "Status" database from the shipped definition, as the device-control thread makes it.
class KavoriEventExecutorTest : public testing::Test {
protected:
    void SetUp() override
    {
#ifdef UZ_DESCRIPTOR_DIR
        std::ifstream file(std::string(UZ_DESCRIPTOR_DIR) + "/Status_1.json");
        std::stringstream text;
        text << file.rdbuf();
        ASSERT_EQ(0u, PDB::createPDB(kStatusId, "Status", &m_lock, 0));
        // A type known before (another test of this process) keeps its first definition.
        (void)PDB::getComponentInfoRepository().addComponentInfo(PDB::parseComponentInfoJSON(text.str().c_str()));
        ASSERT_EQ(0u, db().addComponent(PDB::UniqId(0), "Status", 1, 0, 0, 0));
#else
        GTEST_SKIP() << "no descriptor folder in this build";
#endif
    }
    void TearDown() override { (void)PDB::destroyPDB(kStatusId); }

    static PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(kStatusId); }
    static uint32_t status(const char* address, uint32_t x)
    {
        const uint32_t ai = db().getAddressIndex(PDB::UniqId(0), address);
        JVariant value;
        if (JLIB::isFailure(db().getVariant(value, 0, ai, x, 0, nullptr))) return 0xDEADu;
        return value.toUInt32();
    }

    PDB::SimpleReadWriteMutex m_lock;
};

}  // namespace

TEST(KavoriEventExecutorConvTest, TakesFactors240To254AsUnitIds)
{
    struct Case {
        uint32_t factor;
        JLIB::JResult result;
        uint32_t unit;
    };
    const Case cases[] = {{240, 0, 0}, {254, 0, 14}, {247, 0, 7}, {239, 0x80000000u, 0}, {255, 0x80000000u, 0},
                          {0, 0x80000000u, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.factor);
        uint32_t unit = 0x5A5A;
        EXPECT_EQ(c.result, KavoriEventExecutor::convFactorToUnitId(unit, c.factor));
        EXPECT_EQ(c.unit, unit);
    }
}

TEST_F(KavoriEventExecutorTest, WritesTheDeviceFolderNumbersAtTheUnitsElement)
{
    struct Case {
        uint32_t factor;
        const char* value;
        JLIB::JResult result;
        uint32_t x;  // the element that must hold the numbers
        uint32_t snapshotInit, snapshotRequested, setInit, setRequested;
    };
    const Case cases[] = {
        {240, "SCN0INI:3 SCN0REQ:5 PRS0INI:0 PRS0REQ:1", 0, 0, 3, 5, 0, 1},
        {254, "SCN9REQ:8 PRS0INI:2 XY:4 SCN:9", 0, 14, 0, 8, 2, 0},  // the folder digit is not read
        {241, "", 0, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.result, KavoriEventExecutor::notifyDirSyncStatus(c.factor, c.value));
        EXPECT_EQ(c.snapshotInit, status("/DirSyncFrom/Snapshot/InitSyncNum", c.x));
        EXPECT_EQ(c.snapshotRequested, status("/DirSyncFrom/Snapshot/RequestedNum", c.x));
        EXPECT_EQ(c.setInit, status("/DirSyncFrom/ParameterSet/InitSyncNum", c.x));
        EXPECT_EQ(c.setRequested, status("/DirSyncFrom/ParameterSet/RequestedNum", c.x));
        EXPECT_EQ(0u, status("/DirSyncTo/Snapshot/RequestedNum", c.x));  // the other direction stays
    }
}

TEST_F(KavoriEventExecutorTest, WritesNothingForAFactorOutsideTheUnits)
{
    for (uint32_t factor : {239u, 255u}) {
        SCOPED_TRACE(factor);
        EXPECT_EQ(0x80000000u, KavoriEventExecutor::notifyDirSyncStatus(factor, "SCN0INI:3"));
        for (uint32_t x = 0; x < 15; ++x) EXPECT_EQ(0u, status("/DirSyncFrom/Snapshot/InitSyncNum", x));
    }
}

TEST_F(KavoriEventExecutorTest, PublishesOneDirectionOfTheStatusAndZeroesIt)
{
    KAVORI::SyncStatusInfo info;
    info.snapshot = {4, 6};
    info.parameterSet = {7, 9};
    ASSERT_EQ(0u, info.setToPDB(2, false));
    EXPECT_EQ(4u, status("/DirSyncTo/Snapshot/InitSyncNum", 2));
    EXPECT_EQ(6u, status("/DirSyncTo/Snapshot/RequestedNum", 2));
    EXPECT_EQ(7u, status("/DirSyncTo/ParameterSet/InitSyncNum", 2));
    EXPECT_EQ(9u, status("/DirSyncTo/ParameterSet/RequestedNum", 2));
    EXPECT_EQ(0u, status("/DirSyncFrom/Snapshot/InitSyncNum", 2));
    EXPECT_EQ(0u, info.setToPDB(99, true));  // beyond the array: nothing written, no failure
    EXPECT_EQ(0u, KAVORI::SyncStatusInfo().setToPDB(2, false));
    EXPECT_EQ(0u, status("/DirSyncTo/ParameterSet/RequestedNum", 2));
}

TEST(KavoriEventExecutorItemTest, ReadsTheWarningMessageAndTheDeviceSideEvents)
{
    struct Warning {
        const char* value;
        JLIB::JResult result;
    };
    const Warning warnings[] = {{"ID:3 MESSAGE:Fan\\ stopped", 0},
                                {"ID:3", 0x80000000u},
                                {"ID: MESSAGE:x", 0x80000000u},
                                {"", 0x80000000u}};
    for (const Warning& w : warnings) {
        SCOPED_TRACE(w.value);
        EXPECT_EQ(w.result, KavoriEventExecutor::onSetWarningMessage(240, w.value));
    }

    struct ClientType {
        uint32_t factor;
        const char* value;
        JLIB::JResult result;
        uint32_t unit;
        uint16_t port;
    };
    const ClientType types[] = {
        {241, "TYPE:Editor SYNCDIR:1 PIN: UDPPORT:50240", 0, 1, 50240},
        {240, "TYPE:Editor SYNCDIR:2 UDPPORT:65537", 0, 0, 1},  // the low 16 bits
        {240, "TYPE:Editor SYNCDIR:3 UDPPORT:1", 0x80000000u, 0, 0x5A5A},  // above 2 counts as none
        {240, "SYNCDIR:1 UDPPORT:1", 0x80000000u, 0, 0x5A5A},
        {239, "TYPE:Editor SYNCDIR:1", 0x80000000u, 0, 0x5A5A},
    };
    for (const ClientType& t : types) {
        SCOPED_TRACE(t.value);
        uint32_t unit = 0x5A5A;
        uint16_t port = 0x5A5A;
        EXPECT_EQ(t.result, KavoriEventExecutor::setClientType(t.factor, t.value, unit, port));
        if (t.factor != 239) {
            EXPECT_EQ(t.unit, unit);
        }
        EXPECT_EQ(t.port, port);
    }

    uint32_t unit = 0;
    uint16_t component = 0;
    uint8_t interval = 0;
    EXPECT_EQ(0u, KavoriEventExecutor::meterRequest(243, "CYCLE:300 COMPONENT:70007", unit, component, interval));
    EXPECT_EQ(3u, unit);
    EXPECT_EQ(70007u & 0xFFFFu, component);
    EXPECT_EQ(300u & 0xFFu, interval);
    EXPECT_EQ(0x80000000u, KavoriEventExecutor::clearClientType(200, "", unit));
    EXPECT_EQ(0u, KavoriEventExecutor::abortSynchronize(244, "", unit));
    EXPECT_EQ(4u, unit);
    EXPECT_EQ(0x80000000u, KavoriEventExecutor::setApplyConfig(1, ""));
}
