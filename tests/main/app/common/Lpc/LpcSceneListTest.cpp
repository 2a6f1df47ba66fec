#include "common/Lpc/LpcSceneList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include "PDB/pdb_SnapshotFile.h"
#include "common/Lpc/LpcRecallSafe.h"
#include "main/app/common/Lpc/LpcSceneFixture.h"

namespace {

using LPC::CATEGORY_PDBTYPE_UZCURRENT;
using LPC::CATEGORY_PDBTYPE_UZSCENELIST;
using LPC::CATEGORY_PDBTYPE_UZSCENESTATUS;
using LPC::CATEGORY_PDBTYPE_UZSETUP;
using LpcTest::kFileName;
using LpcTest::kLast;
using LpcTest::kSceneNumber;
using LpcTest::kStatusComment;
using LpcTest::kStatusProtect;
using LpcTest::kStatusTitle;

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr JLIB::JResult kProtected = 0x80000008u;

std::string captured() { return testing::internal::GetCapturedStdout(); }

class SceneListTest : public LpcTest::SceneFixture {
protected:
    void store(const char* number, const char* title = "t", const char* comment = "c")
    {
        ASSERT_TRUE(JLIB::isSuccess(m_list.store(number, title, comment, false))) << number;
    }
    // The title stored inside a scene file.
    std::string titleInFile(const std::string& name)
    {
        PDB::SnapshotData scene;
        EXPECT_EQ(0u, scene.initialize("MUR-UZ", 0, 0, PDB::SnapshotContentsList(), sceneFolder().c_str()));
        if (scene.load(name.c_str()) != 0) return "<unreadable>";
        PDB::IParameterDB& info = scene.snapshotInfo();
        JVariant value;
        (void)info.getVariant(value, info.getAddressId(PDB::UniqId(0), "/Info/Title"), 0, 0, nullptr);
        return value.toString() ? value.toString() : "<none>";
    }
};

TEST_F(SceneListTest, ANewNumberTakesTheFirstVacantSlotAndAFreshFileAndNumbersCompareAsWholeTexts)
{
    setFader(-100);
    store("1.0", "first", "one");
    store("1.00", "second", "two");
    EXPECT_EQ("1.0", number(0));
    EXPECT_EQ("1.00", number(1));
    const std::regex uuidName("[0-9A-F]{32}\\.vexas");
    for (uint32_t slot : {0u, 1u}) {
        SCOPED_TRACE(slot);
        EXPECT_TRUE(std::regex_match(fileOf(slot), uuidName)) << fileOf(slot);
        EXPECT_TRUE(std::filesystem::is_regular_file(sceneFile(fileOf(slot))));
    }
    EXPECT_NE(fileOf(0), fileOf(1));
    EXPECT_EQ("first", title(0));
    EXPECT_EQ("two", text(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusComment, 1));
    EXPECT_EQ("second", titleInFile(fileOf(1)));
    EXPECT_EQ("1.00", last());

    // The file is a real scene: "MUR-UZ" of type "Snapshot" holding the current settings.
    PDB::SnapshotData scene;
    ASSERT_EQ(0u, scene.initialize("MUR-UZ", 0, 0, PDB::SnapshotContentsList(), sceneFolder().c_str()));
    ASSERT_EQ(0u, scene.load(fileOf(0).c_str()));
    setFader(500);
    ASSERT_EQ(0u, scene.recall());
    EXPECT_EQ(-100, fader());

    // A vacated slot is the first vacant one again.
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("1.0", false)));
    store("2");
    EXPECT_EQ("2", number(0));
    EXPECT_EQ("1.00", number(1));
    EXPECT_EQ(2u, sceneFiles().size());
}

TEST_F(SceneListTest, AnOverwriteKeepsSlotAndFileAndUpdateUndoBringsTheOldSceneBack)
{
    setFader(-100);
    store("1", "old title", "old comment");
    store("2");
    const std::string name = fileOf(0);
    const std::string before = bytes(sceneFile(name));
    EXPECT_EQ(0, canDo("CanUpdateUndo"));

    setFader(-200);
    ASSERT_TRUE(JLIB::isSuccess(m_list.store("1", "new title", "new comment", false)));
    EXPECT_EQ(name, fileOf(0));
    EXPECT_EQ("1", number(0));
    EXPECT_EQ(2u, sceneFiles().size());
    EXPECT_EQ(before, bytes(undoFile("storeUndo")));
    EXPECT_EQ("new title", title(0));
    EXPECT_EQ("1", last());
    EXPECT_EQ(1, canDo("CanUpdateUndo"));

    ASSERT_TRUE(JLIB::isSuccess(m_list.updateUndo(false, false)));
    EXPECT_EQ(before, bytes(sceneFile(name)));
    EXPECT_FALSE(std::filesystem::exists(undoFile("storeUndo")));
    EXPECT_EQ("old title", title(0));
    EXPECT_EQ("old comment", text(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusComment, 0));
    EXPECT_EQ(-200, fader());  // the current settings stay
    EXPECT_EQ(0, canDo("CanUpdateUndo"));

    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.updateUndo(false, false));
    EXPECT_EQ("[UZ] updateUndo\n[UZ] ... error can't updateUndo, Scene Overwrite has not executed\n", captured());
}

TEST_F(SceneListTest, AFullListRefusesANewNumberAndWritesNothing)
{
    for (uint32_t slot = 0; slot < LPC::kSceneSlotNum; ++slot) {
        setText(CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber, slot, "n" + std::to_string(slot));
    }
    setText(CATEGORY_PDBTYPE_UZSETUP, kLast, 0, "n5");
    EXPECT_EQ(kFailed, m_list.store("new", "t", "c", false));
    EXPECT_TRUE(sceneFiles().empty());
    EXPECT_EQ("n5", last());
    EXPECT_EQ("", fileOf(0));
    EXPECT_EQ(LPC::kSceneSlotNum, LPC::getValidSceneNum());
}

TEST_F(SceneListTest, ProtectedScenesRefuseStoreAndDeleteAndBothMarksRefuseTheSceneObject)
{
    store("1", "kept", "c");
    ASSERT_TRUE(JLIB::isSuccess(m_list.setProtect("1", 1)));
    EXPECT_EQ(1, get(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusProtect, 0).toInt32());
    EXPECT_EQ(0, canDo("CanUpdate"));  // the last scene is protected
    const std::string name = fileOf(0);
    const std::string before = bytes(sceneFile(name));

    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.store("1", "other", "c", false));
    EXPECT_EQ(kFailed, m_list.remove("1", false));
    EXPECT_EQ("[UZ] ... error can't update, Scene is protected\n[UZ] ... error can't delete, Scene is protected\n",
              captured());
    EXPECT_EQ(before, bytes(sceneFile(name)));
    EXPECT_EQ("1", number(0));
    EXPECT_EQ("kept", title(0));
    EXPECT_FALSE(std::filesystem::exists(undoFile("storeUndo")));
    EXPECT_FALSE(std::filesystem::exists(undoFile("removeUndo")));
    EXPECT_EQ(kFailed, m_list.setProtect("missing", 1));

    // The mark is in the file: a refresh brings it back to the status.
    set(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusProtect, 0, JVariant(0));
    ASSERT_TRUE(JLIB::isSuccess(m_list.refresh()));
    EXPECT_EQ(1, get(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusProtect, 0).toInt32());

    // The scene object holds the protected scene and the live information is protected too.
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("1", false, {})));
    ASSERT_TRUE(JLIB::isSuccess(setLiveInfo("/Info/Protect", JVariant(1u))));
    EXPECT_EQ(kProtected, m_list.store("2", "t", "c", false));
    EXPECT_EQ("", number(1));
    EXPECT_EQ("", fileOf(1));
    EXPECT_EQ(1u, sceneFiles().size());

    // Unprotected again, the scene can be overwritten and deleted.
    ASSERT_TRUE(JLIB::isSuccess(setLiveInfo("/Info/Protect", JVariant(0u))));
    ASSERT_TRUE(JLIB::isSuccess(m_list.setProtect("1", 0)));
    EXPECT_EQ(1, canDo("CanUpdate"));
    EXPECT_TRUE(JLIB::isSuccess(m_list.store("1", "t", "c", false)));
    EXPECT_TRUE(JLIB::isSuccess(m_list.remove("1", false)));
}

TEST_F(SceneListTest, RecallWritesTheSceneUnderTheLockAndNamesItAfterwardsLeavingTheInformationAlone)
{
    setFader(-100);
    store("A", "title A", "c");
    store("B", "title B", "c");
    setFader(-300);
    ASSERT_TRUE(JLIB::isSuccess(setLiveInfo("/Info/Title", JVariant("live", 64))));

    bool heldInFollowUp = false;
    std::string lastInFollowUp;
    testing::internal::CaptureStdout();
    const JLIB::JResult result = m_list.recall("A", true, [&]() -> uint32_t {
        heldInFollowUp = m_databases.lock().isHeldByCaller();
        lastInFollowUp = last();
        return 0;
    });
    // The recall's log ends with the stopwatch's first mark.
    const std::string out = captured();
    const std::string logged = "[UZ] recall [A]\n[UZ] recall file [" + fileOf(0) + "]\n";
    EXPECT_EQ(logged, out.substr(0, logged.size()));
    EXPECT_TRUE(std::regex_match(out.substr(logged.size()), std::regex("lap time\\[1\\] [0-9]+\\.[0-9]{6}\\[ms\\]\n")))
        << out;
    ASSERT_TRUE(JLIB::isSuccess(result));
    EXPECT_TRUE(heldInFollowUp);
    EXPECT_EQ("B", lastInFollowUp);
    EXPECT_FALSE(m_databases.lock().isHeldByCaller());
    EXPECT_EQ(-100, fader());
    EXPECT_EQ("A", last());
    EXPECT_EQ("live", liveText("/Info/Title"));
    EXPECT_EQ("title B", title(1));
    EXPECT_EQ(1, canDo("CanRecallUndo"));

    // A failing follow-up fails the recall, which then names no scene.
    EXPECT_TRUE(JLIB::isFailure(m_list.recall("B", false, []() -> uint32_t { return kFailed; })));
    EXPECT_EQ("A", last());
}

TEST_F(SceneListTest, RecallOfAnUnknownNumberKeepsTheSettingsButRefillsTheRecallUndoBuffer)
{
    store("A");
    setFader(-300);
    EXPECT_EQ(0, canDo("CanRecallUndo"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.recall("missing", false, {}));
    EXPECT_EQ("[UZ] ... error no scene [missing]\n", captured());
    EXPECT_EQ(-300, fader());
    EXPECT_EQ("A", last());
    EXPECT_TRUE(m_list.canRecallUndo());
}

TEST_F(SceneListTest, ASceneWhoseFileIsGoneFailsToLoadAndLaterStoresStillWork)
{
    store("A");
    ASSERT_TRUE(std::filesystem::remove(sceneFile(fileOf(0))));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(JLIB::isFailure(m_list.recall("A", false, {})));
    EXPECT_EQ("[UZ] ... error can't load [" + fileOf(0) + "]\n", captured());
    setFader(-700);
    store("B");
    setFader(0);
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("B", false, {})));
    EXPECT_EQ(-700, fader());
}

TEST_F(SceneListTest, RecallUndoTogglesTheSettingsAndTheLastSceneNumber)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.recallUndo(false, false));
    EXPECT_EQ("[UZ] ... error can't RecallUndo, RecallUndo buffer is not cached\n", captured());

    setFader(-100);
    store("A");
    setFader(-200);
    store("B");
    setFader(-300);  // edited after B
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("A", false, {})));
    EXPECT_EQ(-100, fader());

    ASSERT_TRUE(JLIB::isSuccess(m_list.recallUndo(false, false)));
    EXPECT_EQ(-300, fader());
    EXPECT_EQ("B", last());
    EXPECT_EQ(1, canDo("CanRecallUndo"));
    ASSERT_TRUE(JLIB::isSuccess(m_list.recallUndo(false, false)));
    EXPECT_EQ(-100, fader());
    EXPECT_EQ("A", last());

    // A store of a new scene drops it.
    store("C");
    EXPECT_EQ(0, canDo("CanRecallUndo"));
    EXPECT_EQ(kFailed, m_list.recallUndo(true, false));
}

TEST_F(SceneListTest, OverwritingTheLastSceneKeepsRecallUndoAndAnotherSceneDropsIt)
{
    store("A");
    store("B");
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("A", false, {})));
    store("A");  // the last scene
    EXPECT_TRUE(m_list.canRecallUndo());
    store("B");
    EXPECT_FALSE(m_list.canRecallUndo());
}

TEST_F(SceneListTest, TheRecallUndoBufferRefusesWhenItsAndTheLiveInformationAreProtected)
{
    store("A");
    ASSERT_TRUE(JLIB::isSuccess(setLiveInfo("/Info/Protect", JVariant(1u))));
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("A", false, {})));  // the buffer takes the protected information
    setFader(-900);
    testing::internal::CaptureStdout();
    EXPECT_EQ(kProtected, m_list.recall("A", false, {}));
    EXPECT_EQ("[UZ] ... error can not make 'recall undo'\n", captured());
    EXPECT_EQ(-900, fader());
}

TEST_F(SceneListTest, ADeletedSceneComesBackIntoTheFirstVacantSlot)
{
    store("1", "one", "c1");
    store("2", "two", "c2");
    store("3", "three", "c3");
    const std::string file3 = fileOf(2);
    const std::string before = bytes(sceneFile(file3));
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("1", false)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("3", false)));
    EXPECT_FALSE(std::filesystem::exists(sceneFile(file3)));
    EXPECT_EQ(before, bytes(undoFile("removeUndo")));
    EXPECT_EQ("", number(2));
    EXPECT_EQ("", fileOf(2));
    EXPECT_EQ("", title(2));
    EXPECT_EQ("3", last());  // still the deleted scene
    EXPECT_EQ(1, canDo("CanUpdate"));
    EXPECT_EQ(1, canDo("CanFileUndo"));
    EXPECT_EQ(LPC::CATEGORY_FILEOPERATION_REMOVE, m_list.lastFileOperation());

    ASSERT_TRUE(JLIB::isSuccess(m_list.fileUndo(false, false)));
    EXPECT_EQ("3", number(0));
    EXPECT_EQ(file3, fileOf(0));
    EXPECT_EQ("three", title(0));
    EXPECT_EQ(before, bytes(sceneFile(file3)));
    EXPECT_FALSE(std::filesystem::exists(undoFile("removeUndo")));
    EXPECT_EQ(0, canDo("CanFileUndo"));

    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.fileUndo(false, false));
    EXPECT_EQ("[UZ] fileUndo\n[UZ] ... error can't fileUndo, Neither Delete nor Duplicate has executed\n", captured());

    // An update of the deleted last number stores it as a new scene.
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("2", false)));
    store("2");
    EXPECT_EQ("2", number(1));
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.removeUndo(false, false));
    EXPECT_EQ("[UZ] deleteUndo\n[UZ] ... error can't deleteUndo, Delete has not executed\n", captured());
}

TEST_F(SceneListTest, ADuplicateCopiesTheSourceFileToANewOrAnExistingScene)
{
    setFader(-100);
    store("src", "source", "c");
    setFader(-200);
    store("dst", "destination", "c");
    const std::string sourceBytes = bytes(sceneFile(fileOf(0)));
    const std::string destinationFile = fileOf(1);
    const std::string destinationBytes = bytes(sceneFile(destinationFile));

    // Onto a new number: the first vacant slot, a fresh file; no undo.
    ASSERT_TRUE(JLIB::isSuccess(m_list.duplicate("src", "new", "given", "gc", false)));
    EXPECT_EQ("new", number(2));
    EXPECT_NE(fileOf(0), fileOf(2));
    EXPECT_EQ(sourceBytes, bytes(sceneFile(fileOf(2))));
    EXPECT_EQ("given", title(2));
    EXPECT_EQ("given", liveText("/Info/Title"));
    EXPECT_EQ("dst", last());
    EXPECT_EQ(0, canDo("CanFileUndo"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.fileUndo(false, false));
    EXPECT_EQ("[UZ] duplicateUndo\n[UZ] ... error can't duplicateUndo, Duplicate has not executed\n", captured());
    EXPECT_EQ("new", number(2));

    // A delete first, then onto an existing scene: its slot and file; the undo takes the duplicate back.
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("new", false)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.duplicate("src", "dst", "given2", "gc2", false)));
    EXPECT_FALSE(std::filesystem::exists(undoFile("removeUndo")));
    EXPECT_EQ(destinationFile, fileOf(1));
    EXPECT_EQ(sourceBytes, bytes(sceneFile(destinationFile)));
    EXPECT_EQ(destinationBytes, bytes(undoFile("copyUndo")));
    EXPECT_EQ("given2", title(1));
    EXPECT_EQ(1, canDo("CanFileUndo"));
    ASSERT_TRUE(JLIB::isSuccess(m_list.fileUndo(false, false)));
    EXPECT_EQ(destinationBytes, bytes(sceneFile(destinationFile)));
    EXPECT_EQ("destination", title(1));
    EXPECT_FALSE(std::filesystem::exists(undoFile("copyUndo")));
    EXPECT_EQ(0, canDo("CanFileUndo"));
}

TEST_F(SceneListTest, ADuplicateIsRefusedForTheSameNumberAProtectedDestinationOrAMissingSource)
{
    store("src");
    store("dst");
    ASSERT_TRUE(JLIB::isSuccess(m_list.setProtect("dst", 1)));
    struct Case {
        const char* source;
        const char* destination;
        const char* line;
    };
    const Case cases[] = {
        {"src", "src", "[UZ] ... error can't duplicate, Src and Dest scene are the same\n"},
        {"src", "dst", "[UZ] ... error can't duplicate, Dest scene is protected\n"},
        {"none", "x", "[UZ] ... error can't duplicate, Src scene not found\n"},
        {nullptr, "x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        testing::internal::CaptureStdout();
        EXPECT_EQ(kFailed, m_list.duplicate(c.source, c.destination, "t", "c", false));
        EXPECT_EQ(c.line, captured());
        EXPECT_EQ(2u, sceneFiles().size());
        EXPECT_EQ("", number(2));
    }
}

TEST_F(SceneListTest, AProtectedSceneRefusesItsUpdateUndoAndDuplicateUndo)
{
    store("A");
    store("B");
    store("A");  // kept for update undo
    ASSERT_TRUE(JLIB::isSuccess(m_list.duplicate("A", "B", "t", "c", false)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.setProtect("B", 1)));
    EXPECT_EQ(0, canDo("CanFileUndo"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.duplicateUndo(false, false));
    EXPECT_EQ("[UZ] duplicateUndo\n[UZ] ... error can't duplicateUndo, Scene (1)[" + fileOf(1) + "] is protected\n",
              captured());
    EXPECT_TRUE(std::filesystem::exists(undoFile("copyUndo")));  // kept until the next clearing

    store("C");
    store("C");
    ASSERT_TRUE(JLIB::isSuccess(m_list.setProtect("C", 1)));
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.updateUndo(false, false));
    EXPECT_EQ("[UZ] updateUndo\n[UZ] ... error can't updateUndo, Scene (2)[" + fileOf(2) + "] is protected\n",
              captured());
    EXPECT_TRUE(std::filesystem::exists(undoFile("storeUndo")));
}

TEST_F(SceneListTest, InitializeAndRefreshDropEveryUndo)
{
    store("A");
    store("B");
    store("C");
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("C", false)));      // delete undo
    EXPECT_TRUE(std::filesystem::exists(undoFile("removeUndo")));
    store("A");  // store undo; it drops the delete undo
    EXPECT_FALSE(std::filesystem::exists(undoFile("removeUndo")));
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("B", false, {})));  // recall undo
    EXPECT_TRUE(std::filesystem::exists(undoFile("storeUndo")));
    std::filesystem::copy_file(undoFile("storeUndo"), undoFile("removeUndo"));  // leftovers of an earlier run
    std::filesystem::copy_file(undoFile("storeUndo"), undoFile("copyUndo"));

    ASSERT_TRUE(JLIB::isSuccess(m_list.refresh()));
    for (const char* name : {"storeUndo", "removeUndo", "copyUndo"}) {
        EXPECT_FALSE(std::filesystem::exists(undoFile(name))) << name;
    }
    for (const char* flag : {"CanRecallUndo", "CanUpdateUndo", "CanFileUndo"}) EXPECT_EQ(0, canDo(flag)) << flag;
    EXPECT_EQ(1, canDo("CanRecall"));
    EXPECT_EQ(LPC::CATEGORY_FILEOPERATION_STORE, m_list.lastFileOperation());

    store("A");
    std::filesystem::copy_file(undoFile("storeUndo"), undoFile("copyUndo"));
    ASSERT_TRUE(JLIB::isSuccess(m_list.initialize(sceneFolder().c_str(), undoFolder().c_str())));
    EXPECT_FALSE(std::filesystem::exists(undoFile("storeUndo")));
    EXPECT_FALSE(std::filesystem::exists(undoFile("copyUndo")));
    EXPECT_FALSE(m_list.canUpdateUndo());
}

TEST_F(SceneListTest, ARefreshCopiesTheFileInformationAndKeepsRowsWhoseFileIsMissing)
{
    store("1", "one", "c1");
    store("2", "two", "c2");
    setText(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusTitle, 0, "stale");
    setText(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusTitle, 1, "stale");
    ASSERT_TRUE(std::filesystem::remove(sceneFile(fileOf(1))));
    (void)m_list.refreshSceneStatus(sceneFolder().c_str());  // the missing file answers its load failure
    EXPECT_EQ("one", title(0));
    EXPECT_EQ("stale", title(1));
}

TEST_F(SceneListTest, TheCanDoFlagsFollowTheListAndLeaveCanDeleteAlone)
{
    const char* const flags[] = {"CanUpdate", "CanDuplicate", "CanRecall", "CanRecallUndo", "CanUpdateUndo",
                                 "CanFileUndo"};
    set(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Status/CanDelete", 0, JVariant(0));
    ASSERT_TRUE(JLIB::isSuccess(m_list.updateCanDo()));
    for (const char* flag : flags) EXPECT_EQ(0, canDo(flag)) << flag;
    store("A");
    store("A");
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("A", false, {})));
    ASSERT_TRUE(JLIB::isSuccess(m_list.duplicate("A", "B", "t", "c", false)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.duplicate("A", "B", "t", "c", false)));
    const int32_t expected[] = {1, 1, 1, 1, 0, 1};  // the duplicate dropped the store undo
    for (size_t i = 0; i < std::size(flags); ++i) {
        EXPECT_EQ(expected[i], canDo(flags[i])) << flags[i];
        EXPECT_EQ(JVariant(0).getType(), get(LPC::CATEGORY_PDBTYPE_UZVOLATILE,
                                             (std::string("/Scene/Status/") + flags[i]).c_str(), 0)
                                             .getType());
    }
    EXPECT_EQ(0, canDo("CanDelete"));
}

TEST_F(SceneListTest, TheOscReadersWalkTheOccupiedSlots)
{
    store("1", "one", "c1");
    store("2", "two", "c2");
    store("3", "three", "c3");
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("1", false)));
    EXPECT_EQ(2u, LPC::getValidSceneNum());
    struct Case {
        uint32_t index;
        JLIB::JResult result;
        const char* number;
    };
    const Case cases[] = {{0, 0, "2"}, {1, 0, "3"}, {2, kFailed, "untouched"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        std::string number = "untouched";
        EXPECT_EQ(c.result, LPC::getSnapshotNo(c.index, number) & 0x80000000u);
        EXPECT_EQ(c.number, number);
    }
    std::string t = "x";
    std::string comment = "x";
    EXPECT_TRUE(JLIB::isSuccess(LPC::getSnapshotInfo("3", t, comment)));
    EXPECT_EQ("three", t);
    EXPECT_EQ("c3", comment);
    EXPECT_TRUE(JLIB::isFailure(LPC::getSnapshotInfo("1", t, comment)));

    ASSERT_TRUE(JLIB::isSuccess(LPC::setEditFlag(true)));
    std::string current = "x";
    bool edited = false;
    EXPECT_TRUE(JLIB::isSuccess(LPC::getCurrentSnapshot(current, edited)));
    EXPECT_EQ("3", current);
    EXPECT_TRUE(edited);
    setText(CATEGORY_PDBTYPE_UZSETUP, kLast, 0, "");
    ASSERT_TRUE(JLIB::isSuccess(LPC::setEditFlag(false)));
    edited = true;
    current = "untouched";
    EXPECT_EQ(kFailed, LPC::getCurrentSnapshot(current, edited));
    EXPECT_EQ("untouched", current);
    EXPECT_FALSE(edited);
    EXPECT_FALSE(m_databases.lock().isHeldByCaller());
}

TEST_F(SceneListTest, LogLinesComeWithLogAndErrorLinesAlways)
{
    testing::internal::CaptureStdout();
    store("1", "t", "c");
    store("2", "t", "c");
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("2", false)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.duplicate("1", "3", "t", "c", false)));
    EXPECT_EQ("", captured());

    testing::internal::CaptureStdout();
    ASSERT_TRUE(JLIB::isSuccess(m_list.store("1", "T", "C", true)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.duplicate("1", "4", "T", "C", true)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.remove("4", true)));
    ASSERT_TRUE(JLIB::isSuccess(m_list.removeUndo(false, true)));
    const std::string file1 = fileOf(0);
    const std::string file4 = fileOf(2);  // "3" holds slot 1
    EXPECT_EQ("[UZ] store [1] [T] [C]\n"
              "[UZ] stored to [0] filename [" + file1 + "] errcode(0x00000000)\n"
              "[UZ] duplicate [1]->[4] Title=T Comment=C\n"
              "[UZ]          Create new scene (0)->(2) filename from [" + file1 + "] to [" + file4 + "]\n"
              "[UZ] remove(deleteScene) [4]\n"
              "[UZ] remove file [" + file4 + "]\n"
              "[UZ] ... deleteUndo: restore[4] [" + file4 + "]\n",
              captured());
}

// A file name from the list that is not a plain name of the scene folder is never used as a path.
TEST_F(SceneListTest, AListedFileNameOutsideTheSceneFolderIsNeverTouched)
{
    store("1", "inside", "c");
    const std::string real = fileOf(0);
    const std::string outside = m_user.file("outside.vexas");
    std::filesystem::copy_file(sceneFile(real), outside);
    const std::string outsideBytes = bytes(outside);
    const std::string names[] = {"../outside.vexas", outside, "..\\outside.vexas", ".", ".."};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(LPC::SceneList::isPlainFileName(name.c_str()));
        setText(CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber, 0, "1");
        setText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, 0, name);
        setText(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusTitle, 0, "stale");
        (void)m_list.refreshSceneStatus(sceneFolder().c_str());
        EXPECT_EQ("stale", title(0));

        setFader(-1);
        testing::internal::CaptureStdout();
        EXPECT_TRUE(JLIB::isFailure(m_list.recall("1", false, {})));
        EXPECT_EQ("[UZ] ... error can't load [" + name + "]\n", captured());
        EXPECT_EQ(-1, fader());
        EXPECT_TRUE(JLIB::isFailure(m_list.setProtect("1", 1)));
        EXPECT_TRUE(JLIB::isFailure(m_list.store("1", "t", "c", false)));
        EXPECT_TRUE(JLIB::isFailure(m_list.duplicate("1", "2", "t", "c", false)));
        EXPECT_EQ("", number(1));
        EXPECT_FALSE(std::filesystem::exists(undoFile("storeUndo")));

        // The entry can still be deleted; nothing is removed and nothing is kept to restore.
        EXPECT_TRUE(JLIB::isFailure(m_list.remove("1", false)));
        EXPECT_EQ("", number(0));
        EXPECT_FALSE(std::filesystem::exists(undoFile("removeUndo")));
        EXPECT_FALSE(m_list.canDeleteUndo());
        EXPECT_EQ(outsideBytes, bytes(outside));
        EXPECT_TRUE(std::filesystem::exists(sceneFile(real)));
    }
    EXPECT_FALSE(LPC::SceneList::isPlainFileName(""));
    EXPECT_FALSE(LPC::SceneList::isPlainFileName(nullptr));
    EXPECT_TRUE(LPC::SceneList::isPlainFileName("..x.vexas"));
}

TEST_F(SceneListTest, UndoFilesNeedAnUndoFolder)
{
    LPC::SceneList list;
    ASSERT_TRUE(JLIB::isSuccess(list.initialize(sceneFolder().c_str(), nullptr)));
    EXPECT_EQ("", list.getUndoPathFilename(0));
    EXPECT_EQ(kFailed, list.clearUndoFile(0));
    EXPECT_EQ(undoFolder() + "/copyUndo", m_list.getUndoPathFilename(2));
    EXPECT_EQ("", m_list.getUndoPathFilename(3));
    EXPECT_EQ(kFailed, m_list.copyFromUndo(0, nullptr));
}

}  // namespace
