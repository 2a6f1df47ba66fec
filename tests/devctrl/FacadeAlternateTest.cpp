// The alternate field of a facade: a private copy that shares the registered field's definitions,
// its states (plain, alternate, swapped) and its clean-up.
#include <gtest/gtest.h>

#include <vector>

#include "devctrl/FacadeTestSupport.h"
#include "devctrl/devctrl_MMSMutex.h"
#include "devctrl/devctrl_ReadwriteFacade.h"

using namespace FacadeTest;
using DeviceControl::ReadonlyFacade;
using DeviceControl::ReadwriteFacade;

namespace {

constexpr uint32_t kTask = 21;

uint32_t writeThrough(ReadwriteFacade& facade, const char* root, uint32_t element, int value)
{
    const uint32_t index[1] = {element};
    return facade.setPrmFast(JVariant(value), root, kGainNode, index, 1, 1, 0, 0, 0, nullptr, 0, nullptr);
}

int readThrough(ReadonlyFacade& facade, const char* root, uint32_t element)
{
    const uint32_t index[1] = {element};
    JVariant value;
    if (isFailure(facade.getPrmFast(&value, nullptr, root, kGainNode, index, 1, 0))) return INT32_MIN;
    return value.toInt32();
}

}  // namespace

TEST(FacadeAlternateTest, CopyTakesWritesAndSwapsWithTheRegisteredField)
{
    (void)MmsTest::heap1();
    DeviceControl::MMSMutex mutex;
    MMS::Field field(nullptr, &mutex, nullptr, nullptr, nullptr);
    buildRoots(field, {"A", "B"});
    ASSERT_EQ(0x100u, setGain(field, "A", 0, 10));
    ASSERT_EQ(0x100u, setGain(field, "B", 7, 70));
    ReadwriteFacade facade(&field, kTask, nullptr, nullptr, 0);

    EXPECT_EQ(0x80000004u, facade.swapAlternateField(false));  // plain: nothing to swap
    ASSERT_EQ(0u, facade.createAlternateField());
    EXPECT_EQ(0x80000004u, facade.createAlternateField());
    EXPECT_EQ(nullptr, facade.getMutex());  // the copy has no lock of its own

    // Every root's values were copied; writes go to the copy only.
    EXPECT_EQ(10, readThrough(facade, "A", 0));
    EXPECT_EQ(70, readThrough(facade, "B", 7));
    EXPECT_FALSE(isFailure(writeThrough(facade, "A", 0, 11)));
    EXPECT_EQ(10, getGain(field, "A", 0));
    EXPECT_EQ(11, readThrough(facade, "A", 0));

    // Swapped: the registered field is the working field again.
    EXPECT_EQ(4u, facade.swapAlternateField(true));  // not swapped: nothing to swap back
    ASSERT_EQ(0u, facade.swapAlternateField(false));
    EXPECT_EQ(10, readThrough(facade, "A", 0));
    EXPECT_EQ(&mutex, facade.getMutex());
    EXPECT_EQ(0x80000004u, facade.destroyAlternateField());
    EXPECT_EQ(0x80000004u, facade.copyToAlternateField(0));
    ASSERT_EQ(0u, facade.swapAlternateField(true));
    EXPECT_EQ(11, readThrough(facade, "A", 0));

    // A refresh brings the registered values over the copy's.
    EXPECT_EQ(0x100u, setGain(field, "B", 7, 71));
    EXPECT_FALSE(isFailure(facade.copyToAlternateField(0)));
    EXPECT_EQ(71, readThrough(facade, "B", 7));

    ASSERT_EQ(0u, facade.destroyAlternateField());
    EXPECT_EQ(10, readThrough(facade, "A", 0));
    EXPECT_EQ(0x80000004u, facade.destroyAlternateField());
    // Plain again: a new copy can be made.
    EXPECT_EQ(0u, facade.createAlternateField());
}

TEST(FacadeAlternateTest, DestroyingASwappedFacadeRemovesTheCopyAndTheSubscription)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    const int liveBefore = heap.live;
    {
        auto facade = std::make_unique<ReadonlyFacade>(&field, kTask);
        ASSERT_EQ(0u, facade->createAlternateField());
        ASSERT_EQ(0u, facade->swapAlternateField(false));
        ASSERT_EQ(0u, facade->subscribe(0, 1, false));  // the registered field is working now
        EXPECT_GT(heap.live, liveBefore);
    }
    EXPECT_EQ(liveBefore, heap.live);
    EXPECT_EQ(0u, field.subscribe(0, kTask, 1, false));  // the task was unsubscribed
}

TEST(FacadeAlternateTest, RefusesACopyItCannotMakeOrBuildAndStaysOnTheField)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    FaultyField field;
    buildRoots(field, {"A"});
    ASSERT_EQ(0x100u, setGain(field, "A", 1, 5));

    // No field at all: a copy would have nothing to stand in front of.
    ReadonlyFacade empty;
    const int allocations = heap.allocations;
    EXPECT_EQ(0x80000004u, empty.createAlternateField());
    EXPECT_EQ(allocations, heap.allocations);

    ReadonlyFacade facade(&field, kTask);
    heap.refuse = true;
    EXPECT_EQ(0x80000003u, facade.createAlternateField());
    heap.refuse = false;
    EXPECT_EQ(5, readThrough(facade, "A", 1));

    const int liveBefore = heap.live;
    field.failing.insert("shareRootFast");
    EXPECT_EQ(0x80000000u, facade.createAlternateField());
    EXPECT_EQ(liveBefore, heap.live);  // the half-built copy is gone
    EXPECT_EQ(5, readThrough(facade, "A", 1));
    EXPECT_EQ(0x80000004u, facade.swapAlternateField(false));  // plain again
}

TEST(FacadeAlternateTest, TheCopySubscribesTheFacadeTask)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    ReadwriteFacade facade(&field, kTask, nullptr, nullptr, 0);
    ASSERT_EQ(0u, facade.createAlternateField());
    // The facade task tracks changes of the copy without subscribing itself.
    EXPECT_EQ(0u, facade.exchangeGettingDirtyArea());
    EXPECT_TRUE(isFailure(facade.subscribe(0, 1, false)));  // already subscribed to the copy
}
