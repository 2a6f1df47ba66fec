#pragma once
// The shipped databases with a scene list set up on a scene folder and an undo folder of a fresh
// user folder, and small readers and writers of the device database for scene tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_UniqId.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcSceneList.h"
#include "jlib/JVariant.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace LpcTest {

constexpr const char* kFader = "/OBA/Object/Fader/Level";
constexpr const char* kSceneNumber = "/SceneList/Bank/Info/SceneNumber";
constexpr const char* kFileName = "/SceneList/Bank/Info/FileName";
constexpr const char* kStatusTitle = "/SceneStatus/Bank/Info/Title";
constexpr const char* kStatusComment = "/SceneStatus/Bank/Info/Comment";
constexpr const char* kStatusProtect = "/SceneStatus/Bank/Info/Protect";
constexpr const char* kLast = "/Scene/Last/SceneNumber";
constexpr const char* kEditFlag = "/Scene/Current/EditFlag";

class SceneFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", m_databases.create());
        std::filesystem::create_directories(undoFolder());
        ASSERT_TRUE(JLIB::isSuccess(m_list.initialize(sceneFolder().c_str(), undoFolder().c_str())));
    }

    std::string sceneFolder() const { return m_user.file("Snapshot"); }
    std::string undoFolder() const { return m_user.file("Backup"); }
    std::string sceneFile(const std::string& name) const { return sceneFolder() + "/" + name; }
    std::string undoFile(const char* name) const { return undoFolder() + "/" + name; }

    static PDB::IParameterDB& db() { return LPC::getLpcPDB(); }
    static JVariant get(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x)
    {
        JVariant value;
        EXPECT_TRUE(JLIB::isSuccess(LPC::pdb_getParam(category, address, x, 0, value))) << address;
        return value;
    }
    static void set(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, const JVariant& value)
    {
        ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParam(category, address, x, 0, value, 255))) << address;
    }
    static std::string text(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x = 0)
    {
        const JVariant value = get(category, address, x);
        const char* s = value.toString();
        return s ? s : "<none>";
    }
    static void setText(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, const std::string& value)
    {
        ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParamT<const char*>(category, address, x, 0, value.c_str())));
    }
    static int32_t fader(uint32_t object = 0) { return get(LPC::CATEGORY_PDBTYPE_UZCURRENT, kFader, object).toInt32(); }
    static void setFader(int32_t value, uint32_t object = 0)
    {
        set(LPC::CATEGORY_PDBTYPE_UZCURRENT, kFader, object, JVariant(value));
    }
    static std::string number(uint32_t slot) { return text(LPC::CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber, slot); }
    static std::string fileOf(uint32_t slot) { return text(LPC::CATEGORY_PDBTYPE_UZSCENELIST, kFileName, slot); }
    static std::string title(uint32_t slot) { return text(LPC::CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusTitle, slot); }
    static std::string last() { return text(LPC::CATEGORY_PDBTYPE_UZSETUP, kLast); }
    static int32_t canDo(const char* flag)
    {
        return get(LPC::CATEGORY_PDBTYPE_UZVOLATILE, (std::string("/Scene/Status/") + flag).c_str(), 0).toInt32();
    }
    // The live scene information ("SnapshotInfo").
    static JLIB::JResult setLiveInfo(const char* address, const JVariant& value)
    {
        PDB::IParameterDB& info = LPC::getSnapshotInfoPDB();
        return info.setVariant(info.getAddressId(PDB::UniqId(0), address), 0, 0, value, 255);
    }
    static std::string liveText(const char* address)
    {
        PDB::IParameterDB& info = LPC::getSnapshotInfoPDB();
        JVariant value;
        (void)info.getVariant(value, info.getAddressId(PDB::UniqId(0), address), 0, 0, nullptr);
        const char* s = value.toString();
        return s ? s : "<none>";
    }
    // The scene files in the scene folder, by name.
    std::vector<std::string> sceneFiles() const
    {
        std::vector<std::string> names;
        if (!std::filesystem::exists(sceneFolder())) return names;
        for (const auto& entry : std::filesystem::directory_iterator(sceneFolder())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    std::string bytes(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TempFolder m_user;
    ShippedDatabases m_databases;
    LPC::SceneList m_list;  // after the databases: gone before them
};

}  // namespace LpcTest
