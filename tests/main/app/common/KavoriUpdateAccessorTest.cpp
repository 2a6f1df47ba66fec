#include "common/KavoriUpdateAccessor.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "TMS/TMSystem.h"
#include "main/app/common/KavoriTreeTestSupport.h"

namespace {

using namespace std::chrono_literals;
using KAVORI::KavoriUpdateAccessor;
using TmsTest::waitFor;

// A receiver thread ("HUI" or "SlotControl") that keeps a copy of every user message.
class Receiver : public TmsTest::RecordingThread {
public:
    Receiver() : Recording(1)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_messages.push_back(message);
        };
    }
    ~Receiver() override
    {
        if (getTaskId() != kNoId) (void)release();
    }
    std::vector<TMS::AbstractMessage> messages() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    size_t count() const { return messages().size(); }

private:
    mutable std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_messages;
};

std::string text(const TMS::AbstractMessage& message, const char* key)
{
    const JVariant& value = message.data(key);
    return value.getType() == JVariant::kTypeString ? value.toString() : "<not a text>";
}

TEST(KavoriUpdateNamesTest, TargetAndStatusNamesAndTheTransitionTable)
{
    EXPECT_STREQ("MAIN", KAVORI::getTargetName(0));
    EXPECT_STREQ("CARD", KAVORI::getTargetName(3));
    EXPECT_STREQ("", KAVORI::getTargetName(4));
    EXPECT_STREQ("", KAVORI::getTargetName(5));
    EXPECT_STREQ("WaitReady", KAVORI::getStatusName(2));
    EXPECT_STREQ("EndAbort", KAVORI::getStatusName(8));
    EXPECT_STREQ("", KAVORI::getStatusName(9));

    // Rows: from; columns: to.
    const char* const allowed[9] = {"011101000", "000000000", "000100001", "000010001", "000001111",
                                    "000000000", "001100000", "000000000", "000000000"};
    for (uint32_t from = 0; from < 10; ++from) {
        for (uint32_t to = 0; to < 10; ++to) {
            const bool expected = from < 9 && to < 9 && allowed[from][to] == '1';
            EXPECT_EQ(expected, KavoriUpdateAccessor::canChangeStatus(from, to)) << from << " to " << to;
        }
    }
}

TEST(KavoriUpdateLookupTest, TargetsAreFoundByNumberByTextPrefixAndByMessage)
{
    TMS::TMSystem system;
    ASSERT_EQ(0u, KAVORI::initializeKavoriUpdate());
    EXPECT_EQ(KAVORI::g_AccessorTable[1], &KavoriUpdateAccessor::get(1u));
    EXPECT_EQ(KAVORI::g_pNullAccessor, &KavoriUpdateAccessor::get(5u));
    EXPECT_EQ(KAVORI::g_pNullAccessor, &KavoriUpdateAccessor::get(77u));
    EXPECT_FALSE(KavoriUpdateAccessor::get(5u).isValid());
    EXPECT_TRUE(KavoriUpdateAccessor::get(4u).isValid());

    struct Case {
        const char* text;
        uint32_t target;
    };
    const Case cases[] = {{"MAIN", 0}, {"PNFDC", 1}, {"PNFDC-board 2", 1}, {"PIC", 2}, {"CARDS", 3},
                          {"PNF", 5},  {"main", 5},  {"", 5},               {nullptr, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "null");
        EXPECT_EQ(c.target, KavoriUpdateAccessor::get(c.text).getTargetType());
    }
    EXPECT_EQ(KAVORI::UPDATE_TARGET_PIC, KavoriUpdateAccessor::get(JVariant("PIC", 3)).getTargetType());
    EXPECT_EQ(KAVORI::UPDATE_TARGET_NULL, KavoriUpdateAccessor::get(JVariant(2u)).getTargetType());
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));
    ASSERT_EQ(0u, message.addData("Target", "CARD"));
    EXPECT_EQ(KAVORI::UPDATE_TARGET_CARD, KavoriUpdateAccessor::get(message).getTargetType());

    // A new initialisation replaces the accessors with fresh ones.
    ASSERT_EQ(0u, KavoriUpdateAccessor::get(0u).setStatus(3));
    ASSERT_EQ(0u, KAVORI::initializeKavoriUpdate());
    EXPECT_EQ(KAVORI::UPDATE_STATUS_INVALID, KavoriUpdateAccessor::get(0u).getStatus());
    EXPECT_EQ(0u, KAVORI::finalizeKavoriUpdate());
    EXPECT_EQ(nullptr, KAVORI::g_pNullAccessor);
}

// A tree of the test whose "Updater" thread calls the accessors, with "HUI" and "SlotControl"
// threads outside it that the test starts when it wants them to receive.
class KavoriUpdateAccessorTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, KAVORI::initializeKavoriUpdate());
        ASSERT_TRUE(TmsTest::setUpThread(m_updater, "Updater", 1));
        m_root.adopt(m_updater);
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System"));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitFor([&] { return m_updater.getStatus() == TMS::kStatusRun; }, 5s));
    }
    void TearDown() override
    {
        (void)m_root.release();
        (void)KAVORI::finalizeKavoriUpdate();
    }
    // A receiver of that name, running unless only set up.
    Receiver& receiver(const char* name, bool running = true)
    {
        m_receivers.push_back(std::make_unique<Receiver>());
        Receiver& thread = *m_receivers.back();
        EXPECT_TRUE(TmsTest::setUpThread(thread, name));
        if (running) EXPECT_EQ(0u, thread.start(TMS::getNullDataMap()));
        return thread;
    }
    void enterUpdateMode() { ASSERT_TRUE(m_updater.publish({{"RunMode", 3}})); }
    // Runs the call on the "Updater" thread; its result.
    JLIB::JResult on(const std::function<JLIB::JResult()>& call)
    {
        JLIB::JResult result = 0x5A5A5A5A;
        EXPECT_TRUE(m_updater.run([&](KavoriTreeTest::JobThread&) { result = call(); }));
        return result;
    }
    KavoriUpdateAccessor& main() { return KavoriUpdateAccessor::get("MAIN"); }

    TMS::TMSystem m_system;  // first: outlives the threads
    std::vector<std::unique_ptr<Receiver>> m_receivers;
    KavoriTreeTest::JobThread m_updater;
    KavoriTreeTest::Root m_root;
};

TEST_F(KavoriUpdateAccessorTest, OutsideUpdateModeValuesAreKeptAndNothingIsSent)
{
    Receiver& hui = receiver("HUI");
    EXPECT_EQ(0u, on([&] { return main().setProgress(3, 10); }));
    EXPECT_EQ(0u, on([&] { return main().setStatus(2); }));
    EXPECT_EQ(0u, on([&] { return main().setAbortEnable(true); }));
    EXPECT_EQ(0u, on([&] { return main().setError(JVariant(7u)); }));
    EXPECT_EQ(3u, main().getNumerator());
    EXPECT_EQ(10u, main().getDenominator());
    EXPECT_EQ(KAVORI::UPDATE_STATUS_WAIT_READY, main().getStatus());
    EXPECT_TRUE(main().isAbortEnable());
    EXPECT_EQ(7u, main().getLastError().toUInt32());
    EXPECT_EQ(0u, hui.count());

    // Refusals change nothing.
    EXPECT_EQ(0x80000000u, on([&] { return main().setStatus(4); }));  // 2 may go to 3 or 8 only
    EXPECT_EQ(0x80000000u, on([&] { return main().setStatus(9); }));
    EXPECT_EQ(0x80000000u, on([&] { return main().setError(JVariant()); }));
    EXPECT_EQ(KAVORI::UPDATE_STATUS_WAIT_READY, main().getStatus());
    EXPECT_EQ(7u, main().getLastError().toUInt32());
    EXPECT_EQ(0x80000000u, on([] { return KavoriUpdateAccessor::get(1u).setStatus(4); }));  // 0 to 4

    // Requests: outside update mode refused unless only queued.
    EXPECT_EQ(0x80000000u, on([&] { return main().requestStart(false); }));
    EXPECT_EQ(1u, on([&] { return main().requestStart(true); }));
    EXPECT_EQ(1u, on([&] { return main().requestAbort(true); }));
    EXPECT_EQ(2u, main().pendingCount());
}

TEST_F(KavoriUpdateAccessorTest, InUpdateModeEveryChangeReachesThePanel)
{
    Receiver& hui = receiver("HUI");
    Receiver& slot = receiver("SlotControl");
    enterUpdateMode();
    EXPECT_EQ(0u, on([&] { return main().setProgress(1, 10); }));
    EXPECT_EQ(0u, on([&] { return main().setProgress(1, 10); }));  // unchanged: no message
    EXPECT_EQ(0u, on([&] { return main().setStatus(3); }));
    EXPECT_EQ(0u, on([&] { return main().setAbortEnable(true); }));
    EXPECT_EQ(0u, on([&] { return main().setAbortEnable(true); }));  // unchanged
    EXPECT_EQ(0u, on([&] { return main().setError(JVariant(-5)); }));
    EXPECT_EQ(0u, on([&] { return main().setError(JVariant("bad crc", 7)); }));
    ASSERT_TRUE(waitFor([&] { return hui.count() == 5; }, 5s));
    const std::vector<TMS::AbstractMessage> got = hui.messages();
    for (const TMS::AbstractMessage& message : got) {
        EXPECT_EQ(0x20000001u, message.messageId());
        EXPECT_EQ("MAIN", text(message, "Target"));
    }
    EXPECT_EQ("Progress", text(got[0], "CommandName"));
    EXPECT_EQ(1u, got[0].data("Numerator").toUInt32());
    EXPECT_EQ(10u, got[0].data("Denominator").toUInt32());
    EXPECT_EQ("Status", text(got[1], "CommandName"));
    EXPECT_EQ("Invalid", text(got[1], "Prev"));
    EXPECT_EQ("Ready", text(got[1], "Current"));
    EXPECT_EQ("Enable", text(got[2], "CommandName"));
    EXPECT_EQ("Abort", text(got[2], "Type"));
    EXPECT_EQ("Enable", text(got[2], "Value"));
    EXPECT_EQ("Error", text(got[3], "CommandName"));
    EXPECT_EQ(JVariant::kTypeInt32, got[3].data("Reason").getType());
    EXPECT_EQ(-5, got[3].data("Reason").toInt32());
    EXPECT_EQ("bad crc", text(got[4], "Reason"));

    EXPECT_EQ(0u, on([&] { return main().requestAbort(false); }));
    ASSERT_TRUE(waitFor([&] { return slot.count() == 1; }, 5s));
    EXPECT_EQ(0x20000000u, slot.messages()[0].messageId());
    EXPECT_EQ("Request", text(slot.messages()[0], "CommandName"));
    EXPECT_EQ("Abort", text(slot.messages()[0], "Type"));
    EXPECT_EQ(1u, on([&] { return main().requestStart(true); }));  // queued even in update mode
    EXPECT_EQ(1u, main().pendingCount());
}

TEST_F(KavoriUpdateAccessorTest, UpdateModeEndsWhenTheLastTargetSucceeds)
{
    (void)receiver("HUI");
    enterUpdateMode();
    KavoriUpdateAccessor& pnfdc = KavoriUpdateAccessor::get("PNFDC");
    for (KavoriUpdateAccessor* accessor : {&main(), &pnfdc}) {
        EXPECT_EQ(0u, on([&] { return accessor->setStatus(3); }));
        EXPECT_EQ(0u, on([&] { return accessor->setStatus(4); }));
    }
    EXPECT_EQ(0u, on([] { return KavoriUpdateAccessor::get("CARD").setStatus(1); }));
    EXPECT_EQ(0u, on([&] { return main().setStatus(5); }));
    EXPECT_EQ(3u, m_updater.read("RunMode"));  // "PNFDC" is still updating
    EXPECT_EQ(0u, on([&] { return pnfdc.setStatus(5); }));
    // The earlier flush of 3 may still come back through the root before this one.
    EXPECT_TRUE(waitFor([&] { return m_updater.read("RunMode") == 0; }, 5s));
}

TEST_F(KavoriUpdateAccessorTest, QueuedMessagesAreSentOnePerTargetAndCall)
{
    Receiver& slot = receiver("SlotControl");
    EXPECT_EQ(1u, on([&] { return main().requestStart(true); }));
    EXPECT_EQ(1u, on([&] { return main().requestAbort(true); }));
    EXPECT_EQ(1u, on([] { return KavoriUpdateAccessor::get("PIC").requestStart(true); }));
    EXPECT_EQ(0u, KAVORI::cyclicProcessKavoriUpdate());
    EXPECT_EQ(1u, main().pendingCount());
    EXPECT_EQ(0u, KavoriUpdateAccessor::get("PIC").pendingCount());
    EXPECT_EQ(0u, KAVORI::cyclicProcessKavoriUpdate());
    EXPECT_EQ(0u, main().pendingCount());
    EXPECT_EQ(0u, KAVORI::cyclicProcessKavoriUpdate());  // nothing left: nothing happens
    ASSERT_TRUE(waitFor([&] { return slot.count() == 3; }, 5s));
    const std::vector<TMS::AbstractMessage> got = slot.messages();
    EXPECT_EQ("Start", text(got[0], "Type"));
    EXPECT_EQ("MAIN", text(got[0], "Target"));
    EXPECT_EQ("PIC", text(got[1], "Target"));
    EXPECT_EQ("Abort", text(got[2], "Type"));
}

TEST_F(KavoriUpdateAccessorTest, MessageThePanelCannotTakeIsQueuedAndRetried)
{
    // The panel is stuck in a handler with its one queue place taken: a send gives up after its
    // retries (about 10 s).
    Receiver& hui = receiver("HUI");
    hui.messageGate.close();
    TMS::AbstractMessage filler;
    ASSERT_EQ(0u, filler.initialize(TMS::kMessageUser, 1));
    ASSERT_EQ(0u, filler.send(hui));
    ASSERT_TRUE(waitFor([&] { return hui.messageGate.isWaiting(); }, 5s));
    ASSERT_EQ(0u, filler.send(hui));
    enterUpdateMode();
    EXPECT_EQ(1u, on([&] { return main().setProgress(2, 4); }));
    EXPECT_EQ(2u, main().getNumerator());  // the value is kept all the same
    EXPECT_EQ(1u, main().pendingCount());

    hui.messageGate.open();
    ASSERT_TRUE(waitFor([&] { return hui.count() == 2; }, 5s));
    EXPECT_EQ(0u, KAVORI::cyclicProcessKavoriUpdate());
    EXPECT_EQ(0u, main().pendingCount());
    ASSERT_TRUE(waitFor([&] { return hui.count() == 3; }, 5s));
    EXPECT_EQ("Progress", text(hui.messages()[2], "CommandName"));
    EXPECT_EQ(2u, hui.messages()[2].data("Numerator").toUInt32());
}

TEST_F(KavoriUpdateAccessorTest, MissingReceiverInUpdateModeIsLoggedAndTheMessageDropped)
{
    enterUpdateMode();
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, on([&] { return main().setProgress(1, 2); }));
    EXPECT_EQ(0x80000000u, on([&] { return main().requestStart(false); }));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos,
              out.find("[E] KavoriUpdateAccessor::setProgress - No thread 'HUI' for target 'MAIN', message dropped!\n"))
        << out;
    EXPECT_NE(std::string::npos,
              out.find("[E] KavoriUpdateAccessor::request - No thread 'SlotControl' for target 'MAIN', message dropped!\n"))
        << out;
    EXPECT_EQ(1u, main().getNumerator());
    EXPECT_EQ(0u, main().pendingCount());

    // A queued message whose receiver is gone is dropped by the retry.
    EXPECT_EQ(1u, on([&] { return main().requestStart(true); }));
    EXPECT_EQ(0u, KAVORI::cyclicProcessKavoriUpdate());
    EXPECT_EQ(0u, main().pendingCount());
    // The last target to succeed still ends update mode.
    EXPECT_EQ(0x80000000u, on([&] { return main().setStatus(5); }));
    // The earlier flush of 3 may still come back through the root before this one.
    EXPECT_TRUE(waitFor([&] { return m_updater.read("RunMode") == 0; }, 5s));
}

TEST_F(KavoriUpdateAccessorTest, RegistrationNeedsItsDeclaredStateAtZero)
{
    KavoriUpdateAccessor& pnfdc = KavoriUpdateAccessor::get("PNFDC");
    const KavoriUpdateAccessor::InfoMap noDenominator = {{"Version", JVariant(2u)}};
    EXPECT_EQ(0x80000000u, on([&] { return main().registerUpdateInfo(true, noDenominator); }));  // not declared
    EXPECT_EQ(0x80000000u, on([&] { return pnfdc.registerUpdateInfo(true, noDenominator); }));
    EXPECT_EQ(2u, pnfdc.getUpdateInfo("Version").toUInt32());  // the copy stays
    EXPECT_EQ(0u, m_updater.read("UpdateState/PNFDC"));
    // Outside the tree there is no state to check.
    EXPECT_EQ(0x80000000u, pnfdc.registerUpdateInfo(false, {}));

    const KavoriUpdateAccessor::InfoMap info = {{"Denominator", JVariant(40u)}, {"Version", JVariant(3u)}};
    EXPECT_EQ(0u, on([&] { return pnfdc.registerUpdateInfo(true, info); }));
    EXPECT_EQ(40u, pnfdc.getDenominator());
    EXPECT_EQ(3u, pnfdc.getUpdateInfo("Version").toUInt32());
    EXPECT_EQ(JVariant::kTypeInvalid, pnfdc.getUpdateInfo("Missing").getType());
    EXPECT_EQ(2u, pnfdc.getUpdateInfoMap().size());
    // The write comes back to the thread's own copy only through the root.
    EXPECT_TRUE(waitFor([&] { return m_updater.read("UpdateState/PNFDC") == 2; }, 5s));
    EXPECT_EQ(0x80000000u, on([&] { return pnfdc.registerUpdateInfo(false, {}); }));  // no longer 0
}

}  // namespace
