#include "oswrap/oswrap_mailbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "OswrapTestSupport.h"

using oswraptest::ModuleScope;

namespace {

struct Letter {
    T_OSW_MSG link;
    int number;
};

T_OSW_MSG* const kPoison = reinterpret_cast<T_OSW_MSG*>(uintptr_t{0xA5A5A5A5});

}  // namespace

TEST(oswrap_mailboxTest, DeliversInSendOrderWithNullLinks)
{
    ModuleScope module;
    const T_OSW_CMBX cmbx{nullptr, 0, "post"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreMbx(&id, &cmbx));
    EXPECT_EQ(200u, id);
    EXPECT_EQ(0u, oswrap_IsMsgBoxEmpty(id));

    Letter letters[3] = {{{kPoison}, 1}, {{kPoison}, 2}, {{kPoison}, 3}};
    for (Letter& l : letters) ASSERT_EQ(0u, oswrap_SndMsg(id, &l.link));
    EXPECT_EQ(0x80000008u, oswrap_IsMsgBoxEmpty(id));

    for (int expected = 1; expected <= 3; ++expected) {
        SCOPED_TRACE(expected);
        T_OSW_MSG* msg = kPoison;
        // Messages already queued come at once, whatever the time-out.
        ASSERT_EQ(0u, oswrap_TrcvMsg(&msg, id, expected == 2 ? 0 : 1000));
        ASSERT_NE(nullptr, msg);
        EXPECT_EQ(expected, reinterpret_cast<Letter*>(msg)->number);
        EXPECT_EQ(nullptr, msg->pNext);
    }
    EXPECT_EQ(0u, oswrap_IsMsgBoxEmpty(id));

    // The queue ran empty, so the wait object is clear and a timed receive waits out its time.
    T_OSW_MSG* msg = kPoison;
    EXPECT_EQ(0x8000000Cu, oswrap_TrcvMsg(&msg, id, 20));
    EXPECT_EQ(kPoison, msg);
    EXPECT_EQ(0x8000000Cu, oswrap_TrcvMsg(&msg, id, 0));
    EXPECT_EQ(nullptr, msg);
}

TEST(oswrap_mailboxTest, TimedReceiveAfterTheLastMessageWaitsForTheNextSend)
{
    ModuleScope module;
    const T_OSW_CMBX cmbx{nullptr, 0, "post"};
    ASSERT_EQ(0u, oswrap_CreMbx(4, &cmbx));
    Letter first{{nullptr}, 1};
    Letter second{{nullptr}, 2};
    ASSERT_EQ(0u, oswrap_SndMsg(4, &first.link));
    T_OSW_MSG* msg = nullptr;
    ASSERT_EQ(0u, oswrap_TrcvMsg(&msg, 4, 0));
    EXPECT_EQ(&first.link, msg);

    std::atomic<long> tid{0};
    std::atomic<uint32_t> result{0xFFFFFFFF};
    std::atomic<T_OSW_MSG*> received{nullptr};
    std::thread receiver([&] {
        tid = oswraptest::currentTid();
        T_OSW_MSG* m = nullptr;
        result = oswrap_RcvMsg(&m, 4);
        received = m;
    });
    ASSERT_TRUE(oswraptest::waitUntilBlocked(tid));
    EXPECT_EQ(0xFFFFFFFFu, result.load());
    ASSERT_EQ(0u, oswrap_SndMsg(4, &second.link));
    receiver.join();
    EXPECT_EQ(0u, result.load());
    EXPECT_EQ(&second.link, received.load());
}

TEST(oswrap_mailboxTest, ChecksIdsStateAndArguments)
{
    ModuleScope module;
    const T_OSW_CMBX cmbx{nullptr, 0, "post"};
    Letter letter{{nullptr}, 1};
    T_OSW_MSG* msg = nullptr;

    struct Case { uint16_t id; uint32_t cre, snd, isr, rcv, del, empty; };
    const Case cases[] = {
        {0, 0x80000005, 0x80000006, 0x80000006, 0x80000006, 0x80000005, 0x80000008},
        {201, 0x80000005, 0x80000006, 0x80000006, 0x80000006, 0x80000005, 0x80000008},
        {100, 0x80000005, 0x80000007, 0x80000007, 0x80000007, 0x80000008, 0},
        {99, 0, 0, 0x80000002, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.cre, oswrap_CreMbx(c.id, &cmbx));
        EXPECT_EQ(c.snd, oswrap_SndMsg(c.id, &letter.link));
        EXPECT_EQ(c.isr, oswrap_SndMsgFromISR(c.id, &letter.link));
        EXPECT_EQ(c.rcv, oswrap_TrcvMsg(&msg, c.id, 0));
        EXPECT_EQ(c.del, oswrap_DelMbx(c.id));
        EXPECT_EQ(c.empty, oswrap_IsMsgBoxEmpty(c.id));
    }
    EXPECT_EQ(0x80000005u, oswrap_CreMbx(1, nullptr));
    EXPECT_EQ(0x80000005u, oswrap_AcreMbx(nullptr, &cmbx));
    ASSERT_EQ(0u, oswrap_CreMbx(1, &cmbx));
    EXPECT_EQ(0x80000008u, oswrap_CreMbx(1, &cmbx));
    EXPECT_EQ(0x80000005u, oswrap_SndMsg(1, nullptr));
    EXPECT_EQ(0x80000005u, oswrap_TrcvMsg(nullptr, 1, 0));

    // Deleting drops the queue; a new mailbox under the id starts empty.
    ASSERT_EQ(0u, oswrap_SndMsg(1, &letter.link));
    EXPECT_EQ(0u, oswrap_DelMbx(1));
    EXPECT_EQ(0x80000008u, oswrap_DelMbx(1));
    ASSERT_EQ(0u, oswrap_CreMbx(1, &cmbx));
    EXPECT_EQ(0u, oswrap_IsMsgBoxEmpty(1));
    EXPECT_EQ(0x8000000Cu, oswrap_TrcvMsg(&msg, 1, 10));
}

TEST(oswrap_mailboxTest, FindsCreatedMailboxesByTheirFirstNineCharacters)
{
    ModuleScope module;
    const T_OSW_CMBX named{nullptr, 0, "MailboxOne"};
    ASSERT_EQ(0u, oswrap_CreMbx(9, &named));
    struct Case { const char* name; uint32_t result; };
    const Case cases[] = {{"MailboxOn", 0}, {"MailboxOnly", 0}, {"Mailbox", 0x8000000E}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t id = 0xA5A5;
        EXPECT_EQ(c.result, oswrap_VinqMbx(&id, c.name));
        if (c.result == 0) {
            EXPECT_EQ(9u, id);
        }
    }
    uint16_t id = 0;
    EXPECT_EQ(0x80000005u, oswrap_VinqMbx(&id, nullptr));
    EXPECT_EQ(0x80000005u, oswrap_VinqMbx(nullptr, "x"));
}
