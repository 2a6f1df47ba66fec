#include "parray/Array3D.h"

#include <gtest/gtest.h>

#include <utility>

using PARRAY::Array3D;

TEST(Array3DTest, PositionsAreRowMajorAndZeroOutOfRange)
{
    Array3D<float> array(2, 3, 4);
    ASSERT_TRUE(array.isValid());
    EXPECT_EQ(3u, array.dimension());
    EXPECT_EQ(24u, array.totalNum());
    EXPECT_EQ(96u, array.totalSize());
    struct Case { uint32_t x, y, z; bool inRange; uint32_t position; };
    const Case cases[] = {
        {0, 0, 0, true, 0}, {0, 0, 3, true, 3}, {0, 1, 0, true, 4}, {1, 0, 0, true, 12},
        {1, 2, 3, true, 23}, {2, 0, 0, false, 0}, {0, 3, 0, false, 0}, {0, 0, 4, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z);
        EXPECT_EQ(c.inRange, array.checkRange(c.x, c.y, c.z));
        EXPECT_EQ(c.position, array.pos(c.x, c.y, c.z));
        if (c.inRange) {
            array.at(c.x, c.y, c.z) = static_cast<float>(c.position) + 0.5f;
            EXPECT_EQ(static_cast<float>(c.position) + 0.5f, static_cast<const float*>(array.dataPtr())[c.position]);
        }
    }
    const uint32_t axes[][2] = {{0, 2}, {1, 3}, {2, 4}, {3, 0}};
    for (const auto& a : axes) EXPECT_EQ(a[1], array.num(a[0])) << "axis " << a[0];
}

TEST(Array3DTest, OutOfRangeAtResetsTheDummyOnlyThroughTheNonConstForm)
{
    Array3D<double> array(1, 1, 1);
    const Array3D<double>& constArray = array;
    array.at(1, 0, 0) = 3.25;
    EXPECT_EQ(3.25, constArray.at(0, 0, 1));
    EXPECT_EQ(0.0, array.at(0, 1, 0));
    EXPECT_EQ(0.0, constArray.at(0, 1, 0));
}

TEST(Array3DTest, ZeroOrOversizedExtentsLeaveNoElementsAndNoDivision)
{
    struct Case { const char* name; uint32_t x, y, z; };
    const Case cases[] = {
        {"x 0", 0, 2, 2},
        {"y 0", 2, 0, 2},
        {"z 0", 2, 2, 0},
        // 0x101 * 0x1000000 * 0x100 wraps to 0x1000000 in 32 bits.
        {"wrapping count", 0x101u, 0x1000000u, 0x100u},
        {"product beyond 64 bits", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Array3D<uint8_t> array(c.x, c.y, c.z);
        EXPECT_FALSE(array.isValid());
        EXPECT_EQ(0u, array.totalNum());
        for (uint32_t axis = 0; axis < 3; ++axis) EXPECT_EQ(0u, array.num(axis));
        EXPECT_FALSE(array.checkRange(0, 0, 0));
        EXPECT_EQ(0u, array.pos(0, 0, 0));
    }
}

TEST(Array3DTest, CopyAndMoveKeepTheShape)
{
    Array3D<uint32_t> source(2, 1, 3);
    source.at(1, 0, 2) = 42;
    Array3D<uint32_t> copied;
    copied = source;
    EXPECT_EQ(2u, copied.num(0));
    EXPECT_EQ(1u, copied.num(1));
    EXPECT_EQ(3u, copied.num(2));
    EXPECT_EQ(42u, copied.at(1, 0, 2));
    Array3D<uint32_t> moved(std::move(copied));
    EXPECT_EQ(42u, moved.at(1, 0, 2));
    EXPECT_EQ(3u, moved.num(2));

    uint32_t buffer[6] = {};
    Array3D<uint32_t> borrowed;
    EXPECT_EQ(0u, borrowed.initializeWithExistMemory(buffer, sizeof(buffer), 1, 2, 3));
    borrowed.at(0, 1, 2) = 9;
    EXPECT_EQ(9u, buffer[5]);
    Array3D<uint32_t> copyOfBorrowed(borrowed);  // owns a copy; the buffer stays the caller's
    EXPECT_NE(static_cast<void*>(buffer), copyOfBorrowed.dataPtr());
    EXPECT_EQ(9u, copyOfBorrowed.at(0, 1, 2));
}
