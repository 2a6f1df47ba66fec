#include "common/KavoriVersionInfo.h"

#include <gtest/gtest.h>

#include <string>

using KAVORI::KavoriVersionInfo;

namespace {

std::string printed(const KavoriVersionInfo& table, uint32_t kind)
{
    std::string text = "poison";
    (void)table.versionString(kind, text);  // the text tells what happened
    return text;
}

}  // namespace

TEST(KavoriVersionInfoTest, SetsAVersionFromItsTextOrLeavesTheKindAlone)
{
    struct Case {
        const char* text;
        JLIB::JResult result;
        const char* printed;
    };
    const Case cases[] = {
        {"R0.00.00", 0, "R0.00"},
        {"V0.00", 0, "V0.00"},
        {"V1.23c", 0, "V1.23c"},
        {"v2.5", 0, "V2.05"},
        {"r1.23Z", 0, "R1.23z"},
        {"V12.34c", 0, "V12.34"},  // printed in at most 6 characters
        {"V1.00-beta", 0, "V1.00"},
        {"X1.00", 0x80000000u, "V9.99"},
        {"V1", 0x80000000u, "V9.99"},
        {"V1.100", 0x80000000u, "V9.99"},
        {"V256.00", 0x80000000u, "V9.99"},
        {"V-1.00", 0x80000000u, "V9.99"},
        {"V1234567890123456789012345678901.00", 0x80000000u, "V9.99"},  // no point in the first 32
        {"", 0x80000000u, "V9.99"},
        {nullptr, 0x80000000u, "V9.99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "null");
        KavoriVersionInfo table;
        ASSERT_EQ(0u, table.setVersion(4, "V9.99"));
        EXPECT_EQ(c.result, table.setVersion(4, c.text));
        EXPECT_EQ(c.printed, printed(table, 4));
    }
}

TEST(KavoriVersionInfoTest, SetsAVersionFromItsPackedByte)
{
    struct Case {
        uint8_t byte;
        JLIB::JResult result;
        const char* printed;
    };
    const Case cases[] = {
        {0x00, 0, "V0.00"},        {0x12, 0, "V0.12"}, {0x39, 0, "V0.39"},
        {0x45, 0, "V0.35"},        {0x79, 0, "V0.69"}, {0x93, 0, "V1.13"},
        {0xF9, 0, "V1.79"},        {0x1A, 0x80000000u, "------"},  // sub above 9
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        KavoriVersionInfo table;
        EXPECT_EQ(c.result, table.setVersion(5, c.byte));
        EXPECT_EQ(c.printed, printed(table, 5));
    }
}

TEST(KavoriVersionInfoTest, AnswersKindsOutOfRangeAndKindsNotSet)
{
    KavoriVersionInfo table;
    std::string text;
    EXPECT_EQ(0x80000000u, table.versionString(23, text));
    EXPECT_EQ("ERROR!", text);
    EXPECT_EQ(0x80000000u, table.versionString(8, text));
    EXPECT_EQ("------", text);
    EXPECT_EQ(0u, table.version(8));
    EXPECT_FALSE(table.isSet(8));

    KAVORI::KavoriVersionItem item;
    item.kind = 1;
    item.major = 3;
    item.minor = 4;
    item.sub = 5;
    EXPECT_EQ(0x80000000u, table.setVersion(23, item));
    EXPECT_EQ(0x80000000u, table.setVersion(23, "V1.00"));
    EXPECT_EQ(0x80000000u, table.setVersion(23, static_cast<uint8_t>(1)));
    EXPECT_EQ(0x80000000u, table.setVersion(23, 0x56010000u));
    EXPECT_EQ(0u, table.setVersion(22, item));
    EXPECT_EQ("V3.45", printed(table, 22));
    item.minor = 10;
    EXPECT_EQ(0x80000000u, table.setVersion(22, item));
    EXPECT_EQ("V3.45", printed(table, 22));
    // A word is stored as it is, even one that does not decode.
    EXPECT_EQ(0u, table.setVersion(21, 0x12345678u));
    EXPECT_TRUE(table.isSet(21));
    EXPECT_EQ(0x12345678u, table.version(21));
}

TEST(KavoriVersionInfoTest, ProgrammedVersionsSetTheirKindsOnly)
{
    KavoriVersionInfo table;
    EXPECT_EQ(0u, KAVORI::setProgrammedVersion(table));
    for (uint32_t kind = 0; kind < KAVORI::kVersionKindNum; ++kind) {
        SCOPED_TRACE(kind);
        const bool programmed = kind == 0 || (kind >= 3 && kind <= 7) || kind == 20 || kind == 21;
        EXPECT_EQ(programmed ? "R0.00" : "------", printed(table, kind));
    }
}

TEST(KavoriVersionInfoTest, KeepsNetworkAudioVersionTexts)
{
    KavoriVersionInfo table;
    EXPECT_EQ("-------", table.versionNetAudio(0));
    EXPECT_EQ("-------", table.versionNetAudio(1));
    EXPECT_EQ("-----", table.versionNetAudio(2));
    EXPECT_EQ("-------", table.versionNetAudio(3));
    EXPECT_EQ(0u, table.setVersionNetAudio(0, 4, 2, 1, 3));
    EXPECT_EQ(0u, table.setVersionNetAudio(2, 1, -2, 30, 4));
    EXPECT_EQ(0x80000000u, table.setVersionNetAudio(3, 1, 2, 3, 4));
    EXPECT_EQ("4.2.1.3", table.versionNetAudio(0));
    EXPECT_EQ("-------", table.versionNetAudio(1));
    EXPECT_EQ("1.-2.30", table.versionNetAudio(2));
}
