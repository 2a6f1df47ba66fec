#include "jlib/JVariant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace {

constexpr uint32_t kOk = 0x10000u;
constexpr uint32_t kRefused = 0x80010001u;
constexpr uint32_t kNoHeap = 0x80010002u;

JVariant makeString(const char* text)
{
    return JVariant(text, 1023u);
}

JVariant makeBinary(const std::string& bytes)
{
    return JVariant(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned int>(bytes.size()));
}

}  // namespace

TEST(JVariantTest, DefaultValueIsInvalidAndEveryConversionFails)
{
    const JVariant v;
    EXPECT_EQ(5, v.getType());
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(0u, v.size());
    bool ok = true;
    EXPECT_EQ(0, v.toInt32(&ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(0u, v.toUInt32(&ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(0.0f, v.toFloat(&ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(0.0, v.toDouble(&ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(nullptr, v.toString(&ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(0u, v.getStringLength(&ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(nullptr, v.toBinary(&ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(0u, v.getBinaryLength(&ok));
    EXPECT_FALSE(ok);
    EXPECT_EQ(0, v.toInt32());  // the flag is optional
}

TEST(JVariantTest, ConstructsAndAssignsEveryIntegerWidth)
{
    struct Case { const char* name; JVariant value; int type; uint32_t bits; };
    const Case cases[] = {
        {"int", JVariant(-7), 0, 0xFFFFFFF9u},
        {"long low bits", JVariant(static_cast<long>((1LL << 32) + 5)), 0, 5u},
        {"long negative", JVariant(-1L), 0, 0xFFFFFFFFu},
        {"short", JVariant(static_cast<short>(-2)), 0, 0xFFFFFFFEu},
        {"signed char", JVariant(static_cast<signed char>(-128)), 0, 0xFFFFFF80u},
        {"unsigned int", JVariant(0xFFFFFFFFu), 1, 0xFFFFFFFFu},
        {"unsigned long low bits", JVariant((1UL << 32) + 9UL), 1, 9u},
        {"unsigned short", JVariant(static_cast<unsigned short>(0xFFFF)), 1, 0xFFFFu},
        {"unsigned char", JVariant(static_cast<unsigned char>(200)), 1, 200u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.type, c.value.getType());
        EXPECT_EQ(c.bits, c.value.toUInt32());
        EXPECT_EQ(4u, c.value.size());
        // Assignment over a String releases the text and lands on the same type and bits.
        JVariant assigned = makeString("text");
        assigned = c.value;
        EXPECT_EQ(c.type, assigned.getType());
        EXPECT_EQ(c.bits, assigned.toUInt32());
    }

    JVariant v = makeString("held");
    v = static_cast<short>(-3);
    EXPECT_EQ(0, v.getType());
    EXPECT_EQ(-3, v.toInt32());
    v = static_cast<unsigned char>(255);
    EXPECT_EQ(1, v.getType());
    EXPECT_EQ(255u, v.toUInt32());
    v = (1L << 40) - 1;
    EXPECT_EQ(0, v.getType());
    EXPECT_EQ(-1, v.toInt32());
    v = 2.5f;
    EXPECT_EQ(3, v.getType());
    EXPECT_EQ(2.5f, v.toFloat());
    EXPECT_EQ(nullptr, v.toString());
}

TEST(JVariantTest, SetStringBoundsTheTextAndStoresErrorForLongTexts)
{
    const std::string t1023(1023, 'a');
    const std::string t1024(1024, 'b');
    struct Case { const char* name; const char* text; unsigned int maxLength; uint32_t result; std::string stored; };
    const Case cases[] = {
        {"whole", "abcdef", 10, kOk, "abcdef"},
        {"cut at maximum", "abcdef", 3, kOk, "abc"},
        {"maximum 0", "abcdef", 0, kOk, ""},
        {"null text", nullptr, 10, kOk, ""},
        {"1023 characters", t1023.c_str(), 5000, kOk, t1023},
        {"1024 cut to 1023", t1024.c_str(), 1023, kOk, std::string(1023, 'b')},
        {"1024 characters", t1024.c_str(), 1024, kRefused, "ERROR:"},
        {"1024 under a large maximum", t1024.c_str(), 0xFFFFFFFFu, kRefused, "ERROR:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JVariant v(12);
        EXPECT_EQ(c.result, v.setString(c.text, c.maxLength));
        EXPECT_EQ(2, v.getType());
        bool ok = false;
        ASSERT_NE(nullptr, v.toString(&ok));
        EXPECT_TRUE(ok);
        EXPECT_EQ(c.stored, v.toString());
        EXPECT_EQ(c.stored.size() + 1, v.getStringLength());
        EXPECT_EQ(c.stored.size() + 1, v.size());
        // The constructor stores the same.
        const JVariant constructed(c.text, c.maxLength);
        EXPECT_EQ(c.stored, constructed.toString());
    }
}

TEST(JVariantTest, SetStringReadsNoCharacterBeyondTheMaximum)
{
    // An unterminated buffer of exactly the maximum length: nothing past it may be touched.
    char* buffer = new char[4];
    std::memcpy(buffer, "wxyz", 4);
    JVariant v;
    EXPECT_EQ(kOk, v.setString(buffer, 4));
    EXPECT_STREQ("wxyz", v.toString());
    delete[] buffer;
}

TEST(JVariantTest, SetBinaryStoresALengthWordAndRefusesBadBytes)
{
    const unsigned char bytes[] = {0xAA, 0x00, 0x55};
    JVariant v;
    EXPECT_EQ(kOk, v.setBinary(bytes, 3));
    EXPECT_EQ(4, v.getType());
    EXPECT_EQ(3u, v.size());
    bool ok = false;
    EXPECT_EQ(3u, v.getBinaryLength(&ok));
    EXPECT_TRUE(ok);
    const unsigned char* stored = v.toBinary();
    ASSERT_NE(nullptr, stored);
    EXPECT_NE(bytes, stored);
    EXPECT_EQ(0, std::memcmp(stored, bytes, 3));
    const unsigned char lengthWord[] = {0x00, 0x00, 0x00, 0x03};
    EXPECT_EQ(0, std::memcmp(stored - 4, lengthWord, 4));

    struct Case { const char* name; const unsigned char* bytes; unsigned int length; uint32_t result; };
    const Case refused[] = {
        {"length 0", bytes, 0, kRefused},
        {"null bytes", nullptr, 5, kRefused},
        {"length above 0xFFFFFFFB", bytes, 0xFFFFFFFCu, kRefused},
        {"beyond the largest block", bytes, 0x01000000u, kNoHeap},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        JVariant held(42);
        EXPECT_EQ(c.result, held.setBinary(c.bytes, c.length));
        EXPECT_FALSE(held.isValid());
        EXPECT_EQ(0u, held.size());
        const JVariant constructed(c.bytes, c.length);
        EXPECT_FALSE(constructed.isValid());
    }
}

TEST(JVariantTest, ConversionsApplyOnlyToTheirTypes)
{
    const JVariant i32(-1);
    const JVariant u32(7u);
    const JVariant f(2.5f);
    const JVariant s = makeString("9");
    const JVariant b = makeBinary("xy");
    struct Case { const char* name; const JVariant* v; bool integer; bool number; bool string; bool binary; };
    const Case cases[] = {
        {"Int32", &i32, true, true, false, false},
        {"UInt32", &u32, true, true, false, false},
        {"Float", &f, false, true, false, false},
        {"String", &s, false, false, true, false},
        {"Binary", &b, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = !c.integer;
        (void)c.v->toInt32(&ok);
        EXPECT_EQ(c.integer, ok);
        ok = !c.integer;
        (void)c.v->toUInt32(&ok);
        EXPECT_EQ(c.integer, ok);
        ok = !c.number;
        (void)c.v->toFloat(&ok);
        EXPECT_EQ(c.number, ok);
        ok = !c.number;
        (void)c.v->toDouble(&ok);
        EXPECT_EQ(c.number, ok);
        ok = !c.string;
        EXPECT_EQ(c.string, c.v->toString(&ok) != nullptr);
        EXPECT_EQ(c.string, ok);
        ok = !c.binary;
        EXPECT_EQ(c.binary, c.v->toBinary(&ok) != nullptr);
        EXPECT_EQ(c.binary, ok);
    }
    EXPECT_EQ(0xFFFFFFFFu, i32.toUInt32());
    EXPECT_EQ(-1.0f, i32.toFloat());
    EXPECT_EQ(4294967295.0, JVariant(0xFFFFFFFFu).toDouble());  // unsigned view
    EXPECT_EQ(0, f.toInt32());                                   // a Float never converts to an integer
    EXPECT_EQ(2.5, f.toDouble());
}

TEST(JVariantTest, ComparisonFollowsTheLeftOperandsType)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case { const char* name; JVariant left; JVariant right; bool eq; bool lt; };
    const Case cases[] = {
        {"Int32 -1 vs UInt32 max", JVariant(-1), JVariant(0xFFFFFFFFu), true, false},
        {"Int32 -1 < UInt32 0 signed", JVariant(-1), JVariant(0u), false, true},
        {"UInt32 0 < Int32 -1 unsigned", JVariant(0u), JVariant(-1), false, true},
        {"Int32 5 vs Float 5", JVariant(5), JVariant(5.0f), false, false},
        {"Float 5 vs Int32 5", JVariant(5.0f), JVariant(5), true, false},
        {"Float 4.5 vs UInt32 5", JVariant(4.5f), JVariant(5u), false, true},
        {"Float NaN vs NaN", JVariant(nan), JVariant(nan), false, false},
        {"Float 0 vs -0", JVariant(0.0f), JVariant(-0.0f), true, false},
        {"Int32 5 vs String", JVariant(5), makeString("x"), false, false},
        {"invalid vs invalid", JVariant(), JVariant(), false, false},
        {"String equal", makeString("abc"), makeString("abc"), true, false},
        {"String empty", makeString(""), makeString(""), true, false},
        {"String same length", makeString("abc"), makeString("abd"), false, false},
        {"String shorter first", makeString("de"), makeString("abc"), false, true},
        {"String longer", makeString("abc"), makeString("de"), false, false},
        {"String vs Int32", makeString("5"), JVariant(5), false, false},
        {"Binary equal", makeBinary(std::string("a\0b", 3)), makeBinary(std::string("a\0b", 3)), true, false},
        {"Binary differs", makeBinary("ab"), makeBinary("ac"), false, false},
        {"Binary shorter first", makeBinary("zz"), makeBinary("abc"), false, true},
        {"Binary vs String", makeBinary("ab"), makeString("a"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.eq, c.left == c.right);
        EXPECT_EQ(!c.eq, c.left != c.right);
        EXPECT_EQ(c.lt, c.left < c.right);
        EXPECT_EQ(c.lt || c.eq, c.left <= c.right);
        EXPECT_EQ(!(c.lt || c.eq), c.left > c.right);
        EXPECT_EQ(!c.lt, c.left >= c.right);
    }
}

TEST(JVariantTest, AdditionKeepsTheLeftTypeAndWraps)
{
    struct Case { const char* name; JVariant result; int type; uint32_t bits; float f; };
    const Case cases[] = {
        {"Int32 max + 1", JVariant(0x7FFFFFFF) + JVariant(1), 0, 0x80000000u, 0},
        {"Int32 min - 1", JVariant(std::numeric_limits<int>::min()) - JVariant(1), 0, 0x7FFFFFFFu, 0},
        {"Int32 - UInt32", JVariant(3) - JVariant(5u), 0, 0xFFFFFFFEu, 0},
        {"UInt32 0 - 1", JVariant(0u) - JVariant(1u), 1, 0xFFFFFFFFu, 0},
        {"UInt32 + Int32 -1", JVariant(5u) + JVariant(-1), 1, 4u, 0},
        {"Int32 + Float counts 0", JVariant(5) + JVariant(2.5f), 0, 5u, 0},
        {"Int32 + String counts 0", JVariant(5) - makeString("x"), 0, 5u, 0},
        {"Float + Int32", JVariant(2.5f) + JVariant(5), 3, 0, 7.5f},
        {"Float - UInt32", JVariant(2.5f) - JVariant(5u), 3, 0, -2.5f},
        {"Float + invalid", JVariant(2.5f) + JVariant(), 3, 0, 2.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.type, c.result.getType());
        if (c.type == 3) {
            EXPECT_EQ(c.f, c.result.toFloat());
        } else {
            EXPECT_EQ(c.bits, c.result.toUInt32());
        }
    }
    EXPECT_FALSE((makeString("a") + JVariant(1)).isValid());
    EXPECT_FALSE((makeBinary("a") - JVariant(1)).isValid());
    EXPECT_FALSE((JVariant() + JVariant(1)).isValid());
}

TEST(JVariantTest, CopiesAreDeepAndSelfAssignmentKeepsTheValue)
{
    JVariant source = makeString("hello");
    JVariant copy(source);
    ASSERT_NE(source.toString(), copy.toString());
    EXPECT_STREQ("hello", copy.toString());
    EXPECT_EQ(kOk, source.setString("other", 10));
    EXPECT_STREQ("hello", copy.toString());

    JVariant error;
    EXPECT_EQ(kRefused, error.setString(std::string(2000, 'z').c_str(), 2000));
    JVariant errorCopy;
    errorCopy = error;
    EXPECT_STREQ("ERROR:", errorCopy.toString());

    const JVariant binary = makeBinary(std::string("\x01\x02\x03", 3));
    JVariant assigned(9);
    assigned = binary;
    EXPECT_EQ(binary, assigned);
    EXPECT_NE(binary.toBinary(), assigned.toBinary());
    const JVariant binaryCopy(binary);
    EXPECT_EQ(binary, binaryCopy);

    JVariant invalidSource;
    assigned = invalidSource;
    EXPECT_FALSE(assigned.isValid());

    struct Case { const char* name; JVariant value; };
    Case cases[] = {{"Int32", JVariant(3)}, {"Float", JVariant(1.5f)}, {"String", makeString("self")},
                    {"Binary", makeBinary("self")}, {"invalid", JVariant()}};
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JVariant before(c.value);
        const JVariant& alias = c.value;
        c.value = alias;
        EXPECT_EQ(before.getType(), c.value.getType());
        EXPECT_EQ(before.size(), c.value.size());
        if (before.isValid()) {
            EXPECT_EQ(before, c.value);
        }
    }
}

TEST(JVariantTest, MoveTakesTheBlockAndLeavesTheSourceEmpty)
{
    JVariant source = makeString("moved");
    const char* text = source.toString();
    JVariant target(std::move(source));
    EXPECT_EQ(text, target.toString());
    EXPECT_EQ(2, source.getType());  // keeps its type, holds nothing
    EXPECT_EQ(nullptr, source.toString());
    EXPECT_EQ(0u, source.size());
    EXPECT_FALSE(source == source);  // a String without text equals nothing

    // Copying an emptied String gives an empty String; an emptied Binary copies as invalid.
    JVariant fromEmpty(5);
    fromEmpty = source;
    EXPECT_EQ(2, fromEmpty.getType());
    EXPECT_STREQ("", fromEmpty.toString());

    JVariant binary = makeBinary("abc");
    JVariant movedBinary;
    movedBinary = std::move(binary);
    EXPECT_EQ(3u, movedBinary.size());
    EXPECT_EQ(4, binary.getType());
    EXPECT_EQ(nullptr, binary.toBinary());
    const JVariant fromEmptyBinary(binary);
    EXPECT_FALSE(fromEmptyBinary.isValid());

    // Assigning to the emptied source makes it usable again.
    source = 4;
    EXPECT_EQ(4, source.toInt32());

    JVariant self = makeString("self");
    JVariant& alias = self;
    self = std::move(alias);
    EXPECT_FALSE(self.isValid());
}

TEST(JVariantTest, SettersAcceptTheValuesOwnTextOrBytes)
{
    JVariant v = makeString("abcdef");
    EXPECT_EQ(kOk, v.setString(v.toString(), 3));
    EXPECT_STREQ("abc", v.toString());
    EXPECT_EQ(kOk, v.setString(v.toString() + 1, 10));
    EXPECT_STREQ("bc", v.toString());

    JVariant b = makeBinary("12345");
    EXPECT_EQ(kOk, b.setBinary(b.toBinary() + 2, 3));
    EXPECT_EQ(makeBinary("345"), b);
}

TEST(JVariantTest, InvalidReleasesAndSettersReplaceAnyType)
{
    JVariant v = makeString("text");
    EXPECT_EQ(0u, v.invalid());
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(kOk, v.setFloat(1.0f));
    EXPECT_EQ(3, v.getType());
    EXPECT_EQ(kOk, v.setBinary(reinterpret_cast<const unsigned char*>("q"), 1));
    EXPECT_EQ(kOk, v.setUInt32(8));
    EXPECT_EQ(1, v.getType());
    EXPECT_EQ(nullptr, v.toBinary());
    EXPECT_EQ(kOk, v.setInt32(-8));
    EXPECT_EQ(-8, v.toInt32());
}
