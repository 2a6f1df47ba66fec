#include "common/Lpc/LpcOscParameter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "OscServer/OscCore/IOscParameterCallback.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "common/Lpc/LpcExpression.h"
#include "common/Lpc/LpcOscParameterItem.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "common/Lpc/internal/LpcOscText.h"
#include "main/app/common/Lpc/LpcLinkTableFixture.h"
#include "main/app/common/Lpc/LpcSceneFixture.h"

using JOSC::OscAddressAttrib;
using LPC::JVariantList;
using LPC::LpcOscParameter;
using LPC::LpcUzProtoMemory;

namespace {

// Rows of the OSC parameter table used below.
constexpr uint32_t kAuxLabel = 0;       // text, 96 channels
constexpr uint32_t kAuxSolo = 2;        // on/off expression
constexpr uint32_t kAuxOn = 6;          // on/off expression, no link
constexpr uint32_t kAuxDelay = 4;       // delay-time expression, 0 to 1000000
constexpr uint32_t kAuxLevel = 5;       // level expression, -13800 to 1000, 96 channels
constexpr uint32_t kSpaceHeight = 68;   // three members, -50000 to 50000, 32 spaces
constexpr uint32_t kLogical = 75;       // three float members
constexpr uint32_t kDecay = 104;        // 0 to 1000
constexpr uint32_t kPeqGain = 117;      // -1800 to 1800, no expression
constexpr uint32_t kDataType = 118;     // 0 to 2147483647, 1000 slots
constexpr uint32_t kSceneProtect = 119; // write-protected
constexpr uint32_t kSceneComment = 121; // text of up to 200 characters

LpcUzProtoMemory& memory() { return LpcUzProtoMemory::getInstance(); }
JVariant text(const std::string& s) { return JVariant(s.c_str(), static_cast<unsigned int>(s.size())); }

std::string show(const JVariantList& values)
{
    std::ostringstream out;
    for (const JVariant& v : values) {
        if (!out.str().empty()) out << " ";
        switch (v.getType()) {
        case JVariant::kTypeInt32: out << v.toInt32(); break;
        case JVariant::kTypeUInt32: out << "u" << v.toUInt32(); break;
        case JVariant::kTypeFloat: out << "f" << v.toFloat(); break;
        case JVariant::kTypeString: out << "'" << v.toString() << "'"; break;
        default: out << "?"; break;
        }
    }
    return out.str();
}

// What the provider tells the server.
class RecordingCallback : public JOSC::IOscParameterCallback {
public:
    uint32_t onParameterChanged(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) override
    {
        return note("changed", origin, index, x, y);
    }
    uint32_t onFoundDirty(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) override
    {
        return note("dirty", origin, index, x, y);
    }
    uint32_t onFoundDirtyWithTarget(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) override
    {
        return note("dirtyWithTarget", origin, index, x, y);
    }
    uint32_t onSnapshotChanged(uint8_t, const std::string&, uint32_t, SSChangeReason) override { return 0; }
    uint32_t onSnapshotChanged(uint8_t, const std::string&, const std::string&, SSChangeReason) override { return 0; }

    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(m_calls);
        return out;
    }
    uint32_t answer = 0;

private:
    uint32_t note(const char* what, uint8_t origin, uint32_t index, uint32_t x, uint32_t y)
    {
        m_calls.push_back(std::string(what) + " " + std::to_string(origin) + " " + std::to_string(index) + " " +
                          std::to_string(x) + " " + std::to_string(y));
        return answer;
    }
    std::vector<std::string> m_calls;
};

}  // namespace

TEST(LpcOscParameterLookupTest, AddressesAreFoundExactly)
{
    LpcOscParameter provider;
    EXPECT_EQ(145u, provider.getAddressNum());
    uint32_t index = 77;
    EXPECT_EQ(0u, provider.getIndexFromAddress(index, "uz:AuxIn/Fader/Level"));
    EXPECT_EQ(5u, index);
    EXPECT_EQ(0u, provider.getIndexFromAddress(index, "uz:Show/On"));
    EXPECT_EQ(144u, index);
    for (const char* unknown : {"uz:AuxIn/Fader/level", "uz:AuxIn/Fader/Level/", "/AuxIn/Fader/Level", ""}) {
        SCOPED_TRACE(unknown);
        index = 77;
        EXPECT_EQ(0x80000005u, provider.getIndexFromAddress(index, unknown));
        EXPECT_EQ(0u, index);
    }

    std::string address = "stale";
    EXPECT_EQ(0u, provider.getAddress(address, 46));
    EXPECT_EQ("uz:OBA/Object/Fader/Level", address);
    EXPECT_EQ(0x80000005u, provider.getAddress(address, 145));
    EXPECT_EQ("uz:OBA/Object/Fader/Level", address);  // unchanged
}

TEST(LpcOscParameterLookupTest, GroupAddressAppendsItsMembersInOrder)
{
    LpcOscParameter provider;
    JOSC::OscIndexList indices = {999};
    EXPECT_EQ(0u, provider.getIndexListFromAddress(indices, "uz:@LogicalPositionControl"));
    EXPECT_EQ((JOSC::OscIndexList{999, 49, 50, 51, 52, 38, 39, 40, 42, 44, 55, 75, 77, 78}), indices);
    // A second subscription appends the group again.
    EXPECT_EQ(0u, provider.getIndexListFromAddress(indices, "uz:@LogicalPositionControl"));
    EXPECT_EQ(27u, indices.size());

    for (const char* other : {"uz:@logicalPositionControl", "uz:OBA/Solo/On", ""}) {
        SCOPED_TRACE(other);
        JOSC::OscIndexList kept = {1, 2};
        EXPECT_EQ(0x80000005u, provider.getIndexListFromAddress(kept, other));
        EXPECT_EQ((JOSC::OscIndexList{1, 2}), kept);
    }
}

TEST(LpcOscParameterLookupTest, ProtocolMemoryResultsBecomeOscResults)
{
    struct Case {
        uint32_t in;
        uint32_t out;
    };
    const Case cases[] = {
        {0, 0},
        {1, 1},
        {0x80000001u, 0x80000001u},
        {0x80000004u, 0x80000004u},
        {0x80000005u, 0x80000005u},
        {0x80000006u, 0x80000009u},
        {0x80000000u, 0x80000000u},
        {0x80000007u, 0x80000000u},
        {0x80010002u, 0x80000000u},
        {2, 0x80000000u},
        {10, 0x80000000u},
    };
    for (const Case& c : cases) EXPECT_EQ(c.out, LPC::yerrToOsc(c.in)) << std::hex << c.in;
}

TEST(LpcOscParameterLookupTest, ValuesAreShownByExpressionOrValueType)
{
    struct Case {
        const char* what;
        const LPC::IExpression* expression;
        int32_t valueType;
        JVariant value;
        const char* text;
    };
    const Case cases[] = {
        {"integer", nullptr, 0, JVariant(-2147483647 - 1), "-2147483648"},
        {"float", nullptr, 2, JVariant(-0.126f), "-0.13"},
        {"float of an integer", nullptr, 2, JVariant(3), "3.00"},
        {"huge float", nullptr, 2, JVariant(3e38f), "30000000054977557577780399428114"},  // cut at 32
        {"text", nullptr, 1, text("Hall"), "Hall"},
        {"no text as text", nullptr, 1, JVariant(5), ""},
        {"invalid as text", nullptr, 1, JVariant(), ""},
        {"no type", nullptr, 3, JVariant(5), ""},
        {"level", &LPC::uzExpression_Level, 0, JVariant(-1050), "-10.50"},
        {"on", &LPC::uzExpression_OnOff, 0, JVariant(1), "ON"},
        {"on/off of 2", &LPC::uzExpression_OnOff, 0, JVariant(2), ""},  // cannot show: stays empty
        {"delay", &LPC::uzExpression_DelayTime, 0, JVariant(1500), "1.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        char buffer[33] = {};
        LPC::internal::formatOscText(buffer, sizeof(buffer), c.expression, c.valueType, c.value);
        EXPECT_STREQ(c.text, buffer);
    }
}

namespace {

// The shipped databases with the link table, the protocol memory and the settings of a fresh
// working folder; the provider initialised with a recording callback.
class LpcOscParameterTest : public LpcTest::LinkTableFixture {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
        settings("");
        LinkTableFixture::SetUp();
        testing::internal::CaptureStdout();  // initialize prints the targets of one row
        const JLIB::JResult initialized = memory().initialize();
        (void)testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, initialized);
        ASSERT_EQ(0u, m_provider.initialize(&m_callback));
    }
    void TearDown() override
    {
        (void)memory().finalize();
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        std::filesystem::current_path(m_previous);
        LinkTableFixture::TearDown();
    }
    // The [Setting] lines, read afresh.
    void settings(const std::string& lines)
    {
        m_folder.write("SystemSetting.ini", "[Setting]\n" + lines);
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        ASSERT_EQ(0u, LPC::LpcThreadCommon::getInstance().initialize());
    }
    // The row's members at (x, y) as the database holds them.
    static std::string stored(uint32_t row, uint32_t x, uint32_t y = 0)
    {
        JVariantList values;
        EXPECT_EQ(0u, memory().getValues(values, 0, LPC::sParameterItemTable[row].memoryIndex,
                                         LPC::sParameterItemTable[row].address, x, y));
        return show(values);
    }
    // Writes the row's members at x past the provider.
    static void preset(uint32_t row, uint32_t x, const JVariantList& values)
    {
        ASSERT_EQ(0u, memory().setValues(255, LPC::sParameterItemTable[row].memoryIndex,
                                         LPC::sParameterItemTable[row].address, x, 0, values))
            << row;
    }
    // The member's element written straight into the database, past the link engine.
    static void putMember(uint32_t row, uint32_t member, uint32_t x, const JVariant& value)
    {
        const LPC::MemoryItem& item = LPC::sMemoryItemTable[row];
        const std::string base = LPC::getPdbAddressFromMemoryIndex(item.index);
        const std::string address = LPC::getPdbAddressWithPostFix(base.c_str(), item.postFix, member);
        put(static_cast<uint32_t>(item.category), address.c_str(), x, 0, value);
    }
    uint8_t factorOfRow(uint32_t row, uint32_t x)
    {
        const LPC::MemoryItem& item = LPC::sMemoryItemTable[row];
        return factorOf(static_cast<uint32_t>(item.category), LPC::getPdbAddressFromMemoryIndex(item.index).c_str(), x);
    }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    std::filesystem::path m_previous;
    RecordingCallback m_callback;
    LpcOscParameter m_provider;
};

}  // namespace

TEST_F(LpcOscParameterTest, SetValueWritesWithTheOriginAndReportsOnlyWritesThatDidNotFail)
{
    EXPECT_EQ(0u, m_provider.setValue(7, kAuxLevel, 3, 0, {JVariant(-1050)}));
    EXPECT_EQ("-1050", stored(kAuxLevel, 3));
    EXPECT_EQ(7, factorOfRow(kAuxLevel, 3));
    EXPECT_EQ(std::vector<std::string>{"changed 7 5 3 0"}, m_callback.take());

    // Written, but the database did not keep it: "okm", and still a change.
    EXPECT_EQ(1u, m_provider.setValue(2, kAuxLevel, 3, 0, {JVariant()}));
    EXPECT_EQ(std::vector<std::string>{"changed 2 5 3 0"}, m_callback.take());

    struct Case {
        const char* what;
        uint32_t index;
        uint32_t x;
        JVariantList values;
        uint32_t result;
    };
    const Case failures[] = {
        {"element outside", kAuxLevel, 96, {JVariant(0)}, 0x80000004u},
        {"protected row", kSceneProtect, 0, {JVariant(1)}, 0x80000009u},
        {"no row", 145, 0, {JVariant(0)}, 0x80000005u},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, m_provider.setValue(4, c.index, c.x, 0, c.values));
        EXPECT_TRUE(m_callback.take().empty());
    }
    EXPECT_EQ("0", stored(kSceneProtect, 0));

    // Writable protected rows are written once the setting allows it.
    settings("JOSCWritable = 1\n");
    EXPECT_EQ(0u, m_provider.setValue(4, kSceneProtect, 0, 0, {JVariant(1)}));
    EXPECT_EQ("1", stored(kSceneProtect, 0));
    EXPECT_EQ(std::vector<std::string>{"changed 4 119 0 0"}, m_callback.take());

    // A provider the server has not initialised writes without telling anyone.
    LpcOscParameter bare;
    EXPECT_EQ(0u, bare.setValue(3, kAuxLevel, 4, 0, {JVariant(-200)}));
    EXPECT_EQ("-200", stored(kAuxLevel, 4));
    EXPECT_TRUE(m_callback.take().empty());
}

TEST_F(LpcOscParameterTest, RatiosMapTheRangeBothWays)
{
    struct Case {
        uint32_t ratio;
        uint32_t resolution;
        const char* stored;
        int32_t back;  // getRatio at the same resolution
    };
    const Case cases[] = {
        {0, 1000, "-13800", 0},
        {999, 1000, "1000", 999},
        {4000, 1000, "1000", 999},
        {500, 1000, "-6393", 500},  // -6392.59 rounds away from zero
        {1, 1000, "-13785", 1},
        {7, 1, "0", 0},             // a resolution below 2 writes 0
        {3, 0, "0", 0},             // and reads 0
        {2, 3, "1000", 2},
        {1, 3, "-6400", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ratio) + " of " + std::to_string(c.resolution));
        EXPECT_EQ(0u, m_provider.setRatio(6, kAuxLevel, 1, 0, {JVariant(c.ratio)}, c.resolution));
        EXPECT_EQ(c.stored, stored(kAuxLevel, 1));
        JVariantList ratios = {JVariant(-5)};
        EXPECT_EQ(0u, m_provider.getRatio(ratios, c.resolution, 6, kAuxLevel, 1, 0));
        EXPECT_EQ("-5 " + std::to_string(c.back), show(ratios));
        EXPECT_EQ(std::vector<std::string>{"changed 6 5 1 0"}, m_callback.take());
    }

    // All members of a three-member row in one write.
    EXPECT_EQ(0u, m_provider.setRatio(1, kSpaceHeight, 2, 0, {JVariant(0u), JVariant(50u), JVariant(100u)}, 101));
    EXPECT_EQ("-50000 0 50000", stored(kSpaceHeight, 2));
    JVariantList ratios;
    EXPECT_EQ(0u, m_provider.getRatio(ratios, 101, 1, kSpaceHeight, 2, 0));
    EXPECT_EQ("0 50 100", show(ratios));

    // A 32-bit resolution over a 31-bit range: ratios above 2^31 keep their bits both ways.
    preset(kDataType, 9, {JVariant(2147483647)});
    ratios.clear();
    EXPECT_EQ(0u, m_provider.getRatio(ratios, 0xFFFFFFFFu, 1, kDataType, 9, 0));
    ASSERT_EQ(1u, ratios.size());
    EXPECT_EQ(0xFFFFFFFEu, ratios[0].toUInt32());
    EXPECT_EQ(0u, m_provider.setRatio(1, kDataType, 9, 0, ratios, 0xFFFFFFFFu));
    EXPECT_EQ("2147483647", stored(kDataType, 9));
    EXPECT_EQ(0u, m_provider.setRatio(1, kDataType, 9, 0, {JVariant(2000u)}, 0xFFFFFFFFu));
    EXPECT_EQ("1000", stored(kDataType, 9));
    ratios.clear();
    EXPECT_EQ(0u, m_provider.getRatio(ratios, 0xFFFFFFFFu, 1, kDataType, 9, 0));
    EXPECT_EQ("2000", show(ratios));

    // Texts have no ratio; failed reads append nothing.
    ratios.clear();
    EXPECT_EQ(0x80000002u, m_provider.getRatio(ratios, 100, 1, kAuxLabel, 0, 0));
    EXPECT_EQ(0x80000004u, m_provider.getRatio(ratios, 100, 1, kAuxLevel, 96, 0));
    EXPECT_EQ(0x80000005u, m_provider.getRatio(ratios, 100, 1, 145, 0, 0));
    EXPECT_TRUE(ratios.empty());
    EXPECT_EQ(0x80000005u, m_provider.setRatio(1, 145, 0, 0, {JVariant(0u)}, 100));
    m_callback.take();
}

TEST_F(LpcOscParameterTest, StepsMoveByAPercentageOfTheRange)
{
    struct Case {
        uint32_t row;
        int32_t before;
        int32_t step;
        const char* after;
    };
    const Case cases[] = {
        {kDecay, 200, -10, "100"},
        {kDecay, 200, 10, "300"},
        {kDecay, 200, 0, "200"},
        {kAuxLevel, -1000, 10, "480"},
        {kAuxLevel, -1000, -3, "-1444"},
        // Steps far beyond the range saturate, and the database limits the value.
        {kAuxLevel, -1000, 1000000000, "1000"},
        {kAuxLevel, -1000, -1000000000, "-13800"},
        {kAuxLevel, 900, 2147483647, "1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " step " + std::to_string(c.step));
        preset(c.row, 0, {JVariant(c.before)});
        const uint32_t result = m_provider.incDec(8, c.row, 0, 0, {JVariant(c.step)}, 0, 0);
        EXPECT_FALSE(JLIB::isFailure(result)) << std::hex << result;
        EXPECT_EQ(c.after, stored(c.row, 0));
        EXPECT_EQ(std::vector<std::string>{"changed 8 " + std::to_string(c.row) + " 0 0"}, m_callback.take());
    }

    preset(kDecay, 0, {JVariant(200)});
    struct Failure {
        const char* what;
        uint32_t row;
        uint32_t x;
        JVariantList steps;
        uint32_t result;
    };
    const Failure failures[] = {
        {"text parameter", kAuxLabel, 0, {JVariant(1)}, 0x80000002u},
        {"two steps for one value", kDecay, 0, {JVariant(1), JVariant(1)}, 0x80000004u},
        {"no step", kDecay, 0, {}, 0x80000004u},
        {"element outside", kAuxLevel, 96, {JVariant(1)}, 0x80000004u},
        {"no row", 145, 0, {JVariant(1)}, 0x80000005u},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.what);
        EXPECT_EQ(f.result, m_provider.incDec(8, f.row, f.x, 0, f.steps, 0, 0));
        EXPECT_TRUE(m_callback.take().empty());
    }
    EXPECT_EQ("200", stored(kDecay, 0));
}

TEST_F(LpcOscParameterTest, TextsAreWrittenThroughTheRowsExpression)
{
    struct Case {
        uint32_t row;
        JVariant given;
        uint32_t result;
        const char* stored;
    };
    preset(kAuxOn, 0, {JVariant(0)});
    const Case cases[] = {
        {kAuxOn, text("ON"), 0, "1"},
        // Refused texts are passed on as invalid values, which the protocol memory reports as
        // not kept ("okm"); what the database makes of one is its own business.
        {kAuxOn, text("on"), 1, nullptr},
        {kAuxOn, text("OFF"), 0, "0"},
        {kAuxOn, JVariant(1), 1, nullptr},  // no text at all
        {kAuxLevel, text("-10.5"), 0, "-1000"},
        {kAuxLevel, text("3"), 0, "300"},
        {kAuxDelay, text("2.7"), 0, "2000"},
        {kAuxLabel, text("Vocal"), 0, "'Vocal'"},  // no expression: as given
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " " + show({c.given}));
        EXPECT_EQ(c.result, m_provider.setText(5, c.row, 0, 0, {c.given}));
        if (c.stored) {
            EXPECT_EQ(c.stored, stored(c.row, 0));
        }
        EXPECT_EQ(std::vector<std::string>{"changed 5 " + std::to_string(c.row) + " 0 0"}, m_callback.take());
    }
    EXPECT_EQ(0x80000005u, m_provider.setText(5, 145, 0, 0, {text("1")}));
    std::vector<OscAddressAttrib> attribs(1);
    EXPECT_EQ(0x80000002u, m_provider.setAttrib(attribs, kAuxLevel));
    EXPECT_EQ(1u, attribs.size());
}

TEST_F(LpcOscParameterTest, TextsAndValuesReadAsClientsSeeThem)
{
    const std::string longLabel(40, 'L');
    preset(kSceneComment, 1, {text(longLabel)});
    ASSERT_EQ("'" + longLabel + "'", stored(kSceneComment, 1));  // more than a text carries
    preset(kPeqGain, 2, {JVariant(-42)});
    preset(kAuxLevel, 0, {JVariant(-1050)});
    preset(kAuxSolo, 0, {JVariant(1)});
    preset(kAuxSolo, 1, {JVariant(0)});
    preset(kAuxDelay, 0, {JVariant(1500)});
    preset(kAuxLabel, 0, {text("Kick")});
    putMember(kLogical, 0, 0, JVariant(0.5f));
    putMember(kLogical, 1, 0, JVariant(0.25f));
    putMember(kLogical, 2, 0, JVariant(1.0f));

    struct Case {
        uint32_t row;
        uint32_t x;
        std::string texts;
    };
    const Case cases[] = {
        {kPeqGain, 2, "'-42'"},
        {kLogical, 0, "'0.50' '0.25' '1.00'"},
        {kAuxLevel, 0, "'-10.50'"},
        {kAuxSolo, 0, "'ON'"},
        {kAuxSolo, 1, "'OFF'"},
        {kAuxDelay, 0, "'1.50'"},
        {kAuxLabel, 0, "'Kick'"},
        {kSceneComment, 1, "'" + std::string(32, 'L') + "'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        JVariantList texts = {text("kept")};
        EXPECT_EQ(0u, m_provider.getText(texts, 3, c.row, c.x, 0));
        EXPECT_EQ("'kept' " + c.texts, show(texts));
    }

    JVariantList values = {JVariant(9)};
    EXPECT_EQ(0u, m_provider.getValue(values, 3, kAuxLevel, 0, 0));
    EXPECT_EQ("9 -1050", show(values));

    JVariantList none;
    EXPECT_EQ(0x80000004u, m_provider.getText(none, 3, kAuxLevel, 96, 0));
    EXPECT_EQ(0x80000005u, m_provider.getText(none, 3, 145, 0, 0));
    EXPECT_EQ(0x80000004u, m_provider.getValue(none, 3, kAuxLevel, 0, 1));
    EXPECT_EQ(0x80000005u, m_provider.getValue(none, 3, 145, 0, 0));
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(m_callback.take().empty());  // reads announce nothing
}

TEST_F(LpcOscParameterTest, AttributesDescribeEveryMemberAlike)
{
    std::vector<OscAddressAttrib> attribs(1);  // appended to, not cleared
    EXPECT_EQ(0u, m_provider.getAttrib(attribs, kSpaceHeight));
    ASSERT_EQ(4u, attribs.size());
    for (size_t i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        const OscAddressAttrib& a = attribs[i];
        EXPECT_EQ("uz:OBA/Space/Height", a.address);
        EXPECT_EQ(32u, a.xSize);
        EXPECT_EQ(1u, a.ySize);
        EXPECT_EQ(-50000, a.minimum);
        EXPECT_EQ(50000, a.maximum);
        EXPECT_EQ(JVariant::kTypeInt32, a.infoValue.getType());
        EXPECT_EQ(0, a.infoValue.toInt32());
        ASSERT_NE(nullptr, a.infoText);
        EXPECT_STREQ("", a.infoText);
        EXPECT_EQ(OscAddressAttrib::kTypeInteger, a.type);
        EXPECT_EQ(OscAddressAttrib::kUiTypeAny, a.uiType);
        EXPECT_EQ(OscAddressAttrib::kAccessReadWrite, a.access);
        EXPECT_EQ(100, a.scaling);
    }

    struct Case {
        uint32_t row;
        size_t count;
        OscAddressAttrib::Type type;
        OscAddressAttrib::Access access;
    };
    const Case cases[] = {
        {kAuxLabel, 1, OscAddressAttrib::kTypeString, OscAddressAttrib::kAccessReadWrite},
        {kLogical, 3, OscAddressAttrib::kTypeFloat, OscAddressAttrib::kAccessReadWrite},
        {kSceneProtect, 1, OscAddressAttrib::kTypeInteger, OscAddressAttrib::kAccessRead},
    };
    for (const std::string writable : {"0", "1"}) {
        settings("JOSCWritable = " + writable + "\n");  // protection is shown either way
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.row) + " writable " + writable);
            attribs.clear();
            EXPECT_EQ(0u, m_provider.getAttrib(attribs, c.row));
            ASSERT_EQ(c.count, attribs.size());
            EXPECT_EQ(c.type, attribs.back().type);
            EXPECT_EQ(c.access, attribs.back().access);
        }
    }
    attribs.clear();
    EXPECT_EQ(0x80000005u, m_provider.getAttrib(attribs, 145));
    EXPECT_TRUE(attribs.empty());
}

TEST_F(LpcOscParameterTest, ChangesAreAnnouncedForRowsClientsSee)
{
    m_callback.answer = 0x80000000u;  // the server's answer does not matter
    struct Case {
        const char* address;
        uint32_t result;
        std::vector<std::string> quiet;  // with "EmitAllJOSCNotify" off
        std::vector<std::string> all;    // and on
    };
    const Case cases[] = {
        {"/OBA/Object/Fader/Level", 0, {"dirty 9 46 3 1"}, {"dirty 9 46 3 1"}},
        {"/Binaural/Listener/Position@xyz@y", 0, {"dirty 9 22 3 1"}, {"dirty 9 22 3 1"}},
        {"/OBA/Solo/On_Internal", 0, {}, {"dirty 9 45 3 1"}},
        {"/OBA/Object/Fader/level", 0x80000005u, {}, {}},
        {"/OBA/Object/Gain", 0x80000005u, {}, {}},
    };
    for (const std::string emitAll : {"0", "1"}) {
        settings("EmitAllJOSCNotify = " + emitAll + "\n");
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.address) + " emit all " + emitAll);
            EXPECT_EQ(c.result, m_provider.parameterChanged(c.address, 3, 1, 9));
            EXPECT_EQ(emitAll == "1" ? c.all : c.quiet, m_callback.take());
        }
    }
    LpcOscParameter bare;  // no server yet: nothing to tell
    EXPECT_EQ(0u, bare.parameterChanged("/OBA/Object/Fader/Level", 0, 0, 1));
}

namespace {

using namespace std::chrono_literals;

constexpr const char* kCategory = "PROC:ParamSet/Vexalume";

// A thread in the place of "DeviceControl" or "OSCServer" that notes each scene message as
// "Operation Status Index Category Title Comment Factor".
class SceneMessageThread : public TmsTest::Recording<TMS::AbstractThread> {
public:
    SceneMessageThread() : Recording(5)
    {
        onUserMessage = [this](const TMS::AbstractMessage& m) {
            auto textOf = [&m](const char* key) {
                const char* t = m.data(key).toString();
                return std::string(t ? t : "-");
            };
            std::lock_guard<std::mutex> lock(m_mutex);
            m_notes.push_back(textOf("CommandName") + " " + textOf("Operation") + " " + textOf("Status") + " " +
                              textOf("Index") + " " + textOf("Category") + " [" + textOf("Title") + "] [" +
                              textOf("Comment") + "] " + std::to_string(m.data("Factor").toInt32()));
        };
    }
    // The notes once count have arrived (bounded wait), taken.
    std::vector<std::string> take(size_t count)
    {
        (void)TmsTest::waitFor(
            [&] {
                std::lock_guard<std::mutex> lock(m_mutex);
                return m_notes.size() >= count;
            },
            10s);
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> out;
        out.swap(m_notes);
        return out;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_notes;
};

// Scenes "1" and "2.5" stored in the shipped databases.
class LpcOscParameterSnapshotTest : public LpcTest::SceneFixture {
protected:
    void SetUp() override
    {
        SceneFixture::SetUp();
        ASSERT_TRUE(JLIB::isSuccess(m_list.store("1", "Intro", "first", false)));
        ASSERT_TRUE(JLIB::isSuccess(m_list.store("2.5", "Drums", "", false)));
    }
    void startThreads()
    {
        for (auto& [thread, name] : {std::pair<SceneMessageThread*, const char*>{&m_device, "DeviceControl"},
                                     {&m_osc, "OSCServer"}}) {
            ASSERT_TRUE(TmsTest::setUpThread(*thread, name));
            ASSERT_EQ(0u, thread->start(TMS::getNullDataMap()));
        }
    }
    static JOSC::OscSnapshotAttrib poisoned()
    {
        JOSC::OscSnapshotAttrib a;
        a.name = "stale name";
        a.title = "stale title";
        a.comment = "stale comment";
        a.attrib = JOSC::OscSnapshotAttrib::kAttribReserve;
        return a;
    }
    static std::string show(const JOSC::OscSnapshotAttrib& a)
    {
        return a.name + "|" + a.title + "|" + a.comment + "|" + a.attribToString();
    }

    TMS::TMSystem m_system;  // outlives the threads
    SceneMessageThread m_device;
    SceneMessageThread m_osc;
    LpcOscParameter m_provider;
};

}  // namespace

TEST_F(LpcOscParameterSnapshotTest, ScenesAreTheSnapshotsOfTheDevicesCategory)
{
    EXPECT_EQ(2u, m_provider.getSnapshotNum(kCategory));
    struct ByNumber {
        uint32_t number;
        const char* shown;
    };
    const ByNumber byNumber[] = {
        {0, "1|Intro|first|user"},
        {1, "2.5|Drums||user"},
        {2, "|||empty"},
        {999, "|||empty"},
    };
    for (const ByNumber& c : byNumber) {
        SCOPED_TRACE(c.number);
        JOSC::OscSnapshotAttrib a = poisoned();
        EXPECT_EQ(0u, m_provider.getSnapshotAttrib(a, kCategory, c.number));
        EXPECT_EQ(c.shown, show(a));
    }
    struct ByName {
        const char* name;
        const char* shown;
    };
    const ByName byName[] = {
        {"2.5", "2.5|Drums||user"},
        {"1", "1|Intro|first|user"},
        {"2.50", "|||empty"},  // numbers compare as whole texts
        {"", "|||empty"},
    };
    for (const ByName& c : byName) {
        SCOPED_TRACE(c.name);
        JOSC::OscSnapshotAttrib a = poisoned();
        EXPECT_EQ(0u, m_provider.getSnapshotAttrib(a, kCategory, std::string(c.name)));
        EXPECT_EQ(c.shown, show(a));
    }

    testing::internal::CaptureStdout();
    const JLIB::JResult recalled = m_list.recall("1", false, {});
    (void)testing::internal::GetCapturedStdout();
    ASSERT_TRUE(JLIB::isSuccess(recalled));
    std::string current = "stale";
    bool edited = true;
    ASSERT_EQ(0u, LPC::setEditFlag(false));
    EXPECT_EQ(0u, m_provider.getCurrentSnapshot(current, edited, kCategory));
    EXPECT_EQ("1", current);
    EXPECT_FALSE(edited);
    ASSERT_EQ(0u, LPC::setEditFlag(true));
    EXPECT_EQ(0u, m_provider.getCurrentSnapshot(current, edited, kCategory));
    EXPECT_EQ("1", current);
    EXPECT_TRUE(edited);

    // No last scene: the empty name, not edited.
    setText(LPC::CATEGORY_PDBTYPE_UZSETUP, LpcTest::kLast, 0, "");
    current = "stale";
    EXPECT_EQ(0u, m_provider.getCurrentSnapshot(current, edited, kCategory));
    EXPECT_EQ("", current);
    EXPECT_FALSE(edited);
}

TEST_F(LpcOscParameterSnapshotTest, RecallAndUpdateAreAskedOfTheDeviceControlThread)
{
    startThreads();
    EXPECT_EQ(0u, m_provider.recallSnapshot(4, kCategory, "2.5"));
    const std::string recall = "UZScene Recall Start 2.5 PROC:ParamSet/Vexalume [-] [-] 4";
    EXPECT_EQ(std::vector<std::string>{recall}, m_device.take(1));
    EXPECT_EQ(std::vector<std::string>{recall}, m_osc.take(1));

    EXPECT_EQ(0u, m_provider.updateSnapshot(6, kCategory, "7"));
    EXPECT_EQ(std::vector<std::string>{"UZScene Store Start 7 PROC:ParamSet/Vexalume [] [] 6"}, m_device.take(1));
    EXPECT_TRUE(m_osc.take(0).empty());
}

TEST_F(LpcOscParameterSnapshotTest, AnotherCategoryIsRefusedAndNothingIsPosted)
{
    startThreads();
    for (const char* other : {"PROC:ParamSet/Other", "proc:paramset/vexalume", ""}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(0u, m_provider.getSnapshotNum(other));
        JOSC::OscSnapshotAttrib a;
        EXPECT_EQ(0x80000004u, m_provider.getSnapshotAttrib(a, other, 0u));
        EXPECT_EQ(0x80000004u, m_provider.getSnapshotAttrib(a, other, std::string("1")));
        std::string current;
        bool edited = false;
        EXPECT_EQ(0x80000004u, m_provider.getCurrentSnapshot(current, edited, other));
        EXPECT_EQ(0x80000004u, m_provider.recallSnapshot(4, other, "1"));
        EXPECT_EQ(0x80000004u, m_provider.updateSnapshot(4, other, "1"));
    }
    // A marker shows that nothing arrived before it.
    EXPECT_EQ(0u, m_provider.updateSnapshot(1, kCategory, "marker"));
    EXPECT_EQ(std::vector<std::string>{"UZScene Store Start marker PROC:ParamSet/Vexalume [] [] 1"}, m_device.take(1));
    EXPECT_TRUE(m_osc.take(0).empty());
}
