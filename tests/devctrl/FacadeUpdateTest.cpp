// Keeping a client's facade in step with the broker: a facade while the field is available, given
// back once the owner withdraws the field, the notifier told around both, and the broker's codes
// passed through. Real broker, real fields; each test names its own items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devctrl/FacadeTestSupport.h"
#include "devctrl/devctrl_FacadeUpdate.h"
#include "devctrl/devctrl_IFacadeNotifier.h"
#include "devctrl/devctrl_InstanceBroker.h"
#include "devctrl/devctrl_MMSMutex.h"

using DeviceControl::IFacade;
using DeviceControl::MMSInstanceBroker;
using DeviceControl::updateFacade;
using DeviceControl::updateFacadeEx;

namespace {

constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kSubscribeFailed = 0x80000008u;

MMSInstanceBroker& broker() { return MMSInstanceBroker::getInstance(); }

// Journals the subscriptions the facades make, then lets the real field carry them out.
class SubscriptionJournalField : public FacadeTest::FaultyField {
public:
    uint32_t subscribe(uint32_t mode, uint32_t taskId, uint32_t areaCount, bool raiseAll) override
    {
        journal.push_back("subscribe mode=" + std::to_string(mode) + " task=" + std::to_string(taskId) +
                          " areas=" + std::to_string(areaCount));
        return FaultyField::subscribe(mode, taskId, areaCount, raiseAll);
    }
    uint32_t unsubscribe(uint32_t taskId) override
    {
        journal.push_back("unsubscribe task=" + std::to_string(taskId));
        return FaultyField::unsubscribe(taskId);
    }
    std::vector<std::string> journal;
};

class JournalNotifier : public DeviceControl::IFacadeNotifier {
public:
    uint32_t attached(const char* name, IFacade* facade) override { return note("attached", name, facade); }
    uint32_t detached(const char* name, IFacade* facade) override { return note("detached", name, facade); }
    std::vector<std::string> journal;
    std::vector<IFacade*> facades;

private:
    uint32_t note(const char* what, const char* name, IFacade* facade)
    {
        journal.push_back(std::string(what) + " " + name);
        facades.push_back(facade);
        return 0x80000000u;  // not looked at
    }
};

class FacadeUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static DeviceControl::MMSMutex mutex("UpdPrm", "UpdCtrl");
        const uint32_t r = broker().initialize(mutex, nullptr);
        ASSERT_TRUE(r == 0 || r == kWrongState) << r;  // once per process
        FacadeTest::buildRoots(field, {"Main"});
        field.journal.clear();
    }
    void TearDown() override
    {
        MMS::IField* handedBack = nullptr;
        (void)broker().unregisterMmsInstance(&handedBack, m_registered.c_str());  // may be gone already
    }

    void registerField(const char* name)
    {
        m_registered = name;
        ASSERT_EQ(0u, broker().registerMmsInstance(&field, name, MMSInstanceBroker::PERMISSION_ALL_WRITE, 0));
    }
    // The owner withdraws the field while a facade is out: the item goes to state 2.
    void withdraw()
    {
        MMS::IField* handedBack = nullptr;
        ASSERT_EQ(kWrongState, broker().unregisterMmsInstance(&handedBack, m_registered.c_str()));
        MMSInstanceBroker::CATEGORY_ITEM_STATE state{};
        ASSERT_EQ(0u, broker().getState(&state, m_registered.c_str()));
        ASSERT_EQ(MMSInstanceBroker::ITEM_STATE_DELETING, state);
    }

    bool heapReady = (MmsTest::heap1(), true);  // before the field: its core comes from heap 1
    SubscriptionJournalField field;
    std::string m_registered;
};

}  // namespace

TEST_F(FacadeUpdateTest, FollowsTheFieldFromAvailableToWithdrawnAndTellsTheNotifier)
{
    registerField("Follow");
    JournalNotifier notifier;
    IFacade* slot = nullptr;

    ASSERT_EQ(0u, updateFacadeEx(&slot, "Follow", 3, 1, 77, &notifier));
    ASSERT_NE(nullptr, slot);
    IFacade* const obtained = slot;
    // Unchanged state: nothing happens, however often it is asked.
    EXPECT_EQ(0u, updateFacadeEx(&slot, "Follow", 3, 1, 77, &notifier));
    EXPECT_EQ(obtained, slot);

    withdraw();
    ASSERT_EQ(0u, updateFacadeEx(&slot, "Follow", 3, 1, 77, &notifier));
    EXPECT_EQ(nullptr, slot);
    // State 2 with an empty slot: nothing to give back.
    EXPECT_EQ(0u, updateFacadeEx(&slot, "Follow", 3, 1, 77, &notifier));

    EXPECT_EQ((std::vector<std::string>{"attached Follow", "detached Follow"}), notifier.journal);
    EXPECT_EQ((std::vector<IFacade*>{obtained, obtained}), notifier.facades);
    // The facade was subscribed for the given task and mode, and let go when given back.
    EXPECT_EQ((std::vector<std::string>{"subscribe mode=3 task=77 areas=1", "unsubscribe task=77"}), field.journal);

    // The last reference is gone: the owner can now delete the item, after which the state
    // query fails and its code is the result.
    MMS::IField* handedBack = nullptr;
    ASSERT_EQ(0u, broker().unregisterMmsInstance(&handedBack, "Follow"));
    EXPECT_EQ(kNoSuchItem, updateFacadeEx(&slot, "Follow", 3, 1, 77, &notifier));
    EXPECT_EQ(nullptr, slot);
    EXPECT_EQ(2u, notifier.journal.size());
}

TEST_F(FacadeUpdateTest, AreaCountDecidesTheSubscriptionAndIsCutToTwo)
{
    registerField("Areas");
    struct Case {
        unsigned areaCount;
        std::vector<std::string> journal;
    };
    const Case cases[] = {
        {0, {}},
        {1, {"subscribe mode=0 task=5 areas=1", "unsubscribe task=5"}},
        {2, {"subscribe mode=0 task=5 areas=2", "unsubscribe task=5"}},
        {5, {"subscribe mode=0 task=5 areas=2", "unsubscribe task=5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.areaCount);
        field.journal.clear();
        IFacade* slot = nullptr;
        ASSERT_EQ(0u, updateFacade(&slot, "Areas", c.areaCount, 5));
        ASSERT_NE(nullptr, slot);
        ASSERT_EQ(0u, broker().releaseFacade(&slot, "Areas"));
        EXPECT_EQ(c.journal, field.journal);
    }
}

TEST_F(FacadeUpdateTest, FailuresLeaveNoFacadeAndCallNoNotifier)
{
    registerField("Refusing");
    JournalNotifier notifier;
    EXPECT_EQ(0x80000000u, updateFacadeEx(nullptr, "Refusing", 0, 1, 5, &notifier));
    EXPECT_EQ(0x80000000u, updateFacade(nullptr, "Refusing", 1, 5));

    // An unknown name counts as state 0: the state query's code, the slot untouched.
    IFacade* const poison = reinterpret_cast<IFacade*>(0x5A5A);
    IFacade* slot = poison;
    EXPECT_EQ(kNoSuchItem, updateFacadeEx(&slot, "Nobody", 0, 1, 5, &notifier));
    EXPECT_EQ(poison, slot);
    slot = nullptr;
    EXPECT_EQ(0x80000002u, updateFacadeEx(&slot, nullptr, 0, 1, 5, &notifier));
    EXPECT_EQ(nullptr, slot);

    // The broker cannot subscribe the facade: its code, and the slot stays empty.
    field.failing.insert("subscribe");
    EXPECT_EQ(kSubscribeFailed, updateFacadeEx(&slot, "Refusing", 0, 2, 5, &notifier));
    EXPECT_EQ(nullptr, slot);
    EXPECT_TRUE(notifier.journal.empty());

    // The owner withdrew the field before any facade was obtained: the item is simply gone.
    field.failing.clear();
    MMS::IField* handedBack = nullptr;
    ASSERT_EQ(0u, broker().unregisterMmsInstance(&handedBack, "Refusing"));
    EXPECT_EQ(kNoSuchItem, updateFacadeEx(&slot, "Refusing", 0, 2, 5, &notifier));
    EXPECT_EQ(nullptr, slot);
    EXPECT_TRUE(notifier.journal.empty());
}
