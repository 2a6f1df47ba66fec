#include "common/Lpc/LpcProject.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "common/KavoriProductInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/JVariant.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

int32_t remainingNum()
{
    JVariant value;
    EXPECT_TRUE(
        JLIB::isSuccess(LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/Project/remainingNum", 0, 0, value)));
    return value.toInt32();
}

TEST(LpcProjectExtensionTest, TheExtensionIsAppendedUnlessTheTextEndsInItExactly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"show", "show.vexaprj"},
        {"show.vexaprj", "show.vexaprj"},
        {"a.vexaprj", "a.vexaprj"},
        {".vexaprj", ".vexaprj.vexaprj"},          // the extension alone is no name
        {"show.VEXAPRJ", "show.VEXAPRJ.vexaprj"},  // case counts
        {"show.vexapr", "show.vexapr.vexaprj"},
        {"", ".vexaprj"},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        std::string text = in;
        EXPECT_EQ(0u, LPC::Project::appendExtension(text));
        EXPECT_EQ(out, text);
    }
}

TEST(LpcProjectContentsTest, TheFourItemsLieBelowTheUserFolderOfTheFirstCall)
{
    TempFolder user;
    KAVORI::KavoriProductInfo::getInstance().setUserFolder(user.path());
    const PDB::ProjectFile::ItemMap& items = LPC::ProjectFileContentsMurUZ::getConfig();
    const PDB::ProjectFile::ItemMap expected = {{"Current", user.path() + "/Current"},
                                                {"CurrentList", user.path() + "/CurrentList"},
                                                {"Preset:3DRev", user.path() + "/Preset/3DRev"},
                                                {"Snapshot", user.path() + "/Snapshot"}};
    EXPECT_EQ(expected, items);
    KAVORI::KavoriProductInfo::getInstance().setUserFolder(user.path() + "/other");
    EXPECT_EQ(&items, &LPC::ProjectFileContentsMurUZ::getConfig());
    EXPECT_EQ(expected, LPC::ProjectFileContentsMurUZ::getConfig());
}

// Records what "/Project/remainingNum" holds after each progress call.
class CountingNotifier : public LPC::ProjectProcessNotifier {
public:
    uint32_t onMBDFProgressChanged(ProgressType type, uint32_t done, uint32_t total, const char* path,
                                   const char* message, bool finished) override
    {
        const uint32_t result =
            ProjectProcessNotifier::onMBDFProgressChanged(type, done, total, path, message, finished);
        seen.push_back(remainingNum());
        return result;
    }
    std::vector<int32_t> seen;
};

class LpcProjectTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", m_databases.create());
        for (const char* folder : {"Current", "CurrentList", "Preset/3DRev", "Snapshot"}) {
            std::filesystem::create_directories(m_user.file(folder));
            m_items[std::string(folder) == "Preset/3DRev" ? "Preset:3DRev" : folder] = m_user.file(folder);
        }
        m_user.write("Current/CurrentBackupFile.bup", "current");
        m_user.write("CurrentList/CurrentListBackupFile.bup", "list");
        m_user.write("Preset/3DRev/A.vexap", "preset");
        m_user.write("Snapshot/B.vexas", "scene");
        ASSERT_EQ(0u, m_project.initialize(0, 0, m_items, nullptr));
    }
    std::map<std::string, std::string> contents()
    {
        std::map<std::string, std::string> all;
        for (const char* folder : {"Current", "CurrentList", "Preset/3DRev", "Snapshot"}) {
            for (const auto& entry : std::filesystem::directory_iterator(m_user.file(folder))) {
                const std::string name = std::string(folder) + "/" + entry.path().filename().string();
                all[name] = m_user.read(name);
            }
        }
        return all;
    }

    TempFolder m_user;
    LpcTest::ShippedDatabases m_databases;
    PDB::ProjectFile::ItemMap m_items;
    LPC::Project m_project;
};

TEST_F(LpcProjectTest, SaveAndLoadAddTheExtensionAndLoadPutsTheFoldersBackCountingDown)
{
    const auto saved = contents();
    CountingNotifier saving;
    ASSERT_EQ(0u, m_project.save(m_user.file("show").c_str(), "", "", nullptr, &saving));
    EXPECT_TRUE(std::filesystem::exists(m_user.file("show.vexaprj")));
    ASSERT_FALSE(saving.seen.empty());
    EXPECT_EQ(0, saving.seen.back());
    // Saving under the name with the extension writes the same file.
    ASSERT_EQ(0u, m_project.save(m_user.file("show.vexaprj").c_str(), "c", "o", nullptr, nullptr));
    EXPECT_FALSE(std::filesystem::exists(m_user.file("show.vexaprj.vexaprj")));

    std::filesystem::remove(m_user.file("Snapshot/B.vexas"));
    m_user.write("Snapshot/C.vexas", "later");
    m_user.write("Current/CurrentBackupFile.bup", "changed");
    CountingNotifier loading;
    ASSERT_EQ(0u, m_project.load(m_user.file("show").c_str(), nullptr, &loading, nullptr));
    EXPECT_EQ(saved, contents());
    // Four files: the count goes down to 0 without a step up.
    ASSERT_FALSE(loading.seen.empty());
    EXPECT_EQ(0, loading.seen.back());
    EXPECT_GE(loading.seen.front(), 3);
    for (size_t i = 1; i < loading.seen.size(); ++i) EXPECT_LE(loading.seen[i], loading.seen[i - 1]);
}

TEST_F(LpcProjectTest, NullArgumentsAndMissingFilesAreRefused)
{
    EXPECT_EQ(kFailed, m_project.save(nullptr, "", "", nullptr, nullptr));
    EXPECT_EQ(kFailed, m_project.save(m_user.file("show").c_str(), nullptr, "", nullptr, nullptr));
    EXPECT_EQ(kFailed, m_project.save(m_user.file("show").c_str(), "", nullptr, nullptr, nullptr));
    EXPECT_FALSE(std::filesystem::exists(m_user.file("show.vexaprj")));
    EXPECT_EQ(kFailed, m_project.load(nullptr, nullptr, nullptr, nullptr));
    const auto before = contents();
    EXPECT_TRUE(JLIB::isFailure(m_project.load(m_user.file("missing").c_str(), nullptr, nullptr, nullptr)));
    EXPECT_EQ(before, contents());
}

TEST_F(LpcProjectTest, TheNotifierNeverCountsBelowZeroAndPrintsErrors)
{
    LPC::ProjectProcessNotifier notifier;
    EXPECT_EQ(0u, notifier.onMBDFProgressChanged(FILECACHE::IMBDFObserver::PROGRESS_READ, 2, 7, "", "", false));
    EXPECT_EQ(5, remainingNum());
    EXPECT_EQ(0u, notifier.onMBDFProgressChanged(FILECACHE::IMBDFObserver::PROGRESS_READ, 9, 7, "", "", true));
    EXPECT_EQ(0, remainingNum());
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, notifier.onMBDFErrorOccurred(FILECACHE::IMBDFObserver::PROGRESS_WRITE, "x.vexas", 0x80000001u));
    EXPECT_EQ(0u, notifier.onMBDFErrorOccurred(FILECACHE::IMBDFObserver::PROGRESS_WRITE, nullptr, 1));
    EXPECT_EQ(
        "[E] ERROR Occur on Project Processing  [x.vexas]  erroode=80000001\n"
        "[E] ERROR Occur on Project Processing  []  erroode=00000001\n",
        testing::internal::GetCapturedStdout());
}

}  // namespace
