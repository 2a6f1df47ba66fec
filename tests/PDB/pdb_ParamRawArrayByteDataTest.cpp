#include "PDB/pdb_ParamRawArrayByteData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> slotBytes(const PDB::IRawArray& storage, uint32_t index)
{
    const auto* p = static_cast<const uint8_t*>(storage.dataPtr(index));
    return std::vector<uint8_t>(p, p + PDB::roundUp4(storage.itemSize()));
}

std::vector<uint8_t> bytes(const std::string& text, size_t size)
{
    std::vector<uint8_t> out(size, 0);
    std::memcpy(out.data(), text.data(), text.size() < size ? text.size() : size);
    return out;
}

}  // namespace

TEST(RawArrayStringTest, VariantWritesCutClearOrFill)
{
    struct Case {
        const char* what;
        uint32_t itemSize;
        JVariant value;
        uint32_t result;
        std::string stored;  // the slot's content, zero-padded to its end
    };
    const Case cases[] = {
        {"fits", 6, JVariant("abc", 100), 0, "abc"},
        {"cut to the item size", 6, JVariant("abcdefgh", 100), 0x40, "abcdef"},
        {"exactly full", 8, JVariant("abcdefgh", 100), 0, "abcdefgh"},
        {"empty String", 6, JVariant("", 100), 0, ""},
        {"not a String", 6, JVariant(42), 0, ""},
        {"invalid", 6, JVariant(), 0, ""},
        {"cut inside a UTF-8 sequence", 4, JVariant("ab\xc3\xa9", 100), 0, "ab\xc3\xa9"},
        {"byte cut of UTF-8", 3, JVariant("ab\xc3\xa9", 100), 0x40, "ab\xc3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PDB::RawArrayString texts(3, c.itemSize);
        ASSERT_EQ(0u, texts.setString(1, "zzzzzzzzzz"));  // old content must not survive
        EXPECT_EQ(c.result, texts.setVariant(1, c.value));
        EXPECT_EQ(bytes(c.stored, PDB::roundUp4(c.itemSize)), slotBytes(texts, 1));
        EXPECT_EQ(bytes("", PDB::roundUp4(c.itemSize)), slotBytes(texts, 0));
        EXPECT_EQ(bytes("", PDB::roundUp4(c.itemSize)), slotBytes(texts, 2));
        JVariant out(5);
        EXPECT_EQ(0u, texts.getVariant(out, 1));
        ASSERT_EQ(JVariant::kTypeString, out.getType());
        EXPECT_EQ(c.stored, out.toString());
    }
}

TEST(RawArrayStringTest, FullSlotReadsBackWholeWhateverFollows)
{
    PDB::RawArrayString texts(2, 8);
    EXPECT_EQ(0u, texts.setString(0, "12345678"));
    EXPECT_EQ(0u, texts.setString(1, "ABCDEFGH"));
    JVariant out;
    EXPECT_EQ(0u, texts.getVariant(out, 0));
    EXPECT_STREQ("12345678", out.toString());
    char buffer[9];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(0u, texts.getString(0, buffer, 9));
    EXPECT_STREQ("12345678", buffer);

    char small[8];
    std::memset(small, 'x', sizeof(small));
    EXPECT_EQ(0x80000001u, texts.getString(0, small, 8));
    EXPECT_EQ('x', small[0]);
    EXPECT_EQ(0x80000001u, texts.getString(0, nullptr, 9));

    EXPECT_EQ(0u, texts.setString(0, "toolongtext"));  // cut silently
    EXPECT_EQ(0u, texts.getString(0, buffer, 9));
    EXPECT_STREQ("toolongt", buffer);
    EXPECT_EQ(0u, texts.setString(0, "ab"));
    EXPECT_EQ(0u, texts.getString(0, buffer, 9));
    EXPECT_STREQ("ab", buffer);
    EXPECT_EQ(bytes("ab", 8), slotBytes(texts, 0));
    EXPECT_EQ(0u, texts.setString(0, nullptr));
    EXPECT_EQ(bytes("", 8), slotBytes(texts, 0));
}

TEST(RawArrayStringTest, LongTextsThatCannotBecomeAValueFail)
{
    PDB::RawArrayString texts(1, 2000);
    std::string text(1500, 'q');
    EXPECT_EQ(0u, texts.setString(0, text.c_str()));
    JVariant out(1);
    EXPECT_EQ(0x80040000u, texts.getVariant(out, 0));
    EXPECT_FALSE(out.isValid());
    EXPECT_EQ(0u, texts.setString(0, std::string(1023, 'q').c_str()));
    EXPECT_EQ(0u, texts.getVariant(out, 0));
    EXPECT_EQ(1024u, out.getStringLength());
}

TEST(RawArrayStringTest, TextSlotsOfferNoNumbersOrBytes)
{
    PDB::RawArrayString texts(1, 4);
    ASSERT_EQ(0u, texts.setString(0, "ab"));
    EXPECT_EQ(0x80080000u, texts.setUInt32(0, 1));
    EXPECT_EQ(0x80080000u, texts.setFloat(0, 1.0f));
    EXPECT_EQ(0u, texts.getUInt32(0));
    uint8_t buffer[4] = {1, 1, 1, 1};
    EXPECT_EQ(0x80080000u, texts.getBinary(0, buffer, 4));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(0x80080000u, texts.setBinary(0, buffer, 4));
    EXPECT_EQ(bytes("ab", 4), slotBytes(texts, 0));
}

TEST(RawArrayBinaryTest, BytesAreCutClearedAndReadWhole)
{
    const uint8_t seven[7] = {1, 2, 3, 4, 5, 6, 7};
    struct Case {
        const char* what;
        JVariant value;
        uint32_t result;
        std::vector<uint8_t> slot;
    };
    const Case cases[] = {
        {"shorter", JVariant(seven, 2), 0, {1, 2, 0, 0, 0, 0, 0, 0}},
        {"exact", JVariant(seven, 5), 0, {1, 2, 3, 4, 5, 0, 0, 0}},
        {"cut", JVariant(seven, 7), 0x40, {1, 2, 3, 4, 5, 0, 0, 0}},
        {"not a Binary", JVariant("abc", 10), 0, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PDB::RawArrayBinary blobs(2, 5);
        ASSERT_EQ(0u, blobs.setBinary(0, seven + 2, 5));
        EXPECT_EQ(c.result, blobs.setVariant(0, c.value));
        EXPECT_EQ(c.slot, slotBytes(blobs, 0));
        JVariant out;
        EXPECT_EQ(0u, blobs.getVariant(out, 0));
        ASSERT_EQ(JVariant::kTypeBinary, out.getType());
        ASSERT_EQ(5u, out.getBinaryLength());  // trailing zero bytes included
        EXPECT_EQ(0, std::memcmp(c.slot.data(), out.toBinary(), 5));
    }

    PDB::RawArrayBinary blobs(1, 5);
    EXPECT_EQ(0x40u, blobs.setBinary(0, seven, 7));
    uint8_t buffer[8];
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(0u, blobs.getBinary(0, buffer, 8));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 0, 0, 0}), std::vector<uint8_t>(buffer, buffer + 8));
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(0x80000001u, blobs.getBinary(0, buffer, 4));
    EXPECT_EQ(0xEE, buffer[0]);
    EXPECT_EQ(0u, blobs.setBinary(0, nullptr, 3));
    EXPECT_EQ((std::vector<uint8_t>(8, 0)), slotBytes(blobs, 0));
    EXPECT_EQ(0u, blobs.setBinary(0, seven, 3));
    EXPECT_EQ(0u, blobs.setBinary(0, seven, 0));
    EXPECT_EQ((std::vector<uint8_t>(8, 0)), slotBytes(blobs, 0));
    char text[4] = {'a', 'a', 'a', 'a'};
    EXPECT_EQ(0x80080000u, blobs.getString(0, text, 4));
    EXPECT_EQ(0, text[3]);
    EXPECT_EQ(0x80080000u, blobs.setString(0, "x"));
}

TEST(RawArrayAbstractByteDataTest, RecallBetweenSlotSizesPadsOrCuts)
{
    PDB::RawArrayString narrow(2, 4);
    ASSERT_EQ(0u, narrow.setString(0, "abcd"));
    ASSERT_EQ(0u, narrow.setString(1, "ef"));
    PDB::RawArrayString wide(3, 8);
    for (uint32_t i = 0; i < 3; ++i) ASSERT_EQ(0u, wide.setString(i, "12345678"));

    EXPECT_EQ(0u, wide.recall(narrow));
    EXPECT_EQ(bytes("abcd", 8), slotBytes(wide, 0));
    EXPECT_EQ(bytes("ef", 8), slotBytes(wide, 1));
    EXPECT_EQ(bytes("12345678", 8), slotBytes(wide, 2));  // past the common length

    ASSERT_EQ(0u, wide.setString(0, "ABCDEFGH"));
    EXPECT_EQ(0u, narrow.recall(wide));
    EXPECT_EQ(bytes("ABCD", 4), slotBytes(narrow, 0));
    EXPECT_EQ(bytes("ef", 4), slotBytes(narrow, 1));

    PDB::RawArrayBinary otherKind(2, 4);
    EXPECT_EQ(0x80020000u, narrow.recall(otherKind));
    EXPECT_EQ(0x80000001u, narrow.recall(wide, 2, 1));
    PDB::RawArrayString empty;
    EXPECT_EQ(0x80008000u, empty.recall(wide));
    EXPECT_EQ(0x80000001u, wide.recall(empty));
}

TEST(RawArrayAbstractByteDataTest, RecallFromStoredSlotsRefusesSizesThatCannotBeCounted)
{
    // Two stored slots of item size 3 (4 bytes each).
    const uint8_t stored[8] = {'a', 'b', 'c', 0, 'd', 0, 0, 0};
    struct Case {
        const char* what;
        uint32_t length;
        uint8_t type;
        uint32_t itemSize;
        uint32_t result;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"both slots", 8, PDB::kTypeString, 3, 0, {"abc", "d", "old"}},
        {"whole slots only", 7, PDB::kTypeString, 3, 0, {"abc", "old", "old"}},
        {"item size 0", 8, PDB::kTypeString, 0, 0x80000001u, {"old", "old", "old"}},
        {"rounding wraps", 8, PDB::kTypeString, 0xFFFFFFFEu, 0x80000001u, {"old", "old", "old"}},
        {"huge item size", 8, PDB::kTypeString, 0xFFFFFFF0u, 0x80000001u, {"old", "old", "old"}},
        {"other type", 8, PDB::kTypeBinary, 3, 0x80020000u, {"old", "old", "old"}},
        {"no data", 0, PDB::kTypeString, 3, 0x80000001u, {"old", "old", "old"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PDB::RawArrayString texts(3, 5);
        for (uint32_t i = 0; i < 3; ++i) ASSERT_EQ(0u, texts.setString(i, "old"));
        EXPECT_EQ(c.result, texts.recall(stored, c.length, c.type, c.itemSize));
        for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(bytes(c.texts[i], 8), slotBytes(texts, i)) << i;
    }
    PDB::RawArrayString same(2, 3);
    EXPECT_EQ(0u, same.recall(stored, 8, PDB::kTypeString, 3, 1, 5));
    EXPECT_EQ(bytes("", 4), slotBytes(same, 0));
    EXPECT_EQ(bytes("d", 4), slotBytes(same, 1));
}

TEST(RawArrayAbstractByteDataTest, SlotsNeedASizeAndACount)
{
    struct Case {
        uint32_t count, itemSize;
        uint32_t result;
        uint32_t totalSize;
    };
    const Case cases[] = {
        {3, 10, 0, 36}, {1, 1, 0, 4}, {0, 4, 0x80000000u, 0}, {2, 0, 0x80000000u, 0},
        {1, 0xFFFFFFFDu, 0x80000000u, 0}, {0x10000, 0x10000, 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " x " << c.itemSize);
        PDB::RawArrayBinary blobs(1, 4);
        EXPECT_EQ(c.result, blobs.initialize(c.count, c.itemSize));
        EXPECT_EQ(c.result == 0, blobs.isValid());
        EXPECT_EQ(c.totalSize, blobs.totalSize());
        EXPECT_EQ(c.result == 0 ? c.count : 0u, blobs.totalNum());
    }
    uint8_t memory[8];
    PDB::RawArrayString texts;
    EXPECT_EQ(0x80000000u, texts.initializeWithExistMemory(3, 2, memory, 8));
    EXPECT_EQ(0u, texts.initializeWithExistMemory(2, 2, memory, 8));
    EXPECT_EQ(memory + 4, texts.dataPtr(1));
    const char data[9] = "abcdefgh";
    EXPECT_EQ(0u, texts.initialize(2, 3, data, 8));
    EXPECT_EQ(bytes("abcd", 4), slotBytes(texts, 0));  // copied as it is, layout included
}

TEST(RawArrayAbstractByteDataTest, DuplicateCopyAndMoveCarryTheItemSize)
{
    PDB::RawArrayString source(2, 6);
    ASSERT_EQ(0u, source.setString(1, "hello"));

    PDB::RawArrayString dup(5, 2);
    EXPECT_EQ(0u, dup.duplicate(source, 0));
    EXPECT_EQ(2u, dup.totalNum());
    EXPECT_EQ(6u, dup.itemSize());
    EXPECT_EQ(bytes("hello", 8), slotBytes(dup, 1));

    PDB::RawArrayString copy(source);
    ASSERT_EQ(0u, copy.setString(1, "x"));
    EXPECT_EQ(bytes("hello", 8), slotBytes(source, 1));

    PDB::RawArrayString moved(std::move(source));
    EXPECT_EQ(6u, moved.itemSize());
    EXPECT_EQ(bytes("hello", 8), slotBytes(moved, 1));
    EXPECT_FALSE(source.isValid());
    EXPECT_EQ(0u, source.itemSize());
    EXPECT_EQ(0u, source.totalNum());

    PDB::RawArrayBinary blobs(2, 6);
    EXPECT_EQ(0x80020000u, dup.duplicate(blobs, 0));
    EXPECT_EQ(0x80080000u, dup.duplicate(moved, 32));
    EXPECT_EQ(0x80000001u, dup.duplicate(source, 0));
}
