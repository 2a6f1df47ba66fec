// The protocol memory's exchange with the rack, through the real wrapper over the stand-in library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TMS/TMSystem.h"
#include "common/Lpc/IValueConverter.h"
#include "common/Lpc/LpcModuleTables.h"
#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "common/Lpc/internal/LpcUzProtoMemoryTargets.h"
#include "main/app/common/Lpc/LpcLinkTableFixture.h"
#include "main/app/common/Lpc/LpcStandInRack.h"

using LPC::JVariantList;
using LPC::LpcMurRemote;
using LPC::LpcUzProtoMemory;
using LPC::MemoryIndex;
using LpcTest::kCurrent;
using LpcTest::kSetup;
using LpcTest::kVolatile;

namespace {

MemoryIndex MI(int32_t row) { return static_cast<MemoryIndex>(row); }
LpcUzProtoMemory& memory() { return LpcUzProtoMemory::getInstance(); }
JVariant text(const std::string& s) { return JVariant(s.c_str(), static_cast<unsigned int>(s.size())); }

std::set<std::string> moduleTableGuids()
{
    std::set<std::string> guids;
    auto add = [&guids](const LPC::Module* rows, size_t count) {
        for (size_t i = 0; i < count; ++i) guids.insert(rows[i].guid);
    };
#define UZ_ADD(table) add(table, std::size(table))
    UZ_ADD(LPC::iPT::modules1);          UZ_ADD(LPC::iPT::modules2);         UZ_ADD(LPC::aVL2::modules);
    UZ_ADD(LPC::oVL1::modules);          UZ_ADD(LPC::oVL4::modules);         UZ_ADD(LPC::aIB2::modules);
    UZ_ADD(LPC::LFESel::modules);        UZ_ADD(LPC::BiSel::modules);        UZ_ADD(LPC::o3IB::modules);
    UZ_ADD(LPC::LFEHPF::modules);        UZ_ADD(LPC::LFELPF::modules);       UZ_ADD(LPC::ThreeDRevPEQ::modules);
    UZ_ADD(LPC::BiBi::modules4_48);      UZ_ADD(LPC::BiBi::modules);         UZ_ADD(LPC::BiIB::modules4);
    UZ_ADD(LPC::BiIB::modules0_3);       UZ_ADD(LPC::EIB::modules);          UZ_ADD(LPC::oIB2::modules);
    UZ_ADD(LPC::oIB3::modules);          UZ_ADD(LPC::LFEIB::modules);        UZ_ADD(LPC::ThreeDVL1::modules);
    UZ_ADD(LPC::ThreeDVL2::modules);     UZ_ADD(LPC::oOBA::modules);         UZ_ADD(LPC::ThreeDErMtx::modules);
    UZ_ADD(LPC::ThreeDSpMapper::modules); UZ_ADD(LPC::ThreeDSpWeighter::modules);
    UZ_ADD(LPC::ThreeDObjMapper::modules); UZ_ADD(LPC::ThreeDFIR16kx4::modules); UZ_ADD(LPC::ThreeDSREV::modules);
    UZ_ADD(LPC::ThreeDIB0::modules);     UZ_ADD(LPC::ThreeDIB1::modules);    UZ_ADD(LPC::oVL3::modules);
    UZ_ADD(LPC::o3VL::modules);          UZ_ADD(LPC::oSW64::modules);        UZ_ADD(LPC::oIB4::modules);
    UZ_ADD(LPC::obWG::modules);          UZ_ADD(LPC::oscPT::modules);        UZ_ADD(LPC::o2PT::modules);
#undef UZ_ADD
    return guids;
}

using LpcTest::parseRecords;
using LpcTest::Record;

// The rack connected through the stand-in, over the shipped databases with the link table.
class LpcUzProtoMemoryRackTest : public LpcTest::LinkTableFixture {
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<LpcTest::StandInRackFolder>(LpcTest::kStandInRack);
        LinkTableFixture::SetUp();
        testing::internal::CaptureStdout();  // initialize prints the targets of one row
        const JLIB::JResult initialized = memory().initialize();
        (void)testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, initialized);
        ASSERT_EQ(0u, LpcMurRemote::getInstance().initialize(LpcTest::operationWith(nullptr)));
        ASSERT_TRUE(m_folder->controls(m_rack));
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, LpcMurRemote::getInstance().finalize());
        (void)memory().finalize();
        LinkTableFixture::TearDown();
        m_folder.reset();
        (void)LpcTest::rackCallbacks().take();
    }
    void connect()
    {
        ASSERT_EQ(0u, LpcMurRemote::getInstance().connect("localhost"));
        m_rack.clearLog();
    }
    // Opens a batch, runs the step and flushes: the records the step queued.
    template <typename Step>
    std::vector<Record> walk(Step step)
    {
        m_rack.clearLog();
        EXPECT_EQ(0u, memory().setParametersInitialize(10000));
        step();
        LpcMurRemote::getInstance().setParametersFlush();
        return parseRecords(m_rack.lines("record"));
    }
    static const LPC::PluginSendInfoList& targets(int32_t row, uint32_t arg, uint32_t x, uint32_t y = 0)
    {
        return LPC::g_PluginAddressListForAllItem.at(MI(row))[arg].at({x, y});
    }
    static double normalized(int32_t row, const JVariant& value, bool* outOfRange = nullptr)
    {
        const LPC::MemoryAttribute a = memory().getMemoryAttribute(MI(row), 0);
        return LPC::sMemoryItemTable[row].converter->normalize(value, a.min, a.max, a.scaling, outOfRange);
    }
    static JVariant reversed(int32_t row, double normalised)
    {
        const LPC::MemoryAttribute a = memory().getMemoryAttribute(MI(row), 0);
        return LPC::sMemoryItemTable[row].converter->reverse(normalised, a.min, a.max, a.scaling);
    }

    TMS::TMSystem m_system;
    std::unique_ptr<LpcTest::StandInRackFolder> m_folder;
    LpcTest::StandInControls m_rack;
};

constexpr int32_t kAuxLevelRow = 5;  // "/AuxIn/Fader/Level": one Int32 member, -13800 to 1000

}  // namespace

TEST(LpcUzProtoMemoryNameTest, ObjectCountIsTheNumberBetweenTheFirstIAndTheNextX)
{
    struct Case {
        const char* name;
        uint32_t count;
    };
    const Case cases[] = {
        {"i64X", 64},         {"UZ Rack i128X", 128}, {"iX", 0},         {"X64i", 0},   {"i12a3X", 12},
        {"Rack", 0},          {"ibcX", 0},            {"i 32X", 32},     {"i+16X", 16}, {"i-16X", 0},
        {"i64", 0},           {"", 0},                {"Xi8X", 8},       {"mix 4X", 0},  // first "i" is followed by "x 4"
        {"i99999999999X", 0}, {"i2147483647X", 2147483647u},
    };
    for (const Case& c : cases) EXPECT_EQ(c.count, LPC::nameToOBANum(c.name)) << c.name;
}

TEST(LpcUzProtoMemoryIdleRackTest, BeforeInitializeTheRackOperationsRefuse)
{
    TMS::TMSystem system;
    EXPECT_EQ(0x80000000u, memory().setParametersInitialize(10000));
    EXPECT_EQ(0x80000000u, memory().restorePluginFromMemory());
    EXPECT_EQ(0x80000000u, memory().restoreMemoryFromPlugin());
    EXPECT_EQ(0x80000005u, memory().setValuesFromPDB(0, MI(kAuxLevelRow), "", 0, 0, {JVariant(1)}));
    EXPECT_FALSE(memory().getMemoryAddress("c1089e5e-01cf-4989-ae51-1b2aa180fc3a", 0).isValid());
    EXPECT_EQ(0x80000000u, memory().updateMemory(255, "c1089e5e-01cf-4989-ae51-1b2aa180fc3a", 0));
    const LPC::MemoryAddress none;
    EXPECT_EQ(145u, none.index);
    EXPECT_EQ(0u, none.argument + none.x + none.y);
}

TEST_F(LpcUzProtoMemoryRackTest, SetValuesFromPDBChecksBeforeSendingAndSendsOnlyWhileConnected)
{
    struct Case {
        const char* name;
        int32_t row;
        uint32_t x, y;
        JVariantList values;
        JLIB::JResult result;
    };
    const Case refused[] = {
        {"no row", 145, 0, 0, {JVariant(1)}, 0x80000005u},
        {"UInt32 never fits", kAuxLevelRow, 3, 0, {JVariant(5u)}, 0x80000004u},
        {"Float for an integer", kAuxLevelRow, 3, 0, {JVariant(5.0f)}, 0x80000004u},
        {"no value", kAuxLevelRow, 3, 0, {}, 0x80000004u},
        {"x outside", kAuxLevelRow, 96, 0, {JVariant(5)}, 0x80000004u},
        {"y outside", kAuxLevelRow, 3, 1, {JVariant(5)}, 0x80000004u},
        {"one of three members wrong", 74, 0, 0, {JVariant(1), text("2"), JVariant(3)}, 0x80000004u},
    };
    connect();
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        const auto records =
            walk([&] { EXPECT_EQ(c.result, memory().setValuesFromPDB(0, MI(c.row), "", c.x, c.y, c.values)); });
        EXPECT_TRUE(records.empty());
    }

    // Above the maximum: limited, answered 1, the maximum sent to every target of the element.
    const auto limited =
        walk([&] { EXPECT_EQ(1u, memory().setValuesFromPDB(0, MI(kAuxLevelRow), "", 3, 0, {JVariant(5000), JVariant(9)})); });
    const LPC::PluginSendInfoList& expected = targets(kAuxLevelRow, 0, 3);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(expected.size(), limited.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].guid, limited[i].guid);
        EXPECT_EQ(static_cast<int32_t>(expected[i].paramNo), limited[i].paramNo);
        EXPECT_DOUBLE_EQ(normalized(kAuxLevelRow, JVariant(1000)), limited[i].value);
    }
    const auto plain = walk([&] { EXPECT_EQ(0u, memory().setValuesFromPDB(0, MI(kAuxLevelRow), "", 3, 0, {JVariant(-600)})); });
    ASSERT_EQ(expected.size(), plain.size());
    EXPECT_DOUBLE_EQ(normalized(kAuxLevelRow, JVariant(-600)), plain[0].value);

    // A patch text that names no source: reported out of range, 0 sent all the same.
    const auto patch = walk([&] { EXPECT_EQ(1u, memory().setValuesFromPDB(0, MI(1), "", 0, 0, {text("Nowhere@1")})); });
    ASSERT_EQ(targets(1, 0, 0).size(), patch.size());
    EXPECT_DOUBLE_EQ(0.0, patch[0].value);

    // Not connected: checked and limited alike, nothing sent.
    ASSERT_EQ(0u, LpcMurRemote::getInstance().disconnect());
    const auto idle = walk([&] {
        EXPECT_EQ(1u, memory().setValuesFromPDB(0, MI(kAuxLevelRow), "", 3, 0, {JVariant(-20000)}));
        EXPECT_EQ(0u, memory().setValuesFromPDB(0, MI(kAuxLevelRow), "", 3, 0, {JVariant(-600)}));
        EXPECT_EQ(0x80000004u, memory().setValuesFromPDB(0, MI(kAuxLevelRow), "", 3, 0, {JVariant(5u)}));
    });
    EXPECT_TRUE(idle.empty());
    EXPECT_EQ(1u, m_rack.lines("setParameters").size());  // the walk's own empty flush
}

TEST_F(LpcUzProtoMemoryRackTest, RestoreSendsEveryElementNamingOnlyModuleTableGuids)
{
    EXPECT_EQ(0x80000000u, memory().restorePluginFromMemory());  // not connected
    connect();
    // A change walk has queued one value when the restore starts: it goes first, not lost.
    ASSERT_EQ(0u, memory().setParametersInitialize(10000));
    ASSERT_EQ(0u, memory().setValuesFromPDB(0, MI(kAuxLevelRow), "", 3, 0, {JVariant(-600)}));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, memory().restorePluginFromMemory());
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, printed.find("[UZ] restorePluginFromMemory\n"));
    EXPECT_NE(std::string::npos, printed.find("[UZ] restorePluginFromMemory finished elapsed time "));

    size_t expectedRecords = 0;
    for (const auto& [index, members] : LPC::g_PluginAddressListForAllItem) {
        for (const LPC::PluginAddressMap& elements : members) {
            for (const auto& [xy, list] : elements) expectedRecords += list.size();
        }
    }
    const std::vector<std::string> calls = m_rack.lines("setParameters");
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("setParameters " + std::to_string(targets(kAuxLevelRow, 0, 3).size()), calls[0]);
    const std::vector<Record> records = parseRecords(m_rack.lines("record"));
    EXPECT_EQ(expectedRecords + targets(kAuxLevelRow, 0, 3).size(), records.size());
    const std::set<std::string> guids = moduleTableGuids();
    for (const Record& r : records) EXPECT_EQ(1u, guids.count(r.guid)) << r.guid;
    EXPECT_EQ(0u, LpcMurRemote::getInstance().pendingParameterCount());
}

TEST_F(LpcUzProtoMemoryRackTest, RackChangeRewritesItsElementWithFactor255)
{
    const LPC::PluginSendInfo& target = targets(kAuxLevelRow, 0, 3)[0];
    const LPC::MemoryAddress where = memory().getMemoryAddress(target.guid, static_cast<int32_t>(target.paramNo));
    ASSERT_TRUE(where.isValid());
    ASSERT_EQ(uint32_t(kAuxLevelRow), where.index);
    ASSERT_EQ(3u, where.x);
    const JVariant expected = reversed(kAuxLevelRow, normalized(kAuxLevelRow, JVariant(-600)));
    m_rack.setValue(target.guid, static_cast<int32_t>(target.paramNo), normalized(kAuxLevelRow, JVariant(-600)));

    // Not connected: nothing is read or written.
    EXPECT_EQ(0x80000000u, memory().updateMemory(255, target.guid, static_cast<int32_t>(target.paramNo)));
    connect();
    const int32_t before = get(kSetup, "/AuxIn/Fader/Level", 3);
    // With the flag set the rack link thread ignores a change.
    m_rack.firePluginParameterChanged(true, target.guid, static_cast<int32_t>(target.paramNo));
    m_rack.firePluginParameterChanged(false, nullptr, static_cast<int32_t>(target.paramNo));
    m_rack.firePluginParameterChanged(false, "00000000-0000-0000-0000-000000000000", 1);
    ASSERT_TRUE(m_rack.waitIdle(5000));
    EXPECT_EQ(before, get(kSetup, "/AuxIn/Fader/Level", 3));

    testing::internal::CaptureStdout();
    m_rack.firePluginParameterChanged(false, target.guid, static_cast<int32_t>(target.paramNo));
    ASSERT_TRUE(m_rack.waitIdle(5000));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(expected.toInt32(), get(kSetup, "/AuxIn/Fader/Level", 3));
    EXPECT_EQ(255u, factorOf(kSetup, "/AuxIn/Fader/Level", 3));
    EXPECT_EQ("parameter changed by plugin [/AuxIn/Fader/Level] [] [arg=0][x:3][y:0][value:" +
                  std::to_string(expected.toInt32()) + "]\n",
              printed);
}

TEST_F(LpcUzProtoMemoryRackTest, RackChangeOfOneMemberWritesTheOthersBack)
{
    // The first row with several members and plug-in lists, and a member other than the first.
    int32_t row = -1;
    for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) {
        if (item.argNum > 1 && !item.pluginParams.empty() && item.converter) {
            row = item.index;
            break;
        }
    }
    ASSERT_GE(row, 0);
    const LPC::MemoryItem& item = LPC::sMemoryItemTable[row];
    const uint32_t member = 1;
    const LPC::PluginSendInfo* target = nullptr;
    uint32_t x = 0;
    for (const auto& [xy, list] : LPC::g_PluginAddressListForAllItem.at(MI(row))[member]) {
        for (const LPC::PluginSendInfo& t : list) {
            const LPC::MemoryAddress where = memory().getMemoryAddress(t.guid, static_cast<int32_t>(t.paramNo));
            if (where.index == uint32_t(row) && where.argument == member && where.y == 0) {
                target = &t;
                x = where.x;
                break;
            }
        }
        if (target) break;
    }
    ASSERT_NE(nullptr, target) << "row " << row;
    const std::string address = LPC::getPdbAddressFromMemoryIndex(item.index);
    JVariantList before;
    ASSERT_FALSE(JLIB::isFailure(
        LPC::pdb_getParams(item.category, address.c_str(), item.postFix, item.argNum, x, 0, before)));

    connect();
    const LPC::MemoryAttribute a = memory().getMemoryAttribute(item.index, member);
    const JVariant wanted(a.min + (a.max - a.min) / 4);
    m_rack.setValue(target->guid, static_cast<int32_t>(target->paramNo), normalized(row, wanted));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, memory().updateMemory(255, target->guid, static_cast<int32_t>(target->paramNo)));
    (void)testing::internal::GetCapturedStdout();

    JVariantList after;
    ASSERT_FALSE(JLIB::isFailure(
        LPC::pdb_getParams(item.category, address.c_str(), item.postFix, item.argNum, x, 0, after)));
    ASSERT_EQ(item.argNum, after.size());
    for (uint32_t k = 0; k < item.argNum; ++k) {
        SCOPED_TRACE(k);
        if (k == member) {
            EXPECT_EQ(reversed(row, normalized(row, wanted)).toInt32(), after[k].toInt32());
            EXPECT_NE(before[k].toInt32(), after[k].toInt32()) << "row " << row;
        } else {
            EXPECT_EQ(before[k].toInt32(), after[k].toInt32());
        }
    }
}

TEST_F(LpcUzProtoMemoryRackTest, SystemNameCarriesTheObjectCount)
{
    struct Case {
        const char* title;
        int32_t count;
    };
    const Case cases[] = {{"UZ Rack i64X", 64}, {"Hall", 128}, {"iX", 128}, {"Studio i32X", 128}, {"Rack i32X", 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_FALSE(JLIB::isFailure(memory().setSystemName(c.title)));
        JVariant name;
        ASSERT_FALSE(JLIB::isFailure(LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/System/Name", 0, 0, name)));
        EXPECT_STREQ(c.title, name.toString());
        EXPECT_EQ(c.count, get(kVolatile, "/System/OBANum", 0));
    }
    EXPECT_EQ(0u, memory().setOBANum(16));
    EXPECT_EQ(16, get(kVolatile, "/System/OBANum", 0));
}

TEST_F(LpcUzProtoMemoryRackTest, RestoreFromThePluginNeverChangesAnything)
{
    EXPECT_EQ(0x80000000u, memory().restoreMemoryFromPlugin());
    connect();
    EXPECT_EQ(0x80000000u, memory().restoreMemoryFromPlugin());
    EXPECT_TRUE(m_rack.lines("setParameters").empty());
}

TEST_F(LpcUzProtoMemoryRackTest, ReverseLookupTakesTheFirstElementListingThePlugin)
{
    EXPECT_FALSE(memory().getMemoryAddress(nullptr, 0).isValid());
    EXPECT_FALSE(memory().getMemoryAddress("no-such-module", 0).isValid());
    // Every target leads back to an element at or before its own place in the walk order.
    for (const auto& [index, members] : LPC::g_PluginAddressListForAllItem) {
        for (uint32_t arg = 0; arg < members.size(); ++arg) {
            for (const auto& [xy, list] : members[arg]) {
                for (const LPC::PluginSendInfo& t : list) {
                    const LPC::MemoryAddress m = memory().getMemoryAddress(t.guid, static_cast<int32_t>(t.paramNo));
                    ASSERT_TRUE(m.isValid());
                    const auto place = std::make_tuple(uint32_t(index), arg, uint64_t(xy.first), uint64_t(xy.second));
                    const auto found = std::make_tuple(m.index, m.argument, uint64_t(m.x), uint64_t(m.y));
                    EXPECT_LE(found, place) << t.guid << " " << t.paramNo;
                }
            }
        }
    }
}
