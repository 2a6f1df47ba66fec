#include "textcontrol/ScpElementList.h"

#include <gtest/gtest.h>

#include "textcontrol/ScpElementInteger.h"

TEST(ScpElementListTest, HoldsSixtyFourEntriesWithRolesAndFindsExactTags)
{
    SCP::ScpElementInteger elements[65];
    const char* tags[] = {"command", "address", "addressx"};
    SCP::ScpElementList list;
    for (int i = 0; i < 3; ++i) {
        elements[i].initialize(tags[i]);
        ASSERT_EQ(0u, list.append(elements[i], static_cast<uint8_t>(1 << i)));
    }
    for (int i = 3; i < 64; ++i) ASSERT_EQ(0u, list.append(elements[i], 1));
    EXPECT_EQ(0x80000001u, list.append(elements[64], 1));
    EXPECT_EQ(64u, list.size());
    EXPECT_EQ(&elements[1], list.at(1));
    EXPECT_EQ(nullptr, list.at(64));

    EXPECT_EQ(1u, list.find("address"));
    EXPECT_EQ(2u, list.find("addressx"));
    EXPECT_EQ(0xFFFFFFFFu, list.find("addr")) << "a tag that merely begins the same is not found";
    EXPECT_EQ(0xFFFFFFFFu, list.find(nullptr));

    EXPECT_TRUE(list.checkType(1, 2 | 4));
    EXPECT_FALSE(list.checkType(1, 1));
    EXPECT_FALSE(list.checkType(64, 0xFF));

    ASSERT_EQ(0u, elements[2].set(9));
    list.clear();
    EXPECT_FALSE(elements[2].isSet());
    EXPECT_EQ(0, elements[2].get());
}
