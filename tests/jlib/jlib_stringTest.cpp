#include "jlib/jlib_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// A heap copy without its terminator, so ASan sees any read past the given characters.
std::unique_ptr<char[]> unterminated(const char* text)
{
    const size_t n = std::strlen(text);
    std::unique_ptr<char[]> copy(new char[n]);
    std::memcpy(copy.get(), text, n);
    return copy;
}

}  // namespace

TEST(jlib_stringTest, StrnlenLooksUpToTheBoundAndStrnlenSBelowIt)
{
    struct Case { const char* text; uint32_t bound; bool sized; uint32_t result; uint32_t length; };
    const Case cases[] = {
        {"abc", 3, false, 0u, 3},
        {"abc", 2, false, 0x80000004u, 2},
        {"abc", 0, false, 0x80000004u, 0},
        {"", 0, false, 0u, 0},
        {"abc", 3, true, 0x80000004u, 3},
        {"abc", 4, true, 0u, 3},
        {"", 0, true, 0x80000004u, 0},
        {nullptr, 5, false, 0x80000003u, 0},
        {nullptr, 5, true, 0x80000003u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.text ? c.text : "(null)") << " bound " << c.bound << (c.sized ? " _s" : ""));
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(c.result, c.sized ? jlib_strnlen_s(c.text, c.bound, &length) : jlib_strnlen(c.text, c.bound, &length));
        EXPECT_EQ(c.length, length);
    }
    EXPECT_EQ(0x80000003u, jlib_strnlen("abc", 3, nullptr));
    EXPECT_EQ(0x80000003u, jlib_strnlen_s("abc", 3, nullptr));

    // The sized form reads nothing past its size.
    const auto raw = unterminated("abcd");
    uint32_t length = 0;
    EXPECT_EQ(0x80000004u, jlib_strnlen_s(raw.get(), 4, &length));
    EXPECT_EQ(4u, length);

    EXPECT_EQ(3u, jlib_strlen("abc", 10));
    EXPECT_EQ(2u, jlib_strlen("abc", 2));
    EXPECT_EQ(0u, jlib_strlen(nullptr, 10));
    EXPECT_EQ(4u, jlib_strlen(raw.get(), 4));
}

TEST(jlib_stringTest, StrncmpComparesSignedCharactersWithinTheBound)
{
    struct Case { const char* a; const char* b; uint32_t bound; uint32_t result; };
    const Case cases[] = {
        {"abc", "abd", 2, 0u},
        {"abc", "abd", 3, 2u},
        {"b", "a", 5, 1u},
        {"abc", "abc", 100, 0u},     // stops after the common NUL
        {"ab", "abc", 5, 2u},
        {"\x80", "a", 1, 2u},        // above 0x7F is negative, so smaller
        {"abc", "abd", 0, 0x80000003u},
        {nullptr, "a", 1, 0x80000003u},
        {"a", nullptr, 1, 0x80000003u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.a ? c.a : "(null)") << " vs " << (c.b ? c.b : "(null)") << " bound " << c.bound);
        EXPECT_EQ(c.result, jlib_strncmp(c.a, c.b, c.bound));
    }
}

TEST(jlib_stringTest, StrcpyTerminatesWithinTheSizeAndReportsACut)
{
    struct Case { const char* source; uint32_t size; uint32_t result; const char* copied; };
    const Case cases[] = {
        {"hello", 4, 0x80000005u, "hel"},
        {"hello", 5, 0x80000005u, "hell"},
        {"hello", 6, 0u, "hello"},
        {"hello", 1, 0x80000005u, ""},
        {"", 1, 0u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << " size " << c.size);
        for (auto fn : {&jlib_strcpy, &jlib_strcpy_s}) {
            std::unique_ptr<char[]> destination(new char[c.size]);
            std::memset(destination.get(), 'Z', c.size);
            EXPECT_EQ(c.result, fn(destination.get(), c.size, c.source));
            EXPECT_STREQ(c.copied, destination.get());
        }
    }
    char buffer[4] = {'Z', 'Z', 'Z', 'Z'};
    EXPECT_EQ(0x80000003u, jlib_strcpy(buffer, 0, "a"));
    EXPECT_EQ('Z', buffer[0]);
    EXPECT_EQ(0x80000003u, jlib_strcpy(nullptr, 4, "a"));
    EXPECT_EQ(0x80000003u, jlib_strcpy_s(buffer, 4, nullptr));
}

TEST(jlib_stringTest, StrncpyWritesTheTerminatorAfterTheBound)
{
    struct Case { const char* source; uint32_t bound; uint32_t result; const char* copied; };
    const Case cases[] = {
        {"hello", 5, 5u, "hello"},  // ends exactly at the bound
        {"hello", 9, 0u, "hello"},
        {"hello", 2, 5u, "he"},
        {"", 3, 0u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << " bound " << c.bound);
        std::unique_ptr<char[]> destination(new char[c.bound + 1]);
        std::memset(destination.get(), 'Z', c.bound + 1);
        EXPECT_EQ(c.result, jlib_strncpy(destination.get(), c.source, c.bound));
        EXPECT_STREQ(c.copied, destination.get());
    }
    // The source is read no further than the bound.
    const auto raw = unterminated("abc");
    char out[4];
    EXPECT_EQ(5u, jlib_strncpy(out, raw.get(), 3));
    EXPECT_STREQ("abc", out);

    char buffer[2] = {'Z', 'Z'};
    EXPECT_EQ(0x80000003u, jlib_strncpy(buffer, "a", 0));
    EXPECT_EQ('Z', buffer[0]);
    EXPECT_EQ(0x80000003u, jlib_strncpy(nullptr, "a", 1));
    EXPECT_EQ(0x80000003u, jlib_strncpy(buffer, nullptr, 1));
}

TEST(jlib_stringTest, StrnchrLooksAtPositionsUpToTheBound)
{
    const char* text = "abcd";
    struct Case { char character; uint32_t bound; uint32_t result; int position; };
    const Case cases[] = {
        {'d', 3, 0u, 3},
        {'d', 2, 0x80000004u, -1},
        {'a', 1, 0u, 0},
        {'\0', 10, 0u, 4},           // the terminator itself
        {'z', 10, 0x80000004u, -1},  // stops at the NUL
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.character << "' bound " << c.bound);
        const char* found = text + 99;  // poison
        EXPECT_EQ(c.result, jlib_strnchr(text, c.character, c.bound, &found));
        if (c.position < 0) {
            EXPECT_EQ(nullptr, found);
        } else {
            EXPECT_EQ(text + c.position, found);
        }
    }
    const char* found = text;
    EXPECT_EQ(0x80000003u, jlib_strnchr(text, 'a', 0, &found));
    EXPECT_EQ(nullptr, found);
    found = text;
    EXPECT_EQ(0x80000003u, jlib_strnchr(nullptr, 'a', 3, &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(0x80000003u, jlib_strnchr(text, 'a', 3, nullptr));
}
