#include "PDB/pdb_ParamRawArray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "PDB/pdb_ParamRawArrayBool.h"
#include "PDB/pdb_ParamRawArrayByteData.h"

namespace {

std::unique_ptr<PDB::IRawArray> make(uint8_t type, uint32_t count, uint32_t itemSize = 0)
{
    std::unique_ptr<PDB::IRawArray> out;
    EXPECT_EQ(0u, PDB::createRawArray(out, type, itemSize, count, 0));
    return out;
}

std::string printed(const PDB::IRawArray& storage)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, storage.print());
    return testing::internal::GetCapturedStdout();
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TEST(RawArrayTest, VariantWritesConvertAsTheTypeTableSays)
{
    struct Case {
        const char* what;
        uint8_t type;
        JVariant in;
        int outType;
        uint32_t outBits;  // integers: the 32 bits read back
        float outFloat;    // floats
    };
    const Case cases[] = {
        {"UINT16 keeps low 16 bits", PDB::kTypeUInt16, JVariant(70000u), JVariant::kTypeUInt32, 4464u, 0},
        {"UINT8 from Int32 -1", PDB::kTypeUInt8, JVariant(-1), JVariant::kTypeUInt32, 255u, 0},
        {"UINT32 from Int32 -1", PDB::kTypeUInt32, JVariant(-1), JVariant::kTypeUInt32, 0xFFFFFFFFu, 0},
        {"UINT32 from Float", PDB::kTypeUInt32, JVariant(7.0f), JVariant::kTypeUInt32, 0u, 0},
        {"UINT16 from String", PDB::kTypeUInt16, JVariant("12", 10), JVariant::kTypeUInt32, 0u, 0},
        {"SINT8 from Int32 -1", PDB::kTypeSInt8, JVariant(-1), JVariant::kTypeInt32, 0xFFFFFFFFu, 0},
        {"SINT8 keeps low 8 bits", PDB::kTypeSInt8, JVariant(0x17Fu), JVariant::kTypeInt32, 0x7Fu, 0},
        {"SINT16 sign-extends", PDB::kTypeSInt16, JVariant(0x18000u), JVariant::kTypeInt32, 0xFFFF8000u, 0},
        {"SINT32 from Float stores 0", PDB::kTypeSInt32, JVariant(2.5f), JVariant::kTypeInt32, 0u, 0},
        {"SINT32 from invalid", PDB::kTypeSInt32, JVariant(), JVariant::kTypeInt32, 0u, 0},
        {"SINT32 from UInt32 bits", PDB::kTypeSInt32, JVariant(0x80000000u), JVariant::kTypeInt32, 0x80000000u, 0},
        {"FLOAT from UInt32 3", PDB::kTypeFloat, JVariant(3u), JVariant::kTypeFloat, 0, 3.0f},
        {"FLOAT from Int32 -2", PDB::kTypeFloat, JVariant(-2), JVariant::kTypeFloat, 0, -2.0f},
        {"FLOAT from Float", PDB::kTypeFloat, JVariant(0.25f), JVariant::kTypeFloat, 0, 0.25f},
        {"FLOAT from String stores 0", PDB::kTypeFloat, JVariant("3", 10), JVariant::kTypeFloat, 0, 0.0f},
        {"BOOL from UInt32 2", PDB::kTypeBool, JVariant(2u), JVariant::kTypeUInt32, 1u, 0},
        {"BOOL from Int32 -1", PDB::kTypeBool, JVariant(-1), JVariant::kTypeUInt32, 1u, 0},
        {"BOOL from Float 1.0 stores 0", PDB::kTypeBool, JVariant(1.0f), JVariant::kTypeUInt32, 0u, 0},
        {"BOOL from UInt32 0", PDB::kTypeBool, JVariant(0u), JVariant::kTypeUInt32, 0u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto storage = make(c.type, 3);
        ASSERT_NE(nullptr, storage);
        EXPECT_EQ(0u, storage->setVariant(1, JVariant(5)));  // a neighbour that must not change
        EXPECT_EQ(0u, storage->setVariant(2, c.in));
        JVariant out("poison", 10);
        EXPECT_EQ(0x10000u, storage->getVariant(out, 2));
        ASSERT_EQ(c.outType, out.getType());
        if (c.outType == JVariant::kTypeFloat) {
            EXPECT_EQ(c.outFloat, out.toFloat());
        } else {
            EXPECT_EQ(c.outBits, out.toUInt32());
        }
        EXPECT_EQ(c.type == PDB::kTypeBool ? 1u : 5u, storage->getUInt32(1));
        EXPECT_EQ(0u, storage->getUInt32(0));
    }
}

TEST(RawArrayTest, TypedAccessorsUsePlainValueConversion)
{
    struct Case {
        const char* what;
        uint8_t type;
        void (*write)(PDB::IRawArray&);
        uint32_t u32;
        int32_t s32;
        uint8_t u8;
        int8_t s8;
        uint16_t u16;
        float f;
        bool b;
    };
    const Case cases[] = {
        {"SINT8 -1 widens by sign", PDB::kTypeSInt8, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setSInt32(0, -1)); },
         0xFFFFFFFFu, -1, 255, -1, 0xFFFF, -1.0f, true},
        {"UINT8 from -1 widens by zero", PDB::kTypeUInt8, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setSInt32(0, -1)); },
         255u, 255, 255, -1, 255, 255.0f, true},
        {"UINT16 narrows", PDB::kTypeUInt16, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setUInt32(0, 0x12345u)); },
         0x2345u, 0x2345, 0x45, 0x45, 0x2345, float(0x2345), true},
        {"FLOAT truncates toward zero", PDB::kTypeFloat,
         [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setFloat(0, -2.7f)); }, 0xFFFFFFFEu, -2, 254, -2, 0xFFFE, -2.7f,
         true},
        {"FLOAT 0.9 reads 0 but is set", PDB::kTypeFloat, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setFloat(0, 0.9f)); },
         0u, 0, 0, 0, 0, 0.9f, true},
        {"FLOAT NaN", PDB::kTypeFloat, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setFloat(0, kNaN)); }, 0u, 0, 0, 0, 0,
         kNaN, true},
        {"FLOAT from SINT32", PDB::kTypeFloat, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setSInt32(0, -7)); },
         0xFFFFFFF9u, -7, 0xF9, -7, 0xFFF9, -7.0f, true},
        {"UINT16 from float truncates then narrows", PDB::kTypeUInt16,
         [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setFloat(0, 70000.9f)); }, 4464u, 4464, 0x70, 0x70, 4464, 4464.0f,
         true},
        {"SINT32 from huge float saturates", PDB::kTypeSInt32,
         [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setFloat(0, 1e30f)); }, 0xFFFFFFFFu, -1, 255, -1, 0xFFFF, -1.0f,
         true},
        {"UINT32 full range to float", PDB::kTypeUInt32,
         [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setUInt32(0, 0xFFFFFFFFu)); }, 0xFFFFFFFFu, -1, 255, -1, 0xFFFF,
         4294967296.0f, true},
        {"SINT32 setBool", PDB::kTypeSInt32, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setBool(0, true)); }, 1u, 1, 1, 1,
         1, 1.0f, true},
        {"SINT16 from UINT16 bits", PDB::kTypeSInt16, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setUInt16(0, 0xFFFE)); },
         0xFFFFFFFEu, -2, 0xFE, -2, 0xFFFE, -2.0f, true},
        {"UINT8 zero", PDB::kTypeUInt8, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setSInt8(0, 0)); }, 0u, 0, 0, 0, 0,
         0.0f, false},
        {"BOOL from float 0.5 stores 0", PDB::kTypeBool, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setFloat(0, 0.5f)); },
         0u, 0, 0, 0, 0, 0.0f, false},
        {"BOOL from float -1.5 stores 1", PDB::kTypeBool,
         [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setFloat(0, -1.5f)); }, 1u, 1, 1, 1, 1, 1.0f, true},
        {"BOOL from SINT8 -3", PDB::kTypeBool, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setSInt8(0, -3)); }, 1u, 1, 1,
         1, 1, 1.0f, true},
        {"BOOL from UINT16 0x100", PDB::kTypeBool, [](PDB::IRawArray& a) { EXPECT_EQ(0u, a.setUInt16(0, 0x100)); },
         1u, 1, 1, 1, 1, 1.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto storage = make(c.type, 2);
        ASSERT_NE(nullptr, storage);
        c.write(*storage);
        EXPECT_EQ(c.u32, storage->getUInt32(0));
        EXPECT_EQ(c.s32, storage->getSInt32(0));
        EXPECT_EQ(c.u8, storage->getUInt8(0));
        EXPECT_EQ(c.s8, storage->getSInt8(0));
        EXPECT_EQ(c.u16, storage->getUInt16(0));
        EXPECT_EQ(int16_t(c.u16), storage->getSInt16(0));
        if (std::isnan(c.f)) {
            EXPECT_TRUE(std::isnan(storage->getFloat(0)));
        } else {
            EXPECT_EQ(c.f, storage->getFloat(0));
        }
        EXPECT_EQ(c.b, storage->getBool(0));
        EXPECT_EQ(0u, storage->getUInt32(1));
    }
}

TEST(RawArrayTest, NumbersLieBackToBackInHostOrder)
{
    auto storage = make(PDB::kTypeUInt16, 3);
    ASSERT_NE(nullptr, storage);
    EXPECT_EQ(6u, storage->totalSize());
    EXPECT_EQ(3u, storage->totalNum());
    EXPECT_EQ(2u, storage->itemSize());
    EXPECT_EQ(8u, PDB::calcTotalSize(PDB::kTypeUInt16, 0, 3));
    EXPECT_EQ(0u, storage->setUInt16(1, 0xBEEF));
    uint16_t second;
    std::memcpy(&second, static_cast<const uint8_t*>(storage->dataPtr(0)) + 2, 2);
    EXPECT_EQ(0xBEEF, second);
    EXPECT_EQ(static_cast<uint8_t*>(storage->dataPtr(0)) + 4, storage->dataPtr(2));
}

TEST(RawArrayTest, StoredSizesPadToFourAndRefuseWhatDoesNotFit)
{
    struct Case {
        uint8_t type;
        uint32_t itemSize;
        uint32_t count;
        uint32_t size;
    };
    const Case cases[] = {
        {PDB::kTypeUInt8, 0, 5, 8},         {PDB::kTypeSInt8, 0, 4, 4},
        {PDB::kTypeUInt16, 0, 3, 8},        {PDB::kTypeSInt16, 0, 2, 4},
        {PDB::kTypeUInt32, 0, 3, 12},       {PDB::kTypeSInt32, 0, 1, 4},
        {PDB::kTypeFloat, 0, 2, 8},         {PDB::kTypeBool, 0, 33, 8},
        {PDB::kTypeBool, 0, 9, 4},          {PDB::kTypeBool, 0, 0xFFFFFFFFu, 0x20000000u},
        {PDB::kTypeString, 10, 3, 36},      {PDB::kTypeBinary, 4, 3, 12},
        {0x13, 4, 3, 0},                    {0x00, 0, 3, 0},
        {PDB::kTypeUInt32, 0, 0x40000000u, 0},  // 2^32 bytes would wrap to 0
        {PDB::kTypeUInt16, 0, 0xFFFFFFFFu, 0},
        {PDB::kTypeString, 0xFFFFFFFEu, 1, 0},  // rounding up the item size passes 32 bits
        {PDB::kTypeBinary, 0x10000, 0x10000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.type) << " " << c.itemSize << " " << c.count);
        EXPECT_EQ(c.size, PDB::calcTotalSize(c.type, c.itemSize, c.count));
    }
    EXPECT_EQ(8u, PDB::roundUp4(5));
    EXPECT_EQ(8u, PDB::roundUp4(8));
    EXPECT_EQ(0u, PDB::roundUp4(0));
}

TEST(RawArrayTest, FactoryMakesEveryTypeZeroFilledOrRefuses)
{
    struct Case {
        uint8_t type;
        uint32_t itemSize;
        uint32_t count;
        uint32_t result;
        uint32_t totalSize;
    };
    const Case cases[] = {
        {PDB::kTypeUInt8, 1, 3, 0, 3},      {PDB::kTypeUInt16, 2, 3, 0, 6},
        {PDB::kTypeUInt32, 4, 3, 0, 12},    {PDB::kTypeSInt8, 1, 3, 0, 3},
        {PDB::kTypeSInt16, 2, 3, 0, 6},     {PDB::kTypeSInt32, 4, 3, 0, 12},
        {PDB::kTypeFloat, 4, 3, 0, 12},     {PDB::kTypeBool, 1, 3, 0, 4},
        {PDB::kTypeString, 5, 3, 0, 24},    {PDB::kTypeBinary, 5, 3, 0, 24},
        {0x13, 4, 3, 0x80040000u, 0},       {0x70, 4, 3, 0x80040000u, 0},
        {PDB::kTypeUInt32, 4, 0, 0x80040000u, 0},
        {PDB::kTypeBool, 1, 0, 0x80040000u, 0},
        {PDB::kTypeString, 0, 3, 0x80040000u, 0},           // no slot size
        {PDB::kTypeBinary, 0xFFFFFFFEu, 1, 0x80040000u, 0},  // rounding wraps
        {PDB::kTypeUInt32, 4, 0x40000000u, 0x80040000u, 0},  // 2^32 bytes must not become 0
        {PDB::kTypeString, 0x10000, 0x10000, 0x80040000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.type) << " " << c.itemSize << " " << c.count);
        auto out = std::unique_ptr<PDB::IRawArray>(new PDB::RawArray<uint8_t>(1));  // poison
        EXPECT_EQ(c.result, PDB::createRawArray(out, c.type, c.itemSize, c.count, 0));
        if (c.result != 0) {
            EXPECT_EQ(nullptr, out);
            continue;
        }
        ASSERT_NE(nullptr, out);
        EXPECT_TRUE(out->isValid());
        EXPECT_EQ(c.type, out->type());
        EXPECT_EQ(c.count, out->totalNum());
        EXPECT_EQ(c.totalSize, out->totalSize());
        const auto* bytes = static_cast<const uint8_t*>(out->dataPtr(0));
        for (uint32_t i = 0; i < c.totalSize; ++i) EXPECT_EQ(0, bytes[i]) << "byte " << i;
    }
}

TEST(RawArrayTest, FactoryWithDataCopiesAtMostTheStorage)
{
    const uint8_t data[6] = {1, 2, 3, 4, 5, 6};
    std::unique_ptr<PDB::IRawArray> out;
    ASSERT_EQ(0u, PDB::createRawArray(out, PDB::kTypeUInt8, 1, 4, data, 6, 0));
    EXPECT_EQ(4u, out->getUInt32(3));
    ASSERT_EQ(0u, PDB::createRawArray(out, PDB::kTypeUInt8, 1, 4, data, 2, 0));
    EXPECT_EQ(2u, out->getUInt32(1));
    EXPECT_EQ(0u, out->getUInt32(2));
    EXPECT_EQ(0x80040000u, PDB::createRawArray(out, 0x13, 1, 4, data, 6, 0));
    EXPECT_EQ(nullptr, out);
}

TEST(RawArrayTest, ExistingMemoryIsWrappedNotCopiedNorFreed)
{
    alignas(4) uint8_t memory[12] = {};
    memory[8] = 0x7F;
    std::unique_ptr<PDB::IRawArray> out;
    ASSERT_EQ(0u, PDB::createRawArrayWithExistingMemory(out, PDB::kTypeUInt32, 4, 3, memory, 12));
    EXPECT_EQ(memory, out->dataPtr(0));
    uint32_t third;
    std::memcpy(&third, memory + 8, 4);
    EXPECT_EQ(third, out->getUInt32(2));  // nothing was cleared
    EXPECT_EQ(0u, out->setUInt32(0, 0x01020304u));
    uint32_t first;
    std::memcpy(&first, memory, 4);
    EXPECT_EQ(0x01020304u, first);
    out.reset();  // must not free the caller's memory

    struct Case {
        uint8_t type;
        uint32_t itemSize;
        uint32_t count;
        uint32_t length;
        bool ok;
    };
    const Case cases[] = {
        {PDB::kTypeUInt32, 4, 3, 11, false}, {PDB::kTypeUInt16, 2, 6, 12, true},   {PDB::kTypeUInt8, 1, 0, 12, false},
        {PDB::kTypeBool, 1, 96, 12, true},   {PDB::kTypeBool, 1, 97, 12, false},  {PDB::kTypeBool, 1, 1, 3, false},
        {PDB::kTypeString, 5, 1, 8, true},   {PDB::kTypeString, 5, 2, 12, false}, {PDB::kTypeBinary, 0, 1, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.type) << " " << c.count << " " << c.length);
        EXPECT_EQ(c.ok ? 0u : 0x80040000u,
                  PDB::createRawArrayWithExistingMemory(out, c.type, c.itemSize, c.count, memory, c.length));
        EXPECT_EQ(c.ok, out != nullptr);
    }
    EXPECT_EQ(0x80040000u, PDB::createRawArrayWithExistingMemory(out, PDB::kTypeUInt8, 1, 1, nullptr, 4));
}

TEST(RawArrayTest, InitializeRefusesEmptyCountsAndLeavesTheStorageEmpty)
{
    PDB::RawArray<int16_t> storage(4);
    ASSERT_TRUE(storage.isValid());
    EXPECT_EQ(0x80000000u, storage.initialize(0));
    EXPECT_FALSE(storage.isValid());
    EXPECT_EQ(0u, storage.totalNum());
    EXPECT_EQ(nullptr, storage.dataPtr(0));

    uint8_t memory[4];
    EXPECT_EQ(0x80000000u, storage.initializeWithExistMemory(3, memory, 4));
    EXPECT_FALSE(storage.isValid());
    EXPECT_EQ(0u, storage.initializeWithExistMemory(2, memory, 4));
    EXPECT_EQ(0u, storage.clear());
    EXPECT_FALSE(storage.isValid());

    const int16_t values[2] = {-5, 9};
    EXPECT_EQ(0u, storage.initialize(3, values, sizeof(values)));
    EXPECT_EQ(-5, storage.getSInt32(0));
    EXPECT_EQ(9, storage.getSInt32(1));
    EXPECT_EQ(0, storage.getSInt32(2));
}

TEST(RawArrayTest, NumbersRefuseTextAndBytesAndZeroTheBuffer)
{
    auto storage = make(PDB::kTypeUInt32, 2);
    char text[8];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(0x80080000u, storage->getString(0, text, sizeof(text)));
    for (char ch : text) EXPECT_EQ(0, ch);
    uint8_t bytes[5];
    std::memset(bytes, 0xAA, sizeof(bytes));
    EXPECT_EQ(0x80080000u, storage->getBinary(0, bytes, sizeof(bytes)));
    for (uint8_t b : bytes) EXPECT_EQ(0, b);
    EXPECT_EQ(0u, storage->setUInt32(0, 9));
    EXPECT_EQ(0x80080000u, storage->setString(0, "1"));
    EXPECT_EQ(0x80080000u, storage->setBinary(0, bytes, 1));
    EXPECT_EQ(9u, storage->getUInt32(0));
}

TEST(RawArrayTest, RecallCopiesTheCommonRangeOrRefusesWithoutCopying)
{
    PDB::RawArray<uint16_t> source(6);
    for (uint32_t i = 0; i < 6; ++i) ASSERT_EQ(0u, source.setUInt32(i, 100 + i));

    struct Case {
        const char* what;
        uint32_t ownCount;
        uint32_t start, count;
        uint32_t result;
        uint32_t firstCopied, copied;
    };
    const Case cases[] = {
        {"whole", 6, 0, 6, 0, 0, 6},
        {"shorter destination", 4, 0, 0xFFFFFFFFu, 0, 0, 4},
        {"longer destination", 8, 0, 0xFFFFFFFFu, 0, 0, 6},
        {"middle range", 6, 2, 3, 0, 2, 3},
        {"count past the end is shortened", 6, 4, 100, 0, 4, 2},
        {"start at the common length", 4, 4, 1, 0x80000001u, 0, 0},
        {"start far beyond", 6, 0xFFFFFFF0u, 100, 0x80000001u, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PDB::RawArray<uint16_t> own(c.ownCount);
        for (uint32_t i = 0; i < c.ownCount; ++i) ASSERT_EQ(0u, own.setUInt32(i, 7));
        EXPECT_EQ(c.result, own.recall(source, c.start, c.count));
        for (uint32_t i = 0; i < c.ownCount; ++i) {
            const bool copied = i >= c.firstCopied && i < c.firstCopied + c.copied;
            EXPECT_EQ(copied ? 100 + i : 7u, own.getUInt32(i)) << "element " << i;
        }
    }
}

TEST(RawArrayTest, RecallRefusesEmptyStoragesAndOtherTypes)
{
    PDB::RawArray<uint16_t> own(3);
    ASSERT_EQ(0u, own.setUInt32(0, 5));
    PDB::RawArray<uint16_t> empty;
    PDB::RawArray<int16_t> otherType(3);
    EXPECT_EQ(0x80008000u, empty.recall(own));
    EXPECT_EQ(0x80000001u, own.recall(empty));
    EXPECT_EQ(0x80020000u, own.recall(otherType));
    EXPECT_EQ(0x80000001u, own.recall(PDB::RawArrayNull::getNullObject()));
    EXPECT_EQ(5u, own.getUInt32(0));
}

TEST(RawArrayTest, RecallFromStoredBytesChecksTypeWidthAndLength)
{
    const uint16_t stored[3] = {11, 22, 33};
    struct Case {
        const char* what;
        const void* data;
        uint32_t length;
        uint8_t type;
        uint32_t itemSize;
        uint32_t result;
        uint32_t copied;
    };
    const Case cases[] = {
        {"all", stored, 6, PDB::kTypeUInt16, 2, 0, 3},
        {"whole elements only", stored, 5, PDB::kTypeUInt16, 2, 0, 2},
        {"null data", nullptr, 6, PDB::kTypeUInt16, 2, 0x80000001u, 0},
        {"no length", stored, 0, PDB::kTypeUInt16, 2, 0x80000001u, 0},
        {"less than one element", stored, 1, PDB::kTypeUInt16, 2, 0x80000001u, 0},
        {"other type", stored, 6, PDB::kTypeSInt16, 2, 0x80020000u, 0},
        {"other width", stored, 6, PDB::kTypeUInt16, 4, 0x80000001u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PDB::RawArray<uint16_t> own(4);
        for (uint32_t i = 0; i < 4; ++i) ASSERT_EQ(0u, own.setUInt32(i, 7));
        EXPECT_EQ(c.result, own.recall(c.data, c.length, c.type, c.itemSize));
        for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(i < c.copied ? stored[i] : 7u, own.getUInt32(i)) << i;
    }
    PDB::RawArray<uint16_t> own(4);
    EXPECT_EQ(0u, own.recall(stored, 6, PDB::kTypeUInt16, 2, 1, 1));
    EXPECT_EQ(0u, own.getUInt32(0));
    EXPECT_EQ(22u, own.getUInt32(1));
    EXPECT_EQ(0u, own.getUInt32(2));
    PDB::RawArray<uint16_t> empty;
    EXPECT_EQ(0x80008000u, empty.recall(stored, 6, PDB::kTypeUInt16, 2));
}

TEST(RawArrayTest, DuplicateTakesTheSourceShapeAndValues)
{
    PDB::RawArray<float> source(5);
    for (uint32_t i = 0; i < 5; ++i) ASSERT_EQ(0u, source.setFloat(i, 0.5f * float(i)));

    PDB::RawArray<float> smaller(2);
    EXPECT_EQ(0u, smaller.duplicate(source, 0));
    EXPECT_EQ(5u, smaller.totalNum());
    for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(0.5f * float(i), smaller.getFloat(i));

    PDB::RawArray<float> same(5);
    const void* block = same.dataPtr(0);
    EXPECT_EQ(0u, same.duplicate(source, 31));
    EXPECT_EQ(block, same.dataPtr(0));  // same shape: copied in place
    EXPECT_EQ(2.0f, same.getFloat(4));

    PDB::RawArray<float> empty;
    EXPECT_EQ(0u, empty.duplicate(source, 0));
    EXPECT_EQ(5u, empty.totalNum());

    PDB::RawArray<float> kept(2);
    ASSERT_EQ(0u, kept.setFloat(0, 9.0f));
    PDB::RawArray<int32_t> otherType(5);
    PDB::RawArray<float> emptySource;
    EXPECT_EQ(0x80080000u, kept.duplicate(source, 32));
    EXPECT_EQ(0x80020000u, kept.duplicate(otherType, 0));
    EXPECT_EQ(0x80000001u, kept.duplicate(emptySource, 0));
    EXPECT_EQ(2u, kept.totalNum());
    EXPECT_EQ(9.0f, kept.getFloat(0));
}

TEST(RawArrayTest, CopiesAreDeepAndMovesEmptyTheSource)
{
    PDB::RawArray<int8_t> source(3);
    ASSERT_EQ(0u, source.setSInt32(2, -4));
    PDB::RawArray<int8_t> copy(source);
    ASSERT_EQ(0u, copy.setSInt32(2, 1));
    EXPECT_EQ(-4, source.getSInt32(2));
    EXPECT_NE(source.dataPtr(0), copy.dataPtr(0));

    PDB::RawArray<int8_t> assigned;
    assigned = source;
    EXPECT_EQ(-4, assigned.getSInt32(2));

    PDB::RawArray<int8_t> moved(std::move(source));
    EXPECT_EQ(-4, moved.getSInt32(2));
    EXPECT_FALSE(source.isValid());
    EXPECT_EQ(0u, source.totalNum());

    PDB::RawArray<int8_t> emptyCopy(source);
    EXPECT_FALSE(emptyCopy.isValid());
}

TEST(RawArrayTest, NullStorageAnswersWithoutEffect)
{
    PDB::RawArrayNull& null = PDB::RawArrayNull::getNullObject();
    EXPECT_FALSE(null.isValid());
    EXPECT_EQ(0, null.type());
    EXPECT_EQ(0u, null.itemSize());
    EXPECT_EQ(0u, null.totalSize());
    EXPECT_EQ(0u, null.totalNum());
    EXPECT_EQ(nullptr, null.dataPtr(0));
    JVariant value(5);
    EXPECT_EQ(0u, null.getVariant(value, 0));
    EXPECT_FALSE(value.isValid());
    char text[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(0u, null.getString(0, text, 4));
    for (char ch : text) EXPECT_EQ(0, ch);
    EXPECT_EQ(0u, null.setVariant(0, JVariant(1)));
    EXPECT_EQ(0u, null.setUInt32(0, 1));
    EXPECT_EQ(0u, null.getUInt32(0));
    PDB::RawArray<uint8_t> other(2);
    EXPECT_EQ(0u, null.recall(other));
    EXPECT_EQ(0u, null.duplicate(other, 0));
    EXPECT_FALSE(null.isValid());
    EXPECT_EQ("null\n", printed(null));
}

TEST(RawArrayTest, PrintListsEveryElementOrNull)
{
    struct Case {
        const char* what;
        std::unique_ptr<PDB::IRawArray> storage;
        std::string expected;
    };
    auto ints = make(PDB::kTypeSInt16, 3);
    EXPECT_EQ(0u, ints->setSInt32(0, -1));
    EXPECT_EQ(0u, ints->setSInt32(2, 30));
    auto floats = make(PDB::kTypeFloat, 2);
    EXPECT_EQ(0u, floats->setFloat(1, 1.5f));
    auto bools = make(PDB::kTypeBool, 3);
    EXPECT_EQ(0u, bools->setBool(1, true));
    auto texts = make(PDB::kTypeString, 2, 3);
    EXPECT_EQ(0u, texts->setString(0, "abc"));
    EXPECT_EQ(0u, texts->setString(1, "d"));
    auto bytes = make(PDB::kTypeBinary, 2, 2);
    const uint8_t raw[2] = {0xAB, 0x01};
    EXPECT_EQ(0u, bytes->setBinary(0, raw, 2));
    Case cases[] = {
        {"integers", std::move(ints), "{ -1, 0, 30 }\n"},
        {"floats", std::move(floats), "{ 0.000000, 1.500000 }\n"},
        {"booleans", std::move(bools), "{ 0, 1, 0 }\n"},
        {"texts", std::move(texts), "{ abc, d }\n"},
        {"bytes", std::move(bytes), "{ 0xAB010000, 0x00000000 }\n"},
        {"empty", std::make_unique<PDB::RawArray<uint32_t>>(), "null\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, printed(*c.storage));
    }
}
