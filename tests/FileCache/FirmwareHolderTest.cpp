#include "FileCache/fcache_FirmwareHolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"

using FILECACHE::FirmwareHolder;

TEST(FirmwareHolderTest, ChoosesTheNewestNameThatCarriesAVersion)
{
    TempFolder t;
    t.write("fwV100.bin", "old");
    t.write("fwV123b.bin", "chosen image");
    t.write("fwR200.bin", "release");
    t.write("fwX999.bin", "sorts first but has no version");
    t.write("fwV999.txt", "other extension");
    FirmwareHolder holder;
    ASSERT_EQ(0u, holder.load(t.path().c_str(), "fw", "bin"));
    EXPECT_STREQ("fwV123b.bin", holder.fileName());
    EXPECT_EQ(0x56011701u, holder.version());
    uint32_t result = 0x5A5A5A5A;
    EXPECT_TRUE(holder.isValid(&result));
    EXPECT_EQ(0x5A5A5A5Au, result);
    ASSERT_EQ(12u, holder.size());
    EXPECT_EQ("chosen image", std::string(reinterpret_cast<const char*>(holder.pointer()), holder.size()));

    // A second load starts from nothing; clear without the flag keeps the file.
    EXPECT_EQ(0u, holder.clear(false));
    EXPECT_FALSE(holder.isValid(nullptr));
    EXPECT_STREQ("", holder.fileName());
    EXPECT_TRUE(std::filesystem::exists(t.file("fwV123b.bin")));
    ASSERT_EQ(0u, holder.load(t.path().c_str(), "fw", "bin"));
    EXPECT_EQ(0u, holder.clear(true));
    EXPECT_FALSE(std::filesystem::exists(t.file("fwV123b.bin")));
    EXPECT_EQ(0u, holder.version());
}

TEST(FirmwareHolderTest, ReportsMissingOrEmptyFirmware)
{
    TempFolder t;
    t.write("fwX100.bin", "bad kind");
    t.write("fw12.bin", "too short");
    FirmwareHolder holder;
    EXPECT_EQ(0x80000000u, holder.load(t.path().c_str(), "fw", "bin"));
    uint32_t result = 0;
    EXPECT_FALSE(holder.isValid(&result));
    EXPECT_EQ(0x80000004u, result);
    EXPECT_EQ(0x80000000u, holder.load(t.file("made").c_str(), "fw", "bin"));
    EXPECT_TRUE(std::filesystem::is_directory(t.file("made")));

    t.write("fwR100.bin", "");
    ASSERT_EQ(0u, holder.load(t.path().c_str(), "fw", "bin"));
    EXPECT_STREQ("fwR100.bin", holder.fileName());
    EXPECT_EQ(0x52010000u, holder.version());
    EXPECT_EQ(nullptr, holder.pointer());
    result = 0;
    EXPECT_FALSE(holder.isValid(&result));
    EXPECT_EQ(0x80000004u, result);
}

TEST(FirmwareHolderTest, ReadsTheVersionFromTheFileName)
{
    struct Case { const char* name; const char* base; uint32_t word; };
    const Case cases[] = {
        {"fwV123b.bin", "fw", 0x56011701u},
        {"fwR100.bin", "fw", 0x52010000u},
        {"fwv100.bin", "fw", 0x56010000u},
        {"fwVA00.bin", "fw", 0x56110000u},     // 'A' - '0' is 17
        {"fwV123Z.bin", "fw", 0x56011719u},    // the letter counts lower-cased
        {"fwV123-extra.bin", "fw", 0},         // the fifth character is the letter, and "-" is none
        {"V100.bin", nullptr, 0x56010000u},
        {"fw12.bin", "fw", 0},
        {"fwX100.bin", "fw", 0},
        {"fwV100", "fw", 0},                  // no "." at all
        {"fwV1.00.bin", "fw", 0},
        {"fV1.bin", "fwlong", 0},
        {"a.b", "muchlongerbase", 0},
        {"fwVz00.bin", "fw", 0x564A0000u},    // any character code within 0..255 is a major number
        {"fwV1z0.bin", "fw", 0},              // minor above 9
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.word, FILECACHE::getVersionFromFileName(c.name, c.base));
    }
}
