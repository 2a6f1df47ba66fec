#include "common/Lpc/LpcSceneList.h"

#include <cstdarg>
#include <cstring>
#include <iterator>
#include <new>

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_UniqId.h"
#include "PDB/pdb_makeUuidFileName.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/LpcRecallSafe.h"
#include "common/Lpc/LpcRecallStopwatch.h"
#include "common/Lpc/LpcRecallUndo.h"
#include "common/Lpc/LpcValueHelper.h"
#include "common/Lpc/internal/LpcListLog.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_string.h"

namespace LPC {

PDBAddressIdCache gl_addressIds[kSceneAddressIdNum] = {
    {kSnapshotInfoPDBInstanceId, 0, "/Info/DataType", PDB::AddressId()},
    {kSnapshotInfoPDBInstanceId, 0, "/Info/Protect", PDB::AddressId()},
    {kSnapshotInfoPDBInstanceId, 0, "/Info/Title", PDB::AddressId()},
    {kSnapshotInfoPDBInstanceId, 0, "/Info/Comment", PDB::AddressId()},
    {kLpcPDBInstanceId, CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/DataType", PDB::AddressId()},
    {kLpcPDBInstanceId, CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/Protect", PDB::AddressId()},
    {kLpcPDBInstanceId, CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/Title", PDB::AddressId()},
    {kLpcPDBInstanceId, CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/Comment", PDB::AddressId()},
};

namespace {

constexpr const char* kProductName = "MUR-UZ";
constexpr uint32_t kInfoRowNum = 4;
constexpr uint32_t kTitleRow = 2;
constexpr uint32_t kCommentRow = 3;
// Source and destination of a duplicate are compared over this many characters.
constexpr uint32_t kNumberCompareLength = 1024;
// A removal that finds no file.
constexpr JLIB::JResult kNoSuchFile = 0x80000001u;

constexpr const char* kSceneNumber = "/SceneList/Bank/Info/SceneNumber";
constexpr const char* kFileName = "/SceneList/Bank/Info/FileName";
constexpr const char* kStatusProtect = "/SceneStatus/Bank/Info/Protect";
constexpr const char* kStatusTitle = "/SceneStatus/Bank/Info/Title";
constexpr const char* kStatusComment = "/SceneStatus/Bank/Info/Comment";
constexpr const char* kLastSceneNumber = "/Scene/Last/SceneNumber";
constexpr const char* kEditFlag = "/Scene/Current/EditFlag";
constexpr const char* const kUndoNames[] = {"/storeUndo", "/removeUndo", "/copyUndo"};

struct CanDoFlag {
    const char* address;
    bool on;
};

using internal::text;
using internal::uzLog;

// One text of the device database; fails for anything but a String.
JLIB::JResult readText(const PDB::AddressId& id, uint32_t x, std::string& out)
{
    JVariant value;
    const JLIB::JResult result = getLpcPDB().getVariant(value, id, x, 0, nullptr);
    if (JLIB::isFailure(result)) return result;
    bool ok = false;
    const char* s = value.toString(&ok);
    if (!ok || !s) return JLIB::kFailed;
    out = s;
    return result;
}

JLIB::JResult readText(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, std::string& out)
{
    return readText(pdb_resolveAddress(category, address), x, out);
}

// The slot walks; a slot that cannot be read is skipped. An empty number is no scene.
JLIB::JResult findSlot(const char* number, uint32_t& slot)
{
    if (!number || !*number) return JLIB::kFailed;
    const PDB::AddressId id = pdb_resolveAddress(CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber);
    std::string listed;
    for (uint32_t s = 0; s < kSceneSlotNum; ++s) {
        if (JLIB::isFailure(readText(id, s, listed))) continue;
        if (listed == number) {
            slot = s;
            return JLIB::kOk;
        }
    }
    return JLIB::kFailed;
}

JLIB::JResult findVacantSlot(uint32_t& slot)
{
    const PDB::AddressId id = pdb_resolveAddress(CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber);
    for (uint32_t s = 0; s < kSceneSlotNum; ++s) {
        JVariant value;
        if (JLIB::isFailure(getLpcPDB().getVariant(value, id, s, 0, nullptr))) continue;
        bool ok = false;
        const char* listed = value.toString(&ok);
        if (!ok || !listed || !*listed) {
            slot = s;
            return JLIB::kOk;
        }
    }
    return JLIB::kFailed;
}

// Calls visit(slot, number) for every occupied slot until it answers false.
template <typename Visit>
void forEachOccupied(Visit visit)
{
    const PDB::AddressId id = pdb_resolveAddress(CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber);
    std::string listed;
    for (uint32_t s = 0; s < kSceneSlotNum; ++s) {
        if (JLIB::isFailure(readText(id, s, listed)) || listed.empty()) continue;
        if (!visit(s, listed)) return;
    }
}

bool hasScene()
{
    bool found = false;
    forEachOccupied([&found](uint32_t, const std::string&) {
        found = true;
        return false;  // one is enough
    });
    return found;
}

// An unreadable entry (slot 1000 among them) is not protected.
bool isProtectedSlot(uint32_t slot)
{
    JVariant value;
    const PDB::AddressId id = pdb_resolveAddress(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusProtect);
    if (JLIB::isFailure(getLpcPDB().getVariant(value, id, slot, 0, nullptr))) return false;
    return value.toInt32() != 0;
}

bool isProtectedNumber(const char* number)
{
    uint32_t slot = kNoSceneSlot;
    return JLIB::isSuccess(findSlot(number, slot)) && isProtectedSlot(slot);
}

// An empty last number fails and leaves out untouched.
JLIB::JResult getLastSceneNumber(std::string& out)
{
    std::string last;
    if (JLIB::isFailure(readText(CATEGORY_PDBTYPE_UZSETUP, kLastSceneNumber, 0, last)) || last.empty()) {
        return JLIB::kFailed;
    }
    out = last;
    return JLIB::kOk;
}

JLIB::JResult setLastSceneNumber(const char* number)
{
    return pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZSETUP, kLastSceneNumber, 0, 0, number);
}

JLIB::JResult writeListEntry(uint32_t slot, const char* fileName, const char* number)
{
    JLIB::JResult result = pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, slot, 0, fileName);
    result |= pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber, slot, 0, number);
    return result;
}

// Title and comment into the live scene information and, when both are given, the slot's status.
// Failures are not looked at: the texts are informational.
JLIB::JResult setAllSceneInfoWithSceneStatus(uint32_t slot, const char* title, const char* comment)
{
    if (title) {
        const JVariant t(title, static_cast<unsigned int>(std::strlen(title)));
        const JLIB::JResult written = pdb_setParamWithNoLink(gl_addressIds[kTitleRow].id, 0, 0, t, kDerivedWriteAttr);
        if (JLIB::isSuccess(written) && comment) {
            const JVariant c(comment, static_cast<unsigned int>(std::strlen(comment)));
            (void)pdb_setParamWithNoLink(gl_addressIds[kCommentRow].id, 0, 0, c, kDerivedWriteAttr);
        }
    }
    if (title && comment) {
        (void)pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusTitle, slot, 0, title);
        (void)pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusComment, slot, 0, comment);
    }
    return JLIB::kOk;
}

// A scene object for one-off loads: no contents of its own, the loaded file lists them.
JLIB::JResult initializeTemporary(PDB::SnapshotData& data, const char* folder)
{
    return data.initialize(kProductName, 0, 0, PDB::SnapshotContentsList(), folder);
}

}  // namespace

// ---- set-up and status

SceneList::SceneList() : m_recallSafe(new (std::nothrow) RecallSafe) {}

SceneList::~SceneList() = default;

bool SceneList::isPlainFileName(const char* name)
{
    if (!FILECACHE::FileAccessor::isFileNameValid(name)) return false;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    return !std::strpbrk(name, "/\\");
}

JLIB::JResult SceneList::initialize(const char* sceneFolder, const char* undoFolder)
{
    if (!m_recallSafe) return JLIB::kFailed;
    if (!m_recallUndo) m_recallUndo.reset(new (std::nothrow) RecallUndo);  // missing: every recall is refused
    for (PDBAddressIdCache& row : gl_addressIds) {
        row.id = PDB::gPDBCollection.getPDB(row.instanceId).getAddressId(PDB::UniqId(row.uniqId), row.address);
        JLIB_RETURN_IF_FAILED(pdb_addressCheck(row.id));
    }
    PDB::SnapshotContentsList contents;
    JLIB::JResult result = contents.addComponent(getLpcPDB(), PDB::UniqId(CATEGORY_PDBTYPE_UZCURRENT));
    if (JLIB::isSuccess(result)) result = m_recallSafe->initialize();
    if (JLIB::isSuccess(result)) result = m_scene.initialize(kProductName, 0, 0, contents, sceneFolder);
    if (JLIB::isSuccess(result)) {
        m_contents = contents;
        if (sceneFolder) m_sceneFolder = sceneFolder;
        if (undoFolder) m_undoFolder = undoFolder;
        (void)clearAllUndo();  // leftover undo files of an earlier run only waste space
    }
    // Without a folder of its own the status would be read from the working folder.
    return result | refreshSceneStatus(sceneFolder ? sceneFolder : m_sceneFolder.c_str());
}

JLIB::JResult SceneList::refresh()
{
    const JLIB::JResult cleared = clearAllUndo();
    JLIB::JResult result = refreshSceneStatus(m_sceneFolder.c_str());
    result |= updateCanDo();
    if (JLIB::isSuccess(cleared)) result |= cleared;
    return result;
}

JLIB::JResult SceneList::refreshSceneStatus(const char* sceneFolder)
{
    PDB::SnapshotData scene;
    JLIB::JResult result = initializeTemporary(scene, sceneFolder);
    if (JLIB::isFailure(result)) return result;
    const PDB::AddressId fileId = pdb_resolveAddress(CATEGORY_PDBTYPE_UZSCENELIST, kFileName);
    std::string fileName;
    // A database's success statuses are no news to the caller: a step that worked counts as 0.
    const auto step = [&result](JLIB::JResult r) { return JLIB::isSuccess(result = JLIB::isFailure(r) ? r : 0); };
    for (uint32_t slot = 0; slot < kSceneSlotNum; ++slot) {
        if (!step(readText(fileId, slot, fileName)) || !isPlainFileName(fileName.c_str())) continue;
        if (!step(scene.load(fileName.c_str()))) continue;
        PDB::IParameterDB& info = scene.snapshotInfo();
        for (uint32_t k = 0; k < kInfoRowNum; ++k) {
            JVariant value;
            const PDB::AddressId id = info.getAddressId(PDB::UniqId(gl_addressIds[k].uniqId), gl_addressIds[k].address);
            if (!step(info.getVariant(value, id, 0, 0, nullptr))) continue;
            (void)step(pdb_setParamWithNoLink(gl_addressIds[k + kInfoRowNum].id, slot, 0, value, kDerivedWriteAttr));
        }
    }
    return result;
}

JLIB::JResult SceneList::updateCanDo()
{
    const CanDoFlag flags[] = {
        {"/Scene/Status/CanUpdate", canUpdateWithLastScene()},   {"/Scene/Status/CanDuplicate", canDuplicate()},
        {"/Scene/Status/CanRecall", canRecall()},                {"/Scene/Status/CanRecallUndo", canRecallUndo()},
        {"/Scene/Status/CanUpdateUndo", canUpdateUndo()},        {"/Scene/Status/CanFileUndo", canFileUndo()},
    };
    JLIB::JResult result = pdb_lock();
    for (const CanDoFlag& flag : flags) {
        result |= pdb_setParam(CATEGORY_PDBTYPE_UZVOLATILE, flag.address, 0, 0, JVariant(flag.on ? 1 : 0),
                               kDerivedWriteAttr);
    }
    result |= pdb_unlock();
    return result;
}

// ---- store, recall, remove, duplicate, protect

JLIB::JResult SceneList::storeCurrent()
{
    if (!m_scene.isValid()) {
        JLIB_RETURN_IF_FAILED(m_scene.initialize(kProductName, 0, 0, m_contents, m_sceneFolder.c_str()));
    }
    return m_scene.store(getSnapshotInfoPDB());
}

JLIB::JResult SceneList::storeNew(const char* number, const char* title, const char* comment, uint32_t& slot,
                                  std::string& fileName, JLIB::JResult& side)
{
    (void)number;
    JLIB_RETURN_IF_FAILED(findVacantSlot(slot));
    (void)setAllSceneInfoWithSceneStatus(slot, title, comment);  // always 0
    JLIB_RETURN_IF_FAILED(storeCurrent());
    std::string made;
    JLIB_RETURN_IF_FAILED(PDB::makeUuidFileName(made, SceneFileExtension));
    JLIB_RETURN_IF_FAILED(m_scene.saveAs(made.c_str()));
    fileName = m_scene.fileName();
    side = clearStoreUndo();
    side |= clearRecallUndo();
    side |= clearFileUndo();
    return JLIB::kOk;
}

JLIB::JResult SceneList::storeOver(const char* number, const char* title, const char* comment, uint32_t slot,
                                   std::string& fileName, JLIB::JResult& side)
{
    if (isProtectedSlot(slot)) {
        (void)dbgPrintf("[UZ] ... error can't update, Scene is protected\n");
        return JLIB::kFailed;
    }
    JLIB_RETURN_IF_FAILED(readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, slot, fileName));
    // A name that is no plain file of the scene folder must not be written to.
    if (!isPlainFileName(fileName.c_str())) return JLIB::kFailed;
    (void)copySceneToUndo(CATEGORY_FILEOPERATION_STORE, fileName.c_str());  // a failed copy is printed there
    (void)setAllSceneInfoWithSceneStatus(slot, title, comment);             // always 0
    JLIB_RETURN_IF_FAILED(storeCurrent());
    JLIB_RETURN_IF_FAILED(m_scene.saveAs(fileName.c_str()));
    side = clearFileUndo();
    std::string last;
    (void)getLastSceneNumber(last);  // none leaves it empty
    if (last != number) side |= clearRecallUndo();
    return JLIB::kOk;
}

JLIB::JResult SceneList::store(const char* number, const char* title, const char* comment, bool log)
{
    uzLog(log, "[UZ] store [%s] [%s] [%s]\n", text(number), text(title), text(comment));
    if (!number || !*number) return JLIB::kFailed;  // an empty number would read as a vacant slot
    uint32_t slot = kNoSceneSlot;
    const bool exists = JLIB::isSuccess(findSlot(number, slot));
    std::string fileName;
    JLIB::JResult side = JLIB::kOk;
    JLIB_RETURN_IF_FAILED(exists ? storeOver(number, title, comment, slot, fileName, side)
                                 : storeNew(number, title, comment, slot, fileName, side));
    JLIB::JResult result = writeListEntry(slot, fileName.c_str(), number);
    if (JLIB::isSuccess(result)) result |= setLastSceneNumber(number);
    if (exists && JLIB::isSuccess(side)) m_storeUndoSlot = slot;
    result |= side;
    result |= updateCanDo();
    uzLog(log, "[UZ] stored to [%d] filename [%s] errcode(0x%08X)\n", static_cast<int>(slot), fileName.c_str(),
          static_cast<unsigned int>(result));
    return result;
}

JLIB::JResult SceneList::recall(const char* number, bool log, const FollowUp& followUp)
{
    uzLog(log, "[UZ] recall [%s]\n", text(number));
    if (!m_recallSafe || !m_recallUndo) return JLIB::kFailed;
    JLIB::JResult result = m_recallUndo->store();
    if (JLIB::isFailure(result)) {
        (void)dbgPrintf("[UZ] ... error can not make 'recall undo'\n");
        return result;
    }
    uint32_t slot = kNoSceneSlot;
    if (JLIB::isFailure(findSlot(number, slot))) {
        (void)dbgPrintf("[UZ] ... error no scene [%s]\n", text(number));
        return JLIB::kFailed;
    }
    std::string fileName;
    (void)readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, slot, fileName);  // unreadable: empty, and the load fails
    uzLog(log, "[UZ] recall file [%s]\n", fileName.c_str());
    (void)getLastSceneNumber(m_numberBeforeRecall);  // an empty last number keeps the member
    result = isPlainFileName(fileName.c_str()) ? m_scene.load(fileName.c_str()) : JLIB::kFailed;
    if (JLIB::isFailure(result)) {
        (void)dbgPrintf("[UZ] ... error can't load [%s]\n", fileName.c_str());
        return result;
    }

    PDB::IParameterDB& db = getLpcPDB();
    result = db.writeLock();
    PDB::SnapshotContentsList recallSafe;
    const JLIB::JResult listed = m_recallSafe->getRecallSafeList(recallSafe);
    result |= listed;
    // Without the whole list the held-back values would be overwritten.
    if (JLIB::isSuccess(listed)) result |= m_scene.recall(recallSafe);
    if (followUp) result |= followUp();
    result |= db.writeUnlock();
    if (JLIB::isFailure(result)) {
        (void)dbgPrintf("[UZ] ... error can't recall [%s]\n", fileName.c_str());
        return result;
    }
    JLIB_RETURN_IF_FAILED(setLastSceneNumber(number));
    const JLIB::JResult canDo = updateCanDo();
    if (JLIB::isFailure(canDo)) return canDo;
    dbg_lapRecall(1, log);
    return canDo;
}

JLIB::JResult SceneList::remove(const char* number, bool log)
{
    uzLog(log, "[UZ] remove(deleteScene) [%s]\n", text(number));
    uint32_t slot = kNoSceneSlot;
    if (JLIB::isFailure(findSlot(number, slot))) {
        (void)dbgPrintf("[UZ] ... error no scene [%s]\n", text(number));
        return JLIB::kFailed;
    }
    if (isProtectedSlot(slot)) {
        (void)dbgPrintf("[UZ] ... error can't delete, Scene is protected\n");
        return JLIB::kFailed;
    }
    std::string fileName;
    (void)readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, slot, fileName);  // unreadable: empty, removal fails
    uzLog(log, "[UZ] remove file [%s]\n", fileName.c_str());
    if (JLIB::isFailure(clearUndoFile(CATEGORY_FILEOPERATION_COPY))) return JLIB::kFailed;
    // A name that is no plain file of the scene folder: the entry goes, no file is touched and
    // nothing is kept to restore.
    const bool plain = isPlainFileName(fileName.c_str());
    if (plain) (void)copySceneToUndo(CATEGORY_FILEOPERATION_REMOVE, fileName.c_str());  // a failure is printed there
    JLIB::JResult result = writeListEntry(slot, "", "");
    result |= plain ? removeInternal(fileName.c_str()) : JLIB::kFailed;
    result |= setAllSceneInfoWithSceneStatus(slot, "", "");
    m_lastFileOperation = CATEGORY_FILEOPERATION_REMOVE;
    m_deletedNumber = number;
    m_deletedFile = plain ? fileName : std::string();
    result |= clearStoreUndo();
    result |= updateCanDo();
    return result;
}

JLIB::JResult SceneList::duplicate(const char* source, const char* destination, const char* title,
                                   const char* comment, bool log)
{
    if (!source || !destination || !title || !comment) return JLIB::kFailed;
    uzLog(log, "[UZ] duplicate [%s]->[%s] Title=%s Comment=%s\n", source, destination, title, comment);
    if (jlib_strncmp(source, destination, kNumberCompareLength) == 0) {
        (void)dbgPrintf("[UZ] ... error can't duplicate, Src and Dest scene are the same\n");
        return JLIB::kFailed;
    }
    if (isProtectedNumber(destination)) {
        (void)dbgPrintf("[UZ] ... error can't duplicate, Dest scene is protected\n");
        return JLIB::kFailed;
    }
    uint32_t sourceSlot = kNoSceneSlot;
    if (JLIB::isFailure(findSlot(source, sourceSlot))) {
        (void)dbgPrintf("[UZ] ... error can't duplicate, Src scene not found\n");
        return JLIB::kFailed;
    }
    std::string sourceFile;
    (void)readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, sourceSlot, sourceFile);  // unreadable: empty
    if (!isPlainFileName(sourceFile.c_str())) return JLIB::kFailed;
    if (!*destination) return JLIB::kFailed;  // an empty number would read as a vacant slot

    uint32_t slot = kNoSceneSlot;
    const bool overwrite = JLIB::isSuccess(findSlot(destination, slot));
    std::string destinationFile;
    if (overwrite) {
        (void)readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, slot, destinationFile);  // unreadable: empty
        if (!isPlainFileName(destinationFile.c_str())) return JLIB::kFailed;
    } else {
        JLIB_RETURN_IF_FAILED(PDB::makeUuidFileName(destinationFile, SceneFileExtension));
        if (JLIB::isFailure(findVacantSlot(slot))) return JLIB::kFailed;
    }
    uzLog(log, "[UZ]          %s (%d)->(%d) filename from [%s] to [%s]\n", overwrite ? "Overwrite" : "Create new scene",
          static_cast<int>(sourceSlot), static_cast<int>(slot), sourceFile.c_str(), destinationFile.c_str());
    if (JLIB::isFailure(clearUndoFile(CATEGORY_FILEOPERATION_REMOVE))) return JLIB::kFailed;
    if (overwrite) {
        (void)copySceneToUndo(CATEGORY_FILEOPERATION_COPY, destinationFile.c_str());  // a failed copy is printed there
    } else if (JLIB::isFailure(clearUndoFile(CATEGORY_FILEOPERATION_COPY))) {
        return JLIB::kFailed;
    }
    (void)setAllSceneInfoWithSceneStatus(slot, title, comment);  // always 0

    PDB::SnapshotData copy;
    if (JLIB::isFailure(initializeTemporary(copy, m_sceneFolder.c_str()))) {
        (void)dbgPrintf("[UZ] ... error can't duplicate, temporary initialize failed\n");
        return JLIB::kFailed;
    }
    if (JLIB::isFailure(copy.load(sourceFile.c_str()))) {
        (void)dbgPrintf("[UZ] ... error can't duplicate, copy source scene load failed\n");
        return JLIB::kFailed;
    }
    if (JLIB::isFailure(copy.saveAs(destinationFile.c_str()))) {
        (void)dbgPrintf("[UZ] ... error can't duplicate, scene copy failed\n");
        return JLIB::kFailed;
    }
    JLIB::JResult result = overwrite ? JLIB::kOk : writeListEntry(slot, destinationFile.c_str(), destination);
    result |= clearStoreUndo();
    m_duplicateUndoSlot = slot;
    m_lastFileOperation = CATEGORY_FILEOPERATION_COPY;
    result |= updateCanDo();
    return result;
}

JLIB::JResult SceneList::setProtect(const char* number, uint32_t on)
{
    uint32_t slot = kNoSceneSlot;
    if (JLIB::isFailure(findSlot(number, slot))) return JLIB::kFailed;
    std::string fileName;
    JLIB_RETURN_IF_FAILED(readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, slot, fileName));
    if (!isPlainFileName(fileName.c_str())) return JLIB::kFailed;
    PDB::SnapshotData scene;
    JLIB_RETURN_IF_FAILED(initializeTemporary(scene, m_sceneFolder.c_str()));
    JLIB_RETURN_IF_FAILED(scene.load(fileName.c_str()));
    PDB::IParameterDB& info = scene.snapshotInfo();
    const PDB::AddressId protect = info.getAddressId(PDB::UniqId(gl_addressIds[1].uniqId), gl_addressIds[1].address);
    JLIB_RETURN_IF_FAILED(info.setVariant(protect, 0, 0, JVariant(on), kDerivedWriteAttr));
    JLIB_RETURN_IF_FAILED(scene.applySnapshotInfo(info));
    JLIB_RETURN_IF_FAILED(scene.saveAs(fileName.c_str()));
    JLIB_RETURN_IF_FAILED(pdb_setParamT<unsigned int>(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusProtect, slot, 0, on));
    return updateCanDo();
}

// ---- can-do

bool SceneList::canUpdateWithLastScene() const
{
    std::string last;
    return hasScene() && JLIB::isSuccess(getLastSceneNumber(last)) && !isProtectedNumber(last.c_str());
}

bool SceneList::canDuplicate() const { return hasScene(); }

bool SceneList::canRecall() const { return hasScene(); }

bool SceneList::canRecallUndo() { return JLIB::isSuccess(recallUndo(true, false)); }

bool SceneList::canUpdateUndo() { return JLIB::isSuccess(updateUndo(true, false)); }

bool SceneList::canFileUndo() { return canDuplicateUndo() || canDeleteUndo(); }

bool SceneList::canDeleteWithSelectedScene(const char* number) const { return !isProtectedNumber(number); }

bool SceneList::canDuplicateUndo() { return JLIB::isSuccess(duplicateUndo(true, false)); }

bool SceneList::canDeleteUndo() { return JLIB::isSuccess(removeUndo(true, false)); }

// ---- undo

JLIB::JResult SceneList::recallUndo(bool checkOnly, bool log)
{
    uzLog(log && !checkOnly, "[UZ] recallUndo\n");
    if (!m_recallUndo) return JLIB::kFailed;
    if (!m_recallUndo->canUndo()) {
        if (!checkOnly) (void)dbgPrintf("[UZ] ... error can't RecallUndo, RecallUndo buffer is not cached\n");
        return JLIB::kFailed;
    }
    if (checkOnly) return JLIB::kOk;
    JLIB::JResult result = m_recallUndo->undo();
    // An empty last number is an ordinary state, so only the undo and the write count.
    std::string last;
    (void)getLastSceneNumber(last);
    result |= setLastSceneNumber(m_numberBeforeRecall.c_str());
    m_numberBeforeRecall = last;
    result |= updateCanDo();
    return result;
}

JLIB::JResult SceneList::updateUndo(bool checkOnly, bool log)
{
    const bool done = m_storeUndoSlot != kNoSceneSlot && isExistUndoFile(CATEGORY_FILEOPERATION_STORE);
    const bool possible = done && !isProtectedSlot(m_storeUndoSlot);
    if (checkOnly) return possible ? JLIB::kOk : JLIB::kFailed;
    std::string fileName;
    if (m_storeUndoSlot != kNoSceneSlot) {
        (void)readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, m_storeUndoSlot, fileName);  // unreadable: empty
    }
    if (!possible) {
        (void)dbgPrintf("[UZ] updateUndo\n");
        if (!done) {
            (void)dbgPrintf("[UZ] ... error can't updateUndo, Scene Overwrite has not executed\n");
        } else {
            (void)dbgPrintf("[UZ] ... error can't updateUndo, Scene (%d)[%s] is protected\n",
                            static_cast<int>(m_storeUndoSlot), fileName.c_str());
        }
        return JLIB::kFailed;
    }
    uzLog(log, "[UZ] updateUndo for (%d)[%s]\n", static_cast<int>(m_storeUndoSlot), fileName.c_str());
    JLIB::JResult result = copyFromUndo(CATEGORY_FILEOPERATION_STORE, fileName.c_str());
    if (JLIB::isSuccess(result)) {
        std::string title;
        std::string comment;
        result |= loadSnapshotInfoTitleComment(fileName.c_str(), title, comment);
        if (JLIB::isSuccess(result) &&
            JLIB::isFailure(setAllSceneInfoWithSceneStatus(m_storeUndoSlot, title.c_str(), comment.c_str()))) {
            (void)dbgPrintf("[UZ] ... error on updateUndo SceneInfo(Title, Comment) restore\n");
        }
    }
    result |= clearStoreUndo();
    result |= updateCanDo();
    return result;
}

JLIB::JResult SceneList::duplicateUndo(bool checkOnly, bool log)
{
    const bool done = isExistUndoFile(CATEGORY_FILEOPERATION_COPY) && m_duplicateUndoSlot != kNoSceneSlot;
    const bool possible = done && !isProtectedSlot(m_duplicateUndoSlot);
    if (checkOnly) return possible ? JLIB::kOk : JLIB::kFailed;
    std::string fileName;
    if (m_duplicateUndoSlot != kNoSceneSlot) {
        (void)readText(CATEGORY_PDBTYPE_UZSCENELIST, kFileName, m_duplicateUndoSlot, fileName);  // unreadable: empty
    }
    if (!possible) {
        (void)dbgPrintf("[UZ] duplicateUndo\n");
        if (!done) {
            (void)dbgPrintf("[UZ] ... error can't duplicateUndo, Duplicate has not executed\n");
        } else {
            (void)dbgPrintf("[UZ] ... error can't duplicateUndo, Scene (%d)[%s] is protected\n",
                            static_cast<int>(m_duplicateUndoSlot), fileName.c_str());
        }
        return JLIB::kFailed;
    }
    uzLog(log, "[UZ] duplicateUndo for (%d)[%s]\n", static_cast<int>(m_duplicateUndoSlot), fileName.c_str());
    JLIB::JResult result = copyFromUndo(CATEGORY_FILEOPERATION_COPY, fileName.c_str());
    JLIB::JResult restored = result;
    if (JLIB::isSuccess(result)) {
        std::string title;
        std::string comment;
        restored = loadSnapshotInfoTitleComment(fileName.c_str(), title, comment);
        if (JLIB::isSuccess(restored)) {
            restored = setAllSceneInfoWithSceneStatus(m_duplicateUndoSlot, title.c_str(), comment.c_str());
        }
        result |= restored;
    }
    if (JLIB::isFailure(restored)) {
        (void)dbgPrintf("[UZ] ... error on duplicateUndo SceneInfo(Title, Comment) restore\n");
    }
    result |= clearFileUndo();
    result |= updateCanDo();
    return result;
}

JLIB::JResult SceneList::removeUndo(bool checkOnly, bool log)
{
    const bool possible =
        isExistUndoFile(CATEGORY_FILEOPERATION_REMOVE) && !m_deletedNumber.empty() && !m_deletedFile.empty();
    if (checkOnly) return possible ? JLIB::kOk : JLIB::kFailed;
    if (!possible) {
        (void)dbgPrintf("[UZ] deleteUndo\n");
        (void)dbgPrintf("[UZ] ... error can't deleteUndo, Delete has not executed\n");
        return JLIB::kFailed;
    }
    uzLog(log, "[UZ] ... deleteUndo: restore[%s] [%s]\n", m_deletedNumber.c_str(), m_deletedFile.c_str());
    JLIB::JResult result = copyFromUndo(CATEGORY_FILEOPERATION_REMOVE, m_deletedFile.c_str());
    uint32_t slot = kNoSceneSlot;
    // Without a vacant slot the file is back but not listed.
    if (JLIB::isSuccess(result) && JLIB::isSuccess(findVacantSlot(slot))) {
        std::string title;
        std::string comment;
        const JLIB::JResult read = loadSnapshotInfoTitleComment(m_deletedFile.c_str(), title, comment);
        if (JLIB::isSuccess(read)) {
            (void)setAllSceneInfoWithSceneStatus(slot, title.c_str(), comment.c_str());  // always 0
        } else {
            (void)dbgPrintf("[UZ] ... error on delteUndo SceneInfo(Title, Comment) restore\n");
        }
        result |= read;
        result |= writeListEntry(slot, m_deletedFile.c_str(), m_deletedNumber.c_str());
    }
    result |= clearFileUndo();
    result |= updateCanDo();
    return result;
}

JLIB::JResult SceneList::fileUndo(bool checkOnly, bool log)
{
    switch (m_lastFileOperation) {
    case CATEGORY_FILEOPERATION_REMOVE: return removeUndo(checkOnly, log);
    case CATEGORY_FILEOPERATION_COPY: return duplicateUndo(checkOnly, log);
    default: break;
    }
    (void)dbgPrintf("[UZ] fileUndo\n");
    (void)dbgPrintf("[UZ] ... error can't fileUndo, Neither Delete nor Duplicate has executed\n");
    return JLIB::kFailed;
}

JLIB::JResult SceneList::clearAllUndo()
{
    JLIB::JResult result = clearRecallUndo();
    result |= clearStoreUndo();
    result |= clearFileUndo();
    return result;
}

JLIB::JResult SceneList::clearRecallUndo()
{
    if (!m_recallUndo) return JLIB::kFailed;
    return m_recallUndo->clear();
}

JLIB::JResult SceneList::clearStoreUndo()
{
    const JLIB::JResult result = clearUndoFile(CATEGORY_FILEOPERATION_STORE);
    if (JLIB::isSuccess(result)) m_storeUndoSlot = kNoSceneSlot;
    return result;
}

JLIB::JResult SceneList::clearFileUndo()
{
    JLIB::JResult result = clearUndoFile(CATEGORY_FILEOPERATION_REMOVE);
    if (JLIB::isSuccess(result)) {
        m_deletedNumber.clear();
        m_deletedFile.clear();
    }
    const JLIB::JResult copy = clearUndoFile(CATEGORY_FILEOPERATION_COPY);
    if (JLIB::isSuccess(copy)) m_duplicateUndoSlot = kNoSceneSlot;
    m_lastFileOperation = CATEGORY_FILEOPERATION_STORE;
    return result | copy;
}

JLIB::JResult SceneList::clearUndoFile(uint32_t kind)
{
    const std::string path = getUndoPathFilename(kind);
    if (path.empty()) return JLIB::kFailed;
    if (!FILECACHE::FileAccessor::isExist(path.c_str())) return JLIB::kOk;
    const JLIB::JResult result = FILECACHE::FileAccessor::remove(path.c_str(), false);
    return result == kNoSuchFile ? JLIB::kOk : result;
}

bool SceneList::isExistUndoFile(uint32_t kind) const
{
    const std::string path = getUndoPathFilename(kind);
    return !path.empty() && FILECACHE::FileAccessor::isExist(path.c_str());
}

std::string SceneList::getUndoPathFilename(uint32_t kind) const
{
    // Without a folder the name alone would land in the root folder.
    if (kind >= std::size(kUndoNames) || m_undoFolder.empty()) return std::string();
    return m_undoFolder + kUndoNames[kind];
}

JLIB::JResult SceneList::copySceneToUndo(uint32_t kind, const char* fileName)
{
    const std::string undo = getUndoPathFilename(kind);
    if (undo.empty() || !isPlainFileName(fileName)) return JLIB::kFailed;
    const std::string scene = m_sceneFolder + "/" + fileName;
    if (JLIB::isFailure(FILECACHE::FileAccessor::copy(scene.c_str(), undo.c_str()))) {
        (void)dbgPrintf("[UZ] ... error on copying Scene file to Undo file[%s]->[%s]\n", scene.c_str(), undo.c_str());
    }
    return JLIB::kOk;
}

JLIB::JResult SceneList::copyFromUndo(uint32_t kind, const char* fileName)
{
    if (!isPlainFileName(fileName)) return JLIB::kFailed;
    const std::string undo = getUndoPathFilename(kind);
    if (undo.empty()) {
        (void)dbgPrintf("[UZ] ... error Undo file is not exist[%s]\n", undo.c_str());
        return JLIB::kFailed;
    }
    const std::string scene = m_sceneFolder + "/" + fileName;
    if (JLIB::isFailure(FILECACHE::FileAccessor::copy(undo.c_str(), scene.c_str()))) {
        (void)dbgPrintf("[UZ] ... error on copying Undo file to Scene file[%s]->[%s]\n", undo.c_str(), scene.c_str());
        return JLIB::kFailed;
    }
    if (JLIB::isFailure(FILECACHE::FileAccessor::remove(undo.c_str(), false))) {
        (void)dbgPrintf("[UZ] ... error on deleting Undo file[%s]\n", undo.c_str());
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult SceneList::removeInternal(const char* fileName) const
{
    const std::string path = FILECACHE::MBDF::makeFullPath(m_sceneFolder.c_str(), fileName);
    return JLIB::isFailure(FILECACHE::FileAccessor::remove(path.c_str(), false)) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult SceneList::loadSnapshotInfoTitleComment(const char* fileName, std::string& title,
                                                      std::string& comment) const
{
    PDB::SnapshotData scene;
    JLIB_RETURN_IF_FAILED(initializeTemporary(scene, m_sceneFolder.c_str()));
    JLIB_RETURN_IF_FAILED(scene.load(fileName));
    PDB::IParameterDB& info = scene.snapshotInfo();
    JVariant t;
    JVariant c;
    const PDB::UniqId id(0);
    if (JLIB::isFailure(info.getVariant(t, info.getAddressId(id, gl_addressIds[kTitleRow].address), 0, 0, nullptr)) ||
        JLIB::isFailure(info.getVariant(c, info.getAddressId(id, gl_addressIds[kCommentRow].address), 0, 0, nullptr))) {
        return JLIB::kFailed;
    }
    bool titleOk = false;
    bool commentOk = false;
    const char* titleText = t.toString(&titleOk);
    const char* commentText = c.toString(&commentOk);
    if (!titleOk || !commentOk || !titleText || !commentText) return JLIB::kFailed;
    title = titleText;
    comment = commentText;
    return JLIB::kOk;
}

// ---- free functions

JLIB::JResult setEditFlag(bool on)
{
    return pdb_setParam(CATEGORY_PDBTYPE_UZSETUP, kEditFlag, 0, 0, JVariant(toUint(on)), kDerivedWriteAttr);
}

JLIB::JResult getEditFlag(bool& on)
{
    on = toBool(pdb_getParam(CATEGORY_PDBTYPE_UZSETUP, kEditFlag, 0, 0).toUInt32());
    return JLIB::kOk;
}

uint32_t getValidSceneNum()
{
    uint32_t count = 0;
    (void)pdb_lock();  // the recursive lock of every database; taking it does not fail
    forEachOccupied([&count](uint32_t, const std::string&) { return ++count, true; });
    (void)pdb_unlock();
    return count;
}

JLIB::JResult getCurrentSnapshot(std::string& number, bool& edited)
{
    JLIB::JResult result = pdb_lock();
    result |= getLastSceneNumber(number);
    (void)getEditFlag(edited);  // always 0
    result |= pdb_unlock();
    return result;
}

JLIB::JResult getSnapshotInfo(const char* number, std::string& title, std::string& comment)
{
    JLIB::JResult result = pdb_lock();
    uint32_t slot = kNoSceneSlot;
    const JLIB::JResult found = findSlot(number, slot);
    result |= found;
    if (JLIB::isSuccess(found)) {
        result |= readText(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusTitle, slot, title);
        result |= readText(CATEGORY_PDBTYPE_UZSCENESTATUS, kStatusComment, slot, comment);
    }
    result |= pdb_unlock();
    return result;
}

JLIB::JResult getSnapshotNo(uint32_t index, std::string& number)
{
    JLIB::JResult result = pdb_lock();
    uint32_t position = 0;
    bool found = false;
    forEachOccupied([&](uint32_t, const std::string& listed) {
        if (position++ != index) return true;
        number = listed;
        found = true;
        return false;
    });
    if (!found) result |= JLIB::kFailed;
    result |= pdb_unlock();
    return result;
}

}  // namespace LPC
