#include "jlib/JVariantArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/mman.h>
#include <vector>

#include "jlib/JVariant.h"

namespace {

std::vector<unsigned char> bytesOf(const void* p, size_t n)
{
    const auto* b = static_cast<const unsigned char*>(p);
    return std::vector<unsigned char>(b, b + n);
}

JVariant text(const char* s) { return JVariant(s, 1024u); }

}  // namespace

TEST(JVariantArrayTest, ChecksTypeAndSizePairs)
{
    struct Case { int type; uint32_t size; bool fits; };
    const Case cases[] = {
        {0, 1, true}, {0, 2, true}, {0, 4, true}, {0, 3, false}, {0, 8, false},
        {1, 1, true}, {1, 4, true}, {1, 0, false},
        {2, 1, true}, {2, 1024, true}, {2, 0, false}, {2, 1025, false},
        {3, 4, true}, {3, 2, false},
        {4, 1, true}, {4, 0xFFFFFFFBu, true}, {4, 0xFFFFFFFCu, false}, {4, 0, false},
        {5, 4, false}, {-1, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " size " << c.size);
        EXPECT_EQ(c.fits ? 0x10000u : 0x80010001u, JVariantArray::chkVariantType(c.type, c.size));
        JVariantArray owned(c.type, c.size, 2);
        EXPECT_EQ(c.fits && c.size <= 1024 ? c.type : 5, owned.getType());
        unsigned char memory[8] = {};
        JVariantArray wrapped(memory, c.type, c.size, 1);
        EXPECT_EQ(c.fits ? c.type : 5, wrapped.getType());
    }
    EXPECT_EQ(0x10000u, JVariantArray::chkVariantLength(1));
    EXPECT_EQ(0x10000u, JVariantArray::chkVariantLength(2048));
    EXPECT_EQ(0x80010001u, JVariantArray::chkVariantLength(0));
    EXPECT_EQ(0x80010001u, JVariantArray::chkVariantLength(2049));
}

TEST(JVariantArrayTest, IntegerElementsAreCutToTheirWidthAndReadBackExtended)
{
    JVariantArray a(0, 2, 3);
    ASSERT_EQ(0, a.getType());
    EXPECT_EQ(2u, a.getSize());
    EXPECT_EQ(3u, a.getLength());
    for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(0, a.toInt32(i));
    EXPECT_EQ(0x10000u, a.setValue(1, JVariant(-2)));
    JVariant out(12345);
    ASSERT_EQ(0x10000u, a.getValue(&out, 1));
    EXPECT_EQ(0, out.getType());
    EXPECT_EQ(-2, out.toInt32());
    EXPECT_EQ(0xFFFFFFFEu, a.toUInt32(1));
    EXPECT_EQ(0x10000u, a.setValue(2, JVariant(0x12345u))); // a UInt32 is taken by its bits
    EXPECT_EQ(0x2345, a.toInt32(2));

    struct Case { const char* name; JVariant value; uint32_t result; uint32_t stored; };
    const Case cases[] = {
        {"uint 300 in one byte", JVariant(300u), 0x10000u, 44},
        {"int -1 refused", JVariant(-1), 0x80010001u, 7},
        {"int 200", JVariant(200), 0x10000u, 200},
        {"float refused", JVariant(1.0f), 0x80010001u, 7},
        {"string refused", text("1"), 0x80010001u, 7},
        {"invalid refused", JVariant(), 0x80010001u, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JVariantArray u(1, 1, 1);
        ASSERT_EQ(0x10000u, u.setPrimitiveValue(0, static_cast<unsigned char>(7)));
        EXPECT_EQ(c.result, u.setValue(0, c.value));
        bool ok = false;
        EXPECT_EQ(c.stored, u.toUInt32(0, &ok));
        EXPECT_TRUE(ok);
    }

    JVariantArray s(0, 1, 1);
    ASSERT_EQ(0x10000u, s.setPrimitiveValue(0, static_cast<signed char>(-100)));
    EXPECT_EQ(-100, s.toInt32(0));
}

TEST(JVariantArrayTest, FloatElementsTakeOnlyFloats)
{
    JVariantArray f(3, 4, 2);
    EXPECT_EQ(0x80010001u, f.setValue(0, JVariant(5)));
    EXPECT_EQ(0x80010001u, f.setValue(0, JVariant(5u)));
    EXPECT_EQ(0x10000u, f.setValue(0, JVariant(5.0f)));
    EXPECT_EQ(0x10000u, f.setPrimitiveValue(1, -0.5f));
    EXPECT_FLOAT_EQ(5.0f, f.toFloat(0));
    EXPECT_FLOAT_EQ(-0.5f, f.toFloat(1));
    bool ok = true;
    EXPECT_EQ(0, f.toInt32(0, &ok)); // a Float does not convert to Int32
    EXPECT_FALSE(ok);
}

TEST(JVariantArrayTest, StringSlotsAreCutOrZeroPadded)
{
    JVariantArray a(2, 4, 2);
    EXPECT_EQ(0x10000u, a.setValue(0, text("ab")));
    JVariant v;
    ASSERT_EQ(0x10000u, a.getValue(&v, 0));
    EXPECT_STREQ("ab", v.toString());

    EXPECT_EQ(0x10000u, a.setValue(1, text("abcdef")));
    ASSERT_EQ(0x10000u, a.getValue(&v, 1));
    EXPECT_STREQ("abcd", v.toString());
    EXPECT_EQ(5u, v.getStringLength());

    EXPECT_EQ(0x80010001u, a.setValue(0, JVariant(1)));
    EXPECT_EQ(0x80010001u, a.setString(0, "abcde", 5));

    // Wrapping caller memory shows the raw slots.
    unsigned char memory[8];
    std::memset(memory, 0xEE, sizeof(memory));
    JVariantArray w(memory, 2, 4, 2);
    ASSERT_EQ(0x10000u, w.setValue(0, text("ab")));
    ASSERT_EQ(0x10000u, w.setValue(1, text("abcdef")));
    EXPECT_EQ((std::vector<unsigned char>{'a', 'b', 0, 0, 'a', 'b', 'c', 'd'}), bytesOf(memory, 8));

    struct Case { const char* name; const char* text; uint32_t length; std::vector<unsigned char> slot; };
    const Case cases[] = {
        {"cut by length", "xyz", 2, {'x', 'y', 0, 0}},
        {"stops after NUL", "x\0yz", 4, {'x', 0, 0, 0}},
        {"fills slot", "wxyz", 4, {'w', 'x', 'y', 'z'}},
        {"length 0 empties", "q", 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(memory, 0xEE, 4);
        EXPECT_EQ(0u, w.setString(0, c.text, c.length));
        EXPECT_EQ(c.slot, bytesOf(memory, 4));
    }
    EXPECT_EQ((std::vector<unsigned char>{'a', 'b', 'c', 'd'}), bytesOf(memory + 4, 4)); // neighbour untouched
}

TEST(JVariantArrayTest, FullSlotOf1024CharactersReadsAsErrorText)
{
    JVariantArray a(2, 1024, 1);
    std::vector<char> full(1024, 'k');
    EXPECT_EQ(0u, a.setString(0, full.data(), 1024));
    JVariant v;
    ASSERT_EQ(0x10000u, a.getValue(&v, 0));
    EXPECT_STREQ("ERROR:", v.toString());
}

TEST(JVariantArrayTest, BinarySlotsAreZeroFilledBehindTheBytes)
{
    unsigned char memory[8];
    std::memset(memory, 0xEE, sizeof(memory));
    JVariantArray w(memory, 4, 4, 2);
    const unsigned char two[2] = {1, 2};
    const unsigned char six[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(0x10000u, w.setValue(0, JVariant(two, 2u)));
    EXPECT_EQ(0x10000u, w.setValue(1, JVariant(six, 6u)));
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 0, 0, 1, 2, 3, 4}), bytesOf(memory, 8));
    EXPECT_EQ(0x80010001u, w.setValue(0, text("ab")));

    JVariant v;
    ASSERT_EQ(0x10000u, w.getValue(&v, 0));
    EXPECT_EQ(4, v.getType());
    EXPECT_EQ(4u, v.getBinaryLength());
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 0, 0}), bytesOf(v.toBinary(), 4));
}

TEST(JVariantArrayTest, RefusesAccessOutsideTheElements)
{
    JVariantArray ints(0, 4, 3);
    JVariantArray texts(2, 4, 3);
    JVariant v(77);
    EXPECT_EQ(0x80010001u, ints.setValue(3, JVariant(1)));
    EXPECT_EQ(0x80010001u, texts.setString(3, "a", 1));
    EXPECT_EQ(0x80010001u, ints.getValue(&v, 3));
    EXPECT_EQ(0x80010001u, ints.getValue(nullptr, 0));
    EXPECT_EQ(77, v.toInt32());
    bool ok = true;
    EXPECT_EQ(0, ints.toInt32(3, &ok));
    EXPECT_FALSE(ok);
    EXPECT_EQ(0x80010001u, ints.setString(0, "a", 1)); // not a String array

    JVariantArray invalid(5, 4, 3);
    EXPECT_EQ(0x80010001u, invalid.setValue(0, JVariant(1)));
    EXPECT_EQ(0x80010001u, invalid.getValue(&v, 0));
}

TEST(JVariantArrayTest, WrappingRefusesNullMemoryAndEmptyCountButNotLargeCounts)
{
    std::vector<int32_t> memory(3000);
    JVariantArray large(memory.data(), 0, 4, 3000);
    EXPECT_EQ(0, large.getType());
    EXPECT_EQ(3000u, large.getLength());
    ASSERT_EQ(0x10000u, large.setValue(2999, JVariant(42)));
    EXPECT_EQ(42, memory[2999]);

    EXPECT_EQ(5, JVariantArray(nullptr, 0, 4, 3).getType());
    EXPECT_EQ(5, JVariantArray(memory.data(), 0, 4, 0).getType());
}

TEST(JVariantArrayTest, CopiesOwnIndependentMemory)
{
    JVariantArray source(0, 4, 3);
    ASSERT_EQ(0x10000u, source.setValue(0, JVariant(1)));
    JVariantArray copy(source);
    ASSERT_EQ(0, copy.getType());
    ASSERT_EQ(0x10000u, copy.setValue(0, JVariant(2)));
    EXPECT_EQ(1, source.toInt32(0));
    EXPECT_EQ(2, copy.toInt32(0));

    // Copying caller memory makes an owned block: later writes to the caller's memory don't show.
    int32_t memory[2] = {5, 6};
    JVariantArray wrapped(memory, 0, 4, 2);
    JVariantArray assigned(3, 4, 1);
    assigned = wrapped;
    memory[0] = 9;
    EXPECT_EQ(0, assigned.getType());
    EXPECT_EQ(2u, assigned.getLength());
    EXPECT_EQ(5, assigned.toInt32(0));

    assigned = assigned;
    EXPECT_EQ(5, assigned.toInt32(0));
    EXPECT_EQ(6, assigned.toInt32(1));

    JVariantArray fromInvalid(JVariantArray(5, 4, 1));
    EXPECT_EQ(5, fromInvalid.getType());
}

TEST(JVariantArrayTest, CopyOfMoreThan2048ElementsIsRefusedNotFatal)
{
    std::vector<uint8_t> memory(3000, 1);
    JVariantArray large(memory.data(), 1, 1, 3000);
    JVariantArray copy(large);
    EXPECT_EQ(5, copy.getType());
    EXPECT_EQ(0u, copy.getLength());
    JVariantArray target(1, 1, 4);
    target = large;
    EXPECT_EQ(5, target.getType());
    JVariant v;
    EXPECT_EQ(0x80010001u, target.getValue(&v, 0));
}

TEST(JVariantArrayTest, ElementOffsetsAndOwnedTotalsDoNotOverflow32Bits)
{
    // 2048 Binary slots of 0x80000001 bytes: the 64-bit total is far beyond one heap block.
    EXPECT_EQ(5, JVariantArray(4, 0x80000001u, 2048).getType());
    EXPECT_EQ(5, JVariantArray(4, 0x2000u, 2048).getType()); // one byte over the block limit
    EXPECT_EQ(4, JVariantArray(4, 0x1FFFu, 2048).getType());

    // Wrapped slot 0x10000 of 0x10000 bytes starts at 4 GiB: a 32-bit offset would hit slot 0.
    const size_t bytes = size_t{0x10001} * 0x10000;
    void* raw = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (raw == MAP_FAILED) GTEST_SKIP() << "no address space for 4 GiB";
    auto* memory = static_cast<unsigned char*>(raw);
    JVariantArray w(memory, 4, 0x10000u, 0x10001u);
    ASSERT_EQ(4, w.getType());
    const unsigned char b[1] = {9};
    ASSERT_EQ(0x10000u, w.setValue(0x10000u, JVariant(b, 1u)));
    EXPECT_EQ(0, memory[0]);
    EXPECT_EQ(9, memory[size_t{0x10000} * 0x10000]);
    munmap(raw, bytes);
}

TEST(JVariantArrayTest, MovedFromArrayHoldsNoMemory)
{
    JVariantArray a(0, 4, 2);
    ASSERT_EQ(0x10000u, a.setValue(1, JVariant(8)));
    JVariantArray b(std::move(a));
    EXPECT_EQ(8, b.toInt32(1));
    EXPECT_EQ(0, a.getType()); // keeps type, size and count
    EXPECT_EQ(2u, a.getLength());
    EXPECT_EQ(0x80010001u, a.setValue(0, JVariant(1)));

    JVariantArray c(1, 1, 1);
    c = std::move(b);
    EXPECT_EQ(8, c.toInt32(1));
    a = c; // a moved-from array may be assigned to
    EXPECT_EQ(8, a.toInt32(1));
}

TEST(JVariantArrayTest, OwningCountOutsideRangeIsABrokenInvariant)
{
    EXPECT_DEATH({ JVariantArray a(0, 4, 0); }, "");
    EXPECT_DEATH({ JVariantArray a(0, 4, 2049); }, "");
}
