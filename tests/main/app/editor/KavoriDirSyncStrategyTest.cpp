#include "editor/KavoriDirSyncStrategy.h"

#include <gtest/gtest.h>

using KAVORI::KavoriDirSyncStrategy;

TEST(KavoriDirSyncStrategyTest, SendsOnlyFilesWithTheFolderExtensionInAnyCase)
{
    struct Case {
        const char* extension;
        const char* path;
        bool filtered;
    };
    const Case cases[] = {
        {"vexas", "0123ABCD.vexas", false},
        {"vexas", "0123ABCD.VEXAS", false},
        {"vexas", "0123ABCD.vexas.old", true},  // a backup copy
        {"vexas", "README", true},
        {"vexas", "notes.txt", true},
        {"vexas", "", true},
        {"vexas", "old.d/scene", true},  // the last dot belongs to the folder
        {"vexas", "sub/a.vexas", false},
        {"vexas", "a.", true},
        {"", "README", false},  // no extension: everything goes
        {"", "a.vexas", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + c.path);
        KavoriDirSyncStrategy filter;
        ASSERT_EQ(0u, filter.set(nullptr, c.extension));
        EXPECT_EQ(c.filtered, filter.isSendFiltered(c.path));
    }
}

TEST(KavoriDirSyncStrategyTest, LeavesOutAnAbsentPathAndTakesAnAbsentExtensionAsEmpty)
{
    KavoriDirSyncStrategy filter;
    EXPECT_TRUE(filter.isSendFiltered(nullptr));
    ASSERT_EQ(0u, filter.set(nullptr, nullptr));
    EXPECT_EQ("", filter.extension());
    EXPECT_FALSE(filter.isSendFiltered("no-dot"));
    EXPECT_TRUE(filter.isSendFiltered(nullptr));
}

TEST(KavoriDirSyncStrategyTest, ComparesTextsWithoutRegardToCase)
{
    EXPECT_EQ(0, KAVORI::StrICmp("VexAP", "vexap"));
    EXPECT_LT(KAVORI::StrICmp("abc", "ABD"), 0);
    EXPECT_GT(KAVORI::StrICmp("abcd", "ABC"), 0);  // then by length
    EXPECT_EQ('q', KAVORI::toLower('Q'));
    EXPECT_EQ('1', KAVORI::toLower('1'));
}
