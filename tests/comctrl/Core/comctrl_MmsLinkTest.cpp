// Parameter trees synchronised over a real link in one process: a connecting unit and a
// listening service's client unit on 127.0.0.1, each unit with its own test tree registered on
// its tree port; the test thread owns everything.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TreeFacadeSupport.h"
#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_ClientUnit.h"
#include "comctrl/Core/comctrl_MmsSynchronizer.h"
#include "comctrl/Core/comctrl_ServerService.h"
#include "comctrl/Core/comctrl_ServerUnit.h"

using namespace comctrltest;
using ComControl::ClientUnit;
using ComControl::MmsSynchronizer;
using ComControl::ServerService;
using ComControl::ServerUnit;

namespace {

constexpr uint32_t kBufferSize = 0x10000;
constexpr uint32_t kTreePort = 1;  // after the event port

std::vector<TreeRoot> roots(const std::string& mixerValues, unsigned patchStructure)
{
    return {treeRoot("Scene", 1, "a"), treeRoot("Mixer", 2, mixerValues), treeRoot("Patch", patchStructure, "c")};
}

class MmsLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vcomtest::startLayers());
        const uint16_t port = vsocktest::pickPort(SOCK_STREAM);
        ASSERT_NE(0, port);
        m_consoleTree.roots = roots("b", 3);
        m_deviceTree.roots = roots("device", 9);

        ASSERT_EQ(0u, m_device.selectDatabse(0));
        ASSERT_EQ(0u, m_device.initialize(1, 1, 1, 0, 0, &m_owner, kBufferSize));
        ASSERT_EQ(0u, m_device.setEventPortName(0, "EVT"));
        ASSERT_EQ(0u, m_device.setMmsPortName(0, "TRE"));
        ASSERT_EQ(0u, m_device.registMms(0, "Tree", &m_deviceTree, nullptr, 0, 0x10));
        ASSERT_EQ(0u, m_service.initialize(&m_device, 1, m_owner));
        ASSERT_EQ(0u, m_service.listen("127.0.0.1", port));
        m_owner.onWake.push_back([this] { (void)m_service.runCallback(); });
        m_owner.onTick.push_back([this] { (void)m_service.periodicHandle(50); });

        ASSERT_EQ(0u, m_console.selectDatabse(0));
        ASSERT_EQ(0u, m_console.initialize(0, 1, 1, 0, 0, vcomtest::loopbackAddress(), m_owner, &m_owner, kBufferSize));
        ASSERT_EQ(0u, m_console.setEventPortName(0, "EVT"));
        ASSERT_EQ(0u, m_console.setMmsPortName(0, "TRE"));
        ASSERT_EQ(0u, m_console.registMms(0, "Tree", &m_consoleTree, nullptr, 0, 0xF0));
        EXPECT_EQ(&m_consoleTree, m_console.getMms(0));
        m_owner.onWake.push_back([this] { (void)m_console.runCallback(); });
        m_owner.onTick.push_back([this] { (void)m_console.periodicHandle(50); });
        ASSERT_EQ(0u, m_console.connect(vcomtest::loopbackAddress(), port));
        ASSERT_TRUE(m_owner.pump([&] { return m_owner.logged("connected 0") && m_owner.logged("connected 1"); }));
    }
    void TearDown() override
    {
        m_owner.onWake.clear();
        m_owner.onTick.clear();
    }

    uint32_t status(ComControl::AbstractUnit& unit)
    {
        uint32_t s = 99;
        EXPECT_EQ(0u, unit.mmsSyncStatus(0, &s));
        return s;
    }
    bool bothAre(uint32_t s)
    {
        return m_owner.pump([&] { return status(m_console) == s && status(m_device) == s; });
    }
    MmsSynchronizer& synchronizer(ComControl::AbstractUnit& unit)
    {
        return *static_cast<MmsSynchronizer*>(unit.component(kTreePort));
    }

    LinkOwner m_owner;  // outlives every socket below
    TreeFacade m_consoleTree;
    TreeFacade m_deviceTree;
    ClientUnit m_device;
    ServerService m_service;
    ServerUnit m_console;
};

}  // namespace

TEST_F(MmsLinkTest, TheDeviceTreeWinsThenChangesTravelWithTextAddressesWhereStructuresDiffer)
{
    EXPECT_EQ(0x80000002u, m_console.synchronizeMms(0, 3));
    EXPECT_EQ(0x80000002u, m_console.synchronizeMms(1, 2));
    ASSERT_EQ(0u, m_console.synchronizeMms(0, 2));
    ASSERT_TRUE(bothAre(ComControl::kPdbSyncAssociated));
    EXPECT_TRUE(m_console.isSynchronizedMms(0));
    EXPECT_TRUE(m_device.isSynchronizedMms(0));
    EXPECT_TRUE(m_owner.logged("stateChanged 0"));
    EXPECT_TRUE(m_owner.logged("stateChanged 1"));
    // Mixer's values and Patch's structure differ: the device sent those two roots whole.
    EXPECT_EQ(2, m_deviceTree.clearingExports);
    EXPECT_EQ(0, m_consoleTree.clearingExports);
    EXPECT_EQ(0x60, synchronizer(m_console).rootState("Mixer"));
    EXPECT_EQ(0x61, synchronizer(m_console).rootState("Patch"));

    JVariant text;
    (void)text.setString("console", 16);
    m_consoleTree.roots[2].changes.push_back({{3, 1}, {0, 4}, text, 0x01});
    m_consoleTree.roots[1].changes.push_back({{0}, {2}, JVariant(5u), 0x01});
    ASSERT_EQ(0u, m_console.notifyPrmChanged());
    // The device decodes the Patch address from its text against its own tree.
    ASSERT_TRUE(m_owner.pump([&] { return !m_deviceTree.textConversions.empty(); }));
    EXPECT_EQ((std::vector<std::string>{"/P3/P1"}), m_deviceTree.textConversions);
    EXPECT_TRUE(m_consoleTree.roots[1].changes.empty());
    EXPECT_TRUE(m_consoleTree.roots[2].changes.empty());

    ASSERT_EQ(0u, m_console.asynchronizeMms(0));
    ASSERT_TRUE(bothAre(ComControl::kPdbSyncIdle));
}

TEST_F(MmsLinkTest, AnAnalysisComparesWithoutAssociatingAndAMatchAssociatesWithoutDigests)
{
    ASSERT_EQ(0u, m_console.analyzeMms(0));
    ASSERT_TRUE(m_owner.pump([&] { return status(m_console) == ComControl::kPdbSyncAnalyzed; }));
    EXPECT_FALSE(m_console.isMmsMatched(0));  // Mixer differs
    EXPECT_EQ(ComControl::kPdbSyncIdle, status(m_device));
    ASSERT_EQ(0u, m_console.synchronizeMms(0, 1));  // the console's tree wins now
    ASSERT_TRUE(bothAre(ComControl::kPdbSyncAssociated));
    EXPECT_EQ(2, m_consoleTree.clearingExports);
    ASSERT_EQ(0u, m_console.asynchronizeMms(0));
    ASSERT_TRUE(bothAre(ComControl::kPdbSyncIdle));

    m_deviceTree.roots = m_consoleTree.roots;
    ASSERT_EQ(0u, m_console.analyzeMms(0));
    ASSERT_TRUE(m_owner.pump([&] { return status(m_console) == ComControl::kPdbSyncAnalyzed; }));
    EXPECT_TRUE(m_console.isMmsMatched(0));
    ASSERT_EQ(0u, m_console.synchronizeMmsWithoutDump(0));
    ASSERT_TRUE(bothAre(ComControl::kPdbSyncAssociated));
    EXPECT_TRUE(m_console.isMmsMatched(0));
    // A full transfer from the listening side sends its every root whole.
    m_deviceTree.roots[0].transactionDirty = true;
    ASSERT_EQ(0u, m_device.transferAllParamMms(0));
    ASSERT_TRUE(m_owner.pump([&] { return m_deviceTree.clearingExports == 3; }));
    EXPECT_FALSE(m_deviceTree.roots[0].transactionDirty);
}

TEST(MmsUnitTest, TreeOperationsRefuseBeforeInitializeOrOutOfRange)
{
    TreeFacade tree;
    ClientUnit fresh;
    EXPECT_EQ(0x80000003u, fresh.registMms(0, "Tree", &tree, nullptr, 0, 0xF0));
    EXPECT_EQ(0x80000003u, fresh.synchronizeMms(0, 1));
    EXPECT_EQ(0x80000003u, fresh.analyzeMms(0));
    uint32_t status = 99;
    EXPECT_EQ(0x80000003u, fresh.mmsSyncStatus(0, &status));
    EXPECT_EQ(nullptr, fresh.getMms(0));
    EXPECT_FALSE(fresh.isSynchronizedMms(0));
    EXPECT_FALSE(fresh.isMmsMatched(0));

    // The database selected: no tree port at all.
    LinkOwner owner;
    ClientUnit database;
    ASSERT_EQ(0u, database.selectDatabse(1));
    ASSERT_EQ(0u, database.initialize(0, 1, 2, 0, 0, &owner, kBufferSize));
    EXPECT_EQ(0x80000002u, database.registMms(0, "Tree", &tree, nullptr, 0, 0xF0));
    EXPECT_EQ(0x80000002u, database.setMmsPortName(0, "TRE"));
    EXPECT_EQ(0x80000002u, database.transferAllParamMms(0));
    EXPECT_EQ(0x80000002u, database.mmsSyncStatus(0, &status));

    ClientUnit trees;
    ASSERT_EQ(0u, trees.initialize(0, 1, 2, 0, 0, &owner, kBufferSize));  // the tree is the default
    EXPECT_EQ(0x8000000Fu, trees.registMms(1, "0123456789012345678901234", &tree, nullptr, 0, 0xF0));
    EXPECT_EQ(0x80000008u, trees.registMms(1, nullptr, &tree, nullptr, 0, 0xF0));
    EXPECT_EQ(0u, trees.registMms(1, "Tree", &tree, nullptr, 0, 0xF0));
    EXPECT_EQ(&tree, trees.getMms(1));
    EXPECT_EQ(0x80000002u, trees.mmsSyncStatus(1, nullptr));
    EXPECT_EQ(0u, trees.mmsSyncStatus(1, &status));
    EXPECT_EQ(ComControl::kPdbSyncIdle, status);
    EXPECT_EQ(0x80000008u, trees.synchronizeMms(1, 2));  // not connected: no port
    EXPECT_EQ(0x8000000Fu, trees.notifyPrmChanged());    // registered but not associated
}
