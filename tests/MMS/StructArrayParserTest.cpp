// Roots built from compiled-in tables into a recording field (the row walk, the counts, the
// readings and range checks of each row, and the codes that reach the caller) and into a real
// field (what the built root answers, and how the tree itself refuses a row).
#include <gtest/gtest.h>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_PrmAttrib.h"
#include "MMS/mms_StructArrayParser.h"
#include "RecordingField.h"

namespace {

using MMS::NodeStruct;
using MMS::StructArrayParser;
using MmsTreeTest::RecordingField;

NodeStruct col(const char* name, uint32_t size = 1) { return {name, size, 0, 0, nullptr, nullptr, nullptr, nullptr, ""}; }
NodeStruct prm(const char* name, uint32_t type, const char* mn, const char* mx, const char* def, const char* step,
               const char* unit = "")
{
    return {name, 1, 1, type, mn, mx, def, step, unit};
}

class StructArrayParserTest : public ::testing::Test {
protected:
    void SetUp() override { (void)MmsTest::heap1(); }
    StructArrayParser parser;
};

TEST_F(StructArrayParserTest, BuildsAFlatTree)
{
    const NodeStruct table[] = {
        col("Mix", 4),
        prm("gain", 0x002, "-100", "100", "0", "1", "dB"),
        prm("name", 0x201, nullptr, "8", "abc", nullptr, "unit_long"),
        col("Out"),
        prm("level", 0x104, "0", "0xFFFF", "10", "5"),
    };
    RecordingField field;
    EXPECT_EQ(parser.createMms(&field, "TheRootNameIsLongerThan23", 100, table, 5), 0u);
    EXPECT_EQ(field.rootName, "TheRootNameIsLongerThan");
    EXPECT_EQ(field.topName, field.rootName);
    EXPECT_EQ(field.counts[0], 3u);                      // two collections and the top
    EXPECT_EQ(field.counts[1], 3u);
    EXPECT_EQ(field.counts[2], (3u + 1) + (4 + 1) + (2 + 1));  // dB, "abc" and "unit" cut to 4
    EXPECT_EQ(field.calls.back(), "finishBuild");
    ASSERT_EQ(field.nodes.size(), 5u);
    EXPECT_EQ(field.node("Mix")->depth, 0u);
    EXPECT_EQ(field.node("Mix")->arraySize, 4u);
    const auto* gain = field.node("gain");
    EXPECT_EQ(gain->depth, 1u);
    EXPECT_EQ(gain->path, (std::vector<unsigned>{0}));
    EXPECT_EQ(gain->values[0].toInt32(), -100);
    EXPECT_EQ(gain->unit, "dB");
    EXPECT_EQ(gain->unitSize, 4u);
    EXPECT_EQ(gain->scaling, 1u);
    const auto* name = field.node("name");
    EXPECT_FALSE(name->has[0]);
    EXPECT_FALSE(name->has[3]);
    EXPECT_EQ(name->values[1].toUInt32(), 8u);
    EXPECT_STREQ(name->values[2].toString(), "abc");
    EXPECT_EQ(field.node("level")->path, (std::vector<unsigned>{3}));  // index of "Out"
    EXPECT_EQ(field.node("level")->unit, "(null)");
    EXPECT_EQ(field.node("level")->unitSize, 0u);
}

TEST_F(StructArrayParserTest, BuildsARootThatAnswersForTheTable)
{
    const NodeStruct table[] = {
        col("Mix", 4),
        prm("gain", 0x002, "-100", "100", "0", "1", "dB"),
        prm("name", 0x201, nullptr, "8", "abc", nullptr),
        col("Out"),
        prm("level", 0x104, "0", "0xFFFF", "10", "5"),
    };
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(parser.createMms(&field, "R", 1, table, 5), 0u);
    uint8_t status = 0;
    ASSERT_EQ(field.getStatus(&status), 0u);
    EXPECT_EQ(status, 2u);
    uint32_t collections = 0, parameters = 0;
    ASSERT_EQ(field.getNodeAddrNum(&collections, &parameters, "R"), 0u);
    EXPECT_EQ(collections, 3u);
    EXPECT_EQ(parameters, 3u);
    MMS::T_PRM_ATTRIB gain;
    ASSERT_EQ(field.getPrmAttrib(&gain, "R", "Mix/gain", 9), 0u);
    EXPECT_EQ(gain.minimum.toInt32(), -100);
    EXPECT_EQ(gain.maximum.toInt32(), 100);
    EXPECT_STREQ(gain.unit, "dB");
    JVariant value;
    const uint32_t last[2] = {3, 0};
    ASSERT_EQ(field.getPrm(&value, nullptr, "R", "Mix/name", 9, last, 2, 0, 0), 0u);
    EXPECT_STREQ(value.toString(), "abc");
    const uint32_t first[2] = {0, 0};
    ASSERT_EQ(field.getPrm(&value, nullptr, "R", "Out/level", 10, first, 2, 0, 0), 0u);
    EXPECT_EQ(value.toUInt32(), 10u);
}

// A parameter row before the first collection row addresses child 0 of the still empty top
// collection: the tree refuses it with its own code, which reaches the caller unchanged (the
// finishing of the root, which an empty root refuses, does not replace it).
TEST_F(StructArrayParserTest, ARowBeforeAnyCollectionIsRefusedByTheTree)
{
    const NodeStruct table[] = {prm("early", 0x004, "0", "1", "0", "1"), col("c"), prm("p", 0x004, "0", "1", "0", "1")};
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(parser.createMms(&field, "R", 1, table, 3), 0x80000006u);
    uint8_t status = 0;
    EXPECT_EQ(field.getRootStatus("R", &status), 0u);
    uint32_t nodes[5] = {}, depth = 0;
    EXPECT_NE(field.cnvStrToFastAddr(nodes, &depth, 5, "R", "c", 2), 0u);  // the walk stopped before it
}

// One parameter row under one collection: the code the row gives.
TEST_F(StructArrayParserTest, RowChecks)
{
    struct Case {
        NodeStruct row;
        uint32_t expected;
    };
    const Case cases[] = {
        {prm("p", 0x001, "200", "1", "1", "1"), 0x80010012u},           // int8 minimum out of range
        {prm("p", 0x002, "0", "32768", "1", "1"), 0x80010012u},         // int16 maximum out of range
        {prm("p", 0x002, "-32768", "32767", "0", "1"), 0},
        {prm("p", 0x101, "0", "256", "1", "1"), 0x80010012u},
        {prm("p", 0x102, "0", "65535", "1", "1"), 0},
        {prm("p", 0x101, "-1", "5", "1", "1"), 0x80010010u},            // signed reading for unsigned
        {prm("p", 0x004, "0", "10", "1", "0"), 0x80010012u},            // step 0
        {prm("p", 0x004, "0", "10", "1", "-1"), 0x80010010u},           // step as a signed reading
        {prm("p", 0x004, "1.5", "10", "1", "1"), 0x80010010u},          // real for int32
        {prm("p", 0x004, "x", "10", "1", "1"), 0x80010010u},            // not a number
        {prm("p", 0x004, "0", "10", nullptr, "1"), 0x80010010u},        // no default text
        {prm("p", 0x004, "0", "000000000000000000000010", "1", "1"), 0x80010010u},  // 24 characters
        {prm("p", 0x304, "0", "1", "1", "1"), 0x80010012u},             // float rows are refused
        {prm("p", 0x100, "0", "1", "1", "1"), 0x80010012u},             // so are bits
        {prm("p", 0x201, nullptr, "8", "abcdefghij", nullptr), 0x80010012u},  // default longer than the maximum
        {prm("p", 0x201, nullptr, "-8", "ab", nullptr), 0x80010010u},
        {prm("p", 0x201, nullptr, "x", "abc", nullptr), 0x80010012u},   // the default's refusal replaces it
        {prm("p", 0x201, nullptr, "8", nullptr, nullptr, nullptr), 0},  // a null unit is an empty one
    };
    for (const Case& c : cases) {
        const NodeStruct table[] = {col("c"), c.row};
        RecordingField field;
        EXPECT_EQ(parser.createMms(&field, "R", 1, table, 2), c.expected)
            << std::hex << c.row.type << " " << (c.row.minimum ? c.row.minimum : "-") << " " << (c.row.maximum ? c.row.maximum : "-")
            << " " << (c.row.step ? c.row.step : "-");
        EXPECT_EQ(field.node("p") != nullptr, c.expected == 0);
        EXPECT_TRUE(field.called("finishBuild"));  // the root is finished in every case
    }
}

TEST_F(StructArrayParserTest, WalkFaults)
{
    {  // the last row must be a parameter
        const NodeStruct table[] = {col("c"), prm("p", 0x004, "0", "1", "0", "1"), col("d")};
        RecordingField field;
        EXPECT_EQ(parser.createMms(&field, "R", 1, table, 3), 0x80010012u);
        EXPECT_TRUE(field.nodes.empty());
    }
    {  // two collections in a row: the first and what came before stay
        const NodeStruct table[] = {col("a"), prm("p", 0x004, "0", "1", "0", "1"), col("b"), col("c"),
                                    prm("q", 0x004, "0", "1", "0", "1")};
        RecordingField field;
        EXPECT_EQ(parser.createMms(&field, "R", 1, table, 5), 0x80010012u);
        EXPECT_EQ(field.nodes.size(), 3u);
        EXPECT_EQ(field.node("c"), nullptr);
        EXPECT_EQ(field.calls.back(), "finishBuild");
    }
    {  // rows that fail validation
        const NodeStruct noName[] = {col("c"), {nullptr, 1, 1, 0x004, "0", "1", "0", "1", ""}};
        const NodeStruct zeroSize[] = {col("c", 0), prm("p", 0x004, "0", "1", "0", "1")};
        RecordingField f1, f2;
        EXPECT_EQ(parser.createMms(&f1, "R", 1, noName, 2), 0x80010012u);
        EXPECT_EQ(parser.createMms(&f2, "R", 1, zeroSize, 2), 0x80010012u);
        EXPECT_TRUE(f2.nodes.empty());
    }
    {  // a parameter before any collection addresses collection 0; the tree's refusal stops the walk
        const NodeStruct table[] = {prm("early", 0x004, "0", "1", "0", "1"), col("c"), prm("p", 0x004, "0", "1", "0", "1")};
        RecordingField field;
        field.refuseNode = "early";  // answers 0x80000002, as a tree without child 0 would refuse it
        EXPECT_EQ(parser.createMms(&field, "R", 1, table, 3), 0x80010012u);
        ASSERT_EQ(field.calls.size(), 4u);
        EXPECT_EQ(field.calls[2], "addPrm early");
        EXPECT_EQ(field.calls.back(), "finishBuild");
    }
    {  // the field refuses to build or to finish
        const NodeStruct table[] = {col("c"), prm("p", 0x004, "0", "1", "0", "1")};
        RecordingField noStart;
        noStart.startResult = 0x80000004u;
        EXPECT_EQ(parser.createMms(&noStart, "R", 1, table, 2), 0x80010011u);
        EXPECT_FALSE(noStart.called("createRoot"));
        RecordingField noRoot;
        noRoot.createResult = 0x80000009u;
        EXPECT_EQ(parser.createMms(&noRoot, "R", 1, table, 2), 0x80010012u);
        EXPECT_TRUE(noRoot.called("finishBuild"));
        RecordingField noDefaults;
        noDefaults.endResult = 0x80000005u;
        EXPECT_EQ(parser.createMms(&noDefaults, "R", 1, table, 2), 0u);
        RecordingField failedFinish;
        failedFinish.endResult = 0x80000004u;
        EXPECT_EQ(parser.createMms(&failedFinish, "R", 1, table, 2), 0x80010011u);
    }
    RecordingField field;
    const NodeStruct table[] = {col("c"), prm("p", 0x004, "0", "1", "0", "1")};
    EXPECT_EQ(parser.createMms(nullptr, "R", 1, table, 2), 0x80010000u);
    EXPECT_EQ(parser.createMms(&field, "R", 0, table, 2), 0x80010000u);
    EXPECT_EQ(parser.createMms(&field, "R", 1, table, 0), 0x80010000u);
    EXPECT_TRUE(field.calls.empty());
}

TEST_F(StructArrayParserTest, TwoTables)
{
    const NodeStruct first[] = {col("a"), prm("p", 0x004, "0", "1", "0", "1")};
    const NodeStruct second[] = {col("b"), prm("q", 0x201, nullptr, "4", "xy", nullptr)};
    RecordingField field;
    EXPECT_EQ(parser.createMms(&field, "R", 1, first, 2, second, 2), 0u);
    EXPECT_EQ(field.counts[0], 3u);
    EXPECT_EQ(field.counts[1], 2u);
    EXPECT_EQ(field.counts[2], 3u);
    EXPECT_NE(field.node("q"), nullptr);
    // A failing first table keeps the second out.
    const NodeStruct bad[] = {col("a"), prm("p", 0x001, "999", "1", "0", "1")};
    RecordingField stopped;
    EXPECT_EQ(parser.createMms(&stopped, "R", 1, bad, 2, second, 2), 0x80010012u);
    EXPECT_EQ(stopped.node("b"), nullptr);
    EXPECT_EQ(parser.createMms(&stopped, "R", 1, first, 2, nullptr, 2), 0x80010000u);
}

TEST_F(StructArrayParserTest, CodesAndChecks)
{
    const uint32_t mapped[][2] = {{0x80000001u, 0x80010011u}, {0x80000003u, 0x80010011u}, {0x80000004u, 0x80010011u},
                                  {0x80000002u, 0x80010012u}, {0x80000008u, 0x80010012u}, {0x80000009u, 0x80010012u},
                                  {0x80000006u, 0x80000006u}, {0x80010010u, 0x80010010u}, {0x104u, 0x80010011u},
                                  {0, 0}};
    for (const auto& m : mapped) EXPECT_EQ(parser.toMmspError(m[0]), m[1]) << std::hex << m[0];

    unsigned c = 9, p = 9, s = 9;
    EXPECT_EQ(parser.countParams(nullptr, 1, &c, &p, &s), 0x80010000u);
    const NodeStruct rows[] = {col("a"), prm("p", 0x201, nullptr, "2", "abcdef", nullptr, nullptr), {"x", 1, 7, 0, nullptr, nullptr, nullptr, nullptr, nullptr}};
    EXPECT_EQ(parser.countParams(rows, 3, &c, &p, &s), 0u);
    EXPECT_EQ(c, 1u);
    EXPECT_EQ(p, 1u);
    EXPECT_EQ(s, 3u);  // the default counted up to the maximum 2, plus 1

    EXPECT_EQ(parser.validateNumericParameter(nullptr, 1, 0x004, false), 0x80010000u);
    const JVariant minus(-5);
    const JVariant zero(0u);
    EXPECT_EQ(parser.validateNumericParameter(&minus, 0, 0x002, false), 0u);
    EXPECT_EQ(parser.validateNumericParameter(&minus, 0, 0x002, true), 0x80010012u);
    EXPECT_EQ(parser.validateNumericParameter(&zero, 1, 0x104, true), 0x80010012u);
    EXPECT_EQ(parser.validateNumericParameter(&zero, 1, 0x201, false), 0x80010012u);
    EXPECT_FALSE(parser.validate(nullptr));
}

}  // namespace
