#include "PDB/pdb_ParameterStrategy.h"

#include <gtest/gtest.h>

namespace {

// The base hooks never touch the database, so a stand-in reference is enough.
alignas(64) unsigned char gNoDatabase[256];

}  // namespace

TEST(ParameterStrategyTest, NullStrategyPassesEverythingThrough)
{
    PDB::ParameterStrategy& strategy = PDB::ParameterStrategy::getNullObject();
    EXPECT_EQ(&strategy, &PDB::ParameterStrategy::getNullObject());
    PDB::IParameterDB& db = *reinterpret_cast<PDB::IParameterDB*>(gNoDatabase);
    PDB::ParameterInfo info;
    info.strAddress = "Level";
    PDB::ParameterInfo scratch;

    EXPECT_EQ(0u, strategy.initialize(db));
    JVariant value(7);
    EXPECT_EQ(0u, strategy.getParameterProxyProc(db, 1, 2, 3, 4, info, value));
    EXPECT_EQ(7, value.toInt32());
    EXPECT_EQ(0u, strategy.getDefaultValueProc(db, 1, 2, 3, 4, info, value));
    EXPECT_EQ(7, value.toInt32());
    EXPECT_EQ(&info, &strategy.getParameterInfoProxyProc(db, 1, 2, 3, 4, info, scratch));
    EXPECT_EQ("<unknown>", scratch.strAddress);
    EXPECT_TRUE(strategy.checkParameterProc(db, 1, 2, 3, 4, info, JVariant(1), JVariant(2), 0xFF, 0xFF).canSet());
    EXPECT_EQ(0u, strategy.linkParameterProc(db, 1, 2, 3, 4, info, JVariant(1), JVariant(2), 0xFF));
}

TEST(ParameterStrategyTest, CheckResultRefusalsSetTheTopBitAndTellThemselvesApart)
{
    using CR = PDB::ParameterStrategy::CheckResult;
    EXPECT_TRUE(CR().canSet());
    EXPECT_TRUE(CR(0x40).canSet());

    struct Case {
        CR (CR::*refuse)();
        uint32_t word;
        bool notExist, locked, denied, loopCut;
    };
    const Case cases[] = {
        {&CR::notExist, 0x80000001u, true, false, false, false},
        {&CR::locked, 0x80000002u, false, true, false, false},
        {&CR::accessDenied, 0x80000004u, false, false, true, false},
        {&CR::loopCut, 0x80000008u, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        CR result;
        const CR copy = (result.*c.refuse)();
        EXPECT_EQ(c.word, result.value());
        EXPECT_EQ(c.word, copy.value());
        EXPECT_FALSE(copy.canSet());
        EXPECT_EQ(c.notExist, copy.isNotExist());
        EXPECT_EQ(c.locked, copy.isLocked());
        EXPECT_EQ(c.denied, copy.isAccessDenied());
        EXPECT_EQ(c.loopCut, copy.isLoopCutter());
    }
    CR both;
    (void)both.locked();
    (void)both.loopCut();
    EXPECT_EQ(0x8000000Au, both.value());
    EXPECT_TRUE(both.isLocked());
    EXPECT_TRUE(both.isLoopCutter());
    EXPECT_FALSE(both.isNotExist());
}
