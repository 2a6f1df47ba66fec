#include "parray/ArrayTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "parray/Array1D.h"
#include "parray/IArray.h"
#include "parray/ParrayTestSupport.h"

using parraytest::sizeWord;

namespace {

void* const kPoison = reinterpret_cast<void*>(0x5A5A5A5A);

// A block built by hand, as a component library might be handed one: any count, any slots, and
// an array address just past the last slot that no operation may take for a slot.
class HandBlock {
public:
    explicit HandBlock(std::vector<PARRAY::IArray*> slots, PARRAY::IArray* past = nullptr) : m_words(2 + slots.size())
    {
        std::memcpy(&m_words[1 + slots.size()], &past, sizeof(past));
        const auto count = static_cast<uint32_t>(slots.size());
        std::memcpy(m_words.data(), "#Ar1", 4);
        std::memcpy(reinterpret_cast<char*>(m_words.data()) + 4, &count, 4);
        if (!slots.empty()) std::memcpy(m_words.data() + 1, slots.data(), slots.size() * sizeof(PARRAY::IArray*));
    }
    void* data() { return m_words.data(); }

private:
    std::vector<uint64_t> m_words;
};

// Owns a block from createArrayTable and releases it with the same descriptions.
class Table {
public:
    Table(const PARRAY::ArrayInfo* infos, uint32_t count, uint32_t numX, uint32_t numY) : m_infos(infos), m_count(count)
    {
        result = PARRAY::createArrayTable(block, length, infos, count, numX, numY);
    }
    ~Table()
    {
        if (block) {
            EXPECT_EQ(0u, PARRAY::destroyArrayTable(block, m_infos, m_count));
        }
    }
    PARRAY::IArray& array(uint32_t id) { return **PARRAY::_getArrayPointer(block, id); }

    void* block = nullptr;
    uint32_t length = 0;
    uint32_t result = 0xDEADu;

private:
    const PARRAY::ArrayInfo* m_infos;
    uint32_t m_count;
};

void fill(PARRAY::IArray& array, uint8_t first)
{
    auto* bytes = static_cast<uint8_t*>(array.dataPtr());
    for (uint32_t i = 0; i < array.totalSize(); ++i) bytes[i] = static_cast<uint8_t>(first + i);
}

}  // namespace

TEST(ArrayTableTest, SizeWordsScaleFirstThenRaiseToTheGranule)
{
    struct Case { uint32_t scale, granule, count, numX, numY, expected; };
    const Case cases[] = {
        {0, 0, 16, 1, 1, 16},
        {1, 0, 2, 8, 1, 16},
        {2, 0, 3, 1, 4, 12},
        {3, 0, 3, 8, 1, 3},
        {4, 0, 3, 1, 10, 4},
        {0, 3, 5, 1, 1, 8},
        {1, 3, 3, 5, 1, 16},
        {0, 6, 1, 1, 1, 64},
        {0, 1, 0, 1, 1, 0},
        {0, 0, 0xFFFFFF, 1, 1, 0xFFFFFF},
        {1, 0, 0, 8, 1, 0},
        // A count of 0 under a dividing scale describes nothing instead of dividing by zero.
        {3, 0, 0, 8, 1, 0},
        {4, 0, 0, 1, 8, 0},
        {4, 2, 0, 1, 8, 0},
        // Undefined codes decode to nothing.
        {5, 0, 4, 1, 1, 0},
        {15, 0, 4, 1, 1, 0},
        {0, 7, 4, 1, 1, 0},
        {0, 15, 4, 1, 1, 0},
        // Counts are taken in 64 bits: what does not fit 32 is nothing, not a wrapped value.
        {3, 0, 2, 0xFFFFFFFFu, 1, 0x80000000u},
        {1, 0, 0x100, 0x01000000u, 1, 0},
        {2, 0, 0xFFFFFF, 1, 0x1000, 0},
        {1, 6, 1, 0xFFFFFFC1u, 1, 0},
        {1, 6, 1, 0xFFFFFFC0u, 1, 0xFFFFFFC0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scale << "/" << c.granule << "/" << c.count << " x" << c.numX << " y" << c.numY);
        EXPECT_EQ(c.expected, PARRAY::_decodeArraySize(sizeWord(c.scale, c.granule, c.count), c.numX, c.numY));
    }
}

TEST(ArrayTableTest, AlignSizeRaisesToTheGranule)
{
    const uint32_t cases[][3] = {
        {0, 8, 0}, {15, 8, 16}, {16, 8, 16}, {17, 2, 18}, {5, 1, 5}, {5, 0, 5}, {0xFFFFFFFFu, 2, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c[2], PARRAY::_AlignSize(c[0], c[1])) << c[0] << " to " << c[1];
}

TEST(ArrayTableTest, DimensionComesFromTheRawWordsUpToTheFirstZero)
{
    struct Case { uint32_t x, y, z, dimension; };
    const Case cases[] = {
        {0, 4, 4, 0}, {6, 0, 5, 1}, {6, 0, 0, 1}, {6, 2, 0, 2}, {6, 2, 1, 3},
        {sizeWord(1, 0, 0), 0, 0, 1},  // non-zero word even though it decodes to 0 elements
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z);
        const PARRAY::ArrayInfo info{PARRAY::kTypeUINT8, c.x, c.y, c.z, ""};
        EXPECT_EQ(c.dimension, PARRAY::_decodeArrayDimension(info));
    }
}

TEST(ArrayTableTest, CreateBuildsHeaderSlotsAndZeroFilledArrays)
{
    const PARRAY::ArrayInfo infos[3] = {
        {PARRAY::kTypeFLOAT, sizeWord(1, 0, 2), 0, 0, "level"},
        {PARRAY::kTypeSINT16, sizeWord(0, 0, 3), sizeWord(2, 0, 1), 0, "gr"},
        {PARRAY::kTypeDOUBLE, 2, sizeWord(3, 0, 2), sizeWord(0, 2, 3), "raw"},
    };
    Table table(infos, 3, 5, 4);
    ASSERT_EQ(0u, table.result);
    ASSERT_NE(nullptr, table.block);
    EXPECT_EQ(32u, table.length);
    EXPECT_EQ(8u, PARRAY::getPArrayDataHeaderSize());
    EXPECT_EQ(0, std::memcmp("#Ar1", table.block, 4));
    uint32_t count = 0;
    std::memcpy(&count, static_cast<char*>(table.block) + 4, 4);
    EXPECT_EQ(3u, count);
    EXPECT_EQ(3u, PARRAY::_getArrayIDNum(table.block));
    EXPECT_EQ(reinterpret_cast<PARRAY::IArray**>(static_cast<char*>(table.block) + 8),
              PARRAY::_getArrayTablePointer(table.block));

    struct Expected { uint32_t dimension, x, y, z, totalSize; };
    const Expected expected[3] = {{1, 10, 0, 0, 40}, {2, 3, 4, 0, 24}, {3, 2, 3, 4, 192}};
    for (uint32_t id = 0; id < 3; ++id) {
        SCOPED_TRACE(id);
        PARRAY::IArray** slot = PARRAY::_getArrayPointer(table.block, id);
        ASSERT_NE(nullptr, slot);
        EXPECT_EQ(PARRAY::_getArrayTablePointer(table.block) + id, slot);
        const PARRAY::IArray& array = **slot;
        EXPECT_EQ(expected[id].dimension, array.dimension());
        EXPECT_EQ(expected[id].x, array.num(0));
        EXPECT_EQ(expected[id].y, array.num(1));
        EXPECT_EQ(expected[id].z, array.num(2));
        EXPECT_EQ(expected[id].totalSize, array.totalSize());
        const std::vector<uint8_t> zeros(array.totalSize(), 0);
        EXPECT_EQ(0, std::memcmp(zeros.data(), array.dataPtr(), zeros.size()));
    }
    EXPECT_EQ(nullptr, PARRAY::_getArrayPointer(table.block, 3));
    EXPECT_EQ(nullptr, PARRAY::_getArrayPointer(static_cast<const void*>(table.block), 3));
}

TEST(ArrayTableTest, WordDecodingToNoElementsStillMakesAnArray)
{
    const PARRAY::ArrayInfo infos[2] = {
        {PARRAY::kTypeUINT32, sizeWord(1, 0, 0), 0, 0, ""},
        {PARRAY::kTypeUINT32, 4, sizeWord(3, 0, 0), 0, ""},
    };
    Table table(infos, 2, 8, 8);
    ASSERT_EQ(0u, table.result);
    for (uint32_t id = 0; id < 2; ++id) {
        EXPECT_EQ(id + 1, table.array(id).dimension());
        EXPECT_FALSE(table.array(id).isValid());
        EXPECT_EQ(0u, table.array(id).totalSize());
    }
}

TEST(ArrayTableTest, CreateRefusesBadInputWithNothingAllocatedAndNullOutputs)
{
    const PARRAY::ArrayInfo good{PARRAY::kTypeUINT8, 4, 0, 0, ""};
    struct Case {
        const char* name;
        std::vector<PARRAY::ArrayInfo> infos;
        uint32_t count;  // 0xFFFFFFFF: the size of infos
        uint32_t numX, numY;
    };
    const Case cases[] = {
        {"no descriptions", {}, 0, 4, 4},
        {"numX 0", {good}, ~0u, 0, 4},
        {"numY 0 though no word uses it", {good}, ~0u, 4, 0},
        {"type code 8 after good ones", {good, good, {8, 4, 0, 0, ""}}, ~0u, 4, 4},
        {"X word 0", {good, {PARRAY::kTypeUINT8, 0, 4, 4, ""}}, ~0u, 4, 4},
        {"scale code 5", {{PARRAY::kTypeUINT8, sizeWord(5, 0, 4), 0, 0, ""}}, ~0u, 4, 4},
        {"scale code 15", {{PARRAY::kTypeUINT8, 4, sizeWord(15, 0, 4), 0, ""}}, ~0u, 4, 4},
        {"granule code 7", {{PARRAY::kTypeUINT8, sizeWord(0, 7, 4), 0, 0, ""}}, ~0u, 4, 4},
        {"granule code 15 in Z", {{PARRAY::kTypeUINT8, 1, 1, sizeWord(0, 15, 1), ""}}, ~0u, 4, 4},
        {"undefined code in a word past the dimension", {{PARRAY::kTypeUINT8, 4, 0, sizeWord(6, 0, 1), ""}}, ~0u, 4, 4},
        {"count beyond 32 bits", {{PARRAY::kTypeUINT8, sizeWord(1, 0, 0x100), 0, 0, ""}}, ~0u, 0x01000000u, 4},
        {"bytes beyond 32 bits", {{PARRAY::kTypeDOUBLE, sizeWord(1, 0, 0x200), 0, 0, ""}}, ~0u, 0x00100000u, 4},
        {"2D count wrapping in 32 bits", {{PARRAY::kTypeUINT8, 0x10000, 0x10001, 0, ""}}, ~0u, 4, 4},
        {"3D bytes beyond 32 bits", {{PARRAY::kTypeFLOAT, 0x400, 0x400, 0x400, ""}}, ~0u, 4, 4},
        // 8 + 8 * 0x1FFFFFFF is 2^32: the count is refused before any description is read.
        {"block length beyond 32 bits", {good}, 0x1FFFFFFFu, 4, 4},
        {"largest count", {good}, 0xFFFFFFFFu - 1, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        void* block = kPoison;
        uint32_t length = 0x5A5A5A5Au;
        const uint32_t count = c.count == ~0u ? static_cast<uint32_t>(c.infos.size()) : c.count;
        EXPECT_EQ(0x80000000u, PARRAY::createArrayTable(block, length, c.infos.empty() ? nullptr : c.infos.data(),
                                                        count, c.numX, c.numY));
        EXPECT_EQ(nullptr, block);
        EXPECT_EQ(0u, length);
    }
}

TEST(ArrayTableTest, BlockHelpersTreatNullOrUnmarkedBlocksAsNoTable)
{
    const PARRAY::ArrayInfo infos[1] = {{PARRAY::kTypeUINT8, 4, 0, 0, ""}};
    Table table(infos, 1, 1, 1);
    ASSERT_EQ(0u, table.result);
    for (int byte = -1; byte < 4; ++byte) {
        SCOPED_TRACE(byte);
        uint64_t copy[2];
        std::memcpy(copy, table.block, sizeof(copy));
        if (byte >= 0) reinterpret_cast<char*>(copy)[byte] ^= 0x20;
        void* block = byte < 0 ? nullptr : static_cast<void*>(copy);
        EXPECT_EQ(0u, PARRAY::_getArrayIDNum(block));
        EXPECT_EQ(nullptr, PARRAY::_getArrayPointer(block, 0));
        EXPECT_EQ(nullptr, PARRAY::_getArrayPointer(static_cast<const void*>(block), 0));
        EXPECT_EQ(nullptr, PARRAY::_getArrayTablePointer(block));
        EXPECT_EQ(nullptr, PARRAY::_getArrayTablePointer(static_cast<const void*>(block)));
        const uint8_t source[1] = {1};
        EXPECT_EQ(0x80000000u, PARRAY::importArrayTable(block, 0, 0, source, 1));
        EXPECT_EQ(0x80000000u, PARRAY::copyArrayTable(block, table.block));
        EXPECT_EQ(0x80000000u, PARRAY::copyArrayTable(table.block, block));
        const void* data = kPoison;
        uint32_t size = 77;
        EXPECT_EQ(0x80000000u, PARRAY::getArrayPointer(data, size, block, 0));
        EXPECT_EQ(nullptr, data);
        EXPECT_EQ(0u, size);
        EXPECT_EQ(0x80000000u, PARRAY::destroyArrayTable(block, infos, 1));
    }
}

TEST(ArrayTableTest, ImportStaysWithinTheArrayBytes)
{
    const PARRAY::ArrayInfo infos[2] = {
        {PARRAY::kTypeUINT16, 4, 0, 0, ""},              // 8 bytes
        {PARRAY::kTypeUINT16, sizeWord(1, 0, 0), 0, 0, ""},  // no elements
    };
    Table table(infos, 2, 4, 4);
    ASSERT_EQ(0u, table.result);
    const uint8_t source[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    struct Case { const char* name; uint32_t id, offset; const void* source; uint32_t length; uint32_t result; };
    const Case cases[] = {
        {"whole array", 0, 0, source, 8, 0},
        {"tail up to the end", 0, 6, source, 2, 0},
        {"one byte past the end", 0, 7, source, 2, 0x80000000u},
        {"longer than the array", 0, 0, source, 9, 0x80000000u},
        {"length 0", 0, 8, source, 0, 0},
        // 0xFFFFFFFF + 2 wraps to 1 in 32 bits and would pass the range check.
        {"offset wrapping", 0, 0xFFFFFFFFu, source, 2, 0x80000000u},
        {"null source", 0, 0, nullptr, 2, 0x80000000u},
        {"ID N", 2, 0, source, 1, 0x80000000u},
        {"array without elements", 1, 0, source, 0, 0x80000000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(table.array(0).dataPtr(), 0xEE, 8);
        EXPECT_EQ(c.result, PARRAY::importArrayTable(table.block, c.id, c.offset, c.source, c.length));
        const auto* bytes = static_cast<const uint8_t*>(table.array(0).dataPtr());
        for (uint32_t i = 0; i < 8; ++i) {
            const bool written = c.result == 0 && c.id == 0 && i >= c.offset && i < c.offset + c.length;
            EXPECT_EQ(written ? source[i - c.offset] : 0xEE, bytes[i]) << "byte " << i;
        }
    }
}

TEST(ArrayTableTest, GetArrayPointerHandsOutElementsAndByteSize)
{
    const PARRAY::ArrayInfo infos[1] = {{PARRAY::kTypeSINT32, 3, 2, 0, ""}};
    Table table(infos, 1, 1, 1);
    ASSERT_EQ(0u, table.result);
    const void* data = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0u, PARRAY::getArrayPointer(data, size, table.block, 0));
    EXPECT_EQ(table.array(0).dataPtr(), data);
    EXPECT_EQ(24u, size);
    data = kPoison;
    size = 77;
    EXPECT_EQ(0x80000000u, PARRAY::getArrayPointer(data, size, table.block, 1));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0u, size);
    HandBlock empty({nullptr});
    data = kPoison;
    EXPECT_EQ(0x80000000u, PARRAY::getArrayPointer(data, size, empty.data(), 0));
    EXPECT_EQ(nullptr, data);
}

TEST(ArrayTableTest, CopyCopiesEachArrayUpToTheSmallerSize)
{
    const PARRAY::ArrayInfo infos[2] = {
        {PARRAY::kTypeUINT8, sizeWord(1, 0, 1), 0, 0, ""},
        {PARRAY::kTypeUINT32, sizeWord(2, 0, 1), 2, 0, ""},
    };
    struct Case { const char* name; uint32_t sourceN, destinationN; uint32_t copied0, copied1; };
    const Case cases[] = {
        {"same sizes", 4, 4, 4, 32},
        {"larger source", 6, 4, 4, 32},
        {"smaller source", 3, 5, 3, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Table source(infos, 2, c.sourceN, c.sourceN);
        Table destination(infos, 2, c.destinationN, c.destinationN);
        ASSERT_EQ(0u, source.result);
        ASSERT_EQ(0u, destination.result);
        fill(source.array(0), 1);
        fill(source.array(1), 101);
        EXPECT_EQ(0u, PARRAY::copyArrayTable(destination.block, source.block));
        const uint32_t copied[2] = {c.copied0, c.copied1};
        for (uint32_t id = 0; id < 2; ++id) {
            const auto* bytes = static_cast<const uint8_t*>(destination.array(id).dataPtr());
            for (uint32_t i = 0; i < destination.array(id).totalSize(); ++i) {
                EXPECT_EQ(i < copied[id] ? static_cast<uint8_t>((id == 0 ? 1 : 101) + i) : 0, bytes[i])
                    << "array " << id << " byte " << i;
            }
        }
    }
}

TEST(ArrayTableTest, CopyBetweenDifferentCountsOrEmptySlotsStaysWithinBothTables)
{
    PARRAY::Array1D<uint8_t> a(2), b(2), c(2), d(2), outside(2);
    a.at(0) = 1;
    b.at(0) = 2;
    c.at(0) = 3;
    struct Case {
        const char* name;
        std::vector<PARRAY::IArray*> source, destination;
        std::vector<uint8_t> expected;  // first byte of d and c after the copy
    };
    const Case cases[] = {
        {"source holds more", {&a, &b}, {&d}, {1, 3}},
        {"destination holds more", {&b}, {&d, &c}, {2, 3}},
        {"empty source slot", {nullptr, &a}, {&d, &c}, {0, 1}},
        {"empty destination slot", {&a, &b}, {nullptr, &c}, {0, 2}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        d.at(0) = 0;
        c.at(0) = 3;
        outside.at(0) = 9;
        HandBlock source(k.source, &a);
        HandBlock destination(k.destination, &outside);
        EXPECT_EQ(0u, PARRAY::copyArrayTable(destination.data(), source.data()));
        EXPECT_EQ(k.expected[0], d.at(0));
        EXPECT_EQ(k.expected[1], c.at(0));
        EXPECT_EQ(9, outside.at(0));
    }
    HandBlock none({});
    HandBlock one({&a});
    EXPECT_EQ(0x80000000u, PARRAY::copyArrayTable(none.data(), one.data()));
    EXPECT_EQ(0x80000000u, PARRAY::copyArrayTable(one.data(), none.data()));
}

TEST(ArrayTableTest, DestroyNeedsTheWholeDescriptionTable)
{
    const PARRAY::ArrayInfo infos[3] = {
        {PARRAY::kTypeUINT8, 4, 0, 0, ""},
        {PARRAY::kTypeFLOAT, 4, 4, 0, ""},
        {PARRAY::kTypeDOUBLE, 2, 2, 2, ""},
    };
    void* block = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(0u, PARRAY::createArrayTable(block, length, infos, 3, 1, 1));
    EXPECT_EQ(0x80000000u, PARRAY::destroyArrayTable(block, nullptr, 3));
    EXPECT_EQ(0x80000000u, PARRAY::destroyArrayTable(block, infos, 0));
    // Two descriptions cannot name three arrays: nothing is released or read past the table.
    EXPECT_EQ(0x80000000u, PARRAY::destroyArrayTable(block, infos, 2));
    EXPECT_EQ(3u, PARRAY::_getArrayIDNum(block));
    for (uint32_t id = 0; id < 3; ++id) EXPECT_NE(nullptr, *PARRAY::_getArrayPointer(block, id));
    struct Case { const char* name; PARRAY::ArrayInfo second; };
    const Case cases[] = {
        {"type code 8", {8, 4, 4, 0, ""}},
        {"X word 0", {PARRAY::kTypeFLOAT, 0, 4, 0, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PARRAY::ArrayInfo wrong[3] = {infos[0], c.second, infos[2]};
        EXPECT_EQ(0x80000000u, PARRAY::destroyArrayTable(block, wrong, 3));
        // Checked before the first release: every array is still there.
        for (uint32_t id = 0; id < 3; ++id) EXPECT_NE(nullptr, *PARRAY::_getArrayPointer(block, id));
    }
    EXPECT_EQ(0u, PARRAY::destroyArrayTable(block, infos, 3));  // the sanitizer build reports leftovers
}

TEST(ArrayTableTest, DestroyAcceptsALongerDescriptionTable)
{
    const PARRAY::ArrayInfo infos[2] = {{PARRAY::kTypeUINT8, 4, 0, 0, ""}, {PARRAY::kTypeUINT8, 4, 0, 0, ""}};
    void* block = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(0u, PARRAY::createArrayTable(block, length, infos, 1, 1, 1));
    EXPECT_EQ(0u, PARRAY::destroyArrayTable(block, infos, 2));
}
