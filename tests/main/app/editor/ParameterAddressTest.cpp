#include "editor/ParameterAddress.h"

#include <gtest/gtest.h>

using VDProtocol::ParameterAddress;

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

}  // namespace

TEST(ParameterAddressTest, DividesAddressesOrRefusesThem)
{
    struct Case {
        const char* address;
        bool ok;
        const char* db;
        uint32_t id;
        const char* path;
        int32_t x;
        int32_t y;
    };
    const Case cases[] = {
        {"AudioCompo/#30000/Level:0:-1", true, "AudioCompo", 30000, "/Level", 0, -1},
        {"Profile/#0x10/A/B:2:3", true, "Profile", 16, "/A/B", 2, 3},
        {"Profile/#1/Name::4:5", true, "Profile", 1, "/Name", 4, 5},  // the empty piece is skipped
        {"Profile/#1/Name:x1F:010", true, "Profile", 1, "/Name", 31, 8},
        {"Profile/#1/Name:-2:4294967295", true, "Profile", 1, "/Name", -2, -1},
        {"Profile/#1/Name:1", false},
        {"Profile/#1/Name:1:2:3", false},
        {"Profile/1/Name:1:2", false},   // no "#"
        {"Profile:1:2", false},          // no "/"
        {"Profile/#1:1:2", false},       // no path
        {"Profile/#1/Name:1.5:0", false},  // an index has no fraction
        {"Profile/#/Name:1:0", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        std::string db = "poison", path = "poison";
        uint32_t id = 0x5A5A5A5A;
        int32_t x = 0x5A5A5A5A, y = 0x5A5A5A5A;
        const JLIB::JResult result = ParameterAddress::divide(db, id, path, x, y, c.address);
        EXPECT_EQ(c.ok, JLIB::isSuccess(result)) << std::hex << result;
        if (!c.ok) {
            EXPECT_EQ("poison", db);
            continue;
        }
        EXPECT_EQ(c.db, db);
        EXPECT_EQ(c.id, id);
        EXPECT_EQ(c.path, path);
        EXPECT_EQ(c.x, x);
        EXPECT_EQ(c.y, y);
    }
    std::string db, path;
    uint32_t id = 0;
    int32_t x = 0, y = 0;
    EXPECT_EQ(kFailed, ParameterAddress::divide(db, id, path, x, y, "Profile/1/Name:1:2"));
    EXPECT_EQ(kFailed, ParameterAddress::divide(db, id, path, x, y, "Profile:1:2"));
}

TEST(ParameterAddressTest, DividesComponentAddresses)
{
    std::string db;
    uint32_t id = 0;
    ASSERT_EQ(0u, ParameterAddress::divide(db, id, "Profile/#7"));
    EXPECT_EQ("Profile", db);
    EXPECT_EQ(7u, id);
    ASSERT_EQ(0u, ParameterAddress::divide(db, id, "#9"));  // no "/": the whole text both ways
    EXPECT_EQ("#9", db);
    EXPECT_EQ(9u, id);
    EXPECT_EQ(kFailed, ParameterAddress::divide(db, id, "Profile/7"));
}

TEST(ParameterAddressTest, JoinsInUnsignedDecimal)
{
    std::string address;
    ASSERT_EQ(0u, ParameterAddress::join(address, "Profile", 1, "/Name", 2, 3));
    EXPECT_EQ("Profile/#1/Name:2:3", address);
    ASSERT_EQ(0u, ParameterAddress::join(address, "AudioCompo", 30000, "/Level", uint32_t(-1), 0));
    EXPECT_EQ("AudioCompo/#30000/Level:4294967295:0", address);
    // What join writes, divide reads back (the wildcard included).
    std::string db, path;
    uint32_t id = 0;
    int32_t x = 0, y = 0;
    ASSERT_EQ(0u, ParameterAddress::divide(db, id, path, x, y, address));
    EXPECT_EQ(-1, x);
    EXPECT_EQ(kFailed, ParameterAddress::join(address, "", 1, "/Name", 0, 0));
    EXPECT_EQ(kFailed, ParameterAddress::join(address, "Profile", 1, "", 0, 0));
    ASSERT_EQ(0u, ParameterAddress::join(address, "Profile", 5));
    EXPECT_EQ("Profile/#5", address);
    EXPECT_EQ(kFailed, ParameterAddress::join(address, "", 5));
}
