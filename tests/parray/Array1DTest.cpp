#include "parray/Array1D.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "parray/Array2D.h"

using PARRAY::Array1D;

namespace {

template <typename T>
class Array1DTypedTest : public testing::Test {};

using ElementTypes = testing::Types<uint32_t, uint16_t, uint8_t, int32_t, int16_t, int8_t, float, double>;
TYPED_TEST_SUITE(Array1DTypedTest, ElementTypes);

}  // namespace

TYPED_TEST(Array1DTypedTest, SizedArrayIsZeroFilledWithTheElementWidth)
{
    Array1D<TypeParam> array(5);
    ASSERT_TRUE(array.isValid());
    EXPECT_EQ(1u, array.dimension());
    EXPECT_EQ(5u, array.totalNum());
    EXPECT_EQ(5u * sizeof(TypeParam), array.totalSize());
    EXPECT_EQ(5u, array.num(0));
    EXPECT_EQ(0u, array.num(1));
    for (uint32_t x = 0; x < 5; ++x) EXPECT_EQ(TypeParam(0), array.at(x));
    array.at(4) = TypeParam(7);
    EXPECT_EQ(TypeParam(7), static_cast<const TypeParam*>(array.dataPtr())[4]);
}

TEST(Array1DTest, PositionsAreTheIndexInRangeAndZeroOutside)
{
    Array1D<int32_t> array(5);
    struct Case { uint32_t x, y, z; bool inRange; uint32_t position; };
    const Case cases[] = {
        {0, 0, 0, true, 0},
        {4, 9, 9, true, 4},  // y and z are not looked at
        {5, 0, 0, false, 0},
        {7, 9, 9, false, 0},
        {0xFFFFFFFFu, 0, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(c.inRange, array.checkRange(c.x));
        EXPECT_EQ(c.position, array.pos(c.x));
        EXPECT_EQ(c.position, static_cast<const PARRAY::IArray&>(array).pos(c.x, c.y, c.z));
    }
}

TEST(Array1DTest, OutOfRangeAtResetsTheDummyOnlyThroughTheNonConstForm)
{
    Array1D<int32_t> array(2);
    const Array1D<int32_t>& constArray = array;
    array.at(2) = 99;  // lands in the dummy
    EXPECT_EQ(99, constArray.at(2));
    EXPECT_EQ(&Array1D<int32_t>::gDummy, &constArray.at(2));
    EXPECT_EQ(0, array.at(3));
    EXPECT_EQ(0, Array1D<int32_t>::gDummy);
    EXPECT_EQ(0, array.at(0));  // the elements were not touched
    EXPECT_EQ(0, array.at(1));
}

TEST(Array1DTest, ExtentZeroOrBeyondThirtyTwoBitBytesLeavesNoElements)
{
    struct Case { const char* name; uint32_t x; };
    const Case cases[] = {
        {"zero", 0},
        {"2^30 words make 2^32 bytes", 0x40000000u},
        {"largest count", 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Array1D<uint32_t> array;
        EXPECT_EQ(0x80000000u, array.initialize(c.x));
        EXPECT_FALSE(array.isValid());
        EXPECT_EQ(nullptr, array.dataPtr());
        EXPECT_EQ(0u, array.totalNum());
        EXPECT_EQ(0u, array.totalSize());
        EXPECT_FALSE(array.checkRange(0));
        EXPECT_EQ(0u, array.pos(0));
        Array1D<uint32_t> constructed(c.x);
        EXPECT_FALSE(constructed.isValid());
    }
}

TEST(Array1DTest, ExistingMemoryMustHoldEveryElementAndIsKeptAndNeverFreed)
{
    uint8_t buffer[16];
    for (uint8_t i = 0; i < 16; ++i) buffer[i] = i;
    struct Case { const char* name; void* memory; uint32_t length; uint32_t x; uint32_t result; };
    const Case cases[] = {
        {"one byte short", buffer, 11, 3, 0x80000000u},
        {"exact", buffer, 12, 3, 0},
        {"longer", buffer, 16, 3, 0},
        {"null memory", nullptr, 12, 3, 0x80000000u},
        {"count 0", buffer, 12, 0, 0x80000000u},
        // 2^30 + 1 words wrap to 4 bytes in 32 bits: a 4-byte buffer must not pass.
        {"wrapping count", buffer, 16, 0x40000001u, 0x80000000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            Array1D<uint32_t> array(2);  // owned elements are released first
            EXPECT_EQ(c.result, array.initializeWithExistMemory(c.memory, c.length, c.x));
            EXPECT_EQ(c.result == 0, array.isValid());
            if (c.result != 0) {
                EXPECT_EQ(0u, array.totalNum());
                continue;
            }
            EXPECT_EQ(static_cast<void*>(buffer), array.dataPtr());
            EXPECT_EQ(3u, array.totalNum());
            uint32_t first = 0;
            std::memcpy(&first, buffer, 4);
            EXPECT_EQ(first, array.at(0));  // content kept
        }  // destroying the array must not free the stack buffer (the sanitizer build checks)
        EXPECT_EQ(5, buffer[5]);
    }
}

TEST(Array1DTest, CopyTakesTheSmallerByteSizeAsRawBytes)
{
    Array1D<uint8_t> bytes(3);
    bytes.at(0) = 0x11;
    bytes.at(1) = 0x22;
    bytes.at(2) = 0x33;
    Array1D<uint32_t> words(2);
    words.at(0) = 0xAAAAAAAAu;
    words.at(1) = 0xBBBBBBBBu;
    EXPECT_EQ(0u, words.copy(bytes));
    const auto* raw = static_cast<const uint8_t*>(words.dataPtr());
    const uint8_t expected[8] = {0x11, 0x22, 0x33, 0xAA, 0xBB, 0xBB, 0xBB, 0xBB};
    EXPECT_EQ(0, std::memcmp(expected, raw, 8));

    EXPECT_EQ(0u, bytes.copy(words));  // only 3 of the 8 bytes fit
    EXPECT_EQ(0x11, bytes.at(0));

    PARRAY::Array2D<uint16_t> grid(2, 2);  // shapes are not compared either
    EXPECT_EQ(0u, grid.copy(words));
    EXPECT_EQ(0, std::memcmp(expected, grid.dataPtr(), 8));

    Array1D<uint32_t> empty;
    EXPECT_EQ(0u, empty.copy(words));
    EXPECT_EQ(0u, words.copy(empty));
    EXPECT_EQ(0xBBBBBBBBu, words.at(1));
    EXPECT_EQ(0u, words.copy(words));  // onto itself: unchanged, no overlapping copy
    EXPECT_EQ(0xBBBBBBBBu, words.at(1));
}

TEST(Array1DTest, MoveHandsOverOwnershipButLeavesTheSourceItsPointer)
{
    Array1D<int16_t> source(4);
    source.at(3) = -5;
    void* elements = source.dataPtr();
    Array1D<int16_t> moved(std::move(source));
    EXPECT_EQ(elements, moved.dataPtr());
    EXPECT_EQ(-5, moved.at(3));
    EXPECT_EQ(elements, source.dataPtr());  // NOLINT: the source keeps what it had
    EXPECT_EQ(4u, source.totalNum());
    // Only the new owner frees; the sanitizer build reports a double free otherwise.
    source.clear();
    EXPECT_EQ(nullptr, source.dataPtr());
    EXPECT_EQ(-5, moved.at(3));
}

TEST(Array1DTest, CopiesOwnTheirElements)
{
    Array1D<double> source(3);
    source.at(1) = 2.5;
    Array1D<double> copied(source);
    ASSERT_TRUE(copied.isValid());
    EXPECT_NE(source.dataPtr(), copied.dataPtr());
    EXPECT_EQ(2.5, copied.at(1));

    Array1D<double> assigned(7);
    assigned = source;
    EXPECT_EQ(3u, assigned.totalNum());
    EXPECT_EQ(2.5, assigned.at(1));

    assigned = static_cast<const Array1D<double>&>(assigned);  // self-assignment keeps the elements
    EXPECT_EQ(2.5, assigned.at(1));

    // A moved-from array still points at the elements its successor owns; assigning it to that
    // successor must copy before releasing.
    Array1D<double> successor(std::move(assigned));
    successor = assigned;
    ASSERT_TRUE(successor.isValid());
    EXPECT_EQ(2.5, successor.at(1));

    Array1D<double> empty;
    successor = empty;
    EXPECT_FALSE(successor.isValid());
}
