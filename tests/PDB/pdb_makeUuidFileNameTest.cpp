#include "PDB/pdb_makeUuidFileName.h"

#include <gtest/gtest.h>

#include <string>

TEST(MakeUuidFileNameTest, NamesAreUpperCaseHexWithTheExtension)
{
    struct Case {
        const char* extension;
        size_t length;
        const char* suffix;
    };
    const Case cases[] = {
        {"dat", 36, ".dat"},
        {"vexas", 38, ".vexas"},
        {"", 32, ""},
        {nullptr, 32, ""},
    };
    std::string previous;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension ? c.extension : "(null)");
        std::string name = "poison";
        ASSERT_EQ(0u, PDB::makeUuidFileName(name, c.extension));
        ASSERT_EQ(c.length, name.size());
        EXPECT_EQ(c.suffix, name.substr(32));
        EXPECT_EQ(std::string::npos, name.substr(0, 32).find_first_not_of("0123456789ABCDEF")) << name;
        EXPECT_NE(previous.substr(0, 32), name.substr(0, 32));  // every call takes a fresh id
        previous = name;
    }
}

TEST(MakeUuidFileNameTest, RefusesANameTheFileLayerWouldRefuse)
{
    for (const char* extension : {"a*b", "x:y", "q?", "tab\t"}) {
        SCOPED_TRACE(extension);
        std::string name = "poison";
        EXPECT_EQ(0x80000000u, PDB::makeUuidFileName(name, extension));
        EXPECT_TRUE(name.empty());
    }
}
