#include "jlib/jlib_endian.h"

#include <gtest/gtest.h>

#include <vector>

TEST(jlib_endianTest, SwapEndianReversesOneValue)
{
    struct Case { uint16_t size; uint32_t result; std::vector<unsigned char> after; };
    const Case cases[] = {
        {1, 0u, {1, 2, 3, 4, 5, 6, 7, 8}},
        {2, 0u, {2, 1, 3, 4, 5, 6, 7, 8}},
        {4, 0u, {4, 3, 2, 1, 5, 6, 7, 8}},
        {8, 0u, {8, 7, 6, 5, 4, 3, 2, 1}},
        {3, 0x80000001u, {1, 2, 3, 4, 5, 6, 7, 8}},
        {0, 0x80000001u, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<unsigned char> bytes = {1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_EQ(c.result, jlib_swapEndian(bytes.data(), c.size));
        EXPECT_EQ(c.after, bytes);
    }
    EXPECT_EQ(0x80000001u, jlib_swapEndian(nullptr, 4));
}

TEST(jlib_endianTest, SwapEndianArrayReversesEachElementAndTheShortTail)
{
    struct Case { uint32_t count; uint16_t elementSize; uint32_t result; std::vector<unsigned char> after; };
    const Case cases[] = {
        {7, 4, 0u, {4, 3, 2, 1, 7, 6, 5}},
        {7, 2, 0u, {2, 1, 4, 3, 6, 5, 7}},
        {7, 8, 0u, {7, 6, 5, 4, 3, 2, 1}},
        {7, 1, 0u, {1, 2, 3, 4, 5, 6, 7}},
        {0, 4, 0u, {1, 2, 3, 4, 5, 6, 7}},
        {6, 3, 0x80000001u, {1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " bytes of " << c.elementSize);
        std::vector<unsigned char> bytes = {1, 2, 3, 4, 5, 6, 7};
        EXPECT_EQ(c.result, jlib_swapEndianArray(bytes.data(), c.count, c.elementSize));
        EXPECT_EQ(c.after, bytes);
    }
    EXPECT_EQ(0x80000001u, jlib_swapEndianArray(nullptr, 4, 4));
}
