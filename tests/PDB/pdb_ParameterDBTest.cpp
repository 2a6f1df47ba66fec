#include "PDB/pdb_ParameterDB.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_ParameterInfo.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_cfg.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint32_t kFollow = 0x10000000u | 1u;  // size pattern: the component's size times 1
constexpr uint32_t kLevel = 0, kGain = 1, kName = 2;

// "DBTest" 1: /Level UINT16 following the component size (1..4 x 1..4, 0..1000, default 1),
// /Gain UINT8 1 x 1 (0..100, default 5), /Name STRING of 8 bytes ("none").
const PDB::ComponentInfo& dbTestType()
{
    static const PDB::ComponentInfo info = [] {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        PDB::ComponentInfo t;
        const PDB::ParamAttr attr('T', PDB::ParamAttr::kRecallable);
        EXPECT_EQ(0u, t.initialize("DBTest", 1, 1, 1, 4, 4, "x", "y", nullptr));
        EXPECT_EQ(0u, t.addAddressUINT16("/Level", kFollow, kFollow, "", "", 0, 1000, 1, 1, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT8("/Gain", 1, 1, "", "", 0, 100, 5, 5, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSTRING("/Name", 1, 1, "", "", 8, "none", attr, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);  // a repeated call finds it registered
        return t;
    }();
    return info;
}

// Counts the wake-ups of one subscribing thread.
class CountingSubscriber : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override
    {
        ++configChanges;
        return 0;
    }
    uint32_t rawCallbackSetPDBParameter() override
    {
        ++parameterChanges;
        return 0;
    }
    std::atomic<int> configChanges{0};
    std::atomic<int> parameterChanges{0};
};

// A thread of its own that runs the given functions one after another, so a test can act as
// several threads with stable identities.
class Worker {
public:
    Worker() : m_thread([this] { loop(); }) {}
    ~Worker()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    // Runs fn on the worker and waits for it, at most 5 s.
    void run(std::function<void()> fn)
    {
        auto task = std::make_shared<std::packaged_task<void()>>(std::move(fn));
        std::future<void> done = task->get_future();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.push_back([task] { (*task)(); });
        }
        m_wake.notify_one();
        ASSERT_EQ(std::future_status::ready, done.wait_for(5s));
    }

private:
    void loop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_tasks.empty(); });
            if (m_tasks.empty()) return;
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_stop = false;
    std::thread m_thread;
};

// An initialised database on the shared lock kind of the live databases.
struct LiveDB {
    explicit LiveDB(uint32_t instanceId = 3, const char* name = "LocalSetup")
    {
        (void)dbTestType();
        EXPECT_EQ(0u, db.initialize(instanceId, name, &lock));
    }
    // Adds a component of the test type with the given id and sizes.
    JLIB::JResult add(uint32_t id, uint32_t x = 2, uint32_t y = 3)
    {
        return db.addComponent(PDB::UniqId(id), "DBTest", 1, x, y, 0);
    }

    PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the database
    PDB::ParameterDB db;
};

std::vector<uint32_t> ids(const PDB::UniqIdList& list)
{
    std::vector<uint32_t> out;
    for (const PDB::UniqId& id : list) out.push_back(id.id());
    return out;
}

std::vector<uint32_t> newList(const PDB::ParameterDB& db)
{
    PDB::UniqIdList list{PDB::UniqId(0xBAD)};  // poisoned: the call clears it
    EXPECT_EQ(0u, db.newComponentList(list));
    return ids(list);
}

std::vector<uint32_t> removingList(const PDB::ParameterDB& db)
{
    PDB::UniqIdList list{PDB::UniqId(0xBAD)};
    EXPECT_EQ(0u, db.removingComponentList(list));
    return ids(list);
}

using Position = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;  // ci, ai, x, y

// Captures the slot and walks every changed element from the start.
std::vector<Position> captureAndWalk(PDB::ParameterDB& db, int32_t slot)
{
    EXPECT_EQ(0u, db.captureDirtyFlag(slot));
    std::vector<Position> found;
    uint32_t ci = 0, ai = 0, x = 0, y = 0;
    for (int guard = 0; guard < 10000; ++guard) {
        const JLIB::JResult result = db.checkNextDirty(slot, ci, ai, x, y, false);
        if (result != 0u) {
            EXPECT_EQ(0x200000u, result);
            break;
        }
        found.emplace_back(ci, ai, x, y);
    }
    return found;
}

}  // namespace

TEST(ParameterDBTest, InitializeTakesNamesUpToSixteenCharacters)
{
    struct Case {
        const char* name;
        JLIB::JResult result;
        const char* stored;
    };
    const Case cases[] = {
        {"SixteenCharsName", 0u, "SixteenCharsName"},
        {"SeventeenCharName", 0x80000001u, ""},
        {nullptr, 0u, ""},
        {"Status", 0u, "Status"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        PDB::SimpleReadWriteMutex lock;
        PDB::ParameterDB db;
        EXPECT_FALSE(db.isValid());
        EXPECT_EQ(c.result, db.initialize(6, c.name, &lock));
        EXPECT_STREQ(c.stored, db.name());
        EXPECT_EQ(JLIB::isSuccess(c.result), db.isValid());
        EXPECT_EQ(JLIB::isSuccess(c.result) ? 6u : 0u, db.instanceId());
    }
}

TEST(ParameterDBTest, RefusedAdditionsLeaveTheDatabaseUnchanged)
{
    LiveDB live;
    ASSERT_EQ(0u, live.add(10));
    ASSERT_EQ(0u, live.db.setUInt32(0, kGain, 0, 0, 42, 1));
    PDB::ComponentInfo invalid;

    struct Case {
        const char* what;
        std::function<JLIB::JResult()> call;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"unknown type", [&] { return live.db.addComponent(PDB::UniqId(11), "NoSuchType", 1, 0, 0, 0); },
         0x80200000u},
        {"unknown version", [&] { return live.db.addComponent(PDB::UniqId(11), "DBTest", 2, 0, 0, 0); }, 0x80200000u},
        {"null type name", [&] { return live.db.addComponent(PDB::UniqId(11), nullptr, 1, 0, 0, 0); }, 0x80000001u},
        {"negative generation", [&] { return live.db.addComponent(PDB::UniqId(11), "DBTest", 1, 0, 0, -1); },
         0x80000001u},
        {"size above the maximum", [&] { return live.add(11, 5, 1); }, 0x80000001u},
        {"id already present", [&] { return live.add(10, 4, 4); }, 0x80000001u},
        {"id already present, by definition", [&] { return live.db.addComponent(PDB::UniqId(10), dbTestType()); },
         0x80000001u},
        {"invalid definition", [&] { return live.db.addComponent(PDB::UniqId(11), invalid); }, 0x80000001u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, c.call());
        EXPECT_EQ(1u, live.db.componentNum());
        EXPECT_EQ(1u, live.db.componentIndexNum());
        EXPECT_EQ(42u, live.db.getUInt32(0, kGain, 0, 0, nullptr));
        EXPECT_EQ(2u, live.db.paramInfo(0, kLevel).numX);
    }
    EXPECT_EQ(0x80200000u, live.db.addComponent(PDB::UniqId(12), "Unknown", 3, 0, 0, 0));
    EXPECT_STREQ("pdb_ParameterDB.cpp", jlib_cfg_lastFileName());  // the refusal is logged
}

TEST(ParameterDBTest, AddsWithGivenOrMinimumSizesAndGeneration)
{
    LiveDB live;
    ASSERT_EQ(0u, live.db.addComponent(PDB::UniqId(1), "DBTest", 1, 3, 4, 7));
    ASSERT_EQ(0u, live.db.addComponent(PDB::UniqId(2), "DBTest", 1, 0, 0, 0));
    PDB::ComponentInfo definition = dbTestType();
    (void)definition.setUniqId(PDB::UniqId(99));
    ASSERT_EQ(0u, definition.resize(4, 4, 9));
    ASSERT_EQ(0u, live.db.addComponent(PDB::UniqId(3), definition));

    struct Case {
        uint32_t ci, id, numX, numY;
        int16_t generation;
    };
    const Case cases[] = {{0, 1, 3, 4, 7}, {1, 2, 1, 1, 0}, {2, 3, 1, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ci);
        EXPECT_EQ(c.id, live.db.uniqId(c.ci).id());
        EXPECT_EQ(c.ci, live.db.getComponentIndex(PDB::UniqId(c.id)));
        EXPECT_EQ(c.numX, live.db.componentInfo(c.ci).numX());
        EXPECT_EQ(c.numY, live.db.componentInfo(c.ci).numY());
        EXPECT_EQ(c.numX, live.db.paramInfo(c.ci, kLevel).numX);
        EXPECT_EQ(c.generation, live.db.generation(c.ci));
        EXPECT_STREQ("DBTest", live.db.componentName(c.ci));
        EXPECT_EQ(1u, live.db.componentVersion(c.ci));
        EXPECT_EQ(3u, live.db.addressNum(c.ci));
    }
    EXPECT_EQ(kNone, live.db.getComponentIndex(PDB::UniqId(99)));
}

TEST(ParameterDBTest, MetadataOfAnIndexWithoutComponentIsTheEmptyDefinition)
{
    LiveDB live;
    ASSERT_EQ(0u, live.add(5));
    EXPECT_EQ(0u, live.db.setUserName(0, "Vocal"));
    EXPECT_EQ(0u, live.db.setAttribute(0, 0x1234));
    EXPECT_STREQ("Vocal", live.db.userName(0));
    EXPECT_EQ(0x1234u, live.db.attribute(0));
    EXPECT_EQ(1u, live.db.getAddressIndex(PDB::UniqId(5), "/Gain"));
    EXPECT_EQ(kNone, live.db.getAddressIndex(PDB::UniqId(5), "/Nope"));
    EXPECT_EQ(kNone, live.db.getAddressIndex(PDB::UniqId(6), "/Gain"));

    for (uint32_t ci : {1u, kNone}) {
        SCOPED_TRACE(ci);
        EXPECT_STREQ("", live.db.componentName(ci));
        EXPECT_EQ(0u, live.db.componentVersion(ci));
        EXPECT_EQ(-1, live.db.generation(ci));
        EXPECT_FALSE(live.db.uniqId(ci).isValid());
        EXPECT_STREQ("", live.db.userName(ci));
        EXPECT_EQ(0u, live.db.attribute(ci));
        EXPECT_EQ(0u, live.db.addressNum(ci));
        EXPECT_EQ(0u, live.db.paramInfo(ci, 0).type);
        EXPECT_FALSE(live.db._getComponent(ci).isValid());
        EXPECT_EQ(0x80080000u, live.db.setUInt32(ci, kGain, 0, 0, 1, 1));
    }
}

TEST(ParameterDBTest, RemovedSlotIsReusedByTheNextAddition)
{
    LiveDB live;
    for (uint32_t id : {100u, 200u, 300u}) ASSERT_EQ(0u, live.add(id));
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(200)));
    ASSERT_EQ(0u, live.db.releaseComponent(PDB::UniqId(200)));
    EXPECT_EQ(2u, live.db.componentNum());
    EXPECT_EQ(3u, live.db.componentIndexNum());
    EXPECT_FALSE(live.db._getComponent(1).isValid());
    EXPECT_EQ(0x80080000u, live.db.setUInt32(1, kGain, 0, 0, 1, 1));

    ASSERT_EQ(0u, live.add(400));
    EXPECT_EQ(1u, live.db.getComponentIndex(PDB::UniqId(400)));
    EXPECT_EQ(3u, live.db.componentNum());
    EXPECT_EQ(3u, live.db.componentIndexNum());
    EXPECT_EQ(5u, live.db.getUInt32(1, kGain, 0, 0, nullptr));  // fresh component: defaults
    ASSERT_EQ(0u, live.add(500));
    EXPECT_EQ(3u, live.db.getComponentIndex(PDB::UniqId(500)));
}

TEST(ParameterDBTest, UseCountsOncePerThreadAndTheLastReleaseRemoves)
{
    LiveDB live;
    Worker other;
    for (uint32_t id : {1u, 2u, 3u}) ASSERT_EQ(0u, live.add(id));

    // One thread using twice counts once.
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(1)));
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(1)));
    EXPECT_TRUE(live.db.isComponentUsed(PDB::UniqId(1)));
    EXPECT_EQ(0u, live.db.releaseComponent(PDB::UniqId(1)));
    EXPECT_EQ(kNone, live.db.getComponentIndex(PDB::UniqId(1)));

    // Two threads: the component stays until both released it.
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(2)));
    other.run([&] { EXPECT_EQ(0u, live.db.useComponent(PDB::UniqId(2))); });
    EXPECT_EQ(0u, live.db.releaseComponent(PDB::UniqId(2)));
    EXPECT_TRUE(live.db.isComponentUsed(PDB::UniqId(2)));
    other.run([&] { EXPECT_EQ(0u, live.db.releaseComponent(PDB::UniqId(2))); });
    EXPECT_EQ(kNone, live.db.getComponentIndex(PDB::UniqId(2)));

    // A release by a thread that never used it leaves the users; nobody using it removes it.
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(3)));
    other.run([&] { EXPECT_EQ(0u, live.db.releaseComponent(PDB::UniqId(3))); });
    EXPECT_TRUE(live.db.isComponentUsed(PDB::UniqId(3)));
    EXPECT_TRUE(live.db.isComponentUsed());
    ASSERT_EQ(0u, live.add(4));
    other.run([&] { EXPECT_EQ(0u, live.db.releaseComponent(PDB::UniqId(4))); });
    EXPECT_EQ(kNone, live.db.getComponentIndex(PDB::UniqId(4)));

    // Unknown identifiers.
    EXPECT_EQ(0x80000001u, live.db.useComponent(PDB::UniqId(77)));
    EXPECT_EQ(0x80000001u, live.db.releaseComponent(PDB::UniqId(77)));
    EXPECT_FALSE(live.db.isComponentUsed(PDB::UniqId(77)));

    // The no-argument forms cover every present component.
    ASSERT_EQ(0u, live.add(5));
    ASSERT_EQ(0u, live.db.useComponent());
    EXPECT_TRUE(live.db.isComponentUsed(PDB::UniqId(5)));
    EXPECT_EQ(0u, live.db.releaseComponent());
    EXPECT_EQ(0u, live.db.componentNum());
    EXPECT_FALSE(live.db.isComponentUsed());
}

TEST(ParameterDBTest, RemovalRequestReachesEveryThreadRecordOnce)
{
    LiveDB live;
    Worker a, b;
    CountingSubscriber subA, subB;
    a.run([&] { EXPECT_EQ(0u, live.db.addDirtyFlag(0x10001, &subA, 0)); });
    b.run([&] { EXPECT_EQ(0u, live.db.addDirtyFlag(0x20001, &subB, 0)); });
    ASSERT_EQ(0u, live.add(7));
    a.run([&] { EXPECT_EQ(0u, live.db.useComponent(PDB::UniqId(7))); });
    b.run([&] { EXPECT_EQ(0u, live.db.useComponent(PDB::UniqId(7))); });
    const int configBefore = subA.configChanges;

    EXPECT_EQ(0u, live.db.reqRemoveComponent(PDB::UniqId(7)));
    EXPECT_EQ(0u, live.db.reqRemoveComponent(PDB::UniqId(7)));
    EXPECT_EQ(0u, live.db.reqRemoveComponent(PDB::UniqId(8)));  // not checked against the components
    EXPECT_EQ(configBefore + 3, subA.configChanges);
    EXPECT_EQ(configBefore + 3, subB.configChanges);
    EXPECT_EQ(1u, live.db.componentNum());  // a request removes nothing
    EXPECT_TRUE(removingList(live.db).empty());  // this thread has no record

    a.run([&] {
        EXPECT_EQ((std::vector<uint32_t>{7, 8}), removingList(live.db));
        EXPECT_EQ(0u, live.db.releaseComponent(PDB::UniqId(7)));
        EXPECT_EQ((std::vector<uint32_t>{8}), removingList(live.db));
    });
    b.run([&] {
        EXPECT_EQ((std::vector<uint32_t>{7, 8}), removingList(live.db));
        EXPECT_EQ(0u, live.db.releaseComponent(PDB::UniqId(7)));  // the last user: removed
    });
    EXPECT_EQ(0u, live.db.componentNum());
    EXPECT_EQ(configBefore + 3, subA.configChanges);  // the removal itself announces nothing

    // A release of a component that is gone keeps the thread's list as it was.
    a.run([&] {
        EXPECT_EQ(0x80000001u, live.db.releaseComponent(PDB::UniqId(8)));
        EXPECT_EQ((std::vector<uint32_t>{8}), removingList(live.db));
    });
}

TEST(ParameterDBTest, NewComponentListsFollowAdditionsAndUse)
{
    LiveDB live;
    CountingSubscriber sub;
    for (uint32_t id : {30u, 10u, 20u}) ASSERT_EQ(0u, live.add(id));
    EXPECT_TRUE(newList(live.db).empty());  // no record before the first registration

    ASSERT_EQ(0u, live.db.addDirtyFlag(1, &sub, 0));
    EXPECT_EQ((std::vector<uint32_t>{30, 10, 20}), newList(live.db));  // slot order
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(10)));
    EXPECT_EQ((std::vector<uint32_t>{30, 20}), newList(live.db));
    ASSERT_EQ(0u, live.add(40));
    EXPECT_EQ((std::vector<uint32_t>{30, 20, 40}), newList(live.db));
    ASSERT_EQ(0u, live.db.useComponent());
    EXPECT_TRUE(newList(live.db).empty());
}

TEST(ParameterDBTest, ClearIsForTheOwnerWithoutUsers)
{
    LiveDB live;
    Worker other;
    CountingSubscriber sub;
    ASSERT_EQ(0u, live.db.addDirtyFlag(5, &sub, 0));
    ASSERT_EQ(0u, live.add(1));
    ASSERT_EQ(0u, live.add(2));

    other.run([&] { EXPECT_EQ(0x80000004u, live.db.clear()); });
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(1)));
    EXPECT_EQ(0x80000004u, live.db.clear());
    EXPECT_EQ(0x80000004u, live.db.finalize());
    EXPECT_EQ(0x80000004u, live.db.initialize(3, "Again", &live.lock));
    EXPECT_EQ(2u, live.db.componentNum());
    EXPECT_EQ(0, live.db.getDirtyFlagSet(5));

    ASSERT_EQ(0u, live.db.releaseComponent(PDB::UniqId(1)));
    EXPECT_EQ(0u, live.db.clear());
    EXPECT_EQ(0u, live.db.componentNum());
    EXPECT_EQ(0u, live.db.componentIndexNum());
    EXPECT_EQ(-1, live.db.getDirtyFlagSet(5));  // subscriptions go too
    EXPECT_TRUE(live.db.isValid());
}

TEST(ParameterDBTest, MakeNewIdAvoidsPresentIdentifiers)
{
    LiveDB live;
    const PDB::UniqId first = live.db.makeNewId();
    ASSERT_TRUE(first.isValid());
    ASSERT_EQ(0u, live.add(first.id()));
    for (int i = 0; i < 20; ++i) {
        const PDB::UniqId id = live.db.makeNewId();
        EXPECT_TRUE(id.isValid());
        EXPECT_EQ(kNone, live.db.getComponentIndex(id));
        ASSERT_EQ(0u, live.add(id.id()));
    }
}

TEST(ParameterDBTest, GetAddressIdFillsTheCache)
{
    LiveDB live(3, "LocalSetup");
    ASSERT_EQ(0u, live.add(1));
    ASSERT_EQ(0u, live.db.addComponent(PDB::UniqId(2), "DBTest", 1, 1, 1, 4));
    const char* text = "/Name";

    const PDB::AddressId byId = live.db.getAddressId(PDB::UniqId(2), text);
    EXPECT_TRUE(byId.isCached());
    EXPECT_EQ(live.db.name(), byId.pdbName());
    EXPECT_EQ(text, byId.strAddress());
    EXPECT_EQ(2u, byId.uniqId().id());
    EXPECT_EQ(3u, byId.pdbInstanceId());
    EXPECT_EQ(1u, byId.componentIndex());
    EXPECT_EQ(kName, byId.addressIndex());

    const PDB::AddressId byIndex = live.db.getAddressId(1, kName);
    EXPECT_TRUE(byIndex.isCached());
    EXPECT_STREQ("/Name", byIndex.strAddress());
    EXPECT_TRUE(byIndex.isSame(byId));
    PDB::AddressId otherGeneration(live.db.name(), PDB::UniqId(2), "/Name");
    ASSERT_EQ(0u, otherGeneration.updateCache(3, 1, 0, kName));
    EXPECT_FALSE(otherGeneration.isSame(byId));  // filled at generation 0, not 4

    struct Case {
        const char* what;
        PDB::AddressId address;
    };
    const Case misses[] = {
        {"absent id", live.db.getAddressId(PDB::UniqId(9), "/Gain")},
        {"absent address", live.db.getAddressId(PDB::UniqId(1), "/Nope")},
        {"absent index", live.db.getAddressId(7, 0)},
    };
    for (const Case& c : misses) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.address.isCached());
        EXPECT_EQ(kNone, c.address.componentIndex());
    }
    EXPECT_FALSE(misses[0].address.uniqId().isValid());
}

TEST(ParameterDBTest, TypedAccessByIndexAndByAddressAgree)
{
    LiveDB live;
    ASSERT_EQ(0u, live.add(1));
    ASSERT_EQ(0u, live.add(2, 2, 2));
    const PDB::AddressId level(live.db.name(), PDB::UniqId(2), "/Level");
    const PDB::AddressId gain(live.db.name(), PDB::UniqId(2), "/Gain");
    const PDB::AddressId name(live.db.name(), PDB::UniqId(2), "/Name");

    EXPECT_EQ(0u, live.db.setUInt32(level, 1, 1, 700, 3));
    EXPECT_TRUE(level.isCached());  // filled on first use
    EXPECT_EQ(1u, level.componentIndex());
    EXPECT_EQ(0x20u, live.db.setSInt32(gain, 0, 0, 500, 4));  // clamped to 100
    EXPECT_EQ(0u, live.db.setString(name, 0, 0, "Kick", 5));
    EXPECT_EQ(0x80000001u, live.db.setUInt32(level, 2, 0, 1, 1));  // outside 2 x 2

    struct Read {
        uint32_t ai, x, y, value;
        uint8_t factor;
    };
    const Read reads[] = {{kLevel, 1, 1, 700, 3}, {kLevel, 0, 1, 1, 0xFF}, {kGain, 0, 0, 100, 4}};
    for (const Read& r : reads) {
        SCOPED_TRACE(r.ai * 100 + r.x * 10 + r.y);
        const PDB::AddressId& address = r.ai == kLevel ? level : gain;
        uint8_t f = 0x5A;
        EXPECT_EQ(r.value, live.db.getUInt32(1, r.ai, r.x, r.y, &f));
        EXPECT_EQ(r.factor, f);
        f = 0x5A;
        EXPECT_EQ(r.value, live.db.getUInt32(address, r.x, r.y, &f));
        EXPECT_EQ(r.factor, f);
        EXPECT_EQ(int32_t(r.value), live.db.getSInt32(address, r.x, r.y, nullptr));
        EXPECT_EQ(r.factor, live.db.getFactor(address, r.x, r.y));
        EXPECT_TRUE(live.db.checkPosRange(address, r.x, r.y));
    }
    JVariant text;
    EXPECT_EQ(0u, live.db.getVariant(text, name, 0, 0, nullptr));
    EXPECT_STREQ("Kick", text.toString());
    EXPECT_EQ(0u, live.db.getDefault(text, 1, kName, 0, 0));
    EXPECT_STREQ("none", text.toString());
    EXPECT_EQ(2u, live.db.paramInfo(level).numX);
    EXPECT_EQ(0xFF, live.db.getFactor(level, 2, 0));  // outside the array
    EXPECT_FALSE(live.db.checkPosRange(level, 2, 0));

    // Defaults of one element, one address and the whole component; component 0 untouched.
    ASSERT_EQ(0u, live.db.setUInt32(0, kGain, 0, 0, 9, 1));
    EXPECT_EQ(0u, live.db.setDefault(level, 1, 1, 6));
    EXPECT_EQ(1u, live.db.getUInt32(1, kLevel, 1, 1, nullptr));
    EXPECT_EQ(0u, live.db.setDefault(gain, 7));
    EXPECT_EQ(5u, live.db.getUInt32(1, kGain, 0, 0, nullptr));
    EXPECT_EQ(0u, live.db.setDefault(1u, uint8_t(8)));
    EXPECT_EQ(0u, live.db.getVariant(text, 1, kName, 0, 0, nullptr));
    EXPECT_STREQ("none", text.toString());
    EXPECT_EQ(9u, live.db.getUInt32(0, kGain, 0, 0, nullptr));

    // An address that names nothing reaches the null component and stays uncached.
    const PDB::AddressId missing(live.db.name(), PDB::UniqId(2), "/Nope");
    uint8_t f = 0;
    EXPECT_EQ(0x80080000u, live.db.setUInt32(missing, 0, 0, 1, 1));
    EXPECT_EQ(0u, live.db.getUInt32(missing, 0, 0, &f));
    EXPECT_EQ(0xFF, f);
    EXPECT_FALSE(missing.isCached());
}

TEST(ParameterDBTest, CachedAddressNeverWritesIntoAnotherComponent)
{
    LiveDB live(3, "LocalSetup");
    ASSERT_EQ(0u, live.add(1));
    ASSERT_EQ(0u, live.add(2));
    const PDB::AddressId gain = live.db.getAddressId(PDB::UniqId(2), "/Gain");
    ASSERT_EQ(1u, gain.componentIndex());

    // The component goes and another one takes its slot.
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(2)));
    ASSERT_EQ(0u, live.db.releaseComponent(PDB::UniqId(2)));
    ASSERT_EQ(0u, live.add(3));
    ASSERT_EQ(1u, live.db.getComponentIndex(PDB::UniqId(3)));
    EXPECT_EQ(0x80080000u, live.db.setUInt32(gain, 0, 0, 77, 1));
    EXPECT_EQ(5u, live.db.getUInt32(1, kGain, 0, 0, nullptr));
    EXPECT_EQ(0u, live.db.getUInt32(gain, 0, 0, nullptr));

    // Back in another slot: the address follows it and its cache is refreshed.
    ASSERT_EQ(0u, live.add(2));
    EXPECT_EQ(0u, live.db.setUInt32(gain, 0, 0, 77, 1));
    EXPECT_EQ(77u, live.db.getUInt32(2, kGain, 0, 0, nullptr));
    EXPECT_EQ(2u, gain.componentIndex());
    EXPECT_EQ(5u, live.db.getUInt32(1, kGain, 0, 0, nullptr));

    // A resize keeps the cache in use.
    ASSERT_EQ(0u, live.db.resizeComponent(2, 3, 3, true, 1));
    EXPECT_EQ(0u, live.db.setUInt32(gain, 0, 0, 78, 1));
    EXPECT_EQ(78u, live.db.getUInt32(2, kGain, 0, 0, nullptr));
    EXPECT_EQ(0, gain.generation());

    // Another database: used unchanged where the same component sits in the same slot, looked up
    // by identity elsewhere; the cache keeps naming the first database.
    LiveDB same(4, "Mirror");
    for (uint32_t id : {1u, 3u, 2u}) ASSERT_EQ(0u, same.add(id));
    EXPECT_EQ(0u, same.db.setUInt32(gain, 0, 0, 55, 1));
    EXPECT_EQ(55u, same.db.getUInt32(2, kGain, 0, 0, nullptr));
    LiveDB shifted(5, "Shifted");
    for (uint32_t id : {2u, 1u, 3u}) ASSERT_EQ(0u, shifted.add(id));
    EXPECT_EQ(0u, shifted.db.setUInt32(gain, 0, 0, 66, 1));
    EXPECT_EQ(66u, shifted.db.getUInt32(0, kGain, 0, 0, nullptr));
    EXPECT_EQ(5u, shifted.db.getUInt32(2, kGain, 0, 0, nullptr));
    EXPECT_EQ(3u, gain.pdbInstanceId());
    EXPECT_EQ(2u, gain.componentIndex());
}

TEST(ParameterDBTest, SubscribersGetDenseSlotsAndKeepTheirFirstRegistration)
{
    LiveDB live;
    CountingSubscriber first, second;
    ASSERT_EQ(0u, live.add(1));
    EXPECT_EQ(0u, live.db.addDirtyFlag(0xA0001, &first, 1));
    EXPECT_EQ(0u, live.db.addDirtyFlag(0xA0002, &first, 0));
    EXPECT_EQ(0u, live.db.addDirtyFlag(0xA0001, &second, 0));  // already registered: no change
    EXPECT_EQ(0, live.db.getDirtyFlagSet(0xA0001));
    EXPECT_EQ(1, live.db.getDirtyFlagSet(0xA0002));
    EXPECT_EQ(-1, live.db.getDirtyFlagSet(0xA0003));
    ASSERT_EQ(0u, live.add(2));  // gets both slots with their attributes

    // Inside a recall bracket only the slot registered with attribute 1 is marked.
    EXPECT_EQ(0u, live.db._BeginRecall());
    EXPECT_TRUE(live.db._IsRecalling());
    for (uint32_t ci : {0u, 1u}) ASSERT_EQ(0u, live.db.setUInt32(ci, kGain, 0, 0, 20, 1));
    EXPECT_EQ(0u, live.db._EndRecall());
    EXPECT_FALSE(live.db._IsRecalling());
    const std::vector<Position> both{{0, kGain, 0, 0}, {1, kGain, 0, 0}};
    EXPECT_EQ(both, captureAndWalk(live.db, 0));
    EXPECT_TRUE(captureAndWalk(live.db, 1).empty());

    // Outside the bracket every slot is marked; each write wakes the thread once.
    const int woken = first.parameterChanges;
    for (uint32_t ci : {0u, 1u}) ASSERT_EQ(0u, live.db.setUInt32(ci, kGain, 0, 0, 30, 1));
    EXPECT_EQ(both, captureAndWalk(live.db, 0));
    EXPECT_EQ(both, captureAndWalk(live.db, 1));
    EXPECT_EQ(woken + 2, first.parameterChanges);
    EXPECT_EQ(0, second.parameterChanges);

    // A slot nobody registered.
    EXPECT_EQ(0x80000000u, live.db.captureDirtyFlag(2));
    EXPECT_EQ(0x80000000u, live.db.captureDirtyFlag(-1));
    EXPECT_EQ(0u, live.db.clearAllDirty(2));
    uint32_t ci = 0, ai = 0, x = 0, y = 0;
    EXPECT_TRUE(JLIB::isFailure(live.db.checkNextDirty(7, ci, ai, x, y, false)));
}

TEST(ParameterDBTest, WalkGoesByComponentThenAddressThenPosition)
{
    LiveDB live;
    CountingSubscriber sub;
    ASSERT_EQ(0u, live.db.addDirtyFlag(1, &sub, 0));
    for (uint32_t id : {1u, 2u, 3u}) ASSERT_EQ(0u, live.add(id));
    ASSERT_EQ(0u, live.db.useComponent(PDB::UniqId(2)));
    ASSERT_EQ(0u, live.db.releaseComponent(PDB::UniqId(2)));  // slot 1 empty

    ASSERT_EQ(0u, live.db.setUInt32(2, kLevel, 0, 0, 9, 1));
    ASSERT_EQ(0u, live.db.setUInt32(0, kGain, 0, 0, 9, 1));
    ASSERT_EQ(0u, live.db.setUInt32(0, kLevel, 1, 0, 9, 1));
    ASSERT_EQ(0u, live.db.setUInt32(0, kLevel, 0, 1, 9, 1));
    ASSERT_EQ(0u, live.db.setUInt32(0, kLevel, 0, 1, 9, 1));  // unchanged: marks nothing more
    ASSERT_EQ(0u, live.db.setDirty(2, kGain, 0, 0, 4));
    EXPECT_EQ(4, live.db.getFactor(2, kGain, 0, 0));

    ASSERT_EQ(0u, live.db.captureDirtyFlag(0));
    EXPECT_TRUE(live.db.getDirty(0, 0, kLevel, 1, 0));
    EXPECT_FALSE(live.db.getDirty(0, 0, kLevel, 1, 1));
    EXPECT_FALSE(live.db.getDirty(1, 0, kLevel, 1, 0));  // no such slot
    const PDB::AddressId gain(live.db.name(), PDB::UniqId(3), "/Gain");
    EXPECT_TRUE(live.db.getDirty(0, gain, 0, 0));

    // Stopping at the component end keeps the position.
    uint32_t ci = 0, ai = 0, x = 0, y = 0;
    std::vector<Position> found;
    while (live.db.checkNextDirty(0, ci, ai, x, y, true) == 0u) found.emplace_back(ci, ai, x, y);
    EXPECT_EQ((std::vector<Position>{{0, kLevel, 0, 1}, {0, kLevel, 1, 0}, {0, kGain, 0, 0}}), found);
    EXPECT_EQ((Position{0, kGain, 0, 0}), (Position{ci, ai, x, y}));
    // Going on skips the empty slot.
    found.clear();
    while (live.db.checkNextDirty(0, ci, ai, x, y, false) == 0u) found.emplace_back(ci, ai, x, y);
    EXPECT_EQ((std::vector<Position>{{2, kLevel, 0, 0}, {2, kGain, 0, 0}}), found);
    EXPECT_EQ(0x200000u, live.db.checkNextDirty(0, ci, ai, x, y, false));
    EXPECT_FALSE(live.db.getDirty(0, gain, 0, 0));  // walked flags are cleared

    // A change after the capture waits for the next one; clearAllDirty empties the read bank.
    ASSERT_EQ(0u, live.db.setUInt32(0, kGain, 0, 0, 10, 1));
    ci = ai = x = y = 0;
    EXPECT_EQ(0x200000u, live.db.checkNextDirty(0, ci, ai, x, y, false));
    EXPECT_EQ((std::vector<Position>{{0, kGain, 0, 0}}), captureAndWalk(live.db, 0));
    ASSERT_EQ(0u, live.db.setUInt32(0, kGain, 0, 0, 11, 1));
    ASSERT_EQ(0u, live.db.captureDirtyFlag(0));
    EXPECT_EQ(0u, live.db.clearAllDirty(0));
    ci = ai = x = y = 0;
    EXPECT_EQ(0x200000u, live.db.checkNextDirty(0, ci, ai, x, y, false));

    EXPECT_EQ(0u, live.db.reevaluate(2));  // passes over the empty slot
}

TEST(ParameterDBTest, EveryOperationWakesEachSubscribingThreadOnce)
{
    LiveDB live;
    Worker other;
    CountingSubscriber mine, theirs;
    ASSERT_EQ(0u, live.db.addDirtyFlag(0x10001, &mine, 0));
    ASSERT_EQ(0u, live.db.addDirtyFlag(0x10002, &mine, 0));  // same thread: still one wake-up
    other.run([&] { EXPECT_EQ(0u, live.db.addDirtyFlag(0x20001, &theirs, 0)); });
    ASSERT_EQ(0u, live.add(1));

    struct Case {
        const char* what;
        std::function<JLIB::JResult()> call;
        int wakes;
    };
    LiveDB sourceDb;
    ASSERT_EQ(0u, sourceDb.add(1));
    const PDB::IParameterArray& sourceLevels = sourceDb.db._getComponent(0).paramArray(kLevel);
    const Case cases[] = {
        {"changed value", [&] { return live.db.setUInt32(0, kGain, 0, 0, 50, 1); }, 1},
        {"same value", [&] { return live.db.setUInt32(0, kGain, 0, 0, 50, 1); }, 1},
        {"whole component default", [&] { return live.db.setDefault(0u, uint8_t(1)); }, 1},
        {"dirty mark", [&] { return live.db.setDirty(0, kGain, 0, 0, 1); }, 1},
        {"several elements", [&] { return live.db.setVariants(0, kLevel, sourceLevels, 1); }, 1},
        {"no component", [&] { return live.db.setUInt32(5, kGain, 0, 0, 1, 1) == 0x80080000u ? 0u : 1u; }, 0},
        {"reads", [&] { return live.db.getUInt32(0, kGain, 0, 0, nullptr) == 5u ? 0u : 1u; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int mineBefore = mine.parameterChanges, theirsBefore = theirs.parameterChanges;
        EXPECT_TRUE(JLIB::isSuccess(c.call()));
        EXPECT_EQ(mineBefore + c.wakes, mine.parameterChanges);
        EXPECT_EQ(theirsBefore + c.wakes, theirs.parameterChanges);
    }
}

TEST(ParameterDBTest, ConfigurationChangesAreAnnouncedAfterAddAndResize)
{
    LiveDB live;
    Worker other;
    CountingSubscriber mine, theirs;
    ASSERT_EQ(0u, live.db.addDirtyFlag(1, &mine, 0));
    other.run([&] { EXPECT_EQ(0u, live.db.addDirtyFlag(2, &theirs, 0)); });

    struct Case {
        const char* what;
        std::function<JLIB::JResult()> call;
        int announcements;
    };
    const Case cases[] = {
        {"add by name", [&] { return live.add(1); }, 1},
        {"add by definition", [&] { return live.db.addComponent(PDB::UniqId(2), dbTestType()); }, 1},
        {"refused add", [&] { return live.add(1) == 0x80000001u ? 0u : 1u; }, 0},
        {"resize", [&] { return live.db.resizeComponent(0, 3, 3, true, 1); }, 1},
        {"refused resize", [&] { return live.db.resizeComponent(0, 9, 9, true, 1) == 0u ? 1u : 0u; }, 0},
        {"resize of a missing component", [&] { return (void)live.db.resizeComponent(7, 2, 2, true, 1), 0u; }, 0},
        {"user name", [&] { return live.db.setUserName(0, "x"); }, 0},
        {"removal request", [&] { return live.db.reqRemoveComponent(PDB::UniqId(1)); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int mineBefore = mine.configChanges, theirsBefore = theirs.configChanges;
        EXPECT_EQ(0u, c.call());
        EXPECT_EQ(mineBefore + c.announcements, mine.configChanges);
        EXPECT_EQ(theirsBefore + c.announcements, theirs.configChanges);
    }
    EXPECT_EQ(3u, live.db.componentInfo(0).numX());
    EXPECT_EQ(1, live.db.generation(0));
}

TEST(ParameterDBTest, TwoSubscribingThreadsEachFindEveryChange)
{
    LiveDB live;
    for (uint32_t id : {1u, 2u}) ASSERT_EQ(0u, live.add(id, 4, 4));

    // Each subscriber posts its wake-ups to its own thread, which captures and walks there.
    struct Subscriber : PDB::IParameterDBCallback {
        uint32_t rawCallbackChangePDBConfig() override { return 0; }
        uint32_t rawCallbackSetPDBParameter() override
        {
            {
                std::lock_guard<std::mutex> lock(mutex);
                pending = true;
            }
            wake.notify_one();
            return 0;
        }
        std::mutex mutex;
        std::condition_variable wake;
        bool pending = false;
        std::set<Position> seen;
        std::atomic<bool> registered{false};
    };
    constexpr size_t kWrites = 2 * 16;
    Subscriber subscribers[2];
    auto subscriberLoop = [&](Subscriber& s, uint32_t subscriberId) {
        EXPECT_EQ(0u, live.db.addDirtyFlag(subscriberId, &s, 0));
        const int32_t slot = live.db.getDirtyFlagSet(subscriberId);
        s.registered = true;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (s.seen.size() < kWrites && std::chrono::steady_clock::now() < deadline) {
            {
                std::unique_lock<std::mutex> lock(s.mutex);
                s.wake.wait_for(lock, 50ms, [&] { return s.pending; });
                s.pending = false;
            }
            EXPECT_EQ(0u, live.db.captureDirtyFlag(slot));
            uint32_t ci = 0, ai = 0, x = 0, y = 0;
            while (live.db.checkNextDirty(slot, ci, ai, x, y, false) == 0u) {
                EXPECT_TRUE(s.seen.emplace(ci, ai, x, y).second);  // each change found once
            }
        }
    };
    std::thread first(subscriberLoop, std::ref(subscribers[0]), 0x10001u);
    std::thread second(subscriberLoop, std::ref(subscribers[1]), 0x20001u);
    const auto registeredBy = std::chrono::steady_clock::now() + 5s;
    while (!(subscribers[0].registered && subscribers[1].registered) &&
           std::chrono::steady_clock::now() < registeredBy) {
        std::this_thread::yield();
    }
    ASSERT_TRUE(subscribers[0].registered && subscribers[1].registered);

    std::set<Position> written;
    for (uint32_t ci = 0; ci < 2; ++ci) {
        for (uint32_t x = 0; x < 4; ++x) {
            for (uint32_t y = 0; y < 4; ++y) {
                EXPECT_EQ(0u, live.db.setUInt32(ci, kLevel, x, y, 100 + x * 4 + y, 1));
                written.emplace(ci, kLevel, x, y);
            }
        }
    }
    first.join();
    second.join();
    EXPECT_EQ(written, subscribers[0].seen);
    EXPECT_EQ(written, subscribers[1].seen);
}

TEST(ParameterDBTest, LateSubscriberStartsCleanWhileEarlierOnesKeepTheirMarks)
{
    LiveDB live;
    CountingSubscriber sub;
    ASSERT_EQ(0u, live.add(1));
    ASSERT_EQ(0u, live.db.addDirtyFlag(1, &sub, 0));
    ASSERT_EQ(0u, live.db.setUInt32(0, kGain, 0, 0, 40, 1));
    ASSERT_EQ(0u, live.db.setUInt32(0, kLevel, 1, 2, 40, 1));
    ASSERT_EQ(0u, live.db.captureDirtyFlag(0));  // one mark captured, one still to write
    ASSERT_EQ(0u, live.db.setUInt32(0, kLevel, 0, 0, 40, 1));

    ASSERT_EQ(0u, live.db.addDirtyFlag(2, &sub, 0));
    EXPECT_TRUE(captureAndWalk(live.db, 1).empty());
    uint32_t ci = 0, ai = 0, x = 0, y = 0;
    std::vector<Position> captured;
    while (live.db.checkNextDirty(0, ci, ai, x, y, false) == 0u) captured.emplace_back(ci, ai, x, y);
    EXPECT_EQ((std::vector<Position>{{0, kLevel, 1, 2}, {0, kGain, 0, 0}}), captured);
    EXPECT_EQ((std::vector<Position>{{0, kLevel, 0, 0}}), captureAndWalk(live.db, 0));
}
