#include "common/KavoriPDBConfig.h"

#include <gtest/gtest.h>

#include <string>

TEST(KavoriPDBConfigTest, ListsElevenDatabasesWithTheirPortsAndClasses)
{
    struct Row {
        const char* name;
        const char* port;
        uint32_t syncClass;
    };
    const Row rows[] = {
        {"Profile", "PRF", 1},     {"DeviceSetup", "DVS", 1},  {"StaticSetup", "STS", 1}, {"LocalSetup", "LCS", 0},
        {"VDeviceSetup", "VDS", 0}, {"CommonSetup", "CMS", 2}, {"Status", "STT", 1},      {"SnapshotInfo", "SSI", 0},
        {"PresetInfo", "PSI", 0},  {"ProjectInfo", "PJI", 0},  {"Component", "CMP", 2},
    };
    ASSERT_EQ(11u, KAVORI::getPDBConfigNum());
    for (uint32_t i = 0; i < KAVORI::getPDBConfigNum(); ++i) {
        SCOPED_TRACE(i);
        const KAVORI::PDBConfigItem* item = KAVORI::getPDBConfig(i);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(i, item->index);
        EXPECT_EQ(std::string(rows[i].name), item->name);
        EXPECT_EQ(std::string(rows[i].port), item->portName);
        EXPECT_EQ(rows[i].syncClass, item->syncClass);
    }
    EXPECT_EQ(nullptr, KAVORI::getPDBConfig(11));
    EXPECT_EQ(nullptr, KAVORI::getPDBConfig(0xFFFFFFFFu));
}
