#include "jlib/jlib_crc32.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(jlib_crc32Test, MatchesPublishedValues)
{
    struct Case { const char* text; uint32_t crc; };
    const Case cases[] = {
        {"123456789", 0xCBF43926u},  // the check value of the IEEE 802.3 CRC
        {"a", 0xE8B7BE43u},
        {"abc", 0x352441C2u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.crc, jlib_getCRC32(c.text, std::strlen(c.text)));
    }
}

TEST(jlib_crc32Test, UpdateChainsPiecesAndIgnoresEmptyInput)
{
    const uint32_t ab = jlib_getCRC32("ab", 2);
    EXPECT_EQ(jlib_getCRC32("abc", 3), jlib_updateCRC32(ab, "c", 1));
    EXPECT_EQ(ab, jlib_updateCRC32(ab, "c", 0));
    EXPECT_EQ(ab, jlib_updateCRC32(ab, nullptr, 5));
    EXPECT_EQ(0u, jlib_getCRC32(nullptr, 9));
    EXPECT_EQ(0u, jlib_getCRC32("x", 0));

    // Every split point of a longer text gives the same CRC as the whole.
    unsigned char data[300];
    for (unsigned i = 0; i < sizeof data; ++i) data[i] = static_cast<unsigned char>(i * 7 + 3);
    const uint32_t whole = jlib_getCRC32(data, sizeof data);
    for (size_t split = 0; split <= sizeof data; ++split) {
        SCOPED_TRACE(split);
        EXPECT_EQ(whole, jlib_updateCRC32(jlib_getCRC32(data, split), data + split, sizeof data - split));
    }
}
