#include "editor/PacketContainer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/VDProtocolDefine.h"

using VDProtocol::PacketContainer;

TEST(PacketContainerTest, CommandSplitsAtEveryUnderscoreAndRebuilds)
{
    struct Case {
        const char* command;
        JLIB::JResult result;
        const char* type;
        const char* name;
        const char* rebuilt;
    };
    const Case cases[] = {
        {"set_prm_val", 0, "set", "prm_val", "set_prm_val"},
        {"getData_copy_paste", 0, "getData", "copy_paste", "getData_copy_paste"},
        {"set__prm_val", 0, "set", "prm_val", "set_prm_val"},    // empty pieces after the type go
        {"set_prm__val", 0, "set", "prm__val", "set_prm__val"},  // later ones stay
        {"set_", 0, "set", "", ""},
        {"_word", 0, "", "word", "word"},
        {"compile", 0x80000000u, "", "", ""},
        {"", 0x80000000u, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        PacketContainer packet;
        EXPECT_EQ(c.result, packet.initialize("request", c.command, "ed", "dev01", "7"));
        EXPECT_EQ(c.type, packet.commandType());
        EXPECT_EQ(c.name, packet.commandName());
        EXPECT_EQ(c.rebuilt, packet.getCommandString());
        EXPECT_EQ(c.rebuilt, packet.command());
        // A refused command still leaves the rest of the packet in place.
        EXPECT_EQ("request", packet.category());
        EXPECT_EQ("ed", packet.from());
        EXPECT_EQ("dev01", packet.to());
        EXPECT_EQ("7", packet.requestID());
    }
}

TEST(PacketContainerTest, RefusedCommandKeepsTheEarlierTypeAndName)
{
    PacketContainer packet;
    ASSERT_EQ(0u, packet.setCommandString("get_dev_info"));
    EXPECT_EQ(0x80000000u, packet.setCommandString("compile"));
    EXPECT_EQ("get", packet.commandType());
    EXPECT_EQ("dev_info", packet.commandName());
}

TEST(PacketContainerTest, InitializeClearsAndAbortIgnoresTheCommand)
{
    PacketContainer packet;
    ASSERT_EQ(0u, packet.initialize("request", "set_prm_val", "ed", "dev01", "1"));
    ASSERT_EQ(0u, packet.setResult(0, 100, "done"));
    VDProtocol::ArgumentMap map;
    ASSERT_EQ(0u, map.insert("x", 1));
    ASSERT_EQ(0u, packet.setCmndInfo(map));
    ASSERT_EQ(0u, packet.addCmndListItem(map));

    EXPECT_EQ(1u, packet.initialize("abort", "set_prm_val", nullptr, nullptr, "9"));
    EXPECT_EQ("abort", packet.category());
    EXPECT_EQ("9", packet.requestID());
    EXPECT_EQ("", packet.from());
    EXPECT_EQ("", packet.commandType());
    EXPECT_EQ("", packet.commandName());
    EXPECT_FALSE(packet.isResult());
    EXPECT_EQ("", packet.message());
    EXPECT_EQ(0u, packet.cmndInfoNum());
    EXPECT_EQ(0u, packet.cmndListNum());
}

TEST(PacketContainerTest, ResultTextsProgressCapAndUnknownCodes)
{
    struct Case {
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {VDevice::RESULT_OK, "ok"},
        {VDevice::RESULT_EXCUTING, "excuting"},
        {VDevice::RESULT_ABORTED, "aborted"},
        {VDevice::RESULT_FAILED, "ng"},
        {VDevice::RESULT_FAILED_UNKNOWN_COMMAND, "ng/unknown_cmd"},
        {VDevice::RESULT_FAILED_NOT_FOUND, "ng/not_found"},
        {VDevice::RESULT_FAILED_OUT_OF_RANGE, "ng/out_of_range"},
        {VDevice::RESULT_FAILED_DUPLICATE, "ng/duplicate"},
        {VDevice::RESULT_FAILED_MEMORY_SHORTAGE, "ng/memory_shortage"},
        {VDevice::RESULT_FAILED_FILE_SYSTEM, "ng/file_system"},
        {VDevice::RESULT_FAILED_LIMIT_OVER, "ng/limit_over"},
        {VDevice::RESULT_FAILED_TIME_OUT, "ng/timeout"},
        {VDevice::RESULT_FAILED_COMPATIBLE, "ng/compatible"},
        {VDevice::RESULT_FAILED_STATUS, "ng/device_status"},
        {VDevice::RESULT_FAILED_UNMATCHED_CONFIG, "ng/unmatched_config"},
        {VDevice::RESULT_FAILED_CAPACITY_OVER, "ng/capacity_over"},
        {0x8000000Fu, "ng"},  // outside the table: by the top bit
        {5, "ok"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PacketContainer packet;
        EXPECT_EQ(0u, packet.setResult(c.code, 50, ""));
        EXPECT_EQ(c.text, packet.resultToString());
    }
    EXPECT_EQ(16u, VDProtocol::RESULT_TABLE.size());

    PacketContainer packet;
    EXPECT_EQ("0", packet.progressToString());
    ASSERT_EQ(0u, packet.setResult(0, 250, "m"));
    EXPECT_TRUE(packet.isResult());
    EXPECT_EQ(100u, packet.progress());
    EXPECT_EQ("100", packet.progressToString());
    ASSERT_EQ(0u, packet.setResult(0, 7, "m"));
    EXPECT_EQ("7", packet.progressToString());
}

TEST(PacketContainerTest, CopiesAreDeepAndTheListKeepsItsOrder)
{
    PacketContainer packet;
    for (int i = 0; i < 3; ++i) {
        VDProtocol::ArgumentMap item;
        ASSERT_EQ(0u, item.insert("n", i));
        ASSERT_EQ(0u, packet.addCmndListItem(item));
    }
    const PacketContainer copy = packet;
    ASSERT_EQ(0u, packet.clearCmndList());
    EXPECT_EQ(0u, packet.cmndListNum());
    ASSERT_EQ(3u, copy.cmndListNum());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i, copy.cmndListItem(i).toInt32("n"));
    EXPECT_EQ(0u, copy.cmndListItem(3).size());  // past the end: an empty map, not a crash
}

TEST(PacketContainerTest, SplitStringKeepsEmptyPieces)
{
    using Pieces = std::vector<std::string>;
    EXPECT_EQ((Pieces{""}), VDProtocol::splitString("", "_"));
    EXPECT_EQ((Pieces{"abc"}), VDProtocol::splitString("abc", "_"));
    EXPECT_EQ((Pieces{"", "a", "", "b", ""}), VDProtocol::splitString("_a__b_", "_"));
    EXPECT_EQ((Pieces{"a", "b"}), VDProtocol::splitString("a::b", "::"));
}
