#include "MMS/Common/mms_StringConverter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using MMS::StringConverter;

namespace {

constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNotFound = 0x80000006u;

std::string part(const char* text, uint32_t length)
{
    return text == nullptr ? std::string("<null>") : std::string(text, length);
}

}  // namespace

TEST(StringConverterTest, NodeNameCopyTakesOneToTwentyThreeCharacters)
{
    struct Case { const char* name; uint32_t result; };
    const std::string longest(23, 'n');
    const std::string tooLong(24, 'n');
    const Case cases[] = {
        {"A", 0},
        {"Gain", 0},
        {longest.c_str(), 0},
        {tooLong.c_str(), kBadArgument},
        {"", kBadArgument},
        {nullptr, kBadArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name == nullptr ? "<null>" : c.name);
        char destination[24];
        std::memset(destination, 0x5A, sizeof destination);
        EXPECT_EQ(c.result, StringConverter::nodeNameCopy(destination, c.name));
        if (c.result == 0) {
            EXPECT_STREQ(c.name, destination);
        } else {
            for (char ch : destination) EXPECT_EQ(0x5A, ch) << "refused copy wrote the destination";
        }
    }
    EXPECT_EQ(kBadArgument, StringConverter::nodeNameCopy(nullptr, "A"));
}

TEST(StringConverterTest, GetRootNameSplitsRootPartAndRest)
{
    struct Case { const char* address; uint32_t size; uint32_t result; const char* root; uint32_t rootLength;
                  const char* rest; uint32_t restLength; };
    const Case cases[] = {
        {"/Root/A/B", 10, 0, "Root", 4, "A/B", 4},      // terminator counted in the rest
        {"//Root//A", 10, 0, "Root", 4, "A", 2},        // runs of separators count as one
        {"Root/A", 7, 0, nullptr, 0, "Root/A", 7},      // no root part: all is rest
        {"/Root", 6, 0, "Root", 4, nullptr, 0},
        {"/Root//", 8, 0, "Root", 4, nullptr, 0},
        {"/Root/A/B", 7, 0, "Root", 4, "A", 1},         // the size cuts the text, no terminator inside
        {"/Root/A", 100, 0, "Root", 4, "A", 2},
        {"/", 2, kBadArgument, nullptr, 0, nullptr, 0},
        {"///", 4, kBadArgument, nullptr, 0, nullptr, 0},
        {"", 1, 0, nullptr, 0, nullptr, 0},
        {"/Root", 0, 0, nullptr, 0, nullptr, 0},
        {nullptr, 0, 0, nullptr, 0, nullptr, 0},
        {nullptr, 5, kNotFound, nullptr, 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address == nullptr ? "<null>" : c.address) + " size " + std::to_string(c.size));
        const char* root = "poison";
        const char* rest = "poison";
        uint32_t rootLength = 99;
        uint32_t restLength = 99;
        ASSERT_EQ(c.result, StringConverter::getRootName(&root, &rootLength, &rest, &restLength, c.address, c.size));
        if (c.result != 0) continue;
        EXPECT_EQ(part(c.root, c.rootLength), part(root, rootLength));
        EXPECT_EQ(c.rootLength, rootLength);
        EXPECT_EQ(c.restLength, restLength);
        if (c.rest == nullptr) {
            EXPECT_EQ(nullptr, rest);
        } else {
            ASSERT_NE(nullptr, rest);
            EXPECT_EQ(0, std::strncmp(c.rest, rest, c.restLength));
        }
    }
}

TEST(StringConverterTest, GetRootNameRefusesMissingOutputs)
{
    const char* root = nullptr;
    const char* rest = nullptr;
    uint32_t length = 0;
    EXPECT_EQ(kBadArgument, StringConverter::getRootName(nullptr, &length, &rest, &length, "/R", 3));
    EXPECT_EQ(kBadArgument, StringConverter::getRootName(&root, nullptr, &rest, &length, "/R", 3));
    EXPECT_EQ(kBadArgument, StringConverter::getRootName(&root, &length, nullptr, &length, "/R", 3));
    EXPECT_EQ(kBadArgument, StringConverter::getRootName(&root, &length, &rest, nullptr, "/R", 3));
}

TEST(StringConverterTest, SeparatorCounterCountsLeadingRunOrAnswersLengthForSeparatorsOnly)
{
    struct Case { const char* text; uint32_t length; uint32_t count; };
    const Case cases[] = {
        {"A/B", 3, 0}, {"/A", 2, 1}, {"///A", 4, 3}, {"//A", 1, 1},
        {"", 5, 5}, {"//", 3, 3}, {"///", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t count = 99;
        EXPECT_EQ(0u, StringConverter::separatorCounter(&count, c.length, c.text));
        EXPECT_EQ(c.count, count);
    }
    uint32_t count = 0;
    EXPECT_EQ(kBadArgument, StringConverter::separatorCounter(&count, 3, nullptr));
    EXPECT_EQ(kBadArgument, StringConverter::separatorCounter(nullptr, 3, "/"));
}

TEST(StringConverterTest, FirstNameSizeStepsOverSeparatorRuns)
{
    struct Case { const char* text; uint32_t length; uint32_t result; uint32_t nameLength; uint32_t next; };
    const Case cases[] = {
        {"A/B", 4, 0, 1, 2},
        {"Gain//Mix", 10, 0, 4, 6},
        {"Gain", 5, 0, 4, 5},           // no separator: next offset is the length
        {"Gain/B", 3, 0, 3, 3},         // the separator lies beyond the length
        {"/A", 3, 0, 0, 1},
        {"A", 0, kBadArgument, 0, 0},
        {nullptr, 3, kBadArgument, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text == nullptr ? "<null>" : c.text);
        uint32_t nameLength = 99;
        uint32_t next = 99;
        ASSERT_EQ(c.result, StringConverter::getAddressFirstNameSize(&nameLength, &next, c.text, c.length));
        if (c.result != 0) continue;
        EXPECT_EQ(c.nameLength, nameLength);
        EXPECT_EQ(c.next, next);
    }
}

TEST(StringConverterTest, AppendStringAddressBuildsWithoutTerminatorAndRefusesOverflow)
{
    char buffer[12] = {};
    EXPECT_EQ(0u, StringConverter::appendStringAddress(buffer, sizeof buffer, "Top", 1));
    EXPECT_EQ(0u, StringConverter::appendStringAddress(buffer, sizeof buffer, "A", 0));
    EXPECT_STREQ("/Top/A", buffer);
    EXPECT_EQ(0u, StringConverter::appendStringAddress(buffer, sizeof buffer, "Bcd", 0));
    EXPECT_STREQ("/Top/A/Bcd", buffer);  // 10 used; a name needs used + length + 1 <= 12
    EXPECT_EQ(kBadArgument, StringConverter::appendStringAddress(buffer, sizeof buffer, "EF", 0));
    EXPECT_STREQ("/Top/A/Bcd", buffer);
    EXPECT_EQ(0u, StringConverter::appendStringAddress(buffer, sizeof buffer, "E", 0));
    EXPECT_EQ(0, std::memcmp("/Top/A/Bcd/E", buffer, sizeof buffer));

    char first[8];
    std::memset(first, 0, sizeof first);
    first[5] = 'x';  // shows that no terminator is written
    EXPECT_EQ(0u, StringConverter::appendStringAddress(first, sizeof first, "Abc", 0));
    EXPECT_EQ(0, std::memcmp("Abc\0\0x", first, 6));

    char exact[5] = {};
    EXPECT_EQ(0u, StringConverter::appendStringAddress(exact, sizeof exact, "Abcd", 0));
    char tight[5] = {};
    EXPECT_EQ(kBadArgument, StringConverter::appendStringAddress(tight, sizeof tight, "Abcde", 0));
    EXPECT_EQ(kBadArgument, StringConverter::appendStringAddress(nullptr, 5, "A", 0));
    EXPECT_EQ(kBadArgument, StringConverter::appendStringAddress(tight, 0, "A", 0));
    EXPECT_EQ(kBadArgument, StringConverter::appendStringAddress(tight, 5, nullptr, 0));
}

TEST(StringConverterTest, AppendAndSizeAgreeAndBoundNamesAtTwentyFour)
{
    const std::string longName(30, 'x');
    char buffer[64] = {};
    uint32_t size = 0;
    const char* names[] = {"Top", "Child", longName.c_str()};
    for (const char* name : names) {
        ASSERT_EQ(0u, StringConverter::appendStringAddress(buffer, sizeof buffer, name, 1));
        ASSERT_EQ(0u, StringConverter::getAddressSize(&size, name, 1));
    }
    EXPECT_EQ("/Top/Child/" + std::string(24, 'x'), std::string(buffer));
    EXPECT_EQ(std::strlen(buffer), size);

    uint32_t plain = 0;
    EXPECT_EQ(0u, StringConverter::getAddressSize(&plain, "Abc", 0));
    EXPECT_EQ(3u, plain);
    EXPECT_EQ(0u, StringConverter::getAddressSize(&plain, "D", 0));
    EXPECT_EQ(5u, plain);
    EXPECT_EQ(kBadArgument, StringConverter::getAddressSize(nullptr, "D", 0));
    EXPECT_EQ(kBadArgument, StringConverter::getAddressSize(&plain, nullptr, 0));
}
