// The thread-safe field: the locks each operation takes, its own checks, and the copies between
// roots of one field and of two fields.
#include "MMS/Common/mms_Field.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FieldTestSupport.h"
#include "MMS/Common/mms_Base.h"
#include "MMS/Common/mms_FieldDualMutex.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "MmsTestHeap.h"
#include "jlib/JVariant.h"

namespace {

using FieldTest::RecordingMutex;
using FieldTest::buildRoots;
using FieldTest::getGain;
using FieldTest::isGainChanged;
using FieldTest::lockJournal;
using FieldTest::setGain;
using Journal = std::vector<std::string>;

constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoSuchRoot = 0x80000006u;

// A field over a journaling lock object, with roots A and B built (the journal starts empty).
struct JournaledField {
    explicit JournaledField(const char* tag = "F") : mutex(&journal, tag)
    {
        (void)MmsTest::heap1();
        field = std::make_unique<MMS::Field>(&trigger, &mutex, nullptr, nullptr, nullptr);
        buildRoots(*field, {"A", "B"});
        journal.clear();
    }
    Journal journal;
    RecordingMutex mutex;
    FieldTest::CountingTrigger trigger;
    std::unique_ptr<MMS::Field> field;
};

TEST(FieldTest, EachOperationTakesTheLocksOfItsGroup)
{
    JournaledField f;
    MMS::Field& field = *f.field;
    const uint32_t index[1] = {0};
    const uint32_t five[5] = {};
    JVariant value;
    char text[64] = {};
    uint8_t byte = 0;
    uint32_t count = 0;
    uint32_t outNodes[5] = {};
    uint32_t outIndices[5] = {};
    uint32_t outDepth = 0;
    MMS::sharedRootInfo info;
    unsigned char buffer[512];

    struct Case {
        const char* name;
        uint8_t flags;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"getEventTrigger", 0, [&] { (void)field.getEventTrigger(); }},
        {"getMutex", 0, [&] { (void)field.getMutex(); }},
        {"getStatus", 0, [&] { (void)field.getStatus(&byte); }},
        {"getRootStatus", 1, [&] { (void)field.getRootStatus("A", &byte); }},
        {"getBuildCount", 1, [&] { (void)field.getBuildCount(); }},
        {"getRootAdditionFlag", 1, [&] { (void)field.getRootAdditionFlag("A", 5, 1); }},
        {"setDescName", 1, [&] { (void)field.setDescName("A", "Name"); }},
        {"setDescVersion", 1, [&] { (void)field.setDescVersion("A", "1.0"); }},
        {"cnvFastToStrAddr", 1, [&] { (void)field.cnvFastToStrAddr(text, sizeof text, "A", index, 1, 1); }},
        {"getRootNum", 1, [&] { (void)field.getRootNum(&count); }},
        {"getPrmDefFast full", 1, [&] { (void)field.getPrmDefFast(&value, "A", index, five, 1); }},
        {"getPrmDefFast short", 1, [&] { (void)field.getPrmDefFast(&value, "A", index, 1); }},
        {"getPrmDef short", 1, [&] { (void)field.getPrmDef(&value, "A", "Gain", 4); }},
        {"shareRootFast", 1, [&] { (void)field.shareRootFast(&info, "A", nullptr, nullptr, 0); }},
        {"getPrmFast", 3, [&] { (void)getGain(field, "A", 0); }},
        {"exchangeSettingDirtyArea", 3, [&] { (void)field.exchangeSettingDirtyArea(5); }},
        {"exchangeGettingDirtyArea", 3, [&] { (void)field.exchangeGettingDirtyArea(5); }},
        {"exportDataFast", 3,
         [&] { (void)field.exportDataFast(buffer, &count, sizeof buffer, "A", nullptr, nullptr, 0, 1, 0, 0, 0, 0,
                                          nullptr); }},
        {"getDumpFast", 3, [&] { (void)field.getDumpFast(buffer, &count, sizeof buffer, 0, 0, 0); }},
        {"getChangedPrmAddrFast", 3,
         [&] { (void)field.getChangedPrmAddrFast(outNodes, outIndices, &outDepth, 5, "A", nullptr, nullptr, 0, 0,
                                                 5); }},
        {"copyPrm one field", 3, [&] { (void)field.copyPrm("A", "B", 0, 0, 0, 0, 0, 0); }},
        {"setPrmFast", 5, [&] { (void)setGain(field, "A", 0, 4); }},
        {"setDefaultPrms", 5, [&] { (void)field.setDefaultPrms("A", 1, 0, 0); }},
        {"subscribe", 5, [&] { (void)field.subscribe(0, 5, 1, false); }},
        {"subscribe refused", 5, [&] { (void)field.subscribe(0, 0xFFFFFFFFu, 1, false); }},
        {"unsubscribe", 5, [&] { (void)field.unsubscribe(5); }},
        {"copyDstPrm", 5, [&] { (void)field.copyDstPrm("B", info, 0, 0, 0, 0, nullptr); }},
        {"copyPrm two fields", 7, [&] { (void)field.copyPrm("A", &field, "B", 0, 0, 0, 0, 0, 0); }},
        {"copyPrm no destination", 7, [&] { (void)field.copyPrm("A", nullptr, "B", 0, 0, 0, 0, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.journal.clear();
        c.call();
        EXPECT_EQ(lockJournal("F", c.flags), f.journal);
    }
}

TEST(FieldTest, WorksWithoutALockObjectAndPassesTheCoresResults)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, field.getMutex());
    uint8_t status = 0;
    EXPECT_EQ(0u, field.getStatus(&status));
    EXPECT_EQ(2, status);
    EXPECT_EQ(kBadArgument, field.getStatus(nullptr));
    buildRoots(field, {"A"});

    EXPECT_EQ(0x100u, setGain(field, "A", 3, 77));
    EXPECT_EQ(77, getGain(field, "A", 3));
    EXPECT_EQ(0u, setGain(field, "A", 3, 77));                // unchanged
    EXPECT_EQ(0x300u, setGain(field, "A", 3, 5000000));      // clamped
    EXPECT_EQ(1000000, getGain(field, "A", 3));
    EXPECT_EQ(kNoSuchRoot, setGain(field, "Nope", 3, 1));
    EXPECT_EQ(kNoSuchRoot, field.getRootStatus("Nope", &status));
    JVariant def(5);
    EXPECT_EQ(0u, field.getPrmDef(&def, nullptr, "Gain", 4));  // null root: the first
    EXPECT_EQ(0, def.toInt32());
}

TEST(FieldTest, FailingLockCallsDoNotStopTheOperation)
{
    JournaledField f;
    f.mutex.failing = {"ctrlLock", "setPrmLock", "getPrmLock", "ctrlUnlock", "setPrmUnlock", "getPrmUnlock"};
    EXPECT_EQ(0x100u, setGain(*f.field, "B", 1, 12));
    EXPECT_EQ(12, getGain(*f.field, "B", 1));
}

TEST(FieldTest, SubscribeRefusesTheLinkTaskIdWithoutAskingTheCore)
{
    struct Case {
        uint32_t taskId;
        uint32_t result;
        int events;      // raise-all sends one event for a new subscription
        uint32_t flag;   // the root's addition flag for the id afterwards: 0x80000007 for an unknown id
    };
    const Case cases[] = {
        {0xFFFFFFFFu, kBadArgument, 0, 0x80000007u},  // the core never heard of it
        {0, kBadArgument, 0, 0x80000007u},            // the core's own refusal
        {7, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.taskId);
        JournaledField f;
        f.trigger.events = 0;
        EXPECT_EQ(c.result, f.field->subscribe(0, c.taskId, 1, true));
        EXPECT_EQ(c.events, f.trigger.events.load());
        EXPECT_EQ(c.flag, f.field->getRootAdditionFlag("A", c.taskId, 0));
    }
}

TEST(FieldTest, TwoFieldCopyTakesBothLockObjectsLowerAddressFirst)
{
    (void)MmsTest::heap1();
    Journal journal;
    // One array so that the address order of the two lock objects is known.
    RecordingMutex mutexes[2] = {RecordingMutex(&journal, "low"), RecordingMutex(&journal, "high")};
    MMS::Field first(nullptr, &mutexes[1], nullptr, nullptr, nullptr);
    MMS::Field second(nullptr, &mutexes[0], nullptr, nullptr, nullptr);
    buildRoots(first, {"A"});
    buildRoots(second, {"A"});
    const Journal expected = {"low.ctrlLock",   "high.ctrlLock",   "low.setPrmLock",  "high.setPrmLock",
                              "low.getPrmLock", "high.getPrmLock", "high.getPrmUnlock", "low.getPrmUnlock",
                              "high.setPrmUnlock", "low.setPrmUnlock", "high.ctrlUnlock", "low.ctrlUnlock"};

    // Both directions take the same order, so two opposite copies cannot hold what the other waits for.
    ASSERT_EQ(0x100u, setGain(first, "A", 0, 41));
    journal.clear();
    EXPECT_EQ(0x100u, first.copyPrm("A", &second, "A", 1, 0, 0, 0, 0, 0));
    EXPECT_EQ(expected, journal);
    EXPECT_EQ(41, getGain(second, "A", 0));

    ASSERT_EQ(0x100u, setGain(second, "A", 1, 42));
    journal.clear();
    EXPECT_EQ(0x100u, second.copyPrm("A", &first, "A", 1, 0, 0, 0, 0, 0));
    EXPECT_EQ(expected, journal);
    EXPECT_EQ(42, getGain(first, "A", 1));
}

TEST(FieldTest, CopyLocksEachLockObjectOnceOrNotAtAll)
{
    (void)MmsTest::heap1();
    Journal journal;
    RecordingMutex shared(&journal, "M");
    MMS::Field source(nullptr, &shared, nullptr, nullptr, nullptr);
    MMS::Field sameLock(nullptr, &shared, nullptr, nullptr, nullptr);
    MMS::Field unlocked(nullptr, nullptr, nullptr, nullptr, nullptr);
    MMS::Field otherUnlocked(nullptr, nullptr, nullptr, nullptr, nullptr);
    for (MMS::Field* f : {&source, &sameLock, &unlocked, &otherUnlocked}) buildRoots(*f, {"A", "B"});
    // The copy without destination refuses, but still takes this field's locks.
    MMS::Base notAField(nullptr, nullptr, nullptr, nullptr);

    struct Case {
        const char* name;
        MMS::Field* from;
        MMS::IField* to;
        uint32_t result;
        Journal locks;
    };
    const Case cases[] = {
        {"into itself", &source, &source, 0x100u, lockJournal("M", 7)},
        {"sharing the lock object", &source, &sameLock, 0x100u, lockJournal("M", 7)},
        {"from an unlocked field", &unlocked, &source, 0x100u, lockJournal("M", 7)},
        {"into an unlocked field", &source, &unlocked, 0x100u, lockJournal("M", 7)},
        {"both unlocked", &unlocked, &otherUnlocked, 0x100u, {}},
        {"no destination", &source, nullptr, kBadArgument, lockJournal("M", 7)},
        {"destination not a Field", &source, &notAField, kBadArgument, lockJournal("M", 7)},
    };
    int value = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++value;
        ASSERT_EQ(0x100u, setGain(*c.from, "A", 2, value));
        journal.clear();
        EXPECT_EQ(c.result, c.from->copyPrm("A", c.to, "B", 1, 0, 0, 0, 0, 0));
        EXPECT_EQ(c.locks, journal);
        if (c.result == 0x100u) {
            EXPECT_EQ(value, getGain(*static_cast<MMS::Field*>(c.to), "B", 2));
        }
    }
}

TEST(FieldTest, CopyClearsTheSourceFlagsOfASubscribedTaskWhateverTheCopyGave)
{
    constexpr uint32_t kReader = 5;
    constexpr uint32_t kOther = 6;  // subscribed, but not the one the copy names
    constexpr uint32_t kNotSubscribed = 8;
    struct Case {
        const char* name;
        bool twoFields;
        const char* srcRoot;
        const char* dstRoot;
        uint32_t task;
        uint8_t clear;
        uint32_t result;
        int readerFlagAfter;
    };
    const Case cases[] = {
        {"two fields", true, "A", "A", kReader, 1, 0x100u, 0},
        {"two fields, destination refuses", true, "A", "Nope", kReader, 1, kNoSuchRoot, 0},
        {"one field", false, "A", "B", kReader, 1, 0x100u, 0},
        {"one field, destination refuses", false, "A", "Nope", kReader, 1, kNoSuchRoot, 0},
        {"not asked to clear", true, "A", "A", kReader, 0, 0x100u, 1},
        {"task not subscribed", true, "A", "A", kNotSubscribed, 1, 0x100u, 1},
        {"source root unknown", true, "Nope", "A", kReader, 1, kNoSuchRoot, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JournaledField src("S");
        JournaledField dst("D");
        ASSERT_EQ(0u, src.field->subscribe(0, kReader, 1, false));
        ASSERT_EQ(0u, src.field->subscribe(0, kOther, 1, false));
        ASSERT_EQ(0x100u, setGain(*src.field, "A", 2, 9));
        ASSERT_EQ(0x100u, setGain(*src.field, "A", 6, 9));
        ASSERT_EQ(1, isGainChanged(*src.field, "A", 2, kReader));

        MMS::Field& target = c.twoFields ? *dst.field : *src.field;
        const uint32_t result = c.twoFields
                                    ? src.field->copyPrm(c.srcRoot, &target, c.dstRoot, 1, 0, c.task, c.clear, 0, 0)
                                    : src.field->copyPrm(c.srcRoot, c.dstRoot, 1, 0, c.task, c.clear, 0, 0);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.readerFlagAfter, isGainChanged(*src.field, "A", 2, kReader));
        EXPECT_EQ(c.readerFlagAfter, isGainChanged(*src.field, "A", 6, kReader));
        EXPECT_EQ(1, isGainChanged(*src.field, "A", 2, kOther));
        if (result == 0x100u) {
            EXPECT_EQ(9, getGain(target, c.dstRoot, 2));
        }
    }
}

TEST(FieldTest, CopyCarriesTheTasksSourceFlagsToTheDestinationsSubscribers)
{
    JournaledField src("S");
    JournaledField dst("D");
    ASSERT_EQ(0u, src.field->subscribe(0, 5, 1, false));
    ASSERT_EQ(0u, dst.field->subscribe(0, 7, 1, false));
    ASSERT_EQ(0x100u, setGain(*src.field, "A", 4, 3));
    // Copy option 4 without 1: the values are moved as they are and the flags of task 5 mark task 7.
    EXPECT_EQ(0u, src.field->copyPrm("A", dst.field.get(), "A", 4, 0, 5, 0, 0, 0));
    EXPECT_EQ(3, getGain(*dst.field, "A", 4));
    EXPECT_EQ(1, isGainChanged(*dst.field, "A", 4, 7));
    EXPECT_EQ(0, isGainChanged(*dst.field, "A", 3, 7));
}

TEST(FieldTest, OneFieldCopyRefusesTheSameRootUnderAnyName)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A", "B"});
    struct Case {
        const char* src;
        const char* dst;
        uint32_t result;
    };
    const Case cases[] = {
        {nullptr, nullptr, kBadArgument},
        {"A", "A", kBadArgument},
        {"ABCDEFGHIJKLMNOPQRSTUVWX1", "ABCDEFGHIJKLMNOPQRSTUVWX2", kBadArgument},  // equal over 24
        {"ABCDEFGHIJKLMNOPQRSTUVW1", "ABCDEFGHIJKLMNOPQRSTUVW2", kNoSuchRoot},    // the core looks
        {nullptr, "B", 0x100u},                                                   // null: the first root
        {"B", nullptr, 0x100u},
        {"A", "B", 0u},                                                           // nothing new
    };
    int value = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.src ? c.src : "(null)") + " -> " + (c.dst ? c.dst : "(null)"));
        // A fresh value in the source makes a copy that works show as a change.
        if (c.result == 0x100u) {
            ASSERT_EQ(0x100u, setGain(field, c.src ? c.src : "A", 0, ++value));
        }
        EXPECT_EQ(c.result, field.copyPrm(c.src, c.dst, 1, 0, 0, 0, 0, 0));
        if (c.result == 0x100u) {
            EXPECT_EQ(value, getGain(field, c.dst ? c.dst : "A", 0));
        }
    }
}

TEST(FieldTest, DualLockCallsBothObjectsInOrderAndCombinesFailures)
{
    Journal journal;
    RecordingMutex a(&journal, "a");
    RecordingMutex b(&journal, "b");
    struct Case {
        const char* name;
        MMS::IMutex* first;
        MMS::IMutex* second;
        Journal calls;  // for one lock, one try-lock and one unlock
    };
    const Case cases[] = {
        {"none", nullptr, nullptr, {}},
        {"first only", &a, nullptr, {"a.setPrmLock", "a.setPrmTryLock", "a.setPrmUnlock"}},
        {"second only", nullptr, &b, {"b.setPrmLock", "b.setPrmTryLock", "b.setPrmUnlock"}},
        {"the same object", &a, &a, {"a.setPrmLock", "a.setPrmTryLock", "a.setPrmUnlock"}},
        {"two objects", &a, &b,
         {"a.setPrmLock", "b.setPrmLock", "a.setPrmTryLock", "b.setPrmTryLock", "b.setPrmUnlock", "a.setPrmUnlock"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MMS::FieldDualMutex dual(c.first, c.second);
        journal.clear();
        EXPECT_EQ(0u, dual.setPrmLock());
        EXPECT_EQ(0u, dual.setPrmTryLock());
        EXPECT_EQ(0u, dual.setPrmUnlock());
        EXPECT_EQ(c.calls, journal);
    }

    // A failure of either object fails the pair, and the other is called all the same.
    MMS::FieldDualMutex dual(&a, &b);
    a.failing = {"ctrlLock", "getPrmUnlock"};
    journal.clear();
    EXPECT_EQ(0x80000000u, dual.ctrlLock());
    EXPECT_EQ(0x80000000u, dual.getPrmUnlock());
    EXPECT_EQ((Journal{"a.ctrlLock", "b.ctrlLock", "b.getPrmUnlock", "a.getPrmUnlock"}), journal);
    a.failing.clear();
    b.failing = {"ctrlUnlock", "getPrmTryLock"};
    EXPECT_EQ(0x80000000u, dual.ctrlUnlock());
    EXPECT_EQ(0x80000000u, dual.getPrmTryLock());
    // With one object its own result passes through.
    MMS::FieldDualMutex single(nullptr, &b);
    EXPECT_EQ(0x80000000u, single.ctrlUnlock());
    EXPECT_EQ(0u, single.ctrlLock());
}

TEST(FieldTest, HeapRefusalGivesNullInsteadOfThrowing)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    heap.refuse = true;
    MMS::Field* field = new MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr);
    heap.refuse = false;
    EXPECT_EQ(nullptr, field);
    auto* made = new (std::nothrow) MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, made);
    uint8_t status = 0;
    EXPECT_EQ(0u, made->getStatus(&status));
    EXPECT_EQ(2, status);
    delete made;
}

}  // namespace
