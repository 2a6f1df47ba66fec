#include "FileCache/fcache_IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "FileCache/TempFolder.h"

using FILECACHE::IniFile;
using Entries = std::map<std::pair<std::string, std::string>, std::string>;

namespace {

Entries entriesOf(const IniFile& ini)
{
    Entries out;
    for (const auto& entry : ini) out[{entry.first.section, entry.first.key}] = entry.second;
    return out;
}

// Writes content as name in folder and reads it through a fresh ini file.
JLIB::JResult readText(const TempFolder& folder, const std::string& content, IniFile& ini)
{
    folder.write("test.ini", content);
    EXPECT_EQ(0u, ini.initialize(folder.path().c_str(), FILECACHE::VDirTreeItem::ITEM_FILE, "test.ini"));
    return ini.readAll();
}

}  // namespace

TEST(IniFileTest, ReadsSectionsKeysAndValuesByTheLineRules)
{
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        const char* label;
        std::string content;
        JLIB::JResult result;
        Entries entries;
    };
    const Case cases[] = {
        {"equals", "[Setting]\nDebugOutputLevel=3\n", 0, {{{"Setting", "DebugOutputLevel"}, "3"}}},
        {"colon", "[Setting]\nDebugOutputLevel:3\n", 0, {{{"Setting", "DebugOutputLevel"}, "3"}}},
        {"byte-order mark", bom + "[Setting]\nA=1\n", 0, {{{"Setting", "A"}, "1"}}},
        {"blanks", "[ S ]\n\t  my key  =  a b  \r\n", 0, {{{"S", "my key"}, "a b"}}},
        {"value keeps = : [ ]", "[S]\nk = a=b:c[d]\n", 0, {{{"S", "k"}, "a=b:c[d]"}}},
        {"comments", "# top\n[S] ; after header\nk = v ; tail\nn = #all\n;x=1\n", 0, {{{"S", "k"}, "v"}}},
        {"later value wins", "[S]\nk=1\nk=2\n", 0, {{{"S", "k"}, "2"}}},
        {"case-sensitive", "[S]\nk=1\n[s]\nk=2\nK=3\n", 0,
         {{{"S", "k"}, "1"}, {{"s", "k"}, "2"}, {{"s", "K"}, "3"}}},
        {"no final line feed", "[S]\na=1\nb=2", 0, {{{"S", "a"}, "1"}, {{"S", "b"}, "2"}}},
        {"header without ]", "[S\nk=1\n", 0, {{{"S", "k"}, "1"}}},
        {"empty value not stored", "[S]\nk=\nj = \n", 0, {}},
        {"empty file", "", 0, {}},
        {"two bytes are never a mark", "\xEF\xBB", 0x80000000u, {}},
        {"key before section", "k=1\n[S]\nj=2\n", 0x80000000u, {}},
        {"blank line before section", "  \n[S]\n", 0x80000000u, {}},
        {"text after ]", "[S]x\nk=1\n", 0x80000000u, {}},
        {"bad byte in section", "[S\x01]\n", 0x80000000u, {}},
        {"entries before the fault stay", "[S]\na=1\n[T]x\nb=2\n", 0x80000000u, {{{"S", "a"}, "1"}}},
        {"bad byte in key", "[S]\na\x02=1\n", 0x80000000u, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        IniFile ini;
        testing::internal::CaptureStdout();
        EXPECT_EQ(c.result, readText(folder, c.content, ini));
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(c.entries, entriesOf(ini));
        EXPECT_EQ(JLIB::isFailure(c.result), log.find("[E] IniFile::readAll") != std::string::npos) << log;
    }
}

TEST(IniFileTest, ParsesAcrossChunkBoundaries)
{
    // Lines and a byte-order mark placed so that names and values straddle 256-byte chunks.
    TempFolder folder;
    std::string content = "\xEF\xBB\xBF[Section]\n";
    Entries expected;
    for (int i = 0; i < 60; ++i) {
        const std::string key = "key" + std::to_string(i);
        const std::string value = std::string(static_cast<size_t>(i % 17) + 1, static_cast<char>('a' + i % 26));
        content += key + " = " + value + "\r\n";
        expected[{"Section", key}] = value;
    }
    content += "[Other]\nlast=x";
    expected[{"Other", "last"}] = "x";
    ASSERT_GT(content.size(), 3u * 256u);
    IniFile ini;
    EXPECT_EQ(0u, readText(folder, content, ini));
    EXPECT_EQ(expected, entriesOf(ini));
}

// The settings file is edited by hand: a key or value too long loses its own line only.
TEST(IniFileTest, SkipsALineWhoseKeyOrValueIsTooLongAndKeepsTheRest)
{
    const std::string key30(30, 'k');
    const std::string value128(128, 'v');
    struct Case {
        const char* label;
        std::string content;
        JLIB::JResult result;
        Entries entries;
        const char* log;  // a text of the log line, or null for none
    };
    const Case cases[] = {
        {"key of 30", "[S]\n" + key30 + "=1\n", 0, {{{"S", key30}, "1"}}, nullptr},
        {"key of 30 with blanks around", "[S]\n\t " + key30 + " \t = 1\n", 0, {{{"S", key30}, "1"}}, nullptr},
        {"key of 31", "[S]\na=1\n" + std::string(31, 'k') + "=2\nb=3\n[T]\nc=4\n", 0,
         {{{"S", "a"}, "1"}, {{"S", "b"}, "3"}, {{"T", "c"}, "4"}}, "key \"kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk...\" of [S]"},
        {"key of 31 with inner blank", "[S]\n" + std::string(15, 'k') + " " + std::string(15, 'k') + "=1\nb=2\n", 0,
         {{{"S", "b"}, "2"}}, "of [S] is longer than 30"},
        {"value of 128 with blanks around", "[S]\nk =  " + value128 + " \t\r\n", 0, {{{"S", "k"}, value128}}, nullptr},
        {"value of 129", "[S]\na=1\nk = " + value128 + "w ; more\nb=2", 0, {{{"S", "a"}, "1"}, {{"S", "b"}, "2"}},
         "value of key \"k\" in [S] is longer than 128"},
        {"section of 30", "[ " + std::string(30, 's') + " ]\nk=1\n", 0, {{{std::string(30, 's'), "k"}, "1"}}, nullptr},
        {"section of 31 still fails", "[" + std::string(31, 's') + "]\nk=1\n", 0x80000000u, {}, "malformed"},
        {"long comment", "[S]\n#" + std::string(1000, 'c') + "\nk=1\n", 0, {{{"S", "k"}, "1"}}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        IniFile ini;
        testing::internal::CaptureStdout();
        const JLIB::JResult result = readText(folder, c.content, ini);
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.entries, entriesOf(ini));
        if (c.log) {
            EXPECT_NE(std::string::npos, log.find(c.log)) << log;
            EXPECT_NE(std::string::npos, log.find(folder.file("test.ini"))) << log;
        } else {
            EXPECT_EQ("", log);
        }
    }
}

// What writeAll makes of the longest key and value reads back.
TEST(IniFileTest, TheLongestKeyAndValueReadBackAfterWriting)
{
    TempFolder folder;
    IniFile ini;
    ASSERT_EQ(0u, readText(folder, "", ini));
    const std::string key(30, 'k');
    const std::string value(128, 'v');
    ASSERT_EQ(0u, ini.addItem("Setting", key.c_str(), value.c_str()));
    ASSERT_EQ(0u, ini.writeAll(false));
    IniFile again;
    ASSERT_EQ(0u, again.initialize(folder.path().c_str(), FILECACHE::VDirTreeItem::ITEM_FILE, "test.ini"));
    ASSERT_EQ(0u, again.readAll());
    EXPECT_EQ(entriesOf(ini), entriesOf(again));
}

TEST(IniFileTest, WritesSortedSectionsWithoutComments)
{
    TempFolder folder;
    IniFile ini;
    ASSERT_EQ(0u, readText(folder,
                           "; settings\n[ProductInfo]\nName = Vexalume\n[Setting]\nZeta=1 ; z\nAlpha: two words \n"
                           "[ProductInfo]\nModel=MUR-UZ\n",
                           ini));
    ASSERT_EQ(0u, ini.addItem("Setting", "DebugOutputLevel", "2"));
    ASSERT_EQ(0u, ini.writeAll(false));
    const std::string expected =
        "[ProductInfo]\nModel = MUR-UZ\nName = Vexalume\n\n"
        "[Setting]\nAlpha = two words\nDebugOutputLevel = 2\nZeta = 1\n";
    EXPECT_EQ(expected, folder.read("test.ini"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("test.ini.tmp")));

    ASSERT_EQ(0u, ini.writeAll(true));
    EXPECT_EQ("\xEF\xBB\xBF" + expected, folder.read("test.ini"));

    // What was written reads back the same.
    IniFile again;
    ASSERT_EQ(0u, again.initialize(folder.path().c_str(), FILECACHE::VDirTreeItem::ITEM_FILE, "test.ini"));
    ASSERT_EQ(0u, again.readAll());
    EXPECT_EQ(entriesOf(ini), entriesOf(again));
}

TEST(IniFileTest, AFailedWriteLeavesTheOldFile)
{
    TempFolder folder;
    IniFile ini;
    ASSERT_EQ(0u, readText(folder, "[S]\nk=1\n", ini));
    ASSERT_EQ(0u, ini.addItem("S", "k", "2"));
    std::filesystem::create_directory(folder.file("test.ini.tmp"));  // the new file cannot be made
    EXPECT_EQ(0x80000000u, ini.writeAll(false));
    EXPECT_EQ("[S]\nk=1\n", folder.read("test.ini"));
}

TEST(IniFileTest, QueriesAndChangesEntries)
{
    TempFolder folder;
    IniFile ini;
    ASSERT_EQ(0u, readText(folder, "[S]\nk=1\n", ini));
    EXPECT_STREQ("1", ini.item("S", "k", "d"));
    EXPECT_STREQ("d", ini.item("S", "missing", "d"));
    EXPECT_STREQ("d", ini.item("", "k", "d"));
    EXPECT_STREQ("d", ini.item("S", nullptr, "d"));
    EXPECT_TRUE(ini.isExist("S", "k"));
    EXPECT_FALSE(ini.isExist("s", "k"));

    EXPECT_EQ(0x80000000u, ini.addItem("S", "k", nullptr));
    EXPECT_EQ(0x80000000u, ini.addItem("", "k", "v"));
    EXPECT_EQ(0x80000000u, ini.addItem(IniFile::IniItem{"S", "k", ""}));
    EXPECT_EQ(0u, ini.addItem(IniFile::IniItem{"S", "j", "v"}));
    EXPECT_EQ(0u, ini.addItem("S", "e", ""));  // stored, written, but not read back
    EXPECT_EQ(0u, ini.removeItem("S", "k"));
    EXPECT_EQ(0x80000000u, ini.removeItem("S", "k"));
    EXPECT_EQ(0x80000000u, ini.removeItem("S", ""));
    ASSERT_EQ(0u, ini.writeAll(false));
    EXPECT_EQ("[S]\ne = \nj = v\n", folder.read("test.ini"));
    ASSERT_EQ(0u, ini.refresh());
    EXPECT_EQ((Entries{{{"S", "j"}, "v"}}), entriesOf(ini));
    EXPECT_EQ(0u, ini.clear());
    EXPECT_EQ(ini.begin(), ini.end());
}

TEST(IniFileTest, BindingCreatesTheFileAndAnUnreadableItemKeepsItsEntries)
{
    TempFolder folder;
    IniFile ini;
    const std::string sub = folder.file("new/deeper");
    ASSERT_EQ(0u, ini.initialize(sub.c_str(), FILECACHE::VDirTreeItem::ITEM_FILE, "SystemSetting.ini"));
    EXPECT_TRUE(std::filesystem::is_regular_file(sub + "/SystemSetting.ini"));
    EXPECT_EQ(0u, ini.readAll());
    ASSERT_EQ(0u, ini.addItem("S", "k", "v"));

    // A folder item cannot be opened: readAll fails and the entries stay.
    ASSERT_EQ(0u, ini.VDirTreeItem::initialize(folder.path().c_str(), FILECACHE::VDirTreeItem::ITEM_DIR, "new", false));
    EXPECT_EQ(0x80000000u, ini.readAll());
    EXPECT_TRUE(ini.isExist("S", "k"));
    EXPECT_EQ(0x80000000u, ini.writeAll(false));
}

TEST(IniFileTest, NameCharactersAndTrimming)
{
    IniFile ini;
    struct Case { uint8_t byte; bool allowed; };
    const Case cases[] = {{'a', true}, {' ', true}, {'\t', true}, {0x80, true}, {0xFF, true}, {0x00, false},
                          {0x1F, false}, {':', false}, {'=', false}, {'[', false}, {']', false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(c.allowed, ini.isTagCharacter(c.byte));
    }
    EXPECT_EQ("a b", IniFile::trimString(" \ta b\r\n", " \t\r\n"));
    EXPECT_EQ("", IniFile::trimString(" \t ", " \t"));
}
