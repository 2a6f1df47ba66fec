// The scoped field lock and the walk over a change event's task list.
#include "MMS/Common/mms_MutexLock.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "BaseFixture.h"

namespace {

using Calls = std::vector<std::string>;

TEST(BaseLockScopeTest, LocksInFixedOrderAndReleasesInReverse)
{
    struct Case {
        uint8_t flags;
        Calls calls;
    };
    const Case cases[] = {
        {0x01, {"ctrlLock", "ctrlUnlock"}},
        {0x03, {"ctrlLock", "getPrmLock", "getPrmUnlock", "ctrlUnlock"}},
        {0x05, {"ctrlLock", "setPrmLock", "setPrmUnlock", "ctrlUnlock"}},
        {0x07, {"ctrlLock", "setPrmLock", "getPrmLock", "getPrmUnlock", "setPrmUnlock", "ctrlUnlock"}},
        {0x06, {"setPrmLock", "getPrmLock", "getPrmUnlock", "setPrmUnlock"}},
        {0x00, {}},
        {0xF8, {}},  // bits outside the three locks name none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.flags));
        MmsTest::RecordingMutex mutex;
        size_t heldInside = 0;
        {
            MMS::MutexLock lock(&mutex, c.flags);
            heldInside = mutex.calls.size();
        }
        EXPECT_EQ(c.calls, mutex.calls);
        EXPECT_EQ(c.calls.size() / 2, heldInside);
    }

    MMS::MutexLock unlocked(nullptr, 0x07);  // a field without a lock object runs unlocked
}

TEST(BaseLockScopeTest, TaskListWalkFollowsTheLinksThenStops)
{
    // Three items laid out of order in one block; offsets count from the origin cell.
    struct Block {
        int64_t origin;
        MMS::T_TASK_ITEM items[3];
    } block{};
    const auto offsetOf = [&](int i) {
        return static_cast<int64_t>(reinterpret_cast<const unsigned char*>(&block.items[i]) -
                                    reinterpret_cast<const unsigned char*>(&block.origin));
    };
    block.items[2] = {offsetOf(0), 30};
    block.items[0] = {offsetOf(1), 10};
    block.items[1] = {0, 20};
    const MMS::T_TASK_LIST list{&block.origin, offsetOf(2)};

    std::vector<uint32_t> ids;
    while (const MMS::T_TASK_ITEM* item = MMS::getTaskItem(&list)) ids.push_back(item->taskId);
    EXPECT_EQ((std::vector<uint32_t>{30, 10, 20}), ids);
    EXPECT_EQ(0, list.first);
    EXPECT_EQ(nullptr, MMS::getTaskItem(&list));

    EXPECT_EQ(nullptr, MMS::getTaskItem(nullptr));
    const MMS::T_TASK_LIST noOrigin{nullptr, offsetOf(0)};
    EXPECT_EQ(nullptr, MMS::getTaskItem(&noOrigin));
}

TEST(BaseLockScopeTest, RootTaskListNamesEverySubscriberInOrder)
{
    MmsTest::FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    for (uint32_t task : {3u, 1u, 2u}) ASSERT_EQ(0u, f.field.subscribe(0, task, 1, false));
    f.trigger.events.clear();
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "A", 5));
    ASSERT_EQ(1u, f.trigger.events.size());
    EXPECT_EQ((std::vector<uint32_t>{3, 1, 2}), f.trigger.events[0].tasks);
}

}  // namespace
