#include "parray/TypeAccessor.h"

#include <gtest/gtest.h>

#include "parray/IArray.h"

TEST(TypeAccessorTest, TableRowsServeTheirTypeCodeWithTheElementWidth)
{
    struct Case { const PARRAY::ITypeAccessor* accessor; uint32_t width; };
    const Case cases[PARRAY::kTypeCount] = {
        {&PARRAY::gAccessorUINT32, 4}, {&PARRAY::gAccessorUINT16, 2}, {&PARRAY::gAccessorUINT8, 1},
        {&PARRAY::gAccessorSINT32, 4}, {&PARRAY::gAccessorSINT16, 2}, {&PARRAY::gAccessorSINT8, 1},
        {&PARRAY::gAccessorFLOAT, 4},  {&PARRAY::gAccessorDOUBLE, 8},
    };
    for (uint32_t type = 0; type < PARRAY::kTypeCount; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(type, PARRAY::gAccessorTable[type].type);
        EXPECT_EQ(cases[type].accessor, PARRAY::gAccessorTable[type].accessor);
        PARRAY::IArray* slot = nullptr;
        ASSERT_EQ(0u, PARRAY::gAccessorTable[type].accessor->create(slot, 2, 2, 3, 9));
        ASSERT_NE(nullptr, slot);
        EXPECT_EQ(6u * cases[type].width, slot->totalSize());
        EXPECT_EQ(0u, PARRAY::gAccessorTable[type].accessor->destroy(slot, 2));
        EXPECT_EQ(nullptr, slot);
    }
}

TEST(TypeAccessorTest, CreateAndDestroyAcceptDimensionsOneToThreeOnly)
{
    struct Case { uint32_t dimension; uint32_t result; uint32_t totalNum; };
    const Case cases[] = {
        {0, 0x80000000u, 0}, {1, 0, 2}, {2, 0, 6}, {3, 0, 24}, {4, 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dimension);
        PARRAY::IArray* slot = reinterpret_cast<PARRAY::IArray*>(0x1);  // shows that create wrote it
        EXPECT_EQ(c.result, PARRAY::gAccessorSINT16.create(slot, c.dimension, 2, 3, 4));
        if (c.result != 0) {
            EXPECT_EQ(nullptr, slot);
            continue;
        }
        ASSERT_NE(nullptr, slot);
        EXPECT_EQ(c.dimension, slot->dimension());
        EXPECT_EQ(c.totalNum, slot->totalNum());
        PARRAY::IArray* const created = slot;
        EXPECT_EQ(0x80000000u, PARRAY::gAccessorSINT16.destroy(slot, 4));
        EXPECT_EQ(created, slot);  // left as it was
        EXPECT_EQ(0u, PARRAY::gAccessorSINT16.destroy(slot, c.dimension));
        EXPECT_EQ(nullptr, slot);
        EXPECT_EQ(0x80000000u, PARRAY::gAccessorSINT16.destroy(slot, c.dimension));  // empty slot
    }
}

TEST(TypeAccessorTest, ArraysWithoutElementsCountAsCreated)
{
    PARRAY::IArray* slot = nullptr;
    ASSERT_EQ(0u, PARRAY::gAccessorDOUBLE.create(slot, 3, 2, 0, 4));
    ASSERT_NE(nullptr, slot);
    EXPECT_FALSE(slot->isValid());
    EXPECT_EQ(0u, slot->totalSize());
    // Deleting through the interface frees whatever the shape is, even under another dimension.
    EXPECT_EQ(0u, PARRAY::gAccessorDOUBLE.destroy(slot, 1));
}
