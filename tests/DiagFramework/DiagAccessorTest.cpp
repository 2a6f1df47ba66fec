#include "DiagFramework/diagfrwk_DiagAccessor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "DiagFramework/config/diagfrwk_Config.h"
#include "DiagFramework/diagfrwk_DiagCommand.h"
#include "DiagFramework/diagfrwk_DiagHooks.h"
#include "TMS/TMSystem.h"

namespace {

using DiagFramework::DiagAccessor;

TEST(DiagCommandTableTest, RowsAreNumberedByIndexAndEndWithTheTerminator)
{
    const DiagFramework::DIAG_COMMAND_INFO* table = DiagFramework::getDiagCommandInfoTable();
    std::set<std::string> names;
    int32_t lastCategory = 0;
    uint32_t row = 0;
    for (; table[row].commandName; ++row) {
        EXPECT_EQ(static_cast<int32_t>(row), table[row].commandId);
        EXPECT_TRUE(names.insert(table[row].commandName).second) << table[row].commandName;
        EXPECT_GE(table[row].category, lastCategory);  // grouped, in order
        EXPECT_LE(table[row].category, lastCategory + 1);
        lastCategory = table[row].category;
        EXPECT_NE(nullptr, table[row].destThreadName[0]);
        EXPECT_EQ(nullptr, table[row].destThreadName[3]);
    }
    EXPECT_EQ(137u, row);
    EXPECT_EQ(23, lastCategory);
    EXPECT_EQ(-1, table[row].commandId);
}

TEST(DiagAccessorTest, LookUpsTakePresetsFirstAndIgnoreCase)
{
    const struct {
        const char* name;
        int32_t id;
        int32_t category;
    } rows[] = {
        {"rtc", 10, 1},           {"VER_BOOT", 0, 0},        {"I2C_DISABLE", 136, 23},
        {"qc64d_det", 93, 16},    {"PIC_PORT", 43, 6},       {"ABORT", 0x7FFFFFFD, -2},
        {"diag_init", 0x7FFFFFFF, -2}, {"DIAG_START", 0x7FFFFFFE, -2}, {"DIAG_END", 0x7FFFFFFB, -2},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.id, DiagAccessor::getCommandId(r.name)) << r.name;
        EXPECT_EQ(r.category, DiagAccessor::getCommandCategory(r.id)) << r.name;
        ASSERT_NE(nullptr, DiagAccessor::getCommandName(r.id));
        EXPECT_TRUE(strcasecmp(r.name, DiagAccessor::getCommandName(r.id)) == 0) << r.name;
    }
    EXPECT_EQ(-1, DiagAccessor::getCommandId("NOPE"));
    EXPECT_EQ(-1, DiagAccessor::getCommandId("RTC "));
    EXPECT_EQ(-1, DiagAccessor::getCommandId(nullptr));
    for (int32_t id : {137, -1, 0x7FFFFFFC, -0x7FFFFFFF}) {
        EXPECT_EQ(nullptr, DiagAccessor::getCommandName(id)) << id;
        EXPECT_EQ(-1, DiagAccessor::getCommandCategory(id)) << id;
    }
}

TEST(DiagAccessorTest, SendsWithoutANameFail)
{
    TMS::TMSystem system;
    EXPECT_EQ(0x80000000u, DiagAccessor::sendDiagRequest(200));
    EXPECT_EQ(0x80000000u, DiagAccessor::sendDiagRequest(nullptr));
    EXPECT_EQ(0x80000000u, DiagAccessor::replyDiagResult(-5, 0, DiagFramework::DiagResult::kOk, "x"));
    EXPECT_EQ(0x80000000u, DiagAccessor::replyDiagResultByOtherThread(137, DiagFramework::DiagResult::kOk, "x"));
    EXPECT_EQ(0x80000000u, DiagAccessor::outputMessage(nullptr));
    EXPECT_EQ(0x80000000u, DiagFramework::sendDiagSeqRequestMessage(nullptr, "RTC", 0));
    EXPECT_EQ(0x80000000u, DiagFramework::sendDiagResultMessage("HUI", nullptr, 0, DiagFramework::DiagResult::kOk, ""));
}

TEST(DiagCommandTest, StepsResultsAndMessages)
{
    const DiagFramework::DIAG_COMMAND_INFO* picPort = &DiagFramework::getDiagCommandInfoTable()[43];
    DiagFramework::DiagCommand command(picPort);
    EXPECT_FALSE(command.isExecuting());
    command.startSequence();
    EXPECT_STREQ("DSP", command.destThreadId(-1));
    EXPECT_FALSE(command.isLastSequence());
    EXPECT_EQ(0u, command.setSequenceResult(DiagFramework::DiagResult::kOk, "a"));
    EXPECT_EQ(0u, command.proceedSequence());
    EXPECT_STREQ("RecPlay", command.destThreadId(-1));
    EXPECT_EQ(0u, command.setSequenceResult(DiagFramework::DiagResult::kNotProcessed, nullptr));
    EXPECT_EQ(0u, command.proceedSequence());
    EXPECT_TRUE(command.isLastSequence());
    EXPECT_EQ(0u, command.setSequenceResult(DiagFramework::DiagResult::kOk, "c"));
    EXPECT_EQ(DiagFramework::DiagResult::kNg, command.diagResult());  // "not processed" has not passed
    EXPECT_EQ("a c", command.messageStr());
    EXPECT_EQ(nullptr, command.destThreadId(4));
    EXPECT_EQ(0u, command.proceedSequence());
    EXPECT_EQ(0u, command.proceedSequence());  // to 4
    EXPECT_EQ(0x80000000u, command.proceedSequence());
    EXPECT_EQ(0x80000000u, command.setSequenceResult(DiagFramework::DiagResult::kOk, "d"));
    command.startSequence();
    EXPECT_EQ(DiagFramework::DiagResult::kOk, command.diagResult());
    EXPECT_EQ("", command.messageStr());

    DiagFramework::DiagCommand rowless(nullptr);
    EXPECT_EQ(0, rowless.category());
    EXPECT_EQ(0x80000000u, DiagFramework::onCurrentDiagCommandChanged(rowless));  // no id
}

}  // namespace
