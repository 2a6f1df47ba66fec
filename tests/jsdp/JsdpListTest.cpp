#include "jsdp/JsdpList.h"

#include <gtest/gtest.h>

#include <vector>

using namespace JSDP;

namespace {

std::vector<int> contents(const JsdpList<int>& list)
{
    std::vector<int> values;
    for (int* v : list) values.push_back(*v);
    return values;
}

}  // namespace

TEST(JsdpListTest, FreeListHandsOutSlotsInIndexOrderAndTakesThemBackAtTheTail)
{
    int slots[4] = {0, 1, 2, 3};
    JsdpList<int> free;
    ASSERT_EQ(0u, free.initializeFull(slots, 4));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), contents(free));
    EXPECT_EQ(0x80000000u, free.push(&slots[0]));  // full
    EXPECT_EQ(&slots[0], free.front());
    ASSERT_EQ(0u, free.pop());
    ASSERT_EQ(0u, free.pop());
    ASSERT_EQ(0u, free.push(&slots[0]));
    EXPECT_EQ((std::vector<int>{2, 3, 0}), contents(free));
    EXPECT_EQ(0x80000000u, free.remove(&slots[1]));  // absent
    ASSERT_EQ(0u, free.remove(&slots[3]));
    EXPECT_EQ((std::vector<int>{2, 0}), contents(free));
    ASSERT_EQ(0u, free.pop());
    ASSERT_EQ(0u, free.pop());
    EXPECT_EQ(nullptr, free.front());
    EXPECT_EQ(0x80000000u, free.pop());
    EXPECT_TRUE(free.empty());
}

TEST(JsdpListTest, LoopBodyMayRemoveTheCurrentObject)
{
    int slots[5] = {0, 1, 2, 3, 4};
    JsdpList<int> list;
    ASSERT_EQ(0u, list.initializeFull(slots, 5));
    std::vector<int> visited;
    for (int* v : list) {
        visited.push_back(*v);
        if (*v % 2 == 0) {
            ASSERT_EQ(0u, list.remove(v));
        }
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), visited);
    EXPECT_EQ((std::vector<int>{1, 3}), contents(list));
    // The freed elements serve new pushes.
    ASSERT_EQ(0u, list.push(&slots[4]));
    ASSERT_EQ(0u, list.push(&slots[0]));
    ASSERT_EQ(0u, list.push(&slots[2]));
    EXPECT_EQ(0x80000000u, list.push(&slots[2]));
    EXPECT_EQ((std::vector<int>{1, 3, 4, 0, 2}), contents(list));
}

TEST(JsdpListTest, UnbuiltOrEmptyListRefusesEverything)
{
    int value = 1;
    JsdpList<int> list;
    EXPECT_EQ(0x80000000u, list.push(&value));
    EXPECT_EQ(0x80000002u, list.initialize(0));
    ASSERT_EQ(0u, list.initialize(1));
    ASSERT_EQ(0u, list.push(&value));
    list.release();
    EXPECT_FALSE(list.exists());
    EXPECT_EQ(nullptr, list.front());
}
