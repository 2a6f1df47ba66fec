#include "MMS/Common/mms_CollectionTagInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_CommonFunction.h"

using MMS::CollectionTagInfo;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;

// Numbers of a tag written by the host are in host order.
void putHost(Bytes& bytes, size_t at, uint32_t value, unsigned size)
{
    const bool big = MMS::CommonFunction::isBigEndian();
    for (unsigned i = 0; i < size; ++i) bytes[at + (big ? size - 1 - i : i)] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes collectionTag(const char* name, uint32_t parameterTags, uint32_t childTags, uint32_t offset, uint32_t elementSize,
                    uint32_t count)
{
    Bytes tag(48, 0);
    std::memcpy(&tag[0], "COL", 3);
    tag[3] = 0x30;
    std::memcpy(&tag[4], name, std::strlen(name));
    putHost(tag, 28, parameterTags, 4);
    putHost(tag, 32, childTags, 4);
    putHost(tag, 36, offset, 4);
    putHost(tag, 40, elementSize, 4);
    putHost(tag, 44, count, 4);
    return tag;
}

Bytes parameterTag(const char* name, uint8_t dataClass, uint16_t elementSize, uint16_t count)
{
    Bytes tag(32, 0);
    std::memcpy(&tag[0], "PR", 2);
    tag[2] = 0x20;
    tag[3] = dataClass;
    putHost(tag, 4, elementSize, 2);
    putHost(tag, 6, count, 2);
    std::memcpy(&tag[8], name, std::strlen(name));
    return tag;
}

}  // namespace

TEST(CollectionTagWritersTest, CollectionTagIsWrittenByteForByte)
{
    const std::string longest(23, 'c');
    struct Case { const char* name; uint32_t parameterTags, childTags, offset, elementSize, count; };
    const Case cases[] = {
        {"Mixer", 64, 96, 12, 40, 3},
        {"Top", 0, 0, 0, 0, 1},           // no parameters: the children follow the head directly
        {longest.c_str(), 0xFFFFFFE0u, 0x12345678u, 0x01020304u, 0x7FFFFFFFu, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes written(48 + 4, 0xEE);  // shows every byte of the tag is written, and nothing beyond
        ASSERT_EQ(0u, CollectionTagInfo::appendCollectionTag(written.data(), c.name, c.parameterTags, c.childTags,
                                                             c.offset, c.elementSize, c.count));
        Bytes expected = collectionTag(c.name, c.parameterTags, c.childTags, c.offset, c.elementSize, c.count);
        expected.insert(expected.end(), 4, 0xEE);
        EXPECT_EQ(expected, written);
    }
}

TEST(CollectionTagWritersTest, ParameterTagIsWrittenByteForByteWithItsDataClass)
{
    struct Case { const char* name; uint32_t elementSize; uint32_t count; uint32_t type; uint8_t dataClass; };
    const Case cases[] = {
        {"I8", 1, 1, 0x001, 1},    {"I16", 2, 4, 0x002, 1},   {"I32", 4, 2, 0x004, 1},
        {"Bit", 0, 9, 0x100, 2},   {"U8", 1, 3, 0x101, 2},    {"U16", 2, 1, 0x102, 2},
        {"U32", 4, 1, 0x104, 2},   {"Real", 4, 8, 0x304, 3},  {"Text", 32, 2, 0x201, 0},
        {"Odd", 4, 1, 0x404, 0},   {"Max", 0xFFFF, 0xFFFF, 0x201, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes written(32 + 4, 0xEE);
        ASSERT_EQ(0u, CollectionTagInfo::appendParameterTag(written.data(), c.name, c.elementSize, c.count, c.type));
        Bytes expected = parameterTag(c.name, c.dataClass, static_cast<uint16_t>(c.elementSize),
                                      static_cast<uint16_t>(c.count));
        expected.insert(expected.end(), 4, 0xEE);
        EXPECT_EQ(expected, written);
    }
}

TEST(CollectionTagWritersTest, NamesGoThroughTheNodeNameRules)
{
    const std::string longest(23, 'n');
    const std::string tooLong(24, 'n');
    struct Case { const char* name; uint32_t result; };
    const Case cases[] = {
        {longest.c_str(), 0}, {tooLong.c_str(), kBadArgument}, {"", kBadArgument}, {nullptr, kBadArgument}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name == nullptr ? "<null>" : std::to_string(std::strlen(c.name)) + " characters");
        Bytes collection(48, 0xEE);
        Bytes parameter(32, 0xEE);
        EXPECT_EQ(c.result, CollectionTagInfo::appendCollectionTag(collection.data(), c.name, 0, 0, 0, 4, 1));
        EXPECT_EQ(c.result, CollectionTagInfo::appendParameterTag(parameter.data(), c.name, 4, 1, 0x004));
        if (c.result != 0) {
            EXPECT_EQ(Bytes(48, 0xEE), collection) << "a refused name writes nothing";
            EXPECT_EQ(Bytes(32, 0xEE), parameter) << "a refused name writes nothing";
        } else {
            EXPECT_EQ(0, std::memcmp(c.name, &collection[4], 23));
            EXPECT_EQ(0, collection[27]);
            EXPECT_EQ(0, std::memcmp(c.name, &parameter[8], 23));
            EXPECT_EQ(0, parameter[31]);
        }
    }
    EXPECT_EQ(kMissing, CollectionTagInfo::appendCollectionTag(nullptr, "A", 0, 0, 0, 0, 1));
    EXPECT_EQ(kMissing, CollectionTagInfo::appendParameterTag(nullptr, "A", 4, 1, 0x004));
}
