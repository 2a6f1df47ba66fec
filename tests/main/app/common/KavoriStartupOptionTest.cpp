#include "common/KavoriStartupOption.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(KavoriStartupOptionTest, ReadsTheNumberAfterDashCAndTheUpdatedFlag)
{
    struct Case {
        std::vector<const char*> args;
        int c;
        uint32_t updated;
        bool logged;
    };
    const Case cases[] = {
        {{"engine", "-c", "12", "--updated"}, 12, 1, false},
        {{"engine", "-c", "-7"}, -7, 0, false},
        {{"engine", "-c", "abc"}, 0, 0, false},
        {{"engine", "--updated", "-c"}, 0, 1, true},
        {{"engine", "-c", "3", "-c", "99999999999"}, 0, 0, false},
        {{"engine", "-C", "5", "updated", "--updated=1"}, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size());
        KAVORI::KavoriStartupOption options;
        testing::internal::CaptureStdout();
        EXPECT_EQ(0u, options.set(static_cast<int>(c.args.size()), c.args.data()));
        std::fflush(stdout);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(c.logged, out.find("[E] Invalid \"-c\" Option value\n") != std::string::npos) << out;
        const JVariant value = options.get(KAVORI::KavoriStartupOption::OPTION_C);
        EXPECT_EQ(JVariant::kTypeInt32, value.getType());
        EXPECT_EQ(c.c, value.toInt32());
        EXPECT_EQ(c.updated, options.get(KAVORI::KavoriStartupOption::OPTION_UPDATED).toUInt32());
        EXPECT_EQ(0, options.get(2).toInt32());
    }
}

TEST(KavoriStartupOptionTest, ClassifiesArgumentsAndRefusesAMissingVector)
{
    EXPECT_EQ(0u, KAVORI::KavoriStartupOption::parse("-c"));
    EXPECT_EQ(1u, KAVORI::KavoriStartupOption::parse("--updated"));
    EXPECT_EQ(2u, KAVORI::KavoriStartupOption::parse("-c "));
    EXPECT_EQ(2u, KAVORI::KavoriStartupOption::parse(nullptr));
    KAVORI::KavoriStartupOption options;
    EXPECT_EQ(0x80000000u, options.set(2, nullptr));
    EXPECT_EQ(0u, options.set(1, nullptr));
}
