#include "editor/CommandContainer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "TMS/TMSystem.h"
#include "oswrap/oswrap_time.h"

using VDProtocol::CommandContainer;
using VDProtocol::CommandItem;
using VDProtocol::PacketContainer;

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

PacketContainer request(const char* command, const char* requestId)
{
    PacketContainer packet;
    (void)packet.initialize("request", command, "ed", "dev01", requestId);
    return packet;
}

uint32_t now()
{
    uint32_t count = 0;
    EXPECT_EQ(0u, oswrap_Get1msCount(&count));
    return count;
}

// The lock "VDProcContainer" needs the framework.
class CommandContainerTest : public testing::Test {
protected:
    TMS::TMSystem m_system;
    CommandContainer m_container;
};

}  // namespace

TEST_F(CommandContainerTest, IdsComeFromTheClockAndCountUpPastIdsInUse)
{
    uint32_t previous = 0;
    std::set<uint32_t> ids;
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        const uint32_t before = now();
        uint32_t id = 0;
        ASSERT_EQ(0u, m_container.addCommand(id, request("set_compile", std::to_string(i).c_str())));
        const uint32_t after = now();
        // The clock's value at the call, or the next free id after the ones taken in the same
        // millisecond.
        if (i > 0) {
            EXPECT_GE(id, std::max(before, previous + 1));
            EXPECT_LE(id, std::max(after, previous + 1));
        }
        EXPECT_TRUE(ids.insert(id).second);
        previous = id;
    }
    uint32_t id = 0x5A5A5A5A;
    EXPECT_EQ(kFailed, m_container.addCommand(id, request("set_compile", "100")));  // the 101st
    EXPECT_EQ(0x5A5A5A5Au, id);
    EXPECT_EQ(0u, m_container.takeCommand(*ids.begin()));
    EXPECT_EQ(0u, m_container.addCommand(id, request("set_compile", "100")));
    EXPECT_EQ(100u, m_container.size());
}

TEST_F(CommandContainerTest, RequestsWithoutIdOrNameAreRefused)
{
    uint32_t id = 0x5A5A5A5A;
    EXPECT_EQ(kFailed, m_container.addCommand(id, request("set_compile", "")));
    EXPECT_EQ(kFailed, m_container.addCommand(id, request("set_", "1")));
    EXPECT_EQ(kFailed, m_container.addCommand(id, request("compile", "1")));
    EXPECT_EQ(0x5A5A5A5Au, id);
    EXPECT_EQ(0u, m_container.size());
}

TEST_F(CommandContainerTest, LookupsGiveTheLowestMatchingId)
{
    uint32_t first = 0;
    uint32_t other = 0;
    uint32_t second = 0;
    ASSERT_EQ(0u, m_container.addCommand(first, request("set_compile", "1")));
    ASSERT_EQ(0u, m_container.addCommand(other, request("add_cpt_info", "2")));
    ASSERT_EQ(0u, m_container.addCommand(second, request("set_compile", "3")));
    ASSERT_EQ(0u, m_container.addSubItem(second, "Compiler"));

    uint32_t id = 0;
    EXPECT_EQ(0u, m_container.findCommand(id, "compile"));
    EXPECT_EQ(first, id);
    EXPECT_EQ(0u, m_container.findCommand(id, "compile", "Compiler"));
    EXPECT_EQ(second, id);
    id = 0x5A5A5A5A;
    EXPECT_EQ(kFailed, m_container.findCommand(id, "cpt_info", "Compiler"));
    EXPECT_EQ(kFailed, m_container.findCommand(id, "sync_device"));
    EXPECT_EQ(0x5A5A5A5Au, id);

    std::string name;
    EXPECT_EQ(0u, m_container.getRequestCommand(id, name, "2"));
    EXPECT_EQ(other, id);
    EXPECT_EQ("cpt_info", name);
    EXPECT_EQ(kFailed, m_container.getRequestCommand(id, name, "9"));

    EXPECT_EQ("3", m_container.getPacketContainer(second).requestID());
    const PacketContainer missing = m_container.getPacketContainer(0xFFFFFFFFu);
    EXPECT_EQ("", missing.category());
    EXPECT_EQ("", missing.command());
    EXPECT_EQ("", missing.requestID());

    EXPECT_EQ(0u, m_container.takeCommand(first));
    EXPECT_EQ(0u, m_container.takeCommand(first));  // gone already: still 0
    EXPECT_EQ(0u, m_container.findCommand(id, "compile"));
    EXPECT_EQ(second, id);
}

TEST_F(CommandContainerTest, ItemIsExecutingUntilEveryPartHasAnswered)
{
    uint32_t id = 0;
    ASSERT_EQ(0u, m_container.addCommand(id, request("set_sync_device", "1")));
    EXPECT_TRUE(m_container.isCommandExec(id));  // no parts yet
    ASSERT_EQ(0u, m_container.addSubItem(id, "a"));
    ASSERT_EQ(0u, m_container.addSubItem(id, "b"));
    ASSERT_EQ(0u, m_container.setSubItemStatus(id, "b", 0));
    EXPECT_TRUE(m_container.isCommandExec(id));
    ASSERT_EQ(0u, m_container.setSubItemStatus(id, "a", 0x80000000));
    EXPECT_FALSE(m_container.isCommandExec(id));

    EXPECT_EQ(kFailed, m_container.setSubItemStatus(id, "never", 0));
    EXPECT_EQ(kFailed, m_container.addSubItem(id + 1, "a"));
    EXPECT_EQ(kFailed, m_container.setSubItemStatus(id + 1, "a", 0));
    EXPECT_FALSE(m_container.isCommandExec(id + 1));
}

TEST(CommandItemTest, PartsStartExecutingAndUnknownPartsReadMinusOne)
{
    CommandItem item(request("set_compile", "4"), 77);
    EXPECT_EQ(77u, item.id());
    EXPECT_EQ("compile", item.commandName());
    EXPECT_EQ("4", item.requestID());
    EXPECT_EQ(-1, item.subItemStatus("x"));
    EXPECT_EQ(0u, item.addSubItem("x"));
    EXPECT_EQ(1, item.subItemStatus("x"));
    EXPECT_EQ(0u, item.setSubItemStatus("x", 5));
    EXPECT_FALSE(item.isCommandExec());
    EXPECT_EQ(0u, item.addSubItem("x"));  // added again: executing again
    EXPECT_TRUE(item.isCommandExec());

    const CommandItem copy = item;
    EXPECT_EQ(0u, item.setSubItemStatus("x", 0));
    EXPECT_EQ(1, copy.subItemStatus("x"));
    EXPECT_EQ("set_compile", copy.getPacketContainer().command());
}
