#include "parray/Array2D.h"

#include <gtest/gtest.h>

#include <utility>

using PARRAY::Array2D;

TEST(Array2DTest, PositionsAreRowMajorAndZeroOutOfRange)
{
    Array2D<uint16_t> array(2, 3);
    ASSERT_TRUE(array.isValid());
    EXPECT_EQ(2u, array.dimension());
    EXPECT_EQ(6u, array.totalNum());
    EXPECT_EQ(12u, array.totalSize());
    struct Case { uint32_t x, y; bool inRange; uint32_t position; };
    const Case cases[] = {
        {0, 0, true, 0}, {0, 2, true, 2}, {1, 0, true, 3}, {1, 2, true, 5},
        {2, 0, false, 0}, {0, 3, false, 0}, {0xFFFFFFFFu, 0xFFFFFFFFu, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(c.inRange, array.checkRange(c.x, c.y));
        EXPECT_EQ(c.position, array.pos(c.x, c.y));
        EXPECT_EQ(c.position, static_cast<const PARRAY::IArray&>(array).pos(c.x, c.y, 77));  // z ignored
        if (c.inRange) {
            array.at(c.x, c.y) = static_cast<uint16_t>(100 + c.position);
            EXPECT_EQ(100 + c.position, static_cast<const uint16_t*>(array.dataPtr())[c.position]);
        }
    }
    const uint32_t axes[][2] = {{0, 2}, {1, 3}, {2, 0}, {3, 0}};
    for (const auto& a : axes) EXPECT_EQ(a[1], array.num(a[0])) << "axis " << a[0];
}

TEST(Array2DTest, OutOfRangeAtResetsTheDummyOnlyThroughTheNonConstForm)
{
    Array2D<float> array(2, 2);
    const Array2D<float>& constArray = array;
    array.at(0, 2) = 1.5f;
    EXPECT_EQ(1.5f, constArray.at(5, 5));
    EXPECT_EQ(0.0f, array.at(2, 0));
    EXPECT_EQ(0.0f, Array2D<float>::gDummy);
}

TEST(Array2DTest, ZeroOrOversizedExtentsLeaveNoElementsAndNoDivision)
{
    struct Case { const char* name; uint32_t x, y; };
    const Case cases[] = {
        {"x 0", 0, 5},
        {"y 0", 5, 0},
        // 0x10001 * 0x10000 wraps to 0x10000 in 32 bits: a short allocation for the extents.
        {"wrapping count", 0x10001u, 0x10000u},
        {"2^30 words make 2^32 bytes", 0x8000u, 0x8000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Array2D<int32_t> array(c.x, c.y);
        EXPECT_FALSE(array.isValid());
        EXPECT_EQ(0u, array.totalNum());
        EXPECT_EQ(0u, array.num(0));
        EXPECT_EQ(0u, array.num(1));
        EXPECT_FALSE(array.checkRange(0, 0));
        EXPECT_EQ(0u, array.pos(0, 0));
        EXPECT_EQ(0, array.at(0, 0));  // the dummy
        uint8_t buffer[64] = {};
        EXPECT_EQ(0x80000000u, array.initializeWithExistMemory(buffer, sizeof(buffer), c.x, c.y));
    }
}

TEST(Array2DTest, ExistingMemoryKeepsTheShape)
{
    int32_t buffer[6] = {1, 2, 3, 4, 5, 6};
    Array2D<int32_t> array;
    EXPECT_EQ(0x80000000u, array.initializeWithExistMemory(buffer, 23, 2, 3));
    EXPECT_EQ(0u, array.initializeWithExistMemory(buffer, 24, 2, 3));
    EXPECT_EQ(2u, array.num(0));
    EXPECT_EQ(3u, array.num(1));
    EXPECT_EQ(6, array.at(1, 2));
}

TEST(Array2DTest, CopyAndMoveKeepTheShape)
{
    Array2D<int8_t> source(3, 2);
    source.at(2, 1) = -7;
    Array2D<int8_t> copied(source);
    EXPECT_EQ(3u, copied.num(0));
    EXPECT_EQ(2u, copied.num(1));
    EXPECT_EQ(-7, copied.at(2, 1));
    EXPECT_NE(source.dataPtr(), copied.dataPtr());

    Array2D<int8_t> moved(std::move(copied));
    EXPECT_EQ(-7, moved.at(2, 1));
    EXPECT_EQ(moved.dataPtr(), copied.dataPtr());  // NOLINT: the source keeps its pointer

    copied = source;  // the old pointer was not owned any more: nothing freed twice
    EXPECT_NE(moved.dataPtr(), copied.dataPtr());
    EXPECT_EQ(-7, moved.at(2, 1));
}
