#include "editor/ArgumentMap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using VDProtocol::ArgumentMap;

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

}  // namespace

TEST(ArgumentMapTest, StoresEachKindWidenedAndOrderedByKeyBytes)
{
    ArgumentMap map;
    EXPECT_EQ(0u, map.insert("i8", static_cast<signed char>(-3)));
    EXPECT_EQ(0u, map.insert("i16", static_cast<short>(-300)));
    EXPECT_EQ(0u, map.insert("i32", -70000));
    EXPECT_EQ(0u, map.insert("u8", static_cast<unsigned char>(200)));
    EXPECT_EQ(0u, map.insert("u16", static_cast<unsigned short>(60000)));
    EXPECT_EQ(0u, map.insert("u32", 4000000000u));
    EXPECT_EQ(0u, map.insert("f", 2.5f));
    EXPECT_EQ(0u, map.insert("Z", 1));  // upper case sorts before lower case
    EXPECT_EQ(0u, map.insert("\xC3\xA9", 1));  // a byte above 0x7F sorts last

    struct Case {
        const char* key;
        int type;
        int int32;
        unsigned int uint32;
    };
    const Case cases[] = {
        {"i8", JVariant::kTypeInt32, -3, 0},       {"i16", JVariant::kTypeInt32, -300, 0},
        {"i32", JVariant::kTypeInt32, -70000, 0},  {"u8", JVariant::kTypeUInt32, 0, 200},
        {"u16", JVariant::kTypeUInt32, 0, 60000},  {"u32", JVariant::kTypeUInt32, 0, 4000000000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(c.type, map.getType(c.key));
        bool ok = false;
        if (c.type == JVariant::kTypeInt32) {
            EXPECT_EQ(c.int32, map.toInt32(c.key, &ok));
        } else {
            EXPECT_EQ(c.uint32, map.toUInt32(c.key, &ok));
        }
        EXPECT_TRUE(ok);
    }
    EXPECT_EQ(JVariant::kTypeFloat, map.getType("f"));
    EXPECT_FLOAT_EQ(2.5f, map.toFloat("f"));
    const std::vector<std::string> expected = {"Z", "f", "i16", "i32", "i8", "u16", "u32", "u8", "\xC3\xA9"};
    EXPECT_EQ(expected, map.keys());
    EXPECT_EQ(expected.size(), map.size());
}

TEST(ArgumentMapTest, FirstInsertOfAKeyWinsAndEmptyKeysAreRefused)
{
    ArgumentMap map;
    EXPECT_EQ(0u, map.insertString("prmValue", "first", 100));
    EXPECT_EQ(0u, map.insert("prmValue", 7));
    EXPECT_EQ(0u, map.insertString("prmValue", std::string("third")));
    EXPECT_STREQ("first", map.toString("prmValue"));

    const unsigned char bytes[] = {1, 2, 3};
    const JVariant value(5);
    struct Case {
        const char* name;
        JLIB::JResult result;
    };
    const Case refusals[] = {
        {"int", map.insert("", 1)},
        {"unsigned", map.insert("", 1u)},
        {"float", map.insert("", 1.0f)},
        {"string with length", map.insertString("", "x", 1)},
        {"binary", map.insertBinary("", bytes, 3)},
        {"base64", map.insertBase64("", "AQID", 4)},
        {"variant", map.insertJVariant("", value)},
    };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kFailed, c.result);
    }
    EXPECT_FALSE(map.hasKey(""));
    // The text-object form alone stores under an empty key.
    EXPECT_EQ(0u, map.insertString("", std::string("anything")));
    EXPECT_STREQ("anything", map.toString(""));
    EXPECT_EQ(2u, map.size());
}

TEST(ArgumentMapTest, StringsAreBoundedAndOverLongOnesBecomeTheErrorText)
{
    ArgumentMap map;
    EXPECT_EQ(0u, map.insertString("cut", "abcdef", 3));
    EXPECT_EQ(0u, map.insertString("null", nullptr, 10));
    EXPECT_EQ(0u, map.insertString("long", std::string(1024, 'x')));
    EXPECT_EQ(0u, map.insertString("longest", std::string(1023, 'y')));
    EXPECT_STREQ("abc", map.toString("cut"));
    EXPECT_EQ(4u, map.getStringLength("cut"));  // terminator counted
    EXPECT_STREQ("", map.toString("null"));
    EXPECT_STREQ("ERROR:", map.toString("long"));
    EXPECT_EQ(1023u, std::strlen(map.toString("longest")));
}

TEST(ArgumentMapTest, MissingKeysAndWrongKindsAnswerEmptyAndClearTheFlag)
{
    ArgumentMap map;
    ASSERT_EQ(0u, map.insertString("text", "5", 10));
    EXPECT_EQ(JVariant::kTypeInvalid, map.getType("missing"));
    bool ok = true;
    EXPECT_EQ(0, map.toInt32("missing", &ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(0, map.toInt32("text", &ok));  // a String does not convert
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(nullptr, map.toString("missing", &ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(nullptr, map.toBinary("text", &ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_FALSE(map.toJVariant("missing", &ok).isValid());
    EXPECT_FALSE(ok);
    ok = false;  // the flag is left as it was when the key exists
    EXPECT_STREQ("5", map.toJVariant("text", &ok).toString());
    EXPECT_FALSE(ok);
}

TEST(ArgumentMapTest, Base64RoundTripsAndBadInputIsRefused)
{
    ArgumentMap map;
    EXPECT_EQ(0u, map.insertBase64("d:data", "AQID", 4));
    ASSERT_EQ(3u, map.getBinaryLength("d:data"));
    const unsigned char expected[] = {1, 2, 3};
    EXPECT_EQ(0, std::memcmp(expected, map.toBinary("d:data"), 3));
    bool ok = false;
    EXPECT_EQ("AQID", map.toBase64Data("d:data", &ok));
    EXPECT_TRUE(ok);

    EXPECT_EQ(0u, map.insertBase64("padded", "AQI=", 4));
    EXPECT_EQ(2u, map.getBinaryLength("padded"));
    EXPECT_EQ("AQI=", map.toBase64Data("padded"));

    struct Case {
        const char* name;
        const char* text;
        unsigned int length;
    };
    const Case refused[] = {
        {"null text", nullptr, 4},      {"length 0", "AQID", 0},        {"2^31", "AQID", 0x80000000u},
        {"outside the alphabet", "A*ID", 4}, {"decodes to nothing", "====", 4},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kFailed, map.insertBase64(c.name, c.text, c.length));
        EXPECT_FALSE(map.hasKey(c.name));
    }

    ASSERT_EQ(0u, map.insertString("text", "AQID", 10));
    ok = true;
    EXPECT_EQ("", map.toBase64Data("text", &ok));
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ("", map.toBase64Data("missing", &ok));
    EXPECT_FALSE(ok);
}

TEST(ArgumentMapTest, BinaryNeedsBytesAndCopiesThem)
{
    ArgumentMap map;
    unsigned char bytes[] = {9, 8};
    EXPECT_EQ(kFailed, map.insertBinary("empty", bytes, 0));
    EXPECT_EQ(kFailed, map.insertBinary("null", nullptr, 2));
    EXPECT_EQ(0u, map.insertBinary("b", bytes, 2));
    bytes[0] = 0;
    EXPECT_EQ(9, map.toBinary("b")[0]);

    ArgumentMap copy = map;
    map.clear();
    EXPECT_EQ(0u, map.size());
    EXPECT_EQ(2u, copy.getBinaryLength("b"));
}
