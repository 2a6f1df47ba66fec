#pragma once
// The scene list: up to 1000 scenes, each a stored copy of the current settings ("uzCurrent") in
// one file of the scene folder with title, comment and protect mark, named by a scene number
// compared as a whole text. It stores, recalls (holding back the recall-safe parameters),
// deletes, duplicates and protects scenes, keeps the undo data of each kind and publishes the
// list, the status of each scene and the can-do flags in the device database. A member of the
// device-control thread: every SceneList method runs on that thread only. The free readers at the
// end serve the OSC surface from any task.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_SnapshotFile.h"
#include "jlib/jlib_result.h"

namespace LPC {

class RecallSafe;
class RecallUndo;

// The undo kinds and the last file operation (0 none there).
enum CATEGORY_OF_FILEOPERATION : uint32_t {
    CATEGORY_FILEOPERATION_STORE = 0,
    CATEGORY_FILEOPERATION_REMOVE = 1,
    CATEGORY_FILEOPERATION_COPY = 2,
};

constexpr uint32_t kSceneSlotNum = 1000;
// No slot: one past the last.
constexpr uint32_t kNoSceneSlot = kSceneSlotNum;
constexpr const char* SceneFileExtension = "vexas";

// An address of a database resolved once at initialisation.
struct PDBAddressIdCache {
    uint32_t instanceId;
    uint32_t uniqId;
    const char* address;
    PDB::AddressId id;
};
constexpr uint32_t kSceneAddressIdNum = 8;
// Rows 0 to 3 the live scene information (title 2, comment 3), rows 4 to 7 the same four values
// in the scene status: row k of a scene file goes to row k + 4.
extern PDBAddressIdCache gl_addressIds[kSceneAddressIdNum];

class SceneList {
public:
    // Runs inside the database's write lock after the scene was recalled; its code joins the answer.
    using FollowUp = std::function<uint32_t()>;

    SceneList();
    virtual ~SceneList();
    SceneList(const SceneList&) = delete;
    SceneList& operator=(const SceneList&) = delete;

    // Resolves the tables, sets the scene object up for the scene folder, keeps both folders (a
    // null one leaves the member as it was), drops all undo data and refreshes the status.
    [[nodiscard]] JLIB::JResult initialize(const char* sceneFolder, const char* undoFolder);
    // Drops all undo data, refreshes the status and the can-do flags.
    [[nodiscard]] JLIB::JResult refresh();
    // Copies the information of every listed scene file to its status row; a slot whose file is
    // missing or unreadable keeps its row. The result of the last read, load or write.
    [[nodiscard]] JLIB::JResult refreshSceneStatus(const char* sceneFolder);
    // The six can-do flags as Int32 under one lock; the OR of lock, writes and unlock.
    [[nodiscard]] JLIB::JResult updateCanDo();

    // A new number takes the first vacant slot and a new file; a listed one is overwritten in its
    // slot and file after its old file was kept for update undo. 0x80000000 for a protected scene,
    // a full list or an empty number; 0x80000008 when the scene object's and the live information
    // both carry the protect mark.
    [[nodiscard]] JLIB::JResult store(const char* number, const char* title, const char* comment, bool log);
    // Keeps the current settings for recall undo first, then recalls the scene's file except the
    // recall-safe parameters, runs followUp (may be empty) inside the write lock and names the scene
    // the last one. 0x80000000 for an unknown number.
    [[nodiscard]] JLIB::JResult recall(const char* number, bool log, const FollowUp& followUp);
    // 0x80000000 for an unknown or protected number; the file is kept for delete undo.
    [[nodiscard]] JLIB::JResult remove(const char* number, bool log);
    // Copies the source's file to the destination (overwritten in place, or created in the first
    // vacant slot); title and comment reach the live information and the destination's status.
    [[nodiscard]] JLIB::JResult duplicate(const char* source, const char* destination, const char* title,
                                          const char* comment, bool log);
    // Writes the mark into the scene's file and status; any non-zero value protects.
    [[nodiscard]] JLIB::JResult setProtect(const char* number, uint32_t on);

    bool canUpdateWithLastScene() const;
    bool canDuplicate() const;
    bool canRecall() const;
    bool canRecallUndo();
    bool canUpdateUndo();
    bool canFileUndo();
    // A number not in the list counts as not protected.
    bool canDeleteWithSelectedScene(const char* number) const;

    // Undo: with checkOnly only whether it is possible (0 or 0x80000000, no line printed).
    [[nodiscard]] JLIB::JResult recallUndo(bool checkOnly, bool log);
    [[nodiscard]] JLIB::JResult updateUndo(bool checkOnly, bool log);
    [[nodiscard]] JLIB::JResult duplicateUndo(bool checkOnly, bool log);
    [[nodiscard]] JLIB::JResult removeUndo(bool checkOnly, bool log);
    // The undo of the last delete or duplicate; refused (and said so, also in check-only mode)
    // when neither ran.
    [[nodiscard]] JLIB::JResult fileUndo(bool checkOnly, bool log);
    bool canDuplicateUndo();
    bool canDeleteUndo();
    CATEGORY_OF_FILEOPERATION lastFileOperation() const { return m_lastFileOperation; }

    JLIB::JResult clearAllUndo();
    JLIB::JResult clearRecallUndo();
    JLIB::JResult clearStoreUndo();
    JLIB::JResult clearFileUndo();
    // 0 when the file is gone (also when it was not there); 0x80000000 without an undo folder.
    JLIB::JResult clearUndoFile(uint32_t kind);
    bool isExistUndoFile(uint32_t kind) const;
    // The undo folder and "/storeUndo", "/removeUndo" or "/copyUndo"; "" for another kind or
    // without an undo folder.
    std::string getUndoPathFilename(uint32_t kind) const;
    // A failed copy is printed and still answers 0; 0x80000000 without an undo path or for a file
    // name that is not a plain name in the scene folder.
    JLIB::JResult copySceneToUndo(uint32_t kind, const char* fileName);
    // Copies the undo file back to the scene folder under fileName and deletes it.
    [[nodiscard]] JLIB::JResult copyFromUndo(uint32_t kind, const char* fileName);

    // Device tests (defined with the test scene fills, LpcTestScene.cpp). createAllScene: the
    // minimum fill stored as scenes "0.1" to "100.0"; the last store's code.
    [[nodiscard]] JLIB::JResult createAllScene();
    // Stores the minimum and maximum test scenes, sets recall safe to recallSafe and recalls the
    // two count times each, printing the minimum, maximum and average milliseconds; the last
    // recall's code, 0x80000000 for count 0 (nothing changed).
    [[nodiscard]] JLIB::JResult testRecallSpeed(uint32_t count, uint32_t recallSafe);
    // recall without follow-up, timed: milliseconds into ms; the recall's code.
    [[nodiscard]] JLIB::JResult recallWithTestRecallSpeed(const char* number, bool log, double& ms);

    const std::string& sceneFolder() const { return m_sceneFolder; }
    const std::string& undoFolder() const { return m_undoFolder; }

    // Whether a name read from the list may be used as a file of the scene folder: a valid file
    // name that is neither "." nor ".." and holds no "/" or "\". Anything else is never loaded,
    // copied, restored or removed.
    static bool isPlainFileName(const char* name);

private:
    [[nodiscard]] JLIB::JResult storeNew(const char* number, const char* title, const char* comment,
                                         uint32_t& slot, std::string& fileName, JLIB::JResult& side);
    [[nodiscard]] JLIB::JResult storeOver(const char* number, const char* title, const char* comment, uint32_t slot,
                                          std::string& fileName, JLIB::JResult& side);
    // The scene object holds no contents after a failed load; a later store sets it up again.
    [[nodiscard]] JLIB::JResult storeCurrent();
    [[nodiscard]] JLIB::JResult removeInternal(const char* fileName) const;
    [[nodiscard]] JLIB::JResult loadSnapshotInfoTitleComment(const char* fileName, std::string& title,
                                                             std::string& comment) const;

    PDB::SnapshotData m_scene;
    std::unique_ptr<RecallUndo> m_recallUndo;
    std::string m_sceneFolder;
    std::string m_undoFolder;
    CATEGORY_OF_FILEOPERATION m_lastFileOperation = CATEGORY_FILEOPERATION_STORE;
    std::string m_numberBeforeRecall;
    uint32_t m_storeUndoSlot = kNoSceneSlot;
    uint32_t m_duplicateUndoSlot = kNoSceneSlot;
    std::string m_deletedNumber;
    std::string m_deletedFile;
    std::unique_ptr<RecallSafe> m_recallSafe;
    PDB::SnapshotContentsList m_contents;
};

// The scene edit flag "/Scene/Current/EditFlag"; any task. setEditFlag answers the write's code,
// getEditFlag always 0.
[[nodiscard]] JLIB::JResult setEditFlag(bool on);
JLIB::JResult getEditFlag(bool& on);

// Readers for the OSC surface; any task; each holds the database lock across its walk.
// The number of occupied slots.
uint32_t getValidSceneNum();
// The last scene number (0x80000000 and text untouched when there is none) and the edit flag.
[[nodiscard]] JLIB::JResult getCurrentSnapshot(std::string& number, bool& edited);
// The cached title and comment of a listed scene; 0x80000000 for a number not in the list.
[[nodiscard]] JLIB::JResult getSnapshotInfo(const char* number, std::string& title, std::string& comment);
// The number of the index-th occupied slot in slot order; 0x80000000 (text untouched) past the last.
[[nodiscard]] JLIB::JResult getSnapshotNo(uint32_t index, std::string& number);

}  // namespace LPC
