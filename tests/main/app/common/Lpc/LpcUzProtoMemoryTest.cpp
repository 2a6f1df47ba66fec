#include "common/Lpc/LpcUzProtoMemory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "TMS/TMSystem.h"
#include "common/Lpc/LpcOscParameterItem.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/internal/LpcUzProtoMemoryTargets.h"
#include "main/app/common/Lpc/LpcLinkTableFixture.h"

using LpcTest::kCurrent;
using LpcTest::kPhysical;
using LpcTest::kSetup;
using LpcTest::kVolatile;
using LPC::JVariantList;
using LPC::LpcUzProtoMemory;
using LPC::MemoryAttribute;
using LPC::MemoryIndex;

namespace {

MemoryIndex MI(int32_t row) { return static_cast<MemoryIndex>(row); }
LpcUzProtoMemory& memory() { return LpcUzProtoMemory::getInstance(); }
JVariant text(const std::string& s) { return JVariant(s.c_str(), static_cast<unsigned int>(s.size())); }

// A list as "Int32 5", "Float 0.125", "String Hall", "UInt32 1" lines, so tables read naturally.
std::string show(const JVariantList& values)
{
    std::ostringstream out;
    for (const JVariant& v : values) {
        switch (v.getType()) {
        case JVariant::kTypeInt32: out << "i" << v.toInt32() << " "; break;
        case JVariant::kTypeUInt32: out << "u" << v.toUInt32() << " "; break;
        case JVariant::kTypeFloat: out << "f" << v.toFloat() << " "; break;
        case JVariant::kTypeString: out << "s'" << v.toString() << "' "; break;
        default: out << "? "; break;
        }
    }
    return out.str();
}

}  // namespace

TEST(LpcUzProtoMemoryAddressTest, ProtocolAndDeviceAddressesConvert)
{
    struct Case {
        const char* in;
        const char* oscToPdb;
        const char* pdbToOsc;
        const char* untilAt;
    };
    const Case cases[] = {
        {"uz:OBA/Object/Fader/Level", "/OBA/Object/Fader/Level", "uz:Object/Fader/Level", "uz:OBA/Object/Fader/Level"},
        {"/System/Name", "", "uz:System/Name", "/System/Name"},
        {"/OBA/Object/PhysicalPosition@xyz@x", "", "uz:OBA/Object/PhysicalPosition",
         "/OBA/Object/PhysicalPosition"},
        {"uz:", "/", "uz:", "uz:"},
        {"a:b:c", "/b:c", "uz:", "a:b:c"},
        {"NoSlash@x/y", "", "uz:", "NoSlash"},
        {"", "", "uz:", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.oscToPdb, LPC::oscToPdb(c.in));
        EXPECT_EQ(c.pdbToOsc, LPC::pdbToOsc(c.in));
        EXPECT_EQ(c.untilAt, LPC::getUntilFirstAt(c.in));
    }
    EXPECT_EQ("/AuxIn/Label/Name", LPC::getPdbAddressFromMemoryIndex(MI(0)));
    EXPECT_EQ("", LPC::getPdbAddressFromMemoryIndex(LPC::MEMORY_INDEX_NUM));

    // Each member of row 68 maps back to the row.
    const std::string base = LPC::getPdbAddressFromMemoryIndex(MI(68));
    const char* members[] = {"/OBA/Space/Height@LMH@L", "/OBA/Space/Height@LMH@M", "/OBA/Space/Height@LMH@H"};
    for (uint32_t k = 0; k < 3; ++k) {
        const std::string member = LPC::getPdbAddressWithPostFix(base.c_str(), "LMH", k);
        EXPECT_EQ(members[k], member);
        MemoryIndex index = LPC::MEMORY_INDEX_NUM;
        ASSERT_EQ(0u, LPC::getMemoryIndexFromOscAddress(index, LPC::pdbToOsc(member).c_str()));
        EXPECT_EQ(68, index);
    }
}

TEST(LpcUzProtoMemoryAddressTest, FloatsRoundToMultiplesOfOneTwoHundredth)
{
    struct Case {
        float in;
        float out;
    };
    const Case cases[] = {{0.1234f, 0.125f}, {-0.0025f, -0.005f}, {0.0025f, 0.005f}, {-0.1234f, -0.125f},
                          {0.12249f, 0.12f}, {0.0f, 0.0f},        {1.0f, 1.0f},       {-37.5f, -37.5f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_FLOAT_EQ(c.out, LPC::round_n(c.in));
    }
    JVariantList values = {JVariant(0.1234f), JVariant(7), text("0.1234"), JVariant(3u), JVariant()};
    EXPECT_EQ(0u, LPC::round_n_forJVariantList(values));
    EXPECT_EQ("f0.125 i7 s'0.1234' u3 ? ", show(values));
}

TEST(LpcUzProtoMemoryAddressTest, TypeCodesGiveProtocolValueTypes)
{
    struct Case {
        uint8_t code;
        int32_t type;
    };
    const Case cases[] = {{0x14, 0}, {0x1F, 0}, {0x24, 0}, {0x41, 0}, {0x34, 2},
                          {0x50, 1}, {0x60, 3}, {0x00, 3}, {0x70, 3}, {0xF4, 3}};
    for (const Case& c : cases) EXPECT_EQ(c.type, LPC::toLPCValueType(c.code)) << std::hex << int(c.code);
}

namespace {

// Settings and the protocol memory's lock need the framework; every test works in a fresh
// working folder, where the settings file and the dumps go.
class ProtoMemoryBase {
protected:
    void enterFolder()
    {
        ASSERT_FALSE(m_folder.path().empty());
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
    }
    void leaveFolder()
    {
        (void)memory().finalize();
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        std::filesystem::current_path(m_previous);
    }
    // "JOSCWritable" as given, read afresh.
    void writable(const std::string& value)
    {
        m_folder.write("SystemSetting.ini", "[Setting]\nJOSCWritable = " + value + "\n");
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        ASSERT_EQ(0u, LPC::LpcThreadCommon::getInstance().initialize());
    }
    // initialize with its standard output.
    JLIB::JResult initialize(std::string* printed = nullptr)
    {
        testing::internal::CaptureStdout();
        const JLIB::JResult result = memory().initialize();
        const std::string out = testing::internal::GetCapturedStdout();
        if (printed) *printed = out;
        return result;
    }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    std::filesystem::path m_previous;
};

class LpcUzProtoMemoryIdleTest : public testing::Test, protected ProtoMemoryBase {
protected:
    void SetUp() override { enterFolder(); }
    void TearDown() override { leaveFolder(); }
};

class LpcUzProtoMemoryTest : public LpcTest::LinkTableFixture, protected ProtoMemoryBase {
protected:
    void SetUp() override
    {
        enterFolder();
        LinkTableFixture::SetUp();
    }
    void TearDown() override
    {
        leaveFolder();
        LinkTableFixture::TearDown();
    }

    // Every member of the row at (x, y), read past the protocol memory.
    static JVariantList stored(int32_t row, uint32_t x, uint32_t y = 0)
    {
        const LPC::MemoryItem& item = LPC::sMemoryItemTable[row];
        JVariantList values;
        const std::string address = LPC::getPdbAddressFromMemoryIndex(item.index);
        const JLIB::JResult read =
            LPC::pdb_getParams(item.category, address.c_str(), item.postFix, item.argNum, x, y, values);
        EXPECT_FALSE(JLIB::isFailure(read));
        return values;
    }
};

void expectNotInitialised()
{
    JVariantList values;
    for (int32_t row : {0, 74, 142, 145}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(nullptr, LPC::getMemoryItem(MI(row)));
        EXPECT_EQ(0x80000005u, memory().setValues(7, MI(row), LPC::getParameterName(MI(row)), 0, 0, {JVariant(1)}));
        EXPECT_EQ(0x80000005u, memory().getValues(values, 0, MI(row), LPC::getParameterName(MI(row)), 0, 0));
        const MemoryAttribute attr = memory().getMemoryAttribute(MI(row), 0);
        EXPECT_EQ(0u, attr.argNum);
        EXPECT_EQ(0u, attr.sizeX);
        EXPECT_EQ(0u, attr.sizeY);
        EXPECT_EQ(3, attr.valueType);
        EXPECT_FALSE(attr.isProtected);
    }
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(LPC::g_MemoryItemMap.empty());
    EXPECT_TRUE(LPC::g_PluginAddressListForAllItem.empty());
    for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) EXPECT_TRUE(item.addressIds.empty()) << item.index;
}

}  // namespace

TEST_F(LpcUzProtoMemoryIdleTest, BeforeInitializeAndAfterAFailedOneNothingIsServed)
{
    expectNotInitialised();
    // No device database: the first member does not resolve.
    std::string printed;
    EXPECT_EQ(0x80000000u, initialize(&printed));
    expectNotInitialised();
    EXPECT_EQ(0u, memory().finalize());
    expectNotInitialised();
}

TEST_F(LpcUzProtoMemoryTest, InitializeResolvesEveryMemberAndBuildsTheLookups)
{
    std::string printed;
    ASSERT_EQ(0u, initialize(&printed));
    EXPECT_EQ(145u, LPC::g_MemoryItemMap.size());
    EXPECT_EQ(84u, LPC::g_PluginAddressListForAllItem.size());
    for (LPC::MemoryItem& item : LPC::sMemoryItemTable) {
        SCOPED_TRACE(item.index);
        EXPECT_EQ(&item, LPC::getMemoryItem(item.index));
        ASSERT_EQ(item.argNum, item.addressIds.size());
        const std::string base = LPC::getPdbAddressFromMemoryIndex(item.index);
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const std::string member = LPC::getPdbAddressWithPostFix(base.c_str(), item.postFix, k);
            EXPECT_EQ(item.category, item.addressIds[k].componentIndex());
            EXPECT_EQ(ai(item.category, member.c_str()), item.addressIds[k].addressIndex());
            EXPECT_STREQ(member.c_str(), item.addressIds[k].strAddress());
        }
        const auto targets = LPC::g_PluginAddressListForAllItem.find(item.index);
        ASSERT_EQ(!item.pluginParams.empty(), targets != LPC::g_PluginAddressListForAllItem.end());
        if (item.pluginParams.empty()) continue;
        ASSERT_EQ(item.argNum, targets->second.size());
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const MemoryAttribute attr = memory().getMemoryAttribute(item.index, k);
            EXPECT_EQ(size_t(attr.sizeX) * attr.sizeY, targets->second[k].size());
        }
    }
    EXPECT_EQ(3u, LPC::g_PluginAddressListForAllItem.at(MI(70)).size());
    EXPECT_EQ(0u, LPC::g_PluginAddressListForAllItem.count(MI(2)));

    // Targets depend on the member and x only.
    const LPC::PluginAddressMap& physicalY = LPC::g_PluginAddressListForAllItem.at(MI(74))[1];
    LPC::PluginSendInfoList expected;
    ASSERT_EQ(0u, LPC::listUpPluginSendInfo(LPC::sMemoryItemTable[74].pluginParams[1], 5, expected));
    ASSERT_EQ(2u, expected.size());
    const LPC::PluginSendInfoList& actual = physicalY.at({5, 0});
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_STREQ(expected[i].guid, actual[i].guid);
        EXPECT_EQ(expected[i].paramNo, actual[i].paramNo);
    }
    const LPC::PluginAddressMap& spaceless = LPC::g_PluginAddressListForAllItem.at(MI(56))[0];
    ASSERT_EQ(1u, spaceless.size());

    // Only row 56 is printed: one line per target.
    std::string lines;
    for (const auto& [xy, list] : spaceless) {
        for (const LPC::PluginSendInfo& t : list) {
            lines += "[arg:0][x:" + std::to_string(xy.first) + "][y:" + std::to_string(xy.second) + "] [" +
                     t.moduleName + "][" + std::to_string(t.paramNo) + "]\n";
        }
    }
    EXPECT_EQ(64u * 1, spaceless.begin()->second.size());
    EXPECT_EQ(lines, printed);
}

TEST_F(LpcUzProtoMemoryTest, InitializeAgainKeepsOneIdPerMember)
{
    auto expectOneIdPerMember = [] {
        for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) EXPECT_EQ(item.argNum, item.addressIds.size());
        EXPECT_EQ(145u, LPC::g_MemoryItemMap.size());
        EXPECT_EQ(84u, LPC::g_PluginAddressListForAllItem.size());
    };
    ASSERT_EQ(0u, initialize());
    ASSERT_EQ(0u, initialize());  // repeated
    expectOneIdPerMember();
    JVariantList values;
    EXPECT_EQ(0u, memory().getValues(values, 0, MI(5), "uz:AuxIn/Fader/Level", 0, 0));  // the kept lock works

    EXPECT_EQ(0u, memory().finalize());
    expectNotInitialised();
    ASSERT_EQ(0u, initialize());
    expectOneIdPerMember();
    EXPECT_EQ(0u, memory().setValues(7, MI(5), "uz:AuxIn/Fader/Level", 0, 0, {JVariant(-600)}));

    // Databases gone: a further initialize fails and leaves nothing half-built.
    (void)LPC::pdb_setLink(nullptr);
    m_databases.destroy();
    EXPECT_EQ(0x80000000u, initialize());
    expectNotInitialised();
}

TEST_F(LpcUzProtoMemoryTest, AttributesDescribeTheMembersDefinition)
{
    ASSERT_EQ(0u, initialize());
    struct Case {
        int32_t row;
        uint64_t arg;
        uint32_t argNum, sizeX, sizeY;
        int32_t type, min, max, scaling;
        bool isProtected;
    };
    const Case cases[] = {
        {5, 0, 1, 96, 1, 0, -13800, 1000, 100, false},     // "/AuxIn/Fader/Level"
        {101, 2, 3, 1, 1, 0, -50000, 50000, 100, false},   // "/3DRev/Center@xyz@z"
        {66, 1, 2, 32, 16, 0, -50000, 50000, 100, false},  // "/OBA/Space/Position@xy@y"
        {75, 0, 3, 128, 1, 2, 0, 0, 1, false},             // Float limits read as 0
        {143, 0, 1, 1, 1, 0, 0, 65535, 1, true},           // "/System/OBANum"
        {5, 1, 0, 0, 0, 3, 0, 0, 0, false},                // no second member
        {145, 0, 0, 0, 0, 3, 0, 0, 0, false},              // no row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " member " << c.arg);
        const MemoryAttribute a = memory().getMemoryAttribute(MI(c.row), c.arg);
        EXPECT_EQ(c.argNum, a.argNum);
        EXPECT_EQ(c.sizeX, a.sizeX);
        EXPECT_EQ(c.sizeY, a.sizeY);
        EXPECT_EQ(c.type, a.valueType);
        EXPECT_EQ(c.min, a.min);
        EXPECT_EQ(c.max, a.max);
        EXPECT_EQ(c.scaling, a.scaling);
        EXPECT_EQ(c.isProtected, a.isProtected);
    }
    const MemoryAttribute name = memory().getMemoryAttribute(MI(142), 0);
    EXPECT_EQ(1, name.valueType);
    EXPECT_TRUE(name.isProtected);
}

TEST_F(LpcUzProtoMemoryTest, SetValuesChecksRoundsWritesAndComparesTheReadBack)
{
    ASSERT_EQ(0u, initialize());
    putPair(4);  // objects 4 and 5 move together when asked
    putPhysical(4, 0, 0, 0);
    putPhysical(5, 10, 20, 30);
    struct Case {
        const char* name;
        int32_t row;
        uint32_t x, y;
        JVariantList values;
        JLIB::JResult result;
        std::string storedAtX;        // every member at (x, 0) afterwards; "" to skip
        std::string storedAtPartner;  // every member at (x + 1, 0) afterwards; "" to skip
        std::string printed;
    };
    const Case cases[] = {
        {"no row", 145, 0, 0, {JVariant(1)}, 0x80000005u, "", "", ""},
        {"x outside", 5, 96, 0, {JVariant(-600)}, 0x80000004u, "", "", ""},
        {"y outside", 5, 3, 1, {JVariant(-600)}, 0x80000004u, "i0 ", "", ""},
        {"plain value", 5, 3, 0, {JVariant(-600)}, 0, "i-600 ", "i0 ", ""},
        {"limited to the range", 5, 3, 0, {JVariant(5000)}, 1, "i1000 ", "", ""},
        {"one value too many", 5, 3, 0, {JVariant(-100), JVariant(-200)}, 1, "i1000 ", "", ""},
        {"no value", 5, 3, 0, {}, 1, "i1000 ", "", ""},
        {"another type is stored differently", 5, 3, 0, {JVariant(-3.0f)}, 1, "i0 ", "", ""},
        {"three members", 101, 0, 0, {JVariant(100), JVariant(200), JVariant(300)}, 0, "i100 i200 i300 ", "", ""},
        {"three members, one limited", 101, 0, 0, {JVariant(60000), JVariant(-1), JVariant(2)}, 1,
         "i50000 i-1 i2 ", "", "OKm   (60000.000000, -1.000000, 2.000000) -> (50000.000000, -1.000000, 2.000000)\n"},
        {"pair row without flag", 46, 4, 0, {JVariant(-600)}, 0, "i-600 ", "i0 ", ""},
        {"pair row with Pair", 46, 4, 0, {JVariant(-700), text("Pair")}, 0, "i-700 ", "i-700 ", ""},
        {"pair row with Int32 1", 46, 4, 0, {JVariant(-800), JVariant(1)}, 0, "i-800 ", "i-700 ", ""},
        {"pair row with lower-case pair", 46, 4, 0, {JVariant(-900), text("pair")}, 0, "i-900 ", "i-700 ", ""},
        {"pair row with two values too many", 46, 4, 0, {JVariant(-1000), text("Pair"), JVariant(0)}, 0x80000004u,
         "i-900 ", "i-700 ", ""},
        {"pair row without values", 46, 4, 0, {}, 0x80000004u, "i-900 ", "i-700 ", ""},
        {"pair row x outside", 46, 128, 0, {JVariant(-600)}, 0x80000004u, "", "", ""},
        {"pair position moves both", 74, 4, 0, {JVariant(100), JVariant(200), JVariant(300), text("Pair")}, 0,
         "i100 i200 i300 ", "i110 i220 i330 ", ""},
        {"floats are rounded", 76, 9, 0, {JVariant(0.1234f), JVariant(-0.0025f), JVariant(0.25f)}, 0,
         "f0.125 f-0.005 f0.25 ", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStdout();
        const JLIB::JResult result =
            memory().setValues(7, MI(c.row), LPC::getParameterName(MI(c.row)), c.x, c.y, c.values);
        EXPECT_EQ(c.printed, testing::internal::GetCapturedStdout());
        EXPECT_EQ(c.result, result);
        if (!c.storedAtX.empty()) {
            EXPECT_EQ(c.storedAtX, show(stored(c.row, c.x)));
        }
        if (!c.storedAtPartner.empty()) {
            EXPECT_EQ(c.storedAtPartner, show(stored(c.row, c.x + 1)));
        }
    }
}

TEST_F(LpcUzProtoMemoryTest, ProtectedRowIsWrittenOnlyWhenTheSettingAllowsIt)
{
    ASSERT_EQ(0u, initialize());
    struct Case {
        const char* setting;
        JLIB::JResult result;
        const char* stored;
    };
    const Case cases[] = {{"0", 0x80000006u, ""}, {"1", 0, "Hall 2"}, {"ON", 0x80000006u, "Hall 2"},
                          {"on", 0, "Hall 4"}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        writable(c.setting);
        const std::string name = "Hall " + std::to_string(++n);
        EXPECT_EQ(c.result, memory().setValues(7, MI(142), "uz:System/Name", 0, 0, {text(name)}));
        EXPECT_EQ(std::string("s'") + c.stored + "' ", show(stored(142, 0)));
    }
}

TEST_F(LpcUzProtoMemoryTest, GetValuesAppendsTheMembersInsideTheParameter)
{
    ASSERT_EQ(0u, initialize());
    put(kSetup, "/3DRev/Center@xyz@x", 0, 0, JVariant(11), 0);
    put(kSetup, "/3DRev/Center@xyz@x", 0, 0, JVariant(22), 1);
    put(kSetup, "/3DRev/Center@xyz@x", 0, 0, JVariant(33), 2);
    put(kSetup, "/OBA/Space/Position@xy@x", 31, 15, JVariant(5), 0);
    put(kSetup, "/OBA/Space/Position@xy@x", 31, 15, JVariant(6), 1);
    struct Case {
        int32_t row;
        uint32_t x, y;
        JLIB::JResult result;
        std::string values;
    };
    const Case cases[] = {
        {101, 0, 0, 0, "s'kept' i11 i22 i33 "},
        {101, 1, 0, 0x80000004u, "s'kept' "},
        {101, 0, 1, 0x80000004u, "s'kept' "},
        {66, 31, 15, 0, "s'kept' i5 i6 "},
        {66, 32, 0, 0x80000004u, "s'kept' "},
        {145, 0, 0, 0x80000005u, "s'kept' "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " at " << c.x << ", " << c.y);
        JVariantList values = {text("kept")};
        EXPECT_EQ(c.result, memory().getValues(values, 0, MI(c.row), LPC::getParameterName(MI(c.row)), c.x, c.y));
        EXPECT_EQ(c.values, show(values));
    }
}

TEST_F(LpcUzProtoMemoryTest, ShowAllValuesDumpsEveryElementOfTheRowsBelow118)
{
    EXPECT_EQ(0x80000000u, memory().showAllValues(nullptr));
    EXPECT_EQ(0x80000000u, memory().showAllValues((m_folder.path() + "/missing/dump.txt").c_str()));
    ASSERT_EQ(0u, initialize());
    put(kSetup, "/AuxIn/Label/Name", 2, 0, text("Vocal"));
    put(kSetup, "/AuxIn/Fader/Level", 95, 0, JVariant(-1200));
    put(kSetup, "/OBA/Space/Position@xy@x", 31, 15, JVariant(-7), 1);
    const std::string path = m_folder.file("all.txt");
    EXPECT_EQ(0u, memory().showAllValues(path.c_str()));
    const std::string dump = m_folder.read("all.txt");

    size_t expectedLines = 0;
    for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) {
        if (item.index >= 118) continue;
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const MemoryAttribute a = memory().getMemoryAttribute(item.index, k);
            expectedLines += size_t(a.sizeX) * a.sizeY;
        }
    }
    size_t lines = 0;
    for (char ch : dump) lines += ch == '\n';
    EXPECT_EQ(expectedLines, lines);
    for (const char* line : {"/AuxIn/Label/Name/2/0 Vocal\n", "/AuxIn/Fader/Level/95/0 -1200\n",
                             "/OBA/Space/Position@xy@y/31/15 -7\n", "/OBA/Object/LogicalPosition@xyz@x/0/0 0.500000\n",
                             "/3DRev/PEQ/G/4/0 "}) {
        EXPECT_NE(std::string::npos, dump.find(line)) << line;
    }
    EXPECT_EQ(std::string::npos, dump.find("/SceneStatus/"));
    EXPECT_EQ(std::string::npos, dump.find("/System/Name"));
}

TEST_F(LpcUzProtoMemoryTest, SetAllValuesFillsLimitsAndLeavesPairAndLaterRowsAlone)
{
    ASSERT_EQ(0u, initialize());
    put(kVolatile, "/System/OBANum", 0, 0, JVariant(64));
    EXPECT_FALSE(JLIB::isFailure(memory().setAllValues(LPC::CATEGORY_SETTYPE_MAX, 9)));
    struct Case {
        uint32_t component;
        const char* address;
        uint32_t x;
        std::string value;
    };
    const Case maxima[] = {
        {kCurrent, "/OBA/Label/Name", 0, "s'1234567890123456' "},
        {kSetup, "/AuxIn/Label/Name", 95, "s'123456789012345678901234' "},
        {kSetup, "/OBA/Patch/Source", 127, "s'Dante@1' "},
        {kSetup, "/Output/Patch/Source", 0, "s'OBADirectOut@1' "},
        {kCurrent, "/OBA/Label/Color", 0, "s'' "},  // no maximum text: left alone
        {kSetup, "/AuxIn/Fader/Level", 5, "i1000 "},
        {kSetup, "/OBA/Object/Pair", 0, "i0 "},   // row 42 is left out
        {kVolatile, "/System/OBANum", 0, "i64 "},  // rows from 118 on are left out
    };
    auto read = [](uint32_t component, const char* address, uint32_t x) {
        JVariant value;
        EXPECT_FALSE(JLIB::isFailure(LPC::pdb_getParam(static_cast<LPC::CATEGORY_OF_PDBTYPE>(component), address, x, 0,
                                                       value)));
        return show({value});
    };
    for (const Case& c : maxima) EXPECT_EQ(c.value, read(c.component, c.address, c.x)) << c.address;
    EXPECT_EQ(9u, factorOf(kSetup, "/AuxIn/Fader/Level", 5));

    EXPECT_FALSE(JLIB::isFailure(memory().setAllValues(LPC::CATEGORY_SETTYPE_MIN, 9)));
    EXPECT_EQ("s' ' ", read(kCurrent, "/OBA/Label/Name", 0));
    EXPECT_EQ("i-13800 ", read(kSetup, "/AuxIn/Fader/Level", 5));
    EXPECT_EQ("i0 ", read(kSetup, "/OBA/Object/Pair", 0));
}
