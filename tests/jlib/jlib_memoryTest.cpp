#include "jlib/jlib_memory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(jlib_memoryTest, MemsetFillsAndRefusesNullOrEmpty)
{
    unsigned char buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(0u, jlib_memset(buffer, 0x1AB, 3));  // the low 8 bits
    const unsigned char expected[] = {0xAB, 0xAB, 0xAB, 4};
    EXPECT_EQ(0, std::memcmp(expected, buffer, 4));
    EXPECT_EQ(0x80000003u, jlib_memset(buffer, 0, 0));
    EXPECT_EQ(0x80000003u, jlib_memset(nullptr, 0, 4));
    EXPECT_EQ(0xAB, buffer[0]);
}

TEST(jlib_memoryTest, MemsetlongNeedsAlignedWholeWords)
{
    alignas(4) unsigned char buffer[12];
    struct Case { const char* name; size_t offset; uint32_t size; uint32_t result; };
    const Case cases[] = {
        {"two words", 0, 8, 0u},
        {"size 6", 0, 6, 0x80000003u},
        {"size 0", 0, 0, 0x80000003u},
        {"unaligned", 1, 8, 0x80000003u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(buffer, 0x5A, sizeof buffer);
        EXPECT_EQ(c.result, jlib_memsetlong(buffer + c.offset, 0x01020304u, c.size));
        if (c.result == 0) {
            uint32_t words[2];
            std::memcpy(words, buffer, 8);
            EXPECT_EQ(0x01020304u, words[0]);
            EXPECT_EQ(0x01020304u, words[1]);
            EXPECT_EQ(0x5A, buffer[8]);
        } else {
            for (unsigned char b : buffer) EXPECT_EQ(0x5A, b);  // nothing written
        }
    }
    EXPECT_EQ(0x80000003u, jlib_memsetlong(nullptr, 0, 4));
}

TEST(jlib_memoryTest, MemcpyAndMemcmpCheckPointersEvenForSizeZero)
{
    for (auto copy : {&jlib_memcpy, &jlib_memncpy}) {
        char to[4] = {'Z', 'Z', 'Z', 'Z'};
        EXPECT_EQ(0u, copy(to, "abc", 3));
        EXPECT_EQ(0, std::memcmp(to, "abcZ", 4));
        EXPECT_EQ(0u, copy(to, "xyz", 0));
        EXPECT_EQ('a', to[0]);
        EXPECT_EQ(0x80000003u, copy(nullptr, "abc", 3));
        EXPECT_EQ(0x80000003u, copy(to, nullptr, 3));
    }

    struct Case { const char* a; const char* b; uint32_t size; uint32_t result; };
    const Case cases[] = {
        {"abc", "abd", 2, 0u},
        {"abc", "abd", 3, 2u},
        {"\x90", "\x10", 1, 1u},  // unsigned bytes: 0x90 is greater
        {"a\0b", "a\0c", 3, 2u},  // NULs do not stop the comparison
        {"x", "y", 0, 0u},
        {nullptr, "a", 0, 0x80000003u},
        {"a", nullptr, 1, 0x80000003u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " expect " << c.result);
        EXPECT_EQ(c.result, jlib_memcmp(c.a, c.b, c.size));
        EXPECT_EQ(c.result, jlib_memncmp(c.a, c.b, c.size));
    }
}
