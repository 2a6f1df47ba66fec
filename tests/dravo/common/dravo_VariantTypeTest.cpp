#include "dravo/common/dravo_VariantType.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

namespace {

using DRAVO::VariantType;

// Every reader at once, so one comparison shows a value that leaks into another type's reader.
struct Readings {
    uint32_t u32;
    uint64_t u64;
    int32_t s32;
    int64_t s64;
    float f32;
    double f64;
    const char* text;
    const uint8_t* bytes;
    uint32_t length;
};

Readings read(const VariantType& v)
{
    return {v.toUInt32(), v.toUInt64(),    v.toInt32(),  v.toInt64(),         v.toFloat(),
            v.toDouble(), v.toString(),    v.toBinary(), v.getBinaryLength()};
}

}  // namespace

TEST(VariantTypeTest, EachNumberIsReadOnlyThroughItsOwnType)
{
    struct Case {
        const char* name;
        std::function<uint32_t(VariantType&)> set;
        uint32_t type;
        Readings expected;
    };
    const Case cases[] = {
        {"uint32", [](VariantType& v) { return v.setUInt32(0xFFFFFFFEu); }, 1,
         {0xFFFFFFFEu, 0, 0, 0, 0.0f, 0.0, nullptr, nullptr, 0}},
        {"uint64", [](VariantType& v) { return v.setUInt64(0x123456789ull); }, 2,
         {0, 0x123456789ull, 0, 0, 0.0f, 0.0, nullptr, nullptr, 0}},
        {"int32", [](VariantType& v) { return v.setInt32(-7); }, 3, {0, 0, -7, 0, 0.0f, 0.0, nullptr, nullptr, 0}},
        {"int64", [](VariantType& v) { return v.setInt64(-0x123456789ll); }, 4,
         {0, 0, 0, -0x123456789ll, 0.0f, 0.0, nullptr, nullptr, 0}},
        {"float", [](VariantType& v) { return v.setFloat(-1.5f); }, 5, {0, 0, 0, 0, -1.5f, 0.0, nullptr, nullptr, 0}},
        {"double", [](VariantType& v) { return v.setDouble(2.25); }, 6, {0, 0, 0, 0, 0.0f, 2.25, nullptr, nullptr, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VariantType v(8);
        ASSERT_EQ(0u, v.setString("text"));  // a text before the number must not show through
        EXPECT_EQ(0u, c.set(v));
        EXPECT_EQ(c.type, v.type());
        const Readings got = read(v);
        EXPECT_EQ(c.expected.u32, got.u32);
        EXPECT_EQ(c.expected.u64, got.u64);
        EXPECT_EQ(c.expected.s32, got.s32);
        EXPECT_EQ(c.expected.s64, got.s64);
        EXPECT_EQ(c.expected.f32, got.f32);
        EXPECT_EQ(c.expected.f64, got.f64);
        EXPECT_EQ(nullptr, got.text);
        EXPECT_EQ(nullptr, got.bytes);
        EXPECT_EQ(0u, got.length);

        EXPECT_EQ(0u, v.invalid());
        EXPECT_EQ(0u, v.type());
        EXPECT_EQ(0u, v.toUInt32() | v.toInt32());
    }
}

TEST(VariantTypeTest, TextIsZeroFilledAndCutToTheBufferLessOne)
{
    struct Case {
        uint32_t memory;
        const char* text;
        uint32_t result;
        uint32_t type;
        const char* stored;  // null: toString gives none
    };
    const Case cases[] = {
        {4, "abc", 0, 7, "abc"},
        {4, "", 0, 7, ""},
        {4, "abcd", 0x80000000u, 7, "abc"},  // cut, stored, reported
        {4, "abcdefghij", 0x80000000u, 7, "abc"},
        {1, "a", 0x80000000u, 7, ""},
        {0, "a", 0x80000000u, 0, nullptr},  // no buffer: nothing changes
        {4, nullptr, 0x80000000u, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.memory << " / " << (c.text ? c.text : "(null)"));
        VariantType v(c.memory);
        EXPECT_EQ(c.memory, v.getAllocatedMemorySize());
        EXPECT_EQ(c.result, v.setString(c.text));
        EXPECT_EQ(c.type, v.type());
        EXPECT_EQ(c.memory, v.getAllocatedMemorySize());  // never resized
        if (!c.stored) {
            EXPECT_EQ(nullptr, v.toString());
            continue;
        }
        ASSERT_NE(nullptr, v.toString());
        EXPECT_STREQ(c.stored, v.toString());
        EXPECT_EQ(nullptr, v.toBinary());
        EXPECT_EQ(0u, v.getBinaryLength());
    }
}

TEST(VariantTypeTest, ShorterTextLeavesNoTailOfTheLongerOne)
{
    VariantType v(8);
    ASSERT_EQ(0u, v.setBinary(reinterpret_cast<const uint8_t*>("XXXXXXXX"), 8));
    ASSERT_EQ(0u, v.setString("ab"));
    const char expected[8] = {'a', 'b', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(expected, v.toString(), sizeof expected));
}

TEST(VariantTypeTest, ByteStringMustFitTheBuffer)
{
    const uint8_t bytes[6] = {1, 0, 2, 0, 3, 0};
    VariantType v(4);
    ASSERT_EQ(0u, v.setUInt32(9));

    EXPECT_EQ(0x80000000u, v.setBinary(bytes, 5));
    EXPECT_EQ(0x80000000u, v.setBinary(nullptr, 2));
    EXPECT_EQ(1u, v.type());  // refusals change nothing
    EXPECT_EQ(9u, v.toUInt32());

    ASSERT_EQ(0u, v.setBinary(bytes, 4));
    EXPECT_EQ(8u, v.type());
    EXPECT_EQ(4u, v.getBinaryLength());
    ASSERT_NE(nullptr, v.toBinary());
    EXPECT_EQ(0, std::memcmp(bytes, v.toBinary(), 4));
    EXPECT_EQ(nullptr, v.toString());
    EXPECT_EQ(0u, v.toUInt32());
}

TEST(VariantTypeTest, MoveTakesTheBufferAndLeavesTheSourceEmpty)
{
    VariantType source(6);
    ASSERT_EQ(0u, source.setString("hello"));

    VariantType moved(std::move(source));
    EXPECT_EQ(7u, moved.type());
    EXPECT_STREQ("hello", moved.toString());
    EXPECT_EQ(6u, moved.getAllocatedMemorySize());
    EXPECT_EQ(0u, source.type());  // NOLINT(bugprone-use-after-move): the moved-from state is specified
    EXPECT_EQ(0u, source.getAllocatedMemorySize());
    EXPECT_EQ(0x80000000u, source.setString("x"));  // no buffer any more

    VariantType target(3);  // its own buffer is released by the assignment (the leak check sees it)
    ASSERT_EQ(0u, target.setString("ab"));
    const uint8_t bytes[2] = {7, 8};
    VariantType binary(2);
    ASSERT_EQ(0u, binary.setBinary(bytes, 2));
    target = std::move(binary);
    EXPECT_EQ(8u, target.type());
    EXPECT_EQ(2u, target.getBinaryLength());
    EXPECT_EQ(2u, target.getAllocatedMemorySize());
    EXPECT_EQ(8, target.toBinary()[1]);
    EXPECT_EQ(0u, binary.getBinaryLength());

    target = std::move(moved);
    EXPECT_STREQ("hello", target.toString());
}
