// The device-logic commands of the device-control thread: scenes, 3D-reverb presets, speaker
// position files, projects and the debug fills, sent by the command helpers of the device logic.
// Results stay inside the thread (each operation logs its own failures); only a completed scene
// store or recall is reported, to "OSCServer".
#include <cstring>
#include <string>

#include "TMS/AbstractMessage.h"
#include "common/KavoriDeviceControlThread.h"
#include "common/KavoriProductInfo.h"
#include "common/Lpc/LpcLibraryDef.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkUz.h"
#include "common/Lpc/LpcSendMessage.h"
#include "common/Lpc/LpcSpeakerData.h"
#include "dbgc/dbgc_stdapi.h"

namespace KAVORI {

namespace {

constexpr uint32_t kFullNumberCount = 128;
constexpr int32_t kReportFactor = 255;

const char* text(const TMS::AbstractMessage& message, const char* key)
{
    return message.data(key).toString();
}

uint32_t number(const TMS::AbstractMessage& message, const char* key)
{
    return message.data(key).toUInt32();
}

bool is(const char* value, const char* expected)
{
    return value && std::strcmp(value, expected) == 0;
}

// The file a command names, in the user folder; empty for anything but a plain name, so no
// client can reach a file outside that folder.
std::string userFile(const char* name)
{
    if (!LPC::acceptableFileName(name)) {
        (void)dbgPrintf("[UZ] ... error invalid file name [%s]\n", name ? name : "");
        return "";
    }
    return KavoriProductInfo::getInstance().dataPath(kDataDirUser, false) + "/" + name;
}

void reportScene(const char* operation, const char* status, const TMS::AbstractMessage& request)
{
    TMS::AbstractMessage report;
    (void)report.initialize(TMS::kMessageUser, 0);  // a user message of id 0 always initialises
    // Short texts and numbers under fixed keys always fit.
    (void)report.addData("CommandName", "UZScene");
    (void)report.addData("Operation", operation);
    (void)report.addData("Status", status);
    (void)report.addData("Index", text(request, "Index"));
    (void)report.addData("Category", text(request, "Category"));
    (void)report.addData("Factor", kReportFactor);
    // A missing "OSCServer" is the null thread: nobody is told, as nobody listens.
    (void)report.sendWithWaiting("OSCServer");
}

}  // namespace

void KavoriDeviceControlThread::commandUZScene(const TMS::AbstractMessage& message)
{
    const char* operation = text(message, "Operation");
    const char* status = text(message, "Status");
    if (is(operation, "Store")) {
        if (is(status, "Start")) sceneStore(message);
    } else if (is(operation, "Recall")) {
        if (is(status, "Start")) sceneRecall(message);
    } else if (is(operation, "TestRecallSpeed")) {
        (void)m_SceneList.testRecallSpeed(number(message, "TestNum"), number(message, "WithRecallSafe"));
    } else if (is(operation, "CreateAllScene")) {
        (void)m_SceneList.createAllScene();
    } else if (!is(status, "Do")) {
        return;
    } else if (is(operation, "Delete")) {
        if (const char* scene = text(message, "SnapshotNo")) (void)m_SceneList.remove(scene, false);
    } else if (is(operation, "Duplicate")) {
        const char* source = text(message, "Src");
        const char* destination = text(message, "Dest");
        const char* title = text(message, "Title");
        const char* comment = text(message, "Comment");
        if (source && destination && title && comment) {
            (void)m_SceneList.duplicate(source, destination, title, comment, false);
        }
    } else if (is(operation, "RecallUndo")) {
        (void)m_SceneList.recallUndo(false, false);
    } else if (is(operation, "UpdateUndo")) {
        (void)m_SceneList.updateUndo(false, false);
    } else if (is(operation, "DuplicateUndo")) {
        (void)m_SceneList.duplicateUndo(false, false);
    } else if (is(operation, "DeleteUndo")) {
        (void)m_SceneList.removeUndo(false, false);
    } else if (is(operation, "FileUndo")) {
        (void)m_SceneList.fileUndo(false, false);
    } else if (is(operation, "Protect")) {
        if (const char* scene = text(message, "SnapshotNo"))
            (void)m_SceneList.setProtect(scene, number(message, "OnOff"));
    }
}

void KavoriDeviceControlThread::sceneStore(const TMS::AbstractMessage& message)
{
    const char* index = text(message, "Index");
    const char* title = text(message, "Title");
    const char* comment = text(message, "Comment");
    if (!index || !title || !comment) return;
    if (JLIB::isFailure(m_SceneList.store(index, title, comment, false))) return;
    (void)LPC::setEditFlag(false);  // the scene list has just caught up with the current settings
    reportScene("Store", "End", message);
}

void KavoriDeviceControlThread::sceneRecall(const TMS::AbstractMessage& message)
{
    const char* index = text(message, "Index");
    if (!index) return;
    if (JLIB::isFailure(m_SceneList.recall(index, true, [this] { return recallFollowUp(); }))) return;
    (void)LPC::setEditFlag(false);  // as after a store
    reportScene("Current", "Changed", message);
}

uint32_t KavoriDeviceControlThread::recallFollowUp()
{
    JVariant preset;
    (void)LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, "/3DRev/Preset", 0, 0, preset);  // unreadable: 0, none
    const uint32_t presetNo = preset.toUInt32();
    // Not reported: the preset list logs what fails, and the scene itself was recalled.
    if (presetNo != 0) (void)m_PresetList.recall(LPC::PresetType_MurUZ, presetNo, false);
    if (m_pLink) (void)m_pLink->update(LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED);
    return 0;
}

void KavoriDeviceControlThread::commandUZPreset(const TMS::AbstractMessage& message)
{
    const char* type = text(message, "PresetType");
    const uint32_t presetNo = number(message, "PresetNo");
    const char* operation = text(message, "Operation");
    if (!type || !is(text(message, "Status"), "Do")) return;
    if (is(operation, "Store")) {
        if (const char* title = text(message, "Title")) (void)m_PresetList.store(type, presetNo, title, false);
    } else if (is(operation, "Recall")) {
        (void)m_PresetList.recall(type, presetNo, false);
        // Whatever the recall gave: the linked parameters follow the reverb as it now is.
        if (m_pLink) (void)m_pLink->update(LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED);
    } else if (is(operation, "Delete")) {
        (void)m_PresetList.remove(type, presetNo, false);
    } else if (is(operation, "Protect")) {
        (void)m_PresetList.setProtect(type, presetNo, number(message, "OnOff"), false);
    } else if (is(operation, "CreateFullNumber")) {
        for (uint32_t n = 1; n <= kFullNumberCount; ++n) (void)m_PresetList.store(type, n, "FullNumber", false);
    }
}

void KavoriDeviceControlThread::commandUZSpeakerPosition(const TMS::AbstractMessage& message)
{
    const char* operation = text(message, "Operation");
    if (!is(text(message, "Status"), "Do") || !(is(operation, "Import") || is(operation, "Export"))) return;
    const char* name = text(message, "FilePath");
    if (!name) return;
    const std::string path = userFile(name);
    if (path.empty()) return;
    LPC::LpcSpeakerData speakers;
    // The speaker file logs its own failures.
    if (is(operation, "Import")) {
        (void)speakers.importFromFile(path.c_str());
    } else {
        (void)speakers.exportToFile(path.c_str());
    }
}

void KavoriDeviceControlThread::commandUZProject(const TMS::AbstractMessage& message)
{
    const char* operation = text(message, "Operation");
    if (!is(text(message, "Status"), "Do")) return;
    const char* name = text(message, "FilePath");
    if (!name) return;
    if (is(operation, "Save")) {
        projectSave(name);
    } else if (is(operation, "Load")) {
        projectLoad(name);
    }
}

void KavoriDeviceControlThread::projectSave(const char* name)
{
    const std::string path = userFile(name);
    if (path.empty()) return;
    LPC::ProjectProcessNotifier notifier;
    volatile bool stop = false;
    (void)enableSceneView(0);  // a display switch: the save goes on without it
    m_ControlState.store(kControlProjectBackup);
    // The project packs the backup files as they are on disk: bring them up to date first.
    for (const auto& item : LPC::ProjectFileContentsMurUZ::getConfig()) {
        if (item.first == "Current") (void)m_CurrentBackup.backupForcely();  // 0 once set up
        if (item.first == "CurrentList") (void)m_CurrentListBackup.backupForcely();
    }
    m_ControlState.store(kControlProjectRunning);
    (void)m_Project.save(path.c_str(), "", "", &stop, &notifier);  // the project file logs its failures
    m_ControlState.store(kControlNormal);
    (void)enableSceneView(1);
}

void KavoriDeviceControlThread::projectLoad(const char* name)
{
    const std::string path = userFile(name);
    if (path.empty()) return;
    LPC::ProjectProcessNotifier notifier;
    volatile bool stop = false;
    (void)enableSceneView(0);  // as in projectSave
    m_ControlState.store(kControlProjectRunning);
    if (JLIB::isSuccess(m_Project.load(path.c_str(), &stop, &notifier, nullptr))) (void)refresh(true);
    m_ControlState.store(kControlNormal);
    (void)enableSceneView(1);
}

void KavoriDeviceControlThread::commandUZShowAllValues(const TMS::AbstractMessage& message)
{
    const char* name = text(message, "FilePath");
    if (!name) return;
    const std::string path = userFile(name);
    if (!path.empty()) (void)LPC::showAllValues(path.c_str());  // the protocol memory logs its failures
}

void KavoriDeviceControlThread::commandUZSetMinValue(const TMS::AbstractMessage& message)
{
    (void)LPC::setMinValue(static_cast<uint8_t>(number(message, "Factor") & 0xFFu));  // as above
}

void KavoriDeviceControlThread::commandUZSetMaxValue(const TMS::AbstractMessage& message)
{
    (void)LPC::setMaxValue(static_cast<uint8_t>(number(message, "Factor") & 0xFFu));  // as above
}

}  // namespace KAVORI
