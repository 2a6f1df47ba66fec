#include "TMS/SystemInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TMS/SystemInfoLocalData.h"
#include "TMS/SystemInfoNodeStruct.h"
#include "TMS/TMSMutex.h"
#include "TMS/ThreadLogger.h"
#include "jlib/JVariantArray.h"

namespace {

const TMS::SystemInfoNodeStruct kRows[] = {
    {"PDBState", 1, 0, 1, "0", "4", "0"},
    {"Level", 1, 0, 1, "-10", "0x10", "-3"},
    {"Mask", 1, 0, 2, "0", "0xFFFFFFFF", "010"},
    {"Label", 1, 0, 3, "", "5", "abcdefgh"},
    {"Triple", 3, 0, 2, "1", "9", "2"},
};

// A table bound to a lock of its own, as a thread holds it.
struct Table {
    TMS::TMSMutex lock{"TMSThread"};
    TMS::SystemInfo info;
    Table() { EXPECT_EQ(0u, info.initialize(&lock)); }
    void declare() { ASSERT_EQ(0u, info.addParams(kRows, 5)); }
};

std::string text(const JVariant& v) { return v.toString() ? v.toString() : "<null>"; }

}  // namespace

TEST(SystemInfoTest, DeclaredRowsStartAtTheirDefaults)
{
    Table t;
    EXPECT_FALSE(t.info.isValid());
    t.declare();
    EXPECT_TRUE(t.info.isValid());

    struct Case { const char* name; uint32_t index; uint32_t result; int type; int32_t number; const char* text; };
    const Case cases[] = {
        {"PDBState", 0, 0, JVariant::kTypeInt32, 0, nullptr},
        {"Level", 0, 0, JVariant::kTypeInt32, -3, nullptr},
        {"Mask", 0, 0, JVariant::kTypeUInt32, 8, nullptr},  // base 0: a leading 0 is octal
        {"Label", 0, 0, JVariant::kTypeString, 0, "abcde"},  // cut to the maximum length
        {"Triple", 2, 0, JVariant::kTypeUInt32, 2, nullptr},
        {"Triple", 3, 0x80000009u, JVariant::kTypeInvalid, 0, nullptr},
        {"Unknown", 0, 0x80000009u, JVariant::kTypeInvalid, 0, nullptr},
        {nullptr, 0, 0x80000002u, JVariant::kTypeInvalid, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        JVariant value(12345);  // poisoned
        EXPECT_EQ(c.result, t.info.getParam(value, c.name, c.index));
        EXPECT_EQ(c.type, value.getType());
        if (c.text) {
            EXPECT_EQ(c.text, text(value));
        } else if (c.type != JVariant::kTypeInvalid) {
            EXPECT_EQ(c.number, value.toInt32());
        }
    }

    TMS::SystemInfoParamAttr attr;
    ASSERT_EQ(0u, t.info.getParamAttr(attr, "Level"));
    EXPECT_STREQ("Level", attr.name());
    EXPECT_EQ(16, attr.maximum().toInt32());
    EXPECT_EQ(-10, attr.minimum().toInt32());
    EXPECT_EQ(0x80000009u, t.info.getParamAttr(attr, "Unknown"));
    EXPECT_EQ(nullptr, attr.name());

    EXPECT_FALSE(t.info.isChanged("PDBState", 0, false));
    EXPECT_TRUE(t.info.isChanged("Unknown", 0, false));
    EXPECT_TRUE(t.info.isChanged("Triple", 3, false));
    EXPECT_FALSE(t.info.isChanged(nullptr, 0, false));
}

TEST(SystemInfoTest, DeclarationFailures)
{
    Table t;
    EXPECT_EQ(0x80000002u, t.info.addParams(nullptr, 3));
    EXPECT_EQ(0x80000002u, t.info.addParams(kRows, 0));

    const TMS::SystemInfoNodeStruct badType[] = {kRows[0], {"Bad", 1, 0, 0, "0", "1", "0"}, kRows[1]};
    EXPECT_EQ(0x80000002u, t.info.addParams(badType, 3));
    EXPECT_FALSE(t.info.isValid());  // no row of it may fail for the table to become valid
    t.declare();
    JVariant value;
    EXPECT_EQ(0x80000009u, t.info.getParam(value, "Bad", 0));

    ASSERT_EQ(0u, t.info.setParam("PDBState", 0, JVariant(3)));
    EXPECT_EQ(0u, t.info.addParams(kRows, 1));  // declared again: keeps its value
    ASSERT_EQ(0u, t.info.getParam(value, "PDBState", 0));
    EXPECT_EQ(3, value.toInt32());

    const TMS::SystemInfoNodeStruct empty[] = {{"Empty", 0, 0, 1, "0", "1", "0"}};
    EXPECT_EQ(0x80000004u, t.info.addParams(empty, 1));
    EXPECT_FALSE(t.info.isValid());
    EXPECT_EQ(0x80000000u, t.info.getParam(value, "PDBState", 0));

    TMS::SystemInfo unbound;
    EXPECT_EQ(0x80000004u, unbound.addParams(kRows, 5));
    EXPECT_EQ(0x80000004u, unbound.release());
}

TEST(SystemInfoTest, CheckedWriteClampsAndMarks)
{
    Table t;
    t.declare();
    struct Case { const char* name; JVariant value; uint32_t result; const char* stored; };
    const Case cases[] = {
        {"PDBState", JVariant(7), 0, "4"},
        {"PDBState", JVariant(-2), 0, "0"},
        {"PDBState", JVariant(2u), 0, "2"},
        {"Level", JVariant(0xFFFFFFFFu), 0, "-1"},  // the 32 bits as a signed number
        {"Mask", JVariant(-1), 0, "4294967295"},
        {"Mask", JVariant("5", 5), 0x80000002u, "8"},
        {"PDBState", JVariant(1.5f), 0x80000002u, "0"},
        {"Label", JVariant("xyzuvw", 100), 0, "xyzuv"},
        {"Label", JVariant(3), 0x80000002u, "abcde"},
        {"Unknown", JVariant(1), 0x80000009u, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Table fresh;
        fresh.declare();
        EXPECT_EQ(c.result, fresh.info.setParam(c.name, 0, c.value));
        if (!c.stored) continue;
        JVariant value;
        ASSERT_EQ(0u, fresh.info.getParam(value, c.name, 0));
        const std::string shown = value.getType() == JVariant::kTypeString ? text(value)
                                  : value.getType() == JVariant::kTypeInt32 ? std::to_string(value.toInt32())
                                                                            : std::to_string(value.toUInt32());
        EXPECT_EQ(c.stored, shown);
        EXPECT_EQ(JLIB::isSuccess(c.result), fresh.info.isChanged(c.name, 0, false));
    }

    EXPECT_EQ(0u, t.info.setParam("PDBState", 0, JVariant(0)));  // same value, still marked
    JVariant seen;
    EXPECT_TRUE(t.info.isChanged(seen, "PDBState", 0, true));
    EXPECT_EQ(0, seen.toInt32());
    EXPECT_FALSE(t.info.isChanged("PDBState", 0, true));

    EXPECT_EQ(0u, t.info.setParam("Label", 0, "hi"));
    EXPECT_EQ(0x80000002u, t.info.setParam(nullptr, 0, JVariant(1)));
    EXPECT_EQ(0x80000009u, t.info.setParam("PDBState", 1, JVariant(1)));
}

TEST(SystemInfoTest, ArrayWritesSkipIndexesBeyondTheCount)
{
    Table t;
    t.declare();
    const JVariant values[] = {JVariant(5u), JVariant(50u), JVariant(7u)};
    EXPECT_EQ(0u, t.info.setParamArray("Triple", 1, values, 3));  // index 3 skipped
    JVariant v;
    const uint32_t expected[] = {2, 5, 9};
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(0u, t.info.getParam(v, "Triple", i));
        EXPECT_EQ(expected[i], v.toUInt32()) << i;
    }
    EXPECT_EQ(0x80000009u, t.info.setParamArray("Triple", 3, values, 3));  // none ran
    EXPECT_EQ(0x80000009u, t.info.setParamArray("Unknown", 0, values, 3));
    EXPECT_EQ(0x80000002u, t.info.setParamArray("Triple", 0, nullptr, 3));
    const JVariant mixed[] = {JVariant(1u), JVariant("x", 1)};
    EXPECT_EQ(0x80000002u, t.info.setParamArray("Triple", 1, mixed, 2));  // the last write's result

    JVariantArray array(JVariant::kTypeUInt32, 4, 2);
    ASSERT_TRUE(JLIB::isSuccess(array.setValue(0, JVariant(3u))));
    ASSERT_TRUE(JLIB::isSuccess(array.setValue(1, JVariant(4u))));
    EXPECT_EQ(0u, t.info.setParamArray("Triple", 0, array));
    ASSERT_EQ(0u, t.info.getParam(v, "Triple", 1));
    EXPECT_EQ(4u, v.toUInt32());
}

TEST(SystemInfoTest, PendingChangesMergeUncheckedAndMarkOnlyRealChanges)
{
    Table t;
    t.declare();
    TMS::SystemInfoLocalData pending;
    ASSERT_EQ(0u, pending.setParam("PDBState", 0, JVariant(7)));  // beyond the range: kept
    ASSERT_EQ(0u, pending.setParam("Level", 0, JVariant(-3)));    // equal to the value held
    ASSERT_EQ(0u, pending.setParam("Nobody", 0, JVariant(1)));
    ASSERT_EQ(0u, pending.setParam("Triple", 5, JVariant(1u)));
    ASSERT_EQ(0u, pending.setParam("Mask", 0, JVariant(1.5f)));   // with its own type
    EXPECT_EQ(0x80000002u, t.info.overwrite(pending));
    JVariant v;
    ASSERT_EQ(0u, t.info.getParam(v, "PDBState", 0));
    EXPECT_EQ(7, v.toInt32());
    ASSERT_EQ(0u, t.info.getParam(v, "Mask", 0));
    EXPECT_EQ(JVariant::kTypeFloat, v.getType());
    EXPECT_TRUE(t.info.isChanged("PDBState", 0, false));
    EXPECT_FALSE(t.info.isChanged("Level", 0, false));
    EXPECT_TRUE(t.info.isValid());

    EXPECT_EQ(0u, t.info.clearDirty("PDBState"));
    EXPECT_FALSE(t.info.isChanged("PDBState", 0, false));
    EXPECT_TRUE(t.info.isChanged("Mask", 0, false));
    EXPECT_EQ(0u, t.info.clearDirty("Nobody"));
    EXPECT_EQ(0u, t.info.clearDirty());
    EXPECT_FALSE(t.info.isChanged("Mask", 0, false));
}

TEST(SystemInfoTest, TableMergeTakesOverTheOtherTable)
{
    Table parent;
    parent.declare();
    ASSERT_EQ(0u, parent.info.setParam("PDBState", 0, JVariant(2)));
    Table child;
    EXPECT_EQ(0u, child.info.overwrite(parent.info));  // all new: every element marked
    EXPECT_TRUE(child.info.isValid());
    JVariant v;
    ASSERT_EQ(0u, child.info.getParam(v, "PDBState", 0));
    EXPECT_EQ(2, v.toInt32());
    EXPECT_TRUE(child.info.isChanged("Triple", 2, false));
    ASSERT_EQ(0u, child.info.clearDirty());

    ASSERT_EQ(0u, parent.info.setParam("Triple", 1, JVariant(8u)));
    EXPECT_EQ(0u, child.info.overwrite(parent.info));
    EXPECT_TRUE(child.info.isChanged("Triple", 1, false));
    EXPECT_FALSE(child.info.isChanged("Triple", 0, false));
    EXPECT_FALSE(child.info.isChanged("PDBState", 0, false));

    EXPECT_EQ(0x80000002u, child.info.overwrite(child.info));
    Table empty;
    EXPECT_EQ(0x80000003u, child.info.overwrite(empty.info));
    TMS::SystemInfo unbound;
    EXPECT_EQ(0x80000004u, unbound.overwrite(parent.info));
}

TEST(SystemInfoTest, DifferentlyDeclaredParameterLeavesTheTableNotValid)
{
    Table parent;
    parent.declare();
    Table child;
    const TMS::SystemInfoNodeStruct other[] = {{"PDBState", 1, 0, 1, "0", "9", "0"}};
    ASSERT_EQ(0u, child.info.addParams(other, 1));
    EXPECT_EQ(0x80000002u, child.info.overwrite(parent.info));
    EXPECT_FALSE(child.info.isValid());
    JVariant v;
    EXPECT_EQ(0x80000000u, child.info.getParam(v, "Level", 0));
    EXPECT_FALSE(child.info.isChanged("Level", 0, false));

    Table fixed;
    fixed.declare();
    Table repaired;
    ASSERT_EQ(0u, repaired.info.overwrite(fixed.info));
    EXPECT_TRUE(repaired.info.isValid());
}

TEST(SystemInfoTest, OutputWritesMarkedLinesIntoTheRing)
{
    Table t;
    const TMS::SystemInfoNodeStruct rows[] = {
        {"Big", 20, 0, 2, "0", "0xFFFFFFFF", "4000000000"},
        {"PDBState", 1, 0, 1, "-5", "5", "-1"},
        {"Name", 1, 0, 3, "", "10", "dev"},
    };
    ASSERT_EQ(0u, t.info.addParams(rows, 3));
    ASSERT_EQ(0u, t.info.setParam("PDBState", 0, JVariant(1)));

    TMS::TMSMutex logLock;
    TMS::ThreadLogger log;
    ASSERT_EQ(0u, log.initialize(&logLock, "System", 10));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, t.info.output(true, &log));
    EXPECT_EQ("    [PDBState] = 1*\n", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(t.info.isChanged("PDBState", 0, false));  // output keeps the marks

    ASSERT_EQ(0u, log.clear());
    ASSERT_EQ(0u, t.info.setParam("Big", 9, JVariant(7u)));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, t.info.output(false, &log));
    (void)testing::internal::GetCapturedStdout();
    std::string eight;
    for (int i = 0; i < 8; ++i) eight += " 4000000000";
    const std::string pad(11, ' ');
    const std::vector<std::string> expected = {
        "    [Big] =" + eight + "\n",
        pad + " 4000000000 7* 4000000000 4000000000 4000000000 4000000000 4000000000 4000000000\n",
        pad + " 4000000000 4000000000 4000000000 4000000000\n",
        "    [Name] = \"dev\"\n",
        "    [PDBState] = 1*\n",
    };
    ASSERT_EQ(expected.size(), log.size());
    for (uint32_t i = 0; i < expected.size(); ++i) {
        char line[256];
        ASSERT_EQ(0u, log.get(i, line, sizeof line));
        EXPECT_EQ(expected[i], line) << i;
    }
    EXPECT_EQ(0u, t.info.output(false));  // no framework thread here: the lines are lost

    Table empty;
    EXPECT_EQ(0x80000000u, empty.info.output(false, &log));
}
