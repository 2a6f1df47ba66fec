// The instance broker on real threads: registration, permissions, facades, reference counts,
// deletion while in use, link frameworks and the notifier, under a device-control mutex. The
// broker is one per process; each test names its own items so the tests do not meet.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "comctrl/TCM/CommandRepository.h"
#include "devctrl/FacadeTestSupport.h"
#include "devctrl/InstanceBrokerTestSupport.h"
#include "devctrl/LockTestSupport.h"
#include "devctrl/devctrl_InstanceBroker.h"
#include "devctrl/devctrl_MMSMutex.h"
#include "devctrl/devctrl_ReadwriteFacade.h"

using namespace BrokerTest;
using DeviceControl::IFacade;
using DeviceControl::MMSInstanceBroker;
using DeviceControl::ReadonlyFacade;
using DeviceControl::ReadwriteFacade;

namespace {

constexpr uint32_t kNotPermitted = 0x8000000au;

MMSInstanceBroker& broker() { return MMSInstanceBroker::getInstance(); }

DeviceControl::MMSMutex& brokerMutex()
{
    static DeviceControl::MMSMutex mutex("BrokerPrm", "BrokerCtrl");
    return mutex;
}

RecordingNotifier& notifier()
{
    static RecordingNotifier recorder;
    return recorder;
}

bool isReadwrite(IFacade* facade) { return dynamic_cast<ReadwriteFacade*>(facade) != nullptr; }

class InstanceBrokerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const uint32_t r = broker().initialize(brokerMutex(), &notifier());
        ASSERT_TRUE(r == 0 || r == 0x80000004u) << r;  // once per process
        notifier().onNotify = nullptr;
        (void)notifier().take();
    }
    void TearDown() override { notifier().onNotify = nullptr; }

    bool heapReady = (MmsTest::heap1(), true);  // before the fields: their cores come from heap 1
    MMS::Field field{nullptr, nullptr, nullptr, nullptr, nullptr};
    MMS::Field otherField{nullptr, nullptr, nullptr, nullptr, nullptr};
    TaskThread owner;
    TaskThread setter;
    TaskThread reader;
};

}  // namespace

TEST(InstanceBrokerStartTest, RefusesEverythingBeforeInitializeAndInitializesOnce)
{
    if (broker().checkItem(nullptr, "Anything") != 0x80000009u) GTEST_SKIP() << "broker initialised earlier";
    MMS::IField* field = nullptr;
    IFacade* facade = nullptr;
    TCM::ICommunicator* communicator = nullptr;
    TCM::IRepository* repository = nullptr;
    TCM::CommandRepository* commands = nullptr;
    ParameterProc::ILinkFramework* framework = nullptr;
    MMSInstanceBroker::CATEGORY_ITEM_STATE state{};
    const uint32_t results[] = {
        broker().createVirtualUnit("U"),
        broker().deleteVirtualUnit("U"),
        broker().registerMmsInstance(nullptr, "F", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0),
        broker().unregisterMmsInstance(&field, "F"),
        broker().registerCommandRepository(nullptr, "R"),
        broker().unregisterCommandRepository(&commands, "R"),
        broker().getField(&field, "F"),
        broker().releaseField(&field, "F"),
        broker().assignLinkFramework(nullptr, "U"),
        broker().removeLinkFramework(&framework, "U"),
        broker().getFacade(&facade, "F", false, 0, 0, 0),
        broker().releaseFacade(&facade, "F"),
        broker().getCommunicator(&communicator, "R"),
        broker().releaseCommunicator(&communicator, "R"),
        broker().getRepository(&repository, "R"),
        broker().releaseRepository(&repository, "R"),
        broker().checkItem(nullptr, "F"),
        broker().getState(&state, "F"),
    };
    for (size_t i = 0; i < std::size(results); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0x80000009u, results[i]);
    }
    EXPECT_EQ(0u, broker().initialize(brokerMutex(), &notifier()));
    EXPECT_EQ(0x80000004u, broker().initialize(brokerMutex(), nullptr));
    EXPECT_EQ(6u, broker().checkItem(nullptr, "F"));
}

TEST_F(InstanceBrokerTest, DeepNamesMakeGroupsThatOnlyNobodyOwns)
{
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "GroupA/FieldB", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    EXPECT_EQ((std::vector<Event>{{0, 0}}), notifier().take());
    MMSInstanceBroker::CATEGORY_ITEM_TYPE type = MMSInstanceBroker::ITEM_TYPE_UNKNOWN;
    EXPECT_EQ(0u, broker().checkItem(&type, "GroupA"));
    EXPECT_EQ(MMSInstanceBroker::ITEM_TYPE_UNIT, type);
    EXPECT_EQ(0u, broker().checkItem(&type, "GroupA//FieldB"));
    EXPECT_EQ(MMSInstanceBroker::ITEM_TYPE_FIELD, type);

    // The owner test comes before the test for children: no task with an id owns the group.
    EXPECT_EQ(kNotPermitted, owner.run([] { return broker().deleteVirtualUnit("GroupA"); }));
    MMS::IField* handedBack = nullptr;
    EXPECT_EQ(0u, owner.run([&] { return broker().unregisterMmsInstance(&handedBack, "GroupA/FieldB"); }));
    EXPECT_EQ(&field, handedBack);
    EXPECT_EQ(kNotPermitted, reader.run([] { return broker().deleteVirtualUnit("GroupA"); }));
    EXPECT_EQ(0u, broker().checkItem(&type, "GroupA"));
}

TEST_F(InstanceBrokerTest, NamesAreCheckedSegmentBySegment)
{
    const std::string name23 = "N" + std::string(22, 'x');
    const std::string name24 = "N" + std::string(23, 'y');
    const std::string deep24 = "Deep/" + name24;
    struct Case {
        const char* name;
        uint32_t result;
    };
    const Case cases[] = {
        {name23.c_str(), 0},
        {name24.c_str(), 0x80000006u},
        {deep24.c_str(), 0x80000006u},
        {"", 0x80000006u},
        {"/Leading", 0x80000006u},
        {nullptr, 0x80000002u},
        {"Multi//Slash", 0},
        {"Multi/Slash", 0x80000008u},
        {"Segments/Trail/", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(c.result, owner.run([&] { return broker().createVirtualUnit(c.name); }));
    }
    EXPECT_EQ(0u, broker().checkItem(nullptr, name23.c_str()));
    EXPECT_EQ(6u, broker().checkItem(nullptr, name24.c_str()));
    EXPECT_EQ(0u, broker().checkItem(nullptr, "Segments/Trail"));
    EXPECT_EQ(0u, broker().checkItem(nullptr, "Deep"));  // the group made on the way stays
}

TEST_F(InstanceBrokerTest, RegisteringANameTwiceKeepsTheFirst)
{
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "Twice", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    EXPECT_EQ(0x80000008u, owner.run([&] {
        return broker().registerMmsInstance(&otherField, "Twice", MMSInstanceBroker::PERMISSION_SETTER_WRITE, 0);
    }));
    MMS::IField* got = nullptr;
    ASSERT_EQ(0u, reader.run([&] { return broker().getField(&got, "Twice"); }));
    EXPECT_EQ(&field, got);
    IFacade* facade = nullptr;
    ASSERT_EQ(0u, reader.run([&] { return broker().getFacade(&facade, "Twice", false, 0, 0, 0); }));
    EXPECT_TRUE(isReadwrite(facade));  // still permission 0
    EXPECT_EQ(0u, reader.run([&] { return broker().releaseFacade(&facade, "Twice"); }));
    EXPECT_EQ(0u, reader.run([&] { return broker().releaseField(&got, "Twice"); }));
}

TEST_F(InstanceBrokerTest, PermissionDecidesBetweenReadwriteAndReadonlyFacades)
{
    const uint16_t setterId = setter.id();
    ASSERT_NE(setterId, owner.id());
    ASSERT_NE(setterId, reader.id());
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "OneWriter", MMSInstanceBroker::PERMISSION_SETTER_WRITE, setterId);
    }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&otherField, "OwnerWrites", MMSInstanceBroker::PERMISSION_SETTER_WRITE, 0);
    }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&otherField, "AllWrite", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));

    struct Case {
        TaskThread* task;
        const char* name;
        bool readwrite;
    };
    const Case cases[] = {
        {&setter, "OneWriter", true},  {&reader, "OneWriter", false}, {&owner, "OneWriter", false},
        {&owner, "OwnerWrites", true}, {&setter, "OwnerWrites", false}, {&reader, "AllWrite", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IFacade* facade = nullptr;
        ASSERT_EQ(0u, c.task->run([&] { return broker().getFacade(&facade, c.name, false, 0, 0, 0); }));
        ASSERT_NE(nullptr, facade);
        EXPECT_EQ(c.readwrite, isReadwrite(facade));
        EXPECT_EQ(0u, c.task->run([&] { return broker().releaseFacade(&facade, c.name); }));
        EXPECT_EQ(nullptr, facade);
    }
}

TEST_F(InstanceBrokerTest, UnknownPermissionGivesNoFacadeAndNoReference)
{
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "OddPermission",
                                            static_cast<MMSInstanceBroker::CATEGORY_MMS_PERMISSION>(5), 0);
    }));
    IFacade* facade = reinterpret_cast<IFacade*>(0x1);
    EXPECT_EQ(0x80000005u, reader.run([&] { return broker().getFacade(&facade, "OddPermission", false, 0, 0, 0); }));
    EXPECT_EQ(nullptr, facade);
    MMS::IField* back = nullptr;
    EXPECT_EQ(0u, owner.run([&] { return broker().unregisterMmsInstance(&back, "OddPermission"); }));
}

TEST_F(InstanceBrokerTest, DeletionWhileInUseWaitsForTheLastRelease)
{
    const uint16_t ownerId = owner.id();
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "Busy", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    IFacade* facade = nullptr;
    ASSERT_EQ(0u, reader.run([&] { return broker().getFacade(&facade, "Busy", false, 0, 0, 0); }));
    (void)notifier().take();

    MMS::IField* back = nullptr;
    EXPECT_EQ(0x80000004u, owner.run([&] { return broker().unregisterMmsInstance(&back, "Busy"); }));
    EXPECT_EQ(nullptr, back);
    EXPECT_EQ((std::vector<Event>{{0, 1}}), notifier().take());
    MMSInstanceBroker::CATEGORY_ITEM_STATE state{};
    EXPECT_EQ(0u, broker().getState(&state, "Busy"));
    EXPECT_EQ(MMSInstanceBroker::ITEM_STATE_DELETING, state);
    MMS::IField* got = nullptr;
    EXPECT_EQ(0x80000004u, reader.run([&] { return broker().getField(&got, "Busy"); }));
    IFacade* second = nullptr;
    EXPECT_EQ(0x80000004u, reader.run([&] { return broker().getFacade(&second, "Busy", false, 0, 0, 0); }));

    EXPECT_EQ(0u, reader.run([&] { return broker().releaseFacade(&facade, "Busy"); }));
    EXPECT_EQ((std::vector<Event>{{ownerId, 2}}), notifier().take());
    EXPECT_EQ(0u, owner.run([&] { return broker().unregisterMmsInstance(&back, "Busy"); }));
    EXPECT_EQ(&field, back);
    EXPECT_EQ((std::vector<Event>{{0, 0}}), notifier().take());
    EXPECT_EQ(6u, broker().checkItem(nullptr, "Busy"));
}

TEST_F(InstanceBrokerTest, DeleteChecksOwnerAndCategoryBeforeAnythingChanges)
{
    ASSERT_EQ(0u, owner.run([&] { return broker().createVirtualUnit("CatUnit"); }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "CatField", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    ASSERT_EQ(0u, owner.run([&] { return broker().createVirtualUnit("CatUnit/Child"); }));
    (void)notifier().take();

    MMS::IField* back = nullptr;
    TCM::CommandRepository* commands = nullptr;
    EXPECT_EQ(0x80000006u, owner.run([&] { return broker().unregisterMmsInstance(&back, "CatUnit/Child"); }));
    EXPECT_EQ(0x80000006u, owner.run([&] { return broker().deleteVirtualUnit("CatField"); }));
    EXPECT_EQ(0x80000006u, owner.run([&] { return broker().unregisterCommandRepository(&commands, "CatField"); }));
    EXPECT_EQ(kNotPermitted, reader.run([&] { return broker().unregisterMmsInstance(&back, "CatField"); }));
    EXPECT_EQ(0x80000004u, owner.run([&] { return broker().deleteVirtualUnit("CatUnit"); }));  // has a child
    EXPECT_EQ(0x80000006u, owner.run([&] { return broker().deleteVirtualUnit("CatMissing"); }));
    EXPECT_EQ(0x80000002u, owner.run([&] { return broker().deleteVirtualUnit(nullptr); }));
    EXPECT_TRUE(notifier().take().empty());
    EXPECT_EQ(nullptr, back);

    EXPECT_EQ(0u, owner.run([&] { return broker().deleteVirtualUnit("CatUnit/Child"); }));
    EXPECT_EQ(0u, owner.run([&] { return broker().deleteVirtualUnit("CatUnit"); }));
    EXPECT_EQ((std::vector<Event>{{0, 0}, {0, 0}}), notifier().take());
}

TEST_F(InstanceBrokerTest, FacadesGetTheUnitsFrameworkAndName)
{
    FacadeTest::buildRoots(field, {"A"});
    FacadeTest::RecordingLinkFramework unitFramework;
    FacadeTest::RecordingLinkFramework rootFramework;
    ASSERT_EQ(0u, owner.run([&] { return broker().createVirtualUnit("FwUnit"); }));
    ASSERT_EQ(0u, broker().assignLinkFramework(&unitFramework, "FwUnit"));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "FwUnit/Mixer", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "TopMixer", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));

    auto readThrough = [&](const char* name, uint32_t taskId) {
        return reader.run([&] {
            IFacade* facade = nullptr;
            EXPECT_EQ(0u, broker().getFacade(&facade, name, false, 0, 0, taskId));
            if (!facade) return;
            const uint32_t index[1] = {0};
            JVariant value;
            EXPECT_EQ(0u, facade->getPrmFast(&value, nullptr, "A", FacadeTest::kGainNode, index, 1, 0));
            EXPECT_EQ(0u, broker().releaseFacade(&facade, name));
        });
    };
    readThrough("FwUnit/Mixer", 0);
    ASSERT_EQ(1u, unitFramework.calls.size());
    EXPECT_EQ("FwUnit", unitFramework.calls[0].unitName);
    EXPECT_EQ(reader.id(), unitFramework.calls[0].taskId);  // task id 0: the caller's

    // Directly under the root: the root's framework, no unit name.
    ASSERT_EQ(0u, broker().assignLinkFramework(&rootFramework, ""));
    readThrough("TopMixer", 4321);
    ASSERT_EQ(0u, broker().removeLinkFramework(nullptr, nullptr));
    ASSERT_EQ(1u, rootFramework.calls.size());
    EXPECT_EQ("", rootFramework.calls[0].unitName);
    EXPECT_EQ(4321u, rootFramework.calls[0].taskId);
    EXPECT_EQ(1u, unitFramework.calls.size());

    // A path that ends in its separators names no field below the unit.
    IFacade* facade = nullptr;
    EXPECT_EQ(0x80000006u, reader.run([&] { return broker().getFacade(&facade, "TopMixer//", false, 0, 0, 0); }));
    EXPECT_EQ(0x80000004u, reader.run([&] { return broker().getFacade(&facade, "FwUnit", false, 0, 0, 0); }));
}

TEST_F(InstanceBrokerTest, SubscribesTheFacadeOnRequestAndUndoesAFailedSubscription)
{
    FacadeTest::buildRoots(field, {"A"});
    FacadeTest::FaultyField faulty;
    FacadeTest::buildRoots(faulty, {"A"});
    faulty.failing.insert("subscribe");
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "SubOk", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&faulty, "SubFails", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));

    IFacade* facade = nullptr;
    ASSERT_EQ(0u, reader.run([&] { return broker().getFacade(&facade, "SubOk", true, 0, 1, 555); }));
    EXPECT_TRUE(FacadeTest::isFailure(field.subscribe(0, 555, 1, false)));  // the facade holds it
    EXPECT_EQ(0u, reader.run([&] { return broker().releaseFacade(&facade, "SubOk"); }));
    EXPECT_EQ(0u, field.subscribe(0, 555, 1, false));  // given back with the facade

    IFacade* refused = reinterpret_cast<IFacade*>(0x1);
    EXPECT_EQ(0x80000008u, reader.run([&] { return broker().getFacade(&refused, "SubFails", true, 0, 1, 0); }));
    EXPECT_EQ(nullptr, refused);
    MMS::IField* back = nullptr;
    EXPECT_EQ(0u, owner.run([&] { return broker().unregisterMmsInstance(&back, "SubFails"); }));  // no reference
}

TEST_F(InstanceBrokerTest, HandsOutARepositoryUnderBothInterfacesAndCountsEach)
{
    TCM::CommandRepository commands;
    const uint16_t ownerId = owner.id();
    ASSERT_EQ(0u, owner.run([&] { return broker().registerCommandRepository(&commands, "Commands"); }));
    TCM::ICommunicator* communicator = nullptr;
    TCM::IRepository* repository = nullptr;
    ASSERT_EQ(0u, reader.run([&] { return broker().getCommunicator(&communicator, "Commands"); }));
    ASSERT_EQ(0u, setter.run([&] { return broker().getRepository(&repository, "Commands"); }));
    EXPECT_EQ(static_cast<TCM::ICommunicator*>(&commands), communicator);
    EXPECT_EQ(static_cast<TCM::IRepository*>(&commands), repository);
    EXPECT_NE(static_cast<void*>(communicator), static_cast<void*>(repository));
    MMSInstanceBroker::CATEGORY_ITEM_TYPE type = MMSInstanceBroker::ITEM_TYPE_UNKNOWN;
    EXPECT_EQ(0u, broker().checkItem(&type, "Commands"));
    EXPECT_EQ(MMSInstanceBroker::ITEM_TYPE_REPOSITORY, type);
    IFacade* facade = nullptr;
    EXPECT_EQ(0x80000005u, reader.run([&] { return broker().getFacade(&facade, "Commands", false, 0, 0, 0); }));

    TCM::CommandRepository* back = nullptr;
    (void)notifier().take();
    EXPECT_EQ(0x80000004u, owner.run([&] { return broker().unregisterCommandRepository(&back, "Commands"); }));
    EXPECT_EQ(0u, reader.run([&] { return broker().releaseCommunicator(&communicator, "Commands"); }));
    EXPECT_EQ(nullptr, communicator);
    EXPECT_EQ(0u, setter.run([&] { return broker().releaseRepository(&repository, "Commands"); }));
    EXPECT_EQ((std::vector<Event>{{0, 1}, {ownerId, 2}}), notifier().take());
    EXPECT_EQ(0u, owner.run([&] { return broker().unregisterCommandRepository(&back, "Commands"); }));
    EXPECT_EQ(&commands, back);
}

TEST_F(InstanceBrokerTest, ReleasingAFieldNullsThePointerWithTheLastReference)
{
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "Shared", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    MMS::IField* first = nullptr;
    MMS::IField* second = nullptr;
    ASSERT_EQ(0u, reader.run([&] { return broker().getField(&first, "Shared"); }));
    ASSERT_EQ(0u, setter.run([&] { return broker().getField(&second, "Shared"); }));
    EXPECT_EQ(0u, reader.run([&] { return broker().releaseField(&first, "Shared"); }));
    EXPECT_EQ(&field, first);  // another reference remains
    EXPECT_EQ(0u, setter.run([&] { return broker().releaseField(&second, "Shared"); }));
    EXPECT_EQ(nullptr, second);
    MMS::IField* none = nullptr;
    EXPECT_EQ(0x80000002u, broker().releaseField(&none, "Shared"));
    EXPECT_EQ(0x80000006u, broker().releaseField(&first, "Missing"));
    ASSERT_EQ(0u, owner.run([&] { return broker().createVirtualUnit("NoField"); }));
    EXPECT_EQ(0x80000004u, broker().getField(&none, "NoField"));  // a unit is never available as a field
}

TEST_F(InstanceBrokerTest, LinkFrameworksAreAssignedOncePerUnit)
{
    FacadeTest::RecordingLinkFramework first;
    FacadeTest::RecordingLinkFramework second;
    ASSERT_EQ(0u, owner.run([&] { return broker().createVirtualUnit("LinkUnit"); }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "LinkUnit/Leaf", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));

    ParameterProc::ILinkFramework* removed = nullptr;
    struct Step {
        const char* what;
        uint32_t result;
        std::function<uint32_t()> call;
    };
    const Step steps[] = {
        {"null framework", 0x80000002u, [&] { return broker().assignLinkFramework(nullptr, "LinkUnit"); }},
        {"assign", 0, [&] { return broker().assignLinkFramework(&first, "LinkUnit"); }},
        {"assign again", 0x80000001u, [&] { return broker().assignLinkFramework(&second, "LinkUnit"); }},
        {"leaf", 0x80000004u, [&] { return broker().assignLinkFramework(&first, "LinkUnit/Leaf"); }},
        {"unknown unit", 0x80000006u, [&] { return broker().assignLinkFramework(&first, "NoSuchUnit"); }},
        {"remove", 0, [&] { return broker().removeLinkFramework(&removed, "LinkUnit"); }},
        {"assign after removal", 0, [&] { return broker().assignLinkFramework(&second, "LinkUnit"); }},
        {"remove from leaf", 0x80000004u, [&] { return broker().removeLinkFramework(&removed, "LinkUnit/Leaf"); }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(s.result, s.call());
    }
    EXPECT_EQ(&first, removed);
    EXPECT_EQ(0u, broker().removeLinkFramework(&removed, "LinkUnit"));
    EXPECT_EQ(&second, removed);
}

TEST_F(InstanceBrokerTest, CheckItemReportsTypesAndUnknownNamesWithoutFailing)
{
    TCM::CommandRepository commands;
    ASSERT_EQ(0u, owner.run([&] { return broker().createVirtualUnit("KindUnit"); }));
    ASSERT_EQ(0u, owner.run([&] { return broker().registerCommandRepository(&commands, "KindUnit/Repo"); }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "KindUnit/Field", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(nullptr, "KindUnit/Empty", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    struct Case {
        const char* name;
        uint32_t result;
        MMSInstanceBroker::CATEGORY_ITEM_TYPE type;
    };
    const auto untouched = static_cast<MMSInstanceBroker::CATEGORY_ITEM_TYPE>(0x5A);
    const Case cases[] = {
        {"KindUnit", 0, MMSInstanceBroker::ITEM_TYPE_UNIT},
        {"KindUnit/Repo", 0, MMSInstanceBroker::ITEM_TYPE_REPOSITORY},
        {"KindUnit/Field", 0, MMSInstanceBroker::ITEM_TYPE_FIELD},
        {"KindUnit/Empty", 0, MMSInstanceBroker::ITEM_TYPE_UNKNOWN},
        {"KindUnit/Nothing", 6, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MMSInstanceBroker::CATEGORY_ITEM_TYPE type = untouched;
        EXPECT_EQ(c.result, broker().checkItem(&type, c.name));
        EXPECT_EQ(c.type, type);
    }
    EXPECT_EQ(0u, broker().checkItem(nullptr, "KindUnit"));
    EXPECT_EQ(0x80000002u, broker().checkItem(nullptr, nullptr));
    MMSInstanceBroker::CATEGORY_ITEM_STATE state{};
    EXPECT_EQ(0u, broker().getState(&state, "KindUnit"));
    EXPECT_EQ(-1, static_cast<int32_t>(state));
    EXPECT_EQ(0x80000006u, broker().getState(&state, "KindUnit/Nothing"));
    EXPECT_EQ(0x80000002u, broker().getState(nullptr, "KindUnit"));
    MMS::IField* none = nullptr;
    EXPECT_EQ(0x80000005u, broker().getField(&none, "KindUnit/Empty"));
}

TEST_F(InstanceBrokerTest, TheNotifierMayCallTheBrokerAgainUnderItsReentrantLock)
{
    std::vector<uint32_t> inner;
    notifier().onNotify = [&] { inner.push_back(broker().checkItem(nullptr, "Reentrant")); };
    ASSERT_EQ(0u, owner.run([&] { return broker().createVirtualUnit("Reentrant"); }));
    EXPECT_EQ((std::vector<uint32_t>{0}), inner);
}

TEST_F(InstanceBrokerTest, ConcurrentUsersLeaveTheCountsBalanced)
{
    FacadeTest::buildRoots(field, {"A"});
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "Crowded", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    constexpr int kUsers = 4;
    constexpr int kRounds = 200;
    std::atomic<int> failures{0};
    std::vector<std::thread> users;
    for (int u = 0; u < kUsers; ++u) {
        users.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                IFacade* facade = nullptr;
                MMS::IField* got = nullptr;
                if (broker().getFacade(&facade, "Crowded", false, 0, 0, 0) != 0) ++failures;
                if (broker().getField(&got, "Crowded") != 0) ++failures;
                if (broker().releaseField(&got, "Crowded") != 0) ++failures;
                if (broker().releaseFacade(&facade, "Crowded") != 0) ++failures;
            }
        });
    }
    for (std::thread& t : users) t.join();
    EXPECT_EQ(0, failures.load());
    MMS::IField* back = nullptr;
    EXPECT_EQ(0u, owner.run([&] { return broker().unregisterMmsInstance(&back, "Crowded"); }));
}

TEST_F(InstanceBrokerTest, ACallerWithoutATaskIdIsRefused)
{
    ASSERT_EQ(0u, owner.run([&] {
        return broker().registerMmsInstance(&field, "HasId", MMSInstanceBroker::PERMISSION_ALL_WRITE, 0);
    }));
    // Occupy every id slot the task layer has for threads that are not tasks.
    std::mutex guard;
    std::condition_variable release;
    bool done = false;
    std::atomic<int> parked{0};
    std::atomic<bool> exhausted{false};
    std::vector<std::thread> holders;
    uint32_t registerResult = 0;
    uint32_t facadeResult = 0;
    for (int i = 0; i < 200 && !exhausted; ++i) {
        holders.emplace_back([&] {
            uint16_t id = 0;
            const uint32_t r = oswrap_GetTskId(&id);
            if (id == 0) {
                IFacade* facade = nullptr;
                registerResult = broker().registerMmsInstance(&field, "NoId", MMSInstanceBroker::PERMISSION_ALL_WRITE,
                                                              0);
                facadeResult = broker().getFacade(&facade, "HasId", false, 0, 0, 0);
                EXPECT_EQ(9u, r);
                exhausted = true;
                return;
            }
            ++parked;
            std::unique_lock<std::mutex> lock(guard);
            release.wait(lock, [&] { return done; });
        });
        // One thread at a time, so that the last one is the one without a slot.
        ASSERT_TRUE(DevctrlTest::waitFor([&] { return parked.load() == i + 1 || exhausted.load(); }));
    }
    {
        std::lock_guard<std::mutex> lock(guard);
        done = true;
    }
    release.notify_all();
    for (std::thread& t : holders) t.join();
    ASSERT_TRUE(exhausted.load());
    EXPECT_EQ(0x80000001u, registerResult);
    EXPECT_EQ(0x80000001u, facadeResult);
    EXPECT_EQ(6u, broker().checkItem(nullptr, "NoId"));
    MMS::IField* back = nullptr;
    EXPECT_EQ(0u, owner.run([&] { return broker().unregisterMmsInstance(&back, "HasId"); }));  // no reference
}
