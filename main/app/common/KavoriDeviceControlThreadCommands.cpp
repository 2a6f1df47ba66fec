// The command dispatcher of the device-control thread: other threads name a command in the
// user message's "CommandName"; some commands answer with "Re:" and the name.
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "FileCache/fcache_FileAccessor.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_PresetFile.h"
#include "PDB/pdb_PresetItem.h"
#include "TMS/AbstractMessage.h"
#include "common/KavoriDeviceControlThread.h"
#include "common/Lpc/LpcPDB.h"
#include "dbgc/dbgc_stdapi.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"

namespace KAVORI {

namespace {

constexpr const char* kProductName = "Vexalume";
constexpr const char* kDefaultFileName = "UserDefault.dat";
constexpr uint32_t kPresetDBWord = 1;

uint32_t number(const TMS::AbstractMessage& message, const char* key) { return message.data(key).toUInt32(); }

// The key's text, or null when the key is missing or holds no text.
const char* text(const TMS::AbstractMessage& message, const char* key) { return message.data(key).toString(); }

bool has(const TMS::AbstractMessage& message, const char* key) { return message.data(key).isValid(); }

// A new answer "Re:<name>"; the keys are added by the caller.
TMS::AbstractMessage answer(const char* commandName)
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);  // a user message of id 0 always initialises
    (void)message.addData("CommandName", commandName);  // a short text always fits
    return message;
}

void sendAnswer(const TMS::AbstractMessage& message, const char* thread)
{
    // An unknown thread is the null thread: the answer is dropped, as callers expect.
    (void)message.sendWithWaiting(thread);
}

// Every answer's "Factor" and "Result" keys.
void addFactorAndResult(TMS::AbstractMessage& out, const TMS::AbstractMessage& request, JLIB::JResult result)
{
    (void)out.addData("Factor", number(request, "Factor"));
    (void)out.addData("Result", uint32_t(result));
}

void addConnectionKeys(TMS::AbstractMessage& out, const TMS::AbstractMessage& request)
{
    (void)out.addData("fromUniqId", number(request, "fromUniqId"));
    (void)out.addData("fromPortNo", number(request, "fromPortNo"));
    (void)out.addData("toUniqId", number(request, "toUniqId"));
    (void)out.addData("toPortNo", number(request, "toPortNo"));
}

// A user-given path of a database image; empty refuses.
std::string filePathOf(const TMS::AbstractMessage& message)
{
    const char* path = text(message, "FilePath");
    return path ? path : "";
}

}  // namespace

const KavoriDeviceControlThread::Command KavoriDeviceControlThread::kCommands[] = {
    {"addComponent", &KavoriDeviceControlThread::commandAddComponent},
    {"removeComponent", &KavoriDeviceControlThread::commandRemoveComponent},
    {"changeComponentType", &KavoriDeviceControlThread::commandChangeComponentType},
    {"addConnection", &KavoriDeviceControlThread::commandAddConnection},
    {"removeConnection", &KavoriDeviceControlThread::commandRemoveConnection},
    {"setComponentDefault", &KavoriDeviceControlThread::commandSetComponentDefault},
    {"addPDBComponent", &KavoriDeviceControlThread::commandAddPDBComponent},
    {"removePDBComponent", &KavoriDeviceControlThread::commandRemovePDBComponent},
    {"addAudioComponent", &KavoriDeviceControlThread::commandAddAudioComponent},
    {"removeAudioComponent", &KavoriDeviceControlThread::commandRemoveAudioComponent},
    {"Initialize", &KavoriDeviceControlThread::commandInitialize},
    {"Backup", &KavoriDeviceControlThread::commandBackup},
    {"SaveProject", &KavoriDeviceControlThread::commandSaveProject},
    {"LoadProject", &KavoriDeviceControlThread::commandLoadProject},
    {"Scene", &KavoriDeviceControlThread::commandIgnored},
    {"UZScene", &KavoriDeviceControlThread::commandUZScene},
    {"UZPreset", &KavoriDeviceControlThread::commandUZPreset},
    {"UZSpeakerPosition", &KavoriDeviceControlThread::commandUZSpeakerPosition},
    {"UZProject", &KavoriDeviceControlThread::commandUZProject},
    {"UZSync", &KavoriDeviceControlThread::commandUZSync},
    {"UZShowAllValues", &KavoriDeviceControlThread::commandUZShowAllValues},
    {"UZSetMinValue", &KavoriDeviceControlThread::commandUZSetMinValue},
    {"UZSetMaxValue", &KavoriDeviceControlThread::commandUZSetMaxValue},
    {"eraseConfig", &KavoriDeviceControlThread::commandEraseConfig},
    {"applyConfig", &KavoriDeviceControlThread::commandApplyConfig},
    {"PrepareToSync", &KavoriDeviceControlThread::commandPrepareToSync},
    {"SyncAbort", &KavoriDeviceControlThread::commandSyncAbort},
    {"StartConfig", &KavoriDeviceControlThread::commandStartConfig},
    {"isSameConfig", &KavoriDeviceControlThread::commandIsSameConfig},
    {"Synchronize", &KavoriDeviceControlThread::commandSynchronize},
};
const uint32_t KavoriDeviceControlThread::kCommandNum = sizeof(kCommands) / sizeof(kCommands[0]);

JLIB::JResult KavoriDeviceControlThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    (void)KavoriAppThread::onReceiveMessage(message);  // logs the message
    if (message.messageId() != 0) return JLIB::kOk;
    const JVariant& name = message.data("CommandName");
    for (const Command& command : kCommands) {
        // The request's value on the left: only a text of the same bytes matches.
        if (!(name == JVariant(command.name, JVariant::kMaxStringLength))) continue;
        const auto handler = command.handler;
        (this->*handler)(message);
        break;
    }
    return JLIB::kOk;
}

void KavoriDeviceControlThread::commandAddComponent(const TMS::AbstractMessage& message)
{
    const char* name = text(message, "ComponentName");
    if (!name) return;
    const uint32_t uniqId = number(message, "UniqID");
    JLIB::JResult result = addAudioComponent(name, number(message, "MajorVersion"), uniqId, number(message, "NumX"),
                                             number(message, "NumY"));
    const char* defaultPath = text(message, "ComponentDefaultPath");
    if (defaultPath && JLIB::isSuccess(result)) {
        // Stored defaults are optional: a missing or unreadable file leaves the new component as
        // it was made, and the add still succeeded.
        const std::string folder = std::string(defaultPath) + "/" + name;
        PDB::PresetData preset;
        const PDB::PresetContentsList contents;
        const bool loaded =
            JLIB::isSuccess(preset.initialize(kProductName, 0, kPresetDBWord, nullptr, contents, folder.c_str())) &&
            JLIB::isSuccess(preset.load(kDefaultFileName));
        if (loaded) result = preset.recall(PDB::gPDBCollection.getPDB(LPC::kLpcPDBInstanceId), PDB::UniqId(uniqId));
    }
    TMS::AbstractMessage out = answer("Re:addComponent");
    (void)out.addData("ComponentName", name);
    (void)out.addData("MajorVersion", number(message, "MajorVersion"));
    (void)out.addData("UniqID", uniqId);
    (void)out.addData("NumX", number(message, "NumX"));
    (void)out.addData("NumY", number(message, "NumY"));
    addFactorAndResult(out, message, result);
    sendAnswer(out, "VDProtocol");
}

void KavoriDeviceControlThread::commandRemoveComponent(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = reqRemoveAudioComponent(number(message, "UniqID"));
    TMS::AbstractMessage out = answer("Re:removeComponent");
    if (const char* name = text(message, "ComponentName")) (void)out.addData("ComponentName", name);
    (void)out.addData("UniqID", number(message, "UniqID"));
    addFactorAndResult(out, message, result);
    sendAnswer(out, "VDProtocol");
}

void KavoriDeviceControlThread::commandChangeComponentType(const TMS::AbstractMessage& message)
{
    TMS::AbstractMessage out = answer("Re:changeComponentType");
    if (const char* name = text(message, "ComponentName")) (void)out.addData("ComponentName", name);
    (void)out.addData("UniqID", number(message, "UniqID"));
    addFactorAndResult(out, message, JLIB::kFailed);  // a component keeps its type
    sendAnswer(out, "VDProtocol");
}

void KavoriDeviceControlThread::commandAddConnection(const TMS::AbstractMessage& message)
{
    commandConnection(message, true);
}

void KavoriDeviceControlThread::commandRemoveConnection(const TMS::AbstractMessage& message)
{
    commandConnection(message, false);
}

void KavoriDeviceControlThread::commandConnection(const TMS::AbstractMessage& message, bool add)
{
    const JLIB::JResult result =
        changeConnection(add, number(message, "fromUniqId"), number(message, "fromPortNo"),
                         number(message, "toUniqId"), number(message, "toPortNo"));
    TMS::AbstractMessage out = answer(add ? "Re:addConnection" : "Re:removeConnection");
    addConnectionKeys(out, message);
    addFactorAndResult(out, message, result);
    sendAnswer(out, "VDProtocol");
}

void KavoriDeviceControlThread::commandSetComponentDefault(const TMS::AbstractMessage& message)
{
    const char* nameText = text(message, "ComponentName");
    const char* folderText = text(message, "ComponentDefaultPath");
    const std::string name = nameText ? nameText : "";
    const std::string folder = folderText ? folderText : "";
    const uint32_t uniqId = number(message, "UniqID");
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(LPC::kLpcPDBInstanceId);
    const uint32_t index = db.getComponentIndex(PDB::UniqId(uniqId));

    JLIB::JResult result = JLIB::kOk;
    if (name.empty() || folder.empty() || index == 0xFFFFFFFFu || name != db.componentName(index)) {
        result = JLIB::kFailed;
    } else {
        PDB::PresetContentsList contents;
        result |= contents.addComponent(db, PDB::UniqId(uniqId));
        const std::string target = folder + "/" + name;
        PDB::PresetData preset;
        result |= preset.initialize(kProductName, 0, kPresetDBWord, "Component", contents, target.c_str());
        if (JLIB::isSuccess(result)) result |= preset.saveAs(kDefaultFileName);
    }
    TMS::AbstractMessage out = answer("Re:setComponentDefault");
    (void)out.addData("ComponentName", name.c_str());
    (void)out.addData("UniqID", uniqId);
    (void)out.addData("ComponentDefaultPath", folder.c_str());
    addFactorAndResult(out, message, result);
    sendAnswer(out, "VDProtocol");
}

void KavoriDeviceControlThread::commandAddPDBComponent(const TMS::AbstractMessage& message)
{
    if (!has(message, "UniqId") && !has(message, "ComponentName") && !has(message, "Version")) return;
    const uint32_t uniqId = number(message, "UniqId");
    const char* name = text(message, "ComponentName");
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(LPC::kLpcPDBInstanceId);
    const JLIB::JResult result =
        name ? db.addComponent(PDB::UniqId(uniqId), name, number(message, "Version"), number(message, "NumX"),
                               number(message, "NumY"), 0)
             : JLIB::kFailed;
    if (JLIB::isFailure(result)) {
        (void)dbgPrintf("[E] DeviceControlThread::onReceiveMessage - Cannot add a component. [%d:%s_%d] -> (%d, %d)\n",
                        int(uniqId), name ? name : "", int(number(message, "Version")), int(number(message, "NumX")),
                        int(number(message, "NumY")));
        return;
    }
    (void)db.useComponent(PDB::UniqId(uniqId));  // it was added just now
}

void KavoriDeviceControlThread::commandRemovePDBComponent(const TMS::AbstractMessage& message)
{
    if (!has(message, "UniqId")) return;
    const uint32_t uniqId = number(message, "UniqId");
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(LPC::kLpcPDBInstanceId);
    if (JLIB::isFailure(db.reqRemoveComponent(PDB::UniqId(uniqId)))) {
        (void)dbgPrintf("[E] DeviceControlThread::onReceiveMessage - Cannot request to remove a component. [%d]\n",
                        int(uniqId));
        return;
    }
    (void)db.releaseComponent(PDB::UniqId(uniqId));  // a component this thread never used stays as it is
}

void KavoriDeviceControlThread::commandAddAudioComponent(const TMS::AbstractMessage& message)
{
    const char* name = text(message, "ComponentName");
    if (!name) return;
    // Not reported: the debug console that sends it reads the result from the collection.
    (void)addAudioComponent(name, number(message, "MajorVersion"), number(message, "UniqID"), number(message, "NumX"),
                            number(message, "NumY"));
}

void KavoriDeviceControlThread::commandRemoveAudioComponent(const TMS::AbstractMessage& message)
{
    (void)reqRemoveAudioComponent(number(message, "UniqID"));  // not reported, as above
}

void KavoriDeviceControlThread::commandInitialize(const TMS::AbstractMessage& message)
{
    const char* target = text(message, "Target");
    const bool known = target && (std::strcmp(target, "All") == 0 || std::strcmp(target, "Current") == 0 ||
                                  std::strcmp(target, "System") == 0);
    if (!known) (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - initialize failed!\n");
    TMS::AbstractMessage out = answer("Re:Initialize");
    (void)out.addData("Target", target);
    (void)out.addData("Result", uint32_t(known ? JLIB::kOk : JLIB::kFailed));
    sendAnswer(out, "GUIBridge");
}

void KavoriDeviceControlThread::commandBackup(const TMS::AbstractMessage& message)
{
    const char* target = text(message, "Target");
    const bool known = target && std::strcmp(target, "System") == 0;
    if (!known) (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - backup failed!\n");
    TMS::AbstractMessage out = answer("Re:Backup");
    (void)out.addData("Target", target);
    (void)out.addData("Reason", text(message, "Reason"));
    (void)out.addData("Result", uint32_t(known ? JLIB::kOk : JLIB::kFailed));
    sendAnswer(out, "GUIBridge");
}

void KavoriDeviceControlThread::commandSaveProject(const TMS::AbstractMessage& message)
{
    const std::string path = filePathOf(message);
    if (path.empty()) {
        (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - SaveProject needs a \"FilePath\"!\n");
        return;
    }
    const PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(number(message, "PDBID"));
    const uint32_t size = db.exportBinarySize();
    std::unique_ptr<uint8_t[]> buffer(size ? new (std::nothrow) uint8_t[size] : nullptr);
    if (!buffer || JLIB::isFailure(db.exportBinary(buffer.get(), size, 0))) {
        (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - Cannot make the image of PDB[%u]!\n",
                        number(message, "PDBID"));
        return;
    }
    FILECACHE::FileAccessor file;  // closes on every path
    uint32_t written = 0;
    if (JLIB::isFailure(file.open(path.c_str(), FILECACHE::FileAccessor::OPEN_CREATE)) ||
        JLIB::isFailure(file.write(buffer.get(), size, &written)) || JLIB::isFailure(file.close())) {
        (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - Cannot write '%s'!\n", path.c_str());
    }
}

void KavoriDeviceControlThread::commandLoadProject(const TMS::AbstractMessage& message)
{
    const std::string path = filePathOf(message);
    if (path.empty()) {
        (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - LoadProject needs a \"FilePath\"!\n");
    } else if (JLIB::isFailure(loadImage(path, number(message, "PDBID")))) {
        (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - Cannot load '%s'!\n", path.c_str());
    }
    TMS::AbstractMessage connect;
    (void)connect.initialize(TMS::kMessageUser, 0);  // as in answer()
    (void)connect.addData("CommandName", "Connect");
    sendAnswer(connect, "Sync");
}

JLIB::JResult KavoriDeviceControlThread::loadImage(const std::string& path, uint32_t instanceId)
{
    if (!FILECACHE::FileAccessor::isExist(path.c_str()) || FILECACHE::FileAccessor::isDir(path.c_str())) {
        return JLIB::kFailed;
    }
    const uint32_t size = FILECACHE::FileAccessor::size(path.c_str());
    if (size == 0) return JLIB::kFailed;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
    if (!buffer) return JLIB::kFailed;
    FILECACHE::FileAccessor file;  // closes on every path
    JLIB_RETURN_IF_FAILED(file.open(path.c_str(), FILECACHE::FileAccessor::OPEN_READ));
    uint32_t got = 0;
    if (file.read(buffer.get(), size, &got) != JLIB::kOk || got != size) return JLIB::kFailed;
    (void)file.close();  // read only: nothing to lose
    return PDB::gPDBCollection.getPDB(instanceId).importBinary(buffer.get(), size, PDB::ImportAttr(0x08), 0);
}

void KavoriDeviceControlThread::commandEraseConfig(const TMS::AbstractMessage&)
{
    (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - eraseConfig\n");
    const uint32_t state = readSysParam("DRAVOmState");
    if (state >= 2 && state <= 4) publish("DRAVOmState", 5);
}

void KavoriDeviceControlThread::commandApplyConfig(const TMS::AbstractMessage&)
{
    (void)outputLog("[E] KavoriDeviceControlThread::onReceiveMessage - applyConfig\n");
    if (readSysParam("DRAVOmState") == 1) publish("DRAVOmState", 2);
}

void KavoriDeviceControlThread::commandIgnored(const TMS::AbstractMessage&) {}

}  // namespace KAVORI
