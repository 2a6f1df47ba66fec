#include "comctrl/TCM/CommandRepository.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "RepositoryTestSupport.h"

using TCM::CommandRepository;
using TCM::T_COMMAND_INFO;
using TCM::T_COMMAND_PROGRESS;
using tcmtest::CheckingMutex;
using tcmtest::RecordingTrigger;
using tcmtest::Wake;

namespace {

constexpr uint32_t kBad = 0x80000002u;
constexpr uint32_t kNoResource = 0x80000003u;
constexpr uint32_t kInit = 0x80000004u;
constexpr uint32_t kState = 0x80000005u;
constexpr uint32_t kNone = 0x80000007u;
constexpr uint32_t kCopy = 0x8000000Au;

constexpr uint32_t kClient = 7;
constexpr uint32_t kOther = 8;

netc_addr testAddress()
{
    netc_addr a{};
    a.family = NETC_AF_INET6;
    for (int i = 0; i < 16; ++i) a.addr[i] = static_cast<uint8_t>(0xF0 + i);
    a.scope_id = 0x01020304;
    return a;
}

// A repository with its owner's mutex and trigger.
class CommandRepositoryTest : public ::testing::Test {
protected:
    void init(uint32_t slots) { ASSERT_EQ(0u, repo.initialize(slots, &trigger, &mutex)); }

    const T_COMMAND_INFO& info(uint32_t index)
    {
        const T_COMMAND_INFO* p = nullptr;
        EXPECT_EQ(0u, repo.refer(&p, index));
        static const T_COMMAND_INFO empty{};
        return p ? *p : empty;
    }
    const T_COMMAND_PROGRESS& progress(uint32_t index)
    {
        const T_COMMAND_PROGRESS* p = nullptr;
        EXPECT_EQ(0u, repo.watch(&p, index));
        static const T_COMMAND_PROGRESS empty{};
        return p ? *p : empty;
    }
    uint32_t state(uint32_t index) { return progress(index).state; }
    // Places a file send and returns its slot.
    uint32_t place(const char* path, uint32_t clientId = kClient)
    {
        uint32_t index = 0xA5A5A5A5;
        EXPECT_EQ(0u, repo.sendFile(1, path, clientId, 3, &index));
        return index;
    }
    uint32_t takeNext()
    {
        uint32_t index = 0xA5A5A5A5;
        EXPECT_EQ(0u, repo.next(&index));
        return index;
    }

    CheckingMutex mutex;
    RecordingTrigger trigger{&mutex};
    CommandRepository repo;
};

}  // namespace

TEST_F(CommandRepositoryTest, InitializeRefusesZeroSlotsAndASecondCall)
{
    EXPECT_EQ(kNoResource, repo.initialize(0, &trigger, &mutex));
    EXPECT_EQ(0u, repo.initialize(2, &trigger, &mutex));
    EXPECT_EQ(kInit, repo.initialize(3, &trigger, &mutex));
    EXPECT_EQ(0, mutex.locks);  // initialize itself is not serialised
    uint32_t index = 0;
    EXPECT_EQ(kNone, repo.next(&index));
}

TEST_F(CommandRepositoryTest, EveryOperationWaitsForInitialize)
{
    const netc_addr a = testAddress();
    uint32_t index = 0;
    const T_COMMAND_INFO* i = nullptr;
    const T_COMMAND_PROGRESS* p = nullptr;
    TCM::T_COMMAND_CONTENTS* c = nullptr;
    const std::vector<std::pair<const char*, std::function<uint32_t()>>> calls = {
        {"sendFile", [&] { return repo.sendFile(1, "p", kClient, 3, &index); }},
        {"receiveHash", [&] { return repo.receiveHash(1, "p", kClient, a, nullptr); }},
        {"sendEvent", [&] { return repo.sendEvent(1, "n", "t", kClient, 3); }},
        {"refer", [&] { return repo.refer(&i, 0); }},
        {"watch", [&] { return repo.watch(&p, 0); }},
        {"takeContents", [&] { return repo.takeContents(&index, &c, kClient); }},
        {"drive", [&] { return repo.drive(TCM::TCM_ACTION_SEND_FILE, 0, kClient, false); }},
        {"abort", [&] { return repo.abort(0, kClient); }},
        {"cancel", [&] { return repo.cancel(0, kClient); }},
        {"search", [&] { return repo.search(&index, kClient); }},
        {"client release", [&] { return repo.release(0, kClient); }},
        {"next", [&] { return repo.next(&index); }},
        {"start", [&] { return repo.start(0, 1); }},
        {"update", [&] { return repo.update(0, 1, nullptr, 0, true); }},
        {"fail", [&] { return repo.fail(0, 1); }},
        {"worker release", [&] { return repo.release(0); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_EQ(kInit, call());
    }
    // A null path is refused before anything else.
    EXPECT_EQ(kBad, repo.sendFile(1, nullptr, kClient, 3, &index));
    EXPECT_TRUE(trigger.wakes.empty());
}

TEST_F(CommandRepositoryTest, PlacesEachKindOfCommandInTheLowestFreeSlot)
{
    init(10);
    const netc_addr a = testAddress();
    struct Case {
        const char* label;
        std::function<uint32_t(uint32_t* index)> call;
        TCM::CATEGORY_TCM_ACTION category;
        bool byAddress;
        const char* name;
        bool indexReported;
    };
    const Case cases[] = {
        {"sendFile", [&](uint32_t* x) { return repo.sendFile(100, "dir/a", kClient, 3, x); }, TCM::TCM_ACTION_SEND_FILE, false, "", true},
        {"sendHash", [&](uint32_t* x) { return repo.sendHash(101, "dir/a", kClient, 3, x); }, TCM::TCM_ACTION_SEND_HASH, false, "", true},
        {"receiveFile", [&](uint32_t* x) { return repo.receiveFile(102, "dir/a", kClient, 3, x); }, TCM::TCM_ACTION_RECEIVE_FILE, false, "", true},
        {"receiveHash", [&](uint32_t*) { return repo.receiveHash(103, "dir/a", kClient, 3, nullptr); }, TCM::TCM_ACTION_RECEIVE_HASH, false, "", false},
        {"sendFile to address", [&](uint32_t* x) { return repo.sendFile(104, "dir/a", kClient, a, x); }, TCM::TCM_ACTION_SEND_FILE, true, "", true},
        {"sendHash to address", [&](uint32_t* x) { return repo.sendHash(105, "dir/a", kClient, a, x); }, TCM::TCM_ACTION_SEND_HASH, true, "", true},
        {"receiveFile from address", [&](uint32_t*) { return repo.receiveFile(106, "dir/a", kClient, a, nullptr); }, TCM::TCM_ACTION_RECEIVE_FILE, true, "", false},
        {"receiveHash from address", [&](uint32_t* x) { return repo.receiveHash(107, "dir/a", kClient, a, x); }, TCM::TCM_ACTION_RECEIVE_HASH, true, "", true},
        {"sendEvent", [&](uint32_t*) { return repo.sendEvent(108, "Evt", "dir/a", kClient, 3); }, TCM::TCM_ACTION_SEND_FILE, false, "Evt", false},
        {"sendEvent to address", [&](uint32_t*) { return repo.sendEvent(109, nullptr, "dir/a", kClient, a); }, TCM::TCM_ACTION_SEND_FILE, true, "", false},
    };
    uint32_t expectedIndex = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        uint32_t index = 0xA5A5A5A5;
        ASSERT_EQ(0u, c.call(&index));
        if (c.indexReported) {
            EXPECT_EQ(expectedIndex, index);
        }
        const T_COMMAND_INFO& i = info(expectedIndex);
        EXPECT_EQ(c.category, i.category);
        EXPECT_EQ(c.byAddress ? 0 : 3, i.targetId);
        const netc_addr zero{};
        EXPECT_EQ(0, std::memcmp(c.byAddress ? &a : &zero, &i.targetAddress, sizeof(netc_addr)));
        EXPECT_EQ(c.indexReported, i.indexReported);
        EXPECT_EQ(100 + expectedIndex, i.contents.request);
        EXPECT_STREQ(c.name, i.contents.eventName);
        EXPECT_STREQ("dir/a", i.contents.path);
        const T_COMMAND_PROGRESS& p = progress(expectedIndex);
        EXPECT_EQ(2u, p.state);
        EXPECT_EQ(0u, p.error);
        EXPECT_EQ(0u, p.transferred);
        EXPECT_EQ(0u, p.total);
        ++expectedIndex;
    }
    // One wake of the worker per command, under the mutex; the worker takes them in order.
    EXPECT_EQ(std::vector<Wake>(10, Wake{true, kClient, true}), trigger.wakes);
    for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(i, takeNext());
    EXPECT_EQ(0, mutex.depth);
}

TEST_F(CommandRepositoryTest, PlacingRefusesBadArgumentsAndTextsThatDoNotFit)
{
    init(2);
    const std::string path255(255, 'p');
    const std::string path256(256, 'p');
    const std::string name23(23, 'n');
    const std::string name24(24, 'n');
    struct Case { const char* label; std::function<uint32_t()> call; uint32_t result; };
    const Case cases[] = {
        {"null path", [&] { return repo.sendFile(1, nullptr, kClient, 3, nullptr); }, kBad},
        {"client id 0", [&] { return repo.receiveFile(1, "p", 0, 3, nullptr); }, kBad},
        {"path of 256 characters", [&] { return repo.sendHash(1, path256.c_str(), kClient, 3, nullptr); }, kCopy},
        {"event name of 24 characters", [&] { return repo.sendEvent(1, name24.c_str(), "t", kClient, 3); }, kCopy},
        {"null event text", [&] { return repo.sendEvent(1, "n", nullptr, kClient, 3); }, kBad},
        {"event text of 256 characters", [&] { return repo.sendEvent(1, "n", path256.c_str(), kClient, 3); }, kCopy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.result, c.call());
        // Nothing was placed: the slot is still free and empty.
        EXPECT_EQ(0u, state(0));
        EXPECT_EQ(0, info(0).category);
        EXPECT_STREQ("", info(0).contents.eventName);
        EXPECT_STREQ("", info(0).contents.path);
    }
    EXPECT_TRUE(trigger.wakes.empty());
    uint32_t index = 0;
    EXPECT_EQ(kNone, repo.next(&index));

    // The longest texts that fit are kept whole.
    ASSERT_EQ(0u, repo.sendEvent(1, name23.c_str(), path255.c_str(), kClient, 3));
    EXPECT_EQ(name23, info(0).contents.eventName);
    EXPECT_EQ(path255, info(0).contents.path);
}

TEST_F(CommandRepositoryTest, TwoSlotsRefuseAThirdCommandUntilOneIsReleased)
{
    init(2);
    EXPECT_EQ(0u, place("a"));
    EXPECT_EQ(1u, place("b"));
    uint32_t index = 0xA5A5A5A5;
    EXPECT_EQ(kNone, repo.sendFile(1, "c", kClient, 3, &index));
    EXPECT_EQ(0xA5A5A5A5u, index);

    ASSERT_EQ(0u, takeNext());
    ASSERT_EQ(0u, repo.fail(0, 1));
    ASSERT_EQ(0u, repo.release(0, kClient));
    EXPECT_EQ(0u, place("c"));
    EXPECT_STREQ("c", info(0).contents.path);
}

TEST_F(CommandRepositoryTest, WorkerTakesRequestsInOrderAndACancelIsSignalledAgain)
{
    init(4);
    const uint32_t a = place("a");
    const uint32_t b = place("b");
    ASSERT_EQ(0u, repo.cancel(a, kClient));
    EXPECT_EQ(b, takeNext());
    EXPECT_EQ(a, takeNext());
    EXPECT_EQ(TCM::TCM_ACTION_CANCEL, info(a).category);
    EXPECT_EQ(3u, state(a));
    uint32_t index = 0;
    EXPECT_EQ(kNone, repo.next(&index));

    // A running command cancelled after a later request is taken again after it.
    const uint32_t c = place("c");
    EXPECT_EQ(c, takeNext());
    const uint32_t d = place("d");
    ASSERT_EQ(0u, repo.cancel(c, kClient));
    EXPECT_EQ(2u, state(c));
    EXPECT_EQ(d, takeNext());
    EXPECT_EQ(c, takeNext());
    EXPECT_EQ(TCM::TCM_ACTION_CANCEL, info(c).category);
}

TEST_F(CommandRepositoryTest, NextUsesUpTheSignalOfASlotNoLongerRequested)
{
    init(2);
    uint32_t index = 0xA5A5A5A5;
    EXPECT_EQ(kBad, repo.next(nullptr));
    const uint32_t a = place("a");
    const uint32_t b = place("b");
    ASSERT_EQ(0u, repo.fail(a, 9));  // failed while still waiting for the worker
    EXPECT_EQ(kState, repo.next(&index));
    EXPECT_EQ(0xA5A5A5A5u, index);
    EXPECT_EQ(5u, state(a));
    EXPECT_EQ(b, takeNext());
    EXPECT_EQ(kNone, repo.next(&index));
}

TEST_F(CommandRepositoryTest, StartAndUpdateCompleteACommandAndWakeItsClient)
{
    init(2);
    const uint32_t a = place("a");
    EXPECT_EQ(kState, repo.start(a, 100));  // requested, not running
    EXPECT_EQ(kState, repo.update(a, 1, nullptr, 0, false));
    ASSERT_EQ(a, takeNext());
    EXPECT_EQ(0u, repo.start(a, 100));
    EXPECT_EQ(kState, repo.start(a, 100));
    EXPECT_EQ(0u, repo.update(a, 60, "x", 1, false));
    EXPECT_EQ(60u, progress(a).transferred);
    trigger.wakes.clear();
    EXPECT_EQ(1u, repo.update(a, 40, nullptr, 0, true));
    const T_COMMAND_PROGRESS& p = progress(a);
    EXPECT_EQ(4u, p.state);
    EXPECT_EQ(0u, p.error);
    EXPECT_EQ(100u, p.transferred);
    EXPECT_EQ(100u, p.total);
    EXPECT_EQ((std::vector<Wake>{Wake{false, kClient, true}}), trigger.wakes);
    EXPECT_EQ(kState, repo.update(a, 1, nullptr, 0, true));
    EXPECT_EQ(kState, repo.fail(a, 1));

    uint32_t found = 0xA5A5A5A5;
    EXPECT_EQ(kNone, repo.search(&found, kOther));
    EXPECT_EQ(0u, repo.search(&found, kClient));
    EXPECT_EQ(a, found);
    EXPECT_EQ(0u, repo.release(a, kClient));
    EXPECT_EQ(0u, state(a));
    EXPECT_STREQ("", info(a).contents.path);
    EXPECT_EQ(kNone, repo.search(&found, kClient));
}

TEST_F(CommandRepositoryTest, UpdateCompletesOnlyWithTheLastFlagAndEnoughBytes)
{
    init(1);
    struct Case {
        const char* label;
        uint32_t total;
        std::vector<std::pair<uint32_t, bool>> updates;  // bytes, last
        uint32_t lastResult;
        uint32_t state;
        uint32_t transferred;
    };
    const Case cases[] = {
        {"last flag short of the total", 100, {{60, false}, {30, true}}, 0, 3, 90},
        {"enough bytes without the last flag", 100, {{100, false}}, 0, 3, 100},
        {"more than the total", 100, {{150, true}}, 1, 4, 150},
        {"empty transfer", 0, {{0, true}}, 1, 4, 0},
        // The count stops at its top instead of wrapping round below the total.
        {"count at the 32-bit limit", 0xFFFFFFFFu, {{0xFFFFFFF0u, false}, {0x20, true}}, 1, 4, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const uint32_t index = place("f");
        ASSERT_EQ(index, takeNext());
        if (c.total != 0) {
            ASSERT_EQ(0u, repo.start(index, c.total));
        }
        uint32_t result = 0xA5A5A5A5;
        for (const auto& [bytes, last] : c.updates) result = repo.update(index, bytes, nullptr, 0, last);
        EXPECT_EQ(c.lastResult, result);
        EXPECT_EQ(c.state, state(index));
        EXPECT_EQ(c.transferred, progress(index).transferred);
        // Free the slot for the next row.
        if (c.state == 3) {
            ASSERT_EQ(0u, repo.release(index));
        } else {
            ASSERT_EQ(0u, repo.release(index, kClient));
        }
        ASSERT_EQ(0u, state(index));
    }
}

TEST_F(CommandRepositoryTest, FailKeepsErrorsBelow23AndRecordsOthersAs3)
{
    init(1);
    struct Case { uint32_t error; uint32_t recorded; };
    const Case cases[] = {{0, 0}, {1, 1}, {22, 22}, {23, 3}, {30, 3}, {0xFFFFFFFFu, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        const uint32_t index = place("f");
        ASSERT_EQ(index, takeNext());
        trigger.wakes.clear();
        EXPECT_EQ(0u, repo.fail(index, c.error));
        EXPECT_EQ(5u, state(index));
        EXPECT_EQ(c.recorded, progress(index).error);
        EXPECT_EQ((std::vector<Wake>{Wake{false, kClient, true}}), trigger.wakes);
        ASSERT_EQ(0u, repo.release(index, kClient));
    }
}

TEST_F(CommandRepositoryTest, FailAcceptsEveryUnfinishedStateAndRefusesFreeAndCompleted)
{
    init(1);
    EXPECT_EQ(kState, repo.fail(0, 1));  // free
    uint32_t index = 0;
    TCM::T_COMMAND_CONTENTS* contents = nullptr;
    ASSERT_EQ(0u, repo.takeContents(&index, &contents, kClient));
    EXPECT_EQ(0u, repo.fail(index, 2));  // reserved
    EXPECT_EQ(0u, repo.fail(index, 4));  // failed again: the new error stands
    EXPECT_EQ(4u, progress(index).error);
    ASSERT_EQ(0u, repo.release(index, kClient));

    place("f");
    EXPECT_EQ(0u, repo.fail(0, 1));  // requested
    ASSERT_EQ(0u, repo.release(0, kClient));
    place("f");
    ASSERT_EQ(0u, takeNext());
    EXPECT_EQ(0u, repo.fail(0, 1));  // running
    ASSERT_EQ(0u, repo.release(0, kClient));
    place("f");
    ASSERT_EQ(0u, takeNext());
    ASSERT_EQ(1u, repo.update(0, 0, nullptr, 0, true));
    EXPECT_EQ(kState, repo.fail(0, 1));  // completed
    EXPECT_EQ(4u, state(0));
}

TEST_F(CommandRepositoryTest, ClientReleaseClearsOnlyItsOwnFinishedCommands)
{
    init(3);
    const uint32_t running = place("running");
    ASSERT_EQ(running, takeNext());
    const uint32_t others = place("others", kOther);
    ASSERT_EQ(others, takeNext());
    ASSERT_EQ(0u, repo.fail(others, 1));
    const uint32_t own = place("own");
    ASSERT_EQ(own, takeNext());
    ASSERT_EQ(0u, repo.fail(own, 1));

    EXPECT_EQ(0u, repo.release(running, kClient));
    EXPECT_EQ(3u, state(running));
    EXPECT_STREQ("running", info(running).contents.path);
    EXPECT_EQ(0u, repo.release(others, kClient));
    EXPECT_EQ(5u, state(others));
    EXPECT_EQ(kBad, repo.release(own, 0));
    EXPECT_EQ(5u, state(own));
    EXPECT_EQ(0u, repo.release(own, kClient));
    EXPECT_EQ(0u, state(own));
    EXPECT_EQ(0, info(own).category);
}

TEST_F(CommandRepositoryTest, WorkerReleaseClearsOnlyARunningCommand)
{
    init(2);
    const uint32_t a = place("a");
    EXPECT_EQ(kState, repo.release(a));  // requested
    ASSERT_EQ(a, takeNext());
    ASSERT_EQ(0u, repo.start(a, 10));
    EXPECT_EQ(0u, repo.release(a));
    EXPECT_EQ(0u, state(a));
    EXPECT_EQ(0u, progress(a).total);
    EXPECT_EQ(0, info(a).category);
    EXPECT_EQ(kState, repo.release(a));  // free
    EXPECT_EQ(a, place("b"));
}

TEST_F(CommandRepositoryTest, ReservedSlotIsDrivenByItsClientOrGivenBack)
{
    init(2);
    uint32_t index = 0xA5A5A5A5;
    TCM::T_COMMAND_CONTENTS* contents = nullptr;
    EXPECT_EQ(kBad, repo.takeContents(nullptr, &contents, kClient));
    EXPECT_EQ(kBad, repo.takeContents(&index, nullptr, kClient));
    EXPECT_EQ(kBad, repo.takeContents(&index, &contents, 0));
    ASSERT_EQ(0u, repo.takeContents(&index, &contents, kClient));
    EXPECT_EQ(0u, index);
    EXPECT_EQ(1u, state(0));
    ASSERT_NE(nullptr, contents);
    contents->request = 77;
    std::strcpy(contents->path, "reserved/path");
    EXPECT_EQ(1u, place("next"));  // a reserved slot is not free

    struct Case { const char* label; TCM::CATEGORY_TCM_ACTION category; uint32_t clientId; uint32_t result; };
    const Case refusals[] = {
        {"category 0", TCM::TCM_ACTION_NONE, kClient, kBad},
        {"category 6", static_cast<TCM::CATEGORY_TCM_ACTION>(6), kClient, kBad},
        {"client id 0", TCM::TCM_ACTION_RECEIVE_FILE, 0, kBad},
        {"another client", TCM::TCM_ACTION_RECEIVE_FILE, kOther, kState},
    };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.result, repo.drive(c.category, 0, c.clientId, true));
        EXPECT_EQ(1u, state(0));
    }
    EXPECT_EQ(kState, repo.abort(0, kOther));
    EXPECT_EQ(kState, repo.drive(TCM::TCM_ACTION_RECEIVE_FILE, 1, kClient, true));  // requested, not reserved

    trigger.wakes.clear();
    ASSERT_EQ(0u, repo.drive(TCM::TCM_ACTION_RECEIVE_FILE, 0, kClient, true));
    EXPECT_EQ((std::vector<Wake>{Wake{true, kClient, true}}), trigger.wakes);
    EXPECT_EQ(kState, repo.abort(0, kClient));  // no longer reserved
    // Driven after the other was placed, so it is taken second.
    EXPECT_EQ(1u, takeNext());
    EXPECT_EQ(0u, takeNext());
    const T_COMMAND_INFO& i = info(0);
    EXPECT_EQ(TCM::TCM_ACTION_RECEIVE_FILE, i.category);
    EXPECT_TRUE(i.indexReported);
    EXPECT_EQ(77u, i.contents.request);
    EXPECT_STREQ("reserved/path", i.contents.path);

    // A slot taken and given back is free and empty again.
    ASSERT_EQ(0u, repo.release(0));
    ASSERT_EQ(0u, repo.takeContents(&index, &contents, kOther));
    std::strcpy(contents->path, "dropped");
    EXPECT_EQ(kNone, repo.takeContents(&index, &contents, kOther));
    EXPECT_EQ(0u, repo.abort(0, kOther));
    EXPECT_EQ(0u, state(0));
    EXPECT_STREQ("", info(0).contents.path);
    EXPECT_EQ(0u, place("again"));
}

TEST_F(CommandRepositoryTest, CancelRefusesWhatIsNotARequestedOrRunningTransferOfTheClient)
{
    init(4);
    const uint32_t requested = place("r");
    const uint32_t completed = place("c");
    uint32_t reserved = 0;
    TCM::T_COMMAND_CONTENTS* contents = nullptr;
    ASSERT_EQ(0u, repo.takeContents(&reserved, &contents, kClient));
    ASSERT_EQ(requested, takeNext());  // running now
    ASSERT_EQ(completed, takeNext());
    ASSERT_EQ(1u, repo.update(completed, 0, nullptr, 0, true));

    struct Case { const char* label; uint32_t index; uint32_t clientId; uint32_t result; };
    const Case cases[] = {
        {"client id 0", requested, 0, kBad},
        {"another client", requested, kOther, kState},
        {"completed", completed, kClient, kState},
        {"reserved", reserved, kClient, kState},
        {"free", 3, kClient, kState},
        {"running", requested, kClient, 0},
        {"already a cancel", requested, kClient, kState},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.result, repo.cancel(c.index, c.clientId));
    }
}

TEST_F(CommandRepositoryTest, IndexesOutsideTheTableAreRefused)
{
    init(2);
    uint32_t index = 0;
    const T_COMMAND_INFO* i = nullptr;
    const T_COMMAND_PROGRESS* p = nullptr;
    const std::vector<std::pair<const char*, std::function<uint32_t()>>> calls = {
        {"refer", [&] { return repo.refer(&i, 2); }},
        {"refer null", [&] { return repo.refer(nullptr, 0); }},
        {"watch", [&] { return repo.watch(&p, 2); }},
        {"watch null", [&] { return repo.watch(nullptr, 0); }},
        {"drive", [&] { return repo.drive(TCM::TCM_ACTION_SEND_FILE, 2, kClient, false); }},
        {"abort", [&] { return repo.abort(0xFFFFFFFFu, kClient); }},
        {"cancel", [&] { return repo.cancel(2, kClient); }},
        {"search null", [&] { return repo.search(nullptr, kClient); }},
        {"search client 0", [&] { return repo.search(&index, 0); }},
        {"client release", [&] { return repo.release(2, kClient); }},
        {"start", [&] { return repo.start(2, 1); }},
        {"update", [&] { return repo.update(2, 1, nullptr, 0, true); }},
        {"fail", [&] { return repo.fail(2, 1); }},
        {"worker release", [&] { return repo.release(2); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_EQ(kBad, call());
    }
    EXPECT_EQ(0, mutex.depth);
}

TEST_F(CommandRepositoryTest, EveryOperationHoldsTheMutexOnceAndATriggerFailureStaysInside)
{
    init(2);
    trigger.result = 0x80000001u;
    const uint32_t a = place("a");
    ASSERT_EQ(a, takeNext());
    ASSERT_EQ(0u, repo.start(a, 1));
    ASSERT_EQ(1u, repo.update(a, 1, nullptr, 0, true));
    uint32_t found = 0;
    ASSERT_EQ(0u, repo.search(&found, kClient));
    ASSERT_EQ(0u, repo.release(found, kClient));
    EXPECT_EQ(6, mutex.locks);
    EXPECT_EQ(0, mutex.depth);
    const std::vector<Wake> expected = {Wake{true, kClient, true}, Wake{false, kClient, true}};
    EXPECT_EQ(expected, trigger.wakes);
}

TEST(CommandRepositoryWithoutOwnerTest, WorksWithoutMutexOrTrigger)
{
    CommandRepository repo;
    ASSERT_EQ(0u, repo.initialize(1, nullptr, nullptr));
    uint32_t index = 0xA5A5A5A5;
    ASSERT_EQ(0u, repo.sendEvent(5, "n", "t", 1, 2));
    ASSERT_EQ(0u, repo.next(&index));
    EXPECT_EQ(0u, index);
    EXPECT_EQ(0u, repo.fail(index, 1));
}
